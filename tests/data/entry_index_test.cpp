#include "data/entry_index.h"

#include "fixture.h"
#include "lib/folding.h"

namespace termdex {
namespace {
using namespace termdex::testing;

class EntryIndexTest : public ProgramFolderTest
{
protected:
    // Ten shipped entries "w01".."w10" with ids 1..10, Greek "g01".. in the same order.
    void WriteTenEntries()
    {
        std::vector<std::string> english, greek;
        for (int i = 1; i <= 10; ++i) {
            english.push_back(EnglishLine(i, "w" + Digits(i, 2), 605 + 100 * i, 50 + i));
            greek.push_back(GreekLine(i, "g" + Digits(i, 2)));
        }
        WriteShippedIndex("TermdexI.tbo", english);
        WriteShippedIndex("TermdexHI.tbo", greek);
    }
    IndexLoadStatus Load()
    {
        refs.clear();
        return LoadEntryIndex(paths, index, refs);
    }
    EntryIndex index;
    std::vector<std::string> refs;
};

TEST_F(EntryIndexTest, ShippedLinesBecomeRecordsInFileOrder)
{
    WriteTenEntries();
    ASSERT_TRUE(Load().complete);
    ASSERT_EQ(index.englishCount, 10);
    ASSERT_EQ(index.greekCount, 10);
    const IndexRecord &r7 = index.english[7];
    EXPECT_EQ(r7.id, 7u);
    EXPECT_EQ(r7.headword, "w07");
    EXPECT_EQ(r7.descOffset, 1305);
    EXPECT_EQ(r7.descLength, 57);
    EXPECT_EQ(r7.kind, EntryKind::Shipped);
    EXPECT_EQ(r7.matchStart, 1);
    EXPECT_EQ(r7.greekIndex, 7);
    EXPECT_EQ(index.greek[7].englishIndex, 7);
    EXPECT_EQ(index.english[11].id, 0u); // the table ends with an empty slot
    EXPECT_EQ(index.english.size(), static_cast<size_t>(kTableSlots));
}

TEST_F(EntryIndexTest, CustomEntryIsPlacedAfterItsAnchorAndLaterSeedsStayLineNumbers)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(10, 20001, "mine", 1, 42)});
    WriteCustomIndex(paths.customGreekIndexPath, {CustomGreekLine(3, 20001, "mine-gr")});
    ASSERT_TRUE(Load().complete);
    ASSERT_EQ(index.englishCount, 11);
    EXPECT_EQ(index.english[10].headword, "w10");
    const IndexRecord &own = index.english[11];
    EXPECT_EQ(own.kind, EntryKind::Own);
    EXPECT_EQ(own.id, 20001u);
    EXPECT_EQ(own.headword, "mine");
    EXPECT_EQ(own.descOffset, 1);
    EXPECT_EQ(own.descLength, 42);
    EXPECT_EQ(own.matchStart, 1);
    // Greek: after g03, and paired by id from English record 1.
    EXPECT_EQ(index.greek[4].headword, "mine-gr");
    EXPECT_EQ(index.greek[4].englishIndex, 11);
    EXPECT_EQ(index.english[11].greekIndex, 4);
    EXPECT_EQ(index.greek[5].headword, "g04");
}

TEST_F(EntryIndexTest, CustomEntryInTheMiddleShiftsLaterRecords)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(5, 20001, "mine", 1, 3)});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.english[6].headword, "mine");
    // Line 6 is record 7; it still decoded with seed 6, or its headword would be garbled.
    EXPECT_EQ(index.english[7].headword, "w06");
    EXPECT_EQ(index.english[7].greekIndex, 6);
    EXPECT_EQ(index.greek[6].englishIndex, 7);
}

TEST_F(EntryIndexTest, SupplementMarksTheAnchorAndAddsNoRecord)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(4, 4, "w04", 17, 250),
                                             CustomEnglishLine(4, 4, "w04", 300, 12)});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.englishCount, 10);
    EXPECT_EQ(index.english[4].kind, EntryKind::Supplemented);
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0], "0000001700250");
    // A later supplement for the same anchor replaces the reference.
    EXPECT_EQ(index.english[4].supplementRef, 1);
    EXPECT_EQ(refs[1], "0000030000012");
}

TEST_F(EntryIndexTest, SupplementReferencesAccumulateOverLoads)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(4, 4, "w04", 1, 5)});
    LoadEntryIndex(paths, index, refs);
    LoadEntryIndex(paths, index, refs);
    EXPECT_EQ(refs.size(), 2u);
    EXPECT_EQ(index.english[4].supplementRef, 1);
}

