// Keeps a calendar directory equal to a run's items: under a lock, every check before any
// change, temporary files next, then renames in an order that a failure can undo.
#include "writers/vdir.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>  // for flock
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

#include "writers/uid.h"

namespace rondelo {

namespace {

const std::string ownSuffix = "@rondelo.ics";
const char lockName[] = ".rondelo.lock";
constexpr off_t largestItem = 1 << 20;  // octets: an event's file is a few hundred
constexpr int heldSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A file a sync writes: its name in the directory and its whole text.
struct vdirWrite {
    std::string name;
    const std::string* text;
};

// What a sync changes, all known before anything changes: the files it writes, those of new
// names first, and rondelo's files that it removes.
struct vdirPlan {
    std::vector<vdirWrite> writes;
    std::size_t additions = 0;  // writes[0, additions) are new names
    std::vector<std::string> removals;
};

// Entries of the directory, by name, as lstat sees them.
using entries = std::map<std::string, struct stat>;

// What a sync holds while it runs; endSession gives it back, however the sync ends.
struct vdirSession {
    std::string dir;
    pid_t process = getpid();  // in the temporary files' names
    uid_t user = geteuid();    // whom the sticky bit lets replace files
    bool made = false;     // dir was made by this sync
    bool done = false;     // the sync has succeeded
    int fd = -1;           // dir, open
    int lock = -1;         // its lock file, locked
    struct stat status {};  // dir's
    std::size_t temporaries = 0;  // temporary files 0 to temporaries - 1 were made,
    std::size_t renamed = 0;      // and those before renamed are no longer there
    bool holding = false;         // heldSignals are blocked, the mask before in previousMask
    sigset_t previousMask{};
    sigset_t held{};  // the signals this sync holds and gives up for
    ~vdirSession();
};

// What failed while temporary files exist, made without allocating: errno, and the file's name
// (none for the directory).
struct fault {
    int error = 0;
    const std::string* name = nullptr;
};

std::string failure(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

bool endsWith(const std::string& name, const std::string& end)
{
    return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

bool isOwnFile(const std::string& name)
{
    return endsWith(name, ownSuffix);
}

bool isTemporary(const std::string& name)
{
    return name.compare(0, 9, ".rondelo-") == 0 && endsWith(name, ".tmp");
}

// Temporary file number's name, ".rondelo-PID-NUMBER.tmp", made on the stack: it is made again
// to remove the file, also where memory has run out.
std::array<char, 64> temporaryName(const vdirSession& s, std::size_t number)
{
    std::array<char, 64> name{};
    char* at = std::copy_n(".rondelo-", 9, name.data());
    at = std::to_chars(at, name.end() - 6, static_cast<long>(s.process)).ptr;
    *at++ = '-';
    at = std::to_chars(at, name.end() - 5, number).ptr;
    std::copy_n(".tmp", 4, at);
    return name;
}

bool isPending(const vdirSession& s)
{
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : heldSignals)
        if (sigismember(&pending, signal) == 1 && sigismember(&s.held, signal) == 1)
            return true;
    return false;
}

// Holds the signals that would end the run. One that the run was started ignoring (nohup, a
// script's background job) stays ignored: it ends nothing, and must not cut a sync short.
void holdSignals(vdirSession& s)
{
    sigemptyset(&s.held);
    for (const int signal : heldSignals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&s.held, signal);
    }
    s.holding = sigprocmask(SIG_BLOCK, &s.held, &s.previousMask) == 0;
    for (const int signal : heldSignals)  // held already by whoever started the run: not ours
        if (sigismember(&s.previousMask, signal) == 1)
            sigdelset(&s.held, signal);
}

// Gives back what s holds: its temporary files, its lock and lock file, dir when this sync made
// it and failed, and the signals held (one that came meanwhile is delivered now). Only calls
// that allocate nothing; safe to call twice.
void endSession(vdirSession& s)
{
    for (; s.renamed < s.temporaries; ++s.renamed)
        unlinkat(s.fd, temporaryName(s, s.renamed).data(), 0);
    if (s.lock >= 0) {
        unlinkat(s.fd, lockName, 0);  // under the lock: a run waiting for it opens it anew
        close(s.lock);
        s.lock = -1;
    }
    if (s.fd >= 0)
        close(s.fd);
    s.fd = -1;
    if (s.made && !s.done)
        rmdir(s.dir.c_str());  // only when it is still empty
    s.made = false;
    if (s.holding)
        sigprocmask(SIG_SETMASK, &s.previousMask, nullptr);
    s.holding = false;
}

vdirSession::~vdirSession()
{
    endSession(*this);
}

// Makes dir, with its parents, when missing, and opens it.
std::optional<std::string> openDirectory(vdirSession& s)
{
    namespace fs = std::filesystem;
    std::error_code error;
    s.made = fs::create_directories(s.dir, error);
    for (fs::path at = s.dir; error && at != at.parent_path(); at = at.parent_path()) {
        std::error_code ignored;
        if (fs::is_symlink(fs::symlink_status(at, ignored)) && !fs::exists(at, ignored))
            return at.string() + " is a dangling symbolic link";
    }
    if (error)
        return s.dir + ": " + error.message();
    s.fd = open(s.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (s.fd < 0 || fstat(s.fd, &s.status) != 0)
        return failure(s.dir, errno);
    return std::nullopt;
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISFIFO(mode))
        return "a FIFO";
    return S_ISSOCK(mode) ? "a socket" : "a device";
}

// Locks the lock file now at its name; locked stays false when another run holds it, or removed
// it before this one had it. Returns what failed.
std::optional<std::string> tryLock(vdirSession& s, bool& locked)
{
    const std::string path = s.dir + "/" + lockName;
    s.lock = openat(s.fd, lockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (s.lock < 0)
        return failure(path, errno);
    struct stat held {}, named {};
    std::optional<std::string> wrong;
    if (fstat(s.lock, &held) != 0)
        wrong = failure(path, errno);
    else if (!S_ISREG(held.st_mode))
        wrong = path + " is " + kindOf(held.st_mode) + ", not a regular file";
    else if (flock(s.lock, LOCK_EX | LOCK_NB) != 0)
        wrong = errno == EWOULDBLOCK ? std::nullopt : std::optional(failure(path, errno));
    else if (fstatat(s.fd, lockName, &named, AT_SYMLINK_NOFOLLOW) != 0)
        wrong = errno == ENOENT ? std::nullopt : std::optional(failure(path, errno));
    else
        locked = held.st_ino == named.st_ino && held.st_dev == named.st_dev;
    if (!locked) {
        close(s.lock);
        s.lock = -1;
    }
    return wrong;
}

std::optional<std::string> lockDirectory(vdirSession& s, int waitSeconds)
{
    const timespec pause{0, 100000000};
    bool locked = false;
    for (int tries = waitSeconds * 10;; --tries) {
        if (auto wrong = tryLock(s, locked))
            return wrong;
        if (locked)
            return std::nullopt;
        if (tries <= 0)
            return s.dir + " is in use by another run of rondelo";
        nanosleep(&pause, nullptr);
    }
}

// Sorts the entry name: a file of rondelo's names (or of metadata's) into existing, a temporary
// regular file into leftovers; errno or 0.
int sortEntry(const vdirSession& s, const vdirMetadata& metadata, const std::string& name,
              entries& existing, std::vector<std::string>& leftovers)
{
    const bool own = isOwnFile(name) || metadata.count(name) > 0;
    struct stat status {};
    if (!own && !isTemporary(name))
        return 0;
    if (fstatat(s.fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (own)
        existing.emplace(name, status);
    else if (S_ISREG(status.st_mode))
        leftovers.push_back(name);
    return 0;
}

std::optional<std::string> listDirectory(const vdirSession& s, const vdirMetadata& metadata,
                                         entries& existing, std::vector<std::string>& leftovers)
{
    const int fd = openat(s.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fd < 0 ? nullptr : fdopendir(fd);
    if (listing == nullptr) {
        const int error = errno;
        if (fd >= 0)
            close(fd);
        return failure(s.dir, error);
    }
    int error = 0;
    errno = 0;
    for (const dirent* entry; error == 0 && (entry = readdir(listing)) != nullptr; errno = 0)
        error = sortEntry(s, metadata, entry->d_name, existing, leftovers);
    error = error != 0 ? error : errno;
    closedir(listing);
    return error != 0 ? std::optional(failure(s.dir, error)) : std::nullopt;
}

// Whether rondelo may replace or remove the entry name: a regular file that a rename or unlink
// by this user can take away, which the sticky bit of dir may forbid.
std::optional<std::string> checkReplaceable(const vdirSession& s, const std::string& name,
                                            const struct stat& status)
{
    const std::string path = s.dir + "/" + name;
    if (!S_ISREG(status.st_mode))
        return path + " is " + kindOf(status.st_mode) + ", not a regular file";
    const bool sticky = (s.status.st_mode & S_ISVTX) != 0;
    if (sticky && s.user != 0 && status.st_uid != s.user && s.status.st_uid != s.user)
        return failure(path, EPERM);
    return std::nullopt;
}

// At most limit octets of fd into text.
bool readUpTo(int fd, std::size_t limit, std::string& text)
{
    char buffer[8192];
    while (text.size() < limit) {
        const ssize_t length = read(fd, buffer, sizeof buffer);
        if (length == 0 || (length < 0 && errno != EINTR))
            return length == 0;
        text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
    }
    return true;
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

// The text of the file name into text, read through no symbolic link and without waiting on a
// FIFO; none for a file past largestItem, which no item is. What failed, or what
// checkReplaceable says of an entry that is no regular file.
std::optional<std::string> readItem(const vdirSession& s, const std::string& name,
                                    const struct stat& listed, std::optional<std::string>& text)
{
    text.reset();
    if (listed.st_size > largestItem)
        return std::nullopt;
    const int fd = openat(s.fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0) {
        const int error = errno;
        if (fd >= 0)
            close(fd);
        return failure(s.dir + "/" + name, error);
    }
    std::string read;
    const bool whole = S_ISREG(status.st_mode) && readUpTo(fd, largestItem + 1, read);
    const int error = errno;
    close(fd);
    if (!S_ISREG(status.st_mode))
        return checkReplaceable(s, name, status);
    if (!whole)
        return failure(s.dir + "/" + name, error);
    if (read.size() <= largestItem)
        text = std::move(read);
    return std::nullopt;
}

// Whether the file of w's name holds w's text already, apart from the stamps.
std::optional<std::string> holdsAlready(const vdirSession& s, const vdirWrite& w,
                                        const struct stat& listed, bool& same)
{
    std::optional<std::string> old;
    auto wrong = readItem(s, w.name, listed, old);
    same = !wrong && old && withoutStamps(*old) == withoutStamps(*w.text);
    return wrong;
}

// The files a sync keeps: each item's under its UID's name, and each metadata file.
std::vector<vdirWrite> targetsOf(const vdirItems& items, const vdirMetadata& metadata)
{
    std::vector<vdirWrite> targets;
    for (const auto& [uid, text] : items)
        targets.push_back({vdirFileName(uid), &text});
    for (const auto& [name, text] : metadata)
        targets.push_back({name, &text});
    return targets;
}

// New names first, then the files whose text changed; unchanged files are left out.
std::optional<std::string> planWrites(const vdirSession& s, std::vector<vdirWrite> targets,
                                      const entries& existing, vdirPlan& plan)
{
    std::vector<vdirWrite> replacements;
    for (vdirWrite& target : targets) {
        const auto found = existing.find(target.name);
        bool same = false;
        if (found == existing.end()) {
            plan.writes.push_back(std::move(target));
        } else if (auto wrong = checkReplaceable(s, target.name, found->second)) {
            return wrong;
        } else if (auto unread = holdsAlready(s, target, found->second, same)) {
            return unread;
        } else if (!same) {
            replacements.push_back(std::move(target));
        }
    }
    plan.additions = plan.writes.size();
    plan.writes.insert(plan.writes.end(), std::make_move_iterator(replacements.begin()),
                       std::make_move_iterator(replacements.end()));
    return std::nullopt;
}

// Whether rondelo's file name, which no item has, is history to keep (isKeptHistory); read
// only when the run has history to keep.
std::optional<std::string> isHistory(const vdirSession& s, const vdirHistory& history,
                                     const std::string& name, const struct stat& status,
                                     bool& kept)
{
    kept = false;
    if (history.references.empty() || history.windowStart.seconds == LLONG_MIN)
        return std::nullopt;
    std::optional<std::string> text;
    auto wrong = readItem(s, name, status, text);
    kept = !wrong && text && isKeptHistory(*text, history);
    return wrong;
}

// rondelo's files that no item has, but history.
std::optional<std::string> planRemovals(const vdirSession& s, const std::set<std::string>& kept,
                                        const entries& existing, const vdirHistory& history,
                                        vdirPlan& plan)
{
    for (const auto& [name, status] : existing) {
        if (!isOwnFile(name) || kept.count(name) != 0)
            continue;
        bool past = false;
        if (auto wrong = checkReplaceable(s, name, status))
            return wrong;
        if (auto wrong = isHistory(s, history, name, status, past))
            return wrong;
        if (!past)
            plan.removals.push_back(name);
    }
    return std::nullopt;
}

std::optional<std::string> planSync(const vdirSession& s, const vdirItems& items,
                                    const vdirMetadata& metadata, const vdirHistory& history,
                                    vdirPlan& plan)
{
    entries existing;
    std::vector<std::string> leftovers;
    if (auto wrong = listDirectory(s, metadata, existing, leftovers))
        return wrong;
    for (const std::string& name : leftovers)
        unlinkat(s.fd, name.c_str(), 0);  // under the lock, no run is writing them
    std::vector<vdirWrite> targets = targetsOf(items, metadata);
    std::set<std::string> kept;
    for (const vdirWrite& target : targets)
        kept.insert(target.name);
    if (auto wrong = planWrites(s, std::move(targets), existing, plan))
        return wrong;
    return planRemovals(s, kept, existing, history, plan);
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

#ifdef __linux__
constexpr bool syncEachFile = false;  // one syncfs of the directory's file system instead
#else
constexpr bool syncEachFile = true;
#endif

// Writes text to the next temporary file, made as any file (the umask applies); errno or 0.
int writeTemporary(vdirSession& s, const std::string& text)
{
    const int fd = openat(s.fd, temporaryName(s, s.temporaries).data(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    ++s.temporaries;
    bool written = writeAll(fd, text) && (!syncEachFile || fsync(fd) == 0);
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    return written ? 0 : error;
}

// Every temporary file written and on the disk, unless a held signal came meanwhile.
fault writeTemporaries(vdirSession& s, const vdirPlan& plan)
{
    for (const vdirWrite& w : plan.writes) {
        if (isPending(s))
            return {EINTR, nullptr};
        if (const int error = writeTemporary(s, *w.text))
            return {error, nullptr};
    }
#ifdef __linux__
    if (!plan.writes.empty() && syncfs(s.fd) != 0)
        return {errno, nullptr};
#endif
    return {isPending(s) ? EINTR : 0, nullptr};
}

// Renames in the new names, then the changed files over theirs, then removes the old ones.
// A failure among the new names removes those renamed, which leaves dir as it was; they come
// first as only they can need room (a directory may grow on a full disk), and past them every
// item is in dir.
fault commitPlan(vdirSession& s, const vdirPlan& plan)
{
    for (; s.renamed < plan.writes.size(); ++s.renamed) {
        const std::string& name = plan.writes[s.renamed].name;
        if (renameat(s.fd, temporaryName(s, s.renamed).data(), s.fd, name.c_str()) == 0)
            continue;
        const fault failed{errno, &name};
        for (std::size_t undone = 0; s.renamed <= plan.additions && undone < s.renamed; ++undone)
            unlinkat(s.fd, plan.writes[undone].name.c_str(), 0);
        return failed;
    }
    for (const std::string& name : plan.removals)
        if (unlinkat(s.fd, name.c_str(), 0) != 0 && errno != ENOENT)
            return {errno, &name};
    if (plan.writes.empty() && plan.removals.empty())
        return {};
    return {fsync(s.fd) == 0 ? 0 : errno, nullptr};
}

}  // namespace

void addVdirItem(vdirItems& items, std::ostream& err, const moment& m, const reference& ref,
                 const writerSettings& settings, calendarState& state)
{
    std::ostringstream text;
    writeCalendarItem(text, err, m, ref, settings, state);
    if (text.tellp() > 0)
        items[eventUid(m.lead(), ref)] = text.str();
}

constexpr std::size_t longestPlainName = 200;  // octets of a file name before its ".ics"

std::string vdirFileName(const std::string& uid)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string name = percentEncoded(uid, "-_@.");
    // A leading dot would hide the file; a leading dash (a date without a year's "--MMDD") would
    // read as an option to the tools given the directory's files (rm *.ics).
    if (!name.empty() && (name[0] == '.' || name[0] == '-'))
        name.replace(0, 1, name[0] == '.' ? "%2E" : "%2D");
    if (name.size() <= longestPlainName)
        return name + ".ics";
    // Past what a file system takes (255 octets): a prefix and a hash of the whole UID, still
    // ending as rondelo's files end.
    const std::uint64_t hash = stableHash(uid);
    std::string tail = "-0000000000000000@rondelo.ics";
    for (int i = 0; i < 16; ++i)
        tail[1 + i] = hex[hash >> (60 - 4 * i) & 15];
    return name.substr(0, longestPlainName - tail.size()) + tail;
}

std::optional<std::string> syncVdir(const std::string& dir, const vdirItems& items,
                                    const vdirMetadata& metadata, int waitSeconds,
                                    const vdirHistory& history)
{
    vdirSession s;
    s.dir = dir;
    vdirPlan plan;
    if (auto wrong = openDirectory(s))
        return wrong;
    if (auto wrong = lockDirectory(s, waitSeconds))
        return wrong;
    if (auto wrong = planSync(s, items, metadata, history, plan))
        return wrong;
    holdSignals(s);
    fault failed = writeTemporaries(s, plan);
    if (failed.error == 0)
        failed = commitPlan(s, plan);
    s.done = failed.error == 0;
    endSession(s);  // before the message: it may need memory
    if (s.done)
        return std::nullopt;
    return failure(failed.name ? dir + "/" + *failed.name : dir, failed.error);
}

}  // namespace rondelo
