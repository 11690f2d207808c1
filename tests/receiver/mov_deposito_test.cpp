#include "receiver_fixture.h"

#include "platform/vb/on_error.h"
#include "platform/vb/scope_guard.h"

namespace {

using receivertest::kDiaDemo;
using receivertest::ReceiverFixture;

class MovDepositoTest : public ReceiverFixture {
protected:
    // The stock rows of the head office: type, number, unit, row, article, deposit, quantity.
    QStringList Stock(const QString& donde = QString()) {
        return Filas(Principal(), QStringLiteral("SELECT TC, IdComprobante, UNEGOCIO, Secuencia, IdArticulo, IdDeposito, "
                                                 "Cantidad FROM V_MV_STOCK ") +
                                      donde + QStringLiteral(" ORDER BY UNEGOCIO, TC, IdComprobante, Secuencia"));
    }
    long Avisos() { return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_MEMOS")); }
    // The stock journal entries: number, unit, voucher, and what their debit and credit lines add up to.
    QStringList Asientos() {
        return Filas(Principal(), QStringLiteral("SELECT [Numero Asiento], Unegocio, TC, SUCURSAL, NUMERO, "
                                                 "SUM(CASE WHEN [DEBE-HABER] = 'D' THEN Importe ELSE 0 END), "
                                                 "SUM(CASE WHEN [DEBE-HABER] = 'H' THEN Importe ELSE 0 END) FROM MV_ASIENTOS "
                                                 "WHERE Tipo_Reg = 'STK' GROUP BY [Numero Asiento], Unegocio, TC, SUCURSAL, NUMERO ORDER BY 1"));
    }
};

TEST_F(MovDepositoTest, TheDemoDayPostsEachStoreVoucherUnderItsUnit) {
    core::gUNegocio = QStringLiteral("A7");   // the logged user's own unit, no store's
    const receiver::ResultadoRecepcion r = Recibe();
    EXPECT_EQ(r.filas, 10);
    EXPECT_EQ(r.comprobantes, 7);
    EXPECT_EQ(r.rechazadas, 1);
    // Two tickets of store 001 both sell article 123; store 001's and store 002's entries share
    // type, point of sale and number and are two vouchers, each numbered from 1.
    EXPECT_EQ(Stock(QStringLiteral("WHERE FECHA = '05/03/2008' AND TC <> 'PE'")),
              (QStringList{
                  "IR|000300000007C|A001|1|000123|A001|6",
                  "TK|000100000010C|A001|1|000123|A001|-2",
                  "TK|000100000010C|A001|2|000456|A001|-1",
                  "TK|000100000012C|A001|1|000123|A001|-1",
                  "TK|000100000012C|A001|2|000789|A001|-2",
                  "VS|000100000005C|A001|1|000789|A001|-1",
                  "IR|000200000003C|A002|1|000789|A002|24",
                  "IR|000300000007C|A002|1|000123|A002|4",
                  "TK|000200000012C|A002|1|QUESO-KG-1|A002|-0.75",
              }));
    // The unknown article is logged and the administrators are told where.
    const QStringList log = Log();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("ARTICULO INEXISTENTE; Suc:002; Tipo:VT; PtoVta:0002; Numero:00000011")))
        << log[0].toStdString();
    EXPECT_TRUE(log[0].contains(QStringLiteral("Articulo:999999"))) << log[0].toStdString();
    EXPECT_EQ(Filas(Principal(), QStringLiteral("SELECT DE, PARA, ASUNTO, MENSAJE FROM MV_MEMOS")),
              QStringList{QStringLiteral("Sistemas|ALL_ADMIN|ERRORES EN RECEPCION VENTAS SUCURSALES|SE HA GUARDADO UN "
                                         "TESTIGO CON LOS REGISTROS CON ERRORES EN: ") +
                          tmp.file(QStringLiteral("err-2008-03-05-1.log"))});
    // Entries and exits get their journal entries, sales none; the two stores' entries under one
    // number are two entries, each balanced under its own unit.
    EXPECT_EQ(Asientos(), (QStringList{"1|A001|VS|0001|00000005|80.25|80.25", "2|A001|IR|0003|00000007|273|273",
                                       "3|A002|IR|0002|00000003|1926|1926", "4|A002|IR|0003|00000007|182|182"}));
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A7"));   // the program's unit is left as it was
    // The grid is left laid out for the next voucher.
    EXPECT_EQ(grilla.Rows(), 2);
    EXPECT_EQ(grilla.TextMatrix(1, 0), QString());
}

