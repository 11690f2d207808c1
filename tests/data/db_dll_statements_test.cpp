// Statements and recordsets: the synonym rewrite, what EjecutaConsultaSQL runs and shows, the
// truncation rule, opening and closing recordsets.
#include "db_dll_fixture.h"
#include "platform/vb/on_error.h"

#include <QFile>

namespace {

// No box is expected unless a test scripts one; nothing is opened unless a test opens it.
class StatementsTest : public datatest::DbDllTest {
protected:
    void SetUp() override {
        DbDllTest::SetUp();
        data::gConfidencialidad = true;
        db.setConnectionCalls(calls);
    }
    void TearDown() override { data::gConfidencialidad = false; }

    data::DB_Dll db;
};

struct SynonymCase {
    bool admin;
    bool confidencialidad;
    const char* sql;
    const char* expected;
};

TEST_F(StatementsTest, SynonymRewriteFollowsUserFlagAndSettingOfTheName) {
    const SynonymCase cases[] = {
        // non-administrator, confidentiality on: the seven tables in their settings
        {false, true, "SELECT * FROM MA_CUENTAS WHERE A=1", "SELECT * FROM SS_MA_CUENTAS WHERE A=1"},
        {false, true, "select a from ma_cuentas where a=1", "select a from SS_MA_CUENTAS where a=1"},
        {false, true, "SELECT * FROM MA_CUENTAS", "SELECT * FROM MA_CUENTAS"},              // at the end
        {false, true, "MA_CUENTAS WHERE A=1", "MA_CUENTAS WHERE A=1"},                      // at the start
        {false, true, "SELECT * FROM MA_CUENTAS\nWHERE A=1", "SELECT * FROM MA_CUENTAS\nWHERE A=1"},
        {false, true, "SELECT * FROM V_TA_CAJAS\tWHERE A=1", "SELECT * FROM V_TA_CAJAS\tWHERE A=1"},
        {false, true, "SELECT X FROM (MA_CUENTAS)", "SELECT X FROM (MA_CUENTAS)"},          // ")" after
        {false, true, "SELECT * FROM (MA_CUENTAS M", "SELECT * FROM (SS_MA_CUENTAS M"},
        {false, true, "SELECT MA_CUENTAS.A FROM X", "SELECT SS_MA_CUENTAS.A FROM X"},
        {false, true, "SELECT (V_TA_DEPOSITO.A) FROM X", "SELECT (SS_V_TA_DEPOSITO.A) FROM X"},
        {false, true, "SELECT A,V_TA_FAMILIAS.B FROM X", "SELECT A,SS_V_TA_FAMILIAS.B FROM X"},
        {false, true, "SELECT A,V_TA_FAMILIAS B FROM X", "SELECT A,V_TA_FAMILIAS B FROM X"},   // "," then blank
        {false, true, "{MA_CUENTAS.A}", "{SS_MA_CUENTAS.A}"},
        {false, true, "{V_TA_CAJAS.A}", "{V_TA_CAJAS.A}"},
        {false, true, "FROM AC_CUENTASDIARIO WHERE", "FROM SS_AC_CUENTASDIARIO WHERE"},
        {false, true, "FROM AC_CUENTASDIARIO_CCOSTO WHERE", "FROM SS_AC_CUENTAS_DIARIO_CCOSTO WHERE"},
        {false, true, "FROM MV_ASIENTOS A, MA_CUENTAS M WHERE", "FROM SS_MV_ASIENTOS A, SS_MA_CUENTAS M WHERE"},
        {false, true, "FROM @admin_V_TA_FAMILIAS WHERE", "FROM V_TA_FAMILIAS WHERE"},
        {false, true, "FROM @ADMIN_MA_CUENTAS WHERE", "FROM MA_CUENTAS WHERE"},
        {false, true, "FROM @Admin_V_TA_CAJAS C, V_TA_CAJAS D WHERE", "FROM V_TA_CAJAS C, SS_V_TA_CAJAS D WHERE"},
        // non-administrator, confidentiality off: MV_ASIENTOS anywhere means no synonym at all
        {false, false, "FROM MV_ASIENTOS A, MA_CUENTAS M WHERE", "FROM MV_ASIENTOS A, MA_CUENTAS M WHERE"},
        {false, false, "FROM @ADMIN_MV_ASIENTOS A, V_TA_CAJAS M WHERE", "FROM MV_ASIENTOS A, V_TA_CAJAS M WHERE"},
        {false, false, "FROM MA_CUENTAS WHERE", "FROM SS_MA_CUENTAS WHERE"},
        // administrator: only the markers go
        {true, true, "FROM @Admin_MA_CUENTAS JOIN MA_CUENTAS WHERE", "FROM MA_CUENTAS JOIN MA_CUENTAS WHERE"},
        {true, false, "FROM @admin_v_ta_deposito WHERE", "FROM v_ta_deposito WHERE"},
    };
    for (const SynonymCase& c : cases) {
        db.gEsAdmin = c.admin;
        data::gConfidencialidad = c.confidencialidad;
        EXPECT_EQ(db.SS_TSinonimos(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected))
            << c.sql << " admin=" << c.admin << " conf=" << c.confidencialidad;
    }
}

struct RunCase {
    bool admin;
    const char* sql;
    const char* runs;
};

TEST_F(StatementsTest, StatementsRunOnBaseTablesUnlessAScriptDropsAndCreates) {
    const RunCase cases[] = {
        {false, "INSERT INTO MA_CUENTAS (A) VALUES (1)", "INSERT INTO MA_CUENTAS (A) VALUES (1)"},
        {false, "UPDATE @Admin_V_TA_CAJAS SET A=1", "UPDATE V_TA_CAJAS SET A=1"},
        {false, "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM MA_CUENTAS WHERE A=1",
         "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM SS_MA_CUENTAS WHERE A=1"},
        {false, "drop view Q create view Q as select * from MA_CUENTAS where a=1 delete from x",
         "drop view Q create view Q as select * from MA_CUENTAS where a=1 delete from x"},
        {false, "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM @admin_MA_CUENTAS JOIN V_TA_CAJAS ON 1=1",
         "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM MA_CUENTAS JOIN V_TA_CAJAS ON 1=1"},
        {true, "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM MA_CUENTAS WHERE A=1",
         "DROP VIEW Q CREATE VIEW Q AS SELECT * FROM MA_CUENTAS WHERE A=1"},
    };
    for (const RunCase& c : cases) {
        calls->log.clear();
        db.gEsAdmin = c.admin;
        QString sql = QString::fromUtf8(c.sql);
        db.EjecutaConsultaSQL(sql);
        EXPECT_EQ(calls->texts("EXEC "), QStringList{QString::fromUtf8(c.runs)}) << c.sql;
        EXPECT_EQ(sql, QString::fromUtf8(c.runs)) << "the caller's text receives the rewrite";
    }
}

struct FailureCase {
    long number;
    long native;
    const char* sql;
    bool shown;
    bool errorsCleared;
};

TEST_F(StatementsTest, FailingStatementIsShownOnlyWhenItIsNeitherQuietNorTransactional) {
    const FailureCase cases[] = {
        {vb::kHrErrorsInCommand, 0, "INSERT INTO T VALUES (1,", false, false},
        {vb::kHrUnspecified, 0, "INSERT INTO T VALUES (1)", false, false},
        {vb::kHrIntegrityViolation, 2627, "INSERT INTO T VALUES (1)", false, false},
        {vb::kHrNoSuchTable, 208, "INSERT INTO NADA VALUES (1)", false, false},
        {vb::kErrAdoClosed, 0, "INSERT INTO T VALUES (1)", true, false},
        {vb::kErrAdoClosed, 0, "BEGIN TRANSACTION INSERT INTO T VALUES (1) COMMIT TRANSACTION", false, false},
        {vb::kErrAdoClosed, 0, "begin trans insert into t values (1)", false, false},
        // a value too long for its column refused the statement: an error like any other, kept
        {vb::kHrUnspecified, 8152, "INSERT INTO T VALUES ('LARGO')", false, false},
        {vb::kErrAdoClosed, 8152, "INSERT INTO T VALUES ('LARGO')", true, false},
        {vb::kErrAdoClosed, 8152, "BEGIN TRANS INSERT INTO T VALUES ('LARGO')", false, false},
    };
    for (const FailureCase& c : cases) {
        calls->failWhen = QStringLiteral("INSERT");
        calls->failNumber = c.number;
        calls->failNative = c.native;
        calls->failDescription = QStringLiteral("No se pudo grabar");
        ui::ScriptedPrompter prompter;
        if (c.shown) prompter.answer(vb::kOk, QStringLiteral("No se pudo grabar"));
        QString sql = QString::fromUtf8(c.sql);
        db.EjecutaConsultaSQL(sql);
        EXPECT_TRUE(prompter.exhausted()) << c.sql;
        ASSERT_EQ(prompter.shown().size(), c.shown ? 1u : 0u) << c.sql;
        if (c.shown) {
            EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Aviso al operador!!!"));
            EXPECT_EQ(prompter.shown()[0].buttons, ui::vbCritical + ui::vbOKOnly);
        }
        EXPECT_EQ(db.gCnn()->errors().Count() == 0, c.errorsCleared) << c.sql;
    }
}

struct WarningCase {
    int entries;
    long native;
    const char* sql;
    bool cleared;
};

TEST_F(StatementsTest, TruncationWarningOfAStatementThatRanIsClearedWhenAlone) {
    const WarningCase cases[] = {
        {1, 8152, "UPDATE T SET A='X'", true},
        {2, 8152, "UPDATE T SET A='X'", true},
        {3, 8152, "UPDATE T SET A='X'", false},
        {1, 8152, "BEGIN TRANSACTION UPDATE T SET A='X'", false},
        {1, 3621, "UPDATE T SET A='X'", false},
    };
    for (const WarningCase& c : cases) {
        calls->warnings = c.entries;
        calls->warningNative = c.native;
        db.EjecutaConsultaSQL(QString::fromUtf8(c.sql));
        EXPECT_EQ(db.gCnn()->errors().Count() == 0, c.cleared) << c.entries << " " << c.sql;
    }
}

TEST_F(StatementsTest, OracleConnectionHandsTheStatementToTheScriptRunner) {
    datatest::MarkOracle(db);
    calls->rowsPerStatement = 2;
    long rows = 0;
    ado::RecordsetPtr rs = ado::Recordset::Create();
    const ado::RecordsetPtr before = rs;
    QString sql = QStringLiteral("BEGIN TRANSACTION INSERT INTO T VALUES (1) INSERT INTO T VALUES (2) COMMIT TRANSACTION");
    db.EjecutaConsultaSQL(sql, &rows, &rs);
    EXPECT_EQ(calls->log, (QStringList{"BEGIN", "EXEC INSERT INTO T VALUES (1)", "EXEC INSERT INTO T VALUES (2)", "COMMIT"}));
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(rs, before) << "the recordset is not touched on Oracle";
    EXPECT_TRUE(sql.isEmpty()) << "the runner consumes the text";
}

TEST_F(StatementsTest, AbrirRecordsetOpensOnSynonymsAndTranslatesForOracleOnly) {
    struct Case {
        const char* cnn;
        bool convOracle;
        const char* opened;
    } const cases[] = {
        {"Provider=OraOLEDB.Oracle.1;Data Source=ERP;", true, "SELECT  * FROM SS_MA_CUENTAS WHERE NVL(A,0)=1  AND ROWNUM <= 5  "},
        {"Provider=OraOLEDB.Oracle.1;Data Source=ERP;", false, "SELECT TOP 5 * FROM SS_MA_CUENTAS WHERE ISNULL(A,0)=1"},
        {"ORACLE;Data Source=ERP;", true, "SELECT TOP 5 * FROM SS_MA_CUENTAS WHERE ISNULL(A,0)=1"},
        {"PROVIDER=SQLOLEDB;Server=S;", true, "SELECT TOP 5 * FROM SS_MA_CUENTAS WHERE ISNULL(A,0)=1"},
    };
    for (const auto& c : cases) {
        calls->log.clear();
        db.gConnString = QString::fromUtf8(c.cnn);
        db.gCnn()->setConnectionString(db.gConnString);
        QString sql = QStringLiteral("SELECT TOP 5 * FROM MA_CUENTAS WHERE ISNULL(A,0)=1");
        ado::RecordsetPtr rs;
        db.AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, c.convOracle);
        EXPECT_EQ(calls->texts("OPEN "), QStringList{QString::fromUtf8(c.opened)}) << c.cnn;
        EXPECT_EQ(sql, QStringLiteral("SELECT TOP 5 * FROM SS_MA_CUENTAS WHERE ISNULL(A,0)=1"))
            << "the caller's text gets the synonyms, never the translation";
    }
}

