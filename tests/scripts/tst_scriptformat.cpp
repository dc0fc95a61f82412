#include "scripts/cp1252.h"
#include "scripts/scriptformat.h"
#include "store/database.h"
#include "store/layout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Reading
{
    bool ok = false;
    std::vector<ScriptBlock> blocks;
    ReadFailure failure;
};

Reading readBytes(const QByteArray &bytes, ReaderSizes &sizes, const QString &name = u"a.txt"_s)
{
    Reading r;
    r.ok = readScriptBlocks(bytes, name, sizes, [&r](const ScriptBlock &b) {
        r.blocks.push_back(b);
        return true;
    }, &r.failure);
    return r;
}

QStringList textsOf(const std::vector<ScriptBlock> &blocks)
{
    QStringList texts;
    for (const ScriptBlock &b : blocks)
        texts << b.text;
    return texts;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ScriptRow untranslated(const ScriptBlock &b)
{
    ScriptRow row;
    row.dialogueId = b.number;
    row.width = b.width;
    row.height = b.height;
    row.textData = b.text;
    return row;
}

} // namespace

class tst_ScriptFormat : public QObject
{
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void sizesCarryAcrossFiles();
    void numberOutOfRange_data();
    void numberOutOfRange();
    void lineGathering_data();
    void lineGathering();
    void quoteMapping();
    void writer_data();
    void writer();
    void everyByteThroughTheFormat();
    void roundTrip_data();
    void roundTrip();
    void rowsFromStore_data();
    void rowsFromStore();
    void unencodableCharacter_data();
    void unencodableCharacter();
    void fileAccess();
};

void tst_ScriptFormat::headers_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Sizes before the header: width 8, height 9.
    QTest::newRow("canonical") << "<TextBlock 3 w:24 h:2>"_ba << 3 << 24 << 2;
    QTest::newRow("h: before w:") << "<TextBlock 4 h:3 w:30>"_ba << 4 << 30 << 3;
    QTest::newRow("no sizes keep the earlier ones") << "<TextBlock 7>"_ba << 7 << 8 << 9;
    QTest::newRow("only w:") << "<TextBlock 7 w:12>"_ba << 7 << 12 << 9;
    QTest::newRow("only h:") << "<TextBlock 7 h:4>"_ba << 7 << 8 << 4;
    QTest::newRow("bracket right after number") << "<TextBlock 12>"_ba << 12 << 8 << 9;
    QTest::newRow("letter inside number") << "<TextBlock 1x2 w:3>"_ba << 1 << 3 << 9;
    QTest::newRow("no digits") << "<TextBlock abc w:5 h:6>"_ba << 0 << 5 << 6;
    QTest::newRow("leading zeros") << "<TextBlock 007 w:024 h:02>"_ba << 7 << 24 << 2;
    QTest::newRow("half rounds to even") << "<TextBlock 2.5 w:3.5 h:4.5>"_ba << 2 << 4 << 4;
    QTest::newRow("negative") << "<TextBlock -4 w:-1 h:-2>"_ba << -4 << -1 << -2;
    QTest::newRow("limits") << "<TextBlock 32767 w:-32768 h:32767>"_ba << 32767 << -32768 << 32767;
    QTest::newRow("double blank after number") << "<TextBlock 5  w:10  h:11>"_ba << 5 << 10 << 11;
    QTest::newRow("text after the bracket") << "<TextBlock 5 w:10 h:11> note"_ba << 5 << 10 << 11;
    QTest::newRow("no closing bracket") << "<TextBlock 5 w:10 h:11"_ba << 5 << 10 << 11;
    QTest::newRow("upper-case marker ignored") << "<TextBlock 5 W:10 H:11>"_ba << 5 << 8 << 9;
}

void tst_ScriptFormat::headers()
{
    QFETCH(QByteArray, header);
    QFETCH(int, number);
    QFETCH(int, width);
    QFETCH(int, height);
    ReaderSizes sizes{8, 9};
    const Reading r = readBytes(header + "\r\nHi.\r\n<End of Block>\r\n", sizes);
    QVERIFY(r.ok);
    QCOMPARE(r.blocks.size(), size_t(1));
    QCOMPARE(r.blocks[0].number, number);
    QCOMPARE(r.blocks[0].width, width);
    QCOMPARE(r.blocks[0].height, height);
    QCOMPARE(r.blocks[0].headerLine, 1);
    QCOMPARE(r.blocks[0].text, u"Hi.\r\n<End of Block>"_s);
    QCOMPARE(sizes.width, width);
    QCOMPARE(sizes.height, height);
}

