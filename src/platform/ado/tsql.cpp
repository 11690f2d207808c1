#include "platform/ado/tsql.h"

#include "platform/ado/tsql_tokens.h"

#include "platform/ado/provider.h"
#include "platform/vb/error.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ado::tsql {

namespace {

// "yyyy-mm-dd hh:mm:ss" with a valid day and time.
bool IsCanonicalIso(std::string_view t) {
    if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':') return false;
    int v[6];
    static const int at[6] = {0, 5, 8, 11, 14, 17};
    for (int k = 0; k < 6; ++k) {
        const size_t p = static_cast<size_t>(at[k]);
        const size_t n = k == 0 ? 4 : 2;
        int x = 0;
        for (size_t j = p; j < p + n; ++j) {
            if (t[j] < '0' || t[j] > '9') return false;
            x = x * 10 + (t[j] - '0');
        }
        v[k] = x;
    }
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (v[0] < 1753 || v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > days[v[1] - 1] || v[3] > 23 || v[4] > 59 || v[5] > 59) return false;
    return v[1] != 2 || v[2] < 29 || (v[0] % 4 == 0 && (v[0] % 100 != 0 || v[0] % 400 == 0));
}

int TwoDigits(std::string_view t, size_t& i, int maxDigits) {
    int v = 0, d = 0;
    while (i < t.size() && d < maxDigits && IsDigit(static_cast<unsigned char>(t[i]))) {
        v = v * 10 + (t[i] - '0');
        ++i;
        ++d;
    }
    return d == 0 ? -1 : v;
}

bool ValidDay(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1753 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    int max = days[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) max = 29;
    return d <= max;
}

// Whether a text literal's content is in a date form the translation reads as a date somewhere:
// the ISO form date columns hold, or any form the server reads (a bare "yyyymmdd" included).
bool DateForm(std::string_view inner) {
    if (IsCanonicalIso(inner)) return true;
    DateTime dt;
    return inner.size() >= 8 && inner.size() <= 28 && ReadDateTime(inner, &dt, true);
}

// The marks that stand for lifted literals in a translation made from a shape: a text literal
// "'\x01<n>'", a number "0000000000000000<n>" (sixteen zeros, then the literal's index).
constexpr std::string_view kNumberMark = "0000000000000000";

std::string TextMark(size_t literal) { return "'\x01" + std::to_string(literal) + '\''; }
std::string NumberMark(size_t literal) { return std::string(kNumberMark) + std::to_string(literal); }

// ---------------------------------------------------------------------------------------------
// Arithmetic: the second pass over a translated statement that does any. Every binary + - * / %
// becomes a call of the connection (korv_add, korv_sub, korv_mul, korv_div, korv_mod) that
// decides by its values' types as the server does; the operands are found by SQLite's precedence
// (COLLATE and || bind tighter than * / %, which bind tighter than + -).

// The ")" that closes the "(" at `open` among tokens [open, e); e when none does.
size_t MatchingParen(const std::vector<Tok>& t, std::string_view s, size_t open, size_t e) {
    int depth = 0;
    for (size_t j = open; j < e; ++j) {
        if (t[j].kind != Kind::Punct || t[j].e - t[j].b != 1) continue;
        if (s[t[j].b] == '(') ++depth;
        else if (s[t[j].b] == ')' && --depth == 0) return j;
    }
    return e;
}

class Arithmetic {
public:
    explicit Arithmetic(std::string_view sql) : s_(sql), t_(Tokenize(sql)) {}
    std::string run() { return range(0, t_.size()); }

private:
    std::string_view s_;
    std::vector<Tok> t_;

    std::string_view text(size_t i) const { return std::string_view(s_.data() + t_[i].b, t_[i].e - t_[i].b); }
    size_t sig(size_t i, size_t e) const {
        while (i < e && t_[i].kind == Kind::Space) ++i;
        return i;
    }
    bool isPunct(size_t i, std::string_view p) const { return i < t_.size() && t_[i].kind == Kind::Punct && text(i) == p; }
    bool isWord(size_t i, std::string_view w) const {
        return i < t_.size() && t_[i].kind == Kind::Word && t_[i].e - t_[i].b == w.size() && EqualNoCase(text(i), w);
    }

    // Words that never start an operand.
    bool isKeyword(size_t i) const {
        if (t_[i].kind != Kind::Word) return false;
        const std::string_view w = text(i);
        if (!HasRole(w, kNotOperand)) return false;
        // REPLACE(...) is a function; INSERT OR REPLACE is not
        return !(EqualNoCase(w, "REPLACE") && isPunct(sig(i + 1, t_.size()), "("));
    }

    bool startsOperand(size_t i) const {
        switch (t_[i].kind) {
        case Kind::Number: case Kind::String: case Kind::Quoted: return true;
        case Kind::Word: return !isKeyword(i) || isWord(i, "CASE");
        case Kind::Punct: return isPunct(i, "(") || isPunct(i, "-") || isPunct(i, "+") || isPunct(i, "~") || isPunct(i, "?");
        default: return false;
        }
    }

    size_t closeOf(size_t open, size_t e) const { return MatchingParen(t_, s_, open, e); }

    size_t endOfCase(size_t k, size_t e) const {
        int cases = 0, depth = 0;
        for (size_t j = k; j < e; ++j) {
            if (isPunct(j, "(")) ++depth;
            else if (isPunct(j, ")")) --depth;
            else if (depth == 0 && isWord(j, "CASE")) ++cases;
            else if (depth == 0 && isWord(j, "END") && --cases == 0) return j;
        }
        return e;
    }

    // The tokens of [b, e) with every arithmetic expression in them rewritten.
    std::string range(size_t b, size_t e) {
        std::string out;
        size_t k = b;
        while (k < e) {
            if (t_[k].kind != Kind::Space && startsOperand(k)) {
                out += additive(k, e, &k);
                continue;
            }
            out.append(text(k));
            ++k;
        }
        return out;
    }

    std::string additive(size_t k, size_t e, size_t* next) {
        std::string lhs = multiplicative(k, e, next);
        while (true) {
            const size_t op = sig(*next, e);
            if (op >= e || !(isPunct(op, "+") || isPunct(op, "-"))) break;
            const size_t r = sig(op + 1, e);
            if (r >= e || !startsOperand(r)) break;
            const std::string rhs = multiplicative(r, e, next);
            lhs = (isPunct(op, "+") ? "korv_add(" : "korv_sub(") + lhs + "," + rhs + ")";
            if (isPunct(op, "+")) lhs += kTextRule;   // texts joined compare as texts
        }
        return lhs;
    }

    std::string multiplicative(size_t k, size_t e, size_t* next) {
        std::string lhs = unary(k, e, next);
        while (true) {
            const size_t op = sig(*next, e);
            if (op >= e || !(isPunct(op, "*") || isPunct(op, "/") || isPunct(op, "%"))) break;
            const size_t r = sig(op + 1, e);
            if (r >= e || !startsOperand(r)) break;
            const std::string rhs = unary(r, e, next);
            const char* fn = isPunct(op, "*") ? "korv_mul(" : isPunct(op, "/") ? "korv_div(" : "korv_mod(";
            lhs = fn + lhs + "," + rhs + ")";
        }
        return lhs;
    }

    std::string unary(size_t k, size_t e, size_t* next) {
        if (isPunct(k, "-") || isPunct(k, "+") || isPunct(k, "~")) {
            const size_t r = sig(k + 1, e);
            if (r < e && startsOperand(r)) return std::string(text(k)) + unary(r, e, next);
            *next = k + 1;
            return std::string(text(k));
        }
        std::string out = primary(k, e, next);
        // Postfix COLLATE and ||, which bind tighter than the arithmetic.
        while (true) {
            const size_t p = sig(*next, e);
            if (isWord(p, "COLLATE") && sig(p + 1, e) < e) {
                const size_t n = sig(p + 1, e);
                out += " COLLATE ";
                out.append(text(n));
                *next = n + 1;
            } else if (isPunct(p, "||") && sig(p + 1, e) < e && startsOperand(sig(p + 1, e))) {
                out += "||";
                out += unary(sig(p + 1, e), e, next);
            } else {
                break;
            }
        }
        return out;
    }

    std::string primary(size_t k, size_t e, size_t* next) {
        if (isPunct(k, "(")) {
            const size_t close = closeOf(k, e);
            *next = close < e ? close + 1 : e;
            return "(" + range(k + 1, close) + (close < e ? ")" : "");
        }
        if (isWord(k, "CASE")) {
            const size_t end = endOfCase(k, e);
            *next = end < e ? end + 1 : e;
            return "CASE" + range(k + 1, end) + (end < e ? "END" : "");
        }
        if (t_[k].kind == Kind::Word || t_[k].kind == Kind::Quoted) {
            const size_t open = sig(k + 1, e);
            if (t_[k].kind == Kind::Word && isPunct(open, "(")) {   // a call
                const size_t close = closeOf(open, e);
                *next = close < e ? close + 1 : e;
                return std::string(text(k)) + "(" + range(open + 1, close) + (close < e ? ")" : "");
            }
            // a name chain: a.b.c, t.*
            std::string out(text(k));
            size_t j = k + 1;
            while (isPunct(j, ".") && j + 1 < e &&
                   (t_[j + 1].kind == Kind::Word || t_[j + 1].kind == Kind::Quoted || isPunct(j + 1, "*"))) {
                out += '.';
                out.append(text(j + 1));
                j += 2;
            }
            *next = j;
            return out;
        }
        *next = k + 1;
        return std::string(text(k));
    }
};

