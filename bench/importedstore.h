#pragma once

#include <QString>

class BenchContext;

// A store holding the whole corpus, imported once per corpus and run of the
// runner and then shared by the cases that only read it (a third of its
// blocks marked translated). Empty, after ctx.fail(), when it cannot be made.
QString importedStore(BenchContext &ctx);
