#include "posting_db.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "platform/vb/app.h"

namespace postingtest {

namespace {
const QString kBase = QStringLiteral("VOLMA");
}

QString Clave(const QString& clave, const QString& valor) {
    return QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES ('%1', '%2', '')")
        .arg(clave, valor);
}

void PostingTest::Ejecuta(const QStringList& sentencias) {
    ado::ConnectionPtr cnn = ado::Connection::Create();
    cnn->Open(db::ConnectionText(carpeta.path(), kBase));
    for (const QString& s : sentencias) cnn->Execute(s);
    cnn->Close();
}

void PostingTest::Claves(const QStringList& claveValor) {
    QStringList filas;
    for (int i = 0; i + 1 < claveValor.size(); i += 2) {
        filas << QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(claveValor[i])
              << Clave(claveValor[i], claveValor[i + 1]);
    }
    Ejecuta(filas);
}

void PostingTest::SetUp() {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    vb::SetAppPath(carpeta.path());
    db::CreateHeadOffice(carpeta.path(), kBase, ConDemo());
    Ejecuta({QStringLiteral("DELETE FROM ta_usuarios WHERE Nombre = 'operador'"),
             QStringLiteral("INSERT INTO ta_usuarios (Nombre, Administrador, UNegocio, VerProforma) "
                            "VALUES ('operador', 1, 'A7', 1)")});
    Carga();
    data::DB_Dll& db = data::gDBPrincipal();
    db.gServidor = carpeta.path();
    db.gDBName = kBase;
    db.gUsuario = QStringLiteral("operador");
    db.gUserPassWord.clear();
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_TRUE(db.gOpenFlag);
}

void PostingTest::TearDown() {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
}

}  // namespace postingtest
