#include "store/scriptnodes.h"

#include "store/layout.h"
#include "store/nodekey.h"

#include <deque>

using namespace Qt::StringLiterals;

// All nodes of one build live in one deque: a block costs no allocation of
// its own beyond its two texts, and clearing frees everything at once.
struct ScriptNodes::Arena
{
    std::deque<Node> nodes;
};

namespace {

const QString DuplicateMarker = u" [duplicate]"_s;

} // namespace

int ScriptNodes::Node::depth() const
{
    int d = 0;
    for (const Node *n = parent; n && n->parent; n = n->parent)
        ++d;
    return d;
}

ScriptNodes::ScriptNodes()
    : m_top(std::make_unique<Node>())
    , m_arena(std::make_unique<Arena>())
{
}

ScriptNodes::~ScriptNodes() = default;

ScriptNodes::Node *ScriptNodes::addNode(Node *parent, const QString &key, const QString &text, int image)
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
struct ScriptNodes::BuildWalk
{
    BuildReport report;
    QString table;
    Node *folder = nullptr;
    QString remembered;
    Node *script = nullptr;
};

std::array<ScriptNodes::Node *, 3> ScriptNodes::beginBuild()
{
    clear();
    Node *root = addNode(m_top.get(), RootKey, u"Scripts"_s, Home);
    std::array<Node *, 3> folders{};
    for (size_t t = 0; t < ScriptTables::all.size(); ++t)
        folders[t] = addNode(root, ScriptTables::all[t], ScriptTables::all[t], Folder);
    return folders;
}

void ScriptNodes::addRow(BuildWalk &walk, const Row &row)
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

ScriptNodes::BuildReport ScriptNodes::build(Database &db)
{
    const std::array<Node *, 3> folders = beginBuild();
    BuildWalk walk;
    for (size_t t = 0; t < ScriptTables::all.size() && !walk.report.failure; ++t) {
        walk.table = ScriptTables::all[t];
        walk.folder = folders[t];
        Result<ResultSet> rows = db.query(u"Select * from "_s + walk.table);
        if (!rows.ok()) {
            walk.report.failure = rows.error();
            break;
        }
        m_byKey.reserve(m_byKey.size() + rows->rowCount() + rows->rowCount() / 8);
        Row row;
        while (rows->next()) {
            row.file = rows->text(ColFileName);
            row.number = rows->text(ColDialogueId);
            row.translated = rows->value(ColTranslated).toBool();
            row.revised = rows->value(ColRevised).toBool();
            row.commented = !rows->text(ColComments).isEmpty();
            addRow(walk, row);
        }
        rows->close();
    }
    return walk.report;
}

ScriptNodes::BuildReport ScriptNodes::build(const Tables &tables)
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
    return walk.report;
}

// The script node for a run of rows named `file` in `folder`. A name that is
// already a key cannot take a second node under that key, yet its blocks must
// stay reachable: rows of one script that do not come together join the node
// of their own folder; a name met in another table (or equal to a folder key)
// gets a marked node under its own folder, keyed table + "/" + file. A "/"
// cannot stand in a listed file name and the key has no ":", so it never
// collides with a script or block key and is never taken for a block.
ScriptNodes::Node *ScriptNodes::addScript(Node *folder, const QString &table, const QString &file,
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

void ScriptNodes::clear()
{
    m_top->children.clear();
    m_byKey.clear();
    m_arena = std::make_unique<Arena>();
}

bool ScriptNodes::isBuilt() const
{
    return !m_top->children.empty();
}

ScriptNodes::Node &ScriptNodes::top() const
{
    return *m_top;
}

ScriptNodes::Node *ScriptNodes::find(const QString &key) const
{
    return m_byKey.value(key);
}
