#pragma once
// CargaLotesySeries: the lot, series and size dialog without its window. For one article line of a
// voucher the operator states which lots, serial numbers or size/colour/sex values the line
// carries, in one of two modes:
//
// - entry (goods coming in): one value row per unit of Cantidad; the values come back as one list,
//   in Lotes for lots alone, in Series otherwise (|S1|-|S3|: "-" for a row left empty). The values
//   given before (SeriesAnteriores or LotesAnteriores) are shown again.
// - query (EsConsultaDeSerieLote, goods going out): one row per lot and serial with stock of the
//   article in Deposito, less what the voucher's lines already take (LotesExistentes,
//   SeriesExistentes; the items of the earlier choice are the line's own and not counted); a
//   quantity is proposed (oldest lot first) or the earlier choice shown (Lotes, Series), and the
//   operator may change it. Stock whose lot or serial holds "|" or ÿ is not listed (the
//   operator is told). Accept hands back the pairs lot ÿ serial in
//   Lotes (|L1ÿS1|L2ÿ|ÿ|, ÿ the character 255) and each row's quantity in Series (|1|2|0|), and
//   Cantidad when the operator agreed to adjust it.
//
//   lots::CargaLotesySeries d;                  // FrmCargaLotesySeries is this with a window
//   d.EsConsultaDeSerieLote = true; d.EsLote = true; d.Cantidad = 7;
//   d.Articulo = "000789"; d.Deposito = "A001";
//   d.CargaDatos();                             // stock rows and a proposal: 4 and 3
//   d.CmdAceptar_Click();                       // d.Lotes |L0001ÿ|L0002ÿ|ÿ|, d.Series |4|3|0|
//
// The grid MSFlexGrid1: in query mode the columns LOTE (or TALLE-COLOR-SEXO), SERIE, CANT. STOCK
// and CANT., the first two fixed, only CANT. edited, a row of stock never given more than it holds,
// quantities whole and not below 0; in entry mode a hidden fixed column and the value column, the
// first value typed copied into the rows left empty. A value may not hold "|" or ÿ, which would
// split it when the list is read.
#include "lots/dialogos_lotes.h"
#include "lots/grilla_lotes.h"
#include "platform/vb/read_result.h"

#include <QHash>
#include <QString>

namespace lots {

class CargaLotesySeries : public DialogoCargaLotesySeries, public GrillaLotes {
public:
    // The query grid's columns; the entry grid's value column.
    enum Columna : int { kColLote = 0, kColSerie = 1, kColStock = 2, kColCantidad = 3, kColValor = 1 };
    // The toolbar's buttons (Toolbar1), by index.
    enum Boton : int { kBotonLlenar = 1, kBotonBlanquear = 2 };
    // Entry mode: the most value rows (units) one line may ask for.
    static constexpr double kMaxValores = 100000;

    // Entry mode's value rows for a quantity: its size rounded (halves to even); -1 when that is
    // more than kMaxValores (or the quantity is not a number).
    static int FilasDeValores(double cantidad);

    // Reads whether serials are written as serial*quantity ("ART_FormatoSerieAsterisco"); a read
    // passed over or left is made again on Accept, which does not go on without it.
    CargaLotesySeries();
    ~CargaLotesySeries() override;

    // Set by CargaDatos: the article uses both lots and serials.
    bool EsSerieYLote = false;
    QString IdDeposito;            // not read by the dialog
    QString ArticuloDescripcion;   // shown in proper case in lblArticulo

    // ---- DialogoCargaLotesySeries ----
    void CargaDatos() override;
    void SetLblArticulo(const QString& caption) override { MuestraEtiqueta(caption); }
    void MostrarModal() override {}   // no window: nothing to show
    void CmdAceptar_Click() override;

    // ---- public operations ----
    void InicializaGrid();
    void VerificaAnteriores();
    void VerificaExistenciasEnGrilla();
    void CompletaTodoIgual();
    void Text_Propiedades(ui::TextBox& Texto, int32_t Columna) override;
    void CompletaCantidades();
    void CampoValida(ui::TextBox& Texto) override;
    double SumaFilas(int32_t MenosCual) const;
    bool ValidaCantidadCantidadPedida();

    // ---- events ----
    void Form_KeyDown(int& KeyCode, int Shift) override;   // F2 accepts
    void Toolbar1_ButtonClick(int Index) override;

    // Serials typed as NRODESERIE * CANTIDAD; false while the setting is not read.
    bool FormatoSerieAsterisco() const { return formatoSerieAsterisco_.read() && formatoSerieAsterisco_.value(); }
    // Query mode: the data rows 1 to FilasDeStock() - 1 came from the stock query.
    int FilasDeStock() const { return filasStock_; }

protected:
    bool Editable(const ui::FlexGrid& MsFlexGrid) const override;
    void MueveConEnter(ui::FlexGrid& MsFlexGrid) override;
    QString RechazoCantidad(int fila, double q) const override;

private:
    void ProponeCantidades();
    // The first query row of a lot and serial's key; -1 when none.
    int FilaDe(const QString& clave) const;
    // A query row at the end of the grid; its key is looked up with FilaDe.
    int AgregaFila(const QString& lote, const QString& serie, const QString& stock, const QString& cantidad);
    void MuestraAnteriores();
    bool ValidaValores();
    QString ListaDeColumna(int col) const;

    vb::ReadResult<bool> formatoSerieAsterisco_ = vb::kNotRead;
    // Reads the setting; false when its read was passed over or left (the format is then unknown).
    bool LeeFormatoSerieAsterisco();
    int filasStock_ = 1;
    QHash<QString, int> filaDeClave_;   // the query rows by the key of their lot and serial
};

}  // namespace lots
