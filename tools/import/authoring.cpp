#include "tools/import/authoring.h"

#include "data/entry_index.h"
#include "data/index_line.h"
#include "lib/cp1253.h"
#include "lib/folding.h"
#include "lib/text.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace termdex::import {

std::string ShippedPreamble()
{
    std::string header =
        "\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
        "{\\f1\\froman\\fcharset161 Times New Roman;}"
        "{\\f60\\fswiss\\fcharset161 Tahoma;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue160;\\red160\\green0\\blue0;}"
        "\\viewkind4\\uc1\\pard\\plain\\f60\\fs20 {\\*\\termdexpad ";
    header.resize(602, 'x'); // every description offset assumes a 603-character first line
    return header + "}";
}

namespace {

constexpr size_t kMaxEnglish = ShippedEnglishLayout::headword.width;
constexpr size_t kMaxGreek = ShippedGreekLayout::headword.width;
constexpr size_t kMaxDescription = 99'000;            // the length column holds five digits
constexpr long long kMaxDescriptionFile = 99'999'999; // the offset column holds eight

// A headword as rich-text source: the build reads it back as plain text.
std::string HeadwordSource(Cp1253View text)
{
    std::string out;
    char escape[8];
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += ch;
        } else if (c >= 0x80) {
            std::snprintf(escape, sizeof escape, "\\'%02x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out;
}

struct Headword
{
    std::optional<Cp1253> text;
    std::string problem;
};

// Code page 1253 form of a headword: polytonic reduced, blanks trimmed, control characters
// dropped, and brackets (the authoring text's own markers) turned into parentheses.
Headword ConvertHeadword(const std::string &utf8, std::vector<std::string> &warnings,
                         const std::string &entry, size_t maxLength)
{
    std::string cleaned;
    for (char ch : ReducePolytonicUtf8(utf8)) {
        if (static_cast<unsigned char>(ch) < 32)
            ch = ' ';
        cleaned += ch == '[' ? '(' : ch == ']' ? ')' : ch;
    }
    if (cleaned.find_first_of("()") != std::string::npos &&
        utf8.find_first_of("[]") != std::string::npos)
        warnings.push_back(entry + ": brackets in the headword written as parentheses");
    const Utf8Conversion converted = Utf8ToCp1253(TrimUtf8(cleaned));
    Headword result;
    if (!converted.text) {
        result.problem =
            converted.problem == "invalid UTF-8"
                ? "the headword is not valid UTF-8"
                : "the headword holds " + converted.problem + ", which code page 1253 cannot hold";
        return result;
    }
    result.text = *converted.text;
    if (result.text->size() > maxLength) {
        warnings.push_back(entry + ": headword cut to " + std::to_string(maxLength) +
                           " characters");
        result.text = TrimRight(result.text->substr(0, maxLength));
    }
    return result;
}

struct Merged
{
    Cp1253 english;
    Cp1253 greek;
    std::string rtf;
    bool cutWarned = false;
};

// Folds entry into merged: a new entry, or a further part of the entry of its headword. False
// when it is skipped.
bool MergeEntry(Entry &entry, std::vector<Merged> &merged, std::map<Cp1253, size_t> &byEnglish,
                AuthoringResult &result)
{
    const std::string name = TrimUtf8(entry.english);
    const Headword english = ConvertHeadword(entry.english, result.warnings, name, kMaxEnglish);
    if (!english.text) {
        result.skipped.push_back({name, english.problem});
        return false;
    }
    if (english.text->empty()) {
        result.skipped.push_back({TrimUtf8(entry.greek), "no English headword"});
        return false;
    }
    const Headword greek = ConvertHeadword(entry.greek, result.warnings, name, kMaxGreek);
    if (!greek.text) {
        result.skipped.push_back({name, "Greek " + greek.problem.substr(4)});
        return false;
    }
    if (entry.descriptionCut)
        result.warnings.push_back(name + ": description cut to its first " +
                                  std::to_string(RichText::kMaxBytes) + " bytes");
    const auto [at, fresh] = byEnglish.emplace(*english.text, merged.size());
    if (fresh) {
        merged.push_back({*english.text, *greek.text, std::move(entry.rtf)});
        return true;
    }
    Merged &into = merged[at->second];
    // A second rendering under the same headword stays visible at the head of its part.
    std::string part = std::move(entry.rtf);
    if (into.greek.empty()) {
        into.greek = *greek.text;
    } else if (!greek.text->empty() && *greek.text != into.greek) {
        const std::string pard = "\\pard\\plain\\f60\\fs20 ";
        if (part.compare(0, pard.size(), pard) == 0)
            part.insert(pard.size(), "\\b " + HeadwordSource(*greek.text) + "\\b0 \\line ");
    }
    if (into.rtf.size() + part.size() + 5 > kMaxDescription) {
        if (!into.cutWarned)
            result.warnings.push_back(name + ": merged description too long; later parts left out");
        into.cutWarned = true;
        return true;
    }
    into.rtf += "\\par " + part;
    return true;
}

struct Keyed
{
    Cp1253 key, lower;
    const Merged *entry;
};

// The English list shows the table in file order, so the file follows the lookup's key.
std::vector<Keyed> InLookupOrder(const std::vector<Merged> &merged)
{
    std::vector<Keyed> keyed;
    keyed.reserve(merged.size());
    for (const Merged &m : merged)
        keyed.push_back({LatinKey(m.english, true), AsciiLower(m.english), &m});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.key != b.key)
            return a.key < b.key;
        if (a.lower != b.lower)
            return a.lower < b.lower;
        return a.entry->english < b.entry->english;
    });
    return keyed;
}

} // namespace

AuthoringResult MakeAuthoringText(std::vector<Entry> entries)
{
    AuthoringResult result;
    std::vector<Merged> merged;
    std::map<Cp1253, size_t> byEnglish;
    for (Entry &entry : entries)
        MergeEntry(entry, merged, byEnglish, result);

    if (merged.size() > static_cast<size_t>(kMaxRecords)) {
        result.tooManyEntries = true;
        result.error = "the source holds " + std::to_string(merged.size()) +
                       " entries; a dictionary holds at most " + std::to_string(kMaxRecords);
        return result;
    }

    const std::vector<Keyed> keyed = InLookupOrder(merged);
    std::string &text = result.text;
    text = ShippedPreamble() + "\r\n";
    long long offset = static_cast<long long>(text.size());
    for (const Keyed &k : keyed) {
        const Merged &m = *k.entry;
        offset += static_cast<long long>(m.rtf.size()) + 2;
        if (offset > kMaxDescriptionFile) {
            result.error = "the descriptions together exceed the " +
                           std::to_string(kMaxDescriptionFile) + " bytes a description file holds";
            result.text.clear();
            return result;
        }
        text += "[[[[" + HeadwordSource(m.english) + "[[[" + HeadwordSource(m.greek) + "[[" +
                m.rtf + "]]]]\r\n";
    }
    result.records = keyed.size();
    result.ok = true;
    return result;
}

} // namespace termdex::import
