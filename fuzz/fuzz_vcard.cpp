// Fuzzes the vCard reader: whatever the octets, each card it gives has a name that is text and
// dates of the calendar, and each card it skips has a message naming the file and a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
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
    const contactWhen& when = date.when;
    check(when.year >= 1400 && when.year <= 9999 && when.month >= 1 && when.month <= 12);
    check(when.day >= 1 && when.day <= 31 && date.line >= card.line);
    check(!when.timeOfDay || (*when.timeOfDay >= 0 && *when.timeOfDay < 86400));
    check(!when.instant || (when.timeOfDay && isCalendarSecond(*when.instant)));
    check(date.kind != referenceKind::other || date.label < card.labels.size());
    check(isCalendarText(card.name) && card.name.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const contactFile file = readContacts(in, "f.vcf");
    for (const contactCard& card : file.cards) {
        check(!card.name.empty() && !card.dates.empty() && card.line >= 1);
        for (const contactDate& date : card.dates)
            checkDate(card, date);
        check(!card.death || card.death->year >= 1400);
    }
    for (const std::string& error : file.errors)
        check(error.compare(0, 6, "f.vcf:") == 0 && error.size() > 8);
    return 0;
}
