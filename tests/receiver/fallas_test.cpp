// A receive whose n-th head-office statement fails, under each answer to the error question
// (Retry, Ignore, Abort), and then received again: no store row is posted twice, none with a
// deposit, quantity or price it did not carry, none is missing without a log line giving its
// reason, and the day ends as posted once. A line the run itself cannot read is retried, skipped
// with its log line, or ends the run there. A database that stops taking writes half way is told
// once and ends the run; a receive afterwards posts the rest once. A log line the disk refuses is
// written once when retried, or ends the run there; none is written after a part of one.
#include "receiver_fixture.h"

#include "platform/vb/on_error.h"
#include "receiver/registro_recepcion.h"
#include "platform/vb/scope_guard.h"
#include "support/archivo_principal_sin_escritura.h"
#include "support/falla_en_paso.h"
#include "support/responde.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <filesystem>
#include <map>
#include <optional>
#include <numeric>
#include <unistd.h>

namespace {

using receivertest::kDiaDemo;
using testsupport::Responde;

// The program started on a folder's databases, its program folder (the receive logs') its own.
// A fresh copy of the template's databases in `carpeta` (made when missing).
void CopiaBases(const QString& plantilla, const QString& carpeta) {
    QDir().mkpath(carpeta);
    for (const QString& archivo : QDir(plantilla).entryList(QDir::Files))
        QFile::copy(QDir(plantilla).filePath(archivo), QDir(carpeta).filePath(archivo));
}

void Inicia(const QString& carpeta) {
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    vb::SetAppPath(carpeta);
    core::SetLineaComando(QStringLiteral("@Server=") + carpeta + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;"));
    QString conexion;
    ASSERT_TRUE(core::IniciaSistema(false, QString(), conexion, 3));
    ASSERT_TRUE(core::ConectaBaseRemota(carpeta, db::kInterfaceName, db::kInterfaceName, db::kInterfaceName));
}

class FallasTest : public receivertest::ReceiverFixture {
protected:
    // The day's stock rows as a multiset of what each carries (the row number left out: a row
    // skipped renumbers the rest).
    // With soloTienda, what comes of the store rows alone: no amounts, and no discharge rows (the
    // head office's values, read as they come).
    std::map<QString, int> Posteado() const {
        std::map<QString, int> filas;
        const QString columnas = soloTienda ? QStringLiteral("SELECT TC, IdComprobante, UNEGOCIO, IdArticulo, IdDeposito, "
                                                             "Cantidad, '', '' FROM V_MV_STOCK WHERE TC <> 'PE' AND ")
                                            : QStringLiteral("SELECT TC, IdComprobante, UNEGOCIO, IdArticulo, IdDeposito, "
                                                             "Cantidad, PrecioVenta, Costo FROM V_MV_STOCK WHERE ");
        for (const QString& f : Filas(Principal(), columnas + QStringLiteral("FECHA = '05/03/2008'"))) ++filas[f];
        return filas;
    }
    bool soloTienda = false;
    // A store row as the log names it and as its stock row does: store, number, article.
    static QString ClaveDeStock(const QString& fila) {
        const QStringList c = fila.split(u'|');
        QString articulo = c[3];
        while (articulo.startsWith(u'0')) articulo.remove(0, 1);
        return c[2].mid(1) + u'|' + c[1].mid(4, 8) + u'|' + articulo;
    }
    static QString ClaveDeLog(const QString& linea) {
        auto campo = [&](const QString& nombre) { return linea.section(QStringLiteral("; ") + nombre + u':', 1).section(u';', 0, 0); };
        return campo(QStringLiteral("Suc")) + u'|' + campo(QStringLiteral("Numero")) + u'|' + campo(QStringLiteral("Articulo"));
    }
    // The rows of every log in a folder that say why a row was not posted (not that it was).
    static QStringList Motivos(const QString& carpeta) {
        QStringList lineas;
        for (const QString& archivo : QDir(carpeta).entryList({QStringLiteral("err-*.log")}, QDir::Files))
            for (const QString& l : receivertest::LeeLog(QDir(carpeta).filePath(archivo)))
                if (!l.startsWith(QLatin1String("COMPROBANTE YA RECIBIDO"))) lineas << l;
        return lineas;
    }
    // What one statement-failure scenario leaves, checked against the clean receive: nothing
    // posted that the clean receive does not post, nor more often; once the day is `completo`
    // (received again), every row missing has a log line.
    void Verifica(const std::map<QString, int>& limpio, const QString& carpeta, bool completo) {
        const std::map<QString, int> posteado = Posteado();
        QStringList logueadas;
        for (const QString& l : Motivos(carpeta)) logueadas << ClaveDeLog(l);
        for (const auto& [fila, veces] : posteado) {
            const auto hallada = limpio.find(fila);
            EXPECT_TRUE(hallada != limpio.end() && veces <= hallada->second) << "posted as it was not: " << fila.toStdString();
        }
        for (const auto& [fila, veces] : limpio) {
            if (!completo) break;
            const auto hallada = posteado.find(fila);
            if ((hallada == posteado.end() ? 0 : hallada->second) == veces || fila.startsWith(QLatin1String("PE"))) continue;
            EXPECT_TRUE(logueadas.contains(ClaveDeStock(fila))) << "missing without a log line: " << fila.toStdString();
        }
        // Each voucher has at most one entry, and each entry balances.
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM (SELECT TC, SUCURSAL, NUMERO, Unegocio FROM MV_ASIENTOS "
                                                    "WHERE Tipo_Reg = 'STK' GROUP BY TC, SUCURSAL, NUMERO, Unegocio HAVING "
                                                    "COUNT(DISTINCT [Numero Asiento]) > 1) x")),
                  0);
        EXPECT_EQ(Count(Principal(), QStringLiteral("SELECT COUNT(*) FROM (SELECT [Numero Asiento] FROM MV_ASIENTOS GROUP BY "
                                                    "[Numero Asiento] HAVING SUM(CASE WHEN [DEBE-HABER] = 'D' THEN Importe "
                                                    "ELSE -Importe END) <> 0) x")),
                  0);
    }
};

