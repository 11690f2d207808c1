#include "posting/stock.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/currency.h"
#include "platform/vb/runtime.h"
#include "posting/tratamiento.h"

namespace posting::Stock {

namespace {

// A text in a fixed-size field: cut at the width, or filled with blanks.
QString Fija(const QString& texto, int ancho) { return texto.left(ancho).leftJustified(ancho, u' '); }

}  // namespace

ItemCantidad::ItemCantidad(const QString& codigo, const QString& unidad, double cantidad)
    : Codigo(Fija(codigo, kAnchoCodigo)), Unidad(Fija(unidad, kAnchoUnidad)), Cantidad(cantidad) {}

vb::ReadResult<bool> IdArticuloTieneInsumos(const QString& IdArticulo, std::vector<ItemCantidad>& Lista,
                                            bool SoloVerifica) {
    utillib::UtilTexto& util = core::gUtilTexto();
    bool resultado = false;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("IdArticuloTieneInsumos"));
    // The query and the reading of its rows are one step, and the list is handed over whole at its
    // end: a failure passed over leaves no inputs, never some of them.
    Lista.assign(1, ItemCantidad());
    on.run([&] {
        ado::Recordset& r = Abre(QStringLiteral("SELECT * FROM V_MA_INSUMOS  with(nolock)  WHERE IDARTICULO = '") +
                                     Lit(core::RellenaCodigo(IdArticulo, 25)) + QStringLiteral("'"),
                                 rs);
        const bool hay = !r.Eof();
        std::vector<ItemCantidad> leidos(1);
        if (hay && !SoloVerifica) {
            while (!r.Eof()) {
                leidos.back() = ItemCantidad(util.ValorNoNulo(r.Fields(QStringLiteral("IdArticuloInsumo"))).text(),
                                             util.ValorNoNulo(r.Fields(QStringLiteral("IdUnidadInsumo"))).text(),
                                             util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("Cantidad")))));
                leidos.emplace_back();
                r.MoveNext();
            }
        }
        Lista.swap(leidos);
        resultado = hay;
    });
    CierraBajo("IdArticuloTieneInsumos", rs);
    // Passed over, the article's inputs are not known: the caller must not go on as if it had none.
    if (on.passedOver()) return vb::kNotRead;
    return resultado;
}

vb::ReadResult<bool> ArticuloTieneLotes(const QString& IdArticulo, const QString& IdDeposito,
                                        std::vector<ItemCantidad>& Lista, double Cantidad) {
    if (IdDeposito.compare(QStringLiteral("ELDELGRID"), Qt::CaseInsensitive) == 0) return false;
    utillib::UtilTexto& util = core::gUtilTexto();
    bool resultado = false;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("ArticuloTieneLotes"));
    // Quantities are handed out to four decimals, so that fractions add up exactly. The query and
    // the hand-out are one step, the list handed over whole at its end: a failure passed over
    // leaves the whole quantity without lots, never part of it twice.
    const vb::Currency cantidad = vb::Currency::fromDouble(Cantidad);
    Lista.assign(1, ItemCantidad(QString(), QString(), Cantidad));
    on.run([&] {
        ado::Recordset& r = Abre(QStringLiteral("SELECT * FROM STK_SERIES_Y_LOTES WHERE IdArticulo = '") +
                                     Lit(util.Rellena(IdArticulo, 25)) +
                                     QStringLiteral("' AND CANTIDAD > 0  AND IDDEPOSITO = '") +
                                     Lit(core::RellenaCodigo(IdDeposito, 4)) +
                                     QStringLiteral("' and not nrolote is null ORDER BY NROLOTE"),
                                 rs);
        std::vector<ItemCantidad> lotes;
        vb::Currency total;
        const bool hay = !r.Eof();
        if (!hay) lotes.emplace_back(QString(), QString(), Cantidad);
        while (hay && !r.Eof()) {
            const vb::Currency q =
                vb::Currency::fromDouble(util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("Cantidad")))));
            const QString lote = util.ValorNoNulo(r.Fields(QStringLiteral("NroLote"))).text();
            if (total + q > cantidad) {
                lotes.emplace_back(lote, QString(), (cantidad - total).toDouble());
                total = cantidad;
                break;
            }
            lotes.emplace_back(lote, QString(), q.toDouble());
            total = total + q;
            if (total == cantidad) break;
            r.MoveNext();
        }
        if (hay && total < cantidad) lotes.emplace_back(QString(), QString(), (cantidad - total).toDouble());
        Lista.swap(lotes);
        resultado = hay;
    });
    CierraBajo("ArticuloTieneLotes", rs);
    // Passed over, the lots are not known: the caller must not post the quantity as if it had none.
    if (on.passedOver()) return vb::kNotRead;
    return resultado;
}

bool ControlStock(const QString& IdDeposito, const QString& IdArticulo, const QString& IdUnidad, double& Stock) {
    if (vb::Trim(IdArticulo).isEmpty()) return true;
    utillib::UtilTexto& util = core::gUtilTexto();
    const QString articulo = Lit(util.Rellena(IdArticulo, 25));
    const QString unidad = Lit(util.Rellena(IdUnidad, 4));
    const QString deposito = Lit(util.Rellena(IdDeposito, 4));
    QString sql;
    if (core::gUsaStockUdKg) {
        sql = QStringLiteral("SELECT CantidadUd AS STOCK FROM STK_STOCK_UDKG WHERE IDARTICULO = '") + articulo +
              QStringLiteral("' AND IDDEPOSITO = '") + deposito + QStringLiteral("'");
    } else if (!vb::Trim(IdDeposito).isEmpty()) {
        sql = QStringLiteral("SELECT STOCK AS STOCK FROM STK_SALDOS_UNIDADES WHERE IDARTICULO = '") + articulo +
              QStringLiteral("' AND EQUIVALENCIA = '") + unidad + QStringLiteral("' AND IDDEPOSITO = '") + deposito +
              QStringLiteral("'");
    } else {
        sql = QStringLiteral("SELECT SUM(STOCK) AS STOCK  FROM STK_SALDOS_UNIDADES WHERE IDARTICULO = '") + articulo +
              QStringLiteral("' AND EQUIVALENCIA = '") + unidad + QStringLiteral("' ");
    }
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("ControlStock"));
    on.run([&] {
        ado::Recordset& r = Abre(sql, rs);
        Stock = r.Eof() ? 0.0 : util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("Stock"))));
    });
    const bool dejado = on.passedOver();   // Omitir too: the balance was not read
    CierraBajo("ControlStock", rs);
    return !dejado;
}

vb::ReadResult<double> ControlStock(const QString& IdDeposito, const QString& IdArticulo, const QString& IdUnidad) {
    double stock = 0;
    if (!ControlStock(IdDeposito, IdArticulo, IdUnidad, stock)) return vb::kNotRead;
    return stock;
}

}  // namespace posting::Stock
