#include "platform/ado/sqlite_checkpoints.h"

#include "platform/ado/provider.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

#include <cassert>

namespace ado::sqlite {

namespace {

// A checkpoint of the database; the failure is the file's when it is neither a success nor one a
// reader or another checkpoint put off (those are tried again at a later commit).
int Checkpoint(sqlite3* db, const char* schema) {
    const int rc = sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (rc == SQLITE_OK || (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) return SQLITE_OK;
    const int extended = sqlite3_extended_errcode(db);
    return (extended & 0xFF) == (rc & 0xFF) ? extended : rc;
}

// Called by the engine after each commit into a database in WAL mode, the write lock released.
int AfterCommit(void* arg, sqlite3* db, const char* schema, int pages) {
    auto* watch = static_cast<CheckpointWatch*>(arg);
    const bool first = watch->checked.insert(schema).second;
    if (!first && pages < kCheckpointPages) return SQLITE_OK;
    const int rc = Checkpoint(db, schema);
    if (rc != SQLITE_OK && !watch->failed()) {
        watch->failure = rc;
        watch->schema = schema;
    }
    assert(!watch->failed() || !watch->schema.empty());
    return SQLITE_OK;   // the commit stands: what it wrote is in the journal
}

}  // namespace

void WatchCheckpoints(sqlite3* db, CheckpointWatch* watch) {
    assert(watch);
    sqlite3_wal_hook(db, &AfterCommit, watch);
}

bool CheckpointAgain(sqlite3* db, CheckpointWatch* watch) {
    assert(watch->failed() && sqlite3_get_autocommit(db));
    if (Checkpoint(db, watch->schema.c_str()) != SQLITE_OK) return false;
    watch->failure = 0;
    watch->schema.clear();
    return true;
}

void ThrowCheckpointFailed(sqlite3* db, const CheckpointWatch& watch) {
    assert(watch.failed());
    const char* name = sqlite3_db_filename(db, watch.schema.c_str());
    const QString file = QDir::toNativeSeparators(name ? QFile::decodeName(name) : QString::fromStdString(watch.schema));
    ThrowProvider(vb::kHrUnspecified,
                  QStringLiteral("The database file %1 cannot be written (%2): what was committed is kept in %1-wal, and "
                                 "no more work is taken until the file can be written again.")
                      .arg(file, QString::fromUtf8(sqlite3_errstr(watch.failure))),
                  QStringLiteral("HY000"), watch.failure);
}

}  // namespace ado::sqlite
