#include "custom/custom_folder.h"

#include "lib/files.h"
#include "lib/settings.h"

#include <cstdlib>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>

namespace termdex {
namespace fs = std::filesystem;

const char kFolderModeNull[] = "NULL";
const char kFolderModeInvalid[] = "INVALID";
const char kFolderModeInstall[] = "INSTALL";
const char kMessageFolderCreateFailed[] =
    "Παρουσιάστηκε πρόβλημα κατά τη δημιουργία του φακέλου. Παρακαλώ επιλέξτε άλλο φάκελο";

namespace {

fs::path Home()
{
    const char *home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path("/");
}

bool IsFolder(const std::string &path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

} // namespace

int WindowsVersionCode() { return 0; }

std::string DefaultCustomFolder()
{
    const char *dataHome = std::getenv("XDG_DATA_HOME");
    const fs::path parent =
        dataHome && *dataHome ? fs::path(dataHome) : Home() / ".local" / "share";
    if (WindowsVersionCode() != 8 && IsFolder(parent.string()))
        return (parent / "Termdex").string();
    return (Home() / "Termdex").string();
}

bool CreateCustomDataFolder(const std::string &folder)
{
    if (folder.empty())
        return false;
    std::error_code ec;
    // "Data" in whatever letter case already exists; a new folder gets this spelling.
    fs::create_directories(ResolvePathCase(fs::path(folder) / "Data"), ec);
    return IsFolder(folder);
}

std::optional<bool> ProgramFileReadOnly(const fs::path &programFolder)
{
    const fs::path file = ResolvePathCase(programFolder / "Termdex");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    if ((st.st_mode & S_IWUSR) == 0)
        return true;
    struct statvfs vfs {};
    if (::statvfs(file.c_str(), &vfs) != 0)
        return std::nullopt;
    return (vfs.f_flag & ST_RDONLY) != 0;
}

FolderCheck CheckCustomFolder(ProgramPaths &paths)
{
    std::optional<fs::path> settings;
    if (!paths.settingsFilePath.empty() && FileExists(paths.settingsFilePath))
        settings = fs::path(paths.settingsFilePath);
    else
        settings = FindSettingsFile();
    if (settings) {
        paths.settingsFilePath = settings->string();
        // The line names a folder: a few kilobytes is more than any path.
        const auto text = ReadWholeFile(*settings, 64 * 1024);
        if (!text)
            return {FolderState::Failed, {}};
        const auto lines = SplitLines(*text);
        const std::string line = lines.empty() ? std::string() : lines.front();
        if (line.empty())
            return {FolderState::Null, {}};
        if (IsFolder(line))
            return {FolderState::Valid, line};
        return {FolderState::Invalid, {}};
    }
    const auto readOnly = ProgramFileReadOnly(paths.programFolder);
    if (!readOnly || *readOnly)
        return {FolderState::Null, {}};
    return {FolderState::Valid, paths.programFolder.string()};
}

bool ChooseCustomFolder(const std::string &mode, FolderDialog &dialog, ProgramPaths &paths,
                        std::string &chosenFolder)
{
    std::error_code ec;
    const fs::path before = fs::current_path(ec);
    const FolderAnswer answer = dialog.Ask({mode, DefaultCustomFolder()});
    // A dialog that browses may move the current folder; the program's relative paths need it.
    if (!before.empty() && fs::current_path(ec) != before)
        fs::current_path(before, ec);
    if (!answer.accepted || answer.folder.empty())
        return false;
    // The dialog created the folder before closing; done again here, it costs nothing and
    // holds for any dialog.
    if (!CreateCustomDataFolder(answer.folder))
        return false;
    chosenFolder = answer.folder;
    WriteSettings(paths.settingsFilePath, chosenFolder);
    return true;
}

bool ResolveCustomFolder(ProgramPaths &paths, FolderDialog &dialog, std::string &chosenFolder)
{
    const FolderCheck check = CheckCustomFolder(paths);
    std::string folder = check.folder;
    switch (check.state) {
    case FolderState::Failed:
        return false;
    case FolderState::Valid:
        break;
    case FolderState::Null:
    case FolderState::Invalid:
        if (!ChooseCustomFolder(check.state == FolderState::Null ? kFolderModeNull
                                                                 : kFolderModeInvalid,
                                dialog, paths, chosenFolder)) {
            SetCustomPaths(paths, {});
            return false;
        }
        folder = chosenFolder;
        break;
    }
    SetCustomPaths(paths, folder);
    return true;
}

} // namespace termdex
