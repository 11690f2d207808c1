// Texts the program does not control, given to the embedded provider's statement reader and to
// the connection text reader: cut, damaged and random texts end in a result or a clean error,
// never in a crash, an endless loop or a read outside the text.
#include "ado_fixture.h"
#include "platform/ado/provider.h"
#include "platform/ado/tsql.h"
#include "platform/vb/error.h"

#include <QFile>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// Fixed-seed changes of a text: the same cases on every run.
class Mutador {
public:
    explicit Mutador(uint32_t semilla) : rng_(semilla) {}

    uint32_t menor(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }

    std::string bytesAlAzar(size_t maximo) {
        std::string s(menor(static_cast<uint32_t>(maximo) + 1), '\0');
        for (char& c : s) c = static_cast<char>(menor(256));
        return s;
    }

    std::string muta(std::string s) {
        static const char* const piezas[] = {"'", "\"", "[", "]", "(", ")", "--", "/*", "*/", ";", "N'", "''",
                                             "GO", "BEGIN ", "END ", "IF ", "ELSE ", "EXEC ", "SELECT TOP ",
                                             "TOP (", "WITH (NOLOCK)", "(NOLOCK)", ".", "..", "...", "@", "+",
                                             "'05/03/2008'", "'2008-02-30'", "CREATE TABLE ", "ALTER TABLE T ADD ",
                                             "CASE ", "DEFAULT ", "IDENTITY(", "varchar(", "COLLATE ", "VALUES",
                                             "CREATE PROCEDURE ", "AS ", "dbo.", "X.dbo.", "1e", "1e+", ",", "\n"};
        const int cambios = 1 + static_cast<int>(menor(4));
        for (int c = 0; c < cambios; ++c) {
            const size_t pos = s.empty() ? 0 : menor(static_cast<uint32_t>(s.size() + 1));
            switch (menor(7)) {
            case 0:   // cut
                s.resize(pos);
                break;
            case 1:   // flipped byte
                if (!s.empty()) s[pos % s.size()] = static_cast<char>(s[pos % s.size()] ^ (1u << menor(8)));
                break;
            case 2:   // a piece of the dialect where it does not belong
                s.insert(pos, piezas[menor(sizeof piezas / sizeof *piezas)]);
                break;
            case 3:   // NUL and 0xFF
                s.insert(pos, 1, menor(2) ? '\0' : '\xFF');
                break;
            case 4:   // a very long word or number
                s.insert(pos, std::string(1000 + menor(5000), menor(2) ? 'A' : '9'));
                break;
            case 5:   // a piece taken out
                if (!s.empty()) s.erase(pos % s.size(), menor(64));
                break;
            default:   // a piece repeated
                if (!s.empty()) {
                    const size_t b = pos % s.size();
                    s.insert(b, s.substr(b, menor(64)));
                }
                break;
            }
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

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

// The shipped scripts, cut into their statements at blank lines.
std::vector<std::string> PiezasDeLosScripts() {
    std::vector<std::string> out;
    for (const char* nombre : {"db/volma.sql", "db/volma_demo.sql", "db/korvane_interfases.sql",
                               "db/korvane_interfases_demo.sql"}) {
        QFile f(testsupport::SourceDir() + QLatin1Char('/') + QLatin1String(nombre));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const std::string todo = f.readAll().toStdString();
        size_t b = 0;
        while (b < todo.size()) {
            size_t e = todo.find("\n\n", b);
            if (e == std::string::npos) e = todo.size();
            if (e > b) out.push_back(todo.substr(b, e - b));
            b = e + 2;
        }
    }
    return out;
}

void Traduce(const std::string& sql) {
    const ado::tsql::Batch b = ado::tsql::Translate(sql, "VOLMA");
    (void)b;
}

TEST(TsqlRobustness, EveryCutOfTheProgramsStatements) {
    for (const char* s : kSentencias) {
        const std::string sql(s);
        for (size_t n = 0; n <= sql.size(); ++n) {
            SCOPED_TRACE(sql.substr(0, n));
            Traduce(sql.substr(0, n));
            Traduce(sql.substr(n));
        }
    }
}

TEST(TsqlRobustness, EveryCutOfTheShippedScripts) {
    const std::vector<std::string> piezas = PiezasDeLosScripts();
    ASSERT_FALSE(piezas.empty());
    for (const std::string& p : piezas) {
        for (size_t n = 0; n <= p.size(); n += 3) Traduce(p.substr(0, n));
    }
}

TEST(TsqlRobustness, DamagedStatements) {
    Mutador m(20081203);
    std::vector<std::string> base(std::begin(kSentencias), std::end(kSentencias));
    for (const std::string& p : PiezasDeLosScripts()) base.push_back(p);
    for (int i = 0; i < 4000; ++i) {
        const std::string sql = m.muta(base[m.menor(static_cast<uint32_t>(base.size()))]);
        SCOPED_TRACE(i);
        Traduce(sql);
        (void)ado::tsql::BindParameters(sql, {{"@a", "1"}, {"@B", "'x'"}});
        std::string iso;
        (void)ado::tsql::ReadDateLiteral(sql.substr(0, 40), &iso);
    }
}

TEST(TsqlRobustness, RandomBytes) {
    Mutador m(7);
    for (int i = 0; i < 3000; ++i) {
        const std::string sql = m.bytesAlAzar(200);
        Traduce(sql);
        std::string iso;
        (void)ado::tsql::ReadDateLiteral(sql, &iso);
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
            Traduce(sql);
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

// Regression: a statement holding a NUL character ("\0ALTER TABLE ...") made the embedded
// database wait forever; it is refused as a syntax error.
TEST(TsqlRobustness, NulCharacterInAStatement) {
    testsupport::TempFolder tmp;
    db::CreateDemo(tmp.path());
    ado::ConnectionPtr cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    for (const char* antes : {"", "SELECT 1", "DELETE FROM T_NADA WHERE 1=0 "}) {
        const QString sql = QLatin1String(antes) + QChar(0) + QStringLiteral("ALTER TABLE T ADD C nvarchar(30) NULL");
        try {
            cn->Execute(sql);
            ADD_FAILURE() << "no error for " << antes;
        } catch (const vb::Error& e) {
            EXPECT_FALSE(e.description().trimmed().isEmpty());
        }
    }
}

TEST(TsqlRobustness, DateLiterals) {
    const char* const textos[] = {"", "0", "05/03", "05/03/", "05/03/2008 ", "05/03/2008 23", "05/03/2008 23:",
                                  "05/03/2008 23:5", "2008-", "2008-0", "2008-02-", "2008-02-29T", "9999-12-31 23:59:59.",
                                  "2008-02-29 23:59:59.99999999999999999999999999999", "99/99/9999", "1/1/1",
                                  "00/00/0000", "31/12/99999", "2008-12-31\0001"};
    for (const char* t : textos) {
        std::string iso;
        (void)ado::tsql::ReadDateLiteral(t, &iso);
    }
}

// The connection text: any text gives its items, and a key of none gives an empty value.
TEST(ConnectionTextRobustness, AnyTextGivesItsItems) {
    Mutador m(1961);
    const char* const base[] = {"Provider=SQLOLEDB;Data Source=srv;Initial Catalog=VOLMA;User ID=sa;Password=x",
                                "DRIVER={SQLite3};Database=/tmp/a.db;;", "Provider=Embedded;Data Source=/tmp/x;",
                                "=;==;;;=a;b=;", ""};
    for (int i = 0; i < 3000; ++i) {
        const std::string t = i % 3 == 0 ? m.bytesAlAzar(120) : m.muta(base[m.menor(5)]);
        const ado::ConnectionText c(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
        for (const auto& [k, v] : c.items()) {
            EXPECT_FALSE(k.contains(QLatin1Char(';')));
            EXPECT_EQ(k, k.trimmed());
            EXPECT_EQ(v, v.trimmed());
        }
        (void)c.value({"Data Source", "Server", "Database"});
    }
}

// Damaged statements reach the embedded database: each one runs or raises an error that says
// something.
TEST(TsqlRobustness, DamagedStatementsOnTheEmbeddedDatabase) {
    testsupport::TempFolder tmp;
    db::CreateDemo(tmp.path());
    ado::ConnectionPtr cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    Mutador m(424242);
    for (int i = 0; i < 1500; ++i) {
        std::string sql = m.muta(kSentencias[m.menor(sizeof kSentencias / sizeof *kSentencias)]);
        SCOPED_TRACE(sql);
        try {
            const QString texto = QString::fromUtf8(sql.data(), static_cast<qsizetype>(sql.size()));
            if (i % 2) {
                long filas = 0;
                cn->Execute(texto, &filas);
            } else {   // through a recordset: the rows stepped one at a time when it is one query
                auto rs = ado::Recordset::Create();
                rs->Open(texto, cn);
                for (int n = 0; n < 50 && rs->State() != 0 && !rs->Eof(); ++n) rs->MoveNext();
            }
        } catch (const vb::Error& e) {
            EXPECT_FALSE(e.description().trimmed().isEmpty());
        }
    }
}

}  // namespace
