#include "store/database.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// block, save, export-list, export, view and import-translated, run as other
// programs run them.
class tst_CliBlockEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void blockAsJson();
    void blockFailures_data();
    void blockFailures();
    void saveAsTheAutomaticSave_data();
    void saveAsTheAutomaticSave();
    void saveFromAFile();
    void exportList_data();
    void exportList();
    void exportWritesTheTicked();
    void exportNothingTicked_data();
    void exportNothingTicked();
    void viewBytes();
    void importTranslated();
    void importTranslatedFailures();

private:
    struct Run : CliRun
    {
        QJsonObject json() const { return QJsonDocument::fromJson(bytes).object(); }
    };
    Run cli(const QStringList &arguments) const { return {runCli(m_home->path(), arguments)}; }
    void writeFile(const QString &path, const QByteArray &bytes);
    QVariantList row(const QString &table, const QString &file, int id) const;

    std::unique_ptr<TestHome> m_home;
};

void tst_CliBlockEdit::writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QVariantList tst_CliBlockEdit::row(const QString &table, const QString &file, int id) const
{
    Database db;
    return openStore(db, m_home->storePath()) ? storedRow(db, table, file, id) : QVariantList();
}

// field/0012.txt: 1 translated and revised with a comment, 2 untranslated;
// field/dup.txt twice; battle_script/b.txt translated, resized.
void tst_CliBlockEdit::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    StoredBlock b;
    b.id = 1;
    b.text = u"It`s late.\r\n<End of Block>"_s;
    b.translated = 1;
    b.revised = 1;
    b.textT = u"Es tarde, ¿no?\r\n<End of Block>"_s;
    b.comments = u"a `note`"_s;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.id = 2;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.file = u"dup.txt"_s;
    QVERIFY(insertBlock(*m_home, b));
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.table = u"battle_script"_s;
    b.file = u"b.txt"_s;
    b.id = 5;
    b.translated = 1;
    b.textT = u"Be<End of Block>"_s;
    b.newWidth = 26;
    b.newHeight = 3;
    QVERIFY(insertBlock(*m_home, b));
}

void tst_CliBlockEdit::blockAsJson()
{
    const Run run = cli({u"block"_s, u"field"_s, u"0012.txt"_s, u"1"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.count(u'\n'), 1);
    QCOMPARE(run.out.trimmed(),
             u"{\"caption\": \"[field] - [0012.txt] - [1]\", \"original\": \"It's late.\\r\\n<End of Block>\", "
             "\"translation\": \"Es tarde, ¿no?\\r\\n<End of Block>\", \"comment\": \"a 'note'\", \"revised\": 1, "
             "\"revisedEnabled\": true, \"width\": 24, \"height\": 2}"_s);

    const QJsonObject resized = cli({u"block"_s, u"battle_script"_s, u"b.txt"_s, u"5"_s}).json();
    QCOMPARE(resized.value(u"width"_s).toInt(), 26);
    QCOMPARE(resized.value(u"revised"_s).toInt(), 0);
    QCOMPARE(resized.value(u"revisedEnabled"_s).toBool(), true);
    const QJsonObject untranslated = cli({u"block"_s, u"field"_s, u"0012.txt"_s, u"2"_s}).json();
    QCOMPARE(untranslated.value(u"revisedEnabled"_s).toBool(), false);
    QCOMPARE(untranslated.value(u"translation"_s).toString(), QString());
}

void tst_CliBlockEdit::blockFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("duplicate") << QStringList{u"field"_s, u"dup.txt"_s, u"3"_s} << 1
                               << u"Duplicate records, FATAL ERROR"_s;
    QTest::newRow("unknown table") << QStringList{u"fields"_s, u"a.txt"_s, u"3"_s} << 2 << u"fields"_s;
    QTest::newRow("number beyond 16 bits") << QStringList{u"field"_s, u"a.txt"_s, u"32768"_s} << 2 << u"32768"_s;
    QTest::newRow("missing number") << QStringList{u"field"_s, u"a.txt"_s} << 2 << QString();
}

void tst_CliBlockEdit::blockFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    for (const QString &command : {u"block"_s, u"save"_s}) {
        const Run run = cli(QStringList{command} + arguments);
        QCOMPARE(run.status, status);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }
}

