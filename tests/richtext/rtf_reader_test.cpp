#include "richtext/rtf_reader.h"

#include "tests/richtext/recording_sink.h"

#include <gtest/gtest.h>

#include <string>

namespace termdex {
namespace {

const std::string kFonts =
    "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
    "{\\f60\\fswiss\\fcharset161 Tahoma;}{\\f1\\froman\\fcharset0 Times New Roman;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

RecordingSink Read(const std::string &rtf)
{
    RecordingSink sink;
    EXPECT_TRUE(ReadRtf(rtf, sink));
    return sink;
}

std::string Flags(const CharFormat &f)
{
    std::string s;
    s += f.bold ? 'b' : '-';
    s += f.italic ? 'i' : '-';
    s += f.underline ? 'u' : '-';
    s += f.strike ? 's' : '-';
    s += f.vertical == VerticalPosition::Superscript ? '^'
         : f.vertical == VerticalPosition::Subscript ? '_'
                                                     : '-';
    return s;
}

// "text:flags" for each text run.
std::vector<std::string> Runs(const RecordingSink &sink)
{
    std::vector<std::string> runs;
    for (const RecordedEvent &e : sink.Of(EventKind::Text))
        runs.push_back(e.text + ":" + Flags(e.format));
    return runs;
}

TEST(RtfReader, LooksLikeRtfNeedsTheMarkerAtTheStart)
{
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(LooksLikeRtf("{\\rtf"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(" {\\rtf1"));
    EXPECT_FALSE(LooksLikeRtf(""));

    RecordingSink sink;
    EXPECT_FALSE(ReadRtf("plain text", sink));
    EXPECT_TRUE(sink.events.empty());
}

TEST(RtfReader, CharacterFormatFollowsGroups)
{
    const RecordingSink sink = Read("{\\rtf1 a{\\b b{\\i c}d}e\\b f\\b0 g\\i1 h\\i0 }");
    EXPECT_EQ(Runs(sink), (std::vector<std::string>{"a:-----", "b:b----", "c:bi---", "d:b----",
                                                    "e:-----", "f:b----", "g:-----", "h:-i---"}));
}

TEST(RtfReader, UnderlineStrikeAndVerticalPosition)
{
    const RecordingSink sink =
        Read("{\\rtf1 \\ul a\\ulnone b\\uldb c\\ul0 d\\strike e\\strike0 \\super f\\nosupersub "
             "g\\sub h\\sub0 i\\plain\\b\\i\\ul\\super j\\plain k}");
    EXPECT_EQ(Runs(sink), (std::vector<std::string>{"a:--u--", "b:-----", "c:--u--", "d:-----",
                                                    "e:---s-", "f:----^", "g:-----", "h:----_",
                                                    "i:-----", "j:biu-^", "k:-----"}));
}

TEST(RtfReader, FontsComeWithTheirTableEntry)
{
    const RecordingSink sink = Read(kFonts + "a{\\f60\\fs22 b}{\\f1 c}\\f7\\fs0 d\\plain e}");
    const auto runs = sink.Of(EventKind::Text);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].format.font, 0);
    EXPECT_EQ(runs[0].fontName, "Arial");
    EXPECT_EQ(runs[0].format.charset, 161);
    EXPECT_EQ(runs[0].format.size, 24);
    EXPECT_EQ(runs[1].format.font, 60);
    EXPECT_EQ(runs[1].fontName, "Tahoma");
    EXPECT_EQ(runs[1].format.size, 22);
    EXPECT_EQ(runs[2].fontName, "Times New Roman");
    EXPECT_EQ(runs[2].format.charset, 0);
    EXPECT_EQ(runs[3].format.font, 7); // not in the table
    EXPECT_EQ(runs[3].fontName, "");
    EXPECT_EQ(runs[3].format.charset, 1);
    EXPECT_EQ(runs[3].format.size, 24); // \fs0 is no size
    EXPECT_EQ(runs[4].format.font, 0);  // \plain returns to \deff0
}

TEST(RtfReader, FontTablesInOtherShapes)
{
    // Entries without groups, and an entry holding optional groups around its name.
    const RecordingSink sink =
        Read("{\\rtf1\\deff3{\\fonttbl\\f0\\fnil\\fcharset0 Calibri;\\f3\\fnil\\fcharset161 Arial "
             "Greek;{\\f5\\froman\\fcharset161{\\*\\panose 02020603050405020304}Times New Roman"
             "{\\*\\falt Times};}}a\\f0 b\\f5 c}");
    const auto runs = sink.Of(EventKind::Text);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].fontName, "Arial Greek");
    EXPECT_EQ(runs[1].fontName, "Calibri");
    EXPECT_EQ(runs[2].fontName, "Times New Roman");
    EXPECT_EQ(runs[2].format.charset, 161);
}

