// Text and number functions of the runtime, as the program's algorithms read them.
#include "qstring_printer.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using vb::Compare;

using testsupport::ErrorNumberOf;

TEST(Val, ReadsTheLeadingNumber) {
    struct Case { const char16_t* text; double expected; };
    const Case cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"123abc", 123},
        {u"  12 34 ", 1234},          // blanks anywhere are skipped
        {u"1\t2\n3", 123},            // so are tabs and line feeds
        {u"1\r2", 1},                 // a carriage return ends the number
        {u"-12.5", -12.5},
        {u"+7", 7},
        {u"- 3", -3},
        {u".5", 0.5},
        {u"1.2.3", 1.2},
        {u"1,5", 1},                  // "," is no decimal point
        {u"1e3", 1000},
        {u"2.5E-1x", 0.25},
        {u"1D2", 100},
        {u"1e", 1},                   // an exponent without digits is not read
        {u"&H1F", 31},
        {u"&hFFFF", -1},              // four hex digits read as a 16-bit value
        {u"&H10000", 65536},
        {u"&HFFFFFFFF", -1},
        {u"&O17", 15},
        {u"&X1", 0},
        {u"--5", 0},
        {u"00012", 12},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(vb::Val(QString::fromUtf16(c.text)), c.expected) << QString::fromUtf16(c.text).toStdString();
}

TEST(Val, HugeExponentOverflows) {
    EXPECT_EQ(ErrorNumberOf([] { vb::Val(QStringLiteral("1e999")); }), vb::kErrOverflow);
    EXPECT_DOUBLE_EQ(vb::Val(QStringLiteral("1e-999")), 0.0);
}

TEST(Val, FourHundredDigits) {
    const QString zeros(399, u'0');
    // Too small for a Double without any exponent: 0, not an overflow.
    EXPECT_DOUBLE_EQ(vb::Val(QStringLiteral("0.") + zeros + u'1'), 0.0);
    EXPECT_DOUBLE_EQ(vb::Val(QStringLiteral("-.") + zeros + QStringLiteral("1abc")), 0.0);
    EXPECT_DOUBLE_EQ(vb::Val(QStringLiteral("1") + zeros + QStringLiteral("e-500")), 1e-101);
    EXPECT_DOUBLE_EQ(vb::Val(QStringLiteral("0.") + zeros + QStringLiteral("1e400")), 1.0);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Val(QStringLiteral("1") + zeros); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Val(QStringLiteral("0.") + zeros + QStringLiteral("1e99999999999999999999")); }),
              vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { vb::CDbl(QStringLiteral("0.") + zeros + u'1'); }), 0);
}

TEST(CDbl, TextMustBeAWholeNumber) {
    struct Case { const char16_t* text; double expected; long error; };
    const Case cases[] = {
        {u" 12.5 ", 12.5, 0}, {u"-1e3", -1000, 0}, {u"1D2", 100, 0}, {u"&H10", 16, 0}, {u"\t7\n", 7, 0},
        {u"True", -1, 0},
        {u"1,5", 0, 13}, {u"1 2", 0, 13}, {u"12abc", 0, 13}, {u"", 0, 13},
        {u"inf", 0, 13}, {u"nan", 0, 13}, {u"1e999", 0, 6},
    };
    for (const Case& c : cases) {
        const vb::Variant v(QString::fromUtf16(c.text));
        if (c.error) {
            EXPECT_EQ(ErrorNumberOf([&] { vb::CDbl(v); }), c.error) << v.text().toStdString();
        } else {
            EXPECT_DOUBLE_EQ(vb::CDbl(v), c.expected) << v.text().toStdString();
        }
    }
}

