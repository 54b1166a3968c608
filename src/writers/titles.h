// Titles in words: what a milestone is to its person ("Anna's 40th birthday", "Anna is 10,000
// days old"), as a line of text and a calendar's summary say it, in the person's language.
#pragma once

#include <string>

#include "diagnostics/language.h"
#include "events/events.h"
#include "events/reference.h"
#include "writers/moments.h"

namespace rondelo {

// How a run words its lines.
struct wordsStyle {
    numberStyle numbers;  // the locale's grouping of digits
    bool titled = false;  // --title: the reference's name is a calendar's, "TEXT: LABEL" as ever
};

// The count of e and its unit: "10,000 days", "1 day", "20 million minutes", "1 billion
// seconds" (millions and billions for exact round ones), "2^30 seconds" (the binary family),
// "50 Mars years"; before the reference the count without its sign.
std::string quantityOf(const event& e, const numberStyle& numbers);

// n as an ordinal: "1st", "2nd", "3rd", "11th", "21st", "112th"; "1,000th".
std::string ordinalOf(unsigned long long n, const numberStyle& numbers);

// A name as the owner of what follows: "Anna's"; in German "Annas" and "Hans'", in French
// "d'Anna" and "de Jean", as each catalog says for a name's first and last letters.
std::string possessiveOf(const std::string& name);

// The title of e, a line of ref, by ref's kind, e's direction and unit:
//   a birthday, a dated line and a single date: "Anna's 40th birthday" for years, "Anna is
//     10,000 days old" for the other units; without a name "40th birthday", "10,000 days old";
//   an anniversary: "NAME: 40th wedding anniversary", "NAME: married 10,000 days";
//   a death: "10 years since NAME died";
//   a memorial, a birthday's years after a death: "NAME would have turned 100";
//   a label of one's own: "NAME: LABEL, 10 years";
//   the yearly day of a date without a year, which has no count: "Anna's birthday", "Anna
//     Schmidt & Ben Schmidt's wedding anniversary", "Anniversary of NAME's death", "NAME's
//     birthday, in memoriam", "NAME: LABEL";
//   before the reference: "10,000 days to go" without a name; "10,000 days to NAME",
//     "... to NAME's birth", "... to NAME's wedding", "... to NAME's death", "NAME: 10,000 days
//     to LABEL";
//   an age as the other units are said, years too: "Anna is 36 years old";
//   the reference's own line: "Anna's birth", "NAME's wedding", "NAME's death", "NAME: LABEL",
//     the name of a dated line, "The date".
// With --title, "TEXT: LABEL", the label as CSV has it.
std::string titleOf(const event& e, const reference& ref, const wordsStyle& style);

// The title of a moment's first milestone, and the others' counts after it: "Anna is 5
// million minutes old · 300 million seconds" (their labels with --title).
std::string momentTitle(const moment& m, const reference& ref, const wordsStyle& style);

// What a calendar event says of itself: what is counted and from when ("Anna Schmidt was born
// on 17 May 1990 at 14:30 in Europe/Berlin"), and on a second line the moment's other
// milestones.
std::string descriptionOf(const moment& m, const reference& ref, const wordsStyle& style);

// A calendar event's CATEGORIES: Memorial for a death's and a memorial's milestones, Birthday
// for a birthday's years and Anniversary for an anniversary's years after the date (their
// yearly days too), Milestone for the rest (a plain date's or a dated line's, a label of one's
// own, the other units, the years before).
const char* categoryOf(const event& e, const reference& ref);

}  // namespace rondelo
