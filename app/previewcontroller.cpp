#include "app/previewcontroller.h"

#include "app/windowsize.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"

#include <QEvent>
#include <QScrollBar>

PreviewController::PreviewController(TranslatedEdit &translation, PreviewWidget &surface, QWidget &container,
                                     QScrollBar &scroll, const WindowSize &size, QObject *parent)
    : QObject(parent)
    , m_editor(translation)
    , m_widget(surface)
    , m_scroll(scroll)
    , m_size(size)
{
    m_canvas.frame = defaultFrameStrip();
    ::clearPreview(m_canvas);
    m_drawn.valid = true;

    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &PreviewController::flush);

    m_widget.setSurface(&m_canvas.surface);
    m_widget.attachScrolling(&container, &scroll);
    connect(&m_widget, &PreviewWidget::aboutToPaint, this, &PreviewController::flush);
    m_widget.window()->installEventFilter(this);
    connect(&m_editor, &TranslatedEdit::translatedTextChanged, this, &PreviewController::requestTextRedraw);
}

bool PreviewController::eventFilter(QObject *watched, QEvent *event)
{
    // The window is about to paint the key's edit: drawn now, picPreview
    // joins that paint instead of needing one of its own.
    if (event->type() == QEvent::UpdateRequest && watched == m_widget.window())
        flush();
    return QObject::eventFilter(watched, event);
}

void PreviewController::setFont(const QImage &font)
{
    m_canvas.font = font.convertToFormat(QImage::Format_RGB32);
    m_drawn.valid = false; // every glyph shown was drawn from the old font
    m_enabled = !font.isNull();
}

QRect PreviewController::render(const QString &text)
{
    m_canvas.currentWidth = m_size.width;
    m_canvas.currentHeight = m_size.height;
    ++m_renders;
    return updatePreview(text, m_canvas, m_drawn);
}

void PreviewController::clearSurface()
{
    ::clearPreview(m_canvas);
    m_drawn = PreviewDrawing{{}, true, {}};
    m_widget.updateShown();
    emit redrawn();
}

void PreviewController::redrawPreview()
{
    if (!m_enabled)
        return; // picPreview is hidden for good: nothing to show
    m_coalesce.stop();
    m_last = Request::None;
    m_keyRequested = false;
    render(m_editor.plainTextCrLf());
    m_widget.updateShown();
    emit redrawn();
}

void PreviewController::clearPreview()
{
    flush(); // a pending draw still leaves its windowRows behind
    clearSurface();
}

void PreviewController::startOver()
{
    clearPreview();
    m_scroll.setValue(0);
}

void PreviewController::requestTextRedraw()
{
    request(Request::Text);
}

void PreviewController::requestKeyRedraw()
{
    request(Request::Key);
}

void PreviewController::request(Request kind)
{
    if (!m_enabled)
        return; // picPreview is hidden for good: nothing to show
    m_last = kind;
    m_keyRequested |= kind == Request::Key;
    if (!m_coalesce.isActive())
        m_coalesce.start();
}

void PreviewController::flush()
{
    if (m_last == Request::None)
        return;
    m_coalesce.stop();
    const QString text = m_editor.plainTextCrLf();
    const bool onlyClear = m_last == Request::Text && text.isEmpty();
    const bool drew = m_keyRequested;
    m_last = Request::None;
    m_keyRequested = false;
    QRect changed;
    if (!onlyClear || drew)
        changed = render(text);
    if (onlyClear) {
        ::clearPreview(m_canvas);
        m_drawn = PreviewDrawing{{}, true, {}};
        m_widget.updateShown();
    } else {
        m_widget.updateShown(changed);
    }
    emit redrawn();
}
