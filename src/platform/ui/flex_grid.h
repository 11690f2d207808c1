#pragma once
// FlexGrid: a grid of text cells addressed by row and column number, as the voucher engine, the
// store receiver and the lot dialogs read and write it. It holds no widget: a view shows it, and
// everything that fills or reads a grid works without a window.
//
//   ui::FlexGrid g(QStringLiteral("MSFlexGrid1"));      // 2 rows, 2 columns, 1 fixed row and column
//   g.SetCols(96);
//   g.SetColWidth(1, 5000);                             // twips; 0 hides the column
//   g.SetTextMatrix(0, 1, QStringLiteral("Descripción"));
//   g.SetRows(g.Rows() + 1);                            // a new, empty line
//   g.SetRow(1); g.SetCol(0); g.SetCellBackColor(0xC0FFFF);   // Cell* act on the current cell
//
// Rows and columns count from 0; the first FixedRows rows and FixedCols columns are the fixed
// (header) ones. A row or column outside the grid raises vb::Error 30009 (row) or 30010 (column);
// a TextArray index outside the grid raises 381; a value the property cannot take raises 380.
// Widths, heights and positions are in twips; colours are BGR longs (&HBBGGRR), 0 meaning the
// grid's own colour.
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace ui {

// ColAlignment codes.
enum FlexAlignment : int {
    flexAlignLeftTop = 0,
    flexAlignLeftCenter = 1,
    flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3,
    flexAlignCenterCenter = 4,
    flexAlignCenterBottom = 5,
    flexAlignRightTop = 6,
    flexAlignRightCenter = 7,
    flexAlignRightBottom = 8,
    flexAlignGeneral = 9,   // text to the left, numbers to the right
};

constexpr long kErrFlexInvalidRow = 30009;
constexpr long kErrFlexInvalidCol = 30010;
constexpr long kErrInvalidPropertyValue = 380;
constexpr long kErrInvalidPropertyIndex = 381;

class FlexGrid {
public:
    static constexpr long kDefaultColWidth = 960;    // twips
    static constexpr long kDefaultRowHeight = 240;   // twips

    explicit FlexGrid(QString name = QString());
    ~FlexGrid();
    FlexGrid(const FlexGrid&) = delete;
    FlexGrid& operator=(const FlexGrid&) = delete;

    // The control's name (MSFlexGrid1, MSFlexGridDif...): some operations choose their rules by it.
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    // Size. New rows and columns are empty; removed ones lose their text and colours. Rows and
    // Cols cannot go below the fixed rows and columns (380).
    int Rows() const { return rows_; }
    void SetRows(int rows);
    int Cols() const { return cols_; }
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int n);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int n);

    // Empties the text and colours of every cell; size, widths and alignments stay.
    void Clear();

    // Column width in twips; 0 hides the column. Setting -1 gives back the default width.
    long ColWidth(int col) const;
    void SetColWidth(int col, long twips);
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);   // a FlexAlignment code
    // Every row has the same height; the view sets it to its own.
    long RowHeight() const { return rowHeight_; }
    void SetRowHeight(long twips);

    // Cell text by position, and by index row * Cols + col.
    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);
    QString TextArray(int index) const;
    void SetTextArray(int index, const QString& text);

    // The current cell.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    QString Text() const { return TextMatrix(row_, col_); }
    void SetText(const QString& text) { SetTextMatrix(row_, col_, text); }
    long CellBackColor() const;
    void SetCellBackColor(long bgr);
    long CellForeColor() const;
    void SetCellForeColor(long bgr);
    // Colours of any cell, for the view.
    long BackColorAt(int row, int col) const;
    long ForeColorAt(int row, int col) const;

    // Scrolling: the first non-fixed row and column shown. Kept between the fixed ones and the
    // last; the view follows them and reports its own scrolling through them.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);

    // The control's place in its window and its size (twips), kept by the view.
    long Left() const { return left_; }
    long Top() const { return top_; }
    long Width() const { return width_; }
    long Height() const { return height_; }
    void SetGeometry(long left, long top, long width, long height);

    // The current cell's rectangle inside the grid (twips), after the fixed rows and columns and
    // the scrolled-away ones: where an in-cell editor goes.
    long CellLeft() const;
    long CellTop() const;
    long CellWidth() const { return ColWidth(col_); }
    long CellHeight() const { return rowHeight_; }

    // Repaints the view now (a view on the screen drawn a moment before: with its next layout,
    // a few tens of milliseconds later).
    void Refresh();

    // What a view hears: the layout (size, fixed rows and columns, widths, alignments, Clear),
    // one cell's text or colours, the current cell or scrolling, a Refresh.
    enum class Change { Layout, Cell, Current, Refresh };
    using Listener = std::function<void(Change, int row, int col)>;
    void SetListener(Listener listener) { listener_ = std::move(listener); }
    // Alive while the grid is: views hold it weakly.
    std::weak_ptr<int> Token() const { return token_; }

private:
    struct Colors {
        long back = 0;
        long fore = 0;
    };
    void checkRow(int row) const;
    void checkCol(int col) const;
    void notify(Change change, int row = -1, int col = -1) const;
    void clampCurrent();
    Colors& colorsOfCurrent();

    QString name_;
    int rows_ = 0;
    int cols_ = 0;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int row_ = 1;
    int col_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    long rowHeight_ = kDefaultRowHeight;
    long left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::vector<std::vector<QString>> text_;   // [row][col]
    std::vector<long> widths_;                 // -1: default
    std::vector<int> alignments_;
    std::map<std::pair<int, int>, Colors> colors_;   // only the coloured cells
    Listener listener_;
    std::shared_ptr<int> token_;
};

}  // namespace ui
