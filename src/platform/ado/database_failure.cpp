#include "platform/ado/database_failure.h"

#include "platform/ado/native_errors.h"

#include <sqlite3.h>

namespace ado {

namespace {

// The engine's primary result codes of a file that takes no more work: READONLY, IOERR, CORRUPT,
// FULL, CANTOPEN, NOTADB.
bool EngineFailure(long code) {
    switch (code & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_CORRUPT:
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB: return true;
    default: return false;
    }
}

// A server's numbers of the same: a read-only database, no room for data or log, an I/O error or
// a damaged page, a database that is not available.
bool ServerFailure(long nativeError) {
    switch (nativeError) {
    case native::kReadOnlyDatabase:
    case native::kNoRoomForData:
    case native::kLogFull:
    case native::kIoError:
    case native::kDamagedPage:
    case native::kReadRetried:
    case native::kDatabaseOffline:
    case native::kDatabaseUnavailable:
    case native::kDatabaseVersion: return true;
    default: return false;
    }
}

}  // namespace

bool IsDatabaseFailure(const ErrorItem& error, bool embedded) {
    // Class 08: the connection failed or was lost; HYT01: it timed out.
    if (error.SQLState.startsWith(QLatin1String("08")) || error.SQLState == QLatin1String("HYT01")) return true;
    // The engine or the server ended the transaction by itself (a full disk, an I/O error,
    // memory), or a statement met a transaction so ended: the work under way is gone, and
    // the failure that ended it may have been answered and cleared already.
    if (error.NativeError == native::kTransactionRolledBack || error.NativeError == native::kUncommittableTransaction) return true;
    if (embedded) return error.SQLState == QLatin1String("HY000") && EngineFailure(error.NativeError);
    return ServerFailure(error.NativeError);
}

bool IsDatabaseFailure(Connection& cnn) {
    Errors& errors = cnn.errors();
    const bool embedded = cnn.isEmbedded();
    for (int i = 0; i < errors.Count(); ++i)
        if (IsDatabaseFailure(errors.Item(i), embedded)) return true;
    return false;
}

}  // namespace ado
