#include "platform/ado/ado.h"
#include "support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

void MakeEmpty(const QString& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_close(db);
}

TEST(AdoSmoke, EmbeddedBasics) {
    testsupport::TempFolder tmp;
    MakeEmpty(tmp.file("VOLMA.sqlite"));
    auto cn = ado::Connection::Create();
    cn->Open("PROVIDER=SQLOLEDB;Server=" + tmp.path() + ";Database =volma;UId=sa;Pwd=;");
    cn->Execute("CREATE TABLE [dbo].[T] (CODIGO varchar(4) NOT NULL, NOMBRE nvarchar(20) NULL, IMPORTE money, FECHA datetime)");
    long n = 0;
    cn->Execute("INSERT INTO T (CODIGO,NOMBRE,IMPORTE,FECHA) VALUES ('PE','uno',1.5,'05/03/2008')\n"
                "INSERT INTO dbo.T (CODIGO,NOMBRE,IMPORTE,FECHA) VALUES ('XY','dos',2,'06/03/2008 23:59:00')",
                &n);
    EXPECT_EQ(n, 2);
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT TOP 1 * FROM T with(nolock) WHERE CODIGO = 'pe  ' ORDER BY CODIGO DESC", cn);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields("nombre").Value().toString(), "uno");
    EXPECT_EQ(rs->Fields("CODIGO").DefinedSize(), 4);
    EXPECT_EQ(rs->Fields("IMPORTE").Value().type(), vb::VarType::Currency);
    EXPECT_EQ(rs->Fields("FECHA").Value().type(), vb::VarType::Date);
    rs->Close();
    try {
        cn->Execute("INSERT INTO T (CODIGO) VALUES ('TOOLONG')");
        FAIL();
    } catch (const vb::Error& e) {
        EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
    }
}

}  // namespace

#include "db/databases.h"

namespace {
TEST(AdoSmoke, DemoDatabases) {
    testsupport::TempFolder tmp;
    db::CreateDemo(tmp.path());
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT * FROM [VOLMA].[dbo].[QET_KORVANE] WHERE TIPOACT = 'M'", cn);
    int n = 0;
    while (!rs->Eof()) { ++n; rs->MoveNext(); }
    EXPECT_EQ(n, 3);
    rs->Close();
    rs->Open("SELECT COUNT(*) AS N FROM korvane_interfases.dbo.Depositos WHERE Fecha = '05/03/2008'", cn);
    EXPECT_EQ(rs->Fields("N").Value().toLong(), 4);
}
}  // namespace
