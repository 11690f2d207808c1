// Window set-up, the status bar's panels and the store interface connection.
#include "core/barra_estado.h"
#include "core/conecta_remota.h"
#include "core/frm_configura.h"
#include "core/mod_global.h"
#include "core_db.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/ui/prompter.h"
#include "platform/ui/status_bar.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class VentanaTest : public coretest::BaseCentralTest {
protected:
    void Carga() override { db::CreateInterface(carpeta.path(), false); }
    void SetUp() override {
        BaseCentralTest::SetUp();
        for (const char* k : {"MENSAJE", "SERVER", "USUARIO", "BASEDEDATOS", "CAJA", "VERSION"}) barra.AddPanel(QString::fromLatin1(k));
        version = vb::App();
    }
    void TearDown() override {
        vb::App() = version;
        vb::SetClock({});
        BaseCentralTest::TearDown();
    }
    QString Caja(const QString& codigo) {
        return data::gDBPrincipal().DatosTabla(QStringLiteral("V_TA_Cajas"), vb::Variant(codigo), QStringLiteral("Descripcion"),
                                               QStringLiteral("IdCajas"), 8, QString(), true, false).value().text();
    }

    ui::StatusBar barra;
    vb::AppInfo version;
};

TEST_F(VentanaTest, FirstCallFillsThePanelsAndAddsTheMissingCashBox) {
    vb::App().major = 2;
    vb::App().minor = 0;
    vb::App().revision = 15;
    core::gCaja = QStringLiteral("5");
    QWidget ventana;
    QStatusBar* vista = ui::CreateStatusBarView(&barra, &ventana);
    core::ActualizaBarraEstado(barra, QStringLiteral("Listo"));

    EXPECT_EQ(barra.Text(QStringLiteral("MENSAJE")), QStringLiteral("Listo"));
    EXPECT_EQ(barra.Text(QStringLiteral("SERVER")), QStringLiteral("Srv: ") + carpeta.path());
    EXPECT_EQ(barra.Text(QStringLiteral("USUARIO")), QStringLiteral("Uid: operador"));
    EXPECT_EQ(barra.Text(QStringLiteral("BASEDEDATOS")), QStringLiteral("Db: VOLMA"));
    EXPECT_EQ(barra.Text(QStringLiteral("CAJA")), QStringLiteral("5 CAJA 5"));
    EXPECT_EQ(barra.Text(QStringLiteral("VERSION")), QStringLiteral("V.2.0.15"));
    for (const char* k : {"SERVER", "USUARIO", "BASEDEDATOS", "CAJA"}) {
        EXPECT_EQ(barra.ToolTipText(QString::fromLatin1(k)), barra.Text(QString::fromLatin1(k))) << k;
    }
    EXPECT_TRUE(barra.ToolTipText(QStringLiteral("VERSION")).isEmpty());
    ASSERT_TRUE(registro->ejecutadas.contains(
        QStringLiteral("INSERT INTO V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES('5   ','CAJA 5')")))
        << registro->ejecutadas.join(u'\n').toStdString();
    // The view shows the panels.
    auto* caja = vista->findChild<QLabel*>(QStringLiteral("CAJA"));
    ASSERT_NE(caja, nullptr);
    EXPECT_EQ(caja->text(), QStringLiteral("5 CAJA 5"));

    // Later calls change only the message, and ask the database nothing.
    const int antes = registro->llamadas;
    core::ActualizaBarraEstado(barra, QStringLiteral("Enviando"));
    EXPECT_EQ(barra.Text(QStringLiteral("MENSAJE")), QStringLiteral("Enviando"));
    EXPECT_EQ(registro->llamadas, antes);
    EXPECT_EQ(vista->findChild<QLabel*>(QStringLiteral("MENSAJE"))->text(), QStringLiteral("Enviando"));
}

TEST_F(VentanaTest, AnEmptyCashBoxBecomesOneAndAnExistingOneIsNotAdded) {
    coretest::Ejecuta(carpeta.path(), {QStringLiteral("INSERT INTO V_TA_Cajas VALUES ('1', 'PRINCIPAL')")});
    core::ActualizaBarraEstado(barra, QString());
    EXPECT_EQ(core::gCaja, QStringLiteral("1"));
    EXPECT_EQ(barra.Text(QStringLiteral("CAJA")), QStringLiteral("1 PRINCIPAL"));
    EXPECT_TRUE(registro->ejecutadas.isEmpty());
}

