// The position and lot dialog driven as the operator does, offscreen, on the demo database:
// sugar 000123 in A001 lies on (P01, L0001) 30, (P02, L0001) 20, (P03, L0002) 40, (P02, L0002) 24
// units and 6 unshelved; shelves taken into use P01, P03, P02. A002 gets rows of its own here.
#include "lots/frm_lotey_posicion.h"
#include "lots_db.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/prompter.h"
#include "posting/cls_cmn_cptes.h"
#include "data/db_dll.h"
#include "platform/vb/on_error.h"
#include "support/enesima_sentencia.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace lotstest {

namespace {

using lots::FrmLoteyPosicion;

class LoteyPosicionTest : public LotsTest {
protected:
    QStringList Filas() const override {
        return {QStringLiteral("INSERT INTO MA_POSICIONES (IDPOSICION, IdDeposito, ORDENINGRESO) VALUES ('P10', 'A002', 1)"),
                QStringLiteral("INSERT INTO MA_POSICIONES (IDPOSICION, IdDeposito, ORDENINGRESO) VALUES ('P11', 'A002', 2)"),
                Saldo("A002", "P10", "000123", "L1", "UN  ", 24), Saldo("A002", "", "000123", "", "UN", 12),
                Saldo("A002", "", "000123", "L9", "UN", 12),   // 24 unshelved units in two rows
                Saldo("A002", "P10", "000789", "L5", "UN", 10), Saldo("A002", "P11", "000789", "L5", "UN", 5),
                Saldo("A002", "P10", "000456", "L1", "UN", 3), Saldo("A002", "", "000456", "", "UN", -2),
                QStringLiteral("INSERT INTO MA_POSICIONES (IDPOSICION, IdDeposito, ORDENINGRESO) VALUES ('P*1', 'A002', 3)"),
                Saldo("A002", "P*1", "000950", "L|1", "UN", 5)};
    }
    // A dialog loaded as the driver loads it (positions and lots, or `modo` 1 positions only, 2 lots
    // only), a review when earlier lists are given; and shown.
    static std::unique_ptr<FrmLoteyPosicion> Abre(double cantidad, const char* articulo = "000123",
                                                  const char* deposito = "A001", const char* unidad = "UN", int modo = 3,
                                                  const char* anteriores = "", const char* lotesAnteriores = "") {
        auto d = std::make_unique<FrmLoteyPosicion>();
        d->Cantidad1 = cantidad;
        d->EsPosicion = modo & 1;
        d->EsLote = modo & 2;
        d->IUNIDAD = QString::fromLatin1(unidad);
        d->Articulo = QString::fromLatin1(articulo);
        d->Deposito = QString::fromLatin1(deposito);
        d->PosicionesAnteriores = QString::fromLatin1(anteriores);
        d->LotesAnteriores = QString::fromLatin1(lotesAnteriores);
        d->EsConsultaDePosicionLote = *anteriores != 0;
        d->CargaDatos();
        d->show();
        QCoreApplication::processEvents();
        return d;
    }
    static QStringList Columna(const FrmLoteyPosicion& d, int col) {
        QStringList c;
        for (int r = 1; r < d.MSFlexGrid1.Rows(); ++r) c << d.MSFlexGrid1.TextMatrix(r, col);
        return c;
    }
    static void Teclas(QWidget* w, const QString& texto) {
        for (QChar c : texto) QTest::keyClick(w, c.toLatin1());
    }
};

const QStringList kPosiciones = {"P01", "P02", "P03", "P02", "DEPOSITO A001"};

}  // namespace

