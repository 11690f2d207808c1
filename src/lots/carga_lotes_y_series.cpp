#include "lots/carga_lotes_y_series.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lots/lotes_sql.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"
#include "posting/lista_pipe.h"
#include "posting/tratamiento.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace lots {

namespace {

using posting::ListaPipe::ArmaLista;
using posting::ListaPipe::DescomponeSerieLote;
using posting::ListaPipe::kPar;   // joins a lot and its serial in one list item

const QString kCantidad = QStringLiteral("Cantidad");
const QString kMenorACero = QStringLiteral("La Cantidad no puede ser Menor a Cero");
const QString kSuperaStock = QStringLiteral("La Cantidad supera a la cantidad disponible en Stock");
const QString kSeparador = NoPuedeContener(QStringLiteral("| ni ÿ"));
const QString kNoListados = QStringLiteral("No se listan los lotes o series que contienen los caracteres | o ÿ: ");

// Whether a value holds a character that separates the items of a list or joins a pair.
bool TieneSeparador(const QString& valor) { return valor.contains(u'|') || valor.contains(kPar); }

// A list item as lot and serial: "lot ÿ serial", or a lot alone.
struct Par {
    QString lote;
    QString serie;
};

Par ParteItem(const QString& item) {
    const qsizetype i = item.indexOf(kPar);
    if (i < 0) return {item.trimmed(), QString()};
    return {item.left(i).trimmed(), item.mid(i + 1).remove(kPar).trimmed()};
}

// The key of a lot and serial: both whole, letter case ignored.
QString Clave(const QString& lote, const QString& serie) {
    return (lote.trimmed() + kPar + serie.trimmed()).toCaseFolded();
}
QString Clave(const Par& p) { return Clave(p.lote, p.serie); }

// A list that holds nothing but its separators and blanks is the empty list.
QString SinVacia(const QString& lista) {
    return core::gUtilTexto().Reemplaza(lista, QStringLiteral("|")).trimmed().isEmpty() ? QString() : lista;
}

// The items of a list without its trailing empty element.
QStringList Items(const QString& lista) {
    QStringList items = DescomponeSerieLote(lista);
    items.removeLast();
    return items;
}

}  // namespace

CargaLotesySeries::CargaLotesySeries() : GrillaLotes(QStringLiteral("Numeros de Serie")) {
    LeeFormatoSerieAsterisco();
}

bool CargaLotesySeries::LeeFormatoSerieAsterisco() {
    formatoSerieAsterisco_ = core::ConfiguracionSI(QStringLiteral("ART_FormatoSerieAsterisco"));
    return formatoSerieAsterisco_.read();
}

CargaLotesySeries::~CargaLotesySeries() = default;

// ---- loading ----

void CargaLotesySeries::CargaDatos() {
    // Every step runs even when an earlier one fails: the operator sees what was loaded.
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] { EsSerieYLote = EsSerie && EsLote; });
    on.run([&] {
        QString titulo;
        if (EsTalle) {
            titulo = QStringLiteral("Talles, Colores, Sexo (Deposito: ");
            if (EsSerieYLote) {   // sizes with serials: only the serials count
                EsSerieYLote = false;
                EsLote = false;
            }
        } else if (EsSerieYLote) {
            titulo = QStringLiteral("Números de Lote y Serie (Deposito: ");
        } else if (EsSerie) {
            titulo = QStringLiteral("Números de Serie (Deposito: ");
        } else if (EsLote) {
            titulo = QStringLiteral("Números de Lote (Deposito: ");
        }
        if (!titulo.isEmpty()) SetCaption(titulo + Deposito + QStringLiteral(")"));
    });
    on.run([&] { MuestraEtiqueta(vb::ProperCase(ArticuloDescripcion)); });
    on.run([&] { InicializaGrid(); });
    // The stock rows are loaded whole or not at all: a failure half way takes back the rows it
    // added, so the dialog never offers part of the stock as if it were all of it.
    const int filasAntes = MSFlexGrid1.Rows();
    on.runUndoing([&] { VerificaAnteriores(); },
                  [&, claves = filaDeClave_, stock = filasStock_]() noexcept {
                      if (MSFlexGrid1.Rows() > filasAntes) MSFlexGrid1.SetRows(filasAntes);
                      filaDeClave_ = claves;
                      filasStock_ = stock;
                  });
    on.run([&] { VerificaExistenciasEnGrilla(); });
    on.run([&] { AjustaAnchoColumnas(); });
    on.run([&] {   // the cursor on the first cell the operator types in
        if (MSFlexGrid1.Rows() <= MSFlexGrid1.FixedRows()) return;
        MSFlexGrid1.SetRow(MSFlexGrid1.FixedRows());
        MSFlexGrid1.SetCol(EsConsultaDeSerieLote ? kColCantidad : kColValor);
    });
}

