// Connection and recordset behaviours every provider must show alike.
#include "ado_fixture.h"

#include <QDateTime>

namespace {

using adotest::Provider;

class ProviderTest : public adotest::ProviderFixture {
protected:
    void SetUp() override {
        ProviderFixture::SetUp();
        if (IsSkipped()) return;
        cn->Execute("CREATE TABLE ARTICULOS (CODIGO varchar(10) NOT NULL PRIMARY KEY, NOMBRE varchar(40) NULL, "
                    "PRECIO float NULL, CANTIDAD int NULL, ALTA datetime NULL)");
        cn->Execute("INSERT INTO ARTICULOS (CODIGO, NOMBRE, PRECIO, CANTIDAD, ALTA) VALUES ('A1', 'Azúcar', 1.5, 10, '2008-03-05 10:30:00')");
        cn->Execute("INSERT INTO ARTICULOS (CODIGO, NOMBRE, PRECIO, CANTIDAD, ALTA) VALUES ('A2', 'Ñoquis', 2.25, 20, NULL)");
        cn->Execute("INSERT INTO ARTICULOS (CODIGO, NOMBRE, PRECIO, CANTIDAD, ALTA) VALUES ('A3', NULL, NULL, 30, NULL)");
    }
    ado::RecordsetPtr open(const QString& sql, int cursor = ado::adOpenForwardOnly, int lock = ado::adLockReadOnly) {
        auto rs = ado::Recordset::Create();
        rs->Open(sql, cn, cursor, lock);
        return rs;
    }
};

TEST_P(ProviderTest, ConnectionStatesAndTheirErrors) {
    EXPECT_EQ(cn->State(), ado::adStateOpen);
    EXPECT_EQ(cn->isEmbedded(), GetParam() == Provider::Embedded);
    EXPECT_VB_ERROR(cn->Open(text()), vb::kErrAdoAlreadyOpen);
    cn->Close();
    EXPECT_EQ(cn->State(), ado::adStateClosed);
    EXPECT_VB_ERROR(cn->Close(), vb::kErrAdoClosed);
    EXPECT_VB_ERROR(cn->Execute("SELECT 1"), vb::kErrAdoClosed);
    cn->Open();   // the connection text kept
    EXPECT_EQ(cn->State(), ado::adStateOpen);
    EXPECT_EQ(cn->ConnectionString(), text());
}

TEST_P(ProviderTest, ExecuteGivesRowsOrAClosedRecordset) {
    long affected = -1;
    auto none = cn->Execute("UPDATE ARTICULOS SET CANTIDAD = CANTIDAD + 1 WHERE CANTIDAD >= 20", &affected);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(none->State(), ado::adStateClosed);
    auto rs = cn->Execute("SELECT CODIGO, CANTIDAD FROM ARTICULOS ORDER BY CODIGO");
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->Fields("CODIGO").Value().toString(), "A1");
    EXPECT_EQ(rs->Fields(1).Value().toLong(), 10);
    EXPECT_EQ(cn->Execute("SELECT CODIGO FROM ARTICULOS", nullptr, ado::adExecuteNoRecords)->State(), ado::adStateClosed);
}

TEST_P(ProviderTest, RecordsetStandsOnTheFirstRowAndMoves) {
    auto rs = open("SELECT CODIGO FROM ARTICULOS ORDER BY CODIGO", ado::adOpenStatic);
    EXPECT_FALSE(rs->BOF());
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), 3);
    std::vector<QString> seen;
    while (!rs->Eof()) {
        seen.push_back(rs->Fields("codigo").Value().toString());
        rs->MoveNext();
    }
    EXPECT_EQ(seen, (std::vector<QString>{"A1", "A2", "A3"}));
    EXPECT_VB_ERROR(rs->MoveNext(), 3021);
    EXPECT_VB_ERROR(rs->Fields("CODIGO").Value(), 3021);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).Value().toString(), "A3");
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields(0).Value().toString(), "A2");
    rs->MovePrevious();
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0).Value().toString(), "A1");
    rs->Close();
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_VB_ERROR(rs->Close(), vb::kErrAdoClosed);
    EXPECT_VB_ERROR(rs->Eof(), vb::kErrAdoClosed);
}

