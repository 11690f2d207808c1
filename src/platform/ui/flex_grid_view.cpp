#include "platform/ui/flex_grid_view.h"

#include "platform/ui/flex_grid.h"
#include "platform/ui/text_box.h"
#include "platform/ui/units.h"
#include "platform/vb/dates.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace ui {

namespace {

Qt::Alignment Alignment(int code, const QString& text) {
    switch (code) {
    case flexAlignLeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case flexAlignLeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case flexAlignLeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case flexAlignCenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case flexAlignCenterCenter: return Qt::AlignCenter;
    case flexAlignCenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case flexAlignRightTop: return Qt::AlignRight | Qt::AlignTop;
    case flexAlignRightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case flexAlignRightBottom: return Qt::AlignRight | Qt::AlignBottom;
    default: {
        bool numero = false;
        text.trimmed().toDouble(&numero);
        return (numero ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    }
}

}  // namespace

// The grid as a table model: row 0 (when fixed) is the header, the other rows are the table's.
// The counts are those of the last resync, so that the table never reads past them meanwhile.
class FlexGridView::Adapter : public QAbstractTableModel {
public:
    Adapter(FlexGrid* grid, std::weak_ptr<int> alive, QObject* parent)
        : QAbstractTableModel(parent), grid_(grid), alive_(std::move(alive)), counts_(countsOf()) {}

    // Takes the grid's size. Rows added or removed at the end are told as such, so that a grid
    // filled line by line is not shown afresh for every line; any other change of size resets the
    // table. Returns true after a reset: the view must set every column again.
    bool resync() {
        const Counts now = countsOf();
        if (!fresh_ && now.cols == counts_.cols && now.offset == counts_.offset) {
            if (now.rows > counts_.rows) {
                beginInsertRows({}, counts_.rows, now.rows - 1);
                counts_.rows = now.rows;
                endInsertRows();
            } else if (now.rows < counts_.rows) {
                beginRemoveRows({}, now.rows, counts_.rows - 1);
                counts_.rows = now.rows;
                endRemoveRows();
            }
            // Texts and alignments may have changed everywhere (Clear, ColAlignment).
            if (counts_.rows > 0 && counts_.cols > 0)
                dataChanged(index(0, 0), index(counts_.rows - 1, counts_.cols - 1));
            if (counts_.cols > 0) headerDataChanged(Qt::Horizontal, 0, counts_.cols - 1);
            return false;
        }
        beginResetModel();
        counts_ = now;
        fresh_ = false;
        endResetModel();
        return true;
    }
    int offset() const { return counts_.offset; }
    bool live() const { return !alive_.expired(); }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : counts_.rows; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : counts_.cols; }

    QVariant data(const QModelIndex& index, int role) const override {
        const int r = index.row() + counts_.offset;
        const int c = index.column();
        if (!live() || r >= grid_->Rows() || c >= grid_->Cols()) return {};
        switch (role) {
        case Qt::DisplayRole:
            return grid_->TextMatrix(r, c);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Alignment(grid_->ColAlignment(c), grid_->TextMatrix(r, c)));
        case Qt::BackgroundRole: {
            const long bgr = grid_->BackColorAt(r, c);
            if (bgr != 0) return ColorFromBGR(bgr);
            if (r < grid_->FixedRows() || c < grid_->FixedCols()) return QApplication::palette().button();
            return {};
        }
        case Qt::ForegroundRole: {
            const long bgr = grid_->ForeColorAt(r, c);
            return bgr != 0 ? QVariant(ColorFromBGR(bgr)) : QVariant();
        }
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || counts_.offset == 0 || !live() || section >= grid_->Cols() || grid_->Rows() == 0)
            return {};
        if (role == Qt::DisplayRole) return grid_->TextMatrix(0, section);
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Alignment(grid_->ColAlignment(section), QString()));
        return {};
    }