std::string RewriteArithmetic(std::string_view sql) { return Arithmetic(sql).run(); }

class Translator {
public:
    Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf)
        : s_(sql), db_(currentDb), t_(Tokenize(sql)), columnsOf_(columnsOf) {
        countOrChains();
    }
    // Marks the shape's literals in the translation instead of writing them, and notes in
    // `checks` every lifted number whose fit into a column was asked.
    Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf, const Shape& shape,
               std::vector<NumberCheck>* checks)
        : Translator(sql, currentDb, columnsOf) {
        checks_ = checks;
        slot_.assign(t_.size(), -1);
        size_t k = 0;
        for (size_t n = 0; n < shape.literals.size(); ++n) {
            while (k < t_.size() && t_[k].b < shape.literals[n].b) ++k;
            if (k < t_.size() && t_[k].b == shape.literals[n].b) slot_[k] = static_cast<int32_t>(n);
        }
    }

    Batch run() {
        Batch batch;
        size_t i = 0;
        while (true) {
            Statement st;
            if (!parseOne(i, st, false)) break;
            batch.statements.push_back(std::move(st));
        }
        batch.databases = std::move(databases_);
        return batch;
    }

private:
    std::string_view s_;
    std::string_view db_;
    std::vector<Tok> t_;
    const TableColumnsOf& columnsOf_;
    std::vector<std::string> databases_;
    std::vector<int32_t> slot_;                // per token: the lifted literal it is, -1; empty: none lifted
    std::vector<NumberCheck>* checks_ = nullptr;

    int32_t slot(size_t k) const { return k < slot_.size() ? slot_[k] : -1; }
    // A number as the translation writes it: as written, or its mark.
    std::string numberText(size_t k) const {
        const int32_t n = slot(k);
        return n >= 0 ? NumberMark(static_cast<size_t>(n)) : std::string(text(k));
    }

    std::string_view text(const Tok& t) const { return std::string_view(s_.data() + t.b, t.e - t.b); }
    std::string_view text(size_t i) const { return text(t_[i]); }
    bool isWord(size_t i, std::string_view w) const {
        return i < t_.size() && t_[i].kind == Kind::Word && t_[i].e - t_[i].b == w.size() && EqualNoCase(text(i), w);
    }
    bool isPunct(size_t i, char c) const {
        return i < t_.size() && t_[i].kind == Kind::Punct && t_[i].e - t_[i].b == 1 && s_[t_[i].b] == c;
    }
    size_t sig(size_t i) const {
        while (i < t_.size() && t_[i].kind == Kind::Space) ++i;
        return i;
    }
    bool isName(size_t i) const { return i < t_.size() && (t_[i].kind == Kind::Word || t_[i].kind == Kind::Quoted); }
    // The name without its brackets or quotes.
    std::string bare(size_t i) const {
        std::string_view v = text(i);
        if (t_[i].kind != Kind::Quoted) return std::string(v);
        const char close = v[0] == '[' ? ']' : '"';
        std::string out;
        for (size_t k = 1; k + 1 < v.size() || (k < v.size() && v[k] != close); ++k) {
            if (v[k] == close) {
                if (k + 1 < v.size() && v[k + 1] == close) { out += close; ++k; continue; }
                break;
            }
            out += v[k];
        }
        return out;
    }
    static std::string quoted(const std::string& name) {
        std::string out = "\"";
        for (char c : name) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
        return out;
    }
    // A name as SQLite reads it: plain words stay, bracketed ones and a temporary table's
    // (#name) are double-quoted.
    std::string nameText(size_t i) const {
        return t_[i].kind == Kind::Quoted || isTemporary(i) ? quoted(bare(i)) : std::string(text(i));
    }
    // A temporary table of the session: "#name" (its own schema, found before the database's).
    bool isTemporary(size_t i) const { return i < t_.size() && t_[i].kind == Kind::Word && s_[t_[i].b] == '#'; }

    // ---- statements ------------------------------------------------------------------------

    static bool isStatementWord(std::string_view w) { return HasRole(w, kStatementStart); }

    bool isSessionSetting(size_t i) const { return i < t_.size() && t_[i].kind == Kind::Word && HasRole(text(i), kSessionSetting); }

    // The end of the plain statement that starts at i.
    size_t statementEnd(size_t i) const {
        const std::string_view first = text(i);
        bool insert = EqualNoCase(first, "INSERT");
        const bool setting = EqualNoCase(first, "SET") || EqualNoCase(first, "PRINT");
        const bool update = EqualNoCase(first, "UPDATE");
        bool rowSource = false;
        int depth = 0, cases = 0;
        size_t prev = i;
        size_t k = i + 1;
        for (; k < t_.size(); ++k) {
            const Tok& t = t_[k];
            if (t.kind == Kind::Space) continue;
            if (t.kind == Kind::Punct) {
                const char c = s_[t.b];
                if (c == '(') ++depth;
                else if (c == ')') { if (depth == 0) return k; --depth; }
                else if (c == ';' && depth == 0) return k;
                prev = k;
                continue;
            }
            if (t.kind == Kind::Word && depth == 0) {
                const std::string_view w = text(t);
                // SET @x = ... starts a statement of its own (an UPDATE's SET names columns)
                if (!update && EqualNoCase(w, "SET") && isVariable(sig(k + 1))) return k;
                if (EqualNoCase(w, "CASE")) ++cases;
                else if (EqualNoCase(w, "END")) { if (cases == 0) return k; --cases; }
                else if (EqualNoCase(w, "ELSE")) { if (cases == 0) return k; }
                else if (isStatementWord(w)) {
                    bool starts = true;
                    const bool prevWord = t_[prev].kind == Kind::Word;
                    const std::string_view pw = text(prev);
                    if (EqualNoCase(w, "SELECT")) {
                        if (prevWord && (EqualNoCase(pw, "UNION") || EqualNoCase(pw, "ALL") || EqualNoCase(pw, "EXCEPT") ||
                                         EqualNoCase(pw, "INTERSECT") || EqualNoCase(pw, "AS"))) {
                            starts = false;
                        }
                        if (insert && !rowSource) starts = false;
                    } else if (EqualNoCase(w, "UPDATE") || EqualNoCase(w, "DELETE")) {
                        // ON DELETE of a foreign key, FOR UPDATE; a setting ("SET NOCOUNT ON") or a
                        // PRINT ends before the statement that follows it
                        if (prevWord && !setting && (EqualNoCase(pw, "ON") || EqualNoCase(pw, "FOR"))) starts = false;
                    } else if (EqualNoCase(w, "IF") && prevWord && EqualNoCase(pw, "TABLE")) {
                        starts = false;   // DROP TABLE IF EXISTS
                    }
                    if (starts) return k;
                    if (EqualNoCase(w, "SELECT")) rowSource = true;
                } else if (insert && EqualNoCase(w, "VALUES")) {
                    rowSource = true;
                }
            }
            prev = k;
        }
        return k;
    }

    bool parseOne(size_t& i, Statement& st, bool inBlock) {
        while (true) {
            i = sig(i);
            if (i >= t_.size()) return false;
            if (isPunct(i, ';')) { ++i; continue; }
            if (isWord(i, "GO")) { ++i; continue; }
            if (inBlock && isWord(i, "END")) return false;
            // Session settings and messages of the server's scripts mean nothing here.
            if ((isWord(i, "SET") && isSessionSetting(sig(i + 1))) || isWord(i, "PRINT")) {
                i = statementEnd(i);
                continue;
            }
            break;
        }
        return parseStatement(i, st);
    }

    // Blocks and IF statements hold one another; a text nesting them beyond any script's need is
    // refused before it exhausts the stack.
    static constexpr int kMaxNesting = 128;
    int nesting_ = 0;
    struct Nested {
        explicit Nested(int& n) : n_(n) {
            if (++n_ > kMaxNesting) {
                --n_;
                ThrowProvider(vb::kHrErrorsInCommand,
                              QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or "
                                             "break it up into smaller queries."),
                              QStringLiteral("42000"), 191);
            }
        }
        ~Nested() { --n_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;
        int& n_;
    };

    // The statement that starts at the significant token i.
    bool parseStatement(size_t& i, Statement& st) {
        const Nested nested(nesting_);
        if (isWord(i, "IF")) {
            size_t k = i + 1;
            int depth = 0;
            for (; k < t_.size(); ++k) {
                if (isPunct(k, '(')) ++depth;
                else if (isPunct(k, ')')) --depth;
                else if (depth == 0 && t_[k].kind == Kind::Word && isStatementWord(text(k)) && !isWord(k, "SELECT")) break;
                else if (depth == 0 && isWord(k, "SELECT")) break;
            }
            st.kind = Statement::If;
            st.sql = finish("SELECT 1 WHERE " + translate(i + 1, k));
            i = k;
            Statement body;
            if (parseOne(i, body, false)) st.body.push_back(std::move(body));
            const size_t e = sig(i);
            if (isWord(e, "ELSE")) {
                i = e + 1;
                Statement other;
                if (parseOne(i, other, false)) st.elseBody.push_back(std::move(other));
            }
            return true;
        }
        if (isWord(i, "BEGIN")) {
            const size_t n = sig(i + 1);
            if (!isWord(n, "TRAN") && !isWord(n, "TRANSACTION") && !isWord(n, "DISTRIBUTED")) {
                st.kind = Statement::Block;
                i = i + 1;
                while (true) {
                    Statement inner;
                    if (!parseOne(i, inner, true)) break;
                    st.body.push_back(std::move(inner));
                }
                i = sig(i);
                if (isWord(i, "END")) ++i;
                return true;
            }
        }
        if (isWord(i, "EXEC") || isWord(i, "EXECUTE")) {
            st.kind = Statement::Exec;
            size_t k = sig(i + 1);
            std::string name;
            while (isName(k)) {
                name = bare(k);
                const size_t d = k + 1;
                if (isPunct(d, '.')) { k = d + 1; while (isPunct(k, '.')) ++k; continue; }
                k = d;
                break;
            }
            st.name = name;
            const size_t end = statementEnd(i);
            size_t a = k;
            int depth = 0;
            for (size_t j = k; j <= end; ++j) {
                if (j < end && isPunct(j, '(')) ++depth;
                else if (j < end && isPunct(j, ')')) --depth;
                if (j == end || (depth == 0 && isPunct(j, ','))) {
                    inExecArgs_ = true;
                    std::string arg = finish(translate(a, j));
                    inExecArgs_ = false;
                    size_t b = 0, e = arg.size();
                    while (b < e && (arg[b] == ' ' || arg[b] == '\t' || arg[b] == '\r' || arg[b] == '\n')) ++b;
                    while (e > b && (arg[e - 1] == ' ' || arg[e - 1] == '\t' || arg[e - 1] == '\r' || arg[e - 1] == '\n')) --e;
                    if (e > b) st.args.push_back(arg.substr(b, e - b));
                    a = j + 1;
                }
            }
            i = end;
            return true;
        }
        if (isWord(i, "CREATE")) {
            const size_t w = sig(i + 1);
            if (isWord(w, "PROC") || isWord(w, "PROCEDURE")) {
                st.kind = Statement::CreateProcedure;
                size_t k = sig(w + 1);
                while (isName(k)) {
                    st.name = bare(k);
                    if (isPunct(k + 1, '.')) { k += 2; continue; }
                    ++k;
                    break;
                }
                int depth = 0;
                bool expect = true;
                for (; k < t_.size(); ++k) {
                    if (t_[k].kind == Kind::Space) continue;
                    if (isPunct(k, '(')) { ++depth; if (depth == 1) expect = true; continue; }
                    if (isPunct(k, ')')) { --depth; continue; }
                    if (isPunct(k, ',') && depth <= 1) { expect = true; continue; }
                    if (depth == 0 && isWord(k, "AS")) break;
                    if (expect && t_[k].kind == Kind::Word && s_[t_[k].b] == '@') st.params.emplace_back(text(k));
                    expect = false;
                }
                const size_t body = k < t_.size() ? t_[k].e : s_.size();
                st.text = std::string(s_.substr(body));
                i = t_.size();
                return true;
            }
        }
        if (isWord(i, "DECLARE")) return parseDeclare(i, st);
        if (isWord(i, "SET") && isVariable(sig(i + 1))) {
            const size_t var = sig(i + 1);
            const size_t eq = sig(var + 1);
            const size_t end = statementEnd(i);
            if (!isPunct(eq, '=')) syntaxError(eq < t_.size() ? eq : var);
            st.kind = Statement::Assign;
            st.params.emplace_back(text(var));
            st.sql = finish("SELECT " + translate(eq + 1, end));
            i = end;
            return true;
        }
        const size_t end = statementEnd(i);
        if (isWord(i, "SELECT") && isVariable(sig(i + 1)) && isPunct(sig(sig(i + 1) + 1), '=')) {
            parseSelectAssign(i, end, st);
            i = end;
            return true;
        }
        st.kind = Statement::Sql;
        st.sql = finish(translate(i, end));
        i = end;
        return true;
    }

    [[noreturn]] void syntaxError(size_t at) const {
        const std::string_view near = at < t_.size() ? text(at) : std::string_view();
        ThrowProvider(vb::kHrErrorsInCommand,
                      QStringLiteral("Incorrect syntax near '%1'.").arg(QString::fromUtf8(near.data(), static_cast<qsizetype>(near.size()))),
                      QStringLiteral("42000"), 102);
    }

    // DECLARE @a type [= expr] [, @b type [= expr]] ...
    bool parseDeclare(size_t& i, Statement& st) {
        const size_t end = statementEnd(i);
        st.kind = Statement::Declare;
        size_t k = sig(i + 1);
        while (k < end) {
            if (!isVariable(k)) syntaxError(k);
            st.params.emplace_back(text(k));
            size_t j = sig(k + 1);
            if (isWord(j, "AS")) j = sig(j + 1);
            std::string type;
            int depth = 0;
            size_t stop = j;
            for (; stop < end; ++stop) {
                if (isPunct(stop, '(')) ++depth;
                else if (isPunct(stop, ')')) --depth;
                else if (depth == 0 && (isPunct(stop, ',') || isPunct(stop, '='))) break;
                if (t_[stop].kind == Kind::Space) continue;
                for (char c : text(stop)) type += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            }
            if (type.empty()) syntaxError(stop < end ? stop : k);
            std::string init;
            if (isPunct(stop, '=')) {
                size_t exprEnd = stop + 1;
                depth = 0;
                for (; exprEnd < end; ++exprEnd) {
                    if (isPunct(exprEnd, '(')) ++depth;
                    else if (isPunct(exprEnd, ')')) --depth;
                    else if (depth == 0 && isPunct(exprEnd, ',')) break;
                }
                init = finish("SELECT " + translate(stop + 1, exprEnd));
                stop = exprEnd;
            }
            st.types.push_back(std::move(type));
            st.inits.push_back(std::move(init));
            k = isPunct(stop, ',') ? sig(stop + 1) : end;
        }
        if (st.params.empty()) syntaxError(i);
        i = end;
        return true;
    }

    // SELECT @a = expr [, @b = expr] [FROM ...]: the query of the values, the variables in order.
    void parseSelectAssign(size_t i, size_t end, Statement& st) {
        st.kind = Statement::Assign;
        st.selectAssign = true;
        std::string sql = "SELECT ";
        size_t k = sig(i + 1);
        while (true) {
            if (!isVariable(k) || !isPunct(sig(k + 1), '=')) syntaxError(k);
            st.params.emplace_back(text(k));
            const size_t b = sig(k + 1) + 1;
            size_t j = b;
            int depth = 0;
            for (; j < end; ++j) {
                if (isPunct(j, '(')) ++depth;
                else if (isPunct(j, ')')) --depth;
                else if (depth == 0 && (isPunct(j, ',') || (t_[j].kind == Kind::Word && HasRole(text(j), kEndsAssignedValue)))) {
                    break;
                }
            }
            if (st.params.size() > 1) sql += ',';
            sql += translate(b, j);
            if (!isPunct(j, ',')) {
                sql += ' ';
                sql += translate(j, end);
                break;
            }
            k = sig(j + 1);
        }
        st.sql = finish(std::move(sql));
    }

    // ---- tokens ----------------------------------------------------------------------------

    // The compare rule written on a text that meets no column is the connection's text rule
    // (kTextRule); the one on a text in a date form that meets no column, the date columns' rule
    // (kDateRule).
    // An OR chain this long in one parenthesis is flattened: SQLite's expressions are at most
    // 1000 deep, and the lookups build chains of thousands of codes.
    static constexpr uint32_t kLongOrChain = 200;

    bool arith_ = false;     // the statement being translated does arithmetic
    bool inExecArgs_ = false;
    std::vector<uint32_t> orCount_;   // per "(": the ORs at its level (only for long chains)
    std::vector<size_t> closeOf_;     // per "(": its ")"

    // The translated text of a statement, its arithmetic made calls when it does any.
    std::string finish(std::string sql) {
        if (!arith_) return sql;
        arith_ = false;
        return RewriteArithmetic(sql);
    }

    void countOrChains() {
        size_t total = 0;
        for (size_t i = 0; i < t_.size(); ++i) {
            if (t_[i].kind == Kind::Word && t_[i].e - t_[i].b == 2 && EqualNoCase(text(i), "OR")) ++total;
        }
        if (total < kLongOrChain) return;
        orCount_.assign(t_.size(), 0);
        closeOf_.assign(t_.size(), SIZE_MAX);
        struct Open { size_t at; int cases; };
        std::vector<Open> open;
        for (size_t i = 0; i < t_.size(); ++i) {
            if (isPunct(i, '(')) open.push_back({i, 0});
            else if (isPunct(i, ')')) {
                if (!open.empty()) {
                    closeOf_[open.back().at] = i;
                    open.pop_back();
                }
            } else if (!open.empty() && t_[i].kind == Kind::Word) {
                if (isWord(i, "CASE")) ++open.back().cases;
                else if (isWord(i, "END") && open.back().cases > 0) --open.back().cases;
                else if (isWord(i, "OR") && open.back().cases == 0) ++orCount_[open.back().at];
            }
        }
    }

    size_t matching(size_t open, size_t e) const { return MatchingParen(t_, s_, open, e); }

    bool isVariable(size_t i) const {
        return i < t_.size() && t_[i].kind == Kind::Word && s_[t_[i].b] == '@' && (t_[i].e - t_[i].b < 2 || s_[t_[i].b + 1] != '@');
    }

    static bool isComparison(std::string_view p) {
        return p == "=" || p == "<>" || p == "!=" || p == "<" || p == ">" || p == "<=" || p == ">=";
    }
    bool isComparisonAt(size_t i, size_t e) const { return i < e && t_[i].kind == Kind::Punct && isComparison(text(i)); }

    // A name that brings a column's compare rule.
    bool isColumnName(size_t i, size_t e) const {
        if (i >= e) return false;
        if (t_[i].kind == Kind::Quoted) return true;
        if (t_[i].kind != Kind::Word) return false;
        return s_[t_[i].b] != '@' && !isWord(i, "END") && !isWord(i, "NULL");
    }

    // Whether a text literal needs the compare rule written on it: not when it meets a column
    // (whose rule applies), stands alone in a list (VALUES, IN, a call's arguments) or is a LIKE
    // pattern.
    bool literalNeedsRule(size_t k, size_t e, size_t prev, size_t prev2) const {
        const size_t next = sig(k + 1);
        const bool prevOpen = prev < e && (isPunct(prev, '(') || isPunct(prev, ','));
        const bool nextClose = next < e && (isPunct(next, ',') || isPunct(next, ')'));
        if (prevOpen && nextClose) return false;
        if (isWord(prev, "LIKE") || isWord(prev, "ESCAPE")) return false;
        if (isComparisonAt(prev, e) && isColumnName(prev2, e)) return false;
        if (isComparisonAt(next, e) && isColumnName(sig(next + 1), e)) return false;
        return true;
    }

    // A text literal as SQLite reads it: N'...' without its N. *date tells whether it is written
    // in a date form other than a bare "yyyymmdd" (which reads as a date only when `iso`); `iso`
    // gives a date in ISO form, as date columns hold them. Elsewhere the text stays as written: a
    // date column compares it as a date, any other column as the text it is.
    std::string literalText(size_t k, bool* date, bool iso = false) const {
        std::string_view v = text(k);
        if (v[0] != '\'') v.remove_prefix(1);   // N'...'
        const std::string_view inner = v.substr(1, v.size() - 2);
        *date = false;
        if (IsCanonicalIso(inner)) {   // as date columns hold them: nothing to rewrite
            *date = true;
            return std::string(v);
        }
        if (inner.size() >= 8 && inner.size() <= 28) {
            DateTime dt;
            const bool compact = inner.find_first_not_of("0123456789") == std::string_view::npos;
            if ((!compact || iso) && ReadDateTime(inner, &dt, true)) {
                *date = true;
                if (iso) return '\'' + IsoText(dt) + '\'';
            }
        }
        // A lifted literal is never in a date form (LiftShape leaves those in the key).
        if (const int32_t n = slot(k); n >= 0) return TextMark(static_cast<size_t>(n));
        return std::string(v);
    }

    // What a statement writes into: the table of INSERT ... VALUES and UPDATE ... SET, whose
    // number and date columns take their values as the server takes them.
    struct Target {
        enum Kind { None, Insert, Update } kind = None;
        TableColumns* columns = nullptr;
        const std::vector<const ColumnRule*>* list = nullptr;   // INSERT's column list, if it names one
        size_t clause = SIZE_MAX;     // the VALUES or SET word
        size_t clauseEnd = SIZE_MAX;  // UPDATE: the WHERE or FROM after the SET list
    };

    Target targetOf(size_t b, size_t e) const {
        Target t;
        if (!columnsOf_) return t;
        const size_t first = sig(b);
        size_t k;
        if (isWord(first, "INSERT")) {
            k = sig(first + 1);
            if (isWord(k, "INTO")) k = sig(k + 1);
            t.kind = Target::Insert;
        } else if (isWord(first, "UPDATE")) {
            k = sig(first + 1);
            t.kind = Target::Update;
        } else {
            return {};
        }
        if (k >= e || !isName(k)) return {};
        std::vector<size_t> parts{k};
        while (isPunct(k + 1, '.')) {
            if (isName(k + 2)) { k += 2; parts.push_back(k); }
            else if (isPunct(k + 2, '.')) { k += 1; parts.push_back(SIZE_MAX); }
            else break;
        }
        if (parts.back() == SIZE_MAX) return {};
        const size_t tableAt = parts.back();
        std::string database;
        if (parts.size() >= 3 && parts[parts.size() - 3] != SIZE_MAX) {
            database = bare(parts[parts.size() - 3]);
            if (EqualNoCase(database, db_)) database.clear();
        }
        k = sig(k + 1);
        size_t listOpen = SIZE_MAX, listClose = SIZE_MAX;
        if (t.kind == Target::Insert) {
            if (isPunct(k, '(')) {
                listOpen = k;
                listClose = matching(k, e);
                k = sig(listClose + 1);
            }
            if (!isWord(k, "VALUES")) return {};
        } else {
            if (!isWord(k, "SET")) return {};
            int depth = 0;
            for (size_t j = k + 1; j < e; ++j) {
                if (isPunct(j, '(')) ++depth;
                else if (isPunct(j, ')')) --depth;
                else if (depth == 0 && (isWord(j, "WHERE") || isWord(j, "FROM"))) { t.clauseEnd = j; break; }
            }
            if (t.clauseEnd == SIZE_MAX) t.clauseEnd = e;
        }
        t.clause = k;
        t.columns = columnsOf_(database, bare(tableAt));
        if (!t.columns) return {};
        if (listOpen != SIZE_MAX && listClose < e) {
            const std::string_view listText = s_.substr(t_[listOpen].b, t_[listClose].e - t_[listOpen].b);
            t.list = t.columns->kept(listText);
            if (!t.list) {
                std::vector<std::string> names;
                for (size_t j = listOpen + 1; j < listClose; ++j) {
                    if (isName(j)) names.push_back(bare(j));
                }
                t.list = &t.columns->keep(listText, names);
            }
        }
        return t;
    }

    // The rule of the column a value of the target goes into.
    const ColumnRule* ruleOf(const Target& t, int position, size_t columnAt) const {
        if (t.kind == Target::Insert) {
            if (position < 0) return nullptr;
            if (t.list) return static_cast<size_t>(position) < t.list->size() ? (*t.list)[static_cast<size_t>(position)] : nullptr;
            return t.columns->at(static_cast<size_t>(position));
        }
        return columnAt < t_.size() && isName(columnAt) ? t.columns->named(bare(columnAt)) : nullptr;
    }

    // A number literal that fits the column as it is written; a lifted one's answer is noted.
    bool fitsAsWritten(const ColumnRule& r, size_t k, bool negative) const {
        const bool fits = NumberFitsAsWritten(r, text(k), negative);
        if (const int32_t n = slot(k); n >= 0 && checks_) checks_->push_back({static_cast<size_t>(n), r, negative, fits});
        return fits;
    }

    // A value written into a number or date column: written as it is when it already is what the
    // column holds (a date literal in ISO form), else through the conversion call, which takes it
    // or refuses it as the server does. Gives the value's last token, or SIZE_MAX when the value
    // is left to the ordinary translation.
    size_t writeValue(size_t k, size_t e, const ColumnRule& r, bool insert, std::string& out) {
        if (r.kind == ColumnRule::Free) return SIZE_MAX;
        {
            // the common case first: one literal, then "," or ")"
            const bool negative = isPunct(k, '-');
            const size_t lit = negative ? sig(k + 1) : k;
            const size_t after = sig(lit + 1);
            if (lit < e && (after >= e || isPunct(after, ',') || (insert && isPunct(after, ')')))) {
                return writeValue(k, lit + 1, lit, true, negative, r, out);
            }
        }
        size_t end = k;
        int depth = 0;
        for (; end < e; ++end) {
            if (isPunct(end, '(')) ++depth;
            else if (isPunct(end, ')')) {
                if (depth == 0) break;
                --depth;
            } else if (depth == 0 && (isPunct(end, ',') || (!insert && (isWord(end, "WHERE") || isWord(end, "FROM"))))) {
                break;
            }
        }
        while (end > k && t_[end - 1].kind == Kind::Space) --end;
        if (end <= k) return SIZE_MAX;
        const bool negative = isPunct(k, '-');
        const size_t lit = negative ? sig(k + 1) : k;
        const bool single = lit + 1 == end;
        return writeValue(k, end, lit, single, negative, r, out);
    }

    size_t writeValue(size_t k, size_t end, size_t lit, bool single, bool negative, const ColumnRule& r, std::string& out) {
        if (single && !negative && isWord(lit, "NULL")) return SIZE_MAX;
        if (single && t_[lit].kind == Kind::Number && r.kind != ColumnRule::Date && fitsAsWritten(r, lit, negative)) return SIZE_MAX;
        if (single && !negative && t_[lit].kind == Kind::String && r.kind == ColumnRule::Date) {
            bool date = false;
            const std::string iso = literalText(lit, &date, true);
            if (date) {
                out += iso;
                return lit;
            }
        }
        out += "korv_convert('" + r.type + "',";
        out += translate(k, end);
        out += ')';
        return end - 1;
    }

    // A long OR chain in the parenthesis at `open`: "x = 'a' OR x = 'b' ..." of one column
    // becomes "x IN ('a', 'b', ...)"; any other is grouped in nested parentheses.
    size_t flattenOr(size_t open, std::string& out) {
        const size_t close = closeOf_[open];
        std::vector<std::pair<size_t, size_t>> terms;
        size_t start = open + 1;
        int depth = 0, cases = 0;
        for (size_t j = open + 1; j < close; ++j) {
            if (isPunct(j, '(')) ++depth;
            else if (isPunct(j, ')')) --depth;
            else if (depth == 0 && isWord(j, "CASE")) ++cases;
            else if (depth == 0 && isWord(j, "END") && cases > 0) --cases;
            else if (depth == 0 && cases == 0 && isWord(j, "OR")) {
                terms.emplace_back(start, j);
                start = j + 1;
            }
        }
        terms.emplace_back(start, close);
        // One column against literals?
        std::string column;
        std::vector<size_t> literals;
        for (const auto& [tb, te] : terms) {
            size_t k = sig(tb);
            std::string chain;
            while (k < te && isName(k)) {
                chain += bare(k);
                if (!isPunct(k + 1, '.')) break;
                chain += '.';
                k += 2;
            }
            const size_t eq = sig(k + 1);
            const size_t lit = sig(eq + 1);
            if (chain.empty() || !isPunct(eq, '=') || lit >= te || (t_[lit].kind != Kind::String && t_[lit].kind != Kind::Number) ||
                sig(lit + 1) < te || (!column.empty() && !EqualNoCase(column, chain))) {
                literals.clear();
                break;
            }
            column = chain;
            literals.push_back(lit);
        }
        if (!literals.empty()) {
            out += '(';
            name(sig(terms[0].first), close, out);
            out += " IN (";
            for (size_t i = 0; i < literals.size(); ++i) {
                if (i) out += ',';
                bool date = false;
                out += t_[literals[i]].kind == Kind::String ? literalText(literals[i], &date, false) : numberText(literals[i]);
            }
            out += "))";
            return close;
        }
        std::vector<std::string> parts;
        parts.reserve(terms.size());
        for (const auto& [tb, te] : terms) parts.push_back(translate(tb, te));
        constexpr size_t kGroup = 64;
        while (parts.size() > kGroup) {
            std::vector<std::string> groups;
            for (size_t i = 0; i < parts.size(); i += kGroup) {
                std::string g = "(";
                for (size_t j = i; j < std::min(parts.size(), i + kGroup); ++j) {
                    if (j > i) g += " OR ";
                    g += parts[j];
                }
                g += ')';
                groups.push_back(std::move(g));
            }
            parts = std::move(groups);
        }
        out += '(';
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i) out += " OR ";
            out += parts[i];
        }
        out += ')';
        return close;
    }

    // The date parts of DATEADD and DATEDIFF, by their names and abbreviations.
    static const char* datePart(std::string_view p) {
        static const struct { const char* name; const char* part; } parts[] = {
            {"year", "year"}, {"yy", "year"}, {"yyyy", "year"}, {"quarter", "quarter"}, {"qq", "quarter"}, {"q", "quarter"},
            {"month", "month"}, {"mm", "month"}, {"m", "month"}, {"dayofyear", "dayofyear"}, {"dy", "dayofyear"},
            {"y", "dayofyear"}, {"day", "day"}, {"dd", "day"}, {"d", "day"}, {"week", "week"}, {"wk", "week"},
            {"ww", "week"}, {"weekday", "weekday"}, {"dw", "weekday"}, {"w", "weekday"}, {"hour", "hour"}, {"hh", "hour"},
            {"minute", "minute"}, {"mi", "minute"}, {"n", "minute"}, {"second", "second"}, {"ss", "second"},
            {"s", "second"}, {"millisecond", "millisecond"}, {"ms", "millisecond"},
        };
        for (const auto& x : parts) {
            if (EqualNoCase(p, x.name)) return x.part;
        }
        return nullptr;
    }

    // DATEADD(part, n, date) and DATEDIFF(part, a, b): the part becomes a text argument.
    size_t dateCall(size_t k, size_t open, size_t close, std::string& out) {
        const size_t partAt = sig(open + 1);
        const size_t comma = sig(partAt + 1);
        std::string partName;
        if (partAt < close && (t_[partAt].kind == Kind::Word || t_[partAt].kind == Kind::Quoted)) partName = bare(partAt);
        else if (partAt < close && t_[partAt].kind == Kind::String) partName = std::string(text(partAt).substr(1, text(partAt).size() - 2));
        const char* part = datePart(partName);
        const bool add = isWord(k, "DATEADD");
        if (!part || !isPunct(comma, ',')) {
            ThrowProvider(vb::kHrErrorsInCommand,
                          QStringLiteral("'%1' is not a recognized %2 option.")
                              .arg(QString::fromStdString(partName), add ? QStringLiteral("dateadd") : QStringLiteral("datediff")),
                          QStringLiteral("42000"), 155);
        }
        out += add ? "korv_dateadd('" : "korv_datediff('";
        out += part;
        out += "',";
        out += translate(comma + 1, close);
        out += ')';
        return close;
    }

    static bool isTextType(std::string_view type) { return HasRole(type.substr(0, type.find('(')), kTextType); }

    // CAST(x AS type) and CONVERT(type, x[, style]): one conversion call of the connection.
    size_t convertCall(size_t k, size_t open, size_t close, std::string& out, bool ddl) {
        const bool cast = isWord(k, "CAST");
        size_t split = close, style = close;
        int depth = 0;
        for (size_t j = open + 1; j < close; ++j) {
            if (isPunct(j, '(')) ++depth;
            else if (isPunct(j, ')')) --depth;
            else if (depth == 0 && cast && isWord(j, "AS")) split = j;
            else if (depth == 0 && !cast && isPunct(j, ',')) {
                if (split == close) split = j;
                else if (style == close) style = j;
            }
        }
        if (split == close) {
            ThrowProvider(vb::kHrErrorsInCommand,
                          QStringLiteral("Incorrect syntax near '%1'.").arg(QString::fromUtf8(text(k).data(), static_cast<qsizetype>(text(k).size()))),
                          QStringLiteral("42000"), 102);
        }
        std::string type;
        for (size_t j = cast ? split + 1 : open + 1; j < (cast ? close : split); ++j) {
            if (t_[j].kind == Kind::Space) continue;
            for (char c : t_[j].kind == Kind::Quoted ? bare(j) : std::string(text(j))) {
                if (c != '\'') type += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            }
        }
        out += "korv_convert('" + type + "',";
        const size_t value = sig(split + 1);
        if (!cast && style < close && t_[value].kind == Kind::String && sig(value + 1) == style) {
            // a text read in a style of its own: the conversion reads it, not the translation
            std::string_view v = text(value);
            if (v[0] != '\'') v.remove_prefix(1);
            out.append(v);
        } else {
            out += cast ? translate(open + 1, split) : translate(split + 1, style);
        }
        if (!cast && style < close) {
            out += ',';
            out += translate(style + 1, close);
        }
        out += ')';
        if (!ddl && isTextType(type)) out += kTextRule;
        return close;
    }

    static bool isTextFunction(std::string_view w) { return HasRole(w, kTextFunction); }

    // Whether the token ends an operand, so that a + - * / % after it is arithmetic.
    bool endsOperand(size_t i, size_t e) const {
        if (i >= e) return false;
        switch (t_[i].kind) {
        case Kind::Number: case Kind::String: case Kind::Quoted: return true;
        case Kind::Punct: return isPunct(i, ')');
        case Kind::Word:
            return !HasRole(text(i), kBeforeOperand);
        default: return false;
        }
    }

    std::string translate(size_t b, size_t e) {
        std::string out;
        if (b < e && e <= t_.size()) out.reserve(t_[e - 1].e - t_[b].b + 16);
        std::vector<std::pair<int, std::string>> limits;   // (depth, n) of TOP n
        std::vector<int> ruleCloses;                        // depths at which a text function's call closes
        int depth = 0;
        // Column definitions of CREATE TABLE (at depth 1) and ALTER TABLE ... ADD (depth 0).
        int columnDepth = -1;
        bool columnStart = false, expectType = false;
        std::string column;
        int defaultClose = -1;   // depth at which a DEFAULT call's wrapping parenthesis closes
        const size_t first = sig(b);
        if (isWord(first, "CREATE") && isWord(sig(first + 1), "TABLE")) columnDepth = 1;
        const bool alter = isWord(first, "ALTER");
        const Target target = targetOf(b, e);
        int position = -1;            // INSERT ... VALUES: the value's column position in its row
        bool valueNext = false;       // the next significant token starts a value of the target
        size_t valueColumn = SIZE_MAX;   // UPDATE ... SET: the column named before "="

        size_t prevSig = e, prevSig2 = e;   // the previous significant tokens
        for (size_t k = b; k < e; ++k) {
            const Tok& t = t_[k];
            const bool ddl = columnDepth >= 0;
            if (valueNext && t.kind != Kind::Space) {
                valueNext = false;
                const ColumnRule* rule = ruleOf(target, position, valueColumn);
                const size_t last = rule ? writeValue(k, e, *rule, target.kind == Target::Insert, out) : SIZE_MAX;
                if (last != SIZE_MAX) {
                    k = last;
                    prevSig2 = prevSig;
                    prevSig = k;
                    continue;
                }
            }
            switch (t.kind) {
            case Kind::Space:
                out.append(text(t));
                continue;
            case Kind::Number:
                out += numberText(k);
                break;
            case Kind::String: {
                bool date = false;
                out += literalText(k, &date);
                if (!ddl && !inExecArgs_ && literalNeedsRule(k, e, prevSig, prevSig2)) out += date ? kDateRule : kTextRule;
                break;
            }
            case Kind::Punct: {
                const char c = s_[t.b];
                const size_t len = t.e - t.b;
                if (len == 1 && c == '(') {
                    const size_t a = sig(k + 1);
                    if (isWord(a, "NOLOCK") && isPunct(sig(a + 1), ')')) {
                        k = sig(a + 1);
                        continue;
                    }
                    if (!orCount_.empty() && orCount_[k] >= kLongOrChain && closeOf_[k] < e) {
                        k = flattenOr(k, out);
                        break;
                    }
                    ++depth;
                    out += '(';
                    if (columnDepth == 1 && depth == 1) columnStart = true;
                    if (target.kind == Target::Insert && k > target.clause && depth == 1) {
                        position = 0;
                        valueNext = true;
                    }
                } else if (len == 1 && c == ')') {
                    if (!limits.empty() && limits.back().first == depth) {
                        out += " LIMIT ";
                        out += limits.back().second;
                        limits.pop_back();
                    }
                    --depth;
                    out += ')';
                    if (!ruleCloses.empty() && ruleCloses.back() == depth) {
                        out += kTextRule;
                        ruleCloses.pop_back();
                    }
                    if (defaultClose >= 0 && depth == defaultClose) {
                        out += ')';
                        defaultClose = -1;
                    }
                } else if (len == 1 && c == ',') {
                    out += ',';
                    if (columnDepth >= 0 && depth == columnDepth) columnStart = true;
                    if (target.kind == Target::Insert && k > target.clause && depth == 1 && position >= 0) {
                        ++position;
                        valueNext = true;
                    }
                } else if (len == 1 && (c == '+' || c == '-' || c == '*' || c == '/' || c == '%')) {
                    out += c;
                    if (!ddl && endsOperand(prevSig, e)) arith_ = true;
                } else if (len == 1 && c == ';') {
                    // separators are the batch's business
                } else {
                    out.append(text(t));
                    if (len == 1 && c == '=' && target.kind == Target::Update && k > target.clause && k < target.clauseEnd &&
                        depth == 0 && prevSig < e && isName(prevSig)) {
                        valueColumn = prevSig;
                        valueNext = true;
                    }
                }
                break;
            }
            case Kind::Word:
            case Kind::Quoted: {
                // Column definitions.
                if (columnDepth >= 0 && depth == columnDepth && columnStart) {
                    columnStart = false;
                    if (t.kind == Kind::Word && HasRole(text(k), kTableConstraint)) {
                        if (isWord(k, "COLUMN")) columnStart = true;
                        out.append(text(t));
                        break;
                    }
                    column = bare(k);
                    out += nameText(k);
                    expectType = true;
                    break;
                }
                if (expectType && t.kind == Kind::Word) {
                    expectType = false;
                    k = columnType(k, e, column, out);
                    break;
                }
                if (t.kind == Kind::Word) {
                    if (columnDepth >= 0 && isWord(k, "COLLATE")) {
                        k = sig(k + 1);   // the columns carry the connection's own compare rules
                        break;
                    }
                    if (columnDepth >= 0 && isWord(k, "IDENTITY")) {
                        const size_t p = sig(k + 1);
                        if (isPunct(p, '(')) {
                            size_t q = p;
                            while (q < e && !isPunct(q, ')')) ++q;
                            k = q;
                        }
                        break;
                    }
                    if (columnDepth >= 0 && isWord(k, "DEFAULT")) {
                        out += "DEFAULT";
                        const size_t n = sig(k + 1);
                        if (n < e && t_[n].kind == Kind::Word && isPunct(sig(n + 1), '(')) {
                            out += " (";
                            defaultClose = depth;
                            k = n - 1;
                        }
                        break;
                    }
                    if (alter && isWord(k, "ADD") && columnDepth < 0) {
                        out += "ADD";
                        columnDepth = 0;
                        columnStart = true;
                        break;
                    }
                    if (isWord(k, "WITH")) {
                        const size_t p = sig(k + 1);
                        const size_t a = sig(p + 1);
                        if (isPunct(p, '(') && isWord(a, "NOLOCK") && isPunct(sig(a + 1), ')')) {
                            k = sig(a + 1);
                            continue;
                        }
                    }
                    if (isWord(k, "SELECT")) {
                        out += "SELECT";
                        size_t n = sig(k + 1);
                        if (isWord(n, "DISTINCT") || isWord(n, "ALL")) {
                            out.append(s_.substr(t.e, t_[n].e - t.e));
                            k = n;
                            n = sig(k + 1);
                        }
                        if (isWord(n, "TOP")) {
                            size_t v = sig(n + 1);
                            bool paren = false;
                            if (isPunct(v, '(')) { paren = true; v = sig(v + 1); }
                            if (v < e && t_[v].kind == Kind::Number) {
                                std::string count(text(v));
                                size_t after = v;
                                if (paren) after = sig(after + 1);   // ')'
                                size_t p = sig(after + 1);
                                bool percent = false;
                                if (isWord(p, "PERCENT")) { percent = true; after = p; p = sig(p + 1); }
                                if (isWord(p, "WITH") && isWord(sig(p + 1), "TIES")) after = sig(p + 1);
                                if (!percent) limits.emplace_back(depth, count);
                                k = after;
                            }
                        }
                        break;
                    }
                    const size_t call = sig(k + 1);
                    if (isPunct(call, '(')) {
                        if (isWord(k, "CAST") || isWord(k, "CONVERT")) {
                            const size_t close = matching(call, e);
                            if (close < e) {
                                k = convertCall(k, call, close, out, ddl);
                                break;
                            }
                        }
                        if (isWord(k, "DATEPART") || isWord(k, "DATENAME")) {   // not built: said plainly
                            ThrowProvider(vb::kHrErrorsInCommand,
                                          QStringLiteral("'%1' is not a recognized built-in function name.")
                                              .arg(QString::fromUtf8(text(k).data(), static_cast<qsizetype>(text(k).size()))),
                                          QStringLiteral("42000"), 195);
                        }
                        if (isWord(k, "DATEADD") || isWord(k, "DATEDIFF")) {
                            const size_t close = matching(call, e);
                            if (close < e) {
                                k = dateCall(k, call, close, out);
                                break;
                            }
                        }
                        if (isWord(k, "ISNULL")) { out += "IFNULL"; break; }
                        if (isWord(k, "LEFT") || isWord(k, "RIGHT")) {
                            out += isWord(k, "LEFT") ? "korv_left" : "korv_right";
                            if (!ddl) ruleCloses.push_back(depth);
                            break;
                        }
                        if (isTextFunction(text(k))) {
                            out += isWord(k, "SUBSTRING") ? std::string("SUBSTR") : std::string(text(k));
                            if (!ddl) ruleCloses.push_back(depth);
                            break;
                        }
                    }
                    if (s_[t.b] == '@' && t.e - t.b > 1 && s_[t.b + 1] == '@') {
                        if (!isWord(k, "@@ROWCOUNT")) {
                            ThrowProvider(vb::kHrErrorsInCommand,
                                          QStringLiteral("Incorrect syntax near '%1'.").arg(QString::fromUtf8(text(k).data(), static_cast<qsizetype>(text(k).size()))),
                                          QStringLiteral("42000"), 102);
                        }
                        out += kRowCountParameter;
                        break;
                    }
                    if (isWord(k, "TRAN")) { out += "TRANSACTION"; break; }
                    if (k == sig(first + 1) && columnDepth == 1 && isTemporary(sig(k + 1))) {
                        out += "TEMP TABLE";   // CREATE TABLE #name: dropped with the session
                        break;
                    }
                    if (isWord(k, "TRUNCATE") && isWord(sig(k + 1), "TABLE")) {
                        out += "DELETE FROM";
                        k = sig(k + 1);
                        break;
                    }
                    if (isWord(k, "DELETE")) {
                        out += "DELETE";
                        if (!isWord(sig(k + 1), "FROM")) out += " FROM";
                        break;
                    }
                }
                // Names, with their owner and database parts.
                if (prevSig < e && isPunct(prevSig, '.')) {
                    out += nameText(k);
                    break;
                }
                k = name(k, e, out);
                break;
            }
            }
            prevSig2 = prevSig;
            prevSig = k;
        }
        while (!limits.empty()) {
            out += "\nLIMIT ";   // on a line of its own: the statement may end in a comment
            out += limits.back().second;
            limits.pop_back();
        }
        return out;
    }

    // A type of a column definition, with the rules of its kind: text types get the compare rule
    // and their length check; date types hold text (ISO) and compare as dates; decimals and money
    // hold floating values, so that arithmetic on them never takes the int rules.
    size_t columnType(size_t k, size_t e, const std::string& col, std::string& out) {
        const std::string_view type = text(k);
        const uint32_t roles = RolesOf(type);
        const bool textType = roles & kTextType;
        const bool dateType = roles & kDateType;
        const bool decimalType = roles & kDecimalType;
        out.append(type);
        if (dateType) out += " TEXT";
        if (decimalType) out += " REAL";
        size_t last = k;
        std::string length;
        const size_t p = sig(k + 1);
        if (isPunct(p, '(')) {
            size_t q = p;
            bool comma = false;
            while (q < e && !isPunct(q, ')')) {
                if (isPunct(q, ',')) comma = true;
                if (t_[q].kind == Kind::Number && !comma) length = std::string(text(q));
                ++q;
            }
            if (q < e) {
                out.append(s_.substr(t_[k].e, t_[q].e - t_[k].e));
                last = q;
            }
        }
        if (EqualNoCase(type, "sysname")) length = "128";
        if (textType) {
            out += kTextRule;
            if (!length.empty()) {
                const std::string q = quoted(col);
                out += " CONSTRAINT ";
                out += quoted(std::string(kLengthCheckPrefix) + col);
                out += " CHECK(length(" + q + ")<=" + length + " OR length(rtrim(" + q + ",' '))<=" + length + ")";
            }
        } else if (dateType) {
            out += kDateRule;   // the connection's date compare rule
        }
        return last;
    }

    // A name chain starting at k: db.owner.object, owner.object, alias.column.
    size_t name(size_t k, size_t e, std::string& out) {
        if (!(k + 1 < e && isPunct(k + 1, '.'))) {   // a name of one part
            if (t_[k].kind == Kind::Word && !isTemporary(k)) out.append(text(k));
            else out += nameText(k);
            return k;
        }
        std::vector<size_t> parts{k};   // token index, or SIZE_MAX for an empty part
        size_t j = k + 1;
        while (j < e && isPunct(j, '.')) {
            if (isName(j + 1)) { parts.push_back(j + 1); j += 2; }
            else if (isPunct(j + 1, '.')) { parts.push_back(SIZE_MAX); j += 1; }
            else break;
        }
        if (parts.size() == 1) {
            out += nameText(k);
            return k;
        }
        const size_t last = parts.back();
        if (last == SIZE_MAX) {   // "a." followed by something else: leave it
            out += nameText(k);
            return k;
        }
        auto isDbo = [&](size_t p) { return p != SIZE_MAX && EqualNoCase(bare(p), "dbo"); };
        if (parts.size() == 2) {
            if (isDbo(parts[0])) out += nameText(parts[1]);
            else {
                out += nameText(parts[0]);
                out += '.';
                out += nameText(parts[1]);
            }
            return parts[1];
        }
        const size_t owner = parts[parts.size() - 2];
        const size_t db = parts[parts.size() - 3];
        if ((owner == SIZE_MAX || isDbo(owner)) && db != SIZE_MAX) {
            const std::string dbName = bare(db);
            if (EqualNoCase(dbName, db_)) {
                out += nameText(last);
            } else {
                bool known = false;
                for (const auto& d : databases_) known = known || EqualNoCase(d, dbName);
                if (!known) databases_.push_back(dbName);
                out += quoted(dbName);
                out += '.';
                out += nameText(last);
            }
            return last;
        }
        if (isDbo(parts[0])) {
            for (size_t p = 1; p < parts.size(); ++p) {
                if (p > 1) out += '.';
                if (parts[p] != SIZE_MAX) out += nameText(parts[p]);   // "dbo.a..b": an empty part
            }
            return last;
        }
        for (size_t p = 0; p < parts.size(); ++p) {
            if (p) out += '.';
            if (parts[p] != SIZE_MAX) out += nameText(parts[p]);
        }
        return last;
    }
};

}  // namespace

