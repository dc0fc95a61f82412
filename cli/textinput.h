#pragma once

#include "cli/command.h"

// --text TEXT or --text-file PATH: the text an editor would hold. A file is
// read as UTF-8 and its line ends become CR LF, as the editor keeps them, so
// positions count CR LF as two characters.
void addEditorTextOptions(QCommandLineParser &parser);
// Exactly one of the two must be given; stops when not or when the file
// cannot be read.
OrStop<QString> editorText(const QCommandLineParser &parser, CliContext &context);
// CR LF for every line end: CR LF, a lone CR or a lone LF.
QString withCrLf(const QString &text);
// A UTF-8 file as the editor's text; stops, naming the failing line, when it
// cannot be read or is no UTF-8.
OrStop<QString> readEditorTextFile(CliContext &context, const QString &path);
