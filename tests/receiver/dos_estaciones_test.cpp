// Two stations receive the same day at once. Station B runs in a process of its own (this same
// test program) on its own connections; station A here. A has read its first voucher as not yet
// received when B posts it and holds it uncommitted; A then waits for B's transaction, and B goes
// on once A waits. From there both race over the rest of the day. Each voucher is posted once, the
// rows a station finds posted by the other are logged as already received (never as a voucher that
// could not be posted), and each station tells it at most once, in a box that counts every voucher
// its log marks so. A head office whose stock rows have no unique voucher key holds each voucher
// once all the same (the check inside the voucher's transaction), and a receive of the day once
// it was received shows no such box.
#include "receiver_fixture.h"

#include "platform/ado/sqlite_files.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <QProcess>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

using receivertest::RecibeEn;

const char* const kCarpeta = "KORV_ESTACION_B_CARPETA";     // the databases both stations share
const char* const kPrograma = "KORV_ESTACION_B_PROGRAMA";   // station B's program folder (its receive log)
const QString kOtraEstacion = QStringLiteral("Otra estación está recibiendo el mismo día");

// Station B's voucher commits: before its first, it says so on its output and waits for a line on
// its input.
class EsperaAntesDeConfirmar : public data::ConnectionCalls {
public:
    void CommitTrans(ado::Connection& cnn) override {
        if (primera_ && cnn.transactionLevel() == 1) {
            primera_ = false;
            std::fputs("TOMADO\n", stdout);
            std::fflush(stdout);
            std::string linea;
            std::getline(std::cin, linea);
        }
        data::ConnectionCalls::CommitTrans(cnn);
    }

private:
    bool primera_ = true;
};

