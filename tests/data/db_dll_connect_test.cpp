// Opening DB_Dll's connection: the connection texts, the login dialog's answers, the
// administrator check, a second open on an open connection, and Access files.
#include "data/db_dll.h"
#include "data/frm_acceso.h"
#include "db/databases.h"

#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/utillib/dialogo_comun.h"
#include "platform/vb/app.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <gtest/gtest.h>

namespace {

// An embedded database without tables.
void CreaArchivo(const QString& path) {
    const QFileInfo archivo(path);
    db::CreateEmpty(archivo.absolutePath(), archivo.completeBaseName());
}

// Makes the next opens of a connection fail as a server or the Access engine would, then lets
// them through. A failure with an SQL state leaves it in the connection's Errors.
class FallasAlAbrir : public data::ConnectionCalls {
public:
    struct Falla {
        long numero;
        QString estado;
    };
    std::deque<Falla> fallas;
    QStringList textos;

    void Open(ado::Connection& cnn, const QString& texto, const QString& usuario, const QString& clave,
              long opciones) override {
        textos << texto;
        if (fallas.empty()) return ConnectionCalls::Open(cnn, texto, usuario, clave, opciones);
        const Falla f = fallas.front();
        fallas.pop_front();
        cnn.errors().Clear();
        if (!f.estado.isEmpty())
            cnn.errors().add(ado::ErrorItem{f.numero, QStringLiteral("rechazo"), QStringLiteral("fake"), f.estado, 0});
        throw vb::Error(f.numero, QStringLiteral("Falla %1").arg(f.numero), QStringLiteral("fake"));
    }
};

class ConexionTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        savedPath_ = vb::App().path;
        vb::SetAppPath(folder_.path());
        ::db::CreateHeadOffice(folder_.path(), QStringLiteral("ERP"), true);  // users admin (1) and operador (0)
        ::db::CreateInterface(folder_.path(), false);
        ::db::RunScript(folder_.path(), QStringLiteral("ERP"),
                        QStringLiteral("INSERT INTO ta_usuarios (Nombre, Administrador) VALUES ('dora  ', 1)\n"
                                       "INSERT INTO ta_usuarios (Nombre, Administrador) VALUES ('eva', 2)\n"));
    }
    void TearDown() override {
        data::SetAccesoRunner({});
        data::ResetGlobalInstances();
        vb::SetAppPath(savedPath_);
    }

    // Points `db` at the embedded database `base` of the test's folder.
    void Apunta(data::DB_Dll& db, const QString& base, const QString& usuario = QStringLiteral("admin")) {
        db.gServidor = folder_.path();
        db.gDBName = base;
        db.gUsuario = usuario;
        db.gUserPassWord = QStringLiteral("x");
    }
    static bool Abierta(data::DB_Dll& db) { return db.gCnn()->State() == ado::adStateOpen; }

    ui::ScriptedPrompter prompter_;  // a box no test scripted fails the test
    testsupport::TempFolder folder_;
    QString savedPath_;
};

struct TextoCaso {
    const char* servidor;
    const char* extendido;
    const char* connString;
    const char* esperado;  // {F} stands for the test's folder
};

// Every open below fails on the test's own folder (no database of that name), so nothing leaves
// the machine; the failure is silent and the text stays in gConnString.
TEST_F(ConexionTest, ConnectionTextsForSqlServerAndOracle) {
    const TextoCaso casos[] = {
        {"{F}", "", "", "PROVIDER=SQLOLEDB;Server={F};Database ={F};UId=sa;Pwd=p w;"},
        {"{F}", "Application Name=Korvane;", "",
         "PROVIDER=SQLOLEDB;Server={F};Database ={F};UId=sa;Pwd=p w;Application Name=Korvane;"},
        {"{F}", "", "   ", "PROVIDER=SQLOLEDB;Server={F};Database ={F};UId=sa;Pwd=p w;"},
        {"SRV#01", "Application Name=Korvane;", "",
         "Provider=OraOLEDB.Oracle.1;Data Source={F};User Id=sa;Password=p w;"},
        {"#SRV01", "", "", "Provider=OraOLEDB.Oracle.1;Data Source={F};User Id=sa;Password=p w;"},
        {"{F}", "", "PROVIDER=SQLOLEDB;Server={F};Database =Otra;", "PROVIDER=SQLOLEDB;Server={F};Database =Otra;"},
    };
    const auto enCarpeta = [&](const char* texto) {
        return QString::fromUtf8(texto).replace(QStringLiteral("{F}"), folder_.path());
    };
    for (const TextoCaso& c : casos) {
        data::DB_Dll db;
        db.gServidor = enCarpeta(c.servidor);
        db.gDBName = folder_.path();
        db.gUsuario = QStringLiteral("sa");
        db.gUserPassWord = QStringLiteral("p w");
        db.gExtended = QString::fromUtf8(c.extendido);
        db.OpenServerADODB(false, ado::adUseClient, enCarpeta(c.connString), true, false);
        EXPECT_EQ(db.gConnString, enCarpeta(c.esperado)) << c.servidor << " / " << c.connString;
        EXPECT_FALSE(db.gOpenFlag);
        EXPECT_EQ(db.gProveedor, QStringLiteral("SQLOLEDB"));
    }
}

