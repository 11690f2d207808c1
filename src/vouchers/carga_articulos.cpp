// The article lines of a stored voucher into the articles grid: the quantity still to deliver of
// delivery notes, orders and invoices delivered in parts, the line's and the article's columns,
// the timber trade's measures and merge, and the equivalent quantities.
#include "vouchers/carga_comprobante.h"

#include "core/articulos.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "data/db_dll.h"
#include "lots/cantidades.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/currency.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/numeracion.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"
#include "posting/unidades.h"
#include "vouchers/carga_comprobante_sql.h"

#include <algorithm>

namespace vouchers {

namespace {

using namespace posting::art;
using posting::Es;

constexpr long kBlanco = 0xFFFFFF;   // a cell written white on white: not shown

utillib::UtilTexto& Util() { return core::gUtilTexto(); }

// A flag of the article master or the line: "-1" when it holds a true value, "0" otherwise (Null too).
QString Bandera(const ado::Recordset& r, const char* campo) {
    return Verdadero(r, campo) ? QStringLiteral("-1") : QStringLiteral("0");
}

// The key that gathers the lines of one article.
QString ClaveArticulo(const QString& articulo) { return vb::Trim(articulo).toUpper(); }

// Whether a row carries a lot or a series list: such a row is never merged.
bool TieneListas(const ui::FlexGrid& g, int fila) {
    return !vb::Trim(g.TextMatrix(fila, Lotes)).isEmpty() || !vb::Trim(g.TextMatrix(fila, Series)).isEmpty();
}

void PintaBlanco(ui::FlexGrid& g, int fila, int col) {
    g.SetCol(col);
    g.SetRow(fila);
    g.SetCellForeColor(kBlanco);
}

}  // namespace

QString ImporteTotalLinea(const ui::FlexGrid& g, int fila) {
    const double cantidad = Util().ADoble(g.TextMatrix(fila, Cantidad));
    return vb::NumberText(Util().ANumero(g.TextMatrix(fila, Total)).toDouble() +
                          Util().ANumero(g.TextMatrix(fila, Impuestos)).toDouble() * cantidad +
                          Util().ANumero(g.TextMatrix(fila, ITC)).toDouble() * cantidad);
}

void CargaComprobante::CuentaLineas(ado::Recordset& lineas) {
    // Counted aside and added once the walk is back at the first line: a walk that fails counts
    // nothing, and its retry counts each line once.
    std::map<QString, int> cuenta;
    for (; !lineas.Eof(); lineas.MoveNext()) ++cuenta[ClaveArticulo(Campo(lineas, "IdArticulo").text())];
    lineas.MoveFirst();
    for (const auto& [clave, n] : cuenta) repartos_[clave].lineas += n;
}

CargaComprobante::Reparto& CargaComprobante::RepartoDe(const QString& articulo) {
    return repartos_[ClaveArticulo(articulo)];
}

// Pending is what the voucher still has to deliver of the article, asked once and handed out over
// its lines in load order, each line taking at most its own quantity.
double CargaComprobante::AplicadoPorPendiente(const QString& articulo, double cantidad) {
    Reparto& rep = RepartoDe(articulo);
    const double pendiente = rep.pendiente ? *rep.pendiente : cpte_.CantRepartoPend(tc_, sucNroLetra_, articulo);
    const double parte = std::min(pendiente, cantidad);
    rep.pendiente = parte > 0 ? pendiente - parte : pendiente;
    return cantidad - parte;
}

// Applied is what later vouchers took of the article, summed over all their lines and handed out
// over its lines in load order, each taking at most its own quantity; the last line takes what is
// left, so that more applied than stored shows on it.
double CargaComprobante::AplicadoPorAplicaciones(const QString& articulo, double cantidad) {
    Reparto& rep = RepartoDe(articulo);
    double aplicado = 0;
    if (rep.aplicado) {
        aplicado = *rep.aplicado;
    } else {
        ado::RecordsetPtr rs;
        ado::Recordset& r = posting::Abre(SentenciaAplicado(sucNroLetra_, articulo), rs);
        for (; !r.Eof(); r.MoveNext()) aplicado += Util().ANumero(Campo(r, "CantidadAplicada")).toDouble();
        posting::Cierra(rs);
    }
    const double parte = rep.lineas > 1 ? std::clamp(aplicado, 0.0, std::max(cantidad, 0.0)) : aplicado;
    rep.aplicado = aplicado - parte;
    vb::DoEvents();
    return parte;
}

double CargaComprobante::Aplicado(ado::Recordset& r, double cantidad) {
    const QString articulo = Campo(r, "IdArticulo").text();
    const bool enPartes = vb::Val(Campo(r, "IdReparto").text()) == -1;
    if (compras_) return 0;
    if ((Es(tc_, "RM") || Es(tc_, "NP")) && EntregaParcial && !DescargaStock)
        return enPartes ? AplicadoPorPendiente(articulo, cantidad) : AplicadoPorAplicaciones(articulo, cantidad);
    if (Es(tc_, "FP") || Es(tc_, "FC")) return enPartes ? AplicadoPorPendiente(articulo, cantidad) : 0;
    return enPartes && !DescargaStock ? AplicadoPorPendiente(articulo, cantidad) : 0;
}

void CargaComprobante::Articulo(ado::Recordset& r, ui::FlexGrid& g) {
    const int fila = g.Rows() - 1;
    const vb::ReadResult<bool> depositoEnCptes = core::ConfiguracionSI(QStringLiteral("PideDepositoEnCptes"));
    if (!depositoEnCptes.read()) {
        sinLeer_ = true;
        return;
    }
    const bool pideDeposito = depositoEnCptes.value();
    const double cantidad = Util().ADoble(Campo(r, "Cantidad"));
    const QString articulo = Campo(r, "IdArticulo").text();
    GuardaReparto(articulo);
    double aplicado = Aplicado(r, cantidad);
    --RepartoDe(articulo).lineas;
    // The quantity left to load; negated, the line goes the other way (a return of what it loaded).
    if (Negada) aplicado = -aplicado;
    const double resto = (Negada ? -cantidad : cantidad) - aplicado + 0.0;
    const bool devolucion = Es(tc_, "RM") && cantidad < 0 && aplicado == 0;
    const bool negativa = lots::ComparaCantidades(resto, 0) < 0;
    g.SetTextMatrix(fila, Cantidad, negativa && !devolucion ? QStringLiteral("0") : vb::NumberText(resto));
    ColumnasDeLinea(r, g, fila);
    if (!SistemaCompras) {
        Textos(r, g, fila, {{PorcDto, "PorcDto"}, {IdListaPrecio, "IdLista"}});
        g.SetTextMatrix(fila, EnComodato, enComodato_);
        if (pideDeposito) Textos(r, g, fila, {{IdDeposito, "IdDeposito"}});
    }
    ColumnasDelMaestro(articulo, g, fila);
    g.SetTextMatrix(fila, Coeficiente, EsNulo(r, "CantidadUD") ? QStringLiteral("1") : Texto(r, "CantidadUD"));
    g.SetTextMatrix(fila, IdUnidadBase,
                    EsNulo(r, "IdUnidadBase") ? g.TextMatrix(fila, IdUnidad) : Texto(r, "IdUnidadBase"));
    if (!EsNulo(r, "Presentacion")) Textos(r, g, fila, {{Presentacion, "Presentacion"}});
    Importes(r, g, fila, {{Costo, "Costo"}, {PrecioSinIVA, "IMPORTE_S_IVA"}, {Impuestos, "Impuestos"},
                          {ITC, "iTC"}, {Total, "Total"}});
    // A loaded line keeps its controlled-by value and origin in columns 37 and 36; an order
    // carries no lots.
    if (!Es(tc_, "NP"))
        Textos(r, g, fila, {{Lotes, "Nro_Lote"}, {Series, "Nro_Serie"}, {LoteAduana, "ControladoPor"},
                            {LoteOrigen, "IdOrigen"}});
    g.SetTextMatrix(fila, EsExento, Bandera(r, "Exento"));
    if (!SistemaCompras) Textos(r, g, fila, {{TasaIVA, "AlicIVA"}});
    if (SistemaCompras && !EsNulo(r, "Precio_Lista")) Importes(r, g, fila, {{PrecioLista, "Precio_Lista"}});
    g.SetTextMatrix(fila, TotalLinea, ImporteTotalLinea(g, fila));
    if (SistemaCompras) g.SetTextMatrix(fila, CodigoArtProveedor, Campo(r, "CodigoArtProveedor").text());
    g.SetTextMatrix(fila, RestoPorAplicar, vb::NumberText(cantidad - aplicado + 0.0));
    g.SetTextMatrix(fila, CpteCargado, vb::Trim(sucNroLetra_));
    const int final = !SistemaCompras && core::gMaderera ? Maderera(r, g, fila) : fila;
    g.SetRow(final);
    if (!posting::Stock::CalculaCantidadesEquivGrilla(g)) sinLeer_ = true;
}

// The line's own columns, in the voucher's currency or converted.
void CargaComprobante::ColumnasDeLinea(ado::Recordset& r, ui::FlexGrid& g, int fila) {
    Textos(r, g, fila, {{IdArticulo, "IdArticulo"}, {Descripcion, "Descripcion"}, {IdUnidad, "IdUnidad"},
                        {UnidadCargada, "IdUnidad"}, {IdUnidadEquiv, "IdUnidadBase"}, {CantidadEquiv, "CantidadUD"}});
    Importes(r, g, fila, {{Precio, "Importe"}});
    if (!Verdadero(r, "Exento")) {
        // The price with VAT is shown to final consumers (letter B).
        const vb::ReadResult<QString> condicion = core::ObtieneConfiguracion(QStringLiteral("CONDIVA"));
        if (!condicion.read()) {
            sinLeer_ = true;
            return;
        }
        const QString letra = posting::ast::ObtieneLetraComprobante(condicion.value(), condicionIVA_);
        if (letra == QLatin1String("B")) g.SetTextMatrix(fila, PrecioConIVA, Importe(r, "Importe"));
    }
}

// The article master's columns; an article missing from the master leaves them as they are.
void CargaComprobante::ColumnasDelMaestro(const QString& articulo, ui::FlexGrid& g, int fila) {
    QString codigo = core::RellenaCodigo(articulo, 25);
    ado::RecordsetPtr rs;
    if (core::BuscaArticulo(codigo, &rs, true, false) && rs) ColumnasDelArticulo(*rs, g, fila);
    posting::Cierra(rs);
}

void CargaComprobante::ColumnasDelArticulo(const ado::Recordset& a, ui::FlexGrid& g, int fila) {
    const vb::Variant tipo = Campo(a, "IdTipo");
    const vb::ReadResult<vb::Variant> descripcion =
        data::gDBPrincipal().DatosTabla(QStringLiteral("V_TA_TipoArticulo"), tipo, QStringLiteral("Descripcion"),
                                        QStringLiteral("IdTipo"), ado::adBSTR, QString(), false, false);
    if (descripcion.read()) g.SetTextMatrix(fila, DescripcionTipo, vb::Trim(descripcion.value().text()));
    else sinLeer_ = true;
    Textos(a, g, fila, {{Presentacion, "Presentacion"}, {CodigoBarra, "CodigoBarra"}});
    const Columnas banderas = {{PideSerie, "UsaSerie"}, {PideLote, "UsaLote"},
                               {posting::art::Perecedero, "Perecedero"}, {PideTalle, "UsaTalle"},
                               {PideEquivalencia, "PideEquivalencia"}, {EnUnidadBase, "pesable"}};
    for (const ColumnaCampo& c : banderas) g.SetTextMatrix(fila, c.columna, Bandera(a, c.campo));
    g.SetTextMatrix(fila, TipoCoeficiente, QStringLiteral("*"));
}

int CargaComprobante::Maderera(ado::Recordset& r, ui::FlexGrid& g, int fila) {
    const vb::ReadResult<vb::Variant> leidas =
        data::gDBPrincipal().DatosTabla(QStringLiteral("V_MA_ARTICULOS"), Campo(r, "IdArticulo"),
                                        QStringLiteral("PIDEMEDIDAS"), QStringLiteral("IDARTICULO"), ado::adBSTR, QString(),
                                        false, false);
    if (!leidas.read()) {
        sinLeer_ = true;
        return fila;
    }
    QString medidas = vb::Trim(leidas.value().text());
    if (medidas.isEmpty()) medidas = QStringLiteral("FALSO");
    const bool pideMedidas = core::ConvierteBooleano(medidas);
    g.SetTextMatrix(fila, PideMedidas, pideMedidas ? QStringLiteral("1") : QStringLiteral("0"));
    if (pideMedidas) {
        Textos(r, g, fila, {{Espesor, "ESPESOR"}, {Ancho, "Ancho"}, {UnidadCargada, "IdUnidad"}});
        // Strips are sold by their length; other units show none.
        if (g.TextMatrix(fila, IdUnidad).compare(core::gMadTiras, Qt::CaseInsensitive) == 0)
            g.SetTextMatrix(fila, Coeficiente, Texto(r, "Equiv_UDBase"));
        else
            PintaBlanco(g, fila, Coeficiente);
    } else {
        for (int col : {Espesor, Ancho, Coeficiente}) PintaBlanco(g, fila, col);
    }
    Textos(r, g, fila, {{UdPrecio, "Ud_Pr"}});
    Importes(r, g, fila, {{ImporteUd, "Importe_Ud"}});
    const int destino = Fusiona(g, fila);
    return destino < 0 ? fila : destino;
}

int CargaComprobante::Fusiona(ui::FlexGrid& g, int r) {
    if (TieneListas(g, r)) return -1;
    const auto igual = [&](int i, int col) {
        return vb::Trim(g.TextMatrix(i, col)).compare(vb::Trim(g.TextMatrix(r, col)), Qt::CaseInsensitive) == 0;
    };
    // Another voucher's rows, and those the operator typed, are not this voucher's lines.
    const int hasta = g.Rows() - 2;
    for (int i = std::max(primeraFila_, 1); i <= hasta; ++i) {
        if (!(igual(i, IdArticulo) && igual(i, IdUnidad) && igual(i, Espesor) && igual(i, Ancho) && igual(i, ImporteUd)))
            continue;
        if (TieneListas(g, i)) continue;
        GuardaFila(g, i);   // put back should the record fail after the merge
        const double qi = Util().ADoble(g.TextMatrix(i, Cantidad));
        const double qr = Util().ADoble(g.TextMatrix(r, Cantidad));
        const double suma = qi + qr;
        vb::Currency precio = Util().ANumero(g.TextMatrix(i, Precio));
        // The mean weighted by quantity; lines that cancel out keep the row's own.
        if (suma != 0) {
            const double largo = (Util().ADoble(g.TextMatrix(i, Coeficiente)) * qi +
                                  Util().ADoble(g.TextMatrix(r, Coeficiente)) * qr) / suma;
            g.SetTextMatrix(i, Coeficiente, vb::NumberText(largo));
            precio = vb::Currency::fromDouble((precio.toDouble() * qi +
                                               Util().ANumero(g.TextMatrix(r, Precio)).toDouble() * qr) / suma);
        }
        g.SetTextMatrix(i, LargoAnterior, Util().ANumero(g.TextMatrix(i, Coeficiente)).toString());
        g.SetTextMatrix(i, CantidadEquiv, (Util().ANumero(g.TextMatrix(r, CantidadEquiv)) +
                                           Util().ANumero(g.TextMatrix(i, CantidadEquiv))).toString());
        const vb::Currency total = Util().ANumero(g.TextMatrix(r, Total)) + Util().ANumero(g.TextMatrix(i, Total));
        g.SetTextMatrix(i, Cantidad, vb::NumberText(qr + qi));
        g.SetTextMatrix(i, Precio, precio.toString());
        g.SetTextMatrix(i, Total, total.toString());
        g.SetTextMatrix(i, PrecioSinIVA, precio.toString());
        g.SetTextMatrix(i, RestoPorAplicar, vb::NumberText(Util().ADoble(g.TextMatrix(i, RestoPorAplicar)) +
                                                           Util().ADoble(g.TextMatrix(r, RestoPorAplicar))));
        g.SetRows(g.Rows() - 1);
        g.SetTextMatrix(i, TotalLinea, ImporteTotalLinea(g, i));
        return i;
    }
    return -1;
}

}  // namespace vouchers
