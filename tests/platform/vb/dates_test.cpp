// Dates as the program reads and computes them: day-first texts, the clock, DateAdd/DateDiff.
#include "qstring_printer.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QString Show(vb::Date d) { return vb::Format(vb::Variant(d), QStringLiteral("dd/mm/yyyy hh:mm:ss")); }

class ClockFixture : public ::testing::Test {
protected:
    void SetUp() override {
        vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 500)); });
    }
    void TearDown() override { vb::SetClock({}); }
};

TEST_F(ClockFixture, NowAndTodayFollowTheClock) {
    EXPECT_EQ(Show(vb::Now()), QStringLiteral("05/03/2008 14:07:09"));   // whole seconds, as the runtime
    EXPECT_EQ(Show(vb::Today()), QStringLiteral("05/03/2008 00:00:00"));
    EXPECT_EQ(vb::CurrentDateTime().time().msec(), 500);
}

TEST_F(ClockFixture, ReadsDayFirstIsoAndTimeTexts) {
    struct Case { const char16_t* text; const char16_t* expected; };
    const Case cases[] = {
        {u"05/03/2008", u"05/03/2008 00:00:00"},
        {u" 5/3/2008 ", u"05/03/2008 00:00:00"},
        {u"05-03-2008", u"05/03/2008 00:00:00"},
        {u"05/03/08", u"05/03/2008 00:00:00"},
        {u"05/03/29", u"05/03/2029 00:00:00"},
        {u"05/03/30", u"05/03/1930 00:00:00"},
        {u"05/03", u"05/03/2008 00:00:00"},              // the current year
        {u"05/03/2008 23:59:00", u"05/03/2008 23:59:00"},
        {u"05/03/2008 1:30 PM", u"05/03/2008 13:30:00"},
        {u"2008-03-05", u"05/03/2008 00:00:00"},
        {u"2008-03-05 14:07:00", u"05/03/2008 14:07:00"},
        {u"2008-03-05T14:07:00", u"05/03/2008 14:07:00"},
        {u"2008-03-05 14:07:00.250", u"05/03/2008 14:07:00"},
        {u"29/02/2008", u"29/02/2008 00:00:00"},
        {u"01:30", u"30/12/1899 01:30:00"},               // a time alone is a time of day
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        vb::Date d;
        ASSERT_TRUE(vb::ParseDate(text, &d)) << text.toStdString();
        EXPECT_EQ(Show(d), QString::fromUtf16(c.expected)) << text.toStdString();
        EXPECT_TRUE(vb::IsDate(text));
    }
}

TEST(IsDate, RejectsWhatIsNoDate) {
    const char16_t* bad[] = {u"", u"   ", u"31/02/2008", u"29/02/2007", u"32/01/2008", u"05/13/2008",
                             u"30:15", u"24:00", u"12:60", u"abc", u"5", u"1.5", u"05/03/2008 25:00",
                             u"2008-13-01", u"05/03-2008", u"05/03/99999"};
    for (const char16_t* t : bad) {
        EXPECT_FALSE(vb::IsDate(QString::fromUtf16(t))) << QString::fromUtf16(t).toStdString();
        try {
            vb::CDate(QString::fromUtf16(t));
            ADD_FAILURE() << "CDate read " << QString::fromUtf16(t).toStdString();
        } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), vb::kErrTypeMismatch);
        }
    }
    EXPECT_FALSE(vb::IsDate(vb::Variant(39512)));
    EXPECT_FALSE(vb::IsDate(vb::Variant(vb::Null)));
    EXPECT_TRUE(vb::IsDate(vb::Variant(vb::Date{39512})));
}

TEST(CDate, NumbersConvertWithinTheYears100To9999) {
    EXPECT_EQ(vb::Format(vb::CDate(vb::Variant(2958465.5)), QStringLiteral("dd/mm/yyyy hh:mm")),
              QStringLiteral("31/12/9999 12:00"));
    EXPECT_EQ(vb::Format(vb::CDate(vb::Variant(-657434)), QStringLiteral("dd/mm/yyyy")), QStringLiteral("01/01/0100"));
    for (const double serial : {2958466.0, -657435.0, 1e300, -1e300, std::numeric_limits<double>::infinity()}) {
        try {
            vb::CDate(vb::Variant(serial));
            ADD_FAILURE() << "CDate read " << serial;
        } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), vb::kErrOverflow) << serial;
        }
    }
    // A date value that holds a serial no calendar day has cannot be shown.
    for (const double serial : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        try {
            vb::Variant(vb::Date{serial}).toString();
            ADD_FAILURE() << "shown " << serial;
        } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), vb::kErrOverflow) << serial;
        }
    }
}

