#pragma once

#include "cli/command.h"

#include <optional>

class QCommandLineParser;

// --text TEXT or --text-file PATH: the text an editor would hold. A file is
// read as UTF-8 and its line ends become CR LF, as the editor keeps them, so
// positions count CR LF as two characters.
void addEditorTextOptions(QCommandLineParser &parser);
// Exactly one of the two must be given; nullopt (message printed, `status`
// set) when not or when the file cannot be read.
std::optional<QString> editorText(const QCommandLineParser &parser, CliContext &context, int *status);
// CR LF for every line end: CR LF, a lone CR or a lone LF.
QString withCrLf(const QString &text);
// A UTF-8 file as the editor's text; nullopt (the failing line printed) when
// it cannot be read or is no UTF-8.
std::optional<QString> readEditorTextFile(CliContext &context, const QString &path);
