// The receive as the operator runs it: the real main window, offscreen, on a copy of the demo.
#include "receiver/receiver_fixture.h"

#include "main_window/frm_korvane01.h"
#include "main_window/ventana_principal.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/dates.h"
#include "platform/vb/on_error.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

using receivertest::kDiaDemo;
using receivertest::ReceiverFixture;

class RecibirTest : public ReceiverFixture {
protected:
    void SetUp() override {
        ReceiverFixture::SetUp();
        if (HasFatalFailure()) return;
        main_window::FrmKorvane01::SetFinPrograma([] {});
        mainwindowtest::AbreVentana(w);
    }
    void TearDown() override {
        vb::SetDoEventsHook(nullptr);
        w.reset();
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        ReceiverFixture::TearDown();
    }
    std::unique_ptr<main_window::FrmKorvane01> w;
};

TEST_F(RecibirTest, RecibirOnTheDemoDayPostsTheDemosVouchersOnce) {
    w->txtfields[1]->setText(kDiaDemo);
    // What the wait window shows while the rows are read.
    QStringList progreso;
    vb::SetDoEventsHook([&] {
        utillib::VentanaEspera& espera = core::gVentanaEspera();
        if (espera.Visible() && espera.Linea(1).startsWith(QStringLiteral("Registros leidos")))
            progreso << espera.Linea(1) + u'|' + espera.Linea(2) + u'|' + espera.Linea(3);
        QCoreApplication::processEvents();
    });
    const QString stock = QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE'");
    for (int vez = 0; vez < 2; ++vez) {
        ui::ScriptedPrompter guion;
        guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
        guion.answer(1, QStringLiteral("Proceso Finalizado"));
        QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
        EXPECT_TRUE(guion.exhausted());
        // The first receive posts the day; the second finds it posted and changes nothing.
        EXPECT_EQ(Count(Principal(), stock), 9);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(DISTINCT [Numero Asiento]) FROM MV_ASIENTOS WHERE Tipo_Reg = 'STK'")), 4);
        EXPECT_EQ(Log().size(), vez == 0 ? 1 : 10);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_MEMOS")), vez + 1);
    }
    ASSERT_GE(progreso.size(), 10);
    EXPECT_EQ(progreso[0], QStringLiteral("Registros leidos 0 de 10|Articulo:789||"));
    EXPECT_FALSE(core::gVentanaEspera().Visible());
    EXPECT_TRUE(w->txtfields[0]->isEnabled());   // the fields as the receive found them
    EXPECT_FALSE(w->txtfields[1]->isEnabled());
}

