#include "editor/widgets/previewwidget.h"
#include "tests/editor/testimages.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_PreviewWidget : public QObject
{
    Q_OBJECT

private slots:
    void showsTheSurfaceAsItIs();
    void scrolling_data();
    void scrolling();
};

void tst_PreviewWidget::showsTheSurfaceAsItIs()
{
    PreviewCanvas canvas = TestImages::canvas(u"56"_s, u"3"_s);
    showPreview(u"Hello<New>\r\nthere"_s, canvas);
    PreviewWidget widget;
    QSignalSpy painting(&widget, &PreviewWidget::aboutToPaint);
    widget.setSurface(&canvas.surface);
    QCOMPARE(widget.grab().toImage().convertToFormat(QImage::Format_RGB32), canvas.surface);
    QVERIFY(!painting.isEmpty());
    // The widget holds no copy: a new render shows at the next paint.
    clearPreview(canvas);
    QCOMPARE(widget.grab().toImage().convertToFormat(QImage::Format_RGB32), canvas.surface);
}

void tst_PreviewWidget::scrolling_data()
{
    QTest::addColumn<int>("containerHeight");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("top");
    QTest::newRow("as laid out, scrolled to 3") << 569 << 51 << 3 << -24; // 49.875 + 1
    QTest::newRow("beyond the end stays at the end") << 569 << 51 << 80 << -408;
    QTest::newRow("range rounds half to even") << 572 << 50 << 1 << -8; // 49.5 + 1
    QTest::newRow("whole surface shown") << 968 << 1 << 1 << -8;
    QTest::newRow("taller than the surface") << 1200 << 0 << 1 << 0;
}

void tst_PreviewWidget::scrolling()
{
    QFETCH(int, containerHeight);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, top);
    QWidget container;
    container.resize(337, 400);
    auto *preview = new PreviewWidget(&container);
    auto *bar = new QScrollBar(Qt::Vertical, &container);
    preview->attachScrolling(&container, bar);
    container.resize(337, containerHeight);
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->pageStep(), 15);
    const int barWidth = bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
    QCOMPARE(bar->geometry(), QRect(337 - barWidth, 0, barWidth, containerHeight));
    bar->setValue(value);
    QCOMPARE(preview->pos(), QPoint(0, top));
    // A later layout keeps the scrolled place.
    container.resize(337, containerHeight + 16);
    QCOMPARE(preview->y(), -bar->value() * 8);
}

QTEST_MAIN(tst_PreviewWidget)
#include "tst_previewwidget.moc"
