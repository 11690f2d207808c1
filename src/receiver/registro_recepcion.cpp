#include "receiver/registro_recepcion.h"

#include "platform/vb/error.h"

#include <QDir>

namespace receiver {

namespace {

// The error names the line, so that the operator's box (and the program's error log) keeps what
// the file did not.
[[noreturn]] void NoSeEscribe(const QString& ruta, const QString& linea) {
    vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción ") + ruta + QStringLiteral("\r\n") + linea);
}

}  // namespace

QString NombreRegistro(const QDate& dia, int numero) {
    return QStringLiteral("err-") + dia.toString(QStringLiteral("yyyy-MM-dd")) + u'-' + QString::number(numero) +
           QStringLiteral(".log");
}

bool RegistroRecepcion::Abre(const QStringList& carpetas, const QDate& dia) {
    Cierra();
    for (const QString& carpeta : carpetas) {
        const QDir dir(carpeta);
        // A new file only: two runs (two stations on one folder) never share one.
        for (int numero = 1; numero < 100000; ++numero) {
            const QString ruta = dir.filePath(NombreRegistro(dia, numero));
            if (QFile::exists(ruta)) continue;
            archivo_.setFileName(ruta);
            if (archivo_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                ruta_ = QDir::toNativeSeparators(ruta);
                return true;
            }
            if (!QFile::exists(ruta)) break;   // the folder refuses it: the next folder
        }
    }
    return false;
}

void RegistroRecepcion::Escribe(const QString& linea) {
    // A line whose take-back failed is taken back before anything else is written: no line ever
    // follows a partial one. While the file still refuses it, every line fails as this one would.
    if (largoSano_ >= 0) {
        if (!archivo_.resize(largoSano_) || !archivo_.seek(largoSano_)) NoSeEscribe(ruta_, linea);
        largoSano_ = -1;
    }
    const QByteArray bytes = linea.toUtf8() + "\r\n";
    const qint64 antes = archivo_.pos();
    const qint64 escritos = archivo_.write(bytes);   // -1: nothing reached the file
    if (escritos == bytes.size()) return;
    // What of the line reached the file is taken back: a line written again is written once, and
    // one passed over leaves nothing. A take-back the file refuses is owed to the next line.
    if (escritos > 0 && (!archivo_.resize(antes) || !archivo_.seek(antes))) largoSano_ = antes;
    NoSeEscribe(ruta_, linea);
}

void RegistroRecepcion::Cierra() {
    if (archivo_.isOpen()) {
        if (largoSano_ >= 0) archivo_.resize(largoSano_);   // a last try; the lines stand in XKERR.LOG
        archivo_.close();
    }
    largoSano_ = -1;
}

}  // namespace receiver
