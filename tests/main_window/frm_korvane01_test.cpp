#include "main_window_fixture.h"
#include "ventana_principal.h"

#include "main_window/frm_korvane01.h"
#include "main_window/reportes.h"
#include "posting/cls_cmn_cptes.h"
#include "platform/ui/prompter.h"
#include "platform/ui/status_bar.h"
#include "platform/vb/on_error.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/scope_guard.h"
#include "data/connection_calls.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

using mainwindowtest::MainWindowFixture;

class VentanaTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        main_window::FrmKorvane01::SetFinPrograma([this] { ++fines_; });
        Abre();
    }
    void TearDown() override {
        w.reset();
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        MainWindowFixture::TearDown();
    }
    void Abre() { mainwindowtest::AbreVentana(w); }
    void Reabre() {
        int cancel = 0;
        w->Form_Unload(cancel);
        w.reset();
        data::ResetGlobalInstances();
        Abre();
    }
    QString Numero() const { return w->txtfields[0]->text(); }
    QString Fecha() const { return w->txtfields[1]->text(); }
    long Transmisiones(const QString& condicion = QString()) {
        return Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM MV_NOVEDADESPRECIOS") +
                                      (condicion.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condicion));
    }
    // Confirms a field with Enter, as the operator does.
    void Confirma(QLineEdit* campo) {
        campo->setFocus();
        QTest::keyClick(campo, Qt::Key_Return);
    }

    std::unique_ptr<main_window::FrmKorvane01> w;
    int fines_ = 0;
};

TEST_F(VentanaTest, LoadsWithItsControlsAndTheFirstNumber) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Envio de Novedades Korvane01"));
    EXPECT_EQ(w->CmdEnviar->text(), QStringLiteral("&Enviar Datos >>>"));
    EXPECT_EQ(w->CmdRecibir->text(), QStringLiteral("&Recibir  <<<"));
    EXPECT_EQ(w->CmdCerrar->text(), QStringLiteral("Salir"));
    EXPECT_EQ(w->lblRuta->text(), QStringLiteral("KORVANE_INTERFASES"));
    EXPECT_EQ(w->TxtServer->text(), Principal().gServidor);   // first run: the head-office server
    EXPECT_TRUE(w->OptTipo[0]->isChecked());
    EXPECT_EQ(w->findChildren<QLineEdit*>(QStringLiteral("txtfields")).size(), 2);
    EXPECT_EQ(w->sbStatusBar->Text(QStringLiteral("BASEDEDATOS")), QStringLiteral("Db: VOLMA"));
    EXPECT_TRUE(w->txtfields[0]->isEnabled());
    EXPECT_FALSE(w->txtfields[1]->isEnabled());
    EXPECT_EQ(Fecha(), main_window::FechaCorta(vb::Today()));
}

TEST_F(VentanaTest, NextNumberFollowsTheHighestRecorded) {
    struct Caso { QStringList codigos; const char* siguiente; };
    const Caso casos[] = {{{}, "1"}, {{"41", "40"}, "42"}, {{"0012"}, "13"}, {{"2147483646"}, "2147483647"},
                          {{"2147483647", "5"}, ""}};
    const QString sinNumeros = QStringLiteral("No quedan números de transmisión después del 2147483647.");
    for (const auto& c : casos) {
        Exec(Principal(), QStringLiteral("DELETE FROM MV_NOVEDADESPRECIOS"));
        for (const QString& codigo : c.codigos)
            Exec(Principal(), QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA) "
                                             "VALUES ('%1','A3','A3','G','01/01/2020')").arg(codigo));
        w->InicializaPantalla();
        EXPECT_EQ(Numero(), QString::fromLatin1(c.siguiente)) << c.codigos.join(u',').toStdString();
        // The field says why it proposes none.
        EXPECT_EQ(w->txtfields[0]->placeholderText(), *c.siguiente ? QString() : sinNumeros);
    }
    // After the highest number, a start says that none follows, instead of proposing one it
    // refuses; a number not yet used is still taken.
    {
        ui::ScriptedPrompter guion;
        guion.answer(1, sinNumeros);
        Reabre();
        EXPECT_TRUE(guion.exhausted());
    }
    EXPECT_EQ(Numero(), QString());
    w->txtfields[0]->setText(QStringLiteral("6"));
    Confirma(w->txtfields[0]);
    EXPECT_FALSE(w->ErrorEnCampo);
    EXPECT_TRUE(w->txtfields[1]->isEnabled());
}