void tst_CliBlockEdit::saveAsTheAutomaticSave_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("stored"); // text_data_t, comments, translated, revised

    QTest::newRow("nothing changed")
        << QStringList() << u"{\"text\": \"1[c]\", \"image\": 7, \"status\": \">Translation status: 40% translated\"}"_s
        << u"Es tarde, ¿no?\r\n<End of Block>|a `note`|1|1"_s;
    QTest::newRow("not revised any more")
        << QStringList{u"--revised"_s, u"0"_s}
        << u"{\"text\": \"1[c]\", \"image\": 5, \"status\": \">Translation status: 40% translated\"}"_s
        << u"Es tarde, ¿no?\r\n<End of Block>|a `note`|1|0"_s;
    QTest::newRow("emptied, comment gone")
        << QStringList{u"--translation"_s, QString(), u"--comment"_s, QString()}
        << u"{\"text\": \"1\", \"image\": 4, \"status\": \">Translation status: 20% translated\"}"_s
        << u"||0|1"_s;
    QTest::newRow("new text with an apostrophe")
        << QStringList{u"--translation"_s, u"It's\nhere"_s, u"--comment"_s, u"x"_s}
        << u"{\"text\": \"1[c]\", \"image\": 7, \"status\": \">Translation status: 40% translated\"}"_s
        << u"It`s\r\nhere|x|1|1"_s;
}

void tst_CliBlockEdit::saveAsTheAutomaticSave()
{
    QFETCH(QStringList, options);
    QFETCH(QString, json);
    QFETCH(QString, stored);
    const Run run = cli(QStringList{u"save"_s, u"field"_s, u"0012.txt"_s, u"1"_s} + options);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.trimmed(), json);
    const QVariantList values = row(u"field"_s, u"0012.txt"_s, 1);
    QCOMPARE(QStringList({values.value(8).toString(), values.value(5).toString(), values.value(6).toString(),
                          values.value(7).toString()})
                 .join(u'|'),
             stored);
}

void tst_CliBlockEdit::saveFromAFile()
{
    const QString path = m_home->filePath(u"t.txt"_s);
    writeFile(path, "Uno\nDos\r\nTres<End of Block>");
    const Run run = cli({u"save"_s, u"field"_s, u"0012.txt"_s, u"2"_s, u"--translation-file"_s, path,
                         u"--revised"_s, u"1"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.json().value(u"image"_s).toInt(), 7);
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(), u"Uno\r\nDos\r\nTres<End of Block>"_s);
    QCOMPARE(cli({u"save"_s, u"field"_s, u"0012.txt"_s, u"2"_s, u"--revised"_s, u"yes"_s}).status, 2);
    QCOMPARE(cli({u"save"_s, u"field"_s, u"0012.txt"_s, u"2"_s, u"--translation-file"_s, path + u"-gone"_s}).status,
             1);
}

void tst_CliBlockEdit::exportList_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("lines");
    const QString a = u"{\"script\": \"0012.txt\", \"folder\": \"field\", \"overview\": \"Es tarde, ¿no?\\r\\n<End of Block>\"}"_s;
    const QString b = u"{\"script\": \"b.txt\", \"folder\": \"battle_script\", \"overview\": \"Be<End of Block>\"}"_s;
    QTest::newRow("all") << QStringList() << QStringList{b, a};
    QTest::newRow("field") << QStringList{u"--folder"_s, u"field"_s} << QStringList{a};
    QTest::newRow("only revised") << QStringList{u"--only-revised"_s} << QStringList{a};
    QTest::newRow("battling_arena") << QStringList{u"--folder"_s, u"battling_arena"_s} << QStringList();
}

void tst_CliBlockEdit::exportList()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, lines);
    const Run run = cli(QStringList{u"export-list"_s} + options);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), lines);
    QCOMPARE(cli({u"export-list"_s, u"--folder"_s, u"attic"_s}).status, 2);
}

