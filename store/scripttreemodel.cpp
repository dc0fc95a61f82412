#include "store/scripttreemodel.h"

#include "store/layout.h"
#include "store/nodekey.h"

#include <QPixmap>

#include <deque>

using namespace Qt::StringLiterals;

// The tree item: one node with its key, text and images. Children are kept in
// the order they were added; `row` is the node's position under its parent so
// that parent() never searches.
struct ScriptTreeModel::Node
{
    QString key;
    QString text;
    Node *parent = nullptr;
    std::vector<Node *> children;
    int row = 0;
    qint8 image = 0;
    qint8 selectedImage = 0;
    bool marked = false; // a script met a second time, shown apart

    int depth() const
    {
        int d = 0;
        for (const Node *n = parent; n && n->parent; n = n->parent)
            ++d;
        return d;
    }
};

// All nodes of one build live in one deque: a block costs no allocation of
// its own beyond its two texts, and clearing frees everything at once.
struct ScriptTreeModel::Arena
{
    std::deque<Node> nodes;
};

namespace {

const QString DuplicateMarker = u" [duplicate]"_s;
constexpr int IconSize = 16;

} // namespace

ScriptTreeModel::ScriptTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_root(std::make_unique<Node>())
    , m_arena(std::make_unique<Arena>())
{
}

ScriptTreeModel::~ScriptTreeModel() = default;

ScriptTreeModel::Node *ScriptTreeModel::addNode(Node *parent, const QString &key, const QString &text, int image)
{
    Node &node = m_arena->nodes.emplace_back();
    node.key = key;
    node.text = text;
    node.parent = parent;
    node.row = int(parent->children.size());
    node.image = qint8(image);
    node.selectedImage = qint8(image);
    parent->children.push_back(&node);
    m_byKey.insert(key, &node);
    return &node;
}

// Where a build stands between rows. The remembered name is set once and
// carries over from one table to the next, so the rows of a script are
// expected to come together and a name to live in one table only.
struct ScriptTreeModel::BuildWalk
{
    BuildReport report;
    QString table;
    Node *folder = nullptr;
    QString remembered;
    Node *script = nullptr;
};

std::array<ScriptTreeModel::Node *, 3> ScriptTreeModel::beginBuild()
{
    beginResetModel();
    dropNodes();
    Node *root = addNode(m_root.get(), RootKey, u"Scripts"_s, Home);
    std::array<Node *, 3> folders{};
    for (size_t t = 0; t < ScriptTables::all.size(); ++t)
        folders[t] = addNode(root, ScriptTables::all[t], ScriptTables::all[t], Folder);
    return folders;
}

void ScriptTreeModel::addRow(BuildWalk &walk, const Row &row)
{
    const QString number = row.number.trimmed();
    // A name carried into the next table starts a script there too:
    // that is a name met in two tables, reported like any other clash.
    if (!walk.script || row.file != walk.remembered || walk.script->parent != walk.folder) {
        walk.script = addScript(walk.folder, walk.table, row.file, walk.report);
        walk.remembered = row.file;
    }
    if (!walk.script)
        return;
    const QString key = blockKey(walk.table, row.file, number);
    if (m_byKey.contains(key)) {
        // The same block twice: the first one stays reachable; opening
        // it reports the duplicate rows.
        walk.report.refusedKeys << key;
        walk.report.messages << u"Block %1 of %2 in %3 is stored twice; only the first is shown."_s.arg(
            number, row.file, walk.table);
        return;
    }
    const int image = row.translated ? (row.revised ? Revised : Translated) : NotTranslated;
    addNode(walk.script, key, row.commented ? number + u"[c]"_s : number, image);
}

