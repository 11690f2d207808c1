// The voucher grids' layout, per grid and per mode, against the columns the fillers and readers
// rely on: headers, widths ("n X" at 100 twips a character) and alignments; and the in-cell
// editors' field, length and source per column.
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"
#include "platform/ui/text_measurer.h"
#include "platform/vb/error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "data/db_dll.h"
#include "platform/vb/on_error.h"
#include "posting_db.h"
#include "support/enesima_sentencia.h"
#include "support/responde.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

namespace {

using Anchos = std::map<int, long>;        // the columns shown, with their widths; the others are 0
using Titulos = std::map<int, QString>;    // headers, by column; the others are blank

const ui::FixedWidthMeasurer kMedida(100);

// The grid's layout against the expected one; a second layout of the same grid must give the same.
void Compara(const ui::FlexGrid& g, int columnas, const Anchos& anchos, const Titulos& titulos,
             std::initializer_list<int> alineadas) {
    ASSERT_EQ(g.Cols(), columnas);
    for (int c = 0; c < columnas; ++c) {
        const auto a = anchos.find(c);
        const auto t = titulos.find(c);
        const bool alineada = std::find(alineadas.begin(), alineadas.end(), c) != alineadas.end();
        EXPECT_EQ(g.ColWidth(c), a == anchos.end() ? 0 : a->second) << "column " << c;
        EXPECT_EQ(g.TextMatrix(0, c), t == titulos.end() ? QString() : t->second) << "column " << c;
        EXPECT_EQ(g.ColAlignment(c), alineada ? ui::flexAlignLeftCenter : ui::flexAlignGeneral) << "column " << c;
    }
}

// The articles grid's headers for a voucher not of system STOCK, without timber trade, equivalent
// units or the lot columns of DVPE.
Titulos TitulosArticulos() {
    const char* t[posting::art::kColumnas] = {
        "Código", "Descripción", "Lista", "", "", "UD", "Dep.", "Cant.", "AuxCoeficiente", "", "", "% Dto.", "", "",
        "Importe", "Total", "AuxEsExento", "AuxPrecioSinIVA", "TOTAL", "AuxPideSerie", "AuxPidelote", "AuxNroLote",
        "AuxNroSerie", "AuxRestoPorAplicar", "AuxTipoArticulo", "AuxRubroArticulo", "AuxListaConIVA",
        "AuxPrecioConIVA", "AuxCantidadInsumo", "AuxImporteDescuentoArticulo", "AuxTipoCoeficiente",
        "AuxStockDisponible", "AuxStockMinimo", "AuxTasaIVA", "AuxCpteOrigen", "AuxIdCpteOrigen", "Lote_Origen",
        "Lote_Aduana", "", "", "Impuestos"};
    Titulos r;
    for (int c = 0; c < posting::art::kColumnas; ++c)
        if (t[c]) r[c] = QString::fromUtf8(t[c]);
    const char* cola[] = {"PideMedidas", "LargoAnt", "", "", "", "EnComodato", "MKBaseFamilia", "CodError", "Moneda",
                          "Cotizacion", "ITC", "", "AuxCodigoPercepcion"};   // columns 83 to 95
    for (int i = 0; i < 13; ++i) r[83 + i] = QString::fromUtf8(cola[i]);
    return r;
}

class GrillasTest : public postingtest::PostingTest {
protected:
    void Carga() override {
        QStringList filas;
        const std::pair<const char*, const char*> tipos[] = {
            {"FC", "VENTAS"}, {"TK", "Ventas"}, {"AJP", "STOCK"}, {"OP", "VENTAS"}, {"OT", "VENTAS"},
            {"PR", "VENTAS"}, {"DVPE", "VENTAS"}, {"OC", "Compras"}, {"ND", "Contable"}};
        for (const auto& [tc, sistema] : tipos)
            filas << QStringLiteral("INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('%1', 1, '%2')")
                         .arg(QString::fromLatin1(tc).leftJustified(4), QString::fromLatin1(sistema));
        Ejecuta(filas);
    }
    void TearDown() override {
        core::gMaderera = false;
        PostingTest::TearDown();
    }
};

TEST_F(GrillasTest, ArticlesGridPerMode) {
    using namespace posting::art;
    struct Caso {
        const char* modo;
        QString tc;
        QStringList claves;   // settings: key, value...
        bool maderera;
        Anchos anchos;
        Titulos titulos;      // over TitulosArticulos()
    };
    const Anchos ventas = {{IdArticulo, 1500}, {Descripcion, 2900}, {IdUnidad, 400}, {Cantidad, 600},
                           {Precio, 1100}, {TotalLinea, 1000}, {Impuestos, 1000}};
    auto con = [](Anchos a, const Anchos& cambios) {
        for (const auto& [c, w] : cambios) a[c] = w;
        return a;
    };
    const Titulos sinStock = {{PorcDto, ""}, {TotalLinea, ""}, {Impuestos, ""}, {ITC, ""}};
    const std::vector<Caso> casos = {
        {"store sales, every setting off", "tk", {}, false, ventas, {}},
        {"price list per line", "FC", {"V_ListaPreciosPorItemArticulos", "SI"}, false,
         con(ventas, {{IdArticulo, 1400}, {Descripcion, 2600}, {IdListaPrecio, 400}}), {}},
        {"discount per line", "FC", {"V_DescuentoPorArticulos", "si"}, false,
         con(ventas, {{IdArticulo, 1400}, {Descripcion, 2600}, {PorcDto, 500}, {Precio, 1000}}), {}},
        {"price list and discount", "FC", {"V_ListaPreciosPorItemArticulos", "SI", "V_DescuentoPorArticulos", "SI"},
         false, con(ventas, {{IdArticulo, 1300}, {Descripcion, 2300}, {IdListaPrecio, 400}, {PorcDto, 500}, {Precio, 1000}}),
         {}},
        {"purchases discount, trimmed", "OC", {"ComprasDescuentoPorArticulo", " SI ", "V_DescuentoPorArticulos", "SI"},
         false, con(ventas, {{IdArticulo, 1400}, {Descripcion, 2600}, {PorcDto, 500}, {Precio, 1000}}), {}},
        {"price list only for sales", "OC", {"V_ListaPreciosPorItemArticulos", "SI"}, false, ventas, {}},
        {"system STOCK", "AJP", {"TransporteCombustibles", "SI"}, false,
         {{IdArticulo, 1500}, {Descripcion, 3900 + 1100 - 480}, {IdUnidad, 800}, {Cantidad, 1300}}, sinStock},
        {"OP hides the amounts; deposit asked", "OP", {"PideDepositoEnCptes", "SI"}, false,
         con(ventas, {{Descripcion, 2900 + 1100 + 1000}, {Precio, 0}, {TotalLinea, 0}, {IdDeposito, 400}}), {}},
        {"OT with amounts hidden never asks the deposit", "OT", {"PideDepositoEnCptes", "SI", "NoMostrarImportesEnOT", "SI"},
         false, con(ventas, {{Descripcion, 5000}, {Precio, 0}, {TotalLinea, 0}}), {}},
        {"OT showing amounts", "OT", {"PideDepositoEnCptes", "SI"}, false, ventas, {}},
        {"PR never asks the deposit", "PR", {"PideDepositoEnCptes", "SI"}, false, ventas, {}},
        {"deposit asked", "FC", {"PideDepositoEnCptes", "SI"}, false, con(ventas, {{IdDeposito, 400}}), {}},
        {"DVPE shows lots and series", "dvpe", {}, false, con(ventas, {{Lotes, 1200}, {Series, 1300}}),
         {{Lotes, "Nro. Lote"}, {Series, "Nro. Serie"}}},
        {"equivalent units", "FC", {"ConfirmaUDEquiv", "SI"}, false, con(ventas, {{IdUnidadEquiv, 700}, {CantidadEquiv, 900}}),
         {{IdUnidadEquiv, "UDEquiv"}, {CantidadEquiv, "Cant. Equiv"}}},
        {"timber trade", "FC", {}, true,
         con(ventas, {{Espesor, 700}, {Ancho, 700}, {Coeficiente, 700}, {UdPrecio, 400}, {ImporteUd, 900}, {Precio, 0}}),
         {{Espesor, "Espesor"}, {Ancho, "Ancho"}, {Coeficiente, "Largo"}, {UdPrecio, "UD"}, {ImporteUd, "Importe"}}},
        {"timber only in sales", "AJP", {}, true,
         {{IdArticulo, 1500}, {Descripcion, 3900 + 1100 - 480}, {IdUnidad, 800}, {Cantidad, 1300}}, sinStock},
        {"fuel transport tax", "FC", {"TransporteCombustibles", "SI"}, false, con(ventas, {{ITC, 1000}}), {}},
        {"article title from the settings", "FC", {"NombreArticulos", "LISTA DE ARTÍCULOS"}, false, ventas,
         {{IdArticulo, "Lista De Artículos"}}},
        {"a type missing from the voucher types", "ZZ", {}, false, ventas, {}},
        {"accounting system", "ND", {}, false, ventas, {}},
    };
    ui::FlexGrid g(QStringLiteral("MSFlexGrid2"));
    ui::TextBox editor(QStringLiteral("TxtEdit2"));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.modo);
        QStringList claves = {"NombreArticulos", ""};   // every other setting off
        for (const char* k : {"V_ListaPreciosPorItemArticulos", "V_DescuentoPorArticulos", "ComprasDescuentoPorArticulo",
                              "PideDepositoEnCptes", "NoMostrarImportesEnOT", "ConfirmaUDEquiv", "TransporteCombustibles"})
            claves << k << "NO";
        Claves(claves + c.claves);
        core::gMaderera = c.maderera;
        editor.SetVisible(true);
        g.SetRows(40);   // lines of an earlier voucher go
        g.SetTextMatrix(1, 1, QStringLiteral("resto"));
        Titulos titulos = TitulosArticulos();
        for (const auto& [col, t] : c.titulos) titulos[col] = t;
        posting::ClsCmnCptes cpte;
        for (int vuelta = 0; vuelta < 2; ++vuelta) {   // laid out again: the same grid
            ASSERT_TRUE(cpte.InicializaGrids(nullptr, &g, nullptr, nullptr, &editor, nullptr, &kMedida, c.tc));
            Compara(g, kColumnas, c.anchos, titulos, {IdArticulo, Descripcion});
        }
        EXPECT_EQ(g.Rows(), 2);
        EXPECT_EQ(g.TextMatrix(1, 1), QString());
        EXPECT_FALSE(editor.Visible());
    }
}

