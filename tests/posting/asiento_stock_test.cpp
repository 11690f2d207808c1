// The journal entry from stock on the demo database (stock subdiary "STK"; 000123 and 000456 on
// inventory account 1.1.05, 000789 moved to 1.1.08 here): entries posted, run and read back.
#include "posting/cls_cmn_cptes.h"

#include "data/connection_calls.h"
#include "platform/vb/on_error.h"
#include "data/db_dll.h"
#include "posteo_fixture.h"

#include <map>
#include <random>

namespace {

using namespace posting::art;

class AsientoStockTest : public postingtest::PosteoTest {
protected:
    void SetUp() override {
        PosteoTest::SetUp();
        Claves({"AsientosXStock", "SI"});
        // The journal starts empty: the demo's suppliers' journal vouchers are not counted here.
        Ejecuta({"DELETE FROM MV_ASIENTOS", "UPDATE MA_ARTICULOS SET CUENTACONTABLEC = '1.1.08' WHERE IDARTICULO = '000789'",
                 "INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA, ES) VALUES ('RM', 1, 'STOCK', 'S')",
                 "INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('RM', 'ST')"});
        core::gPeriodo = 2008;
        core::gUsuarioLogeado = "operador";
        cpte = std::make_unique<posting::ClsCmnCptes>();
    }
    // Lines of demo articles (article, quantity) at their costs, or all at `costo`; price 6.
    void Llena(const std::vector<std::pair<QString, QString>>& filas, const QString& costo = "") {
        const QHash<QString, QString> costos = {{"000123", "45.5"}, {"000456", "30"}, {"000789", "80.25"}};
        grilla.SetRows(1);
        for (const auto& [articulo, cantidad] : filas) {
            LineaSimple(cantidad, articulo);
            grilla.SetTextMatrix(grilla.Rows() - 1, Costo, costo.isEmpty() ? costos.value(articulo) : costo);
            grilla.SetTextMatrix(grilla.Rows() - 1, PrecioSinIVA, "6");
        }
    }
    // The entry of voucher TC 0001-<nro>-C asked directly and run; HayError in hayError.
    QString Asienta(const QString& tc, const QString& motivo, int16_t tipoMov = 0, int32_t fila = 0, int nro = 5) {
        QString t = tc, suc = "0001", n = QStringLiteral("%1").arg(nro, 8, 10, QChar(u'0')), l = "C";
        motivoFinal = motivo, hayError = false;
        const QString texto = cpte->GeneraAsientoStock(grilla, motivoFinal, t, suc, n, l, "05/03/2008", esDebito,
                                                       tipoMov, fila, nullptr, &hayError);
        for (const QString& s : texto.split("\r\n", Qt::SkipEmptyParts)) data::gDBPrincipal().gCnn()->Execute(s);
        return texto;
    }
    bool Postea(const QString& tc, const QString& nro, QString* sql = nullptr, const QString& motivo = "6",
                const QString& origen = "I", const QString& cuenta = "PorDefault") {
        bool hayError = false;
        cpte->ActualizaStock(grilla, tc, nro, "0", "05/03/2008", "A001", "", motivo, origen, "7", false, cuenta,
                             sql != nullptr, sql, &hayError);
        return hayError;
    }
    // The stored journal lines in entry and sequence order.
    std::string Lineas(const QString& cols = "[Numero Asiento], Secuencia, Cuenta, [DEBE-HABER], Importe",
                       const QString& donde = "1=1", const QString& orden = " ORDER BY [Numero Asiento], Secuencia") {
        return Consulta("SELECT " + cols + " FROM MV_ASIENTOS WHERE " + donde + orden);
    }
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    bool esDebito = false, hayError = false;
    QString motivoFinal;
};

TEST_F(AsientoStockTest, PostingRowByRowBooksOneBalancedEntryPerVoucher) {
    Ejecuta({"UPDATE V_TA_MOTIVOSTOCK SET Descripcion = 'Recepción d''OC' WHERE IDMOTIVOSTOCK = 5"});   // a quote
    Llena({{"000123", "3"}, {"000789", "2"}, {"000123", "1"}});
    EXPECT_FALSE(Postea("IR", "000100000005C", nullptr, "5"));
    // IR credits the reason's account with the total and debits each inventory account; the
    // rows of one account add to its line.
    const QString a = QString::number(4 * 45.5), b = QString::number(2 * 80.25), t = QString::number(4 * 45.5 + 2 * 80.25);
    EXPECT_EQ(Lineas(), ("1|1|2.1.01|H|" + t + " 1|2|1.1.05|D|" + a + " 1|3|1.1.08|D|" + b).toStdString());
    EXPECT_EQ(Lineas("DISTINCT CABImporte", "1=1", ""), t.toStdString());   // every line carries the total
    EXPECT_EQ(Lineas("Mes_Operativo, PERIODO, Tipo_Reg, TC, SUCURSAL, NUMERO, LETRA, Detalle, CABCuenta, CABNombre, "
                     "Unegocio, IdCajas, Moneda, USUARIO_LOGEADO", "Secuencia = 1"),
              "3|2008|STK|IR|0001|00000005|C|Recepción d'OC|2.1.01|5|A001|1|1|operador");
    Llena({{"000123", "-2"}, {"000789", "1"}});   // a return: the total is negative
    EXPECT_FALSE(Postea("VS", "000100000006C"));
    EXPECT_EQ(Lineas("Cuenta, [DEBE-HABER], Importe", "[Numero Asiento] = 2"),
              "5.1.02|H|91 1.1.05|D|91 5.1.02|D|80.25 1.1.08|H|80.25");
    Llena({{"000123", "2"}});
    EXPECT_FALSE(Postea("TK", "000100000007C"));   // sales get no entry from stock
    EXPECT_EQ(Lineas("COUNT(*)", "1=1", ""), "7");
}

TEST_F(AsientoStockTest, StatementModeReturnsTheEntryUnderTheMovementTypesReason) {
    struct Caso { const char *tc, *origen, *comodato, *cuenta, *linea; } casos[] = {
        {"IR", "OC", "0", "PorDefault", "5|H"}, {"IR", "RM", "0", "PorDefault", "4|H"}, {"RM", "I", "1", "1.1.10", "3|D"},
        {"RM", "I", "0", "1.1.10", "4|D"},      {"RM", "I", "0", "PorDefault", "2|D"}, {"VS", "OC", "0", "1.1.10", "6|D"},
    };
    Llena({{"000123", "2"}});
    for (int nro = 11; const Caso& c : casos) {
        grilla.SetTextMatrix(1, EnComodato, c.comodato);
        QString sql;
        const QString numero = QStringLiteral("%1").arg(nro++, 8, 10, QChar(u'0'));
        EXPECT_FALSE(Postea(c.tc, "0001" + numero + "C", &sql, "6", c.origen, c.cuenta));
        EXPECT_EQ(Lineas("COUNT(*)", "1=1", "") + Filas("COUNT(*)", "IdComprobante = '0001" + numero + "C'"),
                  "00");   // nothing run
        data::gDBPrincipal().EjecutaConsultaSQL(sql);
        EXPECT_EQ(Lineas("CABNombre, [DEBE-HABER]", "NUMERO = '" + numero + "' AND Secuencia = 1"), c.linea) << c.tc;
        Ejecuta({"DELETE FROM MV_ASIENTOS", "DELETE FROM V_MV_STOCK WHERE TC <> 'AJP'"});
    }
}

TEST_F(AsientoStockTest, SideReasonAndAmountColumnByTypeAndMovement) {
    struct Caso { const char* tc; int16_t tipoMov; const char *grilla, *linea; } casos[] = {
        {"AJP", 0, "MSFlexGrid2", "H|6|10"}, {"AJN", 0, "MSFlexGrid2", "D|6|10"},
        {"RM", 0, "MSFlexGrid2", "D|6|10"},    // a stock exit by its sign debits the reason
        {"RM", 3, "MSFlexGrid2", "D|4|10"},  {"IR", 4, "MSFlexGrid2", "H|4|10"},  {"RMC", 0, "MSFlexGrid2", "H|5|12"},
        {"RM", 1, "MSFlexGridDif", "H|6|10"}, {"IR", 5, "MSFlexGridDif", "D|6|12"}, {"TK", 1, "MSFlexGrid2", ""},
        {"FKFC", 0, "MSFlexGrid2", ""},      {"FCC", 99, "MSFlexGrid2", ""},     // no entry for these
    };
    Llena({{"000123", "2"}}, "5");
    for (int nro = 1; const Caso& c : casos) {
        grilla.SetName(c.grilla);
        Asienta(c.tc, "'6'", c.tipoMov, 0, nro);
        const QString donde = QStringLiteral("NUMERO = '%1' AND Secuencia = 1").arg(nro++, 8, 10, QChar(u'0'));
        EXPECT_EQ(Lineas("[DEBE-HABER], CABNombre, Importe", donde), c.linea) << c.tc << c.tipoMov;
        EXPECT_TRUE(!*c.linea || esDebito == (c.linea[0] == 'D')) << c.tc << c.tipoMov;
    }
}

TEST_F(AsientoStockTest, OneVoucherNumberAtTwoStoresGivesTwoEntries) {
    Llena({{"000123", "2"}, {"000456", "1"}, {"000789", "1"}});
    for (const char* unidad : {"A001", "A002"}) {
        core::gUNegocio = unidad;
        cpte->IniciaAsientoStock();
        for (int fila : {1, 2, 3}) Asienta("VS", "6", 0, fila);
    }
    EXPECT_EQ(Lineas("[Numero Asiento], Secuencia, Cuenta, [DEBE-HABER], Importe, Unegocio"),
              "1|1|5.1.02|D|201.25|A001 1|2|1.1.05|H|121|A001 1|3|1.1.08|H|80.25|A001 "
              "2|1|5.1.02|D|201.25|A002 2|2|1.1.05|H|121|A002 2|3|1.1.08|H|80.25|A002");
}

TEST_F(AsientoStockTest, CostOfSalesAndFailuresThatFailTheVoucher) {
    Llena({{"000123", "2"}});
    Ejecuta({"INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('CMV', 'ST')"});
    Asienta("TK", "1", 99);   // a voucher of its own, on the cost of goods sold
    EXPECT_EQ(Lineas("TC, SUCURSAL, NUMERO, LETRA, TC_ORIGEN, CPTE_ORIGEN, Cuenta, [DEBE-HABER], Importe, Detalle"),
              "CMV|0001|00000001|X|TK|000100000005C|5.1.01|D|91|Venta de mostrador "
              "CMV|0001|00000001|X|TK|000100000005C|1.1.05|H|91|Venta de mostrador");
    Asienta("VS", "6");
    prompter.answer(1, "El comprobante ya ha Sido Cargado. Asiento 03 - 000002");
    EXPECT_EQ(Asienta("VS", "6"), QString());
    EXPECT_TRUE(hayError);
    // A logged user too long for the entry's column: the row's stock goes back with its lines.
    core::gUsuarioLogeado = QString(31, u'u');
    prompter.answer(1, "String or binary data would be truncated.");
    EXPECT_TRUE(Postea("IR", "000100000008C"));
    core::gUsuarioLogeado = "operador";
    prompter.answer(1, "No se puede generar el asiento de Costo de mercaderia!.. no esta configurada la cuenta");
    Ejecuta({"UPDATE V_TA_Input_Ventas SET COSTO_MERCADERIA = ' '", "UPDATE MA_SUBDIARIOS SET Subdiario = NULL"});
    EXPECT_EQ(Asienta("TK", "1", 99), QString());
    EXPECT_TRUE(hayError);
    // Posting: the stock rows go back with the entry that cannot be booked.
    prompter.answer(1, "No se ha informado El Tipo de Registro que generará el Asiento, corrija esto desde "
                       "configuración y vuelva a intentarlo");
    EXPECT_TRUE(Postea("IR", "000100000009C"));
    EXPECT_EQ(Filas("COUNT(*)", "TC = 'IR'"), "0");
}

TEST_F(AsientoStockTest, AnEntryThatCannotBeBookedFailsTheVoucher) {
    Llena({{"000123", "2"}});
    Ejecuta({"INSERT INTO V_TA_MOTIVOSTOCK (IDMOTIVOSTOCK, Descripcion, CUENTACONTABLE) VALUES (7, 'Sin cuenta', NULL)"});
    for (const char* motivo : {"99", "7"}) {   // a reason without a row, one without an account
        prompter.answer(1, QStringLiteral("No se puede generar el asiento de Stock!.. el motivo de stock ") + motivo);
        EXPECT_TRUE(Postea("VS", "000100000021C", nullptr, motivo));
    }
    // A failing query passed over with Ignore, where it is opened and where it is read.
    Ejecuta({"DROP TABLE V_TA_MOTIVOSTOCK"});
    prompter.answer(vb::kIgnore, "Ha ocurrido el Siguiente Error (");
    prompter.answer(vb::kIgnore, "Ha ocurrido el Siguiente Error (");
    EXPECT_TRUE(Postea("VS", "000100000021C"));
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(Filas("COUNT(*)", "TC = 'VS'") + Lineas("COUNT(*)", "1=1", ""), "00");
}

TEST_F(AsientoStockTest, ALaterPartOfAVoucherWhoseFirstPartFailedBooksLinesOfItsOwn) {
    Llena({{"000123", "1"}});
    core::gUsuarioLogeado = QString(31, u'u');   // the first part's entry cannot be written
    prompter.answer(1, "String or binary data would be truncated.");
    EXPECT_TRUE(Postea("VS", "000100000061C"));
    core::gUsuarioLogeado = "operador";
    cpte->ActualizaStock(grilla, "VS", "000100000061C", "0", "05/03/2008", "A001", "", "6", "I", "7", false,
                         "PorDefault", false, nullptr, &hayError, "Null", "", "", "", 0, false, "", 1);
    EXPECT_FALSE(hayError);
    EXPECT_EQ(Lineas("Secuencia, Cuenta, [DEBE-HABER], Importe"), "1|5.1.02|D|45.5 2|1.1.05|H|45.5");
}

TEST_F(AsientoStockTest, TwoEngineObjectsInStatementModeNeverShareAnEntryNumber) {
    Llena({{"000123", "1"}});
    auto otro = std::make_unique<posting::ClsCmnCptes>();
    for (int nro : {31, 32, 33}) {
        if (nro == 32) std::swap(cpte, otro);   // the other object books in between
        QString sql;
        EXPECT_FALSE(Postea("VS", QStringLiteral("0001000000%1C").arg(nro), &sql));
        data::gDBPrincipal().EjecutaConsultaSQL(sql);
        if (nro == 32) std::swap(cpte, otro);
    }
    EXPECT_EQ(Lineas("NUMERO, [Numero Asiento]", "Secuencia = 1"), "00000031|1 00000032|2 00000033|3");
}

TEST_F(AsientoStockTest, ProductionOrderRowByRowBooksProductsAndInputsOnOppositeSides) {
    Ejecuta({"INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, SISTEMA) VALUES ('OP  ', 1, 'STOCK')",
             "INSERT INTO MA_SUBDIARIOSCOMPROBANTES (TC, Subdiario) VALUES ('OP  ', 'ST  ')"});
    Llena({{"000789", "4"}, {"000123", "2"}});   // an input out, the product in
    grilla.SetTextMatrix(2, CantidadInsumo, "-1");
    EXPECT_FALSE(Postea("OP", "000100000041X"));
    EXPECT_EQ(Lineas("Secuencia, Cuenta, [DEBE-HABER], Importe"), "1|5.1.02|H|91 2|1.1.05|D|91 3|5.1.02|D|321 4|1.1.08|H|321");
}

TEST_F(AsientoStockTest, EachLineOfAVoucherAsksTheDatabaseOnce) {
    // Every statement and query the program sends, counted.
    struct Cuenta : data::ConnectionCalls {
        int n = 0;
        ado::RecordsetPtr Execute(ado::Connection& c, const QString& sql, long* filas, long opciones) override {
            ++n;
            return ConnectionCalls::Execute(c, sql, filas, opciones);
        }
        void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& c, int cursor, int bloqueo,
                           long opciones) override {
            ++n;
            ConnectionCalls::OpenRecordset(rs, sql, c, cursor, bloqueo, opciones);
        }
    };
    auto cuenta = std::make_shared<Cuenta>();
    data::gDBPrincipal().setConnectionCalls(cuenta);
    Claves({"DescargaInsumosProduccion", "SI"});
    std::map<int, int> llamadas;
    for (int lineas : {1, 11}) {
        Llena(std::vector<std::pair<QString, QString>>(lineas, {"000456", "1"}), "0");   // no cost of their own
        cuenta->n = 0;
        EXPECT_FALSE(Postea("VS", QStringLiteral("0001000000%1C").arg(50 + lineas)));
        llamadas[lineas] = cuenta->n;
    }
    data::gDBPrincipal().setConnectionCalls(nullptr);
    EXPECT_EQ(llamadas[11] - llamadas[1], 10) << llamadas[1] << " calls for one line";
}

