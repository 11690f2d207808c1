// ActualizaStock: a filled articles grid posted as stock movements, one V_MV_STOCK row per line
// and per lot, series or size item, with the journal entry of the movement.
#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ado/transaction.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/lista_pipe.h"
#include "posting/movimiento_stock.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <memory>
#include <optional>

namespace posting {

namespace {

using ListaPipe::kPar;

bool EsDelGrid(const QString& s) { return Es(s, "ELDELGRID"); }   // "take the value from each line"

double ADoble(const QString& texto) { return core::gUtilTexto().ADoble(vb::Variant(texto)); }

// A list item "lot ÿ serial" split in two; an item without the joint leaves both as they are.
void PartePar(const QString& item, QString& lote, QString& serie) {
    const qsizetype par = item.indexOf(kPar);
    if (par < 0) return;
    lote = item.left(par);
    serie = item.mid(par + 1);
}

// The set-up of the arguments: each into the form the records use.
ArgReferencia TipoOrigen(const QString& tcOrigen) {
    const QString tc = RellenaCodigo(tcOrigen);
    if (EsDelGrid(tc)) return ArgReferencia::DelGrid();
    return EsBlanco(tc) ? ArgReferencia::Nulo() : ArgReferencia::Valor(tc);
}

ArgReferencia NumeroOrigen(const QString& comprobanteOrigen) {
    if (EsDelGrid(comprobanteOrigen)) return ArgReferencia::DelGrid();
    return EsBlanco(comprobanteOrigen) ? ArgReferencia::Nulo() : ArgReferencia::Valor(comprobanteOrigen);
}

ArgDeposito Deposito(ContextoPosteo& ctx, const QString& deposito) {
    if (EsDelGrid(deposito)) return ArgDeposito::DelGrid();
    if (!EsBlanco(deposito)) return ArgDeposito::Codigo(RellenaCodigo(deposito));
    // Blank: the default deposit, even a blank one.
    return ArgDeposito::Codigo(DepositoPorDefecto(ctx));
}

ArgDeposito Destino(const QString& destino) {
    return EsBlanco(destino) ? ArgDeposito::Nulo() : ArgDeposito::Codigo(RellenaCodigo(destino));
}

ArgReferencia Motivo(ContextoPosteo& ctx, const QString& motivo) {
    if (EsDelGrid(motivo)) return ArgReferencia::DelGrid();
    const QString sinApostrofes = QString(motivo).remove(u'\'');
    if (!EsBlanco(sinApostrofes)) return ArgReferencia::Valor(Rellena(sinApostrofes));
    // Empty: the default reason; made of blanks: no reason.
    if (sinApostrofes.isEmpty()) {
        const vb::ReadResult<QString> porDefecto = core::ObtieneConfiguracion(QStringLiteral("MotivoStockDefault"));
        if (!porDefecto.read()) {
            ctx.SinLeer = true;   // the voucher fails: no row is posted without its reason
            return ArgReferencia::Nulo();
        }
        return ArgReferencia::Valor(Rellena(porDefecto.value()));
    }
    return ArgReferencia::Nulo();
}

// The codes of the articles the grid's lines post, as the records write them.
QStringList ArticulosDeLaGrilla(const ui::FlexGrid& g) {
    QStringList codigos;
    for (int fila = 1; fila < g.Rows(); ++fila)
        if (Cantidad(g.TextMatrix(fila, art::Cantidad)) != 0 && !g.TextMatrix(fila, art::IdArticulo).isEmpty())
            codigos << RellenaCodigo(g.TextMatrix(fila, art::IdArticulo), kAnchoArticulo);
    return codigos;
}

// The line's two lists, read once for all its items: its lots, sizes or lot and serial pairs
// (column Lotes), and its series or the quantity of each item (column Series).
struct ListasDeLinea {
    QStringList lotes, series;

