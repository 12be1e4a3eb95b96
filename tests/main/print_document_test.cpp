#include "main/print_document.h"

#include "lib/files.h"
#include "main/print_rows.h"
#include "richtext/plain_text.h"
#include "tests/main/dictionary_fixture.h"
#include "tests/richtext/recording_sink.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

using testing::Cp;

// The demo dictionary of the build folder, shown entry by entry.
class DemoPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ProgramPaths paths = testing::DemoPaths();
        ASSERT_TRUE(testing::DemoIsBuilt(paths));
        core = std::make_unique<MainLexCore>(paths, RealFileSystem());
        ASSERT_TRUE(core->FormShow().complete);
    }

    int RecordOf(const std::string &english) const
    {
        for (int r = 1; r <= core->Index().englishCount; ++r)
            if (core->Index().english[r].headword == english)
                return r;
        return 0;
    }

    // The description document of an entry, as the description view received it.
    Cp1253 DocumentOf(const std::string &english)
    {
        const int record = RecordOf(english);
        EXPECT_NE(record, 0) << english;
        EXPECT_TRUE(core->ShowRecord(record));
        return core->State().descriptionDocument;
    }

    // The document with its font table replaced.
    static Cp1253 WithFontTable(Cp1253 document, const std::string &table)
    {
        const size_t start = document.find("{\\fonttbl");
        const size_t end = document.find("{\\colortbl");
        EXPECT_NE(start, Cp1253::npos);
        EXPECT_NE(end, Cp1253::npos);
        return document.replace(start, end - start, table);
    }

    std::unique_ptr<MainLexCore> core;
};

TEST(PrintTextTest, EscapeWritesEveryByteAsUpperCaseHex)
{
    EXPECT_EQ(EscapeForPrint(""), "");
    EXPECT_EQ(EscapeForPrint("a Z9"), "\\'61\\'20\\'5A\\'39");
    EXPECT_EQ(EscapeForPrint(Cp("Σχ")), "\\'D3\\'F7");
    EXPECT_EQ(EscapeForPrint(std::string("\0\xff{", 3)), "\\'00\\'FF\\'7B");
}

TEST(PrintTextTest, HeaderLineIsSixtyFourCharactersNamingThePublisher)
{
    const Cp1253 &line = PrintHeaderLine();
    EXPECT_EQ(line.size(), 64u);
    EXPECT_TRUE(line.starts_with("Termdex - "));
    EXPECT_NE(line.find(Cp("ΕΚΔΟΣΕΙΣ ΒΟΡΑΝΤΗ")), Cp1253::npos);
    EXPECT_NE(line.find(Cp("©")), Cp1253::npos);
}