void tst_ScriptFormat::sizesCarryAcrossFiles()
{
    ReaderSizes sizes;
    Reading first = readBytes("<TextBlock 1>\r\n<End of Block>\r\n<TextBlock 2 w:20 h:3>\r\n<End of Block>\r\n"_ba, sizes);
    Reading second = readBytes("<TextBlock 1>\r\n<End of Block>\r\n<TextBlock 2 h:5>\r\n<End of Block>\r\n"_ba, sizes);
    QVERIFY(first.ok && second.ok);
    const QList<int> seen = {first.blocks[0].width,  first.blocks[0].height,  first.blocks[1].width,
                             first.blocks[1].height, second.blocks[0].width, second.blocks[0].height,
                             second.blocks[1].width, second.blocks[1].height};
    QCOMPARE(seen, QList<int>({0, 0, 20, 3, 20, 3, 20, 5}));
}

void tst_ScriptFormat::numberOutOfRange_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("blocksBefore");
    const QByteArray ok = "<TextBlock 1 w:2 h:3>\r\nA\r\n<End of Block>\r\n"_ba;
    QTest::newRow("block number") << ok + "<TextBlock 32768 w:2 h:3>\r\n<End of Block>\r\n" << 4 << u"block number"_s << 1;
    QTest::newRow("width") << "<TextBlock 1 w:40000 h:3>\r\n"_ba << 1 << u"width"_s << 0;
    QTest::newRow("height below") << ok + ok + "<TextBlock 9 w:1 h:-32769>\r\n" << 7 << u"height"_s << 2;
    QTest::newRow("h: before w:") << "<TextBlock 1 h:99999 w:3>\r\n"_ba << 1 << u"height"_s << 0;
    QTest::newRow("huge exponent") << "<TextBlock 1e999>\r\n"_ba << 1 << u"block number"_s << 0;
    QTest::newRow("many digits") << "<TextBlock 000000000000065536>\r\n"_ba << 1 << u"block number"_s << 0;
}

void tst_ScriptFormat::numberOutOfRange()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, what);
    QFETCH(int, blocksBefore);
    ReaderSizes sizes;
    const Reading r = readBytes(file, sizes, u"x y.txt"_s);
    QVERIFY(!r.ok);
    QCOMPARE(r.blocks.size(), size_t(blocksBefore));
    QCOMPARE(r.failure.file, u"x y.txt"_s);
    QCOMPARE(r.failure.line, line);
    QVERIFY2(r.failure.message.contains(what), qPrintable(r.failure.message));
    QVERIFY2(r.failure.message.contains(u"x y.txt, line %1"_s.arg(line)), qPrintable(r.failure.message));
}

