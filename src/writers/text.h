// The text writer: a line per milestone, in columns that line up, for a person at a terminal.
#pragma once

#include <array>
#include <cstddef>
#include <locale.h>  // for locale_t
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>

#include <absl/time/time.h>

#include "events/events.h"
#include "events/reference.h"
#include "writers/moments.h"
#include "writers/shared.h"

namespace rondelo {

// A UTF-8 locale's character types, which measure how many columns a text takes.
using ctypeLocale = std::shared_ptr<std::remove_pointer_t<locale_t>>;

// What a run's lines share: the weekday names, read once from the user's locale, and the
// widths of the columns that change from run to run and from language to language.
struct textState {
    std::array<std::string, 7> weekdays;  // Sunday first, each padded to weekdayWidth
    std::size_t weekdayWidth;             // display columns of the longest
    std::size_t dateWidth;                // of the date's columns, or what is said instead
    std::size_t distanceWidth;            // of the widest distance
    std::size_t ageWidth;                 // of the widest age in years, months and days
    ctypeLocale measure;                  // null when the system has no UTF-8 locale
};

// The abbreviated weekday names of LC_TIME (LC_ALL, LC_TIME or LANG), or English when the
// system has no such locale; the columns as wide as their widest text in the language.
textState makeTextState(const writerSettings& settings);

// "WEEKDAY YYYY-MM-DD HH:MM:SS ZONE  DISTANCE  TITLE": the wall-clock time and zone
// abbreviation of the moment on the clock it is shown on (shownZone), distanceFromNow and
// momentTitle. Each column but the last is padded to its width. A moment that cannot show its
// date says "after the year 9999" or "before the year 1400" in place of the date, and each of
// its milestones gets writeUnshownDate. A moment of a reference's ages is one line: "WEEKDAY
// YYYY-MM-DD HH:MM:SS ZONE  36 years, 6 months, 21 days", with settings.ageUnits each unit's
// count beside, then the name.
bool writeTextLine(std::ostream& out, std::ostream& err, const moment& m, const reference& ref,
                   const writerSettings& settings, const textState& state);

// How far instant lies from now, in the person's language and its numbers grouped: less than
// two days apart, nearDistance's "in 1 day 4 hours"; else by their dates on the wall clock of
// zone, less than two whole months apart "in N days" or "N days ago"; less than two whole years
// apart the whole months; otherwise the whole years. Whole months and years are
// counted as ages are: N months are complete when the earlier date moved on by N calendar
// months, a day that the month lacks being its last day, is not past the later one.
std::string distanceFromNow(unixInstant instant, unixInstant now, const absl::TimeZone& zone,
                            const numberStyle& numbers);

}  // namespace rondelo