    explicit ListasDeLinea(const ui::FlexGrid& g, int fila)
        : lotes(ListaPipe::ItemsSerieLote(g.TextMatrix(fila, art::Lotes))),
          series(ListaPipe::ItemsSerieLote(g.TextMatrix(fila, art::Series))) {}
    // Item j (from 1) of a list, untrimmed; "" past its end.
    static QString De(const QStringList& lista, int32_t j) { return j >= 1 && j <= lista.size() ? lista[j - 1] : QString(); }
    QString Lote(int32_t j) const { return De(lotes, j); }
    QString Serie(int32_t j) const { return De(series, j); }
};

// An entry line of sizes: the size flag set and a quantity for each size. Without that list
// (a blank flag cell reads set) the line is posted as a plain line, as on an exit.
bool TallesDeEntrada(const ui::FlexGrid& g, int fila) {
    return Marca(g, fila, art::PideTalle) && !EsBlanco(g.TextMatrix(fila, art::Series));
}

// How many items a line gives for the pass's sign; a sign of 0 keeps the last count.
int32_t ItemsDeLinea(const ContextoPosteo& ctx, const ui::FlexGrid& g, int32_t anterior) {
    const int f = ctx.Fila;
    const QString lotes = g.TextMatrix(f, art::Lotes);
    if (ctx.Signo == -1) return ListaPipe::Cuenta_Series_Lotes(lotes, QString());
    if (ctx.Signo != 1) return anterior;
    const QString series = g.TextMatrix(f, art::Series);
    if (TallesDeEntrada(g, f)) return ListaPipe::Cuenta_Series_Lotes(lotes, QString());
    if (Marca(g, f, art::PideSerie))
        return ctx.EsTransferencia ? ListaPipe::Cuenta_Series_Lotes(lotes, QString())
                                   : ListaPipe::Cuenta_Series_Lotes(series, lotes, true);
    return ListaPipe::Cuenta_Series_Lotes(series, lotes);
}

enum class Item {
    Escribe,           // the item is posted
    Salta,             // the item is not posted (its quantity is 0, or it is a blank lot inside the list)
    EscribeYTermina,   // the last record of the line: what remains of its quantity
    Termina,           // nothing remains of the line
    SinCantidades,     // an exit of several lots or sizes without the quantity of each: the voucher fails
};

// Sets the lot, series and quantity of the context's item. `escrito` is what the line's earlier
// records carried.
Item PreparaItem(ContextoPosteo& ctx, ui::FlexGrid& g, const ListasDeLinea& l, const QString& loteFijo,
                 double escrito) {
    const int f = ctx.Fila;
    const int32_t j = ctx.Item;
    ctx.CantidadItem = ADoble(g.TextMatrix(f, art::Cantidad));

    if (ctx.Signo == 1) {
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
    } else if (ctx.Signo == -1) {
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
        } else if (!EsBlanco(item)) {
            QString lote = item, serie;
            PartePar(item, lote, serie);
            ctx.Lote = RellenaCodigo(lote, kAnchoArticulo);
            ctx.Serie = EsBlanco(serie) ? QString() : RellenaCodigo(serie, kAnchoArticulo);
            return cantidadDelItem();
        } else {
            ctx.Lote.clear();
            ctx.Serie.clear();
        }
    }
    return Item::Escribe;
}

// Whether the line has another item after the context's one.
bool OtroItem(const ContextoPosteo& ctx, const ui::FlexGrid& g, double escrito) {
    const int32_t n = ctx.CantidadItems;
    if (ctx.Signo == -1) return ctx.Item < n && n > 1;
    if (ctx.Signo != 1) return false;
    if (TallesDeEntrada(g, ctx.Fila) || Marca(g, ctx.Fila, art::PideSerie)) return ctx.Item < n && n > 1;
    // Lots without series: until the line's quantity is posted.
    return n > 1 && escrito < Cantidad(g.TextMatrix(ctx.Fila, art::Cantidad));
}

// The movement type the voucher's journal entry is booked under, in statement mode. A setting not
// read sets `fallo`.
int16_t TipoMovimiento(const ContextoPosteo& ctx, bool& fallo) {
    const QString& tc = ctx.TC;
    const QString& origen = ctx.TcOrigen.valor;
    if (Es(tc, "IR") && Es(origen, "OC")) return 5;
    if (Es(tc, "RMC")) return 5;
    if (Es(tc, "IR") && Es(origen, "RM")) return 4;
    if (Es(tc, "RM") && ctx.EnComodato) return 2;
    if (Es(tc, "RM")) {
        const vb::ReadResult<QString> cuenta = core::ObtieneConfiguracion(QStringLiteral("CuentaCtroDist"));
        if (!cuenta.read()) {
            fallo = true;
            return 0;   // no entry is booked with it
        }
        if (Iguales(vb::Trim(cuenta.value()), vb::Trim(ctx.CuentaActual))) return 3;
    }
    if (Es(tc, "RM")) return 1;
    return 0;
}

// The statement that stamps a purchase order's reception date while it has none.
QString SentenciaRecepcionOC(const ContextoPosteo& ctx) {
    const QString donde = QStringLiteral("TC=") + LiteralReferencia(ctx.TcOrigen) + QStringLiteral(" and IDCOMPROBANTE=") +
                          LiteralReferencia(ctx.ComprobanteOrigen);
    return QStringLiteral("if exists(select * from c_mv_cpte  with(nolock)  where ") + donde +
           QStringLiteral(" and fecharecepcion is null)   UPDATE c_mv_cpte set FechaRecepcion=") +
           data::TextoSQL(ctx.Fecha) + QStringLiteral(" where ") + donde;
}

}  // namespace

