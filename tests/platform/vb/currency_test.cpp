// Currency: four fixed decimals in a 64-bit integer, overflow raised as the runtime does.
#include "qstring_printer.h"
#include "platform/vb/currency.h"
#include "platform/vb/error.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using testsupport::ErrorNumberOf;

TEST(Currency, SumsAndDifferencesAtTheEdgesOfTheRange) {
    using vb::Currency;
    const Currency max = Currency::fromRaw(INT64_MAX), min = Currency::fromRaw(INT64_MIN);
    const Currency tick = Currency::fromRaw(1);
    EXPECT_EQ((max - tick + tick).raw(), INT64_MAX);
    EXPECT_EQ((min + tick - tick).raw(), INT64_MIN);
    EXPECT_EQ(ErrorNumberOf([&] { (void)(max + tick); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { (void)(min - tick); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { (void)(tick - min); }), vb::kErrOverflow);
    EXPECT_EQ(min.toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ((Currency::fromDouble(0.1) + Currency::fromDouble(0.2)).toString(), QStringLiteral("0.3"));
}

TEST(Currency, ProductsRoundToFourDecimalsHalvesToEven) {
    using vb::Currency;
    const auto c = [](const char* t) { Currency r; EXPECT_TRUE(Currency::parse(QString::fromLatin1(t), &r)); return r; };
    for (const auto& [a, b, producto] : {std::tuple{"2.5", "-80.25", "-200.625"}, {"0.0001", "0.5", "0"},
                                         {"0.0003", "0.5", "0.0002"}, {"-0.0003", "0.5", "-0.0002"}})
        EXPECT_EQ((c(a) * c(b)).toString(), QString::fromLatin1(producto)) << a << " * " << b;
    EXPECT_EQ(ErrorNumberOf([&] { (void)(Currency::fromInt(1000000000) * Currency::fromInt(1000000000)); }), vb::kErrOverflow);
}

}  // namespace
