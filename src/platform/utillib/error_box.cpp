#include "platform/utillib/error_box.h"

#include "platform/ui/prompter.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"
#include "platform/vb/files.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <fcntl.h>
#include <unistd.h>

namespace utillib {

namespace {
constexpr int kBotonesPredeterminados = ui::vbAbortRetryIgnore + ui::vbCritical;  // 18

// A text as one line of the log: a line break inside it (a server's message may hold several
// lines) is written as one blank, so that each treated error stays one line of the file.
QString EnUnaLinea(QString texto) {
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    texto.replace(u'\r', u' ');
    texto.replace(u'\n', u' ');
    return texto;
}

// Appends the line to XKERR.LOG of the user's own temporary folder: through the folder opened once,
// never through a link, created the user's alone (CarpetaPropia). A folder another user owns or
// may write keeps no line.
void AgregaEnTemporal(const QString& linea) {
    const CarpetaPropia carpeta(InfoEstacion().CarpetaTemporal());
    if (!carpeta.propia()) return;
    const int fd = ::openat(carpeta.fd(), "XKERR.LOG", O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    vb::AppendLine(fd, linea);
    ::close(fd);
}
}  // namespace

QString PalabraRespuesta(int respuesta) {
    switch (respuesta) {
        case vb::kRetry:
            return QStringLiteral("Reintentar");
        case vb::kIgnore:
            return QStringLiteral("Ignorar");
        case vb::kAbort:
            return QStringLiteral("Abortar");
        case vb::kCancel:
            return QStringLiteral("Cancelar");
        case vb::kYes:
            return QStringLiteral("Sí");
        case vb::kNo:
            return QStringLiteral("No");
        default:
            return QString();
    }
}

QString ArchivoErroresPredeterminado() { return UtilTexto().AgregaBarra(vb::App().path) + QStringLiteral("XKERR.LOG"); }

int PreguntaError(const vb::Error& error, std::optional<int> botones, const std::optional<QString>& rutina,
                  const QString& archivoLog) {
    if (error.number() == 0) return 0;
    if (error.number() == vb::kHrCanceled) return vb::kAbort;   // Anular, pressed while waiting

    QString mensaje = QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(error.number()) +
                      QStringLiteral(") ") + vb::Trim(error.description());
    const QString parteRutina = rutina ? QStringLiteral(" - ") + *rutina : QString();
    // An error raised by the program itself (not by a provider or a component) names the program
    // as its source, as the runtime does.
    const QString origen = error.source().isEmpty() ? vb::App().title : error.source();
    QString titulo = origen + parteRutina + QStringLiteral(" Aviso al operador!!! ");
    int estilo = botones.value_or(kBotonesPredeterminados);
    // Another station's work outlasted the wait: its own words, to wait again or give up (a caller
    // that offers no retry keeps its buttons).
    if (error.number() == vb::kHrTimeout) {
        mensaje = vb::Trim(error.description());
        titulo = QStringLiteral("Aviso al operador");
        const int set = estilo & 0x0F;
        if (set == ui::vbAbortRetryIgnore || set == ui::vbRetryCancel || set == ui::vbRetryAbort)
            estilo = ui::vbRetryAbort + ui::vbExclamation;
    }

    int respuesta = 0;
    try {
        respuesta = ui::MsgBox(mensaje, estilo, titulo);
    } catch (...) {
        // The question itself never fails towards the handler that asked it.
    }

    try {
        const QDateTime ahora = vb::CurrentDateTime();
        const QString linea = ahora.toString(QStringLiteral("MM-dd-yyyy")) + u' ' +
                              ahora.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Rutina: ") +
                              EnUnaLinea(vb::Trim(parteRutina)) + QStringLiteral(" Mensaje ") +
                              EnUnaLinea(vb::Trim(mensaje)) + QStringLiteral(" Respondió : ") +
                              PalabraRespuesta(respuesta);
        if (!archivoLog.isEmpty()) {
            vb::AppendLine(archivoLog, linea);
        } else if (!vb::AppendLine(ArchivoErroresPredeterminado(), linea)) {
            // A program folder that cannot be written (an installed program's): the user's
            // temporary folder keeps the log instead.
            AgregaEnTemporal(linea);
        }
    } catch (...) {
        // A log that cannot be written loses the line; the answer still counts.
    }
    return respuesta;
}

void AvisaErrorSinTratar(const vb::Error& error) { PreguntaError(error, ui::vbOKOnly + ui::vbCritical, std::nullopt); }

}  // namespace utillib
