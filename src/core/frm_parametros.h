#pragma once
// A window's entry values kept between runs: the parameter file <temporary folder><window's
// objectName><suffix>.PRM.
//
// The temporary folder is the user's own (InfoEstacion::CarpetaTemporal: TEMP, TMP or TMPDIR when
// set, else a 0700 folder of the user's). The file is read only when it and its folder both belong
// to the user and neither may be written by the group or by others (utillib::SoloDelUsuario); a
// folder that is not the user's own holds no parameter file, none is read or written there. The
// folder is opened once, the file read, created and renamed through it, and neither is taken
// through a link (utillib::CarpetaPropia). The file is always written as a new file of mode 0600
// that takes the old one's place, whatever mode the old one had.
//
// The file holds records of 281 bytes, numbered from 1, no header, one byte per character
// (CP1252), left-aligned and padded with blanks:
//   offset   0,  25  control key: the control's objectName, followed by its index when it is an
//                    element of a control array ("txtfields0", "OptTipo2"); cut at 25
//   offset  25, 254  the value as text; cut at 254
//   offset 279,   2  CR LF
//
// Controls, found among the window's children in creation order by their objectName (children
// without a name, and Qt's own inner children named "qt_...", are passed over):
//   TEXTBOX       QLineEdit, QTextEdit, QPlainTextEdit   Text; restored trimmed
//   CHECKBOX      QCheckBox      0 unchecked, 1 checked, 2 grey
//   OPTIONBUTTON  QRadioButton   "True" / "False"; restored through ConvierteBooleano
//   COMBOBOX      QComboBox      ListIndex (-1: none); an index outside the list is not restored
// A control array is the controls sharing one objectName ("txtfields"), each carrying its
// number in the array as the dynamic property "Index" (the utility library's convention).
#include <QString>

class QWidget;

namespace core {

constexpr int kLargoRegistroParametros = 281;

// The parameter file's path for a window and suffix.
QString ArchivoParametros(const QWidget* Formulario, const QString& Sufijo);

// The kind of a control as the parameter file knows it ("TEXTBOX", "CHECKBOX", "OPTIONBUTTON",
// "COMBOBOX"), or "" for a control that is not saved.
QString TipoControl(const QWidget* Control);
// The control's key in the file.
QString ClaveControl(const QWidget* Control);

// Writes the values of the window's controls. The file is replaced whole: the records go to a
// new file of mode 0600 that then takes the old one's place, so a failure never leaves it half
// written. A failure shows its text in a message box and the old file stays as it was. Nothing is
// written in a folder that is not the user's own.
void GuardaParametrosFormulario(QWidget* Formulario, const QString& Sufijo = QString());

// Restores the saved values; with SoloControl, only the control of that key (case ignored).
// A missing file is created empty, mode 0600, and nothing is restored. The first record of a key
// wins; a partial last record is not read. A failure ends the restore silently. Nothing is read
// from a folder that is not the user's own, nor from a file that is not.
void RecuperaParametrosFormulario(QWidget* Formulario, const QString& Sufijo = QString(),
                                  const QString& SoloControl = QString());

// Called first by RecuperaParametrosFormulario; nothing to prepare.
void PreparaParametrosFormulario(QWidget* Formulario, const QString& Sufijo);

}  // namespace core
