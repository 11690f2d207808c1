#include "platform/vb/variant.h"

#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <cmath>
#include <limits>

namespace vb {

namespace {
constexpr qint64 kMsPerDay = 86400000LL;
const QDate kEpoch(1899, 12, 30);

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

// Text read as a number by the conversion functions: blanks around it, "." decimal point, optional
// sign and exponent (E or D), "&H"/"&O" forms. Raises 13 when it is not a whole number text
// (so "inf" and "nan" are no numbers, as for the runtime).
double TextToDouble(const QString& s) {
    if (!IsNumeric(Variant(s))) Raise(kErrTypeMismatch);
    return Val(s);
}
}  // namespace

Date Date::fromQDateTime(const QDateTime& dt) {
    const qint64 days = kEpoch.daysTo(dt.date());
    const qint64 ms = dt.time().msecsSinceStartOfDay();
    // Negative serials keep the time as a positive fraction, as the runtime does.
    const double frac = static_cast<double>(ms) / kMsPerDay;
    return Date{days >= 0 ? days + frac : days - frac};
}

Date Date::fromQDate(const QDate& d) { return Date{static_cast<double>(kEpoch.daysTo(d))}; }

QDateTime Date::toQDateTime() const {
    if (!std::isfinite(serial) || std::fabs(serial) > 3000000.0) Raise(kErrOverflow);
    const double whole = std::trunc(serial);
    const double frac = std::fabs(serial - whole);
    qint64 ms = std::llround(frac * kMsPerDay);
    qint64 days = static_cast<qint64>(whole);
    if (ms >= kMsPerDay) { ms -= kMsPerDay; days += serial >= 0 ? 1 : -1; }
    // Wall-clock parts without a time zone: a local time in a daylight-saving gap stays valid.
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::UTC);
}

QDate Date::toQDate() const { return toQDateTime().date(); }

Variant::Variant(long i) {
    if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
        v_ = static_cast<int32_t>(i);
    else
        v_ = static_cast<double>(i);
}

Variant::Variant(long long i) : Variant(static_cast<long>(i)) {}

VarType Variant::type() const {
    return std::visit(Overloaded{
        [](std::monostate) { return VarType::Empty; },
        [](NullT) { return VarType::Null; },
        [](bool) { return VarType::Boolean; },
        [](int16_t) { return VarType::Integer; },
        [](int32_t) { return VarType::Long; },
        [](double) { return VarType::Double; },
        [](Currency) { return VarType::Currency; },
        [](Date) { return VarType::Date; },
        [](const QString&) { return VarType::String; },
    }, v_);
}

bool Variant::isNumeric() const {
    switch (type()) {
    case VarType::Integer: case VarType::Long: case VarType::Double: case VarType::Currency:
    case VarType::Boolean: case VarType::Empty:
        return true;
    default:
        return false;
    }
}

double Variant::toDouble() const {
    return std::visit(Overloaded{
        [](std::monostate) { return 0.0; },
        [](NullT) -> double { Raise(94, QStringLiteral("Invalid use of Null")); },
        [](bool b) { return b ? -1.0 : 0.0; },
        [](int16_t i) { return static_cast<double>(i); },
        [](int32_t i) { return static_cast<double>(i); },
        [](double d) { return d; },
        [](Currency c) { return c.toDouble(); },
        [](Date d) { return d.serial; },
        [](const QString& s) {
            if (s.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1.0;
            if (s.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0.0;
            return TextToDouble(s);
        },
    }, v_);
}

bool Variant::toBool() const {
    if (isString()) {
        const QString t = std::get<QString>(v_).trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        return TextToDouble(t) != 0.0;
    }
    if (auto b = std::get_if<bool>(&v_)) return *b;
    return toDouble() != 0.0;
}

int16_t Variant::toInt() const { return CInt(*this); }
int32_t Variant::toLong() const { return CLng(*this); }

Currency Variant::toCurrency() const {
    if (auto c = std::get_if<Currency>(&v_)) return *c;
    if (isString()) {
        Currency c;
        if (Currency::parse(std::get<QString>(v_), &c)) return c;
    }
    if (auto i = std::get_if<int32_t>(&v_)) return Currency::fromInt(*i);
    if (auto i = std::get_if<int16_t>(&v_)) return Currency::fromInt(*i);
    return Currency::fromDouble(toDouble());
}

Date Variant::toDate() const {
    if (auto d = std::get_if<Date>(&v_)) return *d;
    if (isNull()) Raise(94, QStringLiteral("Invalid use of Null"));
    if (isString()) return CDate(*this);
    // A number converts when it lies between 01/01/100 and the last instant of 31/12/9999.
    const double serial = toDouble();
    if (!(serial > -657435.0 && serial < 2958466.0)) Raise(kErrOverflow);
    return Date{serial};
}

QString Variant::toString() const {
    return std::visit(Overloaded{
        [](std::monostate) { return QString(); },
        [](NullT) -> QString { Raise(94, QStringLiteral("Invalid use of Null")); },
        [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); },
        [](int16_t i) { return QString::number(i); },
        [](int32_t i) { return QString::number(i); },
        [](double d) { return NumberText(d); },
        [](Currency c) { return c.toString(); },
        [](Date d) {
            const QDateTime dt = d.toQDateTime();
            const double whole = std::trunc(d.serial);
            const bool hasTime = dt.time().msecsSinceStartOfDay() != 0;
            if (whole == 0 && hasTime) return dt.time().toString(QStringLiteral("HH:mm:ss"));
            QString s = dt.date().toString(QStringLiteral("dd/MM/yyyy"));
            if (hasTime) s += u' ' + dt.time().toString(QStringLiteral("HH:mm:ss"));
            return s;
        },
        [](const QString& s) { return s; },
    }, v_);
}

QString Variant::text() const {
    if (isNull() || isEmpty()) return QString();
    return toString();
}

bool Variant::equals(const Variant& other) const {
    if (isNull() || other.isNull()) return false;
    if (isString() && other.isString()) return std::get<QString>(v_) == std::get<QString>(other.v_);
    if (isEmpty() && other.isString()) return std::get<QString>(other.v_).isEmpty();
    if (other.isEmpty() && isString()) return std::get<QString>(v_).isEmpty();
    try {
        if (auto a = std::get_if<Currency>(&v_)) return *a == other.toCurrency();
        if (auto b = std::get_if<Currency>(&other.v_)) return toCurrency() == *b;
        return toDouble() == other.toDouble();
    } catch (const Error&) {
        return false;
    }
}

}  // namespace vb
