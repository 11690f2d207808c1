#include "receiver/mov_deposito.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ado/database_failure.h"
#include "platform/ado/lock_wait.h"
#include "platform/ado/transaction.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/util_texto.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"
#include "platform/vb/files.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/movimiento_stock.h"
#include "receiver/estado_recepcion.h"
#include "receiver/grilla_recepcion.h"
#include "receiver/linea_recepcion.h"
#include "receiver/registro_recepcion.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace receiver {

namespace {

const QString kGuardandoDatos = QStringLiteral("Guardando Datos");

utillib::UtilTexto& Util() { return core::gUtilTexto(); }
data::DB_Dll& Principal() { return data::gDBPrincipal(); }

// Opens `sql` on `db`, hands its rows to `lee` (only the first with `soloLaPrimera`), and closes it.
// Nothing when the query did not open (AbrirRecordset has told why); else how many rows it handed.
// A failure of `lee` or of a move reaches the caller, the recordset going with its last reference.
template <class F>
std::optional<long> LeeDe(data::DB_Dll& db, const QString& sql, bool soloLaPrimera, F&& lee) {
    ado::RecordsetPtr rs;
    db.AbrirRecordset(sql, rs);
    const bool abierto = rs && rs->State() == ado::adStateOpen;
    long filas = 0;
    while (abierto && !rs->Eof()) {
        lee(*rs);
        ++filas;
        if (soloLaPrimera) break;
        rs->MoveNext();
    }
    db.CierraRecordset(rs);
    if (!abierto) return std::nullopt;
    return filas;
}

// One lookup: its first row handed to `lee` when it has one. Nothing when the query did not open;
// else whether it had a row.
template <class F>
std::optional<bool> LeePrimeraFila(data::DB_Dll& db, const QString& sql, F&& lee) {
    const std::optional<long> filas = LeeDe(db, sql, /*soloLaPrimera=*/true, std::forward<F>(lee));
    if (!filas) return std::nullopt;
    return *filas > 0;
}

// Every row of `sql` handed to `lee`; false when the query did not open.
template <class F>
bool LeeFilas(data::DB_Dll& db, const QString& sql, F&& lee) {
    return LeeDe(db, sql, /*soloLaPrimera=*/false, std::forward<F>(lee)).has_value();
}

// The store voucher being read: what it is posted as, what was decided at its first row, and
// what it holds so far.
struct Comprobante {
    EstadoComprobante estado = EstadoComprobante::Ninguno;
    ClaveDeposito clave;
    QString tc;                 // TK, IR or VS
    QString ptoVta, numero;     // the parts of its head-office number
    QString unidad;             // "A" & the store code
    MotivoRechazo motivo{Rechazo::ErrorAlGrabar, QString()};   // Rechazado: why its rows are logged;
                                                               // EnEspera: the deposit it waits for
    int partes = 0;             // parts posted so far (inside its transaction)
    std::vector<MovimientoDeposito> filas;   // its rows in the grids, for the log if it fails
    std::unique_ptr<ado::Transaction> transaccion;   // its parts commit together; only while EnCurso

    QString Numero() const { return NumeroComprobante(ptoVta, numero); }
};

// The run's state is in four parts (estado_recepcion.h): marcha_, cpte_.estado, aviso_ and
// registro_, each changed only through Pasa (Termina, PasaComprobante, PasaAviso, PasaRegistro).
class Recepcion {
public:
    explicit Recepcion(VentanaRecepcion& v)
        : v_(v), on_([this](const vb::Error& e) { return TrataErrorDelRecorrido(e); }) {}

    ResultadoRecepcion Ejecuta();

private:
    // The error question of every step. A failure of a database itself is told once and ends the
    // run: every later statement would fail the same way.
    int TrataError(const vb::Error& e) {
        OcultaEspera();
        if (FallaDeBase()) {
            DetienePorFalla(e.description());
            return vb::kAbort;
        }
        const int respuesta = Util().TrataError(e);
        if (Sigue(respuesta)) MuestraEspera(QString());
        return respuesta;
    }
    // The question of the run's own steps (on_): any answer but Retry and Ignore ends the run.
    int TrataErrorDelRecorrido(const vb::Error& e) {
        const int respuesta = TrataError(e);
        if (!Sigue(respuesta) && marcha_ == Marcha::EnCurso) Termina(FinPorError(e));
        return respuesta;
    }
    static bool Sigue(int respuesta) { return respuesta == vb::kRetry || respuesta == vb::kIgnore; }
    // How an error the operator ended the run at ends it: at a wait for another station, the run
    // waits for it no more.
    static Marcha FinPorError(const vb::Error& e) {
        return ado::LockFailureOf(e) != ado::LockFailure::None ? Marcha::SinEspera : Marcha::Anulada;
    }
    // Ends the run, or marks the ended run as stopped by a database failure: its error runner
    // leaves without asking, and no step of it runs from here on.
    void Termina(Marcha fin) {
        marcha_ = Pasa(marcha_, fin);
        on_.leave();
        assert(Terminada());
    }
    // Whether the run has ended. The run is on exactly while its error runner has not left.
    bool Terminada() const {
        assert((marcha_ != Marcha::EnCurso) == on_.left());
        return marcha_ != Marcha::EnCurso;
    }
    void PasaComprobante(EstadoComprobante estado) {
        cpte_.estado = Pasa(cpte_.estado, estado);
        // A voucher's transaction is open only while the voucher is posting.
        assert(!cpte_.transaccion || cpte_.estado == EstadoComprobante::EnCurso);
        assert(aviso_ != Aviso::EnComprobante || cpte_.transaccion);
    }
    void PasaAviso(Aviso aviso) {
        aviso_ = Pasa(aviso_, aviso);
        // Inside a voucher only while its transaction is open to take it back.
        assert(aviso_ != Aviso::EnComprobante || (cpte_.transaccion && cpte_.transaccion->open()));
    }
    void PasaRegistro(Registro registro) {
        registro_ = Pasa(registro_, registro);
        if (registro_ == Registro::Cerrado) log_.Cierra();
        assert((registro_ == Registro::Abierto) == log_.abierto());
    }
    void MuestraEspera(const QString& texto) {
        if (v_.espera) v_.espera->Muestra(texto);
    }
    void ActualizaEspera(const QString& a, const QString& b, const QString& c) {
        if (v_.espera) v_.espera->Actualiza(a, b, c);
    }
    void OcultaEspera() {
        if (v_.espera) v_.espera->Oculta();
    }
    void Avisa(const QString& texto) {
        OcultaEspera();
        ui::MsgBox(texto, ui::vbInformation, core::kAvisoOperador);
    }

