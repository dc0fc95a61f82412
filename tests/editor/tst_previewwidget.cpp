#include "editor/widgets/previewwidget.h"
#include "tests/support/testimages.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_PreviewWidget : public QObject
{
    Q_OBJECT

private slots:
    void showsTheSurfaceAsItIs_data();
    void showsTheSurfaceAsItIs();
    void scrolling_data();
    void scrolling();
};

void tst_PreviewWidget::showsTheSurfaceAsItIs_data()
{
    QTest::addColumn<int>("zoom");
    QTest::newRow("1x") << 1;
    QTest::newRow("3x, each pixel a 3 x 3 square") << 3;
}

void tst_PreviewWidget::showsTheSurfaceAsItIs()
{
    QFETCH(int, zoom);
    PreviewCanvas canvas = TestImages::canvas(u"56"_s, u"3"_s);
    showPreview(u"Hello<New>\r\nthere"_s, canvas);
    PreviewWidget widget;
    auto *guide = new QWidget(&widget);
    widget.addGuide(guide, 240);
    QSignalSpy painting(&widget, &PreviewWidget::aboutToPaint);
    widget.setSurface(&canvas.surface);
    widget.setZoom(zoom);
    guide->hide(); // over the surface, not part of it
    const auto shown = [&] { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const auto scaled = [&] { return canvas.surface.scaled(canvas.surface.size() * zoom); };
    QCOMPARE(shown(), scaled());
    QVERIFY(!painting.isEmpty());
    QCOMPARE(guide->geometry(), QRect(240 * zoom, 0, 1, 968 * zoom));
    // The widget holds no copy: a new render shows at the next paint.
    clearPreview(canvas);
    QCOMPARE(shown(), scaled());
}

void tst_PreviewWidget::scrolling_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("containerHeight");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("top");
    QTest::newRow("as laid out, scrolled to 3") << 1 << 569 << 51 << 3 << -24; // 49.875 + 1
    QTest::newRow("beyond the end stays at the end") << 1 << 569 << 51 << 80 << -408;
    QTest::newRow("range rounds half to even") << 1 << 572 << 50 << 1 << -8; // 49.5 + 1
    QTest::newRow("whole surface shown") << 1 << 968 << 1 << 1 << -8;
    QTest::newRow("taller than the surface") << 1 << 1200 << 0 << 1 << 0;
    QTest::newRow("2x: half the surface in view") << 2 << 968 << 62 << 3 << -48; // 60.5 + 1, rounded to even
    QTest::newRow("4x: a unit is 32 pixels") << 4 << 569 << 104 << 2 << -64; // 103.25 + 1
}

void tst_PreviewWidget::scrolling()
{
    QFETCH(int, zoom);
    QFETCH(int, containerHeight);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, top);
    QWidget container;
    container.resize(337, 400);
    auto *preview = new PreviewWidget(&container);
    auto *bar = new QScrollBar(Qt::Vertical, &container);
    preview->attachScrolling(&container, bar);
    preview->setZoom(zoom);
    container.resize(preview->wantedContainerWidth(), containerHeight); // the game's windows whole
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->pageStep(), 15);
    const int barWidth = bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
    // The game's windows stay in view beside the bar.
    QCOMPARE(bar->geometry(), QRect(337 * zoom, 0, barWidth, containerHeight));
    bar->setValue(value);
    QCOMPARE(preview->pos(), QPoint(0, top));
    // A later layout keeps the scrolled place.
    container.resize(container.width(), containerHeight + 16);
    QCOMPARE(preview->y(), -bar->value() * 8 * zoom);

    // Narrower than the game's windows, the surface scrolls across.
    auto *across = container.findChild<QScrollBar *>(u"horizontalScroll"_s);
    QVERIFY(across && across->isHidden());
    container.resize(PreviewWidget::MinimumVisibleWidth + barWidth, containerHeight);
    QVERIFY(across->isVisible());
    QCOMPARE(across->maximum(), preview->width() - PreviewWidget::MinimumVisibleWidth);
    across->setValue(40);
    QCOMPARE(preview->x(), -40);
}

QTEST_MAIN(tst_PreviewWidget)
#include "tst_previewwidget.moc"
