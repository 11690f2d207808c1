// Statements in the server's dialect on the embedded provider give the server's answers.
#include "ado_fixture.h"
#include "platform/vb/dates.h"

#include <QDateTime>

namespace {

class DialectTest : public adotest::DemoFixture {};

TEST_F(DialectTest, QueriesGiveTheServersAnswer) {
    struct Case { const char* what; const char* sql; QString expected; };
    const Case cases[] = {
        {"trailing blanks and case ignored", "SELECT COUNT(*) FROM V_TA_CPTE WHERE CODIGO = 'tk  '", "1"},
        {"same against a padded literal", "SELECT CODIGO FROM V_TA_CPTE WHERE CODIGO = 'Ir' ", "IR  "},
        {"accented capitals", "SELECT IDARTICULO FROM V_MA_ARTICULOS WHERE DESCRIPCION = 'ÑOQUIS DE PAPA 500 G'", "000456"},
        {"code padded to 25", "SELECT DESCRIPCION FROM V_MA_ARTICULOS WHERE IDARTICULO = '000123                   '",
         QString::fromUtf8("Azúcar refinada 1 kg")},
        {"with(nolock) hints", "SELECT COUNT(*) FROM V_MA_PRECIOS with(nolock)   WHERE IDLISTA = 'A3'", "4"},
        {"WITH (NOLOCK) spaced", "SELECT COUNT(*) FROM V_MA_PRECIOS WITH ( NOLOCK ) WHERE IDLISTA = 'A3'", "4"},
        {"nolock as an alias", "SELECT TOP 1 CODIGO FROM MV_NOVEDADESPRECIOS nolock ORDER BY CODIGO DESC", "2"},
        {"TOP 1 with a descending order", "SELECT TOP 1 IDARTICULO FROM MA_ARTICULOS ORDER BY IDARTICULO DESC",
         "QUESO-KG-1"},
        {"TOP before a closing comment", "SELECT TOP 1 IDARTICULO FROM MA_ARTICULOS ORDER BY IDARTICULO -- the first", "000123"},
        {"TOP (n)", "SELECT COUNT(*) FROM (SELECT TOP (2) * FROM MA_ARTICULOS) x", "2"},
        {"TOP 100 PERCENT", "SELECT COUNT(*) FROM (SELECT TOP 100 PERCENT * FROM MA_ARTICULOS ORDER BY IDARTICULO) x", "6"},
        {"TOP in a subquery", "SELECT (SELECT TOP 1 CODIGO FROM V_TA_CPTE ORDER BY CODIGO DESC) + '-' + "
                              "(SELECT TOP 1 CODIGO FROM V_TA_CPTE ORDER BY CODIGO)", "VS  -FCC "},
        {"DISTINCT TOP", "SELECT DISTINCT TOP 1 IDLISTA FROM V_MA_PRECIOS ORDER BY IDLISTA DESC", "C1  "},
        {"ISNULL", "SELECT ISNULL(UD_TTE, IDUNIDAD) FROM V_MA_ARTICULOS WHERE IDARTICULO = '000456'", "UN"},
        {"LEN ignores trailing blanks", "SELECT LEN('ab  ')", "2"},
        {"LEN counts characters", "SELECT LEN(DESCRIPCIONTICKET) FROM MA_ARTICULOS WHERE IDARTICULO = '000456'", "11"},
        {"SUBSTRING", "SELECT SUBSTRING('0001000001234A', 13, 1)", "4"},
        {"CHARINDEX", "SELECT CHARINDEX('kg', 'Azucar 1 KG')", "10"},
        {"CHARINDEX missing", "SELECT CHARINDEX('x', 'abc')", "0"},
        {"LTRIM(RTRIM()) of a padded key", "SELECT TOP 1 Descripcion FROM V_TA_Cajas with(nolock)  WHERE LTRIM(RTRIM(IdCajas)) ='1' ",
         "CAJA 1"},
        {"+ joins texts", "SELECT 'CAJA ' + IdCajas FROM V_TA_Cajas", "CAJA    1"},
        {"+ still adds numbers", "SELECT 2 + 3", "5"},
        {"three-part name of the same database", "SELECT COUNT(*) FROM [VOLMA].[dbo].[QET_KORVANE] WHERE TIPOACT = 'M'", "3"},
        {"three-part name of a sibling", "SELECT COUNT(*) FROM [korvane_interfases].[dbo].[Depositos]", "10"},
        {"plain three-part name", "SELECT COUNT(*) FROM korvane_interfases.dbo.Depositos WHERE cod_suc = '002'", "4"},
        {"database..table", "SELECT COUNT(*) FROM KORVANE_INTERFASES..Depositos", "10"},
        {"dbo. prefix", "SELECT COUNT(*) FROM dbo.MA_ARTICULOS", "6"},
        {"bracketed names with blanks", "SELECT COUNT([Numero Asiento]) FROM [dbo].[MV_ASIENTOS] WHERE [DEBE-HABER] = 'D' AND [Tipo_Reg] = 'STK'", "0"},
        {"day-first date = date column", "SELECT COUNT(*) FROM korvane_interfases.dbo.Depositos WHERE Fecha = '05/03/2008'", "10"},
        {"day-first date with time", "SELECT TOP 1 COSTO FROM V_MV_PRECIOSHIS WHERE IDARTICULO = '000123' AND "
                                     "(FECHAHORA <= '04/03/2008 23:59:00') ORDER BY FECHAHORA DESC", "45.5"},
        {"date before the time of day", "SELECT COUNT(*) FROM V_MV_PRECIOSHIS WHERE FECHAHORA <= '04/03/2008'", "1"},
        {"two-digit year", "SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE FECHA = '15/02/08 00:00'", "1"},
        {"one-digit day and month", "SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE FECHA = '1/2/2008'", "1"},
        {"N'' texts", "SELECT COUNT(*) FROM MA_ARTICULOS WHERE MARCA = N'Montaña'", "1"},
        {"keyword inside a text", "SELECT 'INSERT UPDATE DELETE SELECT'", "INSERT UPDATE DELETE SELECT"},
        {"DATEADD a month to the 31st", "SELECT CONVERT(varchar(10), DATEADD(month, 1, '31/01/2008'), 103)", "29/02/2008"},
        {"DATEADD days back", "SELECT CONVERT(varchar(10), DATEADD(dd, -5, '05/03/2008'), 103)", "29/02/2008"},
        {"DATEADD hours", "SELECT CONVERT(varchar(16), DATEADD(hh, 25, '20080305 10:00'), 120)", "2008-03-06 11:00"},
        {"DATEDIFF counts day boundaries", "SELECT DATEDIFF(day, '01/03/2008 23:00', '05/03/2008 01:00')", "4"},
        {"DATEDIFF counts month boundaries", "SELECT DATEDIFF(mm, '31/01/2008', '01/02/2008')", "1"},
        {"DATEDIFF weeks start on Sunday", "SELECT DATEDIFF(wk, '01/03/2008', '02/03/2008')", "1"},
        {"YEAR of a date column", "SELECT YEAR(FECHA) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 2", "2008"},
        {"MONTH and DAY", "SELECT MONTH('20080305') * 100 + DAY('20080305')", "305"},
        {"REPLICATE pads a code", "SELECT REPLICATE('0', 8 - LEN('123')) + '123'", "00000123"},
        {"LEFT and RIGHT", "SELECT LEFT('0001000001234A', 4) + '-' + RIGHT('0001000001234A', 1)", "0001-A"},
        {"CONVERT a date column to text", "SELECT CONVERT(varchar(8), FECHA, 112) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 2", "20080215"},
        {"CONVERT to the time of day", "SELECT CONVERT(varchar(8), CONVERT(datetime, '05/03/2008 10:30:15'), 108)", "10:30:15"},
        {"CONVERT a month-first text", "SELECT CONVERT(varchar(10), CONVERT(datetime, '03/05/2008', 101), 103)", "05/03/2008"},
        {"CAST a number to text", "SELECT CAST(12 AS varchar(5)) + 'x'", "12x"},
        {"families tree statement",
         "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM v_ta_familias a   Where a.IdFamilia "
         "< b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC) AS "
         "[relative] FROM dbo.V_TA_FAMILIAS b WHERE IdFamilia = '101' ORDER BY IdFamilia", "101"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            EXPECT_EQ(scalar(QString::fromUtf8(c.sql)).text(), c.expected);
        } catch (const vb::Error& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
    }
}

TEST_F(DialectTest, FamiliesTreeFindsEachParent) {
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM v_ta_familias a   Where "
             "a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY "
             "idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b ORDER BY IdFamilia",
             cn);
    std::vector<QString> pairs;
    for (; !rs->Eof(); rs->MoveNext()) pairs.push_back(rs->Fields(0).Value().text() + ">" + rs->Fields("relative").Value().text());
    EXPECT_EQ(pairs, (std::vector<QString>{"1>", "10>1", "101>10", "2>"}));
}

TEST_F(DialectTest, TextOrderAndGroupingIgnoreCase) {
    cn->Execute("CREATE TABLE T (C varchar(10) NULL)");
    cn->Execute("INSERT INTO T (C) VALUES ('b')\nINSERT INTO T (C) VALUES ('A')\nINSERT INTO T (C) VALUES ('a  ')\n"
                "INSERT INTO T (C) VALUES ('C')");
    EXPECT_EQ(column("SELECT C FROM T ORDER BY C, rowid"), (std::vector<QString>{"A", "a  ", "b", "C"}));
    EXPECT_EQ(scalar("SELECT COUNT(DISTINCT C) FROM T").toLong(), 3);
}

TEST_F(DialectTest, BatchesOfSeveralStatements) {
    long affected = 0;
    // An INSERT and an UPDATE joined by a line break, as the posting writes them.
    auto rs = cn->Execute("INSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES('   2','CAJA 2')\r\n "
                          "UPDATE V_TA_TPV SET CONECTADO = 1 WHERE CODIGO = '   1'",
                          &affected);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_EQ(scalar("SELECT CONECTADO FROM V_TA_TPV WHERE CODIGO = '   1'").toBool(), true);
    // A batch ending in a query gives its rows.
    auto rows = cn->Execute("UPDATE V_TA_Cajas SET Descripcion = 'X' WHERE IdCajas = '   2'\nSELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '   2'");
    ASSERT_EQ(rows->State(), ado::adStateOpen);
    EXPECT_EQ(rows->Fields(0).Value().text(), "X");
    // Separators and blank batches.
    cn->Execute("DELETE FROM V_TA_Cajas WHERE IdCajas = '   2'; ; INSERT INTO V_TA_Cajas (IdCajas) VALUES ('3');");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM V_TA_Cajas").toLong(), 2);
    EXPECT_EQ(cn->Execute("  \r\n  ")->State(), ado::adStateClosed);
    EXPECT_EQ(cn->Execute("")->State(), ado::adStateClosed);
    // INSERT ... SELECT stays one statement, and so does a UNION.
    cn->Execute("INSERT INTO V_TA_Cajas (IdCajas, Descripcion)\nSELECT '9', Descripcion FROM V_TA_UnidadNegocio WHERE Codigo = 'A001'");
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '9'").text(), "Sucursal Centro");
    EXPECT_EQ(column("SELECT 'a' UNION SELECT 'b' ORDER BY 1").size(), 2u);
}

TEST_F(DialectTest, IfExistsRunsItsStatementOnlyWhenRowsExist) {
    cn->Execute("INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, ESTADO) VALUES ('OC', '000100000011A', 'PENDIENTE')");
    const char* update =
        "if exists(select * from c_mv_cpte  with(nolock)  where TC='OC' and IDCOMPROBANTE='%1' ) "
        "UPDATE C_MV_CPTE SET ESTADO = 'RECIBIDA' WHERE TC = 'OC' AND IDCOMPROBANTE = '%1'";
    long affected = 0;
    cn->Execute(QString::fromLatin1(update).arg("000100000099A"), &affected);
    EXPECT_EQ(affected, 0);
    cn->Execute(QString::fromLatin1(update).arg("000100000011A"), &affected);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(scalar("SELECT ESTADO FROM C_MV_CPTE WHERE TC = 'OC' AND IDCOMPROBANTE = '000100000011A'").text(), "RECIBIDA");
    // NOT EXISTS, ELSE and a BEGIN ... END block.
    cn->Execute("IF NOT EXISTS (SELECT 1 FROM V_TA_Cajas WHERE IdCajas = '7') BEGIN\n"
                "INSERT INTO V_TA_Cajas (IdCajas) VALUES ('7')\nINSERT INTO V_TA_Cajas (IdCajas) VALUES ('8')\nEND\n"
                "ELSE INSERT INTO V_TA_Cajas (IdCajas) VALUES ('6')");
    EXPECT_EQ(column("SELECT IdCajas FROM V_TA_Cajas ORDER BY IdCajas"), (std::vector<QString>{"   1", "7", "8"}));
}

TEST_F(DialectTest, ExecRunsAStoredProcedureWithItsArguments) {
    cn->Execute("exec XK_ENVIAR_MEMO_ADMIN 'Sistemas', 'ALL_ADMIN' , 'ERRORES EN RECEPCION VENTAS SUCURSALES', "
                "'SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: /tmp/err.log'");
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT * FROM MV_MEMOS", cn);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields("DE").Value().text(), "Sistemas");
    EXPECT_EQ(rs->Fields("PARA").Value().text(), "ALL_ADMIN");
    EXPECT_EQ(rs->Fields("MENSAJE").Value().text(), "SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: /tmp/err.log");
    EXPECT_EQ(rs->Fields("FECHA").Value().type(), vb::VarType::Date);
    // Named arguments and a procedure defined through the connection.
    cn->Execute("CREATE PROCEDURE dbo.PONE_CAJA @Codigo varchar(4), @Nombre varchar(50) AS\n"
                "INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES (@Codigo, @Nombre)");
    cn->Execute("EXECUTE PONE_CAJA @Nombre = 'Caja de prueba', @Codigo = '5'");
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '5'").text(), "Caja de prueba");
    EXPECT_VB_ERROR(cn->Execute("EXEC NO_EXISTE 1"), vb::kHrErrorsInCommand);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 2812);
}

