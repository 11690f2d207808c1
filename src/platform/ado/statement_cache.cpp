// The embedded session's statement caches (statement_cache.h).
#include "platform/ado/statement_cache.h"
#include "platform/ado/tsql_tokens.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace ado::sqlite {

namespace {

// Whether the batch's numbers fit their columns where the kept translation's did.
bool Fits(const BatchTemplate& t, std::string_view text, const tsql::Shape& shape) {
    for (const tsql::NumberCheck& c : t.checks) {
        if (c.literal >= shape.literals.size() ||
            tsql::NumberFitsAsWritten(c.rule, tsql::LiteralToken(text, shape.literals[c.literal]), c.negative) != c.fits)
            return false;
    }
    return true;
}

// A lifted literal's value as the statement's SQLite text holds it: a text without its quotes
// (doubled quotes read as one), a number as written.
SqlLiteral ValueOf(std::string_view text, const tsql::Shape::Literal& l) {
    const std::string_view token = tsql::LiteralToken(text, l);
    if (!l.text) return SqlLiteral{false, std::string(token)};
    SqlLiteral v{true, {}};
    v.value.reserve(token.size() - 2);
    for (size_t k = 1; k + 1 < token.size(); ++k) {
        v.value += token[k];
        if (token[k] == '\'') ++k;
    }
    return v;
}

// The batch of a kept translation with the text's own literals (its texts put together when
// asked, Translated::sql). `out` holds the text and its shape.
void Fill(const std::shared_ptr<const BatchTemplate>& t, std::string_view text, const tsql::Shape& shape, Translated* out) {
    out->kept = t;
    out->batch.databases = t->databases;
    out->batch.statements.resize(t->statements.size());
    out->built.assign(t->statements.size(), 0);
    out->lifted.reserve(t->statements.size());
    for (const StatementTemplate& s : t->statements) {
        Lifted l;
        if (s.lifted) {
            l.valid = true;
            l.shape = s.shape;
            l.literals.reserve(s.values.size());
            for (const StatementTemplate::Value& v : s.values)
                l.literals.push_back(v.literal < 0 ? v.constant : ValueOf(text, shape.literals[static_cast<size_t>(v.literal)]));
        }
        out->lifted.push_back(std::move(l));
    }
}

}  // namespace

const std::string& Translated::sql(size_t i) {
    assert(i < batch.statements.size());
    std::string& out = batch.statements[i].sql;
    if (!kept || built[i]) return out;
    assert(built.size() == batch.statements.size() && kept->statements.size() == built.size());
    const std::string_view written(text.constData(), static_cast<size_t>(text.size()));
    out.reserve(written.size() + 64);
    for (const tsql::MarkedPiece& p : kept->statements[i].pieces) {
        out += p.text;
        assert(p.literal < static_cast<int32_t>(shape.literals.size()));   // a mark names a literal of the key
        if (p.literal >= 0) out += tsql::LiteralToken(written, shape.literals[static_cast<size_t>(p.literal)]);
    }
    built[i] = 1;
    return out;
}

StatementCache::StatementCache()
    : columnsOf_([this](std::string_view database, std::string_view table) { return tableColumns(database, table); }) {}

void StatementCache::use(sqlite3* db) {
    forgetSchemaQueries();
    plans_.clear();   // prepared on the handle being replaced
    seen_.clear();
    seenBatches_.clear();
    realReader_.reset();
    db_ = db;
}

// ---- table columns ----------------------------------------------------------------------------

tsql::TableColumns* StatementCache::tableColumns(std::string_view database, std::string_view table) {
    const std::string schema = database.empty() ? std::string("main") : std::string(database);
    SchemaVersion* v = nullptr;
    for (SchemaVersion& x : versions_) {
        if (x.schema == schema) v = &x;
    }
    if (!v) {
        SchemaVersion x;
        x.schema = schema;
        const std::string pragma = "PRAGMA \"" + schema + "\".schema_version";
        sqlite3_stmt* query = nullptr;
        const int rc = sqlite3_prepare_v2(db_, pragma.c_str(), -1, &query, nullptr);
        x.query.reset(query);
        if (rc != SQLITE_OK) return nullptr;
        versions_.push_back(std::move(x));
        v = &versions_.back();
    }
    if (v->version < 0) checkVersion(*v);   // else read at the start of the batch
    // statements mostly write where the one before wrote
    if (lastTable_ && lastSchema_ == schema && lastTableName_ == table) return lastTable_;
    std::string key = schema + '.';
    for (char c : table) key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    const auto known = tableColumns_.find(key);
    if (known != tableColumns_.end()) return remember(schema, table, known->second.get());
    std::vector<std::pair<std::string, std::string>> columns;
    sqlite3_stmt* query = nullptr;
    const int rc = sqlite3_prepare_v2(db_, "SELECT name, type FROM pragma_table_info(?1, ?2)", -1, &query, nullptr);
    const StatementHandle info(query);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(info.get(), 1, table.data(), static_cast<int>(table.size()), SQLITE_STATIC);
        sqlite3_bind_text(info.get(), 2, schema.data(), static_cast<int>(schema.size()), SQLITE_STATIC);
        while (sqlite3_step(info.get()) == SQLITE_ROW) {
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0));
            const char* type = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
            columns.emplace_back(name ? name : "", type ? type : "");
        }
    }
    if (columns.empty()) return nullptr;   // no such table (yet): asked again next time
    auto entry = std::make_unique<tsql::TableColumns>(columns);
    return remember(schema, table, tableColumns_.emplace(std::move(key), std::move(entry)).first->second.get());
}

