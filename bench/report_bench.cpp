// The in-process cost of one report: generating the events of a date and writing their lines.
#include <sstream>

#include <benchmark/benchmark.h>

#include "events/events.h"
#include "generators/collect.h"
#include "readers/arguments.h"
#include "writers/csv.h"

using namespace rondelo;

namespace {

reference referenceOf(int year)
{
    reference ref{};
    ref.wallClock = wallClockOf(referenceArguments{year, 1, 31, 0}, 0);
    ref.zone = absl::UTCTimeZone();
    ref.zoneName = "UTC";
    return ref;
}

eventList eventsOf(const reference& ref)
{
    eventList events;
    collectEvents(events, ref, generationPlan{});
    return events;
}

void generateEvents(benchmark::State& state)
{
    const reference ref = referenceOf(2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(eventsOf(ref).data());
}
BENCHMARK(generateEvents);

void writeOneReport(benchmark::State& state)
{
    const reference ref = referenceOf(static_cast<int>(state.range(0)));
    const eventList events = eventsOf(ref);
    const writerSettings settings;  // the classic run's
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str("");
        for (const event& e : events)
            writeCsvLine(out, err, e, ref, settings);
        benchmark::DoNotOptimize(out.str().data());
    }
}
// 2000 renders every line; 9999 gives short lines and error messages after the first.
BENCHMARK(writeOneReport)->Arg(2000)->Arg(9999);

}  // namespace
