#include "main/figures.h"

#include "lib/cp1253.h"
#include "lib/files.h"
#include "tests/main/dictionary_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace termdex {
namespace {

using testing::Cp;

struct Selection
{
    Cp1253 text;
    size_t start = 0, length = 0;
};

// Selects the n-th occurrence (0-based) of what in text, both given as UTF-8.
Selection Select(const std::string &text, const std::string &what, int n = 0)
{
    Selection s;
    s.text = Cp(text);
    const Cp1253 target = Cp(what);
    size_t at = s.text.find(target);
    for (int i = 0; i < n && at != Cp1253::npos; ++i)
        at = s.text.find(target, at + 1);
    EXPECT_NE(at, Cp1253::npos) << what;
    s.start = at;
    s.length = target.size();
    return s;
}

std::optional<Cp1253> NumberOf(const Selection &s)
{
    return FigureNumber(Cp1253View(s.text).substr(s.start, s.length), s.text, s.start, s.length);
}

TEST(FigureNumberTest, ReferencesAndTheirNumbers)
{
    struct Row
    {
        const char *text;
        const char *selected;
        std::optional<const char *> number; // nullopt: no reference
    };
    const Row rows[] = {
        {"όπως στο [Σχήμα3]. Η", "Σχήμα", "3"},
        {"όπως στο [Σχήμα1]. Η", "Σχήμα1", "1"},
        {"όπως στο [Σχήμα2]. Η", "Σχήμα2", "2"},
        {"όπως στο [Σχήμα2]. Η", "Σχήμα", "2"},
        {"όπως στο [Σχήμα]. Η", "Σχήμα", ""},
        {"όπως στο [Σχήμα0]. Η", "Σχήμα", ""}, // figure 0 is never used
        // The selection holds the bracket: the digit before its last "]".
        {"όπως στο [Σχήμα4] και", "[Σχήμα4] και", "4"},
        {"στο [Σχήμα1] και στο [Σχήμα2].", "[Σχήμα1] και στο [Σχήμα2]", "2"},
        {"στο [Σχήμα5", "[Σχήμα5", "5"}, // no "]": the last character is looked at twice
        // Two digits still reach the "]"; three do not, and the digit before the last one counts.
        {"στο [Σχήμα12].", "Σχήμα", "2"},
        {"στο [Σχήμα10].", "Σχήμα", ""},
        {"στο [Σχήμα123].", "Σχήμα", "2"},
        // At the end of the text only the characters that exist are looked at.
        {"στο [Σχήμα", "Σχήμα", ""},
        {"Σχήμα", "Σχήμα", ""},
        {"Σχήμα1", "Σχήμα1", "1"},
        // Not references.
        {"όπως στο [σχήμα3]. Η", "σχήμα", std::nullopt},
        {"τα Σχήματα3]", "Σχήματα", std::nullopt},
        {"όπως στο [Σχήμα3]. Η", "Σχήμα3", std::nullopt},
        {"όπως στο [Σχήμα3]. Η", "όπως", std::nullopt},
        {"όπως στο [Σχήμα3]. Η", "Σχήμα3]", std::nullopt},
    };
    for (const Row &row : rows) {
        const std::optional<Cp1253> number = NumberOf(Select(row.text, row.selected));
        if (!row.number) {
            EXPECT_FALSE(number.has_value()) << row.text << " / " << row.selected;
        } else {
            ASSERT_TRUE(number.has_value()) << row.text << " / " << row.selected;
            EXPECT_EQ(*number, *row.number) << row.text << " / " << row.selected;
        }
    }
}

TEST(FigureNumberTest, SelectionOutsideTheTextReadsNothingPastItsEnd)
{
    const Cp1253 word = Cp("Σχήμα");
    EXPECT_EQ(FigureNumber(word, "", 0, word.size()), Cp1253());
    EXPECT_EQ(FigureNumber(word, "abc", 100, word.size()), Cp1253());
    EXPECT_EQ(FigureNumber(word, Cp("[Σχήμα7]"), 1, 0), Cp1253()); // a length the view never gives
    EXPECT_EQ(FigureNumber("", "", 0, 0), std::nullopt);
}

TEST(FigureNameTest, SlashApostropheAndTenSpacesGo)
{
    struct Row
    {
        const char *term;
        const char *name;
    };
    const Row rows[] = {
        {"Supply and demand", "Supplyanddemand"},
        {"IS-LM model", "IS-LMmodel"},
        {"P/E ratio's x", "PEratiosx"},
        {"a/b/c", "ab/c"},
        {"it's Arrow's", "itsArrow's"},
        {"a b c d e f g h i j k l m", "abcdefghijk l m"}, // twelve spaces: two stay
        {"Καμπύλη Phillips", "ΚαμπύληPhillips"},
        {"", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FigureTermName(Cp(row.term)), Cp(row.name)) << row.term;
}

class FigureFileTest : public testing::DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        WriteShipped(
            {{"Supply and demand", Cp("Προσφορά και ζήτηση"),
              testing::RtfEscape(Cp("όπως στο [Σχήμα]. Και στο [Σχήμα2].")) + "\\par "},
             {"P/E ratio", Cp("Λόγος τιμής"), testing::RtfEscape(Cp("βλ. [Σχήμα1].")) + "\\par "},
             {"In/out/flow", Cp("Ροή"), testing::RtfEscape(Cp("[Σχήμα1]")) + "\\par "}});
        Open();
        std::filesystem::create_directories(paths.programFolder / "content");
    }

