// Statements run again with other literals come from their prepared copy and answer as the
// statement itself would. The tests run with KORV_SQL_CACHE_CHECK, so each read from a copy is
// also compared with the statement's own answer.
#include "ado_fixture.h"
#include "platform/ado/sqlite_literals.h"
#include "platform/ado/tsql.h"
#include "platform/vb/qstring_printer.h"

#include <sqlite3.h>
#include <cstring>

namespace {

class StatementCacheTest : public adotest::DemoFixture {
protected:
    void SetUp() override {
        DemoFixture::SetUp();
        cn->Execute("CREATE TABLE PRUEBA (CODIGO varchar(25) NOT NULL, MARCA nvarchar(20) NULL, COSTO money NULL, "
                    "FECHA datetime NULL)\n"
                    "INSERT INTO PRUEBA VALUES ('000123', 'Dulcería', 45.5, '01/02/2008 09:00:00')\n"
                    "INSERT INTO PRUEBA VALUES ('000456', 'Montaña', 30, '04/03/2008 18:00:00')\n"
                    "INSERT INTO PRUEBA VALUES ('000789', 'O''Higgins', 80.25, '05/03/2008')\n"
                    "INSERT INTO PRUEBA VALUES ('QUESO', NULL, 120, NULL)");
    }
    // Every row of a query, each as its values joined by "|".
    QStringList rows(const QString& sql) {
        QStringList out;
        auto rs = ado::Recordset::Create();
        rs->Open(sql, cn);
        for (; !rs->Eof(); rs->MoveNext()) {
            QStringList values;
            for (int i = 0; i < rs->fieldCount(); ++i) values << rs->Fields(i).Value().text();
            out << values.join(u'|');
        }
        return out;
    }
};

TEST(SqliteLiterals, ValuesAreLiftedWhatShapesTheStatementStays) {
    struct Case { const char *sql, *shape, *literals; };
    const Case cases[] = {
        {"SELECT * FROM T WHERE A = 'x''y' AND B > -2.5e3 AND C = 7", "SELECT * FROM T WHERE A = ? AND B > -? AND C = ?",
         "t:x'y n:2.5e3 n:7"},
        {"SELECT a, 'b' FROM \"T 1\" WHERE [c] = 'it''s' -- 'no'\n", "SELECT a, ? FROM \"T 1\" WHERE [c] = ? -- 'no'\n",
         "t:b t:it's"},
        {"SELECT a FROM T ORDER BY 2 DESC, a LIMIT 5 OFFSET 10", "SELECT a FROM T ORDER BY 2 DESC, a LIMIT 5 OFFSET 10", ""},
        {"SELECT x FROM (SELECT x FROM T ORDER BY 1 LIMIT 3) WHERE x > 4 GROUP BY 1",
         "SELECT x FROM (SELECT x FROM T ORDER BY 1 LIMIT 3) WHERE x > ? GROUP BY 1", "n:4"},
        {"SELECT t1.a1 FROM t1 WHERE a1 = 0x1F", "SELECT t1.a1 FROM t1 WHERE a1 = 0x1F", ""},
        {"INSERT INTO T (A, B) VALUES ('', 3);  ", "INSERT INTO T (A, B) VALUES (?, ?);  ", "t: n:3"},
    };
    for (const Case& c : cases) {
        const ado::LiftedStatement l = ado::LiftLiterals(c.sql);
        ASSERT_TRUE(l.valid) << c.sql;
        EXPECT_EQ(l.shape, c.shape);
        std::string literals;
        for (const ado::SqlLiteral& x : l.literals) literals += (literals.empty() ? "" : " ") + std::string(x.text ? "t:" : "n:") + x.value;
        EXPECT_EQ(literals, c.literals) << c.sql;
    }
    // Not lifted: several statements, parameters of its own, a blob.
    for (const char* sql : {"SELECT 1; SELECT 2", "SELECT * FROM T WHERE A = ?", "SELECT * FROM T WHERE A = @korv_n",
                            "SELECT X'00'"})
        EXPECT_FALSE(ado::LiftLiterals(sql).valid) << sql;
}

TEST_F(StatementCacheTest, OneShapeWithOtherLiteralsGivesEachItsOwnAnswer) {
    // Each shape is run with its literals in turn, three times over: the copy is made on the
    // second run and serves the third.
    struct Case { const char* what; const char* sql; const char* expected; };
    const Case cases[] = {
        {"padded code, any case", "SELECT CODIGO FROM V_TA_CPTE WHERE CODIGO = 'tk'", "TK  "},
        {"padded code, any case", "SELECT CODIGO FROM V_TA_CPTE WHERE CODIGO = 'VS  '", "VS  "},
        {"a quote inside", "SELECT CODIGO FROM PRUEBA WHERE MARCA = 'O''Higgins'", "000789"},
        {"a quote inside", "SELECT CODIGO FROM PRUEBA WHERE MARCA = N'Montaña'", "000456"},
        {"day-first dates", "SELECT COUNT(*) FROM PRUEBA WHERE FECHA <= '04/03/2008 23:59:00'", "2"},
        {"day-first dates", "SELECT COUNT(*) FROM PRUEBA WHERE FECHA <= '03/03/2008'", "1"},
        {"a date-like text that is no date", "SELECT COUNT(*) FROM PRUEBA WHERE FECHA <= '99/99/2008'", "3"},
        {"row counts stay", "SELECT TOP 1 CODIGO FROM PRUEBA ORDER BY CODIGO", "000123"},
        {"row counts stay", "SELECT TOP 2 CODIGO FROM PRUEBA ORDER BY CODIGO", "000123;000456"},
        {"column positions stay", "SELECT CODIGO, COSTO FROM PRUEBA WHERE COSTO > 40 ORDER BY 2 DESC",
         "QUESO|120;000789|80.25;000123|45.5"},
        {"column positions stay", "SELECT CODIGO, COSTO FROM PRUEBA WHERE COSTO > 50 ORDER BY 1 DESC",
         "QUESO|120;000789|80.25"},
        {"+ joins texts", "SELECT 'CAJA ' + IdCajas FROM V_TA_Cajas", "CAJA    1"},
        {"+ joins texts", "SELECT 'Caja:' + IdCajas FROM V_TA_Cajas", "Caja:   1"},
        {"+ adds numbers", "SELECT 2 + 3", "5"},
        {"+ adds numbers", "SELECT 2.5 + 3", "5.5"},
        {"a literal as a column", "SELECT 'abc'", "abc"},
        {"a literal as a column", "SELECT 'xyz'", "xyz"},
        {"numbers of every form", "SELECT COUNT(*) FROM PRUEBA WHERE COSTO BETWEEN 45.5 AND 1E2", "2"},
        {"numbers of every form", "SELECT COUNT(*) FROM PRUEBA WHERE COSTO BETWEEN -1 AND 99999999999999999999", "4"},
        {"numbers of every form", "SELECT COUNT(*) FROM PRUEBA WHERE COSTO BETWEEN -1 AND 1e400", "4"},   // beyond a Double
        {"IN lists", "SELECT COUNT(*) FROM PRUEBA WHERE CODIGO IN ('000123', '000789')", "2"},
        {"IN lists", "SELECT COUNT(*) FROM PRUEBA WHERE CODIGO IN ('000123', 'x')", "1"},
    };
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(rows(QString::fromUtf8(c.sql)).join(u';'), QString::fromUtf8(c.expected)) << c.sql;
        }
    }
}

