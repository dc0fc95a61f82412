// Word links with a glossary of 5,000 links and a block of 2,000 characters:
// marking the whole block, marking the caret's line (run on every key), the
// lookup of a mouse move, and opening the links list.
#include "bench/bench.h"
#include "links/highlight.h"
#include "links/linksmodel.h"
#include "links/linkstore.h"
#include "links/widgets/linkslistwindow.h"
#include "links/widgets/linkhighlighter.h"
#include "links/wordfinder.h"
#include "project/sqlitestore.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace {

constexpr int GlossarySize = 5000;
constexpr int BlockSize = 2000;

// One in four capitalised, as names and sentence starts are.
QString glossaryWord(QRandomGenerator &random)
{
    QString word = pseudoWord(random);
    if (random.bounded(4) == 0)
        word[0] = word.at(0).toUpper();
    return word;
}

struct LinksBench
{
    Database db;
    SqliteStore store{db};
    QString storePath;
    QStringList words;
    QString text;
    QPlainTextEdit editor;
    LinkGlossary glossary;
};

// A store whose glossary has 5,000 links, about one in twelve made of two
// words or hyphenated, and a block in which a third of the words are linked.
void setUpLinks(BenchContext &ctx)
{
    auto &bench = ctx.emplace<LinksBench>();
    bench.storePath = QDir(ctx.scratch).filePath(StoreFileName);
    const Result<Done> made = createStore(bench.storePath);
    if (const Result<Done> opened = made ? openStore(bench.db, bench.storePath) : made; !opened)
        return ctx.fail(opened.error().message);

    QRandomGenerator random(7);
    QSet<QString> seen;
    if (const Result<Done> begun = bench.db.begin(); !begun)
        return ctx.fail(begun.error().message);
    while (bench.words.size() < GlossarySize) {
        QString word = glossaryWord(random);
        const int shape = random.bounded(24);
        if (shape == 0)
            word += u' ' + glossaryWord(random);
        else if (shape == 1)
            word += u'-' + glossaryWord(random);
        if (seen.contains(word))
            continue;
        seen.insert(word);
        bench.words << word;
        if (const Result<QVariant> ran = bench.db.execute(
                u"INSERT INTO suggestion VALUES (%1, 's1', 's2', '', '', '', 'comment')"_s.arg(storeLiteral(word)));
            !ran)
            return ctx.fail(ran.error().message);
    }
    if (const Result<Done> committed = bench.db.commit(); !committed)
        return ctx.fail(committed.error().message);

    int lineLength = 0;
    while (bench.text.size() < BlockSize) {
        const QString word = random.bounded(3) == 0 ? bench.words.at(random.bounded(GlossarySize))
                                                    : glossaryWord(random);
        bench.text += word;
        lineLength += int(word.size());
        if (lineLength > 60) {
            bench.text += u".\r\n"_s;
            lineLength = 0;
        } else {
            bench.text += random.bounded(6) == 0 ? u", "_s : u" "_s;
        }
    }
    bench.text.truncate(BlockSize);
    bench.editor.setPlainText(bench.text);
    bench.editor.resize(600, 400);
    bench.editor.show();
    QApplication::processEvents();
    // The glossary is read once when the first block loads; later calls only
    // check that the store is unchanged.
    if (!bench.glossary.refresh(bench.store))
        return ctx.fail(u"cannot read the glossary"_s);
    ctx.record(u"glossary words"_s, bench.glossary.size());
    ctx.record(u"marks in the block"_s, highlightMarks(bench.text, bench.glossary).size());
}

void highlightAll(BenchContext &ctx)
{
    auto &bench = ctx.state<LinksBench>();
    (void)bench.glossary.refresh(bench.store);
    highlightLinks(&bench.editor, bench.glossary);
}

void highlightLine(BenchContext &ctx)
{
    auto &bench = ctx.state<LinksBench>();
    QTextCursor caret(bench.editor.document());
    caret.setPosition(BlockSize / 2);
    bench.editor.setTextCursor(caret);
    (void)bench.glossary.refresh(bench.store);
    highlightLinksInLine(&bench.editor, bench.glossary);
}

void rereadGlossary(BenchContext &ctx)
{
    auto &bench = ctx.state<LinksBench>();
    if (const Result<QVariant> ran = bench.db.execute(u"INSERT INTO suggestion VALUES ('fresh', 'x', '', '', '', '', '')"_s);
        !ran)
        return ctx.fail(ran.error().message);
    (void)bench.glossary.refresh(bench.store);
    highlightLinks(&bench.editor, bench.glossary);
}

void hoverLookup(BenchContext &ctx)
{
    auto &bench = ctx.state<LinksBench>();
    qint16 wordStart = 0;
    QString currentWord;
    const QString word = wordOver(bench.text, BlockSize / 2, wordStart, currentWord);
    const HoverResult result = lookupHover(bench.store, word);
    ctx.record(u"word"_s, word);
    ctx.record(u"tooltip"_s, result.tooltip);
}

void openList(BenchContext &ctx)
{
    auto &bench = ctx.state<LinksBench>();
    LinksListWindow list(bench.store, {});
    list.resize(900, 600);
    list.show();
    QApplication::processEvents();
    ctx.record(u"lines"_s, list.model()->rowCount());
    list.close();
}

} // namespace

TALLOWPEN_BENCH("links: highlightLinks", setUpLinks, highlightAll);
TALLOWPEN_BENCH("links: highlightLinksInLine", setUpLinks, highlightLine);
TALLOWPEN_BENCH("links: reread and mark", setUpLinks, rereadGlossary);
TALLOWPEN_BENCH("links: hover lookup", setUpLinks, hoverLookup);
TALLOWPEN_BENCH("links: open links list", setUpLinks, openList);
