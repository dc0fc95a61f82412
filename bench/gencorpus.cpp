// tallowpen-gencorpus: writes a deterministic corpus of script files for the
// benchmarks. The same --seed, --blocks and --files give the same bytes on
// every machine (own generator, no std distributions, whose results differ
// between standard libraries). --translated writes the same files, block for
// block and line for line, with translated-looking text, for the import of
// translations.
#include "scripts/cp1252.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <array>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next() // splitmix64
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

private:
    quint64 m_state;
};

// Word i of one list stands for word i of the other, so both corpora share
// every decision and differ only in the words.
constexpr std::array<std::pair<const char16_t *, const char16_t *>, 40> Words = {{
    {u"the", u"el"},          {u"key", u"llave"},        {u"it's", u"está"},       {u"don't", u"no"},
    {u"gate", u"portón"},     {u"open", u"abierto"},     {u"we're", u"estamos"},   {u"late", u"tarde"},
    {u"I'll", u"iré"},        {u"find", u"buscar"},      {u"you", u"usted"},       {u"tomorrow", u"mañana"},
    {u"sir", u"señor"},       {u"the tower", u"la torre"}, {u"can't", u"no puedo"}, {u"wait", u"espera"},
    {u"here", u"aquí"},       {u"there", u"allí"},       {u"gold", u"oro"},        {u"sword", u"espada"},
    {u"Ovessin's", u"de Ovessin"}, {u"coffee", u"café"}, {u"north", u"norte"},     {u"road", u"camino"},
    {u"what", u"qué"},        {u"why", u"por qué"},      {u"angel", u"ángel"},     {u"fight", u"lucha"},
    {u"they're", u"están"},   {u"again", u"otra vez"},   {u"rest", u"descansa"},   {u"inn", u"posada"},
    {u"that's", u"eso es"},   {u"all", u"todo"},         {u"naïve", u"ingenuo"},   {u"truck", u"camión"},
    {u"you'll", u"verás"},    {u"see", u"ver"},          {u"Brassvale", u"Brassvale"}, {u"friend", u"amigo"},
}};

constexpr std::array<const char16_t *, 13> Speakers = {
    u"<Ovessin>", u"<Tolm>",  u"<Dace>",  u"<Gorvan>",  u"<Halbrect>", u"<Isla>",  u"<Morel>",
    u"<Pellan>",  u"<Siverine>", u"<Tessark>", u"<Varek>", u"<Wendo>", u"<Perso1>",
};

constexpr std::array<const char16_t *, 5> Stops = {u".", u"?", u"!", u"...", u","};

QString sentenceLine(Random &random, bool translated)
{
    QString line;
    const int words = random.between(2, 6);
    for (int w = 0; w < words; ++w) {
        const auto &pair = Words[size_t(random.below(int(Words.size())))];
        QString word = QString::fromUtf16(translated ? pair.second : pair.first);
        if (w == 0)
            word[0] = word[0].toUpper();
        line += (w ? u" "_s : QString()) + word;
    }
    return line + QString::fromUtf16(Stops[size_t(random.below(int(Stops.size())))]);
}

QString block(Random &random, int number, bool translated)
{
    const int width = random.between(16, 32);
    const int height = random.between(1, 4);
    QString text = u"<TextBlock %1 w:%2 h:%3>\r\n"_s.arg(number).arg(width).arg(height);
    if (random.chance(70))
        text += QString::fromUtf16(Speakers[size_t(random.below(int(Speakers.size())))]) + u"\r\n";
    const int pages = random.between(1, 3);
    QString last;
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            text += last + u"\r\n<New>\r\n";
        if (random.chance(10))
            text += u"<Delay 30>\r\n"_s;
        const int lines = random.between(1, height);
        for (int l = 0; l < lines; ++l) {
            if (l > 0)
                text += last + u"\r\n";
            last = sentenceLine(random, translated);
        }
    }
    switch (random.below(4)) {
    case 0:
        return text + last + u"<End of Block>\r\n";
    case 1:
        return text + last + u"\r\n<Close><End of Block>\r\n";
    default:
        return text + last + u"\r\n<Wait><Close><End of Block>\r\n";
    }
}

