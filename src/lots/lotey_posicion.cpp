#include "lots/lotey_posicion.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lots/lotes_sql.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "platform/vb/scope_guard.h"
#include "platform/vb/runtime.h"
#include "posting/lista_pipe.h"
#include "posting/tratamiento.h"
#include "posting/unidades.h"

#include <cmath>
#include <set>

namespace lots {

namespace {

const QString kAviso = QStringLiteral("Aviso al Operador");
const QString kAvisoPregunta = QStringLiteral("Aviso al Operador!!!");
const QString kAjustar = QStringLiteral("¿Desea Ajustar la Cantidad Solicitada en el Formulario?");

constexpr int kTeclaEnter = 13;
constexpr int kTeclaEsc = 27;
constexpr int kTeclaArriba = 38;
constexpr int kTeclaAbajo = 40;

long long Diezmilesimos(double v) { return std::llround(v * 10000.0); }

bool MismoTexto(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString TextoCantidad(double valor) {
    if (!std::isfinite(valor)) return QStringLiteral("0");
    QString s = QString::number(static_cast<double>(Diezmilesimos(valor)) / 10000.0, 'f', 4);
    while (s.endsWith(u'0')) s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
    if (s == QStringLiteral("-0")) s = QStringLiteral("0");
    return s;
}

double LeeCantidad(const QString& texto) { return core::gUtilTexto().ADoble(vb::Variant(texto.trimmed())); }

int ComparaCantidades(double a, double b) {
    const long long x = Diezmilesimos(a);
    const long long y = Diezmilesimos(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

LoteyPosicion::LoteyPosicion() {
    TxtEdit.SetVisible(false);
    MSFlexGrid1.SetFixedCols(0);
}

LoteyPosicion::~LoteyPosicion() = default;

const ui::TextMeasurer& LoteyPosicion::Medida() const {
    static const ui::FixedWidthMeasurer fija(120);
    return fija;
}

void LoteyPosicion::SetLblArticulo(const QString& caption) { MuestraEtiqueta(caption); }

void LoteyPosicion::Ocultar(bool aceptado) {
    aceptado_ = aceptado;
    oculto_ = true;
}

// ---- loading ----

void LoteyPosicion::CargaDatos() {
    // Every step runs even when an earlier one fails: the operator sees what was loaded.
    vb::OnError on = vb::OnError::SkipAll();
    // Lots without positions work as positions and lots: the lots are only known by position.
    on.run([&] { EsPosicionYLote = EsLote; });
    on.run([&] {
        QString titulo;
        if (EsPosicion && EsLote) titulo = QStringLiteral("Posiciones y Lotes (Deposito: ");
        else if (EsPosicion) titulo = QStringLiteral("Posiciones (Deposito: ");
        else if (EsLote) titulo = QStringLiteral("Números de Lote (Deposito: ");
        if (!titulo.isEmpty()) SetCaption(titulo + Deposito + QStringLiteral(")"));
    });
    on.run([&] { MuestraEtiqueta(vb::ProperCase(ArticuloDescripcion)); });
    on.run([&] { InicializaGrid(); });
    on.run([&] { VerificaAnteriores(); });
    on.run([&] {
        if (MSFlexGrid1.Rows() > MSFlexGrid1.FixedRows()) MSFlexGrid1.SetRow(MSFlexGrid1.Rows() - 1);
        MSFlexGrid1.SetCol(kColCantidad);
    });
    on.run([&] { AjustaAnchoColumnas(); });
}

void LoteyPosicion::InicializaGrid() {
    ui::FlexGrid& g = MSFlexGrid1;
    g.Clear();
    g.SetCols(5);
    g.SetRows(1);
    filaDeposito_ = -1;
    g.SetTextMatrix(0, kColPosicion, QStringLiteral("POSICION"));
    if (EsPosicionYLote) g.SetTextMatrix(0, kColLote, QStringLiteral("LOTE"));
    g.SetTextMatrix(0, kColUnidad, QStringLiteral("UNIDAD"));
    g.SetTextMatrix(0, kColDisponible, QStringLiteral("DISPONIBLE"));
    g.SetTextMatrix(0, kColCantidad, QStringLiteral("CANT."));
    g.SetColAlignment(kColPosicion, ui::flexAlignCenterTop);
    g.SetColAlignment(kColLote, ui::flexAlignCenterTop);
    if (!EsPosicionYLote) g.SetColWidth(kColLote, 0);
}

double LoteyPosicion::Convierte(const QString& unidadBase, double cantidad) const {
    // The balance is kept in its base unit; the grid shows it in the line's unit.
    const QString desde = unidadBase.trimmed();
    const QString hacia = IUNIDAD.trimmed();
    if (hacia.isEmpty() || desde.compare(hacia, Qt::CaseInsensitive) == 0) return cantidad;
    return posting::Stock::ConvierteCantidadEquiv(Articulo, desde, cantidad, hacia);
}

// The position rows (by lot, or without the lot column) and the deposit-level row.
void LoteyPosicion::CargaSaldos(bool conLote) {
    ui::FlexGrid& g = MSFlexGrid1;
    utillib::UtilTexto& util = core::gUtilTexto();
    data::DB_Dll& db = data::gDBPrincipal();
    ado::RecordsetPtr rs;
    vb::ScopeGuard cierra([&] {
        if (rs) db.CierraRecordset(rs);
    });
    posting::Abre(conLote ? SqlSaldosPorLote(Deposito, Articulo) : SqlSaldosPorPosicion(Deposito, Articulo), rs);
    for (; !rs->Eof(); rs->MoveNext()) {
        const int fila = g.Rows();
        g.SetRows(fila + 1);
        g.SetTextMatrix(fila, kColPosicion, util.ValorNoNulo(rs->Fields(QStringLiteral("idposicion"))).text().trimmed());
        if (conLote)
            g.SetTextMatrix(fila, kColLote, util.ValorNoNulo(rs->Fields(QStringLiteral("nrolote"))).text().trimmed());
        g.SetTextMatrix(fila, kColUnidad, IUNIDAD);
        const double disponible = util.ADoble(util.ValorNoNulo(rs->Fields(QStringLiteral("disponible"))));
        const QString base = util.ValorNoNulo(rs->Fields(QStringLiteral("idunidadbase"))).text();
        g.SetTextMatrix(fila, kColDisponible, TextoCantidad(Convierte(base, disponible)));
        g.SetTextMatrix(fila, kColCantidad, conLote ? QStringLiteral("0") : QString());
    }

    // The stock held without a position: every warehouse-level row, in the line's unit.
    posting::Abre(SqlSaldoDeposito(Deposito, Articulo), rs);
    if (rs->Eof()) return;
    double saldo = 0;
    for (; !rs->Eof(); rs->MoveNext())
        saldo += Convierte(util.ValorNoNulo(rs->Fields(QStringLiteral("IDUNIDADBASE"))).text(),
                           util.ADoble(util.ValorNoNulo(rs->Fields(QStringLiteral("SALDO")))));
    filaDeposito_ = g.Rows();
    g.SetRows(filaDeposito_ + 1);
    g.SetTextMatrix(filaDeposito_, kColPosicion, QStringLiteral("DEPOSITO ") + Deposito);
    g.SetTextMatrix(filaDeposito_, kColDisponible, TextoCantidad(saldo));
    g.SetTextMatrix(filaDeposito_, kColCantidad, QStringLiteral("0"));
}

void LoteyPosicion::VerificaAnteriores() {
    ui::FlexGrid& g = MSFlexGrid1;
    if (!EsConsultaDePosicionLote) {
        CargaSaldos(EsPosicionYLote);
        ProponeCantidades();
        return;
    }
    QStringList P, Q, L;
    bool decodificado = false;
    vb::OnError on(posting::Tratamiento("Cuenta_Series_Y_Lotes%"));
    on.run([&] {
        posting::ListaPipe::DescomponePosicionCantidadLote(PosicionesAnteriores, LotesAnteriores, P, Q, L);
        decodificado = true;
    });
    CargaSaldos(EsPosicionYLote);
    if (!decodificado) return;
    // Each earlier item fills the first row of its position (and lot) not filled yet; an item
    // without a position is the deposit-level row's; an item that matches no row is dropped.
    std::set<int> llenas;
    const int n = static_cast<int>(P.size()) - 1;
    for (int i = 0; i < n; ++i) {
        const QString lote = i < L.size() ? L[i] : QString();   // a short lots list reads as empty lots
        int destino = -1;
        if (P[i].trimmed().isEmpty()) {
            destino = filaDeposito_;
        } else {
            for (int r = g.FixedRows(); r < g.Rows(); ++r) {
                if (r == filaDeposito_ || llenas.count(r)) continue;
                if (!MismoTexto(g.TextMatrix(r, kColPosicion), P[i])) continue;
                if (EsPosicionYLote && !MismoTexto(g.TextMatrix(r, kColLote), lote)) continue;
                destino = r;
                break;
            }
        }
        if (destino < 0 || llenas.count(destino)) continue;
        g.SetTextMatrix(destino, kColCantidad, TextoCantidad(LeeCantidad(Q[i])));
        llenas.insert(destino);
    }
}

double LoteyPosicion::Disponible(int fila) const { return LeeCantidad(MSFlexGrid1.TextMatrix(fila, kColDisponible)); }

void LoteyPosicion::ProponeCantidades() {
    ui::FlexGrid& g = MSFlexGrid1;
    const int primera = g.FixedRows();
    if (g.Rows() <= primera) return;
    double resto = Cantidad1 > 0 ? Cantidad1 : 0;
    if (g.Rows() == primera + 1) {   // one place: it is proposed the whole quantity
        g.SetTextMatrix(primera, kColCantidad, TextoCantidad(resto));
        return;
    }
    for (int r = primera; r < g.Rows() && ComparaCantidades(resto, 0) > 0; ++r) {
        const double disponible = std::max(Disponible(r), 0.0);
        const double actual = LeeCantidad(g.TextMatrix(r, kColCantidad));
        if (ComparaCantidades(resto + actual, disponible) <= 0) {
            g.SetTextMatrix(r, kColCantidad, TextoCantidad(resto + actual));
            resto = 0;
        } else {
            g.SetTextMatrix(r, kColCantidad, TextoCantidad(disponible));
            resto = Cantidad1 - SumaFilas(-1);
        }
    }
}

void LoteyPosicion::AjustaAnchoColumnas() {
    ui::FlexGrid& g = MSFlexGrid1;
    for (int c = 0; c < g.Cols(); ++c) {
        qsizetype largo = 0;
        for (int r = 0; r < g.Rows(); ++r) largo = std::max(largo, g.TextMatrix(r, c).size());
        if (largo > 0) g.SetColWidth(c, Medida().TextWidth(QString(largo, u'X')));
    }
}

double LoteyPosicion::SumaFilas(int32_t MenosCual) const {
    double suma = 0;
    for (int r = MSFlexGrid1.FixedRows(); r < MSFlexGrid1.Rows(); ++r)
        if (r != MenosCual) suma += LeeCantidad(MSFlexGrid1.TextMatrix(r, kColCantidad));
    return suma;
}

bool LoteyPosicion::ValidaCantidadCantidadPedida() {
    bool igual = false;
    vb::OnError on(posting::Tratamiento(""));
    on.run([&] { igual = ComparaCantidades(SumaFilas(-1), Cantidad1) == 0; });
    return igual;
}

// ---- accept and cancel ----

// Every row by the editor's own rules; the first refused row becomes the current cell.
bool LoteyPosicion::ValidaFilas() {
    ui::FlexGrid& g = MSFlexGrid1;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const double cantidad = LeeCantidad(g.TextMatrix(r, kColCantidad));
        QString mensaje;
        if (ComparaCantidades(cantidad, 0) < 0) mensaje = QStringLiteral("La Cantidad no puede ser Menor a Cero");
        else if (ComparaCantidades(cantidad, Disponible(r)) > 0) mensaje = QStringLiteral("No hay disponible para esa posicion");
        if (mensaje.isEmpty()) continue;
        g.SetRow(r);
        g.SetCol(kColCantidad);
        ui::MsgBox(mensaje, ui::vbCritical, kAviso);
        return false;
    }
    return true;
}

void LoteyPosicion::CmdAceptar_Click() {
    EscribeEditor();   // what is typed and not yet in its cell counts
    if (!ValidaFilas()) return;
    if (!ValidaCantidadCantidadPedida()) {
        const double total = SumaFilas(-1);
        const bool supera = ComparaCantidades(total, Cantidad1) > 0;
        if (!supera && !MostrarForm) {
            ui::MsgBox(QStringLiteral("La suma de cantidades informadas es Menor a la cantidad solicitada "),
                       ui::vbInformation, kAvisoPregunta);
            return;
        }
        const QString pregunta =
            supera ? QStringLiteral("La suma de las cantidades Informadas, supera a la solicitada en el Formulario de "
                                    "Carga de Datos")
                   : QStringLiteral("La suma de las cantidades Informadas, Es Menor a la solicitada en el Formulario "
                                    "de Carga de Datos");
        if (ui::MsgBox(pregunta + QStringLiteral("\r\n") + kAjustar, ui::vbYesNo + ui::vbQuestion, kAvisoPregunta) !=
            vb::kYes) {
            ui::MsgBox(QStringLiteral("Debe Ajustar la suma de las cantidades a :") + TextoCantidad(Cantidad1),
                       ui::vbCritical, kAviso);
            return;
        }
        Cantidad1 = total;
    }
    Posiciones = ArmaLista(kColPosicion, true);
    if (EsPosicionYLote) Lotes = ArmaLista(kColLote, false);
    Ocultar(true);
}

QString LoteyPosicion::ArmaLista(int columna, bool conCantidad) const {
    const ui::FlexGrid& g = MSFlexGrid1;
    QString lista = QStringLiteral("|");
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const double cantidad = LeeCantidad(g.TextMatrix(r, kColCantidad));
        if (ComparaCantidades(cantidad, 0) == 0) continue;
        const QString codigo = r == filaDeposito_ ? QString() : g.TextMatrix(r, columna).trimmed();
        lista += conCantidad ? codigo + u'*' + TextoCantidad(cantidad) + u'|' : codigo + u'|';
    }
    return lista;
}

void LoteyPosicion::CmdCancelar_Click() { Ocultar(false); }

// ---- the in-cell editor ----

void LoteyPosicion::EscribeEditor() {
    if (!TxtEdit.Visible()) return;
    ui::FlexGrid& g = MSFlexGrid1;
    if (filaEditada_ >= g.FixedRows() && filaEditada_ < g.Rows() && colEditada_ >= 0 && colEditada_ < g.Cols())
        g.SetTextMatrix(filaEditada_, colEditada_, TxtEdit.Text());
    TxtEdit.SetVisible(false);
}

void LoteyPosicion::SubeSiCortada(ui::FlexGrid& grid) {
    // A grid that is shown and cuts the current cell off at the bottom scrolls by one row.
    if (grid.Height() > 0 && grid.Height() < grid.CellTop() + grid.CellHeight() && grid.TopRow() + 1 < grid.Rows())
        grid.SetTopRow(grid.TopRow() + 1);
}

void LoteyPosicion::MsflexGridEdt(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyAscii) {
    if (MsFlexGrid.Col() != kColCantidad) return;                 // the other columns are read-only
    if (MsFlexGrid.Row() < MsFlexGrid.FixedRows()) return;        // and so is the header row
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

void LoteyPosicion::Text_Propiedades(ui::TextBox& Texto, int32_t Col) {
    Texto.DataField.clear();
    Texto.Tag.clear();
    Texto.MaxLength = 25;
    if (Col == kColCantidad) {
        Texto.DataField = QStringLiteral("Cantidad");
        Texto.MaxLength = 0;
        Texto.Tag.clear();
    }
}

void LoteyPosicion::TxtEdit_KeyPress(int& KeyAscii) { core::gUtilControles().FiltraTecla(nullptr, KeyAscii); }

void LoteyPosicion::TxtEdit_KeyDown(int KeyCode, int Shift) {
    if (!core::gUtilControles().EsTeclaConfirmacion(KeyCode)) return;
    // Esc drops the text, so there is nothing to check: a refused quantity can always be left.
    if (KeyCode != kTeclaEsc) CampoValida(TxtEdit);
    else errorCampo_ = false;
    if (!errorCampo_) EditKeyCode(MSFlexGrid1, TxtEdit, KeyCode, 0);
    (void)Shift;
}

void LoteyPosicion::CampoValida(ui::TextBox& Texto) {
    errorCampo_ = false;
    ui::FlexGrid& g = MSFlexGrid1;
    const QString T = Texto.Text().trimmed();
    const QString F = Texto.DataField.trimmed();
    vb::OnError on(posting::Tratamiento("CampoValida"));
    if (F.compare(QStringLiteral("Cantidad"), Qt::CaseInsensitive) == 0) {
        on.run([&] {
            const double cantidad = LeeCantidad(T);
            QString mensaje;
            if (ComparaCantidades(cantidad, 0) < 0) mensaje = QStringLiteral("La Cantidad no puede ser Menor a Cero");
            else if (ComparaCantidades(cantidad, Disponible(g.Row())) > 0)
                mensaje = QStringLiteral("No hay disponible para esa posicion");
            if (mensaje.isEmpty()) return;
            ui::MsgBox(mensaje, ui::vbCritical, kAviso);
            errorCampo_ = true;
        });
        return;
    }
    on.run([&] {
        if (g.Row() != g.FixedRows()) return;
        g.SetText(T);
        CompletaTodoIgual();
    });
}

void LoteyPosicion::EditKeyCode(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyCode, int Shift) {
    (void)Shift;
    // An invalid call (5) is passed over; any other failure is asked about.
    vb::OnError on([trata = posting::Tratamiento("EditKeyCode")](const vb::Error& e) {
        return e.number() == vb::kErrInvalidProcedureCall ? static_cast<int>(vb::kIgnore) : trata(e);
    });
    // The grid takes the focus (writing the editor into its cell) before the cursor moves.
    const auto enfocaGrilla = [&] {
        on.run([&] {
            FocoGrilla();
            vb::DoEvents();
        });
    };
    switch (KeyCode) {
    case kTeclaEnter: {
        enfocaGrilla();
        const int ultima =
            MsFlexGrid.Name().trimmed().compare(QStringLiteral("msflexgrid1"), Qt::CaseInsensitive) == 0 ? kColCantidad : 0;
        on.run([&] {
            if (MsFlexGrid.Col() == ultima) {
                if (MsFlexGrid.Row() < MsFlexGrid.Rows() - 1) MsFlexGrid.SetRow(MsFlexGrid.Row() + 1);
                else FocoAceptar();
                if (EsPosicionYLote) MsFlexGrid.SetCol(kColCantidad);
            } else if (EsPosicionYLote) {
                MsFlexGrid.SetCol(MsFlexGrid.Col() + 1);
            }
        });
        break;
    }
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
            if (MsFlexGrid.Row() < MsFlexGrid.Rows() - 1) {
                MsFlexGrid.SetRow(MsFlexGrid.Row() + 1);
                MsFlexGrid.SetCol(0);
            }
        });
        break;
    default:
        break;
    }
    on.run([&] { SubeSiCortada(MsFlexGrid); });
}

void LoteyPosicion::CompletaTodoIgual() {
    vb::OnError on = vb::OnError::SkipAll();
    ui::FlexGrid& g = MSFlexGrid1;
    QString unidad;
    on.run([&] { unidad = g.TextMatrix(g.FixedRows(), kColUnidad).trimmed(); });
    for (int r = g.FixedRows(); r < g.Rows(); ++r)
        on.run([&] {
            if (g.TextMatrix(r, kColUnidad).trimmed().isEmpty()) g.SetTextMatrix(r, kColUnidad, unidad);
        });
}

// ---- the toolbar ----

void LoteyPosicion::Toolbar1_ButtonClick(int Index) {
    EscribeEditor();
    ui::FlexGrid& g = MSFlexGrid1;
    switch (Index) {
    case kBotonCopiar: {
        if (g.Col() != kColCantidad) return;
        const QString valor = g.Text().trimmed();
        for (int r = g.Row(); r < g.Rows(); ++r) g.SetTextMatrix(r, kColCantidad, valor);
        break;
    }
    case kBotonBlanquear:
        if (g.Col() != kColCantidad) return;
        for (int r = g.Row(); r < g.Rows(); ++r) g.SetTextMatrix(r, kColCantidad, QStringLiteral("0"));
        break;
    case kBotonProponer:
        for (int r = g.FixedRows(); r < g.Rows(); ++r) g.SetTextMatrix(r, kColCantidad, QStringLiteral("0"));
        ProponeCantidades();
        if (g.Rows() > g.FixedRows()) g.SetRow(g.Rows() - 1);
        g.SetCol(kColCantidad);
        break;
    default:
        break;
    }
}

}  // namespace lots
