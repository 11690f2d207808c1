// The receive as the operator runs it: the real main window, offscreen, on a copy of the demo.
#include "receiver/receiver_fixture.h"

#include "console/frm_korvane01.h"
#include "platform/utillib/ventana_espera.h"
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
        console::FrmKorvane01::SetFinPrograma([] {});
        w = std::make_unique<console::FrmKorvane01>();
        ASSERT_TRUE(w->Form_Load());
        w->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        vb::SetDoEventsHook(nullptr);
        w.reset();
        console::FrmKorvane01::SetFinPrograma(nullptr);
        ReceiverFixture::TearDown();
    }
    std::unique_ptr<console::FrmKorvane01> w;
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

}  // namespace
