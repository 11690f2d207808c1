// The server's text rules on an embedded connection: the compare rule (case and trailing blanks
// ignored), LIKE with the server's patterns, and the text functions LEN, CHARINDEX, REPLACE,
// PATINDEX, LEFT, RIGHT and REPLICATE.
#include "platform/ado/sqlite_rules.h"

#include <QChar>

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <vector>

namespace ado::sqlite::rules {

namespace {

size_t TrimmedLength(const char* s, size_t n) {
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
    const unsigned char c = s[i];
    if (c < 0x80) { ++i; return c; }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    ++i;
    while (extra-- > 0 && i < n && (s[i] & 0xC0) == 0x80) cp = (cp << 6) | (s[i++] & 0x3F);
    return cp;
}

char32_t Fold(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// The characters of a UTF-8 text.
std::u32string Chars(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t i = 0;
    while (i < s.size()) out.push_back(DecodeUtf8(p, s.size(), i));
    return out;
}

// ---------------------------------------------------------------------------------------------
// LIKE with the server's patterns.

struct PatternItem {
    enum Kind { Char, One, Any, Set } kind = Char;
    char32_t c = 0;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<PatternItem> CompilePattern(const std::u32string& p, char32_t escape, bool hasEscape) {
    std::vector<PatternItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        PatternItem item;
        const char32_t c = p[i];
        if (hasEscape && c == escape && i + 1 < p.size()) {
            item.c = Fold(p[++i]);
        } else if (c == U'%') {
            item.kind = PatternItem::Any;
        } else if (c == U'_') {
            item.kind = PatternItem::One;
        } else if (c == U'[') {
            size_t j = i + 1;
            PatternItem set;
            set.kind = PatternItem::Set;
            if (j < p.size() && p[j] == U'^') {
                set.negate = true;
                ++j;
            }
            bool closed = false;
            for (; j < p.size(); ++j) {
                if (p[j] == U']' && (j > i + 1 + (set.negate ? 1 : 0))) {
                    closed = true;
                    break;
                }
                char32_t lo = p[j];
                if (hasEscape && lo == escape && j + 1 < p.size()) lo = p[++j];
                char32_t hi = lo;
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    hi = p[j + 2];
                    j += 2;
                }
                set.ranges.emplace_back(Fold(lo), Fold(hi));
            }
            if (closed) {
                items.push_back(std::move(set));
                i = j;
                continue;
            }
            item.c = U'[';   // no closing bracket: the bracket itself
        } else {
            item.c = Fold(c);
        }
        items.push_back(std::move(item));
    }
    return items;
}

bool MatchesOne(const PatternItem& item, char32_t c) {
    switch (item.kind) {
    case PatternItem::Char: return item.c == c;
    case PatternItem::One: return true;
    case PatternItem::Set: {
        bool in = false;
        for (const auto& [lo, hi] : item.ranges) in = in || (c >= lo && c <= hi);
        return in != item.negate;
    }
    case PatternItem::Any: return false;
    }
    return false;
}

bool Match(const std::vector<PatternItem>& items, const std::u32string& v, size_t n) {
    size_t p = 0, i = 0, starP = SIZE_MAX, starI = 0;
    while (i < n) {
        if (p < items.size() && items[p].kind == PatternItem::Any) {
            starP = p++;
            starI = i;
        } else if (p < items.size() && MatchesOne(items[p], v[i])) {
            ++p;
            ++i;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    assert(n <= v.size() && p <= items.size());
    while (p < items.size() && items[p].kind == PatternItem::Any) ++p;
    return p == items.size();
}

template <bool left>
void FnLeftRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const int64_t n = IntegerOf(FromSqlite(argv[1]), "int");
        if (n < 0) {
            ThrowServerError(native::kBadLength, QStringLiteral("Invalid length parameter passed to the %1 function.")
                                      .arg(left ? QStringLiteral("left") : QStringLiteral("right")));
        }
        const std::string_view s = TextOf(argv[0]);
        const int64_t count = CharCount(s);
        const std::string_view part = left ? s.substr(0, CharOffset(s, n)) : s.substr(CharOffset(s, std::max<int64_t>(0, count - n)));
        sqlite3_result_text(ctx, part.data(), static_cast<int>(part.size()), SQLITE_TRANSIENT);
    });
}

}  // namespace

