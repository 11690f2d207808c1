#include "platform/ui/flex_grid.h"

#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

namespace {

[[noreturn]] void InvalidValue() { vb::Raise(kErrInvalidPropertyValue, QStringLiteral("Invalid property value")); }

}  // namespace

FlexGrid::FlexGrid(QString name) : name_(std::move(name)), token_(std::make_shared<int>(0)) {
    SetCols(2);
    SetRows(2);
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::checkRow(int row) const {
    if (row < 0 || row >= rows_) vb::Raise(kErrFlexInvalidRow, QStringLiteral("Invalid Row value"));
}

void FlexGrid::checkCol(int col) const {
    if (col < 0 || col >= cols_) vb::Raise(kErrFlexInvalidCol, QStringLiteral("Invalid Col value"));
}

void FlexGrid::notify(Change change, int row, int col) const {
    if (listener_) listener_(change, row, col);
}

void FlexGrid::clampCurrent() {
    row_ = std::clamp(row_, 0, std::max(rows_ - 1, 0));
    col_ = std::clamp(col_, 0, std::max(cols_ - 1, 0));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(rows_ - 1, fixedRows_));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(cols_ - 1, fixedCols_));
}

void FlexGrid::SetRows(int rows) {
    if (rows < fixedRows_) InvalidValue();
    if (rows == rows_) return;
    text_.resize(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(cols_)));
    if (rows < rows_) colors_.erase(colors_.lower_bound({rows, 0}), colors_.end());
    rows_ = rows;
    clampCurrent();
    notify(Change::Layout);
}

void FlexGrid::SetCols(int cols) {
    if (cols < fixedCols_) InvalidValue();
    if (cols == cols_) return;
    for (auto& r : text_) r.resize(static_cast<size_t>(cols));
    widths_.resize(static_cast<size_t>(cols), -1);
    alignments_.resize(static_cast<size_t>(cols), flexAlignGeneral);
    if (cols < cols_) {
        for (auto it = colors_.begin(); it != colors_.end();)
            it = it->first.second >= cols ? colors_.erase(it) : std::next(it);
    }
    cols_ = cols;
    clampCurrent();
    notify(Change::Layout);
}

void FlexGrid::SetFixedRows(int n) {
    if (n < 0 || n > rows_) InvalidValue();
    if (topRow_ == fixedRows_) topRow_ = n;   // not scrolled: stays so
    fixedRows_ = n;
    clampCurrent();
    notify(Change::Layout);
}

void FlexGrid::SetFixedCols(int n) {
    if (n < 0 || n > cols_) InvalidValue();
    if (leftCol_ == fixedCols_) leftCol_ = n;   // not scrolled: stays so
    fixedCols_ = n;
    clampCurrent();
    notify(Change::Layout);
}

void FlexGrid::Clear() {
    for (auto& r : text_)
        for (QString& t : r) t.clear();
    colors_.clear();
    notify(Change::Layout);
}

long FlexGrid::ColWidth(int col) const {
    checkCol(col);
    const long w = widths_[static_cast<size_t>(col)];
    return w < 0 ? kDefaultColWidth : w;
}

void FlexGrid::SetColWidth(int col, long twips) {
    checkCol(col);
    if (twips < -1) InvalidValue();
    widths_[static_cast<size_t>(col)] = twips;
    notify(Change::Layout);
}

int FlexGrid::ColAlignment(int col) const {
    checkCol(col);
    return alignments_[static_cast<size_t>(col)];
}

void FlexGrid::SetColAlignment(int col, int alignment) {
    checkCol(col);
    if (alignment < flexAlignLeftTop || alignment > flexAlignGeneral) InvalidValue();
    alignments_[static_cast<size_t>(col)] = alignment;
    notify(Change::Layout);
}

void FlexGrid::SetRowHeight(long twips) {
    if (twips < 0) InvalidValue();
    rowHeight_ = twips;
    notify(Change::Layout);
}

QString FlexGrid::TextMatrix(int row, int col) const {
    checkRow(row);
    checkCol(col);
    return text_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
    checkRow(row);
    checkCol(col);
    text_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
    notify(Change::Cell, row, col);
}

QString FlexGrid::TextArray(int index) const {
    if (index < 0 || cols_ == 0 || index >= rows_ * cols_)
        vb::Raise(kErrInvalidPropertyIndex, QStringLiteral("Invalid property array index"));
    return TextMatrix(index / cols_, index % cols_);
}

void FlexGrid::SetTextArray(int index, const QString& text) {
    if (index < 0 || cols_ == 0 || index >= rows_ * cols_)
        vb::Raise(kErrInvalidPropertyIndex, QStringLiteral("Invalid property array index"));
    SetTextMatrix(index / cols_, index % cols_, text);
}

void FlexGrid::SetRow(int row) {
    checkRow(row);
    row_ = row;
    notify(Change::Current);
}

void FlexGrid::SetCol(int col) {
    checkCol(col);
    col_ = col;
    notify(Change::Current);
}

FlexGrid::Colors& FlexGrid::colorsOfCurrent() {
    checkRow(row_);
    checkCol(col_);
    return colors_[{row_, col_}];
}

long FlexGrid::CellBackColor() const { return BackColorAt(row_, col_); }
long FlexGrid::CellForeColor() const { return ForeColorAt(row_, col_); }

void FlexGrid::SetCellBackColor(long bgr) {
    colorsOfCurrent().back = bgr;
    notify(Change::Cell, row_, col_);
}

void FlexGrid::SetCellForeColor(long bgr) {
    colorsOfCurrent().fore = bgr;
    notify(Change::Cell, row_, col_);
}

long FlexGrid::BackColorAt(int row, int col) const {
    checkRow(row);
    checkCol(col);
    const auto it = colors_.find({row, col});
    return it == colors_.end() ? 0 : it->second.back;
}

long FlexGrid::ForeColorAt(int row, int col) const {
    checkRow(row);
    checkCol(col);
    const auto it = colors_.find({row, col});
    return it == colors_.end() ? 0 : it->second.fore;
}

void FlexGrid::SetTopRow(int row) {
    checkRow(row);
    topRow_ = row;
    clampCurrent();
    notify(Change::Current);
}

void FlexGrid::SetLeftCol(int col) {
    checkCol(col);
    leftCol_ = col;
    clampCurrent();
    notify(Change::Current);
}

void FlexGrid::SetGeometry(long left, long top, long width, long height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

long FlexGrid::CellLeft() const {
    checkCol(col_);
    long x = 0;
    for (int c = 0; c < col_; ++c)
        if (c < fixedCols_ || c >= leftCol_) x += ColWidth(c);
    return x;
}

long FlexGrid::CellTop() const {
    checkRow(row_);
    long y = 0;
    for (int r = 0; r < row_; ++r)
        if (r < fixedRows_ || r >= topRow_) y += rowHeight_;
    return y;
}

void FlexGrid::Refresh() { notify(Change::Refresh); }

}  // namespace ui
