// The embedded session's batches run (batch_runner.h).
#include "platform/ado/batch_runner.h"
#include "platform/ado/tsql_tokens.h"

#include <cassert>
#include <cstring>

namespace ado::sqlite {

// What a batch (or a procedure's body) runs with: its variables, @@ROWCOUNT, and the errors of
// the statements the batch went on after (shared with the procedures it calls).
struct BatchRunner::Scope {
    struct Variable {
        std::string name;
        std::string type;
        sqlite::Value value;
    };
    explicit Scope(std::vector<ProviderError>* batchErrors) : errors(batchErrors) {}
    std::vector<ProviderError>* errors;
    std::vector<Variable> variables;
    int64_t rowCount = 0;

    Variable* find(std::string_view name) {
        for (Variable& v : variables) {
            if (QString::fromUtf8(v.name.data(), static_cast<qsizetype>(v.name.size()))
                    .compare(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), Qt::CaseInsensitive) == 0) {
                return &v;
            }
        }
        return nullptr;
    }
};

namespace {

// The errors of a batch that went on after them, raised as one failure: the first, followed
// by the others in the order met.
[[noreturn]] void Raise(std::vector<ProviderError>& errors) {
    ProviderError first = errors.front();
    for (size_t i = 1; i < errors.size(); ++i) {
        first.following.push_back(errors[i]);
        for (const ProviderError& f : errors[i].following) first.following.push_back(f);
    }
    throw first;
}

// Failures after which the server goes on with the next statement of the batch: those of
// the statement's data. Any other ends the batch.
bool EndsStatementOnly(long nativeError) {
    switch (nativeError) {
    case native::kDuplicateKey:
    case native::kDuplicateKeyRow:
    case native::kNullNotAllowed:
    case native::kConstraintConflict:
    case native::kTruncation:
    case native::kArithmeticOverflow:
    case native::kDivideByZero:
    case native::kDateOverflow:
    case native::kDateDiffOverflow: return true;
    default: return false;
    }
}

bool SameRows(const RowSource* a, const RowSource* b) {
    if (!a || !b) return a == b;
    if (a->fields.size() != b->fields.size() || a->rows.size() != b->rows.size()) return false;
    for (size_t c = 0; c < a->fields.size(); ++c) {
        if (a->fields[c].name != b->fields[c].name || a->fields[c].type != b->fields[c].type) return false;
    }
    for (size_t r = 0; r < a->rows.size(); ++r) {
        for (size_t c = 0; c < a->fields.size(); ++c) {
            const vb::Variant& x = a->rows[r][c];
            const vb::Variant& y = b->rows[r][c];
            if (x.type() != y.type() || (!x.isNull() && x.text() != y.text())) return false;
        }
    }
    return true;
}

// A statement that creates, alters or drops: the columns read so far may no longer stand.
bool ChangesSchema(const std::string& sql) { return (tsql::FirstWordRoles(sql) & tsql::kSchemaChange) != 0; }

}  // namespace

std::unique_ptr<RowSource> BatchRunner::run(Translated& translated, long* affected, bool forUpdate) {
    const tsql::Batch& batch = translated.batch;
    std::unique_ptr<RowSource> result;
    long count = 0;
    std::vector<ProviderError> errors;
    Scope scope{&errors};
    const Out out{&result, &count, forUpdate};
    for (size_t i = 0; i < batch.statements.size(); ++i) {
        if (translated.kept) runKept(translated, i, out, scope);
        else run(batch.statements[i], out, 0, scope);
    }
    if (affected) *affected = count;
    if (!errors.empty()) Raise(errors);
    return result;
}

std::unique_ptr<RowCursor> BatchRunner::cursor(Translated& translated, bool whole) {
    translated.buildAll();
    const tsql::Batch& batch = translated.batch;
    if (!whole && batch.statements.size() == 1 && batch.statements[0].kind == tsql::Statement::Sql) {
        if (auto cursor = stepped(batch.statements[0].sql)) return cursor;
    }
    std::unique_ptr<RowSource> result;
    long count = 0;
    std::vector<ProviderError> errors;
    Scope scope{&errors};
    for (const tsql::Statement& st : batch.statements) run(st, Out{&result, &count, false}, 0, scope);
    if (!errors.empty()) Raise(errors);
    return std::make_unique<WholeRowsCursor>(std::move(result));
}

