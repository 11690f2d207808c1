// The program: starts the main window with the parameter text of the command line.
//
//   korvane "<parameter text>"           @Server=...;@DbName=...;@Usuario=...;@Password=...;
//   korvane --demo <folder>              the demo databases in <folder> (created when missing)
//   korvane --demo <folder> --capturas <folder2>
//                                        demo start that also writes pictures of the main window,
//                                        its receive grid, a send's progress window, the
//                                        percentage bar, the list and tree lookup dialogs, the
//                                        position and lot dialog, the lot and series dialog and
//                                        the voucher search into <folder2>, then ends
#include "main_window/frm_korvane01.h"
#include "sender/frm_status.h"
#include "main_window/reportes.h"
#include "core/barra_progreso.h"
#include "core/consultas_iface.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lookup/lib_cls_cons3.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lib_frm_cons3_tree.h"
#include "lots/frm_carga_lotes_y_series.h"
#include "lots/frm_lotey_posicion.h"
#include "platform/ado/ado.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/error_box.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "vouchers/frm_cons_comprobantes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

void Usage() {
    std::fprintf(stderr,
                 "uso: korvane \"@Server=<servidor>;@DbName=<base>;@Usuario=<usuario>;@Password=<clave>;\"\n"
                 "     korvane --demo <carpeta> [--capturas <carpeta>]\n");
}

// The demo databases in the folder; with siFalta only when they are not there yet.
bool CreaDemo(const QString& carpeta, bool siFalta) {
    if (siFalta && QFileInfo::exists(QDir(carpeta).filePath(db::kHeadOfficeName + QStringLiteral(".sqlite"))) &&
        QFileInfo::exists(QDir(carpeta).filePath(db::kInterfaceName + QStringLiteral(".sqlite"))))
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

bool Guarda(QWidget* w, const QString& carpeta, const QString& nombre) {
    QCoreApplication::processEvents();
    const QString ruta = QDir(carpeta).filePath(nombre);
    const bool ok = w->grab().save(ruta);
    std::fprintf(stderr, "%s %s\n", ok ? "captura" : "no se pudo guardar", qPrintable(ruta));
    return ok;
}

// Runs `consulta`, which opens a lookup dialog of type D, and takes the dialog's picture as soon
// as it shows; then cancels it. Any other modal window met meanwhile is closed and counted as a
// failure, so that a picture run never waits for an operator.
template <class D>
bool CapturaConsulta(const QString& carpeta, const QString& nombre, const std::function<void()>& consulta,
                     const std::function<void(D*)>& prepara = {}) {
    bool guardada = false;
    bool extrana = false;
    int vueltas = 0;
    QTimer vigia;
    vigia.setInterval(50);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<D*>(modal); d && d->isVisible()) {
            vigia.stop();
            if (prepara) prepara(d);
            guardada = Guarda(d, carpeta, nombre);
            d->CmdCancelar_Click();
            return;
        }
        if (modal) {
            std::fprintf(stderr, "ventana inesperada durante la captura de %s: %s\n", qPrintable(nombre),
                         qPrintable(modal->windowTitle()));
            extrana = true;
            modal->close();
        } else if (++vueltas > 200) {   // ten seconds without the dialog
            vigia.stop();
        }
    });
    vigia.start();
    consulta();
    vigia.stop();
    if (!guardada) std::fprintf(stderr, "no se mostró el diálogo de %s\n", qPrintable(nombre));
    return guardada && !extrana;
}

// Whether a table or view of the head-office database has the column.
// Pictures of the article list lookup and of the families tree lookup, as the main window's
// lookups open them. Every box they might show is answered by a script that expects none.
bool CapturasConsultas(const QString& carpeta) {
    ui::ScriptedPrompter sinCajas;
    core::ConsultasIface& consultas = core::gConsultas();
    QString campo;
    bool ok = CapturaConsulta<lookup::Lib_FrmCons3>(carpeta, QStringLiteral("lookup-list.png"), [&] {
        consultas.CampoDevuelto = QStringLiteral("IDARTICULO");
        consultas.ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), nullptr, QString(), campo, QString(), QString(),
                                 false);
    });
    campo.clear();
    ok = CapturaConsulta<lookup::Lib_FrmCons3Tree>(
             carpeta, QStringLiteral("lookup-tree.png"),
             [&] {
                 consultas.CampoDevuelto = QStringLiteral("IDFAMILIA");
                 consultas.ConsultaSearch(QStringLiteral("V_TA_FAMILIAS"), nullptr, QString(), campo, QString(),
                                          QString(), true);
             },
             [](lookup::Lib_FrmCons3Tree* d) { d->arbol()->expandAll(); }) &&
         ok;
    for (const auto& caja : sinCajas.shown())
        std::fprintf(stderr, "caja inesperada durante las capturas de consultas: %s\n", qPrintable(caja.prompt));
    return ok && sinCajas.shown().empty();
}

