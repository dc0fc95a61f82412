// The checks: the whole corpus with 5,000 word links, the open block
// re-checked after one keystroke (alone, and in the running window until the
// preview is painted), and the checks window filled with every finding.
#include "bench/bench.h"
#include "bench/importedstore.h"

#include "app/blockeditcontroller.h"
#include "app/checkcontroller.h"
#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "check/blockcheck.h"
#include "check/widgets/checkswindow.h"
#include "editor/widgets/translatededit.h"
#include "store/widgets/scripttree.h"
#include "check/projectcheck.h"
#include "project/sqlitestore.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int GlossarySize = 5000;

// The corpus imported, 60 % of it translated with words swapped (so that
// translations differ from originals), 5,000 links (corpus words among
// pseudo-words, one in twelve of two words or hyphenated) and a font image. Made once per corpus and run of the runner; the cases only
// read it.
QString checkedHome(BenchContext &ctx)
{
    static QHash<QString, std::shared_ptr<QTemporaryDir>> homes;
    if (auto it = homes.constFind(ctx.corpus); it != homes.constEnd())
        return (*it)->path();

    auto dir = std::make_shared<QTemporaryDir>();
    Database db;
    if (!importCorpus(ctx, dir->filePath(StoreFileName), db))
        return {};
    if (const Result<Done> begun = db.begin(); !begun) {
        ctx.fail(begun.error().message);
        return {};
    }
    for (const QString &table : ScriptTables::all) {
        const QString swap = u"replace(replace(replace(replace(text_data, 'the', 'el'), 'key', 'llave'), "
                             "'gate', 'porton'), 'you', 'usted')"_s;
        if (const Result<QVariant> ran =
                db.execute(u"UPDATE "_s + table + u" SET translated = 1, text_data_t = "_s + swap + u" WHERE rowid % 5 < 3;"_s);
            !ran) {
            ctx.fail(ran.error().message);
            return {};
        }
    }
    // As the links bench makes them, with the corpus's own words among them.
    QRandomGenerator random(7);
    QSet<QString> words{u"sword"_s, u"gold"_s, u"the tower"_s, u"inn"_s, u"road"_s, u"friend"_s, u"north"_s};
    while (words.size() < GlossarySize) {
        QString word = pseudoWord(random);
        const int shape = random.bounded(24);
        if (shape == 0)
            word += u' ' + pseudoWord(random);
        else if (shape == 1)
            word += u'-' + pseudoWord(random);
        words.insert(word);
    }
    for (const QString &word : std::as_const(words)) {
        if (const Result<QVariant> ran =
                db.execute(u"INSERT INTO suggestion VALUES ('%1', 'espada', 'oro', '', '', '', '')"_s.arg(word));
            !ran) {
            ctx.fail(ran.error().message);
            return {};
        }
    }
    if (const Result<Done> committed = db.commit(); !committed) {
        ctx.fail(committed.error().message);
        return {};
    }
    QImage font(2048, 11, QImage::Format_RGB32);
    font.fill(Qt::black);
    for (int code = 33; code < 256; ++code)
        font.setPixel(code * 8 + 3, 5, qRgb(255, 255, 255));
    if (!QDir(dir->path()).mkpath(u"font"_s) || !font.save(dir->filePath(u"font/font.bmp"_s))) {
        ctx.fail(u"cannot write the font image"_s);
        return {};
    }
    homes.insert(ctx.corpus, dir);
    return dir->path();
}

// The project as the checks read it; false after ctx.fail().
bool readProject(BenchContext &ctx, const QString &home, CheckedProject &project)
{
    Database db;
    if (const Result<Done> opened = openStore(db, QDir(home).filePath(StoreFileName)); !opened) {
        ctx.fail(opened.error().message);
        return false;
    }
    SqliteStore store(db);
    Result<CheckedProject> loaded = loadProject(store, home);
    if (!loaded) {
        ctx.fail(loaded.error().message);
        return false;
    }
    project = std::move(*loaded);
    return true;
}

void setUpCorpus(BenchContext &ctx)
{
    const QString home = checkedHome(ctx);
    if (!home.isEmpty())
        ctx.emplace<QString>(home);
}

// What `tallowpen-cli check` does before it prints.
void checkCorpus(BenchContext &ctx)
{
    const QString &home = ctx.state<QString>();
    const double cpuStart = processorMs();
    CheckedProject project;
    QElapsedTimer reading;
    reading.start();
    if (!readProject(ctx, home, project))
        return;
    ctx.record(u"reading ms"_s, reading.elapsed());
    const ProjectCheck check = checkProject(project);
    ctx.record(u"blocks"_s, check.checked);
    ctx.record(u"errors"_s, check.errors);
    ctx.record(u"warnings"_s, check.warnings);
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart)); // all threads
}

struct KeystrokeCheck
{
    CheckedProject project;
    CheckedBlock block;
};

void setUpKeystroke(BenchContext &ctx)
{
    const QString home = checkedHome(ctx);
    if (home.isEmpty())
        return;
    auto &state = ctx.emplace<KeystrokeCheck>();
    if (!readProject(ctx, home, state.project))
        return;
    state.block = {u"field"_s, u"fld_town_000.txt"_s, 1, keystrokeBlock().replace(u"espada"_s, u"sword"_s),
                   keystrokeBlock(), true, false, u"56"_s, u"4"_s};
}

