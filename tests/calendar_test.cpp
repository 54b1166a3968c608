// The calendar file's text rules: folding at 75 octets, TEXT escapes, what a title may hold.
#include "writers/ics.h"

#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/messages.h"

using namespace rondelo;

namespace {

std::string folded(const std::string& line)
{
    std::ostringstream out;
    writeContentLine(out, line);
    return out.str();
}

}  // namespace

TEST(calendar_test, lines_fold_at_75_octets_between_characters)
{
    const std::string a75(75, 'a'), b74(74, 'b');
    EXPECT_EQ(folded(a75), a75 + "\r\n");
    EXPECT_EQ(folded(a75 + b74 + "c"), a75 + "\r\n " + b74 + "\r\n c\r\n");
    // A four-octet character that would straddle the fold moves whole to the next line.
    EXPECT_EQ(folded(std::string(73, 'a') + "\xF0\x9F\x8E\x89"),
              std::string(73, 'a') + "\r\n \xF0\x9F\x8E\x89\r\n");
    EXPECT_EQ(folded(""), "\r\n");
}

TEST(calendar_test, text_escapes_and_titles)
{
    EXPECT_EQ(escapeText("a\\b;c,d\ne\tf"), "a\\\\b\\;c\\,d\\ne\tf");
    for (const char* good : {"", "Anna", "tab\tand\nnewline", "\xC3\xA9\xE2\x82\xAC\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isCalendarText(good)) << good;
    for (const char* bad : {"\x01", "a\x7F", "\r", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xC3", "\xE2\x82", "\x80", "\xFF", "\xC2\x85"})
        EXPECT_FALSE(isCalendarText(bad)) << bad;
}

// A reminder's offsets from a timed and an all-day start, in seconds, and its refusals.
TEST(calendar_test, reminders_fire_before_timed_events_and_at_an_hour_before_all_day_ones)
{
    const struct {
        const char* text;
        long long timed, allDay;
    } rows[] = {
        {"1d", -86400, -15 * 3600},            // 09:00 the day before
        {"1d@18:00", -86400, -6 * 3600},
        {"2w", -14 * 86400, -13 * 86400 - 15 * 3600},
        {"0d@23:59", 0, 23 * 3600 + 59 * 60},  // on the day itself
        {"3h", -3 * 3600, -3 * 3600},          // before the midnight the date begins at
        {"9999min", -9999 * 60, -9999 * 60},
    };
    for (const auto& row : rows) {
        reminder parsed;
        EXPECT_EQ(parseReminder(row.text, parsed), std::nullopt) << row.text;
        EXPECT_EQ(parsed.timed, row.timed) << row.text;
        EXPECT_EQ(parsed.allDay, row.allDay) << row.text;
    }
    const std::string form =
        "a count of at most four digits and w, d, h or min, as in 30min, 2w, 1d or 1d@18:00";
    const std::map<std::string, std::string> refused = {
        {"30m", "m is ambiguous: min for minutes, mo for months, which a reminder does not take"},
        {"1mo", form}, {"1y", form}, {"10000d", form}, {"h", form}, {"", form}, {"-1d", form},
        {"1d ", form}, {"1d@", "@HH:MM is a time of day from 00:00 to 23:59"},
        {"1d@24:00", "@HH:MM is a time of day from 00:00 to 23:59"},
        {"1w@9:00", "@HH:MM is a time of day from 00:00 to 23:59"},
        {"1h@09:00", "@HH:MM follows only d or w: the time of day an all-day event is reminded at"},
    };
    for (const auto& [text, message] : refused) {
        reminder parsed;
        EXPECT_EQ(parseReminder(text, parsed), message) << text;
    }
}
