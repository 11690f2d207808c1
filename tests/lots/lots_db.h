#pragma once
// The head-office demo database of the lot tests, in the test's own folder, with gDBPrincipal
// open on it as an administrator; the rows a test adds go in before the program opens it.
#include "lots/dialogos_lotes.h"
#include "support/demo_db.h"

namespace lotstest {

class LotsTest : public testsupport::DemoCentralTest {
protected:
    void TearDown() override {
        lots::SetDialogosLotes(lots::DialogosLotesDelPrograma());
        DemoCentralTest::TearDown();
    }
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
