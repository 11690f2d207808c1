#pragma once
// The head-office database of the application core's tests: an embedded database in the test's
// own folder, with the tables the core reads, and gDBPrincipal opened on it.
#include "data/connection_calls.h"
#include "platform/ado/ado.h"
#include "support/test_support.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace coretest {

inline const QString kBase = QStringLiteral("VOLMA");
inline const QString kUsuario = QStringLiteral("operador");

// Creates <folder>/VOLMA.sqlite with the head-office schema, no demo rows, and the user kUsuario.
void CreaBaseCentral(const QString& carpeta);

// Runs statements on the database of the folder, outside the program's connection.
void Ejecuta(const QString& carpeta, const QStringList& sentencias);

// A configuration row.
QString Clave(const QString& clave, const QString& valor, const QString& aux = QString());

// Opens gDBPrincipal on the folder as kUsuario (an administrator).
void AbrePrincipal(const QString& carpeta);

// Stands in front of gDBPrincipal's connection and keeps what reaches it: the source of every
// recordset opened, every statement run, and how many calls of the two there were.
class Registro : public data::ConnectionCalls {
public:
    QStringList abiertas;
    QStringList ejecutadas;
    int llamadas = 0;

    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectados, long opciones) override;
    void OpenRecordset(ado::Recordset& rs, const QString& source, const ado::ConnectionPtr& cnn, int cursorType,
                       int lockType, long options) override;
};

// A test on the head-office database of its own folder: the program's state reset, the program
// folder and the database in the test's folder, gDBPrincipal open on it and recorded by `registro`.
class BaseCentralTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // What the test adds to the database before the program opens it.
    virtual void Carga() {}

    testsupport::TempFolder carpeta;
    std::shared_ptr<Registro> registro;
};

}  // namespace coretest
