// The embedded provider: SQLite databases in a folder, statements in the SQL Server dialect.
#include "platform/ado/provider.h"
#include "platform/ado/sqlite_files.h"
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/sqlite_literals.h"
#include "platform/ado/tsql.h"
#include "platform/vb/dates.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace ado {

namespace {

// ---------------------------------------------------------------------------------------------
// Values.

enum class Conv : uint8_t { Guess, Text, Long, Int, BigInt, Bool, Currency, Double, Date, Blob };

Conv ConvOf(int type) {
    switch (type) {
    case adVarWChar: case adVarChar: case adWChar: case adChar: case adLongVarChar: case adLongVarWChar: case adBSTR:
        return Conv::Text;
    case adInteger: return Conv::Long;
    case adSmallInt: case adUnsignedTinyInt: case adTinyInt: return Conv::Int;
    case adBigInt: return Conv::BigInt;
    case adBoolean: return Conv::Bool;
    case adCurrency: return Conv::Currency;
    case adNumeric: case adDecimal: case adDouble: case adSingle: return Conv::Double;
    case adDate: case adDBDate: case adDBTimeStamp: case adDBTime: return Conv::Date;
    case adBinary: case adVarBinary: case adLongVarBinary: return Conv::Blob;
    default: return Conv::Guess;
    }
}

// A date text as a Date: ISO, as date columns hold it, or another form the server reads; false
// when the text is no date.
bool ReadDateText(const char* s, int n, vb::Date* out, bool bareCompact) {
    tsql::DateTime d;
    if (!tsql::ReadDateTime(std::string_view(s, static_cast<size_t>(n)), &d, bareCompact)) return false;
    // Days since 30 December 1899 and the fraction of the day, as the runtime's Date.
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    const qint64 days = QDate(d.year, d.month, d.day).toJulianDay() - epoch;
    const double frac = static_cast<double>(((d.hour * 60 + d.minute) * 60 + d.second) * 1000 + d.millisecond) / 86400000.0;
    out->serial = days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
    return true;
}

QByteArray IsoText(vb::Date d) {
    const QDateTime dt = d.toQDateTime();
    return dt.toString(dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}

// A text column's value, padded with blanks to `width`: ASCII (most values) copied as it is in
// one allocation, any other text read from UTF-8.
QString ColumnText(const char* p, int n, int width) {
    int ascii = 0;
    while (ascii < n && static_cast<unsigned char>(p[ascii]) < 0x80) ++ascii;
    if (ascii == n && n > 0) {
        QString text(std::max(n, width), Qt::Uninitialized);
        QChar* d = text.data();
        for (int i = 0; i < n; ++i) d[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(p[i])));
        for (int i = n; i < width; ++i) d[i] = QChar(u' ');
        return text;
    }
    QString text = QString::fromUtf8(p, n);
    if (text.size() < width) text.resize(width, QLatin1Char(' '));
    return text;
}

// A value of a column. width: the length of a char(n) column, whose texts read padded to it.
vb::Variant ReadValue(sqlite3_stmt* st, int col, Conv conv, int width = 0) {
    const int storage = sqlite3_column_type(st, col);
    if (storage == SQLITE_NULL) return vb::Variant(vb::Null);
    switch (conv) {
    case Conv::Text: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return vb::Variant(ColumnText(p, sqlite3_column_bytes(st, col), width));
    }

    case Conv::Long:
        if (storage == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(st, col);
            if (v >= INT32_MIN && v <= INT32_MAX) return vb::Variant(static_cast<int>(v));
            return vb::Variant(static_cast<long long>(v));
        }
        break;
    case Conv::Int:
        if (storage == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(st, col);
            if (v >= INT16_MIN && v <= INT16_MAX) return vb::Variant(static_cast<int16_t>(v));
            return vb::Variant(static_cast<long long>(v));
        }
        break;
    case Conv::BigInt:
        if (storage == SQLITE_INTEGER) return vb::Variant(static_cast<long long>(sqlite3_column_int64(st, col)));
        break;
    case Conv::Bool:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) return vb::Variant(sqlite3_column_double(st, col) != 0);
        break;
    case Conv::Currency:
        if (storage == SQLITE_INTEGER) return vb::Variant(vb::Currency::fromInt(sqlite3_column_int64(st, col)));
        if (storage == SQLITE_FLOAT) return vb::Variant(vb::Currency::fromDouble(sqlite3_column_double(st, col)));
        if (storage == SQLITE_TEXT) {
            vb::Currency c;
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            if (vb::Currency::parse(QString::fromUtf8(p, sqlite3_column_bytes(st, col)).trimmed(), &c)) return vb::Variant(c);
        }
        break;
    case Conv::Double:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) return vb::Variant(sqlite3_column_double(st, col));
        break;
    case Conv::Date:
        if (storage == SQLITE_TEXT) {
            vb::Date d;
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            if (ReadDateText(p, sqlite3_column_bytes(st, col), &d, true)) return vb::Variant(d);
        } else {
            return vb::Variant(vb::Date{sqlite3_column_double(st, col)});
        }
        break;
    case Conv::Blob:
    case Conv::Guess:
        break;
    }
    switch (storage) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(st, col);
        if (v >= INT32_MIN && v <= INT32_MAX) return vb::Variant(static_cast<int>(v));
        return vb::Variant(static_cast<long long>(v));
    }
    case SQLITE_FLOAT: return vb::Variant(sqlite3_column_double(st, col));
    default: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        const int n = sqlite3_column_bytes(st, col);
        vb::Date d;
        if (conv == Conv::Guess && n >= 19 && n <= 23 && p[4] == '-' && ReadDateText(p, n, &d, false)) return vb::Variant(d);
        return vb::Variant(QString::fromUtf8(p, n));
    }
    }
}

// ---------------------------------------------------------------------------------------------
// Errors.

