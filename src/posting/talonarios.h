#pragma once
// Module ast, voucher books (talonarios): the rows of V_TA_CPTE, one per book, with per letter L
// the branch L_SUC_DEFAULT, the range L_NRO_DESDE..L_NRO_HASTA, the last number used
// L_ULTIMO_NRO and the expiry VenceL. A range of 0..0 is open.
//
//   ast::Obtener_Nro_Comprobante_Contable(...)   chooses the book a new number comes from
//   ast::ValidaNumeracionComprobante(...)        checks a number against its book
//   ast::ActualizaNumeracionComprobante(...)     brings the book up to date after a voucher is stored
//
// TalonarioActual names the current book: the one the choice last took, or the last one whose
// range held a number that was validated. The update writes to it.
#include "platform/vb/read_result.h"

#include <QString>

namespace posting::ast {

inline int TalonarioActual = 0;

// The type whose books number TC: the setting "NUM_" & Trim(TC) when it holds a value, else TC.
// Not read when the setting was not read.
vb::ReadResult<QString> ObtieneTCNumeracion(const QString& TC);

// Checks a voucher number against its book. Letra comes back "X" when empty; Mensaje receives the
// reason of a False answer, word for word:
//   - a letter other than A, B, C, E, R, X, M (one letter, any case, blanks ignored);
//   - no book named by TalonarioActual ("Debe configurar la numeracióN de Comprobantes");
//   - the range expired before Fecha (Fecha empty: not checked), or the number outside the
//     range or not above 0, followed by the closing line "Verifique los datos ...".
// True, with Mensaje empty, for a type numbered outside (EXTERNO), an open range of a book that
// may renumber, or a number inside its book's range. Sets TalonarioActual to the last book of
// the branch whose range holds the number. No error handler: a failure raises to the caller, but
// the type's EXTERNO flag is read through DatosTabla, which asks itself: when that flag is not
// read the number is not checked (not read, Mensaje empty).
vb::ReadResult<bool> ValidaNumeracionComprobante(const QString& TC, const QString& Sucursal, const QString& Numero,
                                                 QString& Letra, QString& Mensaje, const QString& Fecha);

// Brings the book of a stored voucher up to date: its last number for the letter (it only moves
// forward) and, for accounting books ("Contable"), ForzarControl or type "OC", the control row
// of the number in V_MV_CTROL_CPTE. TC is numbered through ObtieneTCNumeracion; Letra comes back
// "X" when empty.
//   GeneraSentencia True: writes nothing; Sentencia receives the statements, in order the UPDATE
//     of the last number (unless NoActualizaUltimo or the book is already past it) and the
//     control row's INSERT between CR LF pairs.
//   GeneraSentencia False: updates the book row at once through a changeable recordset (last
//     number and fechahora_modificacion); no control row.
// A voucher whose branch is not the book's for the letter changes nothing. A type without any
// book shows "Error en grabación del Comprobante, no se ha encontrado el comprobante configurado".
// Returns false when the book could not be brought up to date: an error of the procedure (routine
// "ConsultaComprobante") or of a read it made was passed over or left, or the type has no book
// (after that box).
bool ActualizaNumeracionComprobante(const QString& TC, const QString& Sistema, const QString& Sucursal,
                                    const QString& Numero, QString& Letra, bool GeneraSentencia,
                                    QString& Sentencia, bool ForzarControl = false, bool NoActualizaUltimo = false);

// Chooses the book a new voucher of type TC is numbered from, for the letter, the branch (a
// leading "*" asks for the book whose A_SUC_DEFAULT is that branch) and the business unit (blank:
// any; a unit without books of its own falls back to every book of the type). The books are
// walked in TALONARIO order and the first whose letter has numbers left (last < range end) and
// has not expired at Fecha is taken: Sucursal, Numero (its last number, "00000001" when 0),
// NroHasta, ModificaNumeracion and TalonarioActual come from it. A book whose Letras lacks the
// letter turns the letter into the first of its Letras.
// When every book is used up the operator is told once ("Todos los talonarios del comprobante
// ..."). When no book is taken, Sucursal and NroHasta stay as passed and an empty Numero becomes
// "00000001"; a type without books gives "0001", "00000001", "X".
// Returns false when an error was passed over or left (routine "Obtener_Nro_Comprobante_Contable"):
// no number is proposed from books it could not read.
bool Obtener_Nro_Comprobante_Contable(const QString& TC, QString& Sucursal, QString& Numero, QString& Letra,
                                      bool& ModificaNumeracion, const QString& Fecha, const QString& UNegocio,
                                      QString& NroHasta);

}  // namespace posting::ast
