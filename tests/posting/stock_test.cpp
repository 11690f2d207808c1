// Inputs, lot allocation, stock balances and unit equivalences on the demo database.
#include "numeracion_fixture.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "posting/columnas_articulos.h"
#include "posting/stock.h"
#include "posting/unidades.h"

#include <utility>
#include <vector>

namespace postingtest {
namespace {

using namespace posting;
using Lotes = std::vector<std::pair<QString, double>>;

// An allocation or input list as (cleaned code, quantity) pairs.
Lotes Pares(const std::vector<Stock::ItemCantidad>& lista) {
    Lotes pares;
    for (const auto& i : lista) pares.emplace_back(core::LimpiaCaracteres(i.Codigo), i.Cantidad);
    return pares;
}

class StockTest : public DemoTest {};

TEST_F(StockTest, InputsOfAnArticle) {
    std::vector<Stock::ItemCantidad> lista(3);
    EXPECT_TRUE(Stock::IdArticuloTieneInsumos(" 000900 ", lista, false));
    EXPECT_EQ(Pares(lista), (Lotes{{"000123", 2}, {"000789", 1}, {"", 0}}));
    EXPECT_EQ(lista[0].Codigo, QStringLiteral("000123").leftJustified(25));
    EXPECT_EQ(lista[0].Unidad, QStringLiteral("UN  "));
    EXPECT_EQ(lista[2].Codigo, QString(25, QChar(0)));   // never filled

    EXPECT_TRUE(Stock::IdArticuloTieneInsumos("000900", lista, true));
    EXPECT_EQ(lista.size(), 1u);
    EXPECT_FALSE(Stock::IdArticuloTieneInsumos("000123", lista, false));
    EXPECT_EQ(Pares(lista), (Lotes{{"", 0}}));

    Ejecuta({QStringLiteral("UPDATE V_MA_INSUMOS SET Cantidad = NULL WHERE IdArticuloInsumo = '000789'")});
    EXPECT_TRUE(Stock::IdArticuloTieneInsumos("000900", lista, false));
    EXPECT_EQ(Pares(lista), (Lotes{{"000123", 2}, {"000789", 0}, {"", 0}}));
}

TEST_F(StockTest, LotAllocationLowestLotFirst) {
    Ejecuta({QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES (IdArticulo, IdDeposito, NroLote, Cantidad) VALUES "
                            "('000123', 'A001', 'F2', 0.2)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES (IdArticulo, IdDeposito, NroLote, Cantidad) VALUES "
                            "('000123', 'A001', 'F1', 0.1)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES (IdArticulo, IdDeposito, NroLote, Cantidad) VALUES "
                            "('000123', 'A001', 'F3', 0)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES (IdArticulo, IdDeposito, NroLote, Cantidad) VALUES "
                            "('000123', 'A001', NULL, 7)")});
    const struct {
        const char* articulo;
        const char* deposito;
        double cantidad;
        bool conLotes;
        Lotes lotes;
    } casos[] = {
        {"000789", "A001", 6, true, {{"L0001", 4}, {"L0002", 2}}},
        {"000789", "A001", 9, true, {{"L0001", 4}, {"L0002", 5}}},
        {"000789", "A001", 12, true, {{"L0001", 4}, {"L0002", 5}, {"", 3}}},
        {"000789", "A001", 0, true, {{"L0001", 0}}},
        {"000789", "A001", -2, true, {{"L0001", -2}}},
        {"000789", "A002", 5, false, {{"", 5}}},
        {"000123", "A001", 0.3, true, {{"F1", 0.1}, {"F2", 0.2}}},   // fractions add up: no remainder row
        {"000123", "A001", 0.35, true, {{"F1", 0.1}, {"F2", 0.2}, {"", 0.05}}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.articulo) + " " + c.deposito + " " + std::to_string(c.cantidad));
        std::vector<Stock::ItemCantidad> lista(2);
        bool fallo = true;
        EXPECT_EQ(Stock::ArticuloTieneLotes(c.articulo, c.deposito, lista, c.cantidad, &fallo), c.conLotes);
        EXPECT_FALSE(fallo);
        ASSERT_EQ(lista.size(), c.lotes.size());
        for (size_t i = 0; i < lista.size(); ++i) {
            EXPECT_EQ(core::LimpiaCaracteres(lista[i].Codigo), c.lotes[i].first);
            EXPECT_DOUBLE_EQ(lista[i].Cantidad, c.lotes[i].second);
        }
    }
    std::vector<Stock::ItemCantidad> intacta(2);
    llamadas->llamadas = 0;
    EXPECT_FALSE(Stock::ArticuloTieneLotes("000789", "eldelgrid", intacta, 3));
    EXPECT_EQ(intacta.size(), 2u);
    EXPECT_EQ(llamadas->llamadas, 0);
}

