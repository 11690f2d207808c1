#pragma once
// VentanaLotes: the window of a lot dialog (FrmLoteyPosicion, FrmCargaLotesySeries), with its
// controls under their names: the toolbar Toolbar1, the label lblArticulo, the grid MSFlexGrid1
// (a FlexGridView over the dialog's grid), the in-cell editor TxtEdit laid over the current cell,
// and the buttons CmdAceptar and CmdCancelar. Keys typed on the grid open the editor; confirming
// keys in the editor check and move; the window sees every key first (Form_KeyDown); Escape and
// the close box cancel.
//
//   class FrmAlgo : public VentanaLotes, public Algo {     // Algo: a GrillaLotes
//   public:
//       FrmAlgo() : VentanaLotes(QStringLiteral("FrmAlgo")) {
//           Arma(*this, {{1, QStyle::SP_ArrowDown, "Llenar ..."}}, QStringLiteral("&Aceptar"));
//       }
//       ~FrmAlgo() override { Suelta(); }
//       void CargaDatos() override { Algo::CargaDatos(); MuestraCargado(); }
//       void MostrarModal() override { Muestra(); }
//   };
#include "lots/grilla_lotes.h"
#include "platform/ui/text_measurer.h"

#include <QDialog>
#include <QStyle>

#include <initializer_list>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;

namespace ui {
class FlexGridView;
}

namespace lots {

class VentanaLotes : public QDialog, public VistaLotes {
    Q_OBJECT
public:
    // A toolbar button: its index for Toolbar1_ButtonClick, its picture and its tooltip.
    struct Boton {
        int indice;
        QStyle::StandardPixmap icono;
        const char* ayuda;   // UTF-8
    };

    ~VentanaLotes() override;

    // The controls, under their names as objectName.
    ui::FlexGridView* grilla() const { return grilla_; }
    QLineEdit* editor() const { return editor_; }
    QToolBar* toolbar() const { return toolbar_; }
    QLabel* etiqueta() const { return lblArticulo_; }
    QPushButton* aceptar() const { return CmdAceptar_; }
    QPushButton* cancelar() const { return CmdCancelar_; }

    // ---- VistaLotes ----
    void MuestraCaption(const QString& caption) override;
    void MuestraLblArticulo(const QString& caption) override;
    void EnfocaGrilla() override;
    void EnfocaAceptar() override;
    void Oculta(bool aceptado) override;
    const ui::TextMeasurer& MedidaTexto() const override { return medida_; }

protected:
    VentanaLotes(const QString& nombre, QWidget* parent = nullptr);
    // Builds the controls around the dialog's logic, once it is constructed.
    void Arma(GrillaLotes& logica, std::initializer_list<Boton> botones, const QString& captionAceptar);
    // Lays the grid out at once after loading, so that the grid taking the focus keeps the loaded
    // current cell.
    void MuestraCargado();
    // Shows the window modally; returns once it is hidden.
    void Muestra();
    // Lets the logic go: the window's destructor calls it first, before the logic is destroyed.
    void Suelta();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    bool teclaEnGrilla(QKeyEvent* ev);
    bool teclaEnEditor(QKeyEvent* ev);

    GrillaLotes* logica_ = nullptr;
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