TEST_F(GrillasTest, TasksOtherConceptsAndTotalsPerMode) {
    struct Caso {
        const char* modo;
        QString tc;
        bool ocultaOT;
        Anchos tareas;
        Anchos otros;
    };
    const Anchos tareas = {{0, 700}, {1, 3700}, {2, 700}, {3, 1100}, {4, 1100}};
    const Anchos otros = {{0, 4900}, {1, 1100}, {2, 1100}};
    const std::vector<Caso> casos = {
        {"amounts shown", "FC", false, tareas, otros},
        {"OP hides amounts, keeps hours", "OP", false, {{0, 700}, {1, 5900}, {2, 700}}, {{0, 7100}}},
        {"OT hiding amounts hides hours", "OT", true, {{0, 700}, {1, 6600}}, {{0, 7100}}},
        {"OT showing amounts", "OT", false, tareas, otros},
    };
    const Titulos titulosTareas = {
        {0, "Código"}, {1, "Descripción"}, {2, "Horas"}, {3, "Importe"}, {4, "Total"}, {5, "AuxEsExento"},
        {6, "ImporteSinIVA"}, {7, "AuxObservAdic"}, {8, "AuxFechaInicio"}, {9, "AuxFechaFin"}, {10, "AuxIdTecnico"},
        {11, "CodigoOriginal"}, {12, "AuxFechaREALInicio"}, {13, "AuxFechaREALFin"}, {14, "AuxCuentaContable"},
        {15, "Prioridad"}, {16, "Usuario"}, {17, "AuxFhPresentacion"}, {18, "AuxFhEmision"}, {19, "AuxNroExp"},
        {20, "AuxFhEntrega"}, {21, "AuxTasaIVA"}};
    const Titulos titulosOtros = {{0, "Detalle"}, {1, "Importe S/Iva"}, {2, "Importe"}, {3, "Cuenta"}};
    ui::FlexGrid g1, g3, g4;
    ui::TextBox edit1(QStringLiteral("TxtEdit")), edit3(QStringLiteral("TxtEdit3"));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.modo);
        Claves({QStringLiteral("NoMostrarImportesEnOT"), c.ocultaOT ? QStringLiteral("SI") : QStringLiteral("NO")});
        edit3.SetText(QStringLiteral("escrito"));
        g4.SetRows(9);
        for (int vuelta = 0; vuelta < 2; ++vuelta) {
            posting::ClsCmnCptes cpte;
            ASSERT_TRUE(cpte.InicializaGrids(&g1, nullptr, &g3, &edit1, nullptr, &edit3, &kMedida, c.tc, &g4));
            Compara(g1, 22, c.tareas, titulosTareas, {1});
            Compara(g3, 6, c.otros, titulosOtros, {0});
            Compara(g4, 3, {{0, 5000}, {1, 1500}, {2, 1000}},
                    {{0, "Descripcion"}, {1, "Cantidad ITEM'S"}, {2, "Cantidad"}}, {0});
            EXPECT_EQ(g1.Rows(), 2);
            EXPECT_EQ(g3.Rows(), 2);
            EXPECT_EQ(g4.Rows(), 5);
            EXPECT_FALSE(edit1.Visible());
            EXPECT_EQ(edit3.Text(), QString());
        }
    }
}

