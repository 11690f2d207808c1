// The journal entry from stock: GeneraAsientoStock turns the stock an articles grid moves into
// the lines of one MV_ASIENTOS entry.
//
// An entry is one counter-account line carrying the movement's total and one line per inventory
// account of the articles moved (V_MA_ARTICULOS.cuentacontableC), on the other side. Amounts are
// quantity x amount column, kept as Currency. Every entry balances: a negative account amount is
// written positive on the counter-account's side, and a negative total puts the counter line,
// with the absolute total, on the inventory side; a zero total writes no counter line. The lines
// are checked before any statement is made: an entry whose debits and credits differ is refused
// with a box, and the call fails (SinAsiento).
//
// Row by row (SoloRegistro > 0) each call books one grid row into the posting call's entry (a
// later part of a long voucher continues its earlier part's): its number is taken at the first
// call and is new to it, so the engine keeps the entry's lines in memory: a line whose account and side the entry already has gets an UPDATE
// that adds to it, a new line takes the entry's next sequence, and every line carries the
// entry's total so far (CABImporte). The reason, the register type and the articles' accounts
// are asked once per posting call. The statements are narrowed to the entry (number, month and
// period), so two vouchers that share type and number (two stores) never mix their lines.
// MV_ASIENTOS.TC is written as given and read padded to 4.
//
// One call is one AsientoStock, in these steps; each may end the call (nothing to book, or failed):
//   Lado              the counter-account's side, its reason and the amount column, by movement type
//   Contrapartida     the reason's counter-account and description
//   RegistroYNumero   the register type, the month and the entry's number
//   Lineas            the articles' amounts by inventory account, and the balanced lines
//   Sentencias        the INSERTs (and, row by row, the UPDATEs) of the lines
#include "core/armado_sql.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"
#include "posting/asientos_numeracion.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/datos_articulos.h"
#include "posting/numeracion.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace posting {

