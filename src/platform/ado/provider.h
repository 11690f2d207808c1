#pragma once
// What a provider hands to the ADO objects: an open session, the rows of a result, and the
// failure it raises. Internal to the ado layer.
#include "platform/ado/ado.h"
#include "platform/ado/native_errors.h"

#include <QString>
#include <QStringList>
#include <cassert>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace ado {

// A provider's failure: the ADO number and the server's own state and native error (the numbers
// the program raises or reads are named in native_errors.h).
// A batch that went on after failed statements raises the first with the others following it.
struct ProviderError {
    long number = vb::kHrUnspecified;
    QString description;
    QString sqlState;
    long nativeError = 0;
    std::vector<ProviderError> following;
};
[[noreturn]] void ThrowProvider(long number, const QString& description, const QString& sqlState, long nativeError);

// ---- another connection's lock (lock_wait.h) ----
// A provider's wait, between two pauses: tells the program's listener; false when it gives the
// wait up.
bool ReportLockWait(std::chrono::milliseconds waited, std::chrono::milliseconds bound, const std::function<QString()>& held);
// The span of one connection's call: when the outermost span ends (a call made inside another's
// wait is no end of it), the listener is told if it was told of a wait meanwhile.
class LockWaitSpan {
public:
    LockWaitSpan();
    ~LockWaitSpan();
    LockWaitSpan(const LockWaitSpan&) = delete;
    LockWaitSpan& operator=(const LockWaitSpan&) = delete;
};
// The databases held, as the texts name them: "la base de la casa central (VOLMA)" joined by " y ".
QString HeldText(const QStringList& held);
// The failures of a wait: it ran out (after `waited`, when known), or it was given up.
ProviderError LockTimedOut(const QStringList& held, std::optional<std::chrono::milliseconds> waited);
ProviderError LockWaitGivenUp(const QStringList& held);


using Row = std::vector<vb::Variant>;

// The rows of one result, read whole. For the updatable use, baseTable and baseColumns name
// where each field comes from (empty when it is an expression).
class RowSource {
public:
    std::vector<FieldInfo> fields;
    std::vector<Row> rows;
    QString baseTable;
    std::vector<QString> baseColumns;
};

// A result read one row at a time, for RowReader. fields describe the columns; a column without
// a declared type (an expression) reads as text until a value shows its type.
class RowCursor {
public:
    virtual ~RowCursor() = default;
    // Moves to the next row (the first on the first call); false after the last, and on every
    // call after that.
    virtual bool next() = 0;
    // A value of the current row; the caller checks the index and that there is a row. Reads
    // what next() fetched: it does not fail.
    virtual vb::Variant value(int index) const = 0;
    std::vector<FieldInfo> fields;
};

// A cursor over rows read whole (a batch, or the rows of a reader that reads whole first).
class WholeRowsCursor : public RowCursor {
public:
    // rows may be null: a statement that returned none gives no fields and no rows.
    explicit WholeRowsCursor(std::unique_ptr<RowSource> rows);
    bool next() override;
    vb::Variant value(int index) const override { return rows_[at_][static_cast<size_t>(index)]; }

private:
    std::vector<Row> rows_;
    size_t at_ = 0;
    bool started_ = false;
};

using FieldChanges = std::vector<std::pair<int, vb::Variant>>;

// A session's transactions as its caller holds them (see "Transactions" in ado.h). Every change
// is made after the engine confirmed it, or after reading back from the engine what the failure
// left.
struct TransactionState {
    int level = 0;         // the caller's open transactions: the outermost and the savepoints in it
    bool doomed = false;   // (level > 0) the engine ended the transaction, or kept work the caller
                           // rolled back: nothing more runs in it, only its rollback is taken
    bool owed = false;     // (level 0) the engine refused the last rollback: the session retries it
                           // before it runs anything else
};
// Ends an inner transaction (level above 1): the level goes down, and `undo(level)` rolls back to
// its savepoint, unless the transaction is doomed (its outermost rollback undoes everything). An
// undo the engine refuses dooms the transaction and raises, after `failed(e)` added what it must.
template <class Undo, class Failed>
void RollbackInner(TransactionState& t, Undo&& undo, Failed&& failed) {
    assert(t.level > 1);
    --t.level;
    if (t.doomed) return;
    try {
        undo(t.level);
    } catch (ProviderError& e) {
        failed(e);
        t.doomed = true;
        throw;
    }
}
// What a statement or a commit of a doomed transaction raises (SQL Server's 3930).
[[noreturn]] void ThrowDoomedTransaction();
// The entry that follows a failure after which the engine rolled the transaction back (3998).
ProviderError RolledBackByServer();

