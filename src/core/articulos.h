#pragma once
// Article lookup by what the operator or a scanner typed: article code, barcode, scale label,
// pack barcode, one of four alternate barcodes, or the supplier's own article code.
#include "platform/ado/ado.h"
#include "platform/vb/currency.h"

#include <QString>

namespace core {

// Finds an article of V_MA_ARTICULOS. Codigo may carry a quantity in front ("3*779..."); a
// 13-digit code starting with "2" is decoded as a scale label when gMascaraPesable is set.
// The queries run in this order, and the first with a row ends the search:
//   barcode (BuscaPrimeroCodBarra, turned off for codes of 6 characters or fewer) or code,
//   barcode, pack barcode, alternate barcodes 1 to 4, code,
//   and, with CuentaProveedor, the supplier's code (through ListaPrecio's supplier prices first
//   when given).
// Found: True, Codigo becomes the row's IdArticulo and Descripcion its Descripcion. Not found:
// False, Codigo keeps its (decoded) text and Descripcion is not touched. UdBase receives the
// UdBase of the last row read ("" at entry). Cantidad and Importe are only written by a
// quantity prefix or a scale label. When Lrcs is given it receives the last query's recordset,
// open on its first row; otherwise that recordset is closed.
// SoloLectura: forward-only read-only cursors; otherwise dynamic with optimistic locking.
// Database errors, a quantity prefix that is no number and a Null code or description go to the
// caller.
bool BuscaArticulo(QString& Codigo, ado::RecordsetPtr* Lrcs = nullptr, bool SoloLectura = true,
                   bool BuscaPrimeroCodBarra = false, QString* Descripcion = nullptr,
                   const QString& CuentaProveedor = QString(), QString* UdBase = nullptr,
                   const QString& ListaPrecio = QString(), double* Cantidad = nullptr,
                   vb::Currency* Importe = nullptr);

}  // namespace core
