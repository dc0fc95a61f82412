#pragma once

#include "exchange/exchangeblock.h"

#include <vector>

using namespace Qt::StringLiterals;

// Blocks holding every kind of tag, apostrophes, accents, quotes, a
// backslash, line breaks at either end, empty and untranslated blocks,
// comments and chosen window sizes.
inline std::vector<ExchangeBlock> exchangeCorpus()
{
    return {
        {{u"battle_script"_s, u"b 1.txt"_s, 1}, {}, {}, {}, false, false, 24, 2},
        {{u"battle_script"_s, u"b 1.txt"_s, 2}, u"Go!<&><End of Block>"_s, u"¡Ya!<&><End of Block>"_s, {}, true,
         true, 20, 1},
        {{u"field"_s, u"town's.txt"_s, -3}, u"<Pellan>\r\nDon't \"go\" north\\ at 5<*>.<Wait><New Page>Sure?<End of Block>"_s,
         u"<Pellan>\r\nNo \"vayas\" al norte\\ a las 5<*>.<Wait><New Page>¿Seguro?<End of Block>"_s,
         u"a comment,\r\nover two lines"_s, true, false, 30, 3},
        {{u"field"_s, u"town's.txt"_s, 4}, u"<Delay 12>Wait<Opcode 3>... <UNKNOWN 7> <Extra1> 1 < 2</><...>"_s, {},
         u"unclosed < stays text"_s, false, false, 24, 2},
        {{u"field"_s, u"town's.txt"_s, 5}, u"Line one\r\nline two\r\n"_s, u"Línea uno\r\nlínea dos"_s, {}, true, true,
         56, 2},
        {{u"field"_s, u"town's.txt"_s, 32767}, u"\r\nStarts low.<Close>"_s, u"\r\nEmpieza abajo.<Close>"_s, {}, true,
         true, 24, 2},
    };
}
