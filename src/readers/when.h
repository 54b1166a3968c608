// Dates, times of day and spans as people write them, read into wall-clock readings and instants.
#pragma once

#include <optional>
#include <string>

#include <absl/time/time.h>

#include "readers/spans.h"
#include "timeconv/zone.h"

namespace rondelo {

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
absl::CivilSecond wallClockOf(const writtenDate& date, long long timeOfDay);

// A WHEN of --from and --until, kept as read until the run's zone is known.
struct whenSpec {
    enum kindOf { now, day, wallClock, span } kind;
    long long value;  // a day's offset from today, the reading's seconds, or a span's count
    spanUnit unit = spanUnit::days;  // of a span
};

// now; today, tomorrow or yesterday (the start of that day in the zone); YYYY-MM-DD or
// YYYY-MM-DDTHH:MM[:SS]; or a span from now: +N or -N (N of at most six digits) followed by y,
// mo, w, d, h or min. Returns what is wrong with any other text, to follow the WHEN in a
// message: the day a date names that does not exist, the m that could be two units, or an
// empty string for text in no form at all.
std::optional<std::string> readWhen(const std::string& text, whenSpec& when);

// The instant WHEN names at the instant now, in zone. A span counts wall-clock days, weeks,
// calendar months or calendar years from now's reading (a month or year end that the target
// month lacks runs over into the next month, as month anniversaries do), or exact hours and
// minutes.
unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now);

// How to write a date that was written another way, the words of a command line joined by
// blanks: "write 1990-05-17" for 19900517, 1990-5-17, 1990/05/17, 17.05.1990 (dots put the
// day first), 17/05/1990, 05/17/1990, May 17 1990 or 17 May 1990 (English month names and
// their abbreviations); "write 1990-06-05 or 1990-05-06" for 05/06/1990, which slashes leave
// open, the day first; "write 1990-05-17T14:30" for 1990-05-17 14:30 (a date of one reading and
// a time of day); nothing for text that looks like no date.
std::optional<std::string> suggestedForm(const std::string& text);

// What a date with its time of day may say of where it was read: its offset from UTC (RFC
// 3339: Z, +02:00, -05:00), its zone in brackets (RFC 9557: [Europe/Berlin], [!Europe/Berlin],
// also an offset, [+02:00]), or both. Either fixes the instant.
struct dateAnchor {
    std::optional<long long> offset;  // seconds east of UTC, as written
    bool utcOnly = false;  // Z or -00:00: the instant is known in UTC, the place's offset is not
    std::string zone;      // in brackets; empty for none
};

// "+02:00", "-05:00" for an offset of seconds east of UTC.
std::string offsetText(long long seconds);

inline bool isAnchored(const dateAnchor& anchor)
{
    return anchor.offset || !anchor.zone.empty();
}

// A date as readWrittenDate reads it, then after a time of day optionally an offset (Z, +HH,
// +HHMM or +HH:MM, or with '-') and bracketed suffixes: first the zone, then tags (key=value),
// which are ignored unless critical ("[!u-ca=hebrew]"). Returns what is wrong, to follow the
// quoted text in a message: an empty string for text in no such form, which may have a
// suggestedForm.
std::optional<std::string> readAnchoredDate(const std::string& text, bool dotted,
                                            writtenDate& date, dateAnchor& anchor);

// The instant that date, with its time of day, and anchor name: at the offset, or on the clock
// of the bracketed zone, which the caller loaded into zone (null for an offset in brackets).
// Where both are written they must agree, the zone's clock reading date at the offset, as in a
// fold, where two offsets do; Z and -00:00 agree with every zone. A reading that the zone skips
// is read by wallClock2UnixTime's rule. Returns what is wrong.
std::optional<std::string> anchoredInstant(const writtenDate& date, const dateAnchor& anchor,
                                           const absl::TimeZone* zone, unixInstant& instant);

// A date and time as vCards write them, checked against the calendar: the years 1400 to 9999,
// a day its month has. With Z or a UTC offset it is that instant, and its fields are the
// reading at the offset written; without one it is a wall-clock reading for the caller's zone.
struct isoDateTime {
    writtenDate date{};                  // with its time of day, when one was written
    std::optional<unixInstant> instant;  // in the calendar, with Z or an offset
};

// True for a date written without its year, month or day, or a time without a date: --MMDD,
// --MM-DD, ---DD, YYYY, YYYY-MM, THHMM...; such a value has nothing to count from.
bool isPartialIsoDate(const std::string& text);

// What readYearlessDate found: no month and day without a year, one, or one that no year has.
enum class yearlessDate { none, read, noDay };

// A month and day without a year into date, its year yearlessYear and no time of day: --MMDD
// or --MM-DD, as vCard 3 and 4 and ISO 8601 truncate a date, or a date in the year that
// omittedYear names as none (Apple's X-APPLE-OMIT-YEAR=1604 on 1604-05-17 or 16040517).
yearlessDate readYearlessDate(const std::string& text, const std::string& omittedYear,
                              writtenDate& date);

// ISO 8601's basic and extended forms as vCard 3 and 4 write them: YYYYMMDD or YYYY-MM-DD, then
// optionally T and HH, HHMM, HHMMSS or HH:MM[:SS] (a fraction of a second dropped), then
// optionally Z, +HH, +HHMM or +HH:MM (or with '-'). Returns what is wrong with any other text,
// to follow it in a message.
std::optional<std::string> readIsoDateTime(const std::string& text, isoDateTime& when);

}  // namespace rondelo
