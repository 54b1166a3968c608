// The event record's names and labels, made from its fields.
#include "events/events.h"

#include <charconv>
#include <cstring>  // for stpcpy, which is POSIX
#include <initializer_list>

namespace rondelo {

namespace {

// Singular, plural, in the order of milestoneUnit.
constexpr const char* unitNames[unitAll][2] = {
    {"year", "years"},
    {"month", "months"},
    {"week", "weeks"},
    {"day", "days"},
    {"hour", "hours"},
    {"minute", "minutes"},
    {"second", "seconds"},
    {"Mercury year", "Mercury years"},
    {"Venus year", "Venus years"},
    {"Mars year", "Mars years"},
    {"Jupiter year", "Jupiter years"},
    {"Saturn year", "Saturn years"},
    {"Uranus year", "Uranus years"},
    {"Neptune year", "Neptune years"},
};

constexpr eventType unitTypes[unitCount] = {evYears, evMonths,  evWeeks,  evDays,
                                            evHours, evMinutes, evSeconds};

// The round family writes its weeks to seconds in thousands; its years and months are plain.
bool isMetric(const event& e)
{
    return e.family == familyRound && e.unit >= unitWeeks && e.unit < unitCount;
}

// The power of two that count is.
long long exponentOf(long long count)
{
    long long exponent = 0;
    while ((1LL << exponent) < count)
        ++exponent;
    return exponent;
}

// count in thousands, millions or billions as far as it is whole in them, with "K", "M" or "G".
long long inThousands(long long count, const char*& multiplier)
{
    for (const char* metric : {"K", "M", "G"}) {
        if (count == 0 || count % 1000 != 0)
            break;
        count /= 1000;
        multiplier = metric;
    }
    return count;
}

}  // namespace

const char* unitName(milestoneUnit unit)
{
    return unitNames[unit][1];
}

eventType typeOf(const event& e)
{
    if (e.family == familyReference)
        return evReference;
    if (e.unit >= unitCount)
        return evPlanetYears;
    const bool kiloWeeks = e.family == familyRound && e.unit == unitWeeks &&
                           (e.count >= 1000 || e.count <= -1000);
    return kiloWeeks ? evKiloWeeks : unitTypes[e.unit];
}

std::string countLabel(const event& e)
{
    if (e.family == familyReference)
        return "Reference";
    if (e.family == familyYearly)
        return "yearly";
    // Made in a buffer and copied once: a run over many references labels every line it keeps.
    char text[48];
    char* at = text;
    if (e.count < 0)
        *at++ = '-';
    const long long count = e.count < 0 ? -e.count : e.count;
    const char* multiplier = "";
    long long shown = count;
    if (e.family == familyBinary) {
        at = stpcpy(at, "2^");
        shown = exponentOf(count);
    } else if (isMetric(e)) {
        shown = inThousands(count, multiplier);
    }
    at = std::to_chars(at, text + sizeof text, shown).ptr;
    at = stpcpy(stpcpy(stpcpy(at, multiplier), " "), unitNames[e.unit][count == 1 ? 0 : 1]);
    return std::string(text, at);  // at most 36 octets: "-", 19 digits, "G", " Neptune years"
}

}  // namespace rondelo
