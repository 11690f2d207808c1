#pragma once
// VentanaEspera: the wait window shown while a long process runs. It stays on top, does not take
// the input, and shows one text and three lines of progress.
#include <QString>
#include <memory>

class QWidget;
class QLabel;

namespace utillib {

class VentanaEspera {
public:
    VentanaEspera();
    ~VentanaEspera();
    VentanaEspera(const VentanaEspera&) = delete;
    VentanaEspera& operator=(const VentanaEspera&) = delete;

    // Shows the window with `texto` as its only line. The style is 0 (the plain window) in
    // every call of the program.
    void MuestraEspera(const QString& texto, int estilo = 0);
    // Sets the three lines, showing the window when it is hidden.
    void ActualizaEspera(int estilo, const QString& linea1, const QString& linea2 = QString(),
                         const QString& linea3 = QString());
    void OcultaEspera();

    bool Visible() const;
    QString Linea(int i) const;  // 1 to 3
    QWidget* ventana() const;    // the window, created on first use

    // With false, no window is made or shown, every program-wide one included: the lines are
    // kept and nothing else is done (a benchmark's headless run). True by default.
    static void SetMuestraVentanas(bool muestra);

private:
    void Crea() const;
    mutable std::unique_ptr<QWidget> ventana_;
    mutable QLabel* lineas_[3] = {nullptr, nullptr, nullptr};
    QString sinVentana_[3];   // the lines while no window is shown
};

}  // namespace utillib
