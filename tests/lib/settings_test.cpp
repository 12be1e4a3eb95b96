#include "lib/settings.h"
#include "tests/environment_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace termdex {
namespace {
using testing::EnvironmentFolders;
using testing::WithUser;
namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("termdex-settings-" +
                  std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "home");
        setenv("HOME", (m_root / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(m_root); }
    fs::path m_root;
};

TEST_F(SettingsTest, WritesTheFirstPlaceAndFindsItAgain)
{
    EXPECT_FALSE(FindSettingsFile(EnvironmentFolders()));
    std::string path;
    ASSERT_TRUE(WriteSettings(path, "/media/reader/words", EnvironmentFolders()));
    EXPECT_EQ(path, (m_root / "config" / "Termdex.ini").string());
    ASSERT_TRUE(FindSettingsFile(EnvironmentFolders()));
    EXPECT_EQ(ReadSettingsLine(*FindSettingsFile(EnvironmentFolders())), "/media/reader/words");
}

TEST_F(SettingsTest, EmptyFolderKeepsTheStoredLine)
{
    std::string path;
    WriteSettings(path, "/a", EnvironmentFolders());
    WriteSettings(path, "", EnvironmentFolders());
    EXPECT_EQ(ReadSettingsLine(path), "/a");
    WriteSettings(path, "/b", EnvironmentFolders());
    EXPECT_EQ(ReadSettingsLine(path), "/b");
}

TEST_F(SettingsTest, FallsBackToTheHomeFileWhenConfigCannotBeCreated)
{
    std::ofstream(m_root / "config") << "a file where a folder should be";
    std::string path;
    ASSERT_TRUE(WriteSettings(path, "/c", EnvironmentFolders()));
    EXPECT_EQ(path, (m_root / "home" / ".Termdex.ini").string());
    EXPECT_EQ(ReadSettingsLine(*FindSettingsFile(EnvironmentFolders())), "/c");
}

TEST_F(SettingsTest, EmptyOrMissingFileGivesNoFolder)
{
    std::ofstream(m_root / "empty.ini").flush();
    EXPECT_EQ(ReadSettingsLine(m_root / "empty.ini"), "");
    EXPECT_EQ(ReadSettingsLine(m_root / "missing.ini"), "");
    std::ofstream(m_root / "crlf.ini") << "\r\n/x\r\n";
    EXPECT_EQ(ReadSettingsLine(m_root / "crlf.ini"), "");
}

} // namespace
} // namespace termdex
