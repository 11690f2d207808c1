#pragma once
// The embedded database files as files others open too: another connection's transaction waited
// for, the program's compare rules named in the schema, and the files of earlier versions brought
// to those names. Internal to the ado layer (and the command-line tool that reads the files).
#include "platform/ado/lock_wait.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

struct sqlite3;

namespace ado::sqlite {

// ---- another connection's transaction ----------------------------------------------------------
//
// A file another connection writes in (another station's send or receive) is waited for as a
// server's client waits for a lock: up to the connection's CommandTimeout (ADO's default 30 s; the
// program's head-office connection 360 s). A command without a limit (0), which a server would let
// wait for ever, waits kLongestLockWait: a station left with its transaction open (a question box
// unanswered in the middle of a voucher) then fails the waiting command instead of hanging it.
// Past the wait the statement fails with native error 1222, its text naming the database held.
using ado::kLongestLockWait;

struct LockWait {
    long seconds = 30;   // the connection's CommandTimeout
    std::chrono::steady_clock::time_point since;   // when the current wait began
    sqlite3* db = nullptr;                          // the connection that waits
};

// Makes the connection wait by `wait` (kept by the caller as long as the connection) whenever a
// file it needs is held. Between its pauses the wait tells the program's listener (lock_wait.h),
// which may give it up.
void WaitForLocks(sqlite3* db, LockWait* wait);

// Raises the failure of a statement that found a file of the connection held by another: the
// database (its description when the file carries one, and its name), what holds it and how long
// it was waited for; or, when the listener gave the wait up, that it was (lock_wait.h).
[[noreturn]] void ThrowLockHeld(sqlite3* db);

// For tests: while it lives, every wait lasts at most `bound`, and `waiting` (when given) is
// called before each pause of a wait.
class LockWaitForTesting {
public:
    explicit LockWaitForTesting(std::chrono::milliseconds bound, std::function<void()> waiting = {});
    ~LockWaitForTesting();
    LockWaitForTesting(const LockWaitForTesting&) = delete;
    LockWaitForTesting& operator=(const LockWaitForTesting&) = delete;
};

// The table in which a database file says what it is ("de la casa central"): one row, column
// DESCRIPCION. Optional; not listed among the database's tables.
inline constexpr std::string_view kDescriptionTable = "KORV_BASE";

// ---- the compare rules' names -------------------------------------------------------------------
//
// Earlier versions wrote the program's compare rules under SQLite's own names (COLLATE NOCASE for
// texts, COLLATE RTRIM for dates), which a standard tool reads by its own rules. The schema's
// statements (tables, views, indexes, triggers) are rewritten with the program's names
// (tsql::kTextRuleName, kDateRuleName) and the indexes built again, in one transaction: the file
// is upgraded whole or not at all.

// A schema statement with the old names replaced (quoted texts and names, and comments, untouched).
std::string RenameCompareRules(std::string_view sql);

// Upgrades the database `schema` of the connection ("main", or an attached one's name). Returns
// whether it changed it. Raises a ProviderError when the file cannot be upgraded (it stays as it
// was then). Outside a transaction only.
bool UpgradeCompareRules(sqlite3* db, const char* schema);

}  // namespace ado::sqlite
