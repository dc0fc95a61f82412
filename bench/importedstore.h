#pragma once

#include <QString>

class BenchContext;
class Database;

// A new store at `path` holding the corpus's originals, open in `db`; false
// after ctx.fail().
bool importCorpus(BenchContext &ctx, const QString &path, Database &db);

// A store holding the whole corpus, imported once per corpus and run of the
// runner and then shared by the cases that only read it: about 60 % of its
// blocks translated, script by script, with revised marks, comments and word
// links. Empty, after ctx.fail(), when it cannot be made.
QString importedStore(BenchContext &ctx);
