// The lot, series and size dialog driven as the operator does, offscreen, on the demo database:
// the espresso machine 000950 in A001 is CF-0001 and CF-0002 of lot L0003 and CF-0003 of lot L0004
// (one each); the coffee 000789 in A001 is 4 of lot L0001 and 5 of lot L0002.
#include "data/db_dll.h"
#include "lots/frm_carga_lotes_y_series.h"
#include "lots_db.h"
#include "platform/vb/on_error.h"
#include "support/enesima_sentencia.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/prompter.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <memory>

namespace lotstest {

namespace {

using lots::CargaLotesySeries;
using lots::FrmCargaLotesySeries;

const QString kP = QString(QChar(0xFF));   // the joint of a lot and its serial

// A list with ÿ written as "^".
QString L(const char* lista) { return QString::fromUtf8(lista).replace(u'^', kP); }

class CargaLotesTest : public LotsTest {
protected:
    QStringList Filas() const override { return filas; }
    void SetUp() override {}   // each test gives its rows to Prepara first
    void Prepara(QStringList f = {}) {
        filas = std::move(f);
        LotsTest::SetUp();
    }
    // A dialog loaded as the drivers load it, and shown: a query on the deposit A001 unless
    // `consulta` is false.
    std::unique_ptr<FrmCargaLotesySeries> Abre(double cantidad, bool lote, bool serie, bool consulta = true,
                                               const char* articulo = "000950", const char* previos = "",
                                               const char* cantidades = "", const char* tomados = "",
                                               const char* tomadas = "") {
        auto d = std::make_unique<FrmCargaLotesySeries>();
        d->Cantidad = cantidad;
        d->EsConsultaDeSerieLote = consulta;
        d->EsLote = lote;
        d->EsSerie = serie;
        d->Articulo = QString::fromLatin1(articulo);
        d->Deposito = consulta ? QStringLiteral("A001") : QString();
        d->Lotes = L(previos);
        d->Series = L(cantidades);
        d->LotesExistentes = L(tomados);
        d->SeriesExistentes = L(tomadas);
        d->MostrarForm = true;
        d->CargaDatos();
        d->show();
        QCoreApplication::processEvents();
        return d;
    }
    static QStringList Columna(const CargaLotesySeries& d, int col) {
        QStringList c;
        for (int r = 1; r < d.MSFlexGrid1.Rows(); ++r) c << d.MSFlexGrid1.TextMatrix(r, col);
        return c;
    }
    // Types into the grid's current cell and confirms with Enter.
    static void Escribe(FrmCargaLotesySeries& d, const QString& texto) {
        for (QChar c : texto) QTest::keyClick(d.TxtEdit.Visible() ? static_cast<QWidget*>(d.editor()) : d.grilla(), c.toLatin1());
        QTest::keyClick(d.editor(), Qt::Key_Return);
    }
    QStringList filas;
};

}  // namespace

TEST_F(CargaLotesTest, EntryOfSerialsThroughTheDriverShowsTheEarlierOnes) {
    Prepara();
    posting::ClsCmnCptes cpte;
    QString series, lotes = QStringLiteral("x");
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<FrmCargaLotesySeries*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        for (const char* n : {"MSFlexGrid1", "TxtEdit", "Toolbar1", "lblArticulo", "CmdAceptar", "CmdCancelar"})
            EXPECT_NE(d->findChild<QWidget*>(QString::fromLatin1(n)), nullptr) << n;
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Números de Serie (Deposito: )"));
        EXPECT_EQ(d->aceptar()->text(), QStringLiteral("F2 &Aceptar"));
        EXPECT_EQ(d->etiqueta()->text(), QStringLiteral("000950"));
        EXPECT_EQ(d->MSFlexGrid1.TextMatrix(0, 1), QStringLiteral("Número de Serie"));
        EXPECT_EQ(Columna(*d, 1), QStringList({"CF-0001", "", "CF-0003"}));   // "-" was a row left empty
        EXPECT_EQ(d->MSFlexGrid1.ColWidth(0), 0);
        d->MSFlexGrid1.SetRow(2);
        Escribe(*d, QStringLiteral("cf-0002"));
        EXPECT_EQ(d->MSFlexGrid1.Row(), 3);
        QTest::keyClick(d->grilla(), Qt::Key_F2);
    });
    cpte.PideSerieLote(QStringLiteral("000950"), 3, QStringLiteral("|CF-0001|-|CF-0003|"), QString(), series, lotes, true);
    EXPECT_EQ(series, QStringLiteral("|CF-0001|cf-0002|CF-0003|"));
    EXPECT_TRUE(lotes.isEmpty());
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 0);   // released

    // More units than a grid holds rows: refused before any dialog, nothing handed back.
    ui::ScriptedPrompter guion;
    for (const double cantidad : {3e9, 2147483647.0, -100000.6}) {
        guion.answer(1, QStringLiteral("La Cantidad supera el máximo de 100000 valores por línea"));
        cpte.PideSerieLote(QStringLiteral("000950"), cantidad, QStringLiteral("|S1|"), QString(), series, lotes, true);
        EXPECT_TRUE(series.isEmpty() && lotes.isEmpty() && guion.exhausted()) << cantidad;
    }
}