TEST_F(MovDepositoTest, AReRunPostsNothingLogsEveryRowAndNotifiesOnce) {
    Recibe();
    const QStringList antes = Stock();
    const receiver::ResultadoRecepcion r = Recibe();
    EXPECT_EQ(Stock(), antes);
    EXPECT_EQ(r.comprobantes, 0);
    EXPECT_EQ(r.rechazadas, 10);
    const QStringList log = Log();   // the run's own file, one line per row
    ASSERT_EQ(log.size(), 10);
    EXPECT_EQ(log.filter(QStringLiteral("COMPROBANTE YA RECIBIDO")).size(), 9);
    EXPECT_EQ(log.filter(QStringLiteral("ARTICULO INEXISTENTE")).size(), 1);
    // Each run keeps its log, and each notice names its own.
    const QStringList avisos = Filas(Principal(), QStringLiteral("SELECT MENSAJE FROM MV_MEMOS ORDER BY ID"));
    ASSERT_EQ(avisos.size(), 2);
    EXPECT_EQ(RutaDelAviso(avisos[0]), tmp.file(QStringLiteral("err-2008-03-05-1.log")));
    EXPECT_EQ(RutaDelAviso(avisos[1]), tmp.file(QStringLiteral("err-2008-03-05-2.log")));
    EXPECT_EQ(LeeLog(RutaDelAviso(avisos[0])).size(), 1);
    EXPECT_EQ(r.log, RutaDelAviso(avisos[1]));
}

TEST_F(MovDepositoTest, AVoucherLongerThanTheGridPostsWholeInOneSequence) {
    const QString dia = QStringLiteral("06/03/2008");
    QString lote;
    for (int i = 1; i <= 3500; ++i)
        lote += QStringLiteral("INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, "
                               "Cantidad, venta, cod_depo) VALUES ('06/03/2008', '001', 'IN', '0001', '00000099', "
                               "'INGRESO', '%1', 1, 0, '001')\n")
                    .arg(i % 2 ? QStringLiteral("123") : QStringLiteral("789"));
    Exec(Remota(), lote);
    const receiver::ResultadoRecepcion r = Recibe(dia);
    EXPECT_EQ(r.comprobantes, 1);
    EXPECT_EQ(r.rechazadas, 0);
    EXPECT_EQ(Filas(Principal(), QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT Secuencia), MIN(Secuencia), MAX(Secuencia) "
                                                "FROM V_MV_STOCK WHERE IdComprobante = '000100000099C'")),
              QStringList{QStringLiteral("3500|3500|1|3500")});
    // Both parts book into one entry: 1750 sugars at 45.5 and 1750 coffees at 80.25.
    EXPECT_EQ(Asientos(), QStringList{QStringLiteral("1|A001|IR|0001|00000099|220062.5|220062.5")});

    // The same voucher whose second part cannot be written: nothing of it stays, every row is
    // logged, and the operator is told.
    Exec(Principal(), QStringLiteral("DELETE FROM V_MV_STOCK WHERE TC <> 'AJP'\nDELETE FROM MV_ASIENTOS"));
    Principal().setConnectionCalls(receivertest::FallaInsert(3200));
    ui::ScriptedPrompter guion;   // one box, naming the voucher and what refused it
    guion.answer(1, QStringLiteral("No se grabó el comprobante IR 000100000099C de la unidad A001\r\n") +
                        receivertest::kFilaRechazada);
    const receiver::ResultadoRecepcion fallo = Recibe(dia);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 1u);
    EXPECT_EQ(guion.shown().back().title, QStringLiteral("Atención2"));
    EXPECT_EQ(fallo.comprobantes, 0);
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE TC <> 'AJP'")), 0);
    EXPECT_TRUE(Asientos().isEmpty());
    EXPECT_EQ(Log().filter(QStringLiteral("ERROR AL GRABAR EL COMPROBANTE")).size(), 3500);
    EXPECT_EQ(Avisos(), 1);

    // The same voucher with a row after its first part naming a deposit the head office lacks:
    // the part already written is taken back, and every row waits for the deposit.
    auto filas = std::make_shared<testsupport::EnesimaSentencia>(
        [](const QString& sql) { return sql.contains(QStringLiteral("INSERT INTO V_MV_STOCK"), Qt::CaseInsensitive); }, 0,
        testsupport::Rechaza(QString()));
    Principal().setConnectionCalls(filas);
    Deposito(QStringLiteral("'06/03/2008', '001', 'IN', '0001', '00000099', 'INGRESO', '123', 1, 0, '099'"));
    EXPECT_EQ(Recibe(dia).comprobantes, 0);
    Principal().setConnectionCalls(nullptr);
    EXPECT_EQ(filas->cuenta, receiver::kFilasGrilla - 1);   // the first part, written
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE TC <> 'AJP'")), 0);
    EXPECT_TRUE(Asientos().isEmpty());
    const QStringList log = Log();
    EXPECT_EQ(log.filter(QStringLiteral("COMPROBANTE EN ESPERA DEL DEPOSITO (A099)")).size(), 3500);
    EXPECT_EQ(log.filter(QStringLiteral("DEPOSITO INEXISTENTE (A099)")).size(), 1);
    EXPECT_EQ(Avisos(), 2);
}

