#pragma once
// The filled lines of a voucher entry grid: a data row counts when its code (column 0), trimmed,
// is not empty. The line checks, the counts and the totals all count by this rule.
//
//   if (vouchers::LineaLlena(grilla, fila)) ...
//   int32_t n = vouchers::LineasLlenas(&grilla);   // nullptr: 0
#include "platform/ui/flex_grid.h"
#include "platform/vb/runtime.h"

#include <cstdint>

namespace vouchers {

inline bool LineaLlena(const ui::FlexGrid& g, int fila) { return !vb::Trim(g.TextMatrix(fila, 0)).isEmpty(); }

inline int32_t LineasLlenas(const ui::FlexGrid* g) {
    int32_t n = 0;
    if (g)
        for (int fila = 1; fila < g->Rows(); ++fila)
            if (LineaLlena(*g, fila)) ++n;
    return n;
}

}  // namespace vouchers
