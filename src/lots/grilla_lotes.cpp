#include "lots/grilla_lotes.h"

#include "core/mod_global.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "posting/tratamiento.h"

#include <algorithm>

namespace lots {

namespace {

constexpr int kTeclaEnter = 13;
constexpr int kTeclaEsc = 27;
constexpr int kTeclaArriba = 38;
constexpr int kTeclaAbajo = 40;

const QString kNoEsCantidad = QStringLiteral("La Cantidad informada no es un número");

}  // namespace

QString NoPuedeContener(const QString& caracteres) {
    return QStringLiteral("Un valor no puede contener los caracteres ") + caracteres +
           QStringLiteral(": separan los valores de la lista");
}

GrillaLotes::GrillaLotes(QString caption) : caption_(std::move(caption)) { TxtEdit.SetVisible(false); }

GrillaLotes::~GrillaLotes() = default;

// ---- hooks ----

void GrillaLotes::SetCaption(const QString& caption) {
    caption_ = caption;
    if (vista_) vista_->MuestraCaption(caption);
}

void GrillaLotes::MuestraEtiqueta(const QString& caption) {
    lblArticulo_ = caption;
    if (vista_) vista_->MuestraLblArticulo(caption);
}

void GrillaLotes::FocoGrilla() {
    if (vista_) vista_->EnfocaGrilla();
    MSFlexGrid1_GotFocus();   // also when the window is not the active one
}

void GrillaLotes::FocoAceptar() {
    if (vista_) vista_->EnfocaAceptar();
}

void GrillaLotes::Ocultar(bool aceptado) {
    aceptado_ = aceptado;
    oculto_ = true;
    if (vista_) vista_->Oculta(aceptado);
}

const ui::TextMeasurer& GrillaLotes::Medida() const {
    static const ui::FixedWidthMeasurer fija(120);
    return vista_ ? vista_->MedidaTexto() : fija;
}

void GrillaLotes::CmdCancelar_Click() { Ocultar(false); }

void GrillaLotes::Form_KeyDown(int& KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
}

// ---- the in-cell editor ----

void GrillaLotes::EscribeEditor() {
    if (!TxtEdit.Visible()) return;
    ui::FlexGrid& g = MSFlexGrid1;
    if (filaEditada_ >= g.FixedRows() && filaEditada_ < g.Rows() && colEditada_ >= 0 && colEditada_ < g.Cols())
        g.SetTextMatrix(filaEditada_, colEditada_, TxtEdit.Text());
    TxtEdit.SetVisible(false);
}

void GrillaLotes::SubeSiCortada(ui::FlexGrid& grid) {
    if (grid.Height() > 0 && grid.Height() < grid.CellTop() + grid.CellHeight() && grid.TopRow() + 1 < grid.Rows())
        grid.SetTopRow(grid.TopRow() + 1);
}

void GrillaLotes::MsflexGridEdt(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyAscii) {
    if (MsFlexGrid.Row() < MsFlexGrid.FixedRows() || MsFlexGrid.Row() >= MsFlexGrid.Rows()) return;
    if (!Editable(MsFlexGrid)) return;
    Text_Propiedades(Edt, MsFlexGrid.Col());
    if (KeyAscii < 0 || KeyAscii > 32) {
        Edt.SetText(QString(QChar(KeyAscii)));
        Edt.SetSelStart(1);
    } else {
        Edt.SetText(MsFlexGrid.Text());
        Edt.SetSelStart(1000);
    }
    filaEditada_ = MsFlexGrid.Row();
    colEditada_ = MsFlexGrid.Col();
    Edt.Move(MsFlexGrid.Left() + MsFlexGrid.CellLeft(), MsFlexGrid.Top() + MsFlexGrid.CellTop(), MsFlexGrid.CellWidth(),
             MsFlexGrid.CellHeight());
    Edt.SetVisible(true);
    SubeSiCortada(MsFlexGrid);
    Edt.SetFocus();
}

void GrillaLotes::TxtEdit_KeyPress(int& KeyAscii) { core::gUtilControles().FiltraTecla(nullptr, KeyAscii); }

void GrillaLotes::TxtEdit_KeyDown(int KeyCode, int Shift) {
    if (!core::gUtilControles().EsTeclaConfirmacion(KeyCode)) return;
    // Esc drops the text, so there is nothing to check: a refused text can always be left.
    if (KeyCode != kTeclaEsc) CampoValida(TxtEdit);
    else errorCampo_ = false;
    if (!errorCampo_) EditKeyCode(MSFlexGrid1, TxtEdit, KeyCode, Shift);
}

void GrillaLotes::EditKeyCode(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyCode, int Shift) {
    (void)Shift;
    // A move the grid refuses (an invalid call, a column it has not) is passed over.
    vb::OnError on([trata = posting::Tratamiento("EditKeyCode")](const vb::Error& e) {
        const bool pasa = e.number() == vb::kErrInvalidProcedureCall || e.number() == ui::kErrFlexInvalidCol;
        return pasa ? static_cast<int>(vb::kIgnore) : trata(e);
    });
    // The grid takes the focus (writing the editor into its cell) before the cursor moves.
    const auto enfocaGrilla = [&] {
        on.run([&] {
            FocoGrilla();
            vb::DoEvents();
        });
    };
    switch (KeyCode) {
    case kTeclaEnter:
        enfocaGrilla();
        on.run([&] { MueveConEnter(MsFlexGrid); });
        break;
    case kTeclaEsc:
        on.run([&] {
            Edt.SetVisible(false);
            FocoGrilla();
        });
        break;
    case kTeclaArriba:
        enfocaGrilla();
        on.run([&] {
            if (MsFlexGrid.Row() > MsFlexGrid.FixedRows()) MsFlexGrid.SetRow(MsFlexGrid.Row() - 1);
        });
        break;
    case kTeclaAbajo:
        enfocaGrilla();
        on.run([&] {
            if (MsFlexGrid.Row() >= MsFlexGrid.Rows() - 1) return;
            MsFlexGrid.SetRow(MsFlexGrid.Row() + 1);
            if (MsFlexGrid.FixedCols() == 0) MsFlexGrid.SetCol(0);   // a fixed column is never current
        });
        break;
    default:
        break;
    }
    on.run([&] { SubeSiCortada(MsFlexGrid); });
}

// ---- shared steps ----

void GrillaLotes::AjustaAnchoColumnas() {
    ui::FlexGrid& g = MSFlexGrid1;
    for (int c = 0; c < g.Cols(); ++c) {
        if (g.ColWidth(c) == 0) continue;
        qsizetype largo = 0;
        for (int r = 0; r < g.Rows(); ++r) largo = std::max(largo, g.TextMatrix(r, c).size());
        if (largo > 0) g.SetColWidth(c, Medida().TextWidth(QString(largo, u'X')));
    }
}

double GrillaLotes::SumaColumna(int col, int32_t MenosCual) const {
    double suma = 0;
    for (int r = MSFlexGrid1.FixedRows(); r < MSFlexGrid1.Rows(); ++r)
        if (r != MenosCual) suma += LeeCantidad(MSFlexGrid1.TextMatrix(r, col));
    return suma;
}

bool GrillaLotes::SumaIgualA(int col, double pedido) const {
    bool igual = false;
    vb::OnError on(posting::Tratamiento(""));
    on.run([&] { igual = ComparaCantidades(SumaColumna(col, -1), pedido) == 0; });
    return igual;
}

void GrillaLotes::ProponeEn(int colDisponible, int colCantidad, double pedido) {
    ui::FlexGrid& g = MSFlexGrid1;
    const int primera = g.FixedRows();
    if (g.Rows() <= primera) return;
    pedido = std::max(pedido, 0.0);
    double resto = pedido;
    // One place: it is proposed the whole quantity, whatever it holds. Deliberately not capped at
    // its balance: the operator sees the whole request where it would have to come from, and
    // Accept refuses what the place does not hold, so nothing short is taken unnoticed.
    if (g.Rows() == primera + 1) {
        g.SetTextMatrix(primera, colCantidad, TextoCantidad(resto));
        return;
    }
    for (int r = primera; r < g.Rows() && ComparaCantidades(resto, 0) > 0; ++r) {
        const double disponible = std::max(LeeCantidad(g.TextMatrix(r, colDisponible)), 0.0);
        const double actual = LeeCantidad(g.TextMatrix(r, colCantidad));
        if (ComparaCantidades(actual + resto, disponible) <= 0) {
            g.SetTextMatrix(r, colCantidad, TextoCantidad(actual + resto));
            resto = 0;
        } else {
            g.SetTextMatrix(r, colCantidad, TextoCantidad(disponible));
            resto = pedido - SumaColumna(colCantidad, -1);
        }
    }
}

bool GrillaLotes::AjustaCantidadPedida(double& Cantidad, double total, bool puedeMenos, const QString& faltante) {
    const bool supera = ComparaCantidades(total, Cantidad) > 0;
    if (!supera && !puedeMenos) {
        ui::MsgBox(faltante, ui::vbInformation, kAvisoOperadorPregunta);
        return false;
    }
    const QString pregunta =
        supera ? QStringLiteral("La suma de las cantidades Informadas, supera a la solicitada en el Formulario de Carga "
                                "de Datos")
               : QStringLiteral("La suma de las cantidades Informadas, Es Menor a la solicitada en el Formulario de "
                                "Carga de Datos");
    if (ui::MsgBox(pregunta + QStringLiteral("\r\n¿Desea Ajustar la Cantidad Solicitada en el Formulario?"),
                   ui::vbYesNo + ui::vbQuestion, kAvisoOperadorPregunta) != vb::kYes) {
        ui::MsgBox(QStringLiteral("Debe Ajustar la suma de las cantidades a :") + TextoCantidad(Cantidad), ui::vbCritical,
                   kAvisoOperador);
        return false;
    }
    Cantidad = total;
    return true;
}

void GrillaLotes::RechazaCelda(int fila, int col, const QString& mensaje) {
    MSFlexGrid1.SetRow(fila);
    MSFlexGrid1.SetCol(col);
    ui::MsgBox(mensaje, ui::vbCritical, kAvisoOperador);
}

void GrillaLotes::ValidaCantidadEditor(const QString& texto) {
    errorCampo_ = false;
    QString mensaje;
    bool comprobada = false;
    vb::OnError on(posting::Tratamiento("CampoValida"));
    on.run([&] {
        mensaje = EsCantidad(texto) ? RechazoCantidad(MSFlexGrid1.Row(), LeeCantidad(texto)) : kNoEsCantidad;
        comprobada = true;
    });
    if (on.left()) return;
    if (comprobada && mensaje.isEmpty()) return;
    if (!mensaje.isEmpty()) ui::MsgBox(mensaje, ui::vbCritical, kAvisoOperador);
    errorCampo_ = true;   // refused, or a check that failed and was passed over
}

bool GrillaLotes::ValidaCantidades(int col) {
    const ui::FlexGrid& g = MSFlexGrid1;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const QString texto = g.TextMatrix(r, col);
        const QString mensaje = EsCantidad(texto) ? RechazoCantidad(r, LeeCantidad(texto)) : kNoEsCantidad;
        if (mensaje.isEmpty()) continue;
        RechazaCelda(r, col, mensaje);
        return false;
    }
    return true;
}

bool GrillaLotes::FilaActualDeDatos() const {
    return MSFlexGrid1.Row() >= MSFlexGrid1.FixedRows() && MSFlexGrid1.Row() < MSFlexGrid1.Rows();
}

}  // namespace lots
