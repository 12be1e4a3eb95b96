// termdex-cli insert, modify and delete on the demo dictionary, run as a separate process.
#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "data/entry_index.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "tests/data/test_folders.h"
#include "tests/tools/cli_runner.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace termdex {
namespace {
using namespace termdex::testing;
namespace fs = std::filesystem;

class CliEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               (std::string("termdex-cli-edit-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "custom");
        fs::create_directories(root / "home");
        // No settings file of the machine's is read or written.
        environment.Set("HOME", root / "home");
        environment.Set("XDG_CONFIG_HOME", root / "home" / ".config");
        environment.Set("XDG_DATA_HOME", root / "home" / ".local" / "share");
        fs::create_directories(root / "home" / ".local" / "share");
        // The demo dictionary's data files in a program folder of the test's own, which holds
        // no program file (a writable one would make the program folder the custom folder).
        CopyDemoData(root / "program");
        SetCustomPaths(paths, (root / "custom").string());
        paths.programFolder = root / "program";
    }
    void TearDown() override
    {
        environment.Restore();
        fs::remove_all(root);
    }
    // A command on the demo dictionary with the test's custom folder; stderr folded in.
    CliResult Cli(const std::string &arguments, bool withCustomFolder = true)
    {
        std::string global = "--json --program-folder " + ShellQuote((root / "program").string());
        if (withCustomFolder)
            global += " --custom-folder " + ShellQuote((root / "custom").string());
        return RunCli(global + " " + arguments, {}, true);
    }
    EntryIndex Load()
    {
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        return index;
    }
    int Record(const EntryIndex &index, const Cp1253 &headword)
    {
        for (int r = 1; r <= index.englishCount; ++r)
            if (index.english[r].headword == headword)
                return r;
        return 0;
    }
    Cp1253 Stored(const IndexRecord &record)
    {
        return ShiftCodec(
            ReadFileRange(paths.customDescriptionPath, record.descOffset - 1, record.descLength)
                .value_or("?"),
            true);
    }
    std::optional<std::string> Bytes(const std::string &path)
    {
        return FileExists(path) ? ReadWholeFile(path, 1 << 24) : std::nullopt;
    }
    static std::string Q(const std::string &s) { return ShellQuote(s); }

    fs::path root;
    ProgramPaths paths;
    ScopedEnvironment environment;
};

TEST_F(CliEditTest, InsertCreatesTheDataFolderAndTheEntry)
{
    fs::remove_all(root / "custom" / "Data");
    const CliResult result = Cli("insert --en " + Q("Zebra tax") + " --gr " + Q("φόρος ζέβρας") +
                                 " --descr " + Q("one\ntwo\r\nthree\rfour"));
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, "{\"ok\": true}\n");
    const EntryIndex index = Load();
    const int r = Record(index, "Zebra tax");
    ASSERT_NE(r, 0);
    EXPECT_EQ(index.english[r].kind, EntryKind::Own);
    // Every kind of line break became CR LF, and so " \par ".
    EXPECT_EQ(Stored(index.english[r]), EscapeDescription("one\r\ntwo\r\nthree\r\nfour", "{"));
    EXPECT_EQ(index.greek[index.english[r].greekIndex].headword,
              Utf8ToCp1253("φόρος ζέβρας").text.value());
    // The lookup of the same folders finds it with its mark.
    const CliResult lookup = Cli("lookup " + Q("Zebra"));
    EXPECT_NE(lookup.out.find("\"Zebra tax *\""), std::string::npos) << lookup.out;
}

TEST_F(CliEditTest, DescriptionFileIsReadAsUtf8WithItsLineBreaks)
{
    const fs::path file = root / "descr.txt";
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF"
                                          << "Πρώτη\nδεύτερη\r\n";
    ASSERT_EQ(Cli("insert --en abc --descr-file " + Q(file.string())).status, 0);
    const EntryIndex index = Load();
    EXPECT_EQ(Stored(index.english[Record(index, "abc")]),
              EscapeDescription(Utf8ToCp1253("Πρώτη\r\nδεύτερη\r\n").text.value(), "{"));
}

