#pragma once
// The head-office demo database of a test: every part of the schema with its demo rows, in the
// test's own folder, with gDBPrincipal open on it as the administrator "admin"; the program's
// state reset before and after. Rows a test adds (Filas) go in before the program opens it.
//
//   class MiTest : public testsupport::DemoCentralTest {
//       QStringList Filas() const override { return {"INSERT INTO ..."}; }
//   };
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/vb/app.h"
#include "support/test_support.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

class DemoCentralTest : public ::testing::Test {
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
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
    }
    // Statements run on the demo database before the program opens it.
    virtual QStringList Filas() const { return {}; }

    TempFolder carpeta;
};

}  // namespace testsupport
