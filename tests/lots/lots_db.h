#pragma once
// The head-office demo database of the lot tests, in the test's own folder, with gDBPrincipal
// open on it as an administrator; rows the test adds go in before the program opens it.
#include "support/test_support.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace lotstest {

class LotsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Statements run on the demo database before the program opens it.
    virtual QStringList Filas() const { return {}; }

    testsupport::TempFolder carpeta;
};

// A layout balance row; an empty position or lot goes in as NULL.
QString Saldo(const QString& deposito, const QString& posicion, const QString& articulo, const QString& lote,
              const QString& unidad, double saldo);

}  // namespace lotstest
