// Calendar month arithmetic on wall-clock readings.
#pragma once

#include <optional>

#include "timeconv/zone.h"

namespace rondelo {

// A wall-clock reading taken apart for month arithmetic.
struct monthReading {
    long long month;      // 12 * year + month - 1
    int day;              // [1, 31]
    long long timeOfDay;  // seconds after midnight
};

// reading within the years 1400 to 9999.
monthReading splitForMonths(wallClockReading reading);

// The reading months months on from reference (back for a negative count), at its day of the
// month and time of day. A day that the target month lacks runs over into the next month
// (31 after a 30-day month gives the 1st), or with clamp is the month's last day. Nothing when
// the target month lies outside the years 1400 to 9999.
std::optional<wallClockReading> monthsFrom(const monthReading& reference, long long months,
                                           bool clamp);

}  // namespace rondelo
