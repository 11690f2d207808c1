#pragma once
// Stands in front of a DB_Dll's connection and acts before the n-th statement, run or opened, that
// matches (n 0 only counts): a server that refuses it (Rechaza) or a process that dies (Muere).
//   db.setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(filtro, 3, testsupport::Rechaza("No")));
#include "data/connection_calls.h"
#include "platform/vb/error.h"

#include <csignal>
#include <cstdlib>
#include <functional>

namespace testsupport {

class EnesimaSentencia : public data::ConnectionCalls {
public:
    using Accion = std::function<void(ado::Connection&)>;
    EnesimaSentencia(std::function<bool(const QString&)> filtro, int n, Accion accion)
        : filtro_(std::move(filtro)), n_(n), accion_(std::move(accion)) {}
    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectadas, long opciones) override {
        if (filtro_(sql) && ++cuenta == n_) accion_(cnn);
        return data::ConnectionCalls::Execute(cnn, sql, afectadas, opciones);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        if (filtro_(sql) && ++cuenta == n_) accion_(*cnn);
        data::ConnectionCalls::OpenRecordset(rs, sql, cnn, cursor, bloqueo, opciones);
    }
    int cuenta = 0;   // the statements that matched so far

private:
    std::function<bool(const QString&)> filtro_;
    int n_;
    Accion accion_;
};

[[noreturn]] inline void MataProceso() {
    std::raise(SIGKILL);
    std::abort();
}
inline EnesimaSentencia::Accion Muere() {
    return [](ado::Connection&) { MataProceso(); };
}
// The error raised and kept in the connection's Errors, as the server refuses a statement.
inline EnesimaSentencia::Accion Rechaza(const QString& mensaje) {
    return [mensaje](ado::Connection& cnn) {
        cnn.errors().Clear();
        cnn.errors().add(ado::ErrorItem{vb::kHrIntegrityViolation, mensaje, QStringLiteral("Microsoft OLE DB Provider"),
                                        QStringLiteral("23000"), 547});
        throw vb::Error(vb::kHrIntegrityViolation, mensaje);
    };
}

}  // namespace testsupport
