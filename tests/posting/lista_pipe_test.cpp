// The lot and series list codec: one table per operation. Rows marked "mended" are where the
// codec reads a list more soundly than a 16-bit, first-character-dropping reading would.
#include "posting/lista_pipe.h"

#include <gtest/gtest.h>

namespace {

using namespace posting::ListaPipe;
const QString y = QString(QChar(0xFF));

TEST(ListaPipe, DecodingCountingAndItems) {
    const std::pair<QString, QStringList> casos[] = {
        {"", {}},
        {"|", {}},
        {"|A|B|", {"A", "B"}},
        {"A|B|", {"A", "B"}},                 // without its leading "|"
        {"  |A |B|  ", {"A", "B"}},           // items stored trimmed
        {"L7", {"L7"}},                       // a bare value is one item
        {"|A|B", {"A"}},                      // text after the last "|" is no item
        {"|A||B|", {"A", "", "B"}},
        {"|12" + y + "1|", {"12" + y + "1"}}, // a value pair is one item
    };
    for (const auto& [lista, items] : casos) {
        EXPECT_EQ(DescomponeSerieLote(lista), QStringList(items) << QString()) << lista.toStdString();
        EXPECT_EQ(Cantidad_Series_Lotes(lista), items.size()) << lista.toStdString();
        for (int i = 0; i <= items.size(); ++i)
            EXPECT_EQ(ExtraeSerieLote(lista, i + 1).trimmed(), items.value(i)) << lista.toStdString() << i;
        EXPECT_EQ(ExtraeSerieLote(lista, 0), "");
    }
    EXPECT_EQ(ExtraeSerieLote("|A |B|", 1), "A ");   // given untrimmed

    // Positions and counts are not bounded by 16 bits: a list of 40000 items is read whole.
    QString largo = "|";
    for (int i = 1; i <= 40000; ++i) largo += QString::number(i) + u'|';
    EXPECT_EQ(Cantidad_Series_Lotes(largo), 40000);
    EXPECT_EQ(ExtraeSerieLote(largo, 39999), "39999");
    EXPECT_EQ(Busca_Lotes_Series(largo, "40000"), 40000);
    EXPECT_EQ(Cuenta_Series_Lotes(largo, "", true), 40000);
}

TEST(ListaPipe, SearchDisplayAndJoint) {
    EXPECT_EQ(Busca_Lotes_Series("", "A"), 0);
    EXPECT_EQ(Busca_Lotes_Series("L7", "L7"), 0);   // a bare value holds no list to search
    EXPECT_EQ(Busca_Lotes_Series("|A|B|", " b "), 2);
    EXPECT_EQ(Busca_Lotes_Series("|A|B|", "C"), 3);
    EXPECT_EQ(StrSerieLote("L7"), "");
    EXPECT_EQ(StrSerieLote("|A|B|a||"), " A B");
    EXPECT_EQ(InsertaCHR255(""), "|");
    EXPECT_EQ(InsertaCHR255("|A|B|"), "|A" + y + "|B" + y + "|");
    EXPECT_EQ(InsertaCHR255("A|B|"), "|A" + y + "|B" + y + "|");   // mended: only a leading "|" is dropped
}

TEST(ListaPipe, Cuenta_Series_Lotes) {
    struct Caso {
        QString series, lotes;
        int32_t consolidado, sinConsolidar;
    } casos[] = {
        {"|S1|S2|S1|", "|L1|L2|L3|", 2, 3},
        {"", "|L1|l1|L2|", 2, 3},
        {"", "", 0, 0},
        {"   ", "|L1|", 1, 1},   // mended: a series text of blanks is no series list
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(Cuenta_Series_Lotes(c.series, c.lotes), c.consolidado) << c.series.toStdString();
        EXPECT_EQ(Cuenta_Series_Lotes(c.series, c.lotes, true), c.sinConsolidar) << c.series.toStdString();
    }
}

TEST(ListaPipe, DescomponePosicionCantidadLote) {
    QStringList pos, cant, lote;
    DescomponePosicionCantidadLote("|P1*5|P2 * 2.5|", "|L1|", pos, cant, lote);
    EXPECT_EQ(pos, QStringList({"P1", "P2 ", ""}));
    EXPECT_EQ(cant, QStringList({"5", " 2.5", ""}));
    EXPECT_EQ(lote, QStringList({"L1", ""}));
    DescomponePosicionCantidadLote("P1*5", "", pos, cant, lote);   // a bare value gives no position
    EXPECT_EQ(pos + cant + lote, QStringList({"", "", ""}));
}

}  // namespace
