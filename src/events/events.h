// The event list: every anniversary of a run, and the reference instant, in generation order.
#pragma once

#include <vector>

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
};

struct event {
    long long timestamp;  // Unix seconds
    const char* label;    // NUL-terminated, never freed
    eventType type;
};

// Appended to by addEvent only; records and labels live until the process ends.
extern std::vector<event*> eventsForOneReferenceDate;

// Unix seconds of the reference date; the base of every fixed-unit offset.
extern long long referenceTimestamp;

// Every generator formats its labels here before copying them to the heap.
extern char tmpbuf[512];

// Appends one event; the label pointer is stored as given, not copied.
void addEvent(long long timestamp, const char* label, eventType type);
