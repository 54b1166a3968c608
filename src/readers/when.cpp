// Reads dates, times of day and WHENs digit by digit: nothing but the documented forms passes.
#include "readers/when.h"

#include <cstdio>

#include <absl/time/civil_time.h>

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

// The wall-clock reading count units after t.
absl::CivilSecond addSpan(absl::CivilSecond t, long long count, char unit)
{
    const absl::CivilDay day(t);
    const long long timeOfDay = t - absl::CivilSecond(day);
    switch (unit) {
    case 'd':
        return absl::CivilSecond(day + count) + timeOfDay;
    case 'w':
        return absl::CivilSecond(day + 7 * count) + timeOfDay;
    case 'm':
        return absl::CivilSecond(absl::CivilDay(t.year(), t.month() + count, t.day())) + timeOfDay;
    default:
        return absl::CivilSecond(absl::CivilDay(t.year() + count, t.month(), t.day())) + timeOfDay;
    }
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

std::optional<whenSpec> readWhen(const std::string& text)
{
    if (text == "now")
        return whenSpec{whenSpec::now, 0, 0};
    writtenDate date{};
    if (readWrittenDate(text, false, date))
        return missingDay(date) ? std::nullopt
                                : std::optional<whenSpec>({whenSpec::wallClock, wallClockOf(date, 0).seconds, 0});
    static const std::string units = "dwmy";
    if (text.size() < 3 || text.size() > 8 || (text[0] != '+' && text[0] != '-') ||
        units.find(text.back()) == std::string::npos)
        return std::nullopt;
    std::size_t at = 1;
    int count = 0;
    if (!readDigits(text, at, static_cast<int>(text.size()) - 2, count))
        return std::nullopt;
    return whenSpec{whenSpec::span, text[0] == '-' ? -count : count, text.back()};
}

unixInstant resolveWhen(const whenSpec& when, const absl::TimeZone& zone, unixInstant now)
{
    switch (when.kind) {
    case whenSpec::now:
        return now;
    case whenSpec::wallClock:
        return {wallClock2UnixTime(zone, {when.value})};
    default: {
        const absl::CivilSecond start = civilEpoch + unixTime2WallClock(zone, now.seconds).seconds;
        return {wallClock2UnixTime(zone, {addSpan(start, when.value, when.unit) - civilEpoch})};
    }
    }
}
