// Calendar UIDs: a readable part that no iCalendar library rewrites, the exact identity in a hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "events/events.h"
#include "events/reference.h"

namespace rondelo {

// FNV-1a of 64 bits: the same value for the same octets on every build and machine, so that a
// UID or a file name made from it never changes between runs.
std::uint64_t stableHash(const std::string& octets);

// Whose a reference is, apart from its occurrence: its date (without a year for a date without
// one), time, zone, kind, name and label.
// References alike in all of these are counted (reference::occurrence) to tell them apart.
std::uint64_t referenceIdentity(const reference& ref);

// text in words a UID can carry: letters of the Latin alphabet without their marks ("Jürgen
// Weiß" is "jurgen-weiss"), lower case, and digits, every other run of characters one "-", at
// most longest octets; characters of other scripts are left out.
std::string uidWords(const std::string& text, std::size_t longest);

// "<reference YYYYMMDDTHHMMSS>[-<name>][-<label>]-<16 hex digits>@rondelo", a date without a
// year's date as "--MMDD": the name (as shownName has it) and label in uidWords, for a person to
// read; the digits a stableHash of the reference's identity, its occurrence and the label, which
// alone tell events apart. Only letters, digits, "-" and "@": no calendar library or server
// changes a character of it.
std::string calendarUid(const reference& ref, const std::string& label);

// The UID of e, a line of ref: calendarUid with its label (labelOf), and for a yearly day its
// label and its year ("birthday 2025"), so that the yearly days of one date never share one.
std::string eventUid(const event& e, const reference& ref);

}  // namespace rondelo
