#pragma once
// FlexGridView: a FlexGrid shown in a window. The grid's first row is the view's column header
// (when the grid has fixed rows); its other rows are the view's rows, the fixed ones painted as
// headers. Widths come from ColWidth (twips; 0 hides the column), alignments from ColAlignment,
// colours from the cell colours. The current cell and the scrolling follow the model both ways,
// and the view keeps the model's Left/Top/Width/Height and row height, so that CellLeft/CellTop
// place an in-cell editor where the cell is.
//
//   ui::FlexGrid grilla(QStringLiteral("MSFlexGrid1"));
//   auto* vista = new ui::FlexGridView(&grilla, ventana);   // the model must outlive the view,
//                                                           // or the view stops following it
//   ui::TextBox edit(QStringLiteral("TxtEdit2"));
//   QLineEdit* caja = ui::CreateTextBoxView(&edit, ventana);  // follows the box's properties
//
// Changes of size and widths are shown together a moment later (at once by Refresh or
// Sincroniza); a cell's text is shown as it changes. On the screen, a Refresh less than
// kRefrescoMs after the last one shown at once or the last delayed layout, and a cell's text less
// than kRefrescoMs after the last one shown at once or that layout (on the runtime's clock,
// vb::CurrentMSecsSinceEpoch), are shown with the other changes of size: a grid filled line by
// line, and laid out anew for every voucher, during a run is drawn at a human pace.
#include <QRect>
#include <QTableView>

#include <memory>
#include <vector>

class QLineEdit;
class QTimer;

namespace ui {

class FlexGrid;
class TextBox;

class FlexGridView : public QTableView {
    Q_OBJECT
public:
    explicit FlexGridView(FlexGrid* model, QWidget* parent = nullptr);
    ~FlexGridView() override;

    // Milliseconds within which a Refresh or a cell's text waits for the layout timer.
    static constexpr int kRefrescoMs = 40;

    FlexGrid* grid() const { return grid_; }
    // Applies the model's layout now.
    void Sincroniza();
    // The current cell's rectangle in this widget's coordinates; empty when it is not shown.
    QRect CellRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    class Adapter;
    void onChange(int change, int row, int col);
    void applyLayout();
    void applyCurrent();
    void reportGeometry();
    int viewRow(int gridRow) const;

    FlexGrid* grid_;
    std::weak_ptr<int> alive_;
    Adapter* adapter_;
    static constexpr int kLayoutDelayMs = 50;
    // When a kind of change was last shown at once on the screen, ms on the clock.
    struct Paso {
        long long ms = 0;
        bool alguna = false;
    };
    bool AlPaso(Paso& paso);   // true when a change of that kind may be shown at once; kept then
    Paso refresco_, celdas_;
    QTimer* layoutTimer_ = nullptr;
    std::vector<long> anchos_;   // the widths last applied, twips
    bool layoutPending_ = false;
    bool following_ = false;   // a change that came from the model: not reported back
};

// A QLineEdit showing the box: visible, text, place and size (twips, in the parent's
// coordinates), length limit and focus follow the model; what the operator types goes back to
// the model. The box must outlive the view, or the view stops following it.
QLineEdit* CreateTextBoxView(TextBox* model, QWidget* parent);

}  // namespace ui
