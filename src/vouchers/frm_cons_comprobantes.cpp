#include "vouchers/frm_cons_comprobantes.h"

#include "core/frm_configura.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ado/ado.h"
#include "platform/ui/text_measurer.h"
#include "platform/ui/units.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "vouchers/consulta_comprobantes_sql.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vouchers {

namespace {

constexpr int kLado = 16;   // the pictures' side, in pixels

// A row of the list: it sorts by its cells' values (CeldaMenor), a date or an amount by what it
// is worth rather than by its text.
class FilaLista : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& otra) const override {
        const int k = treeWidget() ? treeWidget()->sortColumn() : 0;
        return CeldaMenor(CeldaEn(*this, k), CeldaEn(otra, k));
    }

private:
    static Celda CeldaEn(const QTreeWidgetItem& fila, int k) {
        Celda c{fila.text(k), std::nullopt};
        const QVariant v = fila.data(k, Qt::UserRole);
        if (v.isValid()) c.valor = v.toDouble();
        return c;
    }
};

// A sheet of paper with a coloured heading and three lines of text.
void DibujaHoja(QPainter& p, const QColor& color) {
    QPainterPath hoja;
    hoja.moveTo(2.5, 0.5);
    hoja.lineTo(10.5, 0.5);
    hoja.lineTo(13.5, 3.5);
    hoja.lineTo(13.5, 15.5);
    hoja.lineTo(2.5, 15.5);
    hoja.closeSubpath();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPath(hoja);
    p.fillRect(QRectF(3, 1, 7.5, 4), color);
    p.setPen(QColor(150, 150, 150));
    for (const int y : {8, 10, 12}) p.drawLine(5, y, 11, y);
}

// A round seal with a mark: a cross (annulled) or a tick (approved).
void DibujaSello(QPainter& p, const QColor& color, bool cruz) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (cruz) {
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
    } else {
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
    }
}

// The picture of a tag of ImageList1.
QIcon DibujaImagen(const QString& tag) {
    QPixmap pm(kLado, kLado);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    static const struct {
        const char* tag;
        QColor color;
    } kHojas[] = {
        {"PR", QColor(224, 160, 0)}, {"FC", QColor(32, 96, 192)},  {"NC", QColor(32, 160, 64)},
        {"ND", QColor(224, 96, 32)}, {"OT", QColor(0, 128, 128)},  {"Generico", QColor(140, 140, 140)},
        {"T3", QColor(112, 48, 160)}, {"OC", QColor(139, 90, 43)}, {"OCG", QColor(139, 90, 43)},
    };
    if (tag == QLatin1String("Anulado")) DibujaSello(p, QColor(200, 30, 30), true);
    else if (tag == QLatin1String("Aprobado")) DibujaSello(p, QColor(30, 150, 60), false);
    for (const auto& h : kHojas)
        if (tag == QLatin1String(h.tag)) DibujaHoja(p, h.color);
    if (tag == QLatin1String("OCG")) {   // the guarantee: a gold seal on the order's corner
        p.setPen(QColor(160, 120, 0));
        p.setBrush(QColor(255, 200, 0));
        p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    } else if (tag == QLatin1String("T3")) {   // sent out and back: an arrow across the sheet
        p.setPen(QPen(QColor(112, 48, 160), 1.5));
        p.drawLine(QPointF(4, 13.5), QPointF(12, 13.5));
        p.drawPolyline(QPolygonF({QPointF(10, 11.5), QPointF(12, 13.5), QPointF(10, 15.5)}));
    }
    return QIcon(pm);
}

int ErrorDeCarga(const vb::Error& e) { return data::gDBPrincipal().TratamientoErrores(e); }

}  // namespace

