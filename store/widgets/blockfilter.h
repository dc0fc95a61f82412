#pragma once

#include <QHash>
#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class ScriptTreeModel;

// Block states the tree can be narrowed to and the translator can move
// through, read from the tree's own nodes (image and "[c]") and, for what
// the nodes do not show, from sets of block keys the checks hand in.
//
// Thread contract: GUI thread, like the model.
enum class BlockState {
    All,
    Untranslated,
    Translated,
    NotRevised, // translated, waiting for its revision
    Revised,
    WithFindings,
    WithComment,
    ChangedOriginal,
};
inline constexpr int BlockStateCount = int(BlockState::ChangedOriginal) + 1;

// The captions of the tree's filter box, in BlockState order.
QStringList blockStateCaptions();

// What the nodes cannot tell: blocks with findings, blocks whose original changed.
struct CheckedKeys
{
    QSet<QString> withFindings;
    QSet<QString> changedOriginal;
};

bool blockPasses(const ScriptTreeModel &model, const QModelIndex &block, BlockState state, const CheckedKeys &keys);

// The next (or previous) block node after `from` in tree order, across
// scripts and folders, that passes; from the start (or end) when `from` is
// no block node. An invalid index when none is left that way.
QModelIndex nearestBlock(const ScriptTreeModel &model, const QModelIndex &from, bool forward, BlockState state,
                         const CheckedKeys &keys);

// Which blocks pass, and how many under each folder and script node (by key).
struct FilterResult
{
    QSet<const void *> hiddenBlocks; // internal pointers of block nodes that do not pass
    QHash<QString, int> counts;
};
FilterResult filterBlocks(const ScriptTreeModel &model, BlockState state, const CheckedKeys &keys);
