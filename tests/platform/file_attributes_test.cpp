#include "platform/file_attributes.h"
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace termdex {
namespace {

class PosixFileAttributesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("termdex-attributes-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        m_file = m_folder / "Termdex";
        std::ofstream(m_file) << "program";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    std::filesystem::path m_folder, m_file;
};

TEST_F(PosixFileAttributesTest, ReadOnlyIsTheClearedOwnerWriteBit)
{
    auto attributes = PosixFileAttributes();
    ::chmod(m_file.c_str(), 0644);
    EXPECT_EQ(attributes->IsReadOnly(m_file), false);
    ::chmod(m_file.c_str(), 0455); // others may write; the owner may not
    EXPECT_EQ(attributes->IsReadOnly(m_file), true);
    EXPECT_TRUE(attributes->ClearReadOnly(m_file));
    EXPECT_EQ(attributes->IsReadOnly(m_file), false);
    struct stat status
    {
    };
    ASSERT_EQ(::stat(m_file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0655u); // only the owner-write bit was added
}

TEST_F(PosixFileAttributesTest, MissingFileIsNeitherReadOnlyNorWritable)
{
    auto attributes = PosixFileAttributes();
    EXPECT_EQ(attributes->IsReadOnly(m_folder / "absent"), std::nullopt);
    EXPECT_FALSE(attributes->ClearReadOnly(m_folder / "absent"));
}

TEST_F(PosixFileAttributesTest, ShellRefusesWhatDoesNotExist)
{
    auto shell = DesktopShell();
    EXPECT_FALSE(shell->OpenDocument(m_folder / "absent.pdf"));
    EXPECT_FALSE(shell->OpenDocument(m_folder)); // a folder is not a document
    EXPECT_FALSE(shell->StartProgram(m_folder / "absent", {"--x"}));
    EXPECT_FALSE(shell->OpenUrl("file:///etc/passwd")); // files go through OpenDocument
}

} // namespace
} // namespace termdex
