#include "tools/maintenance.h"

#include "data/description_store.h"
#include "data/entry_index.h"
#include "lib/codecs.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "richtext/plain_text.h"
#include "tests/data/fixture.h"
#include "tests/tools/cli_runner.h"

#include <algorithm>

namespace termdex {
namespace {
using namespace termdex::testing;

const std::string kPreamble = [] {
    std::string p = "\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fcharset161 Arial;}"
                    "{\\f60\\fcharset161 Tahoma;}}{\\*\\pad ";
    p.resize(602, 'x');
    return p + "}";
}();

TEST(MaintenanceTest, AuthoringEntriesBecomeRecordsWithRunningOffsets)
{
    const std::vector<std::string> lines = {
        kPreamble,
        "[[[[Tax[[[\\'f6\\'fc\\'f1\\'ef\\'f2[[ \\f60 A tax.]]]]",
        "[[[[  Empty  [[[[[]]]]",                        // no Greek headword, no description
        "[[[[Two lines[[[\\'e4\\'fd\\'ef[[.\\f60 first", // a ".\" prefix, then a second line
        " and second]]]]",
    };
    std::vector<std::string> descriptions;
    const BuildResult result = ParseAuthoringText(lines, descriptions);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.records.size(), 3u);
    EXPECT_EQ(result.records[0].english, "Tax");
    EXPECT_EQ(result.records[0].greek, "\xF6\xFC\xF1\xEF\xF2");
    EXPECT_EQ(result.records[0].offset, 605);
    EXPECT_EQ(descriptions[0], "\\f60 A tax.");
    EXPECT_EQ(result.records[0].length, 11);
    // An empty description is a single blank and still advances the offset by 3.
    EXPECT_EQ(result.records[1].english, "Empty");
    EXPECT_EQ(result.records[1].greek, "");
    EXPECT_EQ(descriptions[1], " ");
    EXPECT_EQ(result.records[1].offset, 605 + 13);
    EXPECT_EQ(result.records[2].offset, 605 + 13 + 3);
    EXPECT_EQ(descriptions[2], "f60 first and second");
}

TEST(MaintenanceTest, LongHeadwordsAreCut)
{
    const std::vector<std::string> lines = {kPreamble, "[[[[" + std::string(200, 'e') + "[[[" +
                                                           std::string(200, 'g') + "[[x]]]]"};
    std::vector<std::string> descriptions;
    const BuildResult result = ParseAuthoringText(lines, descriptions);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records[0].english.size(), 126u);
    EXPECT_EQ(result.records[0].greek.size(), 141u);
}

TEST(MaintenanceTest, PreambleOfTheWrongLengthIsRefused)
{
    std::vector<std::string> descriptions;
    EXPECT_FALSE(ParseAuthoringText({"\\rtf1 short", "[[[[a[[[b[[c]]]]"}, descriptions).ok);
    EXPECT_FALSE(ParseAuthoringText({}, descriptions).ok);
}

class BuildTest : public ProgramFolderTest
{
};

