// Several termdex-cli processes on one custom folder at once: writers take turns, readers never
// undo a writer, and what each insert reported is what the files hold.
#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "data/entry_index.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "store/folder_lock.h"
#include "tests/data/test_folders.h"
#include "tests/tools/cli_runner.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace termdex {
namespace {
using namespace termdex::testing;
namespace fs = std::filesystem;

class SharedFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               (std::string("termdex-shared-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "custom" / "Data");
        CopyDemoData(root / "program");
        paths.programFolder = root / "program";
        SetCustomPaths(paths, (root / "custom").string());
    }
    void TearDown() override { fs::remove_all(root); }

    // A shell loop of count inserts named "<name> <i>", each line of the status file
    // "<i> <exit status>"; stderr collected beside it.
    std::string InsertLoop(const std::string &name, int count, bool greek) const
    {
        const std::string cli = ShellQuote((BuildDir() / "termdex-cli").string()) +
                                " --program-folder " + ShellQuote((root / "program").string()) +
                                " --custom-folder " + ShellQuote((root / "custom").string());
        const std::string status = ShellQuote((root / (name + ".status")).string());
        const std::string errors = ShellQuote((root / (name + ".err")).string());
        return "( i=1; while [ $i -le " + std::to_string(count) + " ]; do " + cli +
               " insert --en \"" + name + " $i\"" + (greek ? " --gr \"λήμμα $i\"" : "") +
               " --descr \"text of " + name + " $i\" >/dev/null 2>>" + errors +
               "; echo \"$i $?\" >>" + status + "; i=$((i+1)); done )";
    }
    std::string LookupLoop(const std::string &stopFile) const
    {
        const std::string cli = ShellQuote((BuildDir() / "termdex-cli").string()) +
                                " --program-folder " + ShellQuote((root / "program").string()) +
                                " --custom-folder " + ShellQuote((root / "custom").string());
        return "( while [ ! -e " + ShellQuote(stopFile) + " ]; do " + cli +
               " lookup a >/dev/null 2>&1; done )";
    }
    void RunShell(const std::string &script)
    {
        ASSERT_EQ(std::system(("sh -c " + ShellQuote(script)).c_str()), 0);
    }
    std::map<int, int> Statuses(const std::string &name) const
    {
        std::map<int, int> statuses;
        std::ifstream in(root / (name + ".status"));
        for (int i, status; in >> i >> status;)
            statuses[i] = status;
        return statuses;
    }

    // Every insert that exited 0 is there with its text; one that did not is not, and said the
    // folder was busy. The files are laid out as a rewrite lays them out.
    void CheckInserts(const std::vector<std::pair<std::string, bool>> &writers, int count)
    {
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        std::map<Cp1253, int> records;
        for (int r = 1; r <= index.englishCount; ++r)
            if (index.english[r].kind == EntryKind::Own)
                records[Cp1253(index.english[r].headword)] = r;
        size_t expected = 0;
        for (const auto &[name, greek] : writers) {
            const auto statuses = Statuses(name);
            ASSERT_EQ(statuses.size(), static_cast<size_t>(count));
            for (const auto &[i, status] : statuses) {
                const Cp1253 headword = name + " " + std::to_string(i);
                const auto found = records.find(headword);
                if (status != 0) {
                    EXPECT_EQ(status, 1);
                    EXPECT_EQ(found, records.end()) << headword;
                    continue;
                }
                ++expected;
                ASSERT_NE(found, records.end()) << headword;
                const IndexRecord &record = index.english[found->second];
                const auto stored = ReadFileRange(paths.customDescriptionPath,
                                                  record.descOffset - 1, record.descLength);
                EXPECT_EQ(ShiftCodec(stored.value_or(""), true),
                          EscapeDescription("text of " + headword, kOwnEntryPrefix));
                if (greek) {
                    ASSERT_NE(record.greekIndex, 0) << headword;
                    EXPECT_EQ(Cp1253ToUtf8(index.greek[record.greekIndex].headword),
                              "λήμμα " + std::to_string(i));
                }
            }
            std::ifstream err(root / (name + ".err"));
            std::stringstream text;
            text << err.rdbuf();
            for (std::string line; std::getline(text, line);)
                EXPECT_EQ(line, kMessageBusy);
        }
        EXPECT_EQ(records.size(), expected);
        // Byte for byte as the repair lays out what it reads: it leaves them alone.
        ProgramPaths shippedOnly = paths;
        SetCustomPaths(shippedOnly, {});
        EntryIndex shipped;
        std::vector<std::string> none;
        LoadEntryIndex(shippedOnly, shipped, none);
        const RepairReport repair = RepairCustomFiles(paths, shipped, RealFileSystem());
        EXPECT_EQ(repair.status.message, kMessageRepaired);
        EXPECT_EQ(repair.damagedFolder, "");
        // Nothing left behind: the three files and the lock file.
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "custom" / "Data"),
                                fs::directory_iterator()),
                  4);
    }

    fs::path root;
    ProgramPaths paths;
};

