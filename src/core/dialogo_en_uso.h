#pragma once
// DialogoEnUso: a fresh dialog taken from a factory for one request and let go when the request
// ends, whichever way it ends (an error included): Descargar (the dialog's Form_Unload), then the
// instance is released. So no request sees the rows of an earlier one.
//
//   core::DialogoEnUso<lots::DialogoLoteyPosicion> d(lots::DialogosLotes().loteyPosicion);
//   d->Cantidad1 = 6;                 // a program without the dialog (an empty factory) raises 91
//   d->MostrarModal();                // ... and here, or at any error, it is unloaded and released
//
// D is any dialog interface with a Descargar() member.
#include "platform/vb/error.h"

#include <memory>
#include <utility>

namespace core {

template <class D>
class DialogoEnUso {
public:
    // Fabrica: a callable giving a std::unique_ptr<D>, or an empty std::function (no dialog).
    template <class Fabrica>
    explicit DialogoEnUso(const Fabrica& fabrica) {
        if (fabrica) dialogo_ = fabrica();
    }
    ~DialogoEnUso() {
        if (dialogo_) dialogo_->Descargar();
    }
    DialogoEnUso(const DialogoEnUso&) = delete;
    DialogoEnUso& operator=(const DialogoEnUso&) = delete;

    // The dialog; none raises 91 (object variable not set).
    D& operator*() const {
        if (!dialogo_) vb::Raise(vb::kErrObjectNotSet);
        return *dialogo_;
    }
    D* operator->() const { return &**this; }

private:
    std::unique_ptr<D> dialogo_;
};

}  // namespace core