TEST(PrintTextTest, LinesAreJoinedWithCrLfAfterEveryLine)
{
    EXPECT_EQ(WithCrLfLines(""), "");
    EXPECT_EQ(WithCrLfLines("a"), "a\r\n");
    EXPECT_EQ(WithCrLfLines("a\nb\rc\r\nd\r\n"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(WithCrLfLines("a\n\nb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(WithCrLfLines("\r\r\n"), "\r\n\r\n");
}

TEST(PrintTextTest, JobTitleNamesTheEnglishTermCutAt135)
{
    EXPECT_EQ(PrintJobTitle("Supply"), "Zoveduz: Supply");
    const std::string term126(126, 'x');
    EXPECT_EQ(PrintJobTitle(term126).size(), 135u);
    const std::string term200 = std::string(126, 'a') + std::string(74, 'b');
    const Cp1253 title = PrintJobTitle(term200);
    EXPECT_EQ(title.size(), 135u);
    EXPECT_EQ(title, "Zoveduz: " + std::string(126, 'a'));
}

TEST(PrintFontTest, NearestOneDigitFontWordBeforeTheFirstGreekCharset)
{
    struct Row
    {
        const char *table;
        char font;
    };
    const Row rows[] = {
        {"{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}}", '0'},
        {"{\\fonttbl{\\f0\\fnil\\fcharset0 Courier;}{\\f3\\froman\\fcharset161 Times;}}", '3'},
        // Two digits never match: the nearest one-digit entry before it, whatever its charset.
        {"{\\fonttbl{\\f5\\fnil\\fcharset0 Courier;}{\\f60\\fswiss\\fcharset161 Tahoma;}}", '5'},
        {"{\\fonttbl{\\f12\\fswiss\\fcharset161 Tahoma;}}", '0'},
        // No Greek font at all; a later Greek font is not looked for past the first.
        {"{\\fonttbl{\\f7\\fnil\\fcharset0 Courier;}}", '0'},
        {"{\\fonttbl{\\f2\\fnil\\fcharset161 A;}{\\f4\\fnil\\fcharset161 B;}}", '2'},
    };
    for (const Row &row : rows) {
        const Cp1253 rtf = std::string("{\\rtf1\\ansi\\deff0") + row.table +
                           "\r\n\\pard\\plain\\f0\\fs20 text\\par\r\n}";
        EXPECT_EQ(GreekFontSelector(rtf), row.font) << row.table;
        EXPECT_EQ(BuildPrintDocument(rtf, {}).font, row.font) << row.table;
    }
    EXPECT_EQ(GreekFontSelector(""), '0');
    EXPECT_EQ(GreekFontSelector("\\fcharset161"), '0');
    EXPECT_EQ(GreekFontSelector("\\f\\fcharset161"), '0'); // too short to be a font word
}

TEST(PrintCutTest, SizesAreAcceptedByTheirFirstDigitOrTheThirdCharacter)
{
    struct Row
    {
        const char *size; // replaces the first "\fs20 " of the document
        bool accepted;
    };
    const Row rows[] = {
        {"\\fs20 ", true},    {"\\fs18 ", true},    {"\\fs1 x", true},  {"\\fs24\\b ", true},
        {"\\fs36 ", true},    {"\\fs36\\b ", true}, {"\\fs36}", true},  {"\\fs40{", true},
        {"\\fs8 }", true},    {"\\fs8 {", true},    {"\\fs8 x", false}, {"\\fs8\\b ", false},
        {"\\fs3 abc", false}, {"\\fs", false},
    };
    for (const Row &row : rows) {
        const std::string before = "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset161 A;}}\r\n"
                                   "\\pard\\ql{\\plain\\f0";
        const std::string later = "\\par\r\n\\pard {\\plain\\f0\\fs22 more}\r\n}";
        const Cp1253 rtf = before + row.size + "text}" + later;
        const std::optional<size_t> cut = PrintCutPoint(rtf);
        ASSERT_TRUE(cut.has_value()) << row.size;
        if (row.accepted) // the "}" that closes the font table
            EXPECT_EQ(*cut, before.find(";}}") + 2) << row.size;
        else // the space before the next size
            EXPECT_EQ(*cut, rtf.find("\\pard {") + 5) << row.size;
    }
}

TEST(PrintCutTest, FontFamiliesAreSkipped)
{
    // \fswiss, \froman and \fscript begin with "\fs" and are not sizes.
    const Cp1253 rtf = "{\\rtf1{\\fonttbl{\\f0\\fswiss A;}{\\f1\\froman B;}{\\f2\\fscript C;}}"
                       "\r\n\\pard\\plain\\f0\\fs22 text\\par\r\n}";
    const std::optional<size_t> cut = PrintCutPoint(rtf);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(*cut, rtf.find("}}\r\n") + 1);
    EXPECT_EQ(PrintCutPoint("{\\rtf1\\fswiss\\fscript x}"), std::nullopt);
    EXPECT_EQ(PrintCutPoint("\\fs20 text"), std::nullopt); // nothing before it to cut at
}

TEST(PrintDocumentTest, FragmentsAreSplicedExactlyBetweenHeadAndBody)
{
    const Cp1253 rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}\n"
                       "\\pard\\ql {\\plain\\f0\\fs20 Body}\\par\n}";
    const PrintDocument document = BuildPrintDocument(rtf, {"ab", Cp("γ")});
    const std::string f = "\\f0";
    const std::string expectedHead =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}\r\n\\pard\\ql " // up to the cut
        " \\ql {\\b\\ul" +
        f + "\\fs24\\cf0 " + EscapeForPrint(PrintHeaderLine()) +
        "} \\par \\par \\par \\ql "
        "{\\i\\ul" +
        f +
        "\\cellx1200\\cellx8414\\pard\\intbl\\fs24\\cf0 \\'CB\\'DE\\'EC\\'EC\\'E1:\\ul0\\cell}"
        "{\\b" +
        f +
        "\\fs22\\cf0     \\'61\\'62\\cell\\row\\trowd} \\par"
        "{\\i\\ul" +
        f +
        "\\cellx1200\\cellx8414\\pard\\intbl\\fs22\\cf0 "
        "\\'C1\\'F0\\'FC\\'E4\\'EF\\'F3\\'E7:\\ul0\\cell}"
        "{\\b" +
        f +
        "\\fs22\\cf0 \\'E3} \\par \\par"
        "{\\i\\ul" +
        f +
        "\\cellx1200\\cellx8414\\pard\\intbl\\fs22\\cf0 "
        "\\'D0\\'E5\\'F1\\'E9\\'E3\\'F1\\'E1\\'F6\\'DE:\\ul0\\cell}"
        "{" +
        f + "\\fs22\\cf0 ";
    const std::string expectedBody = " {\\plain\\f0\\fs20 Body}\\par\r\n}\r\n";
    EXPECT_TRUE(document.cutAtSize);
    EXPECT_EQ(document.rtf, expectedHead + "\r\n" + expectedBody + "\r\n}}}\r\n");
}

TEST(PrintDocumentTest, WithoutAnAcceptedSizeTheWholeDescriptionFollowsTheHead)
{
    const Cp1253 rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}{\\colortbl;}\r\n"
                       "\\pard\\ql Plain words\\par\r\n}";
    const PrintDocument document = BuildPrintDocument(rtf, {"a", "b"});
    EXPECT_FALSE(document.cutAtSize);
    const std::string head =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}{\\colortbl;}";
    EXPECT_TRUE(document.rtf.starts_with(head + " \\ql {\\b\\ul\\f0"));
    EXPECT_TRUE(document.rtf.ends_with("\r\n}\r\n\\pard\\ql Plain words\\par\r\n}\r\n\r\n}}}\r\n"));
    EXPECT_EQ(RtfToPlainText(document.rtf).find("Plain words") != Cp1253::npos, true);

    // Not a document at all: kept whole after an empty head, and nothing breaks.
    for (const char *odd : {"", "x", "\\pard", "}"}) {
        const PrintDocument built = BuildPrintDocument(odd, {});
        EXPECT_TRUE(built.rtf.ends_with("\r\n}}}\r\n")) << odd;
    }
}

