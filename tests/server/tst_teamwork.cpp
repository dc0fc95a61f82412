#include "server/changefeed.h"
#include "server/livechanges.h"
#include "server/outbox.h"
#include "server/presence.h"
#include "server/roles.h"
#include "server/serverstore.h"
#include "project/transfer.h"
#include "project/workingcopy.h"
#include "store/database.h"
#include "tests/support/testdatabase.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QFileInfo>

using namespace Qt::StringLiterals;

// Working together on one server store, each person on connections of
// their own: versions, the change feed, presence, claims and roles.
class tst_Teamwork : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void staleSaveChangesNothing_data();
    void staleSaveChangesNothing();
    void editsOfOtherFieldsMerge_data();
    void editsOfOtherFieldsMerge();
    void outboxReplaysThroughTheCheck();
    void feedGivesEachCommittedChangeOnce();
    void windowHearsChangesAndComesBack();
    void presenceEndsWithTheSession_data();
    void presenceEndsWithTheSession();
    void claimsNeverMeet();
    void rolesAreEnforcedByTheServer_data();
    void rolesAreEnforcedByTheServer();
    void batchesNeedTheRightsOfWhatTheyChangeOnly_data();
    void batchesNeedTheRightsOfWhatTheyChangeOnly();
    void earlierStoreIsBroughtUpToDate_data();
    void earlierStoreIsBroughtUpToDate();

private:
    // The store as one of the users below sees it.
    ServerStore as(const QString &user)
    {
        Result<ServerStore> store = ServerStore::open(m_server->address() + u" user="_s + user);
        if (!store)
            qFatal("%s", qPrintable(store.error().message));
        return std::move(*store);
    }
    // The owner ends another's backend, as a crash or a lost network would.
    bool cut(int pid) const
    {
        return m_server->execute(u"DO $$ BEGIN PERFORM pg_terminate_backend(%1); END $$"_s.arg(pid));
    }
    std::unique_ptr<TestDatabase> m_server;
};

namespace {

const QString Key = u"field:a.txt;1"_s;
const BlockAddress Block{u"field"_s, u"a.txt"_s, 1};

} // namespace

void tst_Teamwork::init()
{
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    Result<ServerConnection> connection = ServerConnection::open(m_server->address());
    QVERIFY(connection);
    ServerStore store(std::move(*connection));
    QVERIFY(ServerTransfer::setUp(store, nullptr));
    QVERIFY(store.connection().runScript(
        "INSERT INTO field (file_name, dialogue_id, text_data, width, height, translated, revised, new_width, "
        "new_height) VALUES ('a.txt', 1, 'One', 24, 2, 0, 0, 0, 0), ('a.txt', 2, 'Two', 24, 2, 0, 0, 0, 0), "
        "('a.txt', 3, 'Three', 24, 2, 0, 0, 0, 0), ('a.txt', 4, 'Four', 24, 2, 1, 0, 0, 0);"
        "DO $$ DECLARE u text; BEGIN FOREACH u IN ARRAY ARRAY['tw_ana', 'tw_ben', 'tw_cleo'] LOOP "
        "BEGIN EXECUTE format('CREATE ROLE %I LOGIN', u); EXCEPTION WHEN duplicate_object THEN NULL; END; "
        "END LOOP; PERFORM tallowpen_grant('tw_ana', 'translator'), tallowpen_grant('tw_ben', 'reviewer'), "
        "tallowpen_grant('tw_cleo', 'lead'); END $$"));
}

void tst_Teamwork::staleSaveChangesNothing_data()
{
    QTest::addColumn<QString>("mine");
    QTest::addColumn<qint64>("loadedAt");
    QTest::addColumn<bool>("conflict");
    QTest::newRow("stale version") << u"Mine"_s << qint64(1) << true;
    QTest::newRow("stale version saving what is there") << u"Theirs"_s << qint64(1) << true;
    QTest::newRow("current version") << u"Mine"_s << qint64(2) << false;
}

