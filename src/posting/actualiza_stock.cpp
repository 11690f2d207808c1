// ActualizaStock: a filled articles grid posted as stock movements, one V_MV_STOCK row per line
// and per lot, series or size item (items_linea.h), with the journal entry of the movement.
//
// One call is one PosteoStock, which runs these steps in order; each ends the call when the voucher
// cannot be posted:
//   Prepara    the transaction (direct mode), the engine's settings, the request in its record
//              forms, the purchase order's reception, the sign, the passes, where the sequence
//              starts, the articles' data, the entry the rows book into
//   Lineas     the passes over the grid: each line's items, each item's row with its journal lines
//   Descarga   the inputs of the articles posted (descarga_insumos.cpp)
//   Asiento    statement mode: the voucher's journal statements after every row
//   Confirma   the commit; the entry the call booked row by row is kept only then
// The call's outcome is one ResultadoPosteo. The set-up runs all its steps and ends the call after
// them on any reason. In the walk of the lines an error the operator passes over (Ignore) lets the
// walk go on to its end; every other reason stops it where it arose, and is the one the result
// names. After the walk any reason ends the call. Whatever the reason, nothing of the voucher stays.
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
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/items_linea.h"
#include "posting/movimiento_stock.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <cassert>
#include <memory>
#include <optional>

