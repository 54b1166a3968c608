// Unix seconds to and from boost dates, through the library's own duration arithmetic.
#include "timeconv/epoch.h"

#include <stdexcept>

namespace rondelo {

namespace {

const boost::posix_time::ptime epoch(boost::gregorian::date(1970, 1, 1));

// Beyond these the library's signed 64-bit microsecond count would overflow.
constexpr long long minPtimeSeconds = -9223372036854;
constexpr long long maxPtimeSeconds = 9012505233654;

}  // namespace

long long ptime2UnixTime(boost::posix_time::ptime t)
{
    // Special values give special durations, whose total seconds are the documented constants.
    return (t - epoch).total_seconds();
}

long long date2UnixTime(const boost::gregorian::date& d)
{
    return ptime2UnixTime(boost::posix_time::ptime(d));
}

boost::posix_time::ptime unixTime2Ptime(long long s)
{
    if (s < minPtimeSeconds || s > maxPtimeSeconds)
        throw std::out_of_range("Unix seconds out of the date-time range");
    return epoch + boost::posix_time::seconds(s);
}

boost::gregorian::date unixTime2Date(long long s)
{
    // The library keeps years in 16 bits: far enough out they wrap back into the calendar.
    if (!isCalendarSecond(s))
        throw boost::gregorian::bad_year();
    return unixTime2Ptime(s).date();
}

}  // namespace rondelo
