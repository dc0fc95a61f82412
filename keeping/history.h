#pragma once

#include "store/nodekey.h"
#include "store/result.h"

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

// What the store holds for the block before a save, in stored form;
// nullopt when it has no single row for it, the failure when it cannot be read.
Result<std::optional<BlockVersion>> storedVersion(Database &db, const BlockAddress &address);

// A history write that went through. A damaged history.db found on the way
// was set aside and a new one started: `notice` says so, once.
struct HistoryWrite
{
    QString notice;
};

// Keeps `before` when `after` changes any of the three values (nothing to
// keep is a success too), else why it could not be kept (the save itself
// stands either way).
Result<HistoryWrite> keepEarlierVersion(const QString &storePath, const BlockAddress &address,
                           const std::optional<BlockVersion> &before, const BlockSnapshot &after,
                           const QDateTime &now = QDateTime::currentDateTime());

// history.db's connection for the store, opened (and made when `create`)
// on first use and kept; the failure when it cannot be, and nullptr when the
// file is simply not there and `create` is false.
// For the records that live beside the versions, such as the last batch.
Result<Database *> historyStore(const QString &storePath, bool create);

// The kept versions of a block, newest first, as the editors show them; an
// empty list when there is no history yet.
Result<std::vector<BlockVersion>> blockVersions(const QString &storePath, const BlockAddress &address);

// Drafts: the text a translator typed into a block and has not saved
// (automatic save off), one per block, kept beside the versions so that a
// crash, Exit or a click on another block never loses it. A save of the
// block drops its draft. Times are when the draft was written.
Result<HistoryWrite> writeDraft(const QString &storePath, const BlockAddress &address, const BlockVersion &draft);
// nullopt when the block has none.
Result<std::optional<BlockVersion>> blockDraft(const QString &storePath, const BlockAddress &address);
Result<Done> dropDraft(const QString &storePath, const BlockAddress &address);

// The block open in the editor, kept as it is opened so that Reopen Last
// Block finds it after Exit or a crash; empty when none was kept, the
// failure when history.db cannot be read.
Result<HistoryWrite> rememberOpenBlock(const QString &storePath, const QString &key);
Result<QString> lastOpenBlock(const QString &storePath);

// history.db's own statements are all in historystore.cpp (keeping/historystore.h).

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
