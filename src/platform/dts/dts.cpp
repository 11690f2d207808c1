#include "platform/dts/dts.h"

#include "platform/ado/ado.h"
#include "platform/ado/transaction.h"
#include "platform/vb/scope_guard.h"

namespace dts {
namespace {

// The OLE DB properties a SQL Server provider connection knows.
const char* const kOleDbPropertyNames[] = {
    "Integrated Security", "Persist Security Info", "User ID", "Initial Catalog", "Password",
    "Data Source", "Application Name", "Workstation ID", "Connect Timeout", "General Timeout",
    "Current Language", "Initial File Name", "Network Address", "Network Library", "Packet Size",
    "Use Procedure for Prepare", "Auto Translate", "Use Encryption for Data",
    "Tag with column collation when possible", "Locale Identifier", "Prompt",
};

QString PropertyText(const std::vector<OleDBProperty>& properties, const char* name) {
    for (const auto& p : properties)
        if (p.Name() == QLatin1String(name))
            return p.Value().text();
    return QString();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Connection

Connection::Connection(QString providerName) : provider_(std::move(providerName)) {
    for (const char* name : kOleDbPropertyNames)
        properties_.emplace_back(QString::fromLatin1(name));
}

Connection::~Connection() { close(); }

OleDBProperty& Connection::ConnectionProperties(const QString& name) {
    for (auto& p : properties_)
        if (p.Name().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    vb::Raise(vb::kErrAdoItemNotFound,
              QStringLiteral("El proveedor %1 no tiene la propiedad '%2'.").arg(provider_, name));
}

QString Connection::serverName() const {
    return DataSource_.isEmpty() ? PropertyText(properties_, "Data Source") : DataSource_;
}

QString Connection::connectionText() const {
    const QString server = serverName();
    const QString catalog = Catalog_.isEmpty() ? PropertyText(properties_, "Initial Catalog") : Catalog_;
    const QString user = UserID_.isEmpty() ? PropertyText(properties_, "User ID") : UserID_;
    const QString password = Password_.isEmpty() ? PropertyText(properties_, "Password") : Password_;
    return QStringLiteral("PROVIDER=%1;Server=%2;Database =%3;UId=%4;Pwd=%5;")
        .arg(provider_, server, catalog, user, password);
}

std::shared_ptr<ado::Connection> Connection::open() {
    if (live_ && live_->State() == ado::adStateOpen)
        return live_;
    auto connection = ado::Connection::Create();
    connection->Open(connectionText());
    live_ = connection;
    return live_;
}

void Connection::close() {
    if (live_ && live_->State() == ado::adStateOpen) {
        try {
            live_->Close();
        } catch (const vb::Error&) {
            // closing a connection that is gone already: nothing left to release
        }
    }
    live_.reset();
}

bool Connection::isOpen() const { return live_ && live_->State() == ado::adStateOpen; }

std::shared_ptr<Connection> Connections::New(const QString& providerName) const {
    return std::make_shared<Connection>(providerName);
}

std::shared_ptr<Connection> Connections::byID(long id) const {
    for (const auto& c : items_)
        if (c->ID() == id)
            return c;
    vb::Raise(vb::kErrAdoItemNotFound, QStringLiteral("No hay una conexión con el identificador %1.").arg(id));
}

// ---------------------------------------------------------------------------------------------
// Columns, transformations, tasks

std::shared_ptr<Column> Columns::New(const QString& name, long ordinal) const {
    return std::make_shared<Column>(name, ordinal);
}

std::shared_ptr<Transformation> Transformations::New(const QString& className) const {
    if (className.compare(u"DTS.DataPumpTransformCopy", Qt::CaseInsensitive) != 0 &&
        className.compare(u"DTSPump.DataPumpTransformCopy", Qt::CaseInsensitive) != 0)
        vb::Raise(kErrDtsCannotCreate, QStringLiteral("Clase de transformación desconocida: '%1'.").arg(className));
    return std::make_shared<Transformation>(className);
}

std::shared_ptr<Task> Tasks::New(const QString& taskKind) const {
    std::shared_ptr<CustomTask> custom;
    if (taskKind.compare(u"DTSExecuteSQLTask", Qt::CaseInsensitive) == 0)
        custom = std::make_shared<ExecuteSQLTask>();
    else if (taskKind.compare(u"DTSDataPumpTask", Qt::CaseInsensitive) == 0)
        custom = std::make_shared<DataPumpTask>();
    else
        vb::Raise(kErrDtsCannotCreate, QStringLiteral("Clase de tarea desconocida: '%1'.").arg(taskKind));
    return std::make_shared<Task>(std::move(custom));
}

void ExecuteSQLTask::execute(Package& package) {
    auto connection = package.Connections().byID(ConnectionID_)->open();
    vb::ScopeGuard restore([connection, timeout = connection->CommandTimeout()] {
        try {
            connection->setCommandTimeout(timeout);
        } catch (const vb::Error&) {
            // a connection that failed under the statement takes no more settings
        }
    });
    connection->setCommandTimeout(CommandTimeout_);
    connection->Execute(SQLStatement_);
}

// ---------------------------------------------------------------------------------------------
// Steps

std::shared_ptr<PrecedenceConstraint> PrecedenceConstraints::New(const QString& stepName) const {
    return std::make_shared<PrecedenceConstraint>(stepName);
}

Step::Step(std::weak_ptr<Package> package)
    : ExecutionStatus_(DTSStepExecStat_Waiting), package_(std::move(package)) {}

void Step::Execute() {
    auto package = package_.lock();
    if (!package)
        vb::Raise(vb::kErrObjectNotSet);
    if (DisableStep_) {
        ExecutionStatus_ = DTSStepExecStat_Inactive;
        result_ = DTSStepExecResult_Success;
        error_.clear();
        return;
    }
    auto task = package->Tasks().Item(TaskName_);
    ExecutionStatus_ = DTSStepExecStat_InProgress;
    result_ = DTSStepExecResult_Success;
    error_.clear();
    errorCode_ = 0;
    try {
        if (package->UseTransaction() && JoinTransactionIfPresent_)
            package->joinTransaction(task->CustomTask()->writeConnectionID());
        task->CustomTask()->execute(*package);
    } catch (const vb::Error& e) {
        result_ = DTSStepExecResult_Failure;
        error_ = e.description();
        errorCode_ = e.number();
    } catch (const std::exception& e) {
        result_ = DTSStepExecResult_Failure;
        error_ = QString::fromLocal8Bit(e.what());
        errorCode_ = vb::kHrUnspecified;
    }
    if (CloseConnection_)
        for (const auto& c : package->Connections())
            if (!package->holdsTransaction(*c))
                c->close();
    ExecutionStatus_ = DTSStepExecStat_Completed;
}

std::shared_ptr<Step> Steps::New() const { return std::make_shared<Step>(package_); }

// ---------------------------------------------------------------------------------------------
// Package

std::shared_ptr<Package> Package::Create() {
    std::shared_ptr<Package> package(new Package());
    package->steps_ = std::make_unique<dts::Steps>(package);
    return package;
}

// One connection's part of the package's transaction: the connection it was begun on (kept
// open while the transaction lives) and its guard, which rolls back unless committed.
struct Package::HeldTransaction {
    std::shared_ptr<Connection> connection;
    std::shared_ptr<ado::Connection> live;
    ado::Transaction transaction;
    HeldTransaction(std::shared_ptr<Connection> c, std::shared_ptr<ado::Connection> l)
        : connection(std::move(c)), live(std::move(l)), transaction(*live) {}
};

Package::~Package() { UnInitialize(); }

void Package::UnInitialize() {
    RollbackTransaction();
    for (const auto& c : connections_)
        c->close();
}

void Package::joinTransaction(long connectionID) {
    auto connection = connections_.byID(connectionID);
    if (holdsTransaction(*connection))
        return;
    auto live = connection->open();
    transactions_.push_back(std::make_unique<HeldTransaction>(connection, live));
}

bool Package::holdsTransaction(const Connection& connection) const {
    for (const auto& t : transactions_)
        if (t->connection.get() == &connection)
            return true;
    return false;
}

void Package::ExecuteInTransaction(long connectionID, const QString& statement) {
    joinTransaction(connectionID);
    connections_.byID(connectionID)->open()->Execute(statement);
}

void Package::CommitTransaction() {
    // Each part leaves the list as it is committed; on a failure the rest is rolled back.
    vb::ScopeGuard rest([this] { RollbackTransaction(); });
    while (!transactions_.empty()) {
        transactions_.front()->transaction.Commit();
        transactions_.erase(transactions_.begin());
    }
    rest.dismiss();
}

void Package::RollbackTransaction() {
    // The guards roll back as they go; the last one begun goes first.
    while (!transactions_.empty())
        transactions_.pop_back();
}

}  // namespace dts
