// The name and label of a reference's lines as they carry them.
#include "events/reference.h"

namespace rondelo {

std::string shownName(const reference& ref)
{
    switch (ref.kind) {
    case referenceKind::anniversary:
        return ref.name + " (anniversary)";
    case referenceKind::other:
        return ref.name + " (" + ref.label + ")";
    case referenceKind::death:
        return ref.name + " (died)";
    case referenceKind::memorial:
        return ref.name + " (memorial)";
    case referenceKind::birthday:
    case referenceKind::date:
        break;
    }
    return ref.name;
}

const std::string& shownName(const reference& ref, std::string& decorated)
{
    if (ref.kind == referenceKind::birthday || ref.kind == referenceKind::date)
        return ref.name;
    return decorated = shownName(ref);
}

std::string labelOf(const event& e, const reference& ref)
{
    // A plain date's yearly day is a birthday's, as a date given alone is most often one.
    static const char* const words[] = {"birthday", "anniversary", "other", "death", "memorial"};
    if (e.family != familyYearly)
        return countLabel(e);
    return ref.kind == referenceKind::date ? words[0] : words[static_cast<int>(ref.kind)];
}

}  // namespace rondelo