TEST(RtfReader, ColoursComeFromTheColourTable)
{
    const RecordingSink sink =
        Read(kFonts + "\\cf1 r\\cf0 a\\cf2\\highlight1 h\\highlight0 n\\cb2 c\\cf9 x}");
    const auto runs = sink.Of(EventKind::Text);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].format.foreground, (RgbColor{255, 0, 0}));
    EXPECT_EQ(runs[0].format.background, std::nullopt);
    EXPECT_EQ(runs[1].format.foreground, std::nullopt); // entry 0 is the automatic colour
    EXPECT_EQ(runs[2].format.foreground, (RgbColor{0, 0, 255}));
    EXPECT_EQ(runs[2].format.background, (RgbColor{255, 0, 0}));
    EXPECT_EQ(runs[3].format.background, std::nullopt);
    EXPECT_EQ(runs[4].format.background, (RgbColor{0, 0, 255}));
    EXPECT_EQ(runs[5].format.foreground, std::nullopt); // past the table
}

TEST(RtfReader, ParagraphEndsCarryTheirFormat)
{
    const RecordingSink sink = Read("{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 c\\par "
                                    "\\pard\\qr r\\par \\qj j\\par \\pard last}");
    const auto ends = sink.Of(EventKind::ParagraphEnd);
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].paragraph.alignment, Alignment::Center);
    EXPECT_EQ(ends[0].paragraph.leftIndent, 720);
    EXPECT_EQ(ends[0].paragraph.rightIndent, 360);
    EXPECT_EQ(ends[0].paragraph.firstLineIndent, -360);
    EXPECT_EQ(ends[0].paragraph.spaceBefore, 120);
    EXPECT_EQ(ends[0].paragraph.spaceAfter, 240);
    EXPECT_EQ(ends[1].paragraph, (ParagraphFormat{Alignment::Right, 0, 0, 0, 0, 0, false}));
    EXPECT_EQ(ends[2].paragraph.alignment, Alignment::Justify);
    ASSERT_EQ(sink.events.back().kind, EventKind::DocumentEnd);
    EXPECT_EQ(sink.events.back().paragraph, ParagraphFormat{});
}

TEST(RtfReader, EventsArriveInDocumentOrder)
{
    const RecordingSink sink = Read("{\\rtf1 a\\line b\\page c\\par d}");
    std::vector<EventKind> kinds;
    for (const RecordedEvent &e : sink.events)
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<EventKind>{EventKind::Text, EventKind::LineBreak, EventKind::Text,
                                             EventKind::PageBreak, EventKind::Text,
                                             EventKind::ParagraphEnd, EventKind::Text,
                                             EventKind::DocumentEnd}));
}

TEST(RtfReader, TextInOneFormatIsOneRun)
{
    // A stored description escapes every byte; it still reaches the sink as one run.
    const RecordingSink sink = Read("{\\rtf1 {\\'41\\'42 \\'43}\\'44\\u69?F}");
    EXPECT_EQ(Runs(sink), (std::vector<std::string>{"AB CDEF:-----"}));
}

