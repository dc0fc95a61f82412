#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/blockarguments.h"

#include "editor/windowresize.h"
#include "store/database.h"
#include "store/numbers.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

std::optional<ResizeKey> keyNamed(const QString &word)
{
    const QString name = word.toLower();
    if (name == u"left")
        return ResizeKey::Left;
    if (name == u"right")
        return ResizeKey::Right;
    if (name == u"up")
        return ResizeKey::Up;
    if (name == u"down")
        return ResizeKey::Down;
    return std::nullopt;
}

JsonLine &addSize(JsonLine &line, const char *key, const QString &value)
{
    const auto number = parseInt16(value);
    return number ? line.add(key, int(*number)) : line.addNull(key);
}

} // namespace

int runResize(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 4, -1))
        return ExitUsage;
    const QStringList words = parser.positionalArguments();
    const auto block = blockFromArguments(context, words.mid(0, 3));
    if (!block)
        return block.status();
    std::vector<ResizeKey> keys;
    for (const QString &word : words.mid(3)) {
        const auto key = keyNamed(word);
        if (!key)
            return context.usage(u"Unknown key %1: use left, right, up or down."_s.arg(word));
        keys.push_back(*key);
    }

    Database db;
    const auto found = readPreviewBlock(db, context, *block);
    if (!found)
        return found.status();

    // Each key does what Alt and that arrow do in the editor; the statements
    // stand or fall together.
    QString width = found->width;
    QString height = found->height;
    if (const Result<Done> begun = db.begin(); !begun)
        return context.fail(begun.error().message);
    for (ResizeKey key : keys) {
        const WindowResize resized = resizeWindow(*block, width, height, key);
        if (resized.statement.isEmpty())
            continue;
        if (const Result<QVariant> stored = db.execute(resized.statement); !stored) {
            const QString why = stored.error().message;
            db.abandon();
            return context.fail(u"The new size could not be stored: %1"_s.arg(why));
        }
        width = resized.width;
        height = resized.height;
    }
    if (const Result<Done> committed = db.commit(); !committed) {
        const Stop stop = context.fail(committed.error().message);
        db.abandon();
        return stop;
    }
    JsonLine line;
    addSize(line, "width", width);
    addSize(line, "height", height);
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}
