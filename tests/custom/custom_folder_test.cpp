#include "custom/custom_folder.h"
#include "tests/environment_folders.h"

#include "lib/files.h"
#include "lib/settings.h"
#include "tests/data/test_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace termdex {
namespace {
using testing::EnvironmentFolders;
using testing::WithUser;
namespace fs = std::filesystem;

// Answers as the test says and records what it was asked.
class FakeFolderDialog final : public FolderDialog
{
public:
    FolderAnswer answer;
    std::vector<FolderRequest> asked;
    fs::path moveCurrentFolderTo; // a dialog that browses changes the current folder
    FolderAnswer Ask(const FolderRequest &request) override
    {
        asked.push_back(request);
        if (!moveCurrentFolderTo.empty())
            fs::current_path(moveCurrentFolderTo);
        return answer;
    }
};

class CustomFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               (std::string("termdex-folder-") + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char *dir : {"home", "config", "share", "program"})
            fs::create_directories(root / dir);
        Set("HOME", root / "home");
        Set("XDG_CONFIG_HOME", root / "config");
        Set("XDG_DATA_HOME", root / "share");
        paths.programFolder = root / "program";
        startFolder = fs::current_path();
    }
    void TearDown() override
    {
        fs::current_path(startFolder);
        environment.Restore();
        fs::remove_all(root);
    }
    void Set(const std::string &name, const fs::path &value) { environment.Set(name, value); }
    void WriteProgramFile(fs::perms perms)
    {
        std::ofstream(root / "program" / "Termdex") << "program";
        fs::permissions(root / "program" / "Termdex", perms);
    }
    void WriteSettingsLine(const std::string &line)
    {
        std::ofstream(root / "config" / "Termdex.ini") << line << "\n";
    }
    std::string SettingsLine() const { return ReadSettingsLine(root / "config" / "Termdex.ini"); }

    fs::path root, startFolder;
    testing::ScopedEnvironment environment;
    ProgramPaths paths;
    FakeFolderDialog dialog;
    std::string chosen;
};

TEST_F(CustomFolderTest, WritableCopyWithoutSettingsUsesTheProgramFolder)
{
    WriteProgramFile(fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    EXPECT_TRUE(dialog.asked.empty());
    EXPECT_EQ(paths.customIndexPath, (root / "program" / "Data" / "TermdexIC.tbo").string());
    EXPECT_EQ(paths.tempGreekIndexPath, (root / "program" / "Data" / "tempigr.tbo").string());
    EXPECT_FALSE(FileExists(root / "config" / "Termdex.ini"));
}

TEST_F(CustomFolderTest, ReadOnlyCopyAsksOnceAndStoresTheChoice)
{
    WriteProgramFile(fs::perms::owner_read);
    const std::string folder = (root / "mine" / "Termdex").string();
    dialog.answer = {true, folder};
    ASSERT_TRUE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].mode, "NULL");
    EXPECT_EQ(dialog.asked[0].defaultFolder, (root / "share" / "Termdex").string());
    EXPECT_EQ(chosen, folder);
    EXPECT_TRUE(fs::is_directory(root / "mine" / "Termdex" / "Data"));
    EXPECT_EQ(SettingsLine(), folder);
    EXPECT_EQ(paths.settingsFilePath, (root / "config" / "Termdex.ini").string());
    EXPECT_EQ(paths.customDescriptionPath, folder + "/Data/TermdexC.tbo");
    // Stored now: the next command does not ask.
    ProgramPaths later;
    later.programFolder = paths.programFolder;
    ASSERT_TRUE(ResolveCustomFolder(WithUser(later), dialog, chosen));
    EXPECT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(later.customIndexPath, folder + "/Data/TermdexIC.tbo");
}

TEST_F(CustomFolderTest, MissingProgramFileCountsAsReadOnly)
{
    dialog.answer = {false, ""};
    EXPECT_FALSE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].mode, "NULL");
}

