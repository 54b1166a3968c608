// The messages and checks that the four writers share, so that each says a thing the same way.
#include "writers/shared.h"

#include <cstring>  // for strerror and strchr

#include "diagnostics/language.h"
#include "diagnostics/messages.h"
#include "timeconv/zone.h"

namespace rondelo {

const absl::TimeZone& shownZone(const reference& ref, const writerSettings& settings)
{
    return settings.showIn ? *settings.showIn : ref.zone;
}

const std::string& shownZoneName(const reference& ref, const writerSettings& settings)
{
    return settings.showIn ? settings.showInName : ref.zoneName;
}

bool canShowDate(unixInstant instant, const absl::TimeZone& zone)
{
    return isCalendarSecond(unixTime2WallClock(zone, instant).seconds);
}

bool canShowDate(const event& e, const reference& ref)
{
    return canShowDate(e.instant, ref.zone);
}

void writeUnshownDate(std::ostream& out, std::ostream& err, const shownLine& line,
                      const writerSettings& settings)
{
    if (settings.classic) {
        // The fixed "main" and 685 are part of the text that callers match on.
        err << "\nError " << "main" << " line " << 685 << ", timestamp: " << line.instant.seconds
            << ", description: " << line.label << std::endl;
        return;
    }
    out.flush();
    const bool early = isBeforeCalendar(line.instant.seconds);
    // TRANSLATORS: a message on a line whose date cannot be shown; %s is its label, led by
    // its name: "Anna: 5G seconds".
    const char* pattern = early ? _("%s falls before the year 1400 and cannot be shown")
                                : _("%s falls after the year 9999 and cannot be shown");
    say(err, fill(pattern, {(line.name.empty() ? "" : printable(line.name) + ": ") + line.label}));
}

void writeUnshownDate(std::ostream& out, std::ostream& err, const event& e, const reference& ref,
                      const writerSettings& settings)
{
    const std::string name = ref.name.empty() ? std::string() : shownName(ref);
    writeUnshownDate(out, err, {e.instant, name, labelOf(e, ref)},
                     settings);
}

unsigned reminderKindOf(const event& e, const reference& ref)
{
    if (e.unit != unitYears)
        return 1u << milestoneReminder;
    const referenceKind kind = ref.kind == referenceKind::date ? referenceKind::birthday : ref.kind;
    return 1u << static_cast<int>(kind);
}

bool endLine(std::ostream& out, const writerSettings& settings)
{
    if (settings.flushEachLine)
        out.flush();
    return static_cast<bool>(out);
}

std::string percentEncoded(const std::string& text, const char* plain)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || (c != '\0' && std::strchr(plain, c) != nullptr);
        if (kept)
            encoded += c;
        else
            encoded += {'%', hex[octet >> 4], hex[octet & 15]};
    }
    return encoded;
}


}  // namespace rondelo