// A schema's version as it stands now (another connection, or a rolled-back change of this
// one, may have changed it since the last batch); a changed version forgets the columns and
// the translations kept.
void StatementCache::checkVersion(SchemaVersion& v) {
    assert(v.query);
    const int version = sqlite3_step(v.query.get()) == SQLITE_ROW ? sqlite3_column_int(v.query.get(), 0) : -1;
    sqlite3_reset(v.query.get());
    if (version == v.version) return;
    forgetTables();
    for (SchemaVersion& x : versions_) x.version = -1;
    v.version = version;
}

tsql::TableColumns* StatementCache::remember(const std::string& schema, std::string_view table, tsql::TableColumns* columns) {
    lastSchema_ = schema;
    lastTableName_.assign(table);
    lastTable_ = columns;
    return columns;
}

void StatementCache::checkSchemas() {
    for (SchemaVersion& v : versions_) checkVersion(v);
}

void StatementCache::forgetTables() {
    tableColumns_.clear();
    lastTable_ = nullptr;
    templates_.clear();
}

void StatementCache::forgetSchemaQueries() {
    versions_.clear();
    forgetTables();
}

// ---- translations -----------------------------------------------------------------------------

Translated StatementCache::translate(const QString& sql, std::string_view database, DatabaseAttacher& attacher) {
    Translated out;
    out.text = sql.toUtf8();
    const std::string_view text(out.text.constData(), static_cast<size_t>(out.text.size()));
    out.shape = tsql::LiftShape(text);
    const tsql::Shape& shape = out.shape;
    std::shared_ptr<const BatchTemplate> kept;
    checkSchemas();   // the columns read and the translations kept stand for the schema as it is
    if (shape.valid) {
        if (const auto* found = templates_.find(shape.key)) kept = *found;
        if (kept && kept->usable && Fits(*kept, text, shape)) {
            Fill(kept, text, shape, &out);
            for (const std::string& d : out.batch.databases) attacher.attach(d);
            if (CheckEveryRun()) checkKept(text, out, database);
            return out;
        }
    }
    out.batch = tsql::Translate(text, database, columnsOf_);
    bool attached = false;
    for (const std::string& d : out.batch.databases) attached = attacher.attach(d) || attached;
    // A database the batch names is attached only now: translated again with its tables' columns.
    if (attached) out.batch = tsql::Translate(text, database, columnsOf_);
    if (shape.valid && !kept) keepTranslation(shape, text, out.batch, database);
    return out;
}

// Kept the second time a shape is met (at once under KORV_SQL_CACHE_CHECK).
void StatementCache::keepTranslation(const tsql::Shape& shape, std::string_view text, const tsql::Batch& own,
                                     std::string_view database) {
    if (!CheckEveryRun() && !seenBatches_.contains(shape.key)) {
        seenBatches_.put(shape.key, 1);
        return;
    }
    templates_.put(shape.key, makeTemplate(text, shape, own, database));
    assert(templates_.size() <= kMaxPlans);
}

