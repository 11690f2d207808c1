#include "lookup/lib_frm_cons3.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "lookup/consultas_len.h"
#include "lookup/lookup_sql.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/format.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <cmath>

namespace lookup {

namespace {

constexpr double kTwipsPorPixel = 15.0;
// The widest column the widths file may give, in twips (a column of some 66,000 pixels).
constexpr double kMayorAnchoColumna = 1e6;

int Px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPorPixel)); }
double Twips(int px) { return px * kTwipsPorPixel; }

// Design-time sizes of the window's controls, in twips.
constexpr double kAltoMarco = 615;
constexpr double kAltoBoton = 375;
constexpr double kAnchoBoton = 1335;
constexpr double kAltoCaja = 315;
constexpr double kAltoBarra = 255;
constexpr double kAnchoInicial = 9000;
constexpr double kAltoInicial = 6600;

const QColor kCian(0, 255, 255);      // &HFFFF00
const QColor kBlanco(255, 255, 255);  // &HFFFFFF

QColor ColorBGR(long bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

void PintaFondo(QComboBox* caja, const QColor& color) {
    QPalette p = caja->palette();
    p.setColor(QPalette::Base, color);
    caja->setPalette(p);
    if (caja->lineEdit()) caja->lineEdit()->setPalette(p);
}

utillib::UtilTexto& Util() { return core::gUtilTexto(); }

}  // namespace

int NivelStock(vb::Currency P, vb::Currency S) {
    const vb::Currency cero;
    if (P == cero && S > cero) return 1;
    if (P > cero && S > P) return 2;
    if (P > cero && S < P) return 3;
    return 4;
}

bool EstaEnValoresDefault(const QString& valor, const QString& valoresDefault) {
    const QString buscado = vb::Trim(valor);
    if (buscado.isEmpty()) return false;
    const QStringList claves = valoresDefault.split(QRegularExpression(QStringLiteral("[,;|]")));
    for (const QString& c : claves)
        if (vb::Trim(c).compare(buscado, Qt::CaseInsensitive) == 0) return true;
    return false;
}

double AnchoVentana(double anchoLista, double anchoPantalla) {
    if (anchoLista + 360 >= anchoPantalla) return anchoPantalla - 480;
    return anchoLista + 280;
}

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent) : DialogoConsulta(QStringLiteral("Lib_FrmCons3"), parent) {

    picFields = new QWidget(this);
    picFields->setObjectName(QStringLiteral("picFields"));
    ListView1 = new QTreeWidget(picFields);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);   // cells are never edited in place
    ListView1->setColumnCount(0);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->installEventFilter(this);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int i) { ListView1_ColumnClick(i + 1); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { CmdAceptar_Click(); });
    connect(ListView1->header(), &QHeaderView::sectionResized, this, [this] { ColocaCajas(); });

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { HScroll1_Change(v); });

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    CreaBotones(Frame1);
    // The three buttons share one width, wide enough for the longest caption.
    int anchoBoton = Px(kAnchoBoton);
    for (QPushButton* b : {CmdAceptar, CmdCancelar, CmdNueva}) anchoBoton = std::max(anchoBoton, b->sizeHint().width());
    for (QPushButton* b : {CmdAceptar, CmdCancelar, CmdNueva}) {
        b->resize(anchoBoton, std::max(Px(kAltoBoton), b->sizeHint().height()));
        b->move(b->x(), Px((kAltoMarco - kAltoBoton) / 2));
    }

    lblFieldName = new QLabel(this);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    lblFieldName->hide();

    CreaMenuEmergente();

    CreaCaja(0);
    resize(Px(kAnchoInicial), Px(kAltoInicial));
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

QComboBox* Lib_FrmCons3::CreaCaja(int index) {
    QComboBox* caja = NuevaCajaBusqueda(picFields, index);
    caja->resize(Px(1200), Px(kAltoCaja));
    CmbSearch.push_back(caja);
    return caja;
}

QComboBox* Lib_FrmCons3::cajaBusqueda(int index) const {
    if (index < 0 || index >= static_cast<int>(CmbSearch.size())) return nullptr;
    return CmbSearch[static_cast<size_t>(index)];
}

double Lib_FrmCons3::anchoColumna(int k) const { return Twips(ListView1->header()->sectionSize(k - 1)); }

