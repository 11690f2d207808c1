// A send killed (SIGKILL) at each point of its way: afterwards the interface tables hold the
// previous send or the new one, whole, and every price marked as sent has its transmission row.
// The send runs in a forked child on the test's databases (the parent holds no connection
// meanwhile) and is killed from inside: by the copy's progress notice while a copy step runs, by
// the head-office connection calls, and by the closing box.
#include "main_window_fixture.h"

#include "main_window/frm_korvane01.h"
#include "platform/vb/dates.h"
#include "support/enesima_sentencia.h"

#include <functional>

namespace {

using testsupport::MataProceso;

// Kills (or fails) before the head office's first marking or recording statement, or before the
// transmission row is inserted.
std::shared_ptr<testsupport::EnesimaSentencia> CorteEnPrincipal(bool alRegistrar,
                                                                testsupport::EnesimaSentencia::Accion accion = testsupport::Muere()) {
    return std::make_shared<testsupport::EnesimaSentencia>(
        [alRegistrar](const QString& sql) {
            return sql.startsWith(QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS")) ||
                   (!alRegistrar && sql.startsWith(QStringLiteral("UPDATE V_MA_PRECIOS")));
        },
        1, std::move(accion));
}

// Kills at the closing box of a send that went well.
class CorteEnCaja : public ui::Prompter {
public:
    int msgBox(const QString& prompt, int, const QString&) override {
        if (prompt == QStringLiteral("Proceso Finalizado...")) MataProceso();
        return 1;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
};

struct Corte {
    const char* donde;
    int16_t modo;
    bool nueva;        // the stores hold the new send (else the previous one)
    bool registrada;   // the transmission row is there, with the prices it marked
    std::function<void()> arma;
};

class EnvioInterrumpido : public mainwindowtest::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        Arranca();
        if (HasFatalFailure()) return;
        // The stores hold a full retransmission; then every A3 price and one article change.
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("Proceso Finalizado..."));
        ASSERT_TRUE(sender::ArmaYEjecutaPaqueteDTS(1, {QStringLiteral("40"), Hoy()}));
        Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-M', TRANSMISION = 0, TIPOACT = 'M' "
                                         "WHERE IDLISTA = 'A3'"));
        Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCIONTICKET = 'NUEVO' WHERE IDARTICULO = '000123'"));
        anterior_ = Interfaz();
        pendientes_ = Pendientes();
        sender::DestroyFrmStatus();
        data::ResetGlobalInstances();   // no connection of this process crosses into the child
    }
    static QDate Hoy() { return vb::Today().toQDate(); }
    long Pendientes() {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE '0-%'"));
    }

    // The child: transmission 41 in the mode, the kill armed.
    void Envia(const Corte& c) {
        Arranca();
        ui::ScriptedPrompter respuestas;
        for (int i = 0; i < 4; ++i) respuestas.answer(1);
        c.arma();
        sender::ArmaYEjecutaPaqueteDTS(c.modo, {QStringLiteral("41"), Hoy()});
    }

    void Comprueba(const Corte& c) {
        data::ResetGlobalInstances();
        Arranca();
        ASSERT_FALSE(HasFatalFailure());
        if (!c.nueva) {
            EXPECT_EQ(Interfaz(), anterior_);
        } else {   // every table as its view gives it in the mode, the changed article with it
            const char* const copias[][2] = {{"IMPONOVARTI", "QET_KORVANE"},      {"IMPONOVBARRAS", "QET_KORVANE_BARRAS"},
                                             {"IMPONOVBULTOS", "QET_KORVANE_BULTOS"}, {"IMPONOVPROV", "QET_KORVANE_NOVPROV"},
                                             {"IMPOPROV", "QET_KORVANE_PROV"},     {"OFERTAS", "QET_KORVANE_OFERTAS"}};
            for (int i = 0; i < 6; ++i) {
                const QString filtro = c.modo == 0 && i < 4 ? QStringLiteral(" WHERE TIPOACT = 'M'") : QString();
                EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(copias[i][0]))),
                          Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(copias[i][1])) + filtro))
                    << copias[i][0];
            }
            EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI WHERE DTICKET = 'NUEVO'")), 1);
            EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM OFERTAS WHERE TIPOACT <> 'A'")) == 0, c.modo == 2);
        }
        EXPECT_EQ(Pendientes(), c.registrada && c.modo == 0 ? 0 : pendientes_);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = 41")),
                  c.registrada ? 1 : 0);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO LIKE "
                                                    "'1-%' AND TRANSMISION NOT IN (SELECT CODIGO FROM MV_NOVEDADESPRECIOS)")),
                  0);
    }

    QStringList anterior_;
    long pendientes_ = 0;
};

