// The embedded provider: SQLite databases in a folder, statements in the SQL Server dialect.
#include "platform/ado/provider.h"
#include "platform/ado/tsql.h"
#include "platform/vb/dates.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

#include <cstring>

namespace ado {

namespace {

// ---------------------------------------------------------------------------------------------
// Compare rule of text: case and trailing blanks ignored, as the server's collation.

size_t TrimmedLength(const char* s, int n) {
    size_t len = static_cast<size_t>(n);
    while (len > 0 && s[len - 1] == ' ') --len;
    return len;
}

char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
    const unsigned char c = s[i];
    if (c < 0x80) { ++i; return c; }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    ++i;
    while (extra-- > 0 && i < n && (s[i] & 0xC0) == 0x80) cp = (cp << 6) | (s[i++] & 0x3F);
    return cp;
}

int CompareText(void*, int n1, const void* p1, int n2, const void* p2) {
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    const size_t la = TrimmedLength(reinterpret_cast<const char*>(a), n1);
    const size_t lb = TrimmedLength(reinterpret_cast<const char*>(b), n2);
    size_t i = 0, j = 0;
    while (i < la && j < lb) {
        const unsigned char ca = a[i], cb = b[j];
        if (ca < 0x80 && cb < 0x80) {
            const unsigned char ua = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
            const unsigned char ub = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
            if (ua != ub) return ua < ub ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t xa = QChar::toCaseFolded(DecodeUtf8(a, la, i));
        const char32_t xb = QChar::toCaseFolded(DecodeUtf8(b, lb, j));
        if (xa != xb) return xa < xb ? -1 : 1;
    }
    if (i < la) return 1;
    if (j < lb) return -1;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Functions of the dialect.

void FnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    const auto* s = sqlite3_value_text(argv[0]);
    const size_t n = TrimmedLength(reinterpret_cast<const char*>(s), sqlite3_value_bytes(argv[0]));
    sqlite3_int64 count = 0;
    for (size_t i = 0; i < n; ++i) count += (s[i] & 0xC0) != 0x80;
    sqlite3_result_int64(ctx, count);
}

void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString needle = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const QString hay = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1]));
    qsizetype from = 0;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) from = std::max<sqlite3_int64>(1, sqlite3_value_int64(argv[2])) - 1;
    if (needle.isEmpty()) { sqlite3_result_int(ctx, 0); return; }
    const qsizetype at = hay.indexOf(needle, from, Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

void FnGetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    const QByteArray text = vb::CurrentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

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

// "yyyy-mm-dd[ hh:mm[:ss[.fff]]]" as a Date; false when the text is no such date.
bool ReadIsoDate(const char* s, int n, vb::Date* out) {
    auto digits = [&](int at, int count, int* v) {
        if (at + count > n) return false;
        int x = 0;
        for (int i = 0; i < count; ++i) {
            const char c = s[at + i];
            if (c < '0' || c > '9') return false;
            x = x * 10 + (c - '0');
        }
        *v = x;
        return true;
    };
    int y, m, d, hh = 0, mi = 0, ss = 0, ms = 0;
    if (n < 10 || !digits(0, 4, &y) || s[4] != '-' || !digits(5, 2, &m) || s[7] != '-' || !digits(8, 2, &d)) return false;
    if (n > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || !digits(11, 2, &hh) || n < 16 || s[13] != ':' || !digits(14, 2, &mi)) return false;
        if (n > 16) {
            if (s[16] != ':' || !digits(17, 2, &ss)) return false;
            if (n > 19) {
                if (s[19] != '.') return false;
                int scale = 100;
                for (int i = 20; i < n; ++i) {
                    if (s[i] < '0' || s[i] > '9') return false;
                    ms += (s[i] - '0') * scale;
                    scale /= 10;
                }
            }
        }
    }
    if (!QDate::isValid(y, m, d) || hh > 23 || mi > 59 || ss > 59) return false;
    // Days since 30 December 1899 and the fraction of the day, as the runtime's Date.
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    const qint64 days = QDate(y, m, d).toJulianDay() - epoch;
    const double frac = static_cast<double>(((hh * 60 + mi) * 60 + ss) * 1000 + ms) / 86400000.0;
    out->serial = days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
    return true;
}