void Lib_FrmCons3::setAnchoColumna(int k, double twips) { ListView1->header()->resizeSection(k - 1, Px(twips)); }

// ---------------------------------------------------------------- the modal show

void Lib_FrmCons3::MostrarModal() {
    Form_Load();
    if (QComboBox* c = cajaBusqueda(0)) c->setFocus();
    Mostrar();
}

void Lib_FrmCons3::Descargar() {
    vb::OnError on = vb::OnError::SkipAll();
    try {
        if (GrabarCfg) GuardaAnchosColumnas();
    } catch (const vb::Error& e) {
        ui::MsgBox(e.description(), ui::vbCritical, QStringLiteral("Aviso al Operador"));
    }
    on.run([&] { ListView1->clear(); });
}

// ---------------------------------------------------------------- loading

void Lib_FrmCons3::Form_Load() {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "FORM_LOAD"); });
    data::DB_Dll& db = data::gDBPrincipal();

    on.run([&] { articulos_ = SQL.contains(QLatin1String("articulos"), Qt::CaseInsensitive); });
    on.run([&] {
        Valores.clear();
        Cantidades = QList<vb::Variant>();
        ListView1->clear();
        QFont f = ListView1->font();
        f.setBold(true);
        f.setPointSize(10);
        ListView1->setFont(f);
    });
    if (on.left()) return;
    if (vb::Trim(SQL).isEmpty()) {
        Util().PreparaFormulario(this, false);
        return;
    }
    on.run([&] { SQL += QLatin1Char(' '); });
    on.run([&] { tabla_ = NombreTablaSentencia(SQL); });
    on.run([&] {
        if (sentenciaInicial_.isEmpty()) sentenciaInicial_ = SQL;
        sentenciaActual_ = SQL;
    });
    on.run([&] { db.AbrirRecordset(SQL, rs_); });
    on.run([&] { Encolumnar(); });
    on.run([&] { Leer(1, 0); });
    on.run([&] {
        if (OrdenarPorLwv) ordenado_ = true;
        if (ordenado_)
            ListView1->sortItems(claveOrden_, descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    on.run([&] {
        if (ListView1->topLevelItemCount() > 0) ListView1->setCurrentItem(ListView1->topLevelItem(0));
    });
    on.run([&] {
        if (!vb::Trim(FiltroInicial).isEmpty() && cajaBusqueda(0)) cajaBusqueda(0)->setEditText(FiltroInicial);
    });
    on.run([&] {
        if (rs_) db.CierraRecordset(rs_);
        rs_.reset();
    });
    on.run([&] { CargaAnchosColumnas(); });
    on.run([&] { CalcularAncho(); });
    on.run([&] { Util().PreparaFormulario(this, false); });
}

void Lib_FrmCons3::Encolumnar() {
    try {
        ListView1->setColumnCount(0);
        ListView1->setHeaderLabels({});
        if (!rs_) vb::Raise(vb::kErrObjectNotSet);
        const int campos = rs_->fieldCount();
        QStringList titulos;
        std::vector<int> anchos;
        const bool deArticulos = SQL.contains(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) ||
                                 SQL.contains(QLatin1String("STK_MA_ARTICULOS"), Qt::CaseInsensitive);
        for (int i = 0; i < campos; ++i) {
            const ado::Field campo = rs_->Fields(i);
            double w = campo.DefinedSize();
            if (campo.Type() == ado::adCurrency || campo.Type() == ado::adNumeric) w = 12;
            QComboBox* caja = i < static_cast<int>(CmbSearch.size()) ? CmbSearch[static_cast<size_t>(i)] : CreaCaja(i);
            caja->setProperty("Campo", campo.Name());   // the F5 re-query reads the field's name here
            caja->setVisible(true);
            if (w >= 60) w = 60;
            QString titulo = campo.Name();
            if (deArticulos) {
                static const QRegularExpression precio(QStringLiteral("^PRECIO([1-8])$"),
                                                       QRegularExpression::CaseInsensitiveOption);
                const auto m = precio.match(campo.Name());
                // A price class's name not read (the settings reader has asked) keeps the column's name.
                if (m.hasMatch()) {
                    const vb::ReadResult<QString> nombre =
                        core::ObtieneConfiguracion(QStringLiteral("NOM_PCLASE") + m.captured(1));
                    if (nombre.read()) titulo = nombre.value();
                }
            } else if (ValoresDefault.compare(QLatin1String("@10"), Qt::CaseInsensitive) == 0) {
                w += 10;
            }
            titulos << titulo;
            const int letras = static_cast<int>(std::lround(w));
            anchos.push_back(fontMetrics().horizontalAdvance(QString(std::max(letras, 0), QLatin1Char('X'))));
        }
        // Boxes of an earlier, wider statement are not needed for this one.
        for (size_t i = static_cast<size_t>(campos); i < CmbSearch.size(); ++i) CmbSearch[i]->setVisible(false);
        ListView1->setColumnCount(static_cast<int>(titulos.size()));
        ListView1->setHeaderLabels(titulos);
        for (int i = 0; i < static_cast<int>(anchos.size()); ++i) ListView1->header()->resizeSection(i, anchos[static_cast<size_t>(i)]);
        // Tab order: the search boxes from left to right, then the list.
        for (int i = 1; i < campos && i < static_cast<int>(CmbSearch.size()); ++i)
            setTabOrder(CmbSearch[static_cast<size_t>(i - 1)], CmbSearch[static_cast<size_t>(i)]);
    } catch (const vb::Error& e) {
        ui::MsgBox(e.description(), ui::vbOKOnly);
    }
}

QString Lib_FrmCons3::ColorStock() {
    try {
        const vb::Currency P = Util().ANumero(Util().ValorNoNulo(rs_->Fields(QStringLiteral("PUNTOPEDIDO"))));
        const vb::Currency S = Util().ANumero(Util().ValorNoNulo(rs_->Fields(QStringLiteral("Stock"))));
        const vb::Variant* niveles[] = {&StkNivel1, &StkNivel2, &StkNivel3, &StkNivel4};
        return niveles[NivelStock(P, S) - 1]->text();
    } catch (const vb::Error& e) {
        if (e.number() == vb::kErrAdoItemNotFound) return QString();
        throw;
    }
}

void Lib_FrmCons3::Leer(long, long) {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "FORM_LOAD"); });
    bool vacio = true;
    on.run([&] {
        if (!rs_) vb::Raise(vb::kErrObjectNotSet);
        vacio = rs_->BOF();
    });
    if (on.left() || vacio) return;
    const bool pintaStock = MuestraStock.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    for (;;) {
        bool fin = true;
        if (!on.run([&] { fin = rs_->Eof(); }) || fin) break;
        QString color;
        if (articulos_) on.run([&] { color = ColorStock(); });
        QTreeWidgetItem* item = nullptr;
        on.run([&] {
            item = new QTreeWidgetItem(ListView1);
            item->setText(0, vb::Trim(Util().ValorNoNulo(rs_->Fields(0)).text()));
            if (CheckBoxes) {
                bool marcado = false;
                try {
                    marcado = EstaEnValoresDefault(Util().ValorNoNulo(rs_->Fields(CampoDevuelto)).text(), ValoresDefault);
                } catch (const vb::Error& e) {
                    if (e.number() != vb::kErrAdoItemNotFound) throw;
                }
                item->setCheckState(0, marcado ? Qt::Checked : Qt::Unchecked);
            }
        });
        if (item) {
            on.run([&] {
                const int campos = rs_->fieldCount();
                const bool pinta = pintaStock && articulos_ && !vb::Trim(color).isEmpty();
                QColor qcolor;
                if (pinta) qcolor = ColorBGR(static_cast<long>(vb::Val(color)));
                for (int i = 1; i < campos; ++i) {
                    item->setText(i, Util().ATexto(Util().ValorNoNulo(rs_->Fields(i))));
                    if (pinta) {
                        QFont f = ListView1->font();
                        f.setBold(true);
                        item->setFont(0, f);
                        item->setForeground(0, qcolor);
                        item->setFont(i, f);
                        item->setForeground(i, qcolor);
                    }
                }
            });
        }
        if (!on.run([&] { rs_->MoveNext(); })) break;
    }
}

