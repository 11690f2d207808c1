#pragma once
// FrmKorvane01: the program's main window. The operator sends the head office's master-data
// changes to the stores' interface database, receives the stores' movements, and leaves.
//
// Its controls carry their names as objectName; the elements of the control arrays txtfields and
// OptTipo carry their element number in the "Index" property and the entry fields their
// "DataField" ("Codigo" the transmission number, "Fecha" the transmission date).
#include "platform/vb/variant.h"

#include <QDate>
#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStatusBar;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace posting {
class ClsCmnCptes;
}
namespace ui {
class FlexGrid;
class FlexGridView;
class StatusBar;
class TextMeasurer;
}  // namespace ui

namespace main_window {

class FrmKorvane01 : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmKorvane01(QWidget* parent = nullptr);
    ~FrmKorvane01() override;

    // The program's start-up and the window's load: start-up routine, server field, status bar,
    // saved fields, reset. Returns false when the head-office connection could not be opened:
    // the program then ends before the window is shown.
    bool Form_Load();
    // Saves the fields, hides the window and ends the program. While a send or a receive runs it
    // sets Cancel to 1 and does nothing: Salir and the close box wait for the work to end.
    void Form_Unload(int& Cancel);

    // The commands.
    void CmdEnviar_Click();
    void CmdRecibir_Click();
    void CmdCerrar_Click();

    // The reset: next transmission number, today's date, number field open. After the highest
    // number (2147483647) the number field is left empty and says that no number follows; the
    // window's load tells it in a box too.
    void InicializaPantalla();
    void HabilitaCampos(int16_t Activar);

    // Entry fields.
    void txtfields_GotFocus(int16_t Index);
    void txtfields_LostFocus(int16_t Index);
    void txtfields_KeyPress(int16_t Index, int16_t& KeyAscii);
    void txtfields_KeyDown(int16_t& Index, int16_t KeyCode, int16_t Shift);
    void CampoValida(QLineEdit* Texto);

    // Receive side: the cashier settlement entries (no effect) and the store movements of the
    // day read from the date field, posted by the store movement receiver (receiver/mov_deposito.h)
    // on this window's grid and engine, with the number field's transmission as their origin.
    void AsientosRendicionCajero();
    void MovDeposito(const QDate& dia);
    // The receive grid laid out as the articles grid of store sales (the window's engine made on
    // first use); the receiver runs it again after each voucher it saves. Errors reach the caller;
    // a setting of the layout not read leaves the grid as it was.
    void InicializaGrillaRecepcion();

    // Price-list lookups and the transmission report, kept ready for the window's own use. The
    // lookups work on CampoActual, the field that last had the focus; before any field had it they
    // raise vb::Error 91 to the caller.
    void ConsultaNovedades();
    void ConsultaPrecios();
    void ImprimeNovedades(int16_t& ReporteAlternativo);

    // Window-level values.
    std::optional<double> PorcentajeIVA;   // "PIVA", read at each reset; none while it is not read
    int16_t IndiceCampoActual = 0;
    QLineEdit* CampoActual = nullptr;
    bool ErrorEnCampo = false;

    // Controls.
    QToolButton* CmdEnviar = nullptr;
    QToolButton* CmdRecibir = nullptr;
    QToolButton* CmdCerrar = nullptr;
    std::unique_ptr<ui::FlexGrid> MSFlexGrid1;      // the receive grid: the articles grid
    ui::FlexGridView* MSFlexGrid1View = nullptr;     // what shows it
    std::unique_ptr<posting::ClsCmnCptes> Cpte;      // the window's voucher engine, made on first use
    // The window's text widths, in its own font.
    const ui::TextMeasurer& Medida() const { return *medida_; }
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label6 = nullptr;
    std::array<QLineEdit*, 2> txtfields{};
    std::array<QRadioButton*, 3> OptTipo{};
    QGroupBox* Frame2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* lblRuta = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* TxtServer = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* Label3 = nullptr;
    std::unique_ptr<ui::StatusBar> sbStatusBar;   // the panels, by key
    QStatusBar* sbStatusBarView = nullptr;          // what shows them

    // True while a send or a receive runs: a second command, Salir and the close box do nothing
    // meanwhile, and the number and date fields take no keys or clicks. The window's events go on
    // while the run waits for another station (shown in the wait window, with Anular).
    bool ocupado() const { return ocupado_; }

    // Program end: by default the application quits; tests record it instead.
    static void SetFinPrograma(std::function<void()> fin);

    // The interface database this start works on, whatever the saved fields hold: the window's
    // load puts it in the server and database fields after restoring them. Set before Form_Load
    // by a start on the demo folder, so that each demo folder sends into its own files; a start on
    // a real server sets none and the saved fields serve.
    void FijaInterfases(const QString& servidor, const QString& base);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The window's controls, built once, in the order of their tab chain: the command row and
    // the receive grid, the transmission data, the interface database, the note, the status bar.
    void armaControles();
    void armaComandos(QWidget* central, QVBoxLayout* main);
    QGroupBox* armaDatosTransmision(QWidget* central);
    QGroupBox* armaBaseInterfases(QWidget* central);
    void armaBarraEstado();
    int16_t indiceCampo(const QString& dataField);
    QLineEdit* campo(const QString& dataField);
    // Opens the interface database named in lblRuta on the server of TxtServer, as the send and the
    // receive both need it; false when it could not be opened (the connection has said why).
    bool conectaInterfases();
    // The check of the number and date fields before a send (envio) or a receive: a transmission
    // number and a date (core::LeeFecha); for a send also a number not yet recorded and a row the
    // head office takes. The day the date field reads as; nothing after telling the operator what
    // is wrong, with the focus on that field.
    std::optional<QDate> CamposValidos(bool envio);
    bool ocupado_ = false;
    bool descargado_ = false;
    bool sinNumeros_ = false;   // the highest transmission number is used: none to propose
    struct Interfases {
        QString servidor, base;
    };
    std::optional<Interfases> interfasesFijas_;   // FijaInterfases; none: the saved fields serve
    std::unique_ptr<ui::TextMeasurer> medida_;
};

// The date as the date field shows it: the short date format, day first ("05/03/2008").
QString FechaCorta(const vb::Date& d);
QString FechaCorta(const QDate& d);

}  // namespace main_window
