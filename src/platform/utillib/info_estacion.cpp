#include "platform/utillib/info_estacion.h"

#include <QDir>
#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

namespace utillib {

QString InfoEstacion::NombrePC() const { return QSysInfo::machineHostName(); }

QString InfoEstacion::NombreUsuario() const {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString v = qEnvironmentVariable(variable);
        if (!v.isEmpty()) return v;
    }
    if (const passwd* pw = getpwuid(getuid())) return QString::fromLocal8Bit(pw->pw_name);
    return QString();
}

QString InfoEstacion::CarpetaTemporal() const { return QDir::tempPath(); }

}  // namespace utillib