TEST_F(StockTest, StockBalances) {
    Ejecuta({QStringLiteral("INSERT INTO STK_STOCK_UDKG (IDARTICULO, IDDEPOSITO, CantidadUd) VALUES ('000123', '    ', 4)"),
             QStringLiteral("INSERT INTO STK_STOCK_UDKG (IDARTICULO, IDDEPOSITO, CantidadUd) VALUES ('000123', 'A001', 7)")});
    const struct {
        bool udKg;
        const char* deposito;
        const char* articulo;
        const char* unidad;
        double stock;
    } casos[] = {
        {false, "A001", "000123", "UN", 10}, {false, "A002", "000123", "UN", 5},  {false, "", "000123", "UN", 15},
        {false, "A001", "000123", "CJ", 0},  {false, "", "000456", "UN", 0},     {false, "A002", "000789", "UN", 0},
        {true, "A001", "000123", "CJ", 7},   {true, "", "000123", "XX", 4},      {true, "A002", "000123", "UN", 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.deposito) + " " + c.articulo + " " + c.unidad + (c.udKg ? " udkg" : ""));
        core::gUsaStockUdKg = c.udKg;
        double stock = -1;
        EXPECT_TRUE(Stock::ControlStock(c.deposito, c.articulo, c.unidad, stock));
        EXPECT_DOUBLE_EQ(stock, c.stock);
        EXPECT_DOUBLE_EQ(Stock::ControlStock(c.deposito, c.articulo, c.unidad), c.stock);
    }
    double stock = 42;
    EXPECT_TRUE(Stock::ControlStock("A001", "  ", "UN", stock));
    EXPECT_DOUBLE_EQ(stock, 42);

    Ejecuta({QStringLiteral("DROP TABLE STK_STOCK_UDKG")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_FALSE(Stock::ControlStock("A001", "000123", "UN", stock));
    EXPECT_DOUBLE_EQ(stock, 42);
    EXPECT_TRUE(cajas.exhausted());
}

TEST_F(StockTest, UnitConversionsBothWays) {
    Ejecuta({QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV, Coeficiente) VALUES "
                            "('000123', 'UN', 'KG', 0)"),
             QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV, Coeficiente) VALUES "
                            "('000123', 'BL', 'UN', NULL)")});
    const struct {
        const char* articulo;
        const char* de;
        double cantidad;
        const char* a;
        double directa, inversa;
    } casos[] = {
        {"000123", "CJ", 2, "UN", 24, 2.0 / 12},
        {"000123", "UN", 24, "CJ", 2, 24 * 12},
        {"000123", "CJ", 24, "UN", 288, 2},
        {"000123", "un", 7, "UN", 7, 7},        // same unit: no search
        {"000123", "", 2, "CJ", 2.0 / 12, 24},  // the article's own unit (UN)
        {"000123", "CJ", 0, "UN", 0, 0},
        {"000123", "CJ", 5, "KG", 0, 0},        // no row
        {"000123", "UN", 5, "KG", 0, 0},        // coefficient 0: no equivalence
        {"000123", "KG", 5, "UN", 0, 0},
        {"000123", "BL", 5, "UN", 0, 0},        // Null coefficient
        {"NOEXISTE", "", 5, "UN", 0, 0},        // not in the master: no unit
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.articulo) + " " + c.de + " -> " + c.a);
        EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquiv(c.articulo, c.de, c.cantidad, c.a), c.directa);
        EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquivInversa(c.articulo, c.de, c.cantidad, c.a), c.inversa);
    }
    QString origen;
    EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquiv("000123", "", 1, "CJ", &origen), 1.0 / 12);
    EXPECT_EQ(origen, QStringLiteral("UN"));
    llamadas->llamadas = 0;
    EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquiv("000123", "cj", 3, "CJ"), 3);
    EXPECT_EQ(llamadas->llamadas, 0);

    QString operador = QStringLiteral("?");
    double coeficiente = 9;
    bool sinUnidad = false;
    origen = QString();
    EXPECT_FALSE(Stock::IdArticuloTieneEquivalencias("NOEXISTE", "UN", operador, origen, coeficiente, sinUnidad));
    EXPECT_TRUE(sinUnidad);
    EXPECT_EQ(operador, QStringLiteral("?"));
    EXPECT_DOUBLE_EQ(coeficiente, 0);
    EXPECT_EQ(Stock::ObtieneUnidadArticulo("QUESO-CREMOSO-HORMA-KG-01"), QStringLiteral("KG"));
}

TEST_F(StockTest, GridRowInTheConfiguredUnits) {
    core::gUnidadM3 = QStringLiteral("UN");
    core::gUnidadBL = QStringLiteral("CJ");
    core::gUnidadKG = QStringLiteral("KG");
    ui::FlexGrid grilla;
    grilla.SetCols(art::kColumnas);
    grilla.SetRows(4);
    const struct {
        const char* unidad;
        const char* cantidad;
        const char* unidadEquiv;
        const char* m3;
        const char* bl;
        const char* kg;
    } filas[] = {
        {"CJ", "2", "cj", "24", "2,5", "0"},   // BL is the row's equivalent unit: its text is copied
        {" CJ ", "2", "", "24", "2", "0"},
        {"UN", "1", "", "1", "0.0833333333333333", "0"},
    };
    for (int i = 0; i < 3; ++i) {
        const auto& f = filas[i];
        SCOPED_TRACE(i);
        const int fila = i + 1;
        grilla.SetTextMatrix(fila, art::IdArticulo, QStringLiteral("000123"));
        grilla.SetTextMatrix(fila, art::IdUnidad, f.unidad);
        grilla.SetTextMatrix(fila, art::Cantidad, f.cantidad);
        grilla.SetTextMatrix(fila, art::IdUnidadEquiv, f.unidadEquiv);
        grilla.SetTextMatrix(fila, art::CantidadEquiv, QStringLiteral("2,5"));
        grilla.SetRow(fila);
        Stock::CalculaCantidadesEquivGrilla(grilla);
        EXPECT_EQ(grilla.TextMatrix(fila, art::CantidadM3), QString::fromLatin1(f.m3));
        EXPECT_EQ(grilla.TextMatrix(fila, art::CantidadBL), QString::fromLatin1(f.bl));
        EXPECT_EQ(grilla.TextMatrix(fila, art::CantidadKG), QString::fromLatin1(f.kg));
    }
}

}  // namespace
}  // namespace postingtest
