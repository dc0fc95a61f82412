// tallowpen-bench: runs the registered benchmark cases and prints median,
// minimum and maximum wall time per case; --json writes the same figures.
#include "bench/bench.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    QString name;
    std::vector<double> runsMs;
    QVariantMap figures;
    QString failure;
};

// perf's control fifos (`perf record -D -1 --control fifo:CTL,ACK`): the
// profile holds the timed bodies only, not the set-ups around them.
struct PerfControl
{
    int control = -1;
    int ack = -1;

    void send(const char *command) const
    {
        if (control < 0)
            return;
        char reply[8];
        if (write(control, command, std::strlen(command)) < 0 || read(ack, reply, sizeof reply) <= 0)
            std::fprintf(stderr, "perf did not answer on its control fifo\n");
    }
};
PerfControl perf;

// Returns the wall time of the body in ms, or a negative value on failure.
double runOnce(const BenchCase &c, BenchContext &ctx)
{
    QTemporaryDir scratch;
    ctx.scratch = scratch.path();
    ctx.resetState();
    if (c.setup)
        c.setup(ctx);
    if (ctx.failed())
        return -1;
    perf.send("enable\n");
    QElapsedTimer timer;
    timer.start();
    c.body(ctx);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    perf.send("disable\n");
    ctx.resetState(); // whatever the case leaves behind goes before its folder does
    return ctx.failed() ? -1 : ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A figure that is a number in every run is given as its median over the
// runs, as the wall time is: one run's processor time or ratio says more
// about the neighbours on a shared machine than about the case.
QVariantMap medianFigures(const std::vector<QVariantMap> &runs)
{
    QVariantMap figures = runs.back();
    for (auto it = figures.begin(); it != figures.end(); ++it) {
        std::vector<double> values;
        for (const QVariantMap &run : runs) {
            bool number = false;
            const double value = run.value(it.key()).toDouble(&number);
            if (!number)
                break;
            values.push_back(value);
        }
        if (values.size() == runs.size() && runs.size() > 1)
            *it = median(values);
    }
    return figures;
}

Outcome runCase(const BenchCase &c, const QString &corpus, int runs, int warmups)
{
    Outcome out{c.name, {}, {}, {}};
    BenchContext ctx;
    ctx.corpus = corpus;
    std::vector<QVariantMap> figures;
    for (int i = 0; i < warmups + runs; ++i) {
        ctx.clearFigures();
        const double ms = runOnce(c, ctx);
        if (ms < 0) {
            out.failure = ctx.failure();
            return out;
        }
        if (i >= warmups) {
            out.runsMs.push_back(ms);
            figures.push_back(ctx.figures());
        }
    }
    out.figures = medianFigures(figures);
    return out;
}

QJsonObject toJson(const Outcome &o)
{
    QJsonObject json{{u"name"_s, o.name}};
    if (!o.failure.isEmpty()) {
        json.insert(u"failure"_s, o.failure);
        return json;
    }
    QJsonArray runs;
    for (double ms : o.runsMs)
        runs.append(ms);
    json.insert(u"median_ms"_s, median(o.runsMs));
    json.insert(u"min_ms"_s, *std::min_element(o.runsMs.begin(), o.runsMs.end()));
    json.insert(u"max_ms"_s, *std::max_element(o.runsMs.begin(), o.runsMs.end()));
    json.insert(u"runs_ms"_s, runs);
    if (!o.figures.isEmpty())
        json.insert(u"figures"_s, QJsonObject::fromVariantMap(o.figures));
    return json;
}

void print(const Outcome &o)
{
    if (!o.failure.isEmpty()) {
        std::printf("%-32s FAILED: %s\n", qPrintable(o.name), qPrintable(o.failure));
        return;
    }
    std::printf("%-32s median %9.2f ms   min %9.2f   max %9.2f   (%zu runs)\n", qPrintable(o.name),
                median(o.runsMs), *std::min_element(o.runsMs.begin(), o.runsMs.end()),
                *std::max_element(o.runsMs.begin(), o.runsMs.end()), o.runsMs.size());
    for (auto it = o.figures.cbegin(); it != o.figures.cend(); ++it)
        std::printf("%-32s   %s: %s\n", "", qPrintable(it.key()), qPrintable(it.value().toString()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tallowpen-bench"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Runs the Tallowpen benchmarks (see bench/bench.h)."_s);
    parser.addHelpOption();
    const QCommandLineOption corpusOption(u"corpus"_s, u"Folder holding the three script folders."_s, u"dir"_s);
    const QCommandLineOption runsOption(u"runs"_s, u"Timed runs per case (default 5)."_s, u"n"_s, u"5"_s);
    const QCommandLineOption warmupOption(u"warmup"_s, u"Untimed runs first (default 1)."_s, u"n"_s, u"1"_s);
    const QCommandLineOption jsonOption(u"json"_s, u"Also write the figures as JSON to this file."_s, u"file"_s);
    const QCommandLineOption onlyOption(u"only"_s, u"Run only the cases whose name contains this text (repeatable)."_s,
                                        u"name"_s);
    const QCommandLineOption listOption(u"list"_s, u"List the cases and exit."_s);
    const QCommandLineOption perfOption(u"perf-control"_s,
                                        u"perf record's control and ack fifos, as CTL,ACK: profile the timed runs only."_s,
                                        u"fifos"_s);
    parser.addOptions({corpusOption, runsOption, warmupOption, jsonOption, onlyOption, listOption, perfOption});
    parser.process(app);

    std::vector<BenchCase> cases = registeredBenches();
    std::sort(cases.begin(), cases.end(), [](const BenchCase &a, const BenchCase &b) { return a.name < b.name; });
    if (parser.isSet(listOption)) {
        for (const BenchCase &c : cases)
            std::printf("%s\n", qPrintable(c.name));
        return 0;
    }
    bool ok = false;
    const int runs = parser.value(runsOption).toInt(&ok);
    const int warmups = parser.value(warmupOption).toInt(&ok) * ok;
    if (runs < 1 || warmups < 0) {
        std::fprintf(stderr, "--runs needs a number of 1 or more\n");
        return 2;
    }
    const QStringList only = parser.values(onlyOption);
    if (parser.isSet(perfOption)) {
        const QStringList fifos = parser.value(perfOption).split(u',');
        perf.control = open(qPrintable(fifos.value(0)), O_WRONLY);
        perf.ack = open(qPrintable(fifos.value(1)), O_RDONLY);
        if (perf.control < 0 || perf.ack < 0) {
            std::fprintf(stderr, "--perf-control needs perf's two fifos, as CTL,ACK\n");
            return 2;
        }
    }

    QJsonArray results;
    bool anyFailed = false;
    for (const BenchCase &c : cases) {
        if (!only.isEmpty() && std::none_of(only.begin(), only.end(), [&c](const QString &n) { return c.name.contains(n); }))
            continue;
        const Outcome outcome = runCase(c, parser.value(corpusOption), runs, warmups);
        anyFailed |= !outcome.failure.isEmpty();
        print(outcome);
        results.append(toJson(outcome));
    }
    if (results.isEmpty())
        std::fprintf(stderr, "no case matched\n");

    if (parser.isSet(jsonOption)) {
        QSaveFile file(parser.value(jsonOption));
        const QJsonObject doc{{u"corpus"_s, parser.value(corpusOption)}, {u"runs"_s, runs}, {u"cases"_s, results}};
        if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(doc).toJson()) < 0 || !file.commit()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
            return 1;
        }
    }
    return anyFailed || results.isEmpty() ? 1 : 0;
}
