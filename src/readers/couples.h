// A couple's wedding once: the anniversaries of an address book held until its end, and the two
// cards of one wedding joined into one reference.
#pragma once

#include <string>
#include <vector>

#include "events/reference.h"

namespace rondelo {

// An anniversary as a card gives it, with what tells its couple.
struct heldAnniversary {
    reference ref;
    std::string familyName;
    std::string givenName;
    std::string uid;
    std::vector<std::string> spouses;  // names, or UIDs as urn:uuid or as written
};

// The references of held, in its order, where two of one wedding are one: two anniversaries on
// the same date, time and zone (two without a year on the same month and day, never one
// without a year and one with) whose cards name each other as spouses (by name, first name or
// UID; either naming the other is enough), or else share a family name: each pairs once, a
// spouse named before a family shared. The couple's reference is named "A & B", the two names
// in byte order (one name, when both are the same), whichever card came first; its milestones
// end when the first of the two ends.
std::vector<reference> joinCouples(std::vector<heldAnniversary>& held);

}  // namespace rondelo
