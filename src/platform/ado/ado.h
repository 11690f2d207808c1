#pragma once
// The ADO surface the program uses: Connection, Recordset, Fields, Errors, OpenSchema.
//
// Two providers stand behind a Connection, chosen from its connection text:
//  - embedded: the text's Server (or a Jet "Data Source") names a local folder; database D is the
//    SQLite file <folder>/<D>.sqlite and statements in the SQL Server dialect are translated;
//  - odbc: anything else; PROVIDER names the ODBC driver as registered in odbcinst.ini and SQL
//    passes through unchanged.
//
// Failures raise vb::Error with ADO's numbers; the connection's Errors() then holds the server's
// SQL state and native error of the last call.
//
// The embedded provider answers as SQL Server does: texts compare without regard to case and
// trailing blanks wherever they meet (joins, IN, UNION, DISTINCT, GROUP BY and ORDER BY over
// expressions included); LIKE takes [a-c], [^a], [_] and [%]; char(n) reads padded to n; a
// date written day-first, as yyyymmdd (with or without a time) or in ISO form is a date where it
// meets a date column and the text it is anywhere else (a text column keeps it as written); + joins texts and adds numbers, a text beside a number is converted or
// refused; and what SQL Server refuses it refuses with SQL Server's native number in Errors:
// conversion failed (245, 241, 8114), arithmetic overflow (8115), divide by zero (8134),
// truncation (8152). Its dialect and its limits are in tsql.h.
//
// Batches. A batch runs its statements in order, as SQL Server runs one:
//  - a statement that fails for its data (duplicate key 2627/2601, Null into a NOT NULL column
//    515, a constraint 547, truncation 8152, arithmetic overflow 8115, divide by zero 8134) is
//    undone alone and the batch goes on with the next statement;
//  - any other failure (syntax, a missing table or column, a conversion 245/241/8114, a lock, a
//    lost connection) ends the batch there: what ran before it stays done, nothing after runs.
// When the batch ends, Execute raises the first error of it, and Errors holds every error of the
// batch in the order met (the ODBC provider: every diagnostic record the driver gives for each
// failed statement of the batch, the server's "statement has been terminated" included). Inside
// a transaction, the caller that sees an error rolls the transaction back to take back the whole.
// Drivers that take one statement a call (the SQLite ODBC driver) refuse a batch whole.
//
// Transactions, alike on both providers. transactionLevel() counts the caller's open
// transactions; BeginTrans, CommitTrans and RollbackTrans change it only once the engine has done
// the step, and after any failure what the engine holds is read back from it (SQLite's autocommit
// state; through ODBC, SQL Server's XACT_STATE(), or what the SQLite driver refuses).
//  - Nested: a transaction begun inside another is a savepoint of it (SAVEPOINT; SAVE TRANSACTION
//    on SQL Server). RollbackTrans at the inner level undoes the inner work only and the outer
//    transaction goes on; CommitTrans there hands the inner work to the outer transaction, which
//    commits or rolls back the whole.
//  - A commit the engine refuses (a deferred constraint, a locked file) raises and leaves the
//    transaction open at its level: the caller rolls it back, or commits again once it can.
//  - A failure after which the engine rolled the whole transaction back by itself (a full disk, an
//    I/O error, no memory; a server that ended it) raises its own error followed in Errors by
//    native 3998, SQL state 40000. The transaction is then doomed, at every level: statements and
//    commits raise 3930 (SQL state 25000) until RollbackTrans has ended the outermost level; each
//    RollbackTrans is taken. Nothing the caller runs meanwhile escapes into the engine's own
//    autocommit.
//  - A rollback the engine refuses still ends the caller's level (a savepoint's dooms the outer
//    transaction); the outermost is rolled back again before the next statement runs, which raises
//    while the engine still refuses.
//  - CommitTrans or RollbackTrans without a transaction raises (3902, 3903); the level stays 0.
// A statement's own failure on its data (see Batches) leaves the transaction to commit or roll back.
#include "platform/vb/error.h"
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace ado {

enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };
enum CursorTypeEnum { adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum { adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
enum SchemaEnum { adSchemaColumns = 4, adSchemaTables = 20 };
enum IsolationLevelEnum { adXactReadUncommitted = 256, adXactReadCommitted = 4096 };
enum CommandTypeEnum { adCmdText = 1, adCmdTable = 2 };
enum ExecuteOptionEnum { adExecuteNoRecords = 128 };

// DataTypeEnum numbers of Field::Type.
enum DataTypeEnum {
    adEmpty = 0, adSmallInt = 2, adInteger = 3, adSingle = 4, adDouble = 5, adCurrency = 6, adDate = 7,
    adBSTR = 8, adBoolean = 11, adDecimal = 14, adTinyInt = 16, adUnsignedTinyInt = 17, adBigInt = 20,
    adNumeric = 131, adDBDate = 133, adDBTime = 134, adDBTimeStamp = 135, adChar = 129, adWChar = 130,
    adVarChar = 200, adLongVarChar = 201, adVarWChar = 202, adLongVarWChar = 203, adBinary = 128,
    adVarBinary = 204, adLongVarBinary = 205,
};

class Connection;
class Recordset;
using ConnectionPtr = std::shared_ptr<Connection>;
using RecordsetPtr = std::shared_ptr<Recordset>;

struct ErrorItem {
    long Number = 0;
    QString Description;
    QString Source;
    QString SQLState;
    long NativeError = 0;
};

// The errors of the connection's last call.
class Errors {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear() { items_.clear(); }
    const ErrorItem& Item(int index) const;   // raises 3265 out of range
    void add(ErrorItem e) { items_.push_back(std::move(e)); }

private:
    std::vector<ErrorItem> items_;
};

struct FieldInfo {
    QString name;
    int type = adVarWChar;        // DataTypeEnum
    long definedSize = 0;         // characters for text, bytes otherwise
    int precision = 0;
    int numericScale = 0;
    bool nullable = true;
};

class RowSource;

// One field of a recordset's current row. It keeps its recordset and its description alive, so a
// field read after its recordset is closed raises 3704 instead of reading freed rows.
class Field {
public:
    const QString& Name() const { return info_->name; }
    int Type() const { return info_->type; }
    long DefinedSize() const { return info_->definedSize; }
    int Precision() const { return info_->precision; }
    int NumericScale() const { return info_->numericScale; }
    vb::Variant Value() const;                 // Null kept
    void setValue(const vb::Variant& v);       // for the updatable use: then Recordset::Update

private:
    friend class Recordset;
    Field(std::shared_ptr<Recordset> rs, std::shared_ptr<const RowSource> rows, const FieldInfo* info, int index)
        : rs_(std::move(rs)), rows_(std::move(rows)), info_(info), index_(index) {}
    std::shared_ptr<Recordset> rs_;
    std::shared_ptr<const RowSource> rows_;   // owns *info_
    const FieldInfo* info_;
    int index_;
};

// Internal to the ado layer (provider.h): the rows of a result, and one open provider session.
class Session;

// A prepared statement with "?" parameters, for the bulk work of the platform layers (the
// package engine's copy task, the benchmarks). SQL is in the provider's own dialect.
class Command {
public:
    virtual ~Command() = default;
    virtual int parameterCount() const = 0;
    virtual void bind(int index, const vb::Variant& value) = 0;   // index from 1
    virtual long execute() = 0;                                    // rows affected; keeps the bindings
};

class RowCursor;

// A forward-only, read-only reader of the rows of one query, for the bulk reading of the platform
// layers (the package engine's copy task): rows are read from the server as the reader moves, on
// its connection's own session (its transaction, its databases, its compare rule), so a million
// rows are never held at once. Values read as a Recordset's fields read them. Failures raise
// vb::Error and are kept in the connection's Errors; once its connection is closed the reader
// raises 3704.
class RowReader {
public:
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    int fieldCount() const;
    // The description of a column, raises 3265 out of range. A column without a declared type
    // (an expression) is described from its first value that is not Null; until then as text.
    const FieldInfo& field(int index) const;
    // Moves to the next row (the first on the first call); false after the last.
    bool next();
    // A value of the current row (Null kept). Raises 3021 without a current row, 3265 out of range.
    vb::Variant value(int index) const;

private:
    friend class Connection;
    RowReader(std::unique_ptr<RowCursor> cursor, const std::shared_ptr<Connection>& connection, std::weak_ptr<const bool> session);
    void requireSession() const;
    std::unique_ptr<RowCursor> cursor_;
    std::weak_ptr<Connection> connection_;
    std::weak_ptr<const bool> session_;   // expires with the session it reads on
    bool onRow_ = false;
};

// Whether a server text is a path, the embedded provider's folder: absolute, from "./" or "../",
// or holding "/" behind anything but a network protocol prefix ("tcp/HOST", "np/HOST") or a host
// and port ("host:1521/XE"); no server or instance name holds "/". A path that names no folder is refused as such, never tried as a
// server name.
bool IsFolderPath(const QString& server);

class Connection : public std::enable_shared_from_this<Connection> {
public:
    static ConnectionPtr Create();
    ~Connection();

