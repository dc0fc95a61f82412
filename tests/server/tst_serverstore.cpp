#include "check/projectcheck.h"
#include "check/projectfit.h"
#include "memory/repeats.h"
#include "project/sqlitestore.h"
#include "project/transfer.h"
#include "project/workingcopy.h"
#include "search/replace.h"
#include "server/schema.h"
#include "keeping/backup.h"
#include "server/serverstore.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/nodekey.h"
#include "store/scriptnodes.h"
#include "tests/support/storedblock.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testhome.h"

#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;

// The server's store against the SQLite store on the same content: every
// operation both offer gives the same result; then what only the server
// has (versions, history, its own failures).
class tst_ServerStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void bothStoresAgree_data();
    void bothStoresAgree();
    void savesAgree_data();
    void savesAgree();
    void saveKeepsVersionHistoryAndChange();
    void writeChangeAgrees_data();
    void writeChangeAgrees();
    void writeChangeVersionsAndRefusesStale();
    void batchClosesTheMarksOfTheBlocksItSaves_data();
    void batchClosesTheMarksOfTheBlocksItSaves();
    void zeroCharacterIsRefused();
    void badAddress_data();
    void badAddress();
    void foreignDatabaseIsRefused();
    void serverStopsDuringSave();
    void pullGivesTheStoreBack();

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestDatabase> m_server;
    Database m_local;
    std::optional<ServerStore> m_store;
};

namespace {

QString describe(const BlockLoad &l)
{
    return u"%1|%2|%3|%4|%5|%6|%7|%8|%9"_s.arg(int(l.outcome)).arg(l.caption, l.original, l.translation, l.comment)
        .arg(l.revised).arg(l.revisedEnabled).arg(l.currentWidth + u'x' + l.currentHeight, l.message);
}

QString describe(const SearchOutcome &o)
{
    QString text = QString::number(o.status) + o.message;
    for (const SearchHit &hit : o.hits)
        text += u'|' + hitKey(hit) + u'=' + hit.text;
    return text;
}

QString describe(const ScriptNodes::Node &parent)
{
    QString text;
    for (const ScriptNodes::Node *node : parent.children)
        text += u"%1 %2 %3;"_s.arg(node->key, node->text).arg(node->image) + describe(*node);
    return text;
}

const QString Quotes = u"'\"`´‘’‚“”„«»‹› \\ \\\\ \t%_ end"_s;

} // namespace

void tst_ServerStore::init()
{
    m_store.reset();
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    const QList<StoredBlock> blocks = {
        {u"field"_s, u"0012.txt"_s, 3, u"Hello.<End of Block>"_s, 24, 2, u"nota"_s, 1, 0, u"El árbol `grande`"_s, 0, 0},
        {u"field"_s, u"0012.txt"_s, 4, u"Bye."_s, 24, 2, {}, 0, 0, {}, 30, 4},
        {u"field"_s, u"0012.txt"_s, 5, u"Twice."_s, 24, 2, {}, 0, 0, {}, 0, 0},
        {u"field"_s, u"0012.txt"_s, 5, u"Twice."_s, 24, 2, {}, 0, 0, {}, 0, 0},
        {u"battle_script"_s, u"b01.txt"_s, 1, u"Tree."_s, 24, 2, {}, 1, 1, u"ÁRBOL viejo"_s, 0, 0},
        {u"battle_script"_s, u"0012.txt"_s, 9, u"Again."_s, 24, 2, {}, 0, 0, {}, 0, 0},
        {u"battling_arena"_s, u"a.txt"_s, 7, u"Arena."_s, 24, 2, u"Árbol"_s, 1, 0, u"back\\slash 100% _x_"_s, 0, 0},
    };
    for (const StoredBlock &block : blocks)
        QVERIFY(insertBlock(*m_home, block));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', 'arma'), "
                            "('it`s', 'es', '', '', '', '', ''), ('sword', '', 'hoja', '', '', '', '')"_s));
    QVERIFY(openStore(m_local, m_home->storePath()));
    Result<ServerConnection> connection = ServerConnection::open(m_server->address());
    QVERIFY2(connection, qPrintable(connection.error().message));
    m_store.emplace(std::move(*connection));
    Result<ServerTransfer::Uploaded> uploaded = ServerTransfer::setUp(*m_store, &m_local);
    QVERIFY2(uploaded, qPrintable(uploaded.error().message));
    QCOMPARE(uploaded->blocks, qint64(blocks.size()));
}

