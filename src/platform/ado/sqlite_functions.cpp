// SQL Server's rules on an embedded connection: compare rules, LIKE, arithmetic, conversions and
// the dialect's functions.
#include "platform/ado/sqlite_functions.h"

#include "platform/ado/tsql.h"
#include "platform/vb/dates.h"

#include <QChar>
#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace ado::sqlite {

namespace {

// ---------------------------------------------------------------------------------------------
// Failures.

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

[[noreturn]] void ConversionFailed(std::string_view text, const char* type) {
    ThrowServerError(245, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
                              .arg(Q(text), QLatin1String(type)));
}
[[noreturn]] void Overflow(const char* type) {
    ThrowServerError(8115, QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(QLatin1String(type)));
}
[[noreturn]] void NotANumber(const char* type) {
    ThrowServerError(8114, QStringLiteral("Error converting data type varchar to %1.").arg(QLatin1String(type)));
}
[[noreturn]] void NotADate() {
    ThrowServerError(241, QStringLiteral("Conversion failed when converting date and/or time from character string."));
}

// Runs a function's body, turning a failure into the statement's error.
template <typename F>
void Guard(sqlite3_context* ctx, F&& f) {
    try {
        f();
    } catch (const ProviderError& e) {
        const std::string m = "korv:" + std::to_string(e.nativeError) + ":" + e.description.toStdString();
        sqlite3_result_error(ctx, m.c_str(), static_cast<int>(m.size()));
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

void Result(sqlite3_context* ctx, const Value& v) {
    switch (v.kind) {
    case Value::Null: sqlite3_result_null(ctx); break;
    case Value::Integer: sqlite3_result_int64(ctx, v.i); break;
    case Value::Real: sqlite3_result_double(ctx, v.r); break;
    case Value::Text: sqlite3_result_text(ctx, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT); break;
    }
}

// ---------------------------------------------------------------------------------------------
// Text.

size_t TrimmedLength(const char* s, size_t n) {
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
    const unsigned char c = s[i];
    if (c < 0x80) { ++i; return c; }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    ++i;
    while (extra-- > 0 && i < n && (s[i] & 0xC0) == 0x80) cp = (cp << 6) | (s[i++] & 0x3F);
    return cp;
}

char32_t Fold(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Case and trailing blanks ignored, as the server's collation.
int CompareText(const unsigned char* a, size_t n1, const unsigned char* b, size_t n2) {
    // Where the two are the same bytes they compare equal: the comparison starts after that run
    // (at the start of its last character), which is where keys met in an index mostly end.
    size_t same = 0;
    const size_t shorter = std::min(n1, n2);
    while (same < shorter && a[same] == b[same]) ++same;
    if (same == n1 && same == n2) return 0;
    while (same > 0 && ((same < n1 && (a[same] & 0xC0) == 0x80) || (same < n2 && (b[same] & 0xC0) == 0x80))) --same;
    const size_t la = TrimmedLength(reinterpret_cast<const char*>(a), n1);
    const size_t lb = TrimmedLength(reinterpret_cast<const char*>(b), n2);
    // A run that takes in one side's last character leaves blanks or nothing of it: past its
    // end both stand where the comparison of the characters would end.
    size_t i = same, j = same;
    while (i < la && j < lb) {
        const unsigned char ca = a[i], cb = b[j];
        if (ca < 0x80 && cb < 0x80) {
            const unsigned char ua = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
            const unsigned char ub = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
            if (ua != ub) return ua < ub ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t xa = QChar::toCaseFolded(DecodeUtf8(a, la, i));
        const char32_t xb = QChar::toCaseFolded(DecodeUtf8(b, lb, j));
        if (xa != xb) return xa < xb ? -1 : 1;
    }
    if (i < la) return 1;
    if (j < lb) return -1;
    return 0;
}

int CollateText(void*, int n1, const void* p1, int n2, const void* p2) {
    return CompareText(static_cast<const unsigned char*>(p1), static_cast<size_t>(n1), static_cast<const unsigned char*>(p2),
                       static_cast<size_t>(n2));
}

// The characters of a UTF-8 text.
std::u32string Chars(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t i = 0;
    while (i < s.size()) out.push_back(DecodeUtf8(p, s.size(), i));
    return out;
}

// The byte offset of character `count` of a UTF-8 text (its size when shorter).
size_t CharOffset(std::string_view s, int64_t count) {
    size_t i = 0;
    for (int64_t c = 0; c < count && i < s.size(); ++c) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

int64_t CharCount(std::string_view s) {
    int64_t n = 0;
    for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Dates: milliseconds from 1 January 1900, the server's day 0.

constexpr int64_t kDayMs = 86400000;

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* y, int* m, int* d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

const int64_t kDay1900 = DaysFromCivil(1900, 1, 1);

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t MomentOf(const tsql::DateTime& d) {
    return (DaysFromCivil(d.year, d.month, d.day) - kDay1900) * kDayMs +
           ((d.hour * 60 + d.minute) * 60 + d.second) * int64_t{1000} + d.millisecond;
}

tsql::DateTime DateOfMoment(int64_t ms) {
    tsql::DateTime d;
    const int64_t days = FloorDiv(ms, kDayMs);
    int64_t rest = ms - days * kDayMs;
    CivilFromDays(days + kDay1900, &d.year, &d.month, &d.day);
    d.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    d.second = static_cast<int>(rest % 60);
    rest /= 60;
    d.minute = static_cast<int>(rest % 60);
    d.hour = static_cast<int>(rest / 60);
    return d;
}

bool InDateRange(int64_t ms) {
    static const int64_t low = (DaysFromCivil(1753, 1, 1) - kDay1900) * kDayMs;
    static const int64_t high = (DaysFromCivil(10000, 1, 1) - kDay1900) * kDayMs;
    return ms >= low && ms < high;
}

Value DateValue(int64_t ms) {
    if (!InDateRange(ms)) ThrowServerError(517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
    Value v;
    v.kind = Value::Text;
    v.s = tsql::IsoText(DateOfMoment(ms));
    return v;
}

// A date text of any form the server reads (a bare "yyyymmdd" too).
bool ReadMoment(std::string_view text, int64_t* ms, bool bareCompact = true) {
    tsql::DateTime d;
    if (!tsql::ReadDateTime(Trimmed(text), &d, bareCompact)) return false;
    *ms = MomentOf(d);
    return true;
}

// A value as a date: text in a date form, or a number of days from 1 January 1900.
int64_t MomentOfValue(const Value& v) {
    int64_t ms = 0;
    switch (v.kind) {
    case Value::Integer: ms = v.i * kDayMs; break;
    case Value::Real: ms = static_cast<int64_t>(std::llround(v.r * static_cast<double>(kDayMs))); break;
    case Value::Text:
        if (!ReadMoment(v.s, &ms)) NotADate();
        return ms;
    case Value::Null: break;
    }
    if (!InDateRange(ms)) NotADate();
    return ms;
}

// Date columns: texts that read as dates compare as dates, before any other text.
int CollateDate(void*, int n1, const void* p1, int n2, const void* p2) {
    const auto* a = static_cast<const char*>(p1);
    const auto* b = static_cast<const char*>(p2);
    // Two ISO texts to the second compare as they are written.
    if (n1 == 19 && n2 == 19 && a[4] == '-' && b[4] == '-' && a[10] == ' ' && b[10] == ' ') return std::memcmp(a, b, 19);
    int64_t x = 0, y = 0;
    const bool da = ReadMoment(std::string_view(a, static_cast<size_t>(n1)), &x);
    const bool db = ReadMoment(std::string_view(b, static_cast<size_t>(n2)), &y);
    if (da && db) return x < y ? -1 : x > y ? 1 : 0;
    if (da != db) return da ? -1 : 1;
    return CompareText(static_cast<const unsigned char*>(p1), static_cast<size_t>(n1), static_cast<const unsigned char*>(p2),
                       static_cast<size_t>(n2));
}

// ---------------------------------------------------------------------------------------------
// Numbers read from text.

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

// ---------------------------------------------------------------------------------------------
// Arithmetic.

enum class Op { Add, Sub, Mul, Div, Mod };

const char* OpName(Op op) {
    switch (op) {
    case Op::Add: return "add";
    case Op::Sub: return "subtract";
    case Op::Mul: return "multiply";
    case Op::Div: return "divide";
    case Op::Mod: return "modulo";
    }
    return "";
}

bool IsInt32(int64_t v) { return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max(); }

// A text beside a number takes the number's type: an integer for an integer, else a float.
Value AsNumberLike(const Value& text, const Value& other) {
    Value v;
    if (other.kind == Value::Integer) {
        if (!ReadInteger(text.s, &v.i)) ConversionFailed(text.s, "int");
        v.kind = Value::Integer;
    } else {
        if (!ReadNumber(text.s, &v.r, true)) NotANumber("float");
        v.kind = Value::Real;
    }
    return v;
}

Value Numeric(Op op, const Value& a, const Value& b) {
    Value r;
    if (a.kind == Value::Integer && b.kind == Value::Integer) {
        const bool small = IsInt32(a.i) && IsInt32(b.i);
        int64_t x = 0;
        bool over = false;
        switch (op) {
        case Op::Add: over = __builtin_add_overflow(a.i, b.i, &x); break;
        case Op::Sub: over = __builtin_sub_overflow(a.i, b.i, &x); break;
        case Op::Mul: over = __builtin_mul_overflow(a.i, b.i, &x); break;
        case Op::Div:
            if (b.i == 0) ThrowServerError(8134, QStringLiteral("Divide by zero error encountered."));
            over = a.i == std::numeric_limits<int64_t>::min() && b.i == -1;
            if (!over) x = a.i / b.i;
            break;
        case Op::Mod:
            if (b.i == 0) ThrowServerError(8134, QStringLiteral("Divide by zero error encountered."));
            x = b.i == -1 ? 0 : a.i % b.i;
            break;
        }
        if (over) Overflow("bigint");
        if (small && !IsInt32(x)) Overflow("int");
        r.kind = Value::Integer;
        r.i = x;
        return r;
    }
    const double x = a.kind == Value::Integer ? static_cast<double>(a.i) : a.r;
    const double y = b.kind == Value::Integer ? static_cast<double>(b.i) : b.r;
    double z = 0;
    switch (op) {
    case Op::Add: z = x + y; break;
    case Op::Sub: z = x - y; break;
    case Op::Mul: z = x * y; break;
    case Op::Div:
        if (y == 0) ThrowServerError(8134, QStringLiteral("Divide by zero error encountered."));
        z = x / y;
        break;
    case Op::Mod:
        if (y == 0) ThrowServerError(8134, QStringLiteral("Divide by zero error encountered."));
        z = std::fmod(x, y);
        break;
    }
    if (!std::isfinite(z)) Overflow("float");
    r.kind = Value::Real;
    r.r = z;
    return r;
}

// A date text: ISO or another unambiguous form (a bare "yyyymmdd" here is a number).
bool DateText(const Value& v, int64_t* ms) { return v.kind == Value::Text && ReadMoment(v.s, ms, false); }

Value Arithmetic(Op op, const Value& a, const Value& b) {
    if (a.kind == Value::Null || b.kind == Value::Null) return {};
    const bool ta = a.kind == Value::Text, tb = b.kind == Value::Text;
    if (ta && tb) {
        if (op == Op::Add) {
            Value r;
            r.kind = Value::Text;
            r.s = a.s + b.s;
            return r;
        }
        int64_t x = 0, y = 0;
        if (op == Op::Sub && DateText(a, &x) && DateText(b, &y)) return DateValue(x - y);
        ThrowServerError(8117, QStringLiteral("Operand data type varchar is invalid for %1 operator.").arg(QLatin1String(OpName(op))));
    }
    if (ta || tb) {
        const Value& text = ta ? a : b;
        const Value& number = ta ? b : a;
        int64_t ms = 0;
        if ((op == Op::Add || (op == Op::Sub && ta)) && DateText(text, &ms)) {
            const double days = number.kind == Value::Integer ? static_cast<double>(number.i) : number.r;
            const int64_t delta = static_cast<int64_t>(std::llround(days * static_cast<double>(kDayMs)));
            return DateValue(op == Op::Add ? ms + delta : ms - delta);
        }
        const Value converted = AsNumberLike(text, number);
        return ta ? Numeric(op, converted, b) : Numeric(op, a, converted);
    }
    return Numeric(op, a, b);
}

template <Op op>
void FnArithmetic(sqlite3_context* ctx, int, sqlite3_value** argv) {
    Guard(ctx, [&] { Result(ctx, Arithmetic(op, FromSqlite(argv[0]), FromSqlite(argv[1]))); });
}

// ---------------------------------------------------------------------------------------------
// Conversions.

struct TypeName {
    std::string name;   // lower case, without size
    int size = -1;      // length or precision; -1 when not given, -2 for "max"
    int scale = -1;
};

TypeName ReadType(std::string_view t) {
    TypeName type;
    size_t i = 0;
    while (i < t.size() && t[i] != '(') {
        const char c = t[i++];
        if (c != ' ') type.name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    if (i < t.size()) {
        ++i;
        std::string a, b;
        bool second = false;
        for (; i < t.size() && t[i] != ')'; ++i) {
            if (t[i] == ',') second = true;
            else if (t[i] != ' ') (second ? b : a) += t[i];
        }
        if (a == "max" || a == "MAX") type.size = -2;
        else if (!a.empty()) type.size = std::atoi(a.c_str());
        if (!b.empty()) type.scale = std::atoi(b.c_str());
    }
    return type;
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names) {
        if (name == n) return true;
    }
    return false;
}

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
                ThrowServerError(235, QStringLiteral("Cannot convert a char value to money. The char value has incorrect syntax."));
            }
            NotANumber(type);
        }
        return x;
    }
    case Value::Null: break;
    }
    return 0;
}

// Halves away from zero, as the server rounds a decimal; a value written with the half (2.345)
// rounds up though its binary form falls a hair short. The hair is a few units of the last place
// of the scaled value, however large: a larger margin would round every large amount up.
double RoundTo(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    const double scaled = v * f;
    double whole = std::trunc(scaled);
    const double hair = 1e-9 + 8 * std::numeric_limits<double>::epsilon() * std::fabs(scaled);
    if (std::fabs(scaled - whole) >= 0.5 - hair) whole += scaled >= 0 ? 1 : -1;
    return whole / f;
}

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A date written in one of CONVERT's styles.
std::string StyledDate(const tsql::DateTime& d, int style) {
    static const int styles[] = {0, 100, 1, 101, 2, 102, 3, 103, 4, 104, 5, 105, 8, 108, 10, 110, 11, 111, 12, 112, 14, 114, 20, 120, 21, 121, 23, 126};
    bool known = false;
    for (int s : styles) known = known || s == style;
    if (!known) {
        ThrowServerError(281, QStringLiteral("%1 is not a valid style number when converting from datetime to a character string.").arg(style));
    }
    char buf[64];
    const int yy = d.year % 100;
    const bool century = style >= 100;
    const int y = century ? d.year : yy;
    const char* yf = century ? "%04d" : "%02d";
    auto dateWith = [&](const char* order, char sep) {
        // order: "dmy", "mdy" or "ymd"
        std::string out;
        for (int k = 0; k < 3; ++k) {
            if (k) out += sep;
            char part[8];
            if (order[k] == 'd') std::snprintf(part, sizeof part, "%02d", d.day);
            else if (order[k] == 'm') std::snprintf(part, sizeof part, "%02d", d.month);
            else std::snprintf(part, sizeof part, yf, y);
            out += part;
        }
        return out;
    };
    switch (style % 100) {
    case 0: {
        const int h = d.hour % 12 == 0 ? 12 : d.hour % 12;
        std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d%s", kMonthNames[d.month - 1], d.day, d.year, h, d.minute,
                      d.hour < 12 ? "AM" : "PM");
        return buf;
    }
    case 1: return dateWith("mdy", '/');
    case 2: return dateWith("ymd", '.');
    case 3: return dateWith("dmy", '/');
    case 4: return dateWith("dmy", '.');
    case 5: return dateWith("dmy", '-');
    case 8:
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", d.hour, d.minute, d.second);
        return buf;
    case 10: return dateWith("mdy", '-');
    case 11: return dateWith("ymd", '/');
    case 12: {
        std::string s = dateWith("ymd", '/');
        s.erase(std::remove(s.begin(), s.end(), '/'), s.end());
        return s;
    }
    case 14:
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d", d.hour, d.minute, d.second, d.millisecond);
        return buf;
    case 20:
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
        return buf;
    case 21:
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute, d.second,
                      d.millisecond);
        return buf;
    case 23:
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
        return buf;
    case 26: return tsql::IsoText(d, 'T');
    default: break;
    }
    return tsql::IsoText(d);
}

// A text read as a date in a CONVERT style: 101 month first, 112 "yyyymmdd", the rest as the
// server reads dates.
int64_t MomentInStyle(const std::string& text, int style) {
    const std::string_view t = Trimmed(text);
    if (style % 100 == 1 || style % 100 == 10) {   // month first: swap to read day first
        const size_t a = t.find_first_of("/-");
        const size_t b = a == std::string_view::npos ? a : t.find(t[a], a + 1);
        if (b != std::string_view::npos) {
            const std::string swapped = std::string(t.substr(a + 1, b - a - 1)) + t[a] + std::string(t.substr(0, a)) + std::string(t.substr(b));
            int64_t ms = 0;
            if (ReadMoment(swapped, &ms, false)) return ms;
        }
        NotADate();
    }
    int64_t ms = 0;
    if (!ReadMoment(t, &ms, true)) NotADate();
    return ms;
}

Value TextValue(std::string s) {
    Value v;
    v.kind = Value::Text;
    v.s = std::move(s);
    return v;
}

// ---------------------------------------------------------------------------------------------
// LIKE with the server's patterns.

struct PatternItem {
    enum Kind { Char, One, Any, Set } kind = Char;
    char32_t c = 0;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<PatternItem> CompilePattern(const std::u32string& p, char32_t escape, bool hasEscape) {
    std::vector<PatternItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        PatternItem item;
        const char32_t c = p[i];
        if (hasEscape && c == escape && i + 1 < p.size()) {
            item.c = Fold(p[++i]);
        } else if (c == U'%') {
            item.kind = PatternItem::Any;
        } else if (c == U'_') {
            item.kind = PatternItem::One;
        } else if (c == U'[') {
            size_t j = i + 1;
            PatternItem set;
            set.kind = PatternItem::Set;
            if (j < p.size() && p[j] == U'^') {
                set.negate = true;
                ++j;
            }
            bool closed = false;
            for (; j < p.size(); ++j) {
                if (p[j] == U']' && (j > i + 1 + (set.negate ? 1 : 0))) {
                    closed = true;
                    break;
                }
                char32_t lo = p[j];
                if (hasEscape && lo == escape && j + 1 < p.size()) lo = p[++j];
                char32_t hi = lo;
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    hi = p[j + 2];
                    j += 2;
                }
                set.ranges.emplace_back(Fold(lo), Fold(hi));
            }
            if (closed) {
                items.push_back(std::move(set));
                i = j;
                continue;
            }
            item.c = U'[';   // no closing bracket: the bracket itself
        } else {
            item.c = Fold(c);
        }
        items.push_back(std::move(item));
    }
    return items;
}

