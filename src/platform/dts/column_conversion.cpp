#include "platform/dts/column_conversion.h"

#include "platform/dts/dts.h"
#include "platform/vb/dates.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace dts {
namespace {

using i128 = __int128;
constexpr int kMaxDigits = 38;

i128 Pow10(int n) {
    i128 r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

int DigitCount(i128 m) {
    if (m < 0)
        m = -m;
    int n = 1;
    while (m >= 10) {
        m /= 10;
        ++n;
    }
    return n;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

// Boolean from a text: "1"/"0", "true"/"false", or any number (not zero is true).
bool TextBool(const QString& text, bool* out) {
    const QString t = TrimBlanks(text);
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) {
        *out = true;
        return true;
    }
    if (t.compare(u"false", Qt::CaseInsensitive) == 0) {
        *out = false;
        return true;
    }
    Decimal d;
    if (!ParseDecimal(t, &d))
        return false;
    *out = d.mantissa != 0;
    return true;
}

// Boolean from a value read under a source column's type.
bool ValueBool(const vb::Variant& v, bool* out) {
    if (std::holds_alternative<bool>(v.raw())) {
        *out = std::get<bool>(v.raw());
        return true;
    }
    if (v.isString())
        return TextBool(std::get<QString>(v.raw()), out);
    Decimal d;
    if (VariantDecimal(v, &d)) {
        *out = d.mantissa != 0;
        return true;
    }
    return false;
}

bool ValueDate(const vb::Variant& v, vb::Date* out) {
    if (std::holds_alternative<vb::Date>(v.raw())) {
        *out = std::get<vb::Date>(v.raw());
        return true;
    }
    if (v.isString())
        return vb::ParseDate(TrimBlanks(std::get<QString>(v.raw())), out);
    return false;
}

QString DateText(vb::Date d, long size) {
    const QDateTime dt = d.toQDateTime();
    const QDate day = dt.date();
    char buf[96];
    if (size == 8) {
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", day.year() % 10000, day.month(), day.day());
    } else {
        const QTime t = dt.time();
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", day.year() % 10000, day.month(), day.day(),
                      t.hour(), t.minute(), t.second());
    }
    return QString::fromLatin1(buf);
}

// The value as the text a text column receives.
bool ValueText(const vb::Variant& v, const ColumnSpec& source, long destSize, QString* out, QString* why) {
    if (v.isString()) {
        const QString& s = std::get<QString>(v.raw());
        vb::Date d;
        if (source.dataType == DBTYPE_DBTIMESTAMP && vb::ParseDate(TrimBlanks(s), &d))
            *out = DateText(d, destSize);
        else if (source.dataType == DBTYPE_BOOL) {
            bool b = false;
            *out = TextBool(s, &b) ? QString(b ? u'1' : u'0') : s;
        } else
            *out = s;
        return true;
    }
    if (std::holds_alternative<bool>(v.raw())) {
        *out = std::get<bool>(v.raw()) ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    if (std::holds_alternative<vb::Date>(v.raw())) {
        *out = DateText(std::get<vb::Date>(v.raw()), destSize);
        return true;
    }
    Decimal d;
    if (VariantDecimal(v, &d)) {
        if (source.dataType == DBTYPE_BOOL)
            *out = d.mantissa != 0 ? QStringLiteral("1") : QStringLiteral("0");
        else
            *out = DecimalText(d, false);
        return true;
    }
    *why = QStringLiteral("el valor no se puede convertir a texto");
    return false;
}

// The value as an exact decimal: numbers as they are, text trimmed and read as a plain number.
bool ValueDecimal(const vb::Variant& v, Decimal* out, QString* why) {
    if (v.isString()) {
        const QString t = TrimBlanks(std::get<QString>(v.raw()));
        if (ParseDecimal(t, out))
            return true;
        *why = QStringLiteral("el texto '%1' no es un número").arg(t);
        return false;
    }
    if (VariantDecimal(v, out))
        return true;
    *why = QStringLiteral("el valor no se puede convertir a número");
    return false;
}

}  // namespace

namespace {

// Reads a plain decimal from the characters [text, text + n).
template <class Char>
bool ParseDecimalChars(const Char* text, qsizetype n, Decimal* out, bool allowExponent) {
    auto at = [&](qsizetype k) { return static_cast<char32_t>(text[k]); };
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (at(i) == U'-' || at(i) == U'+')) {
        negative = at(i) == U'-';
        ++i;
    }
    i128 mantissa = 0;
    int digits = 0;       // significant digits held
    int scale = 0;
    bool any = false;
    bool point = false;
    for (; i < n; ++i) {
        const char32_t c = at(i);
        if (c == U'.' && !point) {
            point = true;
            continue;
        }
        if (c < U'0' || c > U'9')
            break;
        any = true;
        const int digit = static_cast<int>(c - U'0');
        if (mantissa != 0 || digit != 0)
            ++digits;
        if (digits > kMaxDigits)
            return false;
        mantissa = mantissa * 10 + digit;
        if (point)
            ++scale;
    }
    if (!any)
        return false;
    int exponent = 0;
    if (i < n && allowExponent && (at(i) == U'e' || at(i) == U'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (at(i) == U'-' || at(i) == U'+')) {
            expNegative = at(i) == U'-';
            ++i;
        }
        bool expAny = false;
        for (; i < n && at(i) >= U'0' && at(i) <= U'9'; ++i) {
            expAny = true;
            exponent = exponent * 10 + static_cast<int>(at(i) - U'0');
            if (exponent > 400)
                return false;
        }
        if (!expAny)
            return false;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return false;
    scale -= exponent;
    if (scale < 0) {
        if (digits - scale > kMaxDigits)
            return false;
        mantissa *= Pow10(-scale);
        scale = 0;
    }
    while (scale > kMaxDigits) {   // digits far beyond any column's scale: drop them
        mantissa /= 10;
        --scale;
    }
    out->mantissa = negative ? -mantissa : mantissa;
    out->scale = scale;
    return true;
}

}  // namespace

bool ParseDecimal(const QString& text, Decimal* out, bool allowExponent) {
    return ParseDecimalChars(text.utf16(), text.size(), out, allowExponent);
}

QString DecimalText(const Decimal& d, bool keepScale) {
    i128 m = d.mantissa < 0 ? -d.mantissa : d.mantissa;
    int scale = d.scale;
    if (!keepScale)
        while (scale > 0 && m % 10 == 0) {
            m /= 10;
            --scale;
        }
    char buf[64];
    int pos = 0;
    int produced = 0;
    do {
        if (produced == scale && scale > 0)
            buf[pos++] = '.';
        buf[pos++] = static_cast<char>('0' + static_cast<int>(m % 10));
        m /= 10;
        ++produced;
    } while (m != 0 || produced <= scale);
    if (d.mantissa < 0)
        buf[pos++] = '-';
    QString s;
    s.reserve(pos);
    for (int k = pos - 1; k >= 0; --k)
        s.append(QLatin1Char(buf[k]));
    return s;
}

bool VariantDecimal(const vb::Variant& v, Decimal* out) {
    const auto& raw = v.raw();
    if (std::holds_alternative<int16_t>(raw)) {
        *out = Decimal{std::get<int16_t>(raw), 0};
        return true;
    }
    if (std::holds_alternative<int32_t>(raw)) {
        *out = Decimal{std::get<int32_t>(raw), 0};
        return true;
    }
    if (std::holds_alternative<vb::Currency>(raw)) {
        *out = Decimal{std::get<vb::Currency>(raw).raw(), 4};
        return true;
    }
    if (std::holds_alternative<bool>(raw)) {
        *out = Decimal{std::get<bool>(raw) ? 1 : 0, 0};
        return true;
    }
    if (std::holds_alternative<double>(raw)) {
        const double d = std::get<double>(raw);
        if (!std::isfinite(d))
            return false;
        if (d == std::trunc(d) && std::fabs(d) < 9.0e15) {
            *out = Decimal{static_cast<long long>(d), 0};
            return true;
        }
        // The shortest text that reads back as the same double: the number the user sees.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, d);
        return r.ec == std::errc() && ParseDecimalChars(buf, r.ptr - buf, out, true);
    }
    return false;
}

bool FitDecimal(Decimal* d, long precision, int scale, bool allowRounding, QString* why) {
    if (d->scale > scale) {
        const i128 divisor = Pow10(d->scale - scale);
        i128 q = d->mantissa / divisor;
        const i128 r = d->mantissa % divisor;
        if (r != 0 && !allowRounding) {
            *why = QStringLiteral("el valor %1 tiene más decimales que la columna").arg(DecimalText(*d, false));
            return false;
        }
        const i128 twice = (r < 0 ? -r : r) * 2;
        if (twice >= divisor)
            q += d->mantissa < 0 ? -1 : 1;
        d->mantissa = q;
        d->scale = scale;
    } else if (d->scale < scale) {
        if (d->mantissa != 0 && DigitCount(d->mantissa) + (scale - d->scale) > kMaxDigits) {
            *why = QStringLiteral("desbordamiento aritmético");
            return false;
        }
        d->mantissa *= Pow10(scale - d->scale);
        d->scale = scale;
    }
    const long limit = precision > 0 ? std::min<long>(precision, kMaxDigits) : kMaxDigits;
    if (d->mantissa != 0 && DigitCount(d->mantissa) > limit) {
        *why = QStringLiteral("desbordamiento aritmético: el valor %1 no cabe en numeric(%2,%3)")
                   .arg(DecimalText(*d, true))
                   .arg(precision)
                   .arg(scale);
        return false;
    }
    return true;
}

bool IsSupportedDestinationType(long dataType) {
    switch (dataType) {
    case DBTYPE_I4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_BOOL:
    case DBTYPE_STR:
    case DBTYPE_WSTR:
    case DBTYPE_NUMERIC:
    case DBTYPE_DBTIMESTAMP:
        return true;
    default:
        return false;
    }
}

namespace {

// The conversions into each destination type: false with the reason in *why when the value cannot
// be written there. `in` is neither Null nor Empty.

bool ToText(const vb::Variant& in, const ColumnSpec& source, const ColumnSpec& destination, long transformFlags,
            vb::Variant* out, QString* why) {
    QString text;
    if (!ValueText(in, source, destination.size, &text, why))
        return false;
    if (destination.size > 0 && text.size() > destination.size) {
        // Trailing blanks are cut in any case: they carry nothing a compare would see.
        if (!(transformFlags & DTSTransformFlag_AllowStringTruncation) &&
            !TrimBlanks(text.mid(destination.size)).isEmpty()) {
            *why = QStringLiteral("el texto '%1' excede los %2 caracteres de la columna").arg(text).arg(destination.size);
            return false;
        }
        text.truncate(destination.size);
    }
    *out = text;
    return true;
}

// The decimal a number column takes from `in`: a date is refused.
bool NumberFrom(const vb::Variant& in, Decimal* d, QString* why) {
    if (std::holds_alternative<vb::Date>(in.raw())) {
        *why = QStringLiteral("una fecha no se puede convertir a número");
        return false;
    }
    return ValueDecimal(in, d, why);
}

bool ToNumeric(const vb::Variant& in, const ColumnSpec& destination, long transformFlags, vb::Variant* out,
               QString* why) {
    Decimal d;
    if (!NumberFrom(in, &d, why))
        return false;
    const int scale = static_cast<int>(std::clamp<long>(destination.numericScale, 0, kMaxDigits));
    if (!FitDecimal(&d, destination.precision, scale, (transformFlags & DTSTransformFlag_AllowNumericTruncation) != 0,
                    why))
        return false;
    // Written as a number when a double holds it exactly, else as its decimal text.
    if (DigitCount(d.mantissa) <= 15) {
        // Both operands exact: the quotient is the double nearest to the decimal.
        if (scale == 0)
            *out = vb::Variant(static_cast<long long>(d.mantissa));
        else
            *out = static_cast<double>(static_cast<long long>(d.mantissa)) / static_cast<double>(Pow10(scale));
    } else {
        *out = DecimalText(d, true);
    }
    return true;
}

bool ToInteger(const vb::Variant& in, vb::Variant* out, QString* why) {
    Decimal d;
    if (!NumberFrom(in, &d, why))
        return false;
    if (in.isString() && d.scale > 0) {
        *why = QStringLiteral("el texto '%1' no es un número entero").arg(TrimBlanks(in.text()));
        return false;
    }
    const i128 whole = d.mantissa / Pow10(d.scale);   // toward zero
    if (whole > std::numeric_limits<int32_t>::max() || whole < std::numeric_limits<int32_t>::min()) {
        *why = QStringLiteral("desbordamiento aritmético: %1 no cabe en un entero").arg(DecimalText(d, false));
        return false;
    }
    *out = vb::Variant(static_cast<int>(whole));
    return true;
}

bool ToBoolean(const vb::Variant& in, vb::Variant* out, QString* why) {
    bool b = false;
    if (!ValueBool(in, &b)) {
        *why = QStringLiteral("el valor '%1' no es un valor lógico").arg(in.text());
        return false;
    }
    *out = vb::Variant(b ? 1 : 0);
    return true;
}

bool ToTimestamp(const vb::Variant& in, vb::Variant* out, QString* why) {
    vb::Date d;
    if (!ValueDate(in, &d)) {
        *why = QStringLiteral("el valor '%1' no es una fecha").arg(in.text());
        return false;
    }
    *out = d;
    return true;
}

bool ToDouble(const vb::Variant& in, vb::Variant* out, QString* why) {
    if (std::holds_alternative<double>(in.raw())) {
        *out = in;
        return true;
    }
    Decimal d;
    if (!ValueDecimal(in, &d, why))
        return false;
    *out = DecimalText(d, true).toDouble();
    return true;
}

bool ToCurrency(const vb::Variant& in, vb::Variant* out, QString* why) {
    Decimal d;
    if (!ValueDecimal(in, &d, why) || !FitDecimal(&d, 19, 4, true, why))
        return false;
    if (d.mantissa > std::numeric_limits<int64_t>::max() || d.mantissa < std::numeric_limits<int64_t>::min()) {
        *why = QStringLiteral("desbordamiento aritmético");
        return false;
    }
    *out = vb::Currency::fromRaw(static_cast<int64_t>(d.mantissa));
    return true;
}

}  // namespace

bool ConvertColumnValue(const vb::Variant& in, const ColumnSpec& source, const ColumnSpec& destination,
                        long transformFlags, vb::Variant* out, QString* why) {
    if (in.isNull() || in.isEmpty()) {
        if (!destination.nullable()) {
            *why = QStringLiteral("la columna no admite valores Null");
            return false;
        }
        *out = vb::Null;
        return true;
    }
    switch (destination.dataType) {
    case DBTYPE_STR:
    case DBTYPE_WSTR:
        return ToText(in, source, destination, transformFlags, out, why);
    case DBTYPE_NUMERIC:
        return ToNumeric(in, destination, transformFlags, out, why);
    case DBTYPE_I4:
        return ToInteger(in, out, why);
    case DBTYPE_BOOL:
        return ToBoolean(in, out, why);
    case DBTYPE_DBTIMESTAMP:
        return ToTimestamp(in, out, why);
    case DBTYPE_R8:
        return ToDouble(in, out, why);
    case DBTYPE_CY:
        return ToCurrency(in, out, why);
    default:
        *why = QStringLiteral("tipo de dato de destino %1 no admitido").arg(destination.dataType);
        return false;
    }
}

}  // namespace dts
