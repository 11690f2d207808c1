#include "platform/vb/digits.h"

#include <cmath>
#include <charconv>
#include <cstdlib>

namespace vb::detail {

FixedDigits ToFixedDigits(double value, int decimals, HalfRule rule) {
    FixedDigits out;
    if (decimals < 0) decimals = 0;
    out.fraction = QString(decimals, u'0');
    if (!std::isfinite(value) || value == 0.0) return out;

    // 15 significant digits: d.dddddddddddddde+XX
    // (to_chars does not depend on the C locale, which the application sets from the environment)
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14);
    *res.ptr = '\0';
    QString mantissa;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mantissa += QChar(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // mantissa[k] weighs 10^(exponent - k); keep the digits down to 10^-decimals.
    const long long keep = static_cast<long long>(exponent) + decimals + 1;
    QString kept;
    int roundDigit = 0;
    bool restNonZero = false;
    if (keep >= 0) {
        for (long long k = 0; k < keep; ++k) kept += k < mantissa.size() ? mantissa[k] : QChar(u'0');
        if (keep < mantissa.size()) roundDigit = mantissa[keep].digitValue();
        for (long long k = keep + 1; k < mantissa.size(); ++k)
            if (mantissa[k] != u'0') restNonZero = true;
    }
    // keep < 0: the first significant digit lies below the rounding digit, so the value rounds to 0.

    const int lastKept = kept.isEmpty() ? 0 : kept.back().digitValue();
    const bool up = rule == HalfRule::AwayFromZero
                        ? roundDigit >= 5
                        : (roundDigit > 5 || (roundDigit == 5 && (restNonZero || lastKept % 2 == 1)));
    if (up) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0; --i) {
            if (kept[i] == u'9') {
                kept[i] = u'0';
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) kept.prepend(u'1');
    }
    if (kept.size() < decimals) kept = QString(decimals - kept.size(), u'0') + kept;
    out.fraction = kept.right(decimals);
    QString whole = kept.left(kept.size() - decimals);
    int lead = 0;
    while (lead < whole.size() && whole[lead] == u'0') ++lead;
    out.whole = whole.mid(lead);
    bool zero = out.whole.isEmpty();
    for (QChar c : out.fraction)
        if (c != u'0') zero = false;
    out.negative = value < 0 && !zero;
    return out;
}

}  // namespace vb::detail