TEST_P(ProviderTest, EmptyResultIsAtBothEnds) {
    auto rs = open("SELECT * FROM ARTICULOS WHERE CODIGO = 'ZZ'");
    EXPECT_TRUE(rs->BOF());
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), -1);   // forward-only
    EXPECT_TRUE(rs->GetRows().empty());
}

TEST_P(ProviderTest, ClientCursorsCountTheirRows) {
    cn->setCursorLocation(ado::adUseClient);
    auto rs = open("SELECT * FROM ARTICULOS");
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_P(ProviderTest, FieldsByNameAndIndex) {
    auto rs = open("SELECT CODIGO, NOMBRE, PRECIO, CANTIDAD, ALTA, CODIGO AS codigo FROM ARTICULOS WHERE CODIGO = 'A1'");
    EXPECT_EQ(rs->fieldCount(), 6);
    EXPECT_EQ(rs->Fields("Nombre").Value().toString(), QString::fromUtf8("Azúcar"));
    EXPECT_EQ(rs->Fields("codigo").Name(), "CODIGO");   // the first of two of that name
    EXPECT_EQ(rs->Fields(" precio ").Value().toDouble(), 1.5);
    EXPECT_VB_ERROR(rs->Fields("NO_EXISTE"), vb::kErrAdoItemNotFound);
    EXPECT_VB_ERROR(rs->Fields(6), vb::kErrAdoItemNotFound);
    EXPECT_VB_ERROR(rs->Fields(-1), vb::kErrAdoItemNotFound);

    struct Expect { const char* name; int type; long size; };
    const Expect expected[] = {
        {"CODIGO", ado::adVarChar, 10}, {"NOMBRE", ado::adVarChar, 40}, {"PRECIO", ado::adDouble, -1},
        {"CANTIDAD", ado::adInteger, -1}, {"ALTA", ado::adDBTimeStamp, -1},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(rs->Fields(e.name).Type(), e.type);
        if (e.size >= 0) {
            EXPECT_EQ(rs->Fields(e.name).DefinedSize(), e.size);
        }
    }
    const vb::Variant alta = rs->Fields("ALTA").Value();
    ASSERT_EQ(alta.type(), vb::VarType::Date);
    EXPECT_EQ(alta.toDate().toQDateTime(), QDateTime(QDate(2008, 3, 5), QTime(10, 30)));
    EXPECT_EQ(rs->Fields("CANTIDAD").Value().type(), vb::VarType::Long);
}

TEST_P(ProviderTest, FieldsOutliveTheirRecordset) {
    ado::Field kept = [&] {
        auto rs = open("SELECT CODIGO FROM ARTICULOS");
        ado::Field f = rs->Fields("CODIGO");
        EXPECT_EQ(f.Value().toString(), "A1");
        rs->Close();
        return f;
    }();
    EXPECT_EQ(kept.Name(), "CODIGO");
    EXPECT_VB_ERROR(kept.Value(), vb::kErrAdoClosed);
    auto rs = ado::Recordset::Create();
    rs->Open("SELECT CANTIDAD FROM ARTICULOS", cn);
    ado::Field old = rs->Fields(0);
    rs->Close();
    rs->Open("SELECT NOMBRE FROM ARTICULOS", cn);
    EXPECT_VB_ERROR(old.Value(), vb::kErrAdoItemNotFound);
}

TEST_P(ProviderTest, NullsStayNull) {
    auto rs = open("SELECT NOMBRE, PRECIO, ALTA FROM ARTICULOS WHERE CODIGO = 'A3'");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(rs->Fields(i).Value().isNull()) << i;
}

TEST_P(ProviderTest, GetRowsTakesTheRemainingRows) {
    auto rs = open("SELECT CODIGO, CANTIDAD FROM ARTICULOS ORDER BY CODIGO");
    rs->MoveNext();
    const auto rows = rs->GetRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), "A2");
    EXPECT_EQ(rows[1][1].toLong(), 30);
    EXPECT_TRUE(rs->Eof());
}