    void Figure(const std::string &name)
    {
        WriteFile(paths.programFolder / "content" / name, "BM");
    }

    std::optional<std::filesystem::path> SelectIn(int record, const std::string &what, int n = 0)
    {
        EXPECT_TRUE(core->ShowRecord(record));
        const Cp1253 &text = core->State().descriptionText;
        const Cp1253 target = Cp(what);
        size_t at = text.find(target);
        for (int i = 0; i < n && at != Cp1253::npos; ++i)
            at = text.find(target, at + 1);
        EXPECT_NE(at, Cp1253::npos);
        return Description_TextSelectionChange(*core, target, text, at, target.size());
    }
};

TEST_F(FigureFileTest, ExistingFigureOfTheEntryIsFound)
{
    const int supply = RecordOf("Supply and demand");
    EXPECT_EQ(SelectIn(supply, "Σχήμα"), std::nullopt); // no file yet
    Figure("Fig_Supplyanddemand.bmp");
    EXPECT_EQ(SelectIn(supply, "Σχήμα"), paths.programFolder / "content/Fig_Supplyanddemand.bmp");
    EXPECT_EQ(SelectIn(supply, "Σχήμα2"), std::nullopt);
    Figure("Fig_Supplyanddemand2.bmp");
    EXPECT_EQ(SelectIn(supply, "Σχήμα2"), paths.programFolder / "content/Fig_Supplyanddemand2.bmp");
    EXPECT_EQ(SelectIn(supply, "Σχήμα", 1),
              paths.programFolder / "content/Fig_Supplyanddemand2.bmp");
    EXPECT_EQ(SelectIn(supply, "όπως"), std::nullopt);
}

TEST_F(FigureFileTest, GreekModeTakesTheEnglishTermFromTheRenderingLabel)
{
    Figure("Fig_Supplyanddemand.bmp");
    core->SetLanguageMode(true);
    const std::optional<std::filesystem::path> file =
        SelectIn(RecordOf("Supply and demand"), "Σχήμα");
    EXPECT_EQ(file, paths.programFolder / "content/Fig_Supplyanddemand.bmp");
}

TEST_F(FigureFileTest, LetterCaseOfTheFolderAndFileDoesNotMatter)
{
    std::filesystem::remove_all(paths.programFolder / "content");
    std::filesystem::create_directories(paths.programFolder / "Content");
    WriteFile(paths.programFolder / "Content" / "FIG_SUPPLYANDDEMAND.BMP", "BM");
    EXPECT_EQ(SelectIn(RecordOf("Supply and demand"), "Σχήμα"),
              paths.programFolder / "Content/FIG_SUPPLYANDDEMAND.BMP");
}

