#pragma once
// ClsCmnCptes: the voucher engine. A window that works with vouchers holds one, created when it
// first needs it, and calls its operations: the entry grids' layout, stock posting and its
// journal entry, the lot and series lists and dialogs, loading, checking and totalling a stored
// voucher. The object reads a few settings once, when it is made, and keeps them for its life;
// several may live at once and share only the database and the program's state.
//
//   posting::ClsCmnCptes cpte;                             // reads PIVA, AsientosXStock, LenDescripcion
//   ui::WidgetTextMeasurer medida(this);
//   if (!cpte.InicializaGrids(nullptr, &grilla, nullptr, nullptr, nullptr, nullptr, &medida, QStringLiteral("tk")))
//       return;                                          // a setting not read: nothing laid out
//   ... fill the articles grid (columns in columnas_articulos.h) ...
//   posting::PedidoPosteo p;                              // pedido_posteo.h
//   p.TC = QStringLiteral("TK"); p.SucNroLetra = nro; p.Fecha = fecha; p.UNegocio = unidad; ...
//   if (!cpte.ActualizaStock(grilla, p).Posteado()) ...   // nothing of the voucher stays
//
// One class, three folders: this header and the posting members live in posting/, together with
// the lot and series list codec that posting reads; the lot dialogs' members are defined in
// lots/, the voucher entry members in vouchers/. Each block below names its folder.
//
// Parameters: a text or number the operation only reads is passed by value or const reference;
// one it writes back is a reference, or, when the caller may leave it out, a pointer that may be
// null (the operation then works on a local of its own). A grid or text box that may be absent is
// a pointer. Colours are BGR longs.
#include "platform/ado/ado.h"
#include "platform/vb/currency.h"
#include "platform/vb/read_result.h"
#include "platform/vb/variant.h"
#include "posting/pedido_posteo.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace ui {
class FlexGrid;
class TextBox;
class TextMeasurer;
class StatusBar;
class TabStrip;   // the caller's tab control (TabVisible, TabCaption), for TotalizadorControl
}  // namespace ui

namespace vb {
class OnError;
}

namespace posting {

struct ContextoPosteo;
class DatosArticulos;

// The caller's real-charges window, as ControlDeCargosReales drives it: its client and plate are
// set, then it is shown modally.
class VentanaCargosReales {
public:
    virtual ~VentanaCargosReales() = default;
    virtual void SetCliente(const QString& cliente) = 0;
    virtual void SetMatricula(const QString& matricula) = 0;
    virtual void ShowModal() = 0;
};

class ClsCmnCptes {
public:
    // Reads, in this order, the VAT rate ("PIVA"), whether stock movements get journal entries
    // ("AsientosXStock" is "SI", any case) and the longest description written
    // ("LenDescripcion"; missing, 0, not a number, negative or beyond 32767 give 100).
    // Setting errors are treated by the settings reader; a setting not read is read again by the
    // next posting (ActualizaStock), which fails the voucher when it still cannot read it.
    ClsCmnCptes();

    // When True, voucher type ND counts -1 in the VAT book.
    bool DebitoProveedor = false;
    // When False, a statement the database refuses while ActualizaStock posts is not shown by the
    // engine: the caller tells the operator once, naming the voucher (the store movement receiver
    // does). The posting fails all the same (HayError).
    bool AvisaSentenciasRechazadas = true;
    // The longest article description that posting writes.
    int16_t gLenDesc = 100;

    // The settings read at construction.
    double PorcentajeIVA() const { return porcentajeIVA_; }
    bool AsientosXStock() const { return asientosXStock_; }
    // The last journal entry number this object handed out; 0 until it hands out one.
    int32_t UltimoNroAsiento() const { return ultimoNroAsiento_; }

    // ---- posting/: grid layout, stock posting, journal entry from stock ----

