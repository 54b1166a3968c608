// Address books as a source of references: vCard files, or directories of them, each dated
// property of each card a reference.
#pragma once

#include <optional>
#include <string>

#include "readers/source.h"
#include "readers/vcard.h"

namespace rondelo {

// The kinds of dates --kinds may choose: a bit for each referenceKind before date.
constexpr unsigned defaultContactKinds = 0b0111;  // all but death

// Opens path, a .vcf file of any number of cards ("-" for standard input) or a directory of
// them (every *.vcf in it, in name order), as a source of the dates of the kinds chosen (a bit for each referenceKind), each
// reference of the card's name, with the kind and label of its date. A date without a time of day is at the defaults' time of day;
// a date with Z or an offset is that instant, read in the zone of its TZ parameter, else the
// defaults' zone. A card with a death gives no milestone after the day it died, but of its
// death. A card, file or directory entry that cannot be read is skipped with the problem
// "FILE:LINE: what is wrong". Nothing, with the problem, when path cannot be opened.
std::optional<referenceSource> openContacts(const std::string& path,
                                            const referenceDefaults& defaults, unsigned kinds,
                                            std::string& problem);

}  // namespace rondelo
