#include "check/exportcheck.h"
#include "keeping/backup.h"
#include "project/sqlitestore.h"
#include "store/layout.h"
#include "keeping/duplicates.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

// The checks over a store: blocks read as the load reads them, the scope an
// export checks, and the files an export wrote read back.
class tst_ProjectCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void blocksReadAsTheLoadReadsThem();
    void options_data();
    void options();
    void aLargeProjectInProjectOrder();
    void beforeExport_data();
    void beforeExport();
    void readBack();
    void duplicatesAreErrors_data();
    void duplicatesAreErrors();

private:
    static QStringList found(const ProjectCheck &check);
    std::unique_ptr<TestHome> m_home;
    Database m_db;
    SqliteStore m_store{m_db};
    CheckedProject m_project;
};

void tst_ProjectCheck::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->isValid());
    const auto add = [this](const QString &file, int id, const QString &text, const QString &textT, int translated,
                            int revised, int newWidth = 0, int newHeight = 0) {
        StoredBlock b;
        b.file = file;
        b.id = id;
        b.text = text + u"<Close><End of Block>"_s;
        b.textT = textT;
        b.translated = translated;
        b.revised = revised;
        b.newWidth = newWidth;
        b.newHeight = newHeight;
        QVERIFY(insertBlock(*m_home, b));
    };
    const QString shown = u"Hola, soy yo.<Close><End of Block>"_s; // 13 glyphs; width 24 fits 12
    add(u"a.txt"_s, 1, u"It`s me."_s, shown, 1, 1);
    add(u"a.txt"_s, 2, u"It`s me."_s, shown, 1, 0, 32, 1); // a size of its own
    add(u"a.txt"_s, 3, u"Bye."_s, u"Hola  yo"_s, 1, 0);    // no end tag, two blanks, <Close> lost
    add(u"b.txt"_s, 1, u"It`s me."_s, u"Hola yo"_s, 0, 0); // not marked translated
    QVERIFY(openStore(m_db, m_home->storePath()));
    Result<CheckedProject> loaded = loadProject(m_store, m_home->path());
    QVERIFY2(loaded, qPrintable(loaded.error().message));
    m_project = std::move(*loaded);
}

QStringList tst_ProjectCheck::found(const ProjectCheck &check)
{
    QStringList found;
    for (const BlockFindings &block : check.blocks) {
        for (const Finding &f : block.findings)
            found << u"%1 %2 %3"_s.arg(block.block->fileName.left(5)).arg(block.block->number).arg(ruleId(f.rule));
    }
    return found;
}

void tst_ProjectCheck::blocksReadAsTheLoadReadsThem()
{
    QCOMPARE(m_project.blocks.size(), size_t(4));
    const CheckedBlock &first = m_project.blocks[0];
    QCOMPARE(first.original, u"It's me.<Close><End of Block>"_s);
    QCOMPARE(first.width + u' ' + first.height, u"24 2"_s);
    QVERIFY(first.translated && first.revised);
    const CheckedBlock &resized = m_project.blocks[1];
    QCOMPARE(resized.width + u' ' + resized.height, u"32 1"_s);
    const CheckedBlock &untranslated = m_project.blocks[3];
    QCOMPARE(untranslated.translation, u"Hola yo"_s);
    QVERIFY(!untranslated.translated);
    QVERIFY(m_project.context.font.isLoaded());
}

void tst_ProjectCheck::options_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("errorsOnly");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expected");
    // b.txt 1 is checked although not marked translated; its end tag is not asked for.
    const QStringList b{u"b.txt 1 inconsistent"_s, u"b.txt 1 pages"_s}; // a missing page tag stands at the end
    QTest::newRow("everything") << QString() << false << QString()
                                << QStringList{u"a.txt 1 overflow"_s, u"a.txt 3 punctuation"_s, u"a.txt 3 end-tag"_s,
                                               u"a.txt 3 pages"_s} + b;
    QTest::newRow("errors only") << QString() << true << QString()
                                 << QStringList{u"a.txt 1 overflow"_s, u"a.txt 3 end-tag"_s};
    QTest::newRow("one script") << QString() << false << u"b.txt"_s << b;
    QTest::newRow("a narrower window") << u"16 2"_s << true << u"a.txt"_s
                                       << QStringList{u"a.txt 1 overflow"_s, u"a.txt 2 overflow"_s,
                                                      u"a.txt 3 end-tag"_s};
}

void tst_ProjectCheck::options()
{
    QFETCH(QString, size);
    QFETCH(bool, errorsOnly);
    QFETCH(QString, script);
    QFETCH(QStringList, expected);
    ProjectCheckOptions options;
    options.errorsOnly = errorsOnly;
    if (!size.isEmpty())
        options.size = {size.section(u' ', 0, 0), size.section(u' ', 1, 1)};
    options.inScope = [&](const CheckedBlock &block) { return script.isEmpty() || block.fileName == script; };
    const ProjectCheck check = checkProject(m_project, options);
    QCOMPARE(found(check), expected);
    QCOMPARE(check.checked, script == u"b.txt" ? 1 : script.isEmpty() ? 4 : 3);
}

// However many blocks, and however many threads share them: each block's
// findings once, in project order.
void tst_ProjectCheck::aLargeProjectInProjectOrder()
{
    CheckedProject large;
    large.context = m_project.context;
    QStringList expected;
    const QStringList once = found(checkProject(m_project));
    for (int copy = 0; copy < 600; ++copy) {
        large.blocks.insert(large.blocks.end(), m_project.blocks.cbegin(), m_project.blocks.cend());
        expected += once;
    }
    for (size_t i = 0; i < large.blocks.size(); ++i)
        large.blocks[i].fileName += QString::number(i / m_project.blocks.size()); // each copy a script of its own
    const ProjectCheck check = checkProject(large);
    QCOMPARE(found(check), expected);
    QCOMPARE(check.checked, 2400);
}

