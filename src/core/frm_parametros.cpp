#include "core/frm_parametros.h"

#include "core/mod_global.h"
#include "core/mod_zip.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"
#include "platform/vb/runtime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QWidget>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

constexpr int kLargoClave = 25;
constexpr int kLargoValor = 254;

// The window's controls in creation order, the ones the file can hold.
QList<QWidget*> ControlesGuardables(QWidget* formulario) {
    QList<QWidget*> r;
    const auto hijos = formulario->findChildren<QWidget*>();
    for (QWidget* c : hijos) {
        if (c->objectName().isEmpty() || c->objectName().startsWith(QStringLiteral("qt_"))) continue;
        if (!TipoControl(c).isEmpty()) r.push_back(c);
    }
    return r;
}

QString ValorControl(const QWidget* c, const QString& tipo) {
    if (tipo == QStringLiteral("TEXTBOX")) {
        if (const auto* t = qobject_cast<const QLineEdit*>(c)) return t->text();
        if (const auto* t = qobject_cast<const QTextEdit*>(c)) return t->toPlainText();
        if (const auto* t = qobject_cast<const QPlainTextEdit*>(c)) return t->toPlainText();
    } else if (tipo == QStringLiteral("CHECKBOX")) {
        const Qt::CheckState estado = qobject_cast<const QCheckBox*>(c)->checkState();
        return QString::number(estado == Qt::Checked ? 1 : estado == Qt::PartiallyChecked ? 2 : 0);
    } else if (tipo == QStringLiteral("OPTIONBUTTON")) {
        return qobject_cast<const QRadioButton*>(c)->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    } else if (tipo == QStringLiteral("COMBOBOX")) {
        return QString::number(qobject_cast<const QComboBox*>(c)->currentIndex());
    }
    return QString();
}

void RestauraControl(QWidget* c, const QString& tipo, const QString& valor) {
    if (tipo == QStringLiteral("TEXTBOX")) {
        const QString t = vb::Trim(valor);
        if (auto* e = qobject_cast<QLineEdit*>(c)) e->setText(t);
        else if (auto* e = qobject_cast<QTextEdit*>(c)) e->setPlainText(t);
        else if (auto* e = qobject_cast<QPlainTextEdit*>(c)) e->setPlainText(t);
    } else if (tipo == QStringLiteral("CHECKBOX")) {
        const double v = vb::Val(valor);
        auto* k = qobject_cast<QCheckBox*>(c);
        if (v == 2) {
            k->setTristate(true);
            k->setCheckState(Qt::PartiallyChecked);
        } else {
            k->setCheckState(v == 1 ? Qt::Checked : Qt::Unchecked);
        }
    } else if (tipo == QStringLiteral("OPTIONBUTTON")) {
        auto* o = qobject_cast<QRadioButton*>(c);
        const bool v = ConvierteBooleano(vb::Trim(valor));
        if (o->autoExclusive() && !v && o->isChecked()) {
            // An exclusive option cannot be turned off by itself: its group lets go of it.
            o->setAutoExclusive(false);
            o->setChecked(false);
            o->setAutoExclusive(true);
        } else {
            o->setChecked(v);
        }
    } else if (tipo == QStringLiteral("COMBOBOX")) {
        auto* b = qobject_cast<QComboBox*>(c);
        // The index is checked as read: a damaged file may hold any number.
        const double v = vb::Val(valor);
        if (v >= -1 && v < b->count()) b->setCurrentIndex(static_cast<int>(v));
    }
}

// A folder that is not the user's own (another user owns it, or the group or others may write it)
// holds no parameter file of the program's: anyone who can write it could have put one there, or
// changed it, with the server, the database and the send mode the window takes from it. None is
// read there, nor written; a file of the user's own folder is read only when it is the user's own
// as well. The folder is opened once and every file in it reached through that descriptor
// (utillib::CarpetaPropia), never by its path again, and no link is followed: what was checked is
// what is read and written.

constexpr mode_t kModoArchivo = 0600;   // only the user reads or writes a parameter file