    // The journal entry (MV_ASIENTOS) of the stock moved by the grid, as statements each after
    // CR LF, never run here (asiento_stock.cpp tells the rules). Empty when the object was made
    // without journal entries from stock, the type gets none, or nothing is to be booked.
    //   SoloRegistro 0   the whole grid, as a new entry (statement mode).
    //   SoloRegistro n   grid row n, into the entry of the posting call in progress (row by row;
    //                    each row's statements run before the next call): the first call after
    //                    IniciaAsientoStock takes the entry's number, later ones add to its lines.
    // eMotivoStock, TC, Suc, Nro, Letra and EsDebito may be rewritten. Secuencia, when given, is
    // the first line's sequence and comes back one past the last. *HayError, when given, is set
    // True when the entry cannot be booked (no register type, no entry number, the voucher's
    // entry already stored, no cost-of-sales account, lines whose debits and credits differ, a
    // failure the operator did not pass over): the voucher must then not be posted. The lines
    // carry the program's business unit and till (core::gUNegocio, core::gCaja).
    QString GeneraAsientoStock(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc, QString& Nro,
                               QString& Letra, const QString& Fecha, bool& EsDebito, int16_t TipoMov,
                               int32_t SoloRegistro = 0, int16_t* Secuencia = nullptr, bool* HayError = nullptr);
    // Starts a posting call's row-by-row entry: ActualizaStock calls it before its first row, so
    // that each posting call books one entry with a number of its own.
    void IniciaAsientoStock();
    // For the fault tests: sees each line of a journal entry as the last act of the step that
    // builds the entry's lines (its account, its side 'D' or 'H', its amount) and may change the
    // amount, as a fault in their arithmetic would, or raise. The program sets none.
    using LineaAsientoHook = std::function<void(const QString& cuenta, QChar lado, vb::Currency& importe)>;
    void setLineaAsientoHook(LineaAsientoHook hook) { lineaAsientoHook_ = std::move(hook); }

    // Prepares an in-cell editor for a column of a voucher grid: its DataField, MaxLength and
    // Tag, chosen by the editor's name (TxtEdit: tasks; TxtEdit2, TXTAUX1..3: articles; TxtEdit3:
    // other concepts). Any other column or editor is left reset (empty, 0, empty).
    void TextPropiedades(ui::TextBox& Texto, int32_t Columna);

    // Lays out, for voucher type TC, the grids it is given: tasks (MSFlexGrid1), articles
    // (MSFlexGrid2), other concepts (MSFlexGrid3) and totals (MSFlexGrid4), sizing columns with
    // Obj's text widths. The type's system and the settings are read on every call, grids or not.
    // TxtEdit is required with a tasks grid and txtEdit3 with an other-concepts grid (91 when
    // missing); Obj with any grid. False when a setting's read was passed over or left (the
    // operator asked about it already): no grid is laid out.
    [[nodiscard]] bool InicializaGrids(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                                       ui::TextBox* TxtEdit, ui::TextBox* txtEdit2, ui::TextBox* txtEdit3,
                                       const ui::TextMeasurer* Obj, const QString& TC = QString(),
                                       ui::FlexGrid* MSFlexGrid4 = nullptr);