TEST_F(AsientoStockTest, LongArticleListsAndQuotedCodes) {
    Ejecuta({"INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, CUENTACONTABLEC) VALUES ('O''HIGGINS', 'x', '1.1.05')"});
    std::vector<std::pair<QString, QString>> filas = {{"O'HIGGINS", "0.5"}};
    for (int i = 0; i < 2400; ++i) filas.push_back({i % 2 ? "000123" : QString::number(100000 + i), "1"});   // half unknown
    Llena(filas, "1");
    Asienta("VS", "6");
    EXPECT_EQ(Lineas("Cuenta, Importe"), "5.1.02|1200.5 1.1.05|1200.5");
}

// Row by row, an inventory account stored with leading blanks is the line an earlier row wrote
// under its plain spelling: the later row's amount is added to that line, never lost.
TEST_F(AsientoStockTest, ARowAddsToTheLineOfItsAccountHoweverTheAccountIsSpelled) {
    Ejecuta({"UPDATE MA_ARTICULOS SET CUENTACONTABLEC = ' 1.1.05' WHERE IDARTICULO = '000456'"});
    Llena({{"000123", "3"}, {"000456", "2"}});
    EXPECT_FALSE(Postea("IR", "000100000005C", nullptr, "5"));
    EXPECT_EQ(Lineas("Secuencia, Cuenta, [DEBE-HABER], Importe, CABImporte"),
              "1|2.1.01|H|196.5|196.5 2|1.1.05|D|196.5|196.5");
}

