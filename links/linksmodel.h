#pragma once

#include "links/linkstore.h"

#include <QAbstractTableModel>

// The lines of the links list: one per row of `suggestion`, in table order,
// with the word, the five links and the comment as columns.
class LinksModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { WordColumn = 0, CommentColumn = 6, ColumnCount = 7 };

    explicit LinksModel(QObject *parent = nullptr);

    void setLinks(QList<LinkRow> links);
    const LinkRow &link(int row) const { return m_links.at(row); }
    // Rewrites one line in place, as after the link dialog was confirmed.
    void setLink(int row, const LinkRow &link);
    // The first line, from the top, whose word begins with `prefix` (letter
    // case aside, as the list's own partial-match search does); -1 if none.
    int findPrefix(const QString &prefix) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<LinkRow> m_links;
};
