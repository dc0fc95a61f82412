#pragma once

#include "store/blockedit.h"

#include <QString>

#include <optional>

// The save of one block, with what keeping a save means beside the store:
// the values it replaces go into the block's history, its "original
// changed" mark is closed and its draft dropped. The main window's
// controller, the command line and every batch share it.
//
// Thread contract: the caller's thread, with the caller's Database.

// The editors' contents at save time, as shown (apostrophes, CR LF).
struct BlockEdits
{
    QString translation;
    QString comment;
    bool revised = false;
};

// What a save did and what the controls and the node show afterwards.
struct [[nodiscard]] BlockSave
{
    bool isBlock = false; // false: nothing else happened (the marker still shows)
    QString statement;
    bool revisedEnabled = false;
    int nodeImage = 0;
    QString nodeText;
    bool written = false; // false when the store already held these values
    std::optional<QString> status;       // the status line; nullopt when it could not be counted
    std::optional<BlockSnapshot> stored; // what the store holds now
    QString historyProblem;              // the earlier values could not be kept (the save stands)
};

// Saves the open block. `known` holds what the store is known to have for
// the block; when the statement would write exactly that, it is not run.
// Pass nullptr to write unconditionally. A failed write is the failure, in
// plain words (the text is still in the editor). A batch of saves counts the status
// line once, after its last save (`status` Skip leaves it nullopt).
// `known` is Current when the caller read it in the transaction the save
// runs in: it is then what the save replaces, and the row is not read again
// for the history.
enum class StatusCount { Count, Skip };
enum class KnownRow { LastSeen, Current };
Result<BlockSave> saveBlock(Database &db, const QString &key, const QString &nodeText, const BlockEdits &edits,
                            const BlockSnapshot *known, StatusCount status = StatusCount::Count,
                            KnownRow knownRow = KnownRow::LastSeen);
