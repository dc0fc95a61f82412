#include "bench/bench.h"
#include "store/layout.h"

#include <QDir>
#include <QRandomGenerator>

#include <ctime>

using namespace Qt::StringLiterals;

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

QString keystrokeBlock()
{
    QString text;
    for (int page = 0; text.size() < 1980; ++page) {
        if (page > 0)
            text += u"<New>\r\n"_s;
        text += u"<Tolm>\r\n"_s;
        for (int line = 0; line < 4; ++line)
            text += u"\u00BFLa espada de %1 est\u00E1 en la torre?\r\n"_s.arg(line).left(28) + u"\r\n"_s;
    }
    return text.left(1986) + u"<End of Block>"_s;
}
