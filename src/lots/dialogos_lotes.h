#pragma once
// The two lot dialogs as the voucher engine's drivers see them (PideSerieLote,
// PideSerieLote_Salidas, PidePosicionLote): the members a driver sets, the loading, the modal
// show and the result members it reads afterwards. The drivers take a fresh dialog from the
// factory for every request and let it go (Descargar, then the instance is released) on every
// way out, so that no request sees another's rows.
//
//   lots::FabricaDialogosLotes f = lots::DialogosLotesDelPrograma();
//   f.cargaLotesySeries = [] { return std::make_unique<FrmCargaLotesySeries>(); };
//   lots::SetDialogosLotes(f);                 // what every driver uses from now on
//
// Tests install scripted fakes the same way (and put back the program's dialogs afterwards).
#include <QString>
#include <functional>
#include <memory>

namespace lots {

// FrmCargaLotesySeries: lots, serial numbers and sizes of one article line. Entry (goods coming
// in): the driver sets Cantidad, EsSerie, EsLote, EsTalle, Articulo, SeriesAnteriores and
// LotesAnteriores, calls CargaDatos, shows it and reads Series and Lotes. Query (goods going out,
// EsConsultaDeSerieLote): it also sets Deposito (4 characters), Lotes and Series (the earlier
// choice: lot and serial pairs and their quantities), LotesExistentes and SeriesExistentes (what
// the other lines of the article already take, in the same forms) and MostrarForm; it reads
// Lotes, Series and Cantidad, which the dialog may have adjusted.
class DialogoCargaLotesySeries {
public:
    virtual ~DialogoCargaLotesySeries() = default;

    double Cantidad = 0;
    bool EsSerie = false;
    bool EsLote = false;
    bool EsTalle = false;
    bool EsConsultaDeSerieLote = false;
    bool MostrarForm = true;
    QString Articulo;
    QString Deposito;
    QString SeriesAnteriores;
    QString LotesAnteriores;
    QString LotesExistentes;
    QString SeriesExistentes;
    QString Lotes;    // result (and, in a query, the earlier choice)
    QString Series;   // result (and, in a query, the earlier quantities)

    // Loads the dialog's rows from the members above.
    virtual void CargaDatos() = 0;
    // The caption of the label lblArticulo.
    virtual void SetLblArticulo(const QString& caption) = 0;
    // Shows the dialog modally; returns once it is hidden (accepted or cancelled).
    virtual void MostrarModal() = 0;
    // Accepts the loaded data as the Accept button does; a driver calls it on a dialog it does
    // not show (MostrarForm false).
    virtual void CmdAceptar_Click() = 0;
    // Form_Unload: what the dialog does when the driver lets it go.
    virtual void Descargar() {}
};

// FrmLoteyPosicion: the positions (and lots) of a warehouse a quantity is taken from. The
// driver sets Cantidad1, EsConsultaDePosicionLote, EsPosicion, EsLote, IUNIDAD, Articulo,
// Deposito, PosicionesAnteriores and LotesAnteriores, calls CargaDatos, shows it and reads
// Posiciones and Lotes (empty after Cancel).
class DialogoLoteyPosicion {
public:
    virtual ~DialogoLoteyPosicion() = default;

    QString Deposito;               // shown as given; widened to 4 characters in the queries
    QString IUNIDAD;                // the unit of the requested quantity and of every balance shown
    bool MostrarForm = false;       // a total below the request may be accepted by lowering it
    bool EsConsultaDePosicionLote = false;   // review of an earlier choice
    bool EsPosicion = false;
    bool EsLote = false;
    bool EsPosicionYLote = false;   // set by CargaDatos: the grid has a LOTE column
    double Cantidad1 = 0;           // the requested quantity; an agreed adjustment replaces it
    QString Articulo;
    QString ArticuloDescripcion;
    QString PosicionesAnteriores;   // |P01*5|*2|: position*quantity, an empty position for the deposit
    QString LotesAnteriores;        // |L1||: the lot of each item of PosicionesAnteriores
    QString Posiciones;             // result, written by a successful Accept
    QString Lotes;                  // result, written by a successful Accept

    virtual void CargaDatos() = 0;
    virtual void SetLblArticulo(const QString& caption) = 0;
    virtual void MostrarModal() = 0;
    virtual void Descargar() {}
};

// Where the drivers get a fresh dialog for every request. An empty entry means the dialog is not
// part of this program: the driver then reports error 91 through its error question.
struct FabricaDialogosLotes {
    std::function<std::unique_ptr<DialogoCargaLotesySeries>()> cargaLotesySeries;
    std::function<std::unique_ptr<DialogoLoteyPosicion>()> loteyPosicion;
};

// The program's dialogs: FrmCargaLotesySeries and FrmLoteyPosicion.
FabricaDialogosLotes DialogosLotesDelPrograma();

// The factory the drivers use; the program's dialogs until another is set.
const FabricaDialogosLotes& DialogosLotes();
void SetDialogosLotes(FabricaDialogosLotes fabrica);

}  // namespace lots
