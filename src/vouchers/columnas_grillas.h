#pragma once
// The columns of the tasks, other-concepts and totals grids that the voucher entry operations
// read and write (the articles grid's are in posting/columnas_articulos.h). InicializaGrids lays
// the grids out; row 0 holds the headers.
namespace vouchers {

namespace tar {   // GrillaTareas
enum Columna : int {
    IdTarea = 0,       // task code
    Descripcion = 1,   // description
    Horas = 2,         // hours text: "h:mm", or whole hours
};
}  // namespace tar

namespace otr {   // GrillaOtrosConceptos
enum Columna : int {
    Detalle = 0,   // the concept's detail
};
}  // namespace otr

namespace tot {   // GrillaTotales
enum Columna : int {
    Descripcion = 0,   // "Descripcion": the tab's caption, or a break-down key and description
    Items = 1,         // "Cantidad ITEM'S": filled lines
    Cantidad = 2,      // "Cantidad": hours, units
};
}  // namespace tot

}  // namespace vouchers