TEST(Rounding, CIntCLngAndRoundHalveToEven) {
    struct Case { double value; int cint; double round0; };
    const Case cases[] = {
        {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {3.5, 4, 4}, {-0.5, 0, 0}, {-1.5, -2, -2}, {-2.5, -2, -2},
        {2.4999, 2, 2}, {2.5001, 3, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vb::CInt(c.value), c.cint) << c.value;
        EXPECT_EQ(vb::CLng(c.value), c.cint) << c.value;
        EXPECT_DOUBLE_EQ(vb::Round(c.value), c.round0) << c.value;
    }
    // Decimals are rounded as written: 2.675 is taken as 2.675, not as the double just below it.
    EXPECT_DOUBLE_EQ(vb::Round(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(vb::Round(2.665, 2), 2.66);
    EXPECT_DOUBLE_EQ(vb::Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(vb::Round(-1.005, 2), -1.0);
    EXPECT_DOUBLE_EQ(vb::Round(1234.5678, 3), 1234.568);
    EXPECT_DOUBLE_EQ(vb::Round(99.995, 2), 100.0);
    // More decimals than a Double holds leave the value as it is.
    for (const int decimals : {20, 400, 100000000, std::numeric_limits<int>::max()}) {
        EXPECT_DOUBLE_EQ(vb::Round(1.5, decimals), 1.5) << decimals;
        EXPECT_DOUBLE_EQ(vb::Round(-4.9e-324, decimals), -4.9e-324) << decimals;
        EXPECT_DOUBLE_EQ(vb::Round(1e300, decimals), 1e300) << decimals;
    }
}

TEST(Rounding, OutOfRangeAndBadArguments) {
    EXPECT_EQ(vb::CInt(32767.4), 32767);
    EXPECT_EQ(ErrorNumberOf([] { vb::CInt(32767.5); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { vb::CInt(-32768.6); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { vb::CLng(3e9); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { vb::CLng(std::nan("")); }), vb::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { vb::CInt(QStringLiteral("abc")); }), vb::kErrTypeMismatch);
    EXPECT_EQ(vb::CInt(QStringLiteral(" 12.5 ")), 12);
    EXPECT_EQ(ErrorNumberOf([] { vb::Round(1.5, -1); }), vb::kErrInvalidProcedureCall);
    EXPECT_DOUBLE_EQ(vb::Fix(-2.7), -2.0);
    EXPECT_DOUBLE_EQ(vb::Int(-2.7), -3.0);
}

TEST(IsNumeric, TextMustReadWholeAsANumber) {
    struct Case { vb::Variant value; bool expected; };
    const Case cases[] = {
        {QStringLiteral("12"), true}, {QStringLiteral(" -1.5 "), true}, {QStringLiteral("1e5"), true},
        {QStringLiteral(".5"), true}, {QStringLiteral("&H1F"), true}, {QStringLiteral("12a"), false},
        {QStringLiteral(""), false}, {QStringLiteral("-"), false}, {QStringLiteral("1e"), false},
        {QStringLiteral("True"), false}, {vb::Variant(3.5), true}, {vb::Variant(true), true},
        {vb::Variant(), true}, {vb::Variant(vb::Null), false}, {vb::Variant(vb::Date{1.0}), false},
    };
    for (const Case& c : cases) EXPECT_EQ(vb::IsNumeric(c.value), c.expected) << c.value.text().toStdString();
}

TEST(Trim, RemovesBlanksOnly) {
    EXPECT_EQ(vb::Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(vb::Trim(QStringLiteral("\ta\n")), QStringLiteral("\ta\n"));
    EXPECT_EQ(vb::LTrim(QStringLiteral("  a ")), QStringLiteral("a "));
    EXPECT_EQ(vb::RTrim(QStringLiteral("  a ")), QStringLiteral("  a"));
    EXPECT_EQ(vb::Trim(QStringLiteral("   ")), QString());
}

TEST(Positions, InStrFindsOneBasedPositions) {
    struct Case { int start; const char16_t* s1; const char16_t* s2; Compare compare; int expected; };
    const Case cases[] = {
        {1, u"abcabc", u"c", Compare::Binary, 3},
        {4, u"abcabc", u"c", Compare::Binary, 6},
        {7, u"abcabc", u"c", Compare::Binary, 0},
        {1, u"abc", u"B", Compare::Binary, 0},
        {1, u"abc", u"B", Compare::Text, 2},
        {2, u"abc", u"", Compare::Binary, 2},
        {4, u"abc", u"", Compare::Binary, 4},
        {5, u"abc", u"", Compare::Binary, 0},
        {1, u"", u"a", Compare::Binary, 0},
        {1, u"SELECT * FROM t", u"select", Compare::Text, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vb::InStr(c.start, QString::fromUtf16(c.s1), QString::fromUtf16(c.s2), c.compare), c.expected)
            << QString::fromUtf16(c.s1).toStdString() << " / " << QString::fromUtf16(c.s2).toStdString();
    EXPECT_EQ(ErrorNumberOf([] { vb::InStr(0, QStringLiteral("a"), QStringLiteral("a")); }), 5);
}

TEST(Positions, InStrRevSearchesBackwards) {
    EXPECT_EQ(vb::InStrRev(QStringLiteral("a\\b\\c"), QStringLiteral("\\")), 4);
    EXPECT_EQ(vb::InStrRev(QStringLiteral("a\\b\\c"), QStringLiteral("\\"), 3), 2);
    EXPECT_EQ(vb::InStrRev(QStringLiteral("abc"), QStringLiteral("x")), 0);
    EXPECT_EQ(vb::InStrRev(QStringLiteral("abcABC"), QStringLiteral("b"), -1, Compare::Text), 5);
    EXPECT_EQ(vb::InStrRev(QStringLiteral("abc"), QStringLiteral("c"), 2), 0);
    EXPECT_EQ(ErrorNumberOf([] { vb::InStrRev(QStringLiteral("a"), QStringLiteral("a"), 0); }), 5);
}

TEST(Positions, MidLeftRight) {
    const QString s = QStringLiteral("0001000000421");
    EXPECT_EQ(vb::Mid(s, 5, 8), QStringLiteral("00000042"));
    EXPECT_EQ(vb::Mid(s, 13), QStringLiteral("1"));
    EXPECT_EQ(vb::Mid(s, 14), QString());
    EXPECT_EQ(vb::Mid(s, 12, 10), QStringLiteral("21"));
    EXPECT_EQ(vb::Mid(s, 1, 0), QString());
    EXPECT_EQ(vb::Left(s, 4), QStringLiteral("0001"));
    EXPECT_EQ(vb::Left(s, 40), s);
    EXPECT_EQ(vb::Right(s, 1), QStringLiteral("1"));
    EXPECT_EQ(vb::Right(s, 0), QString());
    EXPECT_EQ(vb::Len(s), 13);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Mid(s, 0, 1); }), 5);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Mid(s, 1, -2); }), 5);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Mid(s, 1, -1); }), 5);   // a length computed as -1 is an error too
    EXPECT_EQ(ErrorNumberOf([&] { vb::Mid(s, 2, std::numeric_limits<int>::min() + 1); }), 5);
    EXPECT_EQ(vb::Mid(s, 2, std::numeric_limits<int>::max()), vb::Mid(s, 2));
    EXPECT_EQ(ErrorNumberOf([&] { vb::Left(s, -1); }), 5);
    EXPECT_EQ(ErrorNumberOf([&] { vb::Right(s, -1); }), 5);
}

