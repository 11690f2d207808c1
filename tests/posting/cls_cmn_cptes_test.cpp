// The voucher engine's construction: the settings it reads once and keeps.
#include "posting/cls_cmn_cptes.h"
#include "posting_db.h"

#include <gtest/gtest.h>

namespace {

class ConstruccionTest : public postingtest::PostingTest {};

TEST_F(ConstruccionTest, MissingSettingsGiveTheDefaults) {
    posting::ClsCmnCptes cpte;
    EXPECT_EQ(cpte.gLenDesc, 100);
    EXPECT_FALSE(cpte.AsientosXStock());
    EXPECT_EQ(cpte.PorcentajeIVA(), 0.0);
    EXPECT_FALSE(cpte.DebitoProveedor);
    EXPECT_EQ(cpte.UltimoNroAsiento(), 0);
}

TEST_F(ConstruccionTest, SettingsAsStored) {
    struct Caso {
        QString lenDescripcion, asientos, piva;
        int16_t lenDesc;
        bool conAsientos;
        double iva;
    } casos[] = {
        {QStringLiteral("60"), QStringLiteral("SI"), QStringLiteral("21"), 60, true, 21},
        {QStringLiteral("0"), QStringLiteral("si"), QStringLiteral("10.5"), 100, true, 10.5},
        {QStringLiteral("texto"), QStringLiteral(" SI"), QStringLiteral(""), 100, false, 0},
        {QStringLiteral("40000"), QStringLiteral("NO"), QStringLiteral("21"), 100, false, 21},   // beyond 16 bits
        {QStringLiteral("-5"), QStringLiteral(""), QStringLiteral("21"), 100, false, 21},        // no length
        {QStringLiteral("60.5"), QStringLiteral("Si"), QStringLiteral("21"), 60, true, 21},      // halves to even
        {QStringLiteral("32767"), QStringLiteral("S"), QStringLiteral("21"), 32767, false, 21},
    };
    for (const Caso& c : casos) {
        Claves({QStringLiteral("LenDescripcion"), c.lenDescripcion, QStringLiteral("AsientosXStock"), c.asientos,
                QStringLiteral("PIVA"), c.piva});
        posting::ClsCmnCptes cpte;
        EXPECT_EQ(cpte.gLenDesc, c.lenDesc) << c.lenDescripcion.toStdString();
        EXPECT_EQ(cpte.AsientosXStock(), c.conAsientos) << c.asientos.toStdString();
        EXPECT_DOUBLE_EQ(cpte.PorcentajeIVA(), c.iva) << c.piva.toStdString();
    }
}

TEST_F(ConstruccionTest, SettingsAreReadOnceAtConstruction) {
    Claves({QStringLiteral("LenDescripcion"), QStringLiteral("60")});
    posting::ClsCmnCptes cpte;
    Claves({QStringLiteral("LenDescripcion"), QStringLiteral("30")});
    EXPECT_EQ(cpte.gLenDesc, 60);
    EXPECT_EQ(posting::ClsCmnCptes().gLenDesc, 30);
}

}  // namespace
