// The journal entry from stock: GeneraAsientoStock turns the stock an articles grid moves into
// the lines of one MV_ASIENTOS entry.
//
// An entry is one counter-account line carrying the movement's total and one line per inventory
// account of the articles moved (V_MA_ARTICULOS.cuentacontableC), on the other side. Amounts are
// quantity x amount column, kept as Currency. Every entry balances: a negative account amount is
// written positive on the counter-account's side, and a negative total puts the counter line,
// with the absolute total, on the inventory side; a zero total writes no counter line.
//
// Row by row (SoloRegistro > 0) each call books one grid row into the posting call's entry: its
// number is taken at the first call, a line whose account and side the entry already has gets
// an UPDATE that adds to it, a new line takes the entry's highest sequence + 1. The lookups are
// narrowed to the entry (number, month and period), so two vouchers that share type and number
// (two stores) never mix their lines. MV_ASIENTOS.TC is written as given and read padded to 4.
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
#include "posting/asientos_numeracion.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/numeracion.h"
#include "posting/tratamiento.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace posting {

namespace {

const QString kAviso = QStringLiteral("Aviso al Operador");

// Articles per account query: an IN list this long stays well inside every server's limits.
constexpr int kArticulosPorConsulta = 500;

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

bool Es(const QString& tc, const char* tipo) {
    return vb::Trim(tc).compare(QLatin1String(tipo), Qt::CaseInsensitive) == 0;
}

bool EnLista(const QString& tc, const QStringList& lista) { return core::gUtilTexto().EstaEnLista(tc, lista); }

// A code as the server compares it: trailing blanks and letter case do not count.
QString Clave(const QString& codigo) {
    QString c = codigo;
    while (c.endsWith(u' ')) c.chop(1);
    return c.toUpper();
}

QString Cita(const QString& valor) { return data::TextoSQL(valor); }   // a quoted literal
QString Numero(const vb::Currency& importe) {
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
        {QStringLiteral("Importe"), Numero(linea.importe)},
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
    const std::vector<std::pair<QString, vb::Currency>>& articulos, vb::OnError& on) {
    QHash<QString, QString> cuentaDe;   // article key -> account
    for (size_t inicio = 0; inicio < articulos.size(); inicio += kArticulosPorConsulta) {
        QStringList codigos;
        const size_t fin = std::min(articulos.size(), inicio + kArticulosPorConsulta);
        for (size_t i = inicio; i < fin; ++i) codigos << Cita(articulos[i].first);
        const QString sql =
            QStringLiteral("SELECT idarticulo, cuentacontableC FROM v_ma_articulos WHERE idarticulo IN (") +
            codigos.join(u',') + QStringLiteral(") AND NOT cuentacontableC IS NULL");
        ado::RecordsetPtr rs;
        on.run([&] {
            ado::Recordset& r = Abre(sql, rs);
            for (; !r.Eof(); r.MoveNext())
                cuentaDe.insert(Clave(r.Fields(QStringLiteral("idarticulo")).Value().text()),
                                r.Fields(QStringLiteral("cuentacontableC")).Value().text());
        });
        Cierra(rs);
        if (on.left()) return {};
    }
    std::vector<std::pair<QString, vb::Currency>> cuentas;
    QHash<QString, size_t> posicion;
    on.run([&] {
        for (const auto& [codigo, importe] : articulos) {
            const auto encontrada = cuentaDe.constFind(Clave(codigo));
            if (encontrada == cuentaDe.constEnd()) continue;
            const QString clave = Clave(*encontrada);
            const auto it = posicion.constFind(clave);
            if (it == posicion.constEnd()) {
                posicion.insert(clave, cuentas.size());
                cuentas.emplace_back(*encontrada, importe);
            } else {
                cuentas[*it].second = cuentas[*it].second + importe;
            }
        }
    });
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

    // The reason whose account is the counter-account, the counter-account's side, the amount column.
    int columnaImporte = art::Costo;
    const bool diferencias = Grid.Name().compare(QStringLiteral("MSFlexGridDif"), Qt::CaseInsensitive) == 0;
    const auto motivoDe = [&](const char* clave, bool debito) {
        if (diferencias) {
            EsDebito = !debito;
        } else {
            eMotivoStock = core::ObtieneConfiguracion(QString::fromLatin1(clave));
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
        // Goods going out (-1) or not moving (0) debit the counter-account, goods coming in credit it.
        EsDebito = ObtieneSignoComprobante(TC, false) != 1;
    }

    vb::OnError on(Tratamiento(nullptr));
    ado::RecordsetPtr rs;

    // The counter-account and the description of the reason.
    const QString clave = db.SQLValue(vb::Variant(util.Rellena(eMotivoStock, 4)), QStringLiteral("'")).text();
    bool hayMotivo = false;
    QString contrapartida, detalle;
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
        ado::Recordset& r = Abre(consulta + clave, rs);
        hayMotivo = !r.Eof();
        if (!hayMotivo) return;
        const QString cuenta = TipoMov == 99 ? QStringLiteral("COSTO_MERCADERIA") : QStringLiteral("cuentacontable");
        contrapartida = vb::Trim(util.ValorNoNulo(r.Fields(cuenta)).text());
        detalle = util.ValorNoNulo(r.Fields(QStringLiteral("Descripcion"))).text();
    });
    Cierra(rs);
    if (on.left()) return falla();
    if (!hayMotivo) return QString();
    if (contrapartida.isEmpty()) {
        if (TipoMov != 99) return QString();
        ui::MsgBox(
            QStringLiteral("No se puede generar el asiento de Costo de mercaderia!.. no esta configurada la cuenta"),
            ui::vbInformation, kAviso);
        return falla();
    }

