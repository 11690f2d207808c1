#pragma once
// InfoEstacion: what the library knows of the workstation.
#include <QString>

class QWidget;

namespace utillib {

class InfoEstacion {
public:
    QString NombrePC() const;         // the computer's host name
    QString NombreUsuario() const;    // the user logged on to the workstation
    QString CarpetaTemporal() const;  // the temporary folder, without a trailing separator
    // Gives a window of the program its place among the program's windows: the program's icon,
    // and the program's title when it has none of its own.
    void ConfiguraMDI(QWidget* formulario) const;
};

}  // namespace utillib
