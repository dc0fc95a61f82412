#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/textinput.h"

#include "links/highlight.h"
#include "project/sqlitestore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runHighlight(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    addEditorTextOptions(parser);
    parser.addOption({u"line"_s, u"Mark only this 0-based line, as typing does."_s, u"N"_s});
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    const auto text = editorText(parser, context);
    if (!text)
        return text.status();
    qsizetype line = -1;
    if (parser.isSet(u"line"_s)) {
        bool number = false;
        line = parser.value(u"line"_s).toLongLong(&number);
        if (!number || line < 0 || line >= textLines(*text).size())
            return context.usage(u"--line must name a line of the text (0 to %1)."_s.arg(textLines(*text).size() - 1));
    }
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    SqliteStore store(db);
    LinkGlossary glossary;
    if (const Result<Done> read = glossary.refresh(store); !read)
        return context.fail(read.error().message);
    const QList<LinkMark> marks = line < 0 ? highlightMarks(*text, glossary)
                                           : highlightMarksInLine(*text, line, glossary);
    for (const LinkMark &mark : marks) {
        context.out << JsonLine().add("start", qint64(mark.start)).add("length", qint64(mark.length))
                           .add("word", mark.word).toString()
                    << u'\n';
    }
    return ExitSuccess;
}
