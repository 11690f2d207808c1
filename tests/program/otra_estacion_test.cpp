// The main window while another station's send or receive holds the head office (a connection of
// the test in the middle of its transaction): the window keeps answering while it waits, the wait
// window says so, Anular gives up with nothing written, and the wait's time-out is one box whose
// Reintentar, once the other station has ended, sends or receives the whole.
#include "main_window/main_window_fixture.h"
#include "main_window/ventana_principal.h"

#include "main_window/frm_korvane01.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kTomada =
    QStringLiteral("La base de la casa central (VOLMA) está tomada por el envío o la recepción de otra estación");

// A script that lets the other station end once the box of its wait is shown, before it is
// answered.
class Suelta : public ui::ScriptedPrompter {
public:
    explicit Suelta(std::function<void()> alPreguntar) : alPreguntar_(std::move(alPreguntar)) {}
    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        if (alPreguntar_ && prompt.startsWith(kTomada)) std::exchange(alPreguntar_, nullptr)();
        return ScriptedPrompter::msgBox(prompt, buttons, title);
    }

private:
    std::function<void()> alPreguntar_;
};

// A script that lets the other station take the head office when the send's question is shown:
// after the fields were checked, before the transmission is recorded.
class TomaAlConfirmar : public Suelta {
public:
    TomaAlConfirmar(std::function<void()> alConfirmar, std::function<void()> alPreguntar)
        : Suelta(std::move(alPreguntar)), alConfirmar_(std::move(alConfirmar)) {}
    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        if (alConfirmar_ && prompt.contains(QStringLiteral("seguro de continuar"))) std::exchange(alConfirmar_, nullptr)();
        return Suelta::msgBox(prompt, buttons, title);
    }

private:
    std::function<void()> alConfirmar_;
};

// A timer of the test's own, every 20 ms while a command runs: when it fired while the wait window
// said that the run waits for another station, what the window said the first time, and at its
// fifth firing so, `alQuinto`.
class Vigia {
public:
    explicit Vigia(std::function<void()> alQuinto) : alQuinto_(std::move(alQuinto)) {
        reloj_.start();
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Mira(); });
        timer_.start();
    }
    std::vector<qint64> enEspera;
    QStringList texto;
    bool anular = false;   // Anular was offered
    qint64 MayorPausa() const {
        qint64 mayor = 0;
        for (size_t i = 1; i < enEspera.size(); ++i) mayor = std::max(mayor, enEspera[i] - enEspera[i - 1]);
        return mayor;
    }

private:
    void Mira() {
        utillib::VentanaEspera& espera = core::gVentanaEspera();
        if (!espera.Visible() || !espera.Linea(1).startsWith(QStringLiteral("Esperando a otra estación: "))) return;
        enEspera.push_back(reloj_.elapsed());
        if (texto.isEmpty()) {
            texto = QStringList{espera.Linea(1), espera.Linea(2), espera.Linea(3)};
            anular = espera.AnularVisible();
        }
        if (enEspera.size() == 5 && alQuinto_) alQuinto_();
    }
    QElapsedTimer reloj_;
    QTimer timer_;
    std::function<void()> alQuinto_;
};

void PulsaAnular() {
    auto* anular = core::gVentanaEspera().ventana()->findChild<QPushButton*>(QStringLiteral("cmdAnular"));
    ASSERT_TRUE(anular && anular->isVisible());
    QTest::mouseClick(anular, Qt::LeftButton);
}