namespace {

const QString kAviso = QStringLiteral("Aviso al Operador");

// Sales types get an entry only for their cost of sales (TipoMov 99); purchase types never.
const QStringList kVentas = {QStringLiteral("FC"), QStringLiteral("TK"),  QStringLiteral("FKFC"), QStringLiteral("FP"),
                             QStringLiteral("NC"), QStringLiteral("NCP"), QStringLiteral("ND")};
const QStringList kCompras = {QStringLiteral("FCC"), QStringLiteral("FPC"), QStringLiteral("NCC"),
                              QStringLiteral("NCCP"), QStringLiteral("NDC")};
// Cost of sales: the counter-account (cost of goods) is debited for these, credited for returns.
const QStringList kCostoAlDebe = {QStringLiteral("FC"), QStringLiteral("TK"), QStringLiteral("TKFC"),
                                  QStringLiteral("FP"), QStringLiteral("ND")};
const QStringList kCostoAlHaber = {QStringLiteral("NC"), QStringLiteral("NCFP")};

// Movement types 1 to 5: the setting naming the reason whose account is the counter-account, and
// whether it is debited (on a differences grid the reason is kept and the side turned).
struct PorMovimiento {
    const char* clave;
    bool debito;
};
constexpr PorMovimiento kPorMovimiento[] = {{"MotivoStockRemito", true},
                                            {"MotivoStockComodato", true},
                                            {"MotivoStockTransferencias", true},
                                            {"MotivoStockTransferencias", false},
                                            {"MotivoStockRecepcionOC", false}};

bool EnLista(const QString& tc, const QStringList& lista) { return core::gUtilTexto().EstaEnLista(tc, lista); }

QString Cita(const QString& valor) { return data::TextoSQL(valor); }   // a quoted literal
QString ImporteSQL(const vb::Currency& importe) {
    return data::gDBPrincipal().SQLValue(vb::Variant(importe.toString()), QStringLiteral("@")).text();
}

// One line of the entry.
struct Linea {
    QString cuenta;
    QChar lado;   // 'D' or 'H'
    vb::Currency importe;
    int16_t secuencia = 0;
};

// What every line of one entry carries, as SQL literals where the line's INSERT takes them.
struct Cabecera {
    QString mes, numero, fecha, detalle, tc, suc, nro, letra, periodo, tipoReg, fechaHora, usuario, total,
        contrapartida, motivo, unegocio, idCajas;
    QString tcOrigen, cpteOrigen;   // cost of sales only
};

QString InsertLinea(const Linea& linea, const Cabecera& c) {
    core::ListaCamposValores pares = {
        {QStringLiteral("Cuenta"), Cita(linea.cuenta)},
        {QStringLiteral("Secuencia"), Cita(QString::number(linea.secuencia))},
        {QStringLiteral("Mes_Operativo"), c.mes},
        {QStringLiteral("[Numero Asiento]"), c.numero},
        {QStringLiteral("Fecha"), c.fecha},
        {QStringLiteral("FechaSubDiario"), c.fecha},
        {QStringLiteral("Detalle"), c.detalle},
        {QStringLiteral("TC"), c.tc},
        {QStringLiteral("SUCURSAL"), c.suc},
        {QStringLiteral("NUMERO"), c.nro},
        {QStringLiteral("LETRA"), c.letra},
        {QStringLiteral("PERIODO"), c.periodo},
        {QStringLiteral("Tipo_Reg"), c.tipoReg},
        {QStringLiteral("[DEBE-HABER]"), Cita(QString(linea.lado))},
        {QStringLiteral("FechaHora_Grabacion"), c.fechaHora},
        {QStringLiteral("USUARIO_LOGEADO"), c.usuario},
        {QStringLiteral("Importe"), ImporteSQL(linea.importe)},
        {QStringLiteral("Moneda"), QStringLiteral("'   1'")},
        {QStringLiteral("Cotizacion"), QStringLiteral("1")},
        {QStringLiteral("CABImporte"), c.total},
        {QStringLiteral("CABCuenta"), c.contrapartida},
        {QStringLiteral("CABNombre"), c.motivo},
        {QStringLiteral("Unegocio"), c.unegocio},
        {QStringLiteral("IdCajas"), c.idCajas},
    };
    if (!c.tcOrigen.isEmpty()) {
        pares.push_back({QStringLiteral("TC_ORIGEN"), c.tcOrigen});
        pares.push_back({QStringLiteral("CPTE_ORIGEN"), c.cpteOrigen});
    }
    QString sentencia = QStringLiteral("INSERT INTO MV_ASIENTOS ");
    core::ArmaListaValues(sentencia, pares, true);
    return sentencia;
}

// The (article code, amount) list of the rows booked, in first-seen order, one entry per code.
std::vector<std::pair<QString, vb::Currency>> ListaArticulos(ui::FlexGrid& grid, int32_t soloRegistro,
                                                             int columnaImporte) {
    utillib::UtilTexto& util = core::gUtilTexto();
    std::vector<std::pair<QString, vb::Currency>> lista;
    QHash<QString, size_t> posicion;
    const int32_t desde = soloRegistro > 0 ? soloRegistro : 1;
    const int32_t hasta = soloRegistro > 0 ? soloRegistro : grid.Rows() - 1;
    for (int32_t fila = desde; fila <= hasta; ++fila) {
        grid.SetRow(fila);
        const QString codigo = util.Rellena(grid.TextMatrix(fila, art::IdArticulo), 25);
        const vb::Currency importe =
            util.ANumero(grid.TextMatrix(fila, art::Cantidad)) * util.ANumero(grid.TextMatrix(fila, columnaImporte));
        const QString clave = Clave(codigo);
        const auto it = posicion.constFind(clave);
        if (it == posicion.constEnd()) {
            posicion.insert(clave, lista.size());
            lista.emplace_back(codigo, importe);
        } else {
            lista[*it].second = lista[*it].second + importe;
        }
    }
    return lista;
}

// The inventory accounts of the listed articles with the sum of their amounts, in account order.
// Articles without an account are left out of the entry.
std::vector<std::pair<QString, vb::Currency>> ListaCuentas(
    const std::vector<std::pair<QString, vb::Currency>>& articulos, DatosArticulos& datos) {
    QStringList codigos;
    for (const auto& articulo : articulos) codigos << articulo.first;
    datos.Carga(codigos);
    std::vector<std::pair<QString, vb::Currency>> cuentas;
    QHash<QString, size_t> posicion;
    for (const auto& [codigo, importe] : articulos) {
        const std::optional<QString> cuenta = datos.De(codigo).cuentaContable;
        if (!cuenta) continue;
        const QString clave = Clave(*cuenta);
        const auto it = posicion.constFind(clave);
        if (it == posicion.constEnd()) {
            posicion.insert(clave, cuentas.size());
            cuentas.emplace_back(*cuenta, importe);
        } else {
            cuentas[*it].second = cuentas[*it].second + importe;
        }
    }
    std::stable_sort(cuentas.begin(), cuentas.end(),
                     [](const auto& a, const auto& b) { return Clave(a.first) < Clave(b.first); });
    return cuentas;
}

// Adds a line unless its amount is 0: a positive amount on `lado`, a negative one, made
// positive, on `ladoSiNegativo`. A line of an account and side already listed adds to it.
void AgregaLinea(std::vector<Linea>& lineas, const QString& cuenta, vb::Currency importe, QChar lado,
                 QChar ladoSiNegativo, int16_t secuencia) {
    if (importe == vb::Currency()) return;
    if (importe < vb::Currency()) {
        importe = -importe;
        lado = ladoSiNegativo;
    }
    for (Linea& l : lineas) {
        if (l.lado == lado && Clave(vb::Trim(l.cuenta)) == Clave(vb::Trim(cuenta))) {
            l.importe = l.importe + importe;
            return;
        }
    }
    lineas.push_back({cuenta, lado, importe, secuencia});
}

// Whether the lines balance: the debit side's amounts add up to the credit side's, to the
// ten-thousandth, in Currency's own units (a side may add up beyond Currency's range).
bool Balanceadas(const std::vector<Linea>& lineas) {
    __int128 saldo = 0;   // wide enough for any sum of amounts
    for (const Linea& l : lineas) saldo += l.lado == u'D' ? l.importe.raw() : -static_cast<__int128>(l.importe.raw());
    return saldo == 0;
}

}   // namespace

