// Reads dates, times of day and WHENs digit by digit: nothing but the documented forms passes.
#include "readers/when.h"

#include <cstdio>

#include <absl/time/civil_time.h>

namespace rondelo {

namespace {

const absl::CivilSecond civilEpoch(1970, 1, 1, 0, 0, 0);

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

// The wall-clock reading count calendar units after t.
absl::CivilSecond addSpan(absl::CivilSecond t, long long count, spanUnit unit)
{
    const absl::CivilDay day(t);
    const long long timeOfDay = t - absl::CivilSecond(day);
    switch (unit) {
    case spanUnit::days:
        return absl::CivilSecond(day + count) + timeOfDay;
    case spanUnit::weeks:
        return absl::CivilSecond(day + 7 * count) + timeOfDay;
    case spanUnit::months:
        return absl::CivilSecond(absl::CivilDay(t.year(), t.month() + count, t.day())) + timeOfDay;
    default:
        return absl::CivilSecond(absl::CivilDay(t.year() + count, t.month(), t.day())) + timeOfDay;
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

wallClockReading wallClockOf(const writtenDate& date, long long timeOfDay)
{
    const absl::CivilSecond midnight(date.year, date.month, date.day, 0, 0, 0);
    return {midnight - civilEpoch + date.timeOfDay.value_or(timeOfDay)};
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
    when = {whenSpec::wallClock, wallClockOf(date, 0).seconds};
    return std::nullopt;
}

unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now)
{
    const absl::CivilSecond start = civilEpoch + unixTime2WallClock(zone, now.seconds).seconds;
    switch (when.kind) {
    case whenSpec::now:
        return now;
    case whenSpec::day:
        return {wallClock2UnixTime(zone, {absl::CivilSecond(absl::CivilDay(start) + when.value) - civilEpoch})};
    case whenSpec::wallClock:
        return {wallClock2UnixTime(zone, {when.value})};
    default:
        if (when.unit == spanUnit::hours || when.unit == spanUnit::minutes)
            return {now.seconds + when.value * (when.unit == spanUnit::hours ? 3600 : 60)};
        return {wallClock2UnixTime(zone, {addSpan(start, when.value, when.unit) - civilEpoch})};
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

}  // namespace rondelo