    // Opens from a connection text ("PROVIDER=SQLOLEDB;Server=S;Database =D;UId=U;Pwd=W;" and the
    // Oracle and Jet forms). Raises 3705 when already open.
    void Open(const QString& connectionString = QString(), const QString& userId = QString(),
              const QString& password = QString(), long options = -1);
    void Close();                                   // raises 3704 when closed
    int State() const;

    // Runs a statement or a batch (see Batches above). A batch whose last statement returns rows
    // gives an open Recordset; otherwise a closed one (always with adExecuteNoRecords in the
    // options). recordsAffected receives the rows written.
    RecordsetPtr Execute(const QString& commandText, long* recordsAffected = nullptr, long options = -1);

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int transactionLevel() const;

    QString ConnectionString() const { return connectionString_; }
    void setConnectionString(const QString& s) { connectionString_ = s; }
    int CursorLocation() const { return cursorLocation_; }
    void setCursorLocation(int v) { cursorLocation_ = v; }
    long CommandTimeout() const { return commandTimeout_; }
    void setCommandTimeout(long v);   // applies to the statements run from then on
    int IsolationLevel() const { return isolationLevel_; }
    void setIsolationLevel(int v) { isolationLevel_ = v; }
    QString DefaultDatabase() const;
    void setDefaultDatabase(const QString& name);
    QString Provider() const;       // the provider named in the connection text

