#include "memory/wordstats.h"

#include "memory/blocktext.h"
#include "keeping/projectstore.h"
#include "store/layout.h"
#include "store/translationstatus.h"

#include <QHash>

using namespace Qt::StringLiterals;

void ScriptFigures::add(const ScriptFigures &other)
{
    blocks += other.blocks;
    translated += other.translated;
    revised += other.revised;
    words += other.words;
    wordsTranslated += other.wordsTranslated;
    characters += other.characters;
    charactersTranslated += other.charactersTranslated;
}

Result<ProjectFigures> projectFigures(ProjectStore &store, const QString &folder, const QString &script)
{
    ProjectFigures figures;
    for (const QString &table : ScriptTables::all) {
        if (!folder.isEmpty() && table != folder)
            continue;
        Result<std::vector<FigureRow>> rows = store.figureRows(table, script);
        if (!rows)
            return rows.error();
        ScriptFigures folderTotal;
        folderTotal.table = table;
        QHash<QString, size_t> scriptAt;
        const size_t first = figures.scripts.size();
        for (const FigureRow &row : *rows) {
            const QString &file = row.fileName;
            auto at = scriptAt.constFind(file);
            if (at == scriptAt.constEnd()) {
                at = scriptAt.insert(file, figures.scripts.size());
                figures.scripts.push_back({table, file});
            }
            ScriptFigures block;
            const TextFigures text = textFigures(row.original);
            const bool translated = row.translated;
            block.blocks = 1;
            block.words = text.words;
            block.characters = text.characters;
            if (translated) {
                block.translated = 1;
                block.revised = row.revised ? 1 : 0;
                block.wordsTranslated = text.words;
                block.charactersTranslated = text.characters;
            }
            figures.scripts[*at].add(block);
        }
        for (size_t i = first; i < figures.scripts.size(); ++i)
            folderTotal.add(figures.scripts[i]);
        figures.total.add(folderTotal);
        figures.folders.push_back(folderTotal);
    }
    return figures;
}

QString figuresSummary(const ScriptFigures &f)
{
    const auto share = [](qint64 part, qint64 whole) {
        return whole > 0 ? u" (%1%)"_s.arg(percentOf(part, whole)) : QString();
    };
    return u"%1 blocks, %2 translated%3, %4 revised%5; %6 words, %7 translated%8; %9 characters, %10 translated%11"_s
        .arg(f.blocks)
        .arg(f.translated)
        .arg(share(f.translated, f.blocks))
        .arg(f.revised)
        .arg(share(f.revised, f.blocks))
        .arg(f.words)
        .arg(f.wordsTranslated)
        .arg(share(f.wordsTranslated, f.words))
        .arg(f.characters)
        .arg(f.charactersTranslated)
        .arg(share(f.charactersTranslated, f.characters));
}
