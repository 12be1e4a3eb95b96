// termdex-cli: the dictionary from a terminal and from scripts.
#include "tools/cli.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    const int status = termdex::cli::RunCli(argc, argv, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
