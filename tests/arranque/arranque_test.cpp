// The program's start as main() runs it: the command line read, what it installs, the window loaded
// on a parameter text or on a demo folder, and what the operator then sees and sends.
#include "arranque/arranque.h"

#include "core/consultas_iface.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lookup/lib_cls_cons3.h"
#include "main_window/frm_korvane01.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/ui/status_bar.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "sender/frm_status.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ArranqueTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reinicia();
        vb::SetAppPath(tmp.file(QStringLiteral("programa")));
        QDir().mkpath(vb::App().path);
        temporal = tmp.file(QStringLiteral("temporal"));
        QDir().mkpath(temporal);
        QFile::setPermissions(temporal, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        antesTemp = qgetenv("TEMP");
        qputenv("TEMP", QFile::encodeName(temporal));
        main_window::FrmKorvane01::SetFinPrograma([] {});
        actual = QDir::currentPath();
    }
    void TearDown() override {
        ventana.reset();
        Reinicia();
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        ui::GuardedApplication::SetTreatment(nullptr);
        utillib::MotorReportes::SetRenderer(nullptr);
        vb::SetDoEventsHook(nullptr);
        core::SetLineaComando(QString());
        antesTemp.isNull() ? qunsetenv("TEMP") : qputenv("TEMP", antesTemp);
        QDir::setCurrent(actual);   // a picture run moves it
    }
    // What one run of the program leaves behind is gone, as when the program ends.
    static void Reinicia() {
        sender::DestroyFrmStatus();
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
        core::ResetConsultas();
    }
    // The program started with these arguments, as main() starts it, up to its window loaded.
    void Arranca(const QStringList& argumentos) {
        inicio = arranque::LeeLinea(argumentos);
        ASSERT_TRUE(inicio);
        arranque::Instala(cajas);
        ASSERT_TRUE(arranque::PreparaDemo(*inicio));
        ventana = arranque::AbreVentana(*inicio);
        ASSERT_TRUE(ventana);
    }
    // Salir, and the program's end.
    void Sale() {
        ventana->CmdCerrar_Click();
        ventana.reset();
        Reinicia();
    }
    // Every file of a folder with its content's hash: what a start elsewhere must leave as it is.
    static QStringList Huella(const QString& carpeta) {
        QStringList r;
        for (QDirIterator it(carpeta, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("no se lee ") + f.fileName()};
            r << f.fileName() + u' ' + QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
        }
        r.sort();
        return r;
    }
    static long Filas(const QString& carpeta, const QString& base, const QString& tabla) {
        const ado::ConnectionPtr cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(carpeta, base));
        const long n = testsupport::Count(cn, tabla);
        cn->Close();
        return n;
    }

    testsupport::TempFolder tmp;
    QString temporal;
    QByteArray antesTemp;
    QString actual;
    ui::ScriptedPrompter cajas;   // a box no test expects fails the test
    std::optional<arranque::Inicio> inicio;   // the last start's
    std::unique_ptr<main_window::FrmKorvane01> ventana;
};

TEST_F(ArranqueTest, CommandLines) {
    const auto lee = [](QStringList a) { return arranque::LeeLinea(a); };
    EXPECT_EQ(lee({QStringLiteral("@Server=S;@DbName=B")})->parametros, QStringLiteral("@Server=S;@DbName=B"));
    EXPECT_EQ(lee({QStringLiteral("@Server=S;"), QStringLiteral("@DbName=B")})->parametros,
              QStringLiteral("@Server=S; @DbName=B"));   // a text the shell split
    EXPECT_TRUE(lee({})->parametros.isEmpty());
    const auto demo = lee({QStringLiteral("--demo"), QStringLiteral("d"), QStringLiteral("--capturas"), QStringLiteral("c")});
    ASSERT_TRUE(demo);
    EXPECT_EQ(demo->demo, QDir::current().absoluteFilePath(QStringLiteral("d")));
    EXPECT_EQ(demo->capturas, QDir::current().absoluteFilePath(QStringLiteral("c")));
    // Malformed: the usage is written and the program does not start.
    for (const QStringList& mal : {QStringList{QStringLiteral("--demo")}, QStringList{QStringLiteral("--demo"), QString()},
                                   QStringList{QStringLiteral("--demo"), QStringLiteral("d"), QStringLiteral("x")},
                                   QStringList{QStringLiteral("--demo"), QStringLiteral("d"), QStringLiteral("--capturas")}})
        EXPECT_FALSE(lee(mal)) << qPrintable(mal.join(u' '));
}

