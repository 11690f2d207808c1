#pragma once
// Lib_FrmCons3Tree ("Consulta..."): the modal tree lookup dialog. It shows the rows of a statement
// (first column the code, second the description) as a tree of codes under the root "Consulta...",
// lets the operator find a node by code or description and returns the chosen code, checked
// against its master table.
//
// Two builds: the families tree (a statement naming v_ta_familias), where each family hangs under
// the family the database gives as its parent, and the prefix tree for any other statement, where
// each code hangs under the longest code already in the tree that begins it.
#include "lookup/dialogo_consulta.h"
#include "lookup/lib_cls_cons3.h"
#include "platform/vb/variant.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace lookup {

// The statement of the families tree: code, description and parent of every family.
QString SentenciaFamilias();

// Prefix rule: the index in `claves` (node keys in the order they were added, the root "A"
// first) of the node a new key hangs under: the longest key that begins it (case ignored), the
// earlier one on equal length; -1 when none does.
int PadrePorPrefijo(const QStringList& claves, const QString& nueva);

// Levels below a checked node that take its state.
inline constexpr int kNivelesCascada = 6;

class Lib_FrmCons3Tree : public DialogoConsulta, public ArbolConsulta {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // ---- ArbolConsulta ----
    void MostrarModal() override;
    void Descargar() override;

    // ---- builds ----
    void ArmarTreeVFamilias();
    void ArmarTreeVAutomatico();
    // The rows of each build hung in the tree: families (code, description, parent code or Null)
    // and prefix rows (code, description). A row that cannot go in (its key already in the tree,
    // its parent missing) is reported and the rest still go in.
    void CuelgaFamilias(const std::vector<std::vector<vb::Variant>>& filas);
    void CuelgaPorPrefijo(const std::vector<std::vector<vb::Variant>>& filas);
    void Inicia();   // the tree cleared down to its root

    // ---- events ----
    void Form_Load();
    void CmbSearch_Change(int index) override;
    void CmbSearch_KeyDown(int index, int keyCode, int shift);
    void CmdAceptar_Click() override;
    void CmdCancelar_Click() override;
    void CmdNueva_Click() override;
    void TreeV_NodeCheck(QTreeWidgetItem* nodo);

    // ---- what tests and the screenshots look at ----
    QTreeWidget* arbol() const { return TreeV; }
    QComboBox* cajaBusqueda() const { return CmbSearch; }
    QTreeWidgetItem* nodo(const QString& clave) const;   // by key ("A" + code), case ignored
    QString clave(const QTreeWidgetItem* nodo) const;
    QStringList claves() const;                          // in the order the nodes were added

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Nodo {
        QString clave;
        QTreeWidgetItem* item;
    };

    std::vector<std::vector<vb::Variant>> LeeFilas(const char* rutina);
    bool AgregaNodo(const QString& padre, const QString& clave, const QString& texto, const char* rutina);
    void ReportaFila(const vb::Error& e, const char* rutina);

    QTreeWidget* TreeV = nullptr;
    QComboBox* CmbSearch = nullptr;
    QFrame* Frame1 = nullptr;
    QWidget* picFields = nullptr;
    QLabel* lblFieldName = nullptr;

    std::vector<Nodo> nodos_;
    QHash<QString, QTreeWidgetItem*> porClave_;   // upper-cased key
    QString sentenciaInicial_;
    bool reportarFilas_ = true;
};

}  // namespace lookup
