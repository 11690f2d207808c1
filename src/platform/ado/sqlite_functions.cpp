// SQL Server's rules on an embedded connection, registered on it: the compare rules, LIKE, the
// arithmetic, the conversions and the dialect's functions (see sqlite_rules.h for the files that
// hold them).
#include "platform/ado/sqlite_bloom_filter.h"
#include "platform/ado/sqlite_rules.h"

namespace ado::sqlite {

using namespace rules;

void RegisterServerRules(sqlite3* db) {
    // Joins answer by the compare rules below, never by a Bloom filter that hashes texts as
    // stored (sqlite_bloom_filter.h).
    GuardBloomFilter(db, sqlite3_libversion_number());
    const std::string text(tsql::kTextRuleName), date(tsql::kDateRuleName);
    sqlite3_create_collation(db, text.c_str(), SQLITE_UTF8, nullptr, CollateText);
    sqlite3_create_collation(db, date.c_str(), SQLITE_UTF8, nullptr, CollateDate);
    // A file of an earlier version, not upgraded yet (see sqlite_files.h), names them as SQLite's
    // own rules: this connection reads those names by the program's rules.
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, CollateText);
    sqlite3_create_collation(db, "RTRIM", SQLITE_UTF8, nullptr, CollateDate);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Fn { const char* name; int args; void (*f)(sqlite3_context*, int, sqlite3_value**); };
    static const Fn functions[] = {
        {"like", 2, FnLike},
        {"like", 3, FnLike},
        {"korv_add", 2, FnAdd},
        {"korv_sub", 2, FnSubtract},
        {"korv_mul", 2, FnMultiply},
        {"korv_div", 2, FnDivide},
        {"korv_mod", 2, FnModulo},
        {"korv_convert", 2, FnConvert},
        {"korv_convert", 3, FnConvert},
        {"korv_dateadd", 3, FnDateAdd},
        {"korv_datediff", 3, FnDateDiff},
        {"korv_left", 2, FnLeft},
        {"korv_right", 2, FnRight},
        {"REPLICATE", 2, FnReplicate},
        {"YEAR", 1, FnYear},
        {"MONTH", 1, FnMonth},
        {"DAY", 1, FnDay},
        {"LEN", 1, FnLen},
        {"CHARINDEX", 2, FnCharIndex},
        {"CHARINDEX", 3, FnCharIndex},
        {"REPLACE", 3, FnReplace},
        {"PATINDEX", 2, FnPatIndex},
        {"ROUND", 2, FnRound},
        {"ROUND", 3, FnRound},
    };
    for (const Fn& f : functions) sqlite3_create_function(db, f.name, f.args, flags, nullptr, f.f, nullptr, nullptr);
    sqlite3_create_function(db, "GETDATE", 0, SQLITE_UTF8, nullptr, FnGetDate, nullptr, nullptr);
}

}  // namespace ado::sqlite
