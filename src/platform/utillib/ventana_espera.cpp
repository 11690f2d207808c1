#include "platform/utillib/ventana_espera.h"

#include "platform/vb/app.h"
#include "platform/vb/dates.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cassert>

namespace utillib {

namespace {
bool gMuestraVentanas = true;

long long AhoraMs() { return vb::CurrentMSecsSinceEpoch(); }
}  // namespace

void VentanaEspera::SetMuestraVentanas(bool muestra) { gMuestraVentanas = muestra; }

VentanaEspera::VentanaEspera() = default;

VentanaEspera::~VentanaEspera() {
    if (tarea_ != 0) vb::RemoveDoEventsTask(tarea_);
}

void VentanaEspera::Crea() {
    if (ventana_) return;
    ventana_ = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    ventana_->setObjectName(QStringLiteral("VentanaEspera"));
    ventana_->setWindowTitle(vb::App().title);
    ventana_->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* marco = new QFrame(ventana_.get());
    marco->setFrameShape(QFrame::Box);
    marco->setLineWidth(2);
    auto* capa = new QVBoxLayout(marco);
    capa->setContentsMargins(24, 16, 24, 16);
    for (int i = 0; i < 3; ++i) {
        lineas_[i] = new QLabel(marco);
        lineas_[i]->setObjectName(QStringLiteral("lblLinea%1").arg(i + 1));
        lineas_[i]->setAlignment(Qt::AlignCenter);
        lineas_[i]->setMinimumWidth(360);
        capa->addWidget(lineas_[i]);
    }
    QFont negrita = lineas_[0]->font();
    negrita.setBold(true);
    lineas_[0]->setFont(negrita);
    anular_ = new QPushButton(QStringLiteral("&Anular"), marco);
    anular_->setObjectName(QStringLiteral("cmdAnular"));
    anular_->setFocusPolicy(Qt::NoFocus);   // the window takes no input but this click
    anular_->hide();
    capa->addWidget(anular_, 0, Qt::AlignHCenter);
    auto* exterior = new QVBoxLayout(ventana_.get());
    exterior->setContentsMargins(0, 0, 0, 0);
    exterior->addWidget(marco);

    dibujar_ = new QTimer(ventana_.get());
    dibujar_->setSingleShot(true);
    dibujar_->setTimerType(Qt::PreciseTimer);
    QObject::connect(dibujar_, &QTimer::timeout, ventana_.get(), [this] { DibujaSiToca(); });
    ocultar_ = new QTimer(ventana_.get());
    ocultar_->setSingleShot(true);
    ocultar_->setTimerType(Qt::PreciseTimer);
    QObject::connect(ocultar_, &QTimer::timeout, ventana_.get(), [this] { OcultaSiToca(); });
    QObject::connect(anular_, &QPushButton::clicked, ventana_.get(), [this] {
        if (alAnular_) alAnular_();
    });
    tarea_ = vb::AddDoEventsTask([this] {
        DibujaSiToca();
        OcultaSiToca();
    });
}

QWidget* VentanaEspera::ventana() {
    Crea();
    PasaALineas();
    return ventana_.get();
}

void VentanaEspera::PasaALineas() {
    if (!pendiente_ || !ventana_) return;
    pendiente_ = false;
    for (int i = 0; i < 3; ++i)
        if (lineas_[i]->text() != texto_[i]) lineas_[i]->setText(texto_[i]);
}

void VentanaEspera::Dibuja(long long ahora) {
    dibujar_->stop();
    PasaALineas();
    ventana_->repaint();
    dibujada_ = ahora;
}

void VentanaEspera::DibujaSiToca() {
    if (!pendiente_ || !visible_ || !ventana_) return;
    const long long ahora = AhoraMs();
    const long long pasado = ahora - dibujada_;
    // A clock set back draws at once rather than wait for it.
    if (pasado >= kPasoMs || pasado < 0) {
        Dibuja(ahora);
    } else if (!dibujar_->isActive()) {
        dibujar_->start(static_cast<int>(kPasoMs - pasado));
    }
}

void VentanaEspera::OcultaSiToca() {
    if (visible_ || !ventana_ || !ventana_->isVisible()) return;
    const long long pasado = AhoraMs() - ocultada_;
    if (pasado >= kPasoMs || pasado < 0) {
        ocultar_->stop();
        ventana_->hide();
    } else if (!ocultar_->isActive()) {
        ocultar_->start(static_cast<int>(kPasoMs - pasado));
    }
}

void VentanaEspera::MuestraEspera(const QString& texto, int /*estilo*/) {
    ActualizaEspera(0, texto, QString(), QString());
}

void VentanaEspera::ActualizaEspera(int /*estilo*/, const QString& linea1, const QString& linea2,
                                    const QString& linea3) {
    texto_[0] = linea1;
    texto_[1] = linea2;
    texto_[2] = linea3;
    pendiente_ = true;
    if (!gMuestraVentanas) return;
    Crea();
    visible_ = true;
    ocultar_->stop();
    if (ventana_->isVisible()) {
        DibujaSiToca();
        return;
    }
    PasaALineas();
    ventana_->adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->availableGeometry();
        ventana_->move(r.center() - QPoint(ventana_->width() / 2, ventana_->height() / 2));
    }
    ventana_->show();
    Dibuja(AhoraMs());
    assert(!pendiente_);
}

void VentanaEspera::OcultaEspera() {
    if (!ventana_ || !ventana_->isVisible()) {
        visible_ = false;
        return;
    }
    if (visible_) ocultada_ = AhoraMs();
    visible_ = false;
    dibujar_->stop();
    // Without windows the one left standing goes at once.
    if (!gMuestraVentanas) ventana_->hide();
    OcultaSiToca();
}

void VentanaEspera::MuestraAnular(std::function<void()> alAnular) {
    alAnular_ = std::move(alAnular);
    if (!gMuestraVentanas) return;
    Crea();
    if (!anular_->isHidden()) return;
    anular_->show();
    if (ventana_->isVisible()) ventana_->adjustSize();
}

void VentanaEspera::OcultaAnular() {
    alAnular_ = nullptr;
    if (!anular_ || anular_->isHidden()) return;
    anular_->hide();
    if (ventana_->isVisible()) ventana_->adjustSize();
}

bool VentanaEspera::AnularVisible() const { return anular_ && !anular_->isHidden() && Visible(); }

bool VentanaEspera::Visible() const { return visible_ && ventana_ && ventana_->isVisible(); }

QString VentanaEspera::Linea(int i) const {
    if (i < 1 || i > 3) return QString();
    if (!gMuestraVentanas || ventana_) return texto_[i - 1];
    return QString();
}

QString VentanaEspera::Dibujada(int i) const {
    if (i < 1 || i > 3 || !ventana_) return QString();
    return lineas_[i - 1]->text();
}

}  // namespace utillib
