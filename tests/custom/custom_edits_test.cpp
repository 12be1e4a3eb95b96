#include "custom/custom_edits.h"

#include "custom_fixture.h"

namespace termdex {
namespace {
using namespace termdex::testing;

std::string Coded(const std::vector<Cp1253> &lines)
{
    std::string out;
    for (const Cp1253 &line : lines)
        out += ShiftCodec(line, false) + "\r\n";
    return out;
}

// "Ab", CR LF, "c" as the reader's own entry.
const Cp1253 kAbc = "Ab\r\nc";
const Cp1253 kAbcStored = "{\\'41\\'62 \\par \\'63}";

TEST(EscapeDescriptionTest, EscapesEveryByteAndTurnsCrLfIntoPar)
{
    EXPECT_EQ(EscapeDescription(kAbc, kOwnEntryPrefix), kAbcStored);
    EXPECT_EQ(EscapeDescription(G("Aβ"), "{"), "{\\'41\\'E2}");
    // A lone CR or LF stays an escape; CR CR LF pairs the second CR.
    EXPECT_EQ(EscapeDescription("a\rb\nc", "{"), "{\\'61\\'0D\\'62\\'0A\\'63}");
    EXPECT_EQ(EscapeDescription("\r\r\n", "{"), "{\\'0D \\par }");
    EXPECT_EQ(EscapeDescription("", kSupplementPrefix), "{\\f60\\fs22 }");
    EXPECT_EQ(EscapeDescription(std::string("x\0y", 3), "{"), "{\\'78}");
    const Cp1253 all = [] {
        Cp1253 s;
        for (int c = 1; c < 256; ++c)
            s += static_cast<char>(c);
        return s;
    }();
    for (char c : EscapeDescription(all, "{"))
        EXPECT_TRUE(c >= 32 && c < 127);
}

class CustomEditsTest : public CustomFilesTest
{
protected:
    void SetUp() override
    {
        CustomFilesTest::SetUp();
        WriteSmallDictionary();
        Load();
    }
};

TEST_F(CustomEditsTest, FirstEntryEverStartsAtPositionOne)
{
    ASSERT_TRUE(Insert("bravo", G("μπράβο"), kAbc).ok());
    // After "beta" (id 2), the largest id + 1 = 7; the stored text is 20 characters long.
    EXPECT_EQ(Bytes(paths.customIndexPath), Coded({"00002"
                                                   "00007" +
                                                   Pad("bravo", 80) +
                                                   "00000001"
                                                   "00020"}));
    EXPECT_EQ(Bytes(paths.customDescriptionPath), ShiftCodec(kAbcStored, false));
    // Greek: after "δέλτα" (id 3), the last shipped Greek key not above "μπραβο"; not padded.
    EXPECT_EQ(Bytes(paths.customGreekIndexPath), Coded({"00003"
                                                        "00007" +
                                                        G("μπράβο")}));
    EXPECT_FALSE(FileExists(paths.tempIndexPath));
    EXPECT_FALSE(FileExists(paths.tempDescriptionPath));
    EXPECT_FALSE(FileExists(paths.tempGreekIndexPath));

    const int r = Record("bravo");
    ASSERT_EQ(r, 3);
    EXPECT_EQ(index.english[r].kind, EntryKind::Own);
    EXPECT_EQ(index.english[r].id, 7u);
    EXPECT_EQ(index.english[r].descOffset, 1);
    EXPECT_EQ(index.english[r].descLength, 20);
    EXPECT_EQ(StoredOf(r), kAbcStored);
    EXPECT_EQ(GreekOf(r), G("μπράβο"));
}

TEST_F(CustomEditsTest, EntryWithoutDescriptionTakesNoRoom)
{
    ASSERT_TRUE(Insert("bravo").ok());
    EXPECT_EQ(Bytes(paths.customIndexPath), Coded({"00002"
                                                   "00007" +
                                                   Pad("bravo", 80) +
                                                   "00000001"
                                                   "00000"}));
    EXPECT_EQ(Bytes(paths.customDescriptionPath), "");
    EXPECT_FALSE(FileExists(paths.customGreekIndexPath)); // no Greek headword, no Greek file
    // The next line's position is unchanged by the empty one before it.
    ASSERT_TRUE(Insert("zulu", "", "x").ok());
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00002"
                                                                 "00007" +
                                                                     Pad("bravo", 80) +
                                                                     "00000001"
                                                                     "00000",
                                                                 "00006"
                                                                 "00008" +
                                                                     Pad("zulu", 80) +
                                                                     "00000001"
                                                                     "00006"}));
    EXPECT_EQ(CheckInvariants(paths), "");
}

