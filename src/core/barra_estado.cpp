#include "core/barra_estado.h"

#include "core/armado_sql.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/status_bar.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <optional>

namespace core {

void ActualizaBarraEstado(ui::StatusBar& Barra, const QString& Mensaje) {
    data::DB_Dll& db = data::gDBPrincipal();
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] { Barra.SetText(QStringLiteral("MENSAJE"), Mensaje); });

    // The panels are filled once: a "SERVER" panel with a text (or none at all) means done.
    bool llena = false;
    on.run([&] { llena = Barra.Text(QStringLiteral("SERVER")).isEmpty(); });
    if (!llena) return;

    on.run([&] { Barra.SetText(QStringLiteral("SERVER"), QStringLiteral("Srv: ") + db.gServidor); });
    on.run([&] { Barra.SetText(QStringLiteral("USUARIO"), QStringLiteral("Uid: ") + db.gUsuario); });
    on.run([&] { Barra.SetText(QStringLiteral("BASEDEDATOS"), QStringLiteral("Db: ") + db.gDBName); });
    on.run([&] { Barra.SetToolTipText(QStringLiteral("BASEDEDATOS"), Barra.Text(QStringLiteral("BASEDEDATOS"))); });
    on.run([&] {
        if (gCaja.isEmpty()) gCaja = QStringLiteral("1");
    });

    // A description not read (the lookup has asked) adds no cash box and shows none.
    std::optional<QString> descripcion;
    on.run([&] {
        const vb::ReadResult<vb::Variant> leida =
            db.DatosTabla(QStringLiteral("@Admin_V_TA_Cajas"), vb::Variant(gCaja), QStringLiteral("Descripcion"),
                          QStringLiteral("IdCajas"), 8, QString(), true, false);
        if (leida.read()) descripcion = leida.value().text();
    });
    on.run([&] {
        if (descripcion && vb::Trim(*descripcion).isEmpty()) {
            // The cash box comes from the command line: its quotes are doubled inside the literals.
            const QString codigo = RellenaCodigo(gCaja, 4);
            db.EjecutaConsultaSQL(QStringLiteral("INSERT INTO @Admin_V_TA_Cajas (IDCAJAS,DESCRIPCION) VALUES('") +
                                  data::LiteralSQL(codigo) + QStringLiteral("','CAJA ") + data::LiteralSQL(gCaja) + QStringLiteral("')"));
        }
    });
    on.run([&] {
        const vb::ReadResult<vb::Variant> leida =
            db.DatosTabla(QStringLiteral("V_TA_Cajas"), vb::Variant(gCaja), QStringLiteral("Descripcion"),
                          QStringLiteral("IdCajas"), 8, QString(), true, false);
        if (leida.read()) Barra.SetText(QStringLiteral("CAJA"), gCaja + QStringLiteral(" ") + leida.value().text());
    });
    on.run([&] {
        const vb::AppInfo& app = vb::App();
        Barra.SetText(QStringLiteral("VERSION"), QStringLiteral("V.") + QString::number(app.major) + QStringLiteral(".") +
                                                     QString::number(app.minor) + QStringLiteral(".") +
                                                     QString::number(app.revision));
    });
    for (const char* panel : {"SERVER", "USUARIO", "BASEDEDATOS", "CAJA"}) {
        const QString clave = QString::fromLatin1(panel);
        on.run([&] { Barra.SetToolTipText(clave, Barra.Text(clave)); });
    }
}

}  // namespace core
