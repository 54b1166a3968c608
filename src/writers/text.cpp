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

#include "diagnostics/language.h"
#include "diagnostics/messages.h"
#include "generators/families.h"
#include "timeconv/zone.h"
#include "writers/durations.h"
#include "writers/titles.h"

namespace rondelo {

namespace {

// The date, time and zone abbreviation after the weekday and its blank, in display columns: the
// abbreviations of the database have three to five ("+0545").
constexpr std::size_t clockWidth = 10 + 1 + 8 + 1 + 5;

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

// How far, in the units distanceFromNow counts in, ahead and ago.
const pluralText distances[3][2] = {
    // TRANSLATORS: how far a milestone lies from today, in a column of the text format: "in 12
    // days", "12 days ago"; months and years below. %s is the number.
    {NN_("in %s day", "in %s days"), NN_("%s day ago", "%s days ago")},
    {NN_("in %s month", "in %s months"), NN_("%s month ago", "%s months ago")},
    {NN_("in %s year", "in %s years"), NN_("%s year ago", "%s years ago")},
};

std::string span(unsigned long long count, int unit, bool ahead, const numberStyle& numbers)
{
    return fill(translated(distances[unit][ahead ? 0 : 1], count), {grouped(count, numbers)});
}

// The display columns of the widest distance: the most days, months and years it can count,
// and the widest of a near one.
std::size_t distanceWidth(const numberStyle& numbers, const ctypeLocale& measure)
{
    std::size_t widest = 0;
    for (const long long apart : {172799, 86399, 3599, 59, -172799, -86399, -3599, -59})
        widest = std::max(widest, displayWidth(*nearDistance({apart}, {0}), measure));
    for (const bool ahead : {true, false})
        for (const auto& [unit, most] : {std::pair(0, 61), std::pair(1, 23), std::pair(2, 8599)})
            widest = std::max(widest, displayWidth(span(most, unit, ahead, numbers), measure));
    return widest;
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
    // The abbreviation comes from the zone's file, which TZDIR may choose: shown, never obeyed.
    writePadded(out, state.weekdays[weekday] + ' ' + date + printable(wall.zone_abbr),
                state.dateWidth, state.measure);
}

// Which end of the calendar the instant passed, as wide as the date columns.
void writeUnshownColumns(std::ostream& out, unixInstant instant, const textState& state)
{
    const bool early = isBeforeCalendar(instant.seconds);
    writePadded(out, early ? _("before the year 1400") : _("after the year 9999"), state.dateWidth,
                state.measure);
}

// The date columns on zone's clock, or the end of the calendar the instant passed there;
// whether the date was shown.
bool writeDateOrEnd(std::ostream& out, unixInstant instant, const absl::TimeZone& zone,
                    const textState& state)
{
    const bool shown = canShowDate(instant, zone);
    if (shown)
        writeDateColumns(out, instant, zone, state);
    else
        writeUnshownColumns(out, instant, state);
    return shown;
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
    textState state{{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}, 3, 0, 0, 0, nullptr};
    // The codeset is LC_CTYPE's: read from the locale that LC_TIME names, not from LC_CTYPE.
    const ctypeLocale user = openLocale(LC_TIME_MASK | LC_CTYPE_MASK, timeLocaleName());
    // Names are UTF-8 beside them: a locale of another codeset keeps the English weekdays.
    if (user && std::strcmp(nl_langinfo_l(CODESET, user.get()), "UTF-8") == 0) {
        state.measure = user;
        readWeekdays(state, user.get());
    } else {
        state.measure = openLocale(LC_CTYPE_MASK, "C.UTF-8");
    }
    state.dateWidth = state.weekdayWidth + 1 + clockWidth;
    for (const char* unshown : {_("before the year 1400"), _("after the year 9999")})
        state.dateWidth = std::max(state.dateWidth, displayWidth(unshown, state.measure));
    state.distanceWidth = distanceWidth(settings.words.numbers, state.measure);
    // The widest age: the most years, months and days, still to come.
    state.ageWidth =
        displayWidth(ageText({8599, 11, 30}, true, settings.words.numbers), state.measure);
    return state;
}

std::string distanceFromNow(unixInstant instant, unixInstant now, const absl::TimeZone& zone,
                            const numberStyle& numbers)
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
        return span(static_cast<unsigned long long>(ahead ? days : -days), 0, ahead, numbers);
    if (months < 24)
        return span(static_cast<unsigned long long>(months), 1, ahead, numbers);
    return span(static_cast<unsigned long long>(months / 12), 2, ahead, numbers);
}

namespace {

// The display columns of the widest age of unit in the calendar, as a quantity says it.
std::size_t ageWidth(milestoneUnit unit, const numberStyle& numbers, const ctypeLocale& measure)
{
    const unitDefinition& definition = unitOf(unit);
    const long long seconds = pastCalendarSecond - firstCalendarSecond;
    long long most = seconds / definition.length;  // exact seconds
    if (definition.kind == unitKind::calendarMonths)
        most = (10000 - 1400) * 12 / definition.length;
    else if (definition.kind == unitKind::calendarDays)
        most = seconds / 86400 / definition.length;
    else if (definition.kind == unitKind::planetYears)
        most = seconds * 1000 / 86400 / definition.length;
    return displayWidth(quantityOf({unixInstant{0}, most, unit, familyAge}, numbers), measure);
}

// A moment of ref's ages as one line: the date, the age in years, months and days, with
// settings.ageUnits each unit's count beside, and the name.
bool writeAgeLine(std::ostream& out, const moment& m, const reference& ref,
                  const writerSettings& settings, const textState& state)
{
    const numberStyle& numbers = settings.words.numbers;
    writeDateOrEnd(out, m.lead().instant, shownZone(ref, settings), state);
    const absl::CivilSecond at = civilOf(unixTime2WallClock(ref.zone, m.lead().instant));
    const bool toCome = at < ref.wallClock;
    const std::string age = ageText(toCome ? calendarAgeBetween(at, ref.wallClock)
                                           : calendarAgeBetween(ref.wallClock, at), toCome, numbers);
    const bool named = !ref.name.empty();
    out << "  ";
    writePadded(out, age, settings.ageUnits || named ? state.ageWidth : 0, state.measure);
    for (const event* e = m.begin; settings.ageUnits && e != m.end; ++e) {
        const bool last = e + 1 == m.end && !named;
        out << "  ";
        writePadded(out, quantityOf(*e, numbers),
                    last ? 0 : ageWidth(e->unit, numbers, state.measure), state.measure);
    }
    if (named)
        out << "  " << shownName(ref);
    out << '\n';
    return endLine(out, settings);
}

}  // namespace

bool writeTextLine(std::ostream& out, std::ostream& err, const moment& m, const reference& ref,
                   const writerSettings& settings, const textState& state)
{
    const event& e = m.lead();
    if (e.family == familyAge)
        return writeAgeLine(out, m, ref, settings, state);
    const absl::TimeZone& zone = shownZone(ref, settings);
    const bool shown = writeDateOrEnd(out, e.instant, zone, state);
    out << "  ";
    writePadded(out, distanceFromNow(e.instant, settings.now, zone, settings.words.numbers),
                state.distanceWidth, state.measure);
    out << "  " << momentTitle(m, ref, settings.words) << '\n';
    for (const event* unshown = m.begin; !shown && unshown != m.end; ++unshown)
        writeUnshownDate(out, err, *unshown, ref, settings);
    return endLine(out, settings);
}

}  // namespace rondelo
