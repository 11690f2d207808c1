#include "platform/dts/column_conversion.h"
#include "platform/dts/dts.h"
#include "platform/vb/dates.h"

#include <gtest/gtest.h>

namespace {

using dts::ColumnSpec;

ColumnSpec Col(long type, long size = 0, long precision = 0, long scale = 0, long flags = 24) {
    ColumnSpec c;
    c.name = "C";
    c.dataType = type;
    c.size = size;
    c.precision = precision;
    c.numericScale = scale;
    c.flags = flags;
    return c;
}

struct Case {
    const char* what;
    vb::Variant in;
    ColumnSpec source;
    ColumnSpec destination;
    bool ok;
    QString expected;   // the written value as text (String, or the number's plain text)
    long flags = 63;
};

QString Plain(const vb::Variant& v) {
    dts::Decimal d;
    if (!v.isString() && dts::VariantDecimal(v, &d))
        return dts::DecimalText(d, false);
    return v.text();
}

TEST(DtsConversion, ValuesIntoTheDestinationColumn) {
    const ColumnSpec text200 = Col(dts::DBTYPE_STR, 200, 0, 0, 96);
    const ColumnSpec wtext25 = Col(dts::DBTYPE_WSTR, 25, 0, 0, 96);
    const Case cases[] = {
        {"text cut to the column", QString("ABCDEFGHIJKL"), text200, Col(129, 10), true, "ABCDEFGHIJ"},
        {"text cut refused without the truncation flag", QString("ABCDEFGHIJKL"), text200, Col(129, 10), false, "", 0},
        {"trailing blanks cut even without it", QString("ABCDEFGHIJ   "), text200, Col(129, 10), true, "ABCDEFGHIJ", 0},
        {"a key is not rounded to fit", QString("779.5"), wtext25, Col(131, 0, 13, 0), false, "", 63 - 16},
        {"double into text", 12.0, Col(5), Col(129, 6), true, "12"},
        {"double with decimals into text", 2.25, Col(5), Col(129, 6), true, "2.25"},
        {"Boolean into text", true, Col(11), Col(129, 1), true, "1"},
        {"Boolean read as a number", 0, Col(11), Col(129, 1), true, "0"},
        {"date-time into 8 characters", vb::DateSerial(2026, 12, 8), Col(135), Col(129, 8), true, "20261208"},
        {"stored date text into 8 characters", QString("2026-03-05 10:20:00"), Col(135), Col(129, 8), true, "20260305"},
        {"currency rounded half away from zero", vb::Currency::fromRaw(12345675), Col(6), Col(131, 0, 18, 3), true, "1234.568"},
        {"negative rounded half away from zero", vb::Currency::fromRaw(-12345675), Col(6), Col(131, 0, 18, 3), true, "-1234.568"},
        {"double rounded to the scale", 0.0005, Col(5), Col(131, 0, 10, 3), true, "0.001"},
        {"too many integer digits", 12345678.5, Col(5), Col(131, 0, 10, 3), false, ""},
        {"text number trimmed", QString(" 12.5 "), Col(129, 1), Col(131, 0, 10, 3), true, "12.5"},
        {"text that is not a number", QString("x"), Col(129, 1), Col(131, 0, 10, 3), false, ""},
        {"blank text is not a number", QString(" "), Col(129, 1), Col(131, 0, 10, 3), false, ""},
        {"13-digit barcode", QString("7791234567890"), wtext25, Col(131, 0, 13, 0), true, "7791234567890"},
        {"14-digit barcode into 13 digits", QString("77912345678901"), wtext25, Col(131, 0, 13, 0), false, ""},
        {"14-digit pack code", QString("17791234567890"), wtext25, Col(131, 0, 14, 0), true, "17791234567890"},
        {"one-character text into integer", QString("7"), Col(129, 1), Col(3), true, "7"},
        {"decimal text into integer", QString("7.5"), Col(129, 1), Col(3), false, ""},
        {"text into Boolean", QString("1"), Col(129, 1), Col(11), true, "1"},
        {"zero text into Boolean", QString("0"), Col(129, 1), Col(11), true, "0"},
        {"letter into Boolean", QString("S"), Col(129, 1), Col(11), false, ""},
        {"Null into a nullable column", vb::Null, text200, Col(129, 13, 0, 0, 120), true, ""},
        {"Null into a column without the nullable flag", vb::Null, text200, Col(129, 13), false, ""},
        {"Null into a numeric without the nullable flag", vb::Null, Col(6, 0, 0, 0, 120), Col(131, 0, 18, 3), false, ""},
        {"text into a date-time", QString("2026-12-08 00:00:00"), Col(135), Col(135), true, ""},
        {"a word into a date-time", QString("mañana"), Col(135), Col(135), false, ""},
    };
    for (const auto& c : cases) {
        vb::Variant out;
        QString why;
        const bool ok = dts::ConvertColumnValue(c.in, c.source, c.destination, c.flags, &out, &why);
        EXPECT_EQ(ok, c.ok) << c.what << ": " << why.toStdString();
        if (ok && !c.expected.isEmpty()) {
            EXPECT_EQ(Plain(out), c.expected) << c.what;
        }
        if (!ok) {
            EXPECT_FALSE(why.isEmpty()) << c.what;
        }
    }
}

TEST(DtsConversion, EighteenDigitsStayExact) {
    // 922337203685477.5807 has 19 digits: no double holds it.
    vb::Variant out;
    QString why;
    ASSERT_TRUE(dts::ConvertColumnValue(vb::Currency::fromRaw(9223372036854775807LL), Col(6), Col(131, 0, 18, 3), 63,
                                        &out, &why))
        << why.toStdString();
    EXPECT_EQ(out.text(), "922337203685477.581");

    ASSERT_TRUE(dts::ConvertColumnValue(QString("123456789012345.6785"), Col(129, 30), Col(131, 0, 18, 3), 63, &out, &why));
    EXPECT_EQ(out.text(), "123456789012345.679");
    EXPECT_FALSE(dts::ConvertColumnValue(QString("1234567890123456.1"), Col(129, 30), Col(131, 0, 18, 3), 63, &out, &why));
}

TEST(DtsConversion, DecimalTextAndRounding) {
    struct Row {
        const char* text;
        long precision;
        int scale;
        bool fits;
        const char* expected;
    };
    const Row rows[] = {
        {"0.0004", 10, 3, true, "0.000"},
        {"-0.0005", 10, 3, true, "-0.001"},
        {"9999999.9995", 10, 3, false, ""},   // rounds up to 8 integer digits
        {"9999999.9994", 10, 3, true, "9999999.999"},
        {"1.5", 13, 0, true, "2"},
        {"-2.5", 13, 0, true, "-3"},
        {"1e+3", 10, 0, true, "1000"},
    };
    for (const auto& r : rows) {
        dts::Decimal d;
        ASSERT_TRUE(dts::ParseDecimal(QString::fromLatin1(r.text), &d, true)) << r.text;
        QString why;
        EXPECT_EQ(dts::FitDecimal(&d, r.precision, r.scale, true, &why), r.fits) << r.text;
        if (r.fits) {
            EXPECT_EQ(dts::DecimalText(d, true), QString::fromLatin1(r.expected)) << r.text;
        }
    }
    dts::Decimal d;
    EXPECT_FALSE(dts::ParseDecimal("1e3", &d));   // texts from the database carry no exponent
    EXPECT_FALSE(dts::ParseDecimal("12,5", &d));
    EXPECT_FALSE(dts::ParseDecimal("", &d));
    EXPECT_FALSE(dts::ParseDecimal(".", &d));
}

}  // namespace
