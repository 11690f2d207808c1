#pragma once
// The embedded session's statement caches: the columns of the tables statements write into, the
// translations of batches kept by their shape, and the prepared copies of statements kept by
// theirs. Each is bounded and keeps the statements met most recently (LruMap). Internal to the ado
// layer.
//
//   sqlite::StatementCache cache;
//   cache.use(db);                                 // the connection it prepares on
//   Translated t = cache.translate(sql, "VOLMA", attacher);
//   // t.kept: from a kept translation, its statements' shapes and values lifted (t.liftedAt(i))
//   if (Plan* plan = cache.plan(shape, sqlText, literals.size())) cache.runPrepared(*plan, ...);
#include "platform/ado/sqlite_literals.h"
#include "platform/ado/sqlite_rows.h"
#include "platform/ado/tsql.h"

#include <cassert>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ado::sqlite {

// ---- a bounded map that keeps what was used last ----------------------------------------------
//
// Texts to values, at most `bound` of them: a new entry past the bound pushes out the one used
// least recently, so a statement run all day stays while one-off statements come and go.
template <class V>
class LruMap {
public:
    explicit LruMap(size_t bound) : bound_(bound) { assert(bound > 0); }
    LruMap(const LruMap&) = delete;
    LruMap& operator=(const LruMap&) = delete;

    // The value kept for `key`, now the most recently used; null when none is. Valid until the
    // next put or clear.
    V* find(std::string_view key) {
        const auto at = index_.find(key);
        if (at == index_.end()) return nullptr;
        assert(at->second->first == key);   // the entry found is the one keyed
        order_.splice(order_.begin(), order_, at->second);
        return &at->second->second;
    }
    bool contains(std::string_view key) const { return index_.count(key) != 0; }

    // Keeps `value` for `key` (replacing the one kept), as the most recently used.
    V& put(std::string_view key, V value) {
        if (V* kept = find(key)) {
            *kept = std::move(value);
            return *kept;
        }
        if (order_.size() == bound_) {
            index_.erase(std::string_view(order_.back().first));
            order_.pop_back();
        }
        order_.emplace_front(std::string(key), std::move(value));
        index_.emplace(std::string_view(order_.front().first), order_.begin());
        assert(index_.size() == order_.size() && order_.size() <= bound_);
        return order_.front().second;
    }

    void clear() {
        index_.clear();
        order_.clear();
    }
    size_t size() const { return order_.size(); }
    size_t bound() const { return bound_; }

private:
    using Entry = std::pair<std::string, V>;
    size_t bound_;
    std::list<Entry> order_;   // the most recently used first; a node's key stays where it is
    std::unordered_map<std::string_view, typename std::list<Entry>::iterator> index_;   // into order_'s keys
};

// ---- translations kept by their shape ---------------------------------------------------------
//
// A batch met again with other literals is not translated anew: its translation is kept by
// the key of tsql::LiftShape, as pieces of text around the marks of its literals, and each
// statement's literals are put in. Where the translation's own literals lift out of it (all
// but a count or a position the statement keeps), the statement's SQLite shape and its values
// are kept too, so that its prepared copy is found without reading the text again. Kept the
// second time a key is met, for batches of plain statements; forgotten when the tables change.
// With KORV_SQL_CACHE_CHECK every batch served from a kept translation is then translated
// anew and compared with it.

// A translated statement's literals, lifted: its SQLite shape and the values in order.
struct Lifted {
    bool valid = false;
    std::string_view shape;   // kept by the translation it comes from
    std::vector<SqlLiteral> literals;
};
struct StatementTemplate {
    std::vector<tsql::MarkedPiece> pieces;
    bool lifted = false;   // the shape and the values below stand for the statement
    std::string shape;
    struct Value {
        long literal = -1;   // the batch's lifted literal, or -1: `constant`
        SqlLiteral constant;
    };
    std::vector<Value> values;
};
struct BatchTemplate {
    bool usable = false;   // false: the key's batches are translated each time
    std::vector<tsql::NumberCheck> checks;
    std::vector<std::string> databases;
    std::vector<StatementTemplate> statements;
};
// A batch as translated, or from a kept translation: then its statements' texts are put
// together only when asked (a statement run from its prepared copy needs none).
struct Translated {
    tsql::Batch batch;
    std::vector<Lifted> lifted;   // per statement, when kept
    std::shared_ptr<const BatchTemplate> kept;
    QByteArray text;              // kept: the batch as written, and its literals
    tsql::Shape shape;
    std::vector<char> built;      // kept: whether the statement's text is put together

    const Lifted* liftedAt(size_t i) const { return i < lifted.size() && lifted[i].valid ? &lifted[i] : nullptr; }
    const std::string& sql(size_t i);
    void buildAll() {
        for (size_t i = 0; i < batch.statements.size(); ++i) sql(i);
    }
};

// Attaches the other databases a batch names.
class DatabaseAttacher {
public:
    // Attaches `database` unless it is; true when it attached it now.
    virtual bool attach(const std::string& database) = 0;

protected:
    ~DatabaseAttacher() = default;
};