    // Lays the grid out for the next voucher. A set-up the operator skipped still leaves no line
    // of the voucher before: the grid is emptied to its header and one blank line.
    void InicializaGrilla() {
        bool hecha = false;
        // A setting not read: the operator was asked about it already.
        on_.run([&] { hecha = InicializaGrillaRecepcion(v_.cpte, v_.grilla, v_.medida); });
        if (!hecha) {
            if (v_.grilla.Cols() < posting::art::kColumnas) v_.grilla.SetCols(posting::art::kColumnas);
            v_.grilla.SetRows(2);
            for (int c = 0; c < v_.grilla.Cols(); ++c) v_.grilla.SetTextMatrix(1, c, QString());
        }
        lineas_ = 0;
        assert(v_.grilla.Rows() == 2 && "the grid laid out: its header and one blank line");
    }
    bool AbreDepositos(ado::RecordsetPtr& rs);
    void ProcesaFila(const MovimientoDeposito& mov);
    void FilaNoLeida(const ado::Recordset& rs);
    void AbreComprobante(const MovimientoDeposito& mov);
    template <class F>
    bool Consulta(F&& lee, QString* error);
    template <class F>
    std::optional<bool> Busca(const QString& sql, F&& lee, QString* error);
    bool Existe(std::map<QString, bool>& conocidos, const QString& codigo, const QString& sql, QString* error);
    void AgregaLinea(const MovimientoDeposito& mov);
    void FallaLinea(const MovimientoDeposito& mov, const QString& error);
    void FallaVerificacion(const QString& error);
    void GuardaParte();
    void CierraComprobante();
    void DescartaComprobante();
    void FallaComprobante(const QString& causa);
    void RetieneComprobante(const MovimientoDeposito& mov);
    void RechazaComprobante(const MotivoRechazo& motivo);
    std::optional<bool> Recibido(QString* error);
    void LeeRecibidosAlComenzar();
    bool PosteadoDesdeElComienzo(bool libreEnSuPrimeraFila) const;
    void RecibidoEnOtraEstacion();
    void DeshaceComprobante();
    bool GrabaStockComprobante(const ConfigVentasSuc& config, int32_t secuenciaFija, QString* error);
    void Rechaza(const MovimientoDeposito& mov, const MotivoRechazo& motivo);
    void AbreLog();
    void EnviaAviso();
    bool FallaDeBase();
    void DetienePorFalla(const QString& causa);