[[noreturn]] void Fail(sqlite3* db, int rc) {
    const int ext = sqlite3_extended_errcode(db);
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    auto after = [&](const char* prefix) {
        const int at = msg.indexOf(QLatin1String(prefix));
        return at < 0 ? QString() : msg.mid(at + static_cast<int>(std::strlen(prefix))).trimmed();
    };
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) {
        switch (ext) {
        case SQLITE_CONSTRAINT_CHECK:
            if (msg.contains(QLatin1String(tsql::kLengthCheckPrefix.data(), static_cast<qsizetype>(tsql::kLengthCheckPrefix.size())))) {
                sqlite::ThrowServerError(8152, QStringLiteral("String or binary data would be truncated."));
            }
            ThrowProvider(vb::kHrIntegrityViolation, msg, QStringLiteral("23000"), 547);
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Violation of PRIMARY KEY constraint. Cannot insert duplicate key (%1).").arg(after("failed:")),
                          QStringLiteral("23000"), 2627);
        case SQLITE_CONSTRAINT_UNIQUE:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Cannot insert duplicate key row (%1).").arg(after("failed:")), QStringLiteral("23000"), 2601);
        case SQLITE_CONSTRAINT_NOTNULL:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Cannot insert the value NULL into column '%1'; column does not allow nulls.").arg(after("failed:")),
                          QStringLiteral("23000"), 515);
        default: ThrowProvider(vb::kHrIntegrityViolation, msg, QStringLiteral("23000"), 547);
        }
    }
    if ((rc & 0xFF) == SQLITE_BUSY) sqlite::ThrowLockHeld(db);
    if ((rc & 0xFF) == SQLITE_LOCKED) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Lock request time out period exceeded."), QStringLiteral("HYT00"), 1222);
    }
    if ((rc & 0xFF) == SQLITE_ERROR) {
        long native = 0;
        QString text;
        if (sqlite::ReadRuleFailure(msg, &native, &text)) sqlite::ThrowServerError(native, text);
        if (msg.startsWith(QLatin1String("no such function:"))) {
            sqlite::ThrowServerError(195, QStringLiteral("'%1' is not a recognized built-in function name.").arg(after("no such function:")));
        }
        if (msg.startsWith(QLatin1String("Expression tree is too large"))) {
            sqlite::ThrowServerError(191, QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or break "
                                                         "it up into smaller queries."));
        }
        if (msg.startsWith(QLatin1String("no such table:"))) {
            ThrowProvider(vb::kHrNoSuchTable, QStringLiteral("Invalid object name '%1'.").arg(after("no such table:")),
                          QStringLiteral("42S02"), 208);
        }
        if (msg.startsWith(QLatin1String("no such column:"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Invalid column name '%1'.").arg(after("no such column:")),
                          QStringLiteral("42S22"), 207);
        }
        if (msg.contains(QLatin1String("already exists"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("There is already an object named %1 in the database.")
                                                      .arg(msg.section(QLatin1Char(' '), 1, 1)),
                          QStringLiteral("42S01"), 2714);
        }
        if (msg.contains(QLatin1String("syntax error")) || msg.contains(QLatin1String("incomplete input")) ||
            msg.contains(QLatin1String("unrecognized token"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Incorrect syntax: %1").arg(msg), QStringLiteral("42000"), 102);
        }
        ThrowProvider(vb::kHrErrorsInCommand, msg, QStringLiteral("42000"), 8180);
    }
    ThrowProvider(vb::kHrUnspecified, msg, QStringLiteral("HY000"), ext);
}

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

// Prepares the first statement of [sql, sql + n): null when it holds only blanks or comments;
// *tail (when given) receives where the next statement begins. Raises the engine's error.
StatementHandle Prepare(sqlite3* db, const char* sql, int n, const char** tail = nullptr) {
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, n, &st, tail);
    StatementHandle owned(st);
    if (rc != SQLITE_OK) Fail(db, rc);
    return owned;
}

void Exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) Fail(db, rc);
}

// A result column's name: an expression without a name is named by its text, without the compare
// rule the translation wrote on it.
QString ColumnName(sqlite3_stmt* st, int c) {
    QString name = QString::fromUtf8(sqlite3_column_name(st, c));
    static const QString rule = QString::fromLatin1(tsql::kTextRule.data(), static_cast<qsizetype>(tsql::kTextRule.size()));
    if (name.endsWith(rule)) name.chop(rule.size());
    return name;
}

// The columns of a query that are a money expression (no declared type tells it): a money
// value is a Currency field, as the server describes it.
std::vector<bool> MoneyColumns(sqlite3_stmt* st) {
    const char* sql = sqlite3_sql(st);
    if (!sql || (!std::strstr(sql, "'money'") && !std::strstr(sql, "'smallmoney'"))) return {};
    return tsql::MoneyColumns(sql);
}

// The rows of one prepared statement, stepped one at a time: the fields described from the
// columns' declared types, the values read by them. Both the Recordset's rows and the reader's
// are read through it, so the two read alike.
// The columns of a statement's rows as they are first described: from the declared types, a
// column without one as text until a value shows what it is.
struct ColumnLayout {
    std::vector<FieldInfo> fields;
    std::vector<Conv> conv;
    std::vector<int> width;       // char(n) holds its texts padded to n, as the server does
    std::vector<int> unguessed;

    explicit ColumnLayout(sqlite3_stmt* st) {
        const int columns = sqlite3_column_count(st);
        fields.reserve(static_cast<size_t>(columns));
        conv.reserve(static_cast<size_t>(columns));
        const std::vector<bool> money = MoneyColumns(st);
        for (int c = 0; c < columns; ++c) {
            const char* declared = sqlite3_column_decltype(st, c);
            if (!declared && static_cast<size_t>(c) < money.size() && money[static_cast<size_t>(c)]) declared = "money";
            FieldInfo f = FieldFromDeclaredType(ColumnName(st, c), declared);
            conv.push_back(ConvOf(f.type));
            const bool fixed = (f.type == adChar || f.type == adWChar) && f.definedSize <= 8000;
            width.push_back(fixed ? static_cast<int>(f.definedSize) : 0);
            if (f.type == adEmpty) {
                f.type = adVarWChar;
                f.definedSize = 255;
                unguessed.push_back(c);
            }
            fields.push_back(std::move(f));
        }
    }
};

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
    void guessTypes() {
        std::vector<int> still;
        for (const int c : unguessed_) {
            FieldInfo& f = fields[static_cast<size_t>(c)];
            switch (value(c).type()) {
            case vb::VarType::Null: still.push_back(c); break;
            case vb::VarType::Long: f.type = adInteger; f.definedSize = 4; f.precision = 10; break;
            case vb::VarType::Double: f.type = adDouble; f.definedSize = 8; f.precision = 15; break;
            case vb::VarType::Date: f.type = adDBTimeStamp; f.definedSize = 16; f.precision = 23; break;
            default: break;   // text
            }
        }
        unguessed_ = std::move(still);
    }

    sqlite3* db_;
    sqlite3_stmt* st_;
    std::vector<Conv> conv_;
    std::vector<int> width_;
    std::vector<int> unguessed_;
};

// The reader's cursor: steps its own statement on the session's connection.
// Its statement keeps the connection's handle alive after the session is closed.
class SqliteCursor : public RowCursor {
public:
    SqliteCursor(sqlite3* db, StatementHandle st) : st_(std::move(st)), rows_(db, st_.get()) { fields = rows_.fields; }

    bool next() override {
        if (done_) return false;
        const bool guessing = rows_.guessing();
        if (rows_.step()) {
            if (guessing) fields = rows_.fields;
            return true;
        }
        done_ = true;
        sqlite3_reset(st_.get());   // ends the read: the transaction is no longer held open by it
        return false;
    }
    vb::Variant value(int index) const override { return rows_.value(index); }

private:
    StatementHandle st_;
    StatementRows rows_;
    bool done_ = false;
};

void BindVariant(sqlite3_stmt* st, int index, const vb::Variant& v, QByteArray* keep) {
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate> || std::is_same_v<T, vb::NullT>) {
                sqlite3_bind_null(st, index);
            } else if constexpr (std::is_same_v<T, bool>) {
                sqlite3_bind_int(st, index, x ? 1 : 0);
            } else if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>) {
                sqlite3_bind_int64(st, index, x);
            } else if constexpr (std::is_same_v<T, double>) {
                sqlite3_bind_double(st, index, x);
            } else if constexpr (std::is_same_v<T, vb::Currency>) {
                if (x.raw() % vb::Currency::kScale == 0) sqlite3_bind_int64(st, index, x.raw() / vb::Currency::kScale);
                else sqlite3_bind_double(st, index, x.toDouble());
            } else if constexpr (std::is_same_v<T, vb::Date>) {
                *keep = IsoText(x);
                sqlite3_bind_text(st, index, keep->constData(), static_cast<int>(keep->size()), SQLITE_STATIC);
            } else if constexpr (std::is_same_v<T, QString>) {
                *keep = x.toUtf8();
                sqlite3_bind_text(st, index, keep->constData(), static_cast<int>(keep->size()), SQLITE_STATIC);
            }
        },
        v.raw());
}

QString FindDatabaseFile(const QString& folder, const QString& name) {
    const QString direct = QDir(folder).filePath(name + QStringLiteral(".sqlite"));
    if (QFileInfo::exists(direct)) return direct;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.sqlite"), QStringLiteral("*.SQLITE"), QStringLiteral("*.Sqlite")},
                                                     QDir::Files);
    for (const QString& f : files) {
        if (QFileInfo(f).completeBaseName().compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(f);
    }
    return QString();
}

