#pragma once
// Fixed-point money: the runtime's Currency, a 64-bit integer of ten-thousandths.
#include <QString>
#include <cstdint>

namespace vb {

class Currency {
public:
    static constexpr int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t raw) { Currency c; c.raw_ = raw; return c; }
    // Rounds to four decimals, halves to even (as the runtime's conversion). Raises 6 (overflow)
    // when out of range.
    static Currency fromDouble(double d);
    static Currency fromInt(int64_t v);
    // Reads "123.4567" / "-0.5" exactly ("." only); false when the text is not a plain number.
    static bool parse(const QString& text, Currency* out);

    constexpr int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / kScale; }
    // Plain text with "." and no trailing zeros: 12.5, -3, 0.0001.
    QString toString() const;

    friend constexpr bool operator==(Currency a, Currency b) { return a.raw_ == b.raw_; }
    friend constexpr auto operator<=>(Currency a, Currency b) { return a.raw_ <=> b.raw_; }
    // Raise 6 (overflow) when the result leaves the range.
    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const;
    // The exact product rounded to four decimals, halves to even, as the runtime multiplies two
    // Currency values: 0.0001 * 0.5 is 0, 0.0003 * 0.5 is 0.0002.
    Currency operator*(Currency o) const;

private:
    int64_t raw_ = 0;
};

}  // namespace vb
