// Flag texts read as Booleans and the voucher code's date-time pattern.
#include "core/mod_zip.h"
#include "platform/vb/dates.h"
#include "platform/vb/format.h"

#include <gtest/gtest.h>

namespace {

TEST(ConvierteBooleano, FiveTextsAreFalseInAnyCase) {
    struct Case { const char* text; bool expected; };
    const Case cases[] = {
        {"FALSE", false}, {"false", false}, {"Falso", false}, {"0", false}, {"NO", false}, {"no", false},
        {"N", false}, {"n", false},
        {"", true}, {"SI", true}, {"1", true}, {"TRUE", true}, {"-1", true}, {"x", true},
        {" NO", true}, {"NO ", true}, {"00", true}, {"NOT", true},   // not trimmed, whole text only
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::ConvierteBooleano(QString::fromLatin1(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(ObtieneFormatoFechaHora, StampsDayMonthTwoDigitYearHoursMinutes) {
    EXPECT_EQ(core::ObtieneFormatoFechaHora(), QStringLiteral("dd/mm/yy hh:mm"));
    vb::SetClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 7, 59)); });
    EXPECT_EQ(vb::Format(vb::Variant(vb::Now()), core::ObtieneFormatoFechaHora()), QStringLiteral("05/03/08 14:07"));
    vb::SetClock({});
}

}  // namespace
