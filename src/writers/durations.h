// Durations in a person's units for the text format: an age in years, months and days, and a
// countdown in days, hours and minutes when a milestone is near; in the person's language.
#pragma once

#include <optional>
#include <string>

#include <absl/time/civil_time.h>

#include "diagnostics/language.h"
#include "timeconv/civil.h"

namespace rondelo {

// Whole years, months and days from one wall-clock reading to a later one, as dateutil's
// relativedelta counts them: whole calendar months first, a day that the month lacks being its
// last day, then the whole days of what is left.
struct calendarAge {
    long long years;
    int months;  // [0, 11]
    int days;    // [0, 30]
};

// The age at later of what began at earlier (earlier at or before later).
calendarAge calendarAgeBetween(absl::CivilSecond earlier, absl::CivilSecond later);

// "36 years, 6 months, 21 days", the parts that are 0 left out ("36 years", "0 days"); an age
// still to come "3 years, 2 days to go". The numbers grouped as the locale groups them.
std::string ageText(const calendarAge& age, bool toCome, const numberStyle& numbers);

// How far instant lies from now when they are less than two days apart, in the two largest
// whole units: "in 1 day 4 hours", "5 hours 12 minutes ago", "in 12 minutes", "in 40 seconds",
// "now"; nothing when they are further apart.
std::optional<std::string> nearDistance(unixInstant instant, unixInstant now);

}  // namespace rondelo
