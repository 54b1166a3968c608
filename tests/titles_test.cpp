// Titles in the program's own English, as no catalog changes them: every kind of reference,
// every unit and every family, and ordinals against the words they abbreviate.
#include "writers/titles.h"

#include <string>

#include <gtest/gtest.h>

using namespace rondelo;

namespace {

reference referenceOf(referenceKind kind, const char* name, const char* label = "")
{
    reference ref;
    ref.kind = kind;
    ref.name = name;
    ref.label = label;
    return ref;
}

// The last two letters of n's English ordinal word: "first", "twelfth", "twenty-third".
std::string writtenEnding(int n)
{
    static const char* const ones[] = {"hundredth", "first",  "second", "third", "fourth",
                                       "fifth",     "sixth",  "seventh", "eighth", "ninth"};
    static const char* const teens[] = {"tenth",     "eleventh",  "twelfth",  "thirteenth",
                                        "fourteenth", "fifteenth", "sixteenth", "seventeenth",
                                        "eighteenth", "nineteenth"};
    const int belowHundred = n % 100;
    const std::string word = belowHundred >= 10 && belowHundred < 20 ? teens[belowHundred - 10]
                             : belowHundred % 10 == 0 && belowHundred != 0 ? "twentieth"
                                                                           : ones[n % 10];
    return word.substr(word.size() - 2);
}

}  // namespace