TEST_F(LoteyPosicionTest, FreshOpeningThroughTheDriverProposesAndAccepts) {
    posting::ClsCmnCptes cpte;
    QString posiciones, lotes;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<FrmLoteyPosicion*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Posiciones y Lotes (Deposito: A001)"));
        EXPECT_EQ(d->etiqueta()->text(), QStringLiteral("000123"));
        for (const char* n : {"MSFlexGrid1", "TxtEdit", "Toolbar1", "lblArticulo", "CmdAceptar", "CmdCancelar"})
            EXPECT_NE(d->findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
        EXPECT_EQ(Columna(*d, 0), kPosiciones);
        EXPECT_EQ(Columna(*d, 1), QStringList({"L0001", "L0001", "L0002", "L0002", ""}));
        EXPECT_EQ(Columna(*d, 3), QStringList({"30", "20", "40", "24", "6"}));
        EXPECT_EQ(Columna(*d, 4), QStringList({"30", "20", "10", "0", "0"}));
        d->aceptar()->click();
    });
    cpte.PidePosicionLote(QStringLiteral("000123"), QStringLiteral("UN"), 60, QStringLiteral("A001"), QString(), QString(),
                          posiciones, lotes, true, true);
    EXPECT_EQ(posiciones, QStringLiteral("|P01*30|P02*20|P03*10|"));
    EXPECT_EQ(lotes, QStringLiteral("|L0001|L0001|L0002|"));
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 0);   // released
}

TEST_F(LoteyPosicionTest, KeysOpenTheEditorCheckAndMove) {
    ui::ScriptedPrompter guion;
    auto d = Abre(60);
    ui::FlexGrid& g = d->MSFlexGrid1;
    const auto editor = [&](const char* teclas, Qt::Key confirma) {
        Teclas(d->editor(), QString::fromLatin1(teclas));
        QTest::keyClick(d->editor(), confirma);
    };
    const auto celda = [&] { return QStringLiteral("%1,%2 %3").arg(g.Row()).arg(g.Col()).arg(d->TxtEdit.Visible()); };
    g.SetRow(3);
    Teclas(d->grilla(), QStringLiteral("2"));   // a typed key opens the editor over CANT. with it
    EXPECT_LE((d->editor()->pos() - d->grilla()->pos() - d->grilla()->CellRect().topLeft()).manhattanLength(), 2);
    editor("5", Qt::Key_Return);   // written, one row down
    EXPECT_EQ(g.TextMatrix(3, 4) + u' ' + celda(), QStringLiteral("25 4,4 0"));

    QTest::keyClick(d->grilla(), Qt::Key_Return);   // Enter opens it with the cell's text
    guion.answer(1, QStringLiteral("No hay disponible para esa posicion"));
    editor("30", Qt::Key_Return);   // 030 > 24: refused, stays open
    EXPECT_TRUE(d->ErrorCampo());
    QTest::keyClick(d->editor(), Qt::Key_A, Qt::ControlModifier);
    guion.answer(1, QStringLiteral("La Cantidad no puede ser Menor a Cero"));
    editor("-1", Qt::Key_Down);
    QTest::keyClick(d->editor(), Qt::Key_A, Qt::ControlModifier);
    guion.answer(1, QStringLiteral("La Cantidad informada no es un número"));   // as Accept says it
    editor("5x", Qt::Key_Return);
    EXPECT_TRUE(d->ErrorCampo());
    editor("", Qt::Key_Escape);   // dropped, unchecked
    EXPECT_EQ(g.TextMatrix(4, 4) + u' ' + celda(), QStringLiteral("0 4,4 0"));

    Teclas(d->grilla(), QStringLiteral("1"));
    editor("", Qt::Key_Down);   // written; next row, first column
    Teclas(d->grilla(), QStringLiteral("7"));   // nothing to edit on POSICION
    EXPECT_EQ(g.TextMatrix(4, 4) + u' ' + celda(), QStringLiteral("1 5,0 0"));
    g.SetRow(1);
    g.SetCol(4);
    QTest::keyClick(d->grilla(), Qt::Key_Space);
    editor("", Qt::Key_Up);   // never into the header row
    EXPECT_EQ(celda(), QStringLiteral("1,4 0"));
    EXPECT_TRUE(guion.exhausted());
}

