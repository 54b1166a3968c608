// A calendar directory's history: the files of milestones that have passed, kept while their
// reference is still read.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <unordered_map>

#include <absl/time/time.h>

#include "events/reference.h"
#include "timeconv/zone.h"

namespace rondelo {

// What a run knows of history: every reference it read, by referenceIdentity, with its zone (which
// places an all-day event's date), and the start of its window, before which a milestone has
// passed.
struct vdirHistory {
    std::unordered_map<std::uint64_t, absl::TimeZone> references;
    unixInstant windowStart{LLONG_MIN};
};

// Notes that the run read ref.
void noteReference(vdirHistory& history, const reference& ref);

// The property that names an item's reference: "X-RONDELO-REFERENCE:" and referenceIdentity in 16
// hexadecimal digits.
std::string referenceProperty(const reference& ref);

// True when an item's text, as a calendar directory holds it, is history to keep: its
// X-RONDELO-REFERENCE names a reference of the run, and its DTSTART (a date at midnight in that
// reference's zone, or a UTC time) lies before the window's start.
bool isKeptHistory(const std::string& text, const vdirHistory& history);

}  // namespace rondelo
