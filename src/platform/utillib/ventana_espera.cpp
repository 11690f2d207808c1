#include "platform/utillib/ventana_espera.h"

#include "platform/vb/app.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace utillib {

namespace {
bool gMuestraVentanas = true;
}

void VentanaEspera::SetMuestraVentanas(bool muestra) { gMuestraVentanas = muestra; }

VentanaEspera::VentanaEspera() = default;
VentanaEspera::~VentanaEspera() = default;

void VentanaEspera::Crea() const {
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
    auto* exterior = new QVBoxLayout(ventana_.get());
    exterior->setContentsMargins(0, 0, 0, 0);
    exterior->addWidget(marco);
}

QWidget* VentanaEspera::ventana() const {
    Crea();
    return ventana_.get();
}

void VentanaEspera::MuestraEspera(const QString& texto, int /*estilo*/) {
    ActualizaEspera(0, texto, QString(), QString());
}

void VentanaEspera::ActualizaEspera(int /*estilo*/, const QString& linea1, const QString& linea2,
                                    const QString& linea3) {
    if (!gMuestraVentanas) {
        sinVentana_[0] = linea1;
        sinVentana_[1] = linea2;
        sinVentana_[2] = linea3;
        return;
    }
    Crea();
    lineas_[0]->setText(linea1);
    lineas_[1]->setText(linea2);
    lineas_[2]->setText(linea3);
    if (!ventana_->isVisible()) {
        ventana_->adjustSize();
        if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
            const QRect r = pantalla->availableGeometry();
            ventana_->move(r.center() - QPoint(ventana_->width() / 2, ventana_->height() / 2));
        }
        ventana_->show();
    }
    ventana_->repaint();
}

void VentanaEspera::OcultaEspera() {
    if (ventana_) ventana_->hide();
}

bool VentanaEspera::Visible() const { return ventana_ && ventana_->isVisible(); }

QString VentanaEspera::Linea(int i) const {
    if (i < 1 || i > 3) return QString();
    if (!gMuestraVentanas) return sinVentana_[i - 1];
    if (!ventana_) return QString();
    return lineas_[i - 1]->text();
}

}  // namespace utillib
