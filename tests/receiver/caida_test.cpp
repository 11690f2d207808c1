// A receive killed at any write, then run again, leaves the head office as one clean receive
// does, and every row the clean receive logs is in a log with its reason, a log a notice to the
// administrators names. The receive that is killed runs in a child process (this same test
// program), which a hook in front of the head-office connection kills with SIGKILL before its
// n-th write.
#include "receiver_fixture.h"

#include <QDir>
#include <QProcess>

namespace {

using receivertest::kDiaDemo;
using receivertest::RecibeEn;

const char* const kCarpeta = "KORV_CAIDA_CARPETA";   // the databases of the receive to kill
const char* const kEscritura = "KORV_CAIDA_EN";      // the write it dies before
const char* const kPrograma = "KORV_CAIDA_PROGRAMA"; // the program folder (the receive log's)

// Counts the statements that write; at the n-th (when n is given) the process dies before it runs.
std::shared_ptr<testsupport::EnesimaSentencia> Escrituras(int muereEn = 0) {
    return std::make_shared<testsupport::EnesimaSentencia>(
        [](const QString& sql) {
            if (sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) return false;
            for (const char* w : {"INSERT", "UPDATE", "DELETE", "EXEC"})
                if (sql.contains(QLatin1String(w), Qt::CaseInsensitive)) return true;
            return false;
        },
        muereEn, testsupport::Muere());
}

// The demo databases in a folder, with the day's rows that are logged: an unknown article inside
// the first voucher posted, an unknown deposit, an unknown store.
void CreaDia(const QString& carpeta) {
    db::CreateDemo(carpeta);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kInterfaceName));
    for (const char* fila : {"'001', 'VT', '0001', '00000010', 'VENTA', '555555', 1, 5, '001'",
                             "'001', 'AJ', '0001', '00000005', 'EGRESO', '123', 1, 0, '099'",
                             "'077', 'VT', '0001', '00000001', 'VENTA', '123', 1, 10, '077'"})
        cn->Execute(QStringLiteral("INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, "
                                   "Cantidad, venta, cod_depo) VALUES ('05/03/2008', ") +
                    QLatin1String(fila) + u')');
    cn->Close();
}

// The lines of the logs the notices of a head office name.
QStringList LineasAvisadas(const QString& carpeta) {
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
    QStringList lineas;
    for (auto rs = cn->Execute(QStringLiteral("SELECT MENSAJE FROM MV_MEMOS")); !rs->Eof(); rs->MoveNext())
        lineas << receivertest::LeeLog(
            receivertest::RutaDelAviso(rs->Fields(0).Value().text()));
    cn->Close();
    return lineas;
}

// What the receive leaves in the head office, as rows of text (the moments a row was written
// at left out; the notices apart).
QStringList Central(const QString& carpeta) {
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
    QStringList filas;
    const char* const consultas[] = {
        "SELECT * FROM V_MV_STOCK ORDER BY TC, IdComprobante, UNEGOCIO, IdComplemento, Secuencia",
        "SELECT Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, PERIODO, "
        "Tipo_Reg, [DEBE-HABER], Importe, Unegocio, TC_ORIGEN, CPTE_ORIGEN FROM MV_ASIENTOS "
        "ORDER BY [Numero Asiento], Secuencia",
        "SELECT * FROM V_TA_CPTE ORDER BY CODIGO, TALONARIO",
    };
    for (const char* sql : consultas) {
        auto rs = cn->Execute(QString::fromLatin1(sql));
        for (; !rs->Eof(); rs->MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs->fieldCount(); ++i) valores << rs->Fields(i).Value().text();
            filas << valores.join(u'|');
        }
        filas << QString();   // the next table
    }
    return filas;
}

// The child: receives the folder's day and dies before its n-th write.
TEST(CaidaHijo, RecibeYMuereAntesDeLaEnesimaEscritura) {
    if (qEnvironmentVariableIsEmpty(kCarpeta)) GTEST_SKIP() << "run by CaidaTest in a process of its own";
    vb::SetAppPath(qEnvironmentVariable(kPrograma));
    ui::ScriptedPrompter sinCajas;
    RecibeEn(qEnvironmentVariable(kCarpeta), Escrituras(qEnvironmentVariableIntValue(kEscritura)));
    ADD_FAILURE() << "the receive ended before the write it was to die at";
}

TEST(CaidaTest, AReceiveKilledAtAnyWriteAndRunAgainEndsAsOneCleanReceive) {
    testsupport::TempFolder tmp;
    vb::SetAppPath(tmp.path());
    ui::ScriptedPrompter sinCajas;   // no box: no key violation, no failed voucher
    const QString limpia = tmp.file(QStringLiteral("limpia"));
    CreaDia(limpia);
    auto escrituras = Escrituras();
    RecibeEn(limpia, escrituras);
    const QStringList esperado = Central(limpia);
    ASSERT_GT(escrituras->cuenta, 5);
    // Two unknown articles, the unknown store's row, and both rows of the exit that waits for deposit 099.
    const QStringList rechazadas = LineasAvisadas(limpia);
    ASSERT_EQ(rechazadas.size(), 5);

    for (int n = 1; n <= escrituras->cuenta; ++n) {
        SCOPED_TRACE(n);
        const QString carpeta = tmp.file(QStringLiteral("caida%1").arg(n));
        CreaDia(carpeta);
        const QString programa = carpeta + QStringLiteral("/programa");
        ASSERT_TRUE(QDir().mkpath(programa));
        QProcess hijo;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kCarpeta), carpeta);
        env.insert(QString::fromLatin1(kEscritura), QString::number(n));
        env.insert(QString::fromLatin1(kPrograma), programa);
        hijo.setProcessEnvironment(env);
        hijo.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=CaidaHijo.*")});
        ASSERT_TRUE(hijo.waitForFinished(120000));
        ASSERT_EQ(hijo.exitStatus(), QProcess::CrashExit) << hijo.readAllStandardError().toStdString();

        vb::SetAppPath(programa);
        RecibeEn(carpeta, nullptr);
        EXPECT_EQ(Central(carpeta), esperado);
        // Each row the clean receive logs is in a log a notice names, with its own reason.
        const QStringList avisadas = LineasAvisadas(carpeta);
        for (const QString& linea : rechazadas) EXPECT_TRUE(avisadas.contains(linea)) << linea.toStdString();
        // Every entry balances.
        auto cn = ado::Connection::Create();
        cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
        EXPECT_EQ(cn->Execute(QStringLiteral("SELECT COUNT(*) FROM (SELECT [Numero Asiento] FROM MV_ASIENTOS GROUP BY "
                                             "[Numero Asiento] HAVING SUM(CASE WHEN [DEBE-HABER] = 'D' THEN Importe ELSE "
                                             "-Importe END) <> 0) x"))
                      ->Fields(0)
                      .Value()
                      .toLong(),
                  0);
        cn->Close();
        QDir(carpeta).removeRecursively();
    }
}

}  // namespace
