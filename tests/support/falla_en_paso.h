#pragma once
// Stands in front of a DB_Dll's connection and makes one fault raise inside the caller's own step,
// counted over what matches (n 0 only counts):
//   Sentencia   the n-th statement, run or opened, is refused (its error kept in the connection's
//               Errors) and the refusal raises to the caller, unanswered by the data layer;
//   Conversion  the n-th value read from a recordset raises a conversion error (13);
//   TipoErroneo the n-th value read of a column that is not text is a text that is no number.
//   db.setConnectionCalls(std::make_shared<testsupport::FallaEnPaso>(testsupport::FallaEnPaso::Conversion, 7));
#include "data/connection_calls.h"
#include "platform/vb/error.h"

#include <functional>
#include <memory>
#include <optional>

namespace testsupport {

class FallaEnPaso : public data::ConnectionCalls {
public:
    enum Tipo { Sentencia, Conversion, TipoErroneo };
    static constexpr const char* kNombres[] = {"sentencia", "conversion", "tipo erroneo"};

    FallaEnPaso(Tipo tipo, int n, std::function<bool(const QString&)> filtro = nullptr)
        : tipo_(tipo), n_(n), filtro_(std::move(filtro)), cuenta_(std::make_shared<Cuenta>()) {}

    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectadas, long opciones) override {
        if (Rechaza(cnn, sql)) return nullptr;
        return data::ConnectionCalls::Execute(cnn, sql, afectadas, opciones);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        if (Rechaza(*cnn, sql)) return;
        data::ConnectionCalls::OpenRecordset(rs, sql, cnn, cursor, bloqueo, opciones);
        if (tipo_ == Sentencia || (filtro_ && !filtro_(sql))) return;
        // The count outlives this object: a recordset may be read after the test stands aside. A
        // text column holds any value: only the reads of other columns count for TipoErroneo.
        rs.setValueHook([cuenta = cuenta_, tipo = tipo_, n = n_](const ado::FieldInfo& campo, const vb::Variant& v) {
            if (tipo == TipoErroneo && EsTexto(campo.type)) return v;
            if (++cuenta->lecturas != n) return v;
            if (tipo == Conversion)
                throw vb::Error(vb::kErrTypeMismatch, QStringLiteral("Error de conversión inyectado (") + campo.name + u')');
            return vb::Variant(QStringLiteral("x-no-es-numero"));
        });
    }
    void Done(ado::Connection&, const QString&) override {
        if (!pendiente_) return;
        const vb::Error e = *pendiente_;
        pendiente_.reset();
        throw e;
    }

    // Statements (Sentencia) or value reads (the others) that matched so far.
    int cuenta() const { return tipo_ == Sentencia ? sentencias_ : cuenta_->lecturas; }

private:
    struct Cuenta {
        int lecturas = 0;
    };
    bool Rechaza(ado::Connection& cnn, const QString& sql) {
        if (tipo_ != Sentencia || (filtro_ && !filtro_(sql)) || ++sentencias_ != n_) return false;
        const QString texto = QStringLiteral("Sentencia rechazada (inyectada)");
        cnn.errors().Clear();
        cnn.errors().add(ado::ErrorItem{vb::kHrIntegrityViolation, texto, QStringLiteral("Microsoft OLE DB Provider"),
                                        QStringLiteral("23000"), 547});
        pendiente_ = vb::Error(vb::kHrIntegrityViolation, texto);
        return true;
    }
    static bool EsTexto(int tipo) {
        switch (tipo) {
        case ado::adVarChar:
        case ado::adVarWChar:
        case ado::adChar:
        case ado::adWChar:
        case ado::adLongVarChar:
        case ado::adLongVarWChar:
        case ado::adBSTR:
            return true;
        default:
            return false;
        }
    }

    Tipo tipo_;
    int n_;
    std::function<bool(const QString&)> filtro_;
    std::shared_ptr<Cuenta> cuenta_;
    int sentencias_ = 0;
    std::optional<vb::Error> pendiente_;
};

}  // namespace testsupport
