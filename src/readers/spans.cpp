// Reads a count and its unit letter by letter: the one place that knows y, mo, w, d, h, min and
// s, and the bare m that could be two of them.
#include "readers/spans.h"

#include <algorithm>
#include <iterator>  // for std::size

#include "readers/when.h"

namespace rondelo {

namespace {

// The letters of each unit, in the order of spanUnit.
constexpr const char* unitLetters[] = {"y", "mo", "w", "d", "h", "min", "s"};
static_assert(std::size(unitLetters) == static_cast<std::size_t>(spanUnit::seconds) + 1);

std::optional<spanUnit> unitOfLetters(const std::string& letters, unsigned units)
{
    for (std::size_t u = 0; u < std::size(unitLetters); ++u)
        if (letters == unitLetters[u] && (units & unitBit(static_cast<spanUnit>(u))) != 0)
            return static_cast<spanUnit>(u);
    return std::nullopt;
}

// The reminder's wording of its form.
const std::string reminderForm =
    "a count of at most four digits and w, d, h or min, as in 30min, 2w, 1d or 1d@18:00";
constexpr unsigned reminderUnits = unitBit(spanUnit::weeks) | unitBit(spanUnit::days) |
                                   unitBit(spanUnit::hours) | unitBit(spanUnit::minutes);

}  // namespace

std::optional<std::string> readCountedSpan(const std::string& text, spanForm form,
                                           countedSpan& span)
{
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    const std::string letters = text.substr(digits);
    if (digits == 0 || digits > static_cast<std::size_t>(form.digits))
        return std::string();
    if (letters == "m" && (form.units & unitBit(spanUnit::months)) == 0)
        return std::string("m could be months or minutes, and a reminder takes no months: write min");
    if (letters == "m")
        return std::string("m could be months or minutes: write mo or min");
    const std::optional<spanUnit> unit = unitOfLetters(letters, form.units);
    if (!unit)
        return std::string();
    span = {std::stoll(text.substr(0, digits)), *unit};
    return std::nullopt;
}

std::optional<std::string> readReminder(const std::string& text, reminderSpan& reminder)
{
    const std::size_t at = std::min(text.find('@'), text.size());
    if (auto wrong = readCountedSpan(text.substr(0, at), {4, reminderUnits}, reminder.before))
        return wrong->empty() ? reminderForm : *wrong;
    reminder.timeOfDay.reset();
    if (at == text.size())
        return std::nullopt;
    if (reminder.before.unit != spanUnit::days && reminder.before.unit != spanUnit::weeks)
        return std::string(
            "@HH:MM follows only d or w: the time of day an all-day event is reminded at");
    long long seconds = 0;
    if (text.size() != at + 6 || !readClock(text, at + 1, true, seconds))  // HH:MM, no seconds
        return std::string("@HH:MM is a time of day from 00:00 to 23:59");
    reminder.timeOfDay = seconds;
    return std::nullopt;
}

long long fixedSeconds(spanUnit unit)
{
    switch (unit) {
    case spanUnit::weeks:
        return 604800;
    case spanUnit::days:
        return 86400;
    case spanUnit::hours:
        return 3600;
    case spanUnit::minutes:
        return 60;
    case spanUnit::seconds:
        return 1;
    case spanUnit::years:
    case spanUnit::months:
        break;
    }
    return 0;
}

}  // namespace rondelo
