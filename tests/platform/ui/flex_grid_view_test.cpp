// The grid's view: what it shows of the model, the current cell both ways, and an in-cell editor
// placed over the current cell.
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/text_box.h"
#include "platform/ui/units.h"
#include "platform/vb/dates.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(FlexGridView, ShowsTheModelAndFollowsIt) {
    ui::FlexGrid g(QStringLiteral("MSFlexGrid1"));
    g.SetFixedCols(0);
    g.SetCols(3);
    g.SetRows(3);
    QWidget ventana;
    auto* v = new ui::FlexGridView(&g, &ventana);
    v->resize(600, 200);
    ventana.show();

    g.SetTextMatrix(0, 0, QStringLiteral("Código"));
    g.SetTextMatrix(1, 0, QStringLiteral("000123"));
    g.SetTextMatrix(2, 2, QStringLiteral("12.5"));
    g.SetColWidth(0, 1500);
    g.SetColWidth(1, 0);
    g.SetColAlignment(0, ui::flexAlignLeftCenter);
    g.SetRow(2);
    g.SetCol(2);
    g.SetCellBackColor(0xC0FFFF);
    v->Sincroniza();   // size and widths are shown together

    QAbstractItemModel* m = v->model();
    EXPECT_EQ(m->rowCount(), 2);   // the fixed row is the header
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("000123"));
    EXPECT_EQ(v->columnWidth(0), 100);
    EXPECT_TRUE(v->isColumnHidden(1));
    EXPECT_EQ(m->index(1, 2).data(Qt::BackgroundRole).value<QColor>(), ui::ColorFromBGR(0xC0FFFF));
    EXPECT_EQ(v->currentIndex(), m->index(1, 2));

    // A text written after the layout shows at once; a click moves the model's current cell.
    g.SetTextMatrix(1, 2, QStringLiteral("x"));
    EXPECT_EQ(m->index(0, 2).data().toString(), QStringLiteral("x"));
    v->setCurrentIndex(m->index(0, 0));
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 0);

    // Refresh applies a new size at once; a view outliving its model shows nothing of it.
    g.SetRows(10);
    g.Refresh();
    EXPECT_EQ(m->rowCount(), 9);
    EXPECT_GT(g.Width(), 0);
    auto suelta = std::make_unique<ui::FlexGrid>();
    ui::FlexGridView huerfana(suelta.get());
    suelta.reset();
    EXPECT_FALSE(huerfana.model()->index(0, 1).data().isValid());
    EXPECT_TRUE(huerfana.CellRect().isNull());
}

TEST(FlexGridView, AnEditorGoesOverTheCurrentCell) {
    ui::FlexGrid g;
    g.SetFixedCols(0);
    g.SetCols(3);
    g.SetRows(6);
    for (int c = 0; c < 3; ++c) g.SetColWidth(c, 1500);
    QWidget ventana;
    ventana.resize(500, 300);
    auto* v = new ui::FlexGridView(&g, &ventana);
    v->setGeometry(10, 20, 400, 200);
    ui::TextBox edit(QStringLiteral("TxtEdit"));
    edit.SetVisible(false);
    QLineEdit* caja = ui::CreateTextBoxView(&edit, &ventana);
    ventana.show();
    QCoreApplication::processEvents();

    g.SetRow(3);
    g.SetCol(1);
    edit.MaxLength = 4;
    edit.SetText(QStringLiteral("ab"));
    edit.Move(g.Left() + g.CellLeft(), g.Top() + g.CellTop(), g.CellWidth(), g.CellHeight());
    edit.SetVisible(true);
    EXPECT_TRUE(caja->isVisible());
    const QRect celda = v->CellRect().translated(v->pos());
    // Within the view's frame of the cell the view draws.
    EXPECT_NEAR(caja->x(), celda.x(), 3);
    EXPECT_NEAR(caja->y(), celda.y(), 3);

    // What the operator types reaches the model.
    caja->setFocus();
    caja->setCursorPosition(2);
    QTest::keyClicks(caja, QStringLiteral("cdef"));
    EXPECT_EQ(edit.Text(), QStringLiteral("abcd"));
    edit.SetVisible(false);
    EXPECT_FALSE(caja->isVisible());
}

// A grid laid out anew for every voucher of a run: on the screen, a Refresh within the pace of the
// last one shown waits for the view's next layout (the model's texts read through at once all the
// same), and so do a line's texts; one after it shows at once again, and so does any of a view
// not on the screen. The test's clock stands for the time.
TEST(FlexGridView, RefreshesWithinThePaceWaitForTheNextLayout) {
    const QDateTime inicio(QDate(2008, 3, 5), QTime(14, 7));
    qint64 ms = 0;
    vb::SetClock([&] { return inicio.addMSecs(ms); });
    ui::FlexGrid g;
    g.SetCols(3);
    g.SetRows(2);
    QWidget ventana;
    auto* v = new ui::FlexGridView(&g, &ventana);
    ventana.show();
    QAbstractItemModel* m = v->model();

    g.SetRows(5);
    g.Refresh();
    EXPECT_EQ(m->rowCount(), 4);
    for (int voucher = 0; voucher < 20; ++voucher) {   // twenty vouchers in a few milliseconds
        g.SetRows(2);
        g.SetTextMatrix(1, 1, QStringLiteral("linea %1").arg(voucher));
        g.Refresh();
        g.SetRows(3 + voucher % 3);
    }
    EXPECT_EQ(m->rowCount(), 4);   // still the first layout
    EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("linea 19"));
    v->Sincroniza();   // what the layout timer does
    EXPECT_EQ(m->rowCount(), 3);

    // A line's texts: the first shown at once, the others within the pace with the next layout.
    int mostradas = 0;
    QObject::connect(m, &QAbstractItemModel::dataChanged, [&] { ++mostradas; });
    for (int c = 0; c < 3; ++c) g.SetTextMatrix(2, c, QStringLiteral("celda %1").arg(c));
    EXPECT_EQ(mostradas, 1);
    EXPECT_EQ(m->index(1, 2).data().toString(), QStringLiteral("celda 2"));
    v->Sincroniza();
    EXPECT_EQ(mostradas, 2);

    ms += ui::FlexGridView::kRefrescoMs;
    g.SetRows(9);
    g.Refresh();
    EXPECT_EQ(m->rowCount(), 8);
    ventana.hide();   // nothing drawn: nothing held back
    g.SetRows(6);
    g.Refresh();
    EXPECT_EQ(m->rowCount(), 5);
    vb::SetClock({});
}

}  // namespace
