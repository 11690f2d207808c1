// Single-value lookups on the embedded database: the SQL text each sends and what it answers.
#include "db_dll_fixture.h"
#include "platform/vb/on_error.h"
#include "platform/vb/dates.h"

#include <QLocale>

namespace {

using datatest::RecordingCalls;

class LookupsTest : public datatest::DbDllTest {
protected:
    void SetUp() override {
        DbDllTest::SetUp();
        OpenRecorded(
            db(),
            {QStringLiteral("CREATE TABLE V_MA_ARTICULOS (COD_ARTICULO varchar(25) NOT NULL, DESCRIPCION varchar(60) NULL, "
                            "PRECIO float NULL, FECHA datetime NULL, SUSPENDIDO int NULL)"),
             QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('A1', 'Tornillo', 12.5, '05/03/2008', 0)"),
             QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('  B2 ', 'D''Angelo', 3, '06/03/2008 10:30:00', 1)"),
             QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('C3', NULL, 7.25, NULL, 0)"),
             QStringLiteral("CREATE TABLE VACIA (N int NULL)")});
    }
    // ExisteEnTablaST always asks the head-office instance: the tests use it throughout.
    data::DB_Dll& db() { return data::gDBPrincipal(); }
    QString lastOpen() const {
        const QStringList opened = calls->texts(QStringLiteral("OPEN "));
        return opened.isEmpty() ? QString() : opened.last();
    }
};

struct ExistsCase {
    vb::Variant valor;
    const char* campo;
    int tipo;
    const char* condicion;
    const char* sql;
    bool found;
};

TEST_F(LookupsTest, ExisteEnTablaSTSendsItsTextAndFindsTheRow) {
    const ExistsCase cases[] = {
        {"A1", "COD_ARTICULO", 8, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE COD_ARTICULO ='A1'", true},
        {"D'Angelo", "DESCRIPCION", 8, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE DESCRIPCION ='D''Angelo'", true},
        {"x' OR 1=1 --", "DESCRIPCION", 8, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE DESCRIPCION ='x'' OR 1=1 --'", false},
        {"12.5kg", "PRECIO", 3, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE PRECIO = 12.5", true},
        {7.25, "PRECIO", 5, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE PRECIO = 7.25", true},
        {"1", "SUSPENDIDO", 0, "", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE SUSPENDIDO = 1", true},
        {"NADA", "NADA", 8, "SUSPENDIDO = 1", "SELECT * FROM V_MA_ARTICULOS with(nolock)   WHERE SUSPENDIDO = 1", true},
        {"A1", "COD_ARTICULO", 8, " WHERE SUSPENDIDO = 2",
         "SELECT * FROM V_MA_ARTICULOS with(nolock)    WHERE SUSPENDIDO = 2", false},
    };
    QLocale::setDefault(QLocale(QLocale::German));   // a decimal comma does not reach the SQL
    for (const ExistsCase& c : cases) {
        const bool found = db().ExisteEnTablaST(QStringLiteral("V_MA_ARTICULOS"), c.valor, QString::fromUtf8(c.campo),
                                                nullptr, c.tipo, QString::fromUtf8(c.condicion));
        EXPECT_EQ(lastOpen(), QString::fromUtf8(c.sql));
        EXPECT_EQ(found, c.found) << c.sql;
    }
    QLocale::setDefault(QLocale::c());
}

TEST_F(LookupsTest, ExisteEnTablaComparesTrimmedTextAndTakesTheFirstRow) {
    const ExistsCase cases[] = {
        {"  B2 ", "COD_ARTICULO", 8, "",
         "SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(COD_ARTICULO)) ='B2'", true},
        {"O'Brien", "DESCRIPCION", 8, "",
         "SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(DESCRIPCION)) ='O''Brien'", false},
        {"3", "PRECIO", 4, "", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE PRECIO = 3", true},
        {" '05/03/2008' ", "FECHA", 7, "", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE FECHA = '05/03/2008' ", true},
        {"", "", 8, "SUSPENDIDO = 0", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE SUSPENDIDO = 0", true},
        {"", "", 8, " WHERE SUSPENDIDO = 5", "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)   WHERE SUSPENDIDO = 5", false},
    };
    for (const ExistsCase& c : cases) {
        const bool found = db().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), c.valor, QString::fromUtf8(c.campo),
                                              nullptr, c.tipo, QString::fromUtf8(c.condicion));
        EXPECT_EQ(lastOpen(), QString::fromUtf8(c.sql));
        EXPECT_EQ(found, c.found) << c.sql;
    }
}

TEST_F(LookupsTest, ExistenceCheckLeavesTheCallersRecordsetOnTheFoundRow) {
    ado::RecordsetPtr rs;
    ASSERT_TRUE(db().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("C3"), QStringLiteral("COD_ARTICULO"), &rs));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(QStringLiteral("PRECIO")).Value().toDouble(), 7.25);
    // A second check closes and reopens the same recordset.
    EXPECT_FALSE(db().ExisteEnTablaST(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("ZZ"), QStringLiteral("COD_ARTICULO"), &rs));
    EXPECT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_TRUE(rs->BOF());
}

TEST_F(LookupsTest, ExisteEnTablaSTAsksTheHeadOfficeConnectionWhicheverInstanceIsCalled) {
    data::DB_Dll other;   // never opened
    EXPECT_TRUE(other.ExisteEnTablaST(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("C3"), QStringLiteral("COD_ARTICULO")));
}

TEST_F(LookupsTest, ExisteEnTablaTranslatesForOracleOnlyOnItsOwnRecordset) {
    data::DB_Dll oracle;
    auto recorder = std::make_shared<RecordingCalls>();   // opens nothing: every read then fails
    oracle.setConnectionCalls(recorder);
    datatest::MarkOracle(oracle);
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort).answer(vb::kAbort);
    ado::RecordsetPtr rs;
    oracle.ExisteEnTabla(QStringLiteral("T"), 5, QStringLiteral("N"), nullptr, 3);
    oracle.ExisteEnTabla(QStringLiteral("T"), 5, QStringLiteral("N"), &rs, 3);
    EXPECT_EQ(recorder->texts(QStringLiteral("OPEN ")),
              (QStringList{"SELECT  * FROM T with(nolock)  WHERE N = 5  AND ROWNUM <= 1  ",
                           "SELECT TOP 1 * FROM T with(nolock)  WHERE N = 5"}));
    EXPECT_TRUE(prompter.exhausted());
}

TEST_F(LookupsTest, ExistenceCheckOnAMissingTableAsksTheOperator) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort);
    EXPECT_FALSE(db().ExisteEnTabla(QStringLiteral("NO_EXISTE"), QStringLiteral("A"), QStringLiteral("B")));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(prompter.shown()[0].buttons, ui::vbAbortRetryIgnore + ui::vbCritical);
}

struct DatosCase {
    vb::Variant valor;
    const char* campoDevuelto;
    const char* campo;
    int tipo;
    const char* condicion;
    bool usaTrim;
    const char* sql;
    const char* result;
};

TEST_F(LookupsTest, DatosTablaReturnsTheColumnOfTheFirstMatchingRowAsText) {
    const DatosCase cases[] = {
        {"B2 ", "DESCRIPCION", "COD_ARTICULO", 8, "", true,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(COD_ARTICULO)) ='B2' ", "D'Angelo"},
        {"B2", "DESCRIPCION", "COD_ARTICULO", 8, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE COD_ARTICULO ='B2' ", ""},
        {"A1", "DESCRIPCION", "COD_ARTICULO", 8, "SUSPENDIDO = 0", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE COD_ARTICULO ='A1'  AND SUSPENDIDO = 0", "Tornillo"},
        {"A1", "DESCRIPCION", "COD_ARTICULO", 8, "  ", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE COD_ARTICULO ='A1'   ", "Tornillo"},
        {"D'Angelo", "PRECIO", "DESCRIPCION", 8, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE DESCRIPCION ='D''Angelo' ", "3"},
        {"C3", "DESCRIPCION", "COD_ARTICULO", 8, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE COD_ARTICULO ='C3' ", ""},
        {" 7.25 ", "COD_ARTICULO", "PRECIO", 5, " SUSPENDIDO = 0", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE PRECIO = 7.25 AND  SUSPENDIDO = 0", "C3"},
        {"05/03/2008", "COD_ARTICULO", "FECHA", 7, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE FECHA = '2008-03-05 00:00:00' ", "A1"},
        {vb::Variant(vb::Date::fromQDateTime(QDateTime(QDate(2008, 3, 6), QTime(10, 30)))),
         "SUSPENDIDO", "FECHA", 7, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE FECHA = '2008-03-06 10:30:00' ", "1"},
        {"SUSPENDIDO + 2", "COD_ARTICULO", "PRECIO", 0, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE PRECIO = SUSPENDIDO + 2", "  B2 "},
        {"ZZ", "DESCRIPCION", "COD_ARTICULO", 8, "", false,
         "SELECT TOP 1 * FROM V_MA_ARTICULOS with(nolock)  WHERE COD_ARTICULO ='ZZ' ", ""},
    };
    for (const DatosCase& c : cases) {
        const vb::ReadResult<vb::Variant> leido =
            db().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), c.valor, QString::fromUtf8(c.campoDevuelto),
                            QString::fromUtf8(c.campo), c.tipo, QString::fromUtf8(c.condicion), c.usaTrim);
        EXPECT_EQ(lastOpen(), QString::fromUtf8(c.sql));
        ASSERT_TRUE(leido.read()) << c.sql;
        const vb::Variant& v = leido.value();
        EXPECT_TRUE(v.isString()) << c.sql;
        EXPECT_EQ(v.text(), QString::fromUtf8(c.result)) << c.sql;
    }
}

TEST_F(LookupsTest, DatosTablaDateKeepsTheJetFormOnJet) {
    calls->forward = false;   // only the text matters here
    db().gCnn()->setConnectionString(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =c:\\x.mdb;"));
    // The recordset is never opened: the read that follows fails and is let go silently.
    EXPECT_FALSE(db().DatosTabla(QStringLiteral("T"), QStringLiteral(" 05/03/2008 "), QStringLiteral("A"),
                                 QStringLiteral("F"), 7, QString(), false, true)
                     .read());
    EXPECT_EQ(lastOpen(), QStringLiteral("SELECT TOP 1 * FROM T with(nolock)  WHERE F = #05/03/2008# "));
}

TEST_F(LookupsTest, DatosTablaOnAMissingColumnIsSilentOnlyWhenAskedTo) {
    EXPECT_FALSE(db().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("A1"), QStringLiteral("NO_HAY"),
                                 QStringLiteral("COD_ARTICULO"), 8, QString(), false, true)
                     .read());
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort);
    EXPECT_FALSE(db().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("A1"), QStringLiteral("NO_HAY"),
                                 QStringLiteral("COD_ARTICULO"), 8)
                     .read());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Aviso al Operador"));
}

TEST_F(LookupsTest, LargestAndSmallestValues) {
    struct Case {
        const char* which;
        std::optional<QString> condicion;
        const char* sql;
        double result;
    } const cases[] = {
        {"max", std::nullopt, "SELECT MAX(PRECIO) AS MAYOR FROM V_MA_ARTICULOS", 12.5},
        {"max", QStringLiteral(" SUSPENDIDO = 1 "), "SELECT MAX(PRECIO) AS MAYOR FROM V_MA_ARTICULOS WHERE SUSPENDIDO = 1", 3},
        {"max", QStringLiteral("  "), "SELECT MAX(PRECIO) AS MAYOR FROM V_MA_ARTICULOS", 12.5},
        {"min", std::nullopt, "SELECT MIN(PRECIO) AS MENOR FROM V_MA_ARTICULOS  with(nolock) ", 3},
        {"min", QStringLiteral("SUSPENDIDO = 0"), "SELECT MIN(PRECIO) AS MENOR FROM V_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0", 7.25},
        {"min", QString(), "SELECT MIN(PRECIO) AS MENOR FROM V_MA_ARTICULOS  with(nolock) ", 3},
        {"last", QStringLiteral(" SUSPENDIDO = 0"), "SELECT MAX(PRECIO) AS MAYOR FROM V_MA_ARTICULOS WHERE  SUSPENDIDO = 0", 12.5},
        {"last", QStringLiteral(" "), "SELECT MAX(PRECIO) AS MAYOR FROM V_MA_ARTICULOS", 12.5},
    };
    for (const auto& c : cases) {
        const QString which = QString::fromUtf8(c.which);
        vb::Variant v;
        if (which == QLatin1String("max"))
            v = db().BuscaMaximo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("PRECIO"), 3, c.condicion);
        else if (which == QLatin1String("min"))
            v = db().BuscaMinimo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("PRECIO"), 3, c.condicion);
        else
            v = db().BuscaUltimoCodigo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("PRECIO"), 3, c.condicion.value_or(QString()));
        EXPECT_EQ(lastOpen(), QString::fromUtf8(c.sql));
        EXPECT_EQ(v.type(), vb::VarType::Double) << c.sql;
        EXPECT_EQ(v.toDouble(), c.result) << c.sql;
    }
}

TEST_F(LookupsTest, LargestOfAnEmptyTableIsZeroAndAQueryErrorReachesTheCaller) {
    const vb::Variant v = db().BuscaMaximo(QStringLiteral("VACIA"), QStringLiteral("N"));
    EXPECT_EQ(v.type(), vb::VarType::Double);
    EXPECT_EQ(v.toDouble(), 0.0);
    EXPECT_THROW(db().BuscaMinimo(QStringLiteral("NO_EXISTE"), QStringLiteral("N")), vb::Error);
}

}  // namespace
