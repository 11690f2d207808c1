#pragma once
// A field of a recordset's current row as the voucher code reads it: its value with Null read as
// empty (UtilTexto.ValorNoNulo), as trimmed text, whether it is Null, as a flag.
//
//   vouchers::Campo(r, "Cantidad").toDouble()   // 0 for Null
//   vouchers::Texto(r, "IdArticulo")            // "000123": blanks around it dropped
//   if (vouchers::EsNulo(r, "CantidadUD")) ...
//   if (vouchers::Verdadero(r, "Anulada")) ...  // Null or blank: false
#include "core/mod_global.h"
#include "platform/ado/ado.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"

namespace vouchers {

inline vb::Variant Campo(const ado::Recordset& r, const char* nombre) {
    return core::gUtilTexto().ValorNoNulo(r.Fields(QString::fromLatin1(nombre)));
}
inline QString Texto(const ado::Recordset& r, const char* nombre) { return vb::Trim(Campo(r, nombre).text()); }
inline bool EsNulo(const ado::Recordset& r, const char* nombre) {
    return r.Fields(QString::fromLatin1(nombre)).Value().isNull();
}
inline bool Verdadero(const ado::Recordset& r, const char* nombre) {
    const vb::Variant v = Campo(r, nombre);
    return !vb::Trim(v.text()).isEmpty() && v.toBool();
}

}  // namespace vouchers
