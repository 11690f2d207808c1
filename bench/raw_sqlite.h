#pragma once
// What the benchmarks' baselines do on the raw SQLite C API: open a database as the embedded
// provider opens it, run a statement, bind texts, and stop the run with a message on failure.
#include "platform/ado/sqlite_functions.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rawsqlite {

[[noreturn]] inline void Die(const QString& what) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(what));
    std::exit(1);
}

inline void Exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        Die(QStringLiteral("%1\n  in: %2").arg(msg, QString::fromUtf8(sql)));
    }
}

// Opens (creating when missing) with the journal the embedded provider uses.
inline sqlite3* OpenRaw(const QString& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        Die(QStringLiteral("cannot open %1").arg(file));
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "PRAGMA synchronous=NORMAL");
    ado::sqlite::RegisterServerRules(db);   // the compare rules the provider's schemas name
    return db;
}

inline void Text(sqlite3_stmt* st, int k, const std::string& s) {
    sqlite3_bind_text(st, k, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

inline std::string Num(const char* pattern, int i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, i);
    return buf;
}

}  // namespace rawsqlite
