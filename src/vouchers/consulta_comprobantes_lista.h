#pragma once
// The voucher search's list without a window: the columns per voucher type, the cells of a row
// read from the statement's fields, how cells sort, the image of a row, and what accepting a row
// hands back. FrmConsComprobantes shows it.
//
//   for (const vouchers::Columna& c : vouchers::Columnas(TC, referencia))
//       addColumn(c.titulo, medida.TextWidth(QString(c.letras, u'X')));
//   const QList<vouchers::Celda> celdas = vouchers::CeldasFila(TC, *rs);   // the row rs stands on
//
// Cell 1 is the row's own text, cell k + 1 the k-th sub-item; accepting reads cells 2 and 3 (the
// number, and the complement or the account) by position, so each type's cells keep their order.
// There is one caption per cell, in the cells' order.
#include "platform/ado/ado.h"
#include "platform/vb/variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vouchers {

// A column: its caption and its width as a run of that many capital X.
struct Columna {
    QString titulo;
    int letras = 0;
};

// The columns for type TC (case ignored). `referencia` is the setting UsaReferenciaPresupuestos:
// a budget's comments are then captioned as its reference.
QList<Columna> Columnas(const QString& TC, bool referencia);

// What a cell shows and, for a date or an amount, the value it sorts by.
struct Celda {
    QString texto;
    std::optional<double> valor;
};

// The cell of a field's value read with Null as empty (vouchers::Campo): dates, numbers and
// amounts sort by value.
Celda CeldaDe(const vb::Variant& valor);

// The list's order: empty cells first; two dates or two amounts by value; anything else as text,
// case ignored.
bool CeldaMenor(const Celda& a, const Celda& b);

// The cells of one row for type TC. Journal vouchers ("NCPE", "NDPR") look up the supplier's name
// (VT_PROVEEDORES); purchase orders ("OC") the first goods receipt that names them as origin
// (v_mv_stock), both on gDBPrincipal.
QList<Celda> CeldasFila(const QString& TC, const ado::Recordset& r);

// The tags of the image list, in index order (index 1 first).
const QStringList& EtiquetasImagenes();

// The tag of a row's image for type TC; empty for no image ("T3"). `pendientes` is the mode's.
QString EtiquetaFila(const QString& TC, bool pendientes, const ado::Recordset& r);

// The index (from 1) of the first tag that equals `etiqueta` (trimmed, case ignored); failing
// that the index of "Generico"; 0 (no image) when the list holds neither.
int IndiceImagen(const QStringList& etiquetas, const QString& etiqueta);

// What accepting hands back: the voucher number, and the complement or the account for the
// types that give one.
struct Eleccion {
    QString NroComprobante;
    std::optional<QString> IdComplemento;
    std::optional<QString> Proveedor;
};

// Accepting for type TC with the cells of the selected row (null: none) and of the checked rows,
// in list order (purchase orders). A sales voucher whose complement cell is empty hands back
// complement "0".
Eleccion EleccionAceptada(const QString& TC, const QStringList* seleccionada, const QList<QStringList>& marcadas);

}  // namespace vouchers