TEST_F(CustomFolderTest, EmptySettingsLineAsksAndCancelClearsThePaths)
{
    WriteProgramFile(fs::perms::owner_read | fs::perms::owner_write);
    WriteSettingsLine("");
    SetCustomPaths(paths, (root / "old").string());
    dialog.answer = {false, (root / "x").string()};
    EXPECT_FALSE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].mode, "NULL");
    EXPECT_FALSE(paths.HasCustomFolder());
    EXPECT_EQ(paths.customDescriptionPath, "");
    EXPECT_EQ(SettingsLine(), "");
    EXPECT_FALSE(fs::exists(root / "x"));
    // OK with an empty folder is no choice either.
    dialog.answer = {true, ""};
    EXPECT_FALSE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    EXPECT_EQ(SettingsLine(), "");
}

TEST_F(CustomFolderTest, StoredFolderThatIsGoneAsksInTheInvalidMode)
{
    WriteSettingsLine((root / "gone").string());
    dialog.answer = {true, (root / "new").string()};
    ASSERT_TRUE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].mode, "INVALID");
    // The stored folder is not offered.
    EXPECT_EQ(dialog.asked[0].defaultFolder, (root / "share" / "Termdex").string());
    EXPECT_EQ(SettingsLine(), (root / "new").string());
}

TEST_F(CustomFolderTest, StoredFolderThatExistsIsUsed)
{
    fs::create_directories(root / "kept");
    WriteSettingsLine((root / "kept").string());
    ASSERT_TRUE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    EXPECT_TRUE(dialog.asked.empty());
    EXPECT_EQ(paths.customIndexPath, (root / "kept" / "Data" / "TermdexIC.tbo").string());
}

TEST_F(CustomFolderTest, FolderWithTrailingSlashGetsOneDataFolder)
{
    WriteSettingsLine("");
    dialog.answer = {true, (root / "drive").string() + "/"};
    ASSERT_TRUE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    EXPECT_EQ(paths.customIndexPath, (root / "drive" / "Data" / "TermdexIC.tbo").string());
    EXPECT_TRUE(fs::is_directory(root / "drive" / "Data"));
}

TEST_F(CustomFolderTest, FolderThatCannotBeCreatedIsNoChoice)
{
    WriteSettingsLine("");
    std::ofstream(root / "file") << "x";
    EXPECT_FALSE(CreateCustomDataFolder((root / "file" / "sub").string()));
    dialog.answer = {true, (root / "file" / "sub").string()};
    EXPECT_FALSE(ResolveCustomFolder(WithUser(paths), dialog, chosen));
    EXPECT_EQ(SettingsLine(), "");
    EXPECT_FALSE(CreateCustomDataFolder(""));
}

TEST_F(CustomFolderTest, CurrentFolderComesBackAfterTheDialog)
{
    WriteSettingsLine("");
    fs::create_directories(root / "elsewhere");
    dialog.moveCurrentFolderTo = root / "elsewhere";
    dialog.answer = {false, ""};
    const fs::path before = fs::current_path();
    ChooseCustomFolder("NULL", dialog, WithUser(paths), chosen);
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(CustomFolderTest, DefaultFolderFallsBackToTheHomeFolder)
{
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders()), (root / "share" / "Termdex").string());
    Set("XDG_DATA_HOME", root / "missing");
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders()), (root / "home" / "Termdex").string());
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders()), (root / "home" / "Termdex").string());
    fs::create_directories(root / "home" / ".local" / "share");
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders()),
              (root / "home" / ".local" / "share" / "Termdex").string());
    // A copy the package manager installed proposes the data home even before it exists.
    fs::remove_all(root / "home" / ".local");
    fs::create_directories(root / "usr" / "share" / "termdex" / "data");
    fs::create_directories(root / "usr" / "bin");
    std::ofstream(root / "usr" / "bin" / "termdex") << "";
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders(), root / "usr" / "share" / "termdex"),
              (root / "home" / ".local" / "share" / "Termdex").string());
    EXPECT_EQ(DefaultCustomFolder(EnvironmentFolders(), root / "elsewhere"),
              (root / "home" / "Termdex").string());
}

} // namespace
} // namespace termdex
