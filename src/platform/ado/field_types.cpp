// Column descriptions from declared SQL types.
#include "platform/ado/provider.h"

#include <cstring>

namespace ado {

namespace {

bool Starts(const char* s, size_t n, const char* word) {
    const size_t w = std::strlen(word);
    if (n < w) return false;
    for (size_t i = 0; i < w; ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != word[i]) return false;
    }
    // the word must end there
    return n == w || !((s[w] >= 'a' && s[w] <= 'z') || (s[w] >= 'A' && s[w] <= 'Z') || s[w] == '_');
}

// Numbers of "(p)" or "(p,s)" after the type word.
void ReadSize(const char* s, size_t n, int* first, int* second) {
    *first = -1;
    *second = -1;
    size_t i = 0;
    while (i < n && s[i] != '(') ++i;
    if (i == n) return;
    ++i;
    auto number = [&](int* out) {
        while (i < n && s[i] == ' ') ++i;
        int v = 0;
        bool any = false;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            v = v * 10 + (s[i] - '0');
            ++i;
            any = true;
        }
        if (any) *out = v;
        while (i < n && s[i] == ' ') ++i;
    };
    number(first);
    if (i < n && s[i] == ',') {
        ++i;
        number(second);
    }
}

}  // namespace

bool IsDateType(int t) { return t == adDate || t == adDBDate || t == adDBTimeStamp || t == adDBTime; }

FieldInfo FieldFromDeclaredType(const QString& name, const char* decl) {
    FieldInfo f;
    f.name = name;
    if (!decl || !*decl) {
        f.type = adEmpty;   // decided by the values
        return f;
    }
    const size_t n = std::strlen(decl);
    int a = -1, b = -1;
    ReadSize(decl, n, &a, &b);
    struct TypeRow { const char* word; int type; long size; int precision; };
    static const TypeRow rows[] = {
        {"nvarchar", adVarWChar, 0, 0},     {"varchar", adVarChar, 0, 0},        {"nchar", adWChar, 0, 0},
        {"char", adChar, 0, 0},             {"ntext", adLongVarWChar, 1073741823, 0},
        {"text", adLongVarChar, 2147483647, 0},   {"sysname", adVarWChar, 128, 0},
        {"bigint", adBigInt, 8, 19},        {"smallint", adSmallInt, 2, 5},      {"tinyint", adUnsignedTinyInt, 1, 3},
        {"integer", adInteger, 4, 10},      {"int", adInteger, 4, 10},           {"bit", adBoolean, 2, 0},
        {"smallmoney", adCurrency, 8, 10},  {"money", adCurrency, 8, 19},        {"decimal", adNumeric, 19, 18},
        {"numeric", adNumeric, 19, 18},     {"float", adDouble, 8, 15},          {"double", adDouble, 8, 15},
        {"real", adSingle, 4, 7},           {"smalldatetime", adDBTimeStamp, 16, 16},
        {"datetime", adDBTimeStamp, 16, 23}, {"date", adDBDate, 16, 10},          {"timestamp", adDBTimeStamp, 16, 23},
        {"uniqueidentifier", adVarWChar, 38, 0}, {"varbinary", adVarBinary, 0, 0}, {"binary", adBinary, 0, 0},
        {"image", adLongVarBinary, 2147483647, 0}, {"blob", adLongVarBinary, 2147483647, 0},
    };
    for (const TypeRow& r : rows) {
        if (!Starts(decl, n, r.word)) continue;
        f.type = r.type;
        f.definedSize = r.size;
        f.precision = r.precision;
        const bool text = r.type == adVarWChar || r.type == adVarChar || r.type == adWChar || r.type == adChar ||
                          r.type == adVarBinary || r.type == adBinary;
        if (text) {
            if (a > 0) f.definedSize = a;
            else if (f.definedSize == 0) f.definedSize = (r.type == adChar || r.type == adWChar) ? 1 : 2147483647;
        }
        if (r.type == adNumeric) {
            f.precision = a > 0 ? a : 18;
            f.numericScale = b > 0 ? b : 0;
        }
        if (r.type == adCurrency) f.numericScale = 4;
        return f;
    }
    // Types of other spellings: by SQLite's affinity rules.
    QString d = QString::fromUtf8(decl).toUpper();
    if (d.contains(QLatin1String("INT"))) { f.type = adInteger; f.definedSize = 4; f.precision = 10; }
    else if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) || d.contains(QLatin1String("TEXT"))) {
        f.type = adVarWChar;
        f.definedSize = a > 0 ? a : 2147483647;
    } else if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) || d.contains(QLatin1String("DOUB"))) {
        f.type = adDouble; f.definedSize = 8; f.precision = 15;
    } else {
        f.type = adNumeric; f.definedSize = 19; f.precision = a > 0 ? a : 18; f.numericScale = b > 0 ? b : 0;
    }
    return f;
}

}  // namespace ado
