// The receive of a chain's day against the same reads and writes made on the raw SQLite API.
//
// Builds the demo databases and adds a chain's day to them: 20,000 articles (2% made of inputs)
// with their A3 prices, and 25,000 Depositos rows of 20 stores (tickets of about 8 lines, some
// stock entries and exits, 1% unknown articles, one ticket of 3,500 lines), journal entries on.
// Then runs three sides on it, each run in a process of its own on a fresh copy of the day:
//   raw      the same reads and writes with statements prepared once on the raw SQLite API, one
//            transaction per voucher;
//   receive  the receive (MovDeposito) headless: no wait window (the posting's neither), no
//            yielding to the window;
//   window   the receive as the operator waits for it: the program's wait window shown, the
//            voucher grid shown in a window, the window yielded to between rows as the program
//            does (Qt's event processing).
// Eleven rounds, the sides interleaved in that order in each. A day of 25,000 rows keeps a round's
// three runs within some 10 to 20 seconds of each other, so that a load that comes and goes on
// the machine falls on them alike, and eleven rounds (their medians leave a few disturbed rounds
// out) within a few minutes.
// Prints a line per round; then, on a day of 100,000 rows of its own, one headless receive's
// "movements/s: N", its time per row around 10k, 50k and 100k rows read and their growth; then
// each side's median time, "window/headless ratio: W" and last "receive/raw ratio: R". A ratio is
// of the two sides' fastest runs, followed by the ratio of their median wall times with the lowest
// and highest ratio of one round's two runs, and by the ratio of their median processor times
// (user and system), which leave out the waits for the processor and the disk.
//
//   bench_receive [--rows N] [--rounds N] [--only receive|window|raw] [--no-window] [--no-growth] [--disk]
//
// --rows makes a smaller (or larger) day, for a profiler; on a day of 100,000 rows or more the
// rounds' medians give the movements per second and the growth. --only runs one side (no ratio
// then); --no-window leaves the windowed runs out; --no-growth the growth day (the movements per
// second are the rounds' then).
// The databases lie in memory (/dev/shm) when the machine has it: what the bench compares is the
// program's own work against the raw engine's, and a disk shared with others makes a run's time
// wander by a third from one round to the next. --disk puts them in the temporary folder, for the
// figures of a day written to a disk.
#include "core/conecta_remota.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "posting/cls_cmn_cptes.h"
#include "receiver/mov_deposito.h"
#include "raw_sqlite.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cassert>
#include <map>
#include <string>
#include <vector>

namespace {

using rawsqlite::Die;
using rawsqlite::Exec;
using rawsqlite::Num;
using rawsqlite::Text;

constexpr int kFilas = 25000;              // the rounds' day: Depositos rows (--rows)
constexpr int kRondas = 11;                // rounds of the three sides (--rounds)
constexpr int kFilasCrecimiento = 100000;  // the day the time per row's growth is taken on
constexpr int kSucursales = 20;
constexpr int kArticulos = 20000;
constexpr int kPrimerArticulo = 100000;
constexpr int kLargo = 3500;               // the long ticket
constexpr long kMarca = 5000;              // the time per row is taken over this many rows
const char* const kDia = "10/03/2008";
const char* const kDiaIso = "2008-03-10 00:00:00";

sqlite3* OpenRaw(const QString& file) {
    sqlite3* db = rawsqlite::OpenRaw(file);
    Exec(db, "PRAGMA cache_size=-65536");   // as the embedded provider opens its databases
    return db;
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        Die(QStringLiteral("%1\n  in: %2").arg(QString::fromUtf8(sqlite3_errmsg(db)), QString::fromUtf8(sql)));
    return st;
}

void Step(sqlite3* db, sqlite3_stmt* st) {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) Die(QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_reset(st);
}

// A small fixed pseudo-random sequence: the same day on every run.
struct Azar {
    unsigned long long s = 88172645463325252ULL;
    int operator()(int n) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<int>(s % static_cast<unsigned long long>(n));
    }
};

// ---- the chain's day -------------------------------------------------------------------------