void tst_ScriptFormat::lineGathering_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("example of the format")
        << "<TextBlock 3 w:24 h:2>\r\nWhere did you put the key?\r\nIt's gone.\r\n<End of Block>\r\n"_ba
        << QStringList{u"Where did you put the key?\r\nIt`s gone.\r\n<End of Block>"_s} << QList<int>{3};
    QTest::newRow("lines before the first header")
        << "intro\r\n<TextBlock 1>\r\nA<End of Block>\r\n"_ba << QStringList{u"intro\r\nA<End of Block>"_s}
        << QList<int>{1};
    QTest::newRow("blank line between blocks")
        << "<TextBlock 1>\r\n<End of Block>\r\n\r\n<TextBlock 2>\r\nB\r\n<End of Block>\r\n"_ba
        << QStringList{u"<End of Block>"_s, u"\r\nB\r\n<End of Block>"_s} << QList<int>{1, 2};
    QTest::newRow("after the last end line dropped")
        << "<TextBlock 1>\r\nA\r\n<End of Block>\r\ntrailing\r\n\r\n"_ba << QStringList{u"A\r\n<End of Block>"_s}
        << QList<int>{1};
    QTest::newRow("unfinished last block dropped")
        << "<TextBlock 1>\r\nA<End of Block>\r\n<TextBlock 2>\r\nB\r\n"_ba << QStringList{u"A<End of Block>"_s}
        << QList<int>{1};
    QTest::newRow("no end line at all") << "<TextBlock 1>\r\nA\r\nB\r\n"_ba << QStringList() << QList<int>();
    QTest::newRow("empty file") << QByteArray() << QStringList() << QList<int>();
    QTest::newRow("text around the end tag kept")
        << "<TextBlock 1>\r\nIt's over.<End of Block> (sigh)\r\n"_ba
        << QStringList{u"It`s over.<End of Block> (sigh)"_s} << QList<int>{1};
    QTest::newRow("two headers: the later one names the block")
        << "<TextBlock 1 w:5 h:1>\r\nA\r\n<TextBlock 2 w:6 h:2>\r\nB\r\n<End of Block>\r\n"_ba
        << QStringList{u"A\r\nB\r\n<End of Block>"_s} << QList<int>{2};
    QTest::newRow("end line without header is block 0") << "Hello<End of Block>\r\n"_ba
                                                         << QStringList{u"Hello<End of Block>"_s} << QList<int>{0};
    QTest::newRow("number kept for a second end line")
        << "<TextBlock 4>\r\n<End of Block>\r\nB<End of Block>\r\n"_ba
        << QStringList{u"<End of Block>"_s, u"B<End of Block>"_s} << QList<int>{4, 4};
    QTest::newRow("lone CR ends a line") << "<TextBlock 1>\rA\rB<End of Block>"_ba
                                         << QStringList{u"A\r\nB<End of Block>"_s} << QList<int>{1};
    QTest::newRow("lone LF stays inside the line")
        << "<TextBlock 1>\r\nA\nB\r\n<End of Block>\n\r\n"_ba << QStringList{u"A\nB\r\n<End of Block>\n"_s}
        << QList<int>{1};
    QTest::newRow("header after LF is no header")
        << "A\n<TextBlock 9>\r\n<End of Block>"_ba << QStringList{u"A\n<TextBlock 9>\r\n<End of Block>"_s}
        << QList<int>{0};
    QTest::newRow("last line without line end") << "<TextBlock 1>\r\n<End of Block>"_ba
                                                << QStringList{u"<End of Block>"_s} << QList<int>{1};
    QTest::newRow("header-like lines are body lines")
        << "<TextBlock\r\n<textblock 5>\r\n <TextBlock 6>\r\n<End of block>\r\n<End of Block>\r\n"_ba
        << QStringList{u"<TextBlock\r\n<textblock 5>\r\n <TextBlock 6>\r\n<End of block>\r\n<End of Block>"_s}
        << QList<int>{0};
    QTest::newRow("accented and hole bytes")
        << "<TextBlock 1>\r\n\xE1\xF1\x81\x92\x80<End of Block>\r\n"_ba
        << QStringList{u"\u00E1\u00F1\u0081\u2019\u20AC<End of Block>"_s} << QList<int>{1};
    QTest::newRow("NUL byte") << "<TextBlock 1>\r\nA\0B<End of Block>"_ba
                              << QStringList{QString(reinterpret_cast<const QChar *>(u"A\0B<End of Block>"), 17)} << QList<int>{1};
}

void tst_ScriptFormat::lineGathering()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, numbers);
    ReaderSizes sizes;
    const Reading r = readBytes(file, sizes);
    QVERIFY(r.ok);
    QCOMPARE(textsOf(r.blocks), texts);
    QList<int> seen;
    for (const ScriptBlock &b : r.blocks)
        seen << b.number;
    QCOMPARE(seen, numbers);
}

void tst_ScriptFormat::quoteMapping()
{
    ReaderSizes sizes;
    const Reading r = readBytes("<TextBlock 1>\r\n'Don't', he said`s.\r\n<End of Block>\r\n"_ba, sizes);
    QVERIFY(r.ok);
    QCOMPARE(r.blocks.at(0).text, u"`Don`t`, he said`s.\r\n<End of Block>"_s);
    const QString written = formatScriptBlocks({untranslated(r.blocks[0])});
    QCOMPARE(written, u"<TextBlock 1 w:0 h:0>\r\n'Don't', he said's.\r\n<End of Block>\r\n"_s);
}

void tst_ScriptFormat::writer_data()
{
    QTest::addColumn<int>("newWidth");
    QTest::addColumn<int>("newHeight");
    QTest::addColumn<bool>("translated");
    QTest::addColumn<QString>("expected");
    // Every row: block 12, width 24, height 2, original "It`s." / translation "Es`t."
    QTest::newRow("original sizes") << 0 << 0 << false << u"<TextBlock 12 w:24 h:2>\r\nIt's.<End of Block>\r\n"_s;
    QTest::newRow("new sizes") << 30 << 4 << false << u"<TextBlock 12 w:30 h:4>\r\nIt's.<End of Block>\r\n"_s;
    QTest::newRow("only new_height set") << 0 << 5 << true << u"<TextBlock 12 w:24 h:2>\r\nEs't.<End of Block>\r\n"_s;
    QTest::newRow("negative new_width") << -3 << 5 << false << u"<TextBlock 12 w:24 h:2>\r\nIt's.<End of Block>\r\n"_s;
    QTest::newRow("new_width with zero height") << 7 << 0 << true << u"<TextBlock 12 w:7 h:0>\r\nEs't.<End of Block>\r\n"_s;
}

