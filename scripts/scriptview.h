#pragma once

#include "store/database.h"

#include <QString>

#include <optional>

class ProjectStore;

// The view of one script as an export with every block would write it.
//
// Thread contract: the caller's thread, with the caller's Database.

// The folder and script a node key names, for the view: the text before the
// first ":" and between it and the first ";" after it. nullopt for the root,
// folders, scripts and a key without ";" (the view then stays empty).
struct ViewedScript
{
    QString folder;
    QString script;
};
std::optional<ViewedScript> viewedScript(const QString &key);

// The script text of every block (translation when translated, else the
// original), with no line end added after the last block's. Fails when the
// store cannot be read.
Result<QString> scriptViewText(Database &db, const ViewedScript &script);
// The same, read through the open store, whichever holds the project.
Result<QString> scriptViewText(ProjectStore &store, const ViewedScript &script);
