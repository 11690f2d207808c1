#pragma once
// Format(value, pattern) for the patterns the program uses: digit patterns ("###", "#####00",
// "#####.00", "########0.00", "0000", "00000000"), the named ones ("Fixed", "Standard",
// "General Number", "Short Date", "Long Date"), and date patterns ("dd/mm/yyyy",
// "dd/mm/yy hh:mm", "dd/mm/yyyy hh:mm:ss", "mm-dd-yyyy", "hh:mm:ss", "yyyymmdd", ...).
// Numbers use "." as decimal point and "," as thousands separator; they are rounded half away
// from zero (unlike Round and CInt). A "#" place shows nothing for a zero digit, so 0 with "###"
// gives "". Sections "positive;negative;zero" are honoured. Text that reads as a number (or,
// for a date pattern, as a date) is formatted as one; any other text comes back unchanged.
// Null gives "". Month and day names are Spanish ("marzo", "miércoles").
#include "platform/vb/variant.h"

namespace vb {

QString Format(const Variant& value, const QString& pattern = QString());

}  // namespace vb
