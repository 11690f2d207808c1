#include "posting/movimiento_stock.h"

#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "platform/ui/flex_grid.h"
#include "platform/vb/app.h"
#include "posting/columnas_articulos.h"
#include "posting/textos_posteo.h"

namespace posting {

using namespace Qt::Literals::StringLiterals;   // field names as static text: u"TC"_s

namespace {

QString NumeroDe(double valor) { return Numero(vb::Currency::fromDouble(valor)); }
QString NumeroDe(const QString& celda) { return Numero(Importe(celda)); }

QString DepositoArgumento(ContextoPosteo& ctx) {
    switch (ctx.IdDeposito.forma) {
    case ArgDeposito::Forma::Codigo:
        return ctx.IdDeposito.codigo;
    case ArgDeposito::Forma::DelGrid:
        // A line without a deposit of its own, when each line was to bring one: the default
        // deposit, never the marker itself.
        return DepositoPorDefecto(ctx);
    case ArgDeposito::Forma::Nulo:
        break;
    }
    return QString();
}

}  // namespace

const QString& DepositoPorDefecto(ContextoPosteo& ctx) {
    static const QString kSinLeer;
    if (!ctx.DepositoDefault) {
        const vb::ReadResult<QString> deposito = core::ObtieneConfiguracion(QStringLiteral("DepositoDefault"));
        if (!deposito.read()) {
            ctx.SinLeer = true;
            return kSinLeer;
        }
        ctx.DepositoDefault = Rellena(deposito.value());
    }
    return *ctx.DepositoDefault;
}

QString LiteralReferencia(const ArgReferencia& r) { return r.nulo ? QStringLiteral("NULL") : Texto(r.valor); }

QString LiteralDestino(ContextoPosteo& ctx, const ui::FlexGrid& grilla) {
    switch (ctx.IdDepositoDestino.forma) {
    case ArgDeposito::Forma::Codigo:
        return Texto(ctx.IdDepositoDestino.codigo);
    case ArgDeposito::Forma::DelGrid:
        return Texto(DepositoDeFila(ctx, grilla, ctx.Fila));
    case ArgDeposito::Forma::Nulo:
        break;
    }
    return QStringLiteral("NULL");
}

QString DescripcionMovimiento(const QString& texto, int largo) {
    QString descripcion = vb::Trim(texto);
    if (descripcion.size() > largo) descripcion = descripcion.left(largo);
    return SinApostrofes(descripcion);
}

QString CuentaProveedorArticulo(ContextoPosteo& ctx, const QString& articulo) {
    const QString cuenta = ctx.Articulos.De(Rellena(articulo, kAnchoArticulo)).cuentaProveedor;
    return cuenta.isEmpty() ? QStringLiteral("NULL") : cuenta;
}

vb::Currency CostoArticulo(ContextoPosteo& ctx, const QString& articulo) {
    return ctx.Articulos.De(Rellena(articulo, kAnchoArticulo)).costo;
}

QString DepositoDeFila(ContextoPosteo& ctx, const ui::FlexGrid& grilla, int fila) {
    if (ctx.SignoRemota == 1 && ctx.IdDeposito.forma == ArgDeposito::Forma::Codigo) return ctx.IdDeposito.codigo;
    QString deposito = vb::Trim(grilla.TextMatrix(fila, art::IdDeposito));
    if (deposito.isEmpty()) deposito = DepositoArgumento(ctx);
    return Rellena(deposito);
}

double CantidadMovimiento(const ContextoPosteo& ctx, const ui::FlexGrid& grilla) {
    double q = Importe(grilla.TextMatrix(ctx.Fila, art::Cantidad)).toDouble();
    if (ctx.Signo == 1) {
        // A lot of a line of several lots carries its item's share of the line too.
        if (Marca(grilla, ctx.Fila, art::PideTalle) || !EsBlanco(ctx.Serie) || EsBlanco(ctx.Lote) ||
            ctx.CantidadItems > 1)
            q = ctx.CantidadItem;
    } else if (ctx.Signo == -1) {
        if (ctx.CantidadItem > 0 || !EsBlanco(ctx.Lote) || !EsBlanco(ctx.Serie)) q = ctx.CantidadItem;
    }
    return q;
}

namespace {

// A record's pairs as they are built: each field name from static text, in field order.
struct Pares {
    core::ListaCamposValores& p;
    void operator()(const QString& campo, const QString& valor) { p.push_back({campo, valor}); }
};

// Identity, till and deposits: the origin pass (or the only one) leaves from the line's deposit;
// the destination pass enters the destination and names, as the other side, that same line's origin.
void IdentidadYDepositos(ContextoPosteo& ctx, const ui::FlexGrid& g, Pares agrega) {
    const int f = ctx.Fila;
    agrega(u"TC"_s, Texto(Rellena(ctx.TC)));
    agrega(u"IdComprobante"_s, Texto(ctx.SucNroLetra));
    if (!ctx.Compras) agrega(u"IdComplemento"_s, Numero(vb::Currency::fromDouble(vb::Val(ctx.IdComplemento))));
    agrega(u"Secuencia"_s, QString::number(ctx.Secuencia));
    agrega(u"Fecha"_s, Texto(ctx.Fecha));
    if (!EsBlanco(ctx.Caja)) agrega(u"IdCaja"_s, Texto(Rellena(SinApostrofes(ctx.Caja))));
    agrega(u"IdDeposito"_s, ctx.Pasada == 2 ? LiteralDestino(ctx, g) : Texto(DepositoDeFila(ctx, g, f)));
    if (ctx.EsTransferencia) {
        if (ctx.Pasada == 2) {
            const QString origen = DepositoDeFila(ctx, g, f);
            agrega(u"IDDEPOSITO_DESTINO"_s, EsBlanco(origen) ? QStringLiteral("null") : Texto(origen));
        } else {
            agrega(u"IDDEPOSITO_DESTINO"_s, LiteralDestino(ctx, g));
        }
    }
}

// Article, lot, control, series, unit, and the quantities: only they carry the sign.
void ArticuloYCantidades(const ContextoPosteo& ctx, ui::FlexGrid& g, const QString& articulo, Pares agrega) {
    const int f = ctx.Fila;
    auto celda = [&](int col) { return g.TextMatrix(f, col); };
    agrega(u"IdArticulo"_s, Texto(Rellena(articulo, kAnchoArticulo)));
    agrega(u"Descripcion"_s, Texto(DescripcionMovimiento(celda(art::Descripcion), ctx.LongitudDescripcion)));
    vb::DoEvents();
    agrega(u"NroLote"_s, EsBlanco(ctx.Lote) ? QStringLiteral("NULL") : Texto(ctx.Lote));
    if (!EsBlanco(celda(art::ControladoPor)))
        agrega(u"ControladoPor"_s, Texto(vb::Trim(celda(art::ControladoPor))));
    else if (EsBlanco(celda(art::LoteAduana)))
        agrega(u"ControladoPor"_s, Texto(SinApostrofes(vb::Trim(ctx.Aduana))));
    else
        agrega(u"ControladoPor"_s, Texto(SinApostrofes(vb::Trim(celda(art::LoteAduana)))));
    if (!EsBlanco(celda(art::LoteOrigen)))
        agrega(u"IdOrigen"_s, Texto(RellenaCodigo(celda(art::LoteOrigen))));
    else if (!EsBlanco(ctx.LoteOrigen))
        agrega(u"IdOrigen"_s, Texto(RellenaCodigo(ctx.LoteOrigen)));
    agrega(u"NroSerie"_s, EsBlanco(ctx.Serie) ? QStringLiteral("NULL") : Texto(ctx.Serie));
    agrega(u"IdUnidad"_s, EsBlanco(celda(art::IdUnidad)) ? QStringLiteral("NULL")
                                                       : Texto(RellenaCodigo(celda(art::IdUnidad))));

    const double q = CantidadMovimiento(ctx, g);
    vb::DoEvents();
    const QString cantidad = NumeroDe(q * ctx.Signo);
    agrega(u"Cantidad"_s, cantidad);
    g.SetTextMatrix(f, art::IdUnidadEquiv, RellenaCodigo(celda(art::IdUnidadEquiv)));
    if (celda(art::EnUnidadBase).isEmpty()) g.SetTextMatrix(f, art::EnUnidadBase, QStringLiteral("0"));
    const QString unidadBase = Texto(RellenaCodigo(celda(art::IdUnidadBase)));
    if (Marca(g, f, art::EnUnidadBase)) {
        if (!EsBlanco(celda(art::IdUnidadBase))) {
            agrega(u"CantidadUD"_s, Numero(ConSigno(Importe(celda(art::CantidadUnidadBase)), ctx.Signo)));
            agrega(u"IdUnidadBase"_s, unidadBase);
        }
    } else if (ctx.EquivalenciaUD) {
        agrega(u"CantidadUD"_s, Numero(ConSigno(Importe(celda(art::CantidadEquiv)), ctx.Signo)));
        agrega(u"IdUnidadBase"_s, Texto(RellenaCodigo(celda(art::IdUnidadEquiv))));
    } else if (!EsBlanco(celda(art::IdUnidadBase))) {
        const bool conItem = !EsBlanco(ctx.Lote) || !EsBlanco(ctx.Serie);
        agrega(u"CantidadUD"_s, conItem ? cantidad : Numero(ConSigno(Importe(celda(art::CantidadUnidadBase)), ctx.Signo)));
        agrega(u"IdUnidadBase"_s, unidadBase);
    }
}

// The supplier account, the stock reason, prices, cost and taxes, the origin voucher and VAT.
void CuentaPreciosYOrigen(ContextoPosteo& ctx, const ui::FlexGrid& g, const QString& articulo, Pares agrega) {
    auto celda = [&](int col) { return g.TextMatrix(ctx.Fila, col); };
    // The supplier account: the argument, or the article's own.
    QString cuenta = vb::Trim(ctx.Cuenta);
    if (Iguales(cuenta, QStringLiteral("PorDefault"))) cuenta = CuentaProveedorArticulo(ctx, articulo);
    ctx.CuentaActual = cuenta;
    if (!Iguales(cuenta, QStringLiteral("NULL"))) agrega(u"CuentaProveedor"_s, Texto(cuenta));

    if (ctx.IdMotivoStock.delGrid) ctx.IdMotivoStock.valor = Rellena(celda(art::MotivoStock));
    if (ctx.IdMotivoStock.nulo) {
        agrega(u"IdMotivoStock"_s, QStringLiteral("NULL"));
    } else {
        ctx.IdMotivoStock.valor = SinApostrofes(ctx.IdMotivoStock.valor);
        agrega(u"IdMotivoStock"_s, Texto(RellenaCodigo(ctx.IdMotivoStock.valor)));
    }

    agrega(u"PrecioVenta"_s, NumeroDe(celda(art::Precio)));
    agrega(u"Importe_S_Iva"_s, NumeroDe(celda(art::PrecioSinIVA)));
    vb::Currency costo = Importe(celda(art::Costo));
    if (costo == vb::Currency()) costo = CostoArticulo(ctx, articulo);
    agrega(u"Costo"_s, Numero(costo));
    agrega(u"Impuestos"_s, Numero(Importe(celda(art::Impuestos)) + Importe(celda(art::ITC))));
    agrega(u"DtoItem"_s, NumeroDe(celda(art::PorcDto)));

    // The origin voucher: type (first 4 characters of column CpteOrigen) and number (the next 13).
    if (ctx.TcOrigen.delGrid) ctx.TcOrigen.valor = vb::Trim(vb::Left(celda(art::CpteOrigen), 4));
    agrega(u"Tc_Origen"_s, LiteralReferencia(ctx.TcOrigen));
    if (ctx.ComprobanteOrigen.delGrid) ctx.ComprobanteOrigen.valor = vb::Trim(vb::Mid(celda(art::CpteOrigen), 5, 13));
    agrega(u"IdComprobante_Origen"_s, LiteralReferencia(ctx.ComprobanteOrigen));
    agrega(u"Id_Origen"_s, NumeroDe(celda(art::IdCpteOrigen)));

    // VAT: a line without a rate takes the engine's, unless it is marked exempt (-1).
    const vb::Currency tasa = Importe(celda(art::TasaIVA));
    const bool exento = vb::CLng(vb::Variant(Importe(celda(art::EsExento)).toDouble())) == -1;
    agrega(u"IVARI"_s, tasa == vb::Currency() && !exento ? NumeroDe(ctx.PorcentajeIVA) : Numero(tasa));
    agrega(u"IVARNI"_s, NumeroDe(celda(art::TasaIVA2)));
    if (!Iguales(vb::Trim(ctx.IdTecnico), QStringLiteral("NULL"))) agrega(u"IdTecnico"_s, Texto(Rellena(ctx.IdTecnico)));
}

// Coefficient, offer, seller, pricing unit, currency, business unit, loan.
void UnidadesYOferta(ContextoPosteo& ctx, ui::FlexGrid& g, Pares agrega) {
    const int f = ctx.Fila;
    auto celda = [&](int col) { return g.TextMatrix(f, col); };
    if (celda(art::Coeficiente).isEmpty()) g.SetTextMatrix(f, art::Coeficiente, QStringLiteral("1"));
    agrega(u"EQUIV_UDBASE"_s, NumeroDe(celda(art::Coeficiente)));
    agrega(u"IDINSERT"_s, NumeroDe(celda(art::OfertaIdInsert)));
    agrega(u"IDCOMPULSA"_s, NumeroDe(celda(art::OfertaIdCompulsa)));
    agrega(u"Oferta"_s, NumeroDe(celda(art::EnOferta)));
    agrega(u"IdVendedor"_s, Texto(ctx.IdVendedor));
    agrega(u"Importe_Ud"_s, NumeroDe(celda(art::ImporteUd)));
    agrega(u"Ud_Pr"_s, Texto(Rellena(celda(art::UdPrecio))));
    if (!EsBlanco(celda(art::Moneda))) {
        agrega(u"ArtMoneda"_s, Texto(Rellena(celda(art::Moneda))));
        agrega(u"ArtCotizacion"_s, NumeroDe(celda(art::Cotizacion)));
    }
    agrega(u"UNEGOCIO"_s, Texto(RellenaCodigo(ctx.UNegocio)));
    agrega(u"EnComodato"_s, NumeroDe(celda(art::EnComodato)));
    if (!ctx.EnComodato && vb::Val(celda(art::EnComodato)) == 1) ctx.EnComodato = true;
}

}  // namespace

core::ListaCamposValores MovimientoStock(ContextoPosteo& ctx, ui::FlexGrid& g) {
    core::ListaCamposValores p;
    p.reserve(42);
    const QString articulo = vb::Trim(g.TextMatrix(ctx.Fila, art::IdArticulo));
    IdentidadYDepositos(ctx, g, Pares{p});
    ArticuloYCantidades(ctx, g, articulo, Pares{p});
    CuentaPreciosYOrigen(ctx, g, articulo, Pares{p});
    UnidadesYOferta(ctx, g, Pares{p});
    return p;
}

QString SentenciaMovimientoStock(core::ListaCamposValores& pares) {
    QString sentencia = QStringLiteral("INSERT INTO V_MV_STOCK");
    core::ArmaListaValues(sentencia, pares, true);
    return sentencia;
}

QString CondicionComprobante(const QString& tc, const QString& numero, const QString& unidad) {
    return QStringLiteral("TC = '") + data::LiteralSQL(RellenaCodigo(tc)) + QStringLiteral("' AND IDCOMPROBANTE = '") +
           data::LiteralSQL(numero) + QStringLiteral("' AND UNEGOCIO = '") + data::LiteralSQL(RellenaCodigo(unidad)) +
           QStringLiteral("'");
}

QString SqlUltimaSecuencia(const QString& tc, const QString& numero, const QString& unidad) {
    return QStringLiteral("SELECT MAX(SECUENCIA) AS ULTIMA FROM V_MV_STOCK with(nolock) WHERE ") +
           CondicionComprobante(tc, numero, unidad);
}

}  // namespace posting
