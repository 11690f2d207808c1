#pragma once
// The head-office database of the voucher engine's tests: an embedded database in the test's own
// folder with the whole head-office schema (no demo rows unless asked), an administrator user,
// and gDBPrincipal open on it. The program's state is reset before and after each test.
#include "support/test_support.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace postingtest {

// A TA_CONFIGURACION row; the value goes in as written (no quotes inside).
QString Clave(const QString& clave, const QString& valor);

class PostingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Rows the test adds before the program opens the database.
    virtual void Carga() {}
    // With the demo rows of every part of the schema.
    virtual bool ConDemo() const { return false; }

    // Runs statements on the test's database, outside the program's connection.
    void Ejecuta(const QStringList& sentencias);
    void Claves(const QStringList& claveValor);   // pairs: key, value, key, value...

    testsupport::TempFolder carpeta;
};

}  // namespace postingtest