int CargaLotesySeries::FilasDeValores(double cantidad) {
    const double filas = std::nearbyint(std::fabs(cantidad));   // halves to even
    return filas <= kMaxValores ? static_cast<int>(filas) : -1;    // NaN too
}

void CargaLotesySeries::InicializaGrid() {
    ui::FlexGrid& g = MSFlexGrid1;
    const auto anchoX = [this](int n) { return Medida().TextWidth(QString(n, u'X')); };
    filaDeClave_.clear();
    if (EsConsultaDeSerieLote) {
        g.Clear();
        g.SetCols(4);
        g.SetFixedCols(2);
        g.SetTextMatrix(0, kColLote, EsTalle ? QStringLiteral("TALLE-COLOR-SEXO") : QStringLiteral("LOTE"));
        g.SetTextMatrix(0, kColSerie, QStringLiteral("SERIE"));
        g.SetTextMatrix(0, kColStock, QStringLiteral("CANT. STOCK"));
        g.SetTextMatrix(0, kColCantidad, QStringLiteral("CANT. "));
        g.SetColWidth(kColSerie, anchoX(25));
        g.SetColWidth(kColLote, anchoX(18));
        g.SetColWidth(kColStock, anchoX(12));
        g.SetColWidth(kColCantidad, anchoX(25));
        g.SetRows(1);
        filasStock_ = 1;
        if (!EsSerie) g.SetColWidth(kColSerie, 0);
        if (!EsLote) g.SetColWidth(kColLote, 0);
        g.SetColAlignment(kColSerie, ui::flexAlignCenterTop);
        g.SetColAlignment(kColLote, ui::flexAlignCenterTop);
        return;
    }
    // One value row per unit; a negative or fractional quantity counts as its rounded size; a
    // quantity beyond what a grid can hold gets none (the driver refuses it before).
    g.SetRows(std::max(FilasDeValores(Cantidad), 0) + g.FixedRows());
    if (EsSerie) {
        g.SetTextMatrix(0, kColValor, QStringLiteral("Número de Serie"));
        g.SetColWidth(kColValor, anchoX(25));
    }
    g.SetColWidth(0, 0);
}

int CargaLotesySeries::AgregaFila(const QString& lote, const QString& serie, const QString& stock,
                                  const QString& cantidad) {
    // Stock whose code holds a separator is not listed, and an earlier choice's item holds none:
    // the pairs Accept writes read back as they were.
    assert(!TieneSeparador(lote) && !TieneSeparador(serie));
    ui::FlexGrid& g = MSFlexGrid1;
    const int fila = g.Rows();
    g.SetRows(fila + 1);
    g.SetTextMatrix(fila, kColLote, lote);
    g.SetTextMatrix(fila, kColSerie, serie);
    g.SetTextMatrix(fila, kColStock, stock);
    g.SetTextMatrix(fila, kColCantidad, cantidad);
    const QString clave = Clave(lote, serie);
    if (!filaDeClave_.contains(clave)) filaDeClave_.insert(clave, fila);   // a key already there keeps its first row
    return fila;
}

int CargaLotesySeries::FilaDe(const QString& clave) const {
    const int fila = filaDeClave_.value(clave, -1);
    // The rows are kept with the grid's: laid out anew, or taken back with it (CargaDatos).
    assert(fila < 0 || (fila >= MSFlexGrid1.FixedRows() && fila < MSFlexGrid1.Rows()));
    return fila;
}

