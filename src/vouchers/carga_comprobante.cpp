// The stored voucher's head, its walk over the records of each grid, and the task and
// other-concept rows.
#include "vouchers/carga_comprobante.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"
#include "vouchers/columnas_grillas.h"

#include <cmath>

namespace vouchers {

CargaComprobante::CargaComprobante(posting::ClsCmnCptes& cpte, vb::OnError& on, const QString& TC,
                                   const QString& SucNroLetra, bool Compras, bool ConvertirMoneda)
    : cpte_(cpte), on_(on), tc_(TC), sucNroLetra_(SucNroLetra), compras_(Compras), convertir_(ConvertirMoneda) {}

void CargaComprobante::LeeCabecera(ado::Recordset& cabecera) {
    condicionIVA_ = Texto(cabecera, "CondicionIVA");
    const vb::Variant comodato = Campo(cabecera, "EnComodato");
    const bool enComodato = comodato.isString() ? vb::Trim(comodato.text()) == QLatin1String("1")
                                                : !comodato.isEmpty() && comodato.toDouble() == 1;
    enComodato_ = enComodato ? QStringLiteral("1") : QStringLiteral("0");
    // One rate for every amount. A head without a rate (Null, blank or 0) is in the local
    // currency: 1. A rate that is not a number, or below 0, is asked about as a type mismatch;
    // passed over, the amounts stay as stored.
    cotizacion_ = 1;
    const QString cotizacion = Texto(cabecera, "Cotizacion");
    if (cotizacion.isEmpty()) return;
    const double valor = core::gUtilTexto().ADoble(cotizacion);
    if (!core::gUtilTexto().EsNumero(vb::Variant(cotizacion)) || !(valor >= 0) || !std::isfinite(valor))
        vb::Raise(vb::kErrTypeMismatch);
    if (valor > 0) cotizacion_ = valor;
}

void CargaComprobante::Recorre(ado::Recordset& r, ui::FlexGrid& g, Pasada pasada) {
    bool hay = false;
    on_.run([&] { hay = !r.Eof(); });
    if (!hay) return;
    // The first row this pass writes: the last one when it holds no line, else a new one.
    on_.run([&] { primeraFila_ = vb::Trim(g.TextMatrix(g.Rows() - 1, 0)).isEmpty() ? g.Rows() - 1 : g.Rows(); });
    bool escrita = false;   // a record of this pass is in the grid
    while (hay && !on_.left()) {
        guardado_.emplace();
        guardado_->filas = g.Rows();
        guardado_->fila = g.Row();
        guardado_->col = g.Col();
        GuardaFila(g, g.Rows() - 1);
        bool hecho = false;
        on_.runUndoing(
            [&] {
                if (escrita) g.SetRows(g.Rows() + 1);
                // A line already in the last row is never written over.
                if (!vb::Trim(g.TextMatrix(g.Rows() - 1, 0)).isEmpty()) g.SetRows(g.Rows() + 1);
                sinLeer_ = false;
                (this->*pasada)(r, g);
                // A value a helper could not read (the operator already answered it there) leaves
                // the line out, as a failure of the record passed over does, without a second
                // question: a line is never loaded with columns it did not read.
                if (sinLeer_) {
                    Restaura(g);
                    return;
                }
                hecho = true;
            },
            [&]() noexcept { Restaura(g); });
        // Passed over, the record left nothing: the next one takes its place.
        if (hecho) escrita = true;
        guardado_.reset();
        bool movido = false;
        on_.run([&] {
            r.MoveNext();
            movido = true;
            hay = !r.Eof();
        });
        if (!movido) break;
    }
    on_.run([&] { g.SetRows(g.Rows() + 1); });
}

void CargaComprobante::GuardaFila(const ui::FlexGrid& g, int fila) {
    if (!guardado_ || fila < g.FixedRows() || fila >= guardado_->filas || guardado_->textos.count(fila)) return;
    std::vector<QString> textos;
    textos.reserve(static_cast<size_t>(g.Cols()));
    for (int c = 0; c < g.Cols(); ++c) textos.push_back(g.TextMatrix(fila, c));
    guardado_->textos.emplace(fila, std::move(textos));
}

void CargaComprobante::GuardaReparto(const QString& articulo) {
    if (!guardado_ || guardado_->reparto) return;
    const QString clave = vb::Trim(articulo).toUpper();
    const auto it = repartos_.find(clave);
    guardado_->reparto.emplace(clave, it == repartos_.end() ? std::nullopt : std::optional<Reparto>(it->second));
}

void CargaComprobante::Restaura(ui::FlexGrid& g) noexcept {
    if (!guardado_) return;
    Guardado& a = *guardado_;
    if (g.Rows() != a.filas) g.SetRows(a.filas);
    for (const auto& [fila, textos] : a.textos)
        for (int c = 0; c < static_cast<int>(textos.size()) && c < g.Cols(); ++c)
            g.SetTextMatrix(fila, c, textos[static_cast<size_t>(c)]);
    g.SetRow(a.fila);
    g.SetCol(a.col);
    if (a.reparto) {
        if (a.reparto->second) repartos_[a.reparto->first] = *a.reparto->second;
        else repartos_.erase(a.reparto->first);
    }
}

QString CargaComprobante::Importe(const ado::Recordset& r, const char* campo) const {
    const vb::Variant v = Campo(r, campo);
    const QString texto = vb::Trim(v.text());
    if (!convertir_ || texto.isEmpty()) return texto;
    return vb::NumberText(v.toDouble() * cotizacion_);
}

QString CargaComprobante::ImporteFormateado(const ado::Recordset& r, const char* campo) const {
    return core::FormateaImporte(Importe(r, campo), vb::Variant(core::kDecimalesConfiguracion)).text();
}

void CargaComprobante::Textos(const ado::Recordset& r, ui::FlexGrid& g, int fila, Columnas columnas) {
    for (const ColumnaCampo& c : columnas) g.SetTextMatrix(fila, c.columna, Texto(r, c.campo));
}

void CargaComprobante::Importes(const ado::Recordset& r, ui::FlexGrid& g, int fila, Columnas columnas) const {
    for (const ColumnaCampo& c : columnas) g.SetTextMatrix(fila, c.columna, Importe(r, c.campo));
}

void CargaComprobante::ImportesFormateados(const ado::Recordset& r, ui::FlexGrid& g, int fila,
                                           Columnas columnas) const {
    for (const ColumnaCampo& c : columnas) g.SetTextMatrix(fila, c.columna, ImporteFormateado(r, c.campo));
}

void CargaComprobante::Tarea(ado::Recordset& r, ui::FlexGrid& g) {
    using namespace tar;
    {
        const int f = g.Rows() - 1;
        Textos(r, g, f, {{IdTarea, "IdTarea"}, {CodigoOriginal, "IdTarea"}, {Descripcion, "Descripcion"}});
        // Horas holds minutes; a task without them shows none.
        const QString minutos = Texto(r, "Horas");
        long horas = 0, resto = 0;
        const vb::ReadResult<vb::Variant> horasTexto =
            core::FormateaMinutos(minutos.isEmpty() ? vb::Variant(0) : vb::Variant(minutos), horas, resto);
        if (!horasTexto.read()) {
            sinLeer_ = true;   // the line is left out
            return;
        }
        g.SetTextMatrix(f, Horas, horasTexto.value().text());
        ImportesFormateados(r, g, f, {{ValorHora, "ValorHora"}, {ValorHoraSinIVA, "valorHora_S_Iva"}, {Total, "Total"}});
        if (compras_) return;   // purchase tasks carry no more
        Textos(r, g, f, {{ObservAdic, "descripcionadicional"}, {FechaInicio, "FechaEstInicio"}, {FechaFin, "FechaEstFin"},
                         {IdTecnico, "IdTecnico"}, {FechaRealInicio, "FechaREALInicio"}, {FechaRealFin, "FechaREALFin"}});
        g.SetTextMatrix(f, Prioridad, vb::NumberText(vb::Val(Campo(r, "Prioridad").text())));
        g.SetTextMatrix(f, Usuario, vb::NumberText(vb::Val(Campo(r, "Usuario").text())));
        for (const ColumnaCampo& c : {ColumnaCampo{FhPresentacion, "FHPRESENTACION"}, ColumnaCampo{FhEmision, "FHEMISION"},
                                      ColumnaCampo{NroExp, "NROEXP"}, ColumnaCampo{FhEntrega, "FhEntrega"}})
            g.SetTextMatrix(f, c.columna, Campo(r, c.campo).text());   // as stored, not trimmed
    }
}

void CargaComprobante::OtroConcepto(ado::Recordset& r, ui::FlexGrid& g) {
    const int f = g.Rows() - 1;
    Textos(r, g, f, {{otr::Detalle, "Observacion"}});
    ImportesFormateados(r, g, f, {{otr::Importe, "Importe"}, {otr::ImporteSinIVA, "IMPORTE_S_IVA"}});
}

}  // namespace vouchers
