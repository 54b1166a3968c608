// A reference: the date and time its milestones count from, where, whose it is and what it is to
// them.
#pragma once

#include <climits>
#include <optional>
#include <string>

#include <absl/time/civil_time.h>
#include <absl/time/time.h>

#include "timeconv/zone.h"

namespace rondelo {

// What a reference's date is to its person: a card's BDAY, ANNIVERSARY, a date of a label of
// its own (Apple's X-ABDATE) or DEATHDATE; or a plain date, given on the command line or as a
// line of a file of dates. The first four are --kinds' bits, in this order.
enum class referenceKind { birthday, anniversary, other, death, date };

struct reference {
    absl::CivilSecond wallClock;  // the date and time of day on the zone's clock
    // The instant, where the date named one (an offset, a zone of its own): wallClock is its
    // reading, which in a fold is also the reading of an hour before.
    std::optional<unixInstant> instant;
    absl::TimeZone zone;  // where its days, months and years are counted
    std::string zoneName;  // as the user gave it; goes into calendar UIDs and JSON lines
    referenceKind kind = referenceKind::date;
    std::string name;   // whose date: a person, a file's NAME or --title; empty for none
    std::string label;  // of kind other: the label as shown, "Firmenjubiläum", "other" for none
    int occurrence = 1;  // the how-many-th reference alike in all of the above (calendar UIDs)
    unixInstant endsBefore{LLONG_MAX};  // no milestone from here on (a death's next day)
};

// The name lines carry in CSV, JSON and text, and in a calendar's UIDs: the name, and after it
// the kind of a card's date other than a birthday: "Anna Schmidt (anniversary)", "Jürgen Weiß
// (Firmenjubiläum)", "Margarethe Vogel (died)".
std::string shownName(const reference& ref);

}  // namespace rondelo
