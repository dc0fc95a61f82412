#pragma once

// Benchmark cases of tallowpen-bench (bench/benchmain.cpp).
//
// Adding a case: write bench/bench_<name>.cpp (the glob in
// bench/CMakeLists.txt picks it up; add the libraries it needs to
// tallowpen-bench there) and register at namespace scope, one line:
//
//     TALLOWPEN_BENCH("read scripts", setupFunction, bodyFunction);
//
// Both functions are `void (BenchContext &)`; setup may be nullptr. Every run
// gets a fresh empty scratch folder and a fresh state, then setup runs (not
// timed), then body (timed). Setup hands objects to body through the state:
//
//     ctx.emplace<Database>()  in setup,   ctx.state<Database>()  in body.
//
// A case that cannot run calls ctx.fail(u"why"_s) and returns; it is shown
// as failed and left out of the figures. ctx.record(u"blocks"_s, n) adds a
// figure of the case's own to the printout and the JSON: the median over the
// runs when it is a number in each, else the last run's value.
// The runner owns a QApplication on the offscreen platform, so cases may
// build widgets. One warm-up run is not counted (file cache, first paint).

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

class QRandomGenerator;

class BenchContext
{
public:
    QString corpus;  // --corpus: holds battling_arena, battle_script and field
    QString scratch; // empty folder of this run, removed afterwards

    void fail(const QString &why) { m_failure = why; }
    bool failed() const { return !m_failure.isEmpty(); }
    const QString &failure() const { return m_failure; }

    void record(const QString &name, const QVariant &value) { m_figures.insert(name, value); }
    const QVariantMap &figures() const { return m_figures; }
    void clearFigures() { m_figures.clear(); }

    template <class T, class... Args>
    T &emplace(Args &&...args)
    {
        auto object = std::make_shared<T>(std::forward<Args>(args)...);
        m_state = object;
        return *object;
    }
    template <class T>
    T &state()
    {
        return *static_cast<T *>(m_state.get());
    }
    void resetState() { m_state.reset(); }

private:
    QString m_failure;
    QVariantMap m_figures;
    std::shared_ptr<void> m_state;
};

using BenchStep = std::function<void(BenchContext &)>;

struct BenchCase
{
    QString name;
    BenchStep setup;
    BenchStep body;
};

bool registerBench(BenchCase benchCase);
const std::vector<BenchCase> &registeredBenches();

// The *.txt files of the three script folders under `corpus`, folder by
// folder in table order, each list sorted by name as the imports see them.
struct CorpusFolder
{
    QString table;
    QStringList paths;
};
std::vector<CorpusFolder> corpusFiles(const QString &corpus);

// A word of 3 to 9 lower-case letters, as the glossary cases make them by the thousand.
QString pseudoWord(QRandomGenerator &random);

// The keystroke cases' block: 2,000 characters, ten pages at the
// 28-character width, CR LF line breaks.
QString keystrokeBlock();

// Processor time of this process in milliseconds: on a machine shared with
// other work the wall time says more about the neighbours than about a case.
double processorMs();

#define TALLOWPEN_BENCH_JOIN2(a, b) a##b
#define TALLOWPEN_BENCH_JOIN(a, b) TALLOWPEN_BENCH_JOIN2(a, b)
#define TALLOWPEN_BENCH(name, setup, body)                                                              \
    static const bool TALLOWPEN_BENCH_JOIN(tallowpenBenchRegistered_, __LINE__) =                        \
        registerBench(BenchCase{QStringLiteral(name), setup, body})