TEST(titles_test, every_kind_unit_and_family_in_english)
{
    const reference anna = referenceOf(referenceKind::birthday, "Anna");
    const reference plain = referenceOf(referenceKind::date, "");
    const reference release = referenceOf(referenceKind::date, "Release 2.0");
    const reference couple = referenceOf(referenceKind::anniversary, "Anna Schmidt & Ben Schmidt");
    const reference death = referenceOf(referenceKind::death, "Margarethe Vogel");
    const reference own = referenceOf(referenceKind::other, "Jürgen Weiß", "Firmenjubiläum");
    const reference memorial = referenceOf(referenceKind::memorial, "Margarethe Vogel");
    const struct {
        const reference& ref;
        long long count;
        milestoneUnit unit;
        milestoneFamily family;
        const char* title;
    } cases[] = {
        {anna, 40, unitYears, familyRound, "Anna's 40th birthday"},
        {anna, 10000, unitDays, familyRound, "Anna is 10,000 days old"},
        {anna, 1000000000, unitSeconds, familyRound, "Anna is 1 billion seconds old"},
        {anna, 2000, unitWeeks, familyRound, "Anna is 2,000 weeks old"},
        {anna, 20000000, unitMinutes, familyRound, "Anna is 20 million minutes old"},
        {anna, 1073741824, unitSeconds, familyBinary, "Anna is 2^30 seconds old"},
        {anna, 1024, unitYears, familyBinary, "Anna's 1,024th birthday"},
        {anna, 50, unitMarsYears, familyPlanets, "Anna is 50 Mars years old"},
        {anna, 1, unitMercuryYears, familyPlanets, "Anna is 1 Mercury year old"},
        {anna, 1111, unitMonths, familyRepdigit, "Anna is 1,111 months old"},
        {anna, 123456, unitHours, familySequence, "Anna is 123,456 hours old"},
        {anna, 1597, unitDays, familyFibonacci, "Anna is 1,597 days old"},
        {anna, 1, unitYears, familyEvery, "Anna's 1st birthday"},
        {anna, 1, unitDays, familyEvery, "Anna is 1 day old"},
        {anna, 36, unitYears, familyAge, "Anna is 36 years old"},
        {anna, -10000, unitDays, familyRound, "10,000 days to Anna's birth"},
        {anna, 0, unitYears, familyReference, "Anna's birth"},
        {plain, 40, unitYears, familyRound, "40th birthday"},
        {plain, 10000, unitDays, familyRound, "10,000 days old"},
        {plain, -10000, unitDays, familyRound, "10,000 days to go"},
        {plain, 0, unitYears, familyAge, "0 years old"},
        {plain, 0, unitYears, familyReference, "The date"},
        {release, -100, unitDays, familyEvery, "100 days to Release 2.0"},
        {release, 0, unitYears, familyReference, "Release 2.0"},
        {couple, 40, unitYears, familyRound, "Anna Schmidt & Ben Schmidt: 40th wedding anniversary"},
        {couple, 10000, unitDays, familyRound, "Anna Schmidt & Ben Schmidt: married 10,000 days"},
        {couple, 20, unitVenusYears, familyPlanets, "Anna Schmidt & Ben Schmidt: married 20 Venus years"},
        {couple, -1000, unitWeeks, familyRound, "1,000 weeks to Anna Schmidt & Ben Schmidt's wedding"},
        {couple, 0, unitYears, familyReference, "Anna Schmidt & Ben Schmidt's wedding"},
        {death, 10, unitYears, familyRound, "10 years since Margarethe Vogel died"},
        {death, 1000, unitDays, familyRound, "1,000 days since Margarethe Vogel died"},
        {death, 2, unitJupiterYears, familyPlanets, "2 Jupiter years since Margarethe Vogel died"},
        {death, -1, unitYears, familyEvery, "1 year to Margarethe Vogel's death"},
        {death, 0, unitYears, familyReference, "Margarethe Vogel's death"},
        {own, 10, unitYears, familyRound, "Jürgen Weiß: Firmenjubiläum, 10 years"},
        {own, 10000, unitDays, familyRound, "Jürgen Weiß: Firmenjubiläum, 10,000 days"},
        {own, 3, unitSaturnYears, familyPlanets, "Jürgen Weiß: Firmenjubiläum, 3 Saturn years"},
        {own, 1, unitUranusYears, familyPlanets, "Jürgen Weiß: Firmenjubiläum, 1 Uranus year"},
        {own, 1, unitNeptuneYears, familyAge, "Jürgen Weiß: Firmenjubiläum, 1 Neptune year"},
        {own, -1, unitHours, familyRound, "Jürgen Weiß: 1 hour to Firmenjubiläum"},
        {own, 0, unitYears, familyReference, "Jürgen Weiß: Firmenjubiläum"},
        {memorial, 100, unitYears, familyRound, "Margarethe Vogel would have turned 100"},
        {anna, 0, unitYears, familyYearly, "Anna's birthday"},
        {couple, 0, unitYears, familyYearly, "Anna Schmidt & Ben Schmidt's wedding anniversary"},
        {death, 0, unitYears, familyYearly, "Anniversary of Margarethe Vogel's death"},
        {memorial, 0, unitYears, familyYearly, "Margarethe Vogel's birthday, in memoriam"},
        {own, 0, unitYears, familyYearly, "Jürgen Weiß: Firmenjubiläum"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titleOf({{0}, c.count, c.unit, c.family}, c.ref, {}), c.title);
    reference titled = referenceOf(referenceKind::date, "Anna, 1");
    EXPECT_EQ(titleOf({{0}, 10000, unitDays, familyRound}, titled, {{}, true}), "Anna, 1: 10K days");
}

TEST(titles_test, ordinals_end_as_their_words_do)
{
    for (int n = 1; n <= 125; ++n)
        EXPECT_EQ(ordinalOf(n, {}), std::to_string(n) + writtenEnding(n));
}

// A moment names its other milestones after the first's title; a calendar's description says
// what they count from and names them again; the categories follow the kind.
TEST(titles_test, a_moment_is_titled_by_its_first_milestone)
{
    reference ida = referenceOf(referenceKind::birthday, "Ida Vogel");
    ida.wallClock = absl::CivilSecond(1955, 4, 1, 6, 30, 0);
    ida.zoneName = "Europe/Berlin";
    const event both[] = {{{0}, 5000000, unitMinutes, familyRound},
                          {{0}, 300000000, unitSeconds, familyRound}};
    EXPECT_EQ(momentTitle({both, both + 2}, ida, {}),
              "Ida Vogel is 5 million minutes old · 300 million seconds");
    EXPECT_EQ(descriptionOf({both, both + 2}, ida, {}),
              "Ida Vogel was born on 1 April 1955 at 06:30 in Europe/Berlin\n"
              "At the same moment: 300 million seconds");
    EXPECT_STREQ(categoryOf(both[0], ida), "Milestone");
    EXPECT_STREQ(categoryOf({{0}, 40, unitYears, familyRound}, ida), "Birthday");
    EXPECT_STREQ(categoryOf({{0}, 0, unitYears, familyYearly}, ida), "Birthday");
    ida.yearless = true;  // its stand-in year is never shown
    ida.wallClock = absl::CivilSecond(2000, 4, 1);
    EXPECT_EQ(descriptionOf({both, both + 1}, ida, {}),
              "Ida Vogel was born on 1 April in Europe/Berlin");
    ida.kind = referenceKind::anniversary;
    EXPECT_STREQ(categoryOf({{0}, 0, unitYears, familyYearly}, ida), "Anniversary");
    ida.kind = referenceKind::memorial;
    EXPECT_STREQ(categoryOf({{0}, 90, unitYears, familyRound}, ida), "Memorial");
    EXPECT_STREQ(categoryOf({{0}, 0, unitYears, familyYearly}, ida), "Memorial");
}
