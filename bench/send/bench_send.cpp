// The send's six copy steps, in the package's transaction as the send runs them, against the
// SQLite engine doing the same copy by itself.
//
// Builds a head-office database VOLMA with 1,000,000 rows across the six QET_KORVANE views and
// an interface database korvane_interfases with the six tables, then:
//   1. runs the six copy steps of the outbound package (full retransmission: every row);
//   2. empties the tables and copies the same rows with INSERT INTO ... SELECT across the
//      attached head-office database, converting in SQL what the steps convert.
// The last line is "pump/engine ratio: R", the first time over the second.
#include "db/databases.h"
#include "raw_sqlite.h"
#include "platform/ado/ado.h"
#include "platform/dts/dts.h"
#include "transfer/korvane.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using rawsqlite::Die;
using rawsqlite::Exec;
using rawsqlite::Num;
using rawsqlite::OpenRaw;
using rawsqlite::Text;

// Rows of each view: 1,000,000 in all.
constexpr int kArticulos = 200000;   // QET_KORVANE: one A3 price per article
constexpr int kBarras = 250000;      // QET_KORVANE_BARRAS: every article one barcode, a quarter two
constexpr int kBultos = 150000;      // QET_KORVANE_BULTOS
constexpr int kNovProv = 200000;     // QET_KORVANE_NOVPROV: the principal supplier of every article
constexpr int kProv = 50000;         // QET_KORVANE_PROV
constexpr int kOfertas = 150000;     // QET_KORVANE_OFERTAS

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


// Fills the head-office tables behind the six views (schema from db/, no demo rows).
void FillHeadOffice(const QString& file) {
    sqlite3* db = OpenRaw(file);
    Exec(db, "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('COD_SUC', '0001')");
    Fill(db, "INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, IDUNIDAD, "
             "UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, CLASIFICACION, IVA, PESABLE, ENVASE, CTACON1, CTACON2) "
             "VALUES (?1, ?2, ?3, ?4, '500', 'GR', 12, 'S', ?5, 'ALMACEN', '1', ?6, '0', '4.1.1.01', '4.1.1.02')",
         kArticulos, [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("ARTICULO DE PRUEBA NUMERO %d", i));
             Text(st, 3, Num("ART PRUEBA %d", i));
             Text(st, 4, Num("MARCA %d", i % 100));
             Text(st, 5, Num("E%07d", i));
             sqlite3_bind_int(st, 6, i % 2);
         });
    Fill(db, "INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, PRECIO, PVENTA, DTO1, DTO2, MARGEN, RECARGO1, "
             "RECARGO2, IMPINT, OBSERV, ESTADO, TIPOACT, FECHA) "
             "VALUES ('A3', 'V', ?1, ?2, ?3, '0', '5', 30.5, 0, 1.25, '0', '', '0-M', 'M', '2026-12-08 00:00:00')",
         kArticulos, [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             sqlite3_bind_double(st, 2, (i % 100000) / 100.0 + 0.1234);
             sqlite3_bind_double(st, 3, (i % 100000) / 50.0 + 0.5678);
         });
    Fill(db, "INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, PRINCIPAL, TIPOACT) "
             "VALUES (?1, ?2, ?3, 1, 'M')",
         kNovProv, [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("P%06d", i % kProv + 1));
             Text(st, 3, Num("NP%08d", i));
         });
    Fill(db, "INSERT INTO MA_CODIGOSBARRA (IDARTICULO, NUMERO, CODIGOBARRA) VALUES (?1, ?2, ?3)", kBarras,
         [](int i, sqlite3_stmt* st) {
             const bool second = i > kArticulos;
             Text(st, 1, Num("A%09d", second ? i - kArticulos : i));
             sqlite3_bind_int(st, 2, second ? 2 : 1);
             Text(st, 3, Num("779%010d", i));
         });
    Fill(db, "INSERT INTO MA_BULTOS (IDARTICULO, BULTO, CODIGOBARRADUN, TIPOACT) VALUES (?1, ?2, ?3, 'M')", kBultos,
         [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("A%09d", i));
             Text(st, 2, Num("%d", 6 + i % 20));
             Text(st, 3, Num("1779%010d", i));
         });
    Fill(db, "INSERT INTO VT_PROVEEDORES (CODIGO, RAZON_SOCIAL, CUIT, CONDIVA, TIPOACT, OBSERV) "
             "VALUES (?1, ?2, ?3, 'I', 'M', '')",
         kProv, [](int i, sqlite3_stmt* st) {
             Text(st, 1, Num("P%06d", i));
             Text(st, 2, Num("PROVEEDOR DE PRUEBA %d", i));
             Text(st, 3, Num("30%09d", i));
         });
    Fill(db, "INSERT INTO MA_OFERTAS (COD_OFE, IDARTICULO, DESCRIPCION, MANUAL, FDESDE, FHASTA, ACTIVO, PRECIO, DTO1, "
             "DTO2, MARGEN, RECARGO1, RECARGO2, IMPINT, PVENTA, TIPOACT, OBSERV) "
             "VALUES (?1, ?2, ?3, '0', '2026-12-01 00:00:00', '2026-12-31 00:00:00', '1', ?4, '0', '0', 25.5, 0, 0, '0', "
             "?5, 'M', '')",
         kOfertas, [](int i, sqlite3_stmt* st) {
             sqlite3_bind_int(st, 1, i / 1000 + 1);
             Text(st, 2, Num("A%09d", i));
             Text(st, 3, Num("OFERTA DE PRUEBA %d", i));
             sqlite3_bind_double(st, 4, (i % 100000) / 100.0 + 0.1234);
             sqlite3_bind_double(st, 5, (i % 100000) / 80.0 + 0.0005);
         });
    sqlite3_close_v2(db);
}

