#pragma once

#include "store/database.h"
#include "store/nodekey.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The editing of one block, without widgets: what a load puts into the main
// window's controls, the save's statement, and the window-size reset (the
// save itself, which keeps what it replaces, is keeping/blocksave.h).
// The main window's controller, the command line and the tests share these.
//
// Texts handed in and out are as the editors show them: apostrophes, lines
// separated by CR LF. Texts inside statements carry grave accents.
//
// Thread contract: the caller's thread, with the caller's Database.

// The editable columns of the open block as the store holds them (as last
// loaded or saved). A save whose values equal these need not touch the row.
struct BlockSnapshot
{
    QString key;
    QString textDataT; // stored form
    QString comments;  // stored form
    bool translated = false;
    bool revised = false;

    bool operator==(const BlockSnapshot &) const = default;
};

inline const QString DuplicateRecordsMessage = QStringLiteral("Duplicate records, FATAL ERROR");

// What loading a node (a click on it) gives the controls.
struct [[nodiscard]] BlockLoad
{
    enum class Outcome {
        NotABlock, // root, folder or script node: editors empty and disabled
        Loaded,    // the row was found (or none was: editors enabled, empty)
        Duplicate, // more than one row: message, editors stay disabled
        Failed,    // the store could not be read: message, nothing to show
    };
    Outcome outcome = Outcome::NotABlock;
    std::optional<BlockAddress> address;

    QString caption; // lblMsg: "[table] - [file] - [number]"
    QString original;
    QString translation;
    QString comment;
    bool revised = false; // chkRevised's value
    bool revisedEnabled = false;
    bool editorsEnabled = false;
    int nodeImage = 0;     // 0: leave the node's image as it is
    int selectedImage = 0; // 0: leave it; 6 once the block is opened
    bool hasSize = false;  // currentWidth/currentHeight change only when true
    QString currentWidth;
    QString currentHeight;

    std::optional<BlockSnapshot> stored; // set when a row was read
    QString message;                     // Duplicate or Failed: for the user
};

BlockLoad loadBlock(Database &db, const QString &key);

// One row of a script table, its columns by position (ScriptColumn): NULL as
// an invalid QVariant, numbers as qlonglong, texts as QString.
using BlockRow = std::array<QVariant, 11>;
// What the load shows from the rows the store holds for the block `key`
// names, whichever store read them; NotABlock when the key names none.
BlockLoad blockLoadOf(const QString &key, const std::vector<BlockRow> &rows);

// "SELECT * FROM T WHERE file_name = 'F' AND dialogue_id = N;"
QString blockSelectStatement(const BlockAddress &address);

// The save's UPDATE, with the texts already in stored form.
QString blockUpdateStatement(const BlockAddress &address, const QString &storedTranslation,
                             const QString &storedComment, bool revised);
// A block's chosen window size: "UPDATE T SET new_width = W, new_height = H
// WHERE file_name = 'F' AND dialogue_id = N;".
QString windowSizeStatement(const BlockAddress &address, qint16 width, qint16 height);
// The node text after a save: "[c]" appended or taken away by the comment box.
QString commentMarkerText(const QString &nodeText, const QString &comment, qint16 number);

// ">Translation status: N% translated" from fresh counts; nullopt when the
// counts fail or there are no blocks.
std::optional<QString> currentStatusLine(Database &db);

// The reset of a block's chosen window size. Only field blocks have one;
// errors inside are passed over, as a reset that half works still helps.
struct [[nodiscard]] WindowSizeReset
{
    bool fieldBlock = false; // the preview is redrawn only then
    bool hasSize = false;
    QString currentWidth;
    QString currentHeight;
};
WindowSizeReset resetWindowSize(Database &db, const QString &key);
