#pragma once
// The translator of one batch: its statements (tsql.cpp), the token loop of an expression range
// and the rules it applies (tsql_expr.cpp), and the rules of words and calls (tsql_rules.cpp).
// Internal to the ado layer.
#include "platform/ado/tsql.h"
#include "platform/ado/tsql_internal.h"
#include "platform/ado/tsql_tokens.h"

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ado::tsql {

class Translator {
public:
    Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf);
    // Marks the shape's literals in the translation instead of writing them, and notes in
    // `checks` every lifted number whose fit into a column was asked.
    Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf, const Shape& shape,
               std::vector<NumberCheck>* checks);

    Batch run();

    // What statements write into: the table of INSERT ... VALUES and UPDATE ... SET, whose number
    // and date columns take their values as the server takes them.
    struct Target {
        enum Kind { None, Insert, Update } kind = None;
        TableColumns* columns = nullptr;
        const std::vector<const ColumnRule*>* list = nullptr;   // INSERT's column list, if it names one
        size_t clause = SIZE_MAX;     // the VALUES or SET word
        size_t clauseEnd = SIZE_MAX;  // UPDATE: the WHERE or FROM after the SET list
    };

    // What the token loop of one range [b, e) knows as it goes.
    struct Expr {
        size_t b = 0, e = 0;
        std::string out;
        std::vector<std::pair<int, std::string>> limits;   // (depth, n) of TOP n
        std::vector<int> ruleCloses;                        // depths at which a text function's call closes
        int depth = 0;                                      // of parentheses
        // Column definitions of CREATE TABLE (at depth 1) and ALTER TABLE ... ADD (depth 0).
        int columnDepth = -1;
        bool columnStart = false, expectType = false;
        std::string column;
        int defaultClose = -1;   // depth at which a DEFAULT call's wrapping parenthesis closes
        size_t first = 0;        // the range's first significant token
        bool alter = false;
        Target target;
        int position = -1;            // INSERT ... VALUES: the value's column position in its row
        bool valueNext = false;       // the next significant token starts a value of the target
        size_t valueColumn = SIZE_MAX;   // UPDATE ... SET: the column named before "="
        size_t selectEnd = SIZE_MAX;  // the last token of the SELECT [DISTINCT|ALL] last written
        size_t selectOut = 0;         // the size of `out` after it
        size_t prevSig = 0, prevSig2 = 0;   // the previous significant tokens (e when none)
        bool keepPrev = false;        // the token just read is no significant one (a hint dropped)
        bool ddl() const { return columnDepth >= 0; }
    };

    // A call of a function: its name's token and its "(".
    struct Call {
        size_t name, open;
    };

    // A rule that does not apply: the word is read by the rules after it (calls, names).
    static constexpr size_t kNotApplied = SIZE_MAX;

    // The rule of a word, and of a call, applied when the table of tsql_rules.cpp holds one: the
    // last token it read, or kNotApplied.
    size_t applyWordRule(Expr& x, size_t k);
    size_t applyCallRule(Expr& x, size_t k);

    // ---- the tokens, as the rules read them ----
    std::string_view source() const { return s_; }
    const Tok& tok(size_t i) const {
        assert(i < t_.size());
        return t_[i];
    }
    Kind kind(size_t i) const { return tok(i).kind; }
    std::string_view text(const Tok& t) const { return std::string_view(s_.data() + t.b, t.e - t.b); }
    std::string_view text(size_t i) const { return text(tok(i)); }
    bool isWord(size_t i, std::string_view w) const {
        return i < t_.size() && t_[i].kind == Kind::Word && t_[i].e - t_[i].b == w.size() && EqualNoCase(text(i), w);
    }
    bool isPunct(size_t i, char c) const {
        return i < t_.size() && t_[i].kind == Kind::Punct && t_[i].e - t_[i].b == 1 && s_[t_[i].b] == c;
    }
    // The first significant token from i.
    size_t sig(size_t i) const {
        while (i < t_.size() && t_[i].kind == Kind::Space) ++i;
        return i;
    }
    size_t matching(size_t open, size_t e) const { return MatchingParen(t_, s_, open, e); }
    // The name without its brackets or quotes.
    std::string bare(size_t i) const;
    // The tokens [b, e) in SQLite's dialect.
    std::string translate(size_t b, size_t e);
    [[noreturn]] void syntaxError(size_t at) const;

