// SQL Server's rules in every expression, each class of them one table of cases. Every case runs
// on the embedded provider; the ODBC run (the SQLite ODBC driver, SQL passed unchanged) takes the
// cases SQLite itself answers as the server does, marked `odbc`.
#include "ado_fixture.h"

#include <QDateTime>

namespace {

using adotest::Provider;

class ServerRulesTest : public adotest::ProviderFixture {
protected:
    bool runs(bool odbc) const { return GetParam() == Provider::Embedded || odbc; }
    vb::Variant scalar(const QString& sql) {
        auto rs = cn->Execute(sql);
        EXPECT_EQ(rs->State(), ado::adStateOpen) << sql.toStdString();
        if (rs->State() != ado::adStateOpen || rs->Eof()) return vb::Variant();
        return rs->Fields(0).Value();
    }
    // The native error a statement fails with, 0 when it runs.
    long nativeError(const QString& sql) {
        try {
            cn->Execute(sql);
        } catch (const vb::Error&) {
            return cn->errors().Count() ? cn->errors().Item(0).NativeError : -1;
        }
        return 0;
    }
};

// 1. Text compares ignore case and trailing blanks wherever the comparison happens.
TEST_P(ServerRulesTest, TextComparesAlikeWhereverTheyHappen) {
    if (!runs(false)) GTEST_SKIP() << "the SQLite ODBC driver compares texts byte for byte";
    cn->Execute("CREATE TABLE W (N varchar(10) NULL)");
    for (const char* v : {"abc", "ABC ", "Abc", "b", "a"}) cn->Execute(QStringLiteral("INSERT INTO W (N) VALUES ('%1')").arg(v));
    struct Case { const char* what; const char* sql; long expected; bool odbc; };
    const Case cases[] = {
        {"literal against literal", "SELECT CASE WHEN 'ABC' = 'abc' THEN 1 ELSE 0 END", 1, false},
        {"trailing blanks of a literal", "SELECT CASE WHEN 'abc' = 'abc   ' THEN 1 ELSE 0 END", 1, false},
        {"< between texts", "SELECT CASE WHEN 'a' < 'B' THEN 1 ELSE 0 END", 1, false},
        {"> between texts", "SELECT CASE WHEN 'B' > 'a ' THEN 1 ELSE 0 END", 1, false},
        {"an IN list of literals", "SELECT CASE WHEN 'x' IN ('A', 'X ') THEN 1 ELSE 0 END", 1, false},
        {"CASE x WHEN", "SELECT CASE 'Si' WHEN 'SI' THEN 1 ELSE 0 END", 1, false},
        {"a column against an expression", "SELECT COUNT(*) FROM W WHERE LTRIM(N) = 'ABC'", 3, false},
        {"UNION of literals", "SELECT COUNT(*) FROM (SELECT 'a' AS C UNION SELECT 'A  ') U", 1, false},
        {"DISTINCT over an expression", "SELECT COUNT(*) FROM (SELECT DISTINCT LTRIM(N) AS X FROM W) D", 3, false},
        {"GROUP BY over an expression", "SELECT COUNT(*) FROM (SELECT N + '' AS X FROM W GROUP BY N + '') G", 3, false},
        {"joined texts compare as texts", "SELECT COUNT(*) FROM W WHERE N + 'x' = 'ABCX'", 2, false},
        {"MAX of an expression", "SELECT COUNT(*) FROM W WHERE N = (SELECT MAX(UPPER(N)) FROM W)", 1, false},
        {"a column's own rule", "SELECT COUNT(*) FROM W WHERE N = 'abc'", 3, false},
    };
    for (const Case& c : cases) {
        if (!runs(c.odbc)) continue;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(scalar(QString::fromUtf8(c.sql)).toLong(), c.expected);
    }
    if (runs(false)) {
        // ORDER BY an expression: case ignored, so 'a' comes before 'B'.
        EXPECT_EQ(scalar("SELECT TOP 1 X FROM (SELECT 'a' AS X UNION ALL SELECT 'B') U ORDER BY LTRIM(X)").text(), "a");
    }
}

// 2. A join between text columns matches what = matches, for every text type.
TEST_P(ServerRulesTest, JoinsMatchWhatEqualsMatches) {
    if (!runs(false)) GTEST_SKIP() << "the SQLite ODBC driver compares texts byte for byte";
    const char* types[] = {"char(10)", "varchar(10)", "nchar(10)", "nvarchar(10)", "text"};
    for (const char* left : types) {
        for (const char* right : {"varchar(10)", "char(10)", "text"}) {
            SCOPED_TRACE(std::string(left) + " = " + right);
            cn->Execute(QStringLiteral("CREATE TABLE J1 (C %1 NULL)").arg(left));
            cn->Execute(QStringLiteral("CREATE TABLE J2 (C %1 NULL)").arg(right));
            cn->Execute("INSERT INTO J1 (C) VALUES ('abc')");
            cn->Execute("INSERT INTO J2 (C) VALUES ('ABC  ')");   // joined through an automatic index
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM J1 JOIN J2 ON J1.C = J2.C").toLong(), 1);
            EXPECT_EQ(scalar("SELECT SUM(CASE WHEN J1.C = J2.C THEN 1 ELSE 0 END) FROM J1, J2").toLong(), 1);
            EXPECT_EQ(scalar("SELECT COUNT(*) FROM J1 WHERE C IN (SELECT C FROM J2)").toLong(), 1);
            cn->Execute("DROP TABLE J1");
            cn->Execute("DROP TABLE J2");
        }
    }
}

// 3. Every date form the program writes into or compares with a date column is a date.
TEST_P(ServerRulesTest, DateLiteralsOfEveryFormAreDates) {
    cn->Execute("CREATE TABLE D (K int NOT NULL, F datetime NULL)");
    struct Form { const char* text; bool odbc; };
    const Form forms[] = {{"20080305 10:30:00", false}, {"20080305 10:30", false},   {"05/03/2008 10:30", false},
                          {"5/3/08 10:30:00", false},   {"2008-03-05T10:30:00", false}, {"2008-03-05 10:30:00", true}};
    const QDateTime at(QDate(2008, 3, 5), QTime(10, 30), Qt::UTC);
    int k = 0;
    for (const Form& f : forms) {
        if (!runs(f.odbc)) continue;
        SCOPED_TRACE(f.text);
        cn->Execute(QStringLiteral("DELETE FROM D"));
        cn->Execute(QStringLiteral("INSERT INTO D (K, F) VALUES (%1, '%2')").arg(++k).arg(QString::fromLatin1(f.text)));
        const vb::Variant v = scalar("SELECT F FROM D");
        ASSERT_EQ(v.type(), vb::VarType::Date);
        EXPECT_EQ(v.toDate().toQDateTime(), at);
        struct Compare { const char* where; bool odbc; };
        const Compare compares[] = {
            {"F >= '20080305' AND F < '20080306'", false},
            {"F BETWEEN '05/03/2008' AND '05/03/2008 23:59:59'", false},
            {"F = '20080305 10:30:00'", false},
            {"F IN ('2008-03-05T10:30:00', '20080101')", false},
            {"F > '2008-03-05' AND F < '2008-03-05 23:00:00'", true},
            {"F = (SELECT MAX(F) FROM D)", true},
            {"ISNULL(F, '01/01/1900') >= '05/03/2008'", false},
            {"CONVERT(varchar(10), F, 103) = '05/03/2008'", false},
            {"LEN('05/03/2008') = 10 AND LEFT('05/03/2008', 2) = '05'", false},
        };
        for (const Compare& c : compares) {
            if (!runs(c.odbc)) continue;
            EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D WHERE ") + c.where).toLong(), 1) << c.where;
        }
    }
    if (!runs(false)) return;
    // A bare yyyymmdd written into a date column is that date, and any other text is refused.
    cn->Execute("DELETE FROM D");
    cn->Execute("INSERT INTO D (K, F) VALUES (1, '20080305')");
    cn->Execute("UPDATE D SET F = '20080306' WHERE K = 1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM D WHERE F = '06/03/2008'").toLong(), 1);
    EXPECT_EQ(scalar("SELECT MAX(F) FROM D").toDate().toQDate(), QDate(2008, 3, 6));
    EXPECT_EQ(nativeError("INSERT INTO D (K, F) VALUES (2, 'mañana')"), 241);
    EXPECT_EQ(nativeError("UPDATE D SET F = '30/02/2008'"), 241);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM D").toLong(), 1);
    EXPECT_EQ(scalar("SELECT DATEDIFF(day, F, '20080310') FROM D").toLong(), 4);
    EXPECT_EQ(scalar("SELECT CONVERT(varchar(10), CONVERT(datetime, '03/05/2008', 101), 103)").text(), "05/03/2008");
    // A text in a date form is a text anywhere else: a lot named by its day keeps its name.
    cn->Execute("CREATE TABLE L (NroLote varchar(20) NULL, Nota nvarchar(20) NULL)");
    cn->Execute("INSERT INTO L (NroLote, Nota) VALUES ('05/03/2008', N'2008-03-05')");
    cn->Execute("UPDATE L SET Nota = 'x' + '06/03/2008' WHERE NroLote = '05/03/2008'");
    auto rs = cn->Execute("SELECT NroLote, Nota FROM L WHERE LTRIM(RTRIM(NroLote)) = '05/03/2008' AND NroLote <> '5/3/2008'");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().text(), "05/03/2008");
    EXPECT_EQ(rs->Fields(0).Value().type(), vb::VarType::String);
    EXPECT_EQ(rs->Fields(1).Value().text(), "x06/03/2008");
}