TEST(DateArithmetic, DateAdd) {
    const vb::Date d{vb::DateSerial(2008, 1, 31).serial + vb::TimeSerial(23, 30, 0).serial};
    struct Case { const char* interval; double n; const char16_t* expected; };
    const Case cases[] = {
        {"d", 1, u"01/02/2008 23:30:00"},
        {"d", -31, u"31/12/2007 23:30:00"},
        {"m", 1, u"29/02/2008 23:30:00"},      // the day is cut to the month's last
        {"m", 13, u"28/02/2009 23:30:00"},
        {"yyyy", -1, u"31/01/2007 23:30:00"},
        {"q", 1, u"30/04/2008 23:30:00"},
        {"ww", 1, u"07/02/2008 23:30:00"},
        {"h", 1, u"01/02/2008 00:30:00"},      // time crosses midnight
        {"n", -30, u"31/01/2008 23:00:00"},
        {"s", 1800, u"01/02/2008 00:00:00"},
        {"D", 1.5, u"02/02/2008 23:30:00"},    // the number is rounded, halves to even
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(vb::DateAdd(QString::fromLatin1(c.interval), c.n, d)), QString::fromUtf16(c.expected))
            << c.interval << " " << c.n;
    EXPECT_THROW(vb::DateAdd(QStringLiteral("x"), 1, d), vb::Error);
    EXPECT_THROW(vb::DateAdd(QStringLiteral("yyyy"), 9000, d), vb::Error);
}

TEST(DateArithmetic, DateDiffCountsBoundaries) {
    auto at = [](int y, int m, int d, int h = 0, int n = 0) {
        return vb::Date{vb::DateSerial(y, m, d).serial + vb::TimeSerial(h, n, 0).serial};
    };
    struct Case { const char* interval; vb::Date a, b; long long expected; };
    const Case cases[] = {
        {"d", at(2008, 1, 1, 23), at(2008, 1, 2, 1), 1},
        {"d", at(2008, 3, 5), at(2008, 3, 1), -4},
        {"m", at(2008, 1, 31), at(2008, 2, 1), 1},
        {"yyyy", at(2008, 12, 31), at(2009, 1, 1), 1},
        {"h", at(2008, 1, 1, 10, 59), at(2008, 1, 1, 11, 0), 1},
        {"n", at(2008, 1, 1, 10, 0), at(2008, 1, 1, 12, 30), 150},
        {"s", at(2008, 1, 1), at(2008, 1, 2), 86400},
        {"w", at(2008, 3, 1), at(2008, 3, 14), 1},
        {"ww", at(2008, 3, 1), at(2008, 3, 2), 1},     // Saturday to Sunday crosses a week
        {"q", at(2008, 3, 31), at(2008, 4, 1), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vb::DateDiff(QString::fromLatin1(c.interval), c.a, c.b), c.expected) << c.interval;
}

TEST(DateParts, FieldsAndSerials) {
    const vb::Date d{vb::DateSerial(2008, 3, 5).serial + vb::TimeSerial(14, 7, 9).serial};
    EXPECT_EQ(vb::Year(d), 2008);
    EXPECT_EQ(vb::Month(d), 3);
    EXPECT_EQ(vb::Day(d), 5);
    EXPECT_EQ(vb::Hour(d), 14);
    EXPECT_EQ(vb::Minute(d), 7);
    EXPECT_EQ(vb::Second(d), 9);
    EXPECT_EQ(vb::Weekday(d), 4);   // Wednesday
    EXPECT_DOUBLE_EQ(vb::DateSerial(2008, 3, 5).serial, 39512.0);
    EXPECT_EQ(vb::Weekday(vb::Date{0}), 7);    // 30/12/1899 was a Saturday
    EXPECT_EQ(Show(vb::DateSerial(2008, 13, 1)), QStringLiteral("01/01/2009 00:00:00"));
    EXPECT_EQ(Show(vb::DateSerial(2008, 3, 0)), QStringLiteral("29/02/2008 00:00:00"));
    EXPECT_EQ(Show(vb::DateSerial(2008, 0, 1)), QStringLiteral("01/12/2007 00:00:00"));
    EXPECT_EQ(Show(vb::DateSerial(8, 3, 5)), QStringLiteral("05/03/2008 00:00:00"));
    EXPECT_EQ(Show(vb::DateSerial(10000, 1, 0)), QStringLiteral("31/12/9999 00:00:00"));
    // Arguments far outside their range give the invalid-argument error, whatever their size.
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    const int extremes[][3] = {{kMax, 13, 1}, {kMax, 1, 1}, {kMin, 1, 1}, {2008, kMin, 1}, {2008, kMax, 1},
                               {2008, 1, kMax}, {2008, 1, kMin}, {-1, 1, 1}, {10000, 1, 1}};
    for (const auto& e : extremes) {
        try {
            vb::DateSerial(e[0], e[1], e[2]);
            ADD_FAILURE() << "no error for " << e[0] << "/" << e[1] << "/" << e[2];
        } catch (const vb::Error& err) {
            EXPECT_EQ(err.number(), vb::kErrInvalidProcedureCall);
        }
    }
    EXPECT_EQ(vb::Format(vb::Variant(vb::TimeSerial(25, 0, 0)), QStringLiteral("dd/mm/yyyy hh:mm")),
              QStringLiteral("31/12/1899 01:00"));
    // Before the epoch the time is a positive fraction of the (negative) day.
    const vb::Date before{-1.25};
    EXPECT_EQ(Show(before), QStringLiteral("29/12/1899 06:00:00"));
    EXPECT_EQ(vb::Hour(before), 6);
    EXPECT_EQ(Show(vb::DateAdd(QStringLiteral("h"), 20, before)), QStringLiteral("30/12/1899 02:00:00"));
}

}  // namespace
