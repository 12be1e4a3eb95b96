#include "richtext/plain_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace termdex {
namespace {

struct PlainRow
{
    const char *name;
    std::string rtf;
    std::string plain;
};

void ExpectPlain(const std::vector<PlainRow> &rows)
{
    for (const PlainRow &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RtfToPlainText(row.rtf), row.plain);
    }
}

// The document preamble of the shipped description file, as the program joins it to a
// description: the header line, CR LF, the description, the closing marks, CR LF.
const std::string kHeader =
    "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
    "{\\f60\\fswiss\\fcharset161 Tahoma;}{\\f1\\froman\\fcharset0 Times New Roman;}}"
    "{\\colortbl ;\\red0\\green0\\blue128;}\\viewkind4\\uc1\\pard\\lang1032\\f0\\fs20";
const std::string kClosing = "\\par \\par}";
const std::string kSupplementHeading =
    " \\par {\\i\\ul\\f0 \\'D3\\'F5\\'EC\\'F0\\'EB\\'DE\\'F1\\'F9\\'F3\\'E7\\'20\\'E4\\'E9\\'EA"
    "\\'DE\\'20\\'F3\\'E1\\'F2\\'3A} \\par \\i0\\ul0 ";

std::string Document(const std::string &body)
{
    return kHeader + "\r\n" + body + kClosing + "\r\n";
}

TEST(PlainText, ParagraphsJoinWithCrLf)
{
    ExpectPlain({
        {"two paragraph ends", "{\\rtf1 X\\par \\par}", "X\r\n\r\n"},
        {"text after the last par", "{\\rtf1 a\\par b}", "a\r\nb"},
        {"no par at all", "{\\rtf1 abc}", "abc"},
        {"empty document", "{\\rtf1}", ""},
        {"line", "{\\rtf1 a\\line b}", "a\r\nb"},
        {"page", "{\\rtf1 a\\page b}", "a\r\nb"},
        {"sect", "{\\rtf1 a\\sect b}", "a\r\nb"},
        {"backslash before a line end", "{\\rtf1 a\\\r\nb}", "a\r\nb"},
        {"tab", "{\\rtf1 a\\tab b}", "a\tb"},
        {"raw tab byte", "{\\rtf1 a\tb}", "a\tb"},
        {"raw line ends are no text", "{\\rtf1 a\r\nb\nc\rd}", "abcd"},
        {"escaped CR LF is one break", "{\\rtf1 a\\'0D\\'0Ab}", "a\r\nb"},
        {"lone escaped CR and LF", "{\\rtf1 a\\'0Db\\'0ac}", "a\r\nb\r\nc"},
        {"space ends a control word", "{\\rtf1 \\b bold\\b0  two}", "bold two"},
        {"text after the document", "{\\rtf1 a}b\\par c", "a"},
    });
}

TEST(PlainText, TablesGiveTabsAndLineBreaks)
{
    ExpectPlain({
        {"one row",
         "{\\rtf1\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row\\pard c\\par}",
         "a\tb\t\r\nc\r\n"},
        {"two rows",
         "{\\rtf1\\trowd\\cellx900\\intbl 1\\cell\\row\\trowd\\cellx900\\intbl 2\\cell\\row}",
         "1\t\r\n2\t\r\n"},
    });
}