class SqliteCommand : public Command {
public:
    SqliteCommand(sqlite3* db, StatementHandle st, TransactionGate* gate)
        : db_(db), st_(std::move(st)), keep_(static_cast<size_t>(sqlite3_bind_parameter_count(st_.get()))), gate_(gate) {}
    int parameterCount() const override { return sqlite3_bind_parameter_count(st_.get()); }
    void bind(int index, const vb::Variant& value) override {
        if (index < 1 || index > parameterCount()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Parameter %1 out of range.").arg(index), QStringLiteral("07009"), 0);
        }
        BindVariant(st_.get(), index, value, &keep_[static_cast<size_t>(index - 1)]);
    }
    // Runs only while its session lives (the connection's command checks it first).
    long execute() override {
        return Gated(*gate_, [&] {
            int rc;
            while ((rc = sqlite3_step(st_.get())) == SQLITE_ROW) {
            }
            sqlite3_reset(st_.get());
            if (rc != SQLITE_DONE) Fail(db_, rc);
            return static_cast<long>(sqlite3_changes(db_));
        });
    }

private:
    sqlite3* db_;   // kept alive by st_
    StatementHandle st_;
    std::vector<QByteArray> keep_;
    TransactionGate* gate_;   // its session's
};

// A value assigned to a field, converted to the field's type as the server converts it (raising
// as it refuses); texts and the rest pass as they are.
vb::Variant ForField(const FieldInfo& f, const vb::Variant& v) {
    std::string type;
    switch (f.type) {
    case adInteger: type = "int"; break;
    case adSmallInt: type = "smallint"; break;
    case adUnsignedTinyInt: case adTinyInt: type = "tinyint"; break;
    case adBigInt: type = "bigint"; break;
    case adBoolean: type = "bit"; break;
    case adCurrency: type = "money"; break;
    case adNumeric: case adDecimal: type = "numeric(" + std::to_string(f.precision) + "," + std::to_string(f.numericScale) + ")"; break;
    case adDouble: case adSingle: type = "float"; break;
    default: if (IsDateType(f.type)) type = "datetime"; break;
    }
    if (type.empty() || v.isNull() || v.type() == vb::VarType::Empty) return v;
    sqlite::Value in;
    switch (v.type()) {
    case vb::VarType::Boolean: in.kind = sqlite::Value::Integer; in.i = v.toBool() ? -1 : 0; break;
    case vb::VarType::Integer: case vb::VarType::Long: in.kind = sqlite::Value::Integer; in.i = v.toLong(); break;
    case vb::VarType::Double: case vb::VarType::Currency: in.kind = sqlite::Value::Real; in.r = v.toDouble(); break;
    case vb::VarType::Date: in.kind = sqlite::Value::Text; in.s = IsoText(v.toDate()).toStdString(); break;
    default: in.kind = sqlite::Value::Text; in.s = v.toString().toStdString(); break;
    }
    const sqlite::Value out = sqlite::ConvertTo(type, in);
    switch (out.kind) {
    case sqlite::Value::Integer: return vb::Variant(static_cast<long long>(out.i));
    case sqlite::Value::Real: return vb::Variant(out.r);
    case sqlite::Value::Text: return vb::Variant(QString::fromStdString(out.s));
    case sqlite::Value::Null: break;
    }
    return vb::Variant(vb::Null);
}

class SqliteSession : public Session, private TransactionGate {
    // ---- translations kept by their shape -----------------------------------------------------
    //
    // A batch met again with other literals is not translated anew: its translation is kept by
    // the key of tsql::LiftShape, as pieces of text around the marks of its literals, and each
    // statement's literals are put in. Where the translation's own literals lift out of it (all
    // but a count or a position the statement keeps), the statement's SQLite shape and its values
    // are kept too, so that its prepared copy is found without reading the text again. Kept the
    // second time a key is met, for batches of plain statements; forgotten when the tables change.
    // With KORV_SQL_CACHE_CHECK every kept translation is compared with the batch's own.

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
        const std::string& sql(size_t i) {
            std::string& out = batch.statements[i].sql;
            if (!kept || built[i]) return out;
            const std::string_view written(text.constData(), static_cast<size_t>(text.size()));
            out.reserve(written.size() + 64);
            for (const tsql::MarkedPiece& p : kept->statements[i].pieces) {
                out += p.text;
                if (p.literal >= 0) out += tsql::LiteralToken(written, shape.literals[static_cast<size_t>(p.literal)]);
            }
            built[i] = 1;
            return out;
        }
        void buildAll() {
            for (size_t i = 0; i < batch.statements.size(); ++i) sql(i);
        }
    };

