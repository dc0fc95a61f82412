#include <QFile>
#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

// The pictures the program loads, as the resources of the linked library
// (no Q_INIT_RESOURCE) and as the font copied into the program folder.
class tst_Assets : public QObject
{
    Q_OBJECT

private slots:
    void resources_data();
    void resources();
    void framePiecesJoin_data();
    void framePiecesJoin();
    void font();
};

void tst_Assets::resources_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (int i = 1; i <= 7; ++i)
        QTest::addRow("tree %d", i) << u":/tallowpen/tree/%1.png"_s.arg(i) << QSize(16, 16);
    for (int i = 1; i <= 13; ++i)
        QTest::addRow("toolbar %d", i) << u":/tallowpen/toolbar/%1.png"_s.arg(i) << QSize(24, 24);
    QTest::newRow("splash") << u":/tallowpen/splash.png"_s << QSize(480, 270);
    QTest::newRow("about") << u":/tallowpen/about.png"_s << QSize(128, 128);
    QTest::newRow("window icon") << u":/tallowpen/app.png"_s << QSize(64, 64);
    QTest::newRow("frame strip") << u":/tallowpen/frame.png"_s << QSize(64, 8);
}

void tst_Assets::resources()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), size);
    QImage flat(size, QImage::Format_ARGB32);
    flat.fill(image.pixel(0, 0));
    QVERIFY2(image != flat, qPrintable(path)); // a picture, not a blank canvas
}

void tst_Assets::framePiecesJoin_data()
{
    QTest::addColumn<QRect>("cornerLine");
    QTest::addColumn<QRect>("edgeLine");
    // The strip holds top-left, bottom-left, top-right and bottom-right
    // corners, then left, top, right and bottom edges: each corner's side
    // continues the edge piece it meets, which pins every piece to its slot.
    QTest::newRow("top-left / left edge") << QRect(0, 7, 8, 1) << QRect(32, 0, 8, 1);
    QTest::newRow("top-left / top edge") << QRect(7, 0, 1, 8) << QRect(40, 0, 1, 8);
    QTest::newRow("bottom-left / left edge") << QRect(8, 0, 8, 1) << QRect(32, 7, 8, 1);
    QTest::newRow("bottom-left / bottom edge") << QRect(15, 0, 1, 8) << QRect(56, 0, 1, 8);
    QTest::newRow("top-right / right edge") << QRect(16, 7, 8, 1) << QRect(48, 0, 8, 1);
    QTest::newRow("top-right / top edge") << QRect(16, 0, 1, 8) << QRect(47, 0, 1, 8);
    QTest::newRow("bottom-right / right edge") << QRect(24, 0, 8, 1) << QRect(48, 7, 8, 1);
    QTest::newRow("bottom-right / bottom edge") << QRect(24, 0, 1, 8) << QRect(63, 0, 1, 8);
}

void tst_Assets::framePiecesJoin()
{
    QFETCH(QRect, cornerLine);
    QFETCH(QRect, edgeLine);
    const QImage strip(u":/tallowpen/frame.png"_s);
    QCOMPARE(strip.copy(cornerLine), strip.copy(edgeLine));
}

void tst_Assets::font()
{
    QFile built(QStringLiteral(TALLOWPEN_PROGRAM_FONT));
    QFile source(QStringLiteral(TALLOWPEN_SOURCE_FONT));
    QVERIFY(built.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
    QCOMPARE(built.readAll(), source.readAll());
    const QImage font(built.fileName());
    QCOMPARE(font.size(), QSize(256 * 8, 11));
    QVERIFY(!font.hasAlphaChannel() && font.colorCount() == 0);
    // Codes without a visible character are blank cells; every other code has ink.
    const QList<int> blank{0x7f, 0x81, 0x8d, 0x8f, 0x90, 0x9d, 0xa0};
    for (int code = 0; code < 256; ++code) {
        const QImage cell = font.copy(code * 8, 0, 8, 11);
        QImage black(cell.size(), cell.format());
        black.fill(Qt::black);
        QVERIFY2((cell == black) == (code < 0x21 || blank.contains(code)), qPrintable(QString::number(code, 16)));
    }
}

QTEST_APPLESS_MAIN(tst_Assets)
#include "tst_assets.moc"