TEST_F(VentanaTest, ASendInEachModeRecordsTheTransmissionAndResets) {
    Exec(Principal(), QStringLiteral("DELETE FROM MV_NOVEDADESPRECIOS"));
    Exec(Principal(), QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA) "
                                     "VALUES ('41','A3','A3','G','01/01/2020')"));
    w->InicializaPantalla();
    for (int modo = 0; modo < 3; ++modo) {
        SCOPED_TRACE(modo);
        Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-C', TIPOACT = 'M' WHERE IDLISTA = 'A3'"));
        const QString numero = QString::number(42 + modo);
        ASSERT_EQ(Numero(), numero);
        w->OptTipo[static_cast<size_t>(modo)]->setChecked(true);
        {
            ui::ScriptedPrompter guion;
            guion.answer(vb::kYes, QStringLiteral("Atencion, este proceso vacia todos los datos de las tablas IMPOxxx, seguro de continuar???"));
            guion.answer(1, QStringLiteral("Proceso Finalizado..."));
            QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
            EXPECT_TRUE(guion.exhausted());
            EXPECT_EQ(guion.shown()[0].title, QStringLiteral("ATENCION"));
            EXPECT_EQ(guion.shown()[0].buttons, ui::vbYesNo + ui::vbQuestion);
        }
        EXPECT_EQ(Transmisiones(QStringLiteral("CODIGO = '%1' AND IDLISTA = 'A3' AND NOMBRE = 'A3' AND TIPOMOV = 'G' "
                                               "AND FECHA = '%2'").arg(numero, main_window::FechaCorta(vb::Today()))), 1);
        const long pendientes = Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO = '0-C'"));
        if (modo == 0) {
            EXPECT_EQ(pendientes, 0);
            EXPECT_GT(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND ESTADO = '1-C' AND TRANSMISION = %1").arg(numero)), 0);
        } else {
            EXPECT_GT(pendientes, 0);
        }
        EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM OFERTAS")),
                  Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM QET_KORVANE_OFERTAS")));
        // Reset: the next number, today's date, the number field open.
        EXPECT_EQ(Numero(), QString::number(43 + modo));
        EXPECT_EQ(Fecha(), main_window::FechaCorta(vb::Today()));
        EXPECT_TRUE(w->txtfields[0]->isEnabled());
        EXPECT_FALSE(w->txtfields[1]->isEnabled());
    }
}

TEST_F(VentanaTest, AnsweringNoChangesNothing) {
    const long antes = Transmisiones();
    ASSERT_TRUE(core::ConectaBaseRemota(bases, w->lblRuta->text(), w->lblRuta->text(), w->lblRuta->text()));
    Exec(Remota(), QStringLiteral("DELETE FROM OFERTAS"));
    w->txtfields[0]->setText(QStringLiteral("999"));
    ui::ScriptedPrompter guion;
    guion.answer(vb::kNo, QStringLiteral("seguro de continuar???"));
    w->CmdEnviar_Click();
    EXPECT_EQ(Transmisiones(), antes);
    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM OFERTAS")), 0);
    EXPECT_NE(Numero(), QStringLiteral("999"));   // reset all the same
}

TEST_F(VentanaTest, NoInterfaceConnectionStopsTheSend) {
    const long antes = Transmisiones();
    w->lblRuta->setText(QStringLiteral("NO_EXISTE"));
    w->txtfields[0]->setText(QStringLiteral("77"));
    w->txtfields[1]->setText(QStringLiteral("05/03/2008"));
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA"));
    w->CmdEnviar_Click();
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(guion.shown().size(), 1u);   // no question, no package
    EXPECT_EQ(Transmisiones(), antes);
    // A send that cannot start keeps what the operator typed, to send again.
    EXPECT_EQ(Numero(), QStringLiteral("77"));
    EXPECT_EQ(Fecha(), QStringLiteral("05/03/2008"));
}

