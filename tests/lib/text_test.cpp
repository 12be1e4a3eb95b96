#include "lib/files.h"
#include "lib/text.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

TEST(TextTest, TrimCutsBytesUpToBlank)
{
    EXPECT_EQ(Trim(" \t\x01tax \r\n"), "tax");
    EXPECT_EQ(TrimLeft("  tax  "), "tax  ");
    EXPECT_EQ(TrimRight("  tax  "), "  tax");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0"); // 0xA0 is above 32
    EXPECT_EQ(Trim(std::string("ab\0cd", 5)), "ab");
}

TEST(TextTest, AsciiAndLocaleLowerCasing)
{
    EXPECT_EQ(AsciiLower("TAX \xC1\xDB"), "tax \xC1\xDB");
    EXPECT_EQ(LocaleLower("TAX \xC1\xD3\xD9"), "tax \xE1\xF3\xF9");
    EXPECT_EQ(LocaleLower("\xA2\xB8\xB9\xBA\xBC\xBE\xBF"), "\xDC\xDD\xDE\xDF\xFC\xFD\xFE");
    EXPECT_EQ(LocaleLower("\xDA\xDB"), "\xFA\xFB");
    EXPECT_EQ(LocaleLower("\xC0\xE0\xD2\xB5"), "\xC0\xE0\xD2\xB5"); // no capital form
}

TEST(TextTest, FixedNumbers)
{
    long long v = -1;
    EXPECT_TRUE(ParseFixedNumber("00042", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseFixedNumber("   42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ParseFixedNumber("00000", v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(ParseFixedNumber("42   ", v)); // a blank after the digits
    EXPECT_FALSE(ParseFixedNumber("     ", v));
    EXPECT_FALSE(ParseFixedNumber("", v));
    EXPECT_FALSE(ParseFixedNumber("-0042", v));
    EXPECT_FALSE(ParseFixedNumber("0x1F", v));
}

TEST(TextTest, ColumnsAreOneBasedAndBounded)
{
    EXPECT_EQ(Columns("abcdef", 2, 4), "bcd");
    EXPECT_EQ(Columns("abcdef", 5, 10), "ef");
    EXPECT_EQ(Columns("abc", 4, 5), "");
    EXPECT_EQ(Columns("abc", 0, 5), "");
}

TEST(TextTest, SplitLinesAcceptsEveryLineEnd)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

} // namespace
} // namespace termdex
