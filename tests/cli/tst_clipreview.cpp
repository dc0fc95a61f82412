#include "editor/preview.h"
#include "store/database.h"
#include "tests/editor/testimages.h"
#include "tests/support/clirun.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// tallowpen-cli render and resize, run as other programs run them.
class tst_CliPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void renderKnownPicture();
    void renderBlock_data();
    void renderBlock();
    void renderTextFile();
    void renderUsage_data();
    void renderUsage();
    void renderFailures_data();
    void renderFailures();
    void resize_data();
    void resize();

private:
    using Run = CliRun;
    Run cli(const QStringList &arguments) const;
    QString storedSize(const QString &table) const;
    static QImage inProcess(const QString &width, const QString &height, const QString &text);

    std::unique_ptr<TestHome> m_home;
    QString m_font;
    QString m_frame;
};

void tst_CliPreview::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    m_font = m_home->filePath(u"code.bmp"_s);
    m_frame = m_home->filePath(u"strip.png"_s);
    QVERIFY(TestImages::codeFont().save(m_font, "BMP"));
    QVERIFY(TestImages::pieceStrip().save(m_frame, "PNG"));
    const auto insert = [this](const char *table, int number, const char *values) {
        return m_home->execute(u"INSERT INTO %1 (file_name, dialogue_id, text_data, width, height, comments, "
                               "translated, revised, text_data_t, new_width, new_height) VALUES ('town`s.txt', %2, "
                               "'orig', %3);"_s.arg(QLatin1StringView(table))
                                   .arg(number)
                                   .arg(QLatin1StringView(values)));
    };
    QVERIFY(insert("field", 1, "56, 2, '', 1, 0, 'it`s<New>\r\nok', 0, 0"));
    QVERIFY(insert("field", 2, "56, 2, '', 0, 0, 'hidden', 40, 1"));
    QVERIFY(insert("field", 3, "56, 2, '', 1, 0, 'x', 0, 7"));
    QVERIFY(insert("battle_script", 1, "30, 3, '', 1, 0, 'b', 0, 0"));
    QVERIFY(insert("field", 9, "56, 2, '', 0, 0, '', 0, 0"));
    QVERIFY(insert("field", 9, "56, 2, '', 0, 0, '', 0, 0"));
}

tst_CliPreview::Run tst_CliPreview::cli(const QStringList &arguments) const
{
    return runCli(m_home->path(), arguments);
}

QString tst_CliPreview::storedSize(const QString &table) const
{
    Database db;
    if (!openStore(db, m_home->storePath()))
        return {};
    ResultSet rows = db.query(u"SELECT new_width, new_height FROM %1 WHERE dialogue_id = 1;"_s.arg(table));
    rows.step();
    return rows.text(0) + u'x' + rows.text(1);
}

QImage tst_CliPreview::inProcess(const QString &width, const QString &height, const QString &text)
{
    PreviewCanvas canvas = TestImages::canvas(width, height);
    showPreview(text, canvas);
    return canvas.surface;
}

void tst_CliPreview::renderKnownPicture()
{
    const QString folder = QFINDTESTDATA("../editor/data/render/two-pages");
    QVERIFY(!folder.isEmpty());
    const QString out = m_home->filePath(u"two pages.png"_s);
    const Run run = cli({u"render"_s, u"--size"_s, u"4"_s, u"1"_s, u"--text-file"_s, folder + u"/text.txt"_s,
                         u"--out"_s, out, u"--font"_s, folder + u"/../tinyfont.xpm"_s, u"--frame"_s,
                         folder + u"/../frame.xpm"_s});
    QCOMPARE(run.status, 0);
    QImage drawn(out);
    QCOMPARE(drawn.size(), QSize(601, 968));
    QImage expected(folder + u"/expected.xpm"_s);
    QCOMPARE(drawn.copy(expected.rect()).convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
}

void tst_CliPreview::renderBlock_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("text");
    QTest::newRow("translated, its own size unset") << QStringList{u"1"_s} << u"56"_s << u"2"_s
                                                    << u"it's<New>\r\nok"_s;
    QTest::newRow("not translated, its own size") << QStringList{u"2"_s} << u"40"_s << u"1"_s << QString();
    QTest::newRow("only new_width decides") << QStringList{u"3"_s} << u"56"_s << u"2"_s << u"x"_s;
    QTest::newRow("text given") << QStringList{u"1"_s, u"--text"_s, u"A\nB"_s} << u"56"_s << u"2"_s << u"A\r\nB"_s;
}

void tst_CliPreview::renderBlock()
{
    QFETCH(QStringList, words);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, text);
    const QString out = m_home->filePath(u"block.png"_s);
    const Run run = cli(QStringList{u"render"_s, u"--block"_s, u"field"_s, u"town's.txt"_s} + words
                        + QStringList{u"--out"_s, out, u"--font"_s, m_font, u"--frame"_s, m_frame});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(QImage(out).convertToFormat(QImage::Format_RGB32), inProcess(width, height, text));
}

