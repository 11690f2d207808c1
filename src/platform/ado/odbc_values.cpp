// Values read from an ODBC result by their field's type, the rows of a result, and the
// parameters a prepared statement reads.
#include "platform/ado/odbc_statement.h"
#include "platform/ado/tsql.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <cassert>

namespace ado::odbc {

namespace {

QString ReadText(SQLHSTMT h, SQLUSMALLINT col, bool* isNull) {
    QString out;
    SQLWCHAR buf[1024];
    while (true) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(h, col, SQL_C_WCHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA) break;
        Check(rc, SQL_HANDLE_STMT, h, "Cannot read a value.");
        if (ind == SQL_NULL_DATA) { *isNull = true; return QString(); }
        const qsizetype chunk = (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(sizeof buf))
                                    ? static_cast<qsizetype>(sizeof buf / sizeof(SQLWCHAR)) - 1
                                    : static_cast<qsizetype>(ind / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
        out += FromW(buf, chunk);
        if (rc == SQL_SUCCESS) break;
    }
    *isNull = false;
    return out;
}

}  // namespace

vb::Variant ReadValue(SQLHSTMT h, SQLUSMALLINT col, int type) {
    SQLLEN ind = 0;
    switch (type) {
    case adInteger: case adSmallInt: case adUnsignedTinyInt: case adTinyInt: case adBigInt: {
        SQLBIGINT v = 0;
        Check(SQLGetData(h, col, SQL_C_SBIGINT, &v, 0, &ind), SQL_HANDLE_STMT, h, "Cannot read a value.");
        if (ind == SQL_NULL_DATA) return vb::Variant(vb::Null);
        if (type == adSmallInt || type == adUnsignedTinyInt || type == adTinyInt) return vb::Variant(static_cast<int16_t>(v));
        if (v >= INT32_MIN && v <= INT32_MAX) return vb::Variant(static_cast<int>(v));
        return vb::Variant(static_cast<long long>(v));
    }
    case adBoolean: {
        SQLCHAR v = 0;
        Check(SQLGetData(h, col, SQL_C_BIT, &v, 0, &ind), SQL_HANDLE_STMT, h, "Cannot read a value.");
        if (ind == SQL_NULL_DATA) return vb::Variant(vb::Null);
        return vb::Variant(v != 0);
    }
    case adSingle: case adDouble: case adNumeric: case adDecimal: {
        double v = 0;
        Check(SQLGetData(h, col, SQL_C_DOUBLE, &v, 0, &ind), SQL_HANDLE_STMT, h, "Cannot read a value.");
        if (ind == SQL_NULL_DATA) return vb::Variant(vb::Null);
        return vb::Variant(v);
    }
    case adCurrency: {
        bool isNull = false;
        const QString text = ReadText(h, col, &isNull);
        if (isNull) return vb::Variant(vb::Null);
        vb::Currency c;
        if (vb::Currency::parse(text.trimmed(), &c)) return vb::Variant(c);
        return vb::Variant(vb::Currency::fromDouble(text.toDouble()));
    }
    case adDBDate: case adDBTimeStamp: case adDate: {
        // Read as text by the embedded provider's rule: ODBC writes a server's date as
        // 'yyyy-mm-dd hh:mm:ss.fff', and a text a file database holds as written ('05/03/2008')
        // reads day first. A text that is no date comes as it is.
        bool isNull = false;
        const QString text = ReadText(h, col, &isNull);
        if (isNull) return vb::Variant(vb::Null);
        const QByteArray utf8 = text.trimmed().toUtf8();
        tsql::DateTime d;
        if (!tsql::ReadDateTime(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), &d, true))
            return vb::Variant(text);
        return vb::Variant(vb::Date::fromQDateTime(
            QDateTime(QDate(d.year, d.month, d.day), QTime(d.hour, d.minute, d.second, d.millisecond))));
    }
    case adDBTime: {
        SQL_TIMESTAMP_STRUCT ts{};
        Check(SQLGetData(h, col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind), SQL_HANDLE_STMT, h, "Cannot read a value.");
        if (ind == SQL_NULL_DATA) return vb::Variant(vb::Null);
        const QDate d(1899, 12, 30);   // a time of day alone
        return vb::Variant(vb::Date::fromQDateTime(
            QDateTime(d, QTime(ts.hour, ts.minute, ts.second, static_cast<int>(ts.fraction / 1000000)))));
    }
    default: {
        bool isNull = false;
        const QString text = ReadText(h, col, &isNull);
        if (isNull) return vb::Variant(vb::Null);
        return vb::Variant(text);
    }
    }
}