void CargaLotesySeries::VerificaAnteriores() {
    if (!EsConsultaDeSerieLote) {
        MuestraAnteriores();
        return;
    }
    ui::FlexGrid& g = MSFlexGrid1;
    utillib::UtilTexto& util = core::gUtilTexto();

    // The stock rows: one per lot and serial, the rows of one lot and serial (in several
    // positions) summed. A code holding a list's separator would split its pair when the list is
    // read: such stock is not listed, and the operator is told which.
    ado::RecordsetPtr rs;
    vb::ScopeGuard cierra([&] { posting::Cierra(rs); });
    posting::Abre(SqlStockLotesySeries(Articulo, Deposito), rs);
    bool hayStock = false;
    QStringList noListados;
    for (; !rs->Eof(); rs->MoveNext()) {
        hayStock = true;
        const QString lote = util.ValorNoNulo(rs->Fields(QStringLiteral("NroLote"))).text().trimmed();
        const QString serie = util.ValorNoNulo(rs->Fields(QStringLiteral("NroSerie"))).text().trimmed();
        const double cantidad = util.ADoble(util.ValorNoNulo(rs->Fields(QStringLiteral("Cantidad"))));
        if (TieneSeparador(lote) || TieneSeparador(serie)) {
            noListados << (serie.isEmpty() ? lote : lote + u' ' + serie).trimmed();
            continue;
        }
        if (const int f = FilaDe(Clave(lote, serie)); f >= 0)
            g.SetTextMatrix(f, kColStock, TextoCantidad(LeeCantidad(g.TextMatrix(f, kColStock)) + cantidad));
        else
            AgregaFila(lote, serie, TextoCantidad(cantidad), QString());
    }
    filasStock_ = g.Rows();
    assert(filasStock_ >= g.FixedRows());
    if (!noListados.isEmpty())
        ui::MsgBox(kNoListados + noListados.join(QStringLiteral(", ")), ui::vbInformation, kAvisoOperadorPregunta);

    // The earlier choice's pairs that no stock row holds any more, each in a row of its own.
    const QStringList previos = Items(Lotes);
    for (const QString& item : previos) {
        const Par p = ParteItem(item);
        if (p.lote.isEmpty() && p.serie.isEmpty()) continue;
        if (FilaDe(Clave(p)) < 0) AgregaFila(p.lote, p.serie, QStringLiteral("0"), QStringLiteral("0"));
    }
    if (!hayStock) return;

    AgregaFila(QString(), QString(), QString(), QString());   // for a quantity without lot or serial
    if (Lotes.isEmpty()) {
        CompletaCantidades();
        return;
    }
    // The earlier choice's quantities, each on the (first) row of its lot and serial: stock without
    // lot or serial and the row for a quantity without them share a key.
    QHash<QString, int> posicion;
    for (int i = 0; i < previos.size(); ++i) {
        const QString clave = Clave(ParteItem(previos[i]));
        if (!posicion.contains(clave)) posicion.insert(clave, i);   // the first item of a pair counts
    }
    const QStringList cantidades = Items(Series);
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const QString clave = Clave(g.TextMatrix(r, kColLote), g.TextMatrix(r, kColSerie));
        const auto p = FilaDe(clave) == r ? posicion.constFind(clave) : posicion.cend();
        const QString previa = p != posicion.cend() && *p < cantidades.size() ? cantidades[*p] : QString();
        g.SetTextMatrix(r, kColCantidad, TextoCantidad(LeeCantidad(previa)));
    }
}

// Entry mode: the values given before, from the first row down, in the list Accept writes them
// to ("-" stands for a row left empty).
void CargaLotesySeries::MuestraAnteriores() {
    ui::FlexGrid& g = MSFlexGrid1;
    const bool enLotes = EsLote && !EsSerieYLote;
    QString lista = enLotes ? LotesAnteriores : SeriesAnteriores;
    if (lista.trimmed().isEmpty()) lista = enLotes ? SeriesAnteriores : LotesAnteriores;
    const QStringList valores = Items(lista);
    for (int i = 0; i < valores.size() && g.FixedRows() + i < g.Rows(); ++i)
        g.SetTextMatrix(g.FixedRows() + i, kColValor, valores[i] == QStringLiteral("-") ? QString() : valores[i]);
}

