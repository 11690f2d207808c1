#pragma once
// Module Stock, units and equivalences. An article has a base unit (IDUNIDAD of V_MA_ARTICULOS)
// and may have equivalences in S_TA_EQUIV: the row (article, U, E, k) reads "one U is k E", and
// serves both directions.
//
//   Stock::ConvierteCantidadEquiv("A", "CJ", 2, "UN")         // 24 with (A, CJ, UN, 12)
//   Stock::ConvierteCantidadEquiv("A", "UN", 24, "CJ")        // 2
//   Stock::ConvierteCantidadEquivInversa("A", "CJ", 24, "UN") // 2: 24 UN back into CJ
//
// A row whose coefficient is 0 or Null is no equivalence; an article that is not in the master
// has no unit. No rounding: results are Doubles.
#include "platform/vb/read_result.h"

#include <QString>

namespace ui {
class FlexGrid;
}

namespace posting::Stock {

// The article's trimmed IDUNIDAD; "" for an article that is not in V_MA_ARTICULOS. No error
// handler: a failure raises to the caller.
QString ObtieneUnidadArticulo(const QString& IdArticulo);

// Looks for the equivalence between the source unit (the article's own when UnidadOrigen is
// empty: the variable then receives it) and the target unit: first as (source, target), giving
// Operador "/", then as (target, source), giving "*"; Coeficiente receives the row's
// coefficient. SinUnidad is set when the source unit is blank (then False, Operador untouched).
// False when no usable row is found; not read when an error was passed over or left (routine
// "IdArticuloTieneEquivalencias").
vb::ReadResult<bool> IdArticuloTieneEquivalencias(const QString& IdArticulo, const QString& UnidadDestino,
                                                  QString& Operador, QString& UnidadOrigen, double& Coeficiente,
                                                  bool& SinUnidad);

// The quantity given in the source unit, in the target unit: unchanged for the same unit (any
// case, as passed, no query), 0 for a quantity of 0 or when there is no equivalence. A source
// unit passed empty is the article's own; UnidadArticulo, when given, receives the unit the
// search started from. Not read when the equivalence could not be read.
vb::ReadResult<double> ConvierteCantidadEquiv(const QString& IdArticulo, const QString& UnidadOrigen, double Cantidad,
                                              const QString& UnidadDestino, QString* UnidadArticulo = nullptr);

// The reverse: a quantity held in the target unit, expressed in the source unit (the same
// search, the opposite arithmetic).
vb::ReadResult<double> ConvierteCantidadEquivInversa(const QString& IdArticulo, const QString& UnidadOrigen,
                                                     double Cantidad, const QString& UnidadDestino,
                                                     QString* UnidadArticulo = nullptr);

// The articles grid's current row (Row) in the three configured measuring units: the quantity
// in gUnidadBL into column CantidadBL, gUnidadM3 into CantidadM3, gUnidadKG into CantidadKG.
// A row whose equivalent unit is the configured one takes its equivalent quantity's text;
// otherwise its quantity is converted from its unit (0 when there is no equivalence). No error
// handler: a failure raises to the caller. False when an equivalence could not be read (its
// error told and passed over): that unit's column is then left as it was.
[[nodiscard]] bool CalculaCantidadesEquivGrilla(ui::FlexGrid& Grilla);

}  // namespace posting::Stock