void tst_ServerStore::bothStoresAgree_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("argument");
    QTest::newRow("load a translated block") << u"load"_s << u"field:0012.txt;3"_s;
    QTest::newRow("load the chosen window size") << u"load"_s << u"field:0012.txt;4"_s;
    QTest::newRow("load duplicate rows") << u"load"_s << u"field:0012.txt;5"_s;
    QTest::newRow("load a block without a row") << u"load"_s << u"field:0012.txt;99"_s;
    QTest::newRow("capitals and accents find lower case") << u"translated"_s << u"ÁRBOL"_s;
    QTest::newRow("accents still count") << u"translated"_s << u"arbol"_s;
    QTest::newRow("apostrophe finds the grave accent") << u"translated"_s << u"'grande'"_s;
    QTest::newRow("backslash is a plain character") << u"translated"_s << u"k\\s"_s;
    QTest::newRow("underscore is one character") << u"translated"_s << u"_x_"_s;
    QTest::newRow("original") << u"original"_s << u"E."_s;
    QTest::newRow("original and translated") << u"both"_s << u"Tree"_s;
    QTest::newRow("comments") << u"comments"_s << u"ÁR"_s;
    QTest::newRow("a refused text") << u"original"_s << u"x"_s;
    QTest::newRow("tree with a name in two tables") << u"tree"_s << QString();
    QTest::newRow("status") << u"status"_s << QString();
    QTest::newRow("links of a word, rows in order") << u"linksOf"_s << u"sword"_s;
    QTest::newRow("links of a word with an apostrophe") << u"linksOf"_s << u"it's"_s;
    QTest::newRow("every linked word") << u"linkWords"_s << QString();
    QTest::newRow("figures of a folder") << u"figures"_s << QString();
    QTest::newRow("figures of one script") << u"figures"_s << u"0012.txt"_s;
    QTest::newRow("translated rows") << u"translatedRows"_s << QString();
    QTest::newRow("one block around, nearest first") << u"around"_s << u"field:0012.txt;5"_s;
    QTest::newRow("one script's rows") << u"scriptRows"_s << u"field:0012.txt;3"_s;
}

