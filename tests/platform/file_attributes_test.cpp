#include "platform/file_attributes.h"
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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
    EXPECT_FALSE(shell->OpenDocument(m_folder / "absent.pdf", {}));
    EXPECT_FALSE(shell->OpenDocument(m_folder, {})); // a folder is not a document
    EXPECT_FALSE(shell->StartProgram(m_folder / "absent", {"--x"}, {}));
    EXPECT_FALSE(shell->OpenUrl("file:///etc/passwd")); // files go through OpenDocument
}

// A shell script in the test folder that exits with status.
std::filesystem::path Script(const std::filesystem::path &file, int status)
{
    std::ofstream(file) << "#!/bin/sh\nexit " << status << "\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    return file;
}

// Runs the event loop until done holds or ten seconds passed.
bool WaitFor(const bool &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return done;
}

TEST_F(PosixFileAttributesTest, ShellReportsFailuresThatShowOnlyOnceTheProgramRan)
{
    int argc = 1;
    char name[] = "platform_test";
    char *argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    auto shell = DesktopShell();

    // A program that starts and then fails (the presentation without xdg-open does).
    bool failed = false;
    ASSERT_TRUE(shell->StartProgram(Script(m_folder / "fails", 1), {"\"/folder/\""},
                                    [&failed] { failed = true; }));
    EXPECT_TRUE(WaitFor(failed));

    // A program that succeeds is never reported; the later failure proves the loop ran.
    bool succeeded = false, later = false;
    ASSERT_TRUE(
        shell->StartProgram(Script(m_folder / "works", 0), {}, [&succeeded] { succeeded = true; }));
    ASSERT_TRUE(shell->StartProgram(Script(m_folder / "fails", 4), {}, [&later] { later = true; }));
    EXPECT_TRUE(WaitFor(later));
    EXPECT_FALSE(succeeded);

    // A document whose opener finds no program for it.
    const std::filesystem::path bin = m_folder / "bin";
    std::filesystem::create_directories(bin);
    Script(bin / "xdg-open", 3);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray(bin.c_str()) + ":" + path);
    bool noProgram = false;
    const bool started = shell->OpenDocument(m_file, [&noProgram] { noProgram = true; });
    qputenv("PATH", path);
    ASSERT_TRUE(started);
    EXPECT_TRUE(WaitFor(noProgram));
}

} // namespace
} // namespace termdex
