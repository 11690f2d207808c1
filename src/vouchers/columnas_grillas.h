#pragma once
// The columns of the tasks, other-concepts and totals grids that the voucher entry operations
// read and write (the articles grid's are in posting/columnas_articulos.h). InicializaGrids lays
// the grids out; row 0 holds the headers.
namespace vouchers {

namespace tar {   // GrillaTareas
enum Columna : int {
    IdTarea = 0,            // task code
    Descripcion = 1,        // description
    Horas = 2,              // hours text: "h:mm", or whole hours
    ValorHora = 3,          // the hour's rate
    Total = 4,              // the task's total
    ValorHoraSinIVA = 6,    // the hour's rate without VAT
    ObservAdic = 7,         // additional description
    FechaInicio = 8,        // estimated start and end
    FechaFin = 9,
    IdTecnico = 10,         // technician
    CodigoOriginal = 11,    // the task code as stored
    FechaRealInicio = 12,   // real start and end
    FechaRealFin = 13,
    Prioridad = 15,     // priority, a number
    Usuario = 16,           // user, a number
    FhPresentacion = 17,    // presentation and issue dates, file number, delivery date
    FhEmision = 18,
    NroExp = 19,
    FhEntrega = 20,
};
}  // namespace tar

namespace otr {   // GrillaOtrosConceptos
enum Columna : int {
    Detalle = 0,         // the concept's detail
    ImporteSinIVA = 1,   // its amount without VAT
    Importe = 2,         // its amount
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
