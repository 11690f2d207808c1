#include "posting/asientos_numeracion.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "posting/tratamiento.h"

namespace posting::ast {

namespace {

// The register types whose entries are numbered together with the blank one.
bool EsRegistroComun(const QString& tipo) {
    const QString t = vb::Trim(tipo);
    return t.isEmpty() || t == vb::Chr(255) + QStringLiteral("RS");
}

// A number of the query text, read from a value of any type (raises 13 when it is not one).
QString NumeroSQL(const vb::Variant& valor) { return vb::NumberText(vb::CDbl(valor)); }

}  // namespace

bool ExisteAsientoComprobante(const QString& TC, const QString& Suc, const QString& Nro, const QString& Letra,
                              QString& Asiento, const QString& Cuenta, bool SinBloqueo) {
    if (vb::Trim(TC).compare(QStringLiteral("OC"), Qt::CaseInsensitive) == 0) return false;
    utillib::UtilTexto& util = core::gUtilTexto();
    const QString porCuenta =
        Cuenta.isEmpty() ? QString() : QStringLiteral(" AND CUENTA = '") + Lit(Cuenta) + QStringLiteral("'");
    const QString desde = SinBloqueo ? QStringLiteral("SELECT * FROM MV_ASIENTOS  with(nolock)  WHERE TC = '")
                                     : QStringLiteral("SELECT * FROM MV_ASIENTOS WHERE TC = '");
    const QString sql = desde + Lit(util.Rellena(TC, 4)) + QStringLiteral("' AND SUCURSAL = '") + Lit(Suc) +
                        QStringLiteral("' AND NUMERO = '") + Lit(Nro) + QStringLiteral("' AND LETRA = '") + Lit(Letra) +
                        QStringLiteral("'") + porCuenta;
    ado::RecordsetPtr rs;
    ado::Recordset& r = Abre(sql, rs);
    const bool existe = !r.Eof();
    if (existe) {
        Asiento = vb::Format(r.Fields(QStringLiteral("Mes_Operativo")).Value(), QStringLiteral("00")) +
                  QStringLiteral(" - ") +
                  vb::Format(r.Fields(QStringLiteral("numero asiento")).Value(), QStringLiteral("000000"));
    }
    Cierra(rs);
    return existe;
}

vb::ReadResult<QString> ObtieneTipoRegCont(const QString& TC) {
    utillib::UtilTexto& util = core::gUtilTexto();
    const QString cuatroBlancos(4, u' ');
    QString resultado;
    vb::Variant subdiario;
    bool sinFila = false;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("ObtieneTipoRegCont$"));
    on.run([&] {
        const QString sql = QStringLiteral("SELECT * FROM MA_SUBDIARIOSCOMPROBANTES  with(nolock)  WHERE TC = '") +
                            Lit(core::RellenaCodigo(TC, 4)) + QStringLiteral("'");
        ado::Recordset& r = Abre(sql, rs);
        sinFila = r.Eof();
        if (!sinFila) subdiario = r.Fields(QStringLiteral("Subdiario")).Value();
    });
    if (on.passedOver()) {
        Cierra(rs);
        return vb::kNotRead;
    }
    if (sinFila) {
        Cierra(rs);
        return cuatroBlancos;
    }
    on.run([&] {
        const QString sql = QStringLiteral("SELECT * FROM MA_SUBDIARIOS  with(nolock)  WHERE CODIGO = '") +
                            Lit(util.ValorNoNulo(subdiario).text()) + QStringLiteral("'");
        ado::Recordset& r = Abre(sql, rs);
        sinFila = r.Eof();
        if (!sinFila) resultado = util.ValorNoNulo(r.Fields(QStringLiteral("Subdiario"))).text();
    });
    Cierra(rs);
    if (on.passedOver()) return vb::kNotRead;
    return sinFila ? cuatroBlancos : resultado;
}

std::optional<long> ObtieneProximoNroAsiento(const vb::Variant& Mes, const vb::Variant& Periodo,
                                             const vb::Variant& TipoReg) {
    data::DB_Dll& db = data::gDBPrincipal();
    long resultado = 0;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("ValidaTCRegistraciones"));
    on.run([&] {
        const QString mes = NumeroSQL(Mes);
        const QString periodo = NumeroSQL(Periodo);
        const QString tipo = vb::Trim(TipoReg.text());
        const QString registro =
            EsRegistroComun(tipo)
                ? QStringLiteral(" AND (TIPO_REG = '") + vb::Chr(255) + QStringLiteral("RS' OR TIPO_REG = '')")
                : QStringLiteral(" AND TIPO_REG = '") + Lit(tipo) + QStringLiteral("'");
        const QString sql = QStringLiteral("SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM @ADMIN_MV_ASIENTOS "
                                           "WHERE MES_OPERATIVO = ") +
                            mes + registro + QStringLiteral(" AND PERIODO = ") + periodo;
        db.AbrirRecordset(sql, rs, db.gCnn());
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        resultado = 1;
        if (!rs->Eof()) {
            const vb::Variant ultimo = rs->Fields(QStringLiteral("Nro_Asiento")).Value();
            if (!ultimo.isNull()) resultado = vb::CLng(ultimo) + 1;
        }
    });
    if (on.passedOver()) {
        db.CierraRecordset(rs);
        return std::nullopt;
    }
    on.run([&] { db.CierraRecordset(rs); });
    return resultado;
}

}  // namespace posting::ast
