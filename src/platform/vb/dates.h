#pragma once
// Dates as the runtime sees them: day-first texts, Now/Date from an injectable clock,
// DateAdd/DateDiff for the intervals the program uses.
#include "platform/vb/variant.h"

#include <QDateTime>
#include <functional>

namespace vb {

// The clock behind Now, Date and Time. Tests set a fixed one; an empty function restores the
// system clock.
void SetClock(std::function<QDateTime()> clock);
QDateTime CurrentDateTime();

Date Now();
Date Today();   // the runtime's Date function: today at midnight

// IsDate/CDate read day first: "05/03/2008" is 5 March 2008; "05/03/2008 23:59:00",
// "2008-03-05", "2008-03-05 14:07:00" (ISO, as the embedded database stores dates) and
// "05-03-2008" are read too. Two-digit years 00-29 are 20xx, 30-99 are 19xx.
bool ParseDate(const QString& text, Date* out);
bool IsDate(const Variant& v);
Date CDate(const Variant& v);   // raises 13 when it cannot be read

// DateAdd/DateDiff with the intervals "d", "m", "yyyy", "h", "n", "s", "ww".
Date DateAdd(const QString& interval, double number, Date date);
long long DateDiff(const QString& interval, Date d1, Date d2);

int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
int Weekday(Date d);   // 1 = Sunday
Date DateSerial(int year, int month, int day);
Date TimeSerial(int hour, int minute, int second);

}  // namespace vb
