// A head-office server nobody answers on: the open asks whether to try again with the driver's own
// SQL state and message, and No leaves the connection closed. SQLOLEDB is mapped to the SQL Server
// ODBC driver (FreeTDS) in this executable's own odbcinst.ini, as an administrator maps it.
#include "data/db_dll.h"

#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "support/odbc_drivers.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cstdint>
#include <memory>
#include <atomic>
#include <poll.h>
#include <thread>
#include <vector>

namespace {

using testsupport::DeadPort;
using testsupport::RegisterSqlServerDriver;
using testsupport::TdsDriverPath;

// A server on the loopback that lets one client log in (TDS 7.4, the least a login needs) and
// then drops the connection at the first statement: a server that dies while the program works.
class ServidorQueMuere {
public:
    // enmudece: instead of dropping the connection at the first statement, it keeps it open and
    // never answers (a server that hangs), until the test ends.
    explicit ServidorQueMuere(bool enmudece = false) : enmudece_(enmudece) {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (listen_ < 0 || bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0 || listen(listen_, 1) != 0) {
            ADD_FAILURE() << "no loopback server";
        }
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { atiende(); });
    }
    ~ServidorQueMuere() {
        fin_ = true;
        shutdown(listen_, SHUT_RDWR);   // ends a wait for a client that never came
        thread_.join();
        close(listen_);
    }
    ServidorQueMuere(const ServidorQueMuere&) = delete;
    ServidorQueMuere& operator=(const ServidorQueMuere&) = delete;
    int port() const { return port_; }

private:
    static bool Lee(int fd, std::vector<uint8_t>* paquete) {
        uint8_t cabecera[8];
        if (recv(fd, cabecera, 8, MSG_WAITALL) != 8) return false;
        const size_t largo = (static_cast<size_t>(cabecera[2]) << 8) | cabecera[3];
        if (largo < 8) return false;
        paquete->resize(largo - 8);
        return paquete->empty() || recv(fd, paquete->data(), paquete->size(), MSG_WAITALL) == static_cast<ssize_t>(paquete->size());
    }
    static void Responde(int fd, const std::vector<uint8_t>& datos) {
        const size_t largo = datos.size() + 8;
        std::vector<uint8_t> p = {4, 1, static_cast<uint8_t>(largo >> 8), static_cast<uint8_t>(largo & 0xFF), 0, 0, 1, 0};
        p.insert(p.end(), datos.begin(), datos.end());
        (void)send(fd, p.data(), p.size(), MSG_NOSIGNAL);
    }
    void atiende() {
        const int fd = accept(listen_, nullptr, nullptr);
        if (fd < 0) return;
        std::vector<uint8_t> paquete;
        if (Lee(fd, &paquete)) {
            // Pre-login: version and "encryption not supported".
            Responde(fd, {0, 0, 11, 0, 6, 1, 0, 17, 0, 1, 0xFF, 15, 0, 0x07, 0xD0, 0, 0, 2});
            if (Lee(fd, &paquete)) {
                // LOGINACK (interface 1, TDS 7.4, "SQL", version) and DONE.
                const std::vector<uint8_t> ack = {1, 0x74, 0, 0, 4, 3, 'S', 0, 'Q', 0, 'L', 0, 15, 0, 0x07, 0xD0};
                std::vector<uint8_t> fichas = {0xAD, static_cast<uint8_t>(ack.size()), 0};
                fichas.insert(fichas.end(), ack.begin(), ack.end());
                fichas.insert(fichas.end(), {0xFD, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
                Responde(fd, fichas);
                Lee(fd, &paquete);   // the first statement: dies (or hangs) instead of answering
                while (enmudece_ && !fin_) {
                    pollfd p{fd, POLLIN, 0};
                    if (poll(&p, 1, 50) > 0 && recv(fd, paquete.data(), 1, MSG_DONTWAIT) == 0) break;
                }
            }
        }
        close(fd);
    }

    int listen_ = -1;
    int port_ = 0;
    bool enmudece_ = false;
    std::atomic<bool> fin_{false};
    std::thread thread_;
};

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

// The server dies after the open: the statement fails with the driver's message in the
// statement's own box; the next one too; nothing crashes and the connection closes.
TEST_F(ServidorCaidoTest, AServerThatDiesAfterTheOpenFailsTheStatementWithItsMessage) {
    ServidorQueMuere servidor;
    data::DB_Dll& db = data::gDBPrincipal();
    ApuntaServidorCaido(db);
    db.gExtended = QStringLiteral("Port=%1;Connect Timeout=5;").arg(servidor.port());
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    ASSERT_TRUE(db.gOpenFlag);
    ASSERT_EQ(db.gCnn()->State(), ado::adStateOpen);
    prompter_.answer(1).answer(1);
    db.EjecutaConsultaSQL(QStringLiteral("UPDATE MA_ARTICULOS SET PRECIO = 1"));
    db.EjecutaConsultaSQL(QStringLiteral("UPDATE MA_ARTICULOS SET PRECIO = 2"));
    ASSERT_EQ(prompter_.shown().size(), 2u);
    for (const ui::ScriptedPrompter::Shown& box : prompter_.shown()) {
        EXPECT_EQ(box.title, QStringLiteral("Aviso al operador!!!"));
        EXPECT_TRUE(box.prompt.contains(QLatin1String("EOF")) || box.prompt.contains(QLatin1String("Communication link")))
            << box.prompt.toStdString();
    }
    ASSERT_GT(db.gCnn()->errors().Count(), 0);
    EXPECT_TRUE(db.gCnn()->errors().Item(0).SQLState.startsWith(QLatin1String("08")))
        << db.gCnn()->errors().Item(0).SQLState.toStdString();
    db.gCnn()->Close();
    EXPECT_EQ(db.gCnn()->State(), ado::adStateClosed);
}

// A statement the server never answers is cancelled after the connection's CommandTimeout,
// and the operator is told, instead of the program waiting for ever.
TEST_F(ServidorCaidoTest, AStatementTheServerNeverAnswersEndsAfterTheCommandTimeout) {
    ServidorQueMuere servidor(true);
    data::DB_Dll& db = data::gDBPrincipal();
    ApuntaServidorCaido(db);
    db.gExtended = QStringLiteral("Port=%1;Connect Timeout=5;").arg(servidor.port());
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    ASSERT_TRUE(db.gOpenFlag);
    db.gCnn()->setCommandTimeout(1);
    prompter_.answer(1);
    db.EjecutaConsultaSQL(QStringLiteral("UPDATE MA_ARTICULOS SET PRECIO = 1"));
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].title, QStringLiteral("Aviso al operador!!!"));
    ASSERT_GT(db.gCnn()->errors().Count(), 0);
    // The driver gives up on the silent server once the cancel is not answered either.
    EXPECT_TRUE(db.gCnn()->errors().Item(0).Description.contains(QLatin1String("Timeout expired")))
        << db.gCnn()->errors().Item(0).Description.toStdString();
    EXPECT_TRUE(prompter_.shown()[0].prompt.contains(QLatin1String("Timeout expired")));
    db.gCnn()->Close();
}

}  // namespace