TEST_F(VentanaTest, TheNumberAndTheDateAreCheckedAgainWhenSending) {
    const long antes = Transmisiones();
    const QString hoy = main_window::FechaCorta(vb::Today());
    const QString codigo = QStringLiteral("Numero de transmision invalido: debe ser un entero de 1 a 2147483647.");
    const QString fecha = QStringLiteral("Debe ingresar un formato de fecha válido.");
    struct Caso { const char* numero; QString fecha; QString mensaje; int campo; };
    const Caso casos[] = {
        {"1O", hoy, codigo, 0},   // a letter O for a zero
        {"7'7", hoy, codigo, 0},
        {"2147483648", hoy, codigo, 0},
        {" 2 ", hoy, QStringLiteral("Numero de transmision ya utilizado."), 0},
        {"42", QStringLiteral("08/12/2026'"), fecha, 1},
        {"42", QStringLiteral("10:30"), fecha, 1},        // no date the record's column takes
        {"42", QStringLiteral("01/01/1700"), fecha, 1},
    };
    w->HabilitaCampos(-1);   // both fields open, as after a paste
    w->txtfields[0]->setEnabled(true);
    for (const auto& c : casos) {
        SCOPED_TRACE(c.numero);
        w->txtfields[0]->setText(QString::fromLatin1(c.numero));
        w->txtfields[1]->setText(c.fecha);
        ui::ScriptedPrompter guion;   // the one box: no question, no package
        guion.answer(1, c.mensaje);
        QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_TRUE(w->txtfields[static_cast<size_t>(c.campo)]->hasFocus());
        EXPECT_EQ(Numero(), QString::fromLatin1(c.numero));   // kept, to be put right
    }
    EXPECT_EQ(Transmisiones(), antes);
    EXPECT_FALSE(sender::FrmStatusLoaded());

    // A number that cannot be looked up is no free number, on Enter and at Enviar: after
    // the queries' own boxes (on Enter the reset's too) nothing is asked or sent.
    Exec(Principal(), QStringLiteral("ALTER TABLE MV_NOVEDADESPRECIOS RENAME TO MV_NOVEDADES_FUERA"));
    ui::ScriptedPrompter guion;
    for (int i = 0; i < 3; ++i) guion.answer(vb::kAbort, QStringLiteral("MV_NOVEDADESPRECIOS"));
    Confirma(w->txtfields[0]);
    EXPECT_TRUE(w->ErrorEnCampo);
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    EXPECT_TRUE(guion.exhausted() && guion.shown().size() == 3u);
}

TEST_F(VentanaTest, NormalModeMarksOnlyThePricesWhoseArticleWasSent) {
    // 000123 goes (a changed price), 000456 does not (its price is not marked as changed), and
    // a price of an article that does not exist has no article row to send.
    Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-M', TRANSMISION = 0, TIPOACT = 'S' WHERE IDLISTA = 'A3'"));
    Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET TIPOACT = 'M' WHERE IDLISTA = 'A3' AND IDARTICULO = '000123'"));
    Exec(Principal(), QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, NOMBRE, IDUNIDAD, PRECIO, "
                                     "PVENTA, ESTADO, TIPOACT, FECHA, TRANSMISION) VALUES ('A3', 'V', 'NOEXISTE', 'A3', 'UN', "
                                     "1, 1, '0-B', 'M', '05/03/2008', 0)"));
    // A price that changes once its table is copied (000456's) was not sent, and is not marked sent.
    sender::SetObservadorEstado([&](const QString& paso, int estado) {
        if (paso == QStringLiteral("Copiar IMPONOVBARRAS") && estado == 2)
            Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET TIPOACT = 'M' WHERE IDLISTA = 'A3' AND IDARTICULO = '000456'"));
    });
    const QString numero = Numero();
    ui::ScriptedPrompter guion;
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado..."));
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    sender::SetObservadorEstado(nullptr);
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(Count(Remota(), QStringLiteral("SELECT COUNT(*) FROM IMPONOVARTI")), 1);
    auto estado = [&](const char* articulo) {
        return Scalar(Principal(), QStringLiteral("SELECT ESTADO + '/' + CAST(TRANSMISION AS varchar(10)) FROM V_MA_PRECIOS "
                                                  "WHERE IDLISTA = 'A3' AND IDARTICULO = '%1'").arg(QLatin1String(articulo)))
            .text();
    };
    EXPECT_EQ(estado("000123"), QStringLiteral("1-M/") + numero);
    for (const char* pendiente : {"000456", "000789", "QUESO-KG-1"}) EXPECT_EQ(estado(pendiente), QStringLiteral("0-M/0")) << pendiente;
    EXPECT_EQ(estado("NOEXISTE"), QStringLiteral("0-B/0"));
    EXPECT_EQ(Transmisiones(QStringLiteral("CODIGO = ") + numero), 1);
}

