// The databases the program and its tests work on, made by the db library.
#include "ado_fixture.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

using testsupport::Scalar;

TEST(Databases, DemoHoldsWhatTheSendAndReceiveMeet) {
    testsupport::TempFolder tmp;
    db::CreateDemo(tmp.file("demo"));
    EXPECT_TRUE(QFileInfo::exists(tmp.file("demo/VOLMA.sqlite")));
    EXPECT_TRUE(QFileInfo::exists(tmp.file("demo/korvane_interfases.sqlite")));
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.file("demo"), db::kHeadOfficeName));
    struct Case { const char* what; const char* sql; QString expected; };
    const Case cases[] = {
        {"changed articles", "SELECT COUNT(*) FROM QET_KORVANE WHERE TIPOACT = 'M'", "3"},
        {"unchanged articles", "SELECT COUNT(*) FROM QET_KORVANE WHERE TIPOACT = 'S'", "1"},
        {"an article code as long as the interface column", "SELECT COUNT(*) FROM QET_KORVANE WHERE LEN(ARTI) = 10", "1"},
        {"texts with ñ and accents", "SELECT DESCRI FROM QET_KORVANE WHERE ARTI = '000456'", QString::fromUtf8("Ñoquis de papa 500 g")},
        {"a barcode with a leading zero", "SELECT CODBARR FROM QET_KORVANE_BARRAS WHERE ARTI = '000456'", "0779123456789"},
        {"an offer without supplier", "SELECT COUNT(*) FROM QET_KORVANE_OFERTAS WHERE PROV IS NULL", "1"},
        {"price list A3", "SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND TIPOLISTA = 'V'", "4"},
        {"pending price changes", "SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE '0-%'", "3"},
        {"store code of the send", "SELECT COD_SUC FROM QET_KORVANE_PROV WHERE CODIGO = 'P0001'", "0001"},
        {"configuration", "SELECT VALOR FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'PIVA'", "21"},
        {"administrator", "SELECT Administrador FROM ta_usuarios WHERE Nombre = 'ADMIN'", "1"},
        {"synonym views", "SELECT COUNT(*) FROM SS_MA_CUENTAS", "2"},
        {"the store movements", "SELECT COUNT(*) FROM korvane_interfases..Depositos WHERE Fecha = '05/03/2008'", "10"},
        {"the last transmission", "SELECT TOP 1 CODIGO FROM MV_NOVEDADESPRECIOS nolock ORDER BY CODIGO DESC", "2"},
        {"a suspended article", "SELECT IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDO <> 0", "000456"},
        {"articles of the lookup", "SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 0", "5"},
        {"clients of the lookup", "SELECT COUNT(*) FROM VT_CLIENTES WHERE Dada_De_Baja = 0", "1"},
        {"suppliers of the lookup", "SELECT COUNT(*) FROM VT_PROVEEDORES WHERE Dada_De_Baja = 0", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Scalar(cn, QString::fromUtf8(c.sql)).text(), c.expected);
    }
}

// The out-of-stock report of the article lookup: the moment as the program writes it, day first.
TEST(Databases, OutOfStockReportsKeepTheirMoment) {
    testsupport::TempFolder tmp;
    db::CreateHeadOffice(tmp.path(), db::kHeadOfficeName, false);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), db::kHeadOfficeName));
    cn->Execute("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                "values('08/12/2026 20:15:07','000123                   ','Azúcar refinada 1 kg','operador')");
    auto rs = cn->Execute("SELECT FechaHora, IdArticulo, Usuario FROM V_MV_FALTANTES WHERE IdArticulo = '000123'");
    ASSERT_FALSE(rs->Eof());
    ASSERT_EQ(rs->Fields(0).Value().type(), vb::VarType::Date);
    EXPECT_EQ(rs->Fields(0).Value().toDate().toQDateTime(), QDateTime(QDate(2026, 12, 8), QTime(20, 15, 7)));
    EXPECT_EQ(rs->Fields(2).Value().toString(), "operador");
}

