// Joins the two cards of a couple's wedding, among the anniversaries of one address book.
#include "readers/couples.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

namespace rondelo {

namespace {

constexpr std::size_t unpaired = static_cast<std::size_t>(-1);

bool isNamedBy(const heldAnniversary& person, const std::string& spouse)
{
    const bool byUid = !person.uid.empty() &&
                       (spouse == person.uid || spouse == "urn:uuid:" + person.uid);
    return byUid || spouse == person.ref.name || spouse == person.givenName;
}

bool namesEachOther(const heldAnniversary& a, const heldAnniversary& b)
{
    const auto names = [](const heldAnniversary& by, const heldAnniversary& named) {
        return std::any_of(by.spouses.begin(), by.spouses.end(),
                           [&](const std::string& spouse) { return isNamedBy(named, spouse); });
    };
    return names(a, b) || names(b, a);
}

bool shareFamily(const heldAnniversary& a, const heldAnniversary& b)
{
    return !a.familyName.empty() && a.familyName == b.familyName;
}

// Pairs the unpaired anniversaries of one date by rule, each with the first after it. (A plain
// function pointer: a std::function of one would link the runtime's tables of type names in,
// which every run, the classic one too, would relocate at its start.)
void pairBy(const std::vector<std::size_t>& day, const std::vector<heldAnniversary>& held,
            std::vector<std::size_t>& partner,
            bool (*rule)(const heldAnniversary&, const heldAnniversary&))
{
    for (std::size_t i = 0; i < day.size(); ++i)
        for (std::size_t j = i + 1; j < day.size() && partner[day[i]] == unpaired; ++j)
            if (partner[day[j]] == unpaired && rule(held[day[i]], held[day[j]])) {
                partner[day[i]] = day[j];
                partner[day[j]] = day[i];
            }
}

reference coupleOf(const reference& a, const reference& b)
{
    reference couple = a;
    const auto [first, second] = std::minmax(a.name, b.name);
    couple.name = first == second ? first : first + " & " + second;
    couple.endsBefore = std::min(a.endsBefore, b.endsBefore);
    return couple;
}

}  // namespace

std::vector<reference> joinCouples(std::vector<heldAnniversary>& held)
{
    // A date without a year is read in a stand-in year: it is no day of one with a year.
    std::map<std::tuple<absl::CivilSecond, std::string, bool>, std::vector<std::size_t>> byDay;
    for (std::size_t i = 0; i < held.size(); ++i)
        byDay[{held[i].ref.wallClock, held[i].ref.zoneName, held[i].ref.yearless}].push_back(i);
    std::vector<std::size_t> partner(held.size(), unpaired);
    for (const auto& [day, indices] : byDay) {
        pairBy(indices, held, partner, namesEachOther);
        pairBy(indices, held, partner, shareFamily);
    }
    std::vector<reference> joined;
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (partner[i] == unpaired)
            joined.push_back(std::move(held[i].ref));
        else if (partner[i] > i)
            joined.push_back(coupleOf(held[i].ref, held[partner[i]].ref));
    }
    return joined;
}

}  // namespace rondelo
