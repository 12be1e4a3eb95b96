#include "main/ui/program.h"

int main(int argc, char **argv) { return termdex::RunTermdex(argc, argv); }