bool MatchesOne(const PatternItem& item, char32_t c) {
    switch (item.kind) {
    case PatternItem::Char: return item.c == c;
    case PatternItem::One: return true;
    case PatternItem::Set: {
        bool in = false;
        for (const auto& [lo, hi] : item.ranges) in = in || (c >= lo && c <= hi);
        return in != item.negate;
    }
    case PatternItem::Any: return false;
    }
    return false;
}

bool Match(const std::vector<PatternItem>& items, const std::u32string& v, size_t n) {
    size_t p = 0, i = 0, starP = SIZE_MAX, starI = 0;
    while (i < n) {
        if (p < items.size() && items[p].kind == PatternItem::Any) {
            starP = p++;
            starI = i;
        } else if (p < items.size() && MatchesOne(items[p], v[i])) {
            ++p;
            ++i;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Any) ++p;
    return p == items.size();
}

void FnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    Guard(ctx, [&] {
        const auto text = [](sqlite3_value* v) {
            const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            return std::string_view(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v)));
        };
        char32_t escape = 0;
        const bool hasEscape = argc == 3;
        if (hasEscape) {
            const std::u32string e = Chars(text(argv[2]));
            if (e.size() != 1) {
                ThrowServerError(506, QStringLiteral("The invalid escape character \"%1\" was specified in a LIKE predicate.")
                                          .arg(Q(text(argv[2]))));
            }
            escape = e[0];
        }
        const std::vector<PatternItem> items = CompilePattern(Chars(text(argv[0])), escape, hasEscape);
        std::u32string value = Chars(text(argv[1]));
        for (char32_t& c : value) c = Fold(c);
        // Trailing blanks of the value are ignored; the pattern's count.
        bool hit = Match(items, value, value.size());
        if (!hit) {
            size_t n = value.size();
            while (n > 0 && value[n - 1] == U' ') --n;
            if (n != value.size()) hit = Match(items, value, n);
        }
        sqlite3_result_int(ctx, hit ? 1 : 0);
    });
}