void CargaLotesySeries::VerificaExistenciasEnGrilla() {
    if (!EsConsultaDeSerieLote) return;
    ui::FlexGrid& g = MSFlexGrid1;
    vb::OnError on = vb::OnError::SkipAll();
    // What the voucher's other lines take of each lot and serial leaves that much less in stock.
    // The lines gathered are all of the article's, the one reopened included: one item of each
    // pair and quantity of its earlier choice (Lotes, Series) is its own and is left out, so
    // that a line never counts against itself.
    on.run([&] {
        if (LotesExistentes.isEmpty()) return;
        const auto clave = [](const QStringList& pares, const QStringList& cantidades, int k) {
            const double q = LeeCantidad(cantidades.value(k));
            return std::pair{Clave(ParteItem(pares[k])), TextoCantidad(q)};
        };
        QHash<std::pair<QString, QString>, int> propios;
        const QStringList previos = Items(Lotes);
        const QStringList previas = Items(Series);
        for (int k = 0; k < previos.size(); ++k) ++propios[clave(previos, previas, k)];
        const QStringList tomados = Items(LotesExistentes);
        const QStringList cantidades = Items(SeriesExistentes);
        // Every row's new stock first, written once all are known: a failure leaves the stock as read.
        std::map<int, double> stock;
        for (int k = 0; k < tomados.size(); ++k) {
            const auto item = clave(tomados, cantidades, k);
            if (auto p = propios.find(item); p != propios.end() && *p > 0) {
                --*p;
                continue;
            }
            const int f = FilaDe(item.first);
            if (f < g.FixedRows() || f >= filasStock_) continue;   // only the rows that came from stock
            auto [it, nuevo] = stock.try_emplace(f, 0.0);
            if (nuevo) it->second = LeeCantidad(g.TextMatrix(f, kColStock));
            it->second -= LeeCantidad(item.second);
        }
        std::vector<std::pair<int, QString>> textos;
        textos.reserve(stock.size());
        for (const auto& [f, q] : stock) textos.emplace_back(f, TextoCantidad(q));
        for (const auto& [f, texto] : textos) g.SetTextMatrix(f, kColStock, texto);
    });
    if (!Lotes.isEmpty()) return;
    on.run([&] {
        for (int r = g.FixedRows(); r < g.Rows(); ++r) g.SetTextMatrix(r, kColCantidad, QStringLiteral("0"));
    });
    on.run([&] { ProponeCantidades(); });
}

// In grid order (lot, then serial): older lots are taken first.
void CargaLotesySeries::ProponeCantidades() { ProponeEn(kColStock, kColCantidad, Cantidad); }

void CargaLotesySeries::CompletaCantidades() {
    ui::FlexGrid& g = MSFlexGrid1;
    double resto = Cantidad;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        double q = std::max(LeeCantidad(g.TextMatrix(r, kColStock)), 0.0);
        if (q > resto) q = resto;
        if (q == 0 && resto > 0) q = resto;   // what no row holds goes to a row without stock
        resto -= q;
        g.SetTextMatrix(r, kColCantidad, TextoCantidad(q));
        if (ComparaCantidades(resto, 0) <= 0) break;
    }
}

double CargaLotesySeries::SumaFilas(int32_t MenosCual) const {
    double suma = 0;
    vb::OnError on(posting::Tratamiento("SumaFilas#"));
    on.run([&] { suma = SumaColumna(kColCantidad, MenosCual); });
    return suma;
}

bool CargaLotesySeries::ValidaCantidadCantidadPedida() { return SumaIgualA(kColCantidad, Cantidad); }

// ---- accept ----

// Query mode: a whole quantity, not below 0, and on a row that came from stock not above what it
// holds; the trailing blank row and unmatched earlier rows keep no limit.
QString CargaLotesySeries::RechazoCantidad(int fila, double q) const {
    const ui::FlexGrid& g = MSFlexGrid1;
    if (ComparaCantidades(q, 0) < 0) return kMenorACero;
    if (ComparaCantidades(q, std::round(q)) != 0)
        return QStringLiteral("No Puede Informase Cantidades que no Sean Enteras");
    if (fila >= g.FixedRows() && fila < filasStock_ &&
        ComparaCantidades(q, std::max(LeeCantidad(g.TextMatrix(fila, kColStock)), 0.0)) > 0)
        return kSuperaStock;
    return QString();
}

