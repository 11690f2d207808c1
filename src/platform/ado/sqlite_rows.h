#pragma once
// The embedded provider's statements on the engine: the handles and their owners, the engine's
// failures raised as the server's, and the rows of a prepared statement read as fields and values.
// Internal to the ado layer (the session, its statement caches and its batch runner).
#include "platform/ado/provider.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace ado::sqlite {

// ---- handles -------------------------------------------------------------------------------

// Owners of the engine's handles. A connection closed while statements are still open stays
// usable by them and goes when the last of them is finalized.
struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, CloseDatabase>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Raises the engine's failure `rc` on `db` as the server reports it (its native error, state and
// text).
[[noreturn]] void Fail(sqlite3* db, int rc);

// Prepares the first statement of [sql, sql + n): null when it holds only blanks or comments;
// *tail (when given) receives where the next statement begins. Raises the engine's error.
StatementHandle Prepare(sqlite3* db, const char* sql, int n, const char** tail = nullptr);

// Runs statements that return nothing; raises the engine's error.
void Exec(sqlite3* db, const char* sql);

// ---- values ----------------------------------------------------------------------------------

// How a column's values are read, from its field type.
enum class Conv : uint8_t { Guess, Text, Long, Int, BigInt, Bool, Currency, Double, Date, Blob };
Conv ConvOf(int type);

// A value of a column. width: the length of a char(n) column, whose texts read padded to it.
vb::Variant ReadValue(sqlite3_stmt* st, int col, Conv conv, int width = 0);

// A date as date columns hold it (ISO text).
QByteArray IsoText(vb::Date d);

// Binds a value as a parameter; `keep` holds a text's bytes as long as the binding.
void BindVariant(sqlite3_stmt* st, int index, const vb::Variant& v, QByteArray* keep);

// A value assigned to a field, converted to the field's type as the server converts it (raising
// as it refuses); texts and the rest pass as they are.
vb::Variant ForField(const FieldInfo& f, const vb::Variant& v);

// ---- rows ------------------------------------------------------------------------------------

// The columns of a statement's rows as they are first described: from the declared types, a
// column without one as text until a value shows what it is.
struct ColumnLayout {
    std::vector<FieldInfo> fields;
    std::vector<Conv> conv;
    std::vector<int> width;       // char(n) holds its texts padded to n, as the server does
    std::vector<int> unguessed;

    explicit ColumnLayout(sqlite3_stmt* st);
};

// The rows of one prepared statement, stepped one at a time: the fields described from the
// columns' declared types, the values read by them. Both the Recordset's rows and the reader's
// are read through it, so the two read alike.
class StatementRows {
public:
    StatementRows(sqlite3* db, sqlite3_stmt* st) : StatementRows(db, st, ColumnLayout(st)) {}
    StatementRows(sqlite3* db, sqlite3_stmt* st, ColumnLayout layout)
        : fields(std::move(layout.fields)), db_(db), st_(st), conv_(std::move(layout.conv)),
          width_(std::move(layout.width)), unguessed_(std::move(layout.unguessed)) {}

    // Steps to the next row; false at the end (the caller steps no further then).
    bool step() { return take(sqlite3_step(st_)); }
    // The same for a step the caller made.
    bool take(int rc) {
        if (rc == SQLITE_DONE) return false;
        if (rc != SQLITE_ROW) Fail(db_, rc);
        if (!unguessed_.empty()) guessTypes();
        return true;
    }

    vb::Variant value(int c) const { return ReadValue(st_, c, conv_[static_cast<size_t>(c)], width_[static_cast<size_t>(c)]); }
    // True while a column's type waits for its first value.
    bool guessing() const { return !unguessed_.empty(); }

    Row row() const {
        Row r;
        r.reserve(conv_.size());
        for (int c = 0; c < static_cast<int>(conv_.size()); ++c) r.push_back(value(c));
        return r;
    }

    std::vector<FieldInfo> fields;

private:
    // Types of the columns that declare none, from their first value that is not Null.
    void guessTypes();

    sqlite3* db_;
    sqlite3_stmt* st_;
    std::vector<Conv> conv_;
    std::vector<int> width_;
    std::vector<int> unguessed_;
};

// The rows of a statement with `columns` columns; `stepped`, when not 0, is the result of a first
// step already made; `layout`, when given, is the statement's columns as described before.
// forUpdate: the base table and columns are noted, for the rows' updates.
std::unique_ptr<RowSource> ReadRows(sqlite3* db, sqlite3_stmt* st, int columns, bool forUpdate, int stepped = 0,
                                    const ColumnLayout* layout = nullptr);

// The reader's cursor: steps its own statement on the session's connection.
// Its statement keeps the connection's handle alive after the session is closed.
class SqliteCursor : public RowCursor {
public:
    SqliteCursor(sqlite3* db, StatementHandle st) : st_(std::move(st)), rows_(db, st_.get()) { fields = rows_.fields; }

    bool next() override;
    vb::Variant value(int index) const override { return rows_.value(index); }

private:
    StatementHandle st_;
    StatementRows rows_;
    bool done_ = false;
};

// A statement prepared with parameters, run by the Command.
class SqliteCommand : public Command {
public:
    SqliteCommand(sqlite3* db, StatementHandle st, TransactionGate* gate)
        : db_(db), st_(std::move(st)), keep_(static_cast<size_t>(sqlite3_bind_parameter_count(st_.get()))), gate_(gate) {}
    int parameterCount() const override { return sqlite3_bind_parameter_count(st_.get()); }
    void bind(int index, const vb::Variant& value) override;
    // Runs only while its session lives (the connection's command checks it first).
    long execute() override;

private:
    sqlite3* db_;   // kept alive by st_
    StatementHandle st_;
    std::vector<QByteArray> keep_;
    TransactionGate* gate_;   // its session's
};

}  // namespace ado::sqlite
