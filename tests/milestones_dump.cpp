// milestones_dump ZONE YYYY-MM-DDTHH:MM:SS [NAME[=VALUE]]...: one reference's events, one a
// line, for an oracle script. NAME is sign (back), clamp, first (count the first day), units
// or families (bits), every (a span), from or until (Unix seconds), or age (the instant whose
// ages it lists instead of the milestones).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "civil.h"
#include "generators/generators.h"

int main(int argc, char* argv[])
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    absl::TimeZone zone;
    if (argc < 3 || !loadZone(argv[1], zone) ||
        std::sscanf(argv[2], "%d-%d-%dT%d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return 2;
    const wallClockReading reading{daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s};
    anniversaryBase base{wallClock2UnixTime(zone, reading), reading, zone};
    milestoneChoice choice;
    int sign = 1;
    const char* age = nullptr;
    for (int i = 3; i < argc; ++i) {
        const std::string word = argv[i], name = word.substr(0, word.find('='));
        const char* value = argv[i] + std::min(word.size(), name.size() + 1);
        const long long number = std::atoll(value);
        sign = name == "sign" ? -1 : sign;
        choice.clampMonthEnd |= name == "clamp";
        choice.countFirstDay |= name == "first";
        choice.units = name == "units" ? static_cast<unsigned>(number) : choice.units;
        choice.families = name == "families" ? static_cast<unsigned>(number) : choice.families;
        base.from = name == "from" ? number : base.from;
        base.until = name == "until" ? number : base.until;
        age = name == "age" ? value : age;
        everySpan span{};
        if (name == "every" && !readEverySpan(value, span))
            choice.every = span;
    }
    eventList events;
    if (age)
        addAges(events, base, std::atoll(age), choice);
    else
        addAll(events, base, sign, choice);
    for (const event& e : events)
        std::cout << e.timestamp << ',' << e.type << ',' << e.count << ',' << e.unit << ','
                  << e.label << ',' << e.age << '\n';
}
