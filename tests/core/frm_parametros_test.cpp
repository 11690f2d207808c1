// Window values kept in the ".PRM" files of the temporary folder.
#include "core/frm_parametros.h"
#include "core/mod_global.h"
#include "platform/ui/prompter.h"
#include "platform/vb/files.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window with each kind of saved control, control arrays included.
struct Ventana {
    QWidget form;
    QLineEdit* TxtServer;
    QLineEdit* lblRuta;
    QLineEdit* txtfields[2];
    QCheckBox* ChkTodos;
    QRadioButton* OptTipo[3];
    QComboBox* CboLista;

    Ventana() {
        form.setObjectName(QStringLiteral("FrmPrueba"));
        TxtServer = Hijo<QLineEdit>(QStringLiteral("TxtServer"));
        lblRuta = Hijo<QLineEdit>(QStringLiteral("lblRuta"));
        for (int i = 0; i < 2; ++i) txtfields[i] = Hijo<QLineEdit>(QStringLiteral("txtfields"), i);
        ChkTodos = Hijo<QCheckBox>(QStringLiteral("ChkTodos"));
        for (int i = 0; i < 3; ++i) OptTipo[i] = Hijo<QRadioButton>(QStringLiteral("OptTipo"), i);
        CboLista = Hijo<QComboBox>(QStringLiteral("CboLista"));
        CboLista->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        CboLista->setEditable(true);   // its inner line edit is not a control of the window
        OptTipo[0]->setChecked(true);
    }
    template <class W>
    W* Hijo(const QString& nombre, int indice = -1) {
        auto* w = new W(&form);
        w->setObjectName(nombre);
        if (indice >= 0) w->setProperty("Index", indice);
        return w;
    }
};

class FrmParametrosTest : public ::testing::Test {
protected:
    void SetUp() override {
        antes = qgetenv("TEMP");
        qputenv("TEMP", carpeta.path().toLocal8Bit());
    }
    void TearDown() override {
        if (antes.isNull()) qunsetenv("TEMP");
        else qputenv("TEMP", antes);
    }
    QString Archivo(const QString& sufijo = QString()) const {
        return carpeta.path() + QStringLiteral("/FrmPrueba") + sufijo + QStringLiteral(".PRM");
    }
    QByteArray Contenido(const QString& sufijo = QString()) const {
        QFile f(Archivo(sufijo));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray Registro(const QString& clave, const QString& valor) {
        return vb::FixedText(clave, 25) + vb::FixedText(valor, 254) + "\r\n";
    }

    testsupport::TempFolder carpeta;
    QByteArray antes;
};

TEST_F(FrmParametrosTest, SavesOneRecordPerControlAndRestoresThem) {
    Ventana v;
    v.TxtServer->setText(QStringLiteral("  tcp/SRV:1433  "));
    v.lblRuta->setText(QStringLiteral("korvane_interfases"));
    v.txtfields[0]->setText(QStringLiteral("00000015"));
    v.txtfields[1]->setText(QString(300, u'x'));
    v.ChkTodos->setChecked(true);
    v.OptTipo[2]->setChecked(true);
    v.CboLista->setCurrentIndex(2);
    core::GuardaParametrosFormulario(&v.form, QString());

    const QByteArray c = Contenido();
    ASSERT_EQ(c.size(), 9 * 281);
    EXPECT_EQ(c.left(281), Registro(QStringLiteral("TxtServer"), QStringLiteral("  tcp/SRV:1433  ")));
    EXPECT_EQ(c.mid(2 * 281, 281), Registro(QStringLiteral("txtfields0"), QStringLiteral("00000015")));
    EXPECT_EQ(c.mid(7 * 281, 281), Registro(QStringLiteral("OptTipo2"), QStringLiteral("True")));

    Ventana w;   // design-time values
    core::RecuperaParametrosFormulario(&w.form);
    EXPECT_EQ(w.TxtServer->text(), QStringLiteral("tcp/SRV:1433"));   // blanks around are lost
    EXPECT_EQ(w.lblRuta->text(), QStringLiteral("korvane_interfases"));
    EXPECT_EQ(w.txtfields[0]->text(), QStringLiteral("00000015"));
    EXPECT_EQ(w.txtfields[1]->text(), QString(254, u'x'));            // cut at 254
    EXPECT_TRUE(w.ChkTodos->isChecked());
    EXPECT_FALSE(w.OptTipo[0]->isChecked());
    EXPECT_FALSE(w.OptTipo[1]->isChecked());
    EXPECT_TRUE(w.OptTipo[2]->isChecked());
    EXPECT_EQ(w.CboLista->currentIndex(), 2);
}

TEST_F(FrmParametrosTest, FirstStartCreatesAnEmptyFileAndRestoresNothing) {
    Ventana v;
    v.TxtServer->setText(QStringLiteral("diseño"));
    core::RecuperaParametrosFormulario(&v.form, QStringLiteral("B"));
    EXPECT_EQ(v.TxtServer->text(), QStringLiteral("diseño"));
    EXPECT_TRUE(QFileInfo::exists(Archivo(QStringLiteral("B"))));
    EXPECT_EQ(QFileInfo(Archivo(QStringLiteral("B"))).size(), 0);
}

TEST_F(FrmParametrosTest, FirstRecordWinsAPartialLastRecordIsNotReadAndKeysMatchWhole) {
    QFile f(Archivo());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Registro(QStringLiteral("txtfields1"), QStringLiteral("primero")));
    f.write(Registro(QStringLiteral("TXTFIELDS1"), QStringLiteral("segundo")));
    f.write(Registro(QStringLiteral("OptTipo1"), QStringLiteral("Verdadero")));
    f.write(Registro(QStringLiteral("CboLista"), QStringLiteral("7")));      // outside the list: not restored
    f.write(Registro(QStringLiteral("ChkTodos"), QStringLiteral("1")).left(200));   // partial
    f.close();
    Ventana v;
    core::RecuperaParametrosFormulario(&v.form);
    EXPECT_EQ(v.txtfields[1]->text(), QStringLiteral("primero"));
    EXPECT_TRUE(v.OptTipo[1]->isChecked());
    EXPECT_FALSE(v.OptTipo[0]->isChecked());
    EXPECT_EQ(v.CboLista->currentIndex(), 0);
    EXPECT_FALSE(v.ChkTodos->isChecked());
}