    VentanaRecepcion& v_;
    vb::OnError on_;
    ResultadoRecepcion r_;
    Comprobante cpte_;
    std::set<QString> numeros_;   // the head-office vouchers (type, number, unit) the run has opened
    std::map<QString, bool> unidades_, depositos_;   // business units and deposits looked up, and whether they exist
    int lineas_ = 0;        // grid line of the last line filled; 0 while the grid holds none
    int progreso_ = 0;      // the wait window's bar, 1 to 50
    long total_ = 0;
    // The day's vouchers the head office held as the run began (ClaveComprobante); nothing when
    // they could not be read.
    std::optional<std::set<QString>> recibidosAlComenzar_;
    RegistroRecepcion log_;
    Marcha marcha_ = Marcha::EnCurso;
    Registro registro_ = Registro::SinAbrir;
    // The administrators' notice: sent at the run's first logged row, before its line is written,
    // so that no line stands in a log no notice names once the work it speaks of is committed.
    Aviso aviso_ = Aviso::Pendiente;
};

ResultadoRecepcion Recepcion::Ejecuta() {
    OcultaEspera();
    // The date goes into every statement of the run: it must be a date before anything is read.
    if (!v_.fecha.isValid() || v_.fecha.year() < 1753 || v_.fecha.year() > 9999) {
        Avisa(core::kFechaInvalida);
        return r_;
    }
    InicializaGrilla();
    data::DB_Dll& remota = data::gDBRemota();
    ado::RecordsetPtr rs;
    if (!AbreDepositos(rs)) {
        remota.CierraRecordset(rs);
        return r_;
    }
    on_.run([&] {
        // A forward-only cursor does not know its count: the rows are counted apart.
        LeePrimeraFila(remota, SqlCuentaDepositos(v_.fecha),
                       [&](ado::Recordset& cuenta) { total_ = cuenta.Fields(0).Value().toLong(); });
    });
    LeeRecibidosAlComenzar();
    OcultaEspera();
    MuestraEspera(QStringLiteral("Validando Información"));
    while (!Terminada()) {
        bool fin = true;
        if (!on_.run([&] { fin = rs->Eof(); }) || fin) break;
        vb::DoEvents();
        MovimientoDeposito mov;
        bool leida = false;
        on_.run([&] {
            mov = LeeMovimiento(*rs);
            leida = true;
        });
        if (Terminada()) break;
        if (leida) ProcesaFila(mov);
        else FilaNoLeida(*rs);
        ++r_.filas;
        on_.run([&] { rs->MoveNext(); });
    }
    if (Terminada()) {
        // The open voucher is dropped whole (a later receive posts it); what was committed and
        // what was logged before stays, and the administrators are told of the latter.
        DescartaComprobante();
    } else {
        CierraComprobante();
    }
    if (r_.rechazadas > 0) EnviaAviso();
    ActualizaEspera(QStringLiteral("Espere Por Favor"), QStringLiteral("Terminando la Recepción"), QStringLiteral("100%"));
    OcultaEspera();
    remota.CierraRecordset(rs);
    if (registro_ == Registro::Abierto) PasaRegistro(Registro::Cerrado);
    if (r_.deOtraEstacion > 0)
        Avisa(QStringLiteral("Otra estación está recibiendo el mismo día (%1): %2 comprobante(s) que ella grabó primero no se "
                             "grabaron aquí; sus filas figuran en el registro de la recepción como COMPROBANTE YA RECIBIDO.")
                  .arg(v_.fecha.toString(QStringLiteral("dd/MM/yyyy")))
                  .arg(r_.deOtraEstacion));
    return r_;
}

// The day's rows of Depositos. False, with the operator told, when there is nothing to read: the
// query failed (it has said why), a column the run reads is missing, or the day has no rows.
bool Recepcion::AbreDepositos(ado::RecordsetPtr& rs) {
    data::DB_Dll& remota = data::gDBRemota();
    on_.run([&] {
        remota.AbrirRecordset(SqlDepositos(v_.fecha), rs, nullptr, ado::adOpenForwardOnly,
                              ado::adLockReadOnly, -1, true);
    });
    if (Terminada() || !rs || rs->State() != ado::adStateOpen) return false;
    const QString falta = ColumnaFaltante(*rs);
    if (!falta.isEmpty()) {
        Avisa(QStringLiteral("La tabla Depositos no tiene la columna ") + falta + u'.');
        return false;
    }
    if (rs->Eof()) {
        Avisa(QStringLiteral("No hay movimientos de los locales para el ") +
              v_.fecha.toString(QStringLiteral("dd/MM/yyyy")) + u'.');
        return false;
    }
    return true;
}

// A row whose reading failed and was passed over is not posted: it is logged with the error and
// what of it can be read, column by column (never as a row of no store and no voucher), and its
// voucher goes on without it, as with a line that cannot be read.
void Recepcion::FilaNoLeida(const ado::Recordset& rs) {
    const QString error = on_.lastError() ? on_.lastError()->description() : QString();
    Rechaza(LeeMovimiento(rs, true), MotivoRechazo{Rechazo::ErrorEnFila, error});
}

void Recepcion::ProcesaFila(const MovimientoDeposito& mov) {
    if (cpte_.estado != EstadoComprobante::Ninguno && !MismoComprobante(mov.clave, cpte_.clave)) CierraComprobante();
    if (Terminada()) return;

    if (progreso_ == 50) progreso_ = 0;
    ++progreso_;
    const LineasEspera lineas = LineasProgreso(r_.filas, total_, mov.articulo, progreso_);
    ActualizaEspera(lineas.linea1, lineas.linea2, lineas.linea3);

    if (cpte_.estado == EstadoComprobante::Ninguno) AbreComprobante(mov);
    if (Terminada()) return;
    std::optional<MotivoRechazo> rechazo = RechazoDeFila(mov);
    if (!rechazo && cpte_.estado == EstadoComprobante::Rechazado) rechazo = cpte_.motivo;
    // The voucher is posted under the type of its first row; a row that would make it another
    // type (an exit inside an entry) is not posted under it.
    if (!rechazo && TipoComprobante(mov.tipoComp, mov.movimiento) != cpte_.tc)
        rechazo = MotivoRechazo{Rechazo::MovimientoDistinto, QString()};
    if (!rechazo && cpte_.estado == EstadoComprobante::Fallido) rechazo = MotivoRechazo{Rechazo::ErrorAlGrabar, QString()};
    if (rechazo)
        Rechaza(mov, *rechazo);
    else
        AgregaLinea(mov);

    if (v_.grilla.Rows() >= kFilasGrilla) GuardaParte();
}

// Runs a head-office lookup as one step of the run: `lee` reads into the caller's locals and
// returns false when its query did not open (the query has asked the operator). True when it
// read; else *error holds why, and the run may be leaving.
template <class F>
bool Recepcion::Consulta(F&& lee, QString* error) {
    ado::Errors& errores = Principal().gCnn()->errors();
    bool leido = false, completo = false;
    on_.run([&] {
        errores.Clear();
        leido = lee();
        completo = true;
    });
    if (leido) return true;
    if (!completo && on_.lastError()) *error = on_.lastError()->description();
    else if (errores.Count() > 0) *error = errores.Item(0).Description;
    return false;
}

// A head-office lookup (LeePrimeraFila) as one step of the run (Consulta): whether the query had a
// row, which `lee` has read into the caller's locals; nothing when it was not read (*error says
// why, and the run may be leaving).
template <class F>
std::optional<bool> Recepcion::Busca(const QString& sql, F&& lee, QString* error) {
    std::optional<bool> hay;
    if (!Consulta([&] { return (hay = LeePrimeraFila(Principal(), sql, lee)).has_value(); }, error)) return std::nullopt;
    return hay;
}

// Whether the head office has a business unit or deposit: asked once a run for each code.
bool Recepcion::Existe(std::map<QString, bool>& conocidos, const QString& codigo, const QString& sql, QString* error) {
    const QString clave = vb::Trim(codigo).toUpper();
    if (const auto hallado = conocidos.find(clave); hallado != conocidos.end()) return hallado->second;
    const std::optional<bool> existe = Busca(sql, [](ado::Recordset&) {}, error);
    if (!existe) {
        if (error->isEmpty()) *error = QStringLiteral("No se pudo leer ") + sql;
        return false;
    }
    error->clear();
    conocidos[clave] = *existe;
    return *existe;
}

void Recepcion::AbreComprobante(const MovimientoDeposito& mov) {
    assert(cpte_.estado == EstadoComprobante::Ninguno && cpte_.filas.empty() && !cpte_.transaccion);
    cpte_.clave = mov.clave;
    cpte_.tc = TipoComprobante(mov.tipoComp, mov.movimiento);
    cpte_.ptoVta = mov.ptoVta;
    cpte_.numero = mov.numero;
    cpte_.unidad = mov.unidad;
    PasaComprobante(EstadoComprobante::EnCurso);
    if (const std::optional<MotivoRechazo> motivo = RechazoDeComprobante(mov)) return RechazaComprobante(*motivo);
    // A store the head office does not have: nothing of it is posted until it is set up.
    QString error;
    if (!Existe(unidades_, cpte_.unidad, SqlUnidadNegocio(cpte_.unidad), &error)) {
        if (error.isEmpty()) RechazaComprobante(MotivoRechazo{Rechazo::SucursalInexistente, vb::Trim(cpte_.unidad)});
        else FallaVerificacion(error);
        return;
    }
    // Two store vouchers that come to one head-office voucher (two store types of one exit type)
    // cannot both be posted under its number: the later one is logged.
    if (!numeros_.insert(ClaveComprobante(cpte_.tc, cpte_.Numero(), cpte_.unidad)).second)
        return RechazaComprobante(MotivoRechazo{Rechazo::NumeroRepetido, QString()});
    // Decided at the voucher's first row: its later rows and parts are the run's own work (and
    // decided again once its transaction holds the head office, GuardaParte). A check that cannot
    // be made fails the voucher: read as "not held" it could post it twice.
    const std::optional<bool> recibido = Recibido(&error);
    if (recibido == true) {
        if (PosteadoDesdeElComienzo(false)) ++r_.deOtraEstacion;
        RechazaComprobante(MotivoRechazo{Rechazo::YaRecibido, QString()});
    }
    if (!recibido) FallaVerificacion(error);
}

// Every row of the open voucher is logged for `motivo`: from its first row, nothing of it is posted.
void Recepcion::RechazaComprobante(const MotivoRechazo& motivo) {
    cpte_.motivo = motivo;
    PasaComprobante(EstadoComprobante::Rechazado);
}

// Whether the head office holds the open voucher; nothing when the check could not be made (its
// query has told why, in *error).
std::optional<bool> Recepcion::Recibido(QString* error) {
    return Busca(SqlComprobanteRecibido(cpte_.tc, cpte_.Numero(), cpte_.unidad, v_.fecha), [](ado::Recordset&) {}, error);
}

// The day's vouchers the head office holds as the run begins: a voucher found held later that was
// not among them was posted by another station since. The day's store vouchers are read from
// Depositos, then looked up in the head office by their key, a few hundred to a query (never over
// the stock history). Read whole or not at all, as one step of the run (a retried step starts
// over); not read, the run goes on without them and counts only what it knows
// (PosteadoDesdeElComienzo).
void Recepcion::LeeRecibidosAlComenzar() {
    std::set<QString> recibidos;
    QString error;   // the query has told it
    const bool leidos = Consulta(
        [&] {
            // The numbers of the day's vouchers by type and business unit, as AbreComprobante makes them.
            std::map<std::pair<QString, QString>, QStringList> delDia;
            const bool abierto = LeeFilas(data::gDBRemota(), SqlComprobantesDelDia(v_.fecha), [&](ado::Recordset& rs) {
                const MovimientoDeposito mov = LeeMovimiento(rs, /*parcial=*/true);
                const QString tc = TipoComprobante(mov.tipoComp, mov.movimiento);
                const QString numero = NumeroComprobante(mov.ptoVta, mov.numero);
                if (!tc.isEmpty() && !numero.isEmpty()) delDia[{tc, mov.unidad}] << numero;
            });
            if (!abierto) return false;
            std::set<QString> filas;
            for (auto& [clave, numeros] : delDia) {
                numeros.removeDuplicates();
                for (qsizetype desde = 0; desde < numeros.size(); desde += kComprobantesPorConsulta) {
                    const QString sql = SqlComprobantesRecibidos(clave.first, clave.second,
                                                                 numeros.mid(desde, kComprobantesPorConsulta), v_.fecha);
                    if (!LeeFilas(Principal(), sql, [&](ado::Recordset& rs) {
                            filas.insert(ClaveComprobante(clave.first, rs.Fields(0).Value().text(), clave.second));
                        }))
                        return false;
                }
            }
            recibidos.swap(filas);
            return true;
        },
        &error);
    if (leidos) recibidosAlComenzar_ = std::move(recibidos);
}

// Whether another station posted the open voucher, which the head office holds, after this run
// began: the head office did not hold it then. When what it held then could not be read, only a
// voucher this run found free at its own first row is known to be one; one found held there is
// counted as no other station's, never made up.
bool Recepcion::PosteadoDesdeElComienzo(bool libreEnSuPrimeraFila) const {
    if (!recibidosAlComenzar_) return libreEnSuPrimeraFila;
    return !recibidosAlComenzar_->contains(ClaveComprobante(cpte_.tc, cpte_.Numero(), cpte_.unidad));
}

// Another station receiving the same day posted the open voucher after its first row was read:
// nothing of it is posted here (its transaction is rolled back), its rows are logged as already
// received, and the run tells so once at its end.
void Recepcion::RecibidoEnOtraEstacion() {
    DeshaceComprobante();
    RechazaComprobante(MotivoRechazo{Rechazo::YaRecibido, QString()});
    if (PosteadoDesdeElComienzo(true)) ++r_.deOtraEstacion;
    std::vector<MovimientoDeposito> filas;
    filas.swap(cpte_.filas);
    for (const MovimientoDeposito& mov : filas) Rechaza(mov, cpte_.motivo);
}

// A check of the voucher could not be made (its query has told why): the voucher fails, or the run
// ends when the database itself failed.
void Recepcion::FallaVerificacion(const QString& error) {
    if (Terminada()) return;
    if (FallaDeBase()) DetienePorFalla(error);
    else FallaComprobante(QString());
}

// Fills the row's grid line. Each step reads into locals; the line reaches the grid and the
// voucher's rows at the end, in code that cannot fail, so a step retried or skipped leaves
// nothing of itself. A step that fails logs the row (the voucher goes on without it), or ends the
// run when the operator says so or the database itself failed.
void Recepcion::AgregaLinea(const MovimientoDeposito& mov) {
    QString error;
    if (!Existe(depositos_, mov.deposito, SqlDeposito(mov.deposito), &error)) {
        if (error.isEmpty())
            RetieneComprobante(mov);
        else
            FallaLinea(mov, error);
        return;
    }
    if (cpte_.estado == EstadoComprobante::EnEspera) return Rechaza(mov, cpte_.motivo);
    const QString codigo = CodigoArticulo(mov.articulo);
    ArticuloRecepcion articulo;
    const std::optional<bool> existe =
        Busca(SqlArticulo(codigo), [&](ado::Recordset& rs) { articulo = LeeArticulo(rs); }, &error);
    if (!existe) return FallaLinea(mov, error);
    if (!*existe) return Rechaza(mov, MotivoRechazo{Rechazo::ArticuloInexistente, QString()});
    DatosLinea datos;
    datos.porcentajeIVA = v_.porcentajeIVA;
    datos.fecha = v_.fecha;
    const bool tipo = Consulta(
        [&] {
            const vb::ReadResult<vb::Variant> descripcion =
                Principal().DatosTabla(QStringLiteral("V_TA_TipoArticulo"), vb::Variant(articulo.idTipo),
                                       QStringLiteral("Descripcion"), QStringLiteral("IdTipo"), 8, QString(), true, false);
            // DatosTabla asks on its own; what refused it stays in the connection's errors.
            if (!descripcion.read()) return false;
            datos.descripcionTipo = descripcion.value().text();
            return true;
        },
        &error);
    if (!tipo) return FallaLinea(mov, error);
    std::optional<OfertaArticulo> oferta;
    if (!Busca(SqlOferta(articulo.idArticulo), [&](ado::Recordset& precio) { oferta = LeeOferta(precio); }, &error))
        return FallaLinea(mov, error);
    datos.oferta = oferta;
    LineaGrilla linea;
    bool armada = false;
    on_.run([&] {
        linea = ArmaLinea(mov, codigo, articulo, datos);
        armada = true;
    });
    if (!armada) return FallaLinea(mov, on_.lastError() ? on_.lastError()->description() : QString());
    // The line is applied whole, below the lines the run filled: the grid holds them and no other.
    assert(cpte_.estado == EstadoComprobante::EnCurso);
    assert(v_.grilla.Rows() == std::max(lineas_, 1) + 1 && lineas_ < kFilasGrilla);
    ++lineas_;
    if (lineas_ > 1) v_.grilla.SetRows(v_.grilla.Rows() + 1);
    LlenaLinea(v_.grilla, lineas_, linea);
    cpte_.filas.push_back(mov);
}

// A step of the row's line failed: the row is logged with the error; when the database itself
// failed the run ends instead (the voucher is received again).
void Recepcion::FallaLinea(const MovimientoDeposito& mov, const QString& error) {
    if (!Terminada() && FallaDeBase()) DetienePorFalla(error);
    if (marcha_ == Marcha::FallaDeBase) return;
    Rechaza(mov, MotivoRechazo{Terminada() ? Rechazo::RecepcionAnulada : Rechazo::ErrorEnFila, error});
}

// Saves the grid as one part of the open voucher; the grid is then laid out anew.
void Recepcion::GuardaParte() {
    const bool vacia = v_.grilla.Rows() <= 2 && v_.grilla.TextMatrix(1, 0).isEmpty();
    if (!vacia && cpte_.estado == EstadoComprobante::EnCurso && !Terminada()) {
        // The parts posted stand only inside the voucher's transaction.
        assert(cpte_.partes == 0 || (cpte_.transaccion && cpte_.transaccion->open()));
        int32_t secuencia = 0;
        bool leida = cpte_.partes == 0;
        on_.run([&] {
            if (!cpte_.transaccion) cpte_.transaccion.reset(new ado::Transaction(Principal().Transaccion()));
            if (leida) return;
            // A later part numbers on from the rows the earlier ones wrote.
            leida = LeePrimeraFila(Principal(), posting::SqlUltimaSecuencia(cpte_.tc, cpte_.Numero(), cpte_.unidad),
                                   [&](ado::Recordset& ultima) {
                                       secuencia = Util().AEntero(Util().ValorNoNulo(ultima.Fields(0).Value()));
                                   }) == true;
        });
        // Decided again now that the transaction holds the head office: another station receiving
        // the same day may have posted the voucher since its first row was read.
        if (cpte_.partes == 0 && cpte_.transaccion && !Terminada()) {
            QString error;
            const std::optional<bool> recibido = Recibido(&error);
            if (!recibido) FallaVerificacion(error);
            else if (*recibido) RecibidoEnOtraEstacion();
        }
        // The store's posting setting (its stock reason): not read, the voucher fails (its reader has
        // asked) and a later receive posts it; never under a reason it does not carry.
        std::optional<ConfigVentasSuc> config;
        QString error;
        if (cpte_.estado == EstadoComprobante::EnCurso)
            on_.run([&] {
                const QString clave = ClaveConfigVentasSuc(cpte_.unidad);
                const vb::ReadResult<QString> valor = core::ObtieneConfiguracion(clave);
                if (valor.read()) config = LeeConfigVentasSuc(valor.value());
                else error = QStringLiteral("No se leyó la configuración ") + clave;
            });
        bool grabado = false;
        // The posting is the step's last act that can fail: a retried step never posts twice (a
        // failed posting took back its own work). Another station holding what it needed is asked
        // about: Reintentar posts the part again.
        if (leida && config && cpte_.transaccion)
            on_.run([&] {
                grabado = GrabaStockComprobante(*config, secuencia, &error);
                if (!grabado) ado::RaiseLockFailure(Principal().gCnn()->errors());
            });
        if (grabado) {
            ++cpte_.partes;
        } else if (!Terminada() && cpte_.estado == EstadoComprobante::EnCurso) {
            if (FallaDeBase()) {
                DetienePorFalla(error);
            } else {
                // What the head office holds of the voucher once its own work is rolled back was
                // posted by another station (a duplicate key where the check above could not see
                // it coming, as on a server that reads without waiting).
                DeshaceComprobante();
                QString otroError;
                if (Recibido(&otroError) == true) RecibidoEnOtraEstacion();
                else FallaComprobante(error);
            }
        }
    }
    InicializaGrilla();
    MuestraEspera(kGuardandoDatos);
}

void Recepcion::CierraComprobante() {
    if (cpte_.estado == EstadoComprobante::Ninguno) return;
    GuardaParte();
    if (cpte_.estado == EstadoComprobante::EnCurso && cpte_.transaccion && !Terminada()) {
        // A commit that waited for another station in vain is asked about: Reintentar commits
        // again (the transaction stays open), Anular ends the run without the voucher.
        bool hecho = false;
        QString error;
        on_.run([&] {
            try {
                cpte_.transaccion->Commit();
                hecho = true;
            } catch (const vb::Error& e) {
                if (ado::LockFailureOf(e) != ado::LockFailure::None) throw;
                error = e.description();
            }
        });
        if (hecho) {
            ++r_.comprobantes;
            if (aviso_ == Aviso::EnComprobante) PasaAviso(Aviso::Enviado);
        } else if (!Terminada()) {
            if (FallaDeBase()) DetienePorFalla(error);
            else FallaComprobante(error);
        }
    }
    DescartaComprobante();
}

// Closes the open voucher; what of it is not committed is rolled back, with the notice when it
// was sent inside it.
void Recepcion::DescartaComprobante() {
    DeshaceComprobante();
    PasaComprobante(EstadoComprobante::Ninguno);
    cpte_ = Comprobante{};
}

// Nothing of the voucher stays: its transaction is rolled back, the operator is told which voucher
// and why (one box), and every row it had is logged.
void Recepcion::FallaComprobante(const QString& causa) {
    assert(cpte_.estado == EstadoComprobante::EnCurso && "only a voucher under way fails, once");
    if (Terminada()) return;
    DeshaceComprobante();
    PasaComprobante(EstadoComprobante::Fallido);
    OcultaEspera();
    QString texto = QStringLiteral("No se grabó el comprobante ") + cpte_.tc + u' ' + cpte_.Numero() +
                    QStringLiteral(" de la unidad ") + vb::Trim(cpte_.unidad);
    if (!causa.isEmpty()) texto += QStringLiteral("\r\n") + causa;
    ui::MsgBox(texto, ui::vbCritical, QStringLiteral("Atención2"));
    std::vector<MovimientoDeposito> filas;
    filas.swap(cpte_.filas);
    for (const MovimientoDeposito& mov : filas) Rechaza(mov, MotivoRechazo{Rechazo::ErrorAlGrabar, QString()});
}

// A row names a deposit the head office lacks: the whole voucher waits until it is set up, as for
// an unknown store, so that the receive after the set-up posts it whole and once (posting the rest
// now would make that receive find the voucher already received and never post this row). What
// of it the grid and earlier parts hold is dropped and rolled back, those rows logged as waiting
// for the deposit; this row is logged DEPOSITO INEXISTENTE, and so is any later row of the voucher
// naming a deposit the head office lacks, the others as waiting (AgregaLinea).
void Recepcion::RetieneComprobante(const MovimientoDeposito& mov) {
    if (cpte_.estado != EstadoComprobante::EnEspera) {
        DeshaceComprobante();
        cpte_.motivo = MotivoRechazo{Rechazo::EsperaDeposito, vb::Trim(mov.deposito)};
        PasaComprobante(EstadoComprobante::EnEspera);
        std::vector<MovimientoDeposito> filas;
        filas.swap(cpte_.filas);
        for (const MovimientoDeposito& anterior : filas) Rechaza(anterior, cpte_.motivo);
    }
    Rechaza(mov, MotivoRechazo{Rechazo::DepositoInexistente, vb::Trim(mov.deposito)});
}

// Rolls back the open voucher's transaction, the notice sent inside it with it (sent again later).
void Recepcion::DeshaceComprobante() {
    if (aviso_ == Aviso::EnComprobante) PasaAviso(Aviso::Pendiente);
    cpte_.transaccion.reset();
}

// Posts the grid through the engine; false when the posting failed, with what refused it in
// *error (empty when the engine has already asked the operator about it).
bool Recepcion::GrabaStockComprobante(const ConfigVentasSuc& config, int32_t secuenciaFija, QString* error) {
    if (!v_.cpte) v_.cpte = std::make_unique<posting::ClsCmnCptes>();
    // A refused statement is told once, naming the voucher (FallaComprobante).
    v_.cpte->AvisaSentenciasRechazadas = false;
    vb::ScopeGuard avisa([this] { v_.cpte->AvisaSentenciasRechazadas = true; });
    ado::Connection& cnn = *Principal().gCnn();
    cnn.errors().Clear();
    // Under the store voucher's business unit, and the station's till.
    posting::PedidoPosteo pedido;
    pedido.TC = cpte_.tc;
    pedido.SucNroLetra = cpte_.Numero();
    pedido.Fecha = data::FechaSQL(v_.fecha);
    pedido.IdDeposito = QStringLiteral("ELDELGRID");
    pedido.IdMotivoStock = config.motivoStock;
    pedido.TcOrigen = QStringLiteral("I");
    pedido.ComprobanteOrigen = v_.transmision;
    pedido.Aduana = vb::Trim(cpte_.unidad);   // the rows are controlled by the store's unit
    pedido.MuestraCartel = true;
    pedido.SecuenciaFija = secuenciaFija;
    pedido.UNegocio = cpte_.unidad;
    pedido.Caja = core::gCaja;
    const bool posteado = v_.cpte->ActualizaStock(v_.grilla, pedido).Posteado();
    ActualizaEspera(QStringLiteral("Grabando Stock..."), QStringLiteral("Finalizado la grabacion"),
                    QStringLiteral("Espere unos momentos..."));
    OcultaEspera();
    if (cnn.errors().Count() > 0) *error = cnn.errors().Item(0).Description;
    return posteado && cnn.errors().Count() == 0;
}

// Logs a row that is not posted: the notice first (at the run's first such row), then the row's
// line, handed to the system at once. A line the file refuses is asked about: Reintentar writes it
// again, Omitir goes on without it; Anular writes no more lines and ends the run there, as at any
// of its questions (the voucher under way is dropped and a later receive posts it; the box has
// shown the line).
void Recepcion::Rechaza(const MovimientoDeposito& mov, const MotivoRechazo& motivo) {
    ++r_.rechazadas;
    if (registro_ == Registro::SinAbrir) AbreLog();
    EnviaAviso();
    if (registro_ != Registro::Abierto) return;
    vb::OnError on([this](const vb::Error& e) { return TrataError(e); });
    on.run([&] { log_.Escribe(LineaLog(mov, motivo)); });
    if (!on.left()) return;
    PasaRegistro(Registro::Cerrado);
    if (marcha_ == Marcha::EnCurso) Termina(Marcha::Anulada);
}

// The run's receive log, opened at its first logged row: a new file in the program folder, else in
// the temporary folder. When neither takes it the operator is asked once; the run then goes on
// without it, and the notice names no file.
void Recepcion::AbreLog() {
    QStringList carpetas;   // a folder that cannot be told (the temporary one gone) is none
    for (const QString& c : {vb::App().path, core::gInfoEstacion().CarpetaTemporal()})
        if (!c.isEmpty()) carpetas << c;
    vb::OnError on([this](const vb::Error& e) { return TrataError(e); });
    on.run([&] {
        if (log_.Abre(carpetas, v_.fecha)) return;
        vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción en ") +
                          carpetas.join(QStringLiteral(" ni en ")));
    });
    if (log_.abierto()) r_.log = log_.ruta();
    PasaRegistro(log_.abierto() ? Registro::Abierto : Registro::Ninguno);
    // Abort: the run ends here, as at any of its errors.
    if (on.left() && marcha_ == Marcha::EnCurso) Termina(Marcha::Anulada);
}

