#pragma once
// Decimal digits of a double, rounded to a number of decimals, as the runtime's Round and Format
// see them: the value is first taken to 15 significant digits (what the runtime shows of a
// double), then rounded at the wanted decimal. Round rounds halves to even, Format away from zero.
#include <QString>

namespace vb::detail {

enum class HalfRule { ToEven, AwayFromZero };

struct FixedDigits {
    bool negative = false;   // only when the rounded value is not zero
    QString whole;           // digits before the point, without leading zeros ("" for zero)
    QString fraction;        // exactly `decimals` digits
};

FixedDigits ToFixedDigits(double value, int decimals, HalfRule rule);

}  // namespace vb::detail
