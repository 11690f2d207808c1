#include "vouchers/dialogos_comprobantes.h"

#include "vouchers/frm_cons_comprobantes.h"

namespace vouchers {

namespace {

FabricaDialogosComprobantes& Actual() {
    static FabricaDialogosComprobantes fabrica = DialogosComprobantesDelPrograma();
    return fabrica;
}

}  // namespace

FabricaDialogosComprobantes DialogosComprobantesDelPrograma() {
    FabricaDialogosComprobantes f;
    f.consultaComprobantes = [] { return std::make_unique<FrmConsComprobantes>(); };
    return f;
}

const FabricaDialogosComprobantes& DialogosComprobantes() { return Actual(); }

void SetDialogosComprobantes(FabricaDialogosComprobantes fabrica) { Actual() = std::move(fabrica); }

}  // namespace vouchers