// The kept translation of a batch: its translation with marks in place of the lifted literals,
// cut at them. Usable only when the pieces with the batch's own literals give `own`, its own
// translation; its statements' shapes are kept where the marks lift out as values.
std::shared_ptr<const BatchTemplate> StatementCache::makeTemplate(std::string_view text, const tsql::Shape& shape, const tsql::Batch& own,
                                                                  std::string_view database) {
    auto t = std::make_shared<BatchTemplate>();
    try {
        const tsql::Batch marked = tsql::TranslateShape(text, shape, database, columnsOf_, &t->checks);
        if (marked.statements.size() != own.statements.size() || marked.databases != own.databases) return t;
        for (const tsql::Statement& st : marked.statements) {
            if (st.kind != tsql::Statement::Sql || !IsPlainDml(st.sql)) return t;
            StatementTemplate s;
            s.pieces = tsql::CutAtMarks(st.sql);
            if (s.pieces.empty()) return t;
            for (const tsql::MarkedPiece& p : s.pieces)
                if (p.literal >= static_cast<int32_t>(shape.literals.size())) return t;
            const LiftedStatement lifted = LiftLiterals(st.sql);
            // Every mark must lift out as a value of its kind, none stay in the shape.
            size_t marks = 0;
            s.lifted = lifted.valid;
            for (const SqlLiteral& l : lifted.literals) {
                if (!s.lifted) break;
                const long n = tsql::MarkedLiteral(l.value, l.text);
                if (n >= static_cast<long>(shape.literals.size()) || (n >= 0 && shape.literals[static_cast<size_t>(n)].text != l.text))
                    s.lifted = false;
                if (n >= 0) ++marks;
                s.values.push_back({n, n < 0 ? l : SqlLiteral{}});
            }
            s.lifted = s.lifted && marks + 1 == s.pieces.size();
            if (s.lifted) s.shape = lifted.shape;
            else s.values.clear();
            t->statements.push_back(std::move(s));
        }
        t->databases = marked.databases;
        // The batch's own literals put in give its own translation, and lift as its text does.
        Translated filled;
        filled.text = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        filled.shape = shape;
        Fill(t, text, shape, &filled);
        for (size_t i = 0; i < own.statements.size(); ++i) {
            if (own.statements[i].kind != tsql::Statement::Sql || filled.sql(i) != own.statements[i].sql) return t;
            if (filled.lifted[i].valid && !SameLifted(filled.lifted[i], LiftLiterals(own.statements[i].sql))) {
                t->statements[i].lifted = false;
                t->statements[i].values.clear();
            }
        }
        t->usable = true;
    } catch (const ProviderError&) {
        t->usable = false;
    }
    return t;
}

bool StatementCache::SameLifted(const Lifted& a, const LiftedStatement& b) {
    if (!b.valid || a.shape != b.shape || a.literals.size() != b.literals.size()) return false;
    for (size_t i = 0; i < a.literals.size(); ++i)
        if (a.literals[i].text != b.literals[i].text || a.literals[i].value != b.literals[i].value) return false;
    return true;
}

// KORV_SQL_CACHE_CHECK: the batch from a kept translation is the batch's own translation.
void StatementCache::checkKept(std::string_view text, Translated& kept, std::string_view database) {
    const tsql::Batch own = tsql::Translate(text, database, columnsOf_);
    bool same = own.databases == kept.batch.databases && own.statements.size() == kept.batch.statements.size();
    for (size_t i = 0; same && i < own.statements.size(); ++i) {
        same = own.statements[i].kind == tsql::Statement::Sql && own.statements[i].sql == kept.sql(i);
        if (same && kept.liftedAt(i)) same = SameLifted(kept.lifted[i], LiftLiterals(own.statements[i].sql));
    }
    if (!same) {
        qFatal("KORV_SQL_CACHE_CHECK: the kept translation of a batch differs from its own: %.*s", static_cast<int>(text.size()),
               text.data());
    }
}

bool StatementCache::CheckEveryRun() {
    static const bool check = !qEnvironmentVariableIsEmpty("KORV_SQL_CACHE_CHECK");
    return check;
}

// ---- prepared copies ---------------------------------------------------------------------------

bool StatementCache::IsPlainDml(const std::string& sql) { return (tsql::FirstWordRoles(sql) & tsql::kPlainDml) != 0; }

// The copy of a shape; none while the statement itself does not prepare (a table missing).
std::optional<Plan> StatementCache::makePlan(const std::string& sql, std::string_view shape, size_t literals) {
    try {
        const StatementHandle own = Prepare(db_, sql.c_str(), static_cast<int>(sql.size()));
        if (!own) return std::nullopt;
        Plan plan;
        try {
            plan.statement = Prepare(db_, shape.data(), static_cast<int>(shape.size()));
        } catch (const ProviderError&) {
            return plan;   // a literal the statement cannot take as a parameter
        }
        sqlite3_stmt* st = plan.statement.get();
        plan.usable = st && sqlite3_bind_parameter_count(st) == static_cast<int>(literals) &&
                      sqlite3_column_count(st) == sqlite3_column_count(own.get());
        for (int c = 0; plan.usable && c < sqlite3_column_count(st); ++c)
            plan.usable = std::strcmp(sqlite3_column_name(st, c), sqlite3_column_name(own.get(), c)) == 0;
        return plan;
    } catch (const ProviderError&) {
        return std::nullopt;
    }
}

