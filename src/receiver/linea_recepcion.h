#pragma once
// The receive run's rules as pure functions: how a row of Depositos is read, which store voucher
// it belongs to and under which type it is posted, the statements the run sends, the grid line
// it fills, the texts it shows and logs. The run itself (mov_deposito.h) only moves rows between
// the databases and these functions.
//
//   const receiver::MovimientoDeposito mov = receiver::LeeMovimiento(rs);
//   if (!receiver::MismoComprobante(mov.clave, abierto.clave)) ...        // a new store voucher
//   const QString sql = receiver::SqlArticulo(receiver::CodigoArticulo(mov.articulo));
//   receiver::LlenaLinea(grilla, fila, mov, articulo, tipo, oferta, calculo);
#include "platform/ado/ado.h"
#include "platform/vb/variant.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace ui {
class FlexGrid;
}

namespace receiver {

// The four parts that make a store voucher, each as the row gave it: store, the store's voucher
// type, point of sale and number.
struct ClaveDeposito {
    QString sucursal;
    QString tipoComp;
    QString ptoVta;
    QString numero;
    bool vacia() const { return sucursal.isEmpty() && tipoComp.isEmpty() && ptoVta.isEmpty() && numero.isEmpty(); }
};

// Two rows belong to one voucher when the four parts are equal, letter case aside. Comparing the
// parts, not their joined text, keeps store "1" number "23" apart from store "12" number "3".
bool MismoComprobante(const ClaveDeposito& a, const ClaveDeposito& b);

// One row of Depositos as the run takes it.
struct MovimientoDeposito {
    ClaveDeposito clave;
    QString unidad;       // "A" & Trim(cod_suc): the business unit the voucher is posted under
    QString tipoComp;     // Trim(TipoComp)
    QString movimiento;   // Trim(Movimiento)
    QString articulo;     // Articulo as text
    QString cantidad;     // Cantidad as text
    QString venta;        // venta as text
    QString deposito;     // "A" & Trim(cod_depo)
    QString ptoVta;       // the voucher number's parts at their widths (ParteNumero); empty when
    QString numero;       // the store's value cannot be read so
};

// The row under the recordset's cursor. Null columns read as empty text. Parcial (for the log of
// a row whose reading failed): a column that cannot be read reads empty instead of raising.
MovimientoDeposito LeeMovimiento(const ado::Recordset& rs, bool parcial = false);

// The columns of Depositos the run reads (and filters on).
inline constexpr const char* kColumnasDepositos[] = {"Fecha",      "cod_suc",  "TipoComp", "PtoVta", "Numero",
                                                     "Movimiento", "Articulo", "Cantidad", "venta",  "cod_depo"};
// The first of them the recordset lacks; empty when it has them all.
QString ColumnaFaltante(const ado::Recordset& rs);

// A part of the voucher number (point of sale: 4, number: 8) as the head office numbers its
// vouchers: the store's value trimmed; digits only and shorter are zero-filled ("1" is "0001");
// empty when it does not come to the width so (too long, blanks or other characters inside).
QString ParteNumero(const QString& valor, int ancho);

// The voucher type a store voucher is posted under: "TK" for the stores' sales (TipoComp "VT"),
// "IR" for stock entries (Movimiento "INGRESO"), "VS" for every other exit; case ignored. Empty
// for a row the receive does not know: a TipoComp or Movimiento missing or not a code (letters
// and digits), or a sale (Movimiento "VENTA") of another type than "VT".
QString TipoComprobante(const QString& tipoComp, const QString& movimiento);

// The posted voucher number: point of sale, number (as ParteNumero gives them) and the letter "C".
QString NumeroComprobante(const QString& ptoVta, const QString& numero);

// The widest code the head office stores for a business unit or a deposit.
constexpr int kAnchoCodigo = 4;

// The article code looked up in V_MA_ARTICULOS: a code made only of digits is written with at
// least six digits (123 is 000123, 0000123 is 000123); any other code is kept as the store sent
// it, trimmed. Either is brought to width 25.
QString CodigoArticulo(const QString& articulo);

// ---- statements ----

// The day's movements, in voucher order, and how many they are: the rows whose Fecha falls on the
// day, whatever its time, as a range of two days written as every statement writes a day
// (data::FechaSQL), which each server reads alike whatever its language.
QString SqlDepositos(const QDate& fecha);
QString SqlCuentaDepositos(const QDate& fecha);
// Whether the head office has the business unit, or the deposit.
QString SqlUnidadNegocio(const QString& unidad);
QString SqlDeposito(const QString& deposito);
// The article by its code (as CodigoArticulo gives it).
QString SqlArticulo(const QString& codigo);
// The article's row of price list A3, with its offer.
QString SqlOferta(const QString& idArticulo);
// The condition on V_MV_STOCK of a voucher the head office already holds: its type, number,
// business unit and date; and the query that finds one of its rows.
QString CondicionComprobanteRecibido(const QString& tc, const QString& numero, const QString& unidad,
                                     const QDate& fecha);
QString SqlComprobanteRecibido(const QString& tc, const QString& numero, const QString& unidad, const QDate& fecha);
// The day's store vouchers in Depositos, each once with the columns that make its head-office
// voucher (cod_suc, TipoComp, PtoVta, Numero, Movimiento; a voucher of mixed movements comes once
// for each).
QString SqlComprobantesDelDia(const QDate& fecha);
// Which of the numbers, of one type and business unit, the head office holds on the day: their
// IDCOMPROBANTE, each once. The lookup goes by the stock rows' key (type, number, unit), never over
// the stock history; it reads what is committed (no nolock), so that a voucher another station
// is still writing counts as not held.
inline constexpr int kComprobantesPorConsulta = 200;   // numbers in one query, at the most
QString SqlComprobantesRecibidos(const QString& tc, const QString& unidad, const QStringList& numeros, const QDate& fecha);
// A head-office voucher as one text, its parts trimmed and in capitals (as the head office compares
// them): what the run keeps of a voucher the query above gave.
QString ClaveComprobante(const QString& tc, const QString& numero, const QString& unidad);
// The administrators' notice of the rows that were not posted, quoting the receive log's path
// (without a path when the log could not be written).
QString SqlAvisoAdministradores(const QString& rutaLog);

// ---- the posting setting ----

// The store's posting setting (key: the unit & "Cfg_VentasSuc"), fields separated by "|":
// field 1 is the stock reason; a missing field reads as empty.
struct ConfigVentasSuc {
    QString motivoStock;
    QString campo4;
};
QString ClaveConfigVentasSuc(const QString& unidad);
ConfigVentasSuc LeeConfigVentasSuc(const QString& valor);

// ---- the grid line ----

// The article's row of V_MA_ARTICULOS, as the line takes it.
struct ArticuloRecepcion {
    QString idArticulo;
    QString descripcion;
    QString presentacion;
    QString idTipo;
    QString idRubro;
    QString idUnidad;
    QString impuestos;
    QString tasaIVA;
    QString costo;
    QString cuentaContable;
    QString codigoBarra;
    vb::Variant exento;       // Null kept: a Null Exento leaves the amount with its VAT
    vb::Variant usaSerie;
    vb::Variant usaLote;
    vb::Variant perecedero;
    vb::Variant usaTalle;
};
ArticuloRecepcion LeeArticulo(const ado::Recordset& rs);

// The article's row of price list A3.
struct OfertaArticulo {
    QString idInsert;
    QString idCompulsa;
    vb::Variant desde;   // FHOFERTADESDE, Null when the row has no offer
    vb::Variant hasta;   // FHOFERTAHASTA
};
OfertaArticulo LeeOferta(const ado::Recordset& rs);

// "1" when the run's date falls inside the offer (both ends given, both included), else "0".
QString EnOferta(const OfertaArticulo& oferta, const QDate& fecha);

// What the line takes from outside the row and the article.
struct DatosLinea {
    QString descripcionTipo;              // the article type's description
    std::optional<OfertaArticulo> oferta; // the A3 price row, when there is one
    double porcentajeIVA = 0;             // the window's rate, for articles without their own
    QDate fecha;                          // the run's date
};

// The price columns of a line: 17 (without VAT for a taxed article sold in whole units), 14
// (the price as sold) and 78 (the sale amount as received); 14 and 78 stay empty for a
// quantity of 0 or less.
struct ImportesLinea {
    QString precioSinIVA;   // column 17
    QString precio;         // column 14
    QString importeVenta;   // column 78
};
ImportesLinea CalculaImportes(const QString& venta, const QString& cantidad, const vb::Variant& exento,
                              const QString& tasaIVA);

// The cells of a grid line, column and text, in the order they are written.
using LineaGrilla = std::vector<std::pair<int, QString>>;

// The receive grid's line of the row and its article. Raises on what it cannot compute; the grid
// is not touched.
LineaGrilla ArmaLinea(const MovimientoDeposito& mov, const QString& codigo, const ArticuloRecepcion& art,
                      const DatosLinea& datos);
// Writes the cells into line `fila` (which the grid has); cannot fail.
void LlenaLinea(ui::FlexGrid& grilla, int fila, const LineaGrilla& linea);
void LlenaLinea(ui::FlexGrid& grilla, int fila, const MovimientoDeposito& mov, const QString& codigo,
                const ArticuloRecepcion& art, const DatosLinea& datos);

// ---- what the operator sees and what the log keeps ----

// The three lines of the wait window while the rows are read: rows read before this one and the
// total, the row's article, and a bar of `contador` (1 to 50) "|" characters.
struct LineasEspera {
    QString linea1, linea2, linea3;
};
LineasEspera LineasProgreso(long leidos, long total, const QString& articulo, int contador);

// Why a row was not posted.
enum class Rechazo {
    YaRecibido,            // its voucher is already in the head office
    ArticuloInexistente,   // its article is not in V_MA_ARTICULOS
    CodigoLargo,           // its store or deposit code does not fit the head office's codes
    ErrorAlGrabar,         // its voucher could not be posted
    DatosInvalidos,        // a value missing or not one a stock row holds (the detail names its column)
    NumeroRepetido,        // another store voucher of the run takes its head-office number
    MovimientoDistinto,    // its movement makes it another voucher type than its voucher's first row
    SucursalInexistente,   // its store is no business unit of the head office
    DepositoInexistente,   // its deposit is no deposit of the head office (its voucher waits for it)
    EsperaDeposito,        // another row of its voucher names a deposit the head office lacks (the detail: it)
    TipoDesconocido,       // its voucher type or movement is none the receive posts (TipoComprobante)
    ErrorEnFila,           // a step of its line failed and the run went on without it (the detail: the error)
    RecepcionAnulada,      // a step of its line failed and the run was ended there (the detail: the error)
};
struct MotivoRechazo {
    Rechazo rechazo;
    QString detalle;   // the column of invalid data, or the error
};

// The largest amount or quantity a line takes: what a Currency holds, whole units.
inline constexpr double kMaximoImporte = 922337203685477.0;

// Why no row of the row's store voucher can be posted, whatever the head office holds: its store
// code missing or too wide for a business unit, its point of sale or number not of their widths,
// its type unknown.
std::optional<MotivoRechazo> RechazoDeComprobante(const MovimientoDeposito& mov);
// Why this row cannot be posted: its voucher's reason, or its deposit missing or too wide, or its
// quantity or amount not a number a stock row holds, or the two together beyond it. A quantity
// must be given, and so must a sale's amount (a row posted as "TK": its price and the sale's
// amount come from it); the amount of an entry or an exit, which carry none, may be left empty (0).
std::optional<MotivoRechazo> RechazoDeFila(const MovimientoDeposito& mov);

// The receive log's line of a row: the reason (with its detail) and every value of the row,
// separated by "; ". A value holding ';', '"', a backslash or a control character is written between
// double quotes, a quote doubled, a backslash doubled and a control character as \xHH, so that
// the line keeps its fields and one line per row.
QString LineaLog(const MovimientoDeposito& mov, const MotivoRechazo& motivo);

}  // namespace receiver