FrmConsComprobantes::FrmConsComprobantes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmConsComprobantes"));
    setWindowTitle(QStringLiteral("Consulta de Comprobantes"));
    setModal(true);

    for (const QString& tag : EtiquetasImagenes()) ImageList1.append(Imagen{tag, DibujaImagen(tag)});

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);   // a row's text is never edited
    ListView1->setIconSize(QSize(kLado, kLado));
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int i) { ListView1_ColumnClick(i + 1); });

    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    CmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    CmdCancelar->setObjectName(QStringLiteral("CmdCancelar"));
    for (QPushButton* b : {CmdAceptar, CmdCancelar}) b->setAutoDefault(false);
    connect(CmdAceptar, &QPushButton::clicked, this, [this] { CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [this] { CmdCancelar_Click(); });

    auto* botonera = new QHBoxLayout;
    botonera->addStretch();
    botonera->addWidget(CmdAceptar);
    botonera->addWidget(CmdCancelar);
    auto* columna = new QVBoxLayout(this);
    columna->addWidget(ListView1, 1);
    columna->addLayout(botonera);
    resize(640, 360);
}

FrmConsComprobantes::~FrmConsComprobantes() = default;

// ---------------------------------------------------------------- the modal show

void FrmConsComprobantes::MostrarModal() {
    descargado_ = false;
    Form_Load();
    ListView1->setFocus();
    exec();
}

void FrmConsComprobantes::Descargar() {
    if (!descargado_) Form_Unload();
}

void FrmConsComprobantes::Form_Unload() {
    descargado_ = true;
    ListView1->clear();
    QDialog::done(QDialog::Rejected);   // hidden: the modal show returns
}

// ---------------------------------------------------------------- loading

int FrmConsComprobantes::ObtieneIndiceImagen(const QString& TC) const {
    QStringList etiquetas;
    for (const Imagen& i : ImageList1) etiquetas << i.Tag;
    return IndiceImagen(etiquetas, TC);
}

void FrmConsComprobantes::Encolumnar() {
    vb::OnError on([](const vb::Error& e) {
        return data::gDBPrincipal().TratamientoErrores(e, std::nullopt, QStringLiteral("Encolumnar"));
    });
    QList<Columna> columnas;
    on.run([&] {
        ListView1->clear();
        ListView1->setColumnCount(0);
        columnas = Columnas(TC, referencia_);
    });
    QStringList titulos;
    for (const Columna& c : columnas) titulos << c.titulo;
    on.run([&] {
        ListView1->setColumnCount(static_cast<int>(titulos.size()));
        ListView1->setHeaderLabels(titulos);
    });
    // Widths as runs of capital X in the window's font.
    const ui::WidgetTextMeasurer medida(this);
    int total = 0;
    for (int k = 0; k < columnas.size(); ++k) {
        on.run([&] {
            const int px = ui::PixelsFromTwips(medida.TextWidth(QString(columnas[k].letras, u'X')));
            ListView1->header()->resizeSection(k, px);
            total += px;
        });
    }
    // The window as wide as its columns, within the screen.
    int pantalla = 1024;
    if (QScreen* s = QGuiApplication::primaryScreen()) pantalla = s->availableGeometry().width();
    resize(std::clamp(total + 60, 320, std::max(pantalla - 40, 320)), height());
}

void FrmConsComprobantes::Form_Load() {
    vb::OnError on(ErrorDeCarga);
    data::DB_Dll& db = data::gDBPrincipal();
    // A setting not read (its reader has asked the operator) lists nothing, rather than the
    // vouchers its default would choose.
    bool sinLeer = false;
    const auto setting = [&sinLeer](const QString& clave) {
        const vb::ReadResult<bool> si = core::ConfiguracionSI(clave);
        if (!si.read()) sinLeer = true;
        return si.read() && si.value();
    };
    on.run([&] {
        ListView1->clear();
        ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
        casillas_ = false;
        referencia_ = setting(QStringLiteral("UsaReferenciaPresupuestos"));
        pendientes_ = false;
    });
    on.run([&] {
        const ModoConsulta modo = ResuelveModo(TC);
        TC = modo.TC;
        pendientes_ = modo.pendientes;
        casillas_ = modo.casillas;
    });
    on.run([&] { Encolumnar(); });
    on.run([&] { core::gUtilTexto().PreparaFormulario(this, false); });
    on.run([&] { core::ConfiguraFormulario(this); });
    on.run([&] { sentencia_ = SentenciaConsulta(ModoConsulta{TC, pendientes_, casillas_}, Filtro, setting); });
    if (sinLeer) return;
    ado::RecordsetPtr rs;
    on.run([&] { db.AbrirRecordset(sentencia_, rs); });
    bool vacio = true;
    on.run([&] {
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        vacio = rs->BOF();
    });
    if (!vacio) {
        for (;;) {
            bool fin = true;
            if (!on.run([&] { fin = rs->Eof(); }) || fin) break;
            QString etiqueta;
            QList<Celda> celdas;
            on.run([&] { etiqueta = EtiquetaFila(TC, pendientes_, *rs); });
            on.run([&] { celdas = CeldasFila(TC, *rs); });
            if (on.left()) break;
            AgregaFila(etiqueta, celdas);
            if (!on.run([&] { rs->MoveNext(); })) break;
            vb::DoEvents();
        }
    }
    if (rs) db.CierraRecordset(rs);
    // The first row starts selected, as the list control selects its first item.
    if (ListView1->topLevelItemCount() > 0) ListView1->setCurrentItem(ListView1->topLevelItem(0));
}

