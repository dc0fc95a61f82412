#pragma once

#include "search/search.h"

#include <QAbstractTableModel>

// The result list of the search window: four columns, one row per hit.
// Filled in one go (one reset), so tens of thousands of hits cost one
// layout pass of the view.
//
// Thread contract: GUI thread, like every model.
class SearchHitModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { BlockColumn = 0, ScriptColumn, FolderColumn, TextColumn, ColumnCount };

    explicit SearchHitModel(QObject *parent = nullptr);

    void setHits(QList<SearchHit> hits);
    void clear();
    const QList<SearchHit> &hits() const { return m_hits; }
    // The hit of a row; nullptr outside the list.
    const SearchHit *hit(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Column widths of the list in twips (1/1440 inch), in column order.
    static int columnTwips(int column);

private:
    QList<SearchHit> m_hits;
};
