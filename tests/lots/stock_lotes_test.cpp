// Stock by lot, series and position (ObtieneStock) and in a base and an equivalent unit
// (ObtieneStockxEquiv), on the demo rows (sugar: 120 units in A001, 48 in A002, 12 to a box; coffee:
// lots L0001 4 and L0002 5 in A001) and two more coffee movements, by lot and by serial.
#include "lots_db.h"
#include "platform/ui/prompter.h"
#include "posting/cls_cmn_cptes.h"

namespace lotstest {

namespace {

class StockLotesTest : public LotsTest {
protected:
    QStringList Filas() const override {
        const QString mov = QStringLiteral("INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdDeposito, IdArticulo, "
                                           "IdUnidad, Cantidad, NroLote, NroSerie) VALUES ('AJP ', '000200000001X', %1)");
        return {mov.arg("1, '02/03/2008', 'A002', '000789', 'UN', 7, 'L0003', NULL"),
                mov.arg("2, '02/03/2008', 'A001', '000789', 'UN', 100, NULL, 'S-1'"),
                QStringLiteral("UPDATE MA_ARTICULOS SET USALOTE = 1 WHERE IDARTICULO = '000789'")};
    }
};

}  // namespace

TEST_F(StockLotesTest, ByLotSeriesAndPosition) {
    posting::ClsCmnCptes cpte;
    const QString I = QStringLiteral("Ignorar");
    struct Caso {
        const char* deposito;
        const char* lote;
        const char* serie;
        const char* posicion;
        double saldo;
    } casos[] = {
        {"A001", "L0001", "Ignorar", "Ignorar", 4},
        {"A001", "l0002", "", "", 5},            // any letter case; blank sets no filter
        {"A001", "Ignorar", "", "Ignorar", 9},   // the lot path; the serial row is not a lot's
        {"", "Ignorar", "", "Ignorar", 16},      // every deposit
        {"IGNORAR", "L0003", "Ignorar", "Ignorar", 7},
        {"A001", "L0001", "Ignorar", "P01", 0},   // the movements keep no position
        {"A001", "L9999", "Ignorar", "Ignorar", 0},
    };
    for (const Caso& c : casos) {
        QString deposito = QString::fromLatin1(c.deposito);
        EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("000789"), &deposito, QString::fromLatin1(c.lote),
                                           QString::fromLatin1(c.serie), QString::fromLatin1(c.posicion)),
                         c.saldo)
            << c.deposito << " " << c.lote << " " << c.posicion;
    }
    // Neither lot nor series: the balance by unit, the deposit and unit resolved for the caller.
    QString deposito = QStringLiteral("ignorar"), unidad = I;
    EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("000123"), &deposito, I, I, I, &unidad), 120);
    EXPECT_EQ(deposito, QStringLiteral("A001"));
    EXPECT_EQ(unidad, QStringLiteral("UN  "));
    deposito.clear();
    EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("000123"), &deposito), 168);   // blank: every deposit
}

TEST_F(StockLotesTest, AnArticleThatDoesNotExistIsAskedAboutAndGivesNothing) {
    posting::ClsCmnCptes cpte;
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("Ha ocurrido el Siguiente Error"));
    QString deposito = QStringLiteral("A001");
    EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("NO'EXISTE"), &deposito, QStringLiteral("L0001")), 0);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 1u);
    EXPECT_TRUE(guion.shown()[0].title.contains(QStringLiteral("ObtieneStock")));
}

TEST_F(StockLotesTest, InABaseAndAnEquivalentUnit) {
    posting::ClsCmnCptes cpte;
    double base = -1, equiv = -1;
    cpte.ObtieneStockxEquiv(QStringLiteral("A001"), QStringLiteral("000123"), QStringLiteral("UN"), QStringLiteral("CJ"),
                            base, equiv);
    EXPECT_DOUBLE_EQ(base, 120);
    EXPECT_DOUBLE_EQ(equiv, 10);
    cpte.ObtieneStockxEquiv(QString(), QStringLiteral("000123"), QStringLiteral("UN"), QString(), base, equiv);
    EXPECT_DOUBLE_EQ(base, 168);
    EXPECT_DOUBLE_EQ(equiv, 0);
}

}  // namespace lotstest