TEST_F(GrillasTest, WhatTheLayoutCannotDoWithoutIsTheCallersError) {
    const auto error = testsupport::ErrorNumberOf;
    ui::FlexGrid g;
    ui::TextBox edit(QStringLiteral("TxtEdit3"));
    posting::ClsCmnCptes cpte;
    // No grid: nothing to measure, nothing laid out.
    const auto lays = [&](auto&&... args) {
        return error([&] { EXPECT_TRUE(cpte.InicializaGrids(args...)); });
    };
    EXPECT_EQ(lays(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "FC"), 0);
    EXPECT_EQ(lays(nullptr, &g, nullptr, nullptr, nullptr, nullptr, nullptr, "FC"), vb::kErrObjectNotSet);
    EXPECT_EQ(lays(&g, nullptr, nullptr, nullptr, nullptr, nullptr, &kMedida, "FC"), vb::kErrObjectNotSet);
    EXPECT_EQ(g.Cols(), 22);   // laid out as far as it got
    EXPECT_EQ(lays(nullptr, nullptr, &g, nullptr, nullptr, nullptr, &kMedida, "FC"), vb::kErrObjectNotSet);
    // A quote in the type is a type like any other.
    EXPECT_EQ(lays(nullptr, &g, nullptr, nullptr, nullptr, nullptr, &kMedida, "O'"), 0);
    EXPECT_EQ(g.ColWidth(posting::art::Descripcion), 2900);
}