// The administrators' notice naming the run's log, sent after an Abort too. Not after a database
// failure: the operator has been told, and the rows the log holds then belong to work a later
// receive does again. Nor once the operator gave up waiting for another station: sending it would
// wait for that station again.
void Recepcion::EnviaAviso() {
    if (aviso_ != Aviso::Pendiente || marcha_ == Marcha::SinEspera || marcha_ == Marcha::FallaDeBase) return;
    OcultaEspera();
    // The statement tells its own failure; a wait for another station is asked about (Reintentar
    // sends it again), and Anular ends the run as the run's own Abort does.
    std::optional<QString> error;
    vb::OnError on([this](const vb::Error& e) { return TrataError(e); });
    on.run([&] {
        error = Principal().ErrorAlEjecutar(SqlAvisoAdministradores(r_.log));
        if (error) ado::RaiseLockFailure(Principal().gCnn()->errors());
    });
    if (on.left()) {
        PasaAviso(Aviso::Omitido);
        if (marcha_ == Marcha::EnCurso) Termina(FinPorError(*on.lastError()));
    } else if (!error) {
        // Inside the voucher's transaction it stands or falls with the voucher.
        PasaAviso(cpte_.transaccion && cpte_.transaccion->open() ? Aviso::EnComprobante : Aviso::Enviado);
    } else if (FallaDeBase()) {
        DetienePorFalla(*error);
    } else {
        PasaAviso(Aviso::Omitido);   // told once: the run does not send it again
    }
    MuestraEspera(kGuardandoDatos);
}

