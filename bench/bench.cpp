#include "bench/bench.h"
#include "store/layout.h"

#include <QDir>

#include <ctime>

namespace {

std::vector<BenchCase> &registry()
{
    static std::vector<BenchCase> cases; // built during static initialisation
    return cases;
}

} // namespace

bool registerBench(BenchCase benchCase)
{
    registry().push_back(std::move(benchCase));
    return true;
}

const std::vector<BenchCase> &registeredBenches()
{
    return registry();
}

std::vector<CorpusFolder> corpusFiles(const QString &corpus)
{
    std::vector<CorpusFolder> folders;
    for (const QString &table : ScriptTables::all) {
        const QDir dir(QDir(corpus).filePath(table));
        CorpusFolder folder{table, {}};
        for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
            folder.paths << dir.filePath(name);
        folders.push_back(std::move(folder));
    }
    return folders;
}

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