// What one operation gives on a store, as text; `failed` when the store failed.
QString answerOf(ProjectStore &store, const QString &operation, const QString &argument, bool &failed)
{
    const QMap<QString, SearchType> types = {{u"translated"_s, SearchType::Translated},
                                             {u"original"_s, SearchType::Original},
                                             {u"both"_s, SearchType::OriginalAndTranslated},
                                             {u"comments"_s, SearchType::Comments}};
    failed = true;
    if (operation == u"load") {
        Result<BlockRead> block = store.loadBlock(argument);
        failed = !block;
        return block ? describe(block->load) : QString();
    }
    if (types.contains(operation)) {
        Result<SearchOutcome> found = store.search(types[operation], argument);
        failed = !found || (argument != u"arbol" && argument != u"x" && found->hits.isEmpty());
        return found ? describe(*found) : QString();
    }
    if (operation == u"tree") {
        Result<TreeTables> rows = store.treeRows();
        ScriptNodes tree;
        failed = !rows;
        // Built first: the operands of + come in no fixed order.
        const QString refused = rows ? tree.build(*rows).refusedKeys.join(u',') : QString();
        return refused + describe(tree.top());
    }
    if (operation == u"linksOf" || operation == u"linkWords") {
        Result<std::vector<LinkColumns>> rows = operation == u"linksOf" ? store.linksOf(argument) : store.links();
        Result<QStringList> words = store.linkWords();
        failed = !rows || rows->empty() || !words;
        QString text = words ? words->join(u',') : QString();
        for (const LinkColumns &row : rows.value_or({}))
            text += u'|' + QStringList(row.begin(), row.end()).join(u',');
        return text;
    }
    if (operation == u"figures" || operation == u"translatedRows") {
        QString text;
        failed = false;
        for (const QString &table : ScriptTables::all) {
            if (operation == u"figures") {
                Result<std::vector<FigureRow>> rows = store.figureRows(table, argument);
                failed = failed || !rows;
                for (const FigureRow &row : rows.value_or({}))
                    text += u"|%1,%2,%3,%4"_s.arg(row.fileName, row.original).arg(row.translated).arg(row.revised);
            } else {
                Result<std::vector<TranslatedRow>> rows = store.translatedRows(table);
                failed = failed || !rows;
                for (const TranslatedRow &row : rows.value_or({}))
                    text += u"|%1,%2,%3,%4"_s.arg(row.fileName).arg(row.number).arg(row.original, row.translation);
            }
        }
        return text;
    }
    if (const auto address = parseBlockKey(argument); operation == u"around" || operation == u"scriptRows") {
        QString text;
        failed = !address;
        const bool around = operation == u"around";
        const std::vector<Around> sides = around ? std::vector{Around::Before, Around::Same, Around::After}
                                                 : std::vector{Around::Same};
        for (Around side : sides) {
            Result<std::vector<BlockRow>> rows = around ? store.blocksAround(*address, side, 1)
                                                        : store.scriptRows(address->table, address->fileName);
            failed = failed || !rows;
            text += u'|';
            for (const BlockRow &row : rows.value_or({}))
                text += row[ColDialogueId].toString() + u',' + row[ColTextData].toString() + u';';
        }
        return text;
    }
    Result<TranslationCount> counted = store.countBlocks();
    failed = !counted;
    return counted ? u"%1/%2"_s.arg(counted->translated).arg(counted->blocks) : QString();
}

void tst_ServerStore::bothStoresAgree()
{
    QFETCH(QString, operation);
    QFETCH(QString, argument);
    SqliteStore localStore(m_local);
    bool localFailed = false;
    bool serverFailed = false;
    const QString local = answerOf(localStore, operation, argument, localFailed);
    const QString server = answerOf(*m_store, operation, argument, serverFailed);
    QVERIFY(!localFailed && !serverFailed);
    QCOMPARE(server, local);
    if (operation == u"tree") {
        // The interface's rows make the tree the window builds from the file.
        ScriptNodes window;
        const QString refused = window.build(m_local).refusedKeys.join(u',');
        QCOMPARE(local, refused + describe(window.top()));
    }
}

void tst_ServerStore::savesAgree_data()
{
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("revised");
    QTest::addColumn<QString>("search");
    QTest::newRow("every kind of quote and backslash") << Quotes << Quotes << true << u"END"_s;
    QTest::newRow("translation emptied") << QString() << u"c"_s << false << u"ÁRBOL"_s;
    QTest::newRow("nothing changed") << u"El árbol 'grande'"_s << u"nota"_s << false << u"GRANDE"_s;
}

void tst_ServerStore::savesAgree()
{
    QFETCH(QString, translation);
    QFETCH(QString, comment);
    QFETCH(bool, revised);
    QFETCH(QString, search);
    const QString key = u"field:0012.txt;3"_s;
    const BlockLoad before = loadBlock(m_local, key);
    const Result<BlockSave> saved = saveBlock(m_local, key, u"3[c]"_s, {translation, comment, revised}, &*before.stored);
    QVERIFY(saved);
    const BlockSave &local = *saved;
    Result<BlockSave> server = m_store->saveBlock(key, u"3[c]"_s, {translation, comment, revised}, &*before.stored);
    QVERIFY2(server, qPrintable(server.error().message));
    QCOMPARE(server->nodeText, local.nodeText);
    QCOMPARE(server->nodeImage, local.nodeImage);
    QCOMPARE(server->written, local.written);
    QCOMPARE(server->status.value_or(u"none"_s), local.status.value_or(u"none"_s));
    Result<std::vector<BlockRow>> rows = m_store->blockRows(u"field"_s);
    QVERIFY(rows);
    const QVariantList stored = storedRow(m_local, u"field"_s, u"0012.txt"_s, 3);
    QCOMPARE(QVariantList(rows->front().begin(), rows->front().end()), stored);
    // The saved text is found, or no longer found, as on SQLite.
    QVERIFY(m_local.useUnicodeLike());
    Result<SearchOutcome> found = m_store->search(SearchType::Translated, search);
    QVERIFY(found);
    QCOMPARE(describe(*found), describe(searchBlocks(m_local, SearchType::Translated, search)));
}

