// The event record's names and labels, made from its fields.
#include "events/events.h"

#include <charconv>
#include <cstring>  // for stpcpy, which is POSIX

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
    long long count = e.count < 0 ? -e.count : e.count;
    const char* name = unitNames[e.unit][count == 1 ? 0 : 1];
    const char* multiplier = "";
    if (e.family == familyBinary) {
        int exponent = 0;
        while ((1LL << exponent) < count)
            ++exponent;
        *at++ = '2';
        *at++ = '^';
        count = exponent;
    }
    for (const char* metric : {"K", "M", "G"})
        if (isMetric(e) && count % 1000 == 0 && count != 0) {
            count /= 1000;
            multiplier = metric;
        }
    at = std::to_chars(at, text + sizeof text, count).ptr;
    at = stpcpy(stpcpy(stpcpy(at, multiplier), " "), name);  // the longest, 36 octets, fits
    return std::string(text, at);
}

}  // namespace rondelo
