#include "cli/commands.h"

#include "cli/jsonline.h"
#include "cli/serveraccess.h"
#include "store/database.h"
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
    ScriptNodes::BuildReport report;
    if (context.server.isEmpty()) {
        Database db;
        if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 0, 0))
            return *stop;
        report = tree.build(db);
    } else {
        if (!parseCommandLine(parser, context, arguments, 0, 0))
            return ExitUsage;
        auto store = openServerStore(context);
        if (!store)
            return ExitFailure;
        Result<TreeTables> rows = store->treeRows();
        if (!rows)
            return context.fail(rows.error().message);
        report = tree.build(*rows);
    }
    printNodes(tree.top(), context.out);
    context.out.flush();
    for (qsizetype i = 0; i < report.refusedKeys.size(); ++i)
        context.err << u"Refused node %1: %2"_s.arg(report.refusedKeys[i], report.messages.value(i)) << Qt::endl;
    if (!report.ok)
        return context.fail(report.error.message);
    return ExitSuccess;
}
