#include "bench/bench.h"
#include "store/layout.h"

#include <QDir>
#include <QRandomGenerator>

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

QString pseudoWord(QRandomGenerator &random)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QString word;
    const int length = random.bounded(3, 10);
    for (int i = 0; i < length; ++i)
        word += letters.at(random.bounded(int(letters.size())));
    return word;
}

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
