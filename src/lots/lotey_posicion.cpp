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

#include <cassert>
#include <cmath>
#include <set>

namespace lots {

namespace {

bool MismoTexto(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

}  // namespace

LoteyPosicion::LoteyPosicion() : GrillaLotes(QStringLiteral("Posiciones")) { MSFlexGrid1.SetFixedCols(0); }

LoteyPosicion::~LoteyPosicion() = default;

void LoteyPosicion::SetLblArticulo(const QString& caption) { MuestraEtiqueta(caption); }

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
    // The balances are loaded whole or not at all: a failure half way takes back the rows it added,
    // and so does a unit equivalence not read (its error told there): no balance is shown as 0.
    const int filasAntes = MSFlexGrid1.Rows();
    const auto quitaSaldos = [&, deposito = filaDeposito_]() noexcept {
        if (MSFlexGrid1.Rows() > filasAntes) MSFlexGrid1.SetRows(filasAntes);
        filaDeposito_ = deposito;
    };
    on.runUndoing(
        [&] {
            sinLeer_ = false;
            VerificaAnteriores();
            if (sinLeer_) quitaSaldos();
        },
        quitaSaldos);
    // The deposit-level row, when there is one, is a data row of the balances loaded.
    assert(filaDeposito_ == -1 || (filaDeposito_ >= MSFlexGrid1.FixedRows() && filaDeposito_ < MSFlexGrid1.Rows()));
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
    const vb::ReadResult<double> convertida = posting::Stock::ConvierteCantidadEquiv(Articulo, desde, cantidad, hacia);
    if (convertida.read()) return convertida.value();
    sinLeer_ = true;   // the balances are taken out of the grid: this 0 is never shown
    return 0;
}

// The position rows (by lot, or without the lot column) and the deposit-level row.
void LoteyPosicion::CargaSaldos(bool conLote) {
    ui::FlexGrid& g = MSFlexGrid1;
    utillib::UtilTexto& util = core::gUtilTexto();
    ado::RecordsetPtr rs;
    vb::ScopeGuard cierra([&] { posting::Cierra(rs); });
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
        if (!EsPosicion && !EsLote) return;   // nothing asked: nothing to propose
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

void LoteyPosicion::ProponeCantidades() { ProponeEn(kColDisponible, kColCantidad, Cantidad1); }

bool LoteyPosicion::ValidaCantidadCantidadPedida() { return SumaIgualA(kColCantidad, Cantidad1); }

// ---- accept and cancel ----

QString LoteyPosicion::RechazoCantidad(int fila, double q) const {
    if (ComparaCantidades(q, 0) < 0) return QStringLiteral("La Cantidad no puede ser Menor a Cero");
    if (ComparaCantidades(q, Disponible(fila)) > 0) return QStringLiteral("No hay disponible para esa posicion");
    return QString();
}

// A row taken from whose code holds a separator of the lists would split its item: the operator
// is told, and takes nothing from it.
bool LoteyPosicion::ValidaCodigos() {
    ui::FlexGrid& g = MSFlexGrid1;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        if (r == filaDeposito_ || ComparaCantidades(LeeCantidad(g.TextMatrix(r, kColCantidad)), 0) == 0) continue;
        for (const int col : {kColPosicion, kColLote}) {
            const QString codigo = g.TextMatrix(r, col);
            if (!codigo.contains(u'|') && !codigo.contains(u'*')) continue;
            RechazaCelda(r, kColCantidad, NoPuedeContener(QStringLiteral("| ni *")));
            return false;
        }
    }
    return true;
}

void LoteyPosicion::CmdAceptar_Click() {
    EscribeEditor();   // what is typed and not yet in its cell counts
    if (!ValidaCantidades(kColCantidad) || !ValidaCodigos()) return;
    if (!ValidaCantidadCantidadPedida() &&
        !AjustaCantidadPedida(Cantidad1, SumaFilas(-1), MostrarForm,
                              QStringLiteral("La suma de cantidades informadas es Menor a la cantidad solicitada ")))
        return;
    Posiciones = ArmaLista(kColPosicion, true);
    if (EsPosicionYLote) Lotes = ArmaLista(kColLote, false);
    Ocultar(true);
}

QString LoteyPosicion::ArmaLista(int columna, bool conCantidad) const {
    const ui::FlexGrid& g = MSFlexGrid1;
    QStringList items;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const double cantidad = LeeCantidad(g.TextMatrix(r, kColCantidad));
        if (ComparaCantidades(cantidad, 0) == 0) continue;
        const QString codigo = r == filaDeposito_ ? QString() : g.TextMatrix(r, columna).trimmed();
        // Checked at Accept: nothing above a row's balance, nor from a row whose code would split
        // its item.
        assert(RechazoCantidad(r, cantidad).isEmpty() && !codigo.contains(u'|') && !codigo.contains(u'*'));
        items << (conCantidad ? codigo + u'*' + TextoCantidad(cantidad) : codigo);
    }
    return posting::ListaPipe::ArmaLista(items);
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

void LoteyPosicion::CampoValida(ui::TextBox& Texto) {
    errorCampo_ = false;
    ui::FlexGrid& g = MSFlexGrid1;
    const QString T = Texto.Text().trimmed();
    const QString F = Texto.DataField.trimmed();
    if (F.compare(QStringLiteral("Cantidad"), Qt::CaseInsensitive) == 0) {
        ValidaCantidadEditor(T);
        return;
    }
    vb::OnError on(posting::Tratamiento("CampoValida"));
    on.run([&] {
        if (g.Row() != g.FixedRows()) return;
        g.SetText(T);
        CompletaTodoIgual();
    });
}

void LoteyPosicion::MueveConEnter(ui::FlexGrid& MsFlexGrid) {
    const int ultima =
        MsFlexGrid.Name().trimmed().compare(QStringLiteral("msflexgrid1"), Qt::CaseInsensitive) == 0 ? kColCantidad : 0;
    if (MsFlexGrid.Col() == ultima) {
        if (MsFlexGrid.Row() < MsFlexGrid.Rows() - 1) MsFlexGrid.SetRow(MsFlexGrid.Row() + 1);
        else FocoAceptar();
        if (EsPosicionYLote) MsFlexGrid.SetCol(kColCantidad);
    } else if (EsPosicionYLote) {
        MsFlexGrid.SetCol(MsFlexGrid.Col() + 1);
    }
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
        if (g.Col() != kColCantidad || !FilaActualDeDatos()) return;
        const QString valor = g.Text().trimmed();
        for (int r = g.Row(); r < g.Rows(); ++r) g.SetTextMatrix(r, kColCantidad, valor);
        break;
    }
    case kBotonBlanquear:
        if (g.Col() != kColCantidad || !FilaActualDeDatos()) return;   // never the header
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
