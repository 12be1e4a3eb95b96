// The one-line settings file Termdex.ini: the folder whose Data subfolder holds the reader's files.
//
// It is looked for at $XDG_CONFIG_HOME/Termdex.ini (default ~/.config/Termdex.ini), then at
// ~/.Termdex.ini; a new one is written at the first place, else at the second.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// The two places, in the order they are searched.
std::vector<std::filesystem::path> SettingsFileCandidates();

// The first candidate that exists as a file, or nullopt.
std::optional<std::filesystem::path> FindSettingsFile();

// The first line of the file (without its line end); empty when missing or empty.
std::string ReadSettingsLine(const std::filesystem::path &file);

// Rewrites the settings file with folder as its line; an empty folder keeps the line stored
// before. settingsFilePath is the file found at start-up (empty for none) and is set to the file
// written. Errors are swallowed, as the window never reports them; returns false on failure.
bool WriteSettings(std::string &settingsFilePath, const std::string &folder);

} // namespace termdex