ScriptTreeModel::BuildReport ScriptTreeModel::build(Database &db)
{
    const std::array<Node *, 3> folders = beginBuild();
    BuildWalk walk;
    for (size_t t = 0; t < ScriptTables::all.size() && walk.report.ok; ++t) {
        walk.table = ScriptTables::all[t];
        walk.folder = folders[t];
        ResultSet rows = db.query(u"Select * from "_s + walk.table);
        if (!rows.isValid()) {
            walk.report.ok = false;
            walk.report.error = rows.error();
            break;
        }
        m_byKey.reserve(m_byKey.size() + rows.rowCount() + rows.rowCount() / 8);
        Row row;
        while (!rows.step()) {
            row.file = rows.text(ColFileName);
            row.number = rows.text(ColDialogueId);
            row.translated = rows.value(ColTranslated).toBool();
            row.revised = rows.value(ColRevised).toBool();
            row.commented = !rows.text(ColComments).isEmpty();
            addRow(walk, row);
        }
        rows.close();
    }
    endResetModel();
    return walk.report;
}

ScriptTreeModel::BuildReport ScriptTreeModel::build(const std::array<std::vector<Row>, 3> &tables)
{
    const std::array<Node *, 3> folders = beginBuild();
    BuildWalk walk;
    for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
        walk.table = ScriptTables::all[t];
        walk.folder = folders[t];
        m_byKey.reserve(m_byKey.size() + qsizetype(tables[t].size() + tables[t].size() / 8));
        for (const Row &row : tables[t])
            addRow(walk, row);
    }
    endResetModel();
    return walk.report;
}

// The script node for a run of rows named `file` in `folder`. A name that is
// already a key cannot take a second node under that key, yet its blocks must
// stay reachable: rows of one script that do not come together join the node
// of their own folder; a name met in another table (or equal to a folder key)
// gets a marked node under its own folder, keyed table + "/" + file. A "/"
// cannot stand in a listed file name and the key has no ":", so it never
// collides with a script or block key and is never taken for a block.
ScriptTreeModel::Node *ScriptTreeModel::addScript(Node *folder, const QString &table, const QString &file,
                                                  BuildReport &report)
{
    Node *existing = m_byKey.value(file);
    if (!existing)
        return addNode(folder, file, file, Script);

    report.refusedKeys << file;
    if (existing->parent == folder && !existing->marked && existing->depth() == 2) {
        report.messages << u"The rows of script %1 in %2 do not come together; they are shown under one node."_s
                               .arg(file, table);
        return existing;
    }
    const QString substitute = table + u'/' + file;
    if (Node *again = m_byKey.value(substitute)) {
        if (again->parent == folder) {
            report.messages << u"The rows of script %1 in %2 do not come together; they are shown under one node."_s
                                   .arg(file, table);
            return again;
        }
        report.messages << u"Script %1 in %2 could not be shown: its name is met twice."_s.arg(file, table);
        return nullptr;
    }
    report.messages << u"Script name %1 is met twice; the one in %2 is shown as \"%1%3\"."_s.arg(file, table,
                                                                                               DuplicateMarker);
    Node *node = addNode(folder, substitute, file + DuplicateMarker, Script);
    node->marked = true;
    return node;
}

void ScriptTreeModel::clear()
{
    beginResetModel();
    dropNodes();
    endResetModel();
}

void ScriptTreeModel::dropNodes()
{
    m_root->children.clear();
    m_byKey.clear();
    m_passCounts.clear();
    m_arena = std::make_unique<Arena>();
}

bool ScriptTreeModel::isBuilt() const
{
    return !m_root->children.empty();
}

QModelIndex ScriptTreeModel::indexForKey(const QString &key) const
{
    const Node *node = m_byKey.value(key);
    return node ? createIndex(node->row, 0, node) : QModelIndex();
}

QString ScriptTreeModel::key(const QModelIndex &index) const
{
    const Node *node = nodeAt(index);
    return node ? node->key : QString();
}

QString ScriptTreeModel::text(const QModelIndex &index) const
{
    const Node *node = nodeAt(index);
    return node ? node->text : QString();
}

int ScriptTreeModel::image(const QModelIndex &index) const
{
    const Node *node = nodeAt(index);
    return node ? node->image : 0;
}

int ScriptTreeModel::selectedImage(const QModelIndex &index) const
{
    const Node *node = nodeAt(index);
    return node ? node->selectedImage : 0;
}