// A statement failed: kept when the batch goes on after it, else raised with those kept before.
void BatchRunner::failed(const ProviderError& e, Scope& scope) {
    scope.rowCount = 0;
    if (EndsStatementOnly(e.nativeError)) {
        scope.errors->push_back(e);
        return;
    }
    if (scope.errors->empty()) throw e;
    scope.errors->push_back(e);
    Raise(*scope.errors);
}

// Binds the variables a statement names, and @@ROWCOUNT.
void BatchRunner::bindScope(sqlite3_stmt* st, Scope* scope) {
    const int n = sqlite3_bind_parameter_count(st);
    for (int i = 1; i <= n; ++i) {
        const char* name = sqlite3_bind_parameter_name(st, i);
        if (!name) continue;
        if (tsql::kRowCountParameter == name) {
            sqlite3_bind_int64(st, i, scope ? scope->rowCount : 0);
            continue;
        }
        Scope::Variable* v = scope ? scope->find(name) : nullptr;
        if (!v) sqlite::ThrowServerError(native::kUndeclaredVariable, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromUtf8(name)));
        sqlite::Bind(st, i, v->value);
    }
}

// Runs one translated statement from its prepared copy; false when it has none (the caller
// runs it as written). `pre`: the statement's literals as a kept translation lifted them.
bool BatchRunner::runCached(const std::string& sql, const Out& out, Scope& scope, const Lifted* pre) {
    if (!StatementCache::IsPlainDml(sql)) return false;   // transaction control, schema changes: as written
    LiftedStatement own;
    if (!pre || !pre->valid) own = LiftLiterals(sql);
    const std::string_view shape = pre && pre->valid ? pre->shape : std::string_view(own.shape);
    const std::vector<SqlLiteral>& literals = pre && pre->valid ? pre->literals : own.literals;
    if (!(pre && pre->valid) && !own.valid) return false;
    if (!StatementCache::LiteralsBind(literals)) return false;
    Plan* plan = cache_.plan(shape, sql, literals.size());
    if (!plan) return false;
    runPlan(*plan, literals, out, scope);
    if (StatementCache::CheckEveryRun()) checkCopy(*plan, sql, out, scope);
    return true;
}

void BatchRunner::runPlan(Plan& plan, const std::vector<SqlLiteral>& literals, const Out& out, Scope& scope) {
    StatementOutcome done{out.result, out.count, scope.rowCount};
    cache_.runPrepared(plan, literals, out.forUpdate, &done);
    assert(done.rowCount >= 0);
    scope.rowCount = done.rowCount;
}

// KORV_SQL_CACHE_CHECK, after a statement ran from its prepared copy: a read runs once more as
// written, and the program stops when the two answer otherwise.
void BatchRunner::checkCopy(const Plan& plan, const std::string& sql, const Out& out, Scope& scope) {
    if (!sqlite3_stmt_readonly(plan.statement.get()) || sql.find("GETDATE") != std::string::npos) return;
    std::unique_ptr<RowSource> written;
    long ignored = 0;
    runWritten(sql, Out{&written, &ignored, out.forUpdate}, scope);
    if (!SameRows(out.result->get(), written.get()))
        qFatal("KORV_SQL_CACHE_CHECK: the prepared copy of a statement answers otherwise: %s", sql.c_str());
}

// A cursor that steps the statement, when the text is one statement that returns rows; null
// when it is more (run whole then) or returns none.
std::unique_ptr<RowCursor> BatchRunner::stepped(const std::string& sql) {
    const char* end = sql.c_str() + sql.size();
    const char* tail = nullptr;
    StatementHandle first = Prepare(db_, sql.c_str(), static_cast<int>(sql.size()), &tail);
    if (!first || sqlite3_column_count(first.get()) == 0) return nullptr;
    while (tail && tail < end) {   // only blanks and comments may follow
        sqlite3_stmt* more = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail), &more, &next);
        const StatementHandle owned(more);
        if (rc != SQLITE_OK || owned || next == tail) return nullptr;
        tail = next;
    }
    bindScope(first.get(), nullptr);
    return std::make_unique<SqliteCursor>(db_, std::move(first));
}