void FrmConsComprobantes::AgregaFila(const QString& etiqueta, const QList<Celda>& celdas) {
    auto* fila = new FilaLista(ListView1);
    // Selectable and enabled; never editable; a check box only on purchase orders.
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (casillas_) flags |= Qt::ItemIsUserCheckable;
    fila->setFlags(flags);
    if (casillas_) fila->setCheckState(0, Qt::Unchecked);
    const int imagen = etiqueta.isEmpty() ? 0 : ObtieneIndiceImagen(etiqueta);
    if (imagen > 0) fila->setIcon(0, ImageList1[imagen - 1].imagen);
    fila->setData(0, Qt::UserRole + 1, imagen);
    for (int k = 0; k < celdas.size() && k < ListView1->columnCount(); ++k) {
        fila->setText(k, celdas[k].texto);
        if (celdas[k].valor) fila->setData(k, Qt::UserRole, *celdas[k].valor);
    }
}

int FrmConsComprobantes::ImagenFila(int fila) const {
    const QTreeWidgetItem* item = ListView1->topLevelItem(fila);
    return item ? item->data(0, Qt::UserRole + 1).toInt() : 0;
}

// ---------------------------------------------------------------- list events

void FrmConsComprobantes::ListView1_ColumnClick(int columna) {
    descendente_ = !descendente_;
    const Qt::SortOrder orden = descendente_ ? Qt::DescendingOrder : Qt::AscendingOrder;
    ListView1->sortItems(columna - 1, orden);
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(columna - 1, orden);
}

void FrmConsComprobantes::ListView1_KeyDown(int keyCode) {
    if (keyCode == 13) CmdAceptar_Click();
}

bool FrmConsComprobantes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(event)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            ListView1_KeyDown(13);
            return true;
        }
    }
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        CmdAceptar_Click();   // DblClick: anywhere on the list
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- result

void FrmConsComprobantes::CmdAceptar_Click() {
    const auto celdas = [this](const QTreeWidgetItem* item) {
        QStringList c;
        for (int k = 0; k < ListView1->columnCount(); ++k) c << item->text(k);
        return c;
    };
    QTreeWidgetItem* seleccionada = ListView1->currentItem();
    QStringList celdasSeleccionada;
    if (seleccionada) celdasSeleccionada = celdas(seleccionada);
    QList<QStringList> marcadas;
    if (casillas_) {
        for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = ListView1->topLevelItem(i);
            if (item->checkState(0) == Qt::Checked) marcadas << celdas(item);
        }
    }
    const Eleccion e = EleccionAceptada(TC, seleccionada ? &celdasSeleccionada : nullptr, marcadas);
    NroComprobante = e.NroComprobante;
    if (e.IdComplemento) IdComplemento = *e.IdComplemento;
    if (e.Proveedor) Proveedor = *e.Proveedor;
    Form_Unload();
}

void FrmConsComprobantes::CmdCancelar_Click() { Form_Unload(); }

void FrmConsComprobantes::reject() {
    // Escape and the window's close box cancel, as the Cancel button does.
    if (descargado_) {
        QDialog::reject();
        return;
    }
    CmdCancelar_Click();
}

}  // namespace vouchers
