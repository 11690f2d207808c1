#include "platform/utillib/dialogo_comun.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(DialogoComun, PreparedChoicesAnswerWithoutAWindow) {
    utillib::DialogoComun dlg;
    dlg.TituloDialogo = QStringLiteral("Buscar Base de Datos");
    dlg.PreparaEleccion(QStringLiteral("/datos/erp.mdb"));
    dlg.PreparaEleccion(std::nullopt);
    dlg.AbreDialogo();
    EXPECT_FALSE(dlg.DialogoCancelado());
    EXPECT_EQ(dlg.ArchivoElegido(), QStringLiteral("/datos/erp.mdb"));
    dlg.AbreDialogo();
    EXPECT_TRUE(dlg.DialogoCancelado());
    EXPECT_EQ(dlg.ArchivoElegido(), QString());
    EXPECT_EQ(dlg.eleccionesPendientes(), 0);
}

TEST(DialogoComun, FiltersOfTheProgramBecomeQtFilters) {
    EXPECT_EQ(utillib::DialogoComun::FiltroQt(QStringLiteral("Base de Datos de Microsoft Access |*.MDB")),
              QStringLiteral("Base de Datos de Microsoft Access (*.MDB *.mdb)"));
    EXPECT_EQ(utillib::DialogoComun::FiltroQt(QStringLiteral("Textos|*.txt|Todos|*.*")),
              QStringLiteral("Textos (*.txt);;Todos (*.*)"));
}

TEST(VentanaEspera, ShowsUpdatesAndHides) {
    utillib::VentanaEspera espera;
    EXPECT_FALSE(espera.Visible());
    espera.MuestraEspera(QStringLiteral("Grabando Stock...."), 0);
    EXPECT_TRUE(espera.Visible());
    EXPECT_EQ(espera.Linea(1), QStringLiteral("Grabando Stock...."));
    EXPECT_EQ(espera.Linea(2), QString());
    espera.ActualizaEspera(0, QStringLiteral("Registros leidos 1 de 3"), QStringLiteral("Articulo:A1"),
                           QStringLiteral("||"));
    EXPECT_EQ(espera.Linea(1), QStringLiteral("Registros leidos 1 de 3"));
    EXPECT_EQ(espera.Linea(3), QStringLiteral("||"));
    espera.OcultaEspera();
    EXPECT_FALSE(espera.Visible());
}

// Counts the paintings of a widget.
class Pinturas : public QObject {
public:
    explicit Pinturas(QObject* w) { w->installEventFilter(this); }
    int n = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++n;
        return false;
    }
};

