#include "lookup/dialogo_consulta.h"

#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>

namespace lookup {

int CodigoTecla(int k, bool teclado) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;                 // 65..90
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return teclado ? 96 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F16) return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int CodigoTecla(const QKeyEvent* ev) { return CodigoTecla(ev->key(), ev->modifiers().testFlag(Qt::KeypadModifier)); }

int ShiftDe(const QKeyEvent* ev) {
    int s = 0;
    if (ev->modifiers().testFlag(Qt::ShiftModifier)) s |= 1;
    if (ev->modifiers().testFlag(Qt::ControlModifier)) s |= 2;
    if (ev->modifiers().testFlag(Qt::AltModifier)) s |= 4;
    return s;
}

bool EsTeclaHaciaLista(int codigo) { return codigo == 40 || codigo == 38 || codigo == 34 || codigo == 33; }

bool EsTeclaDeCaja(int codigo) { return codigo == 116 || EsTeclaHaciaLista(codigo); }

int ErrorTratado(const vb::Error& e, const char* rutina) {
    return core::gUtilTexto().TrataError(e, std::nullopt, QString::fromLatin1(rutina));
}

DialogoConsulta::DialogoConsulta(const QString& nombre, QWidget* parent) : QDialog(parent) {
    setObjectName(nombre);
    setWindowTitle(QStringLiteral("Consulta..."));
    setModal(true);
}

DialogoConsulta::~DialogoConsulta() = default;

QComboBox* DialogoConsulta::NuevaCajaBusqueda(QWidget* padre, int index) {
    auto* caja = new QComboBox(padre);
    caja->setObjectName(QStringLiteral("CmbSearch"));
    caja->setProperty("Index", index);
    caja->setEditable(true);
    caja->setInsertPolicy(QComboBox::NoInsert);
    caja->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    caja->installEventFilter(this);
    connect(caja, &QComboBox::editTextChanged, this, [this, index] { CmbSearch_Change(index); });
    connect(caja, &QComboBox::activated, this, [this, index] { CmbSearch_Change(index); });
    return caja;
}

void DialogoConsulta::CreaBotones(QWidget* marco) {
    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), marco);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), marco);
    CmdCancelar->setObjectName(QStringLiteral("CmdCancelar"));
    CmdNueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), marco);
    CmdNueva->setObjectName(QStringLiteral("CmdNueva"));
    for (QPushButton* b : {CmdAceptar, CmdCancelar, CmdNueva}) b->setAutoDefault(false);
    CmdAceptar->setDefault(true);
    connect(CmdAceptar, &QPushButton::clicked, this, [this] { CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { CmdCancelar_Click(); });
    connect(CmdNueva, &QPushButton::clicked, this, [this] { CmdNueva_Click(); });
}

void DialogoConsulta::CreaMenuEmergente() {
    // The pop-up menu is part of the window; nothing opens it.
    MNU_Emergente = new QMenu(this);
    MNU_Emergente->setObjectName(QStringLiteral("MNU_Emergente"));
    MNU_Emergente->addAction(QStringLiteral("Llenar Con Posibles Valores"))->setObjectName(QStringLiteral("MNU_Llena"));
    MNU_Emergente->addSeparator()->setObjectName(QStringLiteral("MNU_Separador"));
    MNU_Emergente->addAction(QStringLiteral("Cancelar"))->setObjectName(QStringLiteral("MNU_Cancelar"));
}

void DialogoConsulta::Mostrar() {
    ocultando_ = false;
    exec();
}

void DialogoConsulta::Ocultar(bool aceptado) {
    ocultando_ = true;
    if (aceptado) QDialog::accept();
    else QDialog::reject();
}

void DialogoConsulta::reject() {
    // Escape and the window's close box cancel, as the Cancel button does.
    if (ocultando_) {
        QDialog::reject();
        return;
    }
    CmdCancelar_Click();
}

}  // namespace lookup
