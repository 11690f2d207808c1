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
// The clock's time in milliseconds since 1970 UTC: what paces the windows' drawing. Cheap on the
// system clock (no time zone is read).
long long CurrentMSecsSinceEpoch();

Date Now();
Date Today();   // the runtime's Date function: today at midnight

// IsDate/CDate read day first: "05/03/2008" is 5 March 2008; "05/03/2008 23:59:00",
// "2008-03-05", "2008-03-05 14:07:00" (ISO, as the embedded database stores dates) and
// "05-03-2008" are read too. Two-digit years 00-29 are 20xx, 30-99 are 19xx. "05/03" is that day
// of the clock's year; a time alone ("01:30", "1:30 PM") is that time of 30/12/1899; fractions
// of a second ("14:07:00.250") are kept. Day and month are never swapped: "31/02/2008" and
// "12/25/2008" are no dates.
bool ParseDate(const QString& text, Date* out);
bool IsDate(const Variant& v);
Date CDate(const Variant& v);   // raises 13 when it cannot be read

// DateAdd/DateDiff with the intervals "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" (any
// case). DateAdd rounds the number (halves to even) and raises 5 for an unknown interval or a
// result outside the years 100-9999. DateDiff counts the boundaries crossed ("d" from 23:00 to
// 01:00 the next day is 1; "ww" counts Sundays).
Date DateAdd(const QString& interval, double number, Date date);
long long DateDiff(const QString& interval, Date d1, Date d2);

int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
int Weekday(Date d);   // 1 = Sunday
// DateSerial carries months and days outside their range (month 13 is January of the next
// year, day 0 the last day of the month before); years 0-99 are read as two-digit years.
Date DateSerial(int year, int month, int day);
Date TimeSerial(int hour, int minute, int second);

}  // namespace vb
