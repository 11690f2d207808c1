// Small database services around one voucher, for the voucher entry windows: the audit row of an
// action, the balance of the charges applied to an account, the vouchers issued from a voucher
// and their amount, and the quantity of an article still to be delivered on a voucher.
#include "core/armado_sql.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/tratamiento.h"
#include "vouchers/accion_comprobante.h"
#include "vouchers/carga_comprobante_sql.h"

namespace vouchers {

QString SentenciaAccionComprobante(const AccionComprobante& a) {
    const QString tipo = a.lEsAlta ? QStringLiteral("A") : a.lEsModificacion ? QStringLiteral("M") : QStringLiteral("B");
    core::ListaCamposValores pares{
        {QStringLiteral("TC"), data::TextoSQL(core::RellenaCodigo(a.TC, 4))},
        {QStringLiteral("IdComprobante"), data::TextoSQL(a.SucNroLetra)},
        {QStringLiteral("IdComplemento"), ComplementoSQL(a.IdComplemento)},
        {QStringLiteral("Tipo_accion"), data::TextoSQL(tipo)},
        // Four digits of year: a two-digit year would leave the century to the server.
        {QStringLiteral("FECHAHORA"), data::TextoSQL(vb::Format(vb::Variant(a.FechaHora), QStringLiteral("dd/mm/yyyy hh:mm")))},
        {QStringLiteral("Usuario"), data::TextoSQL(a.Usuario)},
        {QStringLiteral("PC"), data::TextoSQL(a.PC)},
        {QStringLiteral("SYSTEMUSER"), QStringLiteral("''")},
        {QStringLiteral("NUMEROASIENTO"), ComplementoSQL(a.NroAsiento)},   // a whole number, as the column
    };
    QString sql = QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES ");
    core::ArmaListaValues(sql, pares, true);
    return sql;
}

}  // namespace vouchers

namespace posting {

namespace {

// The sum of one column of a one-row aggregate query; Null (no row summed) is 0.
double Suma(const QString& sql, ado::RecordsetPtr& rs) {
    ado::Recordset& r = Abre(sql, rs);
    if (r.BOF() || r.Eof()) return 0;
    const vb::Variant v = r.Fields(QStringLiteral("CANTIDAD")).Value();
    return v.isNull() ? 0 : v.toDouble();
}

}  // namespace

void ClsCmnCptes::ActualizaBuchon(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                                  bool lEsAlta, bool lEsModificacion, bool GeneraSentencia, QString* SentenciaSQL,
                                  const QString& NroAsiento) {
    // The audit never stops the caller: a failing step is passed over.
    vb::OnError on = vb::OnError::SkipAll();
    QString sql;
    on.run([&] {
        vouchers::AccionComprobante a;
        a.TC = TC;
        a.SucNroLetra = SucNroLetra;
        a.IdComplemento = IdComplemento;
        a.lEsAlta = lEsAlta;
        a.lEsModificacion = lEsModificacion;
        a.FechaHora = vb::Now();
        a.Usuario = core::gUsuarioLogeado;
        a.PC = core::gInfoEstacion().NombrePC();
        a.NroAsiento = NroAsiento;
        sql = vouchers::SentenciaAccionComprobante(a);
    });
    if (sql.isEmpty()) return;   // nothing built: the caller's statement stays as it was
    if (GeneraSentencia) {
        if (SentenciaSQL) *SentenciaSQL = sql;
        return;
    }
    on.run([&] { EjecutaSentencia(sql); });   // a row the table refuses (a number too long) is told
}

vb::Currency ClsCmnCptes::ImporteCargosReales(const QString& Cuenta) {
    vb::Currency importe;
    vb::OnError on(Tratamiento("ImporteCargosReales@"));
    ado::RecordsetPtr rs;
    on.run([&] {
        ado::Recordset& r = Abre(vouchers::SentenciaCargosAplicados(Cuenta), rs);
        importe = core::gUtilTexto().ANumero(core::gUtilTexto().ValorNoNulo(r.Fields(QStringLiteral("Importe"))));
    });
    Cierra(rs);
    return importe;
}

void ClsCmnCptes::ControlDeCargosReales(VentanaCargosReales& FrmCtrlCargosReales, const QString& Cliente,
                                        const QString& Matricula) {
    FrmCtrlCargosReales.SetCliente(Cliente);
    FrmCtrlCargosReales.SetMatricula(Matricula);
    FrmCtrlCargosReales.ShowModal();
}

bool ClsCmnCptes::EstaRelacionadoAOtroComprobante(const QString& TC, const QString& SucNroLetra,
                                                  const QString& Complemento, bool TenerEnCuentaAnulados) {
    ado::RecordsetPtr rs;
    const bool hay = !Abre(vouchers::SentenciaRelacionados(TC, SucNroLetra, Complemento, TenerEnCuentaAnulados), rs).BOF();
    Cierra(rs);
    return hay;
}

vb::Currency ClsCmnCptes::ObtieneImporteCptesAsociados(const QString& TC, const QString& SucNroLetra) {
    vb::Currency total;
    ado::RecordsetPtr rs;
    ado::Recordset& r = Abre(vouchers::SentenciaImporteAsociados(TC, SucNroLetra), rs);
    for (; !r.Eof(); r.MoveNext()) {
        // A voucher without an amount adds nothing.
        total = total + core::gUtilTexto().ANumero(r.Fields(QStringLiteral("Importe")).Value());
    }
    Cierra(rs);
    return total;
}

double ClsCmnCptes::CantRepartoPend(const QString& TC, const QString& SucNroLetra, const QString& IdArticulo) {
    const vouchers::SentenciasReparto s = vouchers::SentenciasRepartoPend(TC, SucNroLetra, IdArticulo);
    ado::RecordsetPtr rs;
    double pedido = Suma(s.pedido, rs);
    const double entregado = Suma(s.entregado, rs);
    Cierra(rs);
    if (pedido < entregado) pedido = entregado;
    return pedido - entregado;
}

}  // namespace posting
