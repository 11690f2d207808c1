// Servers nobody answers on: start-up on a dead head-office server ends the program after the
// operator's No, and a send whose interface server is dead says so once and changes nothing.
// SQLOLEDB is mapped to the SQL Server ODBC driver (FreeTDS) in this executable's own
// odbcinst.ini, as an administrator maps it; the demo databases stay embedded.
#include "main_window/frm_korvane01.h"
#include "main_window_fixture.h"
#include "platform/vb/on_error.h"

#include <QApplication>
#include "support/odbc_drivers.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

using testsupport::DeadPort;
using testsupport::RegisterSqlServerDriver;
using testsupport::TdsDriverPath;

QString ExtendidoServidorCaido() { return QStringLiteral("Port=%1;Connect Timeout=2;").arg(DeadPort()); }

bool AlgunaVentanaVisible() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) return true;
    }
    return false;
}

class ServidorCaidoTest : public mainwindowtest::MainWindowFixture {
protected:
    void SetUp() override {
        if (TdsDriverPath().isEmpty()) GTEST_SKIP() << "the SQL Server ODBC driver is not installed";
        RegisterSqlServerDriver();
        MainWindowFixture::SetUp();
        main_window::FrmKorvane01::SetFinPrograma([this] { ++fines_; });
    }
    void TearDown() override {
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        MainWindowFixture::TearDown();
    }
    long Marcados() {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE ESTADO LIKE '1-%'"));
    }
    long Transmisiones() { return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS")); }

    int fines_ = 0;
};

TEST_F(ServidorCaidoTest, StartUpOnADeadHeadOfficeServerEndsTheProgramAfterNo) {
    core::SetLineaComando(QStringLiteral("@Server=127.0.0.1;@DbName=ERP;@Usuario=sa;@Password=x;"));
    Principal().gExtended = ExtendidoServidorCaido();
    ui::ScriptedPrompter guion;
    guion.answer(vb::kNo, QStringLiteral(" Estado de Sql: 08"));
    main_window::FrmKorvane01 ventana;
    EXPECT_FALSE(ventana.Form_Load());
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 1u);
    EXPECT_EQ(guion.shown()[0].title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_TRUE(guion.shown()[0].prompt.contains(QLatin1String("Unable to connect"))) << guion.shown()[0].prompt.toStdString();
    EXPECT_TRUE(core::gFinDelPrograma);
    EXPECT_FALSE(Principal().gOpenFlag);
    EXPECT_EQ(Principal().gCnn()->State(), ado::adStateClosed);
    EXPECT_FALSE(AlgunaVentanaVisible());
}

TEST_F(ServidorCaidoTest, ASendToADeadInterfaceServerSaysSoOnceAndChangesNothing) {
    main_window::FrmKorvane01 ventana;
    ASSERT_TRUE(ventana.Form_Load());
    const long marcados = Marcados();
    const long transmisiones = Transmisiones();
    ventana.TxtServer->setText(QStringLiteral("127.0.0.1"));
    Remota().gExtended = ExtendidoServidorCaido();
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA"));
    ventana.CmdEnviar_Click();
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(guion.shown().size(), 1u);   // no question, no package, no second box
    EXPECT_FALSE(Remota().gOpenFlag);
    EXPECT_EQ(Marcados(), marcados);
    EXPECT_EQ(Transmisiones(), transmisiones);
    EXPECT_TRUE(Principal().gOpenFlag);   // the head office stays open
    EXPECT_EQ(fines_, 0);
}

// The interface connection on its own: false, one box, the head office left as it was.
TEST_F(ServidorCaidoTest, TheInterfaceConnectionToADeadServerFailsWithOneBox) {
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(false, QString(), conexion, 3));
    Remota().gExtended = ExtendidoServidorCaido();
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA"));
    EXPECT_FALSE(core::ConectaBaseRemota(QStringLiteral("127.0.0.1"), QStringLiteral("KORVANE_INTERFASES"),
                                         QStringLiteral("sa"), QStringLiteral("x")));
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(guion.shown().size(), 1u);
    EXPECT_FALSE(Remota().gOpenFlag);
    EXPECT_TRUE(Principal().gOpenFlag);
}

}  // namespace