bool ReadDateTime(std::string_view t, DateTime* out, bool bareCompact) {
    auto digit = [&](size_t k) { return k < t.size() && IsDigit(static_cast<unsigned char>(t[k])); };
    size_t i = 0;
    int y, m, d;
    const bool fourFirst = digit(0) && digit(1) && digit(2) && digit(3);
    bool iso = false;
    if (fourFirst && t.size() >= 8 && t[4] == '-') {
        iso = true;
        y = TwoDigits(t, i, 4);
        ++i;
        m = TwoDigits(t, i, 2);
        if (m < 0 || i >= t.size() || t[i] != '-') return false;
        ++i;
        d = TwoDigits(t, i, 2);
    } else if (fourFirst && digit(4) && digit(5) && digit(6) && digit(7)) {
        y = (t[0] - '0') * 1000 + (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0');
        m = (t[4] - '0') * 10 + (t[5] - '0');
        d = (t[6] - '0') * 10 + (t[7] - '0');
        i = 8;
        if (i == t.size() && !bareCompact) return false;
        if (i < t.size() && t[i] != ' ') return false;   // a time must follow, after a blank
    } else {
        d = TwoDigits(t, i, 2);
        if (d < 0 || i >= t.size() || (t[i] != '/' && t[i] != '-')) return false;
        const char sep = t[i++];
        m = TwoDigits(t, i, 2);
        if (m < 0 || i >= t.size() || t[i] != sep) return false;
        ++i;
        const size_t ys = i;
        y = TwoDigits(t, i, 4);
        if (i - ys == 2) y += y < 50 ? 2000 : 1900;   // the server's two-digit year cutoff
        else if (i - ys != 4) return false;
    }
    if (!ValidDay(y, m, d)) return false;
    DateTime r;
    r.year = y;
    r.month = m;
    r.day = d;
    if (i < t.size()) {
        if (t[i] != ' ' && !(iso && t[i] == 'T')) return false;
        while (i < t.size() && (t[i] == ' ' || t[i] == 'T')) ++i;
        r.hour = TwoDigits(t, i, 2);
        if (r.hour < 0 || r.hour > 23 || i >= t.size() || t[i] != ':') return false;
        ++i;
        const size_t ms = i;
        r.minute = TwoDigits(t, i, 2);
        if (i - ms != 2 || r.minute > 59) return false;
        if (i < t.size() && t[i] == ':') {
            ++i;
            const size_t s0 = i;
            r.second = TwoDigits(t, i, 2);
            if (i - s0 != 2 || r.second > 59) return false;
            if (i < t.size() && t[i] == '.') {
                ++i;
                int scale = 100;
                while (i < t.size() && IsDigit(static_cast<unsigned char>(t[i]))) {
                    r.millisecond += (t[i] - '0') * scale;
                    scale /= 10;
                    ++i;
                }
            }
        }
        if (i != t.size()) return false;
    }
    *out = r;
    return true;
}

std::string IsoText(const DateTime& d, char between) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d%c%02d:%02d:%02d", d.year, d.month, d.day, between, d.hour, d.minute, d.second);
    if (d.millisecond) std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), ".%03d", d.millisecond);
    return buf;
}

