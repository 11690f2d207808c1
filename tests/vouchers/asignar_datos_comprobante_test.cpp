// Stored vouchers of the demo database loaded into entry grids laid out by InicializaGrids: the
// cells of each pass, quantities pending and applied, amounts converted, the timber merge, and
// the grids growing after what they hold.
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"
#include "platform/ui/text_measurer.h"
#include "platform/vb/on_error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "vouchers/columnas_grillas.h"
#include "vouchers_db.h"
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "support/enesima_sentencia.h"
#include "support/responde.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace {

using namespace posting::art;
using testsupport::Responde;
namespace tar = vouchers::tar;
namespace otr = vouchers::otr;

// Statements for the test's own voucher 0001-00000099 (lines: article, quantity, IdReparto, ID).
QString Cabecera(const char* tc) {
    return QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, IdReparto, CondicionIVA) "
                          "VALUES ('%1', '000100000099R', 0, 1, 3, 1)").arg(QLatin1String(tc));
}
QString Linea(const char* tc, int id, const char* articulo, double cantidad, int reparto, const char* mas = "") {
    return QStringLiteral("INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, ID, IdArticulo, Cantidad, IdReparto, IdUnidad, "
                          "Importe, Nro_Lote, PALLETS) VALUES ('%1', '000100000099R', %2, '%3', %4, %5, 'KG', 1, %6)")
        .arg(QLatin1String(tc)).arg(id).arg(QLatin1String(articulo)).arg(cantidad).arg(reparto)
        .arg(*mas ? QLatin1String(mas) : QLatin1String("NULL, NULL"));
}
QString Aplicacion(const char* factura, const char* articulo, double cantidad) {
    return QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, ID, TCORIGEN, COMPROBANTEORIGEN) VALUES ('FC', "
                          "'%1', 1, 'RM', '000100000099R'); INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, ID, "
                          "IdArticulo, Cantidad) VALUES ('FC', '%1', 1, '%2', %3)")
        .arg(QLatin1String(factura), QLatin1String(articulo))
        .arg(cantidad);
}

class CargaTest : public voucherstest::VouchersTest {
protected:
    void SetUp() override {
        VouchersTest::SetUp();
        core::CargaConfiguracion(carpeta.path() + u'/');
        cpte = std::make_unique<posting::ClsCmnCptes>();
    }
    // Lays the grids out for the type and loads the voucher into them.
    void Carga(const QString& tc, const QString& nro, bool convertir = false, const QString& complemento = "0",
               bool compras = false, const QString& cuenta = {}, const QString& whr = {}, bool layout = true) {
        if (layout) {
            ASSERT_TRUE(cpte->InicializaGrids(&tareas, &articulos, &otros, &txt1, &txt2, &txt3, &medida, tc));
        }
        cpte->AsignarDatosComprobante(tc, nro, complemento, tareas, articulos, otros, false, &cabecera, compras, cuenta,
                                     &reparto, convertir, whr);
    }
    // The cells of a row, "|" between them.
    static std::string Celdas(const ui::FlexGrid& g, int fila, std::initializer_list<int> cols) {
        QStringList t;
        for (int c : cols) t << g.TextMatrix(fila, c);
        return t.join(u'|').toStdString();
    }
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    ui::FlexGrid tareas{"MSFlexGrid1"}, articulos{"MSFlexGrid2"}, otros{"MSFlexGrid3"};
    ui::TextBox txt1{"TxtEdit"}, txt2{"TxtEdit2"}, txt3{"TxtEdit3"};
    ui::FixedWidthMeasurer medida{100};
    ado::RecordsetPtr cabecera = ado::Recordset::Create();
    int32_t reparto = 0;
};

