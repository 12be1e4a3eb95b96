#include "tools/content_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace termdex {
namespace {
namespace fs = std::filesystem;

const Cp1253 kPreamble = "\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fcharset161 Arial;}}";
const Cp1253 kSee = "\xe2\xeb.";                 // βλ.
const Cp1253 kFigure = "[\xd3\xf7\xde\xec\xe1]"; // [Σχήμα]
const Cp1253 kWords =
    " one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen.";

struct Entry
{
    Cp1253 english, greek, description;
};

AuthoredEntries Entries(const std::vector<Entry> &list)
{
    AuthoredEntries entries;
    entries.preamble = kPreamble;
    for (const Entry &e : list) {
        BuildRecord record;
        record.number = static_cast<int>(entries.records.size()) + 1;
        record.english = e.english;
        record.greek = e.greek;
        entries.records.push_back(record);
        entries.descriptions.push_back(e.description);
    }
    return entries;
}

std::vector<Cp1253> Reasons(const std::vector<ContentFinding> &findings, Cp1253View entry)
{
    std::vector<Cp1253> reasons;
    for (const ContentFinding &f : findings)
        if (f.entry == entry)
            reasons.push_back(f.reason);
    return reasons;
}

bool HasReason(const std::vector<ContentFinding> &findings, Cp1253View entry, Cp1253View start)
{
    const auto reasons = Reasons(findings, entry);
    return std::any_of(reasons.begin(), reasons.end(),
                       [&](const Cp1253 &r) { return r.rfind(start, 0) == 0; });
}

class ContentCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // ctest runs each case in a process of its own, side by side: one folder per process.
        folder = fs::path(::testing::TempDir()) /
                 ("termdex-content-check-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "content");
    }
    // A bitmap, listed in the install manifest unless told otherwise.
    void TearDown() override { fs::remove_all(folder); }
    void Bitmap(const std::string &name, bool listed = true)
    {
        std::ofstream(folder / "content" / name) << "BM";
        if (listed)
            std::ofstream(folder / "content" / "fil.tbo", std::ios::app) << name << "\r\n";
    }
    fs::path folder;
};

TEST_F(ContentCheckTest, SoundEntriesPass)
{
    Bitmap("Fig_Supplyanddemand.bmp");
    const AuthoredEntries entries = Entries({
        {"Supply and demand", "\xc6\xde\xf4\xe7\xf3\xe7", // Ζήτηση
         "{\\b Supply}" + kWords + " " + kFigure + " (" + kSee +
             " {\\b GDP, inflation}, {\\b First in, first out (FIFO)})."},
        {"First in, first out (FIFO)", "FIFO", "Stock" + kWords},
        {"GDP", "\xc1\xc5\xd0",
         "Abbreviation" + kWords + " (" + kSee + " {\\b Gross domestic product})."},
        {"Gross domestic product", "\xc1\xc5\xd0", "Output" + kWords},
        {"Inflation", "\xd0\xeb\xe7\xe8\xf9\xf1\xe9\xf3\xec\xfc\xf2", "Prices" + kWords},
    });
    const ContentReport report = CheckContent(entries, folder, {});
    for (const ContentFinding &f : report.errors)
        ADD_FAILURE() << f.entry << ": " << f.reason;
    EXPECT_TRUE(report.warnings.empty());
}

TEST_F(ContentCheckTest, EachFaultIsReportedWithItsEntry)
{
    Bitmap("Fig_Unused.bmp");
    Bitmap("Fig_Tax.bmp", false);
    const AuthoredEntries entries = Entries({
        {"Tax", "\xd6\xfc\xf1\xef\xf2",
         "A tax" + kWords + " " + kFigure + " (" + kSee + " {\\b Tax base}, {\\b Nowhere})."},
        {"tax", "\xc1\xeb\xeb\xef", "Again" + kWords}, // duplicate, letter case aside
        {"Tax base", "\xd6\xfc\xf1\xef\xf2",
         "Base" + kWords}, // shares "Φόρος" with "Tax", which refers to it
        {"Levy", "\xd6\xfc\xf1\xef\xf2", "Levy" + kWords}, // shares "Φόρος" with no link at all
        {"Cost", "K\xfc\xf3\xf4\xef\xf2", "Cost" + kWords + " " + kFigure}, // Latin K in "Κόστος"
        {"Short", "\xcb\xdd\xee\xe7", "Too short."},
    });
    const ContentReport report = CheckContent(entries, folder, {});
    EXPECT_TRUE(HasReason(report.errors, "Tax", "\"" + kSee + "\" names no headword: Nowhere"));
    EXPECT_TRUE(HasReason(report.errors, "tax", "duplicate English headword"));
    // "Tax" refers to "Tax base", so the two may share a rendering; "Levy" refers to nothing.
    EXPECT_FALSE(HasReason(report.errors, "Tax base", "Greek headword shared"));
    EXPECT_TRUE(HasReason(report.errors, "Levy", "Greek headword shared"));
    EXPECT_TRUE(HasReason(report.errors, "Cost", "Latin and Greek letters in one word"));
    EXPECT_TRUE(HasReason(report.errors, "Cost", "figure missing: Fig_Cost.bmp"));
    EXPECT_TRUE(HasReason(report.errors, "Short", "description of 2 words"));
    EXPECT_TRUE(HasReason(report.errors, "Fig_Unused.bmp", "no entry refers to this figure"));
    EXPECT_TRUE(HasReason(report.errors, "Fig_Tax.bmp", "missing from the install manifest"));
    EXPECT_FALSE(HasReason(report.errors, "Fig_Tax.bmp", "no entry refers"));
}

TEST_F(ContentCheckTest, UnknownGreekWordsAreWarningsOnce)
{
    const Cp1253 word = "\xe1\xe3\xe1\xe8\xfc"; // αγαθό
    const AuthoredEntries entries = Entries({
        {"Good", word, word + " " + word + " \xc1\xc5\xd0" + kWords}, // and "ΑΕΠ", an abbreviation
        {"Goods", "\xe1\xe3\xe1\xe8\xdc", word + kWords},
        {"Exercise", "\xa2\xf3\xea\xe7\xf3\xe7",
         "\xa2\xf3\xea\xe7\xf3\xe7" + kWords}, // "Άσκηση", looked up whole
    });
    const ContentReport report = CheckContent(entries, folder, [&](Cp1253View w) {
        return w != word && w != "\xc1\xc5\xd0" && w != "\xf3\xea\xe7\xf3\xe7";
    });
    EXPECT_TRUE(report.errors.empty());
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].entry, "Good");
}

} // namespace
} // namespace termdex
