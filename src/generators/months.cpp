// Calendar months: the date so many months from another, with the rule for a day a month lacks.
#include "generators/months.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "timeconv/epoch.h"

namespace rondelo {

monthReading splitForMonths(wallClockReading reading)
{
    const boost::gregorian::date day = unixTime2Date(reading.seconds);
    return {12LL * day.year() + day.month() - 1, day.day(), reading.seconds - date2UnixTime(day)};
}

std::optional<wallClockReading> monthsFrom(const monthReading& reference, long long months,
                                           bool clamp)
{
    using boost::gregorian::date;
    const long long target = reference.month + months;
    if (target < 12 * 1400 || target >= 12 * 10000)
        return std::nullopt;
    const auto year = static_cast<unsigned short>(target / 12);
    const auto month = static_cast<unsigned short>(target % 12 + 1);
    const int monthLength = boost::gregorian::gregorian_calendar::end_of_month_day(year, month);
    const int overrun = reference.day - monthLength;
    const date day = overrun <= 0 ? date(year, month, static_cast<unsigned short>(reference.day))
                     : clamp      ? date(year, month, static_cast<unsigned short>(monthLength))
                                  : date(year, month, static_cast<unsigned short>(monthLength)) +
                                   boost::gregorian::days(overrun);
    return wallClockReading{date2UnixTime(day) + reference.timeOfDay};
}

}  // namespace rondelo
