// Reads dates, times of day and WHENs digit by digit: nothing but the documented forms passes.
#include "readers/when.h"

#include <algorithm>
#include <cstdio>

#include <absl/time/civil_time.h>

#include "readers/text_bytes.h"
#include "timeconv/epoch.h"

namespace rondelo {

namespace {

// Exactly width decimal digits at text[at], moving at past them.
bool readDigits(const std::string& text, std::size_t& at, int width, int& value)
{
    value = 0;
    for (int i = 0; i < width; ++i, ++at) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool readSeparator(const std::string& text, std::size_t& at, char separator)
{
    return at < text.size() && text[at++] == separator;
}

// The wall-clock reading count calendar units after start; a day that the target month lacks
// runs over into the next month, as month anniversaries do by default.
wallClockReading addSpan(wallClockReading start, long long count, spanUnit unit)
{
    const absl::CivilSecond t = civilOf(start);
    const absl::CivilDay day(t);
    const long long timeOfDay = t - absl::CivilSecond(day);
    switch (unit) {
    case spanUnit::days:
        return daysAfter(start, count);
    case spanUnit::weeks:
        return daysAfter(start, 7 * count);
    case spanUnit::months:
        return readingOf(monthsLater(day, count, monthEnd::overflow), timeOfDay);
    default:
        return readingOf(monthsLater(day, 12 * count, monthEnd::overflow), timeOfDay);
    }
}

// +N or -N, N of at most six digits, and a unit up to minutes.
std::optional<std::string> readSpan(const std::string& text, whenSpec& when)
{
    if (text.empty() || (text[0] != '+' && text[0] != '-'))
        return std::string();
    countedSpan span{};
    if (auto wrong = readCountedSpan(text.substr(1), {6, unitBit(spanUnit::seconds) - 1}, span))
        return wrong;
    when = {whenSpec::span, text[0] == '-' ? -span.count : span.count, span.unit};
    return std::nullopt;
}

}  // namespace

bool readClock(const std::string& text, std::size_t at, bool twoDigitHour, long long& seconds)
{
    const int hourWidth = !twoDigitHour && text.size() > at + 1 && text[at + 1] == ':' ? 1 : 2;
    int hour = 0, minute = 0, second = 0;
    if (!readDigits(text, at, hourWidth, hour) || !readSeparator(text, at, ':') ||
        !readDigits(text, at, 2, minute))
        return false;
    if (at < text.size() && (!readSeparator(text, at, ':') || !readDigits(text, at, 2, second)))
        return false;
    seconds = hour * 3600LL + minute * 60 + second;
    return at == text.size() && hour < 24 && minute < 60 && second < 60;
}

bool readWrittenDate(const std::string& text, bool dotted, writtenDate& date)
{
    std::size_t at = 0;
    const char separator = dotted && text.size() > 4 && text[4] == '.' ? '.' : '-';
    if (!readDigits(text, at, 4, date.year) || !readSeparator(text, at, separator) ||
        !readDigits(text, at, 2, date.month) || !readSeparator(text, at, separator) ||
        !readDigits(text, at, 2, date.day))
        return false;
    date.timeOfDay.reset();
    if (at == text.size())
        return true;
    long long clock = 0;
    if (separator != '-' || !readSeparator(text, at, 'T') || !readClock(text, at, true, clock))
        return false;
    date.timeOfDay = clock;
    return true;
}

std::optional<std::string> missingDay(const writtenDate& date)
{
    static const char* const monthNames[] = {"January", "February", "March", "April",
                                             "May", "June", "July", "August",
                                             "September", "October", "November", "December"};
    if (date.month < 1 || date.month > 12)
        return "month " + std::to_string(date.month) + " is out of range (1 to 12)";
    const absl::CivilDay day(date.year, date.month, date.day);  // runs over a missing day
    if (date.day >= 1 && day.day() == date.day)
        return std::nullopt;
    const int length = (absl::CivilDay(date.year, date.month + 1, 1) - 1).day();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return std::string(text) + " does not exist (" + monthNames[date.month - 1] + " " +
           std::to_string(date.year) + " has " + std::to_string(length) + " days)";
}

absl::CivilSecond wallClockOf(const writtenDate& date, long long timeOfDay)
{
    const long long second = date.timeOfDay.value_or(timeOfDay);  // [0, 86399]
    return absl::CivilSecond(date.year, date.month, date.day, static_cast<int>(second / 3600),
                             static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
}

std::optional<std::string> readWhen(const std::string& text, whenSpec& when)
{
    static const char* const days[] = {"yesterday", "today", "tomorrow"};
    for (int offset = -1; offset <= 1; ++offset)
        if (text == days[offset + 1]) {
            when = {whenSpec::day, offset};
            return std::nullopt;
        }
    if (text == "now") {
        when = {whenSpec::now, 0};
        return std::nullopt;
    }
    writtenDate date{};
    if (!readWrittenDate(text, false, date))
        return readSpan(text, when);
    if (auto wrong = missingDay(date))
        return wrong;
    when = {whenSpec::wallClock, readingOf(wallClockOf(date, 0)).seconds};
    return std::nullopt;
}

unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now)
{
    const wallClockReading start = unixTime2WallClock(zone, now);
    switch (when.kind) {
    case whenSpec::now:
        return now;
    case whenSpec::day:
        return wallClock2UnixTime(zone, readingOf(absl::CivilDay(civilOf(start)) + when.value));
    case whenSpec::wallClock:
        return wallClock2UnixTime(zone, wallClockReading{when.value});
    default:
        if (when.unit == spanUnit::hours || when.unit == spanUnit::minutes)
            return {now.seconds + when.value * (when.unit == spanUnit::hours ? 3600 : 60)};
        return wallClock2UnixTime(zone, addSpan(start, when.value, when.unit));
    }
}

std::optional<std::string> suggestedForm(const std::string& text)
{
    int year = 0, month = 0, day = 0;
    char end = 0;
    const bool eightDigits = text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos &&
                             std::sscanf(text.c_str(), "%4d%2d%2d", &year, &month, &day) == 3;
    const bool looseDashes = std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3 &&
                             text.size() >= 8 && text[4] == '-';
    if ((eightDigits || looseDashes) && !missingDay({year, month, day, std::nullopt})) {
        char written[16];
        std::snprintf(written, sizeof written, "%04d-%02d-%02d", year, month, day);
        return "write " + std::string(written);
    }
    if (std::sscanf(text.c_str(), "%2d/%2d/%4d%c", &day, &month, &year, &end) == 3 ||
        std::sscanf(text.c_str(), "%2d.%2d.%4d%c", &day, &month, &year, &end) == 3)
        return std::string("write YYYY-MM-DD");
    return std::nullopt;
}

namespace {

// An optional ':' of the extended format, then two digits; false, and at as it was, when the
// digits are missing.
bool readClockField(const std::string& text, std::size_t& at, int& value)
{
    const std::size_t from = at;
    if (at < text.size() && text[at] == ':')
        ++at;
    if (readDigits(text, at, 2, value))
        return true;
    at = from;
    return false;
}

// Z, or +HH, +HHMM or +HH:MM (or with '-') into seconds east of UTC, from text[at] to its end.
bool readOffset(const std::string& text, std::size_t at, long long& offset)
{
    if (text.size() == at + 1 && (text[at] == 'Z' || text[at] == 'z')) {
        offset = 0;
        return true;
    }
    if (at >= text.size() || (text[at] != '+' && text[at] != '-'))
        return false;
    const long long sign = text[at] == '-' ? -1 : 1;
    int hours = 0, minutes = 0;
    if (!readDigits(text, ++at, 2, hours) || hours > 23)
        return false;
    if (at < text.size() && (!readClockField(text, at, minutes) || minutes > 59 || at != text.size()))
        return false;
    offset = sign * (hours * 3600LL + minutes * 60);
    return true;
}

// HH, HHMM, HHMMSS or HH:MM[:SS], a fraction of a second dropped, then an optional offset,
// from text[at] to its end.
bool readIsoTime(const std::string& text, std::size_t at, writtenDate& date,
                 std::optional<long long>& offset)
{
    int hour = 0, minute = 0, second = 0;
    if (!readDigits(text, at, 2, hour) || hour > 23)
        return false;
    if (readClockField(text, at, minute) && readClockField(text, at, second) && at < text.size() &&
        (text[at] == '.' || text[at] == ',') && at + 1 < text.size() && isDigit(text[at + 1]))
        for (++at; at < text.size() && isDigit(text[at]);)
            ++at;
    if (minute > 59 || second > 59)
        return false;
    date.timeOfDay = hour * 3600LL + minute * 60 + second;
    long long east = 0;
    if (at == text.size())
        return true;
    if (!readOffset(text, at, east))
        return false;
    offset = east;
    return true;
}

// YYYYMMDD or YYYY-MM-DD, then optionally T and a time, into date; false for other text.
bool readIsoText(const std::string& text, writtenDate& date, std::optional<long long>& offset)
{
    std::size_t at = 0;
    const bool extended = text.size() > 4 && text[4] == '-';
    if (!readDigits(text, at, 4, date.year))
        return false;
    at += extended ? 1 : 0;
    if (!readDigits(text, at, 2, date.month) ||
        (extended && (at >= text.size() || text[at++] != '-')) || !readDigits(text, at, 2, date.day))
        return false;
    if (at == text.size())
        return true;
    return (text[at] == 'T' || text[at] == 't') && readIsoTime(text, at + 1, date, offset);
}

}  // namespace

bool isPartialIsoDate(const std::string& text)
{
    const bool year = text.size() >= 4 && std::all_of(text.begin(), text.begin() + 4, isDigit);
    const bool yearMonth =
        text.size() == 7 && year && text[4] == '-' && isDigit(text[5]) && isDigit(text[6]);
    return text.compare(0, 2, "--") == 0 || (year && text.size() == 4) || yearMonth ||
           (!text.empty() && (text[0] == 'T' || text[0] == 't'));
}

std::optional<std::string> readIsoDateTime(const std::string& text, isoDateTime& when)
{
    std::optional<long long> offset;
    when = isoDateTime{};
    writtenDate& date = when.date;
    if (!readIsoText(text, date, offset))
        return std::string("is not a date (YYYYMMDD or YYYY-MM-DD, then THHMMSS and Z or an offset)");
    if (date.year < 1400)
        return "is in year " + std::to_string(date.year) + ", out of range (1400 to 9999)";
    const absl::CivilDay day(date.year, date.month, date.day);  // runs over a missing day
    if (date.month < 1 || date.month > 12 || date.day < 1 || day.month() != date.month)
        return std::string("is no day of the calendar");
    if (!offset)
        return std::nullopt;
    when.instant = unixInstant{readingOf(wallClockOf(date, 0)).seconds - *offset};
    if (!isCalendarSecond(when.instant->seconds))
        return std::string("is an instant out of range (years 1400 to 9999 in UTC)");
    return std::nullopt;
}

}  // namespace rondelo