TEST_F(VentanaTest, AnArticleCodeLongerThanTheInterfaceColumnFailsTheWholeSend) {
    Exec(Principal(), QStringLiteral("UPDATE MA_ARTICULOS SET IDARTICULO = 'ARTICULO-LARGO-0000000001' WHERE IDARTICULO = '000123'"));
    Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET IDARTICULO = 'ARTICULO-LARGO-0000000001', ESTADO = '0-M', "
                                     "TIPOACT = 'M' WHERE IDARTICULO = '000123'"));
    const long transmisiones = Transmisiones();
    ui::ScriptedPrompter guion;
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(1, QStringLiteral(", columna ARTI (DTSTransformation__2): el texto 'ARTICULO-LARGO-0000000001' excede "
                                   "los 10 caracteres"));
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_TRUE(core::ConectaBaseRemota(bases, w->lblRuta->text(), w->lblRuta->text(), w->lblRuta->text()));
    EXPECT_EQ(Interfaz(), QStringList());   // the demo's empty tables: nothing of the send stays
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE ESTADO = '1-M' AND TIPOACT = 'M'")), 0);
    EXPECT_EQ(Transmisiones(), transmisiones);
}

TEST_F(VentanaTest, FieldsEditedDuringTheSendDoNotChangeWhatIsRecorded) {
    Exec(Principal(), QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '0-C', TRANSMISION = 0 WHERE IDLISTA = 'A3'"));
    const QString numero = Numero();
    const QString fecha = Fecha();
    sender::SetObservadorEstado([&](const QString& paso, int estado) {
        if (paso == QStringLiteral("Copiar IMPONOVARTI") && estado == 2) {
            // Both fields are closed while the send runs.
            EXPECT_FALSE(w->txtfields[0]->isEnabled() || w->txtfields[1]->isEnabled());
            w->txtfields[0]->setText(QStringLiteral("999"));
            w->txtfields[1]->setText(QStringLiteral("01/01/1999"));
        }
    });
    ui::ScriptedPrompter guion;
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado..."));
    w->CmdEnviar_Click();
    sender::SetObservadorEstado(nullptr);
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(Transmisiones(QStringLiteral("CODIGO = '%1' AND FECHA = '%2'").arg(numero, fecha)), 1);
    EXPECT_EQ(Transmisiones(QStringLiteral("CODIGO = '999'")), 0);
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MA_PRECIOS WHERE IDLISTA = 'A3' AND "
                                                "ESTADO = '1-C' AND TRANSMISION <> %1").arg(numero)), 0);
}

TEST_F(VentanaTest, WhileASendOrAReceiveRunsOtherCommandsSalirAndTheCloseBoxDoNothing) {
    int intentos = 0;
    auto intenta = [&] {
        ++intentos;
        w->CmdEnviar_Click();    // would ask the question again
        w->CmdRecibir_Click();   // would ask its own question
        QTest::mouseClick(w->CmdCerrar, Qt::LeftButton);
        w->close();
        EXPECT_TRUE(w->isVisible());
    };
    sender::SetObservadorEstado([&](const QString& paso, int estado) {
        if (paso == QStringLiteral("Copiar IMPONOVBARRAS") && estado == 2) intenta();
    });
    const QString numero = Numero();
    ui::ScriptedPrompter guion;
    guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
    guion.answer(1, QStringLiteral("Proceso Finalizado..."));
    guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion"));
    guion.answer(1, QStringLiteral("Proceso Finalizado"));
    QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
    sender::SetObservadorEstado(nullptr);
    // The receive of the demo day yields to the window at every row: the first time, try.
    w->txtfields[1]->setText(QStringLiteral("05/03/2008"));
    bool intentado = false;
    vb::SetDoEventsHook([&] {
        if (!intentado && w->ocupado()) {
            intentado = true;
            intenta();
        }
        QCoreApplication::processEvents();
    });
    QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
    vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(intentos, 2);
    EXPECT_EQ(fines_, 0);
    EXPECT_EQ(Transmisiones(QStringLiteral("CODIGO = ") + numero), 1);   // the send ended whole
    QTest::mouseClick(w->CmdCerrar, Qt::LeftButton);                   // idle again: Salir ends
    EXPECT_EQ(fines_, 1);
}

