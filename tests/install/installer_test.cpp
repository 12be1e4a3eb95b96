#include "install/installer.h"
#include "tests/environment_folders.h"

#include "custom/custom_folder.h"
#include "install/file_copy.h"
#include "lib/settings.h"
#include "tests/install/install_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace termdex {
namespace {
using testing::EnvironmentFolders;
using testing::WithUser;
namespace fs = std::filesystem;
using testing::Executable;
using testing::OwnerWritable;
using testing::ReadFile;
using testing::WriteFile;

// Answers as the test says and records what it was asked.
class FakeFolderDialog final : public FolderDialog
{
public:
    FolderAnswer answer;
    std::vector<FolderRequest> asked;
    fs::path moveCurrentFolderTo; // a dialog that browses changes the current folder
    // As the window's dialog does: OK makes the folder's Data subfolder, then runs the install
    // step and closes with cancel when it fails.
    bool runsInstall = false;
    int installs = 0;
    FolderAnswer Ask(const FolderRequest &request) override
    {
        asked.push_back(request);
        if (!moveCurrentFolderTo.empty())
            fs::current_path(moveCurrentFolderTo);
        if (runsInstall && answer.accepted && !answer.folder.empty() && request.install &&
            CreateCustomDataFolder(answer.folder)) {
            ++installs;
            return {request.install(answer.folder), answer.folder};
        }
        return answer;
    }
};

class InstallerTest : public testing::InstallFixture
{
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        target = root / "disk" / "Termdex";
        source = {media, {Desktop(), Applications()}, EnvironmentFolders()};
        paths.user = EnvironmentFolders();
    }

    // The install label clicked and the dialog closed with OK on folder.
    InstallClick Click(const std::string &folder, bool accepted = true)
    {
        dialog.answer = {accepted, folder};
        return InstallLabelClick(dialog, source, paths, RealFileSystem(), chosenFolder);
    }

    fs::path target;
    InstallSource source;
    FakeFolderDialog dialog;
    ProgramPaths paths;
    std::string chosenFolder;
};

TEST_F(InstallerTest, NewFolderGetsEveryFileTheLauncherAndTheSettingsLine)
{
    MakeMedia();
    const InstallClick click = Click(target.string());

    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].mode, kFolderModeInstall);
    EXPECT_EQ(dialog.asked[0].defaultFolder, DefaultCustomFolder(EnvironmentFolders()));
    EXPECT_TRUE(click.installed);
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallSucceeded});
    ASSERT_TRUE(click.report);
    EXPECT_TRUE(click.report->outcome);
    EXPECT_EQ(click.report->copied, 8); // two programs, three data files, three documents
    EXPECT_EQ(chosenFolder, target.string());

    // The programs, made writable and still executable.
    for (const char *program : {"Termdex", "termdex-cli"}) {
        EXPECT_EQ(ReadFile(target / program), ReadFile(media / program)) << program;
        EXPECT_TRUE(OwnerWritable(target / program)) << program;
        EXPECT_TRUE(Executable(target / program)) << program;
    }
    EXPECT_FALSE(ProgramFileReadOnly(target).value_or(true));
    // The data files in Data, spelt as a new folder is spelt, and the documents in Content.
    EXPECT_EQ(ReadFile(target / "Data" / "TermdexI.tbo"), "english index");
    EXPECT_EQ(ReadFile(target / "Data" / "TermdexHI.tbo"), "greek index");
    EXPECT_EQ(ReadFile(target / "Data" / "Termdex.tbo"), "descriptions");
    EXPECT_EQ(ReadFile(target / "Content" / "Termdex.htm"), "<html>help</html>");
    EXPECT_EQ(ReadFile(target / "Content" / "Preface.htm"), "<html>preface</html>");
    EXPECT_EQ(ReadFile(target / "Content" / "fil.tbo"), ReadFile(media / "content" / "fil.tbo"));
    // No scratch file of a copy is left behind.
    for (const auto &entry : fs::recursive_directory_iterator(target))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();

    // The launcher on the desktop, executable, and the same one in the menu.
    const fs::path launcher = Desktop() / "Termdex.desktop";
    ASSERT_TRUE(fs::is_regular_file(launcher));
    EXPECT_TRUE(Executable(launcher));
    const std::string text = ReadFile(launcher);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    for (const std::string &line :
         {std::string("Type=Application\n"), std::string("Name=Termdex\n"),
          "Exec=\"" + (target / "Termdex").string() + "\"\n", "Path=" + target.string() + "\n",
          std::string("\nIcon=")})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(ReadFile(Applications() / "Termdex.desktop"), text);

    // The settings line, in the file the program found (none: the first place).
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
    EXPECT_EQ(paths.settingsFilePath, SettingsFile().string());
}

