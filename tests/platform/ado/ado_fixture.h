#pragma once
// Connections for the ado tests: the embedded provider on a database of a temporary folder, and
// the ODBC provider on the same kind of file through the SQLite ODBC driver, registered in an
// odbcinst.ini of the test's own.
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <gtest/gtest.h>

namespace adotest {

enum class Provider { Embedded, Odbc };

inline const char* kOdbcDriverName = "KorvTestSQLite3";

inline QString OdbcDriverPath() {
    for (const char* p : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
                          "/usr/lib/odbc/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so"}) {
        if (QFile::exists(QString::fromLatin1(p))) return QString::fromLatin1(p);
    }
    return QString();
}

// Registers the SQLite ODBC driver in an odbcinst.ini of the test process and points the driver
// manager at it: as the tests' own driver name, and as SQLOLEDB and the Oracle provider, the way
// an administrator maps them. The driver manager reads that file once per process, so there is
// one for the whole run.
inline void RegisterOdbcDrivers() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder) return;
    folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder->isValid());
    QFile ini(folder->filePath(QStringLiteral("odbcinst.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    for (const char* name : {kOdbcDriverName, "SQLOLEDB", "OraOLEDB.Oracle.1"}) {
        ini.write(QStringLiteral("[%1]\nDescription=SQLite3 for the tests\nDriver=%2\n\n")
                      .arg(QString::fromLatin1(name), OdbcDriverPath())
                      .toUtf8());
    }
    ini.close();
    qputenv("ODBCSYSINI", QFile::encodeName(folder->path()));
    qputenv("ODBCINSTINI", "odbcinst.ini");
}

// The connection text that opens database <name> of the folder through the provider.
inline QString ConnectionTextFor(Provider p, const QString& folder, const QString& name) {
    if (p == Provider::Embedded) return db::ConnectionText(folder, name);
    return QStringLiteral("PROVIDER=%1;Server=localhost;Database =%2;UId=sa;Pwd=;")
        .arg(QString::fromLatin1(kOdbcDriverName), QDir(folder).filePath(name + QStringLiteral(".sqlite")));
}

inline std::string ProviderName(const testing::TestParamInfo<Provider>& info) {
    return info.param == Provider::Embedded ? "Embedded" : "Odbc";
}

// A test run with each provider on database TIENDA of its own folder (skipped through ODBC when
// the driver is missing). A derived SetUp calls this one first and returns when IsSkipped().
class ProviderFixture : public testing::TestWithParam<Provider> {
protected:
    void SetUp() override {
        if (GetParam() == Provider::Odbc) {
            if (OdbcDriverPath().isEmpty()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
            RegisterOdbcDrivers();
        }
        db::CreateEmpty(tmp.path(), "TIENDA");
        cn = ado::Connection::Create();
        cn->Open(text());
    }
    QString text() const { return ConnectionTextFor(GetParam(), tmp.path(), "TIENDA"); }

    testsupport::TempFolder tmp;
    ado::ConnectionPtr cn;
};

// Expects the statement to raise vb::Error with that number.
#define EXPECT_VB_ERROR(statement, expected)                                                         \
    do {                                                                                             \
        try {                                                                                        \
            statement;                                                                               \
            ADD_FAILURE() << "no error raised, expected " << (expected);                             \
        } catch (const vb::Error& e_) {                                                              \
            EXPECT_EQ(e_.number(), static_cast<long>(expected)) << e_.description().toStdString();   \
        }                                                                                            \
    } while (0)

}  // namespace adotest
