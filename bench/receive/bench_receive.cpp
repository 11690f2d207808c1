// The receive of a chain's day against the same reads and writes made on the raw SQLite API.
//
// Builds the demo databases and adds a chain's day to them: 20,000 articles (2% made of inputs)
// with their A3 prices, and 100,000 Depositos rows of 20 stores (tickets of about 8 lines, some
// stock entries and exits, 1% unknown articles, one ticket of 3,500 lines), journal entries on.
// Then, on three copies of it:
//   1. runs the receive (MovDeposito) headless: no wait window (the posting's neither), no yielding
//      to the window;
//   2. runs it as the operator waits for it, in a process of its own (as the first is the first of
//      this one): the program's wait window shown, the voucher grid shown in a window, the window
//      yielded to between rows as the program does (Qt's event processing);
//   3. does the same reads and writes with statements prepared once on the raw SQLite API, one
//      transaction per voucher.
// Prints "movements/s: N", the receive's time per row around 10k, 50k and 100k rows read, the
// windowed run's time and "window/headless ratio: W" (the second time over the first), and last
// "receive/raw ratio: R", the first time over the third.
//
//   bench_receive [--rows N] [--only receive|window|raw] [--no-window]
//
// --rows makes a smaller (or larger) day, for a profiler; --only runs one side (no ratio then);
// --no-window leaves the windowed run out.
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
#include <QProcess>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using rawsqlite::Die;
using rawsqlite::Exec;
using rawsqlite::Num;
using rawsqlite::Text;

int gFilas = 100000;                       // the day's Depositos rows (--rows)
constexpr int kSucursales = 20;
constexpr int kArticulos = 20000;
constexpr int kPrimerArticulo = 100000;
constexpr int kLargo = 3500;               // the long ticket
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

