#pragma once
// The common set-up of the program's windows: the program's icon, the workstation's window
// placement and the station's toolbar style.
class QWidget;

namespace core {

// The form gets the program's icon (the resource ":/ICONBRONTAL"; when the form then has no
// icon, the file "brontal.ico" of the current folder). A form whose class is FrmMDI (case
// ignored) gets nothing more. Otherwise gInfoEstacion().ConfiguraMDI(form) runs and the
// form's toolbars named UtilZel1, TBarRep1 and Util0011, those it has, get the property
// "StyleBar" = gFlatToolbars. Pending window events run before it returns. Every failing
// statement is skipped.
void ConfiguraFormulario(QWidget* Formulario);

}  // namespace core
