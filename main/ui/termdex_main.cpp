#include "lib/user_folders.h"
#include "main/ui/program.h"

#include <cstdlib>

int main(int argc, char **argv)
{
    // The one place the window's program reads the user's folders from its environment.
    const termdex::UserFolders user = termdex::ReadUserFolders(
        [](const char *name) -> const char * { return std::getenv(name); });
    return termdex::RunTermdex(argc, argv, user);
}
