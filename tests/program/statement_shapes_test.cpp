// One instance of every statement shape that the voucher engine, the store movement receiver, the
// lot dialogs and the voucher search build, run on the demo databases through the embedded
// provider, in the program's own spelling (padded codes, day-first dates, with(nolock), [names]).
// The answer is checked where the demo rows give one ("*": runs, whatever it gives). Where the
// program builds a statement with a function of its own, the case calls that function.
// Beside them, the statements a real posting and a real receive of the demo day send, recorded
// as they reach the connections and replayed (RecordedStatementsTest): those follow the program
// wherever its statements change, with the engine's own answer as the oracle; and the hand-written
// cases of statements that run sends must still be the program's own.
#include "platform/ado/ado_fixture.h"
#include "data/recording_calls.h"
#include "lots/lotes_sql.h"
#include "platform/vb/dates.h"
#include "posting/columnas_articulos.h"
#include "posting/movimiento_stock.h"
#include "receiver/linea_recepcion.h"
#include "receiver/receiver_fixture.h"
#include "vouchers/accion_comprobante.h"
#include "vouchers/carga_comprobante_sql.h"
#include "vouchers/consulta_comprobantes_sql.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <map>

namespace {

const QString kArticle = QStringLiteral("000123                   ");   // codes brought to 25

// A statement, the first value of the first row of its last result ("*": any), and how many rows
// that result holds (-1: any; a statement that gives no rows holds 0).
struct Case {
    const char* what;
    QString sql;
    QString expected;
    int rows = -1;
};

class StatementShapesTest : public adotest::DemoFixture {
protected:
    void Expect(const Case& c) {
        SCOPED_TRACE(c.what);
        try {
            auto rs = cn->Execute(c.sql);
            int rows = 0;
            QString first;
            for (; rs->State() == ado::adStateOpen && !rs->Eof(); rs->MoveNext())
                if (rows++ == 0) first = rs->Fields(0).Value().text();
            if (c.expected != QLatin1String("*")) {
                EXPECT_EQ(first, c.expected);
            }
            if (c.rows >= 0) {
                EXPECT_EQ(rows, c.rows);
            }
        } catch (const vb::Error& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
    }
};

// One of each shape the voucher engine, the receiver and the lot dialogs send, written by hand
// with the demo rows' answers.
std::vector<Case> CasosDelPrograma() {
    const QString a = kArticle;
    return {
        // voucher engine: the voucher type, its system and books
        {"voucher type", "SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO='TK  '", "TK  "},
        {"voucher system", "SELECT SISTEMA FROM V_TA_CPTE with(nolock) WHERE CODIGO = 'TK  '", "STOCK"},
        {"books of a branch", "Select * from v_ta_cpte  with(nolock)  where codigo = 'TK  ' and X_SUC_DEFAULT = 1", "TK  "},
        {"current book", "SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO = 'TK  ' and Talonario = 1", "TK  "},
        {"book by branch filter", "SELECT * FROM V_TA_CPTE  WHERE CODIGO = 'TK  ' AND X_SUC_DEFAULT = 1", "TK  "},
        {"books in order", "SELECT * FROM V_TA_CPTE   WHERE CODIGO = 'TK  ' ORDER BY TALONARIO", "TK  "},
        {"books of a unit", "SELECT * FROM V_TA_CPTE WHERE  CODIGO = 'TK  ' AND UNEGOCIO = 'A001'  ORDER BY TALONARIO", "TK  "},
        {"book of the other table", "SELECT * FROM TA_Comprobantes WHERE CODIGO = 'TK  ' AND SISTEMA = 'STOCK' AND TALONARIO = 1", ""},
        // the stock rows, written one by one, then as one text of statements
        {"stock row",
         "INSERT INTO V_MV_STOCK(TC,IdComprobante,IdComplemento,Secuencia,Fecha,IdCaja,IdDeposito,IdArticulo,Descripcion,IdUnidad,"
         "Cantidad,CantidadUD,IdMotivoStock,PrecioVenta,Importe_S_Iva,Costo,Tc_Origen,IdComprobante_Origen,UNEGOCIO,EnComodato) "
         "VALUES ('TK  ','009900000010C',0,1,'05/03/2008','1   ','0001','" + a + "','Azúcar refinada 1 kg','UN  ',-2.0000,-2,1,"
         "133.2500,110.1240,45.5000,'I   ','1','A001',0)",
         ""},
        {"stock rows in statement mode",
         "INSERT INTO V_MV_STOCK(TC,IdComprobante,IdComplemento,Secuencia,Fecha,IdDeposito,IdArticulo,Cantidad,UNEGOCIO) VALUES "
         "('TK  ','009900000010C',0,2,'05/03/2008 10:30','0001','000456                   ',-1.0000,'A001')\r"
         "INSERT INTO V_MV_STOCK(TC,IdComprobante,IdComplemento,Secuencia,Fecha,IdDeposito,IdArticulo,Cantidad,UNEGOCIO) VALUES "
         "('PE  ','009900000001X',0,1,'05/03/2008 10:30','0001','000789                   ',-0.5000,'A001')\r"
         " UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 1 WHERE CODIGO = 'VS  ' AND TALONARIO=1\r\n"
         " INSERT INTO V_MV_CTROL_CPTE (TC,SUCURSAL,NUMERO,LETRA) VALUES ('VS  ','0001','00000000','X')\r\n",
         ""},
        {"stock rows written", "SELECT COUNT(*) FROM V_MV_STOCK WHERE Fecha >= '20080305' AND Fecha < '20080306' AND IdComprobante LIKE '0099%'", "3"},
        // the receiver: a voucher already received (its type, number, unit and day), its last row
        {"voucher received",
         "SELECT TOP 1 * FROM V_MV_STOCK with(nolock)  WHERE " +
             receiver::CondicionComprobanteRecibido("TK", "009900000010C", "A001", QDate(2008, 3, 5)),
         "TK  ", 1},
        {"its last row (a later part's, a production order's)", posting::SqlUltimaSecuencia("TK", "009900000010C", "A001"),
         "2"},
        {"a voucher posted", "SELECT TC,IDCOMPROBANTE From V_MV_STOCK  with(nolock) WHERE TC = 'TK' AND IDCOMPROBANTE = '009900000010C'",
         "TK  "},
        {"last stock voucher",
         "SELECT MAX(IDCOMPROBANTE) AS ULTIMO From V_MV_STOCK  with(nolock) WHERE TC = 'TK' AND SUBSTRING(IDCOMPROBANTE, 1, 4)= '0099' "
         "AND SUBSTRING(IDCOMPROBANTE, 13, 1)= 'C'",
         "009900000010C"},
        {"stock voucher numbered", "SELECT * From V_MV_STOCK  with(nolock)  WHERE TC = 'TK  ' AND IDCOMPROBANTE = '009900000010C'", "TK  "},
        {"last of the stock table",
         "SELECT MAX(idcomprobante) AS ULTIMO From V_MV_STOCK WHERE TC = 'TK  ' AND SUBSTRING(IDCOMPROBANTE,1,4)= '0099' AND "
         "SUBSTRING(IDCOMPROBANTE,13,1) = 'C'",
         "009900000010C"},
        {"book advanced", "SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'VS' AND TALONARIO = 1", "1"},
        {"book update", " UPDATE V_TA_CPTE SET X_ULTIMO_NRO = 10 WHERE CODIGO = 'TK  ' AND TALONARIO =1", ""},
        {"control row dropped", "DELETE V_MV_CTROL_CPTE WHERE TC = 'VS  ' AND SUCURSAL = '0001' AND NUMERO = '00000000' AND LETRA = 'X'", ""},
        {"trips", "SELECT * From MV_VIAJES  with(nolock)  WHERE TC = 'TK  ' AND IDCOMPROBANTE = '009900000010C'", ""},
        {"last trip",
         "SELECT MAX(idcomprobante) AS ULTIMO From MV_VIAJES WHERE TC = 'TK  ' AND SUBSTRING(IDCOMPROBANTE,1,4)= '0099' AND "
         "SUBSTRING(IDCOMPROBANTE,13,1) = 'C'",
         ""},
        // articles, units and prices
        {"a table's row by its trimmed key", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(IDARTICULO)) ='000123' ",
         "000123"},
        {"a table's row by its key", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE idarticulo ='" + a + "' ", "000123"},
        {"an article", receiver::SqlArticulo(receiver::CodigoArticulo("123")), "000123"},
        {"an article and its base unit", "SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE IDARTICULO = '000123'", "000123"},
        {"its unit", "SELECT IDUNIDAD FROM V_MA_ARTICULOS WHERE IDARTICULO = '" + a + "'", "UN"},
        {"lots and series", lots::SqlMarcasArticulo("000123"), "False"},
        {"its account", "select cuentacontableC, costo from v_ma_articulos where idarticulo='" + a + "'", "1.1.05"},
        {"offer data", receiver::SqlOferta(a), "1"},
        {"last cost", "Select top 1 fechahora,Costo from v_mv_precioshis with(nolock) where idarticulo = '" + a +
                          "' and (fechahora <= '05/03/2008 23:59:00') ORDER BY FechaHora DESC",
         "04/03/2008 18:00:00"},
        {"a setting", "SELECT VALOR, valoraux FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'PIVA'", "21"},
        {"the lookup", "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION",
         "Azúcar refinada 1 kg"},
        {"the lookup's columns", "select top 1 * from V_MA_ARTICULOS", "000123"},
        {"a missing article", "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('05/03/2008 10:30:00','" + a +
                                  "','Azúcar refinada 1 kg','ana')",
         ""},
        // journal entries
        {"motive of a sale",
         "SELECT V_TA_MotivoVta.IdMotivoVta, V_TA_MotivoVta.Descripcion, V_TA_Input_Ventas.COSTO_MERCADERIA FROM V_TA_Input_Ventas INNER "
         "JOIN V_TA_MotivoVta ON V_TA_Input_Ventas.IdMotivoVta = V_TA_MotivoVta.IdMotivoVta WHERE V_TA_MotivoVta.IdMotivoVta = 1",
         "1"},
        {"stock reason account", "SELECT CUENTACONTABLE, Descripcion FROM V_TA_MOTIVOSTOCK WHERE IDMOTIVOSTOCK = 1", "5.1.01"},
        {"journal line",
         "INSERT INTO MV_ASIENTOS (Cuenta,Secuencia,Mes_Operativo,[Numero Asiento],Fecha,Detalle,TC,SUCURSAL,NUMERO,LETRA,PERIODO,Tipo_Reg,"
         "[DEBE-HABER],FechaHora_Grabacion,USUARIO_LOGEADO,Importe,Unegocio) VALUES ('5.1.01',1,3,7,'05/03/2008','Venta','TK  ','0099',"
         "'00000010','C',2099,'','D','05/03/2008 10:30:00','ana',133.2500,'A001')",
         ""},
        {"journal line found",
         "SELECT * FROM MV_ASIENTOS  with(nolock)  WHERE TC = 'TK  ' AND SUCURSAL = '0099' AND NUMERO = '00000010' AND LETRA = 'C' AND "
         "CUENTA = '5.1.01' AND [DEBE-HABER] = 'D'",
         "5.1.01"},
        {"journal line added to",
         "UPDATE MV_ASIENTOS SET IMPORTE = IMPORTE + 10.5 WHERE TC = 'TK  ' AND SUCURSAL = '0099' AND NUMERO = '00000010' AND LETRA = 'C' "
         "AND CUENTA = '5.1.01' AND [DEBE-HABER] = 'D'",
         ""},
        {"entry's total",
         "UPDATE MV_ASIENTOS SET CABImporte = 143.75 WHERE TC = 'TK  ' AND SUCURSAL = '0099' AND NUMERO = '00000010' AND LETRA = 'C' "
         "AND [Numero Asiento] = 7 AND Mes_Operativo = 3 AND PERIODO = 2099",
         "", 0},
        {"its amount", "SELECT IMPORTE, CABImporte FROM MV_ASIENTOS WHERE TC = 'TK' AND SUCURSAL = '0099' AND CABImporte = 143.75", "143.75"},
        {"subledger of a type", "SELECT * FROM MA_SUBDIARIOSCOMPROBANTES  with(nolock)  WHERE TC = 'TK  '", "TK  "},
        {"a subledger", "SELECT * FROM MA_SUBDIARIOS  with(nolock)  WHERE CODIGO = 'VEN '", ""},
        {"next entry number",
         "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WHERE MES_OPERATIVO = 3 AND TIPO_REG = 'VEN' AND PERIODO = 2099", ""},
        {"next entry number, no type",
         QStringLiteral("SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WHERE MES_OPERATIVO = 3 AND (TIPO_REG = '") +
             QChar(0xFF) + "RS' OR TIPO_REG = '') AND PERIODO = 2099",
         "7"},
        {"last journal number", "SELECT MAX(NUMERO) AS ULTIMO From MV_ASIENTOS with(nolock) WHERE TC = 'TK  ' AND SUCURSAL= '0099' AND LETRA = 'C'",
         "00000010"},
        {"journal vouchers", "SELECT * FROM MV_ASIENTOS  with(nolock)  WHERE TC = 'TK  ' AND SECUENCIA = 1 ORDER BY SUCURSAL, NUMERO, LETRA DESC",
         "*"},
        // purchases and the vouchers of the other systems
        {"purchase vouchers", "SELECT * FROM C_MV_CPTE  with(nolock)  WHERE TC = 'FCC ' ORDER BY IDCOMPROBANTE DESC ", "*"},
        {"a purchase order",
         "INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, SUCURSAL, NUMERO, LETRA, FECHA) VALUES ('OC  ','009900000011X','0099','00000011','X',"
         "'01/03/2008')",
         ""},
        {"its reception date",
         "if exists(select * from c_mv_cpte  with(nolock)  where TC='OC  ' and IDCOMPROBANTE='009900000011X' and fecharecepcion is null) "
         " UPDATE c_mv_cpte set FechaRecepcion='05/03/2008' where TC='OC  ' and IDCOMPROBANTE='009900000011X'",
         ""},
        {"set once", "SELECT FechaRecepcion FROM C_MV_CPTE WHERE TC = 'OC' AND SUCURSAL = '0099' AND FechaRecepcion >= '20080305'", "05/03/2008"},
        {"a purchase voucher", "SELECT * From C_MV_CPTE  with(nolock)  WHERE TC = 'OC  ' AND IDCOMPROBANTE = '009900000011X'", "OC  "},
        {"last purchase number",
         "SELECT MAX(NUMERO) AS ULTIMO From C_MV_CPTE  with(nolock) WHERE TC = 'OC  ' AND SUCURSAL = '0099' AND NUMERO < '99999999' "
         "AND LETRA = 'X' ",
         "00000011"},
        {"last voucher of a type",
         "SELECT MAX(idcomprobante) AS ULTIMO From V_MV_CPTE WHERE TC = 'CBFP' AND SUBSTRING(IDCOMPROBANTE,1,4)= '0001' AND "
         "SUBSTRING(IDCOMPROBANTE,13,1) = 'X'",
         "*"},
        {"related vouchers",
         "SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TCORIGEN = 'FC  ' AND COMPROBANTEORIGEN = '000100000123A' AND "
         "COMPLEMENTOORIGEN = '0'  AND ANULADA = 0",
         "*"},
        {"amounts of related vouchers",
         "SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TCORIGEN = 'FC  ' AND COMPROBANTEORIGEN = '000100000123A' AND ANULADA = 0", "*"},
        {"vouchers of a type", "SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TC = 'FC  ' ORDER BY IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC", "*"},
        // inputs, units, lots and stock
        {"production inputs", "SELECT * FROM V_MA_INSUMOS  with(nolock)  WHERE IDARTICULO = '" + a + "'", "*"},
        {"an equivalence", "SELECT * FROM  S_TA_EQUIV  with(nolock)  WHERE IdArticulo = '" + a + "' AND IDUNIDAD = 'UN  ' AND IDUNIDAD_EQUIV = 'CJ  '", "*"},
        {"lots with stock", "SELECT * FROM STK_SERIES_Y_LOTES WHERE IdArticulo = '" + a + "' AND CANTIDAD > 0  AND IDDEPOSITO = '0001' and not nrolote is null ORDER BY NROLOTE", "*"},
        {"lots and series with stock", lots::SqlStockLotesySeries("000950", "A001"), "*", 3},
        {"stock by lot", lots::SqlStockSeriesLotes("000950", "A001", "L0003", "Ignorar", "", true, true), "2"},
        {"stock by serial", lots::SqlStockSeriesLotes("000950", " ", "", "CF-0003", "P01", true, false), ""},
        {"stock in a unit", "SELECT STOCK AS STOCK FROM STK_SALDOS_UNIDADES WHERE IDARTICULO = '" + a + "' AND EQUIVALENCIA = 'UN  ' AND IDDEPOSITO = '0001'", "*"},
        {"stock in all deposits", "SELECT SUM(STOCK) AS STOCK  FROM STK_SALDOS_UNIDADES WHERE IDARTICULO = '" + a + "' AND EQUIVALENCIA = 'UN  ' ", "*"},
        {"stock in units and kilos", "SELECT CantidadUd AS STOCK FROM STK_STOCK_UDKG WHERE IDARTICULO = '" + a + "' AND IDDEPOSITO = '0001'", "*"},
        {"lots by position", lots::SqlSaldosPorLote("A001", "000123"), "P01", 4},
        {"positions", lots::SqlSaldosPorPosicion("A001", "000123"), "P01", 4},
        {"warehouse balance", lots::SqlSaldoDeposito("A001", "000123"), "6"},
        // the receiver's notice
        {"notice to the administrators", receiver::SqlAvisoAdministradores("/tmp/err.log"), ""},
    };
}

TEST_F(StatementShapesTest, EveryShapeRunsAndGivesTheServersAnswer) {
    for (const Case& c : CasosDelPrograma()) Expect(c);
}

// The accounts of the posted articles: a condition of one term per article, thousands of them.
TEST_F(StatementShapesTest, AccountsOfThousandsOfArticles) {
    QStringList terms;
    for (int i = 0; i < 3000; ++i) terms << QStringLiteral(" idarticulo ='X%1'").arg(i, 6, 10, QLatin1Char('0'));
    terms << QStringLiteral(" idarticulo ='000123'");
    const QString condition = terms.join(QStringLiteral(" OR "));
    auto rs = cn->Execute("select cuentacontableC from v_ma_articulos where (" + condition +
                          ") and not cuentacontableC is null group by cuentacontableC");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().text(), "1.1.05");
    // The articles' data, read a few hundred codes (brought to 25) at a time.
    QStringList codes;
    for (int i = 0; i < 499; ++i) codes << QStringLiteral("'X%1'").arg(i, 24, 10, QLatin1Char('0'));
    codes << "'" + kArticle + "'";
    Expect({"articles' data",
            "SELECT idarticulo, cuentacontableC, CUENTAPROVEEDOR, Costo, DESCRIPCION FROM V_MA_ARTICULOS  with(nolock)  WHERE "
            "idarticulo IN (" + codes.join(u',') + ")",
            "000123", 1});
    // A long chain that is not one column against its values is grouped, not refused.
    const QString mixed = terms.join(QStringLiteral(" OR IDUNIDAD = 'ZZ' OR "));
    EXPECT_EQ(cn->Execute("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE (" + mixed + ")")->Fields(0).Value().toLong(), 1);
}

// The receiver reads the day's movements on the stores' interface database.
TEST_F(StatementShapesTest, TheDaysMovements) {
    auto itf = ado::Connection::Create();
    itf->Open(db::ConnectionText(tmp.path(), "korvane_interfases"));
    auto rs = itf->Execute(receiver::SqlDepositos(QDate(2008, 3, 5)));
    int rows = 0;
    for (; !rs->Eof(); rs->MoveNext()) ++rows;
    EXPECT_EQ(rows, 10);
    EXPECT_EQ(itf->Execute(receiver::SqlCuentaDepositos(QDate(2008, 3, 5)))->Fields(0).Value().toLong(), 10);
}

// The voucher entry support around the demo's stored vouchers: the audit row, the charges of an
// account, what was issued from a delivery note and what is still to deliver of it, the lines of
// a printed form, the four reads of a stored sales and purchase voucher, what was applied.
TEST_F(StatementShapesTest, AroundAStoredVoucher) {
    vouchers::AccionComprobante accion;
    accion.TC = QStringLiteral("FC");
    accion.SucNroLetra = QStringLiteral("000100000020B");
    accion.IdComplemento = QStringLiteral("0");
    accion.lEsAlta = true;
    accion.FechaHora = vb::Date{vb::DateSerial(2008, 3, 5).serial + vb::TimeSerial(10, 30, 0).serial};
    accion.Usuario = QStringLiteral("O'Higgins");
    accion.PC = QStringLiteral("CAJA-1");
    accion.NroAsiento = QStringLiteral("7");
    const auto reparto = vouchers::SentenciasRepartoPend("RM", "000100000001R", "QUESO-KG-1");
    const auto venta = vouchers::SentenciasCarga("FC", "000100000020B", "0", false, {}, {});
    const auto compra = vouchers::SentenciasCarga("FCC", "000200000123A", {}, true, "P0001", " AND IdTarea = 'INST'");
    const auto pedido = vouchers::SentenciasCarga("np", "000100000020X", "0", false, {}, {});
    const Case cases[] = {
        {"audit row", vouchers::SentenciaAccionComprobante(accion), "", 0},
        {"audit row stored",
         "SELECT Usuario, NUMEROASIENTO FROM V_MV_CPTEACCIONES WHERE FECHAHORA >= '20080305 10:30' AND FECHAHORA < '20080305 10:31'",
         "O'Higgins", 1},
        {"charges of an account", vouchers::SentenciaCargosAplicados(" C0001 "), "200", 1},
        {"issued from a voucher", vouchers::SentenciaRelacionados("RM", "000100000050R", "0", false), "*", 2},
        {"issued, annulled too", vouchers::SentenciaRelacionados("RM", "000100000050R", "0", true), "*", 3},
        {"their amounts", vouchers::SentenciaImporteAsociados("RM", "000100000050R"), "*", 2},
        {"ordered of an article", reparto.pedido, "15", 1},
        {"delivered of it", reparto.entregado, "8", 1},
        {"lines of a printed form", vouchers::SentenciaLineasImpresas("FC", "A"), "10", 1},
        {"sales head", venta.cabecera, "FC  ", 1},
        {"sales tasks", venta.tareas, "FC  ", 1},
        {"sales lines", venta.articulos, "FC  ", 2},
        {"sales other concepts", venta.otrosConceptos, "FC  ", 1},
        {"purchase head", compra.cabecera, "FCC ", 1},
        {"purchase tasks", compra.tareas, "FCC ", 1},
        {"purchase lines", compra.articulos, "FCC ", 1},
        {"purchase other concepts", compra.otrosConceptos, "FCC ", 1},
        {"order lines by pallet", pedido.articulos, "", 0},
        {"applied of a delivery note", vouchers::SentenciaAplicado("000100000002R", "000123"), "*", 2},
    };
    for (const Case& c : cases) Expect(c);
}

// The voucher search: each statement it builds for a type or mode, with the caller's condition
// and without, and the two lookups of its cells.
TEST_F(StatementShapesTest, TheVoucherSearch) {
    struct Search {
        const char* modo;
        const char* filtro;
        bool remitoContado;   // UsaRemitoContado "SI"
        bool entregaParcial;  // EntregaParcialRemito "SI"
        int rows;
    };
    const Search searches[] = {
        {"RM/PENDIENTES_COMPRAS", "CUENTA = 'P0001'", false, false, 1},
        {"rm/pendientes", "CUENTA = 'C0001'", true, false, 5},
        {"RM/PENDIENTES", "CUENTA = 'C0001'", false, false, 6},
        {"RM/PENDIENTES", "", true, false, 5},
        {"RM/PENDIENTES", "", true, true, 6},
        {"T3", "", false, false, 2},
        {"NCPE", "CUENTA = 'P0001'", false, false, 1},
        {"NDPR", "", false, false, 1},
        {"FCC", "CUENTA = 'P0001'", false, false, 2},
        {"RMC", "", false, false, 2},
        {"OT/PENDIENTES", "CUENTA = 'C0001'", false, false, 2},
        {"OT", "CUENTA = 'C0001'", false, false, 2},
        {"OT", "", false, false, 2},
        {"NP/PENDIENTES", "CUENTA = 'C0001'", false, false, 2},
        {"NP/PENDIENTES", "", false, false, 2},
        {"PR/PENDIENTES", "CUENTA = 'C0001'", false, false, 2},
        {"PR/PENDIENTES", "", false, false, 1},
        {"OC", "where CUENTA = 'P0001'", false, false, 1},
        {"OC", "", false, false, 2},
        {"FP/PENDIENTES", "WHERE CUENTA = 'C0001'", false, false, 1},
        {"FP", "", false, false, 1},
        {"FC/ANTICIPOS", "CUENTA = 'C0001'", false, false, 9},
        {"NC", "", false, false, 2},
    };
    for (const Search& b : searches) {
        QString filtro = QString::fromUtf8(b.filtro);
        const QString sql = vouchers::SentenciaConsulta(vouchers::ResuelveModo(QString::fromUtf8(b.modo)), filtro,
                                                        [&](const QString& clave) {
                                                            return clave == QLatin1String("UsaRemitoContado") ? b.remitoContado
                                                                                                              : b.entregaParcial;
                                                        });
        const std::string what = std::string(b.modo) + " " + b.filtro;
        Expect({what.c_str(), sql, "*", b.rows});
    }
    // The cells' lookups: a journal voucher's supplier, a purchase order's goods receipt (none).
    Expect({"supplier's name", "SELECT TOP 1 * FROM VT_PROVEEDORES with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='P0001' ", "*", 1});
    Expect({"goods receipt of an order",
            "SELECT TOP 1 * FROM v_mv_stock with(nolock)  WHERE LTRIM(RTRIM(TC_origen)) ='OC'  AND  TC = 'IR' AND "
            "TC_ORIGEN = 'OC' AND IDCOMPROBANTE_ORIGEN ='000100000005X'",
            "", 0});
}

// The statements a posting and a receive of the demo day send, replayed in order on two copies of
// the demo databases as they stood before. On the first, each statement runs on a connection of
// its own that has met no statement: the engine's own answer. On the second, it runs three times
// on one connection whose caches have met every statement before it and serve the later runs
// (the first two rolled back, the third kept). Each run answers as the first, with the same rows,
// values and types, rows affected, or failure; and the two copies end holding the same rows.
class RecordedStatementsTest : public receivertest::ReceiverFixture {
protected:
    void SetUp() override {
        vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(10, 30)); });   // GETDATE answers alike
        ReceiverFixture::SetUp();
    }
    void TearDown() override {
        ReceiverFixture::TearDown();
        vb::SetClock({});
    }

    // Records what reaches the connection of db, forwarding every call.
    static std::shared_ptr<datatest::RecordingCalls> Graba(data::DB_Dll& db) {
        auto grabador = std::make_shared<datatest::RecordingCalls>();
        grabador->forward = true;
        db.setConnectionCalls(grabador);
        return grabador;
    }
    // The statements run and the recordsets opened, in the order they were sent.
    static QStringList Sentencias(const datatest::RecordingCalls& grabador) {
        QStringList out;
        for (const QString& l : grabador.log)
            if (l.startsWith(QLatin1String("EXEC ")) || l.startsWith(QLatin1String("OPEN "))) out << l.mid(5);
        return out;
    }

    // A statement's shape: its literals (texts, numbers) as ?, blanks as one, case ignored.
    static QString Forma(const QString& sql) {
        static const QRegularExpression texto(QStringLiteral("N?'([^']|'')*'")), numero(QStringLiteral("\\b\\d+(\\.\\d+)?\\b")),
            blancos(QStringLiteral("\\s+"));
        QString out = sql;
        out.replace(texto, QStringLiteral("?")).replace(numero, QStringLiteral("?")).replace(blancos, QStringLiteral(" "));
        return out.trimmed().toUpper();
    }

    // A ticket of store A001 posted through the voucher engine: the breakfast basket (its inputs
    // discharged, the coffee out of its lowest lot) and a line of sugar.
    void PosteaTicket() {
        using namespace posting::art;
        core::gUNegocio = QStringLiteral("A001");
        core::gCaja = QStringLiteral("1");
        ui::FlexGrid lineas{QStringLiteral("MSFlexGrid1")};
        lineas.SetCols(kColumnas);
        lineas.SetRows(1);
        for (const auto& [articulo, cantidad] : {std::pair{"000900", "2"}, std::pair{"000123", "1"}}) {
            const int f = lineas.Rows();
            lineas.SetRows(f + 1);
            const std::pair<int, QString> celdas[] = {{IdArticulo, QString::fromLatin1(articulo)}, {Descripcion, QStringLiteral("Línea")},
                                                      {IdUnidad, QStringLiteral("UN")}, {IdDeposito, QStringLiteral("A001")},
                                                      {Cantidad, QString::fromLatin1(cantidad)}, {PideSerie, QStringLiteral("0")},
                                                      {PideTalle, QStringLiteral("0")}};
            for (const auto& [col, texto] : celdas) lineas.SetTextMatrix(f, col, texto);
        }
        posting::ClsCmnCptes engine;
        bool hayError = false;
        engine.ActualizaStock(lineas, QStringLiteral("TK"), QStringLiteral("000100000090C"), QStringLiteral("0"), receivertest::kDiaDemo,
                              QStringLiteral("A001"), QString(), QStringLiteral("1"), QStringLiteral("I"), QStringLiteral("7"),
                              false, QStringLiteral("PorDefault"), false, nullptr, &hayError);
        EXPECT_FALSE(hayError);
    }

    // What a statement answers: its rows affected and its last result's columns and rows (each
    // value with its type), or its failure.
    static QString Respuesta(ado::Connection& cn, const QString& sql) {
        try {
            long afectadas = 0;
            const ado::RecordsetPtr rs = cn.Execute(sql, &afectadas);
            QStringList out{QString::number(afectadas)};
            if (!rs || rs->State() != ado::adStateOpen) return out.join(u'\n');
            QStringList columnas;
            for (int i = 0; i < rs->fieldCount(); ++i) columnas << rs->Fields(i).Name();
            out << columnas.join(u'|');
            for (; !rs->Eof(); rs->MoveNext()) {
                QStringList valores;
                for (int i = 0; i < rs->fieldCount(); ++i) {
                    const vb::Variant v = rs->Fields(i).Value();
                    valores << QString::number(static_cast<int>(v.type())) + u':' + v.text();
                }
                out << valores.join(u'|');
            }
            return out.join(u'\n');
        } catch (const vb::Error& e) {
            return QStringLiteral("error %1 %2").arg(e.number()).arg(e.description());
        }
    }

    // Replays the statements on database `base` of both copies (see the class).
    static void Repite(const QString& propia, const QString& cacheada, const QString& base, const QStringList& sentencias) {
        const QString texto = db::ConnectionText(propia, base);
        const ado::ConnectionPtr cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(cacheada, base));
        for (const QString& sql : sentencias) {
            SCOPED_TRACE(sql.left(400).toStdString());
            QString esperada;
            {
                const ado::ConnectionPtr nueva = ado::Connection::Create();
                nueva->Open(texto);
                esperada = Respuesta(*nueva, sql);
                nueva->Close();
            }
            for (int vuelta = 1; vuelta <= 2; ++vuelta) {
                cn->BeginTrans();
                EXPECT_EQ(Respuesta(*cn, sql), esperada) << "run " << vuelta;
                cn->RollbackTrans();
            }
            EXPECT_EQ(Respuesta(*cn, sql), esperada) << "run 3";
        }
        const std::map<QString, QString> tablas = Contenido(propia, base), otras = Contenido(cacheada, base);
        ASSERT_EQ(tablas.size(), otras.size());
        for (const auto& [tabla, filas] : tablas) EXPECT_EQ(otras.count(tabla) ? otras.at(tabla) : QString(), filas) << tabla.toStdString();
    }

    // Every row of every table of database `base` of a folder, by table, each table's rows in order.
    static std::map<QString, QString> Contenido(const QString& carpeta, const QString& base) {
        const ado::ConnectionPtr cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(carpeta, base));
        QStringList tablas;
        for (auto rs = cn->OpenSchema(ado::adSchemaTables); !rs->Eof(); rs->MoveNext())
            if (rs->Fields(QStringLiteral("TABLE_TYPE")).Value().text() == QLatin1String("TABLE"))
                tablas << rs->Fields(QStringLiteral("TABLE_NAME")).Value().text();
        std::map<QString, QString> out;
        for (const QString& tabla : tablas) {
            QStringList filas = Respuesta(*cn, QStringLiteral("SELECT * FROM [%1]").arg(tabla)).split(u'\n');
            if (filas.size() > 2) std::sort(filas.begin() + 2, filas.end());   // after the count and the columns
            out[tabla] = filas.join(u'\n');
        }
        return out;
    }
};