class ClsCmnCptes::AsientoStock {
public:
    AsientoStock(ClsCmnCptes& motor, ui::FlexGrid& grid, QString& motivo, QString& tc, QString& suc, QString& nro,
                 QString& letra, const QString& fecha, bool& esDebito, int16_t tipoMov, int32_t soloRegistro,
                 int16_t* secuencia, bool exige, const DelPosteo& delPosteo)
        : m_(motor), grid_(grid), motivo_(motivo), tc_(tc), suc_(suc), nro_(nro), letra_(letra), fecha_(fecha),
          esDebito_(esDebito), tipoMov_(tipoMov), fila_(soloRegistro), secuencia_(secuencia), exige_(exige),
          del_(delPosteo), porFila_(soloRegistro > 0), on_(Tratamiento(nullptr)) {}

    ResultadoPosteo Genera();

private:
    using Fin = std::optional<ResultadoPosteo>;   // a step that ends the call gives its outcome
    Fin Lado();
    Fin Contrapartida();
    std::optional<std::pair<QString, QString>> LeeMotivo(const QString& clave);
    Fin RegistroYNumero();
    Fin Numero(const QString& serie);
    bool Proximo(const QString& serie, bool yaCorrido);
    Fin Lineas();
    ResultadoPosteo Sentencias();
    Cabecera ArmaCabecera(const vb::Currency& total) const;
    QString SentenciasPorFila(const Cabecera& cab, bool conLineas);

    static ResultadoPosteo Falla() { return ResultadoPosteo{FallaPosteo::SinAsiento, QString()}; }
    // Any answer but a successful Retry fails the entry, and with it the voucher.
    bool Dejado() const { return on_.left() || on_.passedOver(); }

