// A send while another station holds the stores' interface database: it waits for that station's
// transaction, or its box says what was held, nothing of it stays, and Reintentar sends it again.
#include "main_window/main_window_fixture.h"

#include "main_window/frm_korvane01.h"

#include "platform/ado/sqlite_files.h"
#include "platform/vb/dates.h"

namespace {

// A script that lets the other station end once the first box is shown, before it is answered.
class ReleasingPrompter : public ui::ScriptedPrompter {
public:
    explicit ReleasingPrompter(std::function<void()> onBox) : onBox_(std::move(onBox)) {}
    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        if (onBox_) std::exchange(onBox_, nullptr)();
        return ScriptedPrompter::msgBox(prompt, buttons, title);
    }

private:
    std::function<void()> onBox_;
};

class HeldInterfaceSendTest : public mainwindowtest::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        Arranca();
        if (HasFatalFailure()) return;
        // The other station's send, in the middle of emptying the tables.
        other = ado::Connection::Create();
        other->Open(db::ConnectionText(bases, db::kInterfaceName));
        other->BeginTrans();
        other->Execute("DELETE FROM IMPOPROV");
    }
    static sender::Transmision Numero(const QString& numero) { return {numero, vb::Today().toQDate()}; }
    long Transmisiones() { return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 41")); }
    ado::ConnectionPtr other;
};

TEST_F(HeldInterfaceSendTest, TheSendWaitsForTheOtherStationsTransaction) {
    int waits = 0;
    ado::sqlite::LockWaitForTesting wait(std::chrono::minutes(10), [&] {
        if (waits++ == 0) other->CommitTrans();
    });
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("Proceso Finalizado..."));
    EXPECT_TRUE(sender::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("41"))));
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(Transmisiones(), 1);
}

// Its box says which database is held, with Reintentar and Anular: Anular leaves nothing of the
// send; Reintentar, once the other station has ended, sends it whole.
TEST_F(HeldInterfaceSendTest, ASendThatGaveUpWaitingAsksOnceAnularLeavesNothingAndReintentarSends) {
    ado::sqlite::LockWaitForTesting wait(std::chrono::milliseconds(20));
    const long arts = Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI"));
    const QString tomada = QStringLiteral("La base de interfaz de las sucursales (korvane_interfases) está tomada por el envío o la "
                                          "recepción de otra estación");
    {
        ui::ScriptedPrompter guion;
        guion.answer(vb::kAbort, tomada);
        EXPECT_FALSE(sender::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("41"))));
        EXPECT_TRUE(guion.exhausted());
        ASSERT_EQ(guion.shown().size(), 1u);
        EXPECT_EQ(guion.shown()[0].buttons, ui::vbRetryAbort + ui::vbExclamation);
        EXPECT_EQ(Transmisiones(), 0);
        EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), arts);
    }
    {
        ReleasingPrompter guion([&] { other->RollbackTrans(); });
        guion.answer(vb::kRetry, tomada);
        guion.answer(1, QStringLiteral("Proceso Finalizado..."));
        EXPECT_TRUE(sender::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("41"))));
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(guion.shown().size(), 2u);
    }
    EXPECT_EQ(Transmisiones(), 1);
    EXPECT_GT(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), 0);
}

}  // namespace