void tst_ScriptFormat::writer()
{
    QFETCH(int, newWidth);
    QFETCH(int, newHeight);
    QFETCH(bool, translated);
    QFETCH(QString, expected);
    ScriptRow row{12, 24, 2, qint16(newWidth), qint16(newHeight), translated, u"It`s.<End of Block>"_s,
                  u"Es`t.<End of Block>"_s};
    QCOMPARE(formatScriptBlocks({row}), expected);

    // Rows are written in the order given, not sorted.
    ScriptRow other{-1, 1, 1, 0, 0, false, u"B<End of Block>"_s, {}};
    QCOMPARE(formatScriptBlocks({row, other}), expected + u"<TextBlock -1 w:1 h:1>\r\nB<End of Block>\r\n"_s);
}

void tst_ScriptFormat::everyByteThroughTheFormat()
{
    // CR ends a line and a grave accent comes back as an apostrophe; every
    // other byte value must come back as it was.
    QByteArray body;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '`')
            body += char(b);
    }
    const QByteArray file = "<TextBlock 1 w:2 h:3>\r\n"_ba + body + "<End of Block>\r\n";
    ReaderSizes sizes;
    const Reading r = readBytes(file, sizes);
    QVERIFY(r.ok);
    QCOMPARE(r.blocks.size(), size_t(1));
    const std::optional<QByteArray> back = encodeScriptText(formatScriptBlocks({untranslated(r.blocks[0])}), u"a"_s);
    QVERIFY(back);
    QCOMPARE(*back, file);
}

void tst_ScriptFormat::roundTrip_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const QDir data(QFINDTESTDATA("data"));
    QVERIFY(data.exists());
    for (const QString &name : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(data.filePath(name));
        // Without an expected file the input is canonical and must come back unchanged.
        const QString expected = dir.exists(u"expected.txt"_s) ? u"expected.txt"_s : u"input.txt"_s;
        QTest::newRow(qPrintable(name)) << dir.filePath(u"input.txt"_s) << dir.filePath(expected);
    }
}

void tst_ScriptFormat::roundTrip()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    ReaderSizes sizes;
    std::vector<ScriptRow> rows;
    ReadFailure failure;
    QVERIFY2(readScriptFile(input, sizes, [&rows](const ScriptBlock &b) {
        rows.push_back(untranslated(b));
        return true;
    }, &failure), qPrintable(failure.message));
    EncodeFailure bad;
    const std::optional<QByteArray> bytes = encodeScriptText(formatScriptBlocks(rows), u"out.txt"_s, &bad);
    QVERIFY2(bytes, qPrintable(bad.message));
    QCOMPARE(*bytes, readFile(expected));
}

void tst_ScriptFormat::rowsFromStore_data()
{
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QList<int>>("numbers"); // dialogue_id, width, height, new_width, new_height, translated
    const QString text = u"'Hi`<End of Block>', "_s;
    QTest::newRow("plain") << u"5, "_s + text + u"24, 2, 'c', 1, 0, 'T', 30, 4"_s << QString()
                           << QList<int>{5, 24, 2, 30, 4, 1};
    QTest::newRow("NULL new sizes") << u"5, "_s + text + u"24, 2, NULL, 0, 0, NULL, NULL, NULL"_s << QString()
                                    << QList<int>{5, 24, 2, 0, 0, 0};
    QTest::newRow("real rounds half to even") << u"5, "_s + text + u"3.5, 2.5, '', 1.0, 0, 'T', 0, 0"_s << QString()
                                              << QList<int>{5, 4, 2, 0, 0, 1};
    QTest::newRow("numbers quoted") << u"'6', "_s + text + u"'24', 2, '', '1', 0, 'T', 0, 0"_s << QString()
                                            << QList<int>{6, 24, 2, 0, 0, 1};
    QTest::newRow("width out of range") << u"5, "_s + text + u"40000, 2, '', 0, 0, '', 0, 0"_s
                                        << u"a.txt, block 5: the width value 40000 does not fit"_s << QList<int>();
    QTest::newRow("new_height below range") << u"5, "_s + text + u"1, 2, '', 0, 0, '', 0, -32769"_s
                                            << u"new_height value -32769"_s << QList<int>();
    QTest::newRow("id not a number") << u"'five', "_s + text + u"1, 2, '', 0, 0, '', 0, 0"_s
                                     << u"dialogue_id value five is not a number"_s << QList<int>();
}

