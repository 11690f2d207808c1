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

// ---- calls ----------------------------------------------------------------------------------

// DATEADD(part, n, date) and DATEDIFF(part, a, b): the part becomes a text argument.
size_t DateCall(Translator& t, Translator::Expr& x, const Translator::Call& c) {
    const size_t k = c.name, open = c.open, close = t.matching(open, x.e);
    if (close >= x.e) return Translator::kNotApplied;
    std::string& out = x.out;
    const size_t partAt = t.sig(open + 1);
    const size_t comma = t.sig(partAt + 1);
    std::string partName;
    if (partAt < close && (t.kind(partAt) == Kind::Word || t.kind(partAt) == Kind::Quoted)) partName = t.bare(partAt);
    else if (partAt < close && t.kind(partAt) == Kind::String) partName = std::string(t.text(partAt).substr(1, t.text(partAt).size() - 2));
    const char* part = DatePart(partName);
    const bool add = t.isWord(k, "DATEADD");
    if (!part || !t.isPunct(comma, ',')) {
        ThrowProvider(vb::kHrErrorsInCommand,
                      QStringLiteral("'%1' is not a recognized %2 option.")
                          .arg(QString::fromStdString(partName), add ? QStringLiteral("dateadd") : QStringLiteral("datediff")),
                      QStringLiteral("42000"), native::kNotAnOption);
    }
    out += add ? "korv_dateadd('" : "korv_datediff('";
    out += part;
    out += "',";
    out += t.translate(comma + 1, close);
    out += ')';
    return close;
}

// CAST(x AS type) and CONVERT(type, x[, style]): one conversion call of the connection.
size_t ConvertCall(Translator& t, Translator::Expr& x, const Translator::Call& c) {
    const size_t k = c.name, open = c.open, close = t.matching(open, x.e);
    if (close >= x.e) return Translator::kNotApplied;
    std::string& out = x.out;
    const bool ddl = x.ddl();
    const bool cast = t.isWord(k, "CAST");
    size_t split = close, style = close;
    int depth = 0;
    for (size_t j = open + 1; j < close; ++j) {
        if (t.isPunct(j, '(')) ++depth;
        else if (t.isPunct(j, ')')) --depth;
        else if (depth == 0 && cast && t.isWord(j, "AS")) split = j;
        else if (depth == 0 && !cast && t.isPunct(j, ',')) {
            if (split == close) split = j;
            else if (style == close) style = j;
        }
    }
    if (split == close) {
        t.syntaxError(k);
    }
    std::string type;
    for (size_t j = cast ? split + 1 : open + 1; j < (cast ? close : split); ++j) {
        if (t.kind(j) == Kind::Space) continue;
        for (char c : t.kind(j) == Kind::Quoted ? t.bare(j) : std::string(t.text(j))) {
            if (c != '\'') type += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
    }
    out += "korv_convert('" + type + "',";
    const size_t value = t.sig(split + 1);
    if (!cast && style < close && t.kind(value) == Kind::String && t.sig(value + 1) == style) {
        // a text read in a style of its own: the conversion reads it, not the translation
        std::string_view v = t.text(value);
        if (v[0] != '\'') v.remove_prefix(1);
        out.append(v);
    } else {
        out += cast ? t.translate(open + 1, split) : t.translate(split + 1, style);
    }
    if (!cast && style < close) {
        out += ',';
        out += t.translate(style + 1, close);
    }
    out += ')';
    if (!ddl && HasRole(std::string_view(type).substr(0, type.find('(')), kTextType)) out += kTextRule;
    return close;
}

// Functions the connection does not have, said plainly rather than left to fail as unknown.
[[noreturn]] size_t RefusedCall(Translator& t, Translator::Expr&, const Translator::Call& c) {
    const std::string_view name = t.text(c.name);
    ThrowProvider(vb::kHrErrorsInCommand,
                  QStringLiteral("'%1' is not a recognized built-in function name.")
                      .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))),
                  QStringLiteral("42000"), native::kNoSuchFunction);
}

size_t IsnullCall(Translator&, Translator::Expr& x, const Translator::Call& c) {
    x.out += "IFNULL";
    return c.name;
}

// LEFT(s, n) and RIGHT(s, n): the connection's own, their result a text.
size_t SideCall(Translator& t, Translator::Expr& x, const Translator::Call& c) {
    x.out += t.isWord(c.name, "LEFT") ? "korv_left" : "korv_right";
    if (!x.ddl()) x.ruleCloses.push_back(x.depth);
    return c.name;
}

// A function whose result is a text: it takes the connection's text compare rule.
size_t TextCall(Translator& t, Translator::Expr& x, const Translator::Call& c) {
    x.out += t.isWord(c.name, "SUBSTRING") ? std::string("SUBSTR") : std::string(t.text(c.name));
    if (!x.ddl()) x.ruleCloses.push_back(x.depth);
    return c.name;
}

// ---- words ----------------------------------------------------------------------------------