    const QString periodo = vb::Trim(QString::number(core::gPeriodo));

    // The register type, and the entry number within it.
    const QString tipoReg = ast::ObtieneTipoRegCont(TC);
    if (tipoReg.isEmpty()) {
        ui::MsgBox(QStringLiteral("No se ha informado El Tipo de Registro que generará el Asiento, corrija esto desde "
                                  "configuración y vuelva a intentarlo"),
                   ui::vbExclamation, kAviso);
        return falla();
    }
    int mes = 0;
    on.run([&] { mes = vb::Month(vb::CDate(vb::Variant(Fecha))); });
    if (on.left()) return falla();
    // Numbers run per register, month and period; the blank register and Chr(255)"RS" are one.
    const QString registro = vb::Trim(tipoReg) == vb::Chr(255) + QStringLiteral("RS") ? QString() : vb::Trim(tipoReg);
    const QString serie = registro + u'|' + QString::number(mes) + u'|' + periodo;
    const auto proximo = [&]() -> bool {
        const std::optional<long> numero =
            ast::ObtieneProximoNroAsiento(vb::Variant(mes), vb::Variant(periodo), vb::Variant(tipoReg));
        if (numero) ultimosNros_[serie] = ultimoNroAsiento_ = static_cast<int32_t>(*numero);
        return numero.has_value();
    };
    if (porFila) {
        if (!asientoPorFilas_.abierto) {
            if (!proximo()) return falla();
            asientoPorFilas_.abierto = true;
            asientoPorFilas_.numero = ultimoNroAsiento_;
        }
        ultimoNroAsiento_ = asientoPorFilas_.numero;
    } else {
        bool cargado = false;
        QString asiento;
        on.run([&] { cargado = ast::ExisteAsientoComprobante(TC, Suc, Nro, Letra, asiento, QString(), true); });
        if (on.left()) return falla();
        if (cargado) {
            ui::MsgBox(QStringLiteral("El comprobante ya ha Sido Cargado. Asiento ") + asiento, ui::vbExclamation,
                       kAviso);
            return falla();
        }
        // Entries collected and not yet run count on from the last number of their series.
        const auto ultimo = ultimosNros_.find(serie);
        if (ultimo == ultimosNros_.end()) {
            if (!proximo()) return falla();
        } else {
            ultimoNroAsiento_ = ++ultimo->second;
        }
    }
    const QString nroAsiento = QString::number(ultimoNroAsiento_);

