// Texts from files, settings and the operator read by the runtime: numbers, dates, format
// patterns and the 8-bit code page. A damaged or random text is read into a value, or raises
// the runtime error its reader documents, and the readers agree with each other on it.
#include "platform/vb/currency.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "platform/vb/variant.h"
#include "support/mutator.h"
#include "support/test_support.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace {

using testsupport::ErrorNumberOf;

const char kAlfabeto[] = "0123456789.,-+eEdD&HhOo $%/: \t'\"#";

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

vb::Variant ValorAlAzar(testsupport::Mutator& m) {
    static const double especiales[] = {0.0, -0.0, 1.0, -1.0, 0.5, 1e300, -1e300, 1e-300, 2147483648.0,
                                        -2147483649.0, 9.2e18, -9.3e18, 1e15 + 0.5, 2958465.99999,
                                        -657434.0, -657435.0, 3e6, std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    const double d = m.uno(especiales);
    switch (m.menor(9)) {
    case 0: return vb::Variant(d);
    case 1: return vb::Variant(vb::Date{d});
    case 2: return vb::Variant(vb::Currency::fromRaw(static_cast<int64_t>(m.menor(0xFFFFFFFFu)) * (m.menor(2) ? 1 : -1) *
                                                    (m.menor(2) ? 1 : 2147483647LL)));
    case 3: return vb::Variant(m.texto(30, kAlfabeto));
    case 4: return vb::Variant(vb::Null);
    case 5: return vb::Variant();
    case 6: return vb::Variant(m.menor(2) == 1);
    case 7: return vb::Variant(static_cast<long long>(m.menor(0xFFFFFFFFu)) * (m.menor(2) ? -1 : 1) * 1000003LL);
    default: return vb::Variant(static_cast<int>(m.menor(100000)) - 50000);
    }
}

// The call returns, or raises one of the numbers given; gives the number (0 when it returned).
template <typename F>
long SoloErrores(std::initializer_list<long> documentados, F&& f) {
    const long n = ErrorNumberOf(f);
    EXPECT_TRUE(n == 0 || std::find(documentados.begin(), documentados.end(), n) != documentados.end()) << n;
    return n;
}

// Val reads a number or overflows; CDbl, CInt and CLng refuse exactly what IsNumeric refuses,
// and Currency reads the number CDbl reads.
TEST(VbRobustness, NumbersFromAnyText) {
    testsupport::Mutator m(1998);
    for (int i = 0; i < 4000; ++i) {
        const QString t = i % 2 ? m.texto(40, kAlfabeto)
                                : QString::fromUtf8(m.piezas(kPiezasNumero, 1 + static_cast<int>(m.menor(8))));
        SCOPED_TRACE(t.toStdString());
        SoloErrores({vb::kErrOverflow}, [&] { EXPECT_FALSE(std::isnan(vb::Val(t))); });
        const bool numero = vb::IsNumeric(vb::Variant(t));
        double leido = 0;
        const long cdbl = SoloErrores({vb::kErrOverflow, vb::kErrTypeMismatch}, [&] { leido = vb::CDbl(vb::Variant(t)); });
        EXPECT_EQ(cdbl == vb::kErrTypeMismatch, !numero);
        const long cint = SoloErrores({vb::kErrOverflow, vb::kErrTypeMismatch}, [&] { (void)vb::CInt(vb::Variant(t)); });
        const long clng = SoloErrores({vb::kErrOverflow, vb::kErrTypeMismatch}, [&] { (void)vb::CLng(vb::Variant(t)); });
        EXPECT_EQ(cint == vb::kErrTypeMismatch, !numero);
        EXPECT_EQ(clng == vb::kErrTypeMismatch, !numero);
        vb::Currency c;
        if (vb::Currency::parse(t, &c) && cdbl == 0) {
            EXPECT_NEAR(c.toDouble(), leido, 1e-4 + std::fabs(leido) * 1e-12);
        }
    }
}

// A text is a date for IsDate exactly when CDate reads it, into the same day and time.
TEST(VbRobustness, DatesFromAnyText) {
    testsupport::Mutator m(2008);
    for (int i = 0; i < 4000; ++i) {
        const QString t = i % 2 ? m.texto(30, kAlfabeto)
                                : QString::fromUtf8(m.piezas(kPiezasFecha, 1 + static_cast<int>(m.menor(9))));
        SCOPED_TRACE(t.toStdString());
        vb::Date d;
        const bool fecha = vb::ParseDate(t, &d);
        EXPECT_EQ(vb::IsDate(vb::Variant(t)), fecha);
        vb::Date c;
        const long cdate = SoloErrores({vb::kErrTypeMismatch}, [&] { c = vb::CDate(vb::Variant(t)); });
        EXPECT_EQ(cdate == vb::kErrTypeMismatch, !fecha);
        if (fecha) {
            EXPECT_TRUE(std::isfinite(d.serial));
            EXPECT_EQ(c.serial, d.serial);
        }
    }
}

// Any value with any pattern gives a text or raises an error of Format's own; a text that is
// neither a number nor a date comes back unchanged from any pattern but a text pattern (one that
// holds @ & < > or !).
TEST(VbRobustness, FormatWithAnyPattern) {
    testsupport::Mutator m(1252);
    for (int i = 0; i < 4000; ++i) {
        const QString patron = i % 4 == 0 ? m.texto(20, kAlfabeto)
                                          : QString::fromUtf8(m.piezas(kPiezasFormato, static_cast<int>(m.menor(7))));
        const vb::Variant v = ValorAlAzar(m);
        SCOPED_TRACE(patron.toStdString());
        QString texto;
        SoloErrores({vb::kErrOverflow, vb::kErrInvalidProcedureCall}, [&] { texto = vb::Format(v, patron); });
        const bool textPattern = std::any_of(patron.begin(), patron.end(), [](QChar c) {
            return c == u'@' || c == u'&' || c == u'<' || c == u'>' || c == u'!';
        });
        if (v.isString() && !vb::IsNumeric(v) && !vb::IsDate(v) && !textPattern) {
            EXPECT_EQ(texto, v.toString());
        }
    }
}

TEST(VbRobustness, CodePageBothWays) {
    testsupport::Mutator m(437);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray b = m.bytes(64);
        const QString t = vb::FromCp1252(b);
        EXPECT_EQ(t.size(), b.size());
        // every byte has its character and comes back from it
        EXPECT_EQ(vb::ToCp1252(t), b);
        const QString u = m.texto(40, kAlfabeto);
        const int largo = static_cast<int>(m.menor(30));
        EXPECT_EQ(vb::FixedText(u, largo).size(), largo);
        for (QChar ch : u) {
            const int code = vb::Cp1252Code(ch);
            EXPECT_GE(code, -1);
            EXPECT_LE(code, 255);
            if (code >= 0) {
                EXPECT_EQ(vb::Chr(code), QString(ch));
            }
        }
    }
    for (int code : {-1, 256, 1000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
        EXPECT_EQ(ErrorNumberOf([&] { (void)vb::Chr(code); }), vb::kErrInvalidProcedureCall) << code;
}

// Very long texts are read in one pass: no hang, no deep recursion, and a number too long for
// the range overflows.
TEST(VbRobustness, VeryLongTexts) {
    for (const char* pieza : {"9", "0.", "-", "&H", "1/", "\"", "\\", "#", "0", "dd/", "@", "E+", ";", " "}) {
        const QString t = QString::fromLatin1(pieza).repeated(50000);
        SCOPED_TRACE(pieza);
        SoloErrores({vb::kErrOverflow}, [&] { (void)vb::Val(t); });
        vb::Date d;
        EXPECT_FALSE(vb::ParseDate(t, &d));
        for (const auto& [valor, patron] : {std::pair{vb::Variant(1234.5), t}, std::pair{vb::Variant(t), QStringLiteral("@@@")},
                                            std::pair{vb::Variant(vb::Date{39500.5}), t}})
            SoloErrores({vb::kErrOverflow, vb::kErrInvalidProcedureCall}, [&] { (void)vb::Format(valor, patron); });
    }
    EXPECT_EQ(ErrorNumberOf([] { (void)vb::Val(QStringLiteral("9").repeated(50000)); }), vb::kErrOverflow);
}

}  // namespace