void LlenaCentral(const QString& file) {
    sqlite3* db = OpenRaw(file);
    Exec(db, "BEGIN");
    sqlite3_stmt* art = Prepare(db,
        "INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, IDUNIDAD, "
        "UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, IDTIPO, IDRUBRO, IDFAMILIA, CLASIFICACION, IVA, TASAIVA, EXENTO, "
        "COSTO, PESABLE, ENVASE, CUENTACONTABLE, CUENTACONTABLEC, CTACON1) VALUES (?1, ?2, ?3, 'Marca', '1u', 'UN', "
        "12, 'S', '', 'MER', 'ALM', '1', 'A', '1', ?4, ?5, ?6, 0, '0', '1.1.05', '5.1.01', '1.1.05')");
    sqlite3_stmt* barra = Prepare(db, "INSERT INTO MA_CODIGOSBARRA (IDARTICULO, NUMERO, CODIGOBARRA, IDUNIDAD) "
                                      "VALUES (?1, 0, ?2, 'UN')");
    sqlite3_stmt* precio = Prepare(db,
        "INSERT INTO V_MA_PRECIOS (IDLISTA, TIPOLISTA, IDARTICULO, NOMBRE, IDUNIDAD, PRECIO, PVENTA, ESTADO, TIPOACT, "
        "FECHA, IDINSERT, IDCOMPULSA, FHOFERTADESDE, FHOFERTAHASTA) VALUES ('A3', 'V', ?1, 'A3', 'UN', ?2, ?3, '1-M', "
        "'S', '2008-01-01 00:00:00', ?4, 1, ?5, ?6)");
    for (int i = 0; i < kArticulos; ++i) {
        const std::string id = std::to_string(kPrimerArticulo + i);
        Text(art, 1, id);
        Text(art, 2, Num("Articulo de la cadena %d", i));
        Text(art, 3, Num("ART %d", i));
        sqlite3_bind_double(art, 4, i % 5 == 0 ? 10.5 : 21);
        sqlite3_bind_int(art, 5, i % 17 == 0 ? 1 : 0);
        sqlite3_bind_double(art, 6, 10 + (i % 500) / 4.0);
        Step(db, art);
        Text(barra, 1, id);
        Text(barra, 2, Num("779%010d", i));
        Step(db, barra);
        Text(precio, 1, id);
        sqlite3_bind_double(precio, 2, 12 + (i % 500) / 3.0);
        sqlite3_bind_double(precio, 3, 15 + (i % 500) / 2.0);
        sqlite3_bind_int(precio, 4, i + 10);
        if (i % 4 == 0) {   // a quarter are on offer in March
            Text(precio, 5, "2008-03-01 00:00:00");
            Text(precio, 6, "2008-03-31 00:00:00");
        } else {
            sqlite3_bind_null(precio, 5);
            sqlite3_bind_null(precio, 6);
        }
        Step(db, precio);
    }
    sqlite3_finalize(art);
    sqlite3_finalize(barra);
    sqlite3_finalize(precio);

    // 2% of the articles are made of two others.
    sqlite3_stmt* insumo = Prepare(db, "INSERT INTO V_MA_INSUMOS (IDARTICULO, IdArticuloInsumo, IdUnidadInsumo, Cantidad) "
                                       "VALUES (?1, ?2, 'UN', ?3)");
    for (int i = 0; i < kArticulos; i += 50) {
        for (int k = 1; k <= 2; ++k) {
            Text(insumo, 1, std::to_string(kPrimerArticulo + i));
            Text(insumo, 2, std::to_string(kPrimerArticulo + (i + 7 * k) % kArticulos));
            sqlite3_bind_double(insumo, 3, k);
            Step(db, insumo);
        }
    }
    sqlite3_finalize(insumo);

    sqlite3_stmt* cfg = Prepare(db, "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES (?1, ?2, '')");
    for (int s = 1; s <= kSucursales; ++s) {
        if (s <= 2) continue;   // the demo holds stores 1 and 2
        Text(cfg, 1, Num("A%03dCfg_VentasSuc", s));
        Text(cfg, 2, "1|0|0|0|");
        Step(db, cfg);
    }
    sqlite3_finalize(cfg);
    // Each store is a business unit with its deposit.
    sqlite3_stmt* unidad = Prepare(db, "INSERT INTO V_TA_UnidadNegocio (Codigo, Descripcion) VALUES (?1, ?1)");
    sqlite3_stmt* deposito = Prepare(db, "INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UNegocio) VALUES (?1, ?1, ?1)");
    for (int s = 3; s <= kSucursales; ++s) {
        Text(unidad, 1, Num("A%03d", s));
        Step(db, unidad);
        Text(deposito, 1, Num("A%03d", s));
        Step(db, deposito);
    }
    sqlite3_finalize(unidad);
    sqlite3_finalize(deposito);
    Exec(db, "UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'AsientosXStock'");
    Exec(db, "COMMIT");
    sqlite3_close_v2(db);
}

struct Generado {
    int comprobantes = 0;
    int desconocidas = 0;
};

Generado LlenaDepositos(const QString& file, int total) {
    Generado g;
    sqlite3* db = OpenRaw(file);
    Exec(db, "BEGIN");
    sqlite3_stmt* ins = Prepare(db,
        "INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, "
        "cod_depo) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?2)");
    Azar azar;
    std::vector<int> numeros(kSucursales + 1, 0);
    auto comprobante = [&](int suc, const char* tipo, const char* mov, int numero, int lineas) {
        ++g.comprobantes;
        for (int l = 0; l < lineas; ++l) {
            Text(ins, 1, kDiaIso);
            Text(ins, 2, Num("%03d", suc));
            Text(ins, 3, tipo);
            Text(ins, 4, Num("%04d", suc));
            Text(ins, 5, Num("%08d", numero));
            Text(ins, 6, mov);
            if (azar(100) == 0) {
                Text(ins, 7, Num("9%07d", azar(1000000)));   // no such article
                ++g.desconocidas;
            } else {
                Text(ins, 7, std::to_string(kPrimerArticulo + azar(kArticulos)));
            }
            const int cantidad = 1 + azar(4);
            sqlite3_bind_int(ins, 8, cantidad);
            sqlite3_bind_double(ins, 9, cantidad * (5 + azar(2000) / 10.0));
            Step(db, ins);
        }
    };
    int filas = 0;
    // The long ticket comes first in the store's order: the rows timed later are of ordinary vouchers.
    comprobante(1, "VT", "VENTA", 0, kLargo);
    filas += kLargo;
    while (filas < total) {
        const int suc = 1 + azar(kSucursales);
        const int clase = azar(100);
        int lineas = clase < 92 ? 1 + azar(15) : 10 + azar(20);
        lineas = std::min(lineas, total - filas);
        const int numero = ++numeros[static_cast<size_t>(suc)];
        if (clase < 92)
            comprobante(suc, "VT", "VENTA", numero, lineas);
        else if (clase < 97)
            comprobante(suc, "IN", "INGRESO", numero, lineas);
        else
            comprobante(suc, "AJ", "EGRESO", numero, lineas);
        filas += lineas;
    }
    sqlite3_finalize(ins);
    Exec(db, "COMMIT");
    sqlite3_close_v2(db);
    return g;
}

// ---- the receive -----------------------------------------------------------------------------

// A phase's time: on the wall, and on the processor (user and system time of this process).
struct Tiempo {
    double reloj = 0, cpu = 0;
};
double CpuSegundos() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
class Medida {
public:
    Medida() : cpu_(CpuSegundos()) { reloj_.start(); }
    Tiempo fin() const { return Tiempo{static_cast<double>(reloj_.nsecsElapsed()) / 1e9, CpuSegundos() - cpu_}; }

private:
    QElapsedTimer reloj_;
    double cpu_;
};

// The wait window's progress lines ("Registros leidos N de TOTAL", shown as the row after the N
// read begins) give the rows read; the wall and processor seconds at every 5,000th row are kept,
// and at the last row's beginning, which stands for the day's total.
class Cronometro : public receiver::Espera {
public:
    void Muestra(const QString&) override {}
    void Oculta() override {}
    void Actualiza(const QString& linea1, const QString&, const QString&) override {
        static const QString prefijo = QStringLiteral("Registros leidos ");
        if (!linea1.startsWith(prefijo)) return;
        const QString cuenta = linea1.mid(prefijo.size());
        const long leidas = cuenta.section(u' ', 0, 0).toLong(), total = cuenta.section(u' ', 2, 2).toLong();
        if (leidas % kMarca != 0 && leidas + 1 != total) return;
        const Tiempo t = medida_.fin();
        if (leidas % kMarca == 0) marcas[leidas] = t;
        if (leidas + 1 == total) marcas[total] = t;
    }
    std::map<long, Tiempo> marcas;

private:
    const Medida medida_;
};