// Whether the last call on either database failed for the database itself.
bool Recepcion::FallaDeBase() {
    for (data::DB_Dll* db : {&Principal(), &data::gDBRemota()})
        if (ado::IsDatabaseFailure(*db->gCnn())) return true;
    return false;
}

// A database failed: one box (the voucher under way is not posted) and the run ends; told once.
void Recepcion::DetienePorFalla(const QString& causa) {
    if (marcha_ == Marcha::FallaDeBase) return;
    Termina(Marcha::FallaDeBase);
    OcultaEspera();
    QString texto;
    if (cpte_.estado != EstadoComprobante::Ninguno && !cpte_.tc.isEmpty())
        texto = QStringLiteral("No se grabó el comprobante ") + cpte_.tc + u' ' + cpte_.Numero() +
                QStringLiteral(" de la unidad ") + vb::Trim(cpte_.unidad) + QStringLiteral("\r\n");
    if (!causa.isEmpty()) texto += causa + QStringLiteral("\r\n");
    texto += QStringLiteral("La base de datos no puede seguir: se detiene la recepción. Al recibir el mismo día otra vez "
                            "se graba lo que falta.");
    ui::MsgBox(texto, ui::vbCritical, QStringLiteral("Atención2"));
}

}  // namespace

void EsperaPrograma::Muestra(const QString& texto) { core::gVentanaEspera().MuestraEspera(texto, 0); }
void EsperaPrograma::Actualiza(const QString& linea1, const QString& linea2, const QString& linea3) {
    core::gVentanaEspera().ActualizaEspera(0, linea1, linea2, linea3);
}
void EsperaPrograma::Oculta() { core::gVentanaEspera().OcultaEspera(); }

ResultadoRecepcion MovDeposito(VentanaRecepcion& v) {
    Recepcion recepcion(v);
    return recepcion.Ejecuta();
}

}  // namespace receiver