namespace posting {

namespace {

bool EsDelGrid(const QString& s) { return Es(s, "ELDELGRID"); }   // "take the value from each line"

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
    const QString sinApostrofes = SinApostrofes(motivo);
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

// The movement type the voucher's journal entry is booked under, in statement mode; none when a
// setting was not read (no entry is booked without it).
std::optional<int16_t> TipoMovimiento(const ContextoPosteo& ctx) {
    const QString& tc = ctx.TC;
    const QString& origen = ctx.TcOrigen.valor;
    if (Es(tc, "IR") && Es(origen, "OC")) return 5;
    if (Es(tc, "RMC")) return 5;
    if (Es(tc, "IR") && Es(origen, "RM")) return 4;
    if (Es(tc, "RM") && ctx.EnComodato) return 2;
    if (Es(tc, "RM")) {
        const vb::ReadResult<QString> cuenta = core::ObtieneConfiguracion(QStringLiteral("CuentaCtroDist"));
        if (!cuenta.read()) return std::nullopt;
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

// The voucher a posting call books its entry for: its type, number and business unit.
QString ClaveComprobante(const QString& tc, const QString& sucNroLetra, const QString& unidad) {
    return RellenaCodigo(tc) + sucNroLetra + u'|' + vb::Trim(unidad);
}

}  // namespace

class ClsCmnCptes::PosteoStock {
public:
    PosteoStock(ClsCmnCptes& motor, ui::FlexGrid& grilla, const PedidoPosteo& pedido);
    // Puts back the entry of a call that did not post, rolls back its transaction, hides the wait
    // window: a call that fails leaves nothing of itself.
    ~PosteoStock();
    PosteoStock(const PosteoStock&) = delete;
    PosteoStock& operator=(const PosteoStock&) = delete;

    ResultadoPosteo Corre();

private:
    bool Prepara();
    void LlenaContexto();
    void LeeArgumentos();
    void LeeComprobante();
    bool AbreAsiento();
    bool Lineas();
    void Linea(int pasada, int fila);
    Item EscribeItem(int fila, const ListasDeLinea& listas, double escrito, bool& asentada, double& cantidad);
    bool Descarga();
    bool Asiento();
    void Confirma();

    // The posting's error question: the wait window hidden first; any answer but Retry fails the voucher.
    int Pregunta(const vb::Error& e);
    // Records a reason the voucher fails for: the first stays, except that a reason that stops the
    // call replaces an error passed over.
    void Falla(FallaPosteo falla);
    template <class T>
    void Leido(const vb::ReadResult<T>& valor) {
        if (!valor.read()) Falla(FallaPosteo::ValorNoLeido);   // asked about where it was read
    }
    bool Posteado() const { return r_.Posteado(); }
    // Nothing stops the walk of the lines (an error passed over lets it go on, to fail after it).
    bool Sigue() const { return r_.Posteado() || r_.falla == FallaPosteo::ErrorPasado; }

    ClsCmnCptes& m_;
    ui::FlexGrid& g_;
    const PedidoPosteo& p_;
    ResultadoPosteo r_;
    vb::OnError on_;
    std::unique_ptr<ado::Transaction> transaccion_;   // direct mode
    ContextoPosteo ctx_;
    std::optional<AsientoPorFilas> asientoAlEntrar_;  // the entry as the call found it, until it posts
    bool produccion_ = false;                         // a production order ("OP")
    int pasadas_ = 1;
    int64_t ultimaSecuencia_ = 0;                     // the sequence of the last row written
};

ClsCmnCptes::PosteoStock::PosteoStock(ClsCmnCptes& motor, ui::FlexGrid& grilla, const PedidoPosteo& pedido)
    : m_(motor), g_(grilla), p_(pedido), on_([this](const vb::Error& e) { return Pregunta(e); }) {
    m_.posteo_ = PosteoEnCurso{};
    m_.posteo_.enCurso = true;
}

ClsCmnCptes::PosteoStock::~PosteoStock() {
    if (asientoAlEntrar_) m_.asientoPorFilas_ = std::move(*asientoAlEntrar_);
    transaccion_.reset();
    if (p_.MuestraCartel) core::gVentanaEspera().OcultaEspera();
    m_.posteo_ = PosteoEnCurso{};
}

int ClsCmnCptes::PosteoStock::Pregunta(const vb::Error& e) {
    core::gVentanaEspera().OcultaEspera();
    const int respuesta = Tratamiento("ActualizaStock")(e);
    if (respuesta == vb::kIgnore) Falla(FallaPosteo::ErrorPasado);
    else if (respuesta != vb::kRetry) Falla(FallaPosteo::ErrorDejado);
    return respuesta;
}

void ClsCmnCptes::PosteoStock::Falla(FallaPosteo falla) {
    if (falla == FallaPosteo::Ninguna) return;
    if (r_.Posteado() || (r_.falla == FallaPosteo::ErrorPasado && falla != FallaPosteo::ErrorPasado)) r_.falla = falla;
}

ResultadoPosteo ClsCmnCptes::PosteoStock::Corre() {
    if (Prepara() && Lineas() && Descarga() && Asiento()) Confirma();
    assert(!on_.left() || !r_.Posteado());   // a call its runner left is never posted
    if (!r_.Posteado()) r_.sentencias.clear();
    return r_;
}

// ---- set-up ----

bool ClsCmnCptes::PosteoStock::Prepara() {
    // Direct mode: the whole call is one transaction on the head-office connection; inside a
    // transaction of the caller's (the receiver's voucher) it is a savepoint of it, on either
    // provider: a call that fails takes back its own rows only, and the caller decides on the
    // rest. Nothing of the call runs outside it. Statement mode: the call's statements join the
    // caller's batch only once all of them are built.
    if (!p_.GeneraSentenciaSQL) on_.run([&] { transaccion_.reset(new ado::Transaction(data::gDBPrincipal().Transaccion())); });
    if (!Posteado()) return false;
    // The engine's settings, when they were not read at its construction: no voucher is posted
    // with their defaults.
    if (!m_.configuracionLeida_) m_.configuracionLeida_ = m_.LeeConfiguracion();
    if (!m_.configuracionLeida_) {
        Falla(FallaPosteo::ValorNoLeido);
        return false;
    }
    // A setting or table a helper could not read (its error passed over or left there) fails the
    // voucher as a failing step of its own does: nothing is posted with the value not read. The
    // set-up's steps all run, and the call ends after them.
    LlenaContexto();
    LeeArgumentos();
    LeeComprobante();
    // The supplier accounts, costs and inventory accounts of the voucher's articles, read at once.
    on_.run([&] { ctx_.Articulos.Carga(ArticulosDeLaGrilla(g_)); });
    if (ctx_.SinLeer) Falla(FallaPosteo::ValorNoLeido);
    return Posteado() && AbreAsiento();
}

void ClsCmnCptes::PosteoStock::LlenaContexto() {
    ctx_.TC = p_.TC;
    ctx_.SucNroLetra = p_.SucNroLetra;
    ctx_.IdComplemento = p_.IdComplemento;
    ctx_.Fecha = p_.Fecha;
    ctx_.EsTransferencia = p_.EsTransferencia;
    ctx_.IdTecnico = p_.IdTecnico;
    ctx_.Aduana = p_.Aduana;
    ctx_.LoteOrigen = p_.LoteOrigen;
    ctx_.IdVendedor = p_.IdVendedor;
    ctx_.SignoRemota = p_.SignoRemota;
    ctx_.UNegocio = p_.UNegocio;
    ctx_.Caja = p_.Caja;
    ctx_.PorcentajeIVA = m_.porcentajeIVA_;
    ctx_.LongitudDescripcion = m_.gLenDesc;
}

// The arguments into their record forms, and the purchase order's reception.
void ClsCmnCptes::PosteoStock::LeeArgumentos() {
    on_.run([&] {
        const vb::ReadResult<bool> confirma = core::ConfiguracionSI(QStringLiteral("ConfirmaUDEquiv"));
        Leido(confirma);
        ctx_.EquivalenciaUD = confirma.read() && confirma.value();
    });
    on_.run([&] {
        if (p_.MuestraCartel) core::gVentanaEspera().MuestraEspera(QStringLiteral("Grabando Stock...."), 0);
    });
    on_.run([&] {
        ctx_.TcOrigen = TipoOrigen(p_.TcOrigen);
        ctx_.ComprobanteOrigen = NumeroOrigen(p_.ComprobanteOrigen);
        ctx_.IdDeposito = Deposito(ctx_, p_.IdDeposito);
        ctx_.IdMotivoStock = Motivo(ctx_, p_.IdMotivoStock);
        ctx_.IdDepositoDestino = Destino(p_.IdDepositoDestino);
        ctx_.Cuenta = p_.Cuenta;
        ctx_.CuentaActual = vb::Trim(p_.Cuenta);
    });
    on_.run([&] {
        // The purchase order's reception date, set once, by an invoice or delivery note that
        // comes from it, unless a reception voucher is required for that.
        const bool tipoRecibe = Es(p_.TC, "FCC") || Es(p_.TC, "RMC");
        // The origin type is compared in its literal form, brought to 4 characters.
        const bool deOrden = !ctx_.TcOrigen.delGrid && Iguales(LiteralReferencia(ctx_.TcOrigen), QStringLiteral("'OC'"));
        if (!tipoRecibe || !deOrden) return;
        const vb::ReadResult<QString> obligatorio = core::ObtieneConfiguracion(QStringLiteral("IR_Oblig"));
        Leido(obligatorio);
        if (obligatorio.read() && !core::FlagNoNO(obligatorio.value()))
            data::gDBPrincipal().EjecutaConsultaSQL(SentenciaRecepcionOC(ctx_));
    });
}

// The sign, the voucher type's system, the passes and where the sequence starts.
void ClsCmnCptes::PosteoStock::LeeComprobante() {
    on_.run([&] {
        if (p_.SignoRemota != 0) {
            ctx_.Signo = p_.SignoRemota;
            return;
        }
        const vb::ReadResult<int16_t> signo = m_.ObtieneSignoComprobante(p_.TC);
        Leido(signo);
        if (signo.read()) ctx_.Signo = signo.value();
    });
    vb::DoEvents();
    on_.run([&] {
        const vb::ReadResult<vb::Variant> sistema =
            data::gDBPrincipal().DatosTabla(QStringLiteral("V_TA_CPTE"), vb::Variant(p_.TC), QStringLiteral("SISTEMA"),
                                            QStringLiteral("Codigo"), 8, QString(), true, false);
        Leido(sistema);
        ctx_.Compras = sistema.read() && Es(core::gUtilTexto().ValorNoNulo(sistema.value()).text(), "COMPRAS");
        produccion_ = Es(p_.TC, "OP");
        pasadas_ = p_.EsTransferencia || produccion_ ? 2 : 1;
        ctx_.Secuencia = p_.SecuenciaFija > 0 ? p_.SecuenciaFija : 0;
    });
    if (!produccion_) return;
    ado::RecordsetPtr rs;
    on_.run([&] {
        ctx_.IdDepositoDestino = ctx_.IdDeposito;
        // A production order adds to the rows its voucher (of this business unit) already
        // holds, leaving one number free after them.
        utillib::UtilTexto& util = core::gUtilTexto();
        ado::Recordset& r = Abre(SqlUltimaSecuencia(p_.TC, p_.SucNroLetra, p_.UNegocio), rs);
        double maximo = r.Eof() ? 0 : util.ADoble(util.ValorNoNulo(r.Fields(QStringLiteral("ULTIMA")).Value()));
        if (maximo != 0) maximo += 1;
        ctx_.Secuencia = static_cast<int64_t>(maximo);
    });
    Cierra(rs);
}

// A later part of a voucher (its rows numbered on from SecuenciaFija) books into the entry the
// voucher's earlier part opened; every other call opens an entry of its own. A call that fails
// (its rows rolled back) leaves the entry as it found it.
bool ClsCmnCptes::PosteoStock::AbreAsiento() {
    asientoAlEntrar_ = m_.asientoPorFilas_;
    const QString comprobante = ClaveComprobante(p_.TC, p_.SucNroLetra, p_.UNegocio);
    on_.run([&] {
        if (p_.SecuenciaFija <= 0 || m_.asientoPorFilas_.comprobante != comprobante) m_.IniciaAsientoStock();
        m_.asientoPorFilas_.comprobante = comprobante;
    });
    ultimaSecuencia_ = ctx_.Secuencia;
    return Posteado();
}

// ---- lines ----

// The passes: a transfer leaves the origin (-1) and enters the destination (+1); a production
// order enters its products (lines marked -1 in column CantidadInsumo) and takes out its inputs
// (the other lines).
bool ClsCmnCptes::PosteoStock::Lineas() {
    for (int pasada = 1; pasada <= pasadas_ && Sigue(); ++pasada) {
        ctx_.Pasada = pasada;
        if (p_.EsTransferencia) ctx_.Signo = pasada == 1 ? -1 : 1;
        else if (produccion_) ctx_.Signo = pasada == 1 ? 1 : -1;
        for (int fila = 1; fila < g_.Rows() && Sigue(); ++fila) Linea(pasada, fila);
    }
    return Posteado();
}

// One line of the grid in one pass: its items in turn, each a record numbered on from the last.
void ClsCmnCptes::PosteoStock::Linea(int pasada, int fila) {
    bool toma = false;
    std::optional<ListasDeLinea> listas;
    on_.run([&] {
        toma = Cantidad(g_.TextMatrix(fila, art::Cantidad)) != 0 && !g_.TextMatrix(fila, art::IdArticulo).isEmpty();
        if (toma && produccion_) toma = (pasada == 1) == (g_.TextMatrix(fila, art::CantidadInsumo) == QLatin1String("-1"));
        if (!toma) return;
        ctx_.Fila = fila;
        ctx_.CantidadItems = ItemsDeLinea(ctx_, g_);
        listas.emplace(g_, fila);
    });
    if (!toma || !listas || on_.left()) return;

    ctx_.Item = 0;
    double escrito = 0;      // what the line's records carried so far
    bool asentada = false;   // the line's journal lines are in a statement
    bool otro = true;
    while (otro && Sigue()) {
        ++ctx_.Secuencia;
        ++ctx_.Item;
        Item paso = Item::Salta;
        double cantidad = 0;
        // The item is one step: its context, its journal lines and what it found are put back
        // when it fails, so Retry books it once and a failure leaves nothing of it. Its
        // statement, run or collected, is its last act.
        on_.runKeeping([&] { paso = EscribeItem(fila, *listas, escrito, asentada, cantidad); }, ctx_,
                       m_.asientoPorFilas_, m_.ultimosNros_, m_.ultimoNroAsiento_, paso, cantidad);
        vb::DoEvents();
        if (paso == Item::Salta || paso == Item::Termina) --ctx_.Secuencia;
        else escrito += cantidad;
        otro = paso != Item::Termina && paso != Item::EscribeYTermina && OtroItem(ctx_, g_, escrito);
    }
}

// The context's item: its record, run with the line's journal lines (direct mode) or collected.
Item ClsCmnCptes::PosteoStock::EscribeItem(int fila, const ListasDeLinea& listas, double escrito, bool& asentada,
                                           double& cantidad) {
    const Item paso = PreparaItem(ctx_, g_, listas, p_.LoteFijo, escrito);
    if (paso == Item::SinCantidades) {
        ui::MsgBox(QStringLiteral("Falta la cantidad de cada lote del artículo ") +
                       vb::Trim(g_.TextMatrix(fila, art::IdArticulo)) + u'.',
                   ui::vbCritical, QStringLiteral("Aviso al operador"));
        Falla(FallaPosteo::SinCantidades);
        return paso;
    }
    vb::DoEvents();
    if (paso == Item::Salta || paso == Item::Termina) return paso;
    cantidad = CantidadMovimiento(ctx_, g_);
    core::ListaCamposValores pares = MovimientoStock(ctx_, g_);
    if (ctx_.SinLeer) {   // a line without a deposit of its own, the default not read
        Falla(FallaPosteo::ValorNoLeido);
        return paso;
    }
    QString sentencia = SentenciaMovimientoStock(pares);
    vb::DoEvents();
    if (p_.MuestraCartel)
        core::gVentanaEspera().ActualizaEspera(
            0, QStringLiteral("Grabando Stock..."),
            vb::Trim(g_.TextMatrix(fila, art::IdArticulo)) + QStringLiteral("  ") + g_.TextMatrix(fila, art::Descripcion),
            QString::number(fila) + QStringLiteral(" de ") + QString::number(g_.Rows() - 1));
    // The voucher's rows are numbered on from where the set-up started them, without a gap.
    assert(ctx_.Secuencia == ultimaSecuencia_ + 1);
    if (p_.GeneraSentenciaSQL) {
        r_.sentencias += u'\r' + sentencia;
        ultimaSecuencia_ = ctx_.Secuencia;
        return paso;
    }
    // The line's journal lines go with its first record (a transfer's, with its origin record), so
    // each line is booked once.
    if (!asentada && (!p_.EsTransferencia || ctx_.Pasada == 1)) {
        const ResultadoPosteo asiento = m_.AsientoDeFila(g_, ctx_, fila, 0);
        if (!asiento.Posteado()) {
            Falla(asiento.falla);
            return paso;
        }
        if (!asiento.sentencias.isEmpty()) sentencia += QStringLiteral("\r\n ") + asiento.sentencias;
    }
    assert(transaccion_ && transaccion_->open());   // direct mode: every statement inside the call's transaction
    if (!EjecutaSentencia(sentencia, m_.AvisaSentenciasRechazadas)) {
        Falla(FallaPosteo::SentenciaRechazada);
        return paso;
    }
    ultimaSecuencia_ = ctx_.Secuencia;
    asentada = true;
    return paso;
}

// ---- input discharge, journal, commit ----

// The inputs of the articles posted; a transfer discharges them a second time, with the opposite
// sign, so that the destination's inputs are left as they were.
bool ClsCmnCptes::PosteoStock::Descarga() {
    vb::DoEvents();
    Falla(m_.DescargaInsumos(g_, ctx_, pasadas_ + 1, p_.GeneraSentenciaSQL, r_.sentencias, on_));
    if (Posteado() && p_.EsTransferencia) {
        ctx_.Signo = static_cast<int16_t>(-ctx_.Signo);
        Falla(m_.DescargaInsumos(g_, ctx_, 3, p_.GeneraSentenciaSQL, r_.sentencias, on_));
    }
    if (ctx_.SinLeer) Falla(FallaPosteo::ValorNoLeido);   // a row's deposit was not read
    return Posteado();
}

// Statement mode: the voucher's journal statements, after every row.
bool ClsCmnCptes::PosteoStock::Asiento() {
    if (p_.MuestraCartel) on_.run([&] { core::gVentanaEspera().OcultaEspera(); });
    if (p_.GeneraSentenciaSQL) {
        on_.run([&] {
            const std::optional<int16_t> tipoMov = TipoMovimiento(ctx_);
            if (!tipoMov) return Falla(FallaPosteo::ValorNoLeido);
            const ResultadoPosteo asiento = m_.AsientoDeFila(g_, ctx_, 0, *tipoMov);
            if (!asiento.Posteado()) return Falla(asiento.falla);
            if (!asiento.sentencias.isEmpty()) r_.sentencias += u'\r' + asiento.sentencias;
        });
    }
    // Nothing is committed after a failure.
    return Posteado();
}

void ClsCmnCptes::PosteoStock::Confirma() {
    if (transaccion_) on_.run([&] { transaccion_->Commit(); });
    vb::DoEvents();
    if (Posteado()) asientoAlEntrar_.reset();
}

// ---- the operations ----

ResultadoPosteo ClsCmnCptes::ActualizaStock(ui::FlexGrid& MSFlexGrid2, const PedidoPosteo& pedido) {
    // The grid is read by the articles grid's column numbers: it is laid out as that grid.
    assert(MSFlexGrid2.Cols() >= art::kColumnas);
    if (EsBlanco(pedido.UNegocio)) {
        ui::MsgBox(QStringLiteral("ERROR EN ASIGNACION DE UNIDAD DE NEGOCIO\r\n"
                                  "Verifique si el usuario tiene asignado una unidad de negocio"),
                   ui::vbCritical, QStringLiteral("Atencion!"));
        return ResultadoPosteo{FallaPosteo::SinUnidadDeNegocio, QString()};
    }
    PosteoStock posteo(*this, MSFlexGrid2, pedido);
    return posteo.Corre();
}

void ClsCmnCptes::ActualizaStock(ui::FlexGrid& MSFlexGrid2, const QString& TC, const QString& SucNroLetra,
                                 const QString& IdComplemento, const QString& Fecha, const QString& IdDeposito,
                                 const QString& IdDepositoDestino, const QString& IdMotivoStock,
                                 const QString& TcOrigen, const QString& ComprobanteOrigen, bool EsTransferencia,
                                 const QString& Cuenta, bool GeneraSentenciaSQL, QString* SQLTemp, bool* HayError,
                                 const QString& IdTecnico, const QString& LoteFijo, const QString& Aduana,
                                 const QString& LoteOrigen, int16_t SignoRemota, bool MuestraCartel,
                                 const QString& IdVendedor, int32_t SecuenciaFija) {
    PedidoPosteo p;
    p.TC = TC;
    p.SucNroLetra = SucNroLetra;
    p.IdComplemento = IdComplemento;
    p.Fecha = Fecha;
    p.IdDeposito = IdDeposito;
    p.IdDepositoDestino = IdDepositoDestino;
    p.IdMotivoStock = IdMotivoStock;
    p.TcOrigen = TcOrigen;
    p.ComprobanteOrigen = ComprobanteOrigen;
    p.EsTransferencia = EsTransferencia;
    p.Cuenta = Cuenta;
    p.GeneraSentenciaSQL = GeneraSentenciaSQL;
    p.IdTecnico = IdTecnico;
    p.LoteFijo = LoteFijo;
    p.Aduana = Aduana;
    p.LoteOrigen = LoteOrigen;
    p.SignoRemota = SignoRemota;
    p.MuestraCartel = MuestraCartel;
    p.IdVendedor = IdVendedor;
    p.SecuenciaFija = SecuenciaFija;
    p.UNegocio = core::gUNegocio;
    p.Caja = core::gCaja;
    const ResultadoPosteo r = ActualizaStock(MSFlexGrid2, p);
    if (HayError) *HayError = !r.Posteado();
    if (SQLTemp) *SQLTemp += r.sentencias;
}

ResultadoPosteo ClsCmnCptes::AsientoDeFila(ui::FlexGrid& grilla, ContextoPosteo& ctx, int32_t fila, int16_t tipoMov) {
    assert(posteo_.enCurso);   // a step of a posting call
    // Row by row, the rows book into the entry the call opened for this voucher.
    assert(fila == 0 || asientoPorFilas_.comprobante == ClaveComprobante(ctx.TC, ctx.SucNroLetra, ctx.UNegocio));
    QString motivo = ctx.IdMotivoStock.nulo ? QStringLiteral("NULL") : ctx.IdMotivoStock.valor;
    QString tc = ctx.TC;
    QString suc = vb::Mid(ctx.SucNroLetra, 1, 4);
    QString nro = vb::Mid(ctx.SucNroLetra, 5, 8);
    QString letra = vb::Mid(ctx.SucNroLetra, 13, 1);
    bool esDebito = true;
    int16_t secuencia = 1;
    // Row by row, the row's side follows the sign it was posted with (a production order's
    // products and inputs go on opposite sides). The till is written as the rows write it.
    const DelPosteo delPosteo{ctx.UNegocio, SinApostrofes(ctx.Caja),
                              fila > 0 ? std::optional<int16_t>(ctx.Signo) : std::nullopt, &ctx.Articulos};
    ResultadoPosteo r = GeneraAsiento(grilla, motivo, tc, suc, nro, letra, ctx.Fecha, esDebito, tipoMov, fila,
                                      &secuencia, true, delPosteo);
    assert(r.Posteado() || r.falla == FallaPosteo::SinAsiento);
    return r;
}

}  // namespace posting
