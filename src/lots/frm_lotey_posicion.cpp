#include "lots/frm_lotey_posicion.h"

namespace lots {

FrmLoteyPosicion::FrmLoteyPosicion(QWidget* parent) : VentanaLotes(QStringLiteral("FrmLoteyPosicion"), parent) {
    Arma(*this,
         {{kBotonCopiar, QStyle::SP_ArrowDown, "Llenar las demas celdas con el valor de las seleccionadas"},
          {kBotonBlanquear, QStyle::SP_DialogResetButton, "Blanquear las Celdas a partir de la celda seleccionada"},
          {kBotonProponer, QStyle::SP_BrowserReload, "Proponer Automaticamente"}},
         QStringLiteral("&Aceptar"));
}

FrmLoteyPosicion::~FrmLoteyPosicion() { Suelta(); }

void FrmLoteyPosicion::CargaDatos() {
    LoteyPosicion::CargaDatos();
    MuestraCargado();
}

}  // namespace lots