// The administrators' notice sent inside a voucher's transaction (at a row logged after the
// voucher's first part) stands or falls with the voucher: committed with it, or taken back with
// it and sent again, once, naming the log that holds every row of the voucher.
TEST_F(MovDepositoTest, ANoticeSentInsideAVoucherStandsOrFallsWithIt) {
    const QString dia = QStringLiteral("07/03/2008");
    QString lote;
    for (int i = 1; i <= 3050; ++i)
        lote += QStringLiteral("INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, "
                               "Cantidad, venta, cod_depo) VALUES ('07/03/2008', '001', 'IN', '0001', '00000097', "
                               "'INGRESO', '%1', 1, 0, '001')\n")
                    .arg(i == 3020 ? QStringLiteral("555") : QStringLiteral("123"));
    Exec(Remota(), lote);
    EXPECT_EQ(Recibe(dia).comprobantes, 1);
    EXPECT_EQ(Avisos(), 1);
    ASSERT_EQ(Log().size(), 1);
    EXPECT_TRUE(Log()[0].startsWith(QStringLiteral("ARTICULO INEXISTENTE"))) << Log()[0].toStdString();

    Exec(Principal(), QStringLiteral("DELETE FROM V_MV_STOCK WHERE TC <> 'AJP'\nDELETE FROM MV_ASIENTOS\nDELETE FROM MV_MEMOS"));
    Principal().setConnectionCalls(receivertest::FallaInsert(3030));   // in the voucher's second part
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("No se grabó el comprobante IR 000100000097C de la unidad A001\r\n") +
                        receivertest::kFilaRechazada);
    const receiver::ResultadoRecepcion fallo = Recibe(dia);
    Principal().setConnectionCalls(nullptr);
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(fallo.comprobantes, 0);
    EXPECT_EQ(Avisos(), 1);
    const QStringList log = Log();
    EXPECT_EQ(log.size(), 3050);
    EXPECT_EQ(log.filter(QStringLiteral("ARTICULO INEXISTENTE")).size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral("ERROR AL GRABAR EL COMPROBANTE")).size(), 3049);
    EXPECT_EQ(fallo.log, RutaDelAviso(Filas(Principal(), QStringLiteral("SELECT MENSAJE FROM MV_MEMOS"))[0]));
}

