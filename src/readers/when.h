// Dates, times of day and spans as people write them, read into wall-clock readings and instants.
#pragma once

#include <optional>
#include <string>

#include <absl/time/time.h>

#include "timeconv/zone.h"

// A date as written: its fields are not yet checked against the calendar.
struct writtenDate {
    int year;                            // four digits
    int month;                           // two digits
    int day;                             // two digits
    std::optional<long long> timeOfDay;  // seconds after midnight, when the text gave one
};

// HH:MM or HH:MM:SS from text[at] to its end, 00:00 to 23:59:59, into seconds after midnight;
// the hour may have one digit unless twoDigitHour.
bool readClock(const std::string& text, std::size_t at, bool twoDigitHour, long long& seconds);

// YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS], and YYYY.MM.DD when dotted; false for any other text.
bool readWrittenDate(const std::string& text, bool dotted, writtenDate& date);

// What is wrong with a date whose fields were read: "1990-02-29 does not exist (February 1990
// has 28 days)", or nothing when the calendar has it.
std::optional<std::string> missingDay(const writtenDate& date);

// The reading of date at its time of day, else at timeOfDay; the date must exist.
wallClockReading wallClockOf(const writtenDate& date, long long timeOfDay);

// A WHEN of --from and --until, kept as read until the run's zone is known.
struct whenSpec {
    enum kindOf { now, wallClock, span } kind;
    long long value;  // the reading's seconds, or the count of a span (negative into the past)
    char unit;        // of a span: 'd', 'w', 'm' or 'y'
};

// now, YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or a span from now: +N or -N followed by d, w, m or
// y, N of at most six digits; nothing for any other text.
std::optional<whenSpec> readWhen(const std::string& text);

// The instant WHEN names at the instant now, in zone. A span counts wall-clock days, weeks,
// calendar months or calendar years from now's reading; a month or year end that the target
// month lacks runs over into the next month, as month anniversaries do.
unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now);
