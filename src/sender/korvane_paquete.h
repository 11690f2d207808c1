#pragma once
// Module Korvane, run side: builds the outbound package "KORVANE_INTERFACE01" for one send, runs
// its seven steps one by one with their progress in FrmStatus, and marks and records what was
// sent.
//
//   step  name                         progress text          task
//   1     DTSStep_DTSExecuteSQLTask_1  "Vaciar Tablas"        empties the six interface tables
//   2     DTSStep_DTSDataPumpTask_1    "Copiar IMPONOVARTI"   QET_KORVANE         -> IMPONOVARTI
//   3     DTSStep_DTSDataPumpTask_2    "Copiar IMPONOVBARRAS" QET_KORVANE_BARRAS  -> IMPONOVBARRAS
//   4     DTSStep_DTSDataPumpTask_3    "Copiar IMPONOVBULTOS" QET_KORVANE_BULTOS  -> IMPONOVBULTOS
//   5     DTSStep_DTSDataPumpTask_4    "Copiar IMPONOVPROV"   QET_KORVANE_NOVPROV -> IMPONOVPROV
//   6     DTSStep_DTSDataPumpTask_5    "Copiar IMPOPROV"      QET_KORVANE_PROV    -> IMPOPROV
//   7     DTSStep_DTSDataPumpTask_7    "Copiar OFERTAS"       QET_KORVANE_OFERTAS -> OFERTAS
//
// The stores read the interface tables at any moment, so a send reaches them whole or not at all,
// and a price is marked as sent only together with the transmission that sent it:
//   1. the seven steps run in the package's transaction on the interface connection;
//   2. when every step succeeded, modes 1 and 2 rewrite TIPOACT inside that same transaction
//        mode 1 (retransmission)  TIPOACT 'S' -> 'M' in IMPONOVARTI, IMPOPROV, OFERTAS
//        mode 2 (initial)         TIPOACT -> 'A' in the same three tables
//      and the transaction is committed;
//   3. then, in one head-office transaction, mode 0 marks the pending A3 prices of the articles
//      the article step copied (read back from IMPONOVARTI before the commit)
//      ('0-M'/'0-C'/'0-B' -> '1-M'/'1-C'/'1-B' with the transmission number) and the transmission
//      row is inserted in MV_NOVEDADESPRECIOS;
//   4. then the closing box.
// A failed step rolls the whole send back: the interface tables keep the previous send and
// nothing is marked or recorded. A process that dies on the way leaves the previous send, or the
// new one unmarked (the next send repeats it); never a marked price without its transmission row.
// Another station's send or receive holding a database (platform/ado/lock_wait.h) is waited for;
// a wait that runs out is asked in one box with Reintentar (the interface: the whole send again;
// the head office: its transaction again) and Anular, and a wait the operator gave up with Anular
// ends the send with no further box.
#include "platform/dts/dts.h"
#include "platform/vb/on_error.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace sender {

// The transmission a send records: the main window's number field's text and the day its date
// field was read as (core::LeeFecha), as the operator confirmed them (the window checks both before
// sending). The record carries the day as data::FechaSQL writes it, whatever form was typed.
struct Transmision {
    QString numero;
    QDate fecha;
};

// Reports the outcome of the step at position NroPaso (from 1) of the package to FrmStatus:
// "Error" when it failed, else its execution status. Raises vb::Error 9 when the package has no
// step at that position.
void InformaResultadoPaso(const dts::Package& paquete, int16_t NroPaso);

// Builds the package of a send in the given mode: its properties, the two connections, the seven
// steps (each adding its row to FrmStatus), the precedence constraint, the closing row
// "Finalizando" and the seven tasks. Each statement's error goes to `on`.
std::shared_ptr<dts::Package> ArmaPaquete(vb::OnError& on, int16_t mode);

// Builds and runs the package in the given mode (0, 1 or 2), then marks and records the
// transmission as described above. Returns true when the send was committed and recorded; false
// when a step failed, the recording failed or the run was left through the error treatment (or
// the operator gave up waiting for another station). Never raises.
bool ArmaYEjecutaPaqueteDTS(const int16_t& mode, const Transmision& transmision);

// Step 3 on its own: in one head-office transaction, mode 0's marking of the prices of the
// articles given and the transmission row. A statement that fails rolls both back; the first
// error of the connection is then shown in a box and the result is false. Never raises.
bool RegistraTransmision(int16_t mode, const Transmision& transmision, const QStringList& articulos = {});

// Whether the head office takes the transmission row as the send will record it: its INSERT run
// in a transaction rolled back at once. False, after showing the connection's first error, for a
// date its column refuses or a number recorded meanwhile (at another station too); false too when
// the operator left the head office held by another station (Anular). Never raises.
bool TransmisionAceptada(const Transmision& transmision);

// The send mode's letter: "N", "C" or "A"; empty for any other mode (every row, nothing marked).
QString LetraTransmision(int16_t mode);

// The progress text of each step, in run order.
QStringList DescripcionesPasos();

}  // namespace sender
