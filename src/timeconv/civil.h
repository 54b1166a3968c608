// The calendar, once: instants and wall-clock readings as types, civil dates, and month
// arithmetic with its rule for a day that a month lacks, all through Abseil's civil time.
#pragma once

#include <optional>

#include <absl/time/civil_time.h>

namespace rondelo {

// An instant, in Unix seconds: a type of its own, so that no reading is taken for one.
struct unixInstant {
    long long seconds;
};

constexpr bool operator<(unixInstant a, unixInstant b)
{
    return a.seconds < b.seconds;
}

// A wall-clock reading, counted in seconds as if it were UTC: the seconds from 1970-01-01
// 00:00:00 to that reading on the same calendar. It renders and splits like Unix seconds, but
// it is no instant: only a zone turns one into the other.
struct wallClockReading {
    long long seconds;
};

// The calendar's seconds: 1400-01-01 00:00:00 up to, not including, 10000-01-01 00:00:00.
constexpr long long firstCalendarSecond = -17987443200;
constexpr long long pastCalendarSecond = 253402300800;

constexpr bool isCalendarSecond(long long s)
{
    return s >= firstCalendarSecond && s < pastCalendarSecond;
}

// Which end an instant lies past when some clock cannot show it within the calendar: no offset
// reaches a day, so its side of 1970 tells, whichever clock it is shown on.
constexpr bool isBeforeCalendar(long long s)
{
    return s < 0;
}

// A reading as the library's civil time, and back. A reading as seconds is the cheap one to
// count days and seconds on; as a civil time, the cheap one to build from its fields and to
// give a zone. The first conversion costs a walk through the calendar, the second does not.
absl::CivilSecond civilOf(wallClockReading reading);
wallClockReading readingOf(absl::CivilSecond civil);

// The reading at 00:00:00 of day, and the same day's reading at timeOfDay seconds after it.
wallClockReading readingOf(absl::CivilDay day, long long timeOfDay = 0);

// The reading days calendar days after reading (before it, for a negative count), at its time of
// day: readings know no daylight saving, so a day is always 86,400 of their seconds.
constexpr wallClockReading daysAfter(wallClockReading reading, long long days)
{
    return {reading.seconds + days * 86400};
}

// True for a reading at 00:00:00.
bool isMidnight(wallClockReading reading);

// True when the month has the day: not 31 April, nor 29 February of 1900.
bool isDayOfCalendar(long long year, int month, int day);

// What becomes of a day that the target month lacks (31 January and one month on): it runs
// over into the next month (2 or 3 March), as GNU date counts, or is the month's last day (28
// or 29 February), as dateutils counts.
enum class monthEnd { overflow, clamp };

// The date months calendar months after day (before it, for a negative count), at day's day of
// the month, by rule.
absl::CivilDay monthsLater(absl::CivilDay day, long long months, monthEnd rule);

// The calendar periods a run can count in.
enum class calendarPeriod { day, week, month, year };

// A number for the period that a reading lies in: its day, its week (Monday to Sunday), its
// month or its year; two readings share a period exactly when they share the number.
long long periodOf(absl::CivilSecond reading, calendarPeriod period);

// A reading taken apart once for many month counts from it.
struct monthReading {
    absl::CivilDay day;
    long long timeOfDay;  // seconds after midnight, [0, 86399]
};

monthReading splitForMonths(absl::CivilSecond reading);

// The reading months calendar months on from reference (back for a negative count), at its day
// of the month and time of day, by rule. Nothing when the target month lies outside the years
// 1400 to 9999.
std::optional<wallClockReading> monthsFrom(const monthReading& reference, long long months,
                                           monthEnd rule);

}  // namespace rondelo
