// Reads the file of references line by line, one eventList reused for every line.
#include "driver/dates.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>  // for std::bad_alloc
#include <vector>

#include "driver/command_line.h"
#include "driver/when.h"
#include "events/events.h"
#include "writers/ics.h"  // for isCalendarText
#include "writers/writer.h"

namespace {

enum : int { exitFileFailure = 1 };

const std::string byteOrderMark = "\xEF\xBB\xBF";

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::optional<std::string> readWhen(const std::string& text, const runOptions& options,
                                    wallClockReading& wallClock)
{
    writtenDate date{};
    if (!readWrittenDate(text, true, date))
        return quoted(text) + " is not a date (YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or YYYY.MM.DD)";
    if (date.year < 1400)
        return "year " + std::to_string(date.year) + " is out of range (1400 to 9999)";
    if (auto wrong = missingDay(date))
        return wrong;
    wallClock = wallClockOf(date, options.timeOfDay);
    return std::nullopt;
}

std::optional<std::string> readZone(const std::string& name, zoneCache& zones, reference& ref)
{
    auto known = zones.find(name);
    if (known == zones.end()) {
        absl::TimeZone zone;
        if (!loadZone(name, zone))
            return "unknown time zone " + quoted(name);
        known = zones.emplace(name, zone).first;
    }
    ref.zone = known->second;
    ref.zoneName = name;
    return std::nullopt;
}

// One line that passed the window, held for --sort with the reference it came from.
struct heldLine {
    event e;
    std::uint32_t owner;  // index into the held references
};

// One of the earliest lines so far, for --next.
struct earlyLine {
    event e;
    unsigned long long made;  // its place in the order the file's lines were made in
    std::shared_ptr<const reference> from;  // kept while one of its lines is
};

// Earlier in time, or at one instant made first, as --sort orders the lines.
bool isEarlier(const earlyLine& a, const earlyLine& b)
{
    return a.e.timestamp != b.e.timestamp ? a.e.timestamp < b.e.timestamp : a.made < b.made;
}

// The earliest lines of the file so far: at most limit, in a heap with the latest on top, so
// that memory grows with limit and not with the file.
struct earliestLines {
    std::size_t limit;
    unsigned long long made = 0;
    std::vector<earlyLine> held;
};

// Offers the lines of one reference, in the order they were made; a reference is kept only
// while one of its lines is.
void offerLines(earliestLines& earliest, eventList& events, const reference& ref)
{
    std::shared_ptr<const reference> shared;
    for (event& e : events) {
        earlyLine line{std::move(e), earliest.made++, nullptr};
        if (earliest.held.size() == earliest.limit && !isEarlier(line, earliest.held.front()))
            continue;
        if (!shared)
            shared = std::make_shared<const reference>(ref);
        line.from = shared;
        if (earliest.held.size() == earliest.limit) {
            std::pop_heap(earliest.held.begin(), earliest.held.end(), isEarlier);
            earliest.held.pop_back();
        }
        earliest.held.push_back(std::move(line));
        std::push_heap(earliest.held.begin(), earliest.held.end(), isEarlier);
    }
}

struct closer {
    void operator()(std::FILE* file) const
    {
        if (file != stdin)
            std::fclose(file);
    }
};

}  // namespace

std::optional<std::string> readDateLine(const std::string& line, const runOptions& options,
                                        zoneCache& zones, reference& ref)
{
    const std::size_t nameAt = line.find('\t');
    if (nameAt == std::string::npos)
        return "expected WHEN<TAB>NAME or WHEN<TAB>NAME<TAB>ZONE";
    const std::size_t zoneAt = line.find('\t', nameAt + 1);
    if (zoneAt != std::string::npos && line.find('\t', zoneAt + 1) != std::string::npos)
        return "more than three fields: expected WHEN<TAB>NAME or WHEN<TAB>NAME<TAB>ZONE";
    if (auto wrong = readWhen(line.substr(0, nameAt), options, ref.wallClock))
        return wrong;
    ref.name.assign(line, nameAt + 1,
                    zoneAt == std::string::npos ? std::string::npos : zoneAt - nameAt - 1);
    if (ref.name.empty())
        return "the name is empty";
    if (!isCalendarText(ref.name) || ref.name.find('\n') != std::string::npos)
        return "the name must be UTF-8 text without control characters";
    if (zoneAt == std::string::npos) {
        ref.zone = options.zone;
        ref.zoneName = options.zoneName;
        return std::nullopt;
    }
    return readZone(line.substr(zoneAt + 1), zones, ref);
}

