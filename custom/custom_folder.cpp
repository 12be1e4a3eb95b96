#include "custom/custom_folder.h"

#include "data/paths.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace fs = std::filesystem;

const char kFolderModeNull[] = "NULL";
const char kFolderModeInvalid[] = "INVALID";
const char kFolderModeInstall[] = "INSTALL";
const char kFolderModeChoose[] = "CHOOSE";
const char kMessageFolderCreateFailed[] =
    "Παρουσιάστηκε πρόβλημα κατά τη δημιουργία του φακέλου. Παρακαλώ επιλέξτε άλλο φάκελο";

namespace {

bool IsFolder(const std::string &path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

} // namespace

std::string DefaultCustomFolder(const UserFolders &user)
{
    if (IsFolder(user.dataHome.string()))
        return (user.dataHome / "Termdex").string();
    return (user.home / "Termdex").string();
}

std::string DefaultCustomFolder(const UserFolders &user, const fs::path &programFolder,
                                const std::string &dictionaryName)
{
    if (dictionaryName.empty() && !IsSystemProgramFolder(programFolder))
        return DefaultCustomFolder(user);
    const fs::path own = user.dataHome / "Termdex";
    return (dictionaryName.empty() ? own : own / dictionaryName).string();
}

// Mode bits say nothing of ACLs, read-only mounts or root: a file is made, written and removed.
static bool CanWriteFilesIn(const fs::path &folder)
{
    std::random_device random;
    const fs::path probe =
        folder / (".termdex-probe-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, "x", 1) == 1;
    const bool closed = ::close(fd) == 0;
    const bool removed = ::unlink(probe.c_str()) == 0;
    return written && closed && removed;
}

bool CreateCustomDataFolder(const std::string &folder)
{
    if (folder.empty())
        return false;
    std::error_code ec;
    // "Data" in whatever letter case already exists; a new folder gets this spelling.
    const fs::path data = ResolvePathCase(fs::path(folder) / "Data");
    fs::create_directories(data, ec);
    return IsFolder(folder) && IsFolder(data.string()) && CanWriteFilesIn(data);
}

std::optional<bool> ProgramFileReadOnly(const fs::path &programFolder)
{
    const fs::path file = ResolvePathCase(programFolder / "Termdex");
    struct stat st
    {
    };
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    // The attribute's own bit, or a file this user may not write: a system-wide copy is
    // writable by its owner, not by the reader.
    if ((st.st_mode & S_IWUSR) == 0 || ::access(file.c_str(), W_OK) != 0)
        return true;
    struct statvfs vfs
    {
    };
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
        settings = FindSettingsFile(paths.user, paths.dictionaryName);
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
    const FolderAnswer answer = dialog.Ask(
        {mode, DefaultCustomFolder(paths.user, paths.programFolder, paths.dictionaryName)});
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
    WriteSettings(paths.settingsFilePath, chosenFolder, paths.user, paths.dictionaryName);
    return true;
}

bool ResolveCustomFolder(ProgramPaths &paths, FolderDialog &dialog, std::string &chosenFolder)
{
    const FolderCheck check = CheckCustomFolder(paths);
    std::string folder = check.folder;
    switch (check.state) {
    case FolderState::Failed:
        return false;
    case FolderState::Valid: {
        // A Data folder removed since would fail every save; it is made again (quietly, as a
        // folder that cannot be written fails the save with its message).
        std::error_code ec;
        fs::create_directories(ResolvePathCase(fs::path(folder) / "Data"), ec);
        break;
    }
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
