#pragma once
// VentanaEspera: the wait window shown while a long process runs. It stays on top, does not take
// the input, and shows one text and three lines of progress.
//
// A run tells it its progress for every row; it draws at a human pace. The first text after it
// shows is drawn at once; a later one is drawn at once when kPasoMs have gone by since the last
// drawing, else when they have (at the next DoEvents, or by a timer in any event loop), so that
// what it shows is never older than the pace: the latest text, not every text. Hiding it takes
// the window off the screen at the same pace, so a run that hides and shows it again between two
// rows (a voucher's posting) leaves it standing. The pace is read on the runtime's clock
// (vb::CurrentMSecsSinceEpoch). Linea gives what it was told last; Dibujada what it shows.
//
// While a run waits for another station the window offers "Anular" (MuestraAnular): a click on it
// calls what the run gave, and the button goes until it is offered again.
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class QLabel;
class QPushButton;
class QTimer;

namespace utillib {

class VentanaEspera {
public:
    VentanaEspera();
    ~VentanaEspera();
    VentanaEspera(const VentanaEspera&) = delete;
    VentanaEspera& operator=(const VentanaEspera&) = delete;

    // Milliseconds between two drawings of the window.
    static constexpr int kPasoMs = 40;

    // Shows the window with `texto` as its only line. The style is 0 (the plain window) in
    // every call of the program.
    void MuestraEspera(const QString& texto, int estilo = 0);
    // Sets the three lines, showing the window when it is hidden.
    void ActualizaEspera(int estilo, const QString& linea1, const QString& linea2 = QString(),
                         const QString& linea3 = QString());
    void OcultaEspera();
    // The button "Anular" (objectName "cmdAnular") under the lines, calling `alAnular` when clicked;
    // OcultaAnular takes it away.
    void MuestraAnular(std::function<void()> alAnular);
    void OcultaAnular();
    bool AnularVisible() const;

    bool Visible() const;
    QString Linea(int i) const;      // 1 to 3: the line as last told
    QString Dibujada(int i) const;   // 1 to 3: the line as the window shows it
    QWidget* ventana();              // the window, created on first use, with the lines as last told

    // With false, no window is made or shown, every program-wide one included: the lines are
    // kept and nothing else is done (a benchmark's headless run). True by default.
    static void SetMuestraVentanas(bool muestra);

private:
    void Crea();                // the window, when there is none yet
    void PasaALineas();         // the lines told onto the labels
    void DibujaSiToca();        // draws what is pending when the pace allows, else waits for it
    void OcultaSiToca();        // takes the hidden window off the screen when the pace allows
    void Dibuja(long long ahora);
    std::unique_ptr<QWidget> ventana_;
    QLabel* lineas_[3] = {nullptr, nullptr, nullptr};
    QPushButton* anular_ = nullptr;
    std::function<void()> alAnular_;
    QTimer* dibujar_ = nullptr;           // the drawing the pace put off
    QTimer* ocultar_ = nullptr;           // the hiding the pace put off
    int tarea_ = 0;                       // the DoEvents task that draws what has come due
    QString texto_[3];                    // the lines as last told
    bool pendiente_ = false;              // told and not yet on the labels
    bool visible_ = false;                // shown by the program (the window may stand a moment longer)
    long long dibujada_ = 0;              // when the window was last drawn, ms on the clock
    long long ocultada_ = 0;              // when the program hid it
};

}  // namespace utillib
