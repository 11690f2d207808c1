// The server's dates on an embedded connection: moments as milliseconds from 1 January 1900, the
// compare rule of the date columns, CONVERT's date styles, and DATEADD, DATEDIFF, YEAR, MONTH,
// DAY and GETDATE.
#include "platform/ado/sqlite_rules.h"

#include "platform/vb/dates.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ado::sqlite::rules {

namespace {

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

int64_t MomentOf(const tsql::DateTime& d) {
    return (DaysFromCivil(d.year, d.month, d.day) - kDay1900) * kDayMs +
           ((d.hour * 60 + d.minute) * 60 + d.second) * int64_t{1000} + d.millisecond;
}

bool InDateRange(int64_t ms) {
    static const int64_t low = (DaysFromCivil(1753, 1, 1) - kDay1900) * kDayMs;
    static const int64_t high = (DaysFromCivil(10000, 1, 1) - kDay1900) * kDayMs;
    return ms >= low && ms < high;
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
    ThrowServerError(native::kNotAnOption, QStringLiteral("'%1' is not a recognized date part.").arg(Q(p)));
}

int DaysInMonth(int y, int m) {
    assert(m >= 1 && m <= 12);
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 29 : days[m - 1];
}

template <int which>
void FnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    Guard(ctx, [&] {
        const tsql::DateTime d = DateOfMoment(MomentOfValue(FromSqlite(argv[0])));
        sqlite3_result_int(ctx, which == 0 ? d.year : which == 1 ? d.month : d.day);
    });
}

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

tsql::DateTime DateOfMoment(int64_t ms) {
    tsql::DateTime d;
    const int64_t days = FloorDiv(ms, kDayMs);
    int64_t rest = ms - days * kDayMs;
    assert(rest >= 0 && rest < kDayMs);
    CivilFromDays(days + kDay1900, &d.year, &d.month, &d.day);
    d.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    d.second = static_cast<int>(rest % 60);
    rest /= 60;
    d.minute = static_cast<int>(rest % 60);
    d.hour = static_cast<int>(rest / 60);
    return d;
}

Value DateValue(int64_t ms) {
    if (!InDateRange(ms)) ThrowServerError(native::kDateOverflow, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
    Value v;
    v.kind = Value::Text;
    v.s = tsql::IsoText(DateOfMoment(ms));
    return v;
}

bool ReadMoment(std::string_view text, int64_t* ms, bool bareCompact) {
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

// A date written in one of CONVERT's styles.
std::string StyledDate(const tsql::DateTime& d, int style) {
    static const int styles[] = {0, 100, 1, 101, 2, 102, 3, 103, 4, 104, 5, 105, 8, 108, 10, 110, 11, 111, 12, 112, 14, 114, 20, 120, 21, 121, 23, 126};
    bool known = false;
    for (int s : styles) known = known || s == style;
    if (!known) {
        ThrowServerError(native::kBadDateStyle, QStringLiteral("%1 is not a valid style number when converting from datetime to a character string.").arg(style));
    }
    assert(d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31);
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
            assert(a < b);
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

void FnGetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray text = vb::CurrentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
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
                ThrowServerError(native::kDateOverflow, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
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
            ThrowServerError(native::kDateOverflow, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
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
            ThrowServerError(native::kDateDiffOverflow, QStringLiteral("The datediff function resulted in an overflow. The number of dateparts separating "
                                                 "two date/time instances is too large."));
        }
        sqlite3_result_int64(ctx, r);
    });
}

void FnYear(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnDatePart<0>(ctx, argc, argv); }
void FnMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnDatePart<1>(ctx, argc, argv); }
void FnDay(sqlite3_context* ctx, int argc, sqlite3_value** argv) { FnDatePart<2>(ctx, argc, argv); }

}  // namespace ado::sqlite::rules
