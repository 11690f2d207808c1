#include "lots_db.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lots/dialogos_lotes.h"
#include "platform/vb/app.h"

namespace lotstest {

namespace {

QString ONulo(const QString& v) { return v.isEmpty() ? QStringLiteral("NULL") : u'\'' + v + u'\''; }

}  // namespace

QString Saldo(const QString& deposito, const QString& posicion, const QString& articulo, const QString& lote,
              const QString& unidad, double saldo) {
    return QStringLiteral("INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, "
                          "SALDO) VALUES ('%1', %2, '%3', %4, '%5', %6)")
        .arg(deposito, ONulo(posicion), articulo, ONulo(lote), unidad, QString::number(saldo));
}

void LotsTest::SetUp() {
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

void LotsTest::TearDown() {
    lots::SetDialogosLotes(lots::DialogosLotesDelPrograma());
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
}

}  // namespace lotstest