TEST_F(DemoPrintTest, DemoDescriptionsCutAtTheirFirstSizeWithTheBraceDoubled)
{
    // The shipped preamble reads "...\blue0;}\viewkind4\uc1\pard\plain\f60\fs20": the nearest
    // cut character before the first size is the colour table's "}".
    const Cp1253 t = WithCrLfLines(DocumentOf("Supply and demand"));
    const PrintDocument document = BuildPrintDocument(t, {"a", "b"});
    ASSERT_TRUE(document.cutAtSize);
    EXPECT_EQ(t[document.cut], '}');
    EXPECT_EQ(t.compare(document.cut, 11, "}\\viewkind4"), 0);
    const size_t headEnd = document.rtf.find("\r\n", document.rtf.find("{\\f0\\fs22\\cf0 "));
    ASSERT_NE(headEnd, Cp1253::npos);
    // The body line begins with the brace that also ended T's part of the head.
    EXPECT_EQ(document.rtf.compare(headEnd + 2, 11, "}\\viewkind4"), 0);
    EXPECT_EQ(document.rtf.compare(0, document.cut + 1, t, 0, document.cut + 1), 0);
    // The demo's Greek font is \f0 (Arial); Tahoma, \f60, has two digits.
    EXPECT_EQ(document.font, '0');
}