// Every kPaso-th statement of the receive fails, each answer from its own first statement.
constexpr int kPaso = 3;

TEST_F(FallasTest, AStatementThatFailsUnderEachAnswerPostsNoRowTwiceAndLosesNoneUnlogged) {
    auto todas = std::make_shared<testsupport::EnesimaSentencia>([](const QString&) { return true; }, 0,
                                                                 testsupport::Rechaza(QString()));
    Principal().setConnectionCalls(todas);
    Recibe();
    Principal().setConnectionCalls(nullptr);
    const std::map<QString, int> limpio = Posteado();
    const int sentencias = todas->cuenta;
    ASSERT_GT(sentencias, 20);

    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
        for (int n = 1 + respuesta % 3; n <= sentencias; n += kPaso) {
            SCOPED_TRACE(testing::Message() << "answer " << respuesta << ", statement " << n);
            const QString carpeta = tmp.file(QStringLiteral("f%1-%2").arg(respuesta).arg(n));
            CopiaBases(plantilla, carpeta);
            Inicia(carpeta);
            if (HasFatalFailure()) return;
            Principal().setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
                [](const QString&) { return true; }, n, testsupport::Rechaza(QStringLiteral("Falla inyectada"))));
            {
                Responde responde(respuesta);
                Recibe();
            }
            Principal().setConnectionCalls(nullptr);
            Verifica(limpio, carpeta, false);
            {
                Responde responde(vb::kAbort);   // the day again, nothing failing
                Recibe();
                EXPECT_TRUE(responde.cajas.isEmpty()) << responde.cajas.join(u'\n').toStdString();
            }
            Verifica(limpio, carpeta, true);
            if (respuesta == vb::kRetry) {
                EXPECT_EQ(Posteado(), limpio);   // nothing was skipped: all of it, once
            }
            data::ResetGlobalInstances();
            QDir(carpeta).removeRecursively();
        }
    }
}

}  // namespace

