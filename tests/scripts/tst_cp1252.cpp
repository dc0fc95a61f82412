#include "scripts/cp1252.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Cp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteSurvives();
    void knownBytes_data();
    void knownBytes();
    void characterWithoutByte_data();
    void characterWithoutByte();
};

void tst_Cp1252::everyByteSurvives()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = Cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    const std::optional<QByteArray> back = Cp1252::encode(text);
    QVERIFY(back);
    QCOMPARE(*back, all);

    // Two bytes never share a character, or one of them could not come back.
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const QChar c = Cp1252::decode(uchar(b));
        QCOMPARE(c, text[b]);
        QVERIFY2(!seen.contains(c.unicode()), qPrintable(QString::number(b, 16)));
        seen.insert(c.unicode());
        QCOMPARE(Cp1252::encode(c), std::optional<uchar>(uchar(b)));
    }
}

void tst_Cp1252::knownBytes_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("hole 0x81") << 0x81 << 0x81;
    QTest::newRow("hole 0x8D") << 0x8D << 0x8D;
    QTest::newRow("hole 0x8F") << 0x8F << 0x8F;
    QTest::newRow("hole 0x90") << 0x90 << 0x90;
    QTest::newRow("hole 0x9D") << 0x9D << 0x9D;
    QTest::newRow("right single quote") << 0x92 << 0x2019;
    QTest::newRow("ellipsis") << 0x85 << 0x2026;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("a acute") << 0xE1 << 0x00E1;
    QTest::newRow("n tilde") << 0xF1 << 0x00F1;
    QTest::newRow("grave accent") << 0x60 << 0x60;
}

void tst_Cp1252::knownBytes()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    QCOMPARE(Cp1252::decode(uchar(byte)).unicode(), char16_t(character));
    QCOMPARE(Cp1252::encode(QChar(char16_t(character))), std::optional<uchar>(uchar(byte)));
}

void tst_Cp1252::characterWithoutByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("badIndex");
    // U+0080 is a control whose byte already stands for the euro sign.
    QTest::newRow("C1 control with a taken byte") << u"ab\u0080"_s << 2;
    QTest::newRow("CJK") << u"x\u4E2Dy"_s << 1;
    QTest::newRow("emoji") << u"ok \U0001F600"_s << 3;
    QTest::newRow("first of two") << u"\u0100\u0101"_s << 0;
}

void tst_Cp1252::characterWithoutByte()
{
    QFETCH(QString, text);
    QFETCH(int, badIndex);
    qsizetype found = -1;
    QVERIFY(!Cp1252::encode(text, &found));
    QCOMPARE(found, qsizetype(badIndex));
    QVERIFY(!Cp1252::encode(text[badIndex]));
}

QTEST_APPLESS_MAIN(tst_Cp1252)
#include "tst_cp1252.moc"
