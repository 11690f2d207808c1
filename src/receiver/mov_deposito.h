#pragma once
// The receive run: the stores' movements of one date, read from Depositos on gDBRemota, grouped
// into store vouchers and posted on gDBPrincipal as stock vouchers through ClsCmnCptes.
//
//   receiver::VentanaRecepcion v{grilla, cpte, medida};      // what the window lends the run
//   v.porcentajeIVA = PorcentajeIVA;
//   v.fecha = fecha;                                         // day first, read once on confirming
//   v.transmision = numero;
//   receiver::EsperaPrograma espera;                          // the program's wait window
//   v.espera = &espera;
//   const receiver::ResultadoRecepcion r = receiver::MovDeposito(v);
//
// Each store voucher is posted exactly once: whether the head office already holds it (its type,
// number, business unit and date) is decided at its first row and kept for all its rows; a check
// that cannot be made fails the voucher. A voucher is posted whole or not at all, its parts of
// more than 2999 lines included; one that is already held, that fails (the operator is told once,
// in "Atención2", which voucher and why) or whose head-office number another store voucher of the
// run took, has every row written to the receive log. Rows whose article is unknown, whose codes
// do not fit, whose data cannot be posted (no store or deposit, a voucher number of other widths,
// a quantity that is no number) or whose movement makes another voucher type are logged too.
// When anything was logged the administrators are notified once, after an Abort too. The log is
// err.log in the program folder, else in the temporary folder. gUNegocio is left with the unit
// of the last row read.
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
    QString fecha = QString();                     // the run's date, as typed (day first)
    QString transmision = QString();               // the transmission number: the vouchers' origin
    Espera* espera = nullptr;                      // the wait window; null shows none
};

// What a run did.
struct ResultadoRecepcion {
    long filas = 0;          // rows of Depositos read
    long comprobantes = 0;   // store vouchers posted
    long rechazadas = 0;     // rows written to the receive log
    QString log;             // the receive log's path, when a row was written to it
};

// Runs the receive for v.fecha. A date that is not one (core::FechaValida), a Depositos that
// cannot be read or lacks a column, or a day without rows gets a message and nothing is posted.
// Errors go to the program's error question: Retry runs the failing step again, Ignore goes on
// with the next, any other answer ends the run.
ResultadoRecepcion MovDeposito(VentanaRecepcion& v);

// The rows read per voucher grid: a longer voucher is posted in parts of this many lines, the
// later parts numbering their rows on from the earlier ones.
constexpr int kFilasGrilla = 3000;

}  // namespace receiver