class StatementsOnEmbeddedTest : public StatementsTest {
protected:
    void SetUp() override {
        StatementsTest::SetUp();
        calls->forward = true;
        datatest::OpenEmbedded(db, folder,
                               {QStringLiteral("CREATE TABLE V_TA_CAJAS (CODIGO varchar(4) NOT NULL, NOMBRE varchar(10) NULL)"),
                                QStringLiteral("INSERT INTO V_TA_CAJAS (CODIGO, NOMBRE) VALUES ('0001', 'Central')")});
        db.gEsAdmin = true;
    }
};

TEST_F(StatementsOnEmbeddedTest, StatementCountsItsRowsAndHandsBackItsRecordset) {
    long rows = 0;
    db.EjecutaConsultaSQL(QStringLiteral("INSERT INTO @Admin_V_TA_CAJAS (CODIGO, NOMBRE) VALUES ('0002', 'Norte')"));
    QString update = QStringLiteral("UPDATE V_TA_CAJAS SET NOMBRE = 'X'");
    db.EjecutaConsultaSQL(update, &rows);
    EXPECT_EQ(rows, 2);

    ado::RecordsetPtr rs = ado::Recordset::Create();
    QString select = QStringLiteral("SELECT COUNT(*) AS N FROM V_TA_CAJAS");
    db.EjecutaConsultaSQL(select, nullptr, &rs);
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->Fields(QStringLiteral("N")).Value().toLong(), 2);
}

