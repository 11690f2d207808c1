#pragma once
// Stands in front of a DB_Dll's connection and acts before the n-th statement (run, or opened as a
// recordset) that matches, as a server that refuses it or a process that dies there would; the
// statements before and after go through. n 0 only counts.
//
//   auto corte = std::make_shared<testsupport::EnesimaSentencia>(
//       [](const QString& sql) { return sql.startsWith("INSERT INTO V_MV_STOCK"); }, 3, testsupport::Rechaza("No"));
//   data::gDBPrincipal().setConnectionCalls(corte);   // the third stock row is refused
//   ... corte->cuenta                                  // how many matched so far
#include "data/connection_calls.h"
#include "platform/vb/error.h"

#include <QString>
#include <csignal>
#include <cstdlib>
#include <functional>

namespace testsupport {

class EnesimaSentencia : public data::ConnectionCalls {
public:
    using Filtro = std::function<bool(const QString& sql)>;
    using Accion = std::function<void(ado::Connection& cnn)>;

    EnesimaSentencia(Filtro filtro, int enesima, Accion accion = nullptr)
        : filtro_(std::move(filtro)), enesima_(enesima), accion_(std::move(accion)) {}

    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectadas, long opciones) override {
        Antes(cnn, sql);
        return data::ConnectionCalls::Execute(cnn, sql, afectadas, opciones);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        Antes(*cnn, sql);
        data::ConnectionCalls::OpenRecordset(rs, sql, cnn, cursor, bloqueo, opciones);
    }

    int cuenta = 0;   // the statements that matched so far

private:
    void Antes(ado::Connection& cnn, const QString& sql) {
        if (filtro_(sql) && ++cuenta == enesima_ && accion_) accion_(cnn);
    }
    Filtro filtro_;
    int enesima_;
    Accion accion_;
};

// The action of a server that refuses the statement: the error raised and kept in the
// connection's Errors.
inline EnesimaSentencia::Accion Rechaza(const QString& mensaje) {
    return [mensaje](ado::Connection& cnn) {
        cnn.errors().Clear();
        cnn.errors().add(ado::ErrorItem{vb::kHrIntegrityViolation, mensaje, QStringLiteral("Microsoft OLE DB Provider"),
                                        QStringLiteral("23000"), 547});
        throw vb::Error(vb::kHrIntegrityViolation, mensaje);
    };
}

// Kills this process at once (SIGKILL), as a crash would.
[[noreturn]] inline void MataProceso() {
    std::raise(SIGKILL);
    std::abort();
}

// The action of a process killed there.
inline EnesimaSentencia::Accion Muere() {
    return [](ado::Connection&) { MataProceso(); };
}

}  // namespace testsupport
