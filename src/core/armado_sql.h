#pragma once
// SQL text builders of ModGlobal, the search in a text array and the server's date.
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace core {

// One column and its value as an SQL literal (already quoted or formatted by DB_Dll::SQLValue).
struct CampoValor {
    QString Campo;
    QString Valor;
};
// The pairs of one INSERT, filled one pair per column. Empty: never dimensioned.
using ListaCamposValores = std::vector<CampoValor>;

// Column & operator & quote & value & quote for element 0 (always, even when blank), then for
// every further element Connector & the same, passing over blank elements when SaltaBlancos.
// When IncluyeNulos reads True (Null counts False), Connector & Column & " is null " is appended.
// With the quote "'" the values' own quotes are doubled: pass the values as they are.
// Every part keeps its own blanks; none are added. Any error (an empty array: never dimensioned)
// gives "1=1".
QString ArmaCondicionWhere(const QString& Columna, const QString& Operador, const QStringList& Valores,
                           const QString& Conector, const QString& Comilla,
                           const vb::Variant& IncluyeNulos = vb::Variant(false), bool SaltaBlancos = false);

// Index of the first element, from Inicio on, equal to Valor (case ignored, not trimmed); -1 when
// there is none or Inicio lies above the last index. An empty array raises 9.
int16_t BuscaEnArreglo(const QStringList& Valores, const QString& Valor, int Inicio = 0);

// Appends "(" names joined by "," ")" " VALUES (" values joined by "," ")" to Sentencia, with no
// blanks added. With Limpia the list is emptied afterwards. An empty list raises 9.
void ArmaListaValues(QString& Sentencia, ListaCamposValores& Pares, bool Limpia);

// The server's current date and time, to the second ("select getDate() as fecha"). Without a
// row: FECHAOPERHASTA when UTILIZARFECHADIA is on and it holds a date, else today's date; that
// setting not read raises (the operator was asked about the read).
vb::Date ObtieneFechaServidor();

}  // namespace core
