#include "data/index_snapshot.h"
#include "lib/user_folders.h"
#include "tests/data/fixture.h"

#include <gtest/gtest.h>
#include <map>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include <sys/stat.h>

namespace termdex {
namespace {

using namespace std::chrono_literals;
using testing::CustomEnglishLine;
using testing::CustomGreekLine;
using testing::EnglishLine;
using testing::GreekLine;

// Two indexes are the same when every slot of both tables (the empty ones too) holds the same
// record, headword bytes included, and the supplement references agree.
void ExpectSameIndex(const EntryIndex &expected, const std::vector<std::string> &expectedRefs,
                     const EntryIndex &actual, const std::vector<std::string> &actualRefs)
{
    ASSERT_EQ(expected.englishCount, actual.englishCount);
    ASSERT_EQ(expected.greekCount, actual.greekCount);
    ASSERT_EQ(expectedRefs, actualRefs);
    for (const auto table : {&EntryIndex::english, &EntryIndex::greek}) {
        const auto &want = expected.*table, &got = actual.*table;
        ASSERT_EQ(want.size(), got.size());
        for (size_t r = 0; r < want.size(); ++r) {
            SCOPED_TRACE("slot " + std::to_string(r));
            EXPECT_EQ(want[r].id, got[r].id);
            EXPECT_EQ(want[r].headword, got[r].headword);
            EXPECT_EQ(want[r].descOffset, got[r].descOffset);
            EXPECT_EQ(want[r].descLength, got[r].descLength);
            EXPECT_EQ(want[r].kind, got[r].kind);
            EXPECT_EQ(want[r].matchStart, got[r].matchStart);
            EXPECT_EQ(want[r].supplementRef, got[r].supplementRef);
            EXPECT_EQ(want[r].greekIndex, got[r].greekIndex);
            EXPECT_EQ(want[r].englishIndex, got[r].englishIndex);
        }
    }
}

std::string ReadBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class IndexSnapshotTest : public testing::ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        WriteShippedIndex("TermdexI.tbo",
                          {EnglishLine(1, "demand", 0, 10), EnglishLine(2, "supply", 10, 20, 2),
                           EnglishLine(3, "tax", 30, 30)});
        WriteShippedIndex("TermdexHI.tbo", {GreekLine(1, "\xe6\xde\xf4\xe7\xf3\xe7"),
                                            GreekLine(2, "\xf0\xf1\xef\xf3\xf6\xef\xf1\xdc"),
                                            GreekLine(3, "\xf6\xef\xf1\xef\xfc\xf2")});
        WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(1, 1, "demand", 1, 40),
                                                 CustomEnglishLine(2, 40001, "my supply", 41, 50)});
        WriteCustomIndex(paths.customGreekIndexPath,
                         {CustomGreekLine(2, 40001, "\xe4\xe9\xea\xde \xec\xef\xf5")});
        cache.folder = m_root / "cache";
        cache.settleTime = 0ns; // the files were just written; the tests treat them as settled
    }

    // The tables as the files themselves give them, after `prior` supplement references.
    void ExpectCachedLoadMatchesTheFiles(size_t prior = 0)
    {
        EntryIndex parsed, cached;
        std::vector<std::string> parsedRefs(prior, "0000000100001"), cachedRefs = parsedRefs;
        const IndexLoadStatus status = LoadEntryIndex(paths, parsed, parsedRefs);
        const IndexLoadStatus cachedStatus = LoadEntryIndexCached(paths, cache, cached, cachedRefs);
        EXPECT_EQ(status.complete, cachedStatus.complete);
        ExpectSameIndex(parsed, parsedRefs, cached, cachedRefs);
    }

    std::filesystem::path SnapshotFile() const
    {
        return IndexSnapshotFile(cache.folder, StampIndexSources(paths));
    }

    // True when the snapshot on disk is current and whole for the files as they are.
    bool SnapshotIsCurrent() const
    {
        EntryIndex index;
        std::vector<std::string> refs;
        return ReadIndexSnapshot(SnapshotFile(), StampIndexSources(paths), index, refs);
    }

    IndexCache cache;
};

TEST_F(IndexSnapshotTest, SnapshotGivesExactlyTheParsedTables)
{
    ExpectCachedLoadMatchesTheFiles(); // parses and writes the snapshot
    ASSERT_TRUE(SnapshotIsCurrent());
    ExpectCachedLoadMatchesTheFiles(); // reads it
    // References a caller already holds come first, and the records count past them.
    ExpectCachedLoadMatchesTheFiles(3);
}

