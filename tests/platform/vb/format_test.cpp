// Format with the number and date patterns the program writes.
#include "qstring_printer.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    vb::Variant value;
    const char16_t* pattern;
    const char16_t* expected;
};

void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(vb::Format(c.value, QString::fromUtf16(c.pattern)), QString::fromUtf16(c.expected))
            << "value " << c.value.text().toStdString() << " pattern " << QString::fromUtf16(c.pattern).toStdString();
}

TEST(FormatNumbers, DigitPlaceholders) {
    ExpectAll({
        {50, u"###", u"50"},
        {0, u"###", u""},               // "#" shows no digit for a whole part of 0
        {0.4, u"###", u""},
        {12.5, u"###", u"13"},          // halves away from zero
        {13.5, u"###", u"14"},
        {-12.5, u"###", u"-13"},
        {100, u"###", u"100"},
        {12345, u"###", u"12345"},       // extra digits go to the leftmost place
        {5, u"#####00", u"05"},
        {0, u"#####00", u"00"},
        {125, u"#####00", u"125"},
        {2.0833333, u"#####.00", u"2.08"},
        {1.5, u"#####.00", u"1.50"},
        {0.5, u"#####.00", u".50"},
        {12.345, u"#####.00", u"12.35"},
        {0.5, u"########0.00", u"0.50"},
        {-1234.005, u"########0.00", u"-1234.01"},
        {-0.001, u"########0.00", u"0.00"},   // a value that rounds to zero shows no sign
        {1234.567, u"############0.", u"1235."},
        {1234.567, u"############0.00", u"1234.57"},
        {0.0, u"############0.000", u"0.000"},
        {7, u"0000", u"0007"},
        {12345, u"0000", u"12345"},
        {42, u"00000000", u"00000042"},
        {1.5, u"0.##", u"1.5"},
        {1.0, u"0.##", u"1."},
        {1234567.891, u"#,##0.00", u"1,234,567.89"},
        {999.999, u"#,##0.00", u"1,000.00"},
        {0.256, u"0.0%", u"25.6%"},
        {1234567, u"#,##0,", u"1,235"},     // a comma after the digits divides by 1000
        {5, u"\"N\"000", u"N005"},
        {-5, u"0;(0)", u"(5)"},
        {0, u"0;(0);\"cero\"", u"cero"},
    });
}

TEST(FormatNumbers, VoucherNumbersAndTimes) {
    ExpectAll({
        {vb::Val(QStringLiteral("00000123")) + 1, u"00000000", u"00000124"},
        {vb::Val(QStringLiteral("")), u"0000", u"0000"},
        {vb::Val(QStringLiteral("00000000")) - 1, u"00000000", u"-00000001"},   // the sign stays in front
        {99999999.0 + 1, u"00000000", u"100000000"},                           // a ninth digit is not cut
        {125 / 60, u"#####00", u"02"},
        {125.0 / 60.0, u"#####.00", u"2.08"},
        {100.0 / 7.0, u"###", u"14"},
        {1e20, u"00000000", u"100000000000000000000"},
        {vb::Variant(QStringLiteral("12345678901234567")), u"000000", u"12345678901234600"},   // 15 digits shown
    });
    EXPECT_EQ(vb::Format(-1.7976931348623157e308, QStringLiteral("0")),
              QStringLiteral("-179769313486232") + QString(294, u'0'));
}

TEST(FormatNumbers, ValueKinds) {
    ExpectAll({
        {vb::Variant(QStringLiteral("1234")), u"000000", u"001234"},
        {vb::Variant(QStringLiteral(" 42 ")), u"000000", u"000042"},
        {vb::Variant(QStringLiteral("AB12")), u"000000", u"AB12"},   // text that is no number stays as it is
        {vb::Variant(QStringLiteral("")), u"000000", u""},
        {vb::Variant(), u"0000", u"0000"},
        {vb::Variant(vb::Null), u"0000", u""},
        {vb::Variant(vb::Currency::fromRaw(123456)), u"0.00", u"12.35"},
        {vb::Variant(true), u"0", u"-1"},
        {vb::Variant(static_cast<int16_t>(3)), u"00", u"03"},
    });
}

TEST(FormatNumbers, NamedPatterns) {
    ExpectAll({
        {1234.5, u"Fixed", u"1234.50"},
        {1234.5, u"Standard", u"1,234.50"},
        {0.5, u"Percent", u"50.00%"},
        {1234.5, u"General Number", u"1234.5"},
        {0, u"Yes/No", u"No"},
        {vb::Variant(QStringLiteral("abc")), u"Fixed", u"abc"},
    });
}