// Each read of the layout refused in turn, under each answer: retried, the grid a clean run lays
// out; a setting passed over or left lays out no grid, and the caller is told (false); the type's
// system not read is the caller's error.
TEST_F(GrillasTest, ASettingNotReadLaysOutNoGridAndTheCallerIsTold) {
    Claves({"PideDepositoEnCptes", "SI", "ConfirmaUDEquiv", "SI", "NombreArticulos", "producto"});
    data::DB_Dll& db = data::gDBPrincipal();
    const auto todas = [](const QString&) { return true; };
    ui::FlexGrid g(QStringLiteral("MSFlexGrid2"));
    const auto anterior = [&] {
        g.Clear();
        g.SetCols(3);
        for (int c = 0; c < 3; ++c) g.SetColWidth(c, 960);
        g.SetRows(40);
        g.SetTextMatrix(1, 1, QStringLiteral("resto"));
    };
    const auto estado = [&] {
        QString r = QString::number(g.Rows());
        for (int c = 0; c < g.Cols(); ++c) r += u'|' + g.TextMatrix(0, c) + u':' + QString::number(g.ColWidth(c));
        return r + u'|' + g.TextMatrix(1, 1);
    };
    anterior();
    const QString antes = estado();
    // The engine is made before the count: what its construction reads is not the layout's.
    auto cuenta = std::make_shared<testsupport::EnesimaSentencia>(todas, 0, nullptr);
    posting::ClsCmnCptes limpia;
    db.setConnectionCalls(cuenta);
    const bool hecha = limpia.InicializaGrids(nullptr, &g, nullptr, nullptr, nullptr, nullptr, &kMedida, "FC");
    db.setConnectionCalls(nullptr);
    ASSERT_TRUE(hecha);
    const QString limpio = estado();
    ASSERT_TRUE(limpio.contains(QStringLiteral("Producto:")) && limpio.contains(QStringLiteral("UDEquiv:700")));
    ASSERT_GE(cuenta->cuenta, 5);
    for (int n = 1; n <= cuenta->cuenta; ++n) {
        for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
            SCOPED_TRACE(testing::Message() << "statement " << n << ", answer " << respuesta);
            anterior();
            posting::ClsCmnCptes cpte;
            testsupport::Responde responde(respuesta);
            db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                todas, n, testsupport::Rechaza(QStringLiteral("rechazada"))));
            bool hecha = false;
            const long error = testsupport::ErrorNumberOf([&] {
                hecha = cpte.InicializaGrids(nullptr, &g, nullptr, nullptr, nullptr, nullptr, &kMedida, "FC");
            });
            db.setConnectionCalls(nullptr);
            if (error != 0) {
                // The type's system, read by no runner of the layout's own: its failure reaches
                // the caller, and nothing is laid out.
                EXPECT_EQ(estado(), antes);
                continue;
            }
            // A setting's read passed over is asked about by the open and again by the
            // configuration's reader; a Retry at the first reads it.
            EXPECT_GE(responde.preguntas, 1);
            EXPECT_LE(responde.preguntas, 2);
            const bool leido = respuesta == vb::kRetry;
            EXPECT_EQ(hecha, leido);
            EXPECT_EQ(estado(), leido ? limpio : antes);
        }
    }
}