// ---------------------------------------------------------------------------------------------
// The dialect's functions.

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

void FnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    const std::string_view s = TextOf(argv[0]);
    sqlite3_result_int64(ctx, CharCount(s.substr(0, TrimmedLength(s.data(), s.size()))));
}

void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString needle = Q(TextOf(argv[0]));
    const QString hay = Q(TextOf(argv[1]));
    qsizetype from = 0;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) from = std::max<sqlite3_int64>(1, sqlite3_value_int64(argv[2])) - 1;
    if (needle.isEmpty()) { sqlite3_result_int(ctx, 0); return; }
    const qsizetype at = hay.indexOf(needle, from, Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

// REPLACE finds the pattern under the collation (case ignored) and puts the replacement in as it
// is written.
void FnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    const std::string_view text = TextOf(argv[0]);
    const QString find = Q(TextOf(argv[1]));
    if (find.isEmpty()) {
        sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return;
    }
    QString out = Q(text);
    out.replace(find, Q(TextOf(argv[2])), Qt::CaseInsensitive);
    const QByteArray bytes = out.toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// PATINDEX('%pattern%', text): where the first match of a LIKE pattern starts (1 on), 0 when none.
void FnPatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    std::vector<PatternItem> items = CompilePattern(Chars(TextOf(argv[0])), 0, false);
    std::u32string value = Chars(TextOf(argv[1]));
    for (char32_t& c : value) c = Fold(c);
    // A pattern that opens with % may start anywhere; one that does not, only at the start.
    const bool anywhere = !items.empty() && items.front().kind == PatternItem::Any;
    if (anywhere) items.erase(items.begin());
    const size_t last = anywhere ? value.size() : 0;
    for (size_t at = 0; at <= last && at <= value.size(); ++at) {
        const std::u32string rest = value.substr(at);
        if (Match(items, rest, rest.size())) {
            sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(at) + 1);
            return;
        }
    }
    sqlite3_result_int64(ctx, 0);
}

