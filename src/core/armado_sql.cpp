#include "core/armado_sql.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <cmath>

namespace core {

QString ArmaCondicionWhere(const QString& Columna, const QString& Operador, const QStringList& Valores,
                           const QString& Conector, const QString& Comilla, const vb::Variant& IncluyeNulos,
                           bool SaltaBlancos) {
    // Inside single quotes a value's own quotes are doubled.
    const auto valor = [&](const QString& v) { return Comilla == QStringLiteral("'") ? data::LiteralSQL(v) : v; };
    try {
        if (Valores.isEmpty()) vb::Raise(vb::kErrSubscriptOutOfRange);
        QString r = Columna + Operador + Comilla + valor(Valores.at(0)) + Comilla;
        for (qsizetype d = 1; d < Valores.size(); ++d) {
            if (SaltaBlancos && vb::Trim(Valores.at(d)).isEmpty()) continue;
            r += Conector + Columna + Operador + Comilla + valor(Valores.at(d)) + Comilla;
        }
        if (!IncluyeNulos.isNull() && IncluyeNulos.toBool()) r += Conector + Columna + QStringLiteral(" is null ");
        return r;
    } catch (const vb::Error&) {
        return QStringLiteral("1=1");
    }
}

int16_t BuscaEnArreglo(const QStringList& Valores, const QString& Valor, int Inicio) {
    if (Valores.isEmpty()) vb::Raise(vb::kErrSubscriptOutOfRange);
    if (Inicio < 0) vb::Raise(vb::kErrSubscriptOutOfRange);
    for (qsizetype i = Inicio; i < Valores.size(); ++i) {
        if (Valores.at(i).compare(Valor, Qt::CaseInsensitive) == 0) return static_cast<int16_t>(i);
    }
    return -1;
}

void ArmaListaValues(QString& Sentencia, ListaCamposValores& Pares, bool Limpia) {
    if (Pares.empty()) vb::Raise(vb::kErrSubscriptOutOfRange);
    qsizetype largo = Sentencia.size() + 12;
    for (const CampoValor& p : Pares) largo += p.Campo.size() + p.Valor.size() + 2;
    Sentencia.reserve(largo);   // written once: a posting builds one of these per stock row
    Sentencia += u'(';
    for (size_t i = 0; i < Pares.size(); ++i) {
        if (i) Sentencia += u',';
        Sentencia += Pares[i].Campo;
    }
    Sentencia += QStringLiteral(") VALUES (");
    for (size_t i = 0; i < Pares.size(); ++i) {
        if (i) Sentencia += u',';
        Sentencia += Pares[i].Valor;
    }
    Sentencia += u')';
    if (Limpia) Pares.clear();
}

vb::Date ObtieneFechaServidor() {
    data::DB_Dll& db = data::gDBPrincipal();
    ado::RecordsetPtr rs;
    db.AbrirRecordset(QStringLiteral("select getDate() as fecha"), rs, nullptr, ado::adOpenForwardOnly,
                      ado::adLockReadOnly);
    if (!rs) vb::Raise(vb::kErrObjectNotSet);
    vb::Date fecha;
    if (!rs->Eof()) {
        // The server's value itself, whole seconds: never through a locale's date text.
        const vb::Variant v = rs->Fields(QStringLiteral("Fecha")).Value();
        fecha = v.isString() ? vb::CDate(v) : v.toDate();
        fecha.serial = std::floor(fecha.serial * 86400.0 + 1e-6) / 86400.0;
    } else if (gUtilizaFechaDia) {
        const vb::ReadResult<QString> hasta = ObtieneConfiguracion(QStringLiteral("FECHAOPERHASTA"));
        if (!hasta.read()) {
            // The operator was asked about the read; the date is not known.
            db.CierraRecordset(rs);
            vb::Raise(vb::kHrUnspecified, QStringLiteral("FECHAOPERHASTA"));
        }
        fecha = vb::IsDate(vb::Variant(hasta.value())) ? vb::CDate(vb::Variant(hasta.value())) : vb::Today();
    } else {
        fecha = vb::Today();
    }
    db.CierraRecordset(rs);
    return fecha;
}

}  // namespace core