    ClsCmnCptes& m_;
    ui::FlexGrid& grid_;
    QString& motivo_;   // the caller's arguments, rewritten as GeneraAsientoStock tells
    QString& tc_;
    QString& suc_;
    QString& nro_;
    QString& letra_;
    const QString& fecha_;
    bool& esDebito_;
    const int16_t tipoMov_;
    const int32_t fila_;
    int16_t* const secuencia_;
    const bool exige_;
    const DelPosteo& del_;
    const bool porFila_;
    vb::OnError on_;
    bool guarda_ = false;   // the entry's state as the call leaves it stays

    int columnaImporte_ = art::Costo;
    QString tcOrigen_, cpteOrigen_;   // cost of sales
    QString contrapartida_, detalle_;
    QString periodo_, tipoReg_;
    int mes_ = 0;
    QString nroAsiento_;
    vb::Currency total_;
    std::vector<Linea> lineas_;
    int16_t ultimaSecuencia_ = 1;    // statement mode: the last line's sequence
};

ResultadoPosteo ClsCmnCptes::AsientoStock::Genera() {
    if (!m_.asientosXStock_) return ResultadoPosteo{};
    motivo_ = core::gUtilTexto().ReemplazaValor(motivo_, QStringLiteral("'"), QString());
    if ((tipoMov_ != 99 && EnLista(tc_, kVentas)) || EnLista(tc_, kCompras)) return ResultadoPosteo{};
    // What the entry keeps between calls (its lines, total and sequence, the numbers handed out)
    // changes only with an entry that is returned: a call that fails, or raises, leaves it as found.
    vb::ScopeGuard restaura([this, filas = m_.asientoPorFilas_, nros = m_.ultimosNros_,
                             nro = m_.ultimoNroAsiento_]() mutable {
        if (guarda_) return;
        m_.asientoPorFilas_ = std::move(filas);
        m_.ultimosNros_ = std::move(nros);
        m_.ultimoNroAsiento_ = nro;
    });
    if (Fin fin = Lado()) return *fin;
    if (Fin fin = Contrapartida()) return *fin;
    if (Fin fin = RegistroYNumero()) return *fin;
    if (Fin fin = Lineas()) return *fin;
    return Sentencias();
}

// The reason whose account is the counter-account, the counter-account's side, the amount column.
// A setting, sign or number a helper could not read books no entry.
ClsCmnCptes::AsientoStock::Fin ClsCmnCptes::AsientoStock::Lado() {
    const bool diferencias = grid_.Name().compare(QStringLiteral("MSFlexGridDif"), Qt::CaseInsensitive) == 0;
    bool sinLeer = false;
    // On a differences grid the reason is kept and the side turned.
    const auto motivoDe = [&](const char* clave, bool debito) {
        if (diferencias) {
            esDebito_ = !debito;
        } else {
            const vb::ReadResult<QString> motivo = core::ObtieneConfiguracion(QString::fromLatin1(clave));
            if (!motivo.read()) sinLeer = true;
            else motivo_ = motivo.value();
            esDebito_ = debito;
        }
    };
    if (tipoMov_ >= 1 && tipoMov_ <= 5) {
        if (tipoMov_ == 5) columnaImporte_ = art::PrecioSinIVA;
        motivoDe(kPorMovimiento[tipoMov_ - 1].clave, kPorMovimiento[tipoMov_ - 1].debito);
    } else if (tipoMov_ == 99) {
        tcOrigen_ = tc_;
        cpteOrigen_ = suc_ + nro_ + letra_;
        if (EnLista(tc_, kCostoAlDebe))
            esDebito_ = true;
        else if (EnLista(tc_, kCostoAlHaber))
            esDebito_ = false;
        else
            return ResultadoPosteo{};
        tc_ = QStringLiteral("CMV");
        bool modificaNumeracion = false;
        if (!ast::Obtener_Nro_Comprobante(tc_, suc_, nro_, letra_, modificaNumeracion, true, QString())) return Falla();
    } else if (Es(tc_, "RMC")) {
        columnaImporte_ = art::PrecioSinIVA;
        motivoDe("MotivoStockRecepcionOC", false);
    } else if (Es(tc_, "IR") || Es(tc_, "AJP") || Es(tc_, "SI")) {
        esDebito_ = false;
    } else if (Es(tc_, "VS") || Es(tc_, "AJN")) {
        esDebito_ = true;
    } else {
        // Goods going out (-1) or not moving (0) debit the counter-account, goods coming in credit
        // it: by the sign the row was posted with, else by the voucher type's.
        const vb::ReadResult<int16_t> signo = del_.signo ? *del_.signo : m_.ObtieneSignoComprobante(tc_);
        if (!signo.read()) sinLeer = true;
        else esDebito_ = signo.value() != 1;
    }
    if (sinLeer) return Falla();
    return std::nullopt;
}