void tst_ServerStore::saveKeepsVersionHistoryAndChange()
{
    const QString key = u"field:0012.txt;3"_s;
    Result<ServerBlockLoad> before = m_store->loadBlock(key);
    QVERIFY(before && before->version == 1);
    for (int round = 0; round < 2; ++round) {
        // Only the mark changes, and the second round saves what the first
        // stored: nothing is written.
        Result<ServerBlockLoad> now = m_store->loadBlock(key);
        QVERIFY(now);
        Result<BlockSave> saved =
            m_store->saveBlock(key, u"3"_s, {u"El árbol 'grande'"_s, u"nota"_s, true}, &*now->load.stored);
        QVERIFY(saved);
        QCOMPARE(saved->written, round == 0);
    }
    Result<ServerBlockLoad> after = m_store->loadBlock(key);
    QVERIFY(after);
    QCOMPARE(after->version.value_or(0), qint64(2));
    Result<ServerRows> user = m_store->connection().run("SELECT session_user");
    QVERIFY(user);
    QCOMPARE(after->updatedBy, user->text(0, 0));
    Result<ServerRows> kept = m_store->connection().run(
        "SELECT h.translation, h.comment, h.revised, h.version, h.replaced_by, c.version FROM block_history h, "
        "block_change c");
    QVERIFY(kept);
    QCOMPARE(kept->rowCount(), 1);
    QCOMPARE(kept->text(0, 0) + kept->text(0, 1) + kept->text(0, 2) + kept->text(0, 3) + kept->text(0, 5),
             u"El árbol `grande`nota012"_s);
    QCOMPARE(kept->text(0, 4), user->text(0, 0));
}

void tst_ServerStore::writeChangeAgrees_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("a translation changed in place") << u"translate"_s;
    QTest::newRow("a window size changed in place") << u"resize"_s;
    QTest::newRow("a block added between two") << u"add"_s;
    QTest::newRow("a block taken out") << u"remove"_s;
    QTest::newRow("the links replaced") << u"links"_s;
}

namespace {

// The edit a command makes, done to what a store holds; then written back
// and read again, every row and link as text.
QString editAndRead(ProjectStore &store, const QString &edit)
{
    std::array<std::vector<StoredRow>, 3> before;
    std::array<std::vector<BlockRow>, 3> after;
    for (size_t t = 0; t < 3; ++t) {
        Result<std::vector<StoredRow>> rows = store.storedRows(ScriptTables::all[t]);
        if (!rows)
            return rows.error().message;
        before[t] = *rows;
        for (const StoredRow &row : *rows)
            after[t].push_back(row.row);
    }
    Result<std::vector<LinkColumns>> links = store.links();
    if (!links)
        return links.error().message;
    std::vector<LinkColumns> linksAfter = *links;
    std::vector<BlockRow> &field = after[2];
    if (edit == u"translate")
        field[0][ColTextDataT] = Quotes, field[0][ColComments] = QString();
    else if (edit == u"resize")
        field[1][ColNewWidth] = 33;
    else if (edit == u"add")
        field.insert(field.begin() + 1, BlockRow{u"0012.txt"_s, 8, u"New."_s, 24, 2, {}, 0, 0, {}, 0, 0});
    else if (edit == u"remove")
        after[1].erase(after[1].begin());
    else
        linksAfter = {{u"sol"_s, u"sun"_s, {}, {}, {}, {}, Quotes}};
    const StoreChange change = compareStores(before, *links, after, linksAfter);
    Result<qint64> written = store.writeChange(change);
    if (!written)
        return written.error().message;
    QString read = QString::number(*written);
    for (const QString &table : ScriptTables::all) {
        Result<std::vector<BlockRow>> rows = store.blockRows(table);
        for (const BlockRow &row : rows ? *rows : std::vector<BlockRow>()) {
            for (const QVariant &value : row)
                read += u'|' + value.toString();
        }
    }
    links = store.links();
    for (const LinkColumns &link : links ? *links : std::vector<LinkColumns>())
        read += u';' + QStringList(link.begin(), link.end()).join(u'|');
    return read;
}

} // namespace

