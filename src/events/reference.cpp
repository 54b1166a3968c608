// The name, label and identity of a reference as its lines carry them.
#include "events/reference.h"

#include <cstdio>  // for snprintf
#include <initializer_list>

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

std::uint64_t identityOf(const reference& ref)
{
    const absl::CivilSecond& c = ref.wallClock;
    char reading[64];
    std::snprintf(reading, sizeof reading, "%lld-%d-%dT%d:%d:%d %d",
                  ref.yearless ? 0LL : static_cast<long long>(c.year()), c.month(), c.day(),
                  c.hour(), c.minute(), c.second(), static_cast<int>(ref.kind));
    std::string text = reading + std::string(1, '\0');
    for (const std::string* part : {&ref.zoneName, &ref.name, &ref.label})
        text += *part + '\0';  // no part holds a NUL: different references never meet
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char octet : text)
        hash = (hash ^ static_cast<unsigned char>(octet)) * 1099511628211ULL;
    return hash;
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
