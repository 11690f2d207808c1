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

// What the scripted dialogs saw: instances alive, Descargar calls, the calls made.
struct Registro {
    int vivos = 0;
    int descargados = 0;
    QStringList llamadas;
    bool fallaAlCargar = false;
};

// A scripted dialog over either interface: it records, and answers with padded lists.
template <class D>
class Falso : public D {
public:
    explicit Falso(Registro& r) : r_(r) { ++r_.vivos; }
    ~Falso() override { --r_.vivos; }
    void CargaDatos() override {
        if constexpr (std::is_same_v<D, lots::DialogoLoteyPosicion>)
            r_.llamadas << QStringLiteral("Carga %1 %2 %3").arg(this->EsConsultaDePosicionLote).arg(this->Cantidad1).arg(this->Deposito);
        else
            r_.llamadas << QStringLiteral("Carga [%1] %2 %3").arg(this->Deposito, this->LotesExistentes, this->SeriesExistentes);
        if (r_.fallaAlCargar) vb::Raise(vb::kErrTypeMismatch);
    }
    void SetLblArticulo(const QString& c) override { r_.llamadas << c; }
    void MostrarModal() override {
        r_.llamadas << QStringLiteral("MostrarModal");
        if constexpr (std::is_same_v<D, lots::DialogoLoteyPosicion>) this->Posiciones = QStringLiteral(" |P01*2| ");
        else this->Series = QStringLiteral(" |S1| ");
        this->Lotes = QStringLiteral(" |L1| ");
    }
    void CmdAceptar_Click() {
        r_.llamadas << QStringLiteral("CmdAceptar_Click");
        if constexpr (!std::is_same_v<D, lots::DialogoLoteyPosicion>) this->Cantidad = 3;
    }
    void Descargar() override { ++r_.descargados; }

private:
    Registro& r_;
};

class PideLotesTest : public LotsTest {
protected:
    void SetUp() override {
        LotsTest::SetUp();
        lots::SetDialogosLotes({[this] { return std::make_unique<Falso<lots::DialogoCargaLotesySeries>>(r); },
                                [this] { return std::make_unique<Falso<lots::DialogoLoteyPosicion>>(r); }});
    }
    QStringList Filas() const override {
        return {QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'A2' WHERE CLAVE = 'DepositoDefault'")};
    }
    Registro r;
};

// An articles grid whose lines are (article, lots, quantities); the header row holds a lot too.
void Llena(ui::FlexGrid& g, const QList<QStringList>& lineas) {
    g.SetCols(96);
    g.SetRows(1);
    g.SetTextMatrix(0, posting::art::Lotes, QStringLiteral("|H|"));
    for (const QStringList& l : lineas) {
        g.SetRows(g.Rows() + 1);
        for (int i : {0, 1, 2})
            g.SetTextMatrix(g.Rows() - 1, std::vector{posting::art::IdArticulo, posting::art::Lotes, posting::art::Series}[i], l[i]);
    }
}

}  // namespace

TEST_F(PideLotesTest, PositionsAndLotsOfALine) {
    posting::ClsCmnCptes cpte;
    QString pos = QStringLiteral("x"), lotes = QStringLiteral("x");
    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 0, QStringLiteral("A001"), QString(), QString(), pos, lotes);
    EXPECT_TRUE(pos.isEmpty() && lotes.isEmpty() && r.llamadas.isEmpty());

    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 2, QStringLiteral("1"), QString(),
                          QStringLiteral("|L1|"), pos, lotes, true, true);
    EXPECT_EQ(r.llamadas, QStringList({"Carga 1 2 1", "000789", "MostrarModal"}));
    EXPECT_EQ(pos + lotes, QStringLiteral("|P01*2||L1|"));   // trimmed

    // A failure the operator does not retry leaves the driver, and still lets the dialog go.
    r.fallaAlCargar = true;
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("(13)"));
    cpte.PidePosicionLote(QStringLiteral("000789"), QStringLiteral("UN"), 2, QStringLiteral("A001"), QString(), QString(), pos, lotes);
    EXPECT_EQ(r.llamadas.last(), QStringLiteral("Carga 0 2 A001"));
    EXPECT_TRUE(guion.shown().at(0).title.contains(QStringLiteral("PideSerieLote")));
    EXPECT_EQ(r.descargados, 2);
    EXPECT_EQ(r.vivos, 0);
}

TEST_F(PideLotesTest, SeriesAndLotsInAndOut) {
    posting::ClsCmnCptes cpte;
    QString series, lotes;
    cpte.PideSerieLote(QStringLiteral("000789"), 2, QString(), QString(), series, lotes, true, true);
    EXPECT_EQ(series + lotes, QStringLiteral("|S1||L1|"));

    ui::FlexGrid g;
    Llena(g, {{"000789", "|L1|", "|3|"}, {"000123", "|X|", "|9|"}, {"000789", "|L2|", "|4|"}});
    double cantidad = 0;
    QString deposito;
    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QStringLiteral("Café"), cantidad, QString(), QString(), lotes,
                               series, true, false, false, &deposito);
    EXPECT_EQ(deposito, QStringLiteral("A2"));   // filled even when nothing is asked
    EXPECT_EQ(r.llamadas.size(), 3);

    cantidad = 5;
    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QStringLiteral("Café"), cantidad, QStringLiteral("|L1|"),
                               QStringLiteral("|2|"), lotes, series, true, false, false, &deposito, true);
    EXPECT_EQ(r.llamadas.mid(3), QStringList({"Carga [A2  ] |L1|L2| |3|4|", "000789 - Café", "MostrarModal"}));
    EXPECT_EQ(lotes, QStringLiteral(" |L1| "));   // taken as the dialog leaves them

    cpte.PideSerieLote_Salidas(g, QStringLiteral("000789"), QString(), cantidad, QString(), QString(), lotes, series, true,
                               false, false, &deposito, false);   // not shown: accepted as loaded
    EXPECT_EQ(r.llamadas.last(), QStringLiteral("CmdAceptar_Click"));
    EXPECT_DOUBLE_EQ(cantidad, 3);
    EXPECT_EQ(r.vivos, 0);
    EXPECT_EQ(r.descargados, 3);

    lots::SetDialogosLotes({});   // a program without the dialog says so through the error question
    ui::ScriptedPrompter guion;
    guion.answer(3, QStringLiteral("(91)"));
    cpte.PideSerieLote(QStringLiteral("000789"), 2, QString(), QString(), series, lotes);
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
        EXPECT_EQ(lotes + u' ' + cantidades, QString::fromLatin1(c.lotes) + u' ' + QString::fromLatin1(c.cantidades));
    }
}

}  // namespace lotstest
