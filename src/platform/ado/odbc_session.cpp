// The ODBC provider: any connection text that names no local folder. PROVIDER names the driver as
// registered in odbcinst.ini; statements pass unchanged.
#include "platform/ado/lock_wait.h"
#include "platform/ado/provider.h"
#include "platform/ado/odbc_statement.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <sql.h>
#include <sqlite3.h>
#include <sqlext.h>

#include <cassert>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <strings.h>

namespace ado {

namespace {

using namespace odbc;

constexpr long kDefaultLoginTimeout = 15;

// The driver manager hands text to a driver without wide entry points (the SQLite ODBC driver has
// none: it reads and writes UTF-8) as narrow text, converted from and to the wide calls' UTF-16
// by the character type the C library's locale has when the connection handle is allocated (the
// conversion is chosen there, once per connection). Under C or POSIX that is ASCII: a letter it
// does not hold is written as its Latin-1 byte, which the driver stores as broken UTF-8 and reads
// back without it ("Azúcar" comes back as "Azcar", and a row so read is not found again to
// update). The connection is therefore made under a UTF-8 character type of this thread's own,
// whatever the process's locale; the process's other categories stay as they are. Drivers with
// wide entry points (FreeTDS) take the UTF-16 text as it is.
class Utf8WhileConnecting {
public:
    Utf8WhileConnecting() {
        if (IsUtf8(nl_langinfo(CODESET))) return;
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            const locale_t base = duplocale(LC_GLOBAL_LOCALE);   // the process's other categories stay
            if (base == locale_t(0)) return;
            utf8_ = newlocale(LC_CTYPE_MASK, name, base);
            if (utf8_ != locale_t(0)) break;
            freelocale(base);
        }
        if (utf8_ != locale_t(0)) previous_ = uselocale(utf8_);
        assert(utf8_ == locale_t(0) || IsUtf8(nl_langinfo(CODESET)));
    }
    ~Utf8WhileConnecting() {
        if (utf8_ == locale_t(0)) return;
        uselocale(previous_);
        freelocale(utf8_);
    }
    Utf8WhileConnecting(const Utf8WhileConnecting&) = delete;
    Utf8WhileConnecting& operator=(const Utf8WhileConnecting&) = delete;

private:
    static bool IsUtf8(const char* codeset) {
        return codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
    }
    locale_t utf8_ = locale_t(0);
    locale_t previous_ = locale_t(0);
};

class OdbcSession : public Session, private TransactionGate {
public:
    OdbcSession(const QString& text, const QString& database, long loginTimeout) : database_(database) {
        const Utf8WhileConnecting utf8;   // from the connection handle's allocation on
        SQLHENV env = SQL_NULL_HENV;
        Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), SQL_HANDLE_ENV, nullptr, "Cannot start ODBC.");
        env_.reset(env);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLHDBC dbc = SQL_NULL_HDBC;
        Check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_HANDLE_ENV, env, "Cannot start ODBC.");
        dbc_.reset(dbc);
        // A server that does not answer fails the open after the login timeout instead of
        // holding the program; drivers without one simply ignore it.
        SQLSetConnectAttrW(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(0L, loginTimeout))), 0);
        SQLWCHAR out[1024];
        SQLSMALLINT outLen = 0;
        const SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, const_cast<SQLWCHAR*>(W(text)), SQL_NTS, out, 1024, &outLen,
                                               SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) Fail(SQL_HANDLE_DBC, dbc, "Cannot connect.");
        SQLWCHAR name[128] = {};
        SQLSMALLINT nameLen = 0;
        if (SQL_SUCCEEDED(SQLGetInfoW(dbc, SQL_DBMS_NAME, name, sizeof name, &nameLen))) {
            const QString dbms = FromW(name, -1);
            if (dbms.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)) server_ = Server::SqlServer;
            else if (dbms.contains(QLatin1String("SQLite"), Qt::CaseInsensitive)) server_ = Server::Sqlite;
        }
        // The program writes dates as 'dd/mm/yyyy' texts (the posting, the receiver, the voucher
        // audit); a SQL Server reads such a text by the login's language (month first for
        // us_english) unless the session says otherwise, so the session reads them day first.
        if (server_ == Server::SqlServer) {
            Stmt st(dbc, 0, lifetime());
            st.check(SQLExecDirectW(st.h(), const_cast<SQLWCHAR*>(W(QStringLiteral("SET DATEFORMAT dmy"))), SQL_NTS),
                     "Cannot set the date format.");
        }
    }
    ~OdbcSession() override {
        if (txn_.level > 0 || txn_.owed) SQLEndTran(SQL_HANDLE_DBC, dbc(), SQL_ROLLBACK);
    }

    bool embedded() const override { return false; }
    int transactionLevel() const override { return txn_.level; }

    QString defaultDatabase() const override {
        SQLWCHAR buf[256] = {};
        SQLINTEGER len = 0;
        if (SQL_SUCCEEDED(SQLGetConnectAttrW(dbc(), SQL_ATTR_CURRENT_CATALOG, buf, sizeof buf, &len)) && buf[0]) {
            return FromW(buf, -1);
        }
        return database_;
    }

    void setDefaultDatabase(const QString& name) override {
        const SQLRETURN rc = SQLSetConnectAttrW(dbc(), SQL_ATTR_CURRENT_CATALOG, const_cast<SQLWCHAR*>(W(name)),
                                               static_cast<SQLINTEGER>(name.size() * 2));
        if (!SQL_SUCCEEDED(rc)) {
            // Drivers without catalogs (file databases) keep the one they opened.
            SQLWCHAR state[6] = {};
            SQLINTEGER native = 0;
            SQLSMALLINT len = 0;
            SQLGetDiagRecW(SQL_HANDLE_DBC, dbc(), 1, state, &native, nullptr, 0, &len);
            const QString st = FromW(state, 5);
            if (st != QLatin1String("HYC00") && st != QLatin1String("HY092") && st != QLatin1String("IM001") &&
                st != QLatin1String("HY000") && st != QLatin1String("HY024")) {
                Fail(SQL_HANDLE_DBC, dbc(), "Cannot change the database.");
            }
        }
        database_ = name;
    }

    // A batch goes on after a statement that fails, as the server runs it: every result is read,
    // and the failures are raised together when the batch ends (see ado.h).
    std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) override {
        return Gated(*this, [&] { return runBatch(sql, affected, forUpdate); });
    }
    std::unique_ptr<RowSource> runBatch(const QString& sql, long* affected, bool forUpdate) {
        Stmt st(dbc(), queryTimeout_, lifetime());
        SQLRETURN rc = SQLExecDirectW(st.h(), const_cast<SQLWCHAR*>(W(sql)), SQL_NTS);
        long count = 0;
        std::unique_ptr<RowSource> result;
        std::vector<ProviderError> errors;
        for (bool firstResult = true; rc != SQL_NO_DATA; firstResult = false) {
            if (rc == SQL_ERROR) {
                std::vector<ProviderError> failure = Diagnostics(SQL_HANDLE_STMT, st.h(), "Cannot run the statement.", dbc());
                // a driver with no further result to give says so by a sequence error
                const QString& state = failure.front().sqlState;
                if (!firstResult && (state == QLatin1String("HY010") || state == QLatin1String("24000"))) break;
                if (failure.front().number == kErrLinkLost) {   // the lost connection first; nothing more comes
                    errors.insert(errors.begin(), failure.begin(), failure.end());
                    break;
                }
                errors.insert(errors.end(), failure.begin(), failure.end());
            } else {
                st.check(rc, firstResult ? "Cannot run the statement." : "Cannot read the next result.");
                SQLSMALLINT columns = 0;
                st.check(SQLNumResultCols(st.h(), &columns), "Cannot read the result.");
                if (columns > 0) {
                    result = readRows(st.h(), columns, forUpdate);
                } else {
                    SQLLEN rows = 0;
                    if (SQL_SUCCEEDED(SQLRowCount(st.h(), &rows)) && rows > 0) count += static_cast<long>(rows);
                }
            }
            rc = SQLMoreResults(st.h());
        }
        if (affected) *affected = count;
        if (!errors.empty()) {
            ProviderError first = errors.front();
            first.following.assign(errors.begin() + 1, errors.end());
            throw first;
        }
        return result;
    }

    // The outermost transaction is the connection's manual-commit mode; one begun inside it is
    // the savepoint korv_<n>, n the level it is begun at (see save). The level changes
    // only once the server has done the step.
    void begin() override {
        readyToRun();
        if (txn_.level == 0) {
            Check(SQLSetConnectAttrW(dbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
                  SQL_HANDLE_DBC, dbc(), "Cannot begin a transaction.", dbc());
        } else {
            try {
                save(txn_.level);
            } catch (ProviderError& e) {
                afterFailure(e);
                throw;
            }
        }
        ++txn_.level;
    }
    // A commit the server refuses leaves the transaction open for the caller to roll back, unless
    // the server ended it: then it is doomed, and the failure says it was rolled back.
    void commit() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), native::kCommitWithoutBegin);
        readyToRun();
        if (txn_.level > 1) {
            if (server_ == Server::Sqlite) Gated(*this, [&] { control(QStringLiteral("RELEASE SAVEPOINT korv_%1").arg(txn_.level - 1)); });
            --txn_.level;
            return;
        }
        const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc(), SQL_COMMIT);
        if (!SQL_SUCCEEDED(rc)) {
            std::vector<ProviderError> records = Diagnostics(SQL_HANDLE_DBC, dbc(), "Cannot commit the transaction.", dbc());
            ProviderError e = records.front();
            e.following.assign(records.begin() + 1, records.end());
            afterFailure(e);
            throw e;
        }
        txn_.level = 0;
        worked_ = false;
        try {
            backToAutocommit();   // committed: a driver that refuses it is asked again before the next statement
        } catch (const ProviderError&) {
        }
    }
    // The caller's transaction ends whatever the server answers: a savepoint the server cannot
    // roll back to dooms the transaction around it; the outermost transaction the server refuses
    // to roll back is rolled back before anything else runs (TransactionState::owed).
    void rollback() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), native::kRollbackWithoutBegin);
        if (txn_.level > 1) {
            RollbackInner(txn_, [&](int level) { rollbackTo(level); }, [&](ProviderError& e) { afterFailure(e); });
            return;
        }
        txn_ = TransactionState{};
        txn_.owed = true;
        worked_ = false;
        settle();
    }

    std::unique_ptr<RowSource> tables() override {
        Stmt st(dbc(), queryTimeout_, lifetime());
        const QString types = QStringLiteral("TABLE,VIEW");
        st.check(SQLTablesW(st.h(), nullptr, 0, nullptr, 0, nullptr, 0, const_cast<SQLWCHAR*>(W(types)), SQL_NTS),
                 "Cannot list the tables.");
        auto rows = readRows(st.h(), 4, false);
        const char* names[] = {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE"};
        for (size_t i = 0; i < 4 && i < rows->fields.size(); ++i) rows->fields[i].name = QString::fromLatin1(names[i]);
        for (Row& r : rows->rows) r.resize(4);
        rows->fields.resize(4);
        return rows;
    }

    std::unique_ptr<RowSource> columns(const QString& table, const QString& column) override {
        Stmt st(dbc(), queryTimeout_, lifetime());
        const QString t = table.trimmed();
        const QString c = column.trimmed();
        st.check(SQLColumnsW(st.h(), nullptr, 0, nullptr, 0, t.isEmpty() ? nullptr : const_cast<SQLWCHAR*>(W(t)),
                             t.isEmpty() ? 0 : SQL_NTS, c.isEmpty() ? nullptr : const_cast<SQLWCHAR*>(W(c)),
                             c.isEmpty() ? 0 : SQL_NTS),
                 "Cannot list the columns.");
        SQLSMALLINT n = 0;
        st.check(SQLNumResultCols(st.h(), &n), "Cannot list the columns.");
        auto raw = readRows(st.h(), n, false);
        auto rs = std::make_unique<RowSource>();
        auto field = [](const char* name, int type) {
            FieldInfo f;
            f.name = QString::fromLatin1(name);
            f.type = type;
            f.definedSize = type == adVarWChar ? 128 : 4;
            return f;
        };
        rs->fields = {field("TABLE_CATALOG", adVarWChar), field("TABLE_SCHEMA", adVarWChar), field("TABLE_NAME", adVarWChar),
                      field("COLUMN_NAME", adVarWChar), field("ORDINAL_POSITION", adInteger), field("IS_NULLABLE", adBoolean),
                      field("DATA_TYPE", adUnsignedTinyInt), field("CHARACTER_MAXIMUM_LENGTH", adInteger),
                      field("NUMERIC_PRECISION", adInteger), field("NUMERIC_SCALE", adInteger)};
        // ODBC columns: 1 cat, 2 schem, 3 table, 4 column, 5 data type, 6 type name, 7 column size,
        // 8 buffer length, 9 decimal digits, 10 radix, 11 nullable, ..., 17 ordinal position.
        for (const Row& r : raw->rows) {
            auto at = [&](size_t i) { return i < r.size() ? r[i] : vb::Variant(vb::Null); };
            const SQLSMALLINT sqlType = static_cast<SQLSMALLINT>(at(4).isNull() ? 0 : at(4).toLong());
            const SQLULEN size = at(6).isNull() ? 0 : static_cast<SQLULEN>(at(6).toDouble());
            const SQLSMALLINT scale = static_cast<SQLSMALLINT>(at(8).isNull() ? 0 : at(8).toLong());
            const int type = AdoType(sqlType, size, scale);
            rs->rows.push_back({at(0), at(1), at(2), at(3), at(16), vb::Variant(!at(10).isNull() && at(10).toLong() != 0),
                                vb::Variant(type),
                                IsText(type) ? vb::Variant(static_cast<long>(size)) : vb::Variant(vb::Null),
                                IsText(type) ? vb::Variant(vb::Null) : vb::Variant(static_cast<long>(size)),
                                IsText(type) ? vb::Variant(vb::Null) : vb::Variant(static_cast<int>(scale))});
        }
        return rs;
    }

    void setCommandTimeout(long seconds) override {
        queryTimeout_ = std::max(0L, seconds);
        lockTimeoutDue_ = server_ == Server::SqlServer;
    }
    std::unique_ptr<Command> prepare(const QString& sql) override {
        return PrepareCommand(dbc(), sql, queryTimeout_, lifetime(), static_cast<TransactionGate*>(this));
    }

    std::unique_ptr<RowCursor> openCursor(const QString& sql, bool whole) override {
        return Gated(*this, [&] { return cursorOn(sql, whole); });
    }
    std::unique_ptr<RowCursor> cursorOn(const QString& sql, bool whole) {
        if (whole) return std::make_unique<WholeRowsCursor>(runBatch(sql, nullptr, false));
        auto st = std::make_unique<Stmt>(dbc(), queryTimeout_, lifetime());
        SQLRETURN rc = SQLExecDirectW(st->h(), const_cast<SQLWCHAR*>(W(sql)), SQL_NTS);
        while (rc != SQL_NO_DATA) {
            st->check(rc, "Cannot run the statement.");
            SQLSMALLINT columns = 0;
            st->check(SQLNumResultCols(st->h(), &columns), "Cannot read the result.");
            if (columns > 0) return OpenCursor(std::move(st), columns);
            rc = SQLMoreResults(st->h());
        }
        return std::make_unique<WholeRowsCursor>(nullptr);
    }

    void updateRow(const RowSource& rs, const Row& original, const FieldChanges& changes) override {
        const std::vector<QString> columns = UpdatedColumns(rs, changes);
        QString sql = QStringLiteral("UPDATE %1 SET ").arg(rs.baseTable);
        std::vector<vb::Variant> values;
        for (size_t i = 0; i < changes.size(); ++i) {
            if (i) sql += QLatin1Char(',');
            sql += columns[i] + QStringLiteral("=?");
            values.push_back(changes[i].second);
        }
        sql += QStringLiteral(" WHERE 1=1");
        for (size_t i = 0; i < rs.baseColumns.size(); ++i) {
            if (rs.baseColumns[i].isEmpty()) continue;
            if (original[i].isNull()) {
                sql += QStringLiteral(" AND %1 IS NULL").arg(rs.baseColumns[i]);
            } else {
                sql += QStringLiteral(" AND %1=?").arg(rs.baseColumns[i]);
                values.push_back(original[i]);
            }
        }
        WriteOneRow(*this, sql, values);
    }

private:
    EnvironmentHandle env_;
    ConnectionHandle dbc_;   // after env_: freed before it
    TransactionState txn_;
    QString database_;
    long queryTimeout_ = 0;
    bool lockTimeoutDue_ = false;   // SQL Server: the session's lock time-out follows queryTimeout_ before the next statement
    // The server behind the driver, for its savepoints and its transaction's state.
    enum class Server { SqlServer, Sqlite, Other };
    Server server_ = Server::Other;

    SQLHDBC dbc() const { return dbc_.get(); }

    bool worked_ = false;             // a statement ran in the transaction since it began
    std::vector<char> fromStart_;     // per level: its savepoint stands for the transaction's start

    // Runs a statement of transaction control.
    void control(const QString& sql) {
        Stmt st(dbc(), queryTimeout_, lifetime());
        st.check(SQLExecDirectW(st.h(), const_cast<SQLWCHAR*>(W(sql)), SQL_NTS), "Cannot run the statement.");
    }
    // The first value of the first row the statement gives; raises when it gives none.
    long scalar(const QString& sql) {
        Stmt st(dbc(), queryTimeout_, lifetime());
        for (SQLRETURN rc = SQLExecDirectW(st.h(), const_cast<SQLWCHAR*>(W(sql)), SQL_NTS); rc != SQL_NO_DATA;
             rc = SQLMoreResults(st.h())) {
            st.check(rc, "Cannot run the statement.");
            SQLSMALLINT columns = 0;
            st.check(SQLNumResultCols(st.h(), &columns), "Cannot read the result.");
            if (columns == 0) continue;
            const auto rows = readRows(st.h(), columns, false);
            if (!rows->rows.empty()) return rows->rows.front().front().toLong();
        }
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("The server gave no value for: %1").arg(sql), QStringLiteral("HY000"), native::kNone);
    }

    // Savepoint korv_<level>, taken as the server names it. SQL Server has no release, and takes a
    // savepoint only inside a transaction, which manual-commit mode opens with the first statement
    // that touches a table: a savepoint asked for before that stands for the transaction's start,
    // and rolling back to it rolls the transaction back (the next statement opens another).
    void save(int level) {
        assert(level >= 1);   // level 0 is the connection's manual-commit mode
        fromStart_.resize(static_cast<size_t>(level) + 1);
        if (server_ == Server::SqlServer) {
            fromStart_[static_cast<size_t>(level)] =
                scalar(QStringLiteral("IF @@TRANCOUNT > 0 SAVE TRANSACTION korv_%1; SELECT @@TRANCOUNT").arg(level)) == 0;
            return;
        }
        fromStart_[static_cast<size_t>(level)] = 0;
        control(QStringLiteral("SAVEPOINT korv_%1").arg(level));
    }
    void rollbackTo(int level) {
        switch (server_) {
        case Server::SqlServer:
            assert(level >= 1 && static_cast<size_t>(level) < fromStart_.size());   // saved when it was begun
            if (fromStart_[static_cast<size_t>(level)]) {
                control(QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"));
                worked_ = false;
            } else {
                control(QStringLiteral("ROLLBACK TRANSACTION korv_%1").arg(level));
            }
            return;
        case Server::Sqlite:
            control(QStringLiteral("ROLLBACK TO SAVEPOINT korv_%1").arg(level));
            control(QStringLiteral("RELEASE SAVEPOINT korv_%1").arg(level));
            return;
        case Server::Other: control(QStringLiteral("ROLLBACK TO SAVEPOINT korv_%1").arg(level)); return;
        }
    }

    // What the server holds of the caller's transaction after a failure.
    enum class Held { Open, Uncommittable, Ended };
    Held held() {
        try {
            switch (server_) {
            case Server::SqlServer: {
                // None open before the first statement that touched a table: nothing was lost.
                const long state = scalar(QStringLiteral("SELECT XACT_STATE()"));
                return state < 0 ? Held::Uncommittable : state > 0 || !worked_ ? Held::Open : Held::Ended;
            }
            case Server::Sqlite:
                // SQLite tells its state only by what it refuses: BEGIN fails inside a transaction.
                // One that succeeds begins the transaction the driver still counts on.
                try {
                    control(QStringLiteral("BEGIN"));
                } catch (const ProviderError&) {
                    return Held::Open;
                }
                return Held::Ended;
            case Server::Other: break;
            }
        } catch (const ProviderError&) {
            return Held::Ended;   // the connection no longer answers
        }
        return Held::Open;   // nothing to read it by: the caller rolls back
    }

    void readyToRun() override {
        assert(txn_.level >= 0 && (txn_.level == 0 || !txn_.owed) && (txn_.level > 0 || !txn_.doomed));
        settle();
        if (txn_.doomed) ThrowDoomedTransaction();
        if (lockTimeoutDue_) {
            control(QStringLiteral("SET LOCK_TIMEOUT %1").arg(LockTimeoutMs(queryTimeout_)));
            lockTimeoutDue_ = false;
        }
    }
    // SQL Server waits for another session's lock one second short of the command's time-out, so
    // that a statement that waited for another station from its start ends on the lock's time-out
    // (1222), not on the command's; a command without a time-out waits the longest lock wait.
    static long LockTimeoutMs(long seconds) {
        const long s = seconds > 0 ? seconds : static_cast<long>(kLongestLockWait.count());
        return s > 1 ? (s - 1) * 1000 : 500;
    }
    // Another station at work: SQL Server's lock time-out, or the SQLite driver's file held past its
    // wait (SQLITE_BUSY), fails as the embedded provider's wait does (lock_wait.h), naming the
    // database.
    void heldByAnother(ProviderError& e) const {
        const bool held = (server_ == Server::SqlServer && e.nativeError == native::kLockTimeOut) ||
                          (server_ == Server::Sqlite && e.nativeError == SQLITE_BUSY);
        if (!held) return;
        const QString name = server_ == Server::Sqlite ? QFileInfo(database_).completeBaseName() : database_;
        ProviderError timedOut = LockTimedOut({QStringLiteral("la base de datos ") + name}, std::nullopt);
        timedOut.following = std::move(e.following);
        e = std::move(timedOut);
    }
    void ran() override {
        if (txn_.level > 0) worked_ = true;
    }
    void afterFailure(ProviderError& e) override {
        heldByAnother(e);
        if (txn_.level == 0 || txn_.doomed) return;
        const Held h = held();
        if (h == Held::Open) return;
        txn_.doomed = true;
        if (h == Held::Ended) e.following.push_back(RolledBackByServer());
    }

    // Ends what is owed: the rollback of the transaction the caller left, and the autocommit mode
    // the connection works in outside a transaction. Raises while the server refuses either.
    void settle() {
        if (!txn_.owed) return;
        Check(SQLEndTran(SQL_HANDLE_DBC, dbc(), SQL_ROLLBACK), SQL_HANDLE_DBC, dbc(), "Cannot roll back the transaction.", dbc());
        backToAutocommit();
    }
    // Back to autocommit once the transaction has ended (switching with one open commits it).
    // Until the driver takes it, the session owes it, so nothing runs in a transaction left open.
    void backToAutocommit() {
        txn_.owed = true;
        Check(SQLSetConnectAttrW(dbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0), SQL_HANDLE_DBC,
              dbc(), "Cannot end the transaction.", dbc());
        txn_.owed = false;
    }

    std::unique_ptr<RowSource> readRows(SQLHSTMT h, SQLSMALLINT columns, bool forUpdate) {
        auto rs = std::make_unique<RowSource>();
        ResultRows rows(h, columns);
        if (forUpdate) {
            rs->baseColumns.resize(static_cast<size_t>(columns));
            QString table;
            bool single = true;
            for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
                SQLWCHAR buf[256] = {};
                SQLSMALLINT len = 0;
                QString t, col;
                if (SQL_SUCCEEDED(SQLColAttributeW(h, c, SQL_DESC_BASE_TABLE_NAME, buf, sizeof buf, &len, nullptr))) t = FromW(buf, -1);
                buf[0] = 0;
                if (SQL_SUCCEEDED(SQLColAttributeW(h, c, SQL_DESC_BASE_COLUMN_NAME, buf, sizeof buf, &len, nullptr))) col = FromW(buf, -1);
                if (t.isEmpty() || col.isEmpty()) continue;
                if (table.isEmpty()) table = t;
                else if (table.compare(t, Qt::CaseInsensitive) != 0) single = false;
                rs->baseColumns[c - 1] = col;
            }
            if (single) rs->baseTable = table;
        }
        Row row;
        while (rows.fetch(&row)) rs->rows.push_back(std::move(row));
        rs->fields = std::move(rows.fields);
        return rs;
    }
};

