#include "keeping/projectstore.h"

#include "store/layout.h"

namespace {

// SQLite hands a number back as the type it was stored with, the server as
// text: the values are compared as the store writes them.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() || a.toString().isEmpty() == b.toString().isEmpty();
    return a.toString() == b.toString();
}

bool sameKey(const BlockRow &a, const BlockRow &b)
{
    return sameValue(a[ColFileName], b[ColFileName]) && sameValue(a[ColDialogueId], b[ColDialogueId]);
}

} // namespace

bool sameBlockRow(const BlockRow &a, const BlockRow &b)
{
    for (size_t column = 0; column < a.size(); ++column) {
        if (!sameValue(a[column], b[column]))
            return false;
    }
    return true;
}

bool sameBlockValue(const BlockRow &a, const BlockRow &b, int column)
{
    return sameValue(a[size_t(column)], b[size_t(column)]);
}

StoreChange compareStores(const std::array<std::vector<StoredRow>, 3> &before,
                          const std::vector<LinkColumns> &linksBefore,
                          const std::array<std::vector<BlockRow>, 3> &after, const std::vector<LinkColumns> &linksAfter)
{
    StoreChange change;
    for (size_t t = 0; t < before.size(); ++t) {
        TableChange table{ScriptTables::all[t], before[t], {}, std::nullopt};
        bool inPlace = before[t].size() == after[t].size();
        for (size_t row = 0; inPlace && row < after[t].size(); ++row) {
            inPlace = sameKey(before[t][row].row, after[t][row]);
            if (inPlace && !sameBlockRow(before[t][row].row, after[t][row]))
                table.changed.emplace_back(row, after[t][row]);
        }
        if (!inPlace) {
            table.changed.clear();
            table.replaced = after[t];
        }
        if (table.replaced || !table.changed.empty())
            change.tables.push_back(std::move(table));
    }
    if (linksBefore != linksAfter) {
        change.linksBefore = linksBefore;
        change.linksAfter = linksAfter;
    }
    return change;
}