// Station B's boxes, answered OK and written to its output at the end.
class AnotaCajas : public ui::Prompter {
public:
    AnotaCajas() { ui::SetPrompter(this); }
    ~AnotaCajas() override { ui::SetPrompter(nullptr); }
    int msgBox(const QString& prompt, int, const QString&) override {
        cajas << QString(prompt).replace(u'\r', u' ').replace(u'\n', u' ');
        return 1;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
    QStringList cajas;
};

TEST(EstacionB, RecibeElMismoDia) {
    if (qEnvironmentVariableIsEmpty(kCarpeta)) GTEST_SKIP() << "run by DosEstaciones in a process of its own";
    vb::SetAppPath(qEnvironmentVariable(kPrograma));
    AnotaCajas cajas;
    const receiver::ResultadoRecepcion r = RecibeEn(qEnvironmentVariable(kCarpeta), std::make_shared<EsperaAntesDeConfirmar>());
    for (const QString& caja : cajas.cajas) std::printf("CAJA %s\n", qPrintable(caja));
    std::printf("RESULTADO %ld %ld\n", r.comprobantes, r.deOtraEstacion);
    std::printf("LOG %s\n", qPrintable(r.log));
    std::fflush(stdout);
}

// Station A's head-office statements: once its first voucher has been read as not yet received,
// `alLeer` runs. A blind station reads a voucher as not received inside its transaction, as a
// server that reads without waiting for the other's lock may: its posting then meets the other's
// rows as a duplicate key.
class TrasLaPrimeraVerificacion : public data::ConnectionCalls {
public:
    TrasLaPrimeraVerificacion(std::function<void()> alLeer, bool ciega) : alLeer_(std::move(alLeer)), ciega_(ciega) {}
    void OpenRecordset(ado::Recordset& rs, const QString& sql, const ado::ConnectionPtr& cnn, int cursor, int bloqueo,
                       long opciones) override {
        const bool verificacion = sql.contains(QStringLiteral("IDCOMPROBANTE FROM V_MV_STOCK"), Qt::CaseInsensitive);
        const bool ciega = ciega_ && verificacion && cnn->transactionLevel() > 0;
        data::ConnectionCalls::OpenRecordset(rs, ciega ? sql + QStringLiteral(" AND 1 = 0") : sql, cnn, cursor, bloqueo, opciones);
        if (alLeer_ && verificacion) std::exchange(alLeer_, nullptr)();
    }

private:
    std::function<void()> alLeer_;
    bool ciega_;
};

// The rows of each posted voucher, and the lines of every log the head office's notices name.
QStringList PorComprobante(const QString& carpeta) {
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
    QStringList filas;
    for (const auto& fila : testsupport::Rows(cn, QStringLiteral("SELECT TC, IdComprobante, UNEGOCIO, COUNT(*) FROM V_MV_STOCK "
                                                                 "GROUP BY TC, IdComprobante, UNEGOCIO ORDER BY TC, IdComprobante, UNEGOCIO")))
        filas << fila[0].text().trimmed() + u' ' + fila[1].text().trimmed() + u' ' + fila[2].text().trimmed() + u' ' + fila[3].text();
    return filas;
}
QStringList LineasAvisadas(const QString& carpeta) {
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
    QStringList lineas;
    for (const auto& fila : testsupport::Rows(cn, QStringLiteral("SELECT MENSAJE FROM MV_MEMOS")))
        lineas << receivertest::LeeLog(receivertest::RutaDelAviso(fila[0].text()));
    return lineas;
}

// The store vouchers a receive log marks as already received.
QSet<QString> YaRecibidos(const QString& ruta) {
    QSet<QString> comprobantes;
    for (const QString& linea : receivertest::LeeLog(ruta))
        if (linea.startsWith(QLatin1String("COMPROBANTE YA RECIBIDO;"))) comprobantes << linea.section(QStringLiteral("; Movimiento:"), 0, 0);
    return comprobantes;
}
// The vouchers a box "Otra estación ... (dd/MM/yyyy): N comprobante(s) ..." counts.
long Cuenta(const QString& caja) { return caja.section(QStringLiteral("): "), 1).section(u' ', 0, 0).toLong(); }

// The head office's stock rows without their unique key (a head office may have none): the table
// made again from its own definition less the key, with its rows and its index.
void QuitaClave(const QString& carpeta) {
    QFile archivo(QStringLiteral(":/db/volma.sql"));
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    const QString esquema = QString::fromUtf8(archivo.readAll());
    const qsizetype desde = esquema.indexOf(QLatin1String("CREATE TABLE dbo.V_MV_STOCK ("));
    QString tabla = esquema.mid(desde, esquema.indexOf(QLatin1String("\n)"), desde) + 2 - desde);
    const QString clave = QStringLiteral(",\n    PRIMARY KEY (TC, IdComprobante, UNEGOCIO, IdComplemento, Secuencia)");
    ASSERT_TRUE(desde >= 0 && tabla.contains(clave)) << tabla.toStdString();
    tabla.remove(clave);
    auto cn = ado::Connection::Create();
    cn->Open(db::ConnectionText(carpeta, db::kHeadOfficeName));
    // The views that read the table keep its name.
    for (const QString& sql : {QStringLiteral("PRAGMA legacy_alter_table = ON"),
                               QStringLiteral("ALTER TABLE V_MV_STOCK RENAME TO V_MV_STOCK_CON_CLAVE"), tabla,
                               QStringLiteral("INSERT INTO V_MV_STOCK SELECT * FROM V_MV_STOCK_CON_CLAVE"),
                               QStringLiteral("DROP TABLE V_MV_STOCK_CON_CLAVE"),
                               QStringLiteral("CREATE INDEX IX_V_MV_STOCK_Articulo ON dbo.V_MV_STOCK (IdArticulo, TC, Fecha)"),
                               QStringLiteral("PRAGMA legacy_alter_table = OFF")})
        cn->Execute(sql);
    EXPECT_EQ(testsupport::Count(cn, QStringLiteral("sqlite_master WHERE tbl_name = 'V_MV_STOCK' AND type = 'index' AND "
                                                    "sql IS NULL")),
              0);
}

// How station A reads its vouchers, and the head office it races on.
enum class Carrera {
    BajoElBloqueo,   // inside its transaction A reads what B committed
    Ciega,           // inside its transaction A reads every voucher as not received
    SinClave,        // as BajoElBloqueo, on a head office without the unique voucher key
};

class DosEstaciones : public ::testing::TestWithParam<Carrera> {
protected:
    testsupport::TempFolder tmp;
};

TEST_P(DosEstaciones, DosRecepcionesDelMismoDiaGrabanCadaComprobanteUnaVezYLoDicenUnaVez) {
    // The check of the kept statements runs a read twice and wants one answer: the other station
    // commits in between here. Cleared before this process's first statement (and so for B).
    qunsetenv("KORV_SQL_CACHE_CHECK");
    vb::SetAppPath(tmp.path());
    const QString limpia = tmp.file(QStringLiteral("limpia"));
    db::CreateDemo(limpia);
    {
        ui::ScriptedPrompter sinCajas;
        ASSERT_EQ(RecibeEn(limpia, nullptr).comprobantes, 7);
    }
    const QString carpeta = tmp.file(QStringLiteral("compartida"));
    db::CreateDemo(carpeta);
    if (GetParam() == Carrera::SinClave) QuitaClave(carpeta);
    ASSERT_FALSE(HasFatalFailure());
    const QString programaB = tmp.file(QStringLiteral("programaB"));
    ASSERT_TRUE(QDir().mkpath(programaB));

    QProcess b;
    QByteArray salida;
    bool soltada = false;
    const auto suelta = [&] {
        if (soltada) return;
        soltada = true;
        b.write("SIGUE\n");
        b.waitForBytesWritten();
    };
    // A goes on once B holds A's first voucher; B goes on once A waits for it.
    auto lanzaB = std::make_shared<TrasLaPrimeraVerificacion>([&] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kCarpeta), carpeta);
        env.insert(QString::fromLatin1(kPrograma), programaB);
        b.setProcessEnvironment(env);
        b.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=EstacionB.*")});
        while (!salida.contains("TOMADO\n") && b.waitForReadyRead(120000)) salida += b.readAllStandardOutput();
        ASSERT_TRUE(salida.contains("TOMADO\n")) << b.readAllStandardError().toStdString();
    }, GetParam() == Carrera::Ciega);
    int esperas = 0;
    ado::sqlite::LockWaitForTesting espera(std::chrono::minutes(10), [&] {
        ++esperas;
        suelta();
    });
    ui::ScriptedPrompter guion;
    guion.answer(1, kOtraEstacion);
    const receiver::ResultadoRecepcion a = RecibeEn(carpeta, lanzaB);
    EXPECT_GT(esperas, 0) << "station A never waited for B's voucher";
    suelta();
    ASSERT_TRUE(b.waitForFinished(120000));
    salida += b.readAllStandardOutput();
    ASSERT_EQ(b.exitCode(), 0) << salida.toStdString() << b.readAllStandardError().toStdString();

    // B's outcome, from its output.
    long comprobantesB = -1;
    QStringList cajasB;
    QString logB;
    for (const QByteArray& linea : salida.split('\n')) {
        if (linea.startsWith("RESULTADO ")) comprobantesB = linea.split(' ').at(1).toLong();
        if (linea.startsWith("CAJA ")) cajasB << QString::fromUtf8(linea.mid(5));
        if (linea.startsWith("LOG ")) logB = QString::fromUtf8(linea.mid(4));
    }
    ASSERT_GE(comprobantesB, 1) << salida.toStdString();

    // Every voucher once, as one receive alone posts the day.
    EXPECT_EQ(a.comprobantes + comprobantesB, 7);
    EXPECT_EQ(PorComprobante(carpeta), PorComprobante(limpia));
    // A lost its first voucher to B: it says so once, and logs its rows as already received. Each
    // station's box counts the vouchers its log marks so, whenever in its run it found them.
    EXPECT_GE(a.deOtraEstacion, 1);
    EXPECT_TRUE(guion.exhausted());
    ASSERT_EQ(guion.shown().size(), 1u);
    EXPECT_EQ(Cuenta(guion.shown()[0].prompt), YaRecibidos(a.log).size()) << guion.shown()[0].prompt.toStdString();
    EXPECT_LE(cajasB.size(), 1) << cajasB.join(u'\n').toStdString();
    for (const QString& caja : cajasB) EXPECT_TRUE(caja.startsWith(kOtraEstacion)) << caja.toStdString();
    EXPECT_EQ(cajasB.isEmpty() ? 0 : Cuenta(cajasB[0]), YaRecibidos(logB).size()) << salida.toStdString();
    const QStringList lineas = LineasAvisadas(carpeta);
    EXPECT_TRUE(lineas.filter(QStringLiteral("COMPROBANTE YA RECIBIDO")).size() > 0);
    EXPECT_TRUE(lineas.filter(QStringLiteral("ERROR AL GRABAR")).isEmpty()) << lineas.join(u'\n').toStdString();

    // The day once received: every voucher already held before the run began, and no box.
    ui::ScriptedPrompter sinCajas;
    const receiver::ResultadoRecepcion otra = RecibeEn(carpeta, nullptr);
    EXPECT_EQ(otra.comprobantes, 0);
    EXPECT_EQ(YaRecibidos(otra.log).size(), 7);
    EXPECT_TRUE(sinCajas.shown().empty());
}

const char* const kCarreras[] = {"BajoElBloqueo", "Ciega", "SinClave"};
void PrintTo(Carrera c, std::ostream* os) { *os << kCarreras[static_cast<int>(c)]; }
std::string NombreDeCarrera(const testing::TestParamInfo<Carrera>& i) { return kCarreras[static_cast<int>(i.param)]; }
INSTANTIATE_TEST_SUITE_P(Lectura, DosEstaciones, testing::Values(Carrera::BajoElBloqueo, Carrera::Ciega, Carrera::SinClave),
                         NombreDeCarrera);

}  // namespace
