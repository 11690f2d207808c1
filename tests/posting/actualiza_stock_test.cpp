// Stock posting of an articles grid on the demo database: numbering, passes, items, statement
// mode, and a voucher written whole or not at all.
#include "posting/cls_cmn_cptes.h"

#include "platform/vb/on_error.h"
#include "posteo_fixture.h"

namespace {

using namespace posting::art;
const QString y = QString(QChar(0xFF));

class ActualizaStockTest : public postingtest::PosteoTest {
protected:
    // Posts the grid as the receiver does (deposit of each line, reason 1, origin I 7); returns HayError.
    bool Postea(const QString& tc, const QString& nro, int32_t secuenciaFija = 0, QString* sql = nullptr,
                bool transferencia = false, const QString& deposito = "ELDELGRID", const QString& destino = "",
                const QString& motivo = "1") {
        posting::ClsCmnCptes cpte;
        bool hayError = false;
        cpte.ActualizaStock(grilla, tc, nro, "0", "05/03/2008", deposito, destino, motivo, "I", "7", transferencia,
                            "PorDefault", sql != nullptr, sql, &hayError, "Null", "", "A001", "", 0, true, vendedor,
                            secuenciaFija);
        return hayError;
    }
    std::string Movimientos(const QString& nro, const QString& cols = "Secuencia, IdDeposito, NroLote, NroSerie, Cantidad") {
        return Filas(cols, "IdComprobante = '" + nro + "'");
    }
    // One line of 000123 with the cells given, posted under a number of its own; its rows.
    std::string UnaLinea(const QString& tc, const QString& cantidad, const QList<std::pair<int, QString>>& celdas,
                         const QString& cols = "Secuencia, IdDeposito, NroLote, NroSerie, Cantidad",
                         const QString& deposito = "ELDELGRID", const QString& motivo = "1") {
        const QString nro = QStringLiteral("0001%1C").arg(++vales_, 8, 10, QChar(u'0'));
        grilla.SetRows(1);
        LineaSimple(cantidad);
        for (const auto& [col, texto] : celdas) grilla.SetTextMatrix(1, col, texto);
        EXPECT_FALSE(Postea(tc, nro, 0, nullptr, false, deposito, "", motivo));
        return Movimientos(nro, cols);
    }
    int vales_ = 100;
    QString vendedor;
};

TEST_F(ActualizaStockTest, PlainRowsAreNumberedAndEmptyRowsUseNoNumber) {
    for (const char* cantidad : {"1", "0", "2", "3"}) LineaSimple(cantidad);
    grilla.SetRows(grilla.Rows() + 1);   // no article
    grilla.SetTextMatrix(5, Cantidad, "5");
    EXPECT_FALSE(Postea("TK", "000100000001C"));
    EXPECT_EQ(Movimientos("000100000001C"), "1|A001|NULL|NULL|-1 2|A001|NULL|NULL|-2 3|A001|NULL|NULL|-3");
    EXPECT_FALSE(Postea("TK", "000100000002C", 10));
    EXPECT_EQ(Movimientos("000100000002C", "Secuencia"), "11 12 13");
}

TEST_F(ActualizaStockTest, ProductionOrderContinuesAfterStoredRows) {
    // The sequences go on from this business unit's rows of the voucher: another unit's order
    // under the same number (row 9 of A002) does not move them.
    Ejecuta({"INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('OP  ', 1, 'STOCK')",
             "INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo, UNEGOCIO) "
             "VALUES ('OP  ', '000100000003X', 5, '05/03/2008', '000900', 'A001')",
             "INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo, UNEGOCIO) "
             "VALUES ('OP  ', '000100000003X', 9, '05/03/2008', '000900', 'A002')"});
    LineaSimple("4", "000789");                        // an input, taken out in the second pass
    LineaSimple("2", "000900");                        // the product, entered in the first
    grilla.SetTextMatrix(2, CantidadInsumo, "-1");
    EXPECT_FALSE(Postea("OP", "000100000003X", 0, nullptr, false, "A001"));
    EXPECT_EQ(Movimientos("000100000003X", "Secuencia, IdArticulo, Cantidad, UNEGOCIO"),
              "5|000900|0|A001 7|000900|2|A001 8|000789|-4|A001 9|000900|0|A002");
}

TEST_F(ActualizaStockTest, TransferWritesEachRowOutThenIn) {
    LineaSimple("2");
    LineaSimple("3", "000789");
    for (int f : {1, 2}) grilla.SetTextMatrix(f, IdDeposito, "");
    EXPECT_FALSE(Postea("VS", "000100000004X", 0, nullptr, true, "A001", "A002"));
    EXPECT_EQ(Movimientos("000100000004X", "Secuencia, IdDeposito, IDDEPOSITO_DESTINO, Cantidad"),
              "1|A001|A002|-2 2|A001|A002|-3 3|A002|A001|2 4|A002|A001|3");
}

TEST_F(ActualizaStockTest, LotSeriesAndSizeItems) {
    struct Caso {
        const char* nombre;
        QString tc;
        QList<std::pair<int, QString>> celdas;
        std::string filas;
        QString cantidad = "3";   // of the line
    } casos[] = {
        {"three series in", "IR", {{PideSerie, "-1"}, {Series, "|S1|S2|S3|"}}, "1|A001|NULL|S1|1 2|A001|NULL|S2|1 3|A001|NULL|S3|1"},
        {"three lots in", "IR", {{Lotes, "|L1|L2|L3|"}}, "1|A001|L1|NULL|1 2|A001|L2|NULL|1 3|A001|L3|NULL|1"},
        // Fewer lots than units: each lot takes 1, a last record without a lot takes the rest.
        {"two lots in a line of 3", "IR", {{Lotes, "|L1|L2|"}}, "1|A001|L1|NULL|1 2|A001|L2|NULL|1 3|A001|NULL|NULL|1"},
        {"lot and serial pairs out", "TK", {{Lotes, "|L1" + y + "S1|L2" + y + "S2|"}, {Series, "|1|2|"}},
         "1|A001|L1|S1|-1 2|A001|L2|S2|-2"},
        // A size line without a size list is posted whole, with the line's quantity.
        {"size line without sizes out", "TK", {{PideTalle, "-1"}}, "1|A001|NULL|NULL|-3"},
        // A lot takes 1 while at least 1 remains, else the rest of the line (all of a negative one).
        {"lots of a negative line in", "IR", {{Lotes, "|L1|L2|"}}, "1|A001|L1|NULL|-3", "-3"},
        {"lots of half a unit in", "IR", {{Lotes, "|L1|L2|"}}, "1|A001|L1|NULL|0.5", "0.5"},
        {"three lots of 2.5 in", "IR", {{Lotes, "|L1|L2|L3|"}}, "1|A001|L1|NULL|1 2|A001|L2|NULL|1 3|A001|L3|NULL|0.5", "2.5"},
        // A blank size flag without a quantity per size is a plain line of lots.
        {"lots with a blank size flag in", "IR", {{Lotes, "|L1|L2|"}, {PideTalle, ""}},
         "1|A001|L1|NULL|1 2|A001|L2|NULL|1 3|A001|NULL|NULL|1"},
        // A size's name is read without the joint that closes it, and keeps everything else.
        {"sizes out", "TK", {{PideTalle, "-1"}, {Lotes, "|M" + y + "|XL|"}, {Series, "|1|2|"}}, "1|A001|M|NULL|-1 2|A001|XL|NULL|-2"},
        // One lot or size out without its quantity takes the whole line.
        {"a lot out without its quantity", "TK", {{Lotes, "|L1|"}}, "1|A001|L1|NULL|-3"},
        {"a size out without its quantity", "TK", {{PideTalle, "-1"}, {Lotes, "|M" + y + "|"}}, "1|A001|M|NULL|-3"},
    };
    for (const Caso& c : casos) EXPECT_EQ(UnaLinea(c.tc, c.cantidad, c.celdas), c.filas) << c.nombre;

    // Several lots out without the quantity of each cannot be posted: the voucher fails, with a
    // message, and nothing of it is written.
    grilla.SetRows(1);
    LineaSimple("3");
    grilla.SetTextMatrix(1, Lotes, "|L1|L2|");
    prompter.answer(vb::kOk, "Falta la cantidad de cada lote del artículo 000123.");
    EXPECT_TRUE(Postea("TK", "000100000099C"));
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(Movimientos("000100000099C"), "");
}

TEST_F(ActualizaStockTest, DepositAndReasonArguments) {
    Claves({"DepositoDefault", "A002", "MotivoStockDefault", "5"});
    // Deposit and reason as passed; the line's own deposit and reason (column MotivoStock "6").
    const std::tuple<QString, QString, QString, std::string> casos[] = {
        {"", "", "", "1|A002|5"},                    // blank deposit and empty reason: the defaults
        {"", "", "  ", "1|A002|NULL"},               // a reason of blanks: none
        {"ELDELGRID", "A001", "ELDELGRID", "1|A001|6"},
        {"ELDELGRID", "", "2'", "1|A002|2"},         // a line without a deposit: the default, never the marker
    };
    for (const auto& [deposito, enLinea, motivo, fila] : casos)
        EXPECT_EQ(UnaLinea("TK", "1", {{IdDeposito, enLinea}, {MotivoStock, "6"}}, "Secuencia, IdDeposito, IdMotivoStock",
                           deposito, motivo),
                  fila)
            << motivo.toStdString();
}

TEST_F(ActualizaStockTest, StatementModeWritesNothingAndReturnsEveryInsert) {
    LineaSimple("1");
    LineaSimple("2");
    QString sql = "previo";
    EXPECT_FALSE(Postea("TK", "000100000006C", 0, &sql));
    EXPECT_TRUE(sql.startsWith("previo\rINSERT INTO V_MV_STOCK(TC,IdComprobante,"));
    EXPECT_EQ(sql.count("\rINSERT INTO V_MV_STOCK("), 2);
    EXPECT_EQ(Movimientos("000100000006C"), "");
    // A voucher that fails half way adds nothing to the caller's batch.
    grilla.SetTextMatrix(2, Precio, "999999999999999999");
    prompter.answer(vb::kAbort, "Ha ocurrido el Siguiente Error (6)");
    sql = "previo";
    EXPECT_TRUE(Postea("TK", "000100000006C", 0, &sql));
    EXPECT_EQ(sql, "previo");
}

TEST_F(ActualizaStockTest, NoBusinessUnitWritesNothing) {
    core::gUNegocio = "  ";
    LineaSimple("1");
    prompter.answer(vb::kOk, "ERROR EN ASIGNACION DE UNIDAD DE NEGOCIO\r\nVerifique si el usuario tiene asignado");
    EXPECT_TRUE(Postea("TK", "000100000007C"));
    EXPECT_EQ(Movimientos("000100000007C"), "");
}

TEST_F(ActualizaStockTest, AVoucherIsWrittenWholeOrNotAtAll) {
    for (int i = 0; i < 4; ++i) LineaSimple("1");
    // A statement refused in the middle of the voucher: a row already stored at sequence 3.
    Ejecuta({"INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo, UNEGOCIO) "
             "VALUES ('TK  ', '000100000008C', 3, '01/03/2008', 'OTRO', 'A001')"});
    prompter.answer(vb::kOk);
    EXPECT_TRUE(Postea("TK", "000100000008C"));
    EXPECT_EQ(Movimientos("000100000008C", "Secuencia, IdArticulo"), "3|OTRO");
    EXPECT_EQ(prompter.shown().back().title.toStdString(), "Aviso al operador");

    // An error the operator is asked about, answered Abort, on the third line.
    grilla.SetTextMatrix(3, Precio, "999999999999999999");
    prompter.answer(vb::kAbort, "Ha ocurrido el Siguiente Error (6)");
    EXPECT_TRUE(Postea("TK", "000100000009C"));
    EXPECT_EQ(Movimientos("000100000009C"), "");
}

TEST_F(ActualizaStockTest, AValueTooLongForItsColumnFailsTheVoucherWithOneBox) {
    const QString largo = QString(51, u'L');
    // The second line's cell (or the salesperson, -1) holds a value its column cannot take.
    const std::pair<int, QString> casos[] = {{IdUnidad, "UNIDA"}, {IdDeposito, "A0001"}, {IdArticulo, QString(26, u'A')},
                                             {Lotes, "|" + largo + "|"}, {ControladoPor, largo}, {-1, "VENDE"}};
    for (const auto& [col, valor] : casos) {
        grilla.SetRows(1);
        LineaSimple("1");
        LineaSimple("2");
        if (col < 0) vendedor = valor;
        else grilla.SetTextMatrix(2, col, valor);
        grilla.SetTextMatrix(2, Series, col == Lotes ? "|2|" : "");
        prompter.answer(vb::kOk, "String or binary data would be truncated.");
        EXPECT_TRUE(Postea("TK", "000100000010C")) << col;
        EXPECT_EQ(Movimientos("000100000010C"), "") << col;
        vendedor.clear();
    }
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(prompter.shown().size(), 6u);
}

TEST_F(ActualizaStockTest, AnArticleLookupThatFailsFailsTheVoucher) {
    LineaSimple("1");   // no cost of its own, the article's supplier account
    Ejecuta({"DROP VIEW V_MA_ARTICULOS"});
    prompter.answer(vb::kAbort, "Ha ocurrido el Siguiente Error (");   // the query
    prompter.answer(vb::kAbort, "Ha ocurrido el Siguiente Error (");   // the posting reading it
    EXPECT_TRUE(Postea("TK", "000100000011C"));
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(Movimientos("000100000011C"), "");
}

TEST_F(ActualizaStockTest, StockSign) {
    Ejecuta({"UPDATE V_TA_CPTE SET ES = NULL WHERE CODIGO = 'TK'",
             "INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, ES) VALUES ('FC', 1, 'S')",
             "INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, Signo) VALUES ('ND', 1, 1)",
             "INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, ES) VALUES ('AJ', 1, 'e')"});
    posting::ClsCmnCptes cpte;
    // Type, VAT book, DebitoProveedor, sign.
    const std::tuple<QString, bool, bool, int> casos[] = {{"FC", false, false, -1}, {"FC", true, false, 1},
        {"ND", true, false, 1}, {"ND", true, true, -1}, {"ND", false, false, -1}, {"TK", false, false, 0}, {"aj", false, false, 1}};
    for (const auto& [tc, libroIVA, debito, signo] : casos) {
        cpte.DebitoProveedor = debito;
        EXPECT_EQ(cpte.ObtieneSignoComprobante(tc, libroIVA).value(), signo) << tc.toStdString() << libroIVA;
    }
    prompter.answer(vb::kOk, "El Tipo de Comprobante informado no existe en la tabla de comprobantes");
    EXPECT_FALSE(cpte.ObtieneSignoComprobante("ZZ").read());   // no sign known, rather than 0
}

}  // namespace