// Key, quantity, amount and master columns of an article row.
const std::initializer_list<int> kLinea = {
    IdArticulo, Descripcion, IdUnidad, Cantidad, RestoPorAplicar, IdListaPrecio, Precio, PrecioSinIVA, Total,
    TotalLinea, PrecioConIVA, CpteCargado, PideSerie, PideLote, DescripcionTipo, Presentacion, EnUnidadBase, CodigoBarra,
    TipoCoeficiente, PideEquivalencia};

TEST_F(CargaTest, DeliveryNoteDeliveredInPartsLoadsWhatIsPendingHandedOutOverItsLines) {
    Carga("RM", "000100000001R");
    EXPECT_EQ(articulos.Rows(), 5);
    EXPECT_EQ(tareas.Rows(), 2);   // no tasks, no other concepts: those grids as laid out
    EXPECT_EQ(otros.Rows(), 2);
    EXPECT_EQ(reparto, 7);
    const char* cheese = "QUESO-KG-1|Queso cremoso por kilo|KG|";
    EXPECT_EQ(Celdas(articulos, 1, kLinea), std::string(cheese) + "7|7|A3|175.69|145.2|1756.9|1756.9||000100000001R|0|0|"
                                                             "Mercadería|kg|-1||*|0");
    EXPECT_EQ(Celdas(articulos, 2, kLinea), "000123|Azúcar refinada 1 kg|UN|6|6|A3|66.62|55.06|399.72|399.72||"
                                            "000100000001R|0|0|Mercadería|1kg|0|7791234567890|*|0");
    EXPECT_EQ(Celdas(articulos, 3, {Cantidad, RestoPorAplicar}), "0|0");   // the first cheese line took all 7 kg pending
    EXPECT_EQ(Celdas(articulos, 1, {IdUnidadEquiv, CantidadEquiv, Coeficiente, IdUnidadBase, UnidadCargada, CantidadKG,
                                    EnComodato, IdDeposito}), "KG|1|1|KG|KG|1|0|");
    EXPECT_EQ(Celdas(articulos, 4, {IdArticulo}), "");
    EXPECT_EQ(cabecera->Fields("CUENTA").Value().text(), "C0001");   // the head, still open
}

