#include "lots/dialogos_lotes.h"

#include "lots/frm_lotey_posicion.h"

namespace lots {

namespace {

FabricaDialogosLotes& Actual() {
    static FabricaDialogosLotes fabrica = DialogosLotesDelPrograma();
    return fabrica;
}

}  // namespace

FabricaDialogosLotes DialogosLotesDelPrograma() {
    FabricaDialogosLotes f;
    f.loteyPosicion = [] { return std::make_unique<FrmLoteyPosicion>(); };
    return f;
}

const FabricaDialogosLotes& DialogosLotes() { return Actual(); }

void SetDialogosLotes(FabricaDialogosLotes fabrica) { Actual() = std::move(fabrica); }

}  // namespace lots
