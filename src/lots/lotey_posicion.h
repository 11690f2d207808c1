#pragma once
// LoteyPosicion: the position and lot dialog without its window. It splits the quantity of one
// article line over the places of one warehouse that hold the article: its positions (by lot,
// when lots are asked) and the stock held without a position. Each balance is a row of the grid
// MSFlexGrid1; the operator types in the CANT. column, through the in-cell editor TxtEdit, how
// much to take from each row; Accept checks the rows and the total and hands back the choice as
// two lists (Posiciones |P01*5|*2|, Lotes |L1||).
//
//   lots::LoteyPosicion d;                      // FrmLoteyPosicion is this with a window
//   d.Cantidad1 = 6; d.EsPosicion = true; d.EsLote = true;
//   d.IUNIDAD = "UN"; d.Articulo = "000789"; d.Deposito = "A001";
//   d.CargaDatos();                             // balances, and a proposed split
//   d.CmdAceptar_Click();                       // d.Posiciones, d.Lotes
//
// Modes: positions and lots (EsLote; the grid has a LOTE column), or positions only (EsLote
// false). Openings: fresh (a split of Cantidad1 is proposed: older lots, then earlier-entered
// positions, then the warehouse) or review (EsConsultaDePosicionLote: the earlier lists' quantities
// are shown). Numbers are written into cells and lists with "." and every cell is read with
// UtilTexto::ADoble; quantities are compared to four decimals.
//
// A window shows it through the hooks of GrillaLotes (FrmLoteyPosicion); without one the hooks only
// record what a window would show.
#include "lots/dialogos_lotes.h"
#include "lots/grilla_lotes.h"

#include <QString>

namespace lots {

// The grid's columns.
enum ColumnaLoteyPosicion : int { kColPosicion = 0, kColLote = 1, kColUnidad = 2, kColDisponible = 3, kColCantidad = 4 };

// The toolbar's buttons (Toolbar1), by index.
enum BotonLoteyPosicion : int { kBotonCopiar = 1, kBotonBlanquear = 2, kBotonProponer = 3 };

class LoteyPosicion : public DialogoLoteyPosicion, public GrillaLotes {
public:
    LoteyPosicion();
    ~LoteyPosicion() override;

    // ---- DialogoLoteyPosicion ----
    void CargaDatos() override;
    void SetLblArticulo(const QString& caption) override;
    void MostrarModal() override {}   // no window: nothing to show

    // ---- public operations ----
    void CmdAceptar_Click() override;
    void InicializaGrid();
    void VerificaAnteriores();
    void CompletaTodoIgual();
    void Text_Propiedades(ui::TextBox& Texto, int32_t Col) override;
    void CampoValida(ui::TextBox& Texto) override;
    double SumaFilas(int32_t MenosCual) const { return SumaColumna(kColCantidad, MenosCual); }
    bool ValidaCantidadCantidadPedida();

    // ---- events ----
    void Toolbar1_ButtonClick(int Index) override;

    // The row standing for the stock held without a position; -1 when there is none.
    int FilaDeposito() const { return filaDeposito_; }

protected:
    // Only CANT. is edited; Enter goes down a row (from the last row, to Accept).
    bool Editable(const ui::FlexGrid& MsFlexGrid) const override { return MsFlexGrid.Col() == kColCantidad; }
    void MueveConEnter(ui::FlexGrid& MsFlexGrid) override;
    // Below 0, or above the row's DISPONIBLE.
    QString RechazoCantidad(int fila, double q) const override;

private:
    void CargaSaldos(bool conLote);
    void ProponeCantidades();
    bool ValidaCodigos();
    QString ArmaLista(int columna, bool conCantidad) const;
    double Disponible(int fila) const;
    double Convierte(const QString& unidadBase, double cantidad) const;

    int filaDeposito_ = -1;
    mutable bool sinLeer_ = false;   // a unit equivalence of the balances was not read
};

}  // namespace lots
