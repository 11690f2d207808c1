// The lot dialog drivers with scripted dialogs: what each driver hands the dialog, what it reads
// back, and that the dialog is let go on every way out.
#include "lots/dialogos_lotes.h"
#include "lots_db.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"

namespace lotstest {

namespace {

// What the scripted dialogs saw, shared by the instances of one test.
struct Registro {
    int vivos = 0;          // instances not yet released
    int descargados = 0;    // Descargar calls
    QStringList llamadas;   // CargaDatos, MostrarModal, CmdAceptar_Click, the label
    bool fallaAlCargar = false;
};

class FalsoLoteyPosicion : public lots::DialogoLoteyPosicion {
public:
    explicit FalsoLoteyPosicion(Registro& r) : r_(r) { ++r_.vivos; }
    ~FalsoLoteyPosicion() override { --r_.vivos; }
    void CargaDatos() override {
        r_.llamadas << QStringLiteral("CargaDatos %1 %2 %3 %4").arg(EsConsultaDePosicionLote).arg(Cantidad1).arg(Deposito, IUNIDAD);
        if (r_.fallaAlCargar) vb::Raise(vb::kErrTypeMismatch);
    }
    void SetLblArticulo(const QString& c) override { r_.llamadas << c; }
    void MostrarModal() override {
        r_.llamadas << QStringLiteral("MostrarModal");
        Posiciones = QStringLiteral(" |P01*2| ");
        Lotes = QStringLiteral(" |L1| ");
    }
    void Descargar() override { ++r_.descargados; }

private:
    Registro& r_;
};

class FalsoCargaLotes : public lots::DialogoCargaLotesySeries {
public:
    explicit FalsoCargaLotes(Registro& r) : r_(r) { ++r_.vivos; }
    ~FalsoCargaLotes() override { --r_.vivos; }
    void CargaDatos() override {
        r_.llamadas << QStringLiteral("CargaDatos %1 [%2] %3 %4").arg(Articulo, Deposito, LotesExistentes, SeriesExistentes);
    }
    void SetLblArticulo(const QString& c) override { r_.llamadas << c; }
    void MostrarModal() override {
        r_.llamadas << QStringLiteral("MostrarModal");
        Series = QStringLiteral(" |S1| ");
        Lotes = QStringLiteral(" |L1| ");
    }
    void CmdAceptar_Click() override {
        r_.llamadas << QStringLiteral("CmdAceptar_Click");
        Cantidad = 3;
    }
    void Descargar() override { ++r_.descargados; }

private:
    Registro& r_;
};

class PideLotesTest : public LotsTest {
protected:
    void SetUp() override {
        LotsTest::SetUp();
        lots::FabricaDialogosLotes f;
        f.loteyPosicion = [this] { return std::make_unique<FalsoLoteyPosicion>(registro); };
        f.cargaLotesySeries = [this] { return std::make_unique<FalsoCargaLotes>(registro); };
        lots::SetDialogosLotes(f);
    }
    QStringList Filas() const override {
        return {QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'DepositoDefault'"),
                QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('DepositoDefault', 'A2', '')")};
    }
    Registro registro;
};

// An articles grid whose lines are (article, lots, quantities).
void Llena(ui::FlexGrid& g, const QList<QStringList>& lineas) {
    g.SetCols(96);
    g.SetRows(1);
    g.SetTextMatrix(0, posting::art::IdArticulo, QStringLiteral("000789"));   // the header is never read
    g.SetTextMatrix(0, posting::art::Lotes, QStringLiteral("|H|"));
    for (const QStringList& l : lineas) {
        const int f = g.Rows();
        g.SetRows(f + 1);
        g.SetTextMatrix(f, posting::art::IdArticulo, l[0]);
        g.SetTextMatrix(f, posting::art::Lotes, l[1]);
        g.SetTextMatrix(f, posting::art::Series, l[2]);
    }
}

}  // namespace

TEST_F(PideLotesTest, PositionsAndLotsOfALine) {
    posting::ClsCmnCptes cpte;
    QString pos = QStringLiteral("x"), lotes = QStringLiteral("x");
    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 0, QStringLiteral("A001"), QString(), QString(),
                          pos, lotes);
    EXPECT_TRUE(pos.isEmpty() && lotes.isEmpty());
    EXPECT_TRUE(registro.llamadas.isEmpty());

    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 2, QStringLiteral("1"), QString(),
                          QStringLiteral("|L1|"), pos, lotes, true, true);
    EXPECT_EQ(registro.llamadas, QStringList({QStringLiteral("CargaDatos 1 2 1 UN"), QStringLiteral("000789"),
                                              QStringLiteral("MostrarModal")}));
    EXPECT_EQ(pos, QStringLiteral("|P01*2|"));
    EXPECT_EQ(lotes, QStringLiteral("|L1|"));
    EXPECT_EQ(registro.descargados, 1);
    EXPECT_EQ(registro.vivos, 0);