TEST_F(IndexSnapshotTest, AnyChangeToTheIndexFilesIsSeen)
{
    ExpectCachedLoadMatchesTheFiles();
    // The reader adds an entry: the custom file grows.
    WriteCustomIndex(paths.customIndexPath, {CustomEnglishLine(1, 1, "demand", 1, 40),
                                             CustomEnglishLine(3, 40002, "tax break", 91, 9)});
    EXPECT_FALSE(SnapshotIsCurrent());
    ExpectCachedLoadMatchesTheFiles();
    // The shipped Greek file is replaced by one of the same size (a new file renamed over it).
    const auto greek = paths.programFolder / "data" / "TermdexHI.tbo";
    const auto spare = paths.programFolder / "data" / "spare";
    std::filesystem::copy_file(greek, spare);
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(1, "\xe6\xde\xf4\xe7\xf3\xe7"),
                                        GreekLine(2, "\xf0\xf1\xef\xf3\xf6\xef\xf1\xdc"),
                                        GreekLine(3, "\xf6\xef\xf1\xef\xe9\xf2")});
    std::filesystem::rename(greek, spare.string() + "2");
    std::filesystem::rename(spare.string() + "2", greek);
    EXPECT_FALSE(SnapshotIsCurrent());
    ExpectCachedLoadMatchesTheFiles();
    // The reader's Greek file goes, then comes back.
    std::filesystem::remove(paths.customGreekIndexPath);
    EXPECT_FALSE(SnapshotIsCurrent());
    ExpectCachedLoadMatchesTheFiles();
    WriteCustomIndex(paths.customGreekIndexPath, {CustomGreekLine(3, 40002, "\xe1")});
    EXPECT_FALSE(SnapshotIsCurrent());
    ExpectCachedLoadMatchesTheFiles();
    EXPECT_TRUE(SnapshotIsCurrent());
}

TEST_F(IndexSnapshotTest, NoSnapshotOfFreshFilesOrOfAnIncompleteLoad)
{
    cache.settleTime = 1h;
    ExpectCachedLoadMatchesTheFiles();
    EXPECT_FALSE(std::filesystem::exists(SnapshotFile()));

    IndexSources sources = StampIndexSources(paths);
    sources.files[0].modifiedNs = sources.files[0].changedNs = sources.stampedAtNs - 2'000'000'000;
    for (size_t i = 1; i < sources.files.size(); ++i)
        sources.files[i].exists = false; // missing files have no times to wait for
    EXPECT_TRUE(sources.SettledFor(1s));
    EXPECT_FALSE(sources.SettledFor(3s));
    sources.files[0].changedNs = sources.stampedAtNs + 1; // a clock set back: never settled
    EXPECT_FALSE(sources.SettledFor(0ns));

    cache.settleTime = 0ns;
    WriteShippedIndex("TermdexI.tbo", {EnglishLine(1, "demand", 0, 10), "garbled line"});
    ExpectCachedLoadMatchesTheFiles();
    EXPECT_FALSE(std::filesystem::exists(SnapshotFile()));
}

TEST_F(IndexSnapshotTest, DamagedOrForeignSnapshotIsRefused)
{
    ExpectCachedLoadMatchesTheFiles();
    const auto file = SnapshotFile();
    const std::string good = ReadBytes(file);
    ASSERT_GT(good.size(), 100u);
    std::vector<std::string> damaged;
    for (size_t length : {size_t(0), size_t(7), size_t(24), good.size() / 2, good.size() - 1})
        damaged.push_back(good.substr(0, length));
    damaged.push_back(good + "x");
    for (size_t at : {size_t(3), size_t(9), size_t(60)}) { // the name, the size, a stamp
        damaged.push_back(good);
        damaged.back()[at] = static_cast<char>(damaged.back()[at] ^ 0x20);
    }
    for (const std::string &bytes : damaged) {
        WriteFile(file, bytes);
        EXPECT_FALSE(SnapshotIsCurrent()) << bytes.size() << " bytes";
        ExpectCachedLoadMatchesTheFiles(); // parses, and writes a good one again
        EXPECT_TRUE(SnapshotIsCurrent());
    }
    // A changed byte anywhere else is read in place, never checked whole: whatever the snapshot
    // then says, every link and reference a record gives points where it may.
    for (size_t at = 0; at < good.size(); at += 7) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        WriteFile(file, bytes);
        EntryIndex index;
        std::vector<std::string> refs;
        if (!ReadIndexSnapshot(file, StampIndexSources(paths), index, refs))
            continue;
        SCOPED_TRACE("byte " + std::to_string(at));
        ASSERT_LE(index.englishCount, kMaxRecords);
        ASSERT_LE(index.greekCount, kMaxRecords);
        for (int r = 1; r <= index.englishCount; ++r) {
            const IndexRecord record = index.english[static_cast<size_t>(r)];
            EXPECT_LE(record.greekIndex, index.greekCount);
            if (record.kind == EntryKind::Supplemented && record.supplementRef >= 0) {
                EXPECT_LT(static_cast<size_t>(record.supplementRef), refs.size());
            }
        }
        for (int r = 1; r <= index.greekCount; ++r)
            EXPECT_LE(index.greek[static_cast<size_t>(r)].englishIndex, index.englishCount);
    }

    // Another dictionary's snapshot under this one's name records other files.
    IndexSources other = StampIndexSources(paths);
    other.files[0].path += "-elsewhere";
    EntryIndex index;
    std::vector<std::string> refs;
    LoadEntryIndex(paths, index, refs);
    ASSERT_TRUE(WriteIndexSnapshot(file, other, index, refs));
    EXPECT_FALSE(SnapshotIsCurrent());
    // So is one that another build of the program wrote.
    IndexSources otherBuild = StampIndexSources(paths);
    ASSERT_TRUE(otherBuild.program.exists);
    ++otherBuild.program.inode;
    ASSERT_TRUE(WriteIndexSnapshot(file, otherBuild, index, refs));
    EXPECT_FALSE(SnapshotIsCurrent());

    // A supplement reference past the snapshot's own names none, also when the caller already
    // holds references that it would otherwise land on.
    ASSERT_EQ(index.english[1].kind, EntryKind::Supplemented);
    index.english.Slot(1).supplementRef = static_cast<int32_t>(refs.size());
    ASSERT_TRUE(WriteIndexSnapshot(file, StampIndexSources(paths), index, refs));
    EntryIndex read;
    std::vector<std::string> held = {"0000000100001"};
    ASSERT_TRUE(ReadIndexSnapshot(file, StampIndexSources(paths), read, held));
    EXPECT_EQ(read.english[1].supplementRef, -1);

    // A named pipe or a link to a device in its place is no snapshot, and no load waits on it.
    for (const bool pipe : {true, false}) {
        std::filesystem::remove_all(file);
        if (pipe)
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            std::filesystem::create_symlink("/dev/zero", file);
        EXPECT_FALSE(SnapshotIsCurrent());
        ExpectCachedLoadMatchesTheFiles();
    }
}