// ---------------------------------------------------------------- column widths

void Lib_FrmCons3::CargaAnchosColumnas() {
    // The lot-stock view keeps its widths under the articles view's name.
    if (tabla_.compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0) tabla_ = QStringLiteral("VT_MA_ARTICULOS");
    const QString ruta = RutaAnchos();
    if (!QFileInfo(ruta).isFile()) return;
    const int columnas = ListView1->columnCount();
    for (const AnchosTabla& r : LeeAnchos(ruta)) {
        if (r.tabla.compare(tabla_, Qt::CaseInsensitive) != 0) continue;
        QString resto = r.anchos;
        for (int k = 1; k <= columnas; ++k) {
            const int barra = resto.indexOf(QLatin1Char('|'));
            if (barra < 0) return;   // fewer widths than columns: the rest stay as built
            // A width no column can take (a damaged file) leaves that column as built.
            double ancho = -1;
            try {
                ancho = Util().ANumero(resto.left(barra)).toDouble();
            } catch (const vb::Error&) {
            }
            resto = resto.mid(barra + 1);
            if (!(ancho >= 0 && ancho <= kMayorAnchoColumna)) continue;
            setAnchoColumna(k, ancho);
            if (QComboBox* caja = cajaBusqueda(k - 1)) {
                caja->move(ListView1->header()->sectionPosition(k - 1), caja->y());
                caja->resize(Px(ancho), caja->height());
            }
        }
    }
}

