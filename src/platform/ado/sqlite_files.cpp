// The embedded database files as files others open too: waits on another connection's
// transaction, and the upgrade of the compare rules' names.
#include "platform/ado/sqlite_files.h"

#include "platform/ado/provider.h"
#include "platform/ado/tsql.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

#include <cassert>
#include <cctype>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace ado::sqlite {

namespace {

// ---------------------------------------------------------------------------------------------
// Waits.

struct TestWait {
    std::optional<std::chrono::milliseconds> bound;
    std::function<void()> waiting;
};
TestWait& Testing() {
    static TestWait t;
    return t;
}

// How long the last wait of this thread lasted before it ran out, and whether the listener gave
// it up; consumed by the failure it leads to.
thread_local std::optional<std::chrono::milliseconds> tGivenUp;
thread_local bool tAbandoned = false;

QStringList HeldDatabases(sqlite3* db);

std::chrono::milliseconds Bound(const LockWait& w) {
    if (Testing().bound) return *Testing().bound;
    if (w.seconds > 0) return std::chrono::seconds(w.seconds);
    return kLongestLockWait;
}

// SQLite's busy handler: true to try again. The pauses grow to 10 ms, so that a transaction of
// the other station that ends is followed within 10 ms, before its next one begins.
int WaitOnLock(void* p, int attempt) {
    auto* w = static_cast<LockWait*>(p);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) {
        w->since = now;
        tGivenUp.reset();
        tAbandoned = false;
    }
    const std::chrono::milliseconds bound = Bound(*w);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - w->since);
    if (waited >= bound) {
        tGivenUp = waited;
        return 0;
    }
    if (Testing().waiting) Testing().waiting();
    if (!ReportLockWait(waited, bound, [w] { return HeldText(HeldDatabases(w->db)); })) {
        tAbandoned = true;
        return 0;
    }
    static constexpr int kPauseMs[] = {1, 2, 5};
    const std::chrono::milliseconds pause(attempt < 3 ? kPauseMs[attempt] : 10);
    std::this_thread::sleep_for(std::min(pause, bound - waited));
    return 1;
}

QString Utf8(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

struct Probe {
    bool held = false;
    QString description;
};

// Whether another connection holds the file (tried with a write transaction of a connection of
// its own that does not wait), and what the file says it is.
Probe ProbeFile(const char* file) {
    Probe probe;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file, &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const std::string sql = "SELECT DESCRIPCION FROM \"" + std::string(kDescriptionTable) + "\"";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            probe.description = Utf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).trimmed();
        sqlite3_finalize(st);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        probe.held = (rc & 0xFF) == SQLITE_BUSY;
        if (rc == SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
    return probe;
}

// ---------------------------------------------------------------------------------------------
// The upgrade.

[[noreturn]] void Failed(sqlite3* db, const char* what) {
    const int rc = sqlite3_errcode(db);
    if ((rc & 0xFF) == SQLITE_BUSY) ThrowLockHeld(db);
    ThrowProvider(vb::kHrUnspecified,
                  QStringLiteral("Cannot upgrade the database's compare rules (%1): %2").arg(QLatin1String(what), Utf8(sqlite3_errmsg(db))),
                  QStringLiteral("HY000"), sqlite3_extended_errcode(db));
}

void Exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Failed(db, sql.c_str());
}

struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) Failed(db, sql.c_str());
    }
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    std::string text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st, column))) : std::string();
    }
};

// A name or a text as SQL writes it: between its quotes, the quote doubled.
std::string Quoted(std::string_view s, char quote) {
    std::string out(1, quote);
    for (const char c : s) {
        out += c;
        if (c == quote) out += quote;
    }
    return out + quote;
}
std::string QuotedName(std::string_view name) { return Quoted(name, '"'); }

struct Stale {
    std::string type, name, sql;
};

// The schema statements that still carry an old name, rewritten.
std::vector<Stale> StaleStatements(sqlite3* db, const std::string& schema) {
    Statement st(db, "SELECT type, name, sql FROM " + schema + ".sqlite_schema WHERE instr(upper(sql), 'COLLATE NOCASE') > 0 "
                     "OR instr(upper(sql), 'COLLATE RTRIM') > 0");
    std::vector<Stale> out;
    int rc;
    while ((rc = sqlite3_step(st.st)) == SQLITE_ROW) {
        const std::string sql = st.text(2);
        std::string renamed = RenameCompareRules(sql);
        if (renamed != sql) out.push_back({st.text(0), st.text(1), std::move(renamed)});
    }
    if (rc != SQLITE_DONE) Failed(db, "reading the schema");
    return out;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

bool EqualWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

}  // namespace

void WaitForLocks(sqlite3* db, LockWait* wait) {
    assert(wait);
    wait->db = db;
    sqlite3_busy_handler(db, WaitOnLock, wait);
}

LockWaitForTesting::LockWaitForTesting(std::chrono::milliseconds bound, std::function<void()> waiting) {
    Testing() = TestWait{bound, std::move(waiting)};
}
LockWaitForTesting::~LockWaitForTesting() { Testing() = TestWait{}; }

