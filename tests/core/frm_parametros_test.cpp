// Window values kept in the ".PRM" files of the temporary folder.
#include "core/frm_parametros.h"
#include "core/mod_global.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/otro_usuario.h"
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
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t Modo(const QString& ruta) {
    struct stat st {};
    return ::stat(QFile::encodeName(ruta).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

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
    EXPECT_EQ(Modo(Archivo(QStringLiteral("B"))), 0600u);
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

// The variables that name the temporary folder, as they were before the test.
struct Variables {
    const char* nombres[6] = {"TEMP", "TMP", "TMPDIR", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "HOME"};
    QByteArray valores[6];
    Variables() {
        for (int i = 0; i < 6; ++i) valores[i] = qgetenv(nombres[i]);
    }
    ~Variables() {
        for (int i = 0; i < 6; ++i) valores[i].isNull() ? qunsetenv(nombres[i]) : qputenv(nombres[i], valores[i]);
    }
};

// With no variable naming a temporary folder (a Linux desktop), the fields go to a folder of the
// program's that only the user can enter, in the user's cache folder, else in the runtime folder;
// one found open to others is closed again.
TEST_F(FrmParametrosTest, WithoutTemporaryVariablesTheFieldsGoToAFolderOfTheUsersOwn) {
    const Variables guarda;
    for (const char* v : {"TEMP", "TMP", "TMPDIR", "XDG_RUNTIME_DIR"}) qunsetenv(v);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(carpeta.file(QStringLiteral("cache"))));
    Ventana v;
    v.TxtServer->setText(QStringLiteral("/srv/korvane"));
    core::GuardaParametrosFormulario(&v.form);
    const QString propia = carpeta.file(QStringLiteral("cache/korvane"));
    EXPECT_EQ(core::ArchivoParametros(&v.form, QString()), propia + QStringLiteral("/FrmPrueba.PRM"));
    EXPECT_TRUE(QFileInfo::exists(propia + QStringLiteral("/FrmPrueba.PRM")));
    EXPECT_EQ(Modo(propia), 0700u);
    Ventana w;
    core::RecuperaParametrosFormulario(&w.form);
    EXPECT_EQ(w.TxtServer->text(), QStringLiteral("/srv/korvane"));

    qunsetenv("XDG_CACHE_HOME");   // no cache variable: ~/.cache
    qputenv("HOME", QFile::encodeName(carpeta.file(QStringLiteral("casa"))));
    EXPECT_EQ(core::gInfoEstacion().CarpetaTemporal(), carpeta.file(QStringLiteral("casa/.cache/korvane")));
    EXPECT_EQ(Modo(carpeta.file(QStringLiteral("casa/.cache/korvane"))), 0700u);

    // A cache folder that cannot be made: the runtime folder; the program's folder there, found
    // open to others, is closed again.
    QFile archivo(carpeta.file(QStringLiteral("no_es_carpeta")));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(archivo.fileName()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(carpeta.file(QStringLiteral("cache"))));
    ASSERT_EQ(::chmod(QFile::encodeName(propia).constData(), 0777), 0);
    EXPECT_EQ(core::gInfoEstacion().CarpetaTemporal(), propia);
    EXPECT_EQ(Modo(propia), 0700u);
}

// A file planted in a folder that others can write is not read (nor is one written there), and
// neither is a folder or a file of the user's reached through a link.
TEST_F(FrmParametrosTest, AFilePlantedWhereOthersCanWriteIsNotRead) {
    const Variables guarda;
    const QString compartida = carpeta.file(QStringLiteral("compartida"));
    ASSERT_TRUE(QDir().mkpath(compartida));
    ASSERT_EQ(::chmod(QFile::encodeName(compartida).constData(), 01777), 0);   // as /tmp
    qputenv("TEMP", QFile::encodeName(compartida));
    const QString plantado = compartida + QStringLiteral("/FrmPrueba.PRM");
    QFile f(plantado);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Registro(QStringLiteral("TxtServer"), QStringLiteral("/home/otro/bases")));
    f.write(Registro(QStringLiteral("OptTipo2"), QStringLiteral("True")));
    f.close();
    Ventana v;
    v.TxtServer->setText(QStringLiteral("del texto de parametros"));
    core::RecuperaParametrosFormulario(&v.form);
    EXPECT_EQ(v.TxtServer->text(), QStringLiteral("del texto de parametros"));
    EXPECT_TRUE(v.OptTipo[0]->isChecked());
    core::GuardaParametrosFormulario(&v.form);
    EXPECT_EQ(QFileInfo(plantado).size(), 2 * 281);   // left as it was

    // The user's own folder, or the user's own file, reached through a link: not read.
    const QString propia = carpeta.file(QStringLiteral("propia")), otra = carpeta.file(QStringLiteral("otra"));
    ASSERT_TRUE(QDir().mkdir(propia) && QDir().mkdir(otra) && QFile::copy(plantado, propia + QStringLiteral("/FrmPrueba.PRM")) &&
                QFile::link(propia + QStringLiteral("/FrmPrueba.PRM"), otra + QStringLiteral("/FrmPrueba.PRM")) &&
                QFile::link(propia, carpeta.file(QStringLiteral("enlace"))));
    for (const QString& ruta : {propia, otra, propia + QStringLiteral("/FrmPrueba.PRM")}) ::chmod(QFile::encodeName(ruta).constData(), 0700);
    for (const QString& temporal : {carpeta.file(QStringLiteral("enlace")), otra}) {
        qputenv("TEMP", QFile::encodeName(temporal));
        core::RecuperaParametrosFormulario(&v.form);
        EXPECT_EQ(v.TxtServer->text(), QStringLiteral("del texto de parametros")) << temporal.toStdString();
    }
}

