#include "store/widgets/scripttreemodel.h"

#include <QPainter>
#include <QPixmap>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

constexpr int IconSize = 16;

// A dot in the icon's lower right corner: somebody else is at the block.
QIcon withBadge(const QIcon &icon)
{
    QPixmap pixmap = icon.isNull() ? QPixmap(IconSize, IconSize) : icon.pixmap(IconSize);
    if (icon.isNull())
        pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(0xe0, 0x70, 0x10));
    painter.drawEllipse(QRectF(pixmap.width() - 8.5, pixmap.height() - 8.5, 8, 8));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

ScriptTreeModel::ScriptTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

ScriptTreeModel::~ScriptTreeModel() = default;

ScriptTreeModel::BuildReport ScriptTreeModel::build(Database &db)
{
    beginResetModel();
    m_passCounts.clear();
    BuildReport report = m_nodes.build(db);
    endResetModel();
    return report;
}

ScriptTreeModel::BuildReport ScriptTreeModel::build(const ScriptNodes::Tables &tables)
{
    beginResetModel();
    m_passCounts.clear();
    BuildReport report = m_nodes.build(tables);
    endResetModel();
    return report;
}

void ScriptTreeModel::clear()
{
    beginResetModel();
    m_nodes.clear();
    m_passCounts.clear();
    endResetModel();
}

bool ScriptTreeModel::isBuilt() const
{
    return m_nodes.isBuilt();
}

QModelIndex ScriptTreeModel::indexForKey(const QString &key) const
{
    const Node *node = m_nodes.find(key);
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
    const Node *holder = parent.isValid() ? nodeAt(parent) : &m_nodes.top();
    if (!holder || row >= int(holder->children.size()))
        return {};
    return createIndex(row, 0, holder->children[size_t(row)]);
}

QModelIndex ScriptTreeModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeAt(child);
    if (!node || !node->parent || node->parent == &m_nodes.top())
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int ScriptTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node *holder = parent.isValid() ? nodeAt(parent) : &m_nodes.top();
    return holder ? int(holder->children.size()) : 0;
}

int ScriptTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

void ScriptTreeModel::setPresence(QHash<QString, QString> notes)
{
    QSet<QString> changed;
    for (auto it = notes.cbegin(); it != notes.cend(); ++it) {
        if (m_presence.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = m_presence.cbegin(); it != m_presence.cend(); ++it) {
        if (!notes.contains(it.key()))
            changed << it.key();
    }
    m_presence = std::move(notes);
    for (const QString &key : std::as_const(changed)) {
        if (const QModelIndex node = indexForKey(key); node.isValid())
            emit dataChanged(node, node, {Qt::DecorationRole, Qt::ToolTipRole, PresenceRole});
    }
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
        if (m_presence.contains(node->key))
            return withBadge(node->image < Home ? QIcon() : iconFor(node->image, node->selectedImage));
        if (node->image < Home)
            return {};
        return iconFor(node->image, node->selectedImage);
    case PresenceRole:
        return m_presence.value(node->key);
    case Qt::ToolTipRole:
        if (m_presence.contains(node->key))
            return m_presence.value(node->key);
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
