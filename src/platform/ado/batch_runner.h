#pragma once
// Runs a translated batch on the embedded session's connection: a small interpreter of what the
// batch holds besides plain statements (variables, IF, EXEC of stored procedures, CREATE
// PROCEDURE), the statements from their prepared copies where the statement cache keeps one, and
// the server's rule for failures inside a batch (a failure of a statement's data lets the batch go
// on; any other ends it). Internal to the ado layer.
//
//   sqlite::BatchRunner runner(db, cache, "VOLMA", attacher);
//   Translated t = cache.translate(sql, "VOLMA", attacher);
//   std::unique_ptr<RowSource> rows = runner.run(t, &affected, false);
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/statement_cache.h"

namespace ado::sqlite {

class BatchRunner {
public:
    // database: the name of the database in use (for the procedures' bodies).
    BatchRunner(sqlite3* db, StatementCache& cache, std::string_view database, DatabaseAttacher& attacher)
        : db_(db), cache_(cache), database_(database), attacher_(attacher) {}

    // Runs the batch: the rows of its last statement that returned rows (null when none did);
    // *affected (when given) receives the rows written. The failures of the statements the batch
    // went on after are raised at its end, as one failure.
    std::unique_ptr<RowSource> run(Translated& batch, long* affected, bool forUpdate);
    // A cursor on the batch's rows: stepping its one statement unless `whole` (or the batch is
    // more than one query), else over the rows read whole.
    std::unique_ptr<RowCursor> cursor(Translated& batch, bool whole);

private:
    struct Scope;
    // Where a statement's rows and count go.
    struct Out {
        std::unique_ptr<RowSource>* result;
        long* count;
        bool forUpdate;
    };

    std::unique_ptr<RowCursor> stepped(const std::string& sql);
    void run(const tsql::Statement& st, const Out& out, int nesting, Scope& scope);
    void runIf(const tsql::Statement& st, const Out& out, int nesting, Scope& scope);
    void declare(const tsql::Statement& st, Scope& scope);
    void assign(const tsql::Statement& st, Scope& scope);
    sqlite::Value firstValue(const std::string& sql, Scope& scope);
    StatementHandle prepareOne(const std::string& sql);
    void storeProcedure(const tsql::Statement& st);
    void runProcedure(const tsql::Statement& st, const Out& out, int nesting, Scope& caller);
    std::string procedureBody(const tsql::Statement& st, Scope& caller);
    void runSql(const std::string& sql, const Out& out, Scope& scope);
    void runKept(Translated& t, size_t i, const Out& out, Scope& scope);
    void runWritten(const std::string& sql, const Out& out, Scope& scope);
    bool runCached(const std::string& sql, const Out& out, Scope& scope, const Lifted* pre);
    void runPlan(Plan& plan, const std::vector<SqlLiteral>& literals, const Out& out, Scope& scope);
    void checkCopy(const Plan& plan, const std::string& sql, const Out& out, Scope& scope);
    void failed(const ProviderError& e, Scope& scope);
    static void bindScope(sqlite3_stmt* st, Scope* scope);

    sqlite3* db_;
    StatementCache& cache_;
    std::string_view database_;
    DatabaseAttacher& attacher_;
};

}  // namespace ado::sqlite
