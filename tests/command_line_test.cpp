// What messages make of the user's bytes, and which zone --local finds behind a system file.
#include "driver/options.h"

#include <unistd.h>  // for symlink

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/messages.h"

using namespace rondelo;

// Valid UTF-8 passes; C0, DEL and C1 controls, and every byte of no valid character (a stray
// continuation, an overlong form, a surrogate, a code point past U+10FFFF, a cut sequence) are
// escaped byte by byte.
TEST(command_line_test, messages_escape_controls_and_bytes_that_are_no_utf8)
{
    const std::string valid = "Zoë \xE2\x82\xAC \xF0\x9F\x8E\x82 \xC2\xA0";
    EXPECT_EQ(printable(valid), valid);
    EXPECT_EQ(printable("\t\n\x1B\x7F\xC2\x80\xC2\x9F"), "\\t\\n\\x1B\\x7F\\xC2\\x80\\xC2\\x9F");
    EXPECT_EQ(printable("\x80\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82"),
              "\\x80\\xC0\\xAF\\xED\\xA0\\x80\\xF4\\x90\\x80\\x80\\xE2\\x82");
    EXPECT_EQ(quoted(std::string("a\0b", 3)), "'a\\x00b'");
}

// The system's zone is the zone of the database that its link names, or none at all: never
// UTC in its place, and a target that is no zone name goes into nothing.
TEST(command_line_test, local_zone_is_the_database_zone_the_system_file_links_to)
{
    char directory[] = "/tmp/rondelo-local-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string at = std::string(directory) + "/";
    const auto local = [&](const char* tz, const std::string& file, const char* target) {
        EXPECT_TRUE(target == nullptr || symlink(target, (at + file).c_str()) == 0);
        absl::TimeZone zone;
        std::string name = "unchanged";
        const auto wrong = readLocalZone(tz, (at + file).c_str(), zone, name);
        return wrong ? *wrong : name + " " + zone.name();
    };
    EXPECT_EQ(local(nullptr, "tokyo", "/usr/share/zoneinfo/Asia/Tokyo"), "Asia/Tokyo Asia/Tokyo");
    EXPECT_EQ(local((":" + at + "tokyo").c_str(), "tokyo", nullptr), "Asia/Tokyo Asia/Tokyo");
    EXPECT_EQ(local(nullptr, "oslo", "../usr/share/zoneinfo/Europe/Oslo"), "Europe/Oslo Europe/Oslo");
    EXPECT_EQ(local(nullptr, "mars", "/usr/share/zoneinfo/Mars/Base"),
              "the system's time zone 'Mars/Base' cannot be loaded");
    const std::string system = "the system's time zone (" + at;
    const std::string noZone = ") names no zone of the database: set TZ or use --zone";
    EXPECT_EQ(local(nullptr, "up", "/usr/share/zoneinfo/../../../etc/passwd"), system + "up" + noZone);
    EXPECT_EQ(local(nullptr, "escape", "/etc/\x1B[2J"), system + "escape" + noZone);
    EXPECT_EQ(local(nullptr, "up/..", nullptr), system + "up/..) cannot be read: Not a directory");
    EXPECT_EQ(local(nullptr, ".", nullptr), system + "." + noZone);
    std::filesystem::remove_all(at);
}

// A calendar's stamp is SOURCE_DATE_EPOCH, else the clock, and either must lie in the years
// 1970 to 9999, which a DTSTAMP can show.
TEST(command_line_test, calendar_stamp_from_the_environment_or_a_clock_in_the_calendar)
{
    const auto stamp = [](const char* fixed, long long now) {
        unixInstant read{-1};
        const auto wrong = readCalendarStamp(fixed, {now}, read);
        return wrong ? *wrong : std::to_string(read.seconds);
    };
    EXPECT_EQ(stamp("1700000000", 5), "1700000000");
    EXPECT_EQ(stamp(nullptr, 253402300799), "253402300799");
    EXPECT_EQ(stamp(nullptr, 253402300800), "the clock is outside the years 1970 to 9999: set SOURCE_DATE_EPOCH");
    EXPECT_EQ(stamp(nullptr, -1), "the clock is outside the years 1970 to 9999: set SOURCE_DATE_EPOCH");
    EXPECT_EQ(stamp("253402300800", 5), "SOURCE_DATE_EPOCH '253402300800' is not a time in seconds");
    EXPECT_EQ(stamp("-1", 5), "SOURCE_DATE_EPOCH '-1' is not a time in seconds");
}