namespace {

// The head office stops taking writes before the n-th stock row of the receive: made read-only
// (the engine refuses every write from then on), its disk full as the engine finds it (no page
// may be added: the engine refuses the write, and may roll the transaction back by itself), or
// that statement refused as a server refuses it on a full disk.
enum class Falla { SoloLectura, Llena, LlenaServidor };

std::shared_ptr<testsupport::EnesimaSentencia> BaseQueFalla(int enesima, Falla falla) {
    return std::make_shared<testsupport::EnesimaSentencia>(
        [](const QString& sql) { return sql.contains(QStringLiteral("INSERT INTO V_MV_STOCK"), Qt::CaseInsensitive); }, enesima,
        [falla](ado::Connection& cnn) {
            if (falla == Falla::SoloLectura) {
                cnn.Execute(QStringLiteral("PRAGMA query_only = 1"));
                return;
            }
            if (falla == Falla::Llena) {
                // No page may be added, and what room the pages have left is taken (by rows of the
                // voucher's own transaction, gone with it).
                const ado::RecordsetPtr paginas = cnn.Execute(QStringLiteral("PRAGMA page_count"));
                cnn.Execute(QStringLiteral("PRAGMA max_page_count = ") + paginas->Fields(0).Value().text());
                for (const int largo : {2000, 200, 20, 1}) {
                    try {
                        for (;;) cnn.Execute(QStringLiteral("INSERT INTO RELLENO (X) VALUES (REPLICATE('x', %1))").arg(largo));
                    } catch (const vb::Error&) {
                    }
                }
                cnn.errors().Clear();
                return;
            }
            const QString texto = QStringLiteral("database or disk is full");
            cnn.errors().Clear();
            cnn.errors().add(ado::ErrorItem{vb::kHrUnspecified, texto, QStringLiteral("Microsoft OLE DB Provider"),
                                            QStringLiteral("HY000"), 13});
            throw vb::Error(vb::kHrUnspecified, texto);
        });
}

TEST_F(FallasTest, ADatabaseThatStopsTakingWritesIsToldOnceAndTheNextReceivePostsTheRestOnce) {
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    Recibe();
    const std::map<QString, int> limpio = Posteado();
    for (const Falla falla : {Falla::SoloLectura, Falla::Llena, Falla::LlenaServidor}) {
        const char* nombres[] = {"solo-lectura", "llena", "llena-servidor"};
        SCOPED_TRACE(nombres[static_cast<int>(falla)]);
        const QString carpeta = tmp.file(QString::fromLatin1(nombres[static_cast<int>(falla)]));
        CopiaBases(plantilla, carpeta);
        Inicia(carpeta);
        ASSERT_FALSE(HasFatalFailure());
        Principal().gCnn()->Execute(QStringLiteral("CREATE TABLE RELLENO (X varchar(2000))"));
        Principal().setConnectionCalls(BaseQueFalla(4, falla));
        receiver::ResultadoRecepcion r;
        {
            Responde responde(vb::kIgnore);
            r = Recibe();
            ASSERT_EQ(responde.cajas.size(), 1) << responde.cajas.join(u'\n').toStdString();
            EXPECT_TRUE(responde.cajas[0].startsWith(QStringLiteral("Atención2:No se grabó el comprobante ")));
            EXPECT_TRUE(responde.cajas[0].endsWith(QStringLiteral("se detiene la recepción. Al recibir el mismo día otra vez "
                                                                  "se graba lo que falta.")))
                << responde.cajas[0].toStdString();
        }
        Principal().setConnectionCalls(nullptr);
        EXPECT_LT(r.comprobantes, 7);
        EXPECT_EQ(r.rechazadas, 0);   // the voucher under way is received again, not logged
        Verifica(limpio, carpeta, false);
        if (falla == Falla::SoloLectura) Principal().gCnn()->Execute(QStringLiteral("PRAGMA query_only = 0"));
        if (falla == Falla::Llena) Principal().gCnn()->Execute(QStringLiteral("PRAGMA max_page_count = 1000000"));
        {
            Responde responde(vb::kAbort);
            Recibe();
            EXPECT_TRUE(responde.cajas.isEmpty()) << responde.cajas.join(u'\n').toStdString();
        }
        EXPECT_EQ(Posteado(), limpio);
    }
}

// The head office's main file stops taking writes while its WAL journal still takes them (made
// immutable, or its disk read-only, under the running program): every commit still goes into the
// journal, but none can be written back into the file and the journal would grow without bound.
// The first commit's checkpoint finds it; the next voucher's transaction is refused as a database
// that takes no more work: one box, and the run ends. Nothing committed is lost (the journal holds it, and a station
// opening the file afterwards reads it), and once the file takes writes again a receive posts the
// rest once.
TEST_F(FallasTest, AHeadOfficeFileThatCannotTakeItsJournalIsToldOnceAndLosesNothing) {
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    Recibe();
    const std::map<QString, int> limpio = Posteado();
    const QString carpeta = tmp.file(QStringLiteral("sin-escritura"));
    CopiaBases(plantilla, carpeta);
    const QString volma = QDir(carpeta).filePath(QStringLiteral("VOLMA.sqlite"));
    testsupport::ArchivoPrincipalSinEscritura sistema;
    const vb::ScopeGuard cierra([] { data::ResetGlobalInstances(); });   // the connections through `sistema` end before it
    Inicia(carpeta);
    ASSERT_FALSE(HasFatalFailure());
    sistema.refuse(volma, true);
    receiver::ResultadoRecepcion r;
    {
        Responde responde(vb::kIgnore);
        r = Recibe();
        ASSERT_EQ(responde.cajas.size(), 1) << responde.cajas.join(u'\n').toStdString();
        EXPECT_TRUE(responde.cajas[0].startsWith(QStringLiteral("Atención2:"))) << responde.cajas[0].toStdString();
        EXPECT_TRUE(responde.cajas[0].contains(QStringLiteral("The database file %1 cannot be written").arg(volma)))
            << responde.cajas[0].toStdString();
        EXPECT_TRUE(responde.cajas[0].endsWith(QStringLiteral("se detiene la recepción. Al recibir el mismo día otra vez "
                                                              "se graba lo que falta.")));
    }
    EXPECT_GE(r.comprobantes, 1);
    EXPECT_LT(r.comprobantes, 7);
    Verifica(limpio, carpeta, false);
    // What the run committed stands in the journal: another connection reads it.
    const std::map<QString, int> posteado = Posteado();
    {
        auto otra = ado::Connection::Create();
        otra->Open(db::ConnectionText(carpeta, QStringLiteral("VOLMA")));
        EXPECT_EQ(testsupport::Count(otra, QStringLiteral("V_MV_STOCK WHERE FECHA = '05/03/2008'")),
                  static_cast<long>(std::accumulate(posteado.begin(), posteado.end(), 0,
                                                    [](int n, const auto& f) { return n + f.second; })));
    }
    sistema.refuse(volma, false);
    {
        Responde responde(vb::kAbort);
        Recibe();
        EXPECT_TRUE(responde.cajas.isEmpty()) << responde.cajas.join(u'\n').toStdString();
    }
    EXPECT_EQ(Posteado(), limpio);
}

}  // namespace