TEST_F(DialectTest, OverlongTextFailsAsTruncation) {
    EXPECT_VB_ERROR(cn->Execute("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('12345', 'demasiado largo')"),
                    vb::kHrUnspecified);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
    EXPECT_EQ(cn->errors().Item(0).SQLState, "22001");
    EXPECT_EQ(cn->errors().Item(0).Description, "String or binary data would be truncated.");
    EXPECT_VB_ERROR(cn->Execute("UPDATE V_TA_Cajas SET IdCajas = 'ABCDE'"), vb::kHrUnspecified);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
    // Trailing blanks beyond the length are cut without complaint; accents count as one character.
    cn->Execute("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('ñáéí    ', 'ok')");
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = 'ÑÁÉÍ'").text(), "ok");
}

TEST_F(DialectTest, TruncateTableAndDeleteWithoutFrom) {
    auto itf = ado::Connection::Create();
    itf->Open(db::ConnectionText(tmp.path(), "korvane_interfases"));
    itf->Execute("TRUNCATE TABLE IMPONOVARTI\r\nTRUNCATE TABLE IMPONOVBARRAS\r\nTRUNCATE TABLE Depositos");
    auto rs = itf->Execute("SELECT COUNT(*) FROM Depositos");
    EXPECT_EQ(rs->Fields(0).Value().toLong(), 0);
    long affected = 0;
    cn->Execute("DELETE V_MA_PRECIOS WHERE IDLISTA = 'C1'", &affected);
    EXPECT_EQ(affected, 1);
}

