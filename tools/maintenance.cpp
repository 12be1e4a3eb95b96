#include "tools/maintenance.h"

#include "data/description_store.h"
#include "data/entry_index.h"
#include "data/index_line.h"
#include "lib/codecs.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace termdex {
namespace fs = std::filesystem;

namespace {

constexpr size_t kPreambleLength = 603;
constexpr int64_t kFirstDescriptionOffset = kPreambleLength + 2; // after the preamble's CR LF

// The text after the first occurrence of marker, from position from; npos-safe.
std::string_view After(std::string_view text, std::string_view marker)
{
    const size_t at = text.find(marker);
    return at == std::string_view::npos ? std::string_view() : text.substr(at + marker.size());
}

std::string_view Before(std::string_view text, std::string_view marker)
{
    return text.substr(0, std::min(text.find(marker), text.size()));
}

bool WriteLines(const fs::path &file, const std::vector<std::string> &lines)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string &line : lines)
        out << line << "\r\n";
    out.flush();
    return static_cast<bool>(out);
}

bool WriteBytes(const fs::path &file, const std::string &bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.flush();
    return static_cast<bool>(out);
}

std::vector<std::string> MirrorEncodeLines(const std::vector<std::string> &plain)
{
    std::vector<std::string> coded;
    coded.reserve(plain.size());
    for (size_t i = 0; i < plain.size(); ++i)
        coded.push_back(MirrorEncode(static_cast<int32_t>(i + 1), plain[i]));
    return coded;
}

// The Greek index, which the build adds: entries with a Greek headword, in GreekKey order.
// GreekKey drops Latin words, so "Φόρος" and "Φόρος Pigou" share a key; the shorter headword
// goes first, since the start-with lookup selects (and shows) the first item of equal keys.
// Ties beyond that keep the order of the authoring text.
std::vector<std::string> GreekIndexLines(const std::vector<BuildRecord> &records)
{
    struct Keyed
    {
        Cp1253 key;
        size_t length;
        const BuildRecord *record;
    };
    std::vector<Keyed> keyed;
    for (const BuildRecord &record : records)
        if (!record.greek.empty())
            keyed.push_back({GreekKey(record.greek, true), Trim(record.greek).size(), &record});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return a.key != b.key ? a.key < b.key : a.length < b.length;
    });
    std::vector<std::string> lines;
    for (const Keyed &k : keyed)
        lines.push_back(FormatShippedGreekLine(k.record->number, k.record->greek));
    return lines;
}

} // namespace

BuildResult ParseAuthoringText(const std::vector<std::string> &lines,
                               std::vector<std::string> &descriptions)
{
    BuildResult result;
    if (lines.empty() || lines.front().size() != kPreambleLength) {
        // Every offset and the header block read at start-up assume this length.
        result.error = "the first line of the authoring text must be the 603-character preamble";
        return result;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string::npos) {
            // The codecs end a text at a NUL byte, so it would not survive the coding.
            result.error = "line " + std::to_string(i + 1) + " holds a NUL byte";
            return result;
        }
    }
    const Cp1253 conversionHeader = "{" + lines.front();
    int64_t offset = kFirstDescriptionOffset;
    std::string buffer;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        if (line.find("[[[[") != std::string::npos)
            buffer = line;
        else
            buffer += line;
        if (line.find("]]]]") == std::string::npos)
            continue;

        const Cp1253 plain =
            TrimLeft(RtfToPlainText(conversionHeader + "\r\n" + TrimLeft(buffer) + "}"));
        const std::string_view afterEnglish = After(plain, "[[[[");
        BuildRecord record;
        record.number = static_cast<int>(result.records.size()) + 1;
        record.english =
            Trim(Before(afterEnglish, "[[[")).substr(0, ShippedEnglishLayout::headword.width);
        record.greek = Trim(Before(After(afterEnglish, "[[["), "[["))
                           .substr(0, ShippedGreekLayout::headword.width);

        std::string description(Before(After(After(After(buffer, "[[[["), "[[["), "[["), "]]]]"));
        if (!description.empty()) {
            if (description[0] == ' ')
                description.erase(0, 1);
            else if (description.compare(0, 2, ".\\") == 0)
                description.erase(0, 2);
        }
        if (description.empty())
            description = " ";
        record.offset = offset;
        record.length = static_cast<int64_t>(description.size());
        if (record.number > 99999 || record.length > 99999 || offset > 99999999) {
            // The index columns hold 5, 5 and 8 digits (ShippedEnglishLayout).
            result.error =
                "entry " + std::to_string(record.number) + " does not fit the index columns";
            return result;
        }
        offset += record.length + 2;
        descriptions.push_back(std::move(description));
        result.records.push_back(std::move(record));
    }
    if (result.records.size() > static_cast<size_t>(kMaxRecords)) {
        // The load would keep the first kMaxRecords and drop the rest without a word.
        result.error = "the authoring text holds " + std::to_string(result.records.size()) +
                       " entries; a dictionary holds at most " + std::to_string(kMaxRecords);
        result.tooManyEntries = true;
        result.records.clear();
        descriptions.clear();
        return result;
    }
    result.ok = true;
    return result;
}