    // Writes one V_MV_STOCK row per line of the articles grid and per lot, series or size item
    // (movimiento_stock.h), and books the journal entry of the movement. "ELDELGRID" as IdDeposito,
    // IdMotivoStock, TcOrigen or ComprobanteOrigen takes the value from each line. Rows are
    // numbered on from SecuenciaFija (from the rows already stored, for a production order "OP").
    // A transfer (EsTransferencia) and a production order walk the grid twice: out of one deposit
    // and into the other. SignoRemota, when not 0, is the stock sign instead of the voucher type's.
    // After the rows, the inputs of the articles posted are discharged under a "PE" voucher of
    // their own (DescargaInsumos): never for AJP, AJN or a production order, nor when the setting
    // "DescargaInsumosProduccion" is "SI"; a transfer discharges twice at the destination, the
    // second time with the opposite sign.
    //
    // The rows, the input discharge and the entry go under the request's business unit; the rows
    // and the entry carry its till (actualiza_stock.cpp tells the steps).
    //
    // Direct mode: the whole call (stock rows, input discharge, its voucher book, journal lines)
    // is one transaction on the head-office connection, committed when the call ends well and
    // rolled back otherwise. GeneraSentenciaSQL: nothing is run; the result holds every statement
    // after a Chr(13), in the order stock rows, discharge rows, the discharge voucher's book, the
    // voucher's journal statement, for the caller to run as one batch; a call that fails gives none.
    // The result says whether the voucher was posted whole, and else why not: no business unit, a
    // value not read, a statement refused, an error the operator did not cure by retrying, ...
    ResultadoPosteo ActualizaStock(ui::FlexGrid& MSFlexGrid2, const PedidoPosteo& pedido);
    // The same with the arguments in their places, under the program's business unit and till
    // (core::gUNegocio, core::gCaja). *HayError is True when the voucher was not posted whole;
    // statement mode appends the statements to *SQLTemp.
    void ActualizaStock(ui::FlexGrid& MSFlexGrid2, const QString& TC, const QString& SucNroLetra,
                        const QString& IdComplemento, const QString& Fecha, const QString& IdDeposito = QString(),
                        const QString& IdDepositoDestino = QString(), const QString& IdMotivoStock = QString(),
                        const QString& TcOrigen = QString(), const QString& ComprobanteOrigen = QString(),
                        bool EsTransferencia = false, const QString& Cuenta = QStringLiteral("PorDefault"),
                        bool GeneraSentenciaSQL = false, QString* SQLTemp = nullptr, bool* HayError = nullptr,
                        const QString& IdTecnico = QStringLiteral("Null"), const QString& LoteFijo = QString(),
                        const QString& Aduana = QString(), const QString& LoteOrigen = QString(),
                        int16_t SignoRemota = 0, bool MuestraCartel = false, const QString& IdVendedor = QString(),
                        int32_t SecuenciaFija = 0);

    // +1 stock in, -1 out, 0 none; with LibroIVA the voucher's sign in the VAT book. Not read when
    // an error was passed over or left, or the type has no row (after its box). Within a posting
    // call the stock sign is asked once (a missing type is told once, not at every row).
    vb::ReadResult<int16_t> ObtieneSignoComprobante(const QString& TC, bool LibroIVA = false);

    // ---- posting/ (lista_pipe.cpp): the lot and series list codec, which posting reads ----
    // A list is "|" followed by each item and "|"; an item may join two values with Chr(255).
    // Each member hands over to the pure text function of the same name in lista_pipe.h.

    QString StrSerieLote(const QString& Serie_Lote);
    // arreglo receives the items and one empty element at the end (its result carries nothing).
    void DescomponeSerieLote(const QString& Serie_Lote, QStringList& arreglo);
    void DescomponePosicionCantidadLote(const QString& Posicion_Lote, const QString& PIPELotes,
                                        QStringList& ArrPosiciones, QStringList& ArrCantidades, QStringList& ArrLote);
    int32_t Cuenta_Series_Lotes(const QString& PipeSeries, const QString& PIPELotes, bool SinConsolidar = false);
    QString ExtraeSerieLote(const QString& Serie_Lote, int32_t QuePosicion);
    int32_t Cantidad_Series_Lotes(const QString& Pipes);
    QString InsertaCHR255(const QString& iPipe);
    int32_t Busca_Lotes_Series(const QString& PipeSeriesLotes, const QString& QueSerieLote);

    // ---- lots/: lot, series and position dialogs and stock by lot ----

    void PideSerieLote(const QString& Articulo, double Cantidad, const QString& SerieAnt, const QString& LoteAnt,
                       QString& SerieNvo, QString& LoteNvo, bool Serie = false, bool Lote = false, bool Talle = false);
    // Deposito, when given and empty, receives the default deposit.
    void PideSerieLote_Salidas(ui::FlexGrid& Grilla, const QString& Articulo, const QString& Descripcion,
                               double& Cantidad, const QString& SeriesLoteAnt, const QString& CantidadANT,
                               QString& SeriesLoteNvo, QString& CantidadesNvo, bool Lote, bool Serie, bool Talle,
                               QString* Deposito = nullptr, bool MostrarForm = true);
    void CuentaLotesEnGrilla(ui::FlexGrid& Grilla, const QString& Articulo, QString& LotesEnGrid,
                             QString& CantidadesEnGrid);
    void PidePosicionLote(const QString& Articulo, const QString& IdUnidad, double Cantidad, const QString& Deposito,
                          const QString& PosicionAnt, const QString& LoteAnt, QString& PosicionNVO, QString& LoteNvo,
                          bool Posicion = true, bool Lote = false);
    // The balance in the base unit and in the equivalent one (0 without one). False when either
    // was not read (its error passed over or left): both are then left as they were.
    [[nodiscard]] bool ObtieneStockxEquiv(const QString& IdDeposito, const QString& IdArticulo, const QString& UdBase,
                                          const QString& udEquivBuscada, double& StockUdBase, double& StockEquiv);
    // A null IdDeposito or IdUnidad stands for "Ignorar"; a given one that holds "Ignorar" receives
    // the code it resolves to. Not read when a read was passed over or left (the default deposit,
    // the article's unit or marks, the balance).
    vb::ReadResult<double> ObtieneStock(const QString& IdArticulo, QString* IdDeposito = nullptr,
                                        const QString& NroLote = QStringLiteral("Ignorar"),
                                        const QString& NroSerie = QStringLiteral("Ignorar"),
                                        const QString& IdPosicion = QStringLiteral("Ignorar"),
                                        QString* IdUnidad = nullptr);

