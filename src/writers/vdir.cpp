// Keeps a calendar directory equal to a run's items: temporary files first, then renames.
#include "writers/vdir.h"

#include <cstdint>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

namespace rondelo {

namespace {

const std::string ownSuffix = "@rondelo.ics";

// What a sync does once every file is ready: renames of temporary files into place, then
// removals. A temporary file renamed is no longer listed.
struct vdirPlan {
    std::vector<std::pair<std::string, std::string>> renames;  // temporary path, final path
    std::vector<std::string> removals;
};

std::string failure(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

bool isOwnFile(const std::string& name)
{
    return name.size() > ownSuffix.size() &&
           name.compare(name.size() - ownSuffix.size(), ownSuffix.size(), ownSuffix) == 0;
}

// The text of path into text; a missing file reads as empty.
std::optional<std::string> readExisting(const std::string& path, std::string& text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::nullopt : std::optional(failure(path, errno));
    char buffer[8192];
    ssize_t length;
    while ((length = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(length));
    const int error = errno;
    close(fd);
    return length < 0 ? std::optional(failure(path, error)) : std::nullopt;
}

// text without its DTSTAMP and PRODID lines, which change with the time and the version of a
// run and not with the event: what files are compared by.
std::string withoutStamps(std::string text)
{
    for (const char* key : {"\r\nDTSTAMP:", "\r\nPRODID:"})
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at))
            text.erase(at, text.find("\r\n", at + 2) - at);
    return text;
}

bool writeAll(int fd, const std::string& text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t length = write(fd, text.data() + done, text.size() - done);
        if (length < 0 && errno != EINTR)
            return false;
        done += length < 0 ? 0 : static_cast<std::size_t>(length);
    }
    return true;
}

// A new temporary file in dir, made as any file (the umask applies), open for writing.
int createTemporary(const std::string& dir, std::size_t number, std::string& path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = dir + "/.rondelo-" + std::to_string(getpid()) + "-" + std::to_string(number) + "-" +
               std::to_string(attempt) + ".tmp";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes text to a temporary file for path, synced to disk, and lists it in plan.
std::optional<std::string> prepareFile(const std::string& dir, const std::string& path,
                                       const std::string& text, vdirPlan& plan)
{
    std::string temporary;
    const int fd = createTemporary(dir, plan.renames.size(), temporary);
    if (fd < 0)
        return failure(dir, errno);
    plan.renames.emplace_back(temporary, path);
    bool written = writeAll(fd, text) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    return written ? std::nullopt : std::optional(failure(temporary, error));
}

// The item's file is prepared unless it already holds the item.
std::optional<std::string> planItem(const std::string& dir, const std::string& uid,
                                    const std::string& text, vdirPlan& plan)
{
    const std::string path = dir + "/" + vdirFileName(uid);
    std::string old;
    if (auto wrong = readExisting(path, old))
        return wrong;
    if (!old.empty() && withoutStamps(old) == withoutStamps(text))
        return std::nullopt;
    return prepareFile(dir, path, text, plan);
}

// rondelo's files in dir that no item has are listed for removal.
std::optional<std::string> planRemovals(const std::string& dir, const vdirItems& items,
                                        vdirPlan& plan)
{
    std::set<std::string> wanted;
    for (const auto& item : items)
        wanted.insert(vdirFileName(item.first));
    std::error_code error;
    for (std::filesystem::directory_iterator file(dir, error), end; !error && file != end;
         file.increment(error)) {
        const std::string name = file->path().filename().string();
        if (isOwnFile(name) && wanted.count(name) == 0)
            plan.removals.push_back(dir + "/" + name);
    }
    return error ? std::optional(dir + ": " + error.message()) : std::nullopt;
}

std::optional<std::string> syncDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        close(fd);
    return synced ? std::nullopt : std::optional(failure(dir, error));
}

std::optional<std::string> commitPlan(const std::string& dir, vdirPlan& plan)
{
    for (auto& [temporary, path] : plan.renames) {
        if (rename(temporary.c_str(), path.c_str()) != 0)
            return failure(path, errno);
        temporary.clear();
    }
    for (const std::string& path : plan.removals)
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return failure(path, errno);
    return syncDirectory(dir);
}

void removeTemporaries(const vdirPlan& plan)
{
    for (const auto& rename : plan.renames)
        if (!rename.first.empty())
            unlink(rename.first.c_str());
}

}  // namespace

void addVdirItem(vdirItems& items, std::ostream& err, const moment& m, const reference& ref,
                 const writerSettings& settings, calendarState& state)
{
    std::ostringstream text;
    writeCalendarItem(text, err, m, ref, settings, state);
    if (text.tellp() > 0)
        items[calendarUid(ref, labelOf(m.lead()))] = text.str();
}

constexpr std::size_t longestPlainName = 200;  // octets of a file name before its ".ics"

std::string vdirFileName(const std::string& uid)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string name = percentEncoded(uid, "-_@.");
    if (!name.empty() && name[0] == '.')
        name.replace(0, 1, "%2E");  // a leading dot would hide the file
    if (name.size() <= longestPlainName)
        return name + ".ics";
    // Past what a file system takes (255 octets): a prefix and a hash of the whole UID, still
    // ending as rondelo's files end.
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a, the same on every build
    for (const char c : uid)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    std::string tail = "-0000000000000000@rondelo.ics";
    for (int i = 0; i < 16; ++i)
        tail[1 + i] = hex[hash >> (60 - 4 * i) & 15];
    return name.substr(0, longestPlainName - tail.size()) + tail;
}

std::optional<std::string> syncVdir(const std::string& dir, const vdirItems& items)
{
    std::error_code error;
    const bool made = std::filesystem::create_directories(dir, error);
    if (error)
        return dir + ": " + error.message();
    vdirPlan plan;
    std::optional<std::string> wrong;
    for (auto item = items.begin(); !wrong && item != items.end(); ++item)
        wrong = planItem(dir, item->first, item->second, plan);
    if (!wrong)
        wrong = planRemovals(dir, items, plan);
    if (!wrong)
        wrong = commitPlan(dir, plan);
    if (wrong) {
        removeTemporaries(plan);
        if (made)
            rmdir(dir.c_str());  // only when it is still empty
    }
    return wrong;
}

}  // namespace rondelo