// What a session's statements (its commands' too) ask of its transaction.
class TransactionGate {
public:
    // Before a statement runs: settles a rollback owed, raises when the transaction is doomed.
    virtual void readyToRun() = 0;
    // After a statement failed: reads back from the engine what the failure left of the caller's
    // transaction; when the engine rolled it back, the failure is followed by RolledBackByServer.
    virtual void afterFailure(ProviderError& e) = 0;
    // After a statement ran.
    virtual void ran() {}

protected:
    ~TransactionGate() = default;
};

// Runs one statement's work through the gate.
template <typename F>
auto Gated(TransactionGate& gate, F&& f) -> decltype(f()) {
    gate.readyToRun();
    try {
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            gate.ran();
        } else {
            auto result = f();
            gate.ran();
            return result;
        }
    } catch (ProviderError& e) {
        gate.afterFailure(e);
        throw;
    }
}

class Session {
public:
    virtual ~Session() = default;
    virtual bool embedded() const = 0;
    // Runs a statement or a batch. Gives the rows of the last statement that returned rows (null
    // when none did); *affected receives the rows written.
    virtual std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual std::unique_ptr<RowSource> tables() = 0;
    virtual std::unique_ptr<RowSource> columns(const QString& table, const QString& column) = 0;
    virtual std::unique_ptr<Command> prepare(const QString& sql) = 0;
    // The rows of a query, read as the cursor moves (whole first when `whole`). A statement that
    // returns no rows runs and gives a cursor without fields.
    virtual std::unique_ptr<RowCursor> openCursor(const QString& sql, bool whole) = 0;
    // Writes the changed fields of one row, found by its original values.
    virtual void updateRow(const RowSource& rs, const Row& original, const FieldChanges& changes) = 0;
    virtual int transactionLevel() const = 0;
    virtual QString defaultDatabase() const = 0;
    virtual void setDefaultDatabase(const QString& name) = 0;
    // Seconds a statement may run before it is cancelled (0: no limit). The embedded provider has
    // no server to wait on and keeps its own wait for a locked file.
    virtual void setCommandTimeout(long seconds) { (void)seconds; }

    // Expires when the session ends: what was opened on it (a cursor) checks it before it
    // touches the session's handles again.
    std::weak_ptr<const bool> lifetime() const { return alive_; }

private:
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

// The update of one row, shared by the providers: the base column of every changed field
// (raises when the result or a changed field has none) ...
std::vector<QString> UpdatedColumns(const RowSource& rs, const FieldChanges& changes);
// ... and the UPDATE itself, prepared on the session: raises when it found no row to write.
void WriteOneRow(Session& session, const QString& sql, const std::vector<vb::Variant>& values);

// The parts of a connection text ("KEY=value;..."), keys trimmed and compared without case.
class ConnectionText {
public:
    explicit ConnectionText(const QString& text);
    QString value(std::initializer_list<const char*> keys) const;
    const std::vector<std::pair<QString, QString>>& items() const { return items_; }

private:
    std::vector<std::pair<QString, QString>> items_;
};

std::unique_ptr<Session> OpenEmbedded(const QString& folder, const QString& database);
std::unique_ptr<Session> OpenOdbc(const ConnectionText& text, const QString& user, const QString& password);

// The field description read from a column's declared type ("varchar(20)", "money", ...).
FieldInfo FieldFromDeclaredType(const QString& name, const char* declType);
// True for the types that hold dates.
bool IsDateType(int adoType);

}  // namespace ado