TEST_F(CliEditTest, RefusalsExitWithTwoAndTheMessageAloneAndChangeNothing)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"insert --gr x", "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα\n"},
        {"insert --en tax", "Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή\n"},
        {"insert --en " + std::string(81, 'a') + " --gr x",
         std::string(kMessageHeadwordTooLong) + "\n"},
        {"insert --en a --descr " + std::string(7750, 'x'),
         std::string(kMessageDescriptionTooLong) + "\n"},
        {"delete 1", std::string(kMessageOnlyOwnEntries) + "\n"},
    };
    for (const auto &[arguments, message] : cases) {
        SCOPED_TRACE(arguments.substr(0, 40));
        const CliResult result = Cli(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, message);
    }
    // A character code page 1253 cannot hold, a record outside the table.
    EXPECT_EQ(Cli("insert --en " + Q("tax€") + " --gr " + Q("中")).status, 2);
    EXPECT_EQ(Cli("modify 99999 --descr x").status, 2);
    EXPECT_EQ(Cli("insert --en a --descr x --descr-file /nonexistent").status, 2);
    EXPECT_FALSE(FileExists(paths.customIndexPath));
    EXPECT_FALSE(FileExists(paths.customDescriptionPath));
}

TEST_F(CliEditTest, FolderIsTheOneTheWindowsDialogProposes)
{
    EXPECT_EQ(RunCli("--program-folder " + Q((root / "program").string()) + " --custom-folder " +
                     Q((root / "missing").string()) + " insert --en a --gr b")
                  .status,
              3);
    // No settings file and no writable program file: the window would ask and propose
    // $XDG_DATA_HOME/Termdex. A proposal that cannot be written is no folder.
    const fs::path proposed = root / "home" / ".local" / "share" / "Termdex";
    std::ofstream(proposed) << "a file";
    EXPECT_EQ(Cli("insert --en a --gr b", false).status, 3);
    EXPECT_FALSE(fs::exists(root / "home" / ".config" / "Termdex.ini"));
    fs::remove(proposed);
    // Taken and stored as the dialog's OK would store it, so later starts read it.
    ASSERT_EQ(Cli("insert --en a --gr b", false).status, 0);
    EXPECT_TRUE(fs::is_regular_file(proposed / "Data" / "TermdexIC.tbo"));
    EXPECT_EQ(ReadSettingsLine(root / "home" / ".config" / "Termdex.ini"), proposed.string());
    EXPECT_NE(Cli("edited", false).out.find("\"a *\""), std::string::npos);
    // A stored folder is used as the window uses it.
    std::ofstream(root / "home" / ".config" / "Termdex.ini") << (root / "custom").string() << "\n";
    EXPECT_EQ(Cli("insert --en a --gr b", false).status, 0);
    EXPECT_TRUE(FileExists(paths.customGreekIndexPath));
}

TEST_F(CliEditTest, BackupAndRestoreMergeAndComeBackTheSame)
{
    ASSERT_EQ(Cli("insert --en bravo --gr " + Q("μπράβο") + " --descr " + Q("α\nβ {}")).status, 0);
    ASSERT_EQ(Cli("insert --en charlie --descr c").status, 0);
    ASSERT_EQ(Cli("modify 1 --descr " + Q("δική μου")).status, 0);
    const std::string first = (root / "first.json").string();
    const CliResult backup = Cli("backup " + Q(first));
    ASSERT_EQ(backup.status, 0) << backup.out;
    EXPECT_EQ(backup.out, "{\"entries\": 3}\n");

    // Into an empty folder, then backed up again: the same file; a second restore adds nothing.
    const std::string other = (root / "other").string();
    fs::create_directories(other);
    const std::string in = "--json --program-folder " + Q((root / "program").string()) +
                           " --custom-folder " + Q(other) + " ";
    CliResult restored = RunCli(in + "restore " + Q(first), {}, true);
    EXPECT_EQ(restored.out, "{\"added\": 3, \"skipped\": 0, \"not_placed\": [], \"conflicts\": [], "
                            "\"refused\": []}\n");
    const std::string second = (root / "second.json").string();
    ASSERT_EQ(RunCli(in + "backup " + Q(second)).status, 0);
    EXPECT_EQ(ReadWholeFile(second, 1 << 20), ReadWholeFile(first, 1 << 20));
    restored = RunCli(in + "restore " + Q(first));
    EXPECT_NE(restored.out.find("\"added\": 0, \"skipped\": 3"), std::string::npos);
    EXPECT_EQ(RunCli(in + "edited").out, Cli("edited").out);

    // A supplement whose headword is gone is reported; a file that is no backup changes nothing.
    std::string text = *ReadWholeFile(first, 1 << 20);
    const std::string shipped(Load().english[1].headword);
    for (size_t at = text.find(shipped); at != std::string::npos; at = text.find(shipped))
        text.replace(at, shipped.size(), "Nothing like it");
    std::ofstream(root / "moved.json", std::ios::binary) << text;
    restored = RunCli(in + "restore " + Q((root / "moved.json").string()));
    EXPECT_EQ(restored.status, 0);
    EXPECT_NE(restored.out.find("\"not_placed\": [\"Nothing like it\"]"), std::string::npos)
        << restored.out;
    const auto before = Bytes(paths.customIndexPath);
    std::ofstream(root / "bad.json") << "{\"format\": \"termdex-backup\", \"entries\": [{]}";
    EXPECT_EQ(Cli("restore " + Q((root / "bad.json").string())).status, 2);
    EXPECT_EQ(Cli("restore " + Q((root / "none.json").string())).status, 2);
    EXPECT_EQ(Bytes(paths.customIndexPath), before);
}

