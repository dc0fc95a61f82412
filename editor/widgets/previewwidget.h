#pragma once

#include <QWidget>

class QScrollBar;

// picPreview: shows the preview surface as it is, pixel for pixel. The guide
// lines are child widgets over it, never pixels of the surface.
class PreviewWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewWidget(QWidget *parent = nullptr);

    // The image is not copied: the widget paints whatever it holds.
    void setSurface(const QImage *surface);
    const QImage *surface() const { return m_surface; }

    // Moves the widget inside `container` as `bar` scrolls (value x 8 pixels),
    // and lays both out whenever the container is resized.
    void attachScrolling(QWidget *container, QScrollBar *bar);

signals:
    // Right before a paint: the owner brings a pending render up to date.
    void aboutToPaint();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutInContainer();
    void placeSurface();

    const QImage *m_surface = nullptr;
    QWidget *m_container = nullptr;
    QScrollBar *m_bar = nullptr;
};