void tst_CliPreview::renderTextFile()
{
    // UTF-8 with a byte-order mark and bare line feeds; a grave accent shows
    // as an apostrophe, the euro sign as its code page byte.
    const QString path = m_home->filePath(u"text.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF" "a`\xE2\x82\xAC\nnext");
    file.close();
    const QString out = m_home->filePath(u"text.png"_s);
    const Run run = cli({u"render"_s, u"--size"_s, u"56"_s, u"2"_s, u"--text-file"_s, path, u"--out"_s, out,
                         u"--font"_s, m_font, u"--frame"_s, m_frame});
    QCOMPARE(run.status, 0);
    const QImage drawn = QImage(out).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn, inProcess(u"56"_s, u"2"_s, u"a`\u20AC\r\nnext"_s));
    QCOMPARE(TestImages::lineAt(drawn, 2, 14), u"a'\u0080"_s);
    QCOMPARE(TestImages::lineAt(drawn, 2, 29), u"next"_s);
}

void tst_CliPreview::renderUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QStringList out{u"--out"_s, u"x.png"_s};
    QTest::newRow("neither size nor block") << out;
    QTest::newRow("both size and block")
        << QStringList{u"--size"_s, u"5"_s, u"--block"_s, u"field"_s, u"a"_s, u"1"_s} + out;
    QTest::newRow("size without height") << QStringList{u"--size"_s, u"5"_s} + out;
    QTest::newRow("block without number") << QStringList{u"--block"_s, u"field"_s, u"a"_s} + out;
    QTest::newRow("unknown table") << QStringList{u"--block"_s, u"fields"_s, u"a"_s, u"1"_s} + out;
    QTest::newRow("number past 16 bits") << QStringList{u"--block"_s, u"field"_s, u"a"_s, u"40000"_s} + out;
    QTest::newRow("no out") << QStringList{u"--size"_s, u"5"_s, u"1"_s};
    QTest::newRow("text twice") << QStringList{u"--size"_s, u"5"_s, u"1"_s, u"--text"_s, u"a"_s, u"--text-file"_s,
                                               u"t.txt"_s} + out;
}

void tst_CliPreview::renderUsage()
{
    QFETCH(QStringList, arguments);
    const Run run = cli(QStringList{u"render"_s} + arguments);
    QCOMPARE(run.status, 2);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFile::exists(m_home->filePath(u"x.png"_s)));
}

void tst_CliPreview::renderFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such block") << QStringList{u"--block"_s, u"field"_s, u"town's.txt"_s, u"4"_s}
                                   << u"There is no block [field] - [town`s.txt] - [4]."_s;
    QTest::newRow("duplicate block") << QStringList{u"--block"_s, u"field"_s, u"town's.txt"_s, u"9"_s}
                                     << u"Duplicate records, FATAL ERROR"_s;
    QTest::newRow("missing font") << QStringList{u"--size"_s, u"5"_s, u"1"_s, u"--font"_s, u"nofont.bmp"_s}
                                  << u"Cannot read the font image nofont.bmp."_s;
    QTest::newRow("strip of the wrong size") << QStringList{u"--size"_s, u"5"_s, u"1"_s, u"--frame"_s, u"FONT"_s}
                                             << u"a frame-piece strip is 64 x 8"_s;
    QTest::newRow("text file not UTF-8") << QStringList{u"--size"_s, u"5"_s, u"1"_s, u"--text-file"_s, u"BAD"_s}
                                         << u"line 2: not UTF-8 text"_s;
}

void tst_CliPreview::renderFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString bad = m_home->filePath(u"bad.txt"_s);
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("fine\nbroken \xE9 byte\n");
    file.close();
    arguments.replaceInStrings(u"FONT"_s, m_font);
    arguments.replaceInStrings(u"BAD"_s, bad);
    if (!arguments.contains(u"--font"_s))
        arguments << u"--font"_s << m_font;
    if (!arguments.contains(u"--frame"_s))
        arguments << u"--frame"_s << m_frame;
    const QString out = m_home->filePath(u"failed.png"_s);
    const Run run = cli(QStringList{u"render"_s, u"--out"_s, out} + arguments);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

void tst_CliPreview::resize_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("stored");
    QTest::newRow("wider and taller") << u"field"_s << QStringList{u"right"_s, u"right"_s, u"down"_s} << 0
                                      << u"{\"width\": 60, \"height\": 3}\n"_s << u"60x3"_s;
    QTest::newRow("down to nothing and no further") << u"field"_s << QStringList{u"up"_s, u"UP"_s, u"up"_s} << 0
                                                    << u"{\"width\": 56, \"height\": 0}\n"_s << u"56x0"_s;
    QTest::newRow("battle_script keeps its size") << u"battle_script"_s << QStringList{u"right"_s} << 0
                                                  << u"{\"width\": 30, \"height\": 3}\n"_s << u"0x0"_s;
    QTest::newRow("unknown key changes nothing") << u"field"_s << QStringList{u"right"_s, u"sideways"_s} << 2
                                                 << QString() << u"0x0"_s;
}

void tst_CliPreview::resize()
{
    QFETCH(QString, table);
    QFETCH(QStringList, keys);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, stored);
    const Run run = cli(QStringList{u"resize"_s, table, u"town's.txt"_s, u"1"_s} + keys);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    QCOMPARE(storedSize(table), stored);
}

QTEST_GUILESS_MAIN(tst_CliPreview)
#include "tst_clipreview.moc"