// A copy of the program that this user cannot write, as a system-wide installation is: root
// runs the commands as "nobody"; anyone else makes the copy read-only to himself.
TEST_F(CliEditTest, SystemWideCopyKeepsTheUsersEntriesInHisDataFolder)
{
    const fs::path program = root / "system";
    fs::create_directories(program / "data");
    for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
        fs::copy_file(BuildDir() / "data" / name, program / "data" / name);
    fs::copy_file(BuildDir() / "termdex-cli", program / "termdex-cli");
    std::ofstream(program / "Termdex") << "#!/bin/sh\n";
    const fs::path home = root / "user";
    fs::create_directories(home / ".local" / "share");
    std::string prefix;
    if (::geteuid() == 0) {
        if (std::system("command -v setpriv >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "setpriv is needed to run as another user";
        fs::permissions(root, fs::perms(0755));
        fs::permissions(program / "Termdex", fs::perms(0755));
        if (std::system(("chown -R 65534:65534 " + Q(home.string())).c_str()) != 0)
            GTEST_SKIP() << "cannot give the user a home folder";
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    } else {
        fs::permissions(program / "Termdex", fs::perms(0555));
        fs::permissions(program, fs::perms(0555));
    }
    const std::string run = prefix + "env HOME=" + Q(home.string()) +
                            " XDG_CONFIG_HOME=" + Q((home / ".config").string()) +
                            " XDG_DATA_HOME=" + Q((home / ".local" / "share").string()) +
                            " XDG_CACHE_HOME=" + Q((home / ".cache").string()) + " " +
                            Q((program / "termdex-cli").string()) + " --json ";
    auto shell = [](const std::string &command) {
        std::string out;
        std::FILE *pipe = ::popen((command + " 2>&1").c_str(), "r");
        char buffer[4096];
        size_t n;
        while (pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        const int status = pipe != nullptr ? ::pclose(pipe) : -1;
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, out);
    };
    const auto insert = shell(run + "insert --en zzsystem --gr " + Q("σύστημα"));
    EXPECT_EQ(insert.first, 0) << insert.second;
    EXPECT_TRUE(fs::is_regular_file(home / ".local/share/Termdex/Data/TermdexIC.tbo"));
    EXPECT_FALSE(fs::exists(program / "Data"));
    EXPECT_NE(shell(run + "edited").second.find("zzsystem *"), std::string::npos);
    fs::permissions(program, fs::perms(0755));
}

TEST_F(CliEditTest, ModifyAndDeleteRunTheWindowsCommands)
{
    ASSERT_EQ(Cli("insert --en bravo --gr " + Q("μπράβο") + " --descr old").status, 0);
    EntryIndex index = Load();
    const int bravo = Record(index, "bravo");
    const uint32_t oldId = index.english[bravo].id;
    // Greek mode: the prefilled Greek headword is the item without its mark; only the
    // description is replaced here.
    ASSERT_EQ(Cli("--lang gr modify " + std::to_string(bravo) + " --descr new").status, 0);
    index = Load();
    const int moved = Record(index, "bravo");
    ASSERT_NE(moved, 0);
    EXPECT_EQ(index.english[moved].id, oldId); // it was the largest id: the same one again
    EXPECT_EQ(Stored(index.english[moved]), EscapeDescription("new", "{"));
    EXPECT_EQ(index.greek[index.english[moved].greekIndex].headword,
              Utf8ToCp1253("μπράβο").text.value());

    // A shipped entry: --en is ignored (the field is greyed), the supplement is added.
    ASSERT_EQ(Cli("modify 3 --en ignored --descr " + Q("δικό μου")).status, 0);
    index = Load();
    EXPECT_EQ(index.english[3].kind, EntryKind::Supplemented);
    EXPECT_EQ(Record(index, "ignored"), 0);
    // Without --descr the prefill is the supplement itself, so the entry stays supplemented.
    ASSERT_EQ(Cli("modify 3").status, 0);
    EXPECT_EQ(Load().english[3].kind, EntryKind::Supplemented);
    ASSERT_EQ(Cli("modify 3 --descr ''").status, 0);
    EXPECT_EQ(Load().english[3].kind, EntryKind::Shipped);

    ASSERT_EQ(Cli("delete " + std::to_string(Record(Load(), "bravo"))).status, 0);
    EXPECT_EQ(Bytes(paths.customIndexPath), "");
    EXPECT_EQ(Bytes(paths.customGreekIndexPath), "");
    EXPECT_EQ(Bytes(paths.customDescriptionPath), "");
}

TEST_F(CliEditTest, RepairKeepsWhatIsReadableBesideACopyOfTheDamagedFiles)
{
    ASSERT_EQ(Cli("insert --en bravo --gr " + Q("μπράβο") + " --descr first").status, 0);
    ASSERT_EQ(Cli("insert --en charlie --descr second").status, 0);
    EXPECT_EQ(Cli("repair").out, "{\"kept\": 2, \"lost\": []}\n");
    const fs::path data = root / "custom" / "Data";
    EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 4);

    // The last description cut short: edits refuse and change nothing, the repair keeps the
    // rest and says what it lost.
    std::string damaged = Bytes(paths.customDescriptionPath).value();
    damaged.resize(damaged.size() - 3);
    std::ofstream(paths.customDescriptionPath, std::ios::binary) << damaged;
    const auto index = Bytes(paths.customIndexPath);
    const CliResult refused = Cli("insert --en delta --descr third");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, std::string(kMessageDamaged) + "\n");
    EXPECT_EQ(Bytes(paths.customIndexPath), index);
    const CliResult repair = Cli("repair");
    ASSERT_EQ(repair.status, 0) << repair.out;
    EXPECT_NE(repair.out.find("{\"kept\": 2, \"lost\": [\""), std::string::npos) << repair.out;
    EXPECT_NE(repair.out.find("charlie\"], \"damaged_copy\": "), std::string::npos) << repair.out;
    std::vector<fs::path> copies;
    for (const auto &entry : fs::directory_iterator(data))
        if (entry.is_directory())
            copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].filename().string().rfind("damaged-", 0), 0u);
    EXPECT_EQ(Bytes((copies[0] / "TermdexC.tbo").string()), damaged);
    EXPECT_EQ(Bytes((copies[0] / "TermdexIC.tbo").string()), index);

    ASSERT_EQ(Cli("insert --en delta --descr third").status, 0);
    const EntryIndex after = Load();
    EXPECT_EQ(Stored(after.english[Record(after, "bravo")]), EscapeDescription("first", "{"));
    EXPECT_EQ(after.english[Record(after, "charlie")].descLength, 0);
    EXPECT_EQ(Stored(after.english[Record(after, "delta")]), EscapeDescription("third", "{"));
}

