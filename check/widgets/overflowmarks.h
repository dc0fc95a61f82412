#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QWidget>

// Laid over picPreview like the guide lines: outlines what overflows the
// window in a warning colour, without touching the preview's own pixels.
// Mouse events pass through to the preview.
class OverflowMarks : public QWidget
{
    Q_OBJECT

public:
    explicit OverflowMarks(QWidget *preview);

    void setMarks(const QList<QRect> &marks);
    const QList<QRect> &marks() const { return m_marks; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QRect> m_marks;
    QHash<QSize, QImage> m_tiles; // one drawn mark per size, at m_tileScale
    int m_tileScale = 0;
};
