// Makes titles and descriptions from the event and reference records, through the catalogs:
// every sentence whole, with its placeholders, so that each language orders it its own way.
#include "writers/titles.h"

#include <cstdio>
#include <string_view>

#include "diagnostics/messages.h"

namespace rondelo {

namespace {

// In the order of milestoneUnit.
const pluralText unitPhrases[unitAll] = {
    // TRANSLATORS: a count and its unit. %s is the number as the locale groups its digits
    // ("10,000"), a count of millions or billions ("20 million"), or a power of two ("2^30"); the
    // whole count chooses the plural form.
    NN_("%s year", "%s years"),
    NN_("%s month", "%s months"),
    NN_("%s week", "%s weeks"),
    NN_("%s day", "%s days"),
    NN_("%s hour", "%s hours"),
    NN_("%s minute", "%s minutes"),
    NN_("%s second", "%s seconds"),
    // TRANSLATORS: the years of the planets, as long as one orbit of the sun: 87.969 days on
    // Mercury, 686.980 on Mars, 60,182 on Neptune.
    NN_("%s Mercury year", "%s Mercury years"),
    NN_("%s Venus year", "%s Venus years"),
    NN_("%s Mars year", "%s Mars years"),
    NN_("%s Jupiter year", "%s Jupiter years"),
    NN_("%s Saturn year", "%s Saturn years"),
    NN_("%s Uranus year", "%s Uranus years"),
    NN_("%s Neptune year", "%s Neptune years"),
};

const contextText monthNames[12] = {
    // TRANSLATORS: the months, as a date in words names them ("17 May 1990").
    PN_("month", "January"), PN_("month", "February"), PN_("month", "March"),
    PN_("month", "April"),   PN_("month", "May"),      PN_("month", "June"),
    PN_("month", "July"),    PN_("month", "August"),   PN_("month", "September"),
    PN_("month", "October"), PN_("month", "November"), PN_("month", "December"),
};

unsigned long long magnitude(long long count)
{
    return count < 0 ? 0ULL - static_cast<unsigned long long>(count)
                     : static_cast<unsigned long long>(count);
}

// The number of a count: grouped, in millions or billions, or as a power of two.
std::string amountOf(const event& e, unsigned long long n, const numberStyle& numbers)
{
    constexpr unsigned long long million = 1000000, billion = 1000000000;
    if (e.family == familyBinary) {
        int exponent = 0;
        while ((1ULL << exponent) < n)
            ++exponent;
        return "2^" + std::to_string(exponent);
    }
    if (n >= billion && n % billion == 0)
        // TRANSLATORS: an exact count of billions (10^9) before a unit: "1 billion seconds"; %s
        // is the count of billions. A language that joins the unit with a word ("milliard de")
        // puts it here.
        return fill(ngettext("%s billion", "%s billion", n / billion),
                    {grouped(n / billion, numbers)});
    if (n >= million && n % million == 0)
        // TRANSLATORS: an exact count of millions before a unit: "20 million minutes".
        return fill(ngettext("%s million", "%s million", n / million),
                    {grouped(n / million, numbers)});
    return grouped(n, numbers);
}

// A name's first character is a vowel (French elides before one: "d'Anna").
bool beginsWithVowel(const std::string& name)
{
    constexpr std::string_view vowels =
        "AEIOUYaeiouyÀÁÂÄÅÆÈÉÊËÌÍÎÏÒÓÔÖØŒÙÚÛÜÝàáâäåæèéêëìíîïòóôöøœùúûüýÿ";
    const std::size_t length = utf8Length(name, 0);
    return length > 0 && vowels.find(std::string_view(name).substr(0, length)) != vowels.npos;
}

// A name ends in a hissing sound (German writes "Hans'" for "Hans's").
bool endsHissing(const std::string& name)
{
    constexpr std::string_view hissing = "sSxXzZß";
    std::size_t last = name.size();
    while (last > 0 && (static_cast<unsigned char>(name[last - 1]) & 0xC0) == 0x80)
        --last;
    const std::string_view end = std::string_view(name).substr(last == 0 ? 0 : last - 1);
    const bool ce = name.size() >= 2 && (name.compare(name.size() - 2, 2, "ce") == 0 ||
                                         name.compare(name.size() - 2, 2, "CE") == 0);
    return ce || (!end.empty() && hissing.find(end) != hissing.npos);
}

// A milestone said with an ordinal: a birthday's or an anniversary's years after the date.
bool isOrdinal(const event& e)
{
    return e.unit == unitYears && e.family != familyAge && e.count > 0;
}

std::string unnamedTitle(const event& e, const numberStyle& numbers)
{
    if (e.count < 0)
        // TRANSLATORS: a countdown to a date that has no name: "10,000 days to go".
        return fill(_("%s to go"), {quantityOf(e, numbers)});
    if (isOrdinal(e))
        // TRANSLATORS: the years of a date that has no name: "40th birthday"; %s is the ordinal.
        return fill(_("%s birthday"), {ordinalOf(magnitude(e.count), numbers)});
    // TRANSLATORS: the other units of a date that has no name: "10,000 days old".
    return fill(_("%s old"), {quantityOf(e, numbers)});
}

// Before the reference: a countdown to it.
std::string beforeTitle(const event& e, const reference& ref, const numberStyle& numbers)
{
    const std::string count = quantityOf(e, numbers);
    switch (ref.kind) {
    case referenceKind::birthday:
    case referenceKind::memorial:
        // TRANSLATORS: a countdown: "10,000 days to Anna's birth"; %1$s is the count, %2$s the
        // name as its owner ("Anna's", see "possessive").
        return fill(_("%1$s to %2$s birth"), {count, possessiveOf(ref.name)});
    case referenceKind::anniversary:
        // TRANSLATORS: a countdown: "10,000 days to Anna's wedding".
        return fill(_("%1$s to %2$s wedding"), {count, possessiveOf(ref.name)});
    case referenceKind::death:
        // TRANSLATORS: a countdown: "10,000 days to Anna's death".
        return fill(_("%1$s to %2$s death"), {count, possessiveOf(ref.name)});
    case referenceKind::other:
        // TRANSLATORS: a countdown to a date of the person's own label: "Jürgen Weiß: 10,000
        // days to Firmenjubiläum"; %1$s is the name, %2$s the count, %3$s the label.
        return fill(_("%1$s: %2$s to %3$s"), {ref.name, count, ref.label});
    case referenceKind::date:
        break;
    }
    // TRANSLATORS: a countdown to a named date: "10,000 days to Anna"; %1$s is the count, %2$s
    // the name.
    return fill(_("%1$s to %2$s"), {count, ref.name});
}

std::string birthdayTitle(const event& e, const reference& ref, const numberStyle& numbers)
{
    if (isOrdinal(e))
        // TRANSLATORS: "Anna's 40th birthday"; %1$s is the name as its owner ("Anna's"), %2$s
        // the ordinal ("40th").
        return fill(_("%1$s %2$s birthday"), {possessiveOf(ref.name), ordinalOf(e.count, numbers)});
    // TRANSLATORS: an age in another unit: "Anna is 10,000 days old", "Anna is 20 million
    // minutes old", "Anna is 50 Mars years old"; %1$s is the name, %2$s the count.
    return fill(_("%1$s is %2$s old"), {ref.name, quantityOf(e, numbers)});
}

// After the reference, or an age.
std::string namedTitle(const event& e, const reference& ref, const numberStyle& numbers)
{
    switch (ref.kind) {
    case referenceKind::anniversary:
        if (isOrdinal(e))
            // TRANSLATORS: "Anna Schmidt: 40th wedding anniversary"; %1$s is the name (or two,
            // "Anna Schmidt & Ben Schmidt"), %2$s the ordinal.
            return fill(_("%1$s: %2$s wedding anniversary"),
                        {ref.name, ordinalOf(e.count, numbers)});
        // TRANSLATORS: "Anna Schmidt: married 10,000 days"; %1$s is the name, %2$s the count.
        return fill(_("%1$s: married %2$s"), {ref.name, quantityOf(e, numbers)});
    case referenceKind::death:
        // TRANSLATORS: "10 years since Margarethe Vogel died"; %1$s is the name, %2$s the count.
        return fill(_("%2$s since %1$s died"), {ref.name, quantityOf(e, numbers)});
    case referenceKind::other:
        // TRANSLATORS: a date of the person's own label: "Jürgen Weiß: Firmenjubiläum, 10
        // years"; %1$s is the name, %2$s the label, %3$s the count.
        return fill(_("%1$s: %2$s, %3$s"), {ref.name, ref.label, quantityOf(e, numbers)});
    case referenceKind::memorial:
        // TRANSLATORS: the years of someone who died, remembered: "Margarethe Vogel would have
        // turned 100"; %1$s is the name, %2$s the count of years.
        return fill(ngettext("%1$s would have turned %2$s", "%1$s would have turned %2$s",
                             magnitude(e.count)),
                    {ref.name, grouped(magnitude(e.count), numbers)});
    case referenceKind::birthday:
    case referenceKind::date:
        break;
    }
    return birthdayTitle(e, ref, numbers);
}

// The yearly day of a date without a year, which has no count to say.
std::string yearlyTitle(const reference& ref)
{
    const std::string owner = possessiveOf(ref.name);
    switch (ref.kind) {
    case referenceKind::anniversary:
        // TRANSLATORS: a wedding's day each year, its year unknown: "Anna Schmidt & Ben Schmidt's
        // wedding anniversary"; %s is the name (or two) as its owner (see "possessive").
        return fill(P_("yearly day", "%s wedding anniversary"), {owner});
    case referenceKind::death:
        // TRANSLATORS: the day of a death each year, its year unknown: "Anniversary of
        // Margarethe Vogel's death"; %s is the name as its owner.
        return fill(P_("yearly day", "Anniversary of %s death"), {owner});
    case referenceKind::memorial:
        // TRANSLATORS: the birthday of someone who died, each year, its year unknown:
        // "Margarethe Vogel's birthday, in memoriam"; %s is the name as its owner.
        return fill(P_("yearly day", "%s birthday, in memoriam"), {owner});
    case referenceKind::other:
        return fill(_("%1$s: %2$s"), {ref.name, ref.label});
    case referenceKind::birthday:
    case referenceKind::date:
        break;
    }
    // TRANSLATORS: a birthday each year, its year unknown: "Anna's birthday"; %s is the name as
    // its owner (see "possessive").
    return fill(P_("yearly day", "%s birthday"), {owner});
}

std::string referenceTitle(const reference& ref)
{
    if (ref.name.empty())
        // TRANSLATORS: the line of the date itself, which has no name.
        return _("The date");
    switch (ref.kind) {
    case referenceKind::birthday:
    case referenceKind::memorial:
        // TRANSLATORS: the line of a birthday's date itself: "Anna's birth".
        return fill(_("%s birth"), {possessiveOf(ref.name)});
    case referenceKind::anniversary:
        // TRANSLATORS: the line of an anniversary's date itself: "Anna Schmidt's wedding".
        return fill(_("%s wedding"), {possessiveOf(ref.name)});
    case referenceKind::death:
        // TRANSLATORS: the line of the date of a death itself: "Margarethe Vogel's death".
        return fill(_("%s death"), {possessiveOf(ref.name)});
    case referenceKind::other:
        // TRANSLATORS: the line of a date of the person's own label: "Jürgen Weiß:
        // Firmenjubiläum"; %1$s is the name, %2$s the label.
        return fill(_("%1$s: %2$s"), {ref.name, ref.label});
    case referenceKind::date:
        break;
    }
    return ref.name;
}

// "17 May 1990 at 14:30 in Europe/Berlin"; without the time at midnight, without the year
// for a date that has none: "17 May in Europe/Berlin".
std::string whenOf(const reference& ref)
{
    const absl::CivilSecond t = ref.wallClock;
    const std::string day = std::to_string(t.day()), month = translated(monthNames[t.month() - 1]);
    const std::string date =
        ref.yearless
            // TRANSLATORS: a date without its year in words: %1$s is the day, %2$s the month.
            ? fill(P_("date without a year", "%1$s %2$s"), {day, month})
            // TRANSLATORS: a date in words: %1$s is the day of the month, %2$s the month, %3$s
            // the year.
            : fill(P_("date", "%1$s %2$s %3$s"), {day, month, std::to_string(t.year())});
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        // TRANSLATORS: a date and its time zone's name: "17 May 1990 in Europe/Berlin".
        return fill(_("%1$s in %2$s"), {date, ref.zoneName});
    char clock[16];
    std::snprintf(clock, sizeof clock, t.second() == 0 ? "%02d:%02d" : "%02d:%02d:%02d",
                  t.hour(), t.minute(), t.second());
    // TRANSLATORS: a date, a time of day and a time zone's name: "17 May 1990 at 14:30 in
    // Europe/Berlin".
    return fill(_("%1$s at %2$s in %3$s"), {date, clock, ref.zoneName});
}

// What a reference's milestones count from, as a sentence.
std::string countedFrom(const reference& ref, const wordsStyle& style)
{
    const std::string when = whenOf(ref);
    const referenceKind kind = ref.name.empty() || style.titled ? referenceKind::date : ref.kind;
    switch (kind) {
    case referenceKind::birthday:
    case referenceKind::memorial:
        // TRANSLATORS: what a birthday's milestones count from: %1$s is the name, %2$s the date,
        // time and zone ("17 May 1990 at 14:30 in Europe/Berlin").
        return fill(_("%1$s was born on %2$s"), {ref.name, when});
    case referenceKind::anniversary:
        // TRANSLATORS: "Anna Schmidt married on 17 May 1990 in Europe/Berlin".
        return fill(_("%1$s married on %2$s"), {ref.name, when});
    case referenceKind::death:
        // TRANSLATORS: "Margarethe Vogel died on 2 March 2009 at 15:45 in UTC".
        return fill(_("%1$s died on %2$s"), {ref.name, when});
    case referenceKind::other:
        // TRANSLATORS: "Jürgen Weiß: Firmenjubiläum on 1 April 2015 in Europe/Berlin"; %1$s is
        // the name, %2$s the label, %3$s the date.
        return fill(_("%1$s: %2$s on %3$s"), {ref.name, ref.label, when});
    case referenceKind::date:
        break;
    }
    // TRANSLATORS: what the milestones of a date count from: "Counted from 17 May 1990 in UTC".
    return fill(_("Counted from %s"), {when});
}

// A moment's milestones after its first, as its title names them.
std::string othersOf(const moment& m, const reference& ref, const wordsStyle& style)
{
    std::string others;
    for (const event* e = m.begin + 1; e != m.end; ++e)
        others += (others.empty() ? "" : " · ") +
                  (style.titled ? labelOf(*e, ref) : quantityOf(*e, style.numbers));
    return others;
}

}  // namespace

std::string quantityOf(const event& e, const numberStyle& numbers)
{
    const unsigned long long n = magnitude(e.count);
    return fill(translated(unitPhrases[e.unit], n), {amountOf(e, n, numbers)});
}

std::string ordinalOf(unsigned long long n, const numberStyle& numbers)
{
    const unsigned long long last = n % 10, lastTwo = n % 100;
    const char* pattern;
    if (n == 1)
        // TRANSLATORS: ordinals, as in "40th birthday"; %s is the number. English chooses the
        // ending by the last digits; give each of these five your language's own ordinal
        // (German "%s.", Spanish "%s.º", French "%se" and for 1 "%ser").
        pattern = P_("ordinal of 1", "%sst");
    else if (last == 1 && lastTwo != 11)
        pattern = P_("ordinal of a number ending in 1 but not in 11", "%sst");
    else if (last == 2 && lastTwo != 12)
        pattern = P_("ordinal of a number ending in 2 but not in 12", "%snd");
    else if (last == 3 && lastTwo != 13)
        pattern = P_("ordinal of a number ending in 3 but not in 13", "%srd");
    else
        pattern = P_("ordinal of any other number", "%sth");
    return fill(pattern, {grouped(n, numbers)});
}

std::string possessiveOf(const std::string& name)
{
    const bool vowel = beginsWithVowel(name), hissing = endsHissing(name);
    const char* pattern;
    if (vowel && hissing)
        // TRANSLATORS: a name as the owner of what follows it ("Anna's 40th birthday", "10,000
        // days to Anna's wedding"); %s is the name. The four tell names apart by their first
        // and last letters: German writes "%ss" but "%s'" after s, ß, x, z or ce, French "de
        // %s" but "d'%s" before a vowel.
        pattern = P_("possessive of a name beginning with a vowel and ending in s, x, z, "
                     "sharp s or ce",
                     "%s's");
    else if (vowel)
        pattern = P_("possessive of a name beginning with a vowel", "%s's");
    else if (hissing)
        pattern = P_("possessive of a name ending in s, x, z, sharp s or ce", "%s's");
    else
        pattern = P_("possessive of any other name", "%s's");
    return fill(pattern, {name});
}

std::string titleOf(const event& e, const reference& ref, const wordsStyle& style)
{
    if (style.titled)
        return ref.name + ": " + labelOf(e, ref);
    if (e.family == familyReference)
        return referenceTitle(ref);
    if (e.family == familyYearly)
        return yearlyTitle(ref);
    if (ref.name.empty())
        return unnamedTitle(e, style.numbers);
    return e.count < 0 ? beforeTitle(e, ref, style.numbers) : namedTitle(e, ref, style.numbers);
}

std::string momentTitle(const moment& m, const reference& ref, const wordsStyle& style)
{
    const std::string others = othersOf(m, ref, style);
    return titleOf(m.lead(), ref, style) + (others.empty() ? "" : " · " + others);
}

std::string descriptionOf(const moment& m, const reference& ref, const wordsStyle& style)
{
    const std::string others = othersOf(m, ref, style);
    // TRANSLATORS: the other milestones of an event's instant: "At the same moment: 300
    // million seconds".
    const std::string also = others.empty() ? "" : fill(_("At the same moment: %s"), {others});
    return countedFrom(ref, style) + (also.empty() ? "" : "\n" + also);
}

const char* categoryOf(const event& e, const reference& ref)
{
    if (ref.kind == referenceKind::death || ref.kind == referenceKind::memorial)
        return "Memorial";
    const bool celebrated = isOrdinal(e) || e.family == familyYearly;
    if (celebrated && ref.kind == referenceKind::birthday)
        return "Birthday";
    if (celebrated && ref.kind == referenceKind::anniversary)
        return "Anniversary";
    return "Milestone";
}

}  // namespace rondelo
