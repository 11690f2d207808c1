#include "platform/ado/tsql.h"

#include "platform/ado/provider.h"
#include "platform/vb/error.h"

#include <cstdint>
#include <cstdio>

namespace ado::tsql {

namespace {

enum class Kind : uint8_t { Space, Word, Quoted, String, Number, Punct };

struct Tok {
    Kind kind;
    uint32_t b, e;   // byte range in the text
};

bool IsWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '@' || c == '#' || c >= 0x80;
}
bool IsWordChar(unsigned char c) { return IsWordStart(c) || (c >= '0' && c <= '9') || c == '$'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

std::vector<Tok> Tokenize(std::string_view s) {
    std::vector<Tok> out;
    out.reserve(s.size() / 3 + 4);
    const uint32_t n = static_cast<uint32_t>(s.size());
    uint32_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const uint32_t b = i;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' || s[i] == '\f' || s[i] == '\v')) ++i;
            out.push_back({Kind::Space, b, i});
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            out.push_back({Kind::Space, b, i});
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            i += 2;
            while (i + 1 < n && !(s[i] == '*' && s[i + 1] == '/')) ++i;
            i = i + 2 <= n ? i + 2 : n;
            out.push_back({Kind::Space, b, i});
        } else if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'')) {
            if (c != '\'') ++i;
            ++i;
            while (i < n) {
                if (s[i] == '\'') {
                    if (i + 1 < n && s[i + 1] == '\'') { i += 2; continue; }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Kind::String, b, i});
        } else if (c == '[') {
            ++i;
            while (i < n) {
                if (s[i] == ']') {
                    if (i + 1 < n && s[i + 1] == ']') { i += 2; continue; }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Kind::Quoted, b, i});
        } else if (c == '"') {
            ++i;
            while (i < n) {
                if (s[i] == '"') {
                    if (i + 1 < n && s[i + 1] == '"') { i += 2; continue; }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Kind::Quoted, b, i});
        } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(static_cast<unsigned char>(s[i + 1])))) {
            while (i < n && (IsDigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            if (i < n && (s[i] == 'e' || s[i] == 'E') && i + 1 < n &&
                (IsDigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '-' || s[i + 1] == '+')) {
                i += 2;
                while (i < n && IsDigit(static_cast<unsigned char>(s[i]))) ++i;
            }
            out.push_back({Kind::Number, b, i});
        } else if (IsWordStart(c)) {
            while (i < n && IsWordChar(static_cast<unsigned char>(s[i]))) ++i;
            out.push_back({Kind::Word, b, i});
        } else {
            ++i;
            if (i < n && ((c == '<' && (s[i] == '=' || s[i] == '>')) || (c == '>' && s[i] == '=') ||
                          (c == '!' && (s[i] == '=' || s[i] == '<' || s[i] == '>')) || (c == '|' && s[i] == '|'))) {
                ++i;
            }
            out.push_back({Kind::Punct, b, i});
        }
    }
    return out;
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

class Translator {
public:
    Translator(std::string_view sql, std::string_view currentDb)
        : s_(sql), db_(currentDb), t_(Tokenize(sql)) {}

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
    std::vector<std::string> databases_;

    std::string_view text(const Tok& t) const { return s_.substr(t.b, t.e - t.b); }
    std::string_view text(size_t i) const { return text(t_[i]); }
    bool isWord(size_t i, std::string_view w) const {
        return i < t_.size() && t_[i].kind == Kind::Word && EqualNoCase(text(i), w);
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
    // A name as SQLite reads it: plain words stay, bracketed ones are double-quoted.
    std::string nameText(size_t i) const {
        return t_[i].kind == Kind::Quoted ? quoted(bare(i)) : std::string(text(i));
    }

    // ---- statements ------------------------------------------------------------------------

    static bool isStatementWord(std::string_view w) {
        static const char* const words[] = {"INSERT", "UPDATE", "DELETE", "TRUNCATE", "EXEC", "EXECUTE", "IF",
                                            "CREATE", "DROP", "ALTER", "DECLARE", "BEGIN", "COMMIT", "ROLLBACK",
                                            "GO", "SELECT", "PRINT"};
        for (const char* k : words) {
            if (EqualNoCase(w, k)) return true;
        }
        return false;
    }

    bool isSessionSetting(size_t i) const {
        static const char* const names[] = {"NOCOUNT", "ANSI_NULLS", "ANSI_WARNINGS", "ANSI_PADDING", "QUOTED_IDENTIFIER",
                                            "DATEFORMAT", "XACT_ABORT", "ARITHABORT", "TRANSACTION", "LANGUAGE",
                                            "CONCAT_NULL_YIELDS_NULL", "LOCK_TIMEOUT", "DEADLOCK_PRIORITY"};
        for (const char* n : names) {
            if (isWord(i, n)) return true;
        }
        return false;
    }

    // The end of the plain statement that starts at i.
    size_t statementEnd(size_t i) const {
        const std::string_view first = text(i);
        bool insert = EqualNoCase(first, "INSERT");
        const bool setting = EqualNoCase(first, "SET") || EqualNoCase(first, "PRINT");
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
            st.sql = "SELECT 1 WHERE " + translate(i + 1, k);
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
                    std::string arg = translate(a, j);
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
        const size_t end = statementEnd(i);
        st.kind = Statement::Sql;
        st.sql = translate(i, end);
        i = end;
        return true;
    }

    // ---- tokens ----------------------------------------------------------------------------

    std::string translate(size_t b, size_t e) {
        std::string out;
        out.reserve(s_.size() + 16);
        std::vector<std::pair<int, std::string>> limits;   // (depth, n) of TOP n
        int depth = 0;
        // Column definitions of CREATE TABLE (at depth 1) and ALTER TABLE ... ADD (depth 0).
        int columnDepth = -1;
        bool columnStart = false, expectType = false;
        std::string column;
        int defaultClose = -1;   // depth at which a DEFAULT call's wrapping parenthesis closes
        const size_t first = sig(b);
        if (isWord(first, "CREATE") && isWord(sig(first + 1), "TABLE")) columnDepth = 1;
        const bool alter = isWord(first, "ALTER");

        size_t prevSig = e;   // index of the previous significant token
        for (size_t k = b; k < e; ++k) {
            const Tok& t = t_[k];
            switch (t.kind) {
            case Kind::Space:
                out.append(text(t));
                continue;
            case Kind::Number:
                out.append(text(t));
                break;
            case Kind::String: {
                std::string_view v = text(t);
                if (v[0] != '\'') v.remove_prefix(1);   // N'...'
                std::string iso;
                if (v.size() >= 10 && v.size() <= 30 && ReadDateLiteral(v.substr(1, v.size() - 2), &iso)) {
                    out += '\'';
                    out += iso;
                    out += '\'';
                } else {
                    out.append(v);
                }
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
                    ++depth;
                    out += '(';
                    if (columnDepth == 1 && depth == 1) columnStart = true;
                } else if (len == 1 && c == ')') {
                    if (!limits.empty() && limits.back().first == depth) {
                        out += " LIMIT ";
                        out += limits.back().second;
                        limits.pop_back();
                    }
                    --depth;
                    out += ')';
                    if (defaultClose >= 0 && depth == defaultClose) {
                        out += ')';
                        defaultClose = -1;
                    }
                } else if (len == 1 && c == ',') {
                    out += ',';
                    if (columnDepth >= 0 && depth == columnDepth) columnStart = true;
                } else if (len == 1 && c == '+') {
                    const size_t n = sig(k + 1);
                    const bool text = (prevSig < e && t_[prevSig].kind == Kind::String) ||
                                      (n < e && t_[n].kind == Kind::String);
                    out += text ? "||" : "+";
                } else if (len == 1 && c == ';') {
                    // separators are the batch's business
                } else {
                    out.append(text(t));
                }
                break;
            }
            case Kind::Word:
            case Kind::Quoted: {
                // Column definitions.
                if (columnDepth >= 0 && depth == columnDepth && columnStart) {
                    columnStart = false;
                    if (t.kind == Kind::Word &&
                        (isWord(k, "CONSTRAINT") || isWord(k, "PRIMARY") || isWord(k, "UNIQUE") || isWord(k, "FOREIGN") ||
                         isWord(k, "CHECK") || isWord(k, "INDEX") || isWord(k, "COLUMN"))) {
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
                        k = sig(k + 1);   // the text columns carry the connection's own collation
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
                    if (isWord(k, "ISNULL") && isPunct(sig(k + 1), '(')) { out += "IFNULL"; break; }
                    if (isWord(k, "SUBSTRING") && isPunct(sig(k + 1), '(')) { out += "SUBSTR"; break; }
                    if (isWord(k, "TRAN")) { out += "TRANSACTION"; break; }
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
            prevSig = k;
        }
        while (!limits.empty()) {
            out += "\nLIMIT ";   // on a line of its own: the statement may end in a comment
            out += limits.back().second;
            limits.pop_back();
        }
        return out;
    }

    // A type of a column definition; text types get the compare rule and their length check.
    size_t columnType(size_t k, size_t e, const std::string& col, std::string& out) {
        const std::string_view type = text(k);
        const bool textType = EqualNoCase(type, "char") || EqualNoCase(type, "varchar") || EqualNoCase(type, "nchar") ||
                              EqualNoCase(type, "nvarchar") || EqualNoCase(type, "text") || EqualNoCase(type, "ntext") ||
                              EqualNoCase(type, "sysname");
        out.append(type);
        size_t last = k;
        std::string length;
        const size_t p = sig(k + 1);
        if (isPunct(p, '(')) {
            size_t q = p;
            while (q < e && !isPunct(q, ')')) {
                if (t_[q].kind == Kind::Number) length = std::string(text(q));
                ++q;
            }
            if (q < e) {
                out.append(s_.substr(t_[k].e, t_[q].e - t_[k].e));
                last = q;
            }
        }
        if (EqualNoCase(type, "sysname")) length = "128";
        if (textType) {
            out += " COLLATE NOCASE";
            if (!length.empty()) {
                const std::string q = quoted(col);
                out += " CONSTRAINT ";
                out += quoted(std::string(kLengthCheckPrefix) + col);
                out += " CHECK(length(" + q + ")<=" + length + " OR length(rtrim(" + q + ",' '))<=" + length + ")";
            }
        }
        return last;
    }

    // A name chain starting at k: db.owner.object, owner.object, alias.column.
    size_t name(size_t k, size_t e, std::string& out) {
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

bool ReadDateLiteral(std::string_view t, std::string* iso) {
    size_t i = 0;
    int y, m, d;
    if (t.size() >= 10 && IsDigit(static_cast<unsigned char>(t[0])) && IsDigit(static_cast<unsigned char>(t[1])) &&
        IsDigit(static_cast<unsigned char>(t[2])) && IsDigit(static_cast<unsigned char>(t[3])) && t[4] == '-') {
        y = TwoDigits(t, i, 4);
        if (t[i] != '-') return false;
        ++i;
        m = TwoDigits(t, i, 2);
        if (i >= t.size() || t[i] != '-') return false;
        ++i;
        d = TwoDigits(t, i, 2);
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
    int hh = 0, mm = 0, ss = 0;
    std::string fraction;
    if (i < t.size()) {
        if (t[i] != ' ' && t[i] != 'T') return false;
        while (i < t.size() && (t[i] == ' ' || t[i] == 'T')) ++i;
        hh = TwoDigits(t, i, 2);
        if (hh < 0 || hh > 23 || i >= t.size() || t[i] != ':') return false;
        ++i;
        const size_t ms = i;
        mm = TwoDigits(t, i, 2);
        if (i - ms != 2 || mm > 59) return false;
        if (i < t.size() && t[i] == ':') {
            ++i;
            const size_t s0 = i;
            ss = TwoDigits(t, i, 2);
            if (i - s0 != 2 || ss > 59) return false;
            if (i < t.size() && t[i] == '.') {
                const size_t f = i++;
                while (i < t.size() && IsDigit(static_cast<unsigned char>(t[i]))) ++i;
                fraction = std::string(t.substr(f, i - f));
            }
        }
        if (i != t.size()) return false;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, hh, mm, ss);
    *iso = buf;
    if (fraction.size() > 1) *iso += fraction;
    return true;
}

Batch Translate(std::string_view sql, std::string_view currentDatabase) {
    return Translator(sql, currentDatabase).run();
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