TEST_F(VentanaTest, ReceiveAsksRunsTheReceiverAndFinishes) {
    // The demo day's movements.
    w->txtfields[1]->setText(QStringLiteral("05/03/2008"));
    const QString recibidos = QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE'");
    for (int respuesta : {vb::kNo, vb::kYes}) {
        ui::ScriptedPrompter guion;
        guion.answer(respuesta, QStringLiteral("Este proceso recepciona los movimientos realizados por los locales\r\n"
                                               "Confirma la recepcion de informacion???"));
        guion.answer(1, QStringLiteral("Proceso Finalizado"));
        w->CmdRecibir_Click();
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(guion.shown()[1].title, QStringLiteral("Aviso al operador"));
        EXPECT_EQ(Count(Principal(), recibidos), respuesta == vb::kYes ? 9 : 0);
    }
    EXPECT_TRUE(w->txtfields[0]->isEnabled());   // the fields as they were
    EXPECT_FALSE(w->txtfields[1]->isEnabled());
}

TEST_F(VentanaTest, NoInterfaceConnectionStopsTheReceive) {
    w->lblRuta->setText(QStringLiteral("NO_EXISTE"));
    // A number or a date that cannot be received under is refused before anything is read.
    const char* const malos[][3] = {{"12345678901234567890", "05/03/2008", "Numero de transmision invalido"},
                                    {"3", "10:30", "Debe ingresar un formato de fecha"}};
    for (const auto& [numero, fecha, mensaje] : malos) {
        w->txtfields[0]->setText(QString::fromLatin1(numero));
        w->txtfields[1]->setText(QString::fromLatin1(fecha));
        ui::ScriptedPrompter guion;
        guion.answer(1, QString::fromLatin1(mensaje));
        w->CmdRecibir_Click();
        EXPECT_TRUE(guion.exhausted() && guion.shown().size() == 1u) << numero;
    }
    w->txtfields[1]->setText(QStringLiteral("05/03/2008"));
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("NO SE PUDO ABRIR LA CONEXION REMOTA"));
    w->CmdRecibir_Click();
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(guion.shown().size(), 1u);   // no question, no "Proceso Finalizado"
    EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008'")), 0);
    EXPECT_FALSE(w->ocupado());
}

TEST_F(VentanaTest, ConfirmingTheNumberAndTheDate) {
    Exec(Principal(), QStringLiteral("DELETE FROM MV_NOVEDADESPRECIOS"));
    Exec(Principal(), QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA) "
                                     "VALUES ('5','A3','A3','G','01/01/2020')"));
    {   // an empty number
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("Debe ingresar un código para el Generador."));
        w->txtfields[0]->setText(QStringLiteral("  "));
        Confirma(w->txtfields[0]);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(guion.shown()[0].title, QStringLiteral("Aviso al operador..."));
        EXPECT_TRUE(w->txtfields[0]->hasFocus());
    }
    // A number already recorded, or one that is not a whole number: refused, the number field
    // stays open with the focus.
    const struct { const char* numero; const char* mensaje; } rechazos[] = {
        {"5", "Numero de transmision ya utilizado."},
        {"1O", "Numero de transmision invalido: debe ser un entero de 1 a 2147483647."},
    };
    for (const auto& r : rechazos) {
        ui::ScriptedPrompter guion;
        guion.answer(1, QString::fromUtf8(r.mensaje));
        w->txtfields[0]->setText(QString::fromLatin1(r.numero));
        Confirma(w->txtfields[0]);
        EXPECT_TRUE(guion.exhausted()) << r.numero;
        EXPECT_EQ(Numero(), QString::fromLatin1(r.numero));
        EXPECT_TRUE(w->txtfields[0]->isEnabled());
        EXPECT_TRUE(w->txtfields[0]->hasFocus());
        EXPECT_FALSE(w->txtfields[1]->isEnabled());
        EXPECT_TRUE(w->ErrorEnCampo);
    }
    // A new number, typed with blanks: kept trimmed, the date field opens with the focus.
    w->txtfields[0]->setText(QStringLiteral(" 77 "));
    Confirma(w->txtfields[0]);
    EXPECT_EQ(Numero(), QStringLiteral("77"));
    EXPECT_FALSE(w->txtfields[0]->isEnabled());
    EXPECT_TRUE(w->txtfields[1]->isEnabled());
    EXPECT_TRUE(w->txtfields[1]->hasFocus());
    {   // a date that does not exist
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("Debe ingresar un formato de fecha válido."));
        w->txtfields[1]->setText(QStringLiteral("31/02/2008"));
        Confirma(w->txtfields[1]);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_TRUE(w->txtfields[1]->hasFocus());
        EXPECT_TRUE(w->ErrorEnCampo);
    }
    // An empty date becomes today's; a valid one is shown day first, as it was read.
    w->txtfields[1]->setText(QString());
    Confirma(w->txtfields[1]);
    EXPECT_EQ(Fecha(), main_window::FechaCorta(vb::Today()));
    w->txtfields[1]->setText(QStringLiteral("2008/3/5"));
    Confirma(w->txtfields[1]);
    EXPECT_EQ(Fecha(), QStringLiteral("05/03/2008"));
    EXPECT_FALSE(w->ErrorEnCampo);
}