TEST_F(InstallerTest, InstalledCopyReadsAndKeepsItsEntriesInItsOwnDataFolder)
{
    MakeMedia();
    // A reader who had chosen another folder before installing.
    WriteFile(SettingsFile(), (root / "elsewhere").string() + "\n");
    paths = StartupPaths(media, EnvironmentFolders());
    ASSERT_TRUE(Click(target.string()).installed);
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());

    // The copy started from its launcher: its data from D/Data, the reader's files there too.
    ProgramPaths installed = StartupPaths(target, EnvironmentFolders());
    EXPECT_EQ(installed.ShippedEnglishIndex(), target / "Data" / "TermdexI.tbo");
    EXPECT_EQ(installed.DescriptionFile(), target / "Data" / "Termdex.tbo");
    EXPECT_EQ(installed.ContentFolder(), target / "Content");
    EXPECT_EQ(installed.customIndexPath, (target / "Data" / "TermdexIC.tbo").string());
    FakeFolderDialog never;
    std::string chosen;
    ASSERT_TRUE(ResolveCustomFolder(installed, never, chosen));
    EXPECT_TRUE(never.asked.empty());
    EXPECT_EQ(installed.customDescriptionPath, (target / "Data" / "TermdexC.tbo").string());
    // It no longer offers itself for installation; the medium still does.
    EXPECT_FALSE(InstallOffered(target));
    EXPECT_TRUE(InstallOffered(media));
}

TEST_F(InstallerTest, InstallingTwiceCopiesNothingAgainAndKeepsOlderFiles)
{
    MakeMedia();
    ASSERT_TRUE(Click(target.string()).installed);
    // An older installation's files stay as they are.
    fs::permissions(target / "Data" / "Termdex.tbo", fs::perms(0644));
    WriteFile(target / "Data" / "Termdex.tbo", "older descriptions");
    fs::remove(Desktop() / "Termdex.desktop");

    const InstallClick again = Click(target.string());
    EXPECT_TRUE(again.installed);
    EXPECT_EQ(again.messages, std::vector<std::string>{kMessageInstallSucceeded});
    EXPECT_TRUE(again.report->outcome);
    EXPECT_EQ(again.report->copied, 0);
    EXPECT_EQ(ReadFile(target / "Data" / "Termdex.tbo"), "older descriptions");
    // The launcher and the settings line are written again.
    EXPECT_TRUE(fs::is_regular_file(Desktop() / "Termdex.desktop"));
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
}

TEST_F(InstallerTest, ManifestFolderLinesMakeSubfoldersForTheFilesAfterThem)
{
    MakeMedia("Preface.htm\r\n\r\nFigs\\\r\nFig1.jpg\r\nDeep\\Er\\\r\nNote.txt\r\n");
    WriteFile(media / "content" / "Figs" / "Fig1.jpg", "figure");
    WriteFile(media / "content" / "Deep" / "Er" / "Note.txt", "note");

    const InstallClick click = Click(target.string());
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallSucceeded});
    EXPECT_EQ(ReadFile(target / "Content" / "Preface.htm"), "<html>preface</html>");
    EXPECT_TRUE(fs::is_directory(target / "Content" / "Figs"));
    EXPECT_EQ(ReadFile(target / "Content" / "Figs" / "Fig1.jpg"), "figure");
    // A folder line replaces the subfolder: a deeper one names its whole path.
    EXPECT_EQ(ReadFile(target / "Content" / "Deep" / "Er" / "Note.txt"), "note");
    EXPECT_FALSE(fs::exists(target / "Content" / "Figs" / "Note.txt"));
    // Only what the manifest names is copied.
    EXPECT_FALSE(fs::exists(target / "Content" / "Termdex.htm"));
}

