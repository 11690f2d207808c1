#include "platform/dts/source_rows.h"

#include "platform/ado/ado.h"
#include "platform/ado/tsql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <atomic>
#include <vector>

namespace dts {
namespace {

std::atomic<bool> g_directReading{true};

// ---------------------------------------------------------------------------------------------
// Through a Recordset.

class RecordsetRows : public SourceRows {
public:
    RecordsetRows(const std::shared_ptr<ado::Connection>& connection, const QString& query)
        : rs_(ado::Recordset::Create()) {
        rs_->Open(query, connection, ado::adOpenForwardOnly, ado::adLockReadOnly);
        if (rs_->State() != ado::adStateOpen)
            vb::Raise(vb::kHrUnspecified, QStringLiteral("La consulta de origen no devuelve filas."));
    }
    int fieldCount() const override { return rs_->fieldCount(); }
    QString fieldName(int index) const override { return rs_->Fields(index).Name(); }
    bool next() override {
        if (started_)
            rs_->MoveNext();
        started_ = true;
        return !rs_->Eof();
    }
    vb::Variant value(int index) const override { return rs_->Fields(index).Value(); }
    bool readsFile() const override { return false; }

private:
    ado::RecordsetPtr rs_;
    bool started_ = false;
};

// ---------------------------------------------------------------------------------------------
// Straight from an embedded database file.

// The embedded provider's text compare rule: case and trailing blanks ignored.
size_t TrimmedLength(const unsigned char* s, int n) {
    size_t len = static_cast<size_t>(n);
    while (len > 0 && s[len - 1] == ' ')
        --len;
    return len;
}

char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i) {
    const unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    ++i;
    while (extra-- > 0 && i < n && (s[i] & 0xC0) == 0x80)
        cp = (cp << 6) | (s[i++] & 0x3F);
    return cp;
}

int CompareText(void*, int n1, const void* p1, int n2, const void* p2) {
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    const size_t la = TrimmedLength(a, n1);
    const size_t lb = TrimmedLength(b, n2);
    size_t i = 0, j = 0;
    while (i < la && j < lb) {
        const unsigned char ca = a[i], cb = b[j];
        if (ca < 0x80 && cb < 0x80) {
            const unsigned char ua = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
            const unsigned char ub = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
            if (ua != ub)
                return ua < ub ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t xa = QChar::toCaseFolded(DecodeUtf8(a, la, i));
        const char32_t xb = QChar::toCaseFolded(DecodeUtf8(b, lb, j));
        if (xa != xb)
            return xa < xb ? -1 : 1;
    }
    if (i < la)
        return 1;
    if (j < lb)
        return -1;
    return 0;
}

// How a column's stored values are read, from its declared type.
enum class Kind { ByStorage, Text, Integer, Bool, Currency, Double, Date };

Kind KindOf(const char* declared) {
    if (!declared || !*declared)
        return Kind::ByStorage;
    const QByteArray d = QByteArray(declared).toLower();
    struct Word {
        const char* word;
        Kind kind;
    };
    static const Word words[] = {
        {"nvarchar", Kind::Text},   {"varchar", Kind::Text},     {"nchar", Kind::Text},
        {"char", Kind::Text},       {"ntext", Kind::Text},       {"text", Kind::Text},
        {"sysname", Kind::Text},    {"uniqueidentifier", Kind::Text},
        {"bigint", Kind::Integer},  {"smallint", Kind::Integer}, {"tinyint", Kind::Integer},
        {"int", Kind::Integer},     {"bit", Kind::Bool},         {"smallmoney", Kind::Currency},
        {"money", Kind::Currency},  {"decimal", Kind::Double},   {"numeric", Kind::Double},
        {"float", Kind::Double},    {"double", Kind::Double},    {"real", Kind::Double},
        {"smalldatetime", Kind::Date}, {"datetime", Kind::Date}, {"date", Kind::Date},
        {"timestamp", Kind::Date},
    };
    for (const Word& w : words)
        if (d.startsWith(w.word))
            return w.kind;
    return Kind::ByStorage;
}

// "yyyy-mm-dd[ hh:mm[:ss[.fff]]]" as a Date.
bool ReadIsoDate(const char* s, int n, vb::Date* out) {
    auto digits = [&](int at, int count, int* v) {
        if (at + count > n)
            return false;
        int x = 0;
        for (int i = 0; i < count; ++i) {
            const char c = s[at + i];
            if (c < '0' || c > '9')
                return false;
            x = x * 10 + (c - '0');
        }
        *v = x;
        return true;
    };
    int y, m, d, hh = 0, mi = 0, ss = 0, ms = 0;
    if (n < 10 || !digits(0, 4, &y) || s[4] != '-' || !digits(5, 2, &m) || s[7] != '-' || !digits(8, 2, &d))
        return false;
    if (n > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || n < 16 || !digits(11, 2, &hh) || s[13] != ':' || !digits(14, 2, &mi))
            return false;
        if (n > 16) {
            if (n < 19 || s[16] != ':' || !digits(17, 2, &ss))
                return false;
            if (n > 19) {
                if (s[19] != '.')
                    return false;
                int k = 20, scale = 100;
                for (; k < n && k < 23; ++k, scale /= 10) {
                    if (s[k] < '0' || s[k] > '9')
                        return false;
                    ms += (s[k] - '0') * scale;
                }
                if (k != n)
                    return false;
            }
        }
    }
    const QDate date(y, m, d);
    if (!date.isValid() || hh > 23 || mi > 59 || ss > 59)
        return false;
    *out = vb::Date::fromQDateTime(QDateTime(date, QTime(hh, mi, ss, ms), Qt::UTC));
    return true;
}

QString FindDatabaseFile(const QString& folder, const QString& name) {
    const QString direct = QDir(folder).filePath(name + QStringLiteral(".sqlite"));
    if (QFileInfo::exists(direct))
        return direct;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.sqlite"), QStringLiteral("*.SQLITE")}, QDir::Files);
    for (const QString& f : files)
        if (QFileInfo(f).completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(f);
    return QString();
}

class EmbeddedRows : public SourceRows {
public:
    ~EmbeddedRows() override {
        sqlite3_finalize(st_);
        sqlite3_close_v2(db_);
    }

    // Null when the query cannot be read this way.
    static std::unique_ptr<EmbeddedRows> Open(const QString& folder, const QString& database, const QString& query) {
        const QString file = FindDatabaseFile(folder, database);
        if (file.isEmpty())
            return nullptr;
        const QByteArray sql = query.toUtf8();
        const QByteArray current = database.toUtf8();
        ado::tsql::Batch batch;
        try {
            batch = ado::tsql::Translate(std::string_view(sql.constData(), static_cast<size_t>(sql.size())),
                                         std::string_view(current.constData(), static_cast<size_t>(current.size())));
        } catch (...) {
            return nullptr;
        }
        if (batch.statements.size() != 1 || batch.statements[0].kind != ado::tsql::Statement::Sql)
            return nullptr;
        std::unique_ptr<EmbeddedRows> rows(new EmbeddedRows());
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &rows->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK)
            return nullptr;
        sqlite3_busy_timeout(rows->db_, 10000);
        sqlite3_create_collation(rows->db_, "NOCASE", SQLITE_UTF8, nullptr, CompareText);
        for (const std::string& other : batch.databases) {
            const QString otherFile = FindDatabaseFile(folder, QString::fromStdString(other));
            if (otherFile.isEmpty() || !rows->attach(otherFile, other))
                return nullptr;
        }
        if (sqlite3_prepare_v2(rows->db_, batch.statements[0].sql.c_str(), -1, &rows->st_, nullptr) != SQLITE_OK ||
            !rows->st_ || sqlite3_column_count(rows->st_) == 0)
            return nullptr;
        const int columns = sqlite3_column_count(rows->st_);
        for (int c = 0; c < columns; ++c) {
            rows->names_.push_back(QString::fromUtf8(sqlite3_column_name(rows->st_, c)));
            rows->kinds_.push_back(KindOf(sqlite3_column_decltype(rows->st_, c)));
        }
        return rows;
    }

    int fieldCount() const override { return static_cast<int>(names_.size()); }
    bool readsFile() const override { return true; }
    QString fieldName(int index) const override { return names_.at(static_cast<size_t>(index)); }

    bool next() override {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        vb::Raise(vb::kHrUnspecified, QString::fromUtf8(sqlite3_errmsg(db_)));
    }

    vb::Variant value(int index) const override {
        const int storage = sqlite3_column_type(st_, index);
        if (storage == SQLITE_NULL)
            return vb::Null;
        switch (kinds_[static_cast<size_t>(index)]) {
        case Kind::Text:
            return Text(index);
        case Kind::Integer:
            if (storage == SQLITE_INTEGER)
                return Integer(index);
            break;
        case Kind::Bool:
            if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
                return vb::Variant(sqlite3_column_double(st_, index) != 0);
            break;
        case Kind::Currency:
            if (storage == SQLITE_INTEGER)
                return vb::Currency::fromInt(sqlite3_column_int64(st_, index));
            if (storage == SQLITE_FLOAT)
                return vb::Currency::fromDouble(sqlite3_column_double(st_, index));
            if (storage == SQLITE_TEXT) {
                vb::Currency c;
                if (vb::Currency::parse(Text(index).toString().trimmed(), &c))
                    return c;
            }
            break;
        case Kind::Double:
            if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
                return sqlite3_column_double(st_, index);
            break;
        case Kind::Date:
            if (storage == SQLITE_TEXT) {
                vb::Date d;
                if (ReadIsoDate(reinterpret_cast<const char*>(sqlite3_column_text(st_, index)),
                                sqlite3_column_bytes(st_, index), &d))
                    return d;
            } else {
                return vb::Date{sqlite3_column_double(st_, index)};
            }
            break;
        case Kind::ByStorage:
            break;
        }
        switch (storage) {
        case SQLITE_INTEGER:
            return Integer(index);
        case SQLITE_FLOAT:
            return sqlite3_column_double(st_, index);
        default: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, index));
            const int n = sqlite3_column_bytes(st_, index);
            vb::Date d;
            if (kinds_[static_cast<size_t>(index)] == Kind::ByStorage && n >= 19 && n <= 23 && ReadIsoDate(p, n, &d))
                return d;
            return QString::fromUtf8(p, n);
        }
        }
    }