QByteArray IsoText(vb::Date d) {
    const QDateTime dt = d.toQDateTime();
    return dt.toString(dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}

vb::Variant ReadValue(sqlite3_stmt* st, int col, Conv conv) {
    const int storage = sqlite3_column_type(st, col);
    if (storage == SQLITE_NULL) return vb::Variant(vb::Null);
    switch (conv) {
    case Conv::Text: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return vb::Variant(QString::fromUtf8(p, sqlite3_column_bytes(st, col)));
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
            if (ReadIsoDate(p, sqlite3_column_bytes(st, col), &d)) return vb::Variant(d);
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
        if (conv == Conv::Guess && n >= 19 && n <= 23 && ReadIsoDate(p, n, &d)) return vb::Variant(d);
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
                ThrowProvider(vb::kHrUnspecified, QStringLiteral("String or binary data would be truncated."), QStringLiteral("22001"), 8152);
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
    if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Lock request time out period exceeded."), QStringLiteral("HYT00"), 1222);
    }
    if ((rc & 0xFF) == SQLITE_ERROR) {
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

// The rows of one prepared statement, stepped one at a time: the fields described from the
// columns' declared types, the values read by them. Both the Recordset's rows and the reader's
// are read through it, so the two read alike.
class StatementRows {
public:
    StatementRows(sqlite3* db, sqlite3_stmt* st) : db_(db), st_(st) {
        const int columns = sqlite3_column_count(st);
        fields.reserve(static_cast<size_t>(columns));
        conv_.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            FieldInfo f = FieldFromDeclaredType(QString::fromUtf8(sqlite3_column_name(st, c)), sqlite3_column_decltype(st, c));
            conv_.push_back(ConvOf(f.type));
            if (f.type == adEmpty) {
                // No declared type: text until a value shows what it is.
                f.type = adVarWChar;
                f.definedSize = 255;
                unguessed_.push_back(c);
            }
            fields.push_back(std::move(f));
        }
    }

    // Steps to the next row; false at the end (the caller steps no further then).
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_DONE) return false;
        if (rc != SQLITE_ROW) Fail(db_, rc);
        if (!unguessed_.empty()) guessTypes();
        return true;
    }

    vb::Variant value(int c) const { return ReadValue(st_, c, conv_[static_cast<size_t>(c)]); }
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
    SqliteCommand(sqlite3* db, StatementHandle st)
        : db_(db), st_(std::move(st)), keep_(static_cast<size_t>(sqlite3_bind_parameter_count(st_.get()))) {}
    int parameterCount() const override { return sqlite3_bind_parameter_count(st_.get()); }
    void bind(int index, const vb::Variant& value) override {
        if (index < 1 || index > parameterCount()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Parameter %1 out of range.").arg(index), QStringLiteral("07009"), 0);
        }
        BindVariant(st_.get(), index, value, &keep_[static_cast<size_t>(index - 1)]);
    }
    long execute() override {
        int rc;
        while ((rc = sqlite3_step(st_.get())) == SQLITE_ROW) {
        }
        sqlite3_reset(st_.get());
        if (rc != SQLITE_DONE) Fail(db_, rc);
        return static_cast<long>(sqlite3_changes(db_));
    }

private:
    sqlite3* db_;   // kept alive by st_
    StatementHandle st_;
    std::vector<QByteArray> keep_;
};

class SqliteSession : public Session {
public:
    SqliteSession(const QString& folder, const QString& database) : folder_(folder) { open(database); }

    bool embedded() const override { return true; }
    int transactionLevel() const override { return level_; }
    QString defaultDatabase() const override { return name_; }

