// The anniversary generators: each appends its series of events to the event list.
#pragma once

#include <ctime>

// sign is +1 for anniversaries after the reference, -1 for those before it; its label prefix
// is "" only for exactly 1. step advances every range counter; callers pass 1, and a step
// below 1 appends nothing.

// Calendar months from the year, month and day of the reference; nothing else of it is read.
void addMonths(int sign, std::tm reference, int step);

// Fixed offsets from referenceTimestamp.
void addWeeks(int sign, int step);
void addDays(int sign, int step);
void addHours(int sign, int step);
void addMinutes(int sign, int step);
void addSeconds(int sign, int step);

// All six series for one direction, each with step 1.
void addAll(int sign, std::tm reference);

// The label prefix that every generator puts before its numbers.
const char* signPrefix(int sign);
