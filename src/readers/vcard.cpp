// Reads vCard files one card at a time, keeping only names, labels and dates.
#include "readers/vcard.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "diagnostics/messages.h"
#include "readers/text_bytes.h"

namespace rondelo {

namespace {

const std::string appleAnniversary = "_$!<Anniversary>!$_";

// A name or label as a property wrote it, with what its message needs.
struct textProperty {
    std::string text;     // unescaped
    long long line = 0;
    std::string charset;  // the property's own, as written
    bool quotedPrintable = false;
};

// A dated line as it was read, before the card's labels are known.
struct pendingDate {
    contactDate date;
    bool abDate = false;  // X-ABDATE: its kind and label come from its group's X-ABLabel
    std::string group;
};

// A card between its BEGIN and its END.
struct cardInProgress {
    contactCard card;
    int nested = 0;                         // components open inside it
    std::optional<textProperty> fullName;   // the first FN
    std::optional<textProperty> nName;      // the first N
    std::vector<pendingDate> dates;
    std::unordered_map<std::string, textProperty> labels;  // X-ABLabel by group, the first
    std::vector<std::pair<std::string, std::string>> relatedNames;  // X-ABRELATEDNAMES: group, name
    std::string charset;                    // the first CHARSET other than UTF-8 it names
    std::optional<std::string> wrong;       // LINE: the first thing that skips it
};

bool isUtf8Charset(const std::string& charset)
{
    const std::string name = upperAscii(charset);
    return name.empty() || name == "UTF-8" || name == "UTF8";
}

// A CHARSET that a message may name as an iconv argument: a word of letters, digits and "-_.:".
bool isCharsetWord(const std::string& charset)
{
    return !charset.empty() && charset.size() <= 40 &&
           charset.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "0123456789-_.:") == std::string::npos;
}

// N's given names and then its family names, as a person writes them: FAMILY;GIVEN;...
std::string nameOfN(const std::string& value)
{
    const std::size_t familyEnd = fieldEnd(value, 0);
    const std::size_t givenAt = std::min(familyEnd + 1, value.size());
    const std::string family = unescapeText(value.substr(0, familyEnd), true);
    const std::string given =
        unescapeText(value.substr(givenAt, fieldEnd(value, givenAt) - givenAt), true);
    return given.empty() || family.empty() ? given + family : given + " " + family;
}

// The family and the first given name of N's value (FAMILY;GIVEN;...), into card.
void readPersonOfN(const std::string& value, contactCard& card)
{
    const std::size_t familyEnd = fieldEnd(value, 0);
    const std::size_t givenAt = std::min(familyEnd + 1, value.size());
    card.familyName = unescapeText(value.substr(0, familyEnd), true);
    const std::string given =
        unescapeText(value.substr(givenAt, fieldEnd(value, givenAt) - givenAt), true);
    card.givenName = given.substr(0, given.find(' '));
}

// Whether a list of TYPE values (",SPOUSE,FRIEND") holds type.
bool hasType(const std::string& types, const std::string& type)
{
    for (std::size_t at = types.find("," + type); at != std::string::npos;
         at = types.find("," + type, at + 1))
        if (at + 1 + type.size() == types.size() || types[at + 1 + type.size()] == ',')
            return true;
    return false;
}

// A value as a message may show it: printable ASCII of a reasonable length, else nothing.
std::string shownValue(const std::string& value)
{
    const bool printable =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return printable && value.size() <= 40 ? " '" + value + "'" : std::string();
}

std::optional<referenceKind> kindOf(const std::string& name)
{
    if (name == "BDAY")
        return referenceKind::birthday;
    if (name == "ANNIVERSARY" || name == "X-ANNIVERSARY")
        return referenceKind::anniversary;
    if (name == "X-ABDATE")
        return referenceKind::other;
    if (name == "DEATHDATE")
        return referenceKind::death;
    return std::nullopt;
}

bool isDatedValue(const contentLine& content)
{
    const std::string& type = content.parameters.value;
    return type.empty() || type == "DATE" || type == "DATE-TIME" || type == "DATE-AND-OR-TIME" ||
           type == "TIMESTAMP";
}

void noteWrongDate(cardInProgress& card, const contentLine& content, long long number,
                   const std::string& wrong)
{
    if (!card.wrong)
        card.wrong =
            std::to_string(number) + ": " + content.name + shownValue(content.value) + " " + wrong;
}

// A date of the card, its when left to the caller.
contactDate& addDate(cardInProgress& card, const contentLine& content, referenceKind kind,
                     long long number)
{
    pendingDate& pending = card.dates.emplace_back();
    pending.date.kind = kind;
    pending.date.zoneName = content.parameters.zone;
    pending.date.line = number;
    pending.abDate = content.name == "X-ABDATE";
    pending.group = content.group;
    return pending.date;
}

// A month and day without a year is a date of the card; a year alone or a year and a month,
// nothing.
void readYearlessLine(cardInProgress& card, const contentLine& content, referenceKind kind,
                      long long number)
{
    writtenDate date{};
    const yearlessDate read =
        readYearlessDate(content.value, content.parameters.omitYear.value_or(""), date);
    if (read == yearlessDate::noDay)
        noteWrongDate(card, content, number, "is no day of the calendar");
    if (read != yearlessDate::read)
        return;
    contactDate& added = addDate(card, content, kind, number);
    added.when.date = date;
    added.yearless = true;
}

void readDatedLine(cardInProgress& card, const contentLine& content, referenceKind kind,
                   long long number)
{
    const std::optional<std::string>& omitYear = content.parameters.omitYear;
    const bool omitted = omitYear && !omitYear->empty() &&
                         content.value.compare(0, omitYear->size(), *omitYear) == 0;
    if (!isDatedValue(content))
        return;
    if (omitted || isPartialIsoDate(content.value)) {
        readYearlessLine(card, content, kind, number);
        return;
    }
    isoDateTime& when = addDate(card, content, kind, number).when;
    if (auto wrong = readIsoDateTime(content.value, when)) {
        card.dates.pop_back();
        noteWrongDate(card, content, number, *wrong);
    }
}

textProperty textOf(const contentLine& content, std::string text, long long number)
{
    return {std::move(text), number, content.parameters.charset,
            content.parameters.quotedPrintable};
}

// What a card says of the person's relations: its UID, its spouses, and its related names,
// whose labels are known at its END.
void readRelation(cardInProgress& card, const contentLine& content)
{
    const std::string value = unescapeText(decodedValue(content), false);
    if (content.name == "UID" && card.card.uid.empty())
        card.card.uid = value;
    else if (content.name == "RELATED" && hasType(content.parameters.type, "SPOUSE"))
        card.card.spouses.push_back(value);
    else if (content.name == "X-ABRELATEDNAMES")
        card.relatedNames.emplace_back(content.group, value);
}

void readCardProperty(cardInProgress& card, const contentLine& content, long long number)
{
    const std::string& charset = content.parameters.charset;
    if (card.charset.empty() && !isUtf8Charset(charset) && isCharsetWord(charset))
        card.charset = charset;
    if (const std::optional<referenceKind> kind = kindOf(content.name))
        readDatedLine(card, content, *kind, number);
    else if (content.name == "FN" && !card.fullName)
        card.fullName = textOf(content, unescapeText(decodedValue(content), false), number);
    else if (content.name == "N" && !card.nName) {
        card.nName = textOf(content, nameOfN(decodedValue(content)), number);
        readPersonOfN(decodedValue(content), card.card);
    }
    else if (content.name == "X-ABLABEL")
        card.labels.emplace(content.group,
                            textOf(content, unescapeText(decodedValue(content), false), number));
    else
        readRelation(card, content);
}

// The way out for text that is not UTF-8 in a card that names its charset: iconv for a file in
// that charset; quoted-printable octets pass iconv unchanged, so such a card needs exporting again.
std::string charsetHint(const cardInProgress& card, const textProperty& property)
{
    const bool own = !isUtf8Charset(property.charset) && isCharsetWord(property.charset);
    const std::string& charset = own ? property.charset : card.charset;
    if (property.quotedPrintable)
        return " (CHARSET=" + charset + ", quoted-printable: export the card again in UTF-8)";
    return " (CHARSET=" + charset + ": iconv -f " + charset + " -t utf-8)";
}

// What is wrong with a name or label, what says which ("the name"); nothing for UTF-8 text
// without control characters.
std::optional<std::string> checkText(const cardInProgress& card, const textProperty& property,
                                     const std::string& what)
{
    const std::string& text = property.text;
    if (isCalendarText(text) && text.find('\n') == std::string::npos)
        return std::nullopt;
    const std::string line = std::to_string(property.line) + ": ";
    const bool charsetKnown = !card.charset.empty() || isCharsetWord(property.charset);
    if (charsetKnown && firstNonUtf8(text, 0, text.size()) != std::string::npos)
        return line + what + " is not UTF-8" + charsetHint(card, property);
    return line + what + " must be UTF-8 text without control characters";
}

// The label an X-ABDATE shows: Apple's own _$!<Word>!$_ as "word", "other" when it has none.
std::string shownLabel(const std::string& label)
{
    const bool apple = label.size() > 8 && label.compare(0, 4, "_$!<") == 0 &&
                       label.compare(label.size() - 4, 4, ">!$_") == 0;
    if (label.empty())
        return "other";
    return apple ? lowerAscii(label.substr(4, label.size() - 8)) : label;
}

// Gives an X-ABDATE its kind and label; what is wrong with the label, if anything.
std::optional<std::string> labelDate(cardInProgress& card, pendingDate& pending,
                                     std::unordered_map<std::string, std::size_t>& labelAt)
{
    const auto label = pending.group.empty() ? card.labels.end() : card.labels.find(pending.group);
    textProperty written = label == card.labels.end() ? textProperty{} : label->second;
    if (written.text == appleAnniversary) {
        pending.date.kind = referenceKind::anniversary;
        return std::nullopt;
    }
    auto known = labelAt.find(pending.group);
    if (known == labelAt.end()) {
        written.line = pending.date.line;
        if (auto wrong = checkText(card, written, "the label of X-ABDATE"))
            return wrong;
        known = labelAt.emplace(pending.group, card.card.labels.size()).first;
        card.card.labels.push_back(shownLabel(written.text));
    }
    pending.date.label = known->second;
    return std::nullopt;
}

// The card's name, from FN or else from N; what is wrong with it, if anything.
std::optional<std::string> nameCard(cardInProgress& card)
{
    const bool full = card.fullName && !card.fullName->text.empty();
    const std::optional<textProperty>& name = full ? card.fullName : card.nName;
    if (!name || name->text.empty())
        return std::to_string(card.card.line) + ": the card has no name (FN or N)";
    card.card.name = name->text;
    return checkText(card, *name, "the name");
}

// The family and given names from FN's words where N gives none, and the related names
// labelled spouse or partner (Apple's _$!<Spouse>!$_, Google's Spouse) among the spouses.
void namePerson(cardInProgress& card)
{
    contactCard& person = card.card;
    if (person.familyName.empty())
        person.familyName = person.name.substr(person.name.rfind(' ') + 1);
    if (person.givenName.empty())
        person.givenName = person.name.substr(0, person.name.find(' '));
    for (const auto& [group, name] : card.relatedNames) {
        const auto label = card.labels.find(group);
        const std::string word =
            label == card.labels.end() ? "" : lowerAscii(shownLabel(label->second.text));
        if (!group.empty() && (word == "spouse" || word == "partner"))
            person.spouses.push_back(name);
    }
}

// The card as read at its END; what is wrong with it, if anything.
std::optional<std::string> finishCard(cardInProgress& card)
{
    if (card.wrong || card.dates.empty())
        return card.wrong;
    if (auto wrong = nameCard(card))
        return wrong;
    std::unordered_map<std::string, std::size_t> labelAt;
    for (pendingDate& pending : card.dates) {
        if (pending.abDate)
            if (auto wrong = labelDate(card, pending, labelAt))
                return wrong;
        if (pending.date.kind == referenceKind::death && !card.card.death && !pending.date.yearless)
            card.card.death = pending.date.when;
        if (pending.date.kind == referenceKind::death && pending.date.yearless)
            card.card.diedOnDayUnknown = true;
        card.card.dates.push_back(std::move(pending.date));
    }
    namePerson(card);
    return std::nullopt;
}

// The card that ends here into card; whether that gives a step, and which.
std::optional<cardStep> endCard(cardReader& reader, cardInProgress& open, contactCard& card,
                                std::string& problem)
{
    if (auto wrong = finishCard(open)) {
        problem = reader.fileName + ":" + *wrong;
        return cardStep::skipped;
    }
    if (open.card.dates.empty())
        return std::nullopt;
    card = std::move(open.card);
    return cardStep::card;
}

// A line of an open card; the step when it ends the card.
std::optional<cardStep> readCardLine(cardReader& reader, std::optional<cardInProgress>& open,
                                     const contentLine& content, long long number,
                                     contactCard& card, std::string& problem)
{
    if (content.name == "BEGIN")
        ++open->nested;
    else if (content.name == "END" && open->nested > 0)
        --open->nested;
    else if (content.name == "END") {
        const std::optional<cardStep> step = endCard(reader, *open, card, problem);
        open.reset();
        return step;
    } else if (open->nested == 0)
        readCardProperty(*open, content, number);
    return std::nullopt;
}

bool isWanted(const std::string& name)
{
    return name == "BEGIN" || name == "END" || name == "FN" || name == "N" ||
           name == "X-ABLABEL" || name == "UID" || name == "RELATED" ||
           name == "X-ABRELATEDNAMES" || kindOf(name);
}

// One logical line, in a card or outside; the step it comes to, if any.
std::optional<cardStep> readLine(cardReader& reader, std::optional<cardInProgress>& open,
                                 long long number, contactCard& card, std::string& problem)
{
    const std::string& line = reader.line;
    contentLine content;
    std::size_t at = 0;
    const bool wanted = readContentName(line, content, at) && isWanted(content.name);
    const bool read = wanted && readParametersAndValue(line, at, content);
    const std::string& name = content.name;
    if (open && read)
        return readCardLine(reader, open, content, number, card, problem);
    if (open && wanted && kindOf(name) && !open->wrong && !open->nested)
        open->wrong = std::to_string(number) + ": " + name + " is no NAME;PARAMETERS:VALUE line";
    else if (!open && read && name == "BEGIN" && upperAscii(content.value) == "VCARD")
        open.emplace().card.line = number;
    else if (!open && !isBlank(line) && !reader.strayReported) {
        reader.strayReported = true;
        problem = reader.fileName + ":" + std::to_string(number) +
                  ": text outside a card (BEGIN:VCARD to END:VCARD)";
        return cardStep::skipped;
    }
    return std::nullopt;
}

}  // namespace

void startCards(cardReader& reader, std::FILE* file, const std::string& fileName)
{
    startLines(reader.lines, file);
    reader.fileName = fileName;
    reader.strayReported = false;
}

cardStep readCard(cardReader& reader, contactCard& card, std::string& problem)
{
    std::optional<cardInProgress> open;
    long long number = 0;
    while (nextLogicalLine(reader.lines, reader.line, number))
        if (auto step = readLine(reader, open, number, card, problem))
            return *step;
    if (!open)
        return cardStep::end;
    problem = reader.fileName + ":" + std::to_string(open->card.line) +
              ": the card has no END:VCARD";
    return cardStep::skipped;
}

}  // namespace rondelo
