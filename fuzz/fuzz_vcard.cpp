// Fuzzes the vCard reader: whatever the octets, each card it gives has a name that is text and
// dates of the calendar, and each card it skips has a message naming the file and a line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "diagnostics/messages.h"
#include "readers/vcard.h"
#include "timeconv/epoch.h"

using namespace rondelo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkDate(const contactCard& card, const contactDate& date)
{
    const writtenDate& when = date.when.date;
    check(when.year >= 1400 && when.year <= 9999 && when.month >= 1 && when.month <= 12);
    check(when.day >= 1 && when.day <= 31 && date.line >= card.line);
    check(!when.timeOfDay || (*when.timeOfDay >= 0 && *when.timeOfDay < 86400));
    const std::optional<unixInstant>& instant = date.when.instant;
    check(!instant || (when.timeOfDay && isCalendarSecond(instant->seconds)));
    check(date.kind != referenceKind::other || date.label < card.labels.size());
    check(isCalendarText(card.name) && card.name.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::FILE* file = fmemopen(text.empty() ? nullptr : text.data(), text.size(), "r");
    if (file == nullptr)
        return 0;
    cardReader reader;
    startCards(reader, file, "f.vcf");
    contactCard card;
    std::string problem;
    for (cardStep step; (step = readCard(reader, card, problem)) != cardStep::end;) {
        if (step == cardStep::skipped) {
            check(problem.compare(0, 6, "f.vcf:") == 0 && problem.size() > 8);
            continue;
        }
        check(!card.name.empty() && !card.dates.empty() && card.line >= 1);
        for (const contactDate& date : card.dates)
            checkDate(card, date);
        check(!card.death || card.death->date.year >= 1400);
    }
    std::fclose(file);
    return 0;
}
