#pragma once
// MovimientoStock: one V_MV_STOCK row as stock posting writes it, built from one line of the
// articles grid and the working values of one posting call (ContextoPosteo). ActualizaStock
// fills the context and walks the grid; the builder needs nothing else, so it can be driven on
// its own:
//
//   posting::ContextoPosteo ctx;                  // what ActualizaStock's set-up gives
//   ctx.TC = "TK"; ctx.SucNroLetra = "000100000012C"; ctx.IdComplemento = "0"; ctx.Fecha = "05/03/2008";
//   ctx.UNegocio = "A001"; ctx.Caja = "1"; ctx.IdDeposito = posting::ArgDeposito::DelGrid();
//   ctx.Fila = 1; ctx.Signo = -1; ctx.Secuencia = 1; ctx.CantidadItem = 2; ctx.CantidadItems = 0;
//   core::ListaCamposValores pares = posting::MovimientoStock(ctx, grilla);
//   QString sql = posting::SentenciaMovimientoStock(pares);   // INSERT INTO V_MV_STOCK(TC,...) VALUES (...)
//
// The record is the ordered list of (field, SQL literal) pairs TC, IdComprobante, IdComplemento,
// Secuencia, Fecha, IdCaja, IdDeposito, IDDEPOSITO_DESTINO, IdArticulo, Descripcion, NroLote,
// ControladoPor, IdOrigen, NroSerie, IdUnidad, Cantidad, CantidadUD, IdUnidadBase,
// CuentaProveedor, IdMotivoStock, PrecioVenta, Importe_S_Iva, Costo, Impuestos, DtoItem,
// Tc_Origen, IdComprobante_Origen, Id_Origen, IVARI, IVARNI, IdTecnico, EQUIV_UDBASE, IDINSERT,
// IDCOMPULSA, Oferta, IdVendedor, Importe_Ud, Ud_Pr, ArtMoneda, ArtCotizacion, UNEGOCIO,
// EnComodato; a field whose condition fails is left out and takes the table's default. Every text
// goes in as a quoted literal with its quotes doubled; numbers as plain decimals with "." and at
// most four decimals; only the quantities carry the sign.
#include "core/armado_sql.h"
#include "platform/vb/currency.h"
#include "posting/datos_articulos.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ui {
class FlexGrid;
}

namespace posting {

// A deposit argument of the posting after the set-up: a code (brought to 4 characters), no
// deposit (NULL), or each line's own deposit (the argument was "ELDELGRID").
struct ArgDeposito {
    enum class Forma { Codigo, Nulo, DelGrid };
    Forma forma = Forma::Nulo;
    QString codigo;

    static ArgDeposito Codigo(const QString& codigo) { return {Forma::Codigo, codigo}; }
    static ArgDeposito Nulo() { return {Forma::Nulo, QString()}; }
    static ArgDeposito DelGrid() { return {Forma::DelGrid, QString()}; }
};

// A reference argument (stock reason, origin voucher type, origin voucher number) after the
// set-up: a value (kept bare, without quotes), no value (NULL), or taken from each line (the
// argument was "ELDELGRID"; `valor` then holds the last record's value).
struct ArgReferencia {
    bool delGrid = false;
    bool nulo = false;
    QString valor;

    static ArgReferencia Valor(const QString& valor) { return {false, false, valor}; }
    static ArgReferencia Nulo() { return {false, true, QStringLiteral("NULL")}; }
    static ArgReferencia DelGrid() { return {true, false, QString()}; }
};

// The working values of one ActualizaStock call that a record reads, and those a record leaves
// for the next one and for the journal call after the rows.
struct ContextoPosteo {
    // ---- the call's arguments, in their set-up form ----
    QString TC;                                   // voucher type, as passed
    QString SucNroLetra;                          // voucher number: branch 4, number 8, letter 1
    QString IdComplemento = QStringLiteral("0");  // the voucher's numeric complement
    QString Fecha;                                // movement date text, as passed
    ArgDeposito IdDeposito;                       // where the goods are (leave from, in a transfer)
    ArgDeposito IdDepositoDestino;                // where a transfer takes them; for "OP" the same as IdDeposito
    ArgReferencia IdMotivoStock;                  // stock reason; a value has no apostrophes
    ArgReferencia TcOrigen;                       // origin voucher type (a value is brought to 4 characters)
    ArgReferencia ComprobanteOrigen;              // origin voucher number
    bool EsTransferencia = false;
    QString Cuenta = QStringLiteral("PorDefault");  // supplier account; "PorDefault": each article's own
    QString IdTecnico = QStringLiteral("Null");   // technician; "Null" writes none
    QString Aduana;                               // ControladoPor of lines without one of their own
    QString LoteOrigen;                           // IdOrigen of lines without one of their own
    QString IdVendedor;                           // salesperson
    int16_t SignoRemota = 0;                      // 1: the origin pass leaves from the IdDeposito argument
    QString UNegocio;                             // the business unit the rows go under (UNEGOCIO)
    QString Caja;                                 // the till (IdCaja; blank: none), as the request gave it

