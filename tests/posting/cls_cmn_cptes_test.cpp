// The voucher engine's construction: the settings it reads once and keeps.
#include "posting/cls_cmn_cptes.h"
#include "posting_db.h"

#include <gtest/gtest.h>

namespace {

class ConstruccionTest : public postingtest::PostingTest {};

TEST_F(ConstruccionTest, SettingsAsStored) {
    posting::ClsCmnCptes nuevo;   // no settings at all
    EXPECT_EQ(std::make_tuple(nuevo.gLenDesc, nuevo.AsientosXStock(), nuevo.PorcentajeIVA(), nuevo.DebitoProveedor,
                              nuevo.UltimoNroAsiento()),
              std::make_tuple(int16_t{100}, false, 0.0, false, 0));
    struct Caso {
        const char *lenDescripcion, *asientos, *piva;
        int16_t lenDesc;
        bool conAsientos;
        double iva;
    } casos[] = {
        {"60", "SI", "21", 60, true, 21},
        {"0", "si", "10.5", 100, true, 10.5},
        {"texto", " SI", "", 100, false, 0},
        {"40000", "NO", "21", 100, false, 21},   // beyond 16 bits
        {"-5", "", "21", 100, false, 21},        // no length
        {"60.5", "Si", "21", 60, true, 21},      // halves to even
        {"32767", "S", "21", 32767, false, 21},
    };
    for (const Caso& c : casos) {
        Claves({"LenDescripcion", c.lenDescripcion, "AsientosXStock", c.asientos, "PIVA", c.piva});
        posting::ClsCmnCptes cpte;
        EXPECT_EQ(cpte.gLenDesc, c.lenDesc) << c.lenDescripcion;
        EXPECT_EQ(cpte.AsientosXStock(), c.conAsientos) << c.asientos;
        EXPECT_DOUBLE_EQ(cpte.PorcentajeIVA(), c.iva) << c.piva;
    }
    // Read once: a later change reaches only a new object.
    posting::ClsCmnCptes antes;
    Claves({"LenDescripcion", "30"});
    EXPECT_EQ(antes.gLenDesc, 32767);
    EXPECT_EQ(posting::ClsCmnCptes().gLenDesc, 30);
}

}  // namespace
