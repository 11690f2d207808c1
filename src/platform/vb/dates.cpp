#include "platform/vb/dates.h"

#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <QRegularExpression>
#include <cmath>

namespace vb {

namespace {

constexpr qint64 kMsPerDay = 86400000LL;
const QDate kEpoch(1899, 12, 30);

std::function<QDateTime()>& Clock() {
    static std::function<QDateTime()> clock;
    return clock;
}

// A Date as day number (days since the epoch) and milliseconds into that day. Serials below zero
// keep the time as a positive fraction: -1.25 is 29/12/1899 06:00.
struct Parts {
    qint64 day = 0;
    qint64 ms = 0;
};

Parts Split(Date d) {
    if (!std::isfinite(d.serial) || std::fabs(d.serial) > 3000000.0) Raise(kErrOverflow);
    const double whole = std::trunc(d.serial);
    Parts p{static_cast<qint64>(whole), std::llround(std::fabs(d.serial - whole) * kMsPerDay)};
    if (p.ms >= kMsPerDay) { p.ms -= kMsPerDay; p.day += d.serial >= 0 ? 1 : -1; }
    return p;
}

Date Join(qint64 day, qint64 ms) {
    const double frac = static_cast<double>(ms) / kMsPerDay;
    return Date{day >= 0 ? static_cast<double>(day) + frac : static_cast<double>(day) - frac};
}

// A running count of milliseconds, so that time arithmetic can cross midnight and the epoch.
qint64 Linear(Date d) {
    const Parts p = Split(d);
    return p.day * kMsPerDay + p.ms;
}

Date FromLinear(qint64 ms) {
    qint64 day = ms / kMsPerDay;
    qint64 rest = ms % kMsPerDay;
    if (rest < 0) { rest += kMsPerDay; --day; }
    return Join(day, rest);
}

QDate CalendarDate(Date d) { return kEpoch.addDays(Split(d).day); }

Date CheckedDate(const QDate& date, qint64 ms) {
    if (!date.isValid() || date.year() < 100 || date.year() > 9999) Raise(kErrInvalidProcedureCall);
    return Join(kEpoch.daysTo(date), ms);
}

int FullYear(int year, int digits) {
    if (digits <= 2) return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

bool ParseTime(const QString& text, qint64* ms) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:[.,](\\d{1,3})\\d*)?)?\\s*(AM|PM|A\\.M\\.|P\\.M\\.)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    int h = m.captured(1).toInt();
    const int n = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const int msec = m.captured(4).isEmpty() ? 0 : m.captured(4).leftJustified(3, u'0').toInt();
    const QString ampm = m.captured(5).toUpper();
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12) return false;
        if (ampm.startsWith(u'P') && h != 12) h += 12;
        if (ampm.startsWith(u'A') && h == 12) h = 0;
    }
    if (h > 23 || n > 59 || s > 59) return false;
    *ms = ((h * 60LL + n) * 60 + s) * 1000 + msec;
    return true;
}

bool ParseDay(const QString& text, QDate* out) {
    // yyyy-mm-dd (and yyyy/mm/dd): year first when it has four digits
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})$"));
    // dd/mm/yyyy, dd-mm-yy, ...: day first
    static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})([-/])(\\d{1,2})\\2(\\d{1,4})$"));
    // dd/mm: day and month of the current year
    static const QRegularExpression dm(QStringLiteral("^(\\d{1,2})([-/])(\\d{1,2})$"));
    int y = 0, m = 0, d = 0;
    if (const auto r = iso.match(text); r.hasMatch()) {
        y = r.captured(1).toInt();
        m = r.captured(2).toInt();
        d = r.captured(3).toInt();
    } else if (const auto r2 = dmy.match(text); r2.hasMatch()) {
        d = r2.captured(1).toInt();
        m = r2.captured(3).toInt();
        y = FullYear(r2.captured(4).toInt(), static_cast<int>(r2.captured(4).size()));
    } else if (const auto r3 = dm.match(text); r3.hasMatch()) {
        d = r3.captured(1).toInt();
        m = r3.captured(3).toInt();
        y = CurrentDateTime().date().year();
    } else {
        return false;
    }
    if (y < 100 || y > 9999 || !QDate::isValid(y, m, d)) return false;
    *out = QDate(y, m, d);
    return true;
}

}  // namespace

void SetClock(std::function<QDateTime()> clock) { Clock() = std::move(clock); }

QDateTime CurrentDateTime() {
    const auto& clock = Clock();
    return clock ? clock() : QDateTime::currentDateTime();
}