TEST_F(CargaTest, QuantitiesPendingAndApplied) {
    struct Caso {
        const char* que;
        QStringList filas;
        int32_t reparto;            // IdRepartoRM on entry
        const char* esperado;       // column 7 and 23 of each line
    } casos[] = {
        {"4 of 10 applied", {Cabecera("RM"), Linea("RM", 1, "000123", 10, 0), Aplicacion("F1", "000123", 4)}, 0, "6/6"},
        {"12 of 10 applied", {Cabecera("RM"), Linea("RM", 1, "000123", 10, 0), Aplicacion("F1", "000123", 12)}, 0, "0/-2"},
        {"nothing applied, no application row", {Cabecera("RM"), Linea("RM", 1, "000123", 10, 0)}, 0, "10/10"},
        {"applications summed, handed out",
         {Cabecera("RM"), Linea("RM", 1, "000123", 10, 0), Linea("RM", 2, "000123", 5, 0), Aplicacion("F1", "000123", 4),
          Aplicacion("F2", "000123", 8)}, 0, "0/0 3/3"},
        {"a return", {Cabecera("RM"), Linea("RM", 1, "000123", -5, -1)}, 0, "-5/-5"},
        {"negated return", {Cabecera("RM"), Linea("RM", 1, "000123", -5, 0)}, -98, "5/-5"},
        {"negated quantity", {Cabecera("RM"), Linea("RM", 1, "000123", 5, 0)}, -98, "0/5"},
        {"pending capped", {Cabecera("FC"), Linea("FC", 1, "000123", 10, -1), Linea("FC", 2, "000123", 5, 0)}, 0,
         "10/10 5/5"},
        {"past the Currency range", {Cabecera("FC"), Linea("FC", 1, "000123", 1e20, 0)}, 0, "1E+20/1E+20"},
        {"order by pallets",
         {Cabecera("NP"), Linea("NP", 1, "000123", 4, 0, "'|L1|', 2"), Linea("NP", 2, "000789", 3, 0, "'|L2|', 1")}, 0,
         "3/3 4/4"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        SetUp();   // a fresh database for each case
        data::gDBPrincipal().gCnn()->Execute(c.filas.join(u'\n'));
        reparto = c.reparto;
        const QString tc = data::gDBPrincipal().gCnn()->Execute("SELECT TC FROM V_MV_CPTE WHERE IDCOMPROBANTE = "
                                                                "'000100000099R'")->Fields(0).Value().text().trimmed();
        Carga(tc == "NP" ? "np" : tc, "000100000099R");
        std::string filas;
        for (int f = 1; f < articulos.Rows() - 1; ++f)
            filas += (f > 1 ? " " : "") + Celdas(articulos, f, {Cantidad, RestoPorAplicar});
        std::replace(filas.begin(), filas.end(), '|', '/');
        EXPECT_EQ(filas, c.esperado);
        EXPECT_EQ(reparto, 3);
        if (tc == "NP") {
            EXPECT_EQ(Celdas(articulos, 1, {Lotes, Series, LoteOrigen, LoteAduana}), "|||");
        }
        TearDown();
    }
}

TEST_F(CargaTest, InvoiceInAnotherCurrencyWithTasksAndOtherConcepts) {
    const std::initializer_list<int> importes = {Precio, PrecioConIVA, PrecioSinIVA, Total, Impuestos,
                                                 Costo, ITC, TotalLinea, EsExento, TasaIVA,
                                                 Lotes, Series, LoteAduana, LoteOrigen, PideEquivalencia};
    const std::initializer_list<int> tarea = {tar::IdTarea, tar::CodigoOriginal, tar::Descripcion, tar::Horas,
                                              tar::ValorHora, tar::ValorHoraSinIVA, tar::Total, tar::ObservAdic,
                                              tar::FechaInicio, tar::IdTecnico, tar::Prioridad, tar::Usuario,
                                              tar::FhPresentacion, tar::NroExp};
    Carga("FC", "000100000020B", true);
    // Letter B: the price with VAT too, but not on the exempt line; every amount at 3.5.
    EXPECT_EQ(Celdas(articulos, 1, importes), "42|42|38.01|126|1.75|28|0|131.25|0|10.5||L0001|L0002|||2|1||LOTE|AR|-1");
    EXPECT_EQ(Celdas(articulos, 2, {Cantidad, Precio, PrecioConIVA, EsExento}), "2|70||-1");
    EXPECT_EQ(Celdas(tareas, 1, tarea), "INST|INST|Instalación|01:30|70.00|57.86|105.00|Molino de café|07/03/2008|T1|2|0|"
                                        "06/03/2008|EXP-0042");
    EXPECT_EQ(tareas.Rows(), 3);
    // The remark that is no concept stays out.
    EXPECT_EQ(Celdas(otros, 1, {otr::Detalle, otr::ImporteSinIVA, otr::Importe}), "Flete|35.00|42.35");
    EXPECT_EQ(otros.Rows(), 3);

    // As stored; and a head without a rate (Null or 0) converts at 1, as does one below 0 once asked about.
    Carga("FC", "000100000020B");
    EXPECT_EQ(Celdas(articulos, 1, {Precio, Total}) + Celdas(tareas, 1, {tar::ValorHora}), "12|3620.00");
    data::gDBPrincipal().gCnn()->Execute("UPDATE TA_CONFIGURACION SET VALOR = '.' WHERE CLAVE = 'SeparadorHora'");
    for (const char* cotizacion : {"NULL", "0", "-2"}) {
        data::gDBPrincipal().gCnn()->Execute(QStringLiteral("UPDATE V_MV_CPTE SET Cotizacion = %1 WHERE IDCOMPROBANTE = "
                                                            "'000100000020B'").arg(QLatin1String(cotizacion)));
        if (*cotizacion == '-') prompter.answer(vb::kIgnore, "Ha ocurrido el Siguiente Error (13)");
        Carga("FC", "000100000020B", true);
        EXPECT_EQ(Celdas(articulos, 1, {Precio, Total}) + Celdas(tareas, 1, {tar::Horas, tar::ValorHora}) +
                      Celdas(otros, 1, {otr::Importe}), "12|361.50|20.0012.10") << cotizacion;
    }
    EXPECT_TRUE(prompter.exhausted());
}

TEST_F(CargaTest, PurchaseVoucherByTheSuppliersAccount) {
    reparto = 5;
    Carga("FCC", "000200000123A", false, "", true, "P0001");
    EXPECT_EQ(reparto, 5);   // a type of the purchases system keeps the caller's value
    EXPECT_EQ(Celdas(articulos, 1, {IdArticulo, Cantidad, RestoPorAplicar, PrecioLista, CodigoArtProveedor, PorcDto,
                                    IdListaPrecio, TasaIVA, EnComodato, IdDeposito}), "000123|50|50|50|AZ-1000|||||");
    EXPECT_EQ(Celdas(tareas, 1, {tar::IdTarea, tar::Descripcion, tar::Horas, tar::ValorHora, tar::Total, tar::ObservAdic,
                                 tar::Prioridad, tar::Usuario}), "INST|Descarga|01:00|15.00|15.00|||");
    EXPECT_EQ(Celdas(otros, 1, {otr::Detalle, otr::ImporteSinIVA, otr::Importe}), "Flete|82.64|100.00");
    // Another supplier's voucher of the same number is not this one; a quote stays inside its literal.
    for (const char* cuenta : {"P0002", "P'1"}) {
        Carga("FCC", "000200000123A", false, "", true, cuenta);
        EXPECT_EQ(articulos.Rows() + tareas.Rows() + otros.Rows(), 6) << cuenta;
    }
}

TEST_F(CargaTest, TimberTradeMergesRepeatedLines) {
    core::gMaderera = true;
    core::gMadTiras = "KG";
    Carga("FC", "000100000030A");
    ASSERT_EQ(articulos.Rows(), 4);   // lines 1 and 2 in one row, line 3 apart
    EXPECT_EQ(Celdas(articulos, 1, {Cantidad, Coeficiente, LargoAnterior, CantidadEquiv, Precio, Total, PrecioSinIVA,
                                    TotalLinea, RestoPorAplicar, Espesor, Ancho, PideMedidas, UdPrecio, ImporteUd,
                                    CantidadKG}),
              "5|2.1|2.1|4|175.69|878.45|175.69|878.45|5|5|10|1|KG|175.69|4");
    EXPECT_EQ(Celdas(articulos, 2, {Cantidad, Espesor, Coeficiente}), "1|8|1");
    // Loaded again after what the grid holds: merged among its own lines only.
    Carga("FC", "000100000030A", false, "0", false, {}, {}, false);
    EXPECT_EQ(Celdas(articulos, 1, {Cantidad}) + "/" + Celdas(articulos, 3, {Cantidad, CpteCargado}), "5/5|000100000030A");
    EXPECT_EQ(articulos.Rows(), 6);
    // Lines that cancel out keep the row's prices; rows with lots are never merged.
    data::gDBPrincipal().gCnn()->Execute(
        "UPDATE V_MV_CPTEINSUMOS SET Cantidad = 0, Importe = 100 + ID - 1 WHERE IDCOMPROBANTE = '000100000030A' AND ID < 3;"
        "UPDATE V_MV_CPTEINSUMOS SET ESPESOR = 5, Nro_Lote = '|L1|' WHERE IDCOMPROBANTE = '000100000030A' AND ID = 3");
    Carga("FC", "000100000030A");
    EXPECT_EQ(Celdas(articulos, 1, {Cantidad, Coeficiente, Precio, Total}) + "/" + Celdas(articulos, 2, {Cantidad, Lotes}),
              "0|1.5|100|878.45/1||L1|");
    // Without measures the measure cells are not shown, white on white.
    data::gDBPrincipal().gCnn()->Execute("UPDATE MA_ARTICULOS SET PIDEMEDIDAS = 0");
    Carga("FC", "000100000030A");
    for (int col : {Espesor, Ancho, Coeficiente}) EXPECT_EQ(articulos.ForeColorAt(1, col), 0xFFFFFF) << col;
    EXPECT_EQ(Celdas(articulos, 1, {PideMedidas, Espesor}), "0|");
    core::gMaderera = false;
}

TEST_F(CargaTest, GridsGrowAfterTheLinesTheyHold) {
    Carga("FC", "000100000020B");
    for (ui::FlexGrid* g : {&tareas, &articulos, &otros}) g->SetTextMatrix(g->Rows() - 1, IdArticulo, "TECLEADA");
    Carga("FC", "000100000020B", false, "0", false, {}, {}, false);
    EXPECT_EQ(Celdas(articulos, 3, {IdArticulo}) + Celdas(articulos, 4, {IdArticulo, Cantidad}) +
                  Celdas(articulos, 6, {IdArticulo}), "TECLEADA000789|3");
    EXPECT_EQ(articulos.Rows(), 7);
    EXPECT_EQ(Celdas(tareas, 2, {tar::IdTarea}) + Celdas(tareas, 3, {tar::IdTarea}) + Celdas(otros, 2, {otr::Detalle}) +
                  Celdas(otros, 3, {otr::Detalle}),
              "TECLEADAINSTTECLEADAFlete");
    EXPECT_EQ(tareas.Rows() + otros.Rows(), 10);
}

TEST_F(CargaTest, KeysWithoutHeadsAndCountersPast16Bits) {
    // A complement left blank is 0; one that is not a whole number names no voucher: asked about,
    // nothing loaded. A quote stays inside the number's literal.
    for (const char* complemento : {"", " 0 ", "x", "1.0", "4294967296"}) {
        const bool entero = std::string_view(complemento).find_first_not_of(" 0") == std::string_view::npos;
        if (!entero) prompter.answer(vb::kIgnore, "Ha ocurrido el Siguiente Error (13)");
        Carga("FC", "000100000020B", false, complemento);
        EXPECT_EQ(articulos.Rows(), entero ? 4 : 2) << complemento;
    }
    EXPECT_TRUE(prompter.exhausted());
    Carga("FC", "0001'0020B");
    Carga("FC", "000100000020B", false, "0", false, {}, " AND IdTarea = 'XX'");   // the caller's task condition
    EXPECT_EQ(tareas.Rows(), 2);
    // A voucher whose head is gone: nothing loaded, the counter as it was, the head's recordset at its end.
    data::gDBPrincipal().gCnn()->Execute("DELETE FROM V_MV_CPTE WHERE IDCOMPROBANTE = '000100000020B';"
                                         "UPDATE V_MV_CPTE SET IdReparto = 40000 WHERE IDCOMPROBANTE = '000100000001R'");
    reparto = 11;
    Carga("FC", "000100000020B");
    EXPECT_EQ(articulos.Rows() + tareas.Rows() + otros.Rows() + reparto, 6 + 11);
    EXPECT_TRUE(cabecera->Eof());
    ado::RecordsetPtr ninguna;
    cpte->AsignarDatosComprobante("RM", "000100000001R", "0", tareas, articulos, otros, false, &ninguna, false, {},
                                  &reparto);
    EXPECT_EQ(reparto, 40000);
    EXPECT_FALSE(ninguna);
}

TEST_F(CargaTest, LeavingOnAnErrorKeepsTheRowsLoaded) {
    data::gDBPrincipal().gCnn()->Execute("DROP VIEW VT_V_MV_INSUMOS_APLICACION");
    prompter.answer(vb::kAbort, "Ha ocurrido el Siguiente Error").answer(vb::kAbort, "Ha ocurrido el Siguiente Error");
    Carga("RM", "000100000002R");
    EXPECT_NE(prompter.shown().back().title.indexOf("AsignarDatosPresupuesto"), -1);
    EXPECT_EQ(articulos.Rows(), 2);   // the first line's quantity failed: nothing after it
    EXPECT_EQ(Celdas(articulos, 1, {IdArticulo, Cantidad}), "|");
}

// Every row of a grid, all its cells; an empty row is "".
std::vector<std::string> TodasLasFilas(const ui::FlexGrid& g) {
    std::vector<std::string> filas;
    for (int f = g.FixedRows(); f < g.Rows(); ++f) {
        QStringList t;
        bool vacia = true;
        for (int c = 0; c < g.Cols(); ++c) {
            t << g.TextMatrix(f, c);
            vacia = vacia && t.last().trimmed().isEmpty();
        }
        filas.push_back(vacia ? std::string() : t.join(u'|').toStdString());
    }
    return filas;
}

// A voucher with tasks, articles and other concepts loaded with each of its statements refused
// once, under each answer: Retry loads it as a clean load does; passed over or abandoned, each
// line is whole or absent, in its order, never twice.
TEST_F(CargaTest, EveryStatementRefusedUnderEveryAnswerLoadsWholeLinesOnce) {
    data::DB_Dll& db = data::gDBPrincipal();
    const auto todas = [](const QString&) { return true; };
    const auto grillas = [&] { return std::vector{TodasLasFilas(tareas), TodasLasFilas(articulos), TodasLasFilas(otros)}; };
    // The clean load, counting its statements and queries (the grids' layout is set before).
    auto cuenta = std::make_shared<testsupport::EnesimaSentencia>(todas, 0, nullptr);
    ASSERT_TRUE(cpte->InicializaGrids(&tareas, &articulos, &otros, &txt1, &txt2, &txt3, &medida, "FC"));
    db.setConnectionCalls(cuenta);
    Carga("FC", "000100000020B", false, "0", false, {}, {}, false);
    db.setConnectionCalls(nullptr);
    const int sentencias = cuenta->cuenta;
    const auto limpias = grillas();
    ASSERT_GT(sentencias, 5);
    ASSERT_EQ(limpias[1].size(), 3u);   // two lines and the entry row

    for (int n = 1; n <= sentencias; ++n) {
        for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
            SCOPED_TRACE(testing::Message() << "statement " << n << ", answer " << respuesta);
            cpte = std::make_unique<posting::ClsCmnCptes>();
            ASSERT_TRUE(cpte->InicializaGrids(&tareas, &articulos, &otros, &txt1, &txt2, &txt3, &medida, "FC"));
            int preguntas = 0;
            {
                Responde responde(respuesta);
                db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                    todas, n, testsupport::Rechaza(QStringLiteral("rechazada"))));
                Carga("FC", "000100000020B", false, "0", false, {}, {}, false);
                db.setConnectionCalls(nullptr);
                preguntas = responde.preguntas;
            }
            ASSERT_LT(preguntas, 50);
            const auto cargadas = grillas();
            if (respuesta == vb::kRetry) {
                EXPECT_EQ(cargadas, limpias);
                continue;
            }
            // Each line whole, every cell as a clean load writes it, in its order, never twice.
            for (size_t k = 0; k < limpias.size(); ++k) {
                size_t desde = 0;
                for (const std::string& fila : cargadas[k]) {
                    if (fila.empty()) continue;
                    const auto it = std::find(limpias[k].begin() + static_cast<std::ptrdiff_t>(desde), limpias[k].end(), fila);
                    EXPECT_NE(it, limpias[k].end()) << "grid " << k << ": a line not whole, twice, or out of order: " << fila;
                    if (it == limpias[k].end()) break;
                    desde = static_cast<size_t>(it - limpias[k].begin()) + 1;
                }
            }
        }
    }
}
}  // namespace
