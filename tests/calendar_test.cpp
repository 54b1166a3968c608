// The calendar file's text rules: folding at 75 octets, TEXT escapes, what a title may hold.
#include "writers/ics.h"

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
