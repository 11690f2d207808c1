// Schema checks on the embedded database, and the text of the column a table gets.
#include "db_dll_fixture.h"
#include "platform/vb/on_error.h"

namespace {

class SchemaTest : public datatest::DbDllTest {
protected:
    void SetUp() override {
        DbDllTest::SetUp();
        OpenRecorded(db, {QStringLiteral("CREATE TABLE TA_USUARIOS (NOMBRE varchar(20) NOT NULL, ADMINISTRADOR int NULL)")});
        db.gEsAdmin = true;
    }

    data::DB_Dll db;
};

TEST_F(SchemaTest, TablesAndColumnsAreFoundWhateverTheirCaseAndBlanks) {
    struct Case {
        const char* tabla;
        const char* campo;   // null: the table check alone
        bool found;
    } const cases[] = {
        {"TA_USUARIOS", nullptr, true},
        {"ta_usuarios", nullptr, true},
        {"  Ta_Usuarios ", nullptr, true},
        {"TA_USUARIO", nullptr, false},
        {"TA_USUARIOS", "NOMBRE", true},
        {"TA_USUARIOS", " administrador ", true},
        {"TA_USUARIOS", "CLAVE", false},
        {"OTRA", "NOMBRE", false},
    };
    for (const auto& c : cases) {
        const QString tabla = QString::fromUtf8(c.tabla);
        const bool found = c.campo ? db.ExisteCampoDB(tabla, QString::fromUtf8(c.campo)) : db.ExisteTablaDB(tabla);
        EXPECT_EQ(found, c.found) << c.tabla << " " << (c.campo ? c.campo : "");
    }
}

TEST_F(SchemaTest, AnEmptyDatabaseHasNoTables) {
    testsupport::TempFolder other;
    data::DB_Dll empty;
    datatest::OpenEmbedded(empty, other);
    EXPECT_FALSE(empty.ExisteTablaDB(QStringLiteral("TA_USUARIOS")));
}

TEST_F(SchemaTest, OracleProviderCountsEveryColumnAsPresent) {
    db.gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
    EXPECT_TRUE(db.ExisteCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("CLAVE")));
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("CLAVE"), true, QStringLiteral("int")));
    EXPECT_TRUE(calls->texts(QStringLiteral("EXEC ")).isEmpty());
}

TEST_F(SchemaTest, AddFieldStatementText) {
    calls->forward = false;
    struct Case {
        const char* tabla;
        const char* tipo;
        bool nulos;
        vb::Variant porDefecto;
        const char* sql;
    } const cases[] = {
        {"TA_X ", "int", true, 0, "ALTER TABLE dbo.TA_X  ADD C int Null  CONSTRAINT DF_TA_X_C DEFAULT (0)"},
        {"TA_X", "varchar(10)", false, vb::Variant(), "ALTER TABLE dbo.TA_X ADD C varchar(10) Not Null "},
        {"TA_X", "varchar(10)", true, "'N'", "ALTER TABLE dbo.TA_X ADD C varchar(10) Null  CONSTRAINT DF_TA_X_C DEFAULT ('N')"},
    };
    for (const auto& c : cases) {
        calls->log.clear();
        db.AddField(QString::fromUtf8(c.tabla), QStringLiteral("C"), QString::fromUtf8(c.tipo), c.nulos, c.porDefecto);
        EXPECT_EQ(calls->texts(QStringLiteral("EXEC ")), QStringList{QString::fromUtf8(c.sql)});
    }
}

TEST_F(SchemaTest, VerCampoDBAddsAMissingColumnOnlyWhenAskedAndAlwaysAnswersTrue) {
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("NO_EXISTE"), QStringLiteral("C"), true, QStringLiteral("int")));
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("CLAVE"), false, QStringLiteral("int")));
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("NOMBRE"), true, QStringLiteral("int")));
    EXPECT_TRUE(calls->texts(QStringLiteral("EXEC ")).isEmpty());

    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("NIVEL"), true, QStringLiteral("int"), true, 3));
    EXPECT_EQ(calls->texts(QStringLiteral("EXEC ")),
              QStringList{"ALTER TABLE dbo.TA_USUARIOS ADD NIVEL int Null  CONSTRAINT DF_TA_USUARIOS_NIVEL DEFAULT (3)"});
    EXPECT_TRUE(db.ExisteCampoDB(QStringLiteral("TA_USUARIOS"), QStringLiteral("NIVEL")));
    db.gCnn()->Execute(QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE) VALUES ('ana')"));
    EXPECT_EQ(db.DatosTabla(QStringLiteral("TA_USUARIOS"), QStringLiteral("ana"), QStringLiteral("NIVEL"),
                            QStringLiteral("NOMBRE")).value().text(),
              QStringLiteral("3"));
}

TEST_F(SchemaTest, CheckOnAClosedConnectionIsTreatedAndAnswersFalse) {
    data::DB_Dll closed;
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort, QStringLiteral("Ha ocurrido el Siguiente Error ("));
    EXPECT_FALSE(closed.ExisteTablaDB(QStringLiteral("TA_USUARIOS")));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(prompter.shown()[0].title.contains(QStringLiteral("- VerificaCampos"))) << prompter.shown()[0].title.toStdString();
}

}  // namespace
