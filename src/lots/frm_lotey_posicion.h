#pragma once
// FrmLoteyPosicion ("Posiciones"): the position and lot dialog in a window. The grid MSFlexGrid1
// is a FlexGridView over the logic's grid; the in-cell editor TxtEdit is a line edit laid over
// the current cell; Toolbar1 holds the three commands (copy down, zero down, propose again);
// CmdAceptar and CmdCancelar close it. Keys typed on the grid open the editor on CANT.; Enter,
// Esc, Up and Down in the editor check the quantity and move (see LoteyPosicion).
#include "lots/lotey_posicion.h"
#include "lots/ventana_lotes.h"

namespace lots {

class FrmLoteyPosicion : public VentanaLotes, public LoteyPosicion {
    Q_OBJECT
public:
    explicit FrmLoteyPosicion(QWidget* parent = nullptr);
    ~FrmLoteyPosicion() override;

    void CargaDatos() override;
    void MostrarModal() override { Muestra(); }
    void Descargar() override { hide(); }
};

}  // namespace lots