TEST_F(LoteyPosicionTest, ToolbarCommands) {
    auto d = Abre(60);
    ui::FlexGrid& g = d->MSFlexGrid1;
    const QList<QAction*> b = d->toolbar()->actions();
    EXPECT_EQ(b[2]->toolTip(), QStringLiteral("Proponer Automaticamente"));
    g.SetRow(2);
    g.SetTextMatrix(2, 4, QStringLiteral("2.5"));
    b[0]->trigger();
    EXPECT_EQ(Columna(*d, 4), QStringList({"30", "2.5", "2.5", "2.5", "2.5"}));
    g.SetRow(3);
    b[1]->trigger();
    EXPECT_EQ(Columna(*d, 4), QStringList({"30", "2.5", "0", "0", "0"}));
    g.SetCol(3);
    b[0]->trigger();   // only on CANT.
    EXPECT_EQ(Columna(*d, 4), QStringList({"30", "2.5", "0", "0", "0"}));
    b[2]->trigger();
    EXPECT_EQ(Columna(*d, 4), QStringList({"30", "20", "10", "0", "0"}));
    EXPECT_EQ(g.TextMatrix(0, 4), QStringLiteral("CANT."));
}

TEST_F(LoteyPosicionTest, AcceptChecksTheRowsAndTheTotal) {
    struct Caso {
        double pedido;
        bool mostrarForm;
        QStringList cantidades;
        std::vector<std::pair<int, const char*>> cajas;   // answer, expected text
        const char* posiciones;                           // nullptr: stays open
        double cantidad1;
    } casos[] = {
        {0.3, false, {"0.1", "0,2", "0", "", "0"}, {}, "|P01*0.1|P02*0.2|", 0.3},
        {60, false, {"30", "20", "20", "0", "0"}, {{6, "supera a la solicitada"}}, "|P01*30|P02*20|P03*20|", 70},
        {60, false, {"30", "20", "20", "0", "0"}, {{7, "supera"}, {1, "Debe Ajustar la suma de las cantidades a :60"}}, nullptr, 60},
        {60, false, {"30", "0", "0", "0", "1"}, {{1, "es Menor a la cantidad solicitada "}}, nullptr, 60},
        {60, true, {"30", "0", "0", "0", "1"}, {{6, "Es Menor a la solicitada"}}, "|P01*30|*1|", 31},
        {60, false, {"40", "20", "0", "0", "0"}, {{1, "No hay disponible para esa posicion"}}, nullptr, 60},
        {60, false, {"30", "-10", "0", "0", "0"}, {{1, "La Cantidad no puede ser Menor a Cero"}}, nullptr, 60},
        {60, false, {"30", "20", "10", "7 u", "0"}, {{1, "La Cantidad informada no es un número"}}, nullptr, 60},
    };
    for (const Caso& c : casos) {
        ui::ScriptedPrompter guion;
        for (const auto& [respuesta, texto] : c.cajas) guion.answer(respuesta, QString::fromUtf8(texto));
        auto d = Abre(c.pedido);
        d->MostrarForm = c.mostrarForm;
        for (int r = 0; r < c.cantidades.size(); ++r) d->MSFlexGrid1.SetTextMatrix(r + 1, 4, c.cantidades[r]);
        d->aceptar()->click();
        EXPECT_TRUE(guion.exhausted()) << c.cantidades.join(u' ').toStdString();
        EXPECT_EQ(d->Aceptado(), c.posiciones != nullptr);
        EXPECT_EQ(d->Posiciones, QString::fromLatin1(c.posiciones));
        EXPECT_DOUBLE_EQ(d->Cantidad1, c.cantidad1);
    }
    auto d = Abre(60);
    d->cancelar()->click();
    EXPECT_TRUE(d->Oculto() && !d->Aceptado() && d->Posiciones.isEmpty() && d->Lotes.isEmpty());
}

TEST_F(LoteyPosicionTest, ReviewShowsTheEarlierChoice) {
    struct Caso {
        int modo;
        const char* posiciones;
        const char* lotes;
        QStringList cantidades;
    } casos[] = {
        {3, "|P02*1.5|*2|", "|L0002||", {"0", "0", "0", "1.5", "2"}},
        {3, "|P01*3|P02*4|*1|P09*1|", "|L0001|", {"3", "0", "0", "0", "1"}},   // short lots: empty lots
        {1, "|P02*5|P02*7|", "", {"", "5", "", "7", "0"}},   // a position listed twice: both rows
    };
    for (const Caso& c : casos) {
        auto d = Abre(9, "000123", "A001", "UN", c.modo, c.posiciones, c.lotes);
        EXPECT_EQ(Columna(*d, 4), c.cantidades) << c.posiciones;
        EXPECT_EQ(d->MSFlexGrid1.ColWidth(1) == 0, c.modo == 1);   // positions only: no LOTE column
    }
}

