#pragma once
// The items of one articles-grid line as stock posting walks them: a plain line is one item; a
// line of lots, series, lot and serial pairs or sizes is one item per element of its lists (column
// Lotes, and column Series with the series or each item's quantity). ActualizaStock asks how many
// items a line gives, prepares each in turn into the context (its lot, series and quantity), and
// asks whether another follows; MovimientoStock then builds the item's record.
//
//   const ListasDeLinea listas(grilla, fila);
//   ctx.CantidadItems = ItemsDeLinea(ctx, grilla);
//   ctx.Item = 1;
//   switch (PreparaItem(ctx, grilla, listas, loteFijo, escrito)) { ... }   // Item below
//   if (OtroItem(ctx, grilla, escrito)) ...
#include "posting/movimiento_stock.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace ui {
class FlexGrid;
}

namespace posting {

// The line's two lists, read once for all its items: its lots, sizes or lot and serial pairs
// (column Lotes), and its series or the quantity of each item (column Series).
struct ListasDeLinea {
    QStringList lotes, series;

    ListasDeLinea(const ui::FlexGrid& g, int fila);
    // Item j (from 1) of a list, untrimmed; "" past its end.
    static QString De(const QStringList& lista, int32_t j) { return j >= 1 && j <= lista.size() ? lista[j - 1] : QString(); }
    QString Lote(int32_t j) const { return De(lotes, j); }
    QString Serie(int32_t j) const { return De(series, j); }
};

// How many items the context's line (ctx.Fila) gives for the pass's sign; a sign of 0 keeps the
// last line's count (ctx.CantidadItems).
int32_t ItemsDeLinea(const ContextoPosteo& ctx, const ui::FlexGrid& g);

enum class Item {
    Escribe,           // the item is posted
    Salta,             // the item is not posted (its quantity is 0, or it is a blank lot inside the list)
    EscribeYTermina,   // the last record of the line: what remains of its quantity
    Termina,           // nothing remains of the line
    SinCantidades,     // an exit of several lots or sizes without the quantity of each: the voucher fails
};

// Sets the lot, series and quantity of the context's item (ctx.Fila, ctx.Item). `escrito` is what
// the line's earlier records carried; `loteFijo` the lot of entry lines without one. An exit line
// of sizes gets "0" in an empty PideTalle cell.
Item PreparaItem(ContextoPosteo& ctx, ui::FlexGrid& g, const ListasDeLinea& l, const QString& loteFijo,
                 double escrito);

// Whether the line has another item after the context's one.
bool OtroItem(const ContextoPosteo& ctx, const ui::FlexGrid& g, double escrito);

}  // namespace posting
