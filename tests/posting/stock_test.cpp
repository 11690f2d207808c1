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
using Pares = std::vector<std::pair<QString, double>>;

// A quantity list as (cleaned code, quantity) pairs.
Pares Lista(const std::vector<Stock::ItemCantidad>& lista) {
    Pares pares;
    for (const auto& i : lista) pares.emplace_back(core::LimpiaCaracteres(i.Codigo), i.Cantidad);
    return pares;
}

class StockTest : public DemoNumeracionTest {
protected:
    // A stock movement of a test voucher (the balances are summed from the movements).
    static QString Movimiento(int secuencia, const char* deposito, const char* articulo, double cantidad,
                              const char* lote, const char* unidad = "UN") {
        return QStringLiteral("INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdDeposito, IdArticulo, "
                              "IdUnidad, Cantidad, NroLote) VALUES ('IR', '000100000099X', %1, '05/03/2008', '%2', "
                              "'%3', '%4', %5, %6)")
            .arg(secuencia)
            .arg(QLatin1String(deposito), QLatin1String(articulo), QLatin1String(unidad))
            .arg(cantidad)
            .arg(QLatin1String(lote));
    }
};

TEST_F(StockTest, InputsOfAnArticle) {
    std::vector<Stock::ItemCantidad> lista(3);
    EXPECT_TRUE(Stock::IdArticuloTieneInsumos(" 000900 ", lista, false).value());
    EXPECT_EQ(Lista(lista), (Pares{{"000123", 2}, {"000789", 1}, {"", 0}}));
    EXPECT_EQ(lista[0].Unidad, QStringLiteral("UN  "));
    EXPECT_EQ(lista[2].Codigo, QString(25, QChar(0)));   // never filled
    EXPECT_TRUE(Stock::IdArticuloTieneInsumos("000900", lista, true).value());
    EXPECT_EQ(lista.size(), 1u);
    Ejecuta({QStringLiteral("UPDATE V_MA_INSUMOS SET Cantidad = NULL WHERE IdArticuloInsumo = '000789'")});
    EXPECT_TRUE(Stock::IdArticuloTieneInsumos("000900", lista, false).value());
    EXPECT_EQ(Lista(lista), (Pares{{"000123", 2}, {"000789", 0}, {"", 0}}));
    EXPECT_FALSE(Stock::IdArticuloTieneInsumos("000123", lista, false).value());
    EXPECT_EQ(Lista(lista), (Pares{{"", 0}}));
}

TEST_F(StockTest, LotAllocationLowestLotFirst) {
    Ejecuta({Movimiento(1, "A001", "000123", 0.2, "'F2'"), Movimiento(2, "A001", "000123", 0.1, "'F1'"),
             Movimiento(3, "A001", "000123", 1, "'F3'"), Movimiento(4, "A001", "000123", -1, "'F3'")});
    const struct { const char *articulo, *deposito; double cantidad; bool conLotes; Pares lotes; } casos[] = {
        {"000789", "A001", 6, true, {{"L0001", 4}, {"L0002", 2}}},
        {"000789", "A001", 9, true, {{"L0001", 4}, {"L0002", 5}}},
        {"000789", "A001", 12, true, {{"L0001", 4}, {"L0002", 5}, {"", 3}}},
        {"000789", "A001", 0, true, {{"L0001", 0}}},
        {"000789", "A002", 5, false, {{"", 5}}},
        {"000123", "A001", 0.3, true, {{"F1", 0.1}, {"F2", 0.2}}},   // fractions add up: no remainder row
        {"000123", "A001", 0.35, true, {{"F1", 0.1}, {"F2", 0.2}, {"", 0.05}}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.articulo) + " " + c.deposito + " " + std::to_string(c.cantidad));
        std::vector<Stock::ItemCantidad> lista(2);
        const vb::ReadResult<bool> conLotes = Stock::ArticuloTieneLotes(c.articulo, c.deposito, lista, c.cantidad);
        ASSERT_TRUE(conLotes.read());
        EXPECT_EQ(conLotes.value(), c.conLotes);
        EXPECT_EQ(Lista(lista), c.lotes);
    }
    std::vector<Stock::ItemCantidad> intacta(2);
    llamadas->llamadas = 0;
    EXPECT_FALSE(Stock::ArticuloTieneLotes("000789", "eldelgrid", intacta, 3).value());
    EXPECT_EQ(intacta.size(), 2u);
    EXPECT_EQ(llamadas->llamadas, 0);
}