private:
    // The table's size: the grid's rows less the header row, its columns.
    struct Counts {
        int rows = 0;
        int cols = 0;
        int offset = 0;
    };
    Counts countsOf() const {
        if (!live()) return {};
        const int offset = grid_->FixedRows() > 0 ? 1 : 0;
        return {std::max(grid_->Rows() - offset, 0), grid_->Cols(), offset};
    }

    FlexGrid* grid_;
    std::weak_ptr<int> alive_;
    Counts counts_;
    bool fresh_ = true;   // the first resync resets
};

FlexGridView::FlexGridView(FlexGrid* model, QWidget* parent)
    : QTableView(parent), grid_(model), alive_(model->Token()) {
    setObjectName(model->Name());
    verticalHeader()->setVisible(false);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Rows as high as the view draws them, so that CellTop is where the cell is.
    grid_->SetRowHeight(TwipsFromPixels(verticalHeader()->defaultSectionSize()));
    horizontalHeader()->setFixedHeight(verticalHeader()->defaultSectionSize());

    // Changes of size are shown a moment later, together: a grid filled line by line while the
    // program yields to the event loop is not drawn again for every line.
    layoutTimer_ = new QTimer(this);
    layoutTimer_->setSingleShot(true);
    layoutTimer_->setInterval(kLayoutDelayMs);
    connect(layoutTimer_, &QTimer::timeout, this, [this] {
        Sincroniza();
        // What the run changed meanwhile is shown now: a Refresh or a text within the pace after
        // this waits for the next layout.
        if (!isVisible()) return;
        refresco_ = celdas_ = Paso{vb::CurrentMSecsSinceEpoch(), true};
    });
    adapter_ = new Adapter(model, alive_, this);
    setModel(adapter_);
    QPointer<FlexGridView> self(this);
    grid_->SetListener([self](FlexGrid::Change change, int row, int col) {
        if (self) self->onChange(static_cast<int>(change), row, col);
    });
    applyLayout();
}

FlexGridView::~FlexGridView() {
    if (!alive_.expired()) grid_->SetListener({});
}

int FlexGridView::viewRow(int gridRow) const { return gridRow - adapter_->offset(); }

void FlexGridView::onChange(int change, int row, int col) {
    if (alive_.expired()) return;
    switch (static_cast<FlexGrid::Change>(change)) {
    case FlexGrid::Change::Layout:
        layoutPending_ = true;
        if (!layoutTimer_->isActive()) layoutTimer_->start();
        break;
    case FlexGrid::Change::Cell:
        if (layoutPending_) break;   // the coming reset shows it
        if (!AlPaso(celdas_)) {   // a run filling the grid: shown with the next layout
            layoutPending_ = true;
            if (!layoutTimer_->isActive()) layoutTimer_->start();
            break;
        }
        if (row < adapter_->offset())
            adapter_->headerDataChanged(Qt::Horizontal, col, col);
        else
            adapter_->dataChanged(adapter_->index(viewRow(row), col), adapter_->index(viewRow(row), col));
        break;
    case FlexGrid::Change::Current:
        if (!following_ && !layoutPending_) applyCurrent();
        break;
    case FlexGrid::Change::Refresh:
        // At once, unless the view on the screen was refreshed within the pace: a run that lays
        // the grid out anew for every voucher has it laid out and drawn with the layout timer.
        if (AlPaso(refresco_)) {
            Sincroniza();
            viewport()->update();
        } else {
            layoutPending_ = true;
            if (!layoutTimer_->isActive()) layoutTimer_->start();
        }
        break;
    }
}

bool FlexGridView::AlPaso(Paso& paso) {
    if (!isVisible()) return true;
    const long long ahora = vb::CurrentMSecsSinceEpoch();
    const long long pasado = ahora - paso.ms;
    // A clock set back shows at once rather than wait for it.
    if (paso.alguna && pasado >= 0 && pasado < kRefrescoMs) return false;
    paso.alguna = true;
    paso.ms = ahora;
    return true;
}

void FlexGridView::Sincroniza() {
    if (layoutPending_) applyLayout();
}

