// One reference's events: the reference line and its milestones within the run's window.
#pragma once

#include <climits>

#include "events/events.h"
#include "events/reference.h"
#include "generators/generators.h"

// What a run makes of each reference.
struct generationPlan {
    long long from = LLONG_MIN;  // the window [from, until), in Unix seconds
    long long until = LLONG_MAX;
    int sign = 1;  // -1: the milestones before the reference
    milestoneChoice milestones;
};

// Appends the reference event and every milestone of the plan's families and units in its
// direction to events, counted as it asks (see addAll). Only instants in the window make events.
void collectEvents(eventList& events, const reference& ref, const generationPlan& plan);
