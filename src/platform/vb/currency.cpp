#include "platform/vb/currency.h"

#include "platform/vb/error.h"

#include <cmath>

namespace vb {

Currency Currency::fromDouble(double d) {
    const double scaled = d * kScale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2233720368547758e18) Raise(kErrOverflow);
    return fromRaw(static_cast<int64_t>(std::nearbyint(scaled)));  // default rounding: halves to even
}

Currency Currency::fromInt(int64_t v) {
    if (v > INT64_MAX / kScale || v < INT64_MIN / kScale) Raise(kErrOverflow);
    return fromRaw(v * kScale);
}

Currency Currency::operator+(Currency o) const {
    int64_t r = 0;
    if (__builtin_add_overflow(raw_, o.raw_, &r)) Raise(kErrOverflow);
    return fromRaw(r);
}

Currency Currency::operator-(Currency o) const {
    int64_t r = 0;
    if (__builtin_sub_overflow(raw_, o.raw_, &r)) Raise(kErrOverflow);
    return fromRaw(r);
}

Currency Currency::operator-() const {
    if (raw_ == INT64_MIN) Raise(kErrOverflow);
    return fromRaw(-raw_);
}

Currency Currency::operator*(Currency o) const {
    const __int128 producto = static_cast<__int128>(raw_) * o.raw_;
    __int128 cociente = producto / kScale;
    const __int128 resto = producto % kScale;   // carries the product's sign
    const __int128 doble = (resto < 0 ? -resto : resto) * 2;
    if (doble > kScale || (doble == kScale && (cociente % 2 != 0))) cociente += producto < 0 ? -1 : 1;
    if (cociente > INT64_MAX || cociente < INT64_MIN) Raise(kErrOverflow);
    return fromRaw(static_cast<int64_t>(cociente));
}

bool Currency::parse(const QString& text, Currency* out) {
    const QString t = text.trimmed();
    int i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) { neg = t[i] == u'-'; ++i; }
    __int128 whole = 0;
    int digits = 0, frac = 0, fracDigits = 0;
    bool roundUp = false, sticky = false;
    for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
        whole = whole * 10 + t[i].digitValue();
        if (whole > static_cast<__int128>(INT64_MAX)) return false;
    }
    int lastKept = 0;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
            const int dv = t[i].digitValue();
            if (fracDigits < 4) { frac = frac * 10 + dv; ++fracDigits; lastKept = dv; }
            else if (fracDigits == 4) { roundUp = dv >= 5; sticky = dv > 5; ++fracDigits; }
            else if (dv) sticky = true;
        }
    }
    if (i != t.size() || digits == 0) return false;
    while (fracDigits < 4) { frac *= 10; ++fracDigits; }
    __int128 raw = whole * kScale + frac;
    // halves to even
    if (roundUp && (sticky || (lastKept % 2 == 1) || (frac % 2 == 1))) raw += 1;
    if (neg) raw = -raw;
    if (raw > INT64_MAX || raw < INT64_MIN) return false;
    *out = fromRaw(static_cast<int64_t>(raw));
    return true;
}

QString Currency::toString() const {
    // Written backwards into a buffer: sign, whole part, and the fraction without its trailing zeros.
    const bool neg = raw_ < 0;
    const unsigned long long a = neg ? 0ULL - static_cast<unsigned long long>(raw_) : static_cast<unsigned long long>(raw_);
    char16_t buf[32];
    char16_t* end = buf + sizeof buf / sizeof buf[0];
    char16_t* p = end;
    unsigned long long f = a % kScale;
    if (f) {
        int digits = 4;
        while (f % 10 == 0) {
            f /= 10;
            --digits;
        }
        for (; digits > 0; --digits, f /= 10) *--p = static_cast<char16_t>(u'0' + f % 10);
        *--p = u'.';
    }
    unsigned long long w = a / kScale;
    do {
        *--p = static_cast<char16_t>(u'0' + w % 10);
        w /= 10;
    } while (w);
    if (neg) *--p = u'-';
    return QString::fromUtf16(p, end - p);
}

}  // namespace vb
