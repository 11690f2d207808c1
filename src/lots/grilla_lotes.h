#pragma once
// GrillaLotes: what the two lot dialogs share without their windows (FrmLoteyPosicion and
// FrmCargaLotesySeries): the grid MSFlexGrid1 of stock rows or values, the in-cell editor TxtEdit
// laid over its current cell, the keys that open, confirm and leave the editor, the fitting of the
// columns to their texts, and the question put when a total differs from the requested quantity.
// Each dialog says which cells are edited, what a confirmed text must be and where Enter goes.
//
//   class MiDialogo : public GrillaLotes {          // a lot dialog's logic
//       bool Editable(const ui::FlexGrid& g) const override { return g.Col() == 3; }
//       void CampoValida(ui::TextBox& Texto) override { ... errorCampo_ = true; ... }
//       ...
//   };
//   d.MSFlexGrid1_KeyPress('5');                      // the editor opens over the cell with "5"
//   d.TxtEdit_KeyDown(13, 0);                         // checked; written into the cell; one row down
//
// A window shows the dialog by handing in its VistaLotes (VentanaLotes does); without one the
// hooks only record what a window would show, and text widths are 120 twips a character.
//
// Quantities are written into cells and lists with "." (TextoCantidad), read with
// UtilTexto::ADoble (LeeCantidad) and compared to four decimals (ComparaCantidades); a quantity is
// checked by one rule of each dialog (RechazoCantidad) as it is typed and again at Accept.
#include "lots/cantidades.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"

#include <QString>
#include <cstdint>

namespace ui {
class TextMeasurer;
}

namespace lots {

// What the window of a lot dialog does for it.
class VistaLotes {
public:
    virtual ~VistaLotes() = default;
    virtual void MuestraCaption(const QString& caption) = 0;
    virtual void MuestraLblArticulo(const QString& caption) = 0;
    // The grid takes the keyboard focus.
    virtual void EnfocaGrilla() = 0;
    virtual void EnfocaAceptar() = 0;
    // The window hides itself, accepted or not, ending its modal show.
    virtual void Oculta(bool aceptado) = 0;
    // The window's font, as column widths are measured in it.
    virtual const ui::TextMeasurer& MedidaTexto() const = 0;
};

class GrillaLotes {
public:
    explicit GrillaLotes(QString caption);
    virtual ~GrillaLotes();
    GrillaLotes(const GrillaLotes&) = delete;
    GrillaLotes& operator=(const GrillaLotes&) = delete;

    ui::FlexGrid MSFlexGrid1{QStringLiteral("MSFlexGrid1")};
    ui::TextBox TxtEdit{QStringLiteral("TxtEdit")};

    // The window that shows the dialog; nullptr: none.
    void SetVista(VistaLotes* vista) { vista_ = vista; }

    // ---- editing ----
    // Opens the editor over the current cell when the dialog edits it: a printable key becomes its
    // text (caret after it); Enter, Backspace, the space bar and other keys up to 32 bring the
    // cell's text (caret at the end).
    void MsflexGridEdt(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyAscii);
    // After a confirmed key: Enter gives the grid the focus (which writes the editor into its cell)
    // and moves as the dialog says; Esc hides the editor without writing; Up and Down give the
    // grid the focus and move one row (Down also to column 0 when it is not a fixed one). A move
    // the grid refuses (5, 30010) is passed over; other errors are asked about ("EditKeyCode").
    void EditKeyCode(ui::FlexGrid& MsFlexGrid, ui::TextBox& Edt, int KeyCode, int Shift);
    virtual void Text_Propiedades(ui::TextBox& Texto, int32_t Col) = 0;
    // Checks the editor's text; sets ErrorCampo when it is refused (the message is shown).
    virtual void CampoValida(ui::TextBox& Texto) = 0;

    // ---- events ----
    void MSFlexGrid1_KeyPress(int KeyAscii) { MsflexGridEdt(MSFlexGrid1, TxtEdit, KeyAscii); }
    void MSFlexGrid1_LeaveCell() { EscribeEditor(); }
    void MSFlexGrid1_GotFocus() { EscribeEditor(); }
    // Characters typed into the editor pass the key filter (which may cancel them: KeyAscii 0).
    void TxtEdit_KeyPress(int& KeyAscii);
    // A confirming key checks the text (Esc drops it unchecked) and, unless refused, moves.
    void TxtEdit_KeyDown(int KeyCode, int Shift);
    // Keys the window sees before its controls; a key set to 0 goes no further.
    virtual void Form_KeyDown(int& KeyCode, int Shift);
    virtual void Toolbar1_ButtonClick(int Index) = 0;
    virtual void CmdAceptar_Click() = 0;
    // Hides the dialog; its results stay as they were.
    virtual void CmdCancelar_Click();

