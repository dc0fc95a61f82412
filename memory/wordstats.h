#pragma once

#include "store/result.h"

#include <QString>

#include <vector>

class ProjectStore;

// Progress in words: how much of each script, folder and the whole project
// is translated and revised, counted in blocks and in the words and
// characters of the originals (memory/blocktext.h says what counts).
struct ScriptFigures
{
    QString table;
    QString fileName; // empty for a folder's or the project's total
    qint64 blocks = 0;
    qint64 translated = 0;
    qint64 revised = 0; // translated and revised, as the tree's icon shows it
    qint64 words = 0;
    qint64 wordsTranslated = 0;
    qint64 characters = 0;
    qint64 charactersTranslated = 0;

    void add(const ScriptFigures &other);
};

struct ProjectFigures
{
    std::vector<ScriptFigures> scripts; // folder by folder, each in the order the store returns its rows
    std::vector<ScriptFigures> folders; // one per folder counted
    ScriptFigures total;
};

// All three folders, or only `folder` when it is given (a table name), and
// in it only `script` when that is given.
Result<ProjectFigures> projectFigures(ProjectStore &store, const QString &folder = QString(),
                                     const QString &script = QString());

// "7 blocks, 3 translated (43%), 1 revised (14%); 11 words, 6 translated
// (55%); 49 characters, 27 translated (55%)": the figures on one line.
QString figuresSummary(const ScriptFigures &figures);
