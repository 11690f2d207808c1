#include "receiver/grilla_recepcion.h"

#include "platform/ui/flex_grid.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"

namespace receiver {

bool InicializaGrillaRecepcion(std::unique_ptr<posting::ClsCmnCptes>& cpte, ui::FlexGrid& grilla,
                               const ui::TextMeasurer& ventana) {
    if (!cpte) cpte = std::make_unique<posting::ClsCmnCptes>();
    if (!cpte->InicializaGrids(nullptr, &grilla, nullptr, nullptr, nullptr, nullptr, &ventana, QStringLiteral("tk")))
        return false;
    using namespace posting::art;
    grilla.SetColWidth(IdUnidad, 0);
    grilla.SetColWidth(Impuestos, 0);
    grilla.SetColWidth(TotalLinea, 0);
    grilla.SetColWidth(Descripcion, 5000);
    grilla.SetColWidth(Cantidad, 1000);
    return true;
}

}  // namespace receiver
