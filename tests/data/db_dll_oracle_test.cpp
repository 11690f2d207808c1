// The Oracle dialect: the translation rules, and the script runner's cutting of a batch into
// statements, with a recorder standing in for the Oracle connection.
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "recording_calls.h"

#include <gtest/gtest.h>

namespace {

using datatest::RecordingCalls;

class OracleTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        vb::SetAppPath(folder.path());
        calls = std::make_shared<RecordingCalls>();
        db.setConnectionCalls(calls);
        datatest::MarkOracle(db);
        db.gEsAdmin = true;
    }

    ui::ScriptedPrompter quiet;
    testsupport::TempFolder folder;
    data::DB_Dll db;
    std::shared_ptr<RecordingCalls> calls;
};

struct DiccCase {
    const char* sql;
    const char* oracle;
};

TEST_F(OracleTest, TranslationRules) {
    const DiccCase cases[] = {
        // single terms
        {"len", "LENGTH"},
        {"LEN", "LENGTH"},
        {"FECHA", "FECHA"},
        // TOP becomes a ROWNUM limit; ORDER BY, or GROUP BY with what follows, moves behind it
        {"SELECT TOP 10 A FROM T WHERE B = 1 ORDER BY A", "SELECT  A FROM T WHERE B = 1    AND ROWNUM <= 10  ORDER BY A"},
        {"SELECT TOP 3 A FROM T", "SELECT  A FROM T  WHERE ROWNUM <= 3  "},
        {"SELECT TOP 5 A, COUNT(*) FROM T WHERE B = 1 GROUP BY A ORDER BY A",
         "SELECT  A, COUNT(*) FROM T WHERE B = 1    AND ROWNUM <= 5  GROUP BY A ORDER BY A "},
        // LEN with up to four blanks before the parenthesis
        {"SELECT A FROM T WHERE LEN(A) > 2 AND LEN    (B) > 1 AND XLEN(C) = 0",
         "SELECT A FROM T WHERE LENGTH(A) > 2 AND LENGTH(B) > 1 AND XLEN(C) = 0"},
        {"SELECT [Nombre Largo] FROM [T]", "SELECT \"Nombre Largo\" FROM \"T\""},
        // date literals, once; other literals alone; empty comparisons after WHERE
        {"SELECT A FROM T WHERE F = '05/03/2008' AND N = 'Juan' AND C = '' AND D = TO_DATE('06/03/2008','DD/MM/YYYY')",
         "SELECT A FROM T WHERE F = TO_DATE('05/03/2008','DD/MM/YYYY') AND N = 'Juan' AND C  IS NULL  AND "
         "D = TO_DATE('06/03/2008','DD/MM/YYYY')"},
        {"SELECT A FROM T WHERE F >= '05/03/2008' AND G < '05/03/2008'",
         "SELECT A FROM T WHERE F >= TO_DATE('05/03/2008','DD/MM/YYYY') AND G < TO_DATE('05/03/2008','DD/MM/YYYY')"},
        {"UPDATE T SET A = '' WHERE B = '' OR C=''", "UPDATE T SET A = '' WHERE B  IS NULL  OR C IS NULL "},
        {"UPDATE T SET A = ''", "UPDATE T SET A = ''"},
        // functions
        {"SELECT CHARINDEX('x', A), CONVERT(NVARCHAR, F, 103), CONVERT(INT, B) FROM T WHERE N = 103",
         "SELECT InStr('x', A), TO_CHAR( F, 'DD/MM/YYYY'), TO_NUMBER( B) FROM T WHERE N = 103"},
        {"SELECT SUBSTRING(A, 1, 2), isnull(B, 0) FROM T", "SELECT SUBSTR(A, 1, 2), NVL(B, 0) FROM T"},
    };
    for (const DiccCase& c : cases)
        EXPECT_EQ(db.ORACLE_Dicc(QString::fromUtf8(c.sql)), QString::fromUtf8(c.oracle)) << c.sql;
}