// What main() installs: an error that leaves an event handler is shown and logged and the program
// goes on; the waits' event pump lets the window's events through; the lookups are the program's.
TEST_F(ArranqueTest, WhatTheProgramInstallsBeforeItsWindow) {
    arranque::Instala(cajas);
    EXPECT_EQ(&ui::CurrentPrompter(), &cajas);
    EXPECT_NE(dynamic_cast<lookup::Lib_ClsCons3*>(&core::gConsultas()), nullptr);

    bool entregado = false;
    QTimer::singleShot(0, [&] { entregado = true; });
    vb::DoEvents();   // what a wait for another station runs between its slices
    EXPECT_TRUE(entregado);

    cajas.answer(vb::kOk, QStringLiteral("Ha ocurrido el Siguiente Error (91)"));
    QEventLoop bucle;
    QTimer::singleShot(0, [] { vb::Raise(vb::kErrObjectNotSet); });
    QTimer::singleShot(0, [&] { bucle.quit(); });
    bucle.exec();
    EXPECT_TRUE(cajas.exhausted());
    QFile log(QDir(vb::App().path).filePath(QStringLiteral("XKERR.LOG")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Ha ocurrido el Siguiente Error (91)"));
}

// The parameter text as the README writes it, its last item without ";": the till given is the
// station's, shown in the status bar and added to the head office's tills.
TEST_F(ArranqueTest, TheLastItemOfTheParameterTextIsTaken) {
    const QString bases = tmp.file(QStringLiteral("bases"));
    std::optional<arranque::Inicio> demo = arranque::LeeLinea({QStringLiteral("--demo"), bases});
    ASSERT_TRUE(demo && arranque::PreparaDemo(*demo));
    ASSERT_NO_FATAL_FAILURE(Arranca(
        {QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=sa;@Password=;@UsuarioLogeado=ana;@Caja=7").arg(bases)}));
    EXPECT_EQ(core::gCaja, QStringLiteral("7"));
    EXPECT_EQ(ventana->sbStatusBar->Text(QStringLiteral("CAJA")), QStringLiteral("7 CAJA 7"));
    EXPECT_EQ(testsupport::Scalar(data::gDBPrincipal().gCnn(),
                                  QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas WHERE DESCRIPCION = 'CAJA 7'"))
                  .toLong(),
              1);
}

// Two demo folders, one after the other, by one user: each start works on its own folder's files,
// whatever the one before saved in the window's fields.
TEST_F(ArranqueTest, EachDemoFolderSendsIntoItsOwnFiles) {
    const QString a = tmp.file(QStringLiteral("A"));
    const QString b = tmp.file(QStringLiteral("B"));
    ASSERT_NO_FATAL_FAILURE(Arranca({QStringLiteral("--demo"), a}));
    EXPECT_EQ(ventana->TxtServer->text(), a);
    ventana->lblRuta->setText(QStringLiteral("OTRA_BASE"));
    Sale();   // the fields are saved, A's server and another database among them
    const QStringList huellaA = Huella(a);

    ASSERT_NO_FATAL_FAILURE(Arranca({QStringLiteral("--demo"), b}));
    const long transmisiones = Filas(b, QStringLiteral("VOLMA"), QStringLiteral("MV_NOVEDADESPRECIOS"));
    EXPECT_EQ(ventana->TxtServer->text(), b);
    EXPECT_EQ(ventana->lblRuta->text(), QStringLiteral("KORVANE_INTERFASES"));
    cajas.answer(vb::kYes, QStringLiteral("seguro de continuar"));
    cajas.answer(vb::kOk, QStringLiteral("Proceso Finalizado"));
    ventana->CmdEnviar_Click();
    EXPECT_TRUE(cajas.exhausted());
    Sale();

    EXPECT_GT(Filas(b, QStringLiteral("KORVANE_INTERFASES"), QStringLiteral("IMPONOVARTI")), 0);
    EXPECT_EQ(Filas(b, QStringLiteral("VOLMA"), QStringLiteral("MV_NOVEDADESPRECIOS")), transmisiones + 1);
    EXPECT_EQ(Huella(a), huellaA);
    EXPECT_EQ(Filas(a, QStringLiteral("KORVANE_INTERFASES"), QStringLiteral("IMPONOVARTI")), 0);

    // B's interface file deleted: the next start makes that file alone; B's head office keeps the send.
    ASSERT_TRUE(QFile::remove(b + QStringLiteral("/korvane_interfases.sqlite")));
    ASSERT_NO_FATAL_FAILURE(Arranca({QStringLiteral("--demo"), b}));
    Sale();
    EXPECT_EQ(Filas(b, QStringLiteral("VOLMA"), QStringLiteral("MV_NOVEDADESPRECIOS")), transmisiones + 1);
    EXPECT_EQ(Filas(b, QStringLiteral("KORVANE_INTERFASES"), QStringLiteral("IMPONOVARTI")), 0);
}

// A picture run whose pictures' folder holds the demo folder (`--demo P/demo --capturas P`) works
// on a copy of its own, removed after it, and leaves the demo folder as it was.
TEST_F(ArranqueTest, APictureRunLeavesTheDemoFolderAsItWas) {
    const QString p = tmp.file(QStringLiteral("P")), demo = p + QStringLiteral("/demo");
    std::optional<arranque::Inicio> antes = arranque::LeeLinea({QStringLiteral("--demo"), demo});
    ASSERT_TRUE(antes && arranque::PreparaDemo(*antes));
    const QStringList huella = Huella(demo);
    ASSERT_NO_FATAL_FAILURE(Arranca({QStringLiteral("--demo"), demo, QStringLiteral("--capturas"), p}));
    EXPECT_EQ(arranque::Ejecuta(*inicio, *ventana), 0);
    EXPECT_EQ(Huella(demo), huella);
    EXPECT_EQ(QDir(p).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("demo")});
}

}  // namespace
