#pragma once
// Quantities as the grids and lists hold them: written with "." and at most four decimals, read
// back with UtilTexto::ADoble ("2,5" and "2.5" alike), compared to four decimals. The lot dialogs
// and the voucher totals use this one rule.
//
//   lots::TextoCantidad(1.0 / 3)          // "0.3333"
//   lots::LeeCantidad(" 2,5 ")            // 2.5
//   lots::EsCantidad("5x")                // false: not blank and not a number
//   lots::ComparaCantidades(0.1 + 0.2, 0.3) == 0
#include <QString>

namespace lots {

// A quantity as cells and lists hold it: rounded to four decimals, "." as decimal point, no
// trailing zeros (2, 2.5, 0.3333); a value too large to tell four decimals apart is written with
// 15 significant digits (123456789012.5, 1E+300); a value that is not finite gives 0.
QString TextoCantidad(double valor);
// A quantity cell or list item as a number ("2,5" and "2.5" alike; empty or not a number: 0).
double LeeCantidad(const QString& texto);
// Whether LeeCantidad reads the text as the quantity it holds: a blank text (0) or a number.
bool EsCantidad(const QString& texto);
// a against b to four decimals: -1, 0 or 1.
int ComparaCantidades(double a, double b);

}  // namespace lots
