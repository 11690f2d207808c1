// The library's operations that act on a whole window.
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/util_texto.h"

#include "platform/vb/app.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace utillib {

void UtilTexto::PreparaFormulario(QWidget* formulario, bool centrar) const {
    if (!formulario) return;
    formulario->setWindowIcon(QApplication::windowIcon());
    if (!centrar) return;
    const QScreen* pantalla = formulario->screen() ? formulario->screen() : QGuiApplication::primaryScreen();
    if (!pantalla) return;
    const QRect r = pantalla->geometry();
    formulario->move(r.width() / 2 - formulario->width() / 2, r.height() / 2 - formulario->height() / 2);
}

void InfoEstacion::ConfiguraMDI(QWidget* formulario) const {
    if (!formulario) return;
    formulario->setWindowIcon(QApplication::windowIcon());
    if (formulario->windowTitle().isEmpty()) formulario->setWindowTitle(vb::App().title);
}

}  // namespace utillib