TEST_F(SharedFolderTest, TwoWritersAtOnceLoseNothing)
{
    RunShell(InsertLoop("alpha", 50, false) + " & " + InsertLoop("beta", 50, true) + " & wait");
    CheckInserts({{"alpha", false}, {"beta", true}}, 50);
}

TEST_F(SharedFolderTest, LookupsBesideAWriterUndoNothing)
{
    const std::string stop = (root / "stop").string();
    RunShell(LookupLoop(stop) + " & " + InsertLoop("gamma", 50, true) + "; touch " +
             ShellQuote(stop) + "; wait");
    CheckInserts({{"gamma", true}}, 50);
}

// A writer that never lets go: the insert gives up after its wait, says so, exits 1, and no
// file changed.
TEST_F(SharedFolderTest, InsertThatCannotHaveTheLockGivesUpAndChangesNothing)
{
    RunShell(InsertLoop("delta", 1, true));
    const fs::path data = root / "custom" / "Data";
    const auto before = FolderBytes(data);
    const FolderLock held = FolderLock::Take(data.string(), LockKind::Exclusive);
    ASSERT_TRUE(held.held());
    const CliResult insert =
        RunCli("--program-folder " + ShellQuote((root / "program").string()) + " --custom-folder " +
                   ShellQuote((root / "custom").string()) + " insert --en echo --descr text",
               {}, true);
    EXPECT_EQ(insert.status, 1);
    EXPECT_EQ(insert.out, std::string(kMessageBusy) + "\n");
    EXPECT_EQ(FolderBytes(data), before);
}

// A holder that never lets go costs one wait, not one per step (a load, then an edit; each
// entry the window shows): once a wait ran out, takes try once, until one has the lock again.
TEST_F(SharedFolderTest, ALockKeptThroughAWholeWaitIsNotWaitedForAgain)
{
    using namespace std::chrono_literals;
    const std::string data = (root / "custom" / "Data").string();
    const int holder = ::open((data + "/" + kLockFileName).c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0); // another open file: as another process would
    EXPECT_TRUE(FolderLock::Take(data, LockKind::Shared, 100ms).timedOut());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(FolderLock::Take(data, LockKind::Exclusive, 10min).timedOut());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5min); // not the ten minutes
    ::close(holder);
    EXPECT_TRUE(FolderLock::Take(data, LockKind::Exclusive, 100ms).held());

    // Had again: a holder that comes later is waited for in full once more.
    const int next = ::open((data + "/" + kLockFileName).c_str(), O_RDWR);
    ASSERT_EQ(::flock(next, LOCK_EX), 0);
    std::thread release([next] {
        std::this_thread::sleep_for(300ms);
        ::close(next);
    });
    EXPECT_TRUE(FolderLock::Take(data, LockKind::Shared, 10min).held());
    release.join();
}

} // namespace
} // namespace termdex
