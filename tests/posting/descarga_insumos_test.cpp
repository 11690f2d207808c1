// The production-input discharge of a posting on the demo database: the breakfast basket 000900
// is made of two sugars 000123 and one coffee 000789; the coffee at A001 is in lots L0001 (4) and
// L0002 (5). The discharge voucher's book PE starts at 0001-00000001-X.
#include "posting/cls_cmn_cptes.h"

#include "data/db_dll.h"
#include "platform/vb/on_error.h"
#include "posteo_fixture.h"
#include "support/test_support.h"

namespace {

using namespace posting::art;

class DescargaInsumosTest : public postingtest::PosteoTest {
protected:
    // Posts the grid out of deposit A001 with reason 1; returns HayError.
    bool Postea(const QString& tc, const QString& nro, QString* sql = nullptr, bool transferencia = false,
                const QString& motivo = "1") {
        posting::ClsCmnCptes cpte;
        bool hayError = false;
        cpte.ActualizaStock(grilla, tc, nro, "0", "05/03/2008", "A001", transferencia ? "A002" : "", motivo, "I", "7",
                            transferencia, "PorDefault", sql != nullptr, sql, &hayError);
        return hayError;
    }
    void Canasta(const QString& cantidad) {
        LineaSimple(cantidad, "000900");
        grilla.SetTextMatrix(grilla.Rows() - 1, Descripcion, "Canasta desayuno");
    }
    std::string Descarga(const QString& cols = "IdComprobante, Secuencia, IdArticulo, NroLote, Cantidad") {
        return Filas(cols, "TC = 'PE'");
    }
    QString Nro(int n, const char* letra = "C") { return QStringLiteral("0001%1").arg(n, 8, 10, QChar(u'0')) + letra; }
    QString Libro() {
        return testsupport::Scalar(data::gDBPrincipal().gCnn(),
                                   "SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'PE'").text();
    }
};

TEST_F(DescargaInsumosTest, ASaleDischargesEachInputLotByLotAndMovesTheBook) {
    Canasta("2");
    EXPECT_FALSE(Postea("TK", Nro(1)));
    // The sugars need no lot; the coffee comes out of the lowest lot.
    // Each input's movement carries the business unit the voucher is posted under.
    EXPECT_EQ(Descarga("IdComprobante, Secuencia, IdDeposito, IdArticulo, Descripcion, NroLote, IdUnidad, Cantidad, "
                       "IdMotivoStock, PrecioVenta, Costo, Tc_Origen, IdComprobante_Origen, ControladoPor, UNEGOCIO"),
              "000100000001X|1|A001|000123|Azúcar refinada 1 kg|NULL|UN|-4|1|0|45.5|TK|000100000001C|000900|A001 "
              "000100000001X|2|A001|000789|Café molido torrado 250 g|L0001|UN|-2|1|0|80.25|TK|000100000001C|000900|A001");
    EXPECT_EQ(Libro(), "2");

    // The next voucher takes the next number; the coffee empties L0001 (2 left), then L0002, and
    // what the lots cannot cover goes out without a lot.
    grilla.SetRows(1);
    Canasta("12");
    EXPECT_FALSE(Postea("TK", Nro(2)));
    EXPECT_EQ(Descarga(), "000100000001X|1|000123|NULL|-4 000100000001X|2|000789|L0001|-2 000100000002X|1|000123|NULL|-24 "
                          "000100000002X|2|000789|L0001|-2 000100000002X|3|000789|L0002|-5 000100000002X|4|000789|NULL|-5");
    EXPECT_EQ(Libro(), "3");

    // Statement mode: the discharge's INSERTs after the voucher's, then its book; nothing runs.
    QString sql;
    EXPECT_FALSE(Postea("TK", Nro(3), &sql));
    const QStringList sentencias = sql.split(u'\r', Qt::SkipEmptyParts);
    ASSERT_EQ(sentencias.size(), 4);
    EXPECT_TRUE(sentencias[1].startsWith("INSERT INTO V_MV_STOCK(TC,IdComprobante,IdComplemento,Secuencia,Fecha,"
                                         "IdDeposito,IdArticulo,Descripcion,IdUnidad,Cantidad,IdMotivoStock,PrecioVenta,"
                                         "Importe_S_iva,Costo,Tc_Origen,IdComprobante_Origen,ControladoPor,UNEGOCIO) VALUES "
                                         "('PE  ','000100000003X',0,1,'05/03/2008','A001','000123"));
    EXPECT_EQ(sentencias[3].toStdString(), " UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 4 WHERE CODIGO = 'PE  ' AND TALONARIO=1");
    EXPECT_EQ(Filas("TC", "IdComprobante IN ('000100000003C', '000100000003X')"), "");
}

TEST_F(DescargaInsumosTest, WhenNoInputsAreDischarged) {
    Ejecuta({"INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('OP  ', 1, 'STOCK')",
             "INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA, ES) VALUES ('AJP ', 1, 'STOCK', 'E')"});
    // The setting (any case) turns the discharge off; a production order and an adjustment never have it.
    const std::pair<const char*, QString> casos[] = {{"si", "TK"}, {"NO", "OP"}, {"NO", "AJP"}};
    int n = 10;
    for (const auto& [descarga, tc] : casos) {
        Claves({"DescargaInsumosProduccion", descarga});
        grilla.SetRows(1);
        Canasta("1");
        EXPECT_FALSE(Postea(tc, Nro(++n, "X"))) << tc.toStdString();
        EXPECT_EQ(Descarga(), "") << tc.toStdString();
    }
}

TEST_F(DescargaInsumosTest, ATransferDischargesTwiceAtTheDestination) {
    Canasta("1");
    grilla.SetTextMatrix(1, IdDeposito, "");
    EXPECT_FALSE(Postea("VS", Nro(4, "X"), nullptr, true));
    // The rows continue the transfer's sequence (1 out, 2 in), each run under a number of its own.
    EXPECT_EQ(Descarga("IdComprobante, Secuencia, IdDeposito, IdArticulo, NroLote, Cantidad"),
              "000100000001X|3|A002|000123|NULL|2 000100000001X|4|A002|000789|L0001|1 "
              "000100000002X|5|A002|000123|NULL|-2 000100000002X|6|A002|000789|L0001|-1");
    EXPECT_EQ(Libro(), "3");
}

TEST_F(DescargaInsumosTest, ALineMadeOnTheSpotReentersItsArticle) {
    Claves({"LenDescripcion", "12"});
    Ejecuta({"INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('TKFC', 1, 'STOCK')"});
    // Inputs by percentage: 2 × 2% sugar, 2 × 1% coffee. A reason of blanks writes NULL; the
    // product's description loses its quote and is cut. A type that moves no stock moves nothing.
    const std::pair<QString, std::string> casos[] = {
        {"TK", "1|000900|Canasta de d|2|NULL 2|000123|Azúcar refin|-0.04|NULL 3|000789|Café molido|-0.02|NULL"},
        {"TKFC", "1|000900|Canasta de d|0|NULL 2|000123|Azúcar refin|0|NULL 3|000789|Café molido|0|NULL"}};
    int n = 20;
    for (const auto& [tc, filas] : casos) {
        Ejecuta({"DELETE FROM V_MV_STOCK WHERE TC = 'PE'"});
        grilla.SetRows(1);
        Canasta("2");
        grilla.SetTextMatrix(1, Descripcion, "Canasta de d'oro");
        grilla.SetTextMatrix(1, InsumosPorPorcentaje, "-1");
        EXPECT_FALSE(Postea(tc, Nro(++n), nullptr, false, "  "));
        EXPECT_EQ(Descarga("Secuencia, IdArticulo, Descripcion, Cantidad, IdMotivoStock"), filas) << tc.toStdString();
    }
}

TEST_F(DescargaInsumosTest, AFailureInTheDischargeRollsBackTheWholeVoucher) {
    // A discharge row the database refuses: the sugar controlled by the basket is stored already.
    Ejecuta({"CREATE UNIQUE INDEX UX_Prueba ON V_MV_STOCK (IdArticulo, ControladoPor)",
             "INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo, ControladoPor) "
             "VALUES ('AJP ', '000100000009X', 1, '01/03/2008', '000123', '000900')"});
    const std::string antes = Filas("TC, IdComprobante, Secuencia");
    LineaSimple("1");
    Canasta("1");
    prompter.answer(vb::kOk, "duplicate key");
    EXPECT_TRUE(Postea("TK", Nro(5)));
    EXPECT_EQ(Filas("TC, IdComprobante, Secuencia"), antes);
    EXPECT_EQ(Libro(), "0");
}

}  // namespace
