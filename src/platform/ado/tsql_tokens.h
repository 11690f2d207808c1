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

// The token that starts at byte i (i < s.size()).
Tok NextToken(std::string_view s, uint32_t i, Dialect dialect);
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

}  // namespace ado::tsql
