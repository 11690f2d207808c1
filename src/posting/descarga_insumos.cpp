// The production-input discharge: after a posting's passes, the inputs (bill of materials) of the
// articles it posted leave stock under an input-discharge voucher of its own, type "PE", branch
// 0001, letter X. One number serves the whole run; each input gives one row, or one per lot
// where it is stocked in lots. A line marked InsumosPorPorcentaje is an article made on the spot:
// its inputs are percentages of the line, and a row re-enters the article itself.
#include "core/formatos.h"
#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/currency.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/movimiento_stock.h"
#include "posting/numeracion.h"
#include "posting/stock.h"
#include "posting/talonarios.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <cassert>
#include <optional>
#include <vector>

namespace posting {

namespace {

const QString kTipoDescarga = QStringLiteral("PE");

// A grid line the discharge takes: its article and quantity, and whether the article is made on
// the spot from percentages of its inputs.
struct Linea {
    int fila = 0;
    QString articulo;      // column IdArticulo, trimmed
    double cantidad = 0;   // column Cantidad; a marked line's CantidadUnidadBase when above 0
    bool porcentaje = false;
};

std::optional<Linea> LeeLinea(const ui::FlexGrid& g, int fila) {
    Linea l;
    l.fila = fila;
    l.cantidad = Importe(g.TextMatrix(fila, art::Cantidad)).toDouble();
    if (l.cantidad == 0 || g.TextMatrix(fila, art::IdArticulo).isEmpty()) return std::nullopt;
    l.articulo = vb::Trim(g.TextMatrix(fila, art::IdArticulo));
    const QString marca = g.TextMatrix(fila, art::InsumosPorPorcentaje);
    l.porcentaje = !EsBlanco(marca) && core::ConvierteBooleano(vb::Trim(marca));
    const vb::Currency enUnidades = Importe(g.TextMatrix(fila, art::CantidadUnidadBase));
    if (l.porcentaje && enUnidades > vb::Currency()) l.cantidad = enUnidades.toDouble();
    return l;
}

// What a row of the discharge voucher says of the article it moves.
struct Renglon {
    QString articulo;
    QString descripcion;     // as written: cleaned and cut
    QString lote;            // blank: no lot
    QString unidad;          // IdUnidad literal
    QString cantidadUD;      // product row only: CantidadUD and IdUnidadBase literals; empty: left out
    QString unidadBase;
    QString cantidad;        // Cantidad literal, signed
    vb::Currency costo;
    QString cuenta;          // "NULL": CuentaProveedor left out
};

QString LiteralUnidad(const QString& unidad) {
    return EsBlanco(unidad) ? QStringLiteral("NULL") : Texto(RellenaCodigo(unidad));
}

// One discharge run: the voucher's number, its rows and where their statements go.
class Descarga {
public:
    Descarga(ContextoPosteo& ctx, ui::FlexGrid& g, int pasada, bool generaSentencia, QString& sqlTemp, bool avisa)
        : ctx_(ctx), g_(g), pasada_(pasada), genera_(generaSentencia), avisa_(avisa), sqlTemp_(sqlTemp) {}

    QString numero;   // IDCOMPROBANTE of the run's voucher; empty until a line has inputs

    // The row that re-enters a marked line's article. Its sign is the opposite of the posting's,
    // so that it balances the line's own row.
    Renglon Producto(const Linea& l) {
        const int f = l.fila;
        auto celda = [&](int col) { return g_.TextMatrix(f, col); };
        Renglon r;
        r.articulo = l.articulo;
        r.descripcion = DescripcionMovimiento(celda(art::Descripcion), ctx_.LongitudDescripcion);
        r.unidad = LiteralUnidad(celda(art::IdUnidad));
        const int signo = -ctx_.Signo;
        if (core::ConvierteBooleano(vb::Trim(celda(art::EnUnidadBase)))) {
            if (!EsBlanco(celda(art::IdUnidadBase))) {
                r.cantidadUD = Numero(ConSigno(Importe(celda(art::CantidadUnidadBase)), signo));
                r.unidadBase = Texto(RellenaCodigo(celda(art::IdUnidadBase)));
            }
        } else if (ctx_.EquivalenciaUD) {
            r.cantidadUD = Numero(ConSigno(Importe(celda(art::CantidadEquiv)), signo));
            r.unidadBase = Texto(RellenaCodigo(celda(art::IdUnidadEquiv)));
        }
        r.cantidad = Numero(vb::Currency::fromDouble(l.cantidad * signo));
        r.costo = Importe(celda(art::Costo));
        r.cuenta = Cuenta(l, QString());
        return r;
    }