namespace {

// A line whose article cannot be read (a column of the articles' view gone) asks the run's error
// question: Retry reads it again and posts it once; Ignore logs each such row with the error and
// posts the rest; Abort ends the run with that row logged. Each time, a receive of the day once
// the view is mended posts the day once.
TEST_F(FallasTest, ALineThatCannotBeReadIsRetriedSkippedWithItsLogLineOrEndsTheRunThere) {
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    Recibe();
    const std::map<QString, int> limpio = Posteado();
    auto columna = [](const char* de, const char* a) {
        Exec(Principal(), QStringLiteral("ALTER TABLE MA_ARTICULOS RENAME COLUMN %1 TO %2").arg(QLatin1String(de), QLatin1String(a)));
    };
    for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
        SCOPED_TRACE(respuesta);
        const QString carpeta = tmp.file(QStringLiteral("linea%1").arg(respuesta));
        CopiaBases(plantilla, carpeta);
        Inicia(carpeta);
        ASSERT_FALSE(HasFatalFailure());
        columna("USATALLE", "USATALLE_X");
        receiver::ResultadoRecepcion r;
        QStringList cajas;
        {
            Responde contesta(respuesta, [&] { columna("USATALLE_X", "USATALLE"); });
            r = Recibe();
            cajas = contesta.cajas;
        }
        ASSERT_FALSE(cajas.isEmpty());
        EXPECT_TRUE(cajas[0].contains(QStringLiteral("(3265) Item cannot be found"))) << cajas[0].toStdString();
        const QStringList log = Log();
        if (respuesta == vb::kRetry) {
            EXPECT_EQ(cajas.size(), 1);
            EXPECT_EQ(Posteado(), limpio);
            EXPECT_EQ(log.size(), 1);   // only the unknown article
            continue;
        }
        EXPECT_TRUE(Posteado().empty());
        if (respuesta == vb::kIgnore) {
            EXPECT_EQ(log.filter(QStringLiteral("ERROR AL LEER LA FILA (")).size(), cajas.size());
            EXPECT_EQ(r.rechazadas, 10);   // and the unknown article
        } else {
            EXPECT_EQ(cajas.size(), 1);
            ASSERT_EQ(log.size(), 1);
            EXPECT_TRUE(log[0].startsWith(QStringLiteral("RECEPCION ANULADA EN ESTA FILA ("))) << log[0].toStdString();
            EXPECT_EQ(r.filas, 1);
        }
        columna("USATALLE_X", "USATALLE");
        Recibe();
        EXPECT_EQ(Posteado(), limpio);
    }
}

}  // namespace

