#include "lots/frm_carga_lotes_y_series.h"

namespace lots {

FrmCargaLotesySeries::FrmCargaLotesySeries(QWidget* parent)
    : VentanaLotes(QStringLiteral("FrmCargaLotesySeries"), parent) {
    Arma(*this,
         {{kBotonLlenar, QStyle::SP_ArrowDown, "Llenar las demas celdas con el valor de las seleccionadas"},
          {kBotonBlanquear, QStyle::SP_DialogResetButton, "Blanquear las Celdas a partir de la celda seleccionada"}},
         QStringLiteral("F2 &Aceptar"));
    // As designed: a hidden fixed column and the value column.
    MSFlexGrid1.SetColWidth(0, 0);
    MSFlexGrid1.SetColWidth(kColValor, MedidaTexto().TextWidth(QString(25, u'X')));
}

FrmCargaLotesySeries::~FrmCargaLotesySeries() { Suelta(); }

void FrmCargaLotesySeries::CargaDatos() {
    CargaLotesySeries::CargaDatos();
    MuestraCargado();
}

}  // namespace lots
