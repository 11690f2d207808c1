#pragma once
// The one scanner of the embedded provider's SQL texts, and the one table of the words it knows.
// Internal to the ado layer.
//
// Two dialects share the scanner: the server's (what the program writes: @variables, #temporary
// tables, N'...' texts, [bracketed] names) and SQLite's (what the translation gives: `quoted`
// names, 0x numbers, x'...' blobs, ? : @ $ as parameters). Every translation rule, the shape
// lifting and the literal lifting read the tokens it gives and the roles the table gives a word.
//
//   for (uint32_t i = 0; i < s.size();) {
//       const tsql::Tok t = tsql::NextToken(s, i, tsql::Dialect::Sqlite);
//       if (t.kind == tsql::Kind::Word && tsql::HasRole(tsql::TokenText(s, t), tsql::kStatementStart)) ...
//       i = t.e;
//   }
#include <array>
#include <cassert>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ado::tsql {

enum class Kind : uint8_t { Space, Word, Quoted, String, Number, Punct };

// One token: its kind and its bytes [b, e) in the text. Space stands for blanks and comments.
// In the SQLite dialect a blob x'...' is a String that starts with its x.
struct Tok {
    Kind kind;
    uint32_t b, e;
};

enum class Dialect : uint8_t { TSql, Sqlite };

// The classes of characters, by byte, whatever the process's locale.
enum : uint8_t { kWordStart = 1, kWordChar = 2, kDigit = 4, kBlank = 8, kSqlWordStart = 16, kSqlWordChar = 32 };
extern const std::array<uint8_t, 256> kClasses;
inline bool IsWordStart(unsigned char c) { return kClasses[c] & kWordStart; }
inline bool IsWordChar(unsigned char c) { return kClasses[c] & kWordChar; }
inline bool IsDigit(unsigned char c) { return kClasses[c] & kDigit; }
inline bool IsBlank(unsigned char c) { return kClasses[c] & kBlank; }
inline char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

// The token that starts at byte i (i < s.size()): NextTokenOf<dialect>(s, i), or
// NextToken(s, i, dialect), defined at the end of this file.
template <Dialect dialect>
Tok NextTokenOf(std::string_view s, uint32_t i);
inline Tok NextToken(std::string_view s, uint32_t i, Dialect dialect);
// Every token of the text, in order: their ranges cover it without gaps.
std::vector<Tok> Tokenize(std::string_view s, Dialect dialect = Dialect::TSql);

inline std::string_view TokenText(std::string_view s, const Tok& t) {
    assert(t.b <= t.e && t.e <= s.size());
    return s.substr(t.b, t.e - t.b);
}

// ---- the words ----------------------------------------------------------------------------
// What a word is to the rules that read it (case ignored). One word may have several roles.
enum Role : uint32_t {
    kStatementStart = 1u << 0,    // starts a statement of a batch (INSERT, SELECT, IF, PRINT, ...)
    kSessionSetting = 1u << 1,    // SET <word> ... is a session setting the embedded connection drops
    kNotOperand = 1u << 2,        // a keyword: never starts an operand of + - * / %
    kBeforeOperand = 1u << 3,     // a + or - after it is a sign, not arithmetic
    kEndsByList = 1u << 5,        // ends an ORDER BY or GROUP BY list (SQLite's text)
    kSchemaChange = 1u << 6,      // a statement it starts changes the schema (CREATE, ALTER, DROP)
    kTableConstraint = 1u << 7,   // starts a constraint, not a column, in a column list
    kTextType = 1u << 8,          // a text type of a column or conversion
    kDateType = 1u << 9,          // a date type of a column
    kDecimalType = 1u << 10,      // a decimal or money type of a column (held as floating values)
    kEndsAssignedValue = 1u << 11,  // ends a value of SELECT @x = value
    kEndsSelectList = 1u << 12,   // ends the list of a SELECT
    kPlainDml = 1u << 13,         // starts a statement that reads or writes rows (SELECT, INSERT, UPDATE, DELETE)
};

// The roles of a word; 0 for a word the table does not hold.
uint32_t RolesOf(std::string_view word);
inline bool HasRole(std::string_view word, Role role) { return (RolesOf(word) & role) != 0; }
// The roles of the first word of a text (after blanks and comments); 0 when it starts otherwise.
uint32_t FirstWordRoles(std::string_view sql, Dialect dialect = Dialect::Sqlite);

// ---- the scanner, inline: it runs over every statement the provider is given --------------

