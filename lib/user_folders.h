// The user's folders the program reads and writes: read from the environment once, by each
// program's main, and handed down as a value, so nothing below the programs reads the
// environment and tests set the folders directly.
#pragma once

#include <filesystem>
#include <functional>

namespace termdex {

struct UserFolders
{
    std::filesystem::path home;       // $HOME; "/" when it is unset or empty
    std::filesystem::path configHome; // $XDG_CONFIG_HOME, else home/.config
    std::filesystem::path dataHome;   // $XDG_DATA_HOME, else home/.local/share
    // Where index snapshots are kept: $XDG_CACHE_HOME/Termdex, else home/.cache/Termdex; empty
    // (no snapshots) when TERMDEX_NO_INDEX_CACHE is set to anything but "0", or when neither
    // variable holds an absolute path.
    std::filesystem::path indexCache;
};

// The variable's value, or null when it is unset (std::getenv, in the programs).
using EnvironmentLookup = std::function<const char *(const char *name)>;

// The folders from the variables. An XDG variable holding a relative path is ignored, as the
// base-directory rules ask.
UserFolders ReadUserFolders(const EnvironmentLookup &lookup);

} // namespace termdex
