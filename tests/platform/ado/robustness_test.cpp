// Texts the program does not control: the program's statements and the shipped scripts cut,
// damaged and random, given to the embedded connection, and connection texts of any shape. A
// statement runs, or fails with the provider's error, which the connection's Errors then hold.
#include "ado_fixture.h"
#include "platform/ado/provider.h"
#include "platform/ado/tsql.h"
#include "platform/vb/error.h"
#include "support/mutator.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <string>
#include <vector>

namespace {

// Pieces of the dialect, put where they do not belong.
const char* const kPiezas[] = {"'", "\"", "[", "]", "(", ")", "--", "/*", "*/", ";", "N'", "''", "GO", "BEGIN ", "END ",
                               "IF ", "ELSE ", "EXEC ", "SELECT TOP ", "TOP (", "WITH (NOLOCK)", "(NOLOCK)", ".", "..",
                               "...", "@", "+", "'05/03/2008'", "'2008-02-30'", "CREATE TABLE ", "ALTER TABLE T ADD ",
                               "CASE ", "DEFAULT ", "IDENTITY(", "varchar(", "COLLATE ", "VALUES", "CREATE PROCEDURE ",
                               "AS ", "dbo.", "X.dbo.", "1e", "1e+", ",", "\n", "=", "Data Source="};

// Statements of the kinds the program sends, one feature of the dialect each.
const char* const kSentencias[] = {
    "SELECT TOP 10 A, B FROM dbo.T WITH (NOLOCK) WHERE C = N'x' ORDER BY A",
    "SELECT * FROM (SELECT TOP (5) X FROM [Mi Tabla] (NOLOCK)) Q",
    "SELECT TOP 100 PERCENT A FROM T",
    "SELECT ISNULL(A, 0), SUBSTRING(B, 1, 2) FROM VOLMA.dbo.T WHERE F >= '05/03/2008 23:59'",
    "SELECT A FROM OTRA..T1 JOIN OTRA.dbo.T2 ON T1.A = T2.A",
    "TRUNCATE TABLE T",
    "DELETE T WHERE A = 1",
    "BEGIN TRAN\nUPDATE T SET A = 'x' + B\nCOMMIT TRAN",
    "IF NOT EXISTS (SELECT 1 FROM T WHERE A = 1) INSERT INTO T (A) VALUES (1) ELSE UPDATE T SET A = 2",
    "IF EXISTS (SELECT * FROM T) BEGIN DELETE FROM T; INSERT INTO T SELECT * FROM U END",
    "EXEC dbo.Proc 1, 'a', @p = 3",
    "CREATE PROCEDURE dbo.P @a int, @b varchar(10) AS UPDATE T SET A = @a WHERE B = @b",
    "SET NOCOUNT ON\nPRINT 'x'\nSELECT 1",
    "CREATE TABLE T (ID int IDENTITY(1,1) NOT NULL, N varchar(20) COLLATE X NULL DEFAULT getdate(), "
    "CONSTRAINT PK PRIMARY KEY (ID))",
    "ALTER TABLE T ADD C nvarchar(30) NULL, D sysname",
    "SELECT CASE WHEN A = 1 THEN 'x' ELSE 'y' END FROM T",
    "SELECT A FROM T UNION ALL SELECT B FROM U",
    "INSERT INTO T (A) SELECT B FROM U WHERE C = 'it''s'",
    "SELECT \"A\"\"B\", [C]]D] FROM T -- comment\n/* block */ WHERE 1.5e+3 > 0 AND x <> 1 AND y != 2",
};

// The shipped scripts (db/*.sql), cut into their statements at blank lines.
std::vector<QByteArray> PiezasDeLosScripts() {
    std::vector<QByteArray> out;
    const QDir carpeta(testsupport::SourceDir() + QStringLiteral("/db"));
    for (const QString& nombre : carpeta.entryList({QStringLiteral("*.sql")}, QDir::Files)) {
        QFile f(carpeta.filePath(nombre));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray todo = f.readAll();
        for (qsizetype b = 0, e; b < todo.size(); b = e + 2) {
            e = todo.indexOf("\n\n", b);
            if (e < 0) e = todo.size();
            if (e > b) out.push_back(todo.mid(b, e - b));
        }
    }
    return out;
}

class DamagedText : public ::testing::Test {
protected:
    void SetUp() override {
        db::CreateDemo(tmp.path());
        cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    }

