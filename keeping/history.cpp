#include "keeping/history.h"

#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"

#include <QStringList>

using namespace Qt::StringLiterals;

Result<std::optional<BlockVersion>> storedVersion(Database &db, const BlockAddress &address)
{
    Result<ResultSet> rows = db.query(blockSelectStatement(address));
    if (!rows)
        return rows.error();
    if (rows->rowCount() != 1 || !rows->next())
        return std::optional<BlockVersion>();
    BlockVersion version;
    // The translation the editor showed: none unless the block is translated.
    if (rows->value(ColTranslated).toLongLong() == 1)
        version.translation = rows->text(ColTextDataT);
    version.comment = rows->text(ColComments);
    version.revised = rows->value(ColRevised).toLongLong() == 1;
    return std::optional(version);
}

namespace {

// Words (letters and digits) stay whole; every other character stands alone,
// so that a changed tag or space shows as itself.
QStringList tokens(const QString &text)
{
    QStringList list;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i + 1;
        if (text.at(i).isLetterOrNumber()) {
            while (end < text.size() && text.at(end).isLetterOrNumber())
                ++end;
        }
        list << text.mid(i, end - i);
        i = end;
    }
    return list;
}

void append(std::vector<TextChange> &changes, TextChange::Kind kind, const QString &text)
{
    if (text.isEmpty())
        return;
    if (!changes.empty() && changes.back().kind == kind)
        changes.back().text += text;
    else
        changes.push_back({kind, text});
}

// Past this many cells the middle of two long, very different texts shows
// as removed and added whole: the table would cost more than it tells.
constexpr qsizetype MaxTableCells = 1 << 22;

} // namespace

std::vector<TextChange> textChanges(const QString &from, const QString &to)
{
    const QStringList a = tokens(from), b = tokens(to);
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a.at(head) == b.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a.at(a.size() - 1 - tail) == b.at(b.size() - 1 - tail))
        ++tail;

    std::vector<TextChange> changes;
    append(changes, TextChange::Same, a.mid(0, head).join(QString()));
    const qsizetype n = a.size() - head - tail, m = b.size() - head - tail;
    if (n * m > MaxTableCells) {
        append(changes, TextChange::Removed, a.mid(head, n).join(QString()));
        append(changes, TextChange::Added, b.mid(head, m).join(QString()));
    } else {
        // Longest common subsequence of the middles, from the end backwards.
        std::vector<int> table(size_t((n + 1) * (m + 1)), 0);
        auto cell = [&](qsizetype i, qsizetype j) -> int & { return table[size_t(i * (m + 1) + j)]; };
        for (qsizetype i = n - 1; i >= 0; --i) {
            for (qsizetype j = m - 1; j >= 0; --j) {
                cell(i, j) = a.at(head + i) == b.at(head + j) ? cell(i + 1, j + 1) + 1
                                                               : std::max(cell(i + 1, j), cell(i, j + 1));
            }
        }
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a.at(head + i) == b.at(head + j)) {
                append(changes, TextChange::Same, a.at(head + i));
                ++i;
                ++j;
            } else if (i < n && (j == m || cell(i + 1, j) >= cell(i, j + 1))) {
                append(changes, TextChange::Removed, a.at(head + i++));
            } else {
                append(changes, TextChange::Added, b.at(head + j++));
            }
        }
    }
    append(changes, TextChange::Same, a.mid(a.size() - tail).join(QString()));
    return changes;
}
