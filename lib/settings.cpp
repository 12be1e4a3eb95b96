#include "lib/settings.h"

#include "lib/files.h"

#include <fstream>

namespace termdex {
namespace fs = std::filesystem;

namespace {

bool WriteLine(const fs::path &file, const std::string &line)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    if (!line.empty())
        out << line << "\n";
    out.flush();
    return static_cast<bool>(out);
}

} // namespace

std::vector<fs::path> SettingsFileCandidates(const UserFolders &user,
                                             const std::string &dictionaryName)
{
    if (!dictionaryName.empty())
        return {user.configHome / "Termdex" / (dictionaryName + ".ini")};
    return {user.configHome / "Termdex.ini", user.home / ".Termdex.ini"};
}

std::optional<fs::path> FindSettingsFile(const UserFolders &user, const std::string &dictionaryName)
{
    for (const fs::path &candidate : SettingsFileCandidates(user, dictionaryName))
        if (FileExists(candidate))
            return candidate;
    return std::nullopt;
}

std::string ReadSettingsLine(const fs::path &file)
{
    // The line names a folder: a few kilobytes is more than any path.
    const auto text = ReadWholeFile(file, 64 * 1024);
    if (!text)
        return {};
    const auto lines = SplitLines(*text);
    return lines.empty() ? std::string() : lines.front();
}

bool WriteSettings(std::string &settingsFilePath, const std::string &folder,
                   const UserFolders &user, const std::string &dictionaryName)
{
    std::string previous;
    if (!settingsFilePath.empty() && FileExists(settingsFilePath)) {
        previous = ReadSettingsLine(settingsFilePath);
    } else {
        settingsFilePath.clear();
        std::error_code ec;
        for (const fs::path &candidate : SettingsFileCandidates(user, dictionaryName)) {
            fs::create_directories(candidate.parent_path(), ec);
            if (WriteLine(candidate, {})) {
                settingsFilePath = candidate.string();
                break;
            }
        }
        if (settingsFilePath.empty())
            return false;
    }
    return WriteLine(settingsFilePath, !folder.empty() ? folder : previous);
}

} // namespace termdex