void ScriptTreeModel::setText(const QModelIndex &index, const QString &text)
{
    Node *node = nodeAt(index);
    if (!node || node->text == text)
        return;
    node->text = text;
    emit dataChanged(index, index, {Qt::DisplayRole});
}

void ScriptTreeModel::setImage(const QModelIndex &index, int image)
{
    Node *node = nodeAt(index);
    if (!node || image < Home || image > Revised || node->image == image)
        return;
    node->image = qint8(image);
    emit dataChanged(index, index, {Qt::DecorationRole, ImageRole});
}

void ScriptTreeModel::setSelectedImage(const QModelIndex &index, int image)
{
    Node *node = nodeAt(index);
    if (!node || image < Home || image > Revised || node->selectedImage == image)
        return;
    node->selectedImage = qint8(image);
    emit dataChanged(index, index, {Qt::DecorationRole, SelectedImageRole});
}

void ScriptTreeModel::setImages(const std::array<QIcon, 7> &icons)
{
    m_icons = icons;
    m_pairIcons = {};
    if (isBuilt())
        emit dataChanged(index(0, 0), index(0, 0), {Qt::DecorationRole});
    // Every visible row repaints on the next layout; a reset would lose the
    // view's expansion, so only the top node is announced.
}

// The view draws a selected item's icon in QIcon::Selected mode, which is
// where the node's selected image goes.
QIcon ScriptTreeModel::iconFor(int image, int selected) const
{
    const QIcon &normal = m_icons[size_t(image - 1)];
    if (image == selected || normal.isNull())
        return normal;
    QIcon &cached = m_pairIcons[size_t((image - 1) * 7 + (selected - 1))];
    if (cached.isNull()) {
        cached.addPixmap(normal.pixmap(IconSize), QIcon::Normal);
        const QIcon &chosen = m_icons[size_t(selected - 1)];
        cached.addPixmap((chosen.isNull() ? normal : chosen).pixmap(IconSize), QIcon::Selected);
    }
    return cached;
}

ScriptTreeModel::Node *ScriptTreeModel::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Node *>(index.internalPointer());
}

QModelIndex ScriptTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const Node *holder = parent.isValid() ? nodeAt(parent) : m_root.get();
    if (!holder || row >= int(holder->children.size()))
        return {};
    return createIndex(row, 0, holder->children[size_t(row)]);
}

QModelIndex ScriptTreeModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    if (!node || !node->parent || node->parent == m_root.get())
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int ScriptTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node *holder = parent.isValid() ? nodeAt(parent) : m_root.get();
    return holder ? int(holder->children.size()) : 0;
}

int ScriptTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

void ScriptTreeModel::setPassCounts(QHash<QString, int> counts)
{
    m_passCounts = std::move(counts);
    const QModelIndex root = index(0, 0);
    const int folders = rowCount(root);
    if (folders == 0)
        return;
    emit dataChanged(index(0, 0, root), index(folders - 1, 0, root), {Qt::DisplayRole});
    for (int f = 0; f < folders; ++f) {
        const QModelIndex folder = index(f, 0, root);
        if (const int scripts = rowCount(folder); scripts > 0)
            emit dataChanged(index(0, 0, folder), index(scripts - 1, 0, folder), {Qt::DisplayRole});
    }
}

QVariant ScriptTreeModel::data(const QModelIndex &index, int role) const
{
    const Node *node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (!m_passCounts.isEmpty()) {
            if (const auto count = m_passCounts.constFind(node->key); count != m_passCounts.cend())
                return u"%1 (%2)"_s.arg(node->text).arg(*count);
        }
        return node->text;
    case Qt::DecorationRole:
        if (node->image < Home)
            return {};
        return iconFor(node->image, node->selectedImage);
    case Qt::ToolTipRole:
        if (node->marked)
            return u"This script name is also used elsewhere in the store."_s;
        return {};
    case KeyRole:
        return node->key;
    case ImageRole:
        return int(node->image);
    case SelectedImageRole:
        return int(node->selectedImage);
    default:
        return {};
    }
}
