#pragma once
// What a stock posting is asked (PedidoPosteo) and how it ended (ResultadoPosteo): the named form of
// ClsCmnCptes::ActualizaStock's arguments and of its outcome.
//
//   posting::PedidoPosteo p;
//   p.TC = "TK"; p.SucNroLetra = "000100000012C"; p.Fecha = fecha;
//   p.IdDeposito = "ELDELGRID"; p.IdMotivoStock = motivo; p.TcOrigen = "I"; p.ComprobanteOrigen = "7";
//   p.UNegocio = "A001"; p.Caja = "1";                    // the voucher's business unit and till
//   const posting::ResultadoPosteo r = cpte.ActualizaStock(grilla, p);
//   if (!r.Posteado()) ...                                 // nothing of the voucher stays; r.falla says why
//
// The positional ActualizaStock fills a request from its arguments and from the program's business
// unit and till (core::gUNegocio, core::gCaja), as GeneraAsientoStock takes them for its lines;
// nothing else of the posting reads or writes those two.
#include <QString>
#include <cstdint>

namespace posting {

// Why a posting (or its journal entry) was not made. Each reason was told to the operator where it
// arose (a box, or the question about an error), except SentenciaRechazada with
// ClsCmnCptes::AvisaSentenciasRechazadas off, which the caller tells.
enum class FallaPosteo : uint8_t {
    Ninguna,              // posted
    SinUnidadDeNegocio,   // the request names no business unit: nothing was tried
    ValorNoLeido,         // a setting or table the posting needs was not read
    ErrorPasado,          // an error of the posting's own steps answered Ignore: the posting went on, and fails
    ErrorDejado,          // ... answered Abort (or Cancel): the posting stopped there
    SinCantidades,        // an exit of several lots or sizes without the quantity of each
    SentenciaRechazada,   // the database refused a statement
    SinNumero,            // the input discharge's voucher got no number, or its book was not moved past it
    SinAsiento,           // the journal entry cannot be booked
};

// One posting's outcome, and the outcome of one journal entry (GeneraAsientoStock).
struct ResultadoPosteo {
    FallaPosteo falla = FallaPosteo::Ninguna;
    // Statement mode, posted: every statement, each after a Chr(13) (ActualizaStock), or the entry's
    // statements, each after CR LF (GeneraAsientoStock). Empty when not posted.
    QString sentencias;

    bool Posteado() const { return falla == FallaPosteo::Ninguna; }
};

// ActualizaStock's arguments, by name; the defaults are the positional form's.
struct PedidoPosteo {
    QString TC;                                     // voucher type
    QString SucNroLetra;                            // voucher number: branch 4, number 8, letter 1
    QString IdComplemento = QStringLiteral("0");    // numeric complement
    QString Fecha;                                  // movement date, as the rows store it
    // Deposits: blank is the "DepositoDefault" setting, "ELDELGRID" each line's own.
    QString IdDeposito;
    QString IdDepositoDestino;                      // a transfer's destination
    // Stock reason: empty is the "MotivoStockDefault" setting, blanks none, "ELDELGRID" each line's.
    QString IdMotivoStock;
    QString TcOrigen;                               // origin voucher type ("ELDELGRID": each line's)
    QString ComprobanteOrigen;                      // origin voucher number ("ELDELGRID": each line's)
    bool EsTransferencia = false;
    QString Cuenta = QStringLiteral("PorDefault");  // supplier account; "PorDefault": each article's own
    bool GeneraSentenciaSQL = false;                // statement mode: nothing runs, ResultadoPosteo::sentencias
    QString IdTecnico = QStringLiteral("Null");     // technician; "Null" writes none
    QString LoteFijo;                               // the lot of entry lines without one
    QString Aduana;                                 // ControladoPor of lines without one of their own
    QString LoteOrigen;                             // IdOrigen of lines without one of their own
    int16_t SignoRemota = 0;                        // not 0: the stock sign instead of the voucher type's
    bool MuestraCartel = false;                     // the wait window shows the progress
    QString IdVendedor;                             // salesperson
    int32_t SecuenciaFija = 0;                      // above 0: rows numbered on from it (a later part)
    QString UNegocio;                               // the business unit of the rows, the entry, the discharge
    QString Caja;                                   // the till (IdCaja, IdCajas); blank: none
};

}  // namespace posting