TEST_F(RecordedStatementsTest, APostingAndTheDaysReceiveAnswerAsTheirStatementsDo) {
    const auto principal = Graba(Principal());
    const auto remota = Graba(Remota());
    PosteaTicket();
    const receiver::ResultadoRecepcion r = Recibe();
    EXPECT_EQ(r.comprobantes, 7);
    const QStringList central = Sentencias(*principal), interfases = Sentencias(*remota);
    // What was recorded holds what the run is made of: the vouchers' books, their stock rows and
    // journal lines, the input discharge, the articles read; the stores' rows on the interface.
    for (const char* parte : {"V_TA_CPTE", "INSERT INTO V_MV_STOCK", "MV_ASIENTOS", "V_MA_INSUMOS", "V_MA_ARTICULOS"})
        EXPECT_FALSE(central.filter(QString::fromLatin1(parte), Qt::CaseInsensitive).isEmpty()) << parte;
    EXPECT_FALSE(interfases.filter(QStringLiteral("Depositos"), Qt::CaseInsensitive).isEmpty());

    // The hand-written cases of statements this run sends are still the program's own: where the
    // program changes one of them, the case is named here, to be written as the program now does.
    QSet<QString> formas;
    for (const QString& sql : central + interfases) formas.insert(Forma(sql));
    const QSet<QString> enviados = {"voucher type", "voucher system", "books of a branch", "current book", "books in order",
                                    "books of a unit", "stock voucher numbered", "control row dropped", "an article",
                                    "offer data", "a setting", "stock reason account", "subledger of a type", "a subledger",
                                    "next entry number", "production inputs", "lots with stock", "notice to the administrators"};
    int vistos = 0;
    for (const Case& c : CasosDelPrograma()) {
        if (!enviados.contains(QString::fromLatin1(c.what))) continue;
        ++vistos;
        EXPECT_TRUE(formas.contains(Forma(c.sql))) << c.what << ": " << Forma(c.sql).toStdString();
    }
    EXPECT_EQ(vistos, enviados.size());

    testsupport::TempFolder propia, cacheada;
    db::CreateDemo(propia.path());
    db::CreateDemo(cacheada.path());
    Repite(propia.path(), cacheada.path(), QStringLiteral("VOLMA"), central);
    Repite(propia.path(), cacheada.path(), db::kInterfaceName, interfases);
}

}  // namespace
