// Stock by lot, series and position (ObtieneStock) and in a base and an equivalent unit
// (ObtieneStockxEquiv), on the demo rows (sugar: 120 units in A001, 48 in A002, 12 to a box; coffee:
// lots L0001 4 and L0002 5 in A001) and two more coffee movements, by lot and by serial.
#include "data/db_dll.h"
#include "lots_db.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "posting/cls_cmn_cptes.h"
#include "support/enesima_sentencia.h"
#include "support/responde.h"

#include <memory>

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
                                           QString::fromLatin1(c.serie), QString::fromLatin1(c.posicion))
                             .value(),
                         c.saldo)
            << c.deposito << " " << c.lote << " " << c.posicion;
    }
    // Neither lot nor series: the balance by unit, the deposit and unit resolved for the caller.
    QString deposito = QStringLiteral("ignorar"), unidad = I;
    EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("000123"), &deposito, I, I, I, &unidad).value(), 120);
    EXPECT_EQ(deposito, QStringLiteral("A001"));
    EXPECT_EQ(unidad, QStringLiteral("UN  "));
    deposito.clear();
    EXPECT_DOUBLE_EQ(cpte.ObtieneStock(QStringLiteral("000123"), &deposito).value(), 168);   // blank: every deposit
}

TEST_F(StockLotesTest, AnArticleThatDoesNotExistIsAskedAboutAndGivesNothing) {
    posting::ClsCmnCptes cpte;
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("Ha ocurrido el Siguiente Error"));
    QString deposito = QStringLiteral("A001");
    // No stock known, rather than none.
    EXPECT_FALSE(cpte.ObtieneStock(QStringLiteral("NO'EXISTE"), &deposito, QStringLiteral("L0001"),
                                   QStringLiteral("Ignorar"), QStringLiteral("Ignorar"))
                     .read());
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 1u);
    EXPECT_TRUE(guion.shown()[0].title.contains(QStringLiteral("ObtieneStock")));
}

// Each read refused in turn (the default deposit, the article's unit, its marks, the balance) under
// each answer: retried, the balance of a clean run; passed over or left, the caller is told and
// given no balance, the deposit and unit it handed in as they were.
TEST_F(StockLotesTest, AReadRefusedAndNotRetriedIsToldToTheCaller) {
    data::DB_Dll& db = data::gDBPrincipal();
    const QString I = QStringLiteral("Ignorar");
    const auto todas = [](const QString&) { return true; };
    struct Caso {
        const char* articulo;
        const char* lote;
        double saldo;
    } casos[] = {{"000123", "Ignorar", 120}, {"000789", "L0001", 4}};
    for (const Caso& c : casos) {
        posting::ClsCmnCptes cpte;   // its own settings read outside the faults
        const auto lee = [&](QString& deposito, QString& unidad, bool& fallo) {
            deposito = c.lote == I ? I : QStringLiteral("A001");
            unidad = I;
            const vb::ReadResult<double> saldo =
                cpte.ObtieneStock(QString::fromLatin1(c.articulo), &deposito, QString::fromLatin1(c.lote), I, I, &unidad);
            fallo = !saldo.read();
            return fallo ? 0 : saldo.value();
        };
        QString deposito, unidad;
        bool fallo = true;
        auto cuenta = std::make_shared<testsupport::EnesimaSentencia>(todas, 0, nullptr);
        db.setConnectionCalls(cuenta);
        ASSERT_DOUBLE_EQ(lee(deposito, unidad, fallo), c.saldo);
        db.setConnectionCalls(nullptr);
        ASSERT_FALSE(fallo);
        ASSERT_GE(cuenta->cuenta, 2);
        for (int n = 1; n <= cuenta->cuenta; ++n) {
            for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
                SCOPED_TRACE(testing::Message() << c.articulo << ", statement " << n << ", answer " << respuesta);
                testsupport::Responde responde(respuesta);
                db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                    todas, n, testsupport::Rechaza(QStringLiteral("rechazada"))));
                const double saldo = lee(deposito, unidad, fallo);
                db.setConnectionCalls(nullptr);
                EXPECT_GE(responde.preguntas, 1);
                EXPECT_EQ(fallo, respuesta != vb::kRetry);
                EXPECT_DOUBLE_EQ(saldo, fallo ? 0 : c.saldo);
                if (fallo && c.lote == I) {
                    EXPECT_TRUE(deposito == I || deposito == QStringLiteral("A001")) << deposito.toStdString();
                }
            }
        }
    }
}

TEST_F(StockLotesTest, InABaseAndAnEquivalentUnit) {
    posting::ClsCmnCptes cpte;
    double base = -1, equiv = -1;
    ASSERT_TRUE(cpte.ObtieneStockxEquiv(QStringLiteral("A001"), QStringLiteral("000123"), QStringLiteral("UN"),
                                        QStringLiteral("CJ"), base, equiv));
    EXPECT_DOUBLE_EQ(base, 120);
    EXPECT_DOUBLE_EQ(equiv, 10);
    ASSERT_TRUE(cpte.ObtieneStockxEquiv(QString(), QStringLiteral("000123"), QStringLiteral("UN"), QString(), base, equiv));
    EXPECT_DOUBLE_EQ(base, 168);
    EXPECT_DOUBLE_EQ(equiv, 0);
}

}  // namespace lotstest