    // The row of an input, or of one lot of it; its description and cost are the input's own.
    Renglon Insumo(const Linea& l, const QString& codigo, const QString& unidad, const QString& lote,
                   double cantidad) {
        Renglon r;
        r.articulo = codigo;
        r.descripcion =
            DescripcionMovimiento(ctx_.Articulos.De(Rellena(codigo, kAnchoArticulo)).descripcion, ctx_.LongitudDescripcion);
        r.lote = lote;
        r.unidad = LiteralUnidad(core::LimpiaCaracteres(vb::Variant(unidad)));
        r.cantidad = Numero(vb::Currency::fromDouble(cantidad * ctx_.Signo));
        r.costo = CostoArticulo(ctx_, codigo);
        r.cuenta = Cuenta(l, codigo);
        return r;
    }

    // Writes a row under the posting's current sequence: appended to the statements, or run at
    // once. False when the connection refused it (the operator has been told).
    bool Escribe(const Linea& l, const Renglon& r) {
        core::ListaCamposValores pares = Pares(l, r);
        const QString sentencia = SentenciaMovimientoStock(pares);
        if (genera_) {
            sqlTemp_ += u'\r' + sentencia;
            return true;
        }
        return EjecutaSentencia(sentencia, avisa_);
    }

private:
    // The supplier account: a marked line's rows take the posting's own (the line's article's
    // with "PorDefault"); the inputs of another line take the one the last row resolved, or,
    // while that still reads "PorDefault", the input's own. The posting keeps what this resolves.
    QString Cuenta(const Linea& l, const QString& insumo) {
        QString cuenta = l.porcentaje ? vb::Trim(ctx_.Cuenta) : ctx_.CuentaActual;
        if (Es(cuenta, "PorDefault")) cuenta = CuentaProveedorArticulo(ctx_, l.porcentaje ? l.articulo : insumo);
        ctx_.CuentaActual = cuenta;
        return cuenta;
    }

    // The deposit: after a posting of two passes the destination, else the line's own.
    QString Deposito(const Linea& l) {
        ctx_.Fila = l.fila;
        return pasada_ == 3 ? LiteralDestino(ctx_, g_) : Texto(DepositoDeFila(ctx_, g_, l.fila));
    }

    core::ListaCamposValores Pares(const Linea& l, const Renglon& r) {
        core::ListaCamposValores p;
        p.reserve(22);
        auto agrega = [&](const char* campo, const QString& valor) { p.push_back({QString::fromLatin1(campo), valor}); };
        agrega("TC", Texto(Rellena(kTipoDescarga)));
        agrega("IdComprobante", Texto(numero));
        if (!ctx_.Compras) agrega("IdComplemento", Numero(vb::Currency::fromDouble(vb::Val(ctx_.IdComplemento))));
        agrega("Secuencia", QString::number(ctx_.Secuencia));
        agrega("Fecha", Texto(ctx_.Fecha));
        agrega("IdDeposito", Deposito(l));
        agrega("IdArticulo", Texto(Rellena(r.articulo, kAnchoArticulo)));
        agrega("Descripcion", Texto(r.descripcion));
        if (!EsBlanco(r.lote)) agrega("NroLote", Texto(RellenaCodigo(r.lote, kAnchoArticulo)));
        agrega("IdUnidad", r.unidad);
        if (!r.cantidadUD.isEmpty()) {
            agrega("CantidadUD", r.cantidadUD);
            agrega("IdUnidadBase", r.unidadBase);
        }
        agrega("Cantidad", r.cantidad);
        if (!Es(r.cuenta, "NULL")) agrega("CuentaProveedor", Texto(r.cuenta));
        if (ctx_.IdMotivoStock.nulo) {
            agrega("IdMotivoStock", QStringLiteral("NULL"));
        } else {
            ctx_.IdMotivoStock.valor.remove(u'\'');
            agrega("IdMotivoStock", Texto(RellenaCodigo(ctx_.IdMotivoStock.valor)));
        }
        agrega("PrecioVenta", QStringLiteral("0"));
        agrega("Importe_S_iva", QStringLiteral("0"));
        agrega("Costo", Numero(r.costo));
        // The journal entry after the rows reads the origin type of the last line.
        if (ctx_.TcOrigen.delGrid) ctx_.TcOrigen.valor = vb::Trim(vb::Left(g_.TextMatrix(l.fila, art::CpteOrigen), 4));
        agrega("Tc_Origen", Texto(RellenaCodigo(ctx_.TC)));
        agrega("IdComprobante_Origen", Texto(ctx_.SucNroLetra));
        agrega("ControladoPor", Texto(l.articulo));
        // The inputs leave the stock of the posting's business unit, as its own rows do.
        agrega("UNEGOCIO", Texto(RellenaCodigo(ctx_.UNegocio)));
        return p;
    }

