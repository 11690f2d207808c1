// The embedded provider's statements on the engine: failures, values and rows.
#include "platform/ado/sqlite_rows.h"
#include "platform/ado/sqlite_files.h"
#include "platform/ado/sqlite_functions.h"
#include "platform/ado/tsql.h"
#include "platform/vb/dates.h"

#include <algorithm>
#include <cstring>

namespace ado::sqlite {

namespace {

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

}  // namespace

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

QByteArray IsoText(vb::Date d) {
    const QDateTime dt = d.toQDateTime();
    return dt.toString(dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}

// A value of a column. width: the length of a char(n) column, whose texts read padded to it.
vb::Variant ReadValue(sqlite3_stmt* st, int col, Conv conv, int width) {
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
                sqlite::ThrowServerError(native::kTruncation, QStringLiteral("String or binary data would be truncated."));
            }
            ThrowProvider(vb::kHrIntegrityViolation, msg, QStringLiteral("23000"), native::kConstraintConflict);
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Violation of PRIMARY KEY constraint. Cannot insert duplicate key (%1).").arg(after("failed:")),
                          QStringLiteral("23000"), native::kDuplicateKey);
        case SQLITE_CONSTRAINT_UNIQUE:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Cannot insert duplicate key row (%1).").arg(after("failed:")), QStringLiteral("23000"), native::kDuplicateKeyRow);
        case SQLITE_CONSTRAINT_NOTNULL:
            ThrowProvider(vb::kHrIntegrityViolation,
                          QStringLiteral("Cannot insert the value NULL into column '%1'; column does not allow nulls.").arg(after("failed:")),
                          QStringLiteral("23000"), native::kNullNotAllowed);
        default: ThrowProvider(vb::kHrIntegrityViolation, msg, QStringLiteral("23000"), native::kConstraintConflict);
        }
    }
    if ((rc & 0xFF) == SQLITE_BUSY) sqlite::ThrowLockHeld(db);
    if ((rc & 0xFF) == SQLITE_LOCKED) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Lock request time out period exceeded."), QStringLiteral("HYT00"), native::kLockTimeOut);
    }
    if ((rc & 0xFF) == SQLITE_ERROR) {
        long ruleNative = 0;
        QString text;
        if (sqlite::ReadRuleFailure(msg, &ruleNative, &text)) sqlite::ThrowServerError(ruleNative, text);
        if (msg.startsWith(QLatin1String("no such function:"))) {
            sqlite::ThrowServerError(native::kNoSuchFunction, QStringLiteral("'%1' is not a recognized built-in function name.").arg(after("no such function:")));
        }
        if (msg.startsWith(QLatin1String("Expression tree is too large"))) {
            sqlite::ThrowServerError(native::kTooDeep, QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or break "
                                                         "it up into smaller queries."));
        }
        if (msg.startsWith(QLatin1String("no such table:"))) {
            ThrowProvider(vb::kHrNoSuchTable, QStringLiteral("Invalid object name '%1'.").arg(after("no such table:")),
                          QStringLiteral("42S02"), native::kNoSuchObject);
        }
        if (msg.startsWith(QLatin1String("no such column:"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Invalid column name '%1'.").arg(after("no such column:")),
                          QStringLiteral("42S22"), native::kNoSuchColumn);
        }
        if (msg.contains(QLatin1String("already exists"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("There is already an object named %1 in the database.")
                                                      .arg(msg.section(QLatin1Char(' '), 1, 1)),
                          QStringLiteral("42S01"), native::kObjectExists);
        }
        if (msg.contains(QLatin1String("syntax error")) || msg.contains(QLatin1String("incomplete input")) ||
            msg.contains(QLatin1String("unrecognized token"))) {
            ThrowProvider(vb::kHrErrorsInCommand, QStringLiteral("Incorrect syntax: %1").arg(msg), QStringLiteral("42000"), native::kSyntax);
        }
        ThrowProvider(vb::kHrErrorsInCommand, msg, QStringLiteral("42000"), native::kNotPrepared);
    }
    ThrowProvider(vb::kHrUnspecified, msg, QStringLiteral("HY000"), ext);
}

// Prepares the first statement of [sql, sql + n): null when it holds only blanks or comments;
// *tail (when given) receives where the next statement begins. Raises the engine's error.
StatementHandle Prepare(sqlite3* db, const char* sql, int n, const char** tail) {
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

ColumnLayout::ColumnLayout(sqlite3_stmt* st) {
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

void StatementRows::guessTypes() {
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

std::unique_ptr<RowSource> ReadRows(sqlite3* db, sqlite3_stmt* st, int columns, bool forUpdate, int stepped, const ColumnLayout* layout) {
    auto rs = std::make_unique<RowSource>();
    StatementRows rows(db, st, layout ? *layout : ColumnLayout(st));
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

bool SqliteCursor::next() {
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

void SqliteCommand::bind(int index, const vb::Variant& value) {
    if (index < 1 || index > parameterCount()) {
        ThrowProvider(vb::kHrUnspecified, QStringLiteral("Parameter %1 out of range.").arg(index), QStringLiteral("07009"), native::kNone);
    }
    BindVariant(st_.get(), index, value, &keep_[static_cast<size_t>(index - 1)]);
}

long SqliteCommand::execute() {
    return Gated(*gate_, [&] {
        int rc;
        while ((rc = sqlite3_step(st_.get())) == SQLITE_ROW) {
        }
        sqlite3_reset(st_.get());
        if (rc != SQLITE_DONE) Fail(db_, rc);
        return static_cast<long>(sqlite3_changes(db_));
    });
}

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

}  // namespace ado::sqlite
