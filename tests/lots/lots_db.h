#pragma once
// The head-office demo database of the lot tests, in the test's own folder, with gDBPrincipal
// open on it as an administrator; the rows a test adds go in before the program opens it.
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "lots/dialogos_lotes.h"
#include "platform/vb/app.h"
#include "support/test_support.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace lotstest {

class LotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
        vb::SetAppPath(carpeta.path());
        db::CreateHeadOffice(carpeta.path(), QStringLiteral("VOLMA"), true);
        if (!Filas().isEmpty()) db::RunScript(carpeta.path(), QStringLiteral("VOLMA"), Filas().join(u'\n') + "\nGO\n");
        data::DB_Dll& db = data::gDBPrincipal();
        db.gServidor = carpeta.path();
        db.gDBName = QStringLiteral("VOLMA");
        db.gUsuario = QStringLiteral("admin");
        db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void TearDown() override {
        lots::SetDialogosLotes(lots::DialogosLotesDelPrograma());
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
    }
    // Statements run on the demo database before the program opens it.
    virtual QStringList Filas() const { return {}; }

    testsupport::TempFolder carpeta;
};

// A layout balance row; an empty position or lot goes in as NULL.
inline QString Saldo(const char* deposito, const char* posicion, const char* articulo, const char* lote,
                     const char* unidad, double saldo) {
    const auto nulo = [](const char* v) { return *v ? u'\'' + QString::fromLatin1(v) + u'\'' : QStringLiteral("NULL"); };
    return QStringLiteral("INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) "
                          "VALUES ('%1', %2, '%3', %4, '%5', %6)")
        .arg(QString::fromLatin1(deposito), nulo(posicion), QString::fromLatin1(articulo), nulo(lote),
             QString::fromLatin1(unidad), QString::number(saldo));
}

}  // namespace lotstest
