#pragma once
// The statements of stock by lot, series and position, as pure functions of their values: each
// code is brought to its column's width and every value goes through the one literal helper.
//
//   lots::SqlSaldosPorLote("1", "000789")     // the layout balances of the article in deposit
//                                             // '1   ', one row per position and lot
#include <QString>

namespace lots {

// "Ignorar" (any letter case, blanks around it not counted): the argument sets no filter.
bool EsIgnorar(const QString& valor);

// Layout balances above 0 of the article in the deposit, with the position's entry order:
// one row per position and lot (idposicion, nrolote, idunidadbase, disponible), oldest lot and
// earliest-entered position first.
QString SqlSaldosPorLote(const QString& Deposito, const QString& Articulo);
// The same rows without the lot column (idposicion, idunidadbase, disponible), in the same order.
QString SqlSaldosPorPosicion(const QString& Deposito, const QString& Articulo);
// The warehouse-level balances of the article in the deposit: the rows without a position
// (SALDO, IDUNIDADBASE).
QString SqlSaldoDeposito(const QString& Deposito, const QString& Articulo);

// The article's lots and serials with stock in the deposit (the code as given: the query dialog
// gets it widened), one row per stock row (NROLOTE, NROSERIE, CANTIDAD...), by lot and serial.
QString SqlStockLotesySeries(const QString& Articulo, const QString& Deposito);

// Whether the article is series- and lot-controlled (USASERIE, USALOTE).
QString SqlMarcasArticulo(const QString& IdArticulo);

// The balance of STK_SERIES_Y_LOTES (SaldoStock) of the article, filtered by each of deposit,
// lot, serial and position that is neither "Ignorar" nor blank; a series-only article counts
// only rows without a lot, a lot-only article only rows without a serial.
QString SqlStockSeriesLotes(const QString& IdArticulo, const QString& IdDeposito, const QString& NroLote,
                            const QString& NroSerie, const QString& IdPosicion, bool UsaSerie, bool UsaLote);

}  // namespace lots
