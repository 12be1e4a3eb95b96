// The installer: a copy that runs from read-only media copies itself, its three data files and
// its documents to a folder of the reader's choice, puts a launcher on the desktop and stores
// the folder in the settings file, so that the copy is used from then on and the reader's own
// entries go into its Data folder.
#pragma once

#include "custom/custom_folder.h"
#include "custom/folder_move.h"
#include "data/paths.h"
#include "install/desktop_launcher.h"
#include "lib/user_folders.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// The outcome messages (UTF-8).
extern const char kMessageInstallSucceeded[]; // every step done
extern const char kMessageInstallProblems[];  // some copy or folder is missing
// Shown when the program file is missing in the folder after the installation.
extern const char kMessageInstallProcedureProblems[];

extern const char kProgramFileName[];  // "Termdex", the window's program
extern const char kCliFileName[];      // "termdex-cli", copied beside it
extern const char kLauncherFileName[]; // "Termdex.desktop"
extern const char kManifestPath[];     // "content/fil.tbo", relative to the program folder

// Where an installation reads from and writes its launcher to.
struct InstallSource
{
    std::filesystem::path programFolder; // holds the program, data/ and content/
    LauncherFolders launchers;
    UserFolders user; // where the settings file is written
};

struct InstallReport
{
    // Install_Files's result: false when a failure interrupted it (a manifest that exists but
    // cannot be read); then no launcher, no settings line and no message.
    bool ranToEnd = false;
    bool outcome = true;               // every copy and folder exists afterwards
    std::string message;               // kMessageInstallSucceeded or kMessageInstallProblems
    std::vector<std::string> problems; // what is missing, one line each, for the command line
    int copied = 0;                    // files copied (those already there are not)
};

// The folder the reader typed, as the installation uses it: made absolute against the current
// folder, without "." and ".." steps or a trailing "/". Empty stays empty.
std::string InstallFolder(const std::string &typed);

// Install_Files into folder (absolute; its Data subfolder made by the folder dialog's OK):
// the program file (then made writable) and termdex-cli, folder/Content, the three data files
// into folder/Data, every folder and file of the manifest below folder/Content, the launcher
// (target folder/Termdex, working folder folder) and WriteSettings(storedFolder, by default
// folder). Nothing that exists is replaced; a missing source or a failed step is counted and
// the rest goes on. settingsFilePath is the program's (set to the file written).
InstallReport InstallFiles(const std::string &folder, const InstallSource &source,
                           std::string &settingsFilePath, const std::string &storedFolder = {});

struct InstallClick
{
    bool installed = false;            // the folder dialog's OK led to an installation
    std::vector<std::string> messages; // to show one after another (UTF-8)
    std::optional<InstallReport> report;
};

// InstallLabelClick: asks with the folder dialog in the "INSTALL" mode (default folder
// prefilled), whose OK runs InstallFiles through the request's install step once the folder
// and its Data subfolder exist; a dialog that only answers gets the same done after it closes.
// Then kMessageInstallProcedureProblems is added when the program file is missing there, and
// chosenFolder is set. Cancel, an empty folder or an interrupted installation: no message and
// nothing stored. The current folder is put back afterwards.
// When the folder of the settings file holds the reader's entries (and is not the folder
// installed to), question decides: Yes moves them into the installed copy's Data folder and
// stores that folder; No (or no question) keeps the settings file's folder, so both copies
// list the same entries. A move that fails keeps the old folder and says so.
// The reader's files are moved through files.
InstallClick InstallLabelClick(FolderDialog &dialog, const InstallSource &source,
                               ProgramPaths &paths, FileSystem &files, std::string &chosenFolder,
                               MoveEntriesQuestion *question = nullptr);

// Whether the window offers the installer: only while its program file is read-only or cannot
// be examined (the copy runs from the media); a writable program file has been installed.
bool InstallOffered(std::optional<bool> programFileReadOnly);
bool InstallOffered(const std::filesystem::path &programFolder);

} // namespace termdex
