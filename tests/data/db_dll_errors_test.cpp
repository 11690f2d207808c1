// The error treatment of DB_Dll: the box, its answer and the line of the error log.
#include "data/db_dll.h"

#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"
#include "platform/vb/files.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class TratamientoErroresTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedPath_ = vb::App().path;
        vb::SetAppPath(folder_.path());
        vb::SetClock([] { return QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3)); });
    }
    void TearDown() override {
        vb::SetClock({});
        vb::SetAppPath(savedPath_);
    }
    static QByteArray Contenido(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Log() const { return folder_.file(QStringLiteral("XKERR.LOG")); }

    testsupport::TempFolder folder_;
    QString savedPath_;
    data::DB_Dll db_;
};

TEST_F(TratamientoErroresTest, RetryIsShownAnsweredAndLogged) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kRetry);
    const int r = db_.TratamientoErrores(vb::Error(3219, QStringLiteral("Operation is not allowed in this context. "),
                                                   QStringLiteral("ADODB.Recordset")),
                                         std::nullopt, QStringLiteral("CierraRecordset"));
    EXPECT_EQ(r, vb::kRetry);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const auto& box = prompter.shown()[0];
    EXPECT_EQ(box.prompt,
              QStringLiteral("Ha ocurrido el Siguiente Error (3219) Operation is not allowed in this context."));
    EXPECT_EQ(box.title, QStringLiteral("ADODB.Recordset - CierraRecordset Aviso al operador!!! "));
    EXPECT_EQ(box.buttons, 18);
    EXPECT_EQ(Contenido(Log()),
              vb::ToCp1252(
                  QStringLiteral("12-08-2026 09:05:03 Rutina: - CierraRecordset Mensaje Ha ocurrido el Siguiente "
                                 "Error (3219) Operation is not allowed in this context. Respondió : Reintentar\r\n")));
}

TEST_F(TratamientoErroresTest, LinesAccumulateWithTheAnswerWords) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore).answer(vb::kAbort).answer(vb::kOk);
    db_.TratamientoErrores(vb::Error(-2147217900, QStringLiteral("Sintaxis"), QStringLiteral("S")), std::nullopt,
                           QStringLiteral("errAddField"));
    db_.TratamientoErrores(vb::Error(5, QStringLiteral("X"), QStringLiteral("S")));
    EXPECT_EQ(db_.TratamientoErrores(vb::Error(6, QStringLiteral("Overflow"), QStringLiteral("S")), 0), vb::kOk);

    EXPECT_EQ(prompter.shown()[0].prompt, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) Sintaxis"));
    EXPECT_EQ(prompter.shown()[1].title, QStringLiteral("S Aviso al operador!!! "));
    EXPECT_EQ(prompter.shown()[2].buttons, 0);
    const QList<QByteArray> lineas = Contenido(Log()).split('\n');
    ASSERT_EQ(lineas.size(), 4);
    EXPECT_TRUE(lineas[0].endsWith(
        "- errAddField Mensaje Ha ocurrido el Siguiente Error (-2147217900) Sintaxis Respondi\xf3 : Ignorar\r"));
    EXPECT_EQ(
        lineas[1],
        QByteArray(
            "12-08-2026 09:05:03 Rutina:  Mensaje Ha ocurrido el Siguiente Error (5) X Respondi\xf3 : Abortar\r"));
    EXPECT_TRUE(lineas[2].endsWith("Respondi\xf3 : \r"));
    EXPECT_TRUE(lineas[3].isEmpty());
}

TEST_F(TratamientoErroresTest, ErrorZeroDoesNothing) {
    ui::ScriptedPrompter prompter;
    EXPECT_EQ(db_.TratamientoErrores(vb::Error(0, QString()), std::nullopt, QStringLiteral("X")), 0);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(QFile::exists(Log()));
}

TEST_F(TratamientoErroresTest, ArchivoErroresRedirectsTheLog) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore);
    const QString otro = folder_.file(QStringLiteral("errores.txt"));
    db_.setArchivoErrores(vb::Variant(otro));
    EXPECT_EQ(db_.ArchivoErrores().toString(), otro);
    db_.TratamientoErrores(vb::Error(9, QStringLiteral("Subscript out of range")));
    EXPECT_FALSE(QFile::exists(Log()));
    EXPECT_TRUE(Contenido(otro).endsWith("Respondi\xf3 : Ignorar\r\n"));
}

TEST_F(TratamientoErroresTest, AProgramFolderEndingInASeparatorGetsNoDoubleOne) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kIgnore);
    vb::SetAppPath(folder_.path() + QStringLiteral("/"));
    db_.TratamientoErrores(vb::Error(9, QStringLiteral("X")));
    EXPECT_TRUE(QFile::exists(Log()));
}

TEST_F(TratamientoErroresTest, AnUnwritableLogStillReturnsTheAnswer) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kRetry);
    db_.setArchivoErrores(vb::Variant(folder_.file(QStringLiteral("falta/XKERR.LOG"))));
    EXPECT_EQ(db_.TratamientoErrores(vb::Error(53, QStringLiteral("File not found"))), vb::kRetry);
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_FALSE(QDir(folder_.file(QStringLiteral("falta"))).exists());
}

}  // namespace
