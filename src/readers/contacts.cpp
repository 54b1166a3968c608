// Reads address books one card at a time and yields each chosen date of each card.
#include "readers/contacts.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>  // for exchange

#include "diagnostics/messages.h"
#include "readers/couples.h"
#include "readers/file_zones.h"
#include "readers/input_file.h"
#include "readers/vcard.h"
#include "readers/when.h"
#include "timeconv/zone.h"

namespace rondelo {

namespace {

// Where the reading of an address book stands. One card is held at a time, so that memory
// does not grow with the book.
struct contactsReading {
    std::vector<std::string> entries;  // a directory's files, in the order read
    std::size_t nextEntry = 0;
    std::deque<std::string> problems;  // entries skipped, each yielded as a skipped step
    inputFile file;                    // the file being read, if any
    bool fileIsEntry = false;          // of a directory: one that cannot be read is skipped
    cardReader cards;
    contactCard card;
    std::size_t date = 0;  // the next date of card
    bool memorialNext = false;  // the date's memorial comes before the next date
    referenceDefaults defaults;
    unsigned kinds = 0;
    fileZones zones;
    // A couple's two cards may lie anywhere in the book: its anniversaries wait for its end,
    // and only they, then come joined, one at a time.
    std::vector<heldAnniversary> anniversaries;
    std::vector<reference> joined;
    std::size_t nextJoined = 0;
    bool ended = false;
};

// The instant at which a card's milestones stop: the first midnight after the day it died.
unixInstant endOfDeathDay(const isoDateTime& death, const absl::TimeZone& zone)
{
    const absl::CivilDay next = absl::CivilDay(death.date.year, death.date.month, death.date.day) + 1;
    return wallClock2UnixTime(zone, absl::CivilSecond(next));
}

// The reading a date counts from: a month and day alone at midnight, a date without a time
// at the defaults' time of day, an instant in the reference's zone.
absl::CivilSecond wallClockOf(const contactDate& date, const reference& ref, long long timeOfDay)
{
    const isoDateTime& when = date.when;
    if (date.yearless)
        return wallClockOf(when.date, 0);
    return when.instant ? civilOf(unixTime2WallClock(ref.zone, *when.instant))
                        : wallClockOf(when.date, timeOfDay);
}

// Where a date's milestones begin and end: a memorial's after the day of the death; the other
// dates' but the death's own, up to it. A death whose year the card does not give ends them
// all: which of them the person lived to see is not known, and none is shown as if alive.
void boundByDeath(const contactCard& card, reference& ref)
{
    const bool memorial = ref.kind == referenceKind::memorial;
    const bool undated = !card.death && card.diedOnDayUnknown;
    const unixInstant end = card.death ? endOfDeathDay(*card.death, ref.zone)
                                       : unixInstant{undated ? LLONG_MIN : 0};
    const bool stops = (card.death || undated) && !memorial && ref.kind != referenceKind::death;
    ref.startsAt = memorial ? end : unixInstant{LLONG_MIN};
    ref.endsBefore = stops ? end : unixInstant{LLONG_MAX};
}

// The reference of a date, or of its memorial.
std::optional<std::string> readDate(contactsReading& r, const contactDate& date, bool memorial,
                                    reference& ref)
{
    const contactCard& card = r.card;
    ref.kind = memorial ? referenceKind::memorial : date.kind;
    ref.name = card.name;
    ref.label = date.kind == referenceKind::other ? card.labels.at(date.label) : std::string();
    ref.occurrence = 1;
    ref.zone = r.defaults.zone;
    ref.zoneName = r.defaults.zoneName;
    if (!date.zoneName.empty())
        if (auto wrong = findFileZone(date.zoneName, r.zones, ref))
            return wrong;
    ref.yearless = date.yearless;
    ref.instant = date.when.instant;
    ref.wallClock = wallClockOf(date, ref, r.defaults.timeOfDay);
    // An instant may lie outside the calendar on the zone's clock: 1400-01-01T00:30Z in New York.
    if (ref.instant && !isCalendarSecond(readingOf(ref.wallClock).seconds))
        return std::string("the date is out of range on the clock it is counted on (years 1400 "
                           "to 9999)");
    boundByDeath(card, ref);
    return std::nullopt;
}

// Whether --kinds takes a date of kind: a death also with memorial, which remembers it.
bool isChosen(unsigned kinds, referenceKind kind)
{
    const unsigned memorial = 1u << static_cast<int>(referenceKind::memorial);
    return (kinds >> static_cast<int>(kind) & 1) != 0 ||
           (kind == referenceKind::death && (kinds & memorial) != 0);
}

// Whether a date has a memorial besides: a birthday of someone who died, with --kinds=memorial.
bool hasMemorial(const contactsReading& r, const contactDate& date)
{
    return date.kind == referenceKind::birthday && r.card.death &&
           (r.kinds >> static_cast<int>(referenceKind::memorial) & 1) != 0;
}

// The next chosen date of the card held, each birthday followed by its memorial when there is
// one; an anniversary is held for joinCouples instead. Nothing once the card has no more.
std::optional<readStep> nextOfCard(contactsReading& r, reference& ref, std::string& problem)
{
    while (r.date < r.card.dates.size()) {
        const contactDate& date = r.card.dates[r.date];
        const bool memorial = std::exchange(r.memorialNext, false);
        if (!memorial && hasMemorial(r, date))
            r.memorialNext = true;
        else
            ++r.date;
        if (!memorial && !isChosen(r.kinds, date.kind))
            continue;
        if (auto wrong = readDate(r, date, memorial, ref)) {
            r.memorialNext = false;  // one message for a date and its memorial
            problem = r.cards.fileName + ":" + std::to_string(date.line) + ": " + *wrong;
            return readStep::skipped;
        }
        if (date.kind != referenceKind::anniversary)
            return readStep::reference;
        const contactCard& card = r.card;
        r.anniversaries.push_back({ref, card.familyName, card.givenName, card.uid, card.spouses});
    }
    return std::nullopt;
}

// The next chosen date of the file being read, card by card; nothing at the file's end.
std::optional<readStep> nextInFile(contactsReading& r, reference& ref, std::string& problem)
{
    for (;;) {
        if (auto step = nextOfCard(r, ref, problem))
            return step;
        r.date = 0;
        r.card.dates.clear();
        const cardStep step = readCard(r.cards, r.card, problem);
        if (step == cardStep::skipped)
            return readStep::skipped;
        if (step == cardStep::end)
            return std::nullopt;
    }
}

// The file read to its end is closed; a read error ends the source, or skips a directory's entry.
std::optional<readStep> closeFile(contactsReading& r, std::string& problem)
{
    const int error = r.cards.lines.error;
    r.file.reset();
    if (error == 0)
        return std::nullopt;
    problem = r.cards.fileName + ": " + std::strerror(error);
    return r.fileIsEntry ? readStep::skipped : readStep::failed;
}

void startFile(contactsReading& r, inputFile file, const std::string& path)
{
    r.file = std::move(file);
    startCards(r.cards, r.file.get(), shownPath(path));
    r.card.dates.clear();
    r.date = 0;
    r.memorialNext = false;
}

// Opens the next entry of the directory; false, with the problem, when it cannot be.
bool openEntry(contactsReading& r, std::string& problem)
{
    const std::string& path = r.entries[r.nextEntry++];
    inputFile file = openInput(path, problem);
    if (file)
        startFile(r, std::move(file), path);
    return static_cast<bool>(r.file);
}

// The book's anniversaries, couples joined, once every card is read; end after them.
readStep nextJoined(contactsReading& r, reference& ref)
{
    if (!r.ended) {
        r.ended = true;
        r.joined = joinCouples(r.anniversaries);
        r.anniversaries.clear();
    }
    if (r.nextJoined == r.joined.size())
        return readStep::end;
    ref = std::move(r.joined[r.nextJoined++]);
    return readStep::reference;
}

readStep nextContact(contactsReading& r, reference& ref, std::string& problem)
{
    for (;;) {
        if (!r.problems.empty()) {
            problem = std::move(r.problems.front());
            r.problems.pop_front();
            return readStep::skipped;
        }
        if (r.file) {
            if (auto step = nextInFile(r, ref, problem))
                return *step;
            if (auto step = closeFile(r, problem))
                return *step;
        }
        if (r.nextEntry == r.entries.size())
            return nextJoined(r, ref);
        if (!openEntry(r, problem))
            return readStep::skipped;
    }
}

bool isVcfName(const std::string& name)
{
    return name[0] != '.' && name.size() > 4 && name.compare(name.size() - 4, 4, ".vcf") == 0;
}

// The directory's entries, or its own problem, into r.
std::optional<std::string> listDirectory(contactsReading& r, const std::string& path)
{
    std::vector<contactFileProblem> problems;
    if (auto wrong = listContactFiles(path, r.entries, problems))
        return wrong;
    for (const contactFileProblem& unread : problems)
        r.problems.push_back(printable(unread.path) + ": " + unread.reason);
    r.fileIsEntry = true;
    return std::nullopt;
}

}  // namespace

std::optional<referenceSource> openContacts(const std::string& path,
                                            const referenceDefaults& defaults, unsigned kinds,
                                            std::string& problem)
{
    inputFile file = openInput(path, problem);
    if (!file)
        return std::nullopt;
    auto r = std::make_shared<contactsReading>();
    r->defaults = defaults;
    r->kinds = kinds;
    struct stat status {};
    if (path != "-" && fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
        file.reset();
        if (auto wrong = listDirectory(*r, path)) {
            problem = *wrong;
            return std::nullopt;
        }
    } else {
        startFile(*r, std::move(file), path);
    }
    return referenceSource(
        [r](reference& ref, std::string& wrong) { return nextContact(*r, ref, wrong); });
}

std::optional<std::string> listContactFiles(const std::string& directory,
                                            std::vector<std::string>& paths,
                                            std::vector<contactFileProblem>& problems)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error); !error && entry != fs::directory_iterator();
         entry.increment(error))
        if (isVcfName(entry->path().filename().string()))
            names.push_back(entry->path().filename().string());
    if (error)
        return printable(directory) + ": " + error.message();
    std::sort(names.begin(), names.end());
    const std::string prefix =
        directory.empty() || directory.back() == '/' ? directory : directory + "/";
    for (const std::string& name : names) {
        if (fs::is_regular_file(prefix + name, error))
            paths.push_back(prefix + name);
        else
            problems.push_back({prefix + name, error ? error.message() : "not a regular file"});
    }
    return std::nullopt;
}

}  // namespace rondelo
