#include "platform/ado/tsql.h"

#include "platform/ado/tsql_internal.h"
#include "platform/ado/tsql_tokens.h"

namespace ado::tsql {

namespace {

bool ValidDay(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1753 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    int max = days[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) max = 29;
    return d <= max;
}

}  // namespace

int TwoDigits(std::string_view t, size_t& i, int maxDigits) {
    int v = 0, d = 0;
    while (i < t.size() && d < maxDigits && IsDigit(static_cast<unsigned char>(t[i]))) {
        v = v * 10 + (t[i] - '0');
        ++i;
        ++d;
    }
    return d == 0 ? -1 : v;
}

bool IsCanonicalIso(std::string_view t) {
    if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':') return false;
    int v[6];
    static const int at[6] = {0, 5, 8, 11, 14, 17};
    for (int k = 0; k < 6; ++k) {
        const size_t p = static_cast<size_t>(at[k]);
        const size_t n = k == 0 ? 4 : 2;
        int x = 0;
        for (size_t j = p; j < p + n; ++j) {
            if (t[j] < '0' || t[j] > '9') return false;
            x = x * 10 + (t[j] - '0');
        }
        v[k] = x;
    }
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (v[0] < 1753 || v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > days[v[1] - 1] || v[3] > 23 || v[4] > 59 || v[5] > 59) return false;
    return v[1] != 2 || v[2] < 29 || (v[0] % 4 == 0 && (v[0] % 100 != 0 || v[0] % 400 == 0));
}

bool DateForm(std::string_view inner) {
    if (IsCanonicalIso(inner)) return true;
    DateTime dt;
    return inner.size() >= 8 && inner.size() <= 28 && ReadDateTime(inner, &dt, true);
}

bool ReadDateTime(std::string_view t, DateTime* out, bool bareCompact) {
    auto digit = [&](size_t k) { return k < t.size() && IsDigit(static_cast<unsigned char>(t[k])); };
    size_t i = 0;
    int y, m, d;
    const bool fourFirst = digit(0) && digit(1) && digit(2) && digit(3);
    bool iso = false;
    if (fourFirst && t.size() >= 8 && t[4] == '-') {
        iso = true;
        y = TwoDigits(t, i, 4);
        ++i;
        m = TwoDigits(t, i, 2);
        if (m < 0 || i >= t.size() || t[i] != '-') return false;
        ++i;
        d = TwoDigits(t, i, 2);
    } else if (fourFirst && digit(4) && digit(5) && digit(6) && digit(7)) {
        y = (t[0] - '0') * 1000 + (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0');
        m = (t[4] - '0') * 10 + (t[5] - '0');
        d = (t[6] - '0') * 10 + (t[7] - '0');
        i = 8;
        if (i == t.size() && !bareCompact) return false;
        if (i < t.size() && t[i] != ' ') return false;   // a time must follow, after a blank
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
    DateTime r;
    r.year = y;
    r.month = m;
    r.day = d;
    if (i < t.size()) {
        if (t[i] != ' ' && !(iso && t[i] == 'T')) return false;
        while (i < t.size() && (t[i] == ' ' || t[i] == 'T')) ++i;
        r.hour = TwoDigits(t, i, 2);
        if (r.hour < 0 || r.hour > 23 || i >= t.size() || t[i] != ':') return false;
        ++i;
        const size_t ms = i;
        r.minute = TwoDigits(t, i, 2);
        if (i - ms != 2 || r.minute > 59) return false;
        if (i < t.size() && t[i] == ':') {
            ++i;
            const size_t s0 = i;
            r.second = TwoDigits(t, i, 2);
            if (i - s0 != 2 || r.second > 59) return false;
            if (i < t.size() && t[i] == '.') {
                ++i;
                int scale = 100;
                while (i < t.size() && IsDigit(static_cast<unsigned char>(t[i]))) {
                    r.millisecond += (t[i] - '0') * scale;
                    scale /= 10;
                    ++i;
                }
            }
        }
        if (i != t.size()) return false;
    }
    *out = r;
    return true;
}

std::string IsoText(const DateTime& d, char between) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d%c%02d:%02d:%02d", d.year, d.month, d.day, between, d.hour, d.minute, d.second);
    if (d.millisecond) std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), ".%03d", d.millisecond);
    return buf;
}

bool ReadDateLiteral(std::string_view t, std::string* iso) {
    DateTime d;
    if (!ReadDateTime(t, &d, false)) return false;
    *iso = IsoText(d);
    return true;
}

}  // namespace ado::tsql
