// The server's arithmetic and conversions on an embedded connection: + - * / % as the translator
// writes them (korv_add...), ROUND, and CAST and CONVERT (korv_convert, ConvertTo).
#include "platform/ado/sqlite_rules.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace ado::sqlite {

namespace rules {

namespace {

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
            if (b.i == 0) ThrowServerError(native::kDivideByZero, QStringLiteral("Divide by zero error encountered."));
            over = a.i == std::numeric_limits<int64_t>::min() && b.i == -1;
            if (!over) x = a.i / b.i;
            break;
        case Op::Mod:
            if (b.i == 0) ThrowServerError(native::kDivideByZero, QStringLiteral("Divide by zero error encountered."));
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
        if (y == 0) ThrowServerError(native::kDivideByZero, QStringLiteral("Divide by zero error encountered."));
        z = x / y;
        break;
    case Op::Mod:
        if (y == 0) ThrowServerError(native::kDivideByZero, QStringLiteral("Divide by zero error encountered."));
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
        ThrowServerError(native::kBadOperand, QStringLiteral("Operand data type varchar is invalid for %1 operator.").arg(QLatin1String(OpName(op))));
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

// Halves away from zero, as the server rounds a decimal; a value written with the half (2.345)
// rounds up though its binary form falls a hair short. The hair is a few units of the last place
// of the scaled value, however large: a larger margin would round every large amount up.
double RoundTo(double v, int decimals) {
    assert(decimals >= 0);
    const double f = std::pow(10.0, decimals);
    const double scaled = v * f;
    double whole = std::trunc(scaled);
    const double hair = 1e-9 + 8 * std::numeric_limits<double>::epsilon() * std::fabs(scaled);
    if (std::fabs(scaled - whole) >= 0.5 - hair) whole += scaled >= 0 ? 1 : -1;
    return whole / f;
}

// The conversions of a value that is not NULL, one per family of types.

Value ToInteger(const std::string& name, const Value& v) {
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

Value ToBit(const Value& v) {
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

Value ToDecimal(const TypeName& type, const Value& v) {
    const std::string& name = type.name;
    const bool money = name == "money" || name == "smallmoney";
    const int precision = money ? 19 : type.size > 0 ? type.size : 18;
    const int scale = money ? 4 : type.scale > 0 ? type.scale : 0;
    const double x = RoundTo(RealOf(v, money ? "money" : "numeric", false), scale);
    if (!(std::fabs(x) < std::pow(10.0, precision - scale))) {
        ThrowServerError(native::kArithmeticOverflow, QStringLiteral("Arithmetic overflow error converting %1 to data type %2.")
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

Value ToText(const TypeName& type, const Value& v, int style) {
    const std::string& name = type.name;
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

}  // namespace

void FnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnArithmetic<Op::Add>(ctx, argc, argv); }
void FnSubtract(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnArithmetic<Op::Sub>(ctx, argc, argv); }
void FnMultiply(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnArithmetic<Op::Mul>(ctx, argc, argv); }
void FnDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnArithmetic<Op::Div>(ctx, argc, argv); }
void FnModulo(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnArithmetic<Op::Mod>(ctx, argc, argv); }

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

void FnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guard(ctx, [&] {
        int style = -1;
        if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) style = static_cast<int>(IntegerOf(FromSqlite(argv[2]), "int"));
        Result(ctx, ConvertTo(TextOf(argv[0]), FromSqlite(argv[1]), style));
    });
}

}  // namespace rules

using namespace rules;

Value ConvertTo(std::string_view typeText, const Value& v, int style) {
    const TypeName type = ReadType(typeText);
    const std::string& name = type.name;
    if (v.kind == Value::Null) return {};
    if (IsOneOf(name, {"int", "integer", "smallint", "tinyint", "bigint"})) return ToInteger(name, v);
    if (name == "bit") return ToBit(v);
    if (IsOneOf(name, {"decimal", "numeric", "money", "smallmoney"})) return ToDecimal(type, v);
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
    if (IsOneOf(name, {"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"})) return ToText(type, v, style);
    ThrowServerError(native::kNoSuchType, QStringLiteral("Type %1 is not a defined system type.").arg(QString::fromStdString(name)));
}

}  // namespace ado::sqlite