bool ReadDateLiteral(std::string_view t, std::string* iso) {
    DateTime d;
    if (!ReadDateTime(t, &d, false)) return false;
    *iso = IsoText(d);
    return true;
}

Batch Translate(std::string_view sql, std::string_view currentDatabase, const TableColumnsOf& columnsOf) {
    return Translator(sql, currentDatabase, columnsOf).run();
}

bool NumberFitsAsWritten(const ColumnRule& r, std::string_view n, bool negative) {
    if (r.kind == ColumnRule::Float) return true;
    if (n.find_first_of("eE") != std::string_view::npos) return false;
    const size_t point = n.find('.');
    std::string_view whole = n.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : n.substr(point + 1);
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (r.kind == ColumnRule::Decimal) {
        return static_cast<int>(fraction.size()) <= r.scale && static_cast<int>(whole.size()) <= r.precision - r.scale;
    }
    if (r.kind != ColumnRule::Int && r.kind != ColumnRule::Bit) return false;
    if (!fraction.empty() || whole.size() > 18) return false;
    int64_t v = 0;
    for (char c : whole) v = v * 10 + (c - '0');
    if (negative) v = -v;
    if (r.kind == ColumnRule::Bit) return v == 0 || v == 1;
    return v >= r.low && v <= r.high;
}