    // Runs the text (through a recordset, its rows stepped, when asked); true when it ran. A text
    // that fails raises the provider's error, and Errors hold it first, each error with its SQL
    // state (a batch that went on after a statement's data error holds one for each).
    bool RunsOrFailsInErrors(const QByteArray& sql, bool comoRecordset = false) {
        const QString texto = QString::fromUtf8(sql);
        try {
            if (!comoRecordset) {
                cn->Execute(texto);
                return true;
            }
            auto rs = ado::Recordset::Create();
            rs->Open(texto, cn);
            for (int n = 0; n < 50 && rs->State() == ado::adStateOpen && !rs->Eof(); ++n) rs->MoveNext();
            return true;
        } catch (const vb::Error& e) {
            EXPECT_GE(cn->errors().Count(), 1) << sql.left(200).toStdString();
            if (cn->errors().Count() < 1) return false;
            EXPECT_EQ(cn->errors().Item(0).Number, e.number());
            for (int i = 0; i < cn->errors().Count(); ++i) {
                const ado::ErrorItem& item = cn->errors().Item(i);
                EXPECT_FALSE(item.SQLState.isEmpty()) << item.Description.toStdString();
                EXPECT_FALSE(item.Description.trimmed().isEmpty()) << item.SQLState.toStdString();
            }
            return false;
        }
    }