void Lib_FrmCons3::GuardaAnchosColumnas() {
    QList<long> anchos;
    for (int k = 1; k <= ListView1->columnCount(); ++k) anchos << static_cast<long>(std::lround(anchoColumna(k)));
    if (!GuardaAnchos(RutaAnchos(), tabla_, anchos))
        vb::Raise(75, QStringLiteral("No se pudieron guardar los anchos de las columnas en ") + RutaAnchos());
}

// ---------------------------------------------------------------- layout

void Lib_FrmCons3::ColocaCajas() {
    for (int k = 1; k <= ListView1->columnCount(); ++k) {
        if (QComboBox* caja = cajaBusqueda(k - 1)) {
            caja->setGeometry(ListView1->header()->sectionPosition(k - 1), 0,
                              std::max(Px(anchoColumna(k) - 50), 1), Px(kAltoCaja));
        }
    }
}

void Lib_FrmCons3::CalcularAncho() {
    double total = 0;
    ColocaCajas();
    for (int k = 1; k <= ListView1->columnCount(); ++k) total += anchoColumna(k);
    const double anchoLista = total + 360;
    const double anchoTira = std::round(total) + 360;
    ListView1->resize(Px(anchoLista), ListView1->height());
    picFields->resize(Px(anchoTira), picFields->height());
    HScroll1->resize(Px(total), HScroll1->height());
    HScroll1->setMaximum(anchoTira <= 32700 ? static_cast<int>(std::lround((anchoTira + 480) * 0.6)) : 32700);
    double pantalla = 12000;
    if (QScreen* s = QGuiApplication::primaryScreen()) pantalla = Twips(s->availableGeometry().width());
    const double ancho = AnchoVentana(anchoLista, pantalla);
    if (Px(ancho) != width()) resize(Px(ancho), height());
    else Form_Resize();
}

void Lib_FrmCons3::resizeEvent(QResizeEvent* event) {
    DialogoConsulta::resizeEvent(event);
    Form_Resize();
}

void Lib_FrmCons3::Form_Resize() {
    if (!Frame1) return;
    const double H = Twips(height()) + 420;   // the measures count the window's frame and title
    const double W = Twips(width()) + 120;
    const double altoTira = H - kAltoMarco - 480;
    const double altoLista = altoTira - kAltoMarco - 600;
    double contenido = 0;
    for (int k = 1; k <= ListView1->columnCount(); ++k) contenido += anchoColumna(k);
    // The strip holds the boxes over every column, so that scrolling it brings each one into view.
    const double anchoTira = std::max(W - 120, contenido + 360);
    picFields->setGeometry(-Px(HScroll1->value()), 0, Px(anchoTira), Px(altoTira));
    ListView1->setGeometry(0, Px(kAltoCaja + 45), Px(anchoTira - 20), Px(std::max(altoLista, 600.0)));
    HScroll1->setGeometry(0, Px(altoTira - kAltoBarra - 120), Px(W - 120), Px(kAltoBarra));
    Frame1->setGeometry(0, Px(H - kAltoMarco - 420), Px(W), Px(kAltoMarco));
    CmdAceptar->move(Px(100), CmdAceptar->y());
    CmdCancelar->move(Px((W - Twips(CmdCancelar->width())) / 2), CmdCancelar->y());
    CmdNueva->move(Px(W - (Twips(CmdCancelar->width()) + 150)), CmdNueva->y());
    if (CmdNueva->isHidden()) {
        if (Twips(CmdAceptar->width()) + Twips(CmdCancelar->width()) + 400 > W) {
            CmdAceptar->resize(CmdAceptar->width() / 2, CmdAceptar->height());
            CmdCancelar->resize(CmdAceptar->width(), CmdCancelar->height());
            CmdAceptar->move(Px(100), CmdAceptar->y());
            CmdCancelar->move(Px(W - (Twips(CmdCancelar->width()) + 150)), CmdCancelar->y());
            CmdNueva->move(CmdCancelar->x(), CmdNueva->y());
        } else {
            CmdCancelar->move(CmdNueva->x(), CmdCancelar->y());
        }
    }
    HScroll1->raise();
    Frame1->raise();
}

