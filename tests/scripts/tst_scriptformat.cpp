#include "scripts/cp1252.h"
#include "scripts/scriptformat.h"
#include "store/database.h"
#include "store/layout.h"
#include "tests/support/golden.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

ScriptRow untranslated(const ScriptBlock &b)
{
    return ScriptRow{b.number, b.width, b.height, 0, 0, false, b.text, {}};
}

} // namespace

// The script text format: reader, writer and the code page, on golden files
// (data/format/<case>/input.txt; blocks.txt: what the reader yields, then
// "! " and the failure; without it, the writer must give expected.txt, or
// the input itself when that is missing).
class tst_ScriptFormat : public QObject
{
    Q_OBJECT

private slots:
    void goldens_data();
    void goldens();
    void writer_data();
    void writer();
    void everyByteComesBack();
    void knownBytes_data();
    void knownBytes();
    void unencodableCharacter_data();
    void unencodableCharacter();
    void rowsFromStore_data();
    void rowsFromStore();
    void fileAccess();
};

void tst_ScriptFormat::goldens_data()
{
    QTest::addColumn<QString>("dir");
    const QDir data(QFINDTESTDATA("data/format"));
    for (const QString &name : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << data.filePath(name);
}

void tst_ScriptFormat::goldens()
{
    QFETCH(QString, dir);
    const QDir cases(dir);
    ReaderSizes sizes;
    std::vector<ScriptRow> rows;
    QStringList blocks;
    ReadFailure failure;
    if (!readScriptFile(cases.filePath(u"input.txt"_s), sizes, [&](const ScriptBlock &b) {
            blocks << u"%1 w:%2 h:%3|"_s.arg(b.number).arg(b.width).arg(b.height) + escapedLine(b.text);
            rows.push_back(untranslated(b));
            return true;
        }, &failure))
        blocks << u"! "_s + failure.message;
    if (cases.exists(u"blocks.txt"_s)) {
        QCOMPARE(blocks, goldenLines(cases.filePath(u"blocks.txt"_s)));
        return;
    }
    EncodeFailure bad;
    const std::optional<QByteArray> bytes = encodeScriptText(formatScriptBlocks(rows), u"out.txt"_s, &bad);
    QVERIFY2(bytes, qPrintable(bad.message));
    QCOMPARE(*bytes, readFile(cases.filePath(cases.exists(u"expected.txt"_s) ? u"expected.txt"_s : u"input.txt"_s)));
}

void tst_ScriptFormat::writer_data()
{
    QTest::addColumn<int>("newWidth");
    QTest::addColumn<int>("newHeight");
    QTest::addColumn<bool>("translated");
    QTest::addColumn<QString>("expected");
    // Every row: block 12, width 24, height 2, original "It`s." / translation "Es`t."
    QTest::newRow("original sizes") << 0 << 0 << false << u"<TextBlock 12 w:24 h:2>\r\nIt's.\r\n"_s;
    QTest::newRow("new sizes") << 30 << 4 << false << u"<TextBlock 12 w:30 h:4>\r\nIt's.\r\n"_s;
    QTest::newRow("only new_height set") << 0 << 5 << true << u"<TextBlock 12 w:24 h:2>\r\nEs't.\r\n"_s;
    QTest::newRow("negative new_width") << -3 << 5 << false << u"<TextBlock 12 w:24 h:2>\r\nIt's.\r\n"_s;
    QTest::newRow("new_width with zero height") << 7 << 0 << true << u"<TextBlock 12 w:7 h:0>\r\nEs't.\r\n"_s;
}

void tst_ScriptFormat::writer()
{
    QFETCH(int, newWidth);
    QFETCH(int, newHeight);
    QFETCH(bool, translated);
    QFETCH(QString, expected);
    const ScriptRow row{12, 24, 2, qint16(newWidth), qint16(newHeight), translated, u"It`s."_s, u"Es`t."_s};
    // Rows are written in the order given, not sorted.
    const ScriptRow other{-1, 1, 1, 0, 0, false, u"B"_s, {}};
    QCOMPARE(formatScriptBlocks({row, other}), expected + u"<TextBlock -1 w:1 h:1>\r\nB\r\n"_s);
}

// CR ends a line and a grave accent comes back as an apostrophe; every other
// byte must come back from a file as it was, and the code page alone keeps all 256.
void tst_ScriptFormat::everyByteComesBack()
{
    QByteArray all, body;
    for (int b = 0; b < 256; ++b) {
        all += char(b);
        if (b != '\r' && b != '`')
            body += char(b);
    }
    QCOMPARE(Cp1252::encode(Cp1252::decode(all)).value_or(QByteArray()), all);
    const QByteArray file = "<TextBlock 1 w:2 h:3>\r\n"_ba + body + "<End of Block>\r\n";
    ReaderSizes sizes;
    std::vector<ScriptRow> rows;
    QVERIFY(readScriptBlocks(file, u"a"_s, sizes, [&rows](const ScriptBlock &b) {
        rows.push_back(untranslated(b));
        return true;
    }, nullptr));
    QCOMPARE(encodeScriptText(formatScriptBlocks(rows), u"a"_s).value_or(QByteArray()), file);
}

void tst_ScriptFormat::knownBytes_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("hole 0x81") << 0x81 << 0x81;
    QTest::newRow("right single quote") << 0x92 << 0x2019;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("n tilde") << 0xF1 << 0x00F1;
}

