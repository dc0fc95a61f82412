#pragma once

#include <QString>

class BenchContext;

// A store holding the whole corpus, imported once per corpus and run of the
// runner and then shared by the cases that only read it: about 60 % of its
// blocks translated, script by script, with revised marks, comments and word
// links. Empty, after ctx.fail(), when it cannot be made.
QString importedStore(BenchContext &ctx);
