#include "cli/commands.h"

#include "cli/jsonline.h"
#include "cli/storeaccess.h"
#include "store/scripttreemodel.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// Depth first, children in the order the build added them.
void printNodes(const ScriptTreeModel &tree, const QModelIndex &parent, QTextStream &out)
{
    for (int row = 0; row < tree.rowCount(parent); ++row) {
        const QModelIndex node = tree.index(row, 0, parent);
        JsonLine line;
        line.add("key", tree.key(node));
        if (parent.isValid())
            line.add("parent", tree.key(parent));
        else
            line.addNull("parent");
        line.add("text", tree.text(node)).add("image", tree.image(node));
        out << line.toString() << u'\n';
        printNodes(tree, node, out);
    }
}

} // namespace

int runTree(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ScriptTreeModel tree;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const Result<TreeTables> rows = store->treeRows();
    if (!rows)
        return context.fail(rows.error().message);
    const ScriptTreeModel::BuildReport report = tree.build(*rows);
    printNodes(tree, {}, context.out);
    context.out.flush();
    for (qsizetype i = 0; i < report.refusedKeys.size(); ++i)
        context.err << u"Refused node %1: %2"_s.arg(report.refusedKeys[i], report.messages.value(i)) << Qt::endl;
    if (!report.ok)
        return context.fail(report.error.message);
    return ExitSuccess;
}