void tst_Teamwork::staleSaveChangesNothing()
{
    QFETCH(QString, mine);
    QFETCH(qint64, loadedAt);
    QFETCH(bool, conflict);
    ServerStore ana = as(u"tw_ana"_s);
    ServerStore ben = as(u"tw_ben"_s);
    Result<ServerBlockLoad> loaded = ben.loadBlock(Key);
    QVERIFY(loaded);
    VersionGuard theirs{1, {}};
    QVERIFY(ana.saveBlock(Key, u"1"_s, {u"Theirs"_s, {}, false}, &*loaded->load.stored, &theirs));
    QCOMPARE(theirs.saved.value_or(0), qint64(2));

    VersionGuard guard{loadedAt, {}};
    Result<BlockSave> saved = ben.saveBlock(Key, u"1"_s, {mine, {}, false}, &*loaded->load.stored, &guard);
    QCOMPARE(!saved, conflict);
    Result<ServerBlockLoad> now = ana.loadBlock(Key);
    QVERIFY(now);
    if (conflict) {
        QVERIFY(VersionCheck::isConflict(saved.error()));
        QVERIFY2(saved.error().message.startsWith(u"Conflict: tw_ana changed block 1 of a.txt at "_s + now->updatedAt),
                 qPrintable(saved.error().message));
        QCOMPARE(now->load.translation + now->updatedBy, u"Theirstw_ana"_s);
        QCOMPARE(now->version.value_or(0), qint64(2));
        return;
    }
    QCOMPARE(guard.saved.value_or(0), qint64(3));
    QCOMPARE(now->load.translation + now->updatedBy, mine + u"tw_ben"_s);
    Result<std::vector<ServerVersion>> history = VersionCheck::history(ana.connection(), Block);
    QVERIFY(history);
    QString kept;
    for (const ServerVersion &version : *history)
        kept += u"%1:%2:%3;"_s.arg(version.version).arg(version.translation, version.user);
    QCOMPARE(kept, u"2:Theirs:tw_ana;1::postgres;"_s);
}

void tst_Teamwork::editsOfOtherFieldsMerge_data()
{
    // Loaded as translation "A", comment "x", not revised.
    QTest::addColumn<QString>("mine");   // translation;comment;revised
    QTest::addColumn<QString>("theirs");
    QTest::addColumn<QString>("merged"); // empty: a person settles it
    QTest::newRow("translation and comment") << u"B;x;0"_s << u"A;y;0"_s << u"B;y;0"_s;
    QTest::newRow("comment and Revised mark") << u"A;y;0"_s << u"A;x;1"_s << u"A;y;1"_s;
    QTest::newRow("the same change twice") << u"B;x;0"_s << u"B;x;0"_s << u"B;x;0"_s;
    QTest::newRow("apostrophes as the store keeps them") << u"A;x`s;0"_s << u"A;x's;0"_s << u"A;x`s;0"_s;
    QTest::newRow("both changed the translation") << u"B;x;0"_s << u"C;x;0"_s << QString();
    QTest::newRow("their Revised mark on an emptied translation") << u";x;0"_s << u"A;x;1"_s << u";x;0"_s;
}

void tst_Teamwork::editsOfOtherFieldsMerge()
{
    QFETCH(QString, mine);
    QFETCH(QString, theirs);
    QFETCH(QString, merged);
    const auto edits = [](const QString &fields) {
        return BlockEdits{fields.section(u';', 0, 0), fields.section(u';', 1, 1), fields.section(u';', 2) == u"1"};
    };
    const std::optional<BlockEdits> result = VersionCheck::merge({u"A"_s, u"x"_s, false}, edits(mine), edits(theirs));
    QCOMPARE(result ? u"%1;%2;%3"_s.arg(result->translation, result->comment).arg(int(result->revised)) : QString(),
             merged);
}

void tst_Teamwork::outboxReplaysThroughTheCheck()
{
    ServerStore ana = as(u"tw_ana"_s);
    QTemporaryDir folder;
    Outbox outbox(folder.filePath(OutboxFileName));
    QCOMPARE(outbox.pending()->size(), size_t(0));
    QVERIFY(!QFileInfo::exists(folder.filePath(OutboxFileName))); // made by the first edit only
    // Two edits of block 2 typed over version 1 (the later kept), one of block 3 that Ben saves meanwhile.
    const Result<Done> added = outbox.add({0, u"field:a.txt;2"_s, u"2"_s, u"Dos"_s, {}, false, 1, {}});
    QVERIFY2(added, qPrintable(added ? QString() : added.error().message));
    QVERIFY(outbox.add({0, u"field:a.txt;3"_s, u"3"_s, u"Tres"_s, {}, false, 1, {}}));
    QVERIFY(outbox.add({0, u"field:a.txt;2"_s, u"2"_s, u"Dos'"_s, u"n"_s, false, 2, {}}));
    ServerStore ben = as(u"tw_ben"_s);
    QVERIFY(ben.saveBlock(u"field:a.txt;3"_s, u"3"_s, {u"Three!"_s, {}, false}, nullptr));

    const Outbox::Replay replay = outbox.replay(ana);
    QVERIFY(!replay.stopped);
    QCOMPARE(replay.saved.size(), size_t(1));
    QCOMPARE(replay.saved.front().baseVersion.value_or(0), qint64(2));
    QCOMPARE(replay.conflicts.size(), size_t(1));
    QCOMPARE(ana.loadBlock(u"field:a.txt;2"_s)->load.translation + ana.loadBlock(u"field:a.txt;3"_s)->load.translation,
             u"Dos'Three!"_s);
    Result<std::vector<OutboxEdit>> left = outbox.pending();
    QVERIFY(left && left->size() == 1);
    QCOMPARE(left->front().translation + QString::number(left->front().baseVersion.value_or(0)), u"Tres1"_s);
}

