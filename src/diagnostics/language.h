// The words a person reads, in the person's language: GNU gettext's catalogs for the text, the
// locale's grouping for the numbers.
#pragma once

#include <initializer_list>
#include <libintl.h>
#include <string>

namespace rondelo {

// The catalogs' name: share/locale/LANG/LC_MESSAGES/rondelo.mo.
constexpr const char* textDomain = "rondelo";

// Takes the locale of the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) and reads the
// catalogs of directory, in UTF-8 whatever the locale's codeset. Once, before any text is
// translated; without it every text is the program's own English.
void startLanguage(const std::string& directory);

// msgid in the person's language: itself when no catalog has it.
inline const char* _(const char* msgid)
{
    return gettext(msgid);
}

// msgid in context (contextAndId is context "\004" msgid, as P_ joins them): one English text
// that other languages may say in several ways.
const char* translatedIn(const char* contextAndId, const char* msgid);

#define P_(context, msgid) ::rondelo::translatedIn(context "\004" msgid, msgid)

// Texts kept in tables, marked for the catalogs (xgettext's keywords NN_ and PN_) and
// translated where they are used: a pair through ngettext, a text in context through
// translatedIn. They hold their characters, not pointers, so that loading the program
// relocates nothing for them: the classic run pays nothing for the words it never shows.
struct pluralText {
    char one[24];
    char many[24];
};

struct contextText {
    char joined[24];  // the context, "\004" and the text
    char msgid[16];
};

#define NN_(one, many) ::rondelo::pluralText{one, many}
#define PN_(context, msgid) ::rondelo::contextText{context "\004" msgid, msgid}

inline const char* translated(const pluralText& text, unsigned long long n)
{
    return ngettext(text.one, text.many, n);
}

inline const char* translated(const contextText& text)
{
    return translatedIn(text.joined, text.msgid);
}

// pattern with its placeholders filled: "%s" takes the next of args, "%N$s" the Nth, "%%" is
// "%". The patterns are the catalogs' C format strings, which msgfmt --check keeps to the
// placeholders of their English; a placeholder past args is left out.
std::string fill(const char* pattern, std::initializer_list<std::string> args);

// How the locale groups the digits of numbers a person reads: its thousands separator and
// grouping (LC_NUMERIC), or English's "," every three digits in a locale that has none, such
// as C.
struct numberStyle {
    std::string separator = ",";
    std::string grouping = "\3";  // as nl_langinfo(GROUPING): sizes from the right, the last
                                  // repeating
};

// The language tag (BCP 47) of the catalog the words come from: "en" for the program's own
// English, where no catalog answers.
const char* catalogLanguage();

// The style of the locale startLanguage took; English's before it, and beside English words
// where the locale's language has no catalog.
numberStyle currentNumberStyle();

// n with its digits grouped: "10,000", "10.000", "10 000" (with U+202F in French).
std::string grouped(unsigned long long n, const numberStyle& style);

}  // namespace rondelo