TEST_F(LoteyPosicionTest, BalancesInTheLinesUnitAndTheDepositRow) {
    auto d = Abre(3, "000123", "A002", "CJ  ");   // 24 UN at 12 to a box: 2 boxes
    EXPECT_EQ(Columna(*d, 0), QStringList({"P10", "DEPOSITO A002"}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"2", "2"}));   // the unshelved rows summed
    EXPECT_EQ(Columna(*d, 4), QStringList({"2", "1"}));
    d = Abre(24, "000123", "A002", "UN  ");
    EXPECT_EQ(Columna(*d, 3), QStringList({"24", "24"}));
    {
        // The box's equivalence not read, its error passed over where it is read: no balance is
        // shown (none as 0 boxes), and none is proposed.
        ui::ScriptedPrompter p;
        p.answer(vb::kIgnore, "rechazada").answer(vb::kIgnore);
        data::gDBPrincipal().setConnectionCalls(std::make_shared<testsupport::EnesimaSentencia>(
            [](const QString& sql) { return sql.contains(QLatin1String("S_TA_EQUIV")); }, 1,
            testsupport::Rechaza(QStringLiteral("rechazada"))));
        d = Abre(3, "000123", "A002", "CJ  ");
        data::gDBPrincipal().setConnectionCalls(nullptr);
        EXPECT_EQ(d->MSFlexGrid1.Rows(), 1);
        EXPECT_EQ(d->FilaDeposito(), -1);
    }

    d = Abre(5, "000456", "A002");   // a balance below 0 is not taken from
    EXPECT_EQ(Columna(*d, 4), QStringList({"3", "0"}));

    d = Abre(15, "000789", "A002");   // no unshelved row: the last row is a position
    d->aceptar()->click();
    EXPECT_EQ(d->Posiciones, QStringLiteral("|P10*10|P11*5|"));
    EXPECT_EQ(d->Lotes, QStringLiteral("|L5|L5|"));

    d = Abre(60, "000123", "A001", "UN", 2);   // lots without positions work as both
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Números de Lote (Deposito: A001)"));
    d->aceptar()->click();
    EXPECT_EQ(d->Lotes, QStringLiteral("|L0001|L0001|L0002|"));

    d = Abre(60, "000123", "A001", "UN", 1);   // positions only
    d->aceptar()->click();
    EXPECT_EQ(d->Posiciones, QStringLiteral("|P01*30|P02*20|P03*10|"));
    EXPECT_TRUE(d->Lotes.isEmpty());

    d = Abre(5, "000123", "A'1");   // a quote in the deposit is a value like any other
    EXPECT_EQ(d->MSFlexGrid1.Rows(), 1);
    QTest::keyClick(d->grilla(), Qt::Key_5);
    EXPECT_FALSE(d->TxtEdit.Visible());
    d->toolbar()->actions()[1]->trigger();   // no data row: the header stays
    EXPECT_EQ(d->MSFlexGrid1.TextMatrix(0, 4), QStringLiteral("CANT."));

    EXPECT_EQ(Abre(60, "000123", "A001", "UN", 0)->MSFlexGrid1.Rows(), 1);   // nothing asked: nothing loaded

    ui::ScriptedPrompter guion;   // codes holding the lists' separators never reach a list
    d = Abre(3, "000950", "A002");
    guion.answer(1, QStringLiteral("Un valor no puede contener los caracteres | ni *"));
    d->aceptar()->click();
    EXPECT_TRUE(guion.exhausted() && !d->Aceptado() && d->Posiciones.isEmpty());
}

}  // namespace lotstest