void tst_Teamwork::feedGivesEachCommittedChangeOnce()
{
    Result<ChangeFeed> feed = ChangeFeed::open(m_server->address());
    QVERIFY(feed);
    ServerStore ana = as(u"tw_ana"_s);
    // A save that never commits (version 9) must never arrive; the feed's
    // connection is cut and two saves are made while it is away.
    QVERIFY(ana.connection().runScript("BEGIN; UPDATE field SET version = 9 WHERE dialogue_id = 1;"
                                       "INSERT INTO block_change (block_table, file_name, dialogue_id, version) "
                                       "VALUES ('field', 'a.txt', 1, 9); ROLLBACK"));
    QVERIFY(cut(feed->backendPid()));
    for (const QString &text : {u"A"_s, u"B"_s})
        QVERIFY(ana.saveBlock(Key, u"1"_s, {text, {}, false}, nullptr));
    QString versions;
    while (versions.size() < 4) {
        Result<std::vector<BlockChange>> changes = feed->wait(5000);
        QVERIFY2(changes && !changes->empty(), qPrintable(changes ? u"none"_s : changes.error().message));
        for (const BlockChange &change : *changes)
            versions += QString::number(change.version) + u';';
    }
    QCOMPARE(versions, u"2;3;"_s);
    // Caught up once, then live: the next save arrives alone, within a second.
    QVERIFY(ana.saveBlock(Key, u"1"_s, {u"C"_s, {}, false}, nullptr));
    Result<std::vector<BlockChange>> next = feed->wait(1000);
    QVERIFY(next && next->size() == 1);
    const BlockChange &change = next->front();
    QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(change.table, change.fileName).arg(change.dialogueId).arg(change.version)
                 .arg(change.user),
             u"field a.txt 1 4 tw_ana"_s);
}

void tst_Teamwork::windowHearsChangesAndComesBack()
{
    Result<ChangeFeed> feed = ChangeFeed::open(m_server->address());
    QVERIFY(feed);
    const int pid = feed->backendPid();
    LiveChanges live(std::move(*feed));
    QSignalSpy changed(&live, &LiveChanges::changed);
    ServerStore ana = as(u"tw_ana"_s);
    QVERIFY(ana.saveBlock(Key, u"1"_s, {u"A"_s, {}, false}, nullptr));
    QVERIFY(changed.wait(1000));
    // Cut, then a change: heard on the new connection's socket.
    QVERIFY(cut(pid));
    QVERIFY(ana.saveBlock(Key, u"1"_s, {u"B"_s, {}, false}, nullptr));
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 2, 10000);
    QVERIFY(ana.saveBlock(Key, u"1"_s, {u"C"_s, {}, false}, nullptr));
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 3, 1000);
    QCOMPARE(changed.at(2).at(0).value<BlockChange>().version, qint64(4));
}

void tst_Teamwork::presenceEndsWithTheSession_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("shown");
    QTest::newRow("still there") << u"stay"_s << u"tw_ben field a.txt 1;"_s;
    QTest::newRow("moved on") << u"enter"_s << u"tw_ben field a.txt 2;"_s;
    QTest::newRow("left the block") << u"leave"_s << QString();
    QTest::newRow("connection dropped") << u"kill"_s << QString();
}