// A named pipe in a custom file's place: the reading commands show what they can, the edits
// refuse and leave it there; none waits on it (timeout ends one that would).
TEST_F(CliEditTest, PipeInAFilesPlaceHangsNoCommand)
{
    ASSERT_EQ(Cli("insert --en bravo --gr " + Q("μπράβο") + " --descr text").status, 0);
    const std::string bravo = std::to_string(Record(Load(), "bravo"));
    const std::string cli = "timeout 30 " + Q((BuildDir() / "termdex-cli").string()) +
                            " --program-folder " + Q((root / "program").string()) +
                            " --custom-folder " + Q((root / "custom").string()) + " ";
    const std::string saved = (root / "saved.json").string();
    for (const std::string &path :
         {paths.customIndexPath, paths.customGreekIndexPath, paths.customDescriptionPath}) {
        SCOPED_TRACE(path);
        const std::string bytes = Bytes(path).value();
        fs::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        EXPECT_EQ(RunCli({}, {}, true, cli + "show " + bravo).status, 0);
        EXPECT_EQ(RunCli({}, {}, true, cli + "lookup bra").status, 0);
        const CliResult deleted = RunCli({}, {}, true, cli + "delete " + bravo);
        EXPECT_TRUE(deleted.status == 1 || deleted.status == 2) << deleted.out;
        // A backup of what the load could read would look whole and lack entries.
        EXPECT_EQ(RunCli({}, {}, true, cli + "backup " + Q(saved)).status, 1);
        EXPECT_FALSE(fs::exists(saved));
        EXPECT_EQ(RunCli({}, {}, true, cli + "repair").status, 1);
        EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
        fs::remove(path);
        std::ofstream(path, std::ios::binary) << bytes;
    }
}

