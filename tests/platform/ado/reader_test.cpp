// The streaming reader: the rows and field descriptions a Recordset gives, read as it moves.
#include "ado_fixture.h"

#include <QDateTime>

namespace {

using adotest::Provider;
using Row = std::vector<vb::Variant>;

class ReaderTest : public adotest::ProviderFixture {
protected:
    void SetUp() override {
        ProviderFixture::SetUp();
        if (IsSkipped()) return;
        cn->Execute("CREATE TABLE VENTAS (ARTI varchar(10) NOT NULL, NOMBRE nvarchar(40) NULL, PRECIO money NULL, "
                    "FECHA datetime NULL, PESABLE bit NULL, UNIDADES float NULL, CANTIDAD int NULL, TIPO char(1) NULL)");
        cn->Execute("INSERT INTO VENTAS VALUES ('a1', 'Azúcar', 1.5, '2026-12-08 10:30:00', 1, 12, 3, 'M')");
        cn->Execute("INSERT INTO VENTAS VALUES ('a2', 'Ñoquis', 66.6245, '2026-01-31 00:00:00', 0, 2.5, 40000, 'm')");
        cn->Execute("INSERT INTO VENTAS VALUES ('a3', NULL, NULL, NULL, NULL, NULL, NULL, 'S')");
    }

