#pragma once

#include "check/checkcontext.h"
#include "check/finding.h"
#include "store/result.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class ProjectStore;

// The checks over a whole project: every block of the store read once, the
// context built from the program folder (font image) and the store (links,
// translations), then any part of it checked.
//
// Thread contract: the caller's thread, with the caller's store;
// checkProject spreads the checking over threads of its own and returns when
// all are done.

struct CheckedProject
{
    std::vector<CheckedBlock> blocks; // table by table in ScriptTables order, rows as the store yields them
    CheckContext context;
};

// Reads the three script tables and the links of whichever store is open,
// and the font image from the program folder (a missing font leaves the
// blank-cell test out). Fails, with a sentence for the user, when the store
// cannot be read.
Result<CheckedProject> loadProject(ProjectStore &store, const QString &programFolder);
// The word links alone, as loadProject reads them, put into `glossary`
// (left as it was on a failure).
Result<Done> loadGlossary(ProjectStore &store, GlossaryLinks &glossary);
// The store's blocks alone, as loadProject reads them, with the changed
// originals' marks the store keeps.
Result<std::vector<CheckedBlock>> readCheckedBlocks(ProjectStore &store);
// The font image of the program folder, read once per project.
QImage programFont(const QString &programFolder);

struct BlockFindings
{
    const CheckedBlock *block = nullptr;
    QList<Finding> findings;
};

struct ProjectCheckOptions
{
    RuleSet rules = RuleSet::all();
    bool errorsOnly = false;
    // Check the window size as if every block had this one ("what breaks if
    // the box is 8 pixels narrower?").
    std::optional<std::pair<QString, QString>> size;
    std::function<bool(const CheckedBlock &)> inScope; // every block when empty
};

struct ProjectCheck
{
    std::vector<BlockFindings> blocks; // only blocks with findings, in project order
    int checked = 0;                   // blocks in scope
    int errors = 0;
    int warnings = 0;
};

ProjectCheck checkProject(const CheckedProject &project, const ProjectCheckOptions &options = {});

// "N errors, M warnings in K blocks", K the blocks checked
QString checkSummary(const ProjectCheck &check);