TEST_F(EntryIndexTest, OutOfOrderOrUnknownAnchorStopsTheMerge)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(6, 20001, "a", 1, 1),
                                             CustomEnglishLine(2, 20002, "b", 2, 1),
                                             CustomEnglishLine(8, 20003, "c", 3, 1)});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.englishCount, 11);
    EXPECT_EQ(index.english[7].headword, "a");
    EXPECT_EQ(index.english[11].headword, "w10");

    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(77, 20001, "a", 1, 1),
                                             CustomEnglishLine(8, 20003, "c", 3, 1)});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.englishCount, 10);
}

TEST_F(EntryIndexTest, GarbledCustomLineEndsOnlyTheMerge)
{
    WriteTenEntries();
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(2, 20001, "a", 1, 1), "xx",
                                             CustomEnglishLine(8, 20003, "c", 3, 1)});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.englishCount, 11);
    EXPECT_EQ(index.english[3].headword, "a");
    EXPECT_EQ(index.english[11].headword, "w10");
}

TEST_F(EntryIndexTest, BadShippedLineEndsTheLoadWithWhatWasRead)
{
    std::vector<std::string> english;
    for (int i = 1; i <= 5; ++i)
        english.push_back(EnglishLine(i, "w" + Digits(i, 2), 605, 10));
    english[3] = english[3].substr(0, 140); // too short to hold its numbers
    WriteShippedIndex("TermdexI.tbo", english);
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(1, "g01")});
    const IndexLoadStatus status = Load();
    EXPECT_FALSE(status.complete);
    EXPECT_EQ(index.englishCount, 3);
    EXPECT_EQ(index.english[4].id, 0u);
    EXPECT_EQ(index.greekCount, 0); // the Greek pass does not run after a failed English pass
}

TEST_F(EntryIndexTest, MissingShippedFileIsNamed)
{
    const IndexLoadStatus status = Load();
    EXPECT_FALSE(status.complete);
    EXPECT_NE(status.failedFile.find("TermdexI.tbo"), std::string::npos);
    EXPECT_EQ(index.englishCount, 0);
}

TEST_F(EntryIndexTest, GreekRecordWithoutEnglishPartnerKeepsZero)
{
    WriteTenEntries();
    WriteShippedIndex("TermdexHI.tbo",
                      {GreekLine(3, "g03"), GreekLine(500, "orphan"), GreekLine(1, "g01")});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.greek[2].englishIndex, 0);
    EXPECT_EQ(index.greek[3].englishIndex, 1);
    EXPECT_EQ(index.english[1].greekIndex, 3);
    EXPECT_EQ(index.english[2].greekIndex, 0); // no Greek line for it
}

TEST_F(EntryIndexTest, PairingSearchStartsFiveBeforeTheId)
{
    // English record with id 3 stands at slot 1 and again at slot 9: the search for Greek id 3
    // starts at slot 1, the first match wins. For id 12 it starts at slot 7.
    std::vector<std::string> english;
    const int ids[] = {3, 1, 2, 4, 5, 6, 7, 8, 12, 12};
    for (int id : ids)
        english.push_back(EnglishLine(id, "e" + std::to_string(id), 605, 1));
    WriteShippedIndex("TermdexI.tbo", english);
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(3, "g3"), GreekLine(12, "g12")});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.greek[1].englishIndex, 1);
    EXPECT_EQ(index.greek[2].englishIndex, 9);
}

TEST_F(EntryIndexTest, TablesNeverGrowPastTheirRoom)
{
    std::vector<std::string> english, greek;
    for (int i = 1; i <= kMaxRecords + 50; ++i) {
        english.push_back(EnglishLine(i % 99999, "w", 605, 1));
        greek.push_back(GreekLine(i % 99999, "g"));
    }
    WriteShippedIndex("TermdexI.tbo", english);
    WriteShippedIndex("TermdexHI.tbo", greek);
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(5, 40000, "mine", 1, 1)});
    WriteCustomIndex(paths.customGreekIndexPath,
                     {CustomGreekLine(5, 40000, "mine-gr"), CustomGreekLine(5, 40001, "mine-gr2")});
    Load();
    EXPECT_EQ(index.englishCount, kMaxRecords);
    EXPECT_EQ(index.greekCount, kMaxRecords);
    EXPECT_EQ(index.english.size(), static_cast<size_t>(kTableSlots));
    EXPECT_EQ(index.english[6].headword, "mine");
    // The reader's Greek records push the shipped ones up; the last two fall off the table.
    EXPECT_EQ(index.greek[6].headword, "mine-gr");
    EXPECT_EQ(index.greek[7].headword, "mine-gr2");
    EXPECT_EQ(index.greek[8].id, 6u);
    EXPECT_EQ(index.greek[kMaxRecords].id, static_cast<uint32_t>(kMaxRecords - 2));
    EXPECT_EQ(index.greek[6].englishIndex, 6);
}

