#include "platform/ado/ado.h"

#include "platform/ado/provider.h"

#include <QDir>
#include <QFileInfo>

namespace ado {

namespace {

const QString kSourceConnection = QStringLiteral("ADODB.Connection");
const QString kSourceRecordset = QStringLiteral("ADODB.Recordset");
const QString kSourceField = QStringLiteral("ADODB.Field");

constexpr long kErrNoCurrentRecord = 3021;
constexpr long kErrNotUpdatable = 3251;

[[noreturn]] void RaiseAdo(long number, const QString& source) {
    QString text;
    switch (number) {
    case vb::kErrAdoAlreadyOpen: text = QStringLiteral("Operation is not allowed when the object is open."); break;
    case vb::kErrAdoClosed: text = QStringLiteral("Operation is not allowed when the object is closed."); break;
    case vb::kErrAdoNotAllowed: text = QStringLiteral("Operation is not allowed in this context."); break;
    case vb::kErrAdoItemNotFound:
        text = QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal.");
        break;
    case kErrNoCurrentRecord:
        text = QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                              "requires a current record.");
        break;
    case kErrNotUpdatable: text = QStringLiteral("Current Recordset does not support updating."); break;
    default: vb::Raise(number, QString(), source);
    }
    throw vb::Error(number, text, source);
}

}  // namespace

void ThrowProvider(long number, const QString& description, const QString& sqlState, long nativeError) {
    throw ProviderError{number, description, sqlState, nativeError, {}};
}

// ---------------------------------------------------------------------------------------------
// Errors

const ErrorItem& Errors::Item(int index) const {
    if (index < 0 || index >= Count()) RaiseAdo(vb::kErrAdoItemNotFound, QStringLiteral("ADODB.Errors"));
    return items_[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------------
// Connection text

ConnectionText::ConnectionText(const QString& text) {
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (!part.trimmed().isEmpty()) items_.emplace_back(part.trimmed(), QString());
            continue;
        }
        items_.emplace_back(part.left(eq).trimmed(), part.mid(eq + 1).trimmed());
    }
}

QString ConnectionText::value(std::initializer_list<const char*> keys) const {
    for (const char* key : keys) {
        for (const auto& [k, v] : items_) {
            if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0) return v;
        }
    }
    return QString();
}

// ---------------------------------------------------------------------------------------------
// Connection

ConnectionPtr Connection::Create() { return ConnectionPtr(new Connection()); }

Connection::~Connection() {
    if (session_) {
        try {
            session_.reset();
        } catch (...) {
        }
    }
}

namespace {

// Runs one provider call, keeping its errors in the connection's Errors and raising them as ADO
// errors. A wait for another connection's lock it made is over when it ends (lock_wait.h).
template <typename F>
auto Guarded(Errors& errors, const QString& source, F&& f) -> decltype(f()) {
    errors.Clear();
    LockWaitSpan span;
    try {
        return f();
    } catch (const ProviderError& e) {
        errors.add(ErrorItem{e.number, e.description, source, e.sqlState, e.nativeError});
        for (const ProviderError& f : e.following) errors.add(ErrorItem{f.number, f.description, source, f.sqlState, f.nativeError});
        throw vb::Error(e.number, e.description, source);
    }
}

}  // namespace

bool IsFolderPath(const QString& server) {
    if (QDir::isAbsolutePath(server) || server.startsWith(QLatin1String("./")) || server.startsWith(QLatin1String("../")))
        return true;
    const qsizetype slash = server.indexOf(u'/');
    // No "/", or a host and port before it ("host:1521/XE", an Oracle easy-connect name).
    if (slash < 0 || server.left(slash).contains(u':')) return false;
    static const QStringList protocols = {QStringLiteral("tcp"), QStringLiteral("np"),   QStringLiteral("lpc"),
                                          QStringLiteral("spx"), QStringLiteral("adsp"), QStringLiteral("rpc"),
                                          QStringLiteral("via"), QStringLiteral("admin")};
    return !protocols.contains(server.left(slash).trimmed(), Qt::CaseInsensitive);
}