// The position and lot dialog, fresh, as the voucher engine opens it for 60 units of sugar taken
// from the centre deposit.
bool CapturaLotePosicion(const QString& carpeta) {
    ui::ScriptedPrompter sinCajas;
    posting::ClsCmnCptes cpte;
    QString posiciones, lotes;
    const bool ok = CapturaConsulta<lots::FrmLoteyPosicion>(carpeta, QStringLiteral("lote-posicion.png"), [&] {
        cpte.PidePosicionLote(QStringLiteral("000123"), QStringLiteral("UN"), 60, QStringLiteral("A001"), QString(),
                              QString(), posiciones, lotes, true, true);
    });
    for (const auto& caja : sinCajas.shown())
        std::fprintf(stderr, "caja inesperada durante la captura de lotes: %s\n", qPrintable(caja.prompt));
    return ok && sinCajas.shown().empty();
}

// The lot and series dialog as the voucher engine opens it for the espresso machines of the centre
// deposit: two going out (query), and three coming in whose serials were partly given before (entry).
bool CapturasLotesySeries(const QString& carpeta) {
    ui::ScriptedPrompter sinCajas;
    posting::ClsCmnCptes cpte;
    const QString articulo = QStringLiteral("000950");
    ui::FlexGrid grilla;   // a voucher without other lines of the article
    grilla.SetCols(posting::art::kColumnas);
    grilla.SetRows(1);
    double cantidad = 2;
    QString deposito, lotes, series;
    bool ok = CapturaConsulta<lots::FrmCargaLotesySeries>(carpeta, QStringLiteral("lotes-series-consulta.png"), [&] {
        cpte.PideSerieLote_Salidas(grilla, articulo, QStringLiteral("Máquina de espresso 15 bar"), cantidad, QString(),
                                   QString(), lotes, series, true, true, false, &deposito, true);
    });
    ok = CapturaConsulta<lots::FrmCargaLotesySeries>(carpeta, QStringLiteral("lotes-series-carga.png"), [&] {
             cpte.PideSerieLote(articulo, 3, QStringLiteral("|CF-0004|CF-0005|"), QString(), series, lotes, true);
         }) &&
         ok;
    for (const auto& caja : sinCajas.shown())
        std::fprintf(stderr, "caja inesperada durante la captura de lotes y series: %s\n", qPrintable(caja.prompt));
    return ok && sinCajas.shown().empty();
}

// The wait window half way through a receive of the demo day, on the copy of the demo databases:
// Yes to the question, OK to the closing box.
bool CapturaRecepcion(main_window::FrmKorvane01& w, const QString& carpeta) {
    bool guardada = false;
    vb::SetDoEventsHook([&] {
        QCoreApplication::processEvents();
        utillib::VentanaEspera& espera = core::gVentanaEspera();
        if (!guardada && espera.Visible() && espera.Linea(1).startsWith(QStringLiteral("Registros leidos 5 de")))
            guardada = Guarda(espera.ventana(), carpeta, QStringLiteral("receive-waiting.png"));
    });
    w.txtfields[1]->setText(QStringLiteral("05/03/2008"));
    ui::ScriptedPrompter guion;
    guion.answer(6, QStringLiteral("Confirma la recepcion de informacion???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado"));
    w.CmdRecibir_Click();
    vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });
    if (!guardada) std::fprintf(stderr, "no se mostró la ventana de espera de la recepción\n");
    return guardada && guion.exhausted();
}

// The voucher search as a voucher window opens it for the pending delivery notes.
bool CapturaConsultaComprobantes(const QString& carpeta) {
    ui::ScriptedPrompter sinCajas;
    posting::ClsCmnCptes cpte;
    QString respuesta;
    const bool ok = CapturaConsulta<vouchers::FrmConsComprobantes>(carpeta, QStringLiteral("consulta-comprobantes.png"), [&] {
        cpte.ConsultaComprobante(QStringLiteral("RM/PENDIENTES"), respuesta);
    });
    for (const auto& caja : sinCajas.shown())
        std::fprintf(stderr, "caja inesperada durante la captura de comprobantes: %s\n", qPrintable(caja.prompt));
    return ok && sinCajas.shown().empty();
}

