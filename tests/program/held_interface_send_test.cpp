// A send while another station holds the stores' interface database: it waits for that station's
// transaction, or its box says what was held and nothing of it stays.
#include "console/console_fixture.h"

#include "console/frm_korvane01.h"

#include "platform/ado/sqlite_files.h"
#include "platform/vb/dates.h"

namespace {

class HeldInterfaceSendTest : public consoletest::ConsoleFixture {
protected:
    void SetUp() override {
        ConsoleFixture::SetUp();
        if (HasFatalFailure()) return;
        Arranca();
        if (HasFatalFailure()) return;
        // The other station's send, in the middle of emptying the tables.
        other = ado::Connection::Create();
        other->Open(db::ConnectionText(bases, db::kInterfaceName));
        other->BeginTrans();
        other->Execute("DELETE FROM IMPOPROV");
    }
    static console::Transmision Numero(const QString& numero) { return {numero, vb::Today().toQDate()}; }
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
    EXPECT_TRUE(console::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("41"))));
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(Transmisiones(), 1);
}

TEST_F(HeldInterfaceSendTest, ASendThatGaveUpWaitingSaysTheInterfaceIsHeldAndLeavesNothing) {
    ado::sqlite::LockWaitForTesting wait(std::chrono::milliseconds(20));
    const long arts = Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI"));
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("\r\n\r\nVaciar Tablas: La base de interfaz de las sucursales (korvane_interfases) está tomada por el envío o la "
                                   "recepción de otra estación"));
    EXPECT_FALSE(console::ArmaYEjecutaPaqueteDTS(0, Numero(QStringLiteral("41"))));
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(Transmisiones(), 0);
    other->RollbackTrans();
    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), arts);
}

}  // namespace
