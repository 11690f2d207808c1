// Configuration reads and the values loaded at start-up, on an embedded head-office database.
#include "core/armado_sql.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "core_db.h"
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/dates.h"
#include "platform/vb/on_error.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class ConfiguracionTest : public coretest::BaseCentralTest {
protected:
    void TearDown() override {
        BaseCentralTest::TearDown();
        vb::SetClock({});
    }
    void Claves(const QStringList& filas) { coretest::Ejecuta(carpeta.path(), filas); }
};

TEST_F(ConfiguracionTest, ObtieneConfiguracionReadsOneRowPerCall) {
    using coretest::Clave;
    Claves({Clave(QStringLiteral("PIVA"), QStringLiteral("21"), QStringLiteral("aux")),
            QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES ('NULO', NULL, NULL)"),
            Clave(QStringLiteral("THEME"), QStringLiteral("  "))});
    QString aux = QStringLiteral("previo");
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral(" PIVA "), aux).value(), QStringLiteral("21"));
    EXPECT_EQ(aux, QStringLiteral("aux"));
    EXPECT_EQ(core::gTablaConfiguracion, QStringLiteral("TA_CONFIGURACION"));
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("NO_ESTA"), aux).value(), QStringLiteral(" "));
    EXPECT_EQ(aux, QString());
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("NULO"), aux).value(), QString());   // Null, not a missing row
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("THEME")).value(), QStringLiteral("1"));
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("theme")).value(), QStringLiteral("1"));
    // A key holding a quote is read as a key, not as SQL.
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("O'Higgins")).value(), QStringLiteral(" "));
    ASSERT_EQ(registro->abiertas.size(), 6);
    EXPECT_EQ(registro->abiertas[0],
              QStringLiteral("SELECT VALOR, valoraux FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'PIVA'"));
}

TEST_F(ConfiguracionTest, DateRangeKeysRunUpperCased) {
    (void)core::ObtieneConfiguracion(QStringLiteral("[fecha desde]"));   // only the statement matters
    ASSERT_EQ(registro->abiertas.size(), 1);
    EXPECT_EQ(registro->abiertas[0],
              QStringLiteral("SELECT VALOR, VALORAUX FROM TA_CONFIGURACION WITH(NOLOCK)  WHERE CLAVE = '[FECHA DESDE]'"));
}

TEST_F(ConfiguracionTest, RetryRunsTheQueryAgain) {
    coretest::Ejecuta(carpeta.path(), {QStringLiteral("DROP TABLE TA_CONFIGURACION")});
    // The first query fails: the recordset operation's own question is answered Abort, then the
    // configuration's question ("Cfg") is answered Retry once the table is back.
    class Operador : public ui::Prompter {
    public:
        QString carpeta;
        QStringList titulos;
        int msgBox(const QString&, int, const QString& title) override {
            titulos << title;
            if (!title.contains(QStringLiteral("Cfg"))) return vb::kAbort;
            coretest::Ejecuta(carpeta, {QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50), VALOR varchar(255), "
                                                       "VALORAUX varchar(255))"),
                                        coretest::Clave(QStringLiteral("PIVA"), QStringLiteral("10.5"))});
            return vb::kRetry;
        }
        QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
    } operador;
    operador.carpeta = carpeta.path();
    ui::SetPrompter(&operador);
    const vb::ReadResult<QString> valor = core::ObtieneConfiguracion(QStringLiteral("PIVA"));
    ui::SetPrompter(nullptr);
    ASSERT_TRUE(valor.read());
    EXPECT_EQ(valor.value(), QStringLiteral("10.5"));
    ASSERT_EQ(operador.titulos.size(), 2);
    EXPECT_EQ(registro->abiertas.size(), 2);
}

TEST_F(ConfiguracionTest, AnyOtherAnswerLeavesTheSettingNotRead) {
    core::gTablaConfiguracion = QStringLiteral("NO_EXISTE");
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort).answer(vb::kAbort, QStringLiteral("Ha ocurrido"));
    QString aux = QStringLiteral("previo");
    EXPECT_FALSE(core::ObtieneConfiguracion(QStringLiteral("PIVA"), aux).read());
    EXPECT_EQ(aux, QStringLiteral("previo"));
    EXPECT_TRUE(prompter.exhausted());
}