private:
    std::string_view s_;
    std::string_view db_;
    std::vector<Tok> t_;
    const TableColumnsOf& columnsOf_;
    std::vector<std::string> databases_;
    std::vector<int32_t> slot_;                // per token: the lifted literal it is, -1; empty: none lifted
    std::vector<NumberCheck>* checks_ = nullptr;

    // Blocks and IF statements hold one another; a text nesting them beyond any script's need is
    // refused before it exhausts the stack.
    static constexpr int kMaxNesting = 128;
    int nesting_ = 0;
    struct Nested {
        explicit Nested(int& n);
        ~Nested() {
            --n_;
            assert(n_ >= 0);
        }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;
        int& n_;
    };

    // An OR chain this long in one parenthesis is flattened: SQLite's expressions are at most
    // 1000 deep, and the lookups build chains of thousands of codes.
    static constexpr uint32_t kLongOrChain = 200;
    bool arith_ = false;     // the statement being translated does arithmetic
    bool inExecArgs_ = false;
    std::vector<uint32_t> orCount_;   // per "(": the ORs at its level (only for long chains)
    std::vector<size_t> closeOf_;     // per "(": its ")"

    // ---- tokens ----
    int32_t slot(size_t k) const { return k < slot_.size() ? slot_[k] : -1; }
    bool hasRole(size_t i, Role r) const { return i < t_.size() && t_[i].kind == Kind::Word && HasRole(text(i), r); }
    bool isName(size_t i) const { return i < t_.size() && (t_[i].kind == Kind::Word || t_[i].kind == Kind::Quoted); }
    // A temporary table of the session: "#name" (its own schema, found before the database's).
    bool isTemporary(size_t i) const { return i < t_.size() && t_[i].kind == Kind::Word && s_[t_[i].b] == '#'; }
    bool isVariable(size_t i) const {
        return i < t_.size() && t_[i].kind == Kind::Word && s_[t_[i].b] == '@' && (t_[i].e - t_[i].b < 2 || s_[t_[i].b + 1] != '@');
    }
    static std::string quoted(const std::string& name);
    std::string nameText(size_t i) const;

    // ---- statements (tsql.cpp) ----
    size_t statementEnd(size_t i) const;
    bool startsStatement(size_t k, size_t prev, bool insert, bool setting, bool rowSource) const;
    bool parseOne(size_t& i, Statement& st, bool inBlock);
    bool parseStatement(size_t& i, Statement& st);
    void parseIf(size_t& i, Statement& st);
    bool parseBlock(size_t& i, Statement& st);
    void parseExec(size_t& i, Statement& st);
    bool parseCreateProcedure(size_t& i, Statement& st);
    bool parseDeclare(size_t& i, Statement& st);
    void parseSelectAssign(size_t i, size_t end, Statement& st);
    std::string finish(std::string sql);
    void countOrChains();

    // ---- one range's tokens (tsql_expr.cpp) ----
    void readToken(Expr& x, size_t& k);
    void readPunct(Expr& x, size_t& k);
    void openParen(Expr& x, size_t& k);
    void closeParen(Expr& x);
    void readWord(Expr& x, size_t& k);
    size_t columnWord(Expr& x, size_t k);
    std::string numberText(size_t k) const;
    static bool isComparison(std::string_view p);
    bool isComparisonAt(size_t i, size_t e) const { return i < e && t_[i].kind == Kind::Punct && isComparison(text(i)); }
    bool isColumnName(size_t i, size_t e) const;
    bool literalNeedsRule(size_t k, size_t e, size_t prev, size_t prev2) const;
    std::string literalText(size_t k, bool* date, bool iso = false) const;
    bool endsOperand(size_t i, size_t e) const;
    size_t flattenOr(size_t open, std::string& out);
    bool sameColumnLiterals(const std::vector<std::pair<size_t, size_t>>& terms, std::vector<size_t>* literals) const;
    size_t columnType(size_t k, size_t e, const std::string& col, std::string& out);
    size_t name(size_t k, size_t e, std::string& out);

    // ---- values written into columns (tsql_values.cpp) ----
    Target targetOf(size_t b, size_t e) const;
    const ColumnRule* ruleOf(const Target& t, int position, size_t columnAt) const;
    bool fitsAsWritten(const ColumnRule& r, size_t k, bool negative) const;
    size_t writeValue(size_t k, size_t e, const ColumnRule& r, bool insert, std::string& out);
    size_t writeValue(size_t k, size_t end, size_t lit, bool single, bool negative, const ColumnRule& r, std::string& out);
};

}  // namespace ado::tsql
