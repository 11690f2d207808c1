#include "posting/items_linea.h"

#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "posting/columnas_articulos.h"
#include "posting/lista_pipe.h"
#include "posting/textos_posteo.h"

namespace posting {

namespace {

using ListaPipe::kPar;

double ADoble(const QString& texto) { return core::gUtilTexto().ADoble(vb::Variant(texto)); }

// A list item "lot ÿ serial" split in two; an item without the joint leaves both as they are.
void PartePar(const QString& item, QString& lote, QString& serie) {
    const qsizetype par = item.indexOf(kPar);
    if (par < 0) return;
    lote = item.left(par);
    serie = item.mid(par + 1);
}

// An entry line of sizes: the size flag set and a quantity for each size. Without that list
// (a blank flag cell reads set) the line is posted as a plain line, as on an exit.
bool TallesDeEntrada(const ui::FlexGrid& g, int fila) {
    return Marca(g, fila, art::PideTalle) && !EsBlanco(g.TextMatrix(fila, art::Series));
}

// An item of an entry (sign +1).
Item ItemDeEntrada(ContextoPosteo& ctx, const ui::FlexGrid& g, const ListasDeLinea& l, const QString& loteFijo,
                   double escrito) {
    const int f = ctx.Fila;
    const int32_t j = ctx.Item;
    ctx.Lote = RellenaCodigo(l.Lote(j), kAnchoArticulo);
    ctx.Serie = RellenaCodigo(l.Serie(j), kAnchoArticulo);
    const QString perecedero = vb::Trim(g.TextMatrix(f, art::Perecedero));
    const bool talles = TallesDeEntrada(g, f);
    if (core::ConvierteBooleano(perecedero.isEmpty() ? QStringLiteral("0") : perecedero)) {
        ctx.Lote = RellenaCodigo(g.TextMatrix(f, art::Lotes), kAnchoArticulo);
    } else if (talles) {
        const QString item = l.Lote(j);
        if (!EsBlanco(item)) {
            QString lote = item, serie;
            PartePar(item, lote, serie);
            ctx.Lote = RellenaCodigo(lote, kAnchoArticulo);
            ctx.Serie.clear();
            ctx.CantidadItem = ADoble(l.Serie(j));
            if (ctx.CantidadItem == 0) return Item::Salta;
        }
    } else {
        if (EsBlanco(ctx.Lote) && !EsBlanco(loteFijo)) ctx.Lote = RellenaCodigo(loteFijo, kAnchoArticulo);
        if (Marca(g, f, art::PideSerie)) {
            const QString item = ctx.EsTransferencia ? l.Lote(j) : l.Serie(j);
            if (!EsBlanco(item)) {
                QString lote = ctx.Lote, serie = ctx.Serie;
                PartePar(item, lote, serie);
                ctx.Lote = RellenaCodigo(lote, kAnchoArticulo);
                ctx.Serie = RellenaCodigo(serie, kAnchoArticulo);
                ctx.CantidadItem = ctx.EsTransferencia ? ADoble(l.Serie(j)) : 1;
                if (ctx.CantidadItem == 0) return Item::Salta;
            }
        } else if (ctx.CantidadItems > 1 && EsBlanco(ctx.Lote) && EsBlanco(ctx.Serie)) {
            // A line of several lots: a blank item inside the list posts nothing, and past
            // the list one record without a lot carries what the lots left of the line.
            if (j <= l.lotes.size()) return Item::Salta;
            ctx.CantidadItem = Cantidad(g.TextMatrix(f, art::Cantidad)) - escrito;
            return ctx.CantidadItem > 0 ? Item::EscribeYTermina : Item::Termina;
        }
    }
    // One of several lots without a series takes 1 while at least 1 of the line remains;
    // otherwise it takes what remains (a fraction, or a negative line) and ends the line.
    if (!talles && ctx.CantidadItems > 1 && EsBlanco(ctx.Serie) && !EsBlanco(ctx.Lote)) {
        const double resto = Cantidad(g.TextMatrix(f, art::Cantidad)) - escrito;
        if (resto < 1) {
            ctx.CantidadItem = resto;
            return Item::EscribeYTermina;
        }
        ctx.CantidadItem = 1;
    }
    return Item::Escribe;
}

// An item of an exit (sign -1).
Item ItemDeSalida(ContextoPosteo& ctx, ui::FlexGrid& g, const ListasDeLinea& l) {
    const int f = ctx.Fila;
    const int32_t j = ctx.Item;
    if (g.TextMatrix(f, art::PideTalle).isEmpty()) g.SetTextMatrix(f, art::PideTalle, QStringLiteral("0"));
    const QString item = l.Lote(j);
    // Each lot or size goes out with its quantity in the Series list. Without that list one
    // lot or size takes the whole line; of several, none can be told how much.
    auto cantidadDelItem = [&] {
        if (l.series.isEmpty()) return ctx.CantidadItems > 1 ? Item::SinCantidades : Item::Escribe;
        ctx.CantidadItem = ADoble(l.Serie(j));
        return ctx.CantidadItem == 0 ? Item::Salta : Item::Escribe;
    };
    // A size line without a size list is posted as a plain line.
    if (Marca(g, f, art::PideTalle) && !EsBlanco(g.TextMatrix(f, art::Lotes))) {
        QString lote = vb::Trim(item);
        if (lote.endsWith(kPar)) lote.chop(1);   // the joint that closes a size item
        ctx.Lote = RellenaCodigo(lote, kAnchoArticulo);
        ctx.Serie.clear();
        return cantidadDelItem();
    }
    if (!EsBlanco(item)) {
        QString lote = item, serie;
        PartePar(item, lote, serie);
        ctx.Lote = RellenaCodigo(lote, kAnchoArticulo);
        ctx.Serie = EsBlanco(serie) ? QString() : RellenaCodigo(serie, kAnchoArticulo);
        return cantidadDelItem();
    }
    ctx.Lote.clear();
    ctx.Serie.clear();
    return Item::Escribe;
}

}  // namespace

ListasDeLinea::ListasDeLinea(const ui::FlexGrid& g, int fila)
    : lotes(ListaPipe::ItemsSerieLote(g.TextMatrix(fila, art::Lotes))),
      series(ListaPipe::ItemsSerieLote(g.TextMatrix(fila, art::Series))) {}

int32_t ItemsDeLinea(const ContextoPosteo& ctx, const ui::FlexGrid& g) {
    const int f = ctx.Fila;
    const QString lotes = g.TextMatrix(f, art::Lotes);
    if (ctx.Signo == -1) return ListaPipe::Cuenta_Series_Lotes(lotes, QString());
    if (ctx.Signo != 1) return ctx.CantidadItems;
    const QString series = g.TextMatrix(f, art::Series);
    if (TallesDeEntrada(g, f)) return ListaPipe::Cuenta_Series_Lotes(lotes, QString());
    if (Marca(g, f, art::PideSerie))
        return ctx.EsTransferencia ? ListaPipe::Cuenta_Series_Lotes(lotes, QString())
                                   : ListaPipe::Cuenta_Series_Lotes(series, lotes, true);
    return ListaPipe::Cuenta_Series_Lotes(series, lotes);
}

Item PreparaItem(ContextoPosteo& ctx, ui::FlexGrid& g, const ListasDeLinea& l, const QString& loteFijo,
                 double escrito) {
    ctx.CantidadItem = ADoble(g.TextMatrix(ctx.Fila, art::Cantidad));
    if (ctx.Signo == 1) return ItemDeEntrada(ctx, g, l, loteFijo, escrito);
    if (ctx.Signo == -1) return ItemDeSalida(ctx, g, l);
    return Item::Escribe;
}

bool OtroItem(const ContextoPosteo& ctx, const ui::FlexGrid& g, double escrito) {
    const int32_t n = ctx.CantidadItems;
    if (ctx.Signo == -1) return ctx.Item < n && n > 1;
    if (ctx.Signo != 1) return false;
    if (TallesDeEntrada(g, ctx.Fila) || Marca(g, ctx.Fila, art::PideSerie)) return ctx.Item < n && n > 1;
    // Lots without series: until the line's quantity is posted.
    return n > 1 && escrito < Cantidad(g.TextMatrix(ctx.Fila, art::Cantidad));
}

}  // namespace posting
