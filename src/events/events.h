// The event record: one milestone of a reference, its own line, or an age, as fields; every
// label, title and picture is made from them where it is shown.
#pragma once

#include <string>
#include <vector>

#include "timeconv/zone.h"

namespace rondelo {

// The units milestones count in: the seven that --units chooses, in the order of their lines
// within a family, then the years of the planets from Mercury out.
enum milestoneUnit : int {
    unitYears,
    unitMonths,
    unitWeeks,
    unitDays,
    unitHours,
    unitMinutes,
    unitSeconds,
    unitCount,  // of the units --units chooses
    unitMercuryYears = unitCount,
    unitVenusYears,
    unitMarsYears,
    unitJupiterYears,
    unitSaturnYears,
    unitUranusYears,
    unitNeptuneYears,
    unitAll  // of every unit
};

// The families of counts that --series chooses, in the order of their lines; then the kinds of
// line that are no chosen family: the every family's, the yearly day of a date without a year,
// an age, the reference's own line.
enum milestoneFamily : int {
    familyRound,      // 10 years, 100 months, 1K weeks, 10K days ... 5G seconds
    familyRepdigit,   // 1111 to 9999999999
    familySequence,   // 1234 to 1234567890
    familyBinary,     // 2^10 to 2^40
    familyFibonacci,  // 1597 to 2971215073
    familyPlanets,    // round counts of the years of Mercury to Neptune
    familyCount,      // of the families --series chooses
    familyEvery = familyCount,  // every N units of one's own (--every)
    familyYearly,     // a date without a year, each year (--every=1y): years, and no count
    familyAge,        // the whole units elapsed at an instant (--age): no milestone
    familyReference,  // the reference itself
};

// The kind of an event as the CSV's third column numbers it.
enum eventType : int {
    evMonths = 1,
    evWeeks = 2,
    evKiloWeeks = 3,  // the round family's thousands of weeks
    evDays = 4,
    evHours = 5,
    evMinutes = 6,
    evSeconds = 7,
    evReference = 8,
    evTest = 9,  // the self-test's instants
    evPlanetYears = 10,
    evYears = 11,
};

// One line of a reference: where it falls, and what count of which unit of which family it is.
// Whose it is travels beside it: the order and every writer take an event with its reference.
struct event {
    unixInstant instant;
    long long count = 0;  // units from the reference, negative before it; 0 for the reference
                          // and for a yearly day, which has none
    milestoneUnit unit = unitYears;  // of the reference: none that counts
    milestoneFamily family = familyReference;
};

// A value owned by whoever runs the loop: one reference's events, freed with it. A run over
// many references clears and refills one list, so its storage is taken once.
using eventList = std::vector<event>;

// A line that is no milestone, such as the self-test's: an instant with a type and a label of
// its own.
struct reportLine {
    unixInstant instant;
    eventType type;
    const char* label;
};

// The plural name of a unit, as labels, JSON and --units have it: "days", "Mars years".
const char* unitName(milestoneUnit unit);

// The CSV's type of e: its unit's, the reference's, or evKiloWeeks for the round family's
// thousands of weeks.
eventType typeOf(const event& e);

// The label of e's count, which lines carry (see labelOf, with the reference): "Reference"; the
// count and the unit, singular for one, led by "-" before the reference: "40 years", "-1 year";
// the round family's weeks to seconds with K, M and G for thousands ("10K days", "1G seconds"),
// the binary family's as a power ("2^30 seconds"); "yearly" for a yearly day, which has none.
std::string countLabel(const event& e);

}  // namespace rondelo