TEST_P(ProviderTest, UpdatableRecordsetWritesTheCurrentRow) {
    auto rs = open("SELECT * FROM ARTICULOS WHERE CODIGO = 'A2'", ado::adOpenDynamic, ado::adLockOptimistic);
    rs->Fields("CANTIDAD").setValue(99);
    rs->Fields("NOMBRE").setValue(vb::Variant(vb::Null));
    EXPECT_EQ(rs->Fields("CANTIDAD").Value().toLong(), 99);   // the pending value shows
    rs->Update();
    rs->Close();
    auto check = open("SELECT NOMBRE, CANTIDAD FROM ARTICULOS WHERE CODIGO = 'A2'");
    EXPECT_EQ(check->Fields("CANTIDAD").Value().toLong(), 99);
    EXPECT_TRUE(check->Fields("NOMBRE").Value().isNull());
    // the other rows untouched
    auto others = open("SELECT SUM(CANTIDAD) AS S FROM ARTICULOS WHERE CODIGO <> 'A2'");
    EXPECT_EQ(others->Fields("S").Value().toLong(), 40);
}

TEST_P(ProviderTest, PendingEditBlocksCloseUntilCancelled) {
    auto rs = open("SELECT * FROM ARTICULOS WHERE CODIGO = 'A1'", ado::adOpenDynamic, ado::adLockOptimistic);
    rs->Fields("CANTIDAD").setValue(1);
    EXPECT_VB_ERROR(rs->Close(), vb::kErrAdoNotAllowed);
    EXPECT_EQ(rs->State(), ado::adStateOpen);
    rs->CancelUpdate();
    rs->Close();
    auto check = open("SELECT CANTIDAD FROM ARTICULOS WHERE CODIGO = 'A1'");
    EXPECT_EQ(check->Fields(0).Value().toLong(), 10);
}

TEST_P(ProviderTest, ReadOnlyRecordsetRefusesAssignments) {
    auto rs = open("SELECT * FROM ARTICULOS");
    EXPECT_VB_ERROR(rs->Fields("CANTIDAD").setValue(1), 3251);
}

TEST_P(ProviderTest, TransactionsCommitAndRollBack) {
    cn->BeginTrans();
    EXPECT_EQ(cn->transactionLevel(), 1);
    cn->Execute("INSERT INTO ARTICULOS (CODIGO) VALUES ('T1')");
    cn->RollbackTrans();
    EXPECT_EQ(cn->transactionLevel(), 0);
    cn->BeginTrans();
    cn->Execute("INSERT INTO ARTICULOS (CODIGO) VALUES ('T2')");
    cn->CommitTrans();
    auto rs = open("SELECT CODIGO FROM ARTICULOS WHERE CODIGO LIKE 'T%'");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().toString(), "T2");
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_THROW(cn->CommitTrans(), vb::Error);
}