void tst_Teamwork::presenceEndsWithTheSession()
{
    QFETCH(QString, then);
    QFETCH(QString, shown);
    ServerStore ana = as(u"tw_ana"_s);
    ServerStore ben = as(u"tw_ben"_s);
    QVERIFY(Presence::enter(ben.connection(), Block));
    if (then == u"enter")
        QVERIFY(Presence::enter(ben.connection(), {u"field"_s, u"a.txt"_s, 2}));
    else if (then == u"leave")
        QVERIFY(Presence::leave(ben.connection()));
    else if (then == u"kill")
        QVERIFY(cut(ben.connection().backendPid()));
    // The server lets a killed backend go a moment after the call returns.
    const auto seen = [&] {
        Result<std::vector<PresenceEntry>> people = Presence::who(ana.connection());
        QString text = people ? QString() : u"failed"_s;
        for (const PresenceEntry &person : *people)
            text += u"%1 %2 %3 %4;"_s.arg(person.user, person.block.table, person.block.fileName).arg(person.block.number);
        return text;
    };
    QTRY_COMPARE_WITH_TIMEOUT(seen(), shown, 5000);
}

void tst_Teamwork::claimsNeverMeet()
{
    ServerStore ana = as(u"tw_ana"_s);
    ServerStore ben = as(u"tw_ben"_s);
    ServerStore cleo = as(u"tw_cleo"_s);
    // Cleo is at block 2, so nobody is handed it.
    QVERIFY(Presence::enter(cleo.connection(), {u"field"_s, u"a.txt"_s, 2}));
    QString handed;
    for (ServerStore *store : {&ana, &ben, &ana}) {
        Result<std::vector<Lease>> leases = Claims::claim(store->connection(), u"field"_s, 1);
        QVERIFY(leases);
        for (const Lease &lease : *leases)
            handed += QString::number(lease.block.number);
        handed += u';';
    }
    // Block 4 is translated; nothing is left for the third claim.
    QCOMPARE(handed, u"1;3;;"_s);
    QVERIFY(Claims::release(ana.connection(), Block));
    Result<std::vector<Lease>> again = Claims::claim(ben.connection(), QString(), 5);
    QVERIFY(again && again->size() == 1);
    QCOMPARE(again->front().block, Block);
}

void tst_Teamwork::rolesAreEnforcedByTheServer_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QByteArray>("statement");
    QTest::addColumn<bool>("allowed");
    const QByteArray translation = "UPDATE field SET text_data_t = 'x', translated = 1, comments = 'c', "
                                   "new_width = 30, version = version + 1 WHERE dialogue_id = 1";
    const QByteArray revised = "UPDATE field SET revised = 1 WHERE dialogue_id = 1";
    const QByteArray original = "UPDATE field SET text_data = 'x' WHERE dialogue_id = 1";
    const QByteArray import = "INSERT INTO field (file_name, dialogue_id) VALUES ('b.txt', 1)";
    const QByteArray link = "INSERT INTO suggestion (word) VALUES ('w')";
    QTest::newRow("translator: translation, comment, size") << u"tw_ana"_s << translation << true;
    QTest::newRow("translator: Revised mark") << u"tw_ana"_s << revised << false;
    QTest::newRow("translator: original text") << u"tw_ana"_s << original << false;
    QTest::newRow("translator: import") << u"tw_ana"_s << import << false;
    QTest::newRow("translator: the count") << u"tw_ana"_s << QByteArray("UPDATE block_count SET blocks = 0") << false;
    QTest::newRow("reviewer: Revised mark") << u"tw_ben"_s << revised << true;
    QTest::newRow("reviewer: import") << u"tw_ben"_s << import << false;
    QTest::newRow("reviewer: links file") << u"tw_ben"_s << QByteArray("DELETE FROM suggestion") << false;
    QTest::newRow("lead: import") << u"tw_cleo"_s << import << true;
    QTest::newRow("lead: link") << u"tw_cleo"_s << link << true;
}

void tst_Teamwork::rolesAreEnforcedByTheServer()
{
    QFETCH(QString, user);
    QFETCH(QByteArray, statement);
    QFETCH(bool, allowed);
    ServerStore store = as(user);
    Result<ServerRows> done = store.connection().run(statement.constData());
    QVERIFY2(done.ok() == allowed, qPrintable(done.ok() ? u"allowed"_s : done.error().message));
    if (!allowed) {
        QCOMPARE(done.error().sqlState, u"42501"_s);
        QVERIFY(done.error().message.contains(u"server-grant"_s));
    }
    // What the window greys out follows the same privileges.
    const QMap<QString, QString> rights{{u"tw_ana"_s, u"100"_s}, {u"tw_ben"_s, u"110"_s}, {u"tw_cleo"_s, u"111"_s}};
    Result<TeamRights> mine = TeamRoles::rights(store.connection());
    QVERIFY(mine);
    QCOMPARE(u"%1%2%3"_s.arg(int(mine->translate)).arg(int(mine->revise)).arg(int(mine->lead)), rights[user]);
    // Whatever the role, the program's own save of a translation goes through.
    Result<BlockSave> saved = store.saveBlock(u"field:a.txt;3"_s, u"3"_s, {user, {}, false}, nullptr);
    QVERIFY2(saved, qPrintable(saved.error().message));
}

