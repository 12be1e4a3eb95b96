// The user's folders as a test's scratch home sets them in the environment, read the way the
// programs' main reads them.
#pragma once

#include "data/paths.h"
#include "lib/user_folders.h"

#include <cstdlib>

namespace termdex::testing {

inline UserFolders EnvironmentFolders()
{
    return ReadUserFolders([](const char *name) -> const char * { return std::getenv(name); });
}

// paths with the user's folders of the environment as it is now.
inline ProgramPaths &WithUser(ProgramPaths &paths)
{
    paths.user = EnvironmentFolders();
    return paths;
}

} // namespace termdex::testing