namespace {

// The connection's files that another connection holds: the database in use, and those attached
// (the engine's own temporary one has no file). Held when the statement failed, and no more by
// now: the database in use is named.
QStringList HeldDatabases(sqlite3* db) {
    QStringList held;
    QString first;
    for (int i = 0; db; ++i) {
        const char* schema = sqlite3_db_name(db, i);
        if (!schema) break;
        const char* file = sqlite3_db_filename(db, schema);
        if (!file || !*file) continue;
        const Probe probe = ProbeFile(file);
        const QString name = QFileInfo(QFile::decodeName(file)).completeBaseName();
        const QString what = probe.description.isEmpty() ? QStringLiteral("la base de datos ") + name
                                                         : QStringLiteral("la base ") + probe.description + QStringLiteral(" (") + name + u')';
        if (first.isEmpty()) first = what;
        if (probe.held) held << what;
    }
    if (held.isEmpty()) held << (first.isEmpty() ? QStringLiteral("la base de datos") : first);
    return held;
}

}  // namespace

void ThrowLockHeld(sqlite3* db) {
    const std::optional<std::chrono::milliseconds> waited = std::exchange(tGivenUp, std::nullopt);
    const bool abandoned = std::exchange(tAbandoned, false);
    const QStringList held = HeldDatabases(db);
    if (abandoned) throw LockWaitGivenUp(held);
    throw LockTimedOut(held, waited);
}

std::string RenameCompareRules(std::string_view sql) {
    std::string out;
    out.reserve(sql.size() + 16);
    bool afterCollate = false;   // the last word was COLLATE: its name comes next
    size_t i = 0;
    auto copyUntil = [&](size_t end) {
        out.append(sql.substr(i, end - i));
        i = end;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            size_t j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == close) {
                    if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
                        j += 2;   // a doubled quote stands for one
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            copyUntil(std::min(j, sql.size()));
            afterCollate = false;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const size_t nl = sql.find('\n', i);
            copyUntil(nl == std::string_view::npos ? sql.size() : nl);
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const size_t end = sql.find("*/", i + 2);
            copyUntil(end == std::string_view::npos ? sql.size() : end + 2);
        } else if (IsWordChar(c)) {
            size_t j = i;
            while (j < sql.size() && IsWordChar(sql[j])) ++j;
            const std::string_view word = sql.substr(i, j - i);
            if (afterCollate && EqualWord(word, "NOCASE")) out += tsql::kTextRuleName;
            else if (afterCollate && EqualWord(word, "RTRIM")) out += tsql::kDateRuleName;
            else out += word;
            afterCollate = EqualWord(word, "COLLATE");
            i = j;
        } else {
            if (!std::isspace(static_cast<unsigned char>(c))) afterCollate = false;
            out += c;
            ++i;
        }
    }
    return out;
}

bool UpgradeCompareRules(sqlite3* db, const char* schemaName) {
    assert(sqlite3_get_autocommit(db));
    const std::string schema = QuotedName(schemaName);
    if (StaleStatements(db, schema).empty()) return false;   // the common case: one read of the schema
    // The schema's own statements are rewritten in place: a connection in defensive mode refuses
    // that, so this one leaves it for the upgrade.
    int defensive = 0;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, -1, &defensive);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
    bool changed = false;
    try {
        Exec(db, "BEGIN IMMEDIATE");
        try {
            // Read again under the write lock: another station may have upgraded it meanwhile.
            const std::vector<Stale> stale = StaleStatements(db, schema);
            if (!stale.empty()) {
                Exec(db, "PRAGMA writable_schema=ON");
                {
                    Statement update(db, "UPDATE " + schema + ".sqlite_schema SET sql = ?1 WHERE type = ?2 AND name = ?3");
                    for (const Stale& s : stale) {
                        sqlite3_bind_text(update.st, 1, s.sql.c_str(), static_cast<int>(s.sql.size()), SQLITE_STATIC);
                        sqlite3_bind_text(update.st, 2, s.type.c_str(), static_cast<int>(s.type.size()), SQLITE_STATIC);
                        sqlite3_bind_text(update.st, 3, s.name.c_str(), static_cast<int>(s.name.size()), SQLITE_STATIC);
                        if (sqlite3_step(update.st) != SQLITE_DONE) Failed(db, "rewriting the schema");
                        sqlite3_reset(update.st);
                    }
                }
                // Other connections read the schema again by its version; this one at once.
                long long version = 0;
                {
                    Statement read(db, "PRAGMA " + schema + ".schema_version");
                    if (sqlite3_step(read.st) != SQLITE_ROW) Failed(db, "reading the schema version");
                    version = sqlite3_column_int64(read.st, 0);
                }
                Exec(db, "PRAGMA " + schema + ".schema_version = " + std::to_string(version + 1));
                Exec(db, "PRAGMA writable_schema=RESET");
                // The indexes ordered by the rules built again: a standard tool may have rebuilt
                // them by its own rules of the old names.
                std::vector<std::string> indexes;
                {
                    Statement list(db, "SELECT DISTINCT s.name FROM " + schema + ".sqlite_schema AS s, pragma_index_xinfo(s.name, " +
                                           Quoted(schemaName, '\'') + ") AS x WHERE s.type = 'index' AND upper(x.coll) IN (" +
                                           Quoted(tsql::kTextRuleName, '\'') + ", " + Quoted(tsql::kDateRuleName, '\'') + ")");
                    int rc;
                    while ((rc = sqlite3_step(list.st)) == SQLITE_ROW) indexes.push_back(list.text(0));
                    if (rc != SQLITE_DONE) Failed(db, "listing the indexes");
                }
                for (const std::string& index : indexes) Exec(db, "REINDEX " + schema + "." + QuotedName(index));
                changed = true;
            }
            Exec(db, "COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_exec(db, "PRAGMA writable_schema=RESET", nullptr, nullptr, nullptr);   // the schema as it is again
            throw;
        }
    } catch (...) {
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, defensive, nullptr);
        throw;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, defensive, nullptr);
    return changed;
}

}  // namespace ado::sqlite
