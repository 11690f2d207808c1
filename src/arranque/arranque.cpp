#include "arranque/arranque.h"

#include "arranque/capturas.h"
#include "core/inicia_sistema.h"
#include "db/databases.h"
#include "lookup/lib_cls_cons3.h"
#include "main_window/frm_korvane01.h"
#include "main_window/reportes.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/error_box.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "sender/frm_status.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace arranque {

namespace {

void Uso() {
    std::fprintf(stderr,
                 "uso: korvane \"@Server=<servidor>;@DbName=<base>;@Usuario=<usuario>;@Password=<clave>\"\n"
                 "     korvane --demo <carpeta> [--capturas <carpeta>]\n");
}

// The demo databases in the folder, each made only when no file of its name (in any letters, as the
// provider opens it) is there: such a file is the operator's (what was sent and received into it)
// and is never replaced.
bool CreaDemo(const QString& carpeta) {
    try {
        if (db::DatabaseFiles(carpeta, db::kHeadOfficeName).isEmpty())
            db::CreateHeadOffice(carpeta, db::kHeadOfficeName, /*demo=*/true);
        if (db::DatabaseFiles(carpeta, db::kInterfaceName).isEmpty()) db::CreateInterface(carpeta, /*demo=*/true);
        return true;
    } catch (const vb::Error& e) {
        std::fprintf(stderr, "no se pudieron crear las bases de demostración en %s: %s\n", qPrintable(carpeta),
                     qPrintable(e.description()));
        return false;
    }
}

// A new folder of the picture run's own inside the pictures' folder: mkdtemp makes it, so it is
// never the demo folder nor any folder that was there before. "" when it cannot be made.
QString CarpetaDeCapturas(const QString& capturas) {
    if (!QDir().mkpath(capturas)) return QString();
    QByteArray plantilla = QFile::encodeName(QDir(capturas).filePath(QStringLiteral("korvane-capturas-XXXXXX")));
    return ::mkdtemp(plantilla.data()) ? QFile::decodeName(plantilla) : QString();
}

// The picture run's own folder removed, the current folder moved out of it first; nothing else is
// touched.
void QuitaCarpetaDeCapturas(const Inicio& inicio) {
    if (inicio.carpetaCapturas.isEmpty()) return;   // an empty name would be the current folder
    QDir::setCurrent(inicio.capturas);
    QDir(inicio.carpetaCapturas).removeRecursively();
}

QString ParametrosDemo(const QString& servidor) {
    return QStringLiteral("@Server=") + servidor + QStringLiteral(";@DbName=") + db::kHeadOfficeName +
           QStringLiteral(";@Usuario=sa;@Password=");
}

}  // namespace

std::optional<Inicio> LeeLinea(const QStringList& argumentos) {
    Inicio inicio;
    if (argumentos.isEmpty() || argumentos[0] != QStringLiteral("--demo")) {
        inicio.parametros = argumentos.join(u' ');
        return inicio;
    }
    const bool conCapturas = argumentos.size() == 4 && argumentos[2] == QStringLiteral("--capturas");
    if ((argumentos.size() != 2 && !conCapturas) || argumentos[1].isEmpty() ||
        (conCapturas && argumentos[3].isEmpty())) {
        Uso();
        return std::nullopt;
    }
    inicio.demo = QFileInfo(argumentos[1]).absoluteFilePath();
    if (conCapturas) inicio.capturas = QFileInfo(argumentos[3]).absoluteFilePath();
    return inicio;
}

void Instala(ui::Prompter& cajas) {
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    ui::GuardedApplication::SetTreatment(utillib::AvisaErrorSinTratar);
    vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });
    ui::SetPrompter(&cajas);
    lookup::InstallLookupBuilder();
    main_window::InstalaImpresoraReportes();
}

bool PreparaDemo(Inicio& inicio) {
    if (inicio.demo.isEmpty()) return true;
    if (!CreaDemo(inicio.demo)) return false;
    QString servidor = inicio.demo;
    if (!inicio.capturas.isEmpty()) {
        inicio.carpetaCapturas = CarpetaDeCapturas(inicio.capturas);
        if (inicio.carpetaCapturas.isEmpty()) {
            std::fprintf(stderr, "no se pudo crear una carpeta nueva en %s\n", qPrintable(inicio.capturas));
            return false;
        }
        // The run's saved fields stay in its own folder, apart from the operator's.
        qputenv("TEMP", QFile::encodeName(inicio.carpetaCapturas));
        // The send of the pictures writes into a copy of the demo databases, named from the run's
        // folder ("./demo") so that no picture shows where that folder happens to be.
        if (!CreaDemo(QDir(inicio.carpetaCapturas).filePath(QStringLiteral("demo")))) {
            QuitaCarpetaDeCapturas(inicio);
            return false;
        }
        QDir::setCurrent(inicio.carpetaCapturas);
        servidor = QStringLiteral("./demo");
    }
    inicio.parametros = ParametrosDemo(servidor);
    inicio.servidorInterfases = servidor;
    return true;
}

std::unique_ptr<main_window::FrmKorvane01> AbreVentana(const Inicio& inicio) {
    core::SetLineaComando(inicio.parametros);
    auto ventana = std::make_unique<main_window::FrmKorvane01>();
    // The demo folder's own interface file, named as the window names its database by default.
    if (inicio.servidorInterfases) ventana->FijaInterfases(*inicio.servidorInterfases, db::kInterfaceName.toUpper());
    if (!ventana->Form_Load()) {
        QuitaCarpetaDeCapturas(inicio);
        return nullptr;
    }
    return ventana;
}

int Ejecuta(const Inicio& inicio, main_window::FrmKorvane01& ventana) {
    int rc = 0;
    if (!inicio.capturas.isEmpty()) {
        rc = Capturas(ventana, inicio.capturas);
        main_window::FrmKorvane01::SetFinPrograma([] {});
        ventana.hide();
        QuitaCarpetaDeCapturas(inicio);
    } else {
        ventana.show();
        rc = QApplication::exec();
    }
    sender::DestroyFrmStatus();
    return rc;
}

}  // namespace arranque