    void setDefaultDatabase(const QString& name) override {
        if (name.trimmed().isEmpty() || name.trimmed().compare(name_, Qt::CaseInsensitive) == 0) return;
        if (level_ > 0) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("The database cannot be changed inside a transaction."), QStringLiteral("25000"), 226);
        }
        open(name.trimmed());   // the database in use stays when the other cannot be opened
    }

    std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) override {
        const QByteArray text = sql.toUtf8();
        tsql::Batch batch = tsql::Translate(std::string_view(text.constData(), static_cast<size_t>(text.size())), nameUtf8_);
        for (const std::string& d : batch.databases) attach(d);
        std::unique_ptr<RowSource> result;
        long count = 0;
        for (const tsql::Statement& st : batch.statements) run(st, &result, &count, forUpdate, 0);
        if (affected) *affected = count;
        return result;
    }

    void begin() override {
        Exec(db(), level_ == 0 ? "BEGIN" : ("SAVEPOINT korv_" + std::to_string(level_)).c_str());
        ++level_;
    }
    void commit() override {
        if (level_ == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), 3902);
        --level_;
        Exec(db(), level_ == 0 ? "COMMIT" : ("RELEASE korv_" + std::to_string(level_)).c_str());
    }
    void rollback() override {
        if (level_ == 0) ThrowProvider(vb::kHrUnspecified, QStringLiteral("No transaction is active."), QStringLiteral("25000"), 3903);
        --level_;
        if (level_ == 0) Exec(db(), "ROLLBACK");
        else {
            const std::string sp = "korv_" + std::to_string(level_);
            Exec(db(), ("ROLLBACK TO " + sp).c_str());
            Exec(db(), ("RELEASE " + sp).c_str());
        }
    }

    std::unique_ptr<RowSource> tables() override {
        auto rs = std::make_unique<RowSource>();
        rs->fields = {textField("TABLE_CATALOG"), textField("TABLE_SCHEMA"), textField("TABLE_NAME"), textField("TABLE_TYPE")};
        const StatementHandle st =
            Prepare(db(), "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' "
                          "ESCAPE '!' AND name <> 'KORV_PROCEDURES' ORDER BY name", -1);
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
        return std::make_unique<SqliteCommand>(db(), std::move(st));
    }

    std::unique_ptr<RowCursor> openCursor(const QString& sql, bool whole) override {
        const QByteArray text = sql.toUtf8();
        tsql::Batch batch = tsql::Translate(std::string_view(text.constData(), static_cast<size_t>(text.size())), nameUtf8_);
        for (const std::string& d : batch.databases) attach(d);
        if (!whole && batch.statements.size() == 1 && batch.statements[0].kind == tsql::Statement::Sql) {
            if (auto cursor = stepped(batch.statements[0].sql)) return cursor;
        }
        std::unique_ptr<RowSource> result;
        long count = 0;
        for (const tsql::Statement& st : batch.statements) run(st, &result, &count, false, 0);
        return std::make_unique<WholeRowsCursor>(std::move(result));
    }

    void updateRow(const RowSource& rs, const Row& original, const FieldChanges& changes) override {
        const std::vector<QString> columns = UpdatedColumns(rs, changes);
        QString sql = QStringLiteral("UPDATE \"%1\" SET ").arg(rs.baseTable);
        std::vector<vb::Variant> values;
        for (size_t i = 0; i < changes.size(); ++i) {
            if (i) sql += QLatin1Char(',');
            sql += QStringLiteral("\"%1\"=?").arg(columns[i]);
            // A text assigned to a date column is read as the server reads it.
            const vb::Variant& v = changes[i].second;
            std::string iso;
            if (IsDateType(rs.fields[static_cast<size_t>(changes[i].first)].type) && v.isString() &&
                tsql::ReadDateLiteral(v.toString().trimmed().toStdString(), &iso)) {
                values.emplace_back(QString::fromStdString(iso));
            } else {
                values.push_back(v);
            }
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
    int level_ = 0;
    std::vector<QString> attached_;

    static FieldInfo textField(const char* name) {
        FieldInfo f;
        f.name = QString::fromLatin1(name);
        f.type = adVarWChar;
        f.definedSize = 128;
        return f;
    }

    void open(const QString& database) {
        if (database.trimmed().isEmpty()) {
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Cannot open database requested by the login. No database was named."),
                          QStringLiteral("42000"), 4060);
        }
        const QString file = FindDatabaseFile(folder_, database.trimmed());
        if (file.isEmpty()) {
            ThrowProvider(vb::kHrUnspecified,
                          QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(database.trimmed()),
                          QStringLiteral("42000"), 4060);
        }
        // A connection serves one thread at a time, as its Errors and transaction level do:
        // SQLite need not lock it on every call.
        sqlite3* opened = nullptr;
        const int rc =
            sqlite3_open_v2(QFile::encodeName(file).constData(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        DatabaseHandle db(opened);   // a handle comes back even when the open fails
        if (rc != SQLITE_OK) {
            const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db.get())) : QStringLiteral("out of memory");
            ThrowProvider(vb::kHrUnspecified, QStringLiteral("Cannot open database \"%1\": %2").arg(database.trimmed(), msg),
                          QStringLiteral("08001"), 4060);
        }
        Register(db.get());
        sqlite3_busy_timeout(db.get(), 10000);
        Exec(db.get(), "PRAGMA journal_mode=WAL");
        Exec(db.get(), "PRAGMA synchronous=NORMAL");
        // Only a database that opened whole replaces the one in use.
        db_ = std::move(db);
        name_ = QFileInfo(file).completeBaseName();
        nameUtf8_ = name_.toStdString();
        attached_.clear();
    }

public:
    static void Register(sqlite3* db) {
        sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, CompareText);
        const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
        sqlite3_create_function(db, "LEN", 1, flags, nullptr, FnLen, nullptr, nullptr);
        sqlite3_create_function(db, "CHARINDEX", 2, flags, nullptr, FnCharIndex, nullptr, nullptr);
        sqlite3_create_function(db, "CHARINDEX", 3, flags, nullptr, FnCharIndex, nullptr, nullptr);
        sqlite3_create_function(db, "GETDATE", 0, SQLITE_UTF8, nullptr, FnGetDate, nullptr, nullptr);
    }