TEST_F(CustomEditsTest, HeadwordIsTrimmedAndAnchoredByItsKey)
{
    // Leading digits and punctuation do not count for the anchor; blanks are cut in the line.
    ASSERT_TRUE(Insert("  1-delta's  ", "", "").ok());
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00003"
                                                                 "00007" +
                                                                 Pad("1-delta's", 80) +
                                                                 "00000001"
                                                                 "00000"}));
}

TEST_F(CustomEditsTest, AnchorIsTheLastRecordNotAboveTheKey)
{
    // Just before each shipped headword: anchored to the one before it, or to record 1.
    const std::vector<std::pair<Cp1253, int>> cases = {
        {"alph", 1}, {"bet", 1}, {"delt", 2}, {"gamm", 3}, {"omeg", 4}, {"sigm", 5}, {"zz", 6}};
    for (const auto &[headword, anchor] : cases) {
        SCOPED_TRACE(headword);
        std::filesystem::remove_all(m_root / "custom" / "Data");
        std::filesystem::create_directories(m_root / "custom" / "Data");
        Load();
        ASSERT_TRUE(Insert(headword).ok());
        const auto lines = Lines(paths.customIndexPath);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].substr(0, 10), FiveDigits(anchor) + "00007");
        // The entry follows its anchor in the reloaded table.
        EXPECT_EQ(Record(headword), anchor + 1);
    }
}

TEST_F(CustomEditsTest, SecondEntryOnOneAnchorWithSmallerKeyGoesAfterTheFirst)
{
    ASSERT_TRUE(Insert("bz", "", "1").ok());
    ASSERT_TRUE(Insert("bo", "", "22").ok());
    // "bo" sorts before "bz", but the search stops at "beta": the shipped entry goes after
    // every line already anchored to it.
    const Cp1253 s1 = EscapeDescription("1", "{"), s2 = EscapeDescription("22", "{");
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00002"
                                                                 "00007" +
                                                                     Pad("bz", 80) +
                                                                     "00000001"
                                                                     "00006",
                                                                 "00002"
                                                                 "00008" +
                                                                     Pad("bo", 80) +
                                                                     "00000007"
                                                                     "00010"}));
    EXPECT_EQ(Bytes(paths.customDescriptionPath), ShiftCodec(s1, false) + ShiftCodec(s2, false));
    EXPECT_EQ(Record("bz"), 3);
    EXPECT_EQ(Record("bo"), 4);
}

TEST_F(CustomEditsTest, EntryAboveOneOfTheReadersOwnGoesRightAfterIt)
{
    ASSERT_TRUE(Insert("gx", "", "x").ok());  // anchored to gamma (id 4)
    ASSERT_TRUE(Insert("bo", "", "1").ok());  // anchored to beta
    ASSERT_TRUE(Insert("bz", "", "22").ok()); // above "bo", below "delta": after "bo"'s line
    // The anchor written is that of "bo"'s line (the shipped head of its group), and the later
    // line moved by the new description.
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00002"
                                                                 "00008" +
                                                                     Pad("bo", 80) +
                                                                     "00000001"
                                                                     "00006",
                                                                 "00002"
                                                                 "00009" +
                                                                     Pad("bz", 80) +
                                                                     "00000007"
                                                                     "00010",
                                                                 "00004"
                                                                 "00007" +
                                                                     Pad("gx", 80) +
                                                                     "00000017"
                                                                     "00006"}));
    EXPECT_EQ(Record("bo"), 3);
    EXPECT_EQ(Record("bz"), 4);
    EXPECT_EQ(StoredOf(Record("gx")), "{\\'78}");
    EXPECT_EQ(CheckInvariants(paths), "");
}