// Case and trailing blanks ignored, as the server's collation.
int CompareText(const unsigned char* a, size_t n1, const unsigned char* b, size_t n2) {
    // Where the two are the same bytes they compare equal: the comparison starts after that run
    // (at the start of its last character), which is where keys met in an index mostly end.
    size_t same = 0;
    const size_t shorter = std::min(n1, n2);
    while (same < shorter && a[same] == b[same]) ++same;
    if (same == n1 && same == n2) return 0;
    while (same > 0 && ((same < n1 && (a[same] & 0xC0) == 0x80) || (same < n2 && (b[same] & 0xC0) == 0x80))) --same;
    assert(same <= shorter);
    const size_t la = TrimmedLength(reinterpret_cast<const char*>(a), n1);
    const size_t lb = TrimmedLength(reinterpret_cast<const char*>(b), n2);
    // A run that takes in one side's last character leaves blanks or nothing of it: past its
    // end both stand where the comparison of the characters would end.
    size_t i = same, j = same;
    while (i < la && j < lb) {
        const unsigned char ca = a[i], cb = b[j];
        if (ca < 0x80 && cb < 0x80) {
            const unsigned char ua = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
            const unsigned char ub = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
            if (ua != ub) return ua < ub ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t xa = QChar::toCaseFolded(DecodeUtf8(a, la, i));
        const char32_t xb = QChar::toCaseFolded(DecodeUtf8(b, lb, j));
        if (xa != xb) return xa < xb ? -1 : 1;
    }
    if (i < la) return 1;
    if (j < lb) return -1;
    return 0;
}

int CollateText(void*, int n1, const void* p1, int n2, const void* p2) {
    return CompareText(static_cast<const unsigned char*>(p1), static_cast<size_t>(n1), static_cast<const unsigned char*>(p2),
                       static_cast<size_t>(n2));
}

// The byte offset of character `count` of a UTF-8 text (its size when shorter).
size_t CharOffset(std::string_view s, int64_t count) {
    size_t i = 0;
    for (int64_t c = 0; c < count && i < s.size(); ++c) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    assert(i <= s.size());
    return i;
}

int64_t CharCount(std::string_view s) {
    int64_t n = 0;
    for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

void FnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    Guard(ctx, [&] {
        const auto text = [](sqlite3_value* v) {
            const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            return std::string_view(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v)));
        };
        char32_t escape = 0;
        const bool hasEscape = argc == 3;
        if (hasEscape) {
            const std::u32string e = Chars(text(argv[2]));
            if (e.size() != 1) {
                ThrowServerError(native::kBadEscape, QStringLiteral("The invalid escape character \"%1\" was specified in a LIKE predicate.")
                                          .arg(Q(text(argv[2]))));
            }
            escape = e[0];
        }
        const std::vector<PatternItem> items = CompilePattern(Chars(text(argv[0])), escape, hasEscape);
        std::u32string value = Chars(text(argv[1]));
        for (char32_t& c : value) c = Fold(c);
        // Trailing blanks of the value are ignored; the pattern's count.
        bool hit = Match(items, value, value.size());
        if (!hit) {
            size_t n = value.size();
            while (n > 0 && value[n - 1] == U' ') --n;
            if (n != value.size()) hit = Match(items, value, n);
        }
        sqlite3_result_int(ctx, hit ? 1 : 0);
    });
}

void FnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    const std::string_view s = TextOf(argv[0]);
    sqlite3_result_int64(ctx, CharCount(s.substr(0, TrimmedLength(s.data(), s.size()))));
}

void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString needle = Q(TextOf(argv[0]));
    const QString hay = Q(TextOf(argv[1]));
    qsizetype from = 0;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) from = std::max<sqlite3_int64>(1, sqlite3_value_int64(argv[2])) - 1;
    if (needle.isEmpty()) { sqlite3_result_int(ctx, 0); return; }
    const qsizetype at = hay.indexOf(needle, from, Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

// REPLACE finds the pattern under the collation (case ignored) and puts the replacement in as it
// is written.
void FnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    const std::string_view text = TextOf(argv[0]);
    const QString find = Q(TextOf(argv[1]));
    if (find.isEmpty()) {
        sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return;
    }
    QString out = Q(text);
    out.replace(find, Q(TextOf(argv[2])), Qt::CaseInsensitive);
    const QByteArray bytes = out.toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// PATINDEX('%pattern%', text): where the first match of a LIKE pattern starts (1 on), 0 when none.
void FnPatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    std::vector<PatternItem> items = CompilePattern(Chars(TextOf(argv[0])), 0, false);
    std::u32string value = Chars(TextOf(argv[1]));
    for (char32_t& c : value) c = Fold(c);
    // A pattern that opens with % may start anywhere; one that does not, only at the start.
    const bool anywhere = !items.empty() && items.front().kind == PatternItem::Any;
    if (anywhere) items.erase(items.begin());
    const size_t last = anywhere ? value.size() : 0;
    for (size_t at = 0; at <= last && at <= value.size(); ++at) {
        const std::u32string rest = value.substr(at);
        if (Match(items, rest, rest.size())) {
            sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(at) + 1);
            return;
        }
    }
    sqlite3_result_int64(ctx, 0);
}

void FnLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnLeftRight<true>(ctx, argc, argv); }
void FnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnLeftRight<false>(ctx, argc, argv); }

void FnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const int64_t n = IntegerOf(FromSqlite(argv[1]), "int");
        if (n < 0) { sqlite3_result_null(ctx); return; }
        const std::string_view s = TextOf(argv[0]);
        std::string out;
        const int64_t each = std::max<int64_t>(1, CharCount(s));
        const int64_t times = std::min<int64_t>(n, 8000 / each);   // the server's varchar holds 8000
        out.reserve(static_cast<size_t>(times) * s.size());
        for (int64_t i = 0; i < times; ++i) out.append(s);
        sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
    });
}

}  // namespace ado::sqlite::rules