// The custom folder on a full file system: a 200 KB tmpfs, mounted in a mount namespace of the
// test's own so that no privilege is needed where user namespaces are allowed.
TEST_F(CliEditTest, FullFileSystemFailsTheEditAndChangesNothing)
{
    if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no mount namespace here (unshare -rm fails), so no tmpfs to fill";
    const fs::path small = root / "small";
    fs::create_directories(small);
    const std::string cli = Q((BuildDir() / "termdex-cli").string()) + " --program-folder " +
                            Q((root / "program").string()) + " --custom-folder " +
                            Q(small.string());
    const std::string script =
        "mount -t tmpfs -o size=200k tmpfs " + Q(small.string()) + " && " + cli +
        " insert --en bravo --descr first >/dev/null && head -c 180000 /dev/zero >" +
        Q((small / "filler").string()) + "; cp -r " + Q((small / "Data").string()) + " " +
        Q((root / "before").string()) + " && { " + cli + " insert --en charlie --descr " +
        std::string(7000, 'x') + " 2>&1; echo \"exit $?\"; } >" + Q((root / "out").string()) +
        "; cp -r " + Q((small / "Data").string()) + " " + Q((root / "after").string());
    ASSERT_EQ(std::system(("unshare -rm sh -c " + Q(script)).c_str()), 0);
    const std::string out = ReadWholeFile(root / "out", 1 << 20).value_or("");
    EXPECT_NE(out.find(kMessageWriteFailed), std::string::npos) << out;
    EXPECT_NE(out.find("exit 1"), std::string::npos) << out;
    EXPECT_EQ(FolderBytes(root / "after"), FolderBytes(root / "before"));
    EXPECT_EQ(FolderBytes(root / "before").count("TermdexIC.tbo"), 1u);
}

TEST_F(CliEditTest, ReadingCommandsFinishACommitThatACrashInterrupted)
{
    ASSERT_EQ(Cli("insert --en bravo --descr text").status, 0);
    // As a crash after the commit file, before the English index's rename, leaves it.
    const std::string index = Bytes(paths.customIndexPath).value();
    fs::rename(paths.customIndexPath, paths.tempIndexPath);
    std::ofstream(paths.customIndexPath, std::ios::binary) << "";
    std::ofstream((root / "custom" / "Data" / "tempcommit.tbo").string(), std::ios::binary)
        << "termdex commit 1\r\ntempi.tbo>TermdexIC.tbo\r\nend\r\n";
    const CliResult dump = Cli("dump-index");
    ASSERT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("\"bravo\""), std::string::npos);
    EXPECT_EQ(Bytes(paths.customIndexPath), index);
    EXPECT_FALSE(fs::exists(root / "custom" / "Data" / "tempcommit.tbo"));
    EXPECT_FALSE(fs::exists(paths.tempIndexPath));
}

} // namespace
} // namespace termdex
