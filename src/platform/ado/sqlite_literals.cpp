#include "platform/ado/sqlite_literals.h"

namespace ado {

namespace {

// By the byte, whatever the process's locale.
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsIdentStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || IsDigit(c) || c == '$'; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char x) { return x >= 'a' && x <= 'z' ? static_cast<char>(x - 32) : x; };
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

// The end of a quoted run that starts at i with `close`'s opening: a doubled closing character
// stays inside.
size_t QuotedEnd(std::string_view s, size_t i, char close) {
    for (++i; i < s.size(); ++i) {
        if (s[i] != close) continue;
        if (i + 1 < s.size() && s[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

}  // namespace

LiftedStatement LiftLiterals(std::string_view s) {
    LiftedStatement out;
    out.shape.reserve(s.size());
    std::string_view word, lastWord;   // the last word, and the one before it
    int depth = 0;
    int listDepth = -1;    // depth of the ORDER BY or GROUP BY list being read; -1 outside one
    int limitDepth = -1;   // depth of the LIMIT (and OFFSET) being read; -1 outside one
    // The type a conversion call names ("korv_convert('money', ...)") stays as written: it
    // decides how the column is described.
    bool convertCall = false, typeNext = false;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t b = i;
        const bool typeHere = typeNext, afterConvert = convertCall;
        if (!IsBlank(c)) convertCall = typeNext = false;
        if (IsBlank(c)) {
            while (i < s.size() && IsBlank(static_cast<unsigned char>(s[i]))) ++i;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            const size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '\'' && typeHere) {
            i = QuotedEnd(s, i, '\'');
        } else if (c == '\'') {
            i = QuotedEnd(s, i, '\'');
            SqlLiteral l{true, {}};
            for (size_t k = b + 1; k + 1 < i; ++k) {
                l.value += s[k];
                if (s[k] == '\'') ++k;   // a doubled quote
            }
            out.literals.push_back(std::move(l));
            out.shape += '?';
            continue;
        } else if (c == '"' || c == '`' || c == '[') {
            i = QuotedEnd(s, i, c == '[' ? ']' : static_cast<char>(c));
        } else if (IsDigit(c) || (c == '.' && i + 1 < s.size() && IsDigit(static_cast<unsigned char>(s[i + 1])))) {
            if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
                i += 2;
                while (i < s.size() && (IsDigit(static_cast<unsigned char>(s[i])) || ((s[i] | 0x20) >= 'a' && (s[i] | 0x20) <= 'f'))) ++i;
                out.shape.append(s.substr(b, i - b));   // hexadecimal: kept as written
                continue;
            }
            while (i < s.size() && (IsDigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
                size_t k = i + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && IsDigit(static_cast<unsigned char>(s[k]))) {
                    i = k;
                    while (i < s.size() && IsDigit(static_cast<unsigned char>(s[i]))) ++i;
                }
            }
            const std::string_view number = s.substr(b, i - b);
            if (limitDepth >= 0 || listDepth >= 0) {
                out.shape.append(number);
            } else {
                out.literals.push_back(SqlLiteral{false, std::string(number)});
                out.shape += '?';
            }
            continue;
        } else if ((c == 'x' || c == 'X') && i + 1 < s.size() && s[i + 1] == '\'') {
            return out;   // a blob
        } else if (IsIdentStart(c)) {
            while (i < s.size() && IsIdentChar(static_cast<unsigned char>(s[i]))) ++i;
            lastWord = word;
            word = s.substr(b, i - b);
            convertCall = EqualNoCase(word, "korv_convert");
            if (EqualNoCase(word, "LIMIT")) limitDepth = depth;
            else if (!EqualNoCase(word, "OFFSET") && limitDepth == depth) limitDepth = -1;
            if (EqualNoCase(word, "BY") && (EqualNoCase(lastWord, "ORDER") || EqualNoCase(lastWord, "GROUP"))) {
                listDepth = depth;
            } else if (listDepth == depth) {
                for (const char* end : {"HAVING", "LIMIT", "UNION", "EXCEPT", "INTERSECT", "SELECT", "FROM", "WHERE",
                                        "WINDOW", "ON", "SET", "VALUES"}) {
                    if (EqualNoCase(word, end)) listDepth = -1;
                }
            }
        } else if (c == '?' || c == ':' || c == '@' || c == '$') {
            return out;   // parameters of its own
        } else {
            ++i;
            typeNext = c == '(' && afterConvert;
            if (c == '(') ++depth;
            if (c == ')') {
                if (listDepth == depth) listDepth = -1;
                if (limitDepth == depth) limitDepth = -1;
                --depth;
            }
            // One statement: only blanks may follow its end.
            if (c == ';' && s.substr(i).find_first_not_of(" \t\r\n;") != std::string_view::npos) return out;
        }
        out.shape.append(s.substr(b, i - b));
    }
    out.valid = true;
    return out;
}

}  // namespace ado