void Lib_FrmCons3::HScroll1_Change(int valor) { picFields->move(-Px(valor), picFields->y()); }

// ---------------------------------------------------------------- search strip

void Lib_FrmCons3::CmbSearch_GotFocus(int index) {
    cajaActiva_ = index;
    if (QComboBox* c = cajaBusqueda(index)) PintaFondo(c, kCian);
}

void Lib_FrmCons3::CmbSearch_LostFocus(int index) {
    if (QComboBox* c = cajaBusqueda(index)) PintaFondo(c, kBlanco);
}

int Lib_FrmCons3::Busqueda(int columna, const QString& QueValor) {
    const QString buscado = vb::Trim(QueValor);
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(i);
        const QString celda = vb::Trim(columna < 1 ? item->text(0) : item->text(columna));
        if (celda.startsWith(buscado, Qt::CaseInsensitive)) return i + 1;
    }
    return 0;
}

int Lib_FrmCons3::IndiceColumna(const QString& nombre) {
    const QString buscado = vb::Trim(nombre);
    QTreeWidgetItem* cab = ListView1->headerItem();
    for (int k = 1; k <= ListView1->columnCount(); ++k)
        if (vb::Trim(cab->text(k - 1)).compare(buscado, Qt::CaseInsensitive) == 0) return k;
    return 0;
}

void Lib_FrmCons3::SeleccionaFila(int indice) {
    QTreeWidgetItem* item = ListView1->topLevelItem(indice - 1);
    if (!item) return;
    ListView1->setCurrentItem(item);
    ListView1->scrollToItem(item);
}

void Lib_FrmCons3::CmbSearch_Change(int index) {
    QComboBox* caja = cajaBusqueda(index);
    if (!caja) return;
    const int r = Busqueda(index, vb::Trim(caja->currentText()));
    if (r != 0) SeleccionaFila(r);
}

void Lib_FrmCons3::CmbSearch_KeyDown(int index, int keyCode, int) {
    vb::OnError on = vb::OnError::SkipAll();
    QComboBox* caja = cajaBusqueda(index);
    if (!caja) return;
    switch (keyCode) {
    case 116: {   // F5: narrow the statement on the server by this box's text
        QString mostrado;
        on.run([&] {
            const QString nueva = FiltraSentenciaLista(sentenciaActual_, caja->property("Campo").toString(),
                                                       caja->currentText(), CfgUsaConsultaLIKE, &mostrado);
            caja->setEditText(mostrado);
            SQL = nueva;
        });
        on.run([&] { caja->setEditText(QString()); });
        on.run([&] {
            sentenciaActual_ = SQL;
            Form_Load();
        });
        break;
    }
    default:
        if (EsTeclaHaciaLista(keyCode)) on.run([&] { ListView1->setFocus(); });
        break;
    }
}

// ---------------------------------------------------------------- list keys

QString Lib_FrmCons3::Celda(QTreeWidgetItem* item, int columna) const { return item->text(columna - 1); }

void Lib_FrmCons3::setCelda(QTreeWidgetItem* item, int columna, const QString& texto) { item->setText(columna - 1, texto); }