TEST_F(ConexionTest, AGivenProviderIsKeptButTheTextNamesSqlOleDb) {
    data::DB_Dll db;
    Apunta(db, QStringLiteral("ERP"));
    db.gProveedor = QStringLiteral("Otro");
    db.OpenServerADODB(false, ado::adUseServer, QString(), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gProveedor, QStringLiteral("Otro"));
    EXPECT_TRUE(db.gConnString.startsWith(QStringLiteral("PROVIDER=SQLOLEDB;")));
    EXPECT_TRUE(Abierta(db));
    EXPECT_EQ(db.gCnn()->CursorLocation(), ado::adUseServer);
    EXPECT_TRUE(db.gEsAdmin) << "without the administrator check every user counts as one";
}

TEST_F(ConexionTest, TheAdministratorColumnDecides) {
    const std::pair<const char*, bool> casos[] = {
        {"admin", true}, {"operador", false}, {"eva", false}, {"nadie", false}, {"dora", true}};
    for (const auto& [usuario, admin] : casos) {
        data::ResetGlobalInstances();
        data::DB_Dll& db = data::gDBPrincipal();
        Apunta(db, QStringLiteral("ERP"), QString::fromUtf8(usuario));
        db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        EXPECT_TRUE(db.gOpenFlag) << usuario;
        EXPECT_EQ(db.gEsAdmin, admin) << usuario;
        EXPECT_EQ(db.gCnn()->DefaultDatabase().toUpper(), QStringLiteral("ERP"));
    }
}

TEST_F(ConexionTest, TheInterfaceConnectionCountsAsAdministratorWhenTheHeadOfficeHasUsers) {
    data::DB_Dll& principal = data::gDBPrincipal();
    Apunta(principal, QStringLiteral("ERP"), QStringLiteral("operador"));
    principal.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_TRUE(principal.gOpenFlag);
    EXPECT_FALSE(principal.gEsAdmin);

    data::DB_Dll& remota = data::gDBRemota();
    Apunta(remota, ::db::kInterfaceName, QStringLiteral("operador"));
    remota.OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    EXPECT_TRUE(remota.gOpenFlag);
    EXPECT_TRUE(remota.gEsAdmin);
}

TEST_F(ConexionTest, WithoutAUserTableTheFlagKeepsItsValue) {
    for (const bool antes : {false, true}) {
        data::ResetGlobalInstances();
        data::DB_Dll& db = data::gDBPrincipal();
        Apunta(db, ::db::kInterfaceName);
        db.gEsAdmin = antes;
        db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        EXPECT_TRUE(db.gOpenFlag);
        EXPECT_EQ(db.gEsAdmin, antes);
    }
}

