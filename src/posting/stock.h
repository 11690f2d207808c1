#pragma once
// Module Stock: an article's production inputs, the allocation of a quantity over the lots that
// hold it in a deposit, and an article's stock balance.
//
//   std::vector<Stock::ItemCantidad> insumos, lotes;
//   const vb::ReadResult<bool> conInsumos = Stock::IdArticuloTieneInsumos("000900", insumos, false);
//   if (!conInsumos.read()) return falla();      // the operator was asked about the read
//   if (conInsumos.value())
//       for (const auto& i : insumos) ...        // the last record is always an empty one
//   const vb::ReadResult<double> stock = Stock::ControlStock("A001", "000123", "UN");
//
// A list is read whole or not at all. When its reading did not complete (the operator passed
// over the error or left), the list is the "nothing read" one and the result is not read, so a
// caller that must not go on without the list can tell.
#include "platform/vb/read_result.h"

#include <QString>
#include <vector>

namespace posting::Stock {

// A quantity record of fixed size: code of 25 characters, unit of 4, quantity. A text stored in
// a field is cut at the field's width or filled with blanks; a record never filled holds only
// NUL characters in its texts and 0 as quantity. Readers clean a code with core::LimpiaCaracteres.
struct ItemCantidad {
    static constexpr int kAnchoCodigo = 25;
    static constexpr int kAnchoUnidad = 4;
    QString Codigo = QString(kAnchoCodigo, QChar(0));   // input article, or lot number
    QString Unidad = QString(kAnchoUnidad, QChar(0));   // unit of the input; blank in an allocation
    double Cantidad = 0;                                // per unit of the article, or taken from the lot

    ItemCantidad() = default;
    ItemCantidad(const QString& codigo, const QString& unidad, double cantidad);
};

// True when V_MA_INSUMOS holds inputs of the article. Lista is rebuilt: with SoloVerifica, or
// without inputs, one empty record; otherwise one record per input (code, unit, quantity per
// unit of the article; a Null quantity reads 0), in the order stored, and an empty record last.
// Routine "IdArticuloTieneInsumos".
vb::ReadResult<bool> IdArticuloTieneInsumos(const QString& IdArticulo, std::vector<ItemCantidad>& Lista,
                                            bool SoloVerifica);

// Hands Cantidad out over the lots of STK_SERIES_Y_LOTES that hold stock of the article in the
// deposit, lowest lot number first: each lot gives what it holds until the quantity is reached
// (compared to four decimals), what the lots cannot cover goes in a last record without a lot.
// True when the deposit holds the article in some lot. Without lots: False and one record
// without a lot holding the whole quantity. A quantity of 0 or below gives one record: the first
// lot with that quantity.
// Deposit "ELDELGRID" (each grid row's own deposit): False at once, Lista untouched.
// Routine "ArticuloTieneLotes".
vb::ReadResult<bool> ArticuloTieneLotes(const QString& IdArticulo, const QString& IdDeposito,
                                        std::vector<ItemCantidad>& Lista, double Cantidad);

// The stock balance of an article in a unit: of the deposit, or summed over every deposit when
// the deposit is blank, from STK_SALDOS_UNIDADES; from STK_STOCK_UDKG when the setting
// USA_STK_STOCK_UDKG is on (the unit plays no part, and a blank deposit reads the row stored
// under the blank code). 0 when there is no balance. A blank article leaves Stock as it was.
// Returns false when the read failed and was passed over or left (routine "ControlStock"; Stock
// then as it was).
[[nodiscard]] bool ControlStock(const QString& IdDeposito, const QString& IdArticulo, const QString& IdUnidad,
                                double& Stock);
// The same, returning the balance (0 for a blank article; not read after an error passed over).
vb::ReadResult<double> ControlStock(const QString& IdDeposito, const QString& IdArticulo, const QString& IdUnidad);

}  // namespace posting::Stock
