#include "lib/version.h"

#ifndef TERMDEX_VERSION
#error "TERMDEX_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace termdex {
const char *TermdexVersion() { return TERMDEX_VERSION; }
} // namespace termdex