void BatchRunner::run(const tsql::Statement& st, const Out& out, int nesting, Scope& scope) {
    switch (st.kind) {
    case tsql::Statement::Block:
        for (const auto& s : st.body) run(s, out, nesting, scope);
        return;
    case tsql::Statement::If: runIf(st, out, nesting, scope); return;
    case tsql::Statement::Exec: runProcedure(st, out, nesting, scope); return;
    default: break;
    }
    try {
        switch (st.kind) {
        case tsql::Statement::Sql:
            if (ChangesSchema(st.sql)) cache_.forgetTables();
            runSql(st.sql, out, scope);
            return;
        case tsql::Statement::CreateProcedure: storeProcedure(st); return;
        case tsql::Statement::Declare: declare(st, scope); return;
        case tsql::Statement::Assign: assign(st, scope); return;
        default: return;
        }
    } catch (const ProviderError& e) {
        failed(e, scope);
    }
}

// IF: the condition is a query, which holds when it returns a row.
void BatchRunner::runIf(const tsql::Statement& st, const Out& out, int nesting, Scope& scope) {
    bool holds = false;
    try {
        std::unique_ptr<RowSource> cond;
        long ignored = 0;
        const int64_t rows = scope.rowCount;   // the condition leaves @@ROWCOUNT as it was
        runSql(st.sql, Out{&cond, &ignored, false}, scope);
        scope.rowCount = rows;
        holds = cond && !cond->rows.empty();
    } catch (const ProviderError& e) {
        failed(e, scope);
        return;
    }
    for (const auto& s : holds ? st.body : st.elseBody) run(s, out, nesting, scope);
}

void BatchRunner::declare(const tsql::Statement& st, Scope& scope) {
    for (size_t i = 0; i < st.params.size(); ++i) {
        if (scope.find(st.params[i])) {
            sqlite::ThrowServerError(native::kRedeclaredVariable, QStringLiteral("The variable name '%1' has already been declared. Variable names must be "
                                                         "unique within a query batch or stored procedure.")
                                              .arg(QString::fromStdString(st.params[i])));
        }
        std::string type = st.types[i];
        // a text type declared without its length holds one character
        for (const char* t : {"char", "varchar", "nchar", "nvarchar"}) {
            if (type == t) type += "(1)";
        }
        sqlite::ConvertTo(type, sqlite::Value{});   // an unknown type fails here
        Scope::Variable v{st.params[i], type, {}};
        if (!st.inits[i].empty()) v.value = sqlite::ConvertTo(type, firstValue(st.inits[i], scope));
        scope.variables.push_back(std::move(v));
    }
    scope.rowCount = 0;
}

// SET @x = ... and SELECT @x = ..., @y = ... FROM ...: the last row's values; none leave the
// variables as they were.
void BatchRunner::assign(const tsql::Statement& st, Scope& scope) {
    std::vector<Scope::Variable*> targets;
    for (const std::string& name : st.params) {
        Scope::Variable* v = scope.find(name);
        if (!v) sqlite::ThrowServerError(native::kUndeclaredVariable, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromStdString(name)));
        targets.push_back(v);
    }
    const StatementHandle query = prepareOne(st.sql);
    bindScope(query.get(), &scope);
    int64_t rows = 0;
    int rc;
    while ((rc = sqlite3_step(query.get())) == SQLITE_ROW) {
        ++rows;
        for (size_t j = 0; j < targets.size(); ++j) {
            targets[j]->value = sqlite::ConvertTo(targets[j]->type, sqlite::ColumnValue(query.get(), static_cast<int>(j)));
        }
    }
    if (rc != SQLITE_DONE) Fail(db_, rc);
    scope.rowCount = st.selectAssign ? rows : 1;
}

