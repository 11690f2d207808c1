#include "platform/utillib/error_box.h"
#include "platform/utillib/util_texto.h"

#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"
#include "platform/vb/files.h"
#include "support/test_support.h"

#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ErrorQuestion : public ::testing::Test {
protected:
    void SetUp() override {
        savedPath_ = vb::App().path;
        vb::SetAppPath(folder_.path());
        vb::SetClock([] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); });
    }
    void TearDown() override {
        vb::SetClock({});
        vb::SetAppPath(savedPath_);
    }
    QByteArray Log(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    testsupport::TempFolder folder_;
    QString savedPath_;
};

TEST_F(ErrorQuestion, TrataErrorAsksAndLogsInTheProgramFolder) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore);
    utillib::UtilTexto ut;
    const int r = ut.TrataError(vb::Error(13, QStringLiteral(" Type mismatch "), QStringLiteral("Korvane")),
                                std::nullopt, QStringLiteral("Cfg"));
    EXPECT_EQ(r, vb::kIgnore);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].prompt, QStringLiteral("Ha ocurrido el Siguiente Error (13) Type mismatch"));
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("Korvane - Cfg Aviso al operador!!! "));
    EXPECT_EQ(prompter.shown()[0].buttons, ui::vbAbortRetryIgnore + ui::vbCritical);
    EXPECT_EQ(
        Log(folder_.file(QStringLiteral("XKERR.LOG"))),
        vb::ToCp1252(QStringLiteral("03-05-2026 14:07:09 Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error (13) "
                                    "Type mismatch Respondió : Ignorar\r\n")));
}

TEST_F(ErrorQuestion, AnErrorOfTheProgramItselfNamesTheProgramInTheTitle) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort).answer(vb::kAbort);
    utillib::UtilTexto ut;
    ut.TrataError(vb::Error(13, QStringLiteral("Type mismatch")), std::nullopt, QStringLiteral("Cfg"));
    ut.TrataError(vb::Error(13, QStringLiteral("Type mismatch")));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].title, vb::App().title + QStringLiteral(" - Cfg Aviso al operador!!! "));
    EXPECT_EQ(prompter.shown()[1].title, vb::App().title + QStringLiteral(" Aviso al operador!!! "));
}

TEST_F(ErrorQuestion, AMessageOfSeveralLinesStaysOneLineOfTheLog) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore);
    const QString descripcion = QStringLiteral("ORA-01722: invalid number\r\nORA-06512: at line 1\n");
    EXPECT_EQ(utillib::PreguntaError(vb::Error(-2147217900, descripcion, QStringLiteral("OraOLEDB")), std::nullopt,
                                     QStringLiteral("Rutina\nDos")),
              vb::kIgnore);
    EXPECT_EQ(prompter.shown().at(0).prompt, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) ") + descripcion);
    EXPECT_EQ(Log(folder_.file(QStringLiteral("XKERR.LOG"))),
              vb::ToCp1252(QStringLiteral("03-05-2026 14:07:09 Rutina: - Rutina Dos Mensaje Ha ocurrido el Siguiente "
                                          "Error (-2147217900) ORA-01722: invalid number ORA-06512: at line 1  "
                                          "Respondió : Ignorar\r\n")));
}

// A program folder that does not take the log (an installed program's) leaves the line in the
// user's temporary folder.
TEST_F(ErrorQuestion, AProgramFolderThatCannotBeWrittenLogsInTheTemporaryFolder) {
    vb::SetAppPath(folder_.file(QStringLiteral("no/existe")));
    const QByteArray antes = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(folder_.path()));
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort);
    utillib::PreguntaError(vb::Error(75, QStringLiteral("Path/File access error")), std::nullopt, std::nullopt);
    antes.isNull() ? qunsetenv("TEMP") : qputenv("TEMP", antes);
    EXPECT_EQ(Log(folder_.file(QStringLiteral("XKERR.LOG"))),
              vb::ToCp1252(QStringLiteral("03-05-2026 14:07:09 Rutina:  Mensaje Ha ocurrido el Siguiente Error (75) "
                                          "Path/File access error Respondió : Abortar\r\n")));
}