void Lib_FrmCons3::ListView1_KeyDown(int keyCode, int shift) {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "ListView1_KeyDown"); });
    auto actual = [this]() -> QTreeWidgetItem* {
        QTreeWidgetItem* item = ListView1->currentItem();
        if (!item) vb::Raise(vb::kErrObjectNotSet);
        return item;
    };
    auto columnaCantidad = [this]() {
        const int k = IndiceColumna(kColumnaCantidad);
        if (k == 0) vb::Raise(vb::kErrInvalidProcedureCall);
        return k;
    };

    if (keyCode == 32 && CheckBoxes) {
        on.run([&] {
            QTreeWidgetItem* item = actual();
            item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        });
    } else if (keyCode == 13) {
        CmdAceptar_Click();
    } else if (keyCode == 45 && shift == kShiftMask && UsaCantidades) {
        QString respuesta;
        on.run([&] {
            QTreeWidgetItem* item = actual();
            respuesta = ui::InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."), QStringLiteral("Carga de Datos"),
                                     Celda(item, columnaCantidad()));
        });
        on.run([&] {
            QTreeWidgetItem* item = actual();
            // An answer that reads as 0 (an empty one, Cancel) leaves a quantity of zero.
            const double cantidad = Util().ADoble(respuesta);
            setCelda(item, columnaCantidad(), vb::Format(vb::Variant(cantidad), QStringLiteral("########0.00")));
        });
        on.run([&] { actual()->setCheckState(0, Qt::Checked); });
    } else if (keyCode == 45 && shift == 0 && UsaCantidades) {
        on.run([&] {
            QTreeWidgetItem* item = actual();
            const int k = columnaCantidad();
            setCelda(item, k, vb::Format(vb::Variant(vb::Val(Celda(item, k)) + 1), QStringLiteral("########0.0")));
        });
        on.run([&] { actual()->setCheckState(0, Qt::Checked); });
    } else if (keyCode == 46 && shift == 0 && UsaCantidades) {
        on.run([&] {
            QTreeWidgetItem* item = actual();
            const int k = columnaCantidad();
            setCelda(item, k, vb::Format(vb::Variant(vb::Val(Celda(item, k)) - 1), QStringLiteral("########0.0")));
        });
        on.run([&] {
            QTreeWidgetItem* item = actual();
            const int k = columnaCantidad();
            if (vb::Val(Celda(item, k)) <= 0) {
                item->setCheckState(0, Qt::Unchecked);
                setCelda(item, k, QStringLiteral("0.00"));
            }
        });
    } else if ((keyCode >= 48 && keyCode <= 57) || (keyCode >= 65 && keyCode <= 90) ||
               (keyCode >= 96 && keyCode <= 105) || (keyCode == 32 && !CheckBoxes)) {
        // Type-ahead: the key's character goes to the active search box, which then searches.
        on.run([&] {
            QComboBox* caja = cajaBusqueda(cajaActiva_);
            if (!caja) vb::Raise(vb::kErrSubscriptOutOfRange);
            const QString caracter = keyCode >= 96 ? QString(QChar('0' + (keyCode - 96))) : vb::Chr(keyCode);
            caja->setFocus();
            caja->setEditText(caja->currentText() + caracter);
        });
    } else if (keyCode == 8) {
        on.run([&] {
            QComboBox* caja = cajaBusqueda(cajaActiva_);
            if (!caja) vb::Raise(vb::kErrSubscriptOutOfRange);
            QString t = caja->currentText();
            t.chop(1);
            caja->setFocus();
            caja->setEditText(t);
        });
    }
}

