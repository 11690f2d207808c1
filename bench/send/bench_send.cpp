// The send as the operator waits for it, against the SQLite engine doing the same work.
//
// 1. The six copy steps alone (pump/engine): a head-office database VOLMA with 1,000,000 rows
//    across the six QET_KORVANE views and an interface database korvane_interfases; the six copy
//    steps of the outbound package (full retransmission: every row) in the package's transaction,
//    then the same rows copied with INSERT INTO ... SELECT across the attached head-office file,
//    converting in SQL what the steps convert.
// 2. The whole send as the main window runs it (normal mode: truncate, six copies, the marking of
//    the pending A3 prices of the articles copied, the transmission record) on days of 50,000,
//    200,000 and 500,000 articles, four fifths of them with a pending price; then the engine does
//    the same work with plain statements: the six tables emptied and filled with INSERT ... SELECT
//    in one transaction, then one set-based UPDATE of the same prices and the record in another.
//    Before each timed run the interface holds a previous send, which both empty alike.
// It prints the send's time per price at each size, "growth 50k->500k: G" (time per price at
// 500,000 over that at 50,000) and, last, "send/engine ratio: R" at 500,000.
#include "sender/frm_status.h"
#include "sender/korvane_paquete.h"
#include "core/conecta_remota.h"
#include "core/consultas_iface.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "raw_sqlite.h"
#include "platform/ado/ado.h"
#include "platform/dts/dts.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "sender/korvane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using rawsqlite::Die;
using rawsqlite::Exec;
using rawsqlite::Num;
using rawsqlite::OpenRaw;
using rawsqlite::Text;

// A day at head office: `articulos` articles, each with its A3 price, and the rows of the other
// views in proportion (for 200,000 articles, 1,000,000 rows across the six views). With `todos`
// every price is pending and changed; otherwise four articles in five (the others were sent
// before and are unchanged: their article, barcode, pack and supplier rows stay home in a normal
// send).
struct Dia {
    int articulos;
    bool todos;
    int barras() const { return articulos / 4 * 5; }     // every article one barcode, a quarter two
    int bultos() const { return articulos / 4 * 3; }
    int novProv() const { return articulos; }            // the principal supplier of every article
    int prov() const { return articulos / 4; }
    int ofertas() const { return articulos / 4 * 3; }
    int filas() const { return articulos + barras() + bultos() + novProv() + prov() + ofertas(); }
    bool pendiente(int i) const { return todos || i % 5 != 0; }
    int pendientes() const { return todos ? articulos : articulos - articulos / 5; }
};

// Fills a table with n rows: row(i, stmt) binds the values of row i.
template <class F>
void Fill(sqlite3* db, const char* insert, int n, F row) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, insert, -1, &st, nullptr) != SQLITE_OK)
        Die(QString::fromUtf8(sqlite3_errmsg(db)));
    Exec(db, "BEGIN");
    for (int i = 1; i <= n; ++i) {
        row(i, st);
        if (sqlite3_step(st) != SQLITE_DONE)
            Die(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_reset(st);
    }
    Exec(db, "COMMIT");
    sqlite3_finalize(st);
}

