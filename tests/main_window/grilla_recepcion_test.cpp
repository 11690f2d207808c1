// The main window's receive grid: laid out at load as the articles grid of store sales, with the
// receiver's widths, in the window's own font; and laid out whole when the type is missing.
#include "main_window/frm_korvane01.h"
#include "main_window_fixture.h"
#include "ventana_principal.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/text_measurer.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"

#include <QAbstractItemModel>

namespace {

using namespace posting::art;

class GrillaRecepcionTest : public mainwindowtest::MainWindowFixture {
protected:
    void TearDown() override {
        w.reset();
        main_window::FrmKorvane01::SetFinPrograma(nullptr);
        MainWindowFixture::TearDown();
    }
    void Abre() {
        main_window::FrmKorvane01::SetFinPrograma([] {});
        mainwindowtest::AbreVentana(w);
    }
    long X(int n) const { return w->Medida().TextWidth(QString(n, u'X')); }

    std::unique_ptr<main_window::FrmKorvane01> w;
};

TEST_F(GrillaRecepcionTest, TheWindowShowsTheLaidOutReceiveGrid) {
    Abre();
    ui::FlexGrid& g = *w->MSFlexGrid1;
    ASSERT_NE(w->Cpte, nullptr);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.Cols(), kColumnas);
    EXPECT_GT(X(1), 0);
    // Store sales are stock vouchers in the demo: the amount columns give their width to the
    // description, which the receiver then sets.
    for (const auto& [c, ancho] : {std::pair<int, long>{IdArticulo, X(15)}, {Descripcion, 5000}, {IdUnidad, 0},
                                   {Cantidad, 1000}, {Precio, 0}, {TotalLinea, 0}, {Impuestos, 0}, {IdDeposito, 0}})
        EXPECT_EQ(g.ColWidth(c), ancho) << c;
    EXPECT_EQ(g.TextMatrix(0, IdArticulo), QStringLiteral("Artículo"));   // NombreArticulos of the demo
    QAbstractItemModel* vista = w->MSFlexGrid1View->model();
    EXPECT_EQ(vista->headerData(Descripcion, Qt::Horizontal).toString(), QStringLiteral("Descripción"));
    EXPECT_EQ(w->MSFlexGrid1View->columnWidth(Descripcion), 333);
    EXPECT_TRUE(w->MSFlexGrid1View->isColumnHidden(IdUnidad));

    // Set up again after a voucher: the same engine, the same grid, the lines gone.
    posting::ClsCmnCptes* cpte = w->Cpte.get();
    g.SetRows(4);
    g.SetTextMatrix(3, IdArticulo, QStringLiteral("000123"));
    w->InicializaGrillaRecepcion();
    EXPECT_EQ(w->Cpte.get(), cpte);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.ColWidth(Descripcion), 5000);
}

TEST_F(GrillaRecepcionTest, AStoreSalesTypeMissingFromTheVoucherTypesStillLaysTheGridOut) {
    db::RunScript(bases, db::kHeadOfficeName, QStringLiteral("DELETE FROM V_TA_CPTE WHERE CODIGO = 'TK'"));
    Abre();   // no box: sinCajas fails the test on any
    ui::FlexGrid& g = *w->MSFlexGrid1;
    EXPECT_EQ(g.Cols(), kColumnas);
    // An empty system is not STOCK: the amount columns stay.
    EXPECT_EQ(g.ColWidth(Precio), X(11));
    EXPECT_EQ(g.TextMatrix(0, TotalLinea), QStringLiteral("TOTAL"));
    EXPECT_EQ(g.ColWidth(Descripcion), 5000);
    EXPECT_EQ(g.TextMatrix(0, CodigoPercepcion), QStringLiteral("AuxCodigoPercepcion"));   // the last step ran
}

}  // namespace
