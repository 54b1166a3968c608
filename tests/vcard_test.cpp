// The vCard reader: value forms, the syntax of content lines, cards it skips, hostile files and
// vdirs. Expected instants are dateutil's isoparse of the same values.
#include "readers/vcard.h"
#include "readers/contacts.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>  // for mkdtemp, malloc
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace rondelo;

// The bytes this program has asked of operator new: a count that no load on the machine changes.
#if defined(__GNUC__) && !defined(__clang__)
// g++ 12 takes the pointer a replaced operator delete frees for one that operator new returned.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
static std::atomic<unsigned long long> allocatedBytes{0};

void* operator new(std::size_t size)
{
    allocatedBytes += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

// The cards of a file that give dates, and the problems of those it skipped.
struct bookRead {
    std::vector<contactCard> cards;
    std::vector<std::string> errors;
};

bookRead readText(const std::string& text)
{
    bookRead book;
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    cardReader reader;
    startCards(reader, file, "book.vcf");
    contactCard card;
    std::string problem;
    for (cardStep step; (step = readCard(reader, card, problem)) != cardStep::end;) {
        if (step == cardStep::card)
            book.cards.push_back(card);
        else
            book.errors.push_back(problem);
    }
    std::fclose(file);
    return book;
}

// The name a date's lines carry.
std::string nameOf(const contactCard& card, const contactDate& date)
{
    reference ref{};
    ref.kind = date.kind;
    ref.name = card.name;
    ref.label = date.kind == referenceKind::other ? card.labels.at(date.label) : "";
    return shownName(ref);
}

// Each date as LINE KIND NAME VALUE [ZONE], the value as a reading or @instant; then each error.
std::vector<std::string> shown(const bookRead& file)
{
    std::vector<std::string> lines;
    for (const contactCard& card : file.cards)
        for (const contactDate& date : card.dates) {
            const writtenDate& w = date.when.date;
            char text[64];
            if (date.yearless)
                std::snprintf(text, sizeof text, "--%02d-%02d", w.month, w.day);
            else
                std::snprintf(text, sizeof text, "%04d-%02d-%02d@%lld", w.year, w.month, w.day,
                              w.timeOfDay.value_or(-1));
            const std::optional<unixInstant>& instant = date.when.instant;
            lines.push_back(std::to_string(date.line) + " " + std::to_string(int(date.kind)) + " " +
                            nameOf(card, date) + " " +
                            (instant ? "@" + std::to_string(instant->seconds) : text) +
                            (date.zoneName.empty() ? "" : " " + date.zoneName));
        }
    lines.insert(lines.end(), file.errors.begin(), file.errors.end());
    return lines;
}

std::string card(const std::string& lines)
{
    return "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\n" + lines + "END:VCARD\r\n";
}

}  // namespace

// Every form of RFC 6350 and RFC 2426, a month and day without a year among them; one without
// a month or day, or not a date, gives nothing and no message, and one that names no day of the
// calendar (in no year, for a month and day alone) is the card's message.
TEST(vcard_test, value_forms)
{
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"BDAY:19900517", "4 0 A 1990-05-17@-1"},
        {"BDAY:1990-05-17", "4 0 A 1990-05-17@-1"},
        {"BDAY:19900517T143000", "4 0 A 1990-05-17@52200"},
        {"BDAY:1990-05-17T14:30:00", "4 0 A 1990-05-17@52200"},
        {"BDAY:19900517T1430", "4 0 A 1990-05-17@52200"},
        {"BDAY:19900517T14", "4 0 A 1990-05-17@50400"},
        {"BDAY:1990-05-17T14:30:00Z", "4 0 A @642954600"},
        {"BDAY:19900517T143000+0200", "4 0 A @642947400"},
        {"BDAY:1990-05-17T14:30:00-05:30", "4 0 A @642974400"},
        {"BDAY:19900517T1430+01", "4 0 A @642951000"},
        {"BDAY:1990-05-17T14:30:00.250Z", "4 0 A @642954600"},
        {"BDAY:1400-01-01T00:00:00+00:00", "4 0 A @-17987443200"},
        {"BDAY;TZ=\"America/New_York\":19900517T0630", "4 0 A 1990-05-17@23400 America/New_York"},
        {"BDAY:--0517", "4 0 A --05-17"}, {"BDAY:--05-17", "4 0 A --05-17"},
        {"ANNIVERSARY:--0229", "4 1 A (anniversary) --02-29"},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:1604-05-17", "4 0 A --05-17"},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:16040229", "4 0 A --02-29"},
        {"BDAY:--0230", "book.vcf:4: BDAY '--0230' is no day of the calendar"},
        {"BDAY:---17", ""}, {"BDAY:--0517T1430", ""}, {"BDAY:1990", ""}, {"BDAY:1990-05", ""},
        {"BDAY:T1430", ""}, {"BDAY;VALUE=text:circa 1800", ""}, {"BDAY;VALUE=uri:http://x", ""},
        {"BDAY;X-APPLE-OMIT-YEAR=1604:1605-05-17", "4 0 A 1605-05-17@-1"},
        {"BDAY:1990-02-29", "book.vcf:4: BDAY '1990-02-29' is no day of the calendar"},
        {"BDAY:19901301", "book.vcf:4: BDAY '19901301' is no day of the calendar"},
        {"BDAY:1399-12-31",
         "book.vcf:4: BDAY '1399-12-31' is in year 1399, out of range (1400 to 9999)"},
        {"BDAY:9999-12-31T23:00:00-01:00", "book.vcf:4: BDAY '9999-12-31T23:00:00-01:00' is an "
                                           "instant out of range (years 1400 to 9999 in UTC)"},
    };
    for (const auto& [line, want] : rows)
        EXPECT_EQ(shown(readText(card(line + "\r\n"))), want.empty() ? std::vector<std::string>{}
                                                                     : std::vector<std::string>{want})
            << line;
    const std::string notADate =
        " is not a date (YYYYMMDD or YYYY-MM-DD, then THHMMSS and Z or an offset)";
    for (const char* wrong : {"19900517T2400", "1990-05-17T14:30:60", "19900517Z", "1990-0517",
                              "19900517T1430+2400", "19900517T14301", "circa 1800", "",
                              "19900517T1430+01:", "1990-05-17 14:30"})
        EXPECT_EQ(shown(readText(card("BDAY:" + std::string(wrong) + "\r\n"))),
                  std::vector<std::string>{std::string("book.vcf:4: BDAY") +
                                           " '" + wrong + "'" + notADate})
            << wrong;
}

