#include "data/entry_index.h"
#include "data/index_line.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

std::string Blanks(size_t n) { return std::string(n, ' '); }

const std::string kForos = "\xD6\xFC\xF1\xEF\xF2"; // "Φόρος" in code page 1253

// The bytes of each layout pinned once, so a changed column shows here and not as a dictionary
// that every reader built by the same definition misreads alike.
TEST(IndexLineTest, WritersPutEachFieldInItsColumns)
{
    EXPECT_EQ(FormatShippedEnglishLine(7, "Tax", 605, 1234),
              "00007Tax" + Blanks(123) + "00000605" + "01234" + "L01" + "00000");
    EXPECT_EQ(FormatShippedEnglishLine(7, "Tax", 605, 1234).size(), ShippedEnglishLayout::length);
    EXPECT_EQ(FormatShippedGreekLine(12, kForos), "00012" + kForos + Blanks(136));
    EXPECT_EQ(FormatCustomEnglishLine("00003", 30002, std::string(90, 'x'), 1, 42),
              "0000330002" + std::string(80, 'x') + "00000001" + "00042");
    EXPECT_EQ(FormatCustomGreekLine(3, 30002, kForos), "0000330002" + kForos); // unpadded
}

TEST(IndexLineTest, ShippedLinesReadBackAsWritten)
{
    // The parsed headwords view the line.
    const Cp1253 englishLine = FormatShippedEnglishLine(99999, "Net  ", 99999999, 7, 4);
    IndexRecord english;
    ASSERT_TRUE(ParseShippedEnglishLine(englishLine, english));
    EXPECT_EQ(english.id, 99999u);
    EXPECT_EQ(english.headword, "Net");
    EXPECT_EQ(english.descOffset, 99999999);
    EXPECT_EQ(english.descLength, 7);
    EXPECT_EQ(english.matchStart, 4);
    const Cp1253 greekLine = FormatShippedGreekLine(5, kForos);
    IndexRecord greek;
    ASSERT_TRUE(ParseShippedGreekLine(greekLine, greek));
    EXPECT_EQ(greek.headword, kForos);
}

TEST(IndexLineTest, NumbersAndTextsReadByTheFileRules)
{
    constexpr IndexColumn column{3, 4};
    long long value = -1;
    for (const char *line : {"ab  12", "ab0012"}) {
        EXPECT_TRUE(ReadNumber(line, column, value)) << line;
        EXPECT_EQ(value, 12);
    }
    for (const char *line : {"ab12 3", "ab    ", "ab-123", "ab123"})
        EXPECT_FALSE(ReadNumber(line, column, value)) << line;
    EXPECT_EQ(ReadText(std::string("xab\0cdzz", 8), {2, 5}), "ab");
    EXPECT_EQ(ReadText("xab \t         ", {2, 13}), "ab");
    EXPECT_EQ(ReadText("xab", {2, 13}), "ab");
}

} // namespace
} // namespace termdex
