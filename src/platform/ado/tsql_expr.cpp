#include "platform/ado/tsql.h"

#include "platform/ado/provider.h"
#include "platform/ado/tsql_translator.h"
#include "platform/vb/error.h"

#include <algorithm>
#include <cassert>

// The token loop of one range of a statement: literals, parentheses, operators, words, names and
// the column definitions of CREATE TABLE and ALTER TABLE ADD. The rules of words and calls are in
// tsql_rules.cpp, the values written into columns in tsql_values.cpp.

namespace ado::tsql {

std::string Translator::translate(size_t b, size_t e) {
    Expr x;
    x.b = b;
    x.e = e;
    if (b < e && e <= t_.size()) x.out.reserve(t_[e - 1].e - t_[b].b + 16);
    x.first = sig(b);
    if (isWord(x.first, "CREATE") && isWord(sig(x.first + 1), "TABLE")) x.columnDepth = 1;
    x.alter = isWord(x.first, "ALTER");
    x.target = targetOf(b, e);
    x.prevSig = x.prevSig2 = e;
    for (size_t k = b; k < e; ++k) {
        if (t_[k].kind == Kind::Space) {
            x.out.append(text(k));
            continue;
        }
        readToken(x, k);
        if (x.keepPrev) {
            x.keepPrev = false;
            continue;
        }
        x.prevSig2 = x.prevSig;
        x.prevSig = k;
    }
    while (!x.limits.empty()) {
        x.out += "\nLIMIT ";   // on a line of its own: the statement may end in a comment
        x.out += x.limits.back().second;
        x.limits.pop_back();
    }
    return std::move(x.out);
}

// The significant token at k; k becomes the last token it read.
void Translator::readToken(Expr& x, size_t& k) {
    if (x.valueNext) {
        x.valueNext = false;
        const ColumnRule* rule = ruleOf(x.target, x.position, x.valueColumn);
        const size_t last = rule ? writeValue(k, x.e, *rule, x.target.kind == Target::Insert, x.out) : SIZE_MAX;
        if (last != SIZE_MAX) {
            k = last;
            return;
        }
    }
    switch (t_[k].kind) {
    case Kind::Space:
        x.out.append(text(k));
        x.keepPrev = true;
        return;
    case Kind::Number:
        x.out += numberText(k);
        return;
    case Kind::String: {
        bool date = false;
        x.out += literalText(k, &date);
        if (!x.ddl() && !inExecArgs_ && literalNeedsRule(k, x.e, x.prevSig, x.prevSig2)) x.out += date ? kDateRule : kTextRule;
        return;
    }
    case Kind::Punct:
        readPunct(x, k);
        return;
    case Kind::Word:
    case Kind::Quoted:
        readWord(x, k);
        return;
    }
}

void Translator::readPunct(Expr& x, size_t& k) {
    const char c = s_[t_[k].b];
    if (t_[k].e - t_[k].b != 1) {
        x.out.append(text(k));
        return;
    }
    switch (c) {
    case '(':
        openParen(x, k);
        return;
    case ')':
        closeParen(x);
        return;
    case ',':
        x.out += ',';
        if (x.columnDepth >= 0 && x.depth == x.columnDepth) x.columnStart = true;
        if (x.target.kind == Target::Insert && k > x.target.clause && x.depth == 1 && x.position >= 0) {
            ++x.position;
            x.valueNext = true;
        }
        return;
    case '+': case '-': case '*': case '/': case '%':
        x.out += c;
        if (!x.ddl() && endsOperand(x.prevSig, x.e)) arith_ = true;
        return;
    case ';':
        return;   // separators are the batch's business
    default:
        x.out += c;
        if (c == '=' && x.target.kind == Target::Update && k > x.target.clause && k < x.target.clauseEnd && x.depth == 0 &&
            x.prevSig < x.e && isName(x.prevSig)) {
            x.valueColumn = x.prevSig;   // UPDATE ... SET column = value
            x.valueNext = true;
        }
    }
}

void Translator::openParen(Expr& x, size_t& k) {
    const size_t a = sig(k + 1);
    if (isWord(a, "NOLOCK") && isPunct(sig(a + 1), ')')) {   // a table hint: dropped
        k = sig(a + 1);
        x.keepPrev = true;
        return;
    }
    if (!orCount_.empty() && orCount_[k] >= kLongOrChain && closeOf_[k] < x.e) {
        k = flattenOr(k, x.out);
        return;
    }
    ++x.depth;
    x.out += '(';
    if (x.columnDepth == 1 && x.depth == 1) x.columnStart = true;
    if (x.target.kind == Target::Insert && k > x.target.clause && x.depth == 1) {
        x.position = 0;   // a row of INSERT ... VALUES
        x.valueNext = true;
    }
}

void Translator::closeParen(Expr& x) {
    if (!x.limits.empty() && x.limits.back().first == x.depth) {
        x.out += " LIMIT ";
        x.out += x.limits.back().second;
        x.limits.pop_back();
    }
    --x.depth;
    x.out += ')';
    if (!x.ruleCloses.empty() && x.ruleCloses.back() == x.depth) {
        x.out += kTextRule;
        x.ruleCloses.pop_back();
    }
    if (x.defaultClose >= 0 && x.depth == x.defaultClose) {
        x.out += ')';
        x.defaultClose = -1;
    }
}

void Translator::readWord(Expr& x, size_t& k) {
    if (x.columnDepth >= 0 && x.depth == x.columnDepth && x.columnStart) {   // a column definition, or a constraint
        x.columnStart = false;
        if (hasRole(k, kTableConstraint)) {
            if (isWord(k, "COLUMN")) x.columnStart = true;
            x.out.append(text(k));
            return;
        }
        x.column = bare(k);
        x.out += nameText(k);
        x.expectType = true;
        return;
    }
    if (x.expectType && t_[k].kind == Kind::Word) {
        x.expectType = false;
        k = columnType(k, x.e, x.column, x.out);
        return;
    }
    if (t_[k].kind == Kind::Word) {
        size_t last = columnWord(x, k);
        if (last == kNotApplied) last = applyWordRule(x, k);
        if (last == kNotApplied && isPunct(sig(k + 1), '(')) last = applyCallRule(x, k);
        if (last != kNotApplied) {
            k = last;
            return;
        }
    }
    // Names, with their owner and database parts.
    if (x.prevSig < x.e && isPunct(x.prevSig, '.')) {
        x.out += nameText(k);
        return;
    }
    k = name(k, x.e, x.out);
}

// The words of column definitions (COLLATE, IDENTITY, DEFAULT), ALTER TABLE's ADD and CREATE
// TABLE #name.
size_t Translator::columnWord(Expr& x, size_t k) {
    if (x.columnDepth >= 0 && isWord(k, "COLLATE")) return sig(k + 1);   // the columns carry the connection's own compare rules
    if (x.columnDepth >= 0 && isWord(k, "IDENTITY")) {
        const size_t p = sig(k + 1);
        if (!isPunct(p, '(')) return k;
        size_t q = p;
        while (q < x.e && !isPunct(q, ')')) ++q;
        return q;
    }
    if (x.columnDepth >= 0 && isWord(k, "DEFAULT")) {
        x.out += "DEFAULT";
        const size_t n = sig(k + 1);
        if (n < x.e && t_[n].kind == Kind::Word && isPunct(sig(n + 1), '(')) {
            x.out += " (";   // a call as a default is written in parentheses
            x.defaultClose = x.depth;
            return n - 1;
        }
        return k;
    }
    if (x.alter && x.columnDepth < 0 && isWord(k, "ADD")) {
        x.out += "ADD";
        x.columnDepth = 0;
        x.columnStart = true;
        return k;
    }
    if (k == sig(x.first + 1) && x.columnDepth == 1 && isTemporary(sig(k + 1))) {
        x.out += "TEMP TABLE";   // CREATE TABLE #name: dropped with the session
        return k;
    }
    return kNotApplied;
}

// A number as the translation writes it: as written, or its mark.
std::string Translator::numberText(size_t k) const {
    const int32_t n = slot(k);
    return n >= 0 ? NumberMark(static_cast<size_t>(n)) : std::string(text(k));
}

bool Translator::isComparison(std::string_view p) {
    return p == "=" || p == "<>" || p == "!=" || p == "<" || p == ">" || p == "<=" || p == ">=";
}

// A name that brings a column's compare rule.
bool Translator::isColumnName(size_t i, size_t e) const {
    if (i >= e) return false;
    if (t_[i].kind == Kind::Quoted) return true;
    if (t_[i].kind != Kind::Word) return false;
    return s_[t_[i].b] != '@' && !isWord(i, "END") && !isWord(i, "NULL");
}

// Whether a text literal needs the compare rule written on it: not when it meets a column
// (whose rule applies), stands alone in a list (VALUES, IN, a call's arguments) or is a LIKE
// pattern.
bool Translator::literalNeedsRule(size_t k, size_t e, size_t prev, size_t prev2) const {
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
std::string Translator::literalText(size_t k, bool* date, bool iso) const {
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

// Whether the token ends an operand, so that a + - * / % after it is arithmetic.
bool Translator::endsOperand(size_t i, size_t e) const {
    if (i >= e) return false;
    switch (t_[i].kind) {
    case Kind::Number: case Kind::String: case Kind::Quoted: return true;
    case Kind::Punct: return isPunct(i, ')');
    case Kind::Word:
        return !HasRole(text(i), kBeforeOperand);
    default: return false;
    }
}

// A long OR chain in the parenthesis at `open`: "x = 'a' OR x = 'b' ..." of one column
// becomes "x IN ('a', 'b', ...)"; any other is grouped in nested parentheses.
size_t Translator::flattenOr(size_t open, std::string& out) {
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
    std::vector<size_t> literals;
    if (sameColumnLiterals(terms, &literals)) {
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

// Whether every term of an OR chain compares one column to a literal ("x = 'a'"): the literals.
bool Translator::sameColumnLiterals(const std::vector<std::pair<size_t, size_t>>& terms, std::vector<size_t>* literals) const {
    std::string column;
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
            literals->clear();
            return false;
        }
        column = chain;
        literals->push_back(lit);
    }
    return !literals->empty();
}

// A type of a column definition, with the rules of its kind: text types get the compare rule
// and their length check; date types hold text (ISO) and compare as dates; decimals and money
// hold floating values, so that arithmetic on them never takes the int rules.
size_t Translator::columnType(size_t k, size_t e, const std::string& col, std::string& out) {
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
size_t Translator::name(size_t k, size_t e, std::string& out) {
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

}  // namespace ado::tsql
