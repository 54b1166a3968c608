// Builds the reference instant and runs the six generators in report order.
#include "driver/run.h"

#include <ctime>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "events/events.h"
#include "generators/generators.h"
#include "timeconv/epoch.h"

namespace {

// The reference date as addMonths reads it; tm_hour carries the time zone, which nothing reads.
std::tm brokenDownReference(const referenceArguments& args)
{
    std::tm reference{};
    // Negated with unsigned wrap-around: -2147483648 has no int negation, and nothing reads it.
    reference.tm_hour = static_cast<int>(0u - static_cast<unsigned>(args.timeZone));
    reference.tm_mday = args.day;
    reference.tm_mon = args.month - 1;
    reference.tm_year = args.year - 1900;
    return reference;
}

}  // namespace

void collectEvents(const referenceArguments& args)
{
    const boost::gregorian::date referenceDate(static_cast<unsigned short>(args.year),
                                               static_cast<unsigned short>(args.month),
                                               static_cast<unsigned short>(args.day));
    referenceTimestamp = date2UnixTime(referenceDate);
    addEvent(referenceTimestamp, "Reference", evReference);
    addMonths(1, brokenDownReference(args), 1);
    addWeeks(1, 1);
    addDays(1, 1);
    addHours(1, 1);
    addMinutes(1, 1);
    addSeconds(1, 1);
}
