#pragma once
// The lookup tests' world: a program folder of the test's own, an embedded head-office database
// in it with gDBPrincipal open on it, a scripted prompter, and helpers to drive a modal dialog.
#include "platform/ui/prompter.h"
#include "support/test_support.h"

#include <QApplication>
#include <QWidget>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace lookup {
class Lib_FrmCons3;
}

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace lookuptest {

inline const QString kBase = QStringLiteral("ERP");
inline const QString kUsuario = QStringLiteral("operador");

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements on the test database, outside the program's connection.
    void Ejecuta(const QStringList& sentencias);
    // Rows of a query on the test database, each row's values as text joined by "|".
    QStringList Filas(const QString& sql);
    // Writes "consultas.qvd" with the program's default records and returns its path.
    QString CreaConsultasQvd();
    // Appends one record to "consultas.qvd".
    void AgregaRegistro(const QString& tabla, const QString& columnas, const QString& filtro = QString());

    testsupport::TempFolder carpeta_;
    std::unique_ptr<ui::ScriptedPrompter> prompter_;
    QString rutaConsultas_;
};

// The texts of column k (from 1) of a list dialog, row by row as shown.
QStringList Columna(const lookup::Lib_FrmCons3& d, int k);

// Calls `accion` with the modal dialog of type D once it shows. The action must close it; a dialog
// still open afterwards is cancelled so that the test never hangs.
template <class D>
void AlMostrar(std::function<void(D*)> accion) {
    QTimer::singleShot(0, [accion] {
        QWidget* w = QApplication::activeModalWidget();
        D* d = qobject_cast<D*>(w);
        if (!d) {
            ADD_FAILURE() << "no modal dialog of the expected type";
            if (w) w->close();
            return;
        }
        accion(d);
        if (d->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            d->done(0);
        }
    });
}

}  // namespace lookuptest
