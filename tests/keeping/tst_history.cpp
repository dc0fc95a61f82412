#include "keeping/batch.h"
#include "keeping/blocksave.h"
#include "keeping/history.h"
#include "store/layout.h"
#include "store/plannerstats.h"
#include "store/sqlitehandle.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <sqlite3.h>

#include <memory>
#include <QTest>

using namespace Qt::StringLiterals;

using Edits = QList<BlockEdits>;
using Versions = QList<BlockVersion>;
Q_DECLARE_METATYPE(BlockEdits)

namespace {

const QString Key = u"field:0012.txt;3"_s;
const BlockAddress Address{u"field"_s, u"0012.txt"_s, 3};

BlockVersion version(const QString &translation, const QString &comment = {}, bool revised = false)
{
    return BlockVersion{{}, translation, comment, revised};
}

} // namespace

class tst_History : public QObject
{
    Q_OBJECT

private slots:
    void savesKeepWhatTheyReplace_data();
    void savesKeepWhatTheyReplace();
    void aHistoryThatCannotBeWrittenLeavesTheSaveStanding();
    void undoLastBatch_data();
    void undoLastBatch();
    void aDamagedHistoryIsSetAside_data();
    void aDamagedHistoryIsSetAside();
    void firstSavesAtOnceKeepEveryVersion_data();
    void firstSavesAtOnceKeepEveryVersion();
    void draftsLastUntilTheBlockIsSaved_data();
    void draftsLastUntilTheBlockIsSaved();
    void theLastBlockIsReadOrItsFailureGiven_data();
    void theLastBlockIsReadOrItsFailureGiven();
    void textChanges_data();
    void textChanges();
    void theExportSearchesByScript_data();
    void theExportSearchesByScript();
};

void tst_History::savesKeepWhatTheyReplace_data()
{
    QTest::addColumn<StoredBlock>("row");
    QTest::addColumn<Edits>("saves");
    QTest::addColumn<Versions>("kept"); // newest first, without times

    StoredBlock translated;
    translated.translated = 1;
    translated.textT = u"Hola.<End of Block>"_s;
    translated.comments = u"Check`s name"_s;
    const BlockEdits typed{u"Hola, amigo.<End of Block>"_s, u"Check's name"_s, false};

    QTest::newRow("a changed translation") << translated << Edits{typed}
                                           << Versions{version(u"Hola.<End of Block>"_s, u"Check's name"_s)};
    QTest::newRow("the same values keep nothing")
        << translated << Edits{{u"Hola.<End of Block>"_s, u"Check's name"_s, false}} << Versions{};
    QTest::newRow("only the revised mark")
        << translated << Edits{{u"Hola.<End of Block>"_s, u"Check's name"_s, true}}
        << Versions{version(u"Hola.<End of Block>"_s, u"Check's name"_s)};
    QTest::newRow("only the comment") << translated << Edits{{u"Hola.<End of Block>"_s, QString(), false}}
                                      << Versions{version(u"Hola.<End of Block>"_s, u"Check's name"_s)};
    QTest::newRow("newest first") << translated << Edits{typed, {u"Adiós.<End of Block>"_s, QString(), true}}
                                  << Versions{version(u"Hola, amigo.<End of Block>"_s, u"Check's name"_s),
                                              version(u"Hola.<End of Block>"_s, u"Check's name"_s)};
    StoredBlock untranslated;
    untranslated.textT = u"Left over.<End of Block>"_s; // not shown, so not a version
    QTest::newRow("a first translation") << untranslated << Edits{typed} << Versions{version(QString())};
}

void tst_History::savesKeepWhatTheyReplace()
{
    QFETCH(StoredBlock, row);
    QFETCH(Edits, saves);
    QFETCH(Versions, kept);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, row));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QDateTime start = QDateTime::currentDateTime().addMSecs(-1);
    for (const BlockEdits &edits : saves) {
        const Result<BlockSave> save = saveBlock(db, Key, u"3"_s, edits, nullptr);
        QVERIFY(save);
        QCOMPARE(save->historyProblem, QString());
    }

    const auto versions = blockVersions(home.storePath(), Address);
    QVERIFY(versions);
    QCOMPARE(versions->size(), size_t(kept.size()));
    for (size_t i = 0; i < versions->size(); ++i) {
        BlockVersion got = versions->at(i);
        QVERIFY(got.time >= start && got.time <= QDateTime::currentDateTime());
        got.time = {};
        QCOMPARE(got, kept.at(qsizetype(i)));
    }
}