// The first value of the first row of a query.
sqlite::Value BatchRunner::firstValue(const std::string& sql, Scope& scope) {
    const StatementHandle query = prepareOne(sql);
    bindScope(query.get(), &scope);
    const int rc = sqlite3_step(query.get());
    if (rc == SQLITE_ROW) return sqlite::ColumnValue(query.get(), 0);
    if (rc != SQLITE_DONE) Fail(db_, rc);
    return {};
}

StatementHandle BatchRunner::prepareOne(const std::string& sql) {
    StatementHandle st = Prepare(db_, sql.c_str(), static_cast<int>(sql.size()));
    if (!st) sqlite::ThrowServerError(native::kSyntax, QStringLiteral("Incorrect syntax: an empty statement."));
    return st;
}

void BatchRunner::storeProcedure(const tsql::Statement& st) {
    Exec(db_, "CREATE TABLE IF NOT EXISTS KORV_PROCEDURES (NAME varchar(128) COLLATE KORV_TEXT PRIMARY KEY, PARAMS text, BODY text)");
    const StatementHandle insert = Prepare(db_, "INSERT OR REPLACE INTO KORV_PROCEDURES (NAME, PARAMS, BODY) VALUES (?1, ?2, ?3)", -1);
    std::string params;
    for (const auto& p : st.params) params += (params.empty() ? "" : ",") + p;
    sqlite3_bind_text(insert.get(), 1, st.name.c_str(), static_cast<int>(st.name.size()), SQLITE_STATIC);
    sqlite3_bind_text(insert.get(), 2, params.c_str(), static_cast<int>(params.size()), SQLITE_STATIC);
    sqlite3_bind_text(insert.get(), 3, st.text.c_str(), static_cast<int>(st.text.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(insert.get());
    if (rc != SQLITE_DONE) Fail(db_, rc);
}

// EXEC: the procedure's body, with the arguments in place of its parameters, run in a scope of
// its own (its @@ROWCOUNT is the caller's after it).
void BatchRunner::runProcedure(const tsql::Statement& st, const Out& out, int nesting, Scope& caller) {
    assert(nesting >= 0);
    if (nesting > 16) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Maximum stored procedure nesting level exceeded."), QStringLiteral("HY000"), native::kNestingTooDeep);
    }
    const std::string bound = procedureBody(st, caller);
    tsql::Batch batch = tsql::Translate(bound, database_, cache_.columnsOf());
    for (const std::string& d : batch.databases) attacher_.attach(d);
    Scope scope{caller.errors};   // the body's own variables
    for (const auto& s : batch.statements) run(s, Out{out.result, out.count, false}, nesting + 1, scope);
    caller.rowCount = scope.rowCount;
}

// The body of the procedure EXEC names, its parameters bound to the arguments (NULL for those not
// given; an argument that names a variable of the caller passes its value).
std::string BatchRunner::procedureBody(const tsql::Statement& st, Scope& caller) {
    const QString name = QString::fromStdString(st.name);
    auto missing = [&] {
        ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Could not find stored procedure '%1'.").arg(name),
                      QStringLiteral("42000"), native::kNoSuchProcedure);
    };
    sqlite3_stmt* probe = nullptr;
    const int rc = sqlite3_prepare_v2(db_, "SELECT PARAMS, BODY FROM KORV_PROCEDURES WHERE NAME = ?1", -1, &probe, nullptr);
    const StatementHandle find(probe);
    if (rc != SQLITE_OK) missing();   // no procedure stored yet
    sqlite3_bind_text(find.get(), 1, st.name.c_str(), static_cast<int>(st.name.size()), SQLITE_STATIC);
    if (sqlite3_step(find.get()) != SQLITE_ROW) missing();
    const std::string paramText = reinterpret_cast<const char*>(sqlite3_column_text(find.get(), 0));
    const std::string body = reinterpret_cast<const char*>(sqlite3_column_text(find.get(), 1));
    std::vector<std::pair<std::string, std::string>> values;
    size_t start = 0;
    while (start < paramText.size()) {
        size_t end = paramText.find(',', start);
        if (end == std::string::npos) end = paramText.size();
        values.emplace_back(paramText.substr(start, end - start), "NULL");
        start = end + 1;
    }
    // An argument that names a variable of the caller passes its value.
    auto valueOf = [&](std::string value) {
        if (value.size() > 1 && value[0] == '@' && value[1] != '@') {
            Scope::Variable* v = caller.find(value);
            if (!v) sqlite::ThrowServerError(native::kUndeclaredVariable, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromStdString(value)));
            return sqlite::LiteralText(v->value);
        }
        return value;
    };
    size_t position = 0;
    for (const std::string& raw : st.args) {
        const size_t eq = raw.find('=');
        const std::string arg = eq == std::string::npos ? valueOf(raw) : raw;
        if (!arg.empty() && arg[0] == '@' && eq != std::string::npos) {
            std::string key = arg.substr(0, eq);
            while (!key.empty() && key.back() == ' ') key.pop_back();
            std::string value = arg.substr(eq + 1);
            while (!value.empty() && value.front() == ' ') value.erase(value.begin());
            value = valueOf(value);

            for (auto& [p, v] : values) {
                if (QString::fromStdString(p).compare(QString::fromStdString(key), Qt::CaseInsensitive) == 0) v = value;
            }
            continue;
        }
        if (position >= values.size()) {
            ThrowProvider(vb::kHrErrorsInCommand,
                          QStringLiteral("Procedure or function %1 has too many arguments specified.").arg(name),
                          QStringLiteral("42000"), native::kTooManyArguments);
        }
        values[position++].second = arg;
    }
    return tsql::BindParameters(body, values);
}