private:
    EmbeddedRows() = default;

    bool attach(const QString& file, const std::string& name) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, "ATTACH DATABASE ?1 AS ?2", -1, &st, nullptr) != SQLITE_OK)
            return false;
        const QByteArray path = QFile::encodeName(file);
        sqlite3_bind_text(st, 1, path.constData(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        const bool ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_finalize(st);
        return ok;
    }

    vb::Variant Text(int index) const {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, index));
        return QString::fromUtf8(p, sqlite3_column_bytes(st_, index));
    }

    vb::Variant Integer(int index) const {
        const sqlite3_int64 v = sqlite3_column_int64(st_, index);
        if (v >= INT32_MIN && v <= INT32_MAX)
            return vb::Variant(static_cast<int>(v));
        return vb::Variant(static_cast<long long>(v));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
    std::vector<QString> names_;
    std::vector<Kind> kinds_;
};

}  // namespace

void SetDirectEmbeddedReading(bool on) { g_directReading = on; }

std::unique_ptr<SourceRows> OpenSourceRows(const std::shared_ptr<ado::Connection>& connection, const QString& server,
                                           const QString& query) {
    // Rows written by the source connection's own open transaction are not seen from another
    // connection: then the Recordset reads them.
    if (g_directReading && connection->isEmbedded() && connection->transactionLevel() == 0)
        if (auto rows = EmbeddedRows::Open(server, connection->DefaultDatabase(), query))
            return rows;
    return std::make_unique<RecordsetRows>(connection, query);
}

}  // namespace dts
