#include "platform/utillib/util_texto.h"

#include "platform/vb/runtime.h"

#include <gtest/gtest.h>

namespace {

using utillib::UtilTexto;

struct NumeroCaso {
    const char* texto;
    double esperado;
};

TEST(UtilTextoNumeros, TextsReadAsNumbers) {
    const NumeroCaso casos[] = {
        {"12.5", 12.5}, {" 12.5 ", 12.5}, {"-3", -3}, {"12,5", 12.5}, {"1,234.5", 1234.5}, {"1,234,567", 1234567},
        {".5", 0.5},    {"1e3", 1000},    {"", 0},    {"   ", 0},     {"abc", 0},          {"12abc", 0},
        {"1.2.3", 0},
    };
    UtilTexto ut;
    for (const auto& c : casos) {
        EXPECT_DOUBLE_EQ(ut.ADoble(QString::fromUtf8(c.texto)), c.esperado) << c.texto;
        EXPECT_DOUBLE_EQ(ut.ANumero(QString::fromUtf8(c.texto)).toDouble(), c.esperado) << c.texto;
    }
}

TEST(UtilTextoNumeros, AmountsKeepFourDecimalsAndValuesPassThrough) {
    UtilTexto ut;
    EXPECT_EQ(ut.ANumero(QStringLiteral("1.23456")).raw(), 12346);
    EXPECT_EQ(ut.ANumero(vb::Variant(2.5)).raw(), 25000);
    EXPECT_EQ(ut.ANumero(vb::Variant(vb::Null)).raw(), 0);
    EXPECT_DOUBLE_EQ(ut.ADoble(vb::Variant(7)), 7.0);
    EXPECT_DOUBLE_EQ(ut.ADoble(vb::Variant(vb::Null)), 0.0);
    EXPECT_EQ(ut.AEntero(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ut.AEntero(QStringLiteral("3.5")), 4);
}

TEST(UtilTextoTextos, NullSafeValuesAndText) {
    UtilTexto ut;
    EXPECT_EQ(ut.ValorNoNulo(vb::Variant(vb::Null)).text(), QString());
    EXPECT_FALSE(ut.ValorNoNulo(vb::Variant(vb::Null)).isNull());
    EXPECT_EQ(ut.ValorNoNulo(vb::Variant(5)).toLong(), 5);
    EXPECT_EQ(ut.ATexto(vb::Variant(vb::Null)), QString());
    EXPECT_EQ(ut.ATexto(vb::Variant(QStringLiteral("L1"))), QStringLiteral("L1"));
}

TEST(UtilTextoTextos, RellenaBringsCodesToTheColumnWidth) {
    UtilTexto ut;
    EXPECT_EQ(ut.Rellena(QStringLiteral("TK"), 4), QStringLiteral("TK  "));
    EXPECT_EQ(ut.Rellena(QStringLiteral("A1"), 25).size(), 25);
    EXPECT_TRUE(ut.Rellena(QStringLiteral("A1"), 25).startsWith(QStringLiteral("A1 ")));
    // A longer text, such as an already quoted literal, is kept whole.
    EXPECT_EQ(ut.Rellena(QStringLiteral("'0001'"), 4), QStringLiteral("'0001'"));
    EXPECT_EQ(ut.Rellena(QStringLiteral("FC")), QStringLiteral("FC  "));
    EXPECT_EQ(ut.Rellena(vb::Variant(vb::Null), 4), QStringLiteral("    "));
}

TEST(UtilTextoTextos, ReemplazaReplacesAndRemoves) {
    UtilTexto ut;
    const QString sep255 = vb::Chr(255);
    const QString sep0 = QString(QChar(0));
    struct Caso {
        QString texto, busca;
        std::optional<QString> reemplazo, cuarto;
        QString esperado;
    } casos[] = {
        {QStringLiteral("O'Brien"), QStringLiteral("'"), std::nullopt, std::nullopt, QStringLiteral("OBrien")},
        {QStringLiteral("= ERP="), QStringLiteral("="), std::nullopt, std::nullopt, QStringLiteral(" ERP")},
        {QStringLiteral("a.b.c"), QStringLiteral("."), QStringLiteral(","), std::nullopt, QStringLiteral("a,b,c")},
        {QStringLiteral("L1") + sep255 + QStringLiteral("S1") + sep0, sep255, sep0, std::nullopt,
         QStringLiteral("L1S1")},
        {sep0 + QStringLiteral("X") + sep255 + QStringLiteral("\n"), sep0, sep255, QStringLiteral("\n"),
         QStringLiteral("X")},
        {QStringLiteral("sin cambios"), sep0, sep255, std::nullopt, QStringLiteral("sin cambios")},
    };
    for (const auto& c : casos)
        EXPECT_EQ(ut.Reemplaza(c.texto, c.busca, c.reemplazo, c.cuarto), c.esperado) << qPrintable(c.texto);
    EXPECT_EQ(ut.ReemplazaValor(QStringLiteral("|A|B|"), QStringLiteral("|"), QStringLiteral(",")),
              QStringLiteral(",A,B,"));
    EXPECT_EQ(ut.ReemplazaValor(vb::Variant(QStringLiteral("1,5")), QStringLiteral(","), QStringLiteral(".")),
              QStringLiteral("1.5"));
}

TEST(UtilTextoTextos, ListsQuotesFoldersAndWords) {
    UtilTexto ut;
    const QStringList tipos{QStringLiteral("AJP"), QStringLiteral("AJN"), QStringLiteral("VS"), QStringLiteral("IR")};
    bool resultado = false;
    EXPECT_TRUE(ut.EstaEnLista(QStringLiteral("vs  "), tipos, resultado));
    EXPECT_TRUE(resultado);
    EXPECT_FALSE(ut.EstaEnLista(QStringLiteral("TK"), tipos, resultado));
    EXPECT_FALSE(resultado);

    EXPECT_EQ(ut.QuitaComillas(QStringLiteral("'OC  '")), QStringLiteral("OC"));
    EXPECT_EQ(ut.QuitaComillas(QStringLiteral("RM")), QStringLiteral("RM"));

    EXPECT_EQ(ut.AgregaBarra(QStringLiteral("/opt/korvane")), QStringLiteral("/opt/korvane/"));
    EXPECT_EQ(ut.AgregaBarra(QStringLiteral("/opt/korvane/")), QStringLiteral("/opt/korvane/"));
    EXPECT_EQ(ut.AgregaBarra(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(ut.AgregaBarra(QString()), QString());

    EXPECT_EQ(ut.CuentaPalabras(QStringLiteral("LEN")), 1);
    EXPECT_EQ(ut.CuentaPalabras(QStringLiteral("  SELECT  LEN(X)\tFROM T ")), 4);
    EXPECT_EQ(ut.CuentaPalabras(QString()), 0);
}

TEST(UtilTextoTextos, StoredLoginValuesDecodeBack) {
    UtilTexto ut;
    for (const QString& s : {QStringLiteral("Brontal"), QStringLiteral("clave con ñ y |"), QString()}) {
        const QString codificado = ut.CodificaTexto(s);
        if (!s.isEmpty()) {
            EXPECT_NE(codificado, s);
        }
        EXPECT_FALSE(codificado.contains(u'=') || codificado.contains(u';') || codificado.contains(u'|'));
        EXPECT_EQ(ut.DecodificaTexto(codificado), s);
    }
    EXPECT_EQ(ut.DecodificaTexto(QStringLiteral("sa")), QStringLiteral("sa"));
    EXPECT_EQ(ut.DecodificaTexto(QStringLiteral("+1AB")), QStringLiteral("+1AB"));
}

}  // namespace
