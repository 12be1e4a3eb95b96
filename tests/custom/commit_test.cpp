#include "custom/custom_edits.h"
#include "store/commit.h"
#include "store/folder_lock.h"

#include "custom_fixture.h"
#include "faulty_file_system.h"

#include <climits>
#include <functional>

namespace termdex {
namespace {
using namespace termdex::testing;

// The three custom files, each with its bytes or missing.
struct FileSet
{
    std::optional<std::string> english, greek, descriptions;
    bool operator==(const FileSet &) const = default;
};

class CommitTest : public CustomFilesTest
{
protected:
    void SetUp() override
    {
        CustomFilesTest::SetUp();
        WriteSmallDictionary();
        Load();
        ASSERT_TRUE(Insert("bravo", G("μπράβο"), "first\r\nentry").ok());
        ASSERT_TRUE(Insert("echo", "", "second").ok());
        ASSERT_TRUE(Update(Record("omega"), "a supplement").ok());
        old = Snapshot();
    }
    FileSet Snapshot() const
    {
        return {Bytes(paths.customIndexPath), Bytes(paths.customGreekIndexPath),
                Bytes(paths.customDescriptionPath)};
    }
    void Restore(const FileSet &set)
    {
        auto put = [&](const std::string &path, const std::optional<std::string> &bytes) {
            if (bytes)
                WriteFile(path, *bytes);
            else
                std::filesystem::remove(path);
        };
        put(paths.customIndexPath, set.english);
        put(paths.customGreekIndexPath, set.greek);
        put(paths.customDescriptionPath, set.descriptions);
        for (const auto &entry : std::filesystem::directory_iterator(DataFolder()))
            if (entry.path().filename() != kLockFileName && !IsCustomFile(entry.path()))
                std::filesystem::remove_all(entry.path());
    }
    std::filesystem::path DataFolder() const
    {
        return std::filesystem::path(paths.customIndexPath).parent_path();
    }
    bool IsCustomFile(const std::filesystem::path &path) const
    {
        return path == paths.customIndexPath || path == paths.customGreekIndexPath ||
               path == paths.customDescriptionPath;
    }
    std::string CommitFile() const
    {
        return (std::filesystem::path(paths.customIndexPath).parent_path() / kCommitFileName)
            .string();
    }
    // Nothing but the three files and the lock file.
    bool LeftoversGone() const
    {
        for (const auto &entry : std::filesystem::directory_iterator(DataFolder()))
            if (entry.path().filename() != kLockFileName && !IsCustomFile(entry.path()))
                return false;
        return true;
    }

    using Operation = std::function<EditStatus(FileSystem &)>;
    // Every step of op made to fail, as a crash and as a single error: afterwards (and after
    // the recovery that precedes every later load) the files are the old set or the new set.
    void CheckEveryStep(const Operation &op)
    {
        Restore(old);
        FaultyFileSystem counter(INT_MAX, FaultyFileSystem::Mode::SingleFailure);
        ASSERT_TRUE(op(counter).ok());
        const FileSet next = Snapshot();
        ASSERT_NE(next, old);
        const int steps = counter.steps();
        ASSERT_GT(steps, 8);
        int sawOld = 0, sawNew = 0;
        for (int n = 1; n <= steps; ++n) {
            SCOPED_TRACE("crash at step " + std::to_string(n));
            Restore(old);
            FaultyFileSystem crashing(n, FaultyFileSystem::Mode::Crash);
            const EditStatus status = op(crashing);
            // Only the tidying after a commit may be cut off and still report success.
            if (status.ok()) {
                EXPECT_EQ(Snapshot(), next);
            }
            ASSERT_TRUE(RecoverCustomFiles(RealFileSystem(), paths));
            const FileSet after = Snapshot();
            EXPECT_TRUE(after == old || after == next);
            sawOld += after == old;
            sawNew += after == next;
            EXPECT_TRUE(LeftoversGone());
            EXPECT_EQ(CheckInvariants(paths), "");
        }
        EXPECT_GT(sawOld, 0);
        EXPECT_GT(sawNew, 0);
        for (int n = 1; n <= steps; ++n) {
            SCOPED_TRACE("error at step " + std::to_string(n));
            Restore(old);
            FaultyFileSystem failing(n, FaultyFileSystem::Mode::SingleFailure);
            const EditStatus status = op(failing);
            // What the reader is told is what the files hold.
            if (status.outcome == EditOutcome::Done) {
                EXPECT_EQ(Snapshot(), next);
            } else if (status.outcome == EditOutcome::Failed) {
                EXPECT_EQ(Snapshot(), old);
                EXPECT_EQ(status.message, kMessageWriteFailed);
            } else {
                EXPECT_EQ(status.outcome, EditOutcome::Pending);
            }
            ASSERT_TRUE(RecoverCustomFiles(RealFileSystem(), paths));
            EXPECT_EQ(Snapshot(), status.outcome == EditOutcome::Failed ? old : next);
            EXPECT_TRUE(LeftoversGone());
        }
    }

