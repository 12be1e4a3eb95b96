// The desktop shortcut of an installed copy: a freedesktop launcher (a .desktop file) on the
// desktop and in the applications folder, so that both the desktop and its menu start the copy.
#pragma once

#include "lib/user_folders.h"

#include <filesystem>
#include <string>

namespace termdex {

// The user's desktop folder: what `xdg-user-dir DESKTOP` answers, else ~/Desktop.
std::filesystem::path DesktopFolder(const UserFolders &user);

// Where launchers go so that the desktop's menu lists them: $XDG_DATA_HOME/applications
// (default ~/.local/share/applications).
std::filesystem::path ApplicationsFolder(const UserFolders &user);

// The folders a launcher is written into.
struct LauncherFolders
{
    std::filesystem::path desktop;
    std::filesystem::path applications;
};

// One argument of a launcher's Exec line, quoted so that blanks and reserved characters stay in it.
std::string QuoteExecArgument(const std::string &argument);

// The launcher's text: Type, Name, Exec (the target quoted, then the arguments as given), Path
// (the working folder) and Icon, each value escaped as the desktop entry format wants.
std::string LauncherText(const std::filesystem::path &target, const std::string &arguments,
                         const std::filesystem::path &workingFolder,
                         const std::string &name = "Termdex");

// Writes the launcher linkName (e.g. "Termdex.desktop") into the desktop folder, made
// executable, and the same file into the applications folder, each folder created when missing
// and an older launcher of that name replaced in one step. True when the desktop one is written
// (the menu entry is a convenience and does not count).
bool CreateDesktopShortcut(const std::filesystem::path &target, const std::string &arguments,
                           const std::filesystem::path &workingFolder, const std::string &linkName,
                           const LauncherFolders &folders, const std::string &name = "Termdex");

} // namespace termdex