// A file of another user's in the user's own folder is not read (only root can give one away; the
// owner check runs for every user on a folder "of another user's" below).
TEST_F(FrmParametrosTest, AFileOfAnotherUserInTheUsersFolderIsNotRead) {
    QFile f(Archivo());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(Registro(QStringLiteral("TxtServer"), QStringLiteral("otro"))) == 281);
    f.close();
    if (::chown(QFile::encodeName(Archivo()).constData(), ::geteuid() + 1, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "giving the file to another user needs root";
    Ventana v;
    core::RecuperaParametrosFormulario(&v.form);
    EXPECT_TRUE(v.TxtServer->text().isEmpty());
}

ino_t Inodo(const QString& ruta) {
    struct stat st {};
    return ::stat(QFile::encodeName(ruta).constData(), &st) == 0 ? st.st_ino : 0;
}

// The saved fields are read only where no one but the user could have written them: not from a
// folder the group may write, nor from a file the group or others may write, nor from a folder of
// another user's. The save leaves a new file that only the user may read or write, whatever the
// old one's mode.
TEST_F(FrmParametrosTest, SavedFieldsAreReadOnlyFromTheUsersOwnFilesAndSavedForTheUserAlone) {
    const auto planta = [](const QString& archivo, mode_t modo) {
        QFile::remove(archivo);   // one left read-only by the case before
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Registro(QStringLiteral("TxtServer"), QStringLiteral("/home/otro/bases")));
        f.write(Registro(QStringLiteral("OptTipo2"), QStringLiteral("True")));
        f.close();
        ASSERT_EQ(::chmod(QFile::encodeName(archivo).constData(), modo), 0);
    };
    // A folder the group shares: a file there is neither read nor written, whatever its mode.
    const QString deGrupo = carpeta.file(QStringLiteral("grupo"));
    ASSERT_TRUE(QDir().mkpath(deGrupo));
    ASSERT_EQ(::chmod(QFile::encodeName(deGrupo).constData(), 0770), 0);
    qputenv("TEMP", QFile::encodeName(deGrupo));
    planta(deGrupo + QStringLiteral("/FrmPrueba.PRM"), 0600);
    Ventana v;
    v.TxtServer->setText(QStringLiteral("diseño"));
    core::RecuperaParametrosFormulario(&v.form);
    EXPECT_EQ(v.TxtServer->text(), QStringLiteral("diseño"));
    EXPECT_TRUE(v.OptTipo[0]->isChecked());
    core::GuardaParametrosFormulario(&v.form);
    EXPECT_EQ(QFileInfo(deGrupo + QStringLiteral("/FrmPrueba.PRM")).size(), 2 * 281);

    // The user's own folder: a file is read only when neither the group nor others may write it;
    // the save puts a new file of mode 0600 in its place.
    qputenv("TEMP", QFile::encodeName(carpeta.path()));
    for (const mode_t modo : {0600, 0644, 0660, 0666, 0620, 0602, 0777, 0400, 0444}) {
        planta(Archivo(), modo);
        Ventana w;
        w.TxtServer->setText(QStringLiteral("diseño"));
        core::RecuperaParametrosFormulario(&w.form);
        const bool leido = (modo & 022) == 0;
        EXPECT_EQ(w.TxtServer->text(), leido ? QStringLiteral("/home/otro/bases") : QStringLiteral("diseño")) << std::oct << modo;
        EXPECT_EQ(w.OptTipo[2]->isChecked(), leido) << std::oct << modo;
        const ino_t plantado = Inodo(Archivo());
        w.TxtServer->setText(QStringLiteral("guardado"));
        core::GuardaParametrosFormulario(&w.form);
        EXPECT_EQ(Modo(Archivo()), 0600u) << std::oct << modo;
        EXPECT_NE(Inodo(Archivo()), plantado) << std::oct << modo;
        Ventana x;
        core::RecuperaParametrosFormulario(&x.form);
        EXPECT_EQ(x.TxtServer->text(), QStringLiteral("guardado")) << std::oct << modo;
    }

    // The same folder and file as another user's: neither read nor written.
    {
        const testsupport::OtroUsuario otro;
        Ventana y;
        core::RecuperaParametrosFormulario(&y.form);
        EXPECT_TRUE(y.TxtServer->text().isEmpty());
        y.TxtServer->setText(QStringLiteral("del otro"));
        core::GuardaParametrosFormulario(&y.form);
    }
    Ventana z;
    core::RecuperaParametrosFormulario(&z.form);
    EXPECT_EQ(z.TxtServer->text(), QStringLiteral("guardado"));
}

}  // namespace