ResultRows::ResultRows(SQLHSTMT h, SQLSMALLINT columns) : h_(h) {
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLen = 0, sqlType = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        Check(SQLDescribeColW(h, c, name, 255, &nameLen, &sqlType, &size, &scale, &nullable), SQL_HANDLE_STMT, h,
              "Cannot describe the result.");
        FieldInfo f;
        f.name = FromW(name, std::min<SQLSMALLINT>(nameLen, 255));
        f.type = AdoType(sqlType, size, scale);
        f.definedSize = IsText(f.type) ? static_cast<long>(size) : 8;
        f.precision = IsText(f.type) ? 0 : static_cast<int>(size);
        f.numericScale = scale;
        f.nullable = nullable != SQL_NO_NULLS;
        fields.push_back(f);
        types_.push_back(f.type);
    }
}

bool ResultRows::fetch(Row* row) {
    const SQLRETURN rc = SQLFetch(h_);
    if (rc == SQL_NO_DATA) return false;
    Check(rc, SQL_HANDLE_STMT, h_, "Cannot read the rows.");
    row->clear();
    row->reserve(types_.size());
    for (size_t c = 0; c < types_.size(); ++c) row->push_back(ReadValue(h_, static_cast<SQLUSMALLINT>(c + 1), types_[c]));
    return true;
}

void Param::set(const vb::Variant& v) {
    ind = 0;
    switch (v.type()) {
    case vb::VarType::Empty: case vb::VarType::Null:
        cType = SQL_C_WCHAR; sqlType = SQL_WVARCHAR; text.clear(); ind = SQL_NULL_DATA; size = 1; break;
    case vb::VarType::Boolean: cType = SQL_C_SBIGINT; sqlType = SQL_BIGINT; i = v.toBool() ? 1 : 0; size = 19; break;
    case vb::VarType::Integer: case vb::VarType::Long:
        cType = SQL_C_SBIGINT; sqlType = SQL_BIGINT; i = v.toLong(); size = 19; break;
    case vb::VarType::Double: cType = SQL_C_DOUBLE; sqlType = SQL_DOUBLE; d = v.toDouble(); size = 15; break;
    case vb::VarType::Currency: {
        const vb::Currency c = v.toCurrency();
        if (c.raw() % vb::Currency::kScale == 0) { cType = SQL_C_SBIGINT; sqlType = SQL_BIGINT; i = c.raw() / vb::Currency::kScale; size = 19; }
        else { cType = SQL_C_DOUBLE; sqlType = SQL_DOUBLE; d = c.toDouble(); size = 15; }
        break;
    }
    case vb::VarType::Date: {
        const QDateTime dt = v.toDate().toQDateTime();
        ts.year = static_cast<SQLSMALLINT>(dt.date().year());
        ts.month = static_cast<SQLUSMALLINT>(dt.date().month());
        ts.day = static_cast<SQLUSMALLINT>(dt.date().day());
        ts.hour = static_cast<SQLUSMALLINT>(dt.time().hour());
        ts.minute = static_cast<SQLUSMALLINT>(dt.time().minute());
        ts.second = static_cast<SQLUSMALLINT>(dt.time().second());
        ts.fraction = 0;
        cType = SQL_C_TYPE_TIMESTAMP; sqlType = SQL_TYPE_TIMESTAMP; size = 19;
        break;
    }
    case vb::VarType::String: {
        const QString s = v.toString();
        text.assign(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
        cType = SQL_C_WCHAR; sqlType = SQL_WVARCHAR;
        ind = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
        size = std::max<SQLULEN>(1, text.size());
        break;
    }
    }
}

void Param::bind(SQLHSTMT h, SQLUSMALLINT index) {
    assert(index >= 1);
    void* buffer = nullptr;
    SQLLEN length = 0;
    switch (cType) {
    case SQL_C_SBIGINT: buffer = &i; break;
    case SQL_C_DOUBLE: buffer = &d; break;
    case SQL_C_TYPE_TIMESTAMP: buffer = &ts; length = sizeof ts; break;
    default:
        buffer = text.empty() ? static_cast<void*>(&i) : static_cast<void*>(text.data());
        length = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
        break;
    }
    Check(SQLBindParameter(h, index, SQL_PARAM_INPUT, cType, sqlType, size, 0, buffer, length, &ind), SQL_HANDLE_STMT, h,
          "Cannot bind a parameter.");
}

}  // namespace ado::odbc
