#include "core_db.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/vb/app.h"

#include <gtest/gtest.h>

namespace coretest {

void Ejecuta(const QString& carpeta, const QStringList& sentencias) {
    ado::ConnectionPtr cnn = ado::Connection::Create();
    cnn->Open(db::ConnectionText(carpeta, kBase));
    for (const QString& s : sentencias) cnn->Execute(s);
    cnn->Close();
}

QString Clave(const QString& clave, const QString& valor, const QString& aux) {
    return QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES ('%1', '%2', '%3')")
        .arg(clave, valor, aux);
}

void CreaBaseCentral(const QString& carpeta) {
    db::CreateHeadOffice(carpeta, kBase, false);
    Ejecuta(carpeta, {QStringLiteral("INSERT INTO ta_usuarios (Nombre, Administrador, UNegocio, VerProforma) "
                                     "VALUES ('operador', 1, 'A7', 1)")});
}

void AbrePrincipal(const QString& carpeta) {
    data::DB_Dll& db = data::gDBPrincipal();
    db.gServidor = carpeta;
    db.gDBName = kBase;
    db.gUsuario = kUsuario;
    db.gUserPassWord.clear();
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_TRUE(db.gOpenFlag);
}

ado::RecordsetPtr Registro::Execute(ado::Connection& cnn, const QString& sql, long* afectados, long opciones) {
    ++llamadas;
    ejecutadas << sql;
    return ConnectionCalls::Execute(cnn, sql, afectados, opciones);
}

void Registro::OpenRecordset(ado::Recordset& rs, const QString& source, const ado::ConnectionPtr& cnn,
                             int cursorType, int lockType, long options) {
    ++llamadas;
    abiertas << source;
    ConnectionCalls::OpenRecordset(rs, source, cnn, cursorType, lockType, options);
}

void BaseCentralTest::SetUp() {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    vb::SetAppPath(carpeta.path());
    CreaBaseCentral(carpeta.path());
    Carga();
    AbrePrincipal(carpeta.path());
    registro = std::make_shared<Registro>();
    data::gDBPrincipal().setConnectionCalls(registro);
}

void BaseCentralTest::TearDown() {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
}

}  // namespace coretest
