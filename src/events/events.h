// The event list: one reference's anniversaries, and the reference instant, in generation order.
#pragma once

#include <string>
#include <vector>

namespace rondelo {

// The kind of an event; printed as a number in the third report column.
enum eventType : int {
    evMonths = 1,
    evWeeks = 2,
    evKiloWeeks = 3,
    evDays = 4,
    evHours = 5,
    evMinutes = 6,
    evSeconds = 7,
    evReference = 8,
    evTest = 9,
    evPlanetYears = 10,
    evYears = 11,
};

struct event {
    long long timestamp;    // Unix seconds
    std::string label;
    eventType type;
    long long count = 0;    // units from the reference, negative before it; 0 for the reference
    const char* unit = "";  // the unit's plural name as labels have it: "days", "Mars years"
    bool age = false;       // the whole units from the reference to the instant, not a milestone
};

// A value owned by whoever runs the loop: one reference's events, freed with it. A run over
// many references clears and refills one list, so its storage is taken once.
using eventList = std::vector<event>;

// Appends one event at the end of events.
void addEvent(eventList& events, long long timestamp, std::string label, eventType type,
              long long count = 0, const char* unit = "");

}  // namespace rondelo
