#pragma once

#include "store/result.h"

#include <QString>

// Where the program folder came from, for the About window and --help.
enum class ProgramFolderSource { HomeOption, Environment, ExecutableFolder, UserDataFolder };

struct ProgramFolder
{
    QString path;
    ProgramFolderSource source = ProgramFolderSource::ExecutableFolder;
};

// What the choice looks at, gathered once from the running program.
struct ProgramFolderFacts
{
    QString executableFolder;
    bool executableHoldsStore = false;
    bool executableWritable = false;
    // The default font an installed copy carries in its data folder; empty
    // when the program runs from where it was built or unpacked.
    QString installedFont;
    QString userDataFolder;
};

ProgramFolderFacts programFolderFacts();

// The font a new program folder is given: the installed copy's, else the
// one beside the executable where the build put it; empty when neither is there.
QString defaultFontPath(const ProgramFolderFacts &facts);

// The --home option when given, else $TALLOWPEN_HOME, else the executable's
// folder when it holds a store or may be written, else the user's data folder.
ProgramFolder chooseProgramFolder(const QString &homeOption, const QString &environment,
                                  const ProgramFolderFacts &facts);

// The user's data folder on first use: created, and given the default font
// when it has none. Fails when either fails.
Result<Done> prepareUserDataFolder(const QString &folder, const QString &defaultFont);

// The choice for this run, the user's data folder prepared when chosen.
ProgramFolder locateProgramFolder(const QString &homeOption);
QString resolveProgramFolder(const QString &homeOption);

// "Program folder: PATH (why this one)", as About and --help say it.
QString describeProgramFolder(const ProgramFolder &folder);

// A path under the program folder, from parts written with either separator
// ("font\\font.bmp" or "font/font.bmp").
QString programPath(const QString &programFolder, const QString &relative);
