// How notable a milestone is: which ones --at-most keeps when a span holds more than it may.
#pragma once

#include "events/events.h"
#include "events/reference.h"

namespace rondelo {

// A milestone's rank, most notable first: the reference's own line; a birthday's, a memorial's
// or an anniversary's years (a plain date counts as a birthday), round decades before the other
// years, among which a yearly day without a year (it has no decade to be); a count that is a one
// followed only by zeros (10 years of any other kind, 100 months, 1K weeks, 10K days, 1G
// seconds); the other round counts, the round family's and one's own (--every), a yearly day of
// another kind last; then the other families: repdigit, binary (powers of two), fibonacci,
// sequence, planets. Within the two tiers of counts the larger count comes first.
struct notability {
    int tier;         // [0, 9], smaller is more notable
    long long count;  // within a tier that ranks by count, the larger first; else 0
};

notability notabilityOf(const event& e, const reference& ref);

// True when a ranks before b: by tier, then by count where the tier ranks by it.
constexpr bool isMoreNotable(notability a, notability b)
{
    return a.tier != b.tier ? a.tier < b.tier : a.count > b.count;
}

}  // namespace rondelo