// SELECT [DISTINCT | ALL]: a TOP may follow.
size_t SelectWord(Translator& t, Translator::Expr& x, size_t k) {
    x.out += "SELECT";
    const size_t n = t.sig(k + 1);
    if (t.isWord(n, "DISTINCT") || t.isWord(n, "ALL")) {
        x.out.append(t.source().substr(t.tok(k).e, t.tok(n).e - t.tok(k).e));
        k = n;
    }
    x.selectEnd = k;
    x.selectOut = x.out.size();
    return k;
}

// TOP n, TOP (n) [PERCENT] [WITH TIES] right after a SELECT: a LIMIT where the SELECT's level
// ends (none for PERCENT). Reads its count.
size_t TopWord(Translator& t, Translator::Expr& x, size_t k) {
    if (x.selectEnd == SIZE_MAX || t.sig(x.selectEnd + 1) != k) return Translator::kNotApplied;
    size_t v = t.sig(k + 1);
    bool paren = false;
    if (t.isPunct(v, '(')) { paren = true; v = t.sig(v + 1); }
    if (v >= x.e || t.kind(v) != Kind::Number) return Translator::kNotApplied;
    std::string count(t.text(v));
    size_t after = v;
    if (paren) after = t.sig(after + 1);   // ')'
    size_t p = t.sig(after + 1);
    bool percent = false;
    if (t.isWord(p, "PERCENT")) { percent = true; after = p; p = t.sig(p + 1); }
    if (t.isWord(p, "WITH") && t.isWord(t.sig(p + 1), "TIES")) after = t.sig(p + 1);
    if (!percent) x.limits.emplace_back(x.depth, count);
    x.out.resize(x.selectOut);   // nothing of the TOP written, the blanks before it neither
    return after;
}

// WITH (NOLOCK): a table hint, dropped.
size_t WithWord(Translator& t, Translator::Expr& x, size_t k) {
    const size_t p = t.sig(k + 1);
    const size_t a = t.sig(p + 1);
    if (!t.isPunct(p, '(') || !t.isWord(a, "NOLOCK") || !t.isPunct(t.sig(a + 1), ')')) return Translator::kNotApplied;
    x.keepPrev = true;
    return t.sig(a + 1);
}

size_t TranWord(Translator&, Translator::Expr& x, size_t k) {
    x.out += "TRANSACTION";
    return k;
}

// TRUNCATE TABLE t: DELETE FROM t.
size_t TruncateWord(Translator& t, Translator::Expr& x, size_t k) {
    if (!t.isWord(t.sig(k + 1), "TABLE")) return Translator::kNotApplied;
    x.out += "DELETE FROM";
    return t.sig(k + 1);
}

// DELETE t: DELETE FROM t.
size_t DeleteWord(Translator& t, Translator::Expr& x, size_t k) {
    x.out += "DELETE";
    if (!t.isWord(t.sig(k + 1), "FROM")) x.out += " FROM";
    return k;
}

using CallHandler = size_t (*)(Translator&, Translator::Expr&, const Translator::Call&);
using WordHandler = size_t (*)(Translator&, Translator::Expr&, size_t);

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
    {"CAST", Reads::Arguments, ConvertCall},
    {"CONVERT", Reads::Arguments, ConvertCall},
    {"DATEADD", Reads::Arguments, DateCall},
    {"DATEDIFF", Reads::Arguments, DateCall},
    {"DATEPART", Reads::Arguments, RefusedCall},
    {"DATENAME", Reads::Arguments, RefusedCall},
    {"ISNULL", Reads::Nothing, IsnullCall},
    {"LEFT", Reads::Nothing, SideCall},
    {"RIGHT", Reads::Nothing, SideCall},
    {"LTRIM", Reads::Nothing, TextCall},
    {"RTRIM", Reads::Nothing, TextCall},
    {"TRIM", Reads::Nothing, TextCall},
    {"UPPER", Reads::Nothing, TextCall},
    {"LOWER", Reads::Nothing, TextCall},
    {"SUBSTRING", Reads::Nothing, TextCall},
    {"SUBSTR", Reads::Nothing, TextCall},
    {"REPLACE", Reads::Nothing, TextCall},
    {"REPLICATE", Reads::Nothing, TextCall},
    {"SPACE", Reads::Nothing, TextCall},
};

const WordRule kWordRules[] = {
    {"SELECT", Reads::Nothing, SelectWord},
    {"TOP", Reads::Count, TopWord},
    {"WITH", Reads::Nothing, WithWord},
    {"TRAN", Reads::Nothing, TranWord},
    {"TRUNCATE", Reads::Nothing, TruncateWord},
    {"DELETE", Reads::Nothing, DeleteWord},
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
    return r->apply(*this, x, Call{k, open});
}

size_t Translator::applyWordRule(Expr& x, size_t k) {
    if (s_[t_[k].b] == '@' && t_[k].e - t_[k].b > 1 && s_[t_[k].b + 1] == '@') {   // @@ variables
        if (!isWord(k, "@@ROWCOUNT")) syntaxError(k);
        x.out += kRowCountParameter;
        return k;
    }
    const WordRule* r = FindWord(text(k));
    return r ? r->apply(*this, x, k) : kNotApplied;
}

}  // namespace ado::tsql