Generado LlenaDepositos(const QString& file) {
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
    while (filas < gFilas) {
        const int suc = 1 + azar(kSucursales);
        const int clase = azar(100);
        int lineas = clase < 92 ? 1 + azar(15) : 10 + azar(20);
        lineas = std::min(lineas, gFilas - filas);
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

// The wait window's progress lines give the rows read; the times around the marks are kept.
class Cronometro : public receiver::Espera {
public:
    Cronometro() { reloj_.start(); }
    void Muestra(const QString&) override {}
    void Oculta() override {}
    void Actualiza(const QString& linea1, const QString&, const QString&) override {
        static const QString prefijo = QStringLiteral("Registros leidos ");
        if (!linea1.startsWith(prefijo)) return;
        const long leidas = linea1.mid(prefijo.size()).section(u' ', 0, 0).toLong();
        if (leidas % 5000 == 0) marcas[leidas] = static_cast<double>(reloj_.nsecsElapsed()) / 1e9;
        ultima = leidas;
        marcas[gFilas] = static_cast<double>(reloj_.nsecsElapsed()) / 1e9;
    }
    // Seconds per row over the 5,000 rows before `filas`.
    double PorFila(long filas) const {
        const auto fin = marcas.find(filas), inicio = marcas.find(filas - 5000);
        if (fin == marcas.end() || inicio == marcas.end()) return 0;
        return (fin->second - inicio->second) / 5000;
    }
    std::map<long, double> marcas;
    long ultima = 0;

private:
    QElapsedTimer reloj_;
};

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
Tiempo Crudo(const QString& carpeta, long* escritas) {
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
    *escritas = 0;
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
        ++*escritas;
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

// Two sides that should have written the same rows: the run stops when they did not.
void MismasEscrituras(const std::pair<long, long>& a, const std::pair<long, long>& b, const char* que) {
    if (a == b) return;
    Die(QStringLiteral("%1: %2/%3 and %4/%5").arg(QString::fromLatin1(que)).arg(a.first).arg(a.second).arg(b.first).arg(b.second));
}

// The windowed receive, run by the benchmark in a process of its own on the day it built under
// `raiz`: the program's wait windows, the posting's included, shown and drawn. Prints its wall
// and processor seconds, the rows read and the vouchers posted.
int RecibeConVentana(const QString& raiz) {
    vb::SetAppPath(QDir(raiz).filePath(QStringLiteral("programa")));
    qputenv("TEMP", QFile::encodeName(QDir(raiz).filePath(QStringLiteral("programa"))));
    ui::ScriptedPrompter sinCajas;
    receiver::EsperaPrograma espera;
    receiver::ResultadoRecepcion r;
    const Tiempo t = Recibe(QDir(raiz).filePath(QStringLiteral("ventana")), espera, true, &r);
    if (!sinCajas.shown().empty()) Die(QStringLiteral("the receive showed a box: ") + sinCajas.shown().front().prompt);
    std::printf("%.6f %.6f %ld %ld\n", t.reloj, t.cpu, r.filas, r.comprobantes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--window-child") return RecibeConVentana(QString::fromLocal8Bit(argv[2]));
    bool recibir = true, conVentana = true, crudo = true;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--rows" && a + 1 < argc && std::atoi(argv[a + 1]) > kLargo) gFilas = std::atoi(argv[++a]);
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "receive") crudo = conVentana = false, ++a;
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "window") recibir = crudo = false, ++a;
        else if (arg == "--only" && a + 1 < argc && std::string(argv[a + 1]) == "raw") recibir = conVentana = false, ++a;
        else if (arg == "--no-window") conVentana = false;
        else
            Die(QStringLiteral("usage: bench_receive [--rows N (more than %1)] [--only receive|window|raw] [--no-window]")
                    .arg(kLargo));
    }
    QTemporaryDir dir;
    if (!dir.isValid()) Die(QStringLiteral("no temporary folder"));
    const QString programa = dir.filePath(QStringLiteral("programa"));
    QDir().mkpath(programa);
    vb::SetAppPath(programa);
    qputenv("TEMP", QFile::encodeName(programa));
    ui::ScriptedPrompter sinCajas;   // the day shows no box; one that shows is counted and fails the run
    utillib::VentanaEspera::SetMuestraVentanas(false);   // the posting's wait window too: no window at all

    QElapsedTimer reloj;
    reloj.start();
    const QString recepcion = dir.filePath(QStringLiteral("recepcion"));
    const QString crudoDir = dir.filePath(QStringLiteral("crudo"));
    const QString ventanaDir = dir.filePath(QStringLiteral("ventana"));
    Generado g;
    try {
        db::CreateDemo(recepcion);
        LlenaCentral(QDir(recepcion).filePath(QStringLiteral("VOLMA.sqlite")));
        g = LlenaDepositos(QDir(recepcion).filePath(db::kInterfaceName + QStringLiteral(".sqlite")));
    } catch (const vb::Error& e) {
        Die(e.description());
    }
    for (const QString& copia : {crudoDir, ventanaDir}) {
        QDir().mkpath(copia);
        for (const QString& f : QDir(recepcion).entryList({QStringLiteral("*.sqlite")}, QDir::Files))
            if (!QFile::copy(QDir(recepcion).filePath(f), QDir(copia).filePath(f))) Die(QStringLiteral("cannot copy ") + f);
    }
    std::printf("day: %d Depositos rows in %d store vouchers, %d unknown articles, %d articles (built in %.1f s)\n",
                gFilas, g.comprobantes, g.desconocidas, kArticulos, reloj.elapsed() / 1000.0);

    Tiempo recibe;
    std::pair<long, long> escritasRecepcion;
    if (recibir) {
        Cronometro cronometro;
        receiver::ResultadoRecepcion r;
        recibe = Recibe(recepcion, cronometro, false, &r);
        if (!sinCajas.shown().empty()) Die(QStringLiteral("the receive showed a box: ") + sinCajas.shown().front().prompt);
        escritasRecepcion = Escritas(recepcion);
        std::printf("receive: %ld rows, %ld vouchers posted, %ld rows logged, %ld stock rows and %ld journal lines in %.2f s "
                    "(processor %.2f s)\n",
                    r.filas, r.comprobantes, r.rechazadas, escritasRecepcion.first, escritasRecepcion.second, recibe.reloj,
                    recibe.cpu);
        std::printf("movements/s: %.0f\n", r.filas / recibe.reloj);
        for (const long marca : {10000L, 50000L, 100000L})
            if (marca <= gFilas)
                std::printf("time per row at %ldk rows: %.1f us\n", marca / 1000, cronometro.PorFila(marca) * 1e6);
        if (gFilas >= 100000)
            std::printf("growth 10k to 100k: %.2fx\n", cronometro.PorFila(100000) / cronometro.PorFila(10000));
    }
    if (conVentana) {
        // In a process of its own, as the headless receive is the first of this one: a second
        // receive in one process runs a few percent slower whatever it shows.
        QProcess hija;
        hija.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        hija.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--window-child"), dir.path()});
        if (!hija.waitForFinished(-1) || hija.exitStatus() != QProcess::NormalExit || hija.exitCode() != 0)
            Die(QStringLiteral("the windowed receive failed"));
        const QStringList v = QString::fromLatin1(hija.readAllStandardOutput()).trimmed().split(u' ');
        if (v.size() != 4) Die(QStringLiteral("the windowed receive said nothing"));
        const Tiempo ventana{v[0].toDouble(), v[1].toDouble()};
        receiver::ResultadoRecepcion r;
        r.filas = v[2].toLong();
        r.comprobantes = v[3].toLong();
        const std::pair<long, long> escritasVentana = Escritas(ventanaDir);
        std::printf("window: %ld rows, %ld vouchers posted, %ld stock rows and %ld journal lines in %.2f s (processor %.2f s)\n",
                    r.filas, r.comprobantes, escritasVentana.first, escritasVentana.second, ventana.reloj, ventana.cpu);
        if (recibir) {
            MismasEscrituras(escritasRecepcion, escritasVentana, "the windowed receive wrote other rows");
            std::printf("window/headless ratio: %.2f\n", ventana.reloj / recibe.reloj);
        }
    }
    if (!crudo) return 0;

    long escritas = 0;
    const Tiempo raw = Crudo(crudoDir, &escritas);
    const std::pair<long, long> escritasCrudo = Escritas(crudoDir);
    std::printf("raw: %ld stock rows and %ld journal lines in %.2f s (processor %.2f s)\n", escritasCrudo.first,
                escritasCrudo.second, raw.reloj, raw.cpu);
    if (!recibir) return 0;
    MismasEscrituras(escritasRecepcion, escritasCrudo, "the two sides wrote different rows");
    std::printf("receive/raw ratio: %.2f\n", recibe.reloj / raw.reloj);
    return 0;
}
