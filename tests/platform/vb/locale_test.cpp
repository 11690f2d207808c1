// The runtime reads and writes numbers with a point whatever the process's locale: a desktop
// with a decimal comma gets the same texts as any other.
#include "qstring_printer.h"
#include "platform/vb/currency.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"
#include "support/comma_locale.h"

#include <gtest/gtest.h>

namespace {

TEST(RuntimeLocale, NumbersKeepTheirPointUnderADecimalComma) {
    testsupport::CommaLocale comma;
    struct Case { double value; const char* pattern; const char* expected; };
    const Case formats[] = {
        {123.45, "0.00E+00", "1.23E+02"},
        {0.000123, "Scientific", "1.23E-04"},
        {2.5, "0.00", "2.50"},
        {1234.5, "#,##0.00", "1,234.50"},
        {0.125, "Percent", "12.50%"},
        {1234.5, "General Number", "1234.5"},
    };
    for (const Case& c : formats) {
        EXPECT_EQ(vb::Format(vb::Variant(c.value), QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.value << " " << c.pattern;
    }
    EXPECT_DOUBLE_EQ(vb::Val("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(vb::Val(" -1.5E3 "), -1500);
    EXPECT_DOUBLE_EQ(vb::Val("2,5"), 2);   // a comma ends the number
    EXPECT_DOUBLE_EQ(vb::CDbl(vb::Variant(QStringLiteral("45.75"))), 45.75);
    EXPECT_EQ(vb::Variant(2.5).toString(), "2.5");
    EXPECT_EQ(vb::Str(-0.5), "-.5");
    EXPECT_EQ(vb::Variant(QStringLiteral("12.3456")).toCurrency(), vb::Currency::fromRaw(123456));
    EXPECT_EQ(vb::Currency::fromRaw(123456).toString(), "12.3456");
    EXPECT_DOUBLE_EQ(vb::Round(1.23456, 3), 1.235);
}

}  // namespace
