#include "core/inicia_sistema.h"

#include "core/consultas_iface.h"
#include "core/consultas_qvd.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ado/ado.h"
#include "platform/utillib/config_estacion.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <optional>

namespace core {

namespace {

std::optional<QString> gLineaComando;

// The saved login's fixed defaults and the marker word at the end of the text built from it.
const QString kUsuarioPorDefecto = QStringLiteral("Brontal");
const QString kClavePorDefecto = QStringLiteral("brontal");
const QString kMarcaLoginGuardado = QStringLiteral("LOGINGUARDADO");

bool EsCaracterDeClave(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// The parameter text built from the station's saved login.
QString ParametrosLoginGuardado() {
    const QString seccion = vb::UCase(gInfoEstacion().NombrePC()) + QStringLiteral("|") +
                            vb::UCase(gInfoEstacion().NombreUsuario()) + QStringLiteral("BaseDeDatos");
    const QString archivo = QString::fromLatin1(kArchivoEstacion);
    utillib::UtilTexto& ut = gUtilTexto();
    QString servidor = gConfigEstacion().LeeIni(archivo, seccion, QStringLiteral("Servidor"), QString());
    QString base = gConfigEstacion().LeeIni(archivo, seccion, QStringLiteral("DbName"), QString());
    QString usuario = ut.DecodificaTexto(
        gConfigEstacion().LeeIni(archivo, seccion, QStringLiteral("Usuario"), ut.CodificaTexto(kUsuarioPorDefecto)));
    QString clave = ut.DecodificaTexto(gConfigEstacion().LeeIni(archivo, seccion, QStringLiteral("UserPassWord"),
                                                                ut.CodificaTexto(kClavePorDefecto)));
    servidor = ut.Reemplaza(servidor, QStringLiteral("|"));
    base = ut.Reemplaza(base, QStringLiteral("|"));
    usuario = ut.Reemplaza(usuario, QStringLiteral("|"));
    clave = ut.Reemplaza(clave, QStringLiteral("|"));
    return QStringLiteral("@server=") + servidor + QStringLiteral("; @dbname= ") + base + QStringLiteral("; @usuario= ") +
           usuario + QStringLiteral("; @Password= ") + clave + QStringLiteral("; @ParametroAdicional=; @Caja=1;") +
           kMarcaLoginGuardado;
}

// The tables the program reads from the head-office database as it starts and opens its window:
// a database without them is not the head office's, and is refused at the login.
const QStringList kTablasCasaCentral = {QStringLiteral("TA_CONFIGURACION"), QStringLiteral("ta_usuarios"),
                                        QStringLiteral("MV_NOVEDADESPRECIOS")};

// While start-up runs, stands in front of the program's prompter: an "Anular" given to an error
// question ends the start. The error questions that follow it are not shown: they take the
// operator's "Anular" again, so that start-up goes to its end without asking.
class VigiaAnular : public ui::Prompter {
public:
    VigiaAnular() : anterior_(ui::CurrentPrompter()) { ui::SetPrompter(this); }
    ~VigiaAnular() override { ui::SetPrompter(&anterior_); }
    VigiaAnular(const VigiaAnular&) = delete;
    VigiaAnular& operator=(const VigiaAnular&) = delete;

    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        const bool pregunta = (buttons & 0x0F) == ui::vbAbortRetryIgnore;
        if (pregunta && anulado) return vb::kAbort;
        const int respuesta = anterior_.msgBox(prompt, buttons, title);
        if (pregunta && respuesta == vb::kAbort) anulado = true;
        return respuesta;
    }
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
        return anterior_.inputBox(prompt, title, defaultText);
    }

    bool anulado = false;

private:
    ui::Prompter& anterior_;
};

}  // namespace

QString ValorParametro(const QString& Parametros, const QString& Clave, const QString& Ausente) {
    // The first occurrence of the key that is a whole key: not followed by a letter, digit or "_".
    qsizetype p = -1;
    for (qsizetype desde = 0;;) {
        p = Parametros.indexOf(Clave, desde, Qt::CaseInsensitive);
        if (p < 0) return Ausente;
        const qsizetype tras = p + Clave.size();
        if (tras >= Parametros.size() || !EsCaracterDeClave(Parametros.at(tras))) break;
        desde = p + 1;
    }
    // The value ends at the next ";", or at the end of the text for the last item written without
    // one ("...;@Caja=7" gives 7).
    const qsizetype inicio = p + Clave.size();
    qsizetype fin = Parametros.indexOf(u';', inicio);
    if (fin < 0) fin = Parametros.size();
    const QString valor = gUtilTexto().Reemplaza(Parametros.mid(inicio, fin - inicio), QStringLiteral("="));
    return vb::Trim(valor);
}

ParametrosInicio LeeParametros(const QString& Parametros) {
    ParametrosInicio p;
    p.ParametroAdicional = ValorParametro(Parametros, QStringLiteral("@ParametroAdicional"));
    p.Menu = ValorParametro(Parametros, QStringLiteral("@Menu"));
    p.Servidor = ValorParametro(Parametros, QStringLiteral("@Server"));
    p.DbName = ValorParametro(Parametros, QStringLiteral("@DbName"));
    p.Usuario = ValorParametro(Parametros, QStringLiteral("@Usuario"));
    p.Password = ValorParametro(Parametros, QStringLiteral("@Password"));
    p.UsuarioLogeado = ValorParametro(Parametros, QStringLiteral("@UsuarioLogeado"));
    p.Caja = ValorParametro(Parametros, QStringLiteral("@Caja"), QStringLiteral("1"));
    return p;
}