TEST_F(IndexSnapshotTest, FolderKeepsOnlyTheNewestSnapshots)
{
    EntryIndex index;
    std::vector<std::string> refs;
    LoadEntryIndex(paths, index, refs);
    std::filesystem::create_directories(cache.folder);
    const auto leftover = cache.folder / ".index-0123456789abcdef.snapshot.a1b2c3";
    WriteFile(leftover, "half written");
    std::filesystem::last_write_time(leftover, std::filesystem::file_time_type::clock::now() - 2h);
    const auto recentLeftover = cache.folder / ".index-0123456789abcdef.snapshot.d4e5f6";
    WriteFile(recentLeftover, "being written");

    std::vector<std::filesystem::path> written;
    for (int i = 0; i < 11; ++i) {
        IndexSources sources = StampIndexSources(paths);
        sources.files[2].path = "/elsewhere/" + std::to_string(i);
        written.push_back(IndexSnapshotFile(cache.folder, sources));
        ASSERT_TRUE(WriteIndexSnapshot(written.back(), sources, index, refs));
        std::filesystem::last_write_time(written.back(),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(20 - i));
    }
    for (size_t i = 0; i < written.size(); ++i)
        EXPECT_EQ(std::filesystem::exists(written[i]), i >= 3) << i;
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(recentLeftover));
}

TEST(UserFoldersTest, FollowXdgRulesAndTheSnapshotsCanBeTurnedOff)
{
    std::map<std::string, std::string> variables = {{"HOME", "/home/reader"},
                                                    {"XDG_CACHE_HOME", "/var/cache/reader"}};
    auto read = [&variables] {
        return ReadUserFolders([&variables](const char *name) -> const char * {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        });
    };
    EXPECT_EQ(read().indexCache, "/var/cache/reader/Termdex");
    EXPECT_EQ(read().configHome, "/home/reader/.config");
    EXPECT_EQ(read().dataHome, "/home/reader/.local/share");
    // Relative XDG values are ignored.
    variables["XDG_CACHE_HOME"] = "relative/cache";
    variables["XDG_DATA_HOME"] = "relative/share";
    variables["XDG_CONFIG_HOME"] = "/etc/reader";
    EXPECT_EQ(read().indexCache, "/home/reader/.cache/Termdex");
    EXPECT_EQ(read().dataHome, "/home/reader/.local/share");
    EXPECT_EQ(read().configHome, "/etc/reader");
    variables["TERMDEX_NO_INDEX_CACHE"] = "0";
    EXPECT_EQ(read().indexCache, "/home/reader/.cache/Termdex");
    variables["TERMDEX_NO_INDEX_CACHE"] = "1";
    EXPECT_EQ(read().indexCache, "");
    variables = {};
    EXPECT_EQ(read().indexCache, "");
    EXPECT_EQ(read().home, "/");
}

} // namespace
} // namespace termdex