TEST_F(StatementCacheTest, LiteralsTheTranslationReadsAreNoValuesOfTheShape) {
    // What a conversion, a date call or a TOP writes depends on its literals: texts differing
    // there translate differently, each answering as written, round after round.
    struct Case { const char* sql; const char* expected; };
    const Case cases[] = {
        {"SELECT CONVERT(varchar(10), FECHA, 103) FROM PRUEBA WHERE CODIGO = '000123'", "01/02/2008"},
        {"SELECT CONVERT(varchar(10), FECHA, 112) FROM PRUEBA WHERE CODIGO = '000123'", "20080201"},
        {"SELECT CONVERT(varchar(10), 'abc', 1)", "abc"},   // a text the conversion reads in a style
        {"SELECT CONVERT(varchar(10), 'xyz', 1)", "xyz"},
        {"SELECT CAST('12' AS int) + 1", "13"},
        {"SELECT CAST('7' AS int) + 1", "8"},
        {"SELECT DATEDIFF('day', '2008-02-01', FECHA) FROM PRUEBA WHERE CODIGO = '000456'", "32"},
        {"SELECT DATEDIFF('month', '2008-02-01', FECHA) FROM PRUEBA WHERE CODIGO = '000456'", "1"},
        {"SELECT COUNT(*) FROM PRUEBA WHERE FECHA < DATEADD(day, 3, '2008-03-02')", "2"},
        {"SELECT COUNT(*) FROM PRUEBA WHERE FECHA < DATEADD(day, 4, '2008-03-02')", "3"},
        {"SELECT TOP (1) CODIGO FROM PRUEBA ORDER BY CODIGO DESC", "QUESO"},
        {"SELECT TOP (3) CODIGO FROM PRUEBA ORDER BY CODIGO DESC", "QUESO;000789;000456"},
    };
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        for (const Case& c : cases) EXPECT_EQ(rows(QString::fromUtf8(c.sql)).join(u';'), QString::fromUtf8(c.expected)) << c.sql;
    }
    // Those literals stay in the key; the others are lifted out of it.
    const ado::tsql::Shape shape = ado::tsql::LiftShape("SELECT TOP 2 CAST('12' AS int), DATEADD(day, 3, X), 'a', 4 FROM T");
    ASSERT_TRUE(shape.valid);
    EXPECT_EQ(shape.key, "SELECT TOP 2 CAST('12' AS int), DATEADD(day, 3, X), \x01s, \x01n FROM T");
}

