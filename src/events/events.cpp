// The event record's names and labels, made from its fields.
#include "events/events.h"

#include <charconv>

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

void appendNumber(std::string& text, long long n)
{
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
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
    std::string label = e.count < 0 ? "-" : "";
    long long count = e.count < 0 ? -e.count : e.count;
    const char* name = unitNames[e.unit][count == 1 ? 0 : 1];
    if (e.family == familyBinary) {
        int exponent = 0;
        while ((1LL << exponent) < count)
            ++exponent;
        label += "2^";
        appendNumber(label, exponent);
        return label + ' ' + name;
    }
    static const char* const multipliers[] = {"", "K", "M", "G"};
    int power = 0;
    while (isMetric(e) && power < 3 && count % 1000 == 0) {
        count /= 1000;
        ++power;
    }
    appendNumber(label, count);
    return label + multipliers[power] + ' ' + name;
}

}  // namespace rondelo
