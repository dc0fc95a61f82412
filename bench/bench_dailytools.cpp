// The translator's daily tools over the whole corpus: the update of the
// originals with 5 % of the blocks changed, listing a common word's matches
// for a replace, the tree's filter, spelling while typing in a 2,000
// character block, and the command line's spell on 20,000 misspelt words.
#include "app/navigationcontroller.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "scripts/originalupdate.h"
#include "search/replace.h"
#include "spell/speller.h"
#include "spell/widgets/spellunderline.h"
#include "store/widgets/blockfilter.h"
#include "store/layout.h"
#include "store/widgets/scripttree.h"

#include <QComboBox>
#include <QSet>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

struct UpdateState
{
    Database db;
    QString folder;
};

// The corpus copied with every twentieth block's text changed by a word.
bool copyChanged(const QString &from, const QString &to)
{
    QDirIterator files(from, {u"*.txt"_s}, QDir::Files, QDirIterator::Subdirectories);
    int block = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        QByteArray out;
        for (const QByteArray &line : in.readAll().split('\n')) {
            QByteArray changed = line;
            if (line.contains("<End of Block>") && ++block % 20 == 0)
                changed.replace("<End of Block>", " again<End of Block>");
            out += changed + '\n';
        }
        out.chop(1);
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        QDir().mkpath(QFileInfo(target).path());
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size())
            return false;
    }
    return true;
}

void setupUpdate(BenchContext &ctx)
{
    auto &state = ctx.emplace<UpdateState>();
    if (!importCorpus(ctx, QDir(ctx.scratch).filePath(StoreFileName), state.db))
        return;
    state.folder = QDir(ctx.scratch).filePath(u"new"_s);
    if (!copyChanged(ctx.corpus, state.folder))
        ctx.fail(u"the corpus could not be copied"_s);
}

void update(BenchContext &ctx)
{
    auto &state = ctx.state<UpdateState>();
    ProgressPacer pacer(nullptr);
    const Result<OriginalUpdate::Outcome> result = OriginalUpdate::updateOriginals(state.db, state.folder, pacer, false);
    if (!result)
        return ctx.fail(result.error().message);
    ctx.record(u"changed"_s, result->changed);
    ctx.record(u"unchanged"_s, result->unchanged);
}

void setupStore(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    auto &db = ctx.emplace<Database>();
    if (const Result<Done> opened = openStore(db, store); !opened)
        ctx.fail(opened.error().message);
}

void listMatches(BenchContext &ctx)
{
    ReplaceOptions options;
    options.find = u"sword"_s;
    options.replacement = u"espada"_s;
    options.wholeWord = true;
    const Result<MatchList> list = findMatches(ctx.state<Database>(), options);
    if (!list || list->count() == 0)
        return ctx.fail(list ? u"nothing found"_s : list.error().message);
    ctx.record(u"matches"_s, list->count());
}

struct FilterState
{
    Database db;
    QTreeView view;
    QComboBox box;
    QLabel status;
    QWidget window;
    std::unique_ptr<NavigationController> navigation;
};

void setupFilter(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    auto &state = ctx.emplace<FilterState>();
    if (const Result<Done> opened = openStore(state.db, store); !opened)
        return ctx.fail(opened.error().message);
    ScriptTree::installScriptTree(state.view);
    if (const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(state.view, state.db); report.failure)
        return ctx.fail(report.failure->message);
    state.view.resize(300, 700);
    state.view.show();
    state.navigation = std::make_unique<NavigationController>(
        NavigationController::Controls{&state.view, &state.box, &state.status},
        nullptr, nullptr);
}

void filter(BenchContext &ctx)
{
    auto &state = ctx.state<FilterState>();
    state.box.setCurrentIndex(int(BlockState::Untranslated)); // applies the filter
    state.view.viewport()->repaint();
    state.box.setCurrentIndex(int(BlockState::All));
    state.view.viewport()->repaint();
}

struct TypingState
{
    QTemporaryDir home;
    QTextDocument document;
    std::unique_ptr<SpellUnderline> underline;
};

void setupTyping(BenchContext &ctx)
{
    auto &state = ctx.emplace<TypingState>();
    SpellerCache cache(state.home.path());
    const Result<std::shared_ptr<Speller>> found = cache.speller(1034);
    if (!found)
        return ctx.fail(found.error().message);
    const std::shared_ptr<Speller> &speller = *found;
    QString text;
    const QString line = u"<Ovessin>¿Has visto la llave del portón, señor? Kid`s espdas\n"_s;
    while (text.size() < 2000)
        text += line;
    text.truncate(2000);
    state.document.setPlainText(text);
    state.underline = std::make_unique<SpellUnderline>(&state.document);
    state.underline->setSpeller(speller);
    QCoreApplication::processEvents();
}

// 200 keys typed in the middle of the block, each a change Qt marks again.
void typing(BenchContext &ctx)
{
    auto &state = ctx.state<TypingState>();
    QTextCursor cursor(&state.document);
    cursor.setPosition(1000);
    const double start = processorMs();
    for (int i = 0; i < 200; ++i)
        cursor.insertText(i % 7 == 6 ? u" "_s : u"a"_s);
    ctx.record(u"cpu_ms_per_key"_s, (processorMs() - start) / 200);
}

// The command line's spell: every misspelt occurrence with its suggestions.
void spellManyErrors(BenchContext &ctx)
{
    auto &state = ctx.state<TypingState>();
    // The corpus's English read as Spanish, cut after its 20,000th misspelt word.
    QString text;
    QDirIterator files(ctx.corpus, {u"*.txt"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext() && text.size() < 400000) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromLatin1(file.readAll());
    }
    const double cpuStart = processorMs();
    Speller *speller = state.underline->speller();
    QList<Misspelling> errors = speller->misspellings(text);
    if (errors.size() < 20000)
        return ctx.fail(u"the corpus has too few misspelt words"_s);
    errors.resize(20000);
    qsizetype offered = 0;
    for (const Misspelling &m : errors)
        offered += speller->suggestions(m.word, 5).size();
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart));
    ctx.record(u"misspelt"_s, errors.size());
    QSet<QString> distinct;
    for (const Misspelling &m : errors)
        distinct.insert(m.word);
    ctx.record(u"distinct"_s, distinct.size());
    ctx.record(u"suggestions"_s, offered);
}

} // namespace

TALLOWPEN_BENCH("update originals, 5 % changed", setupUpdate, update);
TALLOWPEN_BENCH("replace: list a common word", setupStore, listMatches);
TALLOWPEN_BENCH("tree filter untranslated and back", setupFilter, filter);
TALLOWPEN_BENCH("spelling while typing, 2000 characters", setupTyping, typing);
TALLOWPEN_BENCH("spell 20000 misspelt words", setupTyping, spellManyErrors);
