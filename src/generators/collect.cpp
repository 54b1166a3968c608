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
    const milestoneChoice& choice = batches.choice;
    if (plan.ageAt) {
        addAges(events, base, *plan.ageAt, choice);
        return;
    }
    if (batches.yearless) {
        if (givesYearlyDays(plan))
            batches.yearly = startYearly(base);
        return;
    }
    if (isInWindow(base, base.instant))
        events.push_back({base.instant});
    if (!choice.every) {
        addAll(events, base, plan.sign, choice);
        return;
    }
    milestoneChoice others = choice;
    others.every.reset();
    addAll(events, base, plan.sign, others);
    batches.walk = startEvery(base, plan.sign, choice);
}

// What of the plan's milestones ref can have: a date without a year no count at all (its
// yearly days aside), a memorial its years after the death and no age.
milestoneChoice choiceFor(const reference& ref, const generationPlan& plan)
{
    milestoneChoice choice = plan.milestones;
    const bool memorial = ref.kind == referenceKind::memorial;
    if (ref.yearless || (memorial && (plan.ageAt || plan.sign < 0))) {
        choice.families = 0;
        choice.units = 0;
        choice.every.reset();
    } else if (memorial) {
        choice.units &= 1u << unitYears;
        choice.families &= ~(1u << familyPlanets);
        if (choice.every && choice.every->unit != unitYears)
            choice.every.reset();
    }
    return choice;
}

}  // namespace

eventBatches startEvents(const reference& ref, const generationPlan& plan)
{
    eventBatches batches{baseOf(ref.wallClock, ref.zone, std::max(plan.from, ref.startsAt),
                                std::min(plan.until, ref.endsBefore)),
                         choiceFor(ref, plan), ref.yearless, std::nullopt, std::nullopt, false};
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
        if (!addEvery(events, *batches.walk, batches.base, plan.sign, batches.choice, everyBatch))
            batches.walk.reset();
    while (batches.yearly && events.empty())
        if (!addYearly(events, *batches.yearly, batches.base, batches.choice, everyBatch))
            batches.yearly.reset();
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

bool givesYearlyDays(const generationPlan& plan)
{
    const std::optional<everySpan>& every = plan.milestones.every;
    return every && every->unit == unitYears && every->step == 1 && plan.sign > 0;
}

}  // namespace rondelo
