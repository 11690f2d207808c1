// Number, time, text and SQL text helpers that need no database.
#include "core/armado_sql.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <gtest/gtest.h>

namespace {

class HelpersTest : public ::testing::Test {
protected:
    void SetUp() override { core::ReiniciaEstado(); }
    void TearDown() override { core::ReiniciaEstado(); }
};

TEST_F(HelpersTest, FormateaImporteRoundsHalvesToEvenAndDropsTheLoneSeparator) {
    struct Caso {
        const char* importe;
        int codigo;
        const char* esperado;
    };
    const Caso casos[] = {
        {"no es numero", core::kSinFormato, "no es numero"},
        {"1234,567", core::kSinDecimales, "1235"},
        {"1234.5", core::kSinDecimales, "1234"},      // half to even
        {"1235.5", core::kSinDecimales, "1236"},
        {"-2.5", core::kSinDecimales, "-2"},
        {"1234.565", 2, "1234.56"},
        {"1234.575", 2, "1234.58"},
        {"0", 2, "0.00"},
        {"", 2, "0.00"},
        {"1234567890123.25", 1, "1234567890123.2"},
        {"1.5", 6, "1.500000"},
        {"-0.004", 2, "0.00"},
        {"12,5", 3, "12.500"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(core::FormateaImporte(QString::fromUtf8(c.importe), vb::Variant(c.codigo)).text(),
                  QString::fromUtf8(c.esperado))
            << c.importe << " code " << c.codigo;
    }
}

TEST_F(HelpersTest, FormateaImporteTakesDecimalsFromTheConfigurationOrTheLocale) {
    const int local = core::DigitosMonedaLocal();
    const QString conLocal = core::FormateaImporte(QStringLiteral("2"), vb::Variant(0)).text();
    EXPECT_EQ(conLocal, local == 0 ? QStringLiteral("2") : QStringLiteral("2.") + QString(local, u'0'));

    core::gCantidadDecimales = QStringLiteral(" ");   // the key is missing: the locale's digits
    EXPECT_EQ(core::FormateaImporte(QStringLiteral("2"), vb::Variant(-1)).text(), conLocal);
    core::gCantidadDecimales = QStringLiteral("3");
    EXPECT_EQ(core::FormateaImporte(QStringLiteral("1.5"), vb::Variant(-1)).text(), QStringLiteral("1.500"));
    EXPECT_THROW(core::FormateaImporte(QStringLiteral("1"), vb::Variant(-7)), vb::Error);
}

TEST_F(HelpersTest, ConvierteAMinutos) {
    struct Caso {
        const char* hora;
        const char* horas;
        const char* minutos;
        bool dosPuntos;
        double esperado;
    };
    const Caso casos[] = {
        {"01:30", "", "", false, 90},     // a time of day
        {"30:15", "", "", false, 1815},   // not a time: parsed
        {"", "2", "0", false, 120},
        {"", "0", "-5", false, 0},
        {"  ", "1", "15", false, 75},
        {"3", "", "", false, 180},
        {"05/03/2008 14:07:00", "", "", false, 847},
        {"30:15", "9", "9", true, 1815},
        {"2", "", "", true, 120},
        {"1:5", "", "", true, 65},
    };
    for (const Caso& c : casos) {
        EXPECT_DOUBLE_EQ(core::ConvierteAMinutos(QString::fromUtf8(c.hora), QString::fromUtf8(c.horas),
                                                 QString::fromUtf8(c.minutos), c.dosPuntos)
                             .toDouble(),
                         c.esperado)
            << c.hora;
    }
}

TEST_F(HelpersTest, BuscaEnListaGlobalComparesCleanedTrimmedKeysIgnoringCase) {
    EXPECT_THROW(core::BuscaEnListaGlobal(QStringLiteral("ABC")), vb::Error);   // never dimensioned
    core::gListaGlobal = {{QStringLiteral("x"), QString()},
                          {QStringLiteral("  abc  "), QStringLiteral("1")},
                          {QStringLiteral("ABC"), QString()},
                          {QStringLiteral("de") + vb::Chr(255) + QStringLiteral("f") + vb::Chr(0), QString()}};
    EXPECT_EQ(core::BuscaEnListaGlobal(QStringLiteral(" ABC ")), 1);
    EXPECT_EQ(core::BuscaEnListaGlobal(QStringLiteral("DEF")), 3);
    EXPECT_EQ(core::BuscaEnListaGlobal(QStringLiteral("zz")), -1);
}

TEST_F(HelpersTest, LimpiaCaracteresRemovesSeparatorsAndTrims) {
    const QString sucio = QStringLiteral("  L1") + vb::Chr(255) + QStringLiteral("L2") + vb::Chr(0) + QStringLiteral("\n  ");
    EXPECT_EQ(core::LimpiaCaracteres(vb::Variant(sucio)), QStringLiteral("L1L2"));
    EXPECT_EQ(core::LimpiaCaracteres(vb::Variant(12.5)), QStringLiteral("12.5"));
}

TEST_F(HelpersTest, ArmaCondicionWhereKeepsEveryPartsBlanks) {
    const QString col = QStringLiteral(" idarticulo ");
    const QString op = QStringLiteral("=");
    const QString con = QStringLiteral(" OR ");
    const QString q = QStringLiteral("'");
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {QStringLiteral("A1"), QStringLiteral("A2")}, con, q, vb::Variant(false), false),
              QStringLiteral(" idarticulo ='A1' OR  idarticulo ='A2'"));
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {QStringLiteral("A1"), QStringLiteral(" "), QStringLiteral("A2")}, con, q,
                                       vb::Variant(true), true),
              QStringLiteral(" idarticulo ='A1' OR  idarticulo ='A2' OR  idarticulo  is null "));
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {QStringLiteral(" ")}, con, q, vb::Variant(vb::Null), true),
              QStringLiteral(" idarticulo =' '"));
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {}, con, q, vb::Variant(true), true), QStringLiteral("1=1"));
    // Include-null text that is no Boolean is an error: everything matches.
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {QStringLiteral("A1")}, con, q, vb::Variant("x"), false), QStringLiteral("1=1"));
    // A code holding a quote stays one literal; without quotes the values go as they are.
    EXPECT_EQ(core::ArmaCondicionWhere(col, op, {QStringLiteral("O'1"), QStringLiteral("A2'")}, con, q, vb::Variant(false), false),
              QStringLiteral(" idarticulo ='O''1' OR  idarticulo ='A2'''"));
    EXPECT_EQ(core::ArmaCondicionWhere(QStringLiteral("n"), op, {QStringLiteral("1"), QStringLiteral("2")}, con, QString(),
                                       vb::Variant(false), false),
              QStringLiteral("n=1 OR n=2"));
}