private:
    sqlite3* db() const { return db_.get(); }

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
        return std::make_unique<SqliteCursor>(db(), std::move(first));
    }

    void run(const tsql::Statement& st, std::unique_ptr<RowSource>* result, long* count, bool forUpdate, int nesting) {
        switch (st.kind) {
        case tsql::Statement::Sql: runSql(st.sql, result, count, forUpdate); return;
        case tsql::Statement::Block:
            for (const auto& s : st.body) run(s, result, count, forUpdate, nesting);
            return;
        case tsql::Statement::If: {
            std::unique_ptr<RowSource> cond;
            long ignored = 0;
            runSql(st.sql, &cond, &ignored, false);
            const bool holds = cond && !cond->rows.empty();
            for (const auto& s : holds ? st.body : st.elseBody) run(s, result, count, forUpdate, nesting);
            return;
        }
        case tsql::Statement::CreateProcedure: storeProcedure(st); return;
        case tsql::Statement::Exec: runProcedure(st, result, count, nesting); return;
        }
    }

    void storeProcedure(const tsql::Statement& st) {
        Exec(db(), "CREATE TABLE IF NOT EXISTS KORV_PROCEDURES (NAME varchar(128) COLLATE NOCASE PRIMARY KEY, PARAMS text, BODY text)");
        const StatementHandle insert = Prepare(db(), "INSERT OR REPLACE INTO KORV_PROCEDURES (NAME, PARAMS, BODY) VALUES (?1, ?2, ?3)", -1);
        std::string params;
        for (const auto& p : st.params) params += (params.empty() ? "" : ",") + p;
        sqlite3_bind_text(insert.get(), 1, st.name.c_str(), static_cast<int>(st.name.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 2, params.c_str(), static_cast<int>(params.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 3, st.text.c_str(), static_cast<int>(st.text.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(insert.get());
        if (rc != SQLITE_DONE) Fail(db(), rc);
    }

    void runProcedure(const tsql::Statement& st, std::unique_ptr<RowSource>* result, long* count, int nesting) {
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
        size_t position = 0;
        for (const std::string& arg : st.args) {
            const size_t eq = arg.find('=');
            if (!arg.empty() && arg[0] == '@' && eq != std::string::npos) {
                std::string key = arg.substr(0, eq);
                while (!key.empty() && key.back() == ' ') key.pop_back();
                std::string value = arg.substr(eq + 1);
                while (!value.empty() && value.front() == ' ') value.erase(value.begin());
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
        tsql::Batch batch = tsql::Translate(bound, nameUtf8_);
        for (const std::string& d : batch.databases) attach(d);
        for (const auto& s : batch.statements) run(s, result, count, false, nesting + 1);
    }

    void runSql(const std::string& sql, std::unique_ptr<RowSource>* result, long* count, bool forUpdate) {
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
            const int columns = sqlite3_column_count(st.get());
            if (columns == 0) {
                int rc;
                while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
                }
                if (rc != SQLITE_DONE) Fail(db(), rc);
                if (!sqlite3_stmt_readonly(st.get())) *count += static_cast<long>(sqlite3_changes(db()));
                continue;
            }
            *result = readRows(st.get(), columns, forUpdate);
        }
    }

    std::unique_ptr<RowSource> readRows(sqlite3_stmt* st, int columns, bool forUpdate) {
        auto rs = std::make_unique<RowSource>();
        StatementRows rows(db(), st);
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
