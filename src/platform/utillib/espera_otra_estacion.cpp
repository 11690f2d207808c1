#include "platform/utillib/espera_otra_estacion.h"

#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"

namespace utillib {

EsperaOtraEstacion::EsperaOtraEstacion(VentanaEspera& ventana)
    : ventana_(ventana), anterior_(ado::SetLockWaitListener(this)) {}

EsperaOtraEstacion::~EsperaOtraEstacion() {
    WaitOver();
    ado::SetLockWaitListener(anterior_);
}

QString EsperaOtraEstacion::Linea1(long long segundos) {
    return QStringLiteral("Esperando a otra estación: %1 s").arg(segundos);
}

bool EsperaOtraEstacion::Waiting(std::chrono::milliseconds waited, std::chrono::milliseconds bound,
                                 const std::function<QString()>& held) {
    if (!mostrando_ && waited >= kMuestraTras && !anulada_) {
        mostrando_ = true;
        visible_ = ventana_.Visible();
        for (int i = 0; i < 3; ++i) lineas_[i] = ventana_.Linea(i + 1);
        QString tomada = held();
        if (!tomada.isEmpty()) tomada[0] = tomada[0].toUpper();
        const long long hasta = (bound.count() + 999) / 1000;
        segundos_ = waited.count() / 1000;
        ventana_.ActualizaEspera(0, Linea1(segundos_), tomada,
                                 QStringLiteral("Se espera hasta %1 s. Anular deja de esperar sin grabar nada.").arg(hasta));
        ventana_.MuestraAnular([this] { anulada_ = true; });
    } else if (mostrando_ && waited.count() / 1000 != segundos_) {
        segundos_ = waited.count() / 1000;
        ventana_.ActualizaEspera(0, Linea1(segundos_), ventana_.Linea(2), ventana_.Linea(3));
    }
    vb::DoEvents();
    return !anulada_;
}

void EsperaOtraEstacion::WaitOver() {
    anulada_ = false;
    if (!mostrando_) return;
    mostrando_ = false;
    segundos_ = -1;
    ventana_.OcultaAnular();
    if (visible_) ventana_.ActualizaEspera(0, lineas_[0], lineas_[1], lineas_[2]);
    else ventana_.OcultaEspera();
}

}  // namespace utillib
