// The notability order of milestones, as --at-most documents it.
#include "events/notability.h"

namespace rondelo {

namespace {

bool isCelebrated(referenceKind kind)
{
    return kind == referenceKind::birthday || kind == referenceKind::anniversary ||
           kind == referenceKind::memorial || kind == referenceKind::date;
}

// 10, 100, 1000, ...: a one followed only by zeros.
bool isPowerOfTen(long long count)
{
    while (count >= 10 && count % 10 == 0)
        count /= 10;
    return count == 1;
}

// The tiers of the families that are no round counts, in the documented order.
int familyTier(milestoneFamily family)
{
    switch (family) {
    case familyRepdigit:
        return 5;
    case familyBinary:
        return 6;
    case familyFibonacci:
        return 7;
    case familySequence:
        return 8;
    default:
        return 9;  // the planets
    }
}

}  // namespace

notability notabilityOf(const event& e, const reference& ref)
{
    const long long count = e.count < 0 ? -e.count : e.count;
    if (e.family == familyReference)
        return {0, 0};
    if (e.unit == unitYears && isCelebrated(ref.kind))
        return {count % 10 == 0 && e.family != familyYearly ? 1 : 2, 0};
    if (e.family != familyRound && e.family != familyEvery)
        return {familyTier(e.family), 0};
    return {isPowerOfTen(count) ? 3 : 4, count};
}

}  // namespace rondelo
