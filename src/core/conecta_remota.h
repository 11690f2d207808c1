#pragma once
// The second connection: the stores' interface database, on gDBRemota.
#include <QString>

namespace core {

// Opens gDBRemota afresh (an open connection is closed first) on the host part of Servidor,
// with Base, Usuario and Clave trimmed, and no login dialog. True when it is open. A failed open
// shows "NO SE PUDO ABRIR LA CONEXION REMOTA" and, on a second line, the file (or the server and
// database) and the cause, and gives False. With a terminal code, the
// head-office terminal table V_TA_TPV records whether that terminal is connected.
// Other failures are asked with Retry and Cancel ("Conexion Base Remota"): Retry runs the
// failing step again, Cancel gives False.
bool ConectaBaseRemota(const QString& Servidor, const QString& Base, const QString& Usuario, const QString& Clave,
                       const QString& CodigoTerminal = QString());

}  // namespace core
