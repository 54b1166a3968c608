// Ages and near countdowns as a person says them, through the catalogs.
#include "writers/durations.h"

namespace rondelo {

namespace {

enum durationUnit { years, months, days, hours, minutes, seconds };

// The counts of the units, as titles say them.
const pluralText unitPhrases[] = {
    NN_("%s year", "%s years"),     NN_("%s month", "%s months"),
    NN_("%s day", "%s days"),       NN_("%s hour", "%s hours"),
    NN_("%s minute", "%s minutes"), NN_("%s second", "%s seconds"),
};

std::string counted(long long count, durationUnit unit, const numberStyle& numbers)
{
    const auto n = static_cast<unsigned long long>(count);
    return fill(translated(unitPhrases[unit], n), {grouped(n, numbers)});
}

// The two largest whole units of a span of seconds, [1, 172800): "1 day 4 hours".
std::string twoUnits(long long span)
{
    static const long long lengths[] = {86400, 3600, 60, 1};
    const numberStyle numbers;  // no count here reaches a thousand
    int unit = 0;
    while (unit < 3 && span < lengths[unit])
        ++unit;
    const std::string first = counted(span / lengths[unit], durationUnit(days + unit), numbers);
    const long long rest = unit < 2 ? span % lengths[unit] / lengths[unit + 1] : 0;
    if (rest == 0)
        return first;
    // TRANSLATORS: a countdown's two units: "1 day 4 hours", "5 hours 12 minutes".
    return fill(P_("countdown", "%s %s"),
                {first, counted(rest, durationUnit(days + unit + 1), numbers)});
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

std::string ageText(const calendarAge& age, bool toCome, const numberStyle& numbers)
{
    const std::pair<long long, durationUnit> parts[] = {
        {age.years, years}, {age.months, months}, {age.days, days}};
    // TRANSLATORS: the parts of an age, joined: "36 years, 6 months", then ", 21 days".
    const char* const joined = P_("age", "%s, %s");
    std::string text;
    for (const auto& [count, unit] : parts)
        if (count != 0)
            text = text.empty() ? counted(count, unit, numbers)
                                : fill(joined, {text, counted(count, unit, numbers)});
    if (text.empty())
        text = counted(0, days, numbers);
    // TRANSLATORS: an age still to come, of a date after the one it is taken at: "3 years, 2
    // days to go".
    return toCome ? fill(P_("age", "%s to go"), {text}) : text;
}

std::optional<std::string> nearDistance(unixInstant instant, unixInstant now)
{
    const long long apart = instant.seconds - now.seconds;
    if (apart == 0)
        // TRANSLATORS: how far a milestone lies from now, in the text format: at this second.
        return std::string(P_("countdown", "now"));
    if (apart <= -172800 || apart >= 172800)
        return std::nullopt;
    // TRANSLATORS: how far a milestone less than two days away lies from now: "in 1 day 4
    // hours"; %s is the countdown's units.
    const char* const ahead = P_("countdown", "in %s");
    // TRANSLATORS: how far a milestone less than two days ago lies from now: "5 hours 12
    // minutes ago"; %s is the countdown's units.
    const char* const ago = P_("countdown", "%s ago");
    return fill(apart > 0 ? ahead : ago, {twoUnits(apart < 0 ? -apart : apart)});
}

}  // namespace rondelo
