#pragma once
// FrmCargaLotesySeries ("Numeros de Serie"): the lot, series and size dialog in a window. The grid
// MSFlexGrid1 is a FlexGridView over the logic's grid; the in-cell editor TxtEdit is a line edit
// laid over the current cell; Toolbar1 holds the two commands (fill the cells below with the
// current one's value, blank them); CmdAceptar ("F2 &Aceptar", and the F2 key anywhere in the
// window) and CmdCancelar close it. See CargaLotesySeries for the modes and the lists.
#include "lots/carga_lotes_y_series.h"
#include "lots/ventana_lotes.h"

namespace lots {

class FrmCargaLotesySeries : public VentanaLotes, public CargaLotesySeries {
    Q_OBJECT
public:
    explicit FrmCargaLotesySeries(QWidget* parent = nullptr);
    ~FrmCargaLotesySeries() override;

    void CargaDatos() override;
    void MostrarModal() override { Muestra(); }
    void Descargar() override { hide(); }
};

}  // namespace lots
