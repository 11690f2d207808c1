#include "platform/ado/tsql.h"

#include "platform/ado/tsql_internal.h"
#include "platform/ado/tsql_tokens.h"

#include <cassert>

namespace ado::tsql {

// ---------------------------------------------------------------------------------------------
// Arithmetic: the second pass over a translated statement that does any. Every binary + - * / %
// becomes a call of the connection (korv_add, korv_sub, korv_mul, korv_div, korv_mod) that
// decides by its values' types as the server does; the operands are found by SQLite's precedence
// (COLLATE and || bind tighter than * / %, which bind tighter than + -).

size_t MatchingParen(const std::vector<Tok>& t, std::string_view s, size_t open, size_t e) {
    int depth = 0;
    for (size_t j = open; j < e; ++j) {
        if (t[j].kind != Kind::Punct || t[j].e - t[j].b != 1) continue;
        if (s[t[j].b] == '(') ++depth;
        else if (s[t[j].b] == ')' && --depth == 0) return j;
    }
    return e;
}

namespace {

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
            std::string out = "(";
            out += range(k + 1, close);
            if (close < e) out += ')';
            return out;
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
}  // namespace

std::string RewriteArithmetic(std::string_view sql) { return Arithmetic(sql).run(); }

}  // namespace ado::tsql
