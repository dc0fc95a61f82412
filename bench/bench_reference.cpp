// A reference for the keystroke cases: Qt's own plain text editor, alone in a
// window, given the same 2,000-character block and one key until it is
// painted. Typed back to back and after a pause as a typist's keys come, it
// tells what a pause costs any Qt editor on this machine (caches gone cold, a
// processor slowed down) from what it costs Tallowpen's work.
#include "bench/bench.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Counts the paints of the editor's viewport: a key is done when one came.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct ReferenceEditor
{
    std::unique_ptr<QPlainTextEdit> editor;
    PaintCounter counter;
};

void setUpEditor(BenchContext &ctx)
{
    auto &state = ctx.emplace<ReferenceEditor>();
    state.editor = std::make_unique<QPlainTextEdit>();
    state.editor->resize(420, 300);
    state.editor->setPlainText(keystrokeBlock().replace(u"\r\n"_s, u"\n"_s));
    QTextCursor caret = state.editor->textCursor();
    caret.setPosition(100);
    state.editor->setTextCursor(caret);
    state.editor->viewport()->installEventFilter(&state.counter);
    state.editor->show();
    if (!QTest::qWaitForWindowExposed(state.editor.get()))
        return ctx.fail(u"the editor was not shown"_s);
    state.editor->setFocus();
    for (int turn = 0; turn < 6; ++turn)
        QCoreApplication::processEvents();
}

// A pause as between a typist's keys: the main window's underlines wait 150 ms.
void setUpPausedEditor(BenchContext &ctx)
{
    setUpEditor(ctx);
    QTest::qWait(300);
}

void keystrokeInEditor(BenchContext &ctx)
{
    auto &state = ctx.state<ReferenceEditor>();
    const double cpuStart = processorMs();
    const int before = state.counter.paints;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QCoreApplication::sendEvent(state.editor.get(), &press);
    QCoreApplication::sendEvent(state.editor.get(), &release);
    while (state.counter.paints == before)
        QCoreApplication::processEvents();
    ctx.record(u"cpu_ms"_s, processorMs() - cpuStart);
}

} // namespace

TALLOWPEN_BENCH("reference: Qt's plain text editor, keystroke", setUpEditor, keystrokeInEditor);
TALLOWPEN_BENCH("reference: Qt's plain text editor, keystroke after a pause", setUpPausedEditor, keystrokeInEditor);
