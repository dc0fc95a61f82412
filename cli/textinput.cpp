#include "cli/textinput.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

void addEditorTextOptions(QCommandLineParser &parser)
{
    parser.addOption({u"text"_s, u"The editor's text."_s, u"TEXT"_s});
    parser.addOption({u"text-file"_s, u"A UTF-8 file holding the editor's text."_s, u"PATH"_s});
}

QString withCrLf(const QString &text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            result += u"\r\n"_s;
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::optional<QString> editorText(const QCommandLineParser &parser, CliContext &context, int *status)
{
    const bool inline_ = parser.isSet(u"text"_s);
    const bool file = parser.isSet(u"text-file"_s);
    if (inline_ == file) {
        context.err << u"Give either --text or --text-file."_s << Qt::endl;
        *status = ExitUsage;
        return std::nullopt;
    }
    if (inline_)
        return parser.value(u"text"_s);

    const QString path = parser.value(u"text-file"_s);
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        context.err << u"Cannot read %1: %2"_s.arg(path, input.errorString()) << Qt::endl;
        *status = ExitFailure;
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(input.readAll());
    if (utf8.hasError()) {
        context.err << u"%1 is not UTF-8 text."_s.arg(path) << Qt::endl;
        *status = ExitFailure;
        return std::nullopt;
    }
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return withCrLf(text);
}
