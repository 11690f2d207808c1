#pragma once
// The head-office database of the application core's tests: an embedded database in the test's
// own folder, with the tables the core reads, and gDBPrincipal opened on it.
#include "platform/ado/ado.h"
#include "support/test_support.h"

#include <QString>
#include <QStringList>

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

}  // namespace coretest