TEST_F(DialectTest, GetDateFollowsTheProgramClock) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(23, 59, 1)); });
    const vb::Variant v = scalar("select getDate() as fecha");
    vb::SetClock(nullptr);
    ASSERT_EQ(v.type(), vb::VarType::Date);
    EXPECT_EQ(v.toDate().toQDateTime(), QDateTime(QDate(2008, 3, 5), QTime(23, 59, 1), Qt::UTC));
}

TEST_F(DialectTest, AlterTableAddsAColumnWithItsRules) {
    cn->Execute("ALTER TABLE dbo.V_TA_Cajas  ADD OBSERVA varchar(5) Null  CONSTRAINT DF_V_TA_Cajas_OBSERVA DEFAULT ('x')");
    EXPECT_EQ(scalar("SELECT OBSERVA FROM V_TA_Cajas").text(), "x");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM V_TA_Cajas WHERE OBSERVA = 'X '").toLong(), 1);
    EXPECT_VB_ERROR(cn->Execute("UPDATE V_TA_Cajas SET OBSERVA = '123456'"), vb::kHrUnspecified);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
}

TEST_F(DialectTest, ScriptsWithSessionSettingsAndDefaults) {
    cn->Execute("SET NOCOUNT ON\nSET DATEFORMAT dmy\nCREATE TABLE dbo.[LOG] (ID int NOT NULL, CUANDO datetime NOT NULL DEFAULT getdate(), "
                "QUIEN varchar(10) NULL DEFAULT 'yo')\nPRINT 'listo'\nINSERT INTO [LOG] (ID) VALUES (1)");
    EXPECT_EQ(scalar("SELECT QUIEN FROM [dbo].[LOG]").text(), "yo");
    EXPECT_EQ(scalar("SELECT CUANDO FROM LOG").type(), vb::VarType::Date);
}

