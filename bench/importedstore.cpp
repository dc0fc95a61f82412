#include "bench/importedstore.h"

#include "bench/bench.h"
#include "scripts/originalimport.h"
#include "store/database.h"
#include "store/layout.h"

#include <QHash>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

QString importedStore(BenchContext &ctx)
{
    static QHash<QString, std::shared_ptr<QTemporaryDir>> stores;
    if (auto it = stores.constFind(ctx.corpus); it != stores.constEnd())
        return (*it)->filePath(StoreFileName);

    auto dir = std::make_shared<QTemporaryDir>();
    const QString path = dir->filePath(StoreFileName);
    StoreError error;
    Database db;
    if (!createStore(path, &error) || !openStore(db, path)) {
        ctx.fail(error.message.isEmpty() ? db.lastError().message : error.message);
        return {};
    }
    ProgressPacer pacer(nullptr);
    const OriginalImport::Result result = OriginalImport::Importer(db, ctx.corpus, pacer).run();
    if (!result.ok || result.blocks == 0) {
        ctx.fail(result.ok ? u"no script files under --corpus (make one with tallowpen-gencorpus)"_s : result.message);
        return {};
    }
    for (const QString &table : ScriptTables::all) {
        if (!db.execute(u"UPDATE "_s + table + u" SET translated = 1, text_data_t = text_data WHERE rowid % 3 = 0;"_s)) {
            ctx.fail(db.lastError().message);
            return {};
        }
    }
    stores.insert(ctx.corpus, dir);
    return path;
}