// Fills the head-office tables behind the six views (schema from db/; the branch code when the
// file has no demo rows).
void FillHeadOffice(const QString& file, const Dia& dia, bool conSucursal) {
    sqlite3* db = OpenRaw(file);
    if (conSucursal)
        Exec(db, "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('COD_SUC', '0001')");
    const char* const estados[] = {"0-M", "0-C", "0-B"};
    const auto tipoAct = [&](int i) { return std::string(dia.pendiente(i) ? "M" : "S"); };
    Fill(db, "INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, IDUNIDAD, "
             "UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, CLASIFICACION, IVA, PESABLE, ENVASE, CTACON1, CTACON2) "
             "VALUES (?1, ?2, ?3, ?4, '500', 'GR', 12, 'S', ?5, 'ALMACEN', '1', ?6, '0', '4.1.1.01', '4.1.1.02')",
         dia.articulos, [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("ARTICULO DE PRUEBA NUMERO %d", i));
             Text(st, 3, Num("ART PRUEBA %d", i));
             Text(st, 4, Num("MARCA %d", i % 100));
             Text(st, 5, Num("E%07d", i));
             sqlite3_bind_int(st, 6, i % 2);
         });
    Fill(db, "INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, PRECIO, PVENTA, DTO1, DTO2, MARGEN, RECARGO1, "
             "RECARGO2, IMPINT, OBSERV, ESTADO, TIPOACT, TRANSMISION, FECHA) "
             "VALUES ('A3', 'V', ?1, ?2, ?3, '0', '5', 30.5, 0, 1.25, '0', '', ?4, ?5, ?6, '2026-12-08 00:00:00')",
         dia.articulos, [&](int i, sqlite3_stmt* st) {
             const bool pendiente = dia.pendiente(i);
             Text(st, 1, Num("A%09d", i));
             sqlite3_bind_double(st, 2, (i % 100000) / 100.0 + 0.1234);
             sqlite3_bind_double(st, 3, (i % 100000) / 50.0 + 0.5678);
             Text(st, 4, pendiente ? estados[i % 3] : "1-M");
             Text(st, 5, tipoAct(i));
             sqlite3_bind_int(st, 6, pendiente ? 0 : 1);
         });
    Fill(db, "INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, PRINCIPAL, TIPOACT) "
             "VALUES (?1, ?2, ?3, 1, ?4)",
         dia.novProv(), [&](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("P%06d", i % dia.prov() + 1));
             Text(st, 3, Num("NP%08d", i));
             Text(st, 4, tipoAct(i));
         });
    Fill(db, "INSERT INTO MA_CODIGOSBARRA (IDARTICULO, NUMERO, CODIGOBARRA) VALUES (?1, ?2, ?3)", dia.barras(),
         [&](int i, sqlite3_stmt* st) {
             const bool second = i > dia.articulos;
             Text(st, 1, Num("A%09d", second ? i - dia.articulos : i));
             sqlite3_bind_int(st, 2, second ? 2 : 1);
             Text(st, 3, Num("779%010d", i));
         });
    Fill(db, "INSERT INTO MA_BULTOS (IDARTICULO, BULTO, CODIGOBARRADUN, TIPOACT) VALUES (?1, ?2, ?3, ?4)", dia.bultos(),
         [&](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("%d", 6 + i % 20));
             Text(st, 3, Num("1779%010d", i));
             Text(st, 4, tipoAct(i));
         });
    Fill(db, "INSERT INTO VT_PROVEEDORES (CODIGO, RAZON_SOCIAL, CUIT, CONDIVA, TIPOACT, OBSERV) "
             "VALUES (?1, ?2, ?3, 'I', 'M', '')",
         dia.prov(), [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("P%06d", i));
             Text(st, 2, Num("PROVEEDOR DE PRUEBA %d", i));
             Text(st, 3, Num("30%09d", i));
         });
    Fill(db, "INSERT INTO MA_OFERTAS (COD_OFE, IDARTICULO, DESCRIPCION, MANUAL, FDESDE, FHASTA, ACTIVO, PRECIO, DTO1, "
             "DTO2, MARGEN, RECARGO1, RECARGO2, IMPINT, PVENTA, TIPOACT, OBSERV) "
             "VALUES (?1, ?2, ?3, '0', '2026-12-01 00:00:00', '2026-12-31 00:00:00', '1', ?4, '0', '0', 25.5, 0, 0, '0', "
             "?5, 'M', '')",
         dia.ofertas(), [](int i, sqlite3_stmt* st) {
             sqlite3_bind_int(st, 1, i / 1000 + 1);
             Text(st, 2, Num("A%09d", i));
             Text(st, 3, Num("OFERTA DE PRUEBA %d", i));
             sqlite3_bind_double(st, 4, (i % 100000) / 100.0 + 0.1234);
             sqlite3_bind_double(st, 5, (i % 100000) / 80.0 + 0.0005);
         });
    sqlite3_close_v2(db);
}

