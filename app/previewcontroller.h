#pragma once

#include "editor/preview.h"

#include <QObject>
#include <QTimer>

class PreviewWidget;
class QScrollBar;
class QWidget;
class TranslatedEdit;
struct WindowSize;

// The block preview of the main window: owns the surface that picPreview
// shows and draws the translation's text onto it at the open block's size.
//
// Edits are coalesced: key downs and text changes only ask for a redraw,
// and the next turn of the event loop (or the window's next paint, if that
// comes first) draws once for the whole burst. What shows is what drawing
// after every request would show, windowRows included: a burst happens at
// one window size, since a size change draws at once.
//
// Nothing is drawn until a font is given: without font/font.bmp picPreview
// is hidden for good.
//
// Thread contract: GUI thread.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(TranslatedEdit &translation, PreviewWidget &surface, QWidget &container, QScrollBar &scroll,
                      const WindowSize &size, QObject *parent);

    // picFont, 8 x 11 cells in one row; a null image leaves the preview off.
    void setFont(const QImage &font);

    // Clears picPreview and draws the editor's text now, even an empty one
    // (its first, empty window): a size change, the window-size reset.
    void redrawPreview();
    // Clears picPreview to its background (Clean).
    void clearPreview();
    // A block is about to load: cleared, and scrolled back to the top.
    void startOver();
    // The text-changed rule, coalesced: an empty text only clears.
    void requestTextRedraw();
    // The key-down rule, coalesced: the text is drawn even when empty.
    void requestKeyRedraw();
    // Draws a pending request now.
    void flush();

    int renderCount() const { return m_renders; }

signals:
    // The surface changed (after each draw or clear).
    void redrawn();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Request { None, Text, Key };
    void request(Request kind);
    // The part of the surface that changed.
    QRect render(const QString &text);
    void clearSurface();

    TranslatedEdit &m_editor;
    PreviewWidget &m_widget;
    QScrollBar &m_scroll;
    const WindowSize &m_size;
    PreviewCanvas m_canvas;
    PreviewDrawing m_drawn; // what the surface shows, so that a key redraws only what it changed
    bool m_enabled = false;
    QTimer m_coalesce;
    Request m_last = Request::None;
    bool m_keyRequested = false;
    int m_renders = 0;
};
