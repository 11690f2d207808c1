#pragma once
// Module Korvane, task side: the builders of the seven tasks of the outbound package
// "KORVANE_INTERFACE01". Each builder adds one task to the package's Tasks; the steps that run
// them, the connections and the run itself belong to the package run (korvane_paquete.h).
//
//   task                          builder                     source (head office, connection 1)
//   DTSTask_DTSExecuteSQLTask_1   AgregaTareaVaciarTablas     - (empties the six tables, connection 2)
//   DTSTask_DTSDataPumpTask_1     AgregaTareaImpoNovArti      QET_KORVANE          -> IMPONOVARTI
//   DTSTask_DTSDataPumpTask_2     AgregaTareaImpoNovBarras    QET_KORVANE_BARRAS   -> IMPONOVBARRAS
//   DTSTask_DTSDataPumpTask_3     AgregaTareaImpoNovBultos    QET_KORVANE_BULTOS   -> IMPONOVBULTOS
//   DTSTask_DTSDataPumpTask_4     AgregaTareaImpoNovProv      QET_KORVANE_NOVPROV  -> IMPONOVPROV
//   DTSTask_DTSDataPumpTask_5     AgregaTareaImpoProv         QET_KORVANE_PROV     -> IMPOPROV
//   DTSTask_DTSDataPumpTask_7     AgregaTareaOfertas          QET_KORVANE_OFERTAS  -> OFERTAS
//
// The builders have no error handling of their own: a failing call into the package raises
// vb::Error to the caller, and a task cut short is not added to the package.
#include "platform/dts/dts.h"

#include <QString>
#include <array>

namespace sender {

// The builders take the package and the send mode's letter TipoTransmision: "N" normal (changes
// only: the article, barcode, pack and supplier-news steps copy only rows with TIPOACT = 'M'), "C"
// full retransmission, "A" initial transmission; any text other than exactly "N" selects every
// row. The truncate, supplier and offers builders do not read it.
//
// The columns that identify a row in the stores' system (the store, article, supplier, barcode,
// pack and offer codes of each table) are copied whole or not at all: their transformations do
// not allow a value to be cut or rounded to fit, so a code longer than its column fails the step,
// naming the row and the column, instead of reaching the stores as another code.
void AgregaTareaVaciarTablas(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaImpoNovArti(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaImpoNovBarras(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaImpoNovBultos(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaImpoNovProv(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaImpoProv(dts::Package& package, const QString& TipoTransmision);
void AgregaTareaOfertas(dts::Package& package, const QString& TipoTransmision);

// The seven builders in the order the send adds their tasks to the package.
using ArmaTarea = void (*)(dts::Package& package, const QString& TipoTransmision);
inline constexpr std::array<ArmaTarea, 7> kTareasPaquete{
    AgregaTareaImpoNovArti, AgregaTareaVaciarTablas, AgregaTareaImpoNovBarras, AgregaTareaImpoNovBultos,
    AgregaTareaImpoNovProv, AgregaTareaImpoProv,     AgregaTareaOfertas,
};

}  // namespace sender