// Entry mode: no value holding a separator of the list.
bool CargaLotesySeries::ValidaValores() {
    const ui::FlexGrid& g = MSFlexGrid1;
    for (int r = g.FixedRows(); r < g.Rows(); ++r) {
        const QString valor = g.TextMatrix(r, kColValor);
        if (!TieneSeparador(valor)) continue;
        RechazaCelda(r, kColValor, kSeparador);
        return false;
    }
    return true;
}

QString CargaLotesySeries::ListaDeColumna(int col) const {
    QStringList valores;
    for (int r = MSFlexGrid1.FixedRows(); r < MSFlexGrid1.Rows(); ++r) {
        const QString valor = MSFlexGrid1.TextMatrix(r, col).trimmed();
        assert(!TieneSeparador(valor) && "the values were checked at Accept (ValidaValores)");
        valores << (valor.isEmpty() ? QStringLiteral("-") : valor);
    }
    return SinVacia(ArmaLista(valores));
}

void CargaLotesySeries::CmdAceptar_Click() {
    EscribeEditor();   // what is typed and not yet in its cell counts
    ui::FlexGrid& g = MSFlexGrid1;
    vb::OnError on(posting::Tratamiento(""));
    if (EsConsultaDeSerieLote) {
        if (!ValidaCantidades(kColCantidad)) return;
        bool sigue = false;
        on.run([&] {
            sigue = ValidaCantidadCantidadPedida() ||
                    AjustaCantidadPedida(Cantidad, SumaFilas(-1), MostrarForm,
                                         QStringLiteral("El Stock es Menor a la cantidad solicitada "));
        });
        if (!sigue) return;
        on.run([&] {
            QStringList pares, cantidades;
            for (int r = g.FixedRows(); r < g.Rows(); ++r) {
                const double q = LeeCantidad(g.TextMatrix(r, kColCantidad));
                // Checked above: a row of stock is never given more than it holds.
                assert(RechazoCantidad(r, q).isEmpty());
                pares << g.TextMatrix(r, kColLote).trimmed() + kPar + g.TextMatrix(r, kColSerie).trimmed();
                cantidades << TextoCantidad(q);
            }
            Lotes = SinVacia(ArmaLista(pares));
            Series = SinVacia(ArmaLista(cantidades));
        });
        if (!on.left()) Ocultar(true);
        return;
    }
    on.run([&] { CompletaTodoIgual(); });
    if (!ValidaValores()) return;
    // The format not read at the dialog's start is read now: the check it decides is not skipped
    // on a default. Not read again either, the dialog stays open (the operator was asked).
    if (EsSerie && !formatoSerieAsterisco_.read() && !LeeFormatoSerieAsterisco()) return;
    if (EsSerie && FormatoSerieAsterisco()) {
        for (int r = g.FixedRows(); r < g.Rows(); ++r) {
            const QString valor = g.TextMatrix(r, kColValor).trimmed();
            if (valor.isEmpty() || valor.contains(u'*')) continue;
            ui::MsgBox(QStringLiteral("Segun configuracion del sistema, debe informar NRODESERIE * CANTIDAD \r\n"
                                      "Verifique la configuracion del sistema - Stock / Otros"),
                       ui::vbOKOnly, QString());
            return;
        }
    }
    bool listo = on.run([&] {
        if (EsLote && !EsSerieYLote) {
            Lotes = ListaDeColumna(kColValor);
            Series.clear();
        } else {
            Series = ListaDeColumna(kColValor);
            Lotes.clear();
        }
    });
    if (listo) Ocultar(true);
}

// ---- editing ----

bool CargaLotesySeries::Editable(const ui::FlexGrid& MsFlexGrid) const {
    // Query mode: only CANT. (the stock column is read-only); entry mode: the value column.
    return MsFlexGrid.Col() == (EsConsultaDeSerieLote ? kColCantidad : kColValor);
}

