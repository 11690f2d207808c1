// Start-up: the parameter text, the station settings, the head-office login and what start-up
// leaves behind (configuration, lookup builder, "consultas.qvd").
#include "core/consultas_iface.h"
#include "core/consultas_qvd.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "core_db.h"
#include "data/db_dll.h"
#include "data/frm_acceso.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/app.h"
#include "platform/vb/files.h"
#include "platform/vb/on_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(ParametrosInicio, KeysValuesAndAbsentKeys) {
    struct Caso {
        const char* texto;
        core::ParametrosInicio esperado;
    };
    const Caso casos[] = {
        {"@Server=tcp/HOST1:1433;@DbName= ERP ;@Caja=3;", {"", "", "tcp/HOST1:1433", "ERP", "", "", "", "3"}},
        {"", {"", "", "", "", "", "", "", "1"}},
        {"@server = SRV ; @DBNAME=Base;", {"", "", "SRV", "Base", "", "", "", "1"}},              // any case, blanks
        {"@Server=S;@Usuario=sa;@Password=se=cr=eto;", {"", "", "S", "", "sa", "secreto", "", "1"}},  // "=" removed
        // The last item needs no ";": its value ends with the text, whichever key it is.
        {"@Server=S;@Password=abc", {"", "", "S", "", "", "abc", "", "1"}},
        {"@Server=S;@Caja=7", {"", "", "S", "", "", "", "", "7"}},
        {"@Caja=2;@Server= S2 ", {"", "", "S2", "", "", "", "", "2"}},
        {"@Server=S;@DbName=VOLMA", {"", "", "S", "VOLMA", "", "", "", "1"}},
        {"@Server=S;@Usuario=sa", {"", "", "S", "", "sa", "", "", "1"}},
        {"@Server=S;@UsuarioLogeado=ana", {"", "", "S", "", "", "", "ana", "1"}},
        {"@Server=S;@Menu=M2", {"", "M2", "S", "", "", "", "", "1"}},
        {"@Server=S;@ParametroAdicional=X", {"X", "", "S", "", "", "", "", "1"}},
        {"@Server=S;@Caja=", {"", "", "S", "", "", "", "", ""}},   // given empty: empty, not "1"
        {"@UsuarioLogeado=pepe;@Usuario=sa;", {"", "", "", "", "sa", "", "pepe", "1"}},           // whole keys
        {"@UsuarioLogeado=pepe;", {"", "", "", "", "", "", "pepe", "1"}},
        {"@Menu=M1;@ParametroAdicional=X;@Server=#ORA;", {"X", "M1", "#ORA", "", "", "", "", "1"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto);
        const core::ParametrosInicio p = core::LeeParametros(QString::fromUtf8(c.texto));
        EXPECT_EQ(p.ParametroAdicional, c.esperado.ParametroAdicional);
        EXPECT_EQ(p.Menu, c.esperado.Menu);
        EXPECT_EQ(p.Servidor, c.esperado.Servidor);
        EXPECT_EQ(p.DbName, c.esperado.DbName);
        EXPECT_EQ(p.Usuario, c.esperado.Usuario);
        EXPECT_EQ(p.Password, c.esperado.Password);
        EXPECT_EQ(p.UsuarioLogeado, c.esperado.UsuarioLogeado);
        EXPECT_EQ(p.Caja, c.esperado.Caja);
    }
}

TEST(ParametrosInicio, ServerNames) {
    testsupport::TempFolder carpeta;
    const std::pair<QString, QString> casos[] = {
        {QStringLiteral("tcp/HOST1:1433"), QStringLiteral("HOST1")},
        {QStringLiteral("HOST2"), QStringLiteral("HOST2")},
        {QStringLiteral("HOST3:1500"), QStringLiteral("HOST3")},
        {QStringLiteral("np/HOST4"), QStringLiteral("HOST4")},
        {QStringLiteral("(local)"), QStringLiteral("(local)")},
        {QStringLiteral("HOST5\\INSTANCIA"), QStringLiteral("HOST5\\INSTANCIA")},
        {carpeta.path(), carpeta.path()},   // the embedded database's folder
        {QStringLiteral("./"), QStringLiteral("./")},   // the same, from the working folder
        // A path is kept whole even when it names no folder: the connection says so.
        {carpeta.path() + QStringLiteral("/no_hay:1"), carpeta.path() + QStringLiteral("/no_hay:1")},
        {QStringLiteral("datos/demo"), QStringLiteral("datos/demo")},
        {QStringLiteral("ORA1:1521/XE"), QStringLiteral("XE")},   // a host and port: no path
    };
    for (const auto& [servidor, esperado] : casos) EXPECT_EQ(core::ObtieneNombreServidor(servidor), esperado) << servidor.toStdString();
}

class IniciaSistemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        core::ResetConsultas();
        core::ReiniciaEstado();
        core::gFinDelPrograma = false;
        programa = carpeta.path() + QStringLiteral("/programa");
        base = carpeta.path() + QStringLiteral("/datos");
        QDir().mkpath(programa);
        QDir().mkpath(base);
        vb::SetAppPath(programa);
        coretest::CreaBaseCentral(base);
    }
    void TearDown() override {
        data::ResetGlobalInstances();
        core::ResetConsultas();
        core::ReiniciaEstado();
        core::gFinDelPrograma = false;
    }
    void Estacion(const QString& contenido) {
        QFile f(programa + QStringLiteral("/CN000pr.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(vb::ToCp1252(contenido));
    }

    testsupport::TempFolder carpeta;
    QString programa;
    QString base;
};

// The default lookups, written here from the file's layout.
QByteArray ConsultasEsperadas() {
    const char* filas[][3] = {
        {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
        {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
        {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
        {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
        {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
        {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
        {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
        {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
        {"TAREAS", "V_TA_Tareas", "|Descripcion|IdTarea|"},
        {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
        {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
    };
    QByteArray r;
    for (const auto& f : filas) {
        for (int i = 0; i < 3; ++i) {
            QByteArray campo(f[i]);
            r += campo + QByteArray((i == 2 ? 500 : 100) - campo.size(), ' ');
        }
        r += QByteArray(500, ' ') + "\r\n";
    }
    return r;
}

TEST_F(IniciaSistemaTest, StartsOnTheHeadOfficeDatabaseAndLoadsTheConfiguration) {
    coretest::Ejecuta(base, {coretest::Clave(QStringLiteral("SS_CONFIDENCIALIDAD"), QStringLiteral("SI")),
                             coretest::Clave(QStringLiteral("MADERERA"), QStringLiteral("SI"))});
    Estacion(QStringLiteral("[") + core::SeccionEstacion() + QStringLiteral("]\r\nFlatToolbars=0\r\n"));
    QString conexion;
    const QString texto = QStringLiteral("@Server=%1;@DbName=VOLMA ;@Usuario=operador;@Password= ;@UsuarioLogeado=otro;@Caja=3;").arg(base);
    ASSERT_TRUE(core::IniciaSistema(false, texto, conexion, 3));
    EXPECT_FALSE(core::gFinDelPrograma);

    const data::DB_Dll& db = data::gDBPrincipal();
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, base);
    EXPECT_EQ(core::gUsuarioLogeado, QStringLiteral("operador"));   // the user that connected
    EXPECT_EQ(core::gCaja, QStringLiteral("3"));
    EXPECT_EQ(core::gCadenaDSN, QStringLiteral("DSN=VOLMA; UID=operador; PWD="));
    EXPECT_EQ(core::gFlatToolbars, 0);
    EXPECT_EQ(data::gDBPrincipal().gCnn()->CommandTimeout(), 360);
    EXPECT_EQ(data::gDBPrincipal().gCnn()->IsolationLevel(), 256);
    EXPECT_EQ(core::gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    EXPECT_TRUE(data::gConfidencialidad);
    EXPECT_TRUE(core::gMaderera);
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A7"));

    const QString ruta = programa + QStringLiteral("/consultas.qvd");
    EXPECT_EQ(core::gConsultas().gRutaMascaraConsultas, ruta);
    EXPECT_TRUE(core::gConsultas().gUsarMascarasConsultas);
    EXPECT_EQ(core::gConsultas().gConnString, db.gConnString);
    QFile qvd(ruta);
    ASSERT_TRUE(qvd.open(QIODevice::ReadOnly));
    const QByteArray escrito = qvd.readAll();
    EXPECT_EQ(escrito.size(), 13222);
    EXPECT_EQ(escrito, ConsultasEsperadas());
}

TEST_F(IniciaSistemaTest, AnExistingLookupFileIsKept) {
    QFile qvd(programa + QStringLiteral("/consultas.qvd"));
    ASSERT_TRUE(qvd.open(QIODevice::WriteOnly));
    qvd.write(core::RegistroConsultas(QStringLiteral("PROPIA"), QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("|IDARTICULO|")));
    qvd.close();
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(base), conexion));
    EXPECT_EQ(QFileInfo(qvd.fileName()).size(), 1202);
    EXPECT_EQ(core::gFlatToolbars, 1);   // no station file
    EXPECT_EQ(core::gCaja, QStringLiteral("1"));
}

TEST_F(IniciaSistemaTest, ALookupFileThatCannotBeWrittenDoesNotStopTheConfiguration) {
    // A folder in the file's place: the defaults cannot be written.
    ASSERT_TRUE(QDir(programa).mkdir(QStringLiteral("consultas.qvd")));
    coretest::Ejecuta(base, {coretest::Clave(QStringLiteral("MADERERA"), QStringLiteral("SI"))});
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(base), conexion));
    EXPECT_EQ(core::gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    EXPECT_TRUE(core::gMaderera);
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A7"));
}

TEST_F(IniciaSistemaTest, AConnectionThatCannotOpenEndsTheProgram) {
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kNo, QStringLiteral("Desea Intentarlo Nuevamente"));
    QString conexion;
    EXPECT_FALSE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=NO_EXISTE;@Usuario=operador;").arg(base), conexion));
    EXPECT_TRUE(core::gFinDelPrograma);
    EXPECT_TRUE(prompter.exhausted());
    EXPECT_FALSE(data::gDBPrincipal().gOpenFlag);
    EXPECT_FALSE(QFileInfo::exists(programa + QStringLiteral("/consultas.qvd")));
    EXPECT_TRUE(core::gTablaConfiguracion.isEmpty());   // no configuration was loaded
}

QByteArray Bytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A head-office database the program cannot use is one box that names the file and what is
// wrong with it; No ends the program before any window, and the file is left as it was.
TEST_F(IniciaSistemaTest, AnUnusableHeadOfficeDatabaseIsOneBoxAndNoWindow) {
    const QString archivo = base + QStringLiteral("/VOLMA.sqlite");
    const QByteArray sana = Bytes(archivo);
    const auto escribe = [&](const QByteArray& bytes) {
        QFile f(archivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    struct Caso {
        const char* nombre;
        std::function<void()> prepara;
        QString texto;
    };
    const Caso casos[] = {
        {"empty", [&] { escribe(QByteArray()); }, QStringLiteral("The file %1 is empty (0 bytes): it is not a database.")},
        {"not a database", [&] { escribe(QByteArray("Lista de precios;A3;\n").repeated(400)); },
         QStringLiteral("The file %1 cannot be read: file is not a database.")},
        {"truncated", [&] { escribe(sana.left(8192)); },
         QStringLiteral("The file %1 cannot be read: database disk image is malformed.")},
        {"missing", [&] { QFile::remove(archivo); }, QStringLiteral("The file %1 does not exist.")},
        {"without the program's tables",
         [&] {
             escribe(sana);
             coretest::Ejecuta(base, {QStringLiteral("DROP TABLE ta_usuarios"), QStringLiteral("DROP TABLE MV_NOVEDADESPRECIOS")});
         },
         QStringLiteral("La base de datos \"VOLMA\" (archivo %1) no tiene las tablas del programa (faltan ta_usuarios, "
                        "MV_NOVEDADESPRECIOS): no es la base de datos de la casa central.")},
        // Another program's database, as that program left it (a rollback journal, a column
        // compared by SQLite's own NOCASE): opening it switches nothing and renames nothing.
        {"another program's database",
         [&] {
             QFile::remove(archivo);
             sqlite3* otra = nullptr;
             ASSERT_EQ(sqlite3_open(QFile::encodeName(archivo).constData(), &otra), SQLITE_OK);
             ASSERT_EQ(sqlite3_exec(otra,
                                    "CREATE TABLE CLIENTES (NOMBRE TEXT COLLATE NOCASE); CREATE INDEX IX ON CLIENTES (NOMBRE);"
                                    "INSERT INTO CLIENTES VALUES ('Ana')",
                                    nullptr, nullptr, nullptr),
                       SQLITE_OK);
             sqlite3_close(otra);
         },
         QStringLiteral("La base de datos \"VOLMA\" (archivo %1) no tiene las tablas del programa (faltan "
                        "TA_CONFIGURACION, ta_usuarios, MV_NOVEDADESPRECIOS): no es la base de datos de la casa central.")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
        core::gFinDelPrograma = false;
        c.prepara();
        const bool existia = QFileInfo::exists(archivo);
        const QByteArray antes = existia ? Bytes(archivo) : QByteArray();
        ui::ScriptedPrompter prompter;
        prompter.answer(vb::kNo, c.texto.arg(archivo));
        QString conexion;
        EXPECT_FALSE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(base), conexion));
        EXPECT_TRUE(core::gFinDelPrograma);   // the window is never shown: main() ends on it
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].title, QStringLiteral(" Error de Conexion a Base de Datos"));
        EXPECT_TRUE(prompter.shown()[0].prompt.endsWith(QStringLiteral(" - Desea Intentarlo Nuevamente??? ")));
        EXPECT_FALSE(data::gDBPrincipal().gOpenFlag);
        EXPECT_TRUE(core::gTablaConfiguracion.isEmpty());   // no configuration was read
        // Opening never creates or writes the database file.
        EXPECT_EQ(QFileInfo::exists(archivo), existia);
        if (existia) {
            EXPECT_EQ(Bytes(archivo), antes);
        }
        EXPECT_FALSE(QFileInfo::exists(archivo + QStringLiteral("-wal")));
    }
}

// Yes to the same box opens the login dialog, where the operator corrects the server: the start
// goes on with the database of the folder typed there.
TEST_F(IniciaSistemaTest, TheLoginDialogCorrectsAnUnusableHeadOfficeDatabase) {
    const QString vacia = carpeta.path() + QStringLiteral("/vacia");
    QDir().mkpath(vacia);
    QFile(vacia + QStringLiteral("/VOLMA.sqlite")).open(QIODevice::WriteOnly);
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kYes, QStringLiteral("is empty (0 bytes)"));
    data::SetAccesoRunner([&](data::frmAcceso& f) {
        EXPECT_EQ(f.TxtServidor->text(), vacia);
        f.TxtServidor->setText(base);
        f.bcAceptar->click();
    });
    QString conexion;
    const bool sigue = core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(vacia), conexion);
    data::SetAccesoRunner({});
    EXPECT_TRUE(sigue);
    EXPECT_FALSE(core::gFinDelPrograma);
    EXPECT_EQ(data::gDBPrincipal().gServidor, base);
    EXPECT_EQ(core::gUNegocio, QStringLiteral("A7"));   // the configuration of the corrected database
    EXPECT_EQ(QFileInfo(vacia + QStringLiteral("/VOLMA.sqlite")).size(), 0);
}

// A server text that is a path naming no folder is reported as that folder, not tried as the
// name of a server.
TEST_F(IniciaSistemaTest, AServerFolderThatDoesNotExistIsNamed) {
    for (const QString& servidor : {carpeta.path() + QStringLiteral("/no_hay"), QStringLiteral("no_hay_korvane/demo")}) {
        SCOPED_TRACE(servidor.toStdString());
        data::ResetGlobalInstances();
        ui::ScriptedPrompter prompter;
        prompter.answer(vb::kNo, QStringLiteral("Descripcion: The database folder \"%1\" does not exist.").arg(servidor));
        QString conexion;
        EXPECT_FALSE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;").arg(servidor), conexion));
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_FALSE(prompter.shown()[0].prompt.contains(QStringLiteral("SQLOLEDB")));
        EXPECT_EQ(data::gDBPrincipal().gServidor, servidor);
    }
}

// "Anular" to an error question ends the start: the questions after it are not shown and the
// program ends without its window.
TEST_F(IniciaSistemaTest, AnularEndsTheStart) {
    // A configuration table the program cannot read: every setting would ask.
    coretest::Ejecuta(base, {QStringLiteral("DROP TABLE TA_CONFIGURACION"),
                             QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50))")});
    ui::ScriptedPrompter prompter;
    prompter.answer(vb::kAbort, QStringLiteral("Invalid column name"));
    QString conexion;
    EXPECT_FALSE(core::IniciaSistema(false, QStringLiteral("@Server=%1;@DbName=VOLMA;@Usuario=operador;").arg(base), conexion));
    EXPECT_TRUE(core::gFinDelPrograma);
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(&ui::CurrentPrompter(), &prompter);   // the program's prompter is back in place
}

TEST_F(IniciaSistemaTest, AServerWithHashSelectsOracle) {
    // No Oracle server here: the open fails and every question is answered No.
    class No : public ui::Prompter {
    public:
        int msgBox(const QString&, int, const QString&) override { return 7; }
        QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
    } no;
    ui::SetPrompter(&no);
    QString conexion;
    const bool sigue = core::IniciaSistema(false, QStringLiteral("@Server=#ORA1;@DbName=XE;@Usuario=u1;@Password=p1;"), conexion);
    ui::SetPrompter(nullptr);
    EXPECT_FALSE(sigue);
    EXPECT_EQ(conexion, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=u1;Password=p1;"));
    EXPECT_EQ(data::gDBPrincipal().gServidor, QStringLiteral("ORA1"));
}

TEST_F(IniciaSistemaTest, AnOpenConnectionIsNotParsedOrOpenedAgain) {
    coretest::AbrePrincipal(base);
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(false, QStringLiteral("@Server=otro;@DbName=OTRA;@Caja=9;"), conexion));
    EXPECT_EQ(data::gDBPrincipal().gDBName, QStringLiteral("VOLMA"));
    EXPECT_TRUE(core::gCaja.isEmpty());
    EXPECT_EQ(core::gTablaConfiguracion, QStringLiteral("ta_configuracion"));
}

TEST_F(IniciaSistemaTest, AnEmptyCommandLineCanTakeTheStationsSavedLogin) {
    utillib::UtilTexto ut;
    Estacion(QStringLiteral("[") + core::SeccionEstacion() + QStringLiteral("BaseDeDatos]\r\nServidor=") + base +
             QStringLiteral("\r\nDbName=VOL|MA\r\nUsuario=") + ut.CodificaTexto(QStringLiteral("operador")) +
             QStringLiteral("\r\nUserPassWord=") + ut.CodificaTexto(QStringLiteral("")) + QStringLiteral("\r\n"));
    core::SetLineaComando(QString());
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(true, QString(), conexion));
    EXPECT_TRUE(data::gDBPrincipal().gOpenFlag);
    EXPECT_EQ(data::gDBPrincipal().gDBName, QStringLiteral("VOLMA"));   // "|" removed
    EXPECT_EQ(core::gUsuarioLogeado, QStringLiteral("operador"));
    EXPECT_EQ(core::gCaja, QStringLiteral("1"));
}

TEST_F(IniciaSistemaTest, LongStationSectionsAreCutTo50) {
    const QByteArray antes = qgetenv("USER");
    qputenv("USER", QByteArray(60, 'u'));
    const QString seccion = core::SeccionEstacion();
    qputenv("USER", antes);
    EXPECT_EQ(seccion.size(), 50);
    EXPECT_TRUE(seccion.contains(u'|'));
    EXPECT_EQ(seccion, seccion.toUpper());
}

TEST(ConsultasQvd, DefaultsAreAppendedAfterTheLastWholeRecord) {
    testsupport::TempFolder carpeta;
    core::ResetConsultas();
    const QString ruta = carpeta.file(QStringLiteral("consultas.qvd"));
    core::gConsultas().gRutaMascaraConsultas = ruta;
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3; ++i) f.write(core::RegistroConsultas(QStringLiteral("T%1").arg(i), QStringLiteral("X"), QString()));
    f.write("partial");
    f.close();
    core::CreaArchivoConsultas();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray todo = f.readAll();
    EXPECT_EQ(todo.size(), 14 * 1202);
    EXPECT_TRUE(todo.startsWith(core::RegistroConsultas(QStringLiteral("T0"), QStringLiteral("X"), QString())));
    EXPECT_EQ(todo.mid(3 * 1202), ConsultasEsperadas());
    core::ResetConsultas();
}

}  // namespace
