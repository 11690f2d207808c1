#pragma once
// FrmStatus: the step-progress window of a send. One row per package step with its state icon
// and text, and the progress bar above the list.
//
// Protocol: set pCanPasos, show the window, AgregarPaso once per row, then StatusPaso with
// 1 "En Espera", 2 "En Ejecución", 3 "Inactivo", 4 "Finalizado" (the bar is redrawn) or 5 "Error".
#include "platform/vb/variant.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

class QTreeWidget;

namespace sender {

// The strip across the top of the window: a picture box that keeps what was drawn on it
// (AutoRedraw) and shows it on every repaint.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    QImage& canvas();          // the persistent drawing surface, sized to the widget
    double lastPercent() const { return lastPercent_; }
    void setLastPercent(double p) { lastPercent_ = p; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage canvas_;
    double lastPercent_ = 0;
};

class FrmStatus : public QWidget {
    Q_OBJECT
public:
    explicit FrmStatus(QWidget* parent = nullptr);

    int16_t pCanPasos = 0;     // the number the progress bar divides by

    void Form_Load();
    void AgregarPaso(const QString& Paso);
    void StatusPaso(const QString& Paso, int16_t Status, const vb::Variant& Result = vb::Variant(0));

    // What the window shows, for the caller and the tests.
    int rowCount() const;
    QString rowStep(int row) const;     // sub-item 1, row from 0
    QString rowState(int row) const;    // sub-item 2
    int rowIcon(int row) const;         // the small icon's image number, 0 for none
    double barPercent() const;          // the percentage last drawn on the bar

    PictureBox* picProgreso = nullptr;
    QTreeWidget* Lvw1 = nullptr;

    static QString StateText(int status);   // "" for a value outside 1..5

protected:
    void closeEvent(QCloseEvent* event) override;   // the operator closing it unloads it

private:
    void addRow(const QString& Paso);
    std::array<QIcon, 5> ImageList1;
};

// The single instance: created and loaded on first use. Unloading hides it; the next use loads
// it again with an empty list (its rows stay readable until then through FrmStatusInstance).
FrmStatus& frmStatus();
FrmStatus* FrmStatusInstance();   // nullptr when never created; does not load
bool FrmStatusLoaded();
void UnloadFrmStatus();
void DestroyFrmStatus();          // program end and tests

// Told of every row whose state changed, after the window has been repainted (the screenshots
// of the program use it). An empty function removes it.
void SetObservadorEstado(std::function<void(const QString& paso, int estado)> observador);

}  // namespace sender