void tst_ScriptFormat::rowsFromStore()
{
    QFETCH(QString, values);
    QFETCH(QString, error);
    QFETCH(QList<int>, numbers);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"store.db"_s);
    StoreError created;
    QVERIFY2(createStore(path, &created), qPrintable(created.message));
    Database db;
    QVERIFY(openStore(db, path));
    QVERIFY2(db.execute(u"INSERT INTO field VALUES ('a.txt', "_s + values + u")"_s),
             qPrintable(db.lastError().message));
    ResultSet result = db.query(u"SELECT * FROM field WHERE file_name = 'a.txt'"_s);
    std::vector<ScriptRow> rows;
    QString message;
    const bool ok = scriptRowsFrom(result, rows, &message);
    if (!error.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY2(message.contains(error), qPrintable(message));
        QVERIFY(rows.empty());
        return;
    }
    QVERIFY2(ok, qPrintable(message));
    QCOMPARE(rows.size(), size_t(1));
    const ScriptRow &r = rows[0];
    QCOMPARE(QList<int>({r.dialogueId, r.width, r.height, r.newWidth, r.newHeight, int(r.translated)}), numbers);
    QCOMPARE(r.textData, u"Hi`<End of Block>"_s);
}

void tst_ScriptFormat::unencodableCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("block"); // -1: none
    QTest::addColumn<QString>("character");
    QTest::newRow("in the first line") << u"A\u4E2D"_s << 1 << 2 << -1 << u"\u4E2D"_s;
    QTest::newRow("in the second block")
        << u"<TextBlock 3 w:1 h:1>\r\nA<End of Block>\r\n<TextBlock 7 w:1 h:1>\r\nab\rc\u0100<End of Block>\r\n"_s << 5
        << 2 << 7 << u"\u0100"_s;
    QTest::newRow("emoji as one character") << u"<TextBlock 2 w:1 h:1>\r\n\U0001F600"_s << 2 << 1 << 2
                                            << u"\U0001F600"_s;
}

void tst_ScriptFormat::unencodableCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, block);
    QFETCH(QString, character);
    EncodeFailure failure;
    QVERIFY(!encodeScriptText(text, u"s.txt"_s, &failure));
    QCOMPARE(failure.line, line);
    QCOMPARE(failure.column, column);
    QCOMPARE(failure.block.value_or(-1), block);
    QCOMPARE(failure.character, character);
    QVERIFY2(failure.message.startsWith(u"s.txt, line %1, column %2"_s.arg(line).arg(column)),
             qPrintable(failure.message));
    QVERIFY2(failure.message.contains(character), qPrintable(failure.message));
}

void tst_ScriptFormat::fileAccess()
{
    QTemporaryDir dir;
    ReaderSizes sizes;
    ReadFailure failure;
    auto keep = [](const ScriptBlock &) { return true; };
    QVERIFY(!readScriptFile(dir.filePath(u"missing.txt"_s), sizes, keep, &failure));
    QCOMPARE(failure.file, u"missing.txt"_s);
    QVERIFY(failure.message.contains(u"missing.txt"_s));
    failure = {};
    QVERIFY(!readScriptFile(dir.path(), sizes, keep, &failure));
    QVERIFY(!failure.message.isEmpty());

    QFile file(dir.filePath(u"three.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<TextBlock 1>\r\nA<End of Block>\r\n<TextBlock 2>\r\nB<End of Block>\r\nC\r\n");
    file.close();
    int lines = 0, blocks = 0;
    QVERIFY(readScriptFile(file.fileName(), sizes, [&blocks](const ScriptBlock &) { return ++blocks > 0; },
                           &failure, [&lines] { ++lines; }));
    QCOMPARE(lines, 5);
    QCOMPARE(blocks, 2);

    // A sink that stops ends the reading without a failure of the reader's own.
    failure = {};
    blocks = 0;
    QVERIFY(!readScriptFile(file.fileName(), sizes, [&blocks](const ScriptBlock &) { return ++blocks < 1; },
                            &failure));
    QCOMPARE(blocks, 1);
    QVERIFY(failure.message.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ScriptFormat)
#include "tst_scriptformat.moc"
