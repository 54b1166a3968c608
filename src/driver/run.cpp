// Builds the reference instant, runs the six generators, and picks the lines to report.
#include "driver/run.h"

#include <algorithm>
#include <ctime>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "generators/generators.h"
#include "timeconv/epoch.h"
#include "timeconv/zone.h"

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

// The month series gives dates, at midnight UTC; each becomes that date at the reference's
// wall-clock time of day in the zone.
void placeMonthsInZone(const runOptions& options)
{
    for (event* e : eventsForOneReferenceDate)
        if (e->type == evMonths)
            e->timestamp = wallClock2UnixTime(options.zone, e->timestamp + options.timeOfDay);
}

}  // namespace

long long referenceWallClock(const referenceArguments& args, const runOptions& options)
{
    const boost::gregorian::date referenceDate(static_cast<unsigned short>(args.year),
                                               static_cast<unsigned short>(args.month),
                                               static_cast<unsigned short>(args.day));
    return date2UnixTime(referenceDate) + options.timeOfDay;
}

void collectEvents(const referenceArguments& args, const runOptions& options)
{
    referenceTimestamp = wallClock2UnixTime(options.zone, referenceWallClock(args, options));
    addEvent(referenceTimestamp, "Reference", evReference);
    addAll(options.sign, brokenDownReference(args));
    placeMonthsInZone(options);
}

std::vector<event*> reportedEvents(const runOptions& options)
{
    std::vector<event*> events;
    for (event* e : eventsForOneReferenceDate)
        if (!options.from || e->timestamp >= *options.from)
            events.push_back(e);
    if (options.sortByTime)
        std::stable_sort(events.begin(), events.end(),
                         [](const event* a, const event* b) { return a->timestamp < b->timestamp; });
    return events;
}
