#pragma once
// The demo head-office database of the voucher entry tests, in the test's own folder, with
// gDBPrincipal open on it as an administrator and scripted message boxes. Rows and settings the
// test adds go in before the program opens the database.
#include "support/test_support.h"

#include "platform/ado/ado.h"
#include "platform/ui/prompter.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace voucherstest {

class VouchersTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Statements run on the demo database before the program opens it.
    virtual QStringList Filas() const { return {}; }

    // The first value of a query on the program's connection, as text ("" for Null).
    QString Valor(const QString& sql) const;

    testsupport::TempFolder carpeta;
    ui::ScriptedPrompter prompter;
};

}  // namespace voucherstest
