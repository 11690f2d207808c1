#include "arranque/capturas.h"

#include "core/barra_progreso.h"
#include "core/consultas_iface.h"
#include "core/mod_global.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lib_frm_cons3_tree.h"
#include "lots/frm_carga_lotes_y_series.h"
#include "lots/frm_lotey_posicion.h"
#include "main_window/frm_korvane01.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/variant.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "sender/frm_status.h"
#include "vouchers/frm_cons_comprobantes.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

namespace arranque {

namespace {

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

}  // namespace

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

}  // namespace arranque