TEST_F(InstallerTest, MissingFileIsReportedAndEverythingElseCopied)
{
    MakeMedia("Termdex.htm\r\nMissing.htm\r\nPreface.htm\r\n");
    const InstallClick click = Click(target.string());

    EXPECT_TRUE(click.installed);
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallProblems});
    EXPECT_FALSE(click.report->outcome);
    ASSERT_EQ(click.report->problems.size(), 1u);
    EXPECT_NE(click.report->problems[0].find("Missing.htm"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(target / "Content" / "Termdex.htm"));
    EXPECT_TRUE(fs::is_regular_file(target / "Content" / "Preface.htm"));
    EXPECT_TRUE(fs::is_regular_file(target / "Termdex"));
    EXPECT_EQ(ReadFile(target / "Data" / "Termdex.tbo"), "descriptions");
    // The launcher and the settings line are written even so.
    EXPECT_TRUE(fs::is_regular_file(Desktop() / "Termdex.desktop"));
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
}

TEST_F(InstallerTest, MissingProgramFileAddsTheProcedureMessage)
{
    MakeMedia();
    fs::remove(media / "Termdex");
    const InstallClick click = Click(target.string());
    EXPECT_EQ(click.messages, (std::vector<std::string>{kMessageInstallProblems,
                                                        kMessageInstallProcedureProblems}));
    EXPECT_EQ(ReadFile(target / "Data" / "TermdexI.tbo"), "english index");
}

TEST_F(InstallerTest, DialogThatInstallsOnItsOkRunsTheInstallationOnce)
{
    MakeMedia();
    dialog.runsInstall = true;
    // The dialog browsed to the disk; a relative folder is taken there, where it made Data.
    fs::create_directories(root / "disk");
    dialog.moveCurrentFolderTo = root / "disk";
    const InstallClick click = Click("Termdex");
    EXPECT_EQ(dialog.installs, 1);
    EXPECT_EQ(fs::current_path(), startFolder);
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallSucceeded});
    EXPECT_EQ(click.report->copied, 8);
    EXPECT_EQ(chosenFolder, target.string());
    EXPECT_EQ(ReadFile(target / "Data" / "TermdexI.tbo"), "english index");

    // An interrupted installation closes the dialog with cancel: nothing more is shown.
    fs::permissions(media / "content" / "fil.tbo", fs::perms(0644));
    WriteFile(media / "content" / "fil.tbo", std::string(2 * 1024 * 1024, 'x'));
    chosenFolder.clear();
    const InstallClick interrupted = Click(target.string());
    EXPECT_EQ(dialog.installs, 2);
    EXPECT_FALSE(interrupted.installed);
    EXPECT_TRUE(interrupted.messages.empty());
    EXPECT_TRUE(chosenFolder.empty());
}

TEST_F(InstallerTest, CancelAndAnEmptyFolderCopyAndStoreNothing)
{
    MakeMedia();
    for (const auto &[folder, accepted] :
         {std::pair<std::string, bool>{target.string(), false}, {"", true}}) {
        const InstallClick click = Click(folder, accepted);
        EXPECT_FALSE(click.installed);
        EXPECT_TRUE(click.messages.empty());
        EXPECT_FALSE(click.report);
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(SettingsFile()));
    EXPECT_FALSE(fs::exists(home / ".Termdex.ini"));
    EXPECT_FALSE(fs::exists(Desktop() / "Termdex.desktop"));
    EXPECT_TRUE(chosenFolder.empty());
}