void tst_ProjectCheck::beforeExport_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("onlyRevised");
    QTest::addColumn<int>("errors");
    QTest::newRow("the script with the errors") << u"a.txt"_s << false << 2;
    QTest::newRow("only revised blocks are written") << u"a.txt"_s << true << 1;
    QTest::newRow("untranslated blocks are written with their original") << u"b.txt"_s << false << 0;
}

void tst_ProjectCheck::beforeExport()
{
    QFETCH(QString, script);
    QFETCH(bool, onlyRevised);
    QFETCH(int, errors);
    const ProjectCheck check = checkBeforeExport(m_project, {{script, u"field"_s, {}}}, onlyRevised);
    QCOMPARE(check.errors, errors);
    QCOMPARE(check.warnings, 0);
}

void tst_ProjectCheck::readBack()
{
    const std::vector<ExportListRow> ticked{{u"a.txt"_s, u"field"_s, {}}};
    QVERIFY(m_home->execute(u"UPDATE field SET text_data_t = 'Hola yo<End of Block>' WHERE dialogue_id = 3;"_s));
    QVERIFY(exportScripts(m_db, m_home->path(), ticked, false, false).ok());
    QCOMPARE(verifyExport(m_db, m_home->path(), ticked, false, false), QStringList());

    // What the files hold when a translation lacks its end tag: block 2 swallows block 3.
    QVERIFY(m_home->execute(u"UPDATE field SET text_data_t = 'Hola' WHERE dialogue_id = 2;"_s));
    QVERIFY(exportScripts(m_db, m_home->path(), ticked, false, false).ok());
    QCOMPARE(verifyExport(m_db, m_home->path(), ticked, false, false),
             QStringList({u"Translated/field/a.txt, block 2: reads back as block 3."_s,
                          u"Translated/field/a.txt: 3 blocks were written, 2 read back."_s}));

    // The store changed after the export: the header and the text no longer match.
    QVERIFY(m_home->execute(u"UPDATE field SET new_width = 40, new_height = 3 WHERE dialogue_id = 1;"_s));
    QVERIFY(m_home->execute(u"UPDATE field SET text_data_t = 'Adiós<End of Block>' WHERE dialogue_id = 3;"_s));
    const QStringList changed = verifyExport(m_db, m_home->path(), ticked, false, false);
    QVERIFY2(changed.value(0).startsWith(u"Translated/field/a.txt, block 1: reads back with the size w:24 h:2 "
                                         "instead of w:40 h:3"_s),
             qPrintable(changed.join(u'\n')));

    QVERIFY(QFile::remove(m_home->filePath(u"Translated/field/a.txt"_s)));
    QVERIFY(verifyExport(m_db, m_home->path(), ticked, false, false).value(0).contains(u"cannot be read back"_s));
}

void tst_ProjectCheck::duplicatesAreErrors_data()
{
    QTest::addColumn<QList<int>>("added"); // blocks of a.txt stored once more, in turn
    QTest::addColumn<QStringList>("findings");
    QTest::newRow("none") << QList<int>() << QStringList();
    QTest::newRow("a block named twice") << QList<int>{2} << QStringList{u"a.txt 2 duplicate"_s, u"a.txt 2 duplicate"_s};
    QTest::newRow("block 0 left beside the new one")
        << QList<int>{0, 0} << QStringList{u"a.txt 0 duplicate"_s, u"a.txt 0 duplicate"_s};
}

// The rule names every row of the block; the checks window's removal keeps
// the newest row only, after a copy of the store.
void tst_ProjectCheck::duplicatesAreErrors()
{
    QFETCH(QList<int>, added);
    QFETCH(QStringList, findings);
    for (int i = 0; i < added.size(); ++i) {
        StoredBlock b;
        b.file = u"a.txt"_s;
        b.id = added[i];
        b.textT = u"Copia %1"_s.arg(i);
        b.translated = 1;
        QVERIFY(insertBlock(*m_home, b));
    }
    Result<CheckedProject> loaded = loadProject(m_store, m_home->path());
    QVERIFY(loaded);
    m_project = std::move(*loaded);
    ProjectCheckOptions options;
    options.rules = RuleSet::none();
    options.rules.insert(Rule::Duplicate);
    const ProjectCheck check = checkProject(m_project, options);
    QCOMPARE(found(check), findings);
    QCOMPARE(check.errors, findings.size());
    if (!findings.isEmpty())
        QVERIFY(check.blocks.front().findings.front().message.contains(u"row %1: translated"_s.arg(findings.size())));

    const auto duplicates = duplicateBlocks(m_db);
    QVERIFY(duplicates);
    QCOMPARE(duplicates->size(), size_t(findings.isEmpty() ? 0 : 1));
    QCOMPARE(removeOlderDuplicates(m_db, *duplicates), QString());
    QVERIFY(duplicateBlocks(m_db)->empty());
    QCOMPARE(Backups::listBackups(m_home->path()).size(), size_t(findings.isEmpty() ? 0 : 1));
    if (!added.isEmpty())
        QCOMPARE(storedRow(m_db, u"field"_s, u"a.txt"_s, added.last()).value(ColTextDataT).toString(),
                 u"Copia %1"_s.arg(added.size() - 1));
}

QTEST_APPLESS_MAIN(tst_ProjectCheck)
#include "tst_projectcheck.moc"