// ROUND(x, length[, truncate]): a negative length rounds to tens, hundreds...; halves away from
// zero; a whole number stays whole. A third argument other than 0 cuts instead of rounding.
void FnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    Guard(ctx, [&] {
        const Value x = FromSqlite(argv[0]);
        const int64_t length = IntegerOf(FromSqlite(argv[1]), "int");
        const bool cut = argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL && IntegerOf(FromSqlite(argv[2]), "int") != 0;
        if (x.kind == Value::Integer) {
            if (length >= 0) { sqlite3_result_int64(ctx, x.i); return; }
            if (length < -18) { sqlite3_result_int64(ctx, 0); return; }
            int64_t unit = 1;
            for (int64_t k = 0; k < -length; ++k) unit *= 10;
            int64_t whole = x.i / unit;
            const int64_t rest = x.i % unit;
            if (!cut && 2 * (rest >= 0 ? rest : -rest) >= unit) whole += x.i >= 0 ? 1 : -1;
            int64_t r = 0;
            if (__builtin_mul_overflow(whole, unit, &r)) Overflow("bigint");
            sqlite3_result_int64(ctx, r);
            return;
        }
        const double v = RealOf(x, "float", false);
        if (!std::isfinite(v) || length > 308) { sqlite3_result_double(ctx, v); return; }
        if (length < -308) { sqlite3_result_double(ctx, 0.0); return; }
        // Scaled by multiplying for decimals and dividing for tens, so that 10^n is exact.
        const double unit = std::pow(10.0, static_cast<double>(length >= 0 ? length : -length));
        const double scaled = length >= 0 ? v * unit : v / unit;
        double whole = std::trunc(scaled);
        const double hair = 1e-9 + 8 * std::numeric_limits<double>::epsilon() * std::fabs(scaled);
        if (!cut && std::fabs(scaled - whole) >= 0.5 - hair) whole += scaled >= 0 ? 1 : -1;
        sqlite3_result_double(ctx, length >= 0 ? whole / unit : whole * unit);
    });
}

void FnGetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray text = vb::CurrentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

template <bool left>
void FnLeftRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const int64_t n = IntegerOf(FromSqlite(argv[1]), "int");
        if (n < 0) {
            ThrowServerError(536, QStringLiteral("Invalid length parameter passed to the %1 function.")
                                      .arg(left ? QStringLiteral("left") : QStringLiteral("right")));
        }
        const std::string_view s = TextOf(argv[0]);
        const int64_t count = CharCount(s);
        const std::string_view part = left ? s.substr(0, CharOffset(s, n)) : s.substr(CharOffset(s, std::max<int64_t>(0, count - n)));
        sqlite3_result_text(ctx, part.data(), static_cast<int>(part.size()), SQLITE_TRANSIENT);
    });
}

void FnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const int64_t n = IntegerOf(FromSqlite(argv[1]), "int");
        if (n < 0) { sqlite3_result_null(ctx); return; }
        const std::string_view s = TextOf(argv[0]);
        std::string out;
        const int64_t each = std::max<int64_t>(1, CharCount(s));
        const int64_t times = std::min<int64_t>(n, 8000 / each);   // the server's varchar holds 8000
        out.reserve(static_cast<size_t>(times) * s.size());
        for (int64_t i = 0; i < times; ++i) out.append(s);
        sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
    });
}

void FnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        int style = -1;
        if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) style = static_cast<int>(IntegerOf(FromSqlite(argv[2]), "int"));
        Result(ctx, ConvertTo(TextOf(argv[0]), FromSqlite(argv[1]), style));
    });
}

// The date parts, as the translator names them.
enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond };

Part ReadPart(std::string_view p) {
    static const struct { const char* name; Part part; } parts[] = {
        {"year", Part::Year},   {"quarter", Part::Quarter}, {"month", Part::Month},   {"dayofyear", Part::DayOfYear},
        {"day", Part::Day},     {"week", Part::Week},       {"weekday", Part::Weekday}, {"hour", Part::Hour},
        {"minute", Part::Minute}, {"second", Part::Second}, {"millisecond", Part::Millisecond},
    };
    for (const auto& x : parts) {
        if (p == x.name) return x.part;
    }
    ThrowServerError(155, QStringLiteral("'%1' is not a recognized date part.").arg(Q(p)));
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 29 : days[m - 1];
}

void FnDateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const Part part = ReadPart(TextOf(argv[0]));
        const int64_t n = IntegerOf(FromSqlite(argv[1]), "int");
        const int64_t ms = MomentOfValue(FromSqlite(argv[2]));
        int64_t step = 0;
        switch (part) {
        case Part::Year: case Part::Quarter: case Part::Month: {
            tsql::DateTime d = DateOfMoment(ms);
            const int64_t months = n * (part == Part::Year ? 12 : part == Part::Quarter ? 3 : 1);
            const int64_t total = int64_t{d.year} * 12 + (d.month - 1) + months;
            if (total < 1753 * 12 || total >= 10000 * 12) {
                ThrowServerError(517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
            }
            d.year = static_cast<int>(total / 12);
            d.month = static_cast<int>(total % 12) + 1;
            d.day = std::min(d.day, DaysInMonth(d.year, d.month));   // the 31st a month on is its last day
            Result(ctx, DateValue(MomentOf(d)));
            return;
        }
        case Part::DayOfYear: case Part::Day: case Part::Weekday: step = kDayMs; break;
        case Part::Week: step = 7 * kDayMs; break;
        case Part::Hour: step = 3600000; break;
        case Part::Minute: step = 60000; break;
        case Part::Second: step = 1000; break;
        case Part::Millisecond: step = 1; break;
        }
        int64_t delta = 0;
        if (__builtin_mul_overflow(n, step, &delta)) {
            ThrowServerError(517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
        }
        Result(ctx, DateValue(ms + delta));
    });
}

