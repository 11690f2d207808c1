#include "platform/ado/database_failure.h"

namespace ado {

namespace {

// The engine's primary result codes of a file that takes no more work: READONLY, IOERR, CORRUPT,
// FULL, CANTOPEN, NOTADB.
bool EngineFailure(long native) {
    switch (native & 0xFF) {
    case 8: case 10: case 11: case 13: case 14: case 26: return true;
    default: return false;
    }
}

// A server's numbers of the same: a read-only database (3906), no room for data or log (1105,
// 9002), an I/O error or a damaged page (823, 824, 825), a database that is not available (942,
// 945, 946).
bool ServerFailure(long native) {
    switch (native) {
    case 3906: case 1105: case 9002: case 823: case 824: case 825: case 942: case 945: case 946: return true;
    default: return false;
    }
}

}  // namespace

bool IsDatabaseFailure(const ErrorItem& error, bool embedded) {
    // Class 08: the connection failed or was lost; HYT01: it timed out.
    if (error.SQLState.startsWith(QLatin1String("08")) || error.SQLState == QLatin1String("HYT01")) return true;
    // The engine or the server ended the transaction by itself (3998: a full disk, an I/O error,
    // memory), or a statement met a transaction so ended (3930): the work under way is gone, and
    // the failure that ended it may have been answered and cleared already.
    if (error.NativeError == 3998 || error.NativeError == 3930) return true;
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