TEST_F(CustomEditsTest, GreekLineOfAnOwnEntryIsAnchoredToTheShippedHeadOfItsGroup)
{
    ASSERT_TRUE(Insert("b1", G("δεμ"), "").ok()); // after δέλτα (id 3)
    ASSERT_TRUE(Insert("b2", G("δεν"), "").ok()); // after "δεμ", one of the reader's own
    EXPECT_EQ(Lines(paths.customGreekIndexPath), (std::vector<Cp1253>{"00003"
                                                                      "00007" +
                                                                          G("δεμ"),
                                                                      "00003"
                                                                      "00008" +
                                                                          G("δεν")}));
    // Below every key: anchored to Greek record 1 and written first.
    ASSERT_TRUE(Insert("b3", G("αα"), "").ok());
    EXPECT_EQ(Lines(paths.customGreekIndexPath)[0], "00001"
                                                    "00009" +
                                                        G("αα"));
    EXPECT_EQ(GreekOf(Record("b2")), G("δεν"));
    EXPECT_EQ(GreekOf(Record("b3")), G("αα"));
    EXPECT_EQ(CheckInvariants(paths), "");
}

TEST_F(CustomEditsTest, ModifyingAnOwnEntryGivesItANewIdAndPlace)
{
    ASSERT_TRUE(Insert("bravo", G("μπράβο"), "old").ok()); // id 7
    ASSERT_TRUE(Insert("charlie", G("τσάρλι"), "c").ok()); // id 8, after bravo's line
    const int bravo = Record("bravo");
    ASSERT_TRUE(Update(bravo, "new", "zulu", G("ζούλου")).ok());
    // Removed, then inserted with the largest remaining id + 1 after sigma.
    const Cp1253 sc = EscapeDescription("c", "{"), sn = EscapeDescription("new", "{");
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00002"
                                                                 "00008" +
                                                                     Pad("charlie", 80) +
                                                                     "00000001"
                                                                     "00006",
                                                                 "00006"
                                                                 "00009" +
                                                                     Pad("zulu", 80) +
                                                                     "00000007"
                                                                     "00014"}));
    EXPECT_EQ(Bytes(paths.customDescriptionPath), ShiftCodec(sc, false) + ShiftCodec(sn, false));
    EXPECT_EQ(Lines(paths.customGreekIndexPath), (std::vector<Cp1253>{"00003"
                                                                      "00009" +
                                                                          G("ζούλου"),
                                                                      "00006"
                                                                      "00008" +
                                                                          G("τσάρλι")}));
    EXPECT_EQ(Record("bravo"), 0);
    EXPECT_EQ(index.english[Record("zulu")].id, 9u);
    EXPECT_EQ(StoredOf(Record("zulu")), sn);
    EXPECT_EQ(CheckInvariants(paths), "");
    for (const char *scratch : {"templex.tbo", "tempi.tbo", "tempigr.tbo", "tempcommit.tbo"})
        EXPECT_FALSE(std::filesystem::exists(m_root / "custom" / "Data" / scratch)) << scratch;
}