// Folding at any octet, groups and labels in either order, parameters with quoted ':' and
// ';', escapes, names in any case, N as a person writes it, nested cards, vCard 2.1.
TEST(vcard_test, content_line_syntax)
{
    const std::string book =
        "\xEF\xBB\xBF" "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:M\xC3\r\n \xBCller\\, Anna\\;\\\\x\r\n"
        "item2.X-ABLabel:_$!<Anniversary>!$_\r\nb\r\n\tday;TYPE=\"a;b:c\":1990-05-\r\n 17\r\n"
        "Item2.x-abdate:2015-06-20\r\nitem1.X-ABDATE;type=pref:2018-09-01\r\n"
        "item1.X-ABLabel:Umzug\\, Berlin\r\nitem3.X-ABDATE:2019-01-01\r\nX-ABDATE:2019-01-02\r\n"
        "item4.X-ABLabel:_$!<Other>!$_\r\nitem4.X-ABDATE:2019-01-03\r\n"
        "AGENT:\r\nBEGIN:VCARD\r\nFN:Agent\r\nBDAY:garbage\r\nEND:VCARD\r\n"
        "deathdate:20200101\r\nEND:VCARD\r\n"
        "BEGIN:vcard\nN:Schmidt;Anna,Maria;Luise;Dr.;\\;\nANNIVERSARY:20000101\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=BCrgen=\n"
        "TEL;HOME;VOICE:1\n"
        "NOTE;ENCODING=QUOTED-PRINTABLE:a=\nb\nBDAY:19620311\nEND:VCARD\n";
    const bookRead file = readText(book);
    EXPECT_EQ(shown(file), (std::vector<std::string>{
                               "6 0 Müller, Anna;\\x 1990-05-17@-1",
                               "9 1 Müller, Anna;\\x (anniversary) 2015-06-20@-1",
                               "10 2 Müller, Anna;\\x (Umzug, Berlin) 2018-09-01@-1",
                               "12 2 Müller, Anna;\\x (other) 2019-01-01@-1",
                               "13 2 Müller, Anna;\\x (other) 2019-01-02@-1",
                               "15 2 Müller, Anna;\\x (other) 2019-01-03@-1",
                               "21 3 Müller, Anna;\\x (died) 2020-01-01@-1",
                               "25 1 Anna Maria Schmidt (anniversary) 2000-01-01@-1",
                               "33 0 Jürgen 1962-03-11@-1"}));
    ASSERT_EQ(file.cards.size(), 3u);
    EXPECT_EQ(file.cards[0].line, 1);
    ASSERT_TRUE(file.cards[0].death);
    EXPECT_EQ(file.cards[0].death->date.year, 2020);
    EXPECT_FALSE(file.cards[1].death);
}