QString Braced(const QString& value) {
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) || value.contains(QLatin1Char('}'))) {
        QString v = value;
        v.replace(QLatin1Char('}'), QStringLiteral("}}"));
        return QLatin1Char('{') + v + QLatin1Char('}');
    }
    return value;
}

}  // namespace

std::unique_ptr<Session> OpenOdbc(const ConnectionText& text, const QString& user, const QString& password) {
    const QString driver = text.value({"Provider", "Driver"});
    if (driver.isEmpty()) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Provider cannot be found. It may not be properly installed."),
                      QStringLiteral("IM002"), native::kNone);
    }
    QString out = QStringLiteral("DRIVER={") + driver + QStringLiteral("};");
    const QString server = text.value({"Server", "Data Source", "Address", "Addr"});
    const QString database = text.value({"Database", "Initial Catalog"});
    const QString uid = user.isEmpty() ? text.value({"UId", "User Id", "User", "User ID"}) : user;
    const QString pwd = password.isEmpty() ? text.value({"Pwd", "Password"}) : password;
    if (!server.isEmpty()) out += QStringLiteral("SERVER=") + Braced(server) + QLatin1Char(';');
    if (!database.isEmpty()) out += QStringLiteral("DATABASE=") + Braced(database) + QLatin1Char(';');
    if (!uid.isEmpty()) out += QStringLiteral("UID=") + Braced(uid) + QLatin1Char(';');
    if (!pwd.isEmpty()) out += QStringLiteral("PWD=") + Braced(pwd) + QLatin1Char(';');
    // The seconds a login may take ("Connect Timeout", as in any connection text; 0 waits without
    // limit). A text that gives none or an unreadable one waits the usual 15 seconds.
    long loginTimeout = kDefaultLoginTimeout;
    const QString timeout = text.value({"Connect Timeout", "Connection Timeout"}).trimmed();
    if (!timeout.isEmpty()) {
        bool ok = false;
        const long seconds = timeout.toLong(&ok);
        if (ok && seconds >= 0) loginTimeout = seconds;
    }
    static const char* const known[] = {"Provider", "Driver", "Server", "Data Source", "Address", "Addr", "Database",
                                        "Initial Catalog", "UId", "User Id", "User", "User ID", "Pwd", "Password",
                                        "Connect Timeout", "Connection Timeout"};
    for (const auto& [k, v] : text.items()) {
        bool skip = false;
        for (const char* n : known) skip = skip || k.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
        if (!skip && !k.isEmpty()) out += k + QLatin1Char('=') + Braced(v) + QLatin1Char(';');
    }
    return std::make_unique<OdbcSession>(out, database, loginTimeout);
}

}  // namespace ado
