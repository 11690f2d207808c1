#pragma once
// ConfigEstacion: the workstation's settings files. A settings file is a text file of sections
// ("[name]") holding "key=value" lines, in the system's 8-bit code page. A file named without a
// folder lies in the program folder.
#include <QString>

namespace utillib {

class ConfigEstacion {
public:
    // The value of `clave` in section `seccion` of `archivo`, with the blanks around it removed;
    // `predeterminado` when the file, the section or the key is missing. Section and key names
    // are compared without regard to case.
    QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
                   const QString& predeterminado = QString()) const;

    // Where LeeIni looks for a file named `archivo`.
    static QString RutaArchivo(const QString& archivo);
};

}  // namespace utillib