    // The articles, their accounts and the lines.
    std::vector<std::pair<QString, vb::Currency>> articulos;
    on.run([&] { articulos = ListaArticulos(Grid, SoloRegistro, columnaImporte); });
    if (on.left()) return falla();
    const auto cuentas = ListaCuentas(articulos, on);
    if (on.left()) return falla();
    vb::Currency total;
    std::vector<Linea> lineas;
    int16_t secuencia = Secuencia ? *Secuencia : 1;
    const int16_t primera = secuencia;
    on.run([&] {
        for (const auto& c : cuentas) total = total + c.second;
        const QChar ladoContrapartida = EsDebito ? u'D' : u'H';
        const QChar ladoCuentas = EsDebito ? u'H' : u'D';
        AgregaLinea(lineas, contrapartida, total, ladoContrapartida, ladoCuentas, secuencia);
        for (const auto& [cuenta, importe] : cuentas)
            AgregaLinea(lineas, cuenta, importe, ladoCuentas, ladoContrapartida, ++secuencia);
    });
    if (on.left()) return falla();
    int16_t siguiente = static_cast<int16_t>(secuencia + 1);

    // Row by row: the lines of this entry, and where its sequences stand.
    const QString delComprobante =
        QStringLiteral(" WHERE TC = '") + Lit(util.Rellena(TC, 4)) + QStringLiteral("' AND SUCURSAL = ") + Cita(Suc) +
        QStringLiteral(" AND NUMERO = ") + Cita(Nro) + QStringLiteral(" AND LETRA = ") + Cita(Letra) +
        QStringLiteral(" AND [Numero Asiento] = ") + nroAsiento + QStringLiteral(" AND Mes_Operativo = ") +
        QString::number(mes) + QStringLiteral(" AND PERIODO = ") + periodo;
    if (porFila && !lineas.empty()) {
        siguiente = primera;
        on.run([&] {
            ado::Recordset& r = Abre(
                QStringLiteral("SELECT MAX(Secuencia) AS Ultima FROM MV_ASIENTOS  with(nolock) ") + delComprobante, rs);
            if (!r.Eof() && !r.Fields(QStringLiteral("Ultima")).Value().isNull())
                siguiente = static_cast<int16_t>(
                    std::max<long>(siguiente, vb::CLng(r.Fields(QStringLiteral("Ultima")).Value()) + 1));
        });
        Cierra(rs);
        if (on.left()) return falla();
    }

    const bool sinUnidad = core::gUNegocio.compare(QStringLiteral("Null"), Qt::CaseInsensitive) == 0;
    const QString caja = vb::Trim(core::gCaja);
    const auto literal = [&db](const QString& valor) {
        return db.SQLValue(vb::Variant(valor), QStringLiteral("'")).text();
    };
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
                 Numero(total),
                 Cita(vb::Trim(contrapartida)),
                 Cita(eMotivoStock),
                 sinUnidad ? core::gUNegocio : literal(core::gUNegocio),
                 caja.isEmpty() ? QStringLiteral("NULL") : Cita(util.Rellena(caja, 4)),
                 QString(),
                 QString()};
    if (TipoMov == 99) {
        cab.tcOrigen = literal(util.Rellena(vb::Trim(tcOrigen), 4));
        cab.cpteOrigen = literal(cpteOrigen);
    }

    QString resultado;
    for (Linea& linea : lineas) {
        if (porFila) {
            const QString deLaLinea = delComprobante + QStringLiteral(" AND CUENTA = ") + Cita(linea.cuenta) +
                                      QStringLiteral(" AND [DEBE-HABER] = '") + linea.lado + u'\'';
            bool existe = false;
            on.run([&] {
                existe = !Abre(QStringLiteral("SELECT * FROM MV_ASIENTOS  with(nolock) ") + deLaLinea, rs).Eof();
            });
            Cierra(rs);
            if (on.left()) return falla();
            if (existe) {
                resultado += QStringLiteral("\r\nUPDATE MV_ASIENTOS SET IMPORTE = IMPORTE + ") + Numero(linea.importe) +
                             deLaLinea;
                continue;
            }
            linea.secuencia = siguiente++;
        }
        resultado += QStringLiteral("\r\n") + InsertLinea(linea, cab);
    }

    if (Secuencia) *Secuencia = siguiente;
    return resultado;
}

}   // namespace posting
