#include "receiver/mov_deposito.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
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
#include "posting/movimiento_stock.h"
#include "receiver/grilla_recepcion.h"
#include "receiver/linea_recepcion.h"

#include <QFile>
#include <optional>
#include <set>
#include <vector>

namespace receiver {

namespace {

const QString kGuardandoDatos = QStringLiteral("Guardando Datos");

utillib::UtilTexto& Util() { return core::gUtilTexto(); }
data::DB_Dll& Principal() { return data::gDBPrincipal(); }

// The store voucher being read: what it is posted as, what was decided at its first row, and
// what it holds so far.
struct Comprobante {
    bool abierto = false;
    ClaveDeposito clave;
    QString tc;                 // TK, IR or VS
    QString ptoVta, numero;     // the parts of its head-office number
    QString unidad;             // "A" & the store code
    std::optional<Rechazo> rechazo;   // every row is logged for this: already held, or a repeated number
    bool fallido = false;       // a part failed: nothing of it stays, every row is logged
    int partes = 0;             // parts posted so far (inside its transaction)
    std::vector<MovimientoDeposito> filas;   // its rows in the grids, for the log if it fails
    std::unique_ptr<ado::Transaction> transaccion;   // its parts commit together

    QString Numero() const { return NumeroComprobante(ptoVta, numero); }
};

class Recepcion {
public:
    explicit Recepcion(VentanaRecepcion& v)
        : v_(v), on_([this](const vb::Error& e) { return TrataError(e); }) {}

