// Numbers go through both providers as the server writes them, whatever the process's locale: a
// desktop with a decimal comma reads '2.5' as two and a half, and writes 2.5 with a point.
#include "ado_fixture.h"
#include "support/comma_locale.h"

#include <QDateTime>
#include <clocale>
#include <string>

namespace {

using adotest::Provider;

class LocaleTest : public adotest::ProviderFixture {
protected:
    bool runs(bool odbc) const { return GetParam() == Provider::Embedded || odbc; }
    QString answer(const QString& sql) {
        auto rs = cn->Execute(sql);
        if (rs->State() != ado::adStateOpen || rs->Eof()) return QStringLiteral("(nothing)");
        return rs->Fields(0).Value().text();
    }
    testsupport::CommaLocale comma;
};

TEST_P(LocaleTest, NumbersReadAndWrittenWithAPointUnderADecimalComma) {
    struct Case { const char* sql; const char* value; bool odbc; };
    const Case cases[] = {
        {"SELECT CAST('2.5' AS float)", "2.5", true},
        {"SELECT CAST(' -1.5e3 ' AS float)", "-1500", false},
        {"SELECT CAST(2.5 AS varchar(10))", "2.5", true},
        {"SELECT CAST(CAST('0.125' AS float) AS varchar(10))", "0.125", true},
        {"SELECT CONVERT(varchar(20), 1234.5)", "1234.5", false},
        {"SELECT CAST('45.75' AS money)", "45.75", true},
        {"SELECT CAST('1.125' AS decimal(10,3))", "1.125", true},
        {"SELECT '2.5' + 1.0", "3.5", true},
        {"SELECT CAST('2,5' AS float)", "(error)", false},   // a comma is no decimal point
    };
    for (const Case& c : cases) {
        if (!runs(c.odbc)) continue;
        SCOPED_TRACE(c.sql);
        QString got;
        try {
            got = answer(QString::fromUtf8(c.sql));
        } catch (const vb::Error&) {
            got = QStringLiteral("(error)");
        }
        EXPECT_EQ(got.toStdString(), c.value);
    }

    cn->Execute("CREATE TABLE T (F float NULL, M money NULL, D decimal(10,3) NULL, V varchar(20) NULL)");
    cn->Execute("INSERT INTO T (F, M, D) VALUES ('2.5', '45.75', '1.125')");
    cn->Execute("UPDATE T SET V = 0.25");
    auto cmd = cn->Prepare("INSERT INTO T (F, M, D, V) VALUES (?, ?, ?, ?)");
    cmd->bind(1, vb::Variant(0.5));
    cmd->bind(2, vb::Variant(vb::Currency::fromRaw(1234567)));
    cmd->bind(3, vb::Variant(QStringLiteral("7.375")));
    cmd->bind(4, vb::Variant(QStringLiteral("x")));
    EXPECT_EQ(cmd->execute(), 1);

    auto rs = cn->Execute("SELECT F, M, D, V FROM T ORDER BY V");
    ASSERT_FALSE(rs->Eof());
    EXPECT_DOUBLE_EQ(rs->Fields("F").Value().toDouble(), 2.5);
    EXPECT_EQ(rs->Fields("M").Value().toCurrency(), vb::Currency::fromRaw(457500));
    EXPECT_DOUBLE_EQ(rs->Fields("D").Value().toDouble(), 1.125);
    EXPECT_EQ(rs->Fields("V").Value().text(), "0.25");
    rs->MoveNext();
    ASSERT_FALSE(rs->Eof());
    EXPECT_DOUBLE_EQ(rs->Fields("F").Value().toDouble(), 0.5);
    EXPECT_EQ(rs->Fields("M").Value().toCurrency(), vb::Currency::fromRaw(1234567));
    EXPECT_DOUBLE_EQ(rs->Fields("D").Value().toDouble(), 7.375);
    EXPECT_EQ(answer("SELECT SUM(M) FROM T"), "169.2067");
}

// Text keeps every letter through either provider under the C locale of services and scheduled
// jobs (ASCII as the C library's character type): written in a statement and as a parameter, read
// back, and found again by an updatable recordset that writes its row.
TEST_P(LocaleTest, TextKeepsItsLettersUnderTheCLocale) {
    const std::string antes = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    struct Restaura {
        std::string locale;
        ~Restaura() { std::setlocale(LC_ALL, locale.c_str()); }
    } restaura{antes};
    auto c = ado::Connection::Create();   // a connection opened under C
    c->Open(text());
    const QString azucar = QString::fromUtf8("Azúcar ñandú €");
    c->Execute(QStringLiteral("CREATE TABLE ART (COD varchar(5) NULL, NOM varchar(30) NULL)"));
    c->Execute(QStringLiteral("INSERT INTO ART (COD, NOM) VALUES ('A1', '%1')").arg(azucar));
    auto cmd = c->Prepare(QStringLiteral("INSERT INTO ART (COD, NOM) VALUES ('A2', ?)"));
    cmd->bind(1, vb::Variant(QString::fromUtf8("Café")));
    EXPECT_EQ(cmd->execute(), 1);
    EXPECT_EQ(testsupport::Scalar(c, QStringLiteral("SELECT NOM FROM ART WHERE COD = 'A1'")).text(), azucar);
    EXPECT_EQ(testsupport::Scalar(c, QStringLiteral("SELECT COD FROM ART WHERE NOM = '%1'").arg(azucar)).text(), "A1");
    auto rs = ado::Recordset::Create();
    rs->Open(QStringLiteral("SELECT * FROM ART WHERE COD = 'A2'"), c, ado::adOpenDynamic, ado::adLockOptimistic);
    EXPECT_EQ(rs->Fields("NOM").Value().text(), QString::fromUtf8("Café"));
    rs->Fields("NOM").setValue(vb::Variant(QString::fromUtf8("Té")));
    rs->Update();
    rs->Close();
    EXPECT_EQ(testsupport::Scalar(c, QStringLiteral("SELECT NOM FROM ART WHERE COD = 'A2'")).text(), QString::fromUtf8("Té"));
}

// The dates the posting, the receiver and the voucher audit write ('dd/mm/yyyy' texts) read back
// as the same day through either provider, a day that could be a month as well as one that
// could not.
TEST_P(LocaleTest, DayFirstDatesReadBackAsTheSameDay) {
    cn->Execute("CREATE TABLE MV (ID int NULL, FECHA datetime NULL)");
    cn->Execute("INSERT INTO MV (ID, FECHA) VALUES (1, '05/03/2008')");
    cn->Execute("INSERT INTO MV (ID, FECHA) VALUES (2, '13/03/2008')");
    cn->Execute("INSERT INTO MV (ID, FECHA) VALUES (3, '31/12/2008 23:59')");
    auto rs = cn->Execute("SELECT FECHA FROM MV ORDER BY ID");
    const QDateTime expected[] = {QDateTime(QDate(2008, 3, 5), QTime(0, 0)), QDateTime(QDate(2008, 3, 13), QTime(0, 0)),
                                  QDateTime(QDate(2008, 12, 31), QTime(23, 59))};
    for (const QDateTime& e : expected) {
        ASSERT_FALSE(rs->Eof());
        EXPECT_EQ(rs->Fields(0).Value().toDate().toQDateTime(), e) << rs->Fields(0).Value().text().toStdString();
        rs->MoveNext();
    }
}

// The day as the program's statements carry it, ISO 8601 with its time ('2008-03-05T00:00:00',
// the form no DATEFORMAT or language setting of a server changes), is that day through either
// provider: written into a date column it reads back as 5 March, and the row is found by it, as
// a whole day and as the first moment of a range; on the embedded database it is the same stored
// value as a day-first '05/03/2008', found by either.
TEST_P(LocaleTest, TheStatementsDayFormIsThatDayOnEitherProvider) {
    cn->Execute("CREATE TABLE MV (ID int NULL, FECHA datetime NULL)");
    cn->Execute("INSERT INTO MV (ID, FECHA) VALUES (1, '2008-03-05T00:00:00')");
    EXPECT_EQ(answer("SELECT COUNT(*) FROM MV WHERE FECHA = '2008-03-05T00:00:00'"), "1");
    EXPECT_EQ(answer("SELECT COUNT(*) FROM MV WHERE FECHA >= '2008-03-05T00:00:00' AND FECHA < '2008-03-06T00:00:00'"), "1");
    auto rs = cn->Execute("SELECT FECHA FROM MV");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(0).Value().type(), vb::VarType::Date);
    EXPECT_EQ(rs->Fields(0).Value().toDate().toQDateTime(), QDateTime(QDate(2008, 3, 5), QTime(0, 0)));
    if (!runs(false)) return;   // the SQLite ODBC driver keeps a text as written
    cn->Execute("INSERT INTO MV (ID, FECHA) VALUES (2, '05/03/2008')");
    EXPECT_EQ(answer("SELECT COUNT(*) FROM MV WHERE FECHA = '2008-03-05T00:00:00'"), "2");
    EXPECT_EQ(answer("SELECT COUNT(*) FROM MV WHERE FECHA = '05/03/2008'"), "2");
    EXPECT_EQ(answer("SELECT COUNT(DISTINCT FECHA) FROM MV"), "1");
}

INSTANTIATE_TEST_SUITE_P(Providers, LocaleTest, testing::Values(Provider::Embedded, Provider::Odbc), adotest::ProviderName);

}  // namespace
