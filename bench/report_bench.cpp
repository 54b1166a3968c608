// The in-process cost of one report: generating the events of a date and writing their lines.
#include <cstdlib>
#include <sstream>

#include <benchmark/benchmark.h>

#include "driver/report.h"
#include "driver/run.h"
#include "events/events.h"

namespace {

void releaseEvents()
{
    for (event* e : eventsForOneReferenceDate) {
        if (e->type != evReference)
            std::free(const_cast<char*>(e->label));
        delete e;
    }
    eventsForOneReferenceDate.clear();
}

void generateEvents(benchmark::State& state)
{
    for (auto _ : state) {
        collectEvents({2000, 1, 31, 0});
        benchmark::DoNotOptimize(eventsForOneReferenceDate.data());
        releaseEvents();
    }
}
BENCHMARK(generateEvents);

void writeOneReport(benchmark::State& state)
{
    collectEvents({static_cast<int>(state.range(0)), 1, 31, 0});
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str("");
        writeReport(out, err, eventsForOneReferenceDate);
        benchmark::DoNotOptimize(out.str().data());
    }
    releaseEvents();
}
// 2000 renders every line; 9999 gives short lines and error messages after the first.
BENCHMARK(writeOneReport)->Arg(2000)->Arg(9999);

}  // namespace
