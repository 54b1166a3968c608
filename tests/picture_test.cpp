// The picture's parts that its runs cannot reach on their own: text that would break a
// document, axes from a day to millennia, twins, and a row fed far more lines than it can keep.
#include "writers/picture.h"

#include <absl/time/civil_time.h>
#include <gtest/gtest.h>

#include "writers/markup.h"

using namespace rondelo;

namespace {

unixInstant at(int year, int month = 1, int day = 1)
{
    const absl::CivilDay civil(year, month, day);
    return {absl::ToUnixSeconds(absl::FromCivil(civil, absl::UTCTimeZone()))};
}

std::vector<std::string> labelsOf(const std::vector<axisTick>& ticks)
{
    std::vector<std::string> labels;
    for (const axisTick& tick : ticks)
        labels.push_back(tick.label);
    return labels;
}

}  // namespace

TEST(picture_test, text_is_escaped_cut_at_characters_and_never_breaks_a_document)
{
    EXPECT_EQ(markupEscaped("A & B <\"x'>"), "A &amp; B &lt;&quot;x&#39;&gt;");
    EXPECT_EQ(markupEscaped("Jürgen 東京"), "Jürgen 東京");
    // A control character or a byte of no UTF-8 character may not stand in XML at all.
    EXPECT_EQ(markupEscaped("a\tb\x01\xC3"), "a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(shortened("Jürgen", 6), "Jürgen");
    EXPECT_EQ(shortened("Jürgen", 3), "Jü\u2026");
    EXPECT_EQ(shortened("東京都庁", 2), "東\u2026");
}

TEST(picture_test, ticks_suit_an_axis_of_months_a_life_or_millennia)
{
    const auto ticks = [](unixInstant from, unixInstant until) {
        return labelsOf(ticksOf({from, until, 100, 1060}, absl::UTCTimeZone()));
    };
    const std::vector<std::string> weeks = ticks(at(2030, 4, 16), at(2030, 6, 30));
    EXPECT_EQ(std::vector<std::string>(weeks.begin(), weeks.begin() + 2),
              (std::vector<std::string>{"2030-04-22", "2030-04-29"}));  // Mondays
    EXPECT_EQ(ticks(at(2030, 4, 15), at(2031, 7, 2)).front(), "2030-05");
    EXPECT_EQ(ticks(at(1990, 5, 17), at(2090, 5, 17)).front(), "1995");
    EXPECT_EQ(ticks(at(1990, 5, 17), at(2090, 5, 17)).size(), 20u);
    EXPECT_EQ(ticks(at(1400), at(9999)).front(), "1500");
    EXPECT_EQ(ticks(at(1400), at(9999)).back(), "9500");
    EXPECT_EQ(ticks(at(2030, 5, 17), at(2030, 5, 18)),
              (std::vector<std::string>{"2030-05-17", "2030-05-18"}));
}

TEST(picture_test, twins_have_rows_of_their_own_and_lines_find_theirs)
{
    writerSettings settings;
    settings.format = outputFormat::svg;
    pictureState state;
    reference first;
    first.wallClock = absl::CivilSecond(1990, 5, 17);
    first.name = "Tom";
    reference second = first;
    addPictureRow(state, first, settings);
    addPictureRow(state, second, settings);
    std::ostringstream out, err;
    const event e{at(2000), 10, unitYears, familyRound};
    EXPECT_EQ(takePictureLine(state, out, err, e, second, settings), 1u);
    EXPECT_EQ(takePictureLine(state, out, err, e, first, settings), 0u);
    EXPECT_EQ(state.rows.size(), 2u);
}

// An hour a line for 60 years: the row merges neighbours, each milestone counted once, and draws
// them as bands with the most notable over them.
TEST(picture_test, a_row_keeps_bounded_memory_and_every_milestone)
{
    writerSettings settings;
    settings.format = outputFormat::svg;
    settings.until = at(2060);
    pictureState state;
    reference ref;
    ref.wallClock = absl::CivilSecond(2000, 1, 1);
    addPictureRow(state, ref, settings);
    std::ostringstream out, err;
    const long long lines = 60 * 8766;
    for (long long n = 0; n < lines; ++n)
        takePictureLine(state, out, err, {{at(2000).seconds + n * 3600}, n, unitHours, familyEvery},
                        ref, settings);
    const pictureRow& row = state.rows[0];
    EXPECT_LE(row.marks.size(), 1024u);
    const rowLayout layout = layoutRow(row, axisOf(state.rows, settings, 100));
    long long counted = 0;
    for (const placedBand& band : layout.bands)
        counted += band.count;
    EXPECT_EQ(counted, lines);
    ASSERT_FALSE(layout.marks.empty());
    EXPECT_EQ(layout.marks[0].e.count % 100000, 0) << "the most notable over the band";
}
