#pragma once

#include "store/nodekey.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class Database;
struct BlockSnapshot;

// Earlier versions of the blocks, kept in history.db beside the store so
// that the store's own layout stays as it is. A save that changes a block's
// translation, comment or revised mark keeps the values it replaces, with
// the time of that save (saveBlock does it, for the window and the command
// line alike).
//
// Texts are kept as the store holds them (grave accents for apostrophes)
// and handed out as the editors show them.
//
// Thread contract: one thread. The history file's connection is opened on
// first use and kept for the next saves of the same store.
inline const QString HistoryFileName = QStringLiteral("history.db");

struct BlockVersion
{
    QDateTime time; // when a save replaced these values
    QString translation;
    QString comment;
    bool revised = false;

    bool operator==(const BlockVersion &) const = default;
};

// The connection to history.db beside the store at `storePath`, kept for the
// next calls. `create` false: a missing file is no error, just no history
// (nullptr, `error` untouched).
Database *openHistoryDatabase(const QString &storePath, bool create, QString *error);

// What the store holds for the block before a save, in stored form;
// nullopt when it has no single row for it.
std::optional<BlockVersion> storedVersion(Database &db, const BlockAddress &address);

// Keeps `before` when `after` changes any of the three values. Empty when
// done or nothing had to be kept, else why it could not be kept (the save
// itself stands either way).
QString keepEarlierVersion(const QString &storePath, const BlockAddress &address,
                           const std::optional<BlockVersion> &before, const BlockSnapshot &after,
                           const QDateTime &now = QDateTime::currentDateTime());

// The kept versions of a block, newest first, as the editors show them.
// nullopt (and `error`) when the history cannot be read; an empty list when
// there is no history yet.
std::optional<std::vector<BlockVersion>> blockVersions(const QString &storePath, const BlockAddress &address,
                                                       QString *error = nullptr);

// Word-level differences from one text to another, for showing what a
// version would change: runs of equal, removed and added text that, read in
// order without the added runs, give `from`, and without the removed ones,
// give `to`.
struct TextChange
{
    enum Kind { Same, Removed, Added };
    Kind kind = Same;
    QString text;

    bool operator==(const TextChange &) const = default;
};
std::vector<TextChange> textChanges(const QString &from, const QString &to);
