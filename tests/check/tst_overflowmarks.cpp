#include "check/widgets/overflowmarks.h"
#include "editor/preview.h"

#include <QPainter>
#include <QTest>

// The marks are copied from tiles; they must land on the pixels an outline
// stroked at the zoom would, the part reaching past each mark included.
class tst_OverflowMarks : public QObject
{
    Q_OBJECT

private slots:
    void tilesGiveTheStrokedPixels_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::newRow("game size") << 1;
        QTest::newRow("zoom 2") << 2;
        QTest::newRow("zoom 3") << 3;
    }
    void tilesGiveTheStrokedPixels()
    {
        QFETCH(int, zoom);
        QWidget preview;
        preview.resize(PreviewCanvas::Width * zoom, 40 * zoom);
        OverflowMarks marks(&preview);
        const QList<QRect> rects{{5, 7, 8, 12}, {20, 3, 1, 1}, {43, 11, 6, 3}};
        marks.setMarks(rects);
        QImage expected(preview.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QPainter painter(&expected);
        painter.scale(zoom, zoom);
        for (const QRect &mark : rects) {
            painter.fillRect(mark, QColor(0xff, 0x50, 0x30, 90));
            painter.setPen(QColor(0xff, 0x50, 0x30));
            painter.drawRect(QRectF(mark).adjusted(0.5 / zoom, 0.5 / zoom, -0.5 / zoom, -0.5 / zoom));
        }
        painter.end();
        QImage shown(preview.size(), QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::transparent);
        marks.render(&shown);
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(tst_OverflowMarks)
#include "tst_overflowmarks.moc"
