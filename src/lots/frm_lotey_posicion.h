#pragma once
// FrmLoteyPosicion ("Posiciones"): the position and lot dialog in a window. The grid MSFlexGrid1
// is a FlexGridView over the logic's grid; the in-cell editor TxtEdit is a line edit laid over
// the current cell; Toolbar1 holds the three commands (copy down, zero down, propose again);
// CmdAceptar and CmdCancelar close it. Keys typed on the grid open the editor on CANT.; Enter,
// Esc, Up and Down in the editor check the quantity and move (see LoteyPosicion).
#include "lots/lotey_posicion.h"
#include "platform/ui/text_measurer.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;

namespace ui {
class FlexGridView;
}

namespace lots {

class FrmLoteyPosicion : public QDialog, public LoteyPosicion {
    Q_OBJECT
public:
    explicit FrmLoteyPosicion(QWidget* parent = nullptr);
    ~FrmLoteyPosicion() override;

    void CargaDatos() override;
    void MostrarModal() override;
    void Descargar() override;

    // The controls, under their names as objectName.
    ui::FlexGridView* grilla() const { return grilla_; }
    QLineEdit* editor() const { return editor_; }
    QToolBar* toolbar() const { return toolbar_; }
    QLabel* etiqueta() const { return lblArticulo_; }
    QPushButton* aceptar() const { return CmdAceptar_; }
    QPushButton* cancelar() const { return CmdCancelar_; }

protected:
    void SetCaption(const QString& caption) override;
    void MuestraEtiqueta(const QString& caption) override;
    void FocoGrilla() override;
    void FocoAceptar() override;
    void Ocultar(bool aceptado) override;
    const ui::TextMeasurer& Medida() const override { return medida_; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    bool teclaEnGrilla(QKeyEvent* ev);
    bool teclaEnEditor(QKeyEvent* ev);

    ui::FlexGridView* grilla_ = nullptr;
    QLineEdit* editor_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* lblArticulo_ = nullptr;
    QPushButton* CmdAceptar_ = nullptr;
    QPushButton* CmdCancelar_ = nullptr;
    // The window's font, with the room a grid cell keeps around its text.
    class MedidaCelda : public ui::TextMeasurer {
    public:
        explicit MedidaCelda(const QWidget* ventana) : texto_(ventana) {}
        long TextWidth(const QString& text) const override;

    private:
        ui::WidgetTextMeasurer texto_;
    };
    MedidaCelda medida_{this};
    bool ocultando_ = false;
};

}  // namespace lots