// The counter-account and the description of the reason (asked once a posting call, row by row).
// No counter-account: nothing can be booked; a caller that cannot post without the entry fails.
ClsCmnCptes::AsientoStock::Fin ClsCmnCptes::AsientoStock::Contrapartida() {
    AsientoPorFilas& filas = m_.asientoPorFilas_;
    const QString clave =
        data::gDBPrincipal().SQLValue(vb::Variant(core::gUtilTexto().Rellena(motivo_, 4)), QStringLiteral("'")).text();
    const QString claveMotivo = QString::number(tipoMov_) + u'|' + clave;
    std::optional<std::pair<QString, QString>> motivo;   // counter-account, description; none: no row
    if (const auto guardado = filas.motivos.find(claveMotivo); porFila_ && guardado != filas.motivos.end()) {
        motivo = guardado->second;
    } else {
        motivo = LeeMotivo(clave);
        if (Dejado()) return Falla();
        if (porFila_) filas.motivos[claveMotivo] = motivo;
    }
    contrapartida_ = motivo ? motivo->first : QString();
    detalle_ = motivo ? motivo->second : QString();
    if (!contrapartida_.isEmpty()) return std::nullopt;
    if (tipoMov_ == 99 && (motivo || exige_)) {
        ui::MsgBox(QStringLiteral("No se puede generar el asiento de Costo de mercaderia!.. no esta configurada la cuenta"),
                   ui::vbInformation, kAviso);
        return Falla();
    }
    if (!exige_) return ResultadoPosteo{};
    ui::MsgBox(QStringLiteral("No se puede generar el asiento de Stock!.. el motivo de stock ") + vb::Trim(motivo_) +
                   QStringLiteral(" no existe o no tiene cuenta contable"),
               ui::vbExclamation, kAviso);
    return Falla();
}

// The reason's row: its counter-account (trimmed) and description; none without a row.
std::optional<std::pair<QString, QString>> ClsCmnCptes::AsientoStock::LeeMotivo(const QString& clave) {
    const QString consulta =
        tipoMov_ == 99
            ? QStringLiteral("SELECT V_TA_MotivoVta.IdMotivoVta, V_TA_MotivoVta.Descripcion, "
                             "V_TA_Input_Ventas.COSTO_MERCADERIA "
                             "FROM V_TA_Input_Ventas INNER JOIN "
                             "V_TA_MotivoVta ON V_TA_Input_Ventas.IdMotivoVta = V_TA_MotivoVta.IdMotivoVta "
                             "WHERE V_TA_MotivoVta.IdMotivoVta = ")
            : QStringLiteral("SELECT CUENTACONTABLE, Descripcion FROM V_TA_MOTIVOSTOCK WHERE IDMOTIVOSTOCK = ");
    utillib::UtilTexto& util = core::gUtilTexto();
    std::optional<std::pair<QString, QString>> motivo;
    ado::RecordsetPtr rs;
    on_.run([&] {
        motivo.reset();
        ado::Recordset& r = Abre(consulta + clave, rs);
        if (r.Eof()) return;
        const QString cuenta = tipoMov_ == 99 ? QStringLiteral("COSTO_MERCADERIA") : QStringLiteral("cuentacontable");
        motivo = std::make_pair(vb::Trim(util.ValorNoNulo(r.Fields(cuenta)).text()),
                                util.ValorNoNulo(r.Fields(QStringLiteral("Descripcion"))).text());
    });
    Cierra(rs);
    return motivo;
}