BuildResult BuildDictionary(const fs::path &authoringText, const fs::path &dataFolder)
{
    BuildResult result;
    const auto text = ReadWholeFile(authoringText, kMaxAuthoringBytes);
    if (!text) {
        result.error = "cannot read the authoring text " + authoringText.string();
        return result;
    }
    const std::vector<std::string> lines = SplitLines(*text);
    std::vector<std::string> descriptions;
    result = ParseAuthoringText(lines, descriptions);
    if (!result.ok)
        return result;
    result.ok = false;

    // Step 1: the plain files.
    std::vector<std::string> descriptionLines = {lines.front()};
    descriptionLines.insert(descriptionLines.end(), descriptions.begin(), descriptions.end());
    std::vector<std::string> englishLines;
    for (const BuildRecord &r : result.records)
        englishLines.push_back(FormatShippedEnglishLine(r.number, r.english, r.offset, r.length));
    const std::vector<std::string> greekLines = GreekIndexLines(result.records);
    std::error_code ec;
    fs::create_directories(dataFolder, ec);
    const fs::path folder = ResolvePathCase(dataFolder);
    if (!WriteLines(folder / "Termdex_un.tbo", descriptionLines) ||
        !WriteLines(folder / "TermdexI_un.tbo", englishLines) ||
        !WriteLines(folder / "TermdexHI_un.tbo", greekLines)) {
        result.error = "cannot write the plain files in " + folder.string();
        return result;
    }

    // Step 2: the coded indexes, each line seeded with its 1-based number.
    // Step 3: the description file coded byte by byte with its 1-based file position.
    std::string plainDescriptions;
    for (const std::string &line : descriptionLines)
        plainDescriptions += line + "\r\n";
    if (!WriteLines(folder / "TermdexI.tbo", MirrorEncodeLines(englishLines)) ||
        !WriteLines(folder / "TermdexHI.tbo", MirrorEncodeLines(greekLines)) ||
        !WriteBytes(folder / "Termdex.tbo", DescriptionEncode(1, plainDescriptions))) {
        result.error = "cannot write the coded files in " + folder.string();
        return result;
    }
    result.ok = true;
    return result;
}

std::vector<int> CheckAllDescriptions(const ProgramPaths &paths)
{
    // The shipped data alone: the reader's entries point into his own description file.
    ProgramPaths shipped;
    shipped.programFolder = paths.programFolder;
    EntryIndex index;
    std::vector<std::string> refs;
    LoadEntryIndex(shipped, index, refs);
    const Cp1253 header = LoadRtfHeader(shipped).value_or(Cp1253());
    const auto file = ReadWholeFile(shipped.DescriptionFile(), 1LL << 32);

    std::vector<int> problems;
    Cp1253 plain;
    for (int r = 1; r <= index.englishCount; ++r) {
        const IndexRecord &record = index.english[r];
        const int64_t end = static_cast<int64_t>(record.descOffset) + record.descLength;
        if (!file || record.descOffset < 0 || end > static_cast<int64_t>(file->size())) {
            problems.push_back(r);
            continue;
        }
        // The stored bytes are decoded first, so the file is checked as it ships.
        const Cp1253 text =
            DescriptionDecode(record.descOffset + 1,
                              std::string_view(*file).substr(record.descOffset, record.descLength));
        // A document that is not rich text at all shows as its own source, as does one that the
        // reader could not take; either way the description would not display.
        const Cp1253 document = header + "\r\n" + TrimLeft(text) + " \\par \\par}";
        plain = RtfToPlainText(document);
        if (!LooksLikeRtf(document) || plain.compare(0, 5, "{\\rtf") == 0)
            problems.push_back(r);
    }
    return problems;
}

std::optional<ByteRange> ByteRangeOfFile(const fs::path &file)
{
    const auto text = ReadWholeFile(file, kMaxAuthoringBytes);
    if (!text)
        return std::nullopt;
    ByteRange range;
    for (const std::string &line : SplitLines(*text)) {
        for (char c : line) {
            const int b = static_cast<unsigned char>(c);
            range.max = std::max(range.max, b);
            range.min = std::min(range.min, b);
        }
    }
    return range;
}

} // namespace termdex