TEST_F(DialectTest, TableNamesOpenTheirRows) {
    auto rs = ado::Recordset::Create();
    rs->Open("[VOLMA].[dbo].[QET_KORVANE_PROV]", cn);
    EXPECT_EQ(rs->Fields("DESCRI").Value().text(), QString::fromUtf8("Distribuidora Cañuelas S.R.L."));
    rs->Close();
    rs->Open("korvane_interfases.dbo.Depositos", cn);
    EXPECT_EQ(rs->fieldCount(), 10);
    auto cols = cn->OpenSchema(ado::adSchemaColumns, {vb::Variant("VOLMA"), vb::Variant(), vb::Variant(" dbo.MA_CUENTAS "), vb::Variant()});
    EXPECT_FALSE(cols->Eof());
}

TEST_F(DialectTest, TextAssignedToADateFieldIsReadAsADate) {
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO = 'TK' AND TALONARIO =1", cn, ado::adOpenDynamic,
             ado::adLockOptimistic);
    rs->Fields("X_ULTIMO_NRO").setValue(42);
    rs->Fields("fechahora_modificacion").setValue(vb::Variant("05/03/08 23:59"));
    rs->Update();
    rs->Close();
    EXPECT_EQ(scalar("SELECT fechahora_modificacion FROM V_TA_CPTE WHERE CODIGO = 'TK'").toDate().toQDateTime(),
              QDateTime(QDate(2008, 3, 5), QTime(23, 59), Qt::UTC));
    EXPECT_EQ(scalar("SELECT X_ULTIMO_NRO FROM V_TA_CPTE WHERE CODIGO = 'TK'").toLong(), 42);
}

