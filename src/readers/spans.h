// Counts and units as spans, reminders and --every write them (30min, 1d@18:00, 100d): one
// reader of the count and its unit for all three.
#pragma once

#include <optional>
#include <string>

namespace rondelo {

// The units a count may carry: y, mo, w, d, h, min and s.
enum class spanUnit { years, months, weeks, days, hours, minutes, seconds };

constexpr unsigned unitBit(spanUnit unit)
{
    return 1u << static_cast<int>(unit);
}

constexpr unsigned allSpanUnits = (unitBit(spanUnit::seconds) << 1) - 1;

// A count and its unit as read.
struct countedSpan {
    long long count;  // [0, 10^digits of its form)
    spanUnit unit;
};

// What a caller takes: a count of one to digits decimal digits, and a unit with a bit in units.
struct spanForm {
    int digits;      // [1, 18]
    unsigned units;  // unitBit of each
};

// Reads text, a count and its unit right after it, as in 30min or 100d, into span. Returns what
// is wrong: "m could be months or minutes: write mo or min" for a bare m after the count, an
// empty string for any other text not of the form, which the caller words; span is then
// unchanged.
std::optional<std::string> readCountedSpan(const std::string& text, spanForm form,
                                           countedSpan& span);

// A reminder as written: a count of at most four digits and w, d, h or min, and after d or w
// optionally @HH:MM, the time of day an all-day event is reminded at.
struct reminderSpan {
    countedSpan before;
    std::optional<long long> timeOfDay;  // seconds after midnight, a whole minute
};

// Reads a reminder into reminder. Returns what is wrong with text, to follow "invalid --remind
// 'TEXT'" in parentheses; reminder is then unspecified.
std::optional<std::string> readReminder(const std::string& text, reminderSpan& reminder);

// The seconds of a unit of fixed length: a week and a day as 604800 and 86400 seconds, an hour,
// a minute, a second; 0 for a year and a month.
long long fixedSeconds(spanUnit unit);

}  // namespace rondelo