void tst_ServerStore::writeChangeAgrees()
{
    QFETCH(QString, edit);
    SqliteStore localStore(m_local);
    const QString local = editAndRead(localStore, edit);
    QCOMPARE(editAndRead(*m_store, edit), local);
    QVERIFY2(local.contains(edit == u"links"_s ? u"sol"_s : u"0012.txt"_s), qPrintable(local));
}

void tst_ServerStore::writeChangeVersionsAndRefusesStale()
{
    Result<std::vector<StoredRow>> field = m_store->storedRows(u"field"_s);
    QVERIFY(field && field->size() == 4);
    std::array<std::vector<BlockRow>, 3> after;
    for (const StoredRow &row : *field)
        after[2].push_back(row.row);
    after[2][0][ColTextDataT] = u"Nuevo"_s;
    after[2][1][ColNewWidth] = 30; // as it was: no new version
    const StoreChange change = compareStores({{{}, {}, *field}}, {}, after, {});
    QCOMPARE(change.tables.size(), size_t(1));
    // Another save after the rows were read: the whole change is refused.
    QVERIFY(m_store->saveBlock(u"field:0012.txt;3"_s, u"3"_s, {u"Otro"_s, u"nota"_s, false}, nullptr));
    Result<qint64> stale = m_store->writeChange(change);
    QVERIFY(!stale);
    QVERIFY2(stale.error().message.startsWith(u"Conflict: "_s), qPrintable(stale.error().message));
    Result<ServerRows> rows = m_store->connection().run("SELECT text_data_t, version FROM field ORDER BY row_id");
    QVERIFY(rows);
    QCOMPARE(rows->text(0, 0) + rows->text(0, 1), u"Otro2"_s);
    // Read again, it goes through: a new version, the replaced text kept and announced.
    field = m_store->storedRows(u"field"_s);
    QVERIFY(field);
    QVERIFY(m_store->writeChange(compareStores({{{}, {}, *field}}, {}, after, {})));
    rows = m_store->connection().run(
        "SELECT f.version, h.translation, c.version FROM field f, block_history h, block_change c "
        "WHERE f.dialogue_id = 3 AND h.id = (SELECT max(id) FROM block_history) "
        "AND c.seq = (SELECT max(seq) FROM block_change)");
    QVERIFY(rows && rows->rowCount() == 1);
    QCOMPARE(rows->text(0, 0) + rows->text(0, 1) + rows->text(0, 2), u"3Otro3"_s);
    Result<ServerRows> untouched = m_store->connection().run("SELECT max(version) FROM field WHERE dialogue_id <> 3");
    QVERIFY(untouched);
    QCOMPARE(untouched->number(0, 0), qint64(1));
}

void tst_ServerStore::batchClosesTheMarksOfTheBlocksItSaves_data()
{
    QTest::addColumn<QString>("batch");
    QTest::newRow("Replace") << u"replace"_s;
    QTest::newRow("Fit Overflowing Blocks") << u"fit"_s;
    QTest::newRow("Apply to Repeats") << u"repeats"_s;
}