void Lib_FrmCons3::ListView1_ColumnClick(int columna) {
    ordenado_ = true;
    claveOrden_ = columna - 1;
    descendente_ = !descendente_;
    ListView1->sortItems(claveOrden_, descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(claveOrden_, descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QString Lib_FrmCons3::ValorFila(QTreeWidgetItem* item, const QString& nombre, const QString& previo) {
    const int k = IndiceColumna(nombre);
    if (k == 0) return previo;
    return Celda(item, k);
}

void Lib_FrmCons3::Form_KeyDown(int keyCode, int) {
    if (keyCode != 123 || !articulos_) return;
    QTreeWidgetItem* item = ListView1->currentItem();
    if (!item) return;   // no row to report
    const QString id = ValorFila(item, QStringLiteral("idarticulo"), QString());
    const QString desc = ValorFila(item, QStringLiteral("Descripcion"), QString());
    const int r = ui::MsgBox(QStringLiteral("Desea informar el articulo ") + vb::Trim(id) + QLatin1Char(' ') + vb::Trim(desc) +
                                 QStringLiteral("\r\ncomo un faltante de stock?"),
                             ui::vbYesNo + ui::vbQuestion, QStringLiteral("Atención!"));
    if (r != vb::kYes) return;
    data::DB_Dll& db = data::gDBPrincipal();
    QString sql = QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('") +
                  data::LiteralSQL(vb::Variant(vb::Now()).toString()) + QStringLiteral("','") +
                  data::LiteralSQL(Util().Rellena(id, 25)) + QStringLiteral("','") + data::LiteralSQL(vb::Trim(desc)) +
                  QStringLiteral("','") + data::LiteralSQL(db.gUsuario) + QStringLiteral("')");
    db.EjecutaConsultaSQL(sql);
}

// ---------------------------------------------------------------- result

void Lib_FrmCons3::CmdAceptar_Click() {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "CmdAceptar_Click"); });
    if (CheckBoxes) {
        on.run([&] {
            if (CampoDevuelto.isEmpty() && ListView1->columnCount() > 0) CampoDevuelto = ListView1->headerItem()->text(0);
        });
        on.run([&] {
            QString valor;
            for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = ListView1->topLevelItem(i);
                if (item->checkState(0) != Qt::Checked) continue;
                valor = ValorFila(item, CampoDevuelto, valor);
                Valores.append(vb::Variant(valor));
            }
        });
        Ocultar(true);
        return;
    }
    QTreeWidgetItem* item = ListView1->currentItem();
    if (!item) {
        Ocultar(true);
        return;
    }
    QString valor;
    on.run([&] {
        for (const QString& nombre : CmpsDevueltos) {
            valor = ValorFila(item, nombre, valor);
            Valores.append(vb::Variant(valor));
        }
    });
    on.run([&] {
        if (!vb::Trim(CampoDevuelto).isEmpty()) valor = ValorFila(item, CampoDevuelto, valor);
    });
    on.run([&] { ValorDevuelto = vb::Variant(valor); });
    Ocultar(true);
}

void Lib_FrmCons3::CmdCancelar_Click() {
    ValorDevuelto = vb::Variant(QString());
    CmpsDevueltos.clear();
    Valores.clear();
    Ocultar(false);
}

void Lib_FrmCons3::CmdNueva_Click() {
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] { SQL = sentenciaInicial_; });
    on.run([&] { Form_Load(); });
    on.run([&] {
        if (QComboBox* c = cajaBusqueda(0)) c->setFocus();
    });
}

// ---------------------------------------------------------------- events

bool Lib_FrmCons3::eventFilter(QObject* watched, QEvent* event) {
    const QVariant indice = watched->property("Index");
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        auto* ev = static_cast<QKeyEvent*>(event);
        if (TeclaDeVentana(ev)) return true;
        const int codigo = CodigoTecla(ev);
        const bool propia = codigo == 13 || codigo == 8 || codigo == 32 || (codigo >= 45 && codigo <= 46 && UsaCantidades) ||
                            (codigo >= 48 && codigo <= 57) || (codigo >= 65 && codigo <= 90) ||
                            (codigo >= 96 && codigo <= 105);
        if (propia && !(ev->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            ListView1_KeyDown(codigo, ShiftDe(ev));
            return true;
        }
        return false;
    }
    if (indice.isValid() && qobject_cast<QComboBox*>(watched)) {
        const int i = indice.toInt();
        switch (event->type()) {
        case QEvent::FocusIn: CmbSearch_GotFocus(i); break;
        case QEvent::FocusOut: CmbSearch_LostFocus(i); break;
        case QEvent::KeyPress: {
            auto* ev = static_cast<QKeyEvent*>(event);
            if (TeclaDeVentana(ev)) return true;
            const int codigo = CodigoTecla(ev);
            if (EsTeclaDeCaja(codigo)) {
                CmbSearch_KeyDown(i, codigo, ShiftDe(ev));
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return DialogoConsulta::eventFilter(watched, event);
}

bool Lib_FrmCons3::TeclaDeVentana(QKeyEvent* ev) {
    // The window sees F12 first, whichever control has the focus.
    const int codigo = CodigoTecla(ev);
    if (codigo != 123) return false;
    Form_KeyDown(codigo, ShiftDe(ev));
    return true;
}

void Lib_FrmCons3::keyPressEvent(QKeyEvent* event) {
    if (!TeclaDeVentana(event)) DialogoConsulta::keyPressEvent(event);
}

}  // namespace lookup
