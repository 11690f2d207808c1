// What the voucher entry window shows beside its grids: the totals grid, the current line's
// detail in the status bar, and rows or columns painted in a colour.
#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lots/cantidades.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/tab_strip.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/tratamiento.h"
#include "vouchers/columnas_grillas.h"
#include "vouchers/lineas.h"

#include <algorithm>
#include <cmath>

namespace posting {

namespace {

constexpr long kTotalDeSolapa = 0xC0FFFF;   // pale yellow: the total row of each tab
constexpr long kDesglose = 0xC0E0FF;        // pale orange: the break-down rows
constexpr long kFilaFinal = 0xFF0000;       // blue: the empty row left at the end

enum Solapa : int { kTareas = 0, kArticulos = 1, kOtrosConceptos = 2 };

// Two quantities added; a sum beyond a Double's range is an overflow (6), never "Infinity".
double Suma(double a, double b) {
    const double suma = a + b;
    if (!std::isfinite(suma)) vb::Raise(vb::kErrOverflow);
    return suma;
}

// The grid of a visible tab: the window must give it.
ui::FlexGrid& DeSolapa(ui::FlexGrid* g) {
    if (!g) vb::Raise(vb::kErrObjectNotSet);
    return *g;
}

// The break-down of the articles: the key column and where its description is.
struct Desglose {
    int columna;
    const char* tabla;   // null: the key alone is shown
    const char* campo;
};
Desglose DesgloseElegido(bool porRubro, bool porTipo) {
    if (porRubro) return {art::RubroArticulo, "V_ta_Rubros", "IdRubro"};
    if (porTipo) return {art::TipoArticulo, "V_ta_TipoArticulo", "IdTipo"};
    return {art::IdArticulo, nullptr, nullptr};
}

// Each section writes the totals grid's last row, paints it and adds the row the next one writes.
void CierraFila(ClsCmnCptes& cpte, ui::FlexGrid& tot, long color) {
    cpte.PintarFila(tot.Rows() - 1, tot, color);
    tot.SetRows(tot.Rows() + 1);
}

// The tasks tab's row: its lines and their time. Minutes are added whatever the time separator;
// the total reads hours:minutes.
void TotalTareas(ClsCmnCptes& cpte, ui::FlexGrid* grilla, ui::FlexGrid& tot, ui::TabStrip& solapas) {
    using namespace vouchers;
    ui::FlexGrid& g = DeSolapa(grilla);
    int64_t minutos = 0;
    int32_t lineas = 0;
    for (int fila = 1; fila < g.Rows(); ++fila) {
        if (!LineaLlena(g, fila)) continue;
        minutos += vb::CLng(core::ConvierteAMinutos(g.TextMatrix(fila, tar::Horas), QStringLiteral("HHHH"),
                                                    QStringLiteral("MM"), true));
        ++lineas;
    }
    const int r = tot.Rows() - 1;
    tot.SetTextMatrix(r, tot::Descripcion, solapas.TabCaption(kTareas));
    tot.SetTextMatrix(r, tot::Items, QString::number(lineas));
    tot.SetTextMatrix(r, tot::Cantidad, QString::number(minutos / 60) + u':' + QString::number(minutos % 60));
    CierraFila(cpte, tot, kTotalDeSolapa);
}

// The articles tab's row: its lines and their quantity; core::gListaGlobal gathers the quantity
// by the break-down's key, entry 0 the lines with an empty key (always shown first). hayLineas
// turns true at the first line.
void TotalArticulos(ClsCmnCptes& cpte, ui::FlexGrid* grilla, ui::FlexGrid& tot, ui::TabStrip& solapas,
                    const Desglose& desglose, bool& hayLineas) {
    using namespace vouchers;
    ui::FlexGrid& g = DeSolapa(grilla);
    core::gListaGlobal.assign(1, core::EntradaListaGlobal{});
    hayLineas = false;
    int32_t lineas = 0;
    double total = 0;
    for (int fila = 1; fila < g.Rows(); ++fila) {
        if (!LineaLlena(g, fila)) continue;
        hayLineas = true;
        const QString clave = vb::Trim(g.TextMatrix(fila, desglose.columna));
        const double cantidad = lots::LeeCantidad(g.TextMatrix(fila, art::Cantidad));
        const long i = core::BuscaEnListaGlobal(clave);
        if (i < 0) {
            core::gListaGlobal.push_back({clave, lots::TextoCantidad(cantidad)});
        } else {
            QString& acumulado = core::gListaGlobal[static_cast<size_t>(i)].Valor;
            acumulado = lots::TextoCantidad(Suma(cantidad, lots::LeeCantidad(acumulado)));
        }
        total = Suma(total, cantidad);
        ++lineas;
    }
    const int r = tot.Rows() - 1;
    tot.SetTextMatrix(r, tot::Descripcion, solapas.TabCaption(kArticulos));
    tot.SetTextMatrix(r, tot::Items, QString::number(lineas));
    tot.SetTextMatrix(r, tot::Cantidad, lots::TextoCantidad(total));
    CierraFila(cpte, tot, kTotalDeSolapa);
}

// One break-down row: the key, with its description when the break-down names a table (a
// description not read, the lookup having asked, is left out), and its quantity.
void FilaDesglose(ClsCmnCptes& cpte, ui::FlexGrid& tot, const core::EntradaListaGlobal& e, const Desglose& desglose) {
    using namespace vouchers;
    QString texto = e.Clave;
    if (desglose.tabla) {
        const QString valor = vb::Trim(core::gUtilTexto().Reemplaza(e.Clave, vb::Chr(255), vb::Chr(0)));
        const vb::ReadResult<vb::Variant> descripcion = data::gDBPrincipal().DatosTabla(
            QString::fromLatin1(desglose.tabla), vb::Variant(valor), QStringLiteral("Descripcion"),
            QString::fromLatin1(desglose.campo), 8, QString(), true, false);
        if (descripcion.read()) texto += u'-' + descripcion.value().text();
    }
    const int r = tot.Rows() - 1;
    tot.SetTextMatrix(r, tot::Descripcion, texto);
    tot.SetTextMatrix(r, tot::Cantidad, e.Valor);
    CierraFila(cpte, tot, kDesglose);
}

// The other concepts tab's row: its lines.
void TotalOtrosConceptos(ClsCmnCptes& cpte, ui::FlexGrid* grilla, ui::FlexGrid& tot, ui::TabStrip& solapas) {
    using namespace vouchers;
    const int32_t lineas = LineasLlenas(&DeSolapa(grilla));
    const int r = tot.Rows() - 1;
    tot.SetTextMatrix(r, tot::Descripcion, solapas.TabCaption(kOtrosConceptos));
    tot.SetTextMatrix(r, tot::Items, QString::number(lineas));
    CierraFila(cpte, tot, kTotalDeSolapa);
}

}  // namespace

void ClsCmnCptes::TotalizadorControl(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                                     ui::FlexGrid& MSFlexGrid4, ui::TabStrip& SSTab1, bool AbiertoPorRubro,
                                     bool AbiertoPorTipo) {
    ui::FlexGrid& tot = MSFlexGrid4;
    vb::OnError on(Tratamiento("TotalizadorControl"));
    auto visible = [&](int solapa) {
        bool v = false;
        on.run([&] { v = SSTab1.TabVisible(solapa); });
        return v;
    };

    on.run([&] { tot.SetRows(2); });
    if (visible(kTareas)) on.run([&] { TotalTareas(*this, MSFlexGrid1, tot, SSTab1); });
    if (visible(kArticulos)) {
        const Desglose desglose = DesgloseElegido(AbiertoPorRubro, AbiertoPorTipo);
        bool hayLineas = false;
        on.run([&] { TotalArticulos(*this, MSFlexGrid2, tot, SSTab1, desglose, hayLineas); });
        if (hayLineas) {
            for (size_t i = 0; i < core::gListaGlobal.size(); ++i)
                on.run([&] { FilaDesglose(*this, tot, core::gListaGlobal[i], desglose); });
        }
    }
    if (visible(kOtrosConceptos)) on.run([&] { TotalOtrosConceptos(*this, MSFlexGrid3, tot, SSTab1); });
    on.run([&] { PintarFila(tot.Rows() - 1, tot, kFilaFinal); });
}

void ClsCmnCptes::MuestraDetalle(const QString& Detalle, ui::StatusBar& StatB, int32_t Columna) {
    StatB.SetPanelText(Columna, Detalle);
}

void ClsCmnCptes::MuestraDetalleTareas(ui::FlexGrid& MSFlexGrid1, ui::StatusBar& StatB) {
    const int fila = MSFlexGrid1.Row();
    MuestraDetalle(vb::Trim(MSFlexGrid1.TextMatrix(fila, vouchers::tar::IdTarea)) + QStringLiteral(" - ") +
                       vb::Trim(MSFlexGrid1.TextMatrix(fila, vouchers::tar::Descripcion)),
                   StatB);
}

void ClsCmnCptes::MuestraDetalleOtrosConceptos(ui::FlexGrid& MSFlexGrid3, ui::StatusBar& StatB) {
    MuestraDetalle(vb::Trim(MSFlexGrid3.TextMatrix(MSFlexGrid3.Row(), vouchers::otr::Detalle)), StatB);
}

void ClsCmnCptes::MuestraDetalleArticulos(ui::FlexGrid& MSFlexGrid2, ui::StatusBar& StatB, int32_t Columna) {
    ui::FlexGrid& g = MSFlexGrid2;
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] {
        MuestraDetalle(vb::Trim(g.TextMatrix(g.Row(), art::IdArticulo)) + QStringLiteral(" - ") +
                           vb::Trim(g.TextMatrix(g.Row(), art::Descripcion)),
                       StatB, Columna);
    });
    on.run([&] {
        for (int i = 1; i <= StatB.Count(); ++i) {
            if (StatB.Panels(i).Key.compare(QStringLiteral("Stock"), Qt::CaseInsensitive) != 0) continue;
            StatB.SetPanelText(i, QStringLiteral("Stock: ") +
                                      lots::TextoCantidad(lots::LeeCantidad(g.TextMatrix(g.Row(), art::StockDisponible))));
            return;
        }
    });
}