TEST_F(DialectTest, TransactionStatementsInText) {
    cn->Execute("BEGIN TRAN\nINSERT INTO V_TA_Cajas (IdCajas) VALUES ('4')\nROLLBACK TRANSACTION");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM V_TA_Cajas").toLong(), 1);
}

TEST_F(DialectTest, DatabasesAreFoundByNameWhateverTheCase) {
    auto other = ado::Connection::Create();
    other->Open("PROVIDER=SQLOLEDB;Server=" + tmp.path() + ";Database =volma;UId=sa;Pwd=;");
    EXPECT_EQ(other->DefaultDatabase(), "VOLMA");
    other->setDefaultDatabase("KORVANE_INTERFASES");
    EXPECT_EQ(other->DefaultDatabase(), "korvane_interfases");
    EXPECT_EQ(other->Execute("SELECT COUNT(*) FROM Depositos")->Fields(0).Value().toLong(), 10);
    other->Close();
    // A Jet text naming the database file.
    other->Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =" + tmp.file("Volma.mdb") + ";User Id=admin;Password=;");
    EXPECT_EQ(other->Execute("SELECT COUNT(*) FROM MA_ARTICULOS")->Fields(0).Value().toLong(), 6);
    other->Close();
    EXPECT_VB_ERROR(other->Open("PROVIDER=SQLOLEDB;Server=" + tmp.path() + ";Database =NOEXISTE;UId=sa;Pwd=;"), vb::kHrUnspecified);
    EXPECT_EQ(other->errors().Item(0).NativeError, 4060);
    EXPECT_EQ(other->State(), ado::adStateClosed);
    EXPECT_VB_ERROR(cn->Execute("SELECT * FROM [NOEXISTE].[dbo].[T]"), vb::kHrNoSuchTable);
}

