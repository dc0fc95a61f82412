#pragma once

#include <QString>
#include <QStringList>

// Golden files hold one item a line: a text with CR, LF, backslash and other
// control characters written as escapes, so that every line end shows.
QString escapedLine(const QString &text);
// The lines of a UTF-8 file, without empty ones; "<missing>" when it cannot be read.
QStringList goldenLines(const QString &path);