void tst_History::undoLastBatch_data()
{
    QTest::addColumn<Edits>("before"); // saved before the batch
    QTest::addColumn<Edits>("after");  // saved after it
    QTest::addColumn<QString>("restored");
    const BlockEdits earlier{u"Antes.<End of Block>"_s, QString(), false};
    QTest::newRow("the batch's own change") << Edits{} << Edits{} << u"Hola.<End of Block>"_s;
    QTest::newRow("older versions stay older")
        << Edits{earlier, {u"Otra.<End of Block>"_s, QString(), false}} << Edits{} << u"Otra.<End of Block>"_s;
    QTest::newRow("an edit since is replaced too")
        << Edits{} << Edits{{u"Luego.<End of Block>"_s, QString(), true}} << u"Hola.<End of Block>"_s;
}

// The blocks a batch changed go back to the values its saves replaced, as
// their history rows hold them, and the batch is then forgotten.
void tst_History::undoLastBatch()
{
    QFETCH(Edits, before);
    QFETCH(Edits, after);
    QFETCH(QString, restored);
    TestHome home(TestHome::StoreOnly);
    StoredBlock row;
    row.translated = 1;
    row.textT = u"Hola.<End of Block>"_s;
    QVERIFY(insertBlock(home, row));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    for (const BlockEdits &edits : before)
        QVERIFY(saveBlock(db, Key, u"3"_s, edits, nullptr).ok());

    Result<BatchRecord> batch = beginBatch(db, BatchReason::Fit);
    QVERIFY2(batch, qPrintable(batch.error().message));
    QVERIFY(QFileInfo(QDir(home.filePath(u"backups"_s)).filePath(batch->backup)).isFile());
    QVERIFY(saveBlock(db, Key, u"3"_s, {u"Hola, ajustado.<End of Block>"_s, QString(), false}, nullptr)->written);
    batch->changed(Address);
    QCOMPARE(recordBatch(db.path(), *batch), QString());
    for (const BlockEdits &edits : after)
        QVERIFY(saveBlock(db, Key, u"3"_s, edits, nullptr).ok());

    const Result<std::optional<BatchRecord>> kept = lastBatch(db.path());
    QVERIFY2(kept && *kept, qPrintable(kept.error().message));
    const BatchRecord &last = **kept;
    QCOMPARE(last.reason, BatchReason::Fit);
    QCOMPARE(last.backup, batch->backup);
    QCOMPARE(last.blocks, batch->blocks);
    const BatchUndo undo = undoBatch(db, last);
    QCOMPARE(undo.problems, QStringList());
    QCOMPARE(undo.saved.size(), size_t(1));
    QCOMPARE(storedRow(db, row).value(ColTextDataT).toString(), restored);
    const Result<std::optional<BatchRecord>> none = lastBatch(db.path());
    QVERIFY(none && !*none);
}

void tst_History::aHistoryThatCannotBeWrittenLeavesTheSaveStanding()
{
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    QVERIFY(QDir(home.path()).mkdir(HistoryFileName));
    Database db;
    QVERIFY(openStore(db, home.storePath()));

    const Result<BlockSave> save = saveBlock(db, Key, u"3"_s, {u"Nuevo.<End of Block>"_s, QString(), false}, nullptr);
    QVERIFY(save);
    QVERIFY(save->historyProblem.contains(HistoryFileName));
    QCOMPARE(storedRow(db, StoredBlock()).value(ColTextDataT).toString(), u"Nuevo.<End of Block>"_s);
    const auto versions = blockVersions(home.storePath(), Address);
    QVERIFY(!versions);
    QVERIFY(!versions.error().message.isEmpty());
}

void tst_History::aDamagedHistoryIsSetAside_data()
{
    QTest::addColumn<QByteArray>("bytes"); // history.db's; null: a real history cut in half
    QTest::addColumn<QString>("foreign");  // statements making another program's database instead
    QTest::newRow("empty") << QByteArray("") << QString();
    QTest::newRow("not a database") << QByteArray(8192, 'x') << QString();
    QTest::newRow("truncated") << QByteArray() << QString();
    QTest::newRow("foreign") << QByteArray() << u"CREATE TABLE notes (id INTEGER, body TEXT);"_s;
    QTest::newRow("a table of the name, other columns")
        << QByteArray() << u"CREATE TABLE block_history (id INTEGER, note TEXT);"_s;
}

