// termdex-cli: the dictionary from a terminal and from scripts.
#include "tools/cli.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    // The one place termdex-cli reads its environment and takes the real file system.
    const int status = termdex::cli::RunCli(
        argc, argv, std::cout, std::cerr,
        [](const char *name) -> const char * { return std::getenv(name); },
        termdex::RealFileSystem());
    std::cout.flush();
    return status;
}