// A run tells the window a text for every row, far quicker than anyone reads: the window draws the
// first at once, the latest when the pace has gone by (at the run's next yield), and nothing per
// row in between; it is told every text all the same. A clock the test moves stands for the time.
TEST(VentanaEspera, DrawsTheLatestRowAtAHumanPace) {
    const QDateTime inicio(QDate(2008, 3, 5), QTime(14, 7));
    qint64 ms = 0;
    vb::SetClock([&] { return inicio.addMSecs(ms); });
    utillib::VentanaEspera espera;
    auto dibujadas = [&] { return espera.Dibujada(1) + u'|' + espera.Dibujada(2) + u'|' + espera.Dibujada(3); };
    espera.MuestraEspera(QStringLiteral("Validando Información"));
    QCoreApplication::processEvents();   // the window on the screen
    Pinturas pinturas(espera.ventana()->findChild<QLabel*>(QStringLiteral("lblLinea1")));
    EXPECT_EQ(dibujadas(), QStringLiteral("Validando Información||"));   // shown: drawn at once

    auto fila = [&](int i) {
        espera.ActualizaEspera(0, QStringLiteral("Registros leidos %1 de 500").arg(i), QStringLiteral("Articulo:A%1").arg(i),
                               QString(i % 50, u'|'));
    };
    const int antes = pinturas.n;
    for (int i = 0; i < 300; ++i) {   // 300 rows in 30 ms, yielding between rows
        fila(i);
        vb::DoEvents();
        if (i % 10 == 9) ++ms;
    }
    EXPECT_EQ(pinturas.n, antes);   // nothing drawn within the pace
    EXPECT_EQ(espera.Linea(1), QStringLiteral("Registros leidos 299 de 500"));
    EXPECT_EQ(dibujadas(), QStringLiteral("Validando Información||"));
    ms += utillib::VentanaEspera::kPasoMs;
    vb::DoEvents();   // the pace has gone by: the next yield draws the latest row
    EXPECT_EQ(dibujadas(), QStringLiteral("Registros leidos 299 de 500|Articulo:A299|") + QString(49, u'|'));
    EXPECT_EQ(pinturas.n, antes + 1);
    vb::DoEvents();   // nothing new told, nothing drawn again
    EXPECT_EQ(pinturas.n, antes + 1);

    // A row told once the pace has gone by is drawn at once (a run that does not yield shows it).
    ms += utillib::VentanaEspera::kPasoMs;
    fila(300);
    EXPECT_EQ(espera.Dibujada(1), QStringLiteral("Registros leidos 300 de 500"));
    EXPECT_EQ(pinturas.n, antes + 2);

    // Hidden and shown again within the pace (a voucher posted between two rows): the window
    // stands, and what the run tells it next waits for the pace.
    espera.OcultaEspera();
    EXPECT_FALSE(espera.Visible());
    espera.MuestraEspera(QStringLiteral("Guardando datos"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(espera.Visible());
    EXPECT_EQ(espera.Dibujada(1), QStringLiteral("Registros leidos 300 de 500"));
    EXPECT_EQ(espera.Linea(1), QStringLiteral("Guardando datos"));
    // Hidden for good: it leaves the screen once the pace has gone by, and shows at once what it
    // is told next.
    espera.OcultaEspera();
    QCoreApplication::processEvents();
    EXPECT_TRUE(espera.ventana()->isVisible());
    EXPECT_FALSE(espera.Visible());
    ms += utillib::VentanaEspera::kPasoMs;
    vb::DoEvents();
    EXPECT_FALSE(espera.ventana()->isVisible());
    fila(301);
    EXPECT_TRUE(espera.Visible());
    EXPECT_EQ(espera.Dibujada(1), QStringLiteral("Registros leidos 301 de 500"));
    espera.OcultaEspera();
    vb::SetClock({});
}

class Campos : public ::testing::Test {
protected:
    void SetUp() override {
        auto* capa = new QVBoxLayout(&ventana_);
        for (int i = 0; i < 3; ++i) {
            auto* t = new QLineEdit(&ventana_);
            t->setObjectName(QStringLiteral("txtfields"));
            t->setProperty("Index", i);
            t->setProperty("DataField", i == 0   ? QStringLiteral("Codigo")
                                        : i == 1 ? QStringLiteral("Fecha")
                                                 : QStringLiteral("IdLista"));
            capa->addWidget(t);
            txtfields_.push_back(t);
        }
        ventana_.show();
        QApplication::setActiveWindow(&ventana_);
    }
    QWidget ventana_;
    QList<QLineEdit*> txtfields_;
};

TEST_F(Campos, IndiceControlFindsTheFieldByItsDataField) {
    utillib::UtilControles uc;
    EXPECT_EQ(uc.IndiceControl(QStringLiteral("fecha"), txtfields_), 1);
    int indice = 99;
    EXPECT_EQ(uc.IndiceControl(QStringLiteral("IDLISTA"), txtfields_, &indice), 2);
    EXPECT_EQ(indice, 2);
    EXPECT_EQ(uc.IndiceControl(QStringLiteral("Nada"), txtfields_), -1);
}

TEST_F(Campos, ConfirmingKeysMoveTheFocus) {
    utillib::UtilControles uc;
    EXPECT_TRUE(uc.EsTeclaConfirmacion(utillib::UtilControles::KeyCodeFromQt(Qt::Key_Return)));
    EXPECT_TRUE(uc.EsTeclaConfirmacion(27));
    EXPECT_FALSE(uc.EsTeclaConfirmacion(utillib::UtilControles::KeyCodeFromQt(Qt::Key_A)));

    txtfields_[0]->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), txtfields_[0]);
    uc.AvanzaCampo(13);
    EXPECT_EQ(QApplication::focusWidget(), txtfields_[1]);
    txtfields_[2]->setEnabled(false);
    uc.AvanzaCampo(40);
    EXPECT_EQ(QApplication::focusWidget(), txtfields_[0]);
    uc.AvanzaCampo(38);
    EXPECT_EQ(QApplication::focusWidget(), txtfields_[1]);
}

TEST_F(Campos, TheApostropheIsRefused) {
    utillib::UtilControles uc;
    int tecla = '\'';
    uc.FiltraTecla(txtfields_[0], tecla);
    EXPECT_EQ(tecla, 0);
    tecla = '7';
    uc.FiltraTecla(txtfields_[0], tecla);
    EXPECT_EQ(tecla, '7');
}

TEST(MotorReportes, TheInstalledRendererReceivesTheRequest) {
    utillib::PedidoReporte recibido;
    int llamadas = 0;
    utillib::MotorReportes::SetRenderer([&](const utillib::PedidoReporte& p) {
        recibido = p;
        ++llamadas;
    });
    utillib::MotorReportes motor;
    motor.CarpetaReportes = QStringLiteral("/opt/korvane/");
    motor.ImprimeReporte(QStringLiteral("RP_NovedadesPrecios"), {QString()},
                         QStringLiteral("{mv_novedadesprecios.codigo} =7"), QStringLiteral("DSN=ERP; UID=sa; PWD=x"),
                         QStringLiteral("Empresa = 'ACME'"));
    utillib::MotorReportes::SetRenderer({});
    motor.ImprimeReporte(QStringLiteral("MA_PRE3"), {}, QString(), QString());
    ASSERT_EQ(llamadas, 1);
    EXPECT_EQ(recibido.carpeta, QStringLiteral("/opt/korvane/"));
    EXPECT_EQ(recibido.reporte, QStringLiteral("RP_NovedadesPrecios"));
    EXPECT_EQ(recibido.formulaSeleccion, QStringLiteral("{mv_novedadesprecios.codigo} =7"));
    ASSERT_EQ(recibido.textos.size(), 5);
    EXPECT_EQ(recibido.textos[0], QStringLiteral("Empresa = 'ACME'"));
    EXPECT_EQ(recibido.otros.size(), 3);
}

}  // namespace