TEST_P(ProviderTest, FailuresCarryTheirNumbersAndTheServersState) {
    struct Case { const char* sql; long number; };
    const Case cases[] = {
        {"SELECT * FROM NO_EXISTE", vb::kHrNoSuchTable},
        {"SELEC * FROM ARTICULOS", vb::kHrErrorsInCommand},
        {"INSERT INTO ARTICULOS (CODIGO) VALUES ('A1')", vb::kHrIntegrityViolation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_VB_ERROR(cn->Execute(c.sql), c.number);
        ASSERT_EQ(cn->errors().Count(), 1);
        EXPECT_EQ(cn->errors().Item(0).Number, c.number);
        EXPECT_FALSE(cn->errors().Item(0).SQLState.isEmpty());
        EXPECT_FALSE(cn->errors().Item(0).Description.isEmpty());
    }
    cn->Execute("SELECT 1");
    EXPECT_EQ(cn->errors().Count(), 0);   // the errors of the last call only
    EXPECT_VB_ERROR(cn->errors().Item(0), vb::kErrAdoItemNotFound);
}

TEST_P(ProviderTest, RecordsetNeedsAConnection) {
    auto rs = ado::Recordset::Create();
    EXPECT_VB_ERROR(rs->Open("SELECT 1", nullptr), vb::kErrObjectNotSet);
    auto closed = ado::Connection::Create();
    EXPECT_VB_ERROR(rs->Open("SELECT 1", closed), vb::kErrAdoClosed);
    rs->Open("ARTICULOS", cn);   // a bare table name
    EXPECT_EQ(rs->fieldCount(), 5);
    EXPECT_VB_ERROR(rs->Open("ARTICULOS", cn), vb::kErrAdoAlreadyOpen);
}

TEST_P(ProviderTest, SchemaRowsetsListTablesAndColumns) {
    cn->Execute("CREATE VIEW V_ARTICULOS AS SELECT CODIGO, NOMBRE FROM ARTICULOS");
    auto tables = cn->OpenSchema(ado::adSchemaTables);
    std::vector<QString> names;
    for (; !tables->Eof(); tables->MoveNext()) names.push_back(tables->Fields("TABLE_NAME").Value().toString());
    EXPECT_NE(std::find(names.begin(), names.end(), "ARTICULOS"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "V_ARTICULOS"), names.end());

    auto cols = cn->OpenSchema(ado::adSchemaColumns, {vb::Variant("TIENDA"), vb::Variant(vb::Null), vb::Variant("ARTICULOS"),
                                                      vb::Variant(vb::Null)});
    std::vector<QString> columns;
    for (; !cols->Eof(); cols->MoveNext()) {
        columns.push_back(cols->Fields("COLUMN_NAME").Value().toString());
        if (columns.back() == "NOMBRE") {
            EXPECT_EQ(cols->Fields("CHARACTER_MAXIMUM_LENGTH").Value().toLong(), 40);
            EXPECT_TRUE(cols->Fields("IS_NULLABLE").Value().toBool());
        }
        if (columns.back() == "CODIGO") {
            EXPECT_FALSE(cols->Fields("IS_NULLABLE").Value().toBool());
        }
        if (columns.back() == "CANTIDAD") {
            EXPECT_EQ(cols->Fields("DATA_TYPE").Value().toLong(), ado::adInteger);
        }
    }
    EXPECT_EQ(columns, (std::vector<QString>{"CODIGO", "NOMBRE", "PRECIO", "CANTIDAD", "ALTA"}));
}

TEST_P(ProviderTest, PreparedCommandBindsAndRepeats) {
    auto cmd = cn->Prepare("INSERT INTO ARTICULOS (CODIGO, NOMBRE, PRECIO, CANTIDAD, ALTA) VALUES (?, ?, ?, ?, ?)");
    ASSERT_EQ(cmd->parameterCount(), 5);
    for (int i = 0; i < 3; ++i) {
        cmd->bind(1, vb::Variant(QStringLiteral("P%1").arg(i)));
        cmd->bind(2, vb::Variant(QString::fromUtf8("Café")));
        cmd->bind(3, vb::Variant(vb::Currency::fromRaw(12345)));
        cmd->bind(4, vb::Variant(i));
        cmd->bind(5, i == 0 ? vb::Variant(vb::Null) : vb::Variant(vb::Date::fromQDate(QDate(2008, 3, i))));
        EXPECT_EQ(cmd->execute(), 1);
    }
    EXPECT_VB_ERROR(cmd->bind(6, vb::Variant(1)), vb::kHrUnspecified);
    auto rs = open("SELECT * FROM ARTICULOS WHERE CODIGO = 'P2'");
    EXPECT_EQ(rs->Fields("NOMBRE").Value().toString(), QString::fromUtf8("Café"));
    EXPECT_DOUBLE_EQ(rs->Fields("PRECIO").Value().toDouble(), 1.2345);
    EXPECT_EQ(rs->Fields("ALTA").Value().toDate().toQDate(), QDate(2008, 3, 2));
    EXPECT_VB_ERROR({ auto again = cn->Prepare("INSERT INTO ARTICULOS (CODIGO) VALUES (?)"); again->bind(1, vb::Variant("P1")); again->execute(); },
                    vb::kHrIntegrityViolation);
    cn->Close();   // the command outlives its session: it raises, and goes without freeing a freed handle
    EXPECT_VB_ERROR(cmd->execute(), vb::kErrAdoClosed);
}

INSTANTIATE_TEST_SUITE_P(Providers, ProviderTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace

namespace {

// The provider named in a text that names no folder is the ODBC driver of that name, so the
// administrator maps SQLOLEDB or the Oracle provider to a driver in odbcinst.ini.
TEST(ProviderChoice, TheProviderNameIsTheOdbcDriver) {
    if (adotest::OdbcDriverPath().isEmpty()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    adotest::RegisterOdbcDrivers();
    testsupport::TempFolder tmp;
    db::CreateHeadOffice(tmp.path(), "VOLMA", true);
    const QString file = tmp.file("VOLMA.sqlite");

    auto cn = ado::Connection::Create();
    cn->Open("PROVIDER=SQLOLEDB;Server=SRV-CENTRAL;Database =" + file + ";UId=sa;Pwd=clave;");
    EXPECT_FALSE(cn->isEmbedded());
    EXPECT_EQ(cn->Provider(), "SQLOLEDB");
    // SQL goes through unchanged: the driver reads it in its own dialect. (A driver without the
    // program's compare rules refuses the indexes ordered by them: the count reads the table.)
    EXPECT_EQ(cn->Execute("SELECT COUNT(*) FROM MA_ARTICULOS NOT INDEXED")->Fields(0).Value().toLong(), 6);
    EXPECT_VB_ERROR(cn->Execute("SELECT TOP 1 * FROM MA_ARTICULOS"), vb::kHrErrorsInCommand);
    cn->Close();

    cn->Open("Provider=OraOLEDB.Oracle.1;Data Source=" + file + ";User Id=u;Password=p;");
    EXPECT_EQ(cn->Execute("SELECT COUNT(*) FROM V_TA_CPTE NOT INDEXED")->Fields(0).Value().toLong(), 5);
    cn->Close();

    EXPECT_VB_ERROR(cn->Open("PROVIDER=NoRegistrado;Server=SRV;Database =X;UId=sa;Pwd=;"), vb::kHrUnspecified);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_FALSE(cn->errors().Item(0).SQLState.isEmpty());
    EXPECT_EQ(cn->errors().Item(0).Source, "NoRegistrado");
    EXPECT_EQ(cn->State(), ado::adStateClosed);
}

// A server text that is a bare name is never taken for a folder of the working directory.
TEST(ProviderChoice, OnlyPathsNameFolders) {
    if (adotest::OdbcDriverPath().isEmpty()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    adotest::RegisterOdbcDrivers();
    testsupport::TempFolder tmp;
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir(tmp.path()).mkdir("SERVIDOR"));
    db::CreateEmpty(tmp.file("SERVIDOR"), "BASE");
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    auto cn = ado::Connection::Create();
    cn->Open(QStringLiteral("PROVIDER=%1;Server=SERVIDOR;Database =%2;UId=sa;Pwd=;")
                 .arg(QString::fromLatin1(adotest::kOdbcDriverName), tmp.file("odbc.sqlite")));
    EXPECT_FALSE(cn->isEmbedded());
    cn->Close();
    cn->Open("PROVIDER=SQLOLEDB;Server=./SERVIDOR;Database =base;UId=sa;Pwd=;");
    EXPECT_TRUE(cn->isEmbedded());
    cn->Close();
    QDir::setCurrent(cwd);
}

}  // namespace

namespace {

// A server text written as a path that names no folder is a mistyped folder: the open says so,
// rather than handing the path to an ODBC driver as a server name.
TEST(ProviderChoice, APathThatNamesNoFolderIsReportedAsSuch) {
    testsupport::TempFolder tmp;
    const QString missing = tmp.file("no-existe");
    auto cn = ado::Connection::Create();
    EXPECT_VB_ERROR(cn->Open("PROVIDER=SQLOLEDB;Server=" + missing + ";Database =VOLMA;UId=sa;Pwd=;"),
                    vb::kHrUnspecified);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(missing));
    EXPECT_EQ(cn->errors().Item(0).SQLState, "08001");
    EXPECT_EQ(cn->State(), ado::adStateClosed);
}

}  // namespace