TEST_F(CustomEditsTest, SupplementToAShippedEntryAndItsRemoval)
{
    ASSERT_TRUE(Insert("gx", "", "x").ok()); // anchored to gamma (id 4)
    const int gamma = Record("gamma");
    // An empty supplement text still stores the prefix and the brace: 12 characters, placed
    // before the lines anchored to the entry.
    ASSERT_TRUE(Update(gamma, "").ok());
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00004"
                                                                 "00004" +
                                                                     Pad("", 80) +
                                                                     "00000001"
                                                                     "00012",
                                                                 "00004"
                                                                 "00007" +
                                                                     Pad("gx", 80) +
                                                                     "00000013"
                                                                     "00006"}));
    EXPECT_EQ(index.english[gamma].kind, EntryKind::Supplemented);
    EXPECT_EQ(SupplementOf(gamma), "{\\f60\\fs22 }");
    EXPECT_EQ(index.englishCount, 7); // a supplement adds no record

    ASSERT_TRUE(Update(gamma, "Ab").ok());
    EXPECT_EQ(SupplementOf(gamma), "{\\f60\\fs22 \\'41\\'62}");
    EXPECT_EQ(Lines(paths.customIndexPath)[1].substr(90), "00000021"
                                                          "00006");
    EXPECT_EQ(StoredOf(Record("gx")), "{\\'78}");

    // An empty text on a supplemented entry removes the supplement: kind 'L' again.
    ASSERT_TRUE(Update(gamma, "").ok());
    EXPECT_EQ(index.english[gamma].kind, EntryKind::Shipped);
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00004"
                                                                 "00007" +
                                                                 Pad("gx", 80) +
                                                                 "00000001"
                                                                 "00006"}));
    EXPECT_EQ(CheckInvariants(paths), "");
}

TEST_F(CustomEditsTest, DeletingTheOnlyEntryLeavesThreeEmptyFiles)
{
    ASSERT_TRUE(Insert("bravo", G("μπράβο"), kAbc).ok());
    ASSERT_TRUE(Delete(Record("bravo")).ok());
    EXPECT_EQ(Bytes(paths.customIndexPath), "");
    EXPECT_EQ(Bytes(paths.customGreekIndexPath), "");
    EXPECT_EQ(Bytes(paths.customDescriptionPath), "");
    EXPECT_EQ(index.englishCount, 6);
}

TEST_F(CustomEditsTest, DeleteInTheMiddleMovesLaterPositions)
{
    ASSERT_TRUE(Insert("bravo", G("μπράβο"), "1").ok());
    ASSERT_TRUE(Insert("echo", G("έκο"), "22").ok());
    ASSERT_TRUE(Update(Record("omega"), "s").ok());
    ASSERT_TRUE(Delete(Record("bravo")).ok());
    EXPECT_EQ(Lines(paths.customIndexPath), (std::vector<Cp1253>{"00003"
                                                                 "00008" +
                                                                     Pad("echo", 80) +
                                                                     "00000001"
                                                                     "00010",
                                                                 "00005"
                                                                 "00005" +
                                                                     Pad("", 80) +
                                                                     "00000011"
                                                                     "00016"}));
    EXPECT_EQ(Lines(paths.customGreekIndexPath), (std::vector<Cp1253>{"00003"
                                                                      "00008" +
                                                                      G("έκο")}));
    EXPECT_EQ(StoredOf(Record("echo")), EscapeDescription("22", "{"));
    EXPECT_EQ(SupplementOf(Record("omega")), EscapeDescription("s", kSupplementPrefix));
    EXPECT_EQ(CheckInvariants(paths), "");
}