namespace {

// A fault that raises inside one of the receive's own steps or the posting's, in turn at every few
// statements or value reads of the head office and the stores' database, under each
// answer: a refused statement that reaches the step unanswered by the data layer, a value read that
// fails its conversion, a value of another type. Whatever happens, and again once the day is
// received a second time, the property holds: each voucher whole or not at all (a row left out is
// logged with its reason), nothing posted twice, no row or entry line skipped or repeated in its
// sequence, each entry balanced, every row under its store's own stock reason. Retried, the day is
// posted as a clean receive posts it.
class FallaEnPasoTest : public FallasTest {
protected:
    // What breaks the property in the day's vouchers, counted: vouchers whose rows skip or repeat
    // a sequence number, stock entries whose lines do, rows not under their store's own reason.
    static QStringList Secuencias() {
        return Filas(Principal(), QStringLiteral("SELECT COUNT(*) FROM (SELECT TC, IdComprobante, UNEGOCIO FROM V_MV_STOCK "
                                                 "WHERE FECHA = '05/03/2008' GROUP BY TC, IdComprobante, UNEGOCIO HAVING "
                                                 "MIN(Secuencia) <> 1 OR MAX(Secuencia) <> COUNT(*) OR COUNT(DISTINCT "
                                                 "Secuencia) <> COUNT(*)) x "
                                                 "UNION ALL SELECT COUNT(*) FROM (SELECT [Numero Asiento] FROM MV_ASIENTOS "
                                                 "WHERE Tipo_Reg = 'STK' GROUP BY [Numero Asiento] HAVING MIN(Secuencia) <> 1 "
                                                 "OR MAX(Secuencia) <> COUNT(*) OR COUNT(DISTINCT Secuencia) <> COUNT(*)) y "
                                                 "UNION ALL SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '05/03/2008' AND "
                                                 "CAST(IdMotivoStock AS int) <> CASE RTRIM(UNEGOCIO) WHEN 'A001' THEN 11 "
                                                 "WHEN 'A002' THEN 12 END"));
    }
    // The day's stock entries line by line, with the totals of their heads.
    static QStringList Asientos() {
        return Filas(Principal(), QStringLiteral("SELECT [Numero Asiento], TC, SUCURSAL, NUMERO, Unegocio, Secuencia, Cuenta, "
                                                 "[DEBE-HABER], Importe, CABImporte FROM MV_ASIENTOS WHERE Tipo_Reg = 'STK' "
                                                 "ORDER BY 1, 6"));
    }
};

// The statements are swept one in kPasoSentencia, the value reads (many more) one in kPasoLectura.
constexpr int kPasoSentencia = 5;
constexpr int kPasoLectura = 13;

TEST_F(FallaEnPasoTest, AFaultRaisedInsideAStepUnderEachAnswerKeepsEachVoucherWholeOnceAndUnderItsReason) {
    using testsupport::FallaEnPaso;
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    const QStringList sanas{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    // The administrators' notice is sent by the run itself, outside its steps, on the data
    // layer's word that a statement never raises: it is no statement of a step.
    const auto enPasos = [](const QString& sql) { return !sql.contains(QLatin1String("XK_ENVIAR_MEMO_ADMIN")); };
    for (const FallaEnPaso::Tipo tipo : {FallaEnPaso::Sentencia, FallaEnPaso::Conversion, FallaEnPaso::TipoErroneo}) {
        const QString limpia = tmp.file(QStringLiteral("limpia%1").arg(tipo));
        CopiaBases(plantilla, limpia);
        Inicia(limpia);
        ASSERT_FALSE(HasFatalFailure());
        auto cuenta = std::make_shared<FallaEnPaso>(tipo, 0, enPasos);
        Principal().setConnectionCalls(cuenta);
        Remota().setConnectionCalls(cuenta);
        Recibe();
        Principal().setConnectionCalls(nullptr);
        Remota().setConnectionCalls(nullptr);
        // A value of another type that the head office's reads take as 0 changes amounts and the
        // discharge's values, and nothing of what the stores sent.
        soloTienda = tipo == FallaEnPaso::TipoErroneo;
        const std::map<QString, int> limpio = Posteado();
        const QStringList asientos = Asientos();
        ASSERT_EQ(Secuencias(), sanas);
        const int total = cuenta->cuenta();
        const int paso = tipo == FallaEnPaso::Sentencia ? kPasoSentencia : kPasoLectura;
        ASSERT_GT(total, 20);
        data::ResetGlobalInstances();

        int preguntadas = 0;
        for (const int respuesta : {vb::kRetry, vb::kIgnore, vb::kAbort}) {
            for (int n = 1 + respuesta % paso; n <= total; n += paso) {
                SCOPED_TRACE(testing::Message() << FallaEnPaso::kNombres[tipo] << " " << n << ", answer " << respuesta);
                const QString carpeta = tmp.file(QStringLiteral("p%1-%2-%3").arg(tipo).arg(respuesta).arg(n));
                CopiaBases(plantilla, carpeta);
                Inicia(carpeta);
                if (HasFatalFailure()) return;
                auto falla = std::make_shared<FallaEnPaso>(tipo, n, enPasos);
                Principal().setConnectionCalls(falla);
                Remota().setConnectionCalls(falla);
                int preguntas = 0;
                {
                    Responde responde(respuesta);
                    Recibe();
                    preguntas = responde.preguntas;
                }
                Principal().setConnectionCalls(nullptr);
                Remota().setConnectionCalls(nullptr);
                preguntadas += preguntas > 0;
                EXPECT_EQ(Secuencias(), sanas);
                Verifica(limpio, carpeta, false);
                if (respuesta == vb::kRetry && preguntas > 0) {   // retried: all of it, once
                    EXPECT_EQ(Posteado(), limpio);
                    EXPECT_EQ(Asientos(), asientos);
                }
                {
                    Responde responde(vb::kAbort);   // the day again, nothing failing
                    Recibe();
                    EXPECT_TRUE(responde.cajas.isEmpty()) << responde.cajas.join(u'\n').toStdString();
                }
                EXPECT_EQ(Secuencias(), sanas);
                Verifica(limpio, carpeta, true);
                data::ResetGlobalInstances();
                QDir(carpeta).removeRecursively();
            }
        }
        EXPECT_GT(preguntadas, 0);
    }
}

}  // namespace

namespace {

// The process's descriptor open on the file; -1 when none is.
int DescriptorDe(const QString& ruta) {
    const std::filesystem::path archivo = std::filesystem::canonical(ruta.toStdString());
    for (const auto& entrada : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entrada.path(), error) == archivo && !error) return std::stoi(entrada.path().filename());
    }
    return -1;
}

