#pragma once
// The runtime's Variant: Empty, Null, Boolean, Integer, Long, Double, Currency, Date and
// String, with the runtime's conversions. Conversions that cannot be made raise vb::Error 13
// (type mismatch) or 94 (invalid use of Null), as the runtime does.
#include "platform/vb/currency.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

namespace vb {

// A Date is a double: days since 30 December 1899, the fraction being the time of day.
struct Date {
    double serial = 0.0;
    static Date fromQDateTime(const QDateTime& dt);
    static Date fromQDate(const QDate& d);
    QDateTime toQDateTime() const;
    QDate toQDate() const;
    friend bool operator==(Date a, Date b) { return a.serial == b.serial; }
};

enum class VarType { Empty = 0, Null = 1, Integer = 2, Long = 3, Double = 5, Currency = 6, Date = 7,
                     String = 8, Boolean = 11 };

struct NullT { friend bool operator==(NullT, NullT) { return true; } };
inline constexpr NullT Null{};

class Variant {
public:
    Variant() = default;                                   // Empty
    Variant(NullT) : v_(NullT{}) {}
    Variant(bool b) : v_(b) {}
    Variant(int16_t i) : v_(i) {}
    Variant(int i) : v_(static_cast<int32_t>(i)) {}        // Long
    Variant(long i);                                       // Long, or Double when it does not fit
    Variant(long long i);
    Variant(double d) : v_(d) {}
    Variant(Currency c) : v_(c) {}
    Variant(Date d) : v_(d) {}
    Variant(const QString& s) : v_(s) {}
    Variant(const char* s) : v_(QString::fromUtf8(s)) {}
    Variant(const char16_t* s) : v_(QString::fromUtf16(s)) {}

    VarType type() const;
    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isNull() const { return std::holds_alternative<NullT>(v_); }
    bool isString() const { return std::holds_alternative<QString>(v_); }
    bool isNumeric() const;  // Integer, Long, Double, Currency, Boolean (as the runtime's IsNumeric on non-text)

    // CBool, CInt, CLng, CDbl, CCur, CDate, CStr.
    bool toBool() const;
    int16_t toInt() const;
    int32_t toLong() const;
    double toDouble() const;
    Currency toCurrency() const;
    Date toDate() const;
    QString toString() const;  // CStr: Null raises 94; Empty gives ""

    // The value as text, with Null and Empty as "" (what a text box shows).
    QString text() const;

    // Comparison as the runtime's "=": Null on either side is not equal; numbers compare as
    // numbers; text compares as text (binary); a number and a text compare as numbers when the
    // text reads as one.
    bool equals(const Variant& other) const;

    const auto& raw() const { return v_; }

private:
    std::variant<std::monostate, NullT, bool, int16_t, int32_t, double, Currency, Date, QString> v_;
};

}  // namespace vb
