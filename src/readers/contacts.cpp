// Reads address books one file at a time and yields each chosen date of each card.
#include "readers/contacts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
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
    std::size_t unreadEntries = 0;  // a directory's entries that could not be read, skipped
    contactFile current;
    std::size_t card = 0, date = 0;  // the next date of current
    referenceDefaults defaults;
    unsigned kinds;
    std::ostream& err;
    zoneCache zones;
};

// The instant at which a card's milestones stop: the first midnight after the day it died.
long long endOfDeathDay(const contactWhen& death, const absl::TimeZone& zone)
{
    const wallClockReading midnight = wallClockOf(writtenDate{death.year, death.month, death.day, 0}, 0);
    return wallClock2UnixTime(zone, {midnight.seconds + 86400});
}

std::optional<std::string> readDate(contactsReading& r, const contactCard& card,
                                    const contactDate& date, reference& ref)
{
    ref.name = contactDateName(card, date);
    ref.occurrence = 1;
    ref.zone = r.defaults.zone;
    ref.zoneName = r.defaults.zoneName;
    if (!date.zoneName.empty())
        if (auto wrong = findZone(date.zoneName, r.zones, ref))
            return wrong;
    const contactWhen& when = date.when;
    ref.wallClock = when.instant
        ? unixTime2WallClock(ref.zone, *when.instant)
        : wallClockOf(writtenDate{when.year, when.month, when.day, when.timeOfDay},
                      r.defaults.timeOfDay);
    const bool stops = card.death && date.kind != contactKind::death;
    ref.endsBefore = stops ? endOfDeathDay(*card.death, ref.zone) : LLONG_MAX;
    return std::nullopt;
}

// The name of a file in messages.
std::string shownName(const std::string& path)
{
    return path == "-" ? "standard input" : printable(path);
}

// Reads the next file ("-": standard input) into r.current; skipped when it had a card that
// could not be read.
readStep loadFile(contactsReading& r)
{
    const std::string& path = r.files[r.nextFile++];
    std::ifstream file;
    if (path != "-")
        file.open(path, std::ios::binary);
    std::istream& in = path == "-" ? std::cin : file;
    if (!in) {
        r.err << "rondelo: " << shownName(path) << ": " << std::strerror(errno) << std::endl;
        return readStep::skipped;
    }
    r.current = readContacts(in, shownName(path));
    r.card = r.date = 0;
    if (in.bad()) {
        r.err << "rondelo: " << shownName(path) << ": " << std::strerror(errno) << std::endl;
        return readStep::failed;
    }
    for (const std::string& wrong : r.current.errors)
        r.err << "rondelo: " << wrong << std::endl;
    return r.current.errors.empty() ? readStep::reference : readStep::skipped;
}

// The next chosen date of the current file, if any is left.
std::optional<readStep> nextInFile(contactsReading& r, reference& ref)
{
    for (; r.card < r.current.cards.size(); ++r.card, r.date = 0) {
        const contactCard& card = r.current.cards[r.card];
        while (r.date < card.dates.size()) {
            const contactDate& date = card.dates[r.date++];
            if ((r.kinds >> static_cast<int>(date.kind) & 1) == 0)
                continue;
            if (auto wrong = readDate(r, card, date, ref)) {
                r.err << "rondelo: " << shownName(r.files[r.nextFile - 1]) << ":" << date.line
                      << ": " << *wrong << std::endl;
                return readStep::skipped;
            }
            return readStep::reference;
        }
    }
    return std::nullopt;
}

readStep nextContact(contactsReading& r, reference& ref)
{
    if (r.unreadEntries > 0) {
        --r.unreadEntries;
        return readStep::skipped;
    }
    for (;;) {
        if (auto step = nextInFile(r, ref))
            return *step;
        if (r.nextFile == r.files.size())
            return readStep::end;
        const readStep loaded = loadFile(r);
        if (loaded != readStep::reference)
            return loaded;
    }
}

}  // namespace

std::optional<referenceSource> openContacts(const std::string& path,
                                            const referenceDefaults& defaults, unsigned kinds,
                                            std::ostream& err)
{
    struct stat file {};
    if (path != "-" && stat(path.c_str(), &file) != 0) {
        err << "rondelo: " << printable(path) << ": " << std::strerror(errno) << std::endl;
        return std::nullopt;
    }
    auto r = std::make_shared<contactsReading>(
        contactsReading{{path}, 0, 0, {}, 0, 0, defaults, kinds, err, {}});
    if (S_ISDIR(file.st_mode)) {
        std::vector<contactFileProblem> problems;
        r->files = listContactFiles(path, problems);
        for (const contactFileProblem& problem : problems)
            err << "rondelo: " << printable(problem.path) << ": " << problem.reason << std::endl;
        r->unreadEntries = problems.size();
    }
    return referenceSource([r](reference& ref) { return nextContact(*r, ref); });
}

}  // namespace rondelo