    // ---- the set-up's findings and the engine's settings ----
    bool Compras = false;          // the voucher type's system is "COMPRAS": no IdComplemento
    bool EquivalenciaUD = false;   // "ConfirmaUDEquiv" is "SI": the equivalent-unit columns are posted
    double PorcentajeIVA = 0;      // the engine's VAT rate, for lines without one that are not exempt
    int LongitudDescripcion = 100; // the engine's longest description
    std::optional<QString> DepositoDefault;   // "DepositoDefault", read once, when first needed
    bool SinLeer = false;          // a setting the call needed was not read (passed over): the voucher fails
    DatosArticulos Articulos;      // the accounts and costs of the articles posted, read for the call

    // ---- where the walk stands ----
    int Pasada = 1;                // 1: the only or the origin pass; 2: the destination pass
    int16_t Signo = 0;             // +1 in, -1 out, 0 none
    int Fila = 1;                  // grid row
    int32_t Item = 1;              // 1-based item of the row
    int32_t CantidadItems = 0;     // lot, series or size items of the row
    int64_t Secuencia = 0;         // Secuencia of this record
    double CantidadItem = 0;       // quantity of this item
    QString Lote;                  // lot of this item, brought to 25 characters; blank: none
    QString Serie;                 // series of this item, likewise

    // ---- left by each record ----
    QString CuentaActual;          // the account the last record resolved: a code, or "NULL" for none
    bool EnComodato = false;       // some record had 1 in column EnComodato
};

// The pairs of the context's current row and item, in field order. Reads the grid's row; writes
// back its columns IdUnidadEquiv (brought to 4 characters), EnUnidadBase ("0" when empty) and
// Coeficiente ("1" when empty); keeps in the context the account, the in-comodato mark and the
// reason and origin values taken from the line. The till is written without its apostrophes.
// Errors (a grid too narrow, an amount out of range) are raised to the caller.
core::ListaCamposValores MovimientoStock(ContextoPosteo& ctx, ui::FlexGrid& grilla);

// "INSERT INTO V_MV_STOCK(" the fields ") VALUES (" the literals ")"; empties the pairs.
QString SentenciaMovimientoStock(core::ListaCamposValores& pares);

// The condition on V_MV_STOCK of the rows of one voucher of one business unit: its type, number
// and unit, as the records write them. Two stores' vouchers under one number are two vouchers.
QString CondicionComprobante(const QString& tc, const QString& numero, const QString& unidad);
// The highest row number (column ULTIMA, Null when none) a voucher of a unit holds: where a later
// part of a long voucher, or a production order's new rows, number on from.
QString SqlUltimaSecuencia(const QString& tc, const QString& numero, const QString& unidad);

// The unsigned quantity the record of the context's item carries: the line's quantity, or the
// item's (ActualizaStock gives each lot of a line of several lots 1 while at least 1 remains,
// then what remains).
double CantidadMovimiento(const ContextoPosteo& ctx, const ui::FlexGrid& grilla);

// The destination deposit's literal for the context's row: the destination argument quoted, NULL
// without one, or (a production order of "ELDELGRID") the row's own deposit.
QString LiteralDestino(ContextoPosteo& ctx, const ui::FlexGrid& grilla);

// The rules that the stock movement record shares with the rows of the input discharge.
// A description as a record writes it: trimmed, cut at `largo` characters, without apostrophes.
QString DescripcionMovimiento(const QString& texto, int largo);
// The article's supplier account (CUENTAPROVEEDOR of V_MA_ARTICULOS), trimmed; "NULL" when it has
// none. Both read through the context's article data; a failing query raises to the caller.
QString CuentaProveedorArticulo(ContextoPosteo& ctx, const QString& articulo);
// The article's cost (Costo of V_MA_ARTICULOS); 0 when it has none.
vb::Currency CostoArticulo(ContextoPosteo& ctx, const QString& articulo);
// A reference argument as a literal: NULL, or its value quoted.
QString LiteralReferencia(const ArgReferencia& r);
// The "DepositoDefault" setting brought to 4 characters, read once per context. Not read, it is
// blank and the context's SinLeer is set.
const QString& DepositoPorDefecto(ContextoPosteo& ctx);

// The deposit the context's row leaves from (or its only one), brought to 4 characters: the
// line's own (column IdDeposito), else the IdDeposito argument ("DepositoDefault" when that was
// "ELDELGRID"). With SignoRemota 1 the argument comes first.
QString DepositoDeFila(ContextoPosteo& ctx, const ui::FlexGrid& grilla, int fila);

}  // namespace posting