    // ---- vouchers/: voucher audit, related vouchers, loading, checks, totals, colours ----

    // The audit row of an action on the voucher (V_MV_CPTEACCIONES): an addition (lEsAlta), a
    // change (lEsModificacion) or a removal. With GeneraSentencia it goes into *SentenciaSQL
    // instead of being run. It never stops the caller.
    void ActualizaBuchon(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento, bool lEsAlta,
                         bool lEsModificacion, bool GeneraSentencia = true, QString* SentenciaSQL = nullptr,
                         const QString& NroAsiento = QString());
    // The voucher search dialog: Respuesta receives the chosen number, *IdComplemento and
    // *Proveedor its complement and account.
    void ConsultaComprobante(const QString& TC, QString& Respuesta, const vb::Variant& Filtro = vb::Variant(),
                             QString* IdComplemento = nullptr, QString* Proveedor = nullptr);
    // The balance of the charges applied to the account (V_MV_CargosAplicados); 0 without any.
    vb::Currency ImporteCargosReales(const QString& Cuenta);
    // Shows the caller's real-charges window modally for the client and plate.
    void ControlDeCargosReales(VentanaCargosReales& FrmCtrlCargosReales, const QString& Cliente,
                               const QString& Matricula = QString());
    // Whether a voucher was issued from this one and complement (V_MV_CPTE's origin columns);
    // annulled ones count only with TenerEnCuentaAnulados. The next two raise their errors.
    bool EstaRelacionadoAOtroComprobante(const QString& TC, const QString& SucNroLetra,
                                         const QString& Complemento = QStringLiteral("0"),
                                         bool TenerEnCuentaAnulados = false);
    // The amounts of the vouchers in force issued from this one, any complement; Null is 0.
    vb::Currency ObtieneImporteCptesAsociados(const QString& TC, const QString& SucNroLetra);
    // What is still to deliver of the article on the voucher: its lines' quantities less what
    // the stock movements delivered of it (VT_V_MV_Stock_Cons), never below 0. TC goes in as
    // given. Errors reach the caller.
    double CantRepartoPend(const QString& TC, const QString& SucNroLetra, const QString& IdArticulo);
    // Loads a stored voucher into the entry grids laid out by InicializaGrids: its tasks into
    // MSFlexGrid1, its article lines into MSFlexGrid2, its other concepts into MSFlexGrid3, each
    // after the lines already there, each grid ending with one empty row. A sales voucher is read
    // from the V_ tables by type, number and complement (not a whole number: 0), a purchase voucher
    // (Compras) from the C_ tables by type, number and the supplier's account Proveedor. WhrTareas,
    // when not empty, is SQL appended to the tasks' condition (" AND ...").
    // Delivery notes, orders and invoices delivered in parts load the quantity still pending, handed
    // out over the lines of each article; ConvertirMoneda multiplies every amount by the head's
    // exchange rate (a Null or blank rate is 1). *LrcsCpte, when it holds a recordset on entry,
    // receives the head's, still open (at its end when the voucher has no head); *IdRepartoRM:
    // -98 on entry loads the quantities negated; it receives the head's IdReparto unless the type
    // is of the purchases system. A voucher without a head leaves the grids as they are.
    // Inicializar is not read. Errors are asked with the routine name "AsignarDatosPresupuesto".
    void AsignarDatosComprobante(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                                 ui::FlexGrid& MSFlexGrid1, ui::FlexGrid& MSFlexGrid2, ui::FlexGrid& MSFlexGrid3,
                                 bool Inicializar = false, ado::RecordsetPtr* LrcsCpte = nullptr, bool Compras = false,
                                 const QString& Proveedor = QString(), int32_t* IdRepartoRM = nullptr,
                                 bool ConvertirMoneda = false, const QString& WhrTareas = QString());
    // Whether the filled lines of the grids given (tasks, articles, other concepts), and Agragarle
    // more, fit the lines of the type and letter's printed form (TA_CONFIG_IMP_CPTE; 0 or no row:
    // no limit). *CantLineas receives the limit, or gives it when LineasAnteriores is -1 (no
    // query); *CantLineasUsadas receives the filled lines when there is a limit.
    bool ValidaCantidadLineasCpte(const QString& TC, const QString& Letra, ui::FlexGrid* MSFlexGrid1,
                                  ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3, int32_t* CantLineas = nullptr,
                                  int32_t* CantLineasUsadas = nullptr, int32_t Agragarle = 0,
                                  int32_t LineasAnteriores = 0);
    // The filled lines of the grids given; the counters receive each grid's lines and the
    // articles' quantities added up and rounded once (halves to even).
    int32_t CuentaItems(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                        int32_t* CantTareas = nullptr, int32_t* CantArticulos = nullptr,
                        int32_t* CantOtrosConceptos = nullptr, int32_t* TotUnidades = nullptr);
    // The current line's code and description in status-bar panel Columna (from 1); for an
    // article also its available stock in the panel keyed "Stock", when there is one.
    void MuestraDetalleTareas(ui::FlexGrid& MSFlexGrid1, ui::StatusBar& StatB);
    void MuestraDetalleArticulos(ui::FlexGrid& MSFlexGrid2, ui::StatusBar& StatB, int32_t Columna = 4);
    void MuestraDetalleOtrosConceptos(ui::FlexGrid& MSFlexGrid3, ui::StatusBar& StatB);
    void MuestraDetalle(const QString& Detalle, ui::StatusBar& StatB, int32_t Columna = 4);
    // Rebuilds the totals grid: one row per visible tab (tasks: lines and hours; articles: lines
    // and units, then one row per category or type, or per article without either flag; other
    // concepts: lines). The grid of a hidden tab is not read and may be null.
    void TotalizadorControl(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                            ui::FlexGrid& MSFlexGrid4, ui::TabStrip& SSTab1, bool AbiertoPorRubro = false,
                            bool AbiertoPorTipo = false);
    // The back colour of a whole row; of a column from FilaDesde to FilaHasta (-1: the first,
    // header included, and the last row). The grid's Row, or Col, is left on what was painted.
    void PintarFila(int32_t Fila, ui::FlexGrid& MsFlexGrid, long Color = 0xFFFF);
    void PintarColuma(int32_t Columna, ui::FlexGrid& MsFlexGrid, int32_t FilaDesde = -1, int32_t FilaHasta = -1,
                      long Color = 0xFFFF);
    // Whether another line (not FilaIgnorar) holds the code, trimmed and case ignored;
    // *FilaEncontrada receives the first such row and is left alone when there is none.
    bool TareaRepetida(ui::FlexGrid& MSFlexGrid1, const QString& Tarea, int32_t FilaIgnorar = -1,
                       int32_t* FilaEncontrada = nullptr);
    bool ArticuloRepetido(ui::FlexGrid& MSFlexGrid2, const QString& Articulo, int32_t FilaIgnorar = -1,
                          int32_t* FilaEncontrada = nullptr);
    bool OtrosConceptosRepetidos(ui::FlexGrid& MSFlexGrid3, const QString& OtroConcepto, int32_t FilaIgnorar = -1,
                                 int32_t* FilaEncontrada = nullptr);
    bool NumeroEsFraccion(const vb::Variant& Numero);

private:
    class PosteoStock;    // one ActualizaStock call, step by step (actualiza_stock.cpp)
    class AsientoStock;   // one journal entry, step by step (asiento_stock.cpp)

