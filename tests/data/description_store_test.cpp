#include "data/description_store.h"

#include "fixture.h"
#include "lib/files.h"

namespace termdex {
namespace {
using namespace termdex::testing;

class DescriptionStoreTest : public ProgramFolderTest
{
protected:
    // A description file: the coded header block, then texts coded with their file positions.
    void WriteDescriptionFile(const std::string &header, const std::vector<std::string> &texts)
    {
        std::string plain = Pad(header, kHeaderBlockSize) + "\r\n";
        for (const std::string &text : texts) {
            offsets.push_back(static_cast<int64_t>(plain.size()));
            plain += text + "\r\n";
        }
        WriteFile(paths.DescriptionFile(), DescriptionEncode(1, plain));
    }
    std::vector<int64_t> offsets;
};

TEST_F(DescriptionStoreTest, HeaderIsTheDecodedBlockAfterABrace)
{
    WriteDescriptionFile("\\rtf1\\ansi\\ansicpg1253{\\fonttbl}", {"x"});
    const auto header = LoadRtfHeader(paths);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->size(), 1u + kHeaderBlockSize);
    EXPECT_EQ(header->substr(0, 12), "{\\rtf1\\ansi\\");
}

TEST_F(DescriptionStoreTest, MissingFileLeavesTheHeaderAlone)
{
    EXPECT_FALSE(LoadRtfHeader(paths));
}

TEST_F(DescriptionStoreTest, ShippedDescriptionIsJoinedBehindTheHeader)
{
    WriteDescriptionFile("{\\rtf1}", {"first", "\\f60 second"});
    IndexRecord record;
    record.kind = EntryKind::Shipped;
    record.descOffset = static_cast<int32_t>(offsets[1]);
    record.descLength = 11;
    const auto source = DescriptionSourceFor(paths, record, {});
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->shippedFile);
    const auto document = ReadDescriptionDocument("{HEADER", *source);
    ASSERT_TRUE(document);
    EXPECT_EQ(*document, "{HEADER\r\n\\f60 second\\par \\par}\r\n");
}

TEST_F(DescriptionStoreTest, EmptyDescriptionStillMakesADocument)
{
    WriteDescriptionFile("{\\rtf1}", {""});
    DescriptionSource source{paths.DescriptionFile().string(), true, offsets[0], 0, "", 0, 0};
    EXPECT_EQ(ReadDescriptionDocument("{H", source), "{H\r\n\\par \\par}\r\n");
}

TEST_F(DescriptionStoreTest, SupplementFollowsTheShippedTextWithItsHeading)
{
    WriteDescriptionFile("{\\rtf1}", {"shipped"});
    const std::string mine = "{\\'e1}";
    WriteFile(paths.customDescriptionPath, "zz" + ShiftCodec(mine, false));
    IndexRecord record;
    record.kind = EntryKind::Supplemented;
    record.descOffset = static_cast<int32_t>(offsets[0]);
    record.descLength = 7;
    record.supplementRef = 0;
    const auto source = DescriptionSourceFor(paths, record, {"0000000300006"});
    ASSERT_TRUE(source);
    EXPECT_EQ(source->supplementOffset, 2);
    EXPECT_EQ(source->supplementLength, 6);
    const auto document = ReadDescriptionDocument("{H", *source);
    ASSERT_TRUE(document);
    EXPECT_EQ(*document,
              std::string("{H\r\nshipped") + kSupplementHeading + "{\\'e1} \\par \\par}\r\n");
    EXPECT_EQ(
        std::string(kSupplementHeading),
        " \\par {\\i\\ul\\f0 \\'D3\\'F5\\'EC\\'F0\\'EB\\'DE\\'F1\\'F9\\'F3\\'E7\\'20\\'E4\\'E9"
        "\\'EA\\'DE\\'20\\'F3\\'E1\\'F2\\'3A} \\par \\i0\\ul0 ");

    // Without the custom file the shipped text shows alone.
    std::filesystem::remove(paths.customDescriptionPath);
    EXPECT_EQ(ReadDescriptionDocument("{H", *source), "{H\r\nshipped\\par \\par}\r\n");
}

TEST_F(DescriptionStoreTest, OwnEntryIsReadAtItsOneBasedPosition)
{
    WriteFile(paths.customDescriptionPath, ShiftCodec("abc", false) + ShiftCodec("{mine}", false));
    IndexRecord record;
    record.kind = EntryKind::Own;
    record.descOffset = 4;
    record.descLength = 6;
    const auto source = DescriptionSourceFor(paths, record, {});
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->shippedFile);
    EXPECT_EQ(ReadDescriptionDocument("{H", *source), "{H\r\n{mine}\\par \\par}\r\n");
}

TEST_F(DescriptionStoreTest, UnreadableTextsKeepTheDisplay)
{
    WriteDescriptionFile("{\\rtf1}", {"short"});
    DescriptionSource source{paths.DescriptionFile().string(), true, offsets[0], 5000, "", 0, 0};
    EXPECT_FALSE(ReadDescriptionDocument("{H", source)); // runs past the end of the file
    source.length = kDescriptionBufferSize + 1;
    EXPECT_FALSE(ReadDescriptionDocument("{H", source)); // longer than the read buffer
    source.offset = -1;
    source.length = 1;
    EXPECT_FALSE(ReadDescriptionDocument("{H", source));
    IndexRecord record;
    record.kind = EntryKind::Own;
    ProgramPaths noCustom;
    EXPECT_FALSE(DescriptionSourceFor(noCustom, record, {}));
    record.kind = EntryKind::None;
    EXPECT_FALSE(DescriptionSourceFor(paths, record, {}));
}

TEST_F(DescriptionStoreTest, BadSupplementReferenceLeavesTheSupplementOut)
{
    IndexRecord record;
    record.kind = EntryKind::Supplemented;
    record.supplementRef = 3;
    auto source = DescriptionSourceFor(paths, record, {"0000000100005"});
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->supplementFile.empty());
    record.supplementRef = 0;
    source = DescriptionSourceFor(paths, record, {"00000x0100005"});
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->supplementFile.empty());
}

} // namespace
} // namespace termdex