    // What the window shows, as the hooks last set it.
    const QString& Caption() const { return caption_; }
    const QString& LblArticulo() const { return lblArticulo_; }
    bool ErrorCampo() const { return errorCampo_; }
    bool Aceptado() const { return aceptado_; }
    bool Oculto() const { return oculto_; }

protected:
    // Whether the editor opens on the grid's current cell.
    virtual bool Editable(const ui::FlexGrid& MsFlexGrid) const = 0;
    // Where Enter moves once the grid has the focus.
    virtual void MueveConEnter(ui::FlexGrid& MsFlexGrid) = 0;
    // Why the quantity q may not go into data row `fila` (empty: it may).
    virtual QString RechazoCantidad(int fila, double q) const = 0;

    // Hooks: through the window when there is one, and recorded.
    void SetCaption(const QString& caption);
    void MuestraEtiqueta(const QString& caption);
    void FocoGrilla();   // the grid takes the focus and the editor is written into its cell
    void FocoAceptar();
    void Ocultar(bool aceptado);
    const ui::TextMeasurer& Medida() const;

    // Writes the open editor into the cell it was opened on and hides it.
    void EscribeEditor();
    // A grid that is shown and cuts the current cell off at the bottom scrolls by one row.
    static void SubeSiCortada(ui::FlexGrid& grid);
    // Each column as wide as its longest text (header included) in letters X; a column without
    // text keeps its width, and a hidden one (width 0) stays hidden.
    void AjustaAnchoColumnas();
    // The sum of a column's quantities over the data rows, leaving out row MenosCual (-1: none).
    double SumaColumna(int col, int32_t MenosCual) const;
    // Whether the column adds up to the requested quantity (to four decimals); a failure is asked
    // about with no routine name.
    bool SumaIgualA(int col, double pedido) const;
    // The proposal: column colCantidad filled in grid order, each row given what is left of the
    // request up to its balance in colDisponible (nothing from a balance of 0 or below); a grid
    // of one data row gets the whole request. Rows hold their starting quantity on top.
    void ProponeEn(int colDisponible, int colCantidad, double pedido);
    // When the total of the rows differs from the requested quantity: above it, or below it with
    // puedeMenos, the operator is asked to adjust the request (Yes sets Cantidad to the total; No
    // tells the quantity to reach); below it without puedeMenos, `faltante` is shown. True when
    // the dialog may go on and build its results.
    static bool AjustaCantidadPedida(double& Cantidad, double total, bool puedeMenos, const QString& faltante);
    // A refused cell: it becomes the current cell and the message is shown.
    void RechazaCelda(int fila, int col, const QString& mensaje);
    // The check of a quantity typed in the editor for the current row, as Accept checks it: a
    // text neither blank nor a number, or a quantity RechazoCantidad refuses, shows its message.
    // A failure of the check goes to the "CampoValida" question. A refusal, or the check passed
    // over with Ignore, sets ErrorCampo; leaving the question leaves it clear (Accept checks again).
    void ValidaCantidadEditor(const QString& texto);
    // Accept's check of the quantities in column `col`: the first data row whose text is not a
    // quantity, or whose quantity RechazoCantidad refuses, is refused (RechazaCelda); false then.
    bool ValidaCantidades(int col);
    // Whether a data row is one the toolbar may write from: the grid's current row, not a header.
    bool FilaActualDeDatos() const;

    bool errorCampo_ = false;

private:
    VistaLotes* vista_ = nullptr;
    bool aceptado_ = false;
    bool oculto_ = false;
    int filaEditada_ = -1;
    int colEditada_ = -1;
    QString caption_;
    QString lblArticulo_ = QStringLiteral("Artículo-Descripción");
};

// The lot dialogs' message titles: critical messages, and questions and information.
inline const QString kAvisoOperador = QStringLiteral("Aviso al Operador");
inline const QString kAvisoOperadorPregunta = QStringLiteral("Aviso al Operador!!!");

// Why a value may not hold the characters that separate the items of its list (e.g. "| ni ÿ").
QString NoPuedeContener(const QString& caracteres);

}  // namespace lots
