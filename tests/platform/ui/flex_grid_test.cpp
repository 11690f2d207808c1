// The grid model: size and text, the errors of a cell outside the grid, colours of the current
// cell, and the current cell's rectangle for an in-cell editor.
#include "platform/ui/flex_grid.h"
#include "platform/vb/error.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

TEST(FlexGrid, GrowingAndShrinkingKeepsTheCellsThatStay) {
    ui::FlexGrid g(QStringLiteral("MSFlexGrid1"));
    EXPECT_EQ(std::make_tuple(g.Rows(), g.Cols(), g.FixedRows(), g.FixedCols()), std::make_tuple(2, 2, 1, 1));
    g.SetCols(4);
    g.SetTextMatrix(1, 3, QStringLiteral("b"));
    g.SetTextArray(5, QStringLiteral("a"));   // row 1, column 1
    EXPECT_EQ(g.TextMatrix(1, 1), QStringLiteral("a"));
    EXPECT_EQ(g.TextArray(7), QStringLiteral("b"));
    g.SetRows(5);
    g.SetRow(4);
    g.SetCol(3);
    g.SetText(QStringLiteral("c"));
    g.SetCellBackColor(0xC0FFFF);
    g.SetRow(2);
    g.SetCellForeColor(0xFFFFFF);
    g.SetRows(3);   // row 4 goes with its text and colour; the current row stays inside
    EXPECT_EQ(g.Row(), 2);
    g.SetRows(5);
    EXPECT_EQ(g.TextMatrix(4, 3), QString());
    EXPECT_EQ(g.BackColorAt(4, 3), 0);
    EXPECT_EQ(g.CellForeColor(), 0xFFFFFF);

    g.SetColWidth(2, 0);
    g.SetColAlignment(1, ui::flexAlignLeftCenter);
    g.Clear();   // text and colours go; size, widths and alignments stay
    EXPECT_EQ(g.TextMatrix(1, 3), QString());
    EXPECT_EQ(g.CellForeColor(), 0);
    EXPECT_EQ(g.Rows(), 5);
    EXPECT_EQ(g.ColWidth(2), 0);
    EXPECT_EQ(g.ColAlignment(1), ui::flexAlignLeftCenter);
    EXPECT_EQ(g.ColAlignment(0), ui::flexAlignGeneral);
    g.SetColWidth(2, -1);
    EXPECT_EQ(g.ColWidth(2), ui::FlexGrid::kDefaultColWidth);
}

TEST(FlexGrid, OutsideTheGridRaisesTheControlsErrors) {
    ui::FlexGrid g;
    struct Caso {
        const char* what;
        std::function<void()> f;
        long error;
    } casos[] = {
        {"row past the end", [&] { g.TextMatrix(2, 0); }, ui::kErrFlexInvalidRow},
        {"negative row", [&] { g.SetRow(-1); }, ui::kErrFlexInvalidRow},
        {"column past the end", [&] { g.SetTextMatrix(0, 2, QStringLiteral("x")); }, ui::kErrFlexInvalidCol},
        {"width of a missing column", [&] { g.ColWidth(5); }, ui::kErrFlexInvalidCol},
        {"index past the end", [&] { g.TextArray(4); }, ui::kErrInvalidPropertyIndex},
        {"fewer rows than fixed", [&] { g.SetRows(0); }, ui::kErrInvalidPropertyValue},
        {"negative width", [&] { g.SetColWidth(0, -2); }, ui::kErrInvalidPropertyValue},
        {"unknown alignment", [&] { g.SetColAlignment(0, 10); }, ui::kErrInvalidPropertyValue},
    };
    for (const Caso& c : casos) EXPECT_EQ(testsupport::ErrorNumberOf(c.f), c.error) << c.what;
    EXPECT_EQ(g.Rows(), 2);   // nothing changed
}

TEST(FlexGrid, CellRectangleSkipsScrolledRowsAndColumns) {
    ui::FlexGrid g;
    g.SetRows(20);
    g.SetCols(5);
    for (int c = 0; c < 5; ++c) g.SetColWidth(c, 1000 + 100 * c);
    g.SetColWidth(2, 0);   // hidden
    g.SetRowHeight(300);
    g.SetRow(4);
    g.SetCol(3);
    EXPECT_EQ(g.CellLeft(), 1000 + 1100);
    EXPECT_EQ(g.CellTop(), 4 * 300);
    EXPECT_EQ(g.CellWidth(), 1300);
    EXPECT_EQ(g.CellHeight(), 300);
    g.SetTopRow(3);   // rows 1 and 2 scrolled away; the fixed row stays
    g.SetLeftCol(2);
    EXPECT_EQ(g.CellTop(), 2 * 300);
    EXPECT_EQ(g.CellLeft(), 1000);
    g.SetTopRow(0);   // never above the fixed rows
    EXPECT_EQ(g.TopRow(), 1);
    g.SetLeftCol(1);
    g.SetFixedCols(0);   // not scrolled: the first column is the first shown
    EXPECT_EQ(g.CellLeft(), 1000 + 1100);
}

}  // namespace