    testsupport::TempFolder tmp;
    ado::ConnectionPtr cn;
};

TEST_F(DamagedText, EveryCutOfTheProgramsStatementsAndOfTheShippedScripts) {
    int corridas = 0;
    for (const char* s : kSentencias) {
        const QByteArray sql(s);
        for (qsizetype n = 0; n <= sql.size(); ++n)
            corridas += RunsOrFailsInErrors(sql.left(n)) + RunsOrFailsInErrors(sql.mid(n));
    }
    const std::vector<QByteArray> piezas = PiezasDeLosScripts();
    ASSERT_GT(piezas.size(), 20u);
    for (const QByteArray& p : piezas) {
        for (qsizetype n = 0; n <= p.size(); n += 5) corridas += RunsOrFailsInErrors(p.left(n));
    }
    EXPECT_GT(corridas, 100);   // a cut at a statement's end runs
}

TEST_F(DamagedText, DamagedAndRandomStatements) {
    testsupport::Mutator m(20081203);
    std::vector<QByteArray> base(std::begin(kSentencias), std::end(kSentencias));
    for (const QByteArray& p : PiezasDeLosScripts()) base.push_back(p);
    for (int i = 0; i < 5000; ++i) {
        const QByteArray sql =
            i % 3 == 0 ? m.bytes(200) : m.muta(base[m.menor(static_cast<uint32_t>(base.size()))], kPiezas, '9');
        SCOPED_TRACE(i);
        RunsOrFailsInErrors(sql, i % 2 == 0);
        // A text without parameters is left as it is.
        const std::string texto = sql.toStdString();
        if (!sql.contains('@')) {
            EXPECT_EQ(ado::tsql::BindParameters(texto, {{"@a", "1"}, {"@B", "'x'"}}), texto);
        }
    }
    // The NUL character: SQLite reads no further than it, so a statement holding one is refused.
    for (const char* antes : {"", "SELECT 1", "DELETE FROM T_NADA WHERE 1=0 "})
        EXPECT_FALSE(RunsOrFailsInErrors(QByteArray(antes) + '\0' + "ALTER TABLE T ADD C nvarchar(30) NULL")) << antes;
}

// A date literal is read into a date that exists, or not at all.
TEST(TsqlRobustness, DateLiteralsGiveADateThatExists) {
    testsupport::Mutator m(1753);
    const char* const textos[] = {"", "0", "05/03", "05/03/", "05/03/2008 ", "05/03/2008 23", "05/03/2008 23:",
                                  "05/03/2008 23:5", "2008-", "2008-0", "2008-02-", "2008-02-29T", "9999-12-31 23:59:59.",
                                  "2008-02-29 23:59:59.99999999999999999999999999999", "99/99/9999", "1/1/1",
                                  "00/00/0000", "31/12/99999", "29/02/2008", "29/02/2009", "2008-12-31 24:00:00"};
    for (int i = 0; i < 3000; ++i) {
        const QByteArray t = i < 40 ? QByteArray(textos[i % std::size(textos)]) : m.muta(m.uno(textos), kPiezas, '9');
        std::string iso;
        if (!ado::tsql::ReadDateLiteral(t.toStdString(), &iso)) continue;
        const QString fecha = QString::fromStdString(iso);   // fractions of a second kept as written
        EXPECT_TRUE(QDateTime::fromString(fecha.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid() &&
                    QRegularExpression(QStringLiteral("^.{19}(\\.[0-9]*)?$")).match(fecha).hasMatch())
            << t.left(100).toStdString() << " -> " << iso.substr(0, 100);
    }
}

// Regression: 20000 nested BEGINs (or IFs) ran the reader out of stack; 20000 PRINT lines did too.
TEST(TsqlRobustness, DeeplyNestedText) {
    for (const char* pieza : {"(", ")", "BEGIN ", "IF 1=1 ", "IF (", "CASE ", "SELECT TOP 1 (", "END ", "ELSE ",
                              "IF 1=1 BEGIN ", "PRINT 'x'\n", "SET NOCOUNT ON\n"}) {
        std::string sql;
        for (int i = 0; i < 20000; ++i) sql += pieza;
        SCOPED_TRACE(pieza);
        try {
            (void)ado::tsql::Translate(sql, "VOLMA");
        } catch (const ado::ProviderError& e) {
            EXPECT_EQ(e.nativeError, 191);
            EXPECT_TRUE(e.description.contains(QLatin1String("nested too deeply")));
        }
    }
    // Nesting a script may hold is read as before; the session settings are still dropped.
    std::string sql;
    for (int i = 0; i < 60; ++i) sql += "IF 1=1 BEGIN ";
    sql += "DELETE T";
    for (int i = 0; i < 60; ++i) sql += " END";
    EXPECT_EQ(ado::tsql::Translate(sql, "VOLMA").statements.size(), 1u);
    std::string avisos;
    for (int i = 0; i < 20000; ++i) avisos += "PRINT 'x'\nSET NOCOUNT ON\n";
    const ado::tsql::Batch b = ado::tsql::Translate(avisos + "DELETE T", "VOLMA");
    ASSERT_EQ(b.statements.size(), 1u);
    EXPECT_EQ(b.statements[0].sql, "DELETE FROM T");
}

// Regression: "SET NOCOUNT ON" followed by a DELETE or UPDATE on the next line took it for the
// ON DELETE of a foreign key and dropped it with the setting (behind a PRINT too).
TEST(TsqlRobustness, StatementAfterASessionSetting) {
    struct Caso { const char* sql; const char* esperada; };
    const Caso casos[] = {
        {"SET NOCOUNT ON\nDELETE T", "DELETE FROM T"},
        {"SET NOCOUNT ON\nUPDATE T SET A = 1", "UPDATE T SET A = 1"},
        {"SET XACT_ABORT ON DELETE FROM T", "DELETE FROM T"},
        {"SET NOCOUNT ON; DELETE T", "DELETE FROM T"},
        {"PRINT 'x'\nSET NOCOUNT ON\nUPDATE T SET A = 1", "UPDATE T SET A = 1"},
    };
    for (const Caso& c : casos) {
        const ado::tsql::Batch b = ado::tsql::Translate(c.sql, "VOLMA");
        ASSERT_EQ(b.statements.size(), 1u) << c.sql;
        EXPECT_EQ(b.statements[0].sql, c.esperada) << c.sql;
    }
    // the foreign key's ON DELETE stays inside its CREATE TABLE
    const ado::tsql::Batch fk = ado::tsql::Translate("CREATE TABLE H (P int REFERENCES T(A) ON DELETE CASCADE)", "VOLMA");
    EXPECT_EQ(fk.statements.size(), 1u);
}

// The connection text: any text gives its items, and a key of none gives an empty value.
TEST(ConnectionTextRobustness, AnyTextGivesItsItems) {
    testsupport::Mutator m(1961);
    const char* const base[] = {"Provider=SQLOLEDB;Data Source=srv;Initial Catalog=VOLMA;User ID=sa;Password=x",
                                "DRIVER={SQLite3};Database=/tmp/a.db;;", "Provider=Embedded;Data Source=/tmp/x;",
                                "=;==;;;=a;b=;", ""};
    for (int i = 0; i < 3000; ++i) {
        const QByteArray t = i % 3 == 0 ? m.bytes(120) : m.muta(m.uno(base), kPiezas, ';');
        const ado::ConnectionText c(QString::fromUtf8(t));
        for (const auto& [k, v] : c.items()) {
            EXPECT_FALSE(k.contains(QLatin1Char(';')));
            EXPECT_EQ(k, k.trimmed());
            EXPECT_EQ(v, v.trimmed());
        }
        (void)c.value({"Data Source", "Server", "Database"});
    }
}

}  // namespace
