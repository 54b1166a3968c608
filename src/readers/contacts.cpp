// Reads address books one file at a time and yields each chosen date of each card.
#include "readers/contacts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>  // for std::cin
#include <memory>
#include <vector>

#include "diagnostics/messages.h"
#include "readers/when.h"
#include "timeconv/zone.h"

namespace rondelo {

namespace {

// Where the reading of an address book stands.
struct contactsReading {
    std::vector<std::string> files;  // in the order read
    std::size_t nextFile = 0;
    std::deque<std::string> problems;  // entries skipped, each yielded as a skipped step
    contactFile current;
    std::size_t card = 0, date = 0;  // the next date of current
    referenceDefaults defaults;
    unsigned kinds;
    zoneCache zones;
};

// The instant at which a card's milestones stop: the first midnight after the day it died.
unixInstant endOfDeathDay(const contactWhen& death, const absl::TimeZone& zone)
{
    const absl::CivilDay next = absl::CivilDay(death.year, death.month, death.day) + 1;
    return wallClock2UnixTime(zone, absl::CivilSecond(next));
}

std::optional<std::string> readDate(contactsReading& r, const contactCard& card,
                                    const contactDate& date, reference& ref)
{
    ref.kind = date.kind;
    ref.name = card.name;
    ref.label = date.kind == referenceKind::other ? card.labels.at(date.label) : std::string();
    ref.occurrence = 1;
    ref.zone = r.defaults.zone;
    ref.zoneName = r.defaults.zoneName;
    if (!date.zoneName.empty())
        if (auto wrong = findZone(date.zoneName, r.zones, ref))
            return wrong;
    const contactWhen& when = date.when;
    ref.wallClock = when.instant
        ? civilOf(unixTime2WallClock(ref.zone, {*when.instant}))
        : wallClockOf(writtenDate{when.year, when.month, when.day, when.timeOfDay},
                      r.defaults.timeOfDay);
    const bool stops = card.death && date.kind != referenceKind::death;
    ref.endsBefore = stops ? endOfDeathDay(*card.death, ref.zone) : unixInstant{LLONG_MAX};
    return std::nullopt;
}

// The name of a file in messages.
std::string shownName(const std::string& path)
{
    return path == "-" ? "standard input" : printable(path);
}

// Reads the next file ("-": standard input) into r.current; the cards that could not be read
// wait in r.problems. Failed, with the problem, when the file cannot be read to its end.
readStep loadFile(contactsReading& r, std::string& problem)
{
    const std::string& path = r.files[r.nextFile++];
    std::ifstream file;
    if (path != "-")
        file.open(path, std::ios::binary);
    std::istream& in = path == "-" ? std::cin : file;
    if (!in) {
        r.problems.push_back(shownName(path) + ": " + std::strerror(errno));
        return readStep::reference;
    }
    r.current = readContacts(in, shownName(path));
    r.card = r.date = 0;
    if (in.bad()) {
        problem = shownName(path) + ": " + std::strerror(errno);
        return readStep::failed;
    }
    r.problems.insert(r.problems.end(), r.current.errors.begin(), r.current.errors.end());
    return readStep::reference;
}

// The next chosen date of the current file, if any is left.
std::optional<readStep> nextInFile(contactsReading& r, reference& ref, std::string& problem)
{
    for (; r.card < r.current.cards.size(); ++r.card, r.date = 0) {
        const contactCard& card = r.current.cards[r.card];
        while (r.date < card.dates.size()) {
            const contactDate& date = card.dates[r.date++];
            if ((r.kinds >> static_cast<int>(date.kind) & 1) == 0)
                continue;
            if (auto wrong = readDate(r, card, date, ref)) {
                problem = shownName(r.files[r.nextFile - 1]) + ":" + std::to_string(date.line) +
                          ": " + *wrong;
                return readStep::skipped;
            }
            return readStep::reference;
        }
    }
    return std::nullopt;
}

readStep nextContact(contactsReading& r, reference& ref, std::string& problem)
{
    for (;;) {
        if (!r.problems.empty()) {
            problem = std::move(r.problems.front());
            r.problems.pop_front();
            return readStep::skipped;
        }
        if (auto step = nextInFile(r, ref, problem))
            return *step;
        if (r.nextFile == r.files.size())
            return readStep::end;
        if (loadFile(r, problem) == readStep::failed)
            return readStep::failed;
    }
}

}  // namespace

std::optional<referenceSource> openContacts(const std::string& path,
                                            const referenceDefaults& defaults, unsigned kinds,
                                            std::string& problem)
{
    struct stat file {};
    if (path != "-" && stat(path.c_str(), &file) != 0) {
        problem = printable(path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    auto r = std::make_shared<contactsReading>(
        contactsReading{{path}, 0, {}, {}, 0, 0, defaults, kinds, {}});
    if (S_ISDIR(file.st_mode)) {
        std::vector<contactFileProblem> problems;
        r->files = listContactFiles(path, problems);
        for (const contactFileProblem& unread : problems)
            r->problems.push_back(printable(unread.path) + ": " + unread.reason);
    }
    return referenceSource(
        [r](reference& ref, std::string& wrong) { return nextContact(*r, ref, wrong); });
}

}  // namespace rondelo
