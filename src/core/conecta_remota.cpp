#include "core/conecta_remota.h"

#include "core/armado_sql.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ado/ado.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

namespace core {

bool ConectaBaseRemota(const QString& Servidor, const QString& Base, const QString& Usuario, const QString& Clave,
                       const QString& CodigoTerminal) {
    data::DB_Dll& remota = data::gDBRemota();
    data::DB_Dll& principal = data::gDBPrincipal();
    bool resultado = false;
    vb::OnError on([](const vb::Error& e) {
        return gUtilTexto().TrataError(e, ui::vbRetryCancel, QStringLiteral("Conexion Base Remota"));
    });
    on.run([&] {
        if (remota.gOpenFlag) remota.gCnn()->Close();
    });
    on.run([&] { remota.gProveedor = principal.pSQLOLEDB(); });
    on.run([&] { remota.gServidor = ObtieneNombreServidor(vb::Trim(Servidor)); });
    on.run([&] {
        const QString base = vb::Trim(Base);
        remota.gDBName = base.compare(kBaseInterfases, Qt::CaseInsensitive) == 0 ? kBaseInterfases : base;
        remota.gUsuario = vb::Trim(Usuario);
        remota.gUserPassWord = vb::Trim(Clave);
    });
    on.run([&] { remota.OpenServerADODB(false, ado::adUseClient, QString(), true, false); });
    if (on.left()) return false;

    const QString codigo =
        CodigoTerminal.isEmpty() ? QString() : data::LiteralSQL(gUtilTexto().Rellena(vb::Variant(CodigoTerminal)));
    if (!remota.gOpenFlag) {
        if (!CodigoTerminal.isEmpty()) {
            on.run([&] {
                // The server's date-time in its default text form (no time part at midnight).
                const QString fecha = vb::Variant(ObtieneFechaServidor()).toString();
                principal.EjecutaConsultaSQL(QStringLiteral("UPDATE V_TA_TPV SET CONECTADO = 0, ULTIMA_DETECCION = '") + fecha +
                                             QStringLiteral("' WHERE CODIGO = '") + codigo + QStringLiteral("'"));
            });
            // Under this program's own name no pending flag of the terminal is raised.
        }
        if (on.left()) return false;
        // The second line says what was opened and why it failed: an embedded database's
        // message names its file or folder; a server's does not, so the server and database lead.
        QString detalle = vb::Trim(remota.gErrorApertura);
        if (!ado::IsFolderPath(remota.gServidor))
            detalle = QStringLiteral("Servidor ") + remota.gServidor + QStringLiteral(", base ") + remota.gDBName +
                      QStringLiteral(": ") + detalle;
        ui::MsgBox(QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA") + QChar(13) + detalle, ui::vbOKOnly, vb::App().title);
        return false;
    }
    on.run([&] { remota.gCnn()->setDefaultDatabase(remota.gDBName); });
    on.run([&] {
        if (!CodigoTerminal.isEmpty()) {
            principal.EjecutaConsultaSQL(QStringLiteral("UPDATE V_TA_TPV SET CONECTADO = 1 WHERE CODIGO = '") + codigo +
                                         QStringLiteral("'"));
        }
    });
    on.run([&] { resultado = true; });
    return resultado;
}

}  // namespace core