void Connection::Open(const QString& connectionString, const QString& userId, const QString& password, long) {
    if (session_) RaiseAdo(vb::kErrAdoAlreadyOpen, kSourceConnection);
    if (!connectionString.isEmpty()) connectionString_ = connectionString;
    const ConnectionText text(connectionString_);
    const QString provider = text.value({"Provider"});
    const QString source = provider.isEmpty() ? kSourceConnection : provider;
    errorSource_ = source;
    session_ = Guarded(errors_, source, [&]() -> std::unique_ptr<Session> {
        const QString server = text.value({"Server", "Data Source", "Address", "Addr"});
        // Only a path is taken as a folder, so that a server name never meets a folder of the
        // working directory by chance.
        if (IsFolderPath(server)) {
            const QFileInfo where(server);
            if (where.isDir()) {
                return OpenEmbedded(where.absoluteFilePath(), text.value({"Database", "Initial Catalog"}));
            }
            // A Jet text names the database file itself: its folder holds the database of that
            // name ("C:/datos/BASE.mdb" is BASE in that folder).
            if (text.value({"Server"}).isEmpty() && QFileInfo(where.absolutePath()).isDir() &&
                !where.completeBaseName().isEmpty()) {
                return OpenEmbedded(where.absolutePath(), where.completeBaseName());
            }
            // A path that names no folder is a mistyped server, not an ODBC server name.
            ThrowProvider(vb::kHrUnspecified,
                          QStringLiteral("The database folder \"%1\" does not exist.").arg(server),
                          QStringLiteral("08001"), native::kNone);
        }
        return OpenOdbc(text, userId, password);
    });
    session_->setCommandTimeout(commandTimeout_);
}

void Connection::setCommandTimeout(long v) {
    commandTimeout_ = v;
    if (session_) session_->setCommandTimeout(v);
}

void Connection::Close() {
    if (!session_) RaiseAdo(vb::kErrAdoClosed, kSourceConnection);
    errors_.Clear();
    session_.reset();
}

int Connection::State() const { return session_ ? adStateOpen : adStateClosed; }

Session& Connection::session() {
    if (!session_) RaiseAdo(vb::kErrAdoClosed, kSourceConnection);
    return *session_;
}

bool Connection::isEmbedded() const { return session_ && session_->embedded(); }

QString Connection::Provider() const { return ConnectionText(connectionString_).value({"Provider"}); }

RecordsetPtr Connection::Execute(const QString& commandText, long* recordsAffected, long options) {
    Session& s = session();
    long affected = 0;
    auto rows = Guarded(errors_, errorSource_, [&] { return s.execute(commandText, &affected, false); });
    if (recordsAffected) *recordsAffected = affected;
    RecordsetPtr rs = Recordset::Create();
    if (rows && (options == -1 || (options & adExecuteNoRecords) == 0)) {
        rs->attach(shared_from_this(), std::move(rows), commandText,
                   cursorLocation_ == adUseClient ? adOpenStatic : adOpenForwardOnly, adLockReadOnly);
    }
    return rs;
}

void Connection::BeginTrans() {
    Session& s = session();
    Guarded(errors_, kSourceConnection, [&] { s.begin(); });
}

void Connection::CommitTrans() {
    Session& s = session();
    Guarded(errors_, kSourceConnection, [&] { s.commit(); });
}

void Connection::RollbackTrans() {
    Session& s = session();
    Guarded(errors_, kSourceConnection, [&] { s.rollback(); });
}

int Connection::transactionLevel() const { return session_ ? session_->transactionLevel() : 0; }

QString Connection::DefaultDatabase() const { return session_ ? session_->defaultDatabase() : QString(); }

void Connection::setDefaultDatabase(const QString& name) {
    Session& s = session();
    Guarded(errors_, kSourceConnection, [&] { s.setDefaultDatabase(name); });
}