TEST(PlainText, NamedSymbolsAreCodePageBytes)
{
    ExpectPlain({
        {"dashes and quotes",
         "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
         "\x97\x96\x95\x91\x92\x93\x94"},
        {"spaces and hyphens", "{\\rtf1 a\\~b\\-c\\_d}",
         "a\xA0"
         "bc-d"},
        {"escaped braces and backslash", "{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
    });
}

TEST(PlainText, ProgramDescriptionsReadAsTheirText)
{
    // "Ζήτηση" and "αγαθών" as code page 1253 escapes, the way stored descriptions are written.
    const std::string stored =
        "{\\'C6\\'DE\\'F4\\'E7\\'F3\\'E7 \\par \\'E1\\'E3\\'E1\\'E8\\'FE\\'ED}";
    EXPECT_EQ(RtfToPlainText(Document(stored)),
              "\xC6\xDE\xF4\xE7\xF3\xE7 \r\n\xE1\xE3\xE1\xE8\xFE\xED\r\n\r\n");

    // A shipped description with raw Greek bytes, bold and a paragraph of its own.
    const std::string shipped =
        "{\\f60\\fs22 {\\b Demand} (\xC6\xDE\xF4\xE7\xF3\xE7)\\par \\pard\\qj \xC7 "
        "\xF0\xEF\xF3\xFC\xF4\xE7\xF4\xE1.}";
    EXPECT_EQ(RtfToPlainText(Document(shipped)), "Demand (\xC6\xDE\xF4\xE7\xF3\xE7)\r\n"
                                                 "\xC7 \xF0\xEF\xF3\xFC\xF4\xE7\xF4\xE1.\r\n\r\n");

    // A shipped entry with the reader's supplement: heading, supplement, separator, closing.
    const std::string supplemented =
        "{\\f60\\fs22 Text}" + kSupplementHeading + "{\\f60\\fs22 \\'41\\'E2}" + " ";
    EXPECT_EQ(RtfToPlainText(Document(supplemented)),
              "Text \r\n\xD3\xF5\xEC\xF0\xEB\xDE\xF1\xF9\xF3\xE7 \xE4\xE9\xEA\xDE \xF3\xE1\xF2: "
              "\r\nA\xE2 \r\n\r\n");

    // An empty description still gives the two closing paragraph ends.
    EXPECT_EQ(RtfToPlainText(Document("")), "\r\n\r\n");
}

TEST(PlainText, BytesFollowTheCurrentFontsCodePage)
{
    const std::string fonts =
        "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fcharset161 Arial;}"
        "{\\f1\\fcharset0 Times;}{\\f2\\fcharset204 Courier Cyr;}{\\f3\\fcharset2 Symbol;}"
        "{\\f4\\fcharset238 Arial CE;}}";
    ExpectPlain({
        {"Greek font keeps bytes", fonts + "\\'e1\\'80\\'a2\xE1}", "\xE1\x80\xA2\xE1"},
        {"Western quotes and euro", fonts + "\\f1 \\'93x\\'94\\'80\\'85}", "\x93x\x94\x80\x85"},
        {"Western letters Greek lacks", fonts + "\\f1 \\'e9\\'fc}", "??"},
        {"Western signs Greek shares", fonts + "\\f1 \\'b0\\'a3\\'ab\\'bb}", "\xB0\xA3\xAB\xBB"},
        {"raw Western byte", fonts + "\\f1 \xE9\xB0}", "?\xB0"},
        {"Cyrillic", fonts + "\\f2 \\'e0\\'ab}", "?\xAB"},
        {"Central European", fonts + "\\f4 \\'8a\\'a7}", "?\xA7"},
        {"symbol font keeps bytes", fonts + "\\f3 \\'61\\'b4}", "a\xB4"},
        {"group restores the font", fonts + "{\\f1 \\'e9}\\'e9}", "?\xE9"},
        {"plain returns to the default font", fonts + "\\f1\\plain \\'e9}", "\xE9"},
        {"font missing from the table", fonts + "\\f9 \\'e9}", "\xE9"},
        {"Western document, no font", "{\\rtf1\\ansi\\ansicpg1252 \\'e1\\'93}", "?\x93"},
        {"Western default font",
         "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset0 Times;}}\\'e9\\'b0}", "?\xB0"},
    });
}

TEST(PlainText, UnicodeEscapesAndTheirFallback)
{
    ExpectPlain({
        {"Greek letter, fallback skipped", "{\\rtf1 \\u945?b}",
         "\xE1"
         "b"},
        {"default skip count is one", "{\\rtf1 \\u945 xy}",
         "\xE1"
         "y"},
        {"uc0 skips nothing", "{\\rtf1\\uc0 \\u945 b}",
         "\xE1"
         "b"},
        {"uc2 skips two escapes", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", "\x80x"},
        {"negative means plus 65536", "{\\rtf1 \\u-4?}", "?"},
        {"outside the code page", "{\\rtf1 \\u20013?\\u8734?}", "??"},
        {"uc belongs to its group", "{\\rtf1 {\\uc0 \\u945 x}\\u945 yz}", "\xE1x\xE1z"},
        {"a brace ends the fallback", "{\\rtf1\\uc3 {\\u945 a}b}",
         "\xE1"
         "b"},
        {"surrogate pair is one character", "{\\rtf1\\uc0 \\u-10179\\u-8704 x}", "?x"},
    });
}

TEST(PlainText, DestinationsThatAreNotTextAreSkipped)
{
    ExpectPlain({
        {"font and colour tables",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}x}", "x"},
        {"stylesheet and info",
         "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x}", "x"},
        {"optional destination with nested groups", "{\\rtf1 a{\\*\\generator Riched20 {x}{y};}b}",
         "ab"},
        {"binary data inside a skipped group", "{\\rtf1 a{\\*\\foo \\bin2 }}c}d}", "ad"},
        {"headers and footers", "{\\rtf1 {\\header h}{\\footer f}x}", "x"},
        {"field shows its result",
         "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt shown}}}", "shown"},
        {"pictures show no text",
         "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip 8950}}{\\nonshppict{\\pict 00}}b}", "ab"},
        {"unknown control words are ignored", "{\\rtf1\\lang1032\\noproof\\kerning0 x}", "x"},
    });
}

TEST(PlainText, InputThatIsNotRichTextComesBackAsIs)
{
    ExpectPlain({
        {"plain text", "Just text\\par\r\n", "Just text\\par\r\n"},
        {"empty", "", ""},
        {"cut-off marker", "{\\rt", "{\\rt"},
        {"blank before the marker", " {\\rtf1 x}", " {\\rtf1 x}"},
        {"upper case", "{\\RTF1 x}", "{\\RTF1 x}"},
    });
}

TEST(PlainText, AppendsToTheCallersBuffer)
{
    std::string out = "kept|";
    RtfToPlainText("{\\rtf1 a\\par b}", out);
    RtfToPlainText("not rtf", out);
    EXPECT_EQ(out, "kept|a\r\nbnot rtf");
}

TEST(PlainText, DamagedInputReadsWithoutHarm)
{
    ExpectPlain({
        {"extra closing braces", "{\\rtf1 a}}}b", "a"},
        {"missing closing braces", "{\\rtf1 {\\b a{\\i b", "ab"},
        {"cut-off hex escape", "{\\rtf1 a\\'", "a"},
        {"hex escape with one digit", "{\\rtf1 a\\'4", "a"},
        {"hex escape with a bad digit", "{\\rtf1 a\\'4x}", "ax"},
        {"lone backslash at the end", "{\\rtf1 a\\", "a"},
        {"cut-off control word", "{\\rtf1 a\\pa", "a"},
        {"huge numbers", "{\\rtf1\\fs99999999999999999999 a\\li-99999999999 b\\u99999999999 ?c}",
         "ab?c"},
        {"over-long control word", "{\\rtf1 a\\" + std::string(100, 'p') + " b}", "ab"},
        {"NUL bytes", "{\\rtf1 a\0b\0\\par c}"s, "ab\r\nc"},
        {"binary length past the end", "{\\rtf1 a\\bin999999999 xyz}", "a"},
        {"negative binary length", "{\\rtf1 a\\bin-5 x}", "ax"},
        {"stray control bytes",
         "{\\rtf1 a\x01\x1F"
         "b\x7F}",
         "ab\x7F"},
    });
}

TEST(PlainText, DeepNestingIsBounded)
{
    const std::string deep =
        "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "y}";
    EXPECT_EQ(RtfToPlainText(deep), "xy");

    // Formatting inside groups deeper than the kept stack still unwinds with its groups.
    std::string formatted = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i)
        formatted += "{\\b\\f1 ";
    formatted += "\\'e1";
    formatted += std::string(1000, '}') + "z}";
    EXPECT_EQ(RtfToPlainText(formatted), "\xE1z");

    const std::string unclosed = "{\\rtf1 " + std::string(100000, '{') + "x";
    EXPECT_EQ(RtfToPlainText(unclosed), "x");
}

// Any byte string that starts like rich text reads without harm, and its plain text holds
// no control byte but TAB, CR and LF.
TEST(PlainText, RandomInputGivesCleanText)
{
    const char *pieces[] = {
        "{",     "}",   "\\",         "\\'",       "\\par ", "\\u",    "-",     "9",       "\\uc",
        "\\bin", "\\*", "\\pict",     "\\fonttbl", "\\f",    "\\cell", "\\row", "\\intbl", "a",
        "\xE1",  ";",   "\\colortbl", "\\'0d",     "\x00",   "\x01",   " "};
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string rtf = "{\\rtf1";
        const int count = int(next() % 60);
        for (int i = 0; i < count; ++i) {
            const char *piece = pieces[next() % std::size(pieces)];
            rtf += piece[0] == 0 ? std::string(1, '\0') : std::string(piece);
        }
        const std::string plain = RtfToPlainText(rtf);
        for (unsigned char c : plain) {
            ASSERT_TRUE(c >= 0x20 || c == '\t' || c == '\r' || c == '\n') << rtf;
        }
        ASSERT_LE(plain.size(), rtf.size() * 2) << rtf;
    }
}

} // namespace
} // namespace termdex
