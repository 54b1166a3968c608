// Writes milestones as aligned text: the zone and its abbreviation from Abseil, weekday names
// from the user's locale.
#include "writers/text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <langinfo.h>  // for nl_langinfo_l
#include <locale.h>    // for newlocale and strftime_l
#include <wchar.h>     // for wcwidth, which is POSIX

#include <absl/time/civil_time.h>

#include "diagnostics/messages.h"
#include "timeconv/zone.h"
#include "writers/durations.h"

namespace rondelo {

namespace {

// Column widths, in display columns: the zone abbreviations of the database have three to five
// ("+0545"), a distance in days, months or years at most 14 ("1234 years ago"). The label's is
// the run's own.
constexpr std::size_t zoneWidth = 5;
constexpr std::size_t farDistanceWidth = 14;
// The date, time and abbreviation after the weekday and its blank.
constexpr std::size_t dateWidth = 10 + 1 + 8 + 1 + zoneWidth;

bool isAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; });
}

std::size_t characters(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A character that wcwidth does not know as printable still takes a column.
std::size_t columnsOf(wchar_t c)
{
    const int columns = wcwidth(c);
    return columns < 0 ? 1 : static_cast<std::size_t>(columns);
}

// The columns of UTF-8 text by wcwidth in measure's character types: two for a wide character,
// none for a combining one, one for a byte that is no UTF-8.
std::size_t decodedWidth(const std::string& text, const ctypeLocale& measure)
{
    const locale_t previous = uselocale(measure.get());
    std::mbstate_t state{};
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        wchar_t c = 0;
        const std::size_t length = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        const bool decoded = length != 0 && length <= text.size() - at;
        width += decoded ? columnsOf(c) : 1;
        at += decoded ? length : 1;
        if (!decoded)
            state = std::mbstate_t{};
    }
    uselocale(previous);
    return width;
}

// The terminal columns that text takes; without a UTF-8 locale, one a character.
std::size_t displayWidth(const std::string& text, const ctypeLocale& measure)
{
    if (isAscii(text))
        return text.size();  // labels, distances, the database's abbreviations: nothing to decode
    return measure ? decodedWidth(text, measure) : characters(text);
}

// text and the blanks that make it width columns wide; none for wider text.
void writePadded(std::ostream& out, const std::string& text, std::size_t width,
                 const ctypeLocale& measure)
{
    out << text;
    for (std::size_t n = displayWidth(text, measure); n < width; ++n)
        out << ' ';
}

std::string span(long long count, const char* unit, bool ahead)
{
    const std::string amount = std::to_string(count) + " " + unit;
    return ahead ? "in " + amount : amount + " ago";
}

// "WEEKDAY YYYY-MM-DD HH:MM:SS ZONE", the weekday and the abbreviation padded.
void writeDateColumns(std::ostream& out, unixInstant instant, const absl::TimeZone& zone,
                      const textState& state)
{
    const absl::TimeZone::CivilInfo wall = zone.At(absl::FromUnixSeconds(instant.seconds));
    const int weekday = (static_cast<int>(absl::GetWeekday(absl::CivilDay(wall.cs))) + 1) % 7;
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d ",
                  static_cast<int>(wall.cs.year()), wall.cs.month(), wall.cs.day(),
                  wall.cs.hour(), wall.cs.minute(), wall.cs.second());
    out << state.weekdays[weekday] << ' ' << date;
    // The abbreviation comes from the zone's file, which TZDIR may choose: shown, never obeyed.
    writePadded(out, printable(wall.zone_abbr), zoneWidth, state.measure);
}

// Which end of the calendar the instant passed, as wide as the date columns.
void writeUnshownColumns(std::ostream& out, unixInstant instant, const absl::TimeZone& zone,
                         const textState& state)
{
    const bool early = unixTime2WallClock(zone, instant).seconds < firstCalendarSecond;
    writePadded(out, early ? "before the year 1400" : "after the year 9999",
                state.weekdayWidth + 1 + dateWidth, state.measure);
}

// The locale that LC_TIME means, read from the environment as setlocale reads it.
const char* timeLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* name = std::getenv(variable);
        if (name != nullptr && name[0] != '\0')
            return name;
    }
    return "C";
}

ctypeLocale openLocale(int categories, const char* name)
{
    const locale_t opened = newlocale(categories, name, locale_t());
    return opened == locale_t() ? nullptr : ctypeLocale(opened, &freelocale);
}

// The weekday names of user, each padded to the display width of the longest.
void readWeekdays(textState& state, locale_t user)
{
    std::tm day{};
    char name[64];
    std::array<std::size_t, 7> widths{};
    state.weekdayWidth = 0;
    for (int i = 0; i < 7; ++i) {
        day.tm_wday = i;
        state.weekdays[i].assign(name, strftime_l(name, sizeof name, "%a", &day, user));
        widths[i] = displayWidth(state.weekdays[i], state.measure);
        state.weekdayWidth = std::max(state.weekdayWidth, widths[i]);
    }
    for (int i = 0; i < 7; ++i)
        state.weekdays[i].append(state.weekdayWidth - widths[i], ' ');
}

}  // namespace