void BatchRunner::runSql(const std::string& sql, const Out& out, Scope& scope) {
    if (!runCached(sql, out, scope, nullptr)) runWritten(sql, out, scope);
}

// A statement of a kept translation (a plain statement): from its prepared copy when its
// shape has one, its text put together only otherwise (or to check the copy's answer under
// KORV_SQL_CACHE_CHECK, after it ran: the checked run takes the program's own path). Fails as
// run() does.
void BatchRunner::runKept(Translated& t, size_t i, const Out& out, Scope& scope) {
    try {
        const Lifted* lifted = t.liftedAt(i);
        if (lifted && StatementCache::LiteralsBind(lifted->literals)) {
            if (Plan* plan = cache_.keptPlan(lifted->shape)) {
                runPlan(*plan, lifted->literals, out, scope);
                if (StatementCache::CheckEveryRun()) checkCopy(*plan, t.sql(i), out, scope);   // its text only then
                return;
            }
        }
        const std::string& sql = t.sql(i);
        if (!runCached(sql, out, scope, lifted)) runWritten(sql, out, scope);
    } catch (const ProviderError& e) {
        failed(e, scope);
    }
}

// Prepares and runs the statements of the text as written.
void BatchRunner::runWritten(const std::string& sql, const Out& out, Scope& scope) {
    const char* tail = sql.c_str();
    const char* end = tail + sql.size();
    while (tail < end) {
        const char* next = nullptr;
        const StatementHandle st = Prepare(db_, tail, static_cast<int>(end - tail), &next);
        if (!st && next == tail) {   // SQLite reads no further than a NUL character
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Incorrect syntax near the character 0x00."),
                          QStringLiteral("42000"), native::kSyntax);
        }
        tail = next;
        if (!st) continue;   // only blanks or comments
        bindScope(st.get(), &scope);
        const int columns = sqlite3_column_count(st.get());
        if (columns == 0) {
            int rc;
            while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) Fail(db_, rc);
            const bool writes = !sqlite3_stmt_readonly(st.get());
            scope.rowCount = writes ? sqlite3_changes(db_) : 0;
            if (writes) *out.count += static_cast<long>(sqlite3_changes(db_));
            continue;
        }
        *out.result = ReadRows(db_, st.get(), columns, out.forUpdate);
        scope.rowCount = static_cast<int64_t>((*out.result)->rows.size());
    }
}

}  // namespace ado::sqlite