TEST_F(InstallerTest, UnreadableManifestInterruptsWithoutLauncherOrMessage)
{
    // Far longer than any manifest: it is refused rather than read.
    MakeMedia(std::string(2 * 1024 * 1024, 'x'));
    const InstallClick click = Click(target.string());
    EXPECT_FALSE(click.installed);
    EXPECT_TRUE(click.messages.empty());
    ASSERT_TRUE(click.report);
    EXPECT_FALSE(click.report->ranToEnd);
    EXPECT_TRUE(fs::is_regular_file(target / "Termdex")); // the steps before it ran
    EXPECT_FALSE(fs::exists(Desktop() / "Termdex.desktop"));
    EXPECT_FALSE(fs::exists(SettingsFile()));
    EXPECT_TRUE(chosenFolder.empty());
}

TEST_F(InstallerTest, ManifestNamesCannotReachOutsideTheContentFolder)
{
    WriteFile(root / "secret", "secret");
    MakeMedia("..\\..\\secret\r\n/etc/hostname\r\n..\\\r\nPreface.htm\r\nFigs\\\r\n"
              "..\\..\\..\\secret\r\n");
    const InstallClick click = Click(target.string());
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallProblems});
    // The three names outside, and the one file under a folder line outside.
    EXPECT_EQ(click.report->problems.size(), 5u);
    EXPECT_FALSE(fs::exists(root / "disk" / "secret"));
    EXPECT_FALSE(fs::exists(target / "hostname"));
    EXPECT_FALSE(fs::exists(target / "Content" / "hostname"));
    // A folder line outside leaves its files uncopied; a good one starts over.
    EXPECT_FALSE(fs::exists(target / "Content" / "Preface.htm"));
    EXPECT_TRUE(fs::is_directory(target / "Content" / "Figs"));
}

TEST_F(InstallerTest, TypedFolderIsMadeAbsoluteAndTheCurrentFolderPutBack)
{
    MakeMedia();
    fs::create_directories(root / "disk");
    fs::current_path(root / "disk");
    dialog.moveCurrentFolderTo = root;
    const InstallClick click = Click("Termdex/");
    EXPECT_EQ(fs::current_path(), root / "disk");
    EXPECT_TRUE(click.installed);
    EXPECT_EQ(chosenFolder, target.string());
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
    EXPECT_TRUE(fs::is_regular_file(target / "Termdex"));

    EXPECT_EQ(InstallFolder("/a/./b/../c/"), "/a/c");
    EXPECT_EQ(InstallFolder("/"), "/");
    EXPECT_EQ(InstallFolder(""), "");
}

TEST_F(InstallerTest, FolderThatCannotBeCreatedIsReportedAndNothingStored)
{
    MakeMedia();
    WriteFile(root / "disk", "a file where the folder would go");
    const InstallClick click = Click(target.string());
    EXPECT_FALSE(click.installed);
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageFolderCreateFailed});
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(InstallerTest, LauncherThatCannotBeWrittenIsAProblem)
{
    MakeMedia();
    // A file where the desktop folder should be.
    WriteFile(Desktop(), "not a folder");
    const InstallClick click = Click(target.string());
    EXPECT_EQ(click.messages, std::vector<std::string>{kMessageInstallProblems});
    EXPECT_EQ(ReadSettingsLine(SettingsFile()), target.string());
    EXPECT_TRUE(fs::is_regular_file(Applications() / "Termdex.desktop"));
}

TEST_F(InstallerTest, ProgramFileReadOnlyOffersTheInstaller)
{
    MakeMedia();
    // The medium's program file is read-only: the label is shown.
    EXPECT_TRUE(InstallOffered(media));
    // A writable program file has been installed: the label is hidden.
    fs::permissions(media / "Termdex", fs::perms(0755));
    EXPECT_FALSE(InstallOffered(media));
    // A program file that cannot be found leaves the label shown.
    EXPECT_TRUE(InstallOffered(root / "nowhere"));
    EXPECT_TRUE(InstallOffered(std::optional<bool>()));
    EXPECT_TRUE(InstallOffered(std::optional<bool>(true)));
    EXPECT_FALSE(InstallOffered(std::optional<bool>(false)));
}

