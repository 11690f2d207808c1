#include "platform/ado/tsql.h"

#include "platform/ado/provider.h"
#include "platform/ado/tsql_translator.h"
#include "platform/vb/error.h"

#include <cassert>

// The rules the translation applies at a word or a call, by name. Each entry declares the literals
// its rule reads (what it writes depends on their values); LiftShape keeps exactly those in the
// shape's key (ReadsAt), so a rule can read no literal the shape lifts.
//
// A server function the connection runs as it is (LEN, CHARINDEX, ROUND, ...) needs no entry:
// it is registered in sqlite_functions.cpp. One whose call must be rewritten takes one entry in
// kCallRules and its handler here.

namespace ado::tsql {

namespace {

using CallHandler = size_t (Translator::*)(Translator::Expr&, const Translator::Call&);
using WordHandler = size_t (Translator::*)(Translator::Expr&, size_t);

struct CallRule {
    std::string_view name;
    Reads reads;
    CallHandler apply;
};

struct WordRule {
    std::string_view word;
    Reads reads;
    WordHandler apply;
};

const CallRule kCallRules[] = {
    {"CAST", Reads::Arguments, &Translator::convertCall},
    {"CONVERT", Reads::Arguments, &Translator::convertCall},
    {"DATEADD", Reads::Arguments, &Translator::dateCall},
    {"DATEDIFF", Reads::Arguments, &Translator::dateCall},
    {"DATEPART", Reads::Arguments, &Translator::refusedCall},
    {"DATENAME", Reads::Arguments, &Translator::refusedCall},
    {"ISNULL", Reads::Nothing, &Translator::isnullCall},
    {"LEFT", Reads::Nothing, &Translator::sideCall},
    {"RIGHT", Reads::Nothing, &Translator::sideCall},
    {"LTRIM", Reads::Nothing, &Translator::textCall},
    {"RTRIM", Reads::Nothing, &Translator::textCall},
    {"TRIM", Reads::Nothing, &Translator::textCall},
    {"UPPER", Reads::Nothing, &Translator::textCall},
    {"LOWER", Reads::Nothing, &Translator::textCall},
    {"SUBSTRING", Reads::Nothing, &Translator::textCall},
    {"SUBSTR", Reads::Nothing, &Translator::textCall},
    {"REPLACE", Reads::Nothing, &Translator::textCall},
    {"REPLICATE", Reads::Nothing, &Translator::textCall},
    {"SPACE", Reads::Nothing, &Translator::textCall},
};

const WordRule kWordRules[] = {
    {"SELECT", Reads::Nothing, &Translator::selectWord},
    {"TOP", Reads::Count, &Translator::topWord},
    {"WITH", Reads::Nothing, &Translator::withWord},
    {"TRAN", Reads::Nothing, &Translator::tranWord},
    {"TRUNCATE", Reads::Nothing, &Translator::truncateWord},
    {"DELETE", Reads::Nothing, &Translator::deleteWord},
};

const CallRule* FindCall(std::string_view name) {
    for (const CallRule& r : kCallRules) {
        if (r.name.size() == name.size() && EqualNoCase(r.name, name)) return &r;
    }
    return nullptr;
}

const WordRule* FindWord(std::string_view word) {
    for (const WordRule& r : kWordRules) {
        if (r.word.size() == word.size() && EqualNoCase(r.word, word)) return &r;
    }
    return nullptr;
}

// The date parts of DATEADD and DATEDIFF, by their names and abbreviations.
const char* DatePart(std::string_view p) {
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

}  // namespace

Reads ReadsAt(std::string_view word, bool call) {
    if (call) {
        const CallRule* r = FindCall(word);
        return r ? r->reads : Reads::Nothing;
    }
    const WordRule* r = FindWord(word);
    return r ? r->reads : Reads::Nothing;
}

size_t Translator::applyCallRule(Expr& x, size_t k) {
    const CallRule* r = FindCall(text(k));
    if (!r) return kNotApplied;
    const size_t open = sig(k + 1);
    assert(isPunct(open, '('));
    return (this->*r->apply)(x, Call{k, open});
}

size_t Translator::applyWordRule(Expr& x, size_t k) {
    if (s_[t_[k].b] == '@' && t_[k].e - t_[k].b > 1 && s_[t_[k].b + 1] == '@') {   // @@ variables
        if (!isWord(k, "@@ROWCOUNT")) syntaxError(k);
        x.out += kRowCountParameter;
        return k;
    }
    const WordRule* r = FindWord(text(k));
    return r ? (this->*r->apply)(x, k) : kNotApplied;
}

// ---- calls ----------------------------------------------------------------------------------

// DATEADD(part, n, date) and DATEDIFF(part, a, b): the part becomes a text argument.
size_t Translator::dateCall(Expr& x, const Call& c) {
    const size_t k = c.name, open = c.open, close = matching(open, x.e);
    if (close >= x.e) return kNotApplied;
    std::string& out = x.out;
    const size_t partAt = sig(open + 1);
    const size_t comma = sig(partAt + 1);
    std::string partName;
    if (partAt < close && (t_[partAt].kind == Kind::Word || t_[partAt].kind == Kind::Quoted)) partName = bare(partAt);
    else if (partAt < close && t_[partAt].kind == Kind::String) partName = std::string(text(partAt).substr(1, text(partAt).size() - 2));
    const char* part = DatePart(partName);
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

// CAST(x AS type) and CONVERT(type, x[, style]): one conversion call of the connection.
size_t Translator::convertCall(Expr& x, const Call& c) {
    const size_t k = c.name, open = c.open, close = matching(open, x.e);
    if (close >= x.e) return kNotApplied;
    std::string& out = x.out;
    const bool ddl = x.ddl();
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
    if (!ddl && HasRole(std::string_view(type).substr(0, type.find('(')), kTextType)) out += kTextRule;
    return close;
}

// Functions the connection does not have, said plainly rather than left to fail as unknown.
size_t Translator::refusedCall(Expr&, const Call& c) {
    const std::string_view name = text(c.name);
    ThrowProvider(vb::kHrErrorsInCommand,
                  QStringLiteral("'%1' is not a recognized built-in function name.")
                      .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))),
                  QStringLiteral("42000"), 195);
}