long long CurrentMSecsSinceEpoch() {
    const auto& clock = Clock();
    return clock ? clock().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

Date Now() {
    const QDateTime now = CurrentDateTime();
    const QTime t = now.time();
    return Join(kEpoch.daysTo(now.date()), (t.hour() * 3600LL + t.minute() * 60 + t.second()) * 1000);
}

Date Today() { return Join(kEpoch.daysTo(CurrentDateTime().date()), 0); }

bool ParseDate(const QString& text, Date* out) {
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    QString dayPart = t, timePart;
    const qsizetype colon = t.indexOf(u':');
    if (colon >= 0) {
        // The date comes before the time, separated by blanks (or the "T" of ISO texts).
        qsizetype cut = t.lastIndexOf(u' ', colon);
        const qsizetype tee = t.lastIndexOf(u'T', colon);
        if (tee > cut && tee > 0 && t[tee - 1].isDigit()) cut = tee;
        if (cut < 0) {
            dayPart.clear();
            timePart = t;
        } else {
            dayPart = t.left(cut).trimmed();
            timePart = t.mid(cut + 1).trimmed();
        }
    }
    qint64 ms = 0;
    if (!timePart.isEmpty() && !ParseTime(timePart, &ms)) return false;
    qint64 day = 0;
    if (!dayPart.isEmpty()) {
        QDate d;
        if (!ParseDay(dayPart, &d)) return false;
        day = kEpoch.daysTo(d);
    }
    *out = Join(day, ms);
    return true;
}

bool IsDate(const Variant& v) {
    if (v.type() == VarType::Date) return true;
    if (!v.isString()) return false;
    Date d;
    return ParseDate(v.toString(), &d);
}

Date CDate(const Variant& v) {
    if (!v.isString()) return v.toDate();
    Date d;
    if (!ParseDate(v.toString(), &d)) Raise(kErrTypeMismatch);
    return d;
}

Date DateAdd(const QString& interval, double number, Date date) {
    const QString i = interval.toLower();
    if (!std::isfinite(number) || std::fabs(number) > 1e9) Raise(kErrInvalidProcedureCall);
    const qint64 n = static_cast<qint64>(std::nearbyint(number));
    const Parts p = Split(date);
    const QDate day = kEpoch.addDays(p.day);
    if (i == u"yyyy") return CheckedDate(day.addYears(static_cast<int>(n)), p.ms);
    if (i == u"q") return CheckedDate(day.addMonths(static_cast<int>(n * 3)), p.ms);
    if (i == u"m") return CheckedDate(day.addMonths(static_cast<int>(n)), p.ms);
    if (i == u"d" || i == u"y" || i == u"w") return CheckedDate(day.addDays(n), p.ms);
    if (i == u"ww") return CheckedDate(day.addDays(n * 7), p.ms);
    qint64 unit = 0;
    if (i == u"h") unit = 3600000LL;
    else if (i == u"n") unit = 60000LL;
    else if (i == u"s") unit = 1000LL;
    else Raise(kErrInvalidProcedureCall);
    const Date r = FromLinear(Linear(date) + n * unit);
    CheckedDate(CalendarDate(r), 0);
    return r;
}

long long DateDiff(const QString& interval, Date d1, Date d2) {
    const QString i = interval.toLower();
    const Parts a = Split(d1), b = Split(d2);
    const QDate da = kEpoch.addDays(a.day), db = kEpoch.addDays(b.day);
    if (i == u"yyyy") return db.year() - da.year();
    if (i == u"q") return (db.year() - da.year()) * 4LL + (db.month() - 1) / 3 - (da.month() - 1) / 3;
    if (i == u"m") return (db.year() - da.year()) * 12LL + db.month() - da.month();
    if (i == u"d" || i == u"y") return b.day - a.day;
    if (i == u"w") return (b.day - a.day) / 7;
    if (i == u"ww") {
        // Sundays crossed: day 1 of the count (31/12/1899) is a Sunday.
        auto week = [](qint64 day) { return day - 1 >= 0 ? (day - 1) / 7 : -((-(day - 1) + 6) / 7); };
        return week(b.day) - week(a.day);
    }
    const qint64 la = a.day * kMsPerDay + a.ms, lb = b.day * kMsPerDay + b.ms;
    auto floorDiv = [](qint64 v, qint64 u) { return v >= 0 ? v / u : -((-v + u - 1) / u); };
    if (i == u"h") return floorDiv(lb, 3600000LL) - floorDiv(la, 3600000LL);
    if (i == u"n") return floorDiv(lb, 60000LL) - floorDiv(la, 60000LL);
    if (i == u"s") return floorDiv(lb, 1000LL) - floorDiv(la, 1000LL);
    Raise(kErrInvalidProcedureCall);
}

int Year(Date d) { return CalendarDate(d).year(); }
int Month(Date d) { return CalendarDate(d).month(); }
int Day(Date d) { return CalendarDate(d).day(); }
int Hour(Date d) { return static_cast<int>(Split(d).ms / 3600000LL); }
int Minute(Date d) { return static_cast<int>(Split(d).ms / 60000LL % 60); }
int Second(Date d) { return static_cast<int>(Split(d).ms / 1000LL % 60); }

int Weekday(Date d) {
    const qint64 day = Split(d).day;   // day 0 (30/12/1899) is a Saturday
    return static_cast<int>(((day % 7 + 7) % 7 + 6) % 7 + 1);
}

Date DateSerial(int year, int month, int day) {
    if (year >= 0 && year < 100) year = FullYear(year, 2);
    // Months and days outside their range carry into the next unit, as the runtime does.
    const qint64 m0 = static_cast<qint64>(month) - 1;
    const qint64 carry = m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
    const qint64 y = year + carry;
    if (y < 0 || y > 10000) Raise(kErrInvalidProcedureCall);
    const QDate first(static_cast<int>(y), static_cast<int>(m0 - carry * 12 + 1), 1);
    if (!first.isValid()) Raise(kErrInvalidProcedureCall);
    return CheckedDate(first.addDays(static_cast<qint64>(day) - 1), 0);
}

Date TimeSerial(int hour, int minute, int second) {
    const qint64 seconds = hour * 3600LL + minute * 60LL + second;
    return FromLinear(seconds * 1000);
}

}  // namespace vb
