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

// Keeps `before` when `after` changes any of the three values. Empty when
// done or nothing had to be kept, else why it could not be kept (the save
// itself stands either way), or that a damaged history.db was set aside
// and a new one started (said once, the version being kept in the new one).
QString keepEarlierVersion(const QString &storePath, const BlockAddress &address,
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
// writeDraft: empty when written, else why not (or the notice of a damaged
// history.db set aside, said once).
QString writeDraft(const QString &storePath, const BlockAddress &address, const BlockVersion &draft);
// nullopt when the block has none.
Result<std::optional<BlockVersion>> blockDraft(const QString &storePath, const BlockAddress &address);
QString dropDraft(const QString &storePath, const BlockAddress &address);

// The block open in the editor, kept as it is opened so that Reopen Last
// Block finds it after Exit or a crash; empty when none was kept.
QString rememberOpenBlock(const QString &storePath, const QString &key);
QString lastOpenBlock(const QString &storePath);

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