size_t Translator::isnullCall(Expr& x, const Call& c) {
    x.out += "IFNULL";
    return c.name;
}

// LEFT(s, n) and RIGHT(s, n): the connection's own, their result a text.
size_t Translator::sideCall(Expr& x, const Call& c) {
    x.out += isWord(c.name, "LEFT") ? "korv_left" : "korv_right";
    if (!x.ddl()) x.ruleCloses.push_back(x.depth);
    return c.name;
}

// A function whose result is a text: it takes the connection's text compare rule.
size_t Translator::textCall(Expr& x, const Call& c) {
    x.out += isWord(c.name, "SUBSTRING") ? std::string("SUBSTR") : std::string(text(c.name));
    if (!x.ddl()) x.ruleCloses.push_back(x.depth);
    return c.name;
}

// ---- words ----------------------------------------------------------------------------------

// SELECT [DISTINCT | ALL]: a TOP may follow.
size_t Translator::selectWord(Expr& x, size_t k) {
    x.out += "SELECT";
    const size_t n = sig(k + 1);
    if (isWord(n, "DISTINCT") || isWord(n, "ALL")) {
        x.out.append(s_.substr(t_[k].e, t_[n].e - t_[k].e));
        k = n;
    }
    x.selectEnd = k;
    x.selectOut = x.out.size();
    return k;
}

// TOP n, TOP (n) [PERCENT] [WITH TIES] right after a SELECT: a LIMIT where the SELECT's level
// ends (none for PERCENT). Reads its count.
size_t Translator::topWord(Expr& x, size_t k) {
    if (x.selectEnd == SIZE_MAX || sig(x.selectEnd + 1) != k) return kNotApplied;
    size_t v = sig(k + 1);
    bool paren = false;
    if (isPunct(v, '(')) { paren = true; v = sig(v + 1); }
    if (v >= x.e || t_[v].kind != Kind::Number) return kNotApplied;
    std::string count(text(v));
    size_t after = v;
    if (paren) after = sig(after + 1);   // ')'
    size_t p = sig(after + 1);
    bool percent = false;
    if (isWord(p, "PERCENT")) { percent = true; after = p; p = sig(p + 1); }
    if (isWord(p, "WITH") && isWord(sig(p + 1), "TIES")) after = sig(p + 1);
    if (!percent) x.limits.emplace_back(x.depth, count);
    x.out.resize(x.selectOut);   // nothing of the TOP written, the blanks before it neither
    return after;
}

// WITH (NOLOCK): a table hint, dropped.
size_t Translator::withWord(Expr& x, size_t k) {
    const size_t p = sig(k + 1);
    const size_t a = sig(p + 1);
    if (!isPunct(p, '(') || !isWord(a, "NOLOCK") || !isPunct(sig(a + 1), ')')) return kNotApplied;
    x.keepPrev = true;
    return sig(a + 1);
}

size_t Translator::tranWord(Expr& x, size_t k) {
    x.out += "TRANSACTION";
    return k;
}

// TRUNCATE TABLE t: DELETE FROM t.
size_t Translator::truncateWord(Expr& x, size_t k) {
    if (!isWord(sig(k + 1), "TABLE")) return kNotApplied;
    x.out += "DELETE FROM";
    return sig(k + 1);
}

// DELETE t: DELETE FROM t.
size_t Translator::deleteWord(Expr& x, size_t k) {
    x.out += "DELETE";
    if (!isWord(sig(k + 1), "FROM")) x.out += " FROM";
    return k;
}

}  // namespace ado::tsql