TEST_F(FrmParametrosTest, AListIndexOutsideTheListIsNotRestored) {
    for (const char* valor : {"7", "-2", "4294967298", "-4294967296", "1e300", "-1e300"}) {
        QFile f(Archivo());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Registro(QStringLiteral("CboLista"), QString::fromLatin1(valor)));
        f.close();
        Ventana v;
        v.CboLista->setCurrentIndex(1);
        core::RecuperaParametrosFormulario(&v.form);
        EXPECT_EQ(v.CboLista->currentIndex(), 1) << valor;
    }
}

TEST_F(FrmParametrosTest, OnlyTheNamedControlIsRestored) {
    Ventana v;
    v.TxtServer->setText(QStringLiteral("guardado"));
    v.OptTipo[1]->setChecked(true);
    core::GuardaParametrosFormulario(&v.form);
    Ventana w;
    core::RecuperaParametrosFormulario(&w.form, QString(), QStringLiteral("opttipo1"));
    EXPECT_TRUE(w.OptTipo[1]->isChecked());
    EXPECT_TRUE(w.TxtServer->text().isEmpty());
}

TEST_F(FrmParametrosTest, SavingReplacesTheWholeFile) {
    QFile f(Archivo());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 20; ++i) f.write(Registro(QStringLiteral("Viejo%1").arg(i), QStringLiteral("v")));
    f.close();
    Ventana v;
    core::GuardaParametrosFormulario(&v.form);
    const QByteArray c = Contenido();
    EXPECT_EQ(c.size(), 9 * 281);
    EXPECT_FALSE(c.contains("Viejo"));
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(carpeta.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(FrmParametrosTest, LongKeysAreCutAndNeverMatchAgain) {
    QWidget form;
    form.setObjectName(QStringLiteral("FrmPrueba"));
    auto* largo = new QLineEdit(&form);
    largo->setObjectName(QStringLiteral("TxtUnNombreDeControlMuyLargo"));
    largo->setText(QStringLiteral("valor"));
    core::GuardaParametrosFormulario(&form);
    EXPECT_TRUE(Contenido().startsWith(vb::FixedText(QStringLiteral("TxtUnNombreDeControlMuyLa"), 25)));
    largo->clear();
    core::RecuperaParametrosFormulario(&form);
    EXPECT_TRUE(largo->text().isEmpty());
}

TEST_F(FrmParametrosTest, AFolderThatCannotBeWrittenIsReported) {
    qputenv("TEMP", (carpeta.path() + QStringLiteral("/no/existe")).toLocal8Bit());
    ui::ScriptedPrompter prompter;
    prompter.answer(1, QStringLiteral("FrmPrueba.PRM"));
    Ventana v;
    core::GuardaParametrosFormulario(&v.form);
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_EQ(prompter.shown().at(0).buttons, ui::vbOKOnly);
}

}  // namespace
