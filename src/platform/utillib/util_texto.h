#pragma once
// UtilTexto: the utility library's text, number and error operations. The program holds one
// instance (gUtilTexto) and every DB_Dll keeps its own; the operations keep no state.
#include "platform/ado/ado.h"
#include "platform/vb/currency.h"
#include "platform/vb/error.h"
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <optional>

class QObject;
class QWidget;

namespace utillib {

class UtilTexto {
public:
    // The error question of the program: box, log line in XKERR.LOG of the program folder (else of
    // the temporary folder), and the answer (4 Retry, 5 Ignore, anything else leave). Buttons
    // absent: abort/retry/ignore with the critical icon.
    int TrataError(const vb::Error& error, std::optional<int> botones = std::nullopt,
                   const std::optional<QString>& rutina = std::nullopt);

    // The value with Null read as empty text; any other value unchanged.
    vb::Variant ValorNoNulo(const vb::Variant& valor) const;
    vb::Variant ValorNoNulo(const ado::Field& campo) const { return ValorNoNulo(campo.Value()); }

    // Text to number. "." is the decimal point and "," a thousands separator; a text with commas
    // and no point takes its one comma as the decimal point ("12,5" is 12.5), as typed on a
    // workstation set to a decimal comma. Empty, blank or non-numeric text gives 0.
    vb::Currency ANumero(const vb::Variant& texto) const;  // rounded to four decimals
    double ADoble(const vb::Variant& texto) const;
    int32_t AEntero(const vb::Variant& texto) const;  // ADoble rounded, halves to even
    // Whether ADoble reads the value as a number of its own rather than giving 0 for it: a number,
    // or a text that holds one by the rules above ("12,5", " 3 ", "1e3"); empty, blank and "5x"
    // do not.
    bool EsNumero(const vb::Variant& texto) const;
    // The value as text: Null and Empty give "", numbers their plain form with ".".
    QString ATexto(const vb::Variant& valor) const;

    // The text brought to the width of a code column: blanks added on the right, as the database
    // stores fixed-width codes; a longer text is kept whole. Null gives the blanks alone. The
    // default width is that of the voucher-type and cash-box codes.
    QString Rellena(const vb::Variant& texto, int ancho = 4) const;

    // Every occurrence of `busca` replaced by `reemplazo`, removed when there is none. The list
    // separators Chr(0), Chr(255) and line feed are never put into a text: given as the
    // replacement or as the fourth argument they are removed as well.
    QString Reemplaza(const QString& texto, const QString& busca,
                      const std::optional<QString>& reemplazo = std::nullopt,
                      const std::optional<QString>& cuarto = std::nullopt) const;
    // The same on any value, taken as text ("," to "." on a number written with a comma).
    QString ReemplazaValor(const vb::Variant& valor, const QString& busca, const QString& reemplazo) const;

    // True (also in `resultado`) when the value equals one of the list's items; blanks around
    // either and letter case do not count.
    bool EstaEnLista(const vb::Variant& valor, const QStringList& lista, bool& resultado) const;
    bool EstaEnLista(const vb::Variant& valor, const QStringList& lista) const;

    // A quoted, blank-padded code literal ('OC  ') back to the bare code (OC).
    QString QuitaComillas(const QString& texto) const;
    // The folder ending in a separator. A folder ending in "/" or "\" is kept; otherwise "/" is
    // added, the separator of this system's paths. An empty folder stays empty.
    QString AgregaBarra(const QString& carpeta) const;
    // True for an element of a control array: a control carrying the "Index" property.
    bool EsArregloControl(const QObject* control) const;
    // Words separated by blanks, tabs or line breaks.
    int CuentaPalabras(const QString& texto) const;
    // Today's date as the date fields take it, "dd/mm/yyyy".
    QString ObtieneFecha() const;
    // Encoding of a login value kept in the station file, and its reverse. The stored form uses
    // only the characters 0-9 and A-F. A text that is not in stored form decodes to itself.
    QString CodificaTexto(const QString& texto) const;
    QString DecodificaTexto(const QString& codificado) const;

    // Gives a window the program's icon; with `centrar` it is placed in the middle of the screen.
    void PreparaFormulario(QWidget* formulario, bool centrar = false) const;
};

}  // namespace utillib
