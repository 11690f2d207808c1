#pragma once
// Lib_FrmCons3 ("Consulta..."): the modal list lookup dialog. It runs a statement on the
// head-office database and shows its rows in a list with one column and one search box per field;
// the operator searches the loaded rows by typing, narrows the statement on the server with F5,
// enters quantities, reports a missing article with F12 and picks one row (or, with check boxes,
// several), which the dialog hands back in ValorDevuelto and Valores.
//
// Measures are kept in twips as the dialog's layout works in them (15 twips to a pixel).
#include "lookup/dialogo_consulta.h"
#include "lookup/lib_cls_cons3.h"
#include "platform/ado/ado.h"
#include "platform/vb/currency.h"
#include "platform/vb/variant.h"

#include <QList>
#include <QString>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QScrollBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace lookup {

// Header text of the quantity column.
inline const QString kColumnaCantidad = QStringLiteral("**Cantidad**");

// Which of StkNivel1..StkNivel4 paints an article row with reorder point P and stock S.
int NivelStock(vb::Currency puntoPedido, vb::Currency stock);

// Whether `valor` is one of the keys listed in `valoresDefault` (separated by commas, semicolons
// or "|"); whole keys, blanks and letter case not counted.
bool EstaEnValoresDefault(const QString& valor, const QString& valoresDefault);

// The window width (twips) for a list of `anchoLista` twips on a screen `anchoPantalla` wide.
double AnchoVentana(double anchoLista, double anchoPantalla);

class Lib_FrmCons3 : public DialogoConsulta, public ListaConsulta {
    Q_OBJECT
public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    // ---- public members besides those of ListaConsulta ----
    vb::Variant StkNivel1;
    vb::Variant StkNivel2;
    vb::Variant StkNivel3;
    vb::Variant StkNivel4;
    QString MuestraStock;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    bool GrabarCfg = false;

    // ---- ListaConsulta ----
    void MostrarModal() override;
    void Descargar() override;

    // ---- public methods ----
    void CalcularAncho();
    void Leer(long Cdesde, long Cuantas);
    void Encolumnar();
    int Busqueda(int columna, const QString& QueValor);
    int IndiceColumna(const QString& nombre);

    // ---- events ----
    void Form_Load();
    void CmbSearch_Change(int index) override;
    void CmbSearch_KeyDown(int index, int keyCode, int shift);
    void ListView1_KeyDown(int keyCode, int shift);
    void ListView1_ColumnClick(int columna);
    void Form_KeyDown(int keyCode, int shift);
    void CmdAceptar_Click() override;
    void CmdCancelar_Click() override;
    void CmdNueva_Click() override;
    void HScroll1_Change(int valor);

    // ---- what tests and the screenshots look at ----
    QTreeWidget* lista() const { return ListView1; }
    QComboBox* cajaBusqueda(int index) const;
    int cantidadCajas() const { return static_cast<int>(CmbSearch.size()); }
    int cajaActiva() const { return cajaActiva_; }
    const QString& nombreTabla() const { return tabla_; }
    const QString& sentenciaActual() const { return sentenciaActual_; }
    double anchoColumna(int k) const;           // twips, k from 1
    void setAnchoColumna(int k, double twips);  // twips, k from 1

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QComboBox* CreaCaja(int index);
    void CmbSearch_GotFocus(int index);
    void CmbSearch_LostFocus(int index);
    void ColocaCajas();
    void CargaAnchosColumnas();
    void GuardaAnchosColumnas();
    void Form_Resize();
    bool TeclaDeVentana(QKeyEvent* ev);   // F12: handled by the window
    QString ColorStock();
    QString Celda(QTreeWidgetItem* item, int columna) const;   // column from 1
    void setCelda(QTreeWidgetItem* item, int columna, const QString& texto);
    QString ValorFila(QTreeWidgetItem* item, const QString& nombre, const QString& previo);
    void SeleccionaFila(int indice);   // from 1

    // controls
    QWidget* picFields = nullptr;
    std::vector<QComboBox*> CmbSearch;
    QTreeWidget* ListView1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* lblFieldName = nullptr;

    // private state
    bool articulos_ = false;
    QString tabla_;
    QString sentenciaInicial_;
    QString sentenciaActual_;
    int cajaActiva_ = 0;
    ado::RecordsetPtr rs_;
    bool ordenado_ = false;
    int claveOrden_ = 0;
    bool descendente_ = false;  // the sort order; every header click flips it
};

}  // namespace lookup
