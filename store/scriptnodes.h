#pragma once

#include "store/database.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

// The script tree as plain data: root "Root" > folders (table names) >
// scripts (bare file names) > blocks (table ":" file ";" number). Each node
// has a key, a text, an image and a selected image (1-based indexes into the
// seven tree images). A key index makes finding a node by key cheap. The
// window's model shows these nodes; the command line and the server's rows
// build them without a window.
//
// Thread contract: one thread at a time.
class ScriptNodes
{
public:
    // Image indexes, as in the tree's image list.
    enum Image { Home = 1, Folder = 2, Script = 3, NotTranslated = 4, Translated = 5, Opened = 6, Revised = 7 };

    // One node. Children are kept in the order they were added; `row` is the
    // node's position under its parent so that finding the parent's row
    // never searches.
    struct Node
    {
        QString key;
        QString text;
        Node *parent = nullptr;
        std::vector<Node *> children;
        int row = 0;
        qint8 image = 0;
        qint8 selectedImage = 0;
        bool marked = false; // a script met a second time, shown apart

        int depth() const;
    };

    // Nodes the build refused because their key already existed (a script
    // name met twice); the rest of the tree is built regardless.
    struct [[nodiscard]] BuildReport
    {
        QStringList refusedKeys;
        QStringList messages; // one sentence per clash, for the user
        std::optional<Failure> failure; // set when a query failed: the tree is not whole
    };
    // What the tree needs of one row, for a store that reads its rows itself.
    struct Row
    {
        QString file;
        QString number; // the stored dialogue_id's text
        bool commented = false;
        bool translated = false;
        bool revised = false;
    };
    // Rows per table in ScriptTables order, each table's rows in the store's order.
    using Tables = std::array<std::vector<Row>, 3>;

    ScriptNodes();
    ~ScriptNodes();

    // Adds root, folders, scripts and blocks from the three tables.
    BuildReport build(Database &db);
    // The same build from rows already read.
    BuildReport build(const Tables &tables);
    // Removes every node.
    void clear();
    bool isBuilt() const;

    // The invisible holder of the root node.
    Node &top() const;
    // nullptr when no node has `key`.
    Node *find(const QString &key) const;

private:
    struct Arena;
    struct BuildWalk;
    Node *addNode(Node *parent, const QString &key, const QString &text, int image);
    Node *addScript(Node *folder, const QString &table, const QString &file, BuildReport &report);
    std::array<Node *, 3> beginBuild();
    void addRow(BuildWalk &walk, const Row &row);

    std::unique_ptr<Node> m_top;
    std::unique_ptr<Arena> m_arena;
    QHash<QString, Node *> m_byKey;
};
