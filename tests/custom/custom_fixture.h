// A shipped dictionary in a temporary program folder, a custom folder beside it, and helpers
// that run the editing operations and read the custom files back decoded.
#pragma once

#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "tests/main/dictionary_fixture.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace termdex::testing {

// UTF-8 source text as code page 1253.
inline Cp1253 G(const std::string &utf8) { return Utf8ToCp1253(utf8).text.value(); }

// Shipped entries are written by DictionaryTest::WriteShipped, with empty descriptions unless
// given, and their Greek lines in key order as the editor expects them.
class CustomFilesTest : public DictionaryTest
{
protected:
    CustomFilesTest() { greekInKeyOrder = true; }

    // Six shipped entries, ids 1..6, in English key order.
    void WriteSmallDictionary()
    {
        WriteShipped({{"alpha", G("άλφα"), {}},
                      {"beta", G("βήτα"), {}},
                      {"delta", G("δέλτα"), {}},
                      {"gamma", G("γάμμα"), {}},
                      {"omega", G("ωμέγα"), {}},
                      {"sigma", G("σίγμα"), {}}});
    }

    void Load()
    {
        refs.clear();
        LoadEntryIndex(paths, index, refs);
    }
    EditStatus Insert(const Cp1253 &english, const Cp1253 &greek = {},
                      const Cp1253 &description = {})
    {
        const EditStatus status =
            InsertEntry(paths, index, {english, greek, description}, RealFileSystem());
        Load();
        return status;
    }
    EditStatus Update(int record, const Cp1253 &description, Cp1253 english = {}, Cp1253 greek = {})
    {
        if (english.empty())
            english = index.english[record].headword;
        const EditStatus status = UpdateEntry(paths, index, record, index.english[record].kind,
                                              {english, greek, description}, RealFileSystem());
        Load();
        return status;
    }
    EditStatus Delete(int record)
    {
        const EditStatus status = DeleteEntry(paths, index, record, RealFileSystem());
        Load();
        return status;
    }

    // The English record with this headword, 0 for none.
    int Record(const Cp1253 &headword) const
    {
        for (int r = 1; r <= index.englishCount; ++r)
            if (index.english[r].headword == headword)
                return r;
        return 0;
    }
    static std::optional<std::string> Bytes(const std::string &path)
    {
        if (!FileExists(path))
            return std::nullopt;
        return ReadWholeFile(path, 1 << 26);
    }
    // The lines of a custom index file, decoded.
    static std::vector<Cp1253> Lines(const std::string &path)
    {
        std::vector<Cp1253> lines;
        for (const std::string &line : SplitLines(Bytes(path).value_or("")))
            lines.push_back(ShiftCodec(line, true));
        return lines;
    }
    // The stored description of an English record of kind 'C', decoded.
    Cp1253 StoredOf(int record) const
    {
        const IndexRecord &r = index.english[record];
        const auto bytes =
            ReadFileRange(paths.customDescriptionPath, r.descOffset - 1, r.descLength);
        return ShiftCodec(bytes.value_or("?"), true);
    }
    // The stored supplement of an English record of kind 'A', decoded.
    Cp1253 SupplementOf(int record) const
    {
        const std::string &ref = refs.at(static_cast<size_t>(index.english[record].supplementRef));
        const auto bytes =
            ReadFileRange(paths.customDescriptionPath, std::stoll(ref.substr(0, 8)) - 1,
                          std::stoll(ref.substr(8, 5)));
        return ShiftCodec(bytes.value_or("?"), true);
    }
    // The Greek headword paired with English record r.
    Cp1253 GreekOf(int record) const
    {
        return Cp1253(index.greek[index.english[record].greekIndex].headword);
    }

    EntryIndex index;
    std::vector<std::string> refs;
};

// The custom description file's position rule and the order rules of both custom indexes;
// empty when they all hold, else what broke.
inline std::string CheckInvariants(const ProgramPaths &paths)
{
    const auto english = ReadWholeFile(paths.customIndexPath, 1 << 26).value_or("");
    const auto greek = ReadWholeFile(paths.customGreekIndexPath, 1 << 26).value_or("");
    const auto files = ParseCustomFiles(english, greek);
    if (!files)
        return "unparsable custom index";
    long long expected = 1;
    long long previousAnchor = -1;
    for (const CustomLine &line : files->english) {
        if (line.position != expected)
            return "position " + std::to_string(line.position) + " where " +
                   std::to_string(expected) + " belongs";
        if (line.anchor < previousAnchor)
            return "anchors decrease";
        previousAnchor = line.anchor;
        expected += line.length;
    }
    const long long size = static_cast<long long>(
        ReadWholeFile(paths.customDescriptionPath, 1 << 28).value_or("").size());
    if (size != expected - 1)
        return "description file holds " + std::to_string(size) + " bytes, lines say " +
               std::to_string(expected - 1);
    Cp1253 previousKey;
    for (const Cp1253 &line : files->greek) {
        const Cp1253 key = GreekKey(Columns(line, 11, 90), true);
        if (std::lexicographical_compare(
                key.begin(), key.end(), previousKey.begin(), previousKey.end(), [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                }))
            return "Greek keys decrease";
        previousKey = key;
    }
    return {};
}

} // namespace termdex::testing
