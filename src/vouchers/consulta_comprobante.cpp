// ClsCmnCptes::ConsultaComprobante: the voucher search. A fresh search dialog for every call,
// let go on every way out, an error included.
#include "core/dialogo_en_uso.h"
#include "platform/vb/on_error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/tratamiento.h"
#include "vouchers/dialogos_comprobantes.h"

namespace posting {

void ClsCmnCptes::ConsultaComprobante(const QString& TC, QString& Respuesta, const vb::Variant& Filtro,
                                      QString* IdComplemento, QString* Proveedor) {
    vb::OnError on(Tratamiento("ConsultaComprobante"));
    core::DialogoEnUso<vouchers::DialogoConsultaComprobantes> d(vouchers::DialogosComprobantes().consultaComprobantes);
    on.run([&] { d->TC = TC; });
    on.run([&] { d->Filtro = Filtro.text(); });
    on.run([&] { d->NroComprobante.clear(); });
    on.run([&] { d->MostrarModal(); });
    on.run([&] {
        Respuesta = d->NroComprobante;
        if (IdComplemento) *IdComplemento = d->IdComplemento;
        if (Proveedor) *Proveedor = d->Proveedor;
    });
}

}  // namespace posting
