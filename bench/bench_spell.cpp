// The spell check's counting of one long block, and the dictionary load that
// the first check of a run pays once.
#include "bench/bench.h"
#include "spell/speller.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A block as a translator writes one: speaker tags, pauses, accents, a few
// typos, a name the dictionary does not know.
QString longBlock()
{
    const QString piece = u"<Ovessin>¿Has visto la llave del portón, señor?<Wait>\r\n"
                          "La dejé allí, junto al camión del ángel.<Delay 3> ¡Qué tarde es!\r\n"
                          "Mañana iré a la torre del norte; espera aquí, amigo, y descansa en la posada.<New>\r\n"
                          "Kid`s dijo que Brassvale no tiene oro ni espdas<Close><End of Block>\r\n"_s;
    QString text;
    while (text.size() < 2000)
        text += piece;
    text.truncate(2000);
    return text;
}

struct SpellState
{
    QTemporaryDir home;
    std::shared_ptr<Speller> speller;
    QString text;
};

void loadDictionary(BenchContext &ctx)
{
    auto &state = ctx.emplace<SpellState>();
    SpellerCache cache(state.home.path());
    const Result<std::shared_ptr<Speller>> speller = cache.speller(1034);
    if (!speller)
        return ctx.fail(speller.error().message);
    state.speller = *speller;
    state.text = longBlock();
}

void countErrors(BenchContext &ctx)
{
    auto &state = ctx.state<SpellState>();
    const qsizetype errors = state.speller->misspellings(state.text).size();
    ctx.record(u"characters"_s, state.text.size());
    ctx.record(u"errors"_s, errors);
}

void makeHome(BenchContext &ctx)
{
    ctx.emplace<QTemporaryDir>();
}

void timeDictionaryLoad(BenchContext &ctx)
{
    SpellerCache cache(ctx.state<QTemporaryDir>().path());
    if (const Result<std::shared_ptr<Speller>> speller = cache.speller(1034); !speller)
        ctx.fail(speller.error().message);
}

} // namespace

TALLOWPEN_BENCH("spell count 2000 characters", loadDictionary, countErrors);
TALLOWPEN_BENCH("spell dictionary load", makeHome, timeDictionaryLoad);