TEST_F(HelpersTest, BuscaEnArreglo) {
    const QStringList v{QStringLiteral("L1"), QStringLiteral("l2")};
    EXPECT_EQ(core::BuscaEnArreglo(v, QStringLiteral("L2"), 0), 1);
    EXPECT_EQ(core::BuscaEnArreglo(v, QStringLiteral("L2"), 2), -1);
    EXPECT_EQ(core::BuscaEnArreglo(v, QStringLiteral("L1 "), 0), -1);   // not trimmed
    EXPECT_THROW(core::BuscaEnArreglo({}, QStringLiteral("L1"), 0), vb::Error);
}

TEST_F(HelpersTest, ArmaListaValuesAppendsNamesAndValuesWithoutBlanks) {
    core::ListaCamposValores pares{{QStringLiteral("TC"), QStringLiteral("'TK  '")},
                                   {QStringLiteral("IdComprobante"), QStringLiteral("'00010000123C'")}};
    QString sql = QStringLiteral("INSERT INTO V_MV_STOCK");
    core::ArmaListaValues(sql, pares, false);
    EXPECT_EQ(sql, QStringLiteral("INSERT INTO V_MV_STOCK(TC,IdComprobante) VALUES ('TK  ','00010000123C')"));
    EXPECT_EQ(pares.size(), 2u);

    core::ListaCamposValores uno{{QStringLiteral("A"), QStringLiteral("1")}};
    QString s2 = QStringLiteral("INSERT INTO MV_ASIENTOS ");
    core::ArmaListaValues(s2, uno, true);
    EXPECT_EQ(s2, QStringLiteral("INSERT INTO MV_ASIENTOS (A) VALUES (1)"));
    EXPECT_TRUE(uno.empty());
    EXPECT_THROW(core::ArmaListaValues(s2, uno, true), vb::Error);
}

}  // namespace

namespace {

// The forms the window's date field takes, each read as the one day it names, and those it
// refuses, as the operator's guide lists them.
TEST(LeeFecha, DayFirstOrYearFirstWithAFourDigitYear) {
    for (const char* t : {"05/03/2008", "5/3/2008", "05-03-2008", "2008-03-05", "2008/03/05", "2008/3/5", " 05/03/2008 "})
        EXPECT_EQ(core::LeeFecha(QString::fromLatin1(t)), QDate(2008, 3, 5)) << t;
    EXPECT_EQ(core::LeeFecha(QStringLiteral("01/01/1753")), QDate(1753, 1, 1));
    for (const char* t : {"05/03/08", "05/03", "05/03/2008 10:00", "31/02/2008", "31/12/1752", "05/03-2008", "2008-3", "", "hoy"})
        EXPECT_EQ(core::LeeFecha(QString::fromLatin1(t)), std::nullopt) << t;
}

}  // namespace
