#pragma once
// The receiver tests' world: the demo databases in a folder of the test's own, the program
// started on them with the interface connection open, and the window's part of a receive (grid,
// engine, text widths) standing alone.
#include "core/conecta_remota.h"
#include "core/consultas_iface.h"
#include "core/formatos.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_measurer.h"
#include "platform/vb/app.h"
#include "posting/cls_cmn_cptes.h"
#include "receiver/mov_deposito.h"
#include "platform/vb/qstring_printer.h"
#include "support/enesima_sentencia.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

namespace receivertest {

inline const QString kDiaDemo = QStringLiteral("05/03/2008");

// The head-office connection's n-th stock row refused as the server refuses a statement.
inline const QString kFilaRechazada = QStringLiteral("Fila de stock rechazada por el servidor");
inline std::shared_ptr<testsupport::EnesimaSentencia> FallaInsert(int enesima) {
    return std::make_shared<testsupport::EnesimaSentencia>(
        [](const QString& sql) { return sql.contains(QStringLiteral("INSERT INTO V_MV_STOCK"), Qt::CaseInsensitive); },
        enesima, testsupport::Rechaza(kFilaRechazada));
}

// The log file a notice to the administrators names ("" when it names none).
inline QString RutaDelAviso(const QString& aviso) {
    const QString en = QStringLiteral("CON ERRORES EN: ");
    return aviso.contains(en) ? aviso.section(en, 1) : QString();
}
// A receive log's lines.
inline QStringList LeeLog(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The program started on a folder's databases and the day received, as the window does (a hook,
// when given, in front of the head-office connection); the program's state is dropped after it.
inline receiver::ResultadoRecepcion RecibeEn(const QString& carpeta, const std::shared_ptr<data::ConnectionCalls>& gancho) {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    core::SetLineaComando(QStringLiteral("@Server=") + carpeta + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;"));
    QString conexion;
    EXPECT_TRUE(core::IniciaSistema(false, QString(), conexion, 3));
    EXPECT_TRUE(core::ConectaBaseRemota(carpeta, db::kInterfaceName, db::kInterfaceName, db::kInterfaceName));
    if (gancho) data::gDBPrincipal().setConnectionCalls(gancho);
    ui::FlexGrid grilla(QStringLiteral("MSFlexGrid1"));
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    ui::FixedWidthMeasurer medida(120);
    receiver::VentanaRecepcion v{grilla, cpte, medida};
    v.porcentajeIVA = 21;
    v.fecha = QDate(2008, 3, 5);   // kDiaDemo
    v.transmision = QStringLiteral("3");
    const receiver::ResultadoRecepcion r = receiver::MovDeposito(v);
    cpte.reset();
    data::ResetGlobalInstances();
    return r;
}

class ReceiverFixture : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
        core::ResetConsultas();
        vb::SetAppPath(tmp.path());
        qputenv("TEMP", tmp.path().toLocal8Bit());
        bases = tmp.file(QStringLiteral("bases"));
        db::CreateDemo(bases);
        core::SetLineaComando(QStringLiteral("@Server=") + bases + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;"));
        QString conexion;
        ASSERT_TRUE(core::IniciaSistema(false, QString(), conexion, 3));
        ASSERT_TRUE(core::ConectaBaseRemota(bases, db::kInterfaceName, db::kInterfaceName, db::kInterfaceName));
    }
    void TearDown() override {
        cpte.reset();
        data::ResetGlobalInstances();
        core::SetLineaComando(QString());
    }

    // A receive of the day as the window runs it, without its wait window: the date read as the
    // date field reads it (a text that is no date, as no day).
    receiver::ResultadoRecepcion Recibe(const QString& fecha = kDiaDemo, const QString& transmision = QStringLiteral("3")) {
        receiver::VentanaRecepcion v{grilla, cpte, medida};
        v.porcentajeIVA = 21;
        v.fecha = core::LeeFecha(fecha).value_or(QDate());
        v.transmision = transmision;
        return receiver::MovDeposito(v);
    }

    static void Exec(data::DB_Dll& db, const QString& sql) { db.gCnn()->Execute(sql); }
    static vb::Variant Scalar(data::DB_Dll& db, const QString& sql) {
        auto rs = db.gCnn()->Execute(sql);
        if (!rs || rs->State() != ado::adStateOpen || rs->Eof()) return vb::Variant();
        return rs->Fields(0).Value();
    }
    static long Count(data::DB_Dll& db, const QString& sql) { return Scalar(db, sql).toLong(); }
    static data::DB_Dll& Principal() { return data::gDBPrincipal(); }
    static data::DB_Dll& Remota() { return data::gDBRemota(); }
    // The rows of a query, each as its values joined by "|".
    static QStringList Filas(data::DB_Dll& db, const QString& sql) {
        QStringList filas;
        auto rs = db.gCnn()->Execute(sql);
        for (; rs && rs->State() == ado::adStateOpen && !rs->Eof(); rs->MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs->fieldCount(); ++i) valores << rs->Fields(i).Value().text().trimmed();
            filas << valores.join(u'|');
        }
        return filas;
    }
    // The receive log the last notice to the administrators names, line by line.
    static QStringList Log() {
        const QStringList avisos = Filas(Principal(), QStringLiteral("SELECT MENSAJE FROM MV_MEMOS ORDER BY ID"));
        return avisos.isEmpty() ? QStringList() : LeeLog(RutaDelAviso(avisos.back()));
    }
    static QString RutaDelAviso(const QString& aviso) { return receivertest::RutaDelAviso(aviso); }
    static QStringList LeeLog(const QString& ruta) { return receivertest::LeeLog(ruta); }
    // Adds a row to Depositos: values in the column order of the table.
    static void Deposito(const QString& valores) {
        Exec(Remota(), QStringLiteral("INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, "
                                      "Articulo, Cantidad, venta, cod_depo) VALUES (") + valores + u')');
    }

    testsupport::TempFolder tmp;
    ui::ScriptedPrompter sinCajas;   // a box no test expects fails the test instead of waiting
    QString bases;
    ui::FlexGrid grilla{QStringLiteral("MSFlexGrid1")};
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    ui::FixedWidthMeasurer medida{120};
};

}  // namespace receivertest
