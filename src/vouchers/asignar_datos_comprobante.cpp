// ClsCmnCptes::AsignarDatosComprobante: a stored sales or purchase voucher into the entry grids.
#include "posting/cls_cmn_cptes.h"

#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "data/db_dll.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "vouchers/carga_comprobante.h"
#include "vouchers/carga_comprobante_sql.h"

namespace posting {

void ClsCmnCptes::AsignarDatosComprobante(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                                          ui::FlexGrid& MSFlexGrid1, ui::FlexGrid& MSFlexGrid2,
                                          ui::FlexGrid& MSFlexGrid3, bool /*Inicializar*/, ado::RecordsetPtr* LrcsCpte,
                                          bool Compras, const QString& Proveedor, int32_t* IdRepartoRM,
                                          bool ConvertirMoneda, const QString& WhrTareas) {
    data::DB_Dll& db = data::gDBPrincipal();
    vb::OnError on([](const vb::Error& e) {
        return core::gUtilTexto().TrataError(e, std::nullopt, QStringLiteral("AsignarDatosPresupuesto"));
    });
    vouchers::CargaComprobante carga(*this, on, TC, SucNroLetra, Compras, ConvertirMoneda);
    // The settings and the voucher type's system decide what each line loads: one a helper could
    // not read (its error told there) loads nothing, rather than every line on a default.
    bool sinLeer = false;
    on.run([&] {
        const vb::ReadResult<bool> descarga = core::ConfiguracionSI(QStringLiteral("DescargaStockRemitos"));
        sinLeer = !descarga.read();
        if (!sinLeer) carga.DescargaStock = descarga.value();
    });
    if (sinLeer) return;
    on.run([&] { carga.Negada = IdRepartoRM && *IdRepartoRM == -98; });
    on.run([&] {
        const vb::ReadResult<QString> parcial = core::ObtieneConfiguracion(QStringLiteral("EntregaParcialRemito"));
        sinLeer = !parcial.read();
        if (!sinLeer) carga.EntregaParcial = core::ConvierteBooleano(parcial.value());
    });
    if (sinLeer) return;
    // A key that names no voucher (a complement that is not a whole number) loads nothing.
    vouchers::SentenciasComprobante sql;
    bool hayClave = false;
    on.run([&] {
        sql = vouchers::SentenciasCarga(TC, SucNroLetra, IdComplemento, Compras, Proveedor, WhrTareas);
        hayClave = true;
    });
    if (!hayClave) return;
    on.run([&] {
        const vb::ReadResult<vb::Variant> sistema = db.DatosTabla(QStringLiteral("V_TA_CPTE"), vb::Variant(TC),
                                                                  QStringLiteral("SISTEMA"), QStringLiteral("Codigo"),
                                                                  ado::adBSTR, QString(), true, false);
        sinLeer = !sistema.read();
        if (!sinLeer) carga.SistemaCompras = sistema.value().text().compare(QLatin1String("COMPRAS"), Qt::CaseInsensitive) == 0;
    });
    if (sinLeer) return;

    // A voucher without a head is not there: its lines are not loaded.
    ado::RecordsetPtr cabecera, tareas, lineas, otros;
    bool hayCabecera = false;
    on.run([&] {
        db.AbrirRecordset(sql.cabecera, cabecera);
        if (!cabecera) vb::Raise(vb::kErrObjectNotSet);
        hayCabecera = !cabecera->Eof();
    });
    if (hayCabecera) {
        on.run([&] { db.AbrirRecordset(sql.tareas, tareas); });
        // The lines are read twice: counted per article, then loaded.
        on.run([&] { db.AbrirRecordset(sql.articulos, lineas, nullptr, ado::adOpenStatic, ado::adLockReadOnly); });
        on.run([&] { db.AbrirRecordset(sql.otrosConceptos, otros); });
        on.run([&] {
            if (!carga.SistemaCompras && IdRepartoRM)
                *IdRepartoRM = vb::CLng(vb::Variant(
                    vb::Val(core::gUtilTexto().ValorNoNulo(cabecera->Fields(QStringLiteral("IdReparto"))).text())));
        });
        on.run([&] { carga.LeeCabecera(*cabecera); });
        const auto pasada = [&](ado::RecordsetPtr& rs, ui::FlexGrid& grilla, vouchers::CargaComprobante::Pasada p) {
            on.run([&] {
                if (!rs) vb::Raise(vb::kErrObjectNotSet);
                carga.Recorre(*rs, grilla, p);
            });
        };
        pasada(tareas, MSFlexGrid1, &vouchers::CargaComprobante::Tarea);
        on.run([&] {
            if (!lineas) vb::Raise(vb::kErrObjectNotSet);
            carga.CuentaLineas(*lineas);
        });
        pasada(lineas, MSFlexGrid2, &vouchers::CargaComprobante::Articulo);
        pasada(otros, MSFlexGrid3, &vouchers::CargaComprobante::OtroConcepto);
    }
    on.run([&] {
        if (LrcsCpte && *LrcsCpte) *LrcsCpte = cabecera;
    });
    for (ado::RecordsetPtr* rs : {&tareas, &lineas, &otros})
        on.run([&] {
            if (*rs) db.CierraRecordset(*rs);
        });
}

}  // namespace posting
