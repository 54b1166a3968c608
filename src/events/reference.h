// A reference: the date and time its anniversaries count from, where, and whose it is.
#pragma once

#include <climits>
#include <string>

#include <absl/time/time.h>

#include "timeconv/zone.h"

namespace rondelo {

struct reference {
    wallClockReading wallClock;
    absl::TimeZone zone;
    std::string zoneName;  // as the user gave it; goes into calendar UIDs and JSON lines
    std::string name;      // from a file of dates or --title; empty for a single date
    int occurrence = 1;    // the how-many-th reference alike in all of the above (calendar UIDs)
    long long endsBefore = LLONG_MAX;  // Unix seconds: no milestone from here on (a death's next day)
};

}  // namespace rondelo
