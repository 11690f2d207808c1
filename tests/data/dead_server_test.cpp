// A head-office server nobody answers on: the open asks whether to try again with the driver's own
// SQL state and message, and No leaves the connection closed. SQLOLEDB is mapped to the SQL Server
// ODBC driver (FreeTDS) in this executable's own odbcinst.ini, as an administrator maps it.
#include "data/db_dll.h"

#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <memory>

namespace {

QString TdsDriverPath() {
    for (const char* p : {"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so",
                          "/usr/lib/odbc/libtdsodbc.so", "/usr/local/lib/libtdsodbc.so"}) {
        if (QFile::exists(QString::fromLatin1(p))) return QString::fromLatin1(p);
    }
    return QString();
}

// The driver manager reads odbcinst.ini once per process: one registration for the whole run.
void RegisterSqlServerDriver() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder) return;
    folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder->isValid());
    QFile ini(folder->filePath(QStringLiteral("odbcinst.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[SQLOLEDB]\nDescription=SQL Server for the tests\nDriver=%1\n\n").arg(TdsDriverPath()).toUtf8());
    ini.close();
    qputenv("ODBCSYSINI", QFile::encodeName(folder->path()));
    qputenv("ODBCINSTINI", "odbcinst.ini");
}

// A free port of the loopback that nothing listens on.
int DeadPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ADD_FAILURE() << "no loopback port";
    }
    if (fd >= 0) close(fd);
    return ntohs(a.sin_port);
}

class ServidorCaidoTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (TdsDriverPath().isEmpty()) GTEST_SKIP() << "the SQL Server ODBC driver is not installed";
        RegisterSqlServerDriver();
        data::ResetGlobalInstances();
    }
    void TearDown() override { data::ResetGlobalInstances(); }

    // Points `db` at the dead server by its connection data, the port in the extended text.
    void ApuntaServidorCaido(data::DB_Dll& db) {
        db.gServidor = QStringLiteral("127.0.0.1");
        db.gDBName = QStringLiteral("ERP");
        db.gUsuario = QStringLiteral("sa");
        db.gUserPassWord = QStringLiteral("x");
        db.gExtended = QStringLiteral("Port=%1;Connect Timeout=2;").arg(DeadPort());
    }

    ui::ScriptedPrompter prompter_;
};

TEST_F(ServidorCaidoTest, TheBoxShowsTheDriversStateAndNoLeavesTheConnectionClosed) {
    prompter_.answer(vb::kNo, QStringLiteral(" Estado de Sql: 08"));
    data::DB_Dll& db = data::gDBPrincipal();
    ApuntaServidorCaido(db);
    QElapsedTimer clock;
    clock.start();
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn()->State(), ado::adStateClosed);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    const ui::ScriptedPrompter::Shown& box = prompter_.shown()[0];
    EXPECT_EQ(box.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(box.buttons, ui::vbYesNo + ui::vbCritical);
    EXPECT_TRUE(box.prompt.contains(QLatin1String("Unable to connect"))) << box.prompt.toStdString();
    EXPECT_TRUE(box.prompt.contains(QLatin1String("Codigo Nativo: 20009"))) << box.prompt.toStdString();
    EXPECT_TRUE(box.prompt.endsWith(QLatin1String(" - Desea Intentarlo Nuevamente??? ")));
}

// Without the box (the interface connection's way) the failure is silent and the flag tells it.
TEST_F(ServidorCaidoTest, WithoutTheBoxTheFlagTellsTheFailure) {
    data::DB_Dll& db = data::gDBRemota();
    ApuntaServidorCaido(db);
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn()->State(), ado::adStateClosed);
    EXPECT_TRUE(prompter_.shown().empty());
}

}  // namespace
