#pragma once
// Module ast, journal entry numbering: the questions a journal entry raises before it is
// written to MV_ASIENTOS. Does the voucher already have an entry, which register type do the
// entries of a voucher type belong to, which entry number comes next.
//
//   QString asiento;
//   if (ast::ExisteAsientoComprobante("FC", "0001", "00000041", "A", asiento, {}, true)) ...  // "05 - 000123"
//   const auto tipo = ast::ObtieneTipoRegCont("FC");        // not read, or "": the entry cannot be booked
//   const auto nro = ast::ObtieneProximoNroAsiento(5, 2008, tipo.value());
//   if (!nro) ...                                          // the lookup failed: there is no number
//
// Nothing is reserved: two stations asking at once get the same number.
#include "platform/vb/read_result.h"
#include "platform/vb/variant.h"

#include <QString>
#include <optional>

namespace posting::ast {

// True when MV_ASIENTOS holds an entry of the voucher (type padded to 4, branch, number and
// letter as given), narrowed to the account when Cuenta is not empty; Asiento then receives its
// month and number, "05 - 000123". False (Asiento untouched) otherwise, and at once for type
// "OC". SinBloqueo reads without locks. No error handler: a failure raises to the caller.
bool ExisteAsientoComprobante(const QString& TC, const QString& Suc, const QString& Nro, const QString& Letra,
                              QString& Asiento, const QString& Cuenta = QString(), bool SinBloqueo = false);

// The register type (subdiary code) of a voucher type's journal entries, through
// MA_SUBDIARIOSCOMPROBANTES and MA_SUBDIARIOS. Four blanks when the type or its subdiary has no
// row; "" when the subdiary's register type is Null (no entry can be booked with it). Not read
// when an error of the lookup was passed over or left (routine "ObtieneTipoRegCont$").
vb::ReadResult<QString> ObtieneTipoRegCont(const QString& TC);

// The next entry number of a month and period: the highest [NUMERO ASIENTO] + 1, or 1. A
// register type that is blank, four blanks or Chr(255)&"RS" counts that special register and the
// blank one together; any other type counts within its own register. std::nullopt when the
// lookup was left on an error (routine "ValidaTCRegistraciones"), or Mes or Periodo is not a
// number: a failure, never entry 0.
std::optional<long> ObtieneProximoNroAsiento(const vb::Variant& Mes, const vb::Variant& Periodo,
                                             const vb::Variant& TipoReg = vb::Variant());

}  // namespace posting::ast