TEST_F(DemoPrintTest, FontOfDemoDescriptionsWithOtherFontTables)
{
    const Cp1253 original = DocumentOf("Absolute advantage");
    struct Row
    {
        const char *table;
        char font;
    };
    const Row rows[] = {
        {"{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset161 Times;}}", '1'},
        {"{\\fonttbl{\\f8\\fswiss\\fcharset0 Arial;}{\\f60\\fswiss\\fcharset161 Tahoma;}}", '8'},
        {"{\\fonttbl{\\f60\\fswiss\\fcharset161 Tahoma;}}", '0'},
        {"{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fswiss\\fcharset238 Arial CE;}}", '0'},
    };
    for (const Row &row : rows) {
        const PrintDocument document =
            BuildPrintDocument(WithFontTable(original, row.table), {"a", "b"});
        EXPECT_EQ(document.font, row.font) << row.table;
        const std::string label = std::string("{\\b\\ul\\f") + row.font + "\\fs24\\cf0 ";
        EXPECT_NE(document.rtf.find(label), Cp1253::npos) << row.table;
        // The cut stays at the first size whatever the font table holds.
        EXPECT_TRUE(document.cutAtSize);
    }
}

TEST_F(DemoPrintTest, PrintedTextHoldsHeaderLabelsCellsAndDescription)
{
    for (const char *english : {"Absolute advantage", "Supply and demand", "Phillips curve"}) {
        const int record = RecordOf(english);
        ASSERT_NE(record, 0) << english;
        ASSERT_TRUE(core->ShowRecord(record));
        const std::optional<PrintRequest> request = Print_ButtonClick(*core);
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->cells.headword, english);
        EXPECT_FALSE(request->cells.rendering.empty());
        EXPECT_EQ(request->jobTitle, std::string("Zoveduz: ") + english);

        const PrintDocument document =
            BuildPrintDocument(core->State().descriptionDocument, request->cells);
        const Cp1253 printed = RtfToPlainText(document.rtf);
        const Cp1253 description = core->State().descriptionText;
        for (const Cp1253 &part : {PrintHeaderLine(), Cp("Λήμμα:"), request->cells.headword,
                                   Cp("Απόδοση:"), request->cells.rendering, Cp("Περιγραφή:"),
                                   description.substr(0, description.find('\r'))})
            EXPECT_NE(printed.find(part), Cp1253::npos) << english << ": " << Cp1253ToUtf8(part);
        EXPECT_LT(printed.find(PrintHeaderLine()), printed.find(request->cells.headword));
    }
}

TEST_F(DemoPrintTest, GreekModeSwapsTheCellsAndKeepsTheEnglishTitle)
{
    const int record = RecordOf("Supply and demand");
    ASSERT_NE(record, 0);
    const IndexRecord &english = core->Index().english[record];
    const Cp1253 greek(core->Index().greek[english.greekIndex].headword);
    ASSERT_FALSE(greek.empty());

    core->SetLanguageMode(true);
    ASSERT_TRUE(core->ShowRecord(record));
    const std::optional<PrintRequest> request = Print_ButtonClick(*core);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->cells.headword, greek);
    EXPECT_EQ(request->cells.rendering, english.headword);
    EXPECT_EQ(request->jobTitle, "Zoveduz: Supply and demand");

    const Cp1253 printed =
        RtfToPlainText(BuildPrintDocument(core->State().descriptionDocument, request->cells).rtf);
    EXPECT_LT(printed.find(greek), printed.find(english.headword));
}

TEST_F(DemoPrintTest, NoSelectedItemPrintsNothing)
{
    EXPECT_FALSE(Print_ButtonClick(*core).has_value());
    ASSERT_TRUE(core->ShowRecord(RecordOf("Supply and demand")));
    core->SelectListItem(-1);
    EXPECT_FALSE(Print_ButtonClick(*core).has_value());
}

TEST_F(DemoPrintTest, LongDescriptionsArePrintedWhole)
{
    Cp1253 document = DocumentOf("Supply and demand");
    const size_t end = document.rfind('}');
    ASSERT_NE(end, Cp1253::npos);
    std::string filler;
    while (filler.size() < 60000)
        filler += "\\pard\\plain\\f60\\fs20 " + std::string(70, 'w') + "\\par\r\n";
    document.insert(end, filler + "last words");
    const PrintDocument built = BuildPrintDocument(document, {"a", "b"});
    const size_t headEnd = built.rtf.find("\r\n", built.rtf.find("{\\f0\\fs22\\cf0 "));
    ASSERT_NE(headEnd, Cp1253::npos);
    const Cp1253 t = WithCrLfLines(document);
    EXPECT_EQ(built.rtf.substr(headEnd + 2), t.substr(built.cut) + "\r\n}}}\r\n");
    EXPECT_NE(RtfToPlainText(built.rtf).find("last words"), Cp1253::npos);
}

