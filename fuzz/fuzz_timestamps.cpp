// Fuzzes the conversions and the lines of every writer with arbitrary 64-bit timestamps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>

#include "timeconv/epoch.h"
#include "writers/csv.h"
#include "writers/writer.h"

using namespace rondelo;

namespace {

constexpr long long firstRenderable = -17987443200;  // 1400-01-01 00:00:00
constexpr long long pastRenderable = 253402300800;   // 10000-01-01 00:00:00

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    long long s = 0;
    std::memcpy(&s, data, size < sizeof s ? size : sizeof s);
    const bool renderable = s >= firstRenderable && s < pastRenderable;

    try {
        check(ptime2UnixTime(unixTime2Ptime(s)) == s);
    } catch (const std::out_of_range&) {
        check(s < -9223372036854 || s > 9012505233654);
    }
    try {
        const long long day = date2UnixTime(unixTime2Date(s));
        check(renderable && day <= s && s - day < 86400 && day % 86400 == 0);
    } catch (const std::out_of_range&) {
        check(!renderable);
    }

    std::ostringstream out, err;
    check(writeReport(out, err, {event{s, "label", evTest}}));
    const std::string stamp = std::to_string(s);
    if (renderable) {
        check(out.str().size() == stamp.size() + 1 + 24 + 9 && err.str().empty());
    } else {
        check(out.str() == stamp + ",9,label\n");
        check(err.str() == "\nError main line 685, timestamp: " + stamp + ", description: label\n");
    }

    // The other writers, in an option run: a line, or an event, and a message only when the
    // date cannot be shown (an event past 9999 in UTC, as a calendar writes it, too).
    reference ref;
    ref.wallClock = {0};
    ref.zone = absl::UTCTimeZone();
    ref.zoneName = "UTC";
    for (const outputFormat format : {outputFormat::ics, outputFormat::json, outputFormat::text}) {
        writerSettings settings;
        settings.format = format;
        settings.classic = false;
        settings.reminders = {reminder{-86400, -54000}};
        writer w = makeWriter(settings);
        std::ostringstream lines, messages;
        check(writeEvents(w, lines, messages, {event{s, "label", evTest}}, ref));
        check(messages.str().empty() == renderable && !lines.str().empty() &&
              lines.str().back() == '\n');
    }
    return 0;
}