const char* const kTables[] = {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"};

// The same copies made by the engine: what the steps convert, converted in SQL.
const char* const kEngineCopies[] = {
    "INSERT INTO IMPONOVARTI (ARTI, DESCRI, DTICKET, MARCA, CONTENIDO, UNIMED, UNIBUL, HABCPA, ENGANCHE, PROV, NPRO, "
    "PBASE, DTO1, DTO2, MARGEN, RECARGO1, RECARGO2, IMPINT, IVA, PVENTA, CLASIFICACION, FECACT, TIPOACT, TIPOACT_ORIG, "
    "OBSERV, PESABLE, ENVASE, COD_CTACON1, COD_CTACON2, COD_CTACON1_IN, COD_CTACON2_IN, COD_SUC) "
    "SELECT ARTI, DESCRI, DTICKET, MARCA, CONTENIDO, UNIMED, CAST(UNIBUL AS TEXT), HABCPA, ENGANCHE, PROV, NPRO, "
    "ROUND(PBASE, 3), CAST(Dto1 AS NUMERIC), CAST(Dto2 AS NUMERIC), ROUND(MARGEN, 3), ROUND(RECARGO1, 3), "
    "ROUND(RECARGO2, 3), CAST(IMPINT AS NUMERIC), IVA, ROUND(PVENTA, 3), CLASIFICACION, strftime('%Y%m%d', FECACT), "
    "TIPOACT, TIPOACT_ORIG, OBSERV, CAST(Pesable AS TEXT), CAST(ENVASE AS INTEGER), CTACON1, CTACON2, COD_CTACON1_IN, "
    "COD_CTACON2_IN, COD_SUC FROM VOLMA.QET_KORVANE",
    "INSERT INTO IMPONOVBARRAS (COD_SUC, ARTI, CODBARR) SELECT COD_SUC, ARTI, CAST(CODBARR AS NUMERIC) "
    "FROM VOLMA.QET_KORVANE_BARRAS",
    "INSERT INTO IMPONOVBULTOS (COD_SUC, ARTI, BULTO, BULTOS00) SELECT COD_SUC, ARTI, BULTO, CAST(BULTOS00 AS NUMERIC) "
    "FROM VOLMA.QET_KORVANE_BULTOS",
    "INSERT INTO IMPONOVPROV (COD_SUC, ARTI, PROV, NPRO) SELECT COD_SUC, ARTI, PROV, NPRO FROM VOLMA.QET_KORVANE_NOVPROV",
    "INSERT INTO IMPOPROV (COD_SUC, codigo, descri, cuit, condiva, TIPOACT, TIPOACT_ORIG, OBSERV) "
    "SELECT COD_SUC, CODIGO, DESCRI, CUIT, CONDIVA, TIPOACT, TIPOACT_ORIG, OBSERV FROM VOLMA.QET_KORVANE_PROV",
    "INSERT INTO OFERTAS (COD_SUC, COD_OFE, DESCRI, MANUAL, FDESDE, FHASTA, ACTIVO, ARTI, PBASE, DTO1, DTO2, MARGEN, "
    "RECARGO1, RECARGO2, IMPINT, PVENTA, TIPOACT, TIPOACT_ORIG, OBSERV, PROV) "
    "SELECT COD_SUC, COD_OFE, substr(DESCRI, 1, 50), CAST(MANUAL AS INTEGER), FDESDE, FHASTA, CAST(ACTIVO AS INTEGER), "
    "ARTI, ROUND(PBASE, 3), CAST(Dto1 AS NUMERIC), CAST(Dto2 AS NUMERIC), ROUND(MARGEN, 3), ROUND(RECARGO1, 3), "
    "ROUND(RECARGO2, 3), CAST(IMPINT AS NUMERIC), ROUND(PVENTA, 3), TIPOACT, TIPOACT_ORIG, OBSERV, PROV "
    "FROM VOLMA.QET_KORVANE_OFERTAS",
};

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

long long Rows(sqlite3* db) {
    long long total = 0;
    for (const char* t : kTables) {
        sqlite3_stmt* st = nullptr;
        const std::string sql = std::string("SELECT COUNT(*) FROM ") + t;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            total += sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    return total;
}

void Empty(sqlite3* db) {
    for (const char* t : kTables)
        Exec(db, (std::string("DELETE FROM ") + t).c_str());
}

double EngineCopy(sqlite3* db, bool show) {
    QElapsedTimer timer;
    timer.start();
    int k = 0;
    for (const char* copy : kEngineCopies) {
        QElapsedTimer one;
        one.start();
        Exec(db, "BEGIN");
        Exec(db, copy);
        Exec(db, "COMMIT");
        if (show)
            std::printf("  %-28s %6.2f s\n", kTables[k], static_cast<double>(one.nsecsElapsed()) / 1e9);
        ++k;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        Die(QStringLiteral("no temporary folder"));
    const QString folder = dir.path();

    QElapsedTimer timer;
    timer.start();
    try {
        FillHeadOffice(db::CreateHeadOffice(folder, db::kHeadOfficeName, false));
        db::CreateInterface(folder, false);
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    std::printf("head office: %d rows across the six views (built in %.1f s)\n",
                kArticulos + kBarras + kBultos + kNovProv + kProv + kOfertas, timer.elapsed() / 1000.0);

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
    transfer::AgregaTareaImpoNovArti(*package, mode);
    transfer::AgregaTareaImpoNovBarras(*package, mode);
    transfer::AgregaTareaImpoNovBultos(*package, mode);
    transfer::AgregaTareaImpoNovProv(*package, mode);
    transfer::AgregaTareaImpoProv(*package, mode);
    transfer::AgregaTareaOfertas(*package, mode);
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
        std::printf("  %-28s %6.2f s\n", qPrintable(step->TaskName()), one.nsecsElapsed() / 1e9);
    }
    try {
        package->CommitTransaction();
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    const double pump = static_cast<double>(timer.nsecsElapsed()) / 1e9;
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

    std::printf("pump/engine ratio: %.2f\n", pump / copy);
    return 0;
}