TEST_F(VentanaTest, AMissingPanelSkipsOnlyItself) {
    ui::StatusBar corta;
    corta.AddPanel(QStringLiteral("SERVER"));
    corta.AddPanel(QStringLiteral("CAJA"));
    core::gCaja = QStringLiteral("2");
    core::ActualizaBarraEstado(corta, QStringLiteral("x"));
    EXPECT_EQ(corta.Text(QStringLiteral("CAJA")), QStringLiteral("2 CAJA 2"));
    EXPECT_EQ(Caja(QStringLiteral("2")), QStringLiteral("CAJA 2"));
}

TEST_F(VentanaTest, ACashBoxHoldingAQuoteIsAddedAsWritten) {
    core::gCaja = QStringLiteral("O'1");
    core::ActualizaBarraEstado(barra, QString());
    EXPECT_EQ(Caja(QStringLiteral("O'1")), QStringLiteral("CAJA O'1"));
    EXPECT_EQ(barra.Text(QStringLiteral("CAJA")), QStringLiteral("O'1 CAJA O'1"));
}

TEST_F(VentanaTest, ConectaBaseRemotaOpensAfreshOnTheHostPart) {
    ASSERT_TRUE(core::ConectaBaseRemota(QStringLiteral("  ") + carpeta.path() + QStringLiteral(" "),
                                        QStringLiteral(" korvane_interfases "), QStringLiteral(" u "), QStringLiteral(" p ")));
    data::DB_Dll& remota = data::gDBRemota();
    EXPECT_TRUE(remota.gOpenFlag);
    EXPECT_EQ(remota.gServidor, carpeta.path());
    EXPECT_EQ(remota.gDBName, QStringLiteral("korvane_interfases"));
    EXPECT_EQ(remota.gUsuario, QStringLiteral("u"));
    EXPECT_EQ(remota.gUserPassWord, QStringLiteral("p"));
    EXPECT_EQ(remota.gProveedor, QStringLiteral("SQLOLEDB"));
    const ado::ConnectionPtr primera = remota.gCnn();

    // A second call closes and opens again with the new texts.
    ASSERT_TRUE(core::ConectaBaseRemota(carpeta.path(), QStringLiteral("VOLMA"), QString(), QString()));
    EXPECT_EQ(remota.gDBName, QStringLiteral("VOLMA"));
    EXPECT_EQ(remota.gCnn()->State(), ado::adStateOpen);
    EXPECT_TRUE(registro->ejecutadas.isEmpty());   // no terminal code: nothing written
}

// A failed open is one box: the program's line, then what was opened and why it failed.
TEST_F(VentanaTest, ConectaBaseRemotaReportsAFailedOpenOnce) {
    const QString danada = carpeta.file(QStringLiteral("DANADA.sqlite"));
    QFile f(danada);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("ARTI;DESCRI;PVENTA\n").repeated(300));
    f.close();
    const QString cabecera = QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA\r");
    const QString sinInterfaz = carpeta.file(QStringLiteral("sin_interfaz"));   // a folder without the interface file
    QDir().mkpath(sinInterfaz);
    const struct {
        QString servidor, base, segundaLinea;
    } casos[] = {
        {carpeta.path(), QStringLiteral("NO_EXISTE"),
         QStringLiteral("Cannot open database \"NO_EXISTE\" requested by the login. The file %1 does not exist.")
             .arg(carpeta.file(QStringLiteral("NO_EXISTE.sqlite")))},
        {carpeta.path(), QStringLiteral("DANADA"),
         QStringLiteral("Cannot open database \"DANADA\" requested by the login. The file %1 cannot be read: file is not a "
                        "database.")
             .arg(danada)},
        // The window's "KORVANE_INTERFASES" names the file as it is on disk.
        {sinInterfaz, QStringLiteral("KORVANE_INTERFASES"),
         QStringLiteral("Cannot open database \"korvane_interfases\" requested by the login. The file %1 does not exist.")
             .arg(sinInterfaz + QStringLiteral("/korvane_interfases.sqlite"))},
        {carpeta.file(QStringLiteral("no_hay")), QStringLiteral("korvane_interfases"),
         QStringLiteral("The database folder \"%1\" does not exist.").arg(carpeta.file(QStringLiteral("no_hay")))},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.base.toStdString());
        ui::ScriptedPrompter prompter;
        prompter.answer(1, cabecera);
        EXPECT_FALSE(core::ConectaBaseRemota(c.servidor, c.base, QString(), QString()));
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown().at(0).prompt, cabecera + c.segundaLinea);
        EXPECT_EQ(prompter.shown().at(0).buttons, ui::vbOKOnly);
    }
    EXPECT_TRUE(registro->ejecutadas.isEmpty());
}

