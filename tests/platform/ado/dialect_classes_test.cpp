// The dialect's text searches, ROUND and money expressions answer as the server does, each class
// one table of cases. Every case runs on the embedded provider; the ODBC run (the SQLite ODBC
// driver, SQL passed unchanged) takes those SQLite itself answers alike, marked `odbc`; a SQL
// Server describes money through ODBC as decimal(19,4), which the ODBC provider reads as Currency.
#include "ado_fixture.h"

namespace {

using adotest::Provider;

class DialectClassesTest : public adotest::ProviderFixture {
protected:
    bool runs(bool odbc) const { return GetParam() == Provider::Embedded || odbc; }
    struct Case { const char* sql; const char* value; bool odbc; };
    void expectAll(std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            if (!runs(c.odbc)) continue;
            SCOPED_TRACE(c.sql);
            try {
                auto rs = cn->Execute(QString::fromUtf8(c.sql));
                ASSERT_FALSE(rs->Eof());
                const vb::Variant v = rs->Fields(0).Value();
                EXPECT_EQ(v.isNull() ? std::string("NULL") : v.text().toStdString(), c.value);
            } catch (const vb::Error& e) {
                ADD_FAILURE() << e.description().toStdString();
            }
        }
    }
};

TEST_P(DialectClassesTest, TextSearchesCompareUnderTheCollation) {
    expectAll({
        {"SELECT REPLACE('abcabc', 'B', 'x')", "axcaxc", false},
        {"SELECT REPLACE('Azúcar AZÚCAR', 'azúcar', 'sal')", "sal sal", false},
        {"SELECT REPLACE('abc', 'b', 'B')", "aBc", true},   // the replacement as written
        {"SELECT REPLACE('a-b-c', '-', '')", "abc", true},
        {"SELECT REPLACE('abc', '', 'x')", "abc", false},
        {"SELECT REPLACE(NULL, 'a', 'b')", "NULL", true},
        {"SELECT CHARINDEX('B', 'abcabc')", "2", false},
        {"SELECT CHARINDEX('B', 'abcabc', 3)", "5", false},
        {"SELECT CHARINDEX('ÚC', 'azúcar')", "3", false},
        {"SELECT PATINDEX('%B_a%', 'xxabca')", "4", false},
        {"SELECT PATINDEX('%[0-9]%', 'abc12')", "4", false},
        {"SELECT PATINDEX('AB%', 'abc')", "1", false},
        {"SELECT PATINDEX('b%', 'abc')", "0", false},
        {"SELECT PATINDEX('%Ñ%', 'moño')", "3", false},
        {"SELECT PATINDEX('%z%', 'abc')", "0", false},
    });
}

TEST_P(DialectClassesTest, RoundTakesNegativeLengths) {
    cn->Execute("CREATE TABLE R (I int NULL, F float NULL)");
    cn->Execute("INSERT INTO R (I, F) VALUES (1250, 748.58)");
    expectAll({
        {"SELECT ROUND(748.58, -1)", "750", false},
        {"SELECT ROUND(748.58, -2)", "700", false},
        {"SELECT ROUND(-748.58, -1)", "-750", false},
        {"SELECT ROUND(748.58, -4)", "0", false},
        {"SELECT ROUND(748.58, 1)", "748.6", true},
        {"SELECT ROUND(2.345, 2)", "2.35", true},
        {"SELECT ROUND(748.58, -1, 1)", "740", false},
        {"SELECT ROUND(748.58, 1, 1)", "748.5", false},
        {"SELECT ROUND(1234, -2)", "1200", false},
        {"SELECT ROUND(I, -2) FROM R", "1300", false},
        {"SELECT ROUND(-I, -2) FROM R", "-1300", false},
        {"SELECT ROUND(F, -1) FROM R", "750", false},
        {"SELECT ROUND(I, 2) FROM R", "1250", true},
        {"SELECT ROUND(NULL, 1)", "NULL", true},
    });
}

TEST_P(DialectClassesTest, MoneyExpressionsAreCurrencyFields) {
    cn->Execute("CREATE TABLE P (ID int NULL, PRECIO money NULL, BONO smallmoney NULL, Q float NULL)");
    cn->Execute("INSERT INTO P (ID, PRECIO, BONO, Q) VALUES (1, 45.75, 2.5, 1.5)");
    struct Case { const char* sql; int type; const char* value; bool odbc; };
    const Case cases[] = {
        {"SELECT CAST('12.50' AS money)", ado::adCurrency, "12.5", false},
        {"SELECT CONVERT(money, '3.2575') AS IMPORTE", ado::adCurrency, "3.2575", false},
        {"SELECT ID, CAST(Q AS smallmoney) BONO FROM P", ado::adInteger, "1", false},
        {"SELECT DISTINCT CAST(NULL AS money) AS X, ID FROM P", ado::adCurrency, "NULL", false},
        {"SELECT PRECIO FROM P", ado::adCurrency, "45.75", false},
        {"SELECT X.PRECIO FROM (SELECT PRECIO FROM P) X", ado::adCurrency, "45.75", false},
        {"SELECT BONO FROM P ORDER BY PRECIO", ado::adCurrency, "2.5", false},
        {"SELECT Q FROM P", ado::adDouble, "1.5", true},
        {"SELECT CAST(Q AS float) FROM P", ado::adDouble, "1.5", false},
        {"SELECT ID, 'money' FROM P", ado::adInteger, "1", false},
    };
    for (const Case& c : cases) {
        if (!runs(c.odbc)) continue;
        SCOPED_TRACE(c.sql);
        auto rs = cn->Execute(QString::fromUtf8(c.sql));
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(rs->Fields(0).Type(), c.type);
        const vb::Variant v = rs->Fields(0).Value();
        EXPECT_EQ(v.isNull() ? std::string("NULL") : v.text().toStdString(), c.value);
        if (c.type == ado::adCurrency && !v.isNull()) {
            EXPECT_EQ(v.type(), vb::VarType::Currency);
        }
    }
    if (!runs(false)) return;   // the SQLite ODBC driver describes money columns as text
    // the second column of a list is told apart from the first
    auto rs = cn->Execute("SELECT ID, CAST(Q AS smallmoney) BONO FROM P");
    EXPECT_EQ(rs->Fields(1).Type(), ado::adCurrency);
    EXPECT_EQ(rs->Fields("BONO").Value().toCurrency(), vb::Currency::fromRaw(15000));
}

INSTANTIATE_TEST_SUITE_P(Providers, DialectClassesTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace
