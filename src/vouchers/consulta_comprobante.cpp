// ClsCmnCptes::ConsultaComprobante: the voucher search. A fresh search dialog for every call,
// let go on every way out, an error included.
#include "platform/vb/on_error.h"
#include "platform/vb/scope_guard.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/tratamiento.h"
#include "vouchers/dialogos_comprobantes.h"

namespace posting {

void ClsCmnCptes::ConsultaComprobante(const QString& TC, QString& Respuesta, const vb::Variant& Filtro,
                                      QString* IdComplemento, QString* Proveedor) {
    vb::OnError on(Tratamiento("ConsultaComprobante"));
    std::unique_ptr<vouchers::DialogoConsultaComprobantes> d;
    vb::ScopeGuard suelta([&] {
        if (d) d->Descargar();
    });
    // The dialog; a program without it fails the step (91).
    const auto dialogo = [&]() -> vouchers::DialogoConsultaComprobantes& {
        if (!d) {
            if (const auto& fabrica = vouchers::DialogosComprobantes().consultaComprobantes) d = fabrica();
            if (!d) vb::Raise(vb::kErrObjectNotSet);
        }
        return *d;
    };
    on.run([&] { dialogo().TC = TC; });
    on.run([&] { dialogo().Filtro = Filtro.text(); });
    on.run([&] { dialogo().NroComprobante.clear(); });
    on.run([&] { dialogo().MostrarModal(); });
    on.run([&] {
        Respuesta = dialogo().NroComprobante;
        if (IdComplemento) *IdComplemento = dialogo().IdComplemento;
        if (Proveedor) *Proveedor = dialogo().Proveedor;
    });
}

}  // namespace posting
