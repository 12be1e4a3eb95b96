#include "tools/content_check.h"

#include "lib/files.h"
#include "lib/text.h"
#include "main/entry_links.h"
#include "main/figures.h"
#include "richtext/plain_text.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

namespace termdex {
namespace fs = std::filesystem;

namespace {

constexpr Cp1253View kSee = "\xe2\xeb.";                // "βλ."
constexpr Cp1253View kFigure = "[\xd3\xf7\xde\xec\xe1"; // "[Σχήμα"

bool IsLatinLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The Greek letters of code page 1253, accented ones included (its "Ά" is 0xA2).
bool IsGreekLetter(unsigned char c)
{
    return c == 0xA2 || (c >= 0xB8 && c <= 0xBA) || c == 0xBC || (c >= 0xBE && c <= 0xD1) ||
           (c >= 0xD3 && c <= 0xFE);
}

bool IsLetter(unsigned char c) { return IsLatinLetter(c) || IsGreekLetter(c); }

// Calls visit(word) for every maximal run of letters.
template <typename Visit> void ForEachWord(Cp1253View text, Visit &&visit)
{
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !IsLetter(static_cast<unsigned char>(text[i])))
            ++i;
        const size_t start = i;
        while (i < text.size() && IsLetter(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start)
            visit(text.substr(start, i - start));
    }
}

bool MixesScripts(Cp1253View word)
{
    const auto latin = std::any_of(word.begin(), word.end(), [](char c) {
        return IsLatinLetter(static_cast<unsigned char>(c));
    });
    const auto greek = std::any_of(word.begin(), word.end(), [](char c) {
        return IsGreekLetter(static_cast<unsigned char>(c));
    });
    return latin && greek;
}

bool IsGreekWord(Cp1253View word)
{
    return std::all_of(word.begin(), word.end(),
                       [](char c) { return IsGreekLetter(static_cast<unsigned char>(c)); });
}

// "ΑΕΠ", "ΕΚΤ": abbreviations, which no spelling dictionary holds.
bool IsAbbreviation(Cp1253View word)
{
    return word.size() > 1 && std::none_of(word.begin(), word.end(), [](char c) {
               return static_cast<unsigned char>(c) >= 0xDC; // the small letters
           });
}

int CountWords(Cp1253View text)
{
    int words = 0;
    bool inWord = false;
    for (char c : text) {
        const bool blank = static_cast<unsigned char>(c) <= ' ';
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

// A description as the build renders it: behind the preamble, in a group of its own.
Cp1253 Document(Cp1253View preamble, Cp1253View description)
{
    return "{" + Cp1253(preamble) + "\r\n" + TrimLeft(description) + "}";
}

// The figure numbers that a description refers to: "" for "[Σχήμα]", "3" for "[Σχήμα3]".
std::vector<Cp1253> FigureReferences(Cp1253View text)
{
    std::vector<Cp1253> numbers;
    for (size_t at = text.find(kFigure); at != Cp1253View::npos; at = text.find(kFigure, at + 1)) {
        const Cp1253View rest = text.substr(at + kFigure.size());
        if (!rest.empty() && rest[0] == ']')
            numbers.emplace_back();
        else if (rest.size() >= 2 && rest[0] >= '1' && rest[0] <= '9' && rest[1] == ']')
            numbers.emplace_back(1, rest[0]);
    }
    return numbers;
}

Cp1253 Lowered(Cp1253View text) { return LocaleLower(Trim(text)); }

} // namespace

bool ReadAuthoredEntries(const fs::path &authoringText, AuthoredEntries &entries,
                         std::string &error)
{
    const auto text = ReadWholeFile(authoringText, kMaxAuthoringBytes);
    if (!text) {
        error = "cannot read the authoring text " + authoringText.string();
        return false;
    }
    const std::vector<std::string> lines = SplitLines(*text);
    BuildResult parsed = ParseAuthoringText(lines, entries.descriptions);
    if (!parsed.ok) {
        error = parsed.error;
        return false;
    }
    entries.preamble = lines.front();
    entries.records = std::move(parsed.records);
    return true;
}

namespace {

// The checks of CheckContent, over what they share: the headwords, the links found so far and
// the figures the entries name.
class ContentChecker
{
public:
    ContentChecker(const AuthoredEntries &entries, const fs::path &programFolder,
                   const GreekSpeller &speller)
        : m_entries(entries), m_programFolder(programFolder), m_speller(speller),
          m_refersTo(entries.records.size())
    {
    }

    ContentReport Run()
    {
        IndexHeadwords();
        for (size_t i = 0; i < m_entries.records.size(); ++i)
            CheckEntry(i);
        CheckSharedGreek();
        CheckFigureFiles();
        return std::move(m_report);
    }

private:
    void Error(Cp1253View entry, Cp1253 reason)
    {
        m_report.errors.push_back({Cp1253(entry), std::move(reason)});
    }

    void IndexHeadwords()
    {
        for (size_t i = 0; i < m_entries.records.size(); ++i) {
            const Cp1253 key = Lowered(m_entries.records[i].english);
            if (const auto [it, added] = m_byEnglish.emplace(key, i); !added)
                Error(m_entries.records[i].english, "duplicate English headword (also entry " +
                                                        std::to_string(it->second + 1) + ")");
        }
    }

    void CheckEntry(size_t i)
    {
        const BuildRecord &record = m_entries.records[i];
        const Cp1253View description = i < m_entries.descriptions.size()
                                           ? Cp1253View(m_entries.descriptions[i])
                                           : Cp1253View();
        const Cp1253 document = Document(m_entries.preamble, description);
        const Cp1253 text = RtfToPlainText(document);
        CheckLinks(i, document);
        CheckFigures(record, text);
        for (const Cp1253View field : {Cp1253View(record.greek), Cp1253View(text)}) {
            ForEachWord(field, [&](Cp1253View word) {
                if (MixesScripts(word))
                    Error(record.english, "Latin and Greek letters in one word: " + Cp1253(word));
                else if (m_speller && IsGreekWord(word) && !IsAbbreviation(word) &&
                         !m_speller(word) && m_unknownWords.insert(Cp1253(word)).second)
                    m_report.warnings.push_back(
                        {record.english, "unknown Greek word: " + Cp1253(word)});
            });
        }
        const int words = CountWords(text);
        if (words < kMinDescriptionWords || words > kMaxDescriptionWords)
            Error(record.english, "description of " + std::to_string(words) + " words (" +
                                      std::to_string(kMinDescriptionWords) + " to " +
                                      std::to_string(kMaxDescriptionWords) + " wanted)");
    }

    void CheckLinks(size_t i, Cp1253View document)
    {
        std::vector<Cp1253> unmatched;
        const auto links = FindEntryLinks(
            document,
            [&](Cp1253View name) {
                const auto it = m_byEnglish.find(Lowered(name));
                return it == m_byEnglish.end() ? 0 : static_cast<int>(it->second) + 1;
            },
            &unmatched);
        for (const EntryLink &link : links)
            m_refersTo[i].insert(static_cast<size_t>(link.record) - 1);
        for (const Cp1253 &name : unmatched)
            Error(m_entries.records[i].english, "\"\xe2\xeb.\" names no headword: " + name);
    }

    void CheckFigures(const BuildRecord &record, Cp1253View text)
    {
        for (const Cp1253 &number : FigureReferences(text)) {
            const fs::path file =
                FigureFile(m_programFolder, FigureTermName(record.english), number);
            if (FileExists(file))
                m_usedFigures.insert(LocaleLower(file.filename().string()));
            else
                Error(record.english, "figure missing: " + file.filename().string());
        }
    }

    // A Greek rendering may be shared only by entries that point at each other, such as an
    // abbreviation and its full term.
    void CheckSharedGreek()
    {
        std::map<Cp1253, std::vector<size_t>> byGreek;
        for (size_t i = 0; i < m_entries.records.size(); ++i)
            if (!Trim(m_entries.records[i].greek).empty())
                byGreek[Lowered(m_entries.records[i].greek)].push_back(i);
        for (const auto &[greek, sharing] : byGreek) {
            for (size_t a = 1; a < sharing.size(); ++a) {
                const size_t first = sharing.front(), other = sharing[a];
                if (!m_refersTo[first].count(other) && !m_refersTo[other].count(first))
                    Error(m_entries.records[other].english,
                          "Greek headword shared with unrelated entry " +
                              m_entries.records[first].english);
            }
        }
    }

    // The installer copies what its manifest lists, so a figure missing there would be missing
    // from every installed copy.
    void CheckFigureFiles()
    {
        const fs::path content = ResolvePathCase(m_programFolder / "content");
        std::set<Cp1253> manifest;
        if (const auto text = ReadWholeFile(ResolvePathCase(content / "fil.tbo"), 1 << 20))
            for (const std::string &line : SplitLines(*text))
                manifest.insert(LocaleLower(Trim(line)));
        std::error_code ec;
        for (fs::directory_iterator it(content, ec), end; !ec && it != end; it.increment(ec)) {
            const Cp1253 name = it->path().filename().string();
            const Cp1253 lowered = LocaleLower(name);
            if (lowered.rfind("fig_", 0) != 0 || lowered.size() <= 8 ||
                lowered.compare(lowered.size() - 4, 4, ".bmp") != 0)
                continue;
            if (!m_usedFigures.count(lowered))
                Error(name, "no entry refers to this figure");
            if (!manifest.count(lowered))
                Error(name, "missing from the install manifest fil.tbo");
        }
    }

    const AuthoredEntries &m_entries;
    const fs::path &m_programFolder;
    const GreekSpeller &m_speller;
    ContentReport m_report;
    std::unordered_map<Cp1253, size_t> m_byEnglish; // lowered headword -> first record index
    std::vector<std::set<size_t>> m_refersTo;
    std::set<Cp1253> m_usedFigures; // lower-cased file names
    std::set<Cp1253> m_unknownWords;
};

} // namespace

ContentReport CheckContent(const AuthoredEntries &entries, const fs::path &programFolder,
                           const GreekSpeller &speller)
{
    return ContentChecker(entries, programFolder, speller).Run();
}

} // namespace termdex