// Receives the day in `carpeta` with `espera` as the wait window; with `conVentana` the voucher
// grid is shown in a window and the run yields to the windows between rows.
Tiempo Recibe(const QString& carpeta, receiver::Espera& espera, bool conVentana, receiver::ResultadoRecepcion* r) {
    core::SetLineaComando(QStringLiteral("@Server=") + carpeta + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;"));
    QString conexion;
    if (!core::IniciaSistema(false, QString(), conexion, 3)) Die(QStringLiteral("no head-office connection"));
    if (!core::ConectaBaseRemota(carpeta, db::kInterfaceName, db::kInterfaceName, db::kInterfaceName))
        Die(QStringLiteral("no interface connection"));
    ui::FlexGrid grilla(QStringLiteral("MSFlexGrid1"));
    std::unique_ptr<QWidget> ventana;   // the main window's grid, as large as the program shows it
    if (conVentana) {
        ventana = std::make_unique<QWidget>();
        auto* capa = new QVBoxLayout(ventana.get());
        auto* vista = new ui::FlexGridView(&grilla, ventana.get());
        vista->setMaximumHeight(80);
        capa->addWidget(vista);
        ventana->resize(640, 430);
        ventana->show();
        QCoreApplication::processEvents();
        vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });
    }
    std::unique_ptr<posting::ClsCmnCptes> cpte;
    ui::FixedWidthMeasurer medida(120);
    receiver::VentanaRecepcion v{grilla, cpte, medida};
    v.porcentajeIVA = 21;
    v.fecha = QDate(2008, 3, 10);   // kDia
    v.transmision = QStringLiteral("3");
    v.espera = &espera;
    const Medida tiempo;
    *r = receiver::MovDeposito(v);
    if (conVentana) QCoreApplication::processEvents();   // what is left to draw
    const Tiempo segundos = tiempo.fin();
    vb::SetDoEventsHook(nullptr);
    ventana.reset();
    cpte.reset();
    data::ResetGlobalInstances();
    return segundos;
}

// ---- the raw side ----------------------------------------------------------------------------

