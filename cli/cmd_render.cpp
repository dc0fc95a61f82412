#include "cli/commands.h"
#include "cli/blockarguments.h"
#include "cli/textinput.h"

#include "editor/preview.h"
#include "store/database.h"
#include "files/programfolder.h"
#include "files/safefile.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

OrStop<QImage> readImage(CliContext &context, const QString &path, const char *what)
{
    QImage image;
    if (!image.load(path))
        return context.fail(u"Cannot read the %1 image %2."_s.arg(QLatin1StringView(what), path));
    return image;
}

} // namespace

int runRender(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption blockOption(u"block"_s, u"The block TABLE FILE_NAME N (two more words follow)."_s,
                                         u"TABLE"_s);
    const QCommandLineOption sizeOption(u"size"_s, u"The window size WIDTH HEIGHT (one more word follows)."_s,
                                        u"WIDTH"_s);
    const QCommandLineOption textOption(u"text"_s, u"The text to draw."_s, u"TEXT"_s);
    const QCommandLineOption textFileOption(u"text-file"_s, u"A UTF-8 file holding the text to draw."_s, u"PATH"_s);
    const QCommandLineOption outOption(u"out"_s, u"The PNG file to write."_s, u"FILE"_s);
    const QCommandLineOption fontOption(u"font"_s, u"The font image (default: font/font.bmp)."_s, u"PATH"_s);
    const QCommandLineOption frameOption(u"frame"_s, u"A 64 x 8 frame-piece strip."_s, u"PATH"_s);
    parser.addOptions({blockOption, sizeOption, textOption, textFileOption, outOption, fontOption, frameOption});
    if (!parseCommandLine(parser, context, arguments, 1, 3))
        return ExitUsage;

    // The option's value is the first word; the rest stand as positionals.
    const QStringList rest = parser.positionalArguments();
    const bool byBlock = parser.isSet(blockOption);
    if (byBlock == parser.isSet(sizeOption) || (parser.isSet(textOption) && parser.isSet(textFileOption))
        || !parser.isSet(outOption) || rest.size() != (byBlock ? 2 : 1)) {
        return context.usage(u"Usage: render (--block TABLE FILE_NAME N | --size WIDTH HEIGHT) "
                             "[--text TEXT | --text-file PATH] --out FILE.png [--font PATH] [--frame PATH]"_s);
    }

    PreviewCanvas canvas;
    QString text;
    if (byBlock) {
        const auto block = blockFromArguments(context, QStringList{parser.value(blockOption)} + rest);
        if (!block)
            return block.status();
        Database db;
        const auto found = readPreviewBlock(db, context, *block);
        if (!found)
            return found.status();
        canvas.currentWidth = found->width;
        canvas.currentHeight = found->height;
        text = found->translation;
    } else {
        canvas.currentWidth = parser.value(sizeOption);
        canvas.currentHeight = rest.first();
    }
    if (parser.isSet(textOption)) {
        text = withCrLf(parser.value(textOption));
    } else if (parser.isSet(textFileOption)) {
        const auto read = readEditorTextFile(context, parser.value(textFileOption));
        if (!read)
            return read.status();
        text = *read;
    }

    const QString fontPath =
        parser.isSet(fontOption) ? parser.value(fontOption) : programPath(context.programFolder, u"font\\font.bmp"_s);
    const auto font = readImage(context, fontPath, "font");
    if (!font)
        return font.status();
    canvas.font = *font;
    if (parser.isSet(frameOption)) {
        const auto frame = readImage(context, parser.value(frameOption), "frame");
        if (!frame)
            return frame.status();
        if (frame->size() != QSize(64, 8)) {
            return context.fail(u"The frame image %1 is %2 x %3; a frame-piece strip is 64 x 8."_s
                                    .arg(parser.value(frameOption))
                                    .arg(frame->width())
                                    .arg(frame->height()));
        }
        canvas.frame = *frame;
    } else {
        canvas.frame = defaultFrameStrip();
        if (canvas.frame.isNull())
            return context.fail(u"The built-in frame strip is missing from this build; give one with --frame."_s);
    }

    clearPreview(canvas);
    showPreview(text, canvas);

    QByteArray png;
    QBuffer buffer(&png);
    QString why;
    if (!buffer.open(QIODevice::WriteOnly) || !canvas.surface.save(&buffer, "PNG"))
        why = u"the image could not be encoded"_s;
    // Like every file this program writes: whole or not at all, a regular file, never through a link.
    else if (const Result<Done> written = SafeFile::writeWhole(parser.value(outOption), png, context.programFolder))
        return ExitSuccess;
    else
        why = written.error().message;
    return context.fail(u"Cannot write %1: %2"_s.arg(parser.value(outOption), why));
}
