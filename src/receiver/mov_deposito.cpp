#include "receiver/mov_deposito.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ado/transaction.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/utillib/ventana_espera.h"
#include "platform/vb/app.h"
#include "platform/vb/dates.h"
#include "platform/vb/files.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "receiver/grilla_recepcion.h"
#include "receiver/linea_recepcion.h"

#include <QFile>
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
    QString ptoVta, numero;     // as the store sent them
    QString unidad;             // "A" & the store code
    bool yaRecibido = false;    // the head office already holds it: every row is logged
    bool codigoLargo = false;   // its unit does not fit the head office's codes
    bool fallido = false;       // a part failed: nothing of it stays, every row is logged
    int partes = 0;             // parts posted so far (inside its transaction)
    std::vector<MovimientoDeposito> filas;   // its rows in the grids, for the log if it fails
    std::unique_ptr<ado::Transaction> transaccion;   // its parts commit together
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

    void InicializaGrilla() {
        on_.run([&] { InicializaGrillaRecepcion(v_.cpte, v_.grilla, v_.medida); });
        lineas_ = 0;
    }
    void ProcesaFila(const MovimientoDeposito& mov);
    void AbreComprobante(const MovimientoDeposito& mov);
    void AgregaLinea(const MovimientoDeposito& mov);
    void GuardaParte();
    void CierraComprobante();
    void FallaComprobante();
    bool GrabaStockComprobante(int32_t secuenciaFija);
    void Rechaza(const MovimientoDeposito& mov, Rechazo motivo);
    void CierraLog();

    VentanaRecepcion& v_;
    vb::OnError on_;
    ResultadoRecepcion r_;
    Comprobante cpte_;
    int lineas_ = 0;        // grid line of the last line filled; 0 while the grid holds none
    int progreso_ = 0;      // the wait window's bar, 1 to 50
    long total_ = 0;
    std::unique_ptr<QFile> log_;
};

ResultadoRecepcion Recepcion::Ejecuta() {
    OcultaEspera();
    // The date goes into every statement of the run: it must be a date before anything is read.
    if (!vb::IsDate(vb::Variant(vb::Trim(v_.fecha)))) {
        ui::MsgBox(QStringLiteral("Debe ingresar un formato de fecha válido."), ui::vbInformation,
                   QStringLiteral("Aviso al operador..."));
        return r_;
    }
    InicializaGrilla();
    data::DB_Dll& remota = data::gDBRemota();
    ado::RecordsetPtr rs;
    on_.run([&] { remota.AbrirRecordset(SqlDepositos(v_.fecha), rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true); });
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
        if (!on_.run([&] { fin = !rs || rs->Eof(); }) || fin) break;
        vb::DoEvents();
        MovimientoDeposito mov;
        on_.run([&] { mov = LeeMovimiento(*rs); });
        ProcesaFila(mov);
        ++r_.filas;
        on_.run([&] { rs->MoveNext(); });
    }
    if (on_.left()) {
        // The open voucher is dropped whole; what was committed before stays.
        cpte_ = Comprobante{};
        CierraLog();
        return r_;
    }
    CierraComprobante();
    OcultaEspera();
    if (r_.rechazadas > 0) {
        OcultaEspera();
        on_.run([&] { Principal().EjecutaConsultaSQL(SqlAvisoAdministradores(r_.log)); });
        MuestraEspera(kGuardandoDatos);
    }
    ActualizaEspera(QStringLiteral("Espere Por Favor"), QStringLiteral("Terminando la Recepción"), QStringLiteral("100%"));
    OcultaEspera();
    remota.CierraRecordset(rs);
    CierraLog();
    return r_;
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
    if (cpte_.yaRecibido)
        Rechaza(mov, Rechazo::YaRecibido);
    else if (cpte_.codigoLargo || vb::Trim(mov.deposito).size() > kAnchoCodigo)
        Rechaza(mov, Rechazo::CodigoLargo);
    else if (cpte_.fallido)
        Rechaza(mov, Rechazo::ErrorAlGrabar);
    else
        AgregaLinea(mov);

    if (v_.grilla.Rows() >= kFilasGrilla) GuardaParte();
}

void Recepcion::AbreComprobante(const MovimientoDeposito& mov) {
    cpte_ = Comprobante{};
    cpte_.abierto = true;
    cpte_.clave = mov.clave;
    cpte_.tc = TipoComprobante(mov.tipoComp, mov.movimiento);
    cpte_.ptoVta = mov.clave.ptoVta;
    cpte_.numero = mov.clave.numero;
    cpte_.unidad = mov.unidad;
    if (vb::Trim(cpte_.unidad).size() > kAnchoCodigo) {
        cpte_.codigoLargo = true;
        return;
    }
    // Decided once, at the voucher's first row: its later rows and parts are the run's own work.
    on_.run([&] {
        cpte_.yaRecibido = Principal().ExisteEnTabla(
            QStringLiteral("V_MV_STOCK"), vb::Variant(NumeroComprobante(cpte_.ptoVta, cpte_.numero)),
            QStringLiteral("IDCOMPROBANTE"), nullptr, 8,
            CondicionComprobanteRecibido(cpte_.tc, NumeroComprobante(cpte_.ptoVta, cpte_.numero), cpte_.unidad, v_.fecha),
            true);
    });
}