namespace {

// A number the shape may lift: digits with at most one point and an optional exponent, that no
// character after it could extend (a mark in its place then reads as one number too).
bool LiftableNumber(std::string_view s, const Tok& t) {
    const std::string_view n = s.substr(t.b, t.e - t.b);
    size_t i = 0, digits = 0;
    while (i < n.size() && IsDigit(static_cast<unsigned char>(n[i]))) ++i, ++digits;
    if (i < n.size() && n[i] == '.') {
        ++i;
        while (i < n.size() && IsDigit(static_cast<unsigned char>(n[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n.size() && (n[i] == 'e' || n[i] == 'E')) {
        ++i;
        if (i < n.size() && (n[i] == '+' || n[i] == '-')) ++i;
        size_t exponent = 0;
        while (i < n.size() && IsDigit(static_cast<unsigned char>(n[i]))) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    if (i != n.size()) return false;
    auto joins = [&](size_t at) { return IsWordChar(static_cast<unsigned char>(s[at])) || s[at] == '.'; };
    return (t.b == 0 || !joins(t.b - 1)) && (t.e >= s.size() || !joins(t.e));
}

}  // namespace

Shape LiftShape(std::string_view s) {
    Shape out;
    if (s.find('\x01') != std::string_view::npos) return out;   // a mark's own character
    const std::vector<Tok> t = Tokenize(s);
    auto isWord = [&](size_t i, std::string_view w) {
        return i < t.size() && t[i].kind == Kind::Word && EqualNoCase(s.substr(t[i].b, t[i].e - t[i].b), w);
    };
    auto isPunct = [&](size_t i, char c) { return i < t.size() && t[i].kind == Kind::Punct && t[i].e - t[i].b == 1 && s[t[i].b] == c; };
    out.key.reserve(s.size());
    int depth = 0;
    int keptDepth = -1;   // depth of the call whose arguments stay as written; -1 outside one
    size_t prev = SIZE_MAX, prev2 = SIZE_MAX, copied = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Tok& tok = t[k];
        if (tok.kind == Kind::Space) continue;
        if (isPunct(k, '(')) {
            ++depth;
            if (keptDepth < 0 && (isWord(prev, "CAST") || isWord(prev, "CONVERT") || isWord(prev, "DATEADD") ||
                                  isWord(prev, "DATEDIFF") || isWord(prev, "DATEPART") || isWord(prev, "DATENAME")))
                keptDepth = depth;
        } else if (isPunct(k, ')')) {
            if (depth == keptDepth) keptDepth = -1;
            --depth;
        } else if (tok.kind == Kind::Number || tok.kind == Kind::String) {
            bool lift = keptDepth < 0;
            if (tok.kind == Kind::Number) {
                if (s.substr(tok.b, tok.e - tok.b).substr(0, kNumberMark.size()) == kNumberMark) return Shape{};
                // the count of TOP n and TOP (n) stays
                if (isWord(prev, "TOP") || (isPunct(prev, '(') && isWord(prev2, "TOP"))) lift = false;
                lift = lift && LiftableNumber(s, tok);
            } else {
                std::string_view v = s.substr(tok.b, tok.e - tok.b);
                if (v[0] != '\'') v.remove_prefix(1);   // N'...'
                const bool closed = v.size() >= 2 && v.back() == '\'';
                lift = lift && closed && !DateForm(v.substr(1, v.size() - 2));
            }
            if (lift) {
                out.key.append(s.substr(copied, tok.b - copied));
                out.key += '\x01';
                out.key += tok.kind == Kind::String ? 's' : 'n';
                copied = tok.e;
                out.literals.push_back({tok.kind == Kind::String, tok.b, tok.e});
            }
        }
        prev2 = prev;
        prev = k;
    }
    out.key.append(s.substr(copied));
    out.valid = true;
    return out;
}

Batch TranslateShape(std::string_view sql, const Shape& shape, std::string_view currentDatabase, const TableColumnsOf& columnsOf,
                     std::vector<NumberCheck>* checks) {
    return Translator(sql, currentDatabase, columnsOf, shape, checks).run();
}

std::vector<MarkedPiece> CutAtMarks(std::string_view translated) {
    std::vector<MarkedPiece> out;
    const std::vector<Tok> t = Tokenize(translated);
    size_t copied = 0;
    for (const Tok& tok : t) {
        const std::string_view v = translated.substr(tok.b, tok.e - tok.b);
        std::string_view index;
        if (tok.kind == Kind::String && v.size() > 3 && v[0] == '\'' && v[1] == '\x01' && v.back() == '\'') index = v.substr(2, v.size() - 3);
        else if (tok.kind == Kind::Number && v.size() > kNumberMark.size() && v.substr(0, kNumberMark.size()) == kNumberMark)
            index = v.substr(kNumberMark.size());
        else continue;
        MarkedPiece piece{std::string(translated.substr(copied, tok.b - copied)), -1};
        if (index.size() > 9) return {};
        for (char c : index) {
            if (!IsDigit(static_cast<unsigned char>(c))) return {};
            piece.literal = piece.literal < 0 ? c - '0' : piece.literal * 10 + (c - '0');
        }
        out.push_back(std::move(piece));
        copied = tok.e;
    }
    out.push_back({std::string(translated.substr(copied)), -1});
    return out;
}

std::vector<bool> MoneyColumns(std::string_view translated) {
    std::vector<Tok> t = Tokenize(translated);
    std::erase_if(t, [](const Tok& x) { return x.kind == Kind::Space; });
    const auto text = [&](size_t i) { return translated.substr(t[i].b, t[i].e - t[i].b); };
    const auto word = [&](size_t i, const char* w) { return i < t.size() && t[i].kind == Kind::Word && EqualNoCase(text(i), w); };
    const auto punct = [&](size_t i, char c) { return i < t.size() && t[i].kind == Kind::Punct && text(i) == std::string_view(&c, 1); };
    size_t k = 0;
    for (int depth = 0; k < t.size(); ++k) {   // the first SELECT outside parentheses
        if (punct(k, '(')) ++depth;
        else if (punct(k, ')')) --depth;
        else if (depth == 0 && word(k, "SELECT")) break;
    }
    if (k == t.size()) return {};
    ++k;
    if (word(k, "DISTINCT") || word(k, "ALL")) ++k;
    std::vector<bool> money;
    while (k < t.size()) {
        // one item: up to a comma or the end of the list, outside parentheses
        size_t e = k, close = SIZE_MAX;
        for (int depth = 0; e < t.size(); ++e) {
            if (punct(e, '(')) ++depth;
            else if (punct(e, ')')) {
                if (--depth == 0 && close == SIZE_MAX) close = e;
                if (depth < 0) break;
            } else if (depth == 0 && (punct(e, ',') || punct(e, ';'))) break;
            else if (depth == 0 && t[e].kind == Kind::Word && HasRole(text(e), kEndsSelectList))
                break;
        }
        if (e == k) return {};
        if (punct(e - 1, '*')) return {};   // * or t.*
        bool m = word(k, "korv_convert") && punct(k + 1, '(') && k + 2 < t.size() && t[k + 2].kind == Kind::String &&
                 (text(k + 2) == "'money'" || text(k + 2) == "'smallmoney'") && close != SIZE_MAX;
        if (m) {
            const size_t after = close + 1;   // nothing, an alias, or AS and an alias
            m = after == e || (after + 1 == e && t[after].kind != Kind::Punct) ||
                (after + 2 == e && word(after, "AS") && t[after + 1].kind != Kind::Punct);
        }
        money.push_back(m);
        if (!punct(e, ',')) break;
        k = e + 1;
    }
    return money;
}

std::string_view LiteralToken(std::string_view sql, const Shape::Literal& l) {
    std::string_view v = sql.substr(l.b, l.e - l.b);
    if (l.text && v[0] != '\'') v.remove_prefix(1);
    return v;
}

long MarkedLiteral(std::string_view value, bool text) {
    std::string_view index;
    if (text && value.size() > 1 && value[0] == '\x01') index = value.substr(1);
    else if (!text && value.size() > kNumberMark.size() && value.substr(0, kNumberMark.size()) == kNumberMark)
        index = value.substr(kNumberMark.size());
    else return -1;
    long n = 0;
    for (char c : index) {
        if (!IsDigit(static_cast<unsigned char>(c)) || n > 100000000) return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

ColumnRule RuleOfType(std::string_view declared) {
    ColumnRule r;
    std::string word;
    size_t i = 0;
    while (i < declared.size() && IsWordChar(static_cast<unsigned char>(declared[i]))) {
        const char c = declared[i++];
        word += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    int a = -1, b = -1;
    const size_t open = declared.find('(');
    if (open != std::string_view::npos) {
        size_t k = open + 1;
        a = TwoDigits(declared, k, 2);
        while (k < declared.size() && declared[k] == ' ') ++k;
        if (k < declared.size() && declared[k] == ',') {
            ++k;
            while (k < declared.size() && declared[k] == ' ') ++k;
            b = TwoDigits(declared, k, 2);
        }
    }
    static const struct { const char* word; int64_t low, high; } ints[] = {
        {"int", INT32_MIN, INT32_MAX}, {"integer", INT32_MIN, INT32_MAX}, {"smallint", -32768, 32767},
        {"tinyint", 0, 255}, {"bigint", INT64_MIN, INT64_MAX},
    };
    for (const auto& x : ints) {
        if (word == x.word) {
            r.kind = ColumnRule::Int;
            r.type = word == "integer" ? "int" : word;
            r.low = x.low;
            r.high = x.high;
            return r;
        }
    }
    if (word == "bit") {
        r.kind = ColumnRule::Bit;
        r.type = word;
    } else if (word == "decimal" || word == "numeric") {
        r.kind = ColumnRule::Decimal;
        r.precision = a > 0 ? a : 18;
        r.scale = b > 0 ? b : 0;
        r.type = "numeric(" + std::to_string(r.precision) + "," + std::to_string(r.scale) + ")";
    } else if (word == "money" || word == "smallmoney") {
        r.kind = ColumnRule::Decimal;
        r.precision = word == "money" ? 19 : 10;
        r.scale = 4;
        r.type = word;
    } else if (word == "float" || word == "real" || word == "double") {
        r.kind = ColumnRule::Float;
        r.type = "float";
    } else if (word == "datetime" || word == "smalldatetime" || word == "date" || word == "datetime2") {
        r.kind = ColumnRule::Date;
        r.type = word == "date" ? "date" : "datetime";
    }
    return r;
}

TableColumns::TableColumns(const std::vector<std::pair<std::string, std::string>>& columns) {
    rules_.reserve(columns.size());
    for (const auto& [name, type] : columns) {
        rules_.push_back(RuleOfType(type));
        std::string upper;
        for (char c : name) upper += Upper(c);
        names_.push_back(std::move(upper));
    }
}

const ColumnRule* TableColumns::named(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (EqualNoCase(names_[i], name)) return &rules_[i];
    }
    return nullptr;
}

const std::vector<const ColumnRule*>* TableColumns::kept(std::string_view text) const {
    const auto it = lists_.find(text);
    return it == lists_.end() ? nullptr : &it->second;
}

const std::vector<const ColumnRule*>& TableColumns::keep(std::string_view text, const std::vector<std::string>& names) {
    std::vector<const ColumnRule*> rules;
    rules.reserve(names.size());
    for (const std::string& n : names) rules.push_back(named(n));
    return lists_.insert_or_assign(std::string(text), std::move(rules)).first->second;
}

std::string BindParameters(std::string_view body, const std::vector<std::pair<std::string, std::string>>& values) {
    const std::vector<Tok> toks = Tokenize(body);
    std::string out;
    out.reserve(body.size() + 32);
    for (const Tok& t : toks) {
        const std::string_view v = body.substr(t.b, t.e - t.b);
        if (t.kind == Kind::Word && v[0] == '@') {
            bool done = false;
            for (const auto& [name, value] : values) {
                if (EqualNoCase(name, v)) {
                    out += value;
                    done = true;
                    break;
                }
            }
            if (done) continue;
        }
        out.append(v);
    }
    return out;
}

}  // namespace ado::tsql
