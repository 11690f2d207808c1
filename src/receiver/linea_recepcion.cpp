#include "receiver/linea_recepcion.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/sql_literal.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/runtime.h"
#include "posting/columnas_articulos.h"
#include "posting/movimiento_stock.h"
#include "posting/textos_posteo.h"

#include <QDate>
#include <cassert>
#include <cmath>

namespace receiver {

namespace {

using data::LiteralSQL;
using posting::Iguales;
namespace art = posting::art;

utillib::UtilTexto& Util() { return core::gUtilTexto(); }

QString Valor(const ado::Recordset& rs, const QString& campo) {
    return Util().ValorNoNulo(rs.Fields(campo).Value()).text();
}

// A flag column: "-1" when the value is true; "0" when it is false, empty or Null.
QString Bandera(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return QStringLiteral("0");
    try {
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    } catch (const vb::Error&) {
        return QStringLiteral("0");   // a text that is no flag
    }
}

// The article's Exento read as "false": a value that says false; Null and empty say nothing.
bool ExentoFalso(const vb::Variant& v) { return Bandera(v) == QStringLiteral("0") && !v.isNull() && !v.isEmpty(); }

QString Texto(const vb::Currency& c) { return Util().ATexto(vb::Variant(c)); }

}  // namespace

bool MismoComprobante(const ClaveDeposito& a, const ClaveDeposito& b) {
    return Iguales(a.sucursal, b.sucursal) && Iguales(a.tipoComp, b.tipoComp) && Iguales(a.ptoVta, b.ptoVta) &&
           Iguales(a.numero, b.numero);
}

MovimientoDeposito LeeMovimiento(const ado::Recordset& rs, bool parcial) {
    const auto valor = [&](const QString& campo) {
        if (!parcial) return Valor(rs, campo);
        try {
            return Valor(rs, campo);
        } catch (const vb::Error&) {
            return QString();   // what of the row cannot be read reads empty
        }
    };
    MovimientoDeposito m;
    m.clave.sucursal = valor(QStringLiteral("cod_suc"));
    m.clave.tipoComp = valor(QStringLiteral("TipoComp"));
    m.clave.ptoVta = valor(QStringLiteral("PtoVta"));
    m.clave.numero = valor(QStringLiteral("Numero"));
    m.unidad = QStringLiteral("A") + vb::Trim(m.clave.sucursal);
    m.tipoComp = vb::Trim(m.clave.tipoComp);
    m.movimiento = vb::Trim(valor(QStringLiteral("Movimiento")));
    m.articulo = valor(QStringLiteral("Articulo"));
    m.cantidad = valor(QStringLiteral("Cantidad"));
    m.venta = valor(QStringLiteral("venta"));
    m.deposito = QStringLiteral("A") + vb::Trim(valor(QStringLiteral("cod_depo")));
    m.ptoVta = ParteNumero(m.clave.ptoVta, 4);
    m.numero = ParteNumero(m.clave.numero, 8);
    return m;
}

QString ColumnaFaltante(const ado::Recordset& rs) {
    for (const char* columna : kColumnasDepositos) {
        bool esta = false;
        for (int i = 0; i < rs.fieldCount() && !esta; ++i) esta = Iguales(rs.Fields(i).Name(), QString::fromLatin1(columna));
        if (!esta) return QString::fromLatin1(columna);
    }
    return QString();
}

QString ParteNumero(const QString& valor, int ancho) {
    const QString parte = vb::Trim(valor);
    if (parte.size() == ancho && !parte.contains(u' ')) return parte;
    const bool digitos = !parte.isEmpty() && std::all_of(parte.begin(), parte.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    return digitos && parte.size() < ancho ? QString(ancho - parte.size(), u'0') + parte : QString();
}

namespace {

// A code: letters and digits only, at least one.
bool EsCodigo(const QString& texto) {
    return !texto.isEmpty() && std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// A quantity or amount as the line takes it: a number (an empty amount is 0) whose whole part a
// Currency holds. Nothing when it is none.
std::optional<double> Importe(const QString& texto, bool vacioEsCero) {
    if (vb::Trim(texto).isEmpty()) return vacioEsCero ? std::optional<double>(0.0) : std::nullopt;
    const vb::Variant v(texto);
    if (!Util().EsNumero(v)) return std::nullopt;
    const double d = Util().ADoble(v);
    if (!std::isfinite(d) || std::fabs(d) > kMaximoImporte) return std::nullopt;
    return d;
}

MotivoRechazo Invalido(const char* columna) { return MotivoRechazo{Rechazo::DatosInvalidos, QString::fromLatin1(columna)}; }

}  // namespace

std::optional<MotivoRechazo> RechazoDeComprobante(const MovimientoDeposito& mov) {
    if (vb::Trim(mov.clave.sucursal).isEmpty()) return Invalido("cod_suc");
    if (mov.ptoVta.isEmpty()) return Invalido("PtoVta");
    if (mov.numero.isEmpty()) return Invalido("Numero");
    if (vb::Trim(mov.unidad).size() > kAnchoCodigo) return MotivoRechazo{Rechazo::CodigoLargo, QStringLiteral("cod_suc")};
    if (TipoComprobante(mov.tipoComp, mov.movimiento).isEmpty()) return MotivoRechazo{Rechazo::TipoDesconocido, QString()};
    return std::nullopt;
}

std::optional<MotivoRechazo> RechazoDeFila(const MovimientoDeposito& mov) {
    if (auto rechazo = RechazoDeComprobante(mov)) return rechazo;
    if (vb::Trim(mov.deposito).size() <= 1) return Invalido("cod_depo");
    if (vb::Trim(mov.deposito).size() > kAnchoCodigo) return MotivoRechazo{Rechazo::CodigoLargo, QStringLiteral("cod_depo")};
    const std::optional<double> cantidad = Importe(mov.cantidad, false);
    if (!cantidad) return Invalido("Cantidad");
    const bool esVenta = TipoComprobante(mov.tipoComp, mov.movimiento) == QStringLiteral("TK");
    const std::optional<double> venta = Importe(mov.venta, !esVenta);
    if (!venta) return Invalido("venta");
    // The line's amount is the two together.
    if (std::fabs(*cantidad * *venta) > kMaximoImporte) return Invalido("venta");
    return std::nullopt;
}

QString TipoComprobante(const QString& tipoComp, const QString& movimiento) {
    const QString tipo = vb::Trim(tipoComp);
    const QString mov = vb::Trim(movimiento);
    if (!EsCodigo(tipo)) return QString();
    if (Iguales(tipo, QStringLiteral("VT"))) return QStringLiteral("TK");
    if (!EsCodigo(mov) || Iguales(mov, QStringLiteral("VENTA"))) return QString();
    if (Iguales(mov, QStringLiteral("INGRESO"))) return QStringLiteral("IR");
    return QStringLiteral("VS");
}

QString NumeroComprobante(const QString& ptoVta, const QString& numero) { return ptoVta + numero + u'C'; }

QString CodigoArticulo(const QString& articulo) {
    QString codigo = vb::Trim(articulo);
    const bool digitos = !codigo.isEmpty() && std::all_of(codigo.begin(), codigo.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    if (digitos) {
        qsizetype ceros = 0;
        while (ceros < codigo.size() - 1 && codigo[ceros] == u'0') ++ceros;
        codigo = codigo.mid(ceros);
        if (codigo.size() < 6) codigo = QString(6 - codigo.size(), u'0') + codigo;
    }
    return Util().Rellena(codigo, 25);
}

// ---- statements ----

namespace {

// " where Fecha >= '<day>' AND Fecha < '<next day>'": the day whatever the time of its rows.
QString CondicionDia(const QDate& dia) {
    assert(dia.isValid() && "the run's date is checked before anything is read");
    return QStringLiteral(" where Fecha >= '") + data::FechaSQL(dia) + QStringLiteral("' AND Fecha < '") +
           data::FechaSQL(dia.addDays(1)) + u'\'';
}

}  // namespace

QString SqlDepositos(const QDate& fecha) {
    return QStringLiteral(" Select * From Depositos") + CondicionDia(fecha) +
           QStringLiteral(" Order by Cod_suc, Tipocomp, PtoVta, Numero ");
}

QString SqlCuentaDepositos(const QDate& fecha) {
    return QStringLiteral("Select Count(*) AS Filas From Depositos") + CondicionDia(fecha);
}

QString SqlUnidadNegocio(const QString& unidad) {
    return QStringLiteral("SELECT Codigo FROM V_TA_UnidadNegocio with(nolock) WHERE Codigo = '") +
           LiteralSQL(vb::Trim(unidad)) + QStringLiteral("'");
}

QString SqlDeposito(const QString& deposito) {
    return QStringLiteral("SELECT IdDeposito FROM V_TA_DEPOSITO with(nolock) WHERE IdDeposito = '") +
           LiteralSQL(vb::Trim(deposito)) + QStringLiteral("'");
}

QString SqlArticulo(const QString& codigo) {
    return QStringLiteral("SELECT * FROM V_MA_ARTICULOS with(nolock) WHERE IDARTICULO = '") + LiteralSQL(codigo) +
           QStringLiteral("'");
}

QString SqlOferta(const QString& idArticulo) {
    return QStringLiteral("SELECT idinsert,idcompulsa,fhofertadesde,fhofertahasta FROM V_MA_PRECIOS with(nolock) "
                          "WHERE IDARTICULO = '") +
           LiteralSQL(idArticulo) + QStringLiteral("' AND IDLISTA = '") + Util().Rellena(QStringLiteral("A3"), 4) +
           QStringLiteral("' AND TIPOLISTA = 'V'");
}

QString CondicionComprobanteRecibido(const QString& tc, const QString& numero, const QString& unidad,
                                     const QDate& fecha) {
    return posting::CondicionComprobante(tc, numero, unidad) + QStringLiteral(" AND FECHA = '") + data::FechaSQL(fecha) +
           QStringLiteral("'");
}

QString SqlComprobanteRecibido(const QString& tc, const QString& numero, const QString& unidad, const QDate& fecha) {
    return QStringLiteral("SELECT TOP 1 IDCOMPROBANTE FROM V_MV_STOCK with(nolock) WHERE ") +
           CondicionComprobanteRecibido(tc, numero, unidad, fecha);
}

QString SqlComprobantesDelDia(const QDate& fecha) {
    return QStringLiteral("Select Distinct cod_suc, TipoComp, PtoVta, Numero, Movimiento From Depositos") + CondicionDia(fecha);
}

QString SqlComprobantesRecibidos(const QString& tc, const QString& unidad, const QStringList& numeros, const QDate& fecha) {
    assert(!numeros.isEmpty() && numeros.size() <= kComprobantesPorConsulta);
    QString lista;
    for (const QString& numero : numeros)
        lista += (lista.isEmpty() ? QStringLiteral("'") : QStringLiteral(", '")) + LiteralSQL(numero) + u'\'';
    return QStringLiteral("SELECT DISTINCT IDCOMPROBANTE FROM V_MV_STOCK WHERE TC = '") +
           LiteralSQL(posting::RellenaCodigo(tc)) + QStringLiteral("' AND UNEGOCIO = '") +
           LiteralSQL(posting::RellenaCodigo(unidad)) + QStringLiteral("' AND IDCOMPROBANTE IN (") + lista +
           QStringLiteral(") AND FECHA = '") + data::FechaSQL(fecha) + QStringLiteral("'");
}

QString ClaveComprobante(const QString& tc, const QString& numero, const QString& unidad) {
    return vb::Trim(tc).toUpper() + u'|' + vb::Trim(numero).toUpper() + u'|' + vb::Trim(unidad).toUpper();
}

QString SqlAvisoAdministradores(const QString& rutaLog) {
    const QString mensaje = rutaLog.isEmpty()
                                ? QStringLiteral("NO SE PUDO GUARDAR EL TESTIGO CON LOS REGISTROS CON ERRORES")
                                : QStringLiteral("SE HA GUARDADO UN TESTIGO CON LOS REGISTROS CON ERRORES EN: ") + rutaLog;
    return QStringLiteral("exec XK_ENVIAR_MEMO_ADMIN 'Sistemas', 'ALL_ADMIN' , 'ERRORES EN RECEPCION VENTAS "
                          "SUCURSALES', '") +
           LiteralSQL(mensaje) + QStringLiteral("'");
}

// ---- the posting setting ----

QString ClaveConfigVentasSuc(const QString& unidad) { return vb::Trim(unidad) + QStringLiteral("Cfg_VentasSuc"); }

ConfigVentasSuc LeeConfigVentasSuc(const QString& valor) {
    // A field is the text before its "|"; what follows the last "|" is no field.
    const QStringList partes = vb::Trim(valor).split(u'|');
    auto campo = [&](int n) { return n < partes.size() - 1 ? partes[n] : QString(); };
    return ConfigVentasSuc{campo(0), campo(3)};
}

// ---- the grid line ----

ArticuloRecepcion LeeArticulo(const ado::Recordset& rs) {
    ArticuloRecepcion a;
    a.idArticulo = Valor(rs, QStringLiteral("IdArticulo"));
    a.descripcion = Valor(rs, QStringLiteral("Descripcion"));
    a.presentacion = Valor(rs, QStringLiteral("Presentacion"));
    a.idTipo = Valor(rs, QStringLiteral("IdTipo"));
    a.idRubro = Valor(rs, QStringLiteral("IdRubro"));
    a.idUnidad = Valor(rs, QStringLiteral("IdUnidad"));
    a.impuestos = Valor(rs, QStringLiteral("Impuestos"));
    a.tasaIVA = Valor(rs, QStringLiteral("TasaIVA"));
    a.costo = Valor(rs, QStringLiteral("Costo"));
    a.cuentaContable = Valor(rs, QStringLiteral("cuentacontable"));
    a.codigoBarra = Valor(rs, QStringLiteral("CodigoBarra"));
    a.exento = rs.Fields(QStringLiteral("Exento")).Value();
    a.usaSerie = rs.Fields(QStringLiteral("UsaSerie")).Value();
    a.usaLote = rs.Fields(QStringLiteral("UsaLote")).Value();
    a.perecedero = rs.Fields(QStringLiteral("Perecedero")).Value();
    a.usaTalle = rs.Fields(QStringLiteral("UsaTalle")).Value();
    return a;
}

OfertaArticulo LeeOferta(const ado::Recordset& rs) {
    OfertaArticulo o;
    o.idInsert = Valor(rs, QStringLiteral("idinsert"));
    o.idCompulsa = Valor(rs, QStringLiteral("idcompulsa"));
    o.desde = rs.Fields(QStringLiteral("fhofertadesde")).Value();
    o.hasta = rs.Fields(QStringLiteral("fhofertahasta")).Value();
    return o;
}

QString EnOferta(const OfertaArticulo& oferta, const QDate& fecha) {
    const vb::Date dia = vb::Date::fromQDate(fecha);
    vb::Date desde, hasta;
    auto lee = [](const vb::Variant& v, vb::Date* d) {
        if (v.isNull() || v.isEmpty()) return false;
        if (v.type() == vb::VarType::Date) {
            *d = v.toDate();
            return true;
        }
        return vb::ParseDate(v.text(), d);
    };
    const bool dentro = lee(oferta.desde, &desde) && lee(oferta.hasta, &hasta) && fecha.isValid() &&
                        dia.serial >= desde.serial && dia.serial <= hasta.serial;
    return dentro ? QStringLiteral("1") : QStringLiteral("0");
}

ImportesLinea CalculaImportes(const QString& venta, const QString& cantidad, const vb::Variant& exento,
                              const QString& tasaIVA) {
    ImportesLinea r;
    const QString formateado =
        core::FormateaImporte(Texto(Util().ANumero(vb::Variant(venta))), vb::Variant(core::kDecimalesConfiguracion)).text();
    r.precioSinIVA = formateado;
    const vb::Currency q = Util().ANumero(vb::Variant(cantidad));
    if (q.raw() <= 0) return r;
    r.precio = formateado;
    // A fraction of a unit keeps the formatted amount; whole units take it as a plain number.
    if (q.raw() >= vb::Currency::kScale) r.precioSinIVA = Texto(Util().ANumero(vb::Variant(formateado)));
    if (ExentoFalso(exento)) {
        const double sinIVA = Util().ANumero(vb::Variant(r.precioSinIVA)).toDouble() /
                              (Util().ANumero(vb::Variant(tasaIVA)).toDouble() / 100 + 1);
        r.precioSinIVA = vb::NumberText(sinIVA);
    }
    r.importeVenta = r.precioSinIVA;
    return r;
}

LineaGrilla ArmaLinea(const MovimientoDeposito& mov, const QString& codigo, const ArticuloRecepcion& a,
                      const DatosLinea& datos) {
    LineaGrilla linea;
    linea.reserve(32);
    auto pon = [&](int col, const QString& texto) { linea.emplace_back(col, texto); };
    const QString cantidad = Texto(Util().ANumero(vb::Variant(mov.cantidad)));
    pon(art::IdArticulo, codigo);
    pon(art::Cantidad, cantidad);
    pon(art::CantidadUnidadBase, cantidad);
    pon(art::Presentacion, vb::Trim(a.presentacion));
    pon(art::DescripcionTipo, datos.descripcionTipo);
    pon(art::Descripcion, vb::Trim(vb::Trim(a.descripcion) + QStringLiteral(" (") + vb::Trim(datos.descripcionTipo) +
                                   QStringLiteral(") ") + vb::Trim(a.presentacion)));
    pon(art::IdUnidad, Util().Rellena(a.idUnidad, 4));
    pon(art::Impuestos, a.impuestos);
    pon(art::EsExento, Bandera(a.exento));
    // An article without a rate of its own takes the window's.
    const bool sinTasa = Util().ADoble(vb::Variant(a.tasaIVA)) == 0;
    const QString tasa = sinTasa ? vb::NumberText(datos.porcentajeIVA) : a.tasaIVA;
    pon(art::TasaIVA, tasa);
    // The line carries the article's master cost.
    pon(art::Costo, vb::Trim(a.costo));
    const ImportesLinea importes = CalculaImportes(mov.venta, cantidad, a.exento, tasa);
    pon(art::PrecioSinIVA, importes.precioSinIVA);
    pon(art::Precio, importes.precio);
    pon(art::ImporteVenta, importes.importeVenta);
    pon(art::IdUnidadBase, a.idUnidad);
    pon(art::Coeficiente, QStringLiteral("1"));
    pon(art::TipoCoeficiente, QStringLiteral("*"));
    pon(art::PideSerie, Bandera(a.usaSerie));
    pon(art::PideLote, Bandera(a.usaLote));
    pon(art::Perecedero, Bandera(a.perecedero));
    pon(art::PideTalle, Bandera(a.usaTalle));
    pon(art::RubroArticulo, vb::Trim(a.idRubro));
    pon(art::TipoArticulo, vb::Trim(a.idTipo));
    pon(art::CuentaContable, vb::Trim(a.cuentaContable));
    pon(art::CodigoBarra, vb::Trim(a.codigoBarra));
    pon(art::IdDeposito, mov.deposito);
    pon(art::ListaConIVA, QStringLiteral("0"));
    if (datos.oferta) {
        pon(art::OfertaIdInsert, datos.oferta->idInsert);
        pon(art::OfertaIdCompulsa, datos.oferta->idCompulsa);
        pon(art::EnOferta, EnOferta(*datos.oferta, datos.fecha));
    }
    return linea;
}

void LlenaLinea(ui::FlexGrid& g, int fila, const LineaGrilla& linea) {
    assert(fila >= 1 && fila < g.Rows());
    for (const auto& [col, texto] : linea) g.SetTextMatrix(fila, col, texto);
}

void LlenaLinea(ui::FlexGrid& g, int fila, const MovimientoDeposito& mov, const QString& codigo,
                const ArticuloRecepcion& a, const DatosLinea& datos) {
    LlenaLinea(g, fila, ArmaLinea(mov, codigo, a, datos));
}

// ---- what the operator sees and what the log keeps ----

LineasEspera LineasProgreso(long leidos, long total, const QString& articulo, int contador) {
    return LineasEspera{QStringLiteral("Registros leidos %1 de %2").arg(leidos).arg(total),
                        QStringLiteral("Articulo:") + articulo, QString(contador, u'|')};
}

namespace {

bool Control(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

// A value as one field of a log line (see LineaLog).
QString CampoLog(const QString& valor) {
    const bool aparte = std::any_of(valor.begin(), valor.end(), [](QChar c) {
        return c == u';' || c == u'"' || c == u'\\' || Control(c);
    });
    if (!aparte) return valor;
    QString campo(1, u'"');
    for (const QChar c : valor) {
        if (c == u'"') campo += QStringLiteral("\"\"");
        else if (c == u'\\') campo += QStringLiteral("\\\\");
        else if (Control(c)) campo += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else campo += c;
    }
    return campo + u'"';
}

}  // namespace

QString LineaLog(const MovimientoDeposito& mov, const MotivoRechazo& motivo) {
    QString razon;
    switch (motivo.rechazo) {
    case Rechazo::YaRecibido: razon = QStringLiteral("COMPROBANTE YA RECIBIDO"); break;
    case Rechazo::ArticuloInexistente: razon = QStringLiteral("ARTICULO INEXISTENTE"); break;
    case Rechazo::CodigoLargo: razon = QStringLiteral("CODIGO DE SUCURSAL O DEPOSITO DEMASIADO LARGO"); break;
    case Rechazo::ErrorAlGrabar: razon = QStringLiteral("ERROR AL GRABAR EL COMPROBANTE"); break;
    case Rechazo::DatosInvalidos: razon = QStringLiteral("DATOS INVALIDOS"); break;
    case Rechazo::NumeroRepetido: razon = QStringLiteral("NUMERO DE COMPROBANTE REPETIDO EN LA RECEPCION"); break;
    case Rechazo::MovimientoDistinto: razon = QStringLiteral("MOVIMIENTO DISTINTO AL DEL COMPROBANTE"); break;
    case Rechazo::SucursalInexistente: razon = QStringLiteral("SUCURSAL INEXISTENTE"); break;
    case Rechazo::DepositoInexistente: razon = QStringLiteral("DEPOSITO INEXISTENTE"); break;
    case Rechazo::EsperaDeposito: razon = QStringLiteral("COMPROBANTE EN ESPERA DEL DEPOSITO"); break;
    case Rechazo::TipoDesconocido: razon = QStringLiteral("TIPO DE COMPROBANTE DESCONOCIDO"); break;
    case Rechazo::ErrorEnFila: razon = QStringLiteral("ERROR AL LEER LA FILA"); break;
    case Rechazo::RecepcionAnulada: razon = QStringLiteral("RECEPCION ANULADA EN ESTA FILA"); break;
    }
    if (!motivo.detalle.isEmpty()) razon += QStringLiteral(" (") + motivo.detalle + u')';
    const QStringList campos{CampoLog(razon),
                             QStringLiteral("Suc:") + CampoLog(vb::Trim(mov.clave.sucursal)),
                             QStringLiteral("Tipo:") + CampoLog(mov.tipoComp),
                             QStringLiteral("PtoVta:") + CampoLog(vb::Trim(mov.clave.ptoVta)),
                             QStringLiteral("Numero:") + CampoLog(vb::Trim(mov.clave.numero)),
                             QStringLiteral("Movimiento:") + CampoLog(mov.movimiento),
                             QStringLiteral("Articulo:") + CampoLog(vb::Trim(mov.articulo)),
                             QStringLiteral("Cantidad:") + CampoLog(mov.cantidad),
                             QStringLiteral("Venta:") + CampoLog(mov.venta),
                             QStringLiteral("Deposito:") + CampoLog(mov.deposito)};
    return campos.join(QStringLiteral("; "));
}

}  // namespace receiver