// DATEDIFF counts the boundaries of the part crossed from a to b.
void FnDateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const Part part = ReadPart(TextOf(argv[0]));
        const int64_t a = MomentOfValue(FromSqlite(argv[1]));
        const int64_t b = MomentOfValue(FromSqlite(argv[2]));
        const tsql::DateTime x = DateOfMoment(a), y = DateOfMoment(b);
        const int64_t da = FloorDiv(a, kDayMs), db = FloorDiv(b, kDayMs);
        int64_t r = 0;
        switch (part) {
        case Part::Year: r = y.year - x.year; break;
        case Part::Quarter: r = (y.year - x.year) * 4 + (y.month - 1) / 3 - (x.month - 1) / 3; break;
        case Part::Month: r = (y.year - x.year) * 12 + y.month - x.month; break;
        case Part::DayOfYear: case Part::Day: case Part::Weekday: r = db - da; break;
        case Part::Week: r = FloorDiv(db + 1, 7) - FloorDiv(da + 1, 7); break;   // weeks start on Sunday
        case Part::Hour: r = FloorDiv(b, 3600000) - FloorDiv(a, 3600000); break;
        case Part::Minute: r = FloorDiv(b, 60000) - FloorDiv(a, 60000); break;
        case Part::Second: r = FloorDiv(b, 1000) - FloorDiv(a, 1000); break;
        case Part::Millisecond: r = b - a; break;
        }
        if (!IsInt32(r)) {
            ThrowServerError(535, QStringLiteral("The datediff function resulted in an overflow. The number of dateparts separating "
                                                 "two date/time instances is too large."));
        }
        sqlite3_result_int64(ctx, r);
    });
}

template <int which>
void FnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const tsql::DateTime d = DateOfMoment(MomentOfValue(FromSqlite(argv[0])));
        sqlite3_result_int(ctx, which == 0 ? d.year : which == 1 ? d.month : d.day);
    });
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void ThrowServerError(long native, const QString& text) {
    long number = vb::kHrErrorsInCommand;
    QString state = QStringLiteral("42000");
    switch (native) {
    case 245: case 8114: case 235: state = QStringLiteral("22018"); break;
    case 241: state = QStringLiteral("22007"); break;
    case 8115: case 517: case 535: number = vb::kHrUnspecified; state = QStringLiteral("22003"); break;
    case 8134: number = vb::kHrUnspecified; state = QStringLiteral("22012"); break;
    case 8152: number = vb::kHrUnspecified; state = QStringLiteral("22001"); break;
    default: break;
    }
    ThrowProvider(number, text, state, native);
}