// 4. Values convert as the server converts them, and what it refuses is refused with its number.
TEST_P(ServerRulesTest, ConversionsAndArithmeticFollowTheServer) {
    cn->Execute("CREATE TABLE N (I int NULL, S smallint NULL, M money NULL, Q numeric(10,3) NULL, F float NULL, T varchar(10) NULL)");
    cn->Execute("INSERT INTO N (I, S, M, Q, F, T) VALUES (2147483647, 1, 1.5, 2.25, 0.5, '7')");
    struct Case { const char* sql; const char* value; long native; bool odbc; };
    const Case cases[] = {
        {"SELECT '1' + 1", "2", 0, true},
        {"SELECT 1.5 + '1'", "2.5", 0, true},
        {"SELECT 'a' + 'b'", "ab", 0, false},
        {"SELECT T + 1 FROM N", "8", 0, true},
        {"SELECT T + T FROM N", "77", 0, false},
        {"SELECT 5 / 2", "2", 0, true},
        {"SELECT 5 / 2.0", "2.5", 0, true},
        {"SELECT -7 % 3", "-1", 0, true},
        {"SELECT CAST('12' AS int) * 2", "24", 0, true},
        {"SELECT CONVERT(int, 2.9)", "2", 0, false},
        {"SELECT CAST(2.345 AS numeric(10,2))", "2.35", 0, false},
        {"SELECT CAST(220062.5 AS money)", "220062.5", 0, false},   // large amounts stay as they are
        {"SELECT CAST(123456789.125 AS numeric(18,2))", "123456789.13", 0, false},
        {"SELECT CONVERT(varchar(10), CONVERT(datetime, '05/03/2008', 103), 112)", "20080305", 0, false},
        {"SELECT CONVERT(char(5), 'ab') + '|'", "ab   |", 0, false},
        {"SELECT M * 2 FROM N", "3", 0, true},
        {"SELECT 'a' + 1", "", 245, false},
        {"SELECT CAST('abc' AS int)", "", 245, false},
        {"SELECT CAST('1.5' AS int)", "", 245, false},
        {"SELECT CAST('x1' AS numeric(10,2))", "", 8114, false},
        {"SELECT CONVERT(datetime, 'ayer')", "", 241, false},
        {"SELECT 2147483647 + 1", "", 8115, false},
        {"SELECT I + 1 FROM N", "", 8115, false},
        {"SELECT 65536 * 65536", "", 8115, false},
        {"SELECT CAST(100000 AS smallint)", "", 8115, false},
        {"SELECT 1 / 0", "", 8134, false},
        {"SELECT 1.0 / 0", "", 8134, false},
        {"SELECT 10 % 0", "", 8134, false},
        {"SELECT '5' - '3'", "", 8117, false},
        {"SELECT CAST(1 AS nodeltipo)", "", 243, false},
    };
    for (const Case& c : cases) {
        if (!runs(c.odbc)) continue;
        SCOPED_TRACE(c.sql);
        if (c.native) {
            EXPECT_EQ(nativeError(QString::fromUtf8(c.sql)), c.native);
        } else {
            EXPECT_EQ(scalar(QString::fromUtf8(c.sql)).text(), QString::fromUtf8(c.value));
        }
    }
    if (!runs(false)) return;
    // What a column takes: nothing the server refuses is stored.
    struct Write { const char* sql; long native; };
    const Write writes[] = {
        {"INSERT INTO N (I) VALUES ('abc')", 245},
        {"INSERT INTO N (I) VALUES (3000000000)", 8115},
        {"INSERT INTO N (S) VALUES (40000)", 8115},
        {"INSERT INTO N (Q) VALUES (12345678.5)", 8115},
        {"INSERT INTO N (F) VALUES ('x')", 8114},
        {"UPDATE N SET I = I + 1", 8115},
        {"UPDATE N SET S = 'dos'", 245},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.sql);
        EXPECT_EQ(nativeError(QString::fromUtf8(w.sql)), w.native);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM N").toLong(), 1);
    EXPECT_EQ(scalar("SELECT I FROM N").toLong(), 2147483647);
    // What it converts: a number written as text, a decimal rounded to its scale.
    cn->Execute("INSERT INTO N (I, S, Q, M) VALUES ('12', ' 3 ', 1.23456, '2.5')");
    auto rs = cn->Execute("SELECT I, S, Q, M FROM N WHERE I = 12");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().type(), vb::VarType::Long);
    EXPECT_EQ(rs->Fields(1).Value().toLong(), 3);
    EXPECT_DOUBLE_EQ(rs->Fields(2).Value().toDouble(), 1.235);
    EXPECT_EQ(rs->Fields(3).Value().toCurrency(), vb::Currency::fromRaw(25000));
}

