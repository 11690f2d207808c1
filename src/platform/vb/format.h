#pragma once
// Format(value, pattern) for the patterns the program uses: digit patterns ("###", "#####00",
// "#####.00", "########0.00", "0000", "00000000"), scientific ones ("0.00E+00", "0.00E-00",
// "##0.0e+0": the mantissa has as many whole digits as the pattern has whole places, the exponent
// at least as many digits as its "0"s, its sign always after "E+", only when negative after
// "E-"), the named ones ("Fixed", "Standard", "Percent", "Scientific", "General Number", "Short
// Date", "Long Date", ...), date patterns ("dd/mm/yyyy", "dd/mm/yy hh:mm", "dd/mm/yyyy hh:mm:ss",
// "mm-dd-yyyy", "hh:mm:ss", "yyyymmdd", ...) and text patterns ("@@@-@@@@", "&&&", "!@@@", "<",
// ">": "@" shows a character or a blank, "&" a character or nothing, filled from the right, from
// the left after "!"; "<" lower case, ">" upper case; a second section for Null and "").
// Numbers use "." as decimal point and "," as thousands separator; they are rounded half away
// from zero (unlike Round and CInt). A "#" place shows nothing for a zero digit, so 0 with "###"
// gives "". Sections "positive;negative;zero" are honoured. Text that reads as a number (or,
// for a date pattern, as a date) is formatted as one; any other text comes back unchanged from a
// number or date pattern. Null gives "" (or a text pattern's second section). Month and day
// names are Spanish ("marzo", "miércoles"). A pattern that mixes digit and character
// placeholders, or an exponent without digits, raises invalid procedure call (5).
#include "platform/vb/variant.h"

namespace vb {

QString Format(const Variant& value, const QString& pattern = QString());

}  // namespace vb