// Every statement of the head office and of the interface database, in the order they are run.
class Sentencias : public data::ConnectionCalls {
public:
    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectadas, long opciones) override {
        lista << sql;
        return data::ConnectionCalls::Execute(cnn, sql, afectadas, opciones);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        lista << sql;
        data::ConnectionCalls::OpenRecordset(rs, sql, cnn, cursor, bloqueo, opciones);
    }
    QStringList lista;
};

// Each date form the field takes is one day: confirmed, the field shows it day first; the receive
// of the demo day and a send then run the very statements that 05/03/2008 runs, each carrying the
// day as '2008-03-05T00:00:00', never as it was typed. Each form starts from the same databases.
TEST_F(VentanaTest, EveryDateFormTheFieldTakesReceivesAndSendsTheSameDay) {
    vb::SetClock([] { return QDateTime(QDate(2026, 12, 8), QTime(10, 0)); });   // today is another day
    vb::ScopeGuard reloj([] { vb::SetClock({}); });
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    auto cierra = [&] {
        int cancel = 0;
        w->Form_Unload(cancel);
        w.reset();
        data::ResetGlobalInstances();
    };
    cierra();
    QDir().mkpath(plantilla);
    for (const QString& f : QDir(bases).entryList(QDir::Files)) QFile::copy(QDir(bases).filePath(f), QDir(plantilla).filePath(f));
    const QStringList formas{"05/03/2008", "5/3/2008", "05-03-2008", "2008-03-05", "2008/03/05"};
    QStringList primera;
    for (const QString& forma : formas) {
        SCOPED_TRACE(forma.toStdString());
        for (const QString& f : QDir(plantilla).entryList(QDir::Files)) {
            QFile::remove(QDir(bases).filePath(f));
            QFile::copy(QDir(plantilla).filePath(f), QDir(bases).filePath(f));
        }
        for (const QString& log : QDir(tmp.path()).entryList({QStringLiteral("err-*.log")})) QFile::remove(tmp.file(log));
        Abre();
        auto sentencias = std::make_shared<Sentencias>();
        Principal().setConnectionCalls(sentencias);
        Remota().setConnectionCalls(sentencias);
        Confirma(w->txtfields[0]);
        w->txtfields[1]->setText(forma);
        Confirma(w->txtfields[1]);
        EXPECT_EQ(Fecha(), QStringLiteral("05/03/2008"));
        ui::ScriptedPrompter guion;
        guion.answer(vb::kYes, QStringLiteral("Confirma la recepcion de informacion???"));
        guion.answer(1, QStringLiteral("Proceso Finalizado"));
        guion.answer(vb::kYes, QStringLiteral("seguro de continuar???"));
        guion.answer(1, QStringLiteral("Proceso Finalizado..."));
        QTest::mouseClick(w->CmdRecibir, Qt::LeftButton);
        QTest::mouseClick(w->CmdEnviar, Qt::LeftButton);
        EXPECT_TRUE(guion.exhausted());
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND TC <> 'PE'")), 9);
        EXPECT_EQ(Transmisiones(QStringLiteral("FECHA = '05/03/2008'")), 1);
        Principal().setConnectionCalls(nullptr);
        Remota().setConnectionCalls(nullptr);
        cierra();
        EXPECT_GT(sentencias->lista.filter(QStringLiteral("'2008-03-05T00:00:00'")).size(), 10);
        for (const QString& escrita : formas)
            EXPECT_TRUE(sentencias->lista.filter(u'\'' + escrita + u'\'').isEmpty()) << escrita.toStdString();
        if (primera.isEmpty()) primera = sentencias->lista;
        else EXPECT_EQ(sentencias->lista, primera);
    }
    Abre();
}