void tst_History::aDamagedHistoryIsSetAside()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, foreign);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QString history = home.filePath(HistoryFileName);
    if (!foreign.isEmpty()) {
        const Result<SqliteHandle> made = openSqlite(history, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        QVERIFY2(made, qPrintable(made.error().message));
        QCOMPARE(execSqlite(made->get(), foreign), SQLITE_OK);
    } else if (bytes.isNull()) {
        for (int i = 0; i < 300; ++i)
            QVERIFY(saveBlock(db, Key, u"3"_s, {u"Texto %1 "_s.arg(i).repeated(20), QString(), false}, nullptr).ok());
        // A save into another folder's history closes this one's, its journal written back.
        TestHome other(TestHome::StoreOnly);
        QVERIFY(insertBlock(other, StoredBlock()));
        Database otherDb;
        QVERIFY(openStore(otherDb, other.storePath()));
        QVERIFY(saveBlock(otherDb, Key, u"3"_s, {u"x"_s, QString(), false}, nullptr).ok());
        QVERIFY(!QFile::exists(history + u"-wal"_s));
        QVERIFY(QFile::resize(history, QFileInfo(history).size() / 2));
    } else {
        QVERIFY(home.write(HistoryFileName, bytes));
    }

    const Result<BlockSave> first = saveBlock(db, Key, u"3"_s, {u"Uno.<End of Block>"_s, QString(), false}, nullptr);
    QVERIFY(first);
    QVERIFY2(first->historyProblem.contains(u"was set aside"_s), qPrintable(first->historyProblem));
    QVERIFY(first->historyProblem.contains(HistoryFileName) && !first->historyProblem.contains(u"store"_s));
    const Result<BlockSave> second = saveBlock(db, Key, u"3"_s, {u"Dos.<End of Block>"_s, QString(), false}, nullptr);
    QVERIFY(second);
    QCOMPARE(second->historyProblem, QString());
    const auto versions = blockVersions(home.storePath(), Address);
    QVERIFY(versions && !versions->empty());
    QCOMPARE(versions->front().translation, u"Uno.<End of Block>"_s);
    QCOMPARE(QDir(home.path()).entryList({u"history-damaged-*.db"_s}).size(), 1);
}

void tst_History::firstSavesAtOnceKeepEveryVersion_data()
{
    QTest::addColumn<int>("saves");
    QTest::newRow("two first saves at once") << 2;
    QTest::newRow("four first saves at once") << 4;
}

// Separate processes, as two windows or a window and the command line are:
// each keeps its version whichever made the file.
void tst_History::firstSavesAtOnceKeepEveryVersion()
{
    QFETCH(int, saves);
    for (int round = 0; round < 5; ++round) {
        TestHome home(TestHome::StoreOnly);
        for (int i = 0; i < saves; ++i) {
            StoredBlock block;
            block.id = i + 1;
            QVERIFY(insertBlock(home, block));
        }
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < saves; ++i) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QString::fromUtf8(TALLOWPEN_CLI_PATH),
                                  {u"--home"_s, home.path(), u"save"_s, u"field"_s, u"0012.txt"_s,
                                   QString::number(i + 1), u"--translation"_s, u"Hola."_s});
        }
        for (const auto &process : running) {
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->readAllStandardError(), QByteArray());
        }
        for (int i = 0; i < saves; ++i) {
            const auto versions = blockVersions(home.storePath(), {u"field"_s, u"0012.txt"_s, qint16(i + 1)});
            QVERIFY(versions);
            QCOMPARE(versions->size(), size_t(1));
        }
    }
}

void tst_History::draftsLastUntilTheBlockIsSaved_data()
{
    QTest::addColumn<QStringList>("drafts"); // written in turn
    QTest::addColumn<bool>("saved");         // then the block saved
    QTest::newRow("a draft read back") << QStringList{u"It's mine.\r\nLine two"_s} << false;
    QTest::newRow("the newer draft replaces the older") << QStringList{u"One"_s, u"Two"_s} << false;
    QTest::newRow("a save drops it") << QStringList{u"One"_s} << true;
}