TEST_F(ConexionTest, ASecondOpenClosesTheConnectionAndOpensItAgain) {
    for (const bool muestraError : {true, false}) {
        data::DB_Dll db;
        Apunta(db, QStringLiteral("ERP"));
        db.OpenServerADODB(false, ado::adUseClient, QString(), false, muestraError);
        ASSERT_TRUE(db.gOpenFlag);
        Apunta(db, ::db::kInterfaceName);
        db.OpenServerADODB(false, ado::adUseClient, QString(), false, muestraError);
        EXPECT_TRUE(db.gOpenFlag) << muestraError;
        EXPECT_TRUE(Abierta(db));
        EXPECT_EQ(db.gCnn()->DefaultDatabase().toLower(), ::db::kInterfaceName.toLower()) << muestraError;
    }
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(ConexionTest, AFailedOpenAsksWhetherToTryAgainAndNoGivesUp) {
    prompter_.answer(vb::kNo, QStringLiteral("Codigo Nativo: "));
    data::DB_Dll db;
    Apunta(db, QStringLiteral("FALTA"));
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_FALSE(Abierta(db));
    ASSERT_EQ(prompter_.shown().size(), 1u);
    const auto& box = prompter_.shown()[0];
    EXPECT_EQ(box.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(box.buttons, 20);
    const ado::ErrorItem e{vb::kHrUnspecified, QString(), QString(), QString(), 0};
    EXPECT_TRUE(box.prompt.startsWith(QStringLiteral(" Estado de Sql: 42000\rNumero de Error: ") +
                                      QString::number(e.Number) + QStringLiteral("\rDescripcion: ")))
        << box.prompt.toStdString();
    EXPECT_TRUE(box.prompt.endsWith(QStringLiteral("\rCodigo Nativo: 4060\r - Desea Intentarlo Nuevamente??? ")))
        << box.prompt.toStdString();
}

TEST_F(ConexionTest, YesAsksForTheDataAgainAndOpensWithThem) {
    prompter_.answer(vb::kYes, QStringLiteral("Desea Intentarlo"));
    QStringList vistos;
    data::SetAccesoRunner([&](data::frmAcceso& f) {
        vistos << f.TxtServidor->text() << f.TxtDbName->text() << f.TxtUserId->text() << f.TxtUserPassword->text()
               << QString::number(f.CboPlataformaDB->currentIndex());
        f.TxtDbName->setText(QStringLiteral("ERP"));
        f.bcAceptar->click();
    });
    data::DB_Dll db;
    Apunta(db, QStringLiteral("FALTA"));
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    EXPECT_EQ(vistos, QStringList({folder_.path(), QStringLiteral("FALTA"), QStringLiteral("admin"),
                                   QStringLiteral("x"), QStringLiteral("0")}));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(Abierta(db));
    EXPECT_EQ(db.gDBName, QStringLiteral("ERP"));
    EXPECT_TRUE(db.gConnString.contains(QStringLiteral(";Database =ERP;")));
}

TEST_F(ConexionTest, YesThenCancelarEndsWithoutAConnection) {
    prompter_.answer(vb::kYes);
    data::SetAccesoRunner([](data::frmAcceso& f) { f.bcCancelar->click(); });
    data::DB_Dll db;
    Apunta(db, QStringLiteral("FALTA"));
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_FALSE(Abierta(db));
}

TEST_F(ConexionTest, CancelarInTheLoginDialogOpensNothingAndShowsNothing) {
    int mostrado = 0;
    data::SetAccesoRunner([&](data::frmAcceso& f) {
        ++mostrado;
        f.bcCancelar->click();
    });
    data::DB_Dll db;
    Apunta(db, QStringLiteral("ERP"));
    db.OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_EQ(mostrado, 1);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_FALSE(Abierta(db));
    EXPECT_TRUE(db.gConnString.contains(QStringLiteral("Database =ERP;")));
}

TEST_F(ConexionTest, AceptarTakesTheTypedData) {
    data::SetAccesoRunner([&](data::frmAcceso& f) {
        EXPECT_EQ(f.TxtDbName->text(), QString());
        f.TxtServidor->setText(folder_.path());
        f.TxtDbName->setText(QStringLiteral("ERP"));
        f.TxtUserId->setText(QStringLiteral("admin"));
        f.TxtUserPassword->setText(QStringLiteral("clave"));
        f.bcAceptar->click();
    });
    data::DB_Dll& db = data::gDBPrincipal();
    db.OpenServerADODB(true, ado::adUseClient, QStringLiteral("DSN=Ignorada;"), true, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(db.gEsAdmin);
    EXPECT_EQ(db.gUsuario, QStringLiteral("admin"));
    EXPECT_EQ(db.gUserPassWord, QStringLiteral("clave"));
    EXPECT_EQ(db.gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(db.gConnString, QStringLiteral("PROVIDER=SQLOLEDB;Server=") + folder_.path() +
                                  QStringLiteral(";Database =ERP;UId=admin;Pwd=clave;"));
}

TEST_F(ConexionTest, ChoosingOracleMarksTheServerOnce) {
    const std::pair<const char*, const char*> casos[] = {{"SRV", "#SRV"}, {"#SRV", "#SRV"}, {"S#RV", "S#RV"}};
    for (const auto& [servidor, esperado] : casos) {
        data::SetAccesoRunner([&](data::frmAcceso& f) {
            f.TxtServidor->setText(QString::fromUtf8(servidor));
            f.CboPlataformaDB->setCurrentIndex(1);
            f.bcAceptar->click();
        });
        data::DB_Dll db;
        db.gDBName = folder_.path();  // no database there: the open fails on this machine
        db.gUsuario = QStringLiteral("u");
        db.gUserPassWord = QStringLiteral("p");
        db.OpenServerADODB(true, ado::adUseClient, QString(), true, false);
        EXPECT_FALSE(db.gOpenFlag);
        EXPECT_EQ(db.gServidor, QString::fromUtf8(esperado));
        EXPECT_EQ(db.gProveedor, QStringLiteral("OraOLEDB.Oracle.1"));
        EXPECT_EQ(db.gConnString, QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + folder_.path() +
                                      QStringLiteral(";User Id=u;Password=p;"));
    }
}

TEST_F(ConexionTest, SqlServerChosenWithAMarkedServerStillBuildsTheOracleText) {
    data::SetAccesoRunner([](data::frmAcceso& f) {
        f.TxtServidor->setText(QStringLiteral("#SRV"));
        f.bcAceptar->click();
    });
    data::DB_Dll db;
    db.gDBName = folder_.path();
    db.OpenServerADODB(true, ado::adUseClient, QString(), true, false);
    EXPECT_EQ(db.gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_TRUE(db.gConnString.startsWith(QStringLiteral("Provider=OraOLEDB.Oracle.1;")));
}

TEST_F(ConexionTest, AFailureShownWithOnlyOkLeavesTheConnectionUnaccepted) {
    prompter_.answer(vb::kOk);
    auto fallas = std::make_shared<FallasAlAbrir>();
    fallas->fallas.push_back({3709, QString()});
    data::DB_Dll db;
    db.setConnectionCalls(fallas);
    Apunta(db, QStringLiteral("ERP"));
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].prompt, QStringLiteral("Falla 3709"));
    EXPECT_EQ(prompter_.shown()[0].buttons, ui::vbOKOnly);
    EXPECT_EQ(prompter_.shown()[0].title, vb::App().title);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_FALSE(Abierta(db));
}

class AccessTest : public ConexionTest {
protected:
    void SetUp() override {
        ConexionTest::SetUp();
        mdb_ = folder_.file(QStringLiteral("tienda.mdb"));
        CreaArchivo(mdb_);
        CreaArchivo(folder_.file(QStringLiteral("tienda.sqlite")));
        db_.gProveedor = db_.pJETOLEDB40();
        db_.gUsuario = QStringLiteral("admin");
        db_.setConnectionCalls(fallas_);
    }
    QString Texto(const QString& archivo, const QString& clave = QString()) const {
        return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + archivo +
               QStringLiteral(";User ID=admin;Password=") + clave + u';';
    }
    QString mdb_;
    data::DB_Dll db_;
    std::shared_ptr<FallasAlAbrir> fallas_ = std::make_shared<FallasAlAbrir>();
};

TEST_F(AccessTest, ARefusedPasswordIsAskedForAndSent) {
    fallas_->fallas = {{vb::kHrUnspecified, QStringLiteral("3031")}};
    prompter_.type(QStringLiteral("secreta"), QStringLiteral("ingrese el password:"));
    db_.gDBName = mdb_;
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(prompter_.shown().at(0).title, QStringLiteral("Password Access"));
    EXPECT_TRUE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, Texto(mdb_) + QStringLiteral(" Jet OLEDB:Database Password=secreta;"));
}

TEST_F(AccessTest, APasswordRefusedThreeTimesEndsTheCall) {
    for (int i = 0; i < 4; ++i) fallas_->fallas.push_back({vb::kHrUnspecified, QStringLiteral("3031")});
    prompter_.type(QStringLiteral("uno")).type(QStringLiteral("dos")).type(QStringLiteral("tres")).answer(vb::kOk);
    db_.gDBName = mdb_;
    db_.gConnString = QStringLiteral("antes");
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, QStringLiteral("antes"));
    EXPECT_EQ(fallas_->textos.size(), 4);
    EXPECT_EQ(fallas_->textos.last(), Texto(mdb_) + QStringLiteral(" Jet OLEDB:Database Password=tres;"));
    ASSERT_EQ(prompter_.shown().size(), 4u);
    EXPECT_EQ(prompter_.shown()[3].prompt,
              QString::number(vb::kHrUnspecified) + QStringLiteral("  Falla ") + QString::number(vb::kHrUnspecified));
}

TEST_F(AccessTest, TheStoredPasswordIsTriedOnceWithoutAsking) {
    fallas_->fallas = {{vb::kHrUnspecified, QStringLiteral("3031")}, {vb::kHrUnspecified, QStringLiteral("3031")}};
    prompter_.answer(vb::kOk);
    db_.gIgnoraPassWord = vb::Variant(true);
    db_.gUserPassWord = QStringLiteral("guardada");
    db_.gDBName = mdb_;
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    ASSERT_EQ(fallas_->textos.size(), 2);
    EXPECT_EQ(fallas_->textos[1],
              Texto(mdb_, QStringLiteral("guardada")) + QStringLiteral("Jet OLEDB:Database Password=guardada;"));
    EXPECT_FALSE(Abierta(db_));
    EXPECT_EQ(prompter_.shown().size(), 1u);
    EXPECT_FALSE(prompter_.shown()[0].input);
}

TEST_F(AccessTest, AFileThatCannotBeFoundIsAskedForAgain) {
    fallas_->fallas = {{vb::kHrUnspecified, QStringLiteral("3024")}};
    db_.CmdDlg().PreparaEleccion(mdb_);
    db_.gDBName = folder_.file(QStringLiteral("movida.mdb"));
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(db_.gDBName, mdb_);
    EXPECT_TRUE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, Texto(mdb_));
}

