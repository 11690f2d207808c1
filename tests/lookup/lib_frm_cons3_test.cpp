// The list lookup dialog on an embedded head-office database: loading, search strip, F5, keys,
// quantities, the missing-article report, the result and the column widths.
#include "lookup/consultas_len.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup_fixture.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"

#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

namespace lookuptest {
namespace {

using lookup::Lib_FrmCons3;

const QString kArticulos = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO3, PUNTOPEDIDO, Stock FROM V_MA_ARTICULOS ORDER BY IDARTICULO");

class ListaTest : public LookupTest {
protected:
    void SetUp() override {
        LookupTest::SetUp();
        Ejecuta({
            QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('0001', 'TORNILLO 3/8', 10, 0, 5, 0)"),
            QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('0002', 'TUERCA 3/8', 11, 10, 15, 0)"),
            QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('0003', 'ARANDELA', 12, 10, 3, 0)"),
            QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('0004', 'MARTILLO D''ORO', 13, 10, 10, 0)"),
            QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('0005', 'TORNILLO 1/2', 14, 0, 0, 1)"),
        });
    }
    std::unique_ptr<Lib_FrmCons3> Carga(const QString& sql, const std::function<void(Lib_FrmCons3&)>& prepara = {}) {
        auto d = std::make_unique<Lib_FrmCons3>();
        d->SQL = sql;
        if (prepara) prepara(*d);
        d->Form_Load();
        return d;
    }
    static QString Actual(const Lib_FrmCons3& d) {
        return d.lista()->currentItem() ? d.lista()->currentItem()->text(0) : QString();
    }
};

TEST_F(ListaTest, LoadBuildsOneColumnAndOneSearchBoxPerField) {
    Ejecuta({QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('NOM_PCLASE3', 'Mayorista')")});
    auto d = Carga(kArticulos);
    QStringList cabeceras;
    for (int k = 0; k < d->lista()->columnCount(); ++k) cabeceras << d->lista()->headerItem()->text(k);
    EXPECT_EQ(cabeceras, (QStringList{QStringLiteral("IDARTICULO"), QStringLiteral("DESCRIPCION"), QStringLiteral("Mayorista"),
                                      QStringLiteral("PUNTOPEDIDO"), QStringLiteral("Stock")}));
    ASSERT_EQ(d->cantidadCajas(), 5);
    EXPECT_EQ(d->cajaBusqueda(1)->objectName(), QStringLiteral("CmbSearch"));
    EXPECT_EQ(d->cajaBusqueda(1)->property("Campo").toString(), QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(d->cajaBusqueda(1)->property("Index").toInt(), 1);
    EXPECT_EQ(d->nombreTabla(), QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(d->sentenciaActual(), kArticulos + QLatin1Char(' '));
    // Widths in letters "X": a text of 200 is cut to 60, money is 12 whatever its size.
    const QFontMetrics fm = d->fontMetrics();
    EXPECT_EQ(d->anchoColumna(2), fm.horizontalAdvance(QString(60, QLatin1Char('X'))) * 15);
    EXPECT_EQ(d->anchoColumna(3), fm.horizontalAdvance(QString(12, QLatin1Char('X'))) * 15);
    EXPECT_EQ(Columna(*d, 1), (QStringList{"0001", "0002", "0003", "0004", "0005"}));
    EXPECT_EQ(Columna(*d, 2)[3], QStringLiteral("MARTILLO D'ORO"));
    EXPECT_EQ(Actual(*d), QStringLiteral("0001"));
    // The search boxes lie over their columns.
    EXPECT_EQ(d->cajaBusqueda(1)->x(), d->lista()->header()->sectionPosition(1));
}

TEST_F(ListaTest, NonArticleLookupsWidenWithTheMarker) {
    Ejecuta({QStringLiteral("INSERT INTO MA_CUENTAS VALUES ('1.1', 'CAJA')")});
    auto d = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS"),
                   [](Lib_FrmCons3& x) { x.ValoresDefault = QStringLiteral("@10"); });
    EXPECT_EQ(d->anchoColumna(1), d->fontMetrics().horizontalAdvance(QString(30, QLatin1Char('X'))) * 15);
    EXPECT_EQ(d->nombreTabla(), QStringLiteral("MA_CUENTAS"));
}

TEST_F(ListaTest, BlankStatementGivesAnEmptyList) {
    auto d = Carga(QStringLiteral("   "));
    EXPECT_EQ(d->lista()->columnCount(), 0);
    EXPECT_EQ(d->lista()->topLevelItemCount(), 0);
}

TEST_F(ListaTest, StockColoursPaintArticleRows) {
    auto d = Carga(kArticulos, [](Lib_FrmCons3& x) {
        x.MuestraStock = QStringLiteral("si");
        x.StkNivel1 = vb::Variant(0x0000FF);   // red (BGR)
        x.StkNivel2 = vb::Variant(0x00FF00);   // green
        x.StkNivel3 = vb::Variant(0xFF0000);   // blue
        x.StkNivel4 = vb::Variant(0x00FFFF);   // yellow
    });
    const QColor esperado[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::yellow};
    for (int i = 0; i < 5; ++i) {
        const QTreeWidgetItem* item = d->lista()->topLevelItem(i);
        EXPECT_EQ(item->foreground(0).color(), esperado[i]) << i;
        EXPECT_EQ(item->foreground(3).color(), esperado[i]) << i;
        EXPECT_TRUE(item->font(1).bold());
    }
    // An article statement without the stock fields loads without colours and without questions.
    auto e = Carga(QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM V_MA_ARTICULOS"),
                   [](Lib_FrmCons3& x) { x.MuestraStock = QStringLiteral("SI"); x.StkNivel1 = vb::Variant(255); });
    EXPECT_EQ(e->lista()->topLevelItemCount(), 5);
    EXPECT_NE(e->lista()->topLevelItem(0)->foreground(0).color(), QColor(Qt::red));
}

TEST_F(ListaTest, DefaultValuesStartCheckedByWholeKey) {
    Ejecuta({QStringLiteral("INSERT INTO TA_CCOSTO VALUES ('A01', 'UNO')"), QStringLiteral("INSERT INTO TA_CCOSTO VALUES ('a02', 'DOS')"),
             QStringLiteral("INSERT INTO TA_CCOSTO VALUES ('A0', 'CERO')")});
    auto d = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY DESCRIPCION"), [](Lib_FrmCons3& x) {
        x.CheckBoxes = true;
        x.CampoDevuelto = QStringLiteral("CODIGO");
        x.ValoresDefault = QStringLiteral("A01,A02");
    });
    ASSERT_EQ(d->lista()->topLevelItemCount(), 3);
    EXPECT_EQ(Columna(*d, 1), (QStringList{"A0", "a02", "A01"}));
    EXPECT_EQ(d->lista()->topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(d->lista()->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(d->lista()->topLevelItem(2)->checkState(0), Qt::Checked);
}

TEST_F(ListaTest, TypingInABoxSelectsTheFirstRowThatBeginsWithIt) {
    auto d = Carga(kArticulos);
    d->cajaBusqueda(1)->setEditText(QStringLiteral("tu"));
    EXPECT_EQ(Actual(*d), QStringLiteral("0002"));
    d->cajaBusqueda(1)->setEditText(QStringLiteral("xyz"));   // no row: the selection stays
    EXPECT_EQ(Actual(*d), QStringLiteral("0002"));
    d->cajaBusqueda(0)->setEditText(QStringLiteral("0004"));
    EXPECT_EQ(Actual(*d), QStringLiteral("0004"));
    EXPECT_EQ(d->Busqueda(1, QStringLiteral("  aran ")), 3);
    EXPECT_EQ(d->IndiceColumna(QStringLiteral(" descripcion ")), 2);
    EXPECT_EQ(d->IndiceColumna(QStringLiteral("NADA")), 0);
}

TEST_F(ListaTest, TypeAheadInTheListGoesToTheActiveBox) {
    auto d = Carga(kArticulos);
    QFocusEvent foco(QEvent::FocusIn);
    QApplication::sendEvent(d->cajaBusqueda(1), &foco);
    EXPECT_EQ(d->cajaActiva(), 1);
    EXPECT_EQ(d->cajaBusqueda(1)->palette().color(QPalette::Base), QColor(0, 255, 255));
    QFocusEvent fuera(QEvent::FocusOut);
    QApplication::sendEvent(d->cajaBusqueda(1), &fuera);
    EXPECT_EQ(d->cajaBusqueda(1)->palette().color(QPalette::Base), QColor(Qt::white));

    QTest::keyClick(d->lista(), Qt::Key_M);
    QTest::keyClick(d->lista(), Qt::Key_A);
    EXPECT_EQ(d->cajaBusqueda(1)->currentText(), QStringLiteral("MA"));
    EXPECT_EQ(Actual(*d), QStringLiteral("0004"));
    QTest::keyClick(d->lista(), Qt::Key_Backspace);
    EXPECT_EQ(d->cajaBusqueda(1)->currentText(), QStringLiteral("M"));
}

TEST_F(ListaTest, F5NarrowsTheStatementOnTheServer) {
    auto d = Carga(kArticulos);
    d->cajaBusqueda(1)->setEditText(QStringLiteral("T*3/8"));
    QTest::keyClick(d->cajaBusqueda(1), Qt::Key_F5);
    EXPECT_EQ(d->sentenciaActual(),
              QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PRECIO3, PUNTOPEDIDO, Stock FROM V_MA_ARTICULOS  where "
                             "DESCRIPCION like 'T%3/8%' ORDER BY IDARTICULO  "));
    EXPECT_EQ(Columna(*d, 1), (QStringList{"0001", "0002"}));
    EXPECT_TRUE(d->cajaBusqueda(1)->currentText().isEmpty());

    // A quote typed by the operator is part of the text searched for.
    d->cajaBusqueda(1)->setEditText(QStringLiteral("MARTILLO D'"));
    QTest::keyClick(d->cajaBusqueda(1), Qt::Key_F5);
    EXPECT_TRUE(Columna(*d, 1).isEmpty());   // narrowed twice: nothing is both
    d->CmdNueva_Click();
    EXPECT_EQ(d->lista()->topLevelItemCount(), 5);
    d->cajaBusqueda(1)->setEditText(QStringLiteral("MARTILLO D'"));
    QTest::keyClick(d->cajaBusqueda(1), Qt::Key_F5);
    EXPECT_EQ(Columna(*d, 1), QStringList{"0004"});
}

TEST_F(ListaTest, QuantityKeys) {
    auto d = Carga(QStringLiteral("SELECT IDARTICULO, DESCRIPCION, 1.0 AS [**Cantidad**] FROM V_MA_ARTICULOS ORDER BY IDARTICULO"),
                   [](Lib_FrmCons3& x) { x.UsaCantidades = true; x.CheckBoxes = true; });
    ASSERT_EQ(d->IndiceColumna(lookup::kColumnaCantidad), 3);
    QTreeWidgetItem* fila = d->lista()->topLevelItem(0);
    QTest::keyClick(d->lista(), Qt::Key_Insert);
    EXPECT_EQ(fila->text(2), QStringLiteral("2.0"));
    EXPECT_EQ(fila->checkState(0), Qt::Checked);
    QTest::keyClick(d->lista(), Qt::Key_Delete);
    QTest::keyClick(d->lista(), Qt::Key_Delete);
    EXPECT_EQ(fila->text(2), QStringLiteral("0.00"));
    EXPECT_EQ(fila->checkState(0), Qt::Unchecked);

    prompter_->type(QStringLiteral("3,5"), QStringLiteral("Ingrese la Cantidad del Articulo..."));
    QTest::keyClick(d->lista(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(prompter_->shown().back().title, QStringLiteral("Carga de Datos"));
    EXPECT_EQ(fila->text(2), QStringLiteral("3.50"));
    EXPECT_EQ(fila->checkState(0), Qt::Checked);
    prompter_->type(QString());   // cancelled: a quantity of zero
    QTest::keyClick(d->lista(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(fila->text(2), QStringLiteral("0.00"));

    // Space checks and unchecks the row.
    QTest::keyClick(d->lista(), Qt::Key_Space);
    EXPECT_EQ(fila->checkState(0), Qt::Unchecked);
}

TEST_F(ListaTest, F12ReportsAMissingArticle) {
    auto d = Carga(kArticulos);
    d->cajaBusqueda(0)->setEditText(QStringLiteral("0004"));
    prompter_->answer(vb::kYes, QStringLiteral("Desea informar el articulo 0004 MARTILLO D'ORO\r\ncomo un faltante de stock?"));
    QTest::keyClick(d->lista(), Qt::Key_F12);
    ASSERT_EQ(prompter_->shown().size(), 1u);
    EXPECT_EQ(prompter_->shown()[0].title, QStringLiteral("Atención!"));
    EXPECT_EQ(prompter_->shown()[0].buttons, ui::vbYesNo + ui::vbQuestion);
    const QStringList filas = Filas(QStringLiteral("SELECT IdArticulo, Descripcion, Usuario FROM V_MV_FALTANTES"));
    ASSERT_EQ(filas.size(), 1);
    EXPECT_EQ(filas[0], QStringLiteral("0004                     |MARTILLO D'ORO|operador"));

    prompter_->answer(vb::kNo);
    QTest::keyClick(d->cajaBusqueda(0), Qt::Key_F12);
    EXPECT_EQ(Filas(QStringLiteral("SELECT IdArticulo FROM V_MV_FALTANTES")).size(), 1);
    // Not an article lookup: F12 does nothing.
    auto e = Carga(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS"));
    QTest::keyClick(e->lista(), Qt::Key_F12);
}

TEST_F(ListaTest, AcceptAndCancel) {
    // Single pick with further columns.
    auto d = Carga(kArticulos, [](Lib_FrmCons3& x) {
        x.CampoDevuelto = QStringLiteral("IDARTICULO");
        x.CmpsDevueltos = {QStringLiteral("IDARTICULO"), QStringLiteral("descripcion")};
    });
    d->cajaBusqueda(1)->setEditText(QStringLiteral("ARAN"));
    QTest::keyClick(d->lista(), Qt::Key_Return);
    EXPECT_EQ(d->ValorDevuelto.text(), QStringLiteral("0003"));
    ASSERT_EQ(d->Valores.size(), 2);
    EXPECT_EQ(d->Valores[1].text(), QStringLiteral("ARANDELA"));

    // Multiple pick with no returned column: the first column of the checked rows, in list order.
    auto m = Carga(kArticulos, [](Lib_FrmCons3& x) { x.CheckBoxes = true; });
    m->lista()->topLevelItem(3)->setCheckState(0, Qt::Checked);
    m->lista()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    m->ValorDevuelto = vb::Variant(QStringLiteral("SIN TOCAR"));
    m->CmdAceptar_Click();
    EXPECT_EQ(m->CampoDevuelto, QStringLiteral("IDARTICULO"));
    ASSERT_EQ(m->Valores.size(), 2);
    EXPECT_EQ(m->Valores[0].text(), QStringLiteral("0002"));
    EXPECT_EQ(m->Valores[1].text(), QStringLiteral("0004"));
    EXPECT_EQ(m->ValorDevuelto.text(), QStringLiteral("SIN TOCAR"));

    // Cancel.
    d->CmdCancelar_Click();
    EXPECT_TRUE(d->ValorDevuelto.text().isEmpty());
    EXPECT_TRUE(d->Valores.isEmpty());
    EXPECT_TRUE(d->CmpsDevueltos.isEmpty());
}

TEST_F(ListaTest, HeaderClicksFlipTheSortOrder) {
    auto d = Carga(kArticulos);
    d->ListView1_ColumnClick(2);
    EXPECT_EQ(Columna(*d, 1), (QStringList{"0002", "0001", "0005", "0004", "0003"}));
    d->ListView1_ColumnClick(1);
    EXPECT_EQ(Columna(*d, 1), (QStringList{"0001", "0002", "0003", "0004", "0005"}));
}

TEST_F(ListaTest, ColumnWidthsAreKeptPerTable) {
    QFile f(lookup::RutaAnchos());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"MA_CUENTAS\",\"111|222|\"\r\n\"V_MA_ARTICULOS\",\"900|800|700|600|500|\"\r\n"
            "\"v_ma_articulos\",\"1500|3000|\"\r\n");
    f.close();
    auto d = Carga(kArticulos, [](Lib_FrmCons3& x) { x.GrabarCfg = true; });
    EXPECT_EQ(d->anchoColumna(1), 1500);   // a later record of the table applies over an earlier one
    EXPECT_EQ(d->anchoColumna(2), 3000);
    EXPECT_EQ(d->anchoColumna(3), 705);    // fewer widths than columns: the rest as they were
    EXPECT_EQ(d->cajaBusqueda(1)->x(), 100);

    d->setAnchoColumna(3, 1200);
    d->Descargar();
    const QList<lookup::AnchosTabla> r = lookup::LeeAnchos(lookup::RutaAnchos());
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].tabla, QStringLiteral("MA_CUENTAS"));
    EXPECT_EQ(r[0].anchos, QStringLiteral("111|222|"));
    EXPECT_EQ(r[1].tabla, QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_TRUE(r[1].anchos.startsWith(QStringLiteral("1500|3000|1200|"))) << r[1].anchos.toStdString();
}

TEST_F(ListaTest, LotStockViewKeepsItsWidthsUnderTheArticlesView) {
    Ejecuta({QStringLiteral("CREATE TABLE Stk_ma_articulos (IDARTICULO varchar(25), LOTE varchar(25))")});
    auto d = Carga(QStringLiteral("select IDARTICULO, LOTE from Stk_ma_articulos"), [](Lib_FrmCons3& x) { x.GrabarCfg = true; });
    EXPECT_EQ(d->nombreTabla(), QStringLiteral("VT_MA_ARTICULOS"));
    d->Descargar();
    ASSERT_EQ(lookup::LeeAnchos(lookup::RutaAnchos()).size(), 1);
    EXPECT_EQ(lookup::LeeAnchos(lookup::RutaAnchos())[0].tabla, QStringLiteral("VT_MA_ARTICULOS"));
}

}  // namespace
}  // namespace lookuptest
