#pragma once
// The data-transformation package the send builds in memory: a package with its connections,
// steps (with their precedence constraints) and tasks. Two kinds of task run here: the Execute
// SQL task, which runs a statement batch on one connection, and the data-pump task, which copies
// the rows of a source query into a destination table through column-copy transformations.
//
// The engine is synchronous: Step::Execute runs the step's task at once, on the caller's thread,
// and leaves ExecutionStatus 4 (completed) and ExecutionResult 0 (success) or 1 (failure), with
// the failure's text in ErrorDescription. A task failure never raises to the caller; a misuse of
// the object model does (vb::Error: an unknown or duplicate name, an unknown class, a position
// out of range, a custom task of another kind).
//
// The package's transaction: when the package has UseTransaction and a step has
// JoinTransactionIfPresent, the step's work stays in one transaction on the connection its task
// writes to, together with the work of every other joining step, until the caller commits it with
// Package::CommitTransaction. Whatever is not committed is rolled back by RollbackTransaction,
// UnInitialize or the package's end, so a run that stops halfway leaves the destination as it was.
//
// Usage follows the object model: New on a collection makes an object, its properties are set,
// Add puts it into the collection.
//
//   auto package = dts::Package::Create();
//   auto task = package->Tasks().New("DTSDataPumpTask");
//   auto pump = dts::CustomTaskAs<dts::DataPumpTask>(*task);
//   auto tr = pump->Transformations().New("DTS.DataPumpTransformCopy");
//   auto col = tr->SourceColumns().New("ARTI", 1);
//   ...
//   package->Tasks().Add(task);
#include "platform/vb/error.h"
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace ado {
class Connection;
}