TEST_F(VentanaTest, ConectaBaseRemotaKeepsTheTerminalTableUpToDate) {
    coretest::Ejecuta(carpeta.path(), {QStringLiteral("INSERT INTO V_TA_TPV (CODIGO, CONECTADO) VALUES ('T1', 0)")});
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9)); });
    ASSERT_TRUE(core::ConectaBaseRemota(carpeta.path(), QStringLiteral("korvane_interfases"), QString(), QString(),
                                        QStringLiteral("T1")));
    EXPECT_EQ(data::gDBPrincipal().DatosTabla(QStringLiteral("V_TA_TPV"), vb::Variant(QStringLiteral("T1")),
                                              QStringLiteral("CONECTADO"), QStringLiteral("CODIGO"), 8)
                  .value()
                  .toBool(),
              true);
    ui::ScriptedPrompter prompter;
    prompter.answer(1, QStringLiteral("NO SE PUDO ABRIR"));
    EXPECT_FALSE(core::ConectaBaseRemota(carpeta.path(), QStringLiteral("NO_EXISTE"), QString(), QString(), QStringLiteral("T1")));
    EXPECT_EQ(data::gDBPrincipal().DatosTabla(QStringLiteral("V_TA_TPV"), vb::Variant(QStringLiteral("T1")),
                                              QStringLiteral("CONECTADO"), QStringLiteral("CODIGO"), 8)
                  .value()
                  .toBool(),
              false);
    EXPECT_TRUE(registro->ejecutadas.contains(QStringLiteral(
        "UPDATE V_TA_TPV SET CONECTADO = 0, ULTIMA_DETECCION = '05/03/2008 14:07:09' WHERE CODIGO = 'T1  '")))
        << registro->ejecutadas.join(u'\n').toStdString();

    // At midnight the server's date-time is written as a date alone.
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 6), QTime(0, 0)); });
    prompter.answer(1, QStringLiteral("NO SE PUDO ABRIR"));
    EXPECT_FALSE(core::ConectaBaseRemota(carpeta.path(), QStringLiteral("NO_EXISTE"), QString(), QString(), QStringLiteral("T1")));
    EXPECT_TRUE(registro->ejecutadas.contains(QStringLiteral(
        "UPDATE V_TA_TPV SET CONECTADO = 0, ULTIMA_DETECCION = '06/03/2008' WHERE CODIGO = 'T1  '")))
        << registro->ejecutadas.join(u'\n').toStdString();
}

// A form of the MDI frame's class: it gets only the icon.
class FrmMDI : public QWidget {
    Q_OBJECT
};

TEST(ConfiguraFormulario, ToolbarsGetTheStationStyle) {
    core::gFlatToolbars = 1;
    QWidget form;
    auto* barra = new QToolBar(&form);
    barra->setObjectName(QStringLiteral("TBarRep1"));
    core::ConfiguraFormulario(&form);
    EXPECT_EQ(barra->property("StyleBar").toDouble(), 1.0);
    core::gFlatToolbars = 0;

    QWidget sinBarras;   // no toolbars: no error; the workstation gives it the program's title
    core::ConfiguraFormulario(&sinBarras);
    EXPECT_EQ(sinBarras.windowTitle(), vb::App().title);

    FrmMDI mdi;
    auto* otra = new QToolBar(&mdi);
    otra->setObjectName(QStringLiteral("UtilZel1"));
    core::ConfiguraFormulario(&mdi);
    EXPECT_FALSE(otra->property("StyleBar").isValid());
    EXPECT_TRUE(mdi.windowTitle().isEmpty());
}

}  // namespace

#include "ventana_test.moc"
