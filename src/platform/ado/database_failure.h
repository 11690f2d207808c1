#pragma once
// Whether an error is a failure of the database itself rather than of one statement: the file or
// server cannot take any write (read-only, full, an I/O error, a damaged file) or the connection
// is gone, or the engine ended the transaction under way by itself. A job that meets one stops, since every later statement would fail the same way.
//
//   if (ado::IsDatabaseFailure(*cnn)) ...            // the connection's last call
//   if (ado::IsDatabaseFailure(item, embedded)) ...   // one error of it
#include "platform/ado/ado.h"

namespace ado {

// One error of a connection. On the embedded provider the native error is the engine's extended
// result code (its low byte the primary code); on ODBC the SQL state and the server's number.
bool IsDatabaseFailure(const ErrorItem& error, bool embedded);

// Any error the connection's last call left in its Errors.
bool IsDatabaseFailure(Connection& cnn);

}  // namespace ado