// The receive's reads and writes, prepared once: per voucher the already-posted test, the
// settings, the voucher type's row read three times (sign, system, grid layout), its articles'
// accounts, costs and descriptions read in one list, and one transaction; per row the article,
// its type's description, its A3 price and its inputs read, and its stock row written. An entry
// or exit also reads its reason and register type and takes its journal entry's number, and per
// row adds to or writes its two lines and sets the entry's total on them. An article made of
// inputs writes a row per input (the input's data read) under the voucher's input-discharge
// voucher, which takes its number from the PE book (the books, the number's stored rows and
// entry read, its control row deleted, the book moved on).
Tiempo Crudo(const QString& carpeta) {
    const Medida medida;
    sqlite3* central = OpenRaw(QDir(carpeta).filePath(QStringLiteral("VOLMA.sqlite")));
    sqlite3* iface = OpenRaw(QDir(carpeta).filePath(db::kInterfaceName + QStringLiteral(".sqlite")));
    sqlite3_stmt* filas = Prepare(iface,
        "SELECT cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo FROM Depositos "
        "WHERE Fecha = ?1 ORDER BY cod_suc, TipoComp, PtoVta, Numero");
    sqlite3_stmt* recibido = Prepare(central,
        "SELECT 1 FROM V_MV_STOCK WHERE TC = ?1 AND IDCOMPROBANTE = ?2 AND UNEGOCIO = ?3 AND FECHA = ?4 LIMIT 1");
    sqlite3_stmt* articulo = Prepare(central, "SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO = ?1");
    sqlite3_stmt* ajuste = Prepare(central, "SELECT VALOR, valoraux FROM TA_CONFIGURACION WHERE CLAVE = ?1");
    sqlite3_stmt* tipoCpte = Prepare(central, "SELECT * FROM V_TA_CPTE WHERE CODIGO = ?1");
    sqlite3_stmt* sistema = Prepare(central, "SELECT * FROM V_TA_CPTE WHERE LTRIM(RTRIM(CODIGO)) = ?1 LIMIT 1");
    sqlite3_stmt* tipo = Prepare(central, "SELECT * FROM V_TA_TipoArticulo WHERE LTRIM(RTRIM(IdTipo)) = ?1 LIMIT 1");
    sqlite3_stmt* precio = Prepare(central,
        "SELECT idinsert, idcompulsa, fhofertadesde, fhofertahasta FROM V_MA_PRECIOS WHERE IDARTICULO = ?1 AND "
        "IDLISTA = 'A3' AND TIPOLISTA = 'V'");
    // The stock row with every value the posting writes.
    sqlite3_stmt* stock = Prepare(central,
        "INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdCaja, IdDeposito, IdArticulo, "
        "Descripcion, ControladoPor, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, PrecioVenta, "
        "Importe_S_Iva, Costo, Impuestos, DtoItem, Tc_Origen, IdComprobante_Origen, Id_Origen, IVARI, IVARNI, "
        "EQUIV_UDBASE, IDINSERT, IDCOMPULSA, Oferta, IdVendedor, Importe_Ud, Ud_Pr, UNEGOCIO, EnComodato) "
        "VALUES (?1, ?2, 0, ?3, ?4, '1   ', ?5, ?6, ?7, ?12, 'UN  ', ?8, ?8, 'UN  ', 1, ?9, ?10, ?11, 0, 0, 'I   ', '3', 0, "
        "?13, 0, 1, ?14, 1, 0, '', 0, '    ', ?12, 0)");
    // The journal entry of entries and exits.
    sqlite3_stmt* nroAsiento = Prepare(central,
        "SELECT MAX([Numero Asiento]) FROM MV_ASIENTOS WHERE Mes_Operativo = 3 AND (Tipo_Reg = 'STK') AND PERIODO = 2008");
    sqlite3_stmt* motivo = Prepare(central, "SELECT CUENTACONTABLE, Descripcion FROM V_TA_MOTIVOSTOCK WHERE IDMOTIVOSTOCK = 1");
    sqlite3_stmt* subdiarioCpte = Prepare(central, "SELECT * FROM MA_SUBDIARIOSCOMPROBANTES WHERE TC = ?1 LIMIT 1");
    sqlite3_stmt* subdiario = Prepare(central, "SELECT * FROM MA_SUBDIARIOS WHERE CODIGO = 'ST' LIMIT 1");
    const std::string delAsiento = " WHERE TC = ?1 AND SUCURSAL = ?2 AND NUMERO = ?3 AND LETRA = 'C' AND [Numero Asiento] = ?4 "
                                   "AND Mes_Operativo = 3 AND PERIODO = 2008";
    const std::string deLaLinea = delAsiento + " AND CUENTA = ?5 AND [DEBE-HABER] = ?6";
    sqlite3_stmt* suma = Prepare(central, ("UPDATE MV_ASIENTOS SET IMPORTE = IMPORTE + ?7" + deLaLinea).c_str());
    sqlite3_stmt* total = Prepare(central, ("UPDATE MV_ASIENTOS SET CABImporte = ?5" + delAsiento).c_str());
    sqlite3_stmt* nueva = Prepare(central,
        "INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], Fecha, FechaSubDiario, Detalle, TC, "
        "SUCURSAL, NUMERO, LETRA, PERIODO, Tipo_Reg, [DEBE-HABER], FechaHora_Grabacion, USUARIO_LOGEADO, Importe, Moneda, "
        "Cotizacion, CABImporte, CABCuenta, CABNombre, Unegocio, IdCajas) VALUES (?5, ?8, 3, ?4, ?9, ?9, 'Venta en "
        "sucursal', ?1, ?2, ?3, 'C', 2008, 'STK', ?6, ?9, 'sa', ?7, '   1', 1, ?7, '5.1.01', 'Venta en sucursal', ?10, '1')");
    int asiento = 0, siguienteLinea = 1;
    double totalAsiento = 0;
    auto asienta = [&](const std::string& tc, const std::string& suc, const std::string& nro, const std::string& unidad,
                       double importe) {
        auto delComprobante = [&](sqlite3_stmt* st) {
            Text(st, 1, tc);
            Text(st, 2, suc);
            Text(st, 3, nro);
            sqlite3_bind_int(st, 4, asiento);
        };
        if (asiento == 0) {   // the entry's reason, register type and number
            Step(central, motivo);
            Text(subdiarioCpte, 1, tc);
            Step(central, subdiarioCpte);
            Step(central, subdiario);
            asiento = sqlite3_step(nroAsiento) == SQLITE_ROW ? sqlite3_column_int(nroAsiento, 0) + 1 : 1;
            sqlite3_reset(nroAsiento);
            siguienteLinea = 1;
            totalAsiento = 0;
        }
        // The counter-account: credited by an entry, debited by an exit; the inventory the other way.
        const bool entrada = tc == "IR";
        const bool nuevas = siguienteLinea == 1;
        for (const auto& [cuenta, lado] : {std::pair<const char*, const char*>{"5.1.01", entrada ? "H" : "D"},
                                           std::pair<const char*, const char*>{"1.1.05", entrada ? "D" : "H"}}) {
            sqlite3_stmt* st = nuevas ? nueva : suma;
            delComprobante(st);
            Text(st, 5, cuenta);
            Text(st, 6, lado);
            sqlite3_bind_double(st, 7, importe);
            if (nuevas) {
                sqlite3_bind_int(st, 8, siguienteLinea++);
                Text(st, 9, kDiaIso);
                Text(st, 10, unidad);
            }
            Step(central, st);
        }
        totalAsiento += importe;
        delComprobante(total);
        sqlite3_bind_double(total, 5, totalAsiento);
        Step(central, total);
    };

    // The production-input discharge.
    sqlite3_stmt* insumos = Prepare(central, "SELECT * FROM V_MA_INSUMOS WHERE IDARTICULO = ?1");
    sqlite3_stmt* porCodigo = Prepare(central,
        "SELECT idarticulo, cuentacontableC, CUENTAPROVEEDOR, Costo, DESCRIPCION FROM V_MA_ARTICULOS WHERE idarticulo IN (?1)");
    sqlite3_stmt* libros = Prepare(central, "SELECT * FROM V_TA_CPTE WHERE CODIGO = 'PE' ORDER BY TALONARIO");
    sqlite3_stmt* libro = Prepare(central, "SELECT * FROM V_TA_CPTE WHERE CODIGO = 'PE' AND TALONARIO = 1");
    sqlite3_stmt* numeroTomado = Prepare(central, "SELECT TC, IDCOMPROBANTE FROM V_MV_STOCK WHERE TC = 'PE' AND IDCOMPROBANTE = ?1");
    sqlite3_stmt* asientoTomado = Prepare(central,
        "SELECT * FROM MV_ASIENTOS WHERE TC = 'PE' AND SUCURSAL = '0001' AND NUMERO = ?1 AND LETRA = 'X'");
    sqlite3_stmt* control = Prepare(central,
        "DELETE FROM V_MV_CTROL_CPTE WHERE TC = 'PE' AND SUCURSAL = '0001' AND NUMERO = ?1 AND LETRA = 'X'");
    sqlite3_stmt* avanzaLibro = Prepare(central, "UPDATE V_TA_CPTE SET X_ULTIMO_NRO = ?1 WHERE CODIGO = 'PE' AND TALONARIO = 1");
    sqlite3_stmt* insumoFila = Prepare(central,
        "INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, "
        "IdUnidad, Cantidad, IdMotivoStock, PrecioVenta, Importe_S_iva, Costo, Tc_Origen, IdComprobante_Origen, ControladoPor) "
        "VALUES ('PE', ?1, 0, ?2, ?3, ?4, ?5, ?6, 'UN', ?7, 1, 0, 0, ?8, ?9, ?10, ?11)");
    int ultimoPE = 0;
    std::string numeroPE;
    auto descarga = [&](const std::string& tc, const std::string& numero, const std::string& deposito,
                        const std::string& articulo, double cantidad, int* secuencia) {
        Text(insumos, 1, articulo);
        std::vector<std::pair<std::string, double>> partes;
        while (sqlite3_step(insumos) == SQLITE_ROW)
            partes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(insumos, 1)), sqlite3_column_double(insumos, 3));
        sqlite3_reset(insumos);
        if (partes.empty()) return;
        if (numeroPE.empty()) {
            for (sqlite3_stmt* st : {libros, libros, libro, libro}) Step(central, st);
            const std::string nro = Num("%08d", ultimoPE + 1);
            numeroPE = "0001" + nro + "X";
            for (sqlite3_stmt* st : {numeroTomado, asientoTomado, control}) {
                Text(st, 1, st == numeroTomado ? numeroPE : nro);
                Step(central, st);
            }
            sqlite3_bind_int(avanzaLibro, 1, ++ultimoPE);
            Step(central, avanzaLibro);
        }
        for (const auto& [insumo, porUnidad] : partes) {
            Text(porCodigo, 1, insumo);
            double costoInsumo = 0;
            if (sqlite3_step(porCodigo) == SQLITE_ROW) costoInsumo = sqlite3_column_double(porCodigo, 3);
            sqlite3_reset(porCodigo);
            Text(insumoFila, 1, numeroPE);
            sqlite3_bind_int(insumoFila, 2, ++*secuencia);
            Text(insumoFila, 3, kDiaIso);
            Text(insumoFila, 4, deposito);
            Text(insumoFila, 5, insumo);
            Text(insumoFila, 6, "Insumo");
            sqlite3_bind_double(insumoFila, 7, (tc == "IR" ? 1 : -1) * cantidad * porUnidad);
            sqlite3_bind_double(insumoFila, 8, costoInsumo);
            Text(insumoFila, 9, tc);
            Text(insumoFila, 10, numero);
            Text(insumoFila, 11, articulo);
            Step(central, insumoFila);
        }
    };

    Text(filas, 1, kDiaIso);
    std::string clave, tc, numero, unidad;
    int secuencia = 0;
    bool abierto = false, saltea = false;
    std::vector<std::string> articulosCpte;   // the voucher's articles, read as one list by its posting
    auto cierra = [&] {
        if (!articulosCpte.empty()) {
            std::string lista;
            for (const std::string& a : articulosCpte) lista += (lista.empty() ? "'" : ",'") + a + "'";
            sqlite3_stmt* datos = Prepare(central, ("SELECT idarticulo, cuentacontableC, CUENTAPROVEEDOR, Costo, DESCRIPCION "
                                                    "FROM V_MA_ARTICULOS WHERE idarticulo IN (" + lista + ")").c_str());
            Step(central, datos);
            sqlite3_finalize(datos);
            articulosCpte.clear();
        }
        if (abierto) Exec(central, "COMMIT");
        abierto = false;
    };
    auto col = [](sqlite3_stmt* st, int c) {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        return std::string(p ? p : "");
    };
    while (sqlite3_step(filas) == SQLITE_ROW) {
        const std::string suc = col(filas, 0), tipoComp = col(filas, 1), pto = col(filas, 2), nro = col(filas, 3);
        const std::string k = suc + '\x01' + tipoComp + '\x01' + pto + '\x01' + nro;
        if (k != clave) {
            cierra();
            clave = k;
            tc = tipoComp == "VT" ? "TK" : col(filas, 4) == "INGRESO" ? "IR" : "VS";
            numero = pto + nro + "C";
            unidad = "A" + suc;
            Text(recibido, 1, tc);
            Text(recibido, 2, numero);
            Text(recibido, 3, unidad);
            Text(recibido, 4, kDiaIso);
            saltea = sqlite3_step(recibido) == SQLITE_ROW;
            sqlite3_reset(recibido);
            secuencia = 0;
            for (const char* clave : {"A001Cfg_VentasSuc", "ConfirmaUDEquiv", "PideDepositoEnCptes", "NombreArticulos",
                                      "V_ListaPreciosPorItemArticulos", "TransporteCombustibles"}) {
                Text(ajuste, 1, clave);
                Step(central, ajuste);
            }
            for (sqlite3_stmt* st : {tipoCpte, sistema, tipoCpte}) {
                Text(st, 1, tc);
                Step(central, st);
            }
            asiento = 0;
            numeroPE.clear();
        }
        if (saltea) continue;
        Text(articulo, 1, col(filas, 5));
        if (sqlite3_step(articulo) != SQLITE_ROW) {
            sqlite3_reset(articulo);
            continue;
        }
        const std::string id = col(articulo, 0), descripcion = col(articulo, 1);
        const double costo = sqlite3_column_double(articulo, 17);
        sqlite3_reset(articulo);
        Text(tipo, 1, "MER");
        Step(central, tipo);
        if (std::find(articulosCpte.begin(), articulosCpte.end(), id) == articulosCpte.end()) articulosCpte.push_back(id);
        Text(precio, 1, id);
        int idInsert = 0;
        if (sqlite3_step(precio) == SQLITE_ROW) idInsert = sqlite3_column_int(precio, 0);
        sqlite3_reset(precio);
        if (!abierto) Exec(central, "BEGIN");
        abierto = true;
        const double cantidad = sqlite3_column_double(filas, 6), venta = sqlite3_column_double(filas, 7);
        Text(stock, 1, tc);
        Text(stock, 2, numero);
        sqlite3_bind_int(stock, 3, ++secuencia);
        Text(stock, 4, kDiaIso);
        Text(stock, 5, "A" + col(filas, 8));
        Text(stock, 6, id + std::string(25 - std::min<size_t>(25, id.size()), ' '));
        Text(stock, 7, descripcion + " (Mercadería) 1u");
        sqlite3_bind_double(stock, 8, tc == "IR" ? cantidad : -cantidad);
        sqlite3_bind_double(stock, 9, venta);
        sqlite3_bind_double(stock, 10, venta / 1.21);
        sqlite3_bind_double(stock, 11, costo);
        Text(stock, 12, unidad);
        sqlite3_bind_double(stock, 13, venta - venta / 1.21);
        sqlite3_bind_int(stock, 14, idInsert);
        Step(central, stock);
        descarga(tc, numero, "A" + col(filas, 8), id, cantidad, &secuencia);
        if (tc != "TK") asienta(tc, pto, nro, unidad, cantidad * costo);
    }
    cierra();
    for (sqlite3_stmt* st : {filas, recibido, articulo, ajuste, tipoCpte, sistema, tipo, precio, stock, nroAsiento, motivo,
                             subdiarioCpte, subdiario, suma, total, nueva, insumos, porCodigo, libros, libro, numeroTomado,
                             asientoTomado, control, avanzaLibro, insumoFila})
        sqlite3_finalize(st);
    sqlite3_close_v2(central);
    sqlite3_close_v2(iface);
    return medida.fin();
}

