#pragma once
// The main window's status bar: the message panel on every call, and on the first call the
// server, user, database, cash box and version panels.
#include <QString>

namespace ui {
class StatusBar;
}

namespace core {

// Panel keys: "MENSAJE", "SERVER", "USUARIO", "BASEDEDATOS", "CAJA", "VERSION".
// "MENSAJE" takes Mensaje. While "SERVER" is empty (the first call) the other panels are filled,
// and the station's cash box gCaja ("1" when empty) is added to V_TA_Cajas when missing
// (code brought to width 4, description "CAJA " & gCaja). Later calls change only "MENSAJE".
// Every failing statement is skipped: a missing panel or a failing lookup affects only itself.
void ActualizaBarraEstado(ui::StatusBar& Barra, const QString& Mensaje);

}  // namespace core