const char* const kTables[] = {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"};

// The same copies made by the engine: what the steps convert, converted in SQL. In a normal send
// the first four take only the changed rows.
struct CopiaMotor {
    const char* sql;
    bool novedades;
};
const CopiaMotor kEngineCopies[] = {
    {"INSERT INTO IMPONOVARTI (ARTI, DESCRI, DTICKET, MARCA, CONTENIDO, UNIMED, UNIBUL, HABCPA, ENGANCHE, PROV, NPRO, "
     "PBASE, DTO1, DTO2, MARGEN, RECARGO1, RECARGO2, IMPINT, IVA, PVENTA, CLASIFICACION, FECACT, TIPOACT, TIPOACT_ORIG, "
     "OBSERV, PESABLE, ENVASE, COD_CTACON1, COD_CTACON2, COD_CTACON1_IN, COD_CTACON2_IN, COD_SUC) "
     "SELECT ARTI, DESCRI, DTICKET, MARCA, CONTENIDO, UNIMED, CAST(UNIBUL AS TEXT), HABCPA, ENGANCHE, PROV, NPRO, "
     "ROUND(PBASE, 3), CAST(Dto1 AS NUMERIC), CAST(Dto2 AS NUMERIC), ROUND(MARGEN, 3), ROUND(RECARGO1, 3), "
     "ROUND(RECARGO2, 3), CAST(IMPINT AS NUMERIC), IVA, ROUND(PVENTA, 3), CLASIFICACION, strftime('%Y%m%d', FECACT), "
     "TIPOACT, TIPOACT_ORIG, OBSERV, CAST(Pesable AS TEXT), CAST(ENVASE AS INTEGER), CTACON1, CTACON2, COD_CTACON1_IN, "
     "COD_CTACON2_IN, COD_SUC FROM VOLMA.QET_KORVANE",
     true},
    {"INSERT INTO IMPONOVBARRAS (COD_SUC, ARTI, CODBARR) SELECT COD_SUC, ARTI, CAST(CODBARR AS NUMERIC) "
     "FROM VOLMA.QET_KORVANE_BARRAS",
     true},
    {"INSERT INTO IMPONOVBULTOS (COD_SUC, ARTI, BULTO, BULTOS00) SELECT COD_SUC, ARTI, BULTO, CAST(BULTOS00 AS NUMERIC) "
     "FROM VOLMA.QET_KORVANE_BULTOS",
     true},
    {"INSERT INTO IMPONOVPROV (COD_SUC, ARTI, PROV, NPRO) SELECT COD_SUC, ARTI, PROV, NPRO FROM VOLMA.QET_KORVANE_NOVPROV",
     true},
    {"INSERT INTO IMPOPROV (COD_SUC, codigo, descri, cuit, condiva, TIPOACT, TIPOACT_ORIG, OBSERV) "
     "SELECT COD_SUC, CODIGO, DESCRI, CUIT, CONDIVA, TIPOACT, TIPOACT_ORIG, OBSERV FROM VOLMA.QET_KORVANE_PROV",
     false},
    {"INSERT INTO OFERTAS (COD_SUC, COD_OFE, DESCRI, MANUAL, FDESDE, FHASTA, ACTIVO, ARTI, PBASE, DTO1, DTO2, MARGEN, "
     "RECARGO1, RECARGO2, IMPINT, PVENTA, TIPOACT, TIPOACT_ORIG, OBSERV, PROV) "
     "SELECT COD_SUC, COD_OFE, substr(DESCRI, 1, 50), CAST(MANUAL AS INTEGER), FDESDE, FHASTA, CAST(ACTIVO AS INTEGER), "
     "ARTI, ROUND(PBASE, 3), CAST(Dto1 AS NUMERIC), CAST(Dto2 AS NUMERIC), ROUND(MARGEN, 3), ROUND(RECARGO1, 3), "
     "ROUND(RECARGO2, 3), CAST(IMPINT AS NUMERIC), ROUND(PVENTA, 3), TIPOACT, TIPOACT_ORIG, OBSERV, PROV "
     "FROM VOLMA.QET_KORVANE_OFERTAS",
     false},
};

std::string CopiaDelMotor(const CopiaMotor& c, bool novedades) {
    return std::string(c.sql) + (novedades && c.novedades ? " WHERE TIPOACT = 'M'" : "");
}

void AddConnection(dts::Package& package, long id, const QString& folder, const QString& catalog) {
    auto c = package.Connections().New(QStringLiteral("SQLOLEDB"));
    c->setName(QStringLiteral("Microsoft OLE DB Provider for SQL Server %1").arg(id));
    c->setID(id);
    c->setReusable(true);
    c->setDataSource(folder);
    c->setCatalog(catalog);
    c->setUserID(QStringLiteral("sa"));
    c->setPassword(QStringLiteral("sa"));
    package.Connections().Add(c);
}

long long Scalar(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        Die(QString::fromUtf8(sqlite3_errmsg(db)));
    const long long v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    return v;
}

long long Rows(sqlite3* db) {
    long long total = 0;
    for (const char* t : kTables)
        total += Scalar(db, std::string("SELECT COUNT(*) FROM ") + t);
    return total;
}

void Empty(sqlite3* db) {
    for (const char* t : kTables)
        Exec(db, (std::string("DELETE FROM ") + t).c_str());
}

double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

// A statement with every %d replaced by n.
std::string Fmt(std::string pattern, int n) {
    const std::string v = std::to_string(n);
    for (size_t at = pattern.find("%d"); at != std::string::npos; at = pattern.find("%d", at + v.size()))
        pattern.replace(at, 2, v);
    return pattern;
}

double EngineCopy(sqlite3* db, bool show) {
    QElapsedTimer timer;
    timer.start();
    int k = 0;
    for (const CopiaMotor& copy : kEngineCopies) {
        QElapsedTimer one;
        one.start();
        Exec(db, "BEGIN");
        Exec(db, CopiaDelMotor(copy, false).c_str());
        Exec(db, "COMMIT");
        if (show)
            std::printf("  %-28s %6.2f s\n", kTables[k], Seconds(one));
        ++k;
    }
    return Seconds(timer);
}

// 1. The six copy steps alone against the engine's copy; the ratio of the two.
double CopiaSola() {
    QTemporaryDir dir;
    if (!dir.isValid())
        Die(QStringLiteral("no temporary folder"));
    const QString folder = dir.path();
    const Dia dia{200000, true};

    QElapsedTimer timer;
    timer.start();
    try {
        FillHeadOffice(db::CreateHeadOffice(folder, db::kHeadOfficeName, false), dia, true);
        db::CreateInterface(folder, false);
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    std::printf("head office: %d rows across the six views (built in %.1f s)\n", dia.filas(), timer.elapsed() / 1000.0);

    sqlite3* engine = OpenRaw(dir.filePath(QStringLiteral("korvane_interfases.sqlite")));
    const std::string attach = "ATTACH DATABASE '" + dir.filePath(QStringLiteral("VOLMA.sqlite")).toStdString() + "' AS VOLMA";
    Exec(engine, attach.c_str());

    // Warm the file cache for both runs alike.
    EngineCopy(engine, false);
    Empty(engine);

    // The package's six copy steps.
    // As the send runs them: every step in the package's transaction, committed at the end.
    const QString mode = QStringLiteral("C");
    auto package = dts::Package::Create();
    package->setUseTransaction(true);
    AddConnection(*package, 1, folder, QStringLiteral("VOLMA"));
    AddConnection(*package, 2, folder, QStringLiteral("korvane_interfases"));
    sender::AgregaTareaImpoNovArti(*package, mode);
    sender::AgregaTareaImpoNovBarras(*package, mode);
    sender::AgregaTareaImpoNovBultos(*package, mode);
    sender::AgregaTareaImpoNovProv(*package, mode);
    sender::AgregaTareaImpoProv(*package, mode);
    sender::AgregaTareaOfertas(*package, mode);
    for (const auto& task : package->Tasks()) {
        auto step = package->Steps().New();
        step->setName(QStringLiteral("Paso ") + task->Name());
        step->setTaskName(task->Name());
        step->setJoinTransactionIfPresent(true);
        package->Steps().Add(step);
    }
    timer.restart();
    for (const auto& step : package->Steps()) {
        QElapsedTimer one;
        one.start();
        step->Execute();
        if (step->ExecutionResult() != dts::DTSStepExecResult_Success)
            Die(step->TaskName() + QStringLiteral(": ") + step->ErrorDescription());
        std::printf("  %-28s %6.2f s\n", qPrintable(step->TaskName()), Seconds(one));
    }
    try {
        package->CommitTransaction();
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    const double pump = Seconds(timer);
    package->UnInitialize();
    const long long pumped = Rows(engine);
    std::printf("pump:   %lld rows in %.2f s\n", pumped, pump);

    Empty(engine);
    const double copy = EngineCopy(engine, true);
    const long long copied = Rows(engine);
    std::printf("engine: %lld rows in %.2f s\n", copied, copy);
    sqlite3_close_v2(engine);
    if (pumped != copied)
        Die(QStringLiteral("the two copies differ in rows: %1 and %2").arg(pumped).arg(copied));
    return pump / copy;
}

// The engine's whole send under transmission number n: the six tables emptied and filled in one
// transaction, then the prices of the articles copied marked and the transmission recorded in
// another.
void EngineSend(sqlite3* db, int n) {
    Exec(db, "BEGIN");
    Empty(db);
    for (const CopiaMotor& copy : kEngineCopies)
        Exec(db, CopiaDelMotor(copy, true).c_str());
    Exec(db, "COMMIT");
    Exec(db, "BEGIN");
    Exec(db, Fmt("UPDATE VOLMA.V_MA_PRECIOS SET ESTADO = CASE ESTADO WHEN '0-M' THEN '1-M' WHEN '0-C' THEN '1-C' "
                 "ELSE '1-B' END, CAMBIOCODBARRA = 0, TRANSMISION = %d WHERE IDLISTA = 'A3' AND ESTADO IN ('0-M', "
                 "'0-C', '0-B') AND IDARTICULO IN (SELECT ARTI FROM main.IMPONOVARTI)",
                 n)
                 .c_str());
    Exec(db, Fmt("INSERT INTO VOLMA.MV_NOVEDADESPRECIOS (CODIGO, IDLISTA, NOMBRE, TIPOMOV, FECHA) VALUES (%d, 'A3', "
                 "'A3', 'G', '2026-12-08 00:00:00')",
                 n)
                 .c_str());
    Exec(db, "COMMIT");
}

// The prices transmission n marked pending again, and its record gone.
void Unmark(sqlite3* db, int n) {
    Exec(db, Fmt("UPDATE VOLMA.V_MA_PRECIOS SET ESTADO = '0-' || substr(ESTADO, 3), TRANSMISION = 0 "
                 "WHERE TRANSMISION = %d",
                 n)
                 .c_str());
    Exec(db, Fmt("DELETE FROM VOLMA.MV_NOVEDADESPRECIOS WHERE CODIGO = %d", n).c_str());
}

// What a send under number n left: the prices it marked, checked against the pending ones.
void CheckMarked(sqlite3* db, int n, const Dia& dia, const char* who) {
    const long long marked = Scalar(db, Fmt("SELECT COUNT(*) FROM VOLMA.V_MA_PRECIOS WHERE TRANSMISION = %d", n));
    const long long recorded = Scalar(db, Fmt("SELECT COUNT(*) FROM VOLMA.MV_NOVEDADESPRECIOS WHERE CODIGO = %d", n));
    const long long sent = Scalar(db, "SELECT COUNT(*) FROM IMPONOVARTI");
    if (marked != dia.pendientes() || recorded != 1 || sent != dia.pendientes())
        Die(QStringLiteral("%1: %2 articles sent, %3 prices marked, %4 records; %5 pending prices")
                .arg(QLatin1String(who))
                .arg(sent)
                .arg(marked)
                .arg(recorded)
                .arg(dia.pendientes()));
}

struct Envio {
    double send = 0;     // seconds, the better of the runs
    double engine = 0;   // seconds, the better of the runs
    std::vector<double> sends;   // every run's
};

// 2. The whole send of a day of `articulos` articles, as the main window runs it, and the engine's.
Envio MideEnvio(int articulos) {
    QTemporaryDir dir;
    if (!dir.isValid())
        Die(QStringLiteral("no temporary folder"));
    const QString folder = dir.path();
    const Dia dia{articulos, false};
    try {
        const QString volma = db::CreateHeadOffice(folder, db::kHeadOfficeName, true);
        db::CreateInterface(folder, false);
        // The demo's own prices were sent before; its articles get a principal supplier.
        sqlite3* db = OpenRaw(volma);
        Exec(db, "UPDATE V_MA_PRECIOS SET ESTADO = '1-M', TIPOACT = 'S', TRANSMISION = 1");
        Exec(db, "INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, PRINCIPAL, TIPOACT) "
                 "SELECT IDARTICULO, 'P0001', 'X', 1, 'S' FROM MA_ARTICULOS WHERE IDARTICULO NOT IN "
                 "(SELECT IDARTICULO FROM MA_ARTICULOSPROVEEDOR)");
        sqlite3_close_v2(db);
        FillHeadOffice(volma, dia, false);
    } catch (const vb::Error& e) {
        Die(e.description());
    }

    // The program started on the folder, as the main window finds it when Enviar is clicked.
    data::ResetGlobalInstances();
    core::ReiniciaEstado();
    core::ResetConsultas();
    sender::DestroyFrmStatus();
    vb::SetAppPath(folder);
    qputenv("TEMP", folder.toLocal8Bit());
    core::SetLineaComando(QStringLiteral("@Server=") + folder + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;"));
    QString conexion;
    if (!core::IniciaSistema(false, QString(), conexion, 3) ||
        !core::ConectaBaseRemota(folder, QStringLiteral("KORVANE_INTERFASES"), QStringLiteral("KORVANE_INTERFASES"),
                                 QStringLiteral("KORVANE_INTERFASES")))
        Die(QStringLiteral("the program does not start on %1").arg(folder));

    sqlite3* engine = OpenRaw(dir.filePath(QStringLiteral("korvane_interfases.sqlite")));
    const std::string attach = "ATTACH DATABASE '" + dir.filePath(QStringLiteral("VOLMA.sqlite")).toStdString() + "' AS VOLMA";
    Exec(engine, attach.c_str());

    // A previous send in the interface tables (and the file cache warm for both runs alike).
    EngineSend(engine, 1001);
    Unmark(engine, 1001);

    // Twice each, the better time of the two (the machine is shared), the send's steps shown once.
    Envio e{1e30, 1e30, {}};
    for (int vez = 0; vez < 2; ++vez) {
        // Each step's time, from the progress window's rows: started (2) to the next one started.
        QStringList pasos;
        std::vector<double> desde;
        QElapsedTimer reloj;
        reloj.start();
        sender::SetObservadorEstado([&](const QString& paso, int estado) {
            if (estado != 2) return;
            pasos << paso;
            desde.push_back(Seconds(reloj));
        });
        ui::ScriptedPrompter guion;
        guion.answer(1, QStringLiteral("Proceso Finalizado..."));
        QElapsedTimer timer;
        timer.start();
        const bool registrado = sender::ArmaYEjecutaPaqueteDTS(0, {QStringLiteral("1002"), QDate(2026, 12, 8)});
        e.sends.push_back(Seconds(timer));
        e.send = std::min(e.send, e.sends.back());
        sender::SetObservadorEstado(nullptr);
        if (!registrado || !guion.exhausted())
            Die(QStringLiteral("the send of %1 articles failed").arg(articulos));
        desde.push_back(Seconds(reloj));
        for (qsizetype k = 0; k < pasos.size() && vez == 0; ++k)
            std::printf("  %-28s %6.2f s\n", qPrintable(pasos[k]), desde[static_cast<size_t>(k) + 1] - desde[static_cast<size_t>(k)]);
        CheckMarked(engine, 1002, dia, "send");
        Unmark(engine, 1002);

        timer.restart();
        EngineSend(engine, 1003);
        e.engine = std::min(e.engine, Seconds(timer));
        CheckMarked(engine, 1003, dia, "engine");
        Unmark(engine, 1003);
    }
    sqlite3_close_v2(engine);

    sender::DestroyFrmStatus();
    data::ResetGlobalInstances();   // closes the program's connections before the folder goes
    const double perPrice = e.send / dia.pendientes() * 1e6;
    std::printf("send of %6d articles, %6d pending prices: %6.2f s (%.2f us a price); engine %6.2f s\n", articulos,
                dia.pendientes(), e.send, perPrice, e.engine);
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");   // the progress window, unseen
    QApplication app(argc, argv);
    vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });   // as the program does

    const double pumpRatio = CopiaSola();
    std::printf("pump/engine ratio: %.2f\n", pumpRatio);

    const int sizes[] = {50000, 200000, 500000};
    double perPrice[3] = {};
    Envio last;
    for (int k = 0; k < 3; ++k) {
        last = MideEnvio(sizes[k]);
        perPrice[k] = last.send / Dia{sizes[k], false}.pendientes();
    }
    std::printf("send of 500,000 articles: %.2f s wall (runs: %.2f s, %.2f s)\n", last.send, last.sends[0], last.sends[1]);
    std::printf("growth 50k->500k: %.2f\n", perPrice[2] / perPrice[0]);
    std::printf("send/engine ratio: %.2f\n", last.send / last.engine);
    return 0;
}
