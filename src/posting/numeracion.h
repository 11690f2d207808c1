#pragma once
// Voucher numbers. A voucher is identified by its type code TC and its number IDCOMPROBANTE, 13
// characters: branch (4 digits), number (8 digits) and letter (A, B, C, E, R, X or M).
//
//   QString suc = "0001", letra = "X";
//   const std::optional<QString> id = Stock::AsignarNumeroComprobante("PE", suc, letra, unidad);
//   if (!id) ...           // no number: the voucher must not be written
//   // ... the voucher's rows are stored as *id, then its book is brought up to date
//   // (ast::ActualizaNumeracionComprobante, talonarios.h).
//
// Numbers are proposed, not reserved: nothing locks a number between its proposal and the INSERT
// that stores the voucher, so two stations asking at the same moment get the same number.
#include <QString>
#include <optional>

namespace posting::ast {

// Proposes the number of a new voucher of type TC: the book's number (Obtener_Nro_Comprobante_
// Contable for the type's numbering type, which may change Sucursal and Letra and sets
// ModificaNumeracion), then, with ControlaGrabados, moved past what is already stored:
//   VJ                      MV_VIAJES: the highest stored number of the branch and letter + 1
//   AJP, AJN, VS, IR        V_MV_STOCK: the same
//   a number with a journal entry (never OC): the highest MV_ASIENTOS number + 1 (for CBFP also
//                           past the highest V_MV_CPTE number)
//   OC                      C_MV_CPTE: the highest number below 99999999 + 1
//   OPG PG FC NC ND NP GF PR RM TK TKFC FP SI TRP: the book's number
//   any other type          the book's number; the control row of the number is deleted (a
//                           delete passed over leaves the row: the number stands all the same)
// Returns true when Numero holds the proposal (eight digits). False when TC is empty (nothing is
// touched), when an error of the procedure (routine "Obtener_Nro_Comprobante") or of a read it
// made was passed over or left, when the control row's delete was left, and
// when the next number would pass 99999999 (the operator is told).
bool Obtener_Nro_Comprobante(const QString& TC, QString& Sucursal, QString& Numero, QString& Letra,
                             bool& ModificaNumeracion, bool ControlaGrabados, const QString& UNegocio = QString());

// The voucher letter from the company's tax condition (setting "CONDIVA") and the client's or
// supplier's: "C" when the company's is not 1, else "B" when the other's is above 2, else "A".
QString ObtieneLetraComprobante(const QString& CondicionPropia, const QString& CondicionOtro);

}  // namespace posting::ast

namespace posting::Stock {

// The IDCOMPROBANTE of a new stock voucher (branch & number & letter): the proposal of
// Obtener_Nro_Comprobante for the business unit UNegocio, moved past the highest number of the
// branch and letter stored in V_MV_STOCK when it is already taken there. Sucursal and Letra come
// back as the numbering left them. std::nullopt when no number could be given (an error of the
// numbering or of this function, routine "AsignarNumeroComprobante", was passed over or left, or
// the numbers ran past 99999999): the voucher must not be written.
std::optional<QString> AsignarNumeroComprobante(const QString& TC, QString& Sucursal, QString& Letra,
                                                const QString& UNegocio);

}  // namespace posting::Stock
