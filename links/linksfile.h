#pragma once

#include "store/linkrows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Database;

// A links file holds one link a line: word, comma, suggestion. It is read as
// UTF-8 when its bytes are valid UTF-8, else as Windows-1252 (the code page
// older links files were written in); a UTF-8 byte-order mark is dropped.
QString decodeLinksFile(const QByteArray &bytes);
// Lines as a text file has them: a line break at the very end starts no
// further line, but an empty line before it counts.
QStringList linksFileLines(const QString &text);

struct LinksLine
{
    enum Kind { Link, Skipped, NoComma };
    Kind kind = NoComma;
    QString word;
    QString suggestion;
};
// A line with an apostrophe is skipped; otherwise the first comma splits it
// and both parts lose their blanks at either end.
LinksLine parseLinksLine(const QString &line);

// Failure numbers of the import, kept stable: scripts may test them.
enum class LinksImportFailure {
    None = 0,
    NoComma = 5,             // a line without a comma (an empty line too)
    Unreadable = 53,         // the file cannot be opened or read
    StatementRefused = 3146, // the store refused a line's statement
};

struct LinksImportResult
{
    LinksImportFailure failure = LinksImportFailure::None;
    QString description;
    int inserted = 0; // rows added and kept, also when a later line failed
    int skipped = 0;

    bool ok() const { return failure == LinksImportFailure::None; }
    // The failure's number followed directly by its description.
    QString failureText() const;
};

inline const QString LinksImportedText = QStringLiteral("Links file imported!");

// Adds one row per usable line; stops at the first failing line and keeps
// the rows inserted before it.
LinksImportResult importLinksFile(Database &db, const QString &path);