void tst_Teamwork::batchesNeedTheRightsOfWhatTheyChangeOnly_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("change"); // made on the working copy
    QTest::addColumn<bool>("written");
    const QString translation = u"UPDATE field SET text_data_t = 'Uno', translated = 1 WHERE dialogue_id = 1"_s;
    const QString revised = u"UPDATE field SET revised = 1 WHERE dialogue_id = 1"_s;
    QTest::newRow("a translator's translation") << u"tw_ana"_s << translation << true;
    QTest::newRow("a translator's Revised mark") << u"tw_ana"_s << revised << false;
    QTest::newRow("a reviewer's Revised mark") << u"tw_ben"_s << revised << true;
}

void tst_Teamwork::batchesNeedTheRightsOfWhatTheyChangeOnly()
{
    QFETCH(QString, user);
    QFETCH(QString, change);
    QFETCH(bool, written);
    QTemporaryDir folder;
    ServerStore store = as(user);
    WorkingCopy copy(folder.path());
    QVERIFY(copy.take(store));
    {
        Database db;
        QVERIFY(db.open(copy.path()));
        QVERIFY(db.execute(change));
    }
    const Result<qint64> back = copy.writeBack(store, u"the batch"_s);
    QVERIFY2(back.ok() == written, back ? "written" : qPrintable(back.error().message));
    if (back)
        QCOMPARE(*back, qint64(1));
}

void tst_Teamwork::earlierStoreIsBroughtUpToDate_data()
{
    QTest::addColumn<QString>("user"); // empty: the owner who set the store up
    QTest::addColumn<bool>("setUpAgain");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("the owner opens it") << QString() << false << QString();
    QTest::newRow("the owner runs server-init") << QString() << true << QString();
    QTest::newRow("a translator is told who can")
        << u"tw_ana"_s << false << u"lacks the tables original_change, removed_block"_s;
}

void tst_Teamwork::earlierStoreIsBroughtUpToDate()
{
    QFETCH(QString, user);
    QFETCH(bool, setUpAgain);
    QFETCH(QString, refusal);
    // The layout teams set up before the marks of the originals' updates
    // were kept on the server.
    QVERIFY(m_server->execute(u"DROP TABLE original_change, removed_block; UPDATE tallowpen_store SET layout = 2"_s));
    const QString address = m_server->address() + (user.isEmpty() ? QString() : u" user="_s + user);
    if (setUpAgain) {
        Result<ServerConnection> connection = ServerConnection::open(address);
        QVERIFY(connection);
        ServerStore store(std::move(*connection));
        Result<ServerTransfer::Uploaded> made = ServerTransfer::setUp(store, nullptr);
        QVERIFY2(made && made->upgraded, made ? "" : qPrintable(made.error().message));
    } else {
        Result<ServerStore> opened = ServerStore::open(address);
        QCOMPARE(bool(opened), refusal.isEmpty());
        if (!opened)
            QVERIFY2(opened.error().message.contains(refusal) && opened.error().message.contains(u"server-init"_s),
                     qPrintable(opened.error().message));
    }
    QVERIFY(m_server->execute(u"DO $$ BEGIN IF (SELECT layout FROM tallowpen_store) <> %1 THEN RAISE 'layout'; END IF; "
                              "END $$"_s.arg(refusal.isEmpty() ? 3 : 2)));
    if (!refusal.isEmpty())
        return;
    // The translator reads the marks the update of the originals leaves.
    QVERIFY(m_server->execute(u"INSERT INTO original_change (block_table, file_name, dialogue_id, old_original, "
                              "new_original, open) VALUES ('field', 'a.txt', 1, 'Uno', 'One', 1)"_s));
    ServerStore ana = as(u"tw_ana"_s);
    QCOMPARE(ana.changedOriginal(Block, u"One"_s), std::optional<QString>(u"Uno"_s));
    Result<ServerBlockLoad> loaded = ana.loadBlock(Key);
    QVERIFY(loaded);
    QCOMPARE(loaded->load.original, u"One"_s);
}

QTEST_GUILESS_MAIN(tst_Teamwork)
#include "tst_teamwork.moc"