void tst_ScriptFormat::knownBytes()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    QCOMPARE(Cp1252::decode(uchar(byte)).unicode(), char16_t(character));
    QCOMPARE(Cp1252::encode(QChar(char16_t(character))), std::optional<uchar>(uchar(byte)));
}

void tst_ScriptFormat::unencodableCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("where"); // index line:column block character
    QTest::newRow("in the first line") << u"A\u4E2D"_s << u"1 1:2 - \u4E2D"_s;
    QTest::newRow("a control whose byte is the euro's") << u"ab\u0080"_s << u"2 1:3 - \u0080"_s;
    QTest::newRow("in the second block")
        << u"<TextBlock 3 w:1 h:1>\r\nA<End of Block>\r\n<TextBlock 7 w:1 h:1>\r\nab\rc\u0100<End of Block>\r\n"_s
        << u"67 5:2 7 \u0100"_s;
    QTest::newRow("emoji as one character") << u"<TextBlock 2 w:1 h:1>\r\n\U0001F600"_s << u"23 2:1 2 \U0001F600"_s;
}

void tst_ScriptFormat::unencodableCharacter()
{
    QFETCH(QString, text);
    QFETCH(QString, where);
    EncodeFailure f;
    QVERIFY(!encodeScriptText(text, u"s.txt"_s, &f));
    QCOMPARE(u"%1 %2:%3 %4 "_s.arg(f.index).arg(f.line).arg(f.column).arg(f.block ? QString::number(*f.block) : u"-"_s)
                 + f.character,
             where);
    QVERIFY2(f.message.startsWith(u"s.txt, line %1, column %2"_s.arg(f.line).arg(f.column)), qPrintable(f.message));
    QVERIFY2(f.message.contains(f.character), qPrintable(f.message));
}

void tst_ScriptFormat::rowsFromStore_data()
{
    QTest::addColumn<QString>("values"); // from dialogue_id on
    QTest::addColumn<QString>("expected"); // id width height new_width new_height translated, or the failure
    const QString text = u"'Hi`', "_s;
    QTest::newRow("plain") << u"5, "_s + text + u"24, 2, 'c', 1, 0, 'T', 30, 4"_s << u"5 24 2 30 4 1"_s;
    QTest::newRow("NULL") << u"5, "_s + text + u"24, 2, NULL, NULL, 0, NULL, NULL, NULL"_s << u"5 24 2 0 0 0"_s;
    QTest::newRow("real rounds half to even") << u"5, "_s + text + u"3.5, 2.5, '', 1.0, 0, 'T', 0, 0"_s
                                              << u"5 4 2 0 0 1"_s;
    QTest::newRow("numbers quoted") << u"'6', "_s + text + u"'24', 2, '', '1', 0, 'T', 0, 0"_s << u"6 24 2 0 0 1"_s;
    QTest::newRow("width out of range") << u"5, "_s + text + u"40000, 2, '', 0, 0, '', 0, 0"_s
                                        << u"a.txt, block 5: the width value 40000 does not fit between -32768 and 32767."_s;
    QTest::newRow("new_height below range") << u"5, "_s + text + u"1, 2, '', 0, 0, '', 0, -32769"_s
                                            << u"a.txt, block 5: the new_height value -32769 does not fit between -32768 and 32767."_s;
    QTest::newRow("id not a number") << u"'five', "_s + text + u"1, 2, '', 0, 0, '', 0, 0"_s
                                     << u"a.txt, block five: the dialogue_id value five is not a number."_s;
}

void tst_ScriptFormat::rowsFromStore()
{
    QFETCH(QString, values);
    QFETCH(QString, expected);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(home.execute(u"INSERT INTO field VALUES ('a.txt', "_s + values + u")"_s));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    Result<ResultSet> result = db.query(u"SELECT * FROM field"_s);
    const Result<std::vector<ScriptRow>> rows = scriptRowsFrom(result);
    QString message = rows ? QString() : rows.error().message;
    if (rows) {
        QCOMPARE(rows->size(), size_t(1));
        const ScriptRow &r = (*rows)[0];
        message = u"%1 %2 %3 %4 %5 %6"_s.arg(r.dialogueId).arg(r.width).arg(r.height).arg(r.newWidth).arg(r.newHeight).arg(int(r.translated));
        QCOMPARE(r.textData, u"Hi`"_s);
    }
    QCOMPARE(message, expected);
}

void tst_ScriptFormat::fileAccess()
{
    const QString data = QFINDTESTDATA("data/format/gathering/input.txt");
    ReaderSizes sizes;
    ReadFailure failure;
    auto keep = [](const ScriptBlock &) { return true; };
    QVERIFY(!readScriptFile(data + u".missing"_s, sizes, keep, &failure));
    QCOMPARE(failure.message.left(29), u"input.txt.missing: the file c"_s);
    int lines = 0, blocks = 0;
    QVERIFY(readScriptFile(data, sizes, keep, &failure, [&lines] { ++lines; }));
    QCOMPARE(lines, 33);
    // A sink that stops ends the reading without a failure of the reader's own.
    failure = {};
    QVERIFY(!readScriptFile(data, sizes, [&blocks](const ScriptBlock &) { return ++blocks < 1; }, &failure));
    QCOMPARE(blocks, 1);
    QVERIFY(failure.message.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ScriptFormat)
#include "tst_scriptformat.moc"
