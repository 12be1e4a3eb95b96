// A small dictionary written in the shipped and custom formats through the program's encoders:
// tests state entries as headwords and RTF bodies, and get a program folder to load.
#pragma once

#include "data/description_store.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "main/main_lex.h"
#include "tests/data/fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace termdex::testing {

// The demo dictionary and content folder that the build writes (TERMDEX_BUILD_DIR as ctest sets
// it; run by hand, the current folder). The tests that read them depend on their targets, so a
// missing file is a broken build: the caller's ASSERT fails rather than skipping.
inline ProgramPaths DemoPaths()
{
    const char *build = std::getenv("TERMDEX_BUILD_DIR");
    ProgramPaths paths;
    paths.programFolder = build != nullptr && *build != '\0' ? build : ".";
    return paths;
}
inline ::testing::AssertionResult DemoIsBuilt(const ProgramPaths &paths)
{
    for (const std::filesystem::path &file :
         {paths.ShippedEnglishIndex(), paths.ContentFolder() / "fil.tbo"})
        if (!FileExists(file))
            return ::testing::AssertionFailure() << file << " is not built";
    return ::testing::AssertionSuccess();
}

// UTF-8 source text as code page 1253 bytes.
inline Cp1253 Cp(const std::string &utf8)
{
    const Utf8Conversion converted = Utf8ToCp1253(utf8);
    EXPECT_TRUE(converted.text.has_value()) << utf8;
    return converted.text.value_or(Cp1253());
}

// Code page 1253 text written as RTF: bytes above 0x7F as \'hh escapes, braces and backslashes
// escaped.
inline std::string RtfEscape(const Cp1253 &text)
{
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
        } else if (ch == '{' || ch == '}' || ch == '\\') {
            out += '\\';
            out += ch;
        } else {
            out += ch;
        }
    }
    return out;
}

// A preamble as the shipped file holds it (without the opening brace), padded to 603 bytes.
inline std::string
HeaderBlock(std::string preamble = "\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss"
                                   "\\fcharset161 Arial;}}\\pard\\plain\\f0\\fs20 ")
{
    // Filled up with an ignorable group, so the padding adds no text.
    const std::string open = "{\\*\\termdexpad ", close = "}";
    if (preamble.size() + open.size() + close.size() < static_cast<size_t>(kHeaderBlockSize))
        preamble +=
            open +
            std::string(kHeaderBlockSize - preamble.size() - open.size() - close.size(), 'x') +
            close;
    preamble.resize(kHeaderBlockSize, ' ');
    return preamble;
}

struct ShippedEntry
{
    Cp1253 english;
    Cp1253 greek;     // empty: no Greek line for this entry
    std::string body; // the RTF fragment of its description
    int matchStart = 1;
};

// The reader's own entry, placed after the shipped entry with id anchor.
struct OwnEntry
{
    int anchor = 0;
    int id = 0; // 20001 and up, as the editor numbers them
    Cp1253 english;
    Cp1253 greek;
    std::string body;
};

// A supplement to the shipped entry with id anchor.
struct Supplement
{
    int anchor = 0;
    std::string body;
};

class DictionaryTest : public ProgramFolderTest
{
protected:
    // Shipped entries get ids 1, 2, ... in order; their descriptions follow the header block.
    // The Greek lines follow the entries, or GreekKey order (as the build writes them) when
    // greekInKeyOrder is set.
    void WriteShipped(const std::vector<ShippedEntry> &entries,
                      const std::string &headerBlock = HeaderBlock())
    {
        std::vector<std::string> english;
        std::vector<std::pair<Cp1253, std::string>> greek;
        std::string descriptions = DescriptionEncode(1, headerBlock);
        for (size_t i = 0; i < entries.size(); ++i) {
            const ShippedEntry &entry = entries[i];
            const auto offset = static_cast<long long>(descriptions.size());
            descriptions += DescriptionEncode(static_cast<int32_t>(offset + 1), entry.body);
            english.push_back(EnglishLine(static_cast<int>(i + 1), entry.english, offset,
                                          static_cast<int>(entry.body.size()), entry.matchStart));
            if (!entry.greek.empty())
                greek.emplace_back(GreekKey(entry.greek, true),
                                   GreekLine(static_cast<int>(i + 1), entry.greek));
        }
        if (greekInKeyOrder)
            std::stable_sort(greek.begin(), greek.end(), [](const auto &a, const auto &b) {
                return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(),
                                                    b.first.end(), [](char x, char y) {
                                                        return static_cast<unsigned char>(x) <
                                                               static_cast<unsigned char>(y);
                                                    });
            });
        std::vector<std::string> greekLines;
        for (const auto &line : greek)
            greekLines.push_back(line.second);
        WriteShippedIndex("TermdexI.tbo", english);
        WriteShippedIndex("TermdexHI.tbo", greekLines);
        WriteFile(paths.DescriptionFile(), descriptions);
    }

    // The custom files; anchors must follow the shipped order (as the editor writes them).
    void WriteCustom(const std::vector<OwnEntry> &own, const std::vector<Supplement> &supplements)
    {
        struct Line
        {
            int anchor;
            std::string english, greek;
        };
        std::vector<Line> lines;
        std::string descriptions;
        auto place = [&](const std::string &body) {
            const auto position = static_cast<long long>(descriptions.size()) + 1;
            descriptions += ShiftCodec(body, false);
            return position;
        };
        for (const OwnEntry &entry : own) {
            const long long position = place(entry.body);
            lines.push_back({entry.anchor,
                             CustomEnglishLine(entry.anchor, entry.id, entry.english, position,
                                               static_cast<int>(entry.body.size())),
                             entry.greek.empty()
                                 ? std::string()
                                 : CustomGreekLine(entry.anchor, entry.id, entry.greek)});
        }
        for (const Supplement &supplement : supplements) {
            const long long position = place(supplement.body);
            lines.push_back({supplement.anchor,
                             CustomEnglishLine(supplement.anchor, supplement.anchor, "", position,
                                               static_cast<int>(supplement.body.size())),
                             {}});
        }
        std::stable_sort(lines.begin(), lines.end(),
                         [](const Line &a, const Line &b) { return a.anchor < b.anchor; });
        std::vector<std::string> english, greek;
        for (const Line &line : lines) {
            english.push_back(line.english);
            if (!line.greek.empty())
                greek.push_back(line.greek);
        }
        WriteCustomIndex(paths.customIndexPath, english);
        WriteCustomIndex(paths.customGreekIndexPath, greek);
        WriteFile(paths.customDescriptionPath, descriptions);
    }

    // A core over the folder, shown once (the index loaded), on files.
    MainLexCore &Open(KeyboardLayouts *keyboard = nullptr, MainLexLimits limits = {})
    {
        core = std::make_unique<MainLexCore>(paths, *files, keyboard, limits);
        core->FormShow();
        return *core;
    }

    // Item texts of the list, as the list shows them.
    std::vector<Cp1253> Items() const { return core->State().listItems; }
    // The English record of a headword, 0 when there is none.
    int RecordOf(const Cp1253 &english) const
    {
        for (int r = 1; r <= core->Index().englishCount; ++r)
            if (core->Index().english[r].headword == english)
                return r;
        return 0;
    }

    FileSystem *files = &RealFileSystem(); // what the next Open's core reads and writes through
    std::unique_ptr<MainLexCore> core;
    bool greekInKeyOrder = false;
};

} // namespace termdex::testing