    ResultadoRecepcion Ejecuta();

private:
    int TrataError(const vb::Error& e) {
        OcultaEspera();
        const int respuesta = Util().TrataError(e);
        if (respuesta == vb::kRetry || respuesta == vb::kIgnore) MuestraEspera(QString());
        return respuesta;
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

    void InicializaGrilla() {
        on_.run([&] { InicializaGrillaRecepcion(v_.cpte, v_.grilla, v_.medida); });
        lineas_ = 0;
    }
    bool AbreDepositos(ado::RecordsetPtr& rs);
    void ProcesaFila(const MovimientoDeposito& mov);
    void AbreComprobante(const MovimientoDeposito& mov);
    void AgregaLinea(const MovimientoDeposito& mov);
    void GuardaParte();
    void CierraComprobante();
    void FallaComprobante(const QString& causa);
    bool GrabaStockComprobante(int32_t secuenciaFija, QString* error);
    void Rechaza(const MovimientoDeposito& mov, Rechazo motivo);
    void AbreLog();
    void CierraLog();
    void AvisaAdministradores();

    VentanaRecepcion& v_;
    vb::OnError on_;
    ResultadoRecepcion r_;
    Comprobante cpte_;
    std::set<QString> numeros_;   // the head-office vouchers (type, number, unit) the run has opened
    int lineas_ = 0;        // grid line of the last line filled; 0 while the grid holds none
    int progreso_ = 0;      // the wait window's bar, 1 to 50
    long total_ = 0;
    std::unique_ptr<QFile> log_;
    bool sinLog_ = false;   // the log could be written nowhere: the run goes on without it
};

ResultadoRecepcion Recepcion::Ejecuta() {
    OcultaEspera();
    // The date goes into every statement of the run: it must be a date before anything is read.
    if (!core::FechaValida(v_.fecha)) {
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
        ado::RecordsetPtr cuenta;
        remota.AbrirRecordset(SqlCuentaDepositos(v_.fecha), cuenta, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
        if (cuenta && cuenta->State() == ado::adStateOpen && !cuenta->Eof()) total_ = cuenta->Fields(0).Value().toLong();
        remota.CierraRecordset(cuenta);
    });
    OcultaEspera();
    MuestraEspera(QStringLiteral("Validando Información"));
    while (!on_.left()) {
        bool fin = true;
        if (!on_.run([&] { fin = rs->Eof(); }) || fin) break;
        vb::DoEvents();
        MovimientoDeposito mov;
        on_.run([&] { mov = LeeMovimiento(*rs); });
        ProcesaFila(mov);
        ++r_.filas;
        on_.run([&] { rs->MoveNext(); });
    }
    if (on_.left()) {
        // The open voucher is dropped whole (a later receive posts it); what was committed and
        // what was logged before stays, and the administrators are told of the latter.
        cpte_ = Comprobante{};
    } else {
        CierraComprobante();
    }
    AvisaAdministradores();
    ActualizaEspera(QStringLiteral("Espere Por Favor"), QStringLiteral("Terminando la Recepción"), QStringLiteral("100%"));
    OcultaEspera();
    remota.CierraRecordset(rs);
    CierraLog();
    return r_;
}

// The day's rows of Depositos. False, with the operator told, when there is nothing to read: the
// query failed (it has said why), a column the run reads is missing, or the day has no rows.
bool Recepcion::AbreDepositos(ado::RecordsetPtr& rs) {
    data::DB_Dll& remota = data::gDBRemota();
    on_.run([&] { remota.AbrirRecordset(SqlDepositos(v_.fecha), rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true); });
    if (on_.left() || !rs || rs->State() != ado::adStateOpen) return false;
    const QString falta = ColumnaFaltante(*rs);
    if (!falta.isEmpty()) {
        Avisa(QStringLiteral("La tabla Depositos no tiene la columna ") + falta + u'.');
        return false;
    }
    if (rs->Eof()) {
        Avisa(QStringLiteral("No hay movimientos de los locales para el ") + v_.fecha + u'.');
        return false;
    }
    return true;
}

void Recepcion::ProcesaFila(const MovimientoDeposito& mov) {
    if (cpte_.abierto && !MismoComprobante(mov.clave, cpte_.clave)) CierraComprobante();
    if (on_.left()) return;
    core::gUNegocio = mov.unidad;

    if (progreso_ == 50) progreso_ = 0;
    ++progreso_;
    const LineasEspera lineas = LineasProgreso(r_.filas, total_, mov.articulo, progreso_);
    ActualizaEspera(lineas.linea1, lineas.linea2, lineas.linea3);

    if (!cpte_.abierto) AbreComprobante(mov);
    std::optional<Rechazo> rechazo = RechazoDeFila(mov);
    if (!rechazo) rechazo = cpte_.rechazo;
    // The voucher is posted under the type of its first row; a row that would make it another
    // type (an exit inside an entry) is not posted under it.
    if (!rechazo && TipoComprobante(mov.tipoComp, mov.movimiento) != cpte_.tc) rechazo = Rechazo::MovimientoDistinto;
    if (!rechazo && cpte_.fallido) rechazo = Rechazo::ErrorAlGrabar;
    if (rechazo)
        Rechaza(mov, *rechazo);
    else
        AgregaLinea(mov);

    if (v_.grilla.Rows() >= kFilasGrilla) GuardaParte();
}

void Recepcion::AbreComprobante(const MovimientoDeposito& mov) {
    cpte_ = Comprobante{};
    cpte_.abierto = true;
    cpte_.clave = mov.clave;
    cpte_.tc = TipoComprobante(mov.tipoComp, mov.movimiento);
    cpte_.ptoVta = mov.ptoVta;
    cpte_.numero = mov.numero;
    cpte_.unidad = mov.unidad;
    if (RechazoDeComprobante(mov)) return;   // every row is logged for that
    // Two store vouchers that come to one head-office voucher (two store types of one exit type)
    // cannot both be posted under its number: the later one is logged.
    if (!numeros_.insert(cpte_.tc + u'|' + cpte_.Numero() + u'|' + cpte_.unidad).second) {
        cpte_.rechazo = Rechazo::NumeroRepetido;
        return;
    }
    // Decided once, at the voucher's first row: its later rows and parts are the run's own work.
    // A check that cannot be made fails the voucher: read as "not held" it could post it twice.
    bool hecho = false;
    ado::RecordsetPtr rs;
    on_.run([&] {
        Principal().AbrirRecordset(SqlComprobanteRecibido(cpte_.tc, cpte_.Numero(), cpte_.unidad, v_.fecha), rs);
        if (!rs || rs->State() != ado::adStateOpen) return;   // the query has said why
        if (!rs->Eof()) cpte_.rechazo = Rechazo::YaRecibido;
        hecho = true;
    });
    Principal().CierraRecordset(rs);
    if (!hecho) FallaComprobante(QString());
}

void Recepcion::AgregaLinea(const MovimientoDeposito& mov) {
    const QString codigo = CodigoArticulo(mov.articulo);
    ado::RecordsetPtr rs;
    bool leido = false, existe = false;
    ArticuloRecepcion articulo;
    on_.run([&] {
        Principal().AbrirRecordset(SqlArticulo(codigo), rs);
        if (!rs || rs->State() != ado::adStateOpen) return;   // the query has said why
        existe = !rs->Eof();
        if (existe) articulo = LeeArticulo(*rs);
        leido = true;
    });
    Principal().CierraRecordset(rs);
    if (!leido) {
        // A lookup that failed says nothing of the article: the voucher cannot be posted whole.
        FallaComprobante(QString());
        Rechaza(mov, Rechazo::ErrorAlGrabar);
        return;
    }
    if (!existe) {
        Rechaza(mov, Rechazo::ArticuloInexistente);
        return;
    }
    DatosLinea datos;
    datos.porcentajeIVA = v_.porcentajeIVA;
    datos.fecha = v_.fecha;
    on_.run([&] {
        datos.descripcionTipo = Principal()
                                    .DatosTabla(QStringLiteral("V_TA_TipoArticulo"), vb::Variant(articulo.idTipo),
                                                QStringLiteral("Descripcion"), QStringLiteral("IdTipo"), 8, QString(), true, false)
                                    .text();
    });
    on_.run([&] {
        ado::RecordsetPtr precio;
        Principal().AbrirRecordset(SqlOferta(articulo.idArticulo), precio);
        if (precio && precio->State() == ado::adStateOpen && !precio->Eof()) datos.oferta = LeeOferta(*precio);
        Principal().CierraRecordset(precio);
    });
    on_.run([&] {
        ++lineas_;
        if (lineas_ > 1) v_.grilla.SetRows(v_.grilla.Rows() + 1);
        LlenaLinea(v_.grilla, lineas_, mov, codigo, articulo, datos);
        cpte_.filas.push_back(mov);
    });
}

// Saves the grid as one part of the open voucher; the grid is then laid out anew.
void Recepcion::GuardaParte() {
    const bool vacia = v_.grilla.Rows() <= 2 && v_.grilla.TextMatrix(1, 0).isEmpty();
    if (!vacia && !cpte_.fallido && !on_.left()) {
        int32_t secuencia = 0;
        bool leida = cpte_.partes == 0;
        on_.run([&] {
            if (!cpte_.transaccion) cpte_.transaccion.reset(new ado::Transaction(Principal().Transaccion()));
            if (leida) return;
            // A later part numbers on from the rows the earlier ones wrote.
            ado::RecordsetPtr ultima;
            Principal().AbrirRecordset(posting::SqlUltimaSecuencia(cpte_.tc, cpte_.Numero(), cpte_.unidad), ultima);
            if (ultima && ultima->State() == ado::adStateOpen && !ultima->Eof()) {
                secuencia = Util().AEntero(Util().ValorNoNulo(ultima->Fields(0).Value()));
                leida = true;
            }
            Principal().CierraRecordset(ultima);
        });
        bool grabado = false;
        QString error;
        if (leida && cpte_.transaccion) on_.run([&] { grabado = GrabaStockComprobante(secuencia, &error); });
        if (grabado)
            ++cpte_.partes;
        else if (!on_.left())
            FallaComprobante(error);
    }
    InicializaGrilla();
    MuestraEspera(kGuardandoDatos);
}

void Recepcion::CierraComprobante() {
    if (!cpte_.abierto) return;
    GuardaParte();
    if (cpte_.transaccion && !cpte_.fallido && !on_.left()) {
        try {
            cpte_.transaccion->Commit();
            ++r_.comprobantes;
        } catch (const vb::Error& e) {
            FallaComprobante(e.description());
        }
    }
    cpte_ = Comprobante{};
}

// Nothing of the voucher stays: its transaction is rolled back, the operator is told which voucher
// and why (one box), and every row it had is logged.
void Recepcion::FallaComprobante(const QString& causa) {
    if (cpte_.fallido || on_.left()) return;
    cpte_.fallido = true;
    cpte_.transaccion.reset();
    OcultaEspera();
    QString texto = QStringLiteral("No se grabó el comprobante ") + cpte_.tc + u' ' + cpte_.Numero() +
                    QStringLiteral(" de la unidad ") + vb::Trim(cpte_.unidad);
    if (!causa.isEmpty()) texto += QStringLiteral("\r\n") + causa;
    ui::MsgBox(texto, ui::vbCritical, QStringLiteral("Atención2"));
    std::vector<MovimientoDeposito> filas;
    filas.swap(cpte_.filas);
    for (const MovimientoDeposito& mov : filas) Rechaza(mov, Rechazo::ErrorAlGrabar);
}

// Posts the grid through the engine; false when the posting failed, with what refused it in
// *error (empty when the engine has already asked the operator about it).
bool Recepcion::GrabaStockComprobante(int32_t secuenciaFija, QString* error) {
    const QString unidad = cpte_.unidad;
    QString aux;
    const ConfigVentasSuc config = LeeConfigVentasSuc(core::ObtieneConfiguracion(ClaveConfigVentasSuc(unidad), aux));
    if (!v_.cpte) v_.cpte = std::make_unique<posting::ClsCmnCptes>();
    // A refused statement is told once, naming the voucher (FallaComprobante).
    v_.cpte->AvisaSentenciasRechazadas = false;
    vb::ScopeGuard avisa([this] { v_.cpte->AvisaSentenciasRechazadas = true; });
    ado::Connection& cnn = *Principal().gCnn();
    cnn.errors().Clear();
    bool hayError = false;
    v_.cpte->ActualizaStock(v_.grilla, cpte_.tc, cpte_.Numero(), QStringLiteral("0"), v_.fecha, QStringLiteral("ELDELGRID"),
                            QString(), config.motivoStock, QStringLiteral("I"), v_.transmision, false,
                            QStringLiteral("PorDefault"), false, nullptr, &hayError, QStringLiteral("Null"), QString(),
                            vb::Trim(unidad), QString(), 0, true, QString(), secuenciaFija);
    ActualizaEspera(QStringLiteral("Grabando Stock..."), QStringLiteral("Finalizado la grabacion"),
                    QStringLiteral("Espere unos momentos..."));
    OcultaEspera();
    if (cnn.errors().Count() > 0) *error = cnn.errors().Item(0).Description;
    return !hayError && cnn.errors().Count() == 0;
}

void Recepcion::Rechaza(const MovimientoDeposito& mov, Rechazo motivo) {
    if (on_.left()) return;   // the run is ending: what is not posted is received again
    ++r_.rechazadas;
    if (!log_ && !sinLog_) AbreLog();
    if (!log_) return;
    on_.run([&] {
        const QByteArray linea = vb::ToCp1252(LineaLog(mov, motivo)) + "\r\n";
        if (log_->write(linea) != linea.size())
            vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción ") + r_.log);
    });
}

// The receive log, opened at the run's first rejected row and emptied when it exists: err.log in
// the program folder, else in the temporary folder. When neither takes it the operator is asked
// once; the run then goes on without it, and the notice names no file.
void Recepcion::AbreLog() {
    QStringList carpetas;   // a folder that cannot be told (the temporary one gone) is none
    for (const QString& c : {vb::App().path, core::gInfoEstacion().CarpetaTemporal()})
        if (!c.isEmpty()) carpetas << c;
    on_.run([&] {
        for (const QString& carpeta : carpetas) {
            auto archivo = std::make_unique<QFile>(Util().AgregaBarra(carpeta) + QStringLiteral("err.log"));
            if (!archivo->open(QIODevice::WriteOnly | QIODevice::Truncate)) continue;
            r_.log = archivo->fileName();
            log_ = std::move(archivo);
            return;
        }
        vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción err.log en ") +
                          carpetas.join(QStringLiteral(" ni en ")));
    });
    if (!log_) sinLog_ = true;
}

void Recepcion::CierraLog() {
    if (log_) log_->close();
    log_.reset();
}

// When rows were not posted, the administrators' notice: with its own error treatment, so that
// after an Abort what was logged before is told all the same.
void Recepcion::AvisaAdministradores() {
    if (r_.rechazadas == 0) return;
    if (log_) log_->flush();
    OcultaEspera();
    vb::OnError on([this](const vb::Error& e) { return TrataError(e); });
    on.run([&] { Principal().EjecutaConsultaSQL(SqlAvisoAdministradores(r_.log)); });
    MuestraEspera(kGuardandoDatos);
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
