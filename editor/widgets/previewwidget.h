#pragma once

#include <QList>
#include <QWidget>

class QScrollBar;

// picContenedor: the frame the preview scrolls in. It asks for the width
// that shows the game's windows whole at the preview's zoom and takes less
// when the window has no more room.
class PreviewContainer : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return m_hint; }
    void setWantedWidth(int width);

private:
    QSize m_hint{PreviewWidgetDesignedWidth, 400};
    static constexpr int PreviewWidgetDesignedWidth = 352;
};

// picPreview: shows the preview surface with each game pixel as a square of
// whole device pixels, 1x to 4x. The guide lines are child widgets over it,
// never pixels of the surface.
class PreviewWidget : public QWidget
{
    Q_OBJECT

public:
    // The game pixels across that the container shows at 1x when the window
    // has its designed size; wider containers show more of the surface.
    static constexpr int DesignedVisibleWidth = 337;
    // However the window is squeezed, this much of the surface stays in view
    // (logical pixels); the rest scrolls across.
    static constexpr int MinimumVisibleWidth = 160;

    explicit PreviewWidget(QWidget *parent = nullptr);

    // The image is not copied: the widget paints whatever it holds.
    void setSurface(const QImage *surface);
    const QImage *surface() const { return m_surface; }
    // Schedules a paint of the part of the surface that shows in the
    // container, not of what lies under its scroll bars.
    void updateShown();
    // The same, limited to the part of it that shows `game` (surface pixels).
    void updateShown(const QRect &game);

    // Moves the widget inside `container` as `bar` scrolls (value x 8 game
    // pixels), and lays both out whenever the container is resized.
    void attachScrolling(QWidget *container, QScrollBar *bar);

    // A vertical guide at the left edge of game column `gameX`, the surface's
    // height; it follows the zoom.
    void addGuide(QWidget *line, int gameX);

    int zoom() const { return m_zoom; }
    // The container's width that shows the game's windows whole at this
    // zoom; the container may be narrower (it scrolls across) or wider.
    int wantedContainerWidth() const;
    void setZoom(int factor);

signals:
    // Right before a paint: the owner brings a pending render up to date.
    void aboutToPaint();
    void zoomChanged(int factor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Guide
    {
        QWidget *line;
        int gameX;
    };
    void applyScale();
    void layoutInContainer();
    void placeSurface();
    QRect shownRect() const;

    const QImage *m_surface = nullptr;
    QWidget *m_container = nullptr;
    QScrollBar *m_bar = nullptr;
    QScrollBar *m_across = nullptr; // shown when the container is narrower than the surface
    QList<Guide> m_guides;
    int m_zoom = 1;
    qreal m_ratio = 1.0;
    int m_wheelRemainder = 0;
};