QString ObtieneNombreServidor(const QString& Servidor) {
    // A path is the embedded database's folder and is kept whole, whether or not the folder is
    // there: the connection then says that it does not exist.
    if (ado::IsFolderPath(Servidor)) return Servidor;
    QString r = Servidor;
    const qsizetype barra = r.indexOf(u'/');
    if (barra >= 0) r = r.mid(barra + 1);
    const qsizetype puerto = r.indexOf(u':');
    if (puerto >= 0) r = r.left(puerto);
    return r;
}

QString SeccionEstacion() {
    QString seccion = vb::UCase(gInfoEstacion().NombrePC()) + QStringLiteral("|") + vb::UCase(gInfoEstacion().NombreUsuario());
    if (vb::Len(vb::Trim(seccion)) > 50) seccion = vb::Left(seccion, 50);
    return seccion;
}

QString LineaComando() {
    if (gLineaComando) return *gLineaComando;
    if (!QCoreApplication::instance()) return QString();
    return QCoreApplication::arguments().mid(1).join(u' ');
}

void SetLineaComando(const QString& texto) { gLineaComando = texto; }

namespace {

bool IniciaSistemaVigilado(bool UsaLoginGuardado, const QString& Parametros, QString& ConnString, long lCursor) {
    data::DB_Dll& db = data::gDBPrincipal();
    // An invalid argument skips its statement; any other failure leaves start-up silently.
    vb::OnError on = vb::OnError::SkipNumbers({vb::kErrInvalidProcedureCall});
    QString carpeta;
    QString texto;
    ParametrosInicio p;

    on.run([&] { carpeta = gUtilTexto().AgregaBarra(vb::App().path); });
    on.run([&] { gArchivoAyuda = carpeta + QStringLiteral("htmlhelp/korvane.chm"); });
    on.run([&] {
        gColorLetra = 0;
        gColorFondo = 0xFFFFFF;
    });
    on.run([&] { texto = Parametros.isEmpty() ? LineaComando() : Parametros; });
    on.run([&] {
        if (vb::Trim(texto).isEmpty() && UsaLoginGuardado) texto = ParametrosLoginGuardado();
    });
    QString seccion;
    on.run([&] { seccion = SeccionEstacion(); });
    on.run([&] {
        gFlatToolbars = vb::Val(gConfigEstacion().LeeIni(QString::fromLatin1(kArchivoEstacion), seccion,
                                                          QStringLiteral("FlatToolbars"), QStringLiteral("1")));
    });

    if (!db.gOpenFlag) {
        on.run([&] { p = LeeParametros(texto); });
        on.run([&] { gCaja = p.Caja; });
        on.run([&] { gUsuarioLogeado = p.UsuarioLogeado; });
        on.run([&] {
            if (!vb::Trim(p.Servidor).isEmpty() && p.Servidor.startsWith(u'#')) {
                p.Servidor = p.Servidor.mid(1);
                if (ConnString.isEmpty()) {
                    ConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + p.DbName +
                                 QStringLiteral(";User Id=") + p.Usuario + QStringLiteral(";Password=") + p.Password +
                                 QStringLiteral(";");
                }
            }
        });
        on.run([&] {
            db.gUsuario = p.Usuario;
            db.gDBName = p.DbName;
            db.gUserPassWord = p.Password;
            db.gServidor = ObtieneNombreServidor(p.Servidor);
        });
        on.run([&] {
            db.gTablasRequeridas = kTablasCasaCentral;
            db.OpenServerADODB(vb::Trim(p.Servidor).isEmpty(), lCursor, ConnString, true, true);
        });
        if (on.left()) return true;
        if (!db.gOpenFlag) {
            gFinDelPrograma = true;
            return false;
        }
        on.run([&] { gUsuarioLogeado = db.gUsuario; });
        on.run([&] { db.gCnn()->setCommandTimeout(360); });
        on.run([&] { db.gCnn()->setIsolationLevel(ado::adXactReadUncommitted); });
    }

    if (on.left() || db.gDBName.isEmpty()) return true;
    on.run([&] {
        gCadenaDSN = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") + db.gUsuario +
                     QStringLiteral("; PWD=") + db.gUserPassWord;
    });
    on.run([&] { gMotorReportes().CarpetaReportes = carpeta; });
    on.run([&] { db.gCnn()->setDefaultDatabase(db.gDBName); });
    on.run([&] {
        gConsultas().gConnString = db.gConnString;
        gConsultas().gUsarMascarasConsultas = true;
        gConsultas().gRutaMascaraConsultas = carpeta + QStringLiteral("consultas.qvd");
    });
    on.run([&] {
        if (QFileInfo(gConsultas().gRutaMascaraConsultas).isFile()) return;
        // The default lookups only spare the operator typing; a program folder that cannot take
        // the file must not keep the configuration from being loaded.
        try {
            CreaArchivoConsultas();
        } catch (const vb::Error&) {
        }
    });
    on.run([&] { db.gCnn()->setDefaultDatabase(db.gDBName); });
    on.run([&] {
        if (!db.gDBName.isEmpty()) CargaConfiguracion(carpeta);
    });
    return true;
}

}  // namespace

bool IniciaSistema(bool UsaLoginGuardado, const QString& Parametros, QString& ConnString, long lCursor) {
    VigiaAnular vigia;
    const bool sigue = IniciaSistemaVigilado(UsaLoginGuardado, Parametros, ConnString, lCursor);
    if (sigue && !vigia.anulado) return true;
    gFinDelPrograma = true;
    return false;
}

}  // namespace core