// Pictures of the main window and of a send in progress. The send runs on a copy of the demo
// databases, answered by a script: Yes to the question, OK to the closing box.
int Capturas(main_window::FrmKorvane01& w, const QString& carpeta) {
    QDir().mkpath(carpeta);
    w.show();
    w.txtfields[0]->setFocus();
    QCoreApplication::processEvents();
    bool ok = Guarda(&w, carpeta, QStringLiteral("main-window.png"));
    // The receive grid as the set-up leaves it, the window widened to show its first columns.
    const QSize tamano = w.size();
    w.resize(1180, tamano.height());
    ok = Guarda(w.MSFlexGrid1View, carpeta, QStringLiteral("grid-articulos.png")) && ok;
    w.resize(tamano);

    // The step-progress window half way, as the operator sees it: its last state is never shown,
    // the window closes as the send ends.
    sender::SetObservadorEstado([&](const QString& paso, int estado) {
        sender::FrmStatus& f = sender::frmStatus();
        if (paso == QStringLiteral("Copiar IMPONOVPROV") && estado == 2) {
            f.move(w.geometry().topRight() + QPoint(20, 0));
            ok = Guarda(&f, carpeta, QStringLiteral("status-running.png")) && ok;
        }
    });
    ui::ScriptedPrompter guion;
    guion.answer(6, QStringLiteral("seguro de continuar"));
    guion.answer(1, QStringLiteral("Proceso Finalizado"));
    w.CmdEnviar_Click();
    sender::SetObservadorEstado(nullptr);
    ok = Guarda(&w, carpeta, QStringLiteral("main-after-send.png")) && ok;
    ok = CapturasConsultas(carpeta) && ok;
    ok = CapturaLotePosicion(carpeta) && ok;
    ok = CapturasLotesySeries(carpeta) && ok;
    ok = CapturaRecepcion(w, carpeta) && ok;
    ok = CapturaConsultaComprobantes(carpeta) && ok;
    for (const int porcentaje : {0, 50, 100}) {   // the percentage bar empty, half and full
        QImage barra(240, 24, QImage::Format_RGB32);
        core::DibujaBarraProgreso(barra, vb::Variant(static_cast<double>(porcentaje)), 0xFF0000, QString());
        ok = barra.save(QDir(carpeta).filePath(QStringLiteral("progress-%1.png").arg(porcentaje))) && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // An error that escapes an event handler is shown and logged, and the program goes on.
    ui::GuardedApplication app(argc, argv);
    ui::GuardedApplication::SetTreatment(utillib::AvisaErrorSinTratar);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });

    const QStringList args = QCoreApplication::arguments().mid(1);
    QString parametros;
    QString capturas;
    if (!args.isEmpty() && args[0] == QStringLiteral("--demo")) {
        if (args.size() < 2) {
            Usage();
            return 2;
        }
        const QString carpeta = QFileInfo(args[1]).absoluteFilePath();
        if (args.size() >= 4 && args[2] == QStringLiteral("--capturas")) {
            capturas = QFileInfo(args[3]).absoluteFilePath();
            QDir().mkpath(capturas);
            qputenv("TEMP", QFile::encodeName(capturas));   // no saved fields of the operator's own
        }
        if (!CreaDemo(carpeta, /*siFalta=*/true)) return 1;
        parametros = QStringLiteral("@Server=") + carpeta + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;");
        if (!capturas.isEmpty()) {
            // The send of the pictures writes into a copy of the demo databases, named from the
            // picture folder ("./demo") so that no picture shows where that folder happens to be.
            const QString copia = QDir(capturas).filePath(QStringLiteral("demo"));
            QDir(copia).removeRecursively();
            if (!CreaDemo(copia, /*siFalta=*/false)) return 1;
            QDir::setCurrent(capturas);
            parametros = QStringLiteral("@Server=./demo;@DbName=VOLMA;@Usuario=sa;@Password=;");
        }
    } else if (args.size() == 1) {
        parametros = args[0];
    } else if (args.size() > 1) {
        parametros = args.join(u' ');
    }
    core::SetLineaComando(parametros);

    ui::QtPrompter prompter;
    ui::SetPrompter(&prompter);
    lookup::InstallLookupBuilder();
    main_window::InstalaImpresoraReportes();

    auto ventana = std::make_unique<main_window::FrmKorvane01>();
    if (!ventana->Form_Load()) return 1;   // no head-office connection: the program ends here
    if (!capturas.isEmpty()) {
        const QString demo = QDir(capturas).filePath(QStringLiteral("demo"));
        const int rc = Capturas(*ventana, capturas);
        main_window::FrmKorvane01::SetFinPrograma([] {});
        ventana->hide();
        sender::DestroyFrmStatus();
        QDir(demo).removeRecursively();
        return rc;
    }
    ventana->show();
    const int rc = QApplication::exec();
    sender::DestroyFrmStatus();
    ui::SetPrompter(nullptr);
    return rc;
}