TEST_F(BuildTest, MoreEntriesThanATableHoldsAreRefusedAndNothingIsWritten)
{
    std::string text = kPreamble + "\r\n";
    for (int i = 0; i <= kMaxRecords; ++i)
        text += "[[[[e" + std::to_string(i) + "[[[[[x]]]]\r\n";
    WriteFile(m_root / "authoring.txt", text);
    const CliResult r =
        RunCli("--program-folder " + ShellQuote(paths.programFolder.string()) +
                   " build --authoring " + ShellQuote((m_root / "authoring.txt").string()),
               {}, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("30002 entries"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("30001"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(paths.programFolder / "data" / "TermdexI.tbo"));
}

TEST_F(BuildTest, BuiltFilesLoadBackWithTheirDescriptionsAndGreekOrder)
{
    const std::string text = kPreamble + "\r\n" +
                             "[[[[Alpha[[[\\'e2\\'e7\\'f4\\'e1[[\\f60 one]]]]\r\n" +
                             "[[[[Beta[[[\\'c1\\'eb\\'f6\\'e1[[\\f60 two\\par three]]]]\r\n" +
                             "[[[[Gamma[[[[[\\f60 none]]]]\r\n";
    WriteFile(m_root / "authoring.txt", text);
    const BuildResult result =
        BuildDictionary(m_root / "authoring.txt", paths.programFolder / "data");
    ASSERT_TRUE(result.ok) << result.error;

    ProgramPaths shipped;
    shipped.programFolder = paths.programFolder;
    EntryIndex index;
    std::vector<std::string> refs;
    ASSERT_TRUE(LoadEntryIndex(shipped, index, refs).complete);
    ASSERT_EQ(index.englishCount, 3);
    ASSERT_EQ(index.greekCount, 2); // Gamma has no Greek headword
    // "Άλφα" sorts before "βήτα" by GreekKey.
    EXPECT_EQ(index.greek[1].headword, "\xC1\xEB\xF6\xE1");
    EXPECT_EQ(index.greek[1].englishIndex, 2);
    EXPECT_EQ(index.english[1].greekIndex, 2);
    EXPECT_EQ(index.english[3].greekIndex, 0);

    const auto header = LoadRtfHeader(shipped);
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, "{" + kPreamble);
    const auto source = DescriptionSourceFor(shipped, index.english[2], refs);
    ASSERT_TRUE(source);
    const auto document = ReadDescriptionDocument(*header, *source);
    ASSERT_TRUE(document);
    EXPECT_EQ(RtfToPlainText(*document), "two\r\nthree\r\n\r\n");
    EXPECT_TRUE(CheckAllDescriptions(shipped).empty());

    // The plain English index line is the 152-character layout.
    const auto plain = ReadWholeFile(paths.programFolder / "data" / "TermdexI_un.tbo", 1 << 20);
    ASSERT_TRUE(plain);
    const std::string first = SplitLines(*plain)[0];
    EXPECT_EQ(first, EnglishLine(1, "Alpha", 605, 8));
}

TEST_F(BuildTest, EqualGreekKeysPutTheShorterHeadwordFirstThenAuthoringOrder)
{
    // "Φόρος Pigou", "Φόρος X" and "Φόρος" share the key "φορος" (Latin words drop out); the
    // second "Φόρος" ties with the first and stays after it, as authored.
    const std::string phoros = "\\'d6\\'fc\\'f1\\'ef\\'f2";
    const std::string text = kPreamble + "\r\n" + "[[[[Pigouvian tax[[[" + phoros +
                             " Pigou[[x]]]]\r\n" + "[[[[Tax X[[[" + phoros + " X[[x]]]]\r\n" +
                             "[[[[Tax[[[" + phoros + "[[x]]]]\r\n" + "[[[[Tax 2[[[" + phoros +
                             "[[x]]]]\r\n";
    WriteFile(m_root / "authoring.txt", text);
    ASSERT_TRUE(BuildDictionary(m_root / "authoring.txt", paths.programFolder / "data").ok);
    ProgramPaths shipped;
    shipped.programFolder = paths.programFolder;
    EntryIndex index;
    std::vector<std::string> refs;
    ASSERT_TRUE(LoadEntryIndex(shipped, index, refs).complete);
    ASSERT_EQ(index.greekCount, 4);
    std::vector<int> order;
    for (int g = 1; g <= 4; ++g)
        order.push_back(index.greek[g].englishIndex);
    EXPECT_EQ(order, (std::vector<int>{3, 4, 2, 1}));
}

TEST_F(BuildTest, CheckFindsDescriptionsThatDoNotLoad)
{
    // A preamble that is not rich text makes every description fail.
    std::string bad = "not rich text";
    bad.resize(603, 'x');
    WriteFile(m_root / "authoring.txt", bad + "\r\n[[[[A[[[[[x]]]]\r\n[[[[B[[[[[y]]]]\r\n");
    ASSERT_TRUE(BuildDictionary(m_root / "authoring.txt", paths.programFolder / "data").ok);
    ProgramPaths shipped;
    shipped.programFolder = paths.programFolder;
    EXPECT_EQ(CheckAllDescriptions(shipped), (std::vector<int>{1, 2}));
}

TEST_F(BuildTest, ByteRangeStartsItsMinimumAt200)
{
    WriteFile(m_root / "high.txt", "\xC8\xFA\r\n\xE0");
    const auto range = ByteRangeOfFile(m_root / "high.txt");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->min, 200);
    EXPECT_EQ(range->max, 0xFA);
    WriteFile(m_root / "text.txt", "az\r\nAZ");
    EXPECT_EQ(ByteRangeOfFile(m_root / "text.txt")->min, 'A');
    EXPECT_FALSE(ByteRangeOfFile(m_root / "missing.txt"));
}

// The demo dictionary that the build made beside the programs: every entry loads, pairs and
// renders, and the Greek index is in GreekKey order.
TEST(DemoDictionaryTest, EveryEntryRoundTrips)
{
    ProgramPaths shipped;
    shipped.programFolder = BuildDir();
    EntryIndex index;
    std::vector<std::string> refs;
    ASSERT_TRUE(LoadEntryIndex(shipped, index, refs).complete);
    EXPECT_GE(index.englishCount, 300);
    EXPECT_EQ(index.greekCount, index.englishCount);
    const auto header = LoadRtfHeader(shipped);
    ASSERT_TRUE(header);
    for (int r = 1; r <= index.englishCount; ++r) {
        const IndexRecord &record = index.english[r];
        ASSERT_NE(record.greekIndex, 0) << r;
        EXPECT_EQ(index.greek[record.greekIndex].englishIndex, r);
        const auto document =
            ReadDescriptionDocument(*header, *DescriptionSourceFor(shipped, record, refs));
        ASSERT_TRUE(document) << r;
        const Cp1253 plain = RtfToPlainText(*document);
        EXPECT_GT(plain.size(), 40u) << record.headword;
        EXPECT_EQ(plain.find('\\'), Cp1253::npos) << record.headword; // no RTF source leaks
        if (r > 1) {
            EXPECT_LE(LatinKey(index.english[r - 1].headword, true),
                      LatinKey(record.headword, true));
        }
    }
    for (int r = 2; r <= index.greekCount; ++r)
        EXPECT_LE(GreekKey(index.greek[r - 1].headword, true),
                  GreekKey(index.greek[r].headword, true));
    EXPECT_TRUE(CheckAllDescriptions(shipped).empty());
}

} // namespace
} // namespace termdex
