#include "lots/dialogos_lotes.h"

#include "lots/frm_carga_lotes_y_series.h"
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
    f.cargaLotesySeries = [] { return std::make_unique<FrmCargaLotesySeries>(); };
    f.loteyPosicion = [] { return std::make_unique<FrmLoteyPosicion>(); };
    return f;
}

const FabricaDialogosLotes& DialogosLotes() { return Actual(); }

void SetDialogosLotes(FabricaDialogosLotes fabrica) { Actual() = std::move(fabrica); }

}  // namespace lots
