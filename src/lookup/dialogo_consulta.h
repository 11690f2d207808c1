#pragma once
// DialogoConsulta: what the list and the tree lookup dialogs have in common. Both are the modal
// "Consulta..." window with the buttons Aceptar / Cancelar / Nueva Busqueda, the pop-up menu and
// search boxes that pass F5 and the list keys to the dialog; Escape and the close box cancel as the
// Cancel button does.
#include "platform/vb/error.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QKeyEvent;
class QMenu;
class QPushButton;
class QWidget;

namespace lookup {

// VB key code of a key event (65 for A, 116 for F5, 45 for Insert...); 0 for keys it has none for.
int CodigoTecla(int qtKey, bool teclado);
int CodigoTecla(const QKeyEvent* ev);
// The Shift argument of a KeyDown: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftDe(const QKeyEvent* ev);
inline constexpr int kShiftMask = 1;

// Keys a search box hands to its dialog: F5 (a new search on the server) and the keys that move to
// the list (down, up, page down, page up).
bool EsTeclaDeCaja(int codigo);
bool EsTeclaHaciaLista(int codigo);

// The error box of a dialog routine; Retry, Ignore or Abort as the operator answers.
int ErrorTratado(const vb::Error& e, const char* rutina);

class DialogoConsulta : public QDialog {
    Q_OBJECT
public:
    DialogoConsulta(const QString& nombre, QWidget* parent);
    ~DialogoConsulta() override;

    virtual void CmbSearch_Change(int index) = 0;
    virtual void CmdAceptar_Click() = 0;
    virtual void CmdCancelar_Click() = 0;
    virtual void CmdNueva_Click() = 0;

protected:
    // A search box in `padre`, numbered `index`, that searches as its text changes; the dialog
    // filters its focus and keys.
    QComboBox* NuevaCajaBusqueda(QWidget* padre, int index);
    // The three buttons in `marco`; Aceptar is the default one.
    void CreaBotones(QWidget* marco);
    void CreaMenuEmergente();

    void Mostrar();                // modal until Ocultar
    void Ocultar(bool aceptado);
    void reject() override;

    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdNueva = nullptr;
    QMenu* MNU_Emergente = nullptr;

private:
    bool ocultando_ = false;
};

}  // namespace lookup
