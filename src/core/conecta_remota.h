#pragma once
// The second connection: the stores' interface database, on gDBRemota.
#include <QString>

namespace core {

// The interface database's name, as its file is named on disk (korvane_interfases.sqlite in an
// embedded server's folder) and as the send names it.
inline const QString kBaseInterfases = QStringLiteral("korvane_interfases");

// Opens gDBRemota afresh (an open connection is closed first) on the host part of Servidor,
// with Base, Usuario and Clave trimmed, and no login dialog; a Base that names the interface
// database in other letters (the window's "KORVANE_INTERFASES") is taken by its own name, so that a
// box about it names its file as on disk. True when it is open. A failed open
// shows "NO SE PUDO ABRIR LA CONEXION REMOTA" and, on a second line, the file (or the server and
// database) and the cause, and gives False. With a terminal code, the
// head-office terminal table V_TA_TPV records whether that terminal is connected.
// Other failures are asked with Retry and Cancel ("Conexion Base Remota"): Retry runs the
// failing step again, Cancel gives False.
bool ConectaBaseRemota(const QString& Servidor, const QString& Base, const QString& Usuario, const QString& Clave,
                       const QString& CodigoTerminal = QString());

}  // namespace core
