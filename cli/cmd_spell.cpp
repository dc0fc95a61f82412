#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/textinput.h"

#include "spell/spellcheck.h"
#include "spell/speller.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runSpell(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    addEditorTextOptions(parser);
    parser.addOption({u"language"_s, u"Language number (default 1034, Spanish)."_s, u"N"_s,
                      QString::number(SpanishLanguage)});
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    bool number = false;
    const int language = parser.value(u"language"_s).toInt(&number);
    if (!number)
        return context.usage(u"--language takes a language number, such as 1034."_s);
    const auto text = editorText(parser, context);
    if (!text)
        return text.status();

    SpellerCache spellers(context.programFolder);
    const Result<std::shared_ptr<Speller>> found = spellers.speller(language);
    if (!found)
        return context.fail(found.error().message);
    const std::shared_ptr<Speller> &speller = *found;
    const QList<Misspelling> errors = speller->misspellings(*text);
    context.out << errors.size() << u'\n';
    for (const Misspelling &m : errors) {
        context.out << JsonLine()
                           .add("start", qint64(m.start))
                           .add("length", qint64(m.length))
                           .add("word", m.word)
                           .add("suggestions", speller->suggestions(m.word, 5))
                           .toString()
                    << u'\n';
    }
    context.out.flush();
    if (errors.isEmpty())
        context.err << SpellMessages::noErrors << Qt::endl;
    return ExitSuccess;
}