// What a side wrote: the day's stock rows, and the journal lines.
std::pair<long, long> Escritas(const QString& carpeta) {
    sqlite3* db = OpenRaw(QDir(carpeta).filePath(QStringLiteral("VOLMA.sqlite")));
    auto cuenta = [&](const char* sql) {
        sqlite3_stmt* st = Prepare(db, sql);
        const long n = sqlite3_step(st) == SQLITE_ROW ? static_cast<long>(sqlite3_column_int64(st, 0)) : -1;
        sqlite3_finalize(st);
        return n;
    };
    const std::pair<long, long> n{cuenta("SELECT COUNT(*) FROM V_MV_STOCK WHERE FECHA = '2008-03-10 00:00:00'"),
                                  cuenta("SELECT COUNT(*) FROM MV_ASIENTOS")};
    sqlite3_close_v2(db);
    return n;
}

// Figures are printed locale-free: an operator's comma locale changes neither what is printed
// nor what the benchmark reads back from its children.
QByteArray Fijo(double x, int decimales) { return QByteArray::number(x, 'f', decimales); }

// ---- the rounds ------------------------------------------------------------------------------

enum class Lado { Crudo, Recibe, Ventana };
constexpr Lado kRonda[] = {Lado::Crudo, Lado::Recibe, Lado::Ventana};   // a round's order
const char* Nombre(Lado lado) {
    switch (lado) {
    case Lado::Crudo: return "raw";
    case Lado::Recibe: return "receive";
    case Lado::Ventana: return "window";
    }
    return "?";
}

