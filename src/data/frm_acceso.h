#pragma once
// frmAcceso, "Control de Acceso": the login dialog through which DB_Dll asks for the server,
// database, user and password of a connection and for its platform (SQL Server or ORACLE).
#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace data {

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* parent = nullptr);

    bool Aceptado = false;  // the answer, held from the hiding of the form to its unloading

    QLineEdit* TxtUserId = nullptr;
    QLineEdit* TxtUserPassword = nullptr;
    QLineEdit* TxtDbName = nullptr;
    QLineEdit* TxtServidor = nullptr;
    QComboBox* CboPlataformaDB = nullptr;  // 0 "SQL Server", 1 "ORACLE"
    QPushButton* bcAceptar = nullptr;
    QPushButton* bcCancelar = nullptr;

    void bcAceptar_Click();
    void bcCancelar_Click();

    // Escape and the window's close button answer as Cancelar.
    void reject() override;

private:
    void Form_Load();
};

// How a loaded frmAcceso is shown: modally, until it is hidden. Tests install their own way of
// answering it; an empty function restores the modal one.
using AccesoRunner = std::function<void(frmAcceso&)>;
void SetAccesoRunner(AccesoRunner runner);
void MuestraAcceso(frmAcceso& form);

}  // namespace data
