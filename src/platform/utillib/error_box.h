#pragma once
// The program's error question: a message box that shows the error and asks what to do, and one
// line appended to the error log with the answer given. UtilTexto::TrataError and
// DB_Dll::TratamientoErrores both go through it.
//
// Box: "Ha ocurrido el Siguiente Error (<number>) <description>", titled
// "<source>[ - <routine>] Aviso al operador!!! " (the program's title stands for the source of an
// error the program raised itself), abort/retry/ignore with the critical icon unless other buttons
// are given.
// Log line (CP1252, CR LF): "MM-dd-yyyy HH:mm:ss Rutina: [- <routine>] Mensaje <message> Respondió : <word>",
// always one line: line breaks inside the routine or the message are written as blanks.
//
// Another station at work (platform/ado/lock_wait.h): a wait that ran out (vb::kHrTimeout) is asked
// in a box of its own, its text the error's (it names the database held), with Reintentar and
// Anular (Anular answers Abort); a wait the operator gave up with Anular (vb::kHrCanceled) is
// answered Abort at once: no box, no line, the operator has answered already.
#include "platform/vb/error.h"

#include <QString>
#include <optional>

namespace utillib {

// The answer as the log writes it: "Reintentar", "Ignorar", "Abortar", "Cancelar", "Sí", "No";
// empty for any other answer.
QString PalabraRespuesta(int respuesta);

// The default error log: XKERR.LOG in the program folder (in the temporary folder when the program
// folder cannot be written).
QString ArchivoErroresPredeterminado();

// Shows the box, appends the log line to `archivoLog` (the default log when empty; its line goes
// to XKERR.LOG of the temporary folder when the program folder does not take it, only when that
// folder is the user's own and that file no link) and returns
// the operator's answer. An error numbered 0 returns 0 with no box and no line. Never raises: a
// log that cannot be written loses its line.
int PreguntaError(const vb::Error& error, std::optional<int> botones, const std::optional<QString>& rutina,
                  const QString& archivoLog = QString());

// An error that left an event handler untreated (ui::GuardedApplication's treatment): the box
// with OK only, and its line in the default log.
void AvisaErrorSinTratar(const vb::Error& error);

}  // namespace utillib
