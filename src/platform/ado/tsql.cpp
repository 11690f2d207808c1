#include "platform/ado/tsql.h"

#include "platform/ado/provider.h"
#include "platform/ado/tsql_translator.h"
#include "platform/vb/error.h"

#include <cassert>

// The statements of a batch: where each ends, the server's own statements (IF, blocks, EXEC,
// CREATE PROCEDURE, DECLARE, SET @x, SELECT @x =) read into their kinds, and the rest handed to
// the token loop of tsql_expr.cpp.

namespace ado::tsql {

Translator::Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf)
    : s_(sql), db_(currentDb), t_(Tokenize(sql)), columnsOf_(columnsOf) {
    countOrChains();
}

// Marks the shape's literals in the translation instead of writing them, and notes in
// `checks` every lifted number whose fit into a column was asked.
Translator::Translator(std::string_view sql, std::string_view currentDb, const TableColumnsOf& columnsOf, const Shape& shape,
           std::vector<NumberCheck>* checks)
    : Translator(sql, currentDb, columnsOf) {
    checks_ = checks;
    slot_.assign(t_.size(), -1);
    size_t k = 0;
    for (size_t n = 0; n < shape.literals.size(); ++n) {
        while (k < t_.size() && t_[k].b < shape.literals[n].b) ++k;
        // the shape is the text's own: each literal is one of its tokens, in order
        assert(k < t_.size() && t_[k].b == shape.literals[n].b && t_[k].e == shape.literals[n].e);
        if (k < t_.size() && t_[k].b == shape.literals[n].b) slot_[k] = static_cast<int32_t>(n);
    }
}

Batch Translator::run() {
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

// The name without its brackets or quotes.
std::string Translator::bare(size_t i) const {
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

std::string Translator::quoted(const std::string& name) {
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
std::string Translator::nameText(size_t i) const {
    return t_[i].kind == Kind::Quoted || isTemporary(i) ? quoted(bare(i)) : std::string(text(i));
}

void Translator::syntaxError(size_t at) const {
    const std::string_view near = at < t_.size() ? text(at) : std::string_view();
    ThrowProvider(vb::kHrErrorsInCommand,
                  QStringLiteral("Incorrect syntax near '%1'.").arg(QString::fromUtf8(near.data(), static_cast<qsizetype>(near.size()))),
                  QStringLiteral("42000"), native::kSyntax);
}

Translator::Nested::Nested(int& n) : n_(n) {
    assert(n_ >= 0);
    if (++n_ > kMaxNesting) {
        --n_;
        ThrowProvider(vb::kHrErrorsInCommand,
                      QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or "
                                     "break it up into smaller queries."),
                      QStringLiteral("42000"), native::kTooDeep);
    }
}

// The end of the plain statement that starts at i.
size_t Translator::statementEnd(size_t i) const {
    const std::string_view first = text(i);
    const bool insert = EqualNoCase(first, "INSERT");
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
            else if (HasRole(w, kStatementStart)) {
                if (startsStatement(k, prev, insert, setting, rowSource)) return k;
                if (EqualNoCase(w, "SELECT")) rowSource = true;
            } else if (insert && EqualNoCase(w, "VALUES")) {
                rowSource = true;
            }
        }
        prev = k;
    }
    return k;
}

// Whether the statement word at k starts a statement after the significant token prev.
bool Translator::startsStatement(size_t k, size_t prev, bool insert, bool setting, bool rowSource) const {
    const std::string_view w = text(k);
    const bool prevWord = t_[prev].kind == Kind::Word;
    const std::string_view pw = text(prev);
    if (EqualNoCase(w, "SELECT")) {
        if (prevWord && (EqualNoCase(pw, "UNION") || EqualNoCase(pw, "ALL") || EqualNoCase(pw, "EXCEPT") ||
                         EqualNoCase(pw, "INTERSECT") || EqualNoCase(pw, "AS"))) {
            return false;
        }
        return !(insert && !rowSource);
    }
    if (EqualNoCase(w, "UPDATE") || EqualNoCase(w, "DELETE")) {
        // ON DELETE of a foreign key, FOR UPDATE; a setting ("SET NOCOUNT ON") or a PRINT ends
        // before the statement that follows it
        return !(prevWord && !setting && (EqualNoCase(pw, "ON") || EqualNoCase(pw, "FOR")));
    }
    return !(EqualNoCase(w, "IF") && prevWord && EqualNoCase(pw, "TABLE"));   // DROP TABLE IF EXISTS
}