TEST_F(MovDepositoTest, RowsThatCannotBePostedAreLoggedAndTheRestGoesOn) {
    Exec(Principal(), QStringLiteral("INSERT INTO V_TA_UnidadNegocio (Codigo, Descripcion) VALUES ('A003', 'Sucursal 3')\n"
                                     "INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UNegocio) VALUES ('A003', 'Dep 3', 'A003')"));
    // A store database that lets anything through: any column Null, a quantity as text.
    Exec(Remota(), QStringLiteral("DROP TABLE Depositos\nCREATE TABLE Depositos (Fecha datetime, cod_suc varchar(4), TipoComp "
                                  "varchar(2), PtoVta varchar(4), Numero varchar(8), Movimiento varchar(10), Articulo "
                                  "varchar(25), Cantidad varchar(10), venta int, cod_depo varchar(4))"));
    const char* const filas[] = {
        "'1234', 'VT', '0001', '00000001', 'VENTA', '123', 1, 10, '001'",     // unit A1234
        "'003', 'VT', '0001', '00000001', 'VENTA', '123', 1, 10, '9999'",     // deposit A9999
        "'003', 'VT', '0001', '00000001', 'VENTA', '12''3', 1, 10, '003'",    // a quote
        "'003', 'VT', '0001', '00000001', 'VENTA', '1.5', 1, 10, '003'",      // not 000002
        "'003', 'VT', '0001', '00000001', 'VENTA', '0000123', 3, 30, '003'",
        // A row without store, deposit or a quantity that is a number is invalid data; point of
        // sale and number are padded apart ("1"+"23" is 0001-00000023, another voucher than
        // "12"+"3"); of two store types that make one exit number the second is a repeated number;
        // an exit row inside an entry voucher is refused.
        "NULL, 'VT', '0001', '00000002', 'VENTA', '123', 1, 10, '003'",
        "'003', 'VT', '0001', '00000001', 'VENTA', '123', 1, 10, NULL",
        "'003', 'VT', '0001', '00000001', 'VENTA', '123', 'abc', 10, '003'",
        "'003', 'VT', '1', '23', 'VENTA', '123', 1, 10, '003'",
        "'003', 'VT', '12', '3', 'VENTA', '123', 2, 20, '003'",
        "'003', 'AJ', '0002', '00000001', 'EGRESO', '123', 1, 0, '003'",
        "'003', 'RT', '0002', '00000001', 'ROTURA', '789', 1, 0, '003'",
        "'003', 'IN', '0003', '00000001', 'INGRESO', '123', 5, 0, '003'",
        "'003', 'IN', '0003', '00000001', 'EGRESO', '789', 1, 0, '003'",
    };
    for (const char* f : filas) Deposito(QStringLiteral("'07/03/2008', ") + QString::fromLatin1(f));
    EXPECT_EQ(Recibe(QStringLiteral("07/03/2008")).rechazadas, 9);
    EXPECT_EQ(Stock(QStringLiteral("WHERE FECHA = '07/03/2008'")),
              (QStringList{"IR|000300000001C|A003|1|000123|A003|5", "TK|000100000001C|A003|1|000123|A003|-3",
                           "TK|000100000023C|A003|1|000123|A003|-1", "TK|001200000003C|A003|1|000123|A003|-2",
                           "VS|000200000001C|A003|1|000123|A003|-1"}));
    QStringList razones;
    for (const QString& linea : Log()) razones << linea.section(u';', 0, 1);
    EXPECT_EQ(razones, (QStringList{"DATOS INVALIDOS (cod_suc); Suc:", "MOVIMIENTO DISTINTO AL DEL COMPROBANTE; Suc:003",
                                    "NUMERO DE COMPROBANTE REPETIDO EN LA RECEPCION; Suc:003",
                                    "CODIGO DE SUCURSAL O DEPOSITO DEMASIADO LARGO (cod_depo); Suc:003",
                                    "ARTICULO INEXISTENTE; Suc:003", "ARTICULO INEXISTENTE; Suc:003",
                                    "DATOS INVALIDOS (cod_depo); Suc:003", "DATOS INVALIDOS (Cantidad); Suc:003",
                                    "CODIGO DE SUCURSAL O DEPOSITO DEMASIADO LARGO (cod_suc); Suc:1234"}));
}

TEST_F(MovDepositoTest, ADayWithoutRowsOrABadDateReadsAndPostsNothing) {
    const QStringList antes = Stock();
    // A day without rows is told; a time, alone or with the day, is no date; a column the run
    // reads missing, or the table: one message each, nothing read.
    const char* const casos[][3] = {
        {"01/01/2001", "", "No hay movimientos de los locales para el 01/01/2001."},
        {"31/02/2008", "", "Debe ingresar un formato de fecha válido."},
        {"05/03/2008 10:00", "", "Debe ingresar un formato de fecha válido."},
        {"10:30", "", "Debe ingresar un formato de fecha válido."},
        {"05/03/2008", "DROP TABLE Depositos\nCREATE TABLE Depositos (Fecha datetime, cod_suc char(4), TipoComp char(2), "
                       "PtoVta char(4), Numero char(8), Movimiento varchar(10), Articulo varchar(25), Cantidad int, venta int)",
         "La tabla Depositos no tiene la columna cod_depo."},
        {"05/03/2008", "DROP TABLE Depositos", "Invalid object name 'Depositos'"}};
    for (const auto& [fecha, sql, mensaje] : casos) {
        if (*sql) Exec(Remota(), QString::fromLatin1(sql));
        ui::ScriptedPrompter guion;
        guion.answer(vb::kAbort, QString::fromUtf8(mensaje));
        EXPECT_EQ(Recibe(QString::fromLatin1(fecha)).filas, 0);
        EXPECT_TRUE(guion.exhausted() && guion.shown().size() == 1u) << fecha << sql;
    }
    EXPECT_EQ(Stock(), antes);
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_EQ(Avisos(), 0);
}