TEST_F(DialectTest, NumbersQuotedIntoNumericColumnsStayNumbers) {
    cn->Execute("INSERT INTO MV_NOVEDADESPRECIOS  (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA ) VALUES ('10','A3','A3','G','05/03/2008')");
    EXPECT_EQ(scalar("SELECT TOP 1 CODIGO FROM MV_NOVEDADESPRECIOS nolock ORDER BY CODIGO DESC").toLong(), 10);
    EXPECT_EQ(scalar("SELECT FECHA FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 10").toDate().toQDate(), QDate(2008, 3, 5));
}

// Variables of a batch and @@ROWCOUNT: the update-or-insert a batch is written as.
TEST_F(DialectTest, VariablesAndTheRowCountOfABatch) {
    const QString upsert = QStringLiteral(
        "DECLARE @n int, @d varchar(30) = 'Caja %1'\n"
        "SELECT @n = COUNT(*) FROM V_TA_Cajas\n"
        "UPDATE V_TA_Cajas SET Descripcion = @d + ' bis' WHERE IdCajas = '%1'\n"
        "IF @@ROWCOUNT = 0 INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('%1', @d)\n"
        "SET @n = @n + 1\n"
        "SELECT @n AS N, @@ROWCOUNT AS R");
    auto rs = cn->Execute(upsert.arg("5"));
    EXPECT_EQ(rs->Fields("N").Value().toLong(), 2);   // one box before
    EXPECT_EQ(rs->Fields("R").Value().toLong(), 1);   // SET counts one row
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '5'").text(), "Caja 5");
    cn->Execute(upsert.arg("5"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM V_TA_Cajas WHERE IdCajas = '5'").toLong(), 1);
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '5'").text(), "Caja 5 bis");
    // A variable's value passes to a procedure; a SELECT of no rows leaves it as it was.
    cn->Execute("CREATE PROCEDURE PONE_CAJA @Codigo varchar(4), @Nombre varchar(50) AS\n"
                "INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES (@Codigo, @Nombre)");
    cn->Execute("DECLARE @c varchar(4) SET @c = '6' SELECT @c = IdCajas FROM V_TA_Cajas WHERE 1 = 0 EXEC PONE_CAJA @c, 'seis'");
    EXPECT_EQ(scalar("SELECT Descripcion FROM V_TA_Cajas WHERE IdCajas = '6'").text(), "seis");
    // Declared types hold their values as the server does.
    EXPECT_EQ(scalar("DECLARE @s varchar(3), @i int SET @s = 'abcdef' SET @i = 2.9 SELECT @s + CAST(@i AS varchar)").text(), "abc2");
    struct Failure { const char* sql; long native; };
    const Failure failures[] = {
        {"SELECT @nadie", 137},
        {"DECLARE @a int DECLARE @a int", 134},
        {"DECLARE @a int SET @a = 'uno'", 245},
        {"SELECT @@ERROR", 102},
        {"SELECT DATEPART(year, GETDATE())", 195},
        {"SELECT DATEADD(eon, 1, GETDATE())", 155},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.sql);
        EXPECT_VB_ERROR(cn->Execute(QString::fromLatin1(f.sql)), vb::kHrErrorsInCommand);
        EXPECT_EQ(cn->errors().Item(0).NativeError, f.native);
    }
}

}  // namespace