// 5. LIKE takes the server's patterns.
TEST_P(ServerRulesTest, LikeTakesCharacterClasses) {
    cn->Execute("CREATE TABLE L (V varchar(10) NULL)");
    for (const char* v : {"abc", "bcd", "a_c", "a%c", "ABC  ", "xyz", "[x]"}) {
        cn->Execute(QStringLiteral("INSERT INTO L (V) VALUES ('%1')").arg(v));
    }
    struct Case { const char* pattern; long count; bool odbc; };
    const Case cases[] = {
        {"'[a-c]%'", 5, false},  {"'[^a]%'", 3, false},   {"'a[_]c'", 1, false},    {"'a[%]c'", 1, false},
        {"'abc'", 2, false},     {"'a_c'", 4, false},     {"'%[yz]'", 1, false},    {"'[[]x]'", 1, false},
        {"'a!%c' ESCAPE '!'", 1, true}, {"'%b%'", 3, false}, {"'[b-a]%'", 0, false},
    };
    for (const Case& c : cases) {
        if (!runs(c.odbc)) continue;
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM L WHERE V LIKE ") + c.pattern).toLong(), c.count);
    }
    if (runs(false)) {
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM L WHERE V NOT LIKE '[a-c]%'").toLong(), 2);
    }
}

// 6. char(n) and nchar(n) read back padded to n.
TEST_P(ServerRulesTest, FixedLengthTextReadsPadded) {
    if (!runs(false)) GTEST_SKIP() << "the SQLite ODBC driver gives texts as stored";
    cn->Execute("CREATE TABLE C6 (A char(5) NULL, B nchar(3) NULL, V varchar(5) NULL, X char(4) NULL)");
    cn->Execute("INSERT INTO C6 (A, B, V, X) VALUES ('ab', 'ñ', 'ab', NULL)");
    struct Case { const char* column; const char* value; long size; };
    const Case cases[] = {{"A", "ab   ", 5}, {"B", "ñ  ", 3}, {"V", "ab", 5}};
    auto rs = cn->Execute("SELECT A, B, V, X FROM C6");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(rs->Fields(QString::fromLatin1(c.column)).Value().text(), QString::fromUtf8(c.value));
        EXPECT_EQ(rs->Fields(QString::fromLatin1(c.column)).DefinedSize(), c.size);
    }
    EXPECT_TRUE(rs->Fields("X").Value().isNull());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM C6 WHERE A = 'ab'").toLong(), 1);
}

INSTANTIATE_TEST_SUITE_P(Providers, ServerRulesTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace
