#include "lib/user_folders.h"

#include <cstring>

namespace termdex {
namespace fs = std::filesystem;

UserFolders ReadUserFolders(const EnvironmentLookup &lookup)
{
    auto absolute = [&lookup](const char *name) -> fs::path {
        const char *value = lookup(name);
        return value != nullptr && *value == '/' ? fs::path(value) : fs::path();
    };
    UserFolders folders;
    const char *home = lookup("HOME");
    folders.home = home != nullptr && *home != '\0' ? fs::path(home) : fs::path("/");
    folders.configHome = absolute("XDG_CONFIG_HOME");
    if (folders.configHome.empty())
        folders.configHome = folders.home / ".config";
    folders.dataHome = absolute("XDG_DATA_HOME");
    if (folders.dataHome.empty())
        folders.dataHome = folders.home / ".local" / "share";
    const char *off = lookup("TERMDEX_NO_INDEX_CACHE");
    if (off != nullptr && *off != '\0' && std::strcmp(off, "0") != 0)
        return folders;
    if (const fs::path cache = absolute("XDG_CACHE_HOME"); !cache.empty())
        folders.indexCache = cache / "Termdex";
    else if (home != nullptr && *home == '/')
        folders.indexCache = folders.home / ".cache" / "Termdex";
    return folders;
}

} // namespace termdex
