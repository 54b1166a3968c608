// The calendar directory's sync, seen through the file system: what it adds, rewrites, keeps,
// removes and never touches, and that a failed sync leaves the directory as it was.
#include "writers/vdir.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "writers/uid.h"

using namespace rondelo;

namespace {

namespace fs = std::filesystem;

std::string item(const std::string& uid, const std::string& stamp, const std::string& summary)
{
    return "BEGIN:VCALENDAR\r\nPRODID:-//rondelo//rondelo " + stamp + "//EN\r\nBEGIN:VEVENT\r\nUID:" +
           uid + "\r\nDTSTAMP:" + stamp + "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Every file of dir, by name, with its text and mtime.
std::map<std::string, std::pair<std::string, long long>> listing(const fs::path& dir)
{
    std::map<std::string, std::pair<std::string, long long>> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::ostringstream text;
        if (entry.is_regular_file())
            text << std::ifstream(entry.path()).rdbuf();
        struct stat status {};
        stat(entry.path().c_str(), &status);
        files[entry.path().filename()] = {text.str(), status.st_mtime};
    }
    return files;
}

fs::path freshDirectory()
{
    std::string path = testing::TempDir() + "/vdir_test.XXXXXX";
    return mkdtemp(path.data());
}

void backdate(const fs::path& file)
{
    const utimbuf old{1000000000, 1000000000};
    utime(file.c_str(), &old);
}

}  // namespace

// Also the directory's name and colour, written when they differ and otherwise left as they
// are, and the temporary files of a run that was killed, which the next one removes.
TEST(vdir_test, sync_adds_rewrites_keeps_and_removes_only_its_own)
{
    const fs::path base = freshDirectory(), dir = base / "made" / "cal";
    const std::string a = item("a@rondelo", "1", "A"), b = item("b@rondelo", "1", "B");
    ASSERT_EQ(syncVdir(dir, {{"a@rondelo", a}, {"b@rondelo", b}},
                       {{"displayname", "Family"}, {"color", "#AA0000"}}),
              std::nullopt);
    EXPECT_EQ(listing(dir).at("a@rondelo.ics").first, a);
    std::ofstream(dir / "foreign.ics") << "theirs";
    std::ofstream(dir / "x@rondelo.txt") << "theirs too";
    std::ofstream(dir / ".rondelo-1-0.tmp") << "half an event";
    for (const char* name :
         {"a@rondelo.ics", "b@rondelo.ics", "foreign.ics", "x@rondelo.txt", "displayname", "color"})
        backdate(dir / name);
    // A new stamp and version alone keep a's file; b changed; c is new.
    const std::string b2 = item("b@rondelo", "2", "B2"), c = item("c@rondelo", "2", "C");
    ASSERT_EQ(syncVdir(dir, {{"a@rondelo", item("a@rondelo", "2", "A")}, {"b@rondelo", b2},
                             {"c@rondelo", c}},
                       {{"displayname", "Family"}, {"color", "#00AA00"}}),
              std::nullopt);
    auto files = listing(dir);
    EXPECT_EQ(files.size(), 7u);
    EXPECT_EQ(files.at("a@rondelo.ics"), std::make_pair(a, 1000000000LL));
    EXPECT_EQ(files.at("b@rondelo.ics").first, b2);
    EXPECT_NE(files.at("b@rondelo.ics").second, 1000000000LL);
    EXPECT_EQ(files.at("c@rondelo.ics").first, c);
    EXPECT_EQ(files.at("displayname"), std::make_pair(std::string("Family"), 1000000000LL));
    EXPECT_EQ(files.at("color").first, "#00AA00");
    // Only rondelo's files that no item has go; the name and colour stay when not given.
    ASSERT_EQ(syncVdir(dir, {{"c@rondelo", c}}), std::nullopt);
    files = listing(dir);
    EXPECT_EQ(files.size(), 5u);
    EXPECT_EQ(files.count("c@rondelo.ics"), 1u);
    EXPECT_EQ(files.at("foreign.ics"), std::make_pair(std::string("theirs"), 1000000000LL));
    EXPECT_EQ(files.at("x@rondelo.txt").second, 1000000000LL);
    EXPECT_EQ(files.at("displayname").first, "Family");
    fs::remove_all(base);
}