// Every kind of row the head office cannot take is logged with a reason of its own, naming what
// is wrong, and nothing of it is posted; what it can take is posted, whatever the time of day in
// Fecha. The log reads back as written (UTF-8), a ';' or quote in a code kept inside its field.
TEST_F(MovDepositoTest, EachKindOfRowIsPostedOrLoggedWithItsOwnReason) {
    Exec(Remota(), QStringLiteral("DROP TABLE Depositos\nCREATE TABLE Depositos (Fecha datetime, cod_suc varchar(4), TipoComp "
                                  "varchar(2), PtoVta varchar(4), Numero varchar(8), Movimiento varchar(10), Articulo "
                                  "varchar(25), Cantidad varchar(30), venta varchar(30), cod_depo varchar(4))"));
    const char* const filas[] = {
        "'09/03/2008', '077', 'VT', '0001', '00000001', 'VENTA', '123', '1', '10', '077'",
        "'09/03/2008', '077', 'VT', '0001', '00000001', 'VENTA', '789', '2', '20', '077'",
        "'09/03/2008', 'Ñ01', 'VT', '0001', '00000001', 'VENTA', '123', '1', '10', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000031', 'VENTA', '123', '1', '10', '099'",
        "'09/03/2008', '001', 'VT', '0001', '00000031', 'VENTA', '789', '1', '10', '001'",
        "'09/03/2008', '001', NULL, '0001', '00000032', 'VENTA', '123', '1', '10', '001'",
        "'09/03/2008', '001', 'V''', '0001', '00000033', 'VENTA', '123', '1', '10', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '123', '1e20', '10', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '123', '1e15', '10', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '123', '1', '1e20', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '123', '1', 'abc', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '123', '100000', '100000000000', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '789', '1', NULL, '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', '12;3\"x', '1', '1', '001'",
        "'09/03/2008', '001', 'VT', '0001', '00000034', 'VENTA', 'ÑANDÚ-Ωő', '1', '1', '001'",
        "'09/03/2008 18:45', '001', 'IN', '0002', '00000035', 'INGRESO', '123', '5', '0', '001'",
    };
    for (const char* f : filas) Deposito(QString::fromUtf8(f));
    const receiver::ResultadoRecepcion r = Recibe(QStringLiteral("09/03/2008"));
    EXPECT_EQ(r.filas, 16);
    EXPECT_EQ(r.rechazadas, 15);
    // Of the sales, none: ticket 31 waits for its deposit, and the last good line of ticket 34 is
    // a sale without its price.
    EXPECT_EQ(Filas(Principal(), QStringLiteral("SELECT TC, IdComprobante, UNEGOCIO, IdArticulo, IdDeposito, Cantidad, PrecioVenta "
                                                "FROM V_MV_STOCK WHERE FECHA = '09/03/2008' ORDER BY IdComprobante")),
              (QStringList{"IR|000200000035C|A001|000123|A001|5|0"}));
    QStringList log = Log();
    std::sort(log.begin(), log.end());
    const char* const esperado[] = {
        "ARTICULO INEXISTENTE; Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:\"12;3\"\"x\"; Cantidad:1; Venta:1; Deposito:A001",
        "ARTICULO INEXISTENTE; Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:ÑANDÚ-Ωő; Cantidad:1; Venta:1; Deposito:A001",
        "COMPROBANTE EN ESPERA DEL DEPOSITO (A099); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000031; Movimiento:VENTA; "
        "Articulo:789; Cantidad:1; Venta:10; Deposito:A001",
        "DATOS INVALIDOS (Cantidad); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1e15; Venta:10; Deposito:A001",
        "DATOS INVALIDOS (Cantidad); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1e20; Venta:10; Deposito:A001",
        "DATOS INVALIDOS (venta); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:123; Cantidad:100000; Venta:100000000000; Deposito:A001",
        "DATOS INVALIDOS (venta); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:1e20; Deposito:A001",
        "DATOS INVALIDOS (venta); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:abc; Deposito:A001",
        "DATOS INVALIDOS (venta); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000034; Movimiento:VENTA; "
        "Articulo:789; Cantidad:1; Venta:; Deposito:A001",
        "DEPOSITO INEXISTENTE (A099); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000031; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:10; Deposito:A099",
        "SUCURSAL INEXISTENTE (A077); Suc:077; Tipo:VT; PtoVta:0001; Numero:00000001; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:10; Deposito:A077",
        "SUCURSAL INEXISTENTE (A077); Suc:077; Tipo:VT; PtoVta:0001; Numero:00000001; Movimiento:VENTA; "
        "Articulo:789; Cantidad:2; Venta:20; Deposito:A077",
        "SUCURSAL INEXISTENTE (AÑ01); Suc:Ñ01; Tipo:VT; PtoVta:0001; Numero:00000001; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:10; Deposito:A001",
        "TIPO DE COMPROBANTE DESCONOCIDO; Suc:001; Tipo:; PtoVta:0001; Numero:00000032; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:10; Deposito:A001",
        "TIPO DE COMPROBANTE DESCONOCIDO; Suc:001; Tipo:V'; PtoVta:0001; Numero:00000033; Movimiento:VENTA; "
        "Articulo:123; Cantidad:1; Venta:10; Deposito:A001",
    };
    QStringList lineas;
    for (const char* linea : esperado) lineas << QString::fromUtf8(linea);
    EXPECT_EQ(log, lineas);

    // Once the store and its deposit are set up, a receive of the day posts its voucher.
    Exec(Principal(), QStringLiteral("INSERT INTO V_TA_UnidadNegocio (Codigo, Descripcion) VALUES ('A077', 'Sucursal 77')\n"
                                     "INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UNegocio) VALUES ('A077', 'Dep 77', 'A077')"));
    Recibe(QStringLiteral("09/03/2008"));
    EXPECT_EQ(Stock(QStringLiteral("WHERE UNEGOCIO = 'A077'")),
              (QStringList{"TK|000100000001C|A077|1|000123|A077|-1", "TK|000100000001C|A077|2|000789|A077|-2"}));
    EXPECT_EQ(Log().filter(QStringLiteral("SUCURSAL INEXISTENTE")).size(), 1);
}

