// Address books as vCard files (RFC 6350, RFC 2426) read card by card into the dated
// properties of each card.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "events/reference.h"
#include "readers/vcard_lines.h"
#include "readers/when.h"

namespace rondelo {

// One dated property of a card.
struct contactDate {
    // BDAY; ANNIVERSARY, X-ANNIVERSARY and an X-ABDATE labelled _$!<Anniversary>!$_; any
    // other X-ABDATE; DEATHDATE.
    referenceKind kind = referenceKind::birthday;
    isoDateTime when{};
    std::string zoneName;   // the property's TZ parameter as written, else empty
    std::size_t label = 0;  // of kind other: its index in the card's labels
    long long line = 0;     // where the property starts
    bool yearless = false;  // a month and day alone: when.date is in yearlessYear
};

// One card that was read. Its name and labels are UTF-8 without control characters (tabs
// aside); dates keep the card's order, and share the card's name and labels, so that memory
// stays linear in the card when it repeats its dates.
struct contactCard {
    std::string name;  // FN, else N's given and family names
    // The labels of its X-ABDATE groups: as written, Apple's own _$!<Word>!$_ as the word in
    // lower case, "other" for a group without one.
    std::vector<std::string> labels;
    std::vector<contactDate> dates;      // every date, DEATHDATE's too, with or without a year
    std::optional<isoDateTime> death;    // the first DEATHDATE with a full date
    bool diedOnDayUnknown = false;       // a DEATHDATE without a year, and none with one
    long long line = 0;                  // of its BEGIN:VCARD
    // Who the person is to others, for a couple's wedding: the family name (N's, else FN's
    // last word), the first given name (N's, else FN's first word), the card's UID, and the
    // spouses it names: RELATED;TYPE=spouse (a name, or a urn:uuid of a card's UID), Apple's
    // and Google's X-ABRELATEDNAMES labelled spouse or partner.
    std::string familyName;
    std::string givenName;
    std::string uid;
    std::vector<std::string> spouses;
};

// Where the reading of one vCard file stands, between two of its cards.
struct cardReader {
    vcardLines lines;
    std::string fileName;  // the file as messages show it
    std::string line;      // the logical line read last
    bool strayReported = false;
};

// Starts reading the cards of file, named fileName in messages.
void startCards(cardReader& reader, std::FILE* file, const std::string& fileName);

// What the reader came to: a card that gives dates, an entry it skipped, or the end of the file.
enum class cardStep { card, skipped, end };

// Reads on to the next card that gives dates into card, any number of cards in a file, one
// held at a time. A card gives the dates its BDAY, ANNIVERSARY, X-ANNIVERSARY, X-ABDATE and
// DEATHDATE lines write in full or without a year (--MMDD, --MM-DD, or Apple's
// X-APPLE-OMIT-YEAR year); one of a year or month only (1990, 1990-05), or not a date
// (VALUE=text) gives none and is no error. A card with a date that cannot be read, without a
// name, with a name or label that is not UTF-8 text (or in a CHARSET other than UTF-8), or
// without its END is skipped, with the problem "FILE:LINE: what is wrong"; so is the first text
// outside the cards. Cards nested in a card (vCard 2.1's AGENT) are passed over. At the end of
// the file, or on a read error, which ferror tells apart: end. Linear in the size of the file;
// a card without any date is not checked further.
cardStep readCard(cardReader& reader, contactCard& card, std::string& problem);

}  // namespace rondelo