TEST(Replace, CaseAndStartAndCount) {
    struct Case { const char16_t* expr; const char16_t* find; const char16_t* with; int start; int count;
                  Compare compare; const char16_t* expected; };
    const Case cases[] = {
        {u"a,b,c", u",", u".", 1, -1, Compare::Binary, u"a.b.c"},
        {u"a,b,c", u",", u".", 1, 1, Compare::Binary, u"a.b,c"},
        {u"a,b,c", u",", u".", 3, -1, Compare::Binary, u"b.c"},     // text before start is dropped
        {u"a,b,c", u",", u".", 9, -1, Compare::Binary, u""},
        {u"Where x WHERE", u"where", u"", 1, -1, Compare::Text, u" x "},
        {u"Where x WHERE", u"where", u"", 1, -1, Compare::Binary, u"Where x WHERE"},
        {u"abc", u"", u"x", 1, -1, Compare::Binary, u"abc"},
        {u"aaa", u"aa", u"b", 1, -1, Compare::Binary, u"ba"},
        {u"abc", u"b", u"bb", 1, -1, Compare::Binary, u"abbc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vb::Replace(QString::fromUtf16(c.expr), QString::fromUtf16(c.find), QString::fromUtf16(c.with),
                              c.start, c.count, c.compare),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.expr).toStdString();
    EXPECT_EQ(ErrorNumberOf([] { vb::Replace(QStringLiteral("a"), QStringLiteral("a"), QString(), 0); }), 5);
}

