#pragma once
// The small text rules the posting files share: blank and equal codes, codes brought to their
// width, amounts and flags read from grid cells, and the literal forms a record writes them in.
//
//   if (EsBlanco(celda)) ...                      // empty after trimming
//   if (Es(tc, "IR")) ...                         // trimmed, any case
//   Rellena(deposito); RellenaCodigo(lote, kAnchoArticulo)   // the second trimmed first
//   Cantidad(g.TextMatrix(f, art::Cantidad))      // the cell as a four-decimal amount
//   Marca(g, f, art::PideSerie)                   // a flag cell: a blank one reads True
#include "core/formatos.h"
#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "data/sql_literal.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/currency.h"
#include "platform/vb/runtime.h"

#include <QString>

namespace posting {

constexpr int kAnchoCodigo = 4;      // voucher types, deposits, units, reasons, currencies...
constexpr int kAnchoArticulo = 25;   // articles, lots, series

inline bool EsBlanco(const QString& s) { return vb::Trim(s).isEmpty(); }
inline bool Iguales(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
// The code, trimmed, is `valor` in any case.
inline bool Es(const QString& codigo, const char* valor) {
    return vb::Trim(codigo).compare(QLatin1String(valor), Qt::CaseInsensitive) == 0;
}

// The text without its apostrophes: codes and tills as the rows write them.
inline QString SinApostrofes(const QString& texto) { return QString(texto).remove(u'\''); }

// A code as the server compares it: trailing blanks and letter case do not count.
inline QString Clave(const QString& codigo) {
    QString c = codigo;
    while (c.endsWith(u' ')) c.chop(1);
    return c.toUpper();
}

// The text brought to the width (UtilTexto.Rellena).
inline QString Rellena(const QString& texto, int ancho = kAnchoCodigo) {
    return core::gUtilTexto().Rellena(vb::Variant(texto), ancho);
}
// The code trimmed, then brought to the width (core::RellenaCodigo).
inline QString RellenaCodigo(const QString& codigo, int ancho = kAnchoCodigo) { return core::RellenaCodigo(codigo, ancho); }

// A cell as a four-decimal amount (UtilTexto.ANumero); as a double.
inline vb::Currency Importe(const QString& texto) { return core::gUtilTexto().ANumero(vb::Variant(texto)); }
inline double Cantidad(const QString& texto) { return Importe(texto).toDouble(); }
inline vb::Currency ConSigno(vb::Currency importe, int signo) { return vb::Currency::fromRaw(importe.raw() * signo); }

// A flag cell: its trimmed text through ConvierteBooleano, so a blank cell reads True.
inline bool Marca(const ui::FlexGrid& g, int fila, int col) {
    return core::ConvierteBooleano(vb::Trim(g.TextMatrix(fila, col)));
}

// The literals of a record: a text quoted with its quotes doubled; an amount as a plain decimal.
inline QString Texto(const QString& valor) { return data::TextoSQL(valor); }
inline QString Numero(vb::Currency importe) { return importe.toString(); }

}  // namespace posting
