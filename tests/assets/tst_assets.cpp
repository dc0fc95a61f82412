#include <QFile>
#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int piece = 8;
constexpr int cellW = 8;
constexpr int cellH = 11;

bool isBlack(QRgb c)
{
    return (c & 0xffffff) == 0;
}

QImage loadFont()
{
    return QImage(QStringLiteral(TALLOWPEN_PROGRAM_FONT));
}

// Codes that Windows-1252 leaves without a visible glyph.
bool blankCode(int code)
{
    return code < 0x21 || code == 0x7f || code == 0x81 || code == 0x8d || code == 0x8f || code == 0x90
        || code == 0x9d || code == 0xa0;
}

QRect litBounds(const QImage &img, const QRect &area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isBlack(img.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class tst_Assets : public QObject
{
    Q_OBJECT

private slots:
    void resources_data();
    void resources();
    void iconsDistinct();
    void framePieces_data();
    void framePieces();
    void frameSeams_data();
    void frameSeams();
    void fontFile();
    void fontCells();
    void fontShapes_data();
    void fontShapes();
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

// Loaded without Q_INIT_RESOURCE: linking the library must be enough.
void tst_Assets::resources()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage img(path);
    QVERIFY2(!img.isNull(), qPrintable(path));
    QCOMPARE(img.size(), size);
    // A picture, not an empty or single-colour canvas.
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) > 0)
                colours.insert(img.pixel(x, y));
        }
    }
    QVERIFY2(colours.size() >= 3, qPrintable(path));
}

void tst_Assets::iconsDistinct()
{
    QList<QPair<QString, QImage>> icons;
    for (int i = 1; i <= 7; ++i)
        icons.append({u"tree/%1"_s.arg(i), QImage(u":/tallowpen/tree/%1.png"_s.arg(i))});
    for (int i = 1; i <= 13; ++i)
        icons.append({u"toolbar/%1"_s.arg(i), QImage(u":/tallowpen/toolbar/%1.png"_s.arg(i))});
    for (qsizetype a = 0; a < icons.size(); ++a) {
        for (qsizetype b = a + 1; b < icons.size(); ++b)
            QVERIFY2(icons[a].second != icons[b].second, qPrintable(icons[a].first + u" == "_s + icons[b].first));
    }
}

void tst_Assets::framePieces_data()
{
    QTest::addColumn<int>("stripX");
    QTest::addColumn<Qt::Edges>("outer");
    QTest::newRow("top-left corner") << 0 << (Qt::LeftEdge | Qt::TopEdge);
    QTest::newRow("bottom-left corner") << 8 << (Qt::LeftEdge | Qt::BottomEdge);
    QTest::newRow("top-right corner") << 16 << (Qt::RightEdge | Qt::TopEdge);
    QTest::newRow("bottom-right corner") << 24 << (Qt::RightEdge | Qt::BottomEdge);
    QTest::newRow("left edge") << 32 << Qt::Edges(Qt::LeftEdge);
    QTest::newRow("top edge") << 40 << Qt::Edges(Qt::TopEdge);
    QTest::newRow("right edge") << 48 << Qt::Edges(Qt::RightEdge);
    QTest::newRow("bottom edge") << 56 << Qt::Edges(Qt::BottomEdge);
}

void tst_Assets::framePieces()
{
    QFETCH(int, stripX);
    QFETCH(Qt::Edges, outer);
    const QImage strip(u":/tallowpen/frame.png"_s);
    QCOMPARE(strip.size(), QSize(64, 8));
    QVERIFY(!strip.hasAlphaChannel());

    // How far a pixel of the piece lies from its nearest outer side.
    auto depth = [&](int x, int y) {
        int d = piece;
        if (outer & Qt::LeftEdge) d = qMin(d, x);
        if (outer & Qt::RightEdge) d = qMin(d, piece - 1 - x);
        if (outer & Qt::TopEdge) d = qMin(d, y);
        if (outer & Qt::BottomEdge) d = qMin(d, piece - 1 - y);
        return d;
    };
    auto at = [&](int x, int y) { return strip.pixel(stripX + x, y); };

    for (int y = 0; y < piece; ++y) {
        for (int x = 0; x < piece; ++x) {
            if (depth(x, y) >= 4)
                QVERIFY2(isBlack(at(x, y)), qPrintable(u"inside (%1,%2)"_s.arg(x).arg(y)));
        }
    }
    // Along each outer side, clear of the rounded corner: a light band, then
    // darker shading on its inner side.
    const struct { Qt::Edge side; bool vertical; bool far; } sides[] = {
        {Qt::LeftEdge, true, false}, {Qt::RightEdge, true, true},
        {Qt::TopEdge, false, false}, {Qt::BottomEdge, false, true}};
    for (const auto &s : sides) {
        if (!(outer & s.side))
            continue;
        for (int along = 0; along < piece; ++along) {
            auto pixel = [&](int d) {
                const int across = s.far ? piece - 1 - d : d;
                return s.vertical ? QPoint(across, along) : QPoint(along, across);
            };
            if (depth(pixel(6).x(), pixel(6).y()) < 6)
                continue; // the rounded part of a corner
            const QRgb band = at(pixel(1).x(), pixel(1).y());
            const QRgb shade = at(pixel(3).x(), pixel(3).y());
            QVERIFY2(qGray(band) > 160, qPrintable(u"band at %1"_s.arg(along)));
            QVERIFY(qBlue(band) >= qRed(band)); // bluish, not yellow or red
            QVERIFY(!isBlack(at(pixel(0).x(), pixel(0).y())));
            QVERIFY(!isBlack(shade));
            QVERIFY2(qGray(shade) < qGray(band), qPrintable(u"shade at %1"_s.arg(along)));
        }
    }
}

