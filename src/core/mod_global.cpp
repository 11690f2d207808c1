#include "core/mod_global.h"

#include "core/armado_sql.h"
#include "data/sql_literal.h"
#include "platform/utillib/config_estacion.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/util_texto.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

namespace core {

namespace {

// The recordset a step works on; a step on a recordset that was never opened fails as the
// runtime does (object not set).
ado::Recordset& Abierto(const ado::RecordsetPtr& rs) {
    if (!rs) vb::Raise(vb::kErrObjectNotSet);
    return *rs;
}

// Closes a recordset a routine leaves open as it ends; a failure to close it is no concern of
// the routine's.
void CierraSiAbierto(const ado::RecordsetPtr& rs) {
    if (!rs || rs->State() != ado::adStateOpen) return;
    try {
        rs->Close();
    } catch (const vb::Error&) {
    }
}

}  // namespace

utillib::UtilTexto& gUtilTexto() {
    static utillib::UtilTexto instancia;
    return instancia;
}

utillib::InfoEstacion& gInfoEstacion() {
    static utillib::InfoEstacion instancia;
    return instancia;
}

utillib::ConfigEstacion& gConfigEstacion() {
    static utillib::ConfigEstacion instancia;
    return instancia;
}

utillib::MotorReportes& gMotorReportes() {
    static utillib::MotorReportes instancia;
    return instancia;
}

utillib::VentanaEspera& gVentanaEspera() {
    // The wait window is a window: it is created on first use and lives with the application.
    static utillib::VentanaEspera* instancia = new utillib::VentanaEspera();
    return *instancia;
}

utillib::UtilControles& gUtilControles() {
    static utillib::UtilControles instancia;
    return instancia;
}

bool FlagSI(const QString& valor) { return valor.compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0; }

bool FlagNoNO(const QString& valor) { return FlagNoNO(valor, valor); }

bool FlagNoNO(const QString& valorVacio, const QString& valorNO) {
    return !(vb::Trim(valorVacio).isEmpty() || valorNO.compare(QStringLiteral("NO"), Qt::CaseInsensitive) == 0);
}

vb::ReadResult<QString> ObtieneConfiguracion(const QString& Clave) {
    QString aux;
    return ObtieneConfiguracion(Clave, aux);
}

vb::ReadResult<bool> ConfiguracionSI(const QString& Clave) {
    const vb::ReadResult<QString> valor = ObtieneConfiguracion(Clave);
    if (!valor.read()) return vb::kNotRead;
    return FlagSI(valor.value());
}

vb::ReadResult<QString> ObtieneConfiguracion(const QString& Clave, QString& ValorAux) {
    data::DB_Dll& db = data::gDBPrincipal();
    QString resultado;
    QString sql;
    ado::RecordsetPtr rs;
    vb::OnError on([](const vb::Error& e) {
        return gUtilTexto().TrataError(e, std::nullopt, QStringLiteral("Cfg"));
    });
    on.run([&] {
        if (vb::Trim(gTablaConfiguracion).isEmpty()) gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
    });
    on.run([&] {
        sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + gTablaConfiguracion +
              QStringLiteral(" with(nolock)  WHERE CLAVE = '") + data::LiteralSQL(vb::Trim(Clave)) + QStringLiteral("'");
        const QString k = vb::Trim(Clave);
        if (k.compare(QStringLiteral("[FECHA HASTA]"), Qt::CaseInsensitive) == 0 ||
            k.compare(QStringLiteral("[FECHA DESDE]"), Qt::CaseInsensitive) == 0) {
            sql = sql.toUpper();
        }
    });
    // The query and the reading of its row are one step: Retry runs the query again.
    bool leido = false;
    on.run([&] {
        db.AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
        ado::Recordset& r = Abierto(rs);
        if (r.Eof()) {
            resultado = QStringLiteral(" ");
            ValorAux.clear();
        } else {
            resultado = gUtilTexto().ValorNoNulo(r.Fields(QStringLiteral("Valor"))).text();
            ValorAux = gUtilTexto().ValorNoNulo(r.Fields(QStringLiteral("ValorAux"))).text();
        }
        leido = true;
    });
    on.run([&] { db.CierraRecordset(rs); });
    on.run([&] {
        if (Clave.compare(QStringLiteral("THEME"), Qt::CaseInsensitive) == 0 && vb::Trim(resultado).isEmpty()) {
            resultado = QStringLiteral("1");
        }
    });
    if (on.left()) CierraSiAbierto(rs);
    if (!leido) return vb::kNotRead;
    return resultado;
}

void CargaConfiguracion(const QString& CarpetaPrograma) {
    data::DB_Dll& db = data::gDBPrincipal();
    vb::OnError on = vb::OnError::SkipAll();
    // A setting not read fails its step: the value keeps its initial one (the reader has asked).
    const auto cfg = [](const char* clave) {
        const vb::ReadResult<QString> valor = ObtieneConfiguracion(QString::fromLatin1(clave));
        if (!valor.read()) vb::Raise(vb::kHrUnspecified, QString::fromLatin1(clave));
        return valor.value();
    };
    const auto ANumero = [](const QString& v) { return gUtilTexto().ANumero(vb::Variant(v)); };

    on.run([&] { gTablaConfiguracion = QStringLiteral("ta_configuracion"); });
    on.run([&] { gMostrarStockenConsultas = FlagSI(gUtilTexto().ValorNoNulo(vb::Variant(cfg("MostrarStockenConsultas"))).text()); });
    on.run([&] { gTituloClientes = vb::Trim(cfg("TituloClientes")); });
    on.run([&] { gTituloProveedores = vb::Trim(cfg("TituloProveedores")); });
    on.run([&] { gArchivoDocTareas = CarpetaPrograma + QStringLiteral("XKDOCTareas.qvd"); });
    on.run([&] { gExigeClaveConsultaLikeArticulos = FlagSI(cfg("EXIGECLAVECONSULTALIKEARTICULOS")); });
    on.run([&] { gUsaConsultaLike = FlagSI(cfg("UsaConsultaLike")); });
    on.run([&] { gCantidadDecimales = cfg("CantidadDecimales"); });
    on.run([&] { data::gConfidencialidad = FlagSI(cfg("SS_CONFIDENCIALIDAD")); });
    on.run([&] { gUsaMultiplesMonedas = FlagSI(cfg("UsaMultilesMonedas")); });
    on.run([&] { gUsaFacturaProforma = FlagSI(cfg("UsaFacturaProforma")); });
    on.run([&] { gUsaCCosto = FlagSI(cfg("USACCOSTO")); });
    on.run([&] { gUsaStockUdKg = FlagSI(cfg("USA_STK_STOCK_UDKG")); });

    // The logged user's row: business unit and, when pro-forma invoices are on, the user's own
    // permission to see them.
    ado::RecordsetPtr usuario;
    on.run([&] {
        db.AbrirRecordset(QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") +
                              data::LiteralSQL(gUsuarioLogeado) + QStringLiteral("'"),
                          usuario, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
    });
    on.run([&] {
        ado::Recordset& r = Abierto(usuario);
        if (!r.Eof()) {
            gUNegocio = gUtilTexto().ValorNoNulo(r.Fields(QStringLiteral("UNegocio"))).text();
            if (gUsaFacturaProforma) gUsaFacturaProforma = r.Fields(QStringLiteral("VerProforma")).Value().toBool();
        }
    });
    on.run([&] {
        if (gUNegocio.isEmpty()) gUNegocio = QStringLiteral("   1");
    });

    on.run([&] { gUnidadM3 = vb::Trim(cfg("UNIDADDEMEDIDA_M3")); });
    on.run([&] { gUnidadBL = vb::Trim(cfg("UNIDADDEMEDIDA_BL")); });
    on.run([&] { gUnidadKG = vb::Trim(cfg("UNIDADDEMEDIDA_KG")); });
    on.run([&] { gPeriodo = vb::CInt(vb::Variant(vb::Val(cfg("PERIODO")))); });
    on.run([&] {
        const QString vacio = cfg("VALIDACODIGOBARRA");
        const QString si = cfg("VALIDACODIGOBARRA");
        gValidaCodigoBarra = !vb::Trim(vacio).isEmpty() && vb::Trim(si).compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
    });
    on.run([&] { gColorFondo = vb::CLng(vb::Variant(ANumero(cfg("CFondo")))); });
    on.run([&] { gColorLetra = vb::CLng(vb::Variant(ANumero(cfg("CLetra")))); });
    on.run([&] {
        if (gColorFondo == 0) gColorFondo = 0xFFFF00;
    });
    on.run([&] { gModuloOrdenDeTrabajo = vb::Trim(cfg("ModuloOrdenDeTrabajo")).compare(QStringLiteral("NO"), Qt::CaseInsensitive) != 0; });
    on.run([&] { gVModificaCPrecio = FlagNoNO(cfg("V_ModificaCPrecio"), cfg("V_ModificaCPrecio")); });
    on.run([&] { gCModificaCPrecio = FlagNoNO(cfg("C_ModificaCPrecio"), cfg("C_ModificaCPrecio")); });
    on.run([&] { gMaderera = FlagNoNO(cfg("MADERERA"), cfg("MADERERA")); });
    on.run([&] { gMadTiras = vb::Trim(cfg("MAD_TIRAS")); });
    on.run([&] { gMadP2 = vb::Trim(cfg("MAD_P2")); });
    on.run([&] { gMadML = vb::Trim(cfg("MAD_ML")); });
    on.run([&] { gMadM2 = vb::Trim(cfg("MAD_M2")); });
    on.run([&] { gMadHojas = vb::Trim(cfg("MAD_HOJAS")); });
    on.run([&] { gMadMLP2 = vb::Trim(cfg("MAD_ML_P2")); });
    on.run([&] { gMadM2P2 = vb::Trim(cfg("MAD_M2_P2")); });
    on.run([&] { gMadMLM2 = vb::Trim(cfg("MAD_ML_M2")); });
    on.run([&] { gCuentaCtroDist = vb::Trim(cfg("CuentaCtroDist")); });
    on.run([&] { gMaxDto = ANumero(vb::Trim(cfg("MaxDto"))); });
    on.run([&] { gMaxDtoProforma = ANumero(vb::Trim(cfg("MaxDtoProforma"))); });
    on.run([&] { gPideClaveStockNeg = FlagNoNO(cfg("PideClave_StockNeg"), cfg("PideClave_StockNeg")); });
    on.run([&] { gPideClaveMarkUpBase = FlagNoNO(cfg("PideClave_MarkUpBase"), cfg("PideClave_MarkUpBase")); });
    on.run([&] { gPideClaveLimiteCredito = FlagNoNO(cfg("PideClave_LimiteCredito"), cfg("PideClave_LimiteCredito")); });
    on.run([&] { gSSBloqueoActivo = FlagSI(cfg("SS_BloqueoActivo")); });
    on.run([&] { gUtilizaFechaDia = FlagSI(cfg("UTILIZARFECHADIA")); });
    on.run([&] { gCondIvaEmpresa = vb::CInt(vb::Variant(vb::Val(cfg("CONDIVAEMPRESA")))); });
    on.run([&] {
        if (gCondIvaEmpresa == 0) gCondIvaEmpresa = vb::CInt(vb::Variant(vb::Val(cfg("CONDIVA"))));
    });
    on.run([&] {
        if (gCondIvaEmpresa == 0) gCondIvaEmpresa = 1;
    });
    on.run([&] { gTopDefault = cfg("Top_Default"); });
    on.run([&] {
        if (vb::Trim(gTopDefault).isEmpty()) gTopDefault = QStringLiteral("1000");
    });
    // The user row is released here, as the routine ends.
    CierraSiAbierto(usuario);
}

void ReiniciaEstado() {
    gUsuarioLogeado.clear();
    gCaja.clear();
    gUNegocio.clear();
    gCadenaDSN.clear();
    gArchivoAyuda.clear();
    gColorFondo = 0xFFFFFF;
    gColorLetra = 0;
    gFlatToolbars = 0;
    gListaGlobal.clear();
    gMascaraPesable.clear();
    gTablaConfiguracion.clear();
    gMostrarStockenConsultas = false;
    gTituloClientes.clear();
    gTituloProveedores.clear();
    gArchivoDocTareas.clear();
    gExigeClaveConsultaLikeArticulos = false;
    gUsaConsultaLike = false;
    gCantidadDecimales.clear();
    data::gConfidencialidad = false;
    gUsaMultiplesMonedas = false;
    gUsaFacturaProforma = false;
    gUsaCCosto = false;
    gUsaStockUdKg = false;
    gUnidadM3.clear();
    gUnidadBL.clear();
    gUnidadKG.clear();
    gPeriodo = 0;
    gValidaCodigoBarra = false;
    gModuloOrdenDeTrabajo = false;
    gVModificaCPrecio = false;
    gCModificaCPrecio = false;
    gMaderera = false;
    gMadTiras.clear();
    gMadP2.clear();
    gMadML.clear();
    gMadM2.clear();
    gMadHojas.clear();
    gMadMLP2.clear();
    gMadM2P2.clear();
    gMadMLM2.clear();
    gCuentaCtroDist.clear();
    gMaxDto = vb::Currency();
    gMaxDtoProforma = vb::Currency();
    gPideClaveStockNeg = false;
    gPideClaveMarkUpBase = false;
    gPideClaveLimiteCredito = false;
    gSSBloqueoActivo = false;
    gUtilizaFechaDia = false;
    gCondIvaEmpresa = 0;
    gTopDefault.clear();
}

}  // namespace core
