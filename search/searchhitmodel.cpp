#include "search/searchhitmodel.h"

using namespace Qt::StringLiterals;

SearchHitModel::SearchHitModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void SearchHitModel::setHits(QList<SearchHit> hits)
{
    beginResetModel();
    m_hits = std::move(hits);
    endResetModel();
}

void SearchHitModel::clear()
{
    setHits({});
}

const SearchHit *SearchHitModel::hit(int row) const
{
    if (row < 0 || row >= m_hits.size())
        return nullptr;
    return &m_hits[row];
}

int SearchHitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int SearchHitModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

// A list line is one line high: the text's line breaks show as blanks there,
// and the tooltip keeps its lines.
QString overview(const QString &text)
{
    QString out = text;
    out.replace(u"\r\n"_s, u" "_s);
    out.replace(u'\n', u' ');
    out.replace(u'\r', u' ');
    return out;
}

} // namespace

QVariant SearchHitModel::data(const QModelIndex &index, int role) const
{
    const SearchHit *h = index.isValid() ? hit(index.row()) : nullptr;
    if (!h)
        return {};
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case BlockColumn:
            return h->block;
        case ScriptColumn:
            return h->script;
        case FolderColumn:
            return h->folder;
        case TextColumn:
            return overview(h->text);
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole && index.column() == TextColumn)
        return h->text;
    return {};
}

QVariant SearchHitModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case BlockColumn:
        return u"Block"_s;
    case ScriptColumn:
        return u"Script"_s;
    case FolderColumn:
        return u"Folder"_s;
    case TextColumn:
        return u"Text Block or Comment Overview "_s;
    default:
        return {};
    }
}

int SearchHitModel::columnTwips(int column)
{
    static constexpr int twips[ColumnCount] = {700, 1000, 1500, 7370};
    return column >= 0 && column < ColumnCount ? twips[column] : 0;
}
