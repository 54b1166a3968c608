// Builds the reference instant, runs the generators of the chosen families, and orders the lines to report.
#include "driver/run.h"

#include <algorithm>
#include <climits>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include "generators/generators.h"
#include "timeconv/epoch.h"

reference singleReference(const referenceArguments& args, const runOptions& options)
{
    const boost::gregorian::date referenceDate(static_cast<unsigned short>(args.year),
                                               static_cast<unsigned short>(args.month),
                                               static_cast<unsigned short>(args.day));
    const long long midnight = date2UnixTime(referenceDate);  // the date's reading at 00:00:00
    return singleReference(wallClockReading{midnight + options.timeOfDay}, options);
}

reference singleReference(wallClockReading wallClock, const runOptions& options)
{
    // A title names the reference as a file's NAME column does.
    return {wallClock, options.zone, options.zoneName, options.title.value_or("")};
}

void collectEvents(eventList& events, const reference& ref, const runOptions& options)
{
    const anniversaryBase base{wallClock2UnixTime(ref.zone, ref.wallClock), ref.wallClock,
                               ref.zone, options.from.value_or(LLONG_MIN),
                               options.until.value_or(LLONG_MAX)};
    if (isInWindow(base, base.timestamp))
        addEvent(events, base.timestamp, "Reference", evReference);
    addAll(events, base, options.sign, options.milestones);
}

void sortByTime(eventList& events)
{
    std::stable_sort(events.begin(), events.end(),
                     [](const event& a, const event& b) { return a.timestamp < b.timestamp; });
}

writerSettings writerSettingsOf(const runOptions& options, bool flushEachLine)
{
    return {options.format, options.classic, flushEachLine, options.now, options.calendarStamp,
            options.reminder};
}
