// The month series: calendar dates a round number of months from the reference date.
#include "generators/generators.h"

#include <cstdio>
#include <cstring>  // for strdup

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "events/events.h"
#include "timeconv/epoch.h"

namespace {

// Month index = 12 * year + (month - 1), so that month arithmetic is integer arithmetic.
long long monthIndex(const std::tm& reference)
{
    return 12LL * (reference.tm_year + 1900) + reference.tm_mon;
}

// Day `day` of the given month, running over into the next month where the month is shorter
// (31 after a 30-day month gives the 1st of the next). year within 1400..9999, month 1..12.
boost::gregorian::date monthAnniversary(int year, int month, int day)
{
    using boost::gregorian::date;
    const auto y = static_cast<unsigned short>(year);
    const auto m = static_cast<unsigned short>(month);
    const int monthLength = boost::gregorian::gregorian_calendar::end_of_month_day(y, m);
    if (day <= monthLength)
        return date(y, m, static_cast<unsigned short>(day));
    return date(y, m, static_cast<unsigned short>(monthLength)) +
           boost::gregorian::days(day - monthLength);
}

}  // namespace

void addMonths(int sign, std::tm reference, int step)
{
    if (step < 1)
        return;  // the counter would never pass its bound
    const char* prefix = signPrefix(sign);
    for (int counter = 1; counter <= 10; counter += step) {
        const int months = 100 * counter;
        if (months % 12 == 0)
            continue;
        std::snprintf(tmpbuf, sizeof tmpbuf, "%s%i months", prefix, months);
        const long long target = monthIndex(reference) + (sign > 0 ? months : -months);
        // Truncating division only differs from floor below year 0, which the filter drops.
        const long long year = target / 12;
        if (year < 1400 || year > 9999)
            continue;
        const int month = static_cast<int>(target % 12) + 1;
        addEvent(date2UnixTime(monthAnniversary(static_cast<int>(year), month, reference.tm_mday)),
                 strdup(tmpbuf), evMonths);
    }
}