// While it lives, no file of the process grows past `bytes`: a write is cut there, as on a full disk.
class LimiteDeArchivo {
public:
    explicit LimiteDeArchivo(qint64 bytes) : senal_(std::signal(SIGXFSZ, SIG_IGN)) { Pone(bytes); }
    ~LimiteDeArchivo() {
        ::setrlimit(RLIMIT_FSIZE, &antes_);
        std::signal(SIGXFSZ, senal_);
    }

private:
    void Pone(qint64 bytes) {
        ::getrlimit(RLIMIT_FSIZE, &antes_);
        const rlimit limite{static_cast<rlim_t>(bytes), antes_.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    }
    void (*senal_)(int);
    rlimit antes_{};
};

// The server refuses the stock rows of one voucher (it fails, and its rows are logged), and the
// receive log's disk fills up at the notice naming the log: it is full (the file's descriptor is
// pointed at /dev/full), or it takes the first 20 bytes of the next line and no more (the
// process's file size limit; Vacia() must lift it at the box that asks about the line, before the
// run writes its database again). Vacia() gives the log room again.
class LogSinLugar : public testsupport::EnesimaSentencia {
public:
    LogSinLugar(const QString& comprobante, bool parcial)
        : EnesimaSentencia(
              [comprobante](const QString& sql) {
                  return sql.contains(QLatin1String("INSERT INTO V_MV_STOCK"), Qt::CaseInsensitive) && sql.contains(comprobante);
              },
              1, testsupport::Rechaza(receivertest::kFilaRechazada)),
          parcial_(parcial) {}
    ~LogSinLugar() override {
        if (guardado_ >= 0) ::close(guardado_);
    }
    ado::RecordsetPtr Execute(ado::Connection& cnn, const QString& sql, long* afectadas, long opciones) override {
        ado::RecordsetPtr rs = EnesimaSentencia::Execute(cnn, sql, afectadas, opciones);
        if (!lleno_ && sql.contains(QLatin1String("XK_ENVIAR_MEMO_ADMIN"))) Llena(receivertest::RutaDelAviso(sql).chopped(1));
        return rs;
    }
    // While the run asks about the line (the log's descriptor is still the one filled).
    void Vacia() {
        if (guardado_ >= 0) ::dup2(guardado_, fd_);
        limite_.reset();
    }

private:
    void Llena(const QString& ruta) {
        lleno_ = true;
        if (parcial_) return void(limite_.emplace(QFileInfo(ruta).size() + 20));
        fd_ = DescriptorDe(ruta);
        ASSERT_GE(fd_, 0) << ruta.toStdString();
        guardado_ = ::dup(fd_);
        const int lleno = ::open("/dev/full", O_WRONLY);
        ::dup2(lleno, fd_);
        ::close(lleno);
    }
    bool parcial_;
    bool lleno_ = false;
    int fd_ = -1, guardado_ = -1;
    std::optional<LimiteDeArchivo> limite_;
};

// A log line the disk refuses while a failed voucher's rows are logged (the third voucher of the
// day) is asked about and shown in the box: Reintentar, once the disk has room, writes each line
// once and whole (the disk had taken part of it); Anular ends the run there: the two vouchers
// posted before stay whole (their stock rows and entries), nothing after them is posted, and no
// line is asked about again. Each time, a later receive posts the rest of the day once.
TEST_F(FallaEnPasoTest, ALogLineTheDiskRefusesIsWrittenOnceWhenRetriedOrEndsTheRunThere) {
    const QString plantilla = tmp.file(QStringLiteral("plantilla"));
    db::CreateDemo(plantilla);
    Recibe();
    const std::map<QString, int> limpio = Posteado();
    const QStringList asientos = Asientos();
    const QString linea = QStringLiteral("ERROR AL GRABAR EL COMPROBANTE; Suc:001; Tipo:VT; PtoVta:0001; Numero:00000010; "
                                         "Movimiento:VENTA; Articulo:123;");
    for (const int respuesta : {vb::kRetry, vb::kAbort}) {
        SCOPED_TRACE(respuesta);
        const QString carpeta = tmp.file(QStringLiteral("lleno%1").arg(respuesta));
        CopiaBases(plantilla, carpeta);
        Inicia(carpeta);
        ASSERT_FALSE(HasFatalFailure());
        auto falla = std::make_shared<LogSinLugar>(QStringLiteral("000100000010C"), respuesta == vb::kRetry);
        Principal().setConnectionCalls(falla);
        receiver::ResultadoRecepcion r;
        int preguntas = 0;
        {
            Responde responde(respuesta, [&] { falla->Vacia(); });
            r = Recibe();
            preguntas = responde.preguntas;
            const QStringList escritura = responde.cajas.filter(QStringLiteral("No se puede escribir el registro de recepción"));
            ASSERT_FALSE(escritura.isEmpty()) << responde.cajas.join(u'\n').toStdString();
            EXPECT_TRUE(escritura[0].contains(linea)) << escritura[0].toStdString();
        }
        Principal().setConnectionCalls(nullptr);
        ASSERT_FALSE(HasFatalFailure());
        const QStringList log = LeeLog(r.log);
        if (respuesta == vb::kRetry) {
            EXPECT_EQ(preguntas, 1);
            // The voucher's two rows and the unknown article, each line whole.
            ASSERT_EQ(log.size(), 3) << log.join(u'\n').toStdString();
            EXPECT_TRUE(log[0].startsWith(linea) && log[1].startsWith(linea.section(QStringLiteral("123;"), 0, 0)) &&
                        log[2].startsWith(QLatin1String("ARTICULO INEXISTENTE; Suc:002;")))
                << log.join(u'\n').toStdString();
            EXPECT_EQ(r.comprobantes, 6);
        } else {
            EXPECT_EQ(preguntas, 1);
            EXPECT_TRUE(log.isEmpty()) << log.join(u'\n').toStdString();
            EXPECT_EQ(r.comprobantes, 2);
            std::map<QString, int> antes;
            for (const auto& [fila, veces] : limpio)
                if (fila.startsWith(QLatin1String("VS|000100000005C|A001|")) || fila.startsWith(QLatin1String("IR|000300000007C|A001|")))
                    antes[fila] = veces;
            EXPECT_EQ(Posteado(), antes);
            EXPECT_EQ(Asientos(), asientos.mid(0, 4));   // the two entries of those two vouchers, first of the day
        }
        {
            Responde responde(vb::kAbort);
            Recibe();
            EXPECT_TRUE(responde.cajas.isEmpty()) << responde.cajas.join(u'\n').toStdString();
        }
        EXPECT_EQ(Posteado(), limpio);
        EXPECT_EQ(Secuencias(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
        Verifica(limpio, carpeta, true);
        data::ResetGlobalInstances();
    }
}

// A part of a line that the file will not give back (a memory file that can grow, to 10 bytes, but
// not shrink): the next line fails as well, and nothing is written after the part.
TEST(RegistroRecepcionTest, NoLineIsWrittenAfterAPartTheFileWouldNotGiveBack) {
    testsupport::TempFolder tmp;
    receiver::RegistroRecepcion log;
    ASSERT_TRUE(log.Abre({tmp.path()}, QDate(2008, 3, 5)));
    const int fd = DescriptorDe(log.ruta()), m = ::memfd_create("registro", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (m < 0) GTEST_SKIP() << "no memory files here";
    ASSERT_TRUE(::fcntl(m, F_ADD_SEALS, F_SEAL_SHRINK) == 0 && ::dup2(m, fd) == fd && ::close(m) == 0);
    {
        const LimiteDeArchivo limite(10);
        EXPECT_THROW(log.Escribe(QStringLiteral("ARTICULO INEXISTENTE")), vb::Error);
    }
    EXPECT_THROW(log.Escribe(QStringLiteral("uno")), vb::Error);
    char leido[32] = {};
    EXPECT_EQ(QByteArray(leido, ::pread(fd, leido, sizeof leido, 0)), QByteArray("ARTICULO I"));
}

}  // namespace
