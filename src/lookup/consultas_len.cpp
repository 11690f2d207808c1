#include "lookup/consultas_len.h"

#include "platform/vb/app.h"
#include "platform/vb/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

namespace lookup {

namespace {

// Splits a line written by the runtime's Write #: fields separated by commas, each possibly in
// double quotes (a comma inside quotes belongs to the field).
QStringList CamposLinea(const QString& linea) {
    QStringList campos;
    QString actual;
    bool entreComillas = false;
    bool fueCitado = false;
    for (QChar c : linea) {
        if (entreComillas) {
            if (c == QLatin1Char('"')) entreComillas = false;
            else actual += c;
        } else if (c == QLatin1Char('"')) {
            entreComillas = true;
            fueCitado = true;
        } else if (c == QLatin1Char(',')) {
            campos << (fueCitado ? actual : actual.trimmed());
            actual.clear();
            fueCitado = false;
        } else {
            actual += c;
        }
    }
    campos << (fueCitado ? actual : actual.trimmed());
    return campos;
}

QByteArray LineaRegistro(const AnchosTabla& r) {
    return vb::ToCp1252(QLatin1Char('"') + r.tabla + QStringLiteral("\",\"") + r.anchos + QLatin1Char('"')) +
           QByteArray("\r\n");
}

}  // namespace

QString RutaAnchos() {
    return QDir(vb::App().path).filePath(QStringLiteral("CONSULTASLEN.QVD"));
}

QList<AnchosTabla> LeeAnchos(const QString& ruta) {
    QList<AnchosTabla> registros;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return registros;
    const QByteArray todo = f.readAll();
    for (const QByteArray& crudo : todo.split('\n')) {
        QByteArray linea = crudo;
        if (linea.endsWith('\r')) linea.chop(1);
        if (linea.trimmed().isEmpty()) continue;
        const QStringList campos = CamposLinea(vb::FromCp1252(linea));
        AnchosTabla r;
        r.tabla = campos.value(0);
        r.anchos = campos.value(1);
        registros << r;
    }
    return registros;
}

QString TextoAnchos(const QList<long>& anchos) {
    QString s;
    for (long a : anchos) s += QString::number(a) + QLatin1Char('|');
    return s;
}

bool GuardaAnchos(const QString& ruta, const QString& tabla, const QList<long>& anchos) {
    const QString aux = QFileInfo(ruta).dir().filePath(QStringLiteral("CONSULTASLEN.AUX"));
    QByteArray contenido;
    for (const AnchosTabla& r : LeeAnchos(ruta))
        if (r.tabla.compare(tabla, Qt::CaseInsensitive) != 0) contenido += LineaRegistro(r);
    contenido += LineaRegistro({tabla, TextoAnchos(anchos)});

    QFile f(aux);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool escrito = f.write(contenido) == contenido.size() && f.flush() && ::fsync(f.handle()) == 0;
    f.close();
    if (!escrito || f.error() != QFileDevice::NoError) {
        QFile::remove(aux);
        return false;
    }
    // rename() replaces the old file in one step: a reader sees the old content or the new one.
    if (std::rename(QFile::encodeName(aux).constData(), QFile::encodeName(ruta).constData()) != 0) {
        QFile::remove(aux);
        return false;
    }
    return true;
}

}  // namespace lookup
