// A server that cannot be reached: the open fails within the login timeout, with the driver's
// SQL state and native error in Errors. Through the SQL Server ODBC driver (FreeTDS) named by its
// library, so that this executable's SQLOLEDB mapping stays the one of the other tests.
#include "ado_fixture.h"
#include "platform/ado/ado.h"
#include "support/odbc_drivers.h"

#include <QElapsedTimer>
#include <QFile>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using testsupport::TdsDriverPath;

// A socket bound to a free port of the loopback; listening when asked (a server that takes the
// connection and never answers), otherwise closed at once (a port nobody listens on).
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            ADD_FAILURE() << "no loopback port";
        }
        port_ = ntohs(a.sin_port);
        if (listening) {
            if (listen(fd_, 8) != 0) ADD_FAILURE() << "cannot listen";
        } else {
            close(fd_);
            fd_ = -1;
        }
    }
    ~LoopbackPort() {
        if (fd_ >= 0) close(fd_);
    }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

class DeadServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (TdsDriverPath().isEmpty()) GTEST_SKIP() << "the SQL Server ODBC driver is not installed";
        // The driver manager reads odbcinst.ini at its first use in the process: it must be the
        // executable's own one, whichever test comes first.
        adotest::RegisterOdbcDrivers();
    }
    QString text(int port, const QString& extra) const {
        return QStringLiteral("PROVIDER=%1;Server=127.0.0.1;Port=%2;Database =TIENDA;UId=sa;Pwd=x;%3")
            .arg(TdsDriverPath())
            .arg(port)
            .arg(extra);
    }
    // Opens and returns the error raised; fails the test when the open succeeds.
    vb::Error openFails(const QString& connectionText, qint64* elapsedMs) {
        QElapsedTimer clock;
        clock.start();
        try {
            cn->Open(connectionText);
        } catch (const vb::Error& e) {
            *elapsedMs = clock.elapsed();
            return e;
        }
        ADD_FAILURE() << "the open succeeded";
        return vb::Error(0, QString());
    }
    ado::ConnectionPtr cn = ado::Connection::Create();
};

TEST_F(DeadServerTest, NobodyListeningFailsAtOnceWithTheDriversStateAndNativeError) {
    const LoopbackPort dead(false);
    qint64 ms = 0;
    const vb::Error e = openFails(text(dead.port(), QStringLiteral("Connect Timeout=2;")), &ms);
    EXPECT_LT(ms, 10000);
    EXPECT_NE(e.number(), 0);
    EXPECT_TRUE(e.description().contains(QLatin1String("Unable to connect"))) << e.description().toStdString();
    EXPECT_EQ(cn->State(), ado::adStateClosed);
    ASSERT_GT(cn->errors().Count(), 0);
    const ado::ErrorItem& first = cn->errors().Item(0);
    EXPECT_TRUE(first.SQLState.startsWith(QLatin1String("08"))) << first.SQLState.toStdString();
    EXPECT_NE(first.NativeError, 0);
    EXPECT_EQ(first.Description, e.description());
}

// A server that takes the connection and never answers the login: the open gives up after the
// connection text's Connect Timeout. (The driver keeps it only on a fixed protocol version: its
// automatic choice falls back to an older protocol that waits without limit.)
TEST_F(DeadServerTest, ASilentServerFailsAfterTheLoginTimeout) {
    const LoopbackPort silent(true);
    qint64 ms = 0;
    const vb::Error e = openFails(text(silent.port(), QStringLiteral("TDS_Version=7.4;Connect Timeout=1;")), &ms);
    EXPECT_GE(ms, 500);
    EXPECT_LT(ms, 10000);
    EXPECT_EQ(cn->State(), ado::adStateClosed);
    ASSERT_GT(cn->errors().Count(), 0);
    const ado::ErrorItem& first = cn->errors().Item(0);
    EXPECT_EQ(first.SQLState, QStringLiteral("HYT00")) << first.Description.toStdString();
    EXPECT_TRUE(first.Description.contains(QLatin1String("Timeout"), Qt::CaseInsensitive)) << first.Description.toStdString();
}

// The failed open leaves the connection usable: a second open fails the same way, not with
// "already open".
TEST_F(DeadServerTest, AFailedOpenCanBeTriedAgain) {
    const LoopbackPort dead(false);
    qint64 ms = 0;
    openFails(text(dead.port(), QStringLiteral("Connect Timeout=1;")), &ms);
    const vb::Error again = openFails(text(dead.port(), QStringLiteral("Connect Timeout=1;")), &ms);
    EXPECT_TRUE(again.description().contains(QLatin1String("Unable to connect"))) << again.description().toStdString();
}

}  // namespace