// One side, run in a process of its own on a copy of the day in `carpeta`, with a program folder
// of its own there (the receive's log lands in it): no run inherits another's caches, heap or
// log. Prints "time WALL CPU ROWS VOUCHERS LOGGED" and, for the headless receive, "mark ROWS WALL
// CPU" at every 5,000th row read.
int CorreLado(Lado lado, const QString& carpeta) {
    const QString programa = QDir(carpeta).filePath(QStringLiteral("programa"));
    if (!QDir().mkpath(programa)) Die(QStringLiteral("cannot make ") + programa);
    vb::SetAppPath(programa);
    qputenv("TEMP", QFile::encodeName(programa));
    ui::ScriptedPrompter sinCajas;   // the day shows no box; one that shows is counted and fails the run
    Tiempo t;
    receiver::ResultadoRecepcion r;
    std::map<long, Tiempo> marcas;
    if (lado == Lado::Crudo) {
        t = Crudo(carpeta);
    } else if (lado == Lado::Recibe) {
        utillib::VentanaEspera::SetMuestraVentanas(false);   // the posting's wait window too: no window at all
        Cronometro cronometro;
        t = Recibe(carpeta, cronometro, false, &r);
        marcas = cronometro.marcas;
    } else {
        receiver::EsperaPrograma espera;   // the program's wait windows, the posting's included, shown and drawn
        t = Recibe(carpeta, espera, true, &r);
    }
    if (!sinCajas.shown().empty()) Die(QStringLiteral("the receive showed a box: ") + sinCajas.shown().front().prompt);
    std::printf("time %s %s %ld %ld %ld\n", Fijo(t.reloj, 6).constData(), Fijo(t.cpu, 6).constData(), r.filas,
                r.comprobantes, r.rechazadas);
    for (const auto& [filas, m] : marcas)
        std::printf("mark %ld %s %s\n", filas, Fijo(m.reloj, 6).constData(), Fijo(m.cpu, 6).constData());
    return 0;
}

// What one run of a side took, read, posted and wrote.
struct Corrida {
    Tiempo t;
    long filas = 0, comprobantes = 0, rechazadas = 0;
    std::map<long, Tiempo> marcas;        // the headless receive's: its times at every 5,000th row read
    std::pair<long, long> escritas;       // stock rows and journal lines

    // Seconds per row over the 5,000 rows before `filas` (0 when not both marks were taken).
    double PorFila(long filas, double (*tiempo)(const Tiempo&)) const {
        const auto fin = marcas.find(filas), inicio = marcas.find(filas - kMarca);
        if (fin == marcas.end() || inicio == marcas.end()) return 0;
        return (tiempo(fin->second) - tiempo(inicio->second)) / static_cast<double>(kMarca);
    }
};

// Puts a file on the disk: the kernel writing it back later does not fall into a run's time.
void Asienta(const QString& archivo) {
    QFile f(archivo);
    if (!f.open(QIODevice::ReadWrite) || ::fsync(f.handle()) != 0) Die(QStringLiteral("cannot sync ") + archivo);
}

// A fresh copy of the day's databases in `destino`, on the disk before its run starts.
void CopiaDia(const QString& dia, const QString& destino) {
    if (!QDir(destino).removeRecursively() || !QDir().mkpath(destino)) Die(QStringLiteral("cannot make ") + destino);
    for (const QString& f : QDir(dia).entryList({QStringLiteral("*.sqlite")}, QDir::Files)) {
        const QString copia = QDir(destino).filePath(f);
        if (!QFile::copy(QDir(dia).filePath(f), copia)) Die(QStringLiteral("cannot copy ") + f);
        Asienta(copia);
    }
}

// Runs `lado` in a process of its own on a fresh copy of the day and reads back what it printed
// and what it wrote.
Corrida Corre(Lado lado, const QString& dia, const QString& carpeta) {
    CopiaDia(dia, carpeta);
    QProcess hija;
    hija.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    hija.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--side"), QString::fromLatin1(Nombre(lado)), carpeta});
    if (!hija.waitForFinished(-1) || hija.exitStatus() != QProcess::NormalExit || hija.exitCode() != 0)
        Die(QStringLiteral("the %1 run failed").arg(QString::fromLatin1(Nombre(lado))));
    Corrida c;
    bool dicho = false;
    for (const QByteArray& linea : hija.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> v = linea.trimmed().split(' ');
        bool ok = true, ok2 = true;
        if (v.size() == 6 && v[0] == "time") {
            c.t = Tiempo{v[1].toDouble(&ok), v[2].toDouble(&ok2)};
            c.filas = v[3].toLong();
            c.comprobantes = v[4].toLong();
            c.rechazadas = v[5].toLong();
            dicho = ok && ok2;
        } else if (v.size() == 4 && v[0] == "mark") {
            bool ok3 = true;
            c.marcas[v[1].toLong(&ok)] = Tiempo{v[2].toDouble(&ok2), v[3].toDouble(&ok3)};
            ok2 = ok2 && ok3;
        }
        if (!ok || !ok2)
            Die(QStringLiteral("the %1 run said: ").arg(QString::fromLatin1(Nombre(lado))) + QString::fromLatin1(linea));
    }
    if (!dicho) Die(QStringLiteral("the %1 run said nothing").arg(QString::fromLatin1(Nombre(lado))));
    c.escritas = Escritas(carpeta);
    if (!QDir(carpeta).removeRecursively()) Die(QStringLiteral("cannot remove ") + carpeta);
    return c;
}

