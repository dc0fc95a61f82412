#pragma once

#include "editor/preview.h"

#include <QObject>
#include <QTimer>

class MainWindow;
class PreviewWidget;
class TranslatedEdit;

// The block preview of the main window: owns the surface that picPreview
// shows and draws rtxtTranslated's text onto it with the open block's size.
//
// Edits are coalesced: key downs and text changes only ask for a redraw,
// and the next turn of the event loop (or picPreview's next paint, if that
// comes first) draws once for the whole burst. What shows is what drawing
// after every request would show, windowRows included: a burst happens at
// one window size, since a size change draws at once.
//
// Thread contract: GUI thread.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    explicit PreviewController(MainWindow &window);

    // The main window's preview controller, for the features that redraw it.
    static PreviewController *of(MainWindow &window);

    // Clears picPreview and draws the editor's text now, even an empty one
    // (its first, empty window): loading a size, the window-size reset.
    void redrawPreview();
    // Clears picPreview to its background (loading a block, Clean).
    void clearPreview();
    // The text-changed rule, coalesced: an empty text only clears.
    void requestTextRedraw();
    // The key-down rule, coalesced: the text is drawn even when empty.
    void requestKeyRedraw();
    // Draws a pending request now.
    void flush();

    // The frame-piece strip; the built-in one unless replaced.
    void setFrameStrip(const QImage &strip);

    const PreviewCanvas &canvas() const { return m_canvas; }
    int renderCount() const { return m_renders; }

signals:
    // The surface changed (after each draw or clear).
    void redrawn();

private:
    enum class Request { None, Text, Key };
    void request(Request kind);
    void prepareCanvas();
    void render(const QString &text);
    void clearSurface();

    MainWindow &m_window;
    TranslatedEdit *m_editor = nullptr;
    PreviewWidget *m_widget = nullptr;
    PreviewCanvas m_canvas;
    qint64 m_fontKey = 0;
    QTimer m_coalesce;
    Request m_last = Request::None;
    bool m_keyRequested = false;
    int m_renders = 0;
};