// Each batch saves block 4 alone, on a working copy written back as the
// window's batches are; block 3 is marked too and left as it is.
void tst_ServerStore::batchClosesTheMarksOfTheBlocksItSaves()
{
    QFETCH(QString, batch);
    QVERIFY(m_server->execute(
        u"UPDATE field SET text_data = 'Hello.<End of Block>', translated = 1, "
        "text_data_t = 'Tarde tarde tarde tarde tarde.', new_width = 0, new_height = 0 WHERE dialogue_id = 4; "
        "INSERT INTO original_change (block_table, file_name, dialogue_id, old_original, new_original, open) VALUES "
        "('field', '0012.txt', 3, 'Hi.', 'Hello.<End of Block>', 1), "
        "('field', '0012.txt', 4, 'Bye.', 'Hello.<End of Block>', 1)"_s));
    WorkingCopy copy(m_home->path());
    QVERIFY(copy.take(*m_store));
    {
        Database db;
        QVERIFY(openStore(db, copy.path()));
        if (batch == u"replace") {
            ReplaceOptions options;
            options.find = u"tarde"_s;
            options.replacement = u"pronto"_s;
            const Result<MatchList> found = findMatches(db, options);
            QVERIFY(found && replaceMatches(db, *found, ReplaceField::Translated));
        } else if (batch == u"fit") {
            SqliteStore store(db);
            const Result<std::vector<CheckedBlock>> blocks = readCheckedBlocks(store);
            QVERIFY(blocks);
            // Others overflow in this fixture too: only block 4 is fitted.
            const auto fourth = [](const CheckedBlock &block) { return block.number == 4; };
            QVERIFY(saveFits(db, fitProject(*blocks, fourth).changed).problems.isEmpty());
        } else {
            const Result<Repeats> repeats =
                exactRepeats(db, {u"field"_s, u"0012.txt"_s, 3}, u"Hello.<End of Block>"_s, u"Hola."_s);
            QVERIFY(repeats && ::applyToRepeats(db, *repeats, u"Hola."_s));
        }
    }
    const Result<qint64> written = copy.writeBack(*m_store, batch);
    QVERIFY2(written, qPrintable(written.error().message));
    QCOMPARE(*written, qint64(1));
    Result<ServerRows> open = m_store->connection().run(
        "SELECT string_agg(dialogue_id::text, ',' ORDER BY dialogue_id) FROM original_change WHERE open = 1");
    QVERIFY(open);
    QCOMPARE(open->text(0, 0), u"3"_s);
}

void tst_ServerStore::zeroCharacterIsRefused()
{
    const QString key = u"field:0012.txt;4"_s;
    Result<BlockSave> saved = m_store->saveBlock(key, u"4"_s, {u"a"_s + QChar(0) + u"b"_s, {}, false}, nullptr);
    QVERIFY(!saved);
    QVERIFY2(saved.error().message.contains(u"zero character"_s), qPrintable(saved.error().message));
    Result<ServerBlockLoad> block = m_store->loadBlock(key);
    QVERIFY(block);
    QCOMPARE(block->version.value_or(0), qint64(1));
    QCOMPARE(block->load.translation, QString());
}

void tst_ServerStore::badAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("named");
    const QString base = TestDatabase::serverAddress();
    QTest::newRow("unreadable") << u"host=x port"_s << QStringList{u"cannot be read"_s, u"port"_s};
    QTest::newRow("no such database") << base + u" dbname=tallowpen_missing"_s
                                      << QStringList{u"tallowpen_missing"_s, u"does not exist"_s};
    QTest::newRow("no server there") << u"host=/nonexistent/folder dbname=brassvale"_s
                                     << QStringList{u"/nonexistent/folder"_s, u"brassvale"_s, u"No such file"_s};
}

void tst_ServerStore::badAddress()
{
    QFETCH(QString, address);
    QFETCH(QStringList, named);
    Result<ServerStore> store = ServerStore::open(address);
    QVERIFY(!store);
    for (const QString &word : named)
        QVERIFY2(store.error().message.contains(word), qPrintable(store.error().message));
}

