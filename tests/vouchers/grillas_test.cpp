// What the entry window does with an invoice's grids: line limits (the demo's printed forms hold
// 10 lines for FC A and any number for FC B), counts, repeated codes, the totals grid under a
// real tab control, the detail panels of a status bar, painted rows and columns.
#include "vouchers_db.h"

#include "platform/ui/status_bar.h"
#include "platform/ui/tab_strip.h"
#include "posting/columnas_articulos.h"

#include <QTabWidget>

namespace {

using namespace voucherstest;
using namespace posting::art;

TEST_F(VouchersTest, LineLimitCountsRepeatedCodesAndFractions) {
    Grillas g;   // 8 filled lines; a blank code counts nowhere
    Llena(g.tareas, {{"T1"}, {""}, {"T2"}});
    Llena(g.articulos, {{"A1", "1.5"}, {"  ", "7"}, {"A2", "1.5"}, {"A3", "1"}}, {0, Cantidad});
    Llena(g.otros, {{"O1"}, {"O2"}, {"O3"}});
    posting::ClsCmnCptes cpte;
    // tc, letter, grids, lines to add, limit given, previous (-1: the limit given), fits, limit, used
    for (const auto& [tc, letra, grillas, agregar, dado, previas, cabe, limite, usadas] :
         std::vector<std::tuple<const char*, const char*, bool, int, int, int, bool, int, int>>{
             {"FC", "A", true, 2, 0, 0, true, 10, 8}, {"FC", "A", true, 3, 0, 0, false, 10, 8},
             {"FC", "B", true, 50, 3, 0, true, 0, -7}, {"F'C", "A", true, 99, 3, 0, true, 0, -7},
             {"FC", "A", false, 11, 0, 0, false, 10, 0}, {"XX", "X", true, 0, 100000, -1, true, 100000, 8}}) {
        int32_t l = dado, u = -7;
        ui::FlexGrid* t = grillas ? &g.tareas : nullptr;
        EXPECT_EQ(cpte.ValidaCantidadLineasCpte(tc, letra, t, t ? &g.articulos : nullptr, t ? &g.otros : nullptr, &l,
                                                &u, agregar, previas),
                  cabe) << tc << letra << agregar;
        EXPECT_EQ(std::pair(l, u), std::pair(limite, usadas)) << tc << letra << agregar;
    }
    // The quantities added, then rounded once, halves to even: 1.5 + 1.5 + 1 is 4, 0.5 + 0.5 is 1.
    int32_t t = 0, a = 0, o = 0, unidades = 0;
    EXPECT_EQ(cpte.CuentaItems(&g.tareas, &g.articulos, &g.otros, &t, &a, &o, &unidades), 8);
    EXPECT_EQ(std::tuple(t, a, o, unidades), std::tuple(2, 3, 3, 4));
    Llena(g.articulos, {{"A1", "0.5"}, {"A2", "0.5"}}, {0, Cantidad});
    EXPECT_EQ(cpte.CuentaItems(nullptr, &g.articulos, nullptr, nullptr, nullptr, nullptr, &unidades), 2);
    EXPECT_EQ(unidades, 1);

    // The same search in each grid: trimmed, case ignored, the row being edited passed over.
    for (ui::FlexGrid* grilla : {&g.tareas, &g.articulos, &g.otros}) Llena(*grilla, {{"abc"}, {""}, {"ABC "}, {" x"}});
    for (const auto& [codigo, ignorar, fila] : std::vector<std::tuple<const char*, int, int>>{
             {"ABC", -1, 1}, {" abc", 1, 3}, {"x", 4, -5}, {"", -1, 2}}) {
        int32_t f[3] = {-5, -5, -5};
        const bool halladas[3] = {cpte.TareaRepetida(g.tareas, codigo, ignorar, &f[0]),
                                  cpte.ArticuloRepetido(g.articulos, codigo, ignorar, &f[1]),
                                  cpte.OtrosConceptosRepetidos(g.otros, codigo, ignorar, &f[2])};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(std::pair(halladas[i], f[i]), std::pair(fila != -5, fila)) << codigo;
    }
    // Any number, not only those of 16 bits.
    for (const auto& [numero, fraccion] : {std::pair<vb::Variant, bool>{-3.7, true}, {4, false}, {40000.5, true},
                                           {1e12, false}, {"2,5", true}, {vb::Variant(vb::Null), false}})
        EXPECT_EQ(cpte.NumeroEsFraccion(numero), fraccion) << numero.text().toStdString();

    Ejecuta("DROP TABLE TA_CONFIG_IMP_CPTE");   // told, and not taken as fitting
    prompter.answer(3).answer(3, "Ha ocurrido el Siguiente Error");
    EXPECT_FALSE(cpte.ValidaCantidadLineasCpte("FC", "A", &g.tareas, &g.articulos, &g.otros));
    EXPECT_TRUE(prompter.exhausted() && prompter.shown().back().title.contains("ValidaCantidadLineasCpte"));
}

TEST_F(VouchersTest, TotalsPerVisibleTabWithEachBreakDown) {
    Ejecuta("UPDATE TA_CONFIGURACION SET VALOR = '.' WHERE CLAVE = 'SeparadorHora'");   // hours total all the same
    Grillas g;
    Llena(g.tareas, {{"T1", "Instalación", "1:45"}, {"", "", "5"}, {"T2", "Ajuste", "0:30"}});
    Llena(g.articulos, {{"A1", "1", "MER", "FRE"}, {"A2", "2", "ENV", "ALM"}, {"", "9", "MER", "FRE"},
                        {"A3", "3", "mer ", "fre"}, {"A4", "0.5", "MER", ""}},
          {IdArticulo, Cantidad, TipoArticulo, RubroArticulo});
    Llena(g.otros, {{"Flete"}, {"Seguro"}});
    QTabWidget ventana;
    for (const char* t : {"&Tareas", "&Artículos", "&Otros Conceptos"}) ventana.addTab(new QWidget, QString::fromUtf8(t));
    ui::QtTabStrip solapas(&ventana);
    // visible tabs, by category, by type; rows: description|items|quantity|back colour
    const std::tuple<QString, bool, bool, const char*> casos[] = {
        {"111", true, true,
         "&Tareas|2|2:15|c0ffff &Artículos|4|6.5|c0ffff -||0.5|c0e0ff FRE-Frescos||4|c0e0ff ALM-Almacén||2|c0e0ff "
         "&Otros Conceptos|2||c0ffff |||ff0000"},
        {"011", false, true,
         "&Artículos|4|6.5|c0ffff -|||c0e0ff MER-Mercadería||4.5|c0e0ff ENV-Envase||2|c0e0ff &Otros Conceptos|2||c0ffff "
         "|||ff0000"},
        {"010", false, false,   // neither flag: one row per article, no lookup
         "&Artículos|4|6.5|c0ffff |||c0e0ff A1||1|c0e0ff A2||2|c0e0ff A3||3|c0e0ff A4||0.5|c0e0ff |||ff0000"},
        {"001", false, false, "&Otros Conceptos|2|6.5|c0ffff |||ff0000"},
        {"000", false, false, "&Otros Conceptos|2|6.5|ff0000"},
    };
    posting::ClsCmnCptes cpte;
    for (const auto& [visibles, porRubro, porTipo, esperadas] : casos) {
        for (int i = 0; i < 3; ++i) ventana.setTabVisible(i, visibles[i] == u'1');
        cpte.TotalizadorControl(visibles[0] == u'1' ? &g.tareas : nullptr, &g.articulos, &g.otros, g.totales,
                                solapas, porRubro, porTipo);   // a hidden tab's grid is not read
        QStringList filas;
        for (int r = 1; r < g.totales.Rows(); ++r) {
            const long color = g.totales.BackColorAt(r, 0);   // the whole row's
            const bool entera = g.totales.BackColorAt(r, 1) == color && g.totales.BackColorAt(r, 2) == color;
            filas << QStringList{g.totales.TextMatrix(r, 0), g.totales.TextMatrix(r, 1), g.totales.TextMatrix(r, 2),
                                 QString::number(color, 16) + (entera ? "" : "?")}.join(u'|');
        }
        EXPECT_EQ(filas.join(u' ').toStdString(), esperadas);
    }
    EXPECT_TRUE(prompter.shown().empty());

    ventana.setTabVisible(1, true);   // a total beyond a Double's range is an overflow, not "Infinity"
    Llena(g.articulos, {{"A1", "1e308"}, {"A1", "1e308"}}, {IdArticulo, Cantidad});
    prompter.answer(5, "Ha ocurrido el Siguiente Error (6)");
    cpte.TotalizadorControl(nullptr, &g.articulos, nullptr, g.totales, solapas, false, false);
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(g.totales.TextMatrix(2, 2), QStringLiteral("1E+308"));   // the break-down's first line
}

TEST_F(VouchersTest, DetailPanelsAndPaintedRowsAndColumns) {
    Grillas g;
    Llena(g.tareas, {{" T1 ", " Instalación "}});
    Llena(g.otros, {{" Flete "}});
    Llena(g.articulos, {{"A1", "Azúcar", "12.5"}, {"A2", "Café", "x"}}, {IdArticulo, Descripcion, StockDisponible});
    for (ui::FlexGrid* grilla : {&g.tareas, &g.otros, &g.articulos}) grilla->SetRow(1);
    ui::StatusBar barra;
    for (const char* k : {"p1", "p2", "p3", "p4", "p5", "Stock"}) barra.AddPanel(QString::fromLatin1(k));
    posting::ClsCmnCptes cpte;
    cpte.MuestraDetalleTareas(g.tareas, barra);
    EXPECT_EQ(barra.Text("p4"), QStringLiteral("T1 - Instalación"));
    cpte.MuestraDetalleArticulos(g.articulos, barra, 2);
    cpte.MuestraDetalleOtrosConceptos(g.otros, barra);
    auto paneles = [&] {
        return QStringList{barra.Panels(2).Text, barra.Panels(4).Text, barra.Panels(6).Text}.join(u'/').toStdString();
    };
    EXPECT_EQ(paneles(), "A1 - Azúcar/Flete/Stock: 12.5");
    g.articulos.SetRow(2);
    cpte.MuestraDetalleArticulos(g.articulos, barra);
    EXPECT_EQ(paneles(), "A1 - Azúcar/A2 - Café/Stock: 0");
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { cpte.MuestraDetalle("x", barra, 7); }), 35600);
    ui::StatusBar vacia;
    cpte.MuestraDetalleArticulos(g.articulos, vacia);   // no panel 4, no stock panel: nothing raised

    ui::FlexGrid& t = g.totales;
    t.SetRows(4);
    t.SetCol(2);
    cpte.PintarFila(2, t, 0x0000FF);
    EXPECT_EQ(std::pair(t.Row(), t.Col()), std::pair(2, 2));
    cpte.PintarColuma(1, t);                    // header included
    EXPECT_EQ(std::pair(t.Row(), t.Col()), std::pair(2, 1));
    cpte.PintarColuma(2, t, 3, 2, 0xFF00FF);    // nothing
    cpte.PintarColuma(0, t, 3, 99, 0xFFFF00);   // as far as the grid goes
    QStringList colores;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) colores << QString::number(t.BackColorAt(r, c), 16);
    EXPECT_EQ(colores.join(u' '), QStringLiteral("0 ffff 0 0 ffff 0 ff ffff ff ffff00 ffff 0"));
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { cpte.PintarFila(4, t); }), ui::kErrFlexInvalidRow);
}

}  // namespace
