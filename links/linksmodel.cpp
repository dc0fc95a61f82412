#include "links/linksmodel.h"

using namespace Qt::StringLiterals;

LinksModel::LinksModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void LinksModel::setLinks(QList<LinkRow> links)
{
    beginResetModel();
    m_links = std::move(links);
    endResetModel();
}

void LinksModel::setLink(int row, const LinkRow &link)
{
    if (row < 0 || row >= m_links.size())
        return;
    m_links[row] = link;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int LinksModel::findPrefix(const QString &prefix) const
{
    for (int row = 0; row < m_links.size(); ++row) {
        if (m_links.at(row).word.startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

int LinksModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_links.size());
}

int LinksModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LinksModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const LinkRow &link = m_links.at(index.row());
    switch (index.column()) {
    case WordColumn:
        return link.word;
    case CommentColumn:
        return link.comment;
    default:
        return link.suggestions.at(size_t(index.column() - 1));
    }
}

QVariant LinksModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    if (section == WordColumn)
        return u"Word"_s;
    if (section == CommentColumn)
        return u"Comment"_s;
    // "Link " and the number formatted with room for its sign: two blanks.
    return QString(u"Link  "_s + QString::number(section));
}
