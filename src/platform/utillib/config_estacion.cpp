#include "platform/utillib/config_estacion.h"

#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace utillib {

QString ConfigEstacion::RutaArchivo(const QString& archivo) {
    if (QFileInfo(archivo).isAbsolute()) return archivo;
    return UtilTexto().AgregaBarra(vb::App().path) + archivo;
}

QString ConfigEstacion::LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
                               const QString& predeterminado) const {
    QFile f(RutaArchivo(archivo));
    if (!f.open(QIODevice::ReadOnly)) return predeterminado;
    const QStringList lineas = vb::FromCp1252(f.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    bool enSeccion = false;
    for (const QString& linea : lineas) {
        const QString t = linea.trimmed();
        if (t.startsWith(u'[')) {
            const qsizetype cierre = t.lastIndexOf(u']');
            const QString nombre = t.mid(1, cierre > 0 ? cierre - 1 : -1).trimmed();
            enSeccion = QString::compare(nombre, seccion.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!enSeccion || t.isEmpty() || t.startsWith(u';')) continue;
        const qsizetype igual = t.indexOf(u'=');
        if (igual <= 0) continue;
        if (QString::compare(t.left(igual).trimmed(), clave.trimmed(), Qt::CaseInsensitive) == 0)
            return t.mid(igual + 1).trimmed();
    }
    return predeterminado;
}

}  // namespace utillib
