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
// A window shows it by overriding the hooks (caption, label, focus, hide, text widths); without
// one the hooks only record what a window would show.
#include "lots/dialogos_lotes.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"

#include <QString>

namespace ui {
class TextMeasurer;
}

namespace lots {

// The grid's columns.
enum ColumnaLoteyPosicion : int { kColPosicion = 0, kColLote = 1, kColUnidad = 2, kColDisponible = 3, kColCantidad = 4 };

// The toolbar's buttons (Toolbar1), by index.
enum BotonLoteyPosicion : int { kBotonCopiar = 1, kBotonBlanquear = 2, kBotonProponer = 3 };

// A quantity as cells and lists hold it: rounded to four decimals, "." as decimal point, no
// trailing zeros (2, 2.5, 0.3333).
QString TextoCantidad(double valor);
// A quantity cell or list item as a number ("2,5" and "2.5" alike; empty or not a number: 0).
double LeeCantidad(const QString& texto);
// a against b to four decimals: -1, 0 or 1.
int ComparaCantidades(double a, double b);

class LoteyPosicion : public DialogoLoteyPosicion {
public:
    LoteyPosicion();
    ~LoteyPosicion() override;

    ui::FlexGrid MSFlexGrid1{QStringLiteral("MSFlexGrid1")};
    ui::TextBox TxtEdit{QStringLiteral("TxtEdit")};

    // ---- DialogoLoteyPosicion ----
    void CargaDatos() override;
    void SetLblArticulo(const QString& caption) override;
    void MostrarModal() override {}   // no window: nothing to show

    // ---- public operations ----
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void InicializaGrid();
    void VerificaAnteriores();
    void CompletaTodoIgual();
    void Text_Propiedades(ui::TextBox& Texto, int32_t Col);
    void EditKeyCode(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyCode, int Shift);
    void MsflexGridEdt(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyAscii);
    void CampoValida(ui::TextBox& Texto);
    double SumaFilas(int32_t MenosCual) const;
    bool ValidaCantidadCantidadPedida();

    // ---- events ----
    void MSFlexGrid1_KeyPress(int KeyAscii) { MsflexGridEdt(MSFlexGrid1, TxtEdit, KeyAscii); }
    void MSFlexGrid1_LeaveCell() { EscribeEditor(); }
    void MSFlexGrid1_GotFocus() { EscribeEditor(); }
    void TxtEdit_KeyPress(int& KeyAscii);
    void TxtEdit_KeyDown(int KeyCode, int Shift);
    void Toolbar1_ButtonClick(int Index);

    // What the window shows, as the hooks last set it.
    const QString& Caption() const { return caption_; }
    const QString& LblArticulo() const { return lblArticulo_; }
    bool ErrorCampo() const { return errorCampo_; }
    bool Aceptado() const { return aceptado_; }
    bool Oculto() const { return oculto_; }
    // The row standing for the stock held without a position; -1 when there is none.
    int FilaDeposito() const { return filaDeposito_; }

protected:
    // Hooks of the window.
    virtual void SetCaption(const QString& caption) { caption_ = caption; }
    virtual void MuestraEtiqueta(const QString& caption) { lblArticulo_ = caption; }
    virtual void FocoGrilla() { MSFlexGrid1_GotFocus(); }
    virtual void FocoAceptar() {}
    virtual void Ocultar(bool aceptado);
    // The measurer of the window's font; without a window, 120 twips a character.
    virtual const ui::TextMeasurer& Medida() const;

private:
    void CargaSaldos(bool conLote);
    void ProponeCantidades();
    void AjustaAnchoColumnas();
    void EscribeEditor();
    bool ValidaFilas();
    QString ArmaLista(int columna, bool conCantidad) const;
    double Disponible(int fila) const;
    double Convierte(const QString& unidadBase, double cantidad) const;
    void SubeSiCortada(ui::FlexGrid& grid);

    bool errorCampo_ = false;
    bool aceptado_ = false;
    bool oculto_ = false;
    int filaDeposito_ = -1;
    int filaEditada_ = -1;
    int colEditada_ = -1;
    QString caption_ = QStringLiteral("Posiciones");
    QString lblArticulo_ = QStringLiteral("Artículo-Descripción");
};

}  // namespace lots