    Errors& errors() { return errors_; }

    // adSchemaTables (column TABLE_NAME, TABLE_TYPE) and adSchemaColumns (restrictions:
    // catalog, schema, table, column; columns TABLE_NAME, COLUMN_NAME, DATA_TYPE,
    // CHARACTER_MAXIMUM_LENGTH, NUMERIC_PRECISION, NUMERIC_SCALE, IS_NULLABLE).
    RecordsetPtr OpenSchema(int schema, const std::vector<vb::Variant>& restrictions = {});

    // The platform layers' bulk path (see Command).
    std::unique_ptr<Command> Prepare(const QString& sql);
    // The rows of a query (SQL as for Execute, or a bare table name as for Recordset::Open), read
    // as the reader moves. A batch gives, on the
    // embedded provider, the rows of its last statement that returns rows, as Execute does; through
    // ODBC its first result that has rows. With `whole` the
    // rows are read whole first: for a reader whose connection meanwhile writes to what it reads.
    // A statement that returns no rows gives a reader without fields.
    std::unique_ptr<RowReader> OpenReader(const QString& source, bool whole = false);
    // True for the embedded provider.
    bool isEmbedded() const;

private:
    Connection() = default;
    friend class Recordset;
    friend class RowReader;
    // The open session, or raises 3704.
    Session& session();
    std::unique_ptr<Session> session_;
    QString connectionString_;
    QString errorSource_;   // the Source of the errors of the open session: its provider's name
    int cursorLocation_ = adUseServer;
    long commandTimeout_ = 30;
    int isolationLevel_ = adXactReadCommitted;
    Errors errors_;
};

class Recordset : public std::enable_shared_from_this<Recordset> {
public:
    static RecordsetPtr Create();
    ~Recordset();

    // Opens on an SQL text (or a table name) over an open connection. Raises 3705 when open,
    // 3001/91 without a connection.
    void Open(const QString& source, const ConnectionPtr& connection, int cursorType = adOpenUnspecified,
              int lockType = adLockUnspecified, long options = -1);
    void Close();                                   // raises 3704 when closed
    int State() const;

    bool BOF() const;
    bool Eof() const;                               // EOF (a macro of the C library)
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    long RecordCount() const;                       // -1 for a forward-only cursor

    int CursorType() const { return cursorType_; }
    void setCursorType(int v) { cursorType_ = v; }
    int LockType() const { return lockType_; }
    void setLockType(int v) { lockType_ = v; }
    QString Source() const { return source_; }
    ConnectionPtr ActiveConnection() const { return connection_.lock(); }

    int fieldCount() const;
    Field Fields(int index) const;                  // raises 3265 out of range
    Field Fields(const QString& name) const;        // case ignored, first of duplicates; raises 3265

    // The updatable use: assign fields (Field::setValue), then Update writes the current row;
    // CancelUpdate drops the assignments.
    void Update();
    void CancelUpdate();

    // GetRows: the remaining rows, row-major.
    std::vector<std::vector<vb::Variant>> GetRows();

    // For the fault tests: sees every value read of a field of the current row (its description and
    // the value) and gives the value the caller reads, or raises as a provider whose conversion
    // fails; set after an opening, it serves until the recordset is closed. The program sets none.
    using ValueHook = std::function<vb::Variant(const FieldInfo&, const vb::Variant&)>;
    void setValueHook(ValueHook hook) { valueHook_ = std::move(hook); }

private:
    Recordset() = default;
    friend class Field;
    friend class Connection;
    // Takes a result the connection's session gave.
    void attach(const ConnectionPtr& connection, std::unique_ptr<RowSource> rows, const QString& source,
                int cursorType, int lockType);
    vb::Variant value(int index) const;
    void assign(int index, const vb::Variant& v);
    void requireOpen() const;
    void requireRow() const;

    std::shared_ptr<RowSource> rows_;
    std::weak_ptr<Connection> connection_;
    QString source_;
    int cursorType_ = adOpenForwardOnly;
    int lockType_ = adLockReadOnly;
    long pos_ = 0;          // 0-based row; -1 before the first (BOF), size() after the last (EOF)
    std::vector<std::pair<int, vb::Variant>> pending_;
    ValueHook valueHook_;
};

}  // namespace ado