void CargaLotesySeries::Text_Propiedades(ui::TextBox& Texto, int32_t Columna) {
    Texto.DataField.clear();
    Texto.MaxLength = 25;
    Texto.Tag.clear();
    if (EsConsultaDeSerieLote && (Columna == kColStock || Columna == kColCantidad)) {
        Texto.DataField = kCantidad;
        Texto.MaxLength = 0;
    }
}

void CargaLotesySeries::CampoValida(ui::TextBox& Texto) {
    errorCampo_ = false;
    ui::FlexGrid& g = MSFlexGrid1;
    const QString T = Texto.Text().trimmed();
    const QString F = Texto.DataField.trimmed();
    if (F.compare(kCantidad, Qt::CaseInsensitive) == 0) {
        if (EsConsultaDeSerieLote) ValidaCantidadEditor(T);
        return;
    }
    QString mensaje;
    vb::OnError on(posting::Tratamiento("CampoValida"));
    on.run([&] {
        if (TieneSeparador(T)) {
            mensaje = kSeparador;
            return;
        }
        if (g.Row() != g.FixedRows()) return;
        g.SetText(T);   // the first value goes into every row left empty
        CompletaTodoIgual();
    });
    if (mensaje.isEmpty()) return;
    ui::MsgBox(mensaje, ui::vbCritical, kAvisoOperador);
    errorCampo_ = true;
}

void CargaLotesySeries::MueveConEnter(ui::FlexGrid& MsFlexGrid) {
    // The column the operator types in: CANT. in query mode, the value column in entry mode.
    const bool propia = MsFlexGrid.Name().trimmed().compare(QStringLiteral("msflexgrid1"), Qt::CaseInsensitive) == 0;
    const int objetivo = !propia ? 0 : (EsConsultaDeSerieLote ? kColCantidad : kColValor);
    if (MsFlexGrid.Col() == objetivo) {
        if (MsFlexGrid.Row() < MsFlexGrid.Rows() - 1) MsFlexGrid.SetRow(MsFlexGrid.Row() + 1);
        MsFlexGrid.SetCol(objetivo);
        return;
    }
    if (EsSerieYLote && MsFlexGrid.Col() < MsFlexGrid.Cols() - 1) MsFlexGrid.SetCol(MsFlexGrid.Col() + 1);
    if (EsConsultaDeSerieLote) MsFlexGrid.SetCol(kColCantidad);
}

void CargaLotesySeries::CompletaTodoIgual() {
    if (EsConsultaDeSerieLote) return;   // column 1 holds the serials of the stock rows
    vb::OnError on = vb::OnError::SkipAll();
    ui::FlexGrid& g = MSFlexGrid1;
    QString valor;
    on.run([&] { valor = g.TextMatrix(g.FixedRows(), kColValor).trimmed(); });
    for (int r = g.FixedRows(); r < g.Rows(); ++r)
        on.run([&] {
            if (g.TextMatrix(r, kColValor).trimmed().isEmpty()) g.SetTextMatrix(r, kColValor, valor);
        });
}

// ---- keys and toolbar ----

void CargaLotesySeries::Form_KeyDown(int& KeyCode, int Shift) {
    (void)Shift;
    constexpr int kTeclaF2 = 113;
    if (KeyCode != kTeclaF2) return;
    KeyCode = 0;
    CmdAceptar_Click();
}

void CargaLotesySeries::Toolbar1_ButtonClick(int Index) {
    EscribeEditor();
    ui::FlexGrid& g = MSFlexGrid1;
    if (!Editable(g) || !FilaActualDeDatos()) return;   // only the column the operator types in
    const int col = g.Col();
    switch (Index) {
    case kBotonLlenar: {
        const QString valor = g.Text().trimmed();
        for (int r = g.Row() + 1; r < g.Rows(); ++r) g.SetTextMatrix(r, col, valor);
        break;
    }
    case kBotonBlanquear:
        for (int r = g.Row() + 1; r < g.Rows(); ++r) g.SetTextMatrix(r, col, QString());
        break;
    default:
        break;
    }
}

}  // namespace lots