bool ReadRuleFailure(const QString& message, long* native, QString* text) {
    if (!message.startsWith(QLatin1String("korv:"))) return false;
    const qsizetype colon = message.indexOf(QLatin1Char(':'), 5);
    if (colon < 0) return false;
    bool ok = false;
    const long n = message.mid(5, colon - 5).toLong(&ok);
    if (!ok) return false;
    *native = n;
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

Value ConvertTo(std::string_view typeText, const Value& v, int style) {
    const TypeName type = ReadType(typeText);
    const std::string& name = type.name;
    if (v.kind == Value::Null) return {};
    if (IsOneOf(name, {"int", "integer", "smallint", "tinyint", "bigint"})) {
        const char* label = name == "integer" ? "int" : name.c_str();
        const int64_t x = IntegerOf(v, label);
        const bool fits = name == "bigint" || (name == "smallint" ? (x >= -32768 && x <= 32767)
                                               : name == "tinyint" ? (x >= 0 && x <= 255)
                                                                    : IsInt32(x));
        if (!fits) Overflow(label);
        Value r;
        r.kind = Value::Integer;
        r.i = x;
        return r;
    }
    if (name == "bit") {
        Value r;
        r.kind = Value::Integer;
        if (v.kind == Value::Text) {
            const std::string_view t = Trimmed(v.s);
            if (t.size() == 4 && QString::fromLatin1(t.data(), 4).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) r.i = 1;
            else if (t.size() == 5 && QString::fromLatin1(t.data(), 5).compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) r.i = 0;
            else r.i = IntegerOf(v, "bit") != 0;
        } else {
            r.i = (v.kind == Value::Integer ? v.i != 0 : v.r != 0) ? 1 : 0;
        }
        return r;
    }
    if (IsOneOf(name, {"decimal", "numeric", "money", "smallmoney"})) {
        const bool money = name == "money" || name == "smallmoney";
        const int precision = money ? 19 : type.size > 0 ? type.size : 18;
        const int scale = money ? 4 : type.scale > 0 ? type.scale : 0;
        const double x = RoundTo(RealOf(v, money ? "money" : "numeric", false), scale);
        if (!(std::fabs(x) < std::pow(10.0, precision - scale))) {
            ThrowServerError(8115, QStringLiteral("Arithmetic overflow error converting %1 to data type %2.")
                                       .arg(v.kind == Value::Text ? QStringLiteral("varchar") : QStringLiteral("expression"),
                                            QString::fromStdString(money ? name : "numeric")));
        }
        Value r;
        if (scale == 0 && std::fabs(x) < 9e15) {
            r.kind = Value::Integer;
            r.i = static_cast<int64_t>(x);
        } else {
            r.kind = Value::Real;
            r.r = x;
        }
        return r;
    }
    if (IsOneOf(name, {"float", "real", "double"})) {
        Value r;
        r.kind = Value::Real;
        r.r = RealOf(v, "float", true);
        return r;
    }
    if (IsOneOf(name, {"datetime", "smalldatetime", "date", "datetime2"})) {
        int64_t ms = v.kind == Value::Text ? MomentInStyle(v.s, style) : MomentOfValue(v);
        if (name == "date") ms = FloorDiv(ms, kDayMs) * kDayMs;
        return DateValue(ms);
    }
    if (IsOneOf(name, {"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"})) {
        std::string s;
        switch (v.kind) {
        case Value::Integer: s = std::to_string(v.i); break;
        case Value::Real: s = NumberText(v.r); break;
        case Value::Text: {
            // A date (as date columns hold them) written in the style asked for.
            int64_t ms = 0;
            if (style >= 0 && ReadMoment(v.s, &ms, false)) {
                s = StyledDate(DateOfMoment(ms), style);
            } else {
                s = v.s;
            }
            break;
        }
        case Value::Null: break;
        }
        const bool fixed = name == "char" || name == "nchar";
        int64_t length = type.size;
        if (length == -1) length = (name == "text" || name == "ntext") ? -2 : fixed ? 1 : 30;
        if (name == "sysname") length = 128;
        if (length >= 0) {
            s.resize(CharOffset(s, length));
            if (fixed) s.append(static_cast<size_t>(std::max<int64_t>(0, length - CharCount(s))), ' ');
        }
        return TextValue(std::move(s));
    }
    ThrowServerError(243, QStringLiteral("Type %1 is not a defined system type.").arg(QString::fromStdString(name)));
}

void RegisterServerRules(sqlite3* db) {
    // A Bloom filter hashes a text by its bytes, so two texts the compare rule finds equal ('abc'
    // and 'ABC  ') would miss each other in a join through an automatic index.
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db, 0x00080000 /* Bloom filter */ | 0x00100000 /* its pull-down */);
    const std::string text(tsql::kTextRuleName), date(tsql::kDateRuleName);
    sqlite3_create_collation(db, text.c_str(), SQLITE_UTF8, nullptr, CollateText);
    sqlite3_create_collation(db, date.c_str(), SQLITE_UTF8, nullptr, CollateDate);
    // A file of an earlier version, not upgraded yet (see sqlite_files.h), names them as SQLite's
    // own rules: this connection reads those names by the program's rules.
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, CollateText);
    sqlite3_create_collation(db, "RTRIM", SQLITE_UTF8, nullptr, CollateDate);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Fn { const char* name; int args; void (*f)(sqlite3_context*, int, sqlite3_value**); };
    static const Fn functions[] = {
        {"like", 2, FnLike},
        {"like", 3, FnLike},
        {"korv_add", 2, FnArithmetic<Op::Add>},
        {"korv_sub", 2, FnArithmetic<Op::Sub>},
        {"korv_mul", 2, FnArithmetic<Op::Mul>},
        {"korv_div", 2, FnArithmetic<Op::Div>},
        {"korv_mod", 2, FnArithmetic<Op::Mod>},
        {"korv_convert", 2, FnConvert},
        {"korv_convert", 3, FnConvert},
        {"korv_dateadd", 3, FnDateAdd},
        {"korv_datediff", 3, FnDateDiff},
        {"korv_left", 2, FnLeftRight<true>},
        {"korv_right", 2, FnLeftRight<false>},
        {"REPLICATE", 2, FnReplicate},
        {"YEAR", 1, FnDatePart<0>},
        {"MONTH", 1, FnDatePart<1>},
        {"DAY", 1, FnDatePart<2>},
        {"LEN", 1, FnLen},
        {"CHARINDEX", 2, FnCharIndex},
        {"CHARINDEX", 3, FnCharIndex},
        {"REPLACE", 3, FnReplace},
        {"PATINDEX", 2, FnPatIndex},
        {"ROUND", 2, FnRound},
        {"ROUND", 3, FnRound},
    };
    for (const Fn& f : functions) sqlite3_create_function(db, f.name, f.args, flags, nullptr, f.f, nullptr, nullptr);
    sqlite3_create_function(db, "GETDATE", 0, SQLITE_UTF8, nullptr, FnGetDate, nullptr, nullptr);
}

}  // namespace ado::sqlite
