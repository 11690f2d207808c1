// Texts from files, settings and the operator read by the runtime: numbers, dates, format
// patterns and the 8-bit code page. Damaged and random texts end in a value or a runtime error
// with a description, never in a crash or a read outside the text.
#include "platform/vb/currency.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "platform/vb/variant.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

class Mutador {
public:
    explicit Mutador(uint32_t semilla) : rng_(semilla) {}
    uint32_t menor(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }

    QString piezas(const char* const* lista, size_t n, int cuantas) {
        QString s;
        for (int i = 0; i < cuantas; ++i) s += QString::fromUtf8(lista[menor(static_cast<uint32_t>(n))]);
        return s;
    }
    QString alAzar(int maximo) {
        QString s;
        const int n = static_cast<int>(menor(static_cast<uint32_t>(maximo) + 1));
        for (int i = 0; i < n; ++i) {
            switch (menor(4)) {
            case 0: s += QChar(static_cast<char16_t>(menor(0x10000))); break;   // surrogates too
            case 1: s += QChar(static_cast<char16_t>(menor(256))); break;
            default: s += QLatin1Char("0123456789.,-+eEdD&HhOo $%/: \t'\"#"[menor(34)]); break;
            }
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

const char* const kPiezasNumero[] = {"0", "1", "9", "99999999999999999999", ".", ",", "-", "+", " ", "e", "E", "D",
                                     "e+308", "e-400", "&H", "&O", "&HFFFFFFFF", "&H7FFF", "&O777", "$", "%", "\t",
                                     "1e999", "nan", "inf", "\xC2\xA0", "0x", "1,234.5", "\n"};
const char* const kPiezasFecha[] = {"0", "1", "12", "31", "29", "2", "2008", "99", "1899", "10000", "/", "-", ".", " ",
                                    ":", "23", "59", "60", "AM", "PM", "T", "Z", "ene", "feb", "diciembre", ",",
                                    "99999999999", "-1", "00", "\t", "1753"};
const char* const kPiezasFormato[] = {"0", "#", ".", ",", "%", "E+", "E-", "e+", "dd", "d", "ddd", "dddd", "ddddd",
                                      "mm", "mmm", "mmmm", "m", "yy", "yyyy", "y", "hh", "h", "nn", "n", "ss", "s",
                                      "AM/PM", "am/pm", "A/P", "@", "&", "<", ">", "!", "\\", "\"", "\"x\"", ";",
                                      "/", ":", "c", "w", "ww", "q", "General Number", "Currency", "Fixed",
                                      "Standard", "Percent", "Scientific", "Yes/No", "True/False", "On/Off",
                                      "Short Date", "Long Date", "Short Time", "Long Time", "General Date", "-",
                                      "(", ")", "$", " ", "*", "_", "0000000000000000000000000000000000000000"};

vb::Variant ValorAlAzar(Mutador& m) {
    static const double especiales[] = {0.0, -0.0, 1.0, -1.0, 0.5, 1e300, -1e300, 1e-300, 2147483648.0,
                                        -2147483649.0, 9.2e18, -9.3e18, 1e15 + 0.5, 2958465.99999,
                                        -657434.0, -657435.0, 3e6, std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    const double d = especiales[m.menor(sizeof especiales / sizeof *especiales)];
    switch (m.menor(9)) {
    case 0: return vb::Variant(d);
    case 1: return vb::Variant(vb::Date{d});
    case 2: return vb::Variant(vb::Currency::fromRaw(static_cast<int64_t>(m.menor(0xFFFFFFFFu)) * (m.menor(2) ? 1 : -1) *
                                                    (m.menor(2) ? 1 : 2147483647LL)));
    case 3: return vb::Variant(m.alAzar(30));
    case 4: return vb::Variant(vb::Null);
    case 5: return vb::Variant();
    case 6: return vb::Variant(m.menor(2) == 1);
    case 7: return vb::Variant(static_cast<long long>(m.menor(0xFFFFFFFFu)) * (m.menor(2) ? -1 : 1) * 1000003LL);
    default: return vb::Variant(static_cast<int>(m.menor(100000)) - 50000);
    }
}

// A runtime error that reaches the caller says what went wrong.
template <typename F>
void ValorOError(F&& f) {
    try {
        f();
    } catch (const vb::Error& e) {
        EXPECT_NE(e.number(), 0);
        EXPECT_FALSE(e.description().trimmed().isEmpty()) << e.number();
    }
}

TEST(VbRobustness, NumbersFromAnyText) {
    Mutador m(1998);
    for (int i = 0; i < 4000; ++i) {
        const QString t = i % 2 ? m.alAzar(40) : m.piezas(kPiezasNumero, sizeof kPiezasNumero / sizeof *kPiezasNumero,
                                                         1 + static_cast<int>(m.menor(8)));
        SCOPED_TRACE(t.toStdString());
        ValorOError([&] { (void)vb::Val(t); });   // "&H" and "&O" beyond 32 bits: Overflow
        (void)vb::IsNumeric(vb::Variant(t));
        vb::Currency c;
        (void)vb::Currency::parse(t, &c);
        ValorOError([&] { (void)vb::CInt(vb::Variant(t)); });
        ValorOError([&] { (void)vb::CLng(vb::Variant(t)); });
        ValorOError([&] { (void)vb::CDbl(vb::Variant(t)); });
    }
}

TEST(VbRobustness, DatesFromAnyText) {
    Mutador m(2008);
    for (int i = 0; i < 4000; ++i) {
        const QString t = i % 2 ? m.alAzar(30) : m.piezas(kPiezasFecha, sizeof kPiezasFecha / sizeof *kPiezasFecha,
                                                         1 + static_cast<int>(m.menor(9)));
        SCOPED_TRACE(t.toStdString());
        vb::Date d;
        if (vb::ParseDate(t, &d)) {
            EXPECT_TRUE(std::isfinite(d.serial));
            (void)vb::Year(d);
            (void)vb::Weekday(d);
        }
        (void)vb::IsDate(vb::Variant(t));
        ValorOError([&] { (void)vb::CDate(vb::Variant(t)); });
    }
}

TEST(VbRobustness, FormatWithAnyPattern) {
    Mutador m(1252);
    for (int i = 0; i < 4000; ++i) {
        const QString patron = i % 4 == 0 ? m.alAzar(20)
                                          : m.piezas(kPiezasFormato, sizeof kPiezasFormato / sizeof *kPiezasFormato,
                                                     static_cast<int>(m.menor(7)));
        const vb::Variant v = ValorAlAzar(m);
        SCOPED_TRACE(patron.toStdString());
        ValorOError([&] { (void)vb::Format(v, patron); });
    }
}

TEST(VbRobustness, CodePageBothWays) {
    Mutador m(437);
    for (int i = 0; i < 3000; ++i) {
        QByteArray b;
        const int n = static_cast<int>(m.menor(64));
        for (int k = 0; k < n; ++k) b += static_cast<char>(m.menor(256));
        const QString t = vb::FromCp1252(b);
        EXPECT_EQ(t.size(), b.size());
        // every byte has its character and comes back from it
        EXPECT_EQ(vb::ToCp1252(t), b);
        const QString u = m.alAzar(40);
        const QByteArray c = vb::ToCp1252(u);
        (void)vb::FixedText(u, static_cast<int>(m.menor(30)));
        for (QChar ch : u) {
            const int code = vb::Cp1252Code(ch);
            EXPECT_GE(code, -1);
            EXPECT_LE(code, 255);
        }
        (void)c;
    }
    for (int code : {-1, 0, 255, 256, 1000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        ValorOError([&] { (void)vb::Chr(code); });
    }
}

// Very long texts are read in one pass: no hang, no deep recursion.
TEST(VbRobustness, VeryLongTexts) {
    for (const char* pieza : {"9", "0.", "-", "&H", "1/", "\"", "\\", "#", "0", "dd/", "@", "E+", ";", " "}) {
        const QString t = QString::fromLatin1(pieza).repeated(50000);
        SCOPED_TRACE(pieza);
        ValorOError([&] { (void)vb::Val(t); });
        vb::Date d;
        (void)vb::ParseDate(t, &d);
        ValorOError([&] { (void)vb::Format(vb::Variant(1234.5), t); });
        ValorOError([&] { (void)vb::Format(vb::Variant(t), QStringLiteral("@@@")); });
        ValorOError([&] { (void)vb::Format(vb::Variant(vb::Date{39500.5}), t); });
    }
}

}  // namespace