TEST_F(CustomEditsTest, RefusalsWriteNothing)
{
    ASSERT_TRUE(Insert("bravo", "", "x").ok());
    const auto before = Bytes(paths.customIndexPath);
    const auto refuse = [&](EditStatus status, const char *message) {
        EXPECT_EQ(status.outcome, EditOutcome::Refused);
        EXPECT_EQ(status.message, message);
        EXPECT_EQ(Bytes(paths.customIndexPath), before);
        EXPECT_FALSE(FileExists(paths.customGreekIndexPath));
    };
    // 7749 characters store as 30998 bytes, 7750 as 31002: more than the display reads back.
    EXPECT_TRUE(RefuseEntryTexts({"a", "", std::string(7749, 'x')}, EntryKind::Own) ==
                std::nullopt);
    refuse(Insert("c1", G("γ"), std::string(7750, 'x')), kMessageDescriptionTooLong);
    // A supplement has the longer prefix: 7747 characters make exactly 31000 bytes.
    EXPECT_TRUE(RefuseEntryTexts({"a", "", std::string(7747, 'x')}, EntryKind::Shipped) ==
                std::nullopt);
    refuse(Update(Record("gamma"), std::string(7748, 'x')), kMessageDescriptionTooLong);
    refuse(Insert(std::string(81, 'a')), kMessageHeadwordTooLong);
    refuse(Insert("a", G("κ") + std::string(80, ' ')), kMessageHeadwordTooLong);
    refuse(Insert("a\tb"), kMessageHeadwordCharacter);
    refuse(Insert("ab", "\xFF"), kMessageHeadwordCharacter);
    refuse(Delete(Record("gamma")), kMessageOnlyOwnEntries);
    refuse(Delete(0), kMessageNoEntry);
    // An empty English headword does nothing at all.
    EXPECT_EQ(Insert("").outcome, EditOutcome::Unchanged);
    EXPECT_EQ(Bytes(paths.customIndexPath), before);
}

TEST_F(CustomEditsTest, IdAbove99999IsRefused)
{
    WriteShippedIndex("TermdexI.tbo", {EnglishLine(99998, "alpha", 603, 10)});
    Load();
    ASSERT_TRUE(Insert("beta").ok());
    EXPECT_EQ(index.english[Record("beta")].id, 99999u);
    const EditStatus status = Insert("gamma");
    EXPECT_EQ(status.outcome, EditOutcome::Refused);
    EXPECT_EQ(status.message, kMessageNoFreeId);
    EXPECT_EQ(Lines(paths.customIndexPath).size(), 1u);
}

TEST_F(CustomEditsTest, FullTableIsRefused)
{
    std::vector<std::string> lines;
    for (int id = 1; id <= kMaxRecords - 1; ++id)
        lines.push_back(EnglishLine(id, "w" + Digits(id, 5), 603, 10));
    WriteShippedIndex("TermdexI.tbo", lines);
    WriteShippedIndex("TermdexHI.tbo", {});
    Load();
    ASSERT_TRUE(Insert("w99999").ok()); // the last slot
    EXPECT_EQ(index.englishCount, kMaxRecords);
    const EditStatus status = Insert("x");
    EXPECT_EQ(status.outcome, EditOutcome::Refused);
    EXPECT_EQ(status.message, kMessageTableFull);
    // A supplement needs no slot.
    EXPECT_TRUE(Update(1, "s").ok());
}

TEST_F(CustomEditsTest, DamagedFilesAreReportedAndLeftAlone)
{
    ASSERT_TRUE(Insert("bravo", "", "some text").ok());
    const auto index1 = Bytes(paths.customIndexPath);
    // The description file is shorter than its lines say.
    WriteFile(paths.customDescriptionPath, "abc");
    EditStatus status = Insert("delta2", "", "y");
    EXPECT_EQ(status.outcome, EditOutcome::Failed);
    EXPECT_EQ(status.message, kMessageDamaged);
    EXPECT_EQ(Bytes(paths.customIndexPath), index1);
    EXPECT_EQ(Bytes(paths.customDescriptionPath), "abc");
    // A line whose length column is not a number.
    WriteCustomIndex(paths.customIndexPath, {"00002"
                                             "00007" +
                                             Pad("bravo", 80) + "0000000x"});
    Load();
    status = Update(Record("gamma"), "s");
    EXPECT_EQ(status.outcome, EditOutcome::Failed);
    EXPECT_FALSE(FileExists(paths.tempIndexPath));
}

TEST_F(CustomEditsTest, NoCustomFolderIsAFailure)
{
    SetCustomPaths(paths, "");
    const EditStatus status = InsertEntry(paths, index, {"bravo", "", ""}, RealFileSystem());
    EXPECT_EQ(status.outcome, EditOutcome::Failed);
    EXPECT_EQ(status.message, kMessageNoFolder);
}

} // namespace
} // namespace termdex