// A row naming a deposit the head office lacks holds its whole voucher, as an unknown store does:
// nothing of it is posted, that row is logged DEPOSITO INEXISTENTE and the others as waiting for
// it. Once the deposit is set up, the next receive posts the voucher whole, and no receive after
// that posts it again. A sale needs its price: one without (a store table that lets a Null
// through) is logged and not posted; an entry carries none and is posted without.
TEST_F(MovDepositoTest, AVoucherWaitsWholeForItsDepositAndIsPostedOnceAfterItsSetUp) {
    Exec(Remota(), QStringLiteral("DROP TABLE Depositos\nCREATE TABLE Depositos (Fecha datetime NOT NULL, cod_suc char(4) NOT "
                                  "NULL, TipoComp char(2) NOT NULL, PtoVta char(4) NOT NULL, Numero char(8) NOT NULL, "
                                  "Movimiento varchar(10) NULL, Articulo varchar(25) NOT NULL, Cantidad numeric(18,3) NOT "
                                  "NULL, venta numeric(18,3) NULL, cod_depo char(4) NULL)"));
    for (const char* fila : {"'VT', '0001', '00000040', 'VENTA', '123', 1, 10, '001'",
                             "'VT', '0001', '00000040', 'VENTA', '456', 1, 20, '099'",
                             "'VT', '0001', '00000040', 'VENTA', '789', 2, 30, '001'",
                             "'VT', '0001', '00000041', 'VENTA', '123', 1, NULL, '001'",
                             "'VT', '0001', '00000041', 'VENTA', '789', 1, 15, '001'",
                             "'IN', '0001', '00000042', 'INGRESO', '123', 5, NULL, '001'"})
        Deposito(QStringLiteral("'11/03/2008', '001', ") + QLatin1String(fila));
    auto motivos = [] {
        QStringList m;
        for (const QString& l : Log()) m << l.section(QStringLiteral("; "), 0, 0) + u' ' + l.section(QStringLiteral("; "), 4, 4) +
                                            u' ' + l.section(QStringLiteral("; "), 6, 6);
        m.sort();
        return m;
    };
    const QString dia = QStringLiteral("11/03/2008");
    const QString delDia = QStringLiteral("WHERE FECHA = '11/03/2008'");
    EXPECT_EQ(Recibe(dia).comprobantes, 2);
    EXPECT_EQ(Stock(delDia), (QStringList{"IR|000100000042C|A001|1|000123|A001|5", "TK|000100000041C|A001|1|000789|A001|-1"}));
    EXPECT_EQ(motivos(), (QStringList{"COMPROBANTE EN ESPERA DEL DEPOSITO (A099) Numero:00000040 Articulo:123",
                                      "COMPROBANTE EN ESPERA DEL DEPOSITO (A099) Numero:00000040 Articulo:789",
                                      "DATOS INVALIDOS (venta) Numero:00000041 Articulo:123",
                                      "DEPOSITO INEXISTENTE (A099) Numero:00000040 Articulo:456"}));

    Exec(Principal(), QStringLiteral("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UNegocio) VALUES ('A099', 'Dep 99', 'A001')"));
    // The dumplings of 456 use up cheese of their deposit.
    const QStringList todo{"IR|000100000042C|A001|1|000123|A001|5", "PE|000100000001X|A001|1|QUESO-CREMOSO-HORMA-KG-01|A099|-0.05",
                           "TK|000100000040C|A001|1|000123|A001|-1",
                           "TK|000100000040C|A001|2|000456|A099|-1", "TK|000100000040C|A001|3|000789|A001|-2",
                           "TK|000100000041C|A001|1|000789|A001|-1"};
    for (int vez = 0; vez < 2; ++vez) {
        SCOPED_TRACE(vez);
        EXPECT_EQ(Recibe(dia).comprobantes, vez == 0 ? 1 : 0);
        EXPECT_EQ(Stock(delDia), todo);
        EXPECT_EQ(motivos().filter(QStringLiteral("DEPOSITO")), QStringList());
        EXPECT_EQ(motivos().filter(QStringLiteral("YA RECIBIDO")).size(), vez == 0 ? 2 : 5);
    }
    EXPECT_EQ(Asientos().size(), 1);   // the entry's, once
}