    ContextoPosteo& ctx_;
    ui::FlexGrid& g_;
    const int pasada_;
    const bool genera_;
    const bool avisa_;   // a refused statement is shown here (else the caller tells it)
    QString& sqlTemp_;
};

// The deposit whose lots an input is taken from: the posting's deposit argument ("ELDELGRID",
// each line's own, allocates no lots).
QString DepositoDeLotes(const ContextoPosteo& ctx) {
    switch (ctx.IdDeposito.forma) {
    case ArgDeposito::Forma::Codigo:
        return ctx.IdDeposito.codigo;
    case ArgDeposito::Forma::DelGrid:
        return QStringLiteral("ELDELGRID");
    case ArgDeposito::Forma::Nulo:
        break;
    }
    return QString();
}

// The reason a discharge step ends with: the operator left at its question, or its own.
FallaPosteo Motivo(const vb::OnError& on, FallaPosteo propia) { return on.left() ? FallaPosteo::ErrorDejado : propia; }

// One input of a line: its rows, one per lot where the deposit holds it in lots.
FallaPosteo DescargaInsumo(Descarga& descarga, ContextoPosteo& ctx, const Linea& l, const Stock::ItemCantidad& insumo,
                           const QString& depositoLotes, vb::OnError& on) {
    const QString codigo = core::LimpiaCaracteres(vb::Variant(insumo.Codigo));
    if (codigo.isEmpty()) return FallaPosteo::Ninguna;
    const double cantidad = l.porcentaje ? l.cantidad * insumo.Cantidad / 100 : l.cantidad * insumo.Cantidad;
    std::vector<Stock::ItemCantidad> lotes;
    bool conLotes = false, fallo = false;
    on.run([&] {
        const vb::ReadResult<bool> leido = Stock::ArticuloTieneLotes(codigo, depositoLotes, lotes, cantidad);
        fallo = !leido.read();
        conLotes = leido.read() && leido.value();
    });
    if (on.left() || fallo) return Motivo(on, FallaPosteo::ValorNoLeido);
    if (!conLotes) lotes.assign(1, Stock::ItemCantidad(QString(), QString(), cantidad));
    for (const Stock::ItemCantidad& lote : lotes) {
        // What the row takes and resolves into the context (its number, account, origin, row)
        // stays only with a row written; its statement is the step's last act.
        bool escrito = true;
        on.runKeeping([&] {
            ++ctx.Secuencia;
            escrito = descarga.Escribe(l, descarga.Insumo(l, codigo, insumo.Unidad, lote.Codigo, lote.Cantidad));
        }, ctx);
        if (on.left() || !escrito) return Motivo(on, FallaPosteo::SentenciaRechazada);
    }
    vb::DoEvents();
    return FallaPosteo::Ninguna;
}

// One grid line: when its article has inputs, the voucher's number (at the first such line), a
// marked line's own row, then each input's rows.
FallaPosteo DescargaLinea(Descarga& descarga, ContextoPosteo& ctx, const ui::FlexGrid& grilla, int fila,
                          const QString& depositoLotes, vb::OnError& on) {
    std::optional<Linea> linea;
    on.run([&] { linea = LeeLinea(grilla, fila); });
    if (on.left()) return FallaPosteo::ErrorDejado;
    if (!linea) return FallaPosteo::Ninguna;
    const Linea& l = *linea;

    std::vector<Stock::ItemCantidad> insumos;
    bool conInsumos = false, fallo = false;
    on.run([&] {
        const vb::ReadResult<bool> leido = Stock::IdArticuloTieneInsumos(l.articulo, insumos, false);
        fallo = !leido.read();
        conInsumos = leido.read() && leido.value();
    });
    if (on.left() || fallo) return Motivo(on, FallaPosteo::ValorNoLeido);
    if (!conInsumos) return FallaPosteo::Ninguna;

    if (descarga.numero.isEmpty()) {
        std::optional<QString> numero;
        on.run([&] {
            QString sucursal = QStringLiteral("0001"), letra = QStringLiteral("X");
            numero = Stock::AsignarNumeroComprobante(kTipoDescarga, sucursal, letra, ctx.UNegocio);
        });
        if (on.left() || !numero) return Motivo(on, FallaPosteo::SinNumero);
        descarga.numero = *numero;
    }
    if (l.porcentaje) {
        // The product's row is one step, as an input's row is.
        bool escrito = true;
        on.runKeeping([&] {
            ++ctx.Secuencia;
            escrito = descarga.Escribe(l, descarga.Producto(l));
        }, ctx);
        if (on.left() || !escrito) return Motivo(on, FallaPosteo::SentenciaRechazada);
    }
    for (const Stock::ItemCantidad& insumo : insumos) {
        const FallaPosteo falla = DescargaInsumo(descarga, ctx, l, insumo, depositoLotes, on);
        if (falla != FallaPosteo::Ninguna) return falla;
    }
    return FallaPosteo::Ninguna;
}

}  // namespace

FallaPosteo ClsCmnCptes::DescargaInsumos(ui::FlexGrid& grilla, ContextoPosteo& ctx, int pasada,
                                         bool GeneraSentenciaSQL, QString& SQLTemp, vb::OnError& on) {
    assert(pasada == 2 || pasada == 3);   // after the posting's one pass, or its two
    // Stock adjustments never discharge inputs, nor does a production order, whose inputs are
    // lines of its own; the setting turns the discharge off for every voucher.
    if (Es(ctx.TC, "AJP") || Es(ctx.TC, "AJN")) return FallaPosteo::Ninguna;
    bool apagada = false, sinLeer = false;
    on.run([&] {
        const vb::ReadResult<bool> apaga = core::ConfiguracionSI(QStringLiteral("DescargaInsumosProduccion"));
        sinLeer = !apaga.read();
        apagada = apaga.read() && (apaga.value() || Es(ctx.TC, "OP"));
    });
    if (on.left() || sinLeer) return Motivo(on, FallaPosteo::ValorNoLeido);
    if (apagada) return FallaPosteo::Ninguna;

    // After a posting of two passes the rows continue its sequence; else they start at 1.
    if (pasada != 3) ctx.Secuencia = 0;
    Descarga descarga(ctx, grilla, pasada, GeneraSentenciaSQL, SQLTemp, AvisaSentenciasRechazadas);
    const QString depositoLotes = DepositoDeLotes(ctx);
    for (int fila = 1; fila < grilla.Rows(); ++fila) {
        const FallaPosteo falla = DescargaLinea(descarga, ctx, grilla, fila, depositoLotes, on);
        if (falla != FallaPosteo::Ninguna) return falla;
    }

    // The voucher's book moves on past its number, in the same transaction or batch as its rows.
    if (ctx.Secuencia <= 0 || EsBlanco(descarga.numero)) return FallaPosteo::Ninguna;
    QString sentencia;
    bool libro = false;
    on.run([&] {
        QString letra = vb::Mid(descarga.numero, 13, 1);
        const QString siguiente = QString::number(static_cast<int64_t>(vb::Val(vb::Mid(descarga.numero, 5, 8))) + 1);
        libro = ast::ActualizaNumeracionComprobante(kTipoDescarga, QStringLiteral("STOCK"), vb::Mid(descarga.numero, 1, 4),
                                                    siguiente, letra, true, sentencia, false, false);
    });
    if (on.left() || !libro) return Motivo(on, FallaPosteo::SinNumero);
    if (sentencia.isEmpty()) return FallaPosteo::Ninguna;
    if (GeneraSentenciaSQL) {
        SQLTemp += u'\r' + sentencia;
        return FallaPosteo::Ninguna;
    }
    bool corrio = false;
    on.run([&] { corrio = EjecutaSentencia(sentencia, AvisaSentenciasRechazadas); });
    return on.left() || !corrio ? Motivo(on, FallaPosteo::SentenciaRechazada) : FallaPosteo::Ninguna;
}

}  // namespace posting