// One message a card, at the line of what is wrong; every other card still comes out. A name
// that is not UTF-8 in a card that names another CHARSET gets the way out.
TEST(vcard_test, unreadable_cards_are_skipped)
{
    const std::string book =
        "not a card\nalso not\n" + card("BDAY:1990-02-30\r\nANNIVERSARY:garbage\r\n") +
        "BEGIN:VCARD\nFN:B\xFF\nBDAY:19900101\nEND:VCARD\n" + card("BDAY;TZ=\"x:19900101\r\n") +
        "BEGIN:VCARD\nFN:C\\nD\nBDAY:19900101\nEND:VCARD\n" +
        "BEGIN:VCARD\nN:;;;;\nBDAY:19900101\nEND:VCARD\n" +
        "BEGIN:VCARD\nFN:E\nitem1.X-ABDATE:19900101\nitem1.X-ABLabel:\x01\nEND:VCARD\n" +
        std::string("BEGIN:VCARD\nFN:F\nPHOTO:\0\0\xFF\nBDAY:19900101\nEND:VCARD\nEND:VCARD\n", 61) +
        std::string("BEGIN:VCARD\nFN:G\0H\nBDAY:19900101\nEND:VCARD\n", 43) +
        "BEGIN:VCARD\nFN:No names checked without dates\xFF\nEND:VCARD\n" +
        "BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=ISO-8859-1:J\xFCrgen\nBDAY:19620311\nEND:VCARD\n" +
        "BEGIN:VCARD\nN;CHARSET=windows-1252:Wei\xDF;J\nFN:J Wei\xDF\nBDAY:19620311\nEND:VCARD\n" +
        "BEGIN:VCARD\nFN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:J=FCrgen\nBDAY:19620311\n"
        "END:VCARD\nBEGIN:VCARD\nFN;CHARSET=ISO-8859-1:Juergen\nBDAY:19620311\nEND:VCARD\n" +
        "BEGIN:VCARD\nFN:H\nBDAY:19900101\nBEGIN:VCARD\nEND:VCARD\n";
    EXPECT_EQ(shown(readText(book)), (std::vector<std::string>{
        "34 0 F 1990-01-01@-1",
        "60 0 Juergen 1962-03-11@-1",
        "book.vcf:1: text outside a card (BEGIN:VCARD to END:VCARD)",
        "book.vcf:6: BDAY '1990-02-30' is no day of the calendar",
        "book.vcf:10: the name must be UTF-8 text without control characters",
        "book.vcf:16: BDAY is no NAME;PARAMETERS:VALUE line",
        "book.vcf:19: the name must be UTF-8 text without control characters",
        "book.vcf:22: the card has no name (FN or N)",
        "book.vcf:28: the label of X-ABDATE must be UTF-8 text without control characters",
        "book.vcf:38: the name must be UTF-8 text without control characters",
        "book.vcf:46: the name is not UTF-8 (CHARSET=ISO-8859-1: iconv -f ISO-8859-1 -t utf-8)",
        "book.vcf:51: the name is not UTF-8 (CHARSET=windows-1252: iconv -f windows-1252 -t utf-8)",
        "book.vcf:55: the name is not UTF-8 (CHARSET=ISO-8859-1, quoted-printable: export the card "
        "again in UTF-8)",
        "book.vcf:62: the card has no END:VCARD"}));
}

// A 10 MB photo folded in 75-octet lines, 10 MB of parameters, and a million BEGINs are read
// with allocations linear in the file: the reader's quadratic faults are copies, a line rebuilt
// at each fold or the rest of a line copied at each parameter.
TEST(vcard_test, hostile_files_stay_linear)
{
    std::string photo = "BEGIN:VCARD\r\nFN:A\r\nPHOTO:";
    for (int i = 0; i < 140000; ++i)
        photo += std::string(74, 'Q') + "\r\n ";
    const std::string parameters =
        "BEGIN:VCARD\nFN:A\nBDAY" + std::string(10000000, ';') + ":19900517\nEND:VCARD\n";
    std::string nested;
    for (int i = 0; i < 1000000; ++i)
        nested += "BEGIN:VCARD\n";
    photo += "x\r\nBDAY:19900517\r\nEND:VCARD\r\n";
    for (const auto& [text, want] : {std::pair(photo, "140004 0 A 1990-05-17@-1"),
                                     std::pair(parameters, "3 0 A 1990-05-17@-1"),
                                     std::pair(nested, "book.vcf:1: the card has no END:VCARD")}) {
        const unsigned long long before = allocatedBytes;
        const bookRead book = readText(text);
        EXPECT_LT(allocatedBytes - before, 8 * text.size());
        EXPECT_EQ(shown(book), std::vector<std::string>{want});
    }
}

// A vdir's *.vcf in byte order of their names, scratch files left out, and what cannot be read.
TEST(vcard_test, vdir_files)
{
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/vcard_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    for (const char* name : {"b.vcf", "a.vcf", "B.vcf", ".a.vcf", "a.vcf~", "notes.txt", "vcf"})
        std::ofstream(dir + "/" + name) << "BEGIN:VCARD\n";
    fs::create_directory(dir + "/c.vcf");
    fs::create_symlink(dir + "/gone", dir + "/d.vcf");
    std::vector<contactFileProblem> problems;
    std::vector<std::string> paths;
    EXPECT_EQ(listContactFiles(dir + "/", paths, problems), std::nullopt);
    EXPECT_EQ(paths, (std::vector<std::string>{dir + "/B.vcf", dir + "/a.vcf", dir + "/b.vcf"}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].path + ": " + problems[0].reason, dir + "/c.vcf: not a regular file");
    EXPECT_EQ(problems[1].path + ": " + problems[1].reason, dir + "/d.vcf: No such file or directory");
    EXPECT_EQ(listContactFiles(dir + "/none", paths, problems),
              dir + "/none: No such file or directory");
    fs::remove_all(dir);
}
