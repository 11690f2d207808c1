// The Oracle translation and the script cutter on texts of any shape: the program's statements
// cut and damaged, and random texts. Each ends in a translated text, or a runtime error with a
// description, and never in a crash or an endless loop.
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "recording_calls.h"
#include "support/mutator.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using datatest::RecordingCalls;

// Pieces of the dialects and of the script runner's keywords, put where they do not belong.
const char* const kPiezas[] = {"'", "''", "[", "]", "(", ")", "--", "/*", ";", " top ", "TOP ", " WHERE ", " GROUP BY ",
                               "ORDER BY ", " LEN(", "103", "TO_CHAR(", "CONVERT(NVARCHAR,", "= ''", "'05/03/2008'",
                               "TO_DATE(", "TO_DATE(TO_DATE(", "INSERT ", "DELETE ", "UPDATE ", "CREATE ", "DROP ",
                               "ALTER ", "COMMIT", "ROLLBACK", "BEGIN TRANSACTION", "BEGIN TRANS", "SET TRANSACTION",
                               "IF NOT EXIST", "IF EXIST", "GRANT ", "SET NOCOUNT ON", "\r\nGO\r\n", " GO ", "\r", "\n"};

const char* const kSentencias[] = {
    "SELECT TOP 10 A FROM T WHERE B = 1 ORDER BY A",
    "SELECT TOP 5 A, COUNT(*) FROM T WHERE B = 1 GROUP BY A ORDER BY A",
    "SELECT A FROM T WHERE LEN(A) > 2 AND LEN    (B) > 1",
    "SELECT [Nombre Largo] FROM [T] WHERE F = '05/03/2008' AND N = 'Juan' AND C = ''",
    "SELECT CONVERT(NVARCHAR, F, 103), CONVERT(INT, '5'), Charindex('a', B), SUBSTRING(A,1,2), ISNULL(A,0) FROM T",
    "UPDATE T SET A = '' WHERE B = '' OR C=''",
    "BEGIN TRANSACTION INSERT INTO T VALUES (1) INSERT INTO T VALUES (2) COMMIT TRANSACTION",
    "SET NOCOUNT ON\r\nIF NOT EXISTS (SELECT * FROM T WHERE A = 1) INSERT INTO T VALUES (1)\r\nGO\r\nUPDATE T SET A = 2",
    "CREATE TABLE X (A int) GO GRANT SELECT ON X TO PUBLIC",
    "begin trans delete from t where a = 'x' rollback trans",
};

class OracleRobustness : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        vb::SetAppPath(folder.path());
        calls = std::make_shared<RecordingCalls>();
        db.setConnectionCalls(calls);
        datatest::MarkOracle(db);
        db.gEsAdmin = true;
        // A failing statement of a damaged script shows its error: the box must say something.
        antes_ = ui::ScriptedPrompter::UnexpectedHandler();
        ui::ScriptedPrompter::SetUnexpectedHandler([this](const QString& texto) {
            ++cajas;
            EXPECT_FALSE(texto.trimmed().isEmpty());
        });
    }
    void TearDown() override { ui::ScriptedPrompter::SetUnexpectedHandler(antes_); }

    // Runs a script as the program does: the Oracle runner behind EjecutaConsultaSQL.
    void Script(const QString& sql) {
        QString s = sql;
        long filas = 0;
        db.EjecutaConsultaSQL(s, &filas);
    }

    // Either a text or a runtime error that says what went wrong.
    template <typename F>
    void ValorOError(F&& f) {
        try {
            f();
        } catch (const vb::Error& e) {
            EXPECT_FALSE(e.description().trimmed().isEmpty()) << e.number();
        }
    }

    ui::ScriptedPrompter quiet;
    testsupport::TempFolder folder;
    data::DB_Dll db;
    std::shared_ptr<RecordingCalls> calls;
    int cajas = 0;

private:
    std::function<void(const QString&)> antes_;
};

TEST_F(OracleRobustness, EveryCutOfTheProgramsStatements) {
    for (const char* s : kSentencias) {
        const QString sql = QString::fromUtf8(s);
        for (qsizetype n = 0; n <= sql.size(); ++n) {
            SCOPED_TRACE(sql.left(n).toStdString());
            ValorOError([&] { (void)db.ORACLE_Dicc(sql.left(n)); });
            ValorOError([&] { (void)db.ORACLE_Dicc(sql.mid(n)); });
            ValorOError([&] { Script(sql.left(n)); });
        }
    }
}

TEST_F(OracleRobustness, DamagedAndRandomTexts) {
    testsupport::Mutator m(1521);
    qsizetype ejecutadas = 0;
    for (int i = 0; i < 3000; ++i) {
        const QString sql = i % 4 == 0 ? m.texto(150, " '()[];,.-/*0123456789ATOPWHERErowtGOINSERTDELETE\r\n")
                                       : QString::fromUtf8(m.muta(m.uno(kSentencias), kPiezas, 'A'));
        SCOPED_TRACE(sql.toStdString());
        ValorOError([&] { (void)db.ORACLE_Dicc(sql); });
        calls->log.clear();
        ValorOError([&] { Script(sql); });
        ejecutadas += calls->log.size();
    }
    // the damaged scripts did reach the connection, and some of them failed with a box
    EXPECT_GT(ejecutadas, 1000);
    EXPECT_GT(cajas, 0);
}

}  // namespace
