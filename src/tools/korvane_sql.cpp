// korvane-sql: looks into the program's embedded database files with the program's own compare
// rules and functions, which the standard sqlite3 shell does not have (it refuses to compare the
// program's texts and dates: "no such collation sequence").
//
//   korvane-sql FILE [SQL]...     runs the SQL (SQLite's dialect; each argument one or more
//                                 statements, read from standard input when none is given) and
//                                 prints the rows as sqlite3 does: values joined by "|", NULL empty
//   korvane-sql --upgrade FILE    gives a file made by an earlier version the program's compare
//                                 rules' names and builds its indexes again, whole or not at all
//                                 (the program does the same when it opens the file)
//
//   korvane-sql build/demo/VOLMA.sqlite "PRAGMA integrity_check"
//
// The file is never created. While another station writes in it, a statement waits up to 30 s.
// Exit status: 0 done, 1 a statement failed (its message on standard error), 2 wrong use or a
// file that cannot be opened.
#include "platform/ado/provider.h"
#include "platform/ado/sqlite_files.h"
#include "platform/ado/sqlite_functions.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: korvane-sql FILE [SQL]...\n"
               "       korvane-sql --upgrade FILE\n",
               stderr);
    return 2;
}

// Runs every statement of `sql`, printing the rows; false at the first that fails.
bool Run(sqlite3* db, const std::string& sql) {
    const char* at = sql.c_str();
    const char* end = at + sql.size();
    while (at < end) {
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, at, static_cast<int>(end - at), &st, &tail) != SQLITE_OK) {
            std::fprintf(stderr, "Error: %s\n", sqlite3_errmsg(db));
            return false;
        }
        at = tail;
        if (!st) continue;   // blanks or a comment
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(st);
            std::string line;
            for (int c = 0; c < columns; ++c) {
                if (c) line += '|';
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                if (text) line.append(text, static_cast<size_t>(sqlite3_column_bytes(st, c)));
            }
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            std::fprintf(stderr, "Error: %s\n", sqlite3_errmsg(db));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool upgrade = !args.empty() && args.front() == "--upgrade";
    if (upgrade) args.erase(args.begin());
    if (args.empty() || (upgrade && args.size() != 1) || args.front().starts_with("-")) return Usage();

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(args.front().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "Error: cannot open %s: %s\n", args.front().c_str(), db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        return 2;
    }
    ado::sqlite::RegisterServerRules(db);
    ado::sqlite::LockWait wait;
    ado::sqlite::WaitForLocks(db, &wait);

    int status = 0;
    if (upgrade) {
        try {
            const bool changed = ado::sqlite::UpgradeCompareRules(db, "main");
            std::puts(changed ? "upgraded" : "nothing to upgrade");
        } catch (const ado::ProviderError& e) {
            std::fprintf(stderr, "Error: %s\n", e.description.toUtf8().constData());
            status = 1;
        }
    } else if (args.size() == 1) {
        const std::string sql{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
        status = Run(db, sql) ? 0 : 1;
    } else {
        for (size_t i = 1; i < args.size() && status == 0; ++i) status = Run(db, args[i]) ? 0 : 1;
    }
    sqlite3_close_v2(db);
    return status;
}