    // The journal statements of one grid row (0: the whole grid) of the voucher being posted; a
    // failure is FallaPosteo::SinAsiento.
    ResultadoPosteo AsientoDeFila(ui::FlexGrid& grilla, ContextoPosteo& ctx, int32_t fila, int16_t tipoMov);
    // What the journal entry takes beyond GeneraAsientoStock's arguments: the business unit and the
    // till its lines carry, the sign the row was posted with (its side, for the types that follow
    // their sign), and the data the posting read of its articles (their inventory accounts).
    struct DelPosteo {
        QString unidad;   // Unegocio: "Null" (any case) writes NULL
        QString caja;     // IdCajas, trimmed: blank writes NULL
        std::optional<int16_t> signo;
        DatosArticulos* articulos = nullptr;
    };
    // GeneraAsientoStock's work. `exige`: the caller cannot post without the entry (it asked with
    // HayError), so a reason without a counter-account fails it instead of booking nothing.
    ResultadoPosteo GeneraAsiento(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc, QString& Nro,
                                  QString& Letra, const QString& Fecha, bool& EsDebito, int16_t TipoMov,
                                  int32_t SoloRegistro, int16_t* Secuencia, bool exige, const DelPosteo& delPosteo);
    // The production-input discharge after the posting's passes (descarga_insumos.cpp): the
    // inputs of the grid's articles taken out under a "PE" voucher of its own, lot by lot where
    // an input is stocked in lots, and that voucher's book brought up to date. Pasada is 2 after
    // a posting of one pass, 3 after one of two (the rows then go to the destination deposit and
    // continue the posting's sequence). Runs its steps under the posting's error runner; a failure
    // when the voucher must not be posted (a statement refused, no number, a step left).
    FallaPosteo DescargaInsumos(ui::FlexGrid& grilla, ContextoPosteo& ctx, int pasada, bool GeneraSentenciaSQL,
                                QString& SQLTemp, vb::OnError& on);

