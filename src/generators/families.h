// The families of milestones as data: which counts of which units, their labels and types.
#pragma once

#include <climits>
#include <vector>

#include "events/events.h"
#include "generators/generators.h"

namespace rondelo {

// How a count of a unit becomes an instant.
enum class unitKind {
    calendarMonths,  // the reference's day of the month and time of day, so many months on
    calendarDays,    // the reference's time of day, so many dates on
    exactSeconds,    // so many seconds on
    planetYears,     // so many days of 86,400 seconds on, to the nearest second
};

struct unitDefinition {
    const char* plural;    // as labels have it: "days", "Mars years"
    const char* singular;  // for a count of 1: "Mars year"
    unitKind kind;
    long long length;  // calendarMonths: months; calendarDays: days; exactSeconds: seconds;
                       // planetYears: 1/1000 days
    int choiceBit;     // the milestoneUnit that --units keeps it by; -1: always kept
    eventType type;    // of its lines in every family but the round one, and of its ages
};

// How a label writes its count: "10K days" (K, M, G for thousands), "11111 days" or "2^30 days".
enum class labelForm { metric, plain, power };

// One family's counts of one unit.
struct milestoneSeries {
    const unitDefinition* unit;
    eventType type;
    labelForm form;
    std::vector<long long> counts;        // ascending
    long long backwardLimit = LLONG_MAX;  // a count above it is made only after the reference
};

struct milestoneFamilyData {
    bool calendarOnly;  // an instant outside the years 1400 to 9999 makes no event
    std::vector<milestoneSeries> series;  // in the order of their lines
};

// One family's data, made on its first call and never changed.
const milestoneFamilyData& familyData(milestoneFamily family);

// The definition of one of the units of milestoneUnit.
const unitDefinition& unitOf(milestoneUnit unit);

}  // namespace rondelo