// While the step runs, the copy's progress notice (which lets the windows repaint) kills.
std::function<void()> EnLaCopia(const char* paso) {
    return [paso] {
        auto enCurso = std::make_shared<QString>();
        sender::SetObservadorEstado([enCurso](const QString& p, int estado) { *enCurso = estado == 2 ? p : QString(); });
        vb::SetDoEventsHook([enCurso, paso] {
            if (*enCurso == QLatin1String(paso)) MataProceso();
        });
    };
}

TEST_F(EnvioInterrumpido, TheStoresSeeAWholeSendAndEveryMarkedPriceItsTransmission) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto enPrincipal = [](bool alRegistrar) {
        return [alRegistrar] { Principal().setConnectionCalls(CorteEnPrincipal(alRegistrar)); };
    };
    const Corte cortes[] = {
        {"Copiar IMPONOVARTI", 0, false, false, EnLaCopia("Copiar IMPONOVARTI")},
        {"Copiar IMPONOVBARRAS", 0, false, false, EnLaCopia("Copiar IMPONOVBARRAS")},
        {"Copiar IMPONOVBULTOS", 0, false, false, EnLaCopia("Copiar IMPONOVBULTOS")},
        {"Copiar IMPONOVPROV", 0, false, false, EnLaCopia("Copiar IMPONOVPROV")},
        {"Copiar IMPOPROV", 0, false, false, EnLaCopia("Copiar IMPOPROV")},
        {"Copiar OFERTAS", 0, false, false, EnLaCopia("Copiar OFERTAS")},
        {"Copiar OFERTAS, initial mode", 2, false, false, EnLaCopia("Copiar OFERTAS")},
        {"interface committed, marking not begun", 0, true, false, enPrincipal(false)},
        {"the same, initial mode", 2, true, false, enPrincipal(false)},
        {"prices marked, row not inserted", 0, true, false, enPrincipal(true)},
        {"closing box open", 0, true, true, [] {
             static CorteEnCaja caja;
             ui::SetPrompter(&caja);
         }},
    };
    for (const Corte& c : cortes) {
        SCOPED_TRACE(c.donde);
        EXPECT_EXIT(Envia(c), ::testing::KilledBySignal(SIGKILL), "");
        Comprueba(c);
        data::ResetGlobalInstances();
    }
}

// The same end for a copy that fails on a row it cannot write (an article without its ticket text).
TEST_F(EnvioInterrumpido, ACopyThatFailsOnABadRowLeavesThePreviousSend) {
    Arranca();
    Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCIONTICKET = NULL WHERE IDARTICULO = '000456'"));
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("Copiar IMPONOVARTI: Fila "));
    EXPECT_FALSE(sender::ArmaYEjecutaPaqueteDTS(0, {QStringLiteral("41"), Hoy()}));
    Comprueba({"bad row", 0, false, false, {}});

    // In initial mode a transmission not recorded is told as that alone: the data reached the
    // interface database.
    Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCIONTICKET = 'X' WHERE IDARTICULO = '000456'"));
    Principal().setConnectionCalls(CorteEnPrincipal(true, testsupport::Rechaza(QStringLiteral("Rechazado"))));
    ui::ScriptedPrompter otro;
    otro.answer(1, QStringLiteral("Rechazado"));
    otro.answer(1, QStringLiteral("Los datos llegaron a la base de interfases, pero no se registró la transmisión."));
    EXPECT_FALSE(sender::ArmaYEjecutaPaqueteDTS(2, {QStringLiteral("41"), Hoy()}));
    EXPECT_TRUE(otro.exhausted());
}

}  // namespace