    // Reads the three settings; false when one of them was not read (its default is then held).
    bool LeeConfiguracion();
    double porcentajeIVA_ = 0;       // "PIVA": the rate of lines without a rate of their own
    bool asientosXStock_ = false;    // "AsientosXStock": journal entries from stock
    bool configuracionLeida_ = false;   // the three settings were read
    int32_t ultimoNroAsiento_ = 0;   // the last journal entry number handed out
    LineaAsientoHook lineaAsientoHook_;   // the fault tests' (setLineaAsientoHook); none in the program
    std::map<QString, int32_t> ultimosNros_;   // the last one of each register, month and period
    // The entry a posting call (or the parts of one voucher) books row by row: open once its
    // number is taken. Its number is new to it, so it alone knows its lines; and what its rows ask
    // is asked once. A posting call that fails leaves it as the call found it.
    struct AsientoPorFilas {
        bool abierto = false;
        int32_t numero = 0;
        QString comprobante;                   // the voucher (type, number, unit) it belongs to
        int16_t siguiente = 1;                 // the sequence of the entry's next new line
        vb::Currency total;                    // the entry's total so far (CABImporte)
        // By account key and side, each line written: its account as the line spells it, which
        // the rows after it name when they add to it.
        std::map<QString, QString> lineas;
        // By reason: its counter-account and description; no value when it has no row.
        std::map<QString, std::optional<std::pair<QString, QString>>> motivos;
        std::map<QString, QString> tiposReg;   // by voucher type: its register type
    } asientoPorFilas_;

    // The posting call under way (ActualizaStock), as the operations it calls see it.
    struct PosteoEnCurso {
        bool enCurso = false;
        // The stock sign of the voucher type being posted, once asked: a type missing from
        // V_TA_CPTE is reported once per call.
        std::optional<std::pair<QString, int16_t>> signo;
    } posteo_;
};

// The longest description from the "LenDescripcion" setting: Val of the text rounded to a whole
// number; 0, negative, beyond 32767 or not a number give 100.
int16_t LongitudDescripcion(const QString& valor);

}  // namespace posting