TEST(Text, CaseSpaceStringAndCompare) {
    EXPECT_EQ(vb::ProperCase(QStringLiteral("juan PÉREZ o'neil-x\tana")), QStringLiteral("Juan Pérez O'neil-x\tAna"));
    EXPECT_EQ(vb::UCase(QStringLiteral("año")), QStringLiteral("AÑO"));
    // Case changes keep the length: a station name cut after UCase keeps its characters.
    EXPECT_EQ(vb::UCase(QStringLiteral("straße")), QStringLiteral("STRAßE"));
    EXPECT_EQ(vb::LCase(QStringLiteral("İSTANBUL")).size(), 8);
    EXPECT_EQ(vb::ProperCase(QStringLiteral("ßA STRASSE")), QStringLiteral("ßa Strasse"));
    EXPECT_EQ(vb::Space(3), QStringLiteral("   "));
    EXPECT_EQ(vb::String(2, u'*'), QStringLiteral("**"));
    EXPECT_EQ(ErrorNumberOf([] { vb::Space(-1); }), 5);
    EXPECT_EQ(vb::StrComp(QStringLiteral("abc"), QStringLiteral("ABC")), 1);
    EXPECT_EQ(vb::StrComp(QStringLiteral("abc"), QStringLiteral("ABC"), Compare::Text), 0);
    EXPECT_EQ(vb::StrComp(QStringLiteral("a"), QStringLiteral("b"), Compare::Text), -1);
}

TEST(Text, ChrAndAscUseCp1252) {
    EXPECT_EQ(vb::Chr(255), QStringLiteral("ÿ"));
    EXPECT_EQ(vb::Chr(0xF3), QStringLiteral("ó"));
    EXPECT_EQ(vb::Chr(0x80), QStringLiteral("€"));
    EXPECT_EQ(vb::Chr(13) + vb::Chr(10), QStringLiteral("\r\n"));
    EXPECT_EQ(vb::Asc(QStringLiteral("ÿx")), 255);
    EXPECT_EQ(vb::Asc(QStringLiteral("€")), 0x80);
    EXPECT_EQ(vb::Asc(QStringLiteral("Ω")), '?');
    EXPECT_EQ(ErrorNumberOf([] { vb::Asc(QString()); }), 5);
    EXPECT_EQ(ErrorNumberOf([] { vb::Chr(256); }), 5);
}

TEST(Like, PatternOperator) {
    struct Case { const char16_t* s; const char16_t* pattern; Compare compare; bool expected; };
    const Case cases[] = {
        {u"ABC", u"A*", Compare::Binary, true},
        {u"abc", u"A*", Compare::Binary, false},
        {u"abc", u"A*", Compare::Text, true},
        {u"A1C", u"A#C", Compare::Binary, true},
        {u"AXC", u"A#C", Compare::Binary, false},
        {u"AXC", u"A?C", Compare::Binary, true},
        {u"AC", u"A?C", Compare::Binary, false},
        {u"F", u"[A-F]", Compare::Binary, true},
        {u"G", u"[A-F]", Compare::Binary, false},
        {u"G", u"[!A-F]", Compare::Binary, true},
        {u"a*b", u"a[*]b", Compare::Binary, true},
        {u"", u"*", Compare::Binary, true},
        {u"", u"?", Compare::Binary, false},
        {u"abcabcabc", u"*b*b*c", Compare::Binary, true},
        {u"V_MA_ARTICULOS", u"V_*", Compare::Binary, true},
        {u"ab", u"a[]b", Compare::Binary, true},
        {u"", u"[]", Compare::Binary, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vb::Like(QString::fromUtf16(c.s), QString::fromUtf16(c.pattern), c.compare), c.expected)
            << QString::fromUtf16(c.s).toStdString() << " Like " << QString::fromUtf16(c.pattern).toStdString();
    EXPECT_EQ(ErrorNumberOf([] { vb::Like(QStringLiteral("a"), QStringLiteral("[a")); }), 93);
}

TEST(NumberText, StrAndCStrOfDoubles) {
    struct Case { double value; const char* cstr; const char* str; };
    const Case cases[] = {
        {0, "0", " 0"}, {12.5, "12.5", " 12.5"}, {-3, "-3", "-3"}, {0.5, "0.5", " .5"}, {-0.25, "-0.25", "-.25"},
        {0.1 + 0.2, "0.3", " .3"}, {1e15, "1E+15", " 1E+15"}, {123456789012345.0, "123456789012345", " 123456789012345"},
        {0.0001, "0.0001", " .0001"}, {0.00001, "1E-05", " 1E-05"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vb::NumberText(c.value), QString::fromLatin1(c.cstr)) << c.value;
        EXPECT_EQ(vb::Str(c.value), QString::fromLatin1(c.str)) << c.value;
    }
}

}  // namespace
