// termdex-cli insert, modify and delete on the demo dictionary, run as a separate process.
#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "data/entry_index.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "tests/tools/cli_runner.h"

#include <cstdlib>
#include <fstream>

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
        root = fs::temp_directory_path() / (std::string("termdex-cli-edit-") + info->name());
        fs::remove_all(root);
        fs::create_directories(root / "custom");
        fs::create_directories(root / "home");
        // No settings file of the machine's is read or written.
        for (const char *name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char *value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("HOME", (root / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str(), 1);
        // The demo dictionary's data files in a program folder of the test's own, which holds
        // no program file (a writable one would make the program folder the custom folder).
        fs::create_directories(root / "program" / "data");
        for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
            fs::copy_file(BuildDir() / "data" / name, root / "program" / "data" / name);
        SetCustomPaths(paths, (root / "custom").string());
        paths.programFolder = root / "program";
    }
    void TearDown() override
    {
        for (const auto &[name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
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
        return ShiftCodec(ReadFileRange(paths.customDescriptionPath, record.descOffset - 1,
                                        record.descLength)
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
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(CliEditTest, InsertCreatesTheDataFolderAndTheEntry)
{
    fs::remove_all(root / "custom" / "Data");
    const CliResult result =
        Cli("insert --en " + Q("Zebra tax") + " --gr " + Q("φόρος ζέβρας") + " --descr " +
            Q("one\ntwo\r\nthree\rfour"));
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, "{\"ok\": true}\n");
    const EntryIndex index = Load();
    const int r = Record(index, "Zebra tax");
    ASSERT_NE(r, 0);
    EXPECT_EQ(index.english[r].kind, 'C');
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
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF" << "Πρώτη\nδεύτερη\r\n";
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

TEST_F(CliEditTest, NoUsableCustomFolderExitsWithThree)
{
    EXPECT_EQ(RunCli("--program-folder " + Q((root / "program").string()) + " --custom-folder " +
                         Q((root / "missing").string()) + " insert --en a --gr b")
                  .status,
              3);
    // No settings file, and no program file to call writable: the window would ask.
    EXPECT_EQ(Cli("insert --en a --gr b", false).status, 3);
    EXPECT_FALSE(fs::exists(root / "home" / ".config" / "Termdex.ini"));
    // A stored folder is used as the window uses it.
    fs::create_directories(root / "home" / ".config");
    std::ofstream(root / "home" / ".config" / "Termdex.ini") << (root / "custom").string() << "\n";
    EXPECT_EQ(Cli("insert --en a --gr b", false).status, 0);
    EXPECT_TRUE(FileExists(paths.customGreekIndexPath));
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
    EXPECT_EQ(index.english[3].kind, 'A');
    EXPECT_EQ(Record(index, "ignored"), 0);
    // Without --descr the prefill is the supplement itself, so the entry stays supplemented.
    ASSERT_EQ(Cli("modify 3").status, 0);
    EXPECT_EQ(Load().english[3].kind, 'A');
    ASSERT_EQ(Cli("modify 3 --descr ''").status, 0);
    EXPECT_EQ(Load().english[3].kind, 'L');

    ASSERT_EQ(Cli("delete " + std::to_string(Record(Load(), "bravo"))).status, 0);
    EXPECT_EQ(Bytes(paths.customIndexPath), "");
    EXPECT_EQ(Bytes(paths.customGreekIndexPath), "");
    EXPECT_EQ(Bytes(paths.customDescriptionPath), "");
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