// The register type (asked once a posting call, row by row) and the month of the entry.
ClsCmnCptes::AsientoStock::Fin ClsCmnCptes::AsientoStock::RegistroYNumero() {
    AsientoPorFilas& filas = m_.asientoPorFilas_;
    periodo_ = vb::Trim(QString::number(core::gPeriodo));
    if (const auto guardado = filas.tiposReg.find(tc_); porFila_ && guardado != filas.tiposReg.end()) {
        tipoReg_ = guardado->second;
    } else {
        const vb::ReadResult<QString> leido = ast::ObtieneTipoRegCont(tc_);
        if (!leido.read()) return Falla();
        tipoReg_ = leido.value();
        if (porFila_ && !tipoReg_.isEmpty()) filas.tiposReg[tc_] = tipoReg_;
    }
    if (tipoReg_.isEmpty()) {
        ui::MsgBox(QStringLiteral("No se ha informado El Tipo de Registro que generará el Asiento, corrija esto desde "
                                  "configuración y vuelva a intentarlo"),
                   ui::vbExclamation, kAviso);
        return Falla();
    }
    on_.run([&] { mes_ = vb::Month(vb::CDate(vb::Variant(fecha_))); });
    if (Dejado()) return Falla();
    // Numbers run per register, month and period; the blank register and Chr(255)"RS" are one.
    const QString registro = vb::Trim(tipoReg_) == vb::Chr(255) + QStringLiteral("RS") ? QString() : vb::Trim(tipoReg_);
    return Numero(registro + u'|' + QString::number(mes_) + u'|' + periodo_);
}

// The entry's number: row by row, the posting call's entry's, taken at its first row; else a new
// one, unless the voucher's entry is already stored.
ClsCmnCptes::AsientoStock::Fin ClsCmnCptes::AsientoStock::Numero(const QString& serie) {
    AsientoPorFilas& filas = m_.asientoPorFilas_;
    if (porFila_) {
        if (!filas.abierto) {
            if (!Proximo(serie, true)) return Falla();
            filas.abierto = true;
            filas.numero = m_.ultimoNroAsiento_;
            filas.siguiente = secuencia_ ? *secuencia_ : 1;
        }
        m_.ultimoNroAsiento_ = filas.numero;
    } else {
        bool cargado = false;
        QString asiento;
        on_.run([&] { cargado = ast::ExisteAsientoComprobante(tc_, suc_, nro_, letra_, asiento, QString(), true); });
        if (Dejado()) return Falla();
        if (cargado) {
            ui::MsgBox(QStringLiteral("El comprobante ya ha Sido Cargado. Asiento ") + asiento, ui::vbExclamation,
                       kAviso);
            return Falla();
        }
        if (!Proximo(serie, false)) return Falla();
    }
    nroAsiento_ = QString::number(m_.ultimoNroAsiento_);
    return std::nullopt;
}

// The database's next number; entries collected and not yet run (statement mode) count on from
// the last number of their series when that is higher.
bool ClsCmnCptes::AsientoStock::Proximo(const QString& serie, bool yaCorrido) {
    const std::optional<long> numero =
        ast::ObtieneProximoNroAsiento(vb::Variant(mes_), vb::Variant(periodo_), vb::Variant(tipoReg_));
    if (!numero) return false;
    const auto ultimo = m_.ultimosNros_.find(serie);
    long siguiente = *numero;
    if (!yaCorrido && ultimo != m_.ultimosNros_.end()) siguiente = std::max<long>(siguiente, ultimo->second + 1L);
    m_.ultimosNros_[serie] = m_.ultimoNroAsiento_ = static_cast<int32_t>(siguiente);
    return true;
}

