// The embedded provider: SQLite databases in a folder, statements in the SQL Server dialect. The
// session holds the connection, its transactions as the caller holds them, the database in use
// and those attached; the statements' caches are StatementCache's, the batches run by BatchRunner,
// the schema rowsets in sqlite_schema.cpp, the rows and values in sqlite_rows.cpp.
#include "platform/ado/batch_runner.h"
#include "platform/ado/provider.h"
#include "platform/ado/sqlite_checkpoints.h"
#include "platform/ado/sqlite_files.h"
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/sqlite_rows.h"
#include "platform/ado/sqlite_schema.h"
#include "platform/ado/statement_cache.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <memory>

namespace ado {

namespace {

using sqlite::Exec;
using sqlite::Fail;
using sqlite::Prepare;
using sqlite::DatabaseHandle;
using sqlite::StatementHandle;

QString FindDatabaseFile(const QString& folder, const QString& name) {
    const QString direct = QDir(folder).filePath(name + QStringLiteral(".sqlite"));
    if (QFileInfo::exists(direct)) return direct;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.sqlite"), QStringLiteral("*.SQLITE"), QStringLiteral("*.Sqlite")},
                                                     QDir::Files);
    for (const QString& f : files) {
        if (QFileInfo(f).completeBaseName().compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(f);
    }
    return QString();
}

class SqliteSession : public Session, private TransactionGate, private sqlite::DatabaseAttacher {
public:
    SqliteSession(const QString& folder, const QString& database) : folder_(folder) { open(database); }

    bool embedded() const override { return true; }
    int transactionLevel() const override { return txn_.level; }
    QString defaultDatabase() const override { return name_; }

    void setDefaultDatabase(const QString& name) override {
        if (name.trimmed().isEmpty() || name.trimmed().compare(name_, Qt::CaseInsensitive) == 0) return;
        if (txn_.level > 0) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("The database cannot be changed inside a transaction."), QStringLiteral("25000"), native::kDatabaseChangeInTransaction);
        }
        cache_.forgetSchemaQueries();   // asked again of whichever database is in use after
        open(name.trimmed());   // the database in use stays when the other cannot be opened
        txn_.owed = false;      // the transaction owed went with the database left
    }

    std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) override {
        return Gated(*this, [&] { return runBatch(sql, affected, forUpdate); });
    }
    std::unique_ptr<RowSource> runBatch(const QString& sql, long* affected, bool forUpdate) {
        sqlite::Translated translated = translate(sql);
        return runner().run(translated, affected, forUpdate);
    }

    // The outermost transaction is the engine's; one begun inside it is the savepoint korv_<n>,
    // n the level it is begun at. The level changes only once the engine has done the step.
    void begin() override {
        readyToRun();
        // The write lock is taken at once, waiting for another connection's transaction: taken
        // at the first write, after reads, it could only fail (the engine does not wait there, and
        // what was read may be outdated by then).
        if (txn_.level == 0) {
            // A file whose journal cannot be written back into it takes no new work: refused at
            // every transaction until a checkpoint goes through again (the file writable again).
            // Reads go on: the journal holds what was committed.
            if (checkpoints_.failed() && !sqlite::CheckpointAgain(db(), &checkpoints_))
                sqlite::ThrowCheckpointFailed(db(), checkpoints_);
            Exec(db(), "BEGIN IMMEDIATE");
        } else Gated(*this, [&] { Exec(db(), ("SAVEPOINT " + Savepoint(txn_.level)).c_str()); });
        ++txn_.level;
        assert(txn_.level > 0 && !txn_.owed);
    }
    // A commit the engine refuses (a deferred constraint, a locked file) leaves the transaction
    // open for the caller to roll back; one after which the engine rolled back dooms it.
    void commit() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), native::kCommitWithoutBegin);
        const std::string sql = txn_.level == 1 ? std::string("COMMIT") : "RELEASE " + Savepoint(txn_.level - 1);
        Gated(*this, [&] { Exec(db(), sql.c_str()); });
        --txn_.level;
        assert(txn_.level >= 0);   // never below nothing
    }
    // The caller's transaction ends whatever the engine answers: a savepoint whose work the engine
    // cannot take back dooms the transaction around it; the outermost transaction the engine
    // refuses to roll back is rolled back before anything else runs (TransactionState::owed).
    void rollback() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), native::kRollbackWithoutBegin);
        if (txn_.level > 1) {
            RollbackInner(
                txn_,
                [&](int level) {
                    const std::string sp = Savepoint(level);
                    Exec(db(), ("ROLLBACK TO " + sp).c_str());
                    Exec(db(), ("RELEASE " + sp).c_str());
                },
                [&](ProviderError& e) { afterFailure(e); });
            return;
        }
        txn_ = TransactionState{};
        if (sqlite3_get_autocommit(db())) return;   // the engine ended it already
        try {
            Exec(db(), "ROLLBACK");
        } catch (const ProviderError&) {
            txn_.owed = !sqlite3_get_autocommit(db());
            throw;
        }
    }

    std::unique_ptr<RowSource> tables() override { return sqlite::SchemaTables(db(), name_); }
    std::unique_ptr<RowSource> columns(const QString& table, const QString& column) override {
        return sqlite::SchemaColumns(db(), name_, table, column);
    }

    std::unique_ptr<Command> prepare(const QString& sql) override {
        const QByteArray text = sql.toUtf8();
        StatementHandle st = Prepare(db(), text.constData(), static_cast<int>(text.size()));
        if (!st) ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Command text was not set."), QStringLiteral("42000"), native::kNone);
        return std::make_unique<sqlite::SqliteCommand>(db(), std::move(st), static_cast<TransactionGate*>(this));
    }

    std::unique_ptr<RowCursor> openCursor(const QString& sql, bool whole) override {
        return Gated(*this, [&] { return cursorOn(sql, whole); });
    }
    std::unique_ptr<RowCursor> cursorOn(const QString& sql, bool whole) {
        sqlite::Translated translated = translate(sql);
        return runner().cursor(translated, whole);
    }

    void setCommandTimeout(long seconds) override { lockWait_.seconds = std::max(0L, seconds); }

    void updateRow(const RowSource& rs, const Row& original, const FieldChanges& changes) override {
        const std::vector<QString> columns = UpdatedColumns(rs, changes);
        QString sql = QStringLiteral("UPDATE \"%1\" SET ").arg(rs.baseTable);
        std::vector<vb::Variant> values;
        for (size_t i = 0; i < changes.size(); ++i) {
            if (i) sql += QLatin1Char(',');
            sql += QStringLiteral("\"%1\"=?").arg(columns[i]);
            // A value assigned to a number or date field is taken as the server takes it.
            values.push_back(sqlite::ForField(rs.fields[static_cast<size_t>(changes[i].first)], changes[i].second));
        }
        sql += QStringLiteral(" WHERE rowid = (SELECT rowid FROM \"%1\" WHERE 1=1").arg(rs.baseTable);
        for (size_t i = 0; i < rs.baseColumns.size(); ++i) {
            if (rs.baseColumns[i].isEmpty()) continue;
            sql += QStringLiteral(" AND \"%1\" IS ?").arg(rs.baseColumns[i]);
            values.push_back(original[i]);
        }
        sql += QStringLiteral(" LIMIT 1)");
        WriteOneRow(*this, sql, values);
    }


