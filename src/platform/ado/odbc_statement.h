#pragma once
// The driver manager's handles and statements beneath the ODBC session (odbc_session.cpp):
//  - odbc_statement.cpp  diagnostics as provider errors, the handles, prepared commands and the
//                        reader's cursor;
//  - odbc_values.cpp     values read from a result by their field's type, rows, and parameters.
// Internal to the ado layer.
#include "platform/ado/provider.h"

#include <QString>
#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>
#include <vector>

namespace ado::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use two-byte characters");

inline const SQLWCHAR* W(const QString& s) { return reinterpret_cast<const SQLWCHAR*>(s.utf16()); }
inline QString FromW(const SQLWCHAR* p, qsizetype n) { return QString::fromUtf16(reinterpret_cast<const char16_t*>(p), n); }

// ADO's "the connection cannot be used": raised for a statement whose server has gone, so that
// it is never taken for an ordinary statement error.
constexpr long kErrLinkLost = 3709;

// The diagnostic records of a handle as provider errors, in order (one for `what` when it has
// none). With the connection given, a failure on a lost connection is reported as such.
std::vector<ProviderError> Diagnostics(SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc);
// Raises the handle's diagnostic records as one provider error: the first, the others following.
[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc = SQL_NULL_HDBC);
// Raises as Fail when rc is neither a success nor SQL_NO_DATA.
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc = SQL_NULL_HDBC);

// The ADO type of a column the driver describes.
int AdoType(SQLSMALLINT sqlType, SQLULEN size, SQLSMALLINT scale);
bool IsText(int adoType);

// Owners of the driver manager's handles, freed in the order they were taken (statements, then
// the connection, then the environment).
struct FreeEnvironment {
    void operator()(SQLHENV h) const { SQLFreeHandle(SQL_HANDLE_ENV, h); }
};
// A connection is left before it is freed; one that never connected ignores the disconnect.
struct FreeConnection {
    void operator()(SQLHDBC h) const {
        SQLDisconnect(h);
        SQLFreeHandle(SQL_HANDLE_DBC, h);
    }
};
// Leaving a connection frees its statements with it: a statement that outlives its session (a
// reader's cursor, a prepared command) is not freed again.
struct FreeStatement {
    std::weak_ptr<const bool> session;
    void operator()(SQLHSTMT h) const {
        if (!session.expired()) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};
using EnvironmentHandle = std::unique_ptr<void, FreeEnvironment>;
using ConnectionHandle = std::unique_ptr<void, FreeConnection>;
using StatementHandle = std::unique_ptr<void, FreeStatement>;

class Stmt {
public:
    // queryTimeout: seconds a statement may run before the driver cancels it (0: no limit), the
    // connection's CommandTimeout. Drivers that do not support it ignore it. session: the
    // lifetime of the session that owns dbc.
    Stmt(SQLHDBC dbc, long queryTimeout, std::weak_ptr<const bool> session);
    SQLHSTMT h() const { return handle_.get(); }
    void check(SQLRETURN rc, const char* what) { Check(rc, SQL_HANDLE_STMT, h(), what, dbc_); }

private:
    StatementHandle handle_;
    SQLHDBC dbc_;
};

// The value of column `col` (1 on) of the current row, read as its ADO type gives it.
vb::Variant ReadValue(SQLHSTMT h, SQLUSMALLINT col, int type);

// The rows of a statement's current result, fetched one at a time: the fields described by the
// driver, each row read whole in column order (as drivers require of SQLGetData). Both the
// Recordset's rows and the reader's are read through it.
class ResultRows {
public:
    ResultRows(SQLHSTMT h, SQLSMALLINT columns);

    // The next row into *row; false at the end.
    bool fetch(Row* row);

    std::vector<FieldInfo> fields;

private:
    SQLHSTMT h_;
    std::vector<int> types_;
};

struct Param {
    SQLSMALLINT cType = SQL_C_DEFAULT;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLBIGINT i = 0;
    double d = 0;
    SQL_TIMESTAMP_STRUCT ts{};
    std::u16string text;
    SQLLEN ind = 0;
    SQLULEN size = 0;


    // Takes the value into the buffers; bind hands them to the statement as parameter `index`
    // (1 on), to be read when it runs.
    void set(const vb::Variant& v);
    void bind(SQLHSTMT h, SQLUSMALLINT index);
};

// The reader's cursor on the first result of a statement run (columns > 0).
std::unique_ptr<RowCursor> OpenCursor(std::unique_ptr<Stmt> st, SQLSMALLINT columns);

// A statement prepared on the connection, run through its session's gate.
std::unique_ptr<Command> PrepareCommand(SQLHDBC dbc, const QString& sql, long queryTimeout, std::weak_ptr<const bool> session,
                                        TransactionGate* gate);

}  // namespace ado::odbc
