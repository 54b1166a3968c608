// The month series: calendar dates a round number of months from the reference date.
#include "generators/generators.h"

#include <cstdio>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "timeconv/epoch.h"

namespace {

// More than any UTC offset, gap or fold: a wall-clock reading this far outside the window
// cannot be an instant inside it.
constexpr long long zoneMargin = 2 * 86400;

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

void addMonths(eventList& events, const anniversaryBase& base, int sign, int step)
{
    if (step < 1)
        return;  // the counter would never pass its bound
    const char* prefix = signPrefix(sign);
    const boost::gregorian::date reference = unixTime2Date(base.wallClock.seconds);
    const long long timeOfDay = base.wallClock.seconds - date2UnixTime(reference);
    // Month index = 12 * year + (month - 1), so that month arithmetic is integer arithmetic.
    const long long referenceMonth = 12LL * reference.year() + reference.month() - 1;
    char label[32];
    for (int counter = 1; counter <= 10; counter += step) {
        const int months = 100 * counter;
        const long long target = referenceMonth + (sign > 0 ? months : -months);
        const long long year = target / 12;
        if (months % 12 == 0 || year < 1400 || year > 9999)
            continue;
        const boost::gregorian::date day = monthAnniversary(
            static_cast<int>(year), static_cast<int>(target % 12) + 1, reference.day());
        const wallClockReading wallClock{date2UnixTime(day) + timeOfDay};
        if (wallClock.seconds + zoneMargin < base.from || wallClock.seconds - zoneMargin >= base.until)
            continue;
        const long long instant = wallClock2UnixTime(base.zone, wallClock);
        if (!isInWindow(base, instant))
            continue;
        std::snprintf(label, sizeof label, "%s%i months", prefix, months);
        addEvent(events, instant, label, evMonths, sign > 0 ? months : -months, "months");
    }
}