// The program's last guard: an error that leaves a slot is shown and logged where Qt delivers the
// event, and the program goes on with the next events.
TEST_F(ErrorQuestion, AnErrorThatLeavesASlotIsShownLoggedAndTheProgramGoesOn) {
    ui::GuardedApplication::SetTreatment(utillib::AvisaErrorSinTratar);
    const int antes = ui::GuardedApplication::Escaped();
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kOk, QStringLiteral("Ha ocurrido el Siguiente Error (91) Object variable or With block variable not set"));
    prompter.answer(vb::kOk, QStringLiteral("Ha ocurrido el Siguiente Error (-2147467259) se cayó el temporizador"));
    prompter.answer(vb::kOk, QStringLiteral("Ha ocurrido el Siguiente Error (5) el comando"));
    // Two timers' slots raise, a vb::Error and another kind; the event loop runs on to the third.
    QEventLoop bucle;
    bool siguiente = false;
    QTimer::singleShot(0, [] { vb::Raise(vb::kErrObjectNotSet); });
    QTimer::singleShot(0, [] { throw std::runtime_error("se cayó el temporizador"); });
    QTimer::singleShot(0, [&] {
        siguiente = true;
        bucle.quit();
    });
    bucle.exec();
    // A window's command runs guarded: the button that raised answers the next click.
    QPushButton comando(QStringLiteral("Enviar"));
    int clics = 0;
    QObject::connect(&comando, &QPushButton::clicked, [&] {
        ui::GuardedApplication::RunGuarded([&] {
            if (++clics == 1) vb::Raise(vb::kErrInvalidProcedureCall, QStringLiteral("el comando"));
        });
    });
    comando.show();
    QTest::mouseClick(&comando, Qt::LeftButton);
    QTest::mouseClick(&comando, Qt::LeftButton);
    ui::GuardedApplication::SetTreatment(nullptr);

    EXPECT_TRUE(siguiente);
    EXPECT_EQ(clics, 2);
    EXPECT_TRUE(prompter.exhausted());
    ASSERT_EQ(prompter.shown().size(), 3u);
    EXPECT_EQ(prompter.shown()[0].buttons, ui::vbOKOnly + ui::vbCritical);
    EXPECT_EQ(ui::GuardedApplication::Escaped(), antes + 3);
    EXPECT_EQ(Log(folder_.file(QStringLiteral("XKERR.LOG"))),
              vb::ToCp1252(QStringLiteral("03-05-2026 14:07:09 Rutina:  Mensaje Ha ocurrido el Siguiente Error (91) Object "
                                          "variable or With block variable not set Respondió : \r\n"
                                          "03-05-2026 14:07:09 Rutina:  Mensaje Ha ocurrido el Siguiente Error (-2147467259) "
                                          "se cayó el temporizador Respondió : \r\n"
                                          "03-05-2026 14:07:09 Rutina:  Mensaje Ha ocurrido el Siguiente Error (5) el comando "
                                          "Respondió : \r\n")));
}

// A program folder that cannot be written: the line goes to XKERR.LOG of the user's own temporary
// folder, and never through a link planted there under that name.
TEST_F(ErrorQuestion, WithoutTheProgramFolderTheLogIsTheTemporaryFoldersNeverThroughALink) {
    vb::SetAppPath(folder_.file(QStringLiteral("no/existe")));
    const QByteArray temp = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(folder_.path()));
    ASSERT_TRUE(QFile::link(folder_.file(QStringLiteral("otro")), folder_.file(QStringLiteral("XKERR.LOG"))));
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore).answer(vb::kIgnore);
    utillib::PreguntaError(vb::Error(13, QStringLiteral("uno")), std::nullopt, std::nullopt);
    EXPECT_FALSE(QFile::exists(folder_.file(QStringLiteral("otro"))));
    QFile::remove(folder_.file(QStringLiteral("XKERR.LOG")));
    utillib::PreguntaError(vb::Error(13, QStringLiteral("dos")), std::nullopt, std::nullopt);
    EXPECT_TRUE(Log(folder_.file(QStringLiteral("XKERR.LOG"))).contains("(13) dos"));
    temp.isNull() ? qunsetenv("TEMP") : qputenv("TEMP", temp);
}

}  // namespace
