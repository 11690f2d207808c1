// The ODBC statements beneath the session: diagnostics as provider errors, the statement handle,
// prepared commands and the reader's cursor.
#include "platform/ado/odbc_statement.h"

#include <algorithm>
#include <cassert>

namespace ado::odbc {

namespace {

long NumberForState(const QString& state, const QString& message) {
    if (state == QLatin1String("42S02") || message.contains(QLatin1String("no such table"), Qt::CaseInsensitive)) {
        return vb::kHrNoSuchTable;
    }
    if (state.startsWith(QLatin1String("23")) || message.contains(QLatin1String("constraint failed"), Qt::CaseInsensitive)) {
        return vb::kHrIntegrityViolation;
    }
    if (state.startsWith(QLatin1String("42")) || state == QLatin1String("37000") ||
        message.contains(QLatin1String("syntax error"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("no such column"), Qt::CaseInsensitive)) {
        return vb::kHrErrorsInCommand;
    }
    return vb::kHrUnspecified;
}

// True when the driver says the connection to the server is lost.
bool LinkLost(SQLHDBC dbc) {
    SQLUINTEGER dead = SQL_CD_FALSE;
    return dbc != SQL_NULL_HDBC && SQL_SUCCEEDED(SQLGetConnectAttrW(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

// The reader's cursor: fetches from its own statement on the session's connection.
class OdbcCursor : public RowCursor {
public:
    OdbcCursor(std::unique_ptr<Stmt> st, SQLSMALLINT columns) : st_(std::move(st)), rows_(st_->h(), columns) {
        fields = rows_.fields;
    }

    bool next() override {
        if (done_) return false;
        if (rows_.fetch(&current_)) return true;
        done_ = true;
        SQLFreeStmt(st_->h(), SQL_CLOSE);
        return false;
    }
    vb::Variant value(int index) const override {
        assert(index >= 0 && static_cast<size_t>(index) < current_.size());   // the caller checks it
        return current_[static_cast<size_t>(index)];
    }

private:
    std::unique_ptr<Stmt> st_;
    ResultRows rows_;
    Row current_;
    bool done_ = false;
};

class OdbcCommand : public Command {
public:
    OdbcCommand(SQLHDBC dbc, const QString& sql, long queryTimeout, std::weak_ptr<const bool> session, TransactionGate* gate)
        : st_(dbc, queryTimeout, std::move(session)), gate_(gate) {
        st_.check(SQLPrepareW(st_.h(), const_cast<SQLWCHAR*>(W(sql)), SQL_NTS), "Cannot prepare the statement.");
        SQLSMALLINT n = 0;
        st_.check(SQLNumParams(st_.h(), &n), "Cannot count the parameters.");
        params_.resize(static_cast<size_t>(n));
    }
    int parameterCount() const override { return static_cast<int>(params_.size()); }
    void bind(int index, const vb::Variant& value) override {
        if (index < 1 || index > parameterCount()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Parameter %1 out of range.").arg(index), QStringLiteral("07009"), native::kNone);
        }
        params_[static_cast<size_t>(index - 1)].set(value);
    }
    // Runs only while its session lives (the connection's command checks it first).
    long execute() override {
        return Gated(*gate_, [&] {
            for (size_t i = 0; i < params_.size(); ++i) params_[i].bind(st_.h(), static_cast<SQLUSMALLINT>(i + 1));
            st_.check(SQLExecute(st_.h()), "Cannot run the statement.");
            SQLLEN rows = 0;
            SQLRowCount(st_.h(), &rows);
            SQLFreeStmt(st_.h(), SQL_CLOSE);
            return rows < 0 ? 0 : static_cast<long>(rows);
        });
    }

private:
    Stmt st_;
    std::vector<Param> params_;
    TransactionGate* gate_;   // its session's
};

}  // namespace

std::vector<ProviderError> Diagnostics(SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc) {
    std::vector<ProviderError> out;
    const bool lost = LinkLost(dbc);
    for (SQLSMALLINT record = 1; handle && record <= 64; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER serverNative = 0;
        SQLWCHAR text[2048] = {};
        SQLSMALLINT len = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, record, state, &serverNative, text, 2047, &len))) break;
        const QString st = FromW(state, 5);
        const QString msg = FromW(text, std::min<qsizetype>(len, 2047));
        long nativeError = serverNative;
        if (st == QLatin1String("22001") && nativeError == native::kNone) nativeError = native::kTruncation;
        if (lost && out.empty()) {
            out.push_back({kErrLinkLost, msg, st.startsWith(QLatin1String("08")) ? st : QStringLiteral("08S01"), nativeError, {}});
        } else {
            out.push_back({NumberForState(st, msg), msg, st, nativeError, {}});
        }
    }
    if (out.empty()) out.push_back({vb::kHrUnspecified, QString::fromLatin1(what), QStringLiteral("HY000"), native::kNone, {}});
    return out;
}

void Fail(SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc) {
    std::vector<ProviderError> records = Diagnostics(type, handle, what, dbc);
    ProviderError first = records.front();
    first.following.assign(records.begin() + 1, records.end());
    throw first;
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what, SQLHDBC dbc) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail(type, handle, what, dbc);
}

int AdoType(SQLSMALLINT sqlType, SQLULEN size, SQLSMALLINT scale) {
    switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_INTEGER: return adInteger;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_TINYINT: return adUnsignedTinyInt;
    case SQL_BIGINT: return adBigInt;
    case SQL_BIT: return adBoolean;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT: case SQL_DOUBLE: return adDouble;
    case SQL_DECIMAL: case SQL_NUMERIC: return (size == 19 || size == 10) && scale == 4 ? adCurrency : adNumeric;
    case SQL_TYPE_DATE: case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME: case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    default: return adVarWChar;
    }
}

bool IsText(int t) {
    return t == adChar || t == adVarChar || t == adLongVarChar || t == adWChar || t == adVarWChar || t == adLongVarWChar;
}

Stmt::Stmt(SQLHDBC dbc, long queryTimeout, std::weak_ptr<const bool> session) : dbc_(dbc) {
    SQLHSTMT st = SQL_NULL_HSTMT;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st), SQL_HANDLE_DBC, dbc, "Cannot allocate a statement.", dbc);
    handle_ = StatementHandle(st, FreeStatement{std::move(session)});
    if (queryTimeout > 0)
        SQLSetStmtAttrW(st, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(queryTimeout)), 0);
}

std::unique_ptr<RowCursor> OpenCursor(std::unique_ptr<Stmt> st, SQLSMALLINT columns) {
    assert(st && columns > 0);
    return std::make_unique<OdbcCursor>(std::move(st), columns);
}

std::unique_ptr<Command> PrepareCommand(SQLHDBC dbc, const QString& sql, long queryTimeout, std::weak_ptr<const bool> session,
                                        TransactionGate* gate) {
    assert(gate);
    return std::make_unique<OdbcCommand>(dbc, sql, queryTimeout, std::move(session), gate);
}

}  // namespace ado::odbc