void Recepcion::AgregaLinea(const MovimientoDeposito& mov) {
    const QString codigo = CodigoArticulo(mov.articulo);
    ado::RecordsetPtr rs;
    on_.run([&] { Principal().AbrirRecordset(SqlArticulo(codigo), rs); });
    bool existe = false;
    on_.run([&] { existe = rs && rs->State() == ado::adStateOpen && !rs->Eof(); });
    if (!existe) {
        if (!on_.left()) Rechaza(mov, Rechazo::ArticuloInexistente);
        Principal().CierraRecordset(rs);
        return;
    }
    ArticuloRecepcion articulo;
    DatosLinea datos;
    datos.porcentajeIVA = v_.porcentajeIVA;
    datos.fecha = v_.fecha;
    on_.run([&] { articulo = LeeArticulo(*rs); });
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
    Principal().CierraRecordset(rs);
}

// Saves the grid as one part of the open voucher; the grid is then laid out anew.
void Recepcion::GuardaParte() {
    const bool vacia = v_.grilla.Rows() <= 2 && v_.grilla.TextMatrix(1, 0).isEmpty();
    if (!vacia && !cpte_.fallido && !on_.left()) {
        int32_t secuencia = 0;
        const bool abierta = on_.run([&] {
            if (!cpte_.transaccion) cpte_.transaccion.reset(new ado::Transaction(Principal().Transaccion()));
            if (cpte_.partes > 0) {
                // A later part numbers on from the rows the earlier ones wrote.
                ado::RecordsetPtr ultima;
                Principal().AbrirRecordset(
                    SqlUltimaSecuencia(cpte_.tc, NumeroComprobante(cpte_.ptoVta, cpte_.numero), cpte_.unidad), ultima);
                if (ultima && ultima->State() == ado::adStateOpen && !ultima->Eof())
                    secuencia = Util().AEntero(Util().ValorNoNulo(ultima->Fields(0).Value()));
                Principal().CierraRecordset(ultima);
            }
        });
        bool grabado = false;
        if (abierta && cpte_.transaccion) on_.run([&] { grabado = GrabaStockComprobante(secuencia); });
        if (grabado)
            ++cpte_.partes;
        else
            FallaComprobante();
    }
    InicializaGrilla();
    MuestraEspera(kGuardandoDatos);
}

void Recepcion::CierraComprobante() {
    if (!cpte_.abierto) return;
    GuardaParte();
    if (cpte_.transaccion && !cpte_.fallido) {
        try {
            cpte_.transaccion->Commit();
            ++r_.comprobantes;
        } catch (const vb::Error& e) {
            OcultaEspera();
            ui::MsgBox(e.description(), ui::vbCritical, QStringLiteral("Atención2"));
            FallaComprobante();
        }
    }
    cpte_ = Comprobante{};
}

// Nothing of the voucher stays: its transaction is rolled back and every row it had is logged.
void Recepcion::FallaComprobante() {
    cpte_.fallido = true;
    cpte_.transaccion.reset();
    std::vector<MovimientoDeposito> filas;
    filas.swap(cpte_.filas);
    for (const MovimientoDeposito& mov : filas) Rechaza(mov, Rechazo::ErrorAlGrabar);
}

// Posts the grid through the engine; false when the posting failed (the operator has been told).
bool Recepcion::GrabaStockComprobante(int32_t secuenciaFija) {
    const QString unidad = cpte_.unidad;
    QString aux;
    const ConfigVentasSuc config = LeeConfigVentasSuc(core::ObtieneConfiguracion(ClaveConfigVentasSuc(unidad), aux));
    const QString letra = QStringLiteral("C");
    const QString numero = cpte_.ptoVta + cpte_.numero + letra;
    if (!v_.cpte) v_.cpte = std::make_unique<posting::ClsCmnCptes>();
    ado::Connection& cnn = *Principal().gCnn();
    cnn.errors().Clear();
    bool hayError = false;
    v_.cpte->ActualizaStock(v_.grilla, cpte_.tc, numero, QStringLiteral("0"), v_.fecha, QStringLiteral("ELDELGRID"),
                            QString(), config.motivoStock, QStringLiteral("I"), v_.transmision, false,
                            QStringLiteral("PorDefault"), false, nullptr, &hayError, QStringLiteral("Null"), QString(),
                            vb::Trim(unidad), QString(), 0, true, QString(), secuenciaFija);
    ActualizaEspera(QStringLiteral("Grabando Stock..."), QStringLiteral("Finalizado la grabacion"),
                    QStringLiteral("Espere unos momentos..."));
    OcultaEspera();
    if (cnn.errors().Count() > 0) {
        ui::MsgBox(cnn.errors().Item(0).Description, ui::vbCritical, QStringLiteral("Atención2"));
    } else if (hayError) {
        ui::MsgBox(QStringLiteral("No se grabó el comprobante ") + cpte_.tc + u' ' + numero +
                       QStringLiteral(" de la unidad ") + vb::Trim(unidad),
                   ui::vbCritical, QStringLiteral("Atención2"));
    }
    return !hayError;
}

void Recepcion::Rechaza(const MovimientoDeposito& mov, Rechazo motivo) {
    ++r_.rechazadas;
    on_.run([&] {
        if (!log_) {
            // Opened at the run's first rejected row, emptied when it exists.
            r_.log = Util().AgregaBarra(vb::App().path) + QStringLiteral("err.log");
            log_ = std::make_unique<QFile>(r_.log);
            if (!log_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                log_.reset();
                vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción ") + r_.log);
            }
        }
        const QByteArray linea = vb::ToCp1252(LineaLog(mov, motivo)) + "\r\n";
        if (log_->write(linea) != linea.size())
            vb::Raise(75, QStringLiteral("No se puede escribir el registro de recepción ") + r_.log);
    });
}

void Recepcion::CierraLog() {
    if (log_) log_->close();
    log_.reset();
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