RecordsetPtr Connection::OpenSchema(int schema, const std::vector<vb::Variant>& restrictions) {
    Session& s = session();
    auto restriction = [&](size_t i) {
        return i < restrictions.size() && !restrictions[i].isNull() && !restrictions[i].isEmpty()
                   ? restrictions[i].toString()
                   : QString();
    };
    std::unique_ptr<RowSource> rows = Guarded(errors_, kSourceConnection, [&]() -> std::unique_ptr<RowSource> {
        if (schema == adSchemaTables) return s.tables();
        if (schema == adSchemaColumns) return s.columns(restriction(2), restriction(3));
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Object or provider is not capable of performing requested operation."),
                      QStringLiteral("HYC00"), native::kNone);
    });
    RecordsetPtr rs = Recordset::Create();
    rs->attach(shared_from_this(), std::move(rows), QString(), adOpenStatic, adLockReadOnly);
    return rs;
}

namespace {

// A provider's command whose failures arrive as ADO errors, kept in the connection's Errors.
class GuardedCommand : public Command {
public:
    GuardedCommand(std::unique_ptr<Command> inner, const ConnectionPtr& connection, std::weak_ptr<const bool> session)
        : inner_(std::move(inner)), connection_(connection), session_(std::move(session)) {}
    int parameterCount() const override { return inner_->parameterCount(); }
    void bind(int index, const vb::Variant& value) override {
        run([&] { inner_->bind(index, value); });
    }
    long execute() override {
        long n = 0;
        run([&] { n = inner_->execute(); });
        return n;
    }

private:
    template <typename F>
    void run(F&& f) {
        ConnectionPtr cn = connection_.lock();
        // A command belongs to the session it was prepared on, not to a later one.
        if (!cn || session_.expired()) RaiseAdo(vb::kErrAdoClosed, kSourceConnection);
        Guarded(cn->errors(), kSourceConnection, f);
    }
    std::unique_ptr<Command> inner_;
    std::weak_ptr<Connection> connection_;
    std::weak_ptr<const bool> session_;   // expires with the session it was prepared on
};

}  // namespace

std::unique_ptr<Command> Connection::Prepare(const QString& sql) {
    Session& s = session();
    auto inner = Guarded(errors_, kSourceConnection, [&] { return s.prepare(sql); });
    return std::make_unique<GuardedCommand>(std::move(inner), shared_from_this(), s.lifetime());
}

namespace {

// The statement that reads a source: a bare table or view name ("V_MA_ARTICULOS",
// "[VOLMA].[dbo].[QET_KORVANE_PROV]") reads the table; any other text is the statement itself.
QString QueryText(const QString& source) {
    const QString trimmed = source.trimmed();
    const bool bareName = !trimmed.isEmpty() && !trimmed.contains(QLatin1Char('\n')) && !trimmed.contains(QLatin1Char('(')) &&
                          !trimmed.contains(QLatin1Char('*')) && !trimmed.contains(QLatin1Char('\'')) &&
                          !trimmed.contains(QLatin1Char('\t')) &&
                          (!trimmed.contains(QLatin1Char(' ')) || (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))) &&
                          !trimmed.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) &&
                          !trimmed.startsWith(QLatin1String("EXEC"), Qt::CaseInsensitive);
    return bareName ? QStringLiteral("SELECT * FROM ") + trimmed : source;
}

}  // namespace

std::unique_ptr<RowReader> Connection::OpenReader(const QString& source, bool whole) {
    Session& s = session();
    const QString sql = QueryText(source);
    auto cursor = Guarded(errors_, errorSource_, [&] { return s.openCursor(sql, whole); });
    return std::unique_ptr<RowReader>(new RowReader(std::move(cursor), shared_from_this(), s.lifetime()));
}

// ---------------------------------------------------------------------------------------------
// RowReader

namespace {
const QString kSourceReader = QStringLiteral("ADODB.RowReader");
}

RowReader::RowReader(std::unique_ptr<RowCursor> cursor, const std::shared_ptr<Connection>& connection,
                     std::weak_ptr<const bool> session)
    : cursor_(std::move(cursor)), connection_(connection), session_(std::move(session)) {}

RowReader::~RowReader() = default;

void RowReader::requireSession() const {
    if (session_.expired()) RaiseAdo(vb::kErrAdoClosed, kSourceReader);
}

int RowReader::fieldCount() const { return static_cast<int>(cursor_->fields.size()); }

const FieldInfo& RowReader::field(int index) const {
    if (index < 0 || index >= fieldCount()) RaiseAdo(vb::kErrAdoItemNotFound, kSourceReader);
    return cursor_->fields[static_cast<size_t>(index)];
}

