#include "search/replace.h"
#include "keeping/batch.h"
#include "keeping/history.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Replace : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void untickedMatchesStay();
    void commandLine();
};

void tst_Replace::text_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("flags"); // c: match case, w: whole word, r: regex
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("case folded") << u"ÁRBOL"_s << u"pino"_s << QString() << u"Un árbol, un Árbol."_s
                                 << u"Un pino, un pino."_s;
    QTest::newRow("accents count") << u"el"_s << u"lo"_s << QString() << u"él y el"_s << u"él y lo"_s;
    QTest::newRow("case must match") << u"Sol"_s << u"Luna"_s << u"c"_s << u"sol Sol"_s << u"sol Luna"_s;
    QTest::newRow("whole word") << u"mar"_s << u"río"_s << u"w"_s << u"mar, amar, marea, ¿mar?"_s
                                << u"río, amar, marea, ¿río?"_s;
    QTest::newRow("whole word: ñ is a letter") << u"a"_s << u"x"_s << u"w"_s << u"año a"_s << u"año x"_s;
    QTest::newRow("regex with captures") << u"(\\w+) y (\\w+)"_s << u"\\2 y \\1"_s << u"r"_s << u"pan y vino"_s
                                         << u"vino y pan"_s;
    QTest::newRow("regex folds case") << u"hola"_s << u"adiós"_s << u"r"_s << u"HOLA"_s << u"adiós"_s;
    QTest::newRow("tags never matched inside") << u"Wait"_s << u"Espera"_s << QString() << u"Wait<Wait>"_s
                                               << u"Espera<Wait>"_s;
    QTest::newRow("a match across a tag is none") << u"a<New>b"_s << u"x"_s << QString() << u"a<New>b"_s
                                                  << u"a<New>b"_s;
    QTest::newRow("regex cannot eat a tag") << u"<[^>]*>"_s << QString() << u"r"_s << u"a<Delay 3>b"_s
                                            << u"a<Delay 3>b"_s;
}

void tst_Replace::text()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, flags);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ReplaceOptions options;
    options.find = find;
    options.replacement = replacement;
    options.matchCase = flags.contains(u'c');
    options.wholeWord = flags.contains(u'w');
    options.regex = flags.contains(u'r');
    const Result<TextReplacer> replacer = TextReplacer::make(options);
    QVERIFY2(replacer, qPrintable(replacer.error().message));
    QCOMPARE(applyMatches(text, replacer->matches(text)), expected);
}

void tst_Replace::untickedMatchesStay()
{
    TestHome home;
    StoredBlock a;
    a.translated = 1;
    a.textT = u"uno\r\ndos uno"_s;
    StoredBlock b = a;
    b.id = 4;
    b.textT = u"uno"_s;
    QVERIFY(home.isValid() && insertBlock(home, a) && insertBlock(home, b));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    ReplaceOptions options;
    options.find = u"uno"_s;
    options.replacement = u"one"_s;
    const Result<MatchList> found = findMatches(db, options);
    QVERIFY(found);
    const MatchList &list = *found;
    QCOMPARE(list.count(), 3);
    QCOMPARE(matchLines(list.blocks[0].text, list.blocks[0].matches[1]),
             std::make_pair(u"dos uno"_s, u"dos one"_s));

    const Result<ReplaceBatch> replaced = replaceMatches(db, list, ReplaceField::Translated, {true, false, false});
    QVERIFY2(replaced, qPrintable(replaced.error().message));
    const ReplaceBatch &batch = *replaced;
    QCOMPARE(batch.replacements, 1);
    QCOMPARE(batch.blocks.size(), size_t(1));
    QCOMPARE(batch.blocks[0].before, a.textT);
    QVERIFY(batch.backup.contains(u"replace"_s));
    QCOMPARE(storedRow(db, a).value(8).toString(), u"one\r\ndos uno"_s);
    QCOMPARE(storedRow(db, b).value(8).toString(), u"uno"_s);
    // Through the block save: the text it replaced is in the block's history.
    QCOMPARE(blockVersions(db.path(), batch.blocks[0].address)->front().translation, a.textT);

    // The whole step is the store's last batch: undone, the text is back.
    const Result<std::optional<BatchRecord>> kept = lastBatch(db.path());
    QVERIFY(kept);
    const std::optional<BatchRecord> &last = *kept;
    QVERIFY(last && last->reason == u"replace"_s && last->backup == batch.backup);
    QCOMPARE(last->blocks.size(), size_t(1));
    QVERIFY(undoBatch(db, *last).problems.isEmpty());
    QCOMPARE(storedRow(db, a).value(8).toString(), a.textT);
}

void tst_Replace::commandLine()
{
    TestHome home;
    StoredBlock a;
    a.translated = 1;
    a.textT = u"Hola, hola."_s;
    QVERIFY(home.isValid() && insertBlock(home, a));
    const CliRun run = runCli(home.path(), {u"replace"_s, u"hola"_s, u"adiós"_s, u"--dry-run"_s, u"--folder"_s,
                                            u"field"_s, u"--script"_s, u"0012.txt"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, u"{\"table\": \"field\", \"file_name\": \"0012.txt\", \"dialogue_id\": 3, \"before\": \"Hola, "
                      "hola.\", \"after\": \"adiós, adiós.\"}\n"_s);
    QCOMPARE(run.err, u"2 replacements in 1 blocks\n"_s);
    const CliRun none = runCli(home.path(), {u"replace"_s, u"hola"_s, u"x"_s, u"--in"_s, u"comments"_s});
    QCOMPARE(none.err, u"0 replacements in 0 blocks\n"_s);
    QCOMPARE(runCli(home.path(), {u"replace"_s, u"("_s, u"x"_s, u"--regex"_s}).status, 1);
}

QTEST_GUILESS_MAIN(tst_Replace)
#include "tst_replace.moc"
