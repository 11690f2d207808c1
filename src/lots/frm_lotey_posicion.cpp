#include "lots/frm_lotey_posicion.h"

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
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace lots {

FrmLoteyPosicion::FrmLoteyPosicion(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmLoteyPosicion"));
    setWindowTitle(QStringLiteral("Posiciones"));
    setModal(true);

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    const struct {
        int indice;
        QStyle::StandardPixmap icono;
        const char* ayuda;
    } botones[] = {
        {kBotonCopiar, QStyle::SP_ArrowDown, "Llenar las demas celdas con el valor de las seleccionadas"},
        {kBotonBlanquear, QStyle::SP_DialogResetButton, "Blanquear las Celdas a partir de la celda seleccionada"},
        {kBotonProponer, QStyle::SP_BrowserReload, "Proponer Automaticamente"},
    };
    for (const auto& b : botones) {
        QAction* a = toolbar_->addAction(style()->standardIcon(b.icono), QString());
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(b.indice));
        a->setToolTip(QString::fromUtf8(b.ayuda));
        connect(a, &QAction::triggered, this, [this, i = b.indice] { Toolbar1_ButtonClick(i); });
    }

    lblArticulo_ = new QLabel(LblArticulo(), this);
    lblArticulo_->setObjectName(QStringLiteral("lblArticulo"));

    grilla_ = new ui::FlexGridView(&MSFlexGrid1, this);
    grilla_->installEventFilter(this);
    connect(grilla_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { MSFlexGrid1_LeaveCell(); });

    CmdAceptar_ = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdAceptar_->setObjectName(QStringLiteral("CmdAceptar"));
    CmdCancelar_ = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdCancelar_->setObjectName(QStringLiteral("CmdCancelar"));
    for (QPushButton* b : {CmdAceptar_, CmdCancelar_}) b->setAutoDefault(false);
    connect(CmdAceptar_, &QPushButton::clicked, this, [this] { CmdAceptar_Click(); });
    connect(CmdCancelar_, &QPushButton::clicked, this, [this] { CmdCancelar_Click(); });

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
    editor_ = ui::CreateTextBoxView(&TxtEdit, this);
    editor_->installEventFilter(this);
    editor_->raise();

    core::gUtilTexto().PreparaFormulario(this, false);
    core::ConfiguraFormulario(this);
}

FrmLoteyPosicion::~FrmLoteyPosicion() = default;

long FrmLoteyPosicion::MedidaCelda::TextWidth(const QString& text) const {
    constexpr long kMargenCelda = 16 * 15;   // twips: the cell's padding and grid line
    return text.isEmpty() ? 0 : texto_.TextWidth(text) + kMargenCelda;
}

void FrmLoteyPosicion::CargaDatos() {
    LoteyPosicion::CargaDatos();
    grilla_->Sincroniza();   // the grid shows the loaded rows and current cell before it can take the focus
}

void FrmLoteyPosicion::MostrarModal() {
    ocultando_ = false;
    grilla_->setFocus();
    exec();
}

void FrmLoteyPosicion::Descargar() { hide(); }

void FrmLoteyPosicion::SetCaption(const QString& caption) {
    LoteyPosicion::SetCaption(caption);
    setWindowTitle(caption);
}

void FrmLoteyPosicion::MuestraEtiqueta(const QString& caption) {
    LoteyPosicion::MuestraEtiqueta(caption);
    lblArticulo_->setText(caption);
}

void FrmLoteyPosicion::FocoGrilla() {
    grilla_->setFocus();
    MSFlexGrid1_GotFocus();   // also when the window is not the active one
}

void FrmLoteyPosicion::FocoAceptar() { CmdAceptar_->setFocus(); }

void FrmLoteyPosicion::Ocultar(bool aceptado) {
    LoteyPosicion::Ocultar(aceptado);
    ocultando_ = true;
    if (aceptado) QDialog::accept();
    else QDialog::reject();
}

void FrmLoteyPosicion::reject() {
    // Escape and the close box cancel, as the Cancel button does.
    if (ocultando_) {
        QDialog::reject();
        return;
    }
    CmdCancelar_Click();
}

bool FrmLoteyPosicion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grilla_ && event->type() == QEvent::FocusIn) MSFlexGrid1_GotFocus();
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* ev = static_cast<QKeyEvent*>(event);
    if (watched == grilla_) return teclaEnGrilla(ev);
    if (watched == editor_) return teclaEnEditor(ev);
    return QDialog::eventFilter(watched, event);
}

// A character, Enter, Backspace or the space bar typed on the grid opens the editor; the
// other keys move as the grid moves.
bool FrmLoteyPosicion::teclaEnGrilla(QKeyEvent* ev) {
    int tecla = 0;
    if (ev->key() == Qt::Key_Return || ev->key() == Qt::Key_Enter) tecla = 13;
    else if (ev->key() == Qt::Key_Backspace) tecla = 8;
    else if (!ev->text().isEmpty() && ev->text().at(0).unicode() >= 32) tecla = ev->text().at(0).unicode();
    if (tecla == 0) return false;
    MSFlexGrid1_KeyPress(tecla);
    return true;
}

// Confirming keys check the quantity and move; characters go through the key filter.
bool FrmLoteyPosicion::teclaEnEditor(QKeyEvent* ev) {
    const int codigo = utillib::UtilControles::KeyCodeFromQt(ev->key());
    if (core::gUtilControles().EsTeclaConfirmacion(codigo)) {
        TxtEdit_KeyDown(codigo, lookup::ShiftDe(ev));
        return true;
    }
    if (ev->text().isEmpty()) return false;
    int tecla = ev->text().at(0).unicode();
    TxtEdit_KeyPress(tecla);
    return tecla == 0;
}

}  // namespace lots