TEST_F(AccessTest, TheFileNamedOpensWithTheBuiltText) {
    db_.gDBName = mdb_;
    db_.gExtended = QStringLiteral("Jet OLEDB:Engine Type=5;");
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_TRUE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + mdb_ +
                                   QStringLiteral(";User ID=admin;Password=;Jet OLEDB:Engine Type=5;"));
    EXPECT_FALSE(db_.gOpenFlag) << "the Access open leaves the flag alone";
}

TEST_F(AccessTest, WithoutAFileTheDialogAsksForOne) {
    db_.CmdDlg().PreparaEleccion(mdb_);
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(db_.CmdDlg().TituloDialogo, QStringLiteral("Buscar Base de Datos"));
    EXPECT_EQ(db_.CmdDlg().FiltroDialogo, QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
    EXPECT_EQ(db_.gDBName, mdb_);
    EXPECT_TRUE(Abierta(db_));
}

TEST_F(AccessTest, ACancelledDialogOpensNothing) {
    db_.gConnString = QStringLiteral("antes");
    db_.CmdDlg().PreparaEleccion(std::nullopt);
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, QStringLiteral("antes"));
    EXPECT_EQ(db_.CmdDlg().eleccionesPendientes(), 0);
}

TEST_F(AccessTest, AnyOtherFailureIsShownWithItsNumber) {
    prompter_.answer(vb::kOk);
    db_.gDBName = folder_.file(QStringLiteral("falta/otra.mdb"));
    db_.gConnString = QStringLiteral("antes");
    db_.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(Abierta(db_));
    EXPECT_EQ(db_.gConnString, QStringLiteral("antes"));
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shown()[0].prompt.startsWith(QString::number(vb::kHrUnspecified) + QStringLiteral("  ")));
    EXPECT_EQ(prompter_.shown()[0].buttons, 16);
}

}  // namespace