void tst_ServerStore::foreignDatabaseIsRefused()
{
    TestDatabase other;
    QVERIFY(other.execute(u"CREATE TABLE invoices (n integer); CREATE SCHEMA sales; CREATE TABLE sales.orders ()"_s));
    Result<ServerStore> opened = ServerStore::open(other.address());
    QVERIFY(!opened);
    QVERIFY2(opened.error().message.contains(u"invoices, sales.orders"_s), qPrintable(opened.error().message));
    Result<ServerConnection> connection = ServerConnection::open(other.address());
    QVERIFY(connection);
    ServerStore store(std::move(*connection));
    Result<ServerTransfer::Uploaded> made = ServerTransfer::setUp(store, nullptr);
    QVERIFY(!made);
    QVERIFY2(made.error().message.contains(u"invoices, sales.orders"_s), qPrintable(made.error().message));
    Result<QStringList> tables = ServerSchema::existingTables(store.connection());
    QVERIFY(tables);
    QCOMPARE(*tables, (QStringList{u"invoices"_s, u"sales.orders"_s}));
}

void tst_ServerStore::serverStopsDuringSave()
{
    // Another session holds the row, so the save waits inside its
    // transaction until its connection is cut.
    Result<ServerConnection> holder = ServerConnection::open(m_server->address());
    Result<ServerConnection> watcher = ServerConnection::open(m_server->address());
    QVERIFY(holder && watcher);
    QVERIFY(holder->runScript("BEGIN"));
    QVERIFY(holder->run("SELECT * FROM field WHERE dialogue_id = 3 FOR UPDATE"));
    const int pid = m_store->connection().backendPid();
    std::optional<Result<BlockSave>> saved;
    std::thread saving([&] { saved = m_store->saveBlock(u"field:0012.txt;3"_s, u"3"_s, {u"Nuevo"_s, {}, false}, nullptr); });
    const QByteArray waiting = "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND pid = "
        + QByteArray::number(pid);
    const auto waits = [&] {
        Result<ServerRows> rows = watcher->run(waiting.constData());
        return rows && rows->number(0, 0) == 1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(waits(), 20000);
    QVERIFY(watcher->run("SELECT pg_terminate_backend($1)", {QByteArray::number(pid)}));
    saving.join();
    QVERIFY(holder->runScript("ROLLBACK"));
    QVERIFY(saved && !*saved);
    QCOMPARE(saved->error().sqlState, u"08006"_s);
    QVERIFY2(saved->error().message.contains(u"was lost"_s), qPrintable(saved->error().message));
    Result<ServerRows> row = holder->run("SELECT text_data_t, version FROM field WHERE dialogue_id = 3");
    QVERIFY(row);
    QCOMPARE(row->text(0, 0) + row->text(0, 1), u"El árbol `grande`1"_s);
}

void tst_ServerStore::pullGivesTheStoreBack()
{
    QVERIFY(m_store->connection().runScript("INSERT INTO suggestion (word, suggest1) VALUES ('árbol', 'tree')"));
    Result<QString> file = ServerTransfer::pull(*m_store, m_home->path());
    QVERIFY2(file, qPrintable(file.error().message));
    QVERIFY(file->endsWith(u"_pull.db"_s));
    QVERIFY(m_local.execute(u"INSERT INTO suggestion (word, suggest1, suggest2, suggest3, suggest4, suggest5, "
                            "comment) VALUES ('árbol', 'tree', '', '', '', '', '')"_s));
    Database copy;
    QVERIFY(copy.open(m_home->filePath(u"backups/"_s + *file)));
    for (const QString &table : {u"field"_s, u"battle_script"_s, u"battling_arena"_s, u"suggestion"_s}) {
        Result<ResultSet> original = m_local.query(u"SELECT * FROM "_s + table);
        Result<ResultSet> pulled = copy.query(u"SELECT * FROM "_s + table);
        QVERIFY(original && pulled);
        QCOMPARE(pulled->rowCount(), original->rowCount());
        while (original->next() && pulled->next()) {
            for (int column = 0; column < original->columnCount(); ++column)
                QCOMPARE(pulled->value(column), original->value(column));
        }
    }
    copy.close();
    m_local.close();
    QVERIFY(Backups::restoreBackup(m_home->path(), *file).ok());
}

QTEST_GUILESS_MAIN(tst_ServerStore)
#include "tst_serverstore.moc"
