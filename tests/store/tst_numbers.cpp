#include "store/nodekey.h"
#include "store/numbers.h"
#include "files/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The small rules every library leans on: 16-bit numbers, node keys and where
// the program folder is.
class tst_Numbers : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void int16_data();
    void int16();
    void checkedArithmetic();
    void blockKeys_data();
    void blockKeys();
    void programFolder_data();
    void programFolder();
};

void tst_Numbers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("closing bracket") << u"12>"_s << 12.0;
    QTest::newRow("no digits") << u"abc"_s << 0.0;
    QTest::newRow("leading blanks") << u"  7"_s << 7.0;
    QTest::newRow("negative") << u"-3x"_s << -3.0;
    QTest::newRow("fraction") << u"2.5>"_s << 2.5;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("dangling exponent") << u"4e>"_s << 4.0;
    QTest::newRow("second point stops") << u"1.2.3"_s << 1.2;
}

void tst_Numbers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(::leadingNumber(text), expected);
}

void tst_Numbers::int16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected"); // 99999: does not fit
    QTest::newRow("half to even down") << 12.5 << 12;
    QTest::newRow("half to even up") << 13.5 << 14;
    QTest::newRow("negative half") << -2.5 << -2;
    QTest::newRow("upper limit") << 32767.0 << 32767;
    QTest::newRow("lower limit") << -32768.0 << -32768;
    QTest::newRow("just above") << 32768.0 << 99999;
    QTest::newRow("rounds above") << 32767.5 << 99999;
    QTest::newRow("huge") << 1e300 << 99999;
}

void tst_Numbers::int16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    const auto number = toInt16(value);
    QCOMPARE(number ? int(*number) : 99999, expected);
}

void tst_Numbers::checkedArithmetic()
{
    QCOMPARE(add16(32766, 1).value_or(0), 32767);
    QVERIFY(!add16(32767, 1));
    QCOMPARE(mul16(4095, 8).value_or(0), 32760);
    QVERIFY(!mul16(4096, 8));
}

void tst_Numbers::blockKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("parts"); // table|file|number as written; empty: no block key
    QTest::addColumn<int>("number");    // 99999: no address
    QTest::newRow("block") << u"field:town01;12"_s << u"field|town01|12"_s << 12;
    QTest::newRow("colon in file name") << u"field:a:b;3"_s << u"field|a:b|3"_s << 3;
    QTest::newRow("semicolon in file name") << u"field:a;b;3"_s << u"field|a|b;3"_s << 0;
    QTest::newRow("number beyond 16 bits") << u"field:x;40000"_s << u"field|x|40000"_s << 99999;
    QTest::newRow("root") << u"Root"_s << QString() << 99999;
    QTest::newRow("folder") << u"battle_script"_s << QString() << 99999;
    QTest::newRow("script") << u"0012.txt"_s << QString() << 99999;
    QTest::newRow("colon but no semicolon") << u"field:x"_s << QString() << 99999;
}

void tst_Numbers::blockKeys()
{
    QFETCH(QString, key);
    QFETCH(QString, parts);
    QFETCH(int, number);
    const auto split = splitBlockKey(key);
    QCOMPARE(split ? split->table + u'|' + split->fileName + u'|' + split->number : QString(), parts);
    const auto address = parseBlockKey(key);
    QCOMPARE(address ? int(address->number) : 99999, number);
    if (address) {
        QCOMPARE(address->table, split->table);
        QCOMPARE(address->fileName, split->fileName);
        QCOMPARE(blockKey(split->table, split->fileName, split->number), key);
    }
}

void tst_Numbers::programFolder_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected"); // empty: the executable's folder
    QTest::newRow("option wins") << u"/tmp/a"_s << u"/tmp/b"_s << u"\\font\\font.bmp"_s << u"/tmp/a/font/font.bmp"_s;
    QTest::newRow("environment next") << QString() << u"/tmp/b"_s << u"Translated/field"_s
                                      << u"/tmp/b/Translated/field"_s;
    QTest::newRow("executable's folder last") << QString() << QString() << QString() << QString();
    QTest::newRow("relative option made absolute") << u"rel"_s << QString() << QString() << QDir(u"rel"_s).absolutePath();
}

void tst_Numbers::programFolder()
{
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    qputenv("TALLOWPEN_HOME", environment.toUtf8());
    const QString folder = programPath(resolveProgramFolder(option), relative);
    QCOMPARE(folder, expected.isEmpty() ? QCoreApplication::applicationDirPath() : expected);
}

QTEST_GUILESS_MAIN(tst_Numbers)
#include "tst_numbers.moc"