TEST(FormatNumbers, Scientific) {
    ExpectAll({
        {1234.5, u"Scientific", u"1.23E+03"},
        {0.000123, u"Scientific", u"1.23E-04"},
        {-98765, u"Scientific", u"-9.88E+04"},
        {0, u"Scientific", u"0.00E+00"},
        {1234.5, u"0.00E+00", u"1.23E+03"},
        {1234.5, u"0.00E-00", u"1.23E03"},           // E- signs only a negative exponent
        {0.000123, u"0.00E-00", u"1.23E-04"},
        {0.000123, u"0.00e+000", u"1.23e-004"},
        {5, u"0E+0", u"5E+0"},                        // not 5E+500
        {99.97, u"0.0E+00", u"1.0E+02"},             // the rounding carries into the exponent
        {1234.5, u"00.00E+00", u"12.35E+02"},        // two whole digits
        {1234.5, u"#.##E+##", u"1.23E+3"},
        {1e300, u"0.0E+00", u"1.0E+300"},
        {123456, u"0.00E+00 \"u\"", u"1.23E+05 u"},
        {-0.5, u"0.0E+00;(0.0E+00)", u"(5.0E-01)"},
        {vb::Variant(QStringLiteral("2500")), u"0E+00", u"3E+03"},
    });
}

TEST(FormatText, CharacterPlaceholders) {
    ExpectAll({
        {vb::Variant(QStringLiteral("5551234")), u"@@@-@@@@", u"555-1234"},
        {vb::Variant(QStringLiteral("123")), u"@@@-@@@@", u"   - 123"},      // filled from the right
        {vb::Variant(QStringLiteral("123")), u"&&&-&&&&", u"-123"},          // & shows nothing when empty
        {vb::Variant(QStringLiteral("123")), u"!@@@-@@@@", u"123-    "},      // filled from the left
        {vb::Variant(QStringLiteral("12345")), u"(@@@)", u"(12345)"},         // the rest before the first place
        {vb::Variant(QStringLiteral("12345")), u"!(@@@)", u"(12345)"},        // after the last, filling from the left
        {vb::Variant(QStringLiteral("Hola")), u">", u"HOLA"},
        {vb::Variant(QStringLiteral("Hola")), u"<@@@@@", u" hola"},
        {vb::Variant(QStringLiteral("ab")), u"@\"-\"@", u"a-b"},
        {vb::Variant(42), u"@@@@", u"  42"},                                   // numbers as their text
        {vb::Variant(QStringLiteral("")), u"@;\"vacío\"", u"vacío"},
        {vb::Variant(vb::Null), u"@;\"(nada)\"", u"(nada)"},
        {vb::Variant(vb::Null), u"@@", u""},
    });
}

TEST(FormatText, UnsupportedPatternsRaiseInvalidProcedureCall) {
    for (const char16_t* pattern : {u"0@", u"#&&", u"0.00E+", u"0E+0E+0"}) {
        try {
            vb::Format(vb::Variant(5), QString::fromUtf16(pattern));
            ADD_FAILURE() << "no error for " << QString::fromUtf16(pattern).toStdString();
        } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), vb::kErrInvalidProcedureCall) << QString::fromUtf16(pattern).toStdString();
        }
    }
}

TEST(FormatNumbers, NoPattern) {
    ExpectAll({
        {12.5, u"", u"12.5"},
        {vb::Variant(QStringLiteral("x")), u"", u"x"},
        {vb::Variant(), u"", u""},
        {vb::Variant(vb::DateSerial(2008, 3, 5)), u"", u"05/03/2008"},
    });
}

TEST(FormatDates, Patterns) {
    const vb::Date d{vb::DateSerial(2008, 3, 5).serial + vb::TimeSerial(14, 7, 9).serial};
    const vb::Date morning{vb::DateSerial(2008, 12, 25).serial + vb::TimeSerial(0, 5, 0).serial};
    ExpectAll({
        {d, u"dd/mm/yy hh:mm", u"05/03/08 14:07"},
        {d, u"dd/mm/yyyy", u"05/03/2008"},
        {d, u"dd/mm/yyyy hh:mm:ss", u"05/03/2008 14:07:09"},
        {d, u"mm-dd-yyyy", u"03-05-2008"},
        {d, u"hh:mm:ss", u"14:07:09"},
        {d, u"yyyymmdd", u"20080305"},
        {d, u"d/m/yy", u"5/3/08"},
        {d, u"h:nn AM/PM", u"2:07 PM"},
        {morning, u"hh:mm am/pm", u"12:05 am"},
        {d, u"dddd d \"de\" mmmm", u"miércoles 5 de marzo"},
        {d, u"ddd mmm", u"mié mar"},
        {d, u"Short Date", u"05/03/2008"},
        {d, u"Long Date", u"miércoles, 5 de marzo de 2008"},
        {d, u"Short Time", u"14:07"},
        {d, u"Long Time", u"14:07:09"},
        {d, u"General Date", u"05/03/2008 14:07:09"},
        {d, u"q", u"1"},
        {d, u"y", u"65"},
        {d, u"w ww", u"4 10"},
    });
}

TEST(FormatDates, TextAndNumbersAsDates) {
    ExpectAll({
        {vb::Variant(QStringLiteral("05/03/2008")), u"yyyymmdd", u"20080305"},
        {vb::Variant(QStringLiteral("2008-03-05 14:07:00")), u"dd/mm/yyyy hh:mm", u"05/03/2008 14:07"},
        {vb::Variant(39512.5), u"dd/mm/yyyy hh:mm", u"05/03/2008 12:00"},
        {vb::Variant(QStringLiteral("mañana")), u"dd/mm/yyyy", u"mañana"},
    });
}

}  // namespace