TEST_F(VentanaTest, FocusColoursTheField) {
    core::gColorFondo = 0x00FFFF;   // BGR: yellow
    w->txtfields_GotFocus(0);
    EXPECT_EQ(w->txtfields[0]->palette().color(QPalette::Base), QColor(255, 255, 0));
    w->txtfields[0]->setText(QStringLiteral("  12"));
    w->txtfields_GotFocus(0);
    EXPECT_EQ(w->txtfields[0]->selectedText(), QStringLiteral("  "));
    w->txtfields_LostFocus(0);
    EXPECT_EQ(w->txtfields[0]->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST_F(VentanaTest, SavedFieldsComeBackAfterARestart) {
    w->TxtServer->setText(bases + QStringLiteral(" "));
    w->lblRuta->setText(QStringLiteral("korvane_interfases"));
    w->OptTipo[2]->setChecked(true);
    Reabre();
    EXPECT_EQ(fines_, 1);
    EXPECT_EQ(w->TxtServer->text(), bases);
    EXPECT_EQ(w->lblRuta->text(), QStringLiteral("korvane_interfases"));
    EXPECT_TRUE(w->OptTipo[2]->isChecked());
    EXPECT_FALSE(w->OptTipo[0]->isChecked());
    EXPECT_EQ(Fecha(), main_window::FechaCorta(vb::Today()));   // number and date set again
}

TEST_F(VentanaTest, ClosingTheWindowSavesAndEndsAsExitDoes) {
    w->OptTipo[1]->setChecked(true);
    w->close();
    EXPECT_EQ(fines_, 1);
    w.reset();
    data::ResetGlobalInstances();
    Abre();
    EXPECT_TRUE(w->OptTipo[1]->isChecked());
}

// ---- lookups and the report ----

class ConsultasGrabadas : public core::ConsultasIface {
public:
    void ConsultaSearch(const QString& SQL, QStringList*, const QString&, QString&, const QString&, const QString&,
                        bool) override {
        pedidos << SQL;
        campos << CampoDevuelto;
        ValorDevuelto = vb::Variant(respuesta);
        CampoDevuelto.clear();
    }
    QStringList pedidos, campos;
    QString respuesta;
};

TEST_F(VentanaTest, PriceLookupsFollowTheFieldTag) {
    auto* grabadas = new ConsultasGrabadas;
    core::SetConsultasFactory([grabadas] { return std::unique_ptr<core::ConsultasIface>(grabadas); });
    grabadas = static_cast<ConsultasGrabadas*>(&core::gConsultas());
    grabadas->respuesta = QStringLiteral("5");
    Exec(Principal(), QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA) "
                                     "VALUES ('5','A3','A3','G','01/01/2020')"));
    w->txtfields[0]->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(w->CampoActual, w->txtfields[0]);
    // Each lookup that confirms the recorded 5 is told so.
    ui::ScriptedPrompter usado;
    for (int i = 0; i < 3; ++i) usado.answer(1, QStringLiteral("Numero de transmision ya utilizado."));

    // An empty tag does nothing at all.
    w->ConsultaPrecios();
    EXPECT_TRUE(grabadas->pedidos.isEmpty());

    // "Novedades" in any case: the pending-changes lookup, then the tag becomes V_MA_PRECIOS.
    // The field holds a recorded number, so the simulated Enter leaves it open and focused.
    w->txtfields[0]->setText(QStringLiteral("5"));
    w->CampoActual->setProperty("Tag", QStringLiteral("novedades"));
    w->ConsultaPrecios();
    ASSERT_EQ(grabadas->pedidos.size(), 1);
    const vb::Date hoy = vb::Today();
    EXPECT_EQ(grabadas->pedidos[0],
              QStringLiteral("SELECT IDLISTA,NOMBRE FROM V_MA_PRECIOS WHERE TIPOLISTA = 'V' AND (ESTADO = '0-C' OR "
                             "ESTADO = '0-M' OR FHOFERTADESDE = '%1' OR  FHOFERTAHASTA ='%2') GROUP BY IDLISTA,NOMBRE")
                  .arg(main_window::FechaCorta(vb::DateAdd(QStringLiteral("d"), 1, hoy)),
                       main_window::FechaCorta(vb::DateAdd(QStringLiteral("d"), -1, hoy))));
    EXPECT_EQ(grabadas->campos[0], QStringLiteral("IDLISTA"));
    w->ConsultaNovedades();
    ASSERT_EQ(w->CampoActual, w->txtfields[0]);
    EXPECT_EQ(w->CampoActual->property("Tag").toString(), QStringLiteral("V_MA_PRECIOS"));

    // The price-list lookup writes the choice and confirms the field: 5 is recorded, so the
    // number field stays open.
    w->ConsultaPrecios();
    EXPECT_EQ(grabadas->pedidos.last(),
              QStringLiteral("SELECT IDLISTA,NOMBRE FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = 'V' ORDER BY IDLISTA"));
    EXPECT_EQ(Numero(), QStringLiteral("5"));
    EXPECT_TRUE(w->txtfields[0]->isEnabled());

    // Articles: the bare view name, the value trimmed.
    grabadas->respuesta = QStringLiteral(" 88 ");
    w->txtfields[0]->setProperty("Tag", QStringLiteral("V_MA_ARTICULOS"));
    w->CampoActual = w->txtfields[0];
    w->ConsultaPrecios();
    EXPECT_EQ(grabadas->pedidos.last(), QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(grabadas->campos.last(), QStringLiteral("IDARTICULO"));
    EXPECT_EQ(Numero(), QStringLiteral("88"));
    EXPECT_FALSE(w->txtfields[0]->isEnabled());   // a new number was confirmed
    EXPECT_TRUE(usado.exhausted());
    core::SetConsultasFactory(nullptr);
}

TEST_F(VentanaTest, LookupsBeforeAnyFieldHadTheFocusRaiseToTheCaller) {
    main_window::FrmKorvane01 nueva;   // never shown: no field has had the focus
    ASSERT_EQ(nueva.CampoActual, nullptr);
    for (auto consulta : {&main_window::FrmKorvane01::ConsultaPrecios, &main_window::FrmKorvane01::ConsultaNovedades}) {
        try {
            (nueva.*consulta)();
            ADD_FAILURE() << "no error";
        } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), vb::kErrObjectNotSet);
        }
    }
}

TEST_F(VentanaTest, TheTransmissionReportIsPrintedToPdf) {
    QStringList abiertos;
    main_window::SetAbreDocumento([&](const QString& pdf) { abiertos << pdf; });
    core::gMotorReportes().CarpetaReportes = testsupport::SourceDir();   // its "reports" folder
    main_window::InstalaImpresoraReportes();
    Exec(Principal(), QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA) "
                                     "VALUES ('15','A3','A3','G','01/01/2020')"));
    w->txtfields[0]->setText(QStringLiteral("15"));
    for (int16_t alternativo : {int16_t(0), int16_t(-1)}) {
        w->ImprimeNovedades(alternativo);
        ASSERT_EQ(abiertos.size(), alternativo == 0 ? 1 : 2);
        QFile f(abiertos.last());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    }
    EXPECT_TRUE(abiertos[0].endsWith(QStringLiteral("RP_NovedadesPrecios.pdf")));
    EXPECT_TRUE(abiertos[1].endsWith(QStringLiteral("MA_PRE3.pdf")));
    main_window::SetAbreDocumento(nullptr);
    utillib::MotorReportes::SetRenderer(nullptr);
}

}  // namespace