textState makeTextState(const writerSettings& settings)
{
    textState state{{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
                    3,
                    longestLabel(settings.milestones, settings.sign, settings.ages),
                    std::max(farDistanceWidth, widestNearDistance()),
                    nullptr};
    // The codeset is LC_CTYPE's: read from the locale that LC_TIME names, not from LC_CTYPE.
    const ctypeLocale user = openLocale(LC_TIME_MASK | LC_CTYPE_MASK, timeLocaleName());
    // Names are UTF-8 beside them: a locale of another codeset keeps the English weekdays.
    if (user && std::strcmp(nl_langinfo_l(CODESET, user.get()), "UTF-8") == 0) {
        state.measure = user;
        readWeekdays(state, user.get());
    } else {
        state.measure = openLocale(LC_CTYPE_MASK, "C.UTF-8");
    }
    return state;
}

std::string distanceFromNow(unixInstant instant, unixInstant now, const absl::TimeZone& zone)
{
    if (auto near = nearDistance(instant, now))
        return *near;
    const absl::CivilDay then(civilOf(unixTime2WallClock(zone, instant)));
    const absl::CivilDay today(civilOf(unixTime2WallClock(zone, now)));
    const long long days = then - today;
    const bool ahead = days > 0;
    const absl::CivilDay early = ahead ? today : then, late = ahead ? then : today;
    long long months = (late.year() - early.year()) * 12 + (late.month() - early.month());
    if (monthsLater(early, months, monthEnd::clamp) > late)
        --months;
    if (months < 2)
        return span(ahead ? days : -days, "days", ahead);
    if (months < 24)
        return span(months, "months", ahead);
    return span(months / 12, "years", ahead);
}

namespace {

// The first and the last unit of a reference's ages, in the order addAges makes them.
milestoneUnit firstAgeUnit(const milestoneChoice& choice)
{
    int unit = 0;
    while (unit + 1 < unitCount && (choice.units >> unit & 1) == 0)
        ++unit;
    return static_cast<milestoneUnit>(unit);
}

milestoneUnit lastAgeUnit(const milestoneChoice& choice)
{
    if ((choice.families >> familyPlanets & 1) != 0)
        return unitNeptuneYears;
    int unit = unitCount - 1;
    while (unit > 0 && (choice.units >> unit & 1) == 0)
        --unit;
    return static_cast<milestoneUnit>(unit);
}

// A reference's ages as one line, an event at a time: at its first unit the date and the age in
// years, months and days; with settings.ageUnits each unit's count beside; after its last unit
// the name.
bool writeAgeColumns(std::ostream& out, const event& e, const reference& ref,
                     const writerSettings& settings, const textState& state)
{
    const bool last = e.unit == lastAgeUnit(settings.milestones);
    const bool more = settings.ageUnits || !ref.name.empty();  // columns follow the age's
    if (e.unit == firstAgeUnit(settings.milestones)) {
        writeDateColumns(out, e.instant, shownZone(ref, settings), state);
        const absl::CivilSecond at = civilOf(unixTime2WallClock(ref.zone, e.instant));
        const bool ahead = at < ref.wallClock;
        out << "  ";
        writePadded(out, ageText(ahead ? calendarAgeBetween(at, ref.wallClock)
                                       : calendarAgeBetween(ref.wallClock, at), ahead),
                    more ? widestAgeText() : 0, state.measure);
    }
    if (settings.ageUnits) {
        out << "  ";
        const bool lastColumn = last && ref.name.empty();
        writePadded(out, labelOf(e), lastColumn ? 0 : state.labelWidth, state.measure);
    }
    if (!last)
        return static_cast<bool>(out);
    if (!ref.name.empty())
        out << "  " << shownName(ref);
    out << '\n';
    return endLine(out, settings);
}

}  // namespace

bool writeTextLine(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                   const writerSettings& settings, const textState& state)
{
    if (e.family == familyAge)
        return writeAgeColumns(out, e, ref, settings, state);
    const absl::TimeZone& zone = shownZone(ref, settings);
    const bool shown = canShowDate(e.instant, zone);
    if (shown)
        writeDateColumns(out, e.instant, zone, state);
    else
        writeUnshownColumns(out, e.instant, zone, state);
    out << "  ";
    writePadded(out, labelOf(e), state.labelWidth, state.measure);
    out << "  ";
    const std::string distance = distanceFromNow(e.instant, settings.now, zone);
    if (ref.name.empty()) {
        out << distance;
    } else {
        writePadded(out, distance, state.distanceWidth, state.measure);
        out << "  " << shownName(ref);
    }
    out << '\n';
    if (!shown)
        writeUnshownDate(out, err, e, ref, settings);
    return endLine(out, settings);
}

}  // namespace rondelo