void ClsCmnCptes::ActualizaStock(ui::FlexGrid& MSFlexGrid2, const QString& TC, const QString& SucNroLetra,
                                 const QString& IdComplemento, const QString& Fecha, const QString& IdDeposito,
                                 const QString& IdDepositoDestino, const QString& IdMotivoStock,
                                 const QString& TcOrigen, const QString& ComprobanteOrigen, bool EsTransferencia,
                                 const QString& Cuenta, bool GeneraSentenciaSQL, QString* SQLTemp, bool* HayError,
                                 const QString& IdTecnico, const QString& LoteFijo, const QString& Aduana,
                                 const QString& LoteOrigen, int16_t SignoRemota, bool MuestraCartel,
                                 const QString& IdVendedor, int32_t SecuenciaFija) {
    bool hayErrorPropio = false;
    bool& hayError = HayError ? *HayError : hayErrorPropio;
    hayError = false;

    if (EsBlanco(core::gUNegocio)) {
        ui::MsgBox(QStringLiteral("ERROR EN ASIGNACION DE UNIDAD DE NEGOCIO\r\n"
                                  "Verifique si el usuario tiene asignado una unidad de negocio"),
                   ui::vbCritical, QStringLiteral("Atencion!"));
        hayError = true;
        return;
    }

    posteo_ = PosteoEnCurso{};
    posteo_.enCurso = true;
    vb::ScopeGuard finPosteo([this] { posteo_ = PosteoEnCurso{}; });

    data::DB_Dll& db = data::gDBPrincipal();
    utillib::UtilTexto& util = core::gUtilTexto();
    ui::FlexGrid& g = MSFlexGrid2;

    // A failing step asks the operator; whatever the answer, short of a successful retry, the
    // voucher is not posted: its transaction rolls back and HayError tells the caller.
    bool fallo = false;
    vb::OnError on(TratamientoQueFalla("ActualizaStock", fallo, [] { core::gVentanaEspera().OcultaEspera(); }));
    vb::ScopeGuard ocultaEspera([&] {
        if (MuestraCartel) core::gVentanaEspera().OcultaEspera();
    });
    // Leaves the posting: nothing of the call stays written, nothing reaches the caller's batch.
    auto falla = [&] { hayError = true; };

    // Direct mode: the whole call is one transaction on the head-office connection; inside a
    // transaction of the caller's (the receiver's voucher) it is a savepoint of it, on either
    // provider: a call that fails takes back its own rows only, and the caller decides on the
    // rest. Statement mode: the call's statements join the caller's batch only once all of them
    // are built.
    std::unique_ptr<ado::Transaction> transaccion;
    if (!GeneraSentenciaSQL) on.run([&] { transaccion.reset(new ado::Transaction(db.Transaccion())); });
    if (on.left()) return falla();
    // The engine's settings, when they were not read at its construction: no voucher is posted
    // with their defaults.
    if (!configuracionLeida_) configuracionLeida_ = LeeConfiguracion();
    if (!configuracionLeida_) return falla();
    QString sentencias;

    ContextoPosteo ctx;
    ctx.TC = TC;
    ctx.SucNroLetra = SucNroLetra;
    ctx.IdComplemento = IdComplemento;
    ctx.Fecha = Fecha;
    ctx.EsTransferencia = EsTransferencia;
    ctx.IdTecnico = IdTecnico;
    ctx.Aduana = Aduana;
    ctx.LoteOrigen = LoteOrigen;
    ctx.IdVendedor = IdVendedor;
    ctx.SignoRemota = SignoRemota;
    ctx.PorcentajeIVA = porcentajeIVA_;
    ctx.LongitudDescripcion = gLenDesc;
    bool produccion = false;
    int pasadas = 1;

    // Set-up: the arguments into their record forms, the purchase order's receipt, the sign, the
    // voucher type's system, the passes, where the sequence starts, and the articles' data.
    // A setting or table a helper could not read (its error passed over or left there) fails the
    // voucher as a failing step of its own does: nothing is posted with the value not read.
    const auto leido = [&](bool sinLeer) {
        if (sinLeer) fallo = true;
    };
    on.run([&] {
        const vb::ReadResult<QString> valor = core::ObtieneConfiguracion(QStringLiteral("ConfirmaUDEquiv"));
        leido(!valor.read());
        ctx.EquivalenciaUD = valor.read() && core::FlagSI(valor.value());
    });
    on.run([&] {
        if (MuestraCartel) core::gVentanaEspera().MuestraEspera(QStringLiteral("Grabando Stock...."), 0);
    });
    on.run([&] {
        ctx.TcOrigen = TipoOrigen(TcOrigen);
        ctx.ComprobanteOrigen = NumeroOrigen(ComprobanteOrigen);
        ctx.IdDeposito = Deposito(ctx, IdDeposito);
        ctx.IdMotivoStock = Motivo(ctx, IdMotivoStock);
        ctx.IdDepositoDestino = Destino(IdDepositoDestino);
        ctx.Cuenta = Cuenta;
        ctx.CuentaActual = vb::Trim(Cuenta);
    });
    on.run([&] {
        // The purchase order's reception date, set once, by an invoice or delivery note that
        // comes from it, unless a reception voucher is required for that.
        const bool tipoRecibe = Es(TC, "FCC") || Es(TC, "RMC");
        // The origin type is compared in its literal form, brought to 4 characters.
        const bool deOrden = !ctx.TcOrigen.delGrid && Iguales(LiteralReferencia(ctx.TcOrigen), QStringLiteral("'OC'"));
        if (!tipoRecibe || !deOrden) return;
        const vb::ReadResult<QString> obligatorio = core::ObtieneConfiguracion(QStringLiteral("IR_Oblig"));
        leido(!obligatorio.read());
        if (obligatorio.read() && !core::FlagNoNO(obligatorio.value())) db.EjecutaConsultaSQL(SentenciaRecepcionOC(ctx));
    });
    on.run([&] {
        if (SignoRemota != 0) {
            ctx.Signo = SignoRemota;
            return;
        }
        const vb::ReadResult<int16_t> signo = SignoComprobante(TC, false);
        leido(!signo.read());
        if (signo.read()) ctx.Signo = signo.value();
    });
    vb::DoEvents();
    on.run([&] {
        const vb::ReadResult<vb::Variant> sistema = db.DatosTabla(QStringLiteral("V_TA_CPTE"), vb::Variant(TC),
                                                                  QStringLiteral("SISTEMA"), QStringLiteral("Codigo"), 8,
                                                                  QString(), true, false);
        leido(!sistema.read());
        ctx.Compras = sistema.read() && Es(util.ValorNoNulo(sistema.value()).text(), "COMPRAS");
        produccion = Es(TC, "OP");
        pasadas = EsTransferencia || produccion ? 2 : 1;
        ctx.Secuencia = SecuenciaFija > 0 ? SecuenciaFija : 0;
    });
    if (produccion) {
        ado::RecordsetPtr rs;
        on.run([&] {
            ctx.IdDepositoDestino = ctx.IdDeposito;
            // A production order adds to the rows its voucher (of this business unit) already
            // holds, leaving one number free after them.
            ado::Recordset& r = Abre(SqlUltimaSecuencia(TC, SucNroLetra, core::gUNegocio), rs);
            double maximo = r.Eof() ? 0 : util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("ULTIMA")).Value()));
            if (maximo != 0) maximo += 1;
            ctx.Secuencia = static_cast<int64_t>(maximo);
        });
        Cierra(rs);
    }
    // The supplier accounts, costs and inventory accounts of the voucher's articles, read at once.
    on.run([&] { ctx.Articulos.Carga(ArticulosDeLaGrilla(g)); });
    if (on.left() || fallo || ctx.SinLeer) return falla();

    // A later part of a voucher (its rows numbered on from SecuenciaFija) books into the entry the
    // voucher's earlier part opened; every other call opens an entry of its own. A call that fails
    // (its rows rolled back) leaves the entry as it found it.
    vb::ScopeGuard restauraAsiento([this, alEntrar = asientoPorFilas_] { asientoPorFilas_ = alEntrar; });
    const QString comprobante = RellenaCodigo(TC) + SucNroLetra + u'|' + vb::Trim(core::gUNegocio);
    on.run([&] {
        if (SecuenciaFija <= 0 || asientoPorFilas_.comprobante != comprobante) IniciaAsientoStock();
        asientoPorFilas_.comprobante = comprobante;
    });

    // The passes: a transfer leaves the origin (-1) and enters the destination (+1); a
    // production order enters its products (lines marked -1 in column CantidadInsumo) and takes
    // out its inputs (the other lines).
    bool detenido = false;   // a statement failed
    int32_t cantidadItems = 0;
    for (int pasada = 1; pasada <= pasadas && !detenido && !on.left(); ++pasada) {
        ctx.Pasada = pasada;
        if (EsTransferencia) ctx.Signo = pasada == 1 ? -1 : 1;
        else if (produccion) ctx.Signo = pasada == 1 ? 1 : -1;

        for (int fila = 1; fila < g.Rows() && !detenido && !on.left(); ++fila) {
            bool toma = false;
            std::optional<ListasDeLinea> listas;
            on.run([&] {
                toma = Cantidad(g.TextMatrix(fila, art::Cantidad)) != 0 && !g.TextMatrix(fila, art::IdArticulo).isEmpty();
                if (toma && produccion) toma = (pasada == 1) == (g.TextMatrix(fila, art::CantidadInsumo) == QLatin1String("-1"));
                if (!toma) return;
                ctx.Fila = fila;
                cantidadItems = ItemsDeLinea(ctx, g, cantidadItems);
                ctx.CantidadItems = cantidadItems;
                listas.emplace(g, fila);
            });
            if (!toma || !listas || on.left()) continue;

            ctx.Item = 0;
            double escrito = 0;        // what the line's records carried so far
            bool asentada = false;     // the line's journal lines are in a statement
            bool otro = true;
            while (otro && !detenido && !on.left()) {
                ++ctx.Secuencia;
                ++ctx.Item;
                Item paso = Item::Salta;
                double cantidad = 0;
                // The item is one step: its context, its journal lines and what it found are put
                // back when it fails, so Retry books it once and a failure leaves nothing of it.
                // Its statement, run or collected, is its last act.
                on.runKeeping([&] {
                    paso = PreparaItem(ctx, g, *listas, LoteFijo, escrito);
                    if (paso == Item::SinCantidades) {
                        ui::MsgBox(QStringLiteral("Falta la cantidad de cada lote del artículo ") +
                                       vb::Trim(g.TextMatrix(fila, art::IdArticulo)) + u'.',
                                   ui::vbCritical, QStringLiteral("Aviso al operador"));
                        detenido = true;
                        return;
                    }
                    vb::DoEvents();
                    if (paso == Item::Salta || paso == Item::Termina) return;
                    cantidad = CantidadMovimiento(ctx, g);
                    core::ListaCamposValores pares = MovimientoStock(ctx, g);
                    if (ctx.SinLeer) {   // a line without a deposit of its own, the default not read
                        detenido = true;
                        return;
                    }
                    QString sentencia = SentenciaMovimientoStock(pares);
                    vb::DoEvents();
                    if (MuestraCartel)
                        core::gVentanaEspera().ActualizaEspera(
                            0, QStringLiteral("Grabando Stock..."),
                            vb::Trim(g.TextMatrix(fila, art::IdArticulo)) + QStringLiteral("  ") +
                                g.TextMatrix(fila, art::Descripcion),
                            QString::number(fila) + QStringLiteral(" de ") + QString::number(g.Rows() - 1));
                    if (GeneraSentenciaSQL) {
                        sentencias += u'\r' + sentencia;
                        return;
                    }
                    // The line's journal lines go with its first record (a transfer's, with its
                    // origin record), so each line is booked once.
                    if (!asentada && (!EsTransferencia || pasada == 1)) {
                        bool sinAsiento = false;
                        const QString asiento = AsientoDeFila(g, ctx, fila, 0, &sinAsiento);
                        if (sinAsiento) {
                            detenido = true;
                            return;
                        }
                        if (!asiento.isEmpty()) sentencia += QStringLiteral("\r\n ") + asiento;
                    }
                    if (!EjecutaSentencia(sentencia, AvisaSentenciasRechazadas)) {
                        detenido = true;
                        return;
                    }
                    asentada = true;
                }, ctx, asientoPorFilas_, ultimosNros_, ultimoNroAsiento_, paso, cantidad);
                vb::DoEvents();
                if (paso == Item::Salta || paso == Item::Termina) --ctx.Secuencia;
                else escrito += cantidad;
                otro = paso != Item::Termina && paso != Item::EscribeYTermina && OtroItem(ctx, g, escrito);
            }
        }
    }
    if (detenido || on.left() || fallo) return falla();

    // The inputs of the articles posted; a transfer discharges them a second time, with the
    // opposite sign, so that the destination's inputs are left as they were.
    vb::DoEvents();
    if (!DescargaInsumos(g, ctx, pasadas + 1, GeneraSentenciaSQL, sentencias, on) || fallo) return falla();
    if (EsTransferencia) {
        ctx.Signo = static_cast<int16_t>(-ctx.Signo);
        if (!DescargaInsumos(g, ctx, 3, GeneraSentenciaSQL, sentencias, on) || fallo) return falla();
    }
    if (MuestraCartel) on.run([&] { core::gVentanaEspera().OcultaEspera(); });
    if (GeneraSentenciaSQL) {
        on.run([&] {
            bool sinAsiento = false;
            const int16_t tipoMov = TipoMovimiento(ctx, sinAsiento);
            const QString asiento = sinAsiento ? QString() : AsientoDeFila(g, ctx, 0, tipoMov, &sinAsiento);
            if (sinAsiento) fallo = true;
            if (!asiento.isEmpty()) sentencias += u'\r' + asiento;
        });
    }
    if (transaccion) on.run([&] { transaccion->Commit(); });
    vb::DoEvents();
    if (on.left() || fallo) return falla();
    restauraAsiento.dismiss();
    if (SQLTemp) *SQLTemp += sentencias;
}

QString ClsCmnCptes::AsientoDeFila(ui::FlexGrid& grilla, ContextoPosteo& ctx, int32_t fila, int16_t tipoMov,
                                   bool* hayError) {
    QString motivo = ctx.IdMotivoStock.nulo ? QStringLiteral("NULL") : ctx.IdMotivoStock.valor;
    QString tc = ctx.TC;
    QString suc = vb::Mid(ctx.SucNroLetra, 1, 4);
    QString nro = vb::Mid(ctx.SucNroLetra, 5, 8);
    QString letra = vb::Mid(ctx.SucNroLetra, 13, 1);
    bool esDebito = true;
    int16_t secuencia = 1;
    // Row by row, the row's side follows the sign it was posted with (a production order's
    // products and inputs go on opposite sides).
    DelPosteo delPosteo{fila > 0 ? std::optional<int16_t>(ctx.Signo) : std::nullopt, &ctx.Articulos};
    return GeneraAsiento(grilla, motivo, tc, suc, nro, letra, ctx.Fecha, esDebito, tipoMov, fila, &secuencia, hayError,
                         delPosteo);
}

}  // namespace posting
