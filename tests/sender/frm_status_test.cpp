#include "sender/frm_status.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

class FrmStatusTest : public ::testing::Test {
protected:
    void TearDown() override { sender::DestroyFrmStatus(); }
};

TEST_F(FrmStatusTest, RowsStartWaitingAndFollowTheStates) {
    auto& f = sender::frmStatus();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Procesando ..."));
    f.pCanPasos = 8;
    for (const char* s : {"A", "B", "C", "D", "E"}) f.AgregarPaso(QString::fromUtf8(s));
    ASSERT_EQ(f.rowCount(), 5);
    EXPECT_EQ(f.rowStep(0), QStringLiteral("A"));
    EXPECT_EQ(f.rowState(0), QStringLiteral("En Espera"));
    EXPECT_EQ(f.rowIcon(0), 1);

    struct Case { const char* step; int16_t status; const char* text; };
    const Case cases[] = {{"A", 2, "En Ejecución"}, {"B", 3, "Inactivo"}, {"C", 4, "Finalizado"},
                          {"D", 5, "Error"}, {"E", 1, "En Espera"}};
    for (const auto& c : cases) {
        f.StatusPaso(QString::fromUtf8(c.step), c.status, 0);
        const int row = c.step[0] - 'A';
        EXPECT_EQ(f.rowState(row), QString::fromUtf8(c.text)) << c.step;
        EXPECT_EQ(f.rowIcon(row), c.status) << c.step;
    }
    // The bar shows the position of the finished row: C is row 3 of 8.
    EXPECT_DOUBLE_EQ(f.barPercent(), 37.5);
}

TEST_F(FrmStatusTest, BarAdvancesByRowPositionAndAnErrorLeavesIt) {
    auto& f = sender::frmStatus();
    f.pCanPasos = 8;
    for (int i = 1; i <= 8; ++i) f.AgregarPaso(QStringLiteral("P%1").arg(i));
    for (int i = 1; i <= 7; ++i) {
        f.StatusPaso(QStringLiteral("P%1").arg(i), 4, 0);
        EXPECT_DOUBLE_EQ(f.barPercent(), i * 12.5);
    }
    f.StatusPaso(QStringLiteral("P8"), 5, 0);
    EXPECT_DOUBLE_EQ(f.barPercent(), 87.5);
    f.StatusPaso(QStringLiteral("P8"), 4, 0);
    EXPECT_DOUBLE_EQ(f.barPercent(), 100.0);
}

TEST_F(FrmStatusTest, UnknownTextAndOddStatusChangeNothingButTheIcon) {
    auto& f = sender::frmStatus();
    f.AgregarPaso(QStringLiteral("Vaciar Tablas"));
    f.StatusPaso(QStringLiteral("vaciar tablas"), 4, 0);   // exact comparison
    EXPECT_EQ(f.rowState(0), QStringLiteral("En Espera"));
    EXPECT_EQ(f.rowIcon(0), 1);
    EXPECT_DOUBLE_EQ(f.barPercent(), 0.0);
    f.StatusPaso(QStringLiteral("Vaciar Tablas"), 7, 0);
    EXPECT_EQ(f.rowState(0), QStringLiteral("En Espera"));
    EXPECT_EQ(f.rowIcon(0), 7);
}

TEST_F(FrmStatusTest, ZeroStepCountCountsAsOne) {
    auto& f = sender::frmStatus();
    f.pCanPasos = 0;
    f.AgregarPaso(QStringLiteral("Uno"));
    f.StatusPaso(QStringLiteral("Uno"), 4, 0);
    EXPECT_EQ(f.pCanPasos, 1);
    EXPECT_DOUBLE_EQ(f.barPercent(), 100.0);
}

TEST_F(FrmStatusTest, ARunOnAWindowLeftOpenClearsTheEarlierRows) {
    auto& f = sender::frmStatus();
    f.AgregarPaso(QStringLiteral("Vaciar Tablas"));
    f.AgregarPaso(QStringLiteral("Copiar OFERTAS"));
    f.StatusPaso(QStringLiteral("Vaciar Tablas"), 5, 0);
    f.AgregarPaso(QStringLiteral("Vaciar Tablas"));   // the same text starts the list again
    ASSERT_EQ(f.rowCount(), 1);
    EXPECT_EQ(f.rowState(0), QStringLiteral("En Espera"));
}

TEST_F(FrmStatusTest, UnloadThenUseLoadsAnEmptyList) {
    auto* first = &sender::frmStatus();
    first->AgregarPaso(QStringLiteral("X"));
    sender::UnloadFrmStatus();
    EXPECT_FALSE(sender::FrmStatusLoaded());
    ASSERT_NE(sender::FrmStatusInstance(), nullptr);
    EXPECT_EQ(sender::FrmStatusInstance()->rowCount(), 1);   // still readable after the run
    EXPECT_EQ(sender::frmStatus().rowCount(), 0);
}

TEST_F(FrmStatusTest, RowBeyond327OverflowsOnFinish) {
    auto& f = sender::frmStatus();
    f.pCanPasos = 400;
    for (int i = 1; i <= 328; ++i) f.AgregarPaso(QString::number(i));
    f.StatusPaso(QStringLiteral("327"), 4, 0);
    try {
        f.StatusPaso(QStringLiteral("328"), 4, 0);
        FAIL() << "no overflow";
    } catch (const vb::Error& e) {
        EXPECT_EQ(e.number(), vb::kErrOverflow);
    }
}

}  // namespace
