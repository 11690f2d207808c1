#pragma once
// FrmConsComprobantes ("Consulta de Comprobantes"): the modal voucher search. It lists the
// vouchers of one type (or of a mode string such as "RM/PENDIENTES") in ListView1, one small
// picture per row from ImageList1, sorts by a header click, and hands back the chosen voucher
// (accepted with CmdAceptar, a double-click or Enter on the list); purchase orders ("OC") carry a
// check box on every row, and every ticked one is handed back. CmdCancelar, Escape and the close
// box leave the members as they were. Row texts cannot be edited.
//
// The statement, the columns, the cells, the images and the result are worked out in
// consulta_comprobantes_sql.h and consulta_comprobantes_lista.h; this window shows them.
#include "vouchers/consulta_comprobantes_lista.h"
#include "vouchers/dialogos_comprobantes.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QString>

class QPushButton;
class QTreeWidget;

namespace vouchers {

class FrmConsComprobantes : public QDialog, public DialogoConsultaComprobantes {
    Q_OBJECT
public:
    explicit FrmConsComprobantes(QWidget* parent = nullptr);
    ~FrmConsComprobantes() override;

    // ImageList1: the pictures, looked up by their tag (EtiquetasImagenes(), in that order).
    struct Imagen {
        QString Tag;
        QIcon imagen;
    };
    QList<Imagen> ImageList1;

    // ---- DialogoConsultaComprobantes ----
    void MostrarModal() override;   // Form_Load, then modal until unloaded
    void Descargar() override;

    // ---- public operations ----
    // The index (from 1) of the image whose tag is TC; "Generico" for a tag the list lacks; 0 (no
    // image) when that is missing too.
    int ObtieneIndiceImagen(const QString& TC) const;
    // The columns of the current TC.
    void Encolumnar();

    // ---- events ----
    void Form_Load();
    void Form_Unload();
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void ListView1_ColumnClick(int columna);   // column from 1: sorts by it, in the order opposite to the last sort
    void ListView1_KeyDown(int keyCode);       // 13 (Enter) accepts

    // ---- what tests and the pictures look at ----
    QTreeWidget* lista() const { return ListView1; }
    QPushButton* aceptar() const { return CmdAceptar; }
    QPushButton* cancelar() const { return CmdCancelar; }
    bool Pendientes() const { return pendientes_; }
    // The statement of the last load.
    const QString& Sentencia() const { return sentencia_; }
    // The image index shown by a row (0: none).
    int ImagenFila(int fila) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void AgregaFila(const QString& etiqueta, const QList<Celda>& celdas);

    QTreeWidget* ListView1 = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;

    bool pendientes_ = false;
    bool referencia_ = false;   // UsaReferenciaPresupuestos is "SI"
    bool casillas_ = false;
    QString sentencia_;
    bool descendente_ = false;  // the last sort's order; every header click flips it
    bool descargado_ = false;
};

}  // namespace vouchers
