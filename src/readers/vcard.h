// Address books as vCard files (RFC 6350, RFC 2426) read into the dated properties of each card.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "events/reference.h"

namespace rondelo {

// A date as the card writes it, checked against the calendar: the years 1400 to 9999, a day
// its month has. With Z or a UTC offset it is that instant, and its fields are the reading at
// the offset written; without one it is a wall-clock reading for the caller's zone.
struct contactWhen {
    int year = 0;
    int month = 0;                       // 1 to 12
    int day = 0;                         // 1 to the month's last
    std::optional<long long> timeOfDay;  // seconds after midnight, when a time was written
    std::optional<long long> instant;    // Unix seconds in the calendar, with Z or an offset
};

// One dated property of a card.
struct contactDate {
    // BDAY; ANNIVERSARY, X-ANNIVERSARY and an X-ABDATE labelled _$!<Anniversary>!$_; any
    // other X-ABDATE; DEATHDATE.
    referenceKind kind = referenceKind::birthday;
    contactWhen when{};
    std::string zoneName;   // the property's TZ parameter as written, else empty
    std::size_t label = 0;  // of kind other: its index in the card's labels
    long long line = 0;     // where the property starts
};

// One card that was read. Its name and labels are UTF-8 without control characters (tabs
// aside); dates keep the card's order, and share the card's name and labels, so that memory
// stays linear in the file when a card repeats its dates.
struct contactCard {
    std::string name;  // FN, else N's given and family names
    // The labels of its X-ABDATE groups: as written, Apple's own _$!<Word>!$_ as the word in
    // lower case, "other" for a group without one.
    std::vector<std::string> labels;
    std::vector<contactDate> dates;     // every full date, DEATHDATE's too
    std::optional<contactWhen> death;   // the first DEATHDATE with a full date
    long long line = 0;                 // of its BEGIN:VCARD
};

// The cards of one file that give dates, and "FILE:LINE: what is wrong" for each card that
// was skipped, both in file order.
struct contactFile {
    std::vector<contactCard> cards;
    std::vector<std::string> errors;
};

// Reads every card of in, any number of them, in file order; fileName is the file as messages
// show it. A card gives the dates its BDAY, ANNIVERSARY, X-ANNIVERSARY, X-ABDATE and DEATHDATE
// lines write in full; one without a year (--MMDD, --MM-DD, or Apple's X-APPLE-OMIT-YEAR year),
// of a year or month only (1990, 1990-05), or not a date (VALUE=text) gives none and is no
// error. A card with a date that cannot be read, without a name, with a name or label that is
// not UTF-8 text, or without its END is skipped with one message; so is the first text outside
// the cards. Cards nested in a card (vCard 2.1's AGENT) are skipped silently. Linear in the size
// of in; a card without any date is not checked further.
contactFile readContacts(std::istream& in, const std::string& fileName);

// A directory entry that is not a readable file, and why.
struct contactFileProblem {
    std::string path;
    std::string reason;
};

// The *.vcf files of a directory (a vdir), as DIRECTORY/NAME in byte order of their names; names
// starting with "." are left out, as editors' and sync programs' scratch files. A .vcf entry
// that is no regular file, or the directory itself when unreadable, goes to problems.
std::vector<std::string> listContactFiles(const std::string& directory,
                                          std::vector<contactFileProblem>& problems);

}  // namespace rondelo
