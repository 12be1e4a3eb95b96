// What tests that run the program on real folders share, with or without a test framework:
// environment variables set for one test only, and a copy of the demo dictionary's data files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace termdex::testing {

// Environment variables set for one test (HOME and the XDG folders, so no settings file of the
// machine's is read or written), put back as they were when it ends.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment() { Restore(); }

    void Set(const std::string &name, const std::filesystem::path &value)
    {
        const char *old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    // Latest first, so a name set twice gets its first value back.
    void Restore()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
        m_saved.clear();
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// The build folder (TERMDEX_BUILD_DIR as ctest sets it; run by hand, the test program's own
// folder, the build root: not the current folder, which the window moves to its program folder).
inline std::filesystem::path TestBuildFolder()
{
    const char *folder = std::getenv("TERMDEX_BUILD_DIR");
    if (folder != nullptr && *folder != '\0')
        return folder;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : program.parent_path();
}

// The demo dictionary's three data files, copied into programFolder/data (created if missing).
inline void CopyDemoData(const std::filesystem::path &programFolder)
{
    std::filesystem::create_directories(programFolder / "data");
    for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
        std::filesystem::copy_file(TestBuildFolder() / "data" / name, programFolder / "data" / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

// Each file of folder by name, with its bytes: what a test compares before and after a command
// that must change nothing.
inline std::map<std::string, std::string> FolderBytes(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> bytes;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        bytes[entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
}

} // namespace termdex::testing
