// The in-process cost of one report: generating the events of a date and writing their lines.
#include <sstream>

#include <benchmark/benchmark.h>

#include "events/events.h"
#include "generators/collect.h"
#include "readers/arguments.h"
#include "writers/csv.h"

using namespace rondelo;

namespace {

eventList eventsOf(int year)
{
    const reference ref{wallClockOf(referenceArguments{year, 1, 31, 0}, 0), absl::UTCTimeZone(),
                        "UTC", ""};
    eventList events;
    collectEvents(events, ref, generationPlan{});
    return events;
}

void generateEvents(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(eventsOf(2000).data());
}
BENCHMARK(generateEvents);

void writeOneReport(benchmark::State& state)
{
    const eventList events = eventsOf(static_cast<int>(state.range(0)));
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str("");
        writeReport(out, err, events);
        benchmark::DoNotOptimize(out.str().data());
    }
}
// 2000 renders every line; 9999 gives short lines and error messages after the first.
BENCHMARK(writeOneReport)->Arg(2000)->Arg(9999);

}  // namespace
