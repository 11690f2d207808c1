#include "platform/utillib/dialogo_comun.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/ventana_espera.h"

#include <QApplication>
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
