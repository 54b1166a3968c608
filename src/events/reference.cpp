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
    case referenceKind::birthday:
    case referenceKind::date:
        break;
    }
    return ref.name;
}

}  // namespace rondelo
