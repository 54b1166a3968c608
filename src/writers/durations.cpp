// Ages and near countdowns as a person says them; every text goes through one function.
#include "writers/durations.h"

#include <algorithm>

namespace rondelo {

namespace {

enum durationUnit { years, months, days, hours, minutes, seconds };

// The English texts of this file: a count of each unit, one and more than one, "%s" being the
// number; then how they are joined and placed in time.
const char* const unitTexts[][2] = {
    {"%s year", "%s years"},     {"%s month", "%s months"},   {"%s day", "%s days"},
    {"%s hour", "%s hours"},     {"%s minute", "%s minutes"}, {"%s second", "%s seconds"},
};
const char* const agePartsJoined = "%s, %s";  // "36 years, 6 months"
const char* const nearPartsJoined = "%s %s";  // "1 day 4 hours"
const char* const ahead = "in %s";
const char* const ago = "%s ago";
const char* const atNow = "now";

// pattern with each "%s" replaced by the next of first and second: the one way the texts above
// reach a person, which a catalog of the person's language can take over.
std::string durationText(const char* pattern, const std::string& first,
                         const std::string& second = std::string())
{
    std::string text = pattern;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, first);
    const std::size_t next = text.find("%s", at == std::string::npos ? 0 : at + first.size());
    if (next != std::string::npos)
        text.replace(next, 2, second);
    return text;
}

std::string counted(long long count, durationUnit unit)
{
    return durationText(unitTexts[unit][count == 1 ? 0 : 1], std::to_string(count));
}

std::string placed(const std::string& amount, bool later)
{
    return durationText(later ? ahead : ago, amount);
}

// The two largest whole units of a span of seconds, [0, 172800): "1 day 4 hours".
std::string twoUnits(long long span)
{
    static const long long lengths[] = {86400, 3600, 60, 1};
    int unit = 0;
    while (unit < 3 && span < lengths[unit])
        ++unit;
    const std::string first = counted(span / lengths[unit], durationUnit(days + unit));
    const long long rest = unit < 2 ? span % lengths[unit] / lengths[unit + 1] : 0;
    if (rest == 0)
        return first;
    return durationText(nearPartsJoined, first, counted(rest, durationUnit(days + unit + 1)));
}

}  // namespace

calendarAge calendarAgeBetween(absl::CivilSecond earlier, absl::CivilSecond later)
{
    const absl::CivilDay day(earlier);
    const long long timeOfDay = earlier - absl::CivilSecond(day);
    long long months = (later.year() - earlier.year()) * 12 + (later.month() - earlier.month());
    absl::CivilSecond whole;
    do {
        whole = absl::CivilSecond(monthsLater(day, months--, monthEnd::clamp)) + timeOfDay;
    } while (whole > later);
    ++months;
    return {months / 12, static_cast<int>(months % 12), static_cast<int>((later - whole) / 86400)};
}

std::string ageText(const calendarAge& age, bool later)
{
    const std::pair<long long, durationUnit> parts[] = {
        {age.years, years}, {age.months, months}, {age.days, days}};
    std::string text;
    for (const auto& [count, unit] : parts)
        if (count != 0)
            text = text.empty() ? counted(count, unit)
                                : durationText(agePartsJoined, text, counted(count, unit));
    if (text.empty())
        text = counted(0, days);
    return later ? placed(text, true) : text;
}

std::size_t widestAgeText()
{
    return ageText({10000 - 1400, 11, 30}, true).size();
}

std::optional<std::string> nearDistance(unixInstant instant, unixInstant now)
{
    const long long apart = instant.seconds - now.seconds;
    if (apart == 0)
        return std::string(atNow);
    if (apart <= -172800 || apart >= 172800)
        return std::nullopt;
    return placed(twoUnits(apart < 0 ? -apart : apart), apart > 0);
}

std::size_t widestNearDistance()
{
    std::size_t widest = 0;
    for (const long long apart : {172799, 86399, 3599, 59})
        widest = std::max(widest, nearDistance({0}, {apart})->size());
    return widest;
}

}  // namespace rondelo
