#pragma once
// The main file behind the WAL journal. A commit is written to the journal (<file>-wal) and a
// checkpoint now and then copies it into the main file, after which the journal starts over. A
// main file that cannot be written while its journal can (made read-only, or immutable, under a
// connection already open, a disk remounted read-only) takes every commit into the journal and
// never empties it: the engine's own checkpoints fail without a word, the work goes on as if
// nothing were wrong and the journal grows without bound. Nothing committed is lost (the journal
// holds it, and any later opening reads it), but the file takes no more work.
//
// A connection watched here checkpoints by itself instead of the engine: after its first commit
// into each file (so that a file in that state is found at once, not after megabytes of journal)
// and whenever the journal holds kCheckpointPages pages. A checkpoint that fails for the file
// (not for a reader or another checkpoint in the way, which only put it off) is kept; the session
// refuses its next transaction with it (ThrowCheckpointFailed), as a failure of the database itself,
// once it has tried the checkpoint again and failed again. Reads go on meanwhile: the journal holds
// what was committed. Internal to the ado layer.
//
//   sqlite::CheckpointWatch watch;                      // lives as long as the connection
//   sqlite::WatchCheckpoints(db, &watch);
//   ... before each transaction:
//   if (watch.failed() && !sqlite::CheckpointAgain(db, &watch)) sqlite::ThrowCheckpointFailed(db, watch);
#include <set>
#include <string>

struct sqlite3;

namespace ado::sqlite {

// The journal's size, in pages, past which a commit checkpoints (the engine's own default).
inline constexpr int kCheckpointPages = 1000;

struct CheckpointWatch {
    std::set<std::string> checked;   // the databases (schema names) checkpointed since the connection opened
    int failure = 0;                 // the engine's extended code of the failed checkpoint; 0: none
    std::string schema;              // the database whose checkpoint failed

    bool failed() const { return failure != 0; }
};

// Replaces the engine's checkpoints on the connection by the watched ones.
void WatchCheckpoints(sqlite3* db, CheckpointWatch* watch);

// Runs the failed checkpoint again; true (and the failure forgotten) when the file takes it now.
// Outside a transaction only.
bool CheckpointAgain(sqlite3* db, CheckpointWatch* watch);

// Raises the failure as the database's own (SQL state HY000, the engine's extended code as the
// native error), naming the file and its journal.
[[noreturn]] void ThrowCheckpointFailed(sqlite3* db, const CheckpointWatch& watch);

}  // namespace ado::sqlite
