// A reference: the date and time its milestones count from, where, whose it is and what it is to
// them.
#pragma once

#include <climits>
#include <optional>
#include <string>

#include <absl/time/civil_time.h>
#include <absl/time/time.h>

#include "events/events.h"
#include "timeconv/zone.h"

namespace rondelo {

// What a reference's date is to its person: a card's BDAY, ANNIVERSARY, a date of a label of
// its own (Apple's X-ABDATE) or DEATHDATE; the birthday of someone who died, remembered after
// the death (--kinds=memorial); or a plain date, given on the command line or as a line of a
// file of dates. The first five are --kinds' bits, in this order.
enum class referenceKind { birthday, anniversary, other, death, memorial, date };

// The year that the reading of a date without a year holds: a leap year, so that 29 February
// is a day of it. It is no year of the date, and is never counted from or shown.
constexpr int yearlessYear = 2000;

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
    bool yearless = false;  // a month and day alone: wallClock is in yearlessYear, at midnight
    unixInstant startsAt{LLONG_MIN};    // no milestone before (a memorial's: the death's next day)
    unixInstant endsBefore{LLONG_MAX};  // no milestone from here on (a death's next day)
};

// The name lines carry in CSV, JSON and text, and in a calendar's UIDs: the name, and after it
// the kind of a card's date other than a birthday: "Anna Schmidt (anniversary)", "Jürgen Weiß
// (Firmenjubiläum)", "Margarethe Vogel (died)", "Margarethe Vogel (memorial)".
std::string shownName(const reference& ref);

// The same without a copy where the name is shown as it is: ref.name itself, else decorated,
// which it fills. A file's every line carries its name.
const std::string& shownName(const reference& ref, std::string& decorated);

// The label lines carry for e, a line of ref, in CSV and JSON, in text titles with --title and
// in calendar UIDs: countLabel(e), and for a yearly day the word of ref's kind
// ("birthday", "anniversary", a plain date's "birthday"), since a date without a year has no
// count to show.
std::string labelOf(const event& e, const reference& ref);

}  // namespace rondelo
