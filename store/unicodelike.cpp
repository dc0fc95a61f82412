#include "store/unicodelike.h"

#include <QChar>
#include <QList>

#include <sqlite3.h>

#include <vector>

namespace {

// Markers outside the Unicode range stand for the two wildcards once a
// pattern is compiled, so an escaped % or _ stays a plain character.
constexpr char32_t AnyRun = 0x110000;
constexpr char32_t AnyOne = 0x110001;
constexpr char32_t Invalid = 0xFFFD;

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// SQLite hands text over as UTF-8; invalid sequences become U+FFFD and never
// stop the walk.
template<typename Sink>
void decodeUtf8(const unsigned char *s, int n, Sink &&sink)
{
    int i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        char32_t c = Invalid;
        int extra = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        }
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= n || (s[i] & 0xC0) != 0x80) {
                c = Invalid;
                break;
            }
            c = (c << 6) | (s[i] & 0x3F);
        }
        sink(c);
    }
}

// The compiled pattern: folded characters and wildcard markers.
using Pattern = std::vector<char32_t>;

template<typename Range>
Pattern compile(const Range &characters, char32_t escape)
{
    Pattern out;
    bool escaped = false;
    for (char32_t c : characters) {
        if (escaped) {
            out.push_back(fold(c));
            escaped = false;
        } else if (escape != 0 && c == escape) {
            escaped = true;
        } else if (c == u'%') {
            if (out.empty() || out.back() != AnyRun)
                out.push_back(AnyRun);
        } else if (c == u'_') {
            out.push_back(AnyOne);
        } else {
            out.push_back(fold(c));
        }
    }
    return out;
}

bool onlyAnyRun(const Pattern &p)
{
    return p.size() == 1 && p[0] == AnyRun;
}

// Greedy walk with one back-track point: on a mismatch after a %, that %
// swallows one more character and the rest of the pattern is tried again.
bool match(const Pattern &p, const std::vector<char32_t> &s)
{
    size_t pi = 0, si = 0;
    size_t star = size_t(-1), mark = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == AnyOne || p[pi] == s[si])) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == AnyRun) {
            star = pi++;
            mark = si;
        } else if (star != size_t(-1)) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == AnyRun)
        ++pi;
    return pi == p.size();
}

void deletePattern(void *p)
{
    delete static_cast<Pattern *>(p);
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    char32_t escape = 0;
    if (argc == 3) {
        const auto *e = sqlite3_value_text(argv[2]);
        std::vector<char32_t> chars;
        decodeUtf8(e, sqlite3_value_bytes(argv[2]), [&chars](char32_t c) { chars.push_back(c); });
        if (chars.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = chars[0];
    }

    // like(X, Y) is "Y LIKE X": the pattern comes first. The pattern is the
    // same for every row of a search, so it is compiled once and kept with
    // the statement.
    auto *pattern = static_cast<Pattern *>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        std::vector<char32_t> chars;
        decodeUtf8(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]),
                   [&chars](char32_t c) { chars.push_back(c); });
        auto *compiled = new Pattern(compile(chars, escape));
        sqlite3_set_auxdata(context, 0, compiled, deletePattern);
        pattern = static_cast<Pattern *>(sqlite3_get_auxdata(context, 0));
        if (!pattern) { // SQLite could not keep it and has deleted it
            Pattern once = compile(chars, escape);
            std::vector<char32_t> text;
            decodeUtf8(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]),
                       [&text](char32_t c) { text.push_back(fold(c)); });
            sqlite3_result_int(context, match(once, text) ? 1 : 0);
            return;
        }
    }
    if (onlyAnyRun(*pattern)) {
        sqlite3_result_int(context, 1);
        return;
    }
    thread_local std::vector<char32_t> text;
    text.clear();
    decodeUtf8(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]),
               [](char32_t c) { text.push_back(fold(c)); });
    sqlite3_result_int(context, match(*pattern, text) ? 1 : 0);
}

} // namespace

int installUnicodeLike(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    return rc;
}

QString unicodeLikeFolded(const QString &text)
{
    std::vector<char32_t> folded;
    folded.reserve(size_t(text.size()));
    for (const uint c : text.toUcs4())
        folded.push_back(fold(char32_t(c)));
    return QString::fromUcs4(folded.data(), qsizetype(folded.size()));
}