bool RowReader::next() {
    requireSession();
    ConnectionPtr cn = connection_.lock();
    if (!cn) RaiseAdo(vb::kErrAdoClosed, kSourceReader);
    onRow_ = false;
    onRow_ = Guarded(cn->errors_, cn->errorSource_, [&] { return cursor_->next(); });
    return onRow_;
}

vb::Variant RowReader::value(int index) const {
    requireSession();
    if (!onRow_) RaiseAdo(kErrNoCurrentRecord, kSourceReader);
    if (index < 0 || index >= fieldCount()) RaiseAdo(vb::kErrAdoItemNotFound, kSourceReader);
    return cursor_->value(index);
}

// ---------------------------------------------------------------------------------------------
// Recordset

RecordsetPtr Recordset::Create() { return RecordsetPtr(new Recordset()); }

Recordset::~Recordset() = default;

void Recordset::attach(const ConnectionPtr& connection, std::unique_ptr<RowSource> rows, const QString& source,
                       int cursorType, int lockType) {
    rows_ = std::move(rows);
    connection_ = connection;
    source_ = source;
    cursorType_ = cursorType;
    lockType_ = lockType;
    pos_ = 0;
    pending_.clear();
}

void Recordset::Open(const QString& source, const ConnectionPtr& connection, int cursorType, int lockType, long) {
    if (rows_) RaiseAdo(vb::kErrAdoAlreadyOpen, kSourceRecordset);
    if (!connection) RaiseAdo(vb::kErrObjectNotSet, kSourceRecordset);
    Session& s = connection->session();
    if (cursorType == adOpenUnspecified) cursorType = cursorType_;
    if (lockType == adLockUnspecified) lockType = lockType_;
    // Client-side cursors are always static.
    if (connection->CursorLocation() == adUseClient) cursorType = adOpenStatic;
    const QString text = QueryText(source);
    const bool forUpdate = lockType != adLockReadOnly;
    std::unique_ptr<RowSource> rows = Guarded(connection->errors(), connection->errorSource_,
                                              [&] { return s.execute(text, nullptr, forUpdate); });
    if (!rows) return;   // an action statement leaves the recordset closed
    attach(connection, std::move(rows), source, cursorType, lockType);
}

void Recordset::Close() {
    if (!rows_) RaiseAdo(vb::kErrAdoClosed, kSourceRecordset);
    if (!pending_.empty()) RaiseAdo(vb::kErrAdoNotAllowed, kSourceRecordset);
    rows_.reset();
    pos_ = 0;
    valueHook_ = nullptr;   // it served this opening
}

int Recordset::State() const { return rows_ ? adStateOpen : adStateClosed; }

void Recordset::requireOpen() const {
    if (!rows_) RaiseAdo(vb::kErrAdoClosed, kSourceRecordset);
}

void Recordset::requireRow() const {
    requireOpen();
    if (pos_ < 0 || pos_ >= static_cast<long>(rows_->rows.size())) RaiseAdo(kErrNoCurrentRecord, kSourceRecordset);
}

bool Recordset::BOF() const {
    requireOpen();
    return pos_ < 0 || rows_->rows.empty();
}

bool Recordset::Eof() const {
    requireOpen();
    return pos_ >= static_cast<long>(rows_->rows.size());
}

void Recordset::MoveFirst() {
    requireOpen();
    if (!pending_.empty()) Update();
    pos_ = 0;
}

void Recordset::MoveNext() {
    requireOpen();
    if (Eof()) RaiseAdo(kErrNoCurrentRecord, kSourceRecordset);
    if (!pending_.empty()) Update();
    ++pos_;
}

void Recordset::MovePrevious() {
    requireOpen();
    if (pos_ < 0 || rows_->rows.empty()) RaiseAdo(kErrNoCurrentRecord, kSourceRecordset);
    if (!pending_.empty()) Update();
    --pos_;
}

void Recordset::MoveLast() {
    requireOpen();
    if (!pending_.empty()) Update();
    pos_ = rows_->rows.empty() ? 0 : static_cast<long>(rows_->rows.size()) - 1;
}

