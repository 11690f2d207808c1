#include "platform/ado/tsql.h"

#include "platform/ado/tsql_internal.h"
#include "platform/ado/tsql_tokens.h"

#include <algorithm>
#include <cassert>

namespace ado::tsql {

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
    auto isPunct = [&](size_t i, char c) { return i < t.size() && t[i].kind == Kind::Punct && t[i].e - t[i].b == 1 && s[t[i].b] == c; };
    auto text = [&](size_t i) { return s.substr(t[i].b, t[i].e - t[i].b); };
    auto readsCount = [&](size_t i) { return i < t.size() && t[i].kind == Kind::Word && ReadsAt(text(i), false) == Reads::Count; };
    out.key.reserve(s.size());
    int depth = 0;
    int keptDepth = -1;   // depth of the call whose arguments stay as written; -1 outside one
    size_t prev = SIZE_MAX, prev2 = SIZE_MAX, copied = 0;
    for (size_t k = 0; k < t.size(); ++k) {
        const Tok& tok = t[k];
        if (tok.kind == Kind::Space) continue;
        if (isPunct(k, '(')) {
            ++depth;
            // the arguments of a call whose rule reads them stay
            if (keptDepth < 0 && prev != SIZE_MAX && t[prev].kind == Kind::Word && ReadsAt(text(prev), true) == Reads::Arguments)
                keptDepth = depth;
        } else if (isPunct(k, ')')) {
            if (depth == keptDepth) keptDepth = -1;
            --depth;
        } else if (tok.kind == Kind::Number || tok.kind == Kind::String) {
            bool lift = keptDepth < 0;
            if (tok.kind == Kind::Number) {
                if (s.substr(tok.b, tok.e - tok.b).substr(0, kNumberMark.size()) == kNumberMark) return Shape{};
                // a count a word's rule reads stays: TOP n, TOP (n)
                if (readsCount(prev) || (isPunct(prev, '(') && readsCount(prev2))) lift = false;
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
    assert(static_cast<size_t>(std::count(out.key.begin(), out.key.end(), '\x01')) == out.literals.size());   // a mark per literal
    out.valid = true;
    return out;
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
    assert(out.back().literal == -1);   // the pieces are the marks plus one, the text after the last
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
