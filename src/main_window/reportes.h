#pragma once
// The program's report printer: renders a named report to a PDF file and opens it.
//
// A report is a definition file "<name>.rpt" in the report folder (CarpetaReportes, or its
// "reports" subfolder), UTF-8 text of key=value lines ("#" starts a comment):
//
//   Titulo=Novedades de Precios
//   Consulta=SELECT ... FROM MV_NOVEDADESPRECIOS mv_novedadesprecios ...   (no ORDER BY)
//   Orden=mv_novedadesprecios.CODIGO                                        (optional)
//   Columna=<field>|<header>|<width in characters>[|D[|<decimals>]]       (one per column; D: right-aligned)
//
// The selection formula "{table.field} <op> value" becomes the query's condition
// "table.field <op> 'value'", the value always as a quoted literal; the five texts of the
// call ("Empresa = 'X'") name the company printed in the heading.
#include "platform/utillib/motor_reportes.h"

#include <QString>
#include <functional>
#include <vector>

namespace main_window {

struct ColumnaReporte {
    QString campo;
    QString titulo;
    int ancho = 10;          // characters
    bool derecha = false;
    int decimales = -1;      // -1: the value as it comes
};

struct DefinicionReporte {
    QString titulo;
    QString consulta;
    QString orden;
    std::vector<ColumnaReporte> columnas;
};

// Reads a definition file; false (with the reason in `error`) when it cannot be read or lacks
// its query or columns.
bool LeeDefinicionReporte(const QString& archivo, DefinicionReporte& def, QString& error);

// The SQL condition of a selection formula; false when the formula is not of the form
// "{table.field} <op> value". An empty formula gives an empty condition.
bool CondicionDeSeleccion(const QString& formula, QString& condicion);

// The statement a report runs for a selection formula.
QString ConsultaReporte(const DefinicionReporte& def, const QString& condicion);

// Renders the request to "<temporary folder>/<report>.pdf" and opens it. Problems are told to
// the operator in a message box; nothing is printed then. Returns the PDF's path, "" when none.
QString ImprimeReportePdf(const utillib::PedidoReporte& pedido);

// Installs the printer into the utility library's report engine.
void InstalaImpresoraReportes();

// How a finished PDF is opened: by default with the desktop's viewer. Tests record it instead.
void SetAbreDocumento(std::function<void(const QString&)> abre);

}  // namespace main_window