TEST_F(StockTest, StockBalances) {
    // The demo's opening stock of sugar: 120 at the centre, 48 at the other store.
    Ejecuta({Movimiento(1, "", "000123", 4, "NULL"), Movimiento(2, "A001", "000123", 3, "NULL", "CJ")});
    const struct { bool udKg; const char *deposito, *articulo, *unidad; double stock; } casos[] = {
        {false, "A001", "000123", "UN", 120}, {false, "", "000123", "UN", 172}, {false, "A001", "000123", "CJ", 3},
        {false, "A002", "000123", "CJ", 0},   {false, "", "000900", "UN", 0},    {true, "A001", "000123", "XX", 123},
        {true, "", "000123", "UN", 4},        // the row of the blank deposit
    };
    for (const auto& c : casos) {
        core::gUsaStockUdKg = c.udKg;
        double stock = -1;
        EXPECT_TRUE(Stock::ControlStock(c.deposito, c.articulo, c.unidad, stock));
        EXPECT_EQ(stock, c.stock) << c.deposito << " " << c.unidad << " " << c.udKg;
        EXPECT_EQ(Stock::ControlStock(c.deposito, c.articulo, c.unidad).value(), c.stock);
    }
    double stock = 42;
    EXPECT_TRUE(Stock::ControlStock("A001", "  ", "UN", stock));
    Ejecuta({QStringLiteral("DROP VIEW STK_STOCK_UDKG")});
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_FALSE(Stock::ControlStock("A001", "000123", "UN", stock));
    EXPECT_EQ(stock, 42);
    cajas.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error"));
    EXPECT_FALSE(Stock::ControlStock("A001", "000123", "UN").read());   // no balance, rather than 0
}

TEST_F(StockTest, UnitConversionsBothWays) {
    Ejecuta({QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IDUNIDAD, IDUNIDAD_EQUIV, Coeficiente) VALUES "
                            "('000123', 'UN', 'KG', 0), ('000123', 'BL', 'UN', NULL)")});
    const struct { const char *de; double cantidad; const char* a; double directa, inversa; } casos[] = {
        {"CJ", 2, "UN", 24, 2.0 / 12},  {"UN", 24, "CJ", 2, 24 * 12}, {"un", 7, "UN", 7, 7},
        {"", 2, "CJ", 2.0 / 12, 24},    // the article's own unit (UN)
        {"CJ", 0, "UN", 0, 0},          {"CJ", 5, "KG", 0, 0},
        {"UN", 5, "KG", 0, 0},          {"KG", 5, "UN", 0, 0},       // coefficient 0: no equivalence
        {"BL", 5, "UN", 0, 0},          // Null coefficient
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.de) + " -> " + c.a);
        EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquiv("000123", c.de, c.cantidad, c.a).value(), c.directa);
        EXPECT_DOUBLE_EQ(Stock::ConvierteCantidadEquivInversa("000123", c.de, c.cantidad, c.a).value(), c.inversa);
    }
    QString origen = QStringLiteral("?");
    EXPECT_EQ(Stock::ConvierteCantidadEquiv("NOEXISTE", "", 5, "UN", &origen).value(), 0);   // not in the master: no unit
    EXPECT_EQ(origen, QString());
    llamadas->llamadas = 0;
    EXPECT_EQ(Stock::ConvierteCantidadEquiv("000123", "cj", 3, "CJ").value(), 3);
    EXPECT_EQ(llamadas->llamadas, 0);
}

TEST_F(StockTest, GridRowInTheConfiguredUnits) {
    core::gUnidadM3 = QStringLiteral("UN");
    core::gUnidadBL = QStringLiteral("CJ");
    core::gUnidadKG = QStringLiteral("KG");
    ui::FlexGrid grilla;
    grilla.SetCols(art::kColumnas);
    grilla.SetRows(4);
    const struct { const char *unidad, *cantidad, *unidadEquiv, *m3, *bl, *kg; } filas[] = {
        {"CJ", "2", "cj", "24", "2,5", "0"},   // BL is the row's equivalent unit: its text is copied
        {" CJ ", "2", "", "24", "2", "0"},
        {"UN", "1", "", "1", "0.0833333333333333", "0"},
    };
    for (int fila = 1; fila <= 3; ++fila) {
        const auto& f = filas[fila - 1];
        grilla.SetTextMatrix(fila, art::IdArticulo, QStringLiteral("000123"));
        grilla.SetTextMatrix(fila, art::IdUnidad, f.unidad);
        grilla.SetTextMatrix(fila, art::Cantidad, f.cantidad);
        grilla.SetTextMatrix(fila, art::IdUnidadEquiv, f.unidadEquiv);
        grilla.SetTextMatrix(fila, art::CantidadEquiv, QStringLiteral("2,5"));
        grilla.SetRow(fila);
        EXPECT_TRUE(Stock::CalculaCantidadesEquivGrilla(grilla));
        EXPECT_EQ(QStringList({grilla.TextMatrix(fila, art::CantidadM3), grilla.TextMatrix(fila, art::CantidadBL),
                               grilla.TextMatrix(fila, art::CantidadKG)}),
                  QStringList({f.m3, f.bl, f.kg}));
    }
}

}  // namespace
}  // namespace postingtest
