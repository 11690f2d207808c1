#pragma once
// The calls DB_Dll makes on a connection to open it, run statements, drive transactions and
// open recordsets. The object goes through one ConnectionCalls so that a test can stand in front of
// the connection and record (or fake) what reaches it; the base class forwards to ADO.
#include "platform/ado/ado.h"

#include <QString>

namespace data {

class ConnectionCalls {
public:
    virtual ~ConnectionCalls() = default;

    virtual void Open(ado::Connection& cnn, const QString& connectionString, const QString& userId,
                      const QString& password, long options) {
        cnn.Open(connectionString, userId, password, options);
    }

    virtual ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* recordsAffected, long options) {
        return cnn.Execute(sql, recordsAffected, options);
    }
    virtual void BeginTrans(ado::Connection& cnn) { cnn.BeginTrans(); }
    virtual void CommitTrans(ado::Connection& cnn) { cnn.CommitTrans(); }
    virtual void RollbackTrans(ado::Connection& cnn) { cnn.RollbackTrans(); }
    virtual void OpenRecordset(ado::Recordset& rs, const QString& source, const ado::ConnectionPtr& cnn,
                               int cursorType, int lockType, long options) {
        rs.Open(source, cnn, cursorType, lockType, options);
    }
    // Called when DB_Dll is done with a statement or an opening (run, or refused and told), on the
    // caller's side of its error handling; nothing here. A fault test raises from it: a refusal
    // that reaches the caller's own step instead of being answered by the data layer.
    virtual void Done(ado::Connection& cnn, const QString& sql) {
        (void)cnn;
        (void)sql;
    }
};

}  // namespace data