public:
    SqliteSession(const QString& folder, const QString& database) : folder_(folder) { open(database); }

    bool embedded() const override { return true; }
    int transactionLevel() const override { return txn_.level; }
    QString defaultDatabase() const override { return name_; }

    void setDefaultDatabase(const QString& name) override {
        if (name.trimmed().isEmpty() || name.trimmed().compare(name_, Qt::CaseInsensitive) == 0) return;
        if (txn_.level > 0) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("The database cannot be changed inside a transaction."), QStringLiteral("25000"), 226);
        }
        forgetSchemaQueries();   // asked again of whichever database is in use after
        open(name.trimmed());   // the database in use stays when the other cannot be opened
        txn_.owed = false;      // the transaction owed went with the database left
    }

    std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) override {
        return Gated(*this, [&] { return runBatch(sql, affected, forUpdate); });
    }
    std::unique_ptr<RowSource> runBatch(const QString& sql, long* affected, bool forUpdate) {
        Translated translated = translate(sql);
        const tsql::Batch& batch = translated.batch;
        std::unique_ptr<RowSource> result;
        long count = 0;
        std::vector<ProviderError> errors;
        Scope scope{&errors};
        for (size_t i = 0; i < batch.statements.size(); ++i) {
            if (translated.kept) runKept(translated, i, &result, &count, forUpdate, scope);
            else run(batch.statements[i], &result, &count, forUpdate, 0, scope);
        }
        if (affected) *affected = count;
        if (!errors.empty()) raise(errors);
        return result;
    }

    // The outermost transaction is the engine's; one begun inside it is the savepoint korv_<n>,
    // n the level it is begun at. The level changes only once the engine has done the step.
    void begin() override {
        readyToRun();
        // The write lock is taken at once, waiting for another connection's transaction: taken
        // at the first write, after reads, it could only fail (the engine does not wait there, and
        // what was read may be outdated by then).
        if (txn_.level == 0) Exec(db(), "BEGIN IMMEDIATE");
        else Gated(*this, [&] { Exec(db(), ("SAVEPOINT " + Savepoint(txn_.level)).c_str()); });
        ++txn_.level;
    }
    // A commit the engine refuses (a deferred constraint, a locked file) leaves the transaction
    // open for the caller to roll back; one after which the engine rolled back dooms it.
    void commit() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), 3902);
        const std::string sql = txn_.level == 1 ? std::string("COMMIT") : "RELEASE " + Savepoint(txn_.level - 1);
        Gated(*this, [&] { Exec(db(), sql.c_str()); });
        --txn_.level;
    }
    // The caller's transaction ends whatever the engine answers: a savepoint whose work the engine
    // cannot take back dooms the transaction around it; the outermost transaction the engine
    // refuses to roll back is rolled back before anything else runs (TransactionState::owed).
    void rollback() override {
        if (txn_.level == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), 3903);
        if (txn_.level > 1) {
            --txn_.level;
            if (txn_.doomed) return;   // undone by the outermost rollback
            const std::string sp = Savepoint(txn_.level);
            try {
                Exec(db(), ("ROLLBACK TO " + sp).c_str());
                Exec(db(), ("RELEASE " + sp).c_str());
            } catch (ProviderError& e) {
                afterFailure(e);
                txn_.doomed = true;
                throw;
            }
            return;
        }
        txn_ = TransactionState{};
        if (sqlite3_get_autocommit(db())) return;   // the engine ended it already
        try {
            Exec(db(), "ROLLBACK");
        } catch (const ProviderError&) {
            txn_.owed = !sqlite3_get_autocommit(db());
            throw;
        }
    }

    std::unique_ptr<RowSource> tables() override {
        auto rs = std::make_unique<RowSource>();
        rs->fields = {textField("TABLE_CATALOG"), textField("TABLE_SCHEMA"), textField("TABLE_NAME"), textField("TABLE_TYPE")};
        const StatementHandle st =
            Prepare(db(), "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' "
                          "ESCAPE '!' AND name NOT IN ('KORV_PROCEDURES', 'KORV_BASE') ORDER BY name", -1);
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            rs->rows.push_back({vb::Variant(name_), vb::Variant(QStringLiteral("dbo")),
                                vb::Variant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)))),
                                vb::Variant(type == QLatin1String("view") ? QStringLiteral("VIEW") : QStringLiteral("TABLE"))});
        }
        if (rc != SQLITE_DONE) Fail(db(), rc);
        return rs;
    }

    std::unique_ptr<RowSource> columns(const QString& table, const QString& column) override {
        auto rs = std::make_unique<RowSource>();
        FieldInfo longField;
        longField.type = adInteger;
        longField.definedSize = 4;
        FieldInfo boolField;
        boolField.type = adBoolean;
        boolField.definedSize = 2;
        FieldInfo typeField = longField;
        typeField.type = adUnsignedTinyInt;
        rs->fields = {textField("TABLE_CATALOG"), textField("TABLE_SCHEMA"), textField("TABLE_NAME"), textField("COLUMN_NAME"),
                      longField, boolField, longField, longField, longField, longField};
        rs->fields[4].name = QStringLiteral("ORDINAL_POSITION");
        rs->fields[5].name = QStringLiteral("IS_NULLABLE");
        rs->fields[6].name = QStringLiteral("DATA_TYPE");
        rs->fields[7].name = QStringLiteral("CHARACTER_MAXIMUM_LENGTH");
        rs->fields[8].name = QStringLiteral("NUMERIC_PRECISION");
        rs->fields[9].name = QStringLiteral("NUMERIC_SCALE");
        std::vector<QString> names;
        if (table.trimmed().isEmpty()) {
            auto all = tables();
            for (const Row& r : all->rows) names.push_back(r[2].toString());
        } else {
            // "T", "[T]", "dbo.T" or "[VOLMA].[dbo].[T]": the last part names the table.
            QString t = table.trimmed();
            const qsizetype dot = t.lastIndexOf(QLatin1Char('.'));
            if (dot >= 0 && !t.endsWith(QLatin1Char('.'))) t = t.mid(dot + 1);
            if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) t = t.mid(1, t.size() - 2);
            names.push_back(t.trimmed());
        }
        for (const QString& t : names) {
            const StatementHandle st = Prepare(db(), "SELECT name, type, \"notnull\" FROM pragma_table_info(?1)", -1);
            const QByteArray tn = t.toUtf8();
            sqlite3_bind_text(st.get(), 1, tn.constData(), static_cast<int>(tn.size()), SQLITE_STATIC);
            int rc, ordinal = 0;
            while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
                ++ordinal;
                const QString col = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
                if (!column.trimmed().isEmpty() && col.compare(column.trimmed(), Qt::CaseInsensitive) != 0) continue;
                const FieldInfo f = FieldFromDeclaredType(col, reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
                const int type = f.type == adEmpty ? adVarWChar : f.type;
                const bool text = ConvOf(type) == Conv::Text || type == adBinary || type == adVarBinary;
                const bool numeric = ConvOf(type) != Conv::Text && ConvOf(type) != Conv::Date && ConvOf(type) != Conv::Blob;
                rs->rows.push_back({vb::Variant(name_), vb::Variant(QStringLiteral("dbo")), vb::Variant(t), vb::Variant(col),
                                    vb::Variant(ordinal), vb::Variant(sqlite3_column_int(st.get(), 2) == 0), vb::Variant(type),
                                    text ? vb::Variant(static_cast<long>(f.definedSize)) : vb::Variant(vb::Null),
                                    numeric ? vb::Variant(f.precision) : vb::Variant(vb::Null),
                                    numeric ? vb::Variant(f.numericScale) : vb::Variant(vb::Null)});
            }
            if (rc != SQLITE_DONE) Fail(db(), rc);
        }
        return rs;
    }

    std::unique_ptr<Command> prepare(const QString& sql) override {
        const QByteArray text = sql.toUtf8();
        StatementHandle st = Prepare(db(), text.constData(), static_cast<int>(text.size()));
        if (!st) ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Command text was not set."), QStringLiteral("42000"), 0);
        return std::make_unique<SqliteCommand>(db(), std::move(st), static_cast<TransactionGate*>(this));
    }

    std::unique_ptr<RowCursor> openCursor(const QString& sql, bool whole) override {
        return Gated(*this, [&] { return cursorOn(sql, whole); });
    }
    std::unique_ptr<RowCursor> cursorOn(const QString& sql, bool whole) {
        Translated translated = translate(sql);
        translated.buildAll();
        const tsql::Batch& batch = translated.batch;
        if (!whole && batch.statements.size() == 1 && batch.statements[0].kind == tsql::Statement::Sql) {
            if (auto cursor = stepped(batch.statements[0].sql)) return cursor;
        }
        std::unique_ptr<RowSource> result;
        long count = 0;
        std::vector<ProviderError> errors;
        Scope scope{&errors};
        for (const tsql::Statement& st : batch.statements) run(st, &result, &count, false, 0, scope);
        if (!errors.empty()) raise(errors);
        return std::make_unique<WholeRowsCursor>(std::move(result));
    }

    void setCommandTimeout(long seconds) override { lockWait_.seconds = std::max(0L, seconds); }

    void updateRow(const RowSource& rs, const Row& original, const FieldChanges& changes) override {
        const std::vector<QString> columns = UpdatedColumns(rs, changes);
        QString sql = QStringLiteral("UPDATE \"%1\" SET ").arg(rs.baseTable);
        std::vector<vb::Variant> values;
        for (size_t i = 0; i < changes.size(); ++i) {
            if (i) sql += QLatin1Char(',');
            sql += QStringLiteral("\"%1\"=?").arg(columns[i]);
            // A value assigned to a number or date field is taken as the server takes it.
            values.push_back(ForField(rs.fields[static_cast<size_t>(changes[i].first)], changes[i].second));
        }
        sql += QStringLiteral(" WHERE rowid = (SELECT rowid FROM \"%1\" WHERE 1=1").arg(rs.baseTable);
        for (size_t i = 0; i < rs.baseColumns.size(); ++i) {
            if (rs.baseColumns[i].isEmpty()) continue;
            sql += QStringLiteral(" AND \"%1\" IS ?").arg(rs.baseColumns[i]);
            values.push_back(original[i]);
        }
        sql += QStringLiteral(" LIMIT 1)");
        WriteOneRow(*this, sql, values);
    }

