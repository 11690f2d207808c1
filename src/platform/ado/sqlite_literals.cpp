#include "platform/ado/sqlite_literals.h"

#include "platform/ado/tsql_tokens.h"

namespace ado {

namespace {

using tsql::Kind;
using tsql::Tok;

// What the lifting knows of the statement read so far.
struct LiftState {
    std::string_view word, lastWord;   // the last word, and the one before it
    int depth = 0;
    int listDepth = -1;    // depth of the ORDER BY or GROUP BY list being read; -1 outside one
    int limitDepth = -1;   // depth of the LIMIT (and OFFSET) being read; -1 outside one
    // The type a conversion call names ("korv_convert('money', ...)") stays as written: it
    // decides how the column is described.
    bool convertCall = false, typeNext = false;

    void readWord(std::string_view w) {
        lastWord = word;
        word = w;
        convertCall = tsql::EqualNoCase(word, "korv_convert");
        if (tsql::EqualNoCase(word, "LIMIT")) limitDepth = depth;
        else if (!tsql::EqualNoCase(word, "OFFSET") && limitDepth == depth) limitDepth = -1;
        if (tsql::EqualNoCase(word, "BY") && (tsql::EqualNoCase(lastWord, "ORDER") || tsql::EqualNoCase(lastWord, "GROUP"))) {
            listDepth = depth;
        } else if (listDepth == depth && tsql::HasRole(word, tsql::kEndsByList)) {
            listDepth = -1;
        }
    }

    void readPunct(char c, bool afterConvert) {
        typeNext = c == '(' && afterConvert;
        if (c == '(') ++depth;
        if (c == ')') {
            if (listDepth == depth) listDepth = -1;
            if (limitDepth == depth) limitDepth = -1;
            --depth;
        }
    }
};

SqlLiteral TextLiteral(std::string_view quoted) {
    SqlLiteral l{true, {}};
    for (size_t k = 1; k + 1 < quoted.size(); ++k) {
        l.value += quoted[k];
        if (quoted[k] == '\'') ++k;   // a doubled quote
    }
    return l;
}

}  // namespace

LiftedStatement LiftLiterals(std::string_view s) {
    LiftedStatement out;
    out.shape.reserve(s.size());
    LiftState st;
    for (uint32_t i = 0; i < s.size();) {
        const Tok t = tsql::NextTokenOf<tsql::Dialect::Sqlite>(s, i);
        const std::string_view v = tsql::TokenText(s, t);
        i = t.e;
        const bool typeHere = st.typeNext, afterConvert = st.convertCall;
        if (!tsql::IsBlank(static_cast<unsigned char>(v[0]))) st.convertCall = st.typeNext = false;
        switch (t.kind) {
        case Kind::String:
            if (v[0] != '\'') return out;   // a blob
            if (typeHere) break;
            out.literals.push_back(TextLiteral(v));
            out.shape += '?';
            continue;
        case Kind::Number:
            if (v.size() > 1 && (v[1] == 'x' || v[1] == 'X')) break;   // hexadecimal: kept as written
            if (st.limitDepth >= 0 || st.listDepth >= 0) break;
            out.literals.push_back(SqlLiteral{false, std::string(v)});
            out.shape += '?';
            continue;
        case Kind::Word:
            st.readWord(v);
            break;
        case Kind::Punct:
            if (v[0] == '?' || v[0] == ':' || v[0] == '@' || v[0] == '$') return out;   // parameters of its own
            for (char c : v) st.readPunct(c, afterConvert);
            // One statement: only blanks may follow its end.
            if (v[0] == ';' && s.substr(i).find_first_not_of(" \t\r\n;") != std::string_view::npos) return out;
            break;
        case Kind::Space:
        case Kind::Quoted:
            break;
        }
        out.shape.append(v);
    }
    out.valid = true;
    return out;
}

}  // namespace ado
