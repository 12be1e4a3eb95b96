// Where the reader's custom files live: the folder named by the settings file, checked before
// every editing command, and the folder dialog that asks for one when none is usable.
#pragma once

#include "data/paths.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace termdex {

// The folder dialog's mode strings.
extern const char kFolderModeNull[];    // "NULL": no folder stored yet
extern const char kFolderModeInvalid[]; // "INVALID": the stored folder does not exist
extern const char kFolderModeInstall[]; // "INSTALL": the installer's use of the dialog
extern const char kFolderModeChoose[];  // "CHOOSE": the reader picks another folder

// Shown by the dialog when the chosen folder cannot be created; the dialog stays open.
extern const char kMessageFolderCreateFailed[]; // UTF-8

// What the folder dialog is asked and what it answers (value types: the dialog writes nothing).
struct FolderRequest
{
    std::string mode;          // kFolderModeNull, kFolderModeInvalid or kFolderModeInstall
    std::string defaultFolder; // prefilled in the folder field
    // INSTALL mode: run by OK once the folder exists (Install_Files, given the folder as
    // typed); the dialog closes with OK when it returns true, with cancel when it returns false.
    std::function<bool(const std::string &folder)> install = {};
};
struct FolderAnswer
{
    bool accepted = false; // OK; false for cancel
    std::string folder;    // the folder field's text
};

class FolderDialog
{
public:
    virtual ~FolderDialog() = default;
    // Shows the dialog modally and returns when the reader closes it.
    virtual FolderAnswer Ask(const FolderRequest &request) = 0;
};

// The folder the dialog proposes: $XDG_DATA_HOME/Termdex (default ~/.local/share/Termdex) when
// that parent folder exists, else ~/Termdex.
std::string DefaultCustomFolder(const UserFolders &user);
// The same for a program folder: one the package manager installed proposes
// $XDG_DATA_HOME/Termdex even before that folder's parent exists (it is created with it), so a
// new user's entries land where the desktop keeps application data. An imported dictionary
// (a dictionaryName) proposes $XDG_DATA_HOME/Termdex/<name>, its own.
std::string DefaultCustomFolder(const UserFolders &user, const std::filesystem::path &programFolder,
                                const std::string &dictionaryName = {});

// The dialog's OK: creates folder/Data with every missing parent; true when this user can
// create, write and remove a file in folder/Data afterwards, which is tried, not guessed from
// mode bits (false: the dialog shows kMessageFolderCreateFailed and stays open).
bool CreateCustomDataFolder(const std::string &folder);

// Whether the program file (Termdex in the program folder) is read-only: its owner-write bit is
// clear, this user may not write it (access(2)), or it lies on a read-only file system.
// nullopt when it is missing.
std::optional<bool> ProgramFileReadOnly(const std::filesystem::path &programFolder);

enum class FolderState {
    Valid,   // folder names the custom folder
    Null,    // no folder is stored
    Invalid, // the stored folder does not exist
    Failed,  // the settings file could not be read
};
struct FolderCheck
{
    FolderState state = FolderState::Null;
    std::string folder;
};
// The first steps of the resolution, without asking: the settings file's line when the file
// exists (and paths.settingsFilePath is set to it), else the program folder when the program
// runs from a writable copy.
FolderCheck CheckCustomFolder(ProgramPaths &paths);

// Asks with the dialog in mode ("NULL" or "INVALID"); on OK with a folder that exists or could
// be created (with its Data subfolder), sets chosenFolder, stores it with WriteSettings and
// returns true. Cancel, an empty folder or any failure: false, nothing stored.
bool ChooseCustomFolder(const std::string &mode, FolderDialog &dialog, ProgramPaths &paths,
                        std::string &chosenFolder);

// Run before every editing command: sets the six custom paths and returns true, or returns false
// when no folder is usable and the reader chose none (the paths are then empty). A settings
// file that cannot be read gives false with the paths as they were. The Data subfolder of a
// stored folder is made again when it has gone.
bool ResolveCustomFolder(ProgramPaths &paths, FolderDialog &dialog, std::string &chosenFolder);

} // namespace termdex
