// Address books as a source of references: vCard files, or directories of them, each dated
// property of each card a reference.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "readers/source.h"

namespace rondelo {

// The kinds of dates --kinds may choose: a bit for each referenceKind before date.
constexpr unsigned defaultContactKinds = 0b00111;  // all but death and memorial

// Opens path, a .vcf file of any number of cards ("-" for standard input) or a directory of
// them (every *.vcf in it, in name order), as a source of the dates of the kinds chosen (a bit
// for each referenceKind), each reference of the card's name, with the kind and label of its
// date. The cards are read one at a time, their dates in the card's order; anniversaries are
// held to the end of path and come last, a couple's two cards joined into one (joinCouples). A
// date without a time of day is at the defaults' time of day, one without a year at midnight
// (yearless); a date with Z or an offset is that instant, read in the zone of its TZ parameter,
// else the defaults' zone. A card with a death gives no milestone after the day it died, but of
// its death; with memorial chosen, its death is given, and each birthday is followed by its
// memorial, whose milestones begin after that day. A card, or a directory entry that cannot
// be opened or read, is skipped with the problem "FILE:LINE: what is wrong" or "FILE: reason";
// a read error in path itself fails the source. Nothing, with the problem, when path cannot be
// opened, or is a directory that cannot be listed.
std::optional<referenceSource> openContacts(const std::string& path,
                                            const referenceDefaults& defaults, unsigned kinds,
                                            std::string& problem);

// A directory entry that is not a readable file, and why.
struct contactFileProblem {
    std::string path;
    std::string reason;
};

// The *.vcf files of a directory (a vdir) into paths, as DIRECTORY/NAME in byte order of their
// names; names starting with "." are left out, as editors' and sync programs' scratch files. A
// .vcf entry that is no regular file goes to problems. What is wrong, "DIRECTORY: reason", when
// the directory cannot be listed.
std::optional<std::string> listContactFiles(const std::string& directory,
                                            std::vector<std::string>& paths,
                                            std::vector<contactFileProblem>& problems);

}  // namespace rondelo