// ---- prepared statements kept by their shape --------------------------------------------------
//
// A statement met again runs its prepared copy with its literals bound as parameters: it is
// not prepared anew. The copy is made the second time a shape is met, and serves only when
// it reads the same columns as the statement itself. With KORV_SQL_CACHE_CHECK set (as the
// tests run), the copy is made at once, serves as it serves the program, and every read from it
// is then compared with the
// statement's own answer; the program stops on a difference.
struct Plan {
    bool usable = false;   // false: the shape's statements run as written
    StatementHandle statement;
    std::optional<ColumnLayout> layout;   // its columns, as described after its last preparing
    int prepared = -1;                    // how often the engine had prepared it again by then
};

// What a statement run left: its rows (when it returns rows), the rows it wrote added to
// `*count`, and @@ROWCOUNT.
struct StatementOutcome {
    std::unique_ptr<RowSource>* result;
    long* count;
    int64_t rowCount = 0;
};

class StatementCache {
public:
    static constexpr size_t kMaxPlans = 512;   // prepared copies, and kept translations
    static constexpr size_t kMaxSeen = 8192;   // shapes met once

    StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // Serves the connection `db` from now on: everything kept for the one before is forgotten.
    void use(sqlite3* db);

    // ---- table columns ----
    // The columns of a table (read once, until a schema changes); null for no such table.
    tsql::TableColumns* tableColumns(std::string_view database, std::string_view table);
    const tsql::TableColumnsOf& columnsOf() const { return columnsOf_; }
    // Reads the schemas' versions: a change (another connection's, or a rolled-back change of
    // this one) forgets the columns and the translations kept.
    void checkSchemas();
    // The columns read so far, and the translations made with them.
    void forgetTables();
    // The same, and the schemas watched (another database comes into use).
    void forgetSchemaQueries();

    // ---- translations ----
    // The batch `sql` translated for the database `database` (its name), from the translation
    // kept for its shape when there is one; the databases it names are attached.
    Translated translate(const QString& sql, std::string_view database, DatabaseAttacher& attacher);

    // ---- prepared copies ----
    // The usable copy kept for `shape`, made now when the shape is met the second time (at once
    // under KORV_SQL_CACHE_CHECK); null when there is none: the statement `sql` runs as written.
    Plan* plan(std::string_view shape, const std::string& sql, size_t literals);
    // The usable copy kept for `shape`, null when there is none.
    Plan* keptPlan(std::string_view shape) {
        Plan* p = plans_.find(shape);
        return p && p->usable ? p : nullptr;
    }
    // Runs a copy with the literals bound.
    void runPrepared(Plan& plan, const std::vector<SqlLiteral>& literals, bool forUpdate, StatementOutcome* out);

    // Whether every literal of the statement binds as the engine reads it written.
    static bool LiteralsBind(const std::vector<SqlLiteral>& literals);
    // A statement the copies serve: SELECT, INSERT, UPDATE, DELETE, WITH.
    static bool IsPlainDml(const std::string& sql);
    static bool SameLifted(const Lifted& a, const LiftedStatement& b);
    // KORV_SQL_CACHE_CHECK is set.
    static bool CheckEveryRun();

private:
    // The cached statement of a schema's version.
    struct SchemaVersion {
        std::string schema;
        StatementHandle query;   // PRAGMA <schema>.schema_version
        int version = -1;
    };
    void checkVersion(SchemaVersion& v);
    tsql::TableColumns* remember(const std::string& schema, std::string_view table, tsql::TableColumns* columns);
    std::shared_ptr<const BatchTemplate> makeTemplate(std::string_view text, const tsql::Shape& shape, const tsql::Batch& own,
                                                      std::string_view database);
    void checkKept(std::string_view text, Translated& kept, std::string_view database);
    void keepTranslation(const tsql::Shape& shape, std::string_view text, const tsql::Batch& own, std::string_view database);
    std::optional<Plan> makePlan(const std::string& sql, std::string_view shape, size_t literals);
    void bindNumber(sqlite3_stmt* st, int index, const std::string& n);

    sqlite3* db_ = nullptr;
    // table columns
    std::vector<SchemaVersion> versions_;
    std::unordered_map<std::string, std::unique_ptr<tsql::TableColumns>> tableColumns_;
    tsql::TableColumns* lastTable_ = nullptr;   // the last table looked up, by its name as written
    std::string lastSchema_, lastTableName_;
    const tsql::TableColumnsOf columnsOf_;
    // translations
    LruMap<std::shared_ptr<const BatchTemplate>> templates_{kMaxPlans};
    LruMap<char> seenBatches_{kMaxSeen};   // batch keys met once
    // prepared copies
    LruMap<Plan> plans_{kMaxPlans};
    LruMap<char> seen_{kMaxSeen};   // shapes met once
    StatementHandle realReader_;    // a number's text read as the engine reads it written
};

}  // namespace ado::sqlite