    FileSet old;
};

TEST_F(CommitTest, InsertWithGreekHeadwordIsAllOrNothing)
{
    CheckEveryStep([&](FileSystem &fs) {
        return InsertEntry(paths, index, {"charlie", G("τσάρλι"), "third"}, fs);
    });
}

TEST_F(CommitTest, ModifyOfAnOwnEntryIsOneCommit)
{
    const int bravo = Record("bravo");
    CheckEveryStep([&](FileSystem &fs) {
        return UpdateEntry(paths, index, bravo, EntryKind::Own, {"zulu", G("ζούλου"), "moved"}, fs);
    });
}

TEST_F(CommitTest, SupplementChangesAreAllOrNothing)
{
    const int omega = Record("omega"), gamma = Record("gamma");
    CheckEveryStep([&](FileSystem &fs) {
        return UpdateEntry(paths, index, gamma, EntryKind::Shipped, {"gamma", "", "new"}, fs);
    });
    CheckEveryStep([&](FileSystem &fs) {
        return UpdateEntry(paths, index, omega, EntryKind::Supplemented, {"omega", "", ""}, fs);
    });
}

TEST_F(CommitTest, DeleteIsAllOrNothing)
{
    const int bravo = Record("bravo");
    CheckEveryStep([&](FileSystem &fs) { return DeleteEntry(paths, index, bravo, fs); });
}

TEST_F(CommitTest, NextEditFinishesACommitThatACrashInterrupted)
{
    // A crash after the commit file and the first rename: the English index is new, the
    // description file old. The next edit first completes the interrupted one.
    int firstRename = 0;
    for (int n = 1; n < 100 && firstRename == 0; ++n) {
        Restore(old);
        FaultyFileSystem crashing(n, FaultyFileSystem::Mode::Crash);
        InsertEntry(paths, index, {"charlie", "", "third"}, crashing);
        if (Bytes(paths.customIndexPath) != old.english &&
            Bytes(paths.customDescriptionPath) == old.descriptions)
            firstRename = n;
    }
    ASSERT_GT(firstRename, 0);
    EXPECT_TRUE(std::filesystem::exists(CommitFile()));
    ASSERT_TRUE(Insert("delta2", "", "fourth").ok());
    EXPECT_NE(Record("charlie"), 0);
    EXPECT_NE(Record("delta2"), 0);
    EXPECT_EQ(StoredOf(Record("charlie")), EscapeDescription("third", "{"));
    EXPECT_EQ(StoredOf(Record("delta2")), EscapeDescription("fourth", "{"));
    EXPECT_EQ(CheckInvariants(paths), "");
    EXPECT_TRUE(LeftoversGone());
}

TEST_F(CommitTest, ScratchFilesWithoutACompleteCommitFileAreDiscarded)
{
    WriteFile(paths.tempIndexPath, "garbage");
    WriteFile(paths.tempDescriptionPath, "garbage");
    ASSERT_TRUE(RecoverCustomFiles(RealFileSystem(), paths));
    EXPECT_EQ(Snapshot(), old);
    EXPECT_TRUE(LeftoversGone());
    // A commit file cut short before its end line, or naming files that are not ours.
    for (const std::string &commit :
         {std::string("termdex commit 1\r\ntempi.tbo>TermdexIC.tbo\r\n"),
          std::string("termdex commit 1\r\ntempi.tbo>TermdexC.tbo\r\nend\r\n"),
          std::string("termdex commit 1\r\n../x>TermdexIC.tbo\r\nend\r\n")}) {
        WriteFile(paths.tempIndexPath, "garbage");
        WriteFile(CommitFile(), commit);
        ASSERT_TRUE(RecoverCustomFiles(RealFileSystem(), paths));
        EXPECT_EQ(Snapshot(), old);
        EXPECT_TRUE(LeftoversGone());
    }
}

TEST_F(CommitTest, CompleteCommitFileIsCarriedOut)
{
    WriteFile(paths.tempIndexPath, "new index");
    WriteFile(CommitFile(),
              "termdex commit 1\r\ntempi.tbo>TermdexIC.tbo\r\ntemplex.tbo>TermdexC.tbo\r\nend\r\n");
    // The description file was renamed before the crash: its scratch file is gone.
    ASSERT_TRUE(RecoverCustomFiles(RealFileSystem(), paths));
    EXPECT_EQ(Bytes(paths.customIndexPath), "new index");
    EXPECT_EQ(Bytes(paths.customDescriptionPath), old.descriptions);
    EXPECT_TRUE(LeftoversGone());
}

} // namespace
} // namespace termdex