TEST_F(OracleTest, NoTranslationOffOracleAndAnUnpairedQuoteIsAnError) {
    EXPECT_THROW(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE N = 'abc")), vb::Error);
    db.gConnString = QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;");
    for (const char* sql : {"len", "SELECT TOP 3 ISNULL(A,0) FROM [T] WHERE F = '05/03/2008'", "N = 'abc"})
        EXPECT_EQ(db.ORACLE_Dicc(QString::fromUtf8(sql)), QString::fromUtf8(sql));
}

struct BatchCase {
    const char* script;
    QStringList calls;
    long rows;
};

TEST_F(OracleTest, ScriptRunnerCutsTheBatchAtItsKeywords) {
    const BatchCase cases[] = {
        {"BEGIN TRANSACTION INSERT INTO T VALUES (1) INSERT INTO T VALUES (2) COMMIT TRANSACTION",
         {"BEGIN", "EXEC INSERT INTO T VALUES (1)", "EXEC INSERT INTO T VALUES (2)", "COMMIT"}, 2},
        {"begin trans insert into t values (1) rollback trans", {"BEGIN", "EXEC insert into t values (1)", "ROLLBACK"}, 1},
        {"BEGIN TRANSACTION\r\nINSERT INTO T VALUES (1)\r\nCOMMIT TRANSACTION",
         {"BEGIN", "EXEC INSERT INTO T VALUES (1) \n", "COMMIT"}, 1},
        {"SELECT * FROM T", {}, 0},
        {"EXEC XK_ENVIAR_MEMO_ADMIN", {}, 0},
        {"SET NOCOUNT ON\r\nIF NOT EXISTS (SELECT * FROM T WHERE A = 1) INSERT INTO T VALUES (1)\r\nGO\r\nUPDATE T SET A = 2",
         {"EXEC INSERT INTO T VALUES (1)", "EXEC UPDATE T SET A = 2"}, 2},
        {"IF EXISTS (SELECT * FROM T WHERE A = ISNULL(B,0)) DELETE FROM T WHERE A = 1",
         {"EXEC IF EXISTS (SELECT * FROM T WHERE A = NVL(B,0))", "EXEC DELETE FROM T WHERE A = 1"}, 2},
        {"UPDATE T SET FECHA_UPDATE = 1", {"EXEC UPDATE T SET FECHA_", "EXEC UPDATE = 1"}, 2},
        {"CREATE TABLE X (A int) GO GRANT SELECT ON X TO PUBLIC",
         {"EXEC CREATE TABLE X (A int)", "EXEC GRANT SELECT ON X TO PUBLIC"}, 2},
    };
    for (const BatchCase& c : cases) {
        calls->log.clear();
        long rows = 0;
        QString sql = QString::fromUtf8(c.script);
        db.EjecutaConsultaSQL(sql, &rows);
        EXPECT_EQ(calls->log, c.calls) << c.script;
        EXPECT_EQ(rows, c.rows) << c.script;
    }
}

TEST_F(OracleTest, KeywordInsideALiteralCutsTheStatementAndItsHalfQuoteFails) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kOk);
    QString sql = QStringLiteral("INSERT INTO T VALUES ('DROP ME')");
    db.EjecutaConsultaSQL(sql);
    EXPECT_TRUE(calls->log.isEmpty());
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(sql, QStringLiteral("INSERT INTO T VALUES ('DROP ME')"));
}

TEST_F(OracleTest, CountIsAddedToTheCallersCount) {
    long rows = 5;
    calls->rowsPerStatement = 3;
    QString sql = QStringLiteral("DELETE FROM T INSERT INTO T VALUES (1)");
    db.EjecutaConsultaSQL(sql, &rows);
    EXPECT_EQ(rows, 11);
}

TEST_F(OracleTest, FailingStatementRollsTheBatchBackAndStopsIt) {
    calls->failWhen = QStringLiteral("MALA");
    calls->failNumber = vb::kHrErrorsInCommand;
    QString sql = QStringLiteral(
        "BEGIN TRANSACTION INSERT INTO T VALUES (1) INSERT INTO MALA VALUES (2) INSERT INTO T VALUES (3) COMMIT TRANSACTION");
    db.EjecutaConsultaSQL(sql);
    EXPECT_EQ(calls->log, (QStringList{"BEGIN", "EXEC INSERT INTO T VALUES (1)", "EXEC INSERT INTO MALA VALUES (2)", "ROLLBACK"}));
    EXPECT_EQ(sql, QStringLiteral("INSERT INTO MALA VALUES (2) INSERT INTO T VALUES (3) COMMIT"))
        << "the caller's text holds what was not run";

    // Outside a transaction nothing is rolled back; the failure is shown by its number's rule.
    calls->log.clear();
    calls->failNumber = vb::kErrAdoClosed;
    calls->failDescription = QStringLiteral("ORA-00942: table or view does not exist");
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kOk, QStringLiteral("ORA-00942"));
    db.EjecutaConsultaSQL(QString(QStringLiteral("INSERT INTO MALA VALUES (2) INSERT INTO T VALUES (3)")));
    EXPECT_EQ(calls->log, QStringList{"EXEC INSERT INTO MALA VALUES (2)"});
    EXPECT_TRUE(prompter.exhausted());
}

TEST_F(OracleTest, ProvidersNoticeAfterTheBatchIsCleared) {
    calls->warnings = 1;
    calls->warningNumber = 265929;
    db.EjecutaConsultaSQL(QString(QStringLiteral("UPDATE T SET A = 1")));
    EXPECT_EQ(db.gCnn()->errors().Count(), 0);
    calls->warnings = 2;
    db.EjecutaConsultaSQL(QString(QStringLiteral("UPDATE T SET A = 1")));
    EXPECT_EQ(db.gCnn()->errors().Count(), 2);
}

}  // namespace
