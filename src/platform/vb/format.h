#pragma once
// Format(value, pattern) for the patterns the program uses: digit patterns ("###", "#####00",
// "#####.00", "########0.00", "0000", "00000000"), the named ones ("Fixed", "Standard",
// "General Number", "Short Date", "Long Date"), and date patterns ("dd/mm/yyyy",
// "dd/mm/yy hh:mm", "dd/mm/yyyy hh:mm:ss", "mm-dd-yyyy", "hh:mm:ss", "yyyymmdd", ...).
// Numbers use "." as decimal point and "," as thousands separator.
#include "platform/vb/variant.h"

namespace vb {

QString Format(const Variant& value, const QString& pattern = QString());

}  // namespace vb