TEST_F(ConfiguracionTest, CargaConfiguracionAppliesEachKeysRule) {
    using coretest::Clave;
    Claves({Clave(QStringLiteral("MostrarStockenConsultas"), QStringLiteral("si")),
            Clave(QStringLiteral("UsaConsultaLike"), QStringLiteral("SI ")),   // not trimmed: False
            Clave(QStringLiteral("SS_CONFIDENCIALIDAD"), QStringLiteral("Si")),
            Clave(QStringLiteral("TituloClientes"), QStringLiteral("  Clientes  ")),
            Clave(QStringLiteral("CantidadDecimales"), QStringLiteral(" 2 ")),
            Clave(QStringLiteral("UsaFacturaProforma"), QStringLiteral("SI")),
            Clave(QStringLiteral("USA_STK_STOCK_UDKG"), QStringLiteral("SI")),
            Clave(QStringLiteral("UNIDADDEMEDIDA_KG"), QStringLiteral(" KG ")),
            Clave(QStringLiteral("PERIODO"), QStringLiteral("2008.6abc")),
            Clave(QStringLiteral("VALIDACODIGOBARRA"), QStringLiteral(" si ")),
            Clave(QStringLiteral("CLetra"), QStringLiteral("255")),
            Clave(QStringLiteral("ModuloOrdenDeTrabajo"), QStringLiteral("")),
            Clave(QStringLiteral("V_ModificaCPrecio"), QStringLiteral("X")),
            Clave(QStringLiteral("C_ModificaCPrecio"), QStringLiteral("no")),
            Clave(QStringLiteral("MADERERA"), QStringLiteral("  ")),
            Clave(QStringLiteral("MAD_TIRAS"), QStringLiteral(" TI ")),
            Clave(QStringLiteral("MaxDto"), QStringLiteral(" 12,5 ")),
            Clave(QStringLiteral("UTILIZARFECHADIA"), QStringLiteral("SI")),
            Clave(QStringLiteral("CONDIVA"), QStringLiteral("3"))});
    core::gUsuarioLogeado = coretest::kUsuario;
    core::CargaConfiguracion(carpeta.path() + QStringLiteral("/"));

    EXPECT_EQ(core::gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    EXPECT_TRUE(core::gMostrarStockenConsultas);
    EXPECT_FALSE(core::gUsaConsultaLike);
    EXPECT_TRUE(data::gConfidencialidad);
    EXPECT_EQ(core::gTituloClientes, QStringLiteral("Clientes"));
    EXPECT_EQ(core::gArchivoDocTareas, carpeta.path() + QStringLiteral("/XKDOCTareas.qvd"));
    EXPECT_EQ(core::gCantidadDecimales, QStringLiteral(" 2 "));
    EXPECT_TRUE(core::gUsaFacturaProforma);   // the user's VerProforma is 1
    EXPECT_TRUE(core::gUsaStockUdKg);
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A7"));
    EXPECT_EQ(core::gUnidadKG, QStringLiteral("KG"));
    EXPECT_EQ(core::gUnidadM3, QString());   // missing key: the blank, trimmed
    EXPECT_EQ(core::gPeriodo, 2009);
    EXPECT_TRUE(core::gValidaCodigoBarra);
    EXPECT_EQ(core::gColorFondo, 0xFFFF00);   // CFondo missing
    EXPECT_EQ(core::gColorLetra, 255);
    EXPECT_TRUE(core::gModuloOrdenDeTrabajo);
    EXPECT_TRUE(core::gVModificaCPrecio);
    EXPECT_FALSE(core::gCModificaCPrecio);
    EXPECT_FALSE(core::gMaderera);
    EXPECT_FALSE(core::gPideClaveStockNeg);   // missing
    EXPECT_EQ(core::gMadTiras, QStringLiteral("TI"));
    EXPECT_EQ(core::gMaxDto, vb::Currency::fromDouble(12.5));
    EXPECT_TRUE(core::gUtilizaFechaDia);
    EXPECT_EQ(core::gCondIvaEmpresa, 3);
    EXPECT_EQ(core::gTopDefault, QStringLiteral("1000"));
}

TEST_F(ConfiguracionTest, CargaConfiguracionReadsTheKeysInOrder) {
    core::gUsuarioLogeado = coretest::kUsuario;
    core::CargaConfiguracion(QStringLiteral("/x/"));
    QStringList leidas;
    static const QRegularExpression clave(QStringLiteral("CLAVE = '([^']*)'$"));
    for (const QString& sql : registro->abiertas) {
        const auto m = clave.match(sql);
        leidas << (m.hasMatch() ? m.captured(1) : sql);
    }
    // The rules that tell a blank from "NO" or "SI" read their key once for each test.
    const QStringList esperadas = {
        QStringLiteral("MostrarStockenConsultas"), QStringLiteral("TituloClientes"), QStringLiteral("TituloProveedores"),
        QStringLiteral("EXIGECLAVECONSULTALIKEARTICULOS"), QStringLiteral("UsaConsultaLike"),
        QStringLiteral("CantidadDecimales"), QStringLiteral("SS_CONFIDENCIALIDAD"), QStringLiteral("UsaMultilesMonedas"),
        QStringLiteral("UsaFacturaProforma"), QStringLiteral("USACCOSTO"), QStringLiteral("USA_STK_STOCK_UDKG"),
        QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = 'operador'"),
        QStringLiteral("UNIDADDEMEDIDA_M3"), QStringLiteral("UNIDADDEMEDIDA_BL"), QStringLiteral("UNIDADDEMEDIDA_KG"),
        QStringLiteral("PERIODO"), QStringLiteral("VALIDACODIGOBARRA"), QStringLiteral("VALIDACODIGOBARRA"),
        QStringLiteral("CFondo"), QStringLiteral("CLetra"), QStringLiteral("ModuloOrdenDeTrabajo"),
        QStringLiteral("V_ModificaCPrecio"), QStringLiteral("V_ModificaCPrecio"), QStringLiteral("C_ModificaCPrecio"),
        QStringLiteral("C_ModificaCPrecio"), QStringLiteral("MADERERA"), QStringLiteral("MADERERA"),
        QStringLiteral("MAD_TIRAS"), QStringLiteral("MAD_P2"), QStringLiteral("MAD_ML"), QStringLiteral("MAD_M2"),
        QStringLiteral("MAD_HOJAS"), QStringLiteral("MAD_ML_P2"), QStringLiteral("MAD_M2_P2"), QStringLiteral("MAD_ML_M2"),
        QStringLiteral("CuentaCtroDist"), QStringLiteral("MaxDto"), QStringLiteral("MaxDtoProforma"),
        QStringLiteral("PideClave_StockNeg"), QStringLiteral("PideClave_StockNeg"), QStringLiteral("PideClave_MarkUpBase"),
        QStringLiteral("PideClave_MarkUpBase"), QStringLiteral("PideClave_LimiteCredito"),
        QStringLiteral("PideClave_LimiteCredito"), QStringLiteral("SS_BloqueoActivo"), QStringLiteral("UTILIZARFECHADIA"),
        QStringLiteral("CONDIVAEMPRESA"), QStringLiteral("CONDIVA"), QStringLiteral("Top_Default")};
    EXPECT_EQ(leidas.join(u'\n').toStdString(), esperadas.join(u'\n').toStdString());
}

TEST_F(ConfiguracionTest, UserWithoutRowOrBusinessUnitGetsUnitOne) {
    using coretest::Clave;
    Claves({Clave(QStringLiteral("UsaFacturaProforma"), QStringLiteral("SI")),
            QStringLiteral("INSERT INTO ta_usuarios (Nombre, Administrador, UNegocio, VerProforma) VALUES ('O''Brien', 0, NULL, 0)")});
    core::gUsuarioLogeado = QStringLiteral("O'Brien");
    core::CargaConfiguracion(QStringLiteral("/x/"));
    EXPECT_EQ(core::gUNegocio, QStringLiteral("   1"));
    EXPECT_FALSE(core::gUsaFacturaProforma);   // the user may not see them
    EXPECT_EQ(core::gCondIvaEmpresa, 1);

    core::ReiniciaEstado();
    core::gUsuarioLogeado = QStringLiteral("nadie");
    core::CargaConfiguracion(QStringLiteral("/x/"));
    EXPECT_EQ(core::gUNegocio, QStringLiteral("   1"));
    EXPECT_TRUE(core::gUsaFacturaProforma);
}

TEST_F(ConfiguracionTest, BusinessUnitPrefixedKeysAreReadAsComposed) {
    using coretest::Clave;
    Claves({Clave(QStringLiteral("A12Cfg_VentasSuc"), QStringLiteral("VS1")),
            Clave(QStringLiteral("Cfg_VentasSuc"), QStringLiteral("GEN"))});
    core::gUNegocio = QStringLiteral("A12");
    EXPECT_EQ(core::ObtieneConfiguracion(core::gUNegocio + QStringLiteral("Cfg_VentasSuc")).value(), QStringLiteral("VS1"));
    EXPECT_EQ(core::ObtieneConfiguracion(QStringLiteral("A3Cfg_VentasSuc")).value(), QStringLiteral(" "));
}

TEST_F(ConfiguracionTest, FormateaMinutosUsesTheConfiguredSeparator) {
    long h = -1, r = -1;
    EXPECT_EQ(core::FormateaMinutos(vb::Variant(125), h, r).value().text(), QStringLiteral("02:05"));
    EXPECT_EQ(h, 2);
    EXPECT_EQ(r, 5);
    coretest::Ejecuta(carpeta.path(), {coretest::Clave(QStringLiteral("SeparadorHora"), QStringLiteral("h"))});
    EXPECT_EQ(core::FormateaMinutos(vb::Variant(125), h, r).value().text(), QStringLiteral("02h05"));
    EXPECT_EQ(core::FormateaMinutos(vb::Variant(6000), h, r).value().text(), QStringLiteral("100h00"));
    coretest::Ejecuta(carpeta.path(), {QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '.' WHERE CLAVE = 'SeparadorHora'")});
    h = r = -1;
    EXPECT_EQ(core::FormateaMinutos(vb::Variant(125), h, r).value().text(), QStringLiteral("2.08"));
    EXPECT_EQ(core::FormateaMinutos(vb::Variant(90), h, r).value().text(), QStringLiteral("1.50"));
    EXPECT_EQ(h, -1);
    EXPECT_EQ(r, -1);
}

TEST_F(ConfiguracionTest, ObtieneFechaServidorKeepsDayAndMonthInPlace) {
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 600)); });
    const vb::Date d = core::ObtieneFechaServidor();
    EXPECT_EQ(vb::Day(d), 5);
    EXPECT_EQ(vb::Month(d), 3);
    EXPECT_EQ(vb::Year(d), 2008);
    EXPECT_EQ(vb::Hour(d), 14);
    EXPECT_EQ(vb::Minute(d), 7);
    EXPECT_EQ(vb::Second(d), 9);
}

}  // namespace
