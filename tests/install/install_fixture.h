// A distribution medium and a reader's home in a temporary folder: HOME, XDG_CONFIG_HOME and
// XDG_DATA_HOME point inside it, so the settings file, the desktop and the menu's launchers of
// an installation land there too.
#pragma once

#include "tests/data/test_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace termdex::testing {
namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const fs::path &file, const std::string &bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline bool OwnerWritable(const fs::path &file)
{
    struct stat status
    {
    };
    return ::stat(file.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) != 0;
}

inline bool Executable(const fs::path &file)
{
    struct stat status
    {
    };
    return ::stat(file.c_str(), &status) == 0 && (status.st_mode & S_IXUSR) != 0;
}

class InstallFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               (std::string("termdex-install-") + info->test_suite_name() + "-" + info->name());
        RemoveAll(root);
        home = root / "home";
        media = root / "media";
        fs::create_directories(home);
        Set("HOME", home);
        Set("XDG_CONFIG_HOME", home / ".config");
        Set("XDG_DATA_HOME", home / ".local" / "share");
        fs::create_directories(home / ".local" / "share");
        startFolder = fs::current_path();
    }

    void TearDown() override
    {
        fs::current_path(startFolder);
        environment.Restore();
        RemoveAll(root);
    }

    void Set(const std::string &name, const fs::path &value) { environment.Set(name, value); }

    // The medium as it is shipped: every file read-only, the program files executable, the
    // data folder spelt in lower case as the build writes it, a manifest with CR LF line ends.
    void MakeMedia(const std::string &manifest = "Termdex.htm\r\nPreface.htm\r\nfil.tbo\r\n")
    {
        WriteFile(media / "Termdex", "#!/bin/sh\necho window\n");
        WriteFile(media / "termdex-cli", "#!/bin/sh\necho cli\n");
        WriteFile(media / "data" / "TermdexI.tbo", "english index");
        WriteFile(media / "data" / "TermdexHI.tbo", "greek index");
        WriteFile(media / "data" / "Termdex.tbo", "descriptions");
        WriteFile(media / "content" / "Termdex.htm", "<html>help</html>");
        WriteFile(media / "content" / "Preface.htm", "<html>preface</html>");
        WriteFile(media / "content" / "fil.tbo", manifest);
        for (const char *program : {"Termdex", "termdex-cli"})
            fs::permissions(media / program, fs::perms(0555));
        for (const auto &entry : fs::recursive_directory_iterator(media))
            if (entry.is_regular_file() && entry.path().parent_path() != media)
                fs::permissions(entry.path(), fs::perms(0444));
    }

    fs::path Desktop() const { return home / "Desktop"; }
    fs::path Applications() const { return home / ".local" / "share" / "applications"; }
    fs::path SettingsFile() const { return home / ".config" / "Termdex.ini"; }

    fs::path root, home, media, startFolder;
    ScopedEnvironment environment;

private:
    static void RemoveAll(const fs::path &folder)
    {
        std::error_code ec;
        if (!fs::exists(folder, ec))
            return;
        // Read-only folders of a medium must be opened up before their files can go.
        for (auto it = fs::recursive_directory_iterator(folder, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder, ec);
    }
};

} // namespace termdex::testing