long Recordset::RecordCount() const {
    requireOpen();
    if (cursorType_ == adOpenForwardOnly) return -1;
    return static_cast<long>(rows_->rows.size());
}

int Recordset::fieldCount() const {
    requireOpen();
    return static_cast<int>(rows_->fields.size());
}

Field Recordset::Fields(int index) const {
    requireOpen();
    if (index < 0 || index >= static_cast<int>(rows_->fields.size())) RaiseAdo(vb::kErrAdoItemNotFound, kSourceRecordset);
    return Field(std::const_pointer_cast<Recordset>(shared_from_this()), rows_, &rows_->fields[static_cast<size_t>(index)], index);
}

namespace {

// Two field names, letter case aside: names of other lengths never compare equal (a character
// folds to one character), ASCII letters are compared here, anything else by Qt's rule.
bool SameName(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x == y) continue;
        if (x >= 0x80 || y >= 0x80) return a.compare(b, Qt::CaseInsensitive) == 0;
        if ((x | 0x20) != (y | 0x20) || (x | 0x20) < u'a' || (x | 0x20) > u'z') return false;
    }
    return true;
}

}  // namespace

Field Recordset::Fields(const QString& name) const {
    requireOpen();
    const QString wanted = name.trimmed();
    for (size_t i = 0; i < rows_->fields.size(); ++i) {
        if (SameName(rows_->fields[i].name, wanted)) {
            return Field(std::const_pointer_cast<Recordset>(shared_from_this()), rows_, &rows_->fields[i], static_cast<int>(i));
        }
    }
    throw vb::Error(vb::kErrAdoItemNotFound,
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."),
                    kSourceRecordset);
}

vb::Variant Recordset::value(int index) const {
    requireRow();
    for (const auto& [i, v] : pending_) {
        if (i == index) return v;
    }
    const vb::Variant& v = rows_->rows[static_cast<size_t>(pos_)][static_cast<size_t>(index)];
    if (valueHook_) return valueHook_(rows_->fields[static_cast<size_t>(index)], v);
    return v;
}

void Recordset::assign(int index, const vb::Variant& v) {
    requireRow();
    if (lockType_ == adLockReadOnly) RaiseAdo(kErrNotUpdatable, kSourceField);
    for (auto& [i, old] : pending_) {
        if (i == index) {
            old = v;
            return;
        }
    }
    pending_.emplace_back(index, v);
}

void Recordset::Update() {
    requireOpen();
    if (pending_.empty()) return;
    requireRow();
    ConnectionPtr connection = connection_.lock();
    if (!connection) RaiseAdo(vb::kErrAdoClosed, kSourceRecordset);
    Session& s = connection->session();
    Row& row = rows_->rows[static_cast<size_t>(pos_)];
    Guarded(connection->errors(), kSourceRecordset, [&] { s.updateRow(*rows_, row, pending_); });
    for (const auto& [i, v] : pending_) row[static_cast<size_t>(i)] = v;
    pending_.clear();
}

void Recordset::CancelUpdate() {
    requireOpen();
    pending_.clear();
}

std::vector<std::vector<vb::Variant>> Recordset::GetRows() {
    requireOpen();
    std::vector<std::vector<vb::Variant>> out;
    if (pos_ < 0) pos_ = 0;
    while (pos_ < static_cast<long>(rows_->rows.size())) {
        out.push_back(rows_->rows[static_cast<size_t>(pos_)]);
        ++pos_;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Field

namespace {

// A field of an earlier result of its recordset (closed or opened again since) has no value.
void RequireCurrent(const std::shared_ptr<RowSource>& now, const std::shared_ptr<const RowSource>& mine) {
    if (!now) RaiseAdo(vb::kErrAdoClosed, kSourceField);
    if (now.get() != mine.get()) RaiseAdo(vb::kErrAdoItemNotFound, kSourceField);
}

}  // namespace

vb::Variant Field::Value() const {
    RequireCurrent(rs_->rows_, rows_);
    return rs_->value(index_);
}

void Field::setValue(const vb::Variant& v) {
    RequireCurrent(rs_->rows_, rows_);
    rs_->assign(index_, v);
}

}  // namespace ado
