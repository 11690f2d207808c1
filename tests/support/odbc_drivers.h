#pragma once
// ODBC drivers for the tests: where a driver's library lies, its registration in an odbcinst.ini
// of the test's own, and a loopback port nobody listens on.
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// An ODBC driver's library among the usual folders, "" when it is not installed.
inline QString OdbcLibraryPath(const char* library) {
    for (const char* folder : {"/usr/lib/x86_64-linux-gnu/odbc/", "/usr/lib/aarch64-linux-gnu/odbc/", "/usr/lib/odbc/",
                               "/usr/local/lib/"}) {
        const QString path = QString::fromLatin1(folder) + QString::fromLatin1(library);
        if (QFile::exists(path)) return path;
    }
    return QString();
}

struct OdbcDriver {
    QString name;      // as a connection text's PROVIDER names it
    QString library;
};

// Registers the drivers in an odbcinst.ini of the test process and points the driver manager at
// it. The driver manager reads that file once per process, so the first registration of a run is
// the one that counts: later calls do nothing.
inline void RegisterOdbcDriversOnce(const std::vector<OdbcDriver>& drivers) {
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder) return;
    folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder->isValid());
    QFile ini(folder->filePath(QStringLiteral("odbcinst.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    for (const OdbcDriver& d : drivers)
        ini.write(QStringLiteral("[%1]\nDescription=%1 for the tests\nDriver=%2\n\n").arg(d.name, d.library).toUtf8());
    ini.close();
    qputenv("ODBCSYSINI", QFile::encodeName(folder->path()));
    qputenv("ODBCINSTINI", "odbcinst.ini");
}

// The SQL Server ODBC driver (FreeTDS), for the tests of unreachable servers.
inline QString TdsDriverPath() { return OdbcLibraryPath("libtdsodbc.so"); }
inline void RegisterSqlServerDriver() { RegisterOdbcDriversOnce({{QStringLiteral("SQLOLEDB"), TdsDriverPath()}}); }

// A free port of the loopback that nothing listens on.
inline int DeadPort() {
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

}  // namespace testsupport