TEST(Databases, OutboundViewsCarryTheDeclaredColumnTypes) {
    testsupport::TempFolder tmp;
    db::CreateHeadOffice(tmp.path(), db::kHeadOfficeName, false);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), db::kHeadOfficeName));
    auto rs = cn->Execute("SELECT * FROM [VOLMA].[dbo].[QET_KORVANE] ");
    struct Col { const char* name; int type; long size; };
    const Col cols[] = {
        {"ARTI", ado::adVarWChar, 25}, {"DESCRI", ado::adVarWChar, 50}, {"UNIMED", ado::adVarWChar, 4},
        {"UNIBUL", ado::adDouble, -1}, {"HABCPA", ado::adChar, 1}, {"PBASE", ado::adCurrency, -1},
        {"Dto1", ado::adChar, 1}, {"FECACT", ado::adDBTimeStamp, -1}, {"Pesable", ado::adBoolean, -1},
        {"CTACON1", ado::adVarWChar, 15},
    };
    EXPECT_EQ(rs->fieldCount(), 32);
    for (const Col& c : cols) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rs->Fields(c.name).Type(), c.type);
        if (c.size >= 0) {
            EXPECT_EQ(rs->Fields(c.name).DefinedSize(), c.size);
        }
    }
    EXPECT_TRUE(rs->Eof());   // no demo rows asked for
}

TEST(Databases, InterfaceTablesHoldTheirDeclaredSizes) {
    testsupport::TempFolder tmp;
    db::CreateInterface(tmp.path(), false);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), db::kInterfaceName));
    struct Col { const char* table; const char* column; long size; bool nullable; };
    const Col cols[] = {
        {"IMPONOVARTI", "ARTI", 10, false}, {"IMPONOVARTI", "COD_CTACON1_IN", 6, true}, {"IMPOPROV", "cuit", 11, true},
        {"OFERTAS", "OBSERV", 250, false}, {"OFERTAS", "PROV", 13, true}, {"IMPONOVBULTOS", "BULTO", 6, false},
    };
    for (const Col& c : cols) {
        SCOPED_TRACE(c.column);
        auto rs = cn->OpenSchema(ado::adSchemaColumns, {vb::Variant(), vb::Variant(), vb::Variant(c.table), vb::Variant(c.column)});
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(rs->Fields("CHARACTER_MAXIMUM_LENGTH").Value().toLong(), c.size);
        EXPECT_EQ(rs->Fields("IS_NULLABLE").Value().toBool(), c.nullable);
    }
    EXPECT_EQ(Scalar(cn, "SELECT COUNT(*) FROM Depositos").toLong(), 0);
    EXPECT_VB_ERROR(cn->Execute("INSERT INTO IMPONOVPROV (COD_SUC, ARTI, PROV, NPRO) VALUES ('0001', '12345678901', 'P', 'N')"),
                    vb::kHrUnspecified);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
}

TEST(Databases, CreatingAgainReplacesTheFile) {
    testsupport::TempFolder tmp;
    db::CreateHeadOffice(tmp.path(), "volma", true);
    {
        auto cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
        cn->Execute("DELETE FROM MA_ARTICULOS");
        cn->Close();
    }
    db::CreateHeadOffice(tmp.path(), "VOLMA2", false);
    db::CreateHeadOffice(tmp.path(), "VOLMA", true);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    EXPECT_EQ(Scalar(cn, "SELECT COUNT(*) FROM MA_ARTICULOS").toLong(), 6);
    EXPECT_EQ(Scalar(cn, "SELECT COUNT(*) FROM VOLMA2.dbo.MA_ARTICULOS").toLong(), 0);
    // One file of that name, whatever the case it was asked in.
    const QStringList files = QDir(tmp.path()).entryList({"*.sqlite"}, QDir::Files);
    EXPECT_EQ(files.filter("volma.sqlite", Qt::CaseInsensitive).size(), 1);
}

TEST(Databases, ScriptsRunInOneTransaction) {
    testsupport::TempFolder tmp;
    db::CreateEmpty(tmp.path(), "X");
    EXPECT_THROW(db::RunScript(tmp.path(), "X", "CREATE TABLE A (C int)\nGO\nINSERT INTO NO_EXISTE VALUES (1)\nGO\n"), vb::Error);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "X"));
    EXPECT_EQ(cn->OpenSchema(ado::adSchemaTables)->Eof(), true);
}

}  // namespace