// Blocks per file: even shares, then blocks moved between random files so
// that files differ in length as the game's do.
std::vector<int> blocksPerFile(Random &random, int blocks, int files)
{
    std::vector<int> counts(size_t(files), blocks / files);
    for (int i = 0; i < blocks % files; ++i)
        ++counts[size_t(i)];
    for (int i = 0; i < files * 2; ++i) {
        const size_t from = size_t(random.below(files)), to = size_t(random.below(files));
        const int moved = random.below(counts[from] / 2 + 1);
        if (from != to && counts[from] - moved >= 1) {
            counts[from] -= moved;
            counts[to] += moved;
        }
    }
    return counts;
}

QString fileName(int table, int index)
{
    static const std::array<const char16_t *, 6> places = {u"town", u"mine", u"harbour", u"keep", u"marsh", u"pass"};
    switch (table) {
    case 0: return u"arena_%1.txt"_s.arg(index, 3, 10, QChar(u'0'));
    case 1: return u"btl_%1.txt"_s.arg(index, 4, 10, QChar(u'0'));
    default: return u"fld_%1_%2.txt"_s.arg(QString::fromUtf16(places[size_t(index % 6)])).arg(index, 3, 10, QChar(u'0'));
    }
}

bool writeFile(const QString &path, const QString &text)
{
    const std::optional<QByteArray> bytes = Cp1252::encode(text);
    QSaveFile file(path);
    if (!bytes || !file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tallowpen-gencorpus"_s);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes battling_arena, battle_script and field script folders for the benchmarks."_s);
    parser.addHelpOption();
    const QCommandLineOption outOption(u"out"_s, u"Folder to write into (created)."_s, u"dir"_s);
    const QCommandLineOption blocksOption(u"blocks"_s, u"Blocks in all (default 32767)."_s, u"n"_s, u"32767"_s);
    const QCommandLineOption filesOption(u"files"_s, u"Files in all (default 600)."_s, u"n"_s, u"600"_s);
    const QCommandLineOption seedOption(u"seed"_s, u"Seed (default 1)."_s, u"n"_s, u"1"_s);
    const QCommandLineOption translatedOption(u"translated"_s, u"Write the translated-looking variant."_s);
    parser.addOptions({outOption, blocksOption, filesOption, seedOption, translatedOption});
    parser.process(app);

    bool blocksOk = false, filesOk = false, seedOk = false;
    const int blocks = parser.value(blocksOption).toInt(&blocksOk);
    int files = parser.value(filesOption).toInt(&filesOk);
    const quint64 seed = parser.value(seedOption).toULongLong(&seedOk);
    if (!parser.isSet(outOption) || !blocksOk || !filesOk || !seedOk || blocks < 1 || files < 1) {
        std::fprintf(stderr, "usage: tallowpen-gencorpus --out DIR [--blocks N] [--files N] [--seed N] [--translated]\n");
        return 2;
    }
    files = std::min(files, blocks);
    const bool translated = parser.isSet(translatedOption);

    Random random(seed);
    const std::vector<int> counts = blocksPerFile(random, blocks, files);
    // A tenth of the scripts are arena fights, a quarter other battles, the rest the field.
    const int arena = std::max(1, files / 10), battle = files / 4;
    const QDir out(parser.value(outOption));
    const std::array<QString, 3> tables = {u"battling_arena"_s, u"battle_script"_s, u"field"_s};
    for (const QString &table : tables) {
        if (!out.mkpath(table)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(out.filePath(table)));
            return 1;
        }
    }
    for (int f = 0; f < files; ++f) {
        const int table = f < arena ? 0 : f < arena + battle ? 1 : 2;
        QString text;
        for (int b = 0; b < counts[size_t(f)]; ++b)
            text += block(random, b, translated);
        if (!writeFile(out.filePath(tables[size_t(table)] + u'/' + fileName(table, f)), text))
            return 1;
    }
    std::printf("%d blocks in %d files written to %s\n", blocks, files, qPrintable(out.path()));
    return 0;
}
