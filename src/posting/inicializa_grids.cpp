// The layout of a voucher's entry grids (InicializaGrids) and of their in-cell editors
// (TextPropiedades).
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/textos_posteo.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"

#include <array>
#include <initializer_list>
#include <utility>

namespace posting {

namespace {

// The settings of the layout, read before any grid is touched. A read passed over or left is no
// setting: `fallo` tells so, and no grid is laid out (what Texto gives for it is never used).
struct Lecturas {
    bool fallo = false;
    QString Texto(const char* clave) {
        const vb::ReadResult<QString> valor = core::ObtieneConfiguracion(QLatin1String(clave));
        if (valor.read()) return valor.value();
        fallo = true;
        return QString();
    }
    bool Si(const char* clave) { return core::FlagSI(Texto(clave)); }
    bool SiRecortado(const char* clave) { return core::FlagSI(vb::Trim(Texto(clave))); }
};

// The voucher type's system: SISTEMA of its V_TA_CPTE row, trimmed; empty for a type without a row.
QString SistemaDelTipo(const QString& TC) {
    const QString codigo = core::RellenaCodigo(TC, 4);
    ado::RecordsetPtr rs;
    data::DB_Dll& db = data::gDBPrincipal();
    vb::ScopeGuard libera([&] {
        if (rs) db.CierraRecordset(rs);
    });
    db.AbrirRecordset(QStringLiteral("SELECT SISTEMA FROM V_TA_CPTE with(nolock) WHERE CODIGO = '") +
                          data::LiteralSQL(codigo) + QStringLiteral("'"),
                      rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    if (!rs) vb::Raise(vb::kErrObjectNotSet);
    if (rs->Eof()) return QString();
    return vb::Trim(core::gUtilTexto().ValorNoNulo(rs->Fields(QStringLiteral("Sistema"))).text());
}

// One grid's columns, sized by the window's text widths.
class Columnas {
public:
    Columnas(ui::FlexGrid& g, const ui::TextMeasurer* medida) : g_(g), medida_(medida) {}

    // The width of n capital X, and of a text.
    long X(int n) const { return Ancho(QString(n, u'X')); }
    long Ancho(const QString& texto) const {
        if (!medida_) vb::Raise(vb::kErrObjectNotSet);
        return medida_->TextWidth(texto);
    }

    long W(int c) const { return g_.ColWidth(c); }
    void W(int c, long twips) { g_.SetColWidth(c, twips); }
    void Crece(int c, long twips) { W(c, W(c) + twips); }
    void H(int c, const QString& titulo) { g_.SetTextMatrix(0, c, titulo); }
    void H(int c, const char* titulo) { H(c, QString::fromUtf8(titulo)); }
    void Columna(int c, long twips, const char* titulo) {
        W(c, twips);
        H(c, titulo);
    }
    // Hidden columns that carry data.
    void Ocultas(std::initializer_list<std::pair<int, const char*>> columnas) {
        for (const auto& [c, titulo] : columnas) Columna(c, 0, titulo);
    }
    // Hidden columns: the widths of `ocultas` go to `destino`.
    void Absorbe(int destino, std::initializer_list<int> ocultas) {
        for (int c : ocultas) {
            Crece(destino, W(c));
            W(c, 0);
        }
    }
    void Prepara(int filas, int columnas) {
        g_.Clear();
        g_.SetRows(filas);
        g_.SetCols(columnas);
    }

private:
    ui::FlexGrid& g_;
    const ui::TextMeasurer* medida_;
};

struct Modo {
    QString sistema;
    bool stock = false;
    bool importesOcultos = false;
    bool pideDeposito = false;
    QString tituloArticulo;
    // The articles grid's settings (read only when there is one).
    bool listaPorItem = false;
    bool udEquiv = false;
    bool dtoVentas = false;
    bool dtoCompras = false;
    bool combustibles = false;
};

void GrillaTareas(ui::FlexGrid& g, ui::TextBox* TxtEdit, const ui::TextMeasurer* medida, const QString& TC,
                  const Modo& m) {
    Columnas k(g, medida);
    k.Prepara(2, 22);
    k.Columna(0, k.X(7), "Código");
    k.Columna(1, k.X(37), "Descripción");
    g.SetColAlignment(1, ui::flexAlignLeftCenter);
    k.Columna(2, k.X(7), "Horas");
    k.Columna(3, k.X(11), "Importe");
    k.Columna(4, k.X(11), "Total");
    if (m.importesOcultos) k.Absorbe(1, {3, 4});
    if (Es(TC, "OT") && m.importesOcultos) k.Absorbe(1, {2});
    k.Ocultas({{6, "ImporteSinIVA"}, {7, "AuxObservAdic"}, {5, "AuxEsExento"}, {8, "AuxFechaInicio"},
               {9, "AuxFechaFin"}, {10, "AuxIdTecnico"}, {11, "CodigoOriginal"}, {12, "AuxFechaREALInicio"},
               {13, "AuxFechaREALFin"}, {14, "AuxCuentaContable"}, {15, "Prioridad"}, {16, "Usuario"},
               {21, "AuxTasaIVA"}, {17, "AuxFhPresentacion"}, {18, "AuxFhEmision"}, {19, "AuxNroExp"},
               {20, "AuxFhEntrega"}});
    g.Refresh();
    if (!TxtEdit) vb::Raise(vb::kErrObjectNotSet);
    TxtEdit->SetVisible(false);
}

void GrillaArticulos(ui::FlexGrid& g, ui::TextBox* txtEdit2, const ui::TextMeasurer* medida, const QString& TC,
                     const Modo& m) {
    using namespace art;
    Columnas k(g, medida);
    const bool ventas = Es(m.sistema, "VENTAS");
    const bool maderera = ventas && core::gMaderera;

    k.Prepara(2, kColumnas);
    k.W(IdArticulo, k.X(15));
    k.H(IdArticulo, m.tituloArticulo);
    g.SetColAlignment(IdArticulo, ui::flexAlignLeftCenter);
    k.Columna(Descripcion, m.stock ? k.X(39) : k.X(29), "Descripción");
    g.SetColAlignment(Descripcion, ui::flexAlignLeftCenter);
    k.Columna(IdListaPrecio, 0, "Lista");
    if (m.listaPorItem && ventas) {
        k.Crece(IdArticulo, -k.X(1));
        k.Crece(Descripcion, -k.X(3));
        k.W(IdListaPrecio, k.X(4));
    }
    k.Columna(IdUnidad, k.X(4), "UD");
    k.Columna(art::Cantidad, k.X(6), "Cant.");
    k.W(IdUnidadEquiv, 0);
    k.W(CantidadEquiv, 0);
    if (m.udEquiv) {
        k.Columna(IdUnidadEquiv, k.X(7), "UDEquiv");
        k.Columna(CantidadEquiv, k.X(9), "Cant. Equiv");
    }
    k.Columna(IdDeposito, m.pideDeposito ? k.X(4) : 0, "Dep.");
    k.Columna(Precio, k.X(11), "Importe");
    if (!m.stock) {
        k.Columna(PorcDto, 0, "% Dto.");
        if ((m.dtoVentas && ventas) || (m.dtoCompras && Es(m.sistema, "Compras"))) {
            k.Crece(Precio, -k.X(1));
            k.Crece(IdArticulo, -k.X(1));
            k.Crece(Descripcion, -k.X(3));
            k.W(PorcDto, k.X(5));
        }
    } else {
        k.Columna(PorcDto, 0, "");
    }
    k.Columna(Total, 0, "Total");
    if (!m.stock)
        k.Columna(TotalLinea, k.X(10), "TOTAL");
    else
        k.Columna(TotalLinea, 0, "");
    if (m.importesOcultos) k.Absorbe(Descripcion, {Precio, Total, TotalLinea});
    k.Ocultas({{EsExento, "AuxEsExento"}, {PrecioSinIVA, "AuxPrecioSinIVA"}});
    if (!m.stock) {
        k.Columna(Impuestos, k.X(10), "Impuestos");
        k.Columna(ITC, m.combustibles ? k.X(10) : 0, "ITC");
    } else {
        k.Columna(Impuestos, 0, "");
        k.W(ITC, 0);   // no fuel tax in stock vouchers: hidden rather than left as it was
    }
    k.Ocultas({{PideSerie, "AuxPideSerie"}, {PideLote, "AuxPidelote"}, {Perecedero, "Auxesperecedero"},
               {PideTalle, "AuxPideTalle"}, {PideEquivalencia, "AuxPideEquivalencia"},
               {InsumosPorPorcentaje, "Aux_InsumosPorPorcentaje"}, {MotivoStock, "MotivoStock"},
               {ControladoPor, "ControladoPor"}});
    if (Es(TC, "DVPE")) {
        k.Columna(Series, k.Ancho(QStringLiteral("Nro. de Serie")), "Nro. Serie");
        k.Columna(Lotes, k.Ancho(QStringLiteral("Nro. de Lote")), "Nro. Lote");
    } else {
        k.Ocultas({{Series, "AuxNroSerie"}, {Lotes, "AuxNroLote"}});
    }
    k.Ocultas({{RestoPorAplicar, "AuxRestoPorAplicar"}});
    if (m.stock) {
        k.Crece(Descripcion, k.W(Precio) - 480);
        k.W(Precio, 0);
        k.Absorbe(Descripcion, {Total});
        k.Crece(IdUnidad, k.Ancho(QStringLiteral("XXXX")));
        k.Crece(art::Cantidad, k.Ancho(QStringLiteral("XXXXXXX")));
    }
    k.Ocultas({{RubroArticulo, "AuxRubroArticulo"}, {TipoArticulo, "AuxTipoArticulo"},
               {ListaConIVA, "AuxListaConIVA"}, {PrecioConIVA, "AuxPrecioConIVA"},
               {CantidadInsumo, "AuxCantidadInsumo"}, {ImporteDescuento, "AuxImporteDescuentoArticulo"},
               {TipoCoeficiente, "AuxTipoCoeficiente"}, {Coeficiente, "AuxCoeficiente"},
               {StockDisponible, "AuxStockDisponible"}, {StockMinimo, "AuxStockMinimo"}, {TasaIVA, "AuxTasaIVA"},
               {CpteOrigen, "AuxCpteOrigen"}, {IdCpteOrigen, "AuxIdCpteOrigen"},
               {CodigoPercepcion, "AuxCodigoPercepcion"}, {LoteOrigen, "Lote_Origen"}, {LoteAduana, "Lote_Aduana"}});
    // Columns with no title: this also blanks some titled just above (46, 61, 68, 86, 87, 94).
    for (int c : {Costo, CuentaContable}) k.Columna(c, 0, "");
    for (int c = IdUnidadBase; c <= Reservada82; ++c) k.Columna(c, 0, "");
    for (int c : {MotivoStock, ControladoPor, PideEquivalencia}) k.Columna(c, 0, "");
    if (maderera) {
        k.Columna(Espesor, k.X(7), "Espesor");
        k.Columna(Ancho, k.X(7), "Ancho");
        k.Columna(Coeficiente, k.X(7), "Largo");
        k.Columna(UdPrecio, k.Ancho(QStringLiteral("XXXX")), "UD");
        k.Columna(ImporteUd, k.Ancho(QStringLiteral("XXXXXXXXX")), "Importe");
        k.W(Precio, 0);
    } else {
        for (int c : {Espesor, Ancho, UdPrecio, ImporteUd}) k.W(c, 0);
    }
    k.Ocultas({{PideMedidas, "PideMedidas"}, {LargoAnterior, "LargoAnt"}, {EnOferta, ""}, {EnComodato, "EnComodato"},
               {MKBaseFamilia, "MKBaseFamilia"}, {CodError, "CodError"}, {Moneda, "Moneda"},
               {Cotizacion, "Cotizacion"}});
    g.Refresh();
    if (txtEdit2) txtEdit2->SetVisible(false);
}

void GrillaOtrosConceptos(ui::FlexGrid& g, ui::TextBox* txtEdit3, const ui::TextMeasurer* medida, const Modo& m) {
    if (!txtEdit3) vb::Raise(vb::kErrObjectNotSet);
    txtEdit3->SetText(QString());
    Columnas k(g, medida);
    k.Prepara(2, 6);
    k.Columna(0, k.X(49), "Detalle");
    g.SetColAlignment(0, ui::flexAlignLeftCenter);
    k.Columna(1, k.X(11), "Importe S/Iva");
    k.Columna(2, k.X(11), "Importe");
    k.Columna(3, 0, "Cuenta");
    if (m.importesOcultos) k.Absorbe(0, {1, 2});
    k.Ocultas({{5, ""}, {4, ""}});
}

void GrillaTotales(ui::FlexGrid& g, const ui::TextMeasurer* medida) {
    Columnas k(g, medida);
    k.Prepara(5, 3);
    k.Columna(0, k.X(50), "Descripcion");
    g.SetColAlignment(0, ui::flexAlignLeftCenter);
    k.Columna(1, k.X(15), "Cantidad ITEM'S");
    k.Columna(2, k.X(10), "Cantidad");
}

}  // namespace

bool ClsCmnCptes::InicializaGrids(ui::FlexGrid* MSFlexGrid1, ui::FlexGrid* MSFlexGrid2, ui::FlexGrid* MSFlexGrid3,
                                  ui::TextBox* TxtEdit, ui::TextBox* txtEdit2, ui::TextBox* txtEdit3,
                                  const ui::TextMeasurer* Obj, const QString& TC, ui::FlexGrid* MSFlexGrid4) {
    Lecturas leer;
    Modo m;
    m.sistema = SistemaDelTipo(TC);
    m.stock = Es(m.sistema, "STOCK");
    m.pideDeposito = leer.Si("PideDepositoEnCptes");
    if (Es(TC, "OP")) {
        m.importesOcultos = true;
    } else if (Es(TC, "OT")) {
        m.importesOcultos = leer.Si("NoMostrarImportesEnOT");
        m.pideDeposito = false;
    } else if (Es(TC, "PR")) {
        m.pideDeposito = false;
    }
    m.tituloArticulo = leer.Texto("NombreArticulos");
    if (vb::Trim(m.tituloArticulo).isEmpty()) m.tituloArticulo = QStringLiteral("Código");
    m.tituloArticulo = vb::ProperCase(m.tituloArticulo);
    if (MSFlexGrid2) {
        m.listaPorItem = leer.Si("V_ListaPreciosPorItemArticulos");
        m.udEquiv = leer.Si("ConfirmaUDEquiv");
        if (!m.stock) {
            // Both discount settings are read, whatever the system.
            m.dtoVentas = leer.Si("V_DescuentoPorArticulos");
            m.dtoCompras = leer.SiRecortado("ComprasDescuentoPorArticulo");
            m.combustibles = leer.Si("TransporteCombustibles");
        }
    }
    // A setting not read would lay the grids out on its default: none is touched. The operator
    // was asked about the read.
    if (leer.fallo) return false;

    if (MSFlexGrid1) GrillaTareas(*MSFlexGrid1, TxtEdit, Obj, TC, m);
    if (MSFlexGrid2) GrillaArticulos(*MSFlexGrid2, txtEdit2, Obj, TC, m);
    if (MSFlexGrid3) GrillaOtrosConceptos(*MSFlexGrid3, txtEdit3, Obj, m);
    if (MSFlexGrid4) GrillaTotales(*MSFlexGrid4, Obj);
    return true;
}

// ---- in-cell editors ------------------------------------------------------------------------

namespace {

struct Campo {
    int columna;
    const char* dataField;
    int maxLength;
    const char* tag;
};

constexpr std::array kCamposTareas{
    Campo{0, "IdTarea", 4, "v_ta_tareas"}, Campo{1, "Descripcion", 0, ""}, Campo{2, "HorasEstimadas", 0, ""},
    Campo{3, "ValorHora", 0, ""},          Campo{4, "Total", 0, ""},
};

constexpr std::array kCamposArticulos{
    Campo{art::IdArticulo, "IdArticulo", 25, "v_ma_articulos"},
    Campo{art::Descripcion, "Descripcion", 50, ""},
    Campo{art::IdListaPrecio, "IdListaPrecioArticulo", 4, "V_MA_PRECIOS"},
    Campo{art::Espesor, "Espesor", 0, ""},
    Campo{art::Ancho, "Ancho", 0, ""},
    Campo{art::IdUnidad, "IdUnidad", 4, "V_TA_UNIDAD"},
    Campo{art::IdDeposito, "IdDepositoArt", 4, "V_TA_DEPOSITO"},
    Campo{art::Cantidad, "Cantidad", 0, ""},
    Campo{art::Coeficiente, "Largo", 0, ""},
    Campo{art::IdUnidadEquiv, "IdUnidadEquiv", 4, "V_TA_UNIDAD"},
    Campo{art::CantidadEquiv, "CantidadEquiv", 0, ""},
    Campo{art::PorcDto, "PorcDtoArticulo", 0, ""},
    Campo{art::UdPrecio, "Ud_Pr", 4, "V_TA_UNIDAD"},
    Campo{art::ImporteUd, "Importe_Ud", 0, ""},
    Campo{art::Precio, "ArtImporte", 0, ""},
    Campo{art::Total, "Total", 0, ""},
    Campo{art::Impuestos, "Impuestos", 0, ""},
    Campo{art::ITC, "ITC", 0, ""},
};

constexpr std::array kCamposOtrosConceptos{
    Campo{0, "OCDescripcion", 200, "MA_CUENTAS/SOLOIMPUTABLES"},
    Campo{1, "OCImporteSinIva", 0, ""},
    Campo{2, "OCImporte", 0, ""},
};

template <size_t N>
void Aplica(ui::TextBox& Texto, const std::array<Campo, N>& campos, int32_t Columna) {
    for (const Campo& c : campos) {
        if (c.columna != Columna) continue;
        Texto.DataField = QString::fromLatin1(c.dataField);
        Texto.MaxLength = c.maxLength;
        Texto.Tag = QString::fromLatin1(c.tag);
        return;
    }
}

}  // namespace

void ClsCmnCptes::TextPropiedades(ui::TextBox& Texto, int32_t Columna) {
    Texto.DataField.clear();
    Texto.MaxLength = 0;
    Texto.Tag.clear();
    const QString nombre = vb::Trim(Texto.Name());
    if (Es(nombre, "TxtEdit")) {
        Aplica(Texto, kCamposTareas, Columna);
    } else if (Es(nombre, "TxtEdit2") || Es(nombre, "TXTAUX1") || Es(nombre, "TXTAUX2") ||
               Es(nombre, "TXTAUX3")) {
        Aplica(Texto, kCamposArticulos, Columna);
    } else if (Es(nombre, "TxtEdit3")) {
        Aplica(Texto, kCamposOtrosConceptos, Columna);
    }
}

}  // namespace posting
