// What messages make of the user's bytes, and which zone --local finds behind a system file.
#include "driver/command_line.h"
#include "driver/options.h"

#include <unistd.h>  // for symlink

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

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
    const std::string at = directory;
    const auto local = [&](const char* tz, const std::string& file) {
        absl::TimeZone zone;
        std::string name = "unchanged";
        auto wrong = readLocalZone(tz, file.c_str(), zone, name);
        return wrong ? *wrong : name + " " + zone.name();
    };
    const auto link = [&](const char* target, const char* name) {
        EXPECT_EQ(symlink(target, (at + "/" + name).c_str()), 0);
        return at + "/" + name;
    };
    const std::string tokyo = link("/usr/share/zoneinfo/Asia/Tokyo", "tokyo");
    EXPECT_EQ(local(nullptr, tokyo), "Asia/Tokyo Asia/Tokyo");
    EXPECT_EQ(local((":" + tokyo).c_str(), tokyo), "Asia/Tokyo Asia/Tokyo");
    EXPECT_EQ(local(":", tokyo), "UTC UTC");
    EXPECT_EQ(local(nullptr, link("../usr/share/zoneinfo/Europe/Oslo", "oslo")),
              "Europe/Oslo Europe/Oslo");
    EXPECT_EQ(local(nullptr, link("/usr/share/zoneinfo/Mars/Base", "mars")),
              "the system's time zone 'Mars/Base' cannot be loaded");
    const std::string system = "the system's time zone (" + at;
    const std::string noZone = ") names no zone of the database: set TZ or use --zone";
    EXPECT_EQ(local(nullptr, link("/usr/share/zoneinfo/../../../etc/passwd", "passwd")),
              system + "/passwd" + noZone);
    EXPECT_EQ(local(nullptr, link("/etc/\x1B[2J", "escape")), system + "/escape" + noZone);
    std::FILE* copy = std::fopen((at + "/copy").c_str(), "w");
    ASSERT_NE(copy, nullptr);
    std::fclose(copy);
    EXPECT_EQ(local(nullptr, at + "/copy"), system + "/copy" + noZone);
    EXPECT_EQ(local(nullptr, at + "/none"),
              system + "/none) cannot be read: No such file or directory");
    std::filesystem::remove_all(at);
}
