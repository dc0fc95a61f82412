#include "store/widgets/blockfilter.h"

#include "store/widgets/scripttreemodel.h"

using namespace Qt::StringLiterals;

QStringList blockStateCaptions()
{
    return {u"All blocks"_s,     u"Untranslated"_s,  u"Translated"_s,    u"Not revised"_s,
            u"Revised"_s,        u"With findings"_s, u"With comments"_s, u"Changed original"_s};
}

bool blockPasses(const ScriptTreeModel &model, const QModelIndex &block, BlockState state, const CheckedKeys &keys)
{
    switch (state) {
    case BlockState::All:
        return true;
    case BlockState::Untranslated:
        return model.image(block) == ScriptTreeModel::NotTranslated;
    case BlockState::Translated:
        return model.image(block) != ScriptTreeModel::NotTranslated;
    case BlockState::NotRevised:
        return model.image(block) == ScriptTreeModel::Translated;
    case BlockState::Revised:
        return model.image(block) == ScriptTreeModel::Revised;
    case BlockState::WithFindings:
        return keys.withFindings.contains(model.key(block));
    case BlockState::WithComment:
        return model.text(block).contains(u"[c]"_s);
    case BlockState::ChangedOriginal:
        return keys.changedOriginal.contains(model.key(block));
    }
    return false;
}

namespace {

// Depth of a node below the root: 0 root, 1 folder, 2 script, 3 block.
int depth(const QModelIndex &index)
{
    int d = -1;
    for (QModelIndex i = index; i.isValid(); i = i.parent())
        ++d;
    return d;
}

// A place between or on blocks: folder f, script s, block b.
struct Place
{
    int f = 0;
    int s = 0;
    int b = 0;
};

} // namespace

QModelIndex nearestBlock(const ScriptTreeModel &model, const QModelIndex &from, bool forward, BlockState state,
                         const CheckedKeys &keys)
{
    const QModelIndex root = model.index(0, 0);
    const int folders = model.rowCount(root);
    if (folders == 0)
        return {};
    const int step = forward ? 1 : -1;
    // A root starts before the first block (after the last, backwards); a
    // folder or script node just before its first block either way.
    Place at;
    switch (depth(from)) {
    case 3:
        at = {from.parent().parent().row(), from.parent().row(), from.row()};
        break;
    case 2:
        at = {from.parent().row(), from.row(), forward ? -1 : 0};
        break;
    case 1:
        at = {from.row(), 0, forward ? -1 : 0};
        break;
    default:
        at = forward ? Place{0, 0, -1} : Place{folders - 1, model.rowCount(model.index(folders - 1, 0, root)), 0};
        if (!forward && at.s > 0) { // after the last block of the last script
            at.s -= 1;
            at.b = model.rowCount(model.index(at.s, 0, model.index(at.f, 0, root)));
        }
        break;
    }
    at.b += step;
    while (at.f >= 0 && at.f < folders) {
        const QModelIndex folder = model.index(at.f, 0, root);
        const int scripts = model.rowCount(folder);
        if (at.s >= 0 && at.s < scripts) {
            const QModelIndex script = model.index(at.s, 0, folder);
            const int blocks = model.rowCount(script);
            for (; at.b >= 0 && at.b < blocks; at.b += step) {
                const QModelIndex block = model.index(at.b, 0, script);
                if (blockPasses(model, block, state, keys))
                    return block;
            }
            at.s += step;
        } else {
            at.f += step;
            if (at.f < 0 || at.f >= folders)
                break;
            at.s = forward ? 0 : model.rowCount(model.index(at.f, 0, root)) - 1;
        }
        if (at.s >= 0 && at.s < model.rowCount(model.index(at.f, 0, root)))
            at.b = forward ? 0 : model.rowCount(model.index(at.s, 0, model.index(at.f, 0, root))) - 1;
    }
    return {};
}

FilterResult filterBlocks(const ScriptTreeModel &model, BlockState state, const CheckedKeys &keys)
{
    FilterResult result;
    const QModelIndex root = model.index(0, 0);
    for (int f = 0; f < model.rowCount(root); ++f) {
        const QModelIndex folder = model.index(f, 0, root);
        int inFolder = 0;
        for (int s = 0; s < model.rowCount(folder); ++s) {
            const QModelIndex script = model.index(s, 0, folder);
            int inScript = 0;
            for (int b = 0; b < model.rowCount(script); ++b) {
                const QModelIndex block = model.index(b, 0, script);
                if (blockPasses(model, block, state, keys))
                    ++inScript;
                else
                    result.hiddenBlocks.insert(block.internalPointer());
            }
            result.counts.insert(model.key(script), inScript);
            inFolder += inScript;
        }
        result.counts.insert(model.key(folder), inFolder);
    }
    return result;
}
