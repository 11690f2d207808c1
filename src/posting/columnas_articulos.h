#pragma once
// The columns of the articles grid (GrillaArticulos), named once. InicializaGrids lays the grid
// out with them; the receiver and the voucher loaders fill its lines, stock posting and the
// journal entry read them. The numbers are the contract between those who fill and those who
// read; never write a bare column number.
//
//   grid.SetTextMatrix(fila, art::Cantidad, QStringLiteral("2"));
//   const bool pideLote = core::ConvierteBooleano(vb::Trim(grid.TextMatrix(fila, art::PideLote)));
//
// Flag columns hold "-1" (on) and "0" (off) when filled; lists of lots and series are the
// "|A|B|" list text of the lot codec.

namespace posting::art {

enum Columna : int {
    IdArticulo = 0,            // article code
    Descripcion = 1,           // description shown for the line
    IdListaPrecio = 2,         // price list of the line
    Espesor = 3,               // thickness (timber trade)
    Ancho = 4,                 // width (timber trade)
    IdUnidad = 5,              // unit of the quantity
    IdDeposito = 6,            // deposit (warehouse) of the line
    Cantidad = 7,              // quantity
    Coeficiente = 8,           // unit coefficient of the line; the length in the timber trade
    IdUnidadEquiv = 9,         // equivalent unit
    CantidadEquiv = 10,        // quantity in the equivalent unit
    PorcDto = 11,              // discount percentage of the line
    UdPrecio = 12,             // pricing unit (timber trade)
    ImporteUd = 13,            // amount per pricing unit (timber trade)
    Precio = 14,               // unit price of the line
    Total = 15,                // line total as entered
    EsExento = 16,             // flag: exempt from VAT
    PrecioSinIVA = 17,         // price without VAT
    TotalLinea = 18,           // line total shown
    PideSerie = 19,            // flag: the article asks for serial numbers
    PideLote = 20,             // flag: the article asks for lots
    Lotes = 21,                // lot list
    Series = 22,               // serial list, or the quantity of each lot
    RestoPorAplicar = 23,      // quantity still to apply
    TipoArticulo = 24,         // article type code
    RubroArticulo = 25,        // article category code
    ListaConIVA = 26,          // flag: the price list includes VAT
    PrecioConIVA = 27,         // price with VAT
    CantidadInsumo = 28,       // input (component) quantity
    ImporteDescuento = 29,     // discount amount of the line
    TipoCoeficiente = 30,      // operator of the coefficient ("*")
    StockDisponible = 31,      // available stock
    StockMinimo = 32,          // minimum stock
    TasaIVA = 33,              // VAT rate
    CpteOrigen = 34,           // origin voucher: type and number
    IdCpteOrigen = 35,         // origin voucher's line identifier
    LoteOrigen = 36,           // origin lot
    LoteAduana = 37,           // customs lot
    Costo = 38,                // unit cost
    CuentaContable = 39,       // accounting account
    Impuestos = 40,            // internal taxes of the line
    IdUnidadBase = 41,         // base unit
    Reservada42 = 42,          // no use in this program
    Reservada43 = 43,
    Reservada44 = 44,
    TasaIVA2 = 45,             // second VAT rate
    Perecedero = 46,           // flag: perishable
    Reservada47 = 47,
    Reservada48 = 48,
    Reservada49 = 49,
    Reservada50 = 50,
    Reservada51 = 51,
    Reservada52 = 52,
    Reservada53 = 53,
    Reservada54 = 54,
    Reservada55 = 55,
    Reservada56 = 56,
    Reservada57 = 57,
    Reservada58 = 58,
    DescripcionTipo = 59,      // description of the article type
    Presentacion = 60,         // presentation
    PideTalle = 61,            // flag: the article asks for sizes
    CantidadM3 = 62,           // quantity in the unit of the setting UNIDADDEMEDIDA_M3
    CantidadBL = 63,           // quantity in the unit of the setting UNIDADDEMEDIDA_BL
    CantidadKG = 64,           // quantity in the unit of the setting UNIDADDEMEDIDA_KG
    Reservada65 = 65,
    Reservada66 = 66,
    UnidadCargada = 67,        // unit of the line as stored in its voucher
    InsumosPorPorcentaje = 68, // flag: the article's inputs go by percentage
    CpteCargado = 69,          // number of the voucher the line was loaded from
    Reservada70 = 70,
    Reservada71 = 71,
    Reservada72 = 72,
    Reservada73 = 73,
    CantidadUnidadBase = 74,   // quantity in the base unit
    CodigoArtProveedor = 75,   // the supplier's article code
    EnUnidadBase = 76,         // flag: the line posts in its base unit (weighed articles)
    CodigoBarra = 77,          // barcode
    ImporteVenta = 78,         // the store's sale amount without VAT, as received
    PrecioLista = 79,          // list price
    OfertaIdInsert = 80,       // offer identifier
    OfertaIdCompulsa = 81,     // offer's tender identifier
    Reservada82 = 82,
    PideMedidas = 83,          // flag: the line asks for measures
    LargoAnterior = 84,        // previous length
    EnOferta = 85,             // "1" when the line's date falls inside the offer
    MotivoStock = 86,          // stock reason of the line
    ControladoPor = 87,        // controlled-by value
    EnComodato = 88,           // goods on loan
    MKBaseFamilia = 89,        // family mark-up base
    CodError = 90,             // error code of the line
    Moneda = 91,               // currency
    Cotizacion = 92,           // exchange rate
    ITC = 93,                  // fuel transport tax
    PideEquivalencia = 94,     // flag: the article asks for an equivalent unit
    CodigoPercepcion = 95,     // perception code
};

constexpr int kColumnas = 96;

}  // namespace posting::art