TEST_F(CargaLotesTest, EntryRowsFillDownAndLists) {
    Prepara({QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'si' WHERE CLAVE = 'ART_FormatoSerieAsterisco'")});
    ui::ScriptedPrompter guion;
    // Lots: the first value confirmed on row 1 goes into every empty row.
    auto d = Abre(3, true, false, false);
    Escribe(*d, QStringLiteral("A"));
    d->aceptar()->click();
    EXPECT_EQ(d->Lotes + d->Series, QStringLiteral("|A|A|A|"));
    // Sizes with lots and serials: only serials count; a negative, fractional quantity: its rounded size.
    d = std::make_unique<FrmCargaLotesySeries>();
    d->Cantidad = -2.6;
    d->EsTalle = d->EsLote = d->EsSerie = true;
    d->Deposito = QStringLiteral("0001");
    d->CargaDatos();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Talles, Colores, Sexo (Deposito: 0001)"));
    EXPECT_EQ(d->MSFlexGrid1.Rows(), 4);
    d->MSFlexGrid1.SetTextMatrix(2, 1, QStringLiteral("M*1"));
    d->MSFlexGrid1.SetTextMatrix(3, 1, QStringLiteral(" L*2 "));
    d->CmdAceptar_Click();   // row 1 left empty: nothing to copy
    EXPECT_EQ(d->Lotes + d->Series, QStringLiteral("|-|M*1|L*2|"));

    // Serial*quantity asked for: a serial alone is refused; "|" and ÿ never enter a value.
    d = Abre(2, false, true, false);
    ASSERT_TRUE(d->FormatoSerieAsterisco());
    guion.answer(1, QStringLiteral("debe informar NRODESERIE * CANTIDAD \r\nVerifique la configuracion"));
    Escribe(*d, QStringLiteral("123"));
    d->aceptar()->click();
    EXPECT_FALSE(d->Oculto());
    d->MSFlexGrid1.SetRow(1);
    guion.answer(1, QStringLiteral("no puede contener los caracteres | ni"));
    Escribe(*d, QStringLiteral("12|3"));
    EXPECT_TRUE(d->TxtEdit.Visible() && d->ErrorCampo());
    QTest::keyClick(d->editor(), Qt::Key_Escape);
    d->MSFlexGrid1.SetTextMatrix(2, 1, L("12^3"));   // a value that reached its cell unchecked
    guion.answer(1, QStringLiteral("no puede contener"));
    QTest::keyClick(d->grilla(), Qt::Key_F2);
    EXPECT_EQ(d->MSFlexGrid1.Row(), 2);
    EXPECT_FALSE(d->Oculto());
    d->MSFlexGrid1.SetTextMatrix(1, 1, QStringLiteral("123*2"));
    d->MSFlexGrid1.SetTextMatrix(2, 1, QString());
    d->aceptar()->click();
    EXPECT_EQ(d->Series, QStringLiteral("|123*2|123*2|"));
    EXPECT_TRUE(guion.exhausted());
}

// Serial*quantity asked for, its read refused when the dialog starts and passed over: Accept reads
// it again and checks; refused and left then too, Accept hands nothing back and the dialog stays.
TEST_F(CargaLotesTest, TheSerialFormatNotReadIsReadOnAcceptOrAcceptWaits) {
    Prepara({QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'si' WHERE CLAVE = 'ART_FormatoSerieAsterisco'")});
    data::DB_Dll& db = data::gDBPrincipal();
    const auto formato = [](const QString& sql) { return sql.contains(QStringLiteral("ART_FormatoSerieAsterisco")); };
    const auto rechaza = [&] {
        db.setConnectionCalls(
            std::make_shared<testsupport::EnesimaSentencia>(formato, 1, testsupport::Rechaza(QStringLiteral("rechazada"))));
    };
    ui::ScriptedPrompter guion;
    // The query refused, then its recordset found closed: both asked, both answered alike.
    const auto responde = [&](int respuesta) {
        guion.answer(respuesta, QStringLiteral("rechazada")).answer(respuesta, QStringLiteral("(3704)"));
    };
    rechaza();
    responde(vb::kIgnore);
    auto d = Abre(2, false, true, false);
    db.setConnectionCalls(nullptr);
    EXPECT_FALSE(d->FormatoSerieAsterisco());
    guion.answer(1, QStringLiteral("debe informar NRODESERIE * CANTIDAD"));
    Escribe(*d, QStringLiteral("123"));
    d->aceptar()->click();
    EXPECT_FALSE(d->Oculto());
    EXPECT_TRUE(d->FormatoSerieAsterisco());

    rechaza();
    responde(vb::kIgnore);
    d = Abre(2, false, true, false);
    rechaza();
    responde(vb::kAbort);
    d->MSFlexGrid1.SetTextMatrix(1, 1, QStringLiteral("123"));
    d->MSFlexGrid1.SetTextMatrix(2, 1, QStringLiteral("124"));
    d->aceptar()->click();
    db.setConnectionCalls(nullptr);
    EXPECT_FALSE(d->Oculto());
    EXPECT_TRUE(d->Series.isEmpty());
    EXPECT_TRUE(guion.exhausted());
}

TEST_F(CargaLotesTest, QueryProposesFromStockLessWhatOtherLinesTake) {
    Prepara();
    auto d = Abre(2, true, true);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Números de Lote y Serie (Deposito: A001)"));
    EXPECT_EQ(Columna(*d, 0), QStringList({"L0003", "L0003", "L0004", ""}));
    EXPECT_EQ(Columna(*d, 1), QStringList({"CF-0001", "CF-0002", "CF-0003", ""}));
    EXPECT_EQ(Columna(*d, 2), QStringList({"1", "1", "1", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"1", "1", "0", "0"}));
    d->aceptar()->click();
    EXPECT_EQ(d->Lotes, L("|L0003^CF-0001|L0003^CF-0002|L0004^CF-0003|^|"));
    EXPECT_EQ(d->Series, QStringLiteral("|1|1|0|0|"));

    // Another line took CF-0001 (its pair written whole): none of it is left to take.
    d = Abre(2, true, true, true, "000950", "", "", "|L0003^CF-0001|L0004^|", "|1|7|");
    EXPECT_EQ(Columna(*d, 2), QStringList({"0", "1", "1", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"0", "1", "1", "0"}));

    // Lots alone: the serial column stays hidden after fitting; older lots first.
    d = Abre(7, true, false, true, "000789");
    EXPECT_EQ(d->MSFlexGrid1.ColWidth(1), 0);
    EXPECT_GT(d->MSFlexGrid1.ColWidth(0), 0);
    EXPECT_EQ(Columna(*d, 3), QStringList({"4", "3", "0"}));
    d->CmdAceptar_Click();
    EXPECT_EQ(d->Lotes, L("|L0001^|L0002^|^|"));
    EXPECT_EQ(d->Series, QStringLiteral("|4|3|0|"));
}

TEST_F(CargaLotesTest, QueryShowsTheEarlierChoiceWithEachPairWhole) {
    Prepara();
    auto d = Abre(4, true, true, true, "000950", "|L0003^CF-0002|L9^S9|^|", "|1|2|1|");
    EXPECT_EQ(Columna(*d, 0), QStringList({"L0003", "L0003", "L0004", "L9", ""}));
    EXPECT_EQ(Columna(*d, 1), QStringList({"CF-0001", "CF-0002", "CF-0003", "S9", ""}));
    EXPECT_EQ(Columna(*d, 2), QStringList({"1", "1", "1", "0", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"0", "1", "0", "2", "1"}));
    d->CmdAceptar_Click();
    EXPECT_EQ(d->Lotes, L("|L0003^CF-0001|L0003^CF-0002|L0004^CF-0003|L9^S9|^|"));
    EXPECT_EQ(d->Series, QStringLiteral("|0|1|0|2|1|"));

    // No stock and no earlier choice: no rows at all; Yes takes 0 and returns empty lists.
    ui::ScriptedPrompter guion;
    guion.answer(6, QStringLiteral("Es Menor a la solicitada"));
    d = Abre(3, true, false, true, "000123");
    EXPECT_EQ(d->MSFlexGrid1.Rows(), 1);
    d->aceptar()->click();
    EXPECT_TRUE(d->Aceptado() && d->Lotes.isEmpty() && d->Series.isEmpty());
    EXPECT_DOUBLE_EQ(d->Cantidad, 0);
}

TEST_F(CargaLotesTest, OneLotAndSerialInSeveralPositionsIsOneRow) {
    Prepara({QStringLiteral("DROP VIEW STK_SERIES_Y_LOTES"),
             QStringLiteral("CREATE TABLE STK_SERIES_Y_LOTES (IDARTICULO nvarchar(25), IDDEPOSITO varchar(4), "
                            "NROLOTE varchar(25), NROSERIE varchar(25), IDPOSICION varchar(15), CANTIDAD float)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', 'L1', NULL, 'P01', 3)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', 'L1', NULL, 'P02', 2)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', 'L2', NULL, 'P01', 4)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', 'A|B', NULL, 'P01', 2)")});
    // A lot holding a list's separator would split its pair: not listed, and the operator told.
    ui::ScriptedPrompter guion;
    guion.answer(1, QStringLiteral("No se listan los lotes o series que contienen los caracteres | o ÿ: A|B"));
    auto d = Abre(6, true, false, true, "000789");
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(Columna(*d, 0), QStringList({"L1", "L2", ""}));
    EXPECT_EQ(Columna(*d, 2), QStringList({"5", "4", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"5", "1", "0"}));
}

TEST_F(CargaLotesTest, StockWithoutLotIsOneRowOfItsOwn) {
    Prepara({QStringLiteral("DROP VIEW STK_SERIES_Y_LOTES"),
             QStringLiteral("CREATE TABLE STK_SERIES_Y_LOTES (IDARTICULO nvarchar(25), IDDEPOSITO varchar(4), "
                            "NROLOTE varchar(25), NROSERIE varchar(25), IDPOSICION varchar(15), CANTIDAD float)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', NULL, NULL, 'P01', 3)"),
             QStringLiteral("INSERT INTO STK_SERIES_Y_LOTES VALUES ('000789', 'A001', 'L1', NULL, 'P01', 4)")});
    // Another line took the 3 units without lot: what is left comes from L1.
    auto d = Abre(3, true, false, true, "000789", "", "", "|^|", "|3|");
    EXPECT_EQ(Columna(*d, 0), QStringList({"", "L1", ""}));
    EXPECT_EQ(Columna(*d, 2), QStringList({"0", "4", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"0", "3", "0"}));
    // A line that took 2 without lot and 1 of L1, reopened: its quantities once each.
    d = Abre(3, true, false, true, "000789", "|^|L1^|", "|2|1|", "|^|L1^|", "|2|1|");
    EXPECT_EQ(Columna(*d, 2), QStringList({"3", "4", ""}));
    EXPECT_EQ(Columna(*d, 3), QStringList({"2", "1", "0"}));
}

TEST_F(CargaLotesTest, QuantitiesAreCheckedAsTyped) {
    Prepara();
    ui::ScriptedPrompter guion;
    auto d = Abre(2, true, true);
    ui::FlexGrid& g = d->MSFlexGrid1;
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 3);
    struct Caso {
        int fila;
        const char* texto;
        const char* mensaje;   // nullptr: taken, the cursor one row down
    } casos[] = {
        {3, "5", "La Cantidad supera a la cantidad disponible en Stock"},   // a serial held once
        {3, "3x", "La Cantidad informada no es un número"},
        {3, "2.5", "No Puede Informase Cantidades que no Sean Enteras"},
        {3, "-1", "La Cantidad no puede ser Menor a Cero"},
        {3, "1", nullptr},
        {4, "40000", nullptr},   // the row without lot or serial has no limit, nor a 16-bit one
    };
    for (const Caso& c : casos) {
        g.SetRow(c.fila);
        g.SetCol(3);
        if (c.mensaje) guion.answer(1, QString::fromUtf8(c.mensaje));
        Escribe(*d, QString::fromLatin1(c.texto));
        EXPECT_EQ(d->TxtEdit.Visible(), c.mensaje != nullptr) << c.texto;
        if (c.mensaje) QTest::keyClick(d->editor(), Qt::Key_Escape);
        else EXPECT_EQ(g.TextMatrix(c.fila, 3), QString::fromLatin1(c.texto));
        EXPECT_EQ(g.Row(), c.mensaje ? c.fila : std::min(c.fila + 1, g.Rows() - 1)) << c.texto;
    }
    g.SetCol(2);
    QTest::keyClick(d->grilla(), Qt::Key_7);   // the stock column is not edited
    EXPECT_FALSE(d->TxtEdit.Visible());

    // Serials alone: Enter goes on to the next row.
    d = Abre(2, false, true);
    d->MSFlexGrid1.SetRow(1);
    Escribe(*d, QStringLiteral("0"));
    EXPECT_EQ(d->MSFlexGrid1.Row(), 2);
    // A quantity that reached its cell unchecked is refused at Accept.
    d->MSFlexGrid1.SetTextMatrix(3, 3, QStringLiteral("3"));
    guion.answer(1, QStringLiteral("supera a la cantidad disponible"));
    d->aceptar()->click();
    EXPECT_FALSE(d->Oculto());
    EXPECT_EQ(d->MSFlexGrid1.Row(), 3);
    EXPECT_TRUE(guion.exhausted());
}

TEST_F(CargaLotesTest, AcceptOutcomesAndTheToolbar) {
    Prepara();
    struct Caso {
        QStringList cantidades;
        std::vector<std::pair<int, const char*>> cajas;   // answer, expected text
        bool aceptado;
        double cantidad;
    } casos[] = {
        {{"1", "1", "0", "0"}, {}, true, 2},
        {{"1", "1", "1", "0"}, {{6, "supera a la solicitada en el Formulario de Carga de Datos\r\n¿Desea Ajustar"}}, true, 3},
        {{"1", "1", "1", "0"}, {{7, "supera"}, {1, "Debe Ajustar la suma de las cantidades a :2"}}, false, 2},
        {{"1", "0", "0", "0"}, {{6, "Es Menor a la solicitada"}}, true, 1},
    };
    for (const Caso& c : casos) {
        ui::ScriptedPrompter guion;
        for (const auto& [respuesta, texto] : c.cajas) guion.answer(respuesta, QString::fromUtf8(texto));
        auto d = Abre(2, true, true);
        for (int r = 0; r < c.cantidades.size(); ++r) d->MSFlexGrid1.SetTextMatrix(r + 1, 3, c.cantidades[r]);
        d->aceptar()->click();
        EXPECT_TRUE(guion.exhausted()) << c.cantidades.join(u' ').toStdString();
        EXPECT_EQ(d->Aceptado(), c.aceptado);
        EXPECT_EQ(d->Series, c.aceptado ? u'|' + c.cantidades.join(u'|') + u'|' : QString());
        EXPECT_DOUBLE_EQ(d->Cantidad, c.cantidad);
    }

    auto d = Abre(2, true, true);
    ui::FlexGrid& g = d->MSFlexGrid1;
    const QList<QAction*> b = d->toolbar()->actions();
    ASSERT_EQ(b.size(), 2);
    g.SetRow(2);
    b[0]->trigger();   // the rows below get the current quantity
    EXPECT_EQ(Columna(*d, 3), QStringList({"1", "1", "1", "1"}));
    g.SetRow(1);
    b[1]->trigger();   // the rows below are blanked, the current one kept
    EXPECT_EQ(Columna(*d, 3), QStringList({"1", "", "", ""}));
    g.SetCol(2);
    b[0]->trigger();   // never into the stock column
    EXPECT_EQ(Columna(*d, 2), QStringList({"1", "1", "1", ""}));
}

TEST_F(CargaLotesTest, UnshownThroughTheDriver) {
    Prepara();
    posting::ClsCmnCptes cpte;
    ui::FlexGrid grilla;   // a line of the voucher already takes 2 of L0001
    grilla.SetCols(96);
    grilla.SetRows(2);
    grilla.SetTextMatrix(1, posting::art::IdArticulo, QStringLiteral("000789"));
    grilla.SetTextMatrix(1, posting::art::Lotes, L("|L0001^|"));
    grilla.SetTextMatrix(1, posting::art::Series, QStringLiteral("|2|"));
    double cantidad = 5;
    QString deposito, lotes, cantidades;
    cpte.PideSerieLote_Salidas(grilla, QStringLiteral("000789"), QStringLiteral("Café"), cantidad, QString(), QString(),
                               lotes, cantidades, true, false, false, &deposito, false);
    EXPECT_EQ(lotes, L("|L0001^|L0002^|^|"));
    EXPECT_EQ(cantidades, QStringLiteral("|2|3|0|"));
    EXPECT_EQ(deposito, QStringLiteral("A001"));

    // A line reopened as it was: its own choice is no other line's, so it is taken again as it was.
    ui::ScriptedPrompter guion;
    grilla.SetRows(3);
    grilla.SetTextMatrix(2, posting::art::IdArticulo, QStringLiteral("000789"));
    grilla.SetTextMatrix(2, posting::art::Lotes, L("|L0001^|L0002^|^|"));
    grilla.SetTextMatrix(2, posting::art::Series, QStringLiteral("|2|3|0|"));
    cpte.PideSerieLote_Salidas(grilla, QStringLiteral("000789"), QString(), cantidad, grilla.TextMatrix(2, posting::art::Lotes),
                               QStringLiteral("|2|3|0|"), lotes, cantidades, true, false, false, &deposito, false);
    EXPECT_EQ(lotes + cantidades, L("|L0001^|L0002^|^||2|3|0|"));
    grilla.SetRows(2);

    // Too little stock: only the information message; the earlier lists come back unchanged.
    guion.answer(1, QStringLiteral("El Stock es Menor a la cantidad solicitada "));
    cantidad = 20;
    cpte.PideSerieLote_Salidas(grilla, QStringLiteral("000789"), QString(), cantidad, L("|L0002^|"), QStringLiteral("|1|"),
                               lotes, cantidades, true, false, false, &deposito, false);
    EXPECT_TRUE(guion.exhausted());
    EXPECT_EQ(lotes, L("|L0002^|"));
    EXPECT_EQ(cantidades, QStringLiteral("|1|"));
    EXPECT_DOUBLE_EQ(cantidad, 20);
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 0);
}

}  // namespace lotstest