// A check of the voucher that cannot be made fails it, told once, every row logged; a
// lookup of one line that cannot be made logs that row with the error and the voucher goes on; a
// log the program folder refuses goes to the temporary folder, and one that goes nowhere is asked
// once and the administrators are told all the same (here after an Abort).
TEST_F(MovDepositoTest, WhatCannotBeReadOrWrittenLosesNoRowUnseen) {
    for (const char* fila : {"'001', 'VT', '0001', '00000020', 'VENTA', '123'", "'001', 'VT', '0001', '00000020', 'VENTA', '789'",
                             "'002', 'VT', '0002', '00000021', 'VENTA', '999999'"})
        Deposito(QStringLiteral("'08/03/2008', %1, 1, 10, '001'").arg(QLatin1String(fila)));
    auto falla = [](const char* consulta) {
        Principal().setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
            [consulta](const QString& sql) { return sql.contains(QLatin1String(consulta)); }, 1, testsupport::Rechaza("No")));
    };
    {
        falla("SELECT TOP 1 IDCOMPROBANTE FROM V_MV_STOCK");
        ui::ScriptedPrompter guion;
        guion.answer(vb::kAbort, QStringLiteral("No"));   // the query's own box
        guion.answer(1, QStringLiteral("No se grabó el comprobante TK 000100000020C de la unidad A001"));
        EXPECT_EQ(Recibe(QStringLiteral("08/03/2008")).comprobantes, 0);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(Log().filter(QStringLiteral("ERROR AL GRABAR EL COMPROBANTE")).size(), 2);
    }
    {
        falla("FROM V_MA_ARTICULOS with(nolock) WHERE");
        ui::ScriptedPrompter guion;
        guion.answer(vb::kIgnore, QStringLiteral("No"));   // the first article's query
        EXPECT_EQ(Recibe(QStringLiteral("08/03/2008")).comprobantes, 1);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(Log().filter(QStringLiteral("ERROR AL LEER LA FILA (No); Suc:001; Tipo:VT; PtoVta:0001; Numero:00000020; "
                                              "Movimiento:VENTA; Articulo:123;")).size(), 1);
        EXPECT_EQ(Stock(QStringLiteral("WHERE FECHA = '08/03/2008'")),
                  QStringList{QStringLiteral("TK|000100000020C|A001|1|000789|A001|-1")});
        Exec(Principal(), QStringLiteral("DELETE FROM V_MV_STOCK WHERE FECHA = '08/03/2008'"));
    }
    Principal().setConnectionCalls(nullptr);
    vb::ScopeGuard restaura([temp = qgetenv("TEMP")] { temp.isNull() ? qunsetenv("TEMP") : qputenv("TEMP", temp); });
    vb::SetAppPath(QStringLiteral("/proc/nonexistent"));
    qputenv("TEMP", "/proc/nonexistent");   // the temporary folder
    ui::ScriptedPrompter guion;
    guion.answer(vb::kAbort, QStringLiteral("No se puede escribir el registro de recepción en /proc/nonexistent"));
    EXPECT_EQ(Recibe(QStringLiteral("08/03/2008")).comprobantes, 1);
    qputenv("TEMP", tmp.path().toLocal8Bit());
    EXPECT_EQ(Recibe(QStringLiteral("08/03/2008")).rechazadas, 3);   // all held now, logged in the temporary folder
    QStringList avisos;
    for (const QString& aviso : Filas(Principal(), QStringLiteral("SELECT MENSAJE FROM MV_MEMOS ORDER BY ID")))
        avisos << QString(aviso).replace(tmp.path(), QStringLiteral("<tmp>"));
    EXPECT_EQ(avisos, (QStringList{"SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: <tmp>/err-2008-03-08-1.log",
                                   "SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: <tmp>/err-2008-03-08-2.log",
                                   "NO SE PUDO GUARDAR EL TESTIGO CON LOS REGISTROS CON ERRORES",
                                   "SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: <tmp>/err-2008-03-08-3.log"}));
    EXPECT_EQ(Log().filter(QStringLiteral("COMPROBANTE YA RECIBIDO")).size(), 2);

    // What the head office held as the run began not read: a voucher found held is logged as
    // already received and never counted as another station's (no box).
    falla("SELECT DISTINCT IDCOMPROBANTE FROM V_MV_STOCK");
    ui::ScriptedPrompter sinLeer;
    sinLeer.answer(vb::kAbort, QStringLiteral("No"));   // the query's own box
    EXPECT_EQ(Recibe(QStringLiteral("08/03/2008")).deOtraEstacion, 0);
    EXPECT_EQ(sinLeer.shown().size(), 1u);
    EXPECT_EQ(Log().filter(QStringLiteral("COMPROBANTE YA RECIBIDO")).size(), 2);
}

}  // namespace