TEST_F(StatementCacheTest, WritesBatchesAndChangesOfTheTables) {
    // Inserts, alone and in a batch, count their rows and store their own values.
    for (int i = 1; i <= 3; ++i) {
        long n = 0;
        cn->Execute(QStringLiteral("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('%1', 'Caja %1')").arg(i + 10), &n);
        EXPECT_EQ(n, 1);
        cn->Execute(QStringLiteral("INSERT INTO V_TA_Tareas (IdTarea, Descripcion) VALUES ('T%1', 'Tarea %1')\r\n"
                                   "UPDATE V_TA_Cajas SET Descripcion = 'Caja ''%1''' WHERE IdCajas = '%2'")
                        .arg(i)
                        .arg(i + 10),
                    &n);
        EXPECT_EQ(n, 2);
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT IdCajas, Descripcion FROM V_TA_Cajas WHERE IdCajas > '10' ORDER BY IdCajas")),
              (QStringList{"11|Caja '1'", "12|Caja '2'", "13|Caja '3'"}));
    // A failing statement fails each time with its own error; the same shape runs once its table is there.
    for (int i = 0; i < 2; ++i) EXPECT_THROW(cn->Execute(QStringLiteral("SELECT A FROM NUEVA WHERE A = %1").arg(i)), vb::Error);
    cn->Execute(QStringLiteral("CREATE TABLE NUEVA (A int NULL)\nINSERT INTO NUEVA (A) VALUES (7)"));
    EXPECT_EQ(rows(QStringLiteral("SELECT A FROM NUEVA WHERE A = 7")), QStringList{"7"});
    // A table made again with other columns is read with them.
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM NUEVA WHERE A = 7")), QStringList{"7"});
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM NUEVA WHERE A = 7")), QStringList{"7"});
    cn->Execute(QStringLiteral("DROP TABLE NUEVA\nCREATE TABLE NUEVA (A int NULL, B varchar(5) NULL)\n"
                               "INSERT INTO NUEVA (A, B) VALUES (7, 'b')"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM NUEVA WHERE A = 7")), QStringList{"7|b"});
    // Too long for the column: the text check of the table still applies.
    EXPECT_THROW(cn->Execute(QStringLiteral("INSERT INTO NUEVA (A, B) VALUES (8, 'bbbbbb')")), vb::Error);
    EXPECT_THROW(cn->Execute(QStringLiteral("INSERT INTO NUEVA (A, B) VALUES (9, 'cccccc')")), vb::Error);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8152);
    // A number beyond a Double's range is refused each time, never stored as another value.
    for (int i = 0; i < 3; ++i) EXPECT_THROW(cn->Execute(QStringLiteral("INSERT INTO NUEVA (A) VALUES (%1e400)").arg(i + 1)), vb::Error);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM NUEVA")), QStringList{"1"});
    // One batch shape, numbers that fit the column and one that does not: each as its own batch would.
    for (const char* n : {"5", "6", "3000000000", "2.5", "4"}) {
        const QString sql = QStringLiteral("INSERT INTO NUEVA (A, B) VALUES (%1, 'n')\nUPDATE NUEVA SET B = 'm' WHERE A = %1").arg(n);
        if (QByteArray(n) == "3000000000") EXPECT_THROW(cn->Execute(sql), vb::Error);
        else cn->Execute(sql);
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT A, B FROM NUEVA WHERE A < 7 ORDER BY A")), (QStringList{"2|n", "4|m", "5|m", "6|m"}));   // 2 is not 2.5
}

TEST_F(StatementCacheTest, AStatementAnswersAsWrittenWhetherOrNotItsShapeWasMetBefore) {
    cn->Execute(QStringLiteral("CREATE TABLE VALORES (ID int NOT NULL, F float NULL, BI bigint NULL, C varchar(10) NULL)"));
    // The engine's own reading of a number written, which is not always the nearest Double.
    auto escrito = [](const char* numero) {
        sqlite3* raw = nullptr;
        sqlite3_open(":memory:", &raw);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, (std::string("SELECT ") + numero).c_str(), -1, &st, nullptr);
        const double d = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_double(st, 0) : -1;
        sqlite3_finalize(st);
        sqlite3_close(raw);
        return d;
    };
    const char* reales[] = {"0.499148581442", "0.95644334768", "2.4703282292062328e-324",
                            "0.30000000000000001665334536937734810635447502136230468751"};
    const QString nul = QStringLiteral("INSERT INTO VALORES (ID, C) VALUES (0, 'c") + QChar(u'\0') + QStringLiteral("d')");
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        for (int i = 0; i < 4; ++i)
            cn->Execute(QStringLiteral("INSERT INTO VALORES (ID, F) VALUES (%1, %2)").arg(vuelta * 10 + i).arg(QString::fromLatin1(reales[i])));
        cn->Execute(QStringLiteral("INSERT INTO VALORES (ID, BI) VALUES (%1, -9223372036854775808)").arg(100 + vuelta));
        EXPECT_THROW(cn->Execute(nul), vb::Error);   // refused written, refused each time
    }
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        for (int i = 0; i < 4; ++i) {
            const double leido = scalar(QStringLiteral("SELECT F FROM VALORES WHERE ID = %1").arg(vuelta * 10 + i)).toDouble();
            const double esperado = escrito(reales[i]);
            EXPECT_EQ(std::memcmp(&leido, &esperado, sizeof leido), 0) << reales[i] << " round " << vuelta;
        }
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM VALORES WHERE ID >= 100 AND BI = -9223372036854775807 - 1")),
              QStringList{"3"});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM VALORES WHERE C IS NOT NULL")), QStringList{"0"});
}

