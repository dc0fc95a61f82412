#include "app/previewcontroller.h"

#include "app/mainwindow.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"

using namespace Qt::StringLiterals;

PreviewController::PreviewController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_editor(qobject_cast<TranslatedEdit *>(window.controls().rtxtTranslated))
    , m_widget(qobject_cast<PreviewWidget *>(window.controls().picPreview))
{
    setObjectName(u"previewController"_s);
    m_canvas.frame = defaultFrameStrip();
    ::clearPreview(m_canvas);

    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &PreviewController::flush);

    if (m_widget) {
        m_widget->setSurface(&m_canvas.surface);
        m_widget->attachScrolling(window.controls().picContenedor, window.controls().VScroll1);
        connect(m_widget, &PreviewWidget::aboutToPaint, this, &PreviewController::flush);
    }
    if (m_editor)
        connect(m_editor, &TranslatedEdit::translatedTextChanged, this, &PreviewController::requestTextRedraw);
}

PreviewController *PreviewController::of(MainWindow &window)
{
    return window.findChild<PreviewController *>(u"previewController"_s, Qt::FindDirectChildrenOnly);
}

void PreviewController::setFrameStrip(const QImage &strip)
{
    m_canvas.frame = strip.convertToFormat(QImage::Format_RGB32);
}

void PreviewController::prepareCanvas()
{
    const MainState &state = m_window.state();
    if (state.picFont.cacheKey() != m_fontKey) {
        m_fontKey = state.picFont.cacheKey();
        m_canvas.font = state.picFont.convertToFormat(QImage::Format_RGB32);
    }
    m_canvas.currentWidth = state.currentWidth;
    m_canvas.currentHeight = state.currentHeight;
    m_canvas.windowRows = state.windowRows;
}

void PreviewController::render(const QString &text)
{
    prepareCanvas();
    ::clearPreview(m_canvas);
    showPreview(text, m_canvas);
    m_window.state().windowRows = m_canvas.windowRows;
    ++m_renders;
}

void PreviewController::clearSurface()
{
    ::clearPreview(m_canvas);
    if (m_widget)
        m_widget->update();
    emit redrawn();
}

void PreviewController::redrawPreview()
{
    if (!m_window.state().previewEnabled)
        return; // picPreview is hidden for good: nothing to show
    m_coalesce.stop();
    m_last = Request::None;
    m_keyRequested = false;
    if (m_editor)
        render(m_editor->plainTextCrLf());
    else
        ::clearPreview(m_canvas);
    if (m_widget)
        m_widget->update();
    emit redrawn();
}

void PreviewController::clearPreview()
{
    flush(); // a pending draw still leaves its windowRows behind
    clearSurface();
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
    if (!m_window.state().previewEnabled)
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
    const QString text = m_editor ? m_editor->plainTextCrLf() : QString();
    const bool onlyClear = m_last == Request::Text && text.isEmpty();
    const bool drew = m_keyRequested;
    m_last = Request::None;
    m_keyRequested = false;
    if (!onlyClear || drew)
        render(text);
    if (onlyClear)
        ::clearPreview(m_canvas);
    if (m_widget)
        m_widget->update();
    emit redrawn();
}