int runDates(const runOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string& path = *options.datesFile;
    const std::string shown = path == "-" ? "standard input" : path;
    const std::unique_ptr<std::FILE, closer> file(path == "-" ? stdin : std::fopen(path.c_str(), "r"));
    if (!file) {
        err << "rondelo: " << printable(shown) << ": " << std::strerror(errno) << std::endl;
        return exitFileFailure;
    }
    // Lines go out in blocks: a flush each would be most of the run's time.
    writer output = makeWriter(writerSettingsOf(options, false));
    if (!writeBegin(output, out))
        return reportWriteError(err, "rondelo", errno);

    zoneCache zones;
    reference ref{};
    eventList events;
    std::vector<heldLine> held;          // --sort only: every line that passed the window
    std::vector<reference> owners;       // and the references they came from
    earliestLines earliest{static_cast<std::size_t>(options.next.value_or(0)), 0, {}};  // --next
    bool skipped = false;
    std::unique_ptr<char, decltype(&std::free)> buffer(nullptr, &std::free);
    std::size_t capacity = 0;
    std::string line;
    for (long long number = 1;; ++number) {
        char* data = buffer.release();
        errno = 0;
        const ssize_t length = getline(&data, &capacity, file.get());
        buffer.reset(data);
        if (length < 0 && errno == ENOMEM)  // a line longer than memory allows
            throw std::bad_alloc();
        if (length < 0)
            break;
        line.assign(data, static_cast<std::size_t>(length));
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && line.compare(0, byteOrderMark.size(), byteOrderMark) == 0)
            line.erase(0, byteOrderMark.size());
        if (isBlank(line) || line[0] == '#')
            continue;
        if (auto wrong = readDateLine(line, options, zones, ref)) {
            err << "rondelo: " << printable(shown) << ":" << number << ": " << *wrong << std::endl;
            skipped = true;
            continue;
        }
        events.clear();
        collectEvents(events, ref, options);
        // Twins make the same lines, so counting only the references that make any numbers
        // them alike in every window, and the count grows with the output, not the file.
        if (events.empty())
            continue;
        countReference(output, ref);
        if (options.next) {
            offerLines(earliest, events, ref);
            continue;
        }
        if (options.sortByTime) {
            for (event& e : events)
                held.push_back({std::move(e), static_cast<std::uint32_t>(owners.size())});
            owners.push_back(ref);
            continue;
        }
        for (const event& e : events)
            if (!writeLine(output, out, err, e, ref))
                return reportWriteError(err, "rondelo", errno);
    }
    if (std::ferror(file.get())) {
        err << "rondelo: " << printable(shown) << ": " << std::strerror(errno) << std::endl;
        return exitFileFailure;
    }
    std::stable_sort(held.begin(), held.end(), [](const heldLine& a, const heldLine& b) {
        return a.e.timestamp < b.e.timestamp;
    });
    for (const heldLine& h : held)
        if (!writeLine(output, out, err, h.e, owners[h.owner]))
            return reportWriteError(err, "rondelo", errno);
    std::sort_heap(earliest.held.begin(), earliest.held.end(), isEarlier);
    for (const earlyLine& line : earliest.held)
        if (!writeLine(output, out, err, line.e, *line.from))
            return reportWriteError(err, "rondelo", errno);
    if (!writeEnd(output, out))
        return reportWriteError(err, "rondelo", errno);
    return skipped ? exitOutOfRange : 0;
}