void tst_Assets::frameSeams_data()
{
    QTest::addColumn<QRect>("cornerLine");
    QTest::addColumn<QRect>("edgeLine");
    // A corner's side that meets an edge piece must continue it exactly,
    // which also pins each piece to its place in the strip.
    QTest::newRow("top-left / left edge") << QRect(0, 7, 8, 1) << QRect(32, 0, 8, 1);
    QTest::newRow("top-left / top edge") << QRect(7, 0, 1, 8) << QRect(40, 0, 1, 8);
    QTest::newRow("bottom-left / left edge") << QRect(8, 0, 8, 1) << QRect(32, 7, 8, 1);
    QTest::newRow("bottom-left / bottom edge") << QRect(15, 0, 1, 8) << QRect(56, 0, 1, 8);
    QTest::newRow("top-right / right edge") << QRect(16, 7, 8, 1) << QRect(48, 0, 8, 1);
    QTest::newRow("top-right / top edge") << QRect(16, 0, 1, 8) << QRect(47, 0, 1, 8);
    QTest::newRow("bottom-right / right edge") << QRect(24, 0, 8, 1) << QRect(48, 7, 8, 1);
    QTest::newRow("bottom-right / bottom edge") << QRect(24, 0, 1, 8) << QRect(63, 0, 1, 8);
}

void tst_Assets::frameSeams()
{
    QFETCH(QRect, cornerLine);
    QFETCH(QRect, edgeLine);
    const QImage strip(u":/tallowpen/frame.png"_s);
    QCOMPARE(strip.copy(cornerLine), strip.copy(edgeLine));
}

void tst_Assets::fontFile()
{
    QFile built(QStringLiteral(TALLOWPEN_PROGRAM_FONT));
    QFile source(QStringLiteral(TALLOWPEN_SOURCE_FONT));
    QVERIFY(built.open(QIODevice::ReadOnly));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QCOMPARE(built.readAll(), source.readAll());

    const QImage font = loadFont();
    QCOMPARE(font.size(), QSize(256 * cellW, cellH));
    QCOMPARE(font.depth(), 32); // loaded from 24 bits; what matters is no palette
    QVERIFY(!font.hasAlphaChannel());
}

void tst_Assets::fontCells()
{
    const QImage font = loadFont();
    QCOMPARE(font.width(), 256 * cellW);
    for (int code = 0; code < 256; ++code) {
        const QRect cell(code * cellW, 0, cellW, cellH);
        const QRect lit = litBounds(font, cell);
        if (blankCode(code)) {
            QVERIFY2(lit.isEmpty(), qPrintable(u"code 0x%1 should be blank"_s.arg(code, 2, 16, QChar(u'0'))));
        } else {
            QVERIFY2(!lit.isEmpty(), qPrintable(u"code 0x%1 has no glyph"_s.arg(code, 2, 16, QChar(u'0'))));
            // Light on black: the game writes light text in dark windows.
            for (int y = lit.top(); y <= lit.bottom(); ++y) {
                for (int x = lit.left(); x <= lit.right(); ++x) {
                    const QRgb c = font.pixel(x, y);
                    QVERIFY(isBlack(c) || qGray(c) > 200);
                }
            }
        }
    }
}

void tst_Assets::fontShapes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QRect>("within"); // cell coordinates the ink must stay in
    QTest::addColumn<QSize>("inkSize"); // 0 = any
    QTest::newRow("hyphen: one row") << 0x2d << QRect(0, 2, 8, 7) << QSize(0, 1);
    QTest::newRow("bar: one column") << 0x7c << QRect(0, 0, 8, 11) << QSize(1, 0);
    QTest::newRow("underscore: low") << 0x5f << QRect(0, 8, 8, 3) << QSize(0, 1);
    QTest::newRow("macron: high") << 0xaf << QRect(0, 0, 8, 3) << QSize(0, 1);
    QTest::newRow("A-acute: accent kept") << 0xc1 << QRect(0, 0, 8, 11) << QSize(0, 0);
}

void tst_Assets::fontShapes()
{
    QFETCH(int, code);
    QFETCH(QRect, within);
    QFETCH(QSize, inkSize);
    const QImage font = loadFont();
    const QRect lit = litBounds(font, QRect(code * cellW, 0, cellW, cellH)).translated(-code * cellW, 0);
    QVERIFY(!lit.isEmpty());
    QVERIFY2(within.contains(lit), qPrintable(u"ink at %1,%2 %3x%4"_s.arg(lit.x()).arg(lit.y()).arg(lit.width()).arg(lit.height())));
    if (inkSize.width() > 0)
        QCOMPARE(lit.width(), inkSize.width());
    if (inkSize.height() > 0)
        QCOMPARE(lit.height(), inkSize.height());
    if (code == 0xc1) {
        // The accent sits above the capital with a gap: compare with plain A.
        const QRect a = litBounds(font, QRect(0x41 * cellW, 0, cellW, cellH)).translated(-0x41 * cellW, 0);
        QVERIFY(lit.top() < a.top());
        QCOMPARE(lit.bottom(), a.bottom());
    }
}

QTEST_APPLESS_MAIN(tst_Assets)

#include "tst_assets.moc"
