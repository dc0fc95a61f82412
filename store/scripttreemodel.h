#pragma once

#include "store/database.h"
#include "store/projectstore.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

// The script tree: root "Root" > folders (table names) > scripts (bare file
// names) > blocks (table ":" file ";" number). Each node has a key, a text,
// an image and a selected image (1-based indexes into the seven tree images).
// A key index makes finding a node by key cheap.
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
    };
    // Image indexes, as in the tree's image list.
    enum Image { Home = 1, Folder = 2, Script = 3, NotTranslated = 4, Translated = 5, Opened = 6, Revised = 7 };

    explicit ScriptTreeModel(QObject *parent = nullptr);
    ~ScriptTreeModel() override;

    // Nodes the build refused because their key already existed (a script
    // name met twice); the rest of the tree is built regardless.
    struct BuildReport
    {
        QStringList refusedKeys;
        QStringList messages; // one sentence per clash, for the user
        bool ok = true; // false when a query failed
        StoreError error;
    };
    // buildTree: adds root, folders, scripts and blocks from the three tables.
    BuildReport build(Database &db);
    // What the tree needs of one row, for a store that reads its rows itself.
    using Row = TreeRow;
    // The same build from rows already read, per table in ScriptTables order,
    // each table's rows in the store's order.
    BuildReport build(const std::array<std::vector<Row>, 3> &tables);
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
    // Icons for the seven images; without them the model shows no icons.
    void setImages(const std::array<QIcon, 7> &icons);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Node;
    struct Arena;
    Node *nodeAt(const QModelIndex &index) const;
    Node *addNode(Node *parent, const QString &key, const QString &text, int image);
    Node *addScript(Node *folder, const QString &table, const QString &file, BuildReport &report);
    struct BuildWalk;
    std::array<Node *, 3> beginBuild();
    void addRow(BuildWalk &walk, const Row &row);
    void dropNodes();
    QIcon iconFor(int image, int selected) const;

    std::unique_ptr<Node> m_root; // invisible holder of the "Root" node
    std::unique_ptr<Arena> m_arena;
    QHash<QString, Node *> m_byKey;
    QHash<QString, int> m_passCounts;
    std::array<QIcon, 7> m_icons;
    mutable std::array<QIcon, 49> m_pairIcons; // (image, selected image) pairs
};