TEST(RtfReader, CharactersOutsideTheCodePageComeAsUnicode)
{
    const RecordingSink sink = Read(kFonts + "a\\u20013?{\\f1\\b \\'e9}\\u-10179?\\u-8704?}");
    const auto chars = sink.Of(EventKind::Unicode);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].codePoint, U'\u4E2D');
    EXPECT_EQ(chars[1].codePoint, U'\u00E9');
    EXPECT_TRUE(chars[1].format.bold);
    EXPECT_EQ(chars[1].format.font, 1);
    EXPECT_EQ(chars[2].codePoint, U'\U0001F600');
}

TEST(RtfReader, TableRowsAndCells)
{
    const RecordingSink sink =
        Read("{\\rtf1 before\\par\\trowd\\trgaph108\\trleft-108\\trqc\\cellx1000\\cellx2500"
             "\\pard\\intbl a\\cell b\\par c\\cell\\row"
             "\\trowd\\cellx3000\\intbl d\\cell\\row\\pard after\\par}");
    std::vector<EventKind> kinds;
    for (const RecordedEvent &e : sink.events)
        kinds.push_back(e.kind);
    using K = EventKind;
    EXPECT_EQ(kinds,
              (std::vector<K>{K::Text, K::ParagraphEnd, K::RowStart, K::Text, K::CellEnd, K::Text,
                              K::ParagraphEnd, K::Text, K::CellEnd, K::RowEnd, K::RowStart, K::Text,
                              K::CellEnd, K::RowEnd, K::Text, K::ParagraphEnd, K::DocumentEnd}));
    const auto starts = sink.Of(EventKind::RowStart);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].row.cellRight, (std::vector<int>{1000, 2500}));
    EXPECT_EQ(starts[0].row.cellGap, 108);
    EXPECT_EQ(starts[0].row.leftEdge, -108);
    EXPECT_EQ(starts[0].row.alignment, Alignment::Center);
    EXPECT_EQ(starts[1].row.cellRight, (std::vector<int>{3000}));
    EXPECT_EQ(starts[1].row.alignment, Alignment::Left);
    EXPECT_TRUE(sink.Of(EventKind::CellEnd)[0].paragraph.inTable);
    EXPECT_TRUE(sink.Of(EventKind::ParagraphEnd)[1].paragraph.inTable);
    EXPECT_FALSE(sink.Of(EventKind::ParagraphEnd)[2].paragraph.inTable);
}

TEST(RtfReader, RowPropertiesAfterTheCellsReachTheRowEnd)
{
    const RecordingSink sink = Read("{\\rtf1\\intbl a\\cell\\trowd\\cellx500\\cellx900\\row}");
    const auto ends = sink.Of(EventKind::RowEnd);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].row.cellRight, (std::vector<int>{500, 900}));
    EXPECT_EQ(sink.Of(EventKind::RowStart).size(), 1u);
}

TEST(RtfReader, PicturesAreDecoded)
{
    const RecordingSink sink =
        Read("{\\rtf1 a{\\pict\\pngblip\\picw10\\pich20\\picwgoal150\\pichgoal300"
             "\\picscalex50\\picscaley75 8950 4e47\r\n0d0A}"
             "{\\pict\\jpegblip\\bin4 \xFF\xD8}{}{\\pict\\dibitmap0 2800}"
             "{\\pict\\wbitmap0\\wbmbitspixel1\\wbmwidthbytes2\\picw16 ff}b}");
    const auto pictures = sink.Of(EventKind::Picture);
    ASSERT_EQ(pictures.size(), 4u);
    const Picture &png = pictures[0].picture;
    EXPECT_EQ(png.format, PictureFormat::Png);
    EXPECT_EQ(png.data, "\x89PNG\r\n");
    EXPECT_EQ(png.width, 10);
    EXPECT_EQ(png.height, 20);
    EXPECT_EQ(png.goalWidth, 150);
    EXPECT_EQ(png.goalHeight, 300);
    EXPECT_EQ(png.scaleX, 50);
    EXPECT_EQ(png.scaleY, 75);
    EXPECT_EQ(pictures[1].picture.format, PictureFormat::Jpeg);
    EXPECT_EQ(pictures[1].picture.data, "\xFF\xD8}{");
    EXPECT_EQ(pictures[2].picture.format, PictureFormat::Dib);
    EXPECT_EQ(pictures[2].picture.data, std::string("\x28\x00", 2));
    EXPECT_EQ(pictures[3].picture.format, PictureFormat::DeviceBitmap);
    EXPECT_EQ(pictures[3].picture.bitsPerPixel, 1);
    EXPECT_EQ(pictures[3].picture.widthBytes, 2);
    EXPECT_EQ(Runs(sink), (std::vector<std::string>{"a:-----", "b:-----"}));
}