void tst_CliBlockEdit::exportWritesTheTicked()
{
    const Run run = cli({u"export"_s, u"--include-untranslated"_s, u"0012.txt"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out,
             u" 1 scripts were exported, check the 'Translated' folder at the application path\n"_s);
    QFile file(m_home->filePath(u"Translated/field/0012.txt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<TextBlock 1 w:24 h:2>\r\nEs tarde, \xbfno?\r\n<End of Block>\r\n"
                                        "<TextBlock 2 w:24 h:2>\r\nHello.<End of Block>\r\n"));
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated/battle_script/b.txt"_s)));

    const Run every = cli({u"export"_s, u"--all"_s});
    QCOMPARE(every.status, 0);
    QVERIFY(every.out.startsWith(u" 2 scripts"_s));
    QVERIFY(QFile::exists(m_home->filePath(u"Translated/battle_script/b.txt"_s)));

    // A folder where the export must write stops it, naming the place.
    QVERIFY(QFile::remove(m_home->filePath(u"Translated/field/0012.txt"_s)));
    QVERIFY(QDir(m_home->filePath(u"Translated/field"_s)).removeRecursively());
    writeFile(m_home->filePath(u"Translated/field"_s), "in the way");
    const Run blocked = cli({u"export"_s, u"--all"_s});
    QCOMPARE(blocked.status, 1);
    QVERIFY2(blocked.err.contains(QDir::toNativeSeparators(m_home->filePath(u"Translated/field"_s))),
             qPrintable(blocked.err));
}

void tst_CliBlockEdit::exportNothingTicked_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("a script not listed") << QStringList{u"--only-revised"_s, u"b.txt"_s} << 1;
    QTest::newRow("an empty list") << QStringList{u"--folder"_s, u"battling_arena"_s, u"--all"_s} << 1;
    QTest::newRow("neither --all nor a script") << QStringList() << 2;
    QTest::newRow("both --all and a script") << QStringList{u"--all"_s, u"b.txt"_s} << 2;
}

void tst_CliBlockEdit::exportNothingTicked()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    const Run run = cli(QStringList{u"export"_s} + arguments);
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    if (status == 1)
        QVERIFY(run.err.contains(u"Nothing to export, make selection fisrt please"_s));
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated"_s)));
}

void tst_CliBlockEdit::viewBytes()
{
    const Run run = cli({u"view"_s, u"field"_s, u"0012.txt"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.bytes, QByteArray("<TextBlock 1 w:24 h:2>\r\nEs tarde, \xbfno?\r\n<End of Block>\r\n"
                                 "<TextBlock 2 w:24 h:2>\r\nHello.<End of Block>\r\n"));
    QCOMPARE(cli({u"view"_s, u"battle_script"_s, u"b.txt"_s}).bytes, QByteArray("<TextBlock 5 w:26 h:3>\r\nBe<End of Block>\r\n"));
    QCOMPARE(cli({u"view"_s, u"attic"_s, u"b.txt"_s}).status, 2);
}

void tst_CliBlockEdit::importTranslated()
{
    QTemporaryDir scripts;
    writeFile(scripts.filePath(u"battle_script/b.txt"_s), "<TextBlock 5 w:1 h:1>\r\nIt's B<End of Block>\r\n");
    writeFile(scripts.filePath(u"field/0012.txt"_s), "<TextBlock 2 w:1 h:1>\r\nDos<End of Block>\r\n");
    const Run run = cli({u"import-translated"_s, scripts.path()});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, u"All the translated scripts were imported.\n"_s);
    QVERIFY(run.err.contains(u"Importing file... field\\0012.txt"_s));
    QCOMPARE(row(u"battle_script"_s, u"b.txt"_s, 5).mid(6, 5),
             QVariantList({1, 0, u"It`s B<End of Block>"_s, 26, 3}));
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 1).value(5).toString(), u"a `note`"_s);
}

void tst_CliBlockEdit::importTranslatedFailures()
{
    QTemporaryDir scripts;
    writeFile(scripts.filePath(u"battle_script/b.txt"_s), "<TextBlock 99999 w:1 h:1>\r\nB<End of Block>\r\n");
    writeFile(scripts.filePath(u"field/0012.txt"_s), "<TextBlock 2 w:1 h:1>\r\nDos<End of Block>\r\n");
    const Run run = cli({u"import-translated"_s, scripts.path()});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, u"All the translated scripts were imported.\n"_s);
    QVERIFY(run.err.contains(u"A fatal error happened while the script files were imported."_s));
    QVERIFY(run.err.contains(u"battle_script\\b.txt, line 1"_s));
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(), u"Dos<End of Block>"_s);

    QTemporaryDir empty;
    const Run refused = cli({u"import-translated"_s, empty.path()});
    QCOMPARE(refused.status, 1);
    QVERIFY(refused.err.startsWith(u"Please select a valid Script Folder,"_s));
}

QTEST_GUILESS_MAIN(tst_CliBlockEdit)
#include "tst_cliblockedit.moc"
