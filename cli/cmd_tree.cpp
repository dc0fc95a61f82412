#include "cli/commands.h"

#include "cli/jsonline.h"
#include "cli/storeaccess.h"
#include "store/scriptnodes.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// Depth first, children in the order the build added them.
void printNodes(const ScriptNodes::Node &parent, QTextStream &out)
{
    for (const ScriptNodes::Node *node : parent.children) {
        JsonLine line;
        line.add("key", node->key);
        if (parent.parent)
            line.add("parent", parent.key);
        else
            line.addNull("parent");
        line.add("text", node->text).add("image", int(node->image));
        out << line.toString() << u'\n';
        printNodes(*node, out);
    }
}

} // namespace

int runTree(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ScriptNodes tree;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const Result<TreeTables> rows = store->treeRows();
    if (!rows)
        return context.fail(rows.error().message);
    const ScriptNodes::BuildReport report = tree.build(*rows);
    printNodes(tree.top(), context.out);
    context.out.flush();
    for (qsizetype i = 0; i < report.refusedKeys.size(); ++i)
        context.err << u"Refused node %1: %2"_s.arg(report.refusedKeys[i], report.messages.value(i)) << Qt::endl;
    if (report.failure)
        return context.fail(report.failure->message);
    return ExitSuccess;
}
