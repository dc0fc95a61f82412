#pragma once

#include <QObject>
#include <QRect>

class QActionGroup;
class QMainWindow;
class QMenu;
class QSplitter;
class PreviewWidget;

// The names QSettings files the program's settings under (organisation and
// application), the version and the desktop entry the window belongs to.
void setApplicationIdentity();

// Where the first start puts the window (its frame, `frame` the frame's
// extra size): the designed size where the screen's available area `room`
// has space for it, never below the window's `minimum`, centred; a window
// bigger than the room keeps its top left corner inside it.
QRect firstStartFrame(const QSize &designed, const QSize &frame, const QSize &minimum, const QRect &room);

// The preview's zoom entries in the View menu (1x to 4x, Zoom In, Zoom Out),
// and what the window remembers between runs in QSettings: its geometry, the
// panels, the splitter between tree, editors and preview, and the zoom.
//
// Thread contract: GUI thread.
class WindowSettings : public QObject
{
    Q_OBJECT

public:
    WindowSettings(QMainWindow &window, QSplitter &splitter, PreviewWidget &preview);

    // View, "Preview Zoom", for the main window to place.
    QMenu *zoomMenu() const { return m_zoomMenu; }

    void restore();
    void save() const;

private:
    void givePreviewItsWidth();

    QMainWindow &m_window;
    QSplitter &m_splitter;
    PreviewWidget &m_preview;
    QActionGroup *m_factors = nullptr;
    QMenu *m_zoomMenu = nullptr;
};