void ClsCmnCptes::PintarFila(int32_t Fila, ui::FlexGrid& MsFlexGrid, long Color) {
    const int col = MsFlexGrid.Col();
    for (int c = 0; c < MsFlexGrid.Cols(); ++c) {
        MsFlexGrid.SetCol(c);
        MsFlexGrid.SetRow(Fila);
        MsFlexGrid.SetCellBackColor(Color);
    }
    MsFlexGrid.SetCol(col);
}

void ClsCmnCptes::PintarColuma(int32_t Columna, ui::FlexGrid& MsFlexGrid, int32_t FilaDesde, int32_t FilaHasta,
                               long Color) {
    vb::OnError on = vb::OnError::SkipAll();
    const int fila = MsFlexGrid.Row();
    // Rows outside the grid would each fail and be passed over: they are left out at once.
    const int desde = std::max(FilaDesde == -1 ? 0 : FilaDesde, 0);
    const int hasta = std::min(FilaHasta == -1 ? MsFlexGrid.Rows() - 1 : FilaHasta, MsFlexGrid.Rows() - 1);
    for (int r = desde; r <= hasta; ++r) {
        on.run([&] {
            MsFlexGrid.SetCol(Columna);
            MsFlexGrid.SetRow(r);
            MsFlexGrid.SetCellBackColor(Color);
        });
    }
    on.run([&] { MsFlexGrid.SetRow(fila); });
}

}  // namespace posting
