// The name of a reference as its lines carry it.
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

std::string labelOf(const event& e, const reference& ref)
{
    return e.family == familyYearly ? kindWord(ref.kind) : labelOf(e);
}

const char* kindWord(referenceKind kind)
{
    static const char* const words[] = {"birthday", "anniversary", "other", "death", "memorial"};
    return kind == referenceKind::date ? words[0] : words[static_cast<int>(kind)];
}

}  // namespace rondelo
