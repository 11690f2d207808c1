// A send cut short: the sending process killed (SIGKILL, as a power cut or the task manager ends
// it) at each point of its way, and a send whose copy fails on a bad row. Afterwards the
// interface tables hold the previous send or the new one, whole, and every price marked as sent
// has the row of the transmission that sent it.
//
// The send runs in a child process (a death test forks it) on the databases of the test's
// folder; the parent holds no connection meanwhile and looks at the databases after the child
// died. The child is killed from inside the send: by the copy's progress notice while a copy
// step runs, by the head-office connection calls (the marking transaction begins, the
// transmission row is inserted) and by the closing box.
#include "console_fixture.h"

#include "console/frm_korvane01.h"
#include "data/connection_calls.h"
#include "platform/vb/dates.h"

#include <csignal>
#include <functional>

namespace {

using consoletest::ConsoleFixture;

const char* const kTablas[] = {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"};
const char* const kVistas[] = {"QET_KORVANE", "QET_KORVANE_BARRAS", "QET_KORVANE_BULTOS", "QET_KORVANE_NOVPROV",
                               "QET_KORVANE_PROV", "QET_KORVANE_OFERTAS"};

[[noreturn]] void Muere() {
    std::raise(SIGKILL);
    std::abort();
}

// The head-office connection calls with a kill at one of them.
class CorteEnPrincipal : public data::ConnectionCalls {
public:
    enum Punto { AlComenzarMarcado, AlRegistrar };
    explicit CorteEnPrincipal(Punto punto) : punto_(punto) {}
    void BeginTrans(ado::Connection& cnn) override {
        if (punto_ == AlComenzarMarcado) Muere();
        cnn.BeginTrans();
    }
    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* affected, long options) override {
        if (punto_ == AlRegistrar && sql.startsWith(QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS"))) Muere();
        return cnn.Execute(sql, affected, options);
    }

private:
    Punto punto_;
};

// Answers every box with OK, and kills at the closing box of a send that went well.
class CorteEnCaja : public ui::Prompter {
public:
    int msgBox(const QString& prompt, int, const QString&) override {
        if (prompt == QStringLiteral("Proceso Finalizado...")) Muere();
        return 1;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
};

// What the stores hold after the send.
enum class Queda { Anterior, Nueva };

struct Corte {
    const char* donde;
    int16_t modo;
    Queda queda;
    bool marcado;   // the prices marked and the transmission recorded
};

class EnvioInterrumpido : public ConsoleFixture {
protected:
    void SetUp() override {
        ConsoleFixture::SetUp();
        if (HasFatalFailure()) return;
        Arranca();
        if (HasFatalFailure()) return;
        // The stores hold a full retransmission; then every A3 price changes.
        {
            ui::ScriptedPrompter guion;
            guion.answer(1, QStringLiteral("Proceso Finalizado..."));
            ASSERT_TRUE(console::ArmaYEjecutaPaqueteDTS(1, {QStringLiteral("40"), Hoy()}));
        }
        Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-M', TRANSMISION = 0, TIPOACT = 'M' "
                                         "WHERE IDLISTA = 'A3'"));
        Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCIONTICKET = 'NUEVO' WHERE IDARTICULO = '000123'"));
        anterior_ = Interfaz();
        pendientes_ = Pendientes();
        ASSERT_GT(pendientes_, 0);
        console::DestroyFrmStatus();
        data::ResetGlobalInstances();   // no connection of this process crosses into the child
    }

    static QString Hoy() { return console::FechaCorta(vb::Today()); }

    long Pendientes() {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE '0-%'"));
    }

    // In the child: the send of transmission 41 in the given mode, with `preparar` arming the kill.
    void Envia(int16_t modo, const std::function<void()>& preparar) {
        Arranca();
        ui::ScriptedPrompter respuestas;
        for (int i = 0; i < 4; ++i) respuestas.answer(1);
        preparar();
        console::ArmaYEjecutaPaqueteDTS(modo, {QStringLiteral("41"), Hoy()});
    }

    // In the parent, after the send: what the stores and the head office hold.
    void Comprueba(const Corte& c) {
        data::ResetGlobalInstances();
        Arranca();
        ASSERT_FALSE(HasFatalFailure());
        const QStringList ahora = Interfaz();
        if (c.queda == Queda::Anterior) {
            EXPECT_EQ(ahora, anterior_);
        } else {
            EXPECT_NE(ahora, anterior_);
            // The new send, whole: every table as its view gives it in the mode.
            for (size_t i = 0; i < std::size(kTablas); ++i) {
                const QString filtro = c.modo == 0 && i < 4 ? QStringLiteral(" WHERE TIPOACT = 'M'") : QString();
                EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(kTablas[i]))),
                          Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(kVistas[i])) + filtro))
                    << kTablas[i];
            }
            EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI WHERE DTICKET = 'NUEVO'")), 1);
            if (c.modo == 2) {
                for (const char* t : {"IMPONOVARTI", "IMPOPROV", "OFERTAS"})
                    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TIPOACT <> 'A'").arg(QLatin1String(t))), 0)
                        << t;
            }
        }
        const bool marca = c.marcado && c.modo == 0;
        EXPECT_EQ(Pendientes(), marca ? 0 : pendientes_);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 41")),
                  c.marcado ? 1 : 0);
        // Never a price marked with a transmission that is not recorded.
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE "
                                                    "'1-%' AND TRANSMISION NOT IN (SELECT CODIGO FROM MV_NOVEDADESPRECIOS)")),
                  0);
    }

    QStringList anterior_;
    long pendientes_ = 0;
};