bool Translator::parseOne(size_t& i, Statement& st, bool inBlock) {
    while (true) {
        i = sig(i);
        if (i >= t_.size()) return false;
        if (isPunct(i, ';')) { ++i; continue; }
        if (isWord(i, "GO")) { ++i; continue; }
        if (inBlock && isWord(i, "END")) return false;
        // Session settings and messages of the server's scripts mean nothing here.
        if ((isWord(i, "SET") && hasRole(sig(i + 1), kSessionSetting)) || isWord(i, "PRINT")) {
            i = statementEnd(i);
            continue;
        }
        break;
    }
    return parseStatement(i, st);
}

// The statement that starts at the significant token i.
bool Translator::parseStatement(size_t& i, Statement& st) {
    const Nested nested(nesting_);
    if (isWord(i, "IF")) {
        parseIf(i, st);
        return true;
    }
    if (isWord(i, "BEGIN") && parseBlock(i, st)) return true;
    if (isWord(i, "EXEC") || isWord(i, "EXECUTE")) {
        parseExec(i, st);
        return true;
    }
    if (isWord(i, "CREATE") && parseCreateProcedure(i, st)) return true;
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

// IF [NOT] EXISTS (...) stmt [ELSE stmt], or IF condition stmt [ELSE stmt].
void Translator::parseIf(size_t& i, Statement& st) {
    size_t k = i + 1;
    int depth = 0;
    for (; k < t_.size(); ++k) {
        if (isPunct(k, '(')) ++depth;
        else if (isPunct(k, ')')) --depth;
        else if (depth == 0 && t_[k].kind == Kind::Word && HasRole(text(k), kStatementStart)) break;
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
}

// BEGIN ... END; false for BEGIN TRAN, which is a plain statement.
bool Translator::parseBlock(size_t& i, Statement& st) {
    const size_t n = sig(i + 1);
    if (isWord(n, "TRAN") || isWord(n, "TRANSACTION") || isWord(n, "DISTRIBUTED")) return false;
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

// EXEC proc arg, ...: the procedure's name and its arguments, each translated.
void Translator::parseExec(size_t& i, Statement& st) {
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
}

// CREATE PROC[EDURE] name [(] @a type, ... [)] AS body: the rest of the text is its body. False
// for any other CREATE.
bool Translator::parseCreateProcedure(size_t& i, Statement& st) {
    const size_t w = sig(i + 1);
    if (!isWord(w, "PROC") && !isWord(w, "PROCEDURE")) return false;
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

// DECLARE @a type [= expr] [, @b type [= expr]] ...
bool Translator::parseDeclare(size_t& i, Statement& st) {
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
void Translator::parseSelectAssign(size_t i, size_t end, Statement& st) {
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

// The translated text of a statement, its arithmetic made calls when it does any.
std::string Translator::finish(std::string sql) {
    if (!arith_) return sql;
    arith_ = false;
    return RewriteArithmetic(sql);
}

void Translator::countOrChains() {
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

Batch Translate(std::string_view sql, std::string_view currentDatabase, const TableColumnsOf& columnsOf) {
    return Translator(sql, currentDatabase, columnsOf).run();
}

Batch TranslateShape(std::string_view sql, const Shape& shape, std::string_view currentDatabase, const TableColumnsOf& columnsOf,
                     std::vector<NumberCheck>* checks) {
    return Translator(sql, currentDatabase, columnsOf, shape, checks).run();
}

}  // namespace ado::tsql
