#include "core_db.h"

#include "data/db_dll.h"
#include "db/databases.h"

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

}  // namespace coretest
