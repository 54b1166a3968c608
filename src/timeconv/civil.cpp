// The calendar's arithmetic, all of it Abseil's: readings are seconds on its civil calendar.
#include "timeconv/civil.h"

#include <algorithm>

namespace rondelo {

namespace {

const absl::CivilSecond civilEpoch(1970, 1, 1, 0, 0, 0);
const absl::CivilDay epochDay(1970, 1, 1);

absl::CivilDay lastDayOf(absl::CivilMonth month)
{
    return absl::CivilDay(month + 1) - 1;
}

}  // namespace

absl::CivilSecond civilOf(wallClockReading reading)
{
    return civilEpoch + reading.seconds;
}

wallClockReading readingOf(absl::CivilSecond civil)
{
    return {civil - civilEpoch};
}

wallClockReading readingOf(absl::CivilDay day, long long timeOfDay)
{
    return {(day - epochDay) * 86400 + timeOfDay};
}

bool isMidnight(wallClockReading reading)
{
    return reading.seconds % 86400 == 0;
}

bool isDayOfCalendar(long long year, int month, int day)
{
    const absl::CivilDay civil(year, month, day);  // runs over a missing day
    return month >= 1 && month <= 12 && day >= 1 && civil.month() == month;
}

absl::CivilDay monthsLater(absl::CivilDay day, long long months, monthEnd rule)
{
    const absl::CivilMonth target = absl::CivilMonth(day) + months;
    const absl::CivilDay first(target);
    const absl::CivilDay wanted = first + (day.day() - 1);  // runs over a month's end by itself
    return rule == monthEnd::clamp ? std::min(wanted, lastDayOf(target)) : wanted;
}

long long periodOf(absl::CivilSecond reading, calendarPeriod period)
{
    const absl::CivilDay day(reading);
    switch (period) {
    case calendarPeriod::day:
        return day - epochDay;
    case calendarPeriod::week:
        // The day of the Monday that starts the week: a Monday is its own.
        return absl::PrevWeekday(day + 1, absl::Weekday::monday) - epochDay;
    case calendarPeriod::month:
        return absl::CivilMonth(reading) - absl::CivilMonth(1970, 1);
    case calendarPeriod::year:
        break;
    }
    return reading.year();
}

monthReading splitForMonths(absl::CivilSecond reading)
{
    const absl::CivilDay day(reading);
    return {day, reading - absl::CivilSecond(day)};
}

std::optional<wallClockReading> monthsFrom(const monthReading& reference, long long months,
                                           monthEnd rule)
{
    const long long target = 12 * reference.day.year() + reference.day.month() - 1 + months;
    if (target < 12 * 1400 || target >= 12 * 10000)
        return std::nullopt;
    return readingOf(monthsLater(reference.day, months, rule), reference.timeOfDay);
}

}  // namespace rondelo