class OtraEstacionTest : public mainwindowtest::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        main_window::FrmKorvane01::SetFinPrograma([] {});
        mainwindowtest::AbreVentana(w);
        if (HasFatalFailure()) return;
        // The other station, in the middle of its transaction on the head office.
        otra = ado::Connection::Create();
        otra->Open(db::ConnectionText(bases, db::kHeadOfficeName));
        otra->BeginTrans();
        otra->Execute("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE CLAVE = 'PIVA'");
    }
    void TearDown() override {
        if (otra && otra->transactionLevel() > 0) otra->RollbackTrans();
        w.reset();
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        MainWindowFixture::TearDown();
    }
    // The wait as the window showed it: the events went on, and the wait window said what and how
    // long, with Anular.
    static void EsperaVista(const Vigia& vigia, int segundos) {
        EXPECT_GE(vigia.enEspera.size(), 5u);
        EXPECT_LT(vigia.MayorPausa(), 500);
        ASSERT_EQ(vigia.texto.size(), 3);
        EXPECT_TRUE(vigia.texto[0].startsWith(QStringLiteral("Esperando a otra estación: "))) << vigia.texto[0].toStdString();
        EXPECT_EQ(vigia.texto[1], kTomada);
        EXPECT_EQ(vigia.texto[2], QStringLiteral("Se espera hasta %1 s. Anular deja de esperar sin grabar nada.").arg(segundos));
        EXPECT_TRUE(vigia.anular);
    }
    // The run over: the window idle again, the wait window gone with its Anular.
    void Terminado() {
        EXPECT_FALSE(w->ocupado());
        EXPECT_FALSE(core::gVentanaEspera().Visible());
        EXPECT_FALSE(core::gVentanaEspera().AnularVisible());
    }
    long Transmisiones() { return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS")); }
    long Stock() { return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE'")); }
    // What the stores see, read on a connection of the test's own.
    long Articulos() const {
        auto cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(bases, db::kInterfaceName));
        return testsupport::Count(cn, QStringLiteral("IMPONOVARTI"));
    }
    QByteArray LogErrores() const {
        QFile f(tmp.file(QStringLiteral("XKERR.LOG")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<main_window::FrmKorvane01> w;
    ado::ConnectionPtr otra;
};

TEST_F(OtraEstacionTest, ASendWaitsInViewAnularWritesNothingAndTheTimeOutAsksOnce) {
    const long transmisiones = Transmisiones();
    const long articulos = Articulos();
    const QString numero = w->txtfields[0]->text();
    Principal().gCnn()->setCommandTimeout(60);
    {
        Vigia vigia(PulsaAnular);
        QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);   // no box at all (the fixture's script has none)
        EsperaVista(vigia, 60);
    }
    Terminado();
    EXPECT_EQ(Transmisiones(), transmisiones);
    EXPECT_EQ(Articulos(), articulos);
    EXPECT_EQ(w->txtfields[0]->text(), numero);
    EXPECT_TRUE(LogErrores().isEmpty());

    // The time-out: one box in its own words; Reintentar once the other station ended sends.
    Principal().gCnn()->setCommandTimeout(1);
    Suelta guion([this] { otra->CommitTrans(); });
    guion.answer(vb::kRetry, kTomada + QStringLiteral(" (se esperó 1 s a que terminara). Vuelva a intentarlo cuando haya terminado."));
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado..."));
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 3u);
    EXPECT_EQ(guion.shown()[0].buttons, ui::vbRetryAbort + ui::vbExclamation);
    EXPECT_EQ(Transmisiones(), transmisiones + 1);
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = '%1'").arg(numero)), 1);
    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM OFERTAS")),
              Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM QET_KORVANE_OFERTAS")));
    EXPECT_TRUE(LogErrores().contains(vb::ToCp1252(QStringLiteral("Respondió : Reintentar"))));
    Terminado();
}

// No mode chosen: no package runs and the transmission is recorded alone. Another station that took
// the head office meanwhile is asked about in its own box, and Reintentar, once it has ended,
// records the transmission once.
TEST_F(OtraEstacionTest, ASendWithoutAModeAsksAboutTheHeldHeadOfficeAndRecordsOnce) {
    otra->CommitTrans();   // the fields are checked on a free head office
    for (QRadioButton* opcion : w->OptTipo) {
        opcion->setAutoExclusive(false);
        opcion->setChecked(false);
    }
    const long transmisiones = Transmisiones();
    const long articulos = Articulos();
    const QString numero = w->txtfields[0]->text();
    Principal().gCnn()->setCommandTimeout(1);
    TomaAlConfirmar guion(
        [this] {
            otra->BeginTrans();
            otra->Execute("UPDATE TA_CONFIGURACION SET VALOR = VALOR WHERE CLAVE = 'PIVA'");
        },
        [this] { otra->CommitTrans(); });
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(vb::kRetry, kTomada + QStringLiteral(" (se esperó 1 s a que terminara)."));
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 2u);
    EXPECT_EQ(guion.shown()[1].buttons, ui::vbRetryAbort + ui::vbExclamation);
    EXPECT_EQ(Transmisiones(), transmisiones + 1);
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS WHERE CODIGO = '%1'").arg(numero)), 1);
    EXPECT_EQ(Articulos(), articulos);
    Terminado();
}

TEST_F(OtraEstacionTest, AReceiveWaitsInViewAnularPostsNothingAndTheTimeOutAsksOnce) {
    w->txtfields[1]->setText(QStringLiteral("05/03/2008"));
    Principal().gCnn()->setCommandTimeout(60);
    {
        ui::ScriptedPrompter guion;
        guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
        guion.answer(1, QStringLiteral("Proceso Finalizado"));
        Vigia vigia(PulsaAnular);
        QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(guion.shown().size(), 2u);
        EsperaVista(vigia, 60);
    }
    Terminado();
    EXPECT_EQ(Stock(), 0);
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_MEMOS")), 0);

    // The time-out: one box; Reintentar once the other station ended posts the whole day.
    Principal().gCnn()->setCommandTimeout(1);
    Suelta guion([this] { otra->CommitTrans(); });
    guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
    guion.answer(vb::kRetry, kTomada + QStringLiteral(" (se esperó 1 s a que terminara)."));
    guion.answer(1, QStringLiteral("Proceso Finalizado"));
    QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 3u);
    EXPECT_EQ(guion.shown()[1].buttons, ui::vbRetryAbort + ui::vbExclamation);
    EXPECT_EQ(Stock(), 9);
    Terminado();
}

}  // namespace
