// Values in and out of SQLite as the server's rules see them, the failures those rules raise, and
// numbers read from text and written back, '.' the point whatever the process's locale.
#include "platform/ado/sqlite_rules.h"

#include <cassert>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>

namespace ado::sqlite {

namespace rules {

[[noreturn]] void ConversionFailed(std::string_view text, const char* type) {
    ThrowServerError(native::kConversionFailed, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
                              .arg(Q(text), QLatin1String(type)));
}
[[noreturn]] void Overflow(const char* type) {
    ThrowServerError(native::kArithmeticOverflow, QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(QLatin1String(type)));
}
[[noreturn]] void NotANumber(const char* type) {
    ThrowServerError(native::kNotANumber, QStringLiteral("Error converting data type varchar to %1.").arg(QLatin1String(type)));
}
[[noreturn]] void NotADate() {
    ThrowServerError(native::kNotADate, QStringLiteral("Conversion failed when converting date and/or time from character string."));
}

void Result(sqlite3_context* ctx, const Value& v) {
    switch (v.kind) {
    case Value::Null: sqlite3_result_null(ctx); break;
    case Value::Integer: sqlite3_result_int64(ctx, v.i); break;
    case Value::Real: sqlite3_result_double(ctx, v.r); break;
    case Value::Text: sqlite3_result_text(ctx, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT); break;
    }
}

std::string_view TextOf(sqlite3_value* v) {
    const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return std::string_view(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v)));
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    }
    return false;
}

Value TextValue(std::string s) {
    Value v;
    v.kind = Value::Text;
    v.s = std::move(s);
    return v;
}

// "  -12 " as an integer; false when it is no integer. An empty text is 0, as the server takes it.
bool ReadInteger(std::string_view text, int64_t* out) {
    std::string_view t = Trimmed(text);
    if (t.empty()) { *out = 0; return true; }
    bool negative = false;
    if (t.front() == '+' || t.front() == '-') {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return false;
    uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        if (v > (uint64_t{1} << 63) / 10) return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > (uint64_t{1} << 63) - (negative ? 0 : 1)) return false;
    *out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

// "-1.5", "2e3", ".5" as a number; false when it is no number.
bool ReadNumber(std::string_view text, double* out, bool emptyIsZero) {
    const std::string_view t = Trimmed(text);
    if (t.empty()) {
        *out = 0;
        return emptyIsZero;
    }
    size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t exp = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++exp; }
        if (exp == 0) return false;
    }
    if (i != t.size()) return false;
    // Read in the C locale whatever the process's is: '.' is the point, and a ',' no separator.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    assert(cLocale);
    *out = strtod_l(std::string(t).c_str(), nullptr, cLocale);
    return std::isfinite(*out);
}

// A number as the printf's "%.<digits>g" of the C locale writes it, whatever the process's locale.
std::string NumberText(double v, int digits) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    assert(res.ec == std::errc());
    return std::string(buf, res.ptr);
}
std::string NumberText(double v) { return NumberText(v, 15); }

int64_t IntegerOf(const Value& v, const char* type) {
    switch (v.kind) {
    case Value::Integer: return v.i;
    case Value::Real:
        if (!(std::fabs(v.r) < 9.2e18)) Overflow(type);
        return static_cast<int64_t>(std::trunc(v.r));
    case Value::Text: {
        int64_t x = 0;
        if (!ReadInteger(v.s, &x)) ConversionFailed(v.s, type);
        return x;
    }
    case Value::Null: break;
    }
    return 0;
}

double RealOf(const Value& v, const char* type, bool emptyIsZero) {
    switch (v.kind) {
    case Value::Integer: return static_cast<double>(v.i);
    case Value::Real: return v.r;
    case Value::Text: {
        double x = 0;
        if (!ReadNumber(v.s, &x, emptyIsZero)) {
            if (std::strcmp(type, "money") == 0) {
                ThrowServerError(native::kNotMoney, QStringLiteral("Cannot convert a char value to money. The char value has incorrect syntax."));
            }
            NotANumber(type);
        }
        return x;
    }
    case Value::Null: break;
    }
    return 0;
}

}  // namespace rules

using namespace rules;

void ThrowServerError(long nativeError, const QString& text) {
    long number = vb::kHrErrorsInCommand;
    QString state = QStringLiteral("42000");
    switch (nativeError) {
    case native::kConversionFailed:
    case native::kNotANumber:
    case native::kNotMoney: state = QStringLiteral("22018"); break;
    case native::kNotADate: state = QStringLiteral("22007"); break;
    case native::kArithmeticOverflow:
    case native::kDateOverflow:
    case native::kDateDiffOverflow: number = vb::kHrUnspecified; state = QStringLiteral("22003"); break;
    case native::kDivideByZero: number = vb::kHrUnspecified; state = QStringLiteral("22012"); break;
    case native::kTruncation: number = vb::kHrUnspecified; state = QStringLiteral("22001"); break;
    default: break;
    }
    ThrowProvider(number, text, state, nativeError);
}

bool ReadRuleFailure(const QString& message, long* nativeError, QString* text) {
    if (!message.startsWith(QLatin1String("korv:"))) return false;
    const qsizetype colon = message.indexOf(QLatin1Char(':'), 5);
    if (colon < 0) return false;
    bool ok = false;
    const long n = message.mid(5, colon - 5).toLong(&ok);
    if (!ok) return false;
    *nativeError = n;
    *text = message.mid(colon + 1);
    return true;
}

Value FromSqlite(sqlite3_value* v) {
    Value out;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: out.kind = Value::Integer; out.i = sqlite3_value_int64(v); break;
    case SQLITE_FLOAT: out.kind = Value::Real; out.r = sqlite3_value_double(v); break;
    case SQLITE_NULL: break;
    default: out.kind = Value::Text; out.s = std::string(TextOf(v)); break;
    }
    return out;
}

Value ColumnValue(sqlite3_stmt* st, int column) {
    Value out;
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER: out.kind = Value::Integer; out.i = sqlite3_column_int64(st, column); break;
    case SQLITE_FLOAT: out.kind = Value::Real; out.r = sqlite3_column_double(st, column); break;
    case SQLITE_NULL: break;
    default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
        out.kind = Value::Text;
        out.s.assign(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, column)));
        break;
    }
    }
    return out;
}

void Bind(sqlite3_stmt* st, int index, const Value& v) {
    switch (v.kind) {
    case Value::Null: sqlite3_bind_null(st, index); break;
    case Value::Integer: sqlite3_bind_int64(st, index, v.i); break;
    case Value::Real: sqlite3_bind_double(st, index, v.r); break;
    case Value::Text: sqlite3_bind_text(st, index, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT); break;
    }
}

std::string LiteralText(const Value& v) {
    switch (v.kind) {
    case Value::Null: return "NULL";
    case Value::Integer: return std::to_string(v.i);
    case Value::Real: return NumberText(v.r, 17);
    case Value::Text: {
        std::string out = "'";
        for (char c : v.s) {
            if (c == '\'') out += '\'';
            out += c;
        }
        return out + "'";
    }
    }
    return "NULL";
}

}  // namespace ado::sqlite
