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

}  // namespace