Plan* StatementCache::plan(std::string_view shape, const std::string& sql, size_t literals) {
    Plan* found = plans_.find(shape);
    if (!found) {
        if (!CheckEveryRun() && !seen_.contains(shape)) {
            seen_.put(shape, 1);
            return nullptr;
        }
        std::optional<Plan> made = makePlan(sql, shape, literals);
        if (!made) return nullptr;   // tried again next time: the tables may change meanwhile
        found = &plans_.put(shape, std::move(*made));
        assert(plans_.size() <= kMaxPlans);
    }
    return found->usable ? found : nullptr;
}

void StatementCache::runPrepared(Plan& plan, const std::vector<SqlLiteral>& literals, bool forUpdate, StatementOutcome* out) {
    assert(plan.usable && sqlite3_bind_parameter_count(plan.statement.get()) == static_cast<int>(literals.size()));
    sqlite3_stmt* st = plan.statement.get();
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() { sqlite3_reset(st); }
    } reset{st};
    for (size_t p = 0; p < literals.size(); ++p) {
        const SqlLiteral& l = literals[p];
        const int index = static_cast<int>(p) + 1;
        if (l.text) sqlite3_bind_text(st, index, l.value.data(), static_cast<int>(l.value.size()), SQLITE_STATIC);
        else bindNumber(st, index, l.value);
    }
    // Stepped before its columns are read: a statement prepared before a change of its tables
    // is prepared again by its first step, and reads the columns the tables have now.
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(db_, rc);
    const int columns = sqlite3_column_count(st);
    if (columns > 0) {
        const int prepared = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (!plan.layout || plan.prepared != prepared) {
            plan.layout.emplace(st);
            plan.prepared = prepared;
        }
        *out->result = ReadRows(db_, st, columns, forUpdate, rc, &*plan.layout);
        out->rowCount = static_cast<int64_t>((*out->result)->rows.size());
        return;
    }
    while (rc == SQLITE_ROW) rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) Fail(db_, rc);
    const bool writes = !sqlite3_stmt_readonly(st);
    out->rowCount = writes ? sqlite3_changes(db_) : 0;
    if (writes) *out->count += static_cast<long>(sqlite3_changes(db_));
}

// Whether every literal of the statement binds as the engine reads it written; where one does
// not, the statement runs as written, so that a statement answers alike whether or not its
// shape was met before. Not bound: a number beyond a Double's range (1e400: compared with
// infinity, or refused where it would be stored), a whole number beyond 64 bits (written, the
// engine folds -9223372036854775808 into an integer), a text holding a NUL character (the
// engine refuses it written).
bool StatementCache::LiteralsBind(const std::vector<SqlLiteral>& literals) {
    for (const SqlLiteral& l : literals) {
        const char* b = l.value.data();
        const char* e = b + l.value.size();
        if (l.text) {
            if (l.value.find('\0') != std::string::npos) return false;
            continue;
        }
        double d = 0;
        if (std::from_chars(b, e, d).ec == std::errc::result_out_of_range) return false;
        if (l.value.find_first_of(".eE") == std::string::npos) {
            sqlite3_int64 v = 0;
            if (std::from_chars(b, e, v).ec == std::errc::result_out_of_range) return false;
        }
    }
    return true;
}

// A number as the engine reads it written in a statement: a whole number that fits is an
// integer, anything else a real, read by the engine's own rule (which is not always the
// nearest Double: "0.499148581442" reads one place below it).
void StatementCache::bindNumber(sqlite3_stmt* st, int index, const std::string& n) {
    const char* b = n.data();
    const char* e = b + n.size();
    if (n.find_first_of(".eE") == std::string::npos) {
        sqlite3_int64 v = 0;
        const auto [end, ec] = std::from_chars(b, e, v);
        if (ec == std::errc() && end == e) {
            sqlite3_bind_int64(st, index, v);
            return;
        }
    }
    if (!realReader_) realReader_ = Prepare(db_, "SELECT CAST(?1 AS REAL)", -1);
    sqlite3_stmt* reader = realReader_.get();
    sqlite3_bind_text(reader, 1, b, static_cast<int>(e - b), SQLITE_STATIC);
    const double d = sqlite3_step(reader) == SQLITE_ROW ? sqlite3_column_double(reader, 0) : 0;
    sqlite3_reset(reader);
    sqlite3_bind_double(st, index, d);
}

}  // namespace ado::sqlite