void tst_History::draftsLastUntilTheBlockIsSaved()
{
    QFETCH(QStringList, drafts);
    QFETCH(bool, saved);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    for (const QString &text : drafts)
        QVERIFY(writeDraft(home.storePath(), Address, {QDateTime::currentDateTime(), text, u"c"_s, true}));
    if (saved) {
        Database db;
        QVERIFY(openStore(db, home.storePath()));
        QVERIFY(saveBlock(db, Key, u"3"_s, {u"Saved."_s, QString(), false}, nullptr).ok());
    }
    const Result<std::optional<BlockVersion>> read = blockDraft(home.storePath(), Address);
    QVERIFY(read);
    const std::optional<BlockVersion> draft = *read;
    QCOMPARE(draft.has_value(), !saved);
    if (draft)
        QCOMPARE(*draft, (BlockVersion{draft->time, drafts.last(), u"c"_s, true}));
}

// A history that cannot be read is a failure, never "no last block".
void tst_History::theLastBlockIsReadOrItsFailureGiven_data()
{
    QTest::addColumn<QString>("history"); // none, kept, folder
    QTest::addColumn<QString>("read");    // the key, or "failed"
    QTest::newRow("no history yet") << u"none"_s << QString();
    QTest::newRow("a block kept") << u"kept"_s << Key;
    QTest::newRow("history.db a folder") << u"folder"_s << u"failed"_s;
}

void tst_History::theLastBlockIsReadOrItsFailureGiven()
{
    QFETCH(QString, history);
    QFETCH(QString, read);
    TestHome home(TestHome::StoreOnly);
    if (history == u"kept")
        QVERIFY(rememberOpenBlock(home.storePath(), Key));
    if (history == u"folder")
        QVERIFY(QDir(home.path()).mkdir(HistoryFileName));
    const Result<QString> last = lastOpenBlock(home.storePath());
    QCOMPARE(last ? *last : u"failed"_s, read);
}

// Changes written "=same|-removed|+added".
void tst_History::textChanges_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("changes");
    QTest::newRow("equal") << u"Hola.<End>"_s << u"Hola.<End>"_s << u"=Hola.<End>"_s;
    QTest::newRow("a word replaced") << u"el cofre rojo"_s << u"el arca roja"_s << u"=el |-cofre|+arca|= |-rojo|+roja"_s;
    QTest::newRow("a word added") << u"ve ya"_s << u"ve ahora ya"_s << u"=ve |+ahora |=ya"_s;
    QTest::newRow("a tag changed") << u"<Wait><Close>"_s << u"<Delay 3><Close>"_s << u"=<|-Wait|+Delay 3|=><Close>"_s;
    QTest::newRow("from nothing") << QString() << u"Hola"_s << u"+Hola"_s;
    const QString longFrom = u"a "_s.repeated(3000).trimmed(), longTo = u"b "_s.repeated(3000).trimmed();
    QTest::newRow("too long to compare word by word") << longFrom << longTo << u"-"_s + longFrom + u"|+"_s + longTo;
}

void tst_History::textChanges()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, changes);
    QStringList got;
    for (const TextChange &change : ::textChanges(from, to))
        got << QStringView(u"=-+").mid(change.kind, 1) + change.text;
    QCOMPARE(got.join(u'|'), changes);
}

void tst_History::theExportSearchesByScript_data()
{
    QTest::addColumn<bool>("madeBeforeTheFigures");
    QTest::newRow("a store made now") << false;
    QTest::newRow("a store made before the figures") << true;
}

void tst_History::theExportSearchesByScript()
{
    QFETCH(bool, madeBeforeTheFigures);
    TestHome home(TestHome::StoreOnly);
    if (madeBeforeTheFigures) {
        QVERIFY(home.execute(u"DELETE FROM sqlite_stat1"_s));
        QVERIFY(ensurePlannerStatistics(home.storePath()).ok());
    }
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    Result<ResultSet> plan = db.query(u"EXPLAIN QUERY PLAN SELECT * FROM field WHERE file_name = 'a.txt' AND translated = 1;"_s);
    QVERIFY(plan && plan->next());
    QCOMPARE(plan->text(3), u"SEARCH field USING INDEX field_block (file_name=?)"_s);
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
