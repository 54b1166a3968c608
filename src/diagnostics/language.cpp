// The person's language through gettext, and the locale's grouping of digits.
#include "diagnostics/language.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <langinfo.h>  // for nl_langinfo

namespace rondelo {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The size of the group at place (0 the rightmost) by a GROUPING string; 0 for no group.
int groupSize(const std::string& grouping, std::size_t place)
{
    if (grouping.empty())
        return 0;
    const int size = place < grouping.size() ? grouping[place] : grouping.back();
    return size <= 0 || size == CHAR_MAX ? 0 : size;
}

// The placeholder at pattern[at] ('%' there): the index of the argument it takes, or -1 for
// "%%"; next counts the unnumbered ones. end is set past it.
int placeholderAt(const char* pattern, std::size_t at, int& next, std::size_t& end)
{
    std::size_t digits = at + 1;
    int number = 0;
    while (isDigit(pattern[digits]))
        number = number * 10 + (pattern[digits++] - '0');
    if (digits > at + 1 && pattern[digits] == '$' && pattern[digits + 1] == 's') {
        end = digits + 2;
        return number - 1;
    }
    end = at + 2;
    return pattern[at + 1] == 's' ? next++ : -1;
}

}  // namespace

void startLanguage(const std::string& directory)
{
    std::setlocale(LC_ALL, "");
    bindtextdomain(textDomain, directory.c_str());
    bind_textdomain_codeset(textDomain, "UTF-8");  // names beside the words are UTF-8
    textdomain(textDomain);
}

const char* translatedIn(const char* contextAndId, const char* msgid)
{
    const char* translated = gettext(contextAndId);
    return translated == contextAndId ? msgid : translated;
}

std::string fill(const char* pattern, std::initializer_list<std::string> args)
{
    std::string text;
    int next = 0;
    for (std::size_t at = 0; pattern[at] != '\0';) {
        if (pattern[at] != '%' || pattern[at + 1] == '\0') {
            text += pattern[at++];
            continue;
        }
        std::size_t end = at;
        const int index = placeholderAt(pattern, at, next, end);
        if (index < 0)
            text += pattern[at + 1];
        else if (static_cast<std::size_t>(index) < args.size())
            text += args.begin()[index];
        at = end;
    }
    return text;
}

const char* catalogLanguage()
{
    // TRANSLATORS: the language tag of this catalog (BCP 47), as a page names its language.
    return P_("language tag", "en");
}

namespace {

// Whether the words are the locale's: a catalog answered, or the locale's language is the
// program's own English. An Italian locale without a catalog gives English words, and English
// digits beside them.
bool wordsAreTheLocales()
{
    if (std::strcmp(catalogLanguage(), "en") != 0)
        return true;
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    return messages != nullptr && std::strncmp(messages, "en", 2) == 0;
}

}  // namespace

numberStyle currentNumberStyle()
{
    numberStyle style;
    if (!wordsAreTheLocales())
        return style;
    const char* separator = nl_langinfo(THOUSANDS_SEP);
    const char* grouping = nl_langinfo(GROUPING);
    if (separator != nullptr && separator[0] != '\0' && grouping != nullptr &&
        groupSize(grouping, 0) > 0) {
        style.separator = separator;
        style.grouping = grouping;
    }
    return style;
}

std::string grouped(unsigned long long n, const numberStyle& style)
{
    const std::string digits = std::to_string(n);
    std::string groups;
    std::size_t end = digits.size(), place = 0;
    for (int size = groupSize(style.grouping, 0); size > 0 && end > static_cast<std::size_t>(size);
         size = groupSize(style.grouping, ++place)) {
        end -= static_cast<std::size_t>(size);
        groups.insert(0, style.separator + digits.substr(end, static_cast<std::size_t>(size)));
    }
    return digits.substr(0, end) + groups;
}

}  // namespace rondelo