    std::vector<Row> Streamed(const QString& sql, std::vector<ado::FieldInfo>* fields = nullptr) {
        auto reader = cn->OpenReader(sql);
        std::vector<Row> rows;
        while (reader->next()) {
            Row row;
            for (int i = 0; i < reader->fieldCount(); ++i) row.push_back(reader->value(i));
            rows.push_back(row);
        }
        EXPECT_FALSE(reader->next());   // and stays at the end
        if (fields)
            for (int i = 0; i < reader->fieldCount(); ++i) fields->push_back(reader->field(i));
        return rows;
    }
};

// Values, their types and the field descriptions are a forward-only Recordset's, expressions
// (typed from their first value that is not Null) included.
TEST_P(ReaderTest, StreamedRowsAreTheRecordsetsRows) {
    const char* const queries[] = {
        "SELECT * FROM VENTAS ORDER BY ARTI",
        "SELECT ARTI, CANTIDAD * 2 AS DOBLE, NULL AS NADA, "
        "CASE WHEN NOMBRE IS NULL THEN NULL ELSE 'x' END AS EXPR FROM VENTAS ORDER BY ARTI DESC",
        "SELECT COUNT(*) AS N, MAX(FECHA) AS ULTIMA FROM VENTAS",
        "SELECT * FROM VENTAS WHERE ARTI = 'ZZ'",
    };
    for (const char* sql : queries) {
        SCOPED_TRACE(sql);
        std::vector<ado::FieldInfo> fields;
        const auto streamed = Streamed(sql, &fields);
        auto rs = ado::Recordset::Create();
        rs->Open(sql, cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        ASSERT_EQ(static_cast<int>(fields.size()), rs->fieldCount());
        for (int i = 0; i < rs->fieldCount(); ++i) {
            EXPECT_EQ(fields[static_cast<size_t>(i)].name, rs->Fields(i).Name()) << i;
            EXPECT_EQ(fields[static_cast<size_t>(i)].type, rs->Fields(i).Type()) << i;
            EXPECT_EQ(fields[static_cast<size_t>(i)].definedSize, rs->Fields(i).DefinedSize()) << i;
        }
        const auto whole = rs->GetRows();
        ASSERT_EQ(streamed.size(), whole.size());
        for (size_t r = 0; r < whole.size(); ++r)
            for (size_t c = 0; c < whole[r].size(); ++c) {
                EXPECT_EQ(streamed[r][c].type(), whole[r][c].type()) << r << "," << c;
                EXPECT_EQ(streamed[r][c].text(), whole[r][c].text()) << r << "," << c;
            }
    }
    const auto rows = Streamed("SELECT PRECIO, FECHA, PESABLE, CANTIDAD FROM VENTAS WHERE ARTI = 'a2'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toCurrency().raw(), 666245);
    EXPECT_EQ(rows[0][1].toDate().toQDateTime(), QDateTime(QDate(2026, 1, 31), QTime(0, 0)));
    EXPECT_EQ(rows[0][2].type(), vb::VarType::Boolean);
    EXPECT_EQ(rows[0][3].type(), vb::VarType::Long);
}

// Rows the connection's own open transaction wrote are read, and the reader reads no further
// once the connection closes.
TEST_P(ReaderTest, ReadsOnItsConnectionsSession) {
    cn->BeginTrans();
    cn->Execute("INSERT INTO VENTAS (ARTI) VALUES ('a4')");
    EXPECT_EQ(Streamed("SELECT ARTI FROM VENTAS").size(), 4u);
    cn->RollbackTrans();
    EXPECT_EQ(Streamed("SELECT ARTI FROM VENTAS").size(), 3u);

    auto reader = cn->OpenReader("SELECT ARTI FROM VENTAS ORDER BY ARTI");
    EXPECT_VB_ERROR(reader->value(0), 3021);   // before the first row
    ASSERT_TRUE(reader->next());
    EXPECT_EQ(reader->value(0).toString(), "a1");
    EXPECT_VB_ERROR(reader->value(1), vb::kErrAdoItemNotFound);
    EXPECT_VB_ERROR(reader->field(-1), vb::kErrAdoItemNotFound);
    cn->Close();
    EXPECT_VB_ERROR(reader->next(), vb::kErrAdoClosed);
    EXPECT_VB_ERROR(reader->value(0), vb::kErrAdoClosed);
}

// A batch gives its rows; a statement without rows runs and gives a reader without fields; a
// failure arrives with its number and stays in the connection's Errors.
TEST_P(ReaderTest, BatchesActionsAndFailures) {
    if (GetParam() == Provider::Embedded) {
        EXPECT_EQ(Streamed("UPDATE VENTAS SET CANTIDAD = 1 WHERE ARTI = 'a3'; SELECT CANTIDAD FROM VENTAS WHERE ARTI = 'a3'")[0][0].toLong(), 1);
    }
    auto action = cn->OpenReader("DELETE FROM VENTAS WHERE ARTI = 'a3'");
    EXPECT_EQ(action->fieldCount(), 0);
    EXPECT_FALSE(action->next());
    EXPECT_EQ(Streamed("SELECT ARTI FROM VENTAS").size(), 2u);
    EXPECT_EQ(Streamed("VENTAS").size(), 2u);   // a bare table name reads the table
    EXPECT_VB_ERROR(cn->OpenReader("SELECT * FROM NO_EXISTE"), vb::kHrNoSuchTable);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_EQ(cn->errors().Item(0).Number, vb::kHrNoSuchTable);
}

INSTANTIATE_TEST_SUITE_P(Providers, ReaderTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

// The embedded provider reads the SQL Server dialect: three-part names (a sibling database is
// attached), table hints, and text compared without case and trailing blanks.
TEST(EmbeddedReader, ReadsTheDialectAndSiblingDatabases) {
    testsupport::TempFolder tmp;
    db::CreateEmpty(tmp.path(), "TIENDA");
    db::CreateEmpty(tmp.path(), "CENTRAL");
    auto central = ado::Connection::Create();
    central->Open(db::ConnectionText(tmp.path(), "CENTRAL"));
    central->Execute("CREATE TABLE PROV (CODIGO varchar(10), NOMBRE varchar(40))");
    central->Execute("INSERT INTO PROV VALUES ('P1', 'Ñandú SA'), ('p1 ', 'otro'), ('P2', 'x')");
    central->Execute("CREATE VIEW QET_PROV AS SELECT CODIGO, NOMBRE FROM PROV");
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "TIENDA"));
    auto reader = cn->OpenReader("SELECT NOMBRE FROM [CENTRAL].[dbo].[QET_PROV] WITH (NOLOCK) WHERE CODIGO = 'P1' ORDER BY NOMBRE");
    QStringList names;
    while (reader->next()) names << reader->value(0).toString();
    EXPECT_EQ(names, (QStringList{"otro", QString::fromUtf8("Ñandú SA")}));
}

}  // namespace
