#pragma once
// The receive run: the stores' movements of one date, read from Depositos on gDBRemota, grouped
// into store vouchers and posted on gDBPrincipal as stock vouchers through ClsCmnCptes.
//
//   receiver::VentanaRecepcion v{grilla, cpte, medida};      // what the window lends the run
//   v.porcentajeIVA = *PorcentajeIVA;                        // the rate the window has read
//   v.fecha = dia;                                           // the day the date field was read as
//   v.transmision = numero;
//   receiver::EsperaPrograma espera;                          // the program's wait window
//   v.espera = &espera;
//   const receiver::ResultadoRecepcion r = receiver::MovDeposito(v);
//
// Each store voucher is posted exactly once: whether the head office already holds it (its type,
// number, business unit and date) is decided at its first row and kept for all its rows, and
// decided again inside its transaction once that holds the head office, since another station
// receiving the same day may have posted it meanwhile; a check that cannot be made fails the
// voucher. A voucher whose posting fails and that the head office then holds was posted by another
// station too. Such vouchers are logged as already received. The run notes, as it begins, which of
// the day's vouchers the head office holds: one found held later that was not among them was
// posted by another station since, and the run ends with one box saying how many (a voucher
// received before the run began is no other station's). A wait for another station that runs out
// is asked about (Reintentar, Anular: platform/ado/lock_wait.h); a wait the operator gave up ends
// the run with nothing of the voucher under way written. A voucher is posted whole or not at all,
// its parts of more than 2999 lines included; one that is already held, that fails (the operator
// is told once, in "Atención2", which voucher and why), whose store is no business unit of the
// head office, one of whose rows names a deposit the head office lacks (it waits whole for the
// deposit: a receive after its set-up posts it), or whose head-office number another store voucher
// of the run took, has every row written to the receive log. Rows whose article is unknown, whose
// codes do not fit, whose type or movement the receive does not know, whose data cannot be posted
// (a value missing, a sale without its amount, a quantity or amount that is no number a stock row
// holds) or whose movement makes another voucher type are logged too, as is a row whose line could
// not be read (the operator went on without it).
// Every step of a row's line reads into locals; the line reaches the grid whole at its end.
//
// Each run that logs a row writes a file of its own (RegistroRecepcion), in the program folder,
// else in the temporary folder, each line handed to the system as it is written (before the
// voucher it speaks of commits). The administrators' notice naming it is sent with the
// run's first logged row (again at the end when it went with a voucher that rolled back), so
// that no crash leaves a line no notice names. A failure of a database itself (read-only, full,
// damaged, the connection lost) is told once and ends the run; the voucher under way is rolled
// back and a later receive posts it. Each voucher is posted under its store's business unit,
// given to the posting; the program's own unit (gUNegocio) is left as the run found it. A log
// line the file refuses is asked about; Anular ends the run there, as at any of its questions.
// The run's state (the run, the voucher under way, the notice, the log) and the changes each part
// may make are in estado_recepcion.h.
#include <QDate>
#include <QString>
#include <memory>

namespace posting {
class ClsCmnCptes;
}
namespace ui {
class FlexGrid;
class TextMeasurer;
}  // namespace ui
namespace receiver {

// The wait window as the run drives it: one text while it reads and saves, three lines of
// progress for every row.
class Espera {
public:
    virtual ~Espera() = default;
    virtual void Muestra(const QString& texto) = 0;
    virtual void Actualiza(const QString& linea1, const QString& linea2, const QString& linea3) = 0;
    virtual void Oculta() = 0;
};

// The program's wait window (gVentanaEspera).
class EsperaPrograma : public Espera {
public:
    void Muestra(const QString& texto) override;
    void Actualiza(const QString& linea1, const QString& linea2, const QString& linea3) override;
    void Oculta() override;
};

// What the run takes from the window that runs it.
struct VentanaRecepcion {
    ui::FlexGrid& grilla;                          // the voucher grid, laid out for each voucher
    std::unique_ptr<posting::ClsCmnCptes>& cpte;   // the window's engine, made on first use
    const ui::TextMeasurer& medida;                // the window's text widths, for the grid layout
    double porcentajeIVA = 0;                      // the window's VAT rate ("PIVA")
    QDate fecha = QDate();                         // the run's day (core::LeeFecha): every statement
                                                   // carries it as data::FechaSQL writes it
    QString transmision = QString();               // the transmission number: the vouchers' origin
    Espera* espera = nullptr;                      // the wait window; null shows none
};

// What a run did.
struct ResultadoRecepcion {
    long filas = 0;          // rows of Depositos read
    long comprobantes = 0;   // store vouchers posted
    long rechazadas = 0;     // rows not posted, each with its reason for the receive log (those
                             // after the log was closed by Anular, or without one, not written)
    long deOtraEstacion = 0; // store vouchers of the run that another station posted after it began
    QString log;             // the run's receive log, when a row was written to it
};

// Runs the receive for v.fecha. A date that is none (null, or outside 1753-9999), a Depositos that
// cannot be read or lacks a column, or a day without rows gets a message and nothing is posted.
// Errors of the run's own steps (reading the day's rows, a line's build, a wait for another
// station, the log, the notice) go to the program's error question: Retry runs the failing step
// again, Ignore goes on with the next, any other answer ends the run. A callee that asks the same
// question on its own hands the run no answer: a query (DB_Dll::AbrirRecordset, which
// DB_Dll::DatosTabla opens through; core::ObtieneConfiguracion), whatever the operator chose there,
// Anular included, is only a read not made, which the run treats as such (the row is logged, or
// the voucher fails); the posting (ClsCmnCptes::ActualizaStock, DB_Dll::TratamientoErrores) fails
// the voucher on any answer but a Retry that succeeds. The run goes on after either; a failure of
// the database itself still ends it.
ResultadoRecepcion MovDeposito(VentanaRecepcion& v);

// The rows read per voucher grid: a longer voucher is posted in parts of this many lines, the
// later parts numbering their rows on from the earlier ones.
constexpr int kFilasGrilla = 3000;

}  // namespace receiver
