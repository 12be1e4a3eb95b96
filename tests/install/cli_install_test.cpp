// termdex-cli install run as a process on a medium built from the demo dictionary, then the
// installed copy's own termdex-cli started from the installed folder, as its launcher starts it.
#include "install/installer.h"
#include "lib/settings.h"
#include "tests/install/install_fixture.h"
#include "tests/tools/cli_runner.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {
namespace fs = std::filesystem;
using testing::BuildDir;
using testing::ReadFile;
using testing::ShellQuote;
using testing::WriteFile;

struct Result
{
    int status = -1;
    std::string out;
};

// Runs program with arguments (already quoted) from the folder cwd; stderr is dropped.
Result RunIn(const fs::path &program, const std::string &arguments, const fs::path &cwd)
{
    const std::string command = "cd " + ShellQuote(cwd.string()) + " && " +
                                ShellQuote(program.string()) + " " + arguments + " 2>/dev/null";
    Result result;
    std::FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class CliInstallTest : public testing::InstallFixture
{
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        target = root / "disk" / "Termdex";
        // The medium: the demo dictionary, the shipped documents, the built termdex-cli and a
        // stand-in for the window's program.
        fs::create_directories(media / "data");
        for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
            fs::copy_file(BuildDir() / "data" / name, media / "data" / name);
        fs::copy(BuildDir() / "content", media / "content", fs::copy_options::recursive);
        fs::copy_file(BuildDir() / "termdex-cli", media / "termdex-cli");
        WriteFile(media / "Termdex", "#!/bin/sh\n");
        fs::permissions(media / "Termdex", fs::perms(0555));
        fs::permissions(media / "termdex-cli", fs::perms(0555));
    }

    Result Install(const std::string &options = {})
    {
        return RunIn(media / "termdex-cli", options + " install " + ShellQuote(target.string()),
                     root);
    }

    fs::path target;
};

TEST_F(CliInstallTest, InstallsAndTheInstalledCopyKeepsItsEntriesInItsDataFolder)
{
    const Result installed = Install();
    EXPECT_EQ(installed.status, 0);
    EXPECT_EQ(installed.out, std::string(kMessageInstallSucceeded) + "\n");
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
    EXPECT_TRUE(fs::is_regular_file(Desktop() / "Termdex.desktop"));
    for (const auto &entry : fs::directory_iterator(media / "content"))
        EXPECT_TRUE(fs::is_regular_file(target / "Content" / entry.path().filename()))
            << entry.path();

    // The installed copy, started in its own folder as the launcher's Path says: it finds its
    // data in D/Data and, through the settings line, writes the reader's entries there.
    const fs::path cli = target / "termdex-cli";
    const Result lookup = RunIn(cli, "--json lookup tax", home);
    EXPECT_EQ(lookup.status, 0);
    EXPECT_NE(lookup.out.find("\"record\""), std::string::npos) << lookup.out;
    const Result insert = RunIn(cli, "insert --en zzinstalled --gr " + ShellQuote("δοκιμή"), home);
    EXPECT_EQ(insert.status, 0) << insert.out;
    EXPECT_TRUE(fs::is_regular_file(target / "Data" / "TermdexIC.tbo"));
    EXPECT_FALSE(ReadFile(target / "Data" / "TermdexIC.tbo").empty());
    EXPECT_NE(RunIn(cli, "edited", target).out.find("zzinstalled *"), std::string::npos);
    // The medium's own copy sees the same entries through the same settings line.
    EXPECT_NE(RunIn(media / "termdex-cli", "edited", root).out.find("zzinstalled *"),
              std::string::npos);

    // Again: nothing copied, success again.
    const Result again = Install("--json");
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("\"ok\": true"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\"copied\": 0"), std::string::npos) << again.out;
}

TEST_F(CliInstallTest, EntriesMadeBeforeStayListedWhetherKeptOrMoved)
{
    const fs::path old = root / "old";
    fs::create_directories(old / "Data");
    fs::create_directories(SettingsFile().parent_path());
    WriteFile(SettingsFile(), old.string() + "\n");
    ASSERT_EQ(RunIn(media / "termdex-cli", "insert --en zzbefore --descr d", root).status, 0);
    const std::string entries = ReadFile(old / "Data" / "TermdexIC.tbo");
    ASSERT_FALSE(entries.empty());

    // Kept: the settings file goes on naming the old folder, which both copies read.
    ASSERT_EQ(Install().status, 0);
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), old.string());
    EXPECT_FALSE(fs::exists(target / "Data" / "TermdexIC.tbo"));
    EXPECT_NE(RunIn(target / "termdex-cli", "edited", target).out.find("zzbefore *"),
              std::string::npos);

    // Moved: the files go into the new copy's Data folder, which is stored.
    const fs::path second = root / "disk" / "Second";
    ASSERT_EQ(
        RunIn(media / "termdex-cli", "install --move-entries " + ShellQuote(second.string()), root)
            .status,
        0);
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), second.string());
    EXPECT_EQ(ReadFile(second / "Data" / "TermdexIC.tbo"), entries);
    EXPECT_FALSE(fs::exists(old / "Data" / "TermdexIC.tbo"));
    for (const fs::path &copy : {second, media})
        EXPECT_NE(RunIn(copy / "termdex-cli", "edited", root).out.find("zzbefore *"),
                  std::string::npos)
            << copy;
}

TEST_F(CliInstallTest, ProblemsExitWithOneAndBadUsageWithTwo)
{
    fs::permissions(media / "content", fs::perms(0755));
    std::string manifest = ReadFile(media / "content" / "fil.tbo");
    fs::permissions(media / "content" / "fil.tbo", fs::perms(0644));
    WriteFile(media / "content" / "fil.tbo", manifest + "Missing.htm\r\n");
    const Result installed = Install();
    EXPECT_EQ(installed.status, 1);
    EXPECT_EQ(installed.out, std::string(kMessageInstallProblems) + "\n");
    EXPECT_TRUE(fs::is_regular_file(target / "Content" / "Preface.htm"));

    EXPECT_EQ(RunIn(media / "termdex-cli", "install", root).status, 2);
    EXPECT_EQ(RunIn(media / "termdex-cli", "install ''", root).status, 2);
    EXPECT_EQ(RunIn(media / "termdex-cli", "install a b", root).status, 2);
}

} // namespace
} // namespace termdex
