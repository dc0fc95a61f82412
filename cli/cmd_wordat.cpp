#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/textinput.h"

#include "links/wordfinder.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runWordAt(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    addEditorTextOptions(parser);
    parser.addPositionalArgument(u"POS"_s, u"0-based character index into the text."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    bool number = false;
    const qlonglong p = parser.positionalArguments().first().toLongLong(&number);
    if (!number)
        return context.usage(u"POS must be a whole number."_s);
    const auto text = editorText(parser, context);
    if (!text)
        return text.status();
    // A fresh editor: the state starts empty, as the main window's does.
    qint16 wordStart = 0;
    QString currentWord;
    const QString word = wordOver(*text, qsizetype(p), wordStart, currentWord);
    context.out << JsonLine().add("word", word).add("wordStart", int(wordStart)).toString() << u'\n';
    return ExitSuccess;
}
