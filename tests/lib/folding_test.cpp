#include "lib/folding.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

// Greek literals below are code page 1253 bytes: a small helper keeps them readable.
struct Row
{
    const char *name;
    std::string input;
    std::string expected;
};

TEST(FoldingTest, GreekKey)
{
    const Row rows[] = {
        {"capitals and accent, blanks trimmed", " \xC1\xC3\xCF\xD1\xA2 ", "\xE1\xE3\xEF\xF1\xE1"},
        {"latin word dropped", "Market \xE1\xE3\xEF\xF1\xDC", "\xE1\xE3\xEF\xF1\xE1"},
        {"punctuation leaves no blank", "\xE1\xE3\xEF\xF1\xDC (\xF7\xF1\xDE\xEC\xE1\xF4\xEF\xF2)",
         "\xE1\xE3\xEF\xF1\xE1 \xF7\xF1\xE7\xEC\xE1\xF4\xEF\xF2"},
        {"latin only", "cost-benefit", ""},
        {"final sigma and Upsilon with diaeresis pass", "\xF2\xDB", "\xF2\xDB"},
        {"digits after a letter stay",
         "\xE1"
         "2",
         "\xE1"
         "2"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(GreekKey(row.input, true), row.expected) << row.name;
    // "2ος τόμος"
    EXPECT_EQ(GreekKey("2\xEF\xF2 \xF4\xFC\xEC\xEF\xF2", true), "\xEF\xF2 \xF4\xEF\xEC\xEF\xF2");
    EXPECT_EQ(GreekKey("2\xEF\xF2 \xF4\xFC\xEC\xEF\xF2", false), "2\xEF\xF2 \xF4\xEF\xEC\xEF\xF2");
    EXPECT_EQ(GreekKey("", true), "");
}

TEST(FoldingTest, LatinKey)
{
    EXPECT_EQ(LatinKey("Cost-Benefit (Analysis)", true), "costbenefit analysis");
    EXPECT_EQ(LatinKey("3 D-printing", true), "dprinting");
    EXPECT_EQ(LatinKey("3 D-printing", false), "3 dprinting");
    EXPECT_EQ(LatinKey("Say's law", true), "says law");
    EXPECT_EQ(LatinKey("\xC1\xE3\xEF\xF1\xDC", true), "\xC1\xE3\xEF\xF1\xDC"); // Greek unchanged
    EXPECT_EQ(LatinKey("80/20 rule", true), "rule");
    EXPECT_EQ(LatinKey("", true), "");
}

TEST(FoldingTest, FoldGreekLetters)
{
    // "Τιμή, (Price)" -> "τιμη, (price)"
    EXPECT_EQ(FoldGreekLetters("\xD4\xE9\xEC\xDE, (Price)"), "\xF4\xE9\xEC\xE7, (price)");
    EXPECT_EQ(FoldGreekLetters("\xDB\xF2"), "\xDB\xF2");
    // every accented letter
    EXPECT_EQ(FoldGreekLetters(
                  "\xDC\xA2\xDD\xB8\xDE\xB9\xDF\xFA\xC0\xBA\xDA\xFC\xBC\xFD\xBE\xFB\xE0\xFE\xBF"),
              "\xE1\xE1\xE5\xE5\xE7\xE7\xE9\xE9\xE9\xE9\xE9\xEF\xEF\xF5\xF5\xF5\xF5\xF9\xF9");
}

TEST(FoldingTest, CapitalSigmaEndingAWordLowersToFinalSigma)
{
    const std::string phoros = "\xD6\xBC\xD1\xCF\xD3"; // "ΦΌΡΟΣ"
    const std::string folded = "\xF6\xEF\xF1\xEF\xF2"; // "φορος"
    EXPECT_EQ(GreekKey(phoros, true), folded);
    EXPECT_EQ(GreekKey(phoros + ", " + phoros + "1", true), folded + " " + folded + "1");
    EXPECT_EQ(GreekKey(phoros + "a", true), "\xF6\xEF\xF1\xEF\xF3"); // a Latin letter follows
    EXPECT_EQ(GreekKey("\xD3\xC1\xD3 ", true), "\xF3\xE1\xF2");      // "ΣΑΣ " -> "σας"
    EXPECT_EQ(FoldGreekLetters(phoros + "."), folded + ".");
    EXPECT_EQ(FoldGreekLetters("\xD3\xDB"), "\xF3\xDB"); // "Ϋ" is a letter here
    EXPECT_EQ(LocaleLower("TAX " + phoros + "-\xD3"), "tax \xF6\xFC\xF1\xEF\xF2-\xF2");
    // A small sigma stays what it is: the fold never makes "σ" and "ς" equal.
    EXPECT_EQ(GreekKey("\xF6\xEF\xF1\xEF\xF3", true), "\xF6\xEF\xF1\xEF\xF3");
    EXPECT_EQ(LocaleLowerByte(0xD3), 0xF3);
}

TEST(FoldingTest, ContainsWholeWordLooksAtTheFirstOccurrenceOnly)
{
    EXPECT_TRUE(ContainsWholeWord("tax taxation", "tax"));
    EXPECT_FALSE(ContainsWholeWord("taxation tax", "tax"));
    EXPECT_TRUE(ContainsWholeWord("tax-free", "tax"));
    EXPECT_FALSE(ContainsWholeWord("tax free", "tax f")); // a letter follows the occurrence
    EXPECT_TRUE(ContainsWholeWord("a 1tax2 b", "tax"));   // digits are not word characters
    EXPECT_FALSE(ContainsWholeWord("\xF6\xEF\xF1\xEF\xF2", "\xF6\xEF\xF1"));
    EXPECT_FALSE(ContainsWholeWord("\xF6\xFC\xF1\xEF\xF2", "\xF6\xEF\xF1\xEF\xF2"));
    EXPECT_TRUE(ContainsWholeWord("\xDB\xF6\xEF\xF1\xDB", "\xF6\xEF\xF1")); // Ϋ is no letter
    EXPECT_FALSE(ContainsWholeWord("\xDC\xF6\xEF\xF1", "\xF6\xEF\xF1"));    // ά is
    EXPECT_FALSE(ContainsWholeWord("", "tax"));
    EXPECT_FALSE(ContainsWholeWord("tax", ""));
}

TEST(FoldingTest, CharacterClasses)
{
    int punctuation = 0, words = 0;
    for (int c = 0; c < 256; ++c) {
        punctuation += IsFoldPunctuation(static_cast<unsigned char>(c));
        words += IsWordCharacter(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(punctuation, 14);
    EXPECT_EQ(words, 26 + 26 + 25 + 25 + 19);
    EXPECT_FALSE(IsWordCharacter(0xDB));
    EXPECT_FALSE(IsWordCharacter('5'));
}

} // namespace
} // namespace termdex