namespace {

using receivertest::ReceiverFixture;

// Each store's vouchers are posted under the stock reason of its own posting setting (the demo's
// stores: 11 and 12, not the default 1). A read of that setting that fails and is passed over or
// left fails the voucher instead of posting it under the default reason: the operator is told
// which and why, its rows are logged, and the next receive posts it under the store's reason.
class MotivoTest : public ReceiverFixture {
protected:
    // Each voucher posted, with the reasons of its rows.
    QStringList Motivos() {
        return Filas(Principal(), QStringLiteral("SELECT UNEGOCIO, TC, IdComprobante, MIN(IdMotivoStock), MAX(IdMotivoStock) "
                                                 "FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE' GROUP BY "
                                                 "UNEGOCIO, TC, IdComprobante ORDER BY 1, 2, 3"));
    }
};

TEST_F(MotivoTest, EachStoresOwnReasonIsPostedAndAVoucherWhoseReasonWasNotReadWaitsForTheNextReceive) {
    const QStringList propios = {"A001|IR|000300000007C|11|11", "A001|TK|000100000010C|11|11", "A001|TK|000100000012C|11|11",
                                 "A001|VS|000100000005C|11|11", "A002|IR|000200000003C|12|12", "A002|IR|000300000007C|12|12",
                                 "A002|TK|000200000012C|12|12"};
    const auto limpia = [] {
        Exec(Principal(), QStringLiteral("DELETE FROM V_MV_STOCK WHERE TC <> 'AJP'\nDELETE FROM MV_ASIENTOS\nDELETE FROM MV_MEMOS"));
    };
    EXPECT_EQ(Recibe().comprobantes, 7);
    EXPECT_EQ(Motivos(), propios);
    // The inputs a ticket uses up go out under the ticket's reason.
    EXPECT_EQ(Filas(Principal(), QStringLiteral("SELECT DISTINCT IdMotivoStock FROM V_MV_STOCK WHERE TC = 'PE'")),
              QStringList{QStringLiteral("11")});
    limpia();
    for (const int respuesta : {vb::kIgnore, vb::kAbort}) {
        SCOPED_TRACE(respuesta);
        // Store 001's setting, read at its first voucher, refused once: its query asks, then the
        // settings reader.
        Principal().setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
            [](const QString& sql) { return sql.contains(QLatin1String("A001Cfg_VentasSuc")); }, 1,
            testsupport::Rechaza(QStringLiteral("Configuración rechazada"))));
        receiver::ResultadoRecepcion r;
        {
            ui::ScriptedPrompter guion;
            guion.answer(respuesta, QStringLiteral("Configuración rechazada"));
            guion.answer(respuesta, QStringLiteral("Ha ocurrido el Siguiente Error"));
            guion.answer(vb::kOk, QStringLiteral("No se grabó el comprobante "));
            r = Recibe();
            EXPECT_TRUE(guion.exhausted());
            ASSERT_EQ(guion.shown().size(), 3u);
            EXPECT_EQ(guion.shown()[2].title, QStringLiteral("Atención2"));
            EXPECT_TRUE(guion.shown()[2].prompt.endsWith(QStringLiteral("de la unidad A001\r\nNo se leyó la configuración "
                                                                        "A001Cfg_VentasSuc")))
                << guion.shown()[2].prompt.toStdString();
        }
        Principal().setConnectionCalls(nullptr);
        EXPECT_EQ(r.comprobantes, 6);
        const QStringList posteados = Motivos();
        ASSERT_EQ(posteados.size(), 6);
        QString esperado;   // the voucher held back, posted by no reason
        for (const QString& p : propios)
            if (!posteados.contains(p)) esperado = p;
        ASSERT_TRUE(esperado.startsWith(QLatin1String("A001|"))) << esperado.toStdString();
        const QString numero = esperado.section(u'|', 2, 2).mid(4, 8);
        const QStringList log = Log();
        EXPECT_FALSE(log.filter(QStringLiteral("ERROR AL GRABAR EL COMPROBANTE; Suc:001")).isEmpty());
        for (const QString& l : log.filter(QStringLiteral("ERROR AL GRABAR")))
            EXPECT_TRUE(l.contains(QStringLiteral("Numero:") + numero)) << l.toStdString();
        // The next receive posts it, under the store's own reason, and nothing twice.
        const receiver::ResultadoRecepcion otra = Recibe();
        EXPECT_EQ(otra.comprobantes, 1);
        EXPECT_EQ(Motivos(), propios);
        limpia();
    }
}

}  // namespace
