// Makes calendar UIDs: readable words for a person, a stable hash that tells events apart.
#include "writers/uid.h"

#include <algorithm>
#include <initializer_list>

#include <absl/time/time.h>

#include "timeconv/zone.h"

namespace rondelo {

namespace {

constexpr std::size_t longestWords = 40;  // octets of a name or a label in a UID

// The Latin letters with marks of U+00C0 to U+017F, each as the letters it is written without
// them; the lower case of U+00C0 to U+00DE is looked up as its upper case.
struct folding {
    unsigned first, last;
    const char* letters;
};
const folding latinLetters[] = {
    {0xC0, 0xC5, "a"},   {0xC6, 0xC6, "ae"},  {0xC7, 0xC7, "c"},   {0xC8, 0xCB, "e"},
    {0xCC, 0xCF, "i"},   {0xD0, 0xD0, "d"},   {0xD1, 0xD1, "n"},   {0xD2, 0xD6, "o"},
    {0xD8, 0xD8, "o"},   {0xD9, 0xDC, "u"},   {0xDD, 0xDD, "y"},   {0xDE, 0xDE, "th"},
    {0xDF, 0xDF, "ss"},  {0xFF, 0xFF, "y"},   {0x100, 0x105, "a"}, {0x106, 0x10D, "c"},
    {0x10E, 0x111, "d"}, {0x112, 0x11B, "e"}, {0x11C, 0x123, "g"}, {0x124, 0x127, "h"},
    {0x128, 0x131, "i"}, {0x132, 0x133, "ij"}, {0x134, 0x135, "j"}, {0x136, 0x138, "k"},
    {0x139, 0x142, "l"}, {0x143, 0x14B, "n"}, {0x14C, 0x151, "o"}, {0x152, 0x153, "oe"},
    {0x154, 0x159, "r"}, {0x15A, 0x161, "s"}, {0x162, 0x167, "t"}, {0x168, 0x173, "u"},
    {0x174, 0x175, "w"}, {0x176, 0x178, "y"}, {0x179, 0x17E, "z"}, {0x17F, 0x17F, "s"},
};

std::string foldedLetter(unsigned c)
{
    if (c >= 0xE0 && c <= 0xFE)
        c -= 0x20;
    for (const folding& f : latinLetters)
        if (c >= f.first && c <= f.last)
            return f.letters;
    return {};
}

// The letters and digits of the character at text[at], lower case and without marks; nothing
// for any other character. at moves past the character.
std::string lettersAt(const std::string& text, std::size_t& at)
{
    const auto octet = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = octet(at++);
    if (lead >= 'A' && lead <= 'Z')
        return std::string(1, static_cast<char>(lead - 'A' + 'a'));
    if ((lead >= 'a' && lead <= 'z') || (lead >= '0' && lead <= '9'))
        return std::string(1, static_cast<char>(lead));
    const bool twoOctets = lead >= 0xC0 && lead < 0xE0 && at < text.size();
    const unsigned c = twoOctets ? (lead & 0x1F) << 6 | (octet(at) & 0x3F) : 0;
    while (at < text.size() && (octet(at) & 0xC0) == 0x80)
        ++at;
    return foldedLetter(c);
}

// Each field after its length, so that no two lists of fields give the same text.
std::string fields(std::initializer_list<std::string> values)
{
    std::string text;
    for (const std::string& value : values)
        text += std::to_string(value.size()) + ":" + value;
    return text;
}

// The kind as the identity names it: a plain date's is its own.
const char* identityWord(referenceKind kind)
{
    static const char* const words[] = {"birthday", "anniversary", "other",
                                        "death",    "memorial",    "date"};
    return words[static_cast<int>(kind)];
}

// The reference's date and time of day as "YYYYMMDDTHHMMSS"; a date without a year as "--MMDD",
// as vCard writes it, never with its stand-in year.
std::string wallClockText(const reference& ref)
{
    const absl::TimeZone utc = absl::UTCTimeZone();  // a reading has no offset to add
    const char* layout = ref.yearless ? "--%m%d" : "%Y%m%dT%H%M%S";
    return absl::FormatTime(layout, absl::FromCivil(ref.wallClock, utc), utc);
}

std::string identityText(const reference& ref)
{
    return fields({wallClockText(ref), ref.zoneName, identityWord(ref.kind), ref.name, ref.label});
}

std::string hexDigits(std::uint64_t value)
{
    static const char hex[] = "0123456789abcdef";
    std::string digits(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        digits[static_cast<std::size_t>(i)] = hex[value & 15];
    return digits;
}

}  // namespace

std::uint64_t stableHash(const std::string& octets)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : octets)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

std::uint64_t referenceIdentity(const reference& ref)
{
    return stableHash(identityText(ref));
}

std::string uidWords(const std::string& text, std::size_t longest)
{
    std::string words;
    bool gap = false;  // other characters since the last letter
    for (std::size_t at = 0; at < text.size();) {
        const std::string letters = lettersAt(text, at);
        if (letters.empty()) {
            gap = true;
            continue;
        }
        if (gap && !words.empty())
            words += '-';
        words += letters;
        gap = false;
    }
    words.resize(std::min(words.size(), longest));
    while (!words.empty() && words.back() == '-')
        words.pop_back();
    return words;
}

std::string calendarUid(const reference& ref, const std::string& label)
{
    std::string uid = wallClockText(ref);
    const std::string name = ref.name.empty() ? std::string() : shownName(ref);
    for (const std::string& words : {uidWords(name, longestWords), uidWords(label, longestWords)})
        if (!words.empty())
            uid += "-" + words;
    // What tells events apart comes first: FNV-1a spreads a difference over what follows it.
    const std::string identity =
        fields({std::to_string(ref.occurrence), label}) + identityText(ref);
    return uid + "-" + hexDigits(stableHash(identity)) + "@rondelo";
}

std::string eventUid(const event& e, const reference& ref)
{
    std::string label = labelOf(e, ref);
    if (e.family == familyYearly)  // one a year: its year tells them apart
        label += " " + std::to_string(civilOf(unixTime2WallClock(ref.zone, e.instant)).year());
    return calendarUid(ref, label);
}

}  // namespace rondelo