    // A failure the operator does not retry leaves the driver, and still lets the dialog go.
    registro = Registro{};
    registro.fallaAlCargar = true;
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("(13)"));
    pos.clear();
    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 2, QStringLiteral("A001"), QString(), QString(),
                          pos, lotes);
    EXPECT_EQ(registro.llamadas, QStringList({QStringLiteral("CargaDatos 0 2 A001 UN")}));
    EXPECT_TRUE(guion.shown().at(0).title.contains(QStringLiteral("PideSerieLote")));
    EXPECT_TRUE(pos.isEmpty());
    EXPECT_EQ(registro.descargados, 1);
    EXPECT_EQ(registro.vivos, 0);
}

TEST_F(PideLotesTest, SeriesAndLotsComingIn) {
    posting::ClsCmnCptes cpte;
    QString series, lotes;
    cpte.PideSerieLote(QStringLiteral("000789"), 2, QString(), QString(), series, lotes, true, true);
    EXPECT_EQ(series, QStringLiteral("|S1|"));
    EXPECT_EQ(lotes, QStringLiteral("|L1|"));
    EXPECT_EQ(registro.vivos, 0);
    EXPECT_EQ(registro.descargados, 1);

    // A program without the dialog says so through the error question.
    lots::FabricaDialogosLotes f;
    lots::SetDialogosLotes(f);
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("(91)"));
    cpte.PideSerieLote(QStringLiteral("000789"), 2, QString(), QString(), series, lotes);
    EXPECT_TRUE(guion.exhausted());
}

TEST_F(PideLotesTest, LotsGoingOutTakeTheOtherLinesIntoAccount) {
    posting::ClsCmnCptes cpte;
    ui::FlexGrid g;
    Llena(g, {{"000789", "|L1|", "|3|"}, {"000123", "|X|", "|9|"}, {"000789", "|L2|", "|4|"}});
    double cantidad = 0;
    QString deposito, lotes = QStringLiteral("x"), cant = QStringLiteral("x");
    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QStringLiteral("Café"), cantidad, QString(), QString(), lotes,
                               cant, true, false, false, &deposito);
    EXPECT_EQ(deposito, QStringLiteral("A2"));   // filled even when nothing is asked
    EXPECT_EQ(lotes, QStringLiteral("x"));
    EXPECT_TRUE(registro.llamadas.isEmpty());

    cantidad = 5;
    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QStringLiteral("Café"), cantidad, QStringLiteral("|L1|"),
                               QStringLiteral("|2|"), lotes, cant, true, false, false, &deposito, true);
    EXPECT_EQ(registro.llamadas,
              QStringList({QStringLiteral("CargaDatos 000789 [A2  ] |L1|L2| |3|4|"), QStringLiteral("000789 - Café"),
                           QStringLiteral("MostrarModal")}));
    EXPECT_EQ(lotes, QStringLiteral(" |L1| "));   // taken as the dialog leaves them
    EXPECT_EQ(cant, QStringLiteral(" |S1| "));

    // Without showing the dialog: its accept settles the result from the loaded stock.
    registro.llamadas.clear();
    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QString(), cantidad, QString(), QString(), lotes, cant, true,
                               false, false, &deposito, false);
    EXPECT_EQ(registro.llamadas.last(), QStringLiteral("CmdAceptar_Click"));
    EXPECT_DOUBLE_EQ(cantidad, 3);
    EXPECT_EQ(registro.vivos, 0);
    EXPECT_EQ(registro.descargados, 3 - 1);   // the first call asked nothing
}

TEST_F(PideLotesTest, LinesOfOneArticleJoinedInStep) {
    posting::ClsCmnCptes cpte;
    struct Caso {
        QList<QStringList> lineas;
        const char* lotes;
        const char* cantidades;
    } casos[] = {
        {{{"000789", "|L1|", "|3|"}, {"000123", "|X|", "|9|"}, {"000789", "|L2|", "|4|"}}, "|L1|L2|", "|3|4|"},
        {{{"000789", "L7", "5"}, {"000789", "|L8|", "|1|"}}, "|L7|L8|", "|5|1|"},          // bare values kept whole
        {{{"000789", "|L1|L2|", ""}, {"000789", "|L3|", "|6|"}}, "|L1|L2|L3|", "|||6|"},   // L3 keeps its 6
        {{{"x000789", "|L1|", "|3|"}, {"000789", "", ""}}, "", ""},
    };
    for (const Caso& c : casos) {
        ui::FlexGrid g;
        Llena(g, c.lineas);
        QString lotes, cantidades;
        cpte.CuentaLotesEnGrilla(g, QStringLiteral("000789"), lotes, cantidades);
        EXPECT_EQ(lotes, QString::fromUtf8(c.lotes));
        EXPECT_EQ(cantidades, QString::fromUtf8(c.cantidades));
    }
}

}  // namespace lotstest
