#include "data/frm_acceso.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace data {

namespace {
AccesoRunner& Runner() {
    static AccesoRunner runner;
    return runner;
}
}  // namespace

void SetAccesoRunner(AccesoRunner runner) { Runner() = std::move(runner); }

void MuestraAcceso(frmAcceso& form) {
    if (Runner())
        Runner()(form);
    else
        form.exec();
}

frmAcceso::frmAcceso(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    setModal(true);

    const QFont courier(QStringLiteral("Courier"));
    auto* grilla = new QGridLayout;
    const auto campo = [&](int fila, const char* nombre, const QString& etiqueta, const char* nombreEtiqueta) {
        auto* texto = new QLineEdit(this);
        texto->setObjectName(QString::fromLatin1(nombre));
        auto* label = new QLabel(etiqueta, this);
        label->setObjectName(QString::fromLatin1(nombreEtiqueta));
        label->setFont(courier);
        label->setBuddy(texto);
        grilla->addWidget(label, fila, 0);
        grilla->addWidget(texto, fila, 1);
        return texto;
    };
    TxtUserId = campo(0, "TxtUserId", QStringLiteral("&Usuario"), "lblUserId");
    TxtUserPassword = campo(1, "TxtUserPassword", QStringLiteral("&Contraseña"), "lblUserPassword");
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtUserPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    TxtDbName = campo(2, "TxtDbName", QStringLiteral("&Base de Datos"), "lblDbName");
    TxtServidor = campo(3, "TxtServidor", QStringLiteral("&Servidor"), "lblServidor");

    CboPlataformaDB = new QComboBox(this);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems({QStringLiteral("SQL Server"), QStringLiteral("ORACLE")});
    grilla->addWidget(CboPlataformaDB, 4, 1);

    bcAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    bcAceptar->setObjectName(QStringLiteral("bcAceptar"));
    bcAceptar->setDefault(true);
    bcCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    bcCancelar->setObjectName(QStringLiteral("bcCancelar"));
    connect(bcAceptar, &QPushButton::clicked, this, [this] { bcAceptar_Click(); });
    connect(bcCancelar, &QPushButton::clicked, this, [this] { bcCancelar_Click(); });

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(bcAceptar);
    botones->addWidget(bcCancelar);
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(grilla);
    capa->addLayout(botones);

    Form_Load();
}

void frmAcceso::Form_Load() {
    adjustSize();
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    if (!pantalla) return;
    const QRect r = pantalla->geometry();
    move(r.width() / 2 - width() / 2, r.height() / 2 - height() / 2);
}

void frmAcceso::bcAceptar_Click() {
    Aceptado = true;
    done(QDialog::Accepted);
}

void frmAcceso::bcCancelar_Click() {
    Aceptado = false;
    done(QDialog::Rejected);
}

void frmAcceso::reject() { bcCancelar_Click(); }

}  // namespace data