// The wait window through a receive: the run tells it every row and yields between rows, the
// window draws the latest row once the pace has gone by, and nothing per row in between. The test's
// clock stands still but once, at the yield before the sixth row, when it moves on one pace.
TEST_F(RecibirTest, TheWaitWindowShowsTheLatestRowAndDrawsNoneInBetween) {
    w->txtfields[1]->setText(kDiaDemo);
    const QDateTime inicio(QDate(2008, 3, 5), QTime(14, 7));
    qint64 ms = 0;
    vb::SetClock([&] { return inicio.addMSecs(ms); });
    const QString quinta = QStringLiteral("Registros leidos 5 de 10");
    struct Vez {
        QString dicha, dibujada;   // line 1 as last told, and the three lines as the window shows them
    };
    std::vector<Vez> veces;
    QStringList dibujadaAlMover;
    vb::SetDoEventsHook([&] {
        utillib::VentanaEspera& espera = core::gVentanaEspera();
        if (!espera.Visible()) return;
        veces.push_back({espera.Linea(1), espera.Dibujada(1) + u'|' + espera.Dibujada(2) + u'|' + espera.Dibujada(3)});
        if (espera.Linea(1) == quinta && dibujadaAlMover.isEmpty()) {
            ms += utillib::VentanaEspera::kPasoMs;   // the window draws when this yield is over
            dibujadaAlMover << espera.Linea(1) << espera.Linea(2) << espera.Linea(3);
        }
        QCoreApplication::processEvents();
    });
    ui::ScriptedPrompter guion;
    guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado"));
    QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
    vb::SetClock({});
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE'")), 9);

    ASSERT_EQ(dibujadaAlMover.size(), 3);
    size_t movida = 0;
    while (movida < veces.size() && veces[movida].dicha != quinta) ++movida;
    ASSERT_LT(movida + 1, veces.size());
    // Before: the rows were told, the window still shows the text it was shown with.
    QStringList dichas;
    for (size_t i = 0; i < movida; ++i) {
        dichas << veces[i].dicha;
        EXPECT_EQ(veces[i].dibujada, QStringLiteral("Validando Información||")) << i;
    }
    EXPECT_TRUE(dichas.contains(QStringLiteral("Registros leidos 4 de 10")));
    // After: the window shows the row that was the latest when the pace went by, and goes on
    // showing it while the clock stands still, though the run tells it later rows and its postings.
    const utillib::VentanaEspera& espera = core::gVentanaEspera();
    for (size_t i = movida + 1; i < veces.size(); ++i) EXPECT_EQ(veces[i].dibujada, dibujadaAlMover.join(u'|')) << i;
    EXPECT_NE(veces.back().dicha, quinta);
    EXPECT_FALSE(espera.Visible());
}

}  // namespace

namespace {

// The window's VAT rate, for the articles without one of their own, is read at each reset of the
// window. One not read there is read again by the receive; when it cannot be read then either,
// the receive stops before any voucher, and no article is posted on a rate that was not read.
TEST_F(RecibirTest, AVatRateNotReadIsReadAgainByTheReceiveOrStopsItBeforeAnyVoucher) {
    Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET TASAIVA = 0 WHERE IDARTICULO = '000123'\n"
                                     "UPDATE TA_CONFIGURACION SET VALOR = '10' WHERE CLAVE = 'PIVA'"));
    const auto rechazaIVA = [] {
        Principal().setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
            [](const QString& sql) { return sql.contains(QLatin1String("'PIVA'")); }, 1,
            testsupport::Rechaza(QStringLiteral("PIVA rechazada"))));
    };
    const QString azucar = QStringLiteral("SELECT DISTINCT IVARI FROM V_MV_STOCK WHERE IdArticulo = '000123' AND TC = 'TK'");
    const auto omite = [](ui::ScriptedPrompter& guion) {   // the query's box, then the settings reader's
        guion.answer(vb::kIgnore, QStringLiteral("PIVA rechazada"));
        guion.answer(vb::kIgnore, QStringLiteral("Ha ocurrido el Siguiente Error"));
    };
    for (const bool releida : {false, true}) {
        SCOPED_TRACE(releida);
        rechazaIVA();
        {
            ui::ScriptedPrompter guion;
            omite(guion);
            w->InicializaPantalla();
            EXPECT_TRUE(guion.exhausted());
        }
        EXPECT_FALSE(w->PorcentajeIVA.has_value());
        if (!releida) rechazaIVA();
        w->txtfields[1]->setText(kDiaDemo);
        ui::ScriptedPrompter guion;
        guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
        if (!releida) {
            omite(guion);
            guion.answer(1, QStringLiteral("No se leyó el porcentaje de IVA (PIVA): no se recibió ningún comprobante."));
        }
        guion.answer(1, QStringLiteral("Proceso Finalizado"));
        QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
        Principal().setConnectionCalls(nullptr);
        EXPECT_TRUE(guion.exhausted());
        if (!releida) {
            EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008'")), 0);
            continue;
        }
        EXPECT_EQ(w->PorcentajeIVA, std::optional<double>(10));
        EXPECT_EQ(Filas(Principal(), azucar), QStringList{QStringLiteral("10")});
    }
}

}  // namespace
