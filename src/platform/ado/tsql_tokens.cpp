#include "platform/ado/tsql_tokens.h"

#include <algorithm>
#include <unordered_map>

namespace ado::tsql {

const std::array<uint8_t, 256> kClasses = [] {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
        const bool start = letter || c == '@' || c == '#';
        const bool digit = c >= '0' && c <= '9';
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
        t[static_cast<size_t>(c)] =
            static_cast<uint8_t>((start ? kWordStart : 0) | (start || digit || c == '$' ? kWordChar : 0) | (digit ? kDigit : 0) |
                                 (blank ? kBlank : 0) | (letter ? kSqlWordStart : 0) | (letter || digit || c == '$' ? kSqlWordChar : 0));
    }
    return t;
}();

std::vector<Tok> Tokenize(std::string_view s, Dialect dialect) {
    std::vector<Tok> out;
    out.reserve(s.size() / 3 + 4);
    for (uint32_t i = 0; i < s.size();) {
        out.push_back(dialect == Dialect::Sqlite ? NextTokenOf<Dialect::Sqlite>(s, i) : NextTokenOf<Dialect::TSql>(s, i));
        assert(out.back().e > i);
        i = out.back().e;
    }
    return out;
}

namespace {

struct Entry {
    const char* word;
    uint32_t roles;
};

// Every word a rule reads by its role, upper case.
constexpr uint32_t kStmtNot = kStatementStart | kNotOperand;
const Entry kWords[] = {
    {"INSERT", kStmtNot | kPlainDml}, {"UPDATE", kStmtNot | kPlainDml}, {"DELETE", kStmtNot | kPlainDml},
    {"SELECT", kStmtNot | kBeforeOperand | kEndsByList | kPlainDml}, {"WITH", kNotOperand | kPlainDml},
    {"TRUNCATE", kStatementStart}, {"EXEC", kStatementStart}, {"EXECUTE", kStatementStart}, {"IF", kStmtNot},
    {"CREATE", kStmtNot | kSchemaChange}, {"DROP", kStmtNot | kSchemaChange}, {"ALTER", kStmtNot | kSchemaChange},
    {"DECLARE", kStatementStart}, {"BEGIN", kStmtNot}, {"COMMIT", kStmtNot}, {"ROLLBACK", kStmtNot}, {"GO", kStatementStart},
    {"PRINT", kStatementStart},
    {"NOCOUNT", kSessionSetting}, {"ANSI_NULLS", kSessionSetting}, {"ANSI_WARNINGS", kSessionSetting},
    {"ANSI_PADDING", kSessionSetting}, {"QUOTED_IDENTIFIER", kSessionSetting}, {"DATEFORMAT", kSessionSetting},
    {"XACT_ABORT", kSessionSetting}, {"ARITHABORT", kSessionSetting}, {"TRANSACTION", kSessionSetting | kNotOperand},
    {"LANGUAGE", kSessionSetting}, {"CONCAT_NULL_YIELDS_NULL", kSessionSetting}, {"LOCK_TIMEOUT", kSessionSetting},
    {"DEADLOCK_PRIORITY", kSessionSetting},
    {"FROM", kNotOperand | kEndsByList | kEndsAssignedValue | kEndsSelectList},
    {"WHERE", kNotOperand | kBeforeOperand | kEndsByList | kEndsAssignedValue | kEndsSelectList},
    {"AND", kNotOperand | kBeforeOperand}, {"OR", kNotOperand | kBeforeOperand}, {"NOT", kNotOperand}, {"AS", kNotOperand},
    {"ON", kNotOperand | kEndsByList}, {"JOIN", kNotOperand}, {"INNER", kNotOperand}, {"OUTER", kNotOperand},
    {"CROSS", kNotOperand}, {"NATURAL", kNotOperand}, {"LEFT", kNotOperand}, {"RIGHT", kNotOperand}, {"FULL", kNotOperand},
    {"GROUP", kNotOperand | kEndsAssignedValue | kEndsSelectList}, {"BY", kNotOperand},
    {"ORDER", kNotOperand | kEndsAssignedValue | kEndsSelectList},
    {"HAVING", kNotOperand | kEndsByList | kEndsAssignedValue | kEndsSelectList},
    {"UNION", kNotOperand | kEndsByList | kEndsAssignedValue | kEndsSelectList},
    {"ALL", kNotOperand | kBeforeOperand}, {"EXCEPT", kNotOperand | kEndsByList | kEndsSelectList},
    {"INTERSECT", kNotOperand | kEndsByList | kEndsSelectList}, {"DISTINCT", kNotOperand | kBeforeOperand},
    {"INTO", kNotOperand}, {"VALUES", kNotOperand | kEndsByList}, {"SET", kNotOperand | kEndsByList},
    {"WHEN", kNotOperand | kBeforeOperand}, {"THEN", kNotOperand | kBeforeOperand}, {"ELSE", kNotOperand | kBeforeOperand},
    {"END", kNotOperand}, {"IS", kNotOperand}, {"IN", kNotOperand}, {"LIKE", kNotOperand}, {"GLOB", kNotOperand},
    {"BETWEEN", kNotOperand}, {"ESCAPE", kNotOperand}, {"EXISTS", kNotOperand}, {"ASC", kNotOperand}, {"DESC", kNotOperand},
    {"LIMIT", kNotOperand | kEndsByList | kEndsSelectList}, {"OFFSET", kNotOperand}, {"COLLATE", kNotOperand},
    {"TABLE", kNotOperand}, {"VIEW", kNotOperand}, {"INDEX", kNotOperand | kTableConstraint}, {"ADD", kNotOperand},
    {"PRIMARY", kNotOperand | kTableConstraint}, {"KEY", kNotOperand}, {"UNIQUE", kNotOperand | kTableConstraint},
    {"CHECK", kNotOperand | kTableConstraint}, {"DEFAULT", kNotOperand}, {"CONSTRAINT", kNotOperand | kTableConstraint},
    {"REFERENCES", kNotOperand}, {"FOREIGN", kNotOperand | kTableConstraint}, {"COLUMN", kTableConstraint},
    {"OVER", kNotOperand}, {"PARTITION", kNotOperand}, {"USING", kNotOperand}, {"WINDOW", kEndsByList | kEndsSelectList},
    {"REPLACE", kNotOperand},
    {"CHAR", kTextType}, {"VARCHAR", kTextType}, {"NCHAR", kTextType}, {"NVARCHAR", kTextType}, {"TEXT", kTextType},
    {"NTEXT", kTextType}, {"SYSNAME", kTextType},
    {"DATETIME", kDateType}, {"SMALLDATETIME", kDateType}, {"DATE", kDateType}, {"DATETIME2", kDateType},
    {"DECIMAL", kDecimalType}, {"NUMERIC", kDecimalType}, {"MONEY", kDecimalType}, {"SMALLMONEY", kDecimalType},
};

constexpr size_t kLongestWord = 24;

const std::unordered_map<std::string_view, uint32_t>& Table() {
    static const auto* table = [] {
        auto* t = new std::unordered_map<std::string_view, uint32_t>();
        for (const Entry& e : kWords) {
            assert(std::string_view(e.word).size() <= kLongestWord);
            (*t)[e.word] |= e.roles;
        }
        return t;
    }();
    return *table;
}

}  // namespace

uint32_t RolesOf(std::string_view word) {
    if (word.empty() || word.size() > kLongestWord) return 0;
    char upper[kLongestWord];
    for (size_t i = 0; i < word.size(); ++i) upper[i] = Upper(word[i]);
    const auto& table = Table();
    const auto found = table.find(std::string_view(upper, word.size()));
    return found == table.end() ? 0 : found->second;
}

uint32_t FirstWordRoles(std::string_view sql, Dialect dialect) {
    for (uint32_t i = 0; i < sql.size();) {
        const Tok t = NextToken(sql, i, dialect);
        if (t.kind == Kind::Word) return RolesOf(TokenText(sql, t));
        if (t.kind != Kind::Space) return 0;
        i = t.e;
    }
    return 0;
}

}  // namespace ado::tsql
