#include "receiver/grilla_recepcion.h"

#include "platform/ui/flex_grid.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"

namespace receiver {

void InicializaGrillaRecepcion(std::unique_ptr<posting::ClsCmnCptes>& cpte, ui::FlexGrid& grilla,
                               const ui::TextMeasurer& ventana, bool* Fallo) {
    if (!cpte) cpte = std::make_unique<posting::ClsCmnCptes>();
    cpte->InicializaGrids(nullptr, &grilla, nullptr, nullptr, nullptr, nullptr, &ventana, QStringLiteral("tk"), nullptr, Fallo);
    if (Fallo && *Fallo) return;
    using namespace posting::art;
    grilla.SetColWidth(IdUnidad, 0);
    grilla.SetColWidth(Impuestos, 0);
    grilla.SetColWidth(TotalLinea, 0);
    grilla.SetColWidth(Descripcion, 5000);
    grilla.SetColWidth(Cantidad, 1000);
}

}  // namespace receiver
