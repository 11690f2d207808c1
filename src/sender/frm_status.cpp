#include "sender/frm_status.h"

#include "sender/progress_bar.h"
#include "platform/vb/error.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

namespace sender {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kKeyRole = Qt::UserRole;       // the row's key (its step text)
constexpr int kIconRole = Qt::UserRole + 1;  // the row's small icon number

// Image n of the list stands for state n.
QIcon StateIcon(int state) {
    static const QColor colours[5] = {QColor(0x9e, 0x9e, 0x9e), QColor(0x1e, 0x6f, 0xd9), QColor(0xc8, 0xc8, 0x6e),
                                      QColor(0x2e, 0x9d, 0x3a), QColor(0xd0, 0x2b, 0x2b)};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colours[state - 1].darker(140));
    p.setBrush(colours[state - 1]);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2));
    switch (state) {
    case 2: p.drawLine(QPointF(6, 4.5), QPointF(11, 8)); p.drawLine(QPointF(11, 8), QPointF(6, 11.5)); break;
    case 4: p.drawLine(QPointF(4.5, 8.5), QPointF(7, 11)); p.drawLine(QPointF(7, 11), QPointF(11.5, 5)); break;
    case 5: p.drawLine(QPointF(5, 5), QPointF(11, 11)); p.drawLine(QPointF(11, 5), QPointF(5, 11)); break;
    default: break;
    }
    return QIcon(pm);
}

std::unique_ptr<FrmStatus> gFrmStatus;
std::function<void(const QString&, int)> gObservador;
bool gLoaded = false;

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picProgreso"));
    setMinimumHeight(22);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& PictureBox::canvas() {
    const QSize want = size().expandedTo(QSize(1, 1));
    if (canvas_.size() != want) {
        QImage next(want, QImage::Format_RGB32);
        next.fill(palette().color(QPalette::Window));
        canvas_ = next;
    }
    return canvas_;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    canvas();
    DibujaBarra(*this, lastPercent_, lastPercent_ == 0);
}

FrmStatus::FrmStatus(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmStatus"));
    setWindowTitle(QStringLiteral("Procesando ..."));
    for (int i = 0; i < 5; ++i) ImageList1[i] = StateIcon(i + 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    picProgreso = new PictureBox(this);
    picProgreso->setFixedHeight(24);
    Lvw1 = new QTreeWidget(this);
    Lvw1->setObjectName(QStringLiteral("Lvw1"));
    Lvw1->setRootIsDecorated(false);
    Lvw1->setUniformRowHeights(true);
    Lvw1->setSelectionMode(QAbstractItemView::NoSelection);
    Lvw1->setIconSize(QSize(16, 16));
    layout->addWidget(picProgreso);
    layout->addWidget(Lvw1);
    resize((500 + 2500 + 2000) / kTwipsPerPixel + 40, 260);
    Form_Load();
}

void FrmStatus::Form_Load() {
    Lvw1->clear();
    Lvw1->setColumnCount(3);
    Lvw1->setHeaderLabels({QString(), QStringLiteral("Paso"), QStringLiteral("Estado")});
    Lvw1->header()->setStretchLastSection(false);
    Lvw1->setColumnWidth(0, 500 / kTwipsPerPixel);
    Lvw1->setColumnWidth(1, 2500 / kTwipsPerPixel);
    Lvw1->setColumnWidth(2, 2000 / kTwipsPerPixel);
}

void FrmStatus::addRow(const QString& Paso) {
    for (int i = 0; i < Lvw1->topLevelItemCount(); ++i) {
        if (Lvw1->topLevelItem(i)->data(0, kKeyRole).toString() == Paso)
            vb::Raise(35602, QStringLiteral("Key is not unique in collection"));
    }
    auto* item = new QTreeWidgetItem(Lvw1);
    item->setData(0, kKeyRole, Paso);
    item->setData(0, kIconRole, 1);
    item->setIcon(0, ImageList1[0]);
    item->setText(1, Paso);
    item->setText(2, StateText(1));
}

void FrmStatus::AgregarPaso(const QString& Paso) {
    try {
        addRow(Paso);
    } catch (const vb::Error&) {
        // A row with this key is left from an earlier run: start the list again.
        Form_Load();
        addRow(Paso);
    }
}

QString FrmStatus::StateText(int status) {
    switch (status) {
    case 1: return QStringLiteral("En Espera");
    case 2: return QStringLiteral("En Ejecución");
    case 3: return QStringLiteral("Inactivo");
    case 4: return QStringLiteral("Finalizado");
    case 5: return QStringLiteral("Error");
    default: return QString();
    }
}

void FrmStatus::StatusPaso(const QString& Paso, int16_t Status, const vb::Variant&) {
    if (pCanPasos == 0) pCanPasos = 1;
    for (int i = 1; i <= Lvw1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = Lvw1->topLevelItem(i - 1);
        if (item->text(1) != Paso) continue;
        item->setData(0, kIconRole, static_cast<int>(Status));
        item->setIcon(0, Status >= 1 && Status <= 5 ? ImageList1[Status - 1] : QIcon());
        const QString text = StateText(Status);
        if (!text.isEmpty()) item->setText(2, text);
        if (Status == 4) {
            // The row position times 100 is a 16-bit product.
            const int product = i * 100;
            if (product > 32767) vb::Raise(vb::kErrOverflow);
            DibujaBarra(*picProgreso, static_cast<double>(product) / static_cast<double>(pCanPasos));
        }
        Lvw1->viewport()->repaint();
        repaint();
        if (gObservador) gObservador(Paso, Status);
        return;
    }
}

void FrmStatus::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    gLoaded = false;
}

int FrmStatus::rowCount() const { return Lvw1->topLevelItemCount(); }
QString FrmStatus::rowStep(int row) const { return Lvw1->topLevelItem(row)->text(1); }
QString FrmStatus::rowState(int row) const { return Lvw1->topLevelItem(row)->text(2); }
int FrmStatus::rowIcon(int row) const { return Lvw1->topLevelItem(row)->data(0, kIconRole).toInt(); }
double FrmStatus::barPercent() const { return picProgreso->lastPercent(); }

FrmStatus& frmStatus() {
    if (!gFrmStatus) {
        gFrmStatus = std::make_unique<FrmStatus>();
        gLoaded = true;
    } else if (!gLoaded) {
        gFrmStatus->Form_Load();
        gFrmStatus->pCanPasos = 0;
        DibujaBarra(*gFrmStatus->picProgreso, 0, /*clearOnly=*/true);
        gLoaded = true;
    }
    return *gFrmStatus;
}

FrmStatus* FrmStatusInstance() { return gFrmStatus.get(); }
bool FrmStatusLoaded() { return gFrmStatus && gLoaded; }

void UnloadFrmStatus() {
    if (!gFrmStatus) return;
    gFrmStatus->hide();
    gLoaded = false;
}

void SetObservadorEstado(std::function<void(const QString&, int)> observador) {
    gObservador = std::move(observador);
}

void DestroyFrmStatus() {
    gFrmStatus.reset();
    gLoaded = false;
}

}  // namespace sender