double Mediana(std::vector<double> v) {
    assert(!v.empty());
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 == 1 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Figures over the rounds: the median, and the lowest and the highest.
struct Resumen {
    double mediana = 0, menor = 0, mayor = 0;
};
Resumen Resume(const std::vector<double>& v) {
    assert(!v.empty());
    return Resumen{Mediana(v), *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
}
template <typename F>
Resumen Resume(const std::vector<Corrida>& corridas, F valor) {
    std::vector<double> v;
    for (const Corrida& c : corridas) v.push_back(valor(c));
    return Resume(v);
}
double Reloj(const Tiempo& t) { return t.reloj; }
double Cpu(const Tiempo& t) { return t.cpu; }
Resumen Resume(const std::vector<Corrida>& corridas, double (*tiempo)(const Tiempo&)) {
    return Resume(corridas, [tiempo](const Corrida& c) { return tiempo(c.t); });
}

// One side's time over another's: the ratio of their medians, and the lowest and the highest
// ratio of one round's two runs.
Resumen Razon(const std::vector<Corrida>& arriba, const std::vector<Corrida>& abajo, double (*tiempo)(const Tiempo&)) {
    assert(arriba.size() == abajo.size() && !arriba.empty());
    std::vector<double> porRonda;
    for (size_t i = 0; i < arriba.size(); ++i) porRonda.push_back(tiempo(arriba[i].t) / tiempo(abajo[i].t));
    Resumen r = Resume(porRonda);
    r.mediana = Resume(arriba, tiempo).mediana / Resume(abajo, tiempo).mediana;
    return r;
}

// "NAME ratio: B (fastest runs), median M (rounds LOW to HIGH), processor P": the ratio of the two
// sides' fastest runs first. What else runs on the machine only ever adds time to a run (seen here:
// a run now and then half as slow again, on either side), so the fastest of several runs is the
// nearest to the work itself and the figure that holds from one bench to the next; then the
// ratio of the medians with the lowest and highest ratio of one round's two runs, and the ratio
// of the median processor times.
void ImprimeRazon(const char* nombre, const std::vector<Corrida>& arriba, const std::vector<Corrida>& abajo) {
    const Resumen reloj = Razon(arriba, abajo, Reloj), cpu = Razon(arriba, abajo, Cpu);
    const double mejor = Resume(arriba, Reloj).menor / Resume(abajo, Reloj).menor;
    std::printf("%s ratio: %s (fastest runs), median %s (rounds %s to %s), processor %s\n", nombre,
                Fijo(mejor, 2).constData(), Fijo(reloj.mediana, 2).constData(), Fijo(reloj.menor, 2).constData(),
                Fijo(reloj.mayor, 2).constData(), Fijo(cpu.mediana, 2).constData());
}

// "in M s (rounds LOW to HIGH s, processor P s)": the wall times' median and range, the processor
// time's median; one run's times alone.
QByteArray Segundos(const std::vector<Corrida>& corridas) {
    const Resumen reloj = Resume(corridas, Reloj);
    const Resumen cpu = Resume(corridas, Cpu);
    const QByteArray rango =
        corridas.size() > 1 ? "rounds " + Fijo(reloj.menor, 2) + " to " + Fijo(reloj.mayor, 2) + " s, " : QByteArray();
    return "in " + Fijo(reloj.mediana, 2) + " s (" + rango + "processor " + Fijo(cpu.mediana, 2) + " s)";
}

// Builds a day of `filas` Depositos rows in the folder `dia`, on the disk when done, and prints
// it as `nombre`.
void ArmaDia(const QString& dia, int filas, const char* nombre) {
    QElapsedTimer reloj;
    reloj.start();
    Generado g;
    try {
        db::CreateDemo(dia);
        LlenaCentral(QDir(dia).filePath(QStringLiteral("VOLMA.sqlite")));
        g = LlenaDepositos(QDir(dia).filePath(db::kInterfaceName + QStringLiteral(".sqlite")), filas);
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    for (const QString& f : QDir(dia).entryList(QDir::Files)) Asienta(QDir(dia).filePath(f));
    std::printf("%s: %d Depositos rows in %d store vouchers, %d unknown articles, %d articles (built in %s s)\n", nombre,
                filas, g.comprobantes, g.desconocidas, kArticulos,
                Fijo(static_cast<double>(reloj.elapsed()) / 1000, 1).constData());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--side") {
        for (const Lado lado : kRonda)
            if (std::string(argv[2]) == Nombre(lado)) return CorreLado(lado, QString::fromLocal8Bit(argv[3]));
        Die(QStringLiteral("no such side: ") + QString::fromLocal8Bit(argv[2]));
    }
    bool recibir = true, conVentana = true, crudo = true, crecimiento = true, enDisco = false;
    int filas = kFilas, rondas = kRondas;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--rows" && a + 1 < argc && std::atoi(argv[a + 1]) > kLargo) filas = std::atoi(argv[++a]);
        else if (arg == "--rounds" && a + 1 < argc && std::atoi(argv[a + 1]) > 0) rondas = std::atoi(argv[++a]);
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "receive") crudo = conVentana = false, ++a;
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "window") recibir = crudo = false, ++a;
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "raw") recibir = conVentana = false, ++a;
        else if (arg == "--no-window") conVentana = false;
        else if (arg == "--no-growth") crecimiento = false;
        else if (arg == "--disk") enDisco = true;
        else
            Die(QStringLiteral("usage: bench_receive [--rows N (more than %1)] [--rounds N] [--only receive|window|raw] "
                               "[--no-window] [--no-growth] [--disk]")
                    .arg(kLargo));
    }
    const QFileInfo memoria(QStringLiteral("/dev/shm"));
    const bool enMemoria = !enDisco && memoria.isDir() && memoria.isWritable();
    QTemporaryDir dir = enMemoria ? QTemporaryDir(QStringLiteral("/dev/shm/bench_receive-XXXXXX")) : QTemporaryDir();
    if (!dir.isValid()) Die(QStringLiteral("no temporary folder"));
    std::printf("files: %s (%s)\n", enMemoria ? "in memory" : "on disk", qPrintable(dir.path()));
    const QString programa = dir.filePath(QStringLiteral("programa"));
    QDir().mkpath(programa);
    vb::SetAppPath(programa);
    qputenv("TEMP", QFile::encodeName(programa));
    const QString dia = dir.filePath(QStringLiteral("dia"));
    ArmaDia(dia, filas, "day");

    std::map<Lado, std::vector<Corrida>> corridas;
    const std::map<Lado, bool> corre{{Lado::Crudo, crudo}, {Lado::Recibe, recibir}, {Lado::Ventana, conVentana}};
    for (int ronda = 1; ronda <= rondas; ++ronda) {
        QByteArray linea = "round " + QByteArray::number(ronda) + ":";
        for (const Lado lado : kRonda) {
            if (!corre.at(lado)) continue;
            const Corrida c = Corre(lado, dia, dir.filePath(QStringLiteral("corrida")));
            // Every run posts the same day: one that wrote other rows than the first is wrong.
            for (const auto& [otro, suyas] : corridas) {
                if (suyas.empty() || suyas.front().escritas == c.escritas) continue;
                Die(QStringLiteral("the %1 run wrote %2/%3 rows, the %4 run %5/%6")
                        .arg(QString::fromLatin1(Nombre(lado))).arg(c.escritas.first).arg(c.escritas.second)
                        .arg(QString::fromLatin1(Nombre(otro))).arg(suyas.front().escritas.first)
                        .arg(suyas.front().escritas.second));
            }
            corridas[lado].push_back(c);
            linea += " " + QByteArray(Nombre(lado)) + " " + Fijo(c.t.reloj, 2) + " s";
        }
        std::printf("%s\n", linea.constData());
        std::fflush(stdout);
    }

    // How fast the receive goes, and its time per row as the day's rows fill the tables, on a day of
    // 100,000 rows: the rounds' when their day is as long, else one headless receive's on a day of
    // its own.
    std::vector<Corrida> largas;
    if (recibir && filas >= kFilasCrecimiento) {
        largas = corridas[Lado::Recibe];
    } else if (recibir && crecimiento) {
        const QString diaLargo = dir.filePath(QStringLiteral("dia-crecimiento"));
        ArmaDia(diaLargo, kFilasCrecimiento, "growth day");
        largas.push_back(Corre(Lado::Recibe, diaLargo, dir.filePath(QStringLiteral("corrida"))));
        if (!QDir(diaLargo).removeRecursively()) Die(QStringLiteral("cannot remove ") + diaLargo);
        std::printf("growth run: %ld rows, %ld vouchers posted %s\n", largas.front().filas, largas.front().comprobantes,
                    Segundos(largas).constData());
    }
    auto movimientos = [](const std::vector<Corrida>& cs) {
        std::printf("movements/s: %s\n",
                    Fijo(static_cast<double>(cs.front().filas) / Resume(cs, Reloj).mediana, 0).constData());
    };
    if (!largas.empty()) {
        movimientos(largas);
        // Per row, the median of the runs' wall and processor seconds; the growth, theirs at 100k
        // rows over theirs at 10k.
        auto porFila = [&](long marca, double (*tiempo)(const Tiempo&)) {
            return Resume(largas, [marca, tiempo](const Corrida& c) { return c.PorFila(marca, tiempo); }).mediana;
        };
        for (const long marca : {10000L, 50000L, 100000L})
            std::printf("time per row at %ldk rows: %s us (processor %s us)\n", marca / 1000,
                        Fijo(porFila(marca, Reloj) * 1e6, 1).constData(), Fijo(porFila(marca, Cpu) * 1e6, 1).constData());
        const Resumen crece = Resume(largas, [](const Corrida& c) {
            return c.PorFila(10000, Reloj) > 0 ? c.PorFila(100000, Reloj) / c.PorFila(10000, Reloj) : 0;
        });
        const QByteArray rango =
            largas.size() > 1 ? " (rounds " + Fijo(crece.menor, 2) + "x to " + Fijo(crece.mayor, 2) + "x)" : QByteArray();
        if (porFila(10000, Reloj) > 0 && porFila(10000, Cpu) > 0)
            std::printf("growth 10k to 100k: %sx%s, processor %sx\n",
                        Fijo(porFila(100000, Reloj) / porFila(10000, Reloj), 2).constData(), rango.constData(),
                        Fijo(porFila(100000, Cpu) / porFila(10000, Cpu), 2).constData());
    }
    if (recibir) {
        const std::vector<Corrida>& rs = corridas[Lado::Recibe];
        const Corrida& r = rs.front();
        std::printf("receive: %ld rows, %ld vouchers posted, %ld rows logged, %ld stock rows and %ld journal lines %s\n",
                    r.filas, r.comprobantes, r.rechazadas, r.escritas.first, r.escritas.second, Segundos(rs).constData());
        if (largas.empty()) movimientos(rs);
    }
    if (conVentana) {
        const std::vector<Corrida>& vs = corridas[Lado::Ventana];
        const Corrida& v = vs.front();
        std::printf("window: %ld rows, %ld vouchers posted, %ld stock rows and %ld journal lines %s\n", v.filas,
                    v.comprobantes, v.escritas.first, v.escritas.second, Segundos(vs).constData());
        if (recibir) ImprimeRazon("window/headless", vs, corridas[Lado::Recibe]);
    }
    if (crudo) {
        const std::vector<Corrida>& cs = corridas[Lado::Crudo];
        std::printf("raw: %ld stock rows and %ld journal lines %s\n", cs.front().escritas.first, cs.front().escritas.second,
                    Segundos(cs).constData());
        if (recibir) ImprimeRazon("receive/raw", corridas[Lado::Recibe], cs);
    }
    return 0;
}
