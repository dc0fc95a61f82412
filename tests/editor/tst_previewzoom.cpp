#include "editor/previewzoom.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_PreviewZoom : public QObject
{
    Q_OBJECT

private slots:
    void scale_data();
    void scale();
    void wheel_data();
    void wheel();
};

void tst_PreviewZoom::scale_data()
{
    QTest::addColumn<int>("factor");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("perGamePixel");
    QTest::addColumn<QSize>("widget"); // for the whole 601 x 968 surface
    QTest::addColumn<QRect>("painted"); // a logical rectangle to paint
    QTest::addColumn<QRect>("game");    // and the game pixels it draws
    QTest::newRow("1x") << 1 << 1.0 << 1 << QSize(601, 968) << QRect(5, 7, 10, 3) << QRect(5, 7, 10, 3);
    QTest::newRow("below 1x") << 0 << 1.0 << 1 << QSize(601, 968) << QRect() << QRect();
    QTest::newRow("2x, halves of pixels at both ends")
        << 2 << 1.0 << 2 << QSize(1202, 1936) << QRect(3, 3, 2, 2) << QRect(1, 1, 2, 2);
    QTest::newRow("beyond 4x, cut at the surface's edge")
        << 7 << 1.0 << 4 << QSize(2404, 3872) << QRect(2400, 3860, 20, 20) << QRect(600, 965, 1, 3);
    QTest::newRow("2x on a ratio-2 screen") << 2 << 2.0 << 4 << QSize(1202, 1936) << QRect(8, 0, 1, 1)
                                            << QRect(4, 0, 1, 1);
    QTest::newRow("1x at 1.25 rounds down") << 1 << 1.25 << 1 << QSize(481, 775) << QRect() << QRect();
    QTest::newRow("1x at 1.5 rounds up: 4/3 logical per game pixel")
        << 1 << 1.5 << 2 << QSize(802, 1291) << QRect(4, 4, 1, 1) << QRect(3, 3, 1, 1);
}

void tst_PreviewZoom::scale()
{
    QFETCH(int, factor);
    QFETCH(qreal, ratio);
    QFETCH(int, perGamePixel);
    QFETCH(QSize, widget);
    QFETCH(QRect, painted);
    QFETCH(QRect, game);
    QCOMPARE(PreviewZoom::devicePixelsPerGamePixel(factor, ratio), perGamePixel);
    QCOMPARE(PreviewZoom::widgetSize(QSize(601, 968), factor, ratio), widget);
    if (!painted.isNull())
        QCOMPARE(PreviewZoom::gameRect(painted, QSize(601, 968), factor, ratio), game);
}

void tst_PreviewZoom::wheel_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("whole notches each way") << QList<int>{120, -240} << QList<int>{1, -2};
    QTest::newRow("touchpad halves add up") << QList<int>{60, 30, 30, 60} << QList<int>{0, 0, 1, 0};
    QTest::newRow("turning back cancels") << QList<int>{90, -90, -120} << QList<int>{0, 0, -1};
}

void tst_PreviewZoom::wheel()
{
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, steps);
    int remainder = 0;
    QList<int> taken;
    for (int delta : std::as_const(deltas))
        taken << PreviewZoom::wheelSteps(delta, &remainder);
    QCOMPARE(taken, steps);
}

QTEST_APPLESS_MAIN(tst_PreviewZoom)
#include "tst_previewzoom.moc"