TEST_F(FigureFileTest, NoContentFolderOpensNothing)
{
    std::filesystem::remove_all(paths.programFolder / "content");
    EXPECT_EQ(SelectIn(RecordOf("Supply and demand"), "Σχήμα"), std::nullopt);
}

TEST_F(FigureFileTest, SlashOfTheTermIsRemovedAndNoFolderIsFollowed)
{
    EXPECT_EQ(SelectIn(RecordOf("P/E ratio"), "Σχήμα"), std::nullopt);
    Figure("Fig_PEratio1.bmp");
    EXPECT_EQ(SelectIn(RecordOf("P/E ratio"), "Σχήμα"),
              paths.programFolder / "content/Fig_PEratio1.bmp");
    EXPECT_EQ(SelectIn(RecordOf("P/E ratio"), "Σχήμα1"),
              paths.programFolder / "content/Fig_PEratio1.bmp");

    // A second slash stays in the name; it would lead into a folder, and is refused.
    std::filesystem::create_directories(paths.programFolder / "content/Fig_Inout");
    Figure("Fig_Inout/flow1.bmp");
    EXPECT_EQ(SelectIn(RecordOf("In/out/flow"), "Σχήμα"), std::nullopt);
}

// Every figure reference of the demo dictionary names a figure that is shipped.
TEST(DemoFiguresTest, EveryReferenceOfTheDemoFindsItsFigure)
{
    const ProgramPaths paths = testing::DemoPaths();
    ASSERT_TRUE(testing::DemoIsBuilt(paths));
    MainLexCore core(paths, RealFileSystem());
    ASSERT_TRUE(core.FormShow().complete);
    const Cp1253 reference = Cp("[Σχήμα");
    int found = 0;
    for (int r = 1; r <= core.Index().englishCount; ++r) {
        if (!core.ShowRecord(r))
            continue;
        const Cp1253 text = core.State().descriptionText;
        for (size_t at = text.find(reference); at != Cp1253::npos;
             at = text.find(reference, at + 1)) {
            const auto file = Description_TextSelectionChange(core, Cp("Σχήμα"), text, at + 1,
                                                              Cp("Σχήμα").size());
            EXPECT_TRUE(file.has_value()) << Cp1253ToUtf8(core.State().entryLabel);
            found += file.has_value();
        }
    }
    EXPECT_GE(found, 10);
}

// The installer copies only what the manifest names, so a figure left out of it would be
// missing from every installed copy; and each figure is the plain 400 x 300, 24-bit bitmap
// that the figure window is laid out for.
TEST(DemoFiguresTest, EveryShippedFigureIsInTheManifestAndIsA24BitBitmap)
{
    const ProgramPaths paths = testing::DemoPaths();
    ASSERT_TRUE(testing::DemoIsBuilt(paths));
    const auto manifest = ReadWholeFile(paths.ContentFolder() / "fil.tbo", 1 << 20);
    ASSERT_TRUE(manifest.has_value());
    const std::vector<std::string> listed = SplitLines(*manifest);
    const auto le = [](const std::string &bytes, size_t at, size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
        return value;
    };
    int figures = 0;
    for (const auto &entry : std::filesystem::directory_iterator(paths.ContentFolder())) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("Fig_") || !name.ends_with(".bmp"))
            continue;
        ++figures;
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
        const auto header = ReadFileRange(entry.path(), 0, 54);
        ASSERT_TRUE(header.has_value()) << name;
        EXPECT_EQ(header->substr(0, 2), "BM") << name;
        EXPECT_EQ(le(*header, 14, 4), 40u) << name << ": header size";
        EXPECT_EQ(le(*header, 18, 4), 400u) << name << ": width";
        EXPECT_EQ(le(*header, 22, 4), 300u) << name << ": height";
        EXPECT_EQ(le(*header, 28, 2), 24u) << name << ": bits per pixel";
        EXPECT_EQ(le(*header, 30, 4), 0u) << name << ": compression";
    }
    EXPECT_GE(figures, 40);
}

} // namespace
} // namespace termdex
