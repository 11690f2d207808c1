#pragma once
// Module Korvane, run side: builds the outbound package "KORVANE_INTERFACE01" for one send, runs
// its seven steps one by one with their progress in FrmStatus, and marks what was sent.
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
// Marking after a run whose steps all succeeded:
//   mode 0 (normal)            V_MA_PRECIOS of list A3: '0-M'/'0-C'/'0-B' -> '1-M'/'1-C'/'1-B'
//                              with the transmission number (head office);
//   mode 1 (retransmission)    TIPOACT 'S' -> 'M' in IMPONOVARTI, IMPOPROV, OFERTAS (interface);
//   mode 2 (initial)           TIPOACT -> 'A' in the same three tables (interface).
// A run in which any step failed marks nothing: the changes stay pending for the next send.
#include "platform/dts/dts.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace console {

// The package of the current send; made afresh by every send and dropped at its end.
extern std::shared_ptr<dts::Package> gPaquete;

// Reports the outcome of the step at position NroPaso (from 1) of gPaquete to FrmStatus:
// "Error" when it failed, else its execution status. Raises vb::Error when no package is being
// run (91) or the package has no step at that position (9).
void InformaResultadoPaso(int16_t NroPaso);

// Builds and runs the package in the given mode (0, 1 or 2) and marks what was sent.
// NumeroTransmision is the text of the main window's transmission-number field; mode 0 writes
// its leading number into the marked price rows.
// Returns true when every step succeeded; false when a step failed or the run was left
// through the error treatment, in which case nothing was marked and the caller must not
// record the transmission.
bool ArmaYEjecutaPaqueteDTS(const int16_t& mode, const QString& NumeroTransmision);

// The progress text of each step, in run order.
QStringList DescripcionesPasos();

}  // namespace console