TEST_F(GrillasTest, EditorsTakeTheirColumnsFieldLengthAndSource) {
    struct Caso {
        const char* editor;
        int columna;
        const char* campo;
        int largo;
        const char* tag;
    } casos[] = {
        {"TxtEdit", 0, "IdTarea", 4, "v_ta_tareas"},
        {"TxtEdit", 4, "Total", 0, ""},
        {"TxtEdit", 5, "", 0, ""},
        {"TxtEdit2", posting::art::IdArticulo, "IdArticulo", 25, "v_ma_articulos"},
        {"txtaux2", posting::art::IdUnidad, "IdUnidad", 4, "V_TA_UNIDAD"},
        {" TXTAUX1 ", posting::art::IdDeposito, "IdDepositoArt", 4, "V_TA_DEPOSITO"},
        {"TXTAUX3", posting::art::Precio, "ArtImporte", 0, ""},
        {"TxtEdit2", posting::art::Coeficiente, "Largo", 0, ""},
        {"TxtEdit2", posting::art::ITC, "ITC", 0, ""},
        {"TxtEdit2", posting::art::EsExento, "", 0, ""},
        {"TxtEdit3", 0, "OCDescripcion", 200, "MA_CUENTAS/SOLOIMPUTABLES"},
        {"TxtEdit3", 2, "OCImporte", 0, ""},
        {"TxtEdit4", 0, "", 0, ""},
    };
    posting::ClsCmnCptes cpte;
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.editor) + " " + std::to_string(c.columna));
        ui::TextBox edit(QString::fromLatin1(c.editor));
        // What an earlier column left is reset first.
        cpte.TextPropiedades(edit, 0);
        cpte.TextPropiedades(edit, c.columna);
        EXPECT_EQ(edit.DataField, QString::fromLatin1(c.campo));
        EXPECT_EQ(edit.MaxLength, c.largo);
        EXPECT_EQ(edit.Tag, QString::fromLatin1(c.tag));
    }
}

}  // namespace
