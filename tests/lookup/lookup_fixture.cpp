#include "lookup_fixture.h"

#include "core/consultas_iface.h"
#include "core/consultas_qvd.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lookup/lib_frm_cons3.h"
#include "platform/vb/app.h"
#include "platform/vb/files.h"

#include <QDir>
#include <QFile>
#include <QTreeWidget>

namespace lookuptest {

namespace {
QString TextoConexion(const QString& carpeta) {
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=;Pwd=").arg(carpeta, kBase);
}
}  // namespace

QStringList Columna(const lookup::Lib_FrmCons3& d, int k) {
    QStringList l;
    for (int i = 0; i < d.lista()->topLevelItemCount(); ++i) l << d.lista()->topLevelItem(i)->text(k - 1);
    return l;
}

void LookupTest::SetUp() {
    vb::SetAppPath(carpeta_.path());
    prompter_ = std::make_unique<ui::ScriptedPrompter>();
    data::ResetGlobalInstances();
    core::ResetConsultas();

    db::CreateEmpty(carpeta_.path(), kBase);
    Ejecuta({
        QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50) PRIMARY KEY, VALOR varchar(255) NULL, "
                       "VALORAUX varchar(255) NULL)"),
        QStringLiteral("CREATE TABLE TA_USUARIOS (NOMBRE varchar(30) PRIMARY KEY, UNEGOCIO varchar(4) NULL, "
                       "VERPROFORMA bit NULL, ADMINISTRADOR bit NULL)"),
        QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, UNEGOCIO, VERPROFORMA, ADMINISTRADOR) VALUES ('operador', 'A7', 1, 1)"),
        QStringLiteral("CREATE TABLE V_MA_ARTICULOS (IDARTICULO nvarchar(25) PRIMARY KEY, DESCRIPCION nvarchar(200) NULL, "
                       "PRECIO3 money NULL, PUNTOPEDIDO money NULL, Stock money NULL, SUSPENDIDO int NULL)"),
        QStringLiteral("CREATE TABLE V_TA_FAMILIAS (IdFamilia varchar(10) PRIMARY KEY, Descripcion nvarchar(50) NULL)"),
        QStringLiteral("CREATE TABLE TA_CCOSTO (CODIGO varchar(10) PRIMARY KEY, DESCRIPCION nvarchar(50) NULL)"),
        QStringLiteral("CREATE TABLE MA_CUENTAS (CODIGO varchar(20) PRIMARY KEY, DESCRIPCION nvarchar(60) NULL)"),
        QStringLiteral("CREATE TABLE MA_POSICIONES (IDPOSICION varchar(10) PRIMARY KEY, IdDeposito varchar(4) NULL, "
                       "Descripcion nvarchar(50) NULL)"),
        QStringLiteral("CREATE TABLE V_MV_FALTANTES (FechaHora varchar(30) NULL, IdArticulo varchar(25) NULL, "
                       "Descripcion nvarchar(60) NULL, Usuario varchar(30) NULL)"),
    });

    data::DB_Dll& db = data::gDBPrincipal();
    db.gServidor = carpeta_.path();
    db.gDBName = kBase;
    db.gUsuario = kUsuario;
    db.gUserPassWord.clear();
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_TRUE(db.gOpenFlag);
    db.gEsAdmin = true;   // the head-office operator works on the base tables
    rutaConsultas_ = carpeta_.file(QStringLiteral("consultas.qvd"));
}

void LookupTest::TearDown() {
    data::ResetGlobalInstances();
    core::ResetConsultas();
    EXPECT_TRUE(prompter_->exhausted()) << prompter_->pending() << " scripted answers were not used";
    prompter_.reset();
}

void LookupTest::Ejecuta(const QStringList& sentencias) {
    ado::ConnectionPtr cnn = ado::Connection::Create();
    cnn->Open(TextoConexion(carpeta_.path()));
    for (const QString& s : sentencias) cnn->Execute(s);
    cnn->Close();
}

QStringList LookupTest::Filas(const QString& sql) {
    ado::ConnectionPtr cnn = ado::Connection::Create();
    cnn->Open(TextoConexion(carpeta_.path()));
    QStringList filas;
    ado::RecordsetPtr rs = cnn->Execute(sql);
    while (!rs->Eof()) {
        QStringList valores;
        for (int i = 0; i < rs->fieldCount(); ++i) valores << rs->Fields(i).Value().text();
        filas << valores.join(QLatin1Char('|'));
        rs->MoveNext();
    }
    rs->Close();
    cnn->Close();
    return filas;
}

QString LookupTest::CreaConsultasQvd() {
    core::gConsultas().gRutaMascaraConsultas = rutaConsultas_;
    core::CreaArchivoConsultas();
    return rutaConsultas_;
}

void LookupTest::AgregaRegistro(const QString& tabla, const QString& columnas, const QString& filtro) {
    vb::RandomFile archivo(rutaConsultas_, core::kLargoRegistroConsultas);
    archivo.put(archivo.lof() / core::kLargoRegistroConsultas + 1,
                core::RegistroConsultas(QStringLiteral("PRUEBA"), tabla, columnas, filtro));
    archivo.close();
}

}  // namespace lookuptest