// Whatever of rondelo's names is no regular file, or a lock another run holds, fails the sync
// before anything changes: no new file renamed in, none removed, nothing read from a device or
// waited for on a FIFO.
TEST(vdir_test, a_failed_sync_leaves_the_directory_as_it_was)
{
    const fs::path dir = freshDirectory();
    const std::string a = item("a@rondelo", "1", "A");
    ASSERT_EQ(syncVdir(dir, {{"a@rondelo", a}}), std::nullopt);
    std::ofstream(dir / "foreign.ics") << "theirs";
    int lock = -1;
    const std::pair<std::function<void(const fs::path&)>, std::string> cases[] = {
        {[](const fs::path& p) { fs::create_directory(p); }, "d@rondelo.ics is a directory"},
        {[](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "d@rondelo.ics is a symbolic link"},
        {[](const fs::path& p) { mkfifo(p.c_str(), 0666); }, "d@rondelo.ics is a FIFO"},
        {[](const fs::path& p) { fs::create_directory(p.parent_path() / "old@rondelo.ics"); },
         "old@rondelo.ics is a directory"},  // to be removed, after b's file is renamed in
        {[&lock, &dir](const fs::path&) {
             lock = open((dir / ".rondelo.lock").c_str(), O_RDWR | O_CREAT, 0666);
             flock(lock, LOCK_EX);
         }, "is in use by another run of rondelo"},
    };
    for (const auto& [make, message] : cases) {
        make(dir / "d@rondelo.ics");
        const auto before = listing(dir);
        const auto wrong = syncVdir(dir, {{"b@rondelo", item("b@rondelo", "1", "B")},
                                          {"d@rondelo", item("d@rondelo", "1", "D")}}, {}, 0);
        EXPECT_NE(wrong.value_or("").find(message), std::string::npos) << wrong.value_or("");
        EXPECT_EQ(listing(dir), before) << message;
        fs::remove(dir / "d@rondelo.ics");
        fs::remove(dir / "old@rondelo.ics");
    }
    close(lock);
    // A UID too long for a file name gets a shorter name of its own, still rondelo's.
    const std::string tooLong(300, 'z');
    EXPECT_EQ(vdirFileName(tooLong + "@rondelo").size(), 200u);
    EXPECT_NE(vdirFileName(tooLong + "@rondelo"), vdirFileName(tooLong + "y@rondelo"));
    EXPECT_EQ(vdirFileName(tooLong + "@rondelo").substr(188), "@rondelo.ics");
    EXPECT_EQ(syncVdir(dir / "foreign.ics" / "cal", {}),
              (dir / "foreign.ics" / "cal").string() + ": Not a directory");
    fs::create_symlink("nowhere", dir / "link");
    EXPECT_EQ(syncVdir(dir / "link" / "cal", {}), (dir / "link").string() + " is a dangling symbolic link");
    fs::remove_all(dir);
}

// Every UID of two octets from an alphabet with the escapes' own characters gets its own name,
// of safe characters only, that does not begin with a dot or a dash.
TEST(vdir_test, file_names_are_safe_and_distinct)
{
    const std::string alphabet = "a.%/-@\n\xC3 ";
    std::set<std::string> names;
    for (const char first : alphabet)
        for (const char second : alphabet) {
            const std::string name = vdirFileName(std::string{first, second});
            EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEF0123456789.%-_@"),
                      std::string::npos) << name;
            EXPECT_NE(name[0], '.');
            EXPECT_NE(name[0], '-');
            names.insert(name);
        }
    EXPECT_EQ(names.size(), alphabet.size() * alphabet.size());
    EXPECT_EQ(vdirFileName("19900517T000000-Europe/Berlin-1G-seconds-Anna%20B@rondelo"),
              "19900517T000000-Europe%2FBerlin-1G-seconds-Anna%2520B@rondelo.ics");
}

// History: a file of a reference still read stays when its milestone passed before the window
// (a date at midnight in the reference's zone, or a UTC time); one of a reference no longer
// read or changed, and one in the window that the run no longer makes, go.
TEST(vdir_test, history_keeps_the_passed_milestones_of_references_still_read)
{
    const fs::path dir = freshDirectory();
    reference anna{}, bob{};
    anna.name = "Anna";
    anna.zone = absl::FixedTimeZone(-12 * 3600);  // 16 May begins at 12:00 UTC
    bob.name = "Bob";
    const auto file = [](const reference& ref, const std::string& start) {
        return "BEGIN:VEVENT\r\nDTSTART" + start + "\r\n" + referenceProperty(ref) +
               "\r\nEND:VEVENT\r\n";
    };
    ASSERT_EQ(syncVdir(dir, {{"a@rondelo", file(anna, ";VALUE=DATE:20270516")},
                             {"b@rondelo", file(bob, ":20270516T093000Z")},
                             {"c@rondelo", file(anna, ":20270516T110000Z")},
                             {"d@rondelo", file(bob, ";VALUE=DATE:20270501")}}),
              std::nullopt);
    vdirHistory history{{}, {1810461600}};  // the window starts at 2027-05-16T10:00:00Z
    noteReference(history, anna);
    noteReference(history, bob);
    const std::uint64_t bobRead = referenceIdentity(bob);
    bob.label = "changed";
    noteReference(history, bob);
    ASSERT_EQ(syncVdir(dir, {}, {}, vdirLockWait, history), std::nullopt);
    const auto files = listing(dir);
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(files.count("b@rondelo.ics") + files.count("d@rondelo.ics"), 2u);
    history.references.erase(bobRead);
    ASSERT_EQ(syncVdir(dir, {}, {}, vdirLockWait, history), std::nullopt);
    EXPECT_TRUE(listing(dir).empty());
    fs::remove_all(dir);
}
