#pragma once
// The numbering and stock helpers' tests: the demo head-office database with gDBPrincipal open
// on it, a script for the boxes, and small readers of the database.
#include "data/connection_calls.h"
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "posting/talonarios.h"
#include "posting_db.h"

#include <memory>

namespace postingtest {

// Counts what reaches gDBPrincipal's connection.
class CuentaLlamadas : public data::ConnectionCalls {
public:
    int llamadas = 0;
    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectados, long opciones) override {
        ++llamadas;
        return ConnectionCalls::Execute(cnn, sql, afectados, opciones);
    }
    void OpenRecordset(ado::Recordset& rs, const QString& source, const ado::ConnectionPtr& cnn, int cursorType,
                       int lockType, long options) override {
        ++llamadas;
        ConnectionCalls::OpenRecordset(rs, source, cnn, cursorType, lockType, options);
    }
};

class DemoNumeracionTest : public PostingTest {
protected:
    bool ConDemo() const override { return true; }
    void SetUp() override {
        posting::ast::TalonarioActual = 0;
        PostingTest::SetUp();
        data::gDBPrincipal().setConnectionCalls(llamadas);
    }

    static vb::Variant Valor(const QString& sql) { return testsupport::Scalar(data::gDBPrincipal().gCnn(), sql); }
    // A voucher book row: type, book, its Letras (the first one's columns are filled: branch,
    // range and last number), and any further columns ("COL1, COL2", "v1, v2").
    static QString Libro(const QString& tc, int talonario, const QString& letras, const QString& suc,
                         const QString& desde, const QString& hasta, const QString& ultimo,
                         const QString& columnas = QString(), const QString& valores = QString()) {
        const QString l = letras.left(1);
        return QStringLiteral("INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, Letras, ") + l + QStringLiteral("_SUC_DEFAULT, ") +
               l + QStringLiteral("_NRO_DESDE, ") + l + QStringLiteral("_NRO_HASTA, ") + l + QStringLiteral("_ULTIMO_NRO") +
               (columnas.isEmpty() ? QString() : QStringLiteral(", ") + columnas) + QStringLiteral(") VALUES ('") + tc +
               QStringLiteral("', ") + QString::number(talonario) + QStringLiteral(", '") + letras + QStringLiteral("', ") +
               suc + QStringLiteral(", ") + desde + QStringLiteral(", ") + hasta + QStringLiteral(", ") + ultimo +
               (valores.isEmpty() ? QString() : QStringLiteral(", ") + valores) + QStringLiteral(")");
    }
    static QString Stock(const QString& tc, const QString& id) {
        return QStringLiteral("INSERT INTO V_MV_STOCK (TC, IdComprobante, Secuencia, Fecha, IdArticulo) "
                              "VALUES ('%1', '%2', 1, '01/03/2008', '000123')")
            .arg(tc, id);
    }
    static QString Asiento(const QString& tc, const QString& nro, const QString& letra, int mes, int numero,
                           const QString& tipoReg = QString(), int periodo = 2008) {
        return QStringLiteral("INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], TC, "
                              "SUCURSAL, NUMERO, LETRA, PERIODO, Tipo_Reg, [DEBE-HABER], Importe) VALUES "
                              "('1.1.05', 1, %4, %5, '%1', '0001', '%2', '%3', %7, '%6', 'D', 10)")
            .arg(tc, nro, letra, QString::number(mes), QString::number(numero), tipoReg, QString::number(periodo));
    }

    std::shared_ptr<CuentaLlamadas> llamadas = std::make_shared<CuentaLlamadas>();
    ui::ScriptedPrompter cajas;   // a box no test expects fails the test
};

}  // namespace postingtest
