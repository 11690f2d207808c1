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

namespace arranque {

namespace {

void Uso() {
    std::fprintf(stderr,
                 "uso: korvane \"@Server=<servidor>;@DbName=<base>;@Usuario=<usuario>;@Password=<clave>\"\n"
                 "     korvane --demo <carpeta> [--capturas <carpeta>]\n");
}

// The demo databases in the folder; with siFalta only when they are not there yet.
bool CreaDemo(const QString& carpeta, bool siFalta) {
    const QDir dir(carpeta);
    if (siFalta && QFileInfo::exists(dir.filePath(db::kHeadOfficeName + QStringLiteral(".sqlite"))) &&
        QFileInfo::exists(dir.filePath(db::kInterfaceName + QStringLiteral(".sqlite"))))
        return true;
    try {
        db::CreateDemo(carpeta);
        return true;
    } catch (const vb::Error& e) {
        std::fprintf(stderr, "no se pudieron crear las bases de demostración en %s: %s\n", qPrintable(carpeta),
                     qPrintable(e.description()));
        return false;
    }
}

// The copy of the demo databases that a picture run sends and receives on, inside its folder.
QString CopiaDeCapturas(const QString& capturas) { return QDir(capturas).filePath(QStringLiteral("demo")); }

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
    if (!CreaDemo(inicio.demo, /*siFalta=*/true)) return false;
    QString servidor = inicio.demo;
    if (!inicio.capturas.isEmpty()) {
        QDir().mkpath(inicio.capturas);
        qputenv("TEMP", QFile::encodeName(inicio.capturas));   // no saved fields of the operator's own
        // The send of the pictures writes into a copy of the demo databases, named from the
        // picture folder ("./demo") so that no picture shows where that folder happens to be.
        const QString copia = CopiaDeCapturas(inicio.capturas);
        QDir(copia).removeRecursively();
        if (!CreaDemo(copia, /*siFalta=*/false)) return false;
        QDir::setCurrent(inicio.capturas);
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
    if (!ventana->Form_Load()) return nullptr;
    return ventana;
}

int Ejecuta(const Inicio& inicio, main_window::FrmKorvane01& ventana) {
    int rc = 0;
    if (!inicio.capturas.isEmpty()) {
        rc = Capturas(ventana, inicio.capturas);
        main_window::FrmKorvane01::SetFinPrograma([] {});
        ventana.hide();
        QDir(CopiaDeCapturas(inicio.capturas)).removeRecursively();
    } else {
        ventana.show();
        rc = QApplication::exec();
    }
    sender::DestroyFrmStatus();
    return rc;
}

}  // namespace arranque
