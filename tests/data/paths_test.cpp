#include "data/paths.h"
#include "tests/environment_folders.h"

#include "fixture.h"

#include <cstdlib>

namespace termdex {
namespace {
using namespace termdex::testing;

class PathsTest : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        setenv("HOME", m_root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        std::filesystem::create_directories(m_root / "config");
    }
};

TEST_F(PathsTest, ProgramFolderWithOwnCustomFileIsTheCustomFolder)
{
    std::filesystem::create_directories(paths.programFolder / "Data");
    WriteFile(paths.programFolder / "Data" / "TermdexC.tbo", "");
    WriteFile(m_root / "config" / "Termdex.ini", "/elsewhere\n");
    const ProgramPaths startup = StartupPaths(paths.programFolder, EnvironmentFolders());
    EXPECT_EQ(startup.customIndexPath, (paths.programFolder / "Data" / "TermdexIC.tbo").string());
    EXPECT_EQ(startup.tempGreekIndexPath, (paths.programFolder / "Data" / "tempigr.tbo").string());
}

TEST_F(PathsTest, SettingsLineNamesTheCustomFolder)
{
    WriteFile(m_root / "config" / "Termdex.ini", (m_root / "custom").string() + "\r\n");
    const ProgramPaths startup = StartupPaths(paths.programFolder, EnvironmentFolders());
    EXPECT_EQ(startup.settingsFilePath, (m_root / "config" / "Termdex.ini").string());
    EXPECT_EQ(startup.customDescriptionPath, paths.customDescriptionPath);
}

TEST_F(PathsTest, EmptySettingsGiveNoCustomFolder)
{
    WriteFile(m_root / "config" / "Termdex.ini", "");
    const ProgramPaths startup = StartupPaths(paths.programFolder, EnvironmentFolders());
    EXPECT_FALSE(startup.settingsFilePath.empty());
    EXPECT_FALSE(startup.HasCustomFolder());
    EXPECT_FALSE(StartupPaths(m_root / "nowhere", EnvironmentFolders()).HasCustomFolder());
}

TEST_F(PathsTest, FolderNamesMatchWhateverCaseExists)
{
    // The shipped "data" folder is found as "Data" and the other way round.
    std::filesystem::rename(paths.programFolder / "data", paths.programFolder / "DATA");
    WriteFile(paths.programFolder / "DATA" / "TermdexI.tbo", "x");
    EXPECT_EQ(paths.ShippedEnglishIndex(), paths.programFolder / "DATA" / "TermdexI.tbo");
    std::filesystem::create_directories(m_root / "other" / "data");
    ProgramPaths custom;
    SetCustomPaths(custom, (m_root / "other").string());
    EXPECT_EQ(custom.customIndexPath, (m_root / "other" / "data" / "TermdexIC.tbo").string());
    SetCustomPaths(custom, (m_root / "new").string());
    EXPECT_EQ(custom.customIndexPath, (m_root / "new" / "Data" / "TermdexIC.tbo").string());
}

TEST_F(PathsTest, InstalledProgramFindsItsDataUnderShare)
{
    namespace fs = std::filesystem;
    const fs::path prefix = m_root / "usr";
    fs::create_directories(prefix / "bin");
    WriteFile(prefix / "bin" / "termdex", "");
    EXPECT_EQ(LocateProgramFolder(prefix / "bin"), prefix / "bin"); // nothing installed yet
    EXPECT_FALSE(IsSystemProgramFolder(prefix / "share" / "termdex"));
    fs::create_directories(prefix / "share" / "termdex" / "data");
    EXPECT_EQ(LocateProgramFolder(prefix / "bin"), prefix / "share" / "termdex");
    EXPECT_TRUE(IsSystemProgramFolder(prefix / "share" / "termdex"));
    EXPECT_TRUE(IsSystemProgramFolder(prefix / "share" / "termdex/"));
    // A folder that holds its own data is a program folder of its own, wherever it lies.
    EXPECT_EQ(LocateProgramFolder(paths.programFolder), paths.programFolder);
    EXPECT_FALSE(IsSystemProgramFolder(paths.programFolder));
}

} // namespace
} // namespace termdex