TEST_F(StatementsOnEmbeddedTest, TruncatedTextIsRefusedAndLeavesItsErrorForTheCaller) {
    ui::ScriptedPrompter prompter;
    db.EjecutaConsultaSQL(QStringLiteral("INSERT INTO V_TA_CAJAS (CODIGO, NOMBRE) VALUES ('0003', 'Un nombre largo')"));
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(db.gCnn()->errors().Count(), 1);
    EXPECT_EQ(db.gCnn()->errors().Item(0).NativeError, 8152);
    EXPECT_FALSE(db.ExisteEnTabla(QStringLiteral("V_TA_CAJAS"), QStringLiteral("0003"), QStringLiteral("CODIGO")));
}

TEST_F(StatementsOnEmbeddedTest, FailingOpenAsksTheOperatorAndLeavesTheRecordsetClosed) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error ("));
    ado::RecordsetPtr rs;
    db.AbrirRecordset(QStringLiteral("SELECT * FROM NO_EXISTE"), rs);
    EXPECT_TRUE(prompter.exhausted());
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(prompter.shown()[0].title.contains(QStringLiteral("- AbrirRecordset"))) << prompter.shown()[0].title.toStdString();
    QFile log(folder.file(QStringLiteral("XKERR.LOG")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll()).contains(QStringLiteral("- AbrirRecordset Mensaje ")));
}

