// Fuzzes the calendar directory's sync: the octets choose what a directory already holds (files
// of rondelo's names and others, directories, links, FIFOs, a killed run's temporary files, a
// lock file, files of passed milestones of references read or not) and the items, name,
// colour and history of a run. Whatever they are, only rondelo's files change, no temporary
// file or lock is left, and the directory holds the run's files and, untouched, the files its
// history keeps (isKeptHistory), or is as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "writers/vdir.h"

using namespace rondelo;

namespace {

namespace fs = std::filesystem;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct octets {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    unsigned next() { return at < size ? data[at++] : 0; }
    std::string text()  // printable, as no run's stamp lines could be: no CR
    {
        std::string made(1 + next() % 24, ' ');
        for (char& c : made)
            c = static_cast<char>(0x20 + next() % 95);
        return made;
    }
};

// Two references: the first read by every run that has history, the second by none.
reference person(const char* name)
{
    reference ref;
    ref.name = name;
    ref.zone = absl::UTCTimeZone();
    ref.zoneName = "UTC";
    return ref;
}
const reference people[] = {person("Read"), person("Gone")};
constexpr long long windowStart = 1800000000;  // 2027-01-15T08:00:00Z

// A file's text: a passed or coming milestone of either reference, as a run writes it, or any.
std::string fileText(octets& in)
{
    const unsigned shape = in.next();
    if (shape % 3 == 0)
        return in.text();
    // Before the window, and at or after its start: a date in UTC, then a time.
    static const char* const starts[] = {";VALUE=DATE:20270115", ";VALUE=DATE:20270116",
                                         ":20270115T075959Z", ":20270115T080000Z"};
    return "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART" + std::string(starts[shape >> 1 & 3]) +
           "\r\n" + referenceProperty(people[shape >> 3 & 1]) +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

const char* const names[] = {"a@rondelo.ics", "b@rondelo.ics", "c@rondelo.ics", "foreign.ics",
                             "x@rondelo.txt", "displayname",   "color",         ".rondelo-1-0.tmp",
                             ".rondelo-7-2.tmp", ".rondelo.lock", "d@rondelo.ics"};
const char* const uids[] = {"a@rondelo", "b@rondelo", "c@rondelo", "d@rondelo"};

// An entry: its type and text (a file's content, a link's target), inode and mtime.
struct entry {
    int type;
    std::string text;
    ino_t inode;
    long long mtime;
    bool operator==(const entry& o) const
    {
        return type == o.type && text == o.text && inode == o.inode && mtime == o.mtime;
    }
};

std::map<std::string, entry> snapshot(const fs::path& dir)
{
    std::map<std::string, entry> entries;
    for (const auto& found : fs::directory_iterator(dir)) {
        struct stat status {};
        check(lstat(found.path().c_str(), &status) == 0);
        std::ostringstream text;
        if (S_ISREG(status.st_mode))
            text << std::ifstream(found.path()).rdbuf();
        if (S_ISLNK(status.st_mode))
            text << fs::read_symlink(found.path()).string();
        entries[found.path().filename()] = {static_cast<int>(status.st_mode & S_IFMT), text.str(),
                                            status.st_ino,
                                            status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
    }
    return entries;
}

void makeEntry(const fs::path& path, unsigned kind, const std::string& text)
{
    std::error_code ignored;
    if (fs::symlink_status(path, ignored).type() != fs::file_type::not_found)
        return;  // a name made once: never written through a link or into a FIFO
    switch (kind % 6) {
    case 0:
        std::ofstream(path) << text;
        break;
    case 1:
        fs::create_directory(path, ignored);
        break;
    case 2:
        fs::create_symlink("/dev/zero", path, ignored);
        break;
    case 3:
        fs::create_symlink("nowhere", path, ignored);
        break;
    case 4:
        mkfifo(path.c_str(), 0666);
        break;
    default:
        fs::create_symlink("foreign.ics", path, ignored);
    }
}

bool isOwn(const std::string& name)
{
    return name.size() > 12 && name.compare(name.size() - 12, 12, "@rondelo.ics") == 0;
}

bool isRondelos(const std::string& name, const vdirMetadata& metadata)
{
    return isOwn(name) || metadata.count(name) > 0;
}

bool isLeftover(const std::string& name, const entry& e)
{
    return e.type == S_IFREG && (name == ".rondelo.lock" || name.compare(0, 9, ".rondelo-") == 0);
}

// A failed sync changed nothing but removing what killed runs left.
void checkUnchanged(const std::map<std::string, entry>& before, const std::map<std::string, entry>& after)
{
    for (const auto& [name, e] : after)
        check(before.count(name) == 1 && before.at(name) == e);
    for (const auto& [name, e] : before)
        check(after.count(name) == 1 || isLeftover(name, e));
}

// A sync that succeeded left rondelo's files as the items and metadata, the unchanged ones
// untouched, rondelo's other files that history keeps untouched, and nothing else of its names.
void checkSynced(const std::map<std::string, entry>& before, const std::map<std::string, entry>& after,
                 const vdirItems& items, const vdirMetadata& metadata, const vdirHistory& history)
{
    std::map<std::string, std::string> files(metadata.begin(), metadata.end());
    for (const auto& [uid, text] : items)
        files[vdirFileName(uid)] = text;
    for (const auto& [name, text] : files) {
        check(after.count(name) == 1 && after.at(name).type == S_IFREG && after.at(name).text == text);
        check(before.count(name) == 0 || before.at(name).text != text || before.at(name) == after.at(name));
    }
    for (const auto& [name, e] : before)
        if (isOwn(name) && files.count(name) == 0 && isKeptHistory(e.text, history))
            check(after.count(name) == 1 && after.at(name) == e);
    for (const auto& [name, e] : after) {
        const bool kept = before.count(name) == 1 && isKeptHistory(e.text, history);
        check(!isLeftover(name, e) && (!isOwn(name) || files.count(name) == 1 || kept));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    octets in{data, size};
    std::string scratch = (fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) +
                          "/fuzz_vdir.XXXXXX";
    const fs::path dir = mkdtemp(scratch.data());
    for (unsigned count = in.next() % 8; count > 0; --count) {
        const char* name = names[in.next() % std::size(names)];
        const unsigned kind = in.next();
        makeEntry(dir / name, kind, fileText(in));
    }
    vdirItems items;
    for (unsigned count = in.next() % 5; count > 0; --count)
        items[uids[in.next() % std::size(uids)]] = in.text();
    vdirMetadata metadata;
    const unsigned given = in.next();
    if (given & 1)
        metadata["displayname"] = in.text();
    if (given & 2)
        metadata["color"] = "#1E90FF";
    vdirHistory history;
    if (given & 4) {
        history.windowStart = unixInstant{windowStart};
        noteReference(history, people[0]);
    }
    const auto before = snapshot(dir);
    const auto wrong = syncVdir(dir, items, metadata, 0, history);
    check(!wrong || !wrong->empty());
    const auto after = snapshot(dir);
    for (const auto& [name, e] : before)
        if (!isRondelos(name, metadata) && !isLeftover(name, e))
            check(after.count(name) == 1 && after.at(name) == e);  // never touched
    if (wrong)
        checkUnchanged(before, after);
    else
        checkSynced(before, after, items, metadata, history);
    fs::remove_all(dir);
    return 0;
}