TEST_F(AsientoStockTest, RandomVouchersAlwaysBalanceAndNeverRepeatASequence) {
    std::mt19937 azar(22);
    const char *articulos[] = {"000123", "000456", "000789", "SIN-CUENTA"}, *tipos[] = {"IR", "VS", "RM", "AJP", "AJN"};
    for (int v = 1; v <= 40; ++v) {
        grilla.SetRows(1);
        for (int f = 0, n = 1 + azar() % 6; f < n; ++f) {
            LineaSimple(QString::number(static_cast<int>(azar() % 11) - 4), articulos[azar() % 4]);
            grilla.SetTextMatrix(f + 1, Costo, QString::number((azar() % 1000000) / 10000.0, 'f', 4));
        }
        const char* tc = tipos[azar() % 5];
        cpte->IniciaAsientoStock();
        const int porFilas = azar() % 2;   // the whole grid, or row by row
        for (int f = porFilas; f < (porFilas ? grilla.Rows() : 1); ++f) {
            Asienta(tc, "6", 0, f, v);
            ASSERT_FALSE(hayError);
        }
    }
    // Per entry (register and number): balanced, one voucher, no sequence twice; no line of 0 or less.
    for (const char* donde : {"1=1 GROUP BY Tipo_Reg, [Numero Asiento] HAVING ROUND(SUM(CASE WHEN [DEBE-HABER] = 'D' "
                              "THEN Importe ELSE -Importe END), 4) <> 0 OR MIN(NUMERO) <> MAX(NUMERO)",
                              "1=1 GROUP BY NUMERO HAVING MIN([Numero Asiento]) <> MAX([Numero Asiento])",
                              "1=1 GROUP BY Tipo_Reg, [Numero Asiento], Secuencia HAVING COUNT(*) > 1", "Importe <= 0 GROUP BY NUMERO"})
        EXPECT_EQ(Lineas("MIN(NUMERO)", donde, ""), "") << donde;
    EXPECT_GT(std::stoi(Lineas("COUNT(*)", "1=1", "")), 60);
}

}   // namespace
