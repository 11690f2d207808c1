#pragma once
// The statements that read a stored voucher back for its entry grids (AsignarDatosComprobante),
// and those that read around it (what was issued from it, what is still to deliver of it, the
// lines its printed form holds, the charges of its account): pure text functions, every value
// inside a literal through data::LiteralSQL.
//
//   const auto s = vouchers::SentenciasCarga("FC", "000100000020B", "", false, QString(), QString());
//   s.cabecera   // SELECT * FROM V_MV_CPTE  with(nolock)   WHERE TC = 'FC  ' AND IDCOMPROBANTE =
//                //   '000100000020B' AND IdComplemento = 0 ORDER BY ID
//
// A sales voucher (tables V_...) is keyed by type, number and complement; a purchase voucher
// (tables C_...) by type, number and the supplier's account.
#include <QString>

namespace vouchers {

// The complement of a voucher key (or the journal entry number of its audit row) as it goes into
// SQL unquoted: the whole number the text holds (blanks around it allowed, a sign in front, within
// 32 bits), 0 for anything else, an empty text and "12.5" included.
QString ComplementoSQL(const QString& IdComplemento);
// The complement of a voucher's key: blank is 0; any other text that is not a whole number as
// above raises 13 (type mismatch), as it names no voucher.
QString ComplementoClave(const QString& IdComplemento);

// " WHERE TC = '<type padded to 4>' AND IDCOMPROBANTE = '<number trimmed>' AND ..." with
// "IdComplemento = <n>" (ComplementoClave) for a sales voucher, "CUENTA = '<Proveedor>'" for a
// purchase one.
QString CondicionComprobante(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                             bool Compras, const QString& Proveedor);

// The four reads of a voucher: head, tasks (with the caller's WhrTareas appended unchanged to the
// key: it begins with " AND " when it is not empty), article lines (an order, type NP in any case,
// by PALLETS; any other by ID) and other concepts (remarks of TIPO_OBS 'OC').
struct SentenciasComprobante {
    QString cabecera;
    QString tareas;
    QString articulos;
    QString otrosConceptos;
};
SentenciasComprobante SentenciasCarga(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                                      bool Compras, const QString& Proveedor, const QString& WhrTareas);

// What later vouchers applied of an article of a delivery note or order: one row per applying line.
QString SentenciaAplicado(const QString& SucNroLetra, const QString& IdArticulo);

// "<ColumnaNumero> = '<number trimmed>' AND IDARTICULO = '<article trimmed, brought to 25>'": the
// lines of one article on one voucher, in a view that names the voucher's number ColumnaNumero.
QString CondicionNumeroArticulo(const QString& ColumnaNumero, const QString& SucNroLetra, const QString& IdArticulo);

// What a voucher ordered of an article and what the stock movements delivered of it
// (CantRepartoPend), each one row "CANTIDAD" (Null when there is nothing to add). TC goes in as
// given, neither trimmed nor padded.
struct SentenciasReparto {
    QString pedido;
    QString entregado;
};
SentenciasReparto SentenciasRepartoPend(const QString& TC, const QString& SucNroLetra, const QString& IdArticulo);

// The vouchers issued from complement Complemento of TC SucNroLetra, the annulled ones only when
// TenerEnCuentaAnulados.
QString SentenciaRelacionados(const QString& TC, const QString& SucNroLetra, const QString& Complemento,
                              bool TenerEnCuentaAnulados);
// The vouchers in force issued from TC SucNroLetra, whatever the complement (their Importe adds up).
QString SentenciaImporteAsociados(const QString& TC, const QString& SucNroLetra);

// The lines the printed form of the type and letter holds (CANTLINEAS; the first row by ID counts).
// Both values as given.
QString SentenciaLineasImpresas(const QString& TC, const QString& Letra);

// The balance of the charges applied to the account (IMPORTE; Null without any).
QString SentenciaCargosAplicados(const QString& Cuenta);

}  // namespace vouchers
