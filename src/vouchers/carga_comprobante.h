#pragma once
// The loading of one stored voucher into the entry grids, as ClsCmnCptes::AsignarDatosComprobante
// runs it: the call's settings and head values, and the three passes (tasks, article lines, other
// concepts), each writing one record into the last row of its grid.
//
//   vb::OnError on(...);                                   // one error question for the whole call
//   vouchers::CargaComprobante carga(cpte, on, TC, SucNroLetra, Compras, ConvertirMoneda);
//   carga.LeeCabecera(*cabecera);                          // the head's first row
//   carga.Recorre(*tareas, grillaTareas, &CargaComprobante::Tarea);
//
// Every step runs under the caller's OnError: once the operator leaves, nothing more is written.
#include "platform/ado/ado.h"
#include "platform/vb/on_error.h"
#include "vouchers/campos.h"

#include <QString>
#include <initializer_list>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace ui {
class FlexGrid;
}
namespace posting {
class ClsCmnCptes;
}

namespace vouchers {

// A grid column and the field written into it.
struct ColumnaCampo {
    int columna;
    const char* campo;
};
using Columnas = std::initializer_list<ColumnaCampo>;

class CargaComprobante {
public:
    CargaComprobante(posting::ClsCmnCptes& cpte, vb::OnError& on, const QString& TC, const QString& SucNroLetra,
                     bool Compras, bool ConvertirMoneda);

    // The call's flags, read by the caller from the settings and the voucher type.
    bool DescargaStock = false;    // "DescargaStockRemitos" is "SI": delivery notes move stock themselves
    bool EntregaParcial = false;   // "EntregaParcialRemito": delivery notes are delivered in parts
    bool Negada = false;           // the quantities are loaded negated (IdRepartoRM -98 on entry)
    bool SistemaCompras = false;   // the voucher type is of the purchases system

    // Reads the head's values the lines need: the tax condition, the loan mark and the exchange
    // rate (Null, blank or 0 reads as 1; one not a number or below 0 raises 13, the rate left 1).
    void LeeCabecera(ado::Recordset& cabecera);

    // Counts the article lines of each article, and goes back to the first line: the quantity
    // pending or applied of an article is handed out over its lines in load order.
    void CuentaLineas(ado::Recordset& lineas);

    // One record into the last row of its grid.
    using Pasada = void (CargaComprobante::*)(ado::Recordset&, ui::FlexGrid&);
    void Tarea(ado::Recordset& r, ui::FlexGrid& g);
    void Articulo(ado::Recordset& r, ui::FlexGrid& g);
    void OtroConcepto(ado::Recordset& r, ui::FlexGrid& g);

    // Every record of the recordset into the grid, one row each: a record goes into the last row,
    // or into a new one when the last already holds a line (column 0 not blank); after the last
    // record the grid gets one empty row for entry. An empty recordset leaves the grid as it was.
    // A record is one step of the runner: its row is written whole or, when it fails, taken back
    // with everything the record changed (a merged row, the article's share), so Retry loads it
    // once and Ignore goes on without it.
    void Recorre(ado::Recordset& r, ui::FlexGrid& g, Pasada pasada);

private:
    // What is still to hand out of an article over its lines not loaded yet.
    struct Reparto {
        int lineas = 0;                    // lines of the article not loaded yet
        std::optional<double> pendiente;   // pending quantity (lines delivered in parts)
        std::optional<double> aplicado;    // quantity applied by later vouchers
    };

    // An amount field in the voucher's currency or, converting, multiplied by the rate; a Null
    // amount is an empty cell.
    QString Importe(const ado::Recordset& r, const char* campo) const;
    // The same, formatted with the configured decimals (tasks and other concepts).
    QString ImporteFormateado(const ado::Recordset& r, const char* campo) const;
    // Each field into its column of the row: trimmed texts, amounts, formatted amounts.
    static void Textos(const ado::Recordset& r, ui::FlexGrid& g, int fila, Columnas columnas);
    void Importes(const ado::Recordset& r, ui::FlexGrid& g, int fila, Columnas columnas) const;
    void ImportesFormateados(const ado::Recordset& r, ui::FlexGrid& g, int fila, Columnas columnas) const;

    // The quantity of the line already applied or delivered (step 3 of the line).
    double Aplicado(ado::Recordset& r, double cantidad);
    double AplicadoPorPendiente(const QString& articulo, double cantidad);
    double AplicadoPorAplicaciones(const QString& articulo, double cantidad);
    Reparto& RepartoDe(const QString& articulo);

    void ColumnasDeLinea(ado::Recordset& r, ui::FlexGrid& g, int fila);
    void ColumnasDelMaestro(const QString& articulo, ui::FlexGrid& g, int fila);
    void ColumnasDelArticulo(const ado::Recordset& a, ui::FlexGrid& g, int fila);
    // The timber trade's measures; returns the row the line ended in (another row when merged).
    int Maderera(ado::Recordset& r, ui::FlexGrid& g, int fila);
    // Merges the last row into an earlier one this pass wrote, of the same article, unit,
    // measures and unit price; the row merged into, or -1.
    int Fusiona(ui::FlexGrid& g, int fila);

    // What the record under way changed, to be put back when it fails: the grid's size and
    // current cell, the texts of the rows it wrote into or merged into, as they were, and the
    // article's share (none: the article had none yet).
    struct Guardado {
        int filas = 0, fila = 0, col = 0;
        std::map<int, std::vector<QString>> textos;
        std::optional<std::pair<QString, std::optional<Reparto>>> reparto;
    };
    void GuardaFila(const ui::FlexGrid& g, int fila);
    void GuardaReparto(const QString& articulo);
    void Restaura(ui::FlexGrid& g) noexcept;

    posting::ClsCmnCptes& cpte_;
    vb::OnError& on_;
    QString tc_;
    QString sucNroLetra_;
    bool compras_;
    bool convertir_;
    double cotizacion_ = 1;
    int primeraFila_ = 1;   // the first row the current pass writes
    QString condicionIVA_;
    QString enComodato_ = QStringLiteral("0");
    std::map<QString, Reparto> repartos_;
    std::optional<Guardado> guardado_;   // while a record is loaded
    // A setting or master value the record needed was not read (a helper told the operator and
    // was passed over or left): the record is left out whole.
    bool sinLeer_ = false;
};

// The line total shown (column TotalLinea) of an articles-grid row: its total plus its internal and
// fuel taxes per unit times its quantity.
QString ImporteTotalLinea(const ui::FlexGrid& g, int fila);

}  // namespace vouchers
