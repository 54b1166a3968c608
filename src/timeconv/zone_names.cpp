// Reads the database's list of names only for a name that was not found or is a fixed offset:
// never on a run's way.
#include "timeconv/zone_names.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <numeric>
#include <sstream>
#include <utility>

#include "timeconv/zone.h"

namespace rondelo {

namespace {

// The zone and link names of tzdata.zi: "Z NAME ..." and "L TARGET NAME"; the zones alone
// without links.
std::vector<std::string> databaseNames(bool links = true)
{
    std::ifstream in(zoneDirectory() + "/tzdata.zi");
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string kind, first, second;
        fields >> kind >> first >> second;
        if (kind == "Z" || (kind == "L" && links))
            names.push_back(kind == "Z" ? first : second);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string folded(std::string text)
{
    for (char& c : text)
        c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

namespace {

// How far a database name is from the folded name asked for; 0 for the same name folded, 1 for
// a city, then 2 and the edits.
std::size_t distance(const std::string& wanted, const std::string& name)
{
    const std::string candidate = folded(name);
    if (candidate == wanted)
        return 0;
    if (candidate.compare(candidate.rfind('/') + 1, std::string::npos, wanted) == 0)
        return 1;
    return 2 + editDistance(wanted, candidate);
}

// True when a and b show one clock from 1970 to 2038: the same offset at the start and after
// each change of either.
bool sameClock(const absl::TimeZone& a, const absl::TimeZone& b)
{
    const absl::Time start = absl::FromUnixSeconds(0), end = absl::FromUnixSeconds(2145916800);
    for (const absl::TimeZone* zone : {&a, &b}) {
        absl::TimeZone::CivilTransition change;
        for (absl::Time t = start;; t = zone->At(change.to).trans) {
            if (a.At(t).offset != b.At(t).offset)
                return false;
            if (t >= end || !zone->NextTransition(t, &change))
                break;
        }
    }
    return true;
}

// The zone whose clock a place that keeps name's offset and its daylight saving time shows:
// name's sibling, such as EST5EDT for EST, where the database has one, else name's own.
absl::TimeZone placeClock(const std::string& name, const absl::TimeZone& zone, absl::Time now)
{
    absl::TimeZone sibling;
    absl::TimeZone::CivilTransition change;
    for (const std::string& other : databaseNames())
        if (other.size() > name.size() && other.compare(0, name.size(), name) == 0 &&
            std::isdigit(static_cast<unsigned char>(other[name.size()])) &&
            loadZone(other, sibling) && sibling.NextTransition(now, &change))
            return sibling;
    return zone;
}

}  // namespace

std::optional<std::vector<std::string>> fixedOffsetCities(const std::string& name,
                                                          const absl::TimeZone& zone,
                                                          unixInstant now)
{
    const absl::Time at = absl::FromUnixSeconds(now.seconds);
    const absl::TimeZone::CivilInfo info = zone.At(at);
    absl::TimeZone::CivilTransition change;
    if (!isZoneAbbreviation(name) || info.zone_abbr != name || info.offset == 0 ||
        zone.NextTransition(at, &change))
        return std::nullopt;
    const absl::TimeZone clock = placeClock(name, zone, at);
    std::vector<std::string> cities;
    absl::TimeZone city;
    for (const std::string& candidate : databaseNames(false))
        if (candidate.find('/') != std::string::npos && candidate.compare(0, 4, "Etc/") != 0 &&
            loadZone(candidate, city) && sameClock(city, clock))
            cities.push_back(candidate);
    return cities;
}

std::vector<std::string> nearestZoneNames(const std::string& name, std::size_t limit)
{
    const std::string wanted = folded(name);
    const std::size_t furthest = 2 + std::max<std::size_t>(2, wanted.size() / 4);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (std::string& candidate : databaseNames()) {
        const std::size_t d = distance(wanted, candidate);
        if (d <= furthest)
            near.emplace_back(d, std::move(candidate));
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    // The same name or city, where there is one, is the answer: no spelling nearby beside it.
    for (std::size_t i = 0; i < near.size() && names.size() < limit; ++i)
        if (near[i].first < 2 || near[0].first >= 2)
            names.push_back(near[i].second);
    return names;
}

std::string zoneSuggestions(const std::string& name)
{
    if (name.empty())
        return std::string();  // nothing is near nothing
    const std::vector<std::string> near = nearestZoneNames(name, 3);
    std::string text;
    for (std::size_t i = 0; i < near.size(); ++i)
        text += (i == 0 ? "; did you mean " : i + 1 < near.size() ? ", " : " or ") + near[i];
    return text.empty() ? text : text + "?";
}

bool isZoneAbbreviation(const std::string& name)
{
    return name.size() >= 2 && name.size() <= 5 &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace rondelo
