// Places the reference in its zone and runs the chosen families over it, batch by batch.
#include "generators/collect.h"

#include <algorithm>
#include <iterator>  // for back_inserter

namespace rondelo {

namespace {

constexpr std::size_t everyBatch = 4096;  // lines of the every family made at a time

// The families' lines and the reference's own, without the every family.
void addFirstBatch(eventBatches& batches, eventList& events, const generationPlan& plan)
{
    const anniversaryBase& base = batches.base;
    if (plan.ageAt) {
        addAges(events, base, *plan.ageAt, plan.milestones);
        return;
    }
    if (isInWindow(base, base.instant))
        events.push_back({base.instant});
    if (!plan.milestones.every) {
        addAll(events, base, plan.sign, plan.milestones);
        return;
    }
    milestoneChoice others = plan.milestones;
    others.every.reset();
    addAll(events, base, plan.sign, others);
    batches.walk = startEvery(base, plan.sign, plan.milestones);
}

}  // namespace

eventBatches startEvents(const reference& ref, const generationPlan& plan)
{
    eventBatches batches{
        baseOf(ref.wallClock, ref.zone, plan.from, std::min(plan.until, ref.endsBefore)),
        std::nullopt, false};
    if (ref.instant)
        batches.base.instant = *ref.instant;
    return batches;
}

bool nextEvents(eventBatches& batches, eventList& events, const generationPlan& plan)
{
    events.clear();
    if (!batches.started) {
        batches.started = true;
        addFirstBatch(batches, events, plan);
        return true;
    }
    while (batches.walk && events.empty())
        if (!addEvery(events, *batches.walk, batches.base, plan.sign, plan.milestones, everyBatch))
            batches.walk.reset();
    return !events.empty();
}

std::optional<event> firstEventFrom(const reference& ref, generationPlan plan, unixInstant from)
{
    plan.ageAt.reset();
    plan.from = from;
    eventList events;
    for (long long width = 86400;; width *= 2) {
        const bool last = width > (1LL << 50);  // 35 million years: beyond every calendar
        plan.until = {last ? LLONG_MAX : from.seconds + width};
        std::optional<event> first;
        for (eventBatches batches = startEvents(ref, plan); nextEvents(batches, events, plan);)
            for (const event& e : events)
                if (!first || e.instant < first->instant)
                    first = e;
        if (first || last)
            return first;
    }
}

void collectEvents(eventList& events, const reference& ref, const generationPlan& plan)
{
    eventList batch;
    eventBatches batches = startEvents(ref, plan);
    events.clear();
    while (nextEvents(batches, batch, plan))
        std::move(batch.begin(), batch.end(), std::back_inserter(events));
}

}  // namespace rondelo
