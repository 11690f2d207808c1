#include "lots/ventana_lotes.h"

#include "core/frm_configura.h"
#include "core/mod_global.h"
#include "lookup/dialogo_consulta.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/util_texto.h"

#include <QAction>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace lots {

VentanaLotes::VentanaLotes(const QString& nombre, QWidget* parent) : QDialog(parent) {
    setObjectName(nombre);
    setModal(true);
}

VentanaLotes::~VentanaLotes() = default;

void VentanaLotes::Suelta() {
    if (logica_) logica_->SetVista(nullptr);
    logica_ = nullptr;
}

void VentanaLotes::Arma(GrillaLotes& logica, std::initializer_list<Boton> botones, const QString& captionAceptar) {
    logica_ = &logica;
    setWindowTitle(logica.Caption());

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    for (const Boton& b : botones) {
        QAction* a = toolbar_->addAction(style()->standardIcon(b.icono), QString());
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(b.indice));
        a->setToolTip(QString::fromUtf8(b.ayuda));
        connect(a, &QAction::triggered, this, [this, i = b.indice] {
            if (logica_) logica_->Toolbar1_ButtonClick(i);
        });
    }

    lblArticulo_ = new QLabel(logica.LblArticulo(), this);
    lblArticulo_->setObjectName(QStringLiteral("lblArticulo"));

    grilla_ = new ui::FlexGridView(&logica.MSFlexGrid1, this);
    grilla_->installEventFilter(this);
    connect(grilla_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] {
                if (logica_) logica_->MSFlexGrid1_LeaveCell();
            });

    CmdAceptar_ = new QPushButton(captionAceptar, this);
    CmdAceptar_->setObjectName(QStringLiteral("CmdAceptar"));
    CmdCancelar_ = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdCancelar_->setObjectName(QStringLiteral("CmdCancelar"));
    for (QPushButton* b : {CmdAceptar_, CmdCancelar_}) {
        b->setAutoDefault(false);
        b->installEventFilter(this);
    }
    connect(CmdAceptar_, &QPushButton::clicked, this, [this] {
        if (logica_) logica_->CmdAceptar_Click();
    });
    connect(CmdCancelar_, &QPushButton::clicked, this, [this] {
        if (logica_) logica_->CmdCancelar_Click();
    });

    auto* botonera = new QHBoxLayout;
    botonera->addStretch();
    botonera->addWidget(CmdAceptar_);
    botonera->addWidget(CmdCancelar_);
    auto* columna = new QVBoxLayout(this);
    columna->setMenuBar(toolbar_);
    columna->addWidget(lblArticulo_);
    columna->addWidget(grilla_, 1);
    columna->addLayout(botonera);
    resize(560, 320);

    // The editor lies over the grid, in the window's coordinates as the grid reports its place.
    editor_ = ui::CreateTextBoxView(&logica.TxtEdit, this);
    editor_->installEventFilter(this);
    editor_->raise();

    core::gUtilTexto().PreparaFormulario(this, false);
    core::ConfiguraFormulario(this);
    logica.SetVista(this);
}

long VentanaLotes::MedidaCelda::TextWidth(const QString& text) const {
    constexpr long kMargenCelda = 16 * 15;   // twips: the cell's padding and grid line
    return text.isEmpty() ? 0 : texto_.TextWidth(text) + kMargenCelda;
}

void VentanaLotes::MuestraCargado() { grilla_->Sincroniza(); }

void VentanaLotes::Muestra() {
    ocultando_ = false;
    grilla_->setFocus();
    exec();
}

void VentanaLotes::MuestraCaption(const QString& caption) { setWindowTitle(caption); }

void VentanaLotes::MuestraLblArticulo(const QString& caption) { lblArticulo_->setText(caption); }

void VentanaLotes::EnfocaGrilla() { grilla_->setFocus(); }

void VentanaLotes::EnfocaAceptar() { CmdAceptar_->setFocus(); }

void VentanaLotes::Oculta(bool aceptado) {
    ocultando_ = true;
    if (aceptado) QDialog::accept();
    else QDialog::reject();
}

void VentanaLotes::reject() {
    // Escape and the close box cancel, as the Cancel button does.
    if (ocultando_ || !logica_) {
        QDialog::reject();
        return;
    }
    logica_->CmdCancelar_Click();
}

bool VentanaLotes::eventFilter(QObject* watched, QEvent* event) {
    if (!logica_) return QDialog::eventFilter(watched, event);
    if (watched == grilla_ && event->type() == QEvent::FocusIn) logica_->MSFlexGrid1_GotFocus();
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* ev = static_cast<QKeyEvent*>(event);
    // The window sees the key before the control does.
    int codigo = utillib::UtilControles::KeyCodeFromQt(ev->key());
    if (codigo != 0) {
        logica_->Form_KeyDown(codigo, lookup::ShiftDe(ev));
        if (codigo == 0) return true;
    }
    if (watched == grilla_) return teclaEnGrilla(ev);
    if (watched == editor_) return teclaEnEditor(ev);
    return QDialog::eventFilter(watched, event);
}

// A character, Enter, Backspace or the space bar typed on the grid opens the editor; the
// other keys move as the grid moves.
bool VentanaLotes::teclaEnGrilla(QKeyEvent* ev) {
    int tecla = 0;
    if (ev->key() == Qt::Key_Return || ev->key() == Qt::Key_Enter) tecla = 13;
    else if (ev->key() == Qt::Key_Backspace) tecla = 8;
    else if (!ev->text().isEmpty() && ev->text().at(0).unicode() >= 32) tecla = ev->text().at(0).unicode();
    if (tecla == 0) return false;
    logica_->MSFlexGrid1_KeyPress(tecla);
    return true;
}

// Confirming keys check the text and move; characters go through the key filter.
bool VentanaLotes::teclaEnEditor(QKeyEvent* ev) {
    const int codigo = utillib::UtilControles::KeyCodeFromQt(ev->key());
    if (core::gUtilControles().EsTeclaConfirmacion(codigo)) {
        logica_->TxtEdit_KeyDown(codigo, lookup::ShiftDe(ev));
        return true;
    }
    if (ev->text().isEmpty()) return false;
    int tecla = ev->text().at(0).unicode();
    logica_->TxtEdit_KeyPress(tecla);
    return tecla == 0;
}

}  // namespace lots