private:
    QString folder_;
    QString name_;
    std::string nameUtf8_;
    DatabaseHandle db_;
    sqlite::LockWait lockWait_;   // the wait for another connection's transaction
    TransactionState txn_;

    static std::string Savepoint(int level) { return "korv_" + std::to_string(level); }

    // A transaction the engine ended by itself since the last look (SQLite rolls the whole
    // transaction back after some failures of a full disk, an I/O error or memory) dooms the
    // caller's: from then on its statements would run outside it.
    bool engineEnded() { return txn_.level > 0 && !txn_.doomed && sqlite3_get_autocommit(db()); }

    void readyToRun() override {
        assert(txn_.level >= 0 && (txn_.level == 0 || !txn_.owed) && (txn_.level > 0 || !txn_.doomed));
        if (txn_.owed) {
            if (!sqlite3_get_autocommit(db())) Exec(db(), "ROLLBACK");
            txn_.owed = false;
        }
        if (engineEnded()) {
            txn_.doomed = true;
            throw RolledBackByServer();
        }
        if (txn_.doomed) ThrowDoomedTransaction();
    }
    void afterFailure(ProviderError& e) override {
        if (!engineEnded()) return;
        txn_.doomed = true;
        e.following.push_back(RolledBackByServer());
    }
    std::vector<QString> attached_;
    // The columns of the tables that statements write into, read once per table; forgotten when
    // a schema changes (this connection's DDL, or another's, seen by the schema version, which is
    // read before every batch).
    struct SchemaVersion {
        std::string schema;
        StatementHandle query;   // PRAGMA <schema>.schema_version
        int version = -1;
    };
    std::vector<SchemaVersion> versions_;
    std::unordered_map<std::string, std::unique_ptr<tsql::TableColumns>> tableColumns_;
    tsql::TableColumns* lastTable_ = nullptr;   // the last table looked up, by its name as written
    std::string lastSchema_, lastTableName_;
    const tsql::TableColumnsOf columnsOf_ = [this](std::string_view database, std::string_view table) {
        return tableColumns(database, table);
    };

    tsql::TableColumns* tableColumns(std::string_view database, std::string_view table) {
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
            const int rc = sqlite3_prepare_v2(db(), pragma.c_str(), -1, &query, nullptr);
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
        const int rc = sqlite3_prepare_v2(db(), "SELECT name, type FROM pragma_table_info(?1, ?2)", -1, &query, nullptr);
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
    void checkVersion(SchemaVersion& v) {
        const int version = sqlite3_step(v.query.get()) == SQLITE_ROW ? sqlite3_column_int(v.query.get(), 0) : -1;
        sqlite3_reset(v.query.get());
        if (version == v.version) return;
        forgetTables();
        for (SchemaVersion& x : versions_) x.version = -1;
        v.version = version;
    }

    void checkSchemas() {
        for (SchemaVersion& v : versions_) checkVersion(v);
    }

    tsql::TableColumns* remember(const std::string& schema, std::string_view table, tsql::TableColumns* columns) {
        lastSchema_ = schema;
        lastTableName_.assign(table);
        lastTable_ = columns;
        return columns;
    }

    // A statement that creates, alters or drops: the columns read so far may no longer stand.
    static bool ChangesSchema(const std::string& sql) {
        size_t i = 0;
        while (i < sql.size() && (sql[i] == ' ' || sql[i] == '\t' || sql[i] == '\r' || sql[i] == '\n')) ++i;
        auto starts = [&](const char* w) {
            const size_t n = std::strlen(w);
            if (sql.size() - i < n) return false;
            for (size_t k = 0; k < n; ++k) {
                if ((sql[i + k] & ~0x20) != w[k]) return false;
            }
            return true;
        };
        return starts("CREATE") || starts("ALTER") || starts("DROP");
    }

    // The columns read so far, and the translations made with them.
    void forgetTables() {
        tableColumns_.clear();
        lastTable_ = nullptr;
        templates_.clear();
    }

    void forgetSchemaQueries() {
        versions_.clear();
        forgetTables();
    }

    // What a batch (or a procedure's body) runs with: its variables, @@ROWCOUNT, and the errors of
    // the statements the batch went on after (shared with the procedures it calls).
    struct Scope {
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

    Translated translate(const QString& sql) {
        Translated out;
        out.text = sql.toUtf8();
        const std::string_view text(out.text.constData(), static_cast<size_t>(out.text.size()));
        out.shape = tsql::LiftShape(text);
        const tsql::Shape& shape = out.shape;
        std::shared_ptr<const BatchTemplate> kept;
        checkSchemas();   // the columns read and the translations kept stand for the schema as it is
        if (shape.valid) {
            const auto found = templates_.find(shape.key);
            if (found != templates_.end()) kept = found->second;
            if (kept && kept->usable && Fits(*kept, text, shape)) {
                Fill(kept, text, shape, &out);
                for (const std::string& d : out.batch.databases) attach(d);
                if (CheckEveryRun()) CheckKept(text, out);
                return out;
            }
        }
        const size_t attached = attached_.size();
        out.batch = tsql::Translate(text, nameUtf8_, columnsOf_);
        for (const std::string& d : out.batch.databases) attach(d);
        // A database the batch names is attached only now: translated again with its tables' columns.
        if (attached_.size() != attached) out.batch = tsql::Translate(text, nameUtf8_, columnsOf_);
        // Kept the second time a shape is met (at once under KORV_SQL_CACHE_CHECK).
        if (shape.valid && !kept) {
            if (!CheckEveryRun() && seenBatches_.insert(shape.key).second) {
                if (seenBatches_.size() > kMaxSeen) seenBatches_.clear();
            } else {
                if (templates_.size() >= kMaxPlans) templates_.clear();
                templates_.emplace(shape.key, makeTemplate(text, shape, out.batch));
            }
        }
        return out;
    }

    // The errors of a batch that went on after them, raised as one failure: the first, followed
    // by the others in the order met.
    [[noreturn]] static void raise(std::vector<ProviderError>& errors) {
        ProviderError first = errors.front();
        for (size_t i = 1; i < errors.size(); ++i) {
            first.following.push_back(errors[i]);
            for (const ProviderError& f : errors[i].following) first.following.push_back(f);
        }
        throw first;
    }

    // Failures after which the server goes on with the next statement of the batch: those of
    // the statement's data. Any other ends the batch.
    static bool endsStatementOnly(long native) {
        switch (native) {
        case 2627: case 2601: case 515: case 547: case 8152: case 8115: case 8134: case 517: case 535: return true;
        default: return false;
        }
    }

    // A statement failed: kept when the batch goes on after it, else raised with those kept before.
    void failed(const ProviderError& e, Scope& scope) {
        scope.rowCount = 0;
        if (endsStatementOnly(e.nativeError)) {
            scope.errors->push_back(e);
            return;
        }
        if (scope.errors->empty()) throw e;
        scope.errors->push_back(e);
        raise(*scope.errors);
    }

    // Binds the variables a statement names, and @@ROWCOUNT.
    static void bindScope(sqlite3_stmt* st, Scope* scope) {
        const int n = sqlite3_bind_parameter_count(st);
        for (int i = 1; i <= n; ++i) {
            const char* name = sqlite3_bind_parameter_name(st, i);
            if (!name) continue;
            if (tsql::kRowCountParameter == name) {
                sqlite3_bind_int64(st, i, scope ? scope->rowCount : 0);
                continue;
            }
            Scope::Variable* v = scope ? scope->find(name) : nullptr;
            if (!v) sqlite::ThrowServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromUtf8(name)));
            sqlite::Bind(st, i, v->value);
        }
    }


    static FieldInfo textField(const char* name) {
        FieldInfo f;
        f.name = QString::fromLatin1(name);
        f.type = adVarWChar;
        f.definedSize = 128;
        return f;
    }

    void open(const QString& database) {
        const QString wanted = database.trimmed();
        if (wanted.isEmpty()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Cannot open database requested by the login. No database was named."),
                          QStringLiteral("42000"), 4060);
        }
        // Refused as a server refuses a database it does not hold or cannot read: the message
        // names the file and what is wrong with it.
        const auto refuse = [&](const QString& file, const QString& why) {
            ThrowProvider(vb::kHrUnspecified,
                          QStringLiteral("Cannot open database \"%1\" requested by the login. The file %2 %3").arg(wanted, QDir::toNativeSeparators(file), why),
                          QStringLiteral("42000"), 4060);
        };
        const QString file = FindDatabaseFile(folder_, wanted);
        if (file.isEmpty()) refuse(QDir(folder_).filePath(wanted + QStringLiteral(".sqlite")), QStringLiteral("does not exist."));
        // An empty file would be taken by the engine for a new database and written as one.
        if (QFileInfo(file).size() == 0) refuse(file, QStringLiteral("is empty (0 bytes): it is not a database."));
        // A connection serves one thread at a time, as its Errors and transaction level do:
        // SQLite need not lock it on every call. Without SQLITE_OPEN_CREATE: opening never
        // creates a database file.
        sqlite3* opened = nullptr;
        const int rc =
            sqlite3_open_v2(QFile::encodeName(file).constData(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        DatabaseHandle db(opened);   // a handle comes back even when the open fails
        if (rc != SQLITE_OK) refuse(file, QStringLiteral("cannot be opened: ") + (db ? QString::fromUtf8(sqlite3_errmsg(db.get())) : QStringLiteral("out of memory")) + u'.');
        // The engine reads the file only when asked: its header and schema are read now, before
        // anything is written, so a file that is not a database or is damaged is refused here.
        // A database another connection holds locked is not refused for that.
        const int read = sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (read != SQLITE_OK && read != SQLITE_BUSY && read != SQLITE_LOCKED)
            refuse(file, QStringLiteral("cannot be read: ") + QString::fromUtf8(sqlite3_errmsg(db.get())) + u'.');
        sqlite::RegisterServerRules(db.get());
        plans_.clear();   // prepared on the handle being replaced
        realReader_.reset();
        seen_.clear();
        templates_.clear();   // translated for the database being replaced
        seenBatches_.clear();
        sqlite::WaitForLocks(db.get(), &lockWait_);
        // Readers and the writer work at once in WAL mode, where NORMAL keeps the file whole in a
        // crash. A file that cannot take WAL (its folder or its file system) keeps the mode it has,
        // and is then written with every sync.
        const StatementHandle journal = Prepare(db.get(), "PRAGMA journal_mode=WAL", -1);
        const int stepped = sqlite3_step(journal.get());
        if (stepped != SQLITE_ROW) Fail(db.get(), stepped);
        const bool wal = sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(journal.get(), 0)), "wal") == 0;
        sqlite3_reset(journal.get());
        Exec(db.get(), wal ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
        // A page cache that holds a receiving day's working set (64 MiB): with the default 2 MiB,
        // every statement reads its pages again from the file once the tables outgrow it.
        Exec(db.get(), "PRAGMA cache_size=-65536");
        UpgradeCompareRules(db.get(), "main");
        // Only a database that opened whole replaces the one in use.
        db_ = std::move(db);
        name_ = QFileInfo(file).completeBaseName();
        nameUtf8_ = name_.toStdString();
        attached_.clear();
    }

