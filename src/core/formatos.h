#pragma once
// Number, time and text helpers of ModGlobal: amounts with the configured decimals, times in
// minutes, the totals-key search, the clean-up of texts before they are stored, the width of a
// code and the date an operator types for a send or a receive.
// None treats its own errors: they go to the caller.
#include "platform/vb/read_result.h"
#include "platform/vb/variant.h"

#include <QDate>
#include <QString>
#include <optional>

namespace core {

// Decimals codes of FormateaImporte.
enum CodigoDecimales : int {
    kDecimalesLocal = 0,          // the currency digits of the user's locale
    kDecimalesConfiguracion = -1, // CantidadDecimales; when it reads 0, the locale's
    kSinDecimales = -2,           // none, without asking the locale
    kSinFormato = -3,             // the text comes back unchanged
};

// The amount rounded (halves to even) and written with the pattern "############0." and as many
// "0" as decimals: no thousands separator, "." as decimal point, nothing after it with 0 decimals.
// Any other code n gives n decimals.
vb::Variant FormateaImporte(const QString& Importe, const vb::Variant& CodigoDecimales = vb::Variant(0));

// The currency digits of the user's locale (LC_MONETARY of the environment); 0 when the locale
// does not say.
int DigitosMonedaLocal();

// Minutes of a time. With FormaDosPuntos, or when the text is neither a time nor blank: "h:m"
// gives h*60+m (hours may pass 23), a text without ":" gives Val(text)*60. A time of day gives its
// hour*60+minute. A blank text gives Val(Horas)*60+Val(Minutos), or 0 when both are <= 0.
vb::Variant ConvierteAMinutos(const QString& Hora, const QString& Horas, const QString& Minutos, bool FormaDosPuntos);

// The minutes as a time text with the separator of the key SeparadorHora (":" when blank):
// hours and rest each with at least two digits, Horas and Resto receiving them. With the
// separator "." the result is the decimal hours ("#####.00", always with "."), and Horas and
// Resto are not touched. Not read when the separator setting was not read (nothing is touched).
vb::ReadResult<vb::Variant> FormateaMinutos(const vb::Variant& Minutos, long& Horas, long& Resto);

// Index of the first entry of gListaGlobal whose key, without the characters 0 and 255 and
// trimmed, equals the trimmed value (case ignored); -1 when none. An empty list was never
// dimensioned: raises 9.
long BuscaEnListaGlobal(const QString& Valor);

// The text without the characters 0, 255 and line feed, trimmed.
QString LimpiaCaracteres(const vb::Variant& Texto);

// A code as its column stores it: trimmed (blanks only), then brought to the column's width with
// UtilTexto::Rellena. The form every code takes before it goes into a statement.
//   RellenaCodigo(" FC ", 4) == "FC  "
QString RellenaCodigo(const QString& codigo, int ancho);

// The day of a send or a receive read from what the operator typed, once, where it is typed; the
// statements carry it as data::FechaSQL writes it, never as it was typed. Taken: day first with
// day, month and a year of four digits, joined by "/" or "-" ("05/03/2008", "5-3-2008"), or year
// first ("2008-03-05", "2008/03/05"), no time, in the years the head office's dates hold (1753 to
// 9999). Nothing for "10:30", "05/03", "05/03/2008 10:00", "31/02/2008", "01/01/1700" or "5/3/35"
// (a two-digit year is not read alike everywhere).
std::optional<QDate> LeeFecha(const QString& texto);
// What the operator is told of a date that is not, in an information box with this title.
inline const QString kFechaInvalida = QStringLiteral("Debe ingresar un formato de fecha válido.");
inline const QString kAvisoOperador = QStringLiteral("Aviso al operador...");

}  // namespace core