// Writes `contenido` into a new file of mode 0600 beside `nombre` in the folder (created, never
// opened if there, never through a link), forces it to the disk and renames it over `nombre`.
// False, with nothing left beside `nombre`, when any of that fails.
bool EscribeArchivoPropio(const utillib::CarpetaPropia& carpeta, const QString& nombre, const QByteArray& contenido) {
    if (!carpeta.propia()) return false;
    const QByteArray destino = QFile::encodeName(nombre);
    QByteArray temporal;
    int fd = -1;
    for (int intento = 0; fd < 0 && intento < 100; ++intento) {
        temporal = destino + '.' + QByteArray::number(QRandomGenerator::system()->generate(), 36);
        fd = ::openat(carpeta.fd(), temporal.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kModoArchivo);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool escrito = ::fchmod(fd, kModoArchivo) == 0;   // the umask may have taken bits, never added any
    for (qsizetype hecho = 0; escrito && hecho < contenido.size();) {
        const ssize_t n = ::write(fd, contenido.constData() + hecho, static_cast<size_t>(contenido.size() - hecho));
        if (n < 0 && errno == EINTR) continue;
        escrito = n > 0;
        if (escrito) hecho += n;
    }
    escrito = escrito && ::fsync(fd) == 0;
    escrito = ::close(fd) == 0 && escrito;
    escrito = escrito && ::renameat(carpeta.fd(), temporal.constData(), carpeta.fd(), destino.constData()) == 0;
    if (!escrito) ::unlinkat(carpeta.fd(), temporal.constData(), 0);
    return escrito;
}

// Record `numero` (from 1) of the open file; false when it is not there whole.
bool LeeRegistro(int fd, long long numero, QByteArray* registro) {
    registro->resize(kLargoRegistroParametros);
    const off_t desde = static_cast<off_t>((numero - 1) * kLargoRegistroParametros);
    for (qsizetype hecho = 0; hecho < registro->size();) {
        const ssize_t n = ::pread(fd, registro->data() + hecho, static_cast<size_t>(registro->size() - hecho), desde + hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        hecho += n;
    }
    return true;
}

}  // namespace

QString TipoControl(const QWidget* Control) {
    if (qobject_cast<const QLineEdit*>(Control) || qobject_cast<const QTextEdit*>(Control) ||
        qobject_cast<const QPlainTextEdit*>(Control)) {
        return QStringLiteral("TEXTBOX");
    }
    if (qobject_cast<const QCheckBox*>(Control)) return QStringLiteral("CHECKBOX");
    if (qobject_cast<const QRadioButton*>(Control)) return QStringLiteral("OPTIONBUTTON");
    if (qobject_cast<const QComboBox*>(Control)) return QStringLiteral("COMBOBOX");
    return QString();
}

QString ClaveControl(const QWidget* Control) {
    QString clave = Control->objectName();
    if (gUtilTexto().EsArregloControl(Control)) {
        clave = vb::Trim(clave) + QString::number(Control->property("Index").toInt());
    }
    return clave;
}

QString ArchivoParametros(const QWidget* Formulario, const QString& Sufijo) {
    const QString carpeta = gInfoEstacion().CarpetaTemporal();
    const QString nombre = Formulario->objectName() + Sufijo + QStringLiteral(".PRM");
    return carpeta.isEmpty() ? nombre : gUtilTexto().AgregaBarra(carpeta) + nombre;
}

void GuardaParametrosFormulario(QWidget* Formulario, const QString& Sufijo) {
    try {
        const QString ruta = ArchivoParametros(Formulario, Sufijo);
        const QFileInfo archivo(ruta);
        if (!archivo.isAbsolute()) vb::Raise(vb::kErrPathNotFound, QStringLiteral("No se puede escribir el archivo ") + ruta);
        const utillib::CarpetaPropia carpeta(archivo.absolutePath());
        if (carpeta.ajena()) return;   // one that cannot be opened (missing, a link) is told below
        QByteArray contenido;
        for (QWidget* c : ControlesGuardables(Formulario)) {
            contenido += vb::FixedText(ClaveControl(c), kLargoClave);
            contenido += vb::FixedText(ValorControl(c, TipoControl(c)), kLargoValor);
            contenido += "\r\n";
        }
        // The new content goes to a file of its own, made 0600 as it is created (no moment in which
        // it has another mode), and then takes the old file's place: the old file, whatever its
        // mode or owner, is never written in place.
        if (!EscribeArchivoPropio(carpeta, archivo.fileName(), contenido))
            vb::Raise(vb::kErrPathNotFound, QStringLiteral("No se puede escribir el archivo ") + ruta);
    } catch (const vb::Error& e) {
        ui::MsgBox(e.description(), ui::vbOKOnly);
    }
}

void PreparaParametrosFormulario(QWidget*, const QString&) {}

void RecuperaParametrosFormulario(QWidget* Formulario, const QString& Sufijo, const QString& SoloControl) {
    PreparaParametrosFormulario(Formulario, Sufijo);
    const QFileInfo ruta(ArchivoParametros(Formulario, Sufijo));
    if (!ruta.isAbsolute()) return;
    const utillib::CarpetaPropia carpeta(ruta.absolutePath());
    if (!carpeta.propia()) return;
    // The first start leaves an empty file, the user's alone like every saved one (a file made
    // meanwhile is kept as it is). O_NONBLOCK: a pipe planted under the name does not hold the
    // start; it is no regular file and is not read.
    const int fd = ::openat(carpeta.fd(), QFile::encodeName(ruta.fileName()).constData(),
                            O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kModoArchivo);
    if (fd < 0) return;
    struct stat st {};
    const bool delUsuario = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && utillib::SoloDelUsuario(st);
    if (delUsuario) try {
        const long long registros = st.st_size / kLargoRegistroParametros;
        QByteArray registro;
        for (QWidget* c : ControlesGuardables(Formulario)) {
            const QString clave = vb::Trim(ClaveControl(c));
            for (long long i = 1; i <= registros; ++i) {
                if (!LeeRegistro(fd, i, &registro)) break;
                const QString claveRegistro = vb::Trim(vb::FromCp1252(registro.left(kLargoClave)));
                if (claveRegistro.compare(clave, Qt::CaseInsensitive) != 0) continue;
                if (SoloControl.isEmpty() || SoloControl.compare(clave, Qt::CaseInsensitive) == 0) {
                    RestauraControl(c, TipoControl(c), vb::FromCp1252(registro.mid(kLargoClave, kLargoValor)));
                }
                break;
            }
        }
    } catch (const vb::Error&) {
        // A value the window does not take ends the restore; the window keeps what it has.
    }
    ::close(fd);
}

}  // namespace core
