#include "store/nodekey.h"
#include "store/numbers.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Numbers : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void int16Rounding_data();
    void int16Rounding();
    void checkedArithmetic();
    void blockKeys_data();
    void blockKeys();
};

void tst_Numbers::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << u"24"_s << 24.0;
    QTest::newRow("closing bracket") << u"12>"_s << 12.0;
    QTest::newRow("trailing blank") << u"30 "_s << 30.0;
    QTest::newRow("no digits") << u"abc"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("leading blanks") << u"  7"_s << 7.0;
    QTest::newRow("negative") << u"-3x"_s << -3.0;
    QTest::newRow("fraction") << u"2.5>"_s << 2.5;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("dangling exponent") << u"4e>"_s << 4.0;
    QTest::newRow("second point stops") << u"1.2.3"_s << 1.2;
    QTest::newRow("leading zeros") << u"007"_s << 7.0;
}

void tst_Numbers::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(::leadingNumber(text), expected);
}

void tst_Numbers::int16Rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("expected");
    QTest::newRow("half to even down") << 12.5 << true << 12;
    QTest::newRow("half to even up") << 13.5 << true << 14;
    QTest::newRow("negative half") << -2.5 << true << -2;
    QTest::newRow("upper limit") << 32767.0 << true << 32767;
    QTest::newRow("lower limit") << -32768.0 << true << -32768;
    QTest::newRow("just above") << 32768.0 << false << 0;
    QTest::newRow("rounds above") << 32767.5 << false << 0;
    QTest::newRow("huge") << 1e300 << false << 0;
}

void tst_Numbers::int16Rounding()
{
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, expected);
    const auto result = toInt16(value);
    QCOMPARE(result.has_value(), fits);
    if (fits)
        QCOMPARE(int(*result), expected);
}

void tst_Numbers::checkedArithmetic()
{
    QCOMPARE(add16(32766, 1), std::optional<qint16>(32767));
    QVERIFY(!add16(32767, 1));
    QVERIFY(!mul16(4096, 8));
    QCOMPARE(mul16(4095, 8), std::optional<qint16>(32760));
}

void tst_Numbers::blockKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("isBlock");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("number");
    QTest::newRow("block") << u"field:town01;12"_s << true << u"field"_s << u"town01"_s << 12;
    QTest::newRow("colon in file name") << u"field:a:b;3"_s << true << u"field"_s << u"a:b"_s << 3;
    QTest::newRow("semicolon in file name") << u"field:a;b;3"_s << true << u"field"_s << u"a"_s << 0;
    QTest::newRow("root") << u"Root"_s << false << QString() << QString() << 0;
    QTest::newRow("folder") << u"battle_script"_s << false << QString() << QString() << 0;
    QTest::newRow("script") << u"0012.txt"_s << false << QString() << QString() << 0;
    QTest::newRow("colon but no semicolon") << u"field:x"_s << false << QString() << QString() << 0;
    QTest::newRow("number beyond 16 bits") << u"field:x;40000"_s << false << QString() << QString() << 0;
}

void tst_Numbers::blockKeys()
{
    QFETCH(QString, key);
    QFETCH(bool, isBlock);
    const auto address = parseBlockKey(key);
    QCOMPARE(address.has_value(), isBlock);
    if (!isBlock)
        return;
    QFETCH(QString, table);
    QFETCH(QString, file);
    QFETCH(int, number);
    QCOMPARE(address->table, table);
    QCOMPARE(address->fileName, file);
    QCOMPARE(int(address->number), number);
    if (key.count(u';') == 1)
        QCOMPARE(blockKey(table, file, address->number), key);
}

QTEST_APPLESS_MAIN(tst_Numbers)
#include "tst_numbers.moc"
