#include "cli/textinput.h"

#include "files/safefile.h"

#include <QCommandLineParser>
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

OrStop<QString> editorText(const QCommandLineParser &parser, CliContext &context)
{
    const bool inline_ = parser.isSet(u"text"_s);
    if (inline_ == parser.isSet(u"text-file"_s))
        return context.usage(u"Give either --text or --text-file."_s);
    if (inline_)
        return withCrLf(parser.value(u"text"_s));
    return readEditorTextFile(context, parser.value(u"text-file"_s));
}

OrStop<QString> readEditorTextFile(CliContext &context, const QString &path)
{
    const Result<QByteArray> read = SafeFile::readRegular(path);
    if (!read)
        return context.fail(u"Cannot read %1: %2"_s.arg(path, read.error().message));
    const QByteArray &bytes = *read;
    // A NUL cannot travel inside a statement's text: refused here, where its place can be named.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        const qsizetype lineStart = bytes.lastIndexOf('\n', nul) + 1;
        return context.fail(u"%1, line %2, column %3 (byte %4): a NUL (zero) byte, which no text of a block can "
                            "hold. Remove it and try again; nothing was saved."_s.arg(path)
                                .arg(bytes.left(nul).count('\n') + 1)
                                .arg(QString::fromUtf8(bytes.mid(lineStart, nul - lineStart)).size() + 1)
                                .arg(nul + 1));
    }
    // Decoded line by line so that a bad byte can be reported with its line.
    const QList<QByteArray> lines = bytes.split('\n');
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(lines[i]);
        if (decoder.hasError())
            return context.fail(u"%1, line %2: not UTF-8 text."_s.arg(path).arg(i + 1));
        if (i > 0)
            text += u'\n';
        text += line;
    }
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return withCrLf(text);
}