TEST_F(StatementCacheTest, TablesAreReadAsTheyAreNow) {
    cn->Execute(QStringLiteral("CREATE TABLE X (K int NULL, A varchar(10) NULL)"));
    for (int i = 0; i < 3; ++i) cn->Execute(QStringLiteral("INSERT INTO X (K, A) VALUES (%1, 2.5)").arg(i));
    // Another connection makes the column a whole number: the next batch stores one.
    auto otra = ado::Connection::Create();
    otra->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    otra->Execute(QStringLiteral("DROP TABLE X\nCREATE TABLE X (K int NULL, A int NULL)"));
    cn->Execute(QStringLiteral("INSERT INTO X (K, A) VALUES (10, 3.5)"));
    // A change of this connection's that was rolled back leaves the table as it was.
    cn->BeginTrans();
    cn->Execute(QStringLiteral("DROP TABLE X\nCREATE TABLE X (K int NULL, A varchar(10) NULL)"));
    for (int i = 0; i < 3; ++i) cn->Execute(QStringLiteral("INSERT INTO X (K, A) VALUES (%1, 2.5)").arg(i));
    cn->RollbackTrans();
    cn->Execute(QStringLiteral("INSERT INTO X (K, A) VALUES (20, 7.5)"));
    EXPECT_EQ(rows(QStringLiteral("SELECT K, A FROM X")), (QStringList{"10|3", "20|7"}));
    // A database named for the first time: its table's columns rule that very batch.
    db::CreateEmpty(tmp.path(), "OTRA");
    auto base = ado::Connection::Create();
    base->Open(db::ConnectionText(tmp.path(), "OTRA"));
    base->Execute(QStringLiteral("CREATE TABLE Y (K int NULL, A tinyint NULL)"));
    EXPECT_THROW(cn->Execute(QStringLiteral("INSERT INTO OTRA.dbo.Y (K, A) VALUES (1, 300)")), vb::Error);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM OTRA.dbo.Y")), QStringList{"0"});
}

}  // namespace