namespace dts {

// A plain property: Name() reads it, setName(v) writes it.
#define KORV_DTS_PROPERTY(Type, Name)                              \
public:                                                            \
    const Type& Name() const { return Name##_; }                   \
    void set##Name(const Type& value) { Name##_ = value; }         \
private:                                                           \
    Type Name##_{};

enum StepExecStatus {
    DTSStepExecStat_Waiting = 1,
    DTSStepExecStat_InProgress = 2,
    DTSStepExecStat_Inactive = 3,
    DTSStepExecStat_Completed = 4,
};
enum StepExecResult { DTSStepExecResult_Success = 0, DTSStepExecResult_Failure = 1 };
enum StepPrecedenceBasis { DTSStepPrecedenceBasis_ExecStatus = 0, DTSStepPrecedenceBasis_ExecResult = 1 };

// OLE DB column flags of a Column.
enum ColumnFlags {
    DBCOLUMNFLAGS_WRITEUNKNOWN = 8,
    DBCOLUMNFLAGS_ISFIXEDLENGTH = 16,
    DBCOLUMNFLAGS_ISNULLABLE = 32,
    DBCOLUMNFLAGS_MAYBENULL = 64,
};

// OLE DB type indicators of Column::DataType.
enum ColumnType {
    DBTYPE_I4 = 3,
    DBTYPE_R8 = 5,
    DBTYPE_CY = 6,
    DBTYPE_BOOL = 11,
    DBTYPE_STR = 129,
    DBTYPE_WSTR = 130,
    DBTYPE_NUMERIC = 131,
    DBTYPE_DBTIMESTAMP = 135,
};

// Bits of Transformation::TransformFlags that the copy honours.
enum TransformFlags {
    DTSTransformFlag_AllowStringTruncation = 8,
    DTSTransformFlag_AllowNumericTruncation = 16,
    DTSTransformFlag_Default = 63,
};

class Package;
class Step;
class Task;
class CustomTask;

// Errors the object model raises.
enum ErrorNumber : long {
    kErrDtsDuplicateName = 457,    // an object of that name is already in the collection
    kErrDtsCannotCreate = 429,     // unknown task or transformation class
};

// A collection of named objects: item by name (case ignored) or by position from 1, in the
// order of Add. Add raises kErrDtsDuplicateName for a name already held; Item raises 3265 for a
// name not held and 9 for a position out of range.
template <class T>
class NamedCollection {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    std::shared_ptr<T> Item(int position) const;
    std::shared_ptr<T> Item(const QString& name) const;
    void Add(const std::shared_ptr<T>& item);
    void Remove(const QString& name);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    std::vector<std::shared_ptr<T>> items_;
};

// ---------------------------------------------------------------------------------------------
// Connections

class OleDBProperty {
public:
    explicit OleDBProperty(QString name) : name_(std::move(name)) {}
    const QString& Name() const { return name_; }
    const vb::Variant& Value() const { return value_; }
    void setValue(const vb::Variant& v) { value_ = v; }

private:
    QString name_;
    vb::Variant value_;
};

class Connection {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(long, ID)
    KORV_DTS_PROPERTY(bool, Reusable)
    KORV_DTS_PROPERTY(bool, ConnectImmediate)
    KORV_DTS_PROPERTY(QString, DataSource)
    KORV_DTS_PROPERTY(QString, UserID)
    KORV_DTS_PROPERTY(QString, Password)
    KORV_DTS_PROPERTY(long, ConnectionTimeout)
    KORV_DTS_PROPERTY(QString, Catalog)
    KORV_DTS_PROPERTY(bool, UseTrustedConnection)
    KORV_DTS_PROPERTY(bool, UseDSL)

public:
    explicit Connection(QString providerName);
    ~Connection();
    const QString& ProviderID() const { return provider_; }

    // The provider's OLE DB property of that name ("Data Source", "Initial Catalog", "User ID",
    // "Password", "Integrated Security", ...). Raises 3265 for a name the provider does not know.
    OleDBProperty& ConnectionProperties(const QString& name);

    // The connection text the engine opens: PROVIDER, Server (DataSource), Database (Catalog),
    // UId and Pwd; each falls back to its OLE DB property when the connection's own is empty.
    QString connectionText() const;
    // The server of that text (the folder of an embedded connection).
    QString serverName() const;

    // Engine side: the open ado connection, opened on first use; closed by close().
    std::shared_ptr<ado::Connection> open();
    void close();
    bool isOpen() const;

private:
    QString provider_;
    std::vector<OleDBProperty> properties_;
    std::shared_ptr<ado::Connection> live_;
};

class Connections : public NamedCollection<Connection> {
public:
    std::shared_ptr<Connection> New(const QString& providerName) const;
    // By the connection's ID; raises 3265 when no connection has it.
    std::shared_ptr<Connection> byID(long id) const;
};

// ---------------------------------------------------------------------------------------------
// Columns and transformations

class Column {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(long, Ordinal)
    KORV_DTS_PROPERTY(long, Flags)
    KORV_DTS_PROPERTY(long, Size)
    KORV_DTS_PROPERTY(long, DataType)
    KORV_DTS_PROPERTY(long, Precision)
    KORV_DTS_PROPERTY(long, NumericScale)
    KORV_DTS_PROPERTY(bool, Nullable)

public:
    Column(const QString& name, long ordinal) : Name_(name), Ordinal_(ordinal) {}
};

class Columns : public NamedCollection<Column> {
public:
    std::shared_ptr<Column> New(const QString& name, long ordinal) const;
};

class Transformation {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(long, TransformFlags)
    KORV_DTS_PROPERTY(long, ForceSourceBlobsBuffered)
    KORV_DTS_PROPERTY(bool, ForceBlobsInMemory)
    KORV_DTS_PROPERTY(long, InMemoryBlobSize)
    KORV_DTS_PROPERTY(long, TransformPhases)

public:
    explicit Transformation(QString className)
        : TransformFlags_(DTSTransformFlag_Default), className_(std::move(className)) {}
    const QString& TransformServerID() const { return className_; }
    Columns& SourceColumns() { return source_; }
    Columns& DestinationColumns() { return destination_; }
    const Columns& SourceColumns() const { return source_; }
    const Columns& DestinationColumns() const { return destination_; }

private:
    QString className_;
    Columns source_;
    Columns destination_;
};

class Transformations : public NamedCollection<Transformation> {
public:
    // "DTS.DataPumpTransformCopy" or "DTSPump.DataPumpTransformCopy" (case ignored); any other
    // class raises kErrDtsCannotCreate.
    std::shared_ptr<Transformation> New(const QString& className) const;
};

// ---------------------------------------------------------------------------------------------
// Tasks

class CustomTask {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(QString, Description)

public:
    virtual ~CustomTask() = default;
    virtual QString className() const = 0;
    // The ID of the connection the task writes to: the one a joining step's transaction covers.
    virtual long writeConnectionID() const = 0;
    // Runs the task against the package's connections. Raises vb::Error on failure.
    virtual void execute(Package& package) = 0;
};

class ExecuteSQLTask : public CustomTask {
    KORV_DTS_PROPERTY(QString, SQLStatement)
    KORV_DTS_PROPERTY(long, ConnectionID)
    KORV_DTS_PROPERTY(long, CommandTimeout)
    KORV_DTS_PROPERTY(bool, OutputAsRecordset)

public:
    QString className() const override { return QStringLiteral("DTSExecuteSQLTask"); }
    long writeConnectionID() const override { return ConnectionID_; }
    void execute(Package& package) override;
};

// The copy: every row of the source (SourceSQLStatement, or SELECT * FROM SourceObjectName) on
// SourceConnectionID into DestinationObjectName on DestinationConnectionID, in one transaction,
// each value converted to its destination column (see column_conversion.h); the first row that
// cannot be written rolls the copy back and fails it (inside the package's transaction the copy is
// a nested transaction: a savepoint on the embedded provider; through ODBC its rows stay until the
// package's transaction is rolled back). Every ProgressRowCount rows, and once after the last
// row, the package's OnProgress handler is told the rows copied so far. The other settings
// (FirstRow, LastRow, MaximumErrorCount, InsertCommitSize, fast load, exception file) are kept as
// set; the copy behaves as the send sets them: all rows, no error allowed, one commit.
class DataPumpTask : public CustomTask {
    KORV_DTS_PROPERTY(long, SourceConnectionID)
    KORV_DTS_PROPERTY(QString, SourceSQLStatement)
    KORV_DTS_PROPERTY(QString, SourceObjectName)
    KORV_DTS_PROPERTY(long, DestinationConnectionID)
    KORV_DTS_PROPERTY(QString, DestinationObjectName)
    KORV_DTS_PROPERTY(long, ProgressRowCount)
    KORV_DTS_PROPERTY(long, MaximumErrorCount)
    KORV_DTS_PROPERTY(long, FetchBufferSize)
    KORV_DTS_PROPERTY(bool, UseFastLoad)
    KORV_DTS_PROPERTY(long, InsertCommitSize)
    KORV_DTS_PROPERTY(QString, ExceptionFileColumnDelimiter)
    KORV_DTS_PROPERTY(QString, ExceptionFileRowDelimiter)
    KORV_DTS_PROPERTY(bool, AllowIdentityInserts)
    KORV_DTS_PROPERTY(vb::Variant, FirstRow)
    KORV_DTS_PROPERTY(vb::Variant, LastRow)
    KORV_DTS_PROPERTY(long, FastLoadOptions)
    KORV_DTS_PROPERTY(long, ExceptionFileOptions)
    KORV_DTS_PROPERTY(long, DataPumpOptions)

public:
    QString className() const override { return QStringLiteral("DTSDataPumpTask"); }
    long writeConnectionID() const override { return DestinationConnectionID_; }
    dts::Transformations& Transformations() { return transformations_; }
    const dts::Transformations& Transformations() const { return transformations_; }
    // Rows written by the last run (0 after a failed run: its transaction was rolled back).
    long rowsCopied() const { return rowsCopied_; }
    void execute(Package& package) override;

private:
    dts::Transformations transformations_;
    long rowsCopied_ = 0;
};

class Task {
    KORV_DTS_PROPERTY(QString, Name)

public:
    explicit Task(std::shared_ptr<dts::CustomTask> custom) : custom_(std::move(custom)) {}
    const QString& Description() const { return custom_->Description(); }
    const std::shared_ptr<dts::CustomTask>& CustomTask() const { return custom_; }
    QString CustomTaskID() const { return custom_->className(); }

private:
    std::shared_ptr<dts::CustomTask> custom_;
};

// The task's custom task as the given kind; raises 13 (type mismatch) when it is another kind.
template <class T>
std::shared_ptr<T> CustomTaskAs(const Task& task) {
    auto typed = std::dynamic_pointer_cast<T>(task.CustomTask());
    if (!typed)
        vb::Raise(vb::kErrTypeMismatch);
    return typed;
}

class Tasks : public NamedCollection<Task> {
public:
    // "DTSExecuteSQLTask" or "DTSDataPumpTask" (case ignored); any other kind raises
    // kErrDtsCannotCreate.
    std::shared_ptr<Task> New(const QString& taskKind) const;
};

// ---------------------------------------------------------------------------------------------
// Steps

class PrecedenceConstraint {
    KORV_DTS_PROPERTY(QString, StepName)
    KORV_DTS_PROPERTY(long, PrecedenceBasis)
    KORV_DTS_PROPERTY(vb::Variant, Value)

public:
    explicit PrecedenceConstraint(const QString& stepName) : StepName_(stepName) {}
    const QString& Name() const { return StepName_; }   // held in the collection by step name
};

class PrecedenceConstraints : public NamedCollection<PrecedenceConstraint> {
public:
    std::shared_ptr<PrecedenceConstraint> New(const QString& stepName) const;
};

class Step {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(QString, Description)
    KORV_DTS_PROPERTY(long, ExecutionStatus)
    KORV_DTS_PROPERTY(QString, TaskName)
    KORV_DTS_PROPERTY(bool, CommitSuccess)
    KORV_DTS_PROPERTY(bool, RollbackFailure)
    KORV_DTS_PROPERTY(QString, ScriptLanguage)
    KORV_DTS_PROPERTY(bool, AddGlobalVariables)
    KORV_DTS_PROPERTY(long, RelativePriority)
    KORV_DTS_PROPERTY(bool, CloseConnection)
    KORV_DTS_PROPERTY(bool, ExecuteInMainThread)
    KORV_DTS_PROPERTY(bool, IsPackageDSORowset)
    KORV_DTS_PROPERTY(bool, JoinTransactionIfPresent)
    KORV_DTS_PROPERTY(bool, DisableStep)
    KORV_DTS_PROPERTY(bool, FailPackageOnError)

public:
    explicit Step(std::weak_ptr<Package> package);
    dts::PrecedenceConstraints& PrecedenceConstraints() { return constraints_; }

    // Runs the step's task now (a disabled step only becomes inactive), inside the package's
    // transaction when the step joins it. Raises only when the step is not usable (its package is
    // gone, no task of its TaskName): a failing task, or a transaction that cannot be begun, sets
    // ExecutionResult 1 and ErrorDescription instead. CloseConnection leaves open the connections
    // that hold the package's transaction.
    void Execute();
    long ExecutionResult() const { return result_; }
    const QString& ErrorDescription() const { return error_; }
    long ErrorCode() const { return errorCode_; }   // the failure's number; 0 without one

private:
    std::weak_ptr<Package> package_;
    dts::PrecedenceConstraints constraints_;
    long result_ = DTSStepExecResult_Success;
    QString error_;
    long errorCode_ = 0;
};

class Steps : public NamedCollection<Step> {
public:
    explicit Steps(std::weak_ptr<Package> package) : package_(std::move(package)) {}
    std::shared_ptr<Step> New() const;

private:
    std::weak_ptr<Package> package_;
};

// ---------------------------------------------------------------------------------------------
// Package

class Package : public std::enable_shared_from_this<Package> {
    KORV_DTS_PROPERTY(QString, Name)
    KORV_DTS_PROPERTY(bool, WriteCompletionStatusToNTEventLog)
    KORV_DTS_PROPERTY(bool, FailOnError)
    KORV_DTS_PROPERTY(long, PackagePriorityClass)
    KORV_DTS_PROPERTY(long, MaxConcurrentSteps)
    KORV_DTS_PROPERTY(long, LineageOptions)
    KORV_DTS_PROPERTY(bool, UseTransaction)
    KORV_DTS_PROPERTY(long, TransactionIsolationLevel)
    KORV_DTS_PROPERTY(bool, AutoCommitTransaction)
    KORV_DTS_PROPERTY(long, RepositoryMetadataOptions)
    KORV_DTS_PROPERTY(bool, UseOLEDBServiceComponents)
    KORV_DTS_PROPERTY(bool, LogToSQLServer)
    KORV_DTS_PROPERTY(long, LogServerFlags)
    KORV_DTS_PROPERTY(bool, FailPackageOnLogFailure)
    KORV_DTS_PROPERTY(bool, ExplicitGlobalVariables)
    KORV_DTS_PROPERTY(long, PackageType)

public:
    static std::shared_ptr<Package> Create();
    ~Package();

    dts::Connections& Connections() { return connections_; }
    dts::Steps& Steps() { return *steps_; }
    const dts::Steps& Steps() const { return *steps_; }
    dts::Tasks& Tasks() { return tasks_; }

    // Rolls back the package's transaction when one is open and closes the connections the steps
    // opened. The package stays usable.
    void UnInitialize();

    // The package's transaction (see the top of this file). CommitTransaction commits it on every
    // connection it holds, one after the other (there is no two-phase commit over several
    // connections); a failing commit raises and rolls back what was not committed yet.
    // RollbackTransaction drops it; a rollback the server refuses is not reported, since closing
    // the connection drops the work as well. Both do nothing when no transaction is open.
    void CommitTransaction();
    void RollbackTransaction();
    // Runs a statement on the connection of that ID inside the package's transaction, joining it
    // there when it is not yet: work that must be committed, or dropped, with the steps' work.
    void ExecuteInTransaction(long connectionID, const QString& statement);
    bool InTransaction() const { return !transactions_.empty(); }
    // Engine side: puts the connection of that ID into the package's transaction, beginning it
    // there when it is not yet.
    void joinTransaction(long connectionID);
    bool holdsTransaction(const Connection& connection) const;

    // Told of a running copy's progress: the copy task's name and the rows copied so far. Runs on
    // the caller's thread, between rows; it must not run the package's steps.
    using ProgressHandler = std::function<void(const QString& EventSource, long ProgressCount)>;
    void setOnProgress(ProgressHandler handler) { onProgress_ = std::move(handler); }
    void OnProgress(const QString& EventSource, long ProgressCount) const {
        if (onProgress_) onProgress_(EventSource, ProgressCount);
    }

private:
    Package() = default;
    struct HeldTransaction;
    dts::Connections connections_;
    std::unique_ptr<dts::Steps> steps_;
    dts::Tasks tasks_;
    std::vector<std::unique_ptr<HeldTransaction>> transactions_;
    ProgressHandler onProgress_;
};

#undef KORV_DTS_PROPERTY

// ---------------------------------------------------------------------------------------------

template <class T>
std::shared_ptr<T> NamedCollection<T>::Item(int position) const {
    if (position < 1 || position > Count())
        vb::Raise(vb::kErrSubscriptOutOfRange);
    return items_[static_cast<size_t>(position - 1)];
}

template <class T>
std::shared_ptr<T> NamedCollection<T>::Item(const QString& name) const {
    for (const auto& item : items_)
        if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
            return item;
    vb::Raise(vb::kErrAdoItemNotFound, QStringLiteral("No se encontró el elemento '%1' en la colección.").arg(name));
}

template <class T>
void NamedCollection<T>::Add(const std::shared_ptr<T>& item) {
    if (!item)
        vb::Raise(vb::kErrObjectNotSet);
    for (const auto& held : items_)
        if (held->Name().compare(item->Name(), Qt::CaseInsensitive) == 0)
            vb::Raise(kErrDtsDuplicateName, QStringLiteral("Ya existe un elemento con el nombre '%1'.").arg(item->Name()));
    items_.push_back(item);
}

template <class T>
void NamedCollection<T>::Remove(const QString& name) {
    for (auto it = items_.begin(); it != items_.end(); ++it)
        if ((*it)->Name().compare(name, Qt::CaseInsensitive) == 0) {
            items_.erase(it);
            return;
        }
    vb::Raise(vb::kErrAdoItemNotFound, QStringLiteral("No se encontró el elemento '%1' en la colección.").arg(name));
}

}  // namespace dts
