// Counts and their units, the one reader behind --from and --until spans, --every and --remind:
// its edges, and the one wording of a bare m.
#include "readers/spans.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

using namespace rondelo;

TEST(spans_test, a_count_and_a_unit_of_the_form)
{
    const spanForm every{12, allSpanUnits};
    const std::pair<const char*, countedSpan> read[] = {
        {"1y", {1, spanUnit::years}},       {"1mo", {1, spanUnit::months}},
        {"2w", {2, spanUnit::weeks}},       {"0d", {0, spanUnit::days}},
        {"1h", {1, spanUnit::hours}},       {"30min", {30, spanUnit::minutes}},
        {"010s", {10, spanUnit::seconds}},  {"999999999999d", {999999999999, spanUnit::days}}};
    for (const auto& [text, want] : read) {
        countedSpan span{};
        EXPECT_EQ(readCountedSpan(text, every, span), std::nullopt) << text;
        EXPECT_TRUE(span.count == want.count && span.unit == want.unit) << text;
    }
    countedSpan span{7, spanUnit::days};
    for (const char* text : {"", "d", "1", "1D", "1 d", " 1d", "-1d", "+1d", "1000000000000d",
                             "1yr", "1mi", "1dd", "m"})
        EXPECT_EQ(readCountedSpan(text, every, span), "") << text;
    EXPECT_EQ(readCountedSpan("1s", {6, allSpanUnits & ~unitBit(spanUnit::seconds)}, span), "");
    EXPECT_EQ(readCountedSpan("1234567d", {6, allSpanUnits}, span), "");
    EXPECT_EQ(readCountedSpan("10m", every, span), "m could be months or minutes: write mo or min");
    EXPECT_TRUE(span.count == 7 && span.unit == spanUnit::days);
}

TEST(spans_test, reminders_at_a_time_of_day_only_after_days_and_weeks)
{
    reminderSpan reminder{};
    EXPECT_EQ(readReminder("0d@23:59", reminder), std::nullopt);
    EXPECT_TRUE(reminder.before.count == 0 && reminder.timeOfDay == 23 * 3600 + 59 * 60);
    EXPECT_EQ(readReminder("9999min", reminder), std::nullopt);
    EXPECT_TRUE(reminder.before.unit == spanUnit::minutes && !reminder.timeOfDay);
    const std::string form =
        "a count of at most four digits and w, d, h or min, as in 30min, 2w, 1d or 1d@18:00";
    const std::string clock = "@HH:MM is a time of day from 00:00 to 23:59";
    const std::pair<const char*, std::string> refused[] = {
        {"30m", "m could be months or minutes, and a reminder takes no months: write min"},
        {"1mo", form}, {"1y", form}, {"1s", form}, {"10000d", form}, {"", form}, {"1d ", form},
        {"1d@", clock}, {"1d@24:00", clock}, {"1w@9:00", clock}, {"1d@18:00:00", clock},
        {"1h@09:00",
         "@HH:MM follows only d or w: the time of day an all-day event is reminded at"}};
    for (const auto& [text, message] : refused)
        EXPECT_EQ(readReminder(text, reminder), message) << text;
}
