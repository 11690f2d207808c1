#pragma once
// The voucher search dialog as the voucher engine's ConsultaComprobante sees it: the members it
// sets, the modal show and the members it reads afterwards. The engine takes a fresh dialog from
// the factory for every search and lets it go (Descargar, then the instance is released) on
// every way out, so that each search starts with empty members.
//
//   vouchers::FabricaDialogosComprobantes f = vouchers::DialogosComprobantesDelPrograma();
//   f.consultaComprobantes = [] { return std::make_unique<MiBusqueda>(); };
//   vouchers::SetDialogosComprobantes(f);     // what the engine uses from now on
//
// Tests install scripted fakes the same way (and put back the program's dialog afterwards).
#include <QString>
#include <functional>
#include <memory>

namespace vouchers {

// FrmConsComprobantes: the engine sets TC (a type code or a mode string) and Filtro (the caller's
// SQL condition, or empty), empties NroComprobante, shows it and reads NroComprobante,
// IdComplemento and Proveedor.
class DialogoConsultaComprobantes {
public:
    virtual ~DialogoConsultaComprobantes() = default;

    QString Filtro;
    QString TC;
    QString NroComprobante;   // result: the chosen number, or several joined by "," (purchase orders)
    QString IdComplemento;    // result, for the types that give one
    QString Proveedor;        // result: the account of a purchase or journal voucher

    // Loads and shows the dialog modally; returns once it is unloaded (accepted or cancelled).
    virtual void MostrarModal() = 0;
    // What the dialog does when the engine lets it go.
    virtual void Descargar() {}
};

// Where the engine gets a fresh dialog for every search. An empty entry means the dialog is not
// part of this program: the search then reports error 91 through its error question.
struct FabricaDialogosComprobantes {
    std::function<std::unique_ptr<DialogoConsultaComprobantes>()> consultaComprobantes;
};

// The program's dialogs (FrmConsComprobantes).
FabricaDialogosComprobantes DialogosComprobantesDelPrograma();

// The factory the engine uses; the program's dialogs until another is set.
const FabricaDialogosComprobantes& DialogosComprobantes();
void SetDialogosComprobantes(FabricaDialogosComprobantes fabrica);

}  // namespace vouchers
