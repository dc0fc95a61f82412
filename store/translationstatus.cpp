#include "store/translationstatus.h"

#include "store/layout.h"

#include <QVariant>

#include <array>

using namespace Qt::StringLiterals;

int percentOf(qint64 done, qint64 total)
{
    // Whole-number arithmetic: a half must be a half, not the nearest double
    // of done / total times 100.
    Q_ASSERT(total > 0);
    const qint64 scaled = done * 100;
    qint64 whole = scaled / total;
    const qint64 twiceRest = (scaled % total) * 2;
    if (twiceRest > total || (twiceRest == total && whole % 2 != 0))
        ++whole;
    return int(whole);
}

int TranslationCount::percent() const
{
    return blocks > 0 ? percentOf(translated, blocks) : 0;
}

Result<TranslationCount> translationPercent(Database &db)
{
    TranslationCount count;
    std::array<qint64, 6> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const QString &table = ScriptTables::all[i % 3];
        QString statement = u"SELECT COUNT(*) FROM "_s + table;
        if (i >= 3)
            statement += u" WHERE translated = 1"_s;
        const Result<QVariant> counted = db.execute(statement);
        if (!counted)
            return counted.error();
        values[i] = counted->toLongLong();
    }
    count.blocks = values[0] + values[1] + values[2];
    count.translated = values[3] + values[4] + values[5];
    return count;
}

QString statusLine(int percent)
{
    return u">Translation status: "_s + QString::number(percent) + u"% translated"_s;
}
