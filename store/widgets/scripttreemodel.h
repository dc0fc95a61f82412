#pragma once

#include "store/scriptnodes.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <array>

// The script tree's nodes (ScriptNodes) as the tree view shows them, with
// the images' icons and the counts of a filtered tree.
//
// Thread contract: GUI thread, like every model.
class ScriptTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Roles {
        KeyRole = Qt::UserRole + 1,
        ImageRole,         // 1..7
        SelectedImageRole, // 1..7
        PresenceRole,      // who else is at the block, as its tooltip says it; empty: nobody
    };
    using Image = ScriptNodes::Image;
    using enum ScriptNodes::Image;
    using BuildReport = ScriptNodes::BuildReport;
    using Row = ScriptNodes::Row;

    explicit ScriptTreeModel(QObject *parent = nullptr);
    ~ScriptTreeModel() override;

    // buildTree: adds root, folders, scripts and blocks from the three tables.
    BuildReport build(Database &db);
    // The same build from rows already read.
    BuildReport build(const ScriptNodes::Tables &tables);
    // clearTree: removes every node.
    void clear();
    bool isBuilt() const;

    QModelIndex indexForKey(const QString &key) const;
    QString key(const QModelIndex &index) const;
    QString text(const QModelIndex &index) const;
    int image(const QModelIndex &index) const;
    int selectedImage(const QModelIndex &index) const;
    void setText(const QModelIndex &index, const QString &text);
    void setImage(const QModelIndex &index, int image);
    void setSelectedImage(const QModelIndex &index, int image);
    // Counts shown after folder and script names while the tree is filtered,
    // by node key; empty shows the names alone.
    void setPassCounts(QHash<QString, int> counts);
    // Who else is at each block, by node key, in a sentence ("Ana is editing
    // this block"): a badge on the node's icon and the sentence as its
    // tooltip. Kept through a rebuild, as the keys are.
    void setPresence(QHash<QString, QString> notes);
    // Icons for the seven images; without them the model shows no icons.
    void setImages(const std::array<QIcon, 7> &icons);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    using Node = ScriptNodes::Node;
    Node *nodeAt(const QModelIndex &index) const;
    QIcon iconFor(int image, int selected) const;

    ScriptNodes m_nodes;
    QHash<QString, int> m_passCounts;
    QHash<QString, QString> m_presence;
    std::array<QIcon, 7> m_icons;
    mutable std::array<QIcon, 49> m_pairIcons; // (image, selected image) pairs
};
