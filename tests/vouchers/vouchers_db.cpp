#include "vouchers_db.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"

namespace voucherstest {

void VouchersTest::SetUp() {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    vb::SetAppPath(carpeta.path());
    const QString base = QStringLiteral("VOLMA");
    db::CreateHeadOffice(carpeta.path(), base, true);
    QString guion;
    for (const QString& f : Filas()) guion += f + u'\n';
    if (!guion.isEmpty()) db::RunScript(carpeta.path(), base, guion + QStringLiteral("GO\n"));
    data::DB_Dll& db = data::gDBPrincipal();
    db.gServidor = carpeta.path();
    db.gDBName = base;
    db.gUsuario = QStringLiteral("admin");
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_TRUE(db.gOpenFlag);
}

void VouchersTest::TearDown() {
    vb::SetClock({});
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
}

QString VouchersTest::Valor(const QString& sql) const {
    return testsupport::Scalar(data::gDBPrincipal().gCnn(), sql).text();
}

}  // namespace voucherstest
