// One reference's events: the reference line and its milestones within the run's window, or its
// ages, made in batches.
#pragma once

#include <climits>
#include <optional>

#include "events/events.h"
#include "events/reference.h"
#include "generators/generators.h"

namespace rondelo {

// What a run makes of each reference.
struct generationPlan {
    unixInstant from{LLONG_MIN};  // the window [from, until)
    unixInstant until{LLONG_MAX};
    int sign = 1;  // -1: the milestones before the reference
    milestoneChoice milestones;
    std::optional<unixInstant> ageAt;  // instead of milestones, the ages at this instant
};

// Whether the plan gives a date without a year its day each year (--every=1y, forward): else
// such a date makes no line.
bool givesYearlyDays(const generationPlan& plan);

// A reference's events still to be made. A family of every N units may have billions of lines
// without a window: it comes in batches of a bounded size, so that it is never held whole.
struct eventBatches {
    anniversaryBase base;  // its window the plan's, within the reference's own bounds
    milestoneChoice choice;  // the plan's, as far as the reference has them
    bool yearless = false;
    std::optional<everyWalk> walk;  // the every family's, once the other lines are made
    std::optional<yearlyWalk> yearly;  // a date without a year's, with --every=1y
    bool started = false;
};

// The batches of ref. A date without a year has no count and no age: it makes its yearly days
// with --every=1y after it (see addYearly), and nothing else. A memorial makes its years alone,
// after it: the chosen families' and --every's in years, no planet's, no age.
eventBatches startEvents(const reference& ref, const generationPlan& plan);

// Refills events with the next batch: first the reference event and every milestone of the
// plan's families and units in its direction (see addAll), or the ages alone; then the every
// family's lines, or the yearly days, a batch at a time. Only instants in the window, and in
// the reference's bounds (startsAt, endsBefore), make milestones. False, with events empty,
// when nothing is left.
bool nextEvents(eventBatches& batches, eventList& events, const generationPlan& plan);

// The earliest event of ref at or after from, as the plan makes them but for its window and its
// ages: the line that follows a window ending at from. Windows from there of a day, two, four
// and on are tried in turn, so that a family of every N units is walked only near from.
std::optional<event> firstEventFrom(const reference& ref, generationPlan plan, unixInstant from);

// Sets events to all the events of ref: the batches of nextEvents one after the other.
void collectEvents(eventList& events, const reference& ref, const generationPlan& plan);

}  // namespace rondelo