class FileCopyTest : public testing::InstallFixture
{
};

TEST_F(FileCopyTest, CopyNeverReplacesAndReportsAMissingSource)
{
    WriteFile(root / "from", "new");
    WriteFile(root / "to", "old");
    EXPECT_EQ(CopyWithoutOverwrite(root / "from", root / "to"), CopyOutcome::AlreadyThere);
    EXPECT_EQ(ReadFile(root / "to"), "old");
    fs::create_directories(root / "folder");
    EXPECT_EQ(CopyWithoutOverwrite(root / "from", root / "folder"), CopyOutcome::AlreadyThere);
    EXPECT_EQ(CopyWithoutOverwrite(root / "missing", root / "to2"), CopyOutcome::Failed);
    EXPECT_FALSE(fs::exists(root / "to2"));
    EXPECT_EQ(CopyWithoutOverwrite(root / "folder", root / "to3"), CopyOutcome::Failed);
    EXPECT_EQ(CopyWithoutOverwrite(root / "from", root / "none" / "to"), CopyOutcome::Failed);
    // A large file arrives whole, with its permission bits.
    std::string big(300 * 1024 + 7, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + 7);
    WriteFile(root / "big", big);
    fs::permissions(root / "big", fs::perms(0640));
    EXPECT_EQ(CopyWithoutOverwrite(root / "big", root / "big.copy"), CopyOutcome::Copied);
    EXPECT_EQ(ReadFile(root / "big.copy"), big);
    EXPECT_EQ(fs::status(root / "big.copy").permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 6);
}

TEST_F(FileCopyTest, ClearReadOnlySetsTheOwnerWriteBitOnly)
{
    WriteFile(root / "program", "x");
    fs::permissions(root / "program", fs::perms(0555));
    EXPECT_TRUE(ClearReadOnly(root / "program"));
    EXPECT_EQ(fs::status(root / "program").permissions(), fs::perms(0755));
    EXPECT_FALSE(ClearReadOnly(root / "missing"));
}

class LauncherTest : public testing::InstallFixture
{
};

TEST_F(LauncherTest, ValuesAreQuotedAndEscaped)
{
    const std::string text =
        LauncherText("/home/a b/$x`y\"z\\w%/Termdex", "", "/home/a b/$x`y\"z\\w%");
    EXPECT_NE(text.find("Exec=\"/home/a b/\\\\$x\\\\`y\\\\\"z\\\\\\\\w%%/Termdex\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Path=/home/a b/$x`y\"z\\\\w%\n"), std::string::npos) << text;
    // A line break in a folder name cannot start a key of its own.
    const std::string broken = LauncherText("/x\nType=Link/Termdex", "", "/x\nType=Link");
    EXPECT_EQ(broken.find("\nType=Link"), std::string::npos);
}

TEST_F(LauncherTest, DesktopFolderAsksXdgUserDirElseHomeDesktop)
{
    const fs::path bin = root / "bin";
    WriteFile(bin / "xdg-user-dir",
              "#!/bin/sh\n[ \"$1\" = DESKTOP ] && echo " + (root / "Schreibtisch").string() + "\n");
    fs::permissions(bin / "xdg-user-dir", fs::perms(0755));
    Set("PATH", bin);
    EXPECT_EQ(DesktopFolder(EnvironmentFolders()), root / "Schreibtisch");
    // A tool that fails, or none at all.
    WriteFile(bin / "xdg-user-dir", "#!/bin/sh\nexit 1\n");
    EXPECT_EQ(DesktopFolder(EnvironmentFolders()), home / "Desktop");
    Set("PATH", root / "empty");
    EXPECT_EQ(DesktopFolder(EnvironmentFolders()), home / "Desktop");
    EXPECT_EQ(ApplicationsFolder(EnvironmentFolders()), home / ".local" / "share" / "applications");
}

} // namespace
} // namespace termdex
