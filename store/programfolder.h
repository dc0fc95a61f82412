#pragma once

#include <QString>

// The folder that holds tallowpen.db, font/font.bmp and Translated/: the
// --home option when given, else $TALLOWPEN_HOME, else the executable's folder.
QString resolveProgramFolder(const QString &homeOption);

// A path under the program folder, from parts written with either separator
// ("font\\font.bmp" or "font/font.bmp").
QString programPath(const QString &programFolder, const QString &relative);
