#include "bench/importedstore.h"

#include "bench/bench.h"
#include "scripts/originalimport.h"
#include "store/database.h"
#include "store/layout.h"

#include <QHash>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A store in mid-work: translators go script by script, so half the scripts
// are done, a fifth are half done and the rest untouched, about 60 % of the
// blocks in all; a third of the translated blocks are revised and one block
// in seventeen has a comment. The script's number (the digits before ".txt")
// decides, so every run marks the same blocks.
Result<Done> translateLikeATranslator(Database &db)
{
    const QString script = u"CAST(substr(file_name, -7, 3) AS INTEGER) % 10"_s;
    for (const QString &table : ScriptTables::all) {
        const QString statements[] = {
            u"UPDATE %1 SET translated = 1, text_data_t = text_data WHERE %2 < 5 OR (%2 < 7 AND dialogue_id < 28);"_s,
            u"UPDATE %1 SET revised = 1 WHERE translated = 1 AND dialogue_id % 3 = 0;"_s,
            u"UPDATE %1 SET comments = 'Check the name with the team.' WHERE dialogue_id % 17 = 5;"_s,
        };
        for (const QString &statement : statements) {
            if (const Result<QVariant> ran = db.execute(QString(statement).replace(u"%1"_s, table).replace(u"%2"_s, script));
                !ran)
                return ran.error();
        }
    }
    return Done{};
}

// A glossary holding the words the corpus uses, so that marking and hovering
// find links as they would in a real block.
Result<Done> addLinks(Database &db)
{
    static const char *const corpusWords[] = {"the", "key", "gate", "open", "late", "find", "you", "tomorrow", "sir",
                                              "wait", "here", "there", "gold", "sword", "coffee", "north", "road",
                                              "what", "why", "angel", "fight", "again", "rest", "inn", "all", "truck",
                                              "see", "Brassvale", "friend"};
    if (Result<Done> begun = db.begin(); !begun)
        return begun;
    for (const char *word : corpusWords) {
        if (const Result<QVariant> ran =
                db.execute(u"INSERT INTO suggestion VALUES ('%1', '%1-es', '', '', '', '', '')"_s.arg(QLatin1StringView(word)));
            !ran)
            return ran.error();
    }
    return db.commit();
}

} // namespace

bool importCorpus(BenchContext &ctx, const QString &path, Database &db)
{
    const Result<Done> made = createStore(path);
    const Result<Done> opened = made ? openStore(db, path) : made;
    if (!opened) {
        ctx.fail(opened.error().message);
        return false;
    }
    ProgressPacer pacer(nullptr);
    const OriginalImport::Result result = OriginalImport::Importer(db, ctx.corpus, pacer).run();
    if (!result || result->blocks == 0) {
        ctx.fail(result ? u"no script files under --corpus (make one with tallowpen-gencorpus)"_s : result.error().message);
        return false;
    }
    return true;
}

QString importedStore(BenchContext &ctx)
{
    static QHash<QString, std::shared_ptr<QTemporaryDir>> stores;
    if (auto it = stores.constFind(ctx.corpus); it != stores.constEnd())
        return (*it)->filePath(StoreFileName);

    auto dir = std::make_shared<QTemporaryDir>();
    const QString path = dir->filePath(StoreFileName);
    Database db;
    if (!importCorpus(ctx, path, db))
        return {};
    Result<Done> filled = translateLikeATranslator(db);
    if (filled)
        filled = addLinks(db);
    if (!filled) {
        ctx.fail(filled.error().message);
        return {};
    }
    stores.insert(ctx.corpus, dir);
    return path;
}
