// Checks and counts of the voucher entry grids: whether the voucher still fits its printed
// form, how many lines and units it holds, whether a code is already on another line, whether a
// number has a fraction. A line counts only when its code (column 0), trimmed, is not empty.
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/tratamiento.h"
#include "vouchers/carga_comprobante_sql.h"
#include "vouchers/lineas.h"

#include <cmath>

namespace posting {

using vouchers::LineaLlena;
using vouchers::LineasLlenas;

namespace {

// The first data row but FilaIgnorar whose code equals Codigo (trimmed, case ignored).
bool Repetido(const ui::FlexGrid& g, const QString& Codigo, int32_t FilaIgnorar, int32_t* FilaEncontrada) {
    const QString buscado = vb::Trim(Codigo);
    for (int fila = 1; fila < g.Rows(); ++fila) {
        if (fila == FilaIgnorar) continue;
        if (vb::Trim(g.TextMatrix(fila, 0)).compare(buscado, Qt::CaseInsensitive) == 0) {
            if (FilaEncontrada) *FilaEncontrada = fila;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ClsCmnCptes::ValidaCantidadLineasCpte(const QString& TC, const QString& Letra, ui::FlexGrid* MSFlexGrid1,
                                           ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3, int32_t* CantLineas,
                                           int32_t* CantLineasUsadas, int32_t Agragarle, int32_t LineasAnteriores) {
    int32_t limiteLocal = 0;
    int32_t usadasLocal = 0;
    int32_t& limite = CantLineas ? *CantLineas : limiteLocal;
    int32_t& usadas = CantLineasUsadas ? *CantLineasUsadas : usadasLocal;
    bool cabe = false;

    vb::OnError on(Tratamiento("ValidaCantidadLineasCpte"));
    ado::RecordsetPtr rs;
    // LineasAnteriores -1: the caller's limit, read by an earlier call, stands.
    if (LineasAnteriores != -1) {
        on.run([&] {
            ado::Recordset& r = Abre(vouchers::SentenciaLineasImpresas(TC, Letra), rs);
            limite = r.BOF() ? 0
                             : vb::CLng(vb::Variant(core::gUtilTexto().ANumero(
                                   core::gUtilTexto().ValorNoNulo(r.Fields(QStringLiteral("CantLineas"))))));
        });
        on.run([&] { Cierra(rs); });
    }
    on.run([&] {
        if (limite == 0) {   // no limit
            cabe = true;
            return;
        }
        usadas = 0;
        usadas += LineasLlenas(MSFlexGrid1);
        usadas += LineasLlenas(MSFlexGrid2);
        usadas += LineasLlenas(MSFlexGrid3);
        cabe = static_cast<int64_t>(usadas) + Agragarle <= limite;
    });
    return cabe;
}

int32_t ClsCmnCptes::CuentaItems(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                                 int32_t* CantTareas, int32_t* CantArticulos, int32_t* CantOtrosConceptos,
                                 int32_t* TotUnidades) {
    int32_t tareas = 0, articulos = 0, otros = 0, unidades = 0;
    int32_t total = 0;
    auto devuelve = [&] {
        if (CantTareas) *CantTareas = tareas;
        if (CantArticulos) *CantArticulos = articulos;
        if (CantOtrosConceptos) *CantOtrosConceptos = otros;
        if (TotUnidades) *TotUnidades = unidades;
    };
    vb::OnError on(Tratamiento("CuentaItems&"));
    on.run([&] { tareas = LineasLlenas(MSFlexGrid1); });
    on.run([&] {
        if (!MSFlexGrid2) return;
        // The quantities are added as they are and rounded once (halves to even): 0.5 + 0.5 is 1.
        vb::Currency suma;
        for (int fila = 1; fila < MSFlexGrid2->Rows(); ++fila) {
            if (!LineaLlena(*MSFlexGrid2, fila)) continue;
            ++articulos;
            suma = suma + core::gUtilTexto().ANumero(vb::Variant(vb::Trim(MSFlexGrid2->TextMatrix(fila, art::Cantidad))));
        }
        unidades = vb::CLng(vb::Variant(suma));
    });
    on.run([&] { otros = LineasLlenas(MSFlexGrid3); });
    on.run([&] { total = static_cast<int32_t>(static_cast<int64_t>(tareas) + articulos + otros); });
    devuelve();
    return on.left() ? 0 : total;
}

bool ClsCmnCptes::TareaRepetida(ui::FlexGrid& MSFlexGrid1, const QString& Tarea, int32_t FilaIgnorar,
                                int32_t* FilaEncontrada) {
    return Repetido(MSFlexGrid1, Tarea, FilaIgnorar, FilaEncontrada);
}

bool ClsCmnCptes::ArticuloRepetido(ui::FlexGrid& MSFlexGrid2, const QString& Articulo, int32_t FilaIgnorar,
                                   int32_t* FilaEncontrada) {
    return Repetido(MSFlexGrid2, Articulo, FilaIgnorar, FilaEncontrada);
}

bool ClsCmnCptes::OtrosConceptosRepetidos(ui::FlexGrid& MSFlexGrid3, const QString& OtroConcepto, int32_t FilaIgnorar,
                                          int32_t* FilaEncontrada) {
    return Repetido(MSFlexGrid3, OtroConcepto, FilaIgnorar, FilaEncontrada);
}

bool ClsCmnCptes::NumeroEsFraccion(const vb::Variant& Numero) {
    // On the number itself, whatever its size: 2.5 and -3.7 are fractions, 4 and 100000 are not.
    const double d = core::gUtilTexto().ADoble(vb::Variant(Numero.text()));
    return std::isfinite(d) && d != std::trunc(d);
}

}  // namespace posting