// The articles, their accounts and the lines: the counter-account's line carries the total, each
// inventory account's line its amount, on the other side. No line: nothing to book.
ClsCmnCptes::AsientoStock::Fin ClsCmnCptes::AsientoStock::Lineas() {
    std::vector<std::pair<QString, vb::Currency>> articulos;
    on_.run([&] { articulos = ListaArticulos(grid_, fila_, columnaImporte_); });
    if (Dejado()) return Falla();
    DatosArticulos leidosAqui;
    DatosArticulos& datos = del_.articulos ? *del_.articulos : leidosAqui;
    std::vector<std::pair<QString, vb::Currency>> cuentas;
    on_.run([&] { cuentas = ListaCuentas(articulos, datos); });
    if (Dejado()) return Falla();
    on_.run([&] {
        total_ = vb::Currency();
        lineas_.clear();
        ultimaSecuencia_ = secuencia_ ? *secuencia_ : 1;
        for (const auto& c : cuentas) total_ = total_ + c.second;
        const QChar ladoContrapartida = esDebito_ ? u'D' : u'H';
        const QChar ladoCuentas = esDebito_ ? u'H' : u'D';
        AgregaLinea(lineas_, contrapartida_, total_, ladoContrapartida, ladoCuentas, ultimaSecuencia_);
        for (const auto& [cuenta, importe] : cuentas)
            AgregaLinea(lineas_, cuenta, importe, ladoCuentas, ladoContrapartida, ++ultimaSecuencia_);
        if (m_.lineaAsientoHook_)
            for (Linea& l : lineas_) m_.lineaAsientoHook_(l.cuenta, l.lado, l.importe);
    });
    if (Dejado()) return Falla();
    // The total is the accounts' sum, and a negative amount changes side, so the entry balances.
    // One whose sides differ all the same is never booked, in any build: it fails, and with it the
    // voucher, as a ledger refuses an entry at its commit.
    if (!Balanceadas(lineas_)) {
        ui::MsgBox(QStringLiteral("No se puede generar el asiento de Stock!.. el Debe y el Haber no balancean"),
                   ui::vbCritical, kAviso);
        return Falla();
    }
    if (!lineas_.empty()) return std::nullopt;
    if (secuencia_) *secuencia_ = static_cast<int16_t>(ultimaSecuencia_ + 1);
    guarda_ = true;
    return ResultadoPosteo{};
}

// What every line carries; row by row, the entry's total is what its rows have brought so far.
Cabecera ClsCmnCptes::AsientoStock::ArmaCabecera(const vb::Currency& total) const {
    data::DB_Dll& db = data::gDBPrincipal();
    const bool sinUnidad = del_.unidad.compare(QStringLiteral("Null"), Qt::CaseInsensitive) == 0;
    const QString caja = vb::Trim(del_.caja);
    const auto literal = [&db](const QString& valor) { return db.SQLValue(vb::Variant(valor), QStringLiteral("'")).text(); };
    Cabecera cab{Cita(QString::number(mes_)),
                 Cita(nroAsiento_),
                 Cita(fecha_),
                 Cita(detalle_),
                 Cita(tc_),
                 Cita(suc_),
                 Cita(nro_),
                 Cita(letra_),
                 Cita(periodo_),
                 Cita(tipoReg_),
                 db.SQLValue(vb::Variant(vb::Now()), QStringLiteral("'")).text(),
                 Cita(core::gUsuarioLogeado),
                 ImporteSQL(total),
                 Cita(vb::Trim(contrapartida_)),
                 Cita(motivo_),
                 sinUnidad ? del_.unidad : literal(del_.unidad),
                 caja.isEmpty() ? QStringLiteral("NULL") : Cita(core::gUtilTexto().Rellena(caja, 4)),
                 QString(),
                 QString()};
    if (tipoMov_ == 99) {
        cab.tcOrigen = literal(core::RellenaCodigo(tcOrigen_, 4));
        cab.cpteOrigen = literal(cpteOrigen_);
    }
    return cab;
}