void FlexGridView::applyLayout() {
    layoutPending_ = false;
    layoutTimer_->stop();
    if (alive_.expired()) return;
    following_ = true;
    const bool columnas = adapter_->resync();
    horizontalHeader()->setVisible(adapter_->offset() > 0);
    anchos_.resize(static_cast<size_t>(grid_->Cols()), -2);
    for (int c = 0; c < grid_->Cols(); ++c) {
        const long w = grid_->ColWidth(c);
        if (!columnas && anchos_[static_cast<size_t>(c)] == w) continue;
        anchos_[static_cast<size_t>(c)] = w;
        setColumnHidden(c, w == 0);
        if (w > 0) setColumnWidth(c, std::max(PixelsFromTwips(w), 1));
    }
    following_ = false;
    applyCurrent();
    reportGeometry();
}

void FlexGridView::applyCurrent() {
    if (alive_.expired()) return;
    following_ = true;
    const int r = viewRow(grid_->Row());
    if (r >= 0 && r < adapter_->rowCount({}) && grid_->Col() < adapter_->columnCount({}))
        setCurrentIndex(adapter_->index(r, grid_->Col()));
    const int top = viewRow(grid_->TopRow());
    if (top >= 0) verticalScrollBar()->setValue(top);
    following_ = false;
}

void FlexGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (following_ || alive_.expired() || !current.isValid()) return;
    following_ = true;
    grid_->SetRow(current.row() + adapter_->offset());
    grid_->SetCol(current.column());
    following_ = false;
}

void FlexGridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (following_ || alive_.expired()) return;
    following_ = true;
    const int top = rowAt(0);
    if (top >= 0 && top + adapter_->offset() >= grid_->FixedRows()) grid_->SetTopRow(top + adapter_->offset());
    const int left = columnAt(0);
    if (left >= grid_->FixedCols()) grid_->SetLeftCol(left);
    following_ = false;
}

void FlexGridView::reportGeometry() {
    if (alive_.expired()) return;
    const QPoint p = window() == this ? QPoint(0, 0) : mapTo(window(), QPoint(0, 0));
    grid_->SetGeometry(TwipsFromPixels(p.x()), TwipsFromPixels(p.y()), TwipsFromPixels(width()), TwipsFromPixels(height()));
}

void FlexGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    reportGeometry();
}

void FlexGridView::moveEvent(QMoveEvent* event) {
    QTableView::moveEvent(event);
    reportGeometry();
}

QRect FlexGridView::CellRect() const {
    if (alive_.expired()) return {};
    const QModelIndex i = adapter_->index(viewRow(grid_->Row()), grid_->Col());
    if (!i.isValid()) return {};
    const QRect r = visualRect(i);
    return r.isEmpty() ? QRect() : QRect(viewport()->mapTo(this, r.topLeft()), r.size());
}

QLineEdit* CreateTextBoxView(TextBox* model, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(model->Name());
    QPointer<QLineEdit> view(edit);
    const auto sync = [view, model] {
        if (!view) return;
        if (view->text() != model->Text()) view->setText(model->Text());
        view->setMaxLength(model->MaxLength > 0 ? std::max(model->MaxLength, static_cast<int>(model->Text().size()))
                                                : 32767);
        view->setCursorPosition(model->SelStart());
        if (model->Width() > 0)
            view->setGeometry(PixelsFromTwips(model->Left()), PixelsFromTwips(model->Top()), PixelsFromTwips(model->Width()),
                              PixelsFromTwips(model->Height()));
        view->setVisible(model->Visible());
    };
    model->SetListener([view, sync](TextBox::Change change) {
        if (!view) return;
        if (change == TextBox::Change::Focus)
            view->setFocus();
        else
            sync();
    });
    QObject::connect(edit, &QLineEdit::textEdited, edit, [view, model, alive = model->Token()](const QString& text) {
        if (view && !alive.expired()) model->SetTextFromView(text, view->cursorPosition());
    });
    std::weak_ptr<int> alive = model->Token();
    QObject::connect(edit, &QObject::destroyed, [alive, model] {
        if (!alive.expired()) model->SetListener({});
    });
    sync();
    return edit;
}

}  // namespace ui