TEST(RtfReader, OnlyTheFirstChoiceOfAPictureIsRead)
{
    // Word writes the picture twice: as PNG in {\*\shppict} and as a metafile for old readers.
    const RecordingSink sink = Read("{\\rtf1{\\*\\shppict{\\pict\\pngblip 01}}"
                                    "{\\nonshppict{\\pict\\wmetafile8 02}}}");
    const auto pictures = sink.Of(EventKind::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].picture.format, PictureFormat::Png);
    EXPECT_EQ(pictures[0].picture.data, "\x01");
}

TEST(RtfReader, TheSupplementHeadingIsItalicUnderlinedInFontZero)
{
    const RecordingSink sink =
        Read(kFonts + "{\\f60\\fs22 Text} \\par {\\i\\ul\\f0 \\'D3\\'F5\\'3A} \\par \\i0\\ul0 "
                      "{\\f60\\fs22 \\'41} \\par \\par}");
    const auto runs = sink.Of(EventKind::Text);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[2].text, "\xD3\xF5:");
    EXPECT_EQ(Flags(runs[2].format), "-iu--");
    EXPECT_EQ(runs[2].fontName, "Arial");
    EXPECT_EQ(runs[4].text, "A");
    EXPECT_EQ(Flags(runs[4].format), "-----");
    EXPECT_EQ(runs[4].fontName, "Tahoma");
}

TEST(RtfReader, HugeNumbersAreClamped)
{
    const RecordingSink sink = Read("{\\rtf1\\fs99999999999999999999 a\\li-99999999999 b\\par "
                                    "\\trowd\\cellx99999999999\\intbl c\\cell\\row}");
    EXPECT_EQ(sink.Of(EventKind::Text)[0].format.size, 3276);
    EXPECT_EQ(sink.Of(EventKind::ParagraphEnd)[0].paragraph.leftIndent, -2147483647 - 1);
    EXPECT_EQ(sink.Of(EventKind::RowEnd)[0].row.cellRight, (std::vector<int>{2147483647}));
}

TEST(RtfReader, CutOffDocumentsEndCleanly)
{
    // The reader still reports the last paragraph and a picture cut off by the end of input.
    const RecordingSink sink = Read("{\\rtf1\\qc a{\\b b{\\pict\\pngblip 89");
    ASSERT_EQ(sink.Of(EventKind::Picture).size(), 1u);
    EXPECT_EQ(sink.Of(EventKind::Picture)[0].picture.data, "\x89");
    ASSERT_EQ(sink.events.back().kind, EventKind::DocumentEnd);
    EXPECT_EQ(sink.events.back().paragraph.alignment, Alignment::Center);
    EXPECT_EQ(Runs(sink), (std::vector<std::string>{"a:-----", "b:b----"}));
}

TEST(RtfReader, TableCellsAreBounded)
{
    std::string rtf = "{\\rtf1\\trowd";
    for (int i = 0; i < 1000; ++i)
        rtf += "\\cellx" + std::to_string(i * 10);
    rtf += "\\intbl a\\cell\\row}";
    const RecordingSink sink = Read(rtf);
    EXPECT_EQ(sink.Of(EventKind::RowEnd)[0].row.cellRight.size(), 64u);
}

} // namespace
} // namespace termdex
