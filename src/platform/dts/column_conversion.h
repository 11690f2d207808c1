#pragma once
// How the copy task turns one value read from its source into the value it writes, under the
// metadata of the transformation's source and destination columns.
//
// - text: numbers are written plainly ("12.5", "7791234567890"), Booleans as "1" or "0", a
//   date-time as "yyyyMMdd" into an 8-character column and as "yyyy-MM-dd hh:mm:ss" otherwise;
//   text longer than the column is cut when the transformation allows string truncation, and
//   otherwise fails unless what it would lose is trailing blanks;
// - exact numeric: worked in decimal, never through a double; rounded half away from zero to the
//   column's scale (numeric truncation allowed), failing when more digits than the precision
//   remain; text is trimmed and must read as a plain number;
// - four-byte integer, Boolean, date-time, double, currency likewise;
// - Null only into a column with the nullable flag.
#include "platform/vb/variant.h"

#include <QString>

namespace dts {

struct ColumnSpec {
    QString name;
    long dataType = 0;
    long size = 0;
    long precision = 0;
    long numericScale = 0;
    long flags = 0;
    bool nullable() const { return (flags & 32) != 0; }
};

// An exact decimal: mantissa × 10^-scale, up to 38 digits.
struct Decimal {
    __int128 mantissa = 0;
    int scale = 0;
};

// Reads a plain decimal text ("-12.50", "7791234567890"; with allowExponent also "1.5e+20").
// False when the text is not one or has more than 38 digits.
bool ParseDecimal(const QString& text, Decimal* out, bool allowExponent = false);
// Plain text of a decimal; with keepScale false the trailing zeros of the fraction go.
QString DecimalText(const Decimal& d, bool keepScale);
// The decimal of a number held in a Variant (Integer, Long, Double, Currency, Boolean as 1/0);
// false for any other kind or a Double that is not finite.
bool VariantDecimal(const vb::Variant& v, Decimal* out);
// Rounds half away from zero to `scale` digits and checks `precision` digits in all. False with
// a reason when the number does not fit.
bool FitDecimal(Decimal* d, long precision, int scale, bool allowRounding, QString* why);

// True when the destination type is one the copy can write.
bool IsSupportedDestinationType(long dataType);

// Converts `in` (read from a column described by `source`) for the column `destination`.
// False with the reason in *why when the value cannot be written there.
bool ConvertColumnValue(const vb::Variant& in, const ColumnSpec& source, const ColumnSpec& destination,
                        long transformFlags, vb::Variant* out, QString* why);

}  // namespace dts