private:
    QString folder_;
    QString name_;
    std::string nameUtf8_;
    sqlite::CheckpointWatch checkpoints_;   // the checkpoints of the connection's files (outlives db_)
    DatabaseHandle db_;
    sqlite::LockWait lockWait_;   // the wait for another connection's transaction
    TransactionState txn_;
    bool ready_ = false;          // the file made ready for work (see ready())

    static std::string Savepoint(int level) { return "korv_" + std::to_string(level); }

    // A transaction the engine ended by itself since the last look (SQLite rolls the whole
    // transaction back after some failures of a full disk, an I/O error or memory) dooms the
    // caller's: from then on its statements would run outside it.
    bool engineEnded() { return txn_.level > 0 && !txn_.doomed && sqlite3_get_autocommit(db()); }

    void readyToRun() override {
        assert(txn_.level >= 0 && (txn_.level == 0 || !txn_.owed) && (txn_.level > 0 || !txn_.doomed));
        assert(ready_ || (txn_.level == 0 && !txn_.owed));
        if (txn_.owed) {
            if (!sqlite3_get_autocommit(db())) Exec(db(), "ROLLBACK");
            txn_.owed = false;
        }
        if (engineEnded()) {
            txn_.doomed = true;
            throw RolledBackByServer();
        }
        if (txn_.doomed) ThrowDoomedTransaction();
        ready();
    }
    void afterFailure(ProviderError& e) override {
        if (!engineEnded()) return;
        txn_.doomed = true;
        e.following.push_back(RolledBackByServer());
    }
    std::vector<QString> attached_;
    sqlite::StatementCache cache_;   // the columns of the tables, the translations and the prepared copies

    sqlite::BatchRunner runner() { return sqlite::BatchRunner(db(), cache_, nameUtf8_, *this); }
    sqlite::Translated translate(const QString& sql) { return cache_.translate(sql, nameUtf8_, *this); }

    void open(const QString& database) {
        const QString wanted = database.trimmed();
        if (wanted.isEmpty()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Cannot open database requested by the login. No database was named."),
                          QStringLiteral("42000"), native::kCannotOpenDatabase);
        }
        // Refused as a server refuses a database it does not hold or cannot read: the message
        // names the file and what is wrong with it.
        const auto refuse = [&](const QString& file, const QString& why) {
            ThrowProvider(vb::kHrUnspecified,
                          QStringLiteral("Cannot open database \"%1\" requested by the login. The file %2 %3").arg(wanted, QDir::toNativeSeparators(file), why),
                          QStringLiteral("42000"), native::kCannotOpenDatabase);
        };
        const QString file = FindDatabaseFile(folder_, wanted);
        if (file.isEmpty()) refuse(QDir(folder_).filePath(wanted + QStringLiteral(".sqlite")), QStringLiteral("does not exist."));
        // An empty file would be taken by the engine for a new database and written as one.
        if (QFileInfo(file).size() == 0) refuse(file, QStringLiteral("is empty (0 bytes): it is not a database."));
        // A connection serves one thread at a time, as its Errors and transaction level do:
        // SQLite need not lock it on every call. Without SQLITE_OPEN_CREATE: opening never
        // creates a database file.
        sqlite3* opened = nullptr;
        const int rc =
            sqlite3_open_v2(QFile::encodeName(file).constData(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        DatabaseHandle db(opened);   // a handle comes back even when the open fails
        if (rc != SQLITE_OK) refuse(file, QStringLiteral("cannot be opened: ") + (db ? QString::fromUtf8(sqlite3_errmsg(db.get())) : QStringLiteral("out of memory")) + u'.');
        // The engine reads the file only when asked: its header and schema are read now, before
        // anything is written, so a file that is not a database or is damaged is refused here.
        // A database another connection holds locked is not refused for that.
        const int read = sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (read != SQLITE_OK && read != SQLITE_BUSY && read != SQLITE_LOCKED)
            refuse(file, QStringLiteral("cannot be read: ") + QString::fromUtf8(sqlite3_errmsg(db.get())) + u'.');
        sqlite::RegisterServerRules(db.get());
        sqlite::WaitForLocks(db.get(), &lockWait_);
        // A page cache that holds a receiving day's working set (64 MiB): with the default 2 MiB,
        // every statement reads its pages again from the file once the tables outgrow it.
        Exec(db.get(), "PRAGMA cache_size=-65536");
        // Nothing is written yet: the file is made ready for work at the first statement (ready()).
        // Only a database that opened whole replaces the one in use.
        checkpoints_ = sqlite::CheckpointWatch{};
        sqlite::WatchCheckpoints(db.get(), &checkpoints_);
        db_ = std::move(db);
        ready_ = false;
        name_ = QFileInfo(file).completeBaseName();
        nameUtf8_ = name_.toStdString();
        attached_.clear();
        cache_.use(db_.get());   // what was kept was prepared on, and translated for, the database replaced
    }

    sqlite3* db() const { return db_.get(); }

    // The file is made ready for work at the session's first statement, not when it is opened:
    // until then the session has only read it (its header, its schema, the tables and columns
    // rowsets), so that a caller may look at a file and refuse it (one without the program's
    // tables) leaving it as it was, byte for byte. Ready means in WAL mode, where readers and the
    // writer work at once and NORMAL keeps the file whole in a crash (a file that cannot take WAL,
    // by its folder or its file system, keeps the mode it has and is written with every sync), and
    // with the program's compare-rule names. A step that fails is tried again at the next statement.
    void ready() {
        if (ready_) return;
        assert(txn_.level == 0 && sqlite3_get_autocommit(db()));   // a transaction begins ready
        const StatementHandle journal = Prepare(db(), "PRAGMA journal_mode=WAL", -1);
        const int stepped = sqlite3_step(journal.get());
        if (stepped != SQLITE_ROW) Fail(db(), stepped);
        const bool wal = sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(journal.get(), 0)), "wal") == 0;
        sqlite3_reset(journal.get());
        Exec(db(), wal ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
        UpgradeCompareRules(db(), "main");
        ready_ = true;
    }

    // A file of an earlier version takes the program's compare rules' names. When it cannot (held
    // by a station of an earlier version, a file that cannot be written), it stays as it was, and
    // this connection reads its old names by the same rules; the next connection tries again.
    static void UpgradeCompareRules(sqlite3* db, const char* schema) {
        if (!sqlite3_get_autocommit(db)) return;   // a database attached inside a transaction: later
        try {
            sqlite::UpgradeCompareRules(db, schema);
        } catch (const ProviderError&) {
        }
    }

    // Attaches a database a batch names, by its name; true when attached now.
    bool attach(const std::string& dbName) override {
        const QString name = QString::fromStdString(dbName);
        for (const QString& a : attached_) {
            if (a.compare(name, Qt::CaseInsensitive) == 0) return false;
        }
        const QString file = FindDatabaseFile(folder_, name);
        if (file.isEmpty()) {
            ThrowProvider(vb::kHrNoSuchTable, QStringLiteral("Database '%1' does not exist.").arg(name), QStringLiteral("42000"), native::kNoSuchDatabase);
        }
        const StatementHandle st = Prepare(db(), "ATTACH DATABASE ?1 AS ?2", -1);
        const QByteArray path = QFile::encodeName(file);
        sqlite3_bind_text(st.get(), 1, path.constData(), static_cast<int>(path.size()), SQLITE_STATIC);
        sqlite3_bind_text(st.get(), 2, dbName.c_str(), static_cast<int>(dbName.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(st.get());
        if (rc != SQLITE_DONE) Fail(db(), rc);
        attached_.push_back(name);
        UpgradeCompareRules(db(), dbName.c_str());
        return true;
    }
};

}  // namespace

std::unique_ptr<Session> OpenEmbedded(const QString& folder, const QString& database) {
    return std::make_unique<SqliteSession>(folder, database);
}

}  // namespace ado
