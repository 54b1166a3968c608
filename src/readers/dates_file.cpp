// Reads a file of references line by line with getline(3), one buffer reused for every line.
#include "readers/dates_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "diagnostics/messages.h"
#include "readers/when.h"

namespace {

const std::string byteOrderMark = "\xEF\xBB\xBF";

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::optional<std::string> readWhen(const std::string& text, long long timeOfDay,
                                    wallClockReading& wallClock)
{
    writtenDate date{};
    if (!readWrittenDate(text, true, date))
        return quoted(text) + " is not a date (YYYY-MM-DD, YYYY-MM-DDTHH:MM[:SS] or YYYY.MM.DD)";
    if (date.year < 1400)
        return "year " + std::to_string(date.year) + " is out of range (1400 to 9999)";
    if (auto wrong = missingDay(date))
        return wrong;
    wallClock = wallClockOf(date, timeOfDay);
    return std::nullopt;
}

struct closer {
    void operator()(std::FILE* file) const
    {
        if (file != stdin)
            std::fclose(file);
    }
};

// An open file of references and where its reading stands.
struct datesFile {
    std::unique_ptr<std::FILE, closer> file;
    std::string shown;  // its name in messages
    referenceDefaults defaults;
    std::ostream& err;
    zoneCache zones;
    std::unique_ptr<char, decltype(&std::free)> buffer{nullptr, &std::free};
    std::size_t capacity = 0;
    std::string line;
    long long number = 0;
};

void report(datesFile& f, const std::string& what)
{
    f.err << "rondelo: " << printable(f.shown) << what << std::endl;
}

// The next line into f.line, without its line end; false at the end of the file or on an
// error, which ferror tells apart.
bool readLine(datesFile& f)
{
    char* data = f.buffer.release();
    errno = 0;
    const ssize_t length = getline(&data, &f.capacity, f.file.get());
    f.buffer.reset(data);
    if (length < 0 && errno == ENOMEM)  // a line longer than memory allows
        memoryExhausted();
    if (length < 0)
        return false;
    ++f.number;
    f.line.assign(data, static_cast<std::size_t>(length));
    if (!f.line.empty() && f.line.back() == '\n')
        f.line.pop_back();
    if (!f.line.empty() && f.line.back() == '\r')
        f.line.pop_back();
    if (f.number == 1 && f.line.compare(0, byteOrderMark.size(), byteOrderMark) == 0)
        f.line.erase(0, byteOrderMark.size());
    return true;
}

readStep readNextReference(datesFile& f, reference& ref)
{
    while (readLine(f)) {
        // khard writes a birthday without a year as 1900.MM.DD: it has no milestones.
        if (isBlank(f.line) || f.line[0] == '#' || f.line.compare(0, 5, "1900.") == 0)
            continue;
        if (auto wrong = readDateLine(f.line, f.defaults, f.zones, ref)) {
            report(f, ":" + std::to_string(f.number) + ": " + *wrong);
            return readStep::skipped;
        }
        return readStep::reference;
    }
    if (!std::ferror(f.file.get()))
        return readStep::end;
    report(f, std::string(": ") + std::strerror(errno));
    return readStep::failed;
}

// True when file is a regular file that is also the output: reading it would read back what
// the run appends, without end.
bool isOutput(std::FILE* file, int output)
{
    struct stat in {}, out {};
    return fstat(fileno(file), &in) == 0 && fstat(output, &out) == 0 && S_ISREG(in.st_mode) &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

}  // namespace

std::optional<std::string> readDateLine(const std::string& line, const referenceDefaults& defaults,
                                        zoneCache& zones, reference& ref)
{
    const std::size_t nameAt = line.find('\t');
    if (nameAt == std::string::npos)
        return "expected WHEN<TAB>NAME or WHEN<TAB>NAME<TAB>ZONE";
    const std::size_t zoneAt = line.find('\t', nameAt + 1);
    if (zoneAt != std::string::npos && line.find('\t', zoneAt + 1) != std::string::npos)
        return "more than three fields: expected WHEN<TAB>NAME or WHEN<TAB>NAME<TAB>ZONE";
    if (auto wrong = readWhen(line.substr(0, nameAt), defaults.timeOfDay, ref.wallClock))
        return wrong;
    ref.name.assign(line, nameAt + 1,
                    zoneAt == std::string::npos ? std::string::npos : zoneAt - nameAt - 1);
    if (ref.name.empty())
        return "the name is empty";
    if (!isCalendarText(ref.name) || ref.name.find('\n') != std::string::npos)
        return "the name must be UTF-8 text without control characters";
    if (zoneAt == std::string::npos) {
        ref.zone = defaults.zone;
        ref.zoneName = defaults.zoneName;
        return std::nullopt;
    }
    return findZone(line.substr(zoneAt + 1), zones, ref);
}

std::optional<referenceSource> openDatesFile(const std::string& path,
                                             const referenceDefaults& defaults, int output,
                                             std::ostream& err)
{
    std::FILE* opened = path == "-" ? stdin : std::fopen(path.c_str(), "r");
    const std::string shown = path == "-" ? "standard input" : path;
    if (opened == nullptr) {
        err << "rondelo: " << printable(shown) << ": " << std::strerror(errno) << std::endl;
        return std::nullopt;
    }
    if (isOutput(opened, output)) {
        closer{}(opened);
        err << "rondelo: " << printable(shown) << ": input file is output file" << std::endl;
        return std::nullopt;
    }
    auto f = std::make_shared<datesFile>(
        datesFile{{opened, closer{}}, shown, defaults, err, {}, {nullptr, &std::free}, 0, {}, 0});
    return referenceSource([f](reference& ref) { return readNextReference(*f, ref); });
}