ResultadoPosteo ClsCmnCptes::AsientoStock::Sentencias() {
    AsientoPorFilas& filas = m_.asientoPorFilas_;
    const bool conLineas = porFila_ && !filas.lineas.empty();
    if (porFila_) filas.total = filas.total + total_;
    const Cabecera cab = ArmaCabecera(porFila_ ? filas.total : total_);
    if (porFila_) return ResultadoPosteo{FallaPosteo::Ninguna, SentenciasPorFila(cab, conLineas)};
    QString resultado;
    for (const Linea& linea : lineas_) resultado += QStringLiteral("\r\n") + InsertLinea(linea, cab);
    if (secuencia_) *secuencia_ = static_cast<int16_t>(ultimaSecuencia_ + 1);
    guarda_ = true;
    return ResultadoPosteo{FallaPosteo::Ninguna, resultado};
}

// Row by row: a line of an account and side the entry has adds to it; a new one takes the entry's
// next sequence; the lines written before carry the entry's new total.
QString ClsCmnCptes::AsientoStock::SentenciasPorFila(const Cabecera& cab, bool conLineas) {
    AsientoPorFilas& filas = m_.asientoPorFilas_;
    const QString delAsiento =
        QStringLiteral(" WHERE TC = '") + Lit(core::gUtilTexto().Rellena(tc_, 4)) + QStringLiteral("' AND SUCURSAL = ") +
        Cita(suc_) + QStringLiteral(" AND NUMERO = ") + Cita(nro_) + QStringLiteral(" AND LETRA = ") + Cita(letra_) +
        QStringLiteral(" AND [Numero Asiento] = ") + nroAsiento_ + QStringLiteral(" AND Mes_Operativo = ") +
        QString::number(mes_) + QStringLiteral(" AND PERIODO = ") + periodo_;
    QString resultado;
    for (Linea& linea : lineas_) {
        const QString claveLinea = Clave(vb::Trim(linea.cuenta)) + u'|' + linea.lado;
        if (const auto escrita = filas.lineas.find(claveLinea); escrita != filas.lineas.end()) {
            // The line as it was written: the server compares leading blanks, the key does not.
            resultado += QStringLiteral("\r\nUPDATE MV_ASIENTOS SET IMPORTE = IMPORTE + ") + ImporteSQL(linea.importe) +
                         delAsiento + QStringLiteral(" AND CUENTA = ") + Cita(escrita->second) +
                         QStringLiteral(" AND [DEBE-HABER] = '") + linea.lado + u'\'';
            continue;
        }
        filas.lineas.emplace(claveLinea, linea.cuenta);
        linea.secuencia = filas.siguiente++;
        resultado += QStringLiteral("\r\n") + InsertLinea(linea, cab);
    }
    if (conLineas && total_ != vb::Currency())
        resultado += QStringLiteral("\r\nUPDATE MV_ASIENTOS SET CABImporte = ") + ImporteSQL(filas.total) + delAsiento;
    if (secuencia_) *secuencia_ = filas.siguiente;
    guarda_ = true;
    return resultado;
}

void ClsCmnCptes::IniciaAsientoStock() { asientoPorFilas_ = AsientoPorFilas(); }

QString ClsCmnCptes::GeneraAsientoStock(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc,
                                        QString& Nro, QString& Letra, const QString& Fecha, bool& EsDebito,
                                        int16_t TipoMov, int32_t SoloRegistro, int16_t* Secuencia, bool* HayError) {
    const ResultadoPosteo r = GeneraAsiento(Grid, eMotivoStock, TC, Suc, Nro, Letra, Fecha, EsDebito, TipoMov,
                                            SoloRegistro, Secuencia, HayError != nullptr,
                                            DelPosteo{core::gUNegocio, core::gCaja, std::nullopt, nullptr});
    if (!r.Posteado() && HayError) *HayError = true;
    return r.sentencias;
}

ResultadoPosteo ClsCmnCptes::GeneraAsiento(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc,
                                           QString& Nro, QString& Letra, const QString& Fecha, bool& EsDebito,
                                           int16_t TipoMov, int32_t SoloRegistro, int16_t* Secuencia, bool exige,
                                           const DelPosteo& delPosteo) {
    AsientoStock asiento(*this, Grid, eMotivoStock, TC, Suc, Nro, Letra, Fecha, EsDebito, TipoMov, SoloRegistro,
                         Secuencia, exige, delPosteo);
    return asiento.Genera();
}

}   // namespace posting
