#pragma once
// EsperaOtraEstacion: what the operator sees while a run waits for another station's send or
// receive (ado::LockWaitListener, platform/ado/lock_wait.h). While it lives it is the program's
// listener:
//
//   utillib::EsperaOtraEstacion espera(core::gVentanaEspera());   // for the length of a run
//
// Between the pauses of a wait it lets the window's events through (vb::DoEvents: the window that
// runs drops the clicks on its commands and fields meanwhile, as during any run). Once a wait has
// lasted kMuestraTras, the wait window says so, with "Anular":
//
//   Esperando a otra estación: 12 s
//   La base de la casa central (VOLMA) está tomada por el envío o la recepción de otra estación
//   Se espera hasta 360 s. Anular deja de esperar sin grabar nada.
//
// Anular gives the wait up (the statement fails with vb::kHrCanceled, which the error question
// answers Abort without asking). When the wait is over the window shows again what it showed
// before (or goes, when it was not shown).
#include "platform/ado/lock_wait.h"

#include <QString>
#include <chrono>

namespace utillib {

class VentanaEspera;

class EsperaOtraEstacion : public ado::LockWaitListener {
public:
    static constexpr std::chrono::milliseconds kMuestraTras{300};

    explicit EsperaOtraEstacion(VentanaEspera& ventana);
    ~EsperaOtraEstacion() override;
    EsperaOtraEstacion(const EsperaOtraEstacion&) = delete;
    EsperaOtraEstacion& operator=(const EsperaOtraEstacion&) = delete;

    bool Waiting(std::chrono::milliseconds waited, std::chrono::milliseconds bound,
                 const std::function<QString()>& held) override;
    void WaitOver() override;

    // The wait window's first line for a wait of `segundos`.
    static QString Linea1(long long segundos);

private:
    VentanaEspera& ventana_;
    ado::LockWaitListener* anterior_;
    bool mostrando_ = false;   // the window shows the wait
    bool anulada_ = false;     // the operator pressed Anular during this wait
    long long segundos_ = -1;  // the seconds the window shows
    QString lineas_[3];        // what the window showed before the wait
    bool visible_ = false;     // and whether it was shown
};

}  // namespace utillib