TEST_F(EnvioInterrumpido, KilledInsideACopyStepTheStoresKeepThePreviousSend) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const char* const pasos[] = {"Copiar IMPONOVARTI", "Copiar IMPONOVBARRAS", "Copiar IMPONOVBULTOS",
                                 "Copiar IMPONOVPROV", "Copiar IMPOPROV",      "Copiar OFERTAS"};
    for (const char* paso : pasos) {
        for (int16_t modo : {int16_t(0), int16_t(2)}) {
            if (modo == 2 && QLatin1String(paso) != QLatin1String("Copiar OFERTAS")) continue;
            SCOPED_TRACE(paso);
            const Corte c{paso, modo, Queda::Anterior, false};
            EXPECT_EXIT(Envia(modo,
                              [paso] {
                                  // The copy's progress notice lets the windows repaint: while
                                  // that step runs, it is where the process dies.
                                  auto enCurso = std::make_shared<QString>();
                                  console::SetObservadorEstado([enCurso](const QString& p, int estado) {
                                      *enCurso = estado == 2 ? p : QString();
                                  });
                                  vb::SetDoEventsHook([enCurso, objetivo = QString::fromLatin1(paso)] {
                                      if (*enCurso == objetivo) Muere();
                                  });
                              }),
                        ::testing::KilledBySignal(SIGKILL), "");
            Comprueba(c);
            data::ResetGlobalInstances();
        }
    }
}

TEST_F(EnvioInterrumpido, KilledAfterTheInterfaceCommitTheNewSendStaysWholeAndUnmarkedOrMarkedAndRecorded) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const struct {
        Corte corte;
        std::function<void()> preparar;
    } casos[] = {
        {{"before the marking", 0, Queda::Nueva, false},
         [] { Principal().setConnectionCalls(std::make_shared<CorteEnPrincipal>(CorteEnPrincipal::AlComenzarMarcado)); }},
        {{"before the marking, initial mode", 2, Queda::Nueva, false},
         [] { Principal().setConnectionCalls(std::make_shared<CorteEnPrincipal>(CorteEnPrincipal::AlComenzarMarcado)); }},
        {{"prices marked, row not yet inserted", 0, Queda::Nueva, false},
         [] { Principal().setConnectionCalls(std::make_shared<CorteEnPrincipal>(CorteEnPrincipal::AlRegistrar)); }},
        {{"closing box open", 0, Queda::Nueva, true},
         [] {
             static CorteEnCaja caja;
             ui::SetPrompter(&caja);
         }},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.corte.donde);
        EXPECT_EXIT(Envia(caso.corte.modo, caso.preparar), ::testing::KilledBySignal(SIGKILL), "");
        Comprueba(caso.corte);
        data::ResetGlobalInstances();
    }
}

TEST_F(EnvioInterrumpido, ACopyThatFailsOnABadRowKeepsThePreviousSend) {
    Arranca();
    // An article without its ticket description, with a changed price: its row cannot be written.
    Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCIONTICKET = NULL WHERE IDARTICULO = '000456'"));
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("Copiar IMPONOVARTI: Fila "));
    EXPECT_FALSE(console::ArmaYEjecutaPaqueteDTS(0, {QStringLiteral("41"), Hoy()}));
    EXPECT_TRUE(guion.exhausted());
    EXPECT_TRUE(guion.shown()[0].prompt.contains(QStringLiteral("columna DTICKET"))) << guion.shown()[0].prompt.toStdString();
    Comprueba({"bad row", 0, Queda::Anterior, false});
}

}  // namespace
