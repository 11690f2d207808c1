#pragma once
// Start-up of the program: the parameter text, the station settings, the head-office login,
// the report connection text, the lookup builder and the configuration.
//
// Parameter text: items "key=value;" found anywhere, key case ignored:
//   @ParametroAdicional, @Menu (read, not used), @Server (a leading "#" selects Oracle), @DbName,
//   @Usuario, @Password, @UsuarioLogeado, @Caja (default "1").
// A key is matched whole: "@Usuario" is not found inside "@UsuarioLogeado". The value runs from
// behind the key to the next ";", or to the end of the text for the last item; every "=" is
// removed and the blanks around it.
#include <QString>

namespace core {

// Settings file of the station, read through gConfigEstacion.
inline constexpr const char* kArchivoEstacion = "CN000pr.INI";

// The values of one parameter text.
struct ParametrosInicio {
    QString ParametroAdicional;
    QString Menu;
    QString Servidor;
    QString DbName;
    QString Usuario;
    QString Password;
    QString UsuarioLogeado;
    QString Caja;
};

// The value of one key of the parameter text; Ausente when the key is not in it.
QString ValorParametro(const QString& Parametros, const QString& Clave, const QString& Ausente = QString());
ParametrosInicio LeeParametros(const QString& Parametros);

// The host part of a server text: without a protocol before "/" and a port after ":". A path
// (ado::IsFolderPath: the embedded database's folder) is kept whole, whether or not it exists.
QString ObtieneNombreServidor(const QString& Servidor);

// The station's section of the settings file: UCase(computer) & "|" & UCase(user), cut to 50.
QString SeccionEstacion();

// The program's command line (the parameter text), set by main(); by default the arguments
// after the program's name joined by blanks.
QString LineaComando();
void SetLineaComando(const QString& texto);

// Set when start-up could not open the head-office connection: the program ends before any
// window is shown. main() acts on it.
inline bool gFinDelPrograma = false;

// Starts the program. Parametros: the parameter text; empty takes the command line, and with
// UsaLoginGuardado an empty command line takes the station's saved login. ConnString is the
// connection text handed to the login (built for Oracle when it arrives empty). lCursor is the
// connection's cursor location (the main window passes 3).
// The head-office database must hold the program's tables: one that does not, or a file that is
// not a database, is refused as a connection that cannot be opened (one box naming it, then the
// login dialog or the end).
// Returns False when the head-office connection could not be opened, or an error question was
// answered "Anular" (the questions after it are not shown): the program must end now
// (gFinDelPrograma is set too). Any other failure ends start-up silently with what it had set,
// and the program goes on.
bool IniciaSistema(bool UsaLoginGuardado, const QString& Parametros, QString& ConnString, long lCursor = 3);

}  // namespace core
