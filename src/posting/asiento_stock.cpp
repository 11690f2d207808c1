// The journal entry from stock: GeneraAsientoStock turns the stock an articles grid moves into
// the lines of one MV_ASIENTOS entry.
//
// An entry is one counter-account line carrying the movement's total and one line per inventory
// account of the articles moved (V_MA_ARTICULOS.cuentacontableC), on the other side. Amounts are
// quantity x amount column, kept as Currency. Every entry balances: a negative account amount is
// written positive on the counter-account's side, and a negative total puts the counter line,
// with the absolute total, on the inventory side; a zero total writes no counter line.
//
// Row by row (SoloRegistro > 0) each call books one grid row into the posting call's entry (a
// later part of a long voucher continues its earlier part's): its number is taken at the first
// call and is new to it, so the engine keeps the entry's lines in memory: a line whose account and side the entry already has gets an UPDATE
// that adds to it, a new line takes the entry's next sequence, and every line carries the
// entry's total so far (CABImporte). The reason, the register type and the articles' accounts
// are asked once per posting call. The statements are narrowed to the entry (number, month and
// period), so two vouchers that share type and number (two stores) never mix their lines.
// MV_ASIENTOS.TC is written as given and read padded to 4.
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

}   // namespace

void ClsCmnCptes::IniciaAsientoStock() { asientoPorFilas_ = AsientoPorFilas(); }

QString ClsCmnCptes::GeneraAsientoStock(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc,
                                        QString& Nro, QString& Letra, const QString& Fecha, bool& EsDebito,
                                        int16_t TipoMov, int32_t SoloRegistro, int16_t* Secuencia, bool* HayError) {
    return GeneraAsiento(Grid, eMotivoStock, TC, Suc, Nro, Letra, Fecha, EsDebito, TipoMov, SoloRegistro, Secuencia,
                         HayError, DelPosteo{});
}