TEST_F(EntryIndexTest, CopyKeepsItsHeadwordsWhenTheOriginalReloads)
{
    WriteTenEntries();
    ASSERT_TRUE(Load().complete);
    const EntryIndex copy = index;
    WriteShippedIndex("TermdexI.tbo", {EnglishLine(1, "other", 605, 1)});
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(1, "allo")});
    ASSERT_TRUE(Load().complete);
    EXPECT_EQ(index.english[1].headword, "other");
    EXPECT_EQ(copy.english[1].headword, "w01");
    EXPECT_EQ(copy.greek[10].headword, "g10");
    EXPECT_EQ(copy.english[10].greekIndex, 10);
}

TEST_F(EntryIndexTest, LinesSplitAtEveryLineEndAndAcrossReadBuffers)
{
    // The file is read through a 256 KiB buffer: a first line 37 characters longer puts the CR
    // of line 1702 on the buffer's last byte and its LF on the next read's first.
    std::string file;
    const int lines = 3000;
    for (int n = 1; n <= lines; ++n) {
        std::string line = EnglishLine(n, "w" + std::to_string(n), 605, 1);
        if (n == 1)
            line += std::string(37, 'x');
        const char *end = n == 2000 ? "\n" : n == 2001 ? "\r" : "\r\n";
        file += MirrorEncode(n, line) + end;
    }
    ASSERT_EQ(file[262143], '\r');
    WriteFile(paths.programFolder / "data" / "TermdexI.tbo", file);
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(1702, "g")});
    ASSERT_TRUE(Load().complete);
    ASSERT_EQ(index.englishCount, lines);
    for (int r : {1, 1702, 1703, 2000, 2001, 2002, lines})
        EXPECT_EQ(index.english[r].headword, "w" + std::to_string(r)) << r;
    EXPECT_EQ(index.greek[1].englishIndex, 1702);
}

TEST_F(EntryIndexTest, LetterStartsComeFromTheLoadedTables)
{
    std::vector<std::string> english = {
        EnglishLine(1, "Abc", 605, 1), EnglishLine(2, "bar", 605, 1),
        EnglishLine(3, " Bat", 605, 1), EnglishLine(4, "x-ray", 605, 1, 3)};
    WriteShippedIndex("TermdexI.tbo", english);
    // "Άλφα", "βήτα", "Ϋ" (no letter start), "ςχ"
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(1, "\xA2\xEB\xF6\xE1"), GreekLine(2, "\xE2\xDE"),
                                        GreekLine(3, "\xDB"), GreekLine(4, "\xF2\xF7")});
    Load();
    const LetterStarts starts = ComputeLetterStarts(index);
    EXPECT_EQ(starts.EnglishStart('a'), 1);
    EXPECT_EQ(starts.EnglishStart('b'), 2);
    EXPECT_EQ(starts.EnglishStart('r'), 4); // compared from matchStart 3 of "x-ray"
    EXPECT_EQ(starts.EnglishStart('x'), 1); // nothing starts with x at its matchStart
    EXPECT_EQ(starts.EnglishStart('3'), 1);
    EXPECT_EQ(starts.GreekStart(0xE1), 1);
    EXPECT_EQ(starts.GreekStart(0xE2), 2);
    EXPECT_EQ(starts.GreekStart(0xFB), 1); // ϋ is outside the letter range
    EXPECT_EQ(starts.GreekStart(0xF2), 4);
    EXPECT_EQ(starts.GreekStart(0xF9), 1);
}

TEST_F(EntryIndexTest, GarbageFilesNeverCrashTheLoad)
{
    std::string noise;
    unsigned state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        noise += static_cast<char>(state >> 24);
    }
    WriteFile(paths.programFolder / "data" / "TermdexI.tbo", noise);
    WriteFile(paths.programFolder / "data" / "TermdexHI.tbo", noise);
    WriteFile(paths.customIndexPath, noise);
    Load();
    EXPECT_LE(index.englishCount, kMaxRecords);
}

} // namespace
} // namespace termdex
