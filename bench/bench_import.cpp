// The import of the original scripts into a fresh store, and the same
// INSERT statements run by the sqlite3 shell in one transaction as the
// yardstick of what the engine itself needs.
#include "bench/bench.h"
#include "scripts/originalimport.h"
#include "store/database.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// The window breathes through the event loop; so does the benchmark.
class EventLoopProgress : public ImportProgress
{
public:
    void breathe() override
    {
        ++breaths;
        QCoreApplication::processEvents();
    }
    int breaths = 0;
};

struct ImportState
{
    Database db;
    QString statements;   // file of the same INSERTs for the shell
    double shellMs = 0;   // the shell on them, in this run's setup
    double shellCpuMs = 0; // its processor time
};

// Processor time of the children that have ended, in milliseconds.
double childrenProcessorMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

bool makeStore(BenchContext &ctx, const QString &path)
{
    if (const Result<Done> made = createStore(path); !made) {
        ctx.fail(made.error().message);
        return false;
    }
    return true;
}

// Every INSERT of the corpus, as the import builds them, inside BEGIN/COMMIT.
bool writeStatements(BenchContext &ctx, const QString &path)
{
    QString sql = u"BEGIN;\n"_s;
    for (const CorpusFolder &folder : corpusFiles(ctx.corpus)) {
        ReaderSizes sizes;
        for (const QString &file : folder.paths) {
            const QString name = QFileInfo(file).fileName();
            ReadFailure failure;
            const bool ok = readScriptFile(file, sizes, [&](const ScriptBlock &block) {
                sql += OriginalImport::insertStatement(folder.table, name, block) + u'\n';
                return true;
            }, &failure);
            if (!ok) {
                ctx.fail(failure.message);
                return false;
            }
        }
    }
    sql += u"COMMIT;\n"_s;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(sql.toUtf8()) < 0 || !out.commit()) {
        ctx.fail(u"cannot write %1"_s.arg(path));
        return false;
    }
    return true;
}

double runShell(BenchContext &ctx, const QString &store, const QString &statements, double *cpuMs = nullptr)
{
    const double cpuStart = childrenProcessorMs();
    QProcess shell;
    shell.setStandardInputFile(statements);
    QElapsedTimer timer;
    timer.start();
    // The store's own settings (its journal is WAL already): left at FULL,
    // the shell would wait for one more flush than the import does.
    shell.start(u"sqlite3"_s, {u"-bail"_s, u"-cmd"_s, u"PRAGMA synchronous=NORMAL;"_s, store});
    if (!shell.waitForFinished(120000) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        ctx.fail(u"the sqlite3 shell failed (Debian package sqlite3): "_s
                 + QString::fromLocal8Bit(shell.readAllStandardError()) + shell.errorString());
        return -1;
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (cpuMs)
        *cpuMs = childrenProcessorMs() - cpuStart;
    return ms;
}

void setupImport(BenchContext &ctx)
{
    auto &state = ctx.emplace<ImportState>();
    state.statements = ctx.scratch + u"/inserts.sql"_s;
    const QString shellStore = ctx.scratch + u"/shell.db"_s;
    if (!writeStatements(ctx, state.statements) || !makeStore(ctx, shellStore))
        return;
    state.shellMs = runShell(ctx, shellStore, state.statements, &state.shellCpuMs);
    const QString store = ctx.scratch + u"/tallowpen.db"_s;
    if (ctx.failed() || !makeStore(ctx, store))
        return;
    if (const Result<Done> opened = openStore(state.db, store); !opened)
        ctx.fail(opened.error().message);
}

void import(BenchContext &ctx)
{
    auto &state = ctx.state<ImportState>();
    EventLoopProgress progress;
    ProgressPacer pacer(&progress);
    const double cpuStart = processorMs();
    QElapsedTimer timer;
    timer.start();
    const OriginalImport::Result result = OriginalImport::Importer(state.db, ctx.corpus, pacer).run();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double cpuMs = processorMs() - cpuStart;
    if (!result)
        return ctx.fail(result.error().message);
    ctx.record(u"blocks"_s, result->blocks);
    ctx.record(u"files"_s, result->files);
    ctx.record(u"breaths"_s, pacer.breaths());
    ctx.record(u"sqlite3 shell ms"_s, QString::number(state.shellMs, 'f', 1));
    ctx.record(u"ratio to sqlite3 shell"_s, QString::number(ms / state.shellMs, 'f', 2));
    // Processor time says less about the neighbours on a shared machine.
    ctx.record(u"cpu_ms"_s, QString::number(cpuMs, 'f', 1));
    ctx.record(u"sqlite3 shell cpu_ms"_s, QString::number(state.shellCpuMs, 'f', 1));
    ctx.record(u"processor ratio to sqlite3 shell"_s, QString::number(cpuMs / state.shellCpuMs, 'f', 2));
}

void setupShell(BenchContext &ctx)
{
    auto &state = ctx.emplace<ImportState>();
    state.statements = ctx.scratch + u"/inserts.sql"_s;
    if (writeStatements(ctx, state.statements))
        makeStore(ctx, ctx.scratch + u"/shell.db"_s);
}

void shell(BenchContext &ctx)
{
    runShell(ctx, ctx.scratch + u"/shell.db"_s, ctx.state<ImportState>().statements);
}

// Ten thousand files of one block each: the many file and folder texts must
// not make the window breathe more often than once per pacing interval.
constexpr int SmallFiles = 10000;

void setupSmallFiles(BenchContext &ctx)
{
    const QByteArray block = "<TextBlock 1 w:24 h:2>\r\nLine one.\r\nLine two.\r\n<End of Block>\r\n";
    if (!QDir(ctx.scratch).mkpath(u"scripts/battle_script"_s) || !QDir(ctx.scratch).mkpath(u"scripts/field"_s))
        return ctx.fail(u"cannot make the script folders"_s);
    for (int i = 0; i < SmallFiles; ++i) {
        QFile file(ctx.scratch + u"/scripts/field/%1.txt"_s.arg(i, 5, 10, QChar(u'0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size())
            return ctx.fail(file.errorString());
    }
    auto &state = ctx.emplace<ImportState>();
    if (makeStore(ctx, ctx.scratch + u"/tallowpen.db"_s)) {
        if (const Result<Done> opened = openStore(state.db, ctx.scratch + u"/tallowpen.db"_s); !opened)
            ctx.fail(opened.error().message);
    }
}

void importSmallFiles(BenchContext &ctx)
{
    EventLoopProgress progress;
    ProgressPacer pacer(&progress);
    QElapsedTimer timer;
    timer.start();
    const OriginalImport::Result result =
        OriginalImport::Importer(ctx.state<ImportState>().db, ctx.scratch + u"/scripts"_s, pacer).run();
    const qint64 ms = timer.elapsed();
    if (!result || result->files != SmallFiles)
        return ctx.fail(result ? OriginalImport::AllImported : result.error().message);
    ctx.record(u"breaths"_s, progress.breaths);
    if (progress.breaths < 1 || progress.breaths > ms / 30 + 1)
        ctx.fail(u"%1 breaths in %2 ms: the pacing allows one per 30 ms"_s.arg(progress.breaths).arg(ms));
}

} // namespace

TALLOWPEN_BENCH("import originals", setupImport, import);
TALLOWPEN_BENCH("import originals: ten thousand small files", setupSmallFiles, importSmallFiles);
TALLOWPEN_BENCH("import originals: sqlite3 shell", setupShell, shell);