QString ClsCmnCptes::GeneraAsiento(ui::FlexGrid& Grid, QString& eMotivoStock, QString& TC, QString& Suc, QString& Nro,
                                   QString& Letra, const QString& Fecha, bool& EsDebito, int16_t TipoMov,
                                   int32_t SoloRegistro, int16_t* Secuencia, bool* HayError,
                                   const DelPosteo& delPosteo) {
    if (!asientosXStock_) return QString();
    const auto falla = [HayError] {
        if (HayError) *HayError = true;
        return QString();
    };
    utillib::UtilTexto& util = core::gUtilTexto();
    data::DB_Dll& db = data::gDBPrincipal();

    eMotivoStock = util.ReemplazaValor(eMotivoStock, QStringLiteral("'"), QString());
    if ((TipoMov != 99 && EnLista(TC, kVentas)) || EnLista(TC, kCompras)) return QString();

    const bool porFila = SoloRegistro > 0;
    AsientoPorFilas& filas = asientoPorFilas_;
    // What the entry keeps between calls (its lines, total and sequence, the numbers handed out)
    // changes only with an entry that is returned: a call that fails, or raises, leaves it as found.
    vb::ScopeGuard restaura([this, filasAlEntrar = asientoPorFilas_, nrosAlEntrar = ultimosNros_,
                             nroAlEntrar = ultimoNroAsiento_]() mutable {
        asientoPorFilas_ = std::move(filasAlEntrar);
        ultimosNros_ = std::move(nrosAlEntrar);
        ultimoNroAsiento_ = nroAlEntrar;
    });

    // The reason whose account is the counter-account, the counter-account's side, the amount column.
    int columnaImporte = art::Costo;
    const bool diferencias = Grid.Name().compare(QStringLiteral("MSFlexGridDif"), Qt::CaseInsensitive) == 0;
    // A setting, sign or register type a helper could not read books no entry.
    bool sinLeer = false;
    const auto motivoDe = [&](const char* clave, bool debito) {
        if (diferencias) {
            EsDebito = !debito;
        } else {
            const vb::ReadResult<QString> motivo = core::ObtieneConfiguracion(QString::fromLatin1(clave));
            if (!motivo.read()) sinLeer = true;
            else eMotivoStock = motivo.value();
            EsDebito = debito;
        }
    };
    QString tcOrigen, cpteOrigen;
    if (TipoMov >= 1 && TipoMov <= 5) {
        if (TipoMov == 5) columnaImporte = art::PrecioSinIVA;
        motivoDe(kPorMovimiento[TipoMov - 1].clave, kPorMovimiento[TipoMov - 1].debito);
    } else if (TipoMov == 99) {
        tcOrigen = TC;
        cpteOrigen = Suc + Nro + Letra;
        if (EnLista(TC, kCostoAlDebe))
            EsDebito = true;
        else if (EnLista(TC, kCostoAlHaber))
            EsDebito = false;
        else
            return QString();
        TC = QStringLiteral("CMV");
        bool modificaNumeracion = false;
        if (!ast::Obtener_Nro_Comprobante(TC, Suc, Nro, Letra, modificaNumeracion, true, QString())) return falla();
    } else if (Es(TC, "RMC")) {
        columnaImporte = art::PrecioSinIVA;
        motivoDe("MotivoStockRecepcionOC", false);
    } else if (Es(TC, "IR") || Es(TC, "AJP") || Es(TC, "SI")) {
        EsDebito = false;
    } else if (Es(TC, "VS") || Es(TC, "AJN")) {
        EsDebito = true;
    } else {
        // Goods going out (-1) or not moving (0) debit the counter-account, goods coming in credit
        // it: by the sign the row was posted with, else by the voucher type's.
        const vb::ReadResult<int16_t> signo = delPosteo.signo ? *delPosteo.signo : SignoComprobante(TC, false);
        if (!signo.read()) sinLeer = true;
        else EsDebito = signo.value() != 1;
    }
    if (sinLeer) return falla();

    // Any answer but a successful Retry fails the entry, and with it the voucher.
    bool fallo = false;
    vb::OnError on(TratamientoQueFalla(nullptr, fallo));
    const auto dejado = [&] { return on.left() || fallo; };
    ado::RecordsetPtr rs;

    // The counter-account and the description of the reason.
    const QString clave = db.SQLValue(vb::Variant(util.Rellena(eMotivoStock, 4)), QStringLiteral("'")).text();
    const QString claveMotivo = QString::number(TipoMov) + u'|' + clave;
    std::optional<std::pair<QString, QString>> motivo;   // counter-account, description; none: no row
    if (const auto guardado = filas.motivos.find(claveMotivo); porFila && guardado != filas.motivos.end()) {
        motivo = guardado->second;
    } else {
        const QString consulta =
            TipoMov == 99
                ? QStringLiteral(
                      "SELECT V_TA_MotivoVta.IdMotivoVta, V_TA_MotivoVta.Descripcion, "
                      "V_TA_Input_Ventas.COSTO_MERCADERIA "
                      "FROM V_TA_Input_Ventas INNER JOIN "
                      "V_TA_MotivoVta ON V_TA_Input_Ventas.IdMotivoVta = V_TA_MotivoVta.IdMotivoVta "
                      "WHERE V_TA_MotivoVta.IdMotivoVta = ")
                : QStringLiteral("SELECT CUENTACONTABLE, Descripcion FROM V_TA_MOTIVOSTOCK WHERE IDMOTIVOSTOCK = ");
        on.run([&] {
            motivo.reset();
            ado::Recordset& r = Abre(consulta + clave, rs);
            if (r.Eof()) return;
            const QString cuenta = TipoMov == 99 ? QStringLiteral("COSTO_MERCADERIA") : QStringLiteral("cuentacontable");
            motivo = std::make_pair(vb::Trim(util.ValorNoNulo(r.Fields(cuenta)).text()),
                                    util.ValorNoNulo(r.Fields(QStringLiteral("Descripcion"))).text());
        });
        Cierra(rs);
        if (dejado()) return falla();
        if (porFila) filas.motivos[claveMotivo] = motivo;
    }
    const QString contrapartida = motivo ? motivo->first : QString();
    const QString detalle = motivo ? motivo->second : QString();
    // No counter-account: nothing can be booked. Posting (which asks with HayError) must not post
    // the stock without its entry.
    if (contrapartida.isEmpty()) {
        if (TipoMov == 99 && (motivo || HayError)) {
            ui::MsgBox(QStringLiteral(
                           "No se puede generar el asiento de Costo de mercaderia!.. no esta configurada la cuenta"),
                       ui::vbInformation, kAviso);
            return falla();
        }
        if (!HayError) return QString();
        ui::MsgBox(QStringLiteral("No se puede generar el asiento de Stock!.. el motivo de stock ") +
                       vb::Trim(eMotivoStock) + QStringLiteral(" no existe o no tiene cuenta contable"),
                   ui::vbExclamation, kAviso);
        return falla();
    }

    const QString periodo = vb::Trim(QString::number(core::gPeriodo));

    // The register type, and the entry number within it.
    QString tipoReg;
    if (const auto guardado = filas.tiposReg.find(TC); porFila && guardado != filas.tiposReg.end()) {
        tipoReg = guardado->second;
    } else {
        const vb::ReadResult<QString> leido = ast::ObtieneTipoRegCont(TC);
        if (!leido.read()) return falla();
        tipoReg = leido.value();
        if (porFila && !tipoReg.isEmpty()) filas.tiposReg[TC] = tipoReg;
    }
    if (tipoReg.isEmpty()) {
        ui::MsgBox(QStringLiteral("No se ha informado El Tipo de Registro que generará el Asiento, corrija esto desde "
                                  "configuración y vuelva a intentarlo"),
                   ui::vbExclamation, kAviso);
        return falla();
    }
    int mes = 0;
    on.run([&] { mes = vb::Month(vb::CDate(vb::Variant(Fecha))); });
    if (dejado()) return falla();
    // Numbers run per register, month and period; the blank register and Chr(255)"RS" are one.
    const QString registro = vb::Trim(tipoReg) == vb::Chr(255) + QStringLiteral("RS") ? QString() : vb::Trim(tipoReg);
    const QString serie = registro + u'|' + QString::number(mes) + u'|' + periodo;
    // The database's next number; entries collected and not yet run (statement mode) count on
    // from the last number of their series when that is higher.
    const auto proximo = [&](bool yaCorrido) -> bool {
        const std::optional<long> numero =
            ast::ObtieneProximoNroAsiento(vb::Variant(mes), vb::Variant(periodo), vb::Variant(tipoReg));
        if (!numero) return false;
        const auto ultimo = ultimosNros_.find(serie);
        long siguiente = *numero;
        if (!yaCorrido && ultimo != ultimosNros_.end()) siguiente = std::max<long>(siguiente, ultimo->second + 1L);
        ultimosNros_[serie] = ultimoNroAsiento_ = static_cast<int32_t>(siguiente);
        return true;
    };
    if (porFila) {
        if (!filas.abierto) {
            if (!proximo(true)) return falla();
            filas.abierto = true;
            filas.numero = ultimoNroAsiento_;
            filas.siguiente = Secuencia ? *Secuencia : 1;
        }
        ultimoNroAsiento_ = filas.numero;
    } else {
        bool cargado = false;
        QString asiento;
        on.run([&] { cargado = ast::ExisteAsientoComprobante(TC, Suc, Nro, Letra, asiento, QString(), true); });
        if (dejado()) return falla();
        if (cargado) {
            ui::MsgBox(QStringLiteral("El comprobante ya ha Sido Cargado. Asiento ") + asiento, ui::vbExclamation,
                       kAviso);
            return falla();
        }
        if (!proximo(false)) return falla();
    }
    const QString nroAsiento = QString::number(ultimoNroAsiento_);

    // The articles, their accounts and the lines.
    std::vector<std::pair<QString, vb::Currency>> articulos;
    on.run([&] { articulos = ListaArticulos(Grid, SoloRegistro, columnaImporte); });
    if (dejado()) return falla();
    DatosArticulos leidosAqui;
    DatosArticulos& datos = delPosteo.articulos ? *delPosteo.articulos : leidosAqui;
    std::vector<std::pair<QString, vb::Currency>> cuentas;
    on.run([&] { cuentas = ListaCuentas(articulos, datos); });
    if (dejado()) return falla();
    vb::Currency total;
    std::vector<Linea> lineas;
    int16_t secuencia = Secuencia ? *Secuencia : 1;
    on.run([&] {
        total = vb::Currency();
        lineas.clear();
        secuencia = Secuencia ? *Secuencia : 1;
        for (const auto& c : cuentas) total = total + c.second;
        const QChar ladoContrapartida = EsDebito ? u'D' : u'H';
        const QChar ladoCuentas = EsDebito ? u'H' : u'D';
        AgregaLinea(lineas, contrapartida, total, ladoContrapartida, ladoCuentas, secuencia);
        for (const auto& [cuenta, importe] : cuentas)
            AgregaLinea(lineas, cuenta, importe, ladoCuentas, ladoContrapartida, ++secuencia);
    });
    if (dejado()) return falla();
    if (lineas.empty()) {
        if (Secuencia) *Secuencia = static_cast<int16_t>(secuencia + 1);
        restaura.dismiss();
        return QString();
    }

    const bool sinUnidad = core::gUNegocio.compare(QStringLiteral("Null"), Qt::CaseInsensitive) == 0;
    const QString caja = vb::Trim(core::gCaja);
    const auto literal = [&db](const QString& valor) {
        return db.SQLValue(vb::Variant(valor), QStringLiteral("'")).text();
    };
    // Row by row the entry's total is what its rows have brought so far.
    const bool conLineas = porFila && !filas.lineas.empty();
    if (porFila) filas.total = filas.total + total;
    Cabecera cab{Cita(QString::number(mes)),
                 Cita(nroAsiento),
                 Cita(Fecha),
                 Cita(detalle),
                 Cita(TC),
                 Cita(Suc),
                 Cita(Nro),
                 Cita(Letra),
                 Cita(periodo),
                 Cita(tipoReg),
                 db.SQLValue(vb::Variant(vb::Now()), QStringLiteral("'")).text(),
                 Cita(core::gUsuarioLogeado),
                 ImporteSQL(porFila ? filas.total : total),
                 Cita(vb::Trim(contrapartida)),
                 Cita(eMotivoStock),
                 sinUnidad ? core::gUNegocio : literal(core::gUNegocio),
                 caja.isEmpty() ? QStringLiteral("NULL") : Cita(util.Rellena(caja, 4)),
                 QString(),
                 QString()};
    if (TipoMov == 99) {
        cab.tcOrigen = literal(core::RellenaCodigo(tcOrigen, 4));
        cab.cpteOrigen = literal(cpteOrigen);
    }

    QString resultado;
    if (!porFila) {
        for (const Linea& linea : lineas) resultado += QStringLiteral("\r\n") + InsertLinea(linea, cab);
        if (Secuencia) *Secuencia = static_cast<int16_t>(secuencia + 1);
        restaura.dismiss();
        return resultado;
    }

    // Row by row: a line of an account and side the entry has adds to it; a new one takes the
    // entry's next sequence; the lines written before carry the entry's new total.
    const QString delAsiento =
        QStringLiteral(" WHERE TC = '") + Lit(util.Rellena(TC, 4)) + QStringLiteral("' AND SUCURSAL = ") + Cita(Suc) +
        QStringLiteral(" AND NUMERO = ") + Cita(Nro) + QStringLiteral(" AND LETRA = ") + Cita(Letra) +
        QStringLiteral(" AND [Numero Asiento] = ") + nroAsiento + QStringLiteral(" AND Mes_Operativo = ") +
        QString::number(mes) + QStringLiteral(" AND PERIODO = ") + periodo;
    for (Linea& linea : lineas) {
        const QString claveLinea = Clave(vb::Trim(linea.cuenta)) + u'|' + linea.lado;
        if (filas.lineas.count(claveLinea)) {
            resultado += QStringLiteral("\r\nUPDATE MV_ASIENTOS SET IMPORTE = IMPORTE + ") + ImporteSQL(linea.importe) +
                         delAsiento + QStringLiteral(" AND CUENTA = ") + Cita(linea.cuenta) +
                         QStringLiteral(" AND [DEBE-HABER] = '") + linea.lado + u'\'';
            continue;
        }
        filas.lineas.insert(claveLinea);
        linea.secuencia = filas.siguiente++;
        resultado += QStringLiteral("\r\n") + InsertLinea(linea, cab);
    }
    if (conLineas && total != vb::Currency())
        resultado += QStringLiteral("\r\nUPDATE MV_ASIENTOS SET CABImporte = ") + ImporteSQL(filas.total) + delAsiento;
    if (Secuencia) *Secuencia = filas.siguiente;
    restaura.dismiss();
    return resultado;
}

}   // namespace posting