private:
    sqlite3* db() const { return db_.get(); }

    // A file of an earlier version takes the program's compare rules' names. When it cannot (held
    // by a station of an earlier version, a file that cannot be written), it stays as it was, and
    // this connection reads its old names by the same rules; the next connection tries again.
    static void UpgradeCompareRules(sqlite3* db, const char* schema) {
        if (!sqlite3_get_autocommit(db)) return;   // a database attached inside a transaction: later
        try {
            sqlite::UpgradeCompareRules(db, schema);
        } catch (const ProviderError&) {
        }
    }

    // ---- prepared statements kept by their shape ---------------------------------------------
    //
    // A statement met again runs its prepared copy with its literals bound as parameters: it is
    // not prepared anew. The copy is made the second time a shape is met, and serves only when
    // it reads the same columns as the statement itself. With KORV_SQL_CACHE_CHECK set (as the
    // tests run), the copy is made at once and every read from it is compared with the
    // statement's own answer; the program stops on a difference.

    struct Plan {
        bool usable = false;   // false: the shape's statements run as written
        StatementHandle statement;
        std::optional<ColumnLayout> layout;   // its columns, as described after its last preparing
        int prepared = -1;                    // how often the engine had prepared it again by then
    };
    static constexpr size_t kMaxPlans = 512;
    static constexpr size_t kMaxSeen = 8192;
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    template <class T>
    using ByText = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;
    using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;
    ByText<Plan> plans_;
    StatementHandle realReader_;   // a number's text read as the engine reads it written
    TextSet seen_;   // shapes met once
    ByText<std::shared_ptr<const BatchTemplate>> templates_;
    TextSet seenBatches_;   // batch keys met once

    // Whether the batch's numbers fit their columns where the kept translation's did.
    static bool Fits(const BatchTemplate& t, std::string_view text, const tsql::Shape& shape) {
        for (const tsql::NumberCheck& c : t.checks) {
            if (c.literal >= shape.literals.size() ||
                tsql::NumberFitsAsWritten(c.rule, tsql::LiteralToken(text, shape.literals[c.literal]), c.negative) != c.fits)
                return false;
        }
        return true;
    }

    // A lifted literal's value as the statement's SQLite text holds it: a text without its quotes
    // (doubled quotes read as one), a number as written.
    static SqlLiteral ValueOf(std::string_view text, const tsql::Shape::Literal& l) {
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
    static void Fill(const std::shared_ptr<const BatchTemplate>& t, std::string_view text, const tsql::Shape& shape, Translated* out) {
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

    // The kept translation of a batch: its translation with marks in place of the lifted literals,
    // cut at them. Usable only when the pieces with the batch's own literals give `own`, its own
    // translation; its statements' shapes are kept where the marks lift out as values.
    std::shared_ptr<const BatchTemplate> makeTemplate(std::string_view text, const tsql::Shape& shape, const tsql::Batch& own) {
        auto t = std::make_shared<BatchTemplate>();
        try {
            const tsql::Batch marked = tsql::TranslateShape(text, shape, nameUtf8_, columnsOf_, &t->checks);
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

    static bool SameLifted(const Lifted& a, const LiftedStatement& b) {
        if (!b.valid || a.shape != b.shape || a.literals.size() != b.literals.size()) return false;
        for (size_t i = 0; i < a.literals.size(); ++i)
            if (a.literals[i].text != b.literals[i].text || a.literals[i].value != b.literals[i].value) return false;
        return true;
    }

    // KORV_SQL_CACHE_CHECK: the batch from a kept translation is the batch's own translation.
    void CheckKept(std::string_view text, Translated& kept) {
        const tsql::Batch own = tsql::Translate(text, nameUtf8_, columnsOf_);
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

    static bool CheckEveryRun() {
        static const bool check = !qEnvironmentVariableIsEmpty("KORV_SQL_CACHE_CHECK");
        return check;
    }

    // Runs one translated statement from its prepared copy; false when it has none (the caller
    // runs it as written). `pre`: the statement's literals as a kept translation lifted them.
    bool runCached(const std::string& sql, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, Scope& scope,
                   const Lifted* pre) {
        if (!IsPlainDml(sql)) return false;   // transaction control, schema changes: as written
        LiftedStatement own;
        if (!pre || !pre->valid) own = LiftLiterals(sql);
        const std::string_view shape = pre && pre->valid ? pre->shape : std::string_view(own.shape);
        const std::vector<SqlLiteral>& literals = pre && pre->valid ? pre->literals : own.literals;
        if (!(pre && pre->valid) && !own.valid) return false;
        if (!LiteralsBind(literals)) return false;
        auto found = plans_.find(shape);
        if (found == plans_.end()) {
            if (!CheckEveryRun() && seen_.emplace(shape).second) {
                if (seen_.size() > kMaxSeen) seen_.clear();
                return false;
            }
            std::optional<Plan> plan = makePlan(sql, shape, literals.size());
            if (!plan) return false;   // tried again next time: the tables may change meanwhile
            if (plans_.size() >= kMaxPlans) plans_.clear();
            found = plans_.emplace(std::string(shape), std::move(*plan)).first;
        }
        if (!found->second.usable) return false;
        sqlite3_stmt* st = found->second.statement.get();
        runPrepared(found->second, literals, result, count, forUpdate, scope);
        if (CheckEveryRun() && sqlite3_stmt_readonly(st) && sql.find("GETDATE") == std::string::npos) {
            std::unique_ptr<RowSource> own;
            long ignored = 0;
            runWritten(sql, &own, &ignored, forUpdate, scope);
            if (!SameRows(result->get(), own.get()))
                qFatal("KORV_SQL_CACHE_CHECK: the prepared copy of a statement answers otherwise: %s", sql.c_str());
        }
        return true;
    }

    static bool IsPlainDml(const std::string& sql) {
        size_t i = 0;
        while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
        size_t e = i;
        while (e < sql.size() && std::isalpha(static_cast<unsigned char>(sql[e]))) ++e;
        const std::string_view word(sql.data() + i, e - i);
        for (const char* dml : {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH"}) {
            if (word.size() == std::strlen(dml) &&
                std::equal(word.begin(), word.end(), dml, [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; }))
                return true;
        }
        return false;
    }

    // The copy of a shape; none while the statement itself does not prepare (a table missing).
    std::optional<Plan> makePlan(const std::string& sql, std::string_view shape, size_t literals) {
        try {
            const StatementHandle own = Prepare(db(), sql.c_str(), static_cast<int>(sql.size()));
            if (!own) return std::nullopt;
            Plan plan;
            try {
                plan.statement = Prepare(db(), shape.data(), static_cast<int>(shape.size()));
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

    void runPrepared(Plan& plan, const std::vector<SqlLiteral>& literals, std::unique_ptr<RowSource>* result, long* count,
                     bool forUpdate, Scope& scope) {
        sqlite3_stmt* st = plan.statement.get();
        struct Reset {
            sqlite3_stmt* st;
            ~Reset() { sqlite3_reset(st); }
        } reset{st};
        for (size_t p = 0; p < literals.size(); ++p) {
            const SqlLiteral& l = literals[p];
            const int index = static_cast<int>(p) + 1;
            if (l.text) sqlite3_bind_text(st, index, l.value.data(), static_cast<int>(l.value.size()), SQLITE_STATIC);
            else BindNumber(st, index, l.value);
        }
        // Stepped before its columns are read: a statement prepared before a change of its tables
        // is prepared again by its first step, and reads the columns the tables have now.
        int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(db(), rc);
        const int columns = sqlite3_column_count(st);
        if (columns > 0) {
            const int prepared = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_REPREPARE, 0);
            if (!plan.layout || plan.prepared != prepared) {
                plan.layout.emplace(st);
                plan.prepared = prepared;
            }
            *result = readRows(st, columns, forUpdate, rc, &*plan.layout);
            scope.rowCount = static_cast<int64_t>((*result)->rows.size());
            return;
        }
        while (rc == SQLITE_ROW) rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) Fail(db(), rc);
        const bool writes = !sqlite3_stmt_readonly(st);
        scope.rowCount = writes ? sqlite3_changes(db()) : 0;
        if (writes) *count += static_cast<long>(sqlite3_changes(db()));
    }

    // Whether every literal of the statement binds as the engine reads it written; where one does
    // not, the statement runs as written, so that a statement answers alike whether or not its
    // shape was met before. Not bound: a number beyond a Double's range (1e400: compared with
    // infinity, or refused where it would be stored), a whole number beyond 64 bits (written, the
    // engine folds -9223372036854775808 into an integer), a text holding a NUL character (the
    // engine refuses it written).
    static bool LiteralsBind(const std::vector<SqlLiteral>& literals) {
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
    void BindNumber(sqlite3_stmt* st, int index, const std::string& n) {
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
        if (!realReader_) realReader_ = Prepare(db(), "SELECT CAST(?1 AS REAL)", -1);
        sqlite3_stmt* reader = realReader_.get();
        sqlite3_bind_text(reader, 1, b, static_cast<int>(e - b), SQLITE_STATIC);
        const double d = sqlite3_step(reader) == SQLITE_ROW ? sqlite3_column_double(reader, 0) : 0;
        sqlite3_reset(reader);
        sqlite3_bind_double(st, index, d);
    }

    static bool SameRows(const RowSource* a, const RowSource* b) {
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

    void attach(const std::string& dbName) {
        const QString name = QString::fromStdString(dbName);
        for (const QString& a : attached_) {
            if (a.compare(name, Qt::CaseInsensitive) == 0) return;
        }
        const QString file = FindDatabaseFile(folder_, name);
        if (file.isEmpty()) {
            ThrowProvider(vb::kHrNoSuchTable, QStringLiteral("Database '%1' does not exist.").arg(name), QStringLiteral("42000"), 911);
        }
        const StatementHandle st = Prepare(db(), "ATTACH DATABASE ?1 AS ?2", -1);
        const QByteArray path = QFile::encodeName(file);
        sqlite3_bind_text(st.get(), 1, path.constData(), static_cast<int>(path.size()), SQLITE_STATIC);
        sqlite3_bind_text(st.get(), 2, dbName.c_str(), static_cast<int>(dbName.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(st.get());
        if (rc != SQLITE_DONE) Fail(db(), rc);
        attached_.push_back(name);
        UpgradeCompareRules(db(), dbName.c_str());
    }

    // A cursor that steps the statement, when the text is one statement that returns rows; null
    // when it is more (run whole then) or returns none.
    std::unique_ptr<RowCursor> stepped(const std::string& sql) {
        const char* end = sql.c_str() + sql.size();
        const char* tail = nullptr;
        StatementHandle first = Prepare(db(), sql.c_str(), static_cast<int>(sql.size()), &tail);
        if (!first || sqlite3_column_count(first.get()) == 0) return nullptr;
        while (tail && tail < end) {   // only blanks and comments may follow
            sqlite3_stmt* more = nullptr;
            const char* next = nullptr;
            const int rc = sqlite3_prepare_v2(db(), tail, static_cast<int>(end - tail), &more, &next);
            const StatementHandle owned(more);
            if (rc != SQLITE_OK || owned || next == tail) return nullptr;
            tail = next;
        }
        bindScope(first.get(), nullptr);
        return std::make_unique<SqliteCursor>(db(), std::move(first));
    }

    void run(const tsql::Statement& st, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, int nesting, Scope& scope) {
        switch (st.kind) {
        case tsql::Statement::Block:
            for (const auto& s : st.body) run(s, result, count, forUpdate, nesting, scope);
            return;
        case tsql::Statement::If: {
            bool holds = false;
            try {
                std::unique_ptr<RowSource> cond;
                long ignored = 0;
                const int64_t rows = scope.rowCount;   // the condition leaves @@ROWCOUNT as it was
                runSql(st.sql, &cond, &ignored, false, scope);
                scope.rowCount = rows;
                holds = cond && !cond->rows.empty();
            } catch (const ProviderError& e) {
                failed(e, scope);
                return;
            }
            for (const auto& s : holds ? st.body : st.elseBody) run(s, result, count, forUpdate, nesting, scope);
            return;
        }
        case tsql::Statement::Exec: runProcedure(st, result, count, nesting, scope); return;
        default: break;
        }
        try {
            switch (st.kind) {
            case tsql::Statement::Sql:
                if (ChangesSchema(st.sql)) forgetTables();
                runSql(st.sql, result, count, forUpdate, scope);
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

    void declare(const tsql::Statement& st, Scope& scope) {
        for (size_t i = 0; i < st.params.size(); ++i) {
            if (scope.find(st.params[i])) {
                sqlite::ThrowServerError(134, QStringLiteral("The variable name '%1' has already been declared. Variable names must be "
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
    void assign(const tsql::Statement& st, Scope& scope) {
        std::vector<Scope::Variable*> targets;
        for (const std::string& name : st.params) {
            Scope::Variable* v = scope.find(name);
            if (!v) sqlite::ThrowServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromStdString(name)));
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
        if (rc != SQLITE_DONE) Fail(db(), rc);
        scope.rowCount = st.selectAssign ? rows : 1;
    }

    // The first value of the first row of a query.
    sqlite::Value firstValue(const std::string& sql, Scope& scope) {
        const StatementHandle query = prepareOne(sql);
        bindScope(query.get(), &scope);
        const int rc = sqlite3_step(query.get());
        if (rc == SQLITE_ROW) return sqlite::ColumnValue(query.get(), 0);
        if (rc != SQLITE_DONE) Fail(db(), rc);
        return {};
    }

    StatementHandle prepareOne(const std::string& sql) {
        StatementHandle st = Prepare(db(), sql.c_str(), static_cast<int>(sql.size()));
        if (!st) sqlite::ThrowServerError(102, QStringLiteral("Incorrect syntax: an empty statement."));
        return st;
    }

    void storeProcedure(const tsql::Statement& st) {
        Exec(db(), "CREATE TABLE IF NOT EXISTS KORV_PROCEDURES (NAME varchar(128) COLLATE KORV_TEXT PRIMARY KEY, PARAMS text, BODY text)");
        const StatementHandle insert = Prepare(db(), "INSERT OR REPLACE INTO KORV_PROCEDURES (NAME, PARAMS, BODY) VALUES (?1, ?2, ?3)", -1);
        std::string params;
        for (const auto& p : st.params) params += (params.empty() ? "" : ",") + p;
        sqlite3_bind_text(insert.get(), 1, st.name.c_str(), static_cast<int>(st.name.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 2, params.c_str(), static_cast<int>(params.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 3, st.text.c_str(), static_cast<int>(st.text.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(insert.get());
        if (rc != SQLITE_DONE) Fail(db(), rc);
    }

    void runProcedure(const tsql::Statement& st, std::unique_ptr<RowSource>* result, long* count, int nesting, Scope& caller) {
        const QString name = QString::fromStdString(st.name);
        auto missing = [&] {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Could not find stored procedure '%1'.").arg(name),
                          QStringLiteral("42000"), 2812);
        };
        if (nesting > 16) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Maximum stored procedure nesting level exceeded."), QStringLiteral("HY000"), 217);
        }
        sqlite3_stmt* probe = nullptr;
        const int rc = sqlite3_prepare_v2(db(), "SELECT PARAMS, BODY FROM KORV_PROCEDURES WHERE NAME = ?1", -1, &probe, nullptr);
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
                if (!v) sqlite::ThrowServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(QString::fromStdString(value)));
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
                              QStringLiteral("42000"), 8144);
            }
            values[position++].second = arg;
        }
        const std::string bound = tsql::BindParameters(body, values);
        tsql::Batch batch = tsql::Translate(bound, nameUtf8_, columnsOf_);
        for (const std::string& d : batch.databases) attach(d);
        Scope scope{caller.errors};   // the body's own variables
        for (const auto& s : batch.statements) run(s, result, count, false, nesting + 1, scope);
        caller.rowCount = scope.rowCount;
    }

    void runSql(const std::string& sql, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, Scope& scope) {
        if (!runCached(sql, result, count, forUpdate, scope, nullptr)) runWritten(sql, result, count, forUpdate, scope);
    }

    // A statement of a kept translation (a plain statement): from its prepared copy when its
    // shape has one, its text put together only otherwise. Fails as run() does.
    void runKept(Translated& t, size_t i, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, Scope& scope) {
        try {
            const Lifted* lifted = t.liftedAt(i);
            if (lifted && !CheckEveryRun() && LiteralsBind(lifted->literals)) {
                const auto found = plans_.find(lifted->shape);
                if (found != plans_.end() && found->second.usable) {
                    runPrepared(found->second, lifted->literals, result, count, forUpdate, scope);
                    return;
                }
            }
            const std::string& sql = t.sql(i);
            if (!runCached(sql, result, count, forUpdate, scope, lifted)) runWritten(sql, result, count, forUpdate, scope);
        } catch (const ProviderError& e) {
            failed(e, scope);
        }
    }

    // Prepares and runs the statements of the text as written.
    void runWritten(const std::string& sql, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, Scope& scope) {
        const char* tail = sql.c_str();
        const char* end = tail + sql.size();
        while (tail < end) {
            const char* next = nullptr;
            const StatementHandle st = Prepare(db(), tail, static_cast<int>(end - tail), &next);
            if (!st && next == tail) {   // SQLite reads no further than a NUL character
                ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Incorrect syntax near the character 0x00."),
                              QStringLiteral("42000"), 102);
            }
            tail = next;
            if (!st) continue;   // only blanks or comments
            bindScope(st.get(), &scope);
            const int columns = sqlite3_column_count(st.get());
            if (columns == 0) {
                int rc;
                while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
                }
                if (rc != SQLITE_DONE) Fail(db(), rc);
                const bool writes = !sqlite3_stmt_readonly(st.get());
                scope.rowCount = writes ? sqlite3_changes(db()) : 0;
                if (writes) *count += static_cast<long>(sqlite3_changes(db()));
                continue;
            }
            *result = readRows(st.get(), columns, forUpdate);
            scope.rowCount = static_cast<int64_t>((*result)->rows.size());
        }
    }

    // The rows of a statement; `stepped`, when not 0, is the result of a first step already made;
    // `layout`, when given, is the statement's columns as described before.
    std::unique_ptr<RowSource> readRows(sqlite3_stmt* st, int columns, bool forUpdate, int stepped = 0,
                                        const ColumnLayout* layout = nullptr) {
        auto rs = std::make_unique<RowSource>();
        StatementRows rows(db(), st, layout ? *layout : ColumnLayout(st));
        if (stepped != 0 && rows.take(stepped)) rs->rows.push_back(rows.row());
        if (forUpdate) {
            QString table;
            bool single = true;
            rs->baseColumns.resize(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c) {
                const char* t = sqlite3_column_table_name(st, c);
                const char* o = sqlite3_column_origin_name(st, c);
                if (!t || !o) continue;
                const QString tn = QString::fromUtf8(t);
                if (table.isEmpty()) table = tn;
                else if (table.compare(tn, Qt::CaseInsensitive) != 0) single = false;
                rs->baseColumns[static_cast<size_t>(c)] = QString::fromUtf8(o);
            }
            if (single) rs->baseTable = table;
        }
        while (rows.step()) rs->rows.push_back(rows.row());
        rs->fields = std::move(rows.fields);
        return rs;
    }
};

}  // namespace

std::unique_ptr<Session> OpenEmbedded(const QString& folder, const QString& database) {
    return std::make_unique<SqliteSession>(folder, database);
}

}  // namespace ado