namespace detail {

inline bool Has(unsigned char c, uint8_t cls) { return (kClasses[c] & cls) != 0; }

// The end of a run quoted by `close` that opens at i: a doubled closing character stays inside.
inline uint32_t QuotedEnd(std::string_view s, uint32_t i, char close) {
    const uint32_t n = static_cast<uint32_t>(s.size());
    for (++i; i < n; ++i) {
        if (s[i] != close) continue;
        if (i + 1 < n && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return n;
}

inline uint32_t NumberEnd(std::string_view s, uint32_t i, Dialect dialect) {
    const uint32_t n = static_cast<uint32_t>(s.size());
    auto digit = [&](uint32_t k) { return k < n && IsDigit(static_cast<unsigned char>(s[k])); };
    if (dialect == Dialect::Sqlite && s[i] == '0' && i + 1 < n && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;   // hexadecimal
        while (i < n && (digit(i) || ((s[i] | 0x20) >= 'a' && (s[i] | 0x20) <= 'f'))) ++i;
        return i;
    }
    while (i < n && (digit(i) || s[i] == '.')) ++i;
    if (i >= n || (s[i] != 'e' && s[i] != 'E')) return i;
    if (dialect == Dialect::TSql) {
        if (i + 1 < n && (digit(i + 1) || s[i + 1] == '-' || s[i + 1] == '+')) {
            i += 2;
            while (digit(i)) ++i;
        }
        return i;
    }
    uint32_t k = i + 1;   // SQLite's: an exponent has digits
    if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
    if (!digit(k)) return i;
    while (digit(k)) ++k;
    return k;
}

inline Tok Comment(std::string_view s, uint32_t i) {
    const uint32_t n = static_cast<uint32_t>(s.size());
    const uint32_t b = i;
    if (s[i] == '-') {
        while (i < n && s[i] != '\n') ++i;
        return {Kind::Space, b, i};
    }
    i += 2;
    while (i + 1 < n && !(s[i] == '*' && s[i + 1] == '/')) ++i;
    return {Kind::Space, b, i + 2 <= n ? i + 2 : n};
}

}  // namespace detail

template <Dialect dialect>
[[gnu::always_inline]] inline Tok NextTokenOf(std::string_view s, uint32_t i) {
    const uint32_t n = static_cast<uint32_t>(s.size());
    assert(i < n);
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const uint32_t b = i;
    constexpr bool sqlite = dialect == Dialect::Sqlite;
    if (IsBlank(c)) {
        while (i < n && IsBlank(static_cast<unsigned char>(s[i]))) ++i;
        return {Kind::Space, b, i};
    }
    if ((c == '-' && i + 1 < n && s[i + 1] == '-') || (c == '/' && i + 1 < n && s[i + 1] == '*')) return detail::Comment(s, i);
    const bool prefixed = i + 1 < n && s[i + 1] == '\'' && (sqlite ? (c == 'x' || c == 'X') : (c == 'N' || c == 'n'));
    if (c == '\'' || prefixed) return {Kind::String, b, detail::QuotedEnd(s, prefixed ? i + 1 : i, '\'')};
    if (c == '[') return {Kind::Quoted, b, detail::QuotedEnd(s, i, ']')};
    if (c == '"' || (sqlite && c == '`')) return {Kind::Quoted, b, detail::QuotedEnd(s, i, static_cast<char>(c))};
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(static_cast<unsigned char>(s[i + 1])))) return {Kind::Number, b, detail::NumberEnd(s, i, dialect)};
    if (detail::Has(c, sqlite ? kSqlWordStart : kWordStart)) {
        const uint8_t cls = sqlite ? kSqlWordChar : kWordChar;
        while (i < n && detail::Has(static_cast<unsigned char>(s[i]), cls)) ++i;
        return {Kind::Word, b, i};
    }
    ++i;
    if (i < n && ((c == '<' && (s[i] == '=' || s[i] == '>')) || (c == '>' && s[i] == '=') ||
                  (c == '!' && (s[i] == '=' || s[i] == '<' || s[i] == '>')) || (c == '|' && s[i] == '|'))) {
        ++i;
    }
    return {Kind::Punct, b, i};
}



inline Tok NextToken(std::string_view s, uint32_t i, Dialect dialect) {
    return dialect == Dialect::Sqlite ? NextTokenOf<Dialect::Sqlite>(s, i) : NextTokenOf<Dialect::TSql>(s, i);
}

}  // namespace ado::tsql
