// The one-line settings file Termdex.ini: the folder whose Data subfolder holds the reader's files.
//
// It is looked for at $XDG_CONFIG_HOME/Termdex.ini (default ~/.config/Termdex.ini), then at
// ~/.Termdex.ini; a new one is written at the first place, else at the second. An imported
// dictionary keeps its own, $XDG_CONFIG_HOME/Termdex/<name>.ini, so the reader's entries of one
// dictionary never show in another.
#pragma once

#include "lib/user_folders.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// The places, in the order they are searched: the two of the shipped dictionary (an empty
// dictionaryName), else the one of the named dictionary.
std::vector<std::filesystem::path> SettingsFileCandidates(const UserFolders &user,
                                                          const std::string &dictionaryName = {});

// The first candidate that exists as a file, or nullopt.
std::optional<std::filesystem::path> FindSettingsFile(const UserFolders &user,
                                                      const std::string &dictionaryName = {});

// The first line of the file (without its line end); empty when missing or empty.
std::string ReadSettingsLine(const std::filesystem::path &file);

// Rewrites the settings file with folder as its line; an empty folder keeps the line stored
// before. settingsFilePath is the file found at start-up (empty for none) and is set to the file
// written. Errors are swallowed, as the window never reports them; returns false on failure.
bool WriteSettings(std::string &settingsFilePath, const std::string &folder,
                   const UserFolders &user, const std::string &dictionaryName = {});

} // namespace termdex