TEST_F(DemoPrintTest, SelectedItemIsDisplayedBeforeItIsPrinted)
{
    // Typing a beginning selects the first item without displaying it.
    core->Entry_TextChange("Supply and dem");
    ASSERT_EQ(core->State().itemIndex, 0);
    ASSERT_EQ(core->State().shownRecord, 0);
    const std::optional<PrintRequest> request = Print_ButtonClick(*core);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(core->State().shownRecord, RecordOf("Supply and demand"));
    EXPECT_FALSE(core->State().descriptionDocument.empty());
    EXPECT_EQ(request->cells.headword, "Supply and demand");
    // The entry already on display is not displayed again (its history stays as it was).
    const size_t history = core->State().PrevMenu.size();
    ASSERT_TRUE(Print_ButtonClick(*core).has_value());
    EXPECT_EQ(core->State().PrevMenu.size(), history);
}

} // namespace
} // namespace termdex

namespace termdex {
namespace {

// The rows of the print document as the print vehicle reads them, in reading order: one string
// per row ("|" between cells) and per paragraph outside rows.
std::vector<std::string> RowsOf(const Cp1253 &rtf)
{
    RecordingSink recorded;
    PrintRowSink rows(recorded);
    EXPECT_TRUE(ReadRtf(rtf, rows));
    std::vector<std::string> out;
    std::string line;
    bool inRow = false;
    for (const RecordedEvent &e : recorded.events) {
        switch (e.kind) {
        case EventKind::Text:
            line += e.text;
            break;
        case EventKind::RowStart:
            EXPECT_FALSE(inRow);
            inRow = true;
            break;
        case EventKind::CellEnd:
            EXPECT_TRUE(inRow);
            line += "|";
            break;
        case EventKind::RowEnd:
            EXPECT_TRUE(inRow);
            inRow = false;
            out.push_back("row " + line);
            line.clear();
            break;
        case EventKind::ParagraphEnd:
        case EventKind::DocumentEnd:
            EXPECT_FALSE(inRow);
            if (!line.empty())
                out.push_back(line);
            line.clear();
            break;
        default:
            break;
        }
    }
    return out;
}

TEST(PrintRowsTest, EachLabelAndItsValueFormARow)
{
    const Cp1253 rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset161 Arial;}}\r\n"
                       "\\pard\\ql {\\plain\\f0\\fs20 First}\\par\r\n"
                       "\\pard\\ql {\\plain\\f0\\fs20 Second}\\par\r\n"
                       "\\pard\\ql {\\plain\\f0\\fs20 Third}}";
    const PrintDocument document = BuildPrintDocument(rtf, {"head", "rend"});
    const std::vector<std::string> rows = RowsOf(document.rtf);
    const std::vector<std::string> expected = {
        "row " + Cp("Λήμμα:") + "|    head|",   " ",      "row " + Cp("Απόδοση:") + "|rend |",
        "row " + Cp("Περιγραφή:") + "| First|", "Second", "Third",
    };
    ASSERT_GE(rows.size(), 2u);
    EXPECT_NE(rows[0].find(PrintHeaderLine()), std::string::npos);
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 1, rows.end()), expected);
}

TEST(PrintRowsTest, RealTablesOfADescriptionStayWhole)
{
    const Cp1253 rtf = "{\\rtf1\\ansi before\\par"
                       "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                       "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row"
                       "\\pard after\\par}";
    EXPECT_EQ(RowsOf(rtf), (std::vector<std::string>{"before", "row a|b|", "row c|d|", "after"}));
}

TEST(PrintRowsTest, HeldContentKeepsItsFontName)
{
    RecordingSink recorded;
    PrintRowSink rows(recorded);
    ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fnil Courier;}{\\f1\\fnil Tahoma;}}"
            "\\trowd\\cellx1000\\pard\\intbl\\f0 a\\par\\f1 later\\par}",
            rows);
    const std::vector<RecordedEvent> texts = recorded.Of(EventKind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].text, "later");
    EXPECT_EQ(texts[1].fontName, "Tahoma");
}

} // namespace
} // namespace termdex