void checkKeystroke(BenchContext &ctx)
{
    auto &state = ctx.state<KeystrokeCheck>();
    state.block.translation.insert(100, u'a');
    const QList<Finding> findings = checkBlock(state.block, state.project.context);
    ctx.record(u"characters"_s, state.block.translation.size());
    ctx.record(u"findings"_s, findings.size());
}

struct WindowState
{
    std::unique_ptr<MainWindow> window;
    CheckController *checks = nullptr;
    PreviewController *preview = nullptr;
    TranslatedEdit *editor = nullptr;
    CheckedProject project;
    std::vector<FindingRow> rows;
};

// The running main window on the checked corpus, the long block open in a
// field block, the project read (as the checks window reads it).
void setUpWindow(BenchContext &ctx)
{
    const QString home = checkedHome(ctx);
    if (home.isEmpty())
        return;
    auto &state = ctx.emplace<WindowState>();
    state.window = std::make_unique<MainWindow>(home);
    if (!state.window->load())
        return ctx.fail(u"the main window did not load"_s);
    state.window->findChild<QTimer *>(u"saveTime"_s)->stop();
    state.checks = state.window->findChild<CheckController *>();
    state.preview = state.window->findChild<PreviewController *>();
    state.editor = state.window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    auto *tree = state.window->findChild<QTreeView *>(u"Scripts"_s);
    if (!state.checks || !state.preview || !state.editor || !tree)
        return ctx.fail(u"no check controller"_s);
    QSignalSpy read(state.checks, &CheckController::projectChecked);
    if (!ScriptTree::selectKey(*tree, u"field:fld_harbour_212.txt;1"_s))
        return ctx.fail(u"no such block in the corpus"_s);
    state.window->findChild<BlockEditController *>()->openBlock(tree->currentIndex());
    if (!read.wait(30000))
        return ctx.fail(u"the project did not load"_s);
    state.editor->setPlainTextCrLf(keystrokeBlock());
    // Marked as a block's load marks them: else the marks of the block loaded
    // above stay behind emptied, for the measured key to clear.
    state.window->findChild<LinksController *>()->highlightLinks();
    state.window->show();
    if (!QTest::qWaitForWindowExposed(state.window.get()))
        return ctx.fail(u"the main window was not shown"_s);
    // Once shown, as a typist's caret is in view: placed before, the window's
    // layout could leave its line scrolled out, and the key would scroll too.
    state.editor->setCaretPosition(100);
    state.editor->setFocus();
    // The layout and paint the shown window still has queued (its panels
    // laid out again) are no part of the key: a few turns of the loop run
    // them, too few for the timers (the underlines' pause) to fire.
    for (int turn = 0; turn < 6; ++turn)
        QCoreApplication::processEvents();
}

// The same after the typist paused: the checks' underlines are shown.
void setUpPausedWindow(BenchContext &ctx)
{
    setUpWindow(ctx);
    QTest::qWait(300);
}

void keystrokeWithChecks(BenchContext &ctx);

// After the pause one key, untimed, then the timed one: the same underlines,
// but what the first key ran is still in the processor's caches. Beside the
// case above it tells the pause's own cost on a loaded machine from the code's.
void setUpKeyAfterPause(BenchContext &ctx)
{
    setUpPausedWindow(ctx);
    if (ctx.failed())
        return;
    keystrokeWithChecks(ctx);
    ctx.clearFigures();
}

// One key in the translated editor until the preview is painted and the
// block's checks are shown.
void keystrokeWithChecks(BenchContext &ctx)
{
    auto &state = ctx.state<WindowState>();
    const double cpuStart = processorMs();
    const int before = state.preview->renderCount();
    QSignalSpy checked(state.checks, &CheckController::openBlockChecked);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QCoreApplication::sendEvent(state.editor, &press);
    QCoreApplication::sendEvent(state.editor, &release);
    while (state.preview->renderCount() == before || checked.isEmpty())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents(); // the repaint of picPreview
    ctx.record(u"findings"_s, state.checks->findings().size());
    ctx.record(u"cpu_ms"_s, processorMs() - cpuStart);
}

void setUpChecksWindow(BenchContext &ctx)
{
    const QString home = checkedHome(ctx);
    if (home.isEmpty())
        return;
    auto &state = ctx.emplace<WindowState>();
    if (!readProject(ctx, home, state.project))
        return;
    for (const BlockFindings &block : checkProject(state.project).blocks) {
        for (const Finding &f : block.findings)
            state.rows.push_back({block.block->table, block.block->fileName, block.block->number, f});
    }
}

// The checks window given every finding of the corpus, until it is painted.
void fillChecksWindow(BenchContext &ctx)
{
    auto &state = ctx.state<WindowState>();
    ChecksWindow window;
    window.resize(900, 480);
    const size_t count = state.rows.size();
    window.setFindings(std::move(state.rows));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return ctx.fail(u"the checks window was not shown"_s);
    QCoreApplication::processEvents();
    ctx.record(u"findings"_s, qint64(count));
}

} // namespace

TALLOWPEN_BENCH("check: whole corpus", setUpCorpus, checkCorpus);
TALLOWPEN_BENCH("check: one keystroke", setUpKeystroke, checkKeystroke);
TALLOWPEN_BENCH("check: keystroke to preview and checks", setUpWindow, keystrokeWithChecks);
TALLOWPEN_BENCH("check: keystroke after a pause, underlines shown", setUpPausedWindow, keystrokeWithChecks);
TALLOWPEN_BENCH("check: keystroke after a pause and a key", setUpKeyAfterPause, keystrokeWithChecks);
TALLOWPEN_BENCH("check: checks window filled", setUpChecksWindow, fillChecksWindow);
