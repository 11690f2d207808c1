#pragma once
// Connections for the ado tests: the embedded provider on a database of a temporary folder, and
// the ODBC provider on the same kind of file through the SQLite ODBC driver, registered in an
// odbcinst.ini of the test's own.
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "support/odbc_drivers.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <gtest/gtest.h>

namespace adotest {

enum class Provider { Embedded, Odbc };

inline const char* kOdbcDriverName = "KorvTestSQLite3";

inline QString OdbcDriverPath() { return testsupport::OdbcLibraryPath("libsqlite3odbc.so"); }

// Registers the SQLite ODBC driver as the tests' own driver name, and as SQLOLEDB and the Oracle
// provider, the way an administrator maps them. Once per process (see RegisterOdbcDriversOnce).
inline void RegisterOdbcDrivers() {
    std::vector<testsupport::OdbcDriver> drivers;
    for (const char* name : {kOdbcDriverName, "SQLOLEDB", "OraOLEDB.Oracle.1"})
        drivers.push_back({QString::fromLatin1(name), OdbcDriverPath()});
    testsupport::RegisterOdbcDriversOnce(drivers);
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

// A test on the demo databases through the embedded provider, connected to VOLMA.
class DemoFixture : public testing::Test {
protected:
    void SetUp() override {
        db::CreateDemo(tmp.path());
        cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(tmp.path(), "VOLMA"));
    }
    // The first column of the first row, opened as a recordset.
    vb::Variant scalar(const QString& sql) {
        auto rs = ado::Recordset::Create();
        rs->Open(sql, cn);
        if (rs->Eof()) return vb::Variant();
        return rs->Fields(0).Value();
    }
    // The first value of the last result of a statement or batch, as text ("" when it gives none).
    QString answer(const QString& sql) {
        auto rs = cn->Execute(sql);
        if (rs->State() != ado::adStateOpen || rs->Eof()) return QString();
        return rs->Fields(0).Value().text();
    }
    std::vector<QString> column(const QString& sql) {
        std::vector<QString> out;
        auto rs = ado::Recordset::Create();
        rs->Open(sql, cn);
        for (; !rs->Eof(); rs->MoveNext()) out.push_back(rs->Fields(0).Value().text());
        return out;
    }

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