TEST_F(StatementsOnEmbeddedTest, RetryOpensOnceTheTableIsThere) {
    // The operator creates the missing table before answering Retry.
    struct CreatingPrompter : ui::Prompter {
        data::DB_Dll* db = nullptr;
        int asked = 0;
        int msgBox(const QString&, int, const QString&) override {
            ++asked;
            db->gCnn()->Execute(QStringLiteral("CREATE TABLE NUEVA (A int)"));
            return vb::kRetry;
        }
        QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    } creating;
    creating.db = &db;
    ui::SetPrompter(&creating);
    ado::RecordsetPtr rs;
    db.AbrirRecordset(QStringLiteral("SELECT * FROM NUEVA"), rs);
    ui::SetPrompter(&quiet);
    EXPECT_EQ(creating.asked, 1);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), ado::adStateOpen);
    db.CierraRecordset(rs);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
}

TEST_F(StatementsOnEmbeddedTest, CierraRecordsetClosesWhatIsOpenAndDropsAPendingEdit) {
    ado::RecordsetPtr never;
    db.CierraRecordset(never);   // a recordset never set: created closed, nothing asked
    ASSERT_TRUE(never);
    EXPECT_EQ(never->State(), ado::adStateClosed);
    db.CierraRecordset(never);   // closed: nothing to do

    ado::RecordsetPtr rs;
    db.AbrirRecordset(QStringLiteral("SELECT * FROM V_TA_CAJAS"), rs, nullptr, ado::adOpenKeyset, ado::adLockOptimistic);
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    rs->Fields(QStringLiteral("NOMBRE")).setValue(QStringLiteral("Cambiado"));
    db.CierraRecordset(rs);
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_EQ(db.DatosTabla(QStringLiteral("V_TA_CAJAS"), QStringLiteral("0001"), QStringLiteral("NOMBRE"),
                            QStringLiteral("CODIGO"))
                  .value()
                  .text(),
              QStringLiteral("Central"));
}

}  // namespace
