// The preview: a full redraw of a ten-page block without widgets, and one
// keystroke in the running main window's translated editor until the
// preview shows the new text.
#include "bench/bench.h"

#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "editor/preview.h"
#include "editor/widgets/translatededit.h"
#include "store/layout.h"
#include "store/database.h"
#include "store/widgets/scripttree.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Ten pages of about 200 characters: a speaker line and four lines of text
// at the 28-character guide, pages broken by <New> as the editor inserts it.
QString tenPageBlock()
{
    QString text;
    for (int page = 0; page < 10; ++page) {
        if (page > 0)
            text += u"<New>\r\n"_s;
        text += u"<Tolm>\r\n"_s;
        for (int line = 0; line < 4; ++line) {
            text += u"Line %1 of page %2, it`s in"_s.arg(line).arg(page).left(28);
            text += u"\r\n"_s;
        }
        text += u"<Wait>"_s.left(page % 2 ? 0 : 6);
    }
    while (text.size() < 2000)
        text += u'.';
    return text.left(2000);
}

QImage benchFont()
{
    QImage font(2048, 11, QImage::Format_RGB32);
    for (int x = 0; x < 2048; ++x) {
        for (int y = 0; y < 11; ++y)
            font.setPixel(x, y, (x + y) % 3 ? 0xff000000 : 0xffffffff);
    }
    return font;
}

QImage benchStrip()
{
    QImage strip(64, 8, QImage::Format_RGB32);
    strip.fill(0xffa8b8d0);
    return strip;
}

struct RedrawState
{
    PreviewCanvas canvas;
    QString text;
};

void setUpRedraw(BenchContext &ctx)
{
    auto &state = ctx.emplace<RedrawState>();
    state.canvas.font = benchFont();
    state.canvas.frame = benchStrip();
    state.canvas.currentWidth = u"56"_s;
    state.canvas.currentHeight = u"4"_s;
    state.text = tenPageBlock();
    clearPreview(state.canvas);
}

void redraw(BenchContext &ctx)
{
    auto &state = ctx.state<RedrawState>();
    clearPreview(state.canvas);
    showPreview(state.text, state.canvas);
    ctx.record(u"characters"_s, state.text.size());
    ctx.record(u"windowRows"_s, state.canvas.windowRows);
}

struct KeystrokeState
{
    std::unique_ptr<MainWindow> window;
};

void setUpKeystroke(BenchContext &ctx)
{
    if (const Result<Done> made = createStore(QDir(ctx.scratch).filePath(StoreFileName)); !made)
        return ctx.fail(made.error().message);
    if (!QDir(ctx.scratch).mkpath(u"font"_s) || !benchFont().save(QDir(ctx.scratch).filePath(u"font/font.bmp"_s)))
        return ctx.fail(u"cannot write the font image"_s);
    // A field block, so the key down draws as well as the text change; the
    // arena row lets start-up build the tree.
    {
        Database db;
        if (!openStore(db, QDir(ctx.scratch).filePath(StoreFileName))
            || !db.execute(u"INSERT INTO battling_arena (file_name, dialogue_id) VALUES ('a.txt', 1)"_s)
            || !db.execute(u"INSERT INTO field VALUES ('town 01.txt', 3, '', 56, 4, '', 0, 0, '', 0, 0)"_s))
            return ctx.fail(u"cannot write the block"_s);
    }

    auto &state = ctx.emplace<KeystrokeState>();
    state.window = std::make_unique<MainWindow>(ctx.scratch);
    if (!state.window->load())
        return ctx.fail(u"the main window did not load"_s);
    auto *tree = state.window->findChild<QTreeView *>(u"Scripts"_s);
    if (!ScriptTree::selectKey(*tree, u"field:town 01.txt;3"_s))
        return ctx.fail(u"the block is not in the tree"_s);
    state.window->findChild<BlockEditController *>()->openBlock(tree->currentIndex());
    auto *editor = state.window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    editor->setEnabled(true);
    editor->setPlainTextCrLf(tenPageBlock());
    editor->setCaretPosition(int(editor->plainTextCrLf().size()));
    state.window->show();
    if (!QTest::qWaitForWindowExposed(state.window.get()))
        return ctx.fail(u"the main window was not shown"_s);
    editor->setFocus();
    // The layout and paint the shown window still has queued (its panels
    // laid out again) are no part of the key: a few turns of the loop run
    // them, too few for the timers (the underlines' pause) to fire.
    for (int turn = 0; turn < 6; ++turn)
        QCoreApplication::processEvents();
}

void keystroke(BenchContext &ctx)
{
    auto &state = ctx.state<KeystrokeState>();
    auto *preview = state.window->findChild<PreviewController *>();
    auto *editor = state.window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    const double cpuStart = processorMs();
    const int before = preview->renderCount();

    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QCoreApplication::sendEvent(editor, &press);
    QCoreApplication::sendEvent(editor, &release);
    while (preview->renderCount() == before)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents(); // the repaint of picPreview
    ctx.record(u"renders per key"_s, preview->renderCount() - before);
    ctx.record(u"cpu_ms"_s, processorMs() - cpuStart);
}

} // namespace

TALLOWPEN_BENCH("preview full redraw", setUpRedraw, redraw);
TALLOWPEN_BENCH("preview keystroke", setUpKeystroke, keystroke);
